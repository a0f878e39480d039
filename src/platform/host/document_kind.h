// Telling a document CUPS prints from anything else, by its first bytes.
#pragma once

#include <string>

#include "platform/base/export.h"

namespace jc {

/// The kind of document a file holds, read from its first bytes.
enum class DocumentKind { PDF, PostScript, Other };

/// What the file at `path` is: PDF when it starts "%PDF-", PostScript when it starts "%!",
/// otherwise (also a file that cannot be read) Other. CUPS types both of the first two as
/// documents it can print.
JC_EXPORT DocumentKind documentKind(const std::string& path);

}  // namespace jc
