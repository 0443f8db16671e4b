// List boxes, combo boxes, list views and trees driven by the mouse and the keyboard, checked by what they draw:
// where the highlight of the chosen row stands, what the field of a combo box shows, how far a list is scrolled.
#include <gtest/gtest.h>

#include "tests/platform/win/pixels_support.h"

namespace {

using win::pixels::ClientRect;
using win::pixels::Cmd;
using win::pixels::Picture;
using win::pixels::Shot;
using win::pixels::VScrollThumbTop;

// The rows (from the top of the area, each `height` pixels) the highlight colour lies on: -1 for none; a highlight
// that is not one whole row gives -2.
int LitRow(const Picture& p, const RECT& area, int height) {
  std::optional<RECT> lit = p.Bounds(area, GetSysColor(COLOR_HIGHLIGHT));
  if (!lit) return -1;
  int row = (lit->top - area.top) / height;
  if (lit->top != area.top + row * height || lit->bottom != lit->top + height) return -2;
  return row;
}

const char* const kShapes[] = {"Rechteck", "Kreis", "Kreisring", "T-Profil", "I-Profil", "L-Profil", "U-Profil"};

class ListBoxPixelTest : public win::pixels::ControlPixelTest {};

// The highlight after each step of the user's, from the top of the visible rows; the list shows four of its seven
// rows.
struct ListStep {
  const char* name;
  UINT key;   // 0: a click on `row` instead
  int row;    // clicked row, or the row lit after the key
  int first;  // the item shown in the first row
};

TEST_F(ListBoxPixelTest, TheHighlightFollowsClicksAndKeysAndTheListScrollsToIt) {
  Open({{10, "ListBox", "", LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 10, 10, 90, 40}});
  HWND list = Item(10);
  for (const char* s : kShapes) SendMessage(list, LB_ADDSTRING, 0, LPARAM(s));
  const int h = int(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
  ASSERT_EQ(ClientRect(list).bottom / h, 4) << "four rows shown";
  const RECT rows{0, 0, ClientRect(list).right, 4 * h};
  EXPECT_EQ(LitRow(Shot(list), rows, h), -1) << "nothing chosen yet";
  const int thumbAtTop = VScrollThumbTop(Shot(list), list);
  ASSERT_GE(thumbAtTop, 0);
  const ListStep steps[] = {
      {"a click on the second row", 0, 1, 0},          {"down", VK_DOWN, 2, 0}, {"down again", VK_DOWN, 3, 0},
      {"down past the last row shown", VK_DOWN, 3, 1}, {"end", VK_END, 3, 3},   {"home", VK_HOME, 0, 0},
  };
  for (const ListStep& s : steps) {
    SCOPED_TRACE(s.name);
    if (s.key) {
      win::input::Key(s.key);
    } else {
      Pause();
      win::input::Click(list, 20, s.row * h + h / 2);
    }
    Picture p = Shot(list);
    EXPECT_EQ(LitRow(p, rows, h), s.row);
    EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), s.first);
    int thumb = VScrollThumbTop(p, list);
    if (s.first == 0)
      EXPECT_EQ(thumb, thumbAtTop);
    else
      EXPECT_GT(thumb, thumbAtTop) << "the scroll bar's thumb moved down with the list";
  }
  EXPECT_TRUE(board.Saw(Cmd(10, LBN_SELCHANGE)));
}

