// Independent computations for cross-checking stored forms: the openssl command line
// computes MD5 texts and AES-128-ECB ciphers under the stored key.
#pragma once

#include <array>
#include <cstdio>
#include <string>

namespace jc::test {

/// The stored credential key, as the printer side knows it.
inline constexpr const char* kStoredKeyHex = "6b1f93c0e2745da8390c5be1f7a4d216";

/// Runs a shell command and answers its standard output with the final newline removed.
inline std::string shellOutput(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return output;
  std::array<char, 4096> buffer{};
  while (std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe))
    output.append(buffer.data(), n);
  pclose(pipe);
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
  return output;
}

/// Upper-case hex of bytes.
inline std::string hexOf(const std::string& bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

/// A POSIX printf format that writes exactly `bytes` (octal escapes for every byte).
inline std::string printfBytes(const std::string& bytes) {
  std::string format = "printf '";
  for (unsigned char c : bytes) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\%03o", c);
    format += escape;
  }
  return format + "'";
}

/// MD5 text of `text` by `openssl dgst -md5`.
inline std::string opensslMD5(const std::string& text) {
  return shellOutput(printfBytes(text) + " | openssl dgst -md5 -r").substr(0, 32);
}

/// Upper-case hex of the stored-key AES-128-ECB cipher of `plain`, zero-padded to whole
/// blocks, by `openssl enc`.
inline std::string opensslStoredCipherHex(const std::string& plain) {
  std::string padded = plain + std::string((16 - plain.size() % 16) % 16, '\0');
  return shellOutput(printfBytes(padded) + " | openssl enc -aes-128-ecb -nopad -K " +
                     kStoredKeyHex + " | od -An -v -tx1 | tr -d ' \\n' | tr a-f A-F");
}

/// Base64 text of the AES-128-ECB cipher of `plain` (zero-padded to whole blocks) under the
/// key given as hex, by `openssl enc` and `openssl base64`.
inline std::string opensslCipherBase64(const std::string& plain, const std::string& keyHex) {
  std::string padded = plain + std::string((16 - plain.size() % 16) % 16, '\0');
  return shellOutput(printfBytes(padded) + " | openssl enc -aes-128-ecb -nopad -K " + keyHex +
                     " | openssl base64 -A");
}

}  // namespace jc::test
