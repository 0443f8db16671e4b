#include "framework_ui/stabsysgrid.h"

#include <cmath>

#include "framework_ui/springdlg.h"
#include "platform/tolkar/tolkar.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "StabSysGrid", text)); }

bool Differs(double a, double b) { return std::fabs(a - b) >= 0.0001; }

// A spring value that is neither rigid (-1) nor free (0).
bool IsStiffness(double value) { return value != 0.0 && value != -1.0; }

}  // namespace

StabSysGrid::StabSysGrid() {
  m_bHeaderEnabled = TRUE;
  m_bRowMarking = TRUE;
  for (const char* name : {"Mauerwerk", "Beton direkt", "Beton indirekt"}) kindNames.Add(Tr(name));
  SetFieldCount(0);
}

CFormulaNumber& StabSysGrid::Spring(CSupport& support, int index) {
  CFormulaNumber* values[] = {&support.cx,  &support.cy,  &support.cz,    &support.cmx,
                              &support.cmy, &support.cmz, &support.cwoelb};
  return *values[index];
}

CString StabSysGrid::SpringTip(int col, double value) {
  if (col < kColCx || col > kColCx + 5 || !IsStiffness(value)) return CString();
  CString text;
  text.Format(col < kColCx + 3 ? "%.4e kN/m" : "%.4e kNm/rad", value);
  return text;
}

void StabSysGrid::SetFieldCount(int n) {
  if (n < 0) n = 0;
  const int oldSupports = int(supports.size());
  lengths.resize(std::size_t(n));
  sectionTexts.resize(std::size_t(n));
  divisions.resize(std::size_t(n), 0);
  bucklingFields.resize(std::size_t(n), 1);
  beddings.resize(std::size_t(n));
  supports.resize(std::size_t(n + 1));
  widths.resize(std::size_t(n + 1));
  supportKinds.resize(std::size_t(n + 1), 0);
  // A new support takes what its row shows (the boxes copy those of the row before).
  const bool laidOut = m_bInitialised && GetSafeHwnd();
  for (int k = oldSupports; k <= n; ++k) {
    const int row = k + 1;
    if (!laidOut || row >= GetRowCount()) continue;
    for (int s = 0; s < CSupport::kSpringCount; ++s)
      Spring(supports[k], s) = GetCellCheck(row, kColCx + s) ? -1.0 : 0.0;
    widths[std::size_t(k)] = GetCellFormula(row, kColWidth);
    supportKinds[std::size_t(k)] = std::max(0, GetComboIndex(row, kColKind));
  }
  nFields = n;
}

void StabSysGrid::Layout() {
  Init(2, kCols, 1, fixedColumns);
  static const int kWidths[kCols] = {5, 5, 10, 10, 10, 10, 6, 6, 10, 4, 4, 4, 4, 4, 4, 4, 10, 10, 12};
  static const char* const kTitles[kCols] = {
      "",         "Feld",        "Länge",   "Summe", "Querschnitt", "Querschnittsinfo",
      "Stabtlg.", "Beulfelder.", "Bettung", "Cx",    "Cy",          "Cz",
      "CMx",      "CMy",         "CMz",     "CWölb", "Federwerte",  "Breite",
      "Art"};
  for (int c = 0; c < kCols; ++c) {
    SetColumnWidthPercent(c, kWidths[c]);
    SetItemText(0, c, Tr(kTitles[c]));
  }
  SetColumnCaption(0, Tr("Felddefinitionen"));
  SetColumnCaption(kColCx, Tr("Auflagerdefinitionen"));
  for (int c : {kColSection, kColSectionInfo, kColDivision, kColBuckling, kColCw}) SetColumnVisible(c, FALSE, FALSE);
  UpdateGrid(FALSE);
}

