// The owner-drawn icon menu: which look a system gets, the colour blending, the measured sizes, the two looks as
// the menu is drawn, menus loaded from resources with their toolbar images, and the greyed images of disabled
// entries.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "controls/IconMenu.h"
#include "platform/win/controls/afxbar.h"
#include "platform/win/resources/resources.h"
#include "platform/win/dialogs/wintest.h"

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
  CIconMenu menu;
  menu.AppendOwnerDrawnItem("&Kopieren\tStrg+C", MF_STRING, 10);
  menu.AppendOwnerDrawnItem("", MF_SEPARATOR, 0);
  menu.AppendOwnerDrawnItem("Nur &lesen", MF_STRING | MF_CHECKED, 11);
  menu.AppendOwnerDrawnItem("Gesperrt", MF_STRING | MF_GRAYED, 12);
  ASSERT_GE(menu.SetCommandImage(10, &bitmap), 0);
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

// ---- resource menus and toolbar images ------------------------------------------------------------------------
// A toolbar strip of three 16 x 15 images on the transparent grey, each an 8 x 8 square at (4, 3): red for 201,
// green for 202, blue for 211 (the separator between 201 and 202 has no image).
constexpr UINT kMenu = 28100, kToolbar = 28200, kMissing = 28999;
constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);

void RegisterResources() {
  using win::res::MenuEntry;
  auto entry = [](const char* text, UINT id, UINT flags = 0, std::vector<MenuEntry> popup = {}) {
    MenuEntry e;
    e.text = text;
    e.id = id;
    e.flags = flags;
    e.popup = std::move(popup);
    return e;
  };
  win::res::RegisterMenu(
      kMenu, {entry("&Bearbeiten", 0, 0,
                    {entry("&Ausschneiden\tStrg+X", 201), entry("", 0), entry("&Kopieren\tStrg+C", 202),
                     entry("Einfügen &als", 0, 0, {entry("&Text", 211, MF_GRAYED), entry("&Bild", 212)})})});
  win::res::RegisterBitmap(kToolbar, 48, 15, [](cairo_t* cr, int, int) {
    cairo_set_source_rgb(cr, 192 / 255.0, 192 / 255.0, 192 / 255.0);
    cairo_paint(cr);
    const double colours[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int i = 0; i < 3; ++i) {
      cairo_set_source_rgb(cr, colours[i][0], colours[i][1], colours[i][2]);
      cairo_rectangle(cr, 16 * i + 4, 3, 8, 8);
      cairo_fill(cr);
    }
  });
  win::res::RegisterToolBar(kToolbar, 16, 15, {201, 0, 202, 211});
}

int Count(const win::Image& image, COLORREF colour, int x0, int x1, int y0, int y1) {
  int n = 0;
  for (int y = y0; y < y1 && y < image.height; ++y)
    for (int x = x0; x < x1 && x < image.width; ++x) n += image.At(x, y) == colour;
  return n;
}

class IconMenuResourceTest : public IconMenuTest {
 protected:
  void SetUp() override {
    IconMenuTest::SetUp();
    RegisterResources();
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
  }
  void Save(const win::Image& shot, const char* name) {
    if (const char* dir = std::getenv("KOLUMO_PICTURES")) win::SavePng(shot, std::string(dir) + "/" + name);
  }
  Owner owner;
};

