// The list view in report view: columns, items with sub-items and icons, selection by mouse and keys, the
// notifications its parent gets, and what it draws.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win/dialogs/wintest.h"

namespace {

constexpr COLORREF kIcon = RGB(200, 0, 200);

// Records the list notifications with the item they name; may refuse a state change.
class Host : public CWnd {
 public:
  std::vector<std::string> events;
  bool refuse = false;
  BOOL OnNotify(WPARAM, LPARAM l, LRESULT* r) override {
    auto* h = reinterpret_cast<NMHDR*>(l);
    auto* lv = reinterpret_cast<NMLISTVIEW*>(l);
    std::string e;
    switch (h->code) {
      case LVN_ITEMCHANGING: e = "changing"; break;
      case LVN_ITEMCHANGED: e = "changed"; break;
      case LVN_DELETEITEM: e = "delete"; break;
      case LVN_COLUMNCLICK: e = "column " + std::to_string(lv->iSubItem); break;
      case NM_CLICK: e = "click"; break;
      case NM_DBLCLK: e = "dblclk"; break;
      default: return FALSE;
    }
    if (h->code != LVN_COLUMNCLICK) e += " " + std::to_string(lv->iItem);
    if (h->code == LVN_ITEMCHANGED)
      e += (lv->uNewState & LVIS_SELECTED) ? " +sel" : (lv->uOldState & LVIS_SELECTED) ? " -sel" : " focus";
    events.push_back(e);
    *r = h->code == LVN_ITEMCHANGING && refuse;
    return TRUE;
  }
  bool Saw(const std::string& e) const { return std::find(events.begin(), events.end(), e) != events.end(); }
};

class ListViewTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(host.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr));
    ASSERT_TRUE(
        list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, CRect(10, 10, 310, 210), &host, 60));
    list.SendMessage(WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)));
    list.InsertColumn(0, "Position", LVCFMT_LEFT, 120);
    list.InsertColumn(1, "Programm", LVCFMT_LEFT, 150);
    for (const char* name : {"Decke", "Stuetze", "Wand"}) {
      int i = list.InsertItem(list.GetItemCount(), name, 0);
      list.SetItemText(i, 1, (std::string("TQ-") + name).c_str());
    }
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    bitmap.CreateBitmap(16, 16, 1, 32, nullptr);
    CBitmap* old = dc.SelectObject(&bitmap);
    CBrush fill(kIcon);
    CRect all(0, 0, 16, 16);
    dc.FillRect(&all, &fill);
    dc.SelectObject(old);
    images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 0);
    images.Add(&bitmap, RGB(255, 255, 255));
  }
  // The middle of an item's row in a column.
  CPoint At(int item, int column) {
    CRect row;
    EXPECT_TRUE(list.GetItemRect(item, &row, LVIR_BOUNDS));
    int left = column == 0 ? 0 : list.GetColumnWidth(0);
    return CPoint(left + list.GetColumnWidth(column) / 2, row.CenterPoint().y);
  }
  int Selected() const { return list.GetNextItem(-1, LVNI_SELECTED); }

  Host host;
  CListCtrl list;
  CBitmap bitmap;
  CImageList images;
};

TEST_F(ListViewTest, ItemsKeepTheirTextsSubItemsDataAndOrder) {
  ASSERT_EQ(list.GetItemCount(), 3);
  list.InsertItem(1, "Balken");
  list.SetItemData(1, 77);
  EXPECT_EQ(list.GetItemText(1, 0), "Balken");
  EXPECT_EQ(list.GetItemText(2, 0), "Stuetze");
  EXPECT_EQ(list.GetItemText(2, 1), "TQ-Stuetze");
  EXPECT_EQ(list.GetItemText(1, 1), "") << "a new item has no sub-item text";
  EXPECT_EQ(list.GetItemData(1), 77u);
  EXPECT_EQ(list.GetItemImage(0), 0);
  LVFINDINFO find{LVFI_STRING, "wand", 0};
  EXPECT_EQ(list.FindItem(&find), 3) << "found without regard to case";
  LVCOLUMN column{};
  char heading[32];
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = heading;
  column.cchTextMax = sizeof(heading);
  ASSERT_TRUE(list.GetColumn(1, &column));
  EXPECT_STREQ(heading, "Programm");
  EXPECT_EQ(column.cx, 150);
  list.SetColumnWidth(1, 90);
  EXPECT_EQ(list.GetColumnWidth(1), 90);
  host.events.clear();
  EXPECT_TRUE(list.DeleteItem(0));
  EXPECT_EQ(list.GetItemText(0, 0), "Balken");
  EXPECT_TRUE(host.Saw("delete 0"));
  EXPECT_TRUE(list.DeleteAllItems());
  EXPECT_EQ(list.GetItemCount(), 0);
  EXPECT_TRUE(host.Saw("delete 2")) << "each item is announced unless the parent declines";
}

// Where a click on a row selects: the whole row with full-row selection, else only the first column.
struct ClickCase {
  DWORD exStyle;
  int column;
  int selected;
};

TEST_F(ListViewTest, AClickSelectsTheRowWhereTheStyleSaysSo) {
  const ClickCase cases[] = {
      {0, 0, 1},
      {0, 1, -1},
      {LVS_EX_FULLROWSELECT, 1, 1},
      {LVS_EX_FULLROWSELECT, 0, 1},
  };
  for (const ClickCase& c : cases) {
    list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    list.SetExtendedStyle(c.exStyle);
    CPoint p = At(1, c.column);
    win::AdvanceClock(1000);
    win::input::Click(list.m_hWnd, p.x, p.y);
    EXPECT_EQ(Selected(), c.selected) << "style " << c.exStyle << " column " << c.column;
  }
}

