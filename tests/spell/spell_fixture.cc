#include "spell_fixture.h"

#include <cstdlib>
#include <filesystem>

#include "platform/env.h"

namespace mlf::test {

void SpellTest::SetUp() {
  // The module keeps its settings and personal words under the configuration home.
  ::setenv("XDG_CONFIG_HOME", (scratch / "config").c_str(), 1);
  log.Open();
}

void SpellTest::TearDown() {
  handler.Shutdown();
  m_editor.reset();
}

std::string SpellTest::UserFolder() const { return scratch / "config/Quarn/quarnspellcheck"; }

void SpellTest::WriteSettings(const std::string& lines) {
  std::filesystem::create_directories(UserFolder());
  WriteWholeFile(UserFolder() + "/quarnspellcheck.ini", "[General]\n" + lines);
}

void SpellTest::StartModule() {
  ASSERT_TRUE(handler.StartFrom(Env::Default(), Env::Default().ExecutableDirectory()))
      << "cannot start " << CSpellDLLHandler::ModuleFileName() << " from " << Env::Default().ExecutableDirectory();
}

std::string SpellTest::Logged() {
  std::string all = logEnv.GetFile(log.GetFilePath());
  return all.substr(all.find("\r\n\r\n", all.find("BEGIN LOG")) + 4);
}

QTextEdit& SpellTest::ShowEditor(const QString& text) {
  m_editor = std::make_unique<QTextEdit>();
  m_editor->setPlainText(text);
  m_editor->show();
  return *m_editor;
}

}  // namespace mlf::test
