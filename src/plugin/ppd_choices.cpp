// PPD options shown in controls, as exported functions: choice arrays, keyword lookup and
// pop-up filling. Running out of memory is the one failure they meet, and each turns it into
// its C answer; any other exception is a fault that ends the process at the noexcept
// boundary rather than being hidden.
#include "plugin/ppd_choices.h"

#include <new>

extern "C" {

bool ArrayFromPPDOption(ppd_option_t* option, PDEChoiceArray* array) noexcept {
  if (!array) return false;
  array->clear();
  if (!option) return false;
  try {
    int count = option->choices ? option->num_choices : 0;
    if (count > 0) array->reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
      array->push_back(VoreliaPrintPdeTz630eJCPDEChoice::choiceWithChoice(&option->choices[i]));
  } catch (const std::bad_alloc&) {
    // An option half listed is worse than none.
    array->clear();
    return false;
  }
  return true;
}

const PDEChoiceRef* FindChoiceForString(const char* string, const PDEChoiceArray* array) noexcept {
  if (!string || !array) return nullptr;
  try {
    for (const PDEChoiceRef& candidate : *array) {
      if (!candidate) continue;
      std::optional<std::string> keyword = candidate->ppdTitle();
      if (keyword && *keyword == string) return &candidate;
    }
  } catch (const std::bad_alloc&) {
    return nullptr;  // a keyword that cannot be read matches nothing
  }
  return nullptr;
}

void InitPopUpFromArray(jc::PopUpButton* popUp, const PDEChoiceArray* array,
                        std::uint64_t encoding) noexcept {
  if (!popUp) return;
  try {
    popUp->removeAllItems();
    if (!array) return;
    for (const PDEChoiceRef& choice : *array) {
      if (!choice) continue;
      // An item with no title would be a blank line the user cannot tell apart; the
      // keyword at least names the choice.
      std::optional<std::string> title = choice->userTitle(encoding);
      if (!title) title = choice->ppdTitle();
      jc::MenuItem item;
      item.title = title.value_or(std::string());
      item.keyEquivalent = "";
      item.representedObject = choice;
      popUp->addItem(std::move(item));
    }
  } catch (const std::bad_alloc&) {
    // A list cut short would offer a wrong set of choices: offer none.
    popUp->removeAllItems();
  }
}

}  // extern "C"