TEST_F(ListBoxPixelTest, EachClickTogglesARowOfAMultipleSelectionList) {
  Open({{11, "ListBox", "", LBS_NOTIFY | LBS_MULTIPLESEL | WS_BORDER | WS_TABSTOP, 10, 10, 90, 60}});
  HWND list = Item(11);
  for (const char* s : kShapes) SendMessage(list, LB_ADDSTRING, 0, LPARAM(s));
  const int h = int(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
  const COLORREF lit = GetSysColor(COLOR_HIGHLIGHT);
  auto litRows = [&] {
    Picture p = Shot(list);
    std::vector<int> rows;
    for (int r = 0; r < 5; ++r)
      if (p.Count({0, r * h, ClientRect(list).right, (r + 1) * h}, lit) > 0) rows.push_back(r);
    return rows;
  };
  for (int row : {0, 2, 3}) {
    Pause();
    win::input::Click(list, 20, row * h + h / 2);
  }
  EXPECT_EQ(litRows(), (std::vector<int>{0, 2, 3}));
  Pause();
  win::input::Click(list, 20, 2 * h + h / 2);
  EXPECT_EQ(litRows(), (std::vector<int>{0, 3}));
  // The space bar toggles the row with the focus: the one clicked last.
  win::input::Key(VK_SPACE);
  EXPECT_EQ(litRows(), (std::vector<int>{0, 2, 3}));
}

class ComboPixelTest : public win::pixels::ControlPixelTest {
 protected:
  // The dropped list of a combo box: the window just below it.
  static HWND DroppedList(HWND combo) {
    RECT r;
    GetWindowRect(combo, &r);
    HWND list = WindowFromPoint({r.left + 5, r.bottom + 2});
    char cls[32] = "";
    GetClassName(list, cls, sizeof(cls));
    return std::string(cls) == "ComboLBox" ? list : nullptr;
  }
  // The field of a drop-down list: between the sunken edge and the drop button.
  static RECT Field(HWND combo) {
    RECT rc = ClientRect(combo);
    return {3, 3, rc.right - GetSystemMetrics(SM_CXVSCROLL) - 3, rc.bottom - 3};
  }
  // The top-left pixel of the drop button's inner edge: light when raised, dark while the list is down.
  static COLORREF ButtonCorner(HWND combo) {
    RECT rc = ClientRect(combo);
    return Shot(combo).At(rc.right - GetSystemMetrics(SM_CXVSCROLL) - 1, 3);
  }
  void Fill(HWND combo) {
    for (const char* s : kShapes) SendMessage(combo, CB_ADDSTRING, 0, LPARAM(s));
  }
};

TEST_F(ComboPixelTest, TheDroppedListShowsTheChoiceFollowsTheMouseAndTheFieldShowsWhatWasTaken) {
  Open({{20, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 10, 10, 90, 100},
        {21, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 10, 30, 90, 100},
        {22, "Button", "OK", BS_PUSHBUTTON | WS_TABSTOP, 110, 10, 40, 14}});
  HWND combo = Item(20), same = Item(21);
  Fill(combo);
  Fill(same);
  SendMessage(combo, CB_SETCURSEL, 1, 0);
  SendMessage(same, CB_SETCURSEL, 3, 0);  // what the first should show at the end
  const COLORREF raised = GetSysColor(COLOR_3DHILIGHT), sunken = GetSysColor(COLOR_3DDKSHADOW);
  EXPECT_EQ(ButtonCorner(combo), raised);
  EXPECT_FALSE(DroppedList(combo));

  win::input::ClickCenter(combo);
  HWND list = DroppedList(combo);
  ASSERT_TRUE(list) << "the click dropped the list";
  EXPECT_EQ(ButtonCorner(combo), sunken) << "the drop button is held in while the list is down";
  const int h = int(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
  const RECT rows{0, 0, ClientRect(list).right, ClientRect(list).bottom / h * h};
  EXPECT_EQ(LitRow(Shot(list), rows, h), 1) << "the current item is lit as the list opens";
  win::input::MouseMove(list, 20, 3 * h + h / 2);
  EXPECT_EQ(LitRow(Shot(list), rows, h), 3) << "the light follows the mouse";

  RECT field = Field(combo);
  Picture other = Shot(same);
  EXPECT_FALSE(Shot(combo).Same(field, other, {field.left, field.top}));
  win::input::Click(list, 20, 3 * h + h / 2);
  EXPECT_FALSE(DroppedList(combo));
  EXPECT_EQ(ButtonCorner(combo), raised);
  // Focused, the field is lit; with the focus on the button it shows the text as the other combo, set in code.
  Picture focused = Shot(combo);
  EXPECT_GT(focused.Count(field, GetSysColor(COLOR_HIGHLIGHT)), 0);
  SetFocus(Item(22));
  EXPECT_TRUE(Shot(combo).Same(field, other, {field.left, field.top}));
}

TEST_F(ComboPixelTest, KeysMoveTheLightInTheDroppedListAndEnterTakesWhatIsLit) {
  Open({{30, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 10, 10, 90, 100}});
  HWND combo = Item(30);
  Fill(combo);
  SendMessage(combo, CB_SETCURSEL, 0, 0);
  SetFocus(combo);
  win::input::Key(VK_F4);
  HWND list = DroppedList(combo);
  ASSERT_TRUE(list);
  const int h = int(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
  const RECT rows{0, 0, ClientRect(list).right, ClientRect(list).bottom / h * h};
  ASSERT_EQ(rows.bottom / h, 7) << "every item shown";
  win::input::Key(VK_DOWN);
  win::input::Key(VK_DOWN);
  EXPECT_EQ(LitRow(Shot(list), rows, h), 2);
  // The mouse lights a row; a key then moves on from there, and Enter takes the row lit.
  win::input::MouseMove(list, 20, 1 * h + h / 2);
  EXPECT_EQ(LitRow(Shot(list), rows, h), 1);
  win::input::Key(VK_DOWN);
  EXPECT_EQ(LitRow(Shot(list), rows, h), 2);
  win::input::MouseMove(list, 20, 4 * h + h / 2);
  win::input::Key(VK_RETURN);
  EXPECT_FALSE(DroppedList(combo));
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 4);
  // Escape closes without taking what the light moved to.
  win::input::Key(VK_F4);
  list = DroppedList(combo);
  ASSERT_TRUE(list);
  EXPECT_EQ(LitRow(Shot(list), rows, h), 4);
  win::input::Key(VK_DOWN);
  EXPECT_EQ(LitRow(Shot(list), rows, h), 5);
  win::input::Key(VK_ESCAPE);
  EXPECT_FALSE(DroppedList(combo));
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 4);
}

TEST_F(ComboPixelTest, TheFreeTextComboDropsByItsButtonAndEnterTakesTheLitRowNotTheDefaultButton) {
  Open({{35, "ComboBox", "", CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 10, 10, 90, 100},
        {36, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 110, 10, 40, 14}});
  HWND combo = Item(35);
  Fill(combo);
  HWND edit = ::GetDlgItem(combo, kComboEditId);
  ASSERT_TRUE(edit);
  SetFocus(edit);
  auto inkWidth = [&] {
    std::optional<RECT> ink = Shot(edit).Ink(ClientRect(edit), GetSysColor(COLOR_WINDOW));
    return ink ? ink->right - ink->left : 0;
  };
  EXPECT_LE(inkWidth(), 1) << "the caret alone";
  win::input::Type("C45");
  EXPECT_GT(inkWidth(), 10) << "the typed text";
  RECT rc = ClientRect(combo);
  win::input::Click(combo, rc.right - 6, rc.bottom / 2);
  HWND list = DroppedList(combo);
  ASSERT_TRUE(list);
  EXPECT_EQ(ButtonCorner(combo), GetSysColor(COLOR_3DDKSHADOW));
  const int h = int(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
  const RECT rows{0, 0, ClientRect(list).right, ClientRect(list).bottom / h * h};
  EXPECT_EQ(LitRow(Shot(list), rows, h), -1) << "the typed text is none of the items";
  win::input::MouseMove(list, 20, 2 * h + h / 2);
  EXPECT_EQ(LitRow(Shot(list), rows, h), 2);
  win::input::Key(VK_RETURN);
  EXPECT_FALSE(DroppedList(combo));
  EXPECT_EQ(ButtonCorner(combo), GetSysColor(COLOR_3DHILIGHT));
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 2);
  char text[32];
  GetWindowText(edit, text, sizeof(text));
  EXPECT_STREQ(text, kShapes[2]);
  EXPECT_TRUE(Shot(edit).Bounds(ClientRect(edit), GetSysColor(COLOR_HIGHLIGHT))) << "the taken text is selected";
  EXPECT_FALSE(board.Saw(Cmd(36, BN_CLICKED)) || board.Saw(Cmd(IDOK, BN_CLICKED)))
      << "Enter closed the list and did not press the dialog's default button";
  // Escape closes the list again without cancelling the dialog.
  win::input::Key(VK_F4);
  ASSERT_TRUE(DroppedList(combo));
  win::input::Key(VK_ESCAPE);
  EXPECT_FALSE(DroppedList(combo));
  EXPECT_FALSE(board.Saw(Cmd(IDCANCEL, BN_CLICKED)));
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 2);
}

