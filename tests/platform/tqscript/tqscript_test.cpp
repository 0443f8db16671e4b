#include "platform/tqscript/tqscript.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "platform/win/dialogs/msgbox.h"

namespace {

class Script : public testing::Test {
 protected:
  void SetUp() override { session_ = TQSCRIPT_StartSession(); }
  void TearDown() override { TQSCRIPT_EndSession(session_); }

  std::string Error() {
    int line = -1, column = -1;
    return TQSCRIPT_GetLastError(session_, line, column);
  }
  // The text result of a statement after the macro text loaded; an error shows as "error: ...".
  std::string Run(const std::string& macro, const std::string& statement) {
    if (!macro.empty() && !TQSCRIPT_AddMacro(session_, macro.c_str())) return "load error: " + Error();
    TQSCRIPT_Execute(session_, statement.c_str());
    std::string error = Error();
    return error.empty() ? TQSCRIPT_GetStrResult(session_) : "error: " + error;
  }
  int session_ = 0;
};

struct Case {
  const char* statement;
  const char* expected;
};

// "Function Never()", `lines` lines " x = x + 1" (11 bytes each) and "End Function": a function never called.
std::string NeverCalled(int lines) {
  std::string text = "Function Never()\n";
  text.reserve(text.size() + std::size_t(lines) * 11 + 16);
  for (int i = 0; i < lines; ++i) text += " x = x + 1\n";
  return text + "End Function\n";
}

// Operators, precedence and the text form of numbers (shortest digits that read back the same double).
TEST_F(Script, Expressions) {
  const Case cases[] = {
      {"1 + 2 * 3", "7"},
      {"(1 + 2) * 3", "9"},
      {"10 - 2 - 3", "5"},
      {"8 / 2 / 2", "2"},
      {"1 / 4", "0.25"},
      {"7 \\ 2", "3"},
      {"-7 \\ 2", "-3"},
      {"2.5 \\ 1", "2"},
      {"3.5 \\ 1", "4"},  // operands round half to even
      {"5 \\ 2 * 2", "1"},
      {"7 Mod 3", "1"},
      {"-7 Mod 3", "-1"},
      {"1 + 7 Mod 4", "4"},
      {"2 ^ 10", "1024"},
      {"-2 ^ 2", "-4"},
      {"2 ^ -1", "0.5"},
      {"2 ^ 3 ^ 2", "64"},
      {"0.1 + 0.2", "0.30000000000000004"},
      {"1 / 3", "0.3333333333333333"},
      {"1E20", "1E+20"},
      {"1.5E-7", "1.5E-07"},
      {"0.00001", "0.00001"},
      {"1E15", "1E+15"},
      {"123456789012345", "123456789012345"},
      {"2147483647 + 1", "2147483648"},
      {"&HFF", "255"},
      {"-0.5 * 0", "0"},
      {"\"a\" & 1 & True", "a1True"},
      {"2 + 3 & 4", "54"},
      {"\"3\" + 4", "7"},
      {"\"ab\" + \"cd\"", "abcd"},
      {"1 < 2", "True"},
      {"\"B\" < \"a\"", "True"},
      {"\"10\" = 10", "True"},
      {"2 >= 3", "False"},
      {"1 <> 1", "False"},
      {"Not True", "False"},
      {"Not 0", "-1"},
      {"True And False", "False"},
      {"6 And 3", "2"},
      {"5 Or 2", "7"},
      {"True Xor True", "False"},
      {"1 = 1 And 2 = 2", "True"},
      {"Empty + 1", "1"},
      {"\"ab\" + Empty", "ab"},
      {"\"x\" & Empty", "x"},
  };
  for (const Case& c : cases) EXPECT_EQ(Run("", c.statement), c.expected) << c.statement;
}

TEST_F(Script, Builtins) {
  const Case cases[] = {
      {"Len(\"Äpfel\")", "5"},
      {"Left(\"Stütze\", 3)", "Stü"},
      {"Right(\"Stütze\", 2)", "ze"},
      {"Mid(\"Stütze\", 3, 2)", "üt"},
      {"Mid(\"abc\", 2)", "bc"},
      {"Mid(\"abc\", 5)", ""},
      {"InStr(\"Hallo\", \"l\")", "3"},
      {"InStr(4, \"Hallo\", \"l\")", "4"},
      {"InStr(\"Hallo\", \"x\")", "0"},
      {"InStr(1, \"Hallo\", \"L\", 1)", "3"},
      {"InStrRev(\"a.b.c\", \".\")", "4"},
      {"UCase(\"stütze\")", "STÜTZE"},
      {"LCase(\"ÄB\")", "äb"},
      {"Trim(\"  a b  \") & \"|\"", "a b|"},
      {"LTrim(\"  a \") & \"|\"", "a |"},
      {"RTrim(\"  a \") & \"|\"", "  a|"},
      {"Replace(\"a-b-c\", \"-\", \"+\")", "a+b+c"},
      {"Replace(\"a-b-c\", \"-\", \"+\", 1, 1)", "a+b-c"},
      {"Replace(\"aXbx\", \"x\", \"_\", 1, -1, 1)", "a_b_"},
      {"Space(3) & \"x\"", "   x"},
      {"String(3, \"*\")", "***"},
      {"Chr(65) & Chr(228)", "Aä"},
      {"Asc(\"A\") & \",\" & Asc(\"ä\")", "65,228"},
      {"StrReverse(\"abc\")", "cba"},
      {"CStr(1.5)", "1.5"},
      {"CDbl(\"2.5\") * 2", "5"},
      {"CInt(2.5)", "2"},
      {"CInt(3.5)", "4"},
      {"CLng(-2.5)", "-2"},
      {"CBool(0)", "False"},
      {"CBool(\"True\")", "True"},
      {"Int(-2.5)", "-3"},
      {"Fix(-2.5)", "-2"},
      {"Abs(-3)", "3"},
      {"Sgn(-0.1)", "-1"},
      {"Sqr(16)", "4"},
      {"Exp(0)", "1"},
      {"Log(1)", "0"},
      {"Sin(0) + Cos(0) + Tan(0)", "1"},
      {"Atn(1) * 4", "3.141592653589793"},
      {"Round(2.5)", "2"},
      {"Round(-1.5)", "-2"},
      {"Round(3.14159, 2)", "3.14"},
      {"IsNumeric(\"1.5\")", "True"},
      {"IsNumeric(\"1,5\")", "False"},
      {"IsEmpty(nix)", "True"},
      {"FormatNumber(1234.5678, 2)", "1234.57"},
      {"FormatNumber(0.5)", "0.50"},
      {"FormatNumber(-0.001, 2)", "0.00"},
      {"UBound(Array(1, 2, 3))", "2"},
      {"Join(Split(\"a,b,c\", \",\"), \"+\")", "a+b+c"},
      {"TypeName(1.5) & TypeName(1)", "DoubleLong"},
      {"vbYesNo + vbQuestion", "36"},
      {"Len(vbCrLf)", "2"},
  };
  for (const Case& c : cases) EXPECT_EQ(Run("", c.statement), c.expected) << c.statement;
}

struct ProgramCase {
  const char* macro;
  const char* statement;
  const char* expected;
};

TEST_F(Script, Statements) {
  const char* sign =
      "Function Sign(x)\n  If x > 0 Then\n    Sign = \"+\"\n  "
      "ElseIf x < 0 Then\n    Sign = \"-\"\n"
      "  Else\n    Sign = \"0\"\n  End If\nEnd Function";
  // A text compares greater than any number, so "x" must come before Is > 100.
  const char* grade =
      "Function Grade(v)\n Select Case v\n  Case 1, 2: Grade = "
      "\"klein\"\n  Case 3 To 5\n   Grade = \"mittel\"\n"
      "  Case \"x\": Grade = \"text\"\n  Case Is > 100: Grade "
      "= \"riesig\"\n  Case Else: Grade = \"groß\"\n"
      " End Select\nEnd Function";
  const ProgramCase cases[] = {
      {sign, "Sign(5) & Sign(-2) & Sign(0)", "+-0"},
      {grade,
       "Grade(2) & \",\" & Grade(4) & \",\" & Grade(7) & \",\" & Grade(101) & "
       "\",\" & Grade(\"x\")",
       "klein,mittel,groß,riesig,text"},
      // One-line If with a colon list and an Else part.
      {"Function F(x)\n If x Then F = 1 : F = F + 1 Else F = 10\nEnd Function", "F(True) & F(False)", "210"},
      // 1 + 4 + 7 + 10 = 22; 10 + 8 + 6 + 4 + 2 = 30; the counter ends one step past the limit.
      {"Function F()\n Dim i, s\n For i = 1 To 10 Step 3: s = s + i: Next\n F "
       "= s\nEnd Function",
       "F()", "22"},
      {"Function F()\n For i = 10 To 1 Step -2\n  F = F + i\n Next i\nEnd "
       "Function",
       "F", "30"},
      {"Function F()\n For i = 1 To 10: Next\n F = i\nEnd Function", "F", "11"},
      {"Function F()\n For i = 0 To 1 Step 0.25: n = n + 1: Next\n F = n\nEnd "
       "Function",
       "F", "5"},
      {"Function F()\n For i = 5 To 1: F = 99: Next\n F = F & \"-\"\nEnd "
       "Function",
       "F", "-"},
      // Loops: a pre-test never runs, a post-test runs once.
      {"Function F()\n Do While n < 5: n = n + 2: Loop\n F = n\nEnd Function", "F", "6"},
      {"Function F()\n Do Until n >= 5\n  n = n + 2\n Loop\n F = n\nEnd "
       "Function",
       "F", "6"},
      {"Function F()\n Do: n = n + 1: Loop While n < 0\n F = n\nEnd Function", "F", "1"},
      {"Function F()\n Do\n  n = n + 1\n Loop Until n = 3\n F = n\nEnd "
       "Function",
       "F", "3"},
      {"Function F()\n While n < 4: n = n + 1: Wend\n F = n\nEnd Function", "F", "4"},
      {"Function F()\n Do\n  n = n + 1\n  If n = 7 Then Exit Do\n Loop\n F = "
       "n\nEnd Function",
       "F", "7"},
      // Exit For leaves only the inner loop: 3 outer turns of 2 inner ones.
      {"Function F()\n For i = 1 To 3\n  For j = 1 To 9\n   If j > 2 Then Exit "
       "For\n   n = n + 1\n  Next\n Next\n"
       " F = n\nEnd Function",
       "F", "6"},
      {"Function F()\n F = 1\n Exit Function\n F = 2\nEnd Function", "F", "1"},
      {"Function F()\n Dim a\n a = Array(2, 3, 4)\n For Each v In a: F = F + "
       "v: Next\nEnd Function",
       "F", "9"},
      // Arrays: fixed, two-dimensional, resized with their values kept.
      {"Function F()\n Dim a(3)\n For i = 0 To 3: a(i) = i * i: Next\n F = "
       "a(3) & \"/\" & UBound(a)\nEnd Function",
       "F", "9/3"},
      {"Function F()\n Dim m(2, 4)\n m(2, 4) = 7\n F = m(2, 4) & UBound(m, 1) "
       "& UBound(m, 2)\nEnd Function",
       "F", "724"},
      {"Function F()\n Dim a()\n ReDim a(1)\n a(1) = 5\n ReDim Preserve a(3)\n "
       "F = a(1) & \"/\" & UBound(a)\n"
       "End Function",
       "F", "5/3"},
      {"Const G = 9.81, TEXT = \"kN\"\nFunction F(m)\n F = m * G & TEXT\nEnd "
       "Function",
       "F(2)", "19.62kN"},
      // Arguments go by reference unless ByVal says otherwise.
      {"Sub Inc(x)\n x = x + 1\nEnd Sub\nSub IncV(ByVal x)\n x = x + 1\nEnd "
       "Sub\n"
       "Function F()\n a = 1: Inc a: Call Inc(a): IncV a\n F = a\nEnd Function",
       "F", "3"},
      {"Sub Fill(ByRef arr)\n arr(0) = \"x\"\nEnd Sub\nFunction F()\n Dim "
       "a(1)\n Fill a\n F = a(0)\nEnd Function",
       "F", "x"},
      {"Function Fact(n)\n If n <= 1 Then\n  Fact = 1\n Else\n  Fact = n * "
       "Fact(n - 1)\n End If\nEnd Function",
       "Fact(10)", "3628800"},
      // Continuation, comments, Rem and names in any case.
      {"Function AREA(B, H) ' Fläche\n Rem in m²\n AREA = b * _\n   h\nEnd "
       "Function",
       "area(0.3, 0.5)", "0.15"},
      {"Private Function P()\n P = 1\nEnd Function\nPublic z\nz = 2", "z + P", "3"},
      {"Function Fläche(b, h)\n Fläche = b * h\nEnd Function", "FLÄCHE(2, 3) + fläche(1, 1)", "7"},
      {"Function Label(n)\n Label = \"Stab \" & n\nEnd Function", "Label( 4)", "Stab 4"},
  };
  for (const ProgramCase& c : cases) {
    TQSCRIPT_ClearSession(session_);
    EXPECT_EQ(Run(c.macro, c.statement), c.expected) << c.macro << "\n-> " << c.statement;
  }
}

// Module-level variables keep their values between calls.
TEST_F(Script, ModuleStateLivesBetweenCalls) {
  ASSERT_EQ(Run("Dim count\nSub Bump()\n count = count + 1\nEnd Sub", "Bump"), "");
  EXPECT_EQ(Run("", "Bump()"), "");
  EXPECT_EQ(Run("", "count"), "2");
  EXPECT_EQ(Run("", "x = 5"), "");
  EXPECT_EQ(Run("", "x * 2"), "10");
  // A call without brackets, several statements in one.
  EXPECT_EQ(Run("Dim seen\nSub Hello(a, b)\n seen = a & b\nEnd Sub", "Hello \"x\", 2: Bump"), "");
  EXPECT_EQ(Run("", "seen & count"), "x23");
}

struct ErrorCase {
  const char* macro;  // loaded first; its error counts when the statement is empty
  const char* statement;
  const char* message;  // the whole error text
  int line, column;
};

TEST_F(Script, ErrorsNameTheirPlace) {
  const ErrorCase cases[] = {
      {"Function F(x)\n  F = x\n  y = * 2\nEnd Function", "",
       "Syntaxfehler: Ausdruck erwartet, '*' gefunden (Zeile 3, Spalte 7)", 3, 7},
      {"Function F(x)\n If x Then\n  F = 1\nEnd Function", "",
       "Syntaxfehler: 'End If' erwartet, 'End' gefunden (Zeile 4, Spalte 1)", 4, 1},
      {"x = \"offen\n", "", "Zeichenfolge nicht abgeschlossen (Zeile 1, Spalte 5)", 1, 5},
      {"x = 1 § 2", "", "Ungültiges Zeichen: § (Zeile 1, Spalte 7)", 1, 7},
      {"Sub Mäßig()\n x = 1 € 2\nEnd Sub", "", "Ungültiges Zeichen: € (Zeile 2, Spalte 8)", 2, 8},
      {"Function F()\nEnd Function\nFunction f()\nEnd Function", "", "Name mehrfach definiert: f (Zeile 3, Spalte 10)",
       3, 10},
      {"Sub S()\n Exit For\nEnd Sub", "",
       "Syntaxfehler: 'Exit For' außerhalb einer For-Schleife (Zeile 2, Spalte "
       "2)",
       2, 2},
      {"Function F(x)\n F = 1 / x\nEnd Function", "F(0)", "Division durch Null in F (Zeile 2, Spalte 8)", 2, 8},
      {"", "Nix(1)", "Unbekannte Funktion: Nix (Zeile 1, Spalte 1)", 1, 1},
      {"", " Nix", "Unbekannte Funktion: Nix (Zeile 1, Spalte 2)", 1, 2},
      {"Function F(a, b)\nEnd Function", "1 + F(1)",
       "Falsche Anzahl an Argumenten: F erwartet 2, erhielt 1 (Zeile 1, Spalte "
       "5)",
       1, 5},
      {"Function F()\n Dim a(2)\n F = a(3)\nEnd Function", "F",
       "Index außerhalb des gültigen Bereichs: a(3) in F (Zeile 3, Spalte 6)", 3, 6},
      {"", "\"abc\" * 2", "Typen unverträglich: \"abc\" (Zeile 1, Spalte 7)", 1, 7},
      {"Option Explicit\nFunction F()\n F = y\nEnd Function", "F",
       "Variable ist nicht definiert: y in F (Zeile 3, Spalte 6)", 3, 6},
      {"Const K = 1\nSub S()\n K = 2\nEnd Sub", "S", "Zuweisung an eine Konstante: K in S (Zeile 3, Spalte 2)", 3, 2},
      {"", "Sqr(-1)",
       "Ungültiger Prozeduraufruf oder ungültiges Argument: Sqr (negativ) "
       "(Zeile 1, Spalte 1)",
       1, 1},
      {"", "CInt(40000)", "Überlauf: CInt (Zeile 1, Spalte 1)", 1, 1},
      {"", "Len(1 +)", "Syntaxfehler: Ausdruck erwartet, ')' gefunden (Zeile 1, Spalte 8)", 1, 8},
  };
  for (const ErrorCase& c : cases) {
    TQSCRIPT_ClearSession(session_);
    int result = TQSCRIPT_AddMacro(session_, c.macro);
    if (*c.statement) {
      ASSERT_EQ(result, 1) << c.macro << ": " << Error();
      EXPECT_EQ(TQSCRIPT_Execute(session_, c.statement), 0.0);
      EXPECT_EQ(TQSCRIPT_GetStrResult(session_), "");
    } else {
      EXPECT_EQ(result, 0) << c.macro;
    }
    int line = 0, column = 0;
    EXPECT_EQ(TQSCRIPT_GetLastError(session_, line, column), c.message) << c.macro << "\n-> " << c.statement;
    EXPECT_EQ(line, c.line) << c.message;
    EXPECT_EQ(column, c.column) << c.message;
  }
}

// Nothing outside the language's arithmetic and texts is reachable; each refusal names its place.
TEST_F(Script, ForbiddenCallsAreRefused) {
  const ErrorCase cases[] = {
      {"Sub S()\n x = CreateObject(\"Scripting.FileSystemObject\")\nEnd Sub", "", "CreateObject", 2, 6},
      {"Sub S()\n  x = GetObject(\"winmgmts:\")\nEnd Sub", "", "GetObject", 2, 7},
      {"Sub S()\n Execute \"x = 1\"\nEnd Sub", "", "Execute", 2, 2},
      {"Function F()\n F = Eval(\"1+1\")\nEnd Function", "", "Eval", 2, 6},
      {"ExecuteGlobal \"Sub T: End Sub\"", "", "ExecuteGlobal", 1, 1},
      {"x = 1: Shell \"rm -rf /\"", "", "Shell", 1, 8},
      {"Sub S()\n Set fso = Nothing\nEnd Sub", "", "Set", 2, 2},
      {"WScript.Echo 1", "", "WScript", 1, 1},
      {"Sub S()\n On Error Resume Next\nEnd Sub", "", "On", 2, 2},
      {"x = InputBox(\"?\")", "", "InputBox", 1, 5},
      {"Randomize", "", "Randomize", 1, 1},
      {"x = Now", "", "Now", 1, 5},
      {"x = #1/1/2020#", "", "Datumsangabe", 1, 5},
      {"Sub S()\n y = obj.Name\nEnd Sub", "", "Objektzugriff obj.", 2, 9},
      {"", "CreateObject(\"WScript.Shell\")", "CreateObject", 1, 1},
      {"", "Len(GetObject(\"x\"))", "GetObject", 1, 5},
      {"", "Eval(\"1\")", "Eval", 1, 1},
  };
  for (const ErrorCase& c : cases) {
    TQSCRIPT_ClearSession(session_);
    if (*c.macro) {
      EXPECT_EQ(TQSCRIPT_AddMacro(session_, c.macro), 0) << c.macro;
    } else {
      EXPECT_EQ(TQSCRIPT_Execute(session_, c.statement), 0.0);
    }
    int line = 0, column = 0;
    std::string error = TQSCRIPT_GetLastError(session_, line, column);
    EXPECT_EQ(error, std::string("nicht unterstützt: ") + c.message + " (Zeile " + std::to_string(c.line) +
                         ", Spalte " + std::to_string(c.column) + ")")
        << c.macro << c.statement;
    EXPECT_EQ(line, c.line) << error;
    EXPECT_EQ(column, c.column) << error;
  }
}

// Nesting too deep for the parser is refused before it could exhaust the stack.
TEST_F(Script, DeepNestingIsRefused) {
  std::string deep = std::string(150, '(') + "1" + std::string(150, ')');
  EXPECT_EQ(TQSCRIPT_Execute(session_, deep.c_str()), 0.0);
  EXPECT_EQ(Error(), "Ausdruck oder Block zu tief verschachtelt (Zeile 1, Spalte 101)");
  std::string ifs;
  for (int i = 0; i < 150; ++i) ifs += "If True Then\n";
  for (int i = 0; i < 150; ++i) ifs += "End If\n";
  EXPECT_EQ(TQSCRIPT_AddMacro(session_, ifs.c_str()), 0);
  EXPECT_NE(Error().find("zu tief verschachtelt"), std::string::npos);
  std::string nested = std::string(20, '(') + "2" + std::string(20, ')') + " * 3";
  EXPECT_EQ(TQSCRIPT_Execute(session_, nested.c_str()), 6.0);
  // A long flat chain recurses as deep when evaluated; 400 terms still go.
  std::string chain = "1";
  for (int i = 0; i < 399; ++i) chain += " + 1";
  EXPECT_EQ(TQSCRIPT_Execute(session_, chain.c_str()), 400.0);
  chain = "Len(" + chain;
  for (int i = 0; i < 200; ++i) chain += " & 1";
  EXPECT_EQ(TQSCRIPT_Execute(session_, (chain + ")").c_str()), 0.0);
  EXPECT_EQ(Error().substr(0, 16), "Ausdruck zu lang");
}

// Texts and arrays a call creates are bounded, so a loop cannot fill the memory within its steps.
TEST_F(Script, MemoryIsBounded) {
  ASSERT_EQ(
      TQSCRIPT_AddMacro(session_, "Sub S()\n Dim a(999)\n For i = 0 To 999\n  a(i) = Space(500000)\n Next\nEnd Sub"),
      1);
  EXPECT_EQ(TQSCRIPT_Execute(session_, "S"), 0.0);
  int line = 0, column = 0;
  // 1000 texts of 500000 characters, created and copied into the array: about 1 MB a turn.
  EXPECT_EQ(TQSCRIPT_GetLastError(session_, line, column).substr(0, 55),
            "Abbruch: mehr als 256 MB Texte und Arrays erzeugt in S ");
  EXPECT_EQ(line, 4);
  EXPECT_EQ(Run("", "Len(Space(1000000) & \"x\")"),
            "error: Zeichenfolge zu lang: mehr als 1000000 Zeichen (Zeile 1, Spalte 20)");
  EXPECT_EQ(Run("", "Len(String(1000000, \"ä\"))"), "1000000");
  EXPECT_EQ(Run("Dim big(2000, 2000)", ""), "load error: Array zu groß (Zeile 1, Spalte 5)");
}

TEST_F(Script, RunawayLoopsAndRecursionStop) {
  const ErrorCase cases[] = {
      {"Sub S()\n Do\n Loop\nEnd Sub", "S", "Abbruch: mehr als 1000000 Schritte (Endlosschleife?) in S", 2, 2},
      {"Sub S()\n For i = 1 To 2000000\n  x = i\n Next\nEnd Sub", "S", "Abbruch: mehr als 1000000 Schritte", 0, 0},
      {"Sub S()\n For i = 1 To 2 Step 0: Next\nEnd Sub", "S", "Abbruch: mehr als 1000000 Schritte", 2, 2},
      {"", "While True: Wend",
       "Abbruch: mehr als 1000000 Schritte (Endlosschleife?) (Zeile 1, Spalte "
       "1)",
       1, 1},
      {"Function R(n)\n R = R(n + 1)\nEnd Function", "R(0)", "verschachtelte Aufrufe", 2, 6},
  };
  for (const ErrorCase& c : cases) {
    TQSCRIPT_ClearSession(session_);
    ASSERT_EQ(TQSCRIPT_AddMacro(session_, c.macro), 1) << Error();
    EXPECT_EQ(TQSCRIPT_Execute(session_, c.statement), 0.0);
    int line = 0, column = 0;
    std::string error = TQSCRIPT_GetLastError(session_, line, column);
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    if (c.line) {
      EXPECT_EQ(line, c.line) << error;
      EXPECT_EQ(column, c.column) << error;
    } else {
      EXPECT_GT(line, 0) << error;
    }
  }
  // A loop at load time is stopped the same way and leaves nothing behind.
  EXPECT_EQ(TQSCRIPT_AddMacro(session_, "Dim n\nDo: n = n + 1: Loop"), 0);
  EXPECT_NE(Error().find("Abbruch"), std::string::npos);
  EXPECT_EQ(Run("", "IsEmpty(n)"), "True");
}

TEST_F(Script, ResultsAndSessions) {
  ASSERT_EQ(TQSCRIPT_AddMacro(session_, "Function Sq(x)\n Sq = x * x\nEnd Function"), 1);
  // The formula call form: the name, "( " and the arguments ("%lg" may write an exponent).
  EXPECT_EQ(TQSCRIPT_Execute(session_, "Sq( 2e-05)"), 2e-05 * 2e-05);
  EXPECT_EQ(TQSCRIPT_Execute(session_, "Sq( 1.5)"), 2.25);
  EXPECT_EQ(TQSCRIPT_GetStrResult(session_), "2.25");
  EXPECT_EQ(TQSCRIPT_Execute(session_, "\"abc\""), 0.0);
  EXPECT_EQ(TQSCRIPT_GetStrResult(session_), "abc");
  EXPECT_EQ(TQSCRIPT_Execute(session_, "\"2.5\""), 2.5);
  EXPECT_EQ(TQSCRIPT_Execute(session_, "1 < 2"), -1.0);

  // A failed load keeps the procedures and values the session had.
  EXPECT_EQ(TQSCRIPT_AddMacro(session_, "Function Sq(x)\n Sq = 0\nEnd Function\nFunction Bad(\n"), 0);
  EXPECT_EQ(TQSCRIPT_AddMacro(session_, "Function Sq(x)\n Sq = 0\nEnd Function\nDim z\nz = 1 / 0"), 0);
  EXPECT_EQ(TQSCRIPT_Execute(session_, "Sq(3)"), 9.0);
  EXPECT_EQ(Error(), "");
  EXPECT_EQ(Run("", "IsEmpty(z)"), "True");
  ASSERT_EQ(TQSCRIPT_AddMacro(session_, "Dim arr(1)\narr(0) = 1"), 1);
  EXPECT_EQ(TQSCRIPT_AddMacro(session_, "arr(0) = 2\narr(5) = 3"), 0);
  EXPECT_EQ(Run("", "arr(0)"), "1");
  // A later text replaces a procedure of the same name.
  ASSERT_EQ(TQSCRIPT_AddMacro(session_, "Function Sq(x)\n Sq = -1\nEnd Function"), 1);
  EXPECT_EQ(TQSCRIPT_Execute(session_, "Sq(3)"), -1.0);

  // Sessions are apart, and cleared or ended ones know nothing.
  int other = TQSCRIPT_StartSession();
  EXPECT_GT(other, 0);
  EXPECT_NE(other, session_);
  TQSCRIPT_Execute(other, "Sq(3)");
  int line = 0, column = 0;
  EXPECT_EQ(TQSCRIPT_GetLastError(other, line, column), "Unbekannte Funktion: Sq (Zeile 1, Spalte 1)");
  TQSCRIPT_EndSession(other);
  EXPECT_EQ(TQSCRIPT_Execute(other, "1 + 1"), 0.0);
  EXPECT_EQ(TQSCRIPT_GetLastError(other, line, column), "Unbekannte Skriptsitzung: " + std::to_string(other));
  TQSCRIPT_ClearSession(session_);
  EXPECT_EQ(Run("", "Sq(3)"), "error: Unbekannte Funktion: Sq (Zeile 1, Spalte 1)");
}

// An event call as the document makes it: a Windows path passes through the string unchanged.
TEST_F(Script, EventMacroReceivesNameAndFolder) {
  ASSERT_EQ(TQSCRIPT_AddMacro(session_,
                              "Dim seen\nSub OnInitDocument(name, folder)\n "
                              "seen = name & \"|\" & folder\n"
                              "End Sub"),
            1);
  EXPECT_EQ(Run("", "OnInitDocument( \"Pos 12\", \"D:\\Projekte\")"), "");
  EXPECT_EQ(Run("", "seen"), "Pos 12|D:\\Projekte");
}

TEST_F(Script, MacroFilesAreReadAsTheyWereSaved) {
  auto dir = std::filesystem::path(testing::TempDir()) / ("tqscript_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  // Windows-1252: "ä" is the byte E4.
  std::ofstream(dir / "old.bas", std::ios::binary) << "Function Word()\r\n  Word = \"M\xE4"
                                                      "rz\"\r\nEnd Function\r\n";
  EXPECT_EQ(TQSCRIPT_LoadMacroFile(session_, (dir / "old.bas").c_str()), 1);
  EXPECT_EQ(Run("", "Word & Len(Word)"), "März4");
  EXPECT_EQ(TQSCRIPT_LoadMacroFile(session_, (dir / "missing.bas").c_str()), 1);
  EXPECT_EQ(Error(), "");
  std::ofstream(dir / "bad.bas") << "\n\nSub S(\n";
  EXPECT_EQ(TQSCRIPT_LoadMacroFile(session_, (dir / "bad.bas").c_str()), 0);
  int line = 0, column = 0;
  TQSCRIPT_GetLastError(session_, line, column);
  EXPECT_EQ(line, 3);
  EXPECT_EQ(TQSCRIPT_LoadMacroFile(session_, dir.c_str()), 0);
  EXPECT_NE(Error().find("nicht lesbar"), std::string::npos);
  std::filesystem::remove_all(dir);
}

TEST_F(Script, MsgBoxGoesToTheSink) {
  win::msgbox::ClearLog();
  win::msgbox::QueueAnswer(7);  // No
  ASSERT_EQ(TQSCRIPT_AddMacro(session_,
                              "Function Ask()\n Ask = MsgBox(\"Weiter?\", "
                              "vbYesNo, \"Frage\") = vbYes\n"
                              "End Function"),
            1);
  EXPECT_EQ(Run("", "Ask"), "False");
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, "Weiter?");
  EXPECT_EQ(win::msgbox::Log()[0].caption, "Frage");
  EXPECT_EQ(win::msgbox::Log()[0].type, 4u);
  win::msgbox::ClearLog();
}

TEST_F(Script, EditorIsOptional) {
  EXPECT_EQ(TQSCRIPT_EditMacro(session_, "Sub S()\nEnd Sub", "", -1, -1), "Sub S()\nEnd Sub");
  TQSCRIPT_SetEditor([](int, const std::string& text, const std::string& error, int line, int) {
    return text + "' " + error + std::to_string(line);
  });
  EXPECT_EQ(TQSCRIPT_EditMacro(session_, "x", "E", 3, 7), "x' E3");
  TQSCRIPT_SetEditor(nullptr);
}

}  // namespace

