#include "framework_ui/loadgrid.h"

#include <cmath>

#include "framework/basedata.h"
#include "platform/tolkar/tolkar.h"
#include "transfer/importdlg.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "LoadGrid", text)); }

// What a load type shows in column 7 and the value columns 11-16, with a single direction (D) and without.
// nullptr in a title means "---"; a format nullptr means none.
struct TypeTable {
  const char* lengthTitle;
  const char* titlesD[6];
  const char* titlesN[6];
  const char* formatsD[6];
  const char* formatsN[6];
  const char* maskD;
  const char* maskN;
};

constexpr const char* kLin = "%.2lf kN/m";
constexpr const char* kM = "%.2lf m";
constexpr const char* kKN = "%.2lf kN";
constexpr const char* kKNm = "%.2lf kNm";
constexpr const char* kKNmM = "%.2lf kNm/m";

// Types 4 and 10 title some values by direction; their entries here are overwritten in ValueTitle.
const TypeTable kTypes[Load::kLoadTypeCount] = {
    {"Länge", {"P"}, {"Px", "Py", "Pz"}, {kLin}, {kLin, kLin, kLin}, "01111111111100000", "01111111111111000"},
    {"Länge",
     {"P1", "P2"},
     {"Px1", "Py1", "Pz1", "Px2", "Py2", "Pz2"},
     {kLin, kLin},
     {kLin, kLin, kLin, kLin, kLin, kLin},
     "01111111111110000",
     "01111111111111111"},
    {"L(links)",
     {"L(rechts)", "P"},
     {"L(rechts)", "Px", "Py", "Pz"},
     {kM, kLin},
     {kM, kLin, kLin, kLin},
     "01111111111110000",
     "01111111111111100"},
    {"L(links)",
     {"L(mitte)", "L(rechts)", "P"},
     {"L(mitte)", "L(rechts)", "Px", "Py", "Pz"},
     {kM, kM, kLin, kLin, kLin},
     {kM, kM, kLin, kLin, kLin},
     "01111111111111000",
     "01111111111111110"},
    {"Länge", {}, {}, {"%.2lf °K", "%.2lf °K"}, {"%.2lf °K", "%.2lf °K"}, "01111111001110000", "01111111111110000"},
    {nullptr, {"ds"}, {"ds"}, {"%.1lf cm"}, {"%.1lf cm"}, "01111100001100000", "01111100000100000"},
    {"Länge", {"Mx"}, {"Mx"}, {kKNmM}, {kKNmM}, "01111111000100000", "01111111000111000"},
    {"Länge", {"Mx1", "Mx2"}, {"Mx1", "Mx2"}, {kKNmM, kKNmM}, {kKNmM, kKNmM}, "01111111000110000", "01111111000111111"},
    {nullptr, {"P"}, {"Px", "Py", "Pz"}, {kKN}, {kKN, kKN, kKN}, "01111110111100000", "01111110111111000"},
    {nullptr, {"M"}, {"Mx", "My", "Mz"}, {kKNm}, {kKNm, kKNm, kKNm}, "01111110101100000", "01111110001111000"},
    {nullptr,
     {},
     {"Px", "Py", "Pz", "Mx", "My", "Mz"},
     {kKN, kKNm},
     {kKN, kKN, kKN, kKNm, kKNm, kKNm},
     "01111110111110000",
     "01111110111111111"},
    {nullptr, {}, {}, {}, {}, "01111000000000000", "01111000000000000"},
    {"Länge", {"F"}, {"F"}, {"%.2lf kN/m²"}, {"%.2lf kN/m²"}, "01111111001100000", "01111111001100000"},
    {"Länge",
     {"Px", "Py", "Pz", "Mx", "My", "Mz"},
     {"Px", "Py", "Pz", "Mx", "My", "Mz"},
     {kLin, kLin, kLin, kKNmM, kKNmM, kKNmM},
     {kLin, kLin, kLin, kKNmM, kKNmM, kKNmM},
     "01111111111111111",
     "01111111111111111"},
};

