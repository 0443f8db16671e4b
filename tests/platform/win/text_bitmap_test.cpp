// Text layout formats, bitmap bits, transparent blits and metafiles holding text, objects and clipping.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/win/dialogs/wintest.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class Canvas {
 public:
  Canvas(int w, int h) : width(w), height(h) {
    dc.CreateCompatibleDC(nullptr);
    bitmap.CreateBitmap(w, h, 1, 32, nullptr);
    old = dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, w, h, kWhite);
    font.CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    dc.SelectObject(&font);
  }
  ~Canvas() { dc.SelectObject(old); }
  COLORREF At(int x, int y) const { return win::PeekPixel(dc.m_hDC, x, y); }
  // The inked columns' range: leftmost and rightmost non-white pixel, -1 when blank.
  std::pair<int, int> InkColumns() const {
    int lo = -1, hi = -1;
    for (int x = 0; x < width; ++x)
      for (int y = 0; y < height; ++y)
        if (At(x, y) != kWhite) {
          if (lo < 0) lo = x;
          hi = x;
        }
    return {lo, hi};
  }
  std::pair<int, int> InkRows() const {
    int lo = -1, hi = -1;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (At(x, y) != kWhite) {
          if (lo < 0) lo = y;
          hi = y;
        }
    return {lo, hi};
  }
  int width, height;
  CDC dc;
  CBitmap bitmap;
  CFont font;
  CBitmap* old = nullptr;
};

TEST(TextLayout, RightAndCentreAlignmentPlaceTheInk) {
  Canvas left(200, 20), right(200, 20), centre(200, 20);
  CRect r(0, 0, 200, 20);
  left.dc.DrawText("Feld", -1, &r, DT_SINGLELINE | DT_LEFT);
  right.dc.DrawText("Feld", -1, &r, DT_SINGLELINE | DT_RIGHT);
  centre.dc.DrawText("Feld", -1, &r, DT_SINGLELINE | DT_CENTER);
  auto [l0, l1] = left.InkColumns();
  auto [r0, r1] = right.InkColumns();
  auto [c0, c1] = centre.InkColumns();
  ASSERT_GE(l0, 0);
  EXPECT_LT(l0, 3);
  EXPECT_GT(r1, 196);
  EXPECT_EQ(r1 - r0, l1 - l0) << "the same text, moved";
  EXPECT_NEAR((c0 + c1) / 2.0, 100.0, 3.0);
}

TEST(TextLayout, BottomAlignmentPutsTheLineAtTheBottom) {
  Canvas top(100, 60), bottom(100, 60);
  CRect r(0, 0, 100, 60);
  top.dc.DrawText("Last", -1, &r, DT_SINGLELINE | DT_TOP);
  int offset = bottom.dc.DrawText("Last", -1, &r, DT_SINGLELINE | DT_BOTTOM);
  TEXTMETRIC tm;
  bottom.dc.GetTextMetrics(&tm);
  EXPECT_EQ(offset, 60) << "offset of the line plus its height";
  EXPECT_EQ(bottom.InkRows().first - top.InkRows().first, 60 - tm.tmHeight);
}

