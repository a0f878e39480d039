// The user-defaults store: named, per-user, persistent domains of property-list values,
// read whole and replaced whole, safe against crashes and concurrent dialogs.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/result.h"
#include "platform/io/property_list.h"

namespace jc {

/// A folder of domains, one XML property-list file each ("<domain>.plist", mode 0600).
/// Every write goes to a temporary file in the same folder, is flushed to disk and renamed
/// over the old file, so a reader sees the old or the new domain, never a torn one. Each
/// operation holds an advisory lock on "<domain>.plist.lock", so read-modify-write cycles
/// of several processes never interleave. A damaged file reads as absent and is renamed
/// aside ("<domain>.plist.damaged-<time>-<pid>") before anything replaces it.
///
/// Only what is the user's own is used: a domain or lock file that is a link, a FIFO or
/// another user's file is neither read nor replaced (a FIFO never blocks), and a domain
/// file larger than `kMaxDomainBytes` is left as it is rather than taken for damaged.
/// Each refusal or failed write is told by `problem()`.
class UserDefaults {
 public:
  /// The largest domain file read or written; writes that would exceed it are refused.
  static constexpr std::size_t kMaxDomainBytes = 64u << 20;

  /// The current user's store: $XDG_CONFIG_HOME/jobcontrol, or ~/.config/jobcontrol,
  /// with every missing folder on the way created mode 0700 whatever the umask; a refusal
  /// naming the folder when no such folder can be had or the folder is not the user's own
  /// (another owner, or writable by group or others).
  static Result<UserDefaults> standard();
  /// A store kept in `folder`, which must exist.
  explicit UserDefaults(std::filesystem::path folder) : folder_(std::move(folder)) {}

  const std::filesystem::path& folder() const { return folder_; }
  /// The file that holds `domain`. Characters other than letters, digits, '.', '-' and
  /// '_' are written as %XX, so a domain name can never leave the folder.
  std::filesystem::path fileForDomain(const std::string& domain) const;

  /// The domain as last written by anyone, or nullopt when it is absent, damaged or refused.
  std::optional<PropertyDictionary> persistentDomain(const std::string& domain) const;
  /// Replaces the domain whole; false when it could not be written (the old file stays).
  /// A domain whose file already holds exactly these bytes is not written again.
  bool setPersistentDomain(const std::string& domain, const PropertyDictionary& value);
  /// Reads the domain (empty when absent), lets `change` modify it, and writes it back,
  /// all under the domain's lock; when the result's bytes equal the file's, nothing is
  /// written. With `result`, the domain as it now stands is moved there on success.
  /// `replaced` names a value (a path of keys) that `change` always sets afresh: it is not
  /// read, so a long one costs nothing. False when the lock, the read (a refused file) or
  /// the write failed; the file is then left as it was.
  bool updateDomain(const std::string& domain,
                    const std::function<void(PropertyDictionary& domain)>& change,
                    PropertyDictionary* result = nullptr,
                    const std::vector<std::string>& replaced = {});

  /// Why the last operation refused a file or failed, for a person to read ("" when it
  /// went well). It names the file concerned.
  const std::string& problem() const { return problem_; }

 private:
  struct ReadResult {
    std::optional<PropertyDictionary> value;  ///< nullopt: absent, damaged or refused
    bool refused = false;                     ///< the file is there but must not be replaced
  };
  /// The domain's file read and parsed, the value at `skipped` left out.
  ReadResult readLocked(const std::string& domain,
                        const std::vector<std::string>& skipped = {}) const;
  bool writeLocked(const std::string& domain, const PropertyDictionary& value);
  void removeStaleTemporaries(const std::filesystem::path& file) const;
  std::filesystem::path folder_;
  mutable std::string problem_;
};

}  // namespace jc
