// Property-list values (string, integer, boolean, real, array, dictionary) and their XML
// property-list file form, read and written with libplist.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace jc {

struct PropertyValue;
using PropertyArray = std::vector<PropertyValue>;
using PropertyDictionary = std::map<std::string, PropertyValue>;

/// One property-list value.
struct PropertyValue {
  std::variant<std::string, std::int64_t, bool, double, PropertyArray, PropertyDictionary> value;

  PropertyValue() : value(std::string()) {}
  PropertyValue(std::string s) : value(std::move(s)) {}
  PropertyValue(const char* s) : value(std::string(s)) {}
  PropertyValue(std::int64_t n) : value(n) {}
  PropertyValue(int n) : value(std::int64_t{n}) {}
  PropertyValue(bool b) : value(b) {}
  PropertyValue(double d) : value(d) {}
  PropertyValue(PropertyArray a) : value(std::move(a)) {}
  PropertyValue(PropertyDictionary d) : value(std::move(d)) {}

  /// The value as the given kind, or nullptr when it is of another kind.
  const std::string* string() const { return std::get_if<std::string>(&value); }
  const std::int64_t* integer() const { return std::get_if<std::int64_t>(&value); }
  const bool* boolean() const { return std::get_if<bool>(&value); }
  const PropertyArray* array() const { return std::get_if<PropertyArray>(&value); }
  const PropertyDictionary* dictionary() const { return std::get_if<PropertyDictionary>(&value); }
  PropertyDictionary* dictionary() { return std::get_if<PropertyDictionary>(&value); }

  bool operator==(const PropertyValue& other) const { return value == other.value; }
};

/// Receives the text of a property list piece by piece; answers false to stop.
using PropertyListSink = std::function<bool(std::string_view piece)>;
/// Serialises a dictionary as an XML property list into `sink`, in pieces of about 64 KiB,
/// without building the whole text; each string and key is written as `xmlSafeText` gives
/// it (unchanged when it is such text), so any XML 1.0 reader accepts the file. False when
/// the sink stopped it.
bool writePropertyListXML(const PropertyDictionary& dictionary, const PropertyListSink& sink);
/// Serialises a dictionary as an XML property list.
std::string propertyListXML(const PropertyDictionary& dictionary);
/// Parses an XML or binary property list whose root is a dictionary; nullopt when the
/// bytes are not one (damaged, truncated, or another root kind). The value at `skipped`, a
/// path of keys through dictionaries from the root, is passed over in the XML form and left
/// out of the answer: a caller about to replace it need not build it.
std::optional<PropertyDictionary> parsePropertyList(const std::string& bytes,
                                                    const std::vector<std::string>& skipped = {});

}  // namespace jc