namespace {

// Bounds and arithmetic at the ends of the Long range are worked in wider numbers: a result beyond the range is a
// Double or an error with its place, never an overflow of the host's own integers.
TEST_F(Script, TheEndsOfTheLongRangeAreErrorsWithTheirPlace) {
  const ErrorCase errors[] = {
      {"", "ReDim a(2147483647)", "Array zu groß (Zeile 1, Spalte 7)", 1, 7},
      {"Dim a(2147483647)", "", "Array zu groß (Zeile 1, Spalte 5)", 1, 5},
      // the document's event that runs on every read of a position
      {"Sub OnInitDocument(name, folder)\n  ReDim a(2147483647)\nEnd Sub", "OnInitDocument( \"Pos\", \"D:\\\\\")",
       "Array zu groß in OnInitDocument (Zeile 2, Spalte 9)", 2, 9},
      {"Dim a(2147483647, 2147483647)", "", "Array zu groß (Zeile 1, Spalte 5)", 1, 5},
      // an empty dimension makes no elements, whatever the other: indexing it still says where it fails
      {"Dim a(-1, 2147483647)\na(0, 2147483647) = 1", "",
       "Index außerhalb des gültigen Bereichs: a(0) (Zeile 2, Spalte 1)", 2, 1},
      {"", "CLng(2147483647.5)", "Überlauf (Zeile 1, Spalte 1)", 1, 1},
      {"", "2147483648 \\ 1", "Überlauf (Zeile 1, Spalte 12)", 1, 12},
  };
  for (const ErrorCase& c : errors) {
    TQSCRIPT_ClearSession(session_);
    const int loaded = TQSCRIPT_AddMacro(session_, c.macro);
    if (*c.statement) {
      ASSERT_EQ(loaded, 1) << c.macro << ": " << Error();
      TQSCRIPT_Execute(session_, c.statement);
    } else {
      EXPECT_EQ(loaded, 0) << c.macro;
    }
    int line = 0, column = 0;
    EXPECT_EQ(TQSCRIPT_GetLastError(session_, line, column), c.message) << c.macro << c.statement;
    EXPECT_EQ(line, c.line) << c.message;
    EXPECT_EQ(column, c.column) << c.message;
  }
  const Case results[] = {
      {"UBound(b, 2)", "2147483647"},
      {"(CLng(-2147483647) - 1) \\ -1", "2147483648"},
      {"(CLng(-2147483647) - 1) Mod -1", "0"},
      {"Abs(CLng(-2147483647) - 1)", "2147483648"},
      {"-(CLng(-2147483647) - 1)", "2147483648"},
      {"2147483647 * 2147483647", "4.6116860141324206E+18"},
      {"Last()", "2147483648"},
  };
  TQSCRIPT_ClearSession(session_);
  ASSERT_EQ(TQSCRIPT_AddMacro(session_,
                              "Dim b(-1, 2147483647)\n"
                              "Function Last()\n For i = 2147483646 To 2147483647: Next\n Last = i\n"
                              "End Function"),
            1)
      << Error();
  for (const Case& c : results) EXPECT_EQ(Run("", c.statement), c.expected) << c.statement;
}

// A clock the tests move: every reading is a second later than the one before.
class Ticking {
 public:
  Ticking() {
    TQSCRIPT_SetClock([this] {
      ++readings;
      return now += 1.0;
    });
  }
  ~Ticking() { TQSCRIPT_SetClock(nullptr); }
  double now = 0;
  int readings = 0;
};

// 3000 statements: the clock is read at the start, twice in between and at the end, three seconds a call.
constexpr const char* kThreeSeconds =
    "Dim calls\nFunction Slow()\n calls = calls + 1\n For i = 1 To 1500\n  x = i\n"
    " Next\n Slow = calls\nEnd Function";

// One budget for many calls: the calls together may run as long as it allows, then every call fails at once
// without running, and the message about it is claimed once.
TEST_F(Script, ABudgetIsSharedByTheCallsMadeWhileItIsOpen) {
  ASSERT_EQ(TQSCRIPT_AddMacro(session_, kThreeSeconds), 1) << Error();
  Ticking clock;
  {
    TQScriptBudget budget(10);
    EXPECT_FALSE(TQScriptBudget::ClaimStopMessage());
    for (int call = 1; call <= 3; ++call) {
      EXPECT_EQ(TQSCRIPT_Execute(session_, "Slow"), call) << Error();
      EXPECT_FALSE(TQScriptBudget::Spent()) << call;
    }
    // 9 seconds spent: the fourth call has one left and stops inside the loop, at its place.
    EXPECT_EQ(TQSCRIPT_Execute(session_, "Slow"), 0.0);
    int line = 0, column = 0;
    EXPECT_EQ(TQSCRIPT_GetLastError(session_, line, column),
              "Abbruch: Zeitbudget von 10 s für die Makros der Auswertung verbraucht in Slow (Zeile 4, Spalte 2)");
    EXPECT_TRUE(TQScriptBudget::Spent());
    {
      TQScriptBudget inner(1000);  // joins the open one: no new time
      const int before = clock.readings;
      EXPECT_EQ(TQSCRIPT_Execute(session_, "calls"), 0.0);
      EXPECT_EQ(Error(), "Abbruch: Zeitbudget von 10 s für die Makros der Auswertung verbraucht");
      EXPECT_EQ(TQSCRIPT_AddMacro(session_, "calls = 100"), 0);
      EXPECT_LE(clock.readings - before, 4);  // a reading at each call's start and end, nothing run
    }
    EXPECT_TRUE(TQScriptBudget::ClaimStopMessage());
    EXPECT_FALSE(TQScriptBudget::ClaimStopMessage());
  }
  // Closed: each call has its own time again, and the calls made meanwhile changed nothing.
  EXPECT_FALSE(TQScriptBudget::Spent());
  EXPECT_EQ(TQSCRIPT_Execute(session_, "calls"), 4.0) << Error();
  for (int call = 5; call <= 9; ++call) EXPECT_EQ(TQSCRIPT_Execute(session_, "Slow"), call) << Error();
  // A new budget starts with all its time.
  TQScriptBudget again(10);
  EXPECT_EQ(TQSCRIPT_Execute(session_, "Slow"), 10.0) << Error();
}

// An action of the person gets a budget of its own: the one open around it (the action it interrupts) is set aside
// with what it has spent and its message, and goes on where it was when the action ends.
TEST_F(Script, AnActionsBudgetSetsAsideTheBudgetItInterrupts) {
  ASSERT_EQ(TQSCRIPT_AddMacro(session_, kThreeSeconds), 1) << Error();
  Ticking clock;
  TQScriptBudget outer(10);
  for (int call = 1; call <= 3; ++call) EXPECT_EQ(TQSCRIPT_Execute(session_, "Slow"), call) << Error();
  {
    TQScriptActionBudget action(10);
    // all ten seconds: three calls run whole, the fourth stops
    for (int call = 4; call <= 6; ++call) EXPECT_EQ(TQSCRIPT_Execute(session_, "Slow"), call) << Error();
    EXPECT_EQ(TQSCRIPT_Execute(session_, "Slow"), 0.0);
    EXPECT_TRUE(TQScriptBudget::Spent());
    EXPECT_TRUE(TQScriptBudget::ClaimStopMessage());
    {
      TQScriptActionBudget next(10);  // another action in this one: its own time again
      EXPECT_FALSE(TQScriptBudget::Spent());
      EXPECT_EQ(TQSCRIPT_Execute(session_, "Slow"), 8.0) << Error();
    }
    EXPECT_TRUE(TQScriptBudget::Spent());
  }
  // The outer budget has the one second it had left, and its message is still to be said.
  EXPECT_FALSE(TQScriptBudget::Spent());
  EXPECT_EQ(TQSCRIPT_Execute(session_, "Slow"), 0.0);
  EXPECT_TRUE(TQScriptBudget::Spent());
  EXPECT_TRUE(TQScriptBudget::ClaimStopMessage());
}

// What the calls of a budget create counts together, and what module variables still hold when a budget opens counts
// against it: a formula per call cannot pile up memory call by call, nor a run on what earlier runs left.
TEST_F(Script, ABudgetsMemoryCoversAllCallsAndTheModuleVariables) {
  ASSERT_EQ(TQSCRIPT_AddMacro(session_,
                              "Dim g(1000)\nDim n\nFunction Fill()\n n = n + 1\n g(n) = Space(1000000)\n Fill = n\n"
                              "End Function"),
            1)
      << Error();
  // A call creates 2,000,000 bytes: the text of Space and its copy into g(n). The budget of 8 MiB = 8,388,608 bytes
  // starts with g's 1001 elements (under 100 kB): four calls bring it to under 8,100,000, the fifth goes past it.
  const std::string stop = "Abbruch: Speicherbudget von 8 MB für die Makros der Auswertung verbraucht";
  {
    TQScriptBudget budget(10, 8u << 20);
    for (int call = 1; call <= 4; ++call) EXPECT_EQ(TQSCRIPT_Execute(session_, "Fill"), call) << Error();
    EXPECT_FALSE(TQScriptBudget::Spent());
    EXPECT_EQ(TQSCRIPT_Execute(session_, "Fill"), 0.0);
    EXPECT_EQ(Error(), stop + " in Fill (Zeile 5, Spalte 9)");
    EXPECT_TRUE(TQSCRIPT_RanOutOfTime(session_));
    EXPECT_TRUE(TQScriptBudget::Spent());
    // spent: the next call fails at once, and the stop is said once
    EXPECT_EQ(TQSCRIPT_Execute(session_, "n"), 0.0);
    EXPECT_EQ(Error(), stop);
    EXPECT_TRUE(TQScriptBudget::ClaimStopMessage());
    EXPECT_FALSE(TQScriptBudget::ClaimStopMessage());
  }
  // g holds 4,000,000 bytes of texts (the fifth call failed before its copy): a new budget of 8 MiB has room for two
  // calls more, 4,08x,xxx + 2 * 2,000,000.
  TQScriptBudget again(10, 8u << 20);
  EXPECT_EQ(TQSCRIPT_Execute(session_, "Fill"), 6.0) << Error();
  EXPECT_EQ(TQSCRIPT_Execute(session_, "Fill"), 7.0) << Error();
  EXPECT_EQ(TQSCRIPT_Execute(session_, "Fill"), 0.0);
  EXPECT_EQ(Error(), stop + " in Fill (Zeile 5, Spalte 9)");
}

// A message box costs at least kTQScriptBoxSeconds of the time, however soon it is answered (here at once, without a
// screen, on a clock that stands still): 10 s pay for five boxes, and the sixth is not shown but stops the macro.
TEST_F(Script, MessageBoxesSpendTheTime) {
  ASSERT_EQ(TQSCRIPT_AddMacro(session_, "Sub Boxes()\n For i = 1 To 50\n  MsgBox \"Box \" & i\n Next\nEnd Sub"), 1);
  TQSCRIPT_SetClock([] { return 0.0; });
  struct BoxCase {
    bool budget;
    const char* stop;
  };
  const BoxCase cases[] = {
      {true, "Abbruch: Zeitbudget von 10 s für die Makros der Auswertung verbraucht in Boxes (Zeile 3, Spalte 3)"},
      {false, "Abbruch: Laufzeit über 10 s in Boxes (Zeile 3, Spalte 3)"},
  };
  for (const BoxCase& c : cases) {
    win::msgbox::ClearLog();
    std::optional<TQScriptBudget> budget;
    if (c.budget) budget.emplace(10);
    EXPECT_EQ(TQSCRIPT_Execute(session_, "Boxes"), 0.0);
    EXPECT_EQ(Error(), c.stop);
    ASSERT_EQ(win::msgbox::Log().size(), 5u) << c.budget;
    EXPECT_EQ(win::msgbox::Log().back().text, "Box 5");
    EXPECT_EQ(TQScriptBudget::Spent(), c.budget);
  }
  // A budget spent by boxes shows none in its next call, loaded text included.
  {
    TQScriptBudget budget(10);
    TQSCRIPT_Execute(session_, "Boxes");
    win::msgbox::ClearLog();
    EXPECT_EQ(TQSCRIPT_AddMacro(session_, "MsgBox \"noch eine\""), 0);
    EXPECT_TRUE(win::msgbox::Log().empty());
  }
  TQSCRIPT_SetClock(nullptr);
  win::msgbox::ClearLog();
}

// A procedure whose text was refused is unknown; its call says why the text was refused, which a load without a
// look at the errors (a document's) would otherwise never tell.
TEST_F(Script, ACallIntoARefusedTextSaysWhyItWasRefused) {
  const std::string file = testing::TempDir() + "/refused_" + std::to_string(::getpid()) + ".bas";
  std::ofstream(file) << "Sub Clean()\n Shell \"rm\"\nEnd Sub\n";
  EXPECT_EQ(TQSCRIPT_LoadMacroFile(session_, file.c_str()), 0);
  EXPECT_EQ(TQSCRIPT_AddMacro(session_, "Function Probe()\n Probe = CreateObject(\"x\")\nEnd Function"), 0);
  ASSERT_EQ(TQSCRIPT_AddMacro(session_, "Function Half(x)\n Half = x / 0\nEnd Function"), 1);
  const std::string why = " (die Makrodatei " + file + " wurde nicht geladen: nicht unterstützt: Shell, Zeile 2, " +
                          "Spalte 2; der Makrotext wurde nicht geladen: nicht unterstützt: CreateObject, Zeile 2, " +
                          "Spalte 10) (Zeile 1, Spalte 1)";
  EXPECT_EQ(Run("", "Probe()"), "error: Unbekannte Funktion: Probe" + why);
  EXPECT_EQ(Run("", "Clean"), "error: Unbekannte Funktion: Clean" + why);
  // other errors are the procedure's own
  EXPECT_EQ(Run("", "Half(1)").substr(0, 7), "error: ");
  EXPECT_EQ(Run("", "Half(1)").find("nicht geladen"), std::string::npos);
  // cleared, the session forgets the refused texts with everything else
  TQSCRIPT_ClearSession(session_);
  EXPECT_EQ(Run("", "Probe()"), "error: Unbekannte Funktion: Probe (Zeile 1, Spalte 1)");
  std::filesystem::remove(file);
}

// A text whose compiling makes more than the open budget holds is refused with the budget's message and loads
// nothing; the session keeps what it had, and the budget is spent for the calls after it. 20,000 lines of
// " x = x + 1" make 20,000 statements and 80,000 expressions (x, x, 1 and the sum), each node more than 64 bytes
// (a value, names and lists): over 6,400,000 bytes, beyond a budget of 1 MiB = 1,048,576; 20 of those lines load.
TEST_F(Script, CompilingATextCountsAgainstTheBudget) {
  ASSERT_EQ(TQSCRIPT_AddMacro(session_, "Function Earlier()\n Earlier = 7\nEnd Function"), 1);
  struct TextCase {
    int lines;
    bool loads;
  };
  for (const TextCase& c : {TextCase{20, true}, TextCase{20000, false}}) {
    TQScriptBudget budget(10, 1u << 20);
    EXPECT_EQ(TQSCRIPT_AddMacro(session_, NeverCalled(c.lines).c_str()), c.loads ? 1 : 0) << c.lines;
    if (c.loads) {
      EXPECT_EQ(Error(), "") << c.lines;
      EXPECT_FALSE(TQScriptBudget::Spent());
      continue;
    }
    EXPECT_EQ(Error(), "Abbruch: Speicherbudget von 1 MB für die Makros der Auswertung verbraucht");
    EXPECT_TRUE(TQSCRIPT_RanOutOfTime(session_));
    EXPECT_TRUE(TQScriptBudget::Spent());
  }
  EXPECT_EQ(Run("", "Earlier()"), "7");
}

// A macro text is bound as a macro file is: beyond 16 MiB it is refused before it is read, and a call of its
// procedures says why. One of exactly 16 MiB (comments, which make no tree) loads.
TEST_F(Script, AMacroTextIsBoundAsAMacroFileIs) {
  const std::size_t limit = 16u << 20;
  const std::string function = "Function Inside()\n Inside = 1\nEnd Function\n";
  std::string text = function;
  const std::string comment = "'" + std::string(1022, 'x') + "\n";
  while (text.size() + comment.size() <= limit) text += comment;
  text += "'" + std::string(limit - text.size() - 1, 'y');
  ASSERT_EQ(text.size(), limit);
  EXPECT_EQ(TQSCRIPT_AddMacro(session_, text.c_str()), 1) << Error();
  EXPECT_EQ(Run("", "Inside()"), "1");

  TQSCRIPT_ClearSession(session_);
  const std::string file = testing::TempDir() + "/large_" + std::to_string(::getpid()) + ".bas";
  std::ofstream(file, std::ios::binary) << text << "y";
  text += "y";
  struct BoundCase {
    bool fromFile;
    std::string refusal;
  };
  const BoundCase cases[] = {
      {false, "Makrotext zu groß: mehr als 16 MB"},
      {true, "Makrodatei zu groß: " + file},
  };
  for (const BoundCase& c : cases) {
    TQSCRIPT_ClearSession(session_);
    EXPECT_EQ(c.fromFile ? TQSCRIPT_LoadMacroFile(session_, file.c_str()) : TQSCRIPT_AddMacro(session_, text.c_str()),
              0);
    EXPECT_EQ(Error(), c.refusal);
    const std::string source = c.fromFile ? "die Makrodatei " + file : std::string("der Makrotext");
    EXPECT_EQ(Run("", "Inside()"), "error: Unbekannte Funktion: Inside (" + source +
                                       " wurde nicht geladen: " + c.refusal + ") (Zeile 1, Spalte 1)");
  }
  std::filesystem::remove(file);
}

// Without a budget a call may run its own limit: a loop that runs longer stops at its place.
TEST_F(Script, WithoutABudgetEachCallHasItsOwnLimit) {
  ASSERT_EQ(TQSCRIPT_AddMacro(session_, "Sub Endless()\n Do\n  x = x + 1\n Loop\nEnd Sub"), 1);
  Ticking clock;
  EXPECT_EQ(TQSCRIPT_Execute(session_, "Endless"), 0.0);
  int line = 0, column = 0;
  EXPECT_EQ(TQSCRIPT_GetLastError(session_, line, column),
            "Abbruch: Laufzeit über 10 s in Endless (Zeile 3, Spalte 3)");
  EXPECT_LE(clock.readings, 13);
  EXPECT_FALSE(TQScriptBudget::Spent());
}

}  // namespace

