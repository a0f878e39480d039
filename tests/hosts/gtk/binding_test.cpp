// The binding on real widgets: widgets mirror their controls through a person's edits, the
// folder pop-up and its request, geometry against the layout, accessibility.
#include <gtk/gtk.h>

#include <algorithm>
#include <atomic>
#include <set>

#include "gtk_fixture.h"
#include "platform/widgets/layout_geometry.h"
#include "plugin/icons.h"
#include "plugin/panel_view_fixture.h"
#include "printer_simulator.h"
#include "soap/soap_client.h"

namespace jc::test {
namespace {

using Panel = VoreliaPrintPdeTz630eJC;

std::string labelText(GtkWidget* label) {
  return label ? gtk_label_get_text(GTK_LABEL(label)) : "";
}

// Compares every control with its widget; reports each difference under the outlet's name.
void expectMirrored(BoundPanel& p) {
  int checked = 0;
  auto expectCheck = [](GtkWidget* w, const auto& b, const std::string& name) {
    EXPECT_EQ(bool(gtk_check_button_get_active(GTK_CHECK_BUTTON(w))), b.state() == 1) << name;
    EXPECT_EQ(labelText(gtk_check_button_get_child(GTK_CHECK_BUTTON(w))), b.title()) << name;
  };
  forEachControl(*p.view, [&](Control& c) {
    if (&c == p.view.get() || c.kind() == Control::Kind::View) return;
    GtkWidget* w = p.binding->widgetFor(&c);
    std::string name = c.identifier().empty() ? "(unnamed)" : c.identifier();
    ASSERT_NE(w, nullptr) << name << " has no widget";
    ++checked;
    EXPECT_EQ(bool(gtk_widget_get_sensitive(w)), c.isEnabled()) << name;
    if (c.kind() != Control::Kind::Box && c.kind() != Control::Kind::TabViewItem) {
      EXPECT_EQ(bool(gtk_widget_get_visible(w)), !c.isHidden()) << name;
    }
    switch (c.kind()) {
      case Control::Kind::Button: {
        auto& b = static_cast<Button&>(c);
        if (b.buttonType() == Button::Type::Push) {
          EXPECT_EQ(labelText(gtk_button_get_child(GTK_BUTTON(w))), b.title()) << name;
        } else if (b.buttonType() == Button::Type::Switch) {
          expectCheck(w, b, name);
        } else {
          EXPECT_EQ(bool(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(w))), b.state() == 1)
              << name;
          ASSERT_TRUE(b.shownImage()) << name;
          EXPECT_STREQ(gtk_image_get_icon_name(GTK_IMAGE(gtk_button_get_child(GTK_BUTTON(w)))),
                       b.shownImage()->name.c_str())
              << name;
        }
        break;
      }
      case Control::Kind::ButtonCell:
        expectCheck(w, static_cast<ButtonCell&>(c), name);
        break;
      case Control::Kind::TextField: {
        auto& f = static_cast<TextField&>(c);
        EXPECT_EQ(gtk_widget_has_css_class(w, "jc-dimmed"), f.textColor() == TextField::Color::Gray)
            << name;
        if (f.tag() == 0) {
          EXPECT_EQ(labelText(w), f.stringValue()) << name;
          break;
        }
        EXPECT_EQ(std::string(gtk_editable_get_text(GTK_EDITABLE(w))), f.stringValue()) << name;
        EXPECT_EQ(bool(gtk_editable_get_editable(GTK_EDITABLE(w))), f.isEditable()) << name;
        EXPECT_EQ(bool(gtk_entry_get_visibility(GTK_ENTRY(w))), !f.isSecret()) << name;
        break;
      }
      case Control::Kind::PopUpButton: {
        auto& popup = static_cast<PopUpButton&>(c);
        GListModel* items = gtk_drop_down_get_model(GTK_DROP_DOWN(w));
        ASSERT_EQ(int(g_list_model_get_n_items(items)), popup.numberOfItems()) << name;
        for (int i = 0; i < popup.numberOfItems(); ++i) {
          if (popup.itemAtIndex(i)->separator) continue;
          EXPECT_STREQ(gtk_string_list_get_string(GTK_STRING_LIST(items), guint(i)),
                       popup.itemAtIndex(i)->title.c_str())
              << name << " item " << i;
        }
        EXPECT_EQ(int(gtk_drop_down_get_selected(GTK_DROP_DOWN(w))), popup.indexOfSelectedItem())
            << name;
        break;
      }
      case Control::Kind::TabView:
        EXPECT_EQ(gtk_notebook_get_current_page(GTK_NOTEBOOK(w)),
                  static_cast<TabView&>(c).indexOfSelectedTabViewItem());
        break;
      case Control::Kind::TabViewItem:
        EXPECT_EQ(labelText(w), static_cast<TabViewItem&>(c).label()) << name;
        break;
      case Control::Kind::ProgressIndicator: {
        gboolean spinning = FALSE;
        g_object_get(w, "spinning", &spinning, nullptr);
        EXPECT_EQ(bool(spinning), static_cast<ProgressIndicator&>(c).isAnimating()) << name;
        break;
      }
      default:
        break;
    }
  });
  EXPECT_GT(checked, 10);
}

bool gtkFocusIn(BoundPanel& p, GtkWidget* widget) {
  GtkWidget* focus = gtk_root_get_focus(GTK_ROOT(p.window));
  return focus && (focus == widget || gtk_widget_is_ancestor(focus, widget));
}

class Layouts : public ::testing::TestWithParam<const char*> {};

TEST_P(Layouts, WidgetsFollowTheModelThroughAPersonsEdits) {
  BoundPanel p(GetParam());
  expectMirrored(p);

  // Retention on, main folder, a pass code typed key by key: refused keys never appear.
  click(p.widget(&Panel::retentionCheckBox));
  gtk_drop_down_set_selected(GTK_DROP_DOWN(p.widget(&Panel::folderSelectionPopup)), 1);
  EXPECT_EQ(p.panel.folderSelectionPopup->indexOfSelectedItem(), 1);
  EXPECT_EQ(p.panel.retentionCheckBox->state(), 1);
  GtkWidget* passCode = p.widget(&Panel::suspendKeyEditText);
  typeInto(passCode, "12a3456");
  EXPECT_EQ(p.panel.suspendKeyEditText->stringValue(), "12345");
  EXPECT_STREQ(gtk_editable_get_text(GTK_EDITABLE(passCode)), "12345");
  // Deleting goes through the model too; a six-digit paste is refused whole.
  gtk_editable_delete_text(GTK_EDITABLE(passCode), 0, -1);
  EXPECT_EQ(p.panel.suspendKeyEditText->stringValue(), "");
  int at = 0;
  gtk_editable_insert_text(GTK_EDITABLE(passCode), "123456", -1, &at);
  EXPECT_STREQ(gtk_editable_get_text(GTK_EDITABLE(passCode)), "");
  typeInto(passCode, "4711");

  // Holding the pass code dims its field and takes the focus from it.
  gtk_widget_grab_focus(passCode);
  click(p.widget(&Panel::suspendKeyButton));
  EXPECT_EQ(p.panel.suspendKeyButton->state(), 1);
  EXPECT_FALSE(gtk_editable_get_editable(GTK_EDITABLE(passCode)));
  EXPECT_TRUE(gtk_widget_has_css_class(passCode, "jc-dimmed"));
  EXPECT_FALSE(gtkFocusIn(p, passCode));

  // Choosing "User Number" moves the focus to its field.
  gtk_check_button_set_active(GTK_CHECK_BUTTON(p.widget(&Panel::userNumberRadioButton)), TRUE);
  EXPECT_EQ(p.panel.authenticationMatrix->selectedRow(), 1);
  EXPECT_EQ(p.binding->window().firstResponder(), p.panel.userNumberEditText.get().get());
  EXPECT_TRUE(gtkFocusIn(p, p.widget(&Panel::userNumberEditText)));
  settle();
  expectMirrored(p);
}

INSTANTIATE_TEST_SUITE_P(Shipped, Layouts, ::testing::Values("JobControl", "JobControl2"));

class FolderRequest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(simulator.start("127.0.0.1", 0, nullptr));
    saved = soap::defaultExchangeLimits();
    soap::defaultExchangeLimits().overall = std::chrono::milliseconds(3000);
  }
  void TearDown() override { soap::defaultExchangeLimits() = saved; }
  void ask(BoundPanel& p) {
    GtkWidget* address = p.widget(&Panel::printersAddressEditText);
    retype(address, simulator.address());
    click(p.widget(&Panel::getFolderNameButton));
  }
  sim::PrinterSimulator simulator;
  soap::ExchangeLimits saved;
};

