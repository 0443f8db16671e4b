#include "framework_ui/settingsdlg.h"

#include <cstdlib>

#include "framework/basedata.h"
#include "framework_ui/dialoghelp.h"
#include "platform/tolkar/tolkar.h"
#include "platform/win/screen/headless.h"

namespace {

constexpr int kMaxPage = 16960;

win::DialogTemplate SettingsTemplate() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.cx = 260;
  t.cy = 112;
  t.caption = "Allgemeine Einstellungen";
  using I = win::DialogItem;
  t.items = {
      I{-1, "Static", "Freie Textzeile", SS_LEFT, 7, 9, 80, 8},
      I{IDC_ALLG_FREETEXT, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 92, 7, 161, 13},
      I{-1, "Static", "Erste Seitennummer", SS_LEFT, 7, 28, 80, 8},
      I{IDC_ALLG_PAGE, "Edit", "", ES_NUMBER | WS_BORDER | WS_TABSTOP, 92, 26, 40, 13},
      // tied to its field: the arrows write the number there, and read it back before the next step
      I{IDC_ALLG_PAGE_SPIN, "msctls_updown32", "", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
        132, 26, 10, 13},
      I{IDC_ALLG_PAGEBREAK, "Button", "Seitenumbruch nach Vortexttabellen einfügen", BS_AUTOCHECKBOX | WS_TABSTOP, 7,
        47, 246, 10},
      I{IDC_ALLG_THICK, "Button", "Höhere Strichstärke bei Grafiken", BS_AUTOCHECKBOX | WS_TABSTOP, 7, 62, 246, 10},
      I{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 93, 91, 50, 14},
      I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 148, 91, 50, 14},
      I{9, "Button", "Hilfe", BS_PUSHBUTTON | WS_TABSTOP, 203, 91, 50, 14},
  };
  return t;
}

const win::DialogTemplateRegistrar kTemplate(IDD_ALLG, SettingsTemplate());

}  // namespace

BEGIN_MESSAGE_MAP(dlgAllg, CDialog)
ON_BN_CLICKED(9, OnHelp)
END_MESSAGE_MAP()

dlgAllg::dlgAllg(CWnd* parent) : CDialog(IDD_ALLG, parent) {}

BOOL dlgAllg::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate("Ormi Eingabe", "vernik_i_common", "dlgAllg", m_hWnd);
  // Tied to its field first: tying writes the spin's own position there, which the position's values replace.
  if (CWnd* edit = GetDlgItem(IDC_ALLG_PAGE))
    SendDlgItemMessage(IDC_ALLG_PAGE_SPIN, UDM_SETBUDDY, WPARAM(edit->m_hWnd));
  SendDlgItemMessage(IDC_ALLG_PAGE_SPIN, UDM_SETRANGE32, 0, kMaxPage);
  SetDlgItemText(IDC_ALLG_PAGE, "");
  if (pData) {
    nPage = pData->nPage;
    freeText = pData->freeText;
    bPageBreak = pData->varDefs.bPageBreak;
    bThickLines = pData->dickeLinie;
    SetDlgItemText(IDC_ALLG_FREETEXT, freeText);
    SetDlgItemInt(IDC_ALLG_PAGE, UINT(nPage), FALSE);
    CheckDlgButton(IDC_ALLG_PAGEBREAK, bPageBreak ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_ALLG_THICK, bThickLines ? BST_CHECKED : BST_UNCHECKED);
  }
  if (CWnd* thick = GetDlgItem(IDC_ALLG_THICK)) thick->ShowWindow(bOfferThickLines ? SW_SHOW : SW_HIDE);
  return TRUE;
}

void dlgAllg::OnOK() {
  if (pData) {
    CString text;
    GetDlgItemText(IDC_ALLG_PAGE, text);
    char* end = nullptr;
    const long page = std::strtol(text.GetString(), &end, 10);
    if (text.IsEmpty() || (end && *end) || page < 0 || page > kMaxPage) {
      CString message;
      message.Format(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "dlgAllg",
                                    "Die erste Seitennummer muss eine ganze Zahl von 0 bis %d sein."),
                     kMaxPage);
      AfxMessageBox(message, MB_ICONEXCLAMATION);
      if (CWnd* edit = GetDlgItem(IDC_ALLG_PAGE)) edit->SetFocus();
      return;
    }
    nPage = int(page);
    GetDlgItemText(IDC_ALLG_FREETEXT, freeText);
    bPageBreak = IsDlgButtonChecked(IDC_ALLG_PAGEBREAK) == BST_CHECKED;
    bThickLines = bOfferThickLines && IsDlgButtonChecked(IDC_ALLG_THICK) == BST_CHECKED;
    pData->nPage = nPage;
    pData->freeText = freeText;
    pData->varDefs.bPageBreak = bPageBreak;
    pData->dickeLinie = bThickLines != FALSE;
  }
  CDialog::OnOK();
}

void dlgAllg::OnHelp() { ShowFrameworkDialogHelp("editgen.htm", "help\\Ausgabesteuerung Allgemeines.pdf"); }
