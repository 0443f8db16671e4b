// Built-in controls driven as a user drives them, and the notifications they send.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win/dialogs/wintest.h"

namespace {

// Records every WM_COMMAND and WM_NOTIFY its children send.
class Host : public CWnd {
 public:
  std::vector<std::string> events;
  LRESULT answer = 0;
  BOOL OnCommand(WPARAM w, LPARAM l) override {
    events.push_back("cmd " + std::to_string(LOWORD(w)) + ":" + std::to_string(HIWORD(w)));
    return CWnd::OnCommand(w, l);
  }
  BOOL OnNotify(WPARAM, LPARAM l, LRESULT* r) override {
    auto* h = reinterpret_cast<NMHDR*>(l);
    std::string e = "ntf " + std::to_string(h->idFrom) + ":" + std::to_string(int(h->code));
    if (h->code == TVN_SELCHANGED || h->code == TVN_ITEMEXPANDED)
      e += " action " + std::to_string(reinterpret_cast<NMTREEVIEW*>(l)->action);
    if (h->code == UDN_DELTAPOS) e += " delta " + std::to_string(reinterpret_cast<NMUPDOWN*>(l)->iDelta);
    events.push_back(e);
    *r = answer;
    return TRUE;
  }
  bool Saw(const std::string& e) const { return std::find(events.begin(), events.end(), e) != events.end(); }
};

class ControlTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(host.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr));
  }
  HWND Make(const char* cls, const char* text, DWORD style, int id, int x, int y, int w, int h) {
    HWND c = CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, host.m_hWnd,
                            reinterpret_cast<HMENU>(std::intptr_t(id)), nullptr, nullptr);
    SendMessage(c, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return c;
  }
  static std::string Text(HWND h) {
    char buf[256];
    GetWindowText(h, buf, sizeof(buf));
    return buf;
  }
  static std::string Cmd(int id, UINT code) { return "cmd " + std::to_string(id) + ":" + std::to_string(code); }
  static std::string Ntf(int id, UINT code) { return "ntf " + std::to_string(id) + ":" + std::to_string(int(code)); }
  Host host;
};

TEST_F(ControlTest, EditSelectsWithShiftAndArrowsAndCopiesAndPastes) {
  HWND edit = Make("Edit", "Stütze", WS_BORDER, 1, 0, 0, 150, 20);
  SetFocus(edit);
  win::input::Key(VK_END);
  win::input::KeyDown(VK_SHIFT);
  win::input::Key(VK_LEFT);
  win::input::Key(VK_LEFT);
  win::input::KeyUp(VK_SHIFT);
  DWORD a = 0, b = 0;
  SendMessage(edit, EM_GETSEL, WPARAM(&a), LPARAM(&b));
  // "Stütze" is 7 bytes (ü takes two); the selection holds the last two characters "ze".
  EXPECT_EQ(a, 5u);
  EXPECT_EQ(b, 7u);
  win::input::KeyWith(VK_CONTROL, 'C');
  EXPECT_EQ(win::ClipboardText(), "ze");
  win::input::Key(VK_HOME);
  win::input::KeyWith(VK_CONTROL, 'V');
  EXPECT_EQ(Text(edit), "zeStütze");
  // Backspace removes one character, not one byte.
  win::input::Key(VK_END);
  win::input::Key(VK_LEFT);
  win::input::Key(VK_LEFT);
  win::input::Key(VK_LEFT);
  win::input::Key(VK_BACK);
  EXPECT_EQ(Text(edit), "zeSttze");  // the ü went as a whole
}

TEST_F(ControlTest, ReadOnlyAndNumberEditsRefuseWhatTheyMustNotTake) {
  HWND ro = Make("Edit", "fest", WS_BORDER | ES_READONLY, 1, 0, 0, 100, 20);
  SetFocus(ro);
  win::input::Type("x");
  EXPECT_EQ(Text(ro), "fest");
  HWND num = Make("Edit", "", WS_BORDER | ES_NUMBER, 2, 0, 30, 100, 20);
  SetFocus(num);
  win::input::Type("1a2");
  EXPECT_EQ(Text(num), "12");
  SendMessage(num, EM_LIMITTEXT, 3, 0);
  win::input::Type("345");
  EXPECT_EQ(Text(num), "123");
  EXPECT_TRUE(host.Saw(Cmd(2, EN_MAXTEXT)));
}

