// The in-memory host callback object and PPD opening.
#include "platform/memory_host.h"

#include <cstdio>

namespace jc {

namespace {
std::string ppdErrorText(const char* what) {
  int line = 0;
  ppd_status_t status = ppdLastError(&line);
  return std::string(what) + ": cannot read the PPD: " + ppdErrorString(status) +
         (line > 0 ? " (line " + std::to_string(line) + ")" : "");
}
}  // namespace

PPDHandle openPPDFile(const std::string& path, std::string* error) {
  PPDHandle ppd(ppdOpenFile(path.c_str()), ppdClose);
  if (!ppd && error) *error = ppdErrorText(path.c_str());
  return ppd;
}

PPDHandle openPPDText(const std::string& text, std::string* error) {
  // ppdOpen reads a stdio stream; a memory stream keeps the text off the disk.
  FILE* stream = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  if (!stream) {
    if (error) *error = "cannot open a memory stream for the PPD";
    return PPDHandle(nullptr, ppdClose);
  }
  PPDHandle ppd(ppdOpen(stream), ppdClose);
  std::fclose(stream);
  if (!ppd && error) *error = ppdErrorText("built-in PPD");
  return ppd;
}

bool MemoryPluginCallback::willChangePPDOptionKeyValue(const std::string& key,
                                                       ppd_choice_t* choice) {
  return check_ ? check_(key, choice) : true;
}

}  // namespace jc