namespace {

// "-1, -1, ..." with n bounds: an empty array of n dimensions.
std::string EmptyBounds(int n) {
  std::string bounds = "-1";
  for (int i = 1; i < n; ++i) bounds += ", -1";
  return bounds;
}

// An array's bounds and its empty copies are memory too. A copy of an empty array of 60 dimensions holds its 60
// bounds of 4 bytes; 100,000 of them hold 24,000,000 bytes of bounds alone, beyond a budget of 16 MiB = 16,777,216
// bytes, though their elements are none. A copy of an empty array of one dimension holds its bound and its two lists
// (two pointers each), at least 4 + 2 * 16 = 36 bytes beside the 72 bytes of its place in the holder: 200,000 of them
// hold at least 21,600,000 bytes, beyond 20 MiB = 20,971,520, while their places alone (14,400,000) are not.
TEST_F(Script, EmptyArraysAndTheirBoundsCountAgainstTheBudget) {
  struct EmptyCase {
    int dimensions;
    int copies;
    std::size_t budgetBytes;
    const char* stop;
  };
  const EmptyCase cases[] = {
      {60, 100000, 16u << 20, "Abbruch: Speicherbudget von 16 MB für die Makros der Auswertung verbraucht in Fill"},
      {1, 200000, 20u << 20, "Abbruch: Speicherbudget von 20 MB für die Makros der Auswertung verbraucht in Fill"},
  };
  for (const EmptyCase& c : cases) {
    TQSCRIPT_ClearSession(session_);
    const std::string macro = "Sub Fill(n)\n ReDim e(" + EmptyBounds(c.dimensions) +
                              ")\n ReDim a(n - 1)\n For i = 0 To n - 1\n  a(i) = e\n Next\nEnd Sub";
    ASSERT_EQ(TQSCRIPT_AddMacro(session_, macro.c_str()), 1) << Error();
    TQScriptBudget budget(10, c.budgetBytes);
    EXPECT_EQ(TQSCRIPT_Execute(session_, ("Fill " + std::to_string(c.copies)).c_str()), 0.0);
    EXPECT_EQ(Error().substr(0, std::string(c.stop).size()), c.stop) << c.dimensions;
    EXPECT_TRUE(TQScriptBudget::Spent()) << c.dimensions;
  }
}

// Arrays have at most 60 dimensions: a copy of an array of thousands of empty dimensions would cost kilobytes of
// bounds and nothing else.
TEST_F(Script, ArraysHaveAtMostSixtyDimensions) {
  struct DimensionCase {
    std::string statement;
    const char* refusal;  // empty: loads
  };
  const DimensionCase cases[] = {
      {"ReDim e(-1)", ""},
      {"ReDim e(" + EmptyBounds(60) + ")", ""},
      {"Dim e(" + EmptyBounds(60) + ")\nn = UBound(e, 60)", ""},
      {"Dim e(" + EmptyBounds(61) + ")", "mehr als 60 Dimensionen"},
      {"ReDim e(" + EmptyBounds(3000) + ")", "mehr als 60 Dimensionen"},
  };
  for (const DimensionCase& c : cases) {
    TQSCRIPT_ClearSession(session_);
    const int loaded = TQSCRIPT_AddMacro(session_, c.statement.c_str());
    const std::string error = Error();
    if (*c.refusal) {
      EXPECT_EQ(loaded, 0) << c.statement.size();
      EXPECT_NE(error.find(c.refusal), std::string::npos) << error;
    } else {
      EXPECT_EQ(loaded, 1) << error;
    }
  }
}

// Peak memory growth (KiB) of one call of `statement` after `macro` (within a budget of `budgetBytes` when it is
// not 0), in a child process, and whether the load or the call failed for memory.
struct Measured {
  long growthKiB = -1;
  bool stoppedForMemory = false;
  bool loaded = false;
};
Measured RunMeasured(const std::string& macro, const std::string& statement, std::size_t budgetBytes = 0) {
  int pipe[2];
  if (::pipe(pipe) != 0) return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe[0]);
    const int session = TQSCRIPT_StartSession();
    std::optional<TQScriptBudget> budget;
    if (budgetBytes) budget.emplace(kTQScriptTimeLimit, budgetBytes);
    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    const bool loaded = TQSCRIPT_AddMacro(session, macro.c_str()) == 1;
    int line = 0, column = 0;
    std::string error = TQSCRIPT_GetLastError(session, line, column);
    if (loaded) {
      TQSCRIPT_Execute(session, statement.c_str());
      error = TQSCRIPT_GetLastError(session, line, column);
    }
    ::getrusage(RUSAGE_SELF, &after);
    const Measured m{after.ru_maxrss - before.ru_maxrss,
                     error.find("MB Texte und Arrays erzeugt") != std::string::npos ||
                         error.find("Speicherbudget") != std::string::npos,
                     loaded};
    const bool written = ::write(pipe[1], &m, sizeof m) == ssize_t(sizeof m);
    ::_exit(written ? 0 : 1);
  }
  ::close(pipe[1]);
  Measured m;
  if (child < 0 || ::read(pipe[0], &m, sizeof m) != ssize_t(sizeof m)) m = {};
  ::close(pipe[0]);
  int status = 0;
  if (child > 0) ::waitpid(child, &status, 0);
  return m;
}

