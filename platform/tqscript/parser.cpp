#include <algorithm>
#include <cctype>
#include <cmath>
#include <set>

#include "platform/tqscript/script_internal.h"
#include "platform/win/base/codepage.h"

namespace tqscript {
namespace {

// Names that would reach objects, the file system, other code or the clock: refused where they stand.
const std::set<std::string> kRefusedNames = {
    "CREATEOBJECT", "GETOBJECT",   "EVAL",  "EXECUTE",   "EXECUTEGLOBAL", "SHELL",        "WSCRIPT",  "GETREF",
    "INPUTBOX",     "LOADPICTURE", "SET",   "NEW",       "CLASS",         "WITH",         "PROPERTY", "ON",
    "RANDOMIZE",    "RND",         "NOW",   "DATE",      "TIME",          "TIMER",        "OPEN",     "KILL",
    "FILECOPY",     "MKDIR",       "RMDIR", "CHDIR",     "DIR",           "ENVIRON",      "NOTHING",  "NULL",
    "ERASE",        "GOTO",        "STOP",  "SETLOCALE", "GETLOCALE",     "SCRIPTENGINE", "ERR"};

// Words that end an expression or a statement and cannot name a variable.
const std::set<std::string> kKeywords = {
    "AND",   "OR",    "XOR",      "EQV",    "IMP",      "NOT",      "MOD",     "IS",   "THEN",  "ELSE", "ELSEIF",
    "END",   "IF",    "FOR",      "TO",     "STEP",     "NEXT",     "EACH",    "IN",   "DO",    "LOOP", "WHILE",
    "UNTIL", "WEND",  "SELECT",   "CASE",   "EXIT",     "FUNCTION", "SUB",     "DIM",  "CONST", "CALL", "BYVAL",
    "BYREF", "REDIM", "PRESERVE", "OPTION", "EXPLICIT", "PUBLIC",   "PRIVATE", "TRUE", "FALSE", "EMPTY"};

constexpr int kMaxNesting = 100;
constexpr int kMaxExpressionHeight = 500;

struct Token {
  enum class Kind { Name, Number, String, Symbol, EndOfLine, Colon, End };
  Kind kind = Kind::End;
  std::string text;   // as written (symbols: the operator)
  std::string upper;  // names: upper case
  Value value;        // literals
  int line = 1, column = 1;
};

std::string Upper(std::string_view s) { return UpperText(s); }

// What compiling a text makes (its tokens, its tree, the names it declares) counts against the budget as the values
// of a run do: a text of megabytes of statements would otherwise take gigabytes before a line of it ran. A list
// counts with the block it holds, charged before it grows into it.
template <typename T, typename Item>
void Keep(std::vector<T>& list, Item&& item) {
  if (list.size() == list.capacity()) {
    const std::size_t grown = std::max<std::size_t>(1, 2 * list.capacity());
    ChargeMemory(HeapBlock(grown * sizeof(T)) - HeapBlock(list.capacity() * sizeof(T)));
  }
  list.push_back(std::forward<Item>(item));
}

// The name's node in the set of declared names; false when it was declared before.
bool Declare(std::set<std::string>& names, const std::string& name) {
  if (!names.insert(name).second) return false;
  // a node holds three links and a colour beside its text
  ChargeMemory(HeapBlock(32 + sizeof(std::string)) + TextBytes(name.capacity()));
  return true;
}

// The place and text of a name in the tree.
void ChargeNames(const std::string& name, const std::string& shown) {
  ChargeMemory(TextBytes(name.capacity()) + TextBytes(shown.capacity()));
}

// The byte length of the name character at i (a letter; after the first also a digit or "_"), 0 when there is none.
std::size_t NameCharLength(std::string_view src, std::size_t i, bool first) {
  unsigned char c = static_cast<unsigned char>(src[i]);
  if (c < 0x80) return (std::isalpha(c) || (!first && (std::isdigit(c) || c == '_'))) ? 1 : 0;
  std::size_t pos = i;
  bool raw = false;
  char32_t cp = win::NextCodePoint(src, pos, &raw);
  return !raw && IsLatinLetter(cp) ? pos - i : 0;
}

// The end of the decimal number that starts at i; isDouble when it has a point or an exponent.
std::size_t DecimalEnd(std::string_view src, std::size_t i, bool& isDouble) {
  auto digits = [&]() {
    while (i < src.size() && std::isdigit(static_cast<unsigned char>(src[i]))) ++i;
  };
  digits();
  if (i < src.size() && src[i] == '.') {
    isDouble = true;
    ++i;
    digits();
  }
  if (i < src.size() && (src[i] == 'e' || src[i] == 'E')) {
    std::size_t k = i + 1;
    if (k < src.size() && (src[k] == '+' || src[k] == '-')) ++k;
    if (k < src.size() && std::isdigit(static_cast<unsigned char>(src[k]))) {
      isDouble = true;
      i = k;
      digits();
    }
  }
  return i;
}

// The text of the string literal whose opening quote is at i ("" inside stands for one quote); end is set
// after its closing quote.
std::string StringLiteral(std::string_view src, std::size_t i, std::size_t& end, int line, int column) {
  std::string s;
  ++i;
  for (;;) {
    if (i >= src.size() || src[i] == '\n' || src[i] == '\r') Fail("Zeichenfolge nicht abgeschlossen", line, column);
    if (src[i] == '"') {
      if (i + 1 < src.size() && src[i + 1] == '"') {
        s += '"';
        i += 2;
        continue;
      }
      ++i;
      break;
    }
    s += src[i];
    ++i;
  }
  end = i;
  return s;
}

std::vector<Token> Tokenize(std::string_view src) {
  std::vector<Token> tokens;
  auto Emit = [&](Token& t) {
    ChargeMemory(TextBytes(t.text.capacity()) + TextBytes(t.upper.capacity()));
    Keep(tokens, std::move(t));
  };
  std::size_t i = 0;
  int line = 1, column = 1;
  auto advance = [&](std::size_t n) {
    for (std::size_t k = 0; k < n && i < src.size(); ++k, ++i)
      if ((static_cast<unsigned char>(src[i]) & 0xC0) != 0x80) ++column;  // columns count characters
  };
  auto newline = [&]() {
    if (src[i] == '\r' && i + 1 < src.size() && src[i + 1] == '\n') ++i;
    ++i;
    ++line;
    column = 1;
  };
  auto skipToLineEnd = [&]() {
    while (i < src.size() && src[i] != '\n' && src[i] != '\r') advance(1);
  };
  while (i < src.size()) {
    char c = src[i];
    Token t;
    t.line = line;
    t.column = column;
    if (c == ' ' || c == '\t' || c == '\f' || c == '\v') {
      advance(1);
      continue;
    }
    if (c == '\n' || c == '\r') {
      newline();
      t.kind = Token::Kind::EndOfLine;
      Emit(t);
      continue;
    }
    if (c == '\'') {
      skipToLineEnd();
      continue;
    }
    if (c == '_') {
      // A line continuation: "_" with only blanks up to the line's end.
      std::size_t k = i + 1;
      while (k < src.size() && (src[k] == ' ' || src[k] == '\t')) ++k;
      if (k >= src.size() || src[k] == '\n' || src[k] == '\r') {
        advance(k - i);
        if (i < src.size()) newline();
        continue;
      }
      Fail("Ungültiges Zeichen: _", line, column);
    }
    if (NameCharLength(src, i, true)) {
      std::size_t b = i;
      for (std::size_t n = 0; i < src.size() && (n = NameCharLength(src, i, false)) != 0;) advance(n);
      t.kind = Token::Kind::Name;
      t.text = std::string(src.substr(b, i - b));
      t.upper = Upper(t.text);
      if (t.upper == "REM") {
        skipToLineEnd();
        continue;
      }
      Emit(t);
      continue;
    }
    if (std::isdigit(static_cast<unsigned char>(c)) ||
        (c == '.' && i + 1 < src.size() && std::isdigit(static_cast<unsigned char>(src[i + 1])))) {
      std::size_t b = i;
      bool isDouble = false;
      advance(DecimalEnd(src, i, isDouble) - i);
      if (i < src.size() && (std::isalpha(static_cast<unsigned char>(src[i])) || src[i] == '_'))
        Fail("Syntaxfehler: ungültige Zahl", t.line, t.column);
      t.kind = Token::Kind::Number;
      t.text = std::string(src.substr(b, i - b));
      double d = 0;
      if (!ParseNumber(t.text, d)) Fail("Überlauf: " + t.text, t.line, t.column);
      t.value = (!isDouble && d <= INT32_MAX) ? Value::Int(static_cast<int64_t>(d)) : Value::Dbl(d);
      Emit(t);
      continue;
    }
    if (c == '&' && i + 1 < src.size() && (src[i + 1] == 'H' || src[i + 1] == 'h') && i + 2 < src.size() &&
        std::isxdigit(static_cast<unsigned char>(src[i + 2]))) {
      std::size_t b = i;
      advance(2);
      while (i < src.size() && std::isxdigit(static_cast<unsigned char>(src[i]))) advance(1);
      if (i < src.size() && src[i] == '&') advance(1);  // the Long suffix
      t.kind = Token::Kind::Number;
      t.text = std::string(src.substr(b, i - b));
      std::string digits = t.text.back() == '&' ? t.text.substr(0, t.text.size() - 1) : t.text;
      double d = 0;
      if (!ParseNumber(digits, d)) Fail("Überlauf: " + t.text, t.line, t.column);
      t.value = Value::Int(static_cast<int64_t>(d));
      Emit(t);
      continue;
    }
    if (c == '"') {
      std::size_t end = i;
      std::string s = StringLiteral(src, i, end, t.line, t.column);
      advance(end - i);
      t.kind = Token::Kind::String;
      t.text = s;
      t.value = Value::Str(std::move(s));
      Emit(t);
      continue;
    }
    if (c == ':') {
      advance(1);
      t.kind = Token::Kind::Colon;
      Emit(t);
      continue;
    }
    static const char* const kTwo[] = {"<>", "<=", ">="};
    bool two = false;
    for (const char* op : kTwo)
      if (i + 1 < src.size() && src[i] == op[0] && src[i + 1] == op[1]) two = true;
    if (two || std::string_view("+-*/\\^&=<>(),.").find(c) != std::string_view::npos) {
      t.kind = Token::Kind::Symbol;
      t.text = std::string(src.substr(i, two ? 2 : 1));
      advance(two ? 2 : 1);
      Emit(t);
      continue;
    }
    if (c == '#') Fail("nicht unterstützt: Datumsangabe", line, column);
    // Show the whole character, not its first byte.
    unsigned char lead = static_cast<unsigned char>(c);
    std::size_t len = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    std::string shown(src.substr(i, std::min(len, src.size() - i)));
    Fail("Ungültiges Zeichen: " + shown, line, column);
  }
  Token end;
  end.kind = Token::Kind::EndOfLine;
  end.line = line;
  end.column = column;
  Keep(tokens, end);
  end.kind = Token::Kind::End;
  Keep(tokens, end);
  return tokens;
}

class Parser {
 public:
  explicit Parser(const std::vector<Token>& tokens) : tokens_(tokens) {}

