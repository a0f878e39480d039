// The writer: the panel's settings into the job's print settings, every key written or
// removed in one fixed order, credentials enciphered and digested.
#include <limits>

#include "crypto/md5_text.h"
#include "platform/text/text_encoding.h"
#include "plugin/panel.h"
#include "plugin/panel_held_entries.h"
#include "plugin/panel_positions.h"
#include "settings/ascii_values.h"
#include "settings/keys.h"
#include "settings/latin1_form.h"
#include "settings/spool_time.h"
#include "settings/value_text.h"
#include "trace/trace.h"

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

// Sets `key` to `value` up to its first NUL, or removes it when that is empty (or not ASCII).
void setKey(jc::PrintSettings& settings, const char* key, std::string_view value) {
  setAsciiValue(settings, key, untilNul(value));
}
void removeKey(jc::PrintSettings& settings, const char* key) {
  setAsciiValue(settings, key, {});
}
// Removes both keys of a held entry.
void removeKeys(jc::PrintSettings& settings, const HeldEntryRow& row) {
  removeKey(settings, row.key);
  removeKey(settings, row.key2);
}

// The Latin-1 forms for the printer side use Windows Latin-1 unless the system is CJK.
bool latin1FormsUseWindowsLatin1() {
  return usesWindowsLatin1(jc::systemEncoding());
}

}  // namespace

using Panel = VoreliaPrintPdeTz630eJC;

void Panel::writeNonPPDSettingsToPrintSettings() {
  _PDEProlog(this, "--writeNonPPDSettingsToPrintSettings:");
  jc::PrintSettings* settings = jobPrintSettings();
  if (settings && hasInited) {
    const std::string spoolTime = writeSpoolTime(*settings);                           // 1
    const Filing filing = writeFiling(*settings);                                      // 2-4
    const std::optional<Retention> retention = writeRetentionMode(*settings, filing);  // 5
    writeRetentionPassCode(*settings, retention, spoolTime);                           // 6
    writeAuthentication(*settings);                                                    // 7
    writeLoginName(*settings, spoolTime);                                              // 8
    writePassword(*settings, spoolTime);                                               // 9
    writeNumberEntry(*settings, heldEntry(HeldEntry::UserNumber));                     // 10
    writeNumberEntry(*settings, heldEntry(HeldEntry::AccountNumber));                  // 11
    writeNameEntry(*settings, heldEntry(HeldEntry::UserName));                         // 12
    writeNameEntry(*settings, heldEntry(HeldEntry::JobName));                          // 13
    // Written whenever the field exists, filed or not; an absent field answers empty
    // text, which removes both keys.
    writeCodeEntry(*settings, heldEntry(HeldEntry::FolderPassCode), spoolTime, true);  // 14
    writeHoldButtonMask(*settings);                                                    // 15
  }
  _PDEEpilog(this, "--writeNonPPDSettingsToPrintSettings:");
}

std::string Panel::writeSpoolTime(jc::PrintSettings& settings) {
  // One spool-time text for the whole save, never longer than the exported GetSpoolTime
  // gives it (31 characters), so both forms of a moment agree.
  std::string spoolTime = spoolTimeNow();
  if (spoolTime.size() > kSpoolTimeMaxLength) spoolTime.resize(kSpoolTimeMaxLength);
  setKey(settings, kSpoolTimeKey, hexText(spoolTime));
  return spoolTime;
}

Filing Panel::chosenFilingMode() const {
  // Always None (CheckHardDisk answers NO): the choice is kept for a printer with a disk to
  // file on, so a held job is written with filing "0" and the main folder.
  if (!CheckHardDisk() || retentionCheckBox->state() == 0) return Filing::None;
  const int popupItem = folderSelectionPopup->indexOfSelectedItem();
  Filing mode = popupItem == jc::kQuickFileItem    ? Filing::QuickFile
                : popupItem == jc::kMainFolderItem ? Filing::MainFolder
                                                   : Filing::CustomFolder;
  // The filing modes follow the matrix's rows, quick file first.
  if (folderSelectionMatrix) mode = static_cast<Filing>(folderSelectionMatrix->selectedRow() + 1);
  return mode;
}

