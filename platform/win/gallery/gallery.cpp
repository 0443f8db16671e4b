// Renders a sample dialog with every kind of built-in control to a PNG file, to look at.
//   win_gallery [output.png]
#include <cstdio>

#include "platform/win/afx.h"

namespace {

enum : int {
  kGroup = 100,
  kStatic,
  kEdit,
  kEditMulti,
  kEditReadOnly,
  kCheck,
  kCheck2,
  kCheck3,
  kRadio1,
  kRadio2,
  kCombo,
  kComboEdit,
  kList,
  kSpinBuddy,
  kSpin,
  kProgress,
  kTab,
  kTree,
  kDisabled,
  kLine,
  kFrameText
};

win::DialogTemplate GalleryTemplate() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  t.caption = "Steuerelemente - Übersicht";
  t.cx = 330;
  t.cy = 236;
  using I = win::DialogItem;
  t.items = {
      I{kGroup, "Button", "Eingaben", BS_GROUPBOX, 7, 5, 155, 118},
      I{kStatic, "Static", "Bezeichnung:", SS_LEFT, 14, 19, 50, 8},
      I{kEdit, "Edit", "Stütze 1", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 66, 17, 88, 12, WS_EX_CLIENTEDGE},
      I{kFrameText, "Static", "Nur lesen:", SS_LEFT, 14, 35, 50, 8},
      I{kEditReadOnly, "Edit", "0,35 m", WS_BORDER | ES_READONLY | WS_TABSTOP, 66, 33, 88, 12, WS_EX_CLIENTEDGE},
      I{kEditMulti, "Edit", "Mehrzeilig:\r\nzweite Zeile\r\ndritte Zeile",
        WS_BORDER | ES_MULTILINE | ES_WANTRETURN | WS_TABSTOP, 14, 50, 140, 30, WS_EX_CLIENTEDGE},
      I{kSpinBuddy, "Edit", "5", WS_BORDER | WS_TABSTOP | ES_NUMBER, 14, 86, 40, 12, WS_EX_CLIENTEDGE},
      I{kSpin, "msctls_updown32", "", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS, 54, 86, 10, 12},
      I{kStatic + 50, "Static", "Anzahl Felder", SS_LEFT, 62, 88, 90, 8},
      I{kProgress, "msctls_progress32", "", WS_BORDER, 14, 104, 140, 11},
      I{kCheck, "Button", "Kriechen berücksichtigen", BS_AUTOCHECKBOX | WS_TABSTOP, 170, 8, 150, 10},
      I{kCheck2, "Button", "Brandnachweis", BS_AUTOCHECKBOX | WS_TABSTOP, 170, 20, 150, 10},
      I{kCheck3, "Button", "Unbestimmt", BS_AUTO3STATE | WS_TABSTOP, 170, 32, 150, 10},
      I{kRadio1, "Button", "DIN 1045-1", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 170, 46, 70, 10},
      I{kRadio2, "Button", "EC2", BS_AUTORADIOBUTTON, 245, 46, 70, 10},
      I{kCombo, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 170, 60, 150, 80},
      I{kComboEdit, "ComboBox", "C30/37", CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 170, 78, 150, 80},
      I{kList, "ListBox", "", LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 170, 96, 150, 40, WS_EX_CLIENTEDGE},
      I{kTab, "SysTabControl32", "", WS_TABSTOP, 7, 128, 155, 80},
      I{kTree, "SysTreeView32", "",
        WS_BORDER | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS, 170, 140, 150, 68,
        WS_EX_CLIENTEDGE},
      I{kLine, "Static", "", SS_ETCHEDHORZ, 7, 212, 316, 1},
      I{kDisabled, "Button", "Gesperrt", BS_PUSHBUTTON | WS_DISABLED, 7, 217, 50, 14},
      I{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 216, 217, 50, 14},
      I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 272, 217, 50, 14},
  };
  return t;
}

