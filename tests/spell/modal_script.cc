#include "modal_script.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

namespace mlf::test {
namespace {

constexpr int kPollMs = 5;

}  // namespace

ModalScript::ModalScript(std::deque<ModalStep> steps, int limitMs) : m_steps(std::move(steps)), m_limitMs(limitMs) {
  QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
  m_timer.start(kPollMs);
}

ModalScript::~ModalScript() { m_timer.stop(); }

std::string ModalScript::Pending() const {
  std::string names;
  for (const ModalStep& step : m_steps) names += (names.empty() ? "" : ", ") + step.name;
  return names;
}

void ModalScript::Poll() {
  m_elapsedMs += kPollMs;
  QWidget* modal = QApplication::activeModalWidget();
  if (m_elapsedMs > m_limitMs) {
    if (!modal) return;
    ADD_FAILURE() << "a modal window was left open; steps not taken: " << Pending();
    if (auto* dialog = qobject_cast<QDialog*>(modal)) QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
    return;
  }
  if (!modal || m_steps.empty() || !m_steps.front().ready(*modal)) return;
  ModalStep step = std::move(m_steps.front());
  m_steps.pop_front();
  step.act(*modal);
}

ModalStep AcceptMessageBox(const QString& text) {
  return {"message \"" + text.toStdString() + "\"",
          [text](QWidget& modal) {
            auto* box = qobject_cast<QMessageBox*>(&modal);
            return box && box->text() == text;
          },
          [](QWidget& modal) { QMetaObject::invokeMethod(&modal, "accept", Qt::QueuedConnection); }};
}

void QueueClick(QWidget& window, const char* buttonName) {
  auto* button = window.findChild<QAbstractButton*>(buttonName);
  ASSERT_NE(button, nullptr) << "no button " << buttonName;
  QMetaObject::invokeMethod(button, "click", Qt::QueuedConnection);
}

}  // namespace mlf::test
