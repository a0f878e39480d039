// The reader: the job's print settings back into the panel's controls. Remembered
// preference values win once over the print settings; the control actions run after each
// group so dependent controls follow as if the user had made the same choices.
#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

#include "crypto/base64.h"
#include "platform/host/user.h"
#include "platform/text/text_encoding.h"
#include "plugin/panel.h"
#include "plugin/panel_held_entries.h"
#include "plugin/panel_positions.h"
#include "settings/keys.h"
#include "settings/value_encodings.h"
#include "settings/value_text.h"
#include "trace/trace.h"

namespace {

using namespace jc::settings;
using jc::HeldEntry;
using jc::heldEntry;
using jc::HeldEntryRow;
using jc::holdBit;

// A stored value as the reader sees it: present or not, and its ASCII text cut at `limit`
// characters (a value that is not ASCII reads as empty text).
struct Stored {
  bool present = false;
  std::string text;
};

Stored readValue(jc::PrintSettings& settings, const char* key, std::size_t limit = 255) {
  std::optional<std::string> value = settings.value(key);
  if (!value) return {};
  std::string text(untilNul(*value));
  for (unsigned char c : text)
    if (c >= 0x80) return {true, ""};
  if (text.size() > limit) text.resize(limit);
  return {true, text};
}

// The leading decimal integer of a text (white space and a sign allowed), 0 without one.
std::uint32_t leadingInteger(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  std::int64_t value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
    value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), INT32_MAX);
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(negative ? -value : value));
}

// Hex text to bytes over `characters` characters of a zero-filled text area.
std::string bytesFromHex(const std::string& text, std::size_t characters) {
  std::vector<char> area(std::max(characters, text.size()) + 2, '\0');
  std::copy(text.begin(), text.end(), area.begin());
  std::vector<std::uint8_t> bytes(characters / 2 + 2, 0);
  hexBytesTo(std::string_view(area.data(), characters), bytes.data());
  return std::string(reinterpret_cast<const char*>(bytes.data()), characters / 2);
}

// Deciphers a stored-key cipher given as hex text of `characters` digits.
std::string decipherHex(const std::string& text, std::size_t characters) {
  std::string cipher = bytesFromHex(text, characters);
  // A password of exactly 16 bytes is stored as one block and 16 zero bytes; the zero
  // block is padding, not text, so deciphering it would append garbage to the password.
  if (cipher.size() == 32 && cipher.find_first_not_of('\0', 16) == std::string::npos)
    cipher.resize(16);
  return storedDecipher(cipher);
}

bool bit(std::uint32_t mask, std::uint32_t value) {
  return (mask & value) != 0;
}

}  // namespace

using Panel = VoreliaPrintPdeTz630eJC;

void Panel::getNonPPDSettingsFromPrintSettings() {
  _PDEProlog(this, "--getNonPPDSettingsFromPrintSettings:");
  if (jc::PrintSettings* settings = jobPrintSettings()) {
    readHoldButtonMask(*settings);                                                      // 1
    readRetention(*settings);                                                           // 2
    readRetentionPassCode(*settings);                                                   // 3
    readFiling(*settings);                                                              // 4
    readAuthentication(*settings);                                                      // 5
    readLoginName(*settings);                                                           // 6
    readCipheredEntry(*settings, heldEntry(HeldEntry::Password));                       // 7
    readCipheredEntry(*settings, heldEntry(HeldEntry::UserNumber));                     // 8
    readCipheredEntry(*settings, heldEntry(HeldEntry::AccountNumber));                  // 9
    authenticationMatrixProc(*authenticationMatrix);                                    // 10
    readNameEntry(*settings, heldEntry(HeldEntry::UserName), &Panel::defaultUserName);  // 11
    readNameEntry(*settings, heldEntry(HeldEntry::JobName), &Panel::defaultJobName);    // 12
    readCipheredEntry(*settings, heldEntry(HeldEntry::FolderPassCode));                 // 13
    settleRetentionAndFiling();                                                         // 14
  }
  _PDEEpilog(this, "--getNonPPDSettingsFromPrintSettings:");
}

jc::PrintSettings* Panel::jobPrintSettings() const {
  return pdePluginCallbackObject ? pdePluginCallbackObject->printSettings() : nullptr;
}

std::uint32_t Panel::systemCoreEncoding() const {
  return jc::coreEncodingFromStringEncoding(systemEncoding);
}

std::string Panel::storedText(std::string_view bytes) const {
  return textFromStoredBytes(bytes, systemCoreEncoding());
}

bool Panel::takeHeldPreference(std::uint32_t value) {
  bool set = bit(prefHoldButtonFlag, value);
  prefHoldButtonFlag &= ~value;
  return set;
}