void StabSysGrid::InitRow(int row) {
  if (row < 1 || row >= GetRowCount()) return;
  SetCellType(row, kColField, fixedColumns >= 2 ? ORMI_TEXT : ORMI_INT);
  SetCellType(row, kColLength, ORMI_FORMULA);
  SetNumberFormat(row, kColLength, "%lf", "%.2lf m", 1.0);
  SetCellType(row, kColSum, ORMI_DOUBLE);
  SetNumberFormat(row, kColSum, "%lf", "%.2lf m", 1.0);
  SetCellType(row, kColSection, ORMI_BUTTON);
  SetCellType(row, kColSectionInfo, ORMI_TEXT);
  SetCellType(row, kColDivision, ORMI_INT);
  SetCellType(row, kColBuckling, ORMI_INT);
  SetCellType(row, kColBedding, ORMI_FORMULA);
  SetNumberFormat(row, kColBedding, "%lf", "%.2lf kN/m³", 1.0);
  for (int c = kColCx; c <= kColCw; ++c) {
    SetCellType(row, c, ORMI_CHECK);
    SetCellReadOnly(row, c, FALSE);
  }
  SetCellType(row, kColSprings, ORMI_BUTTON);
  SetCellType(row, kColWidth, ORMI_FORMULA);
  SetNumberFormat(row, kColWidth, "%lf", "%.1lf cm", 1.0);
  SetCellType(row, kColKind, ORMI_COMBO_INDEX);
  SetComboOptions(row, kColKind, kindNames);
  for (int c : {kColLength, kColSum, kColDivision, kColBuckling}) SetCellAlignment(row, c, 1);
  if (row == 1) {
    for (int c : {kColField, kColLength, kColSum, kColBedding}) EnableCell(row, c, FALSE);
    if (!bSectionButton) EnableCell(row, kColSection, FALSE);
  } else {
    if (fixedColumns >= 2) {
      CString number;
      number.Format("%d", row - 1);
      SetCenteredText(row, kColField, number);
    } else {
      SetCellInt(row, kColField, row - 1);
    }
    SetCellReadOnly(row, kColField, TRUE);
    SetCellReadOnly(row, kColSum, TRUE);
    // A new support starts with the conditions of the one before.
    for (int c = kColCx; c <= kColCw; ++c) SetCellCheck(row, c, GetCellCheck(row - 1, c));
  }
  SetButtonText(row, kColSection, Tr("Querschnitt"));
  SetButtonText(row, kColSprings, Tr("Federwerte"));
  SetCellReadOnly(row, kColSectionInfo, TRUE);
  BuildContextMenu();
  LayoutColumns();
}

void StabSysGrid::RefreshSpringCells(int row) {
  const int k = row - 1;
  if (k < 0 || k > nFields) return;
  bool anyStiffness = false;
  for (int s = 0; s < CSupport::kSpringCount; ++s) {
    const double value = Spring(supports[std::size_t(k)], s).GetValue();
    SetCellCheck(row, kColCx + s, value != 0.0);
    SetCellReadOnly(row, kColCx + s, IsStiffness(value));
    if (s < 6 && IsStiffness(value)) anyStiffness = true;
  }
  SetButtonText(row, kColSprings, anyStiffness ? Tr("-> Federwerte <-") : Tr("Federwerte"));
}

void StabSysGrid::UpdateGrid(BOOL focusCellOnly) {
  if (focusCellOnly) {
    int row = -1, col = -1;
    if (GetFocusCell(&row, &col)) StoreCell(row, col);
    BuildContextMenu();
    return;
  }
  SetRowCount(nFields + 2);
  double sum = 0.0;
  // Why the sums from here down cannot be formed: a length above has no value, and the one it kept counts for nothing.
  CString noSum;
  for (int row = 1; row <= nFields + 1; ++row) {
    InitRow(row);
    const int k = row - 1;
    if (row >= 2) {
      const int f = row - 2;
      CFormulaNumber& length = lengths[std::size_t(f)];
      sum += length.GetValue();
      if (noSum.IsEmpty() && !length.m_bNumber && length.m_pStore) noSum = length.m_pStore->LastFailure();
      SetCellFormula(row, kColLength, length);
      if (noSum.IsEmpty())
        SetCellDouble(row, kColSum, sum);
      else
        SetItemText(row, kColSum, noSum);
      SetItemText(row, kColSectionInfo, sectionTexts[std::size_t(f)]);
      SetCellInt(row, kColDivision, divisions[std::size_t(f)]);
      SetCellInt(row, kColBuckling, bucklingFields[std::size_t(f)]);
      SetCellFormula(row, kColBedding, beddings[std::size_t(f)]);
    }
    SetCellFormula(row, kColWidth, widths[std::size_t(k)]);
    SetComboIndex(row, kColKind, supportKinds[std::size_t(k)]);
    RefreshSpringCells(row);
  }
  SetRowCount(nFields + 3);
  InitRow(nFields + 2);
  BuildContextMenu();
  Invalidate();
}

