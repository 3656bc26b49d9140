#include "gui_fixture.h"

#include <QBuffer>
#include <QImage>
#include <QLineEdit>
#include <QTreeWidgetItemIterator>

#include "app/app_settings.h"
#include "store/node_data.h"
#include "tree/mlf_tree_ctrl.h"
#include "views/tabs_view.h"

namespace mlf::test {

std::string PngBytes(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

GuiFixture::GuiFixture() : pending(std::make_unique<CMarrowleafDoc>(env)) {
  doc = pending.get();
  doc->OnNewDocument();
  doc->SetCryptProvider(&crypt);
  AppSettings() = MlfSettings();
}

GuiFixture::~GuiFixture() { frame.reset(); }

uint32_t GuiFixture::Add(uint8_t type, const char* title, uint32_t parent, const std::string& content) {
  CMlfNode node;
  node.Create(doc, type, title, parent);
  if (type != ntFolder) {
    CMlfNodeData* data = node.GetNodeDataForWrite(true);
    data->Put(content.data(), content.size());
    data->Finish();
  }
  return node.GetId();
}

void GuiFixture::Encrypt(uint32_t nodeId, const std::string& password) {
  ASSERT_TRUE(doc->SetNodeEncryption(nodeId, TestCrypt::kCipher, 16, TestCrypt::kKeyDerivation,
                                     SecureString(password), SecureString()));
}

void GuiFixture::Show() {
  frame = std::make_unique<CChildFrame>(std::move(pending), QStringLiteral("Untitled 1"));
  frame->resize(800, 500);
  frame->show();
  frame->OnDocumentLoaded();
}

CMlfTreeCtrl& GuiFixture::Tree() const { return *frame->TabsView()->NodeTree(); }

QTreeWidgetItem* GuiFixture::Item(uint32_t nodeId) const { return Tree().FindItem(nodeId); }

std::vector<std::string> GuiFixture::Children(QTreeWidgetItem* parent) const {
  QTreeWidgetItem* container = parent ? parent : Tree().invisibleRootItem();
  std::vector<std::string> texts;
  for (int i = 0; i < container->childCount(); ++i) texts.push_back(container->child(i)->text(0).toStdString());
  return texts;
}

std::vector<std::string> GuiFixture::Bold() const {
  std::vector<std::string> texts;
  for (QTreeWidgetItemIterator it(&Tree()); *it; ++it)
    if ((*it)->font(0).bold()) texts.push_back((*it)->text(0).toStdString());
  return texts;
}

QLineEdit* GuiFixture::Editor() const {
  for (QLineEdit* editor : Tree().viewport()->findChildren<QLineEdit*>())
    if (editor->isVisible()) return editor;
  return nullptr;
}

std::vector<std::string> GuiFixture::MessageTexts() const {
  std::vector<std::string> texts;
  for (const RecordedMessage& message : prompts.messages) texts.push_back(message.text);
  return texts;
}

std::string GuiFixture::Content(uint32_t nodeId) {
  CMlfNode node(doc, nodeId);
  std::string content;
  if (CMlfNodeData* data = node.GetNodeDataForRead()) {
    char buffer[4096];
    while (size_t n = data->Get(buffer, sizeof buffer)) content.append(buffer, n);
  }
  return content;
}

}  // namespace mlf::test