  Program ParseProgram() {
    Program program;
    std::set<std::string> procNames;
    std::set<std::string> moduleNames;
    for (;;) {
      SkipSeparators();
      if (At(Token::Kind::End)) break;
      std::size_t save = pos_;
      if (IsWord("PUBLIC") || IsWord("PRIVATE")) {
        Next();
        if (!IsWord("FUNCTION") && !IsWord("SUB")) {
          if (IsWord("CONST")) {
            Keep(program.statements, ParseStatementLine(moduleNames));
            continue;
          }
          // "Public x" declares like Dim.
          pos_ = save;
        }
      }
      if (IsWord("FUNCTION") || IsWord("SUB")) {
        auto proc = ParseProcedure();
        if (!Declare(procNames, proc->name)) Fail("Name mehrfach definiert: " + proc->shown, proc->line, proc->column);
        Keep(program.procedures, std::move(proc));
        continue;
      }
      if (IsWord("OPTION")) {
        Next();
        ExpectWord("EXPLICIT");
        program.optionExplicit = true;
        ExpectEndOfStatement();
        continue;
      }
      Keep(program.statements, ParseStatementLine(moduleNames));
    }
    return program;
  }

  // A statement given to Execute as an expression, or null when the text is not one whole expression (`error` then says
  // where reading it as one failed).
  ExprP TryWholeExpression(ScriptError& error) {
    try {
      SkipSeparators();
      if (At(Token::Kind::End)) return nullptr;
      ExprP e = ParseExpression();
      SkipSeparators();
      if (!At(Token::Kind::End)) Unexpected("Textende");
      return e;
    } catch (const ScriptError& e) {
      // A limit of the run (memory, time) is no place in the text: read as statements it would stop again.
      if (e.outOfTime || e.line == 0) throw;
      error = e;
      return nullptr;
    }
  }

