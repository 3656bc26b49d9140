// The node table operations of the document.
#include <algorithm>
#include <functional>
#include <unordered_map>

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
  // One pass builds the parent index; the walk then visits each record once, in the order a
  // scan of the table per folder would give.
  std::unordered_map<uint32_t, std::vector<const NTV*>> children;
  for (const auto& [nodeId, record] : m_nodes) children[record.nParent].push_back(&record);
  std::vector<uint32_t> visiting;  // guards against parent cycles in damaged files
  std::function<void(uint32_t)> walk = [&](uint32_t parent) {
    auto it = children.find(parent);
    if (it == children.end()) return;
    visiting.push_back(parent);
    for (const NTV* child : it->second) {
      bool cycle = std::find(visiting.begin(), visiting.end(), child->nIndex) != visiting.end();
      if (child->nType == ntFolder && !cycle) walk(child->nIndex);
      if (!cycle) out.push_back(child->nIndex);
    }
    visiting.pop_back();
  };
  walk(id);
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
