// Drawing on device contexts: GDI's pixel rules, raster operations, clipping, mapping, text, metafiles, pictures.
#include <gtest/gtest.h>

#include "platform/win/dialogs/wintest.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A memory DC with a white colour bitmap of the given size.
class Canvas {
 public:
  Canvas(int w, int h) {
    dc.CreateCompatibleDC(nullptr);
    bitmap.CreateBitmap(w, h, 1, 32, nullptr);
    old = dc.SelectObject(&bitmap);
    CRect all(0, 0, w, h);
    CBrush white(kWhite);
    dc.FillRect(&all, &white);
  }
  ~Canvas() { dc.SelectObject(old); }
  COLORREF At(int x, int y) const { return win::PeekPixel(dc.m_hDC, x, y); }
  CDC dc;
  CBitmap bitmap;
  CBitmap* old = nullptr;
};

TEST(GdiRules, FillRectCoversLeftAndTopButNotRightAndBottom) {
  Canvas c(20, 20);
  CBrush red(kRed);
  CRect r(0, 0, 10, 10);
  c.dc.FillRect(&r, &red);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(c.At(i, 0), kRed) << i;
    EXPECT_EQ(c.At(0, i), kRed) << i;
    EXPECT_EQ(c.At(9, i), kRed) << i;
  }
  EXPECT_EQ(c.At(10, 0), kWhite);
  EXPECT_EQ(c.At(0, 10), kWhite);
  EXPECT_EQ(c.At(10, 10), kWhite);
}

TEST(GdiRules, LineToExcludesItsEndPoint) {
  Canvas c(20, 20);
  CPen pen(PS_SOLID, 1, kBlack);
  c.dc.SelectObject(&pen);
  c.dc.MoveTo(0, 5);
  c.dc.LineTo(10, 5);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(c.At(x, 5), kBlack) << x;
  EXPECT_EQ(c.At(10, 5), kWhite);
  // A diagonal: (k, k) for k = 0..4, not (5, 5); the current position moves to the end.
  c.dc.MoveTo(0, 10);
  c.dc.LineTo(5, 15);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(c.At(k, 10 + k), kBlack) << k;
  EXPECT_EQ(c.At(5, 15), kWhite);
  EXPECT_EQ(c.dc.GetCurrentPosition(), CPoint(5, 15));
}

TEST(GdiRules, RectangleDrawsItsOutlineInsideAndFillsTheRest) {
  Canvas c(20, 20);
  CPen pen(PS_SOLID, 1, kBlack);
  CBrush blue(kBlue);
  c.dc.SelectObject(&pen);
  c.dc.SelectObject(&blue);
  c.dc.Rectangle(2, 2, 12, 8);
  EXPECT_EQ(c.At(2, 2), kBlack);   // top-left corner
  EXPECT_EQ(c.At(11, 7), kBlack);  // bottom-right pixel of the outline is right - 1, bottom - 1
  EXPECT_EQ(c.At(12, 7), kWhite);
  EXPECT_EQ(c.At(11, 8), kWhite);
  EXPECT_EQ(c.At(3, 3), kBlue);  // interior
  EXPECT_EQ(c.At(10, 6), kBlue);
  // A null brush leaves the interior alone.
  c.dc.SelectStockObject(NULL_BRUSH);
  c.dc.Rectangle(14, 2, 19, 8);
  EXPECT_EQ(c.At(14, 2), kBlack);
  EXPECT_EQ(c.At(16, 4), kWhite);
}

// ---- Raster operations ------------------------------------------------------------------------------------------------
struct RopCase {
  DWORD rop;
  COLORREF expected;  // source 0x00F0AA on destination 0x0F33FF (as RGB bytes), pattern black
};

class RasterOperation : public ::testing::TestWithParam<RopCase> {};

TEST_P(RasterOperation, CombinesSourceAndDestinationBitByBit) {
  Canvas src(4, 4), dst(4, 4);
  CRect all(0, 0, 4, 4);
  CBrush s(RGB(0x00, 0xF0, 0xAA)), d(RGB(0x0F, 0x33, 0xFF));
  src.dc.FillRect(&all, &s);
  dst.dc.FillRect(&all, &d);
  CBrush black(kBlack);
  dst.dc.SelectObject(&black);
  dst.dc.BitBlt(0, 0, 4, 4, &src.dc, 0, 0, GetParam().rop);
  EXPECT_EQ(dst.At(1, 1), GetParam().expected);
}

