// The user-defaults store: named, per-user, persistent domains of property-list values,
// read whole and replaced whole, safe against crashes and concurrent dialogs.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
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
/// Each refusal or failed write answers a refusal that names the file concerned.
///
/// A process may keep its store in memory instead (`keepInMemory`): the domains then live
/// as the same property-list text, in the process, and end with it.
class UserDefaults {
 public:
  /// The largest domain file read or written; writes that would exceed it are refused.
  static constexpr std::size_t kMaxDomainBytes = 64u << 20;

  /// The current user's store: $XDG_CONFIG_HOME/jobcontrol, or ~/.config/jobcontrol,
  /// with every missing folder on the way created mode 0700 whatever the umask; a refusal
  /// naming the folder when no such folder can be had or the folder is not the user's own
  /// (another owner, or writable by group or others).
  static Result<UserDefaults> standard();
  /// From now on `standard()` answers a store held in this process's memory: it reads and
  /// writes no file, starts with no domain and ends with the process. A domain reads back
  /// as its property-list text parses, as from a file. For a process that serves one job
  /// and must neither see nor leave another's preferences (the queue's filter).
  static void keepInMemory();
  /// A store kept in `folder`, which must exist.
  explicit UserDefaults(std::filesystem::path folder) : folder_(std::move(folder)) {}

  const std::filesystem::path& folder() const { return folder_; }
  /// The file that holds `domain`. Characters other than letters, digits, '.', '-' and
  /// '_' are written as %XX, so a domain name can never leave the folder.
  std::filesystem::path fileForDomain(const std::string& domain) const;

  /// The domain as last written by anyone, nullopt when it is absent or damaged; refused
  /// when its file or lock file is not one the store may use.
  Result<std::optional<PropertyDictionary>> persistentDomain(const std::string& domain) const;
  /// Replaces the domain whole; refused when it could not be written (the old file stays).
  /// A domain whose file already holds exactly these bytes is not written again.
  Result<> setPersistentDomain(const std::string& domain, const PropertyDictionary& value);
  /// Reads the domain (empty when absent), lets `change` modify it, and writes it back,
  /// all under the domain's lock; when the result's bytes equal the file's, nothing is
  /// written. Answers the domain as it now stands. `replaced` names a value (a path of
  /// keys) that `change` always sets afresh: it is not read, so a long one costs nothing.
  /// Refused when the lock, the read (a refused file) or the write failed; the file is then
  /// left as it was.
  Result<PropertyDictionary> updateDomain(
      const std::string& domain, const std::function<void(PropertyDictionary& domain)>& change,
      const std::vector<std::string>& replaced = {});

 private:
  /// The domain's file read and parsed, the value at `skipped` left out; nullopt when
  /// absent or damaged, refused when the file is there but must not be replaced.
  Result<std::optional<PropertyDictionary>> readLocked(
      const std::string& domain, const std::vector<std::string>& skipped = {}) const;
  Result<> writeLocked(const std::string& domain, const PropertyDictionary& value);
  void removeStaleTemporaries(const std::filesystem::path& file) const;
  /// The domains' texts by name, when the store is kept in memory.
  using MemoryDomains = std::map<std::string, std::string>;
  explicit UserDefaults(MemoryDomains* memory) : memory_(memory) {}
  std::optional<PropertyDictionary> readMemory(const std::string& domain,
                                               const std::vector<std::string>& skipped = {}) const;
  Result<> writeMemory(const std::string& domain, const PropertyDictionary& value);
  std::filesystem::path folder_;
  MemoryDomains* memory_ = nullptr;
};

}  // namespace jc
