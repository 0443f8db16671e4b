// The owner-drawn push button: its setters' refusals, hover, check-box mode, the greyed look when disabled and the
// drop-down menu, driven through the mouse and looked at as pictures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "controls/HoverButton.h"
#include "platform/win/afxdlgs.h"
#include "platform/win/wintest.h"

namespace {

class Owner : public CWnd {
 public:
  std::vector<UINT> commands;
  std::vector<UINT> clicks;  // what the message map's click handler received, by button id
  void OnClicked(UINT id) { clicks.push_back(id); }
  DECLARE_MESSAGE_MAP()
  BOOL OnCommand(WPARAM w, LPARAM l) override {
    if (l == 0) commands.push_back(LOWORD(w));
    return CWnd::OnCommand(w, l);
  }
};

BEGIN_MESSAGE_MAP(Owner, CWnd)
ON_CONTROL_RANGE(BN_CLICKED, 100, 300, OnClicked)
END_MESSAGE_MAP()

class HoverButtonTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "Knöpfe", WS_POPUP | WS_VISIBLE, 0, 0, 420, 80, nullptr, nullptr));
  }
  // As a dialog does: the button exists, then it is subclassed.
  void Make(CHoverButton& b, const char* text, DWORD style, int x) {
    HWND wnd = ::CreateWindowEx(0, "Button", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, 10, 95, 30,
                                parent.m_hWnd, reinterpret_cast<HMENU>(std::uintptr_t(100 + x)), nullptr, nullptr);
    ASSERT_NE(wnd, nullptr);
    ASSERT_TRUE(b.SubclassWindow(wnd));
  }
  COLORREF Pixel(CWnd& w, int x, int y) { return win::RenderWindow(w.m_hWnd).At(x, y); }
  Owner parent;
};

TEST_F(HoverButtonTest, SettersRefuseWhatTheyCannotTake) {
  CHoverButton b;
  Make(b, "OK", BS_PUSHBUTTON, 5);
  EXPECT_EQ(b.SetColor(6, RGB(1, 2, 3)), 3);
  EXPECT_EQ(b.SetColor(0, RGB(1, 2, 3)), 0);
  EXPECT_EQ(b.GetColor(0), RGB(1, 2, 3));
  EXPECT_EQ(b.SetPressedStyle(2), 6);
  EXPECT_EQ(b.PressedOffset(), CPoint(1, 1));
  EXPECT_EQ(b.SetPressedStyle(1), 0);
  EXPECT_EQ(b.PressedOffset(), CPoint(0, 2));
  EXPECT_EQ(b.GetStyle() & BS_TYPEMASK, DWORD(BS_OWNERDRAW));
  EXPECT_FALSE(b.IsCheckBoxMode());
  // The tooltip stays inactive until its text activates it.
  EXPECT_EQ(b.Tooltip(), nullptr);
  b.SetTooltipText("Übernehmen", FALSE);
  EXPECT_FALSE(b.IsTooltipActive());
  b.SetTooltipText("Übernehmen");
  EXPECT_TRUE(b.IsTooltipActive());
  CHoverButton def;
  Make(def, "Standard", BS_DEFPUSHBUTTON, 110);
  EXPECT_TRUE(def.IsDefault());
  EXPECT_EQ(def.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON, UINT(DLGC_DEFPUSHBUTTON));
}

TEST_F(HoverButtonTest, AFlatButtonTakesTheHoverColourWhileThePointerIsOverIt) {
  CHoverButton b;
  Make(b, "Details", BS_PUSHBUTTON, 5);
  b.SetColor(CHoverButton::kBackHover, RGB(255, 255, 0));
  b.SetColor(CHoverButton::kBackNormal, RGB(200, 200, 255));
  win::PumpMessages();
  EXPECT_EQ(Pixel(b, 3, 3), RGB(200, 200, 255));
  win::input::MouseMove(b.m_hWnd, 20, 10);
  win::PumpMessages();
  EXPECT_TRUE(b.IsHovered());
  if (const char* dir = std::getenv("KOLUMO_PICTURES"))
    win::SaveWindowPng(parent.m_hWnd, std::string(dir) + "/hover-button.png");
  EXPECT_EQ(Pixel(b, 3, 3), RGB(255, 255, 0));
  win::input::MouseMove(parent.m_hWnd, 300, 70);
  win::PumpMessages();
  EXPECT_FALSE(b.IsHovered());
  EXPECT_EQ(Pixel(b, 3, 3), RGB(200, 200, 255));
}

TEST_F(HoverButtonTest, ACheckBoxButtonTogglesOnEachClickAndDrawsPressedWhileChecked) {
  CHoverButton b;
  Make(b, "Fest", BS_AUTOCHECKBOX, 5);
  ASSERT_TRUE(b.IsCheckBoxMode());
  b.SetColor(CHoverButton::kBackHover, RGB(0, 160, 0));
  b.SetColor(CHoverButton::kBackNormal, RGB(220, 220, 220));
  win::input::ClickCenter(b.m_hWnd);
  win::PumpMessages();
  EXPECT_EQ(b.GetCheck(), 1);
  win::input::MouseMove(parent.m_hWnd, 300, 70);
  win::PumpMessages();
  // Pressed while checked, even without the pointer over it.
  EXPECT_EQ(Pixel(b, 4, 4), RGB(0, 160, 0));
  EXPECT_TRUE(b.LastPressed());
  if (const char* dir = std::getenv("KOLUMO_PICTURES"))
    win::SaveWindowPng(parent.m_hWnd, std::string(dir) + "/hover-button-checked.png");
  win::input::ClickCenter(b.m_hWnd);
  win::PumpMessages();
  EXPECT_EQ(b.GetCheck(), 0);
  EXPECT_EQ(b.SendMessage(BM_GETCHECK), 0);
}

