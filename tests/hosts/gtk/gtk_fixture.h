// What the GTK host's tests share: a display or a skip, a panel bound to widgets in a
// window, serving GTK until something has happened, and a walk over every control.
#pragma once

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "hosts/gtk/binding.h"
#include "hosts/gtk/glib_run_loop.h"
#include "hosts/gtk/gtk_alert.h"
#include "platform/host/memory_host.h"
#include "platform/io/bundle.h"
#include "plugin/panel.h"
#include "support/test_paths.h"

namespace jc::test {

/// Serves GLib's main context until `done` or `limit`; answers `done()`.
inline bool serveUntil(const std::function<bool()>& done,
                       std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
  auto until = std::chrono::steady_clock::now() + limit;
  while (!done() && std::chrono::steady_clock::now() < until)
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(1000);
  return done();
}

/// Serves GTK for a few frames, so what changed has been laid out and drawn.
inline void settle() {
  serveUntil([] { return false; }, std::chrono::milliseconds(60));
}

/// A host callback with GTK's alert and GLib's run loop.
class GtkTestHost : public MemoryPluginCallback {
 public:
  AlertPresenter* alertPresenter() override { return &alerts; }
  RunLoop* runLoop() override { return &loop; }
  gtk::GtkAlertPresenter alerts;
  gtk::GlibRunLoop loop;
};

/// A host for the demo printer "P1": its PPD, a device URI, empty print settings.
inline std::shared_ptr<GtkTestHost> demoHost() {
  auto host = std::make_shared<GtkTestHost>();
  host->setPPD(
      std::move(openPPDFile(std::string(kSourceDir) + "/tools/ppd/vorelia-demo.ppd").value()));
  host->setPrinter(Printer("P1", "ipp://192.0.2.7/ipp/print"));
  host->setPrintSettings(std::make_shared<MemoryPrintSettings>("report.pdf"));
  return host;
}

/// A panel made from a layout of the built bundle, bound to widgets shown in a window.
class BoundPanel {
 public:
  explicit BoundPanel(const std::string& layout = "JobControl")
      : panel(host, Bundle::open(kBundleDir).value_or(nullptr)) {
    if (layout != "JobControl") {
      EXPECT_TRUE(panel.loadPanelLayout(layout));
    }
    view = panel.panelView();
    binding = gtk::PanelBinding::create(view);
    host->alerts.setAnchor(binding->widget());
    window = GTK_WINDOW(gtk_window_new());
    gtk_window_set_child(window, binding->widget());
    gtk_window_present(window);
    panel.restoreValuesAndReturnError(nullptr);
    serveUntil([&] { return gtk_widget_get_mapped(binding->widget()); });
    settle();
  }
  ~BoundPanel() {
    binding.reset();
    gtk_window_destroy(window);
    settle();
  }
  /// The widget of the control the panel's outlet `member` holds.
  template <class T>
  GtkWidget* widget(Outlet<T> VoreliaPrintPdeTz630eJC::*member) {
    return binding->widgetFor((panel.*member).get().get());
  }

  std::shared_ptr<GtkTestHost> host = demoHost();
  VoreliaPrintPdeTz630eJC panel;
  std::shared_ptr<View> view;
  std::shared_ptr<gtk::PanelBinding> binding;
  GtkWindow* window = nullptr;
};

/// Calls `visit` for `control` and every control below it (matrix cells, tab items too).
inline void forEachControl(Control& control, const std::function<void(Control&)>& visit) {
  visit(control);
  for (const auto& child : control.children()) forEachControl(*child, visit);
}

/// A person's click: buttons emit "clicked" at once (GTK's keyboard activation of a button
/// waits for its pressed look to show first); other widgets are activated.
inline void click(GtkWidget* widget) {
  if (GTK_IS_BUTTON(widget))
    g_signal_emit_by_name(widget, "clicked");
  else
    gtk_widget_activate(widget);
}

/// Replaces the entry's text as a person would: select all, delete, type.
inline void retype(GtkWidget* entry, const std::string& text) {
  gtk_editable_delete_text(GTK_EDITABLE(entry), 0, -1);
  int at = 0;
  gtk_editable_insert_text(GTK_EDITABLE(entry), text.c_str(), -1, &at);
}

/// Types `text` into an entry one character at a time at the caret, as GTK's key handling
/// inserts it.
inline void typeInto(GtkWidget* entry, const std::string& text) {
  for (const char* p = text.c_str(); *p; p = g_utf8_next_char(p)) {
    int position = gtk_editable_get_position(GTK_EDITABLE(entry));
    gtk_editable_insert_text(GTK_EDITABLE(entry), p, int(g_utf8_next_char(p) - p), &position);
  }
}

}  // namespace jc::test
