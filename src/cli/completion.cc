// mlf __complete CWORD WORD...: the words bash may put at position CWORD of the command line
// WORD... (mlf itself first), one a line, escaped for the shell. Commands, options and their
// values, and node paths inside the file the line names; nothing where a file name belongs, so
// that bash completes file names there. Never asks anything: an encrypted file gives no paths.
#include <iostream>
#include <set>

#include "cli/commands.h"
#include "cli/encryption_choice.h"
#include "cli/note_tree.h"
#include "crypt/crypt_dll_handler.h"

namespace mlf::cli {
namespace {

std::string Unescape(const std::string& word) {
  std::string plain;
  for (size_t i = 0; i < word.size(); ++i) plain += word[i] == '\\' && i + 1 < word.size() ? word[++i] : word[i];
  return plain;
}

std::string Escape(const std::string& word) {
  std::string escaped;
  for (char c : word) {
    if (std::string(" \t'\"\\$`!&*?;|<>()[]{}~#").find(c) != std::string::npos) escaped += '\\';
    escaped += c;
  }
  return escaped;
}

// The positions (among the arguments after the command) that hold the note file and the node
// paths of each command; the others take file names.
struct ArgumentRoles {
  size_t file = 0;
  std::set<size_t> nodes;
};

ArgumentRoles RolesOf(const std::string& command) {
  if (command == "bookmark") return {1, {2}};
  if (command == "task") return {1, {}};
  static const std::set<std::string> kNodeAtOne = {"cat",   "rm",    "mv",       "rename", "cp",    "get",
                                                    "write", "mkdir", "keywords", "lock",   "unlock"};
  if (kNodeAtOne.count(command)) return {0, {1}};
  return {};
}

// The node paths of the file that continue prefix by one level; folders end in "/".
std::vector<std::string> NodePaths(const std::string& file, const std::string& prefix) {
  std::vector<std::string> paths;
  CMarrowleafDoc doc;
  if (!doc.OnOpenDocument(file)) return paths;
  for (const TreeRow& row : TreeRows(doc)) {
    std::string path = ShownTitle(doc.Data_GetItemPath(row.record.nIndex));
    if (row.record.nType == ntFolder) path += "/";
    if (path.rfind(prefix, 0) != 0 || path == prefix) continue;
    size_t slash = path.find('/', prefix.size() > 2 ? prefix.rfind('/') + 1 : 2);
    if (slash == std::string::npos || slash + 1 == path.size()) paths.push_back(path);
  }
  return paths;
}

const std::vector<std::string>& ValuesOf(const std::string& option) {
  static const std::map<std::string, std::vector<std::string>> kValues = {
      {"--as", {"note", "image", "html", "file"}},
      {"--priority", {"idle", "low", "normal", "high", "urgent"}},
      {"--format", {"png", "jpeg", "bmp", "tiff"}},
      {"--mode", {"all", "any", "exact"}},
      {"--in", {"titles", "keywords", "content", "titles,keywords", "titles,content", "keywords,content"}},
      {"--order", {"az", "za"}},
      {"--folders", {"first", "last", "none"}},
  };
  static const std::vector<std::string> kNone;
  auto it = kValues.find(option);
  return it == kValues.end() ? kNone : it->second;
}

// The names --cipher and --kdf take, from the encryption module.
std::vector<std::string> AlgorithmNames(const std::string& option) {
  std::vector<std::string> names;
  CCryptDLLHandler& crypt = AppCrypt();
  if (!crypt.Load(Env::Default())) return names;
  for (const CryptAlgorithmInfo& info : option == "--cipher" ? crypt.Ciphers() : crypt.KeyDerivations())
    names.push_back(AlgorithmWord(info.name));
  crypt.Unload();
  return names;
}

// The keywords of the node, for keywords --remove.
std::vector<std::string> NodeKeywords(const std::string& file, const std::string& path) {
  std::vector<std::string> keywords;
  CMarrowleafDoc doc;
  uint32_t id = doc.OnOpenDocument(file) ? FindNode(doc, path) : 0;
  if (id) doc.EnumNodeKeywordNames(id, [&](const std::string& stored) { keywords.push_back(ShownTitle(stored)); });
  return keywords;
}

}  // namespace

int RunComplete(const std::vector<std::string>& words, size_t current) {
  std::string prefix = current < words.size() ? Unescape(words[current]) : "";
  std::vector<std::string> candidates;
  const Command* command = nullptr;
  for (const Command& c : Commands())
    if (words.size() > 1 && words[1] == c.name) command = &c;
  if (current == 1) {
    for (const Command& c : Commands()) candidates.push_back(c.name);
  } else if (command) {
    // The arguments before the current word, without the options and their values.
    std::vector<std::string> arguments;
    std::string previous = Unescape(words[current - 1]);
    for (size_t i = 2; i < current; ++i) {
      std::string word = Unescape(words[i]);
      if (word.rfind("-", 0) == 0) {
        i += TakesValue(word, command->name) && word.find('=') == std::string::npos;
        continue;
      }
      arguments.push_back(word);
    }
    ArgumentRoles roles = RolesOf(command->name);
    std::string file = arguments.size() > roles.file ? arguments[roles.file] : "";
    if (previous == "--into" || previous == "--node") {
      if (!file.empty()) candidates = NodePaths(file, prefix);
    } else if (previous == "--cipher" || previous == "--kdf") {
      candidates = AlgorithmNames(previous);
    } else if (previous == "--remove" && command->name == std::string("keywords")) {
      if (arguments.size() > 1) candidates = NodeKeywords(file, arguments[1]);
    } else if (TakesValue(previous, command->name)) {
      candidates = ValuesOf(previous);
    } else if (prefix.rfind("-", 0) == 0) {
      candidates = command->options;
      candidates.insert(candidates.end(), CommonOptions().begin(), CommonOptions().end());
    } else if (command->name == std::string("bookmark") && arguments.empty()) {
      candidates = {"add", "rm"};
    } else if (command->name == std::string("task") && arguments.empty()) {
      candidates = {"add", "edit", "rm"};
    } else if (roles.nodes.count(arguments.size()) && !file.empty()) {
      candidates = NodePaths(file, prefix);
    }
  }
  for (const std::string& candidate : candidates)
    if (candidate.rfind(prefix, 0) == 0) std::cout << Escape(candidate) << "\n";
  return kExitOk;
}

}  // namespace mlf::cli
