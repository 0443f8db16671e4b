#include "column_ui/kolumodlg.h"

#include <algorithm>
#include <array>

#include "column/eingabepruefung.h"
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

win::DialogTemplate PlaceholderTemplate() {
  win::DialogTemplate t;
  t.style = WS_CHILD | DS_CONTROL;
  t.cx = 560;
  t.cy = 110;
  t.items = {{-1, "Static", "Die Eingabe dieser Seite folgt.", SS_LEFT, 10, 10, 300, 10}};
  return t;
}
const win::DialogTemplateRegistrar kPlaceholder(CKolumoPlatzhalterDlg::IDD, PlaceholderTemplate());

}  // namespace

int CKolumoDlg::s_showRtfTip = 0;
int CKolumoDlg::s_previousTab = -1;

IMPLEMENT_DYNCREATE(CKolumoDlg, CMainDlgBase)

BEGIN_MESSAGE_MAP(CKolumoDlg, CMainDlgBase)
ON_NOTIFY(TCN_SELCHANGE, CKolumoDlg::kIdTab, OnSelChangeTab)
ON_CBN_SELCHANGE(CKolumoDlg::kIdStage, OnSelChangeStage)
ON_BN_CLICKED(CKolumoDlg::kIdDeleteStage, DeleteStage)
ON_WM_SIZE()
ON_MESSAGE(WM_HELP, OnHelp)
END_MESSAGE_MAP()

CKolumoDlg::CKolumoDlg(CWnd* parent) : CMainDlgBase(IDD, parent) {
  m_data.pDlg = this;
  m_steuDlg.m_pData = &m_data;
  m_sysDlg.SetData(&m_data, &m_aktBauZustand);
  m_vorverDlg.m_pData = &m_data;
  m_vorverDlg.m_pStage = &m_aktBauZustand;
  m_resultDlg.m_pData = &m_data;
  m_resultDlg.m_pStage = &m_aktBauZustand;
  m_loadDlg.m_pData = &m_data;
  m_loadDlg.m_pStage = &m_aktBauZustand;
  m_loadDlg.m_loadGrid.m_onVariablesChanged = [this] { m_varDlg.TransferData(FALSE); };
  m_loadDlg.m_onValuesImported = [this] {
    m_varDlg.TransferData(FALSE);
    for (int tab : {1, 2, 4, 3, 5}) ExchangePage(tab, FALSE);
  };
}

CDialog* CKolumoDlg::Page(int tab) {
  CDialog* pages[kTabs] = {&m_varDlg, &m_steuDlg, &m_sysDlg, &m_vorverDlg, &m_loadDlg, &m_resultDlg};
  return tab >= 0 && tab < kTabs ? pages[tab] : nullptr;
}

CKolumoDlg::~CKolumoDlg() {
  SetPreview(nullptr);
  m_data.pDlg = nullptr;
  DestroyWindow();
}

const char* CKolumoDlg::TipFile(int tab) { return tab >= 0 && tab < kTabs ? ::kTabs[tab].tipFile : ""; }

const char* CKolumoDlg::HelpTopic(int tab) { return tab >= 0 && tab < kTabs ? ::kTabs[tab].helpTopic : "Inhalt.htm"; }

BOOL CKolumoDlg::OnInitDialog() {
  CMainDlgBase::OnInitDialog();
  TOLK_HWNDTranslate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoDlg", m_hWnd);
  m_tabCtrl.SubclassDlgItem(kIdTab, this);
  m_stageBox.SubclassDlgItem(kIdStage, this);
  SetPageTab(&m_tabCtrl);
  if (CWnd* frame = GetDlgItem(kIdFrame)) frame->ShowWindow(SW_HIDE);
  for (int tab = 0; tab < kTabs; ++tab) {
    static constexpr UINT ids[kTabs] = {IDD_DLGVARDEF,         CKolumoSteuDlg::IDD, CKolumoSysDlg::IDD,
                                        CKolumoVorverDlg::IDD, CKolumoloaddlg::IDD, CKolumoResultDlg::IDD};
    if (tab == 0) m_varDlg.SetData(&m_data);
    Page(tab)->Create(ids[tab], this);
  }
  m_skribDlg.document = dynamic_cast<SubData*>(&m_data.GetSubData());
  m_skribDlg.position = &m_data;
  if (m_skribDlg.Create(SubDlg::IDD, &m_varDlg))
    m_varDlg.SetEditor(&m_skribDlg, [this](BOOL save) { m_skribDlg.TransferData(save); });

  for (int tab = 0; tab < kTabs; ++tab)
    m_tabCtrl.InsertItem(tab, tab == 0 ? m_data.GetVortextTabTitle() : Tr(::kTabs[tab].title));
  for (const char* name : kStageNames) m_stageBox.AddString(Tr(name));
  m_stageBox.SetCurSel(0);
  OnSelChangeStage();
  Layout();
  if (m_sysDlg.m_hWnd) m_sysDlg.SetFocus();
  return TRUE;
}

