// Caption localization through the bundle's strings table, the padlock icons, and the
// catalogs' coverage of every caption the layouts show.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>

#include "panel_fixture.h"
#include "platform/controls.h"
#include "plugin/icons.h"

namespace {

using jc::test::LoadedPanel;
using jc::test::useLanguage;

class Localization : public ::testing::Test {
 protected:
  void TearDown() override { useLanguage(""); }
};

TEST_F(Localization, LabelUpToTheFirstColonIsTranslatedAndTheColonKept) {
  useLanguage("de");
  LoadedPanel loaded;
  const auto& panel = loaded.panel;
  EXPECT_EQ(panel.localizedStringValue("Retention:"), "Zurückhalten:");
  EXPECT_EQ(panel.localizedStringValue("Retention"), "Zurückhalten");
  EXPECT_EQ(panel.localizedStringValue("Retention: on the printer"), "Zurückhalten:");
  EXPECT_EQ(panel.localizedStringValue("Retention::"), "Zurückhalten:");
  // Leading white space, line ends and wide spaces are skipped and not given back.
  EXPECT_EQ(panel.localizedStringValue("   Retention:"), "Zurückhalten:");
  EXPECT_EQ(panel.localizedStringValue("\n\t\u3000\u00A0Job Name"), "Auftragsname");
  // Nothing to look up: the text comes back unchanged.
  EXPECT_EQ(panel.localizedStringValue(":Retention"), ":Retention");
  EXPECT_EQ(panel.localizedStringValue("  :Retention"), "  :Retention");
  EXPECT_EQ(panel.localizedStringValue(""), "");
  EXPECT_EQ(panel.localizedStringValue(" \n "), " \n ");
  // A label without a translation is its own answer, with its colon.
  EXPECT_EQ(panel.localizedStringValue("Toner Level:"), "Toner Level:");
  // Trailing space is part of the label, so it finds no translation.
  EXPECT_EQ(panel.localizedStringValue("Retention :"), "Retention :");

  useLanguage("ja");
  EXPECT_EQ(panel.localizedStringValue("Password:"), "パスワード:");
}

TEST_F(Localization, ControlsGiveTheirCaptionOthersNone) {
  useLanguage("de");
  LoadedPanel loaded;
  const auto& panel = loaded.panel;
  jc::TextField field;
  field.setStringValue("Login Name:");
  jc::Box box;
  box.setTitle("Job ID");
  jc::Button button;
  button.setTitle("Get Folder Names");
  jc::ButtonCell cell;
  cell.setTitle("Sample Print");
  jc::ImageView image;
  jc::PopUpButton popup;
  EXPECT_EQ(panel.localizedStringValue(&field), "Anmeldename:");
  EXPECT_EQ(panel.localizedStringValue(&box), "Auftrags-ID");
  EXPECT_EQ(panel.localizedStringValue(&button), "Ordnernamen abrufen");
  EXPECT_EQ(panel.localizedStringValue(&cell), "Probedruck");
  EXPECT_EQ(panel.localizedStringValue(&image), std::nullopt);
  EXPECT_EQ(panel.localizedStringValue(&popup), std::nullopt);
  EXPECT_EQ(panel.localizedStringValue(static_cast<const jc::Control*>(nullptr)), std::nullopt);
}

TEST_F(Localization, WithoutABundleALabelIsItsOwnTranslation) {
  useLanguage("de");
  auto callback = std::make_shared<jc::MemoryPluginCallback>();
  VoreliaPrintPdeTz630eJC panel(callback, nullptr);
  EXPECT_EQ(panel.localizedStringValue("  Retention: x"), "Retention:");
}

TEST(SystemIcons, PadlocksAreSharedImagesOf18Points) {
  const jc::Image* locked = initWithSystemIconType(jc::fourCharCode("lock"));
  const jc::Image* unlocked = initWithSystemIconType(jc::fourCharCode("ulck"));
  ASSERT_NE(locked, nullptr);
  ASSERT_NE(unlocked, nullptr);
  EXPECT_NE(locked, unlocked);
  EXPECT_EQ(locked, initWithSystemIconType(0x6C6F636B));  // 'lock' spelt as a number
  EXPECT_EQ(locked, jc::systemIcon(jc::kLockedIcon).get());
  EXPECT_EQ(locked->name, "changes-prevent-symbolic");
  EXPECT_EQ(unlocked->name, "changes-allow-symbolic");
  for (std::uint32_t type : {jc::kLockedIcon, jc::kUnlockedIcon, jc::fourCharCode("TEXT"), 0u}) {
    const jc::Image* icon = initWithSystemIconType(type);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->width, 18);
    EXPECT_EQ(icon->height, 18);
  }
}

