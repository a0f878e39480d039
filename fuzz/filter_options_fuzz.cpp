// Feeds a queue's filter arbitrary options arguments, as any client that can submit a job
// may send, with the folders of an arbitrary PPD: the mapping must never crash, every
// entry it makes must be one the panel's entries table takes, nothing of ours may go on to
// the real filter, and the options argument it writes must read back as the options it
// can carry.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "hosts/common/entries.h"
#include "hosts/common/queue_options.h"
#include "hosts/common/queue_ppd.h"
#include "hosts/filter/filter_options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 16384) return 0;
  std::string input(reinterpret_cast<const char*>(data), size);
  // The options argument up to the first 0xFF byte; the PPD's text after it.
  const std::size_t cut = std::min(input.find('\xFF'), input.size());
  std::string options = input.substr(0, cut);
  options.erase(std::find(options.begin(), options.end(), '\0'), options.end());
  const std::string ppd = cut < input.size() ? input.substr(cut + 1) : std::string();
  std::map<std::string, std::string> folders;
  if (auto queue = jc::readJobControlQueue(ppd)) folders = queue->folders;

  const jc::filter::JobOptions parsed = jc::filter::parseJobOptions(options);
  auto job = jc::filter::mapJobOptions(parsed, folders);
  if (!job) return 0;
  if (job->entries.size() != job->sources.size()) std::abort();
  for (const std::string& entry : job->entries)
    if (!jc::parseAssignment(entry)) std::abort();
  for (const auto& [name, value] : job->passOn)
    if (jc::findQueueOption(name)) std::abort();

  // cupsParseOptions makes names of quotes and braces that no argument can carry back.
  jc::filter::JobOptions sent;
  for (const auto& option : job->passOn)
    if (jc::filter::isOptionName(option.first)) sent.push_back(option);
  // Keys that came with the job go on alone; the filter adds its own only to a job without.
  if (!job->carriesKeys)
    sent.emplace_back("vorelia.print.PrintSettings.spoolTime", "Sun, 6 Dec 2026 20:57:12 +0000");
  jc::filter::JobOptions back = jc::filter::parseJobOptions(jc::filter::encodeJobOptions(sent));
  std::sort(sent.begin(), sent.end());
  std::sort(back.begin(), back.end());
  if (back != sent) std::abort();
  return 0;
}
