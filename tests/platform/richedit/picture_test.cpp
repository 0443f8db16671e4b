// Pictures cost the memory of the size they are drawn at: a large PNG is reduced while it is read, each drawn pixel
// the mean of those it covers; one whose header asks for too many pixels is not read but shown as a framed box with
// a note.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include "platform/richedit/picture.h"
#include "platform/richedit/png_reduce.h"
#include "platform/win/afx.h"
#include "tests/platform/richedit/canvas.h"
#include "tests/platform/richedit/rtf_pictures.h"

namespace {

using rtf_test::Canvas;

constexpr COLORREF kGreen = RGB(0, 160, 0);

// Peak memory growth (KiB) of drawing the group into a 96 x 96 rectangle, measured in a child process, with the
// colour it drew at the rectangle's middle.
struct Drawn {
  long growthKiB = -1;
  COLORREF middle = 0;
};
Drawn DrawMeasured(const std::string& group) {
  int pipe[2];
  if (::pipe(pipe) != 0) return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe[0]);
    Canvas canvas(100, 100);
    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    richedit::DrawPicture(canvas.dc(), RECT{2, 2, 98, 98}, group);
    ::getrusage(RUSAGE_SELF, &after);
    const Drawn d{after.ru_maxrss - before.ru_maxrss, COLORREF(canvas.At(50, 50))};
    const bool written = ::write(pipe[1], &d, sizeof d) == ssize_t(sizeof d);
    ::_exit(written ? 0 : 1);
  }
  ::close(pipe[1]);
  Drawn d;
  if (child < 0 || ::read(pipe[0], &d, sizeof d) != ssize_t(sizeof d)) d = {};
  ::close(pipe[0]);
  int status = 0;
  if (child > 0) ::waitpid(child, &status, 0);
  return d;
}

TEST(PictureMemory, ALargePictureIsReadAtTheSizeItIsDrawn) {
  // 6000 x 6000 pixels decoded whole take 6000 * 6000 * 4 bytes = 137 MiB; drawn at 96 x 96 the picture may cost
  // no more than its 64 MiB bound.
  const std::string group = rtf_test::PictGroup(rtf_test::LargePngOf(6000, 6000, 0, 160, 0),
                                                "\\picw6000\\pich6000\\picwgoal1440\\pichgoal1440");
  const Drawn d = DrawMeasured(group);
  ASSERT_GE(d.growthKiB, 0) << "the child drew nothing";
  EXPECT_LT(d.growthKiB, 64 * 1024);
  EXPECT_EQ(d.middle, kGreen) << "the picture is drawn, not a box";
}

// The header of a PNG of w x h pixels (colour, 8 bits), interlaced or not, as hexadecimal digits without its data:
// a picture too large to read is refused by its header alone.
std::string HeaderOnly(std::uint32_t w, std::uint32_t h, bool interlaced) {
  char hex[80];
  std::snprintf(hex, sizeof hex, "89504e470d0a1a0a0000000d49484452%08x%08x08020000%02x00000000", w, h,
                interlaced ? 1 : 0);
  return hex;
}

TEST(PictureMemory, APictureTooLargeToReadIsAFramedBoxThatSaysSo) {
  struct Case {
    std::uint32_t w, h;
    bool interlaced;
  } cases[] = {
      {20000, 20000, false},  // 400 million pixels
      {4000, 4000, true},     // read whole: 61 MiB, more than the 32 MiB a picture's pixels may take
  };
  for (const Case& c : cases) {
    Canvas canvas(120, 120);
    const RECT box{10, 10, 106, 106};
    richedit::DrawPicture(canvas.dc(), box,
                          "{\\pict\\pngblip\\picwgoal1440\\pichgoal1440 " + HeaderOnly(c.w, c.h, c.interlaced) + "}");
    // A black frame on the rectangle's edge, the note inside it, nothing outside.
    for (int k = 10; k < 106; k += 8) {
      EXPECT_EQ(canvas.At(k, 10), RGB(0, 0, 0)) << c.w << " top " << k;
      EXPECT_EQ(canvas.At(10, k), RGB(0, 0, 0)) << c.w << " left " << k;
      EXPECT_EQ(canvas.At(k, 105), RGB(0, 0, 0)) << c.w << " foot " << k;
      EXPECT_EQ(canvas.At(105, k), RGB(0, 0, 0)) << c.w << " right " << k;
    }
    EXPECT_GT(canvas.DarkIn({13, 13, 103, 103}), 20) << c.w << ": no note in the box";
    EXPECT_EQ(canvas.DarkIn({0, 0, 120, 9}) + canvas.DarkIn({0, 107, 120, 120}), 0) << c.w;
  }
}

