// `jobcontrol queue`: a CUPS queue whose PPD offers Job Control to every print dialog and to
// lp, with the wrapper filter in front of the queue's own; and the original PPD given back.
#include <cups/cups.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>

#include "hosts/cli/commands.h"
#include "hosts/cli/private_values.h"
#include "hosts/common/messages.h"
#include "hosts/common/panel_driver.h"
#include "hosts/common/queue_options.h"
#include "hosts/common/queue_ppd.h"
#include "hosts/common/terminal_text.h"
#include "platform/io/file_bytes.h"
#include "platform/io/temp_files.h"

namespace jc::cli {

namespace {

// A private temporary file for one exchange with cupsd, removed when it goes.
class ScratchFile {
 public:
  ScratchFile() {
    auto dir = userTemporaryDirectory();
    std::string pattern = (dir ? *dir : temporaryDirectory()) + "jobcontrol-queue.XXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd >= 0) {
      ::close(fd);
      path_ = pattern;
    }
  }
  ~ScratchFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  const std::string& path() const { return path_; }
  Result<std::string> read() const {
    std::optional<std::string> bytes = readFileBytes(path_);
    if (!bytes) return Refusal{path_ + ": " + tr("cannot be read")};
    return std::move(*bytes);
  }
  Result<> write(const std::string& bytes) const {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    if (!out) return Refusal{path_ + ": " + tr("cannot be written")};
    return accepted();
  }

 private:
  std::string path_;
};

// The queue's PPD as cupsd keeps it, byte for byte.
Result<std::string> fetchPPD(const std::string& queue) {
  ScratchFile file;
  if (file.path().empty()) return Refusal{tr("no temporary file could be made")};
  std::string path = file.path();
  time_t modified = 0;
  if (cupsGetPPD3(CUPS_HTTP_DEFAULT, queue.c_str(), &modified, path.data(), path.size() + 1) !=
      HTTP_STATUS_OK)
    return Refusal{subst(tr("%1: no PPD from CUPS (%2)"), {queue, cupsFailure()})};
  return file.read();
}

// Gives the queue `ppd` as its PPD, as lpadmin -P does; cupsd keeps the file as sent.
Result<> storePPD(const std::string& queue, const std::string& ppd) {
  ScratchFile file;
  if (file.path().empty()) return Refusal{tr("no temporary file could be made")};
  if (Result<> written = file.write(ppd); !written) return written;
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                   "/printers/%s", queue.c_str());
  ipp_t* request = ippNewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  ippDelete(cupsDoFileRequest(CUPS_HTTP_DEFAULT, request, "/admin/", file.path().c_str()));
  if (cupsLastError() > IPP_STATUS_OK_CONFLICTING)
    return Refusal{subst(tr("%1: CUPS did not take the PPD: %2"), {queue, cupsFailure()})};
  return accepted();
}

// The printer's folders, asked over the panel's Get Folder Names button (with `address`
// typed first when given); a refusal says why none could be had.
Result<std::vector<std::string>> fetchFolders(const Options& options, const std::string& queue) {
  Result<Session> session =
      openSession(options, PrinterChoice{PrinterChoice::Kind::Queue, queue, "--printer"}, "");
  if (!session) return session.refusal();
  PanelDriver driver(session->view);
  if (options.address)
    if (Result<> typed = driver.typeInto("printersAddressEditText", *options.address); !typed)
      return Refusal{"--address: " + typed.message()};
  auto* field = driver.find<TextField>("printersAddressEditText");
  if (!field || field->stringValue().empty())
    return Refusal{tr("the queue's device names no printer address; give --address HOST[:PORT]")};
  if (Result<> pressed = driver.press("getFolderNameButton"); !pressed) return pressed.refusal();
  if (session->callback->alerts.count() > 0)
    return Refusal{subst(tr("%1 gave no folder list: %2"),
                         {field->stringValue(), session->callback->alerts.lastMessage()})};
  std::vector<std::string> names;
  for (const PanelFolder& folder : driver.folders()) names.push_back(folder.name);
  return names;
}

std::vector<std::string> optionNames() {
  std::vector<std::string> names;
  for (const QueueOption& option : queueOptions()) names.emplace_back(option.keyword);
  return names;
}

// A connection of its own to the CUPS server: the file requests take no default one.
using HttpConnection = std::unique_ptr<http_t, void (*)(http_t*)>;
HttpConnection connectToServer() {
  return HttpConnection(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(),
                                     1, 30000, nullptr),
                        httpClose);
}

