// `jobcontrol-filter`: the filter a queue that carries Job Control runs in front of its own.
// It checks the job's Job Control options, turns them into the panel's keys by driving the
// panel as `jobcontrol print` does, and runs the queue's real filter with the same data and
// the new options; a job it cannot serve stops with one "ERROR:" line that says why.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <optional>
#include <vector>

#include "hosts/common/queue_ppd.h"
#include "hosts/filter/filter_options.h"
#include "hosts/filter/filter_panel.h"
#include "platform/io/file_bytes.h"

namespace {

namespace fs = std::filesystem;
using jc::filter::JobOptions;

constexpr int kStop = 1;

int stop(const std::string& why) {
  std::fprintf(stderr, "ERROR: Job Control: %s\n", why.c_str());
  return kStop;
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The installed filter uses the installed bundle; the build tree's, the build tree's.
fs::path bundlePath() {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (!ec && self.parent_path() == fs::path(JOBCONTROL_BUILD_BINDIR))
    return JOBCONTROL_BUILD_BUNDLE;
  return JOBCONTROL_INSTALLED_BUNDLE;
}

// Runs the real filter in this process, with `options` as its options argument; answers
// only when it cannot. "-" is no filter at all: the data goes on unchanged.
int runRealFilter(const std::string& program, char** argv, int argc, const std::string& options) {
  std::string path = program;
  std::vector<std::string> args(argv, argv + argc);
  args[5] = options;
  if (program == "-") {
    path = "/bin/cat";
    args = {"cat"};
    if (argc > 6) args.emplace_back(argv[6]);
  } else if (!program.starts_with('/')) {
    std::string serverBin = environment("CUPS_SERVERBIN");
    path = (serverBin.empty() ? std::string(JOBCONTROL_CUPS_SERVERBIN) : serverBin) + "/filter/" +
           program;
  }
  std::vector<char*> raw;
  for (std::string& arg : args) raw.push_back(arg.data());
  raw.push_back(nullptr);
  std::fflush(stderr);
  ::execv(path.c_str(), raw.data());
  return stop("cannot run the queue's filter " + path + ": " + std::strerror(errno));
}

int run(int argc, char** argv) {
  if (argc < 6 || argc > 7) {
    std::fprintf(stderr, "Usage: %s job-id user title copies options [file]\n", argv[0]);
    return kStop;
  }
  jc::filter::FilterContext context{
      bundlePath(), environment("PPD"), environment("PRINTER"), environment("DEVICE_URI"), argv[2],
      argv[3]};
  std::optional<std::string> ppd;
  if (!context.ppdPath.empty()) ppd = jc::readFileBytes(context.ppdPath);
  if (!ppd) return stop("the queue's PPD ($PPD) cannot be read");
  auto queue = jc::readJobControlQueue(*ppd);
  if (!queue) return stop(queue.message());

  auto job = jc::filter::mapJobOptions(jc::filter::parseJobOptions(argv[5]), queue->folders);
  if (!job) return stop(job.message());
  // Keys made by a panel on the client go on as they are.
  if (job->carriesKeys) return runRealFilter(queue->realFilter, argv, argc, argv[5]);
  auto keys = jc::filter::panelKeys(context, *job);
  if (!keys) {
    if (job->asksAnything) return stop(keys.message());
    std::fprintf(stderr, "WARNING: Job Control: %s; the job goes on without its keys\n",
                 keys.message().c_str());
    return runRealFilter(queue->realFilter, argv, argc, jc::filter::encodeJobOptions(job->passOn));
  }
  JobOptions options = job->passOn;
  options.insert(options.end(), keys->begin(), keys->end());
  std::fprintf(stderr, "DEBUG: Job Control: %zu entries, %zu keys for %s\n", job->entries.size(),
               keys->size(), queue->realFilter.c_str());
  return runRealFilter(queue->realFilter, argv, argc, jc::filter::encodeJobOptions(options));
}

}  // namespace

int main(int argc, char** argv) {
  // The filter stays in the C locale: it shows no text to a person, its conversions name
  // their encodings, and loading the locale cupsd names (LANG) would cost every job time
  // for nothing it reads.
  // Whatever fails, the job stops with a line cupsd shows, rather than print unserved.
  try {
    return run(argc, argv);
  } catch (const std::exception& e) {
    return stop(e.what());
  }
}
