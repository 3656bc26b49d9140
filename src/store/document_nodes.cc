// The node table operations of the document.
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "store/document.h"
#include "store/node.h"
#include "store/node_clipboard.h"

namespace mlf {

bool CMarrowleafDoc::Data_GetItem(uint32_t id, NTV& out) const {
  return CopyOut(m_nodes, id, out);
}

void CMarrowleafDoc::Data_SetItem(uint32_t id, const NTV& record, bool markModified) {
  auto lock = Lock();
  m_nodes[id] = record;
  m_locations.try_emplace(id);  // every node has a location entry
  if (id >= m_nextNodeId) m_nextNodeId = id + 1;  // ids are never handed out twice
  if (markModified) SetModifiedFlag();
}

uint32_t CMarrowleafDoc::Data_NewItem() {
  auto lock = Lock();
  uint32_t id = m_nextNodeId++;
  NTV record;
  record.nIndex = id;
  m_nodes[id] = record;
  m_locations[id] = DATALOC{};
  SetModifiedFlag();
  return id;
}

void CMarrowleafDoc::Data_GetChildren(uint32_t id, std::vector<uint32_t>& out) const {
  auto lock = Lock();
  // One pass builds the parent index, detached nodes under the top level; the walk then visits
  // each record once, in the order a scan of the table per folder would give.
  std::unordered_set<uint32_t> detached;
  for (const DetachedNode& node : FindDetachedNodes(m_nodes)) detached.insert(node.id);
  std::unordered_map<uint32_t, std::vector<const NTV*>> children;
  for (const auto& [nodeId, record] : m_nodes) children[detached.count(nodeId) ? 0 : record.nParent].push_back(&record);

  struct Level {
    uint32_t owner;
    const std::vector<const NTV*>* children;
    size_t next = 0;
  };
  auto levelOf = [&](uint32_t owner) -> std::optional<Level> {
    auto it = children.find(owner);
    if (it == children.end()) return std::nullopt;
    return Level{owner, &it->second};
  };
  std::vector<Level> stack;
  std::unordered_set<uint32_t> visited{id};  // a node is listed once, even below a cycle
  if (auto level = levelOf(id)) stack.push_back(*level);
  while (!stack.empty()) {
    Level& level = stack.back();
    if (level.next == level.children->size()) {
      uint32_t finished = level.owner;
      stack.pop_back();
      if (!stack.empty()) out.push_back(finished);  // a folder follows its descendants
      continue;
    }
    const NTV* child = (*level.children)[level.next++];
    if (!visited.insert(child->nIndex).second) continue;
    std::optional<Level> below = child->nType == ntFolder ? levelOf(child->nIndex) : std::nullopt;
    if (below) stack.push_back(*below);
    else out.push_back(child->nIndex);
  }
}

std::vector<DetachedNode> CMarrowleafDoc::DetachedNodesAtOpen() const {
  auto lock = Lock();
  return m_detachedAtOpen;
}

bool CMarrowleafDoc::Data_DeleteItem(uint32_t id) {
  auto lock = Lock();
  auto it = m_nodes.find(id);
  if (it == m_nodes.end()) return false;
  std::vector<uint32_t> ids{id};
  if (it->second.nType == ntFolder) Data_GetChildren(id, ids);  // only folders have children
  for (uint32_t nodeId : ids) {
    m_keywords.RemoveNode(nodeId);
    DeleteBookmarksOfNode(nodeId);
    m_nodes.erase(nodeId);
    m_locations.erase(nodeId);
    m_passwords.erase(nodeId);
    RemoveTaskAssociation(nodeId);
  }
  // Children of a deleted note (only damaged files have them) stay, at the top level.
  std::unordered_set<uint32_t> deleted(ids.begin(), ids.end());
  for (auto& [nodeId, record] : m_nodes)
    if (deleted.count(record.nParent)) record.nParent = 0;
  SetModifiedFlag();
  return true;
}

std::string CMarrowleafDoc::Data_GetItemPath(uint32_t id) const {
  auto lock = Lock();
  auto it = m_nodes.find(id);
  if (it == m_nodes.end()) return {};
  std::string path = it->second.strTitle;
  uint32_t parent = it->second.nParent;
  // A damaged file may hold a parent cycle: no path is longer than the table.
  for (size_t steps = 0; parent != 0 && steps < m_nodes.size(); ++steps) {
    auto up = m_nodes.find(parent);
    if (up == m_nodes.end()) break;
    path = up->second.strTitle + "/" + path;
    parent = up->second.nParent;
  }
  return "//" + path;
}

bool CMarrowleafDoc::Data_GetLocation(uint32_t id, DATALOC& out) const {
  return CopyOut(m_locations, id, out);
}

void CMarrowleafDoc::Data_SetLocation(uint32_t id, const DATALOC& location) {
  auto lock = Lock();
  m_locations[id] = location;
}

size_t CMarrowleafDoc::Data_GetCount() const {
  auto lock = Lock();
  return m_nodes.size();
}

void CMarrowleafDoc::Data_EnumItems(const std::function<void(const NTV&)>& callback) const {
  auto lock = Lock();
  for (const auto& [id, record] : m_nodes) callback(record);
}

uint32_t CMarrowleafDoc::CopyNode(uint32_t sourceId, bool fromClipboard) {
  CMarrowleafDoc* source = this;
  if (fromClipboard) {
    NodeClipboardEntry entry = NodeClipboard::Instance().Get();
    if (!entry.hasEntry || !entry.sourceDocument) return 0;
    source = entry.sourceDocument;
  }
  CMlfNode sourceNode;
  if (!sourceNode.Attach(source, sourceId)) return 0;
  CMlfNode copy;
  return copy.CopyFrom(this, sourceNode) ? copy.GetId() : 0;
}

void CMarrowleafDoc::SetNodePassword(uint32_t nodeId, const std::optional<SecureString>& password) {
  auto lock = Lock();
  if (password) m_passwords[nodeId] = *password;
  else m_passwords.erase(nodeId);
}

std::optional<SecureString> CMarrowleafDoc::GetNodePassword(uint32_t nodeId) const {
  auto lock = Lock();
  auto it = m_passwords.find(nodeId);
  if (it == m_passwords.end()) return std::nullopt;
  return it->second;
}

}  // namespace mlf