// Says whether cupsd keeps the options from other users, and with --private makes it so.
// False when --private was asked for and failed.
bool reportPrivacy(const Options& options) {
  ScratchFile file;
  HttpConnection http = connectToServer();
  if (file.path().empty() || !http ||
      cupsGetFile(http.get(), "/admin/conf/cupsd.conf", file.path().c_str()) != HTTP_STATUS_OK) {
    std::cerr << "jobcontrol: "
              << subst(tr("note: cupsd.conf could not be read (%1), so it is not known whether "
                          "other users see the Job Control choices of a job"),
                       {cupsLastErrorString()})
              << "\n";
    return !options.privateValues;
  }
  Result<std::string> conf = file.read();
  if (!conf) return !options.privateValues;
  std::vector<std::string> showing = policiesShowing(*conf, optionNames());
  if (showing.empty()) {
    std::cout << "  "
              << tr("cupsd keeps the Job Control choices from other users (JobPrivateValues)")
              << "\n";
    return true;
  }
  if (!options.privateValues) {
    std::cout << "  "
              << tr("other users can see a job's Job Control choices, pass codes among "
                    "them (Get-Job-Attributes); --private adds them to JobPrivateValues "
                    "in these policies:")
              << "\n";
    for (const std::string& line : showing) std::cout << "    " << line << "\n";
    return true;
  }
  Result<> written = file.write(withPrivateValues(*conf, optionNames()));
  if (!written || cupsPutFile(http.get(), "/admin/conf/cupsd.conf", file.path().c_str()) !=
                      HTTP_STATUS_CREATED) {
    std::cerr << "jobcontrol: "
              << subst(tr("cupsd.conf could not be written: %1"), {cupsLastErrorString()}) << "\n";
    return false;
  }
  std::cout << "  " << tr("added the Job Control options to JobPrivateValues; CUPS restarts")
            << "\n";
  return true;
}

// The wrapper as the PPD names it: by its name where it is installed in CUPS's filter
// folder, else by the full path it was installed at.
std::string defaultWrapper() {
  const std::string inCups = std::string(JOBCONTROL_CUPS_SERVERBIN) + "/filter/jobcontrol-filter";
  std::error_code ec;
  if (std::filesystem::equivalent(inCups, JOBCONTROL_INSTALLED_FILTER, ec) ||
      inCups == JOBCONTROL_INSTALLED_FILTER)
    return "jobcontrol-filter";
  return JOBCONTROL_INSTALLED_FILTER;
}

// A note when the wrapper is not where cupsd will look for it: every job would stop.
void checkWrapper(const std::string& wrapper) {
  const char* serverBin = std::getenv("CUPS_SERVERBIN");
  std::string path =
      wrapper.starts_with('/')
          ? wrapper
          : std::string(serverBin && *serverBin ? serverBin : JOBCONTROL_CUPS_SERVERBIN) +
                "/filter/" + wrapper;
  if (::access(path.c_str(), X_OK) != 0)
    std::cerr << "jobcontrol: "
              << subst(tr("note: %1 is not installed on this computer; its jobs stop until it is"),
                       {path})
              << "\n";
}

int enableOrRefresh(const Options& options, const std::string& queue, const std::string& ppd) {
  const bool refresh = options.files[0] == "refresh";
  std::string base = ppd;
  if (refresh) {
    Result<std::string> original = originalPPD(ppd);
    if (!original) {
      std::cerr << "jobcontrol: " << queue << ": " << original.message() << "\n";
      return kExitFailure;
    }
    base = *original;
  }
  if (!refresh && carriesJobControl(ppd)) {
    std::cerr << "jobcontrol: " << queue << ": "
              << tr("the queue carries Job Control already (`jobcontrol queue refresh` fetches "
                    "the folders again)")
              << "\n";
    return kExitFailure;
  }
  Result<std::vector<std::string>> folders = fetchFolders(options, queue);
  if (!folders) {
    std::cerr << "jobcontrol: " << queue << ": " << folders.message() << "\n";
    if (refresh) return kExitFailure;
    std::cerr << "jobcontrol: "
              << tr("note: the queue offers no folders of the printer; "
                    "`jobcontrol queue refresh` asks again")
              << "\n";
    folders = std::vector<std::string>{};
  }
  const std::string wrapper = options.filter.value_or(defaultWrapper());
  Result<JobControlPPD> enabled = addJobControl(base, wrapper, *folders);
  if (!enabled) {
    std::cerr << "jobcontrol: " << queue << ": " << enabled.message() << "\n";
    return kExitFailure;
  }
  if (Result<> stored = storePPD(queue, enabled->text); !stored) {
    std::cerr << "jobcontrol: " << stored.message() << "\n";
    return kExitFailure;
  }
  std::cout << subst(refresh ? tr("%1: Job Control refreshed:") : tr("%1: Job Control enabled:"),
                     {queue})
            << "\n";
  for (const std::string& change : enabled->changes) std::cout << "  " << change << "\n";
  for (const std::string& name : *folders) std::cout << "    " << terminalText(name) << "\n";
  checkWrapper(wrapper);
  return reportPrivacy(options) ? kExitSuccess : kExitFailure;
}

}  // namespace

int runQueue(const Options& options) {
  const std::string& queue = options.files[1];
  Result<std::string> ppd = fetchPPD(queue);
  if (!ppd) {
    std::cerr << "jobcontrol: " << ppd.message() << "\n";
    return kExitFailure;
  }
  if (options.files[0] != "disable") return enableOrRefresh(options, queue, *ppd);
  Result<std::string> original = originalPPD(*ppd);
  if (!original) {
    std::cerr << "jobcontrol: " << queue << ": " << original.message() << "\n";
    return kExitFailure;
  }
  if (Result<> stored = storePPD(queue, *original); !stored) {
    std::cerr << "jobcontrol: " << stored.message() << "\n";
    return kExitFailure;
  }
  std::cout << subst(tr("%1: Job Control disabled: the PPD it replaced is back (%2 bytes)"),
                     {queue, std::to_string(original->size())})
            << "\n";
  return kExitSuccess;
}

}  // namespace jc::cli