// Each channel worked by hand: S = (00, F0, AA), D = (0F, 33, FF).
INSTANTIATE_TEST_SUITE_P(Blits, RasterOperation,
                         ::testing::Values(RopCase{SRCCOPY, RGB(0x00, 0xF0, 0xAA)},
                                           RopCase{SRCAND, RGB(0x00, 0x30, 0xAA)},      // S & D
                                           RopCase{SRCPAINT, RGB(0x0F, 0xF3, 0xFF)},    // S | D
                                           RopCase{SRCINVERT, RGB(0x0F, 0xC3, 0x55)},   // S ^ D
                                           RopCase{NOTSRCCOPY, RGB(0xFF, 0x0F, 0x55)},  // ~S
                                           RopCase{DSTINVERT, RGB(0xF0, 0xCC, 0x00)},   // ~D
                                           RopCase{SRCERASE, RGB(0x00, 0xC0, 0x00)},    // S & ~D
                                           RopCase{BLACKNESS, RGB(0, 0, 0)}, RopCase{WHITENESS, kWhite}));

TEST(GdiBlits, MonochromeSourceTakesTheDestinationsTextAndBackgroundColours) {
  Canvas dst(4, 1);
  CDC mono;
  mono.CreateCompatibleDC(nullptr);
  CBitmap bits;
  // One row: 1 0 1 0 (1 is white in a monochrome bitmap).
  const BYTE row[2] = {0xA0, 0x00};
  bits.CreateBitmap(4, 1, 1, 1, row);
  CBitmap* old = mono.SelectObject(&bits);
  dst.dc.SetTextColor(kRed);
  dst.dc.SetBkColor(kBlue);
  dst.dc.BitBlt(0, 0, 4, 1, &mono, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.At(0, 0), kBlue);
  EXPECT_EQ(dst.At(1, 0), kRed);
  EXPECT_EQ(dst.At(2, 0), kBlue);
  EXPECT_EQ(dst.At(3, 0), kRed);
  mono.SelectObject(old);
}

TEST(GdiBlits, ColourToMonochromeMarksTheSourceBackgroundColourWhite) {
  Canvas src(2, 1);
  src.dc.SetPixel(0, 0, kRed);
  src.dc.SetPixel(1, 0, RGB(192, 192, 192));
  src.dc.SetBkColor(RGB(192, 192, 192));
  CDC mono;
  mono.CreateCompatibleDC(nullptr);
  CBitmap mask;
  mask.CreateBitmap(2, 1, 1, 1, nullptr);
  CBitmap* old = mono.SelectObject(&mask);
  mono.BitBlt(0, 0, 2, 1, &src.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(mono.GetPixel(0, 0), kBlack);
  EXPECT_EQ(mono.GetPixel(1, 0), kWhite);
  mono.SelectObject(old);
}

TEST(GdiBlits, StretchBltScalesByWholePixels) {
  Canvas src(2, 1), dst(8, 2);
  src.dc.SetPixel(0, 0, kRed);
  src.dc.SetPixel(1, 0, kBlue);
  dst.dc.StretchBlt(0, 0, 8, 2, &src.dc, 0, 0, 2, 1, SRCCOPY);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.At(x, 1), kRed) << x;
  for (int x = 4; x < 8; ++x) EXPECT_EQ(dst.At(x, 0), kBlue) << x;
}

// A picture drawn at a size far beyond the bitmap (as a fuzzed report asked for) costs the pixels that are painted:
// reading the source for the whole destination wanted 2^60 pixels.
TEST(GdiBlits, StretchBltFarBeyondTheBitmapPaintsOnlyTheBitmap) {
  Canvas src(2, 1), dst(8, 2);
  src.dc.SetPixel(0, 0, kRed);
  src.dc.SetPixel(1, 0, kBlue);
  // 2^30 pixels wide from x = 4 - 2^29: the source's left pixel covers up to x = 4.
  dst.dc.StretchBlt(4 - (1 << 29), 0, 1 << 30, 1 << 30, &src.dc, 0, 0, 2, 1, SRCCOPY);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.At(x, 1), kRed) << x;
  for (int x = 4; x < 8; ++x) EXPECT_EQ(dst.At(x, 0), kBlue) << x;
}

