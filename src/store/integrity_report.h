#pragma once

#include <cstdint>
#include <string>

namespace mlf {

class CMarrowleafDoc;

enum class IntegrityCheck {
  StoredBytes = 1,  // the CRC of the stored bytes
  Content = 2,      // the CRC of the delivered content
};

// The text a failed check shows, naming the node and the document.
std::string IntegrityFailureText(IntegrityCheck check, const std::string& nodeTitle, const std::string& documentPath);

// Writes the text to the log as one line and shows it with the exclamation icon. Reading goes on.
void ReportIntegrityFailure(IntegrityCheck check, const CMarrowleafDoc& document, uint32_t nodeId);

// Runs the check: a recorded CRC of 0 means none was recorded, and nothing is reported.
// False when the check failed (and was reported).
bool CheckIntegrity(IntegrityCheck check, uint32_t recorded, uint32_t actual, const CMarrowleafDoc& document,
                    uint32_t nodeId);

// A stream that cannot be decoded: logged as a warning naming the node and the document, and
// shown in a plain message box.
void ReportUnreadableStream(const CMarrowleafDoc& document, uint32_t nodeId, const std::string& reason);

}  // namespace mlf
