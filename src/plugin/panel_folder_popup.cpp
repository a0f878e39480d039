// The folder pop-up: its menu built from the printer's folder list, and a folder's place in
// it found by name.
#include "plugin/icons.h"
#include "plugin/panel.h"
#include "plugin/panel_positions.h"
#include "ui/case_fold.h"

void VoreliaPrintPdeTz630eJC::makeFolderPopup() {
  if (!folderSelectionPopup) return;
  jc::PopUpButton& popup = *folderSelectionPopup;
  // Removing from the end keeps a rebuild of a long list linear.
  while (popup.numberOfItems() > jc::kFixedFolderItems)
    popup.removeItemAtIndex(popup.numberOfItems() - 1);
  for (int index = 0; index < jc::kFixedFolderItems; ++index) {
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
  if (!name) return jc::kMainFolderItem;
  for (std::size_t i = 0; i < folderList.size(); ++i) {
    if (jc::equalIgnoringCase(folderList[i].name, *name))
      return jc::kFirstFolderItem + static_cast<std::int64_t>(i);
  }
  return jc::kMainFolderItem;
}

const jc::FolderEntry* VoreliaPrintPdeTz630eJC::selectedFolder() const {
  if (!folderSelectionPopup) return nullptr;
  const int index = folderSelectionPopup->indexOfSelectedItem();
  if (index < jc::kFirstFolderItem) return nullptr;
  const auto place = static_cast<std::size_t>(index - jc::kFirstFolderItem);
  return place < folderList.size() ? &folderList[place] : nullptr;
}
