#include "column_ui/kolumopage_system.h"

#include "column/eingabepruefung.h"
#include "column_ui/fundamentdlg.h"
#include "column_ui/querschnittdlg.h"
#include "platform/tolkar/tolkar.h"

namespace {

CString Tr(const char* context, const char* text) {
  return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", context, text));
}

win::DialogTemplate SystemTemplate() {
  using D = CKolumoSysDlg;
  win::DialogTemplate t;
  t.style = WS_CHILD | DS_CONTROL;
  // The size of the main dialog's page frame.
  t.cx = 560;
  t.cy = 112;
  t.items = {
      {int(D::kIdGrid), "Static", "", SS_BLACKFRAME, 4, 4, 420, 104},
      // The grade grid's caption row sits above its rectangle.
      {int(D::kIdMateGrid), "Static", "", SS_BLACKFRAME, 430, 16, 126, 40},
      {int(D::kIdFundament), "Button", "Fundamenteinspannung\nam Stützenfuß", BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP,
       430, 66, 126, 24},
  };
  return t;
}
const win::DialogTemplateRegistrar kTemplate(CKolumoSysDlg::IDD, SystemTemplate());

// A spring value that is a stiffness, neither rigid nor free, large enough to count.
bool Federt(CFormulaNumber& value) { return value.GetValue() > 0.1; }

}  // namespace

// ---- grid ------------------------------------------------------------------------------------------------------

CKolumoSysGrid::CKolumoSysGrid() {
  springOfferComputed = 0;
  bSectionButton = 0;
}

void CKolumoSysGrid::Layout() {
  StabSysGrid::Layout();
  for (int c = 0; c < kCols; ++c) {
    const bool visible = c == kColField || c == kColLength || c == kColSum || c == kColSection || c == kColCx ||
                         c == kColCx + 1 || c == kColCx + 3 || c == kColCx + 4 || c == kColSprings;
    SetColumnVisible(c, visible, FALSE);
  }
  LayoutColumns();
}

void CKolumoSysGrid::SetFieldCount(int n) {
  StabSysGrid::SetFieldCount(n);
  const std::size_t had = querschnitte.size();
  const std::size_t want = std::size_t(std::max(n, 0));
  if (want > had && had > 0) {
    const CKolumoQuer last = querschnitte.back();
    querschnitte.resize(want, last);
  } else {
    querschnitte.resize(want);
  }
}

void CKolumoSysGrid::ExchangeData(BOOL toData) {
  if (!m_pData || !m_pStage) return;
  const int s = *m_pStage;
  CKolumoData& d = *m_pData;
  if (!toData) {
    if (s < 0 || s >= CKolumoData::kStages) return;
    // Refilled from the data, not grown: no copies of the last section.
    querschnitte.clear();
    SetFieldCount(d.nFields());
    for (int k = 0; k < d.supports[s].GetSize() && k <= nFields; ++k) {
      if (k >= 1) {
        lengths[std::size_t(k - 1)] = d.fieldLengths[k - 1];
        lengths[std::size_t(k - 1)].m_pStore = &d.variables;
        querschnitte[std::size_t(k - 1)] = d.querschnitte[k - 1];
        querschnitte[std::size_t(k - 1)].SetVariableStore(&d.variables);
      }
      supports[std::size_t(k)] = d.supports[s][k];
    }
    if (GetSafeHwnd()) UpdateGrid(FALSE);
    return;
  }
  if (GetSafeHwnd()) UpdateGrid(TRUE);
  if (s >= 0 && s < CKolumoData::kStages && supports.size() > 1) {
    d.SetFieldCount(nFields);
    const int foot = int(supports.size()) - 1;
    for (int k = 0; k <= foot; ++k) {
      if (k >= 1) {
        d.fieldLengths[k - 1] = lengths[std::size_t(k - 1)];
        d.querschnitte[k - 1] = querschnitte[std::size_t(k - 1)];
      }
      CSupport& support = supports[std::size_t(k)];
      // The column stands on its foot; no other support carries vertically.
      support.cz = k == foot ? -1.0 : 0.0;
      if (k == foot && (Federt(support.cmx) || Federt(support.cmy) || Federt(support.cx) || Federt(support.cy)) &&
          (d.cx > 0.1 || d.cy > 0.1 || d.cmx > 0.1 || d.cmy > 0.1)) {
        AfxMessageBox(Tr("CKolumoSysGrid",
                         "Sie haben am Stützenfuß einen Federwert\nund eine Fundamenteinspannung definiert.\n"
                         "Die Fundamenteinspannung wird gelöscht!"));
        d.cmx = d.cmy = d.cx = d.cy = d.cz = 0.0;
        d.FudPos = 0;
      }
      d.supports[s][k] = support;
    }
  }
  d.DefineVariables();
}

void CKolumoSysGrid::OnFieldsChanged() {
  ExchangeData(TRUE);
  if (m_pData) m_pData->Redraw(TRUE);
}

