// Fuzzes Base64 decoding of arbitrary text into a buffer of exactly the size the length
// function promises, and re-encoding what came out.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "crypto/base64.h"
#include "crypto/credential_codecs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The C functions take NUL-terminated text; an embedded NUL simply ends it early.
  auto coded = std::make_unique<char[]>(size + 1);
  std::memcpy(coded.get(), data, size);
  coded[size] = '\0';

  const int room = Base64decode_len(coded.get());
  auto plain = std::make_unique<char[]>(static_cast<std::size_t>(room));
  const int n = Base64decode(plain.get(), coded.get());
  const std::size_t m = jc::crypto::base64AlphabetPrefix(coded.get());
  if (n < 0 || n >= room || plain[static_cast<std::size_t>(n)] != '\0' ||
      static_cast<std::size_t>(n) != jc::crypto::base64DecodedSize(m)) {
    std::abort();
  }

  // What decoded must encode to text that decodes to the same bytes.
  const int encodedRoom = Base64encode_len(n);
  auto encoded = std::make_unique<char[]>(static_cast<std::size_t>(encodedRoom));
  if (Base64encode(encoded.get(), plain.get(), n) != encodedRoom) std::abort();
  auto again = std::make_unique<char[]>(static_cast<std::size_t>(room));
  if (Base64decode(again.get(), encoded.get()) != n ||
      std::memcmp(again.get(), plain.get(), static_cast<std::size_t>(n)) != 0) {
    std::abort();
  }
  return 0;
}
