// The XML property-list form, read and written directly from and to property-list values
// (no intermediate node tree: a domain holding a long folder list exists once in memory);
// binary property lists are still read through libplist.
#include "platform/io/property_list.h"

#include <plist/plist.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "platform/text/unicode.h"

namespace jc {

namespace {

// ---- Writing ----

constexpr std::string_view kHeader =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
    "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
    "<plist version=\"1.0\">\n";

// Collects the text in a small buffer handed to the sink piece by piece, so a long domain
// is never held as one string.
class XmlWriter {
 public:
  explicit XmlWriter(const PropertyListSink& sink) : sink_(sink) { buffer_.reserve(kPiece + 4096); }

  bool finish() {
    if (ok_ && !buffer_.empty()) ok_ = sink_(buffer_);
    return ok_;
  }

  void put(std::string_view text) {
    buffer_.append(text);
    if (buffer_.size() >= kPiece && ok_) {
      ok_ = sink_(buffer_);
      buffer_.clear();
    }
  }
  void indent(int depth) {
    put(std::string_view(kTabs, std::min<std::size_t>(depth, sizeof kTabs - 1)));
  }

  // Text known to be XML-safe, with its markup characters as entities.
  void escaped(std::string_view text) {
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      if (kKind[static_cast<unsigned char>(c)] != kEntity) continue;
      put(text.substr(plain, i - plain));
      put(c == '&' ? "&amp;" : c == '<' ? "&lt;" : "&gt;");
      plain = i + 1;
    }
    put(text.substr(plain));
  }

  // Every text goes out as XML-safe UTF-8: a control character or a stray byte would make
  // a file other property-list readers refuse. Folder names from a printer are made safe
  // when they are read, so only text that never passed a reader (typed by the user) can
  // change here; plain ASCII, nearly everything, is checked without a copy, and text
  // without markup characters goes out in one piece.
  void safeText(std::string_view text) {
    bool markup = false;
    for (char c : text) {
      const unsigned char kind = kKind[static_cast<unsigned char>(c)];
      if (kind == kCheck) return escaped(xmlSafeText(text));
      markup |= kind == kEntity;
    }
    if (markup)
      escaped(text);
    else
      put(text);
  }

  // `open` and `close` are the whole tags, the line end included in `close`.
  void element(int depth, std::string_view open, std::string_view text, std::string_view close) {
    indent(depth);
    put(open);
    safeText(text);
    put(close);
  }

  void dictionary(const PropertyDictionary& dictionary, int depth) {
    indent(depth);
    if (dictionary.empty()) return put("<dict/>\n");
    put("<dict>\n");
    for (const auto& [key, item] : dictionary) {
      element(depth + 1, "<key>", key, "</key>\n");
      value(item, depth + 1);
    }
    indent(depth);
    put("</dict>\n");
  }

  void value(const PropertyValue& value, int depth) {
    if (const std::string* s = value.string()) {
      element(depth, "<string>", *s, "</string>\n");
    } else if (const std::int64_t* n = value.integer()) {
      char digits[24];
      auto end = std::to_chars(digits, digits + sizeof digits, *n).ptr;
      element(depth, "<integer>", std::string_view(digits, end - digits), "</integer>\n");
    } else if (const bool* b = value.boolean()) {
      indent(depth);
      put(*b ? "<true/>\n" : "<false/>\n");
    } else if (const double* d = std::get_if<double>(&value.value)) {
      char digits[32];
      auto end =
          std::to_chars(digits, digits + sizeof digits, *d, std::chars_format::general, 17).ptr;
      element(depth, "<real>", std::string_view(digits, end - digits), "</real>\n");
    } else if (const PropertyArray* a = value.array()) {
      indent(depth);
      if (a->empty()) return put("<array/>\n");
      put("<array>\n");
      for (const PropertyValue& item : *a) this->value(item, depth + 1);
      indent(depth);
      put("</array>\n");
    } else if (const PropertyDictionary* d = value.dictionary()) {
      dictionary(*d, depth);
    }
  }

 private:
  // What a byte of text needs: nothing, an entity, or a look by xmlSafeText (a control
  // character, or a byte of a character beyond ASCII).
  enum : unsigned char { kPlain, kEntity, kCheck };
  static constexpr std::array<unsigned char, 256> kKind = [] {
    std::array<unsigned char, 256> kind{};
    for (std::size_t c = 0; c < kind.size(); ++c)
      kind[c] = c >= 0x80 || (c < 0x20 && c != '\t' && c != '\n' && c != '\r') ? kCheck : kPlain;
    kind['&'] = kind['<'] = kind['>'] = kEntity;
    return kind;
  }();
  static constexpr std::size_t kPiece = std::size_t{64} * 1024;
  static constexpr char kTabs[] =
      "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t"
      "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
  const PropertyListSink& sink_;
  std::string buffer_;
  bool ok_ = true;
};

// ---- Reading the XML form ----

// A reader over the whole text. Any departure from the property-list grammar fails the
// whole read: a damaged file must read as absent, never as part of its content.
class XmlReader {
 public:
  XmlReader(std::string_view text, const std::vector<std::string>& skipped)
      : p_(text.data()), end_(text.data() + text.size()), skipped_(skipped) {}