  Block ParseLooseStatements() {
    Block block;
    std::set<std::string> names;
    for (;;) {
      SkipSeparators();
      if (At(Token::Kind::End)) break;
      if (IsWord("FUNCTION") || IsWord("SUB") || IsWord("OPTION"))
        Fail("Syntaxfehler: " + Peek().text + " ist hier nicht erlaubt", Peek().line, Peek().column);
      Keep(block, ParseStatementLine(names));
    }
    return block;
  }

 private:
  const std::vector<Token>& tokens_;
  std::size_t pos_ = 0;
  int depth_ = 0;
  int forDepth_ = 0, doDepth_ = 0;
  std::string procKind_;  // "FUNCTION", "SUB" or "" at module level

  struct DepthGuard {
    Parser& p;
    explicit DepthGuard(Parser& parser) : p(parser) {
      if (++p.depth_ > kMaxNesting) Fail("Ausdruck oder Block zu tief verschachtelt", p.Peek().line, p.Peek().column);
    }
    ~DepthGuard() { --p.depth_; }
  };

  const Token& Peek(std::size_t ahead = 0) const { return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)]; }
  const Token& Next() {
    const Token& t = tokens_[pos_];
    if (pos_ + 1 < tokens_.size()) ++pos_;
    return t;
  }
  bool At(Token::Kind k) const { return Peek().kind == k; }
  bool IsWord(const char* w, std::size_t ahead = 0) const {
    return Peek(ahead).kind == Token::Kind::Name && Peek(ahead).upper == w;
  }
  bool IsSymbol(const char* s) const { return Peek().kind == Token::Kind::Symbol && Peek().text == s; }
  bool AtEndOfStatement() const { return At(Token::Kind::EndOfLine) || At(Token::Kind::Colon) || At(Token::Kind::End); }

  [[noreturn]] void Unexpected(const std::string& expected) const {
    const Token& t = Peek();
    std::string found = t.kind == Token::Kind::EndOfLine ? "Zeilenende"
                        : t.kind == Token::Kind::End     ? "Textende"
                        : t.kind == Token::Kind::Colon   ? "':'"
                        : t.kind == Token::Kind::String  ? "\"" + t.text + "\""
                                                         : "'" + t.text + "'";
    Fail("Syntaxfehler: " + expected + " erwartet, " + found + " gefunden", t.line, t.column);
  }

