// A modal GtkMessageDialog run in a nested main loop: the panel's action waits for the
// person, as it does on every host, while GTK keeps drawing.
#include "hosts/gtk/gtk_alert.h"

// GtkMessageDialog is the dialog of GTK 4.8; its replacement arrives with 4.10.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace jc::gtk {

void GtkAlertPresenter::setAnchor(GtkWidget* anchor) {
  if (anchor_)
    g_object_remove_weak_pointer(G_OBJECT(anchor_), reinterpret_cast<gpointer*>(&anchor_));
  anchor_ = anchor;
  if (anchor_) g_object_add_weak_pointer(G_OBJECT(anchor_), reinterpret_cast<gpointer*>(&anchor_));
}

GtkAlertPresenter::~GtkAlertPresenter() {
  setAnchor(nullptr);
}

void GtkAlertPresenter::runInformationalAlert(const std::string& title, const std::string& message,
                                              const std::string& button) {
#if JC_GTK3
  GtkWidget* root = anchor_ ? gtk_widget_get_toplevel(anchor_) : nullptr;
#else
  GtkRoot* root = anchor_ ? gtk_widget_get_root(anchor_) : nullptr;
#endif
  GtkWindow* parent = root && GTK_IS_WINDOW(root) ? GTK_WINDOW(root) : nullptr;
  GtkWidget* dialog = gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, GTK_MESSAGE_INFO,
                                             GTK_BUTTONS_NONE, "%s", message.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), title.c_str());
  gtk_dialog_add_button(GTK_DIALOG(dialog), button.c_str(), GTK_RESPONSE_OK);
  g_object_ref(dialog);

  GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
  auto quit = +[](GtkWidget*, gpointer loop) { g_main_loop_quit(static_cast<GMainLoop*>(loop)); };
  g_signal_connect(dialog, "response", G_CALLBACK(+[](GtkDialog* d, int, gpointer loop) {
                     g_main_loop_quit(static_cast<GMainLoop*>(loop));
                     (void)d;
                   }),
                   loop);
  // The dialog may also go with its parent (Escape on the print dialog, a closing program).
  g_signal_connect(dialog, "destroy", G_CALLBACK(quit), loop);
  ++running_;
  gtk_window_present(GTK_WINDOW(dialog));
  g_main_loop_run(loop);
  --running_;
  g_signal_handlers_disconnect_by_data(dialog, loop);
  gtk_window_destroy(GTK_WINDOW(dialog));
  g_object_unref(dialog);
  g_main_loop_unref(loop);
}

}  // namespace jc::gtk