  std::optional<PropertyDictionary> document() {
    Tag tag;
    if (!nextTag(tag) || tag.name != "plist" || tag.closing || tag.empty) return std::nullopt;
    if (!nextTag(tag) || tag.name != "dict" || tag.closing) return std::nullopt;
    std::optional<PropertyValue> root = dictionary(tag, 0, 0);
    if (!root || !root->dictionary()) return std::nullopt;
    if (!nextTag(tag) || tag.name != "plist" || !tag.closing) return std::nullopt;
    skipMarkup();
    if (failed_ || p_ != end_) return std::nullopt;
    return std::move(*root->dictionary());
  }

 private:
  struct Tag {
    std::string_view name;
    bool closing = false;
    bool empty = false;  // <name/>
  };

  // Every markup prefix asked for is at least two characters long; nearly every place
  // asked about differs in those, and is turned down without a call.
  bool startsWith(std::string_view s) const {
    return static_cast<std::size_t>(end_ - p_) >= s.size() && p_[0] == s[0] && p_[1] == s[1] &&
           std::memcmp(p_, s.data(), s.size()) == 0;
  }
  // Moves past `close`, which must follow; false at the end of the text.
  bool skipPast(std::string_view close) {
    std::string_view rest(p_, static_cast<std::size_t>(end_ - p_));
    std::size_t at = rest.find(close);
    if (at == std::string_view::npos) return false;
    p_ += at + close.size();
    return true;
  }
  // What ends a tag's name: white space, '>' or '/'. White space alone is kSpace.
  enum : unsigned char { kNameByte, kSpace, kNameEnd };
  static constexpr std::array<unsigned char, 256> kByte = [] {
    std::array<unsigned char, 256> kind{};
    kind[' '] = kind['\t'] = kind['\n'] = kind['\r'] = kSpace;
    kind['>'] = kind['/'] = kNameEnd;
    return kind;
  }();
  static bool space(char c) { return kByte[static_cast<unsigned char>(c)] == kSpace; }

  // Skips white space, comments, processing instructions and the document type.
  void skipMarkup() {
    for (;;) {
      while (p_ < end_ && space(*p_)) ++p_;
      bool ok = true;
      if (startsWith("<!--"))
        ok = skipPast("-->");
      else if (startsWith("<?"))
        ok = skipPast("?>");
      else if (startsWith("<!DOCTYPE"))
        ok = skipPast(">");
      else
        return;
      if (!ok) {
        failed_ = true;
        p_ = end_;
        return;
      }
    }
  }

  // The next tag after white space and markup; attributes are passed over.
  bool nextTag(Tag& tag) {
    skipMarkup();
    if (failed_ || p_ == end_ || *p_ != '<') return false;
    ++p_;
    tag.closing = p_ < end_ && *p_ == '/';
    if (tag.closing) ++p_;
    const char* name = p_;
    while (p_ < end_ && kByte[static_cast<unsigned char>(*p_)] == kNameByte) ++p_;
    tag.name = std::string_view(name, static_cast<std::size_t>(p_ - name));
    const char* close =
        static_cast<const char*>(std::memchr(p_, '>', static_cast<std::size_t>(end_ - p_)));
    if (!close || tag.name.empty()) return false;
    tag.empty = close[-1] == '/' && !tag.closing;
    p_ = close + 1;
    return true;
  }

  // Character data up to the closing tag `name`, entities and CDATA sections decoded.
  bool text(std::string_view name, std::string& out) {
    for (;;) {
      const char* lt =
          static_cast<const char*>(std::memchr(p_, '<', static_cast<std::size_t>(end_ - p_)));
      if (!lt) return false;
      if (!decode(std::string_view(p_, static_cast<std::size_t>(lt - p_)), out)) return false;
      p_ = lt;
      if (startsWith("<![CDATA[")) {
        p_ += 9;
        const char* start = p_;
        if (!skipPast("]]>")) return false;
        out.append(start, static_cast<std::size_t>(p_ - 3 - start));
      } else if (startsWith("<!--")) {
        if (!skipPast("-->")) return false;
      } else {
        Tag tag;
        return nextTag(tag) && tag.closing && tag.name == name;
      }
    }
  }

