// Reading the printer's folder-list answer: the descent through the SOAP envelope and the
// folder entries it carries.
#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <string>

#include "platform/base/export.h"
#include "settings/folder_entry.h"

extern "C" {
/// The last child of `node` (of any kind), or nullptr when `node` is nullptr or has no
/// children. The folder-list reader descends the envelope by this rule.
JC_EXPORT pugi::xml_node_struct* MyGetChild(pugi::xml_node_struct* node);
}

namespace jc::soap {

/// The largest response file the reader accepts; the client never writes a larger one.
inline constexpr std::size_t kMaxResponseFileBytes = 32u << 20;

/// The most folders an answer may bring, and the most bytes all their names may take:
/// far more than any printer keeps, and small enough that the preferences holding the
/// list stay well within what the store reads back, whatever the names hold.
inline constexpr std::size_t kMaxFolders = 10000;
inline constexpr std::size_t kMaxFolderNameBytes = 4u << 20;

/// What reading an answer gave.
enum class FolderListResult {
  NotLoaded,  ///< not XML at all: the caller's list stays as it was
  Rejected,   ///< XML, but not a successful folder list: the list becomes empty
  Accepted,   ///< a folder list (possibly empty)
};

/// Reads the answer document in `xml`, in the encoding it declares, into `list`; the
/// document is parsed in its own bytes, which it takes over (no copy of a UTF-8 answer is
/// made, and one in another encoding is converted once). `list`
/// is untouched for NotLoaded (also an encoding iconv does not know), emptied for
/// Rejected, and holds the folders in document order for Accepted.
/// Element names are compared whole and case-sensitively (a prefixed name never matches);
/// an element's text is the concatenation of all its text and CDATA descendants. A folder
/// name is kept as XML-safe UTF-8 (bytes that are no text and characters XML forbids are
/// U+FFFD), so the list, the pop-up and the preference file all hold the same name.
/// The list keeps the first folders within kMaxFolders and kMaxFolderNameBytes; how many
/// entries were left out goes to `leftOut` when given.
FolderListResult readFolderList(std::string xml, FolderList& list, std::size_t* leftOut = nullptr);

}  // namespace jc::soap