TEST_F(HoverButtonTest, ADisabledButtonGreysItsBitmapAndEmbossesItsCaption) {
  CHoverButton b;
  Make(b, "Drucken", BS_PUSHBUTTON, 5);
  CClientDC screen(nullptr);
  CBitmap bitmap;
  bitmap.CreateCompatibleBitmap(&screen, 12, 12);
  {
    CDC mem;
    mem.CreateCompatibleDC(&screen);
    CBitmap* old = mem.SelectObject(&bitmap);
    mem.FillSolidRect(0, 0, 12, 12, RGB(255, 0, 255));
    mem.FillSolidRect(2, 2, 8, 8, RGB(0, 0, 255));
    mem.SelectObject(old);
  }
  ASSERT_EQ(b.SetBitmaps(HBITMAP(bitmap.Detach()), RGB(255, 0, 255)), 0);
  win::PumpMessages();
  auto count = [&](COLORREF c) {
    win::Image img = win::RenderWindow(b.m_hWnd);
    int n = 0;
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x) n += img.At(x, y) == c;
    return n;
  };
  // Enabled: the blue square shows (8 x 8), the magenta around it does not.
  EXPECT_EQ(count(RGB(0, 0, 255)), 64);
  EXPECT_EQ(count(RGB(255, 0, 255)), 0);
  b.EnableWindow(FALSE);
  win::PumpMessages();
  if (const char* dir = std::getenv("KOLUMO_PICTURES"))
    win::SaveWindowPng(parent.m_hWnd, std::string(dir) + "/hover-button-disabled.png");
  EXPECT_EQ(count(RGB(0, 0, 255)), 0) << "greyed";
  EXPECT_GT(count(::GetSysColor(COLOR_3DSHADOW)), 0) << "embossed caption";
}

// The button handles its own click (focus, sound, check state) and its dialog's click handler runs as well.
TEST_F(HoverButtonTest, AClickReachesTheParentToo) {
  CHoverButton knopf, schalter;
  Make(knopf, "drucken", BS_PUSHBUTTON, 5);
  Make(schalter, "Raster", BS_CHECKBOX, 110);
  win::input::ClickCenter(knopf.m_hWnd);
  win::input::ClickCenter(schalter.m_hWnd);
  win::PumpMessages();
  EXPECT_EQ(parent.clicks, (std::vector<UINT>{105, 210}));
  EXPECT_EQ(schalter.GetCheck(), 1);
}

TEST_F(HoverButtonTest, TheDropDownMenuSendsTheChosenCommandToItsOwner) {
  CHoverButton b;
  Make(b, "Export", BS_PUSHBUTTON, 5);
  CIconMenu menu;
  menu.AppendOwnerDrawnItem("Als PDF", MF_STRING, 501);
  menu.AppendOwnerDrawnItem("Als RTF", MF_STRING, 502);
  b.SetMenu(&menu, &parent);
  win::script::QueueMenuCommand(502);
  win::input::ClickCenter(b.m_hWnd);
  win::PumpMessages();
  EXPECT_EQ(parent.commands, (std::vector<UINT>{502}));
  EXPECT_FALSE(b.LastPressed() && !b.IsHovered()) << "the menu no longer holds the button down";
}

TEST_F(HoverButtonTest, AnIconSitsLeftOfTheCaptionAndSoundsGoWithHoverAndClick) {
  CHoverButton b;
  Make(b, "Hilfe", BS_PUSHBUTTON, 5);
  // A 10 x 10 green icon (mask all black: every pixel shows).
  CClientDC screen(nullptr);
  HBITMAP colour = ::CreateCompatibleBitmap(screen.m_hDC, 10, 10);
  HBITMAP mask = ::CreateBitmap(10, 10, 1, 1, nullptr);
  {
    CDC mem;
    mem.CreateCompatibleDC(&screen);
    HGDIOBJ old = ::SelectObject(mem.m_hDC, colour);
    mem.FillSolidRect(0, 0, 10, 10, RGB(0, 200, 0));
    ::SelectObject(mem.m_hDC, mask);
    mem.FillSolidRect(0, 0, 10, 10, RGB(0, 0, 0));
    ::SelectObject(mem.m_hDC, old);
  }
  ICONINFO info{TRUE, 0, 0, mask, colour};
  HICON icon = ::CreateIconIndirect(&info);
  ASSERT_NE(icon, nullptr);
  b.SetIcon(icon);
  b.SetSound("Einrasten", FALSE);
  b.SetSound("Klick", TRUE);
  win::shell::ClearLog();
  win::PumpMessages();
  win::Image img = win::RenderWindow(b.m_hWnd);
  if (const char* dir = std::getenv("KOLUMO_PICTURES")) win::SavePng(img, std::string(dir) + "/hover-button-icon.png");
  // The image margin is 3 pixels; the 30-pixel-high button centres the 10-pixel icon at 10.
  EXPECT_EQ(img.At(3 + 5, 10 + 5), RGB(0, 200, 0));
  win::input::MouseMove(b.m_hWnd, 40, 10);
  win::PumpMessages();
  win::input::ClickCenter(b.m_hWnd);
  win::PumpMessages();
  EXPECT_EQ(win::shell::Log(), (std::vector<std::string>{"sound Einrasten", "sound Klick"}));
  ::DestroyIcon(icon);
  ::DeleteObject(colour);
  ::DeleteObject(mask);
}

}  // namespace
