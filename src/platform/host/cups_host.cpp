// CUPS queues: their PPD and device URI, and job submission.
#include "platform/host/cups_host.h"

#include <cups/cups.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/host/document_kind.h"
#include "platform/io/fd.h"

namespace jc {

bool cupsSchedulerAnswers() {
  http_t* http =
      httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 1000, nullptr);
  if (http) httpClose(http);
  return http != nullptr;
}

Result<CupsQueue> openCupsQueue(const std::string& queue) {
  auto fail = [](std::string message) { return Refusal{std::move(message)}; };
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr);
  if (!dest && !cupsSchedulerAnswers())
    return fail("CUPS does not answer at " + std::string(cupsServer()) +
                "; is the scheduler (cupsd) running?");
  if (!dest) return fail("no such printer queue \"" + queue + "\" (" + cupsLastErrorString() + ")");
  CupsQueue result;
  result.name = queue;
  if (const char* uri = cupsGetOption("device-uri", dest->num_options, dest->options))
    result.deviceURI = uri;
  cupsFreeDests(1, dest);

  // The server's own copy of the PPD comes in one GET, straight into memory; only when
  // that fails (a queue served from elsewhere) does libcups look the printer up and make
  // a temporary copy.
  int fd = ::memfd_create("ppd", MFD_CLOEXEC);
  if (fd >= 0) {
    std::string resource = "/printers/" + queue + ".ppd";
    if (cupsGetFd(CUPS_HTTP_DEFAULT, resource.c_str(), fd) == HTTP_STATUS_OK &&
        ::lseek(fd, 0, SEEK_SET) == 0) {
      // ppdOpenFd closes the descriptor it reads.
      result.ppd = PPDHandle(ppdOpenFd(fd), ppdClose);
      if (result.ppd) return result;
    } else {
      ::close(fd);
    }
  }
  const char* copy = cupsGetPPD2(CUPS_HTTP_DEFAULT, queue.c_str());
  if (!copy) return fail("queue \"" + queue + "\" has no PPD (" + cupsLastErrorString() + ")");
  std::string path = copy;
  Result<PPDHandle> ppd = openPPDFile(path);
  ::unlink(path.c_str());
  if (!ppd) return fail("queue \"" + queue + "\": " + ppd.message());
  result.ppd = std::move(*ppd);
  return result;
}

namespace {

// A job request for `queue` on the default server, as the requesting user.
ipp_t* jobRequest(ipp_op_t operation, const std::string& queue, std::string& resource) {
  ipp_t* request = ippNewRequest(operation);
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                   "/printers/%s", queue.c_str());
  resource = "/printers/" + queue;
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  return request;
}

// Sends `request` (with the open file `document` as its document, -1 for none) and answers
// the job ID it reports, or refuses with the server's message.
Result<int> sendJobRequest(ipp_t* request, const std::string& resource, int document) {
  ipp_t* response = cupsDoIORequest(CUPS_HTTP_DEFAULT, request, resource.c_str(), document, -1);
  int job = 0;
  if (cupsLastError() <= IPP_STATUS_OK_CONFLICTING) {
    if (ipp_attribute_t* id = ippFindAttribute(response, "job-id", IPP_TAG_INTEGER))
      job = ippGetInteger(id, 0);
  }
  ippDelete(response);
  if (job == 0) return Refusal{cupsLastErrorString()};
  return job;
}

}  // namespace

namespace {

// The type CUPS detected for the job's latest document, "" when it does not say.
std::string detectedType(const std::string& queue, int job) {
  std::string resource;
  ipp_t* request = jobRequest(IPP_OP_GET_JOB_ATTRIBUTES, queue, resource);
  ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
               "document-format-detected");
  ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, resource.c_str());
  // CUPS repeats the attribute for every document of the job; the last is the latest.
  std::string type;
  for (ipp_attribute_t* a = ippFirstAttribute(response); a; a = ippNextAttribute(response))
    if (ippGetValueTag(a) == IPP_TAG_MIMETYPE && ippGetName(a) &&
        std::string_view(ippGetName(a)) == "document-format-detected")
      type = ippGetString(a, 0, nullptr);
  ippDelete(response);
  return type;
}