std::optional<std::string> Panel::customFolderName(Filing& mode) const {
  if (folderSelectionPopup->indexOfSelectedItem() >= jc::kFirstFolderItem && !folderList.empty()) {
    // A pop-up index beyond the list names no folder rather than reading past it.
    if (const jc::FolderEntry* folder = selectedFolder()) return folder->name;
    return std::nullopt;
  }
  if (folderSelectionMatrix) return folderNameEditText->stringValue();
  // No folder to name: filed in the main folder, though the digit already says custom.
  mode = Filing::MainFolder;
  return std::nullopt;
}

void Panel::writeFolderPath(jc::PrintSettings& settings, const std::string& name) const {
  std::optional<std::string> bytes = convertWhole(name, systemCoreEncoding());
  if (!bytes) bytes = convertWhole(name, jc::core_encoding::kMacJapanese);
  if (bytes) setKey(settings, kFolderPathKey, hexText(*bytes));
  if (latin1FormsUseWindowsLatin1()) {
    bytes = convertWhole(name, jc::core_encoding::kWindowsLatin1);
    if (!bytes) bytes = convertWhole(name, jc::core_encoding::kMacJapanese);
  }
  if (bytes) setKey(settings, kFolderPath2Key, hexText(*bytes));
}

Filing Panel::writeFiling(jc::PrintSettings& settings) {
  removeKey(settings, kFilingKey);
  removeKey(settings, kFolderPathKey);
  removeKey(settings, kFolderPath2Key);
  Filing mode = Filing::None;
  bool standardFolder = false;
  bool decided = false;
  if (folderSelectionPopup || folderSelectionMatrix) {
    mode = chosenFilingMode();
    setKey(settings, kFilingKey, std::string(1, filingDigit(mode)));
    if (mode == Filing::CustomFolder) {
      std::optional<std::string> name = customFolderName(mode);
      if (name && !name->empty()) writeFolderPath(settings, *name);
    }
    standardFolder = mode == Filing::MainFolder;
    decided = mode != Filing::None;
  }
  // A held job without a filing choice goes to the main folder.
  if (!decided && retentionCheckBox->state() == 1) standardFolder = true;
  if (standardFolder) {
    setKey(settings, kFolderPathKey, hexText(kStandardFolder));
    setKey(settings, kFolderPath2Key, hexText(kStandardFolder));
  }
  return mode;
}

std::optional<Retention> Panel::writeRetentionMode(jc::PrintSettings& settings, Filing filing) {
  if (!retentionCheckBox || !suspendMatrix) {
    removeKey(settings, kJobSuspendKey);
    return std::nullopt;
  }
  Retention retention = Retention::None;
  // Never true (isCobaltLynx answers NO): kept for the product variant on which a quick
  // file replaces holding the job.
  const bool quickFiledWithoutRetention = isCobaltLynx() && filing == Filing::QuickFile;
  if (!quickFiledWithoutRetention && retentionCheckBox->state() != 0)
    retention = jc::retentionFromRow(suspendMatrix->selectedRow());
  setKey(settings, kJobSuspendKey, std::string(1, retentionDigit(retention)));
  return retention;
}

void Panel::writeCodeEntry(jc::PrintSettings& settings, const HeldEntryRow& row,
                           const std::string& spoolTime, bool spoolFirst) {
  // An MD5 text over the left-filled code and the spool time goes to the entry's first
  // key, the code's stored-key cipher to its second.
  const std::string code(untilNul(convert((this->*row.field)->stringValue(), systemCoreEncoding(),
                                          row.limit, Unconvertible::Stop)));
  if (code.empty()) {
    removeKeys(settings, row);
    return;
  }
  const std::string filledCode = leftFilled(code);
  const std::string input = spoolFirst ? spoolTime + filledCode : filledCode + spoolTime;
  setKey(settings, row.key, jc::crypto::md5Text(input));
  setKey(settings, row.key2, storedCipherHex(code, row.cipherDigits / 2));
}

void Panel::writeRetentionPassCode(jc::PrintSettings& settings, std::optional<Retention> retention,
                                   const std::string& spoolTime) {
  const HeldEntryRow& passCode = heldEntry(HeldEntry::PassCode);
  if (retention && this->*passCode.field && *retention != Retention::None)
    writeCodeEntry(settings, passCode, spoolTime, false);
  else
    removeKeys(settings, passCode);
}

void Panel::writeAuthentication(jc::PrintSettings& settings) {
  if (authenticationRadioButton)
    setKey(settings, kAuthenticationKey, authenticationRadioButton->state() != 0 ? "1" : "0");
  else
    removeKey(settings, kAuthenticationKey);
}

