// Checking a job's Job Control options and turning them into the panel's entries.
#include "hosts/filter/filter_options.h"

#include <cups/cups.h>

#include <strings.h>

#include <algorithm>
#include <optional>

#include "hosts/common/queue_options.h"
#include "platform/text/unicode.h"

namespace jc::filter {

namespace {

constexpr std::string_view kOurKeyPrefix = "vorelia.print.PrintSettings.";

// CUPS takes option names without regard to case, so the real filter would read a
// "VORELIA.print..." option as one of the panel's keys.
bool isOurKey(std::string_view name) {
  return name.size() >= kOurKeyPrefix.size() &&
         strncasecmp(name.data(), kOurKeyPrefix.data(), kOurKeyPrefix.size()) == 0;
}

bool isDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string choiceWords(const QueueOption& option) {
  std::string words;
  for (const QueueChoice& choice : option.choices)
    words += (words.empty() ? "" : ", ") + std::string(choice.keyword);
  return words;
}

// The entry value of a custom option's value ("" for None), or why it is refused.
Result<std::string> customValue(const QueueOption& option, const std::string& value) {
  const std::string name(option.keyword);
  auto fail = [&](const std::string& why) { return Refusal{name + ": " + why}; };
  if (value == kNoValue) return std::string();
  if (value == "Custom" || value == kCustomPrefix)
    return fail("\"Custom\" with no value; type the value, or choose None");
  if (!value.starts_with(kCustomPrefix))
    return fail("not a value this option takes (None or Custom.VALUE)");
  std::string text = value.substr(kCustomPrefix.size());
  // A dialog that keeps its "None" placeholder puts what is typed after it.
  if (text.starts_with(kNoValue))
    return fail("the value follows the \"None\" placeholder; clear the field and type it again");
  const std::u32string codePoints = utf8ToUtf32(text);
  std::string reencoded;
  for (char32_t cp : codePoints) appendUtf8(reencoded, cp);
  // Ill-formed bytes come back as U+FFFD, so only text that is UTF-8 reads back the same.
  if (reencoded != text) return fail("the value is not UTF-8 text");
  const std::size_t characters = codePoints.size();
  if (option.value == QueueValue::Digits && !isDigits(text))
    return fail("takes digits only; a letter or sign is in the value");
  if (characters > option.maxLength)
    return fail("takes at most " + std::to_string(option.maxLength) + " characters, not " +
                std::to_string(characters));
  return text;
}

// The standard attributes a job may carry instead of our options, as (option, entry).
struct StandardIn {
  const char* attribute;
  const char* entry;
};
constexpr StandardIn kStandardIn[] = {{"job-password", "pass-code"},
                                      {"job-account-id", "account-number"},
                                      {"job-accounting-user-id", "login-name"}};

// What a job's options chose, by the command's entry word, and which option chose it.
struct Chosen {
  std::map<std::string, std::string> value;
  std::map<std::string, std::string> from;
  bool printerFolder = false;  // filing names one of the printer's folders
  void set(const std::string& entry, const std::string& text, const std::string& source) {
    value[entry] = text;
    from[entry] = source;
  }
};

// Takes one of our options into `chosen`, or refuses its value.
Result<> takeOption(const QueueOption& option, const std::string& value,
                    const std::map<std::string, std::string>& folders, Chosen& chosen) {
  const std::string name(option.keyword);
  std::string entryValue;
  if (option.value != QueueValue::Choice) {
    Result<std::string> custom = customValue(option, value);
    if (!custom) return custom.refusal();
    entryValue = *custom;
  } else if (option.entry == "filing" && folders.contains(value)) {
    entryValue = folders.at(value);
    chosen.printerFolder = true;
  } else {
    auto choice = std::find_if(option.choices.begin(), option.choices.end(),
                               [&](const QueueChoice& c) { return c.keyword == value; });
    if (choice == option.choices.end())
      return Refusal{name + ": \"" + value + "\" is not one of " + choiceWords(option) +
                     (option.entry == "filing" ? " or the printer's folders" : "")};
    entryValue = choice->entryValue;
  }
  if (!entryValue.empty()) chosen.set(std::string(option.entry), entryValue, name);
  return accepted();
}

// The standard attributes among `others`, where our own options chose nothing of the same.
void takeStandardAttributes(const std::map<std::string, std::string>& others, Chosen& chosen,
                            JobOptions& passOn) {
  auto encryption = others.find("job-password-encryption");
  const bool clearPassword = encryption == others.end() || encryption->second == "none";
  for (const StandardIn& in : kStandardIn) {
    auto it = others.find(in.attribute);
    if (it == others.end() || it->second.empty() || chosen.value.contains(in.entry)) continue;
    const bool password = std::string_view(in.attribute) == "job-password";
    if (password && !clearPassword) continue;  // a digest: the printer checks it
    if (password && !chosen.value.contains("retention"))
      chosen.set("retention", "hold-only", in.attribute);
    if (std::string_view(in.entry) == "login-name" && !chosen.value.contains("auth"))
      chosen.set("auth", "login", in.attribute);
    chosen.set(in.entry, it->second, in.attribute);
    // The code now travels in the panel's keys; the real filter's command line, which
    // other users see in `ps` for the job's duration, need not show it in the clear.
    if (password) std::erase_if(passOn, [](const auto& o) { return o.first == "job-password"; });
  }
}

}  // namespace

Result<FilterJob> mapJobOptions(const JobOptions& options,
                                const std::map<std::string, std::string>& folders) {
  FilterJob job;
  Chosen chosen;
  std::map<std::string, std::string> others;
  for (const auto& [name, value] : options) {
    if (const QueueOption* option = findQueueOption(name)) {
      if (Result<> taken = takeOption(*option, value, folders, chosen); !taken)
        return taken.refusal();
      continue;
    }
    if (isOurKey(name)) job.carriesKeys = true;
    others[name] = value;
    job.passOn.emplace_back(name, value);
  }
  takeStandardAttributes(others, chosen, job.passOn);

  const auto retention = chosen.value.find("retention");
  job.asksRetention = retention != chosen.value.end() && retention->second != "off";
  for (const char* filingSide : {"filing", "folder-pass-code"})
    if (chosen.value.contains(filingSide) && !job.asksRetention)
      return Refusal{chosen.from[filingSide] +
                     ": the printer files only a job it keeps; choose a retention too"};

  // The panel's order, so each choice comes before the fields it enables; a printer's
  // folder is chosen as a custom folder by its name.
  for (const QueueOption& option : queueOptions()) {
    const std::string entry(option.entry);
    auto it = chosen.value.find(entry);
    if (it == chosen.value.end()) continue;
    if (option.entry == "filing" && chosen.printerFolder) {
      job.entries.push_back("filing-kind=custom");
      job.sources.push_back(chosen.from[entry]);
      job.entries.push_back("folder-name=" + it->second);
    } else {
      job.entries.push_back(entry + "=" + it->second);
    }
    job.sources.push_back(chosen.from[entry]);
  }
  job.asksAnything = !job.entries.empty();
  if (job.carriesKeys && job.asksAnything)
    return Refusal{job.sources.front() +
                   ": the job carries the panel's own keys already; give one or the other"};
  return job;
}

bool isOptionName(std::string_view name) {
  return !name.empty() && name.find_first_of(" \t\n\r\v\f='\"\\{}") == std::string_view::npos;
}

std::string encodeJobOptions(const JobOptions& options) {
  std::string text;
  for (const auto& [name, value] : options) {
    if (!isOptionName(name)) continue;
    text += (text.empty() ? "" : " ") + name + "=";
    for (char c : value) {
      if (std::string_view(" \t\n\r\v\f'\"\\{},").find(c) != std::string_view::npos) text += '\\';
      text += c;
    }
  }
  return text;
}

JobOptions parseJobOptions(const std::string& text) {
  cups_option_t* parsed = nullptr;
  int count = cupsParseOptions(text.c_str(), 0, &parsed);
  JobOptions options;
  options.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) options.emplace_back(parsed[i].name, parsed[i].value);
  cupsFreeOptions(count, parsed);
  return options;
}

}  // namespace jc::filter
