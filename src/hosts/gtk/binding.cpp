// Building the widgets of a panel view and mirroring the control model in both directions.
#include "hosts/gtk/binding.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "hosts/gtk/frame_view.h"
#include "hosts/gtk/images.h"
#include "hosts/gtk/popup_menu.h"
#include "hosts/gtk/style.h"
#include "hosts/gtk/text_domain.h"
#include "platform/text/unicode.h"
#include "platform/widgets/layout_fit.h"

namespace jc::gtk {

namespace {

// Where a control's widget sits in its parent's frame view: a cell on its row of the matrix,
// a box's control below the box's title band (GTK's frame is drawn in the same view), any
// other control on its frame.
FrameRect placeOf(const Control& control) {
  Control::Frame f = control.frame();
  const Control* parent = control.parent();
  if (control.kind() == Control::Kind::ButtonCell && parent) {
    const auto& cells = parent->children();
    auto row = std::find_if(cells.begin(), cells.end(),
                            [&](const auto& cell) { return cell.get() == &control; });
    f = static_cast<const Matrix*>(parent)->frameOfCellAtRow(int(row - cells.begin()));
  }
  Control::Point origin;
  if (parent && parent->kind() == Control::Kind::Box) origin = parent->contentOrigin();
  return {f.x + origin.x, f.y + origin.y, f.width, f.height};
}

// The controls whose width follows what they show: captions, buttons, cells, box titles and
// the tab strip.
bool showsCaption(const Control& control) {
  switch (control.kind()) {
    case Control::Kind::TextField:
      return control.tag() == 0;
    case Control::Kind::Button:
    case Control::Kind::ButtonCell:
    case Control::Kind::Box:
    case Control::Kind::TabView:
      return true;
    default:
      return false;
  }
}

// GTK counts characters, the model UTF-16 units.
std::size_t utf16At(const std::string& text, int chars) {
  const char* end = g_utf8_offset_to_pointer(text.c_str(), std::max(0, chars));
  return utf16Length(std::string_view(text.c_str(), std::size_t(end - text.c_str())));
}
int charsAt(const std::string& text, std::size_t units) {
  std::u16string wide = utf8ToUtf16(text);
  std::string head = utf16ToUtf8(wide.substr(0, std::min(units, wide.size())));
  return int(g_utf8_strlen(head.c_str(), -1));
}

void setClass(GtkWidget* widget, const char* name, bool on) {
  if (on)
    gtk_widget_add_css_class(widget, name);
  else
    gtk_widget_remove_css_class(widget, name);
}

// ---- Model → widget, one kind at a time ----

void mirrorBox(Box& box, GtkWidget* frame) {
  gtk_frame_set_label(GTK_FRAME(frame), box.title().c_str());
  Control::Frame f = box.frame();
  frameViewMove(frame, {0, 0, f.width, f.height});
}

void mirrorButton(Button& button, GtkWidget* w) {
  switch (button.buttonType()) {
    case Button::Type::Push:
      gtk_label_set_text(GTK_LABEL(gtk_button_get_child(GTK_BUTTON(w))), button.title().c_str());
      break;
    case Button::Type::Switch:
      gtk_label_set_text(GTK_LABEL(gtk_check_button_get_child(GTK_CHECK_BUTTON(w))),
                         button.title().c_str());
      gtk_check_button_set_active(GTK_CHECK_BUTTON(w), button.state() == 1);
      gtk_check_button_set_inconsistent(GTK_CHECK_BUTTON(w), button.state() == -1);
      break;
    case Button::Type::Toggle:
      gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w), button.state() == 1);
      showImage(GTK_IMAGE(gtk_button_get_child(GTK_BUTTON(w))), button.shownImage());
      break;
  }
}

void mirrorCell(ButtonCell& cell, GtkWidget* radio) {
  gtk_label_set_text(GTK_LABEL(gtk_check_button_get_child(GTK_CHECK_BUTTON(radio))),
                     cell.title().c_str());
  gtk_check_button_set_active(GTK_CHECK_BUTTON(radio), cell.state() == 1);
}

