// `jobcontrol decode`: the printer side's view of a job's options, as a report.
#include <iostream>

#include "hosts/cli/commands.h"
#include "hosts/cli/input_file.h"
#include "hosts/cli/job_options.h"
#include "hosts/cli/json.h"
#include "hosts/common/messages.h"
#include "hosts/common/printer_side.h"
#include "hosts/common/terminal_text.h"

namespace jc::cli {

int runDecode(const Options& options) {
  auto read = readInputFile(options.files.empty() ? "-" : options.files.front());
  if (!read) {
    std::cerr << "jobcontrol: " << read.message() << "\n";
    return kExitFailure;
  }
  const std::string& text = *read;

  Result<PlugInCodecs> codecs = loadPlugInCodecs(bundlePath(options));
  if (!codecs) {
    std::cerr << "jobcontrol: " << codecs.message() << "\n";
    return kExitFailure;
  }
  DecodeReport report =
      decodeJobOptions(parseJobOptions(text), *codecs, {options.passCode, options.folderPassCode},
                       [](const char* pattern, std::initializer_list<std::string_view> values) {
                         return subst(tr(pattern), values);
                       });

  if (options.json) {
    std::cout << "{\"spoolTime\":" << jsonString(report.spoolTime) << ",\n \"values\":[";
    JsonSeparator comma;
    for (const auto& v : report.values)
      std::cout << comma() << "\n  {\"entry\":" << jsonString(v.entry)
                << ",\"value\":" << jsonString(v.value) << ",\"key\":" << jsonString(v.key)
                << ",\"how\":" << jsonString(v.how) << "}";
    std::cout << "],\n \"held\":[";
    JsonSeparator heldComma;
    for (const auto& h : report.held) std::cout << heldComma() << jsonString(h);
    std::cout << "],\n \"checks\":[";
    JsonSeparator checkComma;
    for (const auto& c : report.checks)
      std::cout << checkComma() << "\n  {\"check\":" << jsonString(c.what)
                << ",\"passed\":" << (c.passed ? "true" : "false") << "}";
    std::cout << "],\n \"passed\":" << (report.allPassed() ? "true" : "false") << "}\n";
  } else if (report.anyKey) {
    // The values are whatever the options file held once decoded: shown escaped.
    if (!report.spoolTime.empty())
      std::cout << tr("spool-time:") << " " << terminalText(report.spoolTime) << "\n";
    for (const auto& v : report.values)
      std::cout << v.entry << ": " << terminalText(v.value) << "  (" << v.key << ", "
                << tr(v.how.c_str()) << ")\n";
    std::string held;
    for (const auto& h : report.held) held += (held.empty() ? "" : " ") + h;
    std::cout << tr("held:") << " " << (held.empty() ? std::string(tr("none")) : held) << "\n";
    for (const auto& c : report.checks)
      std::cout << (c.passed ? tr("ok:") : tr("FAILED:")) << " " << c.what << "\n";
  }
  if (!report.anyKey)
    std::cerr << "jobcontrol: " << tr("the options carry no Job Control keys") << "\n";
  return report.allPassed() ? kExitSuccess : kExitCheckFailed;
}

}  // namespace jc::cli
