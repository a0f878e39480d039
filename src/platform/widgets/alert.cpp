// The standard-error alert presenter.
#include "platform/widgets/alert.h"

#include <cstdio>

namespace jc {

void StandardErrorAlertPresenter::runInformationalAlert(const std::string& title,
                                                        const std::string& message,
                                                        const std::string&) {
  if (title.empty())
    std::fprintf(stderr, "%s\n", message.c_str());
  else
    std::fprintf(stderr, "%s: %s\n", title.c_str(), message.c_str());
  std::fflush(stderr);
}

AlertPresenter& standardErrorAlertPresenter() {
  static StandardErrorAlertPresenter presenter;
  return presenter;
}

}  // namespace jc
