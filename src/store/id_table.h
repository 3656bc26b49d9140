// Records kept by a uint32 id that the table hands out from its own counter: it starts at 1,
// moves past every id stored, and never goes back while the document is open. Not locked: the
// document holds its tables under its own lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>

namespace mlf {

template <typename Record>
class IdTable {
 public:
  // Stores the record under the next id, which it also gets as its nId; returns the id.
  uint32_t Add(Record record) {
    uint32_t id = m_nextId++;
    record.nId = id;
    m_records[id] = std::move(record);
    return id;
  }
  // Stores the record under id, as a file or the user gave it.
  void Put(uint32_t id, Record record) {
    m_records[id] = std::move(record);
    if (id >= m_nextId) m_nextId = id + 1;
  }
  bool Erase(uint32_t id) { return m_records.erase(id) != 0; }
  // Removes every record that remove accepts; how many it removed.
  template <typename Predicate>
  size_t EraseIf(Predicate remove) {
    return std::erase_if(m_records, [&](const auto& entry) { return remove(entry.second); });
  }
  // Forgets the records; the counter keeps its place.
  void Clear() { m_records.clear(); }

  // By id, in ascending order.
  const std::map<uint32_t, Record>& Records() const { return m_records; }
  std::map<uint32_t, Record>& Records() { return m_records; }

 private:
  std::map<uint32_t, Record> m_records;
  uint32_t m_nextId = 1;
};

}  // namespace mlf