void StabSysGrid::BuildContextMenu() {
  ClearMenuItems();
  if (nFields == 0) return;
  AddMenuItem(2, 0, nFields + 1, kCols - 1, Tr("Feld löschen"), kCmdDelete);
  AddMenuItem(2, 0, nFields + 1, kCols - 1, Tr("Feld kopieren"), kCmdCopy);
}

BOOL StabSysGrid::StoreCell(int row, int col) {
  if (row < 1 || row > nFields + 1) return FALSE;
  const int f = row - 2, k = row - 1;
  BOOL changed = FALSE;
  bool rebuild = false;
  if ((col == kColLength || col == kColBedding) && f >= 0) {
    CFormulaNumber& target = col == kColLength ? lengths[std::size_t(f)] : beddings[std::size_t(f)];
    CFormulaNumber value = GetCellFormula(row, col);
    changed = Differs(value.GetValue(), target.GetValue());
    target = value;
    rebuild = col == kColLength;
  } else if ((col == kColDivision || col == kColBuckling) && f >= 0) {
    int& target = col == kColDivision ? divisions[std::size_t(f)] : bucklingFields[std::size_t(f)];
    const int value = GetCellInt(row, col);
    changed = value != target;
    target = value;
  } else if (col >= kColCx && col <= kColCw) {
    CFormulaNumber& target = Spring(supports[std::size_t(k)], col - kColCx);
    const int checked = GetCellCheck(row, col);
    changed = (checked != 0) != (target.GetValue() != 0.0);
    target = checked ? -1.0 : 0.0;
    // The entry row shows the conditions its new support will start with: those of the last support.
    if (row == GetRowCount() - 2) SetCellCheck(row + 1, col, checked);
  } else if (col == kColWidth) {
    CFormulaNumber value = GetCellFormula(row, col);
    changed = Differs(value.GetValue(), widths[std::size_t(k)].GetValue());
    widths[std::size_t(k)] = value;
  } else if (col == kColKind) {
    supportKinds[std::size_t(k)] = std::max(0, GetComboIndex(row, col));
    BuildContextMenu();
    return FALSE;
  } else {
    BuildContextMenu();
    return FALSE;
  }
  // Once for the whole paste, in OnPasted: rebuilding the rows and telling the owner for each line would cost the
  // square of the lines.
  if ((rebuild || changed) && PutOffWhilePasting()) {
    if (changed) OnCellStored(row, col);
    return changed;
  }
  if (rebuild) UpdateGrid(FALSE);
  BuildContextMenu();
  if (changed) {
    OnFieldsChanged();
    OnCellStored(row, col);
  }
  return changed;
}

void StabSysGrid::OnPasted() {
  UpdateGrid(FALSE);
  OnFieldsChanged();
}

void StabSysGrid::OnCellChanged(int row, int col, int type) {
  const int entryRow = GetRowCount() - 1;
  if (row == entryRow && col == kColLength) {
    const CFormulaNumber typed = GetCellFormula(row, col);
    CFormulaNumber probe = typed;
    if (probe.GetValue() != 0.0) {
      AddRow();
      InitRow(row + 1);
      SetFieldCount(nFields + 1);
      SetCellFormula(row, col, typed);
      StoreCell(row, col);
      OnFieldAdded(row);
      return;
    }
  } else if (IsTyped() && row == entryRow - 1 && row >= 2 && col == kColLength &&
             IsZeroLength(GetCellFormula(row, col)) && nFields >= 2) {
    // Only a typed 0 removes the field: a cut, a paste or a drop never takes a field with its section and support.
    RemoveLastRow();
    SetFieldCount(nFields - 1);
    UpdateGrid(FALSE);
    OnFieldsChanged();
    return;
  }
  StoreCell(row, col);
}