const char* const kBaseTitles[LoadGrid::kCols] = {"",   "Einwirkung", "Lastfälle", "Lasttext", "Typ",     "Knoten",
                                                  "dx", "Länge",      "eY",        "eZ",       "Richtung"};

bool ValidType(int type) { return type >= 0 && type < Load::kLoadTypeCount; }

CFormulaNumber& ValueOf(Load& load, int col) {
  CFormulaNumber* values[] = {&load.offset, &load.length, &load.ey,   &load.ez,   nullptr,   &load.val0,
                              &load.val1,   &load.val2,   &load.val3, &load.val4, &load.val5};
  return *values[col - LoadGrid::kColOffset];
}

bool IsFormulaColumn(int col) {
  return (col >= LoadGrid::kColOffset && col <= LoadGrid::kColEz) || col >= LoadGrid::kColValue0;
}

}  // namespace

LoadGrid::LoadGrid() {
  m_bRowMarking = TRUE;
  for (int c = 0; c < kCols; ++c) titles[c] = c < 11 ? Tr(kBaseTitles[c]) : CString();
}

CString LoadGrid::LengthTitle(int type) {
  if (!ValidType(type) || !kTypes[type].lengthTitle) return "---";
  return Tr(kTypes[type].lengthTitle);
}

CString LoadGrid::ValueTitle(int type, bool single, int direction, int value) {
  if (!ValidType(type) || value < 0 || value > 5) return "---";
  const bool byDirection = type == 4 || (type == 10 && single);
  if (byDirection) {
    static const char* const kTemperature[3][2] = {{"T(-X)", "T(+X)"}, {"T(-Y)", "T(+Y)"}, {"T(-Z)", "T(+Z)"}};
    static const char* const kForceMoment[3][2] = {{"Px", "Mx"}, {"Py", "Mz"}, {"Pz", "My"}};
    if (value > 1 || direction < 0 || direction > 2) return "---";
    return Tr(type == 4 ? kTemperature[direction][value] : kForceMoment[direction][value]);
  }
  const char* title = single ? kTypes[type].titlesD[value] : kTypes[type].titlesN[value];
  return title ? Tr(title) : CString("---");
}

CString LoadGrid::ValueFormat(int type, bool single, int value) {
  if (!ValidType(type) || value < 0 || value > 5) return CString();
  const char* format = single ? kTypes[type].formatsD[value] : kTypes[type].formatsN[value];
  return format ? CString(format) : CString();
}

const char* LoadGrid::EditMask(int type, bool single) {
  if (!ValidType(type)) return kTypes[0].maskN;
  return single ? kTypes[type].maskD : kTypes[type].maskN;
}

// ---- combo positions ----------------------------------------------------------------------------------------------

static int ToCombo(const int* allowed, int count, int value) {
  if (value < 0 || value >= count || !allowed[value]) return -1;
  int position = 0;
  for (int i = 0; i < value; ++i) position += allowed[i] ? 1 : 0;
  return position;
}

static int FromCombo(const int* allowed, int count, int index) {
  for (int i = 0; i < count && index >= 0; ++i)
    if (allowed[i] && index-- == 0) return i;
  return -1;
}

int LoadGrid::TypeToCombo(int type) const { return ToCombo(allowedTypes, Load::kLoadTypeCount, type); }
int LoadGrid::ComboToType(int index) const { return FromCombo(allowedTypes, Load::kLoadTypeCount, index); }
int LoadGrid::DirectionToCombo(int direction) const {
  return ToCombo(allowedDirections, Load::kDirectionCount, direction);
}
int LoadGrid::ComboToDirection(int index) const { return FromCombo(allowedDirections, Load::kDirectionCount, index); }

// ---- layout and rows ----------------------------------------------------------------------------------------------

