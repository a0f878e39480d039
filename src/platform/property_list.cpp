// Conversions between property-list values and libplist nodes.
#include "platform/property_list.h"

#include <plist/plist.h>

#include <cstdlib>
#include <memory>

namespace jc {

namespace {

struct PlistFree {
  void operator()(plist_t node) const { plist_free(node); }
};
using PlistHandle = std::unique_ptr<void, PlistFree>;

plist_t toNode(const PropertyValue& value) {
  struct Visitor {
    plist_t operator()(const std::string& s) const { return plist_new_string(s.c_str()); }
    plist_t operator()(std::int64_t n) const {
      // libplist keeps integers as unsigned 64-bit; negative values keep their bits.
      return plist_new_uint(static_cast<uint64_t>(n));
    }
    plist_t operator()(bool b) const { return plist_new_bool(b ? 1 : 0); }
    plist_t operator()(double d) const { return plist_new_real(d); }
    plist_t operator()(const PropertyArray& a) const {
      plist_t node = plist_new_array();
      for (const auto& item : a) plist_array_append_item(node, toNode(item));
      return node;
    }
    plist_t operator()(const PropertyDictionary& d) const {
      plist_t node = plist_new_dict();
      for (const auto& [key, item] : d) plist_dict_set_item(node, key.c_str(), toNode(item));
      return node;
    }
  };
  return std::visit(Visitor{}, value.value);
}

// Converts a node; nullopt for kinds this store does not keep (data, dates, UIDs).
std::optional<PropertyValue> fromNode(plist_t node, int depth) {
  if (!node || depth > 64) return std::nullopt;  // a hostile file cannot nest without end
  switch (plist_get_node_type(node)) {
    case PLIST_STRING: {
      char* text = nullptr;
      plist_get_string_val(node, &text);
      std::string s = text ? text : "";
      std::free(text);
      return std::optional<PropertyValue>(std::in_place, std::move(s));
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

}  // namespace

std::string propertyListXML(const PropertyDictionary& dictionary) {
  PlistHandle root(toNode(PropertyValue(dictionary)));
  char* xml = nullptr;
  uint32_t length = 0;
  plist_to_xml(root.get(), &xml, &length);
  std::string out(xml ? xml : "", xml ? length : 0);
  plist_to_xml_free(xml);
  return out;
}

std::optional<PropertyDictionary> parsePropertyList(const std::string& bytes) {
  if (bytes.empty() || bytes.size() > UINT32_MAX) return std::nullopt;
  // Only XML, as written here. XML never holds a NUL byte, and libplist aborts the whole
  // process on a string or key with one inside (binary lists may carry them too).
  if (bytes.find('\0') != std::string::npos || bytes.rfind("bplist", 0) == 0) return std::nullopt;
  plist_t node = nullptr;
  plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &node);
  PlistHandle root(node);
  if (!root || plist_get_node_type(root.get()) != PLIST_DICT) return std::nullopt;
  auto value = fromNode(root.get(), 0);
  if (!value || !value->dictionary()) return std::nullopt;
  return std::move(*value->dictionary());
}

}  // namespace jc
