// Benchmarks of the folder exchange: the SOAP client's round trip beside a plain libcurl
// POST of the same request to the same simulator, and reading plus showing folder lists
// of growing length. Run one size per process for a meaningful peak_rss_MiB, for example
// --benchmark_filter='BM_Parse/100000$'.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "platform/host/memory_host.h"
#include "plugin/panel.h"
#include "printer_simulator.h"
#include "soap/folder_list.h"
#include "soap/soap_client.h"

namespace {

struct NoCallback : SOAPClientCallback {
  void recieveEndCallback() override { ++failures; }
  int failures = 0;
};

std::string requestBody() {
  std::ifstream in(std::string(JC_BUNDLE_DIR) + "/Resources/listfiles.xml", std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// One simulator for the whole run, serving ten folders.
jc::sim::PrinterSimulator& simulator() {
  static jc::sim::PrinterSimulator* sim = [] {
    jc::sim::Config config;
    for (int i = 0; i < 10; ++i)
      config.folders.push_back({"Folder " + std::to_string(i), i % 3 == 0});
    auto* s = new jc::sim::PrinterSimulator(config);
    if (!s->start()) std::abort();
    return s;
  }();
  return *sim;
}

std::string serviceURL() {
  return "http://" + simulator().address() + jc::sim::kServicePath;
}

void BM_FetchRoundTrip(benchmark::State& state) {
  std::string body = requestBody();
  std::string url = serviceURL();
  NoCallback context;
  for (auto _ : state) {
    auto client = VoreliaPrintPdeTz630eJCSOAPClient::initWithServerName(url, &context);
    client->sendMessage(body);
    if (client->finishedState() != 1) state.SkipWithError("exchange did not complete");
  }
}
BENCHMARK(BM_FetchRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

std::size_t collect(char* data, std::size_t size, std::size_t count, void* out) {
  static_cast<std::string*>(out)->append(data, size * count);
  return size * count;
}

void BM_PlainCurlPost(benchmark::State& state) {
  std::string body = requestBody();
  std::string url = serviceURL();
  for (auto _ : state) {
    CURL* curl = curl_easy_init();
    curl_slist* headers = nullptr;
    headers = curl_slist_append(headers, "SOAPAction: \"SoapActionDummy\"");
    headers = curl_slist_append(headers, "Content-Type: application/soap; charset=\"utf-8\"");
    std::string response;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &response);
    if (curl_easy_perform(curl) != CURLE_OK) state.SkipWithError("POST failed");
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
  }
}
BENCHMARK(BM_PlainCurlPost)->Unit(benchmark::kMicrosecond)->UseRealTime();

// parseXML, with or without makeFolderPopup, on a panel made from the real layout, for N
// folders. Each iteration is a second press of the button: the pop-up already holds the
// previous list.
void parseAndShow(benchmark::State& state, bool popup) {
  auto n = static_cast<std::size_t>(state.range(0));
  std::vector<jc::sim::Folder> folders;
  for (std::size_t i = 0; i < n; ++i)
    folders.push_back({"Folder " + std::to_string(i), i % 3 == 0, i % 7 == 0});
  std::string path = jc::soap::responseFilePath().value();
  std::ofstream(path, std::ios::binary | std::ios::trunc) << jc::sim::folderListDocument(folders);

  auto host = std::make_shared<jc::MemoryPluginCallback>();
  host->setPPD(jc::openPPDFile(std::string(JC_SOURCE_DIR) + "/tools/ppd/vorelia-demo.ppd")
                   .value_or(jc::PPDHandle(nullptr, ppdClose)));
  host->setPrinter(jc::Printer("bench", std::string("socket://127.0.0.1:9100")));
  VoreliaPrintPdeTz630eJC panel(host, jc::Bundle::open(JC_BUNDLE_DIR).value_or(nullptr));
  panel.panelView();
  for (auto _ : state) {
    if (!panel.parseXML(path) || panel.folderList.size() != std::min(n, jc::soap::kMaxFolders))
      state.SkipWithError("parse failed");
    if (popup) panel.makeFolderPopup();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * n));
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_Parse(benchmark::State& state) {
  parseAndShow(state, false);
}
void BM_ParseAndPopup(benchmark::State& state) {
  parseAndShow(state, true);
}
BENCHMARK(BM_Parse)->Arg(100)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseAndPopup)->Arg(100)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // The response file goes to a private folder, never the user's real one.
  const char* base = std::getenv("JC_BENCH_TMP");
  std::string pattern = std::string(base ? base : "/tmp") + "/jc-bench-XXXXXX";
  char* dir = ::mkdtemp(pattern.data());
  if (!dir) return 1;
  ::setenv("TMPDIR", dir, 1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::string cleanup = std::string("rm -rf '") + dir + "'";
  return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
