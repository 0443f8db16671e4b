// One load on the member system of a position, with its load case, the load cases it is generated into, its
// type, node, direction, position and up to six values. Persisted as one element whose name is the caller's.
#pragma once

#include "formula/formulanumber.h"
#include "platform/win/afx.h"

// A list of load-case numbers in its two forms: the text ("1,2,5"), which is stored and edited, and the numbers.
class CLoadCaseList {
 public:
  CLoadCaseList& operator=(const CLoadCaseList& other) = default;

  // The text from the numbers: "%ld", then ",%ld" for each further number.
  void Format();
  // The numbers from the text: each piece up to a ',' read as a decimal integer (no digits give 0).
  void Parse();

  CString text;
  CArray<int, int> numbers;
};

class Load {
 public:
  Load();
  Load(const Load& other);
  virtual ~Load() = default;
  Load& operator=(const Load& other);

  // Every formula value is evaluated against this store from now on.
  void SetVariableStore(CVariableStore* store);

  // The translated name of load type i (0-13) / direction i (0-2); empty outside the table.
  static CString GetLoadTypeText(int i);
  static CString GetDirectionText(int i);
  static constexpr int kLoadTypeCount = 14;
  static constexpr int kDirectionCount = 3;

  void ReadData(int element);
  void WriteData(int element);

  int lc = 0;
  int ltype = 0;
  int node = 0;
  int direction = 0;
  int bHasDirection = 0;
  CFormulaNumber offset;
  CFormulaNumber length;
  CFormulaNumber ey;
  CFormulaNumber ez;
  CFormulaNumber val0;
  CFormulaNumber val1;
  CFormulaNumber val2;
  CFormulaNumber val3;
  CFormulaNumber val4;
  CFormulaNumber val5;
  CLoadCaseList LCGen;
  CString desc;

 private:
  // The ten formula values with their attribute names, in stored order.
  template <class Fn>
  void ForEachValue(Fn fn);
  // Every stored attribute, in stored order, for reading and writing alike.
  template <class V>
  void Fields(const V& v);
};
