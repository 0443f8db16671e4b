// PNG bytes of the report's pictures: read back by an independent decoder, they are exactly the pixels given.
#include "platform/pictor/png_writer.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cctype>
#include <cstring>
#include <functional>
#include <ostream>
#include <random>
#include <string>

#include "tests/platform/pictor/png_decode.h"

namespace {

using Pixels = std::vector<std::uint32_t>;
using pictor::test::Decode;
using pictor::test::Decoded;

std::uint32_t Be32(const std::vector<unsigned char>& b, std::size_t at) {
  return std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 | std::uint32_t(b[at + 2]) << 8 | b[at + 3];
}

// The image data inflated by zlib itself, which checks the stream's checksum; empty when it refuses the stream or
// a chunk's CRC is wrong.
std::vector<unsigned char> Inflated(const std::vector<unsigned char>& png, std::size_t room) {
  std::vector<unsigned char> idat;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::uint32_t length = Be32(png, at);
    const std::uint32_t crc = std::uint32_t(crc32(0, png.data() + at + 4, 4 + length));
    if (Be32(png, at + 8 + length) != crc) return {};
    if (std::memcmp(png.data() + at + 4, "IDAT", 4) == 0)
      idat.insert(idat.end(), png.begin() + long(at) + 8, png.begin() + long(at + 8 + length));
    at += 12 + length;
  }
  std::vector<unsigned char> raw(room);
  uLongf size = raw.size();
  if (uncompress(raw.data(), &size, idat.data(), uLong(idat.size())) != Z_OK) return {};
  raw.resize(size);
  return raw;
}

struct Case {
  const char* name;
  int width, height;
  std::function<std::uint32_t(int x, int y)> pixel;
  int colourType;  // 3 palette, 2 RGB
};

std::uint32_t Noise(int x, int y) {
  std::mt19937 g(std::uint32_t(y * 7919 + x));
  return g() & 0xFFFFFF;
}

const Case kCases[] = {
    {"one white pixel", 1, 1, [](int, int) { return 0xFFFFFFu; }, 3},
    // Every row equal to the one above: the rows are runs of zeros far longer than one copy.
    {"vertical stripes", 700, 40, [](int x, int) { return x % 97 < 3 ? 0x2040C0u : 0xFFFFFFu; }, 3},
    // A stretch that moves and grows from row to row: runs of zeros of every length from 0 to well past 258,
    // within rows and across their ends.
    {"runs of every length", 700, 90,
     [](int x, int y) { return x >= 3 * y && x < 3 * y + y * y % 301 ? 0x000000u : 0xFFFFFFu; }, 3},
    {"a palette full", 256, 3, [](int x, int y) { return std::uint32_t((x + y) % 256) * 0x010101u; }, 3},
    {"one colour more than a palette", 257, 2, [](int x, int) { return std::uint32_t(x) * 0x010203u & 0xFFFFFFu; }, 2},
    {"noise", 131, 77, Noise, 2},
    // Neighbouring rows that differ in one channel: differences with zero bytes between the changed ones.
    {"one channel changes", 300, 30,
     [](int x, int y) { return (Noise(x, 0) & 0xFFFFFEu) | std::uint32_t((x + y) % 3 == 0); }, 2},
    {"a tall column of one pixel", 1, 500, [](int, int y) { return y % 5 == 0 ? 0xFF0000u : 0x00FF00u; }, 3},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class PngWriter : public ::testing::TestWithParam<Case> {};

TEST_P(PngWriter, DecodesToExactlyThePixels) {
  const Case& c = GetParam();
  Pixels pixels;
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) pixels.push_back(c.pixel(x, y));
  std::vector<unsigned char> png;
  ASSERT_TRUE(pictor::EncodePng(pixels, c.width, c.height, png));
  ASSERT_GT(png.size(), 33u);
  EXPECT_EQ(png[25], c.colourType) << "a palette exactly when the colours fit one";

  const std::size_t perPixel = c.colourType == 3 ? 1 : 3;
  const std::size_t rows = std::size_t(c.height) * (1 + perPixel * std::size_t(c.width));
  EXPECT_EQ(Inflated(png, rows + 1).size(), rows) << "zlib takes the stream, its checksum and every chunk's CRC";
  const Decoded d = Decode(png);
  ASSERT_EQ(d.width, c.width);
  ASSERT_EQ(d.height, c.height);
  for (std::size_t i = 0; i < pixels.size(); ++i)
    ASSERT_EQ(d.pixels[i], pixels[i]) << "pixel " << i % std::size_t(c.width) << ", " << i / std::size_t(c.width);
}

INSTANTIATE_TEST_SUITE_P(Pictures, PngWriter, ::testing::ValuesIn(kCases), [](const auto& info) {
  std::string name;
  for (const char* p = info.param.name; *p; ++p)
    if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
  return name;
});

TEST(PngWriterInput, TheTopByteOfAPixelIsNoColour) {
  // Bitmaps leave their fourth byte as they like: the same colour with another top byte is the same colour.
  const Pixels pixels = {0xFF123456, 0x00123456, 0x7F123456, 0x00ABCDEF, 0xFFABCDEF, 0x00ABCDEF};
  std::vector<unsigned char> png;
  ASSERT_TRUE(pictor::EncodePng(pixels, 3, 2, png));
  EXPECT_EQ(Decode(png).pixels, (Pixels{0x123456, 0x123456, 0x123456, 0xABCDEF, 0xABCDEF, 0xABCDEF}));
}

TEST(PngWriterInput, AnEmptyOrShortPictureIsRefused) {
  std::vector<unsigned char> png;
  EXPECT_FALSE(pictor::EncodePng({}, 0, 0, png));
  EXPECT_FALSE(pictor::EncodePng(Pixels(5), 3, 2, png));
  EXPECT_FALSE(pictor::EncodePng(Pixels(6), -3, -2, png));
}

}  // namespace