// ---- Clipping and mapping ------------------------------------------------------------------------------------------------
TEST(GdiClip, DrawingStaysInsideTheClipArea) {
  Canvas c(20, 20);
  c.dc.IntersectClipRect(5, 5, 10, 10);
  c.dc.ExcludeClipRect(7, 7, 8, 8);
  CBrush red(kRed);
  CRect all(0, 0, 20, 20);
  c.dc.FillRect(&all, &red);
  EXPECT_EQ(c.At(4, 5), kWhite);
  EXPECT_EQ(c.At(5, 5), kRed);
  EXPECT_EQ(c.At(9, 9), kRed);
  EXPECT_EQ(c.At(10, 9), kWhite);
  EXPECT_EQ(c.At(7, 7), kWhite);  // the excluded pixel
  CRect box;
  c.dc.GetClipBox(&box);
  EXPECT_EQ(box, CRect(5, 5, 10, 10));
}

TEST(GdiMapping, AnisotropicMappingScalesAndWindowOriginShifts) {
  Canvas c(40, 40);
  c.dc.SetMapMode(MM_ANISOTROPIC);
  c.dc.SetWindowExt(10, 10);
  c.dc.SetViewportExt(20, 20);
  c.dc.SetWindowOrg(5, 0);
  CBrush red(kRed);
  CRect r(5, 0, 10, 5);  // device (0, 0) to (10, 10)
  c.dc.FillRect(&r, &red);
  EXPECT_EQ(c.At(0, 0), kRed);
  EXPECT_EQ(c.At(9, 9), kRed);
  EXPECT_EQ(c.At(10, 9), kWhite);
  CPoint p(10, 5);
  c.dc.LPtoDP(&p);
  EXPECT_EQ(p, CPoint(10, 10));
}

TEST(GdiGradient, HorizontalGradientRunsFromTheLeftToTheRightColour) {
  Canvas c(11, 2);
  TRIVERTEX v[2] = {{0, 0, 0, 0, 0, 0}, {11, 2, 0xFF00, 0x6400, 0x0000, 0}};
  GRADIENT_RECT r{0, 1};
  c.dc.GradientFill(v, 2, &r, 1, GRADIENT_FILL_RECT_H);
  EXPECT_EQ(c.At(0, 0), kBlack);
  EXPECT_EQ(c.At(10, 1), RGB(255, 100, 0));
  // Half way: (255 * 5 / 10, 100 * 5 / 10) = (127.5, 50): rounded.
  EXPECT_EQ(GetRValue(c.At(5, 0)), 128);
  EXPECT_EQ(GetGValue(c.At(5, 0)), 50);
}

// ---- Text --------------------------------------------------------------------------------------------------------------
TEST(GdiText, FacesMapToAFixedDejaVuFamily) {
  EXPECT_EQ(win::FontFamilyFor("Arial"), "DejaVu Sans");
  EXPECT_EQ(win::FontFamilyFor("MS Shell Dlg"), "DejaVu Sans");
  EXPECT_EQ(win::FontFamilyFor("Times New Roman"), "DejaVu Serif");
  EXPECT_EQ(win::FontFamilyFor("Courier New"), "DejaVu Sans Mono");
}

