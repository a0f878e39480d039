// The codecs as an outside program sees them: looked up by name in the built plug-in.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "support/test_paths.h"

namespace {

TEST(PluginExports, TheCodecsWorkWhenLookedUpByName) {
  // No dlclose: a host keeps a plug-in loaded for the rest of the process.
  void* plugin =
      dlopen((std::string(jc::test::kBundleDir) + "/JobControl.so").c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(plugin, nullptr) << dlerror();
  for (const char* name :
       {"my_aes_encrypt2", "Base64encode_len", "Base64decode_len", "Base64decode", "Base64encode",
        "GetSpoolTime", "ReplaceSpaceCode", "encodingWindowsLatin1", "MyPMPrintSetAsciiCStrValue",
        "MyMultiPMPrintSetAsciiCStrValue", "ArrayFromPPDOption", "FindChoiceForString",
        "InitPopUpFromArray"})
    EXPECT_NE(dlsym(plugin, name), nullptr) << name;
  auto* encrypt =
      reinterpret_cast<void (*)(const char*, unsigned char*, int)>(dlsym(plugin, "my_aes_encrypt"));
  auto* decrypt =
      reinterpret_cast<void (*)(const unsigned char*, int, char*)>(dlsym(plugin, "my_aes_decrypt"));
  auto* toHex = reinterpret_cast<void (*)(const unsigned char*, char*, std::uint32_t)>(
      dlsym(plugin, "myitoa"));
  auto* fromHex = reinterpret_cast<void (*)(const char*, unsigned char*, std::uint32_t)>(
      dlsym(plugin, "myatoi"));
  auto* md5 = reinterpret_cast<void (*)(char*, const char*)>(dlsym(plugin, "calcMD5"));
  ASSERT_TRUE(encrypt && decrypt && toHex && fromHex && md5);

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
}

}  // namespace
