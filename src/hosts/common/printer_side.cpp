// Deciphering a job's options as the printer side does.
#include "hosts/common/printer_side.h"

#include <dlfcn.h>
#include <nettle/aes.h>
#include <string.h>  // explicit_bzero

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>

#include "platform/io/bundle.h"
#include "platform/text/text_encoding.h"
#include "plugin/panel_held_entries.h"
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

DecodeReport decodeJobOptions(const std::map<std::string, std::string>& options,
                              const PlugInCodecs& codecs, const GivenPassCodes& given,
                              const CheckWording& givenWording) {
  const CheckWording wording = givenWording ? givenWording : fillPattern;
  DecodeReport report;
  Decoder d(options, codecs);
  for (const char* key : keys::kAllKeys) report.anyKey = report.anyKey || options.count(key);

  const std::uint32_t system = systemEncoding();
  constexpr std::uint32_t kLatin1 = core_encoding::kWindowsLatin1;
  auto add = [&](std::string entry, std::string value, const char* key, std::string how) {
    report.values.push_back({std::move(entry), std::move(value), lastPart(key), std::move(how)});
  };
  auto check = [&](std::string what, bool passed) {
    report.checks.push_back({std::move(what), passed});
  };

  if (auto spool = d.get(keys::kSpoolTimeKey)) report.spoolTime = d.hexBytes(*spool);
  const std::string& spool = report.spoolTime;
  if (auto digit = d.get(keys::kJobSuspendKey)) {
    static const char* kWords[] = {"off", "hold-after", "hold-only", "sample"};
    int n = digit->size() == 1 && (*digit)[0] >= '0' && (*digit)[0] <= '3' ? (*digit)[0] - '0' : 0;
    add("retention", kWords[n], keys::kJobSuspendKey, "digit " + *digit);
  }
  if (auto digit = d.get(keys::kFilingKey)) {
    static const char* kWords[] = {"none", "quick", "main", "custom"};
    int n = digit->size() == 1 && (*digit)[0] >= '0' && (*digit)[0] <= '3' ? (*digit)[0] - '0' : 0;
    add("filing", kWords[n], keys::kFilingKey, "digit " + *digit);
  }
  if (auto hex = d.get(keys::kFolderPathKey))
    add("folder-name", decodeTextLossy(d.hexBytes(*hex), system), keys::kFolderPathKey,
        "system encoding");
  if (auto hex = d.get(keys::kFolderPath2Key))
    add("folder-name", decodeTextLossy(d.hexBytes(*hex), kLatin1), keys::kFolderPath2Key,
        "Latin-1 form");
  if (auto digit = d.get(keys::kAuthenticationKey))
    add("auth", *digit == "1" ? "login" : "number", keys::kAuthenticationKey, "digit " + *digit);

  // Pass codes: the stored cipher, and the digest over the left-filled code and the
  // spool time (code first for retention, spool time first for the folder).
  struct Code {
    const char* entry;
    const char* cipherKey;
    const char* digestKey;
    const std::optional<std::string>& given;
    bool spoolFirst;
  };
  for (const Code& c :
       {Code{"pass-code", keys::kJobSuspend2KeyKey, keys::kJobSuspendKeyKey, given.passCode, false},
        Code{"folder-pass-code", keys::kFolderPassword2Key, keys::kFolderPasswordKey,
             given.folderPassCode, true}}) {
    std::optional<std::string> stored;
    if (auto hex = d.get(c.cipherKey)) {
      stored = d.storedDecipher(d.hexBytes(*hex));
      add(c.entry, *stored, c.cipherKey, "stored key");
    }
    auto digestOf = [&](const std::string& code) {
      return d.md5(c.spoolFirst ? spool + leftFilled(code) : leftFilled(code) + spool);
    };
    auto digest = d.get(c.digestKey);
    if (digest && stored)
      check(wording("%1 is the digest of the stored %2", {lastPart(c.digestKey), c.entry}),
            digestOf(*stored) == *digest);
    if (c.given)
      check(wording("%1 matches the given %2 %3", {lastPart(c.digestKey), c.entry, *c.given}),
            digest && digestOf(*c.given) == *digest);
  }

  // Numbers: in clear (left-filled) for the printer, and the stored cipher.
  for (auto [entry, clearKey, cipherKey] :
       {std::tuple{"user-number", keys::kUserNumberKey, keys::kUserNumber2Key},
        std::tuple{"account-number", keys::kAccountNumberKey, keys::kAccountNumber2Key}}) {
    auto clear = d.get(clearKey);
    if (clear) add(entry, *clear, clearKey, "clear, left-filled");
    if (auto hex = d.get(cipherKey)) {
      std::string stored = d.storedDecipher(d.hexBytes(*hex));
      add(entry, stored, cipherKey, "stored key");
      if (clear)
        check(wording("%1 agrees with %2", {lastPart(clearKey), lastPart(cipherKey)}),
              leftFilled(stored) == *clear);
    }
  }

  // Login name and password: one form under the stored key, one under the run-time key.
  bool runTimeNeeded = false;
  std::optional<std::string> storedLogin, runTimeLogin, storedPassword, runTimePassword;
  if (auto text = d.pieces(keys::kLoginName1Prefix)) {
    storedLogin = decodeTextLossy(d.storedDecipher(d.base64Bytes(*text)), system);
    add("login-name", *storedLogin, keys::kLoginName11Key, "stored key");
  }
  if (auto text = d.pieces(keys::kLoginName0Prefix)) {
    runTimeNeeded = true;
    runTimeLogin = decodeTextLossy(runTimeDecipher(d.base64Bytes(*text), spool), kLatin1);
    add("login-name", *runTimeLogin, keys::kLoginName01Key, "run-time key, Latin-1 form");
  }
  if (auto text = d.get(keys::kPasswordKey)) {
    runTimeNeeded = true;
    runTimePassword = decodeTextLossy(runTimeDecipher(d.base64Bytes(*text), spool), system);
    add("password", *runTimePassword, keys::kPasswordKey, "run-time key");
  }
  if (auto hex = d.get(keys::kPassword2Key)) {
    storedPassword = decodeTextLossy(d.storedDecipher(d.hexBytes(*hex)), system);
    add("password", *storedPassword, keys::kPassword2Key, "stored key");
  }
  if (runTimeNeeded) check(wording("spoolTime gives the run-time key", {}), spool.size() >= 16);
  if (storedLogin && runTimeLogin)
    check(wording("%1 agrees with %2", {"loginName01", "loginName11"}),
          *storedLogin == *runTimeLogin);
  if (storedPassword && runTimePassword)
    check(wording("%1 agrees with %2", {"password", "password2"}),
          *storedPassword == *runTimePassword);

  // Names: hex of the system-encoding bytes, and of the Latin-1 form.
  for (auto [entry, key, key2] : {std::tuple{"user-name", keys::kUserNameKey, keys::kUserName2Key},
                                  std::tuple{"job-name", keys::kJobNameKey, keys::kJobName2Key}}) {
    if (auto hex = d.get(key))
      add(entry, decodeTextLossy(d.hexBytes(*hex), system), key, "system encoding");
    if (auto hex = d.get(key2))
      add(entry, decodeTextLossy(d.hexBytes(*hex), kLatin1), key2, "Latin-1 form");
  }

  if (auto mask = d.get(keys::kHoldButtonKey)) {
    std::uint32_t bits = 0;
    auto [end, ec] = std::from_chars(mask->data(), mask->data() + mask->size(), bits);
    check(wording("holdButton is a decimal mask", {}),
          ec == std::errc() && end == mask->data() + mask->size());
    for (const HeldEntryRow& row : kHeldEntries)
      if (bits & row.bit) report.held.push_back(std::string(row.name));
  }
  return report;
}

}  // namespace jc
