// One folder of the printer's document filing storage, as its folder list gives it.
#pragma once

#include <string>
#include <vector>

namespace jc {

/// A printer folder: its name, whether it needs a folder pass code, whether it is a
/// directory entry, and the "add" flag (always false for folders the printer reported).
struct FolderEntry {
  std::string name;
  bool password = false;
  bool dir = false;
  bool add = false;
  bool operator==(const FolderEntry&) const = default;
};

using FolderList = std::vector<FolderEntry>;

}  // namespace jc
