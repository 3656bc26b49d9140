// The commands of the mlf tool: their usage, what they do and the options each one takes.
#include "cli/commands.h"

namespace mlf::cli {

const std::vector<Command>& Commands() {
  constexpr size_t kMany = SIZE_MAX;
  static const std::vector<Command> commands = {
      {"info", "mlf info FILE [--json]", "what the file holds", RunInfo, 1, 1, {"--json"}, "mlf info notes.mlf --json"},
      {"ls", "mlf ls FILE [--long] [--json]", "the node tree, in the order the program shows it", RunList, 1, 1,
       {"--long", "--json"}, "mlf ls notes.mlf --long"},
      {"cat", "mlf cat FILE PATH [--rtf|--text]",
       "a node's content (PATH is //Folder/Note or #id); --text: a note as plain text", RunCat, 2, 2,
       {"--rtf", "--text"}, "mlf cat notes.mlf //Recipes/Bread --text"},
      {"check", "mlf check FILE [--json]", "read every stream and report every integrity failure", RunCheck, 1, 1,
       {"--json"}, "mlf check notes.mlf"},
      {"search", "mlf search FILE QUERY [--mode all|any|exact] [--in titles,keywords,content] [--context N] [--json]",
       "the nodes whose titles, keywords or note text hold the query, in id order; --context N adds the matching lines "
       "of each note with N lines around them", RunSearch, 2, 2, {"--mode", "--in", "--context", "--json"}, "mlf search notes.mlf \"flour water\" --in content --context 1"},
      {"export", "mlf export FILE DIR [--node PATH] [--json]",
       "write every node (or one branch) into DIR, a folder for each folder", RunExport, 2, 2, {"--node", "--json"}, "mlf export notes.mlf ~/notes-export --node //Recipes"},
      {"import", "mlf import FILE PATH... [--into //Folder] [--as note|image|html|file] [--keep-extension] [--json]",
       "make nodes of files: documents become notes, pictures images, HTML files pages, anything else an attached "
       "file", RunImport, 2, kMany, {"--into", "--as", "--keep-extension", "--json"}, "mlf import notes.mlf scan.png minutes.docx page.html --into //Inbox"},
      {"get", "mlf get FILE PATH OUT [--format png|jpeg|bmp|tiff] [--text]",
       "write one node's content to OUT: a picture re-encoded with --format, a note as plain text with --text", RunGet,
       3, 3, {"--format", "--text"}, "mlf get notes.mlf //Gallery/Logo logo --format png"},
      {"new", "mlf new FILE", "make a new, empty note file", RunNew, 1, 1, {}, "mlf new notes.mlf"},
      {"mkdir", "mlf mkdir FILE //Folder/Sub", "make folders along the path", RunMkdir, 2, 2, {}, "mlf mkdir notes.mlf //Projects/2027"},
      {"rm", "mlf rm FILE PATH", "delete a node and everything below it", RunRemove, 2, 2, {}, "mlf rm notes.mlf //Projects/Old"},
      {"mv", "mlf mv FILE PATH --into //Folder", "move a node into a folder (// for the top level)", RunMove, 2, 2,
       {"--into"}, "mlf mv notes.mlf //Inbox/Plan --into //Projects"},
      {"passwd", "mlf passwd FILE [--remove] [--new-password-file F]", "set, change or remove the file password",
       RunPasswd, 1, 1, {"--remove", "--new-password-file"}, "mlf passwd notes.mlf --new-password-file ~/.secret"},
      {"write", "mlf write FILE PATH [--rtf|--text] < CONTENT",
       "make or replace the note at PATH with standard input: RTF when it starts with {\\rtf, else plain text",
       RunWrite, 2, 2, {"--rtf", "--text"}, "date | mlf write notes.mlf //Journal/Today"},
      {"rename", "mlf rename FILE PATH NEW-TITLE", "give a node a new title", RunRename, 3, 3, {}, "mlf rename notes.mlf //Journal/Today \"Thursday\""},
      {"cp", "mlf cp FILE PATH [--into //Folder] [--to OTHER.mlf]",
       "copy a node with everything below it, keywords, encryption and content, here or into another file", RunCopy,
       2, 2, {"--into", "--to"}, "mlf cp notes.mlf //Recipes --into //Archive --to archive.mlf"},
      {"bookmarks", "mlf bookmarks FILE [--json]", "the bookmarks and the nodes they open", RunBookmarks, 1, 1,
       {"--json"}, "mlf bookmarks notes.mlf"},
      {"bookmark", "mlf bookmark add FILE PATH [NAME] | mlf bookmark rm FILE NAME|#id",
       "add a bookmark to a node (named after its title unless NAME is given), or remove one", RunBookmark, 3, 4, {}, "mlf bookmark add notes.mlf //Projects/Plan \"This year\""},
      {"tasks", "mlf tasks FILE [--json]", "the tasks: id, priority, due time (local) and title, and the node each is attached to",
       RunTasks, 1, 1, {"--json"}, "mlf tasks notes.mlf --json"},
      {"task",
       "mlf task add FILE --title T [--priority idle|low|normal|high|urgent] [--due YYYY-MM-DD[THH:MM]] [--node PATH] "
       "[--notes TEXT] | mlf task edit FILE ID [the same options] | mlf task rm FILE ID",
       "add, change or delete a task; a new one is Normal and due in a month unless told otherwise; --node \"\" "
       "detaches it", RunTask, 2, 3, {"--title", "--priority", "--due", "--node", "--notes"},
       "mlf task add notes.mlf --title \"Pay rent\" --priority high --due 2027-01-01T09:00 --node //Home/Rent"},
      {"salvage", "mlf salvage FILE DIR", "save every readable node of a damaged file into DIR", RunSalvage, 2, 2, {}, "mlf salvage damaged.mlf rescued --password-file ~/.secret"},
  };
  return commands;
}

const std::vector<std::string>& CommonOptions() {
  static const std::vector<std::string> options = {"--password-file", "--yes", "--no", "--log", "--no-backup", "--help"};
  return options;
}

}  // namespace mlf::cli
