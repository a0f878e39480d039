// The reader: defaults, digit codes, remembered values winning once, and round trips of
// random entries through a save and a restore into a fresh panel.
#include <gtest/gtest.h>

#include <random>

#include "platform/unicode.h"
#include "platform/user.h"
#include "plugin/panel_held_entries.h"
#include "plugin/settings_fixture.h"
#include "support/independent.h"

namespace jc {
namespace {

using namespace settings;

class Reader : public test::PanelTest {
 protected:
  void restore() { panel_->getNonPPDSettingsFromPrintSettings(); }
  void roundTrip(std::uint32_t encoding, const std::vector<std::string>& alphabet);
  void saveAndReopen() {
    panel_->writeNonPPDSettingsToPrintSettings();
    panel_ = makePanel();
    restore();
  }
};

TEST_F(Reader, EmptyPrintSettingsGiveTheDefaults) {
  restore();
  EXPECT_EQ(panel_->retentionCheckBox->state(), 0);
  EXPECT_EQ(panel_->suspendMatrix->selectedRow(), 0);
  EXPECT_EQ(panel_->folderSelectionPopup->indexOfSelectedItem(), 1);
  EXPECT_EQ(panel_->folderSelectionMatrix->selectedRow(), 1);
  EXPECT_EQ(panel_->authenticationMatrix->selectedRow(), 0);
  for (auto* field :
       {&panel_->suspendKeyEditText, &panel_->folderPasswordEditText, &panel_->loginNameEditText,
        &panel_->passwordEditText, &panel_->userNumberEditText, &panel_->accountNumberEditText})
    EXPECT_EQ((*field)->stringValue(), "") << (*field)->identifier();
  EXPECT_EQ(panel_->userNameEditText->stringValue(), fullUserName());
  EXPECT_EQ(panel_->jobNameEditText->stringValue(), "Report");
  EXPECT_EQ(holdButtonMask(*panel_), 0u);
}

TEST_F(Reader, RetentionDigitsSelectTheirRows) {
  struct Case {
    const char* digit;
    int state;
    int row;
  };
  for (const Case& c : {Case{"1", 1, 1}, Case{"2", 1, 0}, Case{"3", 1, 2}, Case{"0", 0, 0},
                        Case{"9", 0, 0}, Case{"", 0, 0}}) {
    settings_->setValue(kJobSuspendKey, std::string(c.digit));
    panel_ = makePanel();
    restore();
    EXPECT_EQ(panel_->retentionCheckBox->state(), c.state) << c.digit;
    EXPECT_EQ(panel_->suspendMatrix->selectedRow(), c.row) << c.digit;
  }
}

TEST_F(Reader, PassCodesComeBackAsEnteredAndLongOnesAreDropped) {
  panel_->retentionCheckBox->setState(1);
  panel_->suspendMatrix->selectCellAtRow(0);
  panel_->suspendKeyEditText->setStringValue("123");
  panel_->accountNumberEditText->setStringValue("00042");
  saveAndReopen();
  EXPECT_EQ(panel_->suspendKeyEditText->stringValue(), "123");
  EXPECT_EQ(panel_->accountNumberEditText->stringValue(), "00042");
  // Six digits, as an older dialog with longer codes could have stored them.
  settings_->setValue(kJobSuspend2KeyKey, test::opensslStoredCipherHex("123456"));
  settings_->setValue(kFolderPassword2Key, test::opensslStoredCipherHex("654321"));
  panel_ = makePanel();
  restore();
  EXPECT_EQ(panel_->suspendKeyEditText->stringValue(), "");
  EXPECT_EQ(panel_->folderPasswordEditText->stringValue(), "");
}

TEST_F(Reader, AFolderNameOutsideTheListSelectsTheMainFolderAndTheCustomRow) {
  settings_->setValue(kJobSuspendKey, "2");
  settings_->setValue(kFilingKey, "3");
  settings_->setValue(kFolderPathKey, test::hexOf("Scans 2026"));
  restore();
  EXPECT_EQ(panel_->folderNameStringRef, "Scans 2026");
  EXPECT_EQ(panel_->folderSelectionPopup->indexOfSelectedItem(), 1);
  EXPECT_EQ(panel_->folderSelectionMatrix->selectedRow(), 2);
  EXPECT_EQ(panel_->folderNameEditText->stringValue(), "Scans 2026");
}

TEST_F(Reader, ARememberedPasswordWinsOnceOverThePrintSettings) {
  settings_->setValue(kPassword2Key,
                      test::opensslStoredCipherHex("from-settings") + std::string(32, '0'));
  panel_->prefHoldButtonFlag = holdBit(HeldEntry::Password);
  panel_->prefPasswordStringRef = test::opensslStoredCipherHex("remembered") + std::string(32, '0');
  restore();
  EXPECT_EQ(panel_->passwordEditText->stringValue(), "remembered");
  EXPECT_EQ(panel_->passwordButton->state(), 1);
  EXPECT_EQ(panel_->prefHoldButtonFlag & holdBit(HeldEntry::Password), 0u);
  restore();
  EXPECT_EQ(panel_->passwordEditText->stringValue(), "from-settings");
  EXPECT_EQ(panel_->passwordButton->state(), 0);
}

TEST_F(Reader, APasswordOfExactlySixteenBytesComesBackWithoutTheZeroBlock) {
  panel_->passwordEditText->setStringValue("0123456789abcdef");
  saveAndReopen();
  EXPECT_EQ(value(kPassword2Key)->substr(32), std::string(32, '0'));
  EXPECT_EQ(panel_->passwordEditText->stringValue(), "0123456789abcdef");
}

TEST_F(Reader, LoginNamePiecesAreJoinedAndAHeldOneIsMasked) {
  panel_->loginNameEditText->setStringValue(std::string(200, 'q'));
  panel_->loginNameButton->setState(0);
  panel_->writeNonPPDSettingsToPrintSettings();
  settings_->setValue(kHoldButtonKey, "2");
  panel_ = makePanel();
  restore();
  EXPECT_EQ(panel_->loginNameStringRef, std::string(200, 'q'));
  EXPECT_EQ(panel_->loginNameButton->state(), 1);
  EXPECT_EQ(panel_->loginNameEditText->stringValue().find('q'), std::string::npos);

  settings_->setValue(kLoginName11Key, std::nullopt);
  settings_->setValue(kHoldButtonKey, "0");
  panel_ = makePanel();
  restore();
  EXPECT_EQ(panel_->loginNameEditText->stringValue(), "");
}

TEST_F(Reader, BytesThatAreNotTextShowReplacementCharacters) {
  // Arbitrary values for every key are the fuzz target's business; here the visible result.
  ::setenv("JOBCONTROL_SYSTEM_ENCODING", "1", 1);
  panel_ = makePanel();
  settings_->setValue(kUserNameKey, "8120");  // a Mac Japanese lead byte, then a space
  restore();
  EXPECT_NE(panel_->userNameEditText->stringValue().find("\uFFFD"), std::string::npos);
}

// Random entries that the panel's own rules leave standing, saved and restored.
void Reader::roundTrip(std::uint32_t encoding, const std::vector<std::string>& alphabet) {
  ::setenv("JOBCONTROL_SYSTEM_ENCODING", std::to_string(encoding).c_str(), 1);
  std::mt19937 random(20261206 + encoding);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  auto digits = [&](int max) {
    std::string s;
    for (int i = 0, n = 1 + pick(max); i < n; ++i) s += static_cast<char>('0' + pick(10));
    return s;
  };
  auto text = [&](int maxCharacters) {
    std::string s;
    for (int i = 0, n = 1 + pick(maxCharacters); i < n; ++i) s += alphabet[pick(alphabet.size())];
    return s;
  };
  int characters = encoding == 1 ? 16 : 32;  // two bytes each in Mac Japanese
  for (int round = 0; round < 25; ++round) {
    auto panel = std::make_unique<VoreliaPrintPdeTz630eJC>(callback_, test::builtBundle());
    panel->panelView();
    bool retained = pick(2);
    int row = pick(3);
    int auth = pick(2);
    std::string passCode = retained ? digits(5) : "";
    std::string folderCode = retained ? digits(5) : "";
    std::string login = auth == 0 ? text(characters) : "";
    std::string password = auth == 0 ? text(characters < 31 ? characters : 31) : "";
    std::string userNumber = auth == 1 ? digits(5) : "";
    std::string account = digits(5);
    std::string userName = text(characters);
    std::string jobName = text(characters);
    panel->retentionCheckBox->setState(retained);
    panel->suspendMatrix->selectCellAtRow(row);
    panel->suspendKeyEditText->setStringValue(passCode);
    panel->folderPasswordEditText->setStringValue(folderCode);
    panel->authenticationMatrix->selectCellAtRow(auth);
    panel->loginNameEditText->setStringValue(login);
    panel->passwordEditText->setStringValue(password);
    panel->userNumberEditText->setStringValue(userNumber);
    panel->accountNumberEditText->setStringValue(account);
    panel->userNameEditText->setStringValue(userName);
    panel->jobNameEditText->setStringValue(jobName);
    panel->writeNonPPDSettingsToPrintSettings();

    auto fresh = std::make_unique<VoreliaPrintPdeTz630eJC>(callback_, test::builtBundle());
    fresh->panelView();
    fresh->getNonPPDSettingsFromPrintSettings();
    SCOPED_TRACE("round " + std::to_string(round) + " user name " + userName);
    EXPECT_EQ(fresh->retentionCheckBox->state(), retained ? 1 : 0);
    EXPECT_EQ(fresh->suspendMatrix->selectedRow(), retained ? row : 0);
    EXPECT_EQ(fresh->suspendKeyEditText->stringValue(), passCode);
    EXPECT_EQ(fresh->folderPasswordEditText->stringValue(), folderCode);
    EXPECT_EQ(fresh->authenticationMatrix->selectedRow(), auth);
    EXPECT_EQ(fresh->loginNameEditText->stringValue(), login);
    EXPECT_EQ(fresh->passwordEditText->stringValue(), password);
    EXPECT_EQ(fresh->userNumberEditText->stringValue(), userNumber);
    EXPECT_EQ(fresh->accountNumberEditText->stringValue(), account);
    EXPECT_EQ(fresh->userNameEditText->stringValue(), userName);
    EXPECT_EQ(fresh->jobNameEditText->stringValue(), jobName);
  }
}

TEST_F(Reader, RandomEntriesRoundTripOnMacRomanSystems) {
  roundTrip(0, {"a", "Z", "7", " ", "-", "\u00E9", "\u00FC", "\u00DF", "\"", "@"});
}

TEST_F(Reader, RandomEntriesRoundTripOnMacJapaneseSystems) {
  roundTrip(1, {"a", "7", "\u65E5", "\u672C", "\u30B8", "\u3042", "\uFF71", "-"});
}

}  // namespace
}  // namespace jc