void Fill(HWND dlg) {
  CWnd* d = CWnd::FromHandle(dlg);
  static_cast<CButton*>(d->GetDlgItem(kCheck))->SetCheck(BST_CHECKED);
  static_cast<CButton*>(d->GetDlgItem(kCheck3))->SetCheck(BST_INDETERMINATE);
  static_cast<CButton*>(d->GetDlgItem(kRadio2))->SetCheck(BST_CHECKED);
  auto* combo = static_cast<CComboBox*>(d->GetDlgItem(kCombo));
  for (const char* s : {"DIN 1045-1", "EC2 mit NA Deutschland", "SIA 262"}) combo->AddString(s);
  combo->SetCurSel(1);
  auto* comboEdit = static_cast<CComboBox*>(d->GetDlgItem(kComboEdit));
  for (const char* s : {"C20/25", "C30/37", "C35/45"}) comboEdit->AddString(s);
  auto* list = static_cast<CListBox*>(d->GetDlgItem(kList));
  for (const char* s : {"Endsystem", "Transport", "Bauzustand 1", "Bauzustand 2"}) list->AddString(s);
  list->SetCurSel(2);
  auto* spin = static_cast<CSpinButtonCtrl*>(d->GetDlgItem(kSpin));
  spin->SetRange(1, 20);
  spin->SetPos(5);
  auto* progress = static_cast<CProgressCtrl*>(d->GetDlgItem(kProgress));
  progress->SetRange(0, 100);
  progress->SetPos(60);
  auto* tab = static_cast<CTabCtrl*>(d->GetDlgItem(kTab));
  tab->InsertItem(0, "System");
  tab->InsertItem(1, "Lasten");
  tab->InsertItem(2, "Ergebnisse");
  tab->SetCurSel(1);
  auto* tree = static_cast<CTreeCtrl*>(d->GetDlgItem(kTree));
  HTREEITEM root = tree->InsertItem("Position 1");
  HTREEITEM loads = tree->InsertItem("Lasten", root);
  tree->InsertItem("Eigengewicht", loads);
  tree->InsertItem("Schnee", loads);
  tree->InsertItem("Auflager", root);
  tree->Expand(root, TVE_EXPAND);
  tree->Expand(loads, TVE_EXPAND);
  tree->SelectItem(loads);
  // The edit field shows its caret and a selection while it has the focus.
  CWnd* edit = d->GetDlgItem(kEdit);
  edit->SetFocus();
  static_cast<CEdit*>(edit)->SetSel(0, 6);
}

}  // namespace

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : "gallery.png";
  win::RegisterDialogTemplate(9000, GalleryTemplate());
  HWND dlg = CreateDialogParam(nullptr, MAKEINTRESOURCE(9000), nullptr, nullptr, 0);
  if (!dlg) {
    std::fprintf(stderr, "the gallery dialog could not be created\n");
    return 1;
  }
  ShowWindow(dlg, SW_SHOW);
  Fill(dlg);
  win::PumpMessages();
  // A tooltip over the tab control: the mouse rests on it until the tip appears.
  CToolTipCtrl tip;
  tip.Create(CWnd::FromHandle(dlg));
  HWND tab = GetDlgItem(dlg, kTab);
  tip.AddTool(CWnd::FromHandle(tab), "Seiten der Eingabe");
  win::input::MouseMove(tab, 140, 8);
  win::RunFor(600);
  win::Image picture = win::RenderWindow(dlg);
  if (tip.IsWindowVisible()) {
    // The tip is a window of its own above the dialog: it is laid onto the dialog's picture where it shows.
    win::Image tipPicture = win::RenderWindow(tip.m_hWnd);
    RECT dr, tr;
    GetWindowRect(dlg, &dr);
    GetWindowRect(tip.m_hWnd, &tr);
    for (int y = 0; y < tipPicture.height; ++y)
      for (int x = 0; x < tipPicture.width; ++x) {
        int px = tr.left - dr.left + x, py = tr.top - dr.top + y;
        if (px >= 0 && py >= 0 && px < picture.width && py < picture.height)
          picture.pixels[std::size_t(py) * std::size_t(picture.width) + std::size_t(px)] =
              tipPicture.pixels[std::size_t(y) * std::size_t(tipPicture.width) + std::size_t(x)];
      }
  }
  if (!win::SavePng(picture, path)) {
    std::fprintf(stderr, "%s could not be written\n", path);
    return 1;
  }
  std::printf("%s\n", path);
  return 0;
}
