// GtkPrintJob from a PDF or PostScript file; the job ID comes from CUPS afterwards, since
// GTK keeps it to itself.
#include "hosts/gtk_print/print_job.h"

#include <cups/cups.h>

#include "hosts/gtk/gobject_ref.h"

namespace jc::gtk {

namespace {

// The newest job of this user on `queue` titled `title`: the one just sent.
int newestJobId(const std::string& queue, const std::string& title) {
  cups_job_t* jobs = nullptr;
  int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 1, CUPS_WHICHJOBS_ALL);
  int id = 0;
  for (int i = 0; i < count; ++i)
    if (jobs[i].title && title == jobs[i].title && jobs[i].id > id) id = jobs[i].id;
  cupsFreeJobs(count, jobs);
  return id;
}

struct Sending {
  bool done = false;
  std::string error;
};

}  // namespace

Result<int> printFile(GtkPrinter* printer, GtkPrintSettings* settings, GtkPageSetup* pageSetup,
                      const std::string& path, const std::string& title) {
  // Our own reference across the send: the job must outlive its completion callback.
  auto job =
      ObjectRef<GtkPrintJob>::adopt(gtk_print_job_new(title.c_str(), printer, settings, pageSetup));
  GError* error = nullptr;
  if (!gtk_print_job_set_source_file(job.get(), path.c_str(), &error)) {
    Refusal refusal{path + ": " + error->message};
    g_error_free(error);
    return refusal;
  }
  Sending sending;
  gtk_print_job_send(
      job.get(),
      [](GtkPrintJob*, gpointer data, const GError* error) {
        auto* s = static_cast<Sending*>(data);
        if (error) s->error = error->message;
        s->done = true;
      },
      &sending, nullptr);
  while (!sending.done) g_main_context_iteration(nullptr, TRUE);
  if (!sending.error.empty()) return Refusal{path + ": " + sending.error};
  return newestJobId(gtk_printer_get_name(printer), title);
}

}  // namespace jc::gtk
