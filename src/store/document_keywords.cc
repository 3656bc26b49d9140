// Keywords: the document's forwarding calls to its keyword table.
#include "diagnostics/log.h"
#include "store/document.h"

namespace mlf {

uint32_t CMarrowleafDoc::FindOrAddKeyword(const std::string& text) {
  auto lock = Lock();
  return m_keywords.FindOrAdd(text);
}

bool CMarrowleafDoc::GetKeywordName(uint32_t id, std::string& out) const {
  return CopyOut(m_keywords.Keywords(), id, out);
}

void CMarrowleafDoc::PutKeyword(uint32_t id, const std::string& text) {
  auto lock = Lock();
  m_keywords.PutKeyword(id, text);
}

bool CMarrowleafDoc::GetNodeKeywords(uint32_t nodeId, MLFNODEKEYWORDS& out) const {
  return CopyOut(m_keywords.NodeKeywords(), nodeId, out);
}

void CMarrowleafDoc::PutNodeKeywords(uint32_t nodeId, const MLFNODEKEYWORDS& entry) {
  auto lock = Lock();
  m_keywords.PutNodeKeywords(nodeId, entry);
}

void CMarrowleafDoc::SetNodeKeywords(uint32_t nodeId, const MLFNODEKEYWORDS& entry) {
  auto lock = Lock();
  m_keywords.SetNodeKeywords(nodeId, entry);
}

void CMarrowleafDoc::EnumNodeKeywordNames(uint32_t nodeId,
                                          const std::function<void(const std::string&)>& callback) const {
  auto lock = Lock();
  const auto& keywords = m_keywords.Keywords();
  auto it = m_keywords.NodeKeywords().find(nodeId);
  if (it == m_keywords.NodeKeywords().end()) return;
  for (uint32_t id : it->second.ids) {
    auto keyword = keywords.find(id);
    if (keyword == keywords.end()) {
      AppLog().WriteLine("Failed to get keyword id" + std::to_string(id) + " in document '" + m_pathName + "'");
      continue;
    }
    callback(keyword->second);
  }
}

void CMarrowleafDoc::EnumKeywords(const std::function<void(uint32_t, const std::string&)>& callback) const {
  auto lock = Lock();
  for (const auto& [id, text] : m_keywords.Keywords()) callback(id, text);
}

}  // namespace mlf
