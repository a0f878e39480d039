// The folder-names button on a real panel against the printer simulator: the list it
// fetches, the alert, the progress indicator, and what happens without a usable address.
#include <gtest/gtest.h>

#include "platform/host/memory_host.h"
#include "plugin/icons.h"
#include "plugin/panel_fixture.h"
#include "printer_simulator.h"
#include "soap/folder_list.h"
#include "soap/soap_test_support.h"

namespace jc::test {
namespace {

using namespace std::chrono_literals;

struct Alert {
  std::string title, message, button;
  bool operator==(const Alert&) const = default;
};

// A toolkit's frame timer on the host's own loop (not the thread's), as a display paints.
class FrameTimer {
 public:
  FrameTimer(RunLoop& loop, RunLoop::Clock::duration period, std::function<void()> frame)
      : loop_(loop), period_(period), frame_(std::move(frame)) {
    arm();
  }

 private:
  void arm() {
    next_ += period_;
    loop_.addTimer(next_ - RunLoop::Clock::now(), [this] {
      frame_();
      arm();
    });
  }
  RunLoop& loop_;
  RunLoop::Clock::duration period_;
  std::function<void()> frame_;
  RunLoop::Clock::time_point next_ = RunLoop::Clock::now();
};

class RecordingHost : public MemoryPluginCallback, public AlertPresenter {
 public:
  AlertPresenter* alertPresenter() override { return this; }
  RunLoop* runLoop() override { return loop; }
  void runInformationalAlert(const std::string& title, const std::string& message,
                             const std::string& button) override {
    alerts.push_back({title, message, button});
    if (whileShowing) whileShowing();
  }
  std::vector<Alert> alerts;
  RunLoop* loop = nullptr;  ///< nullptr: the thread's poll loop
  std::function<void()> whileShowing;
};

const Alert kFailureAlert{"", "Could not retrieve Folder Names.", "OK"};

class FolderExchangeTest : public ExchangeFixture {
 protected:
  void SetUp() override {
    ExchangeFixture::SetUp();
    panel = std::make_unique<VoreliaPrintPdeTz630eJC>(host, builtBundle());
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
  void fault(sim::Fault f, std::chrono::milliseconds delay = 50ms) {
    sim::Config config = sim.config();
    config.fault = f;
    config.delay = delay;
    sim.setConfig(config);
  }

  const std::vector<sim::Folder> kFolders = {{"Sales"}, {"Board", true}, {"Archive", false, true}};
  const FolderList kList = {{"Sales"}, {"Board", true}, {"Archive", false, true}};
  std::shared_ptr<RecordingHost> host =
      demoCallback<RecordingHost>("demo", "socket://127.0.0.1:9100");
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

  // Failures, error statuses and time-outs alert once each and keep the last answer's list.
  soap::defaultExchangeLimits().overall = 300ms;
  const std::string answer = *contents(responseFile());
  for (sim::Fault failure : {sim::Fault::Reset, sim::Fault::ErrorStatus, sim::Fault::NeverAnswer}) {
    fault(failure);
    panel->folderList.clear();
    press(sim.address());
    EXPECT_EQ(panel->folderList, kList);
    EXPECT_EQ(contents(responseFile()), answer);
    EXPECT_TRUE(panel->chasingArrow->isHidden() && !panel->chasingArrow->isAnimating());
  }
  EXPECT_EQ(host->alerts, (std::vector<Alert>{kFailureAlert, kFailureAlert, kFailureAlert}));

  fault(sim::Fault::MalformedXml);  // completes (no alert) but is no list: the list stays
  press(sim.address());
  EXPECT_EQ(panel->folderList, kList);
  fault(sim::Fault::UnsupportedOperation);  // completes, and empties the list
  press(sim.address());
  EXPECT_TRUE(panel->folderList.empty());
  EXPECT_TRUE(popupTail().empty());
  EXPECT_EQ(host->alerts.size(), 3u);
}

TEST_F(FolderExchangeTest, TheWaitServesTheHostsOwnLoopSoTheIndicatorAnimates) {
  PollRunLoop loop;
  host->loop = &loop;
  int frames = 0, busyFrames = 0;
  FrameTimer timer(loop, 50ms, [&] {
    ++frames;
    if (panel->chasingArrow->isAnimating() && !panel->chasingArrow->isHidden()) ++busyFrames;
    if (frames == 3) press(sim.address());  // pressed again meanwhile: one exchange at a time
  });
  fault(sim::Fault::Delay, 1500ms);
  press(sim.address());
  EXPECT_GE(frames, 20);
  EXPECT_GE(busyFrames, 20);
  RecordProperty("frames", frames);
  RecordProperty("busy_frames", busyFrames);
  EXPECT_EQ(panel->folderList, kList);
  EXPECT_EQ(sim.requests().size(), 1u);
  EXPECT_TRUE(panel->chasingArrow->isHidden());
}

TEST_F(FolderExchangeTest, APanelReleasedDuringItsAlertIsFinishedOnceIdle) {
  PollRunLoop loop;
  host->loop = &loop;
  auto owned = std::make_shared<VoreliaPrintPdeTz630eJC>(host, builtBundle());
  std::weak_ptr<VoreliaPrintPdeTz630eJC> alive = owned;
  std::shared_ptr<View> view = owned->panelView();
  std::shared_ptr<Button> button = owned->getFolderNameButton.get();
  std::shared_ptr<VoreliaPrintPdeTz630eJC> replacement;
  owned->printersAddressEditText->setStringValue("127.0.0.1:1");  // refused: the alert shows
  host->whileShowing = [&] {
    // A printer switch during the alert: the host lets go of panel and view, makes another.
    owned.reset();
    view.reset();
    loop.runFor(20ms);
    replacement = std::make_shared<VoreliaPrintPdeTz630eJC>(host, builtBundle());
    EXPECT_TRUE(replacement->panelView());
    EXPECT_FALSE(alive.expired());
  };
  EXPECT_TRUE(button->performClick());
  EXPECT_EQ(host->alerts.size(), 1u);
  EXPECT_FALSE(alive.expired());  // the click's callers are still on the stack
  loop.runFor(10ms);
  EXPECT_TRUE(alive.expired());
  // The host still holds the old button: pressing it reaches no one.
  EXPECT_TRUE(button->performClick());
  EXPECT_EQ(host->alerts.size(), 1u);

  // Let go during the exchange itself: the exchange ends, but nobody is alerted.
  soap::defaultExchangeLimits().overall = 300ms;
  fault(sim::Fault::NeverAnswer);
  replacement->printersAddressEditText->setStringValue(sim.address());
  alive = replacement;
  button = replacement->getFolderNameButton.get();
  FrameTimer timer(loop, 50ms, [&] { replacement.reset(); });
  EXPECT_TRUE(button->performClick());
  EXPECT_EQ(host->alerts.size(), 1u);
  loop.runFor(10ms);
  EXPECT_TRUE(alive.expired());
}

TEST_F(FolderExchangeTest, ARefetchKeepsTheChosenFolderWhileTheListStillHasIt) {
  press(sim.address());  // Sales (3), Board (4), Archive (5)
  struct Case {
    int chosen;
    std::vector<sim::Folder> next;
    int selected;
  };
  // Found again by name (case aside); gone or none selected: main folder; fixed items stay.
  for (const Case& c : {Case{3, {{"New"}, {"SALES"}}, 4}, Case{4, {{"Sales"}}, 1},
                        Case{-1, {{"Sales"}}, 1}, Case{0, {}, 0}, Case{1, {{"Other"}}, 1}}) {
    SCOPED_TRACE(c.chosen);
    sim::Config config = sim.config();
    config.folders = {{"Sales"}, {"Board", true}, {"Archive"}};
    sim.setConfig(config);
    press(sim.address());
    panel->folderSelectionPopup->selectItemAtIndex(c.chosen);
    config.folders = c.next;
    sim.setConfig(config);
    press(sim.address());
    EXPECT_EQ(panel->folderSelectionPopup->indexOfSelectedItem(), c.selected);
  }
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
  // Over the count, and names over the byte budget before the count.
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
    std::string says =
        "(" + std::to_string(kept) + " kept, " + std::to_string(listed - kept) + " left out)";
    EXPECT_NE(host->alerts[0].message.find(says), std::string::npos) << host->alerts[0].message;
    EXPECT_EQ(VoreliaPrintPdeTz630eJC(host, nullptr).folderList.size(), kept);  // saved whole
  }
  // An answer that is gone is not reported again.
  std::filesystem::remove(responseFile());
  host->alerts.clear();
  press("");
  EXPECT_TRUE(host->alerts.empty());
}

TEST_F(FolderExchangeTest, WithoutAPresenterTheAlertGoesToStandardError) {
  auto plain = std::make_shared<MemoryPluginCallback>();
  VoreliaPrintPdeTz630eJC quiet(plain, builtBundle());
  ::testing::internal::CaptureStderr();
  quiet.recieveEndCallback();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Could not retrieve Folder Names.\n");
}

}  // namespace
}  // namespace jc::test
