// CUPS queues: their PPD and device URI, and job submission.
#include "platform/cups_host.h"

#include <cups/cups.h>
#include <sys/mman.h>
#include <unistd.h>

namespace jc {

Result<CupsQueue> openCupsQueue(const std::string& queue) {
  auto fail = [](std::string message) { return Refusal{std::move(message)}; };
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr);
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

// Sends `request` (with `file` as its document when given) and answers the job ID it
// reports, or refuses with the server's message.
Result<int> sendJobRequest(ipp_t* request, const std::string& resource, const char* file) {
  ipp_t* response = cupsDoFileRequest(CUPS_HTTP_DEFAULT, request, resource.c_str(), file);
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

Result<int> submitCupsJob(const std::string& queue, const std::vector<std::string>& files,
                          const std::string& title, const MemoryPrintSettings& settings) {
  if (files.empty()) return Refusal{"no file to print"};
  cups_option_t* options = nullptr;
  int count = 0;
  for (const auto& [key, value] : settings.entries())
    count = cupsAddOption(key.c_str(), value.c_str(), count, &options);

  // One file goes in a single Print-Job; several in a Create-Job and one Send-Document
  // each. The server types each document itself, as it does for lp.
  std::string resource;
  ipp_t* request =
      jobRequest(files.size() == 1 ? IPP_OP_PRINT_JOB : IPP_OP_CREATE_JOB, queue, resource);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.c_str());
  cupsEncodeOptions2(request, count, options, IPP_TAG_OPERATION);
  cupsEncodeOptions2(request, count, options, IPP_TAG_JOB);
  cupsFreeOptions(count, options);
  // (Encoding the operation group also names the document format, for the server to
  // detect.)
  if (files.size() == 1) return sendJobRequest(request, resource, files.front().c_str());
  Result<int> created = sendJobRequest(request, resource, nullptr);
  if (!created) return created;
  const int job = *created;
  for (std::size_t i = 0; i < files.size(); ++i) {
    ipp_t* send = jobRequest(IPP_OP_SEND_DOCUMENT, queue, resource);
    ippAddInteger(send, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
    ippAddString(send, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                 "application/octet-stream");
    ippAddBoolean(send, IPP_TAG_OPERATION, "last-document", i + 1 == files.size());
    if (Result<int> sent = sendJobRequest(send, resource, files[i].c_str()); !sent) {
      // A half-sent job is cancelled rather than left waiting for documents.
      cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.c_str(), job, 0);
      return sent;
    }
  }
  return job;
}

}  // namespace jc
