// Dialogs from templates: keyboard navigation, default and cancel buttons, modal runs with scripted answers, menus.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "platform/win/dialogs/wintest.h"

namespace {

using win::test::WindowTest;

enum : int { kName = 10, kCount = 11, kHidden = 12, kDisabled = 13, kLabel = 14, kCheck = 15, kApply = 16 };

win::DialogTemplate Form() {
  win::DialogTemplate t;
  t.caption = "Eingabe";
  t.cx = 200;
  t.cy = 100;
  using I = win::DialogItem;
  t.items = {
      I{kLabel, "Static", "Name:", SS_LEFT, 5, 5, 40, 8},
      I{kName, "Edit", "", WS_BORDER | WS_TABSTOP, 50, 5, 100, 12},
      I{kHidden, "Edit", "", WS_BORDER | WS_TABSTOP, 50, 20, 100, 12, 0, true},
      I{kDisabled, "Edit", "", WS_BORDER | WS_TABSTOP | WS_DISABLED, 50, 35, 100, 12},
      I{kCount, "Edit", "3", WS_BORDER | WS_TABSTOP, 50, 50, 100, 12},
      I{kCheck, "Button", "Aktiv", BS_AUTOCHECKBOX | WS_TABSTOP, 5, 65, 80, 10},
      I{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 90, 80, 50, 14},
      I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 145, 80, 50, 14},
  };
  return t;
}

const win::DialogTemplateRegistrar kForm(700, Form());

class FormDlg : public CDialog {
 public:
  explicit FormDlg(CWnd* parent = nullptr) : CDialog(700, parent) {}
  CString name;
  int count = 0;
  int active = 0;
  int initCalls = 0;
  BOOL OnInitDialog() override {
    ++initCalls;
    return CDialog::OnInitDialog();
  }
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, kName, name);
    DDX_Text(pDX, kCount, count);
    DDV_MinMaxInt(pDX, count, 1, 9);
    DDX_Check(pDX, kCheck, active);
  }
};

TEST_F(WindowTest, TabMovesTheFocusThroughTheTabStopsInOrder) {
  FormDlg dlg;
  ASSERT_TRUE(dlg.Create(700));
  dlg.ShowWindow(SW_SHOW);
  // The first tab stop has the focus after initialisation.
  EXPECT_EQ(GetFocus(), GetDlgItem(dlg.m_hWnd, kName));
  // Hidden and disabled controls and the label are passed over; the last wraps to the first.
  const int order[] = {kCount, kCheck, IDOK, IDCANCEL, kName};
  for (int id : order) {
    win::input::Key(VK_TAB);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), id);
  }
  win::input::KeyWith(VK_SHIFT, VK_TAB);
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDCANCEL);
}

TEST_F(WindowTest, TabIntoAnEditSelectsItsText) {
  FormDlg dlg;
  ASSERT_TRUE(dlg.Create(700));
  dlg.ShowWindow(SW_SHOW);
  win::input::Key(VK_TAB);
  DWORD sel = DWORD(SendDlgItemMessage(dlg.m_hWnd, kCount, EM_GETSEL, 0, 0));
  EXPECT_EQ(LOWORD(sel), 0);
  EXPECT_EQ(HIWORD(sel), 1);
  // Typing replaces the selected text.
  win::input::Type("7");
  CString text;
  dlg.GetDlgItemText(kCount, text);
  EXPECT_EQ(text, "7");
}

