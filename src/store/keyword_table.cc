#include "store/keyword_table.h"

#include <algorithm>
#include <vector>

#include "platform/codepage.h"
#include "platform/text_case.h"

namespace mlf {

namespace {

// Keywords fold case as search does: on the text as shown, beyond ASCII too.
std::string FoldedKeyword(const std::string& stored) { return LowerUtf8(StoredTextToUtf8(stored)); }

}  // namespace

uint32_t KeywordTable::FindOrAdd(const std::string& text) {
  std::string folded = FoldedKeyword(text);
  for (const auto& [id, keyword] : m_keywords)
    if (FoldedKeyword(keyword) == folded) return id;
  uint32_t id = m_nextId++;
  m_keywords[id] = Utf8ToStoredText(folded);
  return id;
}

void KeywordTable::PutKeyword(uint32_t id, const std::string& text) {
  m_keywords[id] = text;
  if (id >= m_nextId) m_nextId = id + 1;
}

void KeywordTable::PutNodeKeywords(uint32_t nodeId, const MLFNODEKEYWORDS& entry) {
  MLFNODEKEYWORDS& stored = m_nodeKeywords[nodeId];
  stored = entry;
  stored.nNodeId = nodeId;
}

void KeywordTable::SetNodeKeywords(uint32_t nodeId, const MLFNODEKEYWORDS& entry) {
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

void KeywordTable::RemoveNode(uint32_t nodeId) {
  SetNodeKeywords(nodeId, MLFNODEKEYWORDS{nodeId, {}});
  m_nodeKeywords.erase(nodeId);
}

void KeywordTable::Clear() {
  m_keywords.clear();
  m_nodeKeywords.clear();
}

}  // namespace mlf
