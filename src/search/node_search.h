// The node search of Find in Nodes. It runs on worker threads: the titles and keywords of every
// node, then the text of unencrypted rich-text notes, decoded on all cores at once. Results are
// published in ascending node id, each node once; progress is in thousandths of the node table.
// The document is held only for one node's record or stream read at a time, and the search
// copes with a document that changes meanwhile (ids that vanish are skipped).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "search/query.h"

namespace mlf {

class CMarrowleafDoc;

class NodeSearch {
 public:
  NodeSearch(CMarrowleafDoc& document, SearchQuery query, unsigned threads = 0);
  ~NodeSearch();  // stops and joins
  NodeSearch(const NodeSearch&) = delete;
  NodeSearch& operator=(const NodeSearch&) = delete;

  void Start();
  void Stop();
  // Waits for the end of the search.
  void Wait();
  bool Finished() const { return m_finished; }
  // 0..1000.
  int Progress() const { return m_progress; }
  // The matches found since the last call, in ascending node id.
  std::vector<uint32_t> TakeResults();

  // Called by Start once the node table was taken and before any node is examined; tests
  // change the document there.
  void SetSnapshotHook(std::function<void()> hook) { m_snapshotHook = std::move(hook); }

  // Runs the whole search on the calling thread's helpers and returns every match.
  static std::vector<uint32_t> Run(CMarrowleafDoc& document, const SearchQuery& query);

 private:
  enum class State : uint8_t { Pending, NoMatch, Match };

  void Prepare();
  void Work();
  State Examine(uint32_t id);
  void Publish();

  CMarrowleafDoc& m_document;
  SearchQuery m_query;
  std::vector<std::string> m_words;
  std::vector<uint32_t> m_ids;              // the node table when the search started
  std::vector<uint32_t> m_matchedKeywords;  // sorted
  std::vector<std::atomic<State>> m_states;
  std::atomic<size_t> m_next{0};
  size_t m_published = 0;  // under m_resultsMutex
  std::mutex m_resultsMutex;
  std::vector<uint32_t> m_results;
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_finished{false};
  std::atomic<int> m_progress{0};
  std::atomic<unsigned> m_running{0};
  unsigned m_threadCount;
  std::vector<std::thread> m_threads;
  std::function<void()> m_snapshotHook;
};

}  // namespace mlf
