// What a document asks of the window that shows it. The document window implements it; no
// core code knows a widget.
#pragma once

#include <cstdint>

namespace mlf {

class DocumentObserver {
 public:
  virtual ~DocumentObserver() = default;
  // A node's tree entry changed (its task overlay, for example).
  virtual void RefreshNode(uint32_t nodeId) = 0;
  // A task's row in the task list changed.
  virtual void RefreshTask(uint32_t taskId) = 0;
  // The custom logo changed.
  virtual void RefreshLogo() = 0;
  // Before a save: store the node open in the window. Returns whether the Tasks bar is shown.
  virtual bool PrepareForSave() = 0;
  // A file was loaded into the document: rebuild the tree, bookmarks and tasks.
  virtual void OnDocumentLoaded() = 0;
  // The document's modified flag changed. Called under the document's lock, on the thread
  // that changed it.
  virtual void ModifiedChanged(bool /*modified*/) {}
};

}  // namespace mlf
