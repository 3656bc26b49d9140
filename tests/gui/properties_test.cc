// The Node Properties and File Properties sheets, driven as the user would through the tree's
// menu and File > "Properties", with every password question answered from a script.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <cstring>
#include <deque>

#include "dialogs/crypt_settings_dlg.h"
#include "dialogs/file_options_pages.h"
#include "dialogs/file_options_sheet.h"
#include "dialogs/node_props_pages.h"
#include "dialogs/node_props_sheet.h"
#include "store/node_password.h"
#include "task_fixture.h"
#include "views/blank_area_view.h"

namespace mlf::test {
namespace {

// The encryption module as a machine without it sees it.
class MissingModule : public TestCrypt {
 public:
  uint32_t MaxKeyLength() const override { return 0; }
  bool IsCipherSupported(uint32_t) const override { return false; }
  std::vector<CryptAlgorithmInfo> Ciphers() const override { return {}; }
  std::vector<CryptAlgorithmInfo> KeyDerivations() const override { return {}; }
};

// Answers the questions for a new password with separate old and new texts where a test
// queues them, and the others as the fixture's scripted prompts do (which also record every
// message).
class PasswordPairs : public Prompts {
 public:
  explicit PasswordPairs(ScriptedPrompts& script) : m_script(script) {}
  MessageAnswer Message(const std::string& text, const std::string& caption, MessageIcon icon,
                        MessageButtons buttons) override {
    return m_script.Message(text, caption, icon, buttons);
  }
  std::optional<PasswordAnswer> AskPassword(const PasswordRequest& request) override {
    if (pairs.empty() || !(request.mode & kPasswordSet)) return m_script.AskPassword(request);
    m_script.passwordRequests.push_back(request);
    auto [first, fresh] = pairs.front();
    pairs.pop_front();
    return PasswordAnswer{SecureString(first), SecureString(fresh)};
  }
  std::deque<std::pair<std::string, std::string>> pairs;

 private:
  ScriptedPrompts& m_script;
};

class PropertiesTest : public TaskFixture {
 protected:
  // Opens the node's sheet from the tree's menu and acts on it; a sheet the act leaves open is
  // cancelled.
  void NodeProperties(uint32_t nodeId, std::function<void(CNodePropsSheet&)> act) {
    OnNextDialog<CNodePropsSheet>([act](CNodePropsSheet& sheet) {
      act(sheet);
      if (sheet.isVisible()) sheet.reject();
    });
    Trigger(Item(nodeId), CommandId::kNodeProperties);
  }
  void FileProperties(std::function<void(CFileOptionsSheet&)> act) {
    OnNextDialog<CFileOptionsSheet>([act](CFileOptionsSheet& sheet) {
      act(sheet);
      if (sheet.isVisible()) sheet.reject();
    });
    frame->FileProperties();
  }
  std::vector<std::string> Keywords(uint32_t nodeId) const {
    std::vector<std::string> names;
    doc->EnumNodeKeywordNames(nodeId, [&](const std::string& name) { names.push_back(name); });
    return names;
  }
  uint32_t PasswordMode(size_t index) const { return prompts.passwordRequests.at(index).mode; }
  // The note file's bytes, read beside the document that holds it.
  std::string FileBytes(const std::string& path) {
    auto file = env.OpenFile(path, FileAccess::Read, FileCreation::OpenExisting, FileShare::ShareReadWrite);
    std::string bytes(file->Size(), '\0');
    file->Read(bytes.data(), bytes.size());
    return bytes;
  }
  void WriteFile(const std::string& path, const std::string& bytes) {
    auto file = env.OpenFile(path, FileAccess::ReadWrite, FileCreation::CreateAlways, FileShare::Exclusive);
    file->Write(bytes.data(), bytes.size());
  }
  // The content of the node in the file as saved, opened by a document of its own from a copy
  // (the window's document holds the file).
  std::optional<std::string> Reopened(const std::string& path, uint32_t nodeId, std::optional<std::string> password) {
    const std::string copy = path + ".copy";
    WriteFile(copy, FileBytes(path));
    CMarrowleafDoc reopened(env);
    reopened.SetCryptProvider(&crypt);
    prompts.QueuePassword(password);
    if (!reopened.OnOpenDocument(copy)) {
      prompts.passwords.clear();
      return std::nullopt;
    }
    prompts.passwords.clear();  // a plain file asks nothing
    std::optional<std::vector<uint8_t>> content = reopened.Data_ReadContent(nodeId);
    if (!content) return std::nullopt;
    return std::string(content->begin(), content->end());
  }

