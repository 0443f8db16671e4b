// Seeded mutation fuzz of what reads outside input in the rich-text part: the RTF reader (a report, and small
// texts with sections, tables, pictures and escapes, garbled), the control that lays out and paints what it read,
// the print to PDF, and the PNG reader of pictures (truncated, bit-flipped, headers that lie). Whatever the input,
// the reader gives a document or an RtfError; a document it gives is written and read back with the same text; the
// control and the printer draw it; a picture is drawn or refused, its memory within the picture bound.
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/richedit/picture.h"
#include "platform/richedit/png_reduce.h"
#include "platform/richedit/richeditctrl.h"
#include "platform/win/dialogs/wintest.h"
#include "platform/win/screen/headless.h"
#include "tests/platform/richedit/canvas.h"
#include "tests/platform/richedit/rtf_pictures.h"
#include "tests/support/fuzz_mutate.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The report to mutate: KOLUMO_FUZZ_REPORT names a whole one (the slow run is given a fresh report), else an
// excerpt of the example's report with small pictures.
std::string Report() {
  if (const char* path = std::getenv("KOLUMO_FUZZ_REPORT")) return ReadFile(path);
  return ReadFile(std::string(KOLUMO_TEST_DATA) + "/richedit/report_excerpt.rtf");
}

const char* const kHead = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\ftech\\fcharset2 Symbol;}}";

