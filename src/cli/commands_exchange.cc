// mlf export and mlf import.
#include <iostream>
#include <map>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/note_tree.h"
#include "exchange/export_helper.h"
#include "exchange/node_export.h"
#include "exchange/file_import.h"
#include "platform/env.h"
#include "platform/path.h"

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
  if (context.options.Has("--json")) {
    JsonWriter json;
    json.BeginObject().Key("folder").String(folder).Key("exported").Number(tally.written);
    json.Key("nodes").Number(process.GetCount()).Key("kept").BeginArray();
    for (const std::string& name : tally.kept) json.String(name);
    json.EndArray().Key("failed").BeginArray();
    for (const ExportFailure& f : tally.failed)
      json.BeginObject().Key("file").String(f.name).Key("reason").String(f.reason).EndObject();
    std::cout << json.EndArray().EndObject().Text() << "\n";
    return tally.failed.empty() ? kExitOk : kExitProblem;
  }
  std::cout << tally.written << " of " << process.GetCount() << " node(s) exported to " << folder << "\n";
  if (!tally.kept.empty()) std::cout << tally.kept.size() << " node(s) skipped: their files were there and were kept\n";
  if (!tally.failed.empty()) {
    std::cout << tally.failed.size() << " node(s) failed:\n";
    for (const ExportFailure& f : tally.failed) std::cout << "  " << f.name << ": " << f.reason << "\n";
  }
  return tally.failed.empty() ? kExitOk : kExitProblem;
}

int RunGet(Context& context) {
  const std::string& file = context.options.arguments[0];
  const std::string& path = context.options.arguments[1];
  const std::string& out = context.options.arguments[2];
  static const std::map<std::string, int> kFormats = {{"bmp", 1}, {"jpeg", 3}, {"jpg", 3}, {"png", 7}, {"tiff", 9}, {"tif", 9}};
  int format = 0;
  if (std::optional<std::string> name = context.options.Value("--format")) {
    auto it = kFormats.find(*name);
    if (it == kFormats.end()) {
      std::cerr << "--format takes png, jpeg, bmp or tiff\n";
      return kExitUsage;
    }
    format = it->second;
  }
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(file);
  if (!doc) return kExitUsage;
  uint32_t id = ResolveNode(*doc, file, path);
  if (!id) return kExitProblem;
  NTV record;
  doc->Data_GetItem(id, record);
  if (record.nType == ntFolder || (format && record.nType != ntImage) ||
      (context.options.Has("--text") && record.nType != ntNote)) {
    std::cerr << file << ": " << path << " is "
              << (record.nType == ntFolder ? "a folder; mlf export --node writes a branch"
                  : format                 ? "no picture; --format is for images"
                                           : "no note; --text is for notes")
              << "\n";
    return kExitProblem;
  }
  try {
    std::string folder = DirName(out);
    if (!folder.empty()) CreateFolderPath(doc->GetEnv(), folder);
  } catch (const FileError& error) {
    std::cerr << error.what() << "\n";
    return kExitProblem;
  }
  CNodeSingleExport process(*doc, id, out, format, context.options.Has("--text"));
  ProcessDriver(process, context.prompts).RunToEnd();
  if (!process.Succeeded()) {
    std::cerr << file << ": " << path << ": " << process.Reason() << "\n";
    return kExitProblem;
  }
  return kExitOk;
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
  bool asJson = context.options.Has("--json");
  JsonWriter json;
  json.BeginArray();
  for (size_t i = 1; i <= wanted; ++i) {
    const std::string& file = context.options.arguments[i];
    FileImport result = ImportFile(*doc, file, parent, forced, context.options.Has("--keep-extension"));
    imported += result.id != 0;
    if (asJson) {
      json.BeginObject().Key("file").String(file).Key("id").Number(result.id);
      if (result.id) json.Key("type").Number(result.type);
      json.Key("reason").String(result.reason).EndObject();
    } else if (result.id) {
      std::cout << file << ": "
                << (result.type == ntForeign ? "attached as a file" : std::string("imported as ") + ImportedAs(result.type))
                << (result.reason.empty() ? "" : " (" + result.reason + ")") << "\n";
    } else {
      std::cerr << file << ": skipped: " << result.reason << "\n";
    }
  }
  if (asJson) std::cout << json.EndArray().Text() << "\n";
  else std::cout << imported << " of " << wanted << " file(s) imported\n";
  if (imported && !SaveNoteFile(*doc, path)) return kExitProblem;
  return imported == wanted ? kExitOk : kExitProblem;
}

}  // namespace mlf::cli
