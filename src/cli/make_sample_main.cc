// Writes a small sample note file: folders, notes with rich text, a picture, an HTML page, a
// keyword, a bookmark and a task. The first README command opens it when no file is given.
#include <cstdio>
#include <span>

#include "diagnostics/log.h"
#include "imaging/picture_resource.h"
#include "platform/env.h"
#include "store/document.h"
#include "store/node.h"
#include "store/node_data.h"

using namespace mlf;

namespace {

uint32_t AddNode(CMarrowleafDoc& doc, uint8_t type, const char* title, uint32_t parent, std::span<const uint8_t> content) {
  CMlfNode node;
  node.Create(&doc, type, title, parent);
  CMlfNodeData* data = node.GetNodeDataForWrite(true);
  data->Put(content.data(), content.size());
  data->Finish();
  return node.GetId();
}

uint32_t AddText(CMarrowleafDoc& doc, uint8_t type, const char* title, uint32_t parent, const std::string& text) {
  return AddNode(doc, type, title, parent, {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

uint32_t AddNote(CMarrowleafDoc& doc, const char* title, uint32_t parent, const std::string& text) {
  return AddText(doc, ntNote, title, parent,
                 "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n"
                 "\\viewkind4\\uc1\\pard\\f0\\fs24 " + text + "\\par\r\n}\r\n");
}

constexpr const char* kReadingList =
    "<html><head><title>Reading list</title><style>body{font-family:sans-serif;margin:24px}"
    "h1{color:#000080}li{margin:4px 0}</style></head><body><h1>Reading list</h1><ol>"
    "<li><b>The Garden Year</b>: what to sow when</li><li><b>Cello for Grown-ups</b>: the first ten lessons</li>"
    "<li><b>Bread</b>: flour, water, salt and time</li></ol><p>Kept as an HTML page in the notebook.</p></body></html>";

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: marrowleaf-make-sample FILE\n");
    return 2;
  }
  AppLog().Open();
  CMarrowleafDoc doc;
  doc.OnNewDocument();
  CMlfNode projects, recipes;
  projects.Create(&doc, ntFolder, "Projects", 0);
  uint32_t plan = AddNote(doc, "Plan for 2027", projects.GetId(),
                          "\\b Goals\\b0\\par - finish the garden\\par - learn the cello");
  AddNote(doc, "Ideas", projects.GetId(), "A note keeper that never loses a note.");
  recipes.Create(&doc, ntFolder, "Recipes", 0);
  AddNote(doc, "Bread", recipes.GetId(), "500 g flour, 350 g water, 10 g salt, 5 g yeast.");
  CMlfNode gallery;
  gallery.Create(&doc, ntFolder, "Gallery", 0);
  AddNode(doc, ntImage, "Logo", gallery.GetId(), PictureResourceBytes(PictureResource::DefaultLogo));
  AddText(doc, ntHtml, "Reading list", gallery.GetId(), kReadingList);
  doc.SetNodeKeywords(plan, {plan, {doc.FindOrAddKeyword("goals")}});
  MLFBOOKMARK bookmark;
  doc.GetBookmark(doc.AddBookmark(), bookmark);
  bookmark.nNode = plan;
  bookmark.strName = "This year's plan";
  doc.SetBookmark(bookmark.nId, bookmark);
  MLFTASK task;
  doc.GetTask(doc.NewTask(), task);
  task.strTitle = "Order seeds";
  task.nPriority = kPriorityNormal;
  task.nFlags = kTaskAttached;
  task.nNode = plan;
  task.nCreated = task.nStart = static_cast<uint32_t>(Env::Default().Now());
  task.nDue = task.nStart + 7 * 86400;
  doc.SetTask(task, true);
  return doc.OnSaveDocument(argv[1]) ? 0 : 1;
}
