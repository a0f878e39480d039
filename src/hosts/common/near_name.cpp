// Near misses of a typed name, for "did you mean" hints.
#include "hosts/common/near_name.h"

#include <algorithm>
#include <vector>

namespace jc {

namespace {

// Edits from `a` to `b`: insertions, deletions, substitutions, and swaps of two
// neighbours (the commonest slip at a keyboard), one each.
std::size_t editDistance(std::string_view a, std::string_view b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i)
    for (std::size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min(
          {d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  return d[a.size()][b.size()];
}

}  // namespace

std::string nearestName(std::string_view word, const std::vector<std::string_view>& candidates) {
  std::string best;
  std::size_t bestDistance = std::max<std::size_t>(1, std::min<std::size_t>(3, word.size() / 3));
  for (std::string_view c : candidates) {
    std::size_t d = editDistance(word, c);
    // A prefix of a longer name ("ret" for "retention") is a near miss too.
    if (word.size() >= 3 && c.substr(0, word.size()) == word) d = std::min<std::size_t>(d, 1);
    if (d <= bestDistance && (best.empty() || d < bestDistance)) {
      best = c;
      bestDistance = d;
    }
  }
  return best;
}

}  // namespace jc
