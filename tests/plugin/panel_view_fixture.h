// A panel loaded from the built bundle, in a window, for the user-interface tests; the switch
// of the strings table's language; and the few situations several tests start from.
#pragma once

#include <libintl.h>

#include <clocale>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "platform/host/memory_host.h"
#include "platform/io/bundle.h"
#include "plugin/panel.h"
#include "support/test_paths.h"

namespace jc::test {

using Panel = VoreliaPrintPdeTz630eJC;

/// Makes the bundle's strings answer in `language` ("" for the untranslated keys).
/// gettext reads LANGUAGE only under a locale other than "C", and caches its answers
/// until the text domain is set again.
inline void useLanguage(const char* language) {
  std::setlocale(LC_ALL, "C.UTF-8");
  setenv("LANGUAGE", language, 1);
  textdomain(textdomain(nullptr));
}

/// Every hold button of the panel.
inline constexpr Outlet<Button> Panel::*kHolds[] = {
    &Panel::suspendKeyButton, &Panel::folderPasswordButton, &Panel::folderNameButton,
    &Panel::loginNameButton,  &Panel::passwordButton,       &Panel::userNumberButton,
    &Panel::userNameButton,   &Panel::jobNameButton,        &Panel::accountNumberButton};

/// Gives the pop-up the folders "Open" (index 3) and the pass-code-locked "Locked" (index 4).
inline void withFolders(Panel& p) {
  p.folderList = {{"Open", false, true, false}, {"Locked", true, true, false}};
  p.makeFolderPopup();
}

/// A panel built from the layout `layout` of the test bundle, its view in `window`.
class LoadedPanel {
 public:
  explicit LoadedPanel(const std::string& layout = "JobControl",
                       const std::optional<std::string>& printerAddress = std::nullopt)
      : panel(callback, Bundle::open(kBundleDir).value_or(nullptr)) {
    panel.mfpURL = printerAddress;
    if (layout != "JobControl") loadError = panel.loadPanelLayout(layout).message();
    view = panel.panelView();
    if (view) view->setWindow(&window);
    window.addFocusObserver([this](Control* responder) { focused = responder; });
  }
  ~LoadedPanel() {
    if (view) view->setWindow(nullptr);
  }
  /// The control that has keyboard focus in the panel's window, as the window last told its
  /// observer (a toolkit binding learns it the same way); nullptr when none has.
  Control* focus() const { return focused; }

  // Declared in the order they are made: the panel needs the callback.
  std::shared_ptr<MemoryPluginCallback> callback = std::make_shared<MemoryPluginCallback>();
  Panel panel;
  Window window;
  Control* focused = nullptr;
  std::string loadError;
  std::shared_ptr<View> view;
};

}  // namespace jc::test
