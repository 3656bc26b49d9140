// The commands of the mlf tool. Each returns the process's exit code: 0 success, 1 the command
// ran and found a problem, 2 the file could not be opened or the arguments are wrong.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/terminal_prompts.h"
#include "store/document.h"

namespace mlf::cli {

constexpr int kExitOk = 0;
constexpr int kExitProblem = 1;
constexpr int kExitUsage = 2;

struct Context {
  const Options& options;
  TerminalPrompts& prompts;
};

struct Command {
  const char* name;
  const char* usage;
  const char* summary;
  int (*run)(Context&);
  size_t arguments;     // the positional arguments it needs at least
  size_t maxArguments;  // and at most
  std::vector<std::string> options;  // its own, beside those every command takes
  const char* example;
  void (*details)(std::ostream&) = nullptr;  // more for --help, after the example
};

const std::vector<Command>& Commands();
// The options every command takes.
const std::vector<std::string>& CommonOptions();

// Opens the file named by the first argument; null (after telling why) when it cannot be.
std::unique_ptr<CMarrowleafDoc> OpenNoteFile(const std::string& path,
                                             CMarrowleafDoc::OpenMode mode = CMarrowleafDoc::OpenMode::Normal);
// The node that path names ("//Folder/Note" or "#id") in the document opened from file; 0 after
// telling why not (no such node, or several with those titles).
uint32_t ResolveNode(const CMarrowleafDoc& doc, const std::string& file, const std::string& path);
// Encrypted nodes are read only when their password can be had: from --password-file, or asked
// on a terminal.
bool CanGivePasswords(const Context& context);
// Saves the document back to its file; false after telling why. A file another program changed
// since it was read is never written.
bool SaveNoteFile(CMarrowleafDoc& doc, const std::string& path);
// How many previous versions of a file a save keeps beside it: the program's default unless
// --no-backup says none.
void SetBackupsKept(uint32_t count);

int RunInfo(Context&);
int RunList(Context&);
int RunCat(Context&);
int RunCheck(Context&);
int RunSearch(Context&);
int RunExport(Context&);
int RunImport(Context&);
int RunNew(Context&);
int RunMkdir(Context&);
int RunRemove(Context&);
int RunMove(Context&);
int RunPasswd(Context&);
int RunSalvage(Context&);
int RunWrite(Context&);
int RunRename(Context&);
int RunCopy(Context&);
int RunBookmarks(Context&);
int RunBookmark(Context&);
int RunGet(Context&);
int RunTasks(Context&);
int RunTask(Context&);
int RunKeywords(Context&);
int RunLock(Context&);
int RunUnlock(Context&);
int RunSort(Context&);
int RunLogo(Context&);
// The hidden helper of the shell completion: words are the command line, mlf itself first.
int RunComplete(const std::vector<std::string>& words, size_t current);

}  // namespace mlf::cli
