// GTK's widgets are drawn for touch-sized targets; the panel's frames were drawn for a
// desktop dialog (an entry 22 points high). These rules shrink paddings and minimum sizes
// inside the panel only, so GTK's own tabs keep their look.
#include "hosts/gtk/style.h"

namespace jc::gtk {

namespace {

// The rules both GTKs read alike.
constexpr const char* kStyle = R"css(
.jobcontrol-panel entry { min-height: 20px; padding: 0 4px; }
.jobcontrol-panel button { min-height: 18px; min-width: 16px; padding: 1px 6px; }
.jobcontrol-panel button.jc-hold { padding: 1px; }
.jobcontrol-panel frame.jc-box > label { margin: 0 4px; }
.jobcontrol-panel notebook > header > tabs > tab { min-height: 20px; padding: 3px 10px; }
.jobcontrol-panel .jc-dimmed { color: alpha(currentColor, 0.5); }
.jobcontrol-panel entry.jc-dimmed { opacity: 0.6; }
)css";

#if JC_GTK3
// GTK 3 names the radio buttons' and the combo box's nodes its own way.
constexpr const char* kToolkitStyle = R"css(
.jobcontrol-panel checkbutton, .jobcontrol-panel radiobutton { min-height: 16px; padding: 0; }
.jobcontrol-panel check, .jobcontrol-panel radio { min-width: 14px; min-height: 14px; margin: 0 6px 0 0; padding: 0; }
.jobcontrol-panel combobox button { min-height: 18px; padding: 1px 6px; }
)css";
#else
constexpr const char* kToolkitStyle = R"css(
.jobcontrol-panel checkbutton { min-height: 16px; padding: 0; }
.jobcontrol-panel checkbutton check,
.jobcontrol-panel checkbutton radio { min-width: 14px; min-height: 14px; margin: 0 6px 0 0; padding: 0; }
.jobcontrol-panel dropdown > button { min-height: 18px; padding: 1px 6px; }
)css";
#endif

}  // namespace

void installPanelStyle() {
  static bool installed = false;
  if (installed) return;
  GtkCssProvider* provider = gtk_css_provider_new();
  const std::string style = std::string(kStyle) + kToolkitStyle;
#if JC_GTK3
  GdkScreen* screen = gdk_screen_get_default();
  if (!screen) return g_object_unref(provider);
  gtk_css_provider_load_from_data(provider, style.c_str(), -1, nullptr);
  gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
#else
  GdkDisplay* display = gdk_display_get_default();
  if (!display) return g_object_unref(provider);
  gtk_css_provider_load_from_data(provider, style.c_str(), -1);
  gtk_style_context_add_provider_for_display(display, GTK_STYLE_PROVIDER(provider),
                                             GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
#endif
  g_object_unref(provider);
  installed = true;
}

GtkWidget* captionLabel(const std::string& text) {
  GtkWidget* label = gtk_label_new(text.c_str());
  gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
  gtk_label_set_xalign(GTK_LABEL(label), 0);
  gtk_label_set_single_line_mode(GTK_LABEL(label), TRUE);
  return label;
}

}  // namespace jc::gtk
