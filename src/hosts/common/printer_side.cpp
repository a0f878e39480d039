// Deciphering a job's options as the printer side does.
#include "hosts/common/printer_side.h"

#include <dlfcn.h>
#include <nettle/aes.h>
#include <string.h>  // explicit_bzero

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <memory>
#include <tuple>
#include <utility>

#include "platform/io/bundle.h"
#include "platform/text/text_encoding.h"
#include "settings/held_entries.h"
#include "settings/keys.h"

namespace jc {

namespace {

namespace keys = jc::settings;

std::string lastPart(const char* key) {
  return std::string(key).substr(keys::kKeyPrefix.size());
}

// Short codes are left-filled with "0" to five characters before they are digested.
std::string leftFilled(const std::string& code) {
  if (code.empty() || code.size() >= 5) return code;
  return std::string(5 - code.size(), '0') + code;
}

std::string upToZero(const std::string& bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

class Decoder {
 public:
  Decoder(const std::map<std::string, std::string>& options, const PlugInCodecs& codecs)
      : options_(options), codecs_(codecs) {}

  std::optional<std::string> get(const char* key) const {
    auto it = options_.find(key);
    return it == options_.end() ? std::nullopt : std::optional(it->second);
  }
  // The numbered pieces prefix1, prefix2, ... joined, until the first missing one.
  std::optional<std::string> pieces(const char* prefix) const {
    std::optional<std::string> joined;
    for (int n = 1;; ++n) {
      auto piece = get((std::string(prefix) + std::to_string(n)).c_str());
      if (!piece) return joined;
      joined = joined.value_or("") + *piece;
    }
  }
  std::string hexBytes(const std::string& hex) const {
    std::string out(hex.size() / 2 + 1, '\0');
    codecs_.myatoi(hex.c_str(), reinterpret_cast<unsigned char*>(out.data()),
                   static_cast<std::uint32_t>(hex.size()));
    out.resize(hex.size() / 2);
    return out;
  }
  std::string base64Bytes(const std::string& text) const {
    std::string out(static_cast<std::size_t>(codecs_.Base64decode_len(text.c_str())), '\0');
    int n = codecs_.Base64decode(out.data(), text.c_str());
    out.resize(static_cast<std::size_t>(std::max(n, 0)));
    return out;
  }
  std::string storedDecipher(const std::string& cipher) const {
    std::string out(cipher.size() + 1, '\0');
    codecs_.my_aes_decrypt(reinterpret_cast<const unsigned char*>(cipher.data()),
                           static_cast<int>(cipher.size()), out.data());
    return upToZero(out);
  }
  std::string md5(const std::string& text) const {
    char out[33] = {};
    codecs_.calcMD5(out, text.c_str());
    return out;
  }

 private:
  const std::map<std::string, std::string>& options_;
  const PlugInCodecs& codecs_;
};

// The run-time key's cipher, deciphered with nettle's AES-128 directly, as the panel's
// cipher does: block by block, the key being the last 16 characters of the spool-time
// text. "" without a key. A trailing partial block is not cipher text and is left out.
std::string runTimeDecipher(const std::string& cipher, const std::string& spoolTime) {
  if (spoolTime.size() < AES128_KEY_SIZE || cipher.empty()) return "";
  const auto* key =
      reinterpret_cast<const std::uint8_t*>(spoolTime.data() + spoolTime.size() - AES128_KEY_SIZE);
  aes128_ctx schedule;
  aes128_set_decrypt_key(&schedule, key);
  std::string out(cipher.size() / AES_BLOCK_SIZE * AES_BLOCK_SIZE, '\0');
  aes128_decrypt(&schedule, out.size(), reinterpret_cast<std::uint8_t*>(out.data()),
                 reinterpret_cast<const std::uint8_t*>(cipher.data()));
  explicit_bzero(&schedule, sizeof schedule);
  std::string text = upToZero(out);
  explicit_bzero(out.data(), out.size());
  return text;
}

// The English pattern with its values in place of %1, %2, ...: for hosts that show no checks.
std::string fillPattern(const char* pattern, std::initializer_list<std::string_view> values) {
  std::string out;
  for (const char* p = pattern; *p; ++p) {
    if (p[0] == '%' && p[1] >= '1' && p[1] <= '9' &&
        static_cast<std::size_t>(p[1] - '1') < values.size()) {
      out += values.begin()[p[1] - '1'];
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

}  // namespace

bool DecodeReport::allPassed() const {
  return anyKey && std::all_of(checks.begin(), checks.end(), [](auto& c) { return c.passed; });
}

Result<PlugInCodecs> loadPlugInCodecs(const std::filesystem::path& bundlePath) {
  auto fail = [](std::string message) { return Refusal{std::move(message)}; };
  Result<std::shared_ptr<Bundle>> bundle = Bundle::open(bundlePath);
  if (!bundle) return bundle.refusal();
  std::string object = (*bundle)->executablePath().string();
  void* handle = dlopen(object.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!handle) return fail(object + ": cannot load: " + dlerror());
  PlugInCodecs codecs;
  bool complete = true;
  std::string missing;
  auto look = [&](auto& into, const char* name) {
    into = reinterpret_cast<std::remove_reference_t<decltype(into)>>(dlsym(handle, name));
    if (!into) {
      complete = false;
      missing += std::string(missing.empty() ? "" : ", ") + name;
    }
  };
  look(codecs.my_aes_decrypt, "my_aes_decrypt");
  look(codecs.Base64decode_len, "Base64decode_len");
  look(codecs.Base64decode, "Base64decode");
  look(codecs.calcMD5, "calcMD5");
  look(codecs.myatoi, "myatoi");
  if (!complete) return fail(object + ": does not export " + missing);
  return codecs;
}

namespace {

// The words `jobcontrol set` uses for the retention and filing modes, by digit value.
constexpr std::array<const char*, 4> kRetentionWords = {"off", "hold-after", "hold-only", "sample"};
static_assert(static_cast<int>(keys::Retention::HoldAfterPrint) == 1 &&
              static_cast<int>(keys::Retention::HoldOnly) == 2 &&
              static_cast<int>(keys::Retention::SamplePrint) == 3);
constexpr std::array<const char*, 4> kFilingWords = {"none", "quick", "main", "custom"};
static_assert(static_cast<int>(keys::Filing::QuickFile) == 1 &&
              static_cast<int>(keys::Filing::MainFolder) == 2 &&
              static_cast<int>(keys::Filing::CustomFolder) == 3);

// The one character of a digit key's value; anything else reads as no digit.
char onlyChar(const std::string& value) {
  return value.size() == 1 ? value[0] : '\0';
}

// The report, filled step by step: one step per group of keys the printer side reads.
class ReportBuilder {
 public:
  ReportBuilder(const std::map<std::string, std::string>& options, const PlugInCodecs& codecs,
                const CheckWording& wording)
      : d_(options, codecs), wording_(wording) {
    for (const char* key : keys::kAllKeys) report_.anyKey = report_.anyKey || options.count(key);
    if (auto spool = d_.get(keys::kSpoolTimeKey)) report_.spoolTime = d_.hexBytes(*spool);
  }

  void modes();
  void passCodes(const GivenPassCodes& given);
  void numbers();
  void credentials();
  void names();
  void holdMask();
  DecodeReport take() { return std::move(report_); }

 private:
  void add(std::string entry, std::string value, const char* key, std::string how) {
    report_.values.push_back({std::move(entry), std::move(value), lastPart(key), std::move(how)});
  }
  void check(std::string what, bool passed) { report_.checks.push_back({std::move(what), passed}); }

  Decoder d_;
  const CheckWording& wording_;
  DecodeReport report_;
  const std::uint32_t system_ = systemEncoding();
  static constexpr std::uint32_t kLatin1 = core_encoding::kWindowsLatin1;
};

// Retention, filing and authentication digits, and the folder name.
void ReportBuilder::modes() {
  if (auto digit = d_.get(keys::kJobSuspendKey)) {
    keys::Retention mode = keys::retentionFromDigit(onlyChar(*digit));
    add("retention", kRetentionWords[static_cast<std::size_t>(mode)], keys::kJobSuspendKey,
        "digit " + *digit);
  }
  if (auto digit = d_.get(keys::kFilingKey)) {
    keys::Filing mode = keys::filingFromDigit(onlyChar(*digit)).value_or(keys::Filing::None);
    add("filing", kFilingWords[static_cast<std::size_t>(mode)], keys::kFilingKey,
        "digit " + *digit);
  }
  if (auto hex = d_.get(keys::kFolderPathKey))
    add("folder-name", decodeTextLossy(d_.hexBytes(*hex), system_), keys::kFolderPathKey,
        "system encoding");
  if (auto hex = d_.get(keys::kFolderPath2Key))
    add("folder-name", decodeTextLossy(d_.hexBytes(*hex), kLatin1), keys::kFolderPath2Key,
        "Latin-1 form");
  if (auto digit = d_.get(keys::kAuthenticationKey))
    add("auth", onlyChar(*digit) == keys::kAuthenticationLoginDigit ? "login" : "number",
        keys::kAuthenticationKey, "digit " + *digit);
}

// Pass codes: the stored cipher, and the digest over the left-filled code and the spool
// time (code first for retention, spool time first for the folder).
void ReportBuilder::passCodes(const GivenPassCodes& given) {
  struct Code {
    const char* entry;
    const char* cipherKey;
    const char* digestKey;
    const std::optional<std::string>& given;
    bool spoolFirst;
  };
  const std::string& spool = report_.spoolTime;
  for (const Code& c :
       {Code{"pass-code", keys::kJobSuspend2KeyKey, keys::kJobSuspendKeyKey, given.passCode, false},
        Code{"folder-pass-code", keys::kFolderPassword2Key, keys::kFolderPasswordKey,
             given.folderPassCode, true}}) {
    std::optional<std::string> stored;
    if (auto hex = d_.get(c.cipherKey)) {
      stored = d_.storedDecipher(d_.hexBytes(*hex));
      add(c.entry, *stored, c.cipherKey, "stored key");
    }
    auto digestOf = [&](const std::string& code) {
      return d_.md5(c.spoolFirst ? spool + leftFilled(code) : leftFilled(code) + spool);
    };
    auto digest = d_.get(c.digestKey);
    if (digest && stored)
      check(wording_("%1 is the digest of the stored %2", {lastPart(c.digestKey), c.entry}),
            digestOf(*stored) == *digest);
    if (c.given)
      check(wording_("%1 matches the given %2 %3", {lastPart(c.digestKey), c.entry, *c.given}),
            digest && digestOf(*c.given) == *digest);
  }
}

// Numbers: in clear (left-filled) for the printer, and the stored cipher.
void ReportBuilder::numbers() {
  for (auto [entry, clearKey, cipherKey] :
       {std::tuple{"user-number", keys::kUserNumberKey, keys::kUserNumber2Key},
        std::tuple{"account-number", keys::kAccountNumberKey, keys::kAccountNumber2Key}}) {
    auto clear = d_.get(clearKey);
    if (clear) add(entry, *clear, clearKey, "clear, left-filled");
    if (auto hex = d_.get(cipherKey)) {
      std::string stored = d_.storedDecipher(d_.hexBytes(*hex));
      add(entry, stored, cipherKey, "stored key");
      if (clear)
        check(wording_("%1 agrees with %2", {lastPart(clearKey), lastPart(cipherKey)}),
              leftFilled(stored) == *clear);
    }
  }
}

// Login name and password: one form under the stored key, one under the run-time key.
void ReportBuilder::credentials() {
  const std::string& spool = report_.spoolTime;
  bool runTimeNeeded = false;
  std::optional<std::string> storedLogin, runTimeLogin, storedPassword, runTimePassword;
  if (auto text = d_.pieces(keys::kLoginName1Prefix)) {
    storedLogin = decodeTextLossy(d_.storedDecipher(d_.base64Bytes(*text)), system_);
    add("login-name", *storedLogin, keys::kLoginName11Key, "stored key");
  }
  if (auto text = d_.pieces(keys::kLoginName0Prefix)) {
    runTimeNeeded = true;
    runTimeLogin = decodeTextLossy(runTimeDecipher(d_.base64Bytes(*text), spool), kLatin1);
    add("login-name", *runTimeLogin, keys::kLoginName01Key, "run-time key, Latin-1 form");
  }
  if (auto text = d_.get(keys::kPasswordKey)) {
    runTimeNeeded = true;
    runTimePassword = decodeTextLossy(runTimeDecipher(d_.base64Bytes(*text), spool), system_);
    add("password", *runTimePassword, keys::kPasswordKey, "run-time key");
  }
  if (auto hex = d_.get(keys::kPassword2Key)) {
    storedPassword = decodeTextLossy(d_.storedDecipher(d_.hexBytes(*hex)), system_);
    add("password", *storedPassword, keys::kPassword2Key, "stored key");
  }
  if (runTimeNeeded) check(wording_("spoolTime gives the run-time key", {}), spool.size() >= 16);
  if (storedLogin && runTimeLogin)
    check(wording_("%1 agrees with %2", {"loginName01", "loginName11"}),
          *storedLogin == *runTimeLogin);
  if (storedPassword && runTimePassword)
    check(wording_("%1 agrees with %2", {"password", "password2"}),
          *storedPassword == *runTimePassword);
}

// Names: hex of the system-encoding bytes, and of the Latin-1 form.
void ReportBuilder::names() {
  for (auto [entry, key, key2] : {std::tuple{"user-name", keys::kUserNameKey, keys::kUserName2Key},
                                  std::tuple{"job-name", keys::kJobNameKey, keys::kJobName2Key}}) {
    if (auto hex = d_.get(key))
      add(entry, decodeTextLossy(d_.hexBytes(*hex), system_), key, "system encoding");
    if (auto hex = d_.get(key2))
      add(entry, decodeTextLossy(d_.hexBytes(*hex), kLatin1), key2, "Latin-1 form");
  }
}

// The hold-button mask, as the held entries' words.
void ReportBuilder::holdMask() {
  auto mask = d_.get(keys::kHoldButtonKey);
  if (!mask) return;
  std::uint32_t bits = 0;
  auto [end, ec] = std::from_chars(mask->data(), mask->data() + mask->size(), bits);
  check(wording_("holdButton is a decimal mask", {}),
        ec == std::errc() && end == mask->data() + mask->size());
  for (const keys::HeldEntryData& row : keys::kHeldEntryData)
    if (bits & row.bit) report_.held.push_back(std::string(row.name));
}

}  // namespace

DecodeReport decodeJobOptions(const std::map<std::string, std::string>& options,
                              const PlugInCodecs& codecs, const GivenPassCodes& given,
                              const CheckWording& givenWording) {
  const CheckWording wording = givenWording ? givenWording : fillPattern;
  ReportBuilder builder(options, codecs, wording);
  builder.modes();
  builder.passCodes(given);
  builder.numbers();
  builder.credentials();
  builder.names();
  builder.holdMask();
  return builder.take();
}

}  // namespace jc
