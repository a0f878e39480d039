// The writer: the panel's settings into the job's print settings, every key written or
// removed in one fixed order, credentials enciphered and digested.
#include <array>
#include <limits>

#include "crypto/credential_codecs.h"
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
using jc::EntryLimit;
using jc::HeldEntry;
using jc::heldEntry;
using jc::HeldEntryRow;
using jc::Unconvertible;

constexpr std::size_t kWhole = std::numeric_limits<std::size_t>::max();

// The first `limit.characters` characters of `text` in `core`, at most `limit.bytes` bytes.
std::string convert(const std::string& text, std::uint32_t core, EntryLimit limit,
                    Unconvertible mode) {
  return jc::convertText(text, core, limit.characters, limit.bytes, mode).bytes;
}

// `text` converted completely into `core` within a folder name's bytes, or nullopt.
std::optional<std::string> convertWhole(const std::string& text, std::uint32_t core) {
  jc::Conversion c = jc::convertText(
      text, core, kWhole, heldEntry(HeldEntry::FolderName).limit.bytes, Unconvertible::Stop);
  if (!c.complete) return std::nullopt;
  return c.bytes;
}

// Sets `key` to `value`, or removes it when the value is empty (or not ASCII).
void setKey(jc::PrintSettings* settings, const char* key, const std::string& value) {
  MyPMPrintSetAsciiCStrValue(settings, key, value.empty() ? nullptr : value.c_str());
}
void removeKey(jc::PrintSettings* settings, const char* key) {
  MyPMPrintSetAsciiCStrValue(settings, key, nullptr);
}
// Removes both keys of a held entry.
void removeKeys(jc::PrintSettings* settings, const HeldEntryRow& row) {
  removeKey(settings, row.key);
  removeKey(settings, row.key2);
}

}  // namespace

