#include "column_ui/kolumopage_lasten.h"

#include "designcode/designcode.h"
#include "platform/tolkar/tolkar.h"
#include "transfer/importdlg.h"

namespace {

CString Tr(const char* text) {
  return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoloaddlg", text));
}

using P = CKolumoloaddlg;

// The grids are made when the page opens, over these frames (dialog units). The load grid takes what the strip of
// load cases, creep factors and buttons on the right leaves; it follows the page's size.
constexpr RECT kLoadGridRect{6, 4, 394, 110};
constexpr RECT kLastfallGridRect{400, 4, 474, 54};
constexpr RECT kKriechGridRect{478, 4, 556, 68};

win::DialogTemplate LoadPageTemplate() {
  win::DialogTemplate t;
  t.style = WS_CHILD | DS_CONTROL;
  // The size of the main dialog's page frame.
  t.cx = 560;
  t.cy = 112;
  t.items = {
      {int(P::kIdKriechLabel), "Static", "Kriechzahl:", SS_LEFT, 400, 58, 40, 10},
      {int(P::kIdKriechzahl), "Edit", "2.5", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 442, 56, 32, 12},
      {int(P::kIdKombinationen), "Button", "Einwirkungskombinationen bilden", BS_PUSHBUTTON | WS_TABSTOP, 400, 72, 156,
       13},
      {int(P::kIdLastuebernahme), "Button", "Lastübernahme", BS_PUSHBUTTON | WS_TABSTOP, 400, 86, 156, 13},
      {int(P::kIdManuell), "Button", "Lastkollektive manuell ändern", BS_AUTOCHECKBOX | WS_TABSTOP, 402, 101, 154, 10},
  };
  return t;
}
const win::DialogTemplateRegistrar kTemplate(CKolumoloaddlg::IDD, LoadPageTemplate());

CRect Pixels(const CDialog& page, RECT units) {
  CRect r(units);
  page.MapDialogRect(&r);
  return r;
}

}  // namespace

BEGIN_MESSAGE_MAP(CKolumoloaddlg, CDialog)
ON_BN_CLICKED(CKolumoloaddlg::kIdKombinationen, OnKombinationen)
ON_BN_CLICKED(CKolumoloaddlg::kIdLastuebernahme, OnLastuebernahme)
ON_BN_CLICKED(CKolumoloaddlg::kIdManuell, OnManuell)
ON_EN_CHANGE(CKolumoloaddlg::kIdKriechzahl, OnKriechzahlChanged)
ON_WM_SIZE()
END_MESSAGE_MAP()

int CKolumoloaddlg::KombiCode(int iNorm) {
  const designcode::DesignCode* code = designcode::ByInput(iNorm);
  return code ? code->formingNorm : -1;
}

int CKolumoloaddlg::Stage() const {
  const int stage = m_pStage ? *m_pStage : -1;
  return stage < CKolumoData::kStages ? stage : -1;
}

BOOL CKolumoloaddlg::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoloaddlg", m_hWnd);
  m_filling = true;
  m_loadGrid.m_pData = m_pData;
  // The loads read the field heights beside the position's names, in every row.
  m_loadGrid.SetVariableStore(m_pData ? &m_pData->stuetzenVariablen : nullptr);
  m_loadGrid.m_pStage = m_pStage;
  m_loadGrid.m_pLastfallGrid = &m_lastfallGrid;
  m_loadGrid.ownerData = m_pData;
  m_loadGrid.importTarget = m_pData;
  m_loadGrid.Create(Pixels(*this, kLoadGridRect), this, kIdLoadGrid);
  m_loadGrid.Layout();
  m_kriechGrid.m_pData = m_pData;
  m_kriechGrid.Create(Pixels(*this, kKriechGridRect), this, kIdKriechGrid);
  m_kriechGrid.Layout();
  if (m_pData) {
    m_lastfallGrid.SetData(&m_pData->lastUeberlagerung);
    m_lastfallGrid.Create(Pixels(*this, kLastfallGridRect), this, kIdLastfallGrid);
    m_lastfallGrid.Layout();
    if (m_pData->maxLF[0] > 0) m_lastfallGrid.SetNumLastfaelle(m_pData->maxLF[0]);
    m_lastfallGrid.ExchangeData(FALSE);
  }
  m_kriechzahl = "2.5";
  m_kriechGrid.m_kriechzahl = m_kriechzahl;
  m_manuell = m_pData && m_pData->LKManuell ? TRUE : FALSE;
  m_filling = false;
  CRect client;
  GetClientRect(&client);
  m_laidOutWidth = client.Width();
  ExchangeData(FALSE);
  return TRUE;
}

