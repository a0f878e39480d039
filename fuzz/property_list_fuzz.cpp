// The preference files' reader: arbitrary bytes as a property list, read whole and with a
// skipped path; whatever reads must write and read back again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/io/property_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  jc::parsePropertyList(bytes, {"Job Control", "files"});
  if (auto domain = jc::parsePropertyList(bytes)) {
    if (!jc::parsePropertyList(jc::propertyListXML(*domain))) std::abort();
  }
  return 0;
}
