// Adding Job Control to a queue's PPD, and taking it away again.
#include "hosts/common/queue_ppd.h"

#include <nettle/base64.h>

#include <algorithm>
#include <cctype>
#include <optional>

#include "hosts/common/messages.h"
#include "hosts/common/queue_options.h"
#include "platform/text/unicode.h"

namespace jc {

namespace {

constexpr std::string_view kOriginalPrefix = "*%JCOriginal: ";
constexpr std::size_t kOriginalChunk = 64;  // base64 characters a line: well under 255
constexpr std::size_t kMaxTranslationBytes = 80;

// The PPD's lines without their '\n' (a '\r' stays in the line), and whether the last
// line had one.
std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

bool startsWith(std::string_view line, std::string_view prefix) {
  return line.substr(0, prefix.size()) == prefix;
}

// The quoted value of a main-keyword line ("*Keyword: "value""), or "" without quotes.
std::string_view quotedValue(std::string_view line) {
  auto open = line.find('"');
  auto close = line.rfind('"');
  if (open == std::string_view::npos || close <= open) return {};
  return line.substr(open + 1, close - open - 1);
}

// The quoted value of the first line with main keyword `keyword` ("*Manufacturer").
std::string firstValue(const std::vector<std::string_view>& lines, std::string_view keyword) {
  for (std::string_view line : lines)
    if (startsWith(line, keyword) && line.size() > keyword.size() && line[keyword.size()] == ':')
      return std::string(quotedValue(line));
  return "";
}

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// A filter line's program (its quoted value's last word) and where it stands in the line.
struct FilterProgram {
  std::size_t offset = 0;
  std::string_view program;
  std::string_view destination;  // the second word of a cupsFilter2 line
};
std::optional<FilterProgram> filterProgram(std::string_view line) {
  bool v2 = startsWith(line, "*cupsFilter2:");
  if (!v2 && !startsWith(line, "*cupsFilter:")) return std::nullopt;
  std::string_view value = quotedValue(line);
  if (value.empty()) return std::nullopt;
  std::size_t end = value.find_last_not_of(" \t");
  std::size_t begin = value.find_last_of(" \t", end);
  begin = begin == std::string_view::npos ? 0 : begin + 1;
  FilterProgram found{static_cast<std::size_t>(value.data() - line.data()) + begin,
                      value.substr(begin, end - begin + 1), ""};
  if (v2) {
    std::size_t first = value.find_first_of(" \t");
    std::size_t second = value.find_first_not_of(" \t", first);
    if (second != std::string_view::npos)
      found.destination = value.substr(second, value.find_first_of(" \t", second) - second);
  }
  return found;
}

// A translation string in the PPD's encoding: printable ASCII as it is, every other byte
// and the PPD's separators as hexadecimal, at most 80 bytes. A character the PPD's
// encoding cannot hold becomes "?".
std::string translation(std::string_view utf8, bool ppdIsUtf8) {
  std::string out;
  std::size_t bytes = 0;
  for (char32_t cp : utf8ToUtf32(std::string(utf8))) {
    std::string encoded = ppdIsUtf8    ? utf8FromCodePoint(cp)
                          : cp <= 0xFF ? std::string(1, static_cast<char>(cp))
                                       : std::string("?");
    if (bytes + encoded.size() > kMaxTranslationBytes) break;
    bytes += encoded.size();
    for (char c : encoded) {
      auto byte = static_cast<unsigned char>(c);
      if (byte >= 0x20 && byte < 0x7F &&
          std::string_view("/:<>\"").find(c) == std::string_view::npos) {
        out += c;
      } else {
        static constexpr char kHex[] = "0123456789ABCDEF";
        out += '<';
        out += kHex[byte >> 4];
        out += kHex[byte & 15];
        out += '>';
      }
    }
  }
  return out;
}

std::string hexText(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : bytes) {
    auto byte = static_cast<unsigned char>(c);
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
  }
  return out;
}

std::optional<std::string> fromHex(std::string_view text) {
  std::string digits;
  for (char c : text)
    if (!std::isspace(static_cast<unsigned char>(c))) digits += c;
  if (digits.size() % 2) return std::nullopt;
  std::string out;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    int value = 0;
    for (char c : digits.substr(i, 2)) {
      int nibble = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                   : c >= 'A' && c <= 'F'                      ? c - 'A' + 10
                                                               : -1;
      if (nibble < 0) return std::nullopt;
      value = value * 16 + nibble;
    }
    out += static_cast<char>(value);
  }
  return out;
}

std::string base64(std::string_view bytes) {
  std::string out(BASE64_ENCODE_RAW_LENGTH(bytes.size()), '\0');
  base64_encode_raw(out.data(), bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data()));
  return out;
}

std::optional<std::string> fromBase64(std::string_view text) {
  base64_decode_ctx ctx;
  base64_decode_init(&ctx);
  std::string out(BASE64_DECODE_LENGTH(text.size()), '\0');
  std::size_t length = out.size();
  if (!base64_decode_update(&ctx, &length, reinterpret_cast<std::uint8_t*>(out.data()), text.size(),
                            text.data()) ||
      !base64_decode_final(&ctx))
    return std::nullopt;
  out.resize(length);
  return out;
}

