// The folder-names button on a real panel against the printer simulator: the list it
// fetches, the alert, the progress indicator, and what happens without a usable address.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/epoll.h>
#include <unistd.h>

#include "platform/memory_host.h"
#include "plugin/icons.h"
#include "plugin/panel.h"
#include "printer_simulator.h"
#include "soap/soap_test_support.h"
#include "support/test_paths.h"

namespace jc::test {
namespace {

using namespace std::chrono_literals;

struct Alert {
  std::string title, message, button;
  bool operator==(const Alert&) const = default;
};

// A toolkit's main loop in place of the host's: epoll rather than poll, and events of its
// own (a frame timer, as a toolkit paints) besides what the panel registers with it.
class ToolkitLoop final : public RunLoop {
 public:
  ToolkitLoop() : epoll_(::epoll_create1(EPOLL_CLOEXEC)) {}
  ~ToolkitLoop() override { ::close(epoll_); }
  /// The host's own repeating timer.
  void everyFrame(Clock::duration period, std::function<void()> frame) {
    period_ = period;
    frame_ = std::move(frame);
    nextFrame_ = Clock::now() + period;
  }
  Id addTimer(Clock::duration delay, std::function<void()> fire) override {
    timers_[nextId_] = {Clock::now() + delay, std::move(fire)};
    return nextId_++;
  }
  void cancelTimer(Id id) override { timers_.erase(id); }
  Id watchFd(int fd, short events, std::function<void(short)> ready) override {
    watches_[nextId_] = {fd, std::move(ready)};
    epoll_event e{toEpoll(events), {.u64 = nextId_}};
    ::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &e);
    return nextId_++;
  }
  void updateWatch(Id id, short events) override {
    if (!watches_.count(id)) return;
    epoll_event e{toEpoll(events), {.u64 = id}};
    ::epoll_ctl(epoll_, EPOLL_CTL_MOD, watches_[id].fd, &e);
  }
  void removeWatch(Id id) override {
    if (!watches_.count(id)) return;
    ::epoll_ctl(epoll_, EPOLL_CTL_DEL, watches_[id].fd, nullptr);
    watches_.erase(id);
  }
  void post(std::function<void()> task) override { addTimer({}, std::move(task)); }
  bool runUntil(const std::function<bool()>& done, Clock::time_point deadline) override {
    for (;;) {
      if (done()) return true;
      Clock::time_point now = Clock::now();
      if (now >= deadline) return false;
      if (frame_ && now >= nextFrame_) {
        nextFrame_ += period_;
        frame_();
        continue;
      }
      if (auto due = std::find_if(timers_.begin(), timers_.end(),
                                  [&](auto& t) { return t.second.due <= now; });
          due != timers_.end()) {
        auto fire = std::move(due->second.fire);
        timers_.erase(due);
        fire();
        continue;
      }
      Clock::time_point wake = frame_ ? std::min(deadline, nextFrame_) : deadline;
      for (auto& [id, t] : timers_) wake = std::min(wake, t.due);
      auto ms = std::chrono::ceil<std::chrono::milliseconds>(wake - now).count();
      epoll_event ready[8];
      int n = ::epoll_wait(epoll_, ready, 8, static_cast<int>(ms));
      for (int i = 0; i < n; ++i) {
        auto it = watches_.find(ready[i].data.u64);
        if (it == watches_.end()) continue;
        auto callback = it->second.ready;
        callback(fromEpoll(ready[i].events));
      }
    }
  }

