// Benchmark of reading a folder answer by its declared encoding: the same list of Japanese
// folder names as a UTF-8 answer (read in place) and as a Shift_JIS one (converted with
// iconv first), so the cost of the conversion shows beside the parse itself.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "platform/text/text_encoding.h"
#include "printer_simulator.h"
#include "soap/folder_list.h"

namespace {

std::string answer(std::size_t folders, bool shiftJIS) {
  std::vector<jc::sim::Folder> list;
  for (std::size_t i = 0; i < folders; ++i)
    list.push_back({"\u55B6\u696D\u90E8 " + std::to_string(i), i % 3 == 0, false});
  std::string document = jc::sim::folderListDocument(list);
  if (!shiftJIS) return document;
  const std::string utf8Declaration = "encoding=\"UTF-8\"";
  document.replace(document.find(utf8Declaration), utf8Declaration.size(),
                   "encoding=\"Shift_JIS\"");
  return jc::convertText(document, jc::core_encoding::kShiftJIS, document.size(),
                         document.size() * 2, jc::Unconvertible::Stop)
      .bytes;
}

void BM_ReadFolderAnswer(benchmark::State& state) {
  auto n = static_cast<std::size_t>(state.range(0));
  const std::string document = answer(n, state.range(1) != 0);
  jc::FolderList list;
  for (auto _ : state) {
    // The reader takes its document over: each round parses a fresh copy.
    if (jc::soap::readFolderList(document, list) != jc::soap::FolderListResult::Accepted ||
        list.size() != std::min(n, jc::soap::kMaxFolders))
      state.SkipWithError("not read");
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * n));
  state.SetLabel(state.range(1) ? "Shift_JIS" : "UTF-8");
}
BENCHMARK(BM_ReadFolderAnswer)
    ->ArgsProduct({{1'000, 100'000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
