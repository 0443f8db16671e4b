#include "column_ui/kolumoloadgrid.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "column/eingabepruefung.h"
#include "platform/tolkar/tolkar.h"

namespace {

CString Tr(const char* context, const char* text) {
  return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", context, text));
}

constexpr int kPointLoad = 10;

// The value of a load that a formula column the column's grid shows holds; nullptr for the other columns.
CFormulaNumber* ValueIn(Load& load, int col) {
  switch (col) {
    case LoadGrid::kColOffset: return &load.offset;
    case LoadGrid::kColLength: return &load.length;
    case LoadGrid::kColValue0: return &load.val0;
    case LoadGrid::kColValue0 + 1: return &load.val1;
    default: return nullptr;
  }
}

}  // namespace

// ---- loads --------------------------------------------------------------------------------------------------------

int CKolumoLoadGrid::Stage() const {
  const int stage = m_pStage ? *m_pStage : -1;
  return stage >= 0 && stage < CKolumoData::kStages ? stage : -1;
}

int CKolumoLoadGrid::HighestLoadCase() const { return HighestShownLoadCase(loads); }

void CKolumoLoadGrid::ShowLoadCases(int stage) {
  if (!m_pLastfallGrid || !m_pData) return;
  m_pLastfallGrid->SetNumLastfaelle(m_pData->maxLF[stage]);
  m_pLastfallGrid->ExchangeData(FALSE);
}

void CKolumoLoadGrid::SetMaxLoadCase(int stage, int highest) {
  m_pData->maxLF[stage] = highest;
  m_pData->bLastfaelleGeaendert = 1;
  ShowLoadCases(stage);
}

std::vector<double> CKolumoLoadGrid::FieldNodes(CKolumoData& data) {
  std::vector<double> nodes;
  double z = 0.0;
  for (int i = 0; i < data.nFields(); ++i) {
    nodes.push_back(z);
    z += data.fieldLengths[i].GetValue();
  }
  return nodes;
}

void CKolumoLoadGrid::Layout() {
  std::fill(std::begin(allowedTypes), std::end(allowedTypes), 0);
  for (int type : {0, 1, kPointLoad, 11}) allowedTypes[type] = 1;
  numericActions = 1;
  titles[kColOffset] = "dz";
  titles[kColAction] = Tr("CKolumoLoadGrid", "LF");
  titles[kColText] = Tr("CKolumoLoadGrid", "Lasttext");
  titles[kColType] = Tr("CKolumoLoadGrid", "Typ");
  titles[kColNode] = Tr("CKolumoLoadGrid", "Knoten");
  titles[kColDirection] = Tr("CKolumoLoadGrid", "Richtung");
  LoadGrid::Layout();
  for (int col : {0, int(kColCases), int(kColEy), int(kColEz), 13, 14, 15, 16}) SetColumnVisible(col, FALSE, FALSE);
  // Shares of the columns shown, so that a type, a node and a value with its unit show whole; a long text is cut
  // (its tip shows it).
  const std::pair<int, int> shares[] = {{kColAction, 4},     {kColText, 10},   {kColType, 19},
                                        {kColNode, 16},      {kColOffset, 8},  {kColLength, 8},
                                        {kColDirection, 14}, {kColValue0, 11}, {kColValue0 + 1, 10}};
  for (auto [col, percent] : shares) SetColumnWidthPercent(col, percent);
  LayoutColumns();
}

void CKolumoLoadGrid::InitNewLoad(int index) {
  Load& load = loads[std::size_t(index)];
  CVariableStore* store = m_pData ? &m_pData->stuetzenVariablen : nullptr;
  load.SetVariableStore(store);
  load.direction = 1;
  load.bHasDirection = 1;
  load.lc = index > 0 ? loads[std::size_t(index - 1)].lc : 1;
  load.length.m_pStore = store;
  load.length = "tl";
  load.ltype = 0;
  load.node = 0;
  load.offset = 0.0;
  // Loads are typed in series: the next one of the same kind usually starts from the same value.
  if (index > 0 && loads[std::size_t(index - 1)].ltype == load.ltype)
    load.val0 = loads[std::size_t(index - 1)].val0;
  else
    load.val0 = 1.0;
  load.SetVariableStore(store);
}

