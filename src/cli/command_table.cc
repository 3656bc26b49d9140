// The commands of the mlf tool: their usage, what they do and the options each one takes.
#include "cli/commands.h"
#include "cli/encryption_choice.h"

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
      {"passwd", "mlf passwd FILE [--remove] [--new-password-file F] [--cipher NAME] [--kdf NAME]",
       "set, change or remove the file password; --cipher and --kdf choose the encryption (the module's defaults, "
       "or the file's present ones, otherwise)",
       RunPasswd, 1, 1, {"--remove", "--new-password-file", "--cipher", "--kdf"},
       "mlf passwd notes.mlf --new-password-file ~/.secret --cipher aes-256", PrintEncryptionChoices},
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
      {"keywords", "mlf keywords FILE PATH [--add K]... [--remove K]... [--json]",
       "list a node's keywords, or add and remove some (kept in lower case, at most 255 characters each); a keyword "
       "no node uses any more leaves the file", RunKeywords, 2, 2, {"--add", "--remove", "--json"},
       "mlf keywords notes.mlf //Recipes/Bread --add baking --add Sourdough --remove draft"},
      {"lock", "mlf lock FILE PATH [--cipher NAME] [--kdf NAME]",
       "give a node a password, or change it: the old password is asked first (--password-file), the new one "
       "twice on the terminal or read from --new-password-file", RunLock, 2, 2,
       {"--new-password-file", "--cipher", "--kdf"}, "mlf lock notes.mlf //Diary --new-password-file ~/.diary"},
      {"unlock", "mlf unlock FILE PATH", "take a node's password away, after asking for it", RunUnlock, 2, 2, {},
       "mlf unlock notes.mlf //Diary --password-file ~/.diary"},
      {"sort", "mlf sort FILE [--order az|za] [--folders first|last|none] [--numeric|--no-numeric] [--json]",
       "the order of the tree: titles A to Z or Z to A, folders first, last or among the others, and leading "
       "numbers compared as numbers; without options the current settings", RunSort, 1, 1,
       {"--order", "--folders", "--numeric", "--no-numeric", "--json"},
       "mlf sort notes.mlf --order za --folders last --numeric"},
      {"logo", "mlf logo FILE [--set PICTURE | --clear | --get OUT] [--json]",
       "the custom logo shown while no node is open: set it from a picture, clear it, or write its picture to OUT; "
       "without options what it is", RunLogo, 1, 1, {"--set", "--clear", "--get", "--json"},
       "mlf logo notes.mlf --set ~/Pictures/family.png"},
      {"salvage", "mlf salvage FILE DIR", "save every readable node of a damaged file into DIR", RunSalvage, 2, 2, {}, "mlf salvage damaged.mlf rescued --password-file ~/.secret"},
  };
  return commands;
}

const std::vector<std::string>& CommonOptions() {
  static const std::vector<std::string> options = {"--password-file", "--yes", "--no", "--log", "--no-backup", "--help"};
  return options;
}

}  // namespace mlf::cli
