#include "column_ui/kolumodlg.h"

#include "framework/module_interface.h"
#include "platform/tolkar/tolkar.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoDlg", text)); }

struct TabInfo {
  const char* title;  // tab 0 takes the data's title
  const char* tipFile;
  const char* helpTopic;
};
constexpr TabInfo kTabs[CKolumoDlg::kTabs] = {
    {nullptr, "\\..\\rtftip\\kolumo_VortexteDlg.rtf", "Vortexttabellen.htm"},
    {"Steuerwerte", "\\..\\rtftip\\kolumo_SteuDlg.rtf", "Steuerwerte.htm"},
    {"System", "\\..\\rtftip\\kolumo_SystemDlg.rtf", "System.htm"},
    {"Vorverformung", "\\..\\rtftip\\kolumo_VorVerDlg.rtf", "Vorverformung.htm"},
    {"Belastung", "\\..\\rtftip\\kolumo_LoadDlg.rtf", "Belastung.htm"},
    {"Ergebnisse", "\\..\\rtftip\\kolumo_ResultDlg.rtf", "Ergebnisse.htm"},
};

constexpr const char* kStageNames[CKolumoData::kStages] = {"Endsystem", "Transport", "Bauzustand 1", "Bauzustand 2"};

win::DialogTemplate InputDialogTemplate() {
  win::DialogTemplate t;
  t.style = WS_CHILD | DS_CONTROL | WS_CLIPCHILDREN;
  t.cx = 583;
  t.cy = 146;
  t.items = {
      {int(CKolumoDlg::kIdTab), "SysTabControl32", "", WS_TABSTOP, 4, 4, 575, 138},
      {int(CKolumoDlg::kIdFrame), "Static", "", SS_BLACKFRAME, 10, 22, 563, 116, 0, true},
      {-1, "Static", "Bauzustand:", SS_LEFT, 330, 6, 44, 10},
      {int(CKolumoDlg::kIdStage), "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 376, 4, 90, 60},
      {int(CKolumoDlg::kIdDeleteStage), "Button", "Aktuellen Bauz. löschen", BS_PUSHBUTTON | WS_TABSTOP, 472, 3, 104,
       13},
  };
  return t;
}
const win::DialogTemplateRegistrar kTemplate(CKolumoDlg::IDD, InputDialogTemplate());

}  // namespace

int CKolumoDlg::s_showRtfTip = 0;
int CKolumoDlg::s_previousTab = -1;

IMPLEMENT_DYNCREATE(CKolumoDlg, CDialog)

BEGIN_MESSAGE_MAP(CKolumoDlg, CDialog)
ON_NOTIFY(TCN_SELCHANGE, CKolumoDlg::kIdTab, OnSelChangeTab)
ON_CBN_SELCHANGE(CKolumoDlg::kIdStage, OnSelChangeStage)
END_MESSAGE_MAP()

CKolumoDlg::CKolumoDlg(CWnd* parent) : CDialog(IDD, parent) { m_data.pDlg = this; }

CKolumoDlg::~CKolumoDlg() {
  m_data.pDlg = nullptr;
  DestroyWindow();
}

const char* CKolumoDlg::TipFile(int tab) { return tab >= 0 && tab < kTabs ? ::kTabs[tab].tipFile : ""; }

const char* CKolumoDlg::HelpTopic(int tab) { return tab >= 0 && tab < kTabs ? ::kTabs[tab].helpTopic : "Inhalt.htm"; }

BOOL CKolumoDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoDlg", m_hWnd);
  m_tabCtrl.SubclassDlgItem(kIdTab, this);
  m_stageBox.SubclassDlgItem(kIdStage, this);
  if (CWnd* frame = GetDlgItem(kIdFrame)) frame->ShowWindow(SW_HIDE);

  for (int tab = 0; tab < kTabs; ++tab)
    m_tabCtrl.InsertItem(tab, tab == 0 ? m_data.GetVortextTabTitle() : Tr(::kTabs[tab].title));
  for (const char* name : kStageNames) m_stageBox.AddString(Tr(name));
  m_stageBox.SetCurSel(0);
  OnSelChangeStage();
  return TRUE;
}

int CKolumoDlg::GetStageSelection() const { return m_stageBox.m_hWnd ? m_stageBox.GetCurSel() : -1; }

void CKolumoDlg::ExchangeData(BOOL saveAndValidate) { UpdateData(saveAndValidate); }

bool CKolumoDlg::SetAnnotation(const CString& text) {
  const int tab = m_tabCtrl.m_hWnd ? m_tabCtrl.GetCurSel() : -1;
  if (tab < 0 || tab >= m_data.anmerkungen.GetSize()) return false;
  m_data.anmerkungen[tab] = text;
  return true;
}

bool CKolumoDlg::GetAnnotation(CString& text) const {
  const int tab = m_tabCtrl.m_hWnd ? m_tabCtrl.GetCurSel() : -1;
  if (tab < 0 || tab >= m_data.anmerkungen.GetSize()) return false;
  text = m_data.anmerkungen[tab];
  return true;
}

void CKolumoDlg::ShowTip(int tab) const {
  if (const auto* callback = win::FromHandle<ShowRtfTipCallback>(s_showRtfTip); callback && *callback)
    (*callback)(TipFile(tab));
}

void CKolumoDlg::OnSelChangeTab(NMHDR*, LRESULT* result) {
  OnPageChange();
  if (result) *result = 0;
}

void CKolumoDlg::OnPageChange() {
  const int tab = m_tabCtrl.m_hWnd ? m_tabCtrl.GetCurSel() : -1;
  if (tab < 0) return;
  s_previousTab = tab;
  if (tab != kResultTab) {
    ShowTip(tab);
  } else {
    if (m_data.bLastfaelleGeaendert) {
      AfxMessageBox(Tr("Anzahl der Lastfälle haben sich geändert.\nBitte Einwirkungen neu bilden"));
      return;
    }
    ShowTip(tab);
    CStringArray messages;
    const bool calculate = m_data.PrepareCalc(messages, 0);
    CCalcAndStoreResult stored;
    m_data.CalcAndStore(stored, FALSE, TRUE);
    if (calculate) {
      // Reading the stored position again starts from the defaults, so that nothing is read twice.
      const int document = m_data.doc;
      m_data.SetDefaults();
      m_data.doc = document;
      m_data.ReadData(document);
    } else {
      m_tabCtrl.SetCurSel(2);
      OnPageChange();
      return;
    }
  }
  m_data.Redraw(TRUE);
  Invalidate(TRUE);
}

void CKolumoDlg::OnSelChangeStage() {
  if (m_aktBauZustand != -1) ExchangeData(TRUE);
  int stage = m_stageBox.GetCurSel();
  if (stage < 0 || stage >= CKolumoData::kStages) stage = 0;
  const bool first = m_aktBauZustand == -1;
  m_aktBauZustand = stage;
  m_data.aktBauZustand = stage;
  if (CWnd* button = GetDlgItem(kIdDeleteStage)) button->ShowWindow(stage > 0 ? SW_SHOW : SW_HIDE);
  ExchangeData(FALSE);
  if (!first) m_data.Redraw(TRUE);
}
