// The library's own strings: the gettext domain "jobcontrol-gtk" ("jobcontrol-gtk3" in the
// GTK 3 module, packaged apart), which leaves the domain of the application that loads the
// library alone.
#pragma once

namespace jc::gtk {

/// The gettext domain of the library's own strings.
inline constexpr const char* kTextDomain = JOBCONTROL_TEXT_DOMAIN;

/// `text` translated into the person's language from the library's domain, in UTF-8;
/// `text` itself when there is no translation. The first call binds the domain.
const char* tr(const char* text);

}  // namespace jc::gtk
