// One list of a stored record's attributes serves writing and reading, so that the two cannot drift apart: the
// record names its fields once, in a function template over the visitor (see Load::Fields), and FieldWriter
// and FieldReader walk that list. A record given as const can only be written.
#pragma once

#include "formula/formulanumber.h"
#include "platform/viduv/viduv.h"
#include "platform/win/base/afxstr.h"

class FieldWriter {
 public:
  explicit FieldWriter(int element) : element_(element) {}
  int Element() const { return element_; }
  void Int(const char* name, int value) const { VIDUV_SetInt(element_, name, value); }
  void IntOr(const char* name, int value, int) const { Int(name, value); }
  void Flag(const char* name, bool value) const { VIDUV_SetInt(element_, name, value ? 1 : 0); }
  void NumberFlag(const char* name, bool value) const { Flag(name, value); }
  void Double(const char* name, double value) const { VIDUV_SetDouble(element_, name, value); }
  void Decimal(const char* name, double value) const { VIDUV_SetDouble(element_, name, value); }
  void String(const char* name, const CString& value) const { VIDUV_SetString(element_, name, value); }
  void Number(const char* name, CFormulaNumber& value) const { value.WriteXML(element_, name); }

 private:
  int element_;
};

class FieldReader {
 public:
  explicit FieldReader(int element) : element_(element) {}
  int Element() const { return element_; }
  void Int(const char* name, int& value) const { value = VIDUV_GetInt(element_, name); }
  // The fallback where the attribute is missing.
  void IntOr(const char* name, int& value, int fallback) const {
    value = VIDUV_GetIntWithDefault(element_, name, fallback, 1);
  }
  void Flag(const char* name, bool& value) const { value = VIDUV_GetInt(element_, name) != 0; }
  // A flag read as a number: any value but zero sets it.
  void NumberFlag(const char* name, bool& value) const { value = VIDUV_GetDouble(element_, name) != 0.0; }
  void Double(const char* name, double& value) const { value = VIDUV_GetDouble(element_, name); }
  // Also takes a decimal comma.
  void Decimal(const char* name, double& value) const { value = GetXmlDecimal(element_, name); }
  void String(const char* name, CString& value) const { value = VIDUV_GetString(element_, name); }
  void Number(const char* name, CFormulaNumber& value) const { value.ReadXML(element_, name); }

 private:
  int element_;
};
