// The print dialog host's side of the extension protocol: printer, session and the
// callback object a panel is created with.
#pragma once

#include <cups/ppd.h>

#include <optional>
#include <string>

#include "platform/host/print_settings.h"
#include "platform/io/runloop.h"
#include "platform/widgets/alert.h"

namespace jc {

/// The printer a job goes to: its ID (the CUPS queue name) and its device URI.
class Printer {
 public:
  Printer(std::string id, std::optional<std::string> deviceURI)
      : id_(std::move(id)), deviceURI_(std::move(deviceURI)) {}
  const std::string& id() const { return id_; }
  /// The device URI, or nullopt when the printer has none.
  const std::optional<std::string>& deviceURI() const { return deviceURI_; }

 private:
  std::string id_;
  std::optional<std::string> deviceURI_;
};

/// The host's print session.
class PrintSession {
 public:
  virtual ~PrintSession() = default;
  /// The session's current printer, or nullptr.
  virtual const Printer* currentPrinter() const = 0;
};

/// A session with a fixed printer (or none).
class FixedPrintSession : public PrintSession {
 public:
  explicit FixedPrintSession(std::optional<Printer> printer) : printer_(std::move(printer)) {}
  const Printer* currentPrinter() const override { return printer_ ? &*printer_ : nullptr; }

 private:
  std::optional<Printer> printer_;
};

/// The host's callback object, handed to each panel it creates.
class PluginCallback {
 public:
  virtual ~PluginCallback() = default;
  /// The current printer's PPD record, owned by the host; nullptr when there is none.
  virtual ppd_file_t* ppdFile() = 0;
  /// The host's print session; nullptr when there is none.
  virtual PrintSession* printSession() = 0;
  /// The job's print settings; nullptr when there are none.
  virtual PrintSettings* printSettings() = 0;
  /// Whether this host offers `willChangePPDOptionKeyValue` at all.
  virtual bool respondsToWillChangePPDOptionKeyValue() const { return false; }
  /// Asks whether PPD option `key` may change to `choice`; true allows it.
  virtual bool willChangePPDOptionKeyValue(const std::string& key, ppd_choice_t* choice) {
    (void)key, (void)choice;
    return true;
  }
  /// The host's alert presenter, or nullptr when it supplies none (alerts then go to
  /// standard error). The host keeps it alive as long as the callback object.
  virtual AlertPresenter* alertPresenter() { return nullptr; }
  /// The host's run loop, served while the panel waits (the folder exchange), or nullptr
  /// when the host has none (the panel then waits on the thread's poll loop). It must
  /// outlive every panel made with this callback object: a panel released while busy is
  /// finished by a task posted to it.
  virtual RunLoop* runLoop() { return nullptr; }
  /// Told when the per-printer preferences could not be used or kept: `message` says
  /// what was not read or remembered and why, for a person. The default ignores it.
  virtual void preferencesProblem(const std::string& message) { (void)message; }
};

}  // namespace jc
