// Showing a PPD option in a control: the option's choices as choice objects, lookup by
// keyword, and a pop-up button filled with them. Exported by name for any panel code or
// host that shows PPD options; the panel's selection methods live beside them.
#pragma once

#include <cups/ppd.h>

#include <cstdint>

#include "platform/base/export.h"
#include "platform/widgets/popup_button.h"
#include "plugin/choice.h"

extern "C" {
/// Replaces `*array` with one new choice object per choice record of `option`, in the
/// records' order; an option without choices gives an empty array. Answers false and
/// leaves `*array` empty when there is no option; does nothing with a null `array`.
JC_EXPORT bool ArrayFromPPDOption(ppd_option_t* option, PDEChoiceArray* array);

/// The first choice object of `array` whose keyword equals `string` exactly (letter case
/// counts). The answer points into `array` and is valid while the array is unchanged;
/// nullptr for a null string or array, or when no keyword matches.
JC_EXPORT const PDEChoiceRef* FindChoiceForString(const char* string, const PDEChoiceArray* array);

/// Removes every item of `popUp`, then appends one item per choice object of `array` in
/// order, titled with its text decoded in the string-class `encoding` and carrying the
/// choice object as its represented object. A text that does not decode shows the
/// keyword instead. A null array leaves the pop-up empty; a null pop-up is ignored.
JC_EXPORT void InitPopUpFromArray(jc::PopUpButton* popUp, const PDEChoiceArray* array,
                                  std::uint64_t encoding);
}
