// The user's temporary directory, atomic file replacement and careful reading of files
// kept there, where other local users may have planted something.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/base/result.h"

namespace jc {

/// The user's temporary directory, always ending in "/": $TMPDIR, else $XDG_RUNTIME_DIR,
/// else "/tmp/" (an empty variable counts as unset). A file name may be appended directly.
std::string temporaryDirectory();

/// The folder for the user's own temporary files, ending in "/": the temporary directory
/// when only the user can write to it; when others can (as in a shared, sticky /tmp), a
/// folder "jobcontrol-<uid>" in it, created mode 0700 and used only while it is a folder
/// of the user that nobody else can write to. A refusal naming the folder when no such
/// folder can be had.
Result<std::string> userTemporaryDirectory();

/// Replaces the file at `path` with `data` in one step: the bytes go to a new file (mode
/// 0600) made in the same folder, which is then renamed over `path`. A link or any other
/// entry at `path` is replaced, never followed. With `durable`, the bytes reach the disk
/// before the rename (a crash then leaves the old file or the new one, at the price of a
/// disk flush); without it readers still see one or the other. Refuses, naming `path` and
/// the failed step, and leaves `path` as it was when any step fails (an empty `path` always
/// fails).
Result<> writeFileAtomically(const std::string& path, std::string_view data, bool durable = true);

/// As above, the new file taking the permission bits `mode` (before it replaces `path`, so
/// no reader ever meets it with others), for files other users must read.
Result<> writeFileAtomically(const std::string& path, std::string_view data, bool durable,
                             unsigned mode);

/// Reads the regular file at `path` when it is not a link, belongs to the calling user and
/// holds at most `maxBytes` bytes; otherwise a refusal naming `path` and saying which of
/// these it is not (or that it does not exist, or cannot be read). Checks and reading use
/// the same open file, so the file cannot be swapped in between.
Result<std::string> readOwnFile(const std::string& path, std::size_t maxBytes);

/// Whether the file at `path`, taken with the care of `readOwnFile`, holds exactly `bytes`.
/// It is compared piece by piece, never read whole.
bool ownFileHolds(const std::string& path, std::string_view bytes);

}  // namespace jc
