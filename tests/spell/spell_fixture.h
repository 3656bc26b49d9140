// The spell-check module as built beside the test program, started with a user folder of the
// test's own, and an editor on screen for it to check.
#pragma once

#include <gtest/gtest.h>

#include <QTextEdit>

#include <memory>
#include <string>

#include "diagnostics/log.h"
#include "platform/mem_env.h"
#include "spell/spell_dll_handler.h"
#include "support/scratch_dir.h"

namespace mlf::test {

class SpellTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The module's folder of settings and personal words under the test's configuration home.
  std::string UserFolder() const;
  // The module's settings file with these lines ("Language=en_US\n...").
  void WriteSettings(const std::string& lines);
  // Loads and initialises the module from the test program's folder.
  void StartModule();
  // The log lines the handler wrote.
  std::string Logged();
  // An editor with the text, shown, so that it has a native window id.
  QTextEdit& ShowEditor(const QString& text);
  uint64_t EditorWindow() { return m_editor->winId(); }
  SpellOutcome CheckEditor() { return handler.Check(EditorWindow(), 0); }
  QTextEdit& Editor() { return *m_editor; }

  ScratchDir scratch;
  MemEnv logEnv;
  CLog log{logEnv};
  CSpellDLLHandler handler{log};

 private:
  std::unique_ptr<QTextEdit> m_editor;
};

}  // namespace mlf::test
