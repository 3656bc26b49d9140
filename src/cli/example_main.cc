// A first look at the core: builds a sample document in memory, prints its tree and the
// path of the log it wrote.
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

#include "crypt/crypt_dll_handler.h"
#include "diagnostics/log.h"
#include "store/document.h"
#include "store/node.h"

using namespace mlf;

int main() {
  AppLog().Open();
  AppLog().WriteLine("#LOADING MARROWLEAF EXAMPLE#");
  AppCrypt().Load(Env::Default());

  CMarrowleafDoc doc;
  doc.OnNewDocument();
  CMlfNode projects, plan, ideas, recipes;
  projects.Create(&doc, ntFolder, "Projects", 0);
  plan.Create(&doc, ntNote, "Plan for 2027", projects.GetId());
  ideas.Create(&doc, ntNote, "Ideas", projects.GetId());
  recipes.Create(&doc, ntFolder, "Recipes", 0);
  CMlfNode bread;
  bread.Create(&doc, ntNote, "Bread", recipes.GetId());

  MLFNODEKEYWORDS keywords{plan.GetId(), {doc.FindOrAddKeyword("Work"), doc.FindOrAddKeyword("2027")}};
  doc.SetNodeKeywords(plan.GetId(), keywords);

  std::map<uint32_t, std::vector<NTV>> children;
  doc.Data_EnumItems([&](const NTV& record) { children[record.nParent].push_back(record); });
  std::function<void(uint32_t, int)> print = [&](uint32_t parent, int depth) {
    for (const NTV& record : children[parent]) {
      std::string words;
      doc.EnumNodeKeywordNames(record.nIndex, [&](const std::string& w) { words += (words.empty() ? " [" : ", ") + w; });
      if (!words.empty()) words += "]";
      std::printf("%*s%s %s%s\n", depth * 2, "", record.nType == ntFolder ? "+" : "-", record.strTitle.c_str(),
                  words.c_str());
      print(record.nIndex, depth + 1);
    }
  };
  std::printf("Sample document, %zu nodes:\n", doc.Data_GetCount());
  print(0, 1);
  std::printf("Path of the first note: %s\n", doc.Data_GetItemPath(plan.GetId()).c_str());

  std::printf("Encryption: %s\n", AppCrypt().IsAvailable() ? "available" : "not available");
  AppCrypt().Unload();
  AppLog().WriteLine("#EXAMPLE COMPLETE#");
  std::string log = AppLog().GetFilePath();
  std::printf("Log: %s\n", log.empty() ? "(the log could not be opened)" : log.c_str());
  return 0;
}
