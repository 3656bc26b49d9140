// Writes a small sample note file: folders, notes with rich text, a keyword, a bookmark and a
// task. The first README command opens it when no file is given.
#include <cstdio>

#include "diagnostics/log.h"
#include "platform/env.h"
#include "store/document.h"
#include "store/node.h"
#include "store/node_data.h"

using namespace mlf;

namespace {

uint32_t AddNote(CMarrowleafDoc& doc, const char* title, uint32_t parent, const std::string& text) {
  CMlfNode note;
  note.Create(&doc, ntNote, title, parent);
  std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n"
                    "\\viewkind4\\uc1\\pard\\f0\\fs24 " + text + "\\par\r\n}\r\n";
  CMlfNodeData* data = note.GetNodeDataForWrite(true);
  data->Put(rtf.data(), rtf.size());
  data->Finish();
  return note.GetId();
}

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