  void ExpectWord(const char* w) {
    if (!IsWord(w)) {
      std::string shown = w;
      for (std::size_t k = 1; k < shown.size(); ++k)
        shown[k] = static_cast<char>(std::tolower(static_cast<unsigned char>(shown[k])));
      Unexpected("'" + shown + "'");
    }
    Next();
  }
  void ExpectSymbol(const char* s) {
    if (!IsSymbol(s)) Unexpected(std::string("'") + s + "'");
    Next();
  }
  void ExpectEndOfStatement() {
    if (!AtEndOfStatement()) Unexpected("Anweisungsende");
  }
  void SkipSeparators() {
    while (At(Token::Kind::EndOfLine) || At(Token::Kind::Colon)) Next();
  }

  void RefuseName(const Token& t) const {
    if (t.kind == Token::Kind::Name && kRefusedNames.count(t.upper))
      Fail("nicht unterstützt: " + t.text, t.line, t.column);
  }

  // A name that may denote a variable, a constant, a parameter or a procedure.
  const Token& ExpectIdentifier(const char* what) {
    const Token& t = Peek();
    RefuseName(t);
    if (t.kind != Token::Kind::Name || kKeywords.count(t.upper)) Unexpected(what);
    return Next();
  }

  std::shared_ptr<Procedure> ParseProcedure() {
    // with the counts that share it
    ChargeMemory(HeapBlock(sizeof(Procedure) + 16));
    auto proc = std::make_shared<Procedure>();
    proc->isFunction = IsWord("FUNCTION");
    procKind_ = proc->isFunction ? "FUNCTION" : "SUB";
    Next();
    const Token& name = ExpectIdentifier("Prozedurname");
    proc->name = name.upper;
    proc->shown = name.text;
    proc->line = name.line;
    proc->column = name.column;
    ChargeNames(proc->name, proc->shown);
    std::set<std::string> names;
    if (IsSymbol("(")) {
      Next();
      if (!IsSymbol(")")) {
        for (;;) {
          Param p;
          if (IsWord("BYVAL")) {
            p.byRef = false;
            Next();
          } else if (IsWord("BYREF")) {
            Next();
          }
          const Token& pn = ExpectIdentifier("Parametername");
          p.name = pn.upper;
          p.shown = pn.text;
          ChargeNames(p.name, p.shown);
          if (p.name == proc->name || !Declare(names, p.name))
            Fail("Name mehrfach definiert: " + pn.text, pn.line, pn.column);
          if (IsSymbol("(")) {
            Next();
            ExpectSymbol(")");
          }
          Keep(proc->params, std::move(p));
          if (IsSymbol(",")) {
            Next();
            continue;
          }
          break;
        }
      }
      ExpectSymbol(")");
    }
    ExpectEndOfStatement();
    proc->body = ParseBlock(names, [&] { return IsWord("END") && IsWord(procKind_.c_str(), 1); });
    if (!(IsWord("END") && IsWord(procKind_.c_str(), 1))) Unexpected(proc->isFunction ? "'End Function'" : "'End Sub'");
    Next();
    Next();
    ExpectEndOfStatement();
    procKind_.clear();
    return proc;
  }

  template <typename Stop>
  Block ParseBlock(std::set<std::string>& names, Stop stop) {
    DepthGuard guard(*this);
    Block block;
    for (;;) {
      SkipSeparators();
      if (At(Token::Kind::End) || stop()) break;
      if (IsWord("FUNCTION") || IsWord("SUB"))
        Fail("Syntaxfehler: Prozedur in einer Prozedur oder einem Block", Peek().line, Peek().column);
      if (IsWord("END") && !IsWord("IF", 1) && !IsWord("SELECT", 1) && !IsWord("FUNCTION", 1) && !IsWord("SUB", 1))
        Unexpected("Anweisung");
      // A closing word that belongs to no open block ends it; the caller reports what it expected.
      if (IsWord("END") || IsWord("NEXT") || IsWord("LOOP") || IsWord("WEND") || IsWord("ELSE") || IsWord("ELSEIF") ||
          IsWord("CASE"))
        break;
      Keep(block, ParseStatementLine(names));
    }
    return block;
  }

  // One statement, then its end (line end, ':' or, in a one-line If, Else).
  StmtP ParseStatementLine(std::set<std::string>& names) {
    StmtP s = ParseStatement(names, false);
    if (!AtEndOfStatement()) Unexpected("Anweisungsende");
    return s;
  }

  StmtP NewStmt(Stmt::Kind kind, const Token& at) {
    ChargeMemory(HeapBlock(sizeof(Stmt)));
    auto s = std::make_unique<Stmt>();
    s->kind = kind;
    s->line = at.line;
    s->column = at.column;
    return s;
  }

  DimItem ParseDimItem(bool redim) {
    const Token& n = ExpectIdentifier("Variablenname");
    DimItem d;
    d.name = n.upper;
    d.shown = n.text;
    d.line = n.line;
    d.column = n.column;
    ChargeNames(d.name, d.shown);
    if (IsSymbol("(")) {
      Next();
      d.isArray = true;
      if (!IsSymbol(")")) {
        for (;;) {
          Keep(d.bounds, ParseExpression());
          if (!IsSymbol(",")) break;
          Next();
        }
      }
      ExpectSymbol(")");
      if (redim && d.bounds.empty()) Unexpected("Arraygrenze");
    } else if (redim) {
      Unexpected("'('");
    }
    return d;
  }

