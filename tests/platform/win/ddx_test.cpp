// Dialog data exchange, default buttons, radio groups and dialog item helpers.
#include <gtest/gtest.h>

#include "platform/win/dialogs/wintest.h"

namespace {

using win::test::WindowTest;

enum : int { kR1 = 20, kR2, kR3, kCombo = 30, kList, kValue, kApply = 40, kAfter = 50 };

win::DialogTemplate Options() {
  win::DialogTemplate t;
  t.caption = "Optionen";
  t.cx = 200;
  t.cy = 120;
  using I = win::DialogItem;
  t.items = {
      I{kR1, "Button", "DIN", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 5, 5, 50, 10},
      I{kR2, "Button", "EC2", BS_AUTORADIOBUTTON, 5, 17, 50, 10},
      I{kR3, "Button", "SIA", BS_AUTORADIOBUTTON, 5, 29, 50, 10},
      I{kCombo, "ComboBox", "", CBS_DROPDOWNLIST | WS_TABSTOP | WS_GROUP, 60, 5, 80, 60},
      I{kList, "ListBox", "", LBS_NOTIFY | WS_BORDER | WS_TABSTOP, 60, 22, 80, 40},
      I{kValue, "Edit", "", WS_BORDER | WS_TABSTOP, 60, 65, 80, 12},
      I{kApply, "Button", "Übernehmen", BS_PUSHBUTTON | WS_TABSTOP, 5, 100, 60, 14},
      I{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 80, 100, 50, 14},
      I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 140, 100, 50, 14},
  };
  return t;
}
const win::DialogTemplateRegistrar kOptions(710, Options());

class OptionsDlg : public CDialog {
 public:
  OptionsDlg() : CDialog(710) {}
  int code = 1;
  int material = 2;
  int stage = 0;
  double value = 0.25;
  int applied = 0;
  BOOL OnInitDialog() override {
    for (const char* s : {"C20/25", "C25/30", "C30/37"}) SendDlgItemMessage(kCombo, CB_ADDSTRING, 0, LPARAM(s));
    for (const char* s : {"Endsystem", "Transport"}) SendDlgItemMessage(kList, LB_ADDSTRING, 0, LPARAM(s));
    return CDialog::OnInitDialog();
  }
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Radio(pDX, kR1, code);
    DDX_CBIndex(pDX, kCombo, material);
    DDX_LBIndex(pDX, kList, stage);
    DDX_Text(pDX, kValue, value);
  }
  void OnApply() { ++applied; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(OptionsDlg, CDialog)
ON_BN_CLICKED(kApply, OnApply)
END_MESSAGE_MAP()

TEST_F(WindowTest, DataExchangeShowsTheValuesAndTakesTheChangesBack) {
  OptionsDlg dlg;
  win::script::QueueDialog([](CDialog& d) {
    EXPECT_EQ(d.IsDlgButtonChecked(kR2), BST_CHECKED);
    EXPECT_EQ(d.SendDlgItemMessage(kCombo, CB_GETCURSEL), 2);
    CString value;
    d.GetDlgItemText(kValue, value);
    EXPECT_EQ(value, "0.25");
    win::input::ClickCenter(d.GetDlgItem(kR3)->m_hWnd);
    d.SendDlgItemMessage(kCombo, CB_SETCURSEL, 0);
    d.SendDlgItemMessage(kList, LB_SETCURSEL, 1);
    d.SetDlgItemText(kValue, "1.5e-3");
    d.SendMessage(WM_COMMAND, IDOK);
  });
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.code, 2);
  EXPECT_EQ(dlg.material, 0);
  EXPECT_EQ(dlg.stage, 1);
  EXPECT_DOUBLE_EQ(dlg.value, 1.5e-3);
}

TEST_F(WindowTest, ArrowKeysMoveWithinTheRadioGroupAndCheckTheButton) {
  OptionsDlg dlg;
  ASSERT_TRUE(dlg.Create(710));
  dlg.ShowWindow(SW_SHOW);
  dlg.GetDlgItem(kR2)->SetFocus();
  win::input::Key(VK_DOWN);
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), kR3);
  EXPECT_EQ(dlg.IsDlgButtonChecked(kR3), BST_CHECKED);
  EXPECT_EQ(dlg.IsDlgButtonChecked(kR2), BST_UNCHECKED);
  // The group ends before the combo box: down from the last button wraps to the first.
  win::input::Key(VK_DOWN);
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), kR1);
  EXPECT_EQ(dlg.GetCheckedRadioButton(kR1, kR3), kR1);
}