// Releases a job held for checking: to the hold the caller asked for, else at once.
bool releaseJob(const std::string& queue, int job, const char* holdUntil) {
  std::string resource;
  ipp_t* request =
      jobRequest(holdUntil ? IPP_OP_SET_JOB_ATTRIBUTES : IPP_OP_RELEASE_JOB, queue, resource);
  ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
  if (holdUntil)
    ippAddString(request, IPP_TAG_JOB, IPP_TAG_KEYWORD, "job-hold-until", nullptr, holdUntil);
  ippDelete(cupsDoRequest(CUPS_HTTP_DEFAULT, request, resource.c_str()));
  return cupsLastError() <= IPP_STATUS_OK_CONFLICTING;
}

}  // namespace

Result<int> submitCupsJob(const std::string& queue, const std::vector<std::string>& files,
                          const std::string& title, const MemoryPrintSettings& settings,
                          const std::vector<std::pair<std::string, std::string>>& extra) {
  if (files.empty()) return Refusal{"no file to print"};
  // Each file is opened once: what is checked below is what is sent, whatever the path
  // comes to name in between.
  std::vector<Fd> documents;
  for (const std::string& file : files) {
    documents.emplace_back(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!documents.back()) return Refusal{file + ": " + std::strerror(errno)};
  }
  cups_option_t* options = nullptr;
  int count = 0;
  for (const auto& [key, value] : settings.entries())
    count = cupsAddOption(key.c_str(), value.c_str(), count, &options);
  for (const auto& [name, value] : extra)
    count = cupsAddOption(name.c_str(), value.c_str(), count, &options);
  // A file that starts as PDF or PostScript is a type CUPS prints. Anything else waits,
  // held, until CUPS has typed it: a file of a type CUPS does not know would otherwise go
  // to the printer as raw bytes. Checking costs two more requests, so only such jobs pay.
  const bool check = std::any_of(documents.begin(), documents.end(), [](const Fd& file) {
    return documentKind(file.get()) == DocumentKind::Other;
  });
  std::string holdUntil;
  if (check) {
    if (const char* asked = cupsGetOption("job-hold-until", count, options)) holdUntil = asked;
    count = cupsAddOption("job-hold-until", "indefinite", count, &options);
  }

  std::string resource;
  ipp_t* request = jobRequest(IPP_OP_CREATE_JOB, queue, resource);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.c_str());
  cupsEncodeOptions2(request, count, options, IPP_TAG_OPERATION);
  cupsEncodeOptions2(request, count, options, IPP_TAG_JOB);
  cupsFreeOptions(count, options);
  Result<int> created = sendJobRequest(request, resource, -1);
  if (!created) return created;
  const int job = *created;
  auto cancel = [&](std::string why) {
    // A half-sent or refused job is cancelled rather than left waiting.
    cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.c_str(), job, 0);
    return Refusal{std::move(why)};
  };
  for (std::size_t i = 0; i < files.size(); ++i) {
    ipp_t* send = jobRequest(IPP_OP_SEND_DOCUMENT, queue, resource);
    ippAddInteger(send, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
    ippAddString(send, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                 "application/octet-stream");
    ippAddBoolean(send, IPP_TAG_OPERATION, "last-document", i + 1 == files.size());
    if (Result<int> sent = sendJobRequest(send, resource, documents[i].get()); !sent)
      return cancel(sent.message());
    if (!check) continue;
    std::string type = detectedType(queue, job);
    if (type == "application/octet-stream")
      return cancel(files[i] + ": CUPS does not know this type of file (it detected " + type +
                    "); the job was cancelled");
  }
  if (check && !releaseJob(queue, job, holdUntil.empty() ? nullptr : holdUntil.c_str()))
    return cancel(cupsLastErrorString());
  return job;
}

}  // namespace jc
