#include "store/node.h"

#include "store/document.h"
#include "store/node_content_copy.h"
#include "store/node_data.h"

namespace mlf {

CMlfNode::CMlfNode() = default;

CMlfNode::CMlfNode(CMarrowleafDoc* document, uint32_t id) { Attach(document, id); }

CMlfNode::CMlfNode(const CMlfNode& other)
    : m_valid(other.m_valid), m_document(other.m_document), m_record(other.m_record) {}

CMlfNode& CMlfNode::operator=(const CMlfNode& other) {
  if (this == &other) return *this;
  m_nodeData.reset();
  m_valid = other.m_valid;
  m_document = other.m_document;
  m_record = other.m_record;
  return *this;
}

CMlfNode::~CMlfNode() = default;

void CMlfNode::Reload() {
  if (m_valid) m_valid = m_document->Data_GetItem(m_record.nIndex, m_record);
}

CMlfNodeData* CMlfNode::GetNodeDataForRead(ProgressSink* status) {
  m_nodeData = std::make_unique<CMlfNodeData>(status);
  if (!m_nodeData->Initialize(this, CMlfNodeData::kModeRead, false)) m_nodeData.reset();
  return m_nodeData.get();
}

CMlfNodeData* CMlfNode::GetNodeDataForWrite(bool compress) {
  m_nodeData = std::make_unique<CMlfNodeData>();
  if (!m_nodeData->Initialize(this, CMlfNodeData::kModeWrite, compress)) m_nodeData.reset();
  return m_nodeData.get();
}

bool CMlfNode::Attach(CMarrowleafDoc* document, uint32_t id) {
  m_nodeData.reset();
  m_document = document;
  m_record = NTV{};
  m_valid = document && document->Data_GetItem(id, m_record);
  return m_valid;
}

bool CMlfNode::Create(CMarrowleafDoc* document, uint8_t type, const char* title, uint32_t parent) {
  if (m_valid) return true;
  uint32_t id = document->Data_NewItem();
  Attach(document, id);
  m_record.nParent = parent;
  m_record.nType = type;
  m_record.nIcon = uint16_t(DefaultImage(type));
  const char* defaultTitle = DefaultTitle(type);
  m_record.strTitle = title ? title : (defaultTitle ? defaultTitle : "");
  Update(true);
  return true;
}

bool CMlfNode::CopyFrom(CMarrowleafDoc* document, const CMlfNode& source) {
  if (m_valid) return false;
  if (!source.IsValid() || !document) return false;
  CMarrowleafDoc* from = source.GetDocument();
  auto lockTarget = document->Lock();
  auto lockSource = from->Lock();

  Attach(document, document->Data_NewItem());
  uint32_t id = m_record.nIndex;
  m_record = source.Record();
  m_record.nIndex = id;
  m_record.nParent = 0;
  Update(true);
  // The copy keeps the source's key, so the password entered for the source opens it too.
  document->SetNodePassword(id, from->GetNodePassword(source.GetId()));

  MLFNODEKEYWORDS keywords;
  if (from->GetNodeKeywords(source.GetId(), keywords)) {
    MLFNODEKEYWORDS copy{id, {}};
    for (uint32_t keyword : keywords.ids) {
      std::string name;
      if (from == document) copy.ids.push_back(keyword);
      else if (from->GetKeywordName(keyword, name)) copy.ids.push_back(document->FindOrAddKeyword(name));
    }
    document->PutNodeKeywords(id, copy);
  }

  if (source.HasContent()) {
    if (from == document) {
      DATALOC location;
      from->Data_GetLocation(source.GetId(), location);
      document->Data_SetLocation(id, location);  // both share the stored bytes
    } else if (!CopyStoredContent(*from, source.GetId(), *document, id)) {
      document->Data_DeleteItem(id);  // a copy without its content would lose the user's data
      m_valid = false;
      return false;
    }
  }
  return Attach(document, id);
}

void CMlfNode::Update(bool markModified) {
  if (m_valid) m_document->Data_SetItem(m_record.nIndex, m_record, markModified);
}

bool CMlfNode::HasTask() const { return m_valid && m_document->NodeHasTask(m_record.nIndex); }

void CMlfNode::SetPassword(bool hasPassword, const SecureString& password) {
  if (m_valid) m_document->SetNodePassword(m_record.nIndex, hasPassword ? std::optional(password) : std::nullopt);
}

bool CMlfNode::HasPassword() const { return m_valid && m_document->GetNodePassword(m_record.nIndex).has_value(); }

SecureString CMlfNode::GetPassword() const {
  std::optional<SecureString> password;
  if (m_valid) password = m_document->GetNodePassword(m_record.nIndex);
  return password.value_or(SecureString());
}

TreeOverlay NodeOverlay(const NTV& record, bool hasTask) {
  if (record.nType == ntFolder) return TreeOverlay::kNone;
  if (record.nFlags & kNodeEncrypted) return TreeOverlay::kEncrypted;
  return hasTask ? TreeOverlay::kTask : TreeOverlay::kNone;
}

TreeItemInfo CMlfNode::GetTreeItem() const {
  TreeItemInfo item;
  item.title = m_record.strTitle;
  item.image = item.selectedImage = TreeImage(m_record.nIcon);
  item.itemData = m_record.nIndex;
  item.overlay = NodeOverlay(m_record, HasTask());
  return item;
}

}  // namespace mlf