std::string Repeated(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

std::vector<std::string> HandMade() {
  const std::string pict = rtf_test::PictGroup(rtf_test::PngOf(5, 3, 0, 0.6, 0), "\\picw5\\pich3\\picwgoal300");
  const std::string head = kHead;
  return {
      head + "{\\sect A}{\\sectd C}{\\pgnrestart D}{\\foo E}B\\par}",
      head + "\\pard Eins\\sect Zwei\\sbknone\\sect Drei{\\*\\bkmkstart x}\\par{\\foo skip}{\\info{\\title T}}Ende}",
      head + "\\trowd\\cellx1000\\cellx99999999999\\pard\\intbl A\\cell B\\cell\\row\\pard\\intbl\\cell\\row}",
      head + "\\pard " + pict + "\\par{\\object\\objemb{\\*\\objdata 01}{\\result " + pict + "}}\\par}",
      head + "\\uc2\\u8364??\\u-4000 x\\u99999999999?\\uc0\\u945\\f1 a\\'e4\\'zz\\'4}",
      head +
          "{\\header\\pard Seite {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par}\\pard\\fs99999999999 "
          "\\li-99999999\\fi99999999\\sl-5\\sb99999999 {{{\\b x}}}\\page y\\line\\tab z}",
      head + "\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pnstart-99999999999\\pndec}\\ls1 Liste\\par}}}",
      // A row taller than a page, cut between its lines; rows that reuse its definition; words of mixed sizes.
      head + "\\trowd\\cellx1500\\cellx5000\\pard\\intbl Hinweis\\cell " + Repeated("Bewehrung {\\fs40 B} ", 400) +
          "\\cell\\row\\pard\\intbl a\\cell b\\cell\\row\\pard\\fs16 klein {\\fs72 GROSS} {\\super h}{\\sub t}\\par}",
  };
}

// Words of the reader's language for the mutator: groups and words it treats apart, and parameters at the ends.
std::vector<std::string> RtfWords() {
  return {"{",
          "}",
          "\\",
          "\\par ",
          "\\sect ",
          "\\sectd ",
          "\\sbknone ",
          "{\\sect A}",
          "{\\sectd C}",
          "{\\pgnrestart D}",
          "{\\foo E}",
          "{\\*\\foo E}",
          "{\\info{\\author x}}",
          "{\\stylesheet{\\s1 h;}}",
          "{\\fonttbl{\\f9 X;}}",
          "{\\colortbl;\\red999\\green-1\\blue0;}",
          "\\s99999 ",
          "\\trowd\\cellx1500",
          "\\cellx-99999999999",
          "\\intbl ",
          "\\cell ",
          "\\row ",
          "\\pard ",
          "\\plain ",
          "\\page ",
          "\\line ",
          "\\tab ",
          "\\tx99999999999 ",
          "\\tqdec",
          "\\u-1?",
          "\\u65535?",
          "\\u99999999999999999999?",
          "\\uc99999999 ",
          "\\uc0 ",
          "\\'",
          "\\'f",
          "\\'e4",
          "\\fs0 ",
          "\\fs-3 ",
          "\\f99999 ",
          "\\cf99999 ",
          "\\b\\i\\ul\\sub\\v ",
          "{\\pict\\pngblip\\picw99999\\pich99999\\picwgoal99999999 89504e470d0a1a0a}",
          "{\\pict\\pngblip 89504e470d0a1a0a0000000d49484452ffffffffffffffff0806000000}",
          "{\\object{\\result{\\pict\\wmetafile8 01}}}",
          "{\\header x}",
          "{\\footer\\chpgn}",
          "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 9}}",
          "{\\pntext 1.}",
          "{\\*\\pn\\pnlvlblt{\\pntxtb x}}",
          "\\bin99 ",
          "\\*",
          "\r\n",
          std::string("\0", 1),
          "\x01\x07\x0b\x0c\x0e",
          "\xc3\x28",
          "{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{",
          "}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}"};
}

// Reads the text; a document the reader gives must be written and read back whole.
bool ReadChecked(const std::string& rtf, richdoc::Document& d) {
  try {
    d.ReadRtf(rtf);
  } catch (const richdoc::RtfError&) {
    return false;
  } catch (const std::exception& e) {
    ADD_FAILURE() << "not an RtfError: " << e.what();
    return false;
  }
  EXPECT_EQ(d.Length(), int(d.charFormat.size()));
  EXPECT_EQ(d.Length(), int(d.paraFormat.size()));
  EXPECT_EQ(d.Length(), int(d.extra.size()));
  EXPECT_TRUE(!d.text.empty() && d.text.back() == richdoc::kPara);
  richdoc::Document again;
  const std::string written = d.WriteRtf();
  try {
    again.ReadRtf(written);
  } catch (const std::exception& e) {
    ADD_FAILURE() << "what was written does not read: " << e.what();
    return false;
  }
  EXPECT_EQ(again.text, d.text) << "written text differs";
  return true;
}

class RichFuzzTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(parent_.CreateEx(0, "Static", "host", WS_POPUP | WS_VISIBLE, CRect(0, 0, 420, 300), nullptr, 0));
    ASSERT_TRUE(edit_.Create(WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, CRect(0, 0, 400, 280), &parent_, 4677));
    dir_ = std::filesystem::path(::testing::TempDir()) / ("richfuzz_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::filesystem::remove_all(dir_);
    WindowTest::TearDown();
  }
  // Shows the document in the control at a zoom and size of the case, and paints it.
  void Show(const std::string& rtf, fuzz::Mutator& m) {
    std::string error;
    if (!edit_.StreamInRtf(rtf, false, &error)) {
      ADD_FAILURE() << "the control refuses what the reader read: " << error;
      return;
    }
    static const int zooms[] = {0, 1, 10, 64, 100, 500};
    const int zoom = m.From(zooms);
    edit_.SetZoom(zoom, zoom == 0 ? 0 : 100);
    static const int sizes[] = {0, 1, 3, 200, 400, 2000};
    edit_.MoveWindow(0, 0, m.From(sizes), m.From(sizes));
    const win::Image image = win::RenderWindow(edit_.m_hWnd);
    EXPECT_EQ(image.pixels.size(), std::size_t(image.width) * std::size_t(image.height));
    const long end = edit_.GetTextLength();
    edit_.SetSel(long(m.Pick(std::size_t(end + 2))), -1);
    EXPECT_LE(edit_.GetSelText().GetLength(), edit_.GetPlainText().GetLength());
  }
  void Print(const richdoc::Document& d) {
    const std::string pdf = (dir_ / "fuzz.pdf").string();
    std::string error;
    EXPECT_TRUE(richedit::PrintToPdf(d, pdf, "Fuzz", &error)) << error;
    EXPECT_EQ(ReadFile(pdf).compare(0, 5, "%PDF-"), 0);
  }
  CWnd parent_;
  CRichEditCtrl edit_;
  std::filesystem::path dir_;
};

