// What the rich-text control shows of a report: its PNG pictures at their size, the Symbol font's letters as the
// Greek letters they stand for, and scroll bars that reach the foot of the text and the right edge of a wide table.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>

#include "platform/richedit/picture.h"
#include "platform/richedit/richeditctrl.h"
#include "platform/win/dialogs/wintest.h"
#include "platform/win/screen/headless.h"
#include "tests/platform/richedit/rtf_pictures.h"

namespace {

const char* const kFonts = "{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\ftech\\fcharset2 Symbol;}}";

// The smallest rectangle holding every pixel of the picture that passes the test; empty when none does.
RECT BoundsOf(const win::Image& image, const std::function<bool(std::uint32_t)>& hit) {
  RECT r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (hit(image.pixels[std::size_t(y * image.width + x)])) {
        r.left = std::min(r.left, LONG(x));
        r.top = std::min(r.top, LONG(y));
        r.right = std::max(r.right, LONG(x + 1));
        r.bottom = std::max(r.bottom, LONG(y + 1));
      }
  if (r.right < r.left) r = {0, 0, 0, 0};
  return r;
}

bool Green(std::uint32_t px) { return px == 0x00A000u; }  // the test pictures' colour: red 0, green 160, blue 0
bool Dark(std::uint32_t px) { return (px & 0xFF) < 0x80 && ((px >> 8) & 0xFF) < 0x80 && (px >> 16) < 0x80; }

class DrawingTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    parent_.CreateEx(0, "Static", "host", WS_POPUP | WS_VISIBLE, CRect(0, 0, 420, 300), nullptr, 0);
  }
  void Make(DWORD style) { ASSERT_TRUE(edit_.Create(WS_VISIBLE | style, CRect(0, 0, 400, 280), &parent_, 4677)); }
  void Load(const std::string& rtf) { ASSERT_TRUE(edit_.StreamInRtf(rtf, false)); }
  CWnd parent_;
  CRichEditCtrl edit_;
};

TEST_F(DrawingTest, APngPictureIsDrawnAtTheSizeItAsksFor) {
  Make(0);
  const std::string png = rtf_test::PngOf(30, 20, 0, 160 / 255.0, 0);
  // A twip is a fifteenth of a pixel at 96 dpi: 1500 x 750 twips are 100 x 50 pixels.
  struct Case {
    const char* words;
    int zoom;  // percent
    int width, height;
  } cases[] = {
      {"\\picw30\\pich20\\picwgoal1500\\pichgoal750", 100, 100, 50},
      {"\\picw30\\pich20\\picwgoal1500\\pichgoal750\\picscalex50\\picscaley200", 100, 50, 100},
      {"\\picw30\\pich20", 100, 30, 20},  // without a goal size: its pixels at 96 dpi
      {"\\picw30\\pich20\\picwgoal1500\\pichgoal750", 200, 200, 100},
  };
  for (const Case& c : cases) {
    Load(std::string(kFonts) + "\\pard\\fs20 Bild\\par\r\n" + rtf_test::PictGroup(png, c.words) + "\\par}");
    edit_.SetZoom(c.zoom == 100 ? 0 : c.zoom, c.zoom == 100 ? 0 : 100);
    const win::Image image = win::RenderWindow(edit_.m_hWnd);
    const RECT r = BoundsOf(image, Green);
    EXPECT_EQ(r.right - r.left, c.width) << c.words << " at " << c.zoom << "%";
    EXPECT_EQ(r.bottom - r.top, c.height) << c.words << " at " << c.zoom << "%";
    // Every pixel inside is the picture's: it is drawn whole, not as a frame or a box of another colour.
    int inside = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) inside += Green(image.pixels[std::size_t(y * image.width + x)]);
    EXPECT_EQ(inside, c.width * c.height) << c.words;
    // It stands below the line of text, at the text's left edge.
    EXPECT_GT(r.top, 14) << c.words;
    EXPECT_LT(r.left, 8) << c.words;
  }
}

