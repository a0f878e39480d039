// Sending files to the printer chosen in the dialog with GtkPrintJob, and finding the job
// ID CUPS gave each one.
#pragma once

#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

#include <string>

#include "hosts/gtk_print/document_file.h"
#include "platform/base/result.h"

namespace jc::gtk {

/// Sends `document` to `printer` as one job titled `title` with `settings` and `pageSetup`,
/// serving GLib's main context until GTK has handed the job over. What is sent is read from
/// the document's open file, checked again just before: a file rewritten since it was
/// opened into something other than PDF or PostScript is refused, and one replaced or
/// renamed over at its path is not what goes. Answers the CUPS job ID (0 when the printer
/// is not a CUPS queue), or the reason the job failed.
Result<int> printFile(GtkPrinter* printer, GtkPrintSettings* settings, GtkPageSetup* pageSetup,
                      const DocumentFile& document, const std::string& title);

}  // namespace jc::gtk
