// The command's text domain and the filling of translated patterns.
#include "hosts/common/messages.h"

#include <cups/cups.h>
#include <libintl.h>

#include <filesystem>
#include <vector>

#include "platform/host/cups_host.h"

namespace jc {

namespace {
constexpr const char* kDomain = "jobcontrol-cli";
}

void bindMessages() {
  static bool bound = false;
  if (bound) return;
  bound = true;
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  // Installed: PREFIX/bin/jobcontrol and PREFIX/share/locale; else the build tree's.
  fs::path dir = JOBCONTROL_BUILD_LOCALEDIR;
  if (!ec) {
    fs::path installed = self.parent_path() / JOBCONTROL_LOCALEDIR_FROM_BINDIR;
    if (fs::exists(installed / "de" / "LC_MESSAGES" / "jobcontrol-cli.mo", ec)) dir = installed;
  }
  bindtextdomain(kDomain, dir.c_str());
  bind_textdomain_codeset(kDomain, "UTF-8");
}

const char* tr(const char* text) {
  if (!text || !*text) return text;
  return dgettext(kDomain, text);
}

std::string subst(std::string_view pattern, std::initializer_list<std::string_view> values) {
  std::vector<std::string_view> v(values);
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size()) {
      char next = pattern[i + 1];
      if (next == '%') {
        out += '%';
        ++i;
        continue;
      }
      if (next >= '1' && next <= '9' && static_cast<std::size_t>(next - '1') < v.size()) {
        out += v[static_cast<std::size_t>(next - '1')];
        ++i;
        continue;
      }
    }
    out += pattern[i];
  }
  return out;
}

std::string cupsFailure() {
  std::string said = cupsLastErrorString();
  if (cupsSchedulerAnswers()) return said;
  return subst(tr("CUPS does not answer at %1; is the scheduler (cupsd) running?"), {cupsServer()});
}

}  // namespace jc