void CKolumoLoadGrid::SetColumnTitles(int loadIndex) {
  LoadGrid::SetColumnTitles(loadIndex);
  if (loadIndex < 0 || loadIndex >= LoadCount()) return;
  const int row = loadIndex + 1;
  Load& load = loads[std::size_t(loadIndex)];
  // A load that was a point load before gets its offset back, unless its type has none (self weight).
  SetCellReadOnly(row, kColOffset, EditMask(load.ltype, load.bHasDirection != 0)[kColOffset] != '1');
  if (load.ltype != kPointLoad) return;
  // A point load acts at its node: no offset along the axis.
  load.offset = 0.0;
  SetCellFormula(row, kColOffset, load.offset);
  SetCellReadOnly(row, kColOffset, TRUE);
  static const char* const kTitles[3][2] = {{"Px", "My"}, {"Py", "Mx"}, {"Pz", "Mz"}};
  const int d = std::clamp(load.direction, 0, 2);
  SetItemText(0, kColValue0, kTitles[d][0]);
  SetItemText(0, kColValue0 + 1, kTitles[d][1]);
  Invalidate();
}

void CKolumoLoadGrid::UpdateGrid(BOOL toData) {
  const int stage = Stage();
  if (stage < 0 || !m_pData) return;
  if (toData) {
    LoadGrid::UpdateGrid(TRUE);
    CArray<Load>& target = m_pData->loads[stage];
    target.SetSize(LoadCount());
    for (int i = 0; i < LoadCount(); ++i) target[i] = loads[std::size_t(i)];
    return;
  }
  SetNodeList("%d (z=%.2lf m)", FieldNodes(*m_pData));
  const CArray<Load>& source = m_pData->loads[stage];
  loads.assign(source.begin(), source.end());
  SetRowCount(LoadCount() + 2);
  LoadGrid::UpdateGrid(FALSE);
  const int highest = HighestLoadCase();
  if (highest > m_pData->maxLF[stage]) {
    m_pData->maxLF[stage] = highest;
    m_pData->bLastfaelleGeaendert = 1;
  }
  ShowLoadCases(stage);
  for (int i = 0; i < LoadCount(); ++i) SetColumnTitles(i);
}

void CKolumoLoadGrid::OnCellChanged(int row, int col, int type) {
  LoadGrid::OnCellChanged(row, col, type);
  const int stage = Stage();
  if (col != kColAction || stage < 0 || !m_pData) return;
  // A number beyond what the load-case grid holds sizes none: the engineer is told at once, in the input check's
  // words, and the load keeps it to be mended.
  if (const int index = row - 1; index >= 0 && index < LoadCount() && loads[std::size_t(index)].lc > kMaxLoadCases) {
    const std::string problem = LastfallFehler(*m_pData, stage, index);
    if (!problem.empty()) AfxMessageBox(problem.c_str(), MB_ICONWARNING);
  }
  const int highest = HighestLoadCase();
  if (highest > m_pData->maxLF[stage]) SetMaxLoadCase(stage, highest);
}

CString CKolumoLoadGrid::RefusedFormula(int row, int col, const CFormulaNumber& typed) {
  const int stage = Stage(), index = row - 1;
  if (stage < 0 || !m_pData || index < 0 || index > LoadCount()) return CString();
  Load before;
  if (index < LoadCount()) {
    before = loads[std::size_t(index)];
  } else {
    // The entry row: a value that makes a load is checked on the load it makes, which starts as every new one.
    if (typed.m_bNumber && typed.m_dValue == 0.0) return CString();
    loads.emplace_back();
    InitNewLoad(index);
    before = loads.back();
    loads.pop_back();
  }
  Load after = before;
  CFormulaNumber* value = ValueIn(after, col);
  if (!value) return CString();
  CVariableStore* store = value->m_pStore;
  *value = typed;
  if (store) value->m_pStore = store;
  // Only what the value brings: a load that a shorter column left beyond its foot can still be moved back.
  return NeueFehler(LastFehler(*m_pData, stage, before, index), LastFehler(*m_pData, stage, after, index)).c_str();
}

CString CKolumoLoadGrid::CellName(int row, int col) const {
  CString name;
  name.Format(Tr("CKolumoLoadGrid", "Last %d").GetString(), row);
  const CString column = LoadGrid::CellName(row, col);
  return column.IsEmpty() ? name : name + ", " + column;
}