void LoadGrid::Layout() {
  Init(2, kCols, 1, 1);
  static const int kWidths[kCols] = {5, 15, 10, 15, 15, 15, 10, 10, 10, 10, 15, 10, 10, 10, 10, 10, 10};
  for (int c = 0; c < kCols; ++c) SetColumnWidthPercent(c, c == kColAction && numericActions ? 5 : kWidths[c]);
  InitRow(1);
  FillRow(1);
  SetColumnTitles(0);
  BuildContextMenu();
  LayoutColumns();
}

void LoadGrid::InitRowCells(int row) {
  if (row < 1 || row >= GetRowCount()) return;
  const int index = row - 1;
  const bool isLoad = index < LoadCount();
  const int type = isLoad ? loads[index].ltype : 0;
  const bool single = isLoad && loads[index].bHasDirection;

  SetCellType(row, kColAction, numericActions ? ORMI_INT : ORMI_COMBO_INDEX);
  if (!numericActions) SetComboOptions(row, kColAction, actionNames);
  SetCellType(row, kColCases, ORMI_TEXT);
  SetCellType(row, kColText, ORMI_TEXT);
  SetCellType(row, kColType, ORMI_COMBO_INDEX);
  CStringArray options;
  for (int t = 0; t < Load::kLoadTypeCount; ++t)
    if (allowedTypes[t]) options.Add(Load::GetLoadTypeText(t));
  SetComboOptions(row, kColType, options);
  SetCellType(row, kColNode, ORMI_COMBO_INDEX);
  options.RemoveAll();
  for (std::size_t i = 0; i < nodeValues.size(); ++i) {
    CString text;
    text.Format(nodeFormat, int(i + 1), nodeValues[i]);
    options.Add(text);
  }
  SetComboOptions(row, kColNode, options);
  static const char* const kGeometryFormats[] = {"%.2lf m", "%.2lf m", "%.1lf cm", "%.1lf cm"};
  for (int c = kColOffset; c <= kColEz; ++c) {
    SetCellType(row, c, ORMI_FORMULA);
    SetNumberFormat(row, c, "%lf", kGeometryFormats[c - kColOffset], 1.0);
  }
  SetCellType(row, kColDirection, ORMI_COMBO_INDEX);
  options.RemoveAll();
  for (int d = 0; d < Load::kDirectionCount; ++d)
    if (allowedDirections[d]) options.Add(Load::GetDirectionText(d));
  SetComboOptions(row, kColDirection, options);
  for (int v = 0; v < 6; ++v) {
    SetCellType(row, kColValue0 + v, ORMI_FORMULA);
    SetNumberFormat(row, kColValue0 + v, "%lf", DisplayFormat(row, kColValue0 + v, ValueFormat(type, single, v)), 1.0);
  }
  OnRowCellsSet(row);
}

void LoadGrid::InitRow(int row) {
  InitRowCells(row);
  LayoutColumns();
}

void LoadGrid::FillRow(int row) {
  const int index = row - 1;
  if (index == LoadCount()) {
    // The entry row: empty and open for the first value of a new load.
    for (int c = 0; c < kCols; ++c) {
      if (COrmiCellInfo* info = Info(row, c); info && info->value) *info->value = CFormulaNumber();
      SetItemText(row, c, "");
      if (c > 0) SetCellReadOnly(row, c, c == kColCases && !loadCasesEditable);
    }
    return;
  }
  if (index < 0 || index > LoadCount()) return;
  Load& load = loads[index];
  if (numericActions)
    SetCellInt(row, kColAction, load.lc);
  else
    SetComboIndex(row, kColAction, load.lc - 1);
  SetItemText(row, kColCases, load.LCGen.text);
  SetItemText(row, kColText, load.desc);
  SetComboIndex(row, kColType, TypeToCombo(load.ltype));
  SetComboIndex(row, kColNode, load.node);
  for (int c = kColOffset; c <= kColEz; ++c) SetCellFormula(row, c, ValueOf(load, c));
  SetComboIndex(row, kColDirection, DirectionToCombo(load.direction));
  const bool single = load.bHasDirection != 0;
  for (int v = 0; v < 6; ++v) {
    const int c = kColValue0 + v;
    SetNumberFormat(row, c, "%lf", DisplayFormat(row, c, ValueFormat(load.ltype, single, v)), 1.0);
    SetCellFormula(row, c, ValueOf(load, c));
  }
  const char* mask = EditMask(load.ltype, single);
  for (int c = 1; c < kCols; ++c) {
    const bool editable = mask[c] == '1' && (c != kColCases || loadCasesEditable);
    SetCellReadOnly(row, c, !editable);
    if (mask[c] != '1') SetItemText(row, c, "");
  }
}

