// XML documents in whatever encoding they declare, brought to UTF-8 before they are parsed,
// so a parser that reads UTF-8 only sees every document's text as it was meant.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace jc {

/// The document `xml` converted to UTF-8. Its encoding is found as an XML processor finds
/// it: a byte-order mark (UTF-8, UTF-16, UTF-32), else the 16- or 32-bit form of "<?",
/// else the encoding named in the XML declaration, else UTF-8. UTF-8 documents come back
/// unchanged (a byte-order mark dropped); others are converted whole with iconv, and the
/// declaration is left as it stood. nullopt when the declared encoding is malformed or
/// unknown to iconv, or the bytes are not valid text in the encoding found: such a
/// document cannot be read as XML.
std::optional<std::string> xmlDocumentAsUTF8(std::string_view xml);

}  // namespace jc