TEST_F(ListViewTest, SelectionMovesWithNotificationsAndTheParentMayRefuse) {
  list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  CPoint first = At(0, 1);
  win::input::Click(list.m_hWnd, first.x, first.y);
  EXPECT_EQ(Selected(), 0);
  EXPECT_TRUE(host.Saw("changed 0 +sel"));
  EXPECT_TRUE(host.Saw("click 0"));
  host.events.clear();
  win::input::Key(VK_DOWN);
  EXPECT_EQ(Selected(), 1);
  EXPECT_EQ(list.GetSelectedCount(), 1u) << "the arrow moves the one selection";
  EXPECT_TRUE(host.Saw("changed 0 -sel"));
  EXPECT_TRUE(host.Saw("changed 1 +sel"));
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 1);
  host.refuse = true;
  win::input::Key(VK_END);
  EXPECT_EQ(Selected(), 1) << "a refused change leaves the selection";
  host.refuse = false;
  host.events.clear();
  CPoint last = At(2, 1);
  win::AdvanceClock(1000);
  win::input::DoubleClick(list.m_hWnd, last.x, last.y);
  EXPECT_TRUE(host.Saw("dblclk 2"));
  EXPECT_EQ(Selected(), 2);
  POSITION pos = list.GetFirstSelectedItemPosition();
  ASSERT_NE(pos, nullptr);
  EXPECT_EQ(list.GetNextSelectedItem(pos), 2);
  EXPECT_EQ(pos, nullptr);
}

TEST_F(ListViewTest, HeaderClickNamesItsColumnAndHitTestsTellWhatIsUnderThePoint) {
  CRect row;
  ASSERT_TRUE(list.GetItemRect(0, &row, LVIR_BOUNDS));
  ASSERT_GT(row.top, 0) << "the header stands above the first row";
  win::input::Click(list.m_hWnd, 130, row.top / 2);
  EXPECT_TRUE(host.Saw("column 1"));
  EXPECT_EQ(Selected(), -1);
  UINT flags = 0;
  EXPECT_EQ(list.HitTest(CPoint(5, row.top / 2), &flags), -1);
  EXPECT_EQ(flags, LVHT_ABOVE);
  EXPECT_EQ(list.HitTest(CPoint(60, row.top + 2), &flags), 0);
  EXPECT_EQ(flags, LVHT_ONITEMLABEL);
  list.SetImageList(&images, LVSIL_SMALL);
  ASSERT_TRUE(list.GetItemRect(0, &row, LVIR_BOUNDS));
  EXPECT_EQ(list.HitTest(CPoint(6, row.top + 2), &flags), 0);
  EXPECT_EQ(flags, LVHT_ONITEMICON);
  EXPECT_EQ(list.HitTest(CPoint(60, row.top + 3 * row.Height()), &flags), -1);
  EXPECT_EQ(flags, LVHT_BELOW);
}

TEST_F(ListViewTest, DrawsTheHeaderTheIconsAndTheSelectedRowsHighlight) {
  list.SetImageList(&images, LVSIL_SMALL);
  EXPECT_EQ(list.GetImageList(LVSIL_SMALL)->GetSafeHandle(), images.GetSafeHandle());
  list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  list.SetFocus();
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  CRect icon, row0, row1;
  ASSERT_TRUE(list.GetItemRect(0, &row0, LVIR_BOUNDS));
  ASSERT_TRUE(list.GetItemRect(1, &row1, LVIR_BOUNDS));
  ASSERT_TRUE(list.GetItemRect(0, &icon, LVIR_ICON));
  win::Image img = win::RenderWindow(list.m_hWnd);
  // The window has a frame of its own only with a border; the list was made without one.
  EXPECT_EQ(img.At(60, row0.top / 2 + 1), GetSysColor(COLOR_3DFACE)) << "header band";
  EXPECT_EQ(img.At(icon.left + 8, row0.top + row0.Height() / 2), kIcon) << "the item's icon";
  EXPECT_EQ(img.At(250, row1.top + 1), GetSysColor(COLOR_HIGHLIGHT)) << "full row lit, into the second column";
  EXPECT_EQ(img.At(250, row0.top + 1), GetSysColor(COLOR_WINDOW)) << "an unselected row";
  EXPECT_EQ(img.At(12, row1.bottom + row1.Height() / 2), kIcon) << "the next item's icon";
  EXPECT_EQ(img.At(12, row1.bottom + row1.Height() * 3 / 2), GetSysColor(COLOR_WINDOW)) << "below the last item";
  // Without full-row selection only the first column is lit.
  list.SetExtendedStyle(0);
  img = win::RenderWindow(list.m_hWnd);
  EXPECT_EQ(img.At(250, row1.top + 1), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(img.At(100, row1.top + 1), GetSysColor(COLOR_HIGHLIGHT));
  // Focus elsewhere: the kept selection is shaded, not lit.
  host.SetFocus();
  img = win::RenderWindow(list.m_hWnd);
  EXPECT_EQ(img.At(100, row1.top + 1), GetSysColor(COLOR_3DFACE));
}

}  // namespace