void mirrorTextField(TextField& field, GtkWidget* w) {
  setClass(w, "jc-dimmed", field.textColor() == TextField::Color::Gray);
  if (GTK_IS_LABEL(w)) {
    gtk_label_set_text(GTK_LABEL(w), field.stringValue().c_str());
    return;
  }
  if (field.stringValue() != gtk_editable_get_text(GTK_EDITABLE(w)))
    gtk_editable_set_text(GTK_EDITABLE(w), field.stringValue().c_str());
  gtk_editable_set_position(GTK_EDITABLE(w),
                            charsAt(field.stringValue(), field.selectedRange().location));
  gtk_editable_set_editable(GTK_EDITABLE(w), field.isEditable());
  gtk_widget_set_can_focus(w, field.isSelectable());
  gtk_entry_set_visibility(GTK_ENTRY(w), !field.isSecret());
}

}  // namespace

std::shared_ptr<PanelBinding> PanelBinding::create(std::shared_ptr<View> view,
                                                   std::shared_ptr<void> keepAlive) {
  std::shared_ptr<PanelBinding> binding(new PanelBinding(std::move(view), std::move(keepAlive)));
  binding->build();
  return binding;
}

PanelBinding::PanelBinding(std::shared_ptr<View> view, std::shared_ptr<void> keepAlive)
    : view_(std::move(view)), keepAlive_(std::move(keepAlive)) {}

PanelBinding::~PanelBinding() {
  for (Bound& b : bound_) {
    if (b.observer) b.control->removeObserver(b.observer);
    g_signal_handlers_disconnect_by_data(b.widget.get(), this);
    if (GTK_IS_EDITABLE(b.widget.get()))
      if (GtkEditable* text = gtk_editable_get_delegate(GTK_EDITABLE(b.widget.get())))
        g_signal_handlers_disconnect_by_data(text, this);
  }
  if (window_) window_->removeFocusObserver(focusObserver_);
  if (ownWindow_) view_->setWindow(nullptr);
}

void PanelBinding::build() {
  window_ = view_->ownWindow();
  if (!window_) {
    ownWindow_ = std::make_unique<Window>();
    window_ = ownWindow_.get();
    view_->setWindow(window_);
  }
  // The widgets are measured with the panel's own style, as they will be drawn.
  installPanelStyle();
  root_ = ObjectRef<GtkWidget>(frameViewNew());
  gtk_widget_add_css_class(root_.get(), "jobcontrol-panel");
  buildChildren(*view_, root_.get());
#if JC_GTK3
  // GTK 3 makes every widget hidden: show them all, then hide again what the model hides.
  gtk_widget_show_all(root_.get());
  for (const Bound& b : bound_) mirror(*b.control);
#endif
  fitCaptions();
  Control::Frame f = view_->frame();
  gtk_widget_set_size_request(root_.get(), f.width, f.height);
  nameByCaptions();
  focusObserver_ =
      window_->addFocusObserver([this](Control* responder) { mirrorFocus(responder); });
}

// The layout's frames were drawn for its own captions; a translation that needs more room
// widens its control in the model (moving what stands beside it), and every widget follows
// as it mirrors its control's new frame.
void PanelBinding::fitCaptions() {
  fitToNaturalWidths(*view_, [this](const Control& control) {
    GtkWidget* widget = showsCaption(control) ? widgetFor(&control) : nullptr;
    if (!widget) return 0;
    // GTK measures a hidden widget as nothing; a control shown later needs its room too.
    const bool visible = gtk_widget_get_visible(widget);
    gtk_widget_set_visible(widget, TRUE);
    int natural = 0;
#if JC_GTK3
    gtk_widget_get_preferred_width(widget, nullptr, &natural);
#else
    gtk_widget_measure(widget, GTK_ORIENTATION_HORIZONTAL, -1, nullptr, &natural, nullptr, nullptr);
#endif
    gtk_widget_set_visible(widget, visible);
    return natural;
  });
}

namespace {

// "Hold Login Name" for the padlock beside the login name: the caption without its colon.
std::string holdName(const Control& caption) {
  std::string text = caption.kind() == Control::Kind::TextField
                         ? static_cast<const TextField&>(caption).stringValue()
                         : static_cast<const ButtonCell&>(caption).title();
  for (std::string_view colon : {":", "\uFF1A", " "})
    while (text.ends_with(colon)) text.erase(text.size() - colon.size());
  gchar* name = g_strdup_printf(tr("Hold %s"), text.c_str());
  std::string held = name;
  g_free(name);
  return held;
}

void nameHoldButton(GtkWidget* widget, const std::string& name) {
  gtk_widget_set_tooltip_text(widget, name.c_str());
#if JC_GTK3
  atk_object_set_name(gtk_widget_get_accessible(widget), name.c_str());
#else
  gtk_accessible_update_property(GTK_ACCESSIBLE(widget), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                 name.c_str(), -1);
#endif
}

}  // namespace

