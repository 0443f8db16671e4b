// CFormulaNumber: the number type of every data class. The engineer enters a plain number or an expression
// over named variables; an expression is kept as text and evaluated against its variable store on every read.
#pragma once

#include "formula/varstore.h"
#include "platform/win/afx.h"

class CFormulaNumber {
 public:
  CFormulaNumber();
  CFormulaNumber(const double& value);
  CFormulaNumber(const CFormulaNumber& other);
  virtual ~CFormulaNumber() = default;

  // Plain 0.0 with empty text; the store stays.
  void Reset();
  CFormulaNumber& operator=(const CFormulaNumber& other);
  CFormulaNumber& operator=(double value);
  CFormulaNumber& operator=(int value);
  // User input: ',' reads as '.'; a text that is one number gives a plain number, any other text an
  // expression, whatever it evaluates to (one that fails keeps 0 until it evaluates).
  CFormulaNumber& operator=(const char* text);

  // The value; an expression with a store is evaluated first (a failure, or a name read that has no value or whose
  // definition failed, keeps the last good value, and the store says why).
  double GetValue();
  // Why an expression has no value, as its cell says it: it reads a name whose definition failed ("'a' hat keinen
  // Wert: a = 1/0: Division durch Null."), a name defined nowhere ("'b' nicht definiert"), or fails itself. Empty
  // for a plain number and for an expression with a value. Evaluates it (GetValue).
  CString WhyNoValue();
  // An expression's text; for a plain number its value formatted with "%lg" (kept in the text field).
  const CString& GetText();

  double operator+(const CFormulaNumber& other);
  double operator-(const CFormulaNumber& other);
  double operator+(double d);
  double operator-(double d);
  double operator*(double d);
  double operator/(double d);
  // Becomes the plain number value times d (an expression is given up).
  CFormulaNumber& operator*=(double d);
  bool operator!=(double d);
  bool operator<(double d);
  bool operator>(double d);
  bool operator>=(double d);
  bool operator<(int i);
  // This value, evaluated, against the other's cached value (the other is not evaluated).
  bool operator<(const CFormulaNumber& other);
  bool operator>(const CFormulaNumber& other);
  bool operator<=(const CFormulaNumber& other);
  bool operator>=(const CFormulaNumber& other);

  // The XML form under element `parent`: attribute `name` holds the value; an expression also has one child
  // element `name` whose attribute "exp" holds its text.
  void ReadXML(int parent, const char* name);
  void WriteXML(int parent, const char* name);

  BOOL m_bNumber = TRUE;               // TRUE: plain number (the text is not used); FALSE: expression
  CString m_strText;                   // the expression; for a plain number empty or its last formatted form
  double m_dValue = 0.0;               // the number, or the expression's last good value
  CVariableStore* m_pStore = nullptr;  // not owned; the store an expression is evaluated against
};

// A default formula number (global store) read from the XML form.
CFormulaNumber GetXmlFormulaNumber(int parent, const char* name);
// Writes the number in the XML form (an expression's text gets '.' for ',').
void SetXmlFormulaNumber(int parent, const char* name, CFormulaNumber& number);

// A number written as text in a file: blanks around it, a sign, a decimal point or comma, an exponent, and
// nothing else; it must be finite. ("4,5" is 4.5; "abc", "35cm", "" and "1.000,5" are no numbers.)
bool ReadDecimalText(const char* text, double& value);
// A whole number in the range of int written as text in a file, blanks around it allowed.
bool ReadIntegerText(const char* text, int& value);
// The attribute as a decimal number, a decimal comma read as a point. Text that is no number reads as the XML
// library reads it (its leading number, else 0): the column's input check refuses it before a calculation.
double GetXmlDecimal(int element, const char* name);