TEST_F(IconMenuResourceTest, AMenuResourceBecomesOwnerDrawnBelowAPlainTopLevel) {
  CIconMenu menu;
  EXPECT_FALSE(menu.LoadMenu(kMissing));
  EXPECT_EQ(menu.GetSafeHmenu(), nullptr);
  ASSERT_TRUE(menu.LoadMenu(kMenu));
  // The menu bar's entry is plain text; the items of its popups are drawn by the menu.
  EXPECT_FALSE(menu.GetMenuState(0, MF_BYPOSITION) & MF_OWNERDRAW);
  CString bar;
  menu.GetMenuString(0, bar, MF_BYPOSITION);
  EXPECT_EQ(bar, CString("&Bearbeiten"));
  HMENU popup = ::GetSubMenu(menu.GetSafeHmenu(), 0);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(::GetMenuState(popup, UINT(i), MF_BYPOSITION) & MF_OWNERDRAW) << i;
  EXPECT_TRUE(::GetMenuState(popup, 1, MF_BYPOSITION) & MF_SEPARATOR);
  // Each popup has an object of its own, owned by the menu; commands are found through all levels.
  EXPECT_EQ(menu.SubMenuCount(), 1u);
  CIconMenu* edit = CIconMenu::FindPopup(popup);
  ASSERT_NE(edit, nullptr);
  HMENU nested = ::GetSubMenu(popup, 3);
  int position = -1;
  EXPECT_EQ(menu.FindMenuOption(212, position), CIconMenu::FindPopup(nested));
  EXPECT_EQ(position, 1);
  EXPECT_EQ(menu.GetItemText(211), CString("&Text"));
  EXPECT_TRUE(::GetMenuState(nested, 211, MF_BYCOMMAND) & MF_GRAYED);
  // Loading again, or destroying, lets the earlier popups go with their objects.
  ASSERT_TRUE(menu.LoadMenu(kMenu));
  EXPECT_FALSE(::IsMenu(popup));
  EXPECT_EQ(CIconMenu::FindPopup(nested), nullptr);
  HMENU second = ::GetSubMenu(menu.GetSafeHmenu(), 0);
  menu.DestroyMenu();
  EXPECT_FALSE(::IsMenu(second));
  EXPECT_EQ(menu.SubMenuCount(), 0u);
}

TEST_F(IconMenuResourceTest, ItemsTakeTheImagesOfTheToolbarsRegisteredWithTheMenu) {
  EXPECT_EQ(CIconMenu::ToolbarImageIndex(kToolbar, 201), 0);
  EXPECT_EQ(CIconMenu::ToolbarImageIndex(kToolbar, 211), 2) << "the separator has no image";
  EXPECT_EQ(CIconMenu::ToolbarImageIndex(kToolbar, 212), -1);
  EXPECT_EQ(CIconMenu::ToolbarImageIndex(kMissing, 201), -1);
  // Resting images are shaded under the XP look: 0 + (255 - 0) * 0.3 = 76 per dark channel; the hot one shows
  // in full over its shadow; the classic look draws every enabled image as it is.
  struct Case {
    bool classic;
    COLORREF resting;
    const char* picture;
  };
  for (const Case& c : {Case{false, RGB(76, 255, 76), "icon-menu-toolbar-xp.png"},
                        Case{true, kGreen, "icon-menu-toolbar-classic.png"}}) {
    CIconMenu::SetEnvironment(7, c.classic);
    CIconMenu menu;
    ASSERT_TRUE(menu.LoadMenu(kMenu));
    EXPECT_FALSE(menu.LoadToolbar(kMissing));
    ASSERT_TRUE(menu.LoadToolbar(kToolbar));
    CIconMenu* edit = CIconMenu::FindPopup(::GetSubMenu(menu.GetSafeHmenu(), 0));
    ASSERT_NE(edit, nullptr);
    EXPECT_GE(edit->FindItem(201)->image, 0);
    EXPECT_EQ(CIconMenu::HasVariants(edit->FindItem(201)->image), !c.classic);
    // Appended later: from the registered toolbar, or from the toolbar named.
    edit->AppendOwnerDrawnItem("Noch einmal &kopieren", MF_STRING, 202);
    EXPECT_EQ(edit->FindItem(202)->image, edit->FindItem(201)->image + (c.classic ? 1 : 3));
    CIconMenu plain;
    plain.AppendOwnerDrawnItem("Text", MF_STRING, 211, int(kToolbar));
    plain.AppendOwnerDrawnItem("Ohne", MF_STRING, 212, int(kToolbar));
    EXPECT_GE(plain.FindItem(211)->image, 0);
    EXPECT_EQ(plain.FindItem(212)->image, -1);

    win::Image shot = win::RenderMenu(edit->GetSafeHmenu(), owner.m_hWnd, 0);
    Save(shot, c.picture);
    const int column = 30;
    EXPECT_EQ(Count(shot, kRed, 0, column, 0, shot.height), 64) << c.classic;
    EXPECT_EQ(Count(shot, c.resting, 0, column, 0, shot.height), 128) << "two resting items of 202";
    // A removed image leaves the items without one.
    EXPECT_TRUE(menu.RemoveCommandImage(202));
    EXPECT_EQ(edit->FindItem(202)->image, -1);
    EXPECT_FALSE(menu.RemoveCommandImage(202));
  }
}

