// A built panel on the demo printer, with the user's defaults in a private folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "plugin/panel_fixture.h"
#include "settings/keys.h"
#include "support/scratch.h"

namespace jc::test {

class PanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config_ = scratchPath("jc-config-");
    std::filesystem::remove_all(config_);
    std::filesystem::create_directories(config_);
    ::setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
    callback_ = demoCallback();
    settings_ = static_cast<MemoryPrintSettings*>(callback_->printSettings());
    panel_ = makePanel();
  }
  void TearDown() override {
    panel_.reset();
    std::filesystem::remove_all(config_);
    ::setenv("JOBCONTROL_SYSTEM_ENCODING", "0", 1);
  }
  /// A new panel for the same callback, built (view loaded, controls constructed).
  std::unique_ptr<VoreliaPrintPdeTz630eJC> makePanel() {
    auto panel = std::make_unique<VoreliaPrintPdeTz630eJC>(callback_, builtBundle());
    panel->panelView();
    return panel;
  }
  std::optional<std::string> value(const char* key) const { return settings_->value(key); }
  /// The spool-time text of the last save.
  std::string spoolTime() const;

  std::filesystem::path config_;
  std::shared_ptr<MemoryPluginCallback> callback_;
  MemoryPrintSettings* settings_ = nullptr;
  std::unique_ptr<VoreliaPrintPdeTz630eJC> panel_;
};

inline std::string PanelTest::spoolTime() const {
  std::string hex = value(settings::kSpoolTimeKey).value_or("");
  std::string text;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    text += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return text;
}

}  // namespace jc::test
