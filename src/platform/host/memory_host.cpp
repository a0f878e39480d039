// The in-memory host callback object and PPD opening.
#include "platform/host/memory_host.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace jc {

namespace {
std::string ppdErrorText(const char* what) {
  int line = 0;
  ppd_status_t status = ppdLastError(&line);
  return std::string(what) + ": cannot read the PPD: " + ppdErrorString(status) +
         (line > 0 ? " (line " + std::to_string(line) + ")" : "");
}
}  // namespace

Result<PPDHandle> openPPDFile(const std::string& path) {
  PPDHandle ppd(ppdOpenFile(path.c_str()), ppdClose);
  if (!ppd) return Refusal{ppdErrorText(path.c_str())};
  return ppd;
}

Result<PPDHandle> openPPDText(const std::string& text) {
  // libcups reads PPDs through file descriptors, which a stdio memory stream lacks; an
  // anonymous memory file gives the text one without putting it on the disk.
  int fd = ::memfd_create("ppd", MFD_CLOEXEC);
  auto fail = [&](std::string why) -> Result<PPDHandle> {
    if (fd >= 0) ::close(fd);
    return Refusal{std::move(why)};
  };
  if (fd < 0) return fail("cannot make a memory file for the PPD");
  for (std::size_t done = 0; done < text.size();) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return fail("cannot write the PPD to a memory file");
    done += static_cast<std::size_t>(n);
  }
  if (::lseek(fd, 0, SEEK_SET) != 0) return fail("cannot rewind the PPD's memory file");
  // ppdOpenFd closes the descriptor it reads.
  PPDHandle ppd(ppdOpenFd(fd), ppdClose);
  if (!ppd) return Refusal{ppdErrorText("built-in PPD")};
  return ppd;
}

bool MemoryPluginCallback::willChangePPDOptionKeyValue(const std::string& key,
                                                       ppd_choice_t* choice) {
  return check_ ? check_(key, choice) : true;
}

}  // namespace jc