// A caption names its field, and a padlock the entry it holds, for assistive technologies.
void PanelBinding::nameByCaptions() {
  for (const Bound& b : bound_) {
    if (b.control->kind() == Control::Kind::Button) {
      if (const Control* caption = static_cast<Button&>(*b.control).namedBy())
        nameHoldButton(b.widget.get(), holdName(*caption));
      continue;
    }
    if (b.control->kind() != Control::Kind::TextField) continue;
    GtkWidget* target = widgetFor(static_cast<TextField&>(*b.control).labelFor());
    if (!target) continue;
#if JC_GTK3
    atk_object_add_relationship(gtk_widget_get_accessible(target), ATK_RELATION_LABELLED_BY,
                                gtk_widget_get_accessible(b.widget.get()));
#else
    gtk_accessible_update_relation(GTK_ACCESSIBLE(target), GTK_ACCESSIBLE_RELATION_LABELLED_BY,
                                   b.widget.get(), nullptr, -1);
#endif
  }
}

void PanelBinding::buildChildren(Control& parent, GtkWidget* into) {
  for (const auto& child : parent.children()) {
    GtkWidget* outer = buildControl(child);
    if (outer) frameViewPut(into, outer, placeOf(*child));
  }
}

GtkWidget* PanelBinding::buildControl(const std::shared_ptr<Control>& control) {
  switch (control->kind()) {
    case Control::Kind::View: {
      GtkWidget* view = frameViewNew();
      buildChildren(*control, view);
      bind(control, view, view);
      return view;
    }
    case Control::Kind::Box: {
      // The frame and the controls are siblings in one frame view, so each control sits at
      // its own frame rather than wherever GTK's frame would put a single child.
      auto& box = static_cast<Box&>(*control);
      GtkWidget* outer = frameViewNew();
      GtkWidget* frame = gtk_frame_new(box.title().c_str());
      gtk_widget_add_css_class(frame, "jc-box");
      Control::Frame f = box.frame();
      frameViewPut(outer, frame, {0, 0, f.width, f.height});
      buildChildren(box, outer);
      bind(control, frame, outer);
      return outer;
    }
    case Control::Kind::Button: {
      auto& button = static_cast<Button&>(*control);
      GtkWidget* widget = nullptr;
      if (button.buttonType() == Button::Type::Switch) {
        widget = gtk_check_button_new();
        gtk_check_button_set_child(GTK_CHECK_BUTTON(widget), captionLabel(button.title()));
        g_signal_connect(widget, "toggled", G_CALLBACK(onToggled), this);
      } else if (button.buttonType() == Button::Type::Toggle) {
        widget = gtk_toggle_button_new();
        gtk_widget_add_css_class(widget, "jc-hold");
        gtk_button_set_child(GTK_BUTTON(widget), gtk_image_new());
        g_signal_connect(widget, "toggled", G_CALLBACK(onToggled), this);
      } else {
        widget = gtk_button_new();
        gtk_button_set_child(GTK_BUTTON(widget), captionLabel(button.title()));
        g_signal_connect(widget, "clicked", G_CALLBACK(onClicked), this);
      }
      bind(control, widget, widget);
      return widget;
    }
    case Control::Kind::Matrix:
      return buildMatrix(std::static_pointer_cast<Matrix>(control));
    case Control::Kind::TextField:
      return buildTextField(std::static_pointer_cast<TextField>(control));
    case Control::Kind::PopUpButton:
      return buildPopUp(std::static_pointer_cast<PopUpButton>(control));
    case Control::Kind::TabView:
      return buildTabView(std::static_pointer_cast<TabView>(control));
    case Control::Kind::ProgressIndicator: {
      GtkWidget* spinner = gtk_spinner_new();
      bind(control, spinner, spinner);
      return spinner;
    }
    case Control::Kind::ImageView: {
      GtkWidget* image = gtk_image_new();
      bind(control, image, image);
      return image;
    }
    case Control::Kind::ButtonCell:
    case Control::Kind::TabViewItem:
      break;  // built by their matrix and tab view
  }
  return nullptr;
}

