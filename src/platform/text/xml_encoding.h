// XML documents in whatever encoding they declare, brought to UTF-8 before they are parsed,
// so a parser that reads UTF-8 only sees every document's text as it was meant.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace jc {

/// The document `xml` as UTF-8. Its encoding is found as an XML processor finds it: a
/// byte-order mark (UTF-8, UTF-16, UTF-32), else the 16- or 32-bit form of "<?", else the
/// encoding named in the XML declaration, else UTF-8 (also when a declaration that could
/// be read byte by byte names UTF-16 or UTF-32, which such bytes are not). A UTF-8
/// document is answered as a view into `xml` itself (a byte-order mark dropped), with no
/// copy; any other is converted whole with iconv into `storage` and answered as a view of
/// it, its declaration left as it stood. nullopt when the declared encoding is malformed
/// or unknown to iconv, or the bytes are not valid text in the encoding found: such a
/// document cannot be read as XML.
std::optional<std::string_view> xmlDocumentAsUTF8(std::string_view xml, std::string& storage);

}  // namespace jc