TEST_F(IconMenuResourceTest, ADisabledEntryShowsItsImageGreyed) {
  // The blue 8 x 8 square of the grayed item 211. XP: its shadow variant, 64 pixels of the 3D shadow colour.
  // Classic: embossed, the shape in the highlight one pixel right and down, then in the shadow in place: 64
  // shadow pixels and 64 - 7 * 7 = 15 highlight pixels showing.
  struct Case {
    bool classic;
    int shadow, highlight;
    const char* picture;
  };
  for (const Case& c :
       {Case{false, 64, 0, "icon-menu-disabled-xp.png"}, Case{true, 64, 15, "icon-menu-disabled-classic.png"}}) {
    CIconMenu::SetEnvironment(7, c.classic);
    CIconMenu menu;
    ASSERT_TRUE(menu.LoadMenu(kMenu));
    ASSERT_TRUE(menu.LoadToolbar(kToolbar));
    CIconMenu* nested = CIconMenu::FindPopup(::GetSubMenu(::GetSubMenu(menu.GetSafeHmenu(), 0), 3));
    ASSERT_NE(nested, nullptr);
    MEASUREITEMSTRUCT item{ODT_MENU, 0, 211, 0, 0, 0};
    nested->MeasureItem(&item);
    win::Image shot = win::RenderMenu(nested->GetSafeHmenu(), owner.m_hWnd, -1);
    Save(shot, c.picture);
    // The first item inside the menu's 3-pixel border, left of its text.
    const int top = 3, bottom = 3 + int(item.itemHeight), column = 3 + nested->IconWidth() + 7;
    EXPECT_EQ(Count(shot, kBlue, 0, shot.width, 0, shot.height), 0) << c.classic;
    EXPECT_EQ(Count(shot, ::GetSysColor(COLOR_3DSHADOW), 3, column, top, bottom), c.shadow) << c.classic;
    if (c.classic) {
      EXPECT_EQ(Count(shot, ::GetSysColor(COLOR_3DHILIGHT), 3, column, top, bottom), c.highlight);
    }
    // Enabled again, the item shows its colours.
    ASSERT_TRUE(menu.ModifyItem(211, "&Text (frei)", MF_ENABLED));
    EXPECT_EQ(menu.GetItemText(211), CString("&Text (frei)"));
    EXPECT_FALSE(::GetMenuState(nested->GetSafeHmenu(), 211, MF_BYCOMMAND) & MF_GRAYED);
    win::Image enabled = win::RenderMenu(nested->GetSafeHmenu(), owner.m_hWnd, 0);
    EXPECT_EQ(Count(enabled, kBlue, 0, enabled.width, 0, enabled.height), 64) << c.classic;
  }
}

TEST_F(IconMenuResourceTest, ItemsAddedAroundTheMenuAreTakenInOnTheNextMenuCharacter) {
  CIconMenu menu;
  menu.AppendOwnerDrawnItem("&Öffnen", MF_STRING, 301);
  ::AppendMenu(menu.GetSafeHmenu(), MF_STRING, 302, "&Neu");
  EXPECT_EQ(menu.MenuChar('n'), LRESULT(MAKELONG(1, 2)));
  EXPECT_TRUE(menu.GetMenuState(302, MF_BYCOMMAND) & MF_OWNERDRAW);
  EXPECT_EQ(menu.GetItemTextByPosition(1), CString("&Neu"));
  ASSERT_NE(menu.FindItem(301), nullptr) << "the earlier record is kept";
}

}  // namespace
