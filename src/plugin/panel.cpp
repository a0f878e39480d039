// The panel's lifecycle: creation, the protocol operations the host calls, destruction.
#include "plugin/panel.h"

#include <cups/http.h>

#include "platform/text/text_encoding.h"
#include "plugin/system_version.h"
#include "plugin/trace.h"

using jc::Control;

namespace {

// The host part of a device URI whose scheme is ipp, lpd or socket (compared exactly).
std::optional<std::string> hostOfDeviceURI(const std::string& uri) {
  char scheme[64], user[256], host[256], resource[1024];
  int port = 0;
  http_uri_status_t status =
      httpSeparateURI(HTTP_URI_CODING_NONE, uri.c_str(), scheme, sizeof scheme, user, sizeof user,
                      host, sizeof host, &port, resource, sizeof resource);
  if (status < HTTP_URI_STATUS_OK) return std::nullopt;
  std::string_view s = scheme;
  if (s != "ipp" && s != "lpd" && s != "socket") return std::nullopt;
  return std::string(host);
}

}  // namespace

VoreliaPrintPdeTz630eJC::VoreliaPrintPdeTz630eJC(std::shared_ptr<jc::PluginCallback> callback,
                                                 std::shared_ptr<jc::Bundle> bundle) {
  _PDEProlog(this, "initWithCallback:(%@, %p)", callback.get(), callback.get());
  // Every field starts empty through its initializer (none, NO, 0).
  pdePluginCallbackObject = std::move(callback);
  pdeBundle = std::move(bundle);

  useConstraintHandling =
      pdePluginCallbackObject && pdePluginCallbackObject->respondsToWillChangePPDOptionKeyValue();
  _PDELog(this, "Constraint Handling Available: %s", useConstraintHandling ? "YES" : "NO");
  canResizeView = runningOnLeopardOrLater();
  _PDELog(this, "Can resize on the fly: %s", canResizeView ? "YES" : "NO");

  ppd = useConstraintHandling ? pdePluginCallbackObject->ppdFile() : getPPDOnTiger();
  if (ppd) {
    ppdEncoding = getEncodingFromPPD(ppd);
    modelStringRef = jc::modelNameFromPPD(ppd, ppdEncoding);
    const jc::PrintSession* session = pdePluginCallbackObject->printSession();
    const jc::Printer* printer = session ? session->currentPrinter() : nullptr;
    if (printer && printer->deviceURI()) mfpURL = hostOfDeviceURI(*printer->deviceURI());
    // Without a printer the domain has no printer part; it is still a usable name.
    preferenceName = std::string(jc::kPreferenceDomainPrefix) + (printer ? printer->id() : "");
    CheckPreference();
    GetUserPreference();
    GetFolderPreference();
    preferenceSnapshot.reset();
    if (pdeBundle) {
      requestData = pdeBundle->resourceData("listfiles", "xml");
      debugData = pdeBundle->resourceData("vwxyz", "xml");
    }
    if (isTiger() && CheckHardDisk()) tigerHDDFlag = true;
  }

  systemEncoding = jc::stringEncodingFromCoreEncoding(jc::systemEncoding());
  if (pdeBundle) {
    if (auto space = pdeBundle->pathForResource("space", "png"))
      spaceImage = jc::loadPngImage(space->string());
  }
  _PDEEpilog(this, "initWithCallback:=id(self)");
}

VoreliaPrintPdeTz630eJC::~VoreliaPrintPdeTz630eJC() {
  // Release in the order creation's counterpart expects; the PPD belongs to the host.
  modelStringRef.reset();
  requestData.reset();
  debugData.reset();
  preferenceName.reset();
  mfpURL.reset();
  spaceImage.reset();
  clearPreferenceValues();
  // The panel's own reference on the view goes; a host that took the view keeps it.
  panelView_.reset();
  pdePluginCallbackObject.reset();
  pdeBundle.reset();
  thePDEName.reset();
}

jc::Result<> VoreliaPrintPdeTz630eJC::loadPanelLayout(const std::string& name) {
  if (!pdeBundle) return jc::Refusal{"no bundle to load the layout \"" + name + "\" from"};
  jc::LayoutResult result = jc::loadLayout(*pdeBundle, name, *this);
  if (!result) return result.refusal();
  return jc::accepted();
}

std::shared_ptr<jc::View> VoreliaPrintPdeTz630eJC::panelView() {
  _PDEProlog(this, "panelView:");
  if (!panelView_) {
    static constexpr const char* kLayouts[] = {"JobControl", "JobControl2", "JobControl3",
                                               "JobControl4", "JobControl5"};
    std::int64_t mode = getUIMode();
    // The panel protocol has no way to report the refusal: the panel answers no view,
    // and a host reads the reason from lastLayoutError().
    if (mode >= 1 && mode <= 5) (void)loadPanelLayout(kLayouts[mode - 1]);
  }
  initializeUI();
  _PDEEpilog(this, "panelView:=NSView(%@, %p)", panelView_.get(), panelView_.get());
  return panelView_;
}

std::string VoreliaPrintPdeTz630eJC::panelName() {
  _PDEProlog(this, "panelName:");
  if (!thePDEName)
    thePDEName = pdeBundle ? pdeBundle->localizedString(jc::kPanelNameKey) : jc::kPanelNameKey;
  _PDEEpilog(this, "panelName:=NSString(%@)", thePDEName->c_str());
  return *thePDEName;
}

