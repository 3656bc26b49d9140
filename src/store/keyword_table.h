// The document's keywords: a table of texts by id and, per node, the list of keyword ids it
// carries. Not locked: the document holds it under its own lock.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "store/collection_records.h"

namespace mlf {

// The longest keyword accepted from the user, in stored bytes: a keyword is a word to search
// by, not a note.
inline constexpr size_t kMaxKeywordLength = 255;

class KeywordTable {
 public:
  // The id of the lower-cased text, added under the next id when no keyword has it.
  uint32_t FindOrAdd(const std::string& text);
  // Stores a keyword under its id, as read from a file.
  void PutKeyword(uint32_t id, const std::string& text);
  // Stores the node's list as given (loading, node copy).
  void PutNodeKeywords(uint32_t nodeId, const MLFNODEKEYWORDS& entry);
  // Replaces the node's list and drops the keywords it no longer lists that no other node
  // lists either.
  void SetNodeKeywords(uint32_t nodeId, const MLFNODEKEYWORDS& entry);
  // Drops the node's list and the keywords only it used.
  void RemoveNode(uint32_t nodeId);
  // Forgets keywords and lists; the counter keeps its place.
  void Clear();

  const std::map<uint32_t, std::string>& Keywords() const { return m_keywords; }
  const std::map<uint32_t, MLFNODEKEYWORDS>& NodeKeywords() const { return m_nodeKeywords; }

 private:
  std::map<uint32_t, std::string> m_keywords;
  std::map<uint32_t, MLFNODEKEYWORDS> m_nodeKeywords;
  uint32_t m_nextId = 1;
};

}  // namespace mlf