  static bool decode(std::string_view raw, std::string& out) {
    for (std::size_t amp; (amp = raw.find('&')) != std::string_view::npos;) {
      out.append(raw.substr(0, amp));
      std::size_t semi = raw.find(';', amp);
      if (semi == std::string_view::npos) return false;
      std::string_view entity = raw.substr(amp + 1, semi - amp - 1);
      if (entity == "lt") {
        out += '<';
      } else if (entity == "gt") {
        out += '>';
      } else if (entity == "amp") {
        out += '&';
      } else if (entity == "quot") {
        out += '"';
      } else if (entity == "apos") {
        out += '\'';
      } else if (entity.size() > 1 && entity[0] == '#') {
        bool hex = entity[1] == 'x' || entity[1] == 'X';
        std::string_view digits = entity.substr(hex ? 2 : 1);
        std::uint32_t code = 0;
        auto [end, ec] =
            std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
        if (ec != std::errc() || end != digits.data() + digits.size() || code == 0 ||
            code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
          return false;
        appendUtf8(out, static_cast<char32_t>(code));
      } else {
        return false;
      }
      raw.remove_prefix(semi + 1);
    }
    out.append(raw);
    return true;
  }

  // The text of an element whose opening tag was `open` ("" for <name/>).
  bool content(const Tag& open, std::string& out) { return open.empty || text(open.name, out); }

  // The value that `open` starts. A kind this store does not keep (data, date) is read
  // and answered as nullopt with `failed_` unset; the caller leaves it out.
  std::optional<PropertyValue> value(const Tag& open, int depth) {
    if (depth > 64) return fail();  // a hostile file cannot nest without end
    std::string_view n = open.name;
    if (n == "dict") return dictionary(open, depth, kOffPath);
    if (n == "array") return array(open, depth);
    if (n == "true" || n == "false") {
      std::string ignored;
      if (!content(open, ignored)) return fail();
      return PropertyValue(n == "true");
    }
    std::string s;
    if (!content(open, s)) return fail();
    if (n == "string") return PropertyValue(std::move(s));
    if (n == "integer") {
      // Signed, or unsigned 64-bit kept by its bits (as earlier writers stored negatives).
      const char* first = s.data();
      const char* last = s.data() + s.size();
      std::int64_t signedValue = 0;
      std::uint64_t unsignedValue = 0;
      if (!s.empty() && s[0] == '-') {
        auto [end, ec] = std::from_chars(first, last, signedValue);
        if (ec != std::errc() || end != last) return fail();
        return PropertyValue(signedValue);
      }
      auto [end, ec] = std::from_chars(first, last, unsignedValue);
      if (ec != std::errc() || end != last) return fail();
      return PropertyValue(static_cast<std::int64_t>(unsignedValue));
    }
    if (n == "real") {
      double d = 0;
      auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), d);
      if (ec != std::errc() || end != s.data() + s.size()) return fail();
      return PropertyValue(d);
    }
    if (n == "data" || n == "date") return std::nullopt;
    return fail();
  }

  // `matched`: how many keys of the skipped path lead here through dictionaries only, or
  // kOffPath.
  std::optional<PropertyValue> dictionary(const Tag& open, int depth, int matched) {
    PropertyDictionary out;
    if (open.empty) return PropertyValue(std::move(out));
    Tag tag;
    for (;;) {
      if (!nextTag(tag)) return fail();
      if (tag.closing) {
        if (tag.name != "dict") return fail();
        return PropertyValue(std::move(out));
      }
      std::string key;
      if (tag.name != "key" || !content(tag, key) || !nextTag(tag) || tag.closing) return fail();
      const bool onPath = matched != kOffPath &&
                          static_cast<std::size_t>(matched) < skipped_.size() &&
                          key == skipped_[static_cast<std::size_t>(matched)];
      if (onPath && static_cast<std::size_t>(matched) + 1 == skipped_.size()) {
        if (!skip(tag)) return fail();
        continue;
      }
      std::optional<PropertyValue> item = onPath && tag.name == "dict"
                                              ? dictionary(tag, depth + 1, matched + 1)
                                              : value(tag, depth + 1);
      if (failed_) return std::nullopt;
      if (item) out.emplace(std::move(key), std::move(*item));
    }
  }

  std::optional<PropertyValue> array(const Tag& open, int depth) {
    PropertyArray out;
    if (open.empty) return PropertyValue(std::move(out));
    Tag tag;
    for (;;) {
      if (!nextTag(tag)) return fail();
      if (tag.closing) {
        if (tag.name != "array") return fail();
        return PropertyValue(std::move(out));
      }
      std::optional<PropertyValue> item = value(tag, depth + 1);
      if (failed_) return std::nullopt;
      if (item) out.push_back(std::move(*item));
    }
  }