  QColor BlankCentre() const {
    QImage shown = frame->BlankView()->grab().toImage();
    return shown.pixelColor(shown.rect().center());
  }

  PasswordPairs pairs{prompts};
  ScopedAppPrompts pairScope{pairs};
};

uint32_t U32(const std::string& bytes, size_t at) {
  uint32_t value;
  std::memcpy(&value, bytes.data() + at, 4);
  return value;  // little-endian, as this machine
}

// The envelope of an encrypted note file: the magic as a length-prefixed UTF-16LE text, the
// cipher, key derivation, key length and test-block length, the test block, then whole blocks.
struct Envelope {
  std::string magic;
  uint32_t cipher = 0, keyDerivation = 0, keyLength = 0, testLength = 0;
  size_t body = 0;
};

Envelope ReadEnvelope(const std::string& bytes) {
  Envelope envelope;
  uint32_t magicLength = U32(bytes, 0);
  for (uint32_t i = 0; i + 2 < magicLength; i += 2) envelope.magic += bytes[4 + i];
  size_t at = 4 + magicLength;
  envelope.cipher = U32(bytes, at);
  envelope.keyDerivation = U32(bytes, at + 4);
  envelope.keyLength = U32(bytes, at + 8);
  envelope.testLength = U32(bytes, at + 12);
  envelope.body = bytes.size() - (at + 16 + envelope.testLength);
  return envelope;
}

TEST_F(PropertiesTest, KeywordPageAddsInLowerCaseAndRefusesWhatItCannotKeep) {
  uint32_t note = Add(ntNote, "Note");
  doc->SetNodeKeywords(note, {note, {doc->FindOrAddKeyword("work")}});
  Show();
  doc->SetModifiedFlag(false);
  struct Case {
    std::string typed;
    const char* message;  // null: added
  } cases[] = {
      {"Home", nullptr},
      {"Work", "Keyword already exists"},
      {"", "Please enter a keyword"},
      {std::string(256, 'k'), "A keyword can be at most 255 characters long."},
      {std::string(255, 'k'), nullptr},
  };
  NodeProperties(note, [&](CNodePropsSheet& sheet) {
    CNodePropsPage_Keywords& page = *sheet.KeywordsPage();
    for (const Case& c : cases) {
      SCOPED_TRACE(c.typed.substr(0, 8));
      prompts.messages.clear();
      page.Edit()->setText(QString::fromStdString(c.typed));
      page.OnAdd();
      EXPECT_EQ(MessageTexts(), c.message ? Texts{c.message} : Texts{});
      if (c.message) EXPECT_EQ(prompts.messages[0].caption, "Add Keyword");
      EXPECT_EQ(page.Edit()->selectedText(), page.Edit()->text());
    }
    // Enter in the edit box adds instead of closing the sheet.
    page.Edit()->setText(QStringLiteral("Travel"));
    QTest::keyClick(page.Edit(), Qt::Key_Return);
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(page.Keywords().back(), QStringLiteral("travel"));
    // Removing the last line selects the one above it.
    QListWidget* list = page.List();
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->item(3)->text(), QStringLiteral("work"));
    list->setCurrentRow(3);
    page.OnRemove();
    EXPECT_EQ(list->currentRow(), 2);
    list->setCurrentRow(0);
    page.OnRemove();
    sheet.OkButton()->click();
  });
  EXPECT_EQ(Keywords(note), (Texts{std::string(255, 'k'), "travel"}));
  EXPECT_TRUE(doc->IsModified());
  // "work" went with the last node that had it.
  std::vector<std::string> all;
  doc->EnumKeywords([&](uint32_t, const std::string& name) { all.push_back(name); });
  EXPECT_EQ(all, (Texts{std::string(255, 'k'), "travel"}));
}

TEST_F(PropertiesTest, KeywordsChangeNothingOnCancelAndAreSharedBetweenNodes) {
  uint32_t first = Add(ntNote, "First");
  uint32_t second = Add(ntNote, "Second");
  Show();
  for (uint32_t node : {first, second}) {
    NodeProperties(node, [](CNodePropsSheet& sheet) {
      sheet.KeywordsPage()->Edit()->setText(QStringLiteral("Shared"));
      sheet.KeywordsPage()->OnAdd();
      sheet.OkButton()->click();
    });
  }
  NodeProperties(first, [](CNodePropsSheet& sheet) {
    sheet.KeywordsPage()->Edit()->setText(QStringLiteral("Dropped"));
    sheet.KeywordsPage()->OnAdd();
    sheet.reject();
  });
  EXPECT_EQ(Keywords(first), Texts{"shared"});
  MLFNODEKEYWORDS a, b;
  ASSERT_TRUE(doc->GetNodeKeywords(first, a));
  ASSERT_TRUE(doc->GetNodeKeywords(second, b));
  EXPECT_EQ(a.ids, b.ids);
}

TEST_F(PropertiesTest, NodePasswordIsSetChangedAndRemovedWithThePadlock) {
  uint32_t note = Add(ntNote, "Note", 0, "secret text");
  uint32_t task = doc->NewTask(Task("Review"));
  Show();
  ASSERT_TRUE(Tree().AttachTask(Item(note), task));
  ASSERT_EQ(CMlfTreeCtrl::ItemOverlay(Item(note)), TreeOverlay::kTask);

  // Set: the page starts unchecked with the module's defaults; a plain node asks for a new one.
  prompts.QueuePassword("first");
  NodeProperties(note, [](CNodePropsSheet& sheet) {
    CNodePropsPage_Crypt& page = *sheet.CryptPage();
    EXPECT_FALSE(page.EncryptCheck()->isChecked());
    EXPECT_FALSE(page.AdvancedButton()->isEnabled());
    EXPECT_FALSE(page.ChangeCheck()->isEnabled());
    page.EncryptCheck()->setChecked(true);
    EXPECT_TRUE(page.AdvancedButton()->isEnabled());
    sheet.OkButton()->click();
  });
  ASSERT_EQ(prompts.passwordRequests.size(), 1u);
  EXPECT_EQ(PasswordMode(0), kPasswordSet);
  CMlfNode node(doc, note);
  EXPECT_TRUE(node.IsEncrypted());
  EXPECT_EQ(node.GetCryptType(), TestCrypt::kCipher);
  EXPECT_EQ(node.GetKeyLength(), 16u) << "the cipher's default key length";
  EXPECT_TRUE(VerifyNodePassword(*doc, note, SecureString("first")));
  EXPECT_EQ(CMlfTreeCtrl::ItemOverlay(Item(note)), TreeOverlay::kEncrypted) << "the padlock beats the clock";

  // Change: the hint once, then the old password (asked first, since none was given this run)
  // and the new one.
  prompts.passwordRequests.clear();
  prompts.messages.clear();
  prompts.QueuePassword("first");
  pairs.pairs = {{"first", "second"}};
  NodeProperties(note, [&](CNodePropsSheet& sheet) {
    CNodePropsPage_Crypt& page = *sheet.CryptPage();
    EXPECT_TRUE(page.EncryptCheck()->isChecked());
    EXPECT_TRUE(page.ChangeCheck()->isEnabled());
    page.ChangeCheck()->setChecked(true);
    page.ChangeCheck()->setChecked(false);
    page.ChangeCheck()->setChecked(true);
    sheet.OkButton()->click();
  });
  EXPECT_EQ(MessageTexts(), Texts{"You will be prompted for a new password when the Node Properties window is closed."});
  ASSERT_EQ(prompts.passwordRequests.size(), 2u);
  EXPECT_EQ(PasswordMode(0), kPasswordEnter);
  EXPECT_EQ(PasswordMode(1), kPasswordSet | kPasswordEnter);
  EXPECT_TRUE(VerifyNodePassword(*doc, note, SecureString("second")));

  // Remove: no new password, the node is read with the one given at opening.
  prompts.passwordRequests.clear();
  prompts.QueuePassword("second");
  NodeProperties(note, [](CNodePropsSheet& sheet) {
    sheet.CryptPage()->EncryptCheck()->setChecked(false);
    sheet.OkButton()->click();
  });
  EXPECT_EQ(prompts.passwordRequests.size(), 1u);
  EXPECT_FALSE(CMlfNode(doc, note).IsEncrypted());
  EXPECT_EQ(Content(note), "secret text");
  EXPECT_EQ(CMlfTreeCtrl::ItemOverlay(Item(note)), TreeOverlay::kTask);
}

TEST_F(PropertiesTest, ARefusedOrCancelledPasswordChangesNothing) {
  uint32_t note = Add(ntNote, "Note", 0, "secret text");
  Encrypt(note, "right");
  Show();
  doc->SetNodePassword(note, SecureString("right"));
  NTV before;
  doc->Data_GetItem(note, before);
  struct Case {
    const char* name;
    std::optional<std::pair<std::string, std::string>> answer;  // none: cancelled
    Texts messages;
  } cases[] = {
      {"wrong old password", std::pair<std::string, std::string>{"wrong", "new"}, {"Incorrect password!"}},
      {"cancelled", std::nullopt, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompts.messages.clear();
    prompts.passwords.clear();
    if (c.answer) pairs.pairs = {*c.answer};
    else prompts.QueuePassword(std::nullopt);
    bool stayedOpen = false;
    NodeProperties(note, [&](CNodePropsSheet& sheet) {
      sheet.CryptPage()->ChangeCheck()->setChecked(true);
      prompts.messages.clear();
      sheet.OkButton()->click();
      stayedOpen = sheet.isVisible();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(MessageTexts(), c.messages);
    NTV after;
    doc->Data_GetItem(note, after);
    EXPECT_EQ(after.nStorageLength, before.nStorageLength);
    EXPECT_TRUE(VerifyNodePassword(*doc, note, SecureString("right")));
    EXPECT_EQ(Content(note), "secret text");
  }
}

TEST_F(PropertiesTest, TheOpenNodeKeepsWorkingUnderItsNewPassword) {
  uint32_t note = Add(ntNote, "Note", 0, "{\\rtf1 open text}");
  Encrypt(note, "old");
  Show();
  prompts.QueuePassword("old");
  ASSERT_TRUE(frame->ActivateNode(true, note));
  pairs.pairs = {{"old", "new"}};
  NodeProperties(note, [](CNodePropsSheet& sheet) {
    sheet.CryptPage()->ChangeCheck()->setChecked(true);
    sheet.OkButton()->click();
  });
  std::optional<SecureString> runtime = doc->GetNodePassword(note);
  ASSERT_TRUE(runtime);
  EXPECT_EQ(runtime->view(), "new");
  EXPECT_TRUE(frame->StoreOpenNode());
  EXPECT_TRUE(VerifyNodePassword(*doc, note, SecureString("new")));
}

TEST_F(PropertiesTest, WithoutTheModuleEncryptionIsOffAndLockedNodesStayShut) {
  uint32_t plain = Add(ntNote, "Plain");
  uint32_t locked = Add(ntNote, "Locked", 0, "x");
  Encrypt(locked, "pw");
  MissingModule missing;
  doc->SetCryptProvider(&missing);
  doc->SetModifiedFlag(true);
  Show();
  NodeProperties(plain, [](CNodePropsSheet& sheet) {
    EXPECT_FALSE(sheet.CryptPage()->EncryptCheck()->isEnabled());
    EXPECT_EQ(sheet.CryptPage()->StatusText()->text(), QStringLiteral("Encryption is not available."));
  });
  Trigger(Item(locked), CommandId::kNodeProperties);
  EXPECT_EQ(MessageTexts(), Texts{"You cannot access this encrypted node.\n\nEncryption is not available or not compatible."});
  EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Exclamation);
  FileProperties([](CFileOptionsSheet& sheet) {
    EXPECT_FALSE(sheet.CryptPage()->EncryptCheck()->isEnabled());
    EXPECT_EQ(sheet.CryptPage()->StatusText()->text(), QStringLiteral("Encryption is not available."));
  });
  CCryptSettingsDlg dialog(missing, 0, 0, 0);
  EXPECT_EQ(dialog.CipherList()->count(), 0);
  EXPECT_EQ(dialog.StrengthText()->text(), QStringLiteral("0-bit"));
}

TEST_F(PropertiesTest, FileEncryptionIsTurnedOnChangedAndOffAcrossSaves) {
  const std::string path = "/crypt.mlf";
  uint32_t note = Add(ntNote, "Note", 0, "file text");
  Show();
  ASSERT_TRUE(doc->OnSaveDocument(path));
  ASSERT_EQ(ReadEnvelope(FileBytes(path)).magic.substr(0, 9), "Marrowlea") << "a plain file to start with";

  struct Step {
    const char* name;
    bool encrypt;
    const char* typed;  // null: the edit is left as it is
    const char* password;
  } steps[] = {
      {"on", true, "first", "first"},
      {"changed", true, "second", "second"},
      {"off", false, nullptr, nullptr},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    prompts.passwordRequests.clear();
    if (step.typed) prompts.QueuePassword(step.typed);
    FileProperties([&](CFileOptionsSheet& sheet) {
      CFileOptionsPage_Crypt& page = *sheet.CryptPage();
      page.EncryptCheck()->setChecked(step.encrypt);
      EXPECT_EQ(page.PasswordEdit()->isEnabled(), step.encrypt);
      if (step.typed) page.PasswordEdit()->setText(QString::fromLatin1(step.typed));
      sheet.OkButton()->click();
      EXPECT_FALSE(sheet.isVisible());
    });
    if (step.typed) {
      ASSERT_EQ(prompts.passwordRequests.size(), 1u);
      EXPECT_EQ(PasswordMode(0), kPasswordConfirm);
      EXPECT_EQ(prompts.passwordRequests[0].presetNew.view(), step.typed);
    }
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(doc->OnSaveDocument(path));
    Envelope envelope = ReadEnvelope(FileBytes(path));
    if (step.encrypt) {
      EXPECT_EQ(envelope.magic, "Encrypted Marrowleaf File");
      EXPECT_EQ(envelope.cipher, TestCrypt::kCipher);
      EXPECT_EQ(envelope.keyDerivation, TestCrypt::kKeyDerivation);
      EXPECT_EQ(envelope.keyLength, 16u) << "no length chosen: the cipher's default";
      EXPECT_EQ(envelope.testLength, 16u);
      EXPECT_EQ(envelope.body % TestCrypt::kBlock, 0u);
      EXPECT_EQ(Reopened(path, note, step.password), "file text");
      EXPECT_EQ(Reopened(path, note, "wrong"), std::nullopt);
    } else {
      EXPECT_NE(envelope.magic.substr(0, 9), "Encrypted");
      EXPECT_EQ(Reopened(path, note, std::nullopt), "file text");
    }
  }
}

TEST_F(PropertiesTest, TheUntouchedSentinelKeepsTheFilePassword) {
  uint32_t note = Add(ntNote, "Note", 0, "file text");
  doc->SetFileEncryption(TestCrypt::kCipher, 16, TestCrypt::kKeyDerivation, SecureString("kept"));
  Show();
  ASSERT_TRUE(doc->OnSaveDocument("/kept.mlf"));
  doc->SetModifiedFlag(false);
  FileProperties([](CFileOptionsSheet& sheet) {
    CFileOptionsPage_Crypt& page = *sheet.CryptPage();
    EXPECT_TRUE(page.EncryptCheck()->isChecked());
    EXPECT_EQ(page.PasswordEdit()->text(), CFileOptionsPage_Crypt::UnchangedPassword());
    EXPECT_EQ(page.PasswordEdit()->text().size(), 22);
    EXPECT_EQ(page.PasswordEdit()->echoMode(), QLineEdit::Password);
    sheet.OkButton()->click();
    EXPECT_FALSE(sheet.EncryptionChanged());
  });
  EXPECT_TRUE(prompts.passwordRequests.empty());
  EXPECT_TRUE(doc->IsModified()) << "OK marks the document modified even when nothing changed";
  ASSERT_TRUE(doc->OnSaveDocument("/kept.mlf"));
  EXPECT_EQ(Reopened("/kept.mlf", note, "kept"), "file text");

  // An emptied edit asks for a new password and keeps the sheet on the Encryption page.
  FileProperties([&](CFileOptionsSheet& sheet) {
    sheet.CryptPage()->PasswordEdit()->clear();
    sheet.Tabs()->setCurrentIndex(0);
    prompts.messages.clear();
    sheet.OkButton()->click();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(MessageTexts(), Texts{"Please enter a new password."});
    EXPECT_EQ(sheet.Tabs()->currentWidget(), sheet.CryptPage());
  });
}

TEST_F(PropertiesTest, SortOptionsRebuildTheTreeInTheirOrder) {
  uint32_t folder = Add(ntFolder, "Folder");
  Add(ntNote, "Inside", folder);
  for (const char* title : {"10 b", "Zebra", "9 a", "apple"}) Add(ntNote, title);
  Show();
  Item(folder)->setExpanded(true);
  struct Case {
    int alphabetical, folders;
    bool numeric;
    Texts order;
  } cases[] = {
      {0, 0, false, {"Folder", "10 b", "9 a", "apple", "Zebra"}},
      {1, 1, false, {"Zebra", "apple", "9 a", "10 b", "Folder"}},
      {0, 2, true, {"9 a", "10 b", "apple", "Folder", "Zebra"}},
      {1, 0, true, {"Folder", "Zebra", "apple", "9 a", "10 b"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.order.front());
    FileProperties([&](CFileOptionsSheet& sheet) {
      CFileOptionsPage_Sort& page = *sheet.SortPage();
      page.Alphabetical()->button(c.alphabetical)->click();
      page.Folders()->button(c.folders)->click();
      page.NumericCheck()->setChecked(c.numeric);
      sheet.OkButton()->click();
    });
    EXPECT_EQ(Children(), c.order);
    EXPECT_FALSE(Item(folder)->isExpanded()) << "rebuilt without keeping folders open";
    FileHeader header = doc->GetHeader();
    EXPECT_EQ(header.sortFlags, c.alphabetical + (c.numeric ? 2 : 0));
    EXPECT_EQ(header.folderArrangement, c.folders);
  }
}

TEST_F(PropertiesTest, LogoIsSetKeptThroughSaveAndCleared) {
  const std::string picture = "/logo.png", broken = "/broken.png";
  WriteFile(picture, PngBytes(40, 30));
  WriteFile(broken, std::string("\x89PNG\r\n\x1a\nbad"));
  Show();
  FileProperties([&](CFileOptionsSheet& sheet) {
    CFileOptionsPage_Logo& page = *sheet.LogoPage();
    EXPECT_FALSE(page.CustomLogoCheck()->isChecked());
    EXPECT_FALSE(page.ChangeButton()->isEnabled());
    page.CustomLogoCheck()->setChecked(true);
    EXPECT_TRUE(page.ChangeButton()->isEnabled());
    EXPECT_FALSE(page.ChooseLogo(QString::fromStdString(broken)));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text.rfind("This picture cannot be used as the logo.\n\n", 0), 0u)
        << "the decoder's reason follows: " << prompts.messages[0].text;
    EXPECT_GT(prompts.messages[0].text.size(), 45u);
    EXPECT_FALSE(page.NewPictureChosen());
    EXPECT_TRUE(page.ChooseLogo(QString::fromStdString(picture)));
    sheet.OkButton()->click();
  });
  ASSERT_TRUE(doc->HasLogo());
  EXPECT_EQ(doc->GetLogoBitmap().Width(), 40);
  EXPECT_EQ(BlankCentre(), QColor(Qt::red)) << "the blank view shows the new logo at once";
  ASSERT_TRUE(doc->OnSaveDocument("/logo.mlf"));
  {
    WriteFile("/copy.mlf", FileBytes("/logo.mlf"));
    CMarrowleafDoc reopened(env);
    ASSERT_TRUE(reopened.OnOpenDocument("/copy.mlf"));
    EXPECT_TRUE(reopened.HasLogo());
    EXPECT_EQ(reopened.GetLogoBitmap().Width(), 40);
  }
  FileProperties([](CFileOptionsSheet& sheet) {
    EXPECT_TRUE(sheet.LogoPage()->CustomLogoCheck()->isChecked());
    sheet.LogoPage()->CustomLogoCheck()->setChecked(false);
    sheet.OkButton()->click();
  });
  EXPECT_FALSE(doc->HasLogo());
  EXPECT_NE(BlankCentre(), QColor(Qt::red));
}

TEST_F(PropertiesTest, CryptSettingsListTheModuleAndKeepTheKeyLength) {
  CCryptSettingsDlg known(crypt, TestCrypt::kCipher, TestCrypt::kKeyDerivation, 24);
  EXPECT_EQ(known.CipherList()->currentText(), QStringLiteral("Toy"));
  EXPECT_EQ(known.StrengthText()->text(), QStringLiteral("128-bit"));
  EXPECT_FALSE(known.HashList()->isEnabled());
  EXPECT_EQ(known.KeyDerivationType(), TestCrypt::kKeyDerivation);
  EXPECT_EQ(known.KeyLength(), 24u);

  // A cipher the module no longer offers shows as unknown; choosing a listed one returns it.
  CCryptSettingsDlg unknown(crypt, 99, 77, 0);
  EXPECT_EQ(unknown.CipherList()->currentText(), QStringLiteral("Unknown Encryption Algorithm"));
  EXPECT_EQ(unknown.HashList()->currentText(), QStringLiteral("Unknown Hashing Algorithm"));
  EXPECT_EQ(unknown.CipherType(), kUnknownAlgorithm);
  EXPECT_EQ(unknown.StrengthText()->text(), QStringLiteral("0-bit"));
  unknown.CipherList()->setCurrentIndex(unknown.CipherList()->findText(QStringLiteral("Toy")));
  EXPECT_EQ(unknown.CipherType(), TestCrypt::kCipher);
  EXPECT_EQ(unknown.StrengthText()->text(), QStringLiteral("128-bit"));
}

TEST_F(PropertiesTest, AdvancedOnTheFilePageEmptiesThePassword) {
  doc->SetFileEncryption(TestCrypt::kCipher, 16, TestCrypt::kKeyDerivation, SecureString("kept"));
  Show();
  FileProperties([&](CFileOptionsSheet& sheet) {
    CFileOptionsPage_Crypt& page = *sheet.CryptPage();
    OnNextDialog<CCryptSettingsDlg>([](CCryptSettingsDlg& dialog) { dialog.accept(); });
    page.AdvancedButton()->click();
    EXPECT_TRUE(page.PasswordEdit()->text().isEmpty());
    sheet.OkButton()->click();
    EXPECT_EQ(MessageTexts(), Texts{"Please enter a new password."});
  });
}

}  // namespace
}  // namespace mlf::test
