#include "store/integrity_report.h"

#include "diagnostics/log.h"
#include "platform/codepage.h"
#include "store/document.h"
#include "store/prompts.h"

namespace mlf {

std::string IntegrityFailureText(IntegrityCheck check, const std::string& nodeTitle, const std::string& documentPath) {
  return std::string(check == IntegrityCheck::StoredBytes ? "Type 1" : "Type 2") +
         " integrity check failed reading data for node '" + (nodeTitle.empty() ? "<UNKNOWN>" : nodeTitle) + "' in '" +
         (documentPath.empty() ? "<UNKNOWN>" : documentPath) +
         "', your data is probably corrupted.\r\n\r\n"
         "Please report this error, with a copy of the file, to support@quarndata.example.";
}

void ReportIntegrityFailure(IntegrityCheck check, const CMarrowleafDoc& document, uint32_t nodeId) {
  NTV record;
  std::string title = document.Data_GetItem(nodeId, record) ? record.strTitle : std::string();
  std::string text = IntegrityFailureText(check, title, document.GetPathName());
  std::string line = text;
  for (char& c : line)
    if (c == '\r' || c == '\n') c = ' ';
  AppLog().WriteLine(line);
  AppPrompts().Message(text, kAppCaption, MessageIcon::Exclamation, MessageButtons::Ok);
}

bool CheckIntegrity(IntegrityCheck check, uint32_t recorded, uint32_t actual, const CMarrowleafDoc& document,
                    uint32_t nodeId) {
  if (recorded == 0 || recorded == actual) return true;
  ReportIntegrityFailure(check, document, nodeId);
  return false;
}

void ReportUnreadableStream(const CMarrowleafDoc& document, uint32_t nodeId, const std::string& reason) {
  NTV record;
  std::string title = document.Data_GetItem(nodeId, record) ? StoredTextToUtf8(record.strTitle) : "<UNKNOWN>";
  std::string path = document.GetPathName();
  std::string text = "WARNING: Error reading data: CMlfNodeData::PrepareReadBuffer() failed, exception := '" + reason +
                     "' (node " + std::to_string(nodeId) + " '" + title + "' in '" +
                     (path.empty() ? "<UNKNOWN>" : path) + "')";
  AppLog().WriteLine(text);
  AppPrompts().Message(text, kAppCaption, MessageIcon::None, MessageButtons::Ok);
}

}  // namespace mlf
