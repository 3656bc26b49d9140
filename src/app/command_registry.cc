#include "app/command_registry.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QToolBar>

#include "widgets/svg_art.h"

namespace mlf {

CommandRegistry::CommandRegistry(QObject* parent) : QObject(parent) {}

QAction* CommandRegistry::Action(CommandId id) {
  QAction*& action = m_actions.at(size_t(id));
  if (action) return action;
  const CommandInfo& info = FindCommand(id);
  action = new QAction(QString::fromLatin1(info.text), this);
  if (info.icon) action->setIcon(SvgIcon(QString::fromLatin1(info.icon)));
  if (info.prompt) {
    QString prompt = QString::fromLatin1(info.prompt);
    qsizetype split = prompt.indexOf(QLatin1Char('\n'));
    action->setStatusTip(prompt.left(split));
    if (split >= 0) action->setToolTip(prompt.mid(split + 1));
  }
  if (info.key) {
    action->setShortcut(QKeySequence(QString::fromLatin1(info.key)));
    // A shortcut bound to no widget never fires; the menu still shows it.
    if (info.keyShownOnly) action->setShortcutContext(Qt::WidgetShortcut);
  }
  action->setCheckable(info.checkable);
  action->setEnabled(false);
  return action;
}

void CommandRegistry::AddTo(QWidget* target, std::initializer_list<CommandId> ids) {
  for (CommandId id : ids) {
    if (id != CommandId::kSeparator) target->addAction(Action(id));
    else if (auto* menu = qobject_cast<QMenu*>(target)) menu->addSeparator();
    else if (auto* bar = qobject_cast<QToolBar*>(target)) bar->addSeparator();
  }
}

CommandRegistry& AppCommands() {
  static QPointer<CommandRegistry> registry;
  if (!registry) registry = new CommandRegistry(QCoreApplication::instance());
  return *registry;
}

}  // namespace mlf
