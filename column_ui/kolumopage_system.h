// The system page of the column's input dialog: the fields with their lengths and cross-sections, the supports of
// the construction stage shown, the grades, and the foundation restraint at the column foot.
#pragma once

#include <algorithm>
#include <vector>

#include "column/kolumodata.h"
#include "column_ui/materialgrid.h"
#include "framework_ui/stabsysgrid.h"
#include "platform/win/afx.h"

class CKolumoSysGrid : public StabSysGrid {
 public:
  CKolumoSysGrid();

  void Layout() override;
  void OnCellContextMenu(int row, int col, int command) override;
  void OnFieldsChanged() override;
  void OnSectionButton(int row) override;
  // A length the calculation's input check refuses, with the check's message.
  CString RefusedFormula(int row, int col, const CFormulaNumber& typed) override;
  int RoomForRows(int wanted, CString& why) override;
  // New fields take a copy of the last cross-section.
  void SetFieldCount(int n) override;
  // FALSE: the data's fields and the current stage's supports into the rows; TRUE: the rows into the data (the
  // foot rigid vertically, every other support free, the foundation restraint dropped under a foot spring).
  void ExchangeData(BOOL toData);

  CKolumoData* m_pData = nullptr;
  const int* m_pStage = nullptr;
  std::vector<CKolumoQuer> querschnitte;

 private:
  // The refusal of a field beyond those a position holds, after `added` new ones.
  CString TooManyFields(int added = 0) const;
};

class CKolumoSysDlg : public CDialog {
 public:
  enum { IDD = 26002 };
  static constexpr UINT kIdGrid = 26003, kIdMateGrid = 26006, kIdFundament = 26065;

  CKolumoSysDlg() : CDialog(IDD) {}
  BOOL OnInitDialog() override;
  void ExchangeData(BOOL toData);
  void SetData(CKolumoData* data, const int* stage);

  CKolumoSysGrid m_grid;
  CKolumoSysMateGrid m_mateGrid;
  CKolumoData* m_pData = nullptr;

 protected:
  void OnFundament();
  void OnSize(UINT type, int cx, int cy);
  DECLARE_MESSAGE_MAP()
};