  StmtP ParseStatement(std::set<std::string>& names, bool inLineIf) {
    DepthGuard guard(*this);
    const Token& t = Peek();
    RefuseName(t);
    if (t.kind != Token::Kind::Name) Unexpected("Anweisung");
    const std::string& w = t.upper;
    if (w == "DIM" || w == "PUBLIC" || w == "PRIVATE") {
      Next();
      auto s = NewStmt(Stmt::Kind::Dim, t);
      for (;;) {
        DimItem d = ParseDimItem(false);
        if (!Declare(names, d.name)) Fail("Name mehrfach definiert: " + d.shown, d.line, d.column);
        Keep(s->dims, std::move(d));
        if (!IsSymbol(",")) break;
        Next();
      }
      return s;
    }
    if (w == "REDIM") {
      Next();
      auto s = NewStmt(Stmt::Kind::ReDim, t);
      if (IsWord("PRESERVE")) {
        s->preserve = true;
        Next();
      }
      for (;;) {
        Keep(s->dims, ParseDimItem(true));
        if (!IsSymbol(",")) break;
        Next();
      }
      return s;
    }
    if (w == "CONST") {
      Next();
      auto s = NewStmt(Stmt::Kind::Const, t);
      for (;;) {
        const Token& n = ExpectIdentifier("Konstantenname");
        DimItem d;
        d.name = n.upper;
        d.shown = n.text;
        d.line = n.line;
        d.column = n.column;
        ChargeNames(d.name, d.shown);
        if (!Declare(names, d.name)) Fail("Name mehrfach definiert: " + n.text, n.line, n.column);
        ExpectSymbol("=");
        Keep(s->consts, std::pair(std::move(d), ParseExpression()));
        if (!IsSymbol(",")) break;
        Next();
      }
      return s;
    }
    if (w == "IF") return ParseIf(names, inLineIf);
    if (w == "FOR") return ParseFor(names);
    if (w == "DO") return ParseDo(names);
    if (w == "WHILE") {
      Next();
      auto s = NewStmt(Stmt::Kind::Do, t);
      s->hasCond = true;
      Keep(s->conds, ParseExpression());
      ExpectEndOfStatement();
      Keep(s->blocks, ParseBlock(names, [&] { return IsWord("WEND"); }));
      ExpectWord("WEND");
      // "Exit Do" does not leave a While loop: it leaves the Do around it.
      s->wend = true;
      return s;
    }
    if (w == "SELECT") return ParseSelect(names);
    if (w == "EXIT") {
      Next();
      if (IsWord("FOR")) {
        if (forDepth_ == 0) Fail("Syntaxfehler: 'Exit For' außerhalb einer For-Schleife", t.line, t.column);
        Next();
        return NewStmt(Stmt::Kind::ExitFor, t);
      }
      if (IsWord("DO")) {
        if (doDepth_ == 0) Fail("Syntaxfehler: 'Exit Do' außerhalb einer Do-Schleife", t.line, t.column);
        Next();
        return NewStmt(Stmt::Kind::ExitDo, t);
      }
      if (IsWord("FUNCTION") || IsWord("SUB")) {
        if (Peek().upper != procKind_)
          Fail("Syntaxfehler: 'Exit " + Peek().text + "' außerhalb einer solchen Prozedur", t.line, t.column);
        Next();
        return NewStmt(Stmt::Kind::ExitProc, t);
      }
      Unexpected("'For', 'Do', 'Function' oder 'Sub'");
    }
    if (w == "CALL") {
      Next();
      auto s = NewStmt(Stmt::Kind::Call, t);
      const Token& n = ExpectIdentifier("Prozedurname");
      s->target = NameExpr(n);
      if (IsSymbol("(")) ParseArgs(*s->target);
      return s;
    }
    if (w == "OPTION") Fail("Syntaxfehler: 'Option Explicit' gehört an den Anfang des Textes", t.line, t.column);
    if (kKeywords.count(w)) Unexpected("Anweisung");
    // An assignment or a procedure call.
    const Token& n = Next();
    ExprP target = NameExpr(n);
    if (IsSymbol(".")) Fail("nicht unterstützt: Objektzugriff " + n.text + ".", Peek().line, Peek().column);
    if (IsSymbol("(")) {
      // "Name(a, b) = x", "Name(a, b)" or "Name (a) + 1, b": decided by what follows the brackets.
      std::size_t save = pos_;
      ParseArgs(*target);
      if (IsSymbol("=")) {
        Next();
        auto s = NewStmt(Stmt::Kind::Assign, t);
        s->target = std::move(target);
        s->from = ParseExpression();
        return s;
      }
      if (AtEndOfStatement() || (inLineIf && IsWord("ELSE"))) {
        auto s = NewStmt(Stmt::Kind::Call, t);
        s->target = std::move(target);
        return s;
      }
      pos_ = save;
      target->args.clear();
      target->hasArgs = false;
    } else if (IsSymbol("=")) {
      Next();
      auto s = NewStmt(Stmt::Kind::Assign, t);
      s->target = std::move(target);
      s->from = ParseExpression();
      return s;
    }
    auto s = NewStmt(Stmt::Kind::Call, t);
    if (!AtEndOfStatement() && !(inLineIf && IsWord("ELSE"))) {
      target->hasArgs = true;
      for (;;) {
        Keep(target->args, ParseExpression());
        if (!IsSymbol(",")) break;
        Next();
      }
    }
    s->target = std::move(target);
    return s;
  }

