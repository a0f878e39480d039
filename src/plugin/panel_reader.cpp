// The reader: the job's print settings back into the panel's controls. Remembered
// preference values win once over the print settings; the control actions run after each
// group so dependent controls follow as if the user had made the same choices.
#include <algorithm>
#include <array>
#include <cctype>
#include <functional>
#include <vector>

#include "crypto/credential_codecs.h"
#include "platform/text_encoding.h"
#include "platform/user.h"
#include "plugin/panel.h"
#include "plugin/trace.h"
#include "settings/keys.h"
#include "settings/value_encodings.h"
#include "settings/value_text.h"

namespace {

using namespace jc::settings;

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
  const std::uint32_t core = jc::coreEncodingFromStringEncoding(systemEncoding);
  auto text = [&](std::string_view bytes) { return textFromStoredBytes(bytes, core); };
  // Takes a preference bit once: answers whether it was set, and clears it.
  auto takePreference = [&](std::uint32_t value) {
    bool set = bit(prefHoldButtonFlag, value);
    prefHoldButtonFlag &= ~value;
    return set;
  };
  // A code that may be at most five bytes unless the printer takes eight. The bytes are
  // counted as deciphered, in the system encoding, not in the text they decode to.
  auto shortCode = [&](const std::string& plain) {
    return getPasswordMax() == 8 || untilNul(plain).size() <= kShortCodeBytes ? text(plain)
                                                                              : std::string();
  };

  // 1. The hold-button mask of the last save.
  if (Stored mask = readValue(*settings, kHoldButtonKey); mask.present)
    presetHoldButtonFlag = leadingInteger(mask.text);

  // 2. Retention.
  int R = 0;
  if (retentionCheckBox) {
    if (Stored mode = readValue(*settings, kJobSuspendKey); mode.present && !mode.text.empty()) {
      Retention retention = retentionFromDigit(mode.text.front());
      if (retention != Retention::None) R = retentionRow(retention) + 1;
    }
    if (isTiger() && !tigerHDDFlag) R = 0;
    retentionCheckBox->setState(R != 0 ? 1 : 0);
    retentionCBoxProc(*retentionCheckBox);
  }
  suspendMatrix->selectCellAtRow(R != 0 ? R - 1 : 0, 0);

  // 3. Retention pass code.
  if (suspendKeyEditText) {
    bool held = false;
    std::optional<std::string> stored;
    if (takePreference(kHoldPassCode)) {
      held = true;
      stored = prefSuspendKeyStringRef;
    }
    if (!stored) {
      if (Stored v = readValue(*settings, kJobSuspend2KeyKey); v.present) {
        stored = v.text;
        if (bit(presetHoldButtonFlag, kHoldPassCode)) held = true;
      }
    }
    if (isTiger() && !tigerHDDFlag) {
      held = false;
      suspendKeyEditText->setStringValue("");
    } else if (!stored || stored->empty()) {
      suspendKeyEditText->setStringValue("");
    } else {
      suspendKeyEditText->setStringValue(shortCode(decipherHex(stored->substr(0, 255), 32)));
    }
    suspendKeyButton->setState(held ? 1 : 0);
    suspendKeyButtonProc(*suspendKeyButton);
  }

  // 4. Filing.
  if (folderSelectionPopup || folderSelectionMatrix) {
    bool done = false;
    bool held = bit(presetHoldButtonFlag, kHoldFolderName);
    if (Stored filing = readValue(*settings, kFilingKey); filing.present && !filing.text.empty()) {
      std::optional<Filing> mode = filingFromDigit(filing.text.front());
      if (mode == Filing::CustomFolder) {
        // A folder name may take 255 bytes, so its hex text is read whole (510 digits).
        if (Stored path = readValue(*settings, kFolderPathKey, 2 * kFolderNameLimit.bytes);
            path.present) {
          std::string name = text(bytesFromHex(path.text, path.text.size()));
          folderNameStringRef = name;
          folderSelectionPopup->selectItemAtIndex(SearchSameFolderName(folderNameStringRef));
          folderSelectionMatrix->selectCellAtRow(2, 0);
          folderNameEditText->setStringValue(name);
          done = true;
        }
      } else if (mode == Filing::QuickFile) {
        folderSelectionPopup->selectItemAtIndex(0);
        folderSelectionMatrix->selectCellAtRow(0, 0);
        done = true;
      }
    }
    if (folderSelectionMatrix && bit(prefHoldButtonFlag, kHoldFolderName)) {
      if (prefFolderNameStringRef) {
        folderNameEditText->setStringValue(*prefFolderNameStringRef);
        held = true;
        done = true;
      }
      prefHoldButtonFlag &= ~kHoldFolderName;
    }
    if (!done) {
      folderSelectionPopup->selectItemAtIndex(1);
      folderSelectionMatrix->selectCellAtRow(1, 0);
    }
    folderNameButton->setState(held ? 1 : 0);
    folderNameButtonProc(*folderNameButton);
  }

  // 5. Authentication: a remembered choice wins while a credential of it is remembered.
  if (authenticationMatrix) {
    if (bit(prefHoldButtonFlag, kHoldLoginName | kHoldPassword | kHoldUserNumber) &&
        prefAuthenticationBooleanRef) {
      authenticationMatrix->selectCellAtRow(*prefAuthenticationBooleanRef ? 0 : 1, 0);
    } else {
      char c = kAuthenticationLoginDigit;
      if (Stored v = readValue(*settings, kAuthenticationKey); v.present)
        c = v.text.empty() ? '\0' : v.text.front();
      authenticationMatrix->selectCellAtRow(c == kAuthenticationLoginDigit ? 0 : 1, 0);
    }
  }

