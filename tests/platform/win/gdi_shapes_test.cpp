// More of GDI: regions, mix modes, saved states, brushes, shapes, edges, text placement, the Symbol font.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/win/dialogs/wintest.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

class Canvas {
 public:
  Canvas(int w, int h) : width(w), height(h) {
    dc.CreateCompatibleDC(nullptr);
    bitmap.CreateBitmap(w, h, 1, 32, nullptr);
    old = dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, w, h, kWhite);
  }
  ~Canvas() { dc.SelectObject(old); }
  COLORREF At(int x, int y) const { return win::PeekPixel(dc.m_hDC, x, y); }
  int Count(COLORREF c) const {
    int n = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) n += At(x, y) == c;
    return n;
  }
  int width, height;
  CDC dc;
  CBitmap bitmap;
  CBitmap* old = nullptr;
};

// ---- Regions ---------------------------------------------------------------------------------------------------
struct RgnCase {
  int mode;
  int expectedComplexity;
  bool in5, in15, in25;  // points (5,5), (15,5), (25,5) inside the result
};

class RegionCombine : public ::testing::TestWithParam<RgnCase> {};

TEST_P(RegionCombine, CombinesTwoOverlappingRectangles) {
  // a = [0, 20) x [0, 10), b = [10, 30) x [0, 10)
  CRgn a, b, out;
  a.CreateRectRgn(0, 0, 20, 10);
  b.CreateRectRgn(10, 0, 30, 10);
  out.CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(out.CombineRgn(&a, &b, GetParam().mode), GetParam().expectedComplexity);
  EXPECT_EQ(bool(out.PtInRegion(5, 5)), GetParam().in5);
  EXPECT_EQ(bool(out.PtInRegion(15, 5)), GetParam().in15);
  EXPECT_EQ(bool(out.PtInRegion(25, 5)), GetParam().in25);
}

INSTANTIATE_TEST_SUITE_P(Modes, RegionCombine,
                         ::testing::Values(RgnCase{RGN_AND, SIMPLEREGION, false, true, false},
                                           RgnCase{RGN_OR, SIMPLEREGION, true, true, true},  // one rectangle [0, 30)
                                           RgnCase{RGN_XOR, COMPLEXREGION, true, false, true},
                                           RgnCase{RGN_DIFF, SIMPLEREGION, true, false, false}));

TEST(GdiRegion, EllipseRegionHoldsItsCentreButNotItsCorners) {
  CRgn e;
  e.CreateEllipticRgn(0, 0, 20, 10);
  EXPECT_TRUE(e.PtInRegion(10, 5));
  EXPECT_FALSE(e.PtInRegion(0, 0));
  EXPECT_FALSE(e.PtInRegion(19, 9));
  CRect box;
  EXPECT_EQ(e.GetRgnBox(&box), COMPLEXREGION);
  EXPECT_EQ(box.Height(), 10);
  e.OffsetRgn(100, 0);
  EXPECT_TRUE(e.PtInRegion(110, 5));
}

TEST(GdiRegion, ClipRegionLimitsDrawingAndClipBoxReportsIt) {
  Canvas c(30, 30);
  CRgn clip;
  clip.CreateRectRgn(5, 5, 15, 15);
  c.dc.SelectClipRgn(&clip);
  c.dc.FillSolidRect(0, 0, 30, 30, kRed);
  EXPECT_EQ(c.Count(kRed), 100);
  CRect box;
  c.dc.GetClipBox(&box);
  EXPECT_EQ(box, CRect(5, 5, 15, 15));
  c.dc.SelectClipRgn(nullptr);
  c.dc.FillSolidRect(0, 0, 1, 1, kGreen);
  EXPECT_EQ(c.At(0, 0), kGreen);
}

TEST(GdiRegion, FillFrameAndInvertWorkOnTheRegionsPixels) {
  Canvas c(30, 30);
  CRgn a, b, l;
  a.CreateRectRgn(0, 0, 20, 10);
  b.CreateRectRgn(0, 10, 10, 20);
  l.CreateRectRgn(0, 0, 0, 0);
  l.CombineRgn(&a, &b, RGN_OR);  // an L: 200 + 100 pixels
  CBrush red(kRed);
  c.dc.FillRgn(&l, &red);
  EXPECT_EQ(c.Count(kRed), 300);
  c.dc.InvertRgn(&l);
  EXPECT_EQ(c.Count(RGB(0, 255, 255)), 300);
  Canvas f(30, 30);
  CBrush green(kGreen);
  f.dc.FrameRgn(&l, &green, 1, 1);
  // The outline of the L: its boundary pixels only.
  EXPECT_EQ(f.At(0, 0), kGreen);
  EXPECT_EQ(f.At(19, 5), kGreen);
  EXPECT_EQ(f.At(5, 5), kWhite);
  EXPECT_EQ(f.At(9, 15), kGreen);
  EXPECT_EQ(f.At(5, 15), kWhite);
  EXPECT_EQ(f.At(15, 15), kWhite) << "outside the L";
}

