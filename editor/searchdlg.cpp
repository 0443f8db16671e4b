#include "editor/searchdlg.h"

#include "platform/tolkar/tolkar.h"
#include "platform/win/screen/headless.h"

namespace {

constexpr const char* kArea = "Ormi Eingabe";
constexpr const char* kDictionary = "vernik_i_Skrib";

using I = win::DialogItem;
constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP;

std::vector<I> Direction(int y) {
  return {I{-1, "Button", "Richtung", BS_GROUPBOX, 150, y, 90, 40},
          I{IDC_FIND_UP, "Button", "Aufwärts", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 157, y + 12, 70, 10},
          I{IDC_FIND_DOWN, "Button", "Abwärts", BS_AUTORADIOBUTTON, 157, y + 25, 70, 10}};
}

win::DialogTemplate SearchTemplate() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.cx = 304;
  t.cy = 98;
  t.caption = "Suchen";
  t.items = {I{-1, "Static", "Suchen nach:", SS_LEFT, 7, 9, 50, 8},
             I{IDC_FIND_TEXT, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 60, 7, 180, 12},
             I{IDC_FIND_WORDS, "Button", "Nur ganzes Wort", kCheck, 7, 30, 130, 10},
             I{IDC_FIND_CASE, "Button", "Groß-/Kleinschreibung", kCheck, 7, 44, 130, 10},
             I{IDC_FIND_WHOLE_TEXT, "Button", "Gesamten Text durchsuchen", kCheck, 7, 58, 130, 10}};
  for (const I& item : Direction(26)) t.items.push_back(item);
  t.items.push_back(I{IDOK, "Button", "Suchen", BS_DEFPUSHBUTTON | WS_TABSTOP, 247, 7, 50, 14});
  t.items.push_back(I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 247, 25, 50, 14});
  return t;
}

win::DialogTemplate ReplaceTemplate() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.cx = 304;
  t.cy = 128;
  t.caption = "Ersetzen";
  t.items = {I{-1, "Static", "Suchen nach:", SS_LEFT, 7, 9, 50, 8},
             I{IDC_FIND_TEXT, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 60, 7, 180, 12},
             I{-1, "Static", "Ersetzen durch:", SS_LEFT, 7, 27, 52, 8},
             I{IDC_REPLACE_TEXT, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 60, 25, 180, 12},
             I{IDC_FIND_WORDS, "Button", "Nur ganzes Wort", kCheck, 7, 48, 130, 10},
             I{IDC_FIND_CASE, "Button", "Groß-/Kleinschreibung", kCheck, 7, 62, 130, 10},
             I{IDC_FIND_WHOLE_TEXT, "Button", "Gesamten Text durchsuchen", kCheck, 7, 76, 130, 10},
             I{IDC_REPLACE_ASK, "Button", "Nachfragen", kCheck, 7, 90, 130, 10},
             I{IDC_REPLACE_ALL, "Button", "Alle ersetzen", kCheck, 7, 104, 130, 10}};
  for (const I& item : Direction(44)) t.items.push_back(item);
  t.items.push_back(I{IDOK, "Button", "Ersetzen", BS_DEFPUSHBUTTON | WS_TABSTOP, 247, 7, 50, 14});
  t.items.push_back(I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 247, 25, 50, 14});
  return t;
}

const win::DialogTemplateRegistrar kSearch(IDD_SKRIB_SEARCH, SearchTemplate());
const win::DialogTemplateRegistrar kReplace(IDD_SKRIB_REPLACE, ReplaceTemplate());

// The direction means something only when the search does not run through the whole text.
void EnableDirection(CDialog& dlg) {
  const BOOL free = dlg.IsDlgButtonChecked(IDC_FIND_WHOLE_TEXT) ? FALSE : TRUE;
  for (int id : {IDC_FIND_UP, IDC_FIND_DOWN})
    if (CWnd* radio = dlg.GetDlgItem(id)) radio->EnableWindow(free);
}

}  // namespace

BEGIN_MESSAGE_MAP(DlgSearch, CDialog)
ON_BN_CLICKED(IDC_FIND_WHOLE_TEXT, OnWholeText)
END_MESSAGE_MAP()

DlgSearch::DlgSearch(CWnd* parent) : CDialog(IDD_SKRIB_SEARCH, parent) {}

BOOL DlgSearch::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate(kArea, kDictionary, "DlgSearch", m_hWnd);
  EnableDirection(*this);
  return TRUE;
}

void DlgSearch::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Check(dx, IDC_FIND_CASE, m_bMatchCase);
  DDX_Radio(dx, IDC_FIND_UP, m_nDirection);
  DDX_Text(dx, IDC_FIND_TEXT, m_sText);
  DDX_Check(dx, IDC_FIND_WORDS, m_bWholeWords);
  DDX_Check(dx, IDC_FIND_WHOLE_TEXT, m_bWholeText);
}

void DlgSearch::OnWholeText() { EnableDirection(*this); }

BEGIN_MESSAGE_MAP(DlgReplace, CDialog)
ON_BN_CLICKED(IDC_FIND_WHOLE_TEXT, OnWholeText)
END_MESSAGE_MAP()

DlgReplace::DlgReplace(CWnd* parent) : CDialog(IDD_SKRIB_REPLACE, parent) {}

BOOL DlgReplace::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate(kArea, kDictionary, "DlgReplace", m_hWnd);
  EnableDirection(*this);
  return TRUE;
}

void DlgReplace::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Check(dx, IDC_REPLACE_ALL, m_bReplaceAll);
  DDX_Check(dx, IDC_FIND_WHOLE_TEXT, m_bWholeText);
  DDX_Check(dx, IDC_FIND_CASE, m_bMatchCase);
  DDX_Check(dx, IDC_REPLACE_ASK, m_bAsk);
  DDX_Radio(dx, IDC_FIND_UP, m_nDirection);
  DDX_Text(dx, IDC_FIND_TEXT, m_sText);
  DDX_Text(dx, IDC_REPLACE_TEXT, m_sReplacement);
  DDX_Check(dx, IDC_FIND_WORDS, m_bWholeWords);
}

void DlgReplace::OnWholeText() { EnableDirection(*this); }