TEST_F(WindowTest, EnterPressesTheFocusedButtonOrElseTheDefaultOne) {
  OptionsDlg dlg;
  win::script::QueueDialog([&](CDialog& d) {
    d.GetDlgItem(kApply)->SetFocus();
    win::input::Key(VK_RETURN);
    EXPECT_EQ(dlg.applied, 1);
    EXPECT_TRUE(d.IsWindowVisible());
    // From an edit field, Enter is the default button; the default may be changed.
    d.GetDlgItem(kValue)->SetFocus();
    d.SetDefID(kApply);
    EXPECT_EQ(LOWORD(d.GetDefID()), kApply);
    win::input::Key(VK_RETURN);
    EXPECT_EQ(dlg.applied, 2);
    d.SetDefID(IDOK);
    win::input::Key(VK_RETURN);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
}

TEST_F(WindowTest, ClosingTheWindowIsCancel) {
  OptionsDlg dlg;
  win::script::QueueDialog([](CDialog& d) { d.SendMessage(WM_CLOSE); });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(WindowTest, DialogItemHelpersConvertNumbersAndChecks) {
  OptionsDlg dlg;
  ASSERT_TRUE(dlg.Create(710));
  dlg.SetDlgItemInt(kValue, UINT(-42), TRUE);
  BOOL ok = FALSE;
  EXPECT_EQ(int(dlg.GetDlgItemInt(kValue, &ok, TRUE)), -42);
  EXPECT_TRUE(ok);
  dlg.GetDlgItemInt(kValue, &ok, FALSE);
  EXPECT_FALSE(ok) << "a negative number is no unsigned one";
  dlg.SetDlgItemText(kValue, "12a");
  dlg.GetDlgItemInt(kValue, &ok, TRUE);
  EXPECT_FALSE(ok);
  dlg.CheckRadioButton(kR1, kR3, kR3);
  EXPECT_EQ(dlg.GetCheckedRadioButton(kR1, kR3), kR3);
  EXPECT_EQ(dlg.IsDlgButtonChecked(kR1), BST_UNCHECKED);
}

TEST_F(WindowTest, NumberThatDoesNotScanFailsTheExchangeWithAMessage) {
  OptionsDlg dlg;
  ASSERT_TRUE(dlg.Create(710));
  dlg.SetDlgItemText(kValue, "zwei");
  win::msgbox::QueueAnswer(IDOK);
  EXPECT_FALSE(dlg.UpdateData(TRUE));
  EXPECT_DOUBLE_EQ(dlg.value, 0.25) << "nothing after the failing field is taken";
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(GetFocus(), dlg.GetDlgItem(kValue)->m_hWnd) << "the field in error gets the focus";
}

// ---- More controls ----------------------------------------------------------------------------------------------------
TEST_F(WindowTest, MultipleSelectionListTogglesItems) {
  HWND top = CreateWindowEx(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
  HWND list = CreateWindowEx(0, "ListBox", "", WS_CHILD | WS_VISIBLE | LBS_MULTIPLESEL, 0, 0, 100, 100, top, nullptr,
                             nullptr, nullptr);
  for (const char* s : {"a", "b", "c"}) SendMessage(list, LB_ADDSTRING, 0, LPARAM(s));
  int h = int(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
  win::input::Click(list, 5, h / 2);
  win::AdvanceClock(1000);
  win::input::Click(list, 5, 2 * h + h / 2);
  EXPECT_EQ(SendMessage(list, LB_GETSELCOUNT, 0, 0), 2);
  int items[3] = {};
  EXPECT_EQ(SendMessage(list, LB_GETSELITEMS, 3, LPARAM(items)), 2);
  EXPECT_EQ(items[0], 0);
  EXPECT_EQ(items[1], 2);
  win::AdvanceClock(1000);
  win::input::Click(list, 5, h / 2);
  EXPECT_EQ(SendMessage(list, LB_GETSELCOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessage(list, LB_SETCURSEL, 0, 0), LB_ERR) << "single selection calls fail on a multiple list";
}

TEST_F(WindowTest, EditUndoAndPasswordCharacters) {
  HWND top = CreateWindowEx(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
  CEdit* edit = static_cast<CEdit*>(CWnd::FromHandle(CreateWindowEx(0, "Edit", "alt", WS_CHILD | WS_VISIBLE | WS_BORDER,
                                                                    0, 0, 100, 20, top, nullptr, nullptr, nullptr)));
  edit->SetFocus();
  edit->SetSel(0, -1);
  win::input::Type("neu");
  CString text;
  edit->GetWindowText(text);
  EXPECT_EQ(text, "neu");
  EXPECT_TRUE(edit->GetModify());
  win::input::KeyWith(VK_CONTROL, 'Z');
  edit->GetWindowText(text);
  EXPECT_EQ(text, "ne") << "the last change, one character, is undone";
  edit->SetPasswordChar('*');
  win::Image img = win::RenderWindow(edit->m_hWnd);
  EXPECT_GT(img.width, 0);
  // Copying from a password field gives nothing away.
  win::SetClipboardText("vorher");
  edit->SetSel(0, -1);
  edit->Copy();
  EXPECT_EQ(win::ClipboardText(), "vorher");
}

TEST_F(WindowTest, TabDeletionKeepsTheSelectionOnTheSameTab) {
  HWND top = CreateWindowEx(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
  CTabCtrl* tab = static_cast<CTabCtrl*>(CWnd::FromHandle(
      CreateWindowEx(0, "SysTabControl32", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 100, top, nullptr, nullptr, nullptr)));
  tab->InsertItem(0, "A");
  EXPECT_EQ(tab->GetCurSel(), 0) << "the first tab is selected as it is inserted";
  tab->InsertItem(1, "B");
  tab->InsertItem(2, "C");
  tab->SetCurSel(2);
  tab->DeleteItem(0);
  EXPECT_EQ(tab->GetCurSel(), 1);
  TCITEM item{};
  char buf[8];
  item.mask = TCIF_TEXT;
  item.pszText = buf;
  item.cchTextMax = sizeof(buf);
  tab->GetItem(tab->GetCurSel(), &item);
  EXPECT_STREQ(buf, "C");
  // -1 deselects every tab; other indices outside the tabs change nothing.
  EXPECT_EQ(tab->SetCurSel(5), -1);
  EXPECT_EQ(tab->GetCurSel(), 1);
  EXPECT_EQ(tab->SetCurSel(-1), 1);
  EXPECT_EQ(tab->GetCurSel(), -1);
  tab->SetCurSel(1);
  CRect display(0, 0, 300, 100);
  tab->AdjustRect(FALSE, &display);
  EXPECT_GT(display.top, 10);
  CRect back = display;
  tab->AdjustRect(TRUE, &back);
  EXPECT_EQ(back, CRect(0, 0, 300, 100));
}

TEST_F(WindowTest, TreeWalksItsVisibleItemsInOrder) {
  HWND top = CreateWindowEx(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
  CTreeCtrl* tree = static_cast<CTreeCtrl*>(CWnd::FromHandle(CreateWindowEx(
      0, "SysTreeView32", "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS, 0, 0, 200, 150, top, nullptr, nullptr, nullptr)));
  HTREEITEM b = tree->InsertItem("b");
  HTREEITEM a = tree->InsertItem("a", TVI_ROOT, TVI_FIRST);
  HTREEITEM b2 = tree->InsertItem("b2", b);
  HTREEITEM b1 = tree->InsertItem("b1", b, TVI_FIRST);
  tree->SetItemData(b1, 77);
  EXPECT_EQ(tree->GetRootItem(), a);
  EXPECT_EQ(tree->GetNextSiblingItem(a), b);
  EXPECT_EQ(tree->GetNextVisibleItem(b), nullptr) << "collapsed children are not visible";
  tree->Expand(b, TVE_EXPAND);
  EXPECT_EQ(tree->GetNextVisibleItem(b), b1);
  EXPECT_EQ(tree->GetNextVisibleItem(b1), b2);
  EXPECT_EQ(tree->GetItemText(b1), "b1");
  EXPECT_EQ(tree->GetItemData(b1), 77u);
  EXPECT_TRUE(tree->ItemHasChildren(b));
  EXPECT_FALSE(tree->ItemHasChildren(a));
  // Selecting a hidden item opens its parents.
  tree->Expand(b, TVE_COLLAPSE);
  tree->SelectItem(b2);
  EXPECT_TRUE(tree->GetItemState(b, TVIS_EXPANDED));
  UINT flags = 0;
  CRect r;
  ASSERT_TRUE(tree->GetItemRect(b2, &r, TRUE));
  EXPECT_EQ(tree->HitTest(r.CenterPoint(), &flags), b2);
  EXPECT_EQ(flags, UINT(TVHT_ONITEMLABEL));
  tree->DeleteItem(b);
  EXPECT_EQ(tree->GetCount(), 1u);
  TVITEM stale{};
  stale.mask = TVIF_TEXT;
  stale.hItem = b1;
  EXPECT_FALSE(tree->GetItem(&stale)) << "a deleted item's handle is stale";
}

}  // namespace
