// The commands that make and change single nodes: write, rename, cp and the bookmarks.
#include <iostream>
#include <iterator>
#include <map>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/note_tree.h"
#include "exchange/content_reader.h"
#include "platform/codepage.h"
#include "rtf/plain_text.h"
#include "settings/settings.h"
#include "store/node.h"
#include "store/node_data.h"

namespace mlf::cli {
namespace {

// The folder a new node at path goes into (0 for the top level) and its title; false after
// telling why there is none.
bool PlaceOf(const CMarrowleafDoc& doc, const std::string& file, const std::string& path, uint32_t& parent,
             std::string& title) {
  size_t slash = path.rfind('/');
  if (path.rfind("//", 0) != 0 || slash + 1 >= path.size()) {
    std::cerr << file << ": a new node's path looks like //Folder/Title\n";
    return false;
  }
  title = path.substr(slash + 1);
  parent = 0;
  if (slash == 1) return true;
  if (!(parent = ResolveNode(doc, file, path.substr(0, slash)))) return false;
  NTV record;
  if (doc.Data_GetItem(parent, record) && record.nType == ntFolder) return true;
  std::cerr << file << ": " << path.substr(0, slash) << " is not a folder\n";
  return false;
}

bool PutContent(CMlfNode& node, const std::string& content) {
  CMlfNodeData* data = node.GetNodeDataForWrite(true);
  if (!data) return false;
  data->Put(content.data(), content.size());
  return data->Finish();
}

}  // namespace

int RunWrite(Context& context) {
  const std::string& file = context.options.arguments[0];
  const std::string& path = context.options.arguments[1];
  if (context.options.Has("--rtf") && context.options.Has("--text")) {
    std::cerr << "--rtf and --text exclude each other\n";
    return kExitUsage;
  }
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(file);
  if (!doc) return kExitUsage;
  std::vector<uint32_t> found = FindNodes(*doc, path);
  CMlfNode node;
  if (!found.empty()) {
    if (!(found.size() == 1 || ResolveNode(*doc, file, path))) return kExitProblem;
    node.Attach(doc.get(), found.front());
    if (node.GetType() != ntNote) {
      std::cerr << file << ": " << path << " is not a note; only notes are written\n";
      return kExitProblem;
    }
    bool unlockedHere;
    if (!UnlockNode(*doc, node.GetId(), unlockedHere).empty()) return kExitProblem;
  }
  uint32_t parent = 0;
  std::string title;
  if (found.empty() && (path[0] == '#' || !PlaceOf(*doc, file, path, parent, title))) {
    if (path[0] == '#') std::cerr << file << ": no node " << path << "\n";
    return kExitProblem;
  }
  std::string content((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
  bool rtf = context.options.Has("--rtf") || (!context.options.Has("--text") && content.rfind("{\\rtf", 0) == 0);
  if (!rtf) {
    if (content.find('\0') != std::string::npos)
      std::cerr << "standard input is not text; it is stored as text all the same (--rtf stores RTF)\n";
    MlfSettings defaults;
    content = rtf::PlainTextToRtf(content, defaults.importFontName, static_cast<int>(defaults.importFontSize));
  }
  if (found.empty()) node.Create(doc.get(), ntNote, Utf8ToStoredText(title).c_str(), parent);
  if (!PutContent(node, content)) {
    std::cerr << file << ": " << path << ": the content could not be stored\n";
    return kExitProblem;
  }
  return SaveNoteFile(*doc, file) ? kExitOk : kExitProblem;
}

int RunRename(Context& context) {
  const std::string& file = context.options.arguments[0];
  const std::string& title = context.options.arguments[2];
  if (title.empty()) {
    std::cerr << "A title cannot be empty\n";
    return kExitUsage;
  }
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(file);
  if (!doc) return kExitUsage;
  uint32_t id = ResolveNode(*doc, file, context.options.arguments[1]);
  if (!id) return kExitProblem;
  CMlfNode node(doc.get(), id);
  node.SetTitle(Utf8ToStoredText(title));
  node.Update(true);
  return SaveNoteFile(*doc, file) ? kExitOk : kExitProblem;
}

int RunCopy(Context& context) {
  const std::string& file = context.options.arguments[0];
  std::unique_ptr<CMarrowleafDoc> source = OpenNoteFile(file);
  if (!source) return kExitUsage;
  uint32_t root = ResolveNode(*source, file, context.options.arguments[1]);
  if (!root) return kExitProblem;
  std::optional<std::string> otherFile = context.options.Value("--to");
  std::unique_ptr<CMarrowleafDoc> other = otherFile ? OpenNoteFile(*otherFile) : nullptr;
  if (otherFile && !other) return kExitUsage;
  CMarrowleafDoc& target = other ? *other : *source;
  const std::string& targetFile = otherFile ? *otherFile : file;
  std::string into = context.options.Value("--into").value_or("//");
  uint32_t parent = into == "//" ? 0 : ResolveNode(target, targetFile, into);
  NTV folder;
  if (into != "//" && (!parent || !target.Data_GetItem(parent, folder) || folder.nType != ntFolder)) {
    if (parent) std::cerr << targetFile << ": " << into << " is not a folder (// is the top level)\n";
    return kExitProblem;
  }
  // The branch is listed before anything is copied, so a copy into the branch itself ends.
  std::vector<TreeRow> rows = TreeRows(*source);
  std::vector<NTV> branch;
  std::map<uint32_t, uint32_t> copies{{0, parent}};  // source id -> copy id
  bool inside = false;
  int depth = 0;
  for (const TreeRow& row : rows) {
    if (row.record.nIndex == root) {
      inside = true;
      depth = row.depth;
      copies[row.record.nParent] = parent;
    } else if (inside && row.depth <= depth) {
      break;
    }
    if (inside) branch.push_back(row.record);
  }
  for (const NTV& record : branch) {
    CMlfNode original(source.get(), record.nIndex), copy;
    if (!copy.CopyFrom(&target, original)) {
      std::cerr << file << ": " << ShownTitle(source->Data_GetItemPath(record.nIndex))
                << ": its content could not be copied; nothing was changed\n";
      return kExitProblem;
    }
    copy.SetParent(copies[record.nParent]);
    copy.Update(true);
    copies[record.nIndex] = copy.GetId();
  }
  std::cout << branch.size() << " node(s) copied to " << targetFile << "\n";
  return SaveNoteFile(target, targetFile) ? kExitOk : kExitProblem;
}

int RunBookmarks(Context& context) {
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(context.options.arguments[0]);
  if (!doc) return kExitUsage;
  JsonWriter json;
  json.BeginArray();
  doc->EnumBookmarks([&](const MLFBOOKMARK& b) {
    std::string name = ShownTitle(b.strName), path = ShownTitle(doc->Data_GetItemPath(b.nNode));
    if (context.options.Has("--json"))
      json.BeginObject().Key("id").Number(b.nId).Key("name").String(name).Key("node").Number(b.nNode).Key("path").String(
          path).EndObject();
    else
      std::cout << "#" << b.nId << " " << name << " -> " << path << " (#" << b.nNode << ")\n";
  });
  if (context.options.Has("--json")) std::cout << json.EndArray().Text() << "\n";
  return kExitOk;
}

int RunBookmark(Context& context) {
  const std::vector<std::string>& args = context.options.arguments;
  const std::string& action = args[0];
  const std::string& file = args[1];
  if (action != "add" && action != "rm") {
    std::cerr << "mlf bookmark add FILE PATH [NAME], or mlf bookmark rm FILE NAME|#id\n";
    return kExitUsage;
  }
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(file);
  if (!doc) return kExitUsage;
  if (action == "add") {
    uint32_t id = ResolveNode(*doc, file, args[2]);
    if (!id) return kExitProblem;
    NTV record;
    doc->Data_GetItem(id, record);
    MLFBOOKMARK bookmark;
    doc->GetBookmark(doc->AddBookmark(), bookmark);
    bookmark.nNode = id;
    bookmark.strName = args.size() > 3 ? Utf8ToStoredText(args[3]) : record.strTitle;
    doc->SetBookmark(bookmark.nId, bookmark);
    std::cout << "bookmark #" << bookmark.nId << " " << ShownTitle(bookmark.strName) << "\n";
  } else {
    std::vector<uint32_t> matches;
    doc->EnumBookmarks([&](const MLFBOOKMARK& b) {
      if (args[2] == "#" + std::to_string(b.nId) || ShownTitle(b.strName) == args[2]) matches.push_back(b.nId);
    });
    if (matches.size() != 1) {
      std::cerr << file << ": " << (matches.empty() ? "no bookmark " : "several bookmarks are called ") << args[2]
                << (matches.empty() ? "" : "; name one by its #id (mlf bookmarks lists them)") << "\n";
      return kExitProblem;
    }
    doc->DeleteBookmark(matches.front());
  }
  return SaveNoteFile(*doc, file) ? kExitOk : kExitProblem;
}

}  // namespace mlf::cli