// The group's lines: every option of queueOptions() with the folders as filing choices,
// and the German captions.
std::vector<std::string> groupLines(const std::vector<std::string>& folders, bool ppdIsUtf8) {
  std::vector<std::string> out = {"*OpenGroup: " + std::string(kQueueGroup) + "/Job Control"};
  std::vector<std::string> german = {"*de.Translation " + std::string(kQueueGroup) +
                                     "/Auftragssteuerung: \"\""};
  for (const QueueOption& option : queueOptions()) {
    const std::string k(option.keyword);
    out.push_back("*OpenUI *" + k + "/" + std::string(option.text) + ": PickOne");
    out.push_back("*OrderDependency: 100 AnySetup *" + k);
    german.push_back("*de.Translation " + k + "/" + std::string(option.textDe) + ": \"\"");
    std::vector<QueueChoice> choices = option.choices;
    if (option.value != QueueValue::Choice) choices = {{kNoValue, "None", "Keine", ""}};
    out.push_back("*Default" + k + ": " + std::string(choices.front().keyword));
    for (const QueueChoice& choice : choices) {
      out.push_back("*" + k + " " + std::string(choice.keyword) + "/" + std::string(choice.text) +
                    ": \"\"");
      german.push_back("*de." + k + " " + std::string(choice.keyword) + "/" +
                       std::string(choice.textDe) + ": \"\"");
    }
    if (option.entry == "filing")
      for (std::size_t i = 0; i < folders.size(); ++i)
        out.push_back("*" + k + " " + std::string(kFolderChoicePrefix) + std::to_string(i + 1) +
                      "/" + translation(folders[i], ppdIsUtf8) + ": \"\"");
    out.push_back("*CloseUI: *" + k);
    if (option.value == QueueValue::Choice) continue;
    const char* type = option.value == QueueValue::Digits   ? "passcode"
                       : option.value == QueueValue::Secret ? "password"
                                                            : "string";
    out.push_back("*Custom" + k + " True/Custom: \"\"");
    out.push_back("*ParamCustom" + k + " Value/" + std::string(option.text) + ": 1 " + type +
                  " 1 " + std::to_string(option.maxLength));
    german.push_back("*de.Custom" + k + " True/Eigener Wert: \"\"");
    german.push_back("*de.ParamCustom" + k + " Value/" + std::string(option.textDe) + ": \"\"");
  }
  out.push_back("*CloseGroup: " + std::string(kQueueGroup));
  out.insert(out.end(), german.begin(), german.end());
  for (std::size_t i = 0; i < folders.size(); ++i) {
    // The names in full, as UTF-8, whatever the PPD's encoding could show of them.
    std::string hex = hexText(folders[i]), value;
    for (std::size_t at = 0; at < hex.size(); at += 64)
      value += (at ? "\n" : "") + hex.substr(at, 64);
    out.push_back("*" + std::string(kFolderNameKeyword) + " " + std::string(kFolderChoicePrefix) +
                  std::to_string(i + 1) + ": \"" + value + "\"");
  }
  return out;
}

// Refuses a PPD that Job Control cannot be added to, and finds its one filter program.
Result<std::string> checkedFilter(const std::vector<std::string_view>& lines) {
  if (std::string maker = firstValue(lines, "*Manufacturer"); maker != "Vorelia")
    return Refusal{subst(
        tr("the printer is made by \"%1\", not Vorelia: Job Control serves Vorelia printers only"),
        {maker})};
  std::string pcfile = lower(firstValue(lines, "*PCFileName"));
  bool imageOnly = true, anyFilter = false;
  std::string program;
  for (std::string_view line : lines) {
    if (startsWith(line, "*JCRealFilter:"))
      return Refusal{
          tr("the queue carries Job Control already (`jobcontrol queue refresh` "
             "fetches the folders again)")};
    auto found = filterProgram(line);
    if (!found) continue;
    if (anyFilter && found->program != program)
      return Refusal{subst(tr("the PPD names differing filter programs (\"%1\", \"%2\"); the "
                              "wrapper cannot tell which to run"),
                           {program, found->program})};
    anyFilter = true;
    program = found->program;
    imageOnly = imageOnly && found->program == "-" &&
                (found->destination == "image/urf" || found->destination == "image/pwg-raster");
  }
  if (pcfile == "ippeve.ppd" || pcfile == "driverless.ppd" || (anyFilter && imageOnly))
    return Refusal{
        tr("a driverless queue: its printer takes the standard IPP job attributes "
           "(job-password, job-account-id), which `jobcontrol print` and the GTK "
           "tab send")};
  if (!anyFilter)
    return Refusal{
        tr("the PPD names no filter program (cupsFilter2) to run the wrapper in front of")};
  return program;
}

}  // namespace

