// The system version from its property list, and the PPD's text encoding.
#include "plugin/system_version.h"

#include <plist/plist.h>

#include <cctype>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/io/file_bytes.h"
#include "platform/text/text_encoding.h"

namespace jc {

namespace {
std::string& versionFile() {
  static std::string path = kSystemVersionFile;
  return path;
}

// The leading integer of a component: optional white space and sign, then digits; a
// component that does not start so gives 0. Saturates rather than overflowing.
std::int32_t leadingInteger(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > 2147483648LL) value = 2147483648LL;
  }
  if (negative) value = -value;
  if (value > 2147483647LL) value = 2147483647LL;
  return static_cast<std::int32_t>(value);
}

// The "ProductVersion" string of the version file, or nullopt when anything is missing.
std::optional<std::string> productVersion() {
  // One byte over the limit is enough to know the file is too large.
  std::optional<std::string> read = readFileBytes(versionFile(), (1u << 20) + 1);
  if (!read) return std::nullopt;
  const std::string& data = *read;
  if (data.empty() || data.size() > (1u << 20)) return std::nullopt;
  plist_t root = nullptr;
  plist_from_memory(data.data(), static_cast<uint32_t>(data.size()), &root);
  if (!root) return std::nullopt;
  std::optional<std::string> version;
  if (plist_get_node_type(root) == PLIST_DICT) {
    plist_t node = plist_dict_get_item(root, "ProductVersion");
    if (node && plist_get_node_type(node) == PLIST_STRING) {
      char* text = nullptr;
      plist_get_string_val(node, &text);
      if (text) version.emplace(text);
      std::free(text);
    }
  }
  plist_free(root);
  return version;
}
}  // namespace

void systemVersion(std::int32_t& major, std::int32_t& minor, std::int32_t& revision) {
  std::optional<std::string> version = productVersion();
  if (!version) return;
  // Split at every "." as the string class does: "" gives one empty component, "10."
  // gives "10" and "".
  std::vector<std::string> parts(1);
  for (char c : *version) {
    if (c == '.')
      parts.emplace_back();
    else
      parts.back() += c;
  }
  std::int32_t* targets[] = {&major, &minor, &revision};
  for (std::size_t i = 0; i < parts.size() && i < 3; ++i) *targets[i] = leadingInteger(parts[i]);
}

bool isLeopardOrLater() {
  std::int32_t major = 10, minor = 4, revision = 0;
  systemVersion(major, minor, revision);
  return major > 10 || (major == 10 && minor > 4);
}

std::uint64_t encodingOfPPD(const ppd_file_t* ppd) {
  return encodingFromLanguageEncoding(ppd ? ppd->lang_encoding : nullptr);
}

void setSystemVersionFile(std::string path) {
  versionFile() = path.empty() ? std::string(kSystemVersionFile) : std::move(path);
}

std::uint64_t encodingFromLanguageEncoding(const char* languageEncoding) {
  if (!languageEncoding) return 30;
  struct Row {
    const char* name;
    std::uint64_t identifier;
  };
  static constexpr Row kRows[] = {
      {"ISOLatin1", 5}, {"WindowsANSI", 12}, {"JIS83-RKSJ", 8}, {"UTF-8", 4}, {"UTF8", 4}};
  for (const Row& row : kRows)
    if (std::strcmp(languageEncoding, row.name) == 0) return row.identifier;
  return 30;
}

std::optional<std::string> modelNameFromPPD(ppd_file_t* ppd, std::uint64_t ppdEncoding) {
  if (!ppd || !ppd->modelname) return std::nullopt;
  std::vector<std::uint64_t> encodings = {ppdEncoding};
  // The attribute keeps the keyword's value as the file wrote it.
  if (ppd_attr_t* declared = ppdFindAttr(ppd, "LanguageEncoding", nullptr); declared)
    encodings.push_back(encodingFromLanguageEncoding(declared->value));
  encodings.push_back(string_encoding::kISOLatin1);
  for (std::uint64_t encoding : encodings)
    if (auto name = decodeText(ppd->modelname, coreEncodingFromStringEncoding(encoding)))
      return name;
  return std::nullopt;
}

}  // namespace jc

extern "C" {

void get_system_version(std::int32_t* major, std::int32_t* minor, std::int32_t* revision) {
  std::int32_t values[] = {major ? *major : 0, minor ? *minor : 0, revision ? *revision : 0};
  jc::systemVersion(values[0], values[1], values[2]);
  std::int32_t* targets[] = {major, minor, revision};
  for (std::size_t i = 0; i < 3; ++i)
    if (targets[i]) *targets[i] = values[i];
}

bool runningOnLeopardOrLater(void) {
  return jc::isLeopardOrLater();
}

std::uint64_t getEncodingFromPPD(const ppd_file_t* ppd) {
  return jc::encodingOfPPD(ppd);
}

}  // extern "C"
