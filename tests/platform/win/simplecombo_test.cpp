// Simple combo boxes: the list always shows below the edit and a click in it chooses the item.
#include <gtest/gtest.h>

#include "platform/win/dialogs/wintest.h"

namespace {

class Host : public CWnd {
 public:
  std::vector<std::pair<UINT, UINT>> commands;
  BOOL OnCommand(WPARAM w, LPARAM) override {
    commands.emplace_back(LOWORD(w), HIWORD(w));
    return TRUE;
  }
};

class SimpleComboTest : public win::test::WindowTest {};

TEST_F(SimpleComboTest, TheListShowsBelowTheEditAndAClickChooses) {
  Host host;
  ASSERT_TRUE(host.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr));
  CComboBox combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_SIMPLE, CRect(10, 10, 150, 130), &host, 9));
  combo.SendMessage(WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), 0);
  for (const char* t : {"Rechteck", "Kreis", "Kreisring"}) combo.AddString(t);
  CRect r;
  combo.GetWindowRect(&r);
  EXPECT_EQ(r.Height(), 120) << "a simple combo keeps the height it was given";
  HWND list = ::GetDlgItem(combo.m_hWnd, 1000);
  ASSERT_TRUE(::IsWindowVisible(list));
  EXPECT_EQ(::SendMessage(list, LB_GETCOUNT, 0, 0), 3);
  int rowHeight = int(::SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
  win::input::Click(list, 20, rowHeight * 2 + rowHeight / 2);  // the third row
  EXPECT_EQ(combo.GetCurSel(), 2);
  CString text;
  combo.GetWindowText(text);
  EXPECT_EQ(text, CString("Kreisring"));
  EXPECT_NE(std::find(host.commands.begin(), host.commands.end(), std::make_pair(9u, UINT(CBN_SELCHANGE))),
            host.commands.end());
  EXPECT_TRUE(::IsWindowVisible(list)) << "choosing does not close the list";
  combo.DeleteString(0);
  EXPECT_EQ(::SendMessage(list, LB_GETCOUNT, 0, 0), 2) << "the list follows the combo's items";
  if (const char* out = std::getenv("KOLUMO_TEST_PNG")) win::SaveWindowPng(host.m_hWnd, out);
}

}  // namespace
