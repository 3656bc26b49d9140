#include "search/node_search.h"

#include <algorithm>

#include "platform/codepage.h"
#include "platform/text_case.h"
#include "rtf/plain_text.h"
#include "store/document.h"
#include "store/stream_reader.h"

namespace mlf {

NodeSearch::NodeSearch(CMarrowleafDoc& document, SearchQuery query, unsigned threads)
    : m_document(document), m_query(std::move(query)) {
  m_threadCount = threads ? threads : std::max(1u, std::thread::hardware_concurrency());
}

NodeSearch::~NodeSearch() {
  Stop();
  Wait();
}

void NodeSearch::Prepare() {
  m_words = QueryWords(m_query.text, m_query.mode);
  auto lock = m_document.Lock();
  m_document.Data_EnumItems([&](const NTV& r) { m_ids.push_back(r.nIndex); });
  if (m_query.keywords)
    m_document.EnumKeywords([&](uint32_t id, const std::string& text) {
      if (TextMatches(LowerUtf8(StoredTextToUtf8(text)), m_words, m_query.mode)) m_matchedKeywords.push_back(id);
    });
  std::sort(m_matchedKeywords.begin(), m_matchedKeywords.end());
  m_states = std::vector<std::atomic<State>>(m_ids.size());
}

void NodeSearch::Start() {
  Prepare();
  if (m_snapshotHook) m_snapshotHook();
  m_running = m_threadCount;
  for (unsigned i = 0; i < m_threadCount; ++i) m_threads.emplace_back([this] { Work(); });
}

void NodeSearch::Stop() { m_stop = true; }

void NodeSearch::Wait() {
  for (std::thread& t : m_threads)
    if (t.joinable()) t.join();
  m_threads.clear();
}

std::vector<uint32_t> NodeSearch::TakeResults() {
  std::lock_guard lock(m_resultsMutex);
  return std::move(m_results);
}

NodeSearch::State NodeSearch::Examine(uint32_t id) {
  NTV record;
  if (!m_document.Data_GetItem(id, record)) return State::NoMatch;  // deleted meanwhile
  if (m_query.titles && TextMatches(LowerUtf8(StoredTextToUtf8(record.strTitle)), m_words, m_query.mode))
    return State::Match;
  if (m_query.keywords && !m_matchedKeywords.empty()) {
    MLFNODEKEYWORDS entry;
    if (m_document.GetNodeKeywords(id, entry))
      for (uint32_t keyword : entry.ids)
        if (std::binary_search(m_matchedKeywords.begin(), m_matchedKeywords.end(), keyword)) return State::Match;
  }
  if (!m_query.content || record.nType != ntNote || (record.nFlags & kNodeEncrypted)) return State::NoMatch;
  StreamReader reader(m_document, id);
  if (!reader.IsOpen()) return State::NoMatch;
  reader.PrepareReadBuffer();  // holds the document only while it reads the stored bytes
  std::string rtf(reader.Stream().nRawLength, '\0');
  rtf.resize(reader.Get(rtf.data(), rtf.size()));
  std::string text = rtf::RtfToPlainText(rtf);
  LowerUtf8InPlace(text);
  return TextMatches(text, m_words, m_query.mode) ? State::Match : State::NoMatch;
}

void NodeSearch::Publish() {
  std::lock_guard lock(m_resultsMutex);
  while (m_published < m_ids.size()) {
    State state = m_states[m_published].load();
    if (state == State::Pending) break;
    if (state == State::Match) m_results.push_back(m_ids[m_published]);
    ++m_published;
  }
  m_progress = m_ids.empty() ? 1000 : static_cast<int>(m_published * 1000 / m_ids.size());
}

void NodeSearch::Work() {
  while (!m_stop) {
    size_t index = m_next++;
    if (index >= m_ids.size()) break;
    m_states[index] = Examine(m_ids[index]);
    Publish();
  }
  if (--m_running == 0) {
    Publish();
    m_finished = true;
  }
}

std::vector<uint32_t> NodeSearch::Run(CMarrowleafDoc& document, const SearchQuery& query) {
  NodeSearch search(document, query);
  search.Start();
  search.Wait();
  return search.TakeResults();
}

}  // namespace mlf
