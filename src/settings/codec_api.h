// The value encodings and credential cipher as the writer, reader and preference store
// call them (the exported C functions of the plug-in).
#pragma once

#include <cstdint>

#include "platform/print_settings.h"

extern "C" {
int GetSpoolTime(char* out);
void myitoa(const unsigned char* in, char* out, std::uint32_t len);
void myatoi(const char* in, unsigned char* out, std::uint32_t len);
void ReplaceSpaceCode(unsigned char* buf, std::int64_t len);
bool encodingWindowsLatin1(void);
void my_aes_encrypt(const char* in, unsigned char* out, int outsize);
void my_aes_encrypt2(const char* in, const char* keytext, unsigned char* out, int outsize);
void my_aes_decrypt(const unsigned char* in, int inlen, char* out);
int Base64encode_len(int len);
int Base64encode(char* encoded, const char* bytes, int len);
int Base64decode_len(const char* coded);
int Base64decode(char* plain, const char* coded);
void calcMD5(char* out, const char* text);
void MyPMPrintSetAsciiCStrValue(jc::PrintSettings* settings, const char* key, const char* value);
void MyMultiPMPrintSetAsciiCStrValue(jc::PrintSettings* settings, const char* prefix,
                                     const char* value);
}