void VoreliaPrintPdeTz630eJC::writeNonPPDSettingsToPrintSettings() {
  _PDEProlog(this, "--writeNonPPDSettingsToPrintSettings:");
  jc::PrintSettings* settings =
      pdePluginCallbackObject ? pdePluginCallbackObject->printSettings() : nullptr;
  if (!settings || !hasInited) {
    _PDEEpilog(this, "--writeNonPPDSettingsToPrintSettings:");
    return;
  }
  const std::uint32_t systemCore = jc::coreEncodingFromStringEncoding(systemEncoding);

  // 1. One spool-time text for the whole save.
  std::array<char, 64> spool{};
  GetSpoolTime(spool.data());
  const std::string spoolTime(spool.data());
  setKey(settings, kSpoolTimeKey, hexText(spoolTime));

  // 2-4. Filing.
  removeKey(settings, kFilingKey);
  removeKey(settings, kFolderPathKey);
  removeKey(settings, kFolderPath2Key);
  Filing filingMode = Filing::None;
  bool standardFolder = false;
  bool filingDecided = false;
  if (folderSelectionPopup || folderSelectionMatrix) {
    const int popupItem = folderSelectionPopup->indexOfSelectedItem();
    if (CheckHardDisk() && retentionCheckBox->state() != 0) {
      filingMode = popupItem == jc::kQuickFileItem    ? Filing::QuickFile
                   : popupItem == jc::kMainFolderItem ? Filing::MainFolder
                                                      : Filing::CustomFolder;
      // The filing modes follow the matrix's rows, quick file first.
      if (folderSelectionMatrix)
        filingMode = static_cast<Filing>(folderSelectionMatrix->selectedRow() + 1);
    }
    setKey(settings, kFilingKey, std::string(1, filingDigit(filingMode)));
    if (filingMode == Filing::CustomFolder) {
      std::optional<std::string> name;
      if (popupItem >= jc::kFirstFolderItem && !folderList.empty()) {
        // A pop-up index beyond the list names no folder rather than reading past it.
        if (const jc::FolderEntry* folder = selectedFolder()) name = folder->name;
      } else if (folderSelectionMatrix) {
        name = folderNameEditText->stringValue();
      } else {
        filingMode = Filing::MainFolder;
      }
      if (name && !name->empty()) {
        std::optional<std::string> bytes = convertWhole(*name, systemCore);
        if (!bytes) bytes = convertWhole(*name, jc::core_encoding::kMacJapanese);
        if (bytes) setKey(settings, kFolderPathKey, hexText(*bytes));
        if (encodingWindowsLatin1()) {
          bytes = convertWhole(*name, jc::core_encoding::kWindowsLatin1);
          if (!bytes) bytes = convertWhole(*name, jc::core_encoding::kMacJapanese);
        }
        if (bytes) setKey(settings, kFolderPath2Key, hexText(*bytes));
      }
    }
    if (filingMode == Filing::MainFolder) standardFolder = true;
    filingDecided = filingMode != Filing::None;
  }
  if (!filingDecided && retentionCheckBox->state() == 1) standardFolder = true;
  if (standardFolder) {
    setKey(settings, kFolderPathKey, hexText(kStandardFolder));
    setKey(settings, kFolderPath2Key, hexText(kStandardFolder));
  }

  // 5. Retention mode.
  Retention retention = Retention::None;
  bool retentionWritten = false;
  if (!retentionCheckBox || !suspendMatrix) {
    removeKey(settings, kJobSuspendKey);
  } else {
    const bool quickFiledWithoutRetention = isCobaltLynx() && filingMode == Filing::QuickFile;
    if (!quickFiledWithoutRetention && retentionCheckBox->state() != 0)
      retention = jc::retentionFromRow(suspendMatrix->selectedRow());
    setKey(settings, kJobSuspendKey, std::string(1, retentionDigit(retention)));
    retentionWritten = true;
  }

  // 6. Retention pass code: an MD5 text over the left-filled code and the spool time, and
  // the code's stored-key cipher.
  // The digest goes to the entry's first key, the cipher to its second.
  auto writeCode = [&](const HeldEntryRow& row, bool spoolFirst) {
    const std::string code(untilNul(
        convert((this->*row.field)->stringValue(), systemCore, row.limit, Unconvertible::Stop)));
    if (code.empty()) {
      removeKeys(settings, row);
      return;
    }
    const std::string filledCode = leftFilled(code);
    const std::string input = spoolFirst ? spoolTime + filledCode : filledCode + spoolTime;
    std::array<char, 64> digest{};
    calcMD5(digest.data(), input.c_str());
    setKey(settings, row.key, digest.data());
    setKey(settings, row.key2, storedCipherHex(code, row.cipherDigits / 2));
  };
  const HeldEntryRow& passCode = heldEntry(HeldEntry::PassCode);
  if (retentionWritten && this->*passCode.field && retention != Retention::None)
    writeCode(passCode, false);
  else
    removeKeys(settings, passCode);

  // 7. Authentication.
  if (authenticationRadioButton)
    setKey(settings, kAuthenticationKey, authenticationRadioButton->state() != 0 ? "1" : "0");
  else
    removeKey(settings, kAuthenticationKey);

  // 8. Login name: the stored-key cipher for reading back, the run-time-key cipher of its
  // Latin-1 form for the printer, each spread over numbered keys.
  const HeldEntryRow& login = heldEntry(HeldEntry::LoginName);
  if (!loginNameEditText) {
    MyMultiPMPrintSetAsciiCStrValue(settings, login.key, nullptr);
    MyMultiPMPrintSetAsciiCStrValue(settings, login.key2, nullptr);
  } else {
    // A held login name is masked in its field; the real one is kept aside.
    const std::optional<std::string> loginName =
        loginNameButton->state() != 0
            ? loginNameStringRef
            : std::optional<std::string>(loginNameEditText->stringValue());
    std::string bytes;
    if (loginName) {
      bytes = convert(*loginName, systemCore, login.limit, Unconvertible::Stop);
      if (bytes.empty())
        bytes =
            convert(*loginName, jc::core_encoding::kMacJapanese, login.limit, Unconvertible::Space);
    }
    bytes = std::string(untilNul(bytes));
    const std::string storedCipher = bytes.empty() ? std::string() : storedCipherBase64(bytes);
    MyMultiPMPrintSetAsciiCStrValue(settings, login.key, storedCipher.c_str());
    if (loginName && encodingWindowsLatin1())
      bytes = std::string(untilNul(convert(*loginName, jc::core_encoding::kWindowsLatin1,
                                           login.limit, Unconvertible::Space)));
    const std::string runTimeCipher =
        bytes.empty() ? std::string() : runTimeCipherBase64(bytes, spoolTime);
    MyMultiPMPrintSetAsciiCStrValue(settings, login.key2, runTimeCipher.c_str());
  }

  // 9. Password: run-time-key cipher for the printer, stored-key cipher (32 bytes) to read back.
  const HeldEntryRow& password = heldEntry(HeldEntry::Password);
  const std::string passwordBytes(untilNul(
      convert(passwordEditText->stringValue(), systemCore, password.limit, Unconvertible::Space)));
  if (passwordBytes.empty()) {
    // An absent field answers empty text.
    removeKeys(settings, password);
  } else {
    setKey(settings, password.key, runTimeCipherBase64(passwordBytes, spoolTime));
    setKey(settings, password.key2, storedCipherHex(passwordBytes, password.cipherDigits / 2));
  }

  // 10-11. User number and account number: left-filled in clear, and the stored-key cipher.
  auto writeNumber = [&](const HeldEntryRow& row) {
    const std::string number(untilNul(
        convert((this->*row.field)->stringValue(), systemCore, row.limit, Unconvertible::Stop)));
    if (number.empty()) {
      // An absent field answers empty text.
      removeKeys(settings, row);
      return;
    }
    setKey(settings, row.key, leftFilled(number));
    setKey(settings, row.key2, storedCipherHex(number, row.cipherDigits / 2));
  };
  writeNumber(heldEntry(HeldEntry::UserNumber));
  writeNumber(heldEntry(HeldEntry::AccountNumber));

  // 12-13. User name and job name: hex of the system-encoding bytes, and hex of the
  // Latin-1 form with control bytes and double quotes made spaces.
  auto writeName = [&](const HeldEntryRow& row) {
    const jc::Outlet<jc::TextField>& field = this->*row.field;
    if (!field) {
      removeKeys(settings, row);
      return;
    }
    const std::string& text = field->stringValue();
    std::string bytes = convert(text, systemCore, row.limit, Unconvertible::Stop);
    if (bytes.empty())
      bytes = convert(text, jc::core_encoding::kMacJapanese, row.limit, Unconvertible::Space);
    setKey(settings, row.key, hexText(bytes));
    if (!text.empty() && encodingWindowsLatin1())
      bytes = convert(text, jc::core_encoding::kWindowsLatin1, row.limit, Unconvertible::Space);
    if (bytes.empty()) {
      removeKey(settings, row.key2);
      return;
    }
    ReplaceSpaceCode(reinterpret_cast<unsigned char*>(bytes.data()),
                     static_cast<std::int64_t>(bytes.size()));
    setKey(settings, row.key2, hexText(bytes));
  };
  writeName(heldEntry(HeldEntry::UserName));
  writeName(heldEntry(HeldEntry::JobName));

  // 14. Folder pass code: written whenever the field exists, filed or not.
  // An absent field answers empty text, which removes both keys.
  writeCode(heldEntry(HeldEntry::FolderPassCode), true);

  // 15. The hold-button mask, always, last.
  std::uint32_t mask = jc::holdButtonMask(*this);
  settings->setValue(kHoldButtonKey, std::to_string(static_cast<std::int32_t>(mask)));

  _PDEEpilog(this, "--writeNonPPDSettingsToPrintSettings:");
}
