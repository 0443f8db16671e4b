// Seeded fuzz of the script host: random macro texts of every statement and operator, with numbers at the ends
// of the Long and Double ranges, sometimes cut or garbled, are loaded and called. Whatever the text, the host
// answers with a result or an error that names its place; never a crash, a sanitizer report, an internal error or
// a number that is not finite. KOLUMO_FUZZ_CASES sets the number of texts: a few in the default run, many in the
// slow one (run it under the asan preset).
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <random>
#include <cstdio>
#include <string>

#include "platform/tqscript/tqscript.h"

#ifndef KOLUMO_FUZZ_CASES
#define KOLUMO_FUZZ_CASES 300
#endif

namespace {

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  std::string Program() {
    std::string text;
    if (Chance(4)) text += "Option Explicit\nDim a, b, c, i, n, t, v, d0, d1, d2\n";
    text += "Dim arr()\nReDim arr(" + std::string(From(kSmall)) + ")\n";
    text += "Function F(x)\n" + Block(2) + " F = " + Expression(3) + "\nEnd Function\n";
    text += "Function G(x, y)\n If x > 0 And x < 1000 Then G = G(x - 1, y) + y Else G = " + Expression(2) +
            "\nEnd Function\n";
    text += "Sub S(x)\n" + Block(2) + "End Sub\n";
    text += "Sub OnInitDocument(name, folder)\n" + Block(2) + "End Sub\n";
    text += "Sub Main()\n" + Block(3) + "End Sub\n";
    // Statements at the module level run when the text is loaded; one that fails refuses the whole text.
    if (Chance(3)) text += Block(1);
    return Chance(6) ? Garble(text) : text;
  }

  std::string Call() {
    switch (Pick(7)) {
      case 5:
      case 6: return "Main";
      case 0: return "F(" + Expression(2) + ")";
      case 1: return "G( " + Expression(1) + ", " + Expression(1) + ")";
      case 2: return "OnInitDocument( \"Pos 1\", \"D:\\Projekte\")";
      case 3: return "S " + Expression(2);
      default: return Expression(3);
    }
  }

 private:
  static constexpr const char* kSmall[] = {"0", "1", "3", "10"};
  std::mt19937 random_;
  std::string loops_;  // the loops around the statement being made, innermost last: 'F' For, 'D' Do
  int dims_ = 0;

  std::size_t Pick(std::size_t n) { return random_() % n; }
  bool Chance(std::size_t oneIn) { return Pick(oneIn) == 0; }
  template <std::size_t N>
  const char* From(const char* const (&items)[N]) {
    return items[Pick(N)];
  }

  std::string Number() {
    static const char* const kNumbers[] = {"0",           "1",
                                           "-1",          "2",
                                           "7",           "2147483647",
                                           "-2147483648", "2147483646",
                                           "2147483648",  "4294967295",
                                           "32767",       "32768",
                                           "-32768",      "65535",
                                           "1000000",     "999999",
                                           "46341",       "1E308",
                                           "-1E308",      "1.5",
                                           "2.5",         "0.5",
                                           "1E-300",      "&HFFFFFFFF",
                                           "&H7FFFFFFF",  "&H80000000",
                                           "&HFFFF&",     "9223372036854775807",
                                           "\"12\"",      "\"abc\"",
                                           "\"\"",        "True",
                                           "False",       "\"2147483648\"",
                                           "\"-1E308\"",  "3",
                                           "10",          "-2",
                                           "0.0001",      "1E15"};
    return From(kNumbers);
  }

  std::string Variable() {
    static const char* const kNames[] = {"a", "b", "c", "i", "n", "t", "v"};
    return From(kNames);
  }

  std::string Expression(int depth) {
    if (depth <= 0 || Chance(4)) return Chance(2) ? Number() : Variable();
    switch (Pick(9)) {
      case 0: return Number();
      case 1: return Variable();
      case 2: return "arr(" + Expression(depth - 1) + ")";
      case 3: return "(" + Expression(depth - 1) + ")";
      case 4: {
        static const char* const kUnary[] = {"-", "Not ", "+"};
        return std::string("(") + From(kUnary) + Expression(depth - 1) + ")";
      }
      case 5:
      case 6: {
        static const char* const kBinary[] = {" + ",  " - ", " * ",  " / ",   " \\ ", " Mod ", " ^ ",   " & ",  " = ",
                                              " <> ", " < ", " >= ", " And ", " Or ", " Xor ", " Eqv ", " Imp "};
        return Expression(depth - 1) + From(kBinary) + Expression(depth - 1);
      }
      case 7: return Builtin(depth - 1);
      default: return Chance(2) ? "F(" + Expression(depth - 1) + ")" : "G(" + Expression(depth - 1) + ", 1)";
    }
  }

