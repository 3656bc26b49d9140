// mlf: the note file from the command line.
#include <cstdlib>
#include <iostream>

#include "cli/commands.h"
#include "crypt/crypt_dll_handler.h"
#include "diagnostics/leftovers.h"
#include "diagnostics/log.h"
#include "platform/crash_handler.h"
#include "platform/temp_files.h"

namespace mlf::cli {

namespace {

void PrintUsage() {
  std::cout << "usage: mlf COMMAND FILE [ARGUMENTS] [OPTIONS]\n\nCommands:\n";
  for (const Command& c : Commands()) std::cout << "  " << c.usage << "\n      " << c.summary << "\n";
  std::cout << "\nOptions for every command:\n"
               "  --password-file F   read the password from the first line of F instead of the terminal\n"
               "  --yes, --no         answer every question so\n"
               "  --log               write the program's log (see docs/cli.md)\n"
               "  --no-backup         keep no backup of the file a command changes (default: 3, FILE.bak1 the newest)\n"
               "  --help              this text, or a command's own\n"
               "\nExit status: 0 success, 1 the command found a problem, 2 the file could not be opened or the\n"
               "arguments are wrong.\n";
}

}  // namespace

int Main(int argc, char** argv) {
  if (argc > 2 && std::string(argv[1]) == "__complete")
    return RunComplete(std::vector<std::string>(argv + 3, argv + argc), std::strtoul(argv[2], nullptr, 10));
  std::optional<Options> options = ParseOptions(argc, argv);
  if (!options || options->command.empty()) {
    PrintUsage();
    return options && options->Has("--help") ? kExitOk : kExitUsage;
  }
  const Command* command = nullptr;
  for (const Command& c : Commands())
    if (options->command == c.name) command = &c;
  if (!command) {
    std::cerr << "mlf: unknown command '" << options->command << "'\n";
    PrintUsage();
    return kExitUsage;
  }
  for (const auto& [flag, value] : options->flags) {
    bool known = false;
    for (const std::string& option : CommonOptions()) known |= flag == option;
    for (const std::string& own : command->options) known |= flag == own;
    if (!known) {
      std::cerr << "mlf " << command->name << ": unknown option " << flag << "\nusage: " << command->usage << "\n";
      return kExitUsage;
    }
  }
  if (options->Has("--help")) {
    std::cout << "usage: " << command->usage << "\n" << command->summary << "\n\nExample:\n  " << command->example
              << "\n";
    if (command->details) command->details(std::cout);
    return kExitOk;
  }
  if (options->arguments.size() < command->arguments || options->arguments.size() > command->maxArguments) {
    std::cerr << "usage: " << command->usage << "\n";
    return kExitUsage;
  }
  std::optional<bool> answer;
  if (options->Has("--yes")) answer = true;
  if (options->Has("--no")) answer = false;
  TerminalPrompts prompts(answer, options->Value("--password-file"), options->Value("--new-password-file"));
  SetAppPrompts(&prompts);
  if (options->Has("--log")) AppLog().Open();
  if (options->Has("--no-backup")) SetBackupsKept(0);
  RemoveLeftoversOfKilledRuns(AppLog());
  AppCrypt().Load(Env::Default());
  Context context{*options, prompts};
  int result = command->run(context);
  AppCrypt().Unload();
  SetAppPrompts(nullptr);
  return result;
}

}  // namespace mlf::cli

int main(int argc, char** argv) {
  mlf::InstallCrashHandler({"mlf", MLF_VERSION_TEXT, mlf::CrashNotice::StandardError});
  mlf::InstallTempFileCleanup();
  try {
    return mlf::cli::Main(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "mlf: " << error.what() << "\n";
    return mlf::cli::kExitUsage;
  }
}
