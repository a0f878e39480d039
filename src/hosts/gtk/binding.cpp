// Building the widgets of a panel view and mirroring the control model in both directions.
#include "hosts/gtk/binding.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "hosts/gtk/frame_view.h"
#include "hosts/gtk/images.h"
#include "platform/text/unicode.h"

namespace jc::gtk {

namespace {

FrameRect rectOf(const Control& control, int offsetX = 0, int offsetY = 0) {
  Control::Frame f = control.frame();
  return {f.x + offsetX, f.y + offsetY, f.width, f.height};
}

FrameRect cellRect(const Matrix& matrix, int row) {
  Control::Frame f = matrix.frameOfCellAtRow(row);
  return {f.x, f.y, f.width, f.height};
}

// An ellipsizing label: a caption never asks for more room than its frame.
GtkWidget* captionLabel(const std::string& text) {
  GtkWidget* label = gtk_label_new(text.c_str());
  gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
  gtk_label_set_xalign(GTK_LABEL(label), 0);
  gtk_label_set_single_line_mode(GTK_LABEL(label), TRUE);
  return label;
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

// ---- The pop-up's rows: an image (padlock or blank) and the title; separators dimmed ----

struct PopUpRows {
  std::shared_ptr<PopUpButton> popup;
};

void setupRow(GtkSignalListItemFactory*, GtkListItem* item, gpointer) {
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
  GtkWidget* image = gtk_image_new();
  gtk_image_set_pixel_size(GTK_IMAGE(image), 16);
  gtk_box_append(GTK_BOX(row), image);
  gtk_box_append(GTK_BOX(row), captionLabel(""));
  GtkWidget* rule = gtk_separator_new(GTK_ORIENTATION_HORIZONTAL);
  gtk_widget_set_hexpand(rule, TRUE);
  gtk_widget_set_valign(rule, GTK_ALIGN_CENTER);
  gtk_box_append(GTK_BOX(row), rule);
  gtk_list_item_set_child(item, row);
}

void bindRow(GtkSignalListItemFactory*, GtkListItem* item, gpointer data) {
  auto* rows = static_cast<PopUpRows*>(data);
  GtkWidget* row = gtk_list_item_get_child(item);
  GtkWidget* image = gtk_widget_get_first_child(row);
  GtkWidget* label = gtk_widget_get_next_sibling(image);
  GtkWidget* rule = gtk_widget_get_next_sibling(label);
  const MenuItem* menuItem = rows->popup->itemAtIndex(int(gtk_list_item_get_position(item)));
  bool separator = !menuItem || menuItem->separator;
  gtk_widget_set_visible(image, !separator);
  gtk_widget_set_visible(label, !separator);
  gtk_widget_set_visible(rule, separator);
  // GTK's drop-down has no separators of its own: the row is shown but cannot be chosen.
  bool choosable = !separator && menuItem->enabled;
  gtk_list_item_set_selectable(item, choosable);
  gtk_list_item_set_activatable(item, choosable);
  gtk_widget_set_sensitive(row, choosable);
  if (separator) return;
  gtk_label_set_text(GTK_LABEL(label), menuItem->title.c_str());
  showImage(GTK_IMAGE(image), menuItem->image);
}

std::vector<std::string> titlesOf(const PopUpButton& popup) {
  std::vector<std::string> titles;
  for (const MenuItem& item : popup.items()) titles.push_back(item.separator ? "" : item.title);
  return titles;
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
  root_ = ObjectRef<GtkWidget>(frameViewNew());
  gtk_widget_add_css_class(root_.get(), "jobcontrol-panel");
  Control::Frame f = view_->frame();
  gtk_widget_set_size_request(root_.get(), f.width, f.height);
  buildChildren(*view_, root_.get(), 0, 0);
  // A caption names its field for assistive technologies.
  for (const Bound& b : bound_) {
    if (b.control->kind() != Control::Kind::TextField) continue;
    GtkWidget* target = widgetFor(static_cast<TextField&>(*b.control).labelFor());
    if (target)
      gtk_accessible_update_relation(GTK_ACCESSIBLE(target), GTK_ACCESSIBLE_RELATION_LABELLED_BY,
                                     b.widget.get(), nullptr, -1);
  }
  focusObserver_ =
      window_->addFocusObserver([this](Control* responder) { mirrorFocus(responder); });
}

void PanelBinding::buildChildren(Control& parent, GtkWidget* into, int offsetX, int offsetY) {
  for (const auto& child : parent.children()) {
    GtkWidget* outer = buildControl(child);
    if (outer) frameViewPut(into, outer, rectOf(*child, offsetX, offsetY));
  }
}

GtkWidget* PanelBinding::buildControl(const std::shared_ptr<Control>& control) {
  switch (control->kind()) {
    case Control::Kind::View: {
      GtkWidget* view = frameViewNew();
      buildChildren(*control, view, 0, 0);
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
      buildChildren(box, outer, box.contentOrigin().x, box.contentOrigin().y);
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
    buildChildren(item, page, 0, 0);
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
  GtkCheckButton* group = nullptr;
  for (int row = 0; row < matrix->numberOfRows(); ++row) {
    ButtonCell* cell = matrix->cellAtRow(row);
    GtkWidget* radio = gtk_check_button_new();
    gtk_check_button_set_child(GTK_CHECK_BUTTON(radio), captionLabel(cell->title()));
    if (group)
      gtk_check_button_set_group(GTK_CHECK_BUTTON(radio), group);
    else
      group = GTK_CHECK_BUTTON(radio);
    frameViewPut(view, radio, cellRect(*matrix, row));
    g_signal_connect(radio, "toggled", G_CALLBACK(onCellToggled), this);
    bind(matrix->children()[std::size_t(row)], radio, radio);
  }
  bind(matrix, view, view);
  return view;
}

GtkWidget* PanelBinding::buildPopUp(const std::shared_ptr<PopUpButton>& popup) {
  GtkListItemFactory* factory = gtk_signal_list_item_factory_new();
  g_signal_connect(factory, "setup", G_CALLBACK(setupRow), nullptr);
  g_signal_connect_data(
      factory, "bind", G_CALLBACK(bindRow), new PopUpRows{popup},
      [](gpointer data, GClosure*) { delete static_cast<PopUpRows*>(data); }, GConnectFlags(0));
  GtkWidget* dropDown = gtk_drop_down_new(G_LIST_MODEL(gtk_string_list_new(nullptr)), nullptr);
  gtk_drop_down_set_factory(GTK_DROP_DOWN(dropDown), factory);
  g_object_unref(factory);
  g_signal_connect(dropDown, "notify::selected", G_CALLBACK(onSelectedItem), this);
  bind(popup, dropDown, dropDown);
  return dropDown;
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
  GtkEventController* focus = gtk_event_controller_focus_new();
  g_signal_connect(focus, "enter", G_CALLBACK(onFocusEnter), this);
  gtk_widget_add_controller(entry, focus);
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
  switch (control.kind()) {
    case Control::Kind::Box:
      gtk_frame_set_label(GTK_FRAME(w), static_cast<Box&>(control).title().c_str());
      break;
    case Control::Kind::Button: {
      auto& button = static_cast<Button&>(control);
      if (button.buttonType() == Button::Type::Push) {
        gtk_label_set_text(GTK_LABEL(gtk_button_get_child(GTK_BUTTON(w))), button.title().c_str());
      } else if (button.buttonType() == Button::Type::Switch) {
        gtk_label_set_text(GTK_LABEL(gtk_check_button_get_child(GTK_CHECK_BUTTON(w))),
                           button.title().c_str());
        gtk_check_button_set_active(GTK_CHECK_BUTTON(w), button.state() == 1);
        gtk_check_button_set_inconsistent(GTK_CHECK_BUTTON(w), button.state() == -1);
      } else {
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w), button.state() == 1);
        showImage(GTK_IMAGE(gtk_button_get_child(GTK_BUTTON(w))), button.shownImage());
      }
      break;
    }
    case Control::Kind::ButtonCell: {
      auto& cell = static_cast<ButtonCell&>(control);
      gtk_label_set_text(GTK_LABEL(gtk_check_button_get_child(GTK_CHECK_BUTTON(w))),
                         cell.title().c_str());
      gtk_check_button_set_active(GTK_CHECK_BUTTON(w), cell.state() == 1);
      break;
    }
    case Control::Kind::Matrix: {
      auto& matrix = static_cast<Matrix&>(control);
      for (int row = 0; row < matrix.numberOfRows(); ++row)
        if (GtkWidget* radio = widgetFor(matrix.cellAtRow(row)))
          gtk_check_button_set_active(GTK_CHECK_BUTTON(radio), row == matrix.selectedRow());
      break;
    }
    case Control::Kind::TextField: {
      auto& field = static_cast<TextField&>(control);
      setClass(w, "jc-dimmed", field.textColor() == TextField::Color::Gray);
      if (GTK_IS_LABEL(w)) {
        gtk_label_set_text(GTK_LABEL(w), field.stringValue().c_str());
        break;
      }
      if (field.stringValue() != gtk_editable_get_text(GTK_EDITABLE(w)))
        gtk_editable_set_text(GTK_EDITABLE(w), field.stringValue().c_str());
      gtk_editable_set_position(GTK_EDITABLE(w),
                                charsAt(field.stringValue(), field.selectedRange().location));
      gtk_editable_set_editable(GTK_EDITABLE(w), field.isEditable());
      gtk_widget_set_can_focus(w, field.isSelectable());
      gtk_entry_set_visibility(GTK_ENTRY(w), !field.isSecret());
      break;
    }
    case Control::Kind::PopUpButton: {
      auto& popup = static_cast<PopUpButton&>(control);
      auto* list = GTK_STRING_LIST(gtk_drop_down_get_model(GTK_DROP_DOWN(w)));
      std::vector<std::string> titles = titlesOf(popup);
      // Rebuilt only when the menu changed, so the open list is not reset by a selection.
      bool same = g_list_model_get_n_items(G_LIST_MODEL(list)) == titles.size();
      for (guint i = 0; same && i < titles.size(); ++i)
        same = titles[i] == gtk_string_list_get_string(list, i);
      if (!same) {
        std::vector<const char*> items;
        for (const auto& t : titles) items.push_back(t.c_str());
        items.push_back(nullptr);
        gtk_string_list_splice(list, 0, g_list_model_get_n_items(G_LIST_MODEL(list)), items.data());
      }
      int selected = popup.indexOfSelectedItem();
      gtk_drop_down_set_selected(GTK_DROP_DOWN(w),
                                 selected < 0 ? GTK_INVALID_LIST_POSITION : guint(selected));
      break;
    }
    case Control::Kind::TabView: {
      auto& tabs = static_cast<TabView&>(control);
      if (tabs.indexOfSelectedTabViewItem() >= 0)
        gtk_notebook_set_current_page(GTK_NOTEBOOK(w), tabs.indexOfSelectedTabViewItem());
      break;
    }
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

void PanelBinding::mirrorFocus(Control* responder) {
  GtkWidget* target = responder ? widgetFor(responder) : nullptr;
  GtkRoot* root = gtk_widget_get_root(root_.get());
  if (target) {
    ++mirroring_;
    gtk_widget_grab_focus(target);
    --mirroring_;
    return;
  }
  // Nobody has the panel's focus: a dimmed field must not keep GTK's either.
  GtkWidget* focus = root ? gtk_root_get_focus(root) : nullptr;
  if (focus && gtk_widget_is_ancestor(focus, root_.get())) gtk_root_set_focus(root, nullptr);
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

void PanelBinding::onSelectedItem(GObject* dropDown, GParamSpec*, PanelBinding* self) {
  if (self->mirroring_) return;
  auto keep = self->shared_from_this();
  auto* popup = static_cast<PopUpButton*>(self->controlOf(GTK_WIDGET(dropDown)));
  guint index = gtk_drop_down_get_selected(GTK_DROP_DOWN(dropDown));
  if (index == GTK_INVALID_LIST_POSITION || !popup->chooseItem(int(index))) self->mirror(*popup);
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

void PanelBinding::onFocusEnter(GtkEventControllerFocus* focus, PanelBinding* self) {
  if (self->mirroring_) return;
  Control* field = self->controlOf(gtk_event_controller_get_widget(GTK_EVENT_CONTROLLER(focus)));
  if (field && self->window_->firstResponder() != field) {
    ++self->mirroring_;
    self->window_->makeFirstResponder(field);
    --self->mirroring_;
  }
}

}  // namespace jc::gtk
