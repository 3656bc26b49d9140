// The task commands: tasks lists a file's tasks, task add, edit and rm change them.
#include <cstdio>
#include <ctime>
#include <iostream>
#include <optional>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/note_tree.h"
#include "platform/codepage.h"
#include "store/new_task.h"

namespace mlf::cli {
namespace {

constexpr const char* kPriorityWords[] = {"idle", "low", "normal", "high", "urgent"};

// A stored time as local "YYYY-MM-DDTHH:MM"; stored times are unsigned seconds since 1970.
std::string LocalTimeText(uint32_t seconds) {
  time_t t = time_t(seconds);
  std::tm local{};
  localtime_r(&t, &local);
  char text[32];
  strftime(text, sizeof text, "%Y-%m-%dT%H:%M", &local);
  return text;
}

// "YYYY-MM-DD" (midnight) or "YYYY-MM-DDTHH:MM", local time; none when it is no such time or
// one a task cannot hold.
std::optional<uint32_t> ParseLocalTime(const std::string& text) {
  int year, month, day, hour = 0, minute = 0, used = 0;
  bool dateOnly = sscanf(text.c_str(), "%4d-%2d-%2d%n", &year, &month, &day, &used) == 3 && size_t(used) == text.size();
  bool withTime = !dateOnly && sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d%n", &year, &month, &day, &hour, &minute, &used) == 5 &&
                  size_t(used) == text.size();
  if (!dateOnly && !withTime) return std::nullopt;
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_isdst = -1;
  time_t t = mktime(&local);
  // mktime moves 31 February on into March: such a date was not a date.
  if (t == time_t(-1) || local.tm_mday != day || local.tm_mon != month - 1 || local.tm_hour != hour ||
      local.tm_min != minute || t < 0 || t > time_t(UINT32_MAX))
    return std::nullopt;
  return uint32_t(t);
}

std::optional<uint8_t> ParsePriority(const std::string& word) {
  for (uint8_t i = 0; i < std::size(kPriorityWords); ++i)
    if (word == kPriorityWords[i]) return uint8_t(kPriorityIdle + i);
  return std::nullopt;
}

std::optional<uint32_t> ParseTaskId(const std::string& text) {
  std::string digits = text.rfind('#', 0) == 0 ? text.substr(1) : text;
  if (digits.empty() || digits.size() > 10 || digits.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  unsigned long long id = std::stoull(digits);
  if (id == 0 || id > UINT32_MAX) return std::nullopt;
  return uint32_t(id);
}

// The attached node's path, empty when the task has none or its node is gone.
std::string AttachedPath(const CMarrowleafDoc& doc, const MLFTASK& task) {
  NTV record;
  if (!(task.nFlags & kTaskAttached) || !task.nNode || !doc.Data_GetItem(task.nNode, record)) return {};
  return ShownTitle(doc.Data_GetItemPath(task.nNode));
}

// Applies the options given to the task; false after telling what was wrong (usage is set when
// the option itself is malformed, else the file does not allow it).
bool ApplyOptions(const Context& context, const CMarrowleafDoc& doc, const std::string& file, MLFTASK& task,
                  bool& usage) {
  const Options& options = context.options;
  usage = true;
  if (auto title = options.Value("--title")) {
    if (title->find_first_not_of(" \t") == std::string::npos) {
      std::cerr << "a task needs a title\n";
      return false;
    }
    task.strTitle = Utf8ToStoredText(*title);
  }
  if (auto word = options.Value("--priority")) {
    auto priority = ParsePriority(*word);
    if (!priority) {
      std::cerr << "--priority is one of idle, low, normal, high, urgent\n";
      return false;
    }
    task.nPriority = *priority;
  }
  if (auto text = options.Value("--due")) {
    auto due = ParseLocalTime(*text);
    if (!due) {
      std::cerr << "--due " << *text << ": a date is YYYY-MM-DD or YYYY-MM-DDTHH:MM\n";
      return false;
    }
    task.nDue = *due;
  }
  if (auto notes = options.Value("--notes")) task.strNotes = Utf8ToStoredText(*notes);
  usage = false;
  if (auto path = options.Value("--node")) {
    if (path->empty()) {
      task.nFlags &= ~uint32_t(kTaskAttached);
      task.nNode = 0;
      return true;
    }
    uint32_t node = ResolveNode(doc, file, *path);
    if (!node) return false;
    NTV record;
    if (doc.Data_GetItem(node, record) && record.nType == ntFolder) {
      std::cerr << file << ": " << *path << ": a task attaches to a node that is not a folder\n";
      return false;
    }
    task.nFlags |= kTaskAttached;
    task.nNode = node;
  }
  return true;
}

}  // namespace

int RunTasks(Context& context) {
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(context.options.arguments[0]);
  if (!doc) return kExitUsage;
  bool asJson = context.options.Has("--json");
  JsonWriter json;
  json.BeginArray();
  doc->EnumTasks([&](const MLFTASK& task) {
    std::string title = ShownTitle(task.strTitle), path = AttachedPath(*doc, task);
    if (asJson) {
      json.BeginObject().Key("id").Number(task.nId).Key("title").String(title);
      json.Key("priority").String(PriorityName(task.nPriority)).Key("priorityValue").Number(task.nPriority);
      json.Key("created").String(LocalTimeText(task.nCreated)).Key("start").String(LocalTimeText(task.nStart));
      json.Key("due").String(LocalTimeText(task.nDue)).Key("node").Number(path.empty() ? 0 : task.nNode);
      json.Key("path").String(path).Key("notes").String(ShownTitle(task.strNotes)).EndObject();
    } else {
      std::cout << "#" << task.nId << " " << PriorityName(task.nPriority) << " due " << LocalTimeText(task.nDue) << " "
                << title;
      if (!path.empty()) std::cout << " -> " << path << " (#" << task.nNode << ")";
      std::cout << "\n";
    }
  });
  if (asJson) std::cout << json.EndArray().Text() << "\n";
  return kExitOk;
}

int RunTask(Context& context) {
  const std::vector<std::string>& args = context.options.arguments;
  const std::string& action = args[0];
  const std::string& file = args[1];
  bool add = action == "add", edit = action == "edit", remove = action == "rm";
  if (!(add && args.size() == 2) && !((edit || remove) && args.size() == 3)) {
    std::cerr << "usage: mlf task add FILE --title T [...], mlf task edit FILE ID [...] or mlf task rm FILE ID\n";
    return kExitUsage;
  }
  if (add && !context.options.Has("--title")) {
    std::cerr << "mlf task add needs --title\n";
    return kExitUsage;
  }
  std::optional<uint32_t> id;
  if (!add && !(id = ParseTaskId(args[2]))) {
    std::cerr << args[2] << " is not a task id\n";
    return kExitUsage;
  }
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(file);
  if (!doc) return kExitUsage;

  MLFTASK task = add ? NewTaskDefaults(time(nullptr)) : MLFTASK{};
  if (!add && !doc->GetTask(*id, task)) {
    std::cerr << file << ": no task #" << *id << "\n";
    return kExitProblem;
  }
  if (remove) {
    doc->DeleteTask(*id);
  } else {
    bool usage = false;
    if (!ApplyOptions(context, *doc, file, task, usage)) return usage ? kExitUsage : kExitProblem;
    if (add) task.nId = doc->NewTask();
    doc->SetTask(task, true);
  }
  if (!SaveNoteFile(*doc, file)) return kExitProblem;
  if (!remove) std::cout << "task #" << task.nId << " " << ShownTitle(task.strTitle) << "\n";
  return kExitOk;
}

}  // namespace mlf::cli