TEST_F(ControlTest, MultiLineEditCountsLinesAndMovesBetweenThem) {
  HWND edit = Make("Edit", "", WS_BORDER | ES_MULTILINE | ES_WANTRETURN, 1, 0, 0, 150, 60);
  SetFocus(edit);
  win::input::Type("ab\ncd");
  EXPECT_EQ(Text(edit), "ab\r\ncd");
  EXPECT_EQ(SendMessage(edit, EM_GETLINECOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessage(edit, EM_LINEINDEX, 1, 0), 4);
  win::input::Key(VK_UP);
  win::input::Type("X");
  EXPECT_EQ(Text(edit), "abX\r\ncd");
}

TEST_F(ControlTest, ChoosingFromTheDroppedListNotifiesAfterTheSelectionChanged) {
  HWND combo = Make("ComboBox", "", CBS_DROPDOWNLIST, 3, 10, 10, 120, 200);
  for (const char* s : {"A", "B", "C"}) SendMessage(combo, CB_ADDSTRING, 0, LPARAM(s));
  RECT r;
  GetWindowRect(combo, &r);
  EXPECT_LT(r.bottom - r.top, 40) << "the height given is the dropped list's";
  win::input::ClickCenter(combo);
  EXPECT_TRUE(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_TRUE(host.Saw(Cmd(3, CBN_DROPDOWN)));
  // The list lies under the combo box: its third line is item "C".
  HWND list = WindowFromPoint({r.left + 5, r.bottom + 1});
  ASSERT_NE(list, nullptr);
  int item = int(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
  win::input::Click(list, 5, 2 * item + item / 2);
  EXPECT_FALSE(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_FALSE(IsWindow(list));
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Text(combo), "C");
  auto pos = [&](const std::string& e) {
    return std::find(host.events.begin(), host.events.end(), e) - host.events.begin();
  };
  EXPECT_LT(pos(Cmd(3, CBN_CLOSEUP)), pos(Cmd(3, CBN_SELCHANGE)));
  EXPECT_LT(pos(Cmd(3, CBN_SELCHANGE)), long(host.events.size()));
}

TEST_F(ControlTest, FreeTextComboTakesTypedTextAndReportsIt) {
  HWND combo = Make("ComboBox", "", CBS_DROPDOWN, 4, 10, 10, 120, 200);
  for (const char* s : {"C20/25", "C30/37"}) SendMessage(combo, CB_ADDSTRING, 0, LPARAM(s));
  SendMessage(combo, CB_SETCURSEL, 1, 0);
  EXPECT_EQ(Text(combo), "C30/37");
  EXPECT_TRUE(host.events.empty()) << "selection in code is silent";
  SetFocus(combo);
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), kComboEditId) << "the combo box's own field takes the focus";
  win::input::Type("C45");
  EXPECT_EQ(Text(combo), "C45");
  EXPECT_TRUE(host.Saw(Cmd(4, CBN_EDITCHANGE)));
  EXPECT_EQ(SendMessage(combo, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("c20/25")), 0);
}

TEST_F(ControlTest, ListBoxClickSelectsAndNotifiesOnlyWithNotifyStyle) {
  HWND list = Make("ListBox", "", LBS_NOTIFY | WS_BORDER, 5, 10, 10, 100, 80);
  for (const char* s : {"eins", "zwei", "drei"}) SendMessage(list, LB_ADDSTRING, 0, LPARAM(s));
  int h = int(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
  win::input::Click(list, 5, h + h / 2);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(host.Saw(Cmd(5, LBN_SELCHANGE)));
  host.events.clear();
  SendMessage(list, LB_SETCURSEL, 2, 0);
  EXPECT_TRUE(host.events.empty());
  // Sorted lists insert in order, without regard to case.
  HWND sorted = Make("ListBox", "", LBS_SORT, 6, 120, 10, 100, 80);
  for (const char* s : {"b", "C", "a"}) SendMessage(sorted, LB_ADDSTRING, 0, LPARAM(s));
  char buf[8];
  SendMessage(sorted, LB_GETTEXT, 2, LPARAM(buf));
  EXPECT_STREQ(buf, "C");
}

TEST_F(ControlTest, CheckBoxesRadioButtonsAndThreeStates) {
  HWND check = Make("Button", "c", BS_AUTOCHECKBOX | WS_TABSTOP, 10, 0, 0, 80, 16);
  HWND three = Make("Button", "t", BS_AUTO3STATE, 11, 0, 20, 80, 16);
  HWND r1 = Make("Button", "r1", BS_AUTORADIOBUTTON | WS_GROUP, 12, 0, 40, 80, 16);
  HWND r2 = Make("Button", "r2", BS_AUTORADIOBUTTON, 13, 0, 60, 80, 16);
  HWND other = Make("Button", "o", BS_AUTORADIOBUTTON | WS_GROUP, 14, 0, 80, 80, 16);
  SendMessage(other, BM_SETCHECK, BST_CHECKED, 0);
  SetFocus(check);
  win::input::Key(VK_SPACE);
  EXPECT_EQ(SendMessage(check, BM_GETCHECK, 0, 0), BST_CHECKED);
  win::input::ClickCenter(three);
  win::input::ClickCenter(three);
  EXPECT_EQ(SendMessage(three, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
  win::input::ClickCenter(r1);
  win::AdvanceClock(1000);
  win::input::ClickCenter(r2);
  EXPECT_EQ(SendMessage(r1, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessage(r2, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessage(other, BM_GETCHECK, 0, 0), BST_CHECKED) << "another group is not touched";
}

TEST_F(ControlTest, SpinStepsItsBuddyAndTheParentMayRefuse) {
  HWND buddy = Make("Edit", "", WS_BORDER, 20, 10, 10, 60, 20);
  HWND spin =
      Make("msctls_updown32", "", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS, 21, 70, 10, 16, 20);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessage(spin, UDM_GETBUDDY, 0, 0)), buddy);
  SendMessage(spin, UDM_SETRANGE32, 0, 3);
  SendMessage(spin, UDM_SETPOS32, 0, 2);
  EXPECT_EQ(Text(buddy), "2");
  win::input::Click(spin, 5, 2);  // the upper arrow
  EXPECT_EQ(Text(buddy), "3");
  EXPECT_TRUE(host.Saw(Ntf(21, UDN_DELTAPOS) + " delta 1"));
  win::AdvanceClock(1000);
  win::input::Click(spin, 5, 2);
  EXPECT_EQ(Text(buddy), "3") << "no step past the upper end";
  host.answer = 1;  // refuse
  win::AdvanceClock(1000);
  int h = 20;
  win::input::Click(spin, 5, h - 3);
  EXPECT_EQ(Text(buddy), "3");
  host.answer = 0;
  SetFocus(buddy);
  win::input::Key(VK_DOWN);
  EXPECT_EQ(Text(buddy), "2");
}

TEST_F(ControlTest, ProgressBarStepsFromItsRangeAndStartsOverPastTheEnd) {
  HWND bar = Make("msctls_progress32", "", 0, 30, 10, 10, 200, 16);
  EXPECT_EQ(SendMessage(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 50)), MAKELONG(0, 100));
  SendMessage(bar, PBM_SETSTEP, 20, 0);
  EXPECT_EQ(SendMessage(bar, PBM_STEPIT, 0, 0), 0);
  EXPECT_EQ(SendMessage(bar, PBM_STEPIT, 0, 0), 20);
  EXPECT_EQ(SendMessage(bar, PBM_STEPIT, 0, 0), 40);
  EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 10);  // 60 is 10 past the end
  EXPECT_EQ(SendMessage(bar, PBM_SETPOS, 80, 0), 10);
  EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 50);
}

TEST_F(ControlTest, TreeExpandsByItsButtonAndSelectsByClickWithNotifications) {
  HWND tree = Make("SysTreeView32", "", TVS_HASBUTTONS | TVS_LINESATROOT | TVS_HASLINES, 40, 10, 10, 200, 150);
  CTreeCtrl* t = static_cast<CTreeCtrl*>(CWnd::FromHandle(tree));
  HTREEITEM root = t->InsertItem("Wurzel");
  HTREEITEM kid = t->InsertItem("Kind", root);
  EXPECT_EQ(t->GetChildItem(root), kid);
  EXPECT_EQ(t->GetParentItem(kid), root);
  t->Expand(root, TVE_EXPAND);
  EXPECT_TRUE(host.events.empty()) << "expanding in code is silent";
  t->Expand(root, TVE_COLLAPSE);
  RECT text;
  ASSERT_TRUE(t->GetItemRect(root, &text, TRUE));
  win::input::Click(tree, text.left - 8, (text.top + text.bottom) / 2);  // the button left of the text
  EXPECT_TRUE(t->GetItemState(root, TVIS_EXPANDED));
  EXPECT_TRUE(host.Saw(Ntf(40, TVN_ITEMEXPANDED) + " action " + std::to_string(TVE_EXPAND)));
  RECT kidText;
  ASSERT_TRUE(t->GetItemRect(kid, &kidText, TRUE));
  win::AdvanceClock(1000);
  win::input::Click(tree, kidText.left + 3, kidText.top + 3);
  EXPECT_EQ(t->GetSelectedItem(), kid);
  EXPECT_TRUE(host.Saw(Ntf(40, TVN_SELCHANGED) + " action " + std::to_string(TVC_BYMOUSE)));
  host.events.clear();
  t->SelectItem(root);
  EXPECT_TRUE(host.Saw(Ntf(40, TVN_SELCHANGED) + " action " + std::to_string(TVC_UNKNOWN)));
  t->DeleteItem(root);
  EXPECT_EQ(t->GetCount(), 0u);
  EXPECT_EQ(t->GetSelectedItem(), nullptr);
}

TEST_F(ControlTest, TooltipAppearsAfterItsDelayAndGoesOnAClick) {
  HWND button = Make("Button", "Hilfe", BS_PUSHBUTTON, 50, 10, 10, 80, 24);
  CToolTipCtrl tip;
  ASSERT_TRUE(tip.Create(&host));
  tip.SetDelayTime(TTDT_INITIAL, 50);
  ASSERT_TRUE(tip.AddTool(CWnd::FromHandle(button), "Zeigt die Hilfe"));
  EXPECT_EQ(tip.GetToolCount(), 1);
  MSG move{button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5), 0, {}};
  tip.RelayEvent(&move);
  win::RunFor(40);
  EXPECT_FALSE(tip.IsWindowVisible());
  win::RunFor(20);
  EXPECT_TRUE(tip.IsWindowVisible());
  win::Image img = win::RenderWindow(tip.m_hWnd);
  EXPECT_EQ(img.At(2, 2), GetSysColor(COLOR_INFOBK));
  MSG down{button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5), 0, {}};
  tip.RelayEvent(&down);
  EXPECT_FALSE(tip.IsWindowVisible());
  tip.Activate(FALSE);
  tip.RelayEvent(&move);
  win::RunFor(100);
  EXPECT_FALSE(tip.IsWindowVisible());
}