void CKolumoDlg::OnSize(UINT, int, int) {
  Default();
  Layout();
}

void CKolumoDlg::Layout() {
  CWnd* frame = GetDlgItem(kIdFrame);
  if (!m_sysDlg.m_hWnd || !m_tabCtrl.m_hWnd || !frame) return;
  if (!m_layoutRegistered) {
    CRect tab, frameRect;
    CResizeHelper::GetChildRect(m_hWnd, m_tabCtrl.m_hWnd, &tab);
    CResizeHelper::GetChildRect(m_hWnd, frame->m_hWnd, &frameRect);
    const int m = tab.left, d = frameRect.top - tab.top;
    m_resize.AddControl(m_tabCtrl.m_hWnd, 0, 0, 100, 100, m, m, -m, -m);
    m_resize.AddControl(frame->m_hWnd, 0, 0, 100, 100, 2 * m, d + m, -2 * m, -2 * m);
    m_layoutRegistered = true;
  }
  CRect client;
  GetClientRect(&client);
  m_resize.Resize(client);
  CRect place;
  CResizeHelper::GetChildRect(m_hWnd, frame->m_hWnd, &place);
  for (int tab = 0; tab < kTabs; ++tab)
    if (CDialog* page = Page(tab); page->m_hWnd)
      page->SetWindowPos(nullptr, place.left, place.top, place.Width(), place.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CKolumoDlg::OnHelp(WPARAM, LPARAM) {
  BaseData::ShowHelpTopic("KOLUMO.chm", HelpTopic(m_tabCtrl.m_hWnd ? m_tabCtrl.GetCurSel() : -1));
  return Default();
}

void CKolumoDlg::SetPreview(CKolumoVorschauDlg* preview) {
  if (m_pPreview == preview) return;
  CKolumoVorschauDlg* old = m_pPreview;
  m_pPreview = nullptr;
  if (old) old->Detach();
  m_pPreview = preview;
  if (!preview) return;
  preview->m_pInputDlg = this;
  // A drag changed the field lengths (1) or a load or the cut (2): the page that shows them shows them again, so
  // that the next storing of the pages does not take the old values back.
  preview->ziel.bild.onChanged = [this](int what) {
    if (what == 1)
      m_sysDlg.ExchangeData(FALSE);
    else
      m_loadDlg.ExchangeData(FALSE);
  };
  preview->onDetach = [this] { m_pPreview = nullptr; };
}

void CKolumoDlg::DrawPreview2D() {
  if (m_pPreview) m_pPreview->ziel.Draw2D();
}

void CKolumoDlg::DrawPreview3D() {
  if (m_pPreview) m_pPreview->ziel.Draw3D();
}

int CKolumoDlg::GetStageSelection() const { return m_stageBox.m_hWnd ? m_stageBox.GetCurSel() : -1; }

void CKolumoDlg::ExchangeData(BOOL saveAndValidate) {
  m_varDlg.TransferData(saveAndValidate);
  m_steuDlg.ExchangeData(saveAndValidate);
  m_sysDlg.ExchangeData(saveAndValidate);
  m_vorverDlg.ExchangeData(saveAndValidate);
  m_loadDlg.ExchangeData(saveAndValidate);
  if (m_tabCtrl.m_hWnd && m_tabCtrl.GetCurSel() == kResultTab) m_resultDlg.ExchangeData(saveAndValidate);
  UpdateData(saveAndValidate);
}

void CKolumoDlg::ExchangePage(int tab, BOOL toData) {
  switch (tab) {
    case 0: m_varDlg.TransferData(toData); break;
    case 1: m_steuDlg.ExchangeData(toData); break;
    case kSystemTab: m_sysDlg.ExchangeData(toData); break;
    case 3: m_vorverDlg.ExchangeData(toData); break;
    case 4: m_loadDlg.ExchangeData(toData); break;
    case 5: m_resultDlg.ExchangeData(toData); break;
    default: break;
  }
}

void CKolumoDlg::DeleteStage() {
  const int s = m_aktBauZustand;
  if (s < 0 || s >= CKolumoData::kStages) return;
  for (int i = 0; i < m_data.supports[s].GetSize(); ++i) m_data.supports[s][i] = CSupport();
  m_data.loads[s].RemoveAll();
  int highest = 0;
  for (const auto& stageLoads : m_data.loads) highest = std::max(highest, HighestShownLoadCase(stageLoads));
  if (highest != m_data.maxLF[s]) {
    m_data.maxLF[s] = highest;
    m_data.bLastfaelleGeaendert = 1;
  }
  CLKData& lk = m_data.lastUeberlagerungBZ[s];
  if (lk.lastfaelle.GetSize() > 0) {
    lk.lastfaelle.RemoveAll();
    lk.kombinationen.RemoveAll();
  }
  m_data.vorver[s] = CKolumoVorver();
  ExchangeData(FALSE);
}

namespace {

// The problems of one box: it stays readable with the first of them, then how many more.
class ProblemBox {
 public:
  void Add(const std::string& problem) {
    if (++count_ <= kShown) text_ += (text_.empty() ? "" : "\n") + problem;
  }
  // Shows the box, below the heading when there is one; nothing when there is no problem.
  void Show(const CString& heading = CString()) const {
    if (count_ == 0) return;
    std::string text = heading.IsEmpty() ? text_ : heading.str() + "\n\n" + text_;
    if (count_ > kShown) {
      CString more;
      more.Format(Tr("... und %d weitere.").GetString(), count_ - kShown);
      text += "\n" + more.str();
    }
    AfxMessageBox(text.c_str(), MB_ICONWARNING);
  }

 private:
  static constexpr int kShown = 15;
  std::string text_;
  int count_ = 0;
};

}  // namespace

void CKolumoDlg::CheckInputRead() {
  ProblemBox box;
  auto add = [&](const std::string& problem) { box.Add(problem); };
  for (int s = 0; s < CKolumoData::kStages; ++s) {
    int& maxLF = m_data.maxLF[std::size_t(s)];
    const CArray<Load>& loads = m_data.loads[std::size_t(s)];
    if (maxLF > kMaxLoadCases) {
      // the cases the actions were formed for, and those the loads name, as far as a grid holds them
      int shown = HighestShownLoadCase(loads);
      for (const CLKLastfall& lf : m_data.lastUeberlagerungBZ[std::size_t(s)].lastfaelle)
        if (lf.lf <= kMaxLoadCases) shown = std::max(shown, lf.lf);
      CString text;
      text.Format(Tr("%s: die Datei gibt %d Lastfälle an; möglich sind höchstens %d. Gezeigt werden die Lastfälle "
                     "bis %d.")
                      .GetString(),
                  Tr(kStageNames[s]).GetString(), maxLF, kMaxLoadCases, shown);
      add(text.str());
      maxLF = shown;
      m_data.bLastfaelleGeaendert = 1;
    }
    for (int i = 0; i < loads.GetSize(); ++i)
      if (loads[i].lc > kMaxLoadCases) add(LastfallFehler(m_data, s, i));
  }
  for (const std::string& problem : UndefinierteNamen(m_data, m_data.doc)) add(problem);
  box.Show();
}

void CKolumoDlg::OnOK() {
  ExchangeData(TRUE);
  // the names as the pages leave them: a variable renamed a moment ago no longer gives its old name a value
  m_data.DefineVariables();
  ProblemBox box;
  for (const std::string& problem : UndefinierteNamen(m_data, m_data.doc)) box.Add(problem);
  box.Show(
      Tr("Diese Eingaben nennen einen Namen ohne Wert. Die Position wird gespeichert; berechnet wird sie erst, "
         "wenn die Namen definiert sind:"));
}

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

void CKolumoDlg::ShowRtfTip(const char* file) {
  if (const auto* callback = win::FromHandle<ShowRtfTipCallback>(s_showRtfTip); callback && *callback)
    (*callback)(file);
}

void CKolumoDlg::ShowTip(int tab) const { ShowRtfTip(TipFile(tab)); }

void CKolumoDlg::OnSelChangeTab(NMHDR*, LRESULT* result) {
  OnPageChange();
  if (result) *result = 0;
}

void CKolumoDlg::OnPageChange() {
  const int tab = m_tabCtrl.m_hWnd ? m_tabCtrl.GetCurSel() : -1;
  if (tab < 0) return;
  for (int i = 0; i < kTabs; ++i)
    if (CDialog* page = Page(i); page->m_hWnd) page->ShowWindow(i == tab ? SW_SHOW : SW_HIDE);
  PreviewForTab(tab);
  s_previousTab = tab;
  if (m_pPreview && tab != kResultTab) m_pPreview->RefreshOutputPreview();
  // The pages that store before the new one shows, per tab.
  static constexpr int kStoring[kTabs][5] = {{1, 2, 3, 4, -1}, {0, 4, 2, 3, -1}, {0, 1, 3, 4, -1},
                                             {0, 1, 2, 4, -1}, {0, 1, 2, 3, -1}, {0, 1, 2, 4, 3}};
  if (tab != kResultTab) {
    for (int other : kStoring[tab])
      if (other >= 0) ExchangePage(other, TRUE);
    // The page shows the values of the names as just stored (a document changed on the first tab gives them anew),
    // as the drawings do: the system page's storing defines them, else they are defined here.
    if (std::ranges::find(kStoring[tab], kSystemTab) == std::end(kStoring[tab])) m_data.DefineVariables();
    ShowTip(tab);
    ExchangePage(tab, FALSE);
  } else {
    if (m_data.bLastfaelleGeaendert) {
      // What the page showed was calculated for other load cases: it is not shown as if it were current.
      m_resultDlg.ShowNoResults();
      AfxMessageBox(Tr("Die Anzahl der Lastfälle hat sich geändert.") + "\n" + EinwirkungenNeuBilden().c_str());
      Invalidate(TRUE);
      return;
    }
    for (int other : kStoring[tab]) ExchangePage(other, TRUE);
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
      m_resultDlg.ExchangeData(FALSE);
    } else {
      m_tabCtrl.SetCurSel(2);
      OnPageChange();
      return;
    }
  }
  m_data.Redraw(TRUE);
  Invalidate(TRUE);
}

void CKolumoDlg::PreviewForTab(int tab) {
  CKolumoVorschauDlg* preview = m_pPreview;
  if (!preview) return;
  // Shares of the dialog's width by view: 3D, X-Z, X-Y, Y-Z, section. The column's X-Y plane is its section,
  // drawn in the section frame.
  auto views = [&](int mask, std::array<int, 6> widths) {
    preview->m_nViewMask = mask;
    preview->m_aViewWidth = widths;
    preview->InitViewTabs();
    preview->UpdatePreview();
    preview->LayoutViews();
  };
  constexpr int kSide = CPreviewDlg::kXZ | CPreviewDlg::kXY | CPreviewDlg::kQuer;
  if (tab == kResultTab) {
    // The diagram stands beside the Y-Z view and takes the room of the X-Z view and the section.
    views(preview->m_nViewMask & ~kSide, {25, 0, 0, 75, 0, 0});
    preview->m_yz.UpdateWindow();
    m_data.Redraw(TRUE);
    m_loadDlg.ExchangeData(FALSE);
    return;
  }
  if (s_previousTab != kResultTab && s_previousTab != -1) return;
  if (m_data.pickedObject != -1) {
    m_data.pickedObject = -1;
    m_data.Redraw(TRUE);
    m_data.Draw2D(TRUE);
    m_data.Draw3D(TRUE);
  }
  views((preview->m_nViewMask & ~kSide) | CPreviewDlg::kXZ | CPreviewDlg::kQuer, {30, 25, 0, 25, 20, 0});
  // The Y-Z view leaves the diagram's scale and title behind.
  preview->m_yz.Invoke34(0, 0, 0, 0);
  preview->m_yz.Invoke30("", 9, 15);
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
