// The folder pop-up's menu built from the folder list, and a folder found by name.
#include <gtest/gtest.h>

#include "panel_fixture.h"
#include "plugin/icons.h"

namespace {

using jc::test::LoadedPanel;

TEST(FolderPopup, TwoFixedItemsThenASeparatorAndOneItemPerFolder) {
  LoadedPanel loaded;
  auto& p = loaded.panel;
  ASSERT_NE(p.spaceImage, nullptr);
  const jc::PopUpButton& popup = *p.folderSelectionPopup;
  ASSERT_EQ(popup.numberOfItems(), 2);  // construction built it from an empty list

  p.folderList = {{"Finance", true, true, false}, {"Drafts", false, true, false}};
  p.makeFolderPopup();
  ASSERT_EQ(popup.numberOfItems(), 5);
  EXPECT_EQ(popup.itemAtIndex(0)->title, "Quick File");
  EXPECT_EQ(popup.itemAtIndex(1)->title, "Main Folder");
  EXPECT_EQ(popup.itemAtIndex(0)->image, p.spaceImage);
  EXPECT_EQ(popup.itemAtIndex(1)->image, p.spaceImage);
  EXPECT_TRUE(popup.itemAtIndex(2)->separator);
  EXPECT_EQ(popup.itemAtIndex(3)->title, "Finance");
  EXPECT_EQ(popup.itemAtIndex(3)->image.get(), initWithSystemIconType(jc::kLockedIcon));
  EXPECT_EQ(popup.itemAtIndex(3)->keyEquivalent, "");
  EXPECT_EQ(popup.itemAtIndex(4)->title, "Drafts");
  EXPECT_EQ(popup.itemAtIndex(4)->image, p.spaceImage);

  // Rebuilding replaces the folders rather than adding to them.
  p.folderList = {{"Only", false, true, false}};
  p.makeFolderPopup();
  ASSERT_EQ(popup.numberOfItems(), 4);
  EXPECT_EQ(popup.itemAtIndex(3)->title, "Only");

  p.folderList.clear();
  p.makeFolderPopup();
  EXPECT_EQ(popup.numberOfItems(), 2);
  EXPECT_FALSE(popup.itemAtIndex(1)->separator);
}

TEST(FolderPopup, TheFixedItemsAreTranslatedAndABareLayoutIsLeftAlone) {
  jc::test::useLanguage("de");
  {
    LoadedPanel loaded;
    EXPECT_EQ(loaded.panel.folderSelectionPopup->itemAtIndex(0)->title, "Schnellablage");
    EXPECT_EQ(loaded.panel.folderSelectionPopup->itemAtIndex(1)->title, "Hauptordner");
    loaded.panel.makeFolderPopup();  // a second build keeps the translations
    EXPECT_EQ(loaded.panel.folderSelectionPopup->itemAtIndex(1)->title, "Hauptordner");
  }
  jc::test::useLanguage("");
  // No pop-up at all: nothing to build.
  auto callback = std::make_shared<jc::MemoryPluginCallback>();
  VoreliaPrintPdeTz630eJC bare(callback, nullptr);
  bare.folderList = {{"X", true, true, false}};
  bare.makeFolderPopup();
  EXPECT_EQ(jc::absent<jc::PopUpButton>().numberOfItems(), 0);
}

TEST(SearchSameFolderName, FindsAFolderIgnoringCaseOverUnicode) {
  auto callback = std::make_shared<jc::MemoryPluginCallback>();
  VoreliaPrintPdeTz630eJC p(callback, nullptr);
  EXPECT_EQ(p.SearchSameFolderName("Anything"), 1);  // no folders
  p.folderList = {{"Finance", true, true, false},
                  {"Reports", false, true, false},
                  {"\u00C4rger \u03A3\u039F\u03A3", false, true, false},         // Ärger ΣΟΣ
                  {"\uFF26\uFF4F\uFF4C\uFF44\uFF45\uFF52", false, true, false},  // fullwidth Folder
                  {"\u6587\u66F8", false, true, false},                          // 文書
                  {"reports", false, true, false}};
  EXPECT_EQ(p.SearchSameFolderName("rEPORTS"), 4);  // the first match wins
  EXPECT_EQ(p.SearchSameFolderName("Finance"), 3);
  EXPECT_EQ(p.SearchSameFolderName("\u00E4RGER \u03C3\u03BF\u03C2"), 5);  // äRGER σος
  EXPECT_EQ(p.SearchSameFolderName("\uFF46\uFF2F\uFF2C\uFF24\uFF25\uFF32"), 6);
  EXPECT_EQ(p.SearchSameFolderName("\u6587\u66F8"), 7);
  EXPECT_EQ(p.SearchSameFolderName("Report"), 1);
  EXPECT_EQ(p.SearchSameFolderName("Reports "), 1);
  EXPECT_EQ(p.SearchSameFolderName("Arger \u03A3\u039F\u03A3"), 1);  // accents still count
  EXPECT_EQ(p.SearchSameFolderName(""), 1);
  EXPECT_EQ(p.SearchSameFolderName(std::nullopt), 1);
}

}  // namespace
