// What the node tree and the bookmarks list ask of the document window around them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mlf {

// The imports of the tree's pop-up menu.
enum class ImportKind { Notes, Images, ForeignData, Html };

class TreeHost {
 public:
  virtual ~TreeHost() = default;
  // Opens the node in the content pane (open set) or shows the blank view with id as the
  // active node id (normally -1). False when the node could not be opened.
  virtual bool ActivateNode(bool open, int64_t nodeId) = 0;
  // Asks for files and imports them as new nodes under parentId (0: the top level).
  virtual void ImportFiles(ImportKind kind, uint32_t parentId) = 0;
  // Imports files dropped on the tree as new nodes under parentId, with the progress dialog.
  virtual void ImportDroppedFiles(uint32_t parentId, const std::vector<std::string>& files) = 0;
  // Asks for a target file and exports the node into it.
  virtual void ExportNode(uint32_t nodeId) = 0;
  // Writes the note open in the content pane back into the document; false (the user told)
  // when it could not be written.
  virtual bool StoreOpenNode() = 0;
};

}  // namespace mlf
