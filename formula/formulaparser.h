// The expression language: a tokenizer and a recursive-descent evaluator over doubles that computes while it
// reads (no tree). One parser serves one evaluation of one text.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Token kinds. One-character operators use their character code.
enum FormulaToken : int {
  FT_NONE = 0,
  FT_NAME = 1,
  FT_NUMBER = 2,
  FT_END = 3,
  FT_LE = 63,
  FT_GE = 64,
  FT_EQ = 65,
  FT_NE = 66,
  FT_AND = 67,
  FT_OR = 68,
  FT_PLUS_ASSIGN = 69,
  FT_MINUS_ASSIGN = 70,
  FT_MUL_ASSIGN = 71,
  FT_DIV_ASSIGN = 72,
};

// Message codes of the language.
enum FormulaMessageCode : int {
  FMC_OVERWRITTEN = 1,  // set by the variable store
  FMC_UNEXPECTED_END = 2,
  FMC_ERROR = 4,  // a bad number; also an error raised by a function, or a bound exceeded
  FMC_BAD_CHARACTER = 8,
  FMC_UNKNOWN_FUNCTION = 16,
  FMC_UNDEFINED = 32,  // a note, not an error
  FMC_DIVISION_BY_ZERO = 64,
  FMC_UNEXPECTED_TOKEN = 128,
  FMC_TRAILING_TEXT = 256,
  FMC_EXPECTED = 512,
};

// Bounds that keep hostile text from exhausting the stack or the time of a read. The length is that of the
// text as entered (the variable store refuses longer ones); the nesting counts brackets, signs, negations,
// arguments and assignments inside each other.
constexpr std::size_t kMaxFormulaLength = 32768;
constexpr int kMaxFormulaNesting = 200;

// Names and values of variables, as a parser reads them.
using FormulaSymbolTable = std::unordered_map<std::string, double>;
// Names whose definition failed, each with why: they keep the value they were given, which is none to count with.
using FormulaFailureTable = std::unordered_map<std::string, std::string>;

// Throws the runtime error for a text longer than kMaxFormulaLength (the caller records it as code 4).
void CheckFormulaLength(std::string_view text);

// The message of a name that has no value ("'a' nicht definiert").
std::string UndefinedNameText(std::string_view name);

// Converts a number word as a standard stream extraction of a double would: true only when the whole word
// is consumed without failure (an underflow gives 0 or a denormal, an overflow fails).
bool ConvertNumberWord(std::string_view word, double& value);

class CFormulaParser {
 public:
  explicit CFormulaParser(std::string text);

  // Evaluates the whole text. Errors record their German message with its code and throw std::runtime_error
  // carrying the English text; the functions of the language throw their own texts without a record.
  double Evaluate();
  // Reads the next token. With ignoreSign false a '+' or '-' directly before a digit starts a number.
  void GetToken(bool ignoreSign);

  std::string m_strFormula;
  // The text as typed, before PrepareFormula, and for each byte of m_strFormula (and its end) the byte of the typed
  // text it came from: a message quotes what was typed ("Pos. 12"), not the rewritten text ("Pos0. 12"). Empty: the
  // formula is quoted as it stands.
  std::string m_strTyped;
  std::vector<std::size_t> m_TypedAt;
  std::size_t m_nCursor = 0;      // next character to read
  std::size_t m_nTokenStart = 0;  // first character of the current token
  int m_nTokenType = FT_NONE;
  std::string m_strToken;
  double m_dNumber = 0.0;
  std::vector<std::string> m_Messages;  // German texts, in order
  std::vector<int> m_Codes;             // the code of each message
  // The evaluation's own variables; assignments and undefined names land here.
  std::map<std::string, double, std::less<>> m_Symbols;
  // Variables the caller shares read-only (the store's resolved chain); consulted after m_Symbols.
  const FormulaSymbolTable* m_pSharedSymbols = nullptr;
  // The names read while they had no value (each once, in order): read as 0. A name assigned before it is read
  // (a helper "a=2; a*3") is not among them, although its first assignment notes code 32 as well.
  std::vector<std::string> m_UndefinedReads;
  // Shared names whose definition failed (null: none failed), and those of them read (each once, in order). A name
  // here that no shared variable has is one defined further on whose definition failed: read as 0, as failed.
  const FormulaFailureTable* m_pFailedSymbols = nullptr;
  std::vector<std::string> m_FailedReads;

 private:
  double StatementList(bool get);
  double Logical(bool get);
  double Comparison(bool get);
  double Additive(bool get);
  double Term(bool get);
  double Power(bool get);
  double Primary(bool get);
  double FunctionCall(const std::string& name);
  double Variable(const std::string& name);

  // The typed text behind the formula's bytes from .. to (to past the end: the rest).
  std::string Typed(std::size_t from, std::size_t to) const;
  [[noreturn]] void Fail(int code, const std::string& german, const std::string& english);
  [[noreturn]] void FailCharacter(std::size_t at);
  void Note(int code, const std::string& german);

  int m_nDepth = 0;
  // Names entered without a value (read undefined, or on the way into their first assignment) that no
  // assignment has given one yet.
  std::set<std::string, std::less<>> m_Unassigned;
};
