// Keywords: a table of lower-case texts and, per node, the list of keyword ids it carries.
#include <algorithm>

#include "diagnostics/log.h"
#include "platform/codepage.h"
#include "platform/text_case.h"
#include "store/document.h"

namespace mlf {

namespace {

// Keywords fold case as search does: on the text as shown, beyond ASCII too.
std::string FoldedKeyword(const std::string& stored) { return LowerUtf8(StoredTextToUtf8(stored)); }

}  // namespace

uint32_t CMarrowleafDoc::FindOrAddKeyword(const std::string& text) {
  auto lock = Lock();
  std::string folded = FoldedKeyword(text);
  for (const auto& [id, keyword] : m_keywords)
    if (FoldedKeyword(keyword) == folded) return id;
  uint32_t id = m_nextKeywordId++;
  m_keywords[id] = Utf8ToStoredText(folded);
  return id;
}

bool CMarrowleafDoc::GetKeywordName(uint32_t id, std::string& out) const {
  auto lock = Lock();
  auto it = m_keywords.find(id);
  if (it == m_keywords.end()) return false;
  out = it->second;
  return true;
}

void CMarrowleafDoc::PutKeyword(uint32_t id, const std::string& text) {
  auto lock = Lock();
  m_keywords[id] = text;
  if (id >= m_nextKeywordId) m_nextKeywordId = id + 1;
}

bool CMarrowleafDoc::GetNodeKeywords(uint32_t nodeId, MLFNODEKEYWORDS& out) const {
  auto lock = Lock();
  auto it = m_nodeKeywords.find(nodeId);
  if (it == m_nodeKeywords.end()) return false;
  out = it->second;
  return true;
}

void CMarrowleafDoc::PutNodeKeywords(uint32_t nodeId, const MLFNODEKEYWORDS& entry) {
  auto lock = Lock();
  m_nodeKeywords[nodeId] = entry;
  m_nodeKeywords[nodeId].nNodeId = nodeId;
}

void CMarrowleafDoc::SetNodeKeywords(uint32_t nodeId, const MLFNODEKEYWORDS& entry) {
  auto lock = Lock();
  auto it = m_nodeKeywords.find(nodeId);
  if (it != m_nodeKeywords.end()) {
    std::vector<uint32_t> removed;
    for (uint32_t id : it->second.ids)
      if (std::find(entry.ids.begin(), entry.ids.end(), id) == entry.ids.end()) removed.push_back(id);
    for (uint32_t id : removed) {
      bool usedElsewhere = std::any_of(m_nodeKeywords.begin(), m_nodeKeywords.end(), [&](const auto& other) {
        return other.first != nodeId &&
               std::find(other.second.ids.begin(), other.second.ids.end(), id) != other.second.ids.end();
      });
      if (!usedElsewhere) m_keywords.erase(id);
    }
  }
  PutNodeKeywords(nodeId, entry);
}

void CMarrowleafDoc::EnumNodeKeywordNames(uint32_t nodeId,
                                          const std::function<void(const std::string&)>& callback) const {
  auto lock = Lock();
  auto it = m_nodeKeywords.find(nodeId);
  if (it == m_nodeKeywords.end()) return;
  for (uint32_t id : it->second.ids) {
    auto keyword = m_keywords.find(id);
    if (keyword == m_keywords.end()) {
      AppLog().WriteLine("Failed to get keyword id" + std::to_string(id) + " in document '" + m_pathName + "'");
      continue;
    }
    callback(keyword->second);
  }
}

void CMarrowleafDoc::EnumKeywords(const std::function<void(uint32_t, const std::string&)>& callback) const {
  auto lock = Lock();
  for (const auto& [id, text] : m_keywords) callback(id, text);
}

}  // namespace mlf
