// The input table of a straight member system: one row per field with the support at its far end, the first row
// holding the support at the start. Typing a length into the empty last row adds a field; a length of 0 in the
// last field removes it. Each support has seven springs: a box per direction for rigid or free, and the spring
// dialog for stiffness values.
#pragma once

#include <functional>
#include <vector>

#include "controls/OrmiGridCtrl.h"
#include "framework/module_interface.h"
#include "framework/support.h"

class StabSysGrid : public COrmiGridCtrl {
 public:
  static constexpr int kCols = 19;
  enum Column {
    kColField = 1,
    kColLength = 2,
    kColSum = 3,
    kColSection = 4,
    kColSectionInfo = 5,
    kColDivision = 6,
    kColBuckling = 7,
    kColBedding = 8,
    kColCx = 9,
    kColCw = 15,
    kColSprings = 16,
    kColWidth = 17,
    kColKind = 18,
  };
  enum Command { kCmdDelete = 1, kCmdCopy = 2 };

  StabSysGrid();

  int FieldCount() const { return nFields; }
  virtual void SetFieldCount(int n);
  virtual void UpdateGrid(BOOL focusCellOnly);
  virtual void BuildContextMenu();
  // A length that, typed into the last field, removes it: the number 0 or nothing (not an expression that gives 0).
  static bool IsZeroLength(const CFormulaNumber& length) { return length.m_bNumber && length.m_dValue == 0.0; }
  // The tip of a spring box: its stiffness with the unit of its direction; empty for a rigid or free support.
  static CString SpringTip(int col, double value);

  // ---- grid hooks
  void Layout() override;
  void InitRow(int row) override;
  void OnCellChanged(int row, int col, int type) override;
  void OnCellContextMenu(int row, int col, int command) override;
  void OnCellCheck(int row, int col) override;
  void OnButtonClick(int row, int col) override;
  CString GetTitleTipText(int row, int col) override;
  void OnPasted() override;
  CString RefusedFormula(int row, int col, const CFormulaNumber& typed) override;
  BOOL PasteMakesRow(int col, const CString& text) override;
  BOOL HasEntryRow() const override { return TRUE; }
  CString NewRowsName(int count) const override;

  // ---- hooks of derived grids
  virtual void OnFieldsChanged() {}
  virtual void OnFieldAdded(int row) {}
  virtual void OnSectionButton(int row) {}
  virtual void OnCellStored(int row, int col) {}

  int nFields = 0;
  std::vector<CFormulaNumber> lengths;
  std::vector<CFormulaNumber> widths;  // per support
  std::vector<CString> sectionTexts;
  std::vector<int> divisions;
  std::vector<int> bucklingFields;
  std::vector<CSupport> supports;
  std::vector<CFormulaNumber> beddings;
  std::vector<int> supportKinds;
  CStringArray kindNames;
  int bSectionButton = 0;
  int springOfferComputed = 1;
  int springOfferFixity = 1;
  int fixedColumns = 1;
  ShowRtfTipCallback showTip;
  // Opens the spring dialog on a copy of a support; TRUE when the engineer took it. Without it the framework's
  // spring dialog opens.
  std::function<BOOL(CSupport& support, BOOL endSupport, int mask)> editSprings;

 protected:
  BOOL StoreCell(int row, int col);
  void RefreshSpringCells(int row);
  static CFormulaNumber& Spring(CSupport& support, int index);
};
