#include "editor/symboldlg.h"

#include "controls/FontCache.h"
#include "framework/regsettings.h"
#include "platform/tolkar/tolkar.h"
#include "platform/win/screen/headless.h"

namespace {

constexpr const char* kSection = "Skrib";
constexpr int kPerRow = 15;

win::DialogTemplate SymbolTemplate() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  const int rows = (IDC_SYMBOL_LAST - IDC_SYMBOL_FIRST + kPerRow) / kPerRow;
  t.cx = 14 + kPerRow * 15;
  t.cy = 7 + rows * 15 + 26;
  t.caption = "Sonderzeichen";
  using I = win::DialogItem;
  for (int id = IDC_SYMBOL_FIRST; id <= IDC_SYMBOL_LAST; ++id) {
    const int k = id - IDC_SYMBOL_FIRST;
    t.items.push_back(I{id, "Button", std::string(1, SymbolOfButton(id)), BS_PUSHBUTTON, 7 + (k % kPerRow) * 15,
                        7 + (k / kPerRow) * 15, 14, 14});
  }
  const int y = 7 + rows * 15 + 6;
  t.items.push_back(I{-1, "Static", "Vergrößerung [pt]:", SS_LEFT, 7, y + 2, 66, 8});
  t.items.push_back(I{IDC_SYMBOL_SIZE, "Edit", "", ES_AUTOHSCROLL | ES_NUMBER | WS_BORDER | WS_TABSTOP, 75, y, 30, 12});
  t.items.push_back(I{IDC_SYMBOL_SPIN, "msctls_updown32", "",
                      UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 105, y, 10, 12});
  t.items.push_back(I{IDCANCEL, "Button", "Schließen", BS_PUSHBUTTON | WS_TABSTOP, t.cx - 57, y - 1, 50, 14});
  return t;
}

const win::DialogTemplateRegistrar kTemplate(IDD_SKRIB_SYMBOLS, SymbolTemplate());

}  // namespace

char SymbolOfButton(int id) {
  const int k = id - IDC_SYMBOL_FIRST;
  if (k < 0 || id > IDC_SYMBOL_LAST) return 0;
  if (k < 26) return char('a' + k);
  if (k < 52) return char('A' + k - 26);
  if (id < IDC_SYMBOL_LAST) return char(161 + k - 52);
  return '^';
}

BEGIN_MESSAGE_MAP(DlgSymbol, CDialog)
ON_WM_DESTROY()
END_MESSAGE_MAP()

DlgSymbol::DlgSymbol(CWnd* parent) : CDialog(IDD_SKRIB_SYMBOLS, parent) {}

BOOL DlgSymbol::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate("Ormi Eingabe", "vernik_i_Skrib", "DlgSymbol", m_hWnd);
  CFont* symbol = g_fontCache.GetFont("Symbol", 0, 0, 18, 400);
  for (int id = IDC_SYMBOL_FIRST; id <= IDC_SYMBOL_LAST; ++id)
    if (CWnd* button = GetDlgItem(id)) button->SetFont(symbol);
  CRegSettings& reg = GetRegSettings();
  int x = 300, y = 200;
  reg.ReadInt(kSection, "symbolDlgPosX", &x, 300);
  reg.ReadInt(kSection, "symbolDlgPosY", &y, 200);
  reg.ReadInt(kSection, "symbolH", &m_nSizeIncrease, 2);
  SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (auto* spin = static_cast<CSpinButtonCtrl*>(GetDlgItem(IDC_SYMBOL_SPIN))) spin->SetRange(0, 32);
  UpdateData(FALSE);
  return TRUE;
}

void DlgSymbol::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Text(dx, IDC_SYMBOL_SIZE, m_nSizeIncrease);
  DDV_MinMaxInt(dx, m_nSizeIncrease, 0, 32);
}

BOOL DlgSymbol::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  if (id >= IDC_SYMBOL_FIRST && id <= IDC_SYMBOL_LAST && HIWORD(wParam) == BN_CLICKED) {
    InsertSymbol(id);
    return TRUE;
  }
  return CDialog::OnCommand(wParam, lParam);
}

void DlgSymbol::InsertSymbol(int id) {
  const char symbol = SymbolOfButton(id);
  if (!m_pText || !symbol) return;
  std::string face;
  int height = 200;
  m_pText->GetCharFormat(face, height);
  if (m_hWnd && !UpdateData(TRUE)) return;
  long start = 0, end = 0;
  m_pText->GetSel(start, end);
  m_pText->InsertText(std::string(1, symbol));
  m_pText->SetSel(start, start + 1);
  m_pText->SetFaceName("Symbol");
  m_pText->SetHeight(height + m_nSizeIncrease * 20);
  // Behind the symbol the text goes on in the normal font.
  m_pText->SetSel(start + 1, start + 1);
  m_pText->SetFaceName("Arial");
  m_pText->SetHeight(height);
}

void DlgSymbol::OnCancel() {
  if (m_pShownFlag) *m_pShownFlag = 0;
  ShowWindow(SW_HIDE);
}

void DlgSymbol::OnDestroy() {
  CRect place;
  GetWindowRect(&place);
  CRegSettings& reg = GetRegSettings();
  reg.WriteInt(kSection, "symbolDlgPosX", place.left);
  reg.WriteInt(kSection, "symbolDlgPosY", place.top);
  // A size field that does not read keeps the stored increase.
  BOOL read = FALSE;
  const UINT increase = GetDlgItemInt(IDC_SYMBOL_SIZE, &read, FALSE);
  if (read && increase <= 32) reg.WriteInt(kSection, "symbolH", int(increase));
  CDialog::OnDestroy();
}