TEST(PictureSize, TheSizeAPictureGroupAsksFor) {
  struct Case {
    const char* group;
    int width, height;  // twips
    bool shown;
  } cases[] = {
      {"{\\pict\\pngblip\\picw600\\pich1000\\picwgoal3402\\pichgoal5669 89504e}", 3402, 5669, true},
      {"{\\pict\\pngblip\\picwgoal1000\\pichgoal500\\picscalex150\\picscaley40 89}", 1500, 200, true},
      // Without a goal: 40 x 20 pixels at 96 dpi are 600 x 300 twips; a metafile's 2540 hundredths of a millimetre
      // are an inch, 1440 twips.
      {"{\\pict\\pngblip\\picw40\\pich20 89}", 600, 300, true},
      {"{\\pict\\wmetafile8\\picw2540\\pich1270 01}", 1440, 720, true},
      // An object shows its result picture at that picture's size, else at its own.
      {"{\\object\\objemb\\objw100\\objh50{\\result{\\pict\\pngblip\\picwgoal800\\pichgoal400 89}}}", 800, 400, true},
      {"{\\object\\objemb\\objw100\\objh50{\\*\\objdata 0105}}", 100, 50, true},
      {"{\\*\\shppict{\\pict\\pngblip\\picwgoal700\\pichgoal300 89}}", 700, 300, true},
      {"{\\nonshppict{\\pict\\wmetafile8\\picwgoal700\\pichgoal300 01}}", 0, 0, false},
      // Sizes beyond 22 inches are held to 31680 twips; nothing overflows.
      {"{\\pict\\pngblip\\picwgoal99999999999\\pichgoal500\\picscaley99999999 89}", 31680, 31680, true},
      {"{\\pict\\pngblip\\picw99999999999\\pich40\\picscalex-50 89}", 0, 0, true},  // no width: no size
      {"{\\pict\\pngblip\\picw99999999999\\pich40 89}", 31680, 600, true},
      {"{\\pict\\pngblip\\picwgoal1000", 0, 0, true},  // not closed
  };
  for (const Case& c : cases) {
    const richedit::PictureSize size = richedit::PictureSizeOf(c.group);
    EXPECT_EQ(size.widthTwips, c.width) << c.group;
    EXPECT_EQ(size.heightTwips, c.height) << c.group;
    EXPECT_EQ(size.shown, c.shown) << c.group;
  }
}

TEST_F(DrawingTest, APictureThatCannotBeReadIsAGreyBoxOfItsSize) {
  Make(0);
  // The PNG ends after its header: 1134 x 1701 twips are 75.6 x 113.4, drawn as 76 x 113 pixels.
  Load(std::string(kFonts) +
       "\\pard{\\pict\\pngblip\\picw2\\pich3\\picwgoal1134\\pichgoal1701\r\n"
       "89504e470d0a1a0a0000000d4948445200000002000000030802000000}\\par}");
  const win::Image image = win::RenderWindow(edit_.m_hWnd);
  const RECT r = BoundsOf(image, [](std::uint32_t px) { return px == 0xDCDCDCu; });
  EXPECT_EQ(r.right - r.left, 76);
  EXPECT_EQ(r.bottom - r.top, 113);
}

TEST_F(DrawingTest, TheParagraphsOfATableCellStandOneBelowTheOther) {
  Make(0);
  Load(std::string(kFonts) +
       "\\trowd\\trgaph70\\cellx2000\\cellx4000\\pard\\intbl\\fs20 eins\\par zwei\\par drei\\cell rechts\\cell\\row\r\n"
       "\\pard unten\\par}");
  const win::Image image = win::RenderWindow(edit_.m_hWnd);
  // Bands of rows with dark pixels under the first letters of the lines: in the first cell, whose text starts 4
  // pixels in, and in the second, 2000 twips = 133 pixels further right.
  auto bands = [&](int x0, int x1, int y0, int y1) {
    int count = 0;
    bool inBand = false;
    for (int y = y0; y < y1; ++y) {
      bool dark = false;
      for (int x = x0; x < x1; ++x) dark = dark || Dark(image.pixels[std::size_t(y * image.width + x)]);
      if (dark && !inBand) ++count;
      inBand = dark;
    }
    return count;
  };
  EXPECT_EQ(bands(4, 10, 0, image.height), 4) << "eins, zwei, drei in the cell and unten below the row";
  EXPECT_EQ(bands(138, 143, 0, image.height), 1) << "rechts, in the first line of the row";
}

