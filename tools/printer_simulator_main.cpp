// printer-simulator: runs the printer's folder-list service on loopback by hand, for
// trying the folder-names button or a benchmark against something real.
#include <signal.h>

#include <charconv>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "printer_simulator.h"

namespace {

constexpr const char* kUsage = R"(Usage: printer-simulator [OPTION...]

Serves a printer's folder-list SOAP service at http://HOST:PORT/vorelia-mfp-srv on a
loopback address until interrupted. Every request is checked (method POST, the header
fields SOAPAction, Content-Type and Content-Length with their exact values and in that
order, no Expect, the body) and logged with what was wrong with it; a request that fails
its checks gets status 400.

Options:
  --host ADDRESS        numeric loopback address to listen on (default 127.0.0.1; ::1 works)
  --port N              port to listen on (default 0: any free port, printed at start)
  --port-file FILE      also write the chosen port to FILE
  --folder ENTRY        add a folder; ENTRY is NAME[,password][,dir] (repeatable)
  --folders N           add N generated folders "Folder 1" ... (every third protected)
  --fault MODE          how to answer (default none):
                          none                   200 with the folder list
                          delay                  the folder list after --delay-ms
                          never-answer           read the request, then stay silent
                          reset                  read the request, then reset the connection
                          redirect               --redirect-hops redirects, then the list
                          error-status           --status with a SOAP fault as body
                          malformed-xml          a document cut off halfway
                          unsupported-operation  result code "unsupported-operation"
                          huge-body              a list of at least --huge-bytes bytes
                          slow-drip              the list in --drip-bytes pieces, one
                                                 every --delay-ms
  --delay-ms N          delay for "delay" and "slow-drip" (default 1000)
  --status N            status for "error-status" (default 500)
  --redirect-hops N     redirects before the answer (default 1)
  --redirect-status N   status of each redirect (default 307)
  --location URL        where redirects point (default: the service again)
  --huge-bytes N        size for "huge-body" (default 67108864)
  --drip-bytes N        piece size for "slow-drip" (default 16)
  --expect-body FILE    the request body must equal FILE's bytes
  --quiet               do not log requests
  --help                show this text

Example: printer-simulator --port 8631 --folder Sales --folder "Board,password"
then type 127.0.0.1:8631 as the printer address and press "Get Folder Names".
)";

bool number(std::string_view text, long long& out) {
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && p == text.data() + text.size() && out >= 0;
}

// What the command line asks for.
struct Settings {
  jc::sim::Config config;
  std::string host = "127.0.0.1";
  std::string portFile;
  long long port = 0;
  bool quiet = false;
};

// NAME[,password][,dir]; false for an unknown flag.
bool parseFolder(std::string_view text, jc::sim::Folder& folder) {
  std::string entry(text);
  std::size_t comma = entry.find(',');
  folder.name = entry.substr(0, comma);
  while (comma != std::string::npos) {
    std::size_t next = entry.find(',', comma + 1);
    std::string flag =
        entry.substr(comma + 1, next == std::string::npos ? std::string::npos : next - comma - 1);
    if (flag == "password")
      folder.password = true;
    else if (flag == "dir")
      folder.dir = true;
    else
      return false;
    comma = next;
  }
  return true;
}

// The bytes of the file at `path`; false when it cannot be read.
bool readBytes(std::string_view path, std::string& bytes) {
  std::ifstream in{std::string(path), std::ios::binary};
  std::ostringstream read;
  read << in.rdbuf();
  bytes = read.str();
  return static_cast<bool>(in);
}

// Applies the option `arg`, taking its value through `value`; false for an unknown option
// or a missing or bad value.
bool applyOption(std::string_view arg, const std::function<bool(std::string_view&)>& value,
                 Settings& settings) {
  jc::sim::Config& config = settings.config;
  std::string_view v;
  long long n = 0;
  auto numeric = [&](long long& out) { return value(v) && number(v, out); };
  if (arg == "--host") return value(v) && (settings.host = std::string(v), true);
  if (arg == "--port") return numeric(settings.port) && settings.port <= 65535;
  if (arg == "--port-file") return value(v) && (settings.portFile = std::string(v), true);
  if (arg == "--folder") {
    if (!value(v)) return false;
    jc::sim::Folder folder;
    const bool ok = parseFolder(v, folder);
    config.folders.push_back(folder);
    return ok;
  }
  if (arg == "--folders") {
    if (!numeric(n)) return false;
    for (long long k = 1; k <= n; ++k)
      config.folders.push_back({"Folder " + std::to_string(k), k % 3 == 0, false});
    return true;
  }
  if (arg == "--fault") {
    auto fault = value(v) ? jc::sim::faultNamed(v) : std::nullopt;
    if (fault) config.fault = *fault;
    return fault.has_value();
  }
  if (arg == "--delay-ms") return numeric(n) && (config.delay = std::chrono::milliseconds(n), true);
  if (arg == "--status")
    return numeric(n) && n >= 100 && n <= 999 && (config.status = static_cast<int>(n), true);
  if (arg == "--redirect-hops")
    return numeric(n) && n < 1000 && (config.redirectHops = static_cast<int>(n), true);
  if (arg == "--redirect-status")
    return numeric(n) && n >= 300 && n <= 399 &&
           (config.redirectStatus = static_cast<int>(n), true);
  if (arg == "--location") return value(v) && (config.redirectLocation = std::string(v), true);
  if (arg == "--huge-bytes")
    return numeric(n) && (config.hugeBytes = static_cast<std::size_t>(n), true);
  if (arg == "--drip-bytes")
    return numeric(n) && n > 0 && (config.dripBytes = static_cast<std::size_t>(n), true);
  if (arg == "--expect-body") return value(v) && readBytes(v, config.expectedBody);
  if (arg == "--quiet") return settings.quiet = true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  Settings settings;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    auto value = [&](std::string_view& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    if (!applyOption(arg, value, settings)) {
      std::fprintf(stderr, "printer-simulator: bad option or value near \"%s\"; see --help\n",
                   argv[i]);
      return 2;
    }
  }
  const jc::sim::Config& config = settings.config;

  // Block the stop signals before any thread starts, then wait for one in main.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  jc::sim::PrinterSimulator simulator(config);
  if (!settings.quiet) {
    simulator.setLogger([](const jc::sim::Request& request) {
      std::printf("%s %s (%zu bytes)%s\n", request.method.c_str(), request.target.c_str(),
                  request.body.size(), request.problems.empty() ? " ok" : "");
      for (const std::string& problem : request.problems)
        std::printf("  problem: %s\n", problem.c_str());
      std::fflush(stdout);
    });
  }
  std::string error;
  if (!simulator.start(settings.host, static_cast<std::uint16_t>(settings.port), &error)) {
    std::fprintf(stderr, "printer-simulator: %s\n", error.c_str());
    return 1;
  }
  if (!settings.portFile.empty()) std::ofstream(settings.portFile) << simulator.port() << "\n";
  std::printf("printer simulator: %zu folders, fault %s, at http://%s%s\n", config.folders.size(),
              std::string(jc::sim::faultName(config.fault)).c_str(), simulator.address().c_str(),
              jc::sim::kServicePath);
  std::fflush(stdout);
  int signal = 0;
  sigwait(&stopSignals, &signal);
  simulator.stop();
  return 0;
}
