// The process-wide font cache.
#include <gtest/gtest.h>

#include "controls/FontCache.h"
#include "platform/win/dialogs/wintest.h"

namespace {

TEST(FontCache, SameRequestGivesTheSameFontAndAnotherWeightAnother) {
  CFontCache cache;
  CFont* a = cache.GetFont("Arial", 0, 0, -12, 400);
  CFont* b = cache.GetFont("Arial", 0, 0, -12, 400);
  CFont* bold = cache.GetFont("Arial", 0, 0, -12, 700);
  CFont* italic = cache.GetFont("Arial", 1, 0, -12, 400);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, bold);
  EXPECT_NE(a, italic);
  EXPECT_EQ(cache.GetCount(), 3);
  LOGFONT lf{};
  bold->GetLogFont(&lf);
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_EQ(lf.lfHeight, -12);
  EXPECT_STREQ(lf.lfFaceName, "Arial");
  EXPECT_EQ(lf.lfQuality, PROOF_QUALITY);
  void* stored = nullptr;
  EXPECT_TRUE(cache.Lookup("Arial-0-0--12-700", stored));
  EXPECT_EQ(stored, bold);
}

TEST(FontCache, DestroyingTheCacheDeletesItsFonts) {
  HGDIOBJ handle;
  {
    CFontCache cache;
    handle = cache.GetFont("Arial", 0, 0, -11, 400)->m_hObject;
    EXPECT_EQ(GetObjectType(handle), DWORD(OBJ_FONT));
  }
  EXPECT_EQ(GetObjectType(handle), 0u);
}

using win::test::WindowTest;

TEST_F(WindowTest, BoldFontKeepsTheControlsFaceAndHeight) {
  HWND parent = CreateWindowEx(0, "Static", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  HWND label =
      CreateWindowEx(0, "Static", "Titel", WS_CHILD | WS_VISIBLE, 0, 0, 80, 16, parent, nullptr, nullptr, nullptr);
  CFont normal;
  normal.CreateFont(-13, 0, 0, 0, 400, 1, 0, 0, 0, 0, 0, 0, 0, "Times New Roman");
  CWnd::FromHandle(label)->SetFont(&normal);
  CFontCache cache;
  cache.SetBoldFont(CWnd::FromHandle(label));
  LOGFONT lf{};
  CWnd::FromHandle(label)->GetFont()->GetLogFont(&lf);
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_EQ(lf.lfHeight, -13);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_STREQ(lf.lfFaceName, "Times New Roman");
  DestroyWindow(parent);
}

TEST_F(WindowTest, BoldFontOfAControlWithoutFontStartsFromTheDefaultFont) {
  HWND label = CreateWindowEx(0, "Static", "x", WS_POPUP, 0, 0, 80, 16, nullptr, nullptr, nullptr, nullptr);
  CFontCache cache;
  cache.SetBoldFont(CWnd::FromHandle(label));
  LOGFONT lf{}, def{};
  CWnd::FromHandle(label)->GetFont()->GetLogFont(&lf);
  GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof(def), &def);
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_EQ(lf.lfHeight, def.lfHeight);
  DestroyWindow(label);
}

}  // namespace
