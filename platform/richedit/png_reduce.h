// Reading a PNG at no more pixels than it is drawn with: row by row, each row folded into the reduced picture as it
// is read, so that a picture whose header asks for a huge size costs the memory of its drawn size, not of its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace richedit::detail {

struct PngHeader {
  bool ok = false;  // a PNG signature and header were read
  std::uint32_t width = 0, height = 0;
  bool interlaced = false;
};

// The size and layout the PNG's header states.
PngHeader ReadPngHeader(const std::string& png);

struct ReducedPicture {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB row by row; empty when the PNG could not be read
};

// The PNG reduced to at most maxWidth x maxHeight pixels (never enlarged): each pixel the mean of the pixels it
// covers, transparent parts laid on white paper. An interlaced PNG is read whole first: it is refused (empty) when
// its own pixels need more than maxWholeBytes. Any PNG is refused when the reduced picture would need more.
ReducedPicture ReadPngReduced(const std::string& png, int maxWidth, int maxHeight, std::size_t maxWholeBytes);

}  // namespace richedit::detail