TEST_F(ControlTest, TooltipWatchesTheMouseOverItsToolByItself) {
  HWND button = Make("Button", "Hilfe", BS_PUSHBUTTON, 51, 10, 10, 80, 24);
  CToolTipCtrl tip;
  ASSERT_TRUE(tip.Create(&host));
  ASSERT_TRUE(tip.AddTool(CWnd::FromHandle(button), "Zeigt die Hilfe"));
  win::input::MouseMove(button, 5, 5);
  win::RunFor(600);
  EXPECT_TRUE(tip.IsWindowVisible());
  CString text;
  tip.GetText(text, CWnd::FromHandle(button));
  EXPECT_EQ(text, "Zeigt die Hilfe");
  win::input::MouseMove(host.m_hWnd, 300, 200);
  EXPECT_FALSE(tip.IsWindowVisible()) << "leaving the tool hides the tip";
}

TEST_F(ControlTest, StaticTextLetsClicksThroughUnlessItNotifies) {
  HWND label = Make("Static", "Text", SS_LEFT, 60, 10, 10, 80, 16);
  EXPECT_EQ(WindowFromPoint({100 + 15, 100 + 15}), host.m_hWnd);
  SetWindowLongPtr(label, GWL_STYLE, GetWindowLongPtr(label, GWL_STYLE) | SS_NOTIFY);
  EXPECT_EQ(WindowFromPoint({100 + 15, 100 + 15}), label);
  win::input::ClickCenter(label);
  EXPECT_TRUE(host.Saw(Cmd(60, STN_CLICKED)));
}

}  // namespace
