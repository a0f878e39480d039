// Binds the library's gettext domain on first use: an application never binds it, and
// dgettext keeps the application's own textdomain() untouched.
#include "hosts/gtk/text_domain.h"

#include <libintl.h>

#include <filesystem>
#include <mutex>

namespace jc::gtk {

const char* tr(const char* text) {
  static std::once_flag bound;
  std::call_once(bound, [] {
    // Installed, the catalogs sit beside every other program's; in the build tree, in its
    // locale folder.
    std::error_code ec;
    bindtextdomain(kTextDomain, std::filesystem::is_directory(JOBCONTROL_LOCALE_DIR, ec)
                                    ? JOBCONTROL_LOCALE_DIR
                                    : JOBCONTROL_BUILD_LOCALE_DIR);
    // GTK takes UTF-8, whatever the locale's own encoding.
    bind_textdomain_codeset(kTextDomain, "UTF-8");
  });
  return dgettext(kTextDomain, text);
}

}  // namespace jc::gtk