TEST_F(RichFuzzTest, AMutatedReportReadsOrIsRefusedAndWhatReadsIsShownAndPrinted) {
  std::vector<std::string> seeds = HandMade();
  seeds.push_back(Report());
  ASSERT_GT(seeds.back().size(), 1000u);
  const std::vector<std::string> words = RtfWords();
  int read = 0;
  const int cases = fuzz::RunCases(1000, [&](unsigned seed) {
    fuzz::Mutator m(seed);
    // Reports are mutated in their excerpts: a slice of the body behind the report's own head.
    std::string base = seeds[m.Pick(seeds.size())];
    if (base.size() > 60000) {
      const std::size_t body = base.find("\\pard");
      const std::size_t from = body + m.Pick(base.size() - body), n = 2000 + m.Pick(40000);
      base = base.substr(0, body) + base.substr(from, n) + "}";
    }
    const std::string rtf = m.Mutate(base, words, 8);
    richdoc::Document d;
    if (!ReadChecked(rtf, d)) return;
    ++read;
    if (m.Chance(3)) Show(rtf, m);
    if (m.Chance(12)) Print(d);
  });
  // Most mutations leave a text that reads: the fuzz reaches the layout, not only the refusal.
  EXPECT_GT(read, cases / 4) << read << " of " << cases;
}

