// The folder-names button on a real panel against the printer simulator: the list it
// fetches, the alert, the progress indicator, and what happens without a usable address.
#include <gtest/gtest.h>

#include "platform/memory_host.h"
#include "plugin/icons.h"
#include "plugin/panel.h"
#include "printer_simulator.h"
#include "soap/folder_list.h"
#include "soap/soap_test_support.h"
#include "support/test_paths.h"

namespace jc::test {
namespace {

using namespace std::chrono_literals;

struct Alert {
  std::string title, message, button;
  bool operator==(const Alert&) const = default;
};

class RecordingHost : public MemoryPluginCallback, public AlertPresenter {
 public:
  AlertPresenter* alertPresenter() override { return this; }
  void runInformationalAlert(const std::string& title, const std::string& message,
                             const std::string& button) override {
    alerts.push_back({title, message, button});
  }
  std::vector<Alert> alerts;
};

const Alert kFailureAlert{"", "Could not retrieve Folder Names.", "OK"};

class FolderExchangeTest : public ExchangeFixture {
 protected:
  void SetUp() override {
    ExchangeFixture::SetUp();
    Result<PPDHandle> ppd = openPPDFile(std::string(kSourceDir) + "/tools/ppd/vorelia-demo.ppd");
    ASSERT_TRUE(ppd) << ppd.message();
    host->setPPD(std::move(*ppd));
    host->setPrinter(Printer("demo", std::string("socket://127.0.0.1:9100")));
    panel =
        std::make_unique<VoreliaPrintPdeTz630eJC>(host, Bundle::open(kBundleDir).value_or(nullptr));
    ASSERT_TRUE(panel->panelView());
    ASSERT_TRUE(panel->getFolderNameButton);
    ASSERT_TRUE(sim.start());
    sim::Config config;
    config.folders = kFolders;
    config.expectedBody = *panel->requestData;
    sim.setConfig(config);
  }
  void press(const std::string& address) {
    panel->printersAddressEditText->setStringValue(address);
    panel->getFolderNameButton->performClick();
  }
  // The titles of the folder pop-up's items after its two fixed ones ("-" for a separator).
  std::vector<std::string> popupTail() const {
    std::vector<std::string> titles;
    const PopUpButton& popup = *panel->folderSelectionPopup;
    for (int i = 2; i < popup.numberOfItems(); ++i)
      titles.push_back(popup.itemAtIndex(i)->separator ? "-" : popup.itemAtIndex(i)->title);
    return titles;
  }
  void fault(sim::Fault f) {
    sim::Config config = sim.config();
    config.fault = f;
    config.delay = 50ms;
    sim.setConfig(config);
  }

  const std::vector<sim::Folder> kFolders = {{"Sales"}, {"Board", true}, {"Archive", false, true}};
  const FolderList kList = {{"Sales"}, {"Board", true}, {"Archive", false, true}};
  std::shared_ptr<RecordingHost> host = std::make_shared<RecordingHost>();
  std::unique_ptr<VoreliaPrintPdeTz630eJC> panel;
  sim::PrinterSimulator sim;
};

TEST_F(FolderExchangeTest, FetchesTheListShowingProgressOnlyMeanwhileAndAlertsOnFailure) {
  bool sawBusy = false;  // a user event handled during the wait sees the indicator turning
  RunLoop::current().post(
      [&] { sawBusy = !panel->chasingArrow->isHidden() && panel->chasingArrow->isAnimating(); });
  press(sim.address());
  EXPECT_TRUE(sawBusy);
  EXPECT_EQ(panel->folderList, kList);
  EXPECT_EQ(popupTail(), (std::vector<std::string>{"-", "Sales", "Board", "Archive"}));
  EXPECT_EQ(panel->folderSelectionPopup->itemAtIndex(4)->image, systemIcon(kLockedIcon));
  auto requests = sim.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].problems, std::vector<std::string>{});  // includes the exact body

