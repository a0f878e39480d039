// The command's own texts in the user's language: a gettext domain of its own, bound to
// the catalogs installed beside the program (or the build tree's), and a way to put
// values into a translated pattern whose word order differs by language.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace jc {

/// Binds the command's text domain once; safe to call again. Follows LANGUAGE and the
/// locale, as gettext does.
void bindMessages();

/// The translation of `text` (the English text itself when there is none).
const char* tr(const char* text);

/// `pattern` with %1, %2, ... replaced by `values` in order of number ("%%" is "%").
std::string subst(std::string_view pattern, std::initializer_list<std::string_view> values);

/// Why the last CUPS request failed, in the person's language: that CUPS does not answer
/// (and where it was asked) when the scheduler takes no connection, else CUPS's own words.
std::string cupsFailure();

}  // namespace jc
