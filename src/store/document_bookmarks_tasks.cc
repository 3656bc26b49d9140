// Bookmarks and tasks of the document.
#include "store/document.h"

namespace mlf {

uint32_t CMarrowleafDoc::AddBookmark() {
  auto lock = Lock();
  uint32_t id = m_nextBookmarkId++;
  m_bookmarks[id] = MLFBOOKMARK{id};
  SetModifiedFlag();
  return id;
}

bool CMarrowleafDoc::GetBookmark(uint32_t id, MLFBOOKMARK& out) const {
  return CopyOut(m_bookmarks, id, out);
}

void CMarrowleafDoc::SetBookmark(uint32_t id, const MLFBOOKMARK& record) {
  auto lock = Lock();
  m_bookmarks[id] = record;
  if (id >= m_nextBookmarkId) m_nextBookmarkId = id + 1;
  SetModifiedFlag();
}

void CMarrowleafDoc::DeleteBookmark(uint32_t id) {
  auto lock = Lock();
  m_bookmarks.erase(id);
  SetModifiedFlag();
}

void CMarrowleafDoc::DeleteBookmarksOfNode(uint32_t nodeId) {
  auto lock = Lock();
  for (auto it = m_bookmarks.begin(); it != m_bookmarks.end();) {
    if (it->second.nNode == nodeId) {
      it = m_bookmarks.erase(it);
      SetModifiedFlag();
    } else {
      ++it;
    }
  }
}

void CMarrowleafDoc::EnumBookmarks(const std::function<void(const MLFBOOKMARK&)>& callback) const {
  auto lock = Lock();
  for (const auto& [id, record] : m_bookmarks) callback(record);
}

uint32_t CMarrowleafDoc::NewTask() {
  auto lock = Lock();
  uint32_t id = m_nextTaskId++;
  MLFTASK task;
  task.nId = id;
  m_tasks[id] = task;
  SetModifiedFlag();
  return id;
}

bool CMarrowleafDoc::GetTask(uint32_t id, MLFTASK& out) const {
  return CopyOut(m_tasks, id, out);
}

void CMarrowleafDoc::SetTask(const MLFTASK& record, bool markModified) {
  auto lock = Lock();
  m_tasks[record.nId] = record;
  if (record.nId >= m_nextTaskId) m_nextTaskId = record.nId + 1;
  if (markModified) SetModifiedFlag();
}

void CMarrowleafDoc::DeleteTask(uint32_t id) {
  auto lock = Lock();
  auto it = m_tasks.find(id);
  if (it != m_tasks.end()) {
    uint32_t node = it->second.nNode;
    bool attached = (it->second.nFlags & kTaskAttached) && node != 0;
    m_tasks.erase(it);
    // The node's overlay changes only when this was its last task.
    if (attached && !NodeHasTaskLocked(node)) NotifyNode(node);
  }
  SetModifiedFlag();
}

bool CMarrowleafDoc::NodeHasTaskLocked(uint32_t nodeId) const {
  if (nodeId == 0) return false;  // 0 is "no node", never a node
  for (const auto& [id, task] : m_tasks)
    if (task.nNode == nodeId) return true;
  return false;
}

bool CMarrowleafDoc::NodeHasTask(uint32_t nodeId) const {
  auto lock = Lock();
  return NodeHasTaskLocked(nodeId);
}

void CMarrowleafDoc::RemoveTaskAssociation(uint32_t nodeId) {
  auto lock = Lock();
  if (nodeId == 0) return;
  for (auto& [id, task] : m_tasks) {
    if (task.nNode != nodeId) continue;
    task.nFlags &= ~kTaskAttached;
    task.nNode = 0;
    NotifyTask(id);
  }
}

void CMarrowleafDoc::EnumTasks(const std::function<void(const MLFTASK&)>& callback) const {
  auto lock = Lock();
  for (const auto& [id, record] : m_tasks) callback(record);
}

}  // namespace mlf
