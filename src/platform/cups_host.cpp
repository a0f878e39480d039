// CUPS queues: their PPD and device URI, and job submission.
#include "platform/cups_host.h"

#include <cups/cups.h>
#include <unistd.h>

namespace jc {

std::optional<CupsQueue> openCupsQueue(const std::string& queue, std::string* error) {
  auto fail = [&](std::string message) -> std::optional<CupsQueue> {
    if (error) *error = std::move(message);
    return std::nullopt;
  };
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr);
  if (!dest) return fail("no such printer queue \"" + queue + "\" (" + cupsLastErrorString() + ")");
  CupsQueue result;
  result.name = queue;
  if (const char* uri = cupsGetOption("device-uri", dest->num_options, dest->options))
    result.deviceURI = uri;
  cupsFreeDests(1, dest);

  // The PPD arrives as a temporary copy; it is parsed and the copy removed at once.
  const char* copy = cupsGetPPD2(CUPS_HTTP_DEFAULT, queue.c_str());
  if (!copy) return fail("queue \"" + queue + "\" has no PPD (" + cupsLastErrorString() + ")");
  std::string path = copy;
  std::string why;
  result.ppd = openPPDFile(path, &why);
  ::unlink(path.c_str());
  if (!result.ppd) return fail("queue \"" + queue + "\": " + why);
  return result;
}

int submitCupsJob(const std::string& queue, const std::vector<std::string>& files,
                  const std::string& title, const MemoryPrintSettings& settings,
                  std::string* error) {
  cups_option_t* options = nullptr;
  int count = 0;
  for (const auto& [key, value] : settings.entries())
    count = cupsAddOption(key.c_str(), value.c_str(), count, &options);
  std::vector<const char*> names;
  for (const auto& file : files) names.push_back(file.c_str());
  int job = cupsPrintFiles2(CUPS_HTTP_DEFAULT, queue.c_str(), static_cast<int>(names.size()),
                            names.data(), title.c_str(), count, options);
  cupsFreeOptions(count, options);
  if (job == 0 && error) *error = cupsLastErrorString();
  return job;
}

}  // namespace jc
