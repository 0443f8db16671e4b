#include "formula/formulaparser.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <sstream>
#include <stdexcept>

#include "formula/parserfunctions.h"

namespace {

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }

// Length of the UTF-8 sequence starting at `at`, or 0 when the bytes there form none.
std::size_t Utf8SequenceLength(const std::string& s, std::size_t at) {
  auto b = static_cast<unsigned char>(s[at]);
  std::size_t n = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b <= 0xDF ? 2 : 0;
  if (n == 0 || at + n > s.size()) return 0;
  for (std::size_t i = 1; i < n; ++i)
    if ((static_cast<unsigned char>(s[at + i]) & 0xC0) != 0x80) return 0;
  return n;
}

}  // namespace

void CheckFormulaLength(std::string_view text) {
  if (text.size() > kMaxFormulaLength)
    throw std::runtime_error("Formel zu lang (mehr als " + std::to_string(kMaxFormulaLength) + " Zeichen)");
}

bool ConvertNumberWord(std::string_view word, double& value) {
  std::string_view digits = word;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  if (digits.empty() || digits.front() == '+') return false;
  double result = 0.0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), result);
  if (end != digits.data() + digits.size()) return false;
  if (ec == std::errc()) {
    value = result;
    return true;
  }
  if (ec != std::errc::result_out_of_range) return false;
  // Out of range: the stream decides (an underflow reads as 0, an overflow fails).
  std::istringstream in{std::string(word)};
  in >> result;
  if (in.fail() || in.peek() != std::char_traits<char>::eof()) return false;
  value = result;
  return true;
}

std::string UndefinedNameText(std::string_view name) { return "'" + std::string(name) + "' nicht definiert"; }

CFormulaParser::CFormulaParser(std::string text) : m_strFormula(std::move(text)) {}

std::string CFormulaParser::Typed(std::size_t from, std::size_t to) const {
  to = std::min(to, m_strFormula.size());
  from = std::min(from, to);
  if (m_TypedAt.size() != m_strFormula.size() + 1) return m_strFormula.substr(from, to - from);
  const std::size_t begin = std::min(m_TypedAt[from], m_strTyped.size());
  const std::size_t end = std::clamp(m_TypedAt[to], begin, m_strTyped.size());
  std::string typed = m_strTyped.substr(begin, end - begin);
  while (!typed.empty() && IsSpace(typed.back())) typed.pop_back();
  return typed;
}

void CFormulaParser::Note(int code, const std::string& german) {
  m_Messages.push_back(german);
  m_Codes.push_back(code);
}

void CFormulaParser::Fail(int code, const std::string& german, const std::string& english) {
  Note(code, german);
  throw std::runtime_error(english);
}

void CFormulaParser::FailCharacter(std::size_t at) {
  auto byte = static_cast<unsigned char>(m_strFormula[at]);
  std::size_t utf8 = byte >= 0x80 ? Utf8SequenceLength(m_strFormula, at) : 1;
  if (byte < 32 || utf8 == 0) {
    std::string code = std::to_string(int(byte));
    Fail(FMC_BAD_CHARACTER, "Unerlaubtes Zeichen (ASCII " + code + ")", "Unexpected character (decimal " + code + ")");
  }
  std::string character = m_strFormula.substr(at, utf8);
  Fail(FMC_BAD_CHARACTER, "Unerlaubtes Zeichen ('" + character + "')", "Unexpected character: " + character);
}