  std::string Builtin(int depth) {
    static const char* const kOne[] = {
        "Len",     "UCase",   "LCase",    "Trim",   "Space",  "StrReverse", "Chr",          "Asc",
        "CStr",    "CDbl",    "CLng",     "CInt",   "CBool",  "Int",        "Fix",          "Abs",
        "Sgn",     "Sqr",     "Exp",      "Log",    "Sin",    "Round",      "FormatNumber", "IsNumeric",
        "IsEmpty", "IsArray", "TypeName", "UBound", "LBound", "Split",      "Join",         "Array"};
    static const char* const kTwo[] = {"Left",  "Right",        "Mid",    "InStr", "InStrRev", "String",
                                       "Round", "FormatNumber", "UBound", "Split", "Join",     "Array"};
    static const char* const kThree[] = {"Mid", "InStr", "Replace", "InStrRev", "Array"};
    const std::size_t arity = 1 + Pick(3);
    const char* name = arity == 1 ? From(kOne) : arity == 2 ? From(kTwo) : From(kThree);
    std::string call = std::string(name) + "(";
    for (std::size_t k = 0; k < arity; ++k) call += (k ? ", " : "") + (Chance(5) ? "arr" : Expression(depth));
    if (std::string(name) == "Replace") call += ", " + Number() + ", " + Number();
    return call + ")";
  }

  std::string Bounds() {
    std::string bounds = Expression(1);
    if (Chance(3)) bounds += ", " + Expression(1);
    return bounds;
  }

  std::string Statement(int depth) {
    const std::size_t kinds = depth > 0 ? 14 : 6;
    switch (Pick(kinds)) {
      case 0:
      case 1: return Variable() + " = " + Expression(3) + "\n";
      case 2: return "arr(" + Expression(1) + ") = " + Expression(2) + "\n";
      case 3: return std::string(Chance(2) ? "ReDim Preserve" : "ReDim") + " arr(" + Bounds() + ")\n";
      case 4: return Chance(2) ? "S " + Variable() + "\n" : "Call S(" + Expression(2) + ")\n";
      case 5:
        if (!loops_.empty() && Chance(3)) return loops_.back() == 'F' ? "Exit For\n" : "Exit Do\n";
        return "n = n + 1\n";
      case 6:
      case 7: {
        loops_ += 'F';
        std::string loop = "For i = " + Expression(1) + " To " + Expression(1) +
                           (Chance(2) ? " Step " + Expression(1) : std::string()) + "\n" + Block(depth - 1) + "Next\n";
        loops_.pop_back();
        return loop;
      }
      case 8: {
        loops_ += 'F';
        std::string loop = "For Each v In arr\n" + Block(depth - 1) + "Next\n";
        loops_.pop_back();
        return loop;
      }
      case 9: {
        loops_ += 'D';
        std::string loop = Chance(2) ? "Do While " + Expression(2) + "\n" + Block(depth - 1) + "Loop\n"
                                     : "Do\n" + Block(depth - 1) + "Loop Until " + Expression(2) + "\n";
        loops_.pop_back();
        return loop;
      }
      case 10:
      case 11:
        return "If " + Expression(2) + " Then\n" + Block(depth - 1) + "ElseIf " + Expression(2) + " Then\n" +
               Block(depth - 1) + "Else\n" + Block(depth - 1) + "End If\n";
      case 12:
        return "Select Case " + Expression(2) + "\nCase " + Expression(1) + "\n" + Block(depth - 1) + "Case " +
               Expression(1) + " To " + Expression(1) + "\n" + Block(depth - 1) + "Case Is > " + Expression(1) + "\n" +
               Block(depth - 1) + "Case Else\n" + Block(depth - 1) + "End Select\n";
      default: return "Dim e" + std::to_string(++dims_) + "(" + Number() + ")\n";
    }
  }

