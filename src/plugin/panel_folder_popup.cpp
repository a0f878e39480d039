// The folder pop-up: its menu built from the printer's folder list, and a folder's place in
// it found by name.
#include "plugin/icons.h"
#include "plugin/panel.h"
#include "ui/case_fold.h"

namespace {
// Items 0 and 1 come from the layout; a separator and the folders follow from index 2.
constexpr int kFixedItems = 2;
constexpr std::int64_t kFirstFolderItem = 3;
constexpr std::int64_t kMainFolderItem = 1;
}  // namespace

void VoreliaPrintPdeTz630eJC::makeFolderPopup() {
  if (!folderSelectionPopup) return;
  jc::PopUpButton& popup = *folderSelectionPopup;
  // Removing from the end keeps a rebuild of a long list linear.
  while (popup.numberOfItems() > kFixedItems) popup.removeItemAtIndex(popup.numberOfItems() - 1);
  for (int index = 0; index < kFixedItems; ++index) {
    if (const jc::MenuItem* item = popup.itemAtIndex(index)) {
      if (auto title = localizedStringValue(item->title)) popup.setItemTitle(index, *title);
      // The blank image keeps the titles in line with the padlocked folders below.
      popup.setItemImage(index, spaceImage);
    }
  }
  if (folderList.empty()) return;
  popup.addSeparatorItem();
  for (const jc::FolderEntry& entry : folderList) {
    // A plain item: no action, the empty key equivalent.
    popup.addItem(jc::MenuItem{
        .title = entry.name,
        .image = entry.password ? jc::systemIcon(jc::kLockedIcon) : spaceImage,
        .keyEquivalent = "",
    });
  }
}

std::int64_t VoreliaPrintPdeTz630eJC::SearchSameFolderName(
    const std::optional<std::string>& name) const {
  if (!name) return kMainFolderItem;
  for (std::size_t i = 0; i < folderList.size(); ++i) {
    if (jc::equalIgnoringCase(folderList[i].name, *name))
      return kFirstFolderItem + static_cast<std::int64_t>(i);
  }
  return kMainFolderItem;
}