// A call that copies an array of 10,000 empty arrays again and again is stopped near its 256 MB, measured by the
// memory the process really takes: the empty arrays' own bytes count.
TEST(ScriptMemory, CopiesOfEmptyArraysStayNearTheLimit) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's red zones and quarantine are memory the budget does not count";
#endif
  const Measured m = RunMeasured(
      "Sub Grow()\n ReDim e(-1)\n ReDim a(9999)\n For i = 0 To 9999: a(i) = e: Next\n ReDim b(9999)\n"
      " For i = 0 To 9999: b(i) = a: Next\nEnd Sub",
      "Grow");
  ASSERT_GE(m.growthKiB, 0) << "the child measured nothing";
  EXPECT_TRUE(m.loaded);
  EXPECT_TRUE(m.stoppedForMemory);
  // 256 MiB and a quarter for what the allocator keeps beyond the blocks counted.
  EXPECT_LT(m.growthKiB, 320 * 1024);
}

// Compiling a text is memory the budget counts, measured by what the process really takes. Its tree and tokens
// take a few hundred bytes a byte of statements: 100,000 lines (1.1 MB) took about 250 MB, loaded, before they
// were counted; within a budget of 32 MiB the load stops near it.
TEST(ScriptMemory, CompilingALongTextStopsNearTheBudget) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's red zones and quarantine are memory the budget does not count";
#endif
  const std::string macro = NeverCalled(100000);
  const Measured m = RunMeasured(macro, "Never", 32u << 20);
  ASSERT_GE(m.growthKiB, 0) << "the child measured nothing";
  EXPECT_FALSE(m.loaded);
  EXPECT_TRUE(m.stoppedForMemory);
  // 32 MiB and a quarter for what the allocator keeps beyond the blocks counted, and the text's own 1.1 MB
  EXPECT_LT(m.growthKiB, 40 * 1024 + long(macro.size() / 1024));
}

