// The owner-drawn icon menu: which look a system gets, the colour blending, the measured sizes, and the two looks
// as the menu is drawn.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "controls/IconMenu.h"
#include "platform/win/wintest.h"

namespace {

class Owner : public CWnd {
 public:
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Owner, CWnd)
ON_WM_DRAWITEM()
ON_WM_MEASUREITEM()
END_MESSAGE_MAP()

class IconMenuTest : public win::test::WindowTest {
 protected:
  void TearDown() override {
    CIconMenu::SetEnvironment(7, false);
    WindowTest::TearDown();
  }
};

TEST_F(IconMenuTest, TheLookFollowsVersionThemeAndPalette) {
  struct Version {
    bool nt;
    int major, minor, code;
  };
  const Version versions[] = {{false, 3, 95, 0}, {false, 4, 10, 3}, {false, 4, 90, 4}, {false, 4, 0, 2},
                              {true, 4, 0, 5},   {true, 5, 0, 6},   {true, 5, 1, 7},   {true, 5, 2, 1}};
  for (const Version& v : versions) EXPECT_EQ(CIconMenu::VersionCode(v.nt, v.major, v.minor), v.code);
  EXPECT_TRUE(CIconMenu::IsClassicThemeFile("C:\\WINDOWS\\Resources\\Themes\\WINDOWS CLASSIC.THEME"));
  EXPECT_FALSE(CIconMenu::IsClassicThemeFile("C:\\Themes\\Luna.theme"));
  EXPECT_FALSE(CIconMenu::IsClassicThemeFile(nullptr));
  EXPECT_EQ(CIconMenu::ChooseLook(false, 7, false), CIconMenu::kXPLook);
  EXPECT_EQ(CIconMenu::ChooseLook(false, 7, true), CIconMenu::kClassicLook);
  EXPECT_EQ(CIconMenu::ChooseLook(false, 6, false), CIconMenu::kClassicLook);
  EXPECT_EQ(CIconMenu::ChooseLook(true, 7, false), CIconMenu::kClassicLook) << "256 colours";
}

TEST_F(IconMenuTest, LighteningMovesEachChannelTowardsWhite) {
  // c + (255 - c) * f, truncated: 100 + 155 * 0.5 = 177.5 -> 177.
  EXPECT_EQ(CIconMenu::LightenColor(RGB(100, 0, 255), 0.5), RGB(177, 127, 255));
  EXPECT_EQ(CIconMenu::LightenColor(RGB(100, 0, 255), 1.5), RGB(100, 0, 255));
  EXPECT_EQ(CIconMenu::LightenColor(RGB(100, 0, 255), 0.0), RGB(100, 0, 255));
}

TEST_F(IconMenuTest, ItemsAreMeasuredAndDrawnInBothLooks) {
  Owner owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
  // A 16 x 15 image: a red square on the transparent grey.
  CClientDC screen(nullptr);
  CBitmap bitmap;
  bitmap.CreateCompatibleBitmap(&screen, 16, 15);
  {
    CDC mem;
    mem.CreateCompatibleDC(&screen);
    CBitmap* old = mem.SelectObject(&bitmap);
    mem.FillSolidRect(0, 0, 16, 15, RGB(192, 192, 192));
    mem.FillSolidRect(3, 3, 10, 9, RGB(255, 0, 0));
    mem.SelectObject(old);
  }
  const int image = CIconMenu::AddImage(&bitmap);
  ASSERT_GE(image, 0);
  CIconMenu menu;
  menu.AppendOwnerDrawnItem("&Kopieren\tStrg+C", MF_STRING, 10, image);
  menu.AppendOwnerDrawnItem("", MF_SEPARATOR, 0);
  menu.AppendOwnerDrawnItem("Nur &lesen", MF_STRING | MF_CHECKED, 11);
  menu.AppendOwnerDrawnItem("Gesperrt", MF_STRING | MF_GRAYED, 12);
  EXPECT_EQ(menu.MenuChar('l'), LRESULT(MAKELONG(2, 2)));
  EXPECT_EQ(menu.MenuChar('x'), 0);

  MEASUREITEMSTRUCT item{ODT_MENU, 0, 10, 0, 0, 0};
  menu.MeasureItem(&item);
  MEASUREITEMSTRUCT sep{ODT_MENU, 0, 0, 0, 0, 0};
  menu.MeasureItem(&sep);
  // XP: height max(menu height, 15 + 7); a separator half of it, at least half the menu height.
  EXPECT_EQ(int(item.itemHeight), std::max(::GetSystemMetrics(SM_CYMENU), 22));
  EXPECT_EQ(int(sep.itemHeight), std::max(::GetSystemMetrics(SM_CYMENU) / 2, 11));

  const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
  for (const bool classic : {false, true}) {
    CIconMenu::SetEnvironment(7, classic);
    win::Image shot = win::RenderMenu(menu, owner.m_hWnd, 0);
    if (const char* dir = std::getenv("KOLUMO_PICTURES"))
      win::SavePng(shot, std::string(dir) + (classic ? "/icon-menu-classic.png" : "/icon-menu-xp.png"));
    ASSERT_GT(shot.height, 0);
    // Find the red of the image in the first item, and the highlight of the selected first item.
    bool red = false, blended = false, system = false;
    for (int y = 0; y < 30 && y < shot.height; ++y)
      for (int x = 0; x < shot.width; ++x) {
        const COLORREF c = shot.At(x, y);
        red |= c == RGB(255, 0, 0);
        blended |= c == CIconMenu::LightenColor(highlight, 0.7);
        system |= c == highlight;
      }
    EXPECT_TRUE(red) << classic;
    EXPECT_EQ(blended, !classic) << "the XP look blends the highlight";
    EXPECT_TRUE(system) << "frame (XP) or fill (classic)";
  }
}

}  // namespace
