#include "formula/formulanumber.h"

#include <cctype>
#include <charconv>
#include <cmath>

#include "platform/viduv/viduv.h"

namespace {

// Reads a decimal number at the start of the text as "%lf" does (blanks skipped, the rest ignored), without
// the hexadecimal, infinite and NaN forms of this platform's scanner.
bool ScanLeadingNumber(const std::string& text, double& value) {
  std::size_t i = 0, n = text.size();
  auto digit = [&](std::size_t at) { return at < n && text[at] >= '0' && text[at] <= '9'; };
  while (i < n && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  std::size_t begin = i;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  bool mantissa = false;
  while (digit(i)) ++i, mantissa = true;
  if (i < n && text[i] == '.') {
    ++i;
    while (digit(i)) ++i, mantissa = true;
  }
  if (!mantissa) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t e = i + 1;
    if (e < n && (text[e] == '+' || text[e] == '-')) ++e;
    if (digit(e)) {
      while (digit(e)) ++e;
      i = e;
    }
  }
  return ConvertNumberWord(std::string_view(text).substr(begin, i - begin), value);
}

}  // namespace

CFormulaNumber::CFormulaNumber() : m_pStore(&GetGlobalVariableStore()) {}

CFormulaNumber::CFormulaNumber(const double& value) : m_dValue(value), m_pStore(&GetGlobalVariableStore()) {}

CFormulaNumber::CFormulaNumber(const CFormulaNumber& other) { *this = other; }

void CFormulaNumber::Reset() {
  m_bNumber = TRUE;
  m_strText.Empty();
  m_dValue = 0.0;
}

CFormulaNumber& CFormulaNumber::operator=(const CFormulaNumber& other) {
  if (this != &other) {
    m_bNumber = other.m_bNumber;
    m_strText = other.m_strText;
    m_dValue = other.m_dValue;
    m_pStore = other.m_pStore;
  }
  return *this;
}

CFormulaNumber& CFormulaNumber::operator=(double value) {
  Reset();
  m_dValue = value;
  return *this;
}

CFormulaNumber& CFormulaNumber::operator=(int value) { return *this = double(value); }

CFormulaNumber& CFormulaNumber::operator=(const char* text) {
  Reset();
  CString input(text);
  CString copy = input;
  copy.Replace(',', '.');
  double leading = 0.0;
  if (!ScanLeadingNumber(copy.str(), leading)) {
    m_bNumber = FALSE;
    m_strText = copy;
    return *this;
  }
  // Evaluated also when it is one number, so that the store's messages are those of this text.
  double value = 0.0;
  const bool evaluated = m_pStore && m_pStore->Evaluate(copy, &value) && m_pStore->ReadsHaveValues();
  double number = 0.0;
  if (ReadDecimalText(copy, number)) {
    m_dValue = number;
    return *this;
  }
  // More than one number is the engineer's formula, whatever it gives now: "620 + zuschlag" with zuschlag = 0
  // must still follow zuschlag later.
  m_bNumber = FALSE;
  m_strText = input;
  if (evaluated) m_dValue = value;
  return *this;
}

double CFormulaNumber::GetValue() {
  // A name read without a value, or with one its failed definition made up, would count 0 or that: the value
  // stays as it was, as after a failure.
  double value = 0.0;
  if (!m_bNumber && m_pStore && m_pStore->Evaluate(m_strText, &value) && m_pStore->ReadsHaveValues()) m_dValue = value;
  return m_dValue;
}

CString CFormulaNumber::WhyNoValue() {
  GetValue();
  if (m_bNumber || !m_pStore) return CString();
  const CString unread = m_pStore->NoValueReadMessage();
  return unread.IsEmpty() ? m_pStore->LastFailure() : unread;
}

const CString& CFormulaNumber::GetText() {
  if (m_bNumber) m_strText.Format("%lg", m_dValue);
  return m_strText;
}

double CFormulaNumber::operator+(const CFormulaNumber& other) {
  double own = GetValue();
  return own + CFormulaNumber(other).GetValue();
}
double CFormulaNumber::operator-(const CFormulaNumber& other) {
  double own = GetValue();
  return own - CFormulaNumber(other).GetValue();
}
double CFormulaNumber::operator+(double d) { return GetValue() + d; }
double CFormulaNumber::operator-(double d) { return GetValue() - d; }
double CFormulaNumber::operator*(double d) { return GetValue() * d; }
double CFormulaNumber::operator/(double d) { return GetValue() / d; }

