// A document window on a document in memory, with scripted prompts and the test cipher.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/mem_env.h"
#include "store/document.h"
#include "store/node.h"
#include "support/scripted_prompts.h"
#include "support/test_crypt.h"
#include "tree/mlf_tree_ctrl.h"
#include "views/child_frame.h"

class QLineEdit;
class QTreeWidgetItem;

namespace mlf::test {

// A plain red picture of that size as PNG bytes.
std::string PngBytes(int width, int height);

class GuiFixture : public ::testing::Test {
 protected:
  GuiFixture();
  ~GuiFixture() override;

  uint32_t Add(uint8_t type, const char* title, uint32_t parent = 0, const std::string& content = "");
  // Encrypts the node with the test cipher under password.
  void Encrypt(uint32_t nodeId, const std::string& password);
  // Creates the window and shows the document in it, as after opening a file.
  void Show();

  CMlfTreeCtrl& Tree() const;
  QTreeWidgetItem* Item(uint32_t nodeId) const;
  // The texts of an entry's children (the top level for none), in display order.
  std::vector<std::string> Children(QTreeWidgetItem* parent = nullptr) const;
  std::vector<std::string> Bold() const;
  // The open label edit box of the tree, or null (closed ones linger until deleted).
  QLineEdit* Editor() const;
  std::vector<std::string> MessageTexts() const;
  // The node's content as the store reads it back.
  std::string Content(uint32_t nodeId);

  MemEnv env;
  ScriptedPrompts prompts;
  ScopedAppPrompts scope{prompts};
  TestCrypt crypt;
  CMarrowleafDoc* doc;  // owned by the frame once it exists
  std::unique_ptr<CMarrowleafDoc> pending;
  std::unique_ptr<CChildFrame> frame;
};

}  // namespace mlf::test
