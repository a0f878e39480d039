// The exported C value encodings: argument checks and buffer contracts over jc::settings.
// The setters reach a print-settings store that may allocate; no exception may leave a C
// function, so a failed store leaves the key as it was.
#include "settings/value_encodings.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "platform/host/print_settings.h"
#include "platform/text/text_encoding.h"
#include "settings/ascii_values.h"
#include "settings/hex_text.h"
#include "settings/latin1_form.h"
#include "settings/spool_time.h"

extern "C" {

int GetSpoolTime(char* out) noexcept {
  if (out == nullptr) return 0;
  try {
    const std::string text = jc::settings::spoolTimeNow();
    const std::size_t n = std::min(text.size(), jc::settings::kSpoolTimeMaxLength);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<int>(n);
  } catch (...) {
    out[0] = '\0';
    return 0;
  }
}

void myitoa(const unsigned char* in, char* out, uint32_t len) noexcept {
  if (out == nullptr) return;
  if (in == nullptr) len = 0;
  jc::settings::hexTextTo({in, len}, out);
}

void myatoi(const char* in, unsigned char* out, uint32_t len) noexcept {
  if (out == nullptr) return;
  if (in == nullptr) len = 0;
  jc::settings::hexBytesTo({in, len}, out);
}

void ReplaceSpaceCode(unsigned char* buf, int64_t len) noexcept {
  if (buf == nullptr || len < 1) return;
  jc::settings::replaceSpaceCode({buf, static_cast<std::size_t>(len)});
}

bool encodingWindowsLatin1(void) noexcept {
  try {
    return jc::settings::usesWindowsLatin1(jc::systemEncoding());
  } catch (...) {
    return true;
  }
}

void MyPMPrintSetAsciiCStrValue(jc::PrintSettings* settings, const char* key,
                                const char* value) noexcept {
  if (settings == nullptr || key == nullptr) return;
  try {
    jc::settings::setAsciiValue(*settings, key, value == nullptr ? "" : value);
  } catch (...) {
  }
}

void MyMultiPMPrintSetAsciiCStrValue(jc::PrintSettings* settings, const char* prefix,
                                     const char* value) noexcept {
  if (settings == nullptr || prefix == nullptr) return;
  try {
    jc::settings::setNumberedAsciiValue(*settings, prefix, value == nullptr ? "" : value);
  } catch (...) {
  }
}

}  // extern "C"
