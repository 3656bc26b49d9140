// The keywords command: lists a node's keywords, or adds and removes them in the order given.
// Keywords are kept in lower case; one no node uses any more leaves the file.
#include <algorithm>
#include <iostream>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/note_tree.h"
#include "platform/codepage.h"
#include "platform/text_case.h"
#include "store/keyword_table.h"

namespace mlf::cli {
namespace {

struct KeywordChange {
  bool add;
  std::string keyword;  // lower case, UTF-8
};

// The --add and --remove options in the order given, empty keywords left out; false after
// telling why one is refused.
bool ReadChanges(const Options& options, std::vector<KeywordChange>& changes) {
  for (const auto& [flag, value] : options.given) {
    if (flag != "--add" && flag != "--remove") continue;
    if (value.find_first_not_of(" \t") == std::string::npos) {
      std::cerr << "an empty keyword is ignored\n";
      continue;
    }
    if (Utf8ToStoredText(value).size() > kMaxKeywordLength) {
      std::cerr << "the keyword '" << value << "' is longer than " << kMaxKeywordLength
                << " characters; nothing was changed\n";
      return false;
    }
    changes.push_back({flag == "--add", LowerUtf8(value)});
  }
  return true;
}

}  // namespace

int RunKeywords(Context& context) {
  const std::string& file = context.options.arguments[0];
  const std::string& path = context.options.arguments[1];
  bool changing = context.options.Has("--add") || context.options.Has("--remove");
  std::vector<KeywordChange> changes;
  if (!ReadChanges(context.options, changes)) return kExitUsage;
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(file);
  if (!doc) return kExitUsage;
  uint32_t id = ResolveNode(*doc, file, path);
  if (!id) return kExitProblem;
  std::vector<std::string> keywords;
  doc->EnumNodeKeywordNames(id, [&](const std::string& stored) { keywords.push_back(LowerUtf8(ShownTitle(stored))); });

  if (!changing) {
    JsonWriter json;
    json.BeginArray();
    for (const std::string& keyword : keywords) {
      if (context.options.Has("--json")) json.String(keyword);
      else std::cout << keyword << "\n";
    }
    if (context.options.Has("--json")) std::cout << json.EndArray().Text() << "\n";
    return kExitOk;
  }
  if (changes.empty()) return kExitOk;
  NTV record;
  if (doc->Data_GetItem(id, record) && record.nType == ntFolder) {
    std::cerr << file << ": " << path << " is a folder; keywords go on the nodes inside it\n";
    return kExitProblem;
  }
  for (const KeywordChange& change : changes) {
    auto it = std::find(keywords.begin(), keywords.end(), change.keyword);
    if (change.add && it != keywords.end()) {
      std::cerr << file << ": " << path << ": the keyword '" << change.keyword << "' is there already\n";
    } else if (change.add) {
      keywords.push_back(change.keyword);
    } else if (it == keywords.end()) {
      std::cerr << file << ": " << path << " has no keyword '" << change.keyword << "'; nothing was changed\n";
      return kExitProblem;
    } else {
      keywords.erase(it);
    }
  }
  // Only the final list becomes keywords, so one added and removed again leaves no trace.
  MLFNODEKEYWORDS entry{id, {}};
  for (const std::string& keyword : keywords) entry.ids.push_back(doc->FindOrAddKeyword(Utf8ToStoredText(keyword)));
  doc->SetNodeKeywords(id, entry);
  doc->SetModifiedFlag();
  return SaveNoteFile(*doc, file) ? kExitOk : kExitProblem;
}

}  // namespace mlf::cli
