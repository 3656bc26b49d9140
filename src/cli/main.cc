// mlf: the note file from the command line.
#include <iostream>

#include "cli/commands.h"
#include "crypt/crypt_dll_handler.h"
#include "diagnostics/leftovers.h"
#include "diagnostics/log.h"
#include "platform/temp_files.h"

namespace mlf::cli {

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"info", "mlf info FILE [--json]", "what the file holds", RunInfo, 1},
      {"ls", "mlf ls FILE [--long] [--json]", "the node tree, in the order the program shows it", RunList, 1},
      {"cat", "mlf cat FILE PATH [--rtf|--text]", "a node's content (PATH is //Folder/Note or #id); --text: a note as plain text", RunCat, 2},
      {"check", "mlf check FILE [--json]", "read every stream and report every integrity failure", RunCheck, 1},
      {"search", "mlf search FILE QUERY [--mode all|any|exact] [--in titles,keywords,content] [--json]",
       "the nodes whose titles, keywords or note text hold the query, in id order", RunSearch, 2},
      {"export", "mlf export FILE DIR", "write every node into DIR, a folder for each folder", RunExport, 2},
      {"import", "mlf import FILE PATH... [--into //Folder]",
       "make nodes of files: documents become notes, pictures images", RunImport, 2},
      {"new", "mlf new FILE", "make a new, empty note file", RunNew, 1},
      {"mkdir", "mlf mkdir FILE //Folder/Sub", "make folders along the path", RunMkdir, 2},
      {"rm", "mlf rm FILE PATH", "delete a node and everything below it", RunRemove, 2},
      {"mv", "mlf mv FILE PATH --into //Folder", "move a node into a folder (// for the top level)", RunMove, 2},
      {"passwd", "mlf passwd FILE [--remove] [--new-password-file F]", "set, change or remove the file password",
       RunPasswd, 1},
      {"salvage", "mlf salvage FILE DIR", "save every readable node of a damaged file into DIR", RunSalvage, 2},
  };
  return commands;
}

namespace {

void PrintUsage() {
  std::cout << "usage: mlf COMMAND FILE [ARGUMENTS] [OPTIONS]\n\nCommands:\n";
  for (const Command& c : Commands()) std::cout << "  " << c.usage << "\n      " << c.summary << "\n";
  std::cout << "\nOptions for every command:\n"
               "  --password-file F   read the password from the first line of F instead of the terminal\n"
               "  --yes, --no         answer every question so\n"
               "  --log               write the program's log (see docs/cli.md)\n"
               "  --help              this text, or a command's own\n"
               "\nExit status: 0 success, 1 the command found a problem, 2 the file could not be opened or the\n"
               "arguments are wrong.\n";
}

}  // namespace

int Main(int argc, char** argv) {
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
  if (options->Has("--help")) {
    std::cout << "usage: " << command->usage << "\n" << command->summary << "\n";
    return kExitOk;
  }
  if (options->arguments.size() < command->arguments) {
    std::cerr << "usage: " << command->usage << "\n";
    return kExitUsage;
  }
  std::optional<bool> answer;
  if (options->Has("--yes")) answer = true;
  if (options->Has("--no")) answer = false;
  TerminalPrompts prompts(answer, options->Value("--password-file"), options->Value("--new-password-file"));
  SetAppPrompts(&prompts);
  if (options->Has("--log")) AppLog().Open();
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
  mlf::InstallTempFileCleanup();
  try {
    return mlf::cli::Main(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "mlf: " << error.what() << "\n";
    return mlf::cli::kExitUsage;
  }
}
