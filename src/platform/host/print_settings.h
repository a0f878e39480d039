// The job's print settings: a store of string keys and string values with the job's name.
#pragma once

#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/result.h"

namespace jc {

/// The print settings of one job, as the host printing system keeps them.
class PrintSettings {
 public:
  virtual ~PrintSettings() = default;
  /// The value of `key`, or nullopt when the key is not set.
  virtual std::optional<std::string> value(const std::string& key) const = 0;
  /// Sets `key` to `value`; nullopt removes the key.
  virtual void setValue(const std::string& key, std::optional<std::string> value) = 0;
  /// The job's own name ("" when it has none).
  virtual std::string jobName() const = 0;
};

/// Print settings held in memory, in key order.
class MemoryPrintSettings : public PrintSettings {
 public:
  MemoryPrintSettings() = default;
  explicit MemoryPrintSettings(std::string jobName) : jobName_(std::move(jobName)) {}

  std::optional<std::string> value(const std::string& key) const override;
  void setValue(const std::string& key, std::optional<std::string> value) override;
  std::string jobName() const override { return jobName_; }
  void setJobName(std::string name) { jobName_ = std::move(name); }

  const std::map<std::string, std::string>& entries() const { return entries_; }

  /// Reads "key=value" lines (the form `write` produces). Blank lines and lines starting
  /// with '#' are skipped; a line without '=' is an error reported with its number.
  /// Refuses, with a message naming the line, on the first bad line (the lines before it
  /// are taken).
  Result<> read(std::istream& in);
  /// Writes every entry as a "key=value" line, in key order.
  void write(std::ostream& out) const;

 private:
  std::map<std::string, std::string> entries_;
  std::string jobName_;
};

}  // namespace jc