GtkWidget* PanelBinding::buildTabView(const std::shared_ptr<TabView>& tabs) {
  GtkWidget* notebook = gtk_notebook_new();
  for (const auto& child : tabs->children()) {
    auto& item = static_cast<TabViewItem&>(*child);
    GtkWidget* page = frameViewNew();
    buildChildren(item, page);
    GtkWidget* label = gtk_label_new(item.label().c_str());
    gtk_notebook_append_page(GTK_NOTEBOOK(notebook), page, label);
    bind(child, label, label);
  }
  g_signal_connect(notebook, "switch-page", G_CALLBACK(onSwitchPage), this);
  bind(tabs, notebook, notebook);
  return notebook;
}

GtkWidget* PanelBinding::buildMatrix(const std::shared_ptr<Matrix>& matrix) {
  GtkWidget* view = frameViewNew();
  GtkWidget* group = nullptr;
  for (int row = 0; row < matrix->numberOfRows(); ++row) {
    ButtonCell* cell = matrix->cellAtRow(row);
#if JC_GTK3
    GtkWidget* radio = gtk_radio_button_new_from_widget(GTK_RADIO_BUTTON(group));
#else
    GtkWidget* radio = gtk_check_button_new();
    if (group) gtk_check_button_set_group(GTK_CHECK_BUTTON(radio), GTK_CHECK_BUTTON(group));
#endif
    if (!group) group = radio;
    gtk_check_button_set_child(GTK_CHECK_BUTTON(radio), captionLabel(cell->title()));
    frameViewPut(view, radio, placeOf(*cell));
    g_signal_connect(radio, "toggled", G_CALLBACK(onCellToggled), this);
    bind(matrix->children()[std::size_t(row)], radio, radio);
  }
  bind(matrix, view, view);
  return view;
}

GtkWidget* PanelBinding::buildPopUp(const std::shared_ptr<PopUpButton>& popup) {
  GtkWidget* widget = popUpMenuNew(popup);
#if JC_GTK3
  g_signal_connect(widget, "changed", G_CALLBACK(onSelectedItem), this);
#else
  g_signal_connect(
      widget, "notify::selected",
      G_CALLBACK(+[](GtkWidget* w, GParamSpec*, PanelBinding* self) { onSelectedItem(w, self); }),
      this);
#endif
  bind(popup, widget, widget);
  return widget;
}

GtkWidget* PanelBinding::buildTextField(const std::shared_ptr<TextField>& field) {
  if (field->tag() == 0) {
    GtkWidget* label = captionLabel(field->stringValue());
    bind(field, label, label);
    return label;
  }
  GtkWidget* entry = gtk_entry_new();
  gtk_editable_set_width_chars(GTK_EDITABLE(entry), 1);
  gtk_editable_set_max_width_chars(GTK_EDITABLE(entry), 1);
  // Every edit a person makes reaches the model first; GTK's own insertion never runs.
  GtkEditable* text = gtk_editable_get_delegate(GTK_EDITABLE(entry));
  g_signal_connect(text, "insert-text", G_CALLBACK(onInsertText), this);
  g_signal_connect(text, "delete-text", G_CALLBACK(onDeleteText), this);
  g_signal_connect(entry, "activate", G_CALLBACK(onActivate), this);
#if JC_GTK3
  g_signal_connect(entry, "focus-in-event",
                   G_CALLBACK(+[](GtkWidget* w, GdkEvent*, PanelBinding* self) {
                     self->focusEntered(w);
                     return FALSE;
                   }),
                   this);
#else
  GtkEventController* focus = gtk_event_controller_focus_new();
  g_signal_connect(focus, "enter", G_CALLBACK(+[](GtkEventControllerFocus* f, PanelBinding* self) {
                     self->focusEntered(gtk_event_controller_get_widget(GTK_EVENT_CONTROLLER(f)));
                   }),
                   this);
  gtk_widget_add_controller(entry, focus);
#endif
  bind(field, entry, entry);
  return entry;
}

