// The "Job Control" panel object: one per print dialog. Its lifecycle lives in panel.cpp;
// its other methods in the files beside it, one aspect each (panel_construction.cpp,
// panel_rules.cpp, panel_actions.cpp, panel_writer.cpp, ...).
#pragma once

#include <cups/ppd.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/plugin_api.h"
#include "platform/host/print_host.h"
#include "platform/io/bundle.h"
#include "platform/io/property_list.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/image.h"
#include "platform/widgets/layout.h"
#include "plugin/choice.h"
#include "settings/folder_entry.h"
#include "soap/soap_client_callback.h"
#include "ui/filters.h"

namespace jc {

/// The panel kind and the panel-name key of the strings table.
inline constexpr const char* kPanelKind = "vorelia.print.pde.tz630e.JobControlKind";
inline constexpr const char* kPanelNameKey = "Job Control";
/// The preference domain prefix; the printer's ID follows.
inline constexpr const char* kPreferenceDomainPrefix = "vorelia.mfp.";

}  // namespace jc

/// The Job Control panel. Created for one host callback object; answers every protocol
/// call in any order, never reports a failure, and never throws across the protocol.
///
/// Re-entrancy: while an action, the folder exchange or its alert runs, the host's run loop
/// may re-enter the host, which may let go of the panel (a printer switch re-creates it).
/// A panel made by `PDEPanelsForType` (owned through a shared_ptr) then stays alive until it
/// is idle: the last release is finished by a task posted to the host's run loop once the
/// outermost of those has returned, so no panel code is on the stack when it goes; an
/// exchange that fails after the release shows no alert, since nobody sees the panel. A
/// second folder exchange asked for while one runs is refused: the button does nothing.
class VoreliaPrintPdeTz630eJC : public std::enable_shared_from_this<VoreliaPrintPdeTz630eJC>,
                                public jc::PDEPanel,
                                public jc::LayoutOwner,
                                public LoginnameInputFilterCallback,
                                public SOAPClientCallback {
 public:
  /// Creation (`initWithCallback:`): takes the PPD, encodings, printer host and preference
  /// domain from `callback`, loads the preferences and the bundle resources. `bundle` is
  /// the plug-in's own bundle (nullptr: resources, layouts and strings are all missing).
  VoreliaPrintPdeTz630eJC(std::shared_ptr<jc::PluginCallback> callback,
                          std::shared_ptr<jc::Bundle> bundle);
  ~VoreliaPrintPdeTz630eJC() override;

  // ---- Panel protocol ----
  /// Loads the layout on first use, builds the controls; the view or nullptr.
  std::shared_ptr<jc::View> panelView() override;
  /// The localized "Job Control", made once and kept.
  std::string panelName() override;
  std::string panelKind() override;
  /// Always empty: the panel declares no PPD option keys.
  std::vector<std::string> supportedPPDOptionKeys() override;
  void willShow() override;
  bool shouldHide() override;
  /// Restores and saves first when the host has not, then saves and reloads the held
  /// entries in the preferences; always true.
  bool shouldPrint() override;
  bool shouldShowHelp() override;
  void PPDOptionKeyValueDidChange(const std::string& key, ppd_choice_t* choice) override;
  bool restoreValuesAndReturnError(jc::PanelError** error) override;
  bool saveValuesAndReturnError(jc::PanelError** error) override;
  jc::SummaryInfo summaryInfo() override;
  void updateUI() override;

  // ---- Fixed answers ----
  std::int64_t getUIMode() const { return 1; }
  std::int64_t getPasswordMax() const { return 5; }
  bool CheckHardDisk() const { return false; }
  bool isCobaltLynx() const { return false; }
  bool isTiger() const { return false; }
  bool GetHDDPreference() const { return true; }
  bool SaveHDDPreference() const { return true; }
  ppd_file_t* getPPDOnTiger() const { return nullptr; }
  void getPPDSettingsFromPrintSettingsOnTiger() {}
  void writePPDSettingsToPrintSettingsOnTiger() {}

  // ---- Layout owner: outlets and actions by name ----
  bool connectOutlet(std::string_view name, const std::shared_ptr<jc::Control>& control) override;
  jc::Control::Action actionNamed(std::string_view name) override;
  /// Loads the named layout with the panel as owner; on success `panelView_` and the
  /// control outlets are set. Refuses with the loader's reason otherwise.
  jc::Result<> loadPanelLayout(const std::string& name);

  // ---- Construction (panel_construction.cpp) ----
  void initializeUI();

  // ---- Captions (plugin/localization.cpp; the padlock icons are in plugin/icons.h) ----
  /// The translated caption of a text (label up to its first colon, then the colon).
  std::optional<std::string> localizedStringValue(const std::string& text) const;
  /// The translated caption of a text field, box, button or cell; nullopt for other kinds.
  std::optional<std::string> localizedStringValue(const jc::Control* object) const;

  // ---- Enable rules (panel_rules.cpp) ----
  void suspendMatrixEnabled();
  void suspendKeyStaticTextEnabled();
  void suspendKeyEditTextEnabled();
  void suspendKeyButtonEnabled();
  void folderSelectionStaticTextEnabled();
  void folderSelectionPopupEnabled();
  void folderPasswordStaticTextEnabled();
  void folderPasswordEditTextEnabled();
  void folderPasswordButtonEnabled();
  void folderSelectionMatrixEnabled();
  void folderNameEditTextEnabled();
  void folderNameButtonEnabled();
  /// The rules that follow a folder choice: the pass codes and the folder name's hold.
  void folderChoiceEnabled();
  void loginNameStaticTextEnabled();
  void loginNameEditTextEnabled();
  void loginNameButtonEnabled();
  void passwordStaticTextEnabled();
  void passwordEditTextEnabled();
  void passwordButtonEnabled();
  void userNumberEditTextEnabled();
  void userNumberButtonEnabled();
  void userNameEditTextEnabled();
  void jobNameEditTextEnabled();
  void accountNumberEditTextEnabled();
  void accountNumberButtonEnabled();

  // ---- Control actions (panel_actions.cpp); each ignores its sender ----
  void tabProc(jc::Control& sender);
  void printersAddressButtonProc(jc::Control& sender);
  void retentionCBoxProc(jc::Control& sender);
  void suspendKeyMatrixProc(jc::Control& sender);
  void suspendKeyETextProc(jc::Control& sender);
  void suspendKeyButtonProc(jc::Control& sender);
  void folderSelectionPopUpButtonProc(jc::Control& sender);
  void folderPasswordETextProc(jc::Control& sender);
  void folderPasswordButtonProc(jc::Control& sender);
  void folderNameButtonProc(jc::Control& sender);
  void folderSelectionMatrixProc(jc::Control& sender);
  void authenticationMatrixProc(jc::Control& sender);
  void loginNameETextProc(jc::Control& sender);
  void loginNameButtonProc(jc::Control& sender);
  void passwordETextProc(jc::Control& sender);
  void passwordButtonProc(jc::Control& sender);
  void userNumberETextProc(jc::Control& sender);
  void userNumberButtonProc(jc::Control& sender);
  void userNameETextProc(jc::Control& sender);
  void userNameButtonProc(jc::Control& sender);
  void jobNameETextProc(jc::Control& sender);
  void jobNameButtonProc(jc::Control& sender);
  void accountNumberETextProc(jc::Control& sender);
  void accountNumberButtonProc(jc::Control& sender);
  /// Rebuilds the folder pop-up's menu from `folderList` (panel_folder_popup.cpp).
  void makeFolderPopup();
  /// The pop-up index of the folder called `name` (letter case ignored over all of
  /// Unicode): 3 + its place in `folderList`, or 1 (main folder) when the name is absent
  /// or matches no folder (panel_folder_popup.cpp).
  std::int64_t SearchSameFolderName(const std::optional<std::string>& name) const;
  /// The folder of `folderList` chosen in the folder pop-up; nullptr when the pop-up is
  /// absent, a fixed item is chosen, or the item lies past the list (panel_folder_popup.cpp).
  const jc::FolderEntry* selectedFolder() const;
  /// The folder-names button (panel_folder_exchange.cpp).
  void getFolderNameButtonProc(jc::Control& sender);
  /// Rebuilds `folderList` from the response file at `path`: true when a list (possibly
  /// empty) was taken from it. A missing, foreign or non-XML file leaves the list as it
  /// was; XML that is not a successful folder list empties it.
  bool parseXML(const std::string& path);
  /// Rebuilds `folderList` as `parseXML` does, from an answer already in memory (the bytes
  /// the response file was just given), which it takes over.
  bool parseAnswer(std::string document);
  /// The exchange failed or timed out: hides the progress indicator and shows the
  /// localized alert through the host's presenter (none once the host has let go).
  void recieveEndCallback() override;
  /// After a re-fetch: the folder chosen before stays chosen when the new list still has it
  /// (by `SearchSameFolderName`), else main folder; quick file and main folder stay as
  /// they were; then the rules of a folder choice run. The pop-up never ends without a
  /// selection.
  void reselectFolder(int previousIndex, const std::string& previousTitle);

  // ---- Host services ----
  /// The host's run loop, or the thread's poll loop when the host lends none.
  jc::RunLoop& hostRunLoop() const;
  /// Whether the host has let go of this busy shared panel, which lives on only until it is
  /// idle (false for a panel that is not shared or not busy).
  bool releasedByHost() const;
  /// Marks the panel busy for its life and keeps a shared panel alive meanwhile (see the
  /// class comment).
  class BusyScope {
   public:
    explicit BusyScope(VoreliaPrintPdeTz630eJC& panel);
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

   private:
    VoreliaPrintPdeTz630eJC& panel_;
    std::shared_ptr<VoreliaPrintPdeTz630eJC> keep_;
  };
  /// Shows the informational alert: `message` localized, then `detail` as it is, and the
  /// localized "OK" button; through the host's presenter, else on standard error.
  void showAlert(const std::string& message, const std::string& detail = "");

  // ---- PPD choices (plugin/ppd_choices.cpp) ----
  /// The position of the marked choice of option `key` in `option`'s choices, else of the
  /// option's default choice; -1 when neither is one of `option`'s choices (also with no
  /// option). `key` must name `option`.
  std::int64_t indexOfMarkedOption(ppd_option_t* option, const char* key);
  /// Takes the choice object of `popUp`'s selected item as the selection of option `key`;
  /// when the host checks constraints and refuses it, `selection` stays as it was (the
  /// pop-up is not changed back). No selected item, or one without a choice, keeps it too.
  void getSelection(PDEChoiceRef& selection, const jc::PopUpButton& popUp, const std::string& key);
  /// The same with the choice at index `button.state()` of `choices`; a mixed state or a
  /// state past the array keeps `selection`.
  void getSelection(PDEChoiceRef& selection, const PDEChoiceArray& choices,
                    const jc::Button& button, const std::string& key);

  // ---- Print settings (panel_writer.cpp, panel_reader.cpp) ----
  void writeNonPPDSettingsToPrintSettings();
  void getNonPPDSettingsFromPrintSettings();

  // ---- Preferences (panel_preferences.cpp) ----
  /// Empties the ten preference slots (the mask is left alone).
  void clearPreferenceValues();
  void CheckPreference();
  void GetUserPreference();
  void GetFolderPreference();
  bool SaveUserPreference();
  bool SaveFolderPreference();

  // ==== Fields, in declaration order ====
  std::shared_ptr<jc::PluginCallback> pdePluginCallbackObject;
  std::optional<std::string> thePDEName;
  bool useConstraintHandling = false;
  bool canResizeView = false;
  bool hasInited = false;
  ppd_file_t* ppd = nullptr;  // borrowed from the host, never closed here
  std::uint64_t ppdEncoding = 0;
  std::uint64_t systemEncoding = 0;
  std::shared_ptr<jc::Bundle> pdeBundle;
  bool callSaveValuesFunction = false;
  bool callRestoreValuesFunction = false;
  /// The panel's root view (the method `panelView` answers it). The panel always keeps a
  /// reference, so its controls stay valid for its whole life.
  std::shared_ptr<jc::View> panelView_;

  // Controls, in the panel's declaration order; any of them may be absent.
  jc::Outlet<jc::TabView> tabView;
  jc::Outlet<jc::Button> retentionCheckBox;
  jc::Outlet<jc::Box> suspendBox;
  jc::Outlet<jc::Matrix> suspendMatrix;
  jc::Outlet<jc::ButtonCell> holdOnlyRadioButton;
  jc::Outlet<jc::ButtonCell> holdAfterRadioButton;
  jc::Outlet<jc::ButtonCell> samplePrintRadioButton;
  jc::Outlet<jc::TextField> suspendKeyStaticText;
  jc::Outlet<jc::TextField> suspendKeyEditText;
  jc::Outlet<jc::Button> suspendKeyButton;
  jc::Outlet<jc::Box> filingBox;
  jc::Outlet<jc::TextField> folderSelectionStaticText;
  jc::Outlet<jc::PopUpButton> folderSelectionPopup;
  jc::Outlet<jc::TextField> folderPasswordStaticText;
  jc::Outlet<jc::TextField> folderPasswordEditText;
  jc::Outlet<jc::Button> folderPasswordButton;
  jc::Outlet<jc::Matrix> folderSelectionMatrix;
  jc::Outlet<jc::ButtonCell> quickFileRadioButton;
  jc::Outlet<jc::ButtonCell> mainFolderRadioButton;
  jc::Outlet<jc::ButtonCell> customFolderRadioButton;
  jc::Outlet<jc::TextField> folderNameEditText;
  jc::Outlet<jc::Button> folderNameButton;
  jc::Outlet<jc::Matrix> authenticationMatrix;
  jc::Outlet<jc::ButtonCell> authenticationRadioButton;
  jc::Outlet<jc::TextField> loginNameStaticText;
  jc::Outlet<jc::TextField> loginNameEditText;
  jc::Outlet<jc::Button> loginNameButton;
  jc::Outlet<jc::TextField> passwordStaticText;
  jc::Outlet<jc::TextField> passwordEditText;
  jc::Outlet<jc::Button> passwordButton;
  jc::Outlet<jc::ButtonCell> userNumberRadioButton;
  jc::Outlet<jc::TextField> userNumberEditText;
  jc::Outlet<jc::Button> userNumberButton;
  jc::Outlet<jc::TextField> accountNumberStaticText;
  jc::Outlet<jc::TextField> accountNumberEditText;
  jc::Outlet<jc::Button> accountNumberButton;
  jc::Outlet<jc::Box> jobIDBox;
  jc::Outlet<jc::TextField> userNameStaticText;
  jc::Outlet<jc::TextField> userNameEditText;
  jc::Outlet<jc::Button> userNameButton;
  jc::Outlet<jc::TextField> jobNameStaticText;
  jc::Outlet<jc::TextField> jobNameEditText;
  jc::Outlet<jc::Button> jobNameButton;
  jc::Outlet<jc::TextField> printersAddressStaticText;
  jc::Outlet<jc::TextField> printersAddressEditText;
  jc::Outlet<jc::ProgressIndicator> chasingArrow;
  jc::Outlet<jc::Button> getFolderNameButton;

  std::optional<std::string> requestData;     ///< the SOAP request body ("listfiles.xml")
  std::optional<std::string> debugData;       ///< "vwxyz.xml", held and never read
  std::optional<std::string> preferenceName;  ///< "vorelia.mfp." + printer ID
  std::optional<std::string> modelStringRef;  ///< the PPD's model name

  // Preference values, in their stored forms.
  std::uint32_t prefHoldButtonFlag = 0;
  std::optional<std::string> prefSuspendKeyStringRef;
  std::optional<bool> prefAuthenticationBooleanRef;
  std::optional<std::string> prefLoginNameStringRef;
  std::optional<std::string> prefPasswordStringRef;
  std::optional<std::string> prefUserNumberStringRef;
  std::optional<std::string> prefUserNameStringRef;
  std::optional<std::string> prefJobNameStringRef;
  std::optional<std::string> prefFolderPassStringRef;
  std::optional<std::string> prefAccountNumberStringRef;
  std::optional<std::string> prefFolderNameStringRef;
  /// The held entries, their mask and the authentication choice as this dialog last loaded
  /// or saved them: a save writes only what the dialog changed since, so what another
  /// dialog stored meanwhile survives. nullopt: nothing loaded (everything counts as changed).
  std::optional<jc::PropertyDictionary> heldBaseline;

  std::optional<std::string> loginNameStringRef;  ///< the real login name while masked
  bool loginNameLockFlag = false;
  bool loginNameUnLockFlag = false;
  std::optional<std::string> folderNameStringRef;
  std::optional<std::string> addressStringRef;
  std::optional<std::string> mfpURL;  ///< the printer's host, from its device URI
  jc::FolderList folderList;
  std::size_t foldersLeftOut = 0;  ///< folders of the last parsed answer beyond the limits
  /// The preference domain as the store operation just before read or wrote it, so that
  /// the loads following it at once (at creation, after a print's save) need not read the
  /// file again; emptied right after them.
  std::optional<jc::PropertyDictionary> preferenceSnapshot;
  jc::ImageRef spaceImage;
  std::uint32_t presetHoldButtonFlag = 0;
  bool tigerHDDFlag = false;
  bool isPanelViewRetain = false;

 private:
  int busyDepth_ = 0;
  bool exchangeRunning_ = false;
};

/// The plug-in's entry class: makes a panel for the print dialog type.
class VoreliaPrintPdeTz630eJCPDEPlugIn : public jc::PDEPlugIn {
 public:
  /// Traces and answers true; keeps nothing.
  bool initWithBundle(const std::shared_ptr<jc::Bundle>& bundle) override;
  /// One new panel for the print dialog's type identifier (exact match), none for any
  /// other type; nullopt when the panel could not be made.
  std::optional<std::vector<std::shared_ptr<jc::PDEPanel>>> PDEPanelsForType(
      const std::string& type, std::shared_ptr<jc::PluginCallback> callback) override;
};
