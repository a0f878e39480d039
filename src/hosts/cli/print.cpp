// `jobcontrol print`: as `set`, then the files go to a CUPS queue as one job with the
// print settings as job options, in the manner of lp.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <variant>

#include "hosts/cli/commands.h"
#include "hosts/common/messages.h"
#include "platform/host/cups_host.h"

namespace jc::cli {

namespace {

// Standard input kept in a private temporary file for the length of the job, as CUPS
// wants a file it can send.
class StdinCopy {
 public:
  ~StdinCopy() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  Result<> make() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/jobcontrol-stdin.XXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) return Refusal{pattern + ": " + std::strerror(errno)};
    path_ = pattern;
    char buffer[65536];
    for (;;) {
      ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
      if (n == 0) break;
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 || ::write(fd, buffer, static_cast<std::size_t>(n)) != n) {
        Refusal refusal{std::string(tr("standard input")) + ": " + std::strerror(errno)};
        ::close(fd);
        return refusal;
      }
    }
    if (::close(fd) != 0) return Refusal{path_ + ": " + std::strerror(errno)};
    return accepted();
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Every file must be there before the panel is touched: a job that cannot be sent is
// better refused before anything is saved or remembered. Answers whether standard input is
// one of the documents, or the exit status of a refusal (already told).
std::variant<bool, int> checkFiles(const Options& options) {
  bool readsStdin = false;
  for (const std::string& file : options.files) {
    if (file == "-") {
      readsStdin = true;
      continue;
    }
    std::error_code ec;
    if (::access(file.c_str(), R_OK) != 0) {
      std::cerr << "jobcontrol: " << file << ": " << std::strerror(errno) << "\n";
      return kExitFailure;
    }
    if (!std::filesystem::is_regular_file(file, ec)) {
      std::cerr << "jobcontrol: " << subst(tr("%1: not a readable file"), {file}) << "\n";
      return kExitFailure;
    }
  }
  if (readsStdin && !::isatty(STDIN_FILENO))
    for (const std::string& word : options.entries)
      if (word.size() > 2 && word.compare(word.size() - 2, 2, "=-") == 0 && !options.secretsFile) {
        std::cerr << "jobcontrol: "
                  << tr("standard input is the document; give the secrets with "
                        "--secrets-file FILE")
                  << "\n";
        return kExitUsage;
      }
  return readsStdin;
}

// Submits `files` to `queue` with the panel's saved settings, the standard attributes and
// the user's own options, and says lp's line. The exit status, the refusal already told.
int sendJob(const Session& session, const Options& options, const std::string& queue,
            const std::vector<std::string>& files) {
  auto standard = standardJobAttributes(session, options);
  if (!standard) return kExitUsage;
  std::vector<std::pair<std::string, std::string>> extra = options.jobOptions;
  extra.insert(extra.end(), standard->begin(), standard->end());
  if (options.copies) extra.emplace_back("copies", std::to_string(*options.copies));
  Result<int> job =
      submitCupsJob(queue, files, session.settings->jobName(), *session.settings, extra);
  if (!job) {
    std::cerr << "jobcontrol: "
              << subst(tr("%1: the job was not accepted: %2"), {queue, job.message()}) << "\n";
    return kExitFailure;
  }
  if (!options.quiet)
    // lp's own line, word for word in every language: scripts read the job ID from it.
    std::cout << "request id is " << queue << "-" << *job << " (" << files.size() << " file(s))\n";
  return kExitSuccess;
}

}  // namespace

int runPrint(const Options& given) {
  Options options = given;
  auto choice = choosePrinter(options);
  if (!choice) {
    std::cerr << "jobcontrol: " << choice.message() << "\n";
    return kExitFailure;
  }
  if (choice->kind != PrinterChoice::Kind::Queue) {
    std::cerr << "jobcontrol: "
              << tr("no printer queue to print to: give -d QUEUE (or --printer QUEUE), set "
                    "$PRINTER, or make a CUPS default with `lpoptions -d QUEUE`; "
                    "`jobcontrol printers` lists the queues")
              << "\n";
    return kExitUsage;
  }

  const std::variant<bool, int> checked = checkFiles(options);
  if (const int* status = std::get_if<int>(&checked)) return *status;
  const bool readsStdin = std::get<bool>(checked);

  std::string title = options.files.front() == "-"
                          ? std::string("stdin")
                          : std::filesystem::path(options.files.front()).filename().string();
  Options forSession = options;
  forSession.printer = choice->queue;
  auto session = openSessionOrReport(forSession, title);
  if (!session) return kExitFailure;
  if (int status = applyEntries(*session, options); status != kExitSuccess) return status;

  StdinCopy stdinCopy;
  std::vector<std::string> files = options.files;
  if (readsStdin) {
    if (Result<> copied = stdinCopy.make(); !copied) {
      std::cerr << "jobcontrol: " << copied.message() << "\n";
      return kExitFailure;
    }
    for (std::string& file : files)
      if (file == "-") file = stdinCopy.path();
  }

  const bool remembered = saveAndConfirm(*session, options);
  if (Result<> written = writeOutFile(*session, options); !written) {
    std::cerr << "jobcontrol: " << written.message() << "\n";
    return kExitFailure;
  }

  if (int sent = sendJob(*session, options, choice->queue, files); sent != kExitSuccess)
    return sent;
  // The job went out with valid settings; the status still tells that the preferences
  // were not kept.
  return std::cout.good() && remembered ? kExitSuccess : kExitFailure;
}

}  // namespace jc::cli