// A run stops soon after its time is spent, also where a statement runs long: built-in calls on long texts make the
// clock be read, not only the statements run. Generous bounds on a real clock: a budget of 0.2 s, stopped within
// 2 s; before, 1024 statements of ten calls ran before the first reading (over a minute), and one statement of a
// thousand calls ran to its end whatever the budget.
TEST(ScriptTime, LongStatementsStopSoonAfterTheBudget) {
  std::string tenCalls = "Len(s)", thousandCalls = "Len(s)";
  for (int i = 1; i < 10; ++i) tenCalls += " + Len(s)";
  for (int i = 1; i < 1000; ++i) thousandCalls += ", Len(s)";
  const std::string statements[] = {
      "Sub Run()\n s = Space(1000000)\n Do\n  x = " + tenCalls + "\n Loop\nEnd Sub",
      "Sub Run()\n s = Space(1000000)\n x = Array(" + thousandCalls + ")\nEnd Sub",
  };
  for (const std::string& macro : statements) {
    const int session = TQSCRIPT_StartSession();
    ASSERT_EQ(TQSCRIPT_AddMacro(session, macro.c_str()), 1);
    const auto start = std::chrono::steady_clock::now();
    {
      TQScriptBudget budget(0.2);
      EXPECT_EQ(TQSCRIPT_Execute(session, "Run"), 0.0);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    int line = 0, column = 0;
    EXPECT_EQ(TQSCRIPT_GetLastError(session, line, column).rfind("Abbruch: Zeitbudget von 0.2 s ", 0), 0u)
        << macro.substr(0, 60);
    EXPECT_TRUE(TQSCRIPT_RanOutOfTime(session));
    EXPECT_LT(seconds, 2.2) << macro.substr(0, 60);
    TQSCRIPT_EndSession(session);
  }
}

}  // namespace