TEST_F(FolderRequest, ThePopUpListsTheFoldersAndTheSeparatorCannotBeChosen) {
  sim::Config config;
  config.folders = {{"Open", false, true}, {"Locked", true, true}};
  simulator.setConfig(config);
  BoundPanel p;
  click(p.widget(&Panel::retentionCheckBox));
  ask(p);
  auto& popup = *p.panel.folderSelectionPopup;
  ASSERT_EQ(popup.numberOfItems(), 5);
  EXPECT_EQ(popup.itemAtIndex(4)->image, systemIcon(kLockedIcon));
  GtkWidget* dropDown = p.widget(&Panel::folderSelectionPopup);
  expectMirrored(p);
  gtk_drop_down_set_selected(GTK_DROP_DOWN(dropDown), 2);
  EXPECT_NE(popup.indexOfSelectedItem(), 2);
  EXPECT_EQ(int(gtk_drop_down_get_selected(GTK_DROP_DOWN(dropDown))), popup.indexOfSelectedItem());
  gtk_drop_down_set_selected(GTK_DROP_DOWN(dropDown), 4);
  EXPECT_EQ(popup.indexOfSelectedItem(), 4);
}

TEST_F(FolderRequest, TheDialogStaysResponsiveWhileTheRequestRuns) {
  sim::Config config;
  config.folders = {{"Slow", false, false}};
  config.fault = sim::Fault::Delay;
  config.delay = std::chrono::milliseconds(600);
  simulator.setConfig(config);
  BoundPanel p;
  struct Ticks {
    int count;
    bool sawSpinning;
    GtkWidget* spinner;
  } ticks{0, false, p.widget(&Panel::chasingArrow)};
  guint timer = g_timeout_add(
      50,
      [](gpointer data) -> gboolean {
        auto* t = static_cast<Ticks*>(data);
        ++t->count;
        t->sawSpinning |=
            gtk_spinner_get_spinning(GTK_SPINNER(t->spinner)) && gtk_widget_get_visible(t->spinner);
        return G_SOURCE_CONTINUE;
      },
      &ticks);
  ask(p);
  g_source_remove(timer);
  EXPECT_GE(ticks.count, 6) << "the 50 ms timer stalled during the request";
  EXPECT_TRUE(ticks.sawSpinning);
  EXPECT_FALSE(gtk_widget_get_visible(ticks.spinner));
  EXPECT_EQ(p.panel.folderSelectionPopup->numberOfItems(), 4);
}