TEST_F(WindowTest, ModalDialogTakesItsScriptedAnswerAndExchangesData) {
  HWND owner =
      CreateWindowEx(0, "Static", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
  FormDlg dlg(CWnd::FromHandle(owner));
  dlg.name = "Stuetze";
  dlg.count = 4;
  bool ownerWasDisabled = false;
  win::script::QueueDialog([&](CDialog& d) {
    ownerWasDisabled = !IsWindowEnabled(owner);
    // As a user would: the name field has the focus; type, tab on, check the box, press Enter.
    CString shown;
    d.GetDlgItemText(kName, shown);
    EXPECT_EQ(shown, "Stuetze");
    win::input::KeyWith(VK_CONTROL, 'A');
    win::input::Type("Pfeiler");
    win::input::Key(VK_TAB);
    win::input::Type("6");
    win::input::ClickCenter(d.GetDlgItem(kCheck)->m_hWnd);
    win::input::Key(VK_RETURN);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(ownerWasDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_EQ(dlg.name, "Pfeiler");
  EXPECT_EQ(dlg.count, 6);
  EXPECT_EQ(dlg.active, 1);
  EXPECT_EQ(dlg.initCalls, 1);
  ASSERT_FALSE(win::script::Log().empty());
  EXPECT_EQ(win::script::Log().back().templateId, 700u);
  EXPECT_TRUE(win::script::Log().back().scripted);
}

TEST_F(WindowTest, EscapeAndTheCancelAnswerEndWithCancelAndKeepTheData) {
  FormDlg dlg;
  dlg.count = 2;
  win::script::QueueDialog([](CDialog&) {
    win::input::Type("9");  // into the name field
    win::input::Key(VK_ESCAPE);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.name, "");
  win::script::QueueDialogAnswer(IDCANCEL);
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(WindowTest, FailedValidationKeepsTheDialogOpen) {
  FormDlg dlg;
  dlg.count = 5;
  win::msgbox::QueueAnswer(IDOK);  // the validation message
  win::script::QueueDialog([](CDialog& d) {
    d.SetDlgItemText(kCount, "42");
    win::input::Key(VK_RETURN);
    EXPECT_TRUE(IsWindowVisible(d.m_hWnd)) << "a value out of range must not close the dialog";
    d.SetDlgItemText(kCount, "8");
    win::input::Key(VK_RETURN);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.count, 8);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
}

TEST_F(WindowTest, UnscriptedModalDialogFailsTheTestAndCleansUp) {
  HWND owner =
      CreateWindowEx(0, "Static", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
  FormDlg dlg(CWnd::FromHandle(owner));
  EXPECT_NONFATAL_FAILURE(
      {
        try {
          dlg.DoModal();
        } catch (const win::UnscriptedInteraction&) {}
      },
      "unscripted dialog: Eingabe");
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_EQ(win::WindowCount(), 1u);  // only the owner is left
}

TEST_F(WindowTest, UnscriptedHandlerDecidesTheAnswerOfAnUnscriptedDialog) {
  std::vector<std::string> seen;
  win::script::SetUnscriptedHandler([&](const win::script::ModalRecord& r) -> INT_PTR {
    seen.push_back(r.kind + ":" + r.caption);
    return IDOK;
  });
  FormDlg dlg;
  dlg.count = 3;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(seen, (std::vector<std::string>{"dialog:Eingabe"}));
}

TEST_F(WindowTest, DialogUnitsFollowTheDialogFont) {
  FormDlg dlg;
  ASSERT_TRUE(dlg.Create(700));
  CRect dlu(50, 5, 150, 17);  // the name field
  dlg.MapDialogRect(&dlu);
  CRect field;
  dlg.GetDlgItem(kName)->GetWindowRect(&field);
  dlg.ScreenToClient(&field);
  EXPECT_EQ(field, dlu);
  // Four horizontal dialog units are one average character: the base unit is the font's.
  LONG base = GetDialogBaseUnits();
  EXPECT_GT(LOWORD(base), 0);
}

// ---- Popup menus -------------------------------------------------------------------------------------------------------
TEST_F(WindowTest, PopupMenuAnswersFromTheScriptByCommandOrText) {
  HWND owner =
      CreateWindowEx(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  CMenu menu;
  menu.CreatePopupMenu();
  CMenu sub;
  sub.CreatePopupMenu();
  sub.AppendMenu(MF_STRING, 21, "&Einfügen");
  menu.AppendMenu(MF_STRING, 11, "Zeile &kopieren");
  menu.AppendMenu(MF_SEPARATOR);
  menu.AppendMenu(MF_STRING | MF_GRAYED, 12, "Gesperrt");
  menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(sub.Detach()), "Mehr");
  win::script::QueueMenuCommand(11);
  win::script::QueueMenuItem("Mehr\\Einfügen");
  win::script::QueueMenuCommand(0);
  EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, CWnd::FromHandle(owner)), 11);
  EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, CWnd::FromHandle(owner)), 21);
  EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, CWnd::FromHandle(owner)), 0);
  EXPECT_EQ(win::script::Log().back().caption, "Zeile kopieren|Gesperrt|Mehr\\Einfügen");
  // A disabled item cannot be chosen: the script is wrong, which fails the test.
  win::script::QueueMenuCommand(12);
  EXPECT_NONFATAL_FAILURE(
      {
        try {
          menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, nullptr);
        } catch (const win::UnscriptedInteraction&) {}
      },
      "no enabled item");
}

TEST_F(WindowTest, PopupMenuWithoutReturnCommandPostsTheCommandToItsOwner) {
  struct Owner : CWnd {
    UINT got = 0;
    BOOL OnCommand(WPARAM w, LPARAM) override {
      got = LOWORD(w);
      return TRUE;
    }
  } owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  HMENU m = CreatePopupMenu();
  AppendMenu(m, MF_STRING, 5, "Fünf");
  win::script::QueueMenuCommand(5);
  EXPECT_TRUE(TrackPopupMenu(m, 0, 0, 0, 0, owner.m_hWnd, nullptr));
  EXPECT_EQ(owner.got, 0u);  // posted, not sent
  win::PumpMessages();
  EXPECT_EQ(owner.got, 5u);
  DestroyMenu(m);
}

}  // namespace

