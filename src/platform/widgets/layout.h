// Layout loading: builds the controls of a layout resource and connects them to their
// owner's outlets and actions by name, the way a print dialog's panel description works.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/base/result.h"
#include "platform/widgets/control.h"

namespace jc {

class Bundle;

/// The object a layout is loaded for: it names its outlets and actions.
class LayoutOwner {
 public:
  virtual ~LayoutOwner() = default;
  /// Connects the control to the outlet `name`; a null control empties it. Answers false
  /// when the owner has no such outlet or the control is of another kind.
  virtual bool connectOutlet(std::string_view name, const std::shared_ptr<Control>& control) = 0;
  /// The action method called `name`, or an empty action when there is none.
  virtual Control::Action actionNamed(std::string_view name) = 0;
};

/// The outcome of loading a layout: the root view, or a refusal naming the file.
using LayoutResult = Result<std::shared_ptr<View>>;

/// Loads the layout file at `file` for `owner`. The root view is connected to the outlet
/// "panelView", then every control that names an outlet. Either every outlet is connected
/// and the view answered, or none stays connected and the refusal names the file, the
/// line and the reason.
LayoutResult loadLayoutFile(const std::filesystem::path& file, LayoutOwner& owner);

/// Loads the layout resource `name` (type "layout") of `bundle`; a missing resource is an
/// error that names it.
LayoutResult loadLayout(const Bundle& bundle, const std::string& name, LayoutOwner& owner);

/// The error of the last layout load on this thread that failed ("" when none has). A panel
/// answers no view without an error of its own, so a host reads the reason here.
const std::string& lastLayoutError();

}  // namespace jc
