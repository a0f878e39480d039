// Facts about the user running the host.
#pragma once

#include <string>

namespace jc {

/// The user's full name: the first field of the password entry's GECOS text, else the
/// login name; "" when the user has no password entry.
std::string fullUserName();

}  // namespace jc
