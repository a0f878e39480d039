// The panel's PPD-choice methods: the marked choice's index, and the user's selection
// checked with the host's constraints.
#include <any>

#include "plugin/panel.h"
#include "trace/trace.h"

namespace {

// Position of `choice` in `option`'s own choice array; -1 when it is not one of them
// (a keyword naming another option would otherwise yield a meaningless offset).
std::int64_t positionInOption(const ppd_option_t* option, const ppd_choice_t* choice) {
  if (!option || !choice || !option->choices) return -1;
  for (int i = 0; i < option->num_choices; ++i)
    if (&option->choices[i] == choice) return i;
  return -1;
}

// Makes `candidate` the current selection, asking the host first when it checks
// constraints. No candidate (no item selected, a state with no choice) keeps the current
// selection: there is nothing the host could be asked about.
void adoptCandidate(VoreliaPrintPdeTz630eJC& panel, PDEChoiceRef& selection,
                    const PDEChoiceRef& candidate, const std::string& key) {
  if (!candidate) return;
  if (panel.useConstraintHandling && panel.pdePluginCallbackObject &&
      !panel.pdePluginCallbackObject->willChangePPDOptionKeyValue(key, candidate->choice()))
    return;
  selection = candidate;
}

}  // namespace

std::int64_t VoreliaPrintPdeTz630eJC::indexOfMarkedOption(ppd_option_t* option, const char* key) {
  if (ppd && key) {
    if (std::int64_t index = positionInOption(option, ppdFindMarkedChoice(ppd, key)); index >= 0)
      return index;
  }
  if (option) {
    if (std::int64_t index = positionInOption(option, ppdFindChoice(option, option->defchoice));
        index >= 0)
      return index;
  }
  _PDELog(this, "returning a -1 index means there was no default choice");
  return -1;
}

void VoreliaPrintPdeTz630eJC::getSelection(PDEChoiceRef& selection, const jc::PopUpButton& popUp,
                                           const std::string& key) {
  _PDEProlog(this, "getSelection:(%@) fromPopUp:(%@) forKey:(%@)", selection.get(), &popUp,
             key.c_str());
  int index = popUp.indexOfSelectedItem();
  _PDELog(this, "selected index: %i", index);
  PDEChoiceRef candidate;
  if (const jc::MenuItem* item = popUp.itemAtIndex(index)) {
    if (const auto* choice = std::any_cast<PDEChoiceRef>(&item->representedObject))
      candidate = *choice;
  }
  _PDELog(this, "selected request: %@", candidate.get());
  adoptCandidate(*this, selection, candidate, key);
  _PDEEpilog(this, "getSelection:fromPopUp:forKey:=PDEChoice(%@)", selection.get());
}

void VoreliaPrintPdeTz630eJC::getSelection(PDEChoiceRef& selection, const PDEChoiceArray& choices,
                                           const jc::Button& button, const std::string& key) {
  _PDEProlog(this, "getSelection:(%@) fromButton:(%@) forKey:(%@)", selection.get(), &button,
             key.c_str());
  int index = button.state();
  _PDELog(this, "selected index: %i", index);
  // A mixed state (-1) or a state past the array stands for no choice of its own.
  PDEChoiceRef candidate;
  if (index >= 0 && static_cast<std::size_t>(index) < choices.size())
    candidate = choices[static_cast<std::size_t>(index)];
  _PDELog(this, "selected request: %@", candidate.get());
  adoptCandidate(*this, selection, candidate, key);
  _PDEEpilog(this, "getSelection:fromChoices:fromButton:forKey:=PDEChoice(%@)", selection.get());
}
