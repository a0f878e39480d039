// Sending files to the printer chosen in the dialog with GtkPrintJob, and finding the job
// ID CUPS gave each one.
#pragma once

#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

#include <string>

#include "platform/base/result.h"
#include "platform/host/document_kind.h"

namespace jc::gtk {

/// Sends `path` to `printer` as one job titled `title` with `settings` and `pageSetup`,
/// serving GLib's main context until GTK has handed the job over. Answers the CUPS job
/// ID (0 when the printer is not a CUPS queue), or the reason the job failed.
Result<int> printFile(GtkPrinter* printer, GtkPrintSettings* settings, GtkPageSetup* pageSetup,
                      const std::string& path, const std::string& title);

}  // namespace jc::gtk
