// The reader: defaults, digit codes, remembered values winning once, and round trips of
// random entries through a save and a restore into a fresh panel.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "platform/host/user.h"
#include "platform/text/unicode.h"
#include "plugin/panel_held_entries.h"
#include "plugin/settings_fixture.h"
#include "support/independent.h"

namespace jc {
namespace {

using namespace settings;

class Reader : public test::PanelTest {
 protected:
  void restore() { panel_->getNonPPDSettingsFromPrintSettings(); }
  /// A new panel restored from the print settings as they stand.
  void reopen() {
    panel_ = makePanel();
    restore();
  }
  void saveAndReopen() {
    panel_->writeNonPPDSettingsToPrintSettings();
    reopen();
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
    reopen();
    EXPECT_EQ(panel_->retentionCheckBox->state(), c.state) << c.digit;
    EXPECT_EQ(panel_->suspendMatrix->selectedRow(), c.row) << c.digit;
  }
}

TEST_F(Reader, PassCodesComeBackAsEnteredAndLongOnesAreDropped) {
  panel_->retentionCheckBox->setState(1);
  panel_->suspendMatrix->selectCellAtRow(0);
  panel_->suspendKeyEditText->setStringValue("123");
  panel_->accountNumberEditText->setStringValue("00042");
  panel_->passwordEditText->setStringValue("0123456789abcdef");  // a whole block, then zeros
  saveAndReopen();
  EXPECT_EQ(panel_->suspendKeyEditText->stringValue(), "123");
  EXPECT_EQ(panel_->accountNumberEditText->stringValue(), "00042");
  EXPECT_EQ(value(kPassword2Key)->substr(32), std::string(32, '0'));
  EXPECT_EQ(panel_->passwordEditText->stringValue(), "0123456789abcdef");
  // The five-byte limit counts deciphered Mac Roman bytes ("ééé" is six UTF-8 bytes and
  // stays); six digits, as an older dialog could have stored, are dropped.
  struct Case {
    const char* key;
    Outlet<TextField> VoreliaPrintPdeTz630eJC::*field;
    std::string stored, shown;
  };
  using P = VoreliaPrintPdeTz630eJC;
  for (const Case& c :
       {Case{kJobSuspend2KeyKey, &P::suspendKeyEditText, "\x8E\x8E\x8E", "ééé"},
        Case{kAccountNumber2Key, &P::accountNumberEditText, "\x8E\x8E\x8E\x8E\x8E", "ééééé"},
        Case{kFolderPassword2Key, &P::folderPasswordEditText, "1\x8E", "1é"},
        Case{kJobSuspend2KeyKey, &P::suspendKeyEditText, "123456", ""},
        Case{kAccountNumber2Key, &P::accountNumberEditText, "\x8E\x8E\x8E\x8E\x8E\x8E", ""},
        Case{kFolderPassword2Key, &P::folderPasswordEditText, "654321", ""}}) {
    settings_->setValue(c.key, test::opensslStoredCipherHex(c.stored));
    reopen();
    EXPECT_EQ(((*panel_).*c.field)->stringValue(), c.shown) << c.key << " " << c.shown;
  }
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

TEST_F(Reader, LoginNamePiecesAreJoinedAndAHeldOneIsMasked) {
  panel_->loginNameEditText->setStringValue(std::string(200, 'q'));
  panel_->loginNameButton->setState(0);
  panel_->writeNonPPDSettingsToPrintSettings();
  settings_->setValue(kHoldButtonKey, "2");
  reopen();
  EXPECT_EQ(panel_->loginNameStringRef, std::string(200, 'q'));
  EXPECT_EQ(panel_->loginNameButton->state(), 1);
  EXPECT_EQ(panel_->loginNameEditText->stringValue().find('q'), std::string::npos);

  settings_->setValue(kLoginName11Key, std::nullopt);
  settings_->setValue(kHoldButtonKey, "0");
  reopen();
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

// Random entries that the panel's own rules leave standing, saved and restored, on a Mac
// Roman and on a Mac Japanese (two bytes a character) system.
TEST_F(Reader, RandomEntriesRoundTrip) {
  using P = VoreliaPrintPdeTz630eJC;
  const std::vector<std::string> alphabets[] = {
      {"a", "Z", "7", " ", "-", "\u00E9", "\u00FC", "\u00DF", "\"", "@"},
      {"a", "7", "\u65E5", "\u672C", "\u30B8", "\u3042", "\uFF71", "-"}};
  for (std::uint32_t encoding : {0u, 1u}) {
    const auto& alphabet = alphabets[encoding];
    ::setenv("JOBCONTROL_SYSTEM_ENCODING", std::to_string(encoding).c_str(), 1);
    std::mt19937 random(20261206 + encoding);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto digits = [&] {
      std::string s;
      for (int i = 0, n = 1 + pick(5); i < n; ++i) s += static_cast<char>('0' + pick(10));
      return s;
    };
    auto text = [&](int maxCharacters) {
      std::string s;
      for (int i = 0, n = 1 + pick(maxCharacters); i < n; ++i) s += alphabet[pick(alphabet.size())];
      return s;
    };
    int characters = encoding == 1 ? 16 : 32;
    for (int round = 0; round < 25; ++round) {
      bool retained = pick(2);
      int row = pick(3), auth = pick(2);
      const std::pair<Outlet<TextField> P::*, std::string> entries[] = {
          {&P::suspendKeyEditText, retained ? digits() : ""},
          {&P::folderPasswordEditText, retained ? digits() : ""},
          {&P::loginNameEditText, auth == 0 ? text(characters) : ""},
          {&P::passwordEditText, auth == 0 ? text(std::min(characters, 31)) : ""},
          {&P::userNumberEditText, auth == 1 ? digits() : ""},
          {&P::accountNumberEditText, digits()},
          {&P::userNameEditText, text(characters)},
          {&P::jobNameEditText, text(characters)}};
      panel_ = makePanel();
      panel_->retentionCheckBox->setState(retained);
      panel_->suspendMatrix->selectCellAtRow(row);
      panel_->authenticationMatrix->selectCellAtRow(auth);
      for (const auto& [field, value] : entries) ((*panel_).*field)->setStringValue(value);
      saveAndReopen();
      SCOPED_TRACE("encoding " + std::to_string(encoding) + " round " + std::to_string(round));
      EXPECT_EQ(panel_->retentionCheckBox->state(), retained ? 1 : 0);
      EXPECT_EQ(panel_->suspendMatrix->selectedRow(), retained ? row : 0);
      EXPECT_EQ(panel_->authenticationMatrix->selectedRow(), auth);
      for (const auto& [field, value] : entries)
        EXPECT_EQ(((*panel_).*field)->stringValue(), value) << ((*panel_).*field)->identifier();
    }
  }
}

}  // namespace
}  // namespace jc