void LoadGrid::SetColumnTitles(int loadIndex) {
  int type = 0, direction = 0;
  bool single = false;
  if (loadIndex >= 0 && loadIndex < LoadCount()) {
    type = loads[loadIndex].ltype;
    direction = loads[loadIndex].direction;
    single = loads[loadIndex].bHasDirection != 0;
  }
  for (int c = 1; c < kCols; ++c)
    if (c <= kColDirection && c != kColLength) SetItemText(0, c, titles[c]);
  if (ValidType(type)) {
    SetItemText(0, kColLength, LengthTitle(type));
    for (int v = 0; v < 6; ++v) SetItemText(0, kColValue0 + v, ValueTitle(type, single, direction, v));
  }
  Invalidate();
}

void LoadGrid::SetLoadCount(int n) {
  if (n < 0) n = 0;
  const int old = LoadCount();
  // The rows read their loads as they are made: the loads come first, and go again when the rows cannot be made.
  loads.resize(std::size_t(n));
  try {
    for (int i = old; i < n; ++i) InitNewLoad(i);
    SetRowCount(n + 2);
  } catch (...) {
    if (n > old) loads.resize(std::size_t(old));
    throw;
  }
  BuildContextMenu();
}

void LoadGrid::SetNodeList(LPCTSTR format, const std::vector<double>& values) {
  nodeFormat = format;
  nodeValues = values;
  CStringArray options;
  for (std::size_t i = 0; i < values.size(); ++i) {
    CString text;
    text.Format(nodeFormat, int(i + 1), values[i]);
    options.Add(text);
  }
  for (int row = 1; row <= LoadCount() + 1 && row < GetRowCount(); ++row) SetComboOptions(row, kColNode, options);
}

void LoadGrid::BuildContextMenu() {
  ClearMenuItems();
  if (LoadCount() == 0) return;
  AddMenuItem(1, 0, LoadCount(), kCols - 1, Tr("Last löschen"), kCmdDelete);
  AddMenuItem(1, 0, LoadCount(), kCols - 1, Tr("Last kopieren"), kCmdCopy);
  if (!importTarget) return;
  // Only the number cells can take a value over.
  AddMenuItem(1, kColOffset, LoadCount(), kColEz, "", 0, MF_SEPARATOR);
  AddMenuItem(1, kColValue0, LoadCount(), kCols - 1, "", 0, MF_SEPARATOR);
  AddMenuItem(1, kColOffset, LoadCount(), kColEz, Tr("Lastübernahme"), kCmdImport);
  AddMenuItem(1, kColValue0, LoadCount(), kCols - 1, Tr("Lastübernahme"), kCmdImport);
}

// ---- storing ------------------------------------------------------------------------------------------------------