void PanelBinding::bind(const std::shared_ptr<Control>& control, GtkWidget* widget,
                        GtkWidget* outer) {
  std::size_t index = bound_.size();
  bound_.push_back({control, ObjectRef<GtkWidget>(widget), ObjectRef<GtkWidget>(outer), 0});
  byControl_[control.get()] = index;
  byWidget_[widget] = index;
  mirror(*control);
  bound_[index].observer = control->addObserver([this](Control& changed) { mirror(changed); });
}

GtkWidget* PanelBinding::widgetFor(const Control* control) const {
  auto it = byControl_.find(control);
  return it == byControl_.end() ? nullptr : bound_[it->second].widget.get();
}

Control* PanelBinding::controlNamed(std::string_view name) const {
  for (const Bound& b : bound_)
    if (b.control->identifier() == name) return b.control.get();
  return nullptr;
}

Control* PanelBinding::controlOf(GtkWidget* widget) const {
  auto it = byWidget_.find(widget);
  return it == byWidget_.end() ? nullptr : bound_[it->second].control.get();
}

TextField* PanelBinding::fieldOfText(GtkEditable* text) const {
  GtkWidget* entry = gtk_widget_get_ancestor(GTK_WIDGET(text), GTK_TYPE_ENTRY);
  Control* control = entry ? controlOf(entry) : nullptr;
  return control && control->kind() == Control::Kind::TextField ? static_cast<TextField*>(control)
                                                                : nullptr;
}

// ---- Model → widget ----

void PanelBinding::mirror(Control& control) {
  auto it = byControl_.find(&control);
  if (it == byControl_.end()) return;
  const Bound& b = bound_[it->second];
  GtkWidget* w = b.widget.get();
  ++mirroring_;
  gtk_widget_set_visible(b.outer.get(), !control.isHidden());
  gtk_widget_set_sensitive(w, control.isEnabled());
  // A tab's label sits in the notebook's strip; everything else on its frame.
  if (control.kind() != Control::Kind::TabViewItem) frameViewMove(b.outer.get(), placeOf(control));
  switch (control.kind()) {
    case Control::Kind::Box:
      mirrorBox(static_cast<Box&>(control), w);
      break;
    case Control::Kind::Button:
      mirrorButton(static_cast<Button&>(control), w);
      break;
    case Control::Kind::ButtonCell:
      mirrorCell(static_cast<ButtonCell&>(control), w);
      break;
    case Control::Kind::Matrix:
      mirrorMatrix(static_cast<Matrix&>(control));
      break;
    case Control::Kind::TextField:
      mirrorTextField(static_cast<TextField&>(control), w);
      break;
    case Control::Kind::PopUpButton:
      popUpMenuMirror(static_cast<PopUpButton&>(control), w);
      break;
    case Control::Kind::TabView:
      if (int page = static_cast<TabView&>(control).indexOfSelectedTabViewItem(); page >= 0)
        gtk_notebook_set_current_page(GTK_NOTEBOOK(w), page);
      break;
    case Control::Kind::TabViewItem:
      gtk_label_set_text(GTK_LABEL(w), static_cast<TabViewItem&>(control).label().c_str());
      break;
    case Control::Kind::ProgressIndicator:
      gtk_spinner_set_spinning(GTK_SPINNER(w),
                               static_cast<ProgressIndicator&>(control).isAnimating());
      break;
    case Control::Kind::ImageView:
      showImage(GTK_IMAGE(w), static_cast<ImageView&>(control).image());
      break;
    case Control::Kind::View:
      break;
  }
  --mirroring_;
}

void PanelBinding::mirrorMatrix(Matrix& matrix) {
  for (int row = 0; row < matrix.numberOfRows(); ++row)
    if (GtkWidget* radio = widgetFor(matrix.cellAtRow(row)))
      gtk_check_button_set_active(GTK_CHECK_BUTTON(radio), row == matrix.selectedRow());
}

void PanelBinding::mirrorFocus(Control* responder) {
  GtkWidget* target = responder ? widgetFor(responder) : nullptr;
  if (target) {
    ++mirroring_;
    gtk_widget_grab_focus(target);
    --mirroring_;
    return;
  }
  // Nobody has the panel's focus: a dimmed field must not keep GTK's either.
#if JC_GTK3
  GtkWidget* top = gtk_widget_get_toplevel(root_.get());
  GtkWindow* window = GTK_IS_WINDOW(top) ? GTK_WINDOW(top) : nullptr;
  GtkWidget* focus = window ? gtk_window_get_focus(window) : nullptr;
  if (focus && gtk_widget_is_ancestor(focus, root_.get())) gtk_window_set_focus(window, nullptr);
#else
  GtkRoot* root = gtk_widget_get_root(root_.get());
  GtkWidget* focus = root ? gtk_root_get_focus(root) : nullptr;
  if (focus && gtk_widget_is_ancestor(focus, root_.get())) gtk_root_set_focus(root, nullptr);
#endif
}

