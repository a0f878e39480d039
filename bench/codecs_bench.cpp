// The credential codecs against OpenSSL's own primitives on the same input, at the sizes
// the panel uses (1 to 255 bytes): Base64 encoding, MD5, AES-128-ECB both ways. Ours go
// through nettle (with its hardware AES path where the processor has one); OpenSSL is
// only the yardstick, through EVP with a legacy handle and with an algorithm fetched once.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdint>
#include <string>
#include <vector>

#include "crypto/aes_ecb.h"
#include "crypto/credential_codecs.h"

namespace {

// Printable, never zero, so the NUL-terminated functions see all n bytes.
std::string input(std::size_t n) {
  std::string text(n, '\0');
  for (std::size_t i = 0; i < n; ++i) text[i] = static_cast<char>('!' + (i * 31) % 90);
  return text;
}

void sizes(benchmark::internal::Benchmark* b) {
  for (int n : {1, 8, 16, 32, 64, 128, 255}) b->Arg(n);
}

void Base64Encode_Ours(benchmark::State& state) {
  const std::string in = input(static_cast<std::size_t>(state.range(0)));
  std::vector<char> out(512);
  for (auto _ : state) {
    benchmark::DoNotOptimize(Base64encode(out.data(), in.data(), static_cast<int>(in.size())));
    benchmark::ClobberMemory();
  }
}
void Base64Encode_OpenSSL(benchmark::State& state) {
  const std::string in = input(static_cast<std::size_t>(state.range(0)));
  std::vector<unsigned char> out(512);
  for (auto _ : state) {
    benchmark::DoNotOptimize(EVP_EncodeBlock(out.data(),
                                             reinterpret_cast<const unsigned char*>(in.data()),
                                             static_cast<int>(in.size())));
    benchmark::ClobberMemory();
  }
}

void Md5_Ours(benchmark::State& state) {
  const std::string in = input(static_cast<std::size_t>(state.range(0)));
  char out[33];
  for (auto _ : state) {
    calcMD5(out, in.c_str());
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
  }
}
void Md5_OpenSSL(benchmark::State& state) {
  const std::string in = input(static_cast<std::size_t>(state.range(0)));
  unsigned char md[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(EVP_Digest(in.data(), in.size(), md, &size, EVP_md5(), nullptr));
    benchmark::ClobberMemory();
  }
}

// OpenSSL's AES-128-ECB as a caller would use it: one context per message, padding off,
// over the already zero-padded input; with the legacy handle (an implicit fetch per call)
// or with an algorithm fetched once.
const EVP_CIPHER* fetchedEcb() {
  static EVP_CIPHER* const cipher = EVP_CIPHER_fetch(nullptr, "AES-128-ECB", nullptr);
  return cipher;
}
const EVP_MD* fetchedMd5() {
  static EVP_MD* const md = EVP_MD_fetch(nullptr, "MD5", nullptr);
  return md;
}

void evpEcb(bool encrypt, const unsigned char* in, unsigned char* out, int size,
            const EVP_CIPHER* cipher = EVP_aes_128_ecb()) {
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  int n = 0;
  EVP_CipherInit_ex(ctx, cipher, nullptr, jc::crypto::kStoredKey.data(), nullptr, encrypt ? 1 : 0);
  EVP_CIPHER_CTX_set_padding(ctx, 0);
  EVP_CipherUpdate(ctx, out, &n, in, size);
  EVP_CipherFinal_ex(ctx, out + n, &n);
  EVP_CIPHER_CTX_free(ctx);
}

void Md5_OpenSSLFetched(benchmark::State& state) {
  const std::string in = input(static_cast<std::size_t>(state.range(0)));
  unsigned char md[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(EVP_Digest(in.data(), in.size(), md, &size, fetchedMd5(), nullptr));
    benchmark::ClobberMemory();
  }
}

void AesEncrypt_Ours(benchmark::State& state) {
  const std::string in = input(static_cast<std::size_t>(state.range(0)));
  std::vector<unsigned char> out(511);
  for (auto _ : state) {
    my_aes_encrypt(in.c_str(), out.data(), static_cast<int>(out.size()));
    benchmark::ClobberMemory();
  }
}
void AesEncrypt_OpenSSL(benchmark::State& state) {
  std::string in = input(static_cast<std::size_t>(state.range(0)));
  in.resize(jc::crypto::cipherLength(in.size()), '\0');
  std::vector<unsigned char> out(511);
  for (auto _ : state) {
    evpEcb(true, reinterpret_cast<const unsigned char*>(in.data()), out.data(),
           static_cast<int>(in.size()));
    benchmark::ClobberMemory();
  }
}

void AesEncrypt_OpenSSLFetched(benchmark::State& state) {
  std::string in = input(static_cast<std::size_t>(state.range(0)));
  in.resize(jc::crypto::cipherLength(in.size()), '\0');
  std::vector<unsigned char> out(511);
  for (auto _ : state) {
    evpEcb(true, reinterpret_cast<const unsigned char*>(in.data()), out.data(),
           static_cast<int>(in.size()), fetchedEcb());
    benchmark::ClobberMemory();
  }
}

void AesDecrypt_Ours(benchmark::State& state) {
  const std::string in = input(static_cast<std::size_t>(state.range(0)));
  std::vector<unsigned char> cipher(511);
  my_aes_encrypt(in.c_str(), cipher.data(), static_cast<int>(cipher.size()));
  const int size = static_cast<int>(jc::crypto::cipherLength(in.size()));
  std::vector<char> out(512);
  for (auto _ : state) {
    my_aes_decrypt(cipher.data(), size, out.data());
    benchmark::ClobberMemory();
  }
}
void AesDecrypt_OpenSSL(benchmark::State& state) {
  const std::string in = input(static_cast<std::size_t>(state.range(0)));
  std::vector<unsigned char> cipher(511);
  my_aes_encrypt(in.c_str(), cipher.data(), static_cast<int>(cipher.size()));
  const int size = static_cast<int>(jc::crypto::cipherLength(in.size()));
  std::vector<unsigned char> out(512);
  for (auto _ : state) {
    evpEcb(false, cipher.data(), out.data(), size);
    benchmark::ClobberMemory();
  }
}

void AesDecrypt_OpenSSLFetched(benchmark::State& state) {
  const std::string in = input(static_cast<std::size_t>(state.range(0)));
  std::vector<unsigned char> cipher(511);
  my_aes_encrypt(in.c_str(), cipher.data(), static_cast<int>(cipher.size()));
  const int size = static_cast<int>(jc::crypto::cipherLength(in.size()));
  std::vector<unsigned char> out(512);
  for (auto _ : state) {
    evpEcb(false, cipher.data(), out.data(), size, fetchedEcb());
    benchmark::ClobberMemory();
  }
}

}  // namespace

BENCHMARK(Base64Encode_Ours)->Apply(sizes);
BENCHMARK(Base64Encode_OpenSSL)->Apply(sizes);
BENCHMARK(Md5_Ours)->Apply(sizes);
BENCHMARK(Md5_OpenSSL)->Apply(sizes);
BENCHMARK(Md5_OpenSSLFetched)->Apply(sizes);
BENCHMARK(AesEncrypt_Ours)->Apply(sizes);
BENCHMARK(AesEncrypt_OpenSSL)->Apply(sizes);
BENCHMARK(AesEncrypt_OpenSSLFetched)->Apply(sizes);
BENCHMARK(AesDecrypt_Ours)->Apply(sizes);
BENCHMARK(AesDecrypt_OpenSSL)->Apply(sizes);
BENCHMARK(AesDecrypt_OpenSSLFetched)->Apply(sizes);

BENCHMARK_MAIN();
