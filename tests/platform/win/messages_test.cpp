// Message map ranges and update handlers, menus, window scroll bars, the wheel, mouse leave, keys, the clipboard.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win/dialogs/wintest.h"

namespace {

using win::test::WindowTest;

class RangeWnd : public CWnd {
 public:
  std::vector<UINT> commands;
  std::vector<std::string> notes;
  BOOL enableSave = FALSE;
  void OnRange(UINT id) { commands.push_back(id); }
  void OnNoteRange(UINT id, NMHDR* h, LRESULT* r) {
    notes.push_back(std::to_string(id) + ":" + std::to_string(int(h->code)));
    *r = 5;
  }
  void OnUpdateSave(CCmdUI* ui) { ui->Enable(enableSave); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(RangeWnd, CWnd)
ON_COMMAND_RANGE(100, 109, OnRange)
ON_NOTIFY_RANGE(NM_CLICK, 200, 210, OnNoteRange)
ON_UPDATE_COMMAND_UI(300, OnUpdateSave)
END_MESSAGE_MAP()

TEST_F(WindowTest, CommandAndNotifyRangesReceiveTheIdOfTheSender) {
  RangeWnd w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  w.SendMessage(WM_COMMAND, 104);
  w.SendMessage(WM_COMMAND, 110);  // outside the range: nobody
  EXPECT_EQ(w.commands, (std::vector<UINT>{104}));
  NMHDR h{nullptr, 205, NM_CLICK};
  EXPECT_EQ(w.SendMessage(WM_NOTIFY, 205, LPARAM(&h)), 5);
  NMHDR other{nullptr, 205, NM_DBLCLK};
  EXPECT_EQ(w.SendMessage(WM_NOTIFY, 205, LPARAM(&other)), 0);
  EXPECT_EQ(w.notes, (std::vector<std::string>{"205:" + std::to_string(int(NM_CLICK))}));
}

TEST_F(WindowTest, UpdateHandlersEnableMenuItems) {
  RangeWnd w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  CMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, 300, "Speichern");
  menu.AppendMenu(MF_STRING, 301, "Ohne Handler");
  CCmdUI ui;
  ui.m_pMenu = &menu;
  ui.m_nID = 300;
  EXPECT_TRUE(ui.DoUpdate(&w, TRUE));
  EXPECT_EQ(menu.GetMenuState(300, MF_BYCOMMAND) & MF_GRAYED, UINT(MF_GRAYED));
  w.enableSave = TRUE;
  ui.DoUpdate(&w, TRUE);
  EXPECT_EQ(menu.GetMenuState(300, MF_BYCOMMAND) & MF_GRAYED, 0u);
  // Without an update handler and without a command handler, the item is disabled.
  ui.m_nID = 301;
  EXPECT_FALSE(ui.DoUpdate(&w, TRUE));
  EXPECT_EQ(menu.GetMenuState(301, MF_BYCOMMAND) & MF_GRAYED, UINT(MF_GRAYED));
}

TEST_F(WindowTest, MenuItemsAreFoundByCommandInSubmenusAndChanged) {
  CMenu menu;
  menu.CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenu(sub, MF_STRING, 11, "Kopieren");
  AppendMenu(sub, MF_STRING, 12, "Einfügen");
  menu.AppendMenu(MF_STRING, 1, "Neu");
  menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "Bearbeiten");
  EXPECT_EQ(menu.GetMenuItemCount(), 2u);
  EXPECT_EQ(menu.GetMenuItemID(1), UINT(-1)) << "a popup has no command";
  EXPECT_EQ(menu.GetSubMenu(1)->m_hMenu, sub);
  menu.CheckMenuItem(12, MF_CHECKED | MF_BYCOMMAND);
  EXPECT_TRUE(GetMenuState(sub, 1, MF_BYPOSITION) & MF_CHECKED);
  menu.ModifyMenu(11, MF_BYCOMMAND | MF_STRING, 13, "Ausschneiden");
  CString text;
  menu.GetMenuString(13, text, MF_BYCOMMAND);
  EXPECT_EQ(text, "Ausschneiden");
  menu.InsertMenu(0, MF_BYPOSITION | MF_SEPARATOR);
  EXPECT_EQ(menu.GetMenuItemCount(), 3u);
  EXPECT_TRUE(menu.DeleteMenu(12, MF_BYCOMMAND));
  EXPECT_EQ(GetMenuItemCount(sub), 1);
  MENUITEMINFO info{};
  char buf[32];
  info.cbSize = sizeof(info);
  info.fMask = MIIM_ID | MIIM_STRING;
  info.dwTypeData = buf;
  info.cch = sizeof(buf);
  ASSERT_TRUE(menu.GetMenuItemInfo(1, &info, TRUE));
  EXPECT_EQ(info.wID, 1u);
  EXPECT_STREQ(buf, "Neu");
  HMENU handle = menu.m_hMenu;
  menu.DestroyMenu();
  EXPECT_FALSE(IsMenu(handle));
  EXPECT_FALSE(IsMenu(sub)) << "submenus go with their menu";
}

// ---- Scroll bars and the wheel ------------------------------------------------------------------------------------
class Scrolled : public CWnd {
 public:
  std::vector<std::string> events;
  void OnVScroll(UINT code, UINT pos, CScrollBar*) {
    events.push_back("v" + std::to_string(code) + ":" + std::to_string(pos));
  }
  BOOL OnMouseWheel(UINT, short delta, CPoint) {
    events.push_back("wheel " + std::to_string(delta));
    return TRUE;
  }
  void OnMouseMove(UINT, CPoint) {
    TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, m_hWnd, 0};
    TrackMouseEvent(&t);
  }
  void OnMouseLeave() { events.push_back("leave"); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Scrolled, CWnd)
ON_WM_VSCROLL()
ON_WM_MOUSEWHEEL()
ON_WM_MOUSEMOVE()
ON_WM_MOUSELEAVE()
END_MESSAGE_MAP()

TEST_F(WindowTest, ScrollBarTakesItsPartOfTheWindowAndReportsClicks) {
  Scrolled w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 0, 0, 100, 200, nullptr, nullptr));
  w.ShowScrollBar(SB_VERT, TRUE);
  CRect rc;
  w.GetClientRect(&rc);
  EXPECT_EQ(rc.Width(), 100 - GetSystemMetrics(SM_CXVSCROLL));
  SCROLLINFO si{sizeof(si), SIF_ALL, 0, 99, 20, 95, 0};
  w.SetScrollInfo(SB_VERT, &si);
  EXPECT_EQ(w.GetScrollPos(SB_VERT), 80) << "the position is limited to max - page + 1";
  EXPECT_EQ(w.GetScrollLimit(SB_VERT), 80);
  // The bar lies right of the client area: its top arrow, then the track.
  win::input::Click(w.m_hWnd, rc.right + 5, 5);
  win::AdvanceClock(1000);
  win::input::Click(w.m_hWnd, rc.right + 5, 199 - 5);
  ASSERT_EQ(w.events.size(), 4u);
  EXPECT_EQ(w.events[0], "v" + std::to_string(SB_LINEUP) + ":80");
  EXPECT_EQ(w.events[1], "v" + std::to_string(SB_ENDSCROLL) + ":0");
  EXPECT_EQ(w.events[2], "v" + std::to_string(SB_LINEDOWN) + ":80");
}