// ---- Widget → model ----

void PanelBinding::onToggled(GtkWidget* widget, PanelBinding* self) {
  if (self->mirroring_) return;
  auto keep = self->shared_from_this();
  auto* button = static_cast<Button*>(self->controlOf(widget));
  // The model flips the state itself; a refused click is undone by mirroring it back.
  if (!button->performClick()) self->mirror(*button);
}

void PanelBinding::onClicked(GtkWidget* widget, PanelBinding* self) {
  if (self->mirroring_) return;
  auto keep = self->shared_from_this();
  static_cast<Button*>(self->controlOf(widget))->performClick();
}

void PanelBinding::onCellToggled(GtkCheckButton* cell, PanelBinding* self) {
  // Only the row turning on is the person's choice; its neighbour turning off follows.
  if (self->mirroring_ || !gtk_check_button_get_active(cell)) return;
  auto keep = self->shared_from_this();
  Control* control = self->controlOf(GTK_WIDGET(cell));
  auto* matrix = static_cast<Matrix*>(control->parent());
  const auto& cells = matrix->children();
  int row = int(
      std::find_if(cells.begin(), cells.end(), [&](const auto& c) { return c.get() == control; }) -
      cells.begin());
  if (!matrix->clickRow(row)) self->mirror(*matrix);
}

void PanelBinding::onSelectedItem(GtkWidget* widget, PanelBinding* self) {
  if (self->mirroring_) return;
  auto keep = self->shared_from_this();
  auto* popup = static_cast<PopUpButton*>(self->controlOf(widget));
  int index = popUpMenuSelected(widget);
  if (index < 0 || !popup->chooseItem(index)) self->mirror(*popup);
}

void PanelBinding::onSwitchPage(GtkNotebook* notebook, GtkWidget*, guint page, PanelBinding* self) {
  if (self->mirroring_) return;
  auto keep = self->shared_from_this();
  auto* tabs = static_cast<TabView*>(self->controlOf(GTK_WIDGET(notebook)));
  if (!tabs) return;  // GTK switches pages while the notebook is being filled
  tabs->selectTabViewItemAtIndex(int(page));
  tabs->sendAction();
}

void PanelBinding::onInsertText(GtkEditable* text, const char* chars, int length, int* position,
                                PanelBinding* self) {
  if (self->mirroring_) return;
  g_signal_stop_emission_by_name(text, "insert-text");
  auto keep = self->shared_from_this();
  TextField* field = self->fieldOfText(text);
  if (!field) return;
  std::size_t at = utf16At(field->stringValue(), *position);
  std::string_view inserted(chars, length < 0 ? std::strlen(chars) : std::size_t(length));
  if (field->replaceCharactersInRange({at, 0}, inserted))
    *position = charsAt(field->stringValue(), field->selectedRange().location);
}

void PanelBinding::onDeleteText(GtkEditable* text, int start, int end, PanelBinding* self) {
  if (self->mirroring_) return;
  g_signal_stop_emission_by_name(text, "delete-text");
  auto keep = self->shared_from_this();
  TextField* field = self->fieldOfText(text);
  if (!field) return;
  const std::string& now = field->stringValue();
  if (end < 0) end = int(g_utf8_strlen(now.c_str(), -1));
  std::size_t from = utf16At(now, start), to = utf16At(now, end);
  (void)field->replaceCharactersInRange({from, to - from}, "");
}

void PanelBinding::onActivate(GtkWidget* entry, PanelBinding* self) {
  auto keep = self->shared_from_this();
  if (Control* field = self->controlOf(entry)) field->sendAction();
}

void PanelBinding::focusEntered(GtkWidget* entry) {
  if (mirroring_) return;
  Control* field = controlOf(entry);
  if (field && window_->firstResponder() != field) {
    ++mirroring_;
    window_->makeFirstResponder(field);
    --mirroring_;
  }
}

}  // namespace jc::gtk