// The strip on the right keeps its distance from the right edge; the load grid takes the width and the height.
void CKolumoloaddlg::OnSize(UINT, int cx, int cy) {
  Default();
  if (!m_loadGrid.GetSafeHwnd() || m_laidOutWidth == 0) return;
  const int dx = cx - m_laidOutWidth;
  m_laidOutWidth = cx;
  CRect grid;
  m_loadGrid.GetWindowRect(&grid);
  ScreenToClient(&grid);
  const CRect units = Pixels(*this, kLoadGridRect);
  const int bottomMargin = Pixels(*this, RECT{0, 0, 0, 112}).Height() - units.bottom;
  m_loadGrid.MoveWindow(grid.left, grid.top, std::max(100, grid.Width() + dx),
                        std::max(40, cy - grid.top - bottomMargin));
  m_loadGrid.LayoutColumns();
  if (dx == 0) return;
  for (UINT id : {kIdLastfallGrid, kIdKriechGrid, kIdKriechLabel, kIdKriechzahl, kIdKombinationen, kIdLastuebernahme,
                  kIdManuell}) {
    CWnd* item = GetDlgItem(id);
    if (!item) continue;
    CRect r;
    item->GetWindowRect(&r);
    ScreenToClient(&r);
    item->MoveWindow(r.left + dx, r.top, r.Width(), r.Height());
  }
  // The creep grid's caption row sits above it.
  if (m_kriechGrid.GetSafeHwnd()) m_kriechGrid.LayoutColumns();
}

void CKolumoloaddlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, kIdKriechzahl, m_kriechzahl);
  DDX_Check(pDX, kIdManuell, m_manuell);
}

void CKolumoloaddlg::ExchangeData(BOOL toData) {
  if (!m_pData || !m_hWnd || m_filling) return;
  m_filling = true;
  CKolumoData& d = *m_pData;
  const int stage = Stage();
  if (toData) {
    m_loadGrid.UpdateGrid(TRUE);
    m_kriechGrid.UpdateGrid(TRUE);
    m_lastfallGrid.ExchangeData(TRUE);
    if (stage >= 0) d.lastUeberlagerungBZ[stage] = d.lastUeberlagerung;
    UpdateData(TRUE);
  } else {
    if (d.kriechen.GetSize() > 0) m_kriechzahl.Format("%.2lf", d.kriechen[0].KriechZahl);
    m_kriechGrid.m_kriechzahl = m_kriechzahl;
    // Creep is taken into account only in the final system, with the two imperfection kinds that have it.
    const int show = stage == 0 && d.vorver[0].type >= 2 ? SW_SHOW : SW_HIDE;
    m_kriechGrid.ShowWindow(show);
    if (CWnd* header = m_kriechGrid.GetHeaderGrid()) header->ShowWindow(show);
    for (UINT id : {kIdKriechLabel, kIdKriechzahl})
      if (CWnd* item = GetDlgItem(id)) item->ShowWindow(show);
    if (stage >= 0) {
      d.lastUeberlagerung = d.lastUeberlagerungBZ[stage];
      m_lastfallGrid.ExchangeData(FALSE);
    }
    m_loadGrid.UpdateGrid(FALSE);
    // Creep entries are made only where creep is taken into account: the file stays as it was elsewhere.
    if (show == SW_SHOW)
      m_kriechGrid.UpdateGrid(FALSE);
    else
      m_kriechGrid.SetRowCount(1);
    UpdateData(FALSE);
  }
  m_filling = false;
}

void CKolumoloaddlg::OnKombinationen() {
  if (!m_pData) return;
  CKolumoData& d = *m_pData;
  if (const int code = KombiCode(d.iNorm); code >= 0) d.InitLKData(code);
  m_lastfallGrid.ExchangeData(TRUE);
  CLKData& active = d.lastUeberlagerung;
  for (int i = 0; i < active.lastfaelle.GetSize(); ++i)
    if (active.lastfaelle[i].einw == 0) {
      CString message;
      message.Format(Tr("Bitte dem Lastfall %d eine Einwirkung zuordnen.").GetString(), i + 1);
      AfxMessageBox(message);
      return;
    }
  d.bLastfaelleGeaendert = 0;
  const int stage = std::max(Stage(), 0);
  bool assigned = false;
  for (int i = 0; i < active.lastfaelle.GetSize(); ++i) assigned |= active.lastfaelle[i].einw > 0;
  if (!assigned) {
    AfxMessageBox(Tr("Bitte alle Lastfälle zu Einwirkungen zuordnen"));
    return;
  }
  LKDlg dialog(this);
  dialog.m_pData = &active;
  *dialog.m_pCopy = active;
  dialog.m_bManuell = d.LKManuell != 0;
  active.manuelleKombinationen = d.LKManuell != 0;
  active.SetVereinfachteEinwirkungen();
  if (dialog.DoModal() == IDOK) d.lastUeberlagerungBZ[stage] = active;
}

void CKolumoloaddlg::OnLastuebernahme() {
  if (!m_pData) return;
  ExchangeData(TRUE);
  DlgImportVal dialog(this);
  dialog.SetPosition(m_pData);
  if (dialog.DoModal() != IDOK) return;
  if (m_onValuesImported) m_onValuesImported();
  m_pData->Draw2D(FALSE);
  m_pData->Draw3D(TRUE);
}

void CKolumoloaddlg::OnKriechzahlChanged() {
  if (m_filling) return;
  ExchangeData(TRUE);
  m_kriechGrid.SetCreepNumber(m_kriechzahl);
}

void CKolumoloaddlg::OnManuell() {
  if (m_filling) return;
  ExchangeData(TRUE);
  if (m_pData) m_pData->LKManuell = m_manuell ? 1 : 0;
}
