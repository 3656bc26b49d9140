// The commands that read a file: info, ls, cat and check.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/note_tree.h"
#include "crypt/crypt_dll_handler.h"
#include "exchange/content_reader.h"
#include "rtf/plain_text.h"
#include "store/node.h"
#include "store/node_data.h"

namespace mlf::cli {
namespace {

const char* TypeName(uint8_t type) {
  switch (type) {
    case ntFolder: return "folder";
    case ntNote: return "note";
    case ntImage: return "image";
    case ntHtml: return "html";
    case ntForeign: return "data";
    default: return "unknown";
  }
}

// One letter per property: E encrypted, C compressed, K keywords, B bookmark, T task.
std::string FlagLetters(const CMarrowleafDoc& doc, const NTV& r) {
  std::string flags;
  if (r.nFlags & kNodeEncrypted) flags += 'E';
  if (r.nFlags & kNodeCompressed) flags += 'C';
  MLFNODEKEYWORDS keywords;
  if (doc.GetNodeKeywords(r.nIndex, keywords) && !keywords.ids.empty()) flags += 'K';
  bool bookmarked = false;
  doc.EnumBookmarks([&](const MLFBOOKMARK& b) { bookmarked |= b.nNode == r.nIndex; });
  if (bookmarked) flags += 'B';
  if (doc.NodeHasTask(r.nIndex)) flags += 'T';
  return flags;
}

}  // namespace

int RunInfo(Context& context) {
  const std::string& path = context.options.arguments[0];
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(path);
  if (!doc) return kExitUsage;
  std::map<uint8_t, size_t> counts;
  uint64_t stored = 0;
  size_t encrypted = 0;
  doc->Data_EnumItems([&](const NTV& r) {
    ++counts[r.nType];
    stored += r.nStorageLength;
    encrypted += (r.nFlags & kNodeEncrypted) != 0;
  });
  size_t keywords = 0, bookmarks = 0, tasks = 0;
  doc->EnumKeywords([&](uint32_t, const std::string&) { ++keywords; });
  doc->EnumBookmarks([&](const MLFBOOKMARK&) { ++bookmarks; });
  doc->EnumTasks([&](const MLFTASK&) { ++tasks; });
  FileHeader header = doc->GetHeader();
  FileEncryption encryption = doc->GetFileEncryption();
  char created[32];
  std::snprintf(created, sizeof created, "%04u-%02u-%02u %02u:%02u:%02u UTC", header.created[0], header.created[1],
                header.created[3], header.created[4], header.created[5], header.created[6]);

  if (context.options.Has("--json")) {
    JsonWriter json;
    json.BeginObject().Key("path").String(path).Key("version").Number(doc->GetReadVersion()).Key("created").String(created);
    json.Key("nodes").Number(static_cast<int64_t>(doc->Data_GetCount())).Key("types").BeginObject();
    for (const auto& [type, count] : counts) json.Key(TypeName(type)).Number(static_cast<int64_t>(count));
    json.EndObject().Key("encryptedNodes").Number(static_cast<int64_t>(encrypted));
    json.Key("fileEncrypted").Bool(encryption.nCryptType != 0).Key("storedBytes").Number(static_cast<int64_t>(stored));
    json.Key("keywords").Number(static_cast<int64_t>(keywords)).Key("bookmarks").Number(static_cast<int64_t>(bookmarks));
    json.Key("tasks").Number(static_cast<int64_t>(tasks)).Key("customLogo").Bool(doc->HasLogo());
    json.Key("sortFlags").Number(header.sortFlags).Key("folderArrangement").Number(header.folderArrangement);
    json.EndObject();
    std::cout << json.Text() << "\n";
    return kExitOk;
  }
  std::cout << "File:        " << path << " (version " << doc->GetReadVersion() << ")\n"
            << "Created:     " << created << "\n"
            << "Nodes:       " << doc->Data_GetCount();
  const char* separator = " (";
  for (const auto& [type, count] : counts) {
    std::cout << separator << count << " " << TypeName(type);
    separator = ", ";
  }
  std::cout << (counts.empty() ? "" : ")") << "\n"
            << "Encrypted:   " << (encryption.nCryptType ? "the whole file" : "no file password") << ", " << encrypted
            << " node(s) with a password\n"
            << "Stored:      " << stored << " bytes of node content\n"
            << "Keywords:    " << keywords << ", bookmarks: " << bookmarks << ", tasks: " << tasks << "\n"
            << "Custom logo: " << (doc->HasLogo() ? "yes" : "no") << "\n";
  return kExitOk;
}

int RunList(Context& context) {
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(context.options.arguments[0]);
  if (!doc) return kExitUsage;
  std::vector<TreeRow> rows = TreeRows(*doc);
  if (context.options.Has("--json")) {
    JsonWriter json;
    json.BeginArray();
    for (const TreeRow& row : rows) {
      const NTV& r = row.record;
      json.BeginObject().Key("id").Number(r.nIndex).Key("parent").Number(r.nParent).Key("type").Number(r.nType);
      json.Key("title").String(ShownTitle(r.strTitle)).Key("depth").Number(row.depth);
      json.Key("flags").String(FlagLetters(*doc, r)).EndObject();
    }
    json.EndArray();
    std::cout << json.Text() << "\n";
    return kExitOk;
  }
  bool longForm = context.options.Has("--long");
  for (const TreeRow& row : rows) {
    const NTV& r = row.record;
    if (longForm) {
      char line[64];
      std::snprintf(line, sizeof line, "%8u  %-7s %-5s %10u  ", r.nIndex, TypeName(r.nType), FlagLetters(*doc, r).c_str(),
                    r.nRawLength);
      std::cout << line;
    }
    std::cout << std::string(static_cast<size_t>(row.depth) * 2, ' ') << (r.nType == ntFolder ? "+ " : "- ")
              << ShownTitle(r.strTitle) << "\n";
  }
  return kExitOk;
}

int RunCat(Context& context) {
  const std::string& file = context.options.arguments[0];
  const std::string& path = context.options.arguments[1];
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(file);
  if (!doc) return kExitUsage;
  uint32_t id = ResolveNode(*doc, file, path);
  if (!id) return kExitProblem;
  CMlfNode node(doc.get(), id);
  if (node.IsFolder()) {
    std::cerr << file << ": " << path << " is a folder; mlf ls shows what it holds\n";
    return kExitProblem;
  }
  bool unlockedHere;
  std::string reason = UnlockNode(*doc, id, unlockedHere);  // the user was told why it failed
  if (!reason.empty()) return kExitProblem;
  // A note is shown as the text a reader sees with --text; anything else streams out as stored.
  // The text goes out as it is read, so only the RTF stands whole in memory.
  if (context.options.Has("--text") && node.GetType() == ntNote) {
    std::string rtf;
    // Room for the recorded length at once, within what the stored bytes can hold (deflate packs
    // at most 1032 to 1), so the string never stands twice in memory while it grows.
    rtf.reserve(std::min<uint64_t>(node.GetRawLength(), uint64_t(node.Record().nStorageLength) * 1032));
    reason = ReadNodeContent(*doc, id, [&](const char* p, size_t n) { rtf.append(p, n); });
    if (reason.empty()) {
      rtf::RtfToPlainText(rtf, [](std::string_view text) { std::cout.write(text.data(), static_cast<std::streamsize>(text.size())); });
      std::cout << "\n";
    }
  } else {
    reason = ReadNodeContent(*doc, id, [](const char* p, size_t n) { std::cout.write(p, static_cast<std::streamsize>(n)); });
  }
  std::cout.flush();
  if (reason.empty() && !std::cout) reason = "standard output could not be written";
  if (!reason.empty()) {
    std::cerr << file << ": " << path << ": " << reason << "\n";
    return kExitProblem;
  }
  return kExitOk;
}

int RunCheck(Context& context) {
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(context.options.arguments[0]);
  if (!doc) return kExitUsage;
  struct Finding {
    uint32_t id;
    std::string path, problem;
  };
  std::vector<Finding> findings;
  size_t checked = 0, skipped = 0;
  bool passwords = CanGivePasswords(context);
  for (const TreeRow& row : TreeRows(*doc)) {
    CMlfNode node(doc.get(), row.record.nIndex);
    if (!node.HasContent()) continue;
    // An encrypted node's content needs its password; one that cannot be had leaves it unread.
    bool unlockedHere = false;
    if (node.IsEncrypted() && (!passwords || !UnlockNode(*doc, row.record.nIndex, unlockedHere).empty())) {
      ++skipped;
      continue;
    }
    context.prompts.Collect(true);
    if (CMlfNodeData* data = node.GetNodeDataForRead()) {
      char buffer[64 * 1024];
      while (data->Get(buffer, sizeof buffer) > 0) {
      }
    }
    node.Attach(doc.get(), row.record.nIndex);
    if (unlockedHere) LockAgain(*doc, row.record.nIndex);
    context.prompts.Collect(false);
    ++checked;
    for (std::string& problem : context.prompts.TakeCollected())
      findings.push_back({row.record.nIndex, ShownTitle(doc->Data_GetItemPath(row.record.nIndex)), problem});
  }
  if (context.options.Has("--json")) {
    JsonWriter json;
    json.BeginObject().Key("checked").Number(static_cast<int64_t>(checked));
    json.Key("skippedEncrypted").Number(static_cast<int64_t>(skipped)).Key("problems").BeginArray();
    for (const Finding& f : findings)
      json.BeginObject().Key("id").Number(f.id).Key("path").String(f.path).Key("problem").String(f.problem).EndObject();
    json.EndArray().EndObject();
    std::cout << json.Text() << "\n";
  } else {
    for (const Finding& f : findings) std::cout << "#" << f.id << " " << f.path << ": " << f.problem << "\n";
    std::cout << checked << " node(s) checked, " << findings.size() << " problem(s)";
    if (skipped) std::cout << ", " << skipped << " encrypted node(s) not read" << (passwords ? "" : " (--password-file F reads them)");
    std::cout << "\n";
  }
  return findings.empty() ? kExitOk : kExitProblem;
}

}  // namespace mlf::cli