  // 6. Login name: the stored-key cipher in up to two Base64 pieces.
  if (loginNameEditText) {
    loginNameButton->setState(0);
    loginNameButtonProc(*loginNameButton);
    bool held = false;
    std::optional<std::string> stored;
    if (takePreference(kHoldLoginName)) {
      held = true;
      if (prefLoginNameStringRef) stored = prefLoginNameStringRef->substr(0, 511);
    }
    if (!stored) {
      Stored one = readValue(*settings, kLoginName11Key, 511);
      Stored two = readValue(*settings, kLoginName12Key, 511);
      if (one.present) {
        stored = one.text;
        if (!one.text.empty() && !two.text.empty()) stored = (one.text + two.text).substr(0, 511);
      }
      if (bit(presetHoldButtonFlag, kHoldLoginName)) held = true;
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

  // 7-9, 13. Password, user number, account number and folder pass code: a stored-key
  // cipher as hex, from the preferences once or else from the print settings.
  auto readCipher = [&](jc::Outlet<jc::TextField>& field, std::uint32_t holdBit,
                        const std::optional<std::string>& remembered, const char* key,
                        std::size_t characters, bool lengthTest, jc::Outlet<jc::Button>& button,
                        void (VoreliaPrintPdeTz630eJC::*action)(jc::Control&)) {
    if (!field) return;
    bool held = false;
    std::optional<std::string> stored;
    if (takePreference(holdBit)) {
      held = true;
      stored = remembered;
    }
    bool absent = false;
    if (!stored) {
      if (Stored v = readValue(*settings, key); v.present) {
        stored = v.text;
        if (bit(presetHoldButtonFlag, holdBit)) held = true;
      } else {
        absent = true;
      }
    }
    if (absent || !stored || stored->empty()) {
      field->setStringValue("");
    } else {
      std::string plain = decipherHex(stored->substr(0, 255), characters);
      field->setStringValue(lengthTest ? shortCode(plain) : text(plain));
    }
    button->setState(held ? 1 : 0);
    (this->*action)(*button);
  };
  readCipher(passwordEditText, kHoldPassword, prefPasswordStringRef, kPassword2Key, 64, false,
             passwordButton, &VoreliaPrintPdeTz630eJC::passwordButtonProc);
  readCipher(userNumberEditText, kHoldUserNumber, prefUserNumberStringRef, kUserNumber2Key, 32,
             false, userNumberButton, &VoreliaPrintPdeTz630eJC::userNumberButtonProc);
  readCipher(accountNumberEditText, kHoldAccountNumber, prefAccountNumberStringRef,
             kAccountNumber2Key, 32, true, accountNumberButton,
             &VoreliaPrintPdeTz630eJC::accountNumberButtonProc);

  // 10.
  authenticationMatrixProc(*authenticationMatrix);

  // 11-12. User name and job name: hex of the system-encoding bytes, or the defaults.
  auto readName = [&](jc::Outlet<jc::TextField>& field, std::uint32_t holdBit,
                      const std::optional<std::string>& remembered, const char* key,
                      const std::function<std::string()>& fallback, jc::Outlet<jc::Button>& button,
                      void (VoreliaPrintPdeTz630eJC::*action)(jc::Control&)) {
    if (!field) return;
    bool held = false;
    bool filled = false;
    if (takePreference(holdBit)) {
      held = true;
      if (remembered) {
        field->setStringValue(*remembered);
        filled = true;
      }
    }
    if (!filled) {
      Stored v = readValue(*settings, key);
      std::string bytes = v.present ? bytesFromHex(v.text, v.text.size()) : std::string();
      if (!bytes.empty() && bytes.front() != '\0') {
        field->setStringValue(text(bytes));
        if (bit(presetHoldButtonFlag, holdBit)) held = true;
      } else {
        field->setStringValue(fallback());
      }
    }
    button->setState(held ? 1 : 0);
    (this->*action)(*button);
  };
  readName(
      userNameEditText, kHoldUserName, prefUserNameStringRef, kUserNameKey,
      [&] {
        std::string name = jc::fullUserName();
        return name.empty() ? userNameEditText->stringValue() : name;
      },
      userNameButton, &VoreliaPrintPdeTz630eJC::userNameButtonProc);
  readName(
      jobNameEditText, kHoldJobName, prefJobNameStringRef, kJobNameKey,
      [&] { return settings->jobName(); }, jobNameButton,
      &VoreliaPrintPdeTz630eJC::jobNameButtonProc);

  // 13.
  readCipher(folderPasswordEditText, kHoldFolderPassCode, prefFolderPassStringRef,
             kFolderPassword2Key, 32, true, folderPasswordButton,
             &VoreliaPrintPdeTz630eJC::folderPasswordButtonProc);

  // 14. Let the retention and filing choices settle the dependent controls.
  retentionCBoxProc(*retentionCheckBox);
  folderSelectionPopUpButtonProc(*folderSelectionPopup);
  _PDEEpilog(this, "--getNonPPDSettingsFromPrintSettings:");
}
