// Plug-in bundles: a folder holding the plug-in's shared object and its Resources/.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/base/result.h"

namespace jc {

/// A bundle folder "<Name>.plugin/" with the shared object "<Name>.so" and "Resources/"
/// (resources by name and type, layouts, and gettext catalogs under Resources/locale).
class Bundle {
 public:
  /// The gettext domain of the bundle's strings table.
  static constexpr const char* kTextDomain = "jobcontrol";

  /// Opens the bundle at `path`. Refuses, with a message naming the path, when the folder
  /// does not exist or has no Resources/ folder; the bundle is never null otherwise.
  static Result<std::shared_ptr<Bundle>> open(const std::filesystem::path& path);
  /// The bundle whose shared object contains the code at `address`, or nullptr when that
  /// object does not lie in a bundle folder.
  static std::shared_ptr<Bundle> containing(const void* address);

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path resourcesPath() const { return path_ / "Resources"; }
  /// The bundle's shared object: "<Name>.so" for a bundle folder named "<Name>.plugin".
  std::filesystem::path executablePath() const;

  /// The path of resource `name` of type `type` ("<name>.<type>" in Resources/), or
  /// nullopt when there is no such regular file.
  std::optional<std::filesystem::path> pathForResource(const std::string& name,
                                                       const std::string& type) const;
  /// The bytes of a resource, or nullopt when it is missing or unreadable.
  std::optional<std::string> resourceData(const std::string& name, const std::string& type) const;

  /// The translation of `key` in the user's language from the bundle's catalogs; the key
  /// itself when there is none. Follows the process locale and LANGUAGE, as gettext does.
  std::string localizedString(const std::string& key) const;

 private:
  explicit Bundle(std::filesystem::path path);
  std::filesystem::path path_;
};

}  // namespace jc
