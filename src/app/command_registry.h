// The program's actions, one per command of the table in commands.h, made on first use and
// found by id. Each action's owner connects what it does and sets its enabled and checked
// state whenever what that state depends on changes; an action starts disabled.
#pragma once

#include <QObject>
#include <array>
#include <initializer_list>

#include "app/commands.h"

class QAction;
class QWidget;

namespace mlf {

class CommandRegistry : public QObject {
 public:
  explicit CommandRegistry(QObject* parent = nullptr);

  QAction* Action(CommandId id);
  // Adds the commands in order to a menu or toolbar; CommandId::kSeparator adds a separator.
  void AddTo(QWidget* target, std::initializer_list<CommandId> ids);

 private:
  std::array<QAction*, kCommandCount> m_actions{};
};

// The application's registry; it lives as long as the application object.
CommandRegistry& AppCommands();

}  // namespace mlf