namespace {

win::DialogTemplate Page() {
  win::DialogTemplate t;
  t.style = WS_CHILD | DS_CONTROL;
  t.cx = 100;
  t.cy = 40;
  t.items = {win::DialogItem{31, "Edit", "", WS_BORDER | WS_TABSTOP, 5, 5, 80, 12},
             win::DialogItem{32, "Edit", "", WS_BORDER | WS_TABSTOP, 5, 20, 80, 12}};
  return t;
}
const win::DialogTemplateRegistrar kPage(701, Page());

win::DialogTemplate Host() {
  win::DialogTemplate t;
  t.cx = 200;
  t.cy = 100;
  t.items = {win::DialogItem{40, "Edit", "", WS_BORDER | WS_TABSTOP, 5, 5, 80, 12},
             win::DialogItem{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 90, 80, 50, 14}};
  return t;
}
const win::DialogTemplateRegistrar kHost(702, Host());

TEST_F(WindowTest, TabRunsThroughAPageEmbeddedInTheDialogAndOn) {
  CDialog host(702);
  ASSERT_TRUE(host.Create(702));
  host.ShowWindow(SW_SHOW);
  CDialog page(701, &host);
  ASSERT_TRUE(page.Create(701, &host));
  page.SetWindowPos(nullptr, 10, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
  host.GetDlgItem(40)->SetFocus();
  // The page comes after the host's own controls: edit 40, OK, then the page's fields, then round again.
  const int order[] = {IDOK, 31, 32, 40};
  for (int id : order) {
    win::input::Key(VK_TAB);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), id);
  }
}

class ContextWnd : public CWnd {
 public:
  CPoint at{-1, -1};
  CWnd* from = nullptr;
  void OnContextMenu(CWnd* w, CPoint p) {
    from = w;
    at = p;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ContextWnd, CWnd)
ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

TEST_F(WindowTest, RightButtonReleaseAsksForAContextMenuAtTheScreenPoint) {
  ContextWnd w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 100, 50, 60, 60, nullptr, nullptr));
  win::input::Click(w.m_hWnd, 5, 7, VK_RBUTTON);
  EXPECT_EQ(w.at, CPoint(105, 57));
  EXPECT_EQ(w.from, &w);
}

}  // namespace

namespace {

win::DialogTemplate Mnemonics() {
  win::DialogTemplate t;
  t.cx = 200;
  t.cy = 80;
  using I = win::DialogItem;
  t.items = {I{60, "Static", "&Name:", SS_LEFT, 5, 5, 40, 8},
             I{61, "Edit", "", WS_BORDER | WS_TABSTOP, 50, 5, 100, 12},
             I{62, "Static", "&Länge:", SS_LEFT, 5, 20, 40, 8},
             I{63, "Edit", "", WS_BORDER | WS_TABSTOP, 50, 20, 100, 12},
             I{64, "Button", "&Prüfen", BS_PUSHBUTTON | WS_TABSTOP, 5, 60, 50, 14},
             I{65, "Button", "&Aktiv", BS_AUTOCHECKBOX | WS_TABSTOP, 60, 60, 50, 14}};
  return t;
}
const win::DialogTemplateRegistrar kMnemonics(703, Mnemonics());

class MnemonicDlg : public CDialog {
 public:
  MnemonicDlg() : CDialog(703) {}
  int checks = 0;
  void OnCheck() { ++checks; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(MnemonicDlg, CDialog)
ON_BN_CLICKED(64, OnCheck)
END_MESSAGE_MAP()

TEST_F(WindowTest, AltAndAMnemonicLetterFocusTheLabelledFieldOrPressTheButton) {
  MnemonicDlg dlg;
  ASSERT_TRUE(dlg.Create(703));
  dlg.ShowWindow(SW_SHOW);
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), 61);
  win::input::KeyWith(VK_MENU, 'P');
  EXPECT_EQ(dlg.checks, 1);
  win::input::KeyWith(VK_MENU, 'A');
  EXPECT_EQ(dlg.IsDlgButtonChecked(65), BST_CHECKED);
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), 65);
  // A letter alone acts as a mnemonic where the focused control takes no characters (the check box)...
  win::input::Type("n");
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), 61);
  // ... but in an edit field it is text.
  win::input::Type("p");
  EXPECT_EQ(dlg.checks, 1);
  CString text;
  dlg.GetDlgItemText(61, text);
  EXPECT_EQ(text, "p");
}

}  // namespace