// The label that shows a control's caption, or nullptr for a control without one.
GtkWidget* captionOf(Control& c, GtkWidget* w) {
  switch (c.kind()) {
    case Control::Kind::TextField:
      return static_cast<TextField&>(c).tag() == 0 ? w : nullptr;
    case Control::Kind::Button:
      return static_cast<Button&>(c).buttonType() == Button::Type::Switch
                 ? gtk_check_button_get_child(GTK_CHECK_BUTTON(w))
             : static_cast<Button&>(c).buttonType() == Button::Type::Push
                 ? gtk_button_get_child(GTK_BUTTON(w))
                 : nullptr;  // a hold button shows a padlock, no text
    case Control::Kind::ButtonCell:
      return gtk_check_button_get_child(GTK_CHECK_BUTTON(w));
    case Control::Kind::TabViewItem:
      return w;
    case Control::Kind::Box:
      return gtk_frame_get_label_widget(GTK_FRAME(w));
    default:
      return nullptr;
  }
}

// Every caption of the page shown (labels, buttons, cells, box titles, tabs) is given at
// least the width its text needs: none is cut short or ellipsized.
void expectCaptionsWhole(BoundPanel& p, const std::string& language) {
  int measured = 0;
  forEachControl(*p.view, [&](Control& c) {
    GtkWidget* w = p.binding->widgetFor(&c);
    GtkWidget* caption = w ? captionOf(c, w) : nullptr;
    if (!caption || !gtk_widget_get_mapped(caption)) return;
    PangoLayout* text =
        gtk_widget_create_pango_layout(caption, gtk_label_get_text(GTK_LABEL(caption)));
    int natural = 0;
    pango_layout_get_pixel_size(text, &natural, nullptr);
    g_object_unref(text);
    EXPECT_GE(gtk_widget_get_width(caption), natural)
        << c.identifier() << " \"" << gtk_label_get_text(GTK_LABEL(caption)) << "\" (" << language
        << ") is cut short";
    ++measured;
  });
  EXPECT_GT(measured, 3);
}