void CKolumoSysGrid::OnSectionButton(int row) {
  const int f = row - 2;
  if (!m_pData || f < 0 || f >= int(querschnitte.size())) return;
  // With the position's check: a value the calculation would refuse is refused in the dialog's cell.
  if (!CKolumoQuerDlg::Bearbeite(*m_pData, f, querschnitte[std::size_t(f)], this)) return;
  OnFieldsChanged();
}

CString CKolumoSysGrid::RefusedFormula(int row, int col, const CFormulaNumber& typed) {
  const int f = row - 2, entryRow = GetRowCount() - 1;
  if (col != kColLength || !m_pData || f < 0 || f > nFields) return CString();
  CFormulaNumber length = typed;
  // A length of 0 adds no field in the entry row; typed, it removes the last field (of two or more) in its row.
  const bool zero = length.GetValue() == 0.0;
  if (zero && row == entryRow) return CString();
  if (IsZeroLength(length) && IsTyped() && row == entryRow - 1 && nFields >= 2) return CString();
  if (row == entryRow && nFields >= CKolumoData::kMaxFields) return TooManyFields();
  // Only what the value brings: a length read from the file that the check refuses does not block its edit.
  const std::vector<std::string> before =
      f < nFields ? FeldlaengeFehler(*m_pData, lengths[std::size_t(f)], f) : std::vector<std::string>();
  return NeueFehler(before, FeldlaengeFehler(*m_pData, length, f)).c_str();
}

CString CKolumoSysGrid::TooManyFields(int added) const {
  CString text;
  text.Format(Tr("CKolumoSysGrid", "Feld %d: Die Stütze hat höchstens %d Felder.").GetString(), nFields + added + 1,
              CKolumoData::kMaxFields);
  return text;
}

int CKolumoSysGrid::RoomForRows(int wanted, CString& why) {
  const int room = std::clamp(CKolumoData::kMaxFields - nFields, 0, wanted);
  if (room < wanted) why = TooManyFields(room);
  return room;
}

void CKolumoSysGrid::OnCellContextMenu(int row, int col, int command) {
  const int f = row - 2;
  if (command == kCmdCopy && f >= 0 && f < nFields && nFields >= CKolumoData::kMaxFields) {
    AfxMessageBox(TooManyFields(), MB_ICONEXCLAMATION);
    return;
  }
  if (f >= 0 && f < int(querschnitte.size())) {
    if (command == kCmdDelete) {
      querschnitte.erase(querschnitte.begin() + f);
    } else if (command == kCmdCopy) {
      const CKolumoQuer copy = querschnitte[std::size_t(f)];
      querschnitte.insert(querschnitte.begin() + f + 1, copy);
    }
  }
  StabSysGrid::OnCellContextMenu(row, col, command);
}

// ---- page ------------------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CKolumoSysDlg, CDialog)
ON_BN_CLICKED(CKolumoSysDlg::kIdFundament, OnFundament)
ON_WM_SIZE()
END_MESSAGE_MAP()

void CKolumoSysDlg::SetData(CKolumoData* data, const int* stage) {
  m_pData = data;
  m_grid.m_pData = data;
  m_grid.m_pStage = stage;
  // A name the position defines is a length in every row, the entry row's new field's too.
  m_grid.SetVariableStore(data ? &data->variables : nullptr);
  m_mateGrid.m_pData = data;
}

BOOL CKolumoSysDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoSysDlg", m_hWnd);
  for (auto [id, grid] : {std::pair<UINT, COrmiGridCtrl*>{kIdGrid, &m_grid}, {kIdMateGrid, &m_mateGrid}}) {
    CWnd* place = GetDlgItem(id);
    CRect r;
    place->GetWindowRect(&r);
    ScreenToClient(&r);
    place->DestroyWindow();
    grid->Create(r, this, id);
    grid->Layout();
  }
  return TRUE;
}

void CKolumoSysDlg::ExchangeData(BOOL toData) {
  m_mateGrid.ExchangeData(toData);
  m_grid.ExchangeData(toData);
  if (m_hWnd) UpdateData(toData);
}

void CKolumoSysDlg::OnFundament() {
  if (m_pData) CPyloFundDlg::Bearbeite(*m_pData, this);
}

// The system grid takes the room the grade column and the button leave on the right.
void CKolumoSysDlg::OnSize(UINT, int cx, int cy) {
  Default();
  CWnd* button = GetDlgItem(kIdFundament);
  if (!m_grid.GetSafeHwnd() || !m_mateGrid.GetSafeHwnd() || !button) return;
  CRect grid, mate, knopf;
  m_grid.GetWindowRect(&grid);
  ScreenToClient(&grid);
  m_mateGrid.GetWindowRect(&mate);
  ScreenToClient(&mate);
  button->GetWindowRect(&knopf);
  ScreenToClient(&knopf);
  const int gap = mate.left - grid.right, right = cx - grid.left;
  const int left = std::max(grid.left + 100, right - mate.Width());
  m_grid.MoveWindow(grid.left, grid.top, std::max(100, left - gap - grid.left), std::max(40, cy - 2 * grid.top));
  m_mateGrid.MoveWindow(left, mate.top, mate.Width(), mate.Height());
  button->MoveWindow(left, knopf.top, knopf.Width(), knopf.Height());
}
