// Bookmarks and tasks: the document's forwarding calls to its tables, which add the lock, the
// modified flag and the window's refreshes.
#include "store/document.h"

namespace mlf {

uint32_t CMarrowleafDoc::AddBookmark() { return AddBookmark(0, {}); }

uint32_t CMarrowleafDoc::AddBookmark(uint32_t nodeId, const std::string& name) {
  auto lock = Lock();
  MLFBOOKMARK bookmark;
  bookmark.nNode = nodeId;
  bookmark.strName = name;
  uint32_t id = m_bookmarks.Add(bookmark);
  SetModifiedFlag();
  return id;
}

bool CMarrowleafDoc::GetBookmark(uint32_t id, MLFBOOKMARK& out) const {
  return CopyOut(m_bookmarks.Records(), id, out);
}

void CMarrowleafDoc::SetBookmark(uint32_t id, const MLFBOOKMARK& record) {
  auto lock = Lock();
  m_bookmarks.Put(id, record);
  SetModifiedFlag();
}

void CMarrowleafDoc::DeleteBookmark(uint32_t id) {
  auto lock = Lock();
  m_bookmarks.Erase(id);
  SetModifiedFlag();
}

void CMarrowleafDoc::DeleteBookmarksOfNode(uint32_t nodeId) {
  auto lock = Lock();
  if (m_bookmarks.EraseIf([&](const MLFBOOKMARK& b) { return b.nNode == nodeId; })) SetModifiedFlag();
}

void CMarrowleafDoc::EnumBookmarks(const std::function<void(const MLFBOOKMARK&)>& callback) const {
  auto lock = Lock();
  for (const auto& [id, record] : m_bookmarks.Records()) callback(record);
}

uint32_t CMarrowleafDoc::NewTask() { return NewTask(MLFTASK{}); }

uint32_t CMarrowleafDoc::NewTask(const MLFTASK& fields) {
  auto lock = Lock();
  uint32_t id = m_tasks.Add(fields);
  SetModifiedFlag();
  return id;
}

bool CMarrowleafDoc::GetTask(uint32_t id, MLFTASK& out) const {
  return CopyOut(m_tasks.Records(), id, out);
}

void CMarrowleafDoc::SetTask(const MLFTASK& record, bool markModified) {
  auto lock = Lock();
  m_tasks.Put(record.nId, record);
  if (markModified) SetModifiedFlag();
}

void CMarrowleafDoc::DeleteTask(uint32_t id) {
  auto lock = Lock();
  auto it = m_tasks.Records().find(id);
  if (it != m_tasks.Records().end()) {
    uint32_t node = it->second.nNode;
    bool attached = (it->second.nFlags & kTaskAttached) && node != 0;
    m_tasks.Erase(id);
    // The node's overlay changes only when this was its last task.
    if (attached && !m_tasks.NodeHasTask(node)) NotifyNode(node);
  }
  SetModifiedFlag();
}

bool CMarrowleafDoc::NodeHasTask(uint32_t nodeId) const {
  auto lock = Lock();
  return m_tasks.NodeHasTask(nodeId);
}

void CMarrowleafDoc::RemoveTaskAssociation(uint32_t nodeId) {
  auto lock = Lock();
  for (uint32_t id : m_tasks.Detach(nodeId)) NotifyTask(id);
}

void CMarrowleafDoc::EnumTasks(const std::function<void(const MLFTASK&)>& callback) const {
  auto lock = Lock();
  for (const auto& [id, record] : m_tasks.Records()) callback(record);
}

}  // namespace mlf