  // Failures and time-outs alert once each and keep the list of the last completed answer.
  soap::defaultExchangeLimits().overall = 300ms;
  for (sim::Fault failure : {sim::Fault::Reset, sim::Fault::NeverAnswer}) {
    fault(failure);
    panel->folderList.clear();
    press(sim.address());
    EXPECT_EQ(panel->folderList, kList);
    EXPECT_TRUE(panel->chasingArrow->isHidden());
    EXPECT_FALSE(panel->chasingArrow->isAnimating());
  }
  EXPECT_EQ(host->alerts, (std::vector<Alert>{kFailureAlert, kFailureAlert}));

  fault(sim::Fault::MalformedXml);  // completes (no alert) but is no list: the list stays
  press(sim.address());
  EXPECT_EQ(panel->folderList, kList);
  fault(sim::Fault::UnsupportedOperation);  // completes, and empties the list
  press(sim.address());
  EXPECT_TRUE(panel->folderList.empty());
  EXPECT_TRUE(popupTail().empty());
  EXPECT_EQ(host->alerts.size(), 2u);
}

TEST_F(FolderExchangeTest, WithoutAUsableAddressNothingIsSentAndTheFileIsReadAgain) {
  write(responseFile(), sim::folderListDocument({{"Kept"}}));
  const FolderList kept = {{"Kept"}};
  for (const char* address : {"", "not a host", "127.0.0.1:99999"}) {
    SCOPED_TRACE(address);
    panel->folderList.clear();
    press(address);
    EXPECT_EQ(panel->folderList, kept);
  }
  EXPECT_TRUE(sim.requests().empty());
  EXPECT_TRUE(host->alerts.empty());

  // Every attempt remembered the list, so a new panel for this printer starts with it.
  VoreliaPrintPdeTz630eJC bare(host, nullptr);
  EXPECT_EQ(bare.folderList, kept);
  bare.folderList.clear();  // without the button in the layout the action does nothing
  bare.getFolderNameButtonProc(*bare.getFolderNameButton);
  EXPECT_TRUE(bare.folderList.empty());
}

TEST_F(FolderExchangeTest, APlantedLinkIsReplacedNotFollowed) {
  std::string target = (dir_ / "victim").string();
  write(target, "precious");
  std::filesystem::create_symlink(target, responseFile());
  press(sim.address());
  EXPECT_EQ(panel->folderList, kList);
  EXPECT_FALSE(std::filesystem::is_symlink(responseFile()));
  EXPECT_EQ(contents(target), "precious");
}

TEST_F(FolderExchangeTest, AnAnswerBeyondTheLimitsKeepsTheFirstFoldersSaysSoAndStaysReadable) {
  // One list over the count, one whose names pass the byte budget before the count.
  const std::string longName(soap::kMaxFolderNameBytes / 100, 'n');
  const std::tuple<std::size_t, std::string, std::size_t> cases[] = {
      {soap::kMaxFolders + 7, "F", soap::kMaxFolders}, {150, longName, 100}};
  for (const auto& [listed, name, kept] : cases) {
    SCOPED_TRACE(listed);
    std::vector<sim::Folder> many(listed, sim::Folder{name});
    write(responseFile(), sim::folderListDocument(many));
    host->alerts.clear();
    press("");
    EXPECT_EQ(panel->folderList.size(), kept);
    ASSERT_EQ(host->alerts.size(), 1u);
    EXPECT_NE(host->alerts[0].message.find("(" + std::to_string(kept) + " kept, " +
                                           std::to_string(listed - kept) + " left out)"),
              std::string::npos)
        << host->alerts[0].message;
    // What was saved reads back whole in a new panel for the printer.
    VoreliaPrintPdeTz630eJC reopened(host, nullptr);
    EXPECT_EQ(reopened.folderList.size(), kept);
  }
  // An answer that is gone is not reported again.
  std::filesystem::remove(responseFile());
  host->alerts.clear();
  press("");
  EXPECT_TRUE(host->alerts.empty());
}

TEST_F(FolderExchangeTest, WithoutAPresenterTheAlertGoesToStandardError) {
  auto plain = std::make_shared<MemoryPluginCallback>();
  VoreliaPrintPdeTz630eJC quiet(plain, Bundle::open(kBundleDir).value_or(nullptr));
  ::testing::internal::CaptureStderr();
  quiet.recieveEndCallback();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Could not retrieve Folder Names.\n");
}

}  // namespace
}  // namespace jc::test
