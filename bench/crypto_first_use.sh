#!/usr/bin/env bash
# What the credential cipher and digest cost a short-lived process on their first use:
# one AES-128 block and one MD5 through nettle, as the panel does, beside the same through
# OpenSSL's AES block functions and MD5() (libcrypto loaded for them alone); whole processes
# in interleaved pairs (bench/pairs.py). bench_codecs gives the per-call side.
#
#   bench/crypto_first_use.sh [ROUNDS]     (needs nettle-dev and libssl-dev)
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
rounds="${1:-100}"
cc="${CC:-cc}"
work=$(mktemp -d /tmp/jc-crypto.XXXXXX)
trap 'rm -rf "$work"' EXIT

cat >"$work/nettle.c" <<'C'
#include <nettle/aes.h>
#include <nettle/md5.h>
int main(void) {
  unsigned char key[16] = {1}, in[16] = {2}, out[32];
  struct aes128_ctx schedule;
  struct md5_ctx md5;
  aes128_set_encrypt_key(&schedule, key);
  aes128_encrypt(&schedule, 16, out, in);
  md5_init(&md5);
  md5_update(&md5, 16, in);
  md5_digest(&md5, 16, out);
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
"$cc" -O2 -o "$work/nettle" "$work/nettle.c" -lnettle
"$cc" -O2 -o "$work/block" "$work/block.c" -lcrypto
python3 "$source_dir/bench/pairs.py" --rounds "$rounds" --label-a "nettle" \
  --label-b "OpenSSL block functions" "$work/nettle" "$work/block"
