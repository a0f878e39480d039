// Telling a document CUPS prints from anything else, by its first bytes.
#include "platform/host/document_kind.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

namespace jc {

DocumentKind documentKind(const std::string& path) {
  // O_NONBLOCK: a FIFO given as a document must not stall the check.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return DocumentKind::Other;
  char head[5] = {};
  const ssize_t n = ::read(fd, head, sizeof head);
  ::close(fd);
  if (n == 5 && std::memcmp(head, "%PDF-", 5) == 0) return DocumentKind::PDF;
  if (n >= 2 && std::memcmp(head, "%!", 2) == 0) return DocumentKind::PostScript;
  return DocumentKind::Other;
}

}  // namespace jc
