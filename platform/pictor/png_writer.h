// PNG bytes of a picture, written for speed: the report embeds dozens of print-size drawings, mostly white with
// thin lines. A picture of at most 256 colours is written with a palette, any other as 8-bit RGB; either decodes
// to exactly the given pixels.
#pragma once

#include <cstdint>
#include <vector>

namespace pictor {

// pixels: 0x00RRGGBB (the top byte is ignored), row by row. False for an empty size or a size the pixels lack.
bool EncodePng(const std::vector<std::uint32_t>& pixels, int width, int height, std::vector<unsigned char>& png);

}  // namespace pictor