// ---- Catalog coverage ----

// Every caption a layout shows: titles, labels, tab labels and pop-up items.
void collectCaptions(const jc::Control& control, std::set<std::string>& captions) {
  auto add = [&](const std::string& text) {
    if (!text.empty()) captions.insert(text);
  };
  switch (control.kind()) {
    case jc::Control::Kind::Box:
      add(static_cast<const jc::Box&>(control).title());
      break;
    case jc::Control::Kind::Button:
      add(static_cast<const jc::Button&>(control).title());
      break;
    case jc::Control::Kind::ButtonCell:
      add(static_cast<const jc::ButtonCell&>(control).title());
      break;
    case jc::Control::Kind::TabViewItem:
      add(static_cast<const jc::TabViewItem&>(control).label());
      break;
    case jc::Control::Kind::TextField:
      if (control.tag() == 0) add(static_cast<const jc::TextField&>(control).stringValue());
      break;
    case jc::Control::Kind::PopUpButton:
      for (const auto& item : static_cast<const jc::PopUpButton&>(control).items()) add(item.title);
      break;
    default:
      break;
  }
  for (const auto& child : control.children()) collectCaptions(*child, captions);
}

// msgid -> msgstr of a catalog with one-line entries, as the project writes them.
std::map<std::string, std::string> readCatalog(const std::string& path) {
  std::ifstream in(path);
  std::map<std::string, std::string> entries;
  std::string line, id;
  auto quoted = [](const std::string& l) {
    auto first = l.find('"');
    auto last = l.rfind('"');
    return first == last ? std::string() : l.substr(first + 1, last - first - 1);
  };
  while (std::getline(in, line)) {
    if (line.rfind("msgid ", 0) == 0)
      id = quoted(line);
    else if (line.rfind("msgstr ", 0) == 0 && !id.empty())
      entries[id] = quoted(line);
  }
  return entries;
}

TEST(Catalogs, TranslateEveryCaptionOfEveryLayoutAndTheFixedTexts) {
  std::set<std::string> keys = {"On", "Off", "Job Control", "Could not retrieve Folder Names.",
                                "OK"};
  for (const char* layout : {"JobControl", "JobControl2"}) {
    // Loaded without construction, so the captions are the layout's own.
    auto callback = std::make_shared<jc::MemoryPluginCallback>();
    VoreliaPrintPdeTz630eJC panel(callback, jc::Bundle::open(jc::test::kBundleDir, nullptr));
    ASSERT_EQ(panel.loadPanelLayout(layout), "") << layout;
    std::set<std::string> captions;
    collectCaptions(*panel.panelView_, captions);
    EXPECT_GT(captions.size(), 20u) << layout;
    for (const std::string& caption : captions) keys.insert(caption.substr(0, caption.find(':')));
  }
  const std::string po = std::string(jc::test::kSourceDir) + "/bundle/po/";
  const auto german = readCatalog(po + "de.po");
  const auto japanese = readCatalog(po + "ja.po");
  const auto templ = readCatalog(po + "jobcontrol.pot");
  for (const std::string& key : keys) {
    EXPECT_TRUE(templ.count(key)) << "missing from the template: " << key;
    ASSERT_TRUE(german.count(key)) << "no German entry: " << key;
    ASSERT_TRUE(japanese.count(key)) << "no Japanese entry: " << key;
    EXPECT_FALSE(german.at(key).empty()) << key;
    EXPECT_FALSE(japanese.at(key).empty()) << key;
    if (key != "OK") {
      EXPECT_NE(japanese.at(key), key) << "untranslated Japanese: " << key;
    }
  }
}

}  // namespace
