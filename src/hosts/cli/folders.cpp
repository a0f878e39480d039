// `jobcontrol folders`: the Get Folder Names button, with a spinner on a terminal while the
// printer is asked, and the folder list the panel then shows.
#include <unistd.h>

#include <iostream>

#include "hosts/cli/commands.h"
#include "hosts/cli/json.h"
#include "hosts/cli/panel_driver.h"
#include "platform/runloop.h"

namespace jc::cli {

namespace {

// Mirrors the panel's busy indicator on standard error while it animates. The exchange
// waits on this thread's run loop, so a repeating timer there draws the frames.
class Spinner {
 public:
  Spinner(ProgressIndicator* indicator, std::string text)
      : indicator_(indicator), text_(std::move(text)) {
    if (!indicator_ || !::isatty(STDERR_FILENO)) return;
    token_ = indicator_->addObserver([this](Control&) { follow(); });
  }
  ~Spinner() {
    if (indicator_ && token_) indicator_->removeObserver(token_);
    stop();
  }
  Spinner(const Spinner&) = delete;
  Spinner& operator=(const Spinner&) = delete;

 private:
  void follow() {
    if (indicator_->isAnimating() && !timer_) {
      draw();
    } else if (!indicator_->isAnimating()) {
      stop();
    }
  }
  void draw() {
    static constexpr const char* kFrames[] = {"|", "/", "-", "\\"};
    std::cerr << "\r" << kFrames[frame_++ % 4] << " " << text_ << std::flush;
    timer_ = RunLoop::current().addTimer(std::chrono::milliseconds(120), [this] {
      timer_ = 0;
      draw();
    });
  }
  void stop() {
    if (!timer_) return;
    RunLoop::current().cancelTimer(timer_);
    timer_ = 0;
    std::cerr << "\r" << std::string(text_.size() + 2, ' ') << "\r" << std::flush;
  }

  ProgressIndicator* indicator_;
  std::string text_;
  std::size_t token_ = 0;
  RunLoop::Id timer_ = 0;
  unsigned frame_ = 0;
};

}  // namespace

int runFolders(const Options& options) {
  auto session = openSessionOrReport(options, "Untitled");
  if (!session) return kExitFailure;
  PanelDriver driver(session->view);
  if (!driver.find<Button>("getFolderNameButton")) {
    std::cerr << "jobcontrol: the panel has no Get Folder Names button\n";
    return kExitFailure;
  }
  if (options.address) {
    if (Result<> typed = driver.typeInto("printersAddressEditText", *options.address); !typed) {
      std::cerr << "jobcontrol: --address " << *options.address << ": " << typed.message() << "\n";
      return kExitUsage;
    }
  }
  auto* addressField = driver.find<TextField>("printersAddressEditText");
  std::string address = addressField ? addressField->stringValue() : "";
  if (address.empty()) {
    std::cerr << "jobcontrol: the printer's address is not known; give --address HOST[:PORT]\n";
    return kExitUsage;
  }

  {
    Spinner spinner(driver.find<ProgressIndicator>("chasingArrow"),
                    "Asking " + address + " for its folders…");
    if (Result<> pressed = driver.press("getFolderNameButton"); !pressed) {
      std::cerr << "jobcontrol: Get Folder Names: " << pressed.message() << "\n";
      return kExitFailure;
    }
  }
  // The panel has already shown its alert through our presenter.
  if (session->callback->alerts.count() > 0) return kExitFailure;

  // The folders follow the fixed items and the separator; a padlock marks a protected one.
  struct Folder {
    std::string name;
    bool protectedFolder;
  };
  std::vector<Folder> folders;
  if (auto* popup = driver.find<PopUpButton>("folderSelectionPopup")) {
    const MenuItem* first = popup->itemAtIndex(0);
    bool afterSeparator = false;
    for (const MenuItem& item : popup->items()) {
      if (item.separator) {
        afterSeparator = true;
        continue;
      }
      if (afterSeparator) folders.push_back({item.title, first && item.image != first->image});
    }
  }
  if (options.json) {
    std::cout << "{\"address\":" << jsonString(address) << ",\"folders\":[";
    JsonSeparator comma;
    for (const Folder& f : folders)
      std::cout << comma() << "\n  {\"name\":" << jsonString(f.name)
                << ",\"protected\":" << (f.protectedFolder ? "true" : "false") << "}";
    std::cout << "]}\n";
  } else {
    for (const Folder& f : folders)
      std::cout << f.name << (f.protectedFolder ? "\t(protected)" : "") << "\n";
    if (folders.empty() && ::isatty(STDOUT_FILENO)) std::cerr << "(the printer lists no folders)\n";
  }
  return std::cout.good() ? kExitSuccess : kExitFailure;
}

}  // namespace jc::cli