namespace {

// The searches of the built-in calls, where the sought text overlaps itself (worked out by hand).
TEST_F(Script, SearchesFindOverlappingTexts) {
  const Case cases[] = {
      {"InStr(\"aabaabaaab\", \"aaab\")", "7"},
      {"InStr(8, \"aabaabaaab\", \"aab\")", "8"},
      {"InStr(9, \"aabaabaaab\", \"aab\")", "0"},
      {"InStr(\"abc\", \"\")", "1"},
      {"InStr(1, \"xAaAb\", \"aab\", 1)", "3"},
      {"InStrRev(\"abcabcab\", \"cab\")", "6"},
      {"InStrRev(\"abcabcab\", \"cab\", 7)", "3"},
      {"InStrRev(\"aaaa\", \"aa\")", "3"},
      {"InStrRev(\"xAaAb\", \"aab\", -1, 1)", "3"},
      {"Replace(\"aaaa\", \"aa\", \"b\")", "bb"},
      {"Replace(\"abAB\", \"ab\", \"-\", 1, -1, 1)", "--"},
      {"Join(Split(\"xaabaaby\", \"aab\"), \"|\")", "x||y"},
  };
  for (const Case& c : cases) EXPECT_EQ(Run("", c.statement), c.expected) << c.statement;
}

// A search of a long text of one character for a text that almost repeats it is one call whose time the budget
// cannot stop: it takes time linear in the lengths. Compared at every place, 100,000 places of 100,000 characters
// each are 10^10 comparisons, many seconds; linear, well under one.
TEST(ScriptTime, SearchesTakeTimeLinearInTheTexts) {
  const Case cases[] = {
      {"InStr(String(200000, \"a\"), String(100000, \"a\") & \"b\")", "0"},
      {"InStrRev(String(200000, \"a\"), \"b\" & String(100000, \"a\"))", "0"},
      {"UBound(Split(String(200000, \"a\"), String(100000, \"a\") & \"b\"))", "0"},
      {"Len(Replace(String(200000, \"a\"), String(100000, \"a\") & \"b\", \"x\"))", "200000"},
  };
  const int session = TQSCRIPT_StartSession();
  for (const Case& c : cases) {
    const auto start = std::chrono::steady_clock::now();
    TQSCRIPT_Execute(session, c.statement);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(TQSCRIPT_GetStrResult(session), c.expected) << c.statement;
    EXPECT_LT(seconds, 1.5) << c.statement;
  }
  TQSCRIPT_EndSession(session);
}

}  // namespace
