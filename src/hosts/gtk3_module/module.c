/* The GTK 3 module that brings the Job Control tab to every application's print dialog.
 *
 * Loaded into every GTK 3 application, it must cost nothing until a print dialog appears:
 * it links only GTK and GLib and installs three emission hooks. When the first print dialog
 * is realized it loads the tab's library (the panel's loader, libcups and the rest come with
 * it) and from then on hands it the dialogs, their responses and the jobs. A library that
 * cannot be loaded is one line on standard error; the dialog works as before. */
#define _GNU_SOURCE /* dladdr */
#include <dlfcn.h>
#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include "hosts/gtk3_module/tab_entry.h"

static struct {
  gboolean tried;
  JobControlTabAttach attach;
  JobControlTabRespond respond;
  JobControlTabJobSending jobSending;
} tab;

/* The installed library, or the build tree's when the module runs from there. */
static const char* tabLibraryPath(void) {
  const char* given = g_getenv("JOBCONTROL_GTK3_TAB");
  if (given && *given) return given;
  if (access(JOBCONTROL_INSTALLED_TAB, R_OK) == 0) return JOBCONTROL_INSTALLED_TAB;
  return JOBCONTROL_BUILD_TAB;
}

/* Loads the tab's library once; FALSE (said once) when it cannot be had. */
static gboolean loadTab(void) {
  if (tab.tried) return tab.attach != NULL;
  tab.tried = TRUE;
  const char* path = tabLibraryPath();
  void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    fprintf(stderr, "jobcontrol-gtk3-module: no Job Control tab: %s\n", dlerror());
    return FALSE;
  }
  JobControlTabAttach attach = (JobControlTabAttach)dlsym(library, JOBCONTROL_TAB_ATTACH);
  tab.respond = (JobControlTabRespond)dlsym(library, JOBCONTROL_TAB_RESPOND);
  tab.jobSending = (JobControlTabJobSending)dlsym(library, JOBCONTROL_TAB_JOB_SENDING);
  if (!attach || !tab.respond || !tab.jobSending) {
    fprintf(stderr, "jobcontrol-gtk3-module: no Job Control tab: %s lacks its entry points\n",
            path);
    return FALSE;
  }
  tab.attach = attach;
  return TRUE;
}

static gboolean onRealize(GSignalInvocationHint* hint, guint n, const GValue* params,
                          gpointer data) {
  (void)hint, (void)n, (void)data;
  GObject* widget = g_value_get_object(&params[0]);
  if (GTK_IS_PRINT_UNIX_DIALOG(widget) && loadTab()) tab.attach(GTK_PRINT_UNIX_DIALOG(widget));
  return TRUE; /* stay hooked */
}

static gboolean onResponse(GSignalInvocationHint* hint, guint n, const GValue* params,
                           gpointer data) {
  (void)hint, (void)data;
  GObject* dialog = g_value_get_object(&params[0]);
  if (n >= 2 && tab.attach && GTK_IS_PRINT_UNIX_DIALOG(dialog))
    tab.respond(GTK_PRINT_UNIX_DIALOG(dialog), g_value_get_int(&params[1]));
  return TRUE;
}

static gboolean onJobStatus(GSignalInvocationHint* hint, guint n, const GValue* params,
                            gpointer data) {
  (void)hint, (void)n, (void)data;
  GObject* job = g_value_get_object(&params[0]);
  if (tab.attach && GTK_IS_PRINT_JOB(job) &&
      gtk_print_job_get_status(GTK_PRINT_JOB(job)) == GTK_PRINT_STATUS_SENDING_DATA)
    tab.jobSending(GTK_PRINT_JOB(job));
  return TRUE;
}

/* Hooks `signal` of `type` for every instance; the class is made so the signal exists. */
static void hook(GType type, const char* signal, GSignalEmissionHook func) {
  gpointer klass = g_type_class_ref(type);
  guint id = g_signal_lookup(signal, type);
  if (id) g_signal_add_emission_hook(id, 0, func, NULL, NULL);
  g_type_class_unref(klass);
}

G_MODULE_EXPORT void gtk_module_init(gint* argc, gchar*** argv) {
  (void)argc, (void)argv;
  static gboolean hooked;
  if (hooked) return;
  hooked = TRUE;
  /* The hooks stay for the application's life, so the module must too: GTK may close a
   * module that a changed setting no longer lists. */
  Dl_info self;
  if (dladdr((void*)gtk_module_init, &self) && self.dli_fname)
    dlopen(self.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  hook(GTK_TYPE_WIDGET, "realize", onRealize);
  hook(GTK_TYPE_DIALOG, "response", onResponse);
  hook(GTK_TYPE_PRINT_JOB, "status-changed", onJobStatus);
}
