// A host callback object kept in memory: a PPD opened from a file or text, a session with
// one printer, and in-memory print settings. The command-line host and the tests use it.
#pragma once

#include <cups/ppd.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/result.h"
#include "platform/host/print_host.h"

namespace jc {

/// An owned PPD record, closed with ppdClose.
using PPDHandle = std::unique_ptr<ppd_file_t, void (*)(ppd_file_t*)>;

/// Opens a PPD file; refuses, with a message naming the file, when it cannot be read or
/// parsed. An accepted handle is never null.
Result<PPDHandle> openPPDFile(const std::string& path);
/// Parses a PPD from text in memory; refuses, with the reason, when it fails.
Result<PPDHandle> openPPDText(const std::string& text);

/// A callback object whose parts are all in memory and set by its creator.
class MemoryPluginCallback : public PluginCallback {
 public:
  /// Answers whether a PPD option may change; the host offers the question only when set.
  using ConstraintCheck = std::function<bool(const std::string& key, ppd_choice_t* choice)>;

  MemoryPluginCallback() : ppd_(nullptr, ppdClose) {}

  ppd_file_t* ppdFile() override { return ppd_.get(); }
  PrintSession* printSession() override { return session_ ? &*session_ : nullptr; }
  PrintSettings* printSettings() override { return settings_.get(); }
  bool respondsToWillChangePPDOptionKeyValue() const override { return offersConstraints_; }
  bool willChangePPDOptionKeyValue(const std::string& key, ppd_choice_t* choice) override;

  void setPPD(PPDHandle ppd) { ppd_ = std::move(ppd); }
  void setPrinter(std::optional<Printer> printer) { session_.emplace(std::move(printer)); }
  void removeSession() { session_.reset(); }
  void setPrintSettings(std::shared_ptr<PrintSettings> settings) {
    settings_ = std::move(settings);
  }
  /// Whether the host offers the constraint question (real print dialogs do).
  void setOffersConstraints(bool offers) { offersConstraints_ = offers; }
  void setConstraintCheck(ConstraintCheck check) { check_ = std::move(check); }
  /// Keeps what the panel reports about the preferences, in order.
  void preferencesProblem(const std::string& message) override {
    preferenceProblems.push_back(message);
  }
  std::vector<std::string> preferenceProblems;

 private:
  PPDHandle ppd_;
  std::optional<FixedPrintSession> session_;
  std::shared_ptr<PrintSettings> settings_;
  bool offersConstraints_ = true;
  ConstraintCheck check_;
};

}  // namespace jc
