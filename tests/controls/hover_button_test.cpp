// The owner-drawn push button: its setters' refusals, hover, check-box mode, the greyed look when disabled, the
// drop-down menu, the transparent mode, bitmaps from resources and the messages a dialog and the system send it,
// driven through the mouse and looked at as pictures.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <filesystem>
#include <fstream>
#include <string>

#include "controls/HoverButton.h"
#include "platform/win/dialogs/afxdlgs.h"
#include "platform/win/resources/resources.h"
#include "platform/win/dialogs/wintest.h"
#include "tests/support/argv_recorder.h"

namespace {

constexpr UINT kMenuCallback = WM_APP + 5;

// The buttons' parent: two coloured halves (split at x = 50), and what it is told.
class Owner : public CWnd {
 public:
  std::vector<UINT> commands;
  std::vector<std::pair<WPARAM, LPARAM>> callbacks;
  COLORREF left = RGB(255, 160, 0), right = RGB(0, 128, 128);
  std::vector<UINT> clicks;  // what the message map's click handler received, by button id
  void OnClicked(UINT id) { clicks.push_back(id); }
  BOOL OnCommand(WPARAM w, LPARAM l) override {
    if (l == 0) commands.push_back(LOWORD(w));
    return CWnd::OnCommand(w, l);
  }
  LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override {
    if (m == kMenuCallback) callbacks.emplace_back(w, l);
    return CWnd::WindowProc(m, w, l);
  }
  BOOL OnEraseBkgnd(CDC* dc) {
    CRect all;
    GetClientRect(&all);
    dc->FillSolidRect(0, 0, 50, all.bottom, left);
    dc->FillSolidRect(50, 0, all.right - 50, all.bottom, right);
    return TRUE;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Owner, CWnd)
ON_WM_ERASEBKGND()
ON_CONTROL_RANGE(BN_CLICKED, 100, 300, OnClicked)
END_MESSAGE_MAP()

// A 12 x 12 bitmap resource: magenta (transparent) round an 8 x 8 square of the colour.
void RegisterSquare(UINT id, double r, double g, double b) {
  win::res::RegisterBitmap(id, 12, 12, [=](cairo_t* cr, int, int) {
    cairo_set_source_rgb(cr, 1, 0, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, r, g, b);
    cairo_rectangle(cr, 2, 2, 8, 8);
    cairo_fill(cr);
  });
}

int CountIn(const win::Image& img, COLORREF c) {
  int n = 0;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) n += img.At(x, y) == c;
  return n;
}

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

TEST_F(HoverButtonTest, ATransparentButtonShowsTheParentUnderItUntilTheSystemColoursChange) {
  CHoverButton b;
  Make(b, "Drucken", BS_PUSHBUTTON, 5);  // x 5 .. 100, y 10 .. 40, over both halves of the parent
  RegisterSquare(28300, 0, 0, 1);
  ASSERT_EQ(b.SetBitmaps(28300u, RGB(255, 0, 255)), 0);
  b.SetColor(CHoverButton::kBackNormal, RGB(1, 2, 3));
  b.DrawTransparent();
  win::PumpMessages();
  win::Image shot = win::RenderWindow(parent.m_hWnd);
  if (const char* dir = std::getenv("KOLUMO_PICTURES"))
    win::SavePng(shot, std::string(dir) + "/hover-button-transparent.png");
  EXPECT_EQ(shot.At(5 + 2, 10 + 2), parent.left);
  EXPECT_EQ(shot.At(5 + 92, 10 + 27), parent.right);
  EXPECT_EQ(CountIn(shot, RGB(1, 2, 3)), 0) << "no face of its own";
  EXPECT_GT(CountIn(shot, ::GetSysColor(COLOR_BTNTEXT)), 0) << "the caption";
  EXPECT_EQ(CountIn(win::RenderWindow(b.m_hWnd), RGB(0, 0, 255)), 64) << "the image over the parent";
  // The copy is taken once: a parent that changes colour shows through only after the system colours change,
  // which also brings back the default colours.
  parent.left = RGB(120, 0, 160);
  parent.Invalidate();
  win::PumpMessages();
  EXPECT_EQ(win::RenderWindow(parent.m_hWnd).At(5 + 2, 10 + 2), RGB(255, 160, 0));
  b.SendMessage(WM_SYSCOLORCHANGE);
  parent.Invalidate();
  win::PumpMessages();
  EXPECT_EQ(win::RenderWindow(parent.m_hWnd).At(5 + 2, 10 + 2), RGB(120, 0, 160));
  EXPECT_EQ(b.GetColor(CHoverButton::kBackNormal), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(HoverButtonTest, TheResourceImageSitsBesideOrAboveTheCaption) {
  // A 12 x 12 bitmap with its 8 x 8 square in a 95 x 30 button, margin 3: left at x 3, above at y 3 (centred
  // across: (95 - 12) / 2 = 41), right at x 95 - 12 - 3 = 80; the square's middle is 6 further in.
  struct Case {
    int align;
    CPoint middle;
  };
  for (const Case& c :
       {Case{CHoverButton::kImageLeft, {3 + 6, 9 + 6}}, Case{CHoverButton::kImageAbove, {41 + 6, 3 + 6}},
        Case{CHoverButton::kImageRight, {80 + 6, 9 + 6}}}) {
    CHoverButton b;
    Make(b, "Hilfe", BS_PUSHBUTTON, 5);
    RegisterSquare(28320, 0, 0, 1);
    ASSERT_EQ(b.SetBitmaps(28320u, RGB(255, 0, 255)), 0);
    ASSERT_EQ(b.SetAlign(c.align), 0);
    win::PumpMessages();
    const win::Image img = win::RenderWindow(b.m_hWnd);
    EXPECT_EQ(img.At(c.middle.x, c.middle.y), RGB(0, 0, 255)) << c.align;
    EXPECT_EQ(CountIn(img, RGB(0, 0, 255)), 64) << c.align;
    // A missing resource, normal or hover, changes nothing.
    EXPECT_EQ(b.SetBitmaps(28999u, RGB(255, 0, 255)), 1);
    EXPECT_EQ(b.SetBitmaps(28320u, RGB(255, 0, 255), 28999u, RGB(255, 0, 255)), 1);
    EXPECT_EQ(CountIn(win::RenderWindow(b.m_hWnd), RGB(0, 0, 255)), 64) << c.align;
    b.DestroyWindow();
  }
  CHoverButton b;
  EXPECT_EQ(b.SetAlign(3, FALSE), 1);
}

TEST_F(HoverButtonTest, ADialogMovingItsDefaultButtonKeepsTheButtonOwnerDrawn) {
  CHoverButton b;
  Make(b, "OK", BS_PUSHBUTTON, 5);
  struct Case {
    UINT style;
    BOOL isDefault;
    UINT code;
  };
  for (const Case& c :
       {Case{BS_DEFPUSHBUTTON, TRUE, DLGC_DEFPUSHBUTTON}, Case{BS_PUSHBUTTON, FALSE, DLGC_UNDEFPUSHBUTTON}}) {
    b.SendMessage(BM_SETSTYLE, c.style, TRUE);
    EXPECT_EQ(b.IsDefault(), c.isDefault) << c.style;
    EXPECT_EQ(b.GetStyle() & BS_TYPEMASK, DWORD(BS_OWNERDRAW)) << c.style;
    EXPECT_EQ(b.SendMessage(WM_GETDLGCODE) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON), LRESULT(c.code)) << c.style;
  }
  // The parent's colour query for the button is answered by the button: no brush of its own.
  CClientDC dc(&b);
  EXPECT_EQ(parent.SendMessage(WM_CTLCOLORBTN, WPARAM(dc.m_hDC), LPARAM(b.m_hWnd)),
            LRESULT(::GetStockObject(NULL_BRUSH)));
}

TEST_F(HoverButtonTest, TheHoverNeedsAnActiveWindowUnlessTheButtonAlwaysTracks) {
  CHoverButton b;
  Make(b, "Details", BS_PUSHBUTTON, 5);
  win::input::MouseMove(b.m_hWnd, 20, 10);
  win::PumpMessages();
  ASSERT_TRUE(b.IsHovered());
  b.SendMessage(WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_FALSE(b.IsHovered());
  ::SetActiveWindow(nullptr);
  win::input::MouseMove(b.m_hWnd, 22, 11);
  win::PumpMessages();
  EXPECT_FALSE(b.IsHovered());
  b.SetAlwaysTrack(TRUE);
  win::input::MouseMove(b.m_hWnd, 24, 12);
  win::PumpMessages();
  EXPECT_TRUE(b.IsHovered());
}

TEST_F(HoverButtonTest, AMenuResourceDropsDownAfterItsCallbackAndAnswersItsMnemonics) {
  CHoverButton b;
  Make(b, "Export", BS_PUSHBUTTON, 5);
  win::res::MenuEntry pdf, rtf, popup;
  pdf.text = "Als &PDF";
  pdf.id = 501;
  rtf.text = "Als &RTF";
  rtf.id = 502;
  popup.text = "Export";
  popup.popup = {pdf, rtf};
  win::res::RegisterMenu(28330, {popup});
  EXPECT_EQ(b.SetMenu(28999u, &parent), 1);
  ASSERT_EQ(b.SetMenu(28330u, &parent), 0);
  b.SetMenuCallback(parent.m_hWnd, kMenuCallback, 77);
  HMENU dropDown = ::GetSubMenu(b.GetMenu()->GetSafeHmenu(), 0);
  EXPECT_TRUE(::GetMenuState(dropDown, 0, MF_BYPOSITION) & MF_OWNERDRAW);
  EXPECT_EQ(b.SendMessage(WM_MENUCHAR, MAKEWPARAM('r', MF_POPUP), LPARAM(dropDown)), LRESULT(MAKELONG(1, 2)));
  win::script::QueueMenuCommand(502);
  win::input::ClickCenter(b.m_hWnd);
  win::PumpMessages();
  ASSERT_EQ(parent.callbacks.size(), 1u);
  EXPECT_EQ(parent.callbacks[0].first, WPARAM(b.GetMenu()->GetSafeHmenu()));
  EXPECT_EQ(parent.callbacks[0].second, 77);
  EXPECT_EQ(parent.commands, (std::vector<UINT>{502}));
  // Measured and drawn by the icon menu through the button: the blended highlight of the XP look.
  const win::Image shot = win::RenderMenu(dropDown, b.m_hWnd, 1);
  if (const char* dir = std::getenv("KOLUMO_PICTURES")) win::SavePng(shot, std::string(dir) + "/hover-button-menu.png");
  EXPECT_GT(CountIn(shot, CIconMenu::LightenColor(::GetSysColor(COLOR_HIGHLIGHT), 0.7)), 0);
}

// A click on a button with a URL hands it to the desktop's opener (here a stand-in that records its arguments, may
// complain on its error stream and ends with a status) and returns at once; an opener that fails or is missing is
// told in a box with its reason, never passed over as success.
TEST_F(HoverButtonTest, AClickHandsTheUrlToTheOpenerAndSaysWhyWhenItFails) {
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "hover-opener";
  std::filesystem::create_directories(dir);
  const std::filesystem::path told = dir / "told";
  const char* url = "https://example.org/hilfe?thema=Stütze";
  const std::string failure = std::string("Die Adresse \"") + url + "\" kann nicht geöffnet werden.\n";
  struct Case {
    const char* name;
    int status;        // the stand-in's exit status; -1: no such program
    const char* says;  // what it writes on its error stream
    bool started;      // OpenURL's answer
    const char* box;   // the box's second part; null: no box
  } cases[] = {
      {"opened", 0, "", true, nullptr},
      {"the opener fails and says why", 4, "kein Browser eingerichtet", true,
       "endete mit dem Status 4 (das Öffnen ist fehlgeschlagen):\nkein Browser eingerichtet"},
      {"the opener fails silently", 3, "", true, "endete mit dem Status 3 (ein benötigtes Programm fehlt)."},
      {"the opener finds nothing", 2, "", true, "endete mit dem Status 2 (Datei nicht gefunden)."},
      {"no opener", -1, "", false, "wurde nicht gefunden."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(told);
    const std::filesystem::path opener = dir / ("opener" + std::to_string(c.status));
    if (c.status >= 0) {
      test_support::WriteArgvRecorder(opener, told);
      std::ofstream(opener, std::ios::app) << "printf '%s' '" << c.says << "' >&2\nexit " << c.status << "\n";
    }
    setenv("KOLUMO_OPENER", opener.c_str(), 1);
    win::msgbox::ClearLog();
    CHoverButton b;
    Make(b, "Hilfe", BS_PUSHBUTTON, 5);
    b.SetURL(url);
    if (c.box) win::msgbox::QueueAnswer(IDOK);
    win::input::ClickCenter(b.m_hWnd);
    win::PumpMessages();
    win::shell::SettleOpeners(5000);
    if (c.status >= 0) {
      EXPECT_EQ(test_support::RecordedArgv(told), (std::vector<std::string>{opener.string(), url}));
    }
    if (!c.box) {
      EXPECT_TRUE(win::msgbox::Log().empty());
    } else {
      ASSERT_EQ(win::msgbox::Log().size(), 1u);
      EXPECT_EQ(win::msgbox::Log()[0].text, failure + "Das Programm '" + opener.string() + "' " + c.box);
    }
    // once more, without a click: the same answer and the same box
    if (c.box) win::msgbox::QueueAnswer(IDOK);
    EXPECT_EQ(b.OpenURL(), BOOL(c.started));
    win::shell::SettleOpeners(5000);
    EXPECT_EQ(win::msgbox::Log().size(), c.box ? 2u : 0u);
    win::msgbox::ClearLog();
    b.DestroyWindow();
  }
  unsetenv("KOLUMO_OPENER");
  // Without a URL a click opens nothing.
  CHoverButton plain;
  Make(plain, "Plain", BS_PUSHBUTTON, 5);
  std::filesystem::remove(told);
  setenv("KOLUMO_OPENER", (dir / "opener0").c_str(), 1);
  win::input::ClickCenter(plain.m_hWnd);
  win::PumpMessages();
  win::shell::SettleOpeners(5000);
  unsetenv("KOLUMO_OPENER");
  EXPECT_FALSE(std::filesystem::exists(told));
  EXPECT_FALSE(plain.OpenURL());
  std::filesystem::remove_all(dir);
}

// The dialog does not wait for the opener: the click returns while a slow opener still runs, and its failure comes
// in a box once it has ended, when the dialog next handles its messages (its timer).
TEST_F(HoverButtonTest, TheClickDoesNotWaitForASlowOpenerAndItsFailureComesLater) {
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "hover-slow-opener";
  std::filesystem::create_directories(dir);
  const std::filesystem::path opener = dir / "opener";
  std::ofstream(opener) << "#!/bin/sh\nsleep 1\necho 'keine Verbindung' >&2\nexit 4\n";
  std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
  setenv("KOLUMO_OPENER", opener.c_str(), 1);
  win::msgbox::ClearLog();
  CHoverButton b;
  Make(b, "Hilfe", BS_PUSHBUTTON, 5);
  b.SetURL("https://example.org");
  const auto before = std::chrono::steady_clock::now();
  win::input::ClickCenter(b.m_hWnd);
  win::PumpMessages();
  const auto took = std::chrono::steady_clock::now() - before;
  EXPECT_LT(took, std::chrono::milliseconds(500));
  EXPECT_TRUE(win::msgbox::Log().empty());
  // the opener ends after a second: the window system's timer brings its failure
  win::msgbox::QueueAnswer(IDOK);
  for (int i = 0; i < 400 && win::msgbox::Log().empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    win::AdvanceClock(60);
    win::PumpMessages();
  }
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_NE(win::msgbox::Log()[0].text.find("keine Verbindung"), std::string::npos) << win::msgbox::Log()[0].text;
  unsetenv("KOLUMO_OPENER");
  b.DestroyWindow();
  std::filesystem::remove_all(dir);
}

}  // namespace
