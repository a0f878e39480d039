// Driving the panel for one job in the queue's filter.
#include "hosts/filter/filter_panel.h"

#include <optional>

#include "hosts/common/entries.h"
#include "hosts/common/open_panel.h"
#include "hosts/common/panel_driver.h"
#include "hosts/common/queue_options.h"
#include "platform/host/memory_host.h"
#include "platform/io/user_defaults.h"
#include "platform/text/unicode.h"
#include "settings/keys.h"

namespace jc::filter {

namespace {

// The user name field takes what the writer keeps of it.
constexpr std::size_t kUserNameCharacters = 32;

// The refusal of one entry, worded for the log: a value of a masked option is never shown.
Refusal entryRefusal(const std::string& source, const std::string& word, const std::string& why) {
  const QueueOption* option = findQueueOption(source);
  const Entry* entry = findEntry(word.substr(0, word.find('=')));
  if (option && option->secret() && entry && !entry->secret)
    return Refusal{source + ": the panel refused the value"};
  return Refusal{source + ": " + why};
}

}  // namespace

Result<std::map<std::string, std::string>> panelKeys(const FilterContext& context,
                                                     const FilterJob& job) {
  // The filter runs as one system user for every job, whose held entries must not pass
  // from one job to the next: the panel's preferences live and die with this process.
  UserDefaults::keepInMemory();
  auto callback = std::make_shared<MemoryPluginCallback>();
  Result<PPDHandle> ppd = openPPDFile(context.ppdPath);
  if (!ppd) return ppd.refusal();
  callback->setPPD(std::move(*ppd));
  callback->setPrinter(Printer(context.queue, context.deviceURI.empty()
                                                  ? std::nullopt
                                                  : std::optional<std::string>(context.deviceURI)));
  auto settings = std::make_shared<MemoryPrintSettings>(context.title);
  callback->setPrintSettings(settings);
  Result<OpenPanel> open = openPanel(context.bundle, callback);
  if (!open) return open.refusal();
  PanelDriver driver(open->view);

  std::u32string owner = utf8ToUtf32(context.owner);
  owner.resize(std::min(owner.size(), kUserNameCharacters));
  std::string ownerText;
  for (char32_t cp : owner) ownerText += utf8FromCodePoint(cp);
  if (Result<> typed = driver.typeInto("userNameEditText", ownerText); !typed)
    return Refusal{"the job's owner as user name: " + typed.message()};
  for (std::size_t i = 0; i < job.entries.size(); ++i) {
    Result<Assignment> assignment = parseAssignment(job.entries[i]);
    if (!assignment) return entryRefusal(job.sources[i], job.entries[i], assignment.message());
    if (Result<> applied = driver.apply(*assignment); !applied)
      return entryRefusal(job.sources[i], job.entries[i], applied.message());
  }
  open->panel->saveValuesAndReturnError(nullptr);

  const auto& keys = settings->entries();
  auto kept = keys.find(settings::kJobSuspendKey);
  if (job.asksRetention && (kept == keys.end() || kept->second == "0"))
    return Refusal{"the panel did not keep the retention; the job stops rather than print unheld"};
  return keys;
}

}  // namespace jc::filter