CString StabSysGrid::RefusedFormula(int row, int col, const CFormulaNumber& typed) {
  // A field's length of 0 comes only typed (where it removes the last field): a cut, a paste or a drop that
  // brings one would leave a field without length.
  const int f = row - 2;
  if (col != kColLength || IsTyped() || f < 0 || f >= nFields) return CString();
  CFormulaNumber length = typed;
  if (length.GetValue() != 0.0) return CString();
  CString text;
  text.Format(Tr("Feld %d: Eine Länge von 0 m ist keine Feldlänge.").GetString(), f + 1);
  return text;
}

BOOL StabSysGrid::PasteMakesRow(int col, const CString& text) {
  return col == kColLength && PastedValueCounts(GetRowCount() - 1, col, text);
}

CString StabSysGrid::NewRowsName(int count) const {
  return CountedName(count, Tr("%d neues Feld"), Tr("%d neue Felder"));
}

void StabSysGrid::OnCellCheck(int row, int col) { StoreCell(row, col); }

void StabSysGrid::OnCellContextMenu(int row, int col, int command) {
  const int f = row - 2;
  if (f < 0 || f >= nFields) return;
  const auto at = [f](auto& v, int offset) { return v.begin() + f + offset; };
  if (command == kCmdDelete) {
    lengths.erase(at(lengths, 0));
    sectionTexts.erase(at(sectionTexts, 0));
    divisions.erase(at(divisions, 0));
    bucklingFields.erase(at(bucklingFields, 0));
    beddings.erase(at(beddings, 0));
    supports.erase(at(supports, 1));
    widths.erase(at(widths, 1));
    supportKinds.erase(at(supportKinds, 1));
    --nFields;
  } else if (command == kCmdCopy) {
    lengths.insert(at(lengths, 1), CFormulaNumber(lengths[std::size_t(f)]));
    sectionTexts.insert(at(sectionTexts, 1), CString(sectionTexts[std::size_t(f)]));
    divisions.insert(at(divisions, 1), divisions[std::size_t(f)]);
    bucklingFields.insert(at(bucklingFields, 1), bucklingFields[std::size_t(f)]);
    beddings.insert(at(beddings, 1), CFormulaNumber(beddings[std::size_t(f)]));
    supports.insert(at(supports, 2), CSupport(supports[std::size_t(f + 1)]));
    widths.insert(at(widths, 2), CFormulaNumber(widths[std::size_t(f + 1)]));
    supportKinds.insert(at(supportKinds, 2), supportKinds[std::size_t(f + 1)]);
    ++nFields;
  } else {
    return;
  }
  UpdateGrid(FALSE);
  OnFieldsChanged();
}

void StabSysGrid::OnButtonClick(int row, int col) {
  if (col == kColSection) {
    OnSectionButton(row);
    return;
  }
  if (col != kColSprings || row < 1 || row > nFields + 1) return;
  CSupport copy = supports[std::size_t(row - 1)];
  const BOOL endSupport = row == 1 || row == nFields + 1;
  int mask = 0;
  for (int s = 0; s < 6; ++s)
    if (IsColumnVisible(kColCx + s)) mask |= 1 << s;
  BOOL taken = FALSE;
  if (editSprings) {
    taken = editSprings(copy, endSupport, mask);
  } else {
    SpringValDlg dialog(this);
    dialog.support = copy;
    dialog.bEndSupport = endSupport;
    dialog.directionMask = mask;
    dialog.bOfferComputed = springOfferComputed;
    dialog.bOfferFixity = springOfferFixity;
    taken = dialog.DoModal() == IDOK;
    copy = dialog.support;
  }
  if (!taken) return;
  supports[std::size_t(row - 1)] = copy;
  OnFieldsChanged();
  RefreshSpringCells(row);
  UpdateGrid(FALSE);
}

CString StabSysGrid::GetTitleTipText(int row, int col) {
  if (showTip) {
    if (col == kColLength) showTip("common_stabSysGrid_fieldLength.rtf");
    if (col == kColCx + 2) showTip("common_stabSysGrid_cz.rtf");
    if (col == kColCx + 4) showTip("common_stabSysGrid_cmy.rtf");
  }
  if (row < 1 || row > nFields + 1 || col < kColCx || col > kColCx + 5) return CString();
  return SpringTip(col, Spring(supports[std::size_t(row - 1)], col - kColCx).GetValue());
}