 private:
  static std::uint32_t toEpoll(short events) {
    return ((events & POLLIN) ? EPOLLIN : 0u) | ((events & POLLOUT) ? EPOLLOUT : 0u);
  }
  static short fromEpoll(std::uint32_t events) {
    return static_cast<short>(
        ((events & EPOLLIN) ? POLLIN : 0) | ((events & EPOLLOUT) ? POLLOUT : 0) |
        ((events & EPOLLERR) ? POLLERR : 0) | ((events & EPOLLHUP) ? POLLHUP : 0));
  }
  struct Timer {
    Clock::time_point due;
    std::function<void()> fire;
  };
  struct Watch {
    int fd;
    std::function<void(short)> ready;
  };
  int epoll_;
  Id nextId_ = 1;
  std::map<Id, Timer> timers_;
  std::map<Id, Watch> watches_;
  Clock::duration period_{};
  Clock::time_point nextFrame_;
  std::function<void()> frame_;
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
    std::string error;
    host->setPPD(openPPDFile(std::string(kSourceDir) + "/tools/ppd/vorelia-demo.ppd", &error));
    ASSERT_TRUE(host->ppdFile()) << error;
    host->setPrinter(Printer("demo", std::string("socket://127.0.0.1:9100")));
    panel = std::make_unique<VoreliaPrintPdeTz630eJC>(host, Bundle::open(kBundleDir, nullptr));
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

TEST_F(FolderExchangeTest, TheWaitServesTheHostsOwnLoopSoTheIndicatorAnimates) {
  ToolkitLoop loop;
  host->loop = &loop;
  int frames = 0, busyFrames = 0;
  loop.everyFrame(50ms, [&] {
    ++frames;
    if (panel->chasingArrow->isAnimating() && !panel->chasingArrow->isHidden()) ++busyFrames;
    if (frames == 3) press(sim.address());  // pressed again meanwhile: one exchange at a time
  });
  sim::Config config = sim.config();
  config.fault = sim::Fault::Delay;
  config.delay = 1500ms;
  sim.setConfig(config);
  press(sim.address());
  EXPECT_GE(frames, 20);
  EXPECT_GE(busyFrames, 20);
  EXPECT_EQ(panel->folderList, kList);
  EXPECT_EQ(sim.requests().size(), 1u);
  EXPECT_TRUE(panel->chasingArrow->isHidden());
}

TEST_F(FolderExchangeTest, APanelReleasedDuringItsAlertIsFinishedOnceIdle) {
  ToolkitLoop loop;
  host->loop = &loop;
  auto owned = std::make_shared<VoreliaPrintPdeTz630eJC>(host, Bundle::open(kBundleDir, nullptr));
  std::weak_ptr<VoreliaPrintPdeTz630eJC> alive = owned;
  std::shared_ptr<View> view = owned->panelView();
  std::shared_ptr<Button> button = owned->getFolderNameButton.get();
  std::shared_ptr<VoreliaPrintPdeTz630eJC> replacement;
  owned->printersAddressEditText->setStringValue("127.0.0.1:1");  // refused: the alert shows
  host->whileShowing = [&] {
    // A printer switch while the dialog's loop runs for the alert: the host lets go of the
    // panel and its view and makes a new one.
    owned.reset();
    view.reset();
    loop.runFor(20ms);
    replacement =
        std::make_shared<VoreliaPrintPdeTz630eJC>(host, Bundle::open(kBundleDir, nullptr));
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
}

TEST_F(FolderExchangeTest, ARefetchKeepsTheChosenFolderWhileTheListStillHasIt) {
  press(sim.address());  // Sales (3), Board (4), Archive (5)
  struct Case {
    int chosen;
    std::vector<sim::Folder> next;
    int selected;
  };
  const Case cases[] = {
      {3, {{"New"}, {"SALES"}}, 4},  // found again by name, letter case aside
      {4, {{"Sales"}}, 1},           // gone: main folder
      {-1, {{"Sales"}}, 1},          // nothing selected: main folder
      {0, {}, 0},                    // quick file and main folder stay
      {1, {{"Other"}}, 1},
  };
  for (const Case& c : cases) {
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

TEST_F(FolderExchangeTest, WithoutAPresenterTheAlertGoesToStandardError) {
  auto plain = std::make_shared<MemoryPluginCallback>();
  VoreliaPrintPdeTz630eJC quiet(plain, Bundle::open(kBundleDir, nullptr));
  ::testing::internal::CaptureStderr();
  quiet.recieveEndCallback();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Could not retrieve Folder Names.\n");
}

}  // namespace
}  // namespace jc::test
