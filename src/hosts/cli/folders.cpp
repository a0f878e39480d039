// `jobcontrol folders`: the Get Folder Names button, with a spinner on a terminal while the
// printer is asked, and the folder list the panel then shows.
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <iostream>
#include <pugixml.hpp>
#include <string_view>

#include "hosts/cli/columns.h"
#include "hosts/cli/commands.h"
#include "hosts/cli/json.h"
#include "hosts/common/messages.h"
#include "hosts/common/panel_driver.h"
#include "hosts/common/terminal_text.h"
#include "platform/io/runloop.h"
#include "platform/net/http.h"
#include "platform/text/unicode.h"

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
    // A line wider than the terminal wraps, and "\r" then returns only to the last
    // row: the text is cut to fit, leaving a column free for the cursor.
    std::size_t columns = terminalColumns();
    shown_ = columns > 3 ? fitColumns(text_, columns - 3) : text_;
    std::cerr << "\r" << kFrames[frame_++ % 4] << " " << shown_ << std::flush;
    timer_ = RunLoop::current().addTimer(std::chrono::milliseconds(120), [this] {
      timer_ = 0;
      draw();
    });
  }
  void stop() {
    if (!timer_) return;
    RunLoop::current().cancelTimer(timer_);
    timer_ = 0;
    std::cerr << "\r" << std::string(columnsOf(shown_) + 2, ' ') << "\r" << std::flush;
  }

  ProgressIndicator* indicator_;
  std::string text_;
  std::string shown_;
  std::size_t token_ = 0;
  RunLoop::Id timer_ = 0;
  unsigned frame_ = 0;
};

// Whether `body` parses as XML. The body is ours and not needed after, so it is parsed in
// place; each element's leading text stays in the element, which spares a node per text.
bool isXML(std::string& body) {
  return pugi::xml_document().load_buffer_inplace(body.data(), body.size(),
                                                  pugi::parse_default | pugi::parse_embed_pcdata);
}

// Why an exchange did not give the panel a list, in words that name the address; ""
// when it completed with an XML answer. `readAsList`: the panel has just read a folder
// list from this answer, which is then XML without parsing it again.
std::string exchangeProblem(std::optional<HttpExchangeEnd>& end, double seconds, bool readAsList) {
  using Outcome = HttpExchangeEnd::Outcome;
  if (!end || end->outcome == Outcome::NotStarted)
    return tr(
        "not a valid printer address (HOST or HOST:PORT, the port from 1 to 65535); "
        "no request was made");
  switch (end->outcome) {
    case Outcome::Cancelled:
      return subst(tr("no complete answer; timed out after %1 s"),
                   {std::to_string(std::lround(seconds))});
    case Outcome::Failed:
      return end->message;
    case Outcome::Finished:
      if (end->status < 200 || end->status > 299)
        return subst(tr("the printer answered with HTTP status %1"), {std::to_string(end->status)});
      if (!readAsList && !isXML(end->body)) return tr("the printer's answer is not XML");
      return "";
    case Outcome::NotStarted:
      break;
  }
  return "";
}

// The folder list as JSON, or one folder a line; after a failed exchange (`problem`), with
// a word that the list is an earlier answer's.
void printFolders(const Options& options, const std::string& address, const std::string& problem,
                  const std::vector<PanelFolder>& folders) {
  const bool failed = !problem.empty();
  if (options.json) {
    std::cout << "{\"address\":" << jsonString(address);
    if (failed) std::cout << ",\"error\":" << jsonString(problem) << ",\"earlierList\":true";
    std::cout << ",\"folders\":[";
    JsonSeparator comma;
    for (const PanelFolder& f : folders)
      std::cout << comma() << "\n  {\"name\":" << jsonString(f.name)
                << ",\"protected\":" << (f.protectedFolder ? "true" : "false") << "}";
    std::cout << "]}\n";
  } else {
    if (failed)
      std::cerr << "jobcontrol: "
                << (folders.empty() ? tr("the panel shows no folders from an earlier answer")
                                    : tr("the panel still shows the list of an earlier answer:"))
                << "\n";
    // A name is the printer's text: shown escaped, one folder per line whatever it holds.
    for (const PanelFolder& f : folders)
      std::cout << terminalText(f.name)
                << (f.protectedFolder ? std::string("\t") + tr("(protected)") : "") << "\n";
    if (!failed && folders.empty() && ::isatty(STDOUT_FILENO))
      std::cerr << tr("(the printer lists no folders)") << "\n";
  }
}

}  // namespace