std::string VoreliaPrintPdeTz630eJC::panelKind() {
  _PDEProlog(this, "panelKind:");
  std::string kind = jc::kPanelKind;
  _PDEEpilog(this, "panelKind:=NSString(%@)", kind.c_str());
  return kind;
}

std::vector<std::string> VoreliaPrintPdeTz630eJC::supportedPPDOptionKeys() {
  _PDEProlog(this, "supportedPPDOptionKeys:");
  std::vector<std::string> keys;
  _PDEEpilog(this, "supportedPPDOptionKeys:=NSArray(%@)", &keys);
  return keys;
}

void VoreliaPrintPdeTz630eJC::willShow() {
  _PDEProlog(this, "willShow:");
  if (!hasInited) initializeUI();
  updateUI();
  _PDEEpilog(this, "willShow:=void");
}

bool VoreliaPrintPdeTz630eJC::shouldHide() {
  _PDEProlog(this, "shouldHide:");
  _PDEEpilog(this, "shouldHide:=BOOL(YES)");
  return true;
}

bool VoreliaPrintPdeTz630eJC::shouldPrint() {
  _PDEProlog(this, "shouldPrint:");
  jc::PrintSettings* settings =
      pdePluginCallbackObject ? pdePluginCallbackObject->printSettings() : nullptr;
  if (!callRestoreValuesFunction) restoreValuesAndReturnError(nullptr);
  if (!callSaveValuesFunction) saveValuesAndReturnError(nullptr);
  if (settings && hasInited) {
    SaveUserPreference();
    GetUserPreference();
    preferenceSnapshot.reset();
  }
  _PDEEpilog(this, "shouldPrint:=BOOL(YES)");
  return true;
}

bool VoreliaPrintPdeTz630eJC::shouldShowHelp() {
  _PDEProlog(this, "shouldShowHelp:");
  _PDEEpilog(this, "shouldShowHelp:=BOOL(YES)");
  return true;
}

void VoreliaPrintPdeTz630eJC::PPDOptionKeyValueDidChange(const std::string& key,
                                                         ppd_choice_t* choice) {
  _PDEProlog(this, "PPDOptionKeyValueDidChange:(%@) ppdChoice:(%@)", key.c_str(), choice);
  _PDEEpilog(this, "PPDOptionKeyValueDidChange:ppdChoice:=void");
}

bool VoreliaPrintPdeTz630eJC::restoreValuesAndReturnError(jc::PanelError** error) {
  _PDEProlog(this, "restoreValuesAndReturnError:(%p)", error);
  if (!panelView_) {
    panelView();
    // The panel's own reference: it was the panel, not the host, that asked for the view.
    isPanelViewRetain = true;
  }
  if (!hasInited) initializeUI();
  if (!useConstraintHandling) getPPDSettingsFromPrintSettingsOnTiger();
  getNonPPDSettingsFromPrintSettings();
  updateUI();
  callRestoreValuesFunction = true;
  _PDEEpilog(this, "restoreValuesAndReturnError:=BOOL(YES)");
  return true;
}

bool VoreliaPrintPdeTz630eJC::saveValuesAndReturnError(jc::PanelError** error) {
  _PDEProlog(this, "saveValuesAndReturnError:(%p)", error);
  if (!useConstraintHandling) writePPDSettingsToPrintSettingsOnTiger();
  writeNonPPDSettingsToPrintSettings();
  callSaveValuesFunction = true;
  _PDEEpilog(this, "saveValuesAndReturnError:=BOOL(YES)");
  return true;
}

void VoreliaPrintPdeTz630eJC::updateUI() {
  _PDEProlog(this, "--updateUI:");
  _PDEEpilog(this, "--updateUI:");
}

// ---- Entry class ----

bool VoreliaPrintPdeTz630eJCPDEPlugIn::initWithBundle(const std::shared_ptr<jc::Bundle>& bundle) {
  _PDEProlog(this, "initWithBundle:", bundle.get());
  _PDEEpilog(this, "initWithBundle:=BOOL(YES)");
  return true;
}

std::optional<std::vector<std::shared_ptr<jc::PDEPanel>>>
VoreliaPrintPdeTz630eJCPDEPlugIn::PDEPanelsForType(const std::string& type,
                                                   std::shared_ptr<jc::PluginCallback> callback) {
  _PDEProlog(this, "PDEPanelsForType:", type.c_str(), callback.get());
  std::vector<std::shared_ptr<jc::PDEPanel>> panels;
  if (type == jc::kPrintDialogType) {
    try {
      // The bundle that holds this very code, as the platform's bundle-for-class does.
      static const int anchor = 0;
      panels.push_back(std::make_shared<VoreliaPrintPdeTz630eJC>(std::move(callback),
                                                                 jc::Bundle::containing(&anchor)));
    } catch (...) {
      _PDEEpilog(this, "PDEPanelsForType:=NSArray(%@)", nullptr);
      return std::nullopt;
    }
  }
  _PDEEpilog(this, "PDEPanelsForType:=NSArray(%@)", &panels);
  return panels;
}
