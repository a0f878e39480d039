// The user-defaults store: named, per-user, persistent domains of property-list values,
// read whole and replaced whole, safe against crashes and concurrent dialogs.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/property_list.h"

namespace jc {

/// A folder of domains, one XML property-list file each ("<domain>.plist", mode 0600).
/// Every write goes to a temporary file in the same folder, is flushed to disk and renamed
/// over the old file, so a reader sees the old or the new domain, never a torn one. Each
/// operation holds an advisory lock on "<domain>.plist.lock", so read-modify-write cycles
/// of several processes never interleave. A damaged file reads as absent and is renamed
/// aside ("<domain>.plist.damaged-<time>-<pid>") before anything replaces it.
class UserDefaults {
 public:
  /// The current user's store: $XDG_CONFIG_HOME/jobcontrol, or ~/.config/jobcontrol,
  /// created (mode 0700) when missing. nullopt when no such folder can be had.
  static std::optional<UserDefaults> standard();
  /// A store kept in `folder`, which must exist.
  explicit UserDefaults(std::filesystem::path folder) : folder_(std::move(folder)) {}

  const std::filesystem::path& folder() const { return folder_; }
  /// The file that holds `domain`. Characters other than letters, digits, '.', '-' and
  /// '_' are written as %XX, so a domain name can never leave the folder.
  std::filesystem::path fileForDomain(const std::string& domain) const;

  /// The domain as last written by anyone, or nullopt when it is absent or damaged.
  std::optional<PropertyDictionary> persistentDomain(const std::string& domain) const;
  /// Replaces the domain whole; false when it could not be written (the old file stays).
  /// A domain whose file already holds exactly these bytes is not written again.
  bool setPersistentDomain(const std::string& domain, const PropertyDictionary& value);
  /// Reads the domain (empty when absent), lets `change` modify it, and writes it back,
  /// all under the domain's lock; when the result's bytes equal the file's, nothing is
  /// written. With `result`, the domain as it now stands is moved there on success. False when the
  /// lock or the write failed.
  bool updateDomain(const std::string& domain,
                    const std::function<void(PropertyDictionary& domain)>& change,
                    PropertyDictionary* result = nullptr);

 private:
  std::optional<PropertyDictionary> readLocked(const std::string& domain,
                                               std::string* bytes = nullptr) const;
  bool writeLocked(const std::string& domain, const std::string& bytes);
  std::filesystem::path folder_;
};

}  // namespace jc
