// The writer: which keys a save writes or removes, and their stored forms checked against
// the openssl command line.
#include <gtest/gtest.h>

#include "plugin/settings_fixture.h"
#include "support/independent.h"

namespace jc {
namespace {

using namespace settings;
using test::hexOf;

class Writer : public test::PanelTest {
 protected:
  void save() { panel_->writeNonPPDSettingsToPrintSettings(); }
  void retention(int row) {
    panel_->retentionCheckBox->setState(row >= 0 ? 1 : 0);
    if (row >= 0) panel_->suspendMatrix->selectCellAtRow(row);
  }
};

TEST_F(Writer, NothingIsWrittenBeforeTheControlsAreBuilt) {
  VoreliaPrintPdeTz630eJC unbuilt(callback_, test::builtBundle());
  unbuilt.writeNonPPDSettingsToPrintSettings();
  EXPECT_TRUE(settings_->entries().empty());
}

TEST_F(Writer, RetentionOffRemovesThePassCodeKeysOfAnEarlierSave) {
  settings_->setValue(kJobSuspendKeyKey, "stale");
  settings_->setValue(kJobSuspend2KeyKey, "stale");
  settings_->setValue("com.example.foreign", "kept");
  retention(-1);
  panel_->suspendKeyEditText->setStringValue("1234");
  save();
  EXPECT_EQ(value(kJobSuspendKey), "0");
  EXPECT_FALSE(value(kJobSuspendKeyKey));
  EXPECT_FALSE(value(kJobSuspend2KeyKey));
  EXPECT_EQ(value("com.example.foreign"), "kept");
  EXPECT_EQ(value(kHoldButtonKey), "0");
  std::string T = spoolTime();
  EXPECT_TRUE(T.size() == 30 || T.size() == 31) << T;
}

TEST_F(Writer, RetentionPassCodeIsDigestedLeftFilledAndEnciphered) {
  struct Case {
    int row;
    const char* typed;
    const char* digit;
    const char* used;
  };
  for (const Case& c : {Case{0, "7", "2", "7"}, Case{1, "1234", "1", "1234"},
                        Case{2, "123456789", "3", "12345678"}}) {
    retention(c.row);
    panel_->suspendKeyEditText->setStringValue(c.typed);
    save();
    std::string T = spoolTime();
    std::string filled = std::string(c.used).size() < 5
                             ? std::string(5 - std::string(c.used).size(), '0') + c.used
                             : c.used;
    EXPECT_EQ(value(kJobSuspendKey), c.digit);
    EXPECT_EQ(value(kJobSuspendKeyKey), test::opensslMD5(filled + T)) << c.typed;
    EXPECT_EQ(value(kJobSuspend2KeyKey), test::opensslStoredCipherHex(c.used)) << c.typed;
  }
}

TEST_F(Writer, FolderPassCodeIsWrittenWithoutFilingSpoolTimeFirst) {
  panel_->folderPasswordEditText->setStringValue("42");
  save();
  EXPECT_EQ(value(kFolderPasswordKey), test::opensslMD5(spoolTime() + "00042"));
  EXPECT_EQ(value(kFolderPassword2Key), test::opensslStoredCipherHex("42"));
}

TEST_F(Writer, NumbersAreLeftFilledInClearAndTheAccountNumberStopsAtFiveBytes) {
  panel_->userNumberEditText->setStringValue("77");
  panel_->accountNumberEditText->setStringValue("123456");
  save();
  EXPECT_EQ(value(kUserNumberKey), "00077");
  EXPECT_EQ(value(kUserNumber2Key), test::opensslStoredCipherHex("77"));
  EXPECT_EQ(value(kAccountNumberKey), "12345");
  EXPECT_EQ(value(kAccountNumber2Key), test::opensslStoredCipherHex("12345"));
  // A number the system encoding cannot hold stores nothing rather than a lossy value.
  panel_->userNumberEditText->setStringValue("\uFF11\uFF12");
  save();
  EXPECT_FALSE(value(kUserNumberKey));
  EXPECT_FALSE(value(kUserNumber2Key));
}

TEST_F(Writer, PasswordFormsHaveTheirFixedLengths) {
  panel_->passwordEditText->setStringValue("abcde");
  save();
  // The run-time key is the last 16 characters of this save's spool-time text.
  std::string T = spoolTime();
  EXPECT_EQ(value(kPasswordKey),
            test::opensslCipherBase64("abcde", hexOf(T.substr(T.size() - 16))));
  EXPECT_EQ(value(kPassword2Key), test::opensslStoredCipherHex("abcde") + std::string(32, '0'));
  panel_->passwordEditText->setStringValue("abcdefghijklmnopqrst");
  save();
  EXPECT_EQ(value(kPasswordKey)->size(), 44u);
  EXPECT_EQ(value(kPassword2Key), test::opensslStoredCipherHex("abcdefghijklmnopqrst"));
  panel_->passwordEditText->setStringValue("");
  save();
  EXPECT_FALSE(value(kPasswordKey));
  EXPECT_FALSE(value(kPassword2Key));
}

TEST_F(Writer, LoginNameSpreadsOverOneOrTwoPiecesAndClearsTheNext) {
  settings_->setValue(kLoginName12Key, "stale");
  panel_->loginNameEditText->setStringValue("j.doe");
  save();
  EXPECT_EQ(value(kLoginName11Key), test::opensslCipherBase64("j.doe", test::kStoredKeyHex));
  std::string T = spoolTime();
  EXPECT_EQ(value(kLoginName01Key),
            test::opensslCipherBase64("j.doe", hexOf(T.substr(T.size() - 16))));
  panel_->loginNameEditText->setStringValue(std::string(176, 'a'));
  save();
  EXPECT_EQ(value(kLoginName11Key)->size(), 236u);
  EXPECT_FALSE(value(kLoginName12Key));
  EXPECT_EQ(value(kLoginName01Key)->size(), 236u);
  panel_->loginNameEditText->setStringValue(std::string(177, 'a'));
  save();
  EXPECT_EQ(value(kLoginName11Key)->size() + value(kLoginName12Key)->size(), 256u);
  EXPECT_FALSE(value("vorelia.print.PrintSettings.loginName13"));
  // Held without a held name: the login name counts as empty.
  panel_->loginNameButton->setState(1);
  panel_->loginNameStringRef.reset();
  save();
  EXPECT_FALSE(value(kLoginName11Key));
  EXPECT_FALSE(value(kLoginName01Key));
}

TEST_F(Writer, NamesKeepTheirBytesAndTheLatin1FormScrubsQuotesAndControls) {
  panel_->userNameEditText->setStringValue("A \"B\"\tC");
  panel_->jobNameEditText->setStringValue("Caf\u00E9");
  save();
  EXPECT_EQ(value(kUserNameKey), hexOf("A \"B\"\tC"));
  EXPECT_EQ(value(kUserName2Key), hexOf("A  B \tC"));
  EXPECT_EQ(value(kJobNameKey), hexOf("Caf\x8E"));   // Mac Roman
  EXPECT_EQ(value(kJobName2Key), hexOf("Caf\xE9"));  // Windows Latin-1
}

TEST_F(Writer, MacJapaneseSystemsWriteTheSameBytesTwice) {
  ::setenv("JOBCONTROL_SYSTEM_ENCODING", "1", 1);
  panel_ = makePanel();
  panel_->userNameEditText->setStringValue("\u65E5\u672C\"");
  save();
  EXPECT_EQ(value(kUserNameKey), "93FA967B22");
  EXPECT_EQ(value(kUserName2Key), "93FA967B20");
}

TEST_F(Writer, FilingFallsBackToTheMainFolderWithoutAHardDisk) {
  retention(0);
  save();
  EXPECT_EQ(value(kFilingKey), "0");
  EXPECT_EQ(value(kFolderPathKey), hexOf("*standard"));
  EXPECT_EQ(value(kFolderPath2Key), hexOf("*standard"));
  // A layout without folder controls writes no filing digit but still the main folder.
  panel_->folderSelectionPopup.reset();
  panel_->folderSelectionMatrix.reset();
  save();
  EXPECT_FALSE(value(kFilingKey));
  EXPECT_EQ(value(kFolderPathKey), hexOf("*standard"));
  retention(-1);
  save();
  EXPECT_FALSE(value(kFolderPathKey));
  EXPECT_FALSE(value(kFolderPath2Key));
}

TEST_F(Writer, TheHoldMaskAddsTheBitsOfTheButtonsThatAreOn) {
  panel_->folderNameButton->setState(1);
  panel_->loginNameButton->setState(1);
  panel_->loginNameStringRef = "held";
  save();
  EXPECT_EQ(value(kHoldButtonKey), "258");
  for (auto* button : {&panel_->suspendKeyButton, &panel_->passwordButton, &panel_->userNameButton,
                       &panel_->jobNameButton, &panel_->folderPasswordButton,
                       &panel_->userNumberButton, &panel_->accountNumberButton})
    (*button)->setState(1);
  save();
  EXPECT_EQ(value(kHoldButtonKey), "511");
}

}  // namespace
}  // namespace jc
