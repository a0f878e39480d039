// A document to print, opened once: checked when it is named and sent from that same open
// file, so what reaches the printer is what was checked, whatever the path holds meanwhile.
#pragma once

#include <string>

#include "platform/base/result.h"

namespace jc::gtk {

/// An open PDF or PostScript file. Move-only; closes its descriptor when it goes.
class DocumentFile {
 public:
  /// Opens the regular file at `path` and checks that it holds PDF or PostScript. A refusal
  /// says why, naming the file with its control characters escaped: the system's reason when
  /// it cannot be opened or read (no such file, too many levels of symbolic links,
  /// permission denied, a directory), "not a regular file", or "not a PDF or PostScript
  /// file".
  static Result<DocumentFile> open(const std::string& path);

  DocumentFile(DocumentFile&& other) noexcept;
  DocumentFile& operator=(DocumentFile&& other) noexcept;
  ~DocumentFile();

  /// Checks again what the open file holds now (it may have been rewritten in place) and
  /// rewinds it, so a reader of the descriptor gets the whole document from its first byte.
  Result<void> recheck() const;
  /// The open descriptor; the object keeps it.
  int descriptor() const { return fd_; }
  /// The path it was opened by, as given.
  const std::string& path() const { return path_; }
  /// The path as a message shows it: control characters escaped.
  std::string shownPath() const;

 private:
  DocumentFile(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
  std::string path_;
  int fd_ = -1;
};

}  // namespace jc::gtk