// ---- States ---------------------------------------------------------------------------------------------------------
TEST(GdiState, RestoreDCBringsBackColoursObjectsAndClip) {
  Canvas c(20, 20);
  c.dc.SetTextColor(kRed);
  int saved = c.dc.SaveDC();
  CPen pen(PS_SOLID, 1, kGreen);
  c.dc.SelectObject(&pen);
  c.dc.SetTextColor(kBlack);
  c.dc.IntersectClipRect(0, 0, 2, 2);
  ASSERT_TRUE(c.dc.RestoreDC(saved));
  EXPECT_EQ(c.dc.GetTextColor(), kRed);
  c.dc.MoveTo(0, 10);
  c.dc.LineTo(20, 10);
  EXPECT_EQ(c.At(15, 10), kBlack) << "the stock black pen is back and the clip is gone";
}

TEST(GdiState, NotMixModeInvertsAndTwiceRestores) {
  Canvas c(20, 5);
  c.dc.FillSolidRect(0, 0, 10, 5, kRed);
  c.dc.SetROP2(R2_NOT);
  for (int pass = 0; pass < 2; ++pass) {
    c.dc.MoveTo(0, 2);
    c.dc.LineTo(20, 2);
    if (pass == 0) {
      EXPECT_EQ(c.At(3, 2), RGB(0, 255, 255));  // ~red
      EXPECT_EQ(c.At(15, 2), kBlack);           // ~white
    }
  }
  EXPECT_EQ(c.At(3, 2), kRed);
  EXPECT_EQ(c.At(15, 2), kWhite);
}

TEST(GdiState, FocusRectangleDrawnTwiceLeavesNoTrace) {
  Canvas c(20, 20);
  CRect r(2, 2, 18, 18);
  c.dc.DrawFocusRect(&r);
  EXPECT_GT(c.Count(kBlack), 10);
  c.dc.DrawFocusRect(&r);
  EXPECT_EQ(c.Count(kWhite), 400);
}

// ---- Brushes and shapes ------------------------------------------------------------------------------------------------
TEST(GdiBrush, HatchBrushDrawsItsLinesOnTheBackgroundColour) {
  Canvas c(16, 16);
  CBrush hatch(HS_HORIZONTAL, kRed);
  c.dc.SetBkColor(kGreen);
  CRect all(0, 0, 16, 16);
  c.dc.FillRect(&all, &hatch);
  // One line in every eight rows, aligned to the device origin.
  EXPECT_EQ(c.At(3, 0), kRed);
  EXPECT_EQ(c.At(3, 8), kRed);
  EXPECT_EQ(c.At(3, 1), kGreen);
  EXPECT_EQ(c.Count(kRed), 2 * 16);
}

TEST(GdiShape, EllipseIsSymmetricAndStaysInItsRectangle) {
  Canvas c(30, 30);
  CBrush red(kRed);
  c.dc.SelectObject(&red);
  c.dc.SelectStockObject(NULL_PEN);
  c.dc.Ellipse(5, 5, 25, 25);
  int n = c.Count(kRed);
  // The area of a circle of radius 10 is 314; pixel rounding keeps it close.
  EXPECT_NEAR(n, 314, 20);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      if (c.At(x, y) != kRed) continue;
      EXPECT_TRUE(x >= 5 && x < 25 && y >= 5 && y < 25) << x << "," << y;
      EXPECT_EQ(c.At(29 - x, y), kRed) << "mirror of " << x << "," << y;
    }
}

TEST(GdiShape, PolygonFillsItsInteriorWithTheBrush) {
  Canvas c(20, 20);
  CBrush red(kRed);
  c.dc.SelectObject(&red);
  c.dc.SelectStockObject(NULL_PEN);
  POINT square[] = {{2, 2}, {12, 2}, {12, 12}, {2, 12}};
  c.dc.Polygon(square, 4);
  EXPECT_EQ(c.Count(kRed), 100);
  EXPECT_EQ(c.At(2, 2), kRed);
  EXPECT_EQ(c.At(12, 12), kWhite);
}