  StmtP ParseIf(std::set<std::string>& names, bool inLineIf) {
    const Token& t = Next();
    auto s = NewStmt(Stmt::Kind::If, t);
    Keep(s->conds, ParseExpression());
    ExpectWord("THEN");
    if (!At(Token::Kind::EndOfLine) && !At(Token::Kind::End)) {
      // One line: statements separated by ':' up to the line's end, perhaps with an Else part.
      auto parseLinePart = [&](Block& block) {
        for (;;) {
          Keep(block, ParseStatement(names, true));
          if (At(Token::Kind::Colon)) {
            Next();
            if (At(Token::Kind::EndOfLine) || At(Token::Kind::End)) break;
            if (IsWord("ELSE")) break;
            continue;
          }
          break;
        }
      };
      Keep(s->blocks, Block{});
      parseLinePart(s->blocks.back());
      if (IsWord("ELSE")) {
        Next();
        Keep(s->blocks, Block{});
        parseLinePart(s->blocks.back());
      }
      // A one-line If may close with "End If" on the same line.
      if (IsWord("END") && IsWord("IF", 1)) {
        Next();
        Next();
      }
      if (!At(Token::Kind::EndOfLine) && !At(Token::Kind::End) && !(inLineIf && At(Token::Kind::Colon)))
        Unexpected("Zeilenende");
      return s;
    }
    auto stop = [&] { return IsWord("ELSEIF") || IsWord("ELSE") || (IsWord("END") && IsWord("IF", 1)); };
    Keep(s->blocks, ParseBlock(names, stop));
    while (IsWord("ELSEIF")) {
      Next();
      Keep(s->conds, ParseExpression());
      ExpectWord("THEN");
      ExpectEndOfStatement();
      Keep(s->blocks, ParseBlock(names, stop));
    }
    if (IsWord("ELSE")) {
      Next();
      Keep(s->blocks, ParseBlock(names, [&] { return IsWord("END") && IsWord("IF", 1); }));
    }
    if (!(IsWord("END") && IsWord("IF", 1))) Unexpected("'End If'");
    Next();
    Next();
    return s;
  }

  StmtP ParseFor(std::set<std::string>& names) {
    const Token& t = Next();
    bool each = IsWord("EACH");
    if (each) Next();
    auto s = NewStmt(each ? Stmt::Kind::ForEach : Stmt::Kind::For, t);
    const Token& v = ExpectIdentifier("Schleifenvariable");
    s->target = NameExpr(v);
    if (each) {
      ExpectWord("IN");
      s->from = ParseExpression();
    } else {
      ExpectSymbol("=");
      s->from = ParseExpression();
      ExpectWord("TO");
      s->to = ParseExpression();
      if (IsWord("STEP")) {
        Next();
        s->step = ParseExpression();
      }
    }
    ExpectEndOfStatement();
    ++forDepth_;
    Keep(s->blocks, ParseBlock(names, [&] { return IsWord("NEXT"); }));
    --forDepth_;
    ExpectWord("NEXT");
    if (At(Token::Kind::Name) && !IsWord("ELSE")) {
      const Token& n = Next();
      if (n.upper != v.upper) Fail("Syntaxfehler: 'Next " + v.text + "' erwartet", n.line, n.column);
    }
    return s;
  }

  StmtP ParseDo(std::set<std::string>& names) {
    const Token& t = Next();
    auto s = NewStmt(Stmt::Kind::Do, t);
    if (IsWord("WHILE") || IsWord("UNTIL")) {
      s->until = IsWord("UNTIL");
      Next();
      s->hasCond = true;
      s->condAtTop = true;
      Keep(s->conds, ParseExpression());
    }
    ExpectEndOfStatement();
    ++doDepth_;
    Keep(s->blocks, ParseBlock(names, [&] { return IsWord("LOOP"); }));
    --doDepth_;
    ExpectWord("LOOP");
    if (IsWord("WHILE") || IsWord("UNTIL")) {
      if (s->hasCond) Fail("Syntaxfehler: Bedingung am Anfang und am Ende der Schleife", Peek().line, Peek().column);
      s->until = IsWord("UNTIL");
      Next();
      s->hasCond = true;
      s->condAtTop = false;
      Keep(s->conds, ParseExpression());
    }
    return s;
  }

