// The user's full name from the password database.
#include "platform/host/user.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace jc {

std::string fullUserName() {
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return "";
  std::string gecos = found->pw_gecos ? found->pw_gecos : "";
  std::string name = gecos.substr(0, gecos.find(','));
  if (!name.empty()) return name;
  return found->pw_name ? found->pw_name : "";
}

}  // namespace jc