// Every shown widget lies on its layout frame (±2 px), shows its caption whole, and no two
// overlap, in each language.
class Geometry : public ::testing::TestWithParam<std::tuple<const char*, const char*>> {};

TEST_P(Geometry, WidgetsSitOnTheirFramesAndShowTheirCaptionsWhole) {
  auto [layout, language] = GetParam();
  useLanguage(language);
  BoundPanel p(layout);
  GtkWidget* root = p.binding->widget();
  GtkWidget* notebook = p.widget(&Panel::tabView);
  int pages = notebook ? gtk_notebook_get_n_pages(GTK_NOTEBOOK(notebook)) : 1;
  for (int page = 0; page < pages; ++page) {
    if (notebook) gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook), page);
    settle();
    std::vector<std::pair<std::string, graphene_rect_t>> shown;
    forEachControl(*p.view, [&](Control& c) {
      using K = Control::Kind;
      if (std::set<K>{K::View, K::Box, K::Matrix, K::TabView, K::TabViewItem}.count(c.kind()))
        return;
      GtkWidget* w = p.binding->widgetFor(&c);
      if (!w || !gtk_widget_get_mapped(w)) return;
      graphene_rect_t r;
      ASSERT_TRUE(gtk_widget_compute_bounds(w, root, &r));
      Control::Frame f = frameIn(c);
      std::string name = c.identifier() + " (" + layout + ", " + language + ")";
      for (auto [got, want] : {std::pair{r.origin.x, f.x},
                               {r.origin.y, f.y},
                               {r.size.width, f.width},
                               {r.size.height, f.height}})
        EXPECT_NEAR(got, want, 2) << name;
      shown.emplace_back(name, r);
    });
    EXPECT_GT(shown.size(), 5u);
    expectCaptionsWhole(p, std::string(layout) + ", " + language);
    for (std::size_t i = 0; i < shown.size(); ++i)
      for (std::size_t j = i + 1; j < shown.size(); ++j) {
        graphene_rect_t common;
        if (!graphene_rect_intersection(&shown[i].second, &shown[j].second, &common)) continue;
        EXPECT_LT(common.size.width * common.size.height, 1.0)
            << shown[i].first << " overlaps " << shown[j].first;
      }
  }
  useLanguage("");
}

INSTANTIATE_TEST_SUITE_P(LayoutsAndLanguages, Geometry,
                         ::testing::Combine(::testing::Values("JobControl", "JobControl2"),
                                            ::testing::Values("", "de", "ja")));

TEST(Accessibility, FieldsAndPadlocksAreNamedByTheirCaptionsAndDimmedControlsReportIt) {
  BoundPanel p;
  int related = 0, disabled = 0;
  std::set<std::string> padlocks;
  forEachControl(*p.view, [&](Control& c) {
    GtkWidget* w = p.binding->widgetFor(&c);
    if (!w) return;
    if (c.kind() == Control::Kind::Button &&
        static_cast<Button&>(c).buttonType() == Button::Type::Toggle) {
      const char* tip = gtk_widget_get_tooltip_text(w);
      ASSERT_TRUE(tip) << c.identifier();
      EXPECT_EQ(
          gtk_test_accessible_check_property(GTK_ACCESSIBLE(w), GTK_ACCESSIBLE_PROPERTY_LABEL, tip),
          nullptr)
          << c.identifier();
      padlocks.insert(tip);
    }
    if (c.kind() == Control::Kind::TextField) {
      if (Control* target = static_cast<TextField&>(c).labelFor()) {
        EXPECT_TRUE(gtk_test_accessible_has_relation(GTK_ACCESSIBLE(p.binding->widgetFor(target)),
                                                     GTK_ACCESSIBLE_RELATION_LABELLED_BY))
            << c.identifier();
        ++related;
      }
    }
    if (!c.isEnabled()) {
      EXPECT_TRUE(gtk_test_accessible_has_state(GTK_ACCESSIBLE(w), GTK_ACCESSIBLE_STATE_DISABLED))
          << c.identifier();
      ++disabled;
    }
  });
  EXPECT_GE(related, 8);
  EXPECT_GT(disabled, 0);
  // One name per padlock, each after the entry it holds.
  EXPECT_EQ(padlocks.size(), 9u);
  EXPECT_TRUE(padlocks.contains("Hold Retention Pass Code")) << *padlocks.begin();
  EXPECT_TRUE(padlocks.contains("Hold User Number"));
}

}  // namespace
}  // namespace jc::test
