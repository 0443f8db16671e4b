// A ready-made table of named parameters: a read-only label and a typed value cell per parameter, bound to the
// caller's variables and exchanged with them in one call in either direction.
#pragma once

#include <memory>
#include <vector>

#include "controls/OrmiGridCtrl.h"

class COrmiParamGrid : public COrmiGridCtrl {
  DECLARE_DYNAMIC(COrmiParamGrid)
 public:
  enum Kind {
    kText = 0,
    kInt = 1,
    kDouble = 2,
    kCheck = 3,
    kCombo = 4,
    kComboIndex = 5,
    kButton = 6,
    kFormula = 7,
    kHeader = 8
  };

  COrmiParamGrid() = default;
  ~COrmiParamGrid() override;

  int AddHeader(LPCTSTR text);
  int AddText(LPCTSTR name, CString* variable);
  int AddInt(LPCTSTR name, int* variable);
  int AddDouble(LPCTSTR name, double* variable, LPCTSTR format, double factor);
  int AddCheck(LPCTSTR name, int* variable);
  int AddComboText(LPCTSTR name, CString* variable, const CStringArray& options);
  int AddCombo(LPCTSTR name, int* variable, const CStringArray& options);
  int AddButton(LPCTSTR name, CString* caption);
  int AddFormula(LPCTSTR name, CFormulaNumber* variable, LPCTSTR format);

  void SetHorizontal(BOOL horizontal) { m_bHorizontal = horizontal ? 1 : 0; }
  void SetCaption(LPCTSTR caption) { m_strCaption = caption; }
  void GetCellPos(int index, int& labelRow, int& labelCol, int& valueRow, int& valueCol) const;

  void Layout() override;
  // TRUE: cells to variables; FALSE: variables to cells.
  virtual BOOL ExchangeData(BOOL bSave);

 private:
  int Append(LPCTSTR label, void* variable, int kind, LPCTSTR format, double factor, const CStringArray* options);

  std::vector<CString> m_labels;
  std::vector<void*> m_variables;
  std::vector<int> m_kinds;
  std::vector<CString> m_formats;
  std::vector<double> m_factors;
  std::vector<std::unique_ptr<CStringArray>> m_options;
  int m_bHorizontal = 0;
  CString m_strCaption;
};
