// The print-dialog extension protocol between a host and a plug-in: the entry class, the
// panels it makes, and the C entry point a plug-in's shared object exports.
#pragma once

#include <cups/ppd.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/host/print_host.h"
#include "platform/widgets/control.h"

namespace jc {

class Bundle;

/// An error a panel operation could report (panels of this protocol never do).
struct PanelError {
  std::string message;
};

/// A panel's summary: label → displayed value, in the order the panel gave them. A label
/// given twice keeps its first place and its last value.
using SummaryInfo = std::vector<std::pair<std::string, std::string>>;

/// One panel of a print dialog, driven by the host on its user-interface thread.
class PDEPanel {
 public:
  virtual ~PDEPanel() = default;
  /// The panel's root view, or nullptr when its layout could not be loaded.
  virtual std::shared_ptr<View> panelView() = 0;
  virtual std::string panelName() = 0;
  virtual std::string panelKind() = 0;
  virtual std::vector<std::string> supportedPPDOptionKeys() = 0;
  virtual void willShow() = 0;
  virtual bool shouldHide() = 0;
  virtual bool shouldPrint() = 0;
  virtual bool shouldShowHelp() = 0;
  virtual void PPDOptionKeyValueDidChange(const std::string& key, ppd_choice_t* choice) = 0;
  /// Reads the panel's settings from the job's print settings; `error` is never written.
  virtual bool restoreValuesAndReturnError(PanelError** error) = 0;
  /// Writes the panel's settings into the job's print settings; `error` is never written.
  virtual bool saveValuesAndReturnError(PanelError** error) = 0;
  virtual SummaryInfo summaryInfo() = 0;
  virtual void updateUI() = 0;
};

/// The print dialog's type identifier.
inline constexpr const char* kPrintDialogType = "BDB091F4-E57F-11D3-B5CC-0050E4603277";

/// A plug-in's entry class: one object per loaded plug-in.
class PDEPlugIn {
 public:
  virtual ~PDEPlugIn() = default;
  virtual bool initWithBundle(const std::shared_ptr<Bundle>& bundle) = 0;
  /// The panels for the dialog type `type`, made for `callback` (which the panels keep
  /// alive); nullopt when making a panel failed.
  virtual std::optional<std::vector<std::shared_ptr<PDEPanel>>> PDEPanelsForType(
      const std::string& type, std::shared_ptr<PluginCallback> callback) = 0;
};

}  // namespace jc

/// The name of the C entry point every plug-in's shared object exports. It answers a new
/// entry-class object that the caller owns, or nullptr.
#define JC_PLUGIN_ENTRY_POINT "JobControlPlugInCreate"
extern "C" {
using JobControlPlugInCreateFn = jc::PDEPlugIn* (*)();
}
