// Alerts: the one way the panel speaks to the user. The host supplies the presenter (a
// modal dialog in a GUI); without one, alerts go to standard error.
#pragma once

#include <string>

namespace jc {

/// Shows modal informational alerts on behalf of a panel.
class AlertPresenter {
 public:
  virtual ~AlertPresenter() = default;
  /// Shows an alert with `title` (may be empty), `message` and one button captioned
  /// `button`; returns when the user has dismissed it.
  virtual void runInformationalAlert(const std::string& title, const std::string& message,
                                     const std::string& button) = 0;
};

/// Writes each alert as one line to standard error ("title: message", or just the message
/// when the title is empty) and returns at once.
class StandardErrorAlertPresenter : public AlertPresenter {
 public:
  void runInformationalAlert(const std::string& title, const std::string& message,
                             const std::string& button) override;
};

/// The process's standard-error presenter, for hosts that supply none.
AlertPresenter& standardErrorAlertPresenter();

}  // namespace jc
