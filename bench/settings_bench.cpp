// The writer and reader per call, and a preference save + load cycle beside a bare
// write + fsync + rename of the same bytes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/host/memory_host.h"
#include "platform/io/bundle.h"
#include "platform/io/user_defaults.h"
#include "plugin/panel.h"

namespace {

namespace fs = std::filesystem;

// A built panel on a PPD-less host (no preferences) with every entry filled in.
struct Filled {
  std::shared_ptr<jc::MemoryPluginCallback> callback = std::make_shared<jc::MemoryPluginCallback>();
  std::unique_ptr<VoreliaPrintPdeTz630eJC> panel;
  explicit Filled(bool withPPD) {
    callback->setPrintSettings(std::make_shared<jc::MemoryPrintSettings>("Quarterly report"));
    if (withPPD) {
      callback->setPPD(jc::openPPDFile(JOBCONTROL_SOURCE_DIR "/tools/ppd/vorelia-demo.ppd")
                           .value_or(jc::PPDHandle(nullptr, ppdClose)));
      callback->setPrinter(jc::Printer("bench", std::string("ipp://127.0.0.1/ipp/print")));
    }
    panel = std::make_unique<VoreliaPrintPdeTz630eJC>(
        callback, jc::Bundle::open(JOBCONTROL_BUNDLE_DIR).value_or(nullptr));
    panel->panelView();
    auto& p = *panel;
    p.retentionCheckBox->setState(1);
    p.suspendKeyEditText->setStringValue("12345");
    p.folderPasswordEditText->setStringValue("42");
    p.loginNameEditText->setStringValue("j.doe@example.org");
    p.passwordEditText->setStringValue("correct horse battery");
    p.accountNumberEditText->setStringValue("777");
    p.userNameEditText->setStringValue("Jane Doe");
    p.jobNameEditText->setStringValue("Quarterly report");
    p.userNameButton->setState(1);
  }
};

void BM_Writer(benchmark::State& state) {
  Filled filled(false);
  for (auto _ : state) filled.panel->writeNonPPDSettingsToPrintSettings();
}
BENCHMARK(BM_Writer);

void BM_Reader(benchmark::State& state) {
  Filled filled(false);
  filled.panel->writeNonPPDSettingsToPrintSettings();
  for (auto _ : state) filled.panel->getNonPPDSettingsFromPrintSettings();
}
BENCHMARK(BM_Reader);

fs::path benchConfig() {
  fs::path folder = fs::temp_directory_path() / ("jc-bench-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
  return folder;
}

void BM_PreferenceSaveLoad(benchmark::State& state) {
  fs::path folder = benchConfig();
  Filled filled(true);
  for (auto _ : state) {
    filled.panel->SaveUserPreference();
    filled.panel->GetUserPreference();
  }
  fs::remove_all(folder);
}
BENCHMARK(BM_PreferenceSaveLoad)->Unit(benchmark::kMicrosecond);

// The floor: the same domain bytes written to a temporary file, flushed and renamed.
void BM_BareWriteFsyncRename(benchmark::State& state) {
  fs::path folder = benchConfig();
  Filled filled(true);
  filled.panel->SaveUserPreference();
  jc::UserDefaults store(folder / "jobcontrol");
  std::string bytes = jc::propertyListXML(*store.persistentDomain("vorelia.mfp.bench"));
  fs::path target = folder / "bare.plist";
  std::string temp = (folder / "bare.plist.tmp").string();
  for (auto _ : state) {
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
    ::fsync(fd);
    ::close(fd);
    ::rename(temp.c_str(), target.c_str());
  }
  fs::remove_all(folder);
}
BENCHMARK(BM_BareWriteFsyncRename)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