  std::string Block(int depth) {
    std::string block;
    for (std::size_t k = 0, n = 1 + Pick(3); k < n; ++k) block += " " + Statement(depth);
    return block;
  }

  // Cuts, doubles or overwrites a piece: the parser meets texts that are not quite the language.
  std::string Garble(std::string text) {
    static const char kCharacters[] = "()\",:=&_.\n 9eE+-'#[]%$";
    for (std::size_t k = 0, n = 1 + Pick(3); k < n && !text.empty(); ++k) {
      const std::size_t at = Pick(text.size());
      const std::size_t length = std::min<std::size_t>(1 + Pick(12), text.size() - at);
      switch (Pick(3)) {
        case 0: text.erase(at, length); break;
        case 1: text.insert(at, text.substr(at, length)); break;
        default: text[at] = kCharacters[Pick(sizeof kCharacters - 1)]; break;
      }
    }
    return text;
  }
};

// An error names its place as "(Zeile L, Spalte C)" with the line and column that GetLastError hands out; only a
// call refused before it ran, because the budget (of time or memory) was spent, has none.
void ExpectPlacedError(int session, const std::string& text, const char* what) {
  int line = -1, column = -1;
  const std::string error = TQSCRIPT_GetLastError(session, line, column);
  if (error.empty()) return;
  EXPECT_EQ(error.find("Interner Fehler"), std::string::npos) << what << ": " << error << "\n" << text;
  const bool budgetStop = error.rfind("Abbruch: Zeitbudget", 0) == 0 || error.rfind("Abbruch: Speicherbudget", 0) == 0;
  if (budgetStop && line == 0) return;
  // parsed by hand: a library pattern would recurse once per character of a long message
  const std::size_t at = error.rfind(" (Zeile ");
  ASSERT_NE(at, std::string::npos) << what << ": " << error << "\n" << text;
  int shownLine = -1, shownColumn = -1;
  char end = 0;
  ASSERT_EQ(std::sscanf(error.c_str() + at, " (Zeile %d, Spalte %d%c", &shownLine, &shownColumn, &end), 3) << error;
  EXPECT_EQ(end, ')') << error;
  EXPECT_EQ(at + error.substr(at).find(')') + 1, error.size()) << error;
  EXPECT_EQ(shownLine, line) << error;
  EXPECT_EQ(shownColumn, column) << error;
  EXPECT_GE(line, 1) << error;
  EXPECT_GE(column, 1) << error;
}

TEST(ScriptFuzz, EveryTextGetsAResultOrAnErrorWithItsPlace) {
  // Every reading of the clock is a second later: a budget of 5 s stops a text after some thousand statements,
  // so long loops end soon whatever their bounds.
  double now = 0;
  TQSCRIPT_SetClock([&now] { return now += 1.0; });
  const int session = TQSCRIPT_StartSession();
  const auto started = std::chrono::steady_clock::now();
  int loaded = 0, answered = 0;
  for (int k = 0; k < KOLUMO_FUZZ_CASES; ++k) {
    Generator generator(1000u + unsigned(k));
    const std::string text = generator.Program();
    TQSCRIPT_ClearSession(session);
    TQScriptBudget budget(5);
    if (TQSCRIPT_AddMacro(session, text.c_str())) ++loaded;
    ExpectPlacedError(session, text, "load");
    for (int c = 0; c < 3; ++c) {
      const std::string call = generator.Call();
      const double result = TQSCRIPT_Execute(session, call.c_str());
      EXPECT_TRUE(std::isfinite(result)) << call << "\n" << text;
      int line = 0, column = 0;
      if (TQSCRIPT_GetLastError(session, line, column).empty()) ++answered;
      ExpectPlacedError(session, text + "\n-> " + call, "call");
    }
    if (HasFatalFailure()) break;
  }
  TQSCRIPT_EndSession(session);
  TQSCRIPT_SetClock(nullptr);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  // The generator must reach the interpreter, not only the parser's refusals.
  EXPECT_GT(loaded, KOLUMO_FUZZ_CASES / 4);
  EXPECT_GT(answered, KOLUMO_FUZZ_CASES / 4);
  std::printf("%d texts (%d loaded, %d calls answered) in %.1f s\n", KOLUMO_FUZZ_CASES, loaded, answered, seconds);
}

}  // namespace