std::string Panel::shortCodeText(const HeldEntryRow& row, const std::string& plain) const {
  // A short-code entry's code is kept only when at most five bytes; getPasswordMax answers
  // 5, so the eight-byte branch never runs and is kept for printers taking longer codes.
  // The bytes are counted as deciphered, in the system encoding, not in the text they
  // decode to.
  return !row.shortCode || getPasswordMax() == 8 || untilNul(plain).size() <= jc::kShortCodeBytes
             ? storedText(plain)
             : std::string();
}

Panel::HeldValue Panel::heldOrStoredCipher(jc::PrintSettings& settings, const HeldEntryRow& row) {
  HeldValue value;
  if (takeHeldPreference(row.bit)) {
    value.held = true;
    value.stored = this->*row.remembered;
  }
  if (!value.stored) {
    if (Stored stored = readValue(settings, row.key2); stored.present) {
      value.stored = stored.text;
      if (bit(presetHoldButtonFlag, row.bit)) value.held = true;
    }
  }
  return value;
}

std::string Panel::decipheredEntryText(const HeldEntryRow& row,
                                       const std::optional<std::string>& stored) const {
  if (!stored || stored->empty()) return std::string();
  return shortCodeText(row, decipherHex(stored->substr(0, 255), row.cipherDigits));
}

void Panel::settleHoldButton(const HeldEntryRow& row, bool held) {
  const jc::Outlet<jc::Button>& button = this->*row.holdButton;
  button->setState(held ? 1 : 0);
  if (jc::Control::Action action = actionNamed(row.action)) action(*button);
}

void Panel::readHoldButtonMask(jc::PrintSettings& settings) {
  if (Stored mask = readValue(settings, kHoldButtonKey); mask.present)
    presetHoldButtonFlag = leadingInteger(mask.text);
}

void Panel::readRetention(jc::PrintSettings& settings) {
  Retention retention = Retention::None;
  if (retentionCheckBox) {
    if (Stored mode = readValue(settings, kJobSuspendKey); mode.present && !mode.text.empty())
      retention = retentionFromDigit(mode.text.front());
    // Never true (isTiger answers NO): kept for a system that cannot hold jobs without a disk.
    if (isTiger() && !tigerHDDFlag) retention = Retention::None;
    retentionCheckBox->setState(retention != Retention::None ? 1 : 0);
    retentionCBoxProc(*retentionCheckBox);
  }
  suspendMatrix->selectCellAtRow(jc::retentionRow(retention), 0);
}

void Panel::readRetentionPassCode(jc::PrintSettings& settings) {
  if (!suspendKeyEditText) return;
  const HeldEntryRow& passCode = heldEntry(HeldEntry::PassCode);
  HeldValue value = heldOrStoredCipher(settings, passCode);
  // Never true (isTiger answers NO): kept for a system that cannot hold jobs without a disk.
  if (isTiger() && !tigerHDDFlag) {
    value.held = false;
    suspendKeyEditText->setStringValue("");
  } else {
    suspendKeyEditText->setStringValue(decipheredEntryText(passCode, value.stored));
  }
  suspendKeyButton->setState(value.held ? 1 : 0);
  suspendKeyButtonProc(*suspendKeyButton);
}

bool Panel::readFilingChoice(jc::PrintSettings& settings) {
  Stored filing = readValue(settings, kFilingKey);
  if (!filing.present || filing.text.empty()) return false;
  std::optional<Filing> mode = filingFromDigit(filing.text.front());
  if (mode == Filing::QuickFile) {
    folderSelectionPopup->selectItemAtIndex(jc::kQuickFileItem);
    folderSelectionMatrix->selectCellAtRow(jc::kQuickFileRow, 0);
    return true;
  }
  if (mode != Filing::CustomFolder) return false;
  // A folder name may take 255 bytes, so its hex text is read whole (510 digits).
  const HeldEntryRow& folderName = heldEntry(HeldEntry::FolderName);
  Stored path = readValue(settings, folderName.key, 2 * folderName.limit.bytes);
  if (!path.present) return false;
  std::string name = storedText(bytesFromHex(path.text, path.text.size()));
  folderNameStringRef = name;
  folderSelectionPopup->selectItemAtIndex(SearchSameFolderName(folderNameStringRef));
  folderSelectionMatrix->selectCellAtRow(jc::kCustomFolderRow, 0);
  folderNameEditText->setStringValue(name);
  return true;
}

void Panel::readFiling(jc::PrintSettings& settings) {
  if (!folderSelectionPopup && !folderSelectionMatrix) return;
  const HeldEntryRow& folderName = heldEntry(HeldEntry::FolderName);
  bool held = bit(presetHoldButtonFlag, folderName.bit);
  bool done = readFilingChoice(settings);
  if (folderSelectionMatrix && bit(prefHoldButtonFlag, folderName.bit)) {
    if (const std::optional<std::string>& remembered = this->*folderName.remembered) {
      folderNameEditText->setStringValue(*remembered);
      held = true;
      done = true;
    }
    prefHoldButtonFlag &= ~folderName.bit;
  }
  if (!done) {
    folderSelectionPopup->selectItemAtIndex(jc::kMainFolderItem);
    folderSelectionMatrix->selectCellAtRow(jc::kMainFolderRow, 0);
  }
  folderNameButton->setState(held ? 1 : 0);
  folderNameButtonProc(*folderNameButton);
}

