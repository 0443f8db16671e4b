// Owner-drawn list boxes: the parent gives the row height and draws each row with its state and data.
#include <gtest/gtest.h>

#include "platform/win/dialogs/wintest.h"

namespace {

// Rows 24 pixels high; each row a swatch of the colour its item data holds, framed when selected.
class Parent : public CWnd {
 public:
  std::vector<UINT> drawn;
  void OnMeasureItem(int, LPMEASUREITEMSTRUCT mis) {
    if (mis->CtlType == ODT_LISTBOX) mis->itemHeight = 24;
  }
  void OnDrawItem(int, LPDRAWITEMSTRUCT dis) {
    if (dis->CtlType != ODT_LISTBOX) return;
    drawn.push_back(dis->itemID);
    HBRUSH b = CreateSolidBrush(COLORREF(dis->itemData));
    FillRect(dis->hDC, &dis->rcItem, b);
    DeleteObject(b);
    if (dis->itemState & ODS_SELECTED)
      FrameRect(dis->hDC, &dis->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Parent, CWnd)
ON_WM_MEASUREITEM()
ON_WM_DRAWITEM()
END_MESSAGE_MAP()

class OwnerDrawListTest : public win::test::WindowTest {};

TEST_F(OwnerDrawListTest, RowsAreMeasuredAndDrawnByTheParent) {
  Parent parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr));
  CListBox list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY,
                          CRect(0, 0, 100, 100), &parent, 7));
  EXPECT_EQ(list.GetItemHeight(0), 24);
  const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 128, 0), RGB(0, 0, 255)};
  for (COLORREF c : colours) list.SetItemData(list.AddString("x"), DWORD_PTR(c));
  list.SetCurSel(1);
  win::Image shot = win::RenderWindow(list.m_hWnd);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(shot.At(50, 24 * i + 12), colours[i]) << i;
  EXPECT_EQ(shot.At(0, 24 + 12), RGB(0, 0, 0)) << "the selected row is framed";
  EXPECT_EQ(shot.At(0, 12), colours[0]);
  EXPECT_EQ(parent.drawn, (std::vector<UINT>{0, 1, 2}));
  // A click on the third row selects it, as in any list box.
  win::input::Click(list.m_hWnd, 50, 24 * 2 + 5);
  EXPECT_EQ(list.GetCurSel(), 2);
}

}  // namespace
