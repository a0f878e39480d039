// Fuzzes the reader's path for enciphered values: arbitrary text through myatoi, then the
// bytes through my_aes_decrypt, with buffers of exactly the promised sizes and input that
// is not NUL-terminated, so any read or write outside the contract is caught.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "crypto/aes_ecb.h"
#include "crypto/credential_codecs.h"
#include "settings/value_encodings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  const auto len = static_cast<std::uint32_t>(size);
  auto text = std::make_unique<char[]>(size);
  std::memcpy(text.get(), data, size);

  const std::size_t count = size / 2;
  auto bytes = std::make_unique<unsigned char[]>(count + 1);
  myatoi(text.get(), bytes.get(), len);
  if (bytes[count] != 0) std::abort();

  auto plain = std::make_unique<char[]>(count + 1);
  my_aes_decrypt(bytes.get(), static_cast<int>(count), plain.get());
  if (plain[count] != '\0') std::abort();

  // Whole blocks re-encipher to the bytes they came from when their text has no zero byte
  // before its padding; check that path too.
  const std::size_t whole = count / 16 * 16;
  const std::size_t textLength = std::strlen(plain.get());
  if (whole > 0 && textLength == whole) {
    auto cipher = std::make_unique<unsigned char[]>(whole);
    my_aes_encrypt(plain.get(), cipher.get(), static_cast<int>(whole));
    if (std::memcmp(cipher.get(), bytes.get(), whole) != 0) std::abort();
  }
  return 0;
}
