// Finding an XML document's encoding and converting the document to UTF-8 with iconv.
#include "platform/text/xml_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace jc {

namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool isXmlSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The encoding named by the XML declaration at the start of `xml`: "" without a declaration
// or without an encoding in it, nullopt when the name is malformed. Only the characters an
// encoding name may have are accepted, so no iconv option ("//IGNORE") can ride along.
std::optional<std::string> declaredEncoding(std::string_view xml) {
  if (!startsWith(xml, "<?xml") || xml.size() < 6 || !isXmlSpace(xml[5])) return std::string();
  std::size_t end = xml.find("?>");
  if (end == std::string_view::npos) return std::nullopt;
  std::string_view declaration = xml.substr(5, end - 5);
  std::size_t at = declaration.find("encoding");
  if (at == std::string_view::npos) return std::string();
  std::size_t i = at + 8;
  auto skipSpace = [&] {
    while (i < declaration.size() && isXmlSpace(declaration[i])) ++i;
  };
  skipSpace();
  if (i >= declaration.size() || declaration[i] != '=') return std::nullopt;
  ++i;
  skipSpace();
  if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\'')) {
    return std::nullopt;
  }
  char quote = declaration[i++];
  std::size_t close = declaration.find(quote, i);
  if (close == std::string_view::npos) return std::nullopt;
  std::string name(declaration.substr(i, close - i));
  if (name.empty() || !isAsciiLetter(name.front())) return std::nullopt;
  for (char c : name)
    if (!isAsciiLetter(c) && !(c >= '0' && c <= '9') && c != '.' && c != '_' && c != '-') {
      return std::nullopt;
    }
  return name;
}

// Whether a document whose declaration could be read byte by byte is to be taken as UTF-8:
// it says so, or it names a 16- or 32-bit form that its bytes plainly are not (a printer
// that labels UTF-8 "UTF-16"), which is read as UTF-8, as libxml2 does.
bool readAsUTF8(const std::string& name) {
  std::string upper;
  for (char c : name) upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  if (upper == "UTF-8" || upper == "UTF8") return true;
  for (std::string_view wide : {"UTF-16", "UTF16", "UTF-32", "UTF32", "UCS-2", "UCS-4"})
    if (startsWith(upper, wide)) return true;
  return false;
}

struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};

// The whole of `bytes` from encoding `from` into UTF-8; nullopt when iconv does not know
// the encoding or the bytes are not valid text in it (a sequence cut off included).
std::optional<std::string> toUTF8(std::string_view bytes, const char* from) {
  iconv_t opened = iconv_open("UTF-8", from);
  if (opened == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::unique_ptr<void, IconvCloser> cd(opened);
  std::string out(bytes.size() * 2 + 64, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  std::size_t used = 0;
  for (bool flushing = false;;) {
    char* outPtr = out.data() + used;
    std::size_t outLeft = out.size() - used;
    std::size_t r = flushing ? iconv(opened, nullptr, nullptr, &outPtr, &outLeft)
                             : iconv(opened, &in, &inLeft, &outPtr, &outLeft);
    used = out.size() - outLeft;
    if (r != static_cast<std::size_t>(-1)) {
      if (flushing) break;
      flushing = true;  // a stateful encoding may still owe its closing bytes
      continue;
    }
    if (errno != E2BIG) return std::nullopt;
    out.resize(out.size() * 2);
  }
  out.resize(used);
  return out;
}

}  // namespace

std::optional<std::string_view> xmlDocumentAsUTF8(std::string_view xml, std::string& storage) {
  // A byte-order mark, or "<?" in a wider form, settles the encoding before any declaration
  // can be read. The four-byte forms are tested first: FF FE also begins UTF-32LE's mark.
  struct Signature {
    std::string_view bytes;
    const char* encoding;
    bool mark;  // dropped before converting
  };
  using namespace std::string_view_literals;
  static constexpr Signature kSignatures[] = {
      {"\x00\x00\xFE\xFF"sv, "UTF-32BE", true}, {"\xFF\xFE\x00\x00"sv, "UTF-32LE", true},
      {"\x00\x00\x00<"sv, "UTF-32BE", false},   {"<\x00\x00\x00"sv, "UTF-32LE", false},
      {"\xFE\xFF"sv, "UTF-16BE", true},         {"\xFF\xFE"sv, "UTF-16LE", true},
      {"\x00<\x00?"sv, "UTF-16BE", false},      {"<\x00?\x00"sv, "UTF-16LE", false},
  };
  const char* from = nullptr;
  if (startsWith(xml, "\xEF\xBB\xBF")) return xml.substr(3);
  for (const Signature& s : kSignatures) {
    if (startsWith(xml, s.bytes)) {
      from = s.encoding;
      if (s.mark) xml.remove_prefix(s.bytes.size());
      break;
    }
  }
  std::string declared;
  if (!from) {
    std::optional<std::string> name = declaredEncoding(xml);
    if (!name) return std::nullopt;
    if (name->empty() || readAsUTF8(*name)) return xml;
    declared = std::move(*name);
    from = declared.c_str();
  }
  std::optional<std::string> converted = toUTF8(xml, from);
  if (!converted) return std::nullopt;
  storage = std::move(*converted);
  return std::string_view(storage);
}

}  // namespace jc
