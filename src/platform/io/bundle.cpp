// Bundle folders, their resources and their gettext strings table.
#include "platform/io/bundle.h"

#include <dlfcn.h>
#include <libintl.h>

#include <mutex>
#include <system_error>

#include "platform/io/file_bytes.h"

namespace jc {

namespace fs = std::filesystem;

Bundle::Bundle(fs::path path) : path_(std::move(path)) {
  // gettext binds a domain to one folder per process; the last bundle opened wins,
  // which is right since one process loads one copy of the plug-in.
  std::string locale = (resourcesPath() / "locale").string();
  bindtextdomain(kTextDomain, locale.c_str());
  bind_textdomain_codeset(kTextDomain, "UTF-8");
}

Result<std::shared_ptr<Bundle>> Bundle::open(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_directory(path, ec))
    return Refusal{path.string() + ": not a bundle folder (no such directory)"};
  if (!fs::is_directory(path / "Resources", ec))
    return Refusal{path.string() + ": not a bundle folder (it has no Resources/ folder)"};
  fs::path canonical = fs::weakly_canonical(path, ec);
  return std::shared_ptr<Bundle>(new Bundle(ec ? path : canonical));
}

std::shared_ptr<Bundle> Bundle::containing(const void* address) {
  Dl_info info{};
  if (dladdr(address, &info) == 0 || !info.dli_fname) return nullptr;
  fs::path folder = fs::path(info.dli_fname).parent_path();
  if (folder.extension() != ".plugin") return nullptr;
  return open(folder).value_or(nullptr);
}

fs::path Bundle::executablePath() const {
  return path_ / (path_.stem().string() + ".so");
}

std::optional<fs::path> Bundle::pathForResource(const std::string& name,
                                                const std::string& type) const {
  if (name.empty() || name.find('/') != std::string::npos || type.find('/') != std::string::npos)
    return std::nullopt;
  fs::path file = resourcesPath() / (type.empty() ? name : name + "." + type);
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return std::nullopt;
  return file;
}

std::optional<std::string> Bundle::resourceData(const std::string& name,
                                                const std::string& type) const {
  auto file = pathForResource(name, type);
  if (!file) return std::nullopt;
  return readFileBytes(*file);
}

std::string Bundle::localizedString(const std::string& key) const {
  if (key.empty()) return key;  // gettext answers the catalog header for ""
  return dgettext(kTextDomain, key.c_str());
}

}  // namespace jc
