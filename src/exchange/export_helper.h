// Writes one node to one file: notes as .rtf, foreign data as .dat, images in their stored
// format (batch export) or re-encoded (single export). An encrypted node is unlocked with its
// password for the moment of writing and locked again afterwards.
#pragma once

#include <cstdint>
#include <string>

namespace mlf {

class CMarrowleafDoc;
class CNodeProcess;

class CExportHelper {
 public:
  // Questions (the overwrite question) go through process; none for single export.
  CExportHelper(CMarrowleafDoc& document, CNodeProcess* process) : m_document(document), m_process(process) {}
  virtual ~CExportHelper() = default;

  // Exports the node into folder (ending in a separator) under its title.
  bool ExportNode(uint32_t nodeId, const std::string& folder);
  // Writes the node to path with its type's extension added; format as for images.
  bool ExportFile(uint32_t nodeId, const std::string& pathWithoutExtension, int imageFormat);
  // Writes the node to exactly the chosen path (single export).
  bool WriteNode(uint32_t nodeId, const std::string& path, int imageFormat);

  // Why the last failure happened; empty when there was no reason to give.
  const std::string& Reason() const { return m_reason; }

 private:
  CMarrowleafDoc& m_document;
  CNodeProcess* m_process;
  std::string m_reason;
};

// A node title as a file name: the title's text in the encoding file names use here (UTF-8).
std::string FileNameOf(const std::string& title);

// True when name can be a file name on this system: not empty, not "." or "..", and without
// characters that would leave the folder or that the file system refuses.
bool IsValidFileName(const std::string& name);

// Unlocks an encrypted node that has no password yet for this run; false when it cannot be.
// locked receives whether it was unlocked here (and is to be locked again).
bool UnlockForExport(CMarrowleafDoc& document, uint32_t nodeId, bool& unlockedHere);
void LockAgain(CMarrowleafDoc& document, uint32_t nodeId);

}  // namespace mlf
