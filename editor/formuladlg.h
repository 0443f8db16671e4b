// The formula overview (every formula of the document; its variables marked as exported values or input values
// with a description and a unit) and the dialog that asks for the input values.
#pragma once

#include <vector>

#include "controls/OrmiGridCtrl.h"
#include "controls/OrmiParamGrid.h"
#include "document/subdata.h"

inline constexpr UINT IDD_SKRIB_FORMULAS = 11505, IDD_SKRIB_INPUT_VALUES = 11622;
inline constexpr int IDC_FORMULA_GRID = 11556, IDC_INPUT_GRID = 11622;

class FormulaGrid : public COrmiGridCtrl {
 public:
  enum Column { kDesc, kVariable, kFormula, kResult, kUnit, kExport, kInput, kColumns };

  const std::vector<SkribTextBlock>* m_pUnits = nullptr;
  std::vector<SubDataValue>* m_pExports = nullptr;
  std::vector<SubDataValue>* m_pInputs = nullptr;

  void Layout() override;
  void OnCellChanged(int row, int col, int type) override;
  // A check box toggled by mouse arrives as a click.
  void OnCellClick(int row, int col) override { OnCellChanged(row, col, ORMI_CHECK); }
  void Fill();
  // Both lists rebuilt from the rows.
  void WriteBack();

 private:
  void EnableDescription(int row);
};

class DlgFormula : public CDialog {
 public:
  explicit DlgFormula(CWnd* parent = nullptr);
  FormulaGrid m_grid;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
};

class DlgInputVal : public CDialog {
 public:
  explicit DlgInputVal(CWnd* parent = nullptr);
  std::vector<SubDataValue>* m_pInputs = nullptr;
  COrmiParamGrid m_grid;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  std::vector<CString> m_formats;
  std::vector<double> m_values;  // what the grid shows and edits; the list takes them on OK
};
