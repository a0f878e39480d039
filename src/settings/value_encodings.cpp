// The exported C value encodings: argument checks and buffer contracts over jc::settings.
// The spool time, the encoding test and the setters allocate, and a C caller cannot take an
// exception: running out of memory is the one failure they can meet, and each turns it into
// its C answer (the empty text; Windows Latin-1; the key as it was). Anything else is a
// fault that ends the process at the noexcept boundary rather than being hidden.
#include "settings/value_encodings.h"

#include <algorithm>
#include <cstring>
#include <new>
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
  } catch (const std::bad_alloc&) {
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
  } catch (const std::bad_alloc&) {
    return true;
  }
}

void MyPMPrintSetAsciiCStrValue(jc::PrintSettings* settings, const char* key,
                                const char* value) noexcept {
  if (settings == nullptr || key == nullptr) return;
  try {
    jc::settings::setAsciiValue(*settings, key, value == nullptr ? "" : value);
  } catch (const std::bad_alloc&) {
    // The C contract has no answer to carry the failure; the key stays as it was.
    return;
  }
}

void MyMultiPMPrintSetAsciiCStrValue(jc::PrintSettings* settings, const char* prefix,
                                     const char* value) noexcept {
  if (settings == nullptr || prefix == nullptr) return;
  try {
    jc::settings::setNumberedAsciiValue(*settings, prefix, value == nullptr ? "" : value);
  } catch (const std::bad_alloc&) {
    // The C contract has no answer to carry the failure; the keys already removed stay
    // removed, so no piece of an older value is left to be joined with a newer one.
    return;
  }
}

}  // extern "C"
