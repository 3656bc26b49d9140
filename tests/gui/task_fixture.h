// A document window for the task tests: its task list, the modal dialogs its commands open,
// and tasks made at a fixed time.
#pragma once

#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "app/command_registry.h"
#include "gui_fixture.h"
#include "store/new_task.h"
#include "tree/task_ctrl.h"

namespace mlf::test {

using Texts = std::vector<std::string>;

inline time_t Local(int year, int month, int day, int hour, int minute) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_isdst = -1;
  return mktime(&t);
}

// Runs act on the modal dialog that the next call opens.
template <typename Dialog>
void OnNextDialog(std::function<void(Dialog&)> act) {
  QTimer::singleShot(0, [act] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    act(*dialog);
  });
}

// A task made on Wednesday 9 December 2026 at noon.
inline MLFTASK Task(const char* title, uint8_t priority = kPriorityNormal) {
  MLFTASK task = NewTaskDefaults(Local(2026, 12, 9, 12, 0));
  task.strTitle = title;
  task.nPriority = priority;
  return task;
}

class TaskFixture : public GuiFixture {
 protected:
  CTaskCtrl& List() const { return *frame->TaskList(); }
  // The titles of the rows, top down.
  Texts Rows() const {
    Texts titles;
    for (int i = 0; i < List().topLevelItemCount(); ++i) titles.push_back(List().topLevelItem(i)->text(0).toStdString());
    return titles;
  }
  // Runs a command of the tree's pop-up menu on an entry.
  void Trigger(QTreeWidgetItem* context, CommandId id) {
    auto menu = Tree().MakeContextMenu(context);
    AppCommands().Action(id)->trigger();
  }
};

}  // namespace mlf::test