BOOL LoadGrid::StoreCell(int row, int col) {
  const int index = row - 1;
  if (index < 0 || index >= LoadCount() || col < 1 || col >= kCols) return FALSE;
  Load& load = loads[index];
  BOOL changed = FALSE;
  auto storeInt = [&changed](int& target, int value) {
    changed |= target != value;
    target = value;
  };
  switch (col) {
    case kColAction: storeInt(load.lc, numericActions ? GetCellInt(row, col) : GetComboIndex(row, col) + 1); break;
    case kColCases: {
      const CString text = GetItemText(row, col);
      changed = text != load.LCGen.text;
      load.LCGen.text = text;
      load.LCGen.Parse();
      break;
    }
    case kColText: {
      const CString text = GetItemText(row, col);
      changed = text != load.desc;
      load.desc = text;
      break;
    }
    case kColType: {
      // A type the combo does not offer (nothing chosen) keeps the previous one.
      const int type = ComboToType(GetComboIndex(row, col));
      if (type < 0) break;
      if (type != load.ltype && type == 11) load.val0 = selfWeightDefault;
      storeInt(load.ltype, type);
      break;
    }
    case kColNode: {
      // Drawings index by node as well: without a choice the previous node stays.
      const int node = GetComboIndex(row, col);
      if (node >= 0) storeInt(load.node, node);
      break;
    }
    case kColDirection: {
      // Titles and drawings index by direction: without a choice the previous direction stays.
      const int direction = ComboToDirection(GetComboIndex(row, col));
      if (direction >= 0) storeInt(load.direction, direction);
      break;
    }
    default: {
      if (!IsFormulaColumn(col)) break;
      CFormulaNumber& target = ValueOf(load, col);
      const CFormulaNumber value = GetCellFormula(row, col);
      CFormulaNumber probe = value;
      probe.m_pStore = target.m_pStore ? target.m_pStore : probe.m_pStore;
      // An expression counts as changed when its text does; a number when it moves by a ten-thousandth or more.
      const bool expression = !probe.m_bNumber || !target.m_bNumber;
      changed = std::fabs(probe.GetValue() - target.GetValue()) >= 0.0001 ||
                (expression && probe.GetText() != target.GetText());
      CVariableStore* store = target.m_pStore;
      target = value;
      if (store) target.m_pStore = store;
      break;
    }
  }
  if (changed) LoadsChanged();
  return changed;
}

void LoadGrid::LoadsChanged() {
  // A paste tells the owner once: storing and drawing every load for each pasted line would cost the square of
  // the lines.
  if (!PutOffWhilePasting()) OnLoadsChanged();
}

void LoadGrid::OnPasted() { OnLoadsChanged(); }

void LoadGrid::UpdateGrid(BOOL focusCellOnly) {
  if (focusCellOnly) {
    int row = -1, col = -1;
    if (GetFocusCell(&row, &col)) {
      StoreCell(row, col);
      if (row >= 1 && row < GetRowCount() && col >= 0 && col < kCols) CGridCtrl::SetFocusCell(row, col);
    }
    BuildContextMenu();
    return;
  }
  SetRowCount(LoadCount() + 2);
  for (int row = 1; row <= LoadCount() + 1; ++row) {
    InitRowCells(row);
    FillRow(row);
  }
  InitRow(LoadCount() + 1);
  BuildContextMenu();
  Invalidate();
}

// ---- engineer's actions -------------------------------------------------------------------------------------------

