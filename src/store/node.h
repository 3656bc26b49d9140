// A node handle: a small value object on the caller's stack holding a snapshot of one node
// record. Changes reach the document only through Update.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/secure_memory.h"
#include "store/node_record.h"
#include "store/tree_picture.h"

namespace mlf {

class CMarrowleafDoc;
class CMlfNodeData;
class ProgressSink;

// The overlay of an entry that is not the open node: the padlock beats the clock; folders
// carry neither.
TreeOverlay NodeOverlay(const NTV& record, bool hasTask);

class CMlfNode {
 public:
  CMlfNode();
  CMlfNode(CMarrowleafDoc* document, uint32_t id);
  // A copy holds the same record snapshot but no node data of its own.
  CMlfNode(const CMlfNode& other);
  CMlfNode& operator=(const CMlfNode& other);
  ~CMlfNode();

  // Loads the record; false (and invalid) for an unknown id.
  bool Attach(CMarrowleafDoc* document, uint32_t id);
  // Makes a new node of the type under parent, titled title or the type's default title.
  bool Create(CMarrowleafDoc* document, uint8_t type, const char* title, uint32_t parent);
  // Makes this (invalid) handle a copy of source in document: record, keywords and content.
  // The copy lies at the top level; the caller sets its parent.
  bool CopyFrom(CMarrowleafDoc* document, const CMlfNode& source);
  // Writes the record copy back to the document.
  void Update(bool markModified);
  // Reloads the record copy from the document, keeping the node data.
  void Reload();

  // The node's content, read (null without stored data) or written; owned by the handle.
  CMlfNodeData* GetNodeDataForRead(ProgressSink* status = nullptr);
  CMlfNodeData* GetNodeDataForWrite(bool compress);

  bool IsValid() const { return m_valid; }
  CMarrowleafDoc* GetDocument() const { return m_document; }
  const NTV& Record() const { return m_record; }

  uint32_t GetId() const { return m_valid ? m_record.nIndex : 0; }
  uint8_t GetType() const { return m_valid ? m_record.nType : 255; }
  const char* GetTitle() const { return m_valid ? m_record.strTitle.c_str() : nullptr; }
  uint32_t GetParent() const { return m_record.nParent; }
  bool IsCompressed() const { return m_record.nFlags & kNodeCompressed; }
  bool IsEncrypted() const { return m_record.nFlags & kNodeEncrypted; }
  uint32_t GetRawLength() const { return m_record.nRawLength; }
  uint32_t GetKeyLength() const { return m_record.nKeyLength; }
  uint32_t GetHashType() const { return m_record.nHashType; }
  uint32_t GetCryptType() const { return m_record.nCryptType; }
  uint32_t GetTestLength() const { return m_record.nTestLength; }
  bool HasContentType() const { return m_valid && mlf::HasContentType(m_record.nType); }
  bool HasContent() const { return HasContentType() && m_record.nStorageLength != 0; }
  bool IsFolder() const { return m_valid && m_record.nType == ntFolder; }
  bool HasTask() const;

  void SetTitle(const std::string& title) { m_record.strTitle = title; }
  void SetParent(uint32_t parent) { m_record.nParent = parent; }
  void SetFlags(uint32_t flags) { m_record.nFlags = flags; }
  void SetKeyLength(uint32_t length) { m_record.nKeyLength = length; }
  void SetHashType(uint32_t type) { m_record.nHashType = type; }
  void SetCryptType(uint32_t type) { m_record.nCryptType = type; }
  void SetTestLength(uint32_t length) { m_record.nTestLength = length; }

  // Keeps the password in the document's memory for this run (or forgets it), without marking
  // the document modified.
  void SetPassword(bool hasPassword, const SecureString& password);
  bool HasPassword() const;
  // Empty when none was entered.
  SecureString GetPassword() const;

  TreeItemInfo GetTreeItem() const;

 private:
  bool m_valid = false;
  CMarrowleafDoc* m_document = nullptr;
  NTV m_record;
  std::unique_ptr<CMlfNodeData> m_nodeData;
};

}  // namespace mlf