int runFolders(const Options& options) {
  auto session = openSessionOrReport(options, "Untitled");
  if (!session) return kExitFailure;
  PanelDriver driver(session->view);
  if (!driver.find<Button>("getFolderNameButton")) {
    std::cerr << "jobcontrol: " << tr("the panel has no Get Folder Names button") << "\n";
    return kExitFailure;
  }
  if (options.address) {
    // A host name has at most 253 characters; with brackets and a port, 260 is the most an
    // address can take, and a longer one would only be echoed back in every message.
    constexpr std::size_t kMaxAddressCharacters = 260;
    if (std::size_t length = utf8ToUtf32(*options.address).size(); length > kMaxAddressCharacters) {
      std::cerr << "jobcontrol: --address: "
                << subst(tr("the address is %1 characters long; a printer address has at most %2"),
                         {std::to_string(length), std::to_string(kMaxAddressCharacters)})
                << "\n";
      return kExitUsage;
    }
    if (Result<> typed = driver.typeInto("printersAddressEditText", *options.address); !typed) {
      std::cerr << "jobcontrol: --address " << *options.address << ": " << typed.message() << "\n";
      return kExitUsage;
    }
  }
  auto* addressField = driver.find<TextField>("printersAddressEditText");
  std::string address = addressField ? addressField->stringValue() : "";
  if (address.empty()) {
    std::cerr << "jobcontrol: "
              << tr("no printer address given, and the panel knows none; give --address "
                    "HOST[:PORT]")
              << "\n";
    return kExitFailure;
  }

  // The panel reports any failure with one alert; the exchange's own end says why.
  std::optional<HttpExchangeEnd> end;
  setHttpExchangeObserver([&end](HttpExchangeEnd e) { end = std::move(e); });
  const auto started = std::chrono::steady_clock::now();
  {
    Spinner spinner(driver.find<ProgressIndicator>("chasingArrow"),
                    subst(tr("Asking %1 for its folders…"), {address}));
    if (Result<> pressed = driver.press("getFolderNameButton"); !pressed) {
      setHttpExchangeObserver(nullptr);
      std::cerr << "jobcontrol: Get Folder Names: " << pressed.message() << "\n";
      return kExitFailure;
    }
  }
  setHttpExchangeObserver(nullptr);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  // A list cut short at the limits is this answer's, shown with its alert (whose counts
  // close the line untranslated); the command still fails, as not every folder is there.
  // Such an alert also says the panel read the answer as a folder list: a long answer is
  // then not parsed a second time only to learn that it is XML.
  const std::string& alert = session->callback->alerts.lastMessage();
  const std::string_view cutShortEnd = " left out)";
  const bool cutShortAlert =
      session->callback->alerts.count() > 0 && alert.size() >= cutShortEnd.size() &&
      alert.compare(alert.size() - cutShortEnd.size(), std::string::npos, cutShortEnd) == 0;
  std::string problem = exchangeProblem(end, seconds, cutShortAlert);
  const bool cutShort = problem.empty() && cutShortAlert;
  if (problem.empty() && !cutShort && session->callback->alerts.count() > 0)
    problem = tr("the panel could not read the printer's answer");
  if (!problem.empty()) std::cerr << "jobcontrol: " << address << ": " << problem << "\n";

  const bool failed = !problem.empty();
  printFolders(options, address, problem, driver.folders());
  if (failed || cutShort) return kExitFailure;
  return std::cout.good() ? kExitSuccess : kExitFailure;
}

}  // namespace jc::cli
