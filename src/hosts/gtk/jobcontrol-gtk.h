/* The Job Control tab for GTK 4 print dialogs: one call adds the tab to a
 * GtkPrintUnixDialog; after the Print response, the dialog's settings carry the tab's job
 * options to GTK's CUPS backend.
 *
 *   GtkWidget *dialog = gtk_print_unix_dialog_new ("Print", parent);
 *   jobcontrol_gtk_add_tab (GTK_PRINT_UNIX_DIALOG (dialog), "report.pdf", NULL, &error);
 *   g_signal_connect (dialog, "response", G_CALLBACK (on_response), NULL);
 *   ...
 *   on_response: settings = jobcontrol_gtk_get_settings (dialog);  -> gtk_print_job_new ()
 *
 * Build with: pkg-config --cflags --libs jobcontrol-gtk */
#pragma once

#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

G_BEGIN_DECLS

#define JOBCONTROL_GTK_API __attribute__((visibility("default")))

/** The error domain of jobcontrol_gtk_add_tab(). */
#define JOBCONTROL_GTK_ERROR (jobcontrol_gtk_error_quark())
JOBCONTROL_GTK_API GQuark jobcontrol_gtk_error_quark(void);

/**
 * jobcontrol_gtk_add_tab:
 * @dialog: the print dialog, not yet shown
 * @job_name: (nullable): the job's name, the default of the panel's job name
 * @bundle_path: (nullable): the plug-in bundle; NULL takes $JOBCONTROL_BUNDLE, then the
 *   installed bundle
 * @error: (nullable): where a failure is reported
 *
 * Adds the "Job Control" tab. The tab follows the dialog's selected printer (a new panel
 * for each queue: its PPD, device URI and held entries; typed values carry over), and on
 * the Print response (GTK_RESPONSE_OK) saves the panel and remembers the held entries.
 * Cancel saves and remembers nothing. Call it before connecting your own "response"
 * handler, so the tab has answered first. The tab lives as long as the dialog's widgets.
 *
 * Under "Advanced", the tab offers when the panel's pass code, account number and user go
 * with the job as standard IPP job attributes (Automatic: on a queue without a vendor
 * filter, for what the printer advertises; Always; Never). When they may, the tab holds
 * the Print response back while it asks the printer (the dialog stays responsive, up to
 * the CUPS time-outs), then emits it again: your handler sees Print later, once. When the
 * printer cannot take the job (a pass code outside its limits), the tab says so and your
 * handler never sees that Print; the dialog stays open.
 *
 * Returns: TRUE, or FALSE with @error set when the bundle cannot be loaded or makes no
 *   panel (the dialog is left without the tab).
 */
JOBCONTROL_GTK_API gboolean jobcontrol_gtk_add_tab(GtkPrintUnixDialog* dialog, const char* job_name,
                                                   const char* bundle_path, GError** error);

/**
 * jobcontrol_gtk_get_settings:
 * @dialog: a print dialog
 *
 * Use in place of gtk_print_unix_dialog_get_settings(): the same new settings, plus, once
 * the tab has answered the Print response, each job option of the panel under its key
 * with the prefix "cups-" (the keys GTK's CUPS backend sends with the job), the standard
 * attributes among them (for example "cups-job-password").
 *
 * Returns: (transfer full): new print settings
 */
JOBCONTROL_GTK_API GtkPrintSettings* jobcontrol_gtk_get_settings(GtkPrintUnixDialog* dialog);

G_END_DECLS