// A row frames the cells it holds: under one definition of three cells (walls 1430, 2930 and 4430 twips in, less
// the gap: 99, 199 and 299 pixels, the left one 8), a row of three cells has all three walls and a row of one cell
// only its first.
TEST_F(DrawingTest, ARowFramesTheCellsItHolds) {
  Make(0);
  Load(std::string(kFonts) +
       "\\trowd\\trgaph70\\trleft140\\cellx1500\\cellx3000\\cellx4500\\pard\\intbl\\fs20 a\\cell b\\cell c\\cell"
       "\\row\r\n\\pard\\intbl x\\cell\\row\r\n\\pard\\intbl y\\cell\\row\r\n\\pard unten\\par}");
  const win::Image image = win::RenderWindow(edit_.m_hWnd);
  // The grey of a frame that names no borders, down the column of a wall.
  auto greyDown = [&](int x) {
    int n = 0;
    for (int y = 0; y < image.height; ++y) n += image.pixels[std::size_t(y * image.width + x)] == 0xA0A0A0u;
    return n;
  };
  const int left = greyDown(8), first = greyDown(99), second = greyDown(199), third = greyDown(299);
  ASSERT_GT(left, 0);
  // (a pixel more or less where a row's top or foot line ends at the wall)
  EXPECT_NEAR(first, left, 2) << "the first wall stands beside all three rows";
  EXPECT_GT(second, 0);
  EXPECT_LT(second, left / 2) << "the second and third walls stand beside the first row only";
  EXPECT_NEAR(third, second, 2);
  // Right of the last wall nothing of a frame.
  EXPECT_EQ(greyDown(310), 0);
}

