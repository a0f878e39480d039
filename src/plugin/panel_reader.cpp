// The reader: the job's print settings back into the panel's controls. Remembered
// preference values win once over the print settings; the control actions run after each
// group so dependent controls follow as if the user had made the same choices.
#include <algorithm>
#include <array>
#include <cctype>
#include <functional>
#include <vector>

#include "crypto/credential_codecs.h"
#include "platform/host/user.h"
#include "platform/text/text_encoding.h"
#include "plugin/panel.h"
#include "plugin/panel_held_entries.h"
#include "plugin/panel_positions.h"
#include "plugin/trace.h"
#include "settings/keys.h"
#include "settings/value_encodings.h"
#include "settings/value_text.h"

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
  std::vector<unsigned char> bytes(characters / 2 + 2, 0);
  myatoi(area.data(), bytes.data(), static_cast<std::uint32_t>(characters));
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

void VoreliaPrintPdeTz630eJC::getNonPPDSettingsFromPrintSettings() {
  _PDEProlog(this, "--getNonPPDSettingsFromPrintSettings:");
  jc::PrintSettings* settings =
      pdePluginCallbackObject ? pdePluginCallbackObject->printSettings() : nullptr;
  if (!settings) {
    _PDEEpilog(this, "--getNonPPDSettingsFromPrintSettings:");
    return;
  }
  const std::uint32_t systemCore = jc::coreEncodingFromStringEncoding(systemEncoding);
  auto text = [&](std::string_view bytes) { return textFromStoredBytes(bytes, systemCore); };
  // Takes a preference bit once: answers whether it was set, and clears it.
  auto takePreference = [&](std::uint32_t value) {
    bool set = bit(prefHoldButtonFlag, value);
    prefHoldButtonFlag &= ~value;
    return set;
  };
  // A short-code entry's code is kept only when at most five bytes, unless the printer
  // takes eight. The bytes are counted as deciphered, in the system encoding, not in the
  // text they decode to.
  auto shortCode = [&](const HeldEntryRow& row, const std::string& plain) {
    return !row.shortCode || getPasswordMax() == 8 || untilNul(plain).size() <= jc::kShortCodeBytes
               ? text(plain)
               : std::string();
  };

  // 1. The hold-button mask of the last save.
  if (Stored mask = readValue(*settings, kHoldButtonKey); mask.present)
    presetHoldButtonFlag = leadingInteger(mask.text);

  // 2. Retention.
  Retention retention = Retention::None;
  if (retentionCheckBox) {
    if (Stored mode = readValue(*settings, kJobSuspendKey); mode.present && !mode.text.empty())
      retention = retentionFromDigit(mode.text.front());
    if (isTiger() && !tigerHDDFlag) retention = Retention::None;
    retentionCheckBox->setState(retention != Retention::None ? 1 : 0);
    retentionCBoxProc(*retentionCheckBox);
  }
  suspendMatrix->selectCellAtRow(jc::retentionRow(retention), 0);

  // 3. Retention pass code.
  const HeldEntryRow& passCode = heldEntry(HeldEntry::PassCode);
  if (suspendKeyEditText) {
    bool held = false;
    std::optional<std::string> stored;
    if (takePreference(passCode.bit)) {
      held = true;
      stored = this->*passCode.remembered;
    }
    if (!stored) {
      if (Stored value = readValue(*settings, passCode.key2); value.present) {
        stored = value.text;
        if (bit(presetHoldButtonFlag, passCode.bit)) held = true;
      }
    }
    if (isTiger() && !tigerHDDFlag) {
      held = false;
      suspendKeyEditText->setStringValue("");
    } else if (!stored || stored->empty()) {
      suspendKeyEditText->setStringValue("");
    } else {
      suspendKeyEditText->setStringValue(
          shortCode(passCode, decipherHex(stored->substr(0, 255), passCode.cipherDigits)));
    }
    suspendKeyButton->setState(held ? 1 : 0);
    suspendKeyButtonProc(*suspendKeyButton);
  }

  // 4. Filing.
  const HeldEntryRow& folderName = heldEntry(HeldEntry::FolderName);
  if (folderSelectionPopup || folderSelectionMatrix) {
    bool done = false;
    bool held = bit(presetHoldButtonFlag, folderName.bit);
    if (Stored filing = readValue(*settings, kFilingKey); filing.present && !filing.text.empty()) {
      std::optional<Filing> mode = filingFromDigit(filing.text.front());
      if (mode == Filing::CustomFolder) {
        // A folder name may take 255 bytes, so its hex text is read whole (510 digits).
        if (Stored path = readValue(*settings, folderName.key, 2 * folderName.limit.bytes);
            path.present) {
          std::string name = text(bytesFromHex(path.text, path.text.size()));
          folderNameStringRef = name;
          folderSelectionPopup->selectItemAtIndex(SearchSameFolderName(folderNameStringRef));
          folderSelectionMatrix->selectCellAtRow(jc::kCustomFolderRow, 0);
          folderNameEditText->setStringValue(name);
          done = true;
        }
      } else if (mode == Filing::QuickFile) {
        folderSelectionPopup->selectItemAtIndex(jc::kQuickFileItem);
        folderSelectionMatrix->selectCellAtRow(jc::kQuickFileRow, 0);
        done = true;
      }
    }
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

  // 5. Authentication: a remembered choice wins while a credential of it is remembered.
  if (authenticationMatrix) {
    if (bit(prefHoldButtonFlag, holdBit(HeldEntry::LoginName) | holdBit(HeldEntry::Password) |
                                    holdBit(HeldEntry::UserNumber)) &&
        prefAuthenticationBooleanRef) {
      authenticationMatrix->selectCellAtRow(
          *prefAuthenticationBooleanRef ? jc::kLoginRow : jc::kUserNumberRow, 0);
    } else {
      char digit = kAuthenticationLoginDigit;
      if (Stored choice = readValue(*settings, kAuthenticationKey); choice.present)
        digit = choice.text.empty() ? '\0' : choice.text.front();
      authenticationMatrix->selectCellAtRow(
          digit == kAuthenticationLoginDigit ? jc::kLoginRow : jc::kUserNumberRow, 0);
    }
  }

  // 6. Login name: the stored-key cipher in up to two Base64 pieces.
  if (loginNameEditText) {
    loginNameButton->setState(0);
    loginNameButtonProc(*loginNameButton);
    bool held = false;
    std::optional<std::string> stored;
    const HeldEntryRow& login = heldEntry(HeldEntry::LoginName);
    if (takePreference(login.bit)) {
      held = true;
      if (const std::optional<std::string>& remembered = this->*login.remembered)
        stored = remembered->substr(0, 511);
    }
    if (!stored) {
      Stored firstPiece = readValue(*settings, kLoginName11Key, 511);
      Stored secondPiece = readValue(*settings, kLoginName12Key, 511);
      if (firstPiece.present) {
        stored = firstPiece.text;
        if (!firstPiece.text.empty() && !secondPiece.text.empty())
          stored = (firstPiece.text + secondPiece.text).substr(0, 511);
      }
      if (bit(presetHoldButtonFlag, login.bit)) held = true;
    }
    if (!stored || stored->empty()) {
      loginNameEditText->setStringValue("");
    } else {
      std::vector<char> decoded(static_cast<std::size_t>(Base64decode_len(stored->c_str())) + 16,
                                '\0');
      int length = Base64decode(decoded.data(), stored->c_str());
      std::vector<char> plain(decoded.size() + 16, '\0');
      my_aes_decrypt(reinterpret_cast<const unsigned char*>(decoded.data()), length, plain.data());
      loginNameEditText->setStringValue(
          text(untilNul(std::string_view(plain.data(), plain.size()))));
    }
    loginNameStringRef.reset();
    loginNameLockFlag = false;
    if (held) {
      loginNameButton->setState(1);
      loginNameButtonProc(*loginNameButton);
    } else if (loginNameButton->state() != 0) {
      loginNameButton->setState(0);
      loginNameButtonProc(*loginNameButton);
    }
  }

  // Sets the entry's hold button and runs its action, so the field follows.
  auto settleHoldButton = [&](const HeldEntryRow& row, bool held) {
    const jc::Outlet<jc::Button>& button = this->*row.holdButton;
    button->setState(held ? 1 : 0);
    if (jc::Control::Action action = actionNamed(row.action)) action(*button);
  };

  // 7-9, 13. Password, user number, account number and folder pass code: a stored-key
  // cipher as hex in the entry's second key, from the preferences once or else from the
  // print settings.
  auto readCipher = [&](const HeldEntryRow& row) {
    const jc::Outlet<jc::TextField>& field = this->*row.field;
    if (!field) return;
    bool held = false;
    std::optional<std::string> stored;
    if (takePreference(row.bit)) {
      held = true;
      stored = this->*row.remembered;
    }
    bool absent = false;
    if (!stored) {
      if (Stored value = readValue(*settings, row.key2); value.present) {
        stored = value.text;
        if (bit(presetHoldButtonFlag, row.bit)) held = true;
      } else {
        absent = true;
      }
    }
    if (absent || !stored || stored->empty())
      field->setStringValue("");
    else
      field->setStringValue(shortCode(row, decipherHex(stored->substr(0, 255), row.cipherDigits)));
    settleHoldButton(row, held);
  };
  readCipher(heldEntry(HeldEntry::Password));
  readCipher(heldEntry(HeldEntry::UserNumber));
  readCipher(heldEntry(HeldEntry::AccountNumber));

  // 10.
  authenticationMatrixProc(*authenticationMatrix);

  // 11-12. User name and job name: hex of the system-encoding bytes, or the defaults.
  auto readName = [&](const HeldEntryRow& row, const std::function<std::string()>& fallback) {
    const jc::Outlet<jc::TextField>& field = this->*row.field;
    if (!field) return;
    bool held = false;
    bool filled = false;
    if (takePreference(row.bit)) {
      held = true;
      if (const std::optional<std::string>& remembered = this->*row.remembered) {
        field->setStringValue(*remembered);
        filled = true;
      }
    }
    if (!filled) {
      Stored value = readValue(*settings, row.key);
      std::string bytes =
          value.present ? bytesFromHex(value.text, value.text.size()) : std::string();
      if (!bytes.empty() && bytes.front() != '\0') {
        field->setStringValue(text(bytes));
        if (bit(presetHoldButtonFlag, row.bit)) held = true;
      } else {
        field->setStringValue(fallback());
      }
    }
    settleHoldButton(row, held);
  };
  readName(heldEntry(HeldEntry::UserName), [&] {
    std::string name = jc::fullUserName();
    return name.empty() ? userNameEditText->stringValue() : name;
  });
  readName(heldEntry(HeldEntry::JobName), [&] { return settings->jobName(); });

  // 13.
  readCipher(heldEntry(HeldEntry::FolderPassCode));

  // 14. Let the retention and filing choices settle the dependent controls.
  retentionCBoxProc(*retentionCheckBox);
  folderSelectionPopUpButtonProc(*folderSelectionPopup);
  _PDEEpilog(this, "--getNonPPDSettingsFromPrintSettings:");
}
