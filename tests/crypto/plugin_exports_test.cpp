// The codecs as an outside program sees them: looked up by name in the built plug-in.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <regex>
#include <string>

#include "support/test_paths.h"

namespace {

class PluginExports : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string path = std::string(jc::test::kBundleDir) + "/JobControl.so";
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
  }
  // No dlclose: a host keeps a plug-in loaded for the rest of the process, and the
  // codecs keep OpenSSL algorithm handles for as long as their code is there.
  template <typename F>
  F* symbol(const char* name) {
    void* address = dlsym(handle_, name);
    EXPECT_NE(address, nullptr) << name;
    return reinterpret_cast<F*>(address);
  }

  void* handle_ = nullptr;
};

TEST_F(PluginExports, TheCodecsWorkWhenLookedUpByName) {
  auto* encrypt = symbol<void(const char*, unsigned char*, int)>("my_aes_encrypt");
  auto* decrypt = symbol<void(const unsigned char*, int, char*)>("my_aes_decrypt");
  auto* toHex = symbol<void(const unsigned char*, char*, std::uint32_t)>("myitoa");
  auto* fromHex = symbol<void(const char*, unsigned char*, std::uint32_t)>("myatoi");
  auto* md5 = symbol<void(char*, const char*)>("calcMD5");
  auto* b64 = symbol<int(char*, const char*, int)>("Base64encode");
  auto* spoolTime = symbol<int(char*)>("GetSpoolTime");
  ASSERT_TRUE(encrypt && decrypt && toHex && fromHex && md5 && b64 && spoolTime);
  for (const char* name : {"my_aes_encrypt2", "Base64encode_len", "Base64decode_len",
                           "Base64decode", "ReplaceSpaceCode", "encodingWindowsLatin1",
                           "MyPMPrintSetAsciiCStrValue", "MyMultiPMPrintSetAsciiCStrValue"}) {
    EXPECT_NE(dlsym(handle_, name), nullptr) << name;
  }

  // The retention pass code's way into the print settings and back.
  unsigned char cipher[511];
  encrypt("1234", cipher, sizeof cipher);
  char hex[33];
  toHex(cipher, hex, 16);
  EXPECT_STREQ(hex, "7411EF39CD63E8892E24EC3C2145985C");
  unsigned char back[17];
  fromHex(hex, back, 32);
  char plain[17];
  decrypt(back, 16, plain);
  EXPECT_STREQ(plain, "1234");

  char digest[33];
  md5(digest, "abc");
  EXPECT_STREQ(digest, "900150983cd24fb0d6963f7d28e17f72");
  char coded[8];
  EXPECT_EQ(b64(coded, "foo", 3), 5);
  EXPECT_STREQ(coded, "Zm9v");

  const char* savedTz = std::getenv("TZ");
  const std::string previous = savedTz ? savedTz : "";
  setenv("TZ", "UTC0", 1);
  char text[64];
  const int n = spoolTime(text);
  if (savedTz)
    setenv("TZ", previous.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
  EXPECT_EQ(n, static_cast<int>(std::strlen(text)));
  EXPECT_TRUE(std::regex_match(
      text, std::regex("(Mon|Tue|Wed|Thu|Fri|Sat|Sun), [1-9][0-9]? "
                       "(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [0-9]{4} "
                       "[0-2][0-9]:[0-5][0-9]:[0-6][0-9] \\+0000")))
      << text;
}

}  // namespace
