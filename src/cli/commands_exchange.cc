// mlf export and mlf import.
#include <iostream>

#include "cli/commands.h"
#include "cli/note_tree.h"
#include "exchange/export_helper.h"
#include "exchange/node_export.h"
#include "exchange/file_import.h"
#include "platform/env.h"

namespace mlf::cli {

int RunExport(Context& context) {
  const std::string& file = context.options.arguments[0];
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(file);
  if (!doc) return kExitUsage;
  uint32_t root = 0;
  if (std::optional<std::string> node = context.options.Value("--node"); node && !(root = ResolveNode(*doc, file, *node)))
    return kExitProblem;
  const std::string& folder = context.options.arguments[1];
  try {
    CreateFolderPath(doc->GetEnv(), folder);
  } catch (const FileError& error) {
    std::cerr << "Invalid export destination selected.\n" << error.what() << "\n";
    return kExitUsage;
  }
  CNodeBatchExport process(*doc, folder, root);
  ProcessDriver(process, context.prompts).RunToEnd();
  const ExportTally& tally = process.Tally();
  std::cout << tally.written << " of " << process.GetCount() << " node(s) exported to " << folder << "\n";
  if (!tally.kept.empty()) std::cout << tally.kept.size() << " node(s) skipped: their files were there and were kept\n";
  if (!tally.failed.empty()) {
    std::cout << tally.failed.size() << " node(s) failed:\n";
    for (const std::string& failure : tally.failed) std::cout << "  " << failure << "\n";
  }
  return tally.failed.empty() ? kExitOk : kExitProblem;
}

int RunImport(Context& context) {
  const std::string& path = context.options.arguments[0];
  std::optional<uint8_t> forced;
  if (std::optional<std::string> as = context.options.Value("--as"); as && !(forced = ImportTypeNamed(*as))) {
    std::cerr << "--as takes note, image, html or file\n";
    return kExitUsage;
  }
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(path);
  if (!doc) return kExitUsage;
  uint32_t parent = 0;
  if (std::optional<std::string> into = context.options.Value("--into"); into && *into != "//") {
    if (!(parent = ResolveNode(*doc, path, *into))) return kExitProblem;
    NTV record;
    if (!doc->Data_GetItem(parent, record) || record.nType != ntFolder) {
      std::cerr << path << ": " << *into << " is not a folder\n";
      return kExitProblem;
    }
  }
  size_t imported = 0, wanted = context.options.arguments.size() - 1;
  for (size_t i = 1; i <= wanted; ++i) {
    const std::string& file = context.options.arguments[i];
    FileImport result = ImportFile(*doc, file, parent, forced, context.options.Has("--keep-extension"));
    if (result.id) {
      ++imported;
      std::cout << file << ": "
                << (result.type == ntForeign ? "attached as a file" : std::string("imported as ") + ImportedAs(result.type))
                << (result.reason.empty() ? "" : " (" + result.reason + ")") << "\n";
    } else {
      std::cerr << file << ": skipped: " << result.reason << "\n";
    }
  }
  std::cout << imported << " of " << wanted << " file(s) imported\n";
  if (imported && !SaveNoteFile(*doc, path)) return kExitProblem;
  return imported == wanted ? kExitOk : kExitProblem;
}

}  // namespace mlf::cli
