// mlf export and mlf import.
#include <iostream>

#include "cli/commands.h"
#include "cli/note_tree.h"
#include "exchange/node_export.h"
#include "exchange/node_import.h"
#include "platform/env.h"

namespace mlf::cli {

int RunExport(Context& context) {
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(context.options.arguments[0]);
  if (!doc) return kExitUsage;
  const std::string& folder = context.options.arguments[1];
  try {
    Env::Default().CreateDirectory(folder);
  } catch (const FileError& error) {
    std::cerr << "Invalid export destination selected.\n" << error.what() << "\n";
    return kExitUsage;
  }
  CNodeBatchExport process(*doc, folder);
  ProcessDriver(process, context.prompts).RunToEnd();
  std::cout << process.GetIndex() << " of " << process.GetCount() << " node(s) exported to " << folder << "\n";
  return process.GetIndex() == process.GetCount() ? kExitOk : kExitProblem;
}

int RunImport(Context& context) {
  const std::string& path = context.options.arguments[0];
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(path);
  if (!doc) return kExitUsage;
  uint32_t parent = 0;
  if (std::optional<std::string> into = context.options.Value("--into"); into && *into != "//") {
    parent = FindNode(*doc, *into);
    NTV record;
    if (!parent || !doc->Data_GetItem(parent, record) || record.nType != ntFolder) {
      std::cerr << *into << " is not a folder of " << path << "\n";
      return kExitProblem;
    }
  }
  CNodeBatchImport process(*doc, parent);
  for (size_t i = 1; i < context.options.arguments.size(); ++i) process.AddFile(context.options.arguments[i]);
  ProcessDriver(process, context.prompts).RunToEnd();
  size_t wanted = context.options.arguments.size() - 1;
  std::cout << process.Created().size() << " of " << wanted << " file(s) imported\n";
  if (!process.Created().empty() && !SaveNoteFile(*doc, path)) return kExitProblem;
  return process.Created().size() == wanted ? kExitOk : kExitProblem;
}

}  // namespace mlf::cli