CString CKolumoLoadGrid::RefusedNewLoad(const Load& load) {
  const auto line = [](const Load& l) { return l.ltype == 0 || l.ltype == 1; };
  const bool point = load.ltype == kPointLoad;
  if (!point && !line(load)) return CString();
  const auto alike =
      std::count_if(loads.begin(), loads.end(), [&](const Load& l) { return point ? l.ltype == kPointLoad : line(l); });
  const int most = point ? kMaxPointLoadsPerStage : kMaxLineLoadsPerStage;
  if (alike < most) return CString();
  CString text;
  text.Format((point ? Tr("CKolumoLoadGrid", "Last %d: Ein Bauzustand hat höchstens %d Einzellasten.")
                     : Tr("CKolumoLoadGrid", "Last %d: Ein Bauzustand hat höchstens %d Linienlasten."))
                  .GetString(),
              LoadCount() + 1, most);
  return text;
}

void CKolumoLoadGrid::OnCellContextMenu(int row, int col, int command) {
  LoadGrid::OnCellContextMenu(row, col, command);
  const int stage = Stage();
  if (command != kCmdDelete || stage < 0 || !m_pData) return;
  const int highest = HighestLoadCase();
  if (highest != m_pData->maxLF[stage]) SetMaxLoadCase(stage, highest);
}

void CKolumoLoadGrid::OnLoadsChanged() {
  UpdateGrid(TRUE);
  if (m_pData) m_pData->Redraw(TRUE);
}

void CKolumoLoadGrid::OnValueImported() {
  if (m_onVariablesChanged) m_onVariablesChanged();
  UpdateGrid(TRUE);
  UpdateGrid(FALSE);
}

// ---- creep factors ------------------------------------------------------------------------------------------------

double CKolumoLoadKriechGrid::ReadNumber(const CString& text) {
  std::string s = static_cast<LPCSTR>(text);
  std::replace(s.begin(), s.end(), ',', '.');
  return std::strtod(s.c_str(), nullptr);
}

void CKolumoLoadKriechGrid::Layout() {
  EnableHeader(TRUE);
  Init(2, 2, 1, 0);
  SetTitles();
  LayoutColumns();
}

void CKolumoLoadKriechGrid::SetTitles() {
  SetColumnCaption(0, Tr("CKolumoLoadKriechGrid", "Zuordnung Kriechzahl"));
  SetColumnWidthPercent(0, 50);
  SetColumnWidthPercent(1, 50);
  SetItemText(0, 0, Tr("CKolumoLoadKriechGrid", "Lastfall"));
  SetItemText(0, 1, Tr("CKolumoLoadKriechGrid", "Faktor"));
}

void CKolumoLoadKriechGrid::InitRow(int row) {
  SetCellType(row, 0, ORMI_INT);
  SetCellReadOnly(row, 0, TRUE);
  SetCellInt(row, 0, row);
  SetCellType(row, 1, ORMI_DOUBLE);
  SetNumberFormat(row, 1, "%lf", "%.2lf", 1.0);
}

void CKolumoLoadKriechGrid::UpdateGrid(BOOL toData) {
  if (toData || !m_pData) {
    Invalidate();
    return;
  }
  const int cases = std::max(m_pData->maxLF[0], 0);
  SetRowCount(cases + 1);
  for (int i = 0; i < cases; ++i) {
    if (m_pData->kriechen.GetSize() < i + 1) {
      CKolumoKriechen entry;
      entry.KriechZahl = ReadNumber(m_kriechzahl);
      m_pData->kriechen.Add(entry);
    }
    InitRow(i + 1);
    SetCellDouble(i + 1, 1, m_pData->kriechen[i].Faktor);
  }
  LayoutColumns();
  Invalidate();
}

void CKolumoLoadKriechGrid::OnCellChanged(int row, int col, int) {
  if (!m_pData || col != 1 || row < 1 || row > m_pData->kriechen.GetSize()) return;
  CKolumoKriechen& entry = m_pData->kriechen[row - 1];
  entry.KriechZahl = ReadNumber(m_kriechzahl);
  entry.Faktor = GetCellDouble(row, 1);
  ShowHeldZero(row, 1);
}

void CKolumoLoadKriechGrid::SetCreepNumber(const CString& text) {
  m_kriechzahl = text;
  if (!m_pData) return;
  const double value = ReadNumber(text);
  for (CKolumoKriechen& entry : m_pData->kriechen) entry.KriechZahl = value;
}
