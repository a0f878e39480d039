// The panel's alert in GTK: a modal message dialog over the window that shows the panel.
#pragma once

#include "hosts/gtk/toolkit.h"

#include "platform/widgets/alert.h"

namespace jc::gtk {

/// Shows each alert as a modal GTK message dialog, transient for the window that holds
/// `anchor` at the time, and serves GLib's main context until the person dismisses it.
class GtkAlertPresenter : public AlertPresenter {
 public:
  /// `anchor` is any widget of the panel (held weakly); nullptr: no parent window.
  void setAnchor(GtkWidget* anchor);
  ~GtkAlertPresenter() override;
  void runInformationalAlert(const std::string& title, const std::string& message,
                             const std::string& button) override;
  /// Whether an alert is being shown now.
  bool running() const { return running_ > 0; }

 private:
  GtkWidget* anchor_ = nullptr;
  int running_ = 0;
};

}  // namespace jc::gtk
