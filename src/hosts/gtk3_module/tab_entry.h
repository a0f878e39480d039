/* The calls the GTK 3 module makes into the Job Control tab, once the tab's library is
 * loaded (the module looks them up by these names). None of them throws or blocks for
 * long; each answers at once when the dialog or job is none of the tab's business. */
#pragma once

#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

G_BEGIN_DECLS

/** Adds the Job Control tab to `dialog` (once per dialog). The tab shows only while the
 * selected printer is one the panel serves. FALSE, with one line on standard error, when the
 * panel cannot be had; the dialog then works as before. */
typedef gboolean (*JobControlTabAttach)(GtkPrintUnixDialog* dialog);
#define JOBCONTROL_TAB_ATTACH "jobcontrol_gtk3_tab_attach"

/** Answers the dialog's response: on Print, the panel saves and confirms and its job
 * options wait for the job that this response starts (to this dialog's printer object);
 * any other response saves and sends nothing. */
typedef void (*JobControlTabRespond)(GtkPrintUnixDialog* dialog, int response);
#define JOBCONTROL_TAB_RESPOND "jobcontrol_gtk3_tab_respond"

/** Called as `job` starts sending its data: when a Print response left job options for the
 * job's printer object, they are added to the job's own settings under "cups-" keys (GTK's
 * CUPS backend sends those as job options), once. */
typedef void (*JobControlTabJobSending)(GtkPrintJob* job);
#define JOBCONTROL_TAB_JOB_SENDING "jobcontrol_gtk3_tab_job_sending"

G_END_DECLS
