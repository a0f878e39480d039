// PNG images read just far enough to know their size.
#include "platform/widgets/image.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/io/file_bytes.h"

namespace jc {

ImageRef loadPngImage(const std::string& path) {
  std::array<unsigned char, 24> head{};
  std::optional<std::string> read = readFileBytes(path, head.size());
  if (!read || read->size() != head.size()) return nullptr;
  std::copy(read->begin(), read->end(), head.begin());
  static constexpr std::array<unsigned char, 8> kSignature{0x89, 'P',  'N',  'G',
                                                           '\r', '\n', 0x1A, '\n'};
  for (std::size_t i = 0; i < kSignature.size(); ++i)
    if (head[i] != kSignature[i]) return nullptr;
  if (head[12] != 'I' || head[13] != 'H' || head[14] != 'D' || head[15] != 'R') return nullptr;
  auto be32 = [&](std::size_t at) {
    return (std::uint32_t{head[at]} << 24) | (std::uint32_t{head[at + 1]} << 16) |
           (std::uint32_t{head[at + 2]} << 8) | std::uint32_t{head[at + 3]};
  };
  return std::make_shared<const Image>(Image{path, double(be32(16)), double(be32(20))});
}

}  // namespace jc