Result<JobControlPPD> addJobControl(std::string_view original, std::string_view wrapper,
                                    const std::vector<std::string>& folders) {
  const std::vector<std::string_view> lines = splitLines(original);
  Result<std::string> program = checkedFilter(lines);
  if (!program) return program.refusal();
  const bool crlf = !lines.empty() && lines.front().ends_with('\r');
  const std::string eol = crlf ? "\r\n" : "\n";
  const bool utf8 = lower(firstValue(lines, "*LanguageEncoding")) == "utf-8" ||
                    lower(firstValue(lines, "*LanguageEncoding")) == "utf8";

  JobControlPPD out;
  bool languages = false;
  for (std::string_view line : lines) {
    std::string copy(line);
    if (auto found = filterProgram(line)) {
      copy.replace(found->offset, found->program.size(), wrapper);
    } else if (startsWith(line, "*cupsLanguages:")) {
      languages = true;
      std::string_view value = quotedValue(line);
      if ((" " + std::string(value) + " ").find(" de ") == std::string::npos)
        copy.insert(static_cast<std::size_t>(value.data() - line.data()) + value.size(),
                    value.empty() ? "de" : " de");
    }
    out.text += copy + "\n";
  }
  // Our lines start on a line of their own even after a last line without its line feed.
  if (!original.empty() && !original.ends_with('\n')) {
    out.text.pop_back();
    out.text += eol;
  }

  std::vector<std::string> added = {
      "*% Job Control, added by `jobcontrol queue enable`; `jobcontrol queue disable` gives "
      "back the PPD kept below.",
      "*" + std::string(kRealFilterKeyword) + ": \"" + *program + "\""};
  if (!languages) added.push_back("*cupsLanguages: \"de\"");
  for (std::string& line : groupLines(folders, utf8)) added.push_back(std::move(line));
  std::string kept = base64(original);
  for (std::size_t at = 0; at < kept.size(); at += kOriginalChunk)
    added.push_back(std::string(kOriginalPrefix) + kept.substr(at, kOriginalChunk));
  if (kept.empty()) added.push_back(std::string(kOriginalPrefix));
  for (const std::string& line : added) {
    // Quoted values that span lines keep the PPD's line ends too.
    std::string withEnds = line;
    if (crlf)
      for (std::size_t at = withEnds.find('\n'); at != std::string::npos;
           at = withEnds.find('\n', at + 2))
        withEnds.insert(at, "\r");
    out.text += withEnds + eol;
  }

  std::string names;
  for (const QueueOption& option : queueOptions())
    names += (names.empty() ? "" : ", ") + std::string(option.keyword);
  out.changes = {
      subst(tr("added the group \"Job Control\" (%1)"), {names}),
      subst(tr("the filter \"%1\" now runs behind \"%2\""), {*program, wrapper}),
      tr("German captions added"),
      // Last, as the command lists the folders' names below it.
      subst(tr("%1 folder(s) of the printer offered for filing"), {std::to_string(folders.size())}),
  };
  return out;
}

bool carriesJobControl(std::string_view ppd) {
  for (std::string_view line : splitLines(ppd))
    if (startsWith(line, "*JCRealFilter:")) return true;
  return false;
}

Result<std::string> originalPPD(std::string_view ppd) {
  std::string kept;
  bool any = false;
  for (std::string_view line : splitLines(ppd)) {
    if (!startsWith(line, kOriginalPrefix)) continue;
    any = true;
    line.remove_prefix(kOriginalPrefix.size());
    if (line.ends_with('\r')) line.remove_suffix(1);
    kept += line;
  }
  if (!any || !carriesJobControl(ppd))
    return Refusal{tr("the PPD does not carry Job Control (no kept original)")};
  auto decoded = fromBase64(kept);
  if (!decoded) return Refusal{tr("the PPD's kept original is damaged")};
  return *decoded;
}

Result<JobControlQueue> readJobControlQueue(std::string_view ppd) {
  JobControlQueue queue;
  bool named = false;
  const std::string folderKey = "*" + std::string(kFolderNameKeyword) + " ";
  std::vector<std::string_view> lines = splitLines(ppd);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (startsWith(line, "*JCRealFilter:")) {
      queue.realFilter = quotedValue(line);
      named = !queue.realFilter.empty();
    } else if (startsWith(line, folderKey)) {
      auto colon = line.find(':');
      std::string choice(line.substr(folderKey.size(), colon - folderKey.size()));
      // The hexadecimal value may go on over the following lines up to its closing quote.
      std::string value(line.substr(line.find('"') + 1));
      while (value.find('"') == std::string::npos && i + 1 < lines.size())
        value += std::string(lines[++i]);
      value.resize(value.find('"') == std::string::npos ? value.size() : value.find('"'));
      if (auto name = fromHex(value)) queue.folders[choice] = *name;
    }
  }
  if (!named)
    return Refusal{"the PPD names no real filter (" + std::string(kRealFilterKeyword) + ")"};
  return queue;
}

}  // namespace jc
