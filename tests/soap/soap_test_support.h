// Shared pieces of the folder-exchange tests: a private temporary directory standing in
// for the user's, shortened exchange limits, and file helpers.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "soap/soap_client.h"
#include "support/scratch.h"

namespace jc::test {

/// Points $TMPDIR and the user's configuration folder at a fresh folder for the test's life
/// and sets exchange limits short enough that no test waits long; restores all afterwards.
class ExchangeFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "jc-soap-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    ::setenv("TMPDIR", dir_.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
    savedLimits_ = soap::defaultExchangeLimits();
    soap::defaultExchangeLimits().overall = std::chrono::milliseconds(3000);
    soap::defaultExchangeLimits().request = std::chrono::milliseconds(10000);
    soap::defaultExchangeLimits().step = std::chrono::milliseconds(1000);
  }
  void TearDown() override {
    soap::defaultExchangeLimits() = savedLimits_;
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  std::string responseFile() const { return soap::responseFilePath().value(); }
  static void write(const std::string& path, const std::string& data) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
  }

  std::filesystem::path dir_;
  // Put back when the fixture goes, after TearDown.
  EnvGuard tmpdir_{"TMPDIR"}, config_{"XDG_CONFIG_HOME"}, runtime_{"XDG_RUNTIME_DIR"};
  soap::ExchangeLimits savedLimits_;
};

}  // namespace jc::test
