// The printer side's view of a job: what a driver's filter can read from our job options
// with the plug-in's exported codecs (looked up by name, as an outside program does) and
// the run-time key of the job's spool time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/result.h"

namespace jc {

/// The plug-in's exported codec functions, found with dlsym in its shared object.
struct PlugInCodecs {
  void (*my_aes_decrypt)(const unsigned char*, int, char*) noexcept = nullptr;
  int (*Base64decode_len)(const char*) noexcept = nullptr;
  int (*Base64decode)(char*, const char*) noexcept = nullptr;
  void (*calcMD5)(char*, const char*) noexcept = nullptr;
  void (*myatoi)(const char*, unsigned char*, std::uint32_t) noexcept = nullptr;
};

/// Loads the codecs from the bundle at `bundle`; refuses with a message naming the file or
/// the missing symbols.
Result<PlugInCodecs> loadPlugInCodecs(const std::filesystem::path& bundle);

/// One value the printer side can read.
struct DecodedValue {
  std::string entry;  ///< the entry it carries, named as `jobcontrol set` names it
  std::string value;  ///< the text (UTF-8)
  std::string key;    ///< the key's last part, for example "jobSuspend2Key"
  std::string how;    ///< "clear", "stored key", "run-time key", "system encoding", ...
};

/// One check of the options against each other or against a given pass code.
struct DecodeCheck {
  std::string what;
  bool passed;
};

/// What the printer side makes of a job's options.
struct DecodeReport {
  std::string spoolTime;  ///< "" when the options carry none
  std::vector<DecodedValue> values;
  std::vector<std::string> held;  ///< entries whose hold button was on
  std::vector<DecodeCheck> checks;
  bool anyKey = false;  ///< whether any of our keys was present
  bool allPassed() const;
};

/// The pass codes to check the digests against.
struct GivenPassCodes {
  std::optional<std::string> passCode;
  std::optional<std::string> folderPassCode;
};

/// Words a check: its English `pattern` with %1, %2, ... filled from `values`. A host
/// passes one that translates the pattern first.
using CheckWording =
    std::function<std::string(const char* pattern, std::initializer_list<std::string_view> values)>;

/// Deciphers and checks the job options `options` (other keys are ignored). Stored-key
/// values go through the plug-in's codecs; run-time-key values are deciphered here with
/// nettle, the key being the last 16 characters of the spool-time text. Text bytes are
/// read in the system encoding, Latin-1 forms in Windows Latin-1. The checks are worded by
/// `wording` (English when empty).
DecodeReport decodeJobOptions(const std::map<std::string, std::string>& options,
                              const PlugInCodecs& codecs, const GivenPassCodes& given,
                              const CheckWording& wording = {});

}  // namespace jc