// A PNG of the layout asked for, its pixels random; the filter of each row random too.
std::string RandomPng(fuzz::Mutator& m, std::uint32_t w, std::uint32_t h, int colour, int depth, bool interlaced) {
  auto be32 = [](std::uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
  std::string png("\x89PNG\r\n\x1a\n", 8);
  auto chunk = [&](const std::string& type, const std::string& data) {
    const std::string body = type + data;
    png += be32(std::uint32_t(data.size())) + body +
           be32(std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
  };
  chunk("IHDR", be32(w) + be32(h) + std::string{char(depth), char(colour), 0, 0, char(interlaced ? 1 : 0)});
  const int channels = colour == 2 ? 3 : colour == 4 ? 2 : colour == 6 ? 4 : 1;
  if (colour == 3) {
    std::string palette;
    for (std::size_t k = 3 * (1 + m.Pick(256)); k > 0; --k) palette += char(m.Pick(256));
    chunk("PLTE", palette);
  }
  if (m.Chance(4)) {
    std::string trns;
    for (std::size_t k = 1 + m.Pick(colour == 3 ? 256 : 6); k > 0; --k) trns += char(m.Pick(256));
    chunk("tRNS", trns);
  }
  std::string raw;
  // The passes of an interlaced picture (start and step in x and y), or the whole picture once.
  static const int pass[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                 {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
  for (int p = 0; p < (interlaced ? 7 : 1); ++p) {
    const std::uint32_t x0 = interlaced ? pass[p][0] : 0, y0 = interlaced ? pass[p][1] : 0;
    const std::uint32_t dx = interlaced ? pass[p][2] : 1, dy = interlaced ? pass[p][3] : 1;
    if (w <= x0 || h <= y0) continue;
    const std::uint32_t pw = (w - x0 + dx - 1) / dx, ph = (h - y0 + dy - 1) / dy;
    const std::size_t rowBytes = (std::size_t(pw) * std::size_t(channels) * std::size_t(depth) + 7) / 8;
    for (std::uint32_t y = 0; y < ph; ++y) {
      raw += char(m.Pick(5));
      for (std::size_t k = 0; k < rowBytes; ++k) raw += char(m.Pick(256));
    }
  }
  uLongf size = compressBound(uLong(raw.size()));
  std::string z(size, '\0');
  compress(reinterpret_cast<Bytef*>(z.data()), &size, reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size()));
  z.resize(size);
  // One IDAT or several.
  for (std::size_t at = 0; at < z.size();) {
    const std::size_t n = m.Chance(2) ? z.size() - at : 1 + m.Pick(z.size() - at);
    chunk("IDAT", z.substr(at, n));
    at += n;
  }
  chunk("IEND", "");
  return png;
}

// A PNG of a valid layout, made and then often broken: cut short, bits flipped, its header's size set to another
// (its check sum mended or not).
std::string FuzzPng(fuzz::Mutator& m) {
  static const int layouts[][2] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                                   {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
  const auto& layout = m.From(layouts);
  const std::uint32_t w = 1 + std::uint32_t(m.Pick(m.Chance(5) ? 600 : 40));
  const std::uint32_t h = 1 + std::uint32_t(m.Pick(m.Chance(5) ? 600 : 40));
  std::string png = RandomPng(m, w, h, layout[0], layout[1], m.Chance(3));
  switch (m.Pick(5)) {
    case 0: return png;
    case 1: png.resize(m.Pick(png.size())); return png;
    case 2: return m.Mutate(png, {}, 4);
    default: {
      static const std::uint32_t sizes[] = {0,          1,         2, 7, 8, 9, 1000, 65535, 1u << 20, (1u << 20) + 1,
                                            0x7fffffff, 0xffffffff};
      auto put = [&](std::size_t at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k) png[at + std::size_t(k)] = char(v >> (24 - 8 * k));
      };
      if (m.Chance(2)) put(16, m.From(sizes));
      if (m.Chance(2)) put(20, m.From(sizes));
      if (m.Chance(2)) {
        const std::uint32_t crc = std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17));
        put(29, crc);
      }
      return png;
    }
  }
}

using rtf_test::Canvas;

TEST(PngFuzz, ABrokenOrLyingPngIsReducedWithinItsBoundsOrRefused) {
  Canvas canvas(64, 48);
  int decoded = 0;
  const int cases = fuzz::RunCases(5000, [&](unsigned seed) {
    fuzz::Mutator m(seed);
    const std::string png = FuzzPng(m);
    static const int limits[] = {0, 1, 2, 5, 37, 600, 100000, INT_MAX};
    const int mw = m.From(limits), mh = m.From(limits);
    const richedit::detail::ReducedPicture r = richedit::detail::ReadPngReduced(png, mw, mh, std::size_t(32) << 20);
    if (!r.pixels.empty()) {
      ++decoded;
      EXPECT_TRUE(r.width >= 1 && r.width <= mw && r.height >= 1 && r.height <= mh) << r.width << " x " << r.height;
      EXPECT_EQ(r.pixels.size(), std::size_t(r.width) * std::size_t(r.height));
      for (std::uint32_t px : r.pixels) EXPECT_EQ(px >> 24, 0u) << "not 0x00RRGGBB";
    }
    // Drawn through the picture group, at sizes from nothing to far beyond the canvas.
    static const long edges[] = {0, 1, 2, 30, 64, 5000, 1L << 20};
    const long x = long(m.Pick(70)) - 3, y = long(m.Pick(50)) - 3;
    RECT box;
    box.left = LONG(x);
    box.top = LONG(y);
    box.right = LONG(x + m.From(edges));
    box.bottom = LONG(y + m.From(edges));
    static const char* const words[] = {"", "\\picw5\\pich5", "\\picwgoal99999999\\pichgoal1", "\\picscalex0"};
    richedit::DrawPicture(canvas.dc(), box, rtf_test::PictGroup(png, m.From(words)));
  });
  EXPECT_GT(decoded, cases / 10) << decoded << " of " << cases;
}

}  // namespace
