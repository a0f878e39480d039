// Near misses of a typed name: the candidate a user most likely meant, for "did you mean".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace jc {

/// The nearest of `candidates` to `word` when it is a likely typing slip (a few edits
/// away), else "".
std::string nearestName(std::string_view word, const std::vector<std::string_view>& candidates);

}  // namespace jc