TEST(GdiShape, SunkenEdgeIsShadowAboveAndHighlightBelow) {
  Canvas c(20, 20);
  CRect r(0, 0, 20, 20);
  c.dc.DrawEdge(&r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  EXPECT_EQ(c.At(5, 0), GetSysColor(COLOR_3DSHADOW));
  EXPECT_EQ(c.At(0, 5), GetSysColor(COLOR_3DSHADOW));
  EXPECT_EQ(c.At(5, 19), GetSysColor(COLOR_3DHILIGHT));
  EXPECT_EQ(c.At(5, 1), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(r, CRect(2, 2, 18, 18)) << "BF_ADJUST leaves the inner rectangle";
}

TEST(GdiShape, Draw3dRectPutsTheColoursOnTheRightSides) {
  Canvas c(10, 10);
  c.dc.Draw3dRect(0, 0, 10, 10, kRed, kGreen);
  EXPECT_EQ(c.At(0, 0), kRed);
  EXPECT_EQ(c.At(5, 0), kRed);
  EXPECT_EQ(c.At(0, 5), kRed);
  EXPECT_EQ(c.At(9, 5), kGreen);
  EXPECT_EQ(c.At(5, 9), kGreen);
  EXPECT_EQ(c.At(5, 5), kWhite);
}

TEST(GdiShape, WidePenDrawsAThickLine) {
  Canvas c(30, 30);
  CPen thick(PS_SOLID, 5, kBlack);
  c.dc.SelectObject(&thick);
  c.dc.MoveTo(5, 15);
  c.dc.LineTo(25, 15);
  EXPECT_EQ(c.At(15, 13), kBlack);
  EXPECT_EQ(c.At(15, 17), kBlack);
  EXPECT_EQ(c.At(15, 19), kWhite);
}

// ---- Text --------------------------------------------------------------------------------------------------------------
TEST(GdiText, AlignmentMovesTheReferencePoint) {
  Canvas c(200, 60);
  CFont font;
  font.CreateFont(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  c.dc.SelectObject(&font);
  c.dc.SetBkMode(OPAQUE);
  c.dc.SetBkColor(kGreen);
  CSize size = c.dc.GetTextExtent("Wand", 4);
  c.dc.SetTextAlign(TA_RIGHT | TA_TOP);
  c.dc.TextOut(150, 10, "Wand", 4);
  // The opaque box spans exactly [150 - width, 150) horizontally and one line vertically.
  EXPECT_EQ(c.At(150 - size.cx, 10), kGreen);
  EXPECT_EQ(c.At(150, 10), kWhite);
  EXPECT_EQ(c.At(150 - size.cx - 1, 10), kWhite);
  EXPECT_EQ(c.At(149, 10 + size.cy - 1), kGreen);
  EXPECT_EQ(c.At(149, 10 + size.cy), kWhite);
}

TEST(GdiText, SymbolFontShowsGreekLettersForLatinCodes) {
  // "a" in the Symbol font is drawn exactly as "α" in a plain font, and not as "a".
  auto draw = [](const char* face, BYTE charset, const char* text, Canvas& c) {
    CFont font;
    font.CreateFont(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, charset, 0, 0, 0, 0, face);
    CFont* old = c.dc.SelectObject(&font);
    c.dc.TextOut(2, 2, text, int(std::strlen(text)));
    c.dc.SelectObject(old);
  };
  Canvas symbol(30, 30), greek(30, 30), latin(30, 30);
  draw("Symbol", SYMBOL_CHARSET, "a", symbol);
  draw("Arial", ANSI_CHARSET, "α", greek);
  draw("Arial", ANSI_CHARSET, "a", latin);
  int sameAsGreek = 0, sameAsLatin = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      sameAsGreek += symbol.At(x, y) == greek.At(x, y);
      sameAsLatin += symbol.At(x, y) == latin.At(x, y);
    }
  EXPECT_EQ(sameAsGreek, 900);
  EXPECT_LT(sameAsLatin, 900);
}

TEST(GdiText, Windows1252TextIsShownAsItsCharacters) {
  Canvas c(100, 30);
  // "\xFC" alone is no UTF-8: it is read as Windows-1252 'ü'.
  CSize raw = c.dc.GetTextExtent("St\xFCtze", 6);
  CSize utf8 = c.dc.GetTextExtent("Stütze", int(std::strlen("Stütze")));
  EXPECT_EQ(raw.cx, utf8.cx);
}

TEST(GdiText, BoldTextIsWiderThanRegular) {
  Canvas c(200, 30);
  CFont regular, bold;
  regular.CreateFont(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  bold.CreateFont(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  c.dc.SelectObject(&regular);
  int r = c.dc.GetTextExtent("Stahlbeton", 10).cx;
  c.dc.SelectObject(&bold);
  int b = c.dc.GetTextExtent("Stahlbeton", 10).cx;
  EXPECT_GT(b, r);
  // A positive height is the cell height: ascent plus descent.
  CFont cell;
  cell.CreateFont(20, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  c.dc.SelectObject(&cell);
  TEXTMETRIC tm;
  c.dc.GetTextMetrics(&tm);
  EXPECT_NEAR(tm.tmHeight, 20, 1);
}

}  // namespace
