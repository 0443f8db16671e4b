#include "column_ui/materialgrid.h"

#include "column/calcfunc.h"
#include "designcode/designcode.h"
#include "framework/matehandler.h"
#include "platform/tolkar/tolkar.h"

namespace {

CString Tr(const char* text) {
  return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoSysMateGrid", text));
}

}  // namespace

const char* CKolumoSysMateGrid::KatalogNorm(int iNorm) {
  const designcode::DesignCode* code = designcode::ByInput(iNorm);
  return code ? code->gradeList : "";
}

void CKolumoSysMateGrid::Layout() {
  EnableHeader(TRUE);
  Init(3, 2, 0, 0);
  SetColumnWidthPercent(0, 50);
  SetColumnWidthPercent(1, 50);
  SetColumnCaption(0, Tr("Material"));
  const char* labels[] = {"Betongüte", "Stahlgüte", "Materialeditor"};
  for (int row = 0; row < 3; ++row) {
    SetCellType(row, 0, ORMI_TEXT);
    SetCellText(row, 0, Tr(labels[row]));
    SetCellReadOnly(row, 0, TRUE);
  }
  SetCellType(kRowBeton, 1, ORMI_COMBO_INDEX);
  SetCellType(kRowStahl, 1, ORMI_COMBO_INDEX);
  SetCellType(kRowEditor, 1, ORMI_BUTTON);
  LayoutColumns();
  // Init laid the caption row out before the caption existed.
  if (CGridCtrl* header = GetHeaderGrid(); header && header->GetColumnCount() > 0) {
    header->SetItemText(0, 0, Tr("Material"));
    header->Invalidate();
  }
  Fill();
}

void CKolumoSysMateGrid::ExchangeData(BOOL toData) {
  AdoptCalculatedGrades();
  if (!toData) Fill();
}

void CKolumoSysMateGrid::AdoptCalculatedGrades() {
  if (!m_pData) return;
  for (const bool concrete : {true, false}) {
    CString& stored = concrete ? m_pData->sBeton : m_pData->sStahl;
    // An empty slot of the catalogue is no grade to store.
    if (const UsedGrade used = GradeOfCalculation(m_pData->iNorm, concrete, stored);
        used.replaced && !used.name.IsEmpty())
      stored = used.name;
  }
}

void CKolumoSysMateGrid::FillRow(int row, bool concrete, const CString& stored) {
  CStringArray catalogue, options;
  GradesOfCalculation(m_pData->iNorm, concrete, catalogue);
  // The catalogue leaves the slots of unused priorities empty; they are no grades to choose.
  for (const CString& name : catalogue)
    if (!name.IsEmpty()) options.Add(name);
  SetComboOptions(row, 1, options);
  int index = 0;
  for (INT_PTR i = 0; i < options.GetSize(); ++i)
    if (options[i] == stored) index = int(i);
  SetComboIndex(row, 1, index);
}

void CKolumoSysMateGrid::Fill() {
  if (!m_pData || !GetSafeHwnd() || GetRowCount() < 3) return;
  FillRow(kRowBeton, true, m_pData->sBeton);
  FillRow(kRowStahl, false, m_pData->sStahl);
  SetButtonText(kRowEditor, 1, Tr("Materialeditor"));
  Invalidate();
}

void CKolumoSysMateGrid::OnCellComboSelect(int row, int col, int item) {
  if (!m_pData || col != 1 || (row != kRowBeton && row != kRowStahl)) return;
  CStringArray options;
  GetComboOptions(row, col, options);
  if (item < 0 || item >= options.GetSize()) return;
  (row == kRowBeton ? m_pData->sBeton : m_pData->sStahl) = options[item];
}

void CKolumoSysMateGrid::OnButtonClick(int row, int col) {
  if (!m_pData || row != kRowEditor || col != 1) return;
  if (const char* norm = KatalogNorm(m_pData->iNorm); *norm) {
    CString beton = m_pData->sBeton;
    GetMateHandler().MateEdit("Beton", "Normalbeton", norm, beton, FALSE);
  }
  // the editor may have changed the lists
  ExchangeData(FALSE);
}