// A metafile, which is not drawn here, is its frame with the name its writer gave it (else its kind) inside: a
// black edge and dark letters, where an unknown picture is a grey box.
TEST(PictureMemory, AMetafileIsItsFrameWithItsName) {
  const char* const groups[] = {
      "{\\pict{\\*\\picprop{\\sp{\\sn wzDescription}{\\sv schnitt.emf}}}\\emfblip\\picw5000\\pich2500 0100000058}",
      "{\\pict\\emfblip\\picw5000\\pich2500 0100000058}",
      "{\\pict\\wmetafile8\\picw5000\\pich2500 010009}",
  };
  for (const char* group : groups) {
    Canvas canvas(120, 120);
    richedit::DrawPicture(canvas.dc(), RECT{10, 10, 106, 106}, group);
    for (int k = 10; k < 106; k += 8) {
      EXPECT_EQ(canvas.At(k, 10), RGB(0, 0, 0)) << group << " top " << k;
      EXPECT_EQ(canvas.At(105, k), RGB(0, 0, 0)) << group << " right " << k;
    }
    EXPECT_GT(canvas.DarkIn({13, 13, 103, 103}), 20) << group << ": no name in the frame";
    EXPECT_EQ(canvas.At(60, 100), RGB(255, 255, 255)) << group << ": the frame is not filled";
  }
}

// A PNG made by cairo (with transparency where alpha is given): w x h pixels, each from the function.
template <typename Pixel>
std::string PngFrom(int w, int h, Pixel pixel) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t v = pixel(x, y);  // premultiplied ARGB
      std::memcpy(data + y * cairo_image_surface_get_stride(s) + 4 * x, &v, 4);
    }
  cairo_surface_mark_dirty(s);
  return rtf_test::PngOfSurface(s);
}

TEST(PictureMemory, EachReducedPixelIsTheMeanOfThePixelsItCovers) {
  struct Case {
    const char* what;
    std::string png;
    int maxW, maxH;
    int w, h;
    std::uint32_t first;  // the reduced picture's first pixel
  } cases[] = {
      // One-pixel black and white stripes, 8 wide, reduced to 2: each pixel covers two black and two white
      // columns: (0 + 0 + 255 + 255) / 4 = 127.5, rounded 128 = 0x80.
      {"stripes", PngFrom(8, 2, [](int x, int) { return x % 2 ? 0xFFFFFFFFu : 0xFF000000u; }), 2, 1, 2, 1, 0x808080},
      // Fully transparent pixels are the paper's white; one of four black pixels: 3 * 255 / 4 = 191.25 = 0xBF.
      {"transparent", PngFrom(2, 2, [](int x, int y) { return x + y == 0 ? 0xFF000000u : 0u; }), 1, 1, 1, 1, 0xBFBFBF},
      // Never enlarged: a picture smaller than the room keeps its pixels.
      {"small", PngFrom(3, 2, [](int, int) { return 0xFF00A000u; }), 40, 40, 3, 2, 0x00A000},
      // Rows fold as columns do: 3 rows into 1, two of them red: 2 * 255 / 3 = 170 = 0xAA.
      {"rows", PngFrom(1, 3, [](int, int y) { return y < 2 ? 0xFFFF0000u : 0xFF000000u; }), 1, 1, 1, 1, 0xAA0000},
  };
  for (const Case& c : cases) {
    const richedit::detail::ReducedPicture r = richedit::detail::ReadPngReduced(c.png, c.maxW, c.maxH, 1 << 20);
    ASSERT_EQ(r.pixels.size(), std::size_t(c.w * c.h)) << c.what;
    EXPECT_EQ(r.width, c.w) << c.what;
    EXPECT_EQ(r.height, c.h) << c.what;
    EXPECT_EQ(r.pixels[0], c.first) << c.what;
  }
  // A PNG cut short is no picture.
  const std::string whole = PngFrom(8, 8, [](int, int) { return 0xFF000000u; });
  EXPECT_TRUE(richedit::detail::ReadPngReduced(whole.substr(0, whole.size() / 2), 4, 4, 1 << 20).pixels.empty());
  // A header that says 2^20 x 2^20 pixels (a lie: the picture holds 8 x 8), read at no smaller size, is refused
  // before its 4 TiB of reduced pixels are asked for.
  std::string lying = whole;
  for (int at : {16, 20}) lying.replace(std::size_t(at), 4, std::string("\0\x10\0\0", 4));
  const std::uint32_t crc = std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(lying.data() + 12), 17));
  for (int k = 0; k < 4; ++k) lying[std::size_t(29 + k)] = char(crc >> (24 - 8 * k));
  EXPECT_TRUE(richedit::detail::ReadPngReduced(lying, INT_MAX, INT_MAX, std::size_t(32) << 20).pixels.empty());
  // Within the bound the same call reads a picture whole.
  EXPECT_EQ(richedit::detail::ReadPngReduced(whole, INT_MAX, INT_MAX, std::size_t(32) << 20).pixels.size(), 64u);
}

}  // namespace