// The longest run of pixels of the colour along a row (horizontal) or a column of the picture.
int LongestRun(const win::Image& image, bool horizontal, int at, std::uint32_t colour) {
  int longest = 0, run = 0;
  const int n = horizontal ? image.width : image.height;
  for (int k = 0; k < n; ++k) {
    const std::uint32_t px = image.pixels[std::size_t(horizontal ? at * image.width + k : k * image.width + at)];
    run = px == colour ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  return longest;
}

// Two cells 1500 and 3000 twips from the left with a gap of 70 twips: their walls stand at 4 + 1430 / 15 = 99 and
// 4 + 2930 / 15 = 199 pixels, the left one at 4 - 70 / 15 = 0 (the text's margin is 4 pixels). The editable text shows
// a table without borders in grey guides, the read-only one (a report's preview) shows no line; a row that names a
// foot for its first cell shows that line in black, and no wall.
TEST_F(DrawingTest, OnlyTheBordersARowNamesAreDrawn) {
  Make(0);
  const std::uint32_t grey = 0xA0A0A0u, black = 0x000000u;
  struct Case {
    const char* name;
    const char* borders;  // before the first cell's \cellx
    bool readOnly;
    bool greyWall, blackWall;  // a line down the wall at 99
    int greyFoot, blackFoot;   // the longest run along the row's foot
  } cases[] = {
      // grey from the left wall to the last: 0 to 199, less the pixel where the last wall meets it
      {"no borders, editable: grey guides", "", false, true, false, 199, 0},
      {"no borders, read-only: nothing", "", true, false, false, 0, 0},
      // black under the first cell: 0 to 99
      {"the first cell's foot, read-only", "\\clbrdrb\\brdrs\\brdrw10", true, false, false, 0, 99},
      {"the first cell's foot, editable: no guides", "\\clbrdrb\\brdrs\\brdrw10", false, false, false, 0, 99},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    edit_.SetReadOnly(c.readOnly);
    Load(std::string(kFonts) + "\\trowd\\trgaph70" + c.borders +
         "\\cellx1500\\cellx3000\\pard\\intbl\\fs20 a\\cell b\\cell\\row\\pard\\par}");
    const win::Image image = win::RenderWindow(edit_.m_hWnd);
    // the row's foot: the lowest line of the picture with a grey or black run
    int foot = -1;
    for (int y = 0; y < image.height; ++y)
      if (LongestRun(image, true, y, grey) > 50 || LongestRun(image, true, y, black) > 50) foot = y;
    const int greyWall = LongestRun(image, false, 99, grey), blackWall = LongestRun(image, false, 99, black);
    EXPECT_EQ(greyWall > 10, c.greyWall) << greyWall;
    EXPECT_EQ(blackWall > 10, c.blackWall) << blackWall;
    if (c.greyFoot == 0 && c.blackFoot == 0) {
      EXPECT_EQ(foot, -1) << "a line drawn for a table that names no border";
      continue;
    }
    ASSERT_GE(foot, 0);
    EXPECT_NEAR(LongestRun(image, true, foot, grey), c.greyFoot, 2);
    EXPECT_NEAR(LongestRun(image, true, foot, black), c.blackFoot, 2);
  }
}

// The dark pixels of a drawing, moved to the top left corner of their bounds.
std::vector<std::pair<int, int>> Shape(const win::Image& image) {
  const RECT r = BoundsOf(image, Dark);
  std::vector<std::pair<int, int>> out;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (Dark(image.pixels[std::size_t(y * image.width + x)])) out.emplace_back(x - r.left, y - r.top);
  return out;
}

// The letter as the window system draws it from its UTF-8 text in the text font, 27 pixels high (20 points).
std::vector<std::pair<int, int>> DrawnLetter(const char* utf8) {
  HDC memory = ::CreateCompatibleDC(nullptr);
  HBITMAP bitmap = ::CreateBitmap(60, 60, 1, 32, nullptr);
  HGDIOBJ oldBitmap = ::SelectObject(memory, bitmap);
  const RECT all{0, 0, 60, 60};
  ::FillRect(memory, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  HFONT font = ::CreateFont(-27, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  HGDIOBJ oldFont = ::SelectObject(memory, font);
  ::SetBkMode(memory, TRANSPARENT);
  ::TextOut(memory, 10, 10, utf8, int(std::strlen(utf8)));
  win::Image image;
  image.width = image.height = 60;
  image.pixels.resize(3600);
  ::GetBitmapBits(bitmap, LONG(image.pixels.size() * 4), image.pixels.data());
  ::SelectObject(memory, oldFont);
  ::DeleteObject(font);
  ::SelectObject(memory, oldBitmap);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  return Shape(image);
}

TEST_F(DrawingTest, TheSymbolFontsLettersAreShownAsGreekLetters) {
  Make(0);
  struct Case {
    const char* rtf;  // one letter at 20 points
    const char* shown;
  } cases[] = {
      {"{\\f1 e}", "\xce\xb5"},                // e in the Symbol font: epsilon
      {"{\\f1 {\\uc1\\u947 g}}", "\xce\xb3"},  // gamma as the report writes it
      {"{\\uc1\\u968 y}", "\xcf\x88"},         // psi in the text font
      {"{\\f1 n}", "\xce\xbd"},                // nu
      {"{\\f1 f}", "\xcf\x86"},                // phi
      {"e", "e"},                              // the same letter in another font stays itself
  };
  for (const Case& c : cases) {
    Load(std::string(kFonts) + "\\pard\\fs40 " + c.rtf + "\\par}");
    const std::vector<std::pair<int, int>> shown = Shape(win::RenderWindow(edit_.m_hWnd));
    ASSERT_FALSE(shown.empty()) << c.rtf;
    EXPECT_EQ(shown, DrawnLetter(c.shown)) << c.rtf;
  }
  EXPECT_NE(DrawnLetter("e"), DrawnLetter("\xce\xb5")) << "the comparison tells the letters apart";
}

// A table of three cells 3000, 6000 and 9000 twips wide from the left (the last cell's wall 8930 twips, 595 pixels,
// in) below a line of text, and 60 lines below it.
std::string WideTable() {
  std::string rtf = std::string(kFonts) + "\\pard\\fs20 Tabelle\\par\r\n";
  rtf +=
      "\\trowd\\trgaph70\\trleft0\\clbrdrl\\brdrs\\clbrdrr\\brdrs\\cellx3000\\clbrdrr\\brdrs\\cellx6000"
      "\\clbrdrr\\brdrs\\cellx9000\r\n\\pard\\intbl A\\cell B\\cell\\qr Ende\\cell\\row\r\n";
  for (int i = 1; i <= 60; ++i) rtf += "\\pard Zeile " + std::to_string(i) + "\\par\r\n";
  return rtf + "}";
}

TEST_F(DrawingTest, TheScrollBarsReachTheFootOfTheTextAndTheRightEdgeOfAWideTable) {
  Make(WS_VSCROLL | WS_HSCROLL);
  Load(WideTable());
  CRect client;
  edit_.GetClientRect(&client);
  SCROLLINFO h{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(::GetScrollInfo(edit_.m_hWnd, SB_HORZ, &h));
  // The table reaches 9000 twips = 600 pixels from the text's left edge, 4 pixels in; a margin beyond it.
  EXPECT_GE(h.nMax + 1, 4 + 600);
  EXPECT_LE(h.nMax + 1, 4 + 600 + 10);
  EXPECT_EQ(int(h.nPage), client.Width());
  // The wall right of "Ende" lies beyond the window at first.
  const int wall = 4 + 8930 / 15;
  ASSERT_GT(wall, client.Width());
  // Clicks on the horizontal bar's track, right of its thumb, page to the right until the bar ends.
  for (int i = 0; i < 5; ++i) win::input::Click(edit_.m_hWnd, client.Width() - 30, client.Height() + 8);
  ::GetScrollInfo(edit_.m_hWnd, SB_HORZ, &h);
  EXPECT_EQ(edit_.GetScrollX(), h.nMax + 1 - int(h.nPage)) << "the last position shows the right edge";
  EXPECT_EQ(h.nPos, edit_.GetScrollX());
  // Now the wall is drawn inside the window, and "Ende" left of it.
  const win::Image image = win::RenderWindow(edit_.m_hWnd);
  const int x = wall - edit_.GetScrollX();
  ASSERT_LT(x, client.Width());
  int wallPixels = 0, ende = 0;
  for (int y = 16; y < 40; ++y) {
    for (int dx = -1; dx <= 1; ++dx) wallPixels += Dark(image.pixels[std::size_t(y * image.width + x + dx)]);
    for (int e = x - 40; e < x - 3; ++e) ende += Dark(image.pixels[std::size_t(y * image.width + e)]);
  }
  EXPECT_GE(wallPixels, 12) << "the table's right wall";
  EXPECT_GT(ende, 20) << "the last cell's text";

  // The vertical bar: its range is the text's height, and its foot shows the last line.
  SCROLLINFO v{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
  ::GetScrollInfo(edit_.m_hWnd, SB_VERT, &v);
  EXPECT_GT(v.nMax + 1, 62 * 14) << "62 lines of at least 14 pixels";
  EXPECT_EQ(int(v.nPage), client.Height());
  edit_.SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(edit_.GetScrollY(), v.nMax + 1 - client.Height());
  edit_.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(edit_.GetScrollY(), v.nMax + 1 - client.Height()) << "no further than the foot";
  edit_.SendMessage(WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(edit_.GetScrollY(), v.nMax + 1 - client.Height() - 20);
  // A click on the bar's upper arrow scrolls a line up as well.
  win::input::Click(edit_.m_hWnd, client.Width() + 8, 5);
  EXPECT_EQ(edit_.GetScrollY(), v.nMax + 1 - client.Height() - 40);
  edit_.SendMessage(WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(edit_.GetScrollY(), 0);
}

// Words of different sizes on one line stand on one baseline: the lowest dark pixel of letters without descenders
// lies on the same row for a 10-point, a 28-point and a 14-point word of letters with flat feet, at any zoom.
TEST_F(DrawingTest, WordsOfDifferentSizesStandOnOneBaseline) {
  Make(0);
  Load(std::string(kFonts) + "\\pard\\fs20 hin \\fs56 HILFE \\fs28 FELD\\par}");
  for (int zoom : {100, 150}) {
    edit_.SetZoom(zoom == 100 ? 0 : zoom, zoom == 100 ? 0 : 100);
    const win::Image image = win::RenderWindow(edit_.m_hWnd);
    // The columns of each word, from the start of its first letter to that of the blank after it.
    auto foot = [&](long from, long to) {
      const int x0 = edit_.PosFromChar(from).x, x1 = edit_.PosFromChar(to).x;
      int lowest = -1;
      for (int y = 0; y < image.height; ++y)
        for (int x = std::max(0, x0); x < std::min(x1, image.width); ++x)
          if (Dark(image.pixels[std::size_t(y * image.width + x)])) lowest = y;
      return lowest;
    };
    const int small = foot(0, 3), big = foot(4, 9), middle = foot(10, 14);
    ASSERT_GT(small, 0) << zoom;
    // A pixel for the letters' antialiased feet; aligned at their tops, the feet lay 16 pixels and more apart.
    EXPECT_NEAR(small, big, 1) << "at " << zoom << "%";
    EXPECT_NEAR(middle, big, 1) << "at " << zoom << "%";
  }
}

}  // namespace