TEST_F(ComboPixelTest, TheSimpleComboLightsTheRowChosenByClickOrKey) {
  Open({{40, "ComboBox", "", CBS_SIMPLE | WS_TABSTOP, 10, 10, 90, 60}});
  HWND combo = Item(40);
  Fill(combo);
  HWND list = ::GetDlgItem(combo, 1000);
  ASSERT_TRUE(list);
  const int h = int(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
  const RECT rows{0, 0, ClientRect(list).right, ClientRect(list).bottom / h * h};
  EXPECT_EQ(LitRow(Shot(list), rows, h), -1);
  win::input::Click(list, 20, 2 * h + h / 2);
  EXPECT_EQ(LitRow(Shot(list), rows, h), 2);
  HWND edit = ::GetDlgItem(combo, kComboEditId);
  ASSERT_TRUE(edit);
  SetFocus(edit);
  win::input::Key(VK_DOWN);
  EXPECT_EQ(LitRow(Shot(list), rows, h), 3);
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 3);
  // The field takes the item's text.
  char text[32];
  GetWindowText(edit, text, sizeof(text));
  EXPECT_STREQ(text, kShapes[3]);
}

class ListViewPixelTest : public win::pixels::ControlPixelTest {};

TEST_F(ListViewPixelTest, TheLitRowFollowsClicksAndArrowKeys) {
  // Made on the open dialog as its owner's object: a list view's temporary wrapper is a plain window.
  Open({});
  CListCtrl view;
  ASSERT_TRUE(view.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | WS_TABSTOP,
                          CRect(10, 10, 250, 140), &board, 50));
  view.SendMessage(WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)));
  CListCtrl* list = &view;
  list->InsertColumn(0, "Lage", LVCFMT_LEFT, 80);
  list->InsertColumn(1, "Stäbe", LVCFMT_LEFT, 80);
  list->SetExtendedStyle(LVS_EX_FULLROWSELECT);
  for (const char* s : {"oben", "unten", "seitlich", "Bügel"}) {
    int i = list->InsertItem(list->GetItemCount(), s);
    list->SetItemText(i, 1, "4 Ø 16");
  }
  CRect first;
  ASSERT_TRUE(list->GetItemRect(0, &first, LVIR_BOUNDS));
  const int h = first.Height();
  const RECT rows{0, first.top, ClientRect(list->m_hWnd).right, first.top + 4 * h};
  EXPECT_EQ(LitRow(Shot(list->m_hWnd), rows, h), -1);
  win::input::Click(list->m_hWnd, 100, first.top + h + h / 2);
  EXPECT_EQ(LitRow(Shot(list->m_hWnd), rows, h), 1);
  win::input::Key(VK_DOWN);
  win::input::Key(VK_DOWN);
  Picture down = Shot(list->m_hWnd);
  EXPECT_EQ(LitRow(down, rows, h), 3);
  // The whole row is lit, the second column too.
  EXPECT_EQ(down.At(120, first.top + 3 * h + 1), GetSysColor(COLOR_HIGHLIGHT));
  win::input::Key(VK_HOME);
  EXPECT_EQ(LitRow(Shot(list->m_hWnd), rows, h), 0);
  // A click on the header sorts nothing here and leaves the light.
  win::input::Click(list->m_hWnd, 100, first.top / 2);
  EXPECT_EQ(LitRow(Shot(list->m_hWnd), rows, h), 0);
}