void LoadGrid::OnCellChanged(int row, int col, int type) {
  const int entryRow = LoadCount() + 1;
  if (row == entryRow && col >= 1 && col < kCols) {
    bool entered = false;
    const CString text = GetItemText(row, col);
    int comboIndex = -1;
    CFormulaNumber formula;
    if (col == kColAction && numericActions)
      entered = GetCellInt(row, col) != 0;
    else if (type == ORMI_COMBO_INDEX || type == ORMI_COMBO)
      entered = (comboIndex = GetComboIndex(row, col)) >= 0;
    else if (type == ORMI_FORMULA) {
      formula = GetCellFormula(row, col);
      entered = !formula.m_bNumber || formula.GetValue() != 0.0;
    } else
      entered = !text.IsEmpty();
    if (const CString refused = entered ? RefusedNewLoad(Load()) : CString(); !refused.IsEmpty()) {
      FillRow(row);
      Invalidate();
      Refuse(refused);
      return;
    }
    if (entered) {
      SetLoadCount(LoadCount() + 1);
      InitRowCells(row);
      FillRow(row);
      if (type == ORMI_FORMULA)
        SetCellFormula(row, col, formula);
      else if (type == ORMI_COMBO_INDEX || type == ORMI_COMBO)
        SetComboIndex(row, col, comboIndex);
      else
        SetItemText(row, col, text);
      if (!StoreCell(row, col)) LoadsChanged();
      // The row shows the new load as stored (a type or direction changes its cells).
      InitRowCells(row);
      FillRow(row);
      InitRow(row + 1);
      FillRow(row + 1);
      SetColumnTitles(row - 1);
      Invalidate();
    }
    return;
  }
  StoreCell(row, col);
  // An emptied value holds 0, which counts (a force of 0 is no force): the cell shows it.
  if (type == ORMI_FORMULA && row >= 1 && row <= LoadCount()) ShowHeldZero(row, col);
  BuildContextMenu();
}

BOOL LoadGrid::PasteMakesRow(int col, const CString& text) {
  return col >= 1 && col < kCols && PastedValueCounts(LoadCount() + 1, col, text);
}

int LoadGrid::RoomForRows(int wanted, CString& why) {
  // Asked as the entry row asks for each load it makes, with the loads made before it.
  const std::size_t held = loads.size();
  int room = 0;
  while (room < wanted && (why = RefusedNewLoad(Load())).IsEmpty()) {
    loads.emplace_back();
    ++room;
  }
  loads.resize(held);
  return room;
}

CString LoadGrid::NewRowsName(int count) const { return CountedName(count, Tr("%d neue Last"), Tr("%d neue Lasten")); }

void LoadGrid::OnCellComboSelect(int row, int col, int item) {
  if (row < 1 || row > LoadCount()) return;
  StoreCell(row, col);
  InitRowCells(row);
  FillRow(row);
  SetColumnTitles(row - 1);
  Invalidate();
}

void LoadGrid::OnFocusCellChanged(int row, int col) {
  COrmiGridCtrl::OnFocusCellChanged(row, col);
  if (row < 1 || row > LoadCount()) return;
  SetColumnTitles(row - 1);
  MarkRow(row);
}

void LoadGrid::OnCellContextMenu(int row, int col, int command) {
  const int index = row - 1;
  if (index < 0 || index >= LoadCount()) return;
  CGridCtrl::SetFocusCell(row, col);
  if (command == kCmdCopy) {
    if (const CString refused = RefusedNewLoad(loads[std::size_t(index)]); !refused.IsEmpty()) {
      AfxMessageBox(refused, MB_ICONEXCLAMATION);
      return;
    }
  }
  if (command == kCmdDelete)
    loads.erase(loads.begin() + index);
  else if (command == kCmdCopy)
    loads.insert(loads.begin() + index + 1, Load(loads[std::size_t(index)]));
  else if (command == kCmdImport) {
    ImportValue(row, col);
    return;
  } else
    return;
  // The rows show the grid's own loads; a derived grid's refill from its data would undo the change.
  LoadGrid::UpdateGrid(FALSE);
  OnLoadsChanged();
}

void LoadGrid::ImportValue(int row, int col) {
  if (!importTarget || !IsFormulaColumn(col)) return;
  DlgSimpleImportVal dialog(GetParent());
  if (dialog.DoModal() != IDOK) return;
  UpdateGrid(TRUE);
  dialog.AddToVarDefs(*importTarget);
  CFormulaNumber value = GetCellFormula(row, col);
  value = static_cast<LPCTSTR>(dialog.m_chosen.varName);
  SetCellFormula(row, col, value);
  CGridCtrl::SetFocusCell(row, col);
  StoreCell(row, col);
  CGridCtrl::SetFocusCell(row, col);
  OnValueImported();
}