void Panel::writeLoginName(jc::PrintSettings& settings, const std::string& spoolTime) {
  // The stored-key cipher for reading back, the run-time-key cipher of its Latin-1 form
  // for the printer, each spread over numbered keys.
  const HeldEntryRow& login = heldEntry(HeldEntry::LoginName);
  if (!loginNameEditText) {
    setNumberedAsciiValue(settings, login.key, {});
    setNumberedAsciiValue(settings, login.key2, {});
    return;
  }
  // A held login name is masked in its field; the real one is kept aside.
  const std::optional<std::string> loginName =
      loginNameButton->state() != 0 ? loginNameStringRef
                                    : std::optional<std::string>(loginNameEditText->stringValue());
  std::string bytes;
  if (loginName) {
    bytes = convert(*loginName, systemCoreEncoding(), login.limit, Unconvertible::Stop);
    if (bytes.empty())
      bytes =
          convert(*loginName, jc::core_encoding::kMacJapanese, login.limit, Unconvertible::Space);
  }
  bytes = std::string(untilNul(bytes));
  setNumberedAsciiValue(settings, login.key,
                        bytes.empty() ? std::string() : storedCipherBase64(bytes));
  if (loginName && latin1FormsUseWindowsLatin1())
    bytes = std::string(untilNul(
        convert(*loginName, jc::core_encoding::kWindowsLatin1, login.limit, Unconvertible::Space)));
  setNumberedAsciiValue(settings, login.key2,
                        bytes.empty() ? std::string() : runTimeCipherBase64(bytes, spoolTime));
}

void Panel::writePassword(jc::PrintSettings& settings, const std::string& spoolTime) {
  // Run-time-key cipher for the printer, stored-key cipher (32 bytes) to read back.
  const HeldEntryRow& password = heldEntry(HeldEntry::Password);
  const std::string bytes(untilNul(convert(passwordEditText->stringValue(), systemCoreEncoding(),
                                           password.limit, Unconvertible::Space)));
  if (bytes.empty()) {
    // An absent field answers empty text.
    removeKeys(settings, password);
    return;
  }
  setKey(settings, password.key, runTimeCipherBase64(bytes, spoolTime));
  setKey(settings, password.key2, storedCipherHex(bytes, password.cipherDigits / 2));
}

void Panel::writeNumberEntry(jc::PrintSettings& settings, const HeldEntryRow& row) {
  // Left-filled in clear, and the stored-key cipher.
  const std::string number(untilNul(convert((this->*row.field)->stringValue(), systemCoreEncoding(),
                                            row.limit, Unconvertible::Stop)));
  if (number.empty()) {
    // An absent field answers empty text.
    removeKeys(settings, row);
    return;
  }
  setKey(settings, row.key, leftFilled(number));
  setKey(settings, row.key2, storedCipherHex(number, row.cipherDigits / 2));
}

void Panel::writeNameEntry(jc::PrintSettings& settings, const HeldEntryRow& row) {
  // Hex of the system-encoding bytes, and hex of the Latin-1 form with control bytes and
  // double quotes made spaces.
  const jc::Outlet<jc::TextField>& field = this->*row.field;
  if (!field) {
    removeKeys(settings, row);
    return;
  }
  const std::string& text = field->stringValue();
  std::string bytes = convert(text, systemCoreEncoding(), row.limit, Unconvertible::Stop);
  if (bytes.empty())
    bytes = convert(text, jc::core_encoding::kMacJapanese, row.limit, Unconvertible::Space);
  setKey(settings, row.key, hexText(bytes));
  if (!text.empty() && latin1FormsUseWindowsLatin1())
    bytes = convert(text, jc::core_encoding::kWindowsLatin1, row.limit, Unconvertible::Space);
  if (bytes.empty()) {
    removeKey(settings, row.key2);
    return;
  }
  replaceSpaceCode(std::span(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()));
  setKey(settings, row.key2, hexText(bytes));
}

void Panel::writeHoldButtonMask(jc::PrintSettings& settings) {
  // Always, even when 0, and stored as it is rather than as ASCII text.
  std::uint32_t mask = jc::holdButtonMask(*this);
  settings.setValue(kHoldButtonKey, std::to_string(static_cast<std::int32_t>(mask)));
}