void CFormulaParser::GetToken(bool ignoreSign) {
  const std::string& f = m_strFormula;
  const std::size_t n = f.size();
  while (m_nCursor < n && IsSpace(f[m_nCursor])) ++m_nCursor;
  m_nTokenStart = m_nCursor;

  if (m_nCursor >= n) {
    if (m_nTokenType == FT_END)
      Fail(FMC_UNEXPECTED_END, "Unerwartetes Ende der Formel", "Unexpected end of expression.");
    m_nTokenType = FT_END;
    m_strToken = "<end of expression>";
    return;
  }

  const char c = f[m_nCursor];
  const char next = m_nCursor + 1 < n ? f[m_nCursor + 1] : '\0';
  bool signedNumber = !ignoreSign && (c == '+' || c == '-') && IsDigit(next);

  if (!signedNumber && next == '=' && std::strchr("!*+-/<=>", c)) {
    static constexpr struct {
      char c;
      int type;
    } kTwo[] = {{'!', FT_NE},         {'*', FT_MUL_ASSIGN}, {'+', FT_PLUS_ASSIGN}, {'-', FT_MINUS_ASSIGN},
                {'/', FT_DIV_ASSIGN}, {'<', FT_LE},         {'=', FT_EQ},          {'>', FT_GE}};
    for (const auto& t : kTwo)
      if (t.c == c) m_nTokenType = t.type;
    m_strToken.assign(f, m_nCursor, 2);
    m_nCursor += 2;
    return;
  }
  if (!signedNumber && std::strchr("!()*+-/;<=>^", c)) {
    m_nTokenType = static_cast<unsigned char>(c);
    m_strToken.assign(1, c);
    ++m_nCursor;
    return;
  }
  if ((c == '&' || c == '|') && next == c) {
    m_nTokenType = c == '&' ? FT_AND : FT_OR;
    m_strToken.assign(2, c);
    m_nCursor += 2;
    return;
  }
  if (IsAlpha(c)) {
    std::size_t end = m_nCursor + 1;
    while (end < n && IsNameChar(f[end])) ++end;
    m_nTokenType = FT_NAME;
    m_strToken.assign(f, m_nCursor, end - m_nCursor);
    m_nCursor = end;
    return;
  }
  if (signedNumber || IsDigit(c)) {
    std::size_t end = m_nCursor;
    if (signedNumber) ++end;
    while (end < n && (IsDigit(f[end]) || f[end] == '.')) ++end;
    if (end < n && (f[end] == 'e' || f[end] == 'E')) {
      ++end;
      if (end < n && (f[end] == '+' || f[end] == '-')) ++end;
      while (end < n && IsDigit(f[end])) ++end;
    }
    m_strToken.assign(f, m_nCursor, end - m_nCursor);
    m_nCursor = end;
    if (!ConvertNumberWord(m_strToken, m_dNumber))
      Fail(FMC_ERROR, "Fehlerhaftes Zahlenformat: '" + Typed(m_nTokenStart, m_nCursor) + "'",
           "Bad numeric literal: " + Typed(m_nTokenStart, m_nCursor));
    m_nTokenType = FT_NUMBER;
    return;
  }
  FailCharacter(m_nCursor);
}

double CFormulaParser::Evaluate() {
  double value = StatementList(true);
  if (m_nTokenType != FT_END) {
    std::string rest = Typed(m_nTokenStart, std::string::npos);
    Fail(FMC_TRAILING_TEXT, "Unerwartete Zeichen: " + rest, "Unexpected text at end of expression: " + rest);
  }
  return value;
}

double CFormulaParser::StatementList(bool get) {
  double value = Logical(get);
  while (m_nTokenType == ';') value = Logical(true);
  return value;
}

double CFormulaParser::Logical(bool get) {
  double left = Comparison(get);
  for (;;) {
    if (m_nTokenType == FT_AND) {
      double right = Comparison(true);
      left = left != 0 && right != 0 ? 1.0 : 0.0;
    } else if (m_nTokenType == FT_OR) {
      double right = Comparison(true);
      left = left == 0 && right == 0 ? 0.0 : 1.0;
    } else {
      return left;
    }
  }
}

double CFormulaParser::Comparison(bool get) {
  double left = Additive(get);
  for (;;) {
    int op = m_nTokenType;
    if (op != '<' && op != '>' && op != FT_LE && op != FT_GE && op != FT_EQ && op != FT_NE) return left;
    double right = Additive(true);
    bool holds = op == '<'     ? left < right
                 : op == '>'   ? left > right
                 : op == FT_LE ? left <= right
                 : op == FT_GE ? left >= right
                 : op == FT_EQ ? left == right
                               : left != right;
    left = holds ? 1.0 : 0.0;
  }
}

double CFormulaParser::Additive(bool get) {
  double left = Term(get);
  for (;;) {
    if (m_nTokenType == '+')
      left += Term(true);
    else if (m_nTokenType == '-')
      left -= Term(true);
    else
      return left;
  }
}

double CFormulaParser::Term(bool get) {
  double left = Power(get);
  for (;;) {
    if (m_nTokenType == '*') {
      left *= Power(true);
    } else if (m_nTokenType == '/') {
      double divisor = Power(true);
      if (divisor == 0) Fail(FMC_DIVISION_BY_ZERO, "Division durch Null.", "Divide by zero");
      left /= divisor;
    } else {
      return left;
    }
  }
}

double CFormulaParser::Power(bool get) {
  double left = Primary(get);
  while (m_nTokenType == '^') left = std::pow(left, Primary(true));
  return left;
}