TEST_F(WindowTest, WheelGoesToTheWindowUnderTheMouseAndUpToItsParents) {
  Scrolled parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
  HWND child = CreateWindowEx(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 10, 10, 20, 20, parent.m_hWnd,
                              nullptr, nullptr, nullptr);
  win::input::Wheel(child, 5, 5, -120);
  EXPECT_EQ(parent.events, (std::vector<std::string>{"wheel -120"}));
}

TEST_F(WindowTest, TrackedWindowHearsWhenTheMouseLeaves) {
  Scrolled a;
  ASSERT_TRUE(a.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr));
  HWND b = CreateWindowEx(0, "Static", "", WS_POPUP | WS_VISIBLE | SS_NOTIFY, 100, 0, 50, 50, nullptr, nullptr, nullptr,
                          nullptr);
  win::input::MouseMove(a.m_hWnd, 10, 10);
  EXPECT_TRUE(a.events.empty());
  win::input::MouseMove(b, 10, 10);
  EXPECT_EQ(a.events, (std::vector<std::string>{"leave"}));
}

// ---- Keys ------------------------------------------------------------------------------------------------------------
class Keys : public CWnd {
 public:
  std::vector<std::string> events;
  void OnKeyDown(UINT ch, UINT, UINT) {
    events.push_back("down " + std::to_string(ch) + (GetKeyState(VK_SHIFT) < 0 ? " shift" : ""));
  }
  void OnChar(UINT ch, UINT, UINT) { events.push_back("char " + std::to_string(ch)); }
  void OnSysKeyDown(UINT ch, UINT, UINT) { events.push_back("sys " + std::to_string(ch)); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Keys, CWnd)
ON_WM_KEYDOWN()
ON_WM_CHAR()
ON_WM_SYSKEYDOWN()
END_MESSAGE_MAP()

TEST_F(WindowTest, KeyPressesBecomeCharactersWithTheirShiftState) {
  Keys k;
  ASSERT_TRUE(k.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr));
  k.SetFocus();
  win::input::Type("aB1");
  EXPECT_EQ(k.events, (std::vector<std::string>{"down 65", "char 97", "down 16 shift", "down 66 shift", "char 66",
                                                "down 49", "char 49"}));
  k.events.clear();
  win::input::Type("ä");  // no key of its own: it arrives as the character
  ASSERT_FALSE(k.events.empty());
  EXPECT_EQ(k.events.back(), "char 228");
  k.events.clear();
  win::input::KeyWith(VK_MENU, 'X');
  EXPECT_EQ(k.events.back(), "sys 88");
  EXPECT_EQ(GetKeyState(VK_MENU), 0) << "the key is up again";
}

