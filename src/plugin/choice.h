// A choice object: one PPD choice with its display title and its keyword, as a control
// that shows a PPD option holds it (a pop-up item's represented object, a selection).
#pragma once

#include <cups/ppd.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

/// Wraps one choice record of a PPD option. The record is borrowed: it belongs to the PPD,
/// and the object must not be used after the PPD is closed.
class VoreliaPrintPdeTz630eJCPDEChoice {
 public:
  /// `initWithChoice`: both titles start empty; `choice` may be null (the titles then
  /// never decode).
  explicit VoreliaPrintPdeTz630eJCPDEChoice(ppd_choice_t* choice) : choice_(choice) {}

  /// A new choice object for `choice`, shared by whoever keeps it (menus, selections).
  static std::shared_ptr<VoreliaPrintPdeTz630eJCPDEChoice> choiceWithChoice(ppd_choice_t* choice);

  /// The human-readable text of the choice decoded with the string-class `encoding`. The
  /// first successful decoding is kept and answered from then on, whatever encoding a
  /// later call passes. nullopt (with the trace "could not create userTitle!") when the
  /// text is not valid in `encoding`; the next call tries again.
  std::optional<std::string> userTitle(std::uint64_t encoding);
  /// The choice's keyword, decoded as ASCII, kept like `userTitle`; nullopt (with the
  /// trace "could not create ppdTitle!") when it is not ASCII.
  std::optional<std::string> ppdTitle();
  /// The wrapped record (borrowed, never freed here).
  ppd_choice_t* choice() const { return choice_; }

 private:
  std::optional<std::string> userTitle_;
  std::optional<std::string> ppdTitle_;
  ppd_choice_t* choice_ = nullptr;
};

/// A choice object as controls and selections share it.
using PDEChoiceRef = std::shared_ptr<VoreliaPrintPdeTz630eJCPDEChoice>;
/// The choice objects of one option, in the PPD's order.
using PDEChoiceArray = std::vector<PDEChoiceRef>;