void Panel::readAuthentication(jc::PrintSettings& settings) {
  if (!authenticationMatrix) return;
  // A remembered choice wins while a credential of it is remembered.
  if (bit(prefHoldButtonFlag, holdBit(HeldEntry::LoginName) | holdBit(HeldEntry::Password) |
                                  holdBit(HeldEntry::UserNumber)) &&
      prefAuthenticationBooleanRef) {
    authenticationMatrix->selectCellAtRow(
        *prefAuthenticationBooleanRef ? jc::kLoginRow : jc::kUserNumberRow, 0);
    return;
  }
  char digit = kAuthenticationLoginDigit;
  if (Stored choice = readValue(settings, kAuthenticationKey); choice.present)
    digit = choice.text.empty() ? '\0' : choice.text.front();
  authenticationMatrix->selectCellAtRow(
      digit == kAuthenticationLoginDigit ? jc::kLoginRow : jc::kUserNumberRow, 0);
}

Panel::HeldValue Panel::heldOrStoredLoginName(jc::PrintSettings& settings) {
  const HeldEntryRow& login = heldEntry(HeldEntry::LoginName);
  HeldValue value;
  if (takeHeldPreference(login.bit)) {
    value.held = true;
    if (const std::optional<std::string>& remembered = this->*login.remembered)
      value.stored = remembered->substr(0, 511);
  }
  if (!value.stored) {
    // The stored-key cipher in up to two Base64 pieces.
    Stored firstPiece = readValue(settings, kLoginName11Key, 511);
    Stored secondPiece = readValue(settings, kLoginName12Key, 511);
    if (firstPiece.present) {
      value.stored = firstPiece.text;
      if (!firstPiece.text.empty() && !secondPiece.text.empty())
        value.stored = (firstPiece.text + secondPiece.text).substr(0, 511);
    }
    if (bit(presetHoldButtonFlag, login.bit)) value.held = true;
  }
  return value;
}

void Panel::readLoginName(jc::PrintSettings& settings) {
  if (!loginNameEditText) return;
  loginNameButton->setState(0);
  loginNameButtonProc(*loginNameButton);
  HeldValue value = heldOrStoredLoginName(settings);
  if (!value.stored || value.stored->empty()) {
    loginNameEditText->setStringValue("");
  } else {
    const std::vector<std::uint8_t> cipher = jc::crypto::base64Decode(*value.stored);
    loginNameEditText->setStringValue(storedText(storedDecipher(
        std::string_view(reinterpret_cast<const char*>(cipher.data()), cipher.size()))));
  }
  loginNameStringRef.reset();
  loginNameLockFlag = false;
  if (value.held) {
    loginNameButton->setState(1);
    loginNameButtonProc(*loginNameButton);
  } else if (loginNameButton->state() != 0) {
    loginNameButton->setState(0);
    loginNameButtonProc(*loginNameButton);
  }
}

void Panel::readCipheredEntry(jc::PrintSettings& settings, const HeldEntryRow& row) {
  const jc::Outlet<jc::TextField>& field = this->*row.field;
  if (!field) return;
  HeldValue value = heldOrStoredCipher(settings, row);
  field->setStringValue(decipheredEntryText(row, value.stored));
  settleHoldButton(row, value.held);
}

std::string Panel::defaultUserName(jc::PrintSettings&) const {
  std::string name = jc::fullUserName();
  return name.empty() ? userNameEditText->stringValue() : name;
}

std::string Panel::defaultJobName(jc::PrintSettings& settings) const {
  return settings.jobName();
}

void Panel::readNameEntry(jc::PrintSettings& settings, const HeldEntryRow& row,
                          NameDefault fallback) {
  const jc::Outlet<jc::TextField>& field = this->*row.field;
  if (!field) return;
  bool held = false;
  bool filled = false;
  if (takeHeldPreference(row.bit)) {
    held = true;
    if (const std::optional<std::string>& remembered = this->*row.remembered) {
      field->setStringValue(*remembered);
      filled = true;
    }
  }
  if (!filled) {
    // Hex of the system-encoding bytes; an empty or NUL-led value gives the default.
    Stored value = readValue(settings, row.key);
    std::string bytes = value.present ? bytesFromHex(value.text, value.text.size()) : std::string();
    if (!bytes.empty() && bytes.front() != '\0') {
      field->setStringValue(storedText(bytes));
      if (bit(presetHoldButtonFlag, row.bit)) held = true;
    } else {
      field->setStringValue((this->*fallback)(settings));
    }
  }
  settleHoldButton(row, held);
}

void Panel::settleRetentionAndFiling() {
  // Let the retention and filing choices settle the dependent controls.
  retentionCBoxProc(*retentionCheckBox);
  folderSelectionPopUpButtonProc(*folderSelectionPopup);
}