// ---- Clipboard and global memory --------------------------------------------------------------------------------------
TEST_F(WindowTest, ClipboardIsOpenedByOneAtATimeAndKeepsItsData) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_FALSE(OpenClipboard(nullptr)) << "already open";
  EmptyClipboard();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 6);
  std::memcpy(GlobalLock(h), "Platz", 6);
  GlobalUnlock(h);
  SetClipboardData(CF_TEXT, h);
  CloseClipboard();
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr) << "only while open";
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(GetClipboardData(CF_TEXT))), "Platz");
  CloseClipboard();
  HGLOBAL g = GlobalAlloc(GHND, 4);
  EXPECT_EQ(GlobalSize(g), 4u);
  EXPECT_EQ(static_cast<char*>(GlobalLock(g))[3], 0) << "zero-initialised";
  g = GlobalReAlloc(g, 4096, GMEM_MOVEABLE);
  EXPECT_EQ(GlobalSize(g), 4096u);
  EXPECT_EQ(GlobalFree(g), nullptr);
  EXPECT_EQ(GlobalSize(g), 0u) << "a freed block is gone";
}

TEST_F(WindowTest, MessageBoxOfAWindowGoesToTheScriptedSink) {
  CWnd w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  win::msgbox::QueueAnswer(IDNO);
  EXPECT_EQ(w.MessageBox("Speichern?", "Frage", MB_YESNO), IDNO);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].caption, "Frage");
}

TEST_F(WindowTest, CloseButtonOfTheCaptionClosesTheWindow) {
  CWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "Fenster", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, 0, 200, 100,
                           nullptr, nullptr));
  HWND w = wnd.m_hWnd;
  RECT wr;
  GetWindowRect(w, &wr);
  POINT p{wr.right - 10, wr.top + 10};
  ScreenToClient(w, &p);
  win::input::Click(w, p.x, p.y);
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(WindowTest, DescendantsAllReceiveTheMessage) {
  HWND top = CreateWindowEx(0, "Static", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  HWND a = CreateWindowEx(0, "Edit", "", WS_CHILD, 0, 0, 10, 10, top, nullptr, nullptr, nullptr);
  HWND b = CreateWindowEx(0, "Edit", "", WS_CHILD, 0, 0, 10, 10, a, nullptr, nullptr, nullptr);
  CWnd::FromHandle(top)->SendMessageToDescendants(WM_SETTEXT, 0, LPARAM("alle"));
  char buf[8];
  GetWindowText(a, buf, sizeof(buf));
  EXPECT_STREQ(buf, "alle");
  GetWindowText(b, buf, sizeof(buf));
  EXPECT_STREQ(buf, "alle");
}

TEST_F(WindowTest, CenterWindowPlacesAPopupInTheMiddleOfItsOwner) {
  HWND owner =
      CreateWindowEx(0, "Static", "", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr, nullptr, nullptr);
  HWND popup = CreateWindowEx(0, "Static", "", WS_POPUP, 0, 0, 100, 50, owner, nullptr, nullptr, nullptr);
  CWnd::FromHandle(popup)->CenterWindow(CWnd::FromHandle(owner));
  RECT r;
  GetWindowRect(popup, &r);
  EXPECT_EQ(r.left, 100 + (400 - 100) / 2);
  EXPECT_EQ(r.top, 100 + (300 - 50) / 2);
  EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);
}

}  // namespace
