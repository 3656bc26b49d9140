// The commands of the mlf tool: their usage, what they do and the options each one takes.
#include "cli/commands.h"

namespace mlf::cli {

const std::vector<Command>& Commands() {
  constexpr size_t kMany = SIZE_MAX;
  static const std::vector<Command> commands = {
      {"info", "mlf info FILE [--json]", "what the file holds", RunInfo, 1, 1, {"--json"}},
      {"ls", "mlf ls FILE [--long] [--json]", "the node tree, in the order the program shows it", RunList, 1, 1,
       {"--long", "--json"}},
      {"cat", "mlf cat FILE PATH [--rtf|--text]",
       "a node's content (PATH is //Folder/Note or #id); --text: a note as plain text", RunCat, 2, 2,
       {"--rtf", "--text"}},
      {"check", "mlf check FILE [--json]", "read every stream and report every integrity failure", RunCheck, 1, 1,
       {"--json"}},
      {"search", "mlf search FILE QUERY [--mode all|any|exact] [--in titles,keywords,content] [--json]",
       "the nodes whose titles, keywords or note text hold the query, in id order", RunSearch, 2, 2,
       {"--mode", "--in", "--json"}},
      {"export", "mlf export FILE DIR [--node PATH]",
       "write every node (or one branch) into DIR, a folder for each folder", RunExport, 2, 2, {"--node"}},
      {"import", "mlf import FILE PATH... [--into //Folder] [--as note|image|html|file] [--keep-extension]",
       "make nodes of files: documents become notes, pictures images, HTML files pages, anything else an attached "
       "file", RunImport, 2, kMany, {"--into", "--as", "--keep-extension"}},
      {"new", "mlf new FILE", "make a new, empty note file", RunNew, 1, 1, {}},
      {"mkdir", "mlf mkdir FILE //Folder/Sub", "make folders along the path", RunMkdir, 2, 2, {}},
      {"rm", "mlf rm FILE PATH", "delete a node and everything below it", RunRemove, 2, 2, {}},
      {"mv", "mlf mv FILE PATH --into //Folder", "move a node into a folder (// for the top level)", RunMove, 2, 2,
       {"--into"}},
      {"passwd", "mlf passwd FILE [--remove] [--new-password-file F]", "set, change or remove the file password",
       RunPasswd, 1, 1, {"--remove", "--new-password-file"}},
      {"salvage", "mlf salvage FILE DIR", "save every readable node of a damaged file into DIR", RunSalvage, 2, 2, {}},
  };
  return commands;
}

}  // namespace mlf::cli