class TreePixelTest : public win::pixels::ControlPixelTest {};

TEST_F(TreePixelTest, KeysAndClicksExpandSelectAndCollapseAsDrawn) {
  Open({{60, "SysTreeView32", "", TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_TABSTOP, 10,
         10, 150, 80}});
  CTreeCtrl* tree = static_cast<CTreeCtrl*>(CWnd::FromHandle(Item(60)));
  HTREEITEM column = tree->InsertItem("Stütze");
  tree->InsertItem("Bewehrung", column);
  tree->InsertItem("Beton", column);
  HTREEITEM footing = tree->InsertItem("Fundament");
  HWND wnd = tree->m_hWnd;
  const int h = int(tree->SendMessage(TVM_GETITEMHEIGHT));
  const RECT rows{0, 0, ClientRect(wnd).right, 4 * h};
  CRect label;
  ASSERT_TRUE(tree->GetItemRect(column, &label, TRUE));
  // The button's vertical stroke makes the plus; expanded it is a minus.
  const POINT plus{label.left - int(tree->GetIndent()) / 2 - 1, h / 2 - 2};
  const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT), back = GetSysColor(COLOR_WINDOW);
  Picture collapsed = Shot(wnd);
  EXPECT_EQ(collapsed.At(plus), ink);
  EXPECT_EQ(LitRow(collapsed, rows, h), -1);
  // "Fundament" in the second row, as it stands in the fourth once the first item is open.
  const RECT second{0, h, ClientRect(wnd).right, 2 * h};

  win::input::Click(wnd, label.left + 3, h / 2);
  EXPECT_EQ(LitRow(Shot(wnd), rows, h), 0);
  win::input::Key(VK_RIGHT);
  Picture open = Shot(wnd);
  EXPECT_EQ(open.At(plus), back) << "a minus now";
  EXPECT_EQ(LitRow(open, rows, h), 0);
  EXPECT_FALSE(open.Same(second, collapsed, {0, h})) << "a child in the second row";
  EXPECT_TRUE(open.Same({0, 3 * h, ClientRect(wnd).right, 4 * h}, collapsed, {0, h})) << "Fundament moved down";
  win::input::Key(VK_RIGHT);  // into the first child
  EXPECT_EQ(LitRow(Shot(wnd), rows, h), 1);
  win::input::Key(VK_END);
  EXPECT_EQ(LitRow(Shot(wnd), rows, h), 3);
  EXPECT_EQ(tree->GetSelectedItem(), footing);
  win::input::Key(VK_HOME);
  win::input::Key(VK_LEFT);  // collapses the first item
  Picture closed = Shot(wnd);
  EXPECT_EQ(closed.At(plus), ink);
  EXPECT_TRUE(closed.Same(second, collapsed, {0, h}));
  // A click on the button opens it again, without moving the light.
  Pause();
  win::input::Click(wnd, plus.x, h / 2);
  EXPECT_EQ(Shot(wnd).At(plus), back);
  EXPECT_EQ(LitRow(Shot(wnd), rows, h), 0);
}

}  // namespace

namespace {

// Alt+Down opens a combo's list and Alt+Up closes it on the row lit, as F4 does, whether the focus is on a list combo
// or in the field of one that takes free text (Alt+Up left the list open); the dialog gets neither key.
TEST_F(ComboPixelTest, AltDownOpensTheListAndAltUpClosesItOnTheRowLit) {
  Open({{40, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 10, 10, 90, 100},
        {41, "ComboBox", "", CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 10, 40, 90, 100}});
  for (const int id : {40, 41}) {
    SCOPED_TRACE(id == 40 ? "list" : "free text");
    HWND combo = Item(id);
    Fill(combo);
    SendMessage(combo, CB_SETCURSEL, 1, 0);
    HWND field = ::GetWindow(combo, GW_CHILD);
    SetFocus(id == 41 && field ? field : combo);
    win::input::KeyWith(VK_MENU, VK_DOWN);
    ASSERT_TRUE(DroppedList(combo));
    win::input::Key(VK_DOWN);
    win::input::KeyWith(VK_MENU, VK_UP);
    EXPECT_FALSE(DroppedList(combo));
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 2);
  }
}

}  // namespace
