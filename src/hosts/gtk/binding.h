// The GTK binding of a loaded panel: real widgets for the controls of a layout, kept equal
// to the control model both ways. Widgets only mirror the model and hand the person's
// clicks, choices and edits to it; every rule and action stays in the panel.
#pragma once

#include "hosts/gtk/toolkit.h"

#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "hosts/gtk/gobject_ref.h"
#include "platform/widgets/controls.h"

namespace jc::gtk {

/// Widgets for one panel view. Made and used on GTK's thread only.
///
/// A binding is shared: every handler of a person's event holds it (and what it keeps
/// alive) until the event has been handled, so a host may drop the binding and its panel
/// from inside an action, for instance while the panel's alert is shown, without pulling
/// the panel out from under its own running method.
class PanelBinding : public std::enable_shared_from_this<PanelBinding> {
 public:
  /// Builds the widgets for the tree under `view` and starts mirroring. The view is put in
  /// a window of the binding's own (the panel's first responder is its focus) unless it
  /// has one. `keepAlive` is held as long as the binding (the panel that owns the view).
  static std::shared_ptr<PanelBinding> create(std::shared_ptr<View> view,
                                              std::shared_ptr<void> keepAlive = nullptr);
  ~PanelBinding();
  PanelBinding(const PanelBinding&) = delete;
  PanelBinding& operator=(const PanelBinding&) = delete;

  /// The root widget, sized to the view's frame; the caller puts it in a container.
  GtkWidget* widget() const { return root_.get(); }
  /// The widget that shows `control` (a matrix cell's own check button, a text field's
  /// entry), or nullptr when the control is not shown by this binding.
  GtkWidget* widgetFor(const Control* control) const;
  /// The control the layout connected to the outlet `name`, or nullptr (for hosts and tools
  /// that reach the panel's controls without knowing the panel's class).
  Control* controlNamed(std::string_view name) const;
  /// `widgetFor(controlNamed(name))`.
  GtkWidget* widgetNamed(std::string_view name) const { return widgetFor(controlNamed(name)); }
  /// The panel's window, whose first responder the binding's focus follows.
  Window& window() { return *window_; }

 private:
  struct Bound {
    std::shared_ptr<Control> control;
    ObjectRef<GtkWidget> widget;  // the widget a person operates
    ObjectRef<GtkWidget> outer;   // what is placed in the parent (a box's frame view)
    std::size_t observer = 0;
  };

  explicit PanelBinding(std::shared_ptr<View> view, std::shared_ptr<void> keepAlive);
  void build();
  GtkWidget* buildControl(const std::shared_ptr<Control>& control);
  void buildChildren(Control& parent, GtkWidget* into);
  void fitCaptions();
  void nameByCaptions();
  GtkWidget* buildTabView(const std::shared_ptr<TabView>& tabs);
  GtkWidget* buildMatrix(const std::shared_ptr<Matrix>& matrix);
  GtkWidget* buildPopUp(const std::shared_ptr<PopUpButton>& popup);
  GtkWidget* buildTextField(const std::shared_ptr<TextField>& field);
  void bind(const std::shared_ptr<Control>& control, GtkWidget* widget, GtkWidget* outer);

  // Model → widget.
  void mirror(Control& control);
  void mirrorMatrix(Matrix& matrix);
  void mirrorFocus(Control* responder);
  // Widget → model, each handler holding the binding for the event's length.
  static void onToggled(GtkWidget* widget, PanelBinding* self);
  static void onClicked(GtkWidget* widget, PanelBinding* self);
  static void onCellToggled(GtkCheckButton* cell, PanelBinding* self);
  static void onSelectedItem(GtkWidget* widget, PanelBinding* self);
  static void onSwitchPage(GtkNotebook* notebook, GtkWidget*, guint page, PanelBinding* self);
  static void onInsertText(GtkEditable* text, const char* chars, int length, int* position,
                           PanelBinding* self);
  static void onDeleteText(GtkEditable* text, int start, int end, PanelBinding* self);
  static void onActivate(GtkWidget* entry, PanelBinding* self);
  void focusEntered(GtkWidget* entry);

  Control* controlOf(GtkWidget* widget) const;
  TextField* fieldOfText(GtkEditable* text) const;

  std::shared_ptr<View> view_;
  std::shared_ptr<void> keepAlive_;
  std::unique_ptr<Window> ownWindow_;
  Window* window_ = nullptr;
  std::size_t focusObserver_ = 0;
  ObjectRef<GtkWidget> root_;
  std::vector<Bound> bound_;
  std::map<const Control*, std::size_t> byControl_;
  std::map<const GtkWidget*, std::size_t> byWidget_;
  // Set while the binding writes the model's state into widgets, so the signals those
  // writes raise are not taken for the person's own doing.
  int mirroring_ = 0;
};

}  // namespace jc::gtk
