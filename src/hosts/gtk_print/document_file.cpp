// Opening a document once, and the check of what it holds, by its descriptor.
#include "hosts/gtk_print/document_file.h"

#include <fcntl.h>
#include <libintl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "hosts/common/terminal_text.h"
#include "platform/host/document_kind.h"

namespace jc::gtk {

namespace {

// A message of the program's catalog about the file, its name shown escaped.
Refusal refusal(const std::string& path, const char* format) {
  std::string text = dgettext("jobcontrol-print", format);
  std::string::size_type at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, terminalText(path));
  return Refusal{std::move(text)};
}

Refusal systemRefusal(const std::string& path, int error) {
  return Refusal{terminalText(path) + ": " + std::strerror(error)};
}

}  // namespace

Result<DocumentFile> DocumentFile::open(const std::string& path) {
  // O_NONBLOCK: a FIFO named as a document must not stall the opening; it is refused below.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return systemRefusal(path, errno);
  DocumentFile document(path, fd);
  struct stat status {};
  if (::fstat(fd, &status) != 0) return systemRefusal(path, errno);
  if (S_ISDIR(status.st_mode)) return systemRefusal(path, EISDIR);
  // A pipe or a device gives its bytes once: what was checked could not be sent.
  if (!S_ISREG(status.st_mode)) return refusal(path, "%s: not a regular file");
  if (Result<void> checked = document.recheck(); !checked) return checked.refusal();
  return document;
}

Result<void> DocumentFile::recheck() const {
  if (documentKind(fd_) == DocumentKind::Other)
    return refusal(path_, "%s: not a PDF or PostScript file");
  if (::lseek(fd_, 0, SEEK_SET) != 0) return systemRefusal(path_, errno);
  return {};
}

std::string DocumentFile::shownPath() const {
  return terminalText(path_);
}

DocumentFile::DocumentFile(DocumentFile&& other) noexcept
    : path_(std::move(other.path_)), fd_(std::exchange(other.fd_, -1)) {}

DocumentFile& DocumentFile::operator=(DocumentFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    path_ = std::move(other.path_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

DocumentFile::~DocumentFile() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace jc::gtk