  StmtP ParseSelect(std::set<std::string>& names) {
    const Token& t = Next();
    auto s = NewStmt(Stmt::Kind::Select, t);
    ExpectWord("CASE");
    Keep(s->conds, ParseExpression());
    ExpectEndOfStatement();
    SkipSeparators();
    bool sawElse = false;
    while (IsWord("CASE")) {
      const Token& caseToken = Next();
      CaseClause clause;
      if (IsWord("ELSE")) {
        if (sawElse) Fail("Syntaxfehler: zweimal 'Case Else'", caseToken.line, caseToken.column);
        sawElse = true;
        Next();
      } else {
        if (sawElse) Fail("Syntaxfehler: 'Case' nach 'Case Else'", caseToken.line, caseToken.column);
        for (;;) {
          CaseItem item;
          if (IsWord("IS")) {
            Next();
            static const std::pair<const char*, Op> kOps[] = {{"=", Op::Eq}, {"<>", Op::Ne}, {"<", Op::Lt},
                                                              {">", Op::Gt}, {"<=", Op::Le}, {">=", Op::Ge}};
            bool found = false;
            for (auto& [sym, op] : kOps)
              if (IsSymbol(sym)) {
                item.op = op;
                found = true;
              }
            if (!found) Unexpected("Vergleichsoperator");
            Next();
            item.kind = CaseItem::Kind::Is;
            item.a = ParseExpression();
          } else {
            item.a = ParseExpression();
            if (IsWord("TO")) {
              Next();
              item.kind = CaseItem::Kind::Range;
              item.b = ParseExpression();
            }
          }
          Keep(clause.items, std::move(item));
          if (!IsSymbol(",")) break;
          Next();
        }
      }
      clause.body = ParseBlock(names, [&] { return IsWord("CASE") || (IsWord("END") && IsWord("SELECT", 1)); });
      Keep(s->cases, std::move(clause));
    }
    if (!(IsWord("END") && IsWord("SELECT", 1))) Unexpected("'Case' oder 'End Select'");
    Next();
    Next();
    return s;
  }

  static ExprP NewExpr(Expr::Kind kind, const Token& at) {
    ChargeMemory(HeapBlock(sizeof(Expr)));
    auto e = std::make_unique<Expr>();
    e->kind = kind;
    e->line = at.line;
    e->column = at.column;
    return e;
  }

  ExprP NameExpr(const Token& n) {
    auto e = NewExpr(Expr::Kind::Name, n);
    e->name = n.upper;
    e->shown = n.text;
    ChargeNames(e->name, e->shown);
    return e;
  }

  void ParseArgs(Expr& e) {
    ExpectSymbol("(");
    e.hasArgs = true;
    if (!IsSymbol(")")) {
      for (;;) {
        Keep(e.args, ParseExpression());
        if (!IsSymbol(",")) break;
        Next();
      }
    }
    ExpectSymbol(")");
    for (const auto& a : e.args) e.height = std::max(e.height, a->height + 1);
    if (e.height > kMaxExpressionHeight) Fail("Ausdruck zu lang", e.line, e.column);
  }

  ExprP Operator(Expr::Kind kind, Op op, const Token& at, ExprP a, ExprP b) {
    auto e = NewExpr(kind, at);
    e->op = op;
    e->height = 1 + std::max(a->height, b ? b->height : 0);
    if (e->height > kMaxExpressionHeight) Fail("Ausdruck zu lang", at.line, at.column);
    const std::size_t operands = b ? 2 : 1;
    ChargeMemory(HeapBlock(operands * sizeof(ExprP)));
    e->args.reserve(operands);
    e->args.push_back(std::move(a));
    if (b) e->args.push_back(std::move(b));
    return e;
  }
  ExprP Binary(Op op, const Token& at, ExprP a, ExprP b) {
    return Operator(Expr::Kind::Binary, op, at, std::move(a), std::move(b));
  }
  ExprP Unary(Op op, const Token& at, ExprP a) { return Operator(Expr::Kind::Unary, op, at, std::move(a), nullptr); }

 public:
  // Precedence, loosest first: Imp, Eqv, Xor, Or, And, Not, comparison, &, + -, Mod, \, * /, unary -, ^.
  ExprP ParseExpression() {
    DepthGuard guard(*this);
    return ParseLogical(0);
  }

 private:
  ExprP ParseLogical(int level) {
    static const std::pair<const char*, Op> kLevels[] = {
        {"IMP", Op::Imp}, {"EQV", Op::Eqv}, {"XOR", Op::Xor}, {"OR", Op::Or}, {"AND", Op::And}};
    if (level == 5) return ParseNot();
    ExprP left = ParseLogical(level + 1);
    while (IsWord(kLevels[level].first)) {
      const Token& t = Next();
      left = Binary(kLevels[level].second, t, std::move(left), ParseLogical(level + 1));
    }
    return left;
  }

  ExprP ParseNot() {
    if (IsWord("NOT")) {
      DepthGuard guard(*this);
      const Token& t = Next();
      return Unary(Op::Not, t, ParseNot());
    }
    return ParseComparison();
  }

  ExprP ParseComparison() {
    ExprP left = ParseConcat();
    static const std::pair<const char*, Op> kOps[] = {{"=", Op::Eq}, {"<>", Op::Ne}, {"<", Op::Lt},
                                                      {">", Op::Gt}, {"<=", Op::Le}, {">=", Op::Ge}};
    for (;;) {
      if (IsWord("IS")) Fail("nicht unterstützt: Is", Peek().line, Peek().column);
      bool found = false;
      for (auto& [sym, op] : kOps)
        if (IsSymbol(sym)) {
          const Token& t = Next();
          left = Binary(op, t, std::move(left), ParseConcat());
          found = true;
          break;
        }
      if (!found) return left;
    }
  }