TEST(GdiText, TextWidthAddsUpAndCalcRectMeasuresIt) {
  Canvas c(200, 60);
  CFont font;
  font.CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
  c.dc.SelectObject(&font);
  CSize one = c.dc.GetTextExtent("M", 1);
  CSize four = c.dc.GetTextExtent("MMMM", 4);
  EXPECT_GT(one.cx, 0);
  EXPECT_EQ(four.cx, 4 * one.cx);
  TEXTMETRIC tm;
  c.dc.GetTextMetrics(&tm);
  EXPECT_EQ(four.cy, tm.tmHeight);
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  CRect r(10, 10, 10, 10);
  int h = c.dc.DrawText("MMMM", -1, &r, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(r.Width(), four.cx);
  EXPECT_EQ(h, tm.tmHeight);
  // "&M" underlines M and takes the width of "M" alone; "&&" is one '&'.
  CRect p(0, 0, 0, 0);
  c.dc.DrawText("&M", -1, &p, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(p.Width(), one.cx);
  CRect q(0, 0, 0, 0), amp(0, 0, 0, 0);
  c.dc.DrawText("a&&b", -1, &q, DT_CALCRECT | DT_SINGLELINE);
  c.dc.DrawText("a&b", -1, &amp, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(q.Width(), amp.Width());
}

TEST(GdiText, WordBreakWrapsAndVCenterCentresOneLine) {
  Canvas c(200, 100);
  CFont font;
  font.CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  c.dc.SelectObject(&font);
  TEXTMETRIC tm;
  c.dc.GetTextMetrics(&tm);
  int word = c.dc.GetTextExtent("Stuetze", 7).cx;
  CRect narrow(0, 0, word + 2, 0);
  int h = c.dc.DrawText("Stuetze Stuetze Stuetze", -1, &narrow, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_EQ(h, 3 * tm.tmHeight);
  CRect box(0, 0, 100, 41);
  int offsetAndHeight = c.dc.DrawText("x", -1, &box, DT_SINGLELINE | DT_VCENTER);
  EXPECT_EQ(offsetAndHeight, (41 - tm.tmHeight) / 2 + tm.tmHeight);
}

TEST(GdiText, EndEllipsisKeepsTheTextInsideItsRectangle) {
  Canvas c(200, 30);
  c.dc.SetBkMode(TRANSPARENT);
  CRect r(0, 0, 40, 20);
  CRect measure = r;
  c.dc.DrawText("Stahlbetonstuetze", -1, &measure, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_LE(measure.Width(), 40);
  c.dc.DrawText("Stahlbetonstuetze", -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS);
  for (int y = 0; y < 30; ++y)
    for (int x = 40; x < 200; ++x) ASSERT_EQ(c.At(x, y), kWhite) << x << "," << y;
  bool inked = false;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) inked = inked || c.At(x, y) != kWhite;
  EXPECT_TRUE(inked);
}

// ---- Metafiles -----------------------------------------------------------------------------------------------------------
TEST(GdiMetafile, PlayingARecordingDrawsWhatWasRecorded) {
  CMetaFileDC rec;
  ASSERT_TRUE(rec.CreateEnhanced(nullptr, nullptr, nullptr, nullptr));
  CBrush red(kRed);
  CRect r(0, 0, 10, 10);
  rec.FillRect(&r, &red);
  CPen pen(PS_SOLID, 1, kBlue);
  rec.SelectObject(&pen);
  rec.MoveTo(0, 12);
  rec.LineTo(10, 12);
  HENHMETAFILE mf = rec.CloseEnhanced();
  ASSERT_NE(mf, nullptr);
  // Recording drew nothing anywhere; the objects may go before the playback.
  red.DeleteObject();
  pen.DeleteObject();
  Canvas c(40, 40);
  // The recording's own bounds: the line's end point (10, 12) makes them 11 x 13; played 1:1.
  CRect frame(0, 0, 11, 13);
  c.dc.PlayMetaFile(mf, &frame);
  EXPECT_EQ(c.At(9, 9), kRed);
  EXPECT_EQ(c.At(10, 9), kWhite);
  EXPECT_EQ(c.At(9, 12), kBlue);
  // Played into a rectangle twice as large, the picture is scaled.
  Canvas big(40, 40);
  CRect twice(0, 0, 22, 26);
  big.dc.PlayMetaFile(mf, &twice);
  EXPECT_EQ(big.At(19, 19), kRed);
  EXPECT_EQ(big.At(20, 19), kWhite);
  DeleteEnhMetaFile(mf);
}

// ---- Windows as pictures ----------------------------------------------------------------------------------------------------
class PaintedWnd : public CWnd {
 public:
  void OnPaint() {
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, kRed);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(PaintedWnd, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

using win::test::WindowTest;

TEST_F(WindowTest, RenderingAWindowPaintsItsFrameItselfAndItsChildren) {
  PaintedWnd w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, "", WS_POPUP | WS_BORDER, 0, 0, 50, 30, nullptr, nullptr));
  HWND child = CreateWindowEx(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 10, 10, 5, 5, w.m_hWnd, nullptr,
                              nullptr, nullptr);
  ASSERT_NE(child, nullptr);
  win::Image img = win::RenderWindow(w.m_hWnd);
  ASSERT_EQ(img.width, 50);
  ASSERT_EQ(img.height, 30);
  EXPECT_EQ(img.At(0, 0), GetSysColor(COLOR_WINDOWFRAME));    // the border
  EXPECT_EQ(img.At(1, 1), kRed);                              // the client area painted by WM_PAINT
  EXPECT_EQ(img.At(11, 11), GetSysColor(COLOR_WINDOWFRAME));  // the child at client (10, 10) = window (11, 11)
  EXPECT_EQ(img.At(16, 11), kRed);
  EXPECT_TRUE(win::SavePng(img, ::testing::TempDir() + "render_test.png"));
}

}  // namespace