CFormulaNumber& CFormulaNumber::operator*=(double d) { return *this = GetValue() * d; }

bool CFormulaNumber::operator!=(double d) { return GetValue() != d; }
bool CFormulaNumber::operator<(double d) { return GetValue() < d; }
bool CFormulaNumber::operator>(double d) { return GetValue() > d; }
bool CFormulaNumber::operator>=(double d) { return GetValue() >= d; }
bool CFormulaNumber::operator<(int i) { return GetValue() < double(i); }
bool CFormulaNumber::operator<(const CFormulaNumber& other) { return GetValue() < other.m_dValue; }
bool CFormulaNumber::operator>(const CFormulaNumber& other) { return GetValue() > other.m_dValue; }
bool CFormulaNumber::operator<=(const CFormulaNumber& other) { return GetValue() <= other.m_dValue; }
bool CFormulaNumber::operator>=(const CFormulaNumber& other) { return GetValue() >= other.m_dValue; }

void CFormulaNumber::ReadXML(int parent, const char* name) {
  m_dValue = GetXmlDecimal(parent, name);
  int child = VIDUV_FindFirstChild(parent, name);
  if (!child) {
    m_bNumber = TRUE;
    m_strText.Empty();
    return;
  }
  m_bNumber = FALSE;
  m_strText = VIDUV_GetString(child, "exp");
  m_strText.Replace(',', ';');
}

void CFormulaNumber::WriteXML(int parent, const char* name) {
  double value = GetValue();
  VIDUV_SetDouble(parent, name, value);
  while (int old = VIDUV_FindFirstChild(parent, name)) {
    if (!VIDUV_DeleteElement(old)) break;
  }
  if (m_bNumber) return;
  int child = VIDUV_AddChildElement(parent, name);
  m_strText.Replace(',', '.');
  VIDUV_SetString(child, "exp", m_strText);
}

CFormulaNumber GetXmlFormulaNumber(int parent, const char* name) {
  CFormulaNumber number;
  number.ReadXML(parent, name);
  return number;
}

void SetXmlFormulaNumber(int parent, const char* name, CFormulaNumber& number) { number.WriteXML(parent, name); }

namespace {

std::string_view Trimmed(const char* text) {
  std::string_view view = text ? text : "";
  while (!view.empty() && std::isspace(static_cast<unsigned char>(view.front()))) view.remove_prefix(1);
  while (!view.empty() && std::isspace(static_cast<unsigned char>(view.back()))) view.remove_suffix(1);
  return view;
}

}  // namespace

bool ReadDecimalText(const char* text, double& value) {
  const std::string_view view = Trimmed(text);
  std::string number;
  std::size_t i = 0;
  auto digits = [&] {
    std::size_t n = 0;
    for (; i < view.size() && view[i] >= '0' && view[i] <= '9'; ++i, ++n) number += view[i];
    return n;
  };
  if (i < view.size() && (view[i] == '+' || view[i] == '-')) {
    if (view[i] == '-') number += '-';
    ++i;
  }
  std::size_t mantissa = digits();
  if (i < view.size() && (view[i] == '.' || view[i] == ',')) {
    number += '.';
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return false;
  if (i < view.size() && (view[i] == 'e' || view[i] == 'E')) {
    number += 'e';
    ++i;
    if (i < view.size() && (view[i] == '+' || view[i] == '-')) number += view[i++];
    if (digits() == 0) return false;
  }
  if (i != view.size()) return false;
  double read = 0.0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), read);
  if (result.ec != std::errc() || result.ptr != number.data() + number.size() || !std::isfinite(read)) return false;
  value = read;
  return true;
}

bool ReadIntegerText(const char* text, int& value) {
  std::string_view view = Trimmed(text);
  if (!view.empty() && view.front() == '+') view.remove_prefix(1);
  int read = 0;
  const auto result = std::from_chars(view.data(), view.data() + view.size(), read);
  if (view.empty() || result.ec != std::errc() || result.ptr != view.data() + view.size()) return false;
  value = read;
  return true;
}

double GetXmlDecimal(int element, const char* name) {
  double value = 0.0;
  return ReadDecimalText(VIDUV_GetString(element, name), value) ? value : VIDUV_GetDouble(element, name);
}
