#include "exchange/node_import.h"

#include "diagnostics/log.h"
#include "exchange/file_type_table.h"
#include "platform/path.h"
#include "store/document.h"
#include "store/node.h"

namespace mlf {

void PlaceUnder(CMarrowleafDoc& document, uint32_t nodeId, uint32_t parentId) {
  if (parentId == 0) return;
  CMlfNode node(&document, nodeId);
  node.SetParent(parentId);
  node.Update(true);
}

void CNodeBatchImport::AddFile(const std::string& path) {
  m_files.push_back(path);
  SetCount(static_cast<uint32_t>(m_files.size()));
}

void CNodeBatchImport::Run() {
  uint32_t count = static_cast<uint32_t>(m_files.size());
  SetIndex(0);
  Env& env = m_document.GetEnv();
  for (uint32_t k = 1; k <= count; ++k) {
    const std::string& path = m_files[k - 1];
    SetDetailText(path);
    SetStatusText("Importing file " + std::to_string(k) + " of " + std::to_string(count) + "...");
    uint32_t id = 0;
    if (env.FileExists(path)) {  // directories and unreadable entries are skipped
      if (std::optional<FileTypeRow> row = FindFileType(path); row && (row->nodeType == ntNote || row->nodeType == ntImage)) {
        id = m_document.Data_AddFromFile(path, row->nodeType, row->formatCode, row->compressed);
      } else {
        id = m_document.Data_AddFromFile(path, ntImage, 0, true);
        if (!id) id = m_document.Data_AddFromFile(path, ntNote, 0, true);
      }
      if (id) {
        PlaceUnder(m_document, id, m_parentId);
        m_created.push_back(id);
      }
    }
    if (!id) m_skipped.push_back(path);
    Step();
    if (IsCancelled()) break;
  }
}

void CForeignDataImport::Run() {
  uint32_t count = static_cast<uint32_t>(m_files.size());
  SetCount(count);
  SetIndex(0);
  for (uint32_t k = 1; k <= count; ++k) {
    if (IsCancelled()) break;
    const std::string& path = m_files[k - 1];
    SetDetailText(BaseName(path));
    SetStatusText("Importing file " + std::to_string(k) + " of " + std::to_string(count) + "...");
    if (uint32_t id = m_document.Data_AddFromFile(path, m_nodeType, 0, true)) {
      PlaceUnder(m_document, id, m_parentId);
      m_created.push_back(id);
    } else {
      std::string text = "WARNING: Could not import data from '" + path + "'.";
      AppLog().WriteLine(text);
      // Asked on the user's thread, like every question of a process.
      if (Ask(text, MessageButtons::OkCancel, MessageIcon::Exclamation, "Data import error") == MessageAnswer::Cancel)
        break;
    }
    Step();
  }
}

}  // namespace mlf