  ExprP ParseConcat() {
    ExprP left = ParseAdditive();
    while (IsSymbol("&")) {
      const Token& t = Next();
      left = Binary(Op::Concat, t, std::move(left), ParseAdditive());
    }
    return left;
  }

  ExprP ParseAdditive() {
    ExprP left = ParseMod();
    while (IsSymbol("+") || IsSymbol("-")) {
      const Token& t = Next();
      left = Binary(t.text == "+" ? Op::Add : Op::Sub, t, std::move(left), ParseMod());
    }
    return left;
  }

  ExprP ParseMod() {
    ExprP left = ParseIntDiv();
    while (IsWord("MOD")) {
      const Token& t = Next();
      left = Binary(Op::Mod, t, std::move(left), ParseIntDiv());
    }
    return left;
  }

  ExprP ParseIntDiv() {
    ExprP left = ParseMultiplicative();
    while (IsSymbol("\\")) {
      const Token& t = Next();
      left = Binary(Op::IntDiv, t, std::move(left), ParseMultiplicative());
    }
    return left;
  }

  ExprP ParseMultiplicative() {
    ExprP left = ParseUnary();
    while (IsSymbol("*") || IsSymbol("/")) {
      const Token& t = Next();
      left = Binary(t.text == "*" ? Op::Mul : Op::Div, t, std::move(left), ParseUnary());
    }
    return left;
  }

  ExprP ParseUnary() {
    if (IsSymbol("-") || IsSymbol("+")) {
      DepthGuard guard(*this);
      const Token& t = Next();
      return Unary(t.text == "-" ? Op::Neg : Op::Plus, t, ParseUnary());
    }
    return ParsePower();
  }

  // "^" binds tighter than a leading minus (-2^2 is -4) and takes a signed right operand (2^-1).
  ExprP ParsePower() {
    ExprP left = ParsePrimary();
    while (IsSymbol("^")) {
      const Token& t = Next();
      left = Binary(Op::Pow, t, std::move(left), ParseSignedPrimary());
    }
    return left;
  }

  ExprP ParseSignedPrimary() {
    if (IsSymbol("-") || IsSymbol("+")) {
      DepthGuard guard(*this);
      const Token& t = Next();
      return Unary(t.text == "-" ? Op::Neg : Op::Plus, t, ParseSignedPrimary());
    }
    return ParsePrimary();
  }

  ExprP ParsePrimary() {
    const Token& t = Peek();
    if (t.kind == Token::Kind::Number || t.kind == Token::Kind::String) {
      Next();
      auto e = NewExpr(Expr::Kind::Literal, t);
      e->literal = t.value;
      ChargeMemory(TextBytes(e->literal.text.capacity()));
      return e;
    }
    if (t.kind == Token::Kind::Name && (t.upper == "TRUE" || t.upper == "FALSE" || t.upper == "EMPTY")) {
      Next();
      auto e = NewExpr(Expr::Kind::Literal, t);
      if (t.upper != "EMPTY") e->literal = Value::Bool(t.upper == "TRUE");
      return e;
    }
    if (IsSymbol("(")) {
      Next();
      ExprP e = ParseExpression();
      ExpectSymbol(")");
      return e;
    }
    if (t.kind == Token::Kind::Name) {
      const Token& n = ExpectIdentifier("Ausdruck");
      ExprP e = NameExpr(n);
      if (IsSymbol("(")) ParseArgs(*e);
      if (IsSymbol(".")) Fail("nicht unterstützt: Objektzugriff " + n.text + ".", Peek().line, Peek().column);
      return e;
    }
    Unexpected("Ausdruck");
  }
};

}  // namespace

Program ParseProgram(std::string_view text) {
  const std::vector<Token> tokens = Tokenize(text);
  return Parser(tokens).ParseProgram();
}

void ParseStatement(std::string_view text, ExprP& expression, Block& statements) {
  std::vector<Token> tokens = Tokenize(text);
  // "x = 1" assigns (as a statement) rather than compares.
  std::size_t first = 0;
  while (tokens[first].kind == Token::Kind::EndOfLine || tokens[first].kind == Token::Kind::Colon) ++first;
  bool assignment = tokens[first].kind == Token::Kind::Name && tokens[first + 1].kind == Token::Kind::Symbol &&
                    tokens[first + 1].text == "=";
  ScriptError asExpression;
  if (!assignment) expression = Parser(tokens).TryWholeExpression(asExpression);
  if (expression) return;
  try {
    statements = Parser(tokens).ParseLooseStatements();
  } catch (const ScriptError& asStatements) {
    // Neither reading works: the one that got further says best what is wrong.
    if (!assignment &&
        std::pair(asExpression.line, asExpression.column) > std::pair(asStatements.line, asStatements.column))
      throw asExpression;
    throw;
  }
}

}  // namespace tqscript
