#!/usr/bin/env bash
# What the credential cipher and digest cost a short-lived process on their first use:
# one AES-128 block and one MD5 through EVP (whose first fetch builds OpenSSL's table of
# every algorithm name) beside the same through the AES block functions and MD5(), as the
# panel does; whole processes in interleaved pairs (bench/pairs.py). bench_codecs gives
# the per-call side of the same choice.
#
#   bench/crypto_first_use.sh [ROUNDS]     (not for CI)
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
rounds="${1:-100}"
cc="${CC:-cc}"
work=$(mktemp -d /tmp/jc-crypto.XXXXXX)
trap 'rm -rf "$work"' EXIT

cat >"$work/evp.c" <<'C'
#include <openssl/crypto.h>
#include <openssl/evp.h>
int main(void) {
  unsigned char key[16] = {1}, in[16] = {2}, out[32];
  int n = 0;
  unsigned int size = 0;
  OPENSSL_init_crypto(OPENSSL_INIT_NO_LOAD_CONFIG, NULL);
  EVP_CIPHER* aes = EVP_CIPHER_fetch(NULL, "AES-128-ECB", NULL);
  EVP_MD* md5 = EVP_MD_fetch(NULL, "MD5", NULL);
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  EVP_CipherInit_ex(ctx, aes, NULL, key, NULL, 1);
  EVP_CIPHER_CTX_set_padding(ctx, 0);
  EVP_CipherUpdate(ctx, out, &n, in, 16);
  EVP_Digest(in, 16, out, &size, md5, NULL);
  return out[0] == 0 && out[1] == 0;
}
C
cat >"$work/block.c" <<'C'
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/aes.h>
#include <openssl/crypto.h>
#include <openssl/md5.h>
int main(void) {
  unsigned char key[16] = {1}, in[16] = {2}, out[32];
  AES_KEY schedule;
  OPENSSL_init_crypto(OPENSSL_INIT_NO_LOAD_CONFIG, NULL);
  AES_set_encrypt_key(key, 128, &schedule);
  AES_ecb_encrypt(in, out, &schedule, AES_ENCRYPT);
  MD5(in, 16, out);
  return out[0] == 0 && out[1] == 0;
}
C
for side in evp block; do
  "$cc" -O2 -o "$work/$side" "$work/$side.c" -lcrypto
done
python3 "$source_dir/bench/pairs.py" --rounds "$rounds" --label-a "block functions" \
  --label-b "EVP" "$work/block" "$work/evp"
