// The Job Control tab of a GTK print dialog: the loaded plug-in, the panel of the selected
// printer and its widgets, and the answer to the dialog's response.
#pragma once

#include "hosts/gtk/toolkit.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "hosts/common/standard_attributes.h"
#include "hosts/gtk/binding.h"
#include "hosts/gtk/glib_run_loop.h"
#include "hosts/gtk/gtk_alert.h"
#include "platform/base/result.h"
#include "platform/host/loader.h"
#include "platform/host/memory_host.h"

namespace jc::gtk {

/// What the tab needs to know of a printer: its queue name (the panel's printer ID), its
/// device URI and its PPD.
struct PrinterInfo {
  std::string id;
  std::optional<std::string> deviceURI;
  PPDHandle ppd{nullptr, ppdClose};
};

/// Looks `name` up on the CUPS server GTK's backend talks to; a printer CUPS does not know
/// (GTK's "Print to File") gets neither URI nor PPD.
PrinterInfo printerNamed(const std::string& name);

/// The tab. Owned by its page widget: it goes when the dialog's widgets go (Escape destroys
/// them before any object of the application), never earlier.
class PrintTab : public std::enable_shared_from_this<PrintTab> {
 public:
  /// Loads the bundle at `bundlePath` and adds the tab to `dialog`. With
  /// `servedPrintersOnly`, the tab is shown only while the selected printer is one the
  /// panel serves (a module in every application must not show it for other makers').
  static Result<PrintTab*> attach(GtkPrintUnixDialog* dialog, const std::string& jobName,
                                  const std::string& bundlePath, bool servedPrintersOnly = false);
  /// The tab of `dialog`, or nullptr.
  static PrintTab* of(GtkPrintUnixDialog* dialog);
  ~PrintTab();

  /// Saves the current panel (so its typed values carry over) and makes the panel of
  /// `printer`, restored from the tab's print settings. nullopt removes the panel.
  void showPrinter(std::optional<PrinterInfo> printer);
  /// Answers the dialog's response: Print saves, confirms and keeps the job options. When
  /// standard IPP job attributes may go with the job, Print is held back while a worker
  /// thread asks the printer, and given again once they are added; a printer that cannot
  /// take the job gets a message instead, and the dialog stays.
  void respond(int response);

  /// How the tab asks a queue's printer what it supports (run on a worker thread).
  using SupportQuery = std::function<PrinterAnswer(const std::optional<std::string>& deviceURI)>;
  /// Replaces the question put to the printer (tests).
  void setSupportQuery(SupportQuery query) { query_ = std::move(query); }
  /// The person's choice of when standard IPP job attributes go with the job.
  StandardAttributesMode standardAttributesMode() const;
  /// The drop-down of that choice (Automatic, Always, Never).
  GtkWidget* standardAttributesChoice() const { return modeChoice_; }
  /// The "Advanced" expander that holds it (GTK keeps a folded expander's child out of the
  /// widget tree, so the drop-down does not lead to it).
  GtkWidget* advanced() const { return advanced_; }
  /// Whether Print waits for the printer's answer now.
  bool askingPrinter() const { return asking_; }

  /// The job options of the last Print response (empty before one).
  const std::vector<std::pair<std::string, std::string>>& jobOptions() const { return options_; }
  PDEPanel* panel() const { return panel_.get(); }
  PanelBinding* binding() const { return binding_.get(); }
  const std::string& printerId() const { return printerId_; }
  GtkWidget* page() const { return page_; }
  GtkAlertPresenter& alerts() { return *alerts_; }
  /// How long making the last printer's panel and widgets took, in milliseconds.
  double lastBuildMilliseconds() const { return lastBuildMs_; }

 private:
  PrintTab(GtkPrintUnixDialog* dialog, LoadedPlugIn plugIn, const std::string& jobName);
  void followSelectedPrinter();
  void showPage(bool shown);
  void addAdvancedChoice();
  void askPrinter();
  void answered(const PrinterAnswer& answer);
  void stopAsking();

  GtkPrintUnixDialog* dialog_;       // weak
  GtkWidget* page_ = nullptr;        // weak; it owns the tab
  GtkWidget* label_ = nullptr;       // weak
  GtkWidget* panelBox_ = nullptr;    // weak; the panel's part of the page
  GtkWidget* modeChoice_ = nullptr;  // weak
  GtkWidget* advanced_ = nullptr;    // weak
  LoadedPlugIn plugIn_;
  std::shared_ptr<MemoryPrintSettings> settings_;
  std::shared_ptr<GlibRunLoop> loop_ = std::make_shared<GlibRunLoop>();
  std::shared_ptr<GtkAlertPresenter> alerts_ = std::make_shared<GtkAlertPresenter>();
  std::shared_ptr<PDEPanel> panel_;
  std::shared_ptr<PanelBinding> binding_;
  std::string printerId_;
  std::vector<std::pair<std::string, std::string>> options_;
  std::vector<SignalConnection> connections_;
  double lastBuildMs_ = 0;
  bool servedOnly_ = false;

  // The selected queue, as far as the standard attributes need it.
  std::optional<std::string> deviceURI_;
  bool vendorFilter_ = false;
  SupportQuery query_ = [](const std::optional<std::string>& uri) {
    return askPrinterSupport(uri);
  };
  bool asking_ = false;    // Print waits for the printer's answer
  unsigned question_ = 0;  // which question an answer belongs to
  bool released_ = false;  // the Print response the tab gives again itself
};

}  // namespace jc::gtk