  // Passes over the element that `open` starts, whatever it holds, without keeping it.
  bool skip(const Tag& open) {
    if (open.empty) return true;
    for (int level = 1; level > 0;) {
      const char* lt =
          static_cast<const char*>(std::memchr(p_, '<', static_cast<std::size_t>(end_ - p_)));
      if (!lt) return false;
      p_ = lt;
      if (startsWith("<![CDATA[")) {
        if (!skipPast("]]>")) return false;
        continue;
      }
      if (startsWith("<!--")) {
        if (!skipPast("-->")) return false;
        continue;
      }
      Tag tag;
      if (!nextTag(tag)) return false;
      if (tag.closing)
        --level;
      else if (!tag.empty)
        ++level;
    }
    return true;
  }

  std::optional<PropertyValue> fail() {
    failed_ = true;
    return std::nullopt;
  }

  static constexpr int kOffPath = -1;
  const char* p_;
  const char* end_;
  const std::vector<std::string>& skipped_;
  bool failed_ = false;
};

// ---- Reading the binary form, through libplist ----

struct PlistFree {
  void operator()(plist_t node) const { plist_free(node); }
};
using PlistHandle = std::unique_ptr<void, PlistFree>;

// Converts a node; nullopt for kinds this store does not keep (data, dates, UIDs).
std::optional<PropertyValue> fromNode(plist_t node, int depth) {
  if (!node || depth > 64) return std::nullopt;  // a hostile file cannot nest without end
  switch (plist_get_node_type(node)) {
    case PLIST_STRING: {
      // By pointer and length: libplist's copying getter aborts the process when a string
      // holds a NUL byte, which a binary list can.
      uint64_t length = 0;
      const char* text = plist_get_string_ptr(node, &length);
      return std::optional<PropertyValue>(std::in_place, text ? std::string(text, length) : "");
    }
    case PLIST_UINT: {
      uint64_t n = 0;
      plist_get_uint_val(node, &n);
      return std::optional<PropertyValue>(std::in_place, static_cast<std::int64_t>(n));
    }
    case PLIST_BOOLEAN: {
      uint8_t b = 0;
      plist_get_bool_val(node, &b);
      return std::optional<PropertyValue>(std::in_place, b != 0);
    }
    case PLIST_REAL: {
      double d = 0;
      plist_get_real_val(node, &d);
      return std::optional<PropertyValue>(std::in_place, d);
    }
    case PLIST_ARRAY: {
      PropertyArray array;
      uint32_t n = plist_array_get_size(node);
      for (uint32_t i = 0; i < n; ++i) {
        auto item = fromNode(plist_array_get_item(node, i), depth + 1);
        if (item) array.push_back(std::move(*item));
      }
      return std::optional<PropertyValue>(std::in_place, std::move(array));
    }
    case PLIST_DICT: {
      PropertyDictionary dictionary;
      plist_dict_iter it = nullptr;
      plist_dict_new_iter(node, &it);
      for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, it, &key, &item);
        if (!item) {
          std::free(key);
          break;
        }
        auto converted = fromNode(item, depth + 1);
        if (converted && key) dictionary.emplace(key, std::move(*converted));
        std::free(key);
      }
      std::free(it);
      return std::optional<PropertyValue>(std::in_place, std::move(dictionary));
    }
    default:
      return std::nullopt;
  }
}

std::optional<PropertyDictionary> parseBinary(const std::string& bytes) {
  if (bytes.size() > UINT32_MAX) return std::nullopt;
  plist_t node = nullptr;
  plist_from_bin(bytes.data(), static_cast<uint32_t>(bytes.size()), &node);
  PlistHandle root(node);
  if (!root || plist_get_node_type(root.get()) != PLIST_DICT) return std::nullopt;
  auto value = fromNode(root.get(), 0);
  if (!value || !value->dictionary()) return std::nullopt;
  return std::move(*value->dictionary());
}

}  // namespace

bool writePropertyListXML(const PropertyDictionary& dictionary, const PropertyListSink& sink) {
  XmlWriter writer(sink);
  writer.put(kHeader);
  writer.dictionary(dictionary, 0);
  writer.put("</plist>\n");
  return writer.finish();
}

std::string propertyListXML(const PropertyDictionary& dictionary) {
  std::string out;
  writePropertyListXML(dictionary, [&](std::string_view piece) {
    out.append(piece);
    return true;
  });
  return out;
}

std::optional<PropertyDictionary> parsePropertyList(const std::string& bytes,
                                                    const std::vector<std::string>& skipped) {
  if (bytes.empty()) return std::nullopt;
  if (bytes.starts_with("bplist00")) return parseBinary(bytes);
  std::string_view text = bytes;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);         // a UTF-8 byte-order mark
  if (text.find('\0') != std::string_view::npos) return std::nullopt;  // XML never holds NUL
  return XmlReader(text, skipped).document();
}

}  // namespace jc
