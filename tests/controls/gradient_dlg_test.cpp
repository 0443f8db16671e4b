// The gradient dialog base: bands, bitmap placement, transparent static texts, dragging by the client area.
#include <gtest/gtest.h>

#include "controls/GradientDlg.h"
#include "platform/win/dialogs/wintest.h"

namespace {

constexpr UINT kTemplate = 7100;
constexpr int kLabel = 10;

win::DialogTemplate Plain() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_VISIBLE;
  t.cx = 120;
  t.cy = 80;
  t.items = {win::DialogItem{kLabel, "Static", "Hinweis", SS_LEFT, 10, 30, 100, 10}};
  return t;
}
const win::DialogTemplateRegistrar kPlain(kTemplate, Plain());

class GradientTest : public win::test::WindowTest {
 protected:
  // Renders the dialog: its client area starts at (0, 0) since it has no frame.
  win::Image Show(CGradientDlg& dlg) {
    EXPECT_TRUE(dlg.Create(kTemplate));
    return win::RenderWindow(dlg.m_hWnd);
  }
};

TEST_F(GradientTest, WithoutBandsOrBitmapTheDialogPaintsLikeAPlainOne) {
  CGradientDlg dlg(kTemplate);
  win::Image img = Show(dlg);
  EXPECT_EQ(img.At(2, 2), GetSysColor(COLOR_3DFACE));
  EXPECT_EQ(img.At(img.width - 1, img.height - 1), GetSysColor(COLOR_3DFACE));
}

TEST_F(GradientTest, BandOneCoversTheTopQuarterOverBandZero) {
  CGradientDlg dlg(kTemplate);
  dlg.m_bGradient[0] = TRUE;
  dlg.m_crGradientStart[0] = RGB(0, 0, 255);
  dlg.m_crGradientEnd[0] = RGB(0, 0, 255);
  dlg.m_bGradient[1] = TRUE;
  dlg.m_crGradientStart[1] = RGB(255, 0, 0);
  dlg.m_crGradientEnd[1] = RGB(0, 255, 0);
  win::Image img = Show(dlg);
  int quarter = int(img.height * 0.25);
  EXPECT_EQ(img.At(0, 0), RGB(255, 0, 0));              // band 1 starts with its start colour at the left
  EXPECT_EQ(img.At(img.width - 1, 0), RGB(0, 255, 0));  // and ends with its end colour at the right
  EXPECT_EQ(img.At(0, quarter - 1), RGB(255, 0, 0));
  EXPECT_EQ(img.At(0, quarter), RGB(0, 0, 255));  // below the quarter: band 0
  EXPECT_EQ(img.At(img.width / 2, img.height - 1), RGB(0, 0, 255));
}

TEST_F(GradientTest, BottomBandStartsAtItsFactor) {
  CGradientDlg dlg(kTemplate);
  dlg.m_bGradient[2] = TRUE;
  dlg.m_crGradientStart[2] = RGB(10, 20, 30);
  dlg.m_crGradientEnd[2] = RGB(10, 20, 30);
  win::Image img = Show(dlg);
  int top = int((1.0 - 0.2) * img.height);
  EXPECT_EQ(img.At(3, top), RGB(10, 20, 30));
  EXPECT_NE(img.At(3, top - 1), RGB(10, 20, 30));
}

TEST_F(GradientTest, StaticTextHasNoBackgroundOfItsOwnOnAGradient) {
  CGradientDlg dlg(kTemplate);
  dlg.m_bGradient[0] = TRUE;
  dlg.m_crGradientStart[0] = RGB(0, 128, 0);
  dlg.m_crGradientEnd[0] = RGB(0, 128, 0);
  dlg.m_crStaticText = RGB(255, 255, 255);
  win::Image img = Show(dlg);
  CRect label;
  dlg.GetDlgItem(kLabel)->GetWindowRect(&label);
  dlg.ScreenToClient(&label);
  // The label's right end holds no text: the gradient shows through.
  EXPECT_EQ(img.At(label.right - 2, label.top + 1), RGB(0, 128, 0));
  bool white = false;
  for (int x = label.left; x < label.right; ++x)
    for (int y = label.top; y < label.bottom; ++y) white = white || img.At(x, y) == RGB(255, 255, 255);
  EXPECT_TRUE(white) << "the text is drawn in the static-text colour";
}

TEST_F(GradientTest, BitmapIsPlacedByTheChosenMode) {
  CGradientDlg dlg(kTemplate);
  CBitmap bmp;
  bmp.CreateBitmap(4, 4, 1, 32, nullptr);
  {
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    CBitmap* old = mem.SelectObject(&bmp);
    mem.FillSolidRect(0, 0, 4, 4, RGB(200, 0, 0));
    mem.SelectObject(old);
  }
  dlg.m_hBitmap = static_cast<HBITMAP>(bmp.Detach());
  dlg.m_dwBitmapPlacement = CGradientDlg::kBottomRight;
  win::Image img = Show(dlg);
  EXPECT_EQ(img.At(img.width - 1, img.height - 1), RGB(200, 0, 0));
  EXPECT_EQ(img.At(img.width - 4, img.height - 4), RGB(200, 0, 0));
  EXPECT_NE(img.At(img.width - 5, img.height - 1), RGB(200, 0, 0));
  EXPECT_NE(img.At(0, 0), RGB(200, 0, 0));
  // Reset with deletion frees the bitmap.
  HBITMAP h = dlg.m_hBitmap;
  dlg.ResetGradient(TRUE);
  EXPECT_EQ(dlg.m_hBitmap, nullptr);
  EXPECT_EQ(GetObjectType(h), 0u);
}

TEST_F(GradientTest, DraggingTheClientAreaMovesTheDialogWhenAllowed) {
  CGradientDlg dlg(kTemplate);
  ASSERT_TRUE(dlg.Create(kTemplate));
  CRect before;
  dlg.GetWindowRect(&before);
  win::input::Drag(dlg.m_hWnd, 5, 5, 25, 15);
  CRect after;
  dlg.GetWindowRect(&after);
  EXPECT_EQ(after, before) << "without the drag flag the dialog stays";
  dlg.m_bDragByClient = TRUE;
  win::AdvanceClock(1000);
  win::input::Drag(dlg.m_hWnd, 5, 5, 25, 15);
  dlg.GetWindowRect(&after);
  EXPECT_EQ(after.left - before.left, 20);
  EXPECT_EQ(after.top - before.top, 10);
}

}  // namespace