TEST(TextLayout, NewLinesMakeLinesUnlessSingleLine) {
  Canvas c(200, 100);
  TEXTMETRIC tm;
  c.dc.GetTextMetrics(&tm);
  CRect r(0, 0, 200, 0);
  EXPECT_EQ(c.dc.DrawText("eins\r\nzwei\ndrei", -1, &r, DT_CALCRECT), 3 * tm.tmHeight);
  CRect one(0, 0, 200, 0);
  EXPECT_EQ(c.dc.DrawText("eins\r\nzwei", -1, &one, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);
  // The calculated width is the widest line's.
  CRect w(0, 0, 0, 0);
  c.dc.DrawText("a\nbreiteste Zeile\nb", -1, &w, DT_CALCRECT);
  EXPECT_EQ(w.Width(), c.dc.GetTextExtent("breiteste Zeile", 15).cx);
}

TEST(TextLayout, TextIsClippedToItsRectangleUnlessNoClip) {
  Canvas clipped(200, 30), free(200, 30);
  CRect r(0, 0, 20, 20);
  clipped.dc.DrawText("Bemessungswert", -1, &r, DT_SINGLELINE);
  free.dc.DrawText("Bemessungswert", -1, &r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_LT(clipped.InkColumns().second, 20);
  EXPECT_GT(free.InkColumns().second, 40);
}

TEST(TextLayout, PathEllipsisKeepsTheFileName) {
  Canvas c(300, 30);
  const char* path = "C:\\Projekte\\Hochhaus\\Stuetzen\\Pos1.tqx";
  int full = c.dc.GetTextExtent(path, int(std::strlen(path))).cx;
  int name = c.dc.GetTextExtent("\\Pos1.tqx", 9).cx;
  CRect r(0, 0, name + (full - name) / 2, 20);
  CRect calc = r;
  c.dc.DrawText(path, -1, &calc, DT_CALCRECT | DT_SINGLELINE | DT_PATH_ELLIPSIS);
  EXPECT_LE(calc.Width(), r.Width());
  EXPECT_GT(calc.Width(), name);
}

// A pasted text of 200,000 characters shortened to its cell, or broken into lines: the fitting start is found by
// halving its length (measured a character at a time, this took hours).
TEST(TextLayout, AVeryLongTextIsShortenedAndBrokenToItsRoom) {
  Canvas c(300, 30);
  const std::string digits(200000, '7');
  const int dots = c.dc.GetTextExtent("...", 3).cx, seven = c.dc.GetTextExtent("7", 1).cx;
  CRect calc(0, 0, 88, 20);
  c.dc.DrawText(digits.c_str(), -1, &calc, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
  // As many sevens as fit before the dots: the room less one seven at most.
  EXPECT_LE(calc.Width(), 88);
  EXPECT_GT(calc.Width(), 88 - seven);
  EXPECT_GE(calc.Width(), dots + seven);
  // Broken into lines of the room's width (an edit control breaks words): 20,000 sevens, 88 / seven to a line.
  CRect broken(0, 0, 88, 20);
  const std::string word(20000, '7');
  const int height = c.dc.DrawText(word.c_str(), -1, &broken, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL);
  TEXTMETRIC tm;
  c.dc.GetTextMetrics(&tm);
  EXPECT_EQ(height / tm.tmHeight, (20000 + 88 / seven - 1) / (88 / seven));
}

TEST(TextLayout, TabsExpandToEightAverageCharacters) {
  Canvas c(300, 30);
  TEXTMETRIC tm;
  c.dc.GetTextMetrics(&tm);
  CRect r(0, 0, 0, 0);
  c.dc.DrawText("\tx", -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
  int x = c.dc.GetTextExtent("x", 1).cx;
  EXPECT_GE(r.Width(), 8 * tm.tmAveCharWidth + x);
  EXPECT_LT(r.Width(), 8 * tm.tmAveCharWidth + x + c.dc.GetTextExtent(" ", 1).cx + 1);
}

TEST(TextLayout, UnderlinedFontDrawsALineUnderTheText) {
  Canvas plain(100, 30), underlined(100, 30);
  CFont u;
  u.CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 1, 0, 0, 0, 0, 0, 0, "Arial");
  underlined.dc.SelectObject(&u);
  plain.dc.TextOut(2, 2, "ab", 2);
  underlined.dc.TextOut(2, 2, "ab", 2);
  EXPECT_GT(underlined.InkRows().second, plain.InkRows().second);
}

// ---- Bitmaps --------------------------------------------------------------------------------------------------
TEST(BitmapBits, ColourBitsRoundTripAndMonochromeRowsArePadded) {
  CBitmap colour;
  std::vector<std::uint32_t> in = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456};
  colour.CreateBitmap(2, 2, 1, 32, in.data());
  std::vector<std::uint32_t> out(4);
  EXPECT_EQ(colour.GetBitmapBits(16, out.data()), 16u);
  EXPECT_EQ(out, in);
  BITMAP bm{};
  colour.GetBitmap(&bm);
  EXPECT_EQ(bm.bmWidth, 2);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  // A 3 x 2 monochrome bitmap has rows of 16 bits: bytes 0b101..., then the second row.
  CBitmap mono;
  const BYTE bits[4] = {0xA0, 0x00, 0x40, 0x00};
  mono.CreateBitmap(3, 2, 1, 1, bits);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap* old = dc.SelectObject(&mono);
  EXPECT_EQ(dc.GetPixel(0, 0), kWhite);
  EXPECT_EQ(dc.GetPixel(1, 0), RGB(0, 0, 0));
  EXPECT_EQ(dc.GetPixel(2, 0), kWhite);
  EXPECT_EQ(dc.GetPixel(1, 1), kWhite);
  dc.SelectObject(old);
  BYTE back[4] = {};
  mono.GetBitmapBits(4, back);
  EXPECT_EQ(std::memcmp(back, bits, 4), 0);
}

TEST(BitmapBits, ColourBitsAreReadRowByRowUpToTheSizeAsked) {
  // 37 x 5 pixels drawn one by one, with a solid fill through a clip of two rectangles and a patterned one.
  Canvas c(37, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 37; ++x) c.dc.SetPixel(x, y, RGB(x * 6, y * 50, (x * y) % 256));
  CRgn left, right;
  left.CreateRectRgn(1, 1, 4, 3);
  right.CreateRectRgn(30, 2, 36, 5);
  left.CombineRgn(&left, &right, RGN_OR);
  c.dc.SelectClipRgn(&left);
  CBrush blue(kBlue), hatch(HS_VERTICAL, kRed);
  CRect all(0, 0, 37, 5);
  c.dc.FillRect(&all, &blue);
  c.dc.SelectClipRgn(nullptr);
  CRect strip(10, 0, 20, 5);
  c.dc.FillRect(&strip, &hatch);
  auto expected = [](int x, int y) -> std::uint32_t {
    if ((x >= 1 && x < 4 && y >= 1 && y < 3) || (x >= 30 && x < 36 && y >= 2)) return 0x0000FF;  // blue
    if (x >= 10 && x < 20) return x % 8 == 0 ? 0xFF0000 : 0xFFFFFF;  // hatch lines on the white background
    return std::uint32_t(x * 6) << 16 | std::uint32_t(y * 50) << 8 | std::uint32_t((x * y) % 256);
  };
  // Two and a half rows asked: what fits, counted in bytes; the rest of the buffer untouched.
  std::vector<std::uint32_t> out(200, 0xDEADBEEF);
  EXPECT_EQ(c.bitmap.GetBitmapBits(4 * 92 + 3, out.data()), 4 * 92);
  for (int i = 0; i < 92; ++i) ASSERT_EQ(out[std::size_t(i)], expected(i % 37, i / 37)) << "pixel " << i;
  EXPECT_EQ(out[92], 0xDEADBEEFu);
  EXPECT_EQ(c.bitmap.GetBitmapBits(4 * 200, out.data()), 4 * 185) << "no more than the bitmap holds";
  for (int i = 0; i < 185; ++i) ASSERT_EQ(out[std::size_t(i)], expected(i % 37, i / 37)) << "pixel " << i;
}

TEST(BitmapBits, ASolidFillOfAMonochromeBitmapIsBlackOrWhite) {
  CBitmap mono;
  mono.CreateBitmap(16, 1, 1, 1, nullptr);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap* old = dc.SelectObject(&mono);
  CBrush dark(RGB(40, 40, 40)), light(RGB(220, 220, 220));
  CRect first(0, 0, 8, 1), second(8, 0, 16, 1);
  dc.FillRect(&first, &dark);
  dc.FillRect(&second, &light);
  dc.SelectObject(old);
  BYTE bits[2] = {};
  mono.GetBitmapBits(2, bits);
  EXPECT_EQ(bits[0], 0x00) << "dark: black";
  EXPECT_EQ(bits[1], 0xFF) << "light: white";
}

TEST(BitmapBits, TransparentBltLeavesTheKeyColourOut) {
  Canvas src(4, 1), dst(4, 1);
  src.dc.SetPixel(0, 0, kRed);
  src.dc.SetPixel(1, 0, kBlue);
  src.dc.SetPixel(2, 0, kRed);
  dst.dc.FillSolidRect(0, 0, 4, 1, RGB(0, 255, 0));
  dst.dc.TransparentBlt(0, 0, 4, 1, &src.dc, 0, 0, 4, 1, kRed);
  EXPECT_EQ(dst.At(0, 0), RGB(0, 255, 0));
  EXPECT_EQ(dst.At(1, 0), kBlue);
  EXPECT_EQ(dst.At(3, 0), kWhite);
}

TEST(BitmapBits, PatternInvertWithABlackBrushLeavesTheDestination) {
  Canvas c(4, 4);
  c.dc.FillSolidRect(0, 0, 4, 4, kRed);
  CBrush black(RGB(0, 0, 0)), white(kWhite);
  c.dc.SelectObject(&black);
  c.dc.PatBlt(0, 0, 4, 4, PATINVERT);  // D ^ 0 = D
  EXPECT_EQ(c.At(1, 1), kRed);
  c.dc.SelectObject(&white);
  c.dc.PatBlt(0, 0, 2, 4, PATINVERT);  // D ^ white = ~D
  EXPECT_EQ(c.At(1, 1), RGB(0, 255, 255));
  EXPECT_EQ(c.At(3, 1), kRed);
}

TEST(BitmapBits, CopyOntoItselfOverlappingMovesThePicture) {
  Canvas c(6, 1);
  c.dc.SetPixel(0, 0, kRed);
  c.dc.SetPixel(1, 0, kBlue);
  c.dc.BitBlt(1, 0, 5, 1, &c.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(c.At(1, 0), kRed);
  EXPECT_EQ(c.At(2, 0), kBlue);
}

// ---- Metafiles with text and state -------------------------------------------------------------------------------------
TEST(Metafile, TextFontsColoursAndClipPlayBackAsRecorded) {
  CMetaFileDC rec;
  CRect frameHimetric(0, 0, 2646, 530);  // 100 x 20 pixels at 96 per inch, in 0.01 mm
  ASSERT_TRUE(rec.CreateEnhanced(nullptr, nullptr, &frameHimetric, nullptr));
  CFont font;
  font.CreateFont(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  rec.SelectObject(&font);
  rec.SetTextColor(kRed);
  rec.SetBkMode(TRANSPARENT);
  rec.SaveDC();
  rec.IntersectClipRect(0, 0, 50, 20);
  rec.TextOut(0, 0, "MMMMMMMMMMMM", 12);
  rec.RestoreDC(-1);
  rec.FillSolidRect(90, 0, 10, 20, kBlue);
  HENHMETAFILE mf = rec.CloseEnhanced();
  font.DeleteObject();
  Canvas direct(100, 20), played(100, 20);
  CFont same;
  same.CreateFont(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  direct.dc.SelectObject(&same);
  direct.dc.SetTextColor(kRed);
  direct.dc.SetBkMode(TRANSPARENT);
  direct.dc.IntersectClipRect(0, 0, 50, 20);
  direct.dc.TextOut(0, 0, "MMMMMMMMMMMM", 12);
  direct.dc.SelectClipRgn(nullptr);
  direct.dc.FillSolidRect(90, 0, 10, 20, kBlue);
  CRect target(0, 0, 100, 20);
  played.dc.PlayMetaFile(mf, &target);
  int differing = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 100; ++x) differing += played.At(x, y) != direct.At(x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(played.InkColumns().second, 99);
  EXPECT_EQ(played.At(60, 10), kWhite) << "the text was clipped at 50 while it was recorded";
  // The playing DC's own state is back as it was.
  EXPECT_EQ(played.dc.GetTextColor(), RGB(0, 0, 0));
  EXPECT_EQ(played.dc.GetMapMode(), MM_TEXT);
  DeleteEnhMetaFile(mf);
}

}  // namespace