double CFormulaParser::Primary(bool get) {
  // Every way into a nested expression passes here, so this bounds the depth of the recursion.
  if (m_nDepth >= kMaxFormulaNesting) Fail(FMC_ERROR, "Formel zu tief geschachtelt", "Expression nested too deeply");
  ++m_nDepth;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{m_nDepth};
  if (get) GetToken(false);
  switch (m_nTokenType) {
    case FT_NUMBER: {
      double value = m_dNumber;
      GetToken(true);
      return value;
    }
    case FT_NAME: {
      std::string name = m_strToken;
      GetToken(true);
      if (m_nTokenType == '(') return FunctionCall(name);
      return Variable(name);
    }
    case '!': return Primary(true) == 0 ? 1.0 : 0.0;
    case '(': {
      double value = StatementList(true);
      if (m_nTokenType != ')') Fail(FMC_EXPECTED, "')' erwartet.", "')' expected.");
      GetToken(false);
      return value;
    }
    case '-': return -Power(true);
    default: Fail(FMC_UNEXPECTED_TOKEN, "Unerwartetes Symbol: " + m_strToken, "Unexpected token: " + m_strToken);
  }
}

double CFormulaParser::FunctionCall(const std::string& name) {
  auto expect = [this](char c) {
    if (m_nTokenType != c)
      Fail(FMC_EXPECTED, std::string("'") + c + "' erwartet.", std::string("'") + c + "' expected.");
  };
  double result = 0.0;
  if (auto f1 = FormulaFunctions1().find(name); f1 != FormulaFunctions1().end()) {
    double a = Logical(true);
    expect(')');
    result = f1->second(a);
  } else if (auto f2 = FormulaFunctions2().find(name); f2 != FormulaFunctions2().end()) {
    double a = Logical(true);
    expect(';');
    double b = Logical(true);
    expect(')');
    result = f2->second(a, b);
  } else if (auto f3 = FormulaFunctions3().find(name); f3 != FormulaFunctions3().end()) {
    double a = Logical(true);
    expect(';');
    double b = Logical(true);
    expect(';');
    double c = Logical(true);
    expect(')');
    result = f3->second(a, b, c);
  } else {
    Fail(FMC_UNKNOWN_FUNCTION, "'" + name + "' nicht implementiert.", "Function '" + name + "' not implemented.");
  }
  GetToken(true);
  return result;
}

double CFormulaParser::Variable(const std::string& name) {
  const int op = m_nTokenType;
  const bool assigns =
      op == '=' || op == FT_PLUS_ASSIGN || op == FT_MINUS_ASSIGN || op == FT_MUL_ASSIGN || op == FT_DIV_ASSIGN;
  auto own = m_Symbols.find(name);
  if (own == m_Symbols.end()) {
    double shared = 0.0;
    bool known = false;
    if (m_pSharedSymbols) {
      if (auto it = m_pSharedSymbols->find(name); it != m_pSharedSymbols->end()) {
        shared = it->second;
        known = true;
      }
    }
    // A failed name that no variable has is defined further on, on a cycle: it has no value here, for that reason.
    if (!known && m_pFailedSymbols && m_pFailedSymbols->count(name)) known = true;
    if (!known) {
      Note(FMC_UNDEFINED, UndefinedNameText(name));
      m_Unassigned.insert(name);
    }
    if (known && op != '=' && m_pFailedSymbols && m_pFailedSymbols->count(name) &&
        std::find(m_FailedReads.begin(), m_FailedReads.end(), name) == m_FailedReads.end())
      m_FailedReads.push_back(name);
    // A plain read of a shared variable needs no copy of its own.
    if (known && !assigns) return shared;
    own = m_Symbols.emplace(name, shared).first;
  }
  // Only '=' leaves the old value unread; its right side may still read the name (a = a + 1).
  if (op != '=' && m_Unassigned.count(name) &&
      std::find(m_UndefinedReads.begin(), m_UndefinedReads.end(), name) == m_UndefinedReads.end())
    m_UndefinedReads.push_back(name);
  double& value = own->second;
  switch (op) {
    case '=': value = Logical(true); break;
    case FT_PLUS_ASSIGN: value += Logical(true); break;
    case FT_MINUS_ASSIGN: value -= Logical(true); break;
    case FT_MUL_ASSIGN: value *= Logical(true); break;
    case FT_DIV_ASSIGN: {
      double divisor = Logical(true);
      if (divisor == 0) Fail(FMC_DIVISION_BY_ZERO, "Division durch Null.", "Divide by zero");
      value /= divisor;
      break;
    }
    default: break;
  }
  if (assigns) m_Unassigned.erase(name);
  return value;
}
