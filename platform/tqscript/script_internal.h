// Inside the script host: values, the syntax tree, the parser and the interpreter.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/tqscript/tqscript.h"

namespace tqscript {

// Raised by the parser and the interpreter; the host turns it into the session's last error.
struct ScriptError {
  std::string message;
  int line = 0;
  int column = 0;
  std::string procedure;   // where a run-time error happened, as written; empty
                           // at the top level
  bool outOfTime = false;  // the open TQScriptBudget is spent
};

[[noreturn]] void Fail(std::string message, int line = 0, int column = 0);

// Strings beyond this many characters and arrays beyond this many elements are refused: a macro must not be able to
// exhaust the memory of the process.
inline constexpr std::size_t kMaxStringLength = 1'000'000;
inline constexpr std::size_t kMaxArrayElements = 1'000'000;
// A copy of an empty array of many dimensions would cost bounds and nothing else.
inline constexpr std::size_t kMaxArrayDimensions = 60;
// One call into the host (a load or an Execute) may create as many bytes of texts and arrays and run as long as
// kTQScriptMemoryLimit and kTQScriptTimeLimit or the open TQScriptBudget allow; the step limit alone would let a
// loop that copies large texts run for hours or fill the memory.

struct ArrayData;
struct Value;

// Units of work between two readings of the clock: an expression node is one, and so are 16 bytes of texts or
// elements touched: some hundred microseconds of work.
inline constexpr std::int64_t kWorkPerReading = 4096;

// What one call into the host has spent.
struct RunState {
  std::size_t bytes = 0;
  double start = 0;
  double boxes = 0;                     // seconds counted for message boxes beyond their wait
  double allowed = kTQScriptTimeLimit;  // seconds this call may run
  bool inCall = false;
};

// A call into the host: starts its byte budget and its clock; when it ends, the time it ran is taken from the open
// TQScriptBudget.
class RunScope {
 public:
  RunScope();
  ~RunScope();
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  RunState outer_;  // of a call this one runs within
  std::int64_t outerWork_;
};
// Fails at once when the open TQScriptBudget is already spent.
void CheckBudgetLeft();
// Counts bytes against the budget, and the work of touching them; fails when it is spent.
void Charge(std::size_t bytes);
// Counts bytes against the budget alone: what compiling a text makes, whose time those bytes bound.
void ChargeMemory(std::size_t bytes);
// One statement run (the clock of KOLUMO_SCRIPT_SECONDS_PER_STEP counts them).
void CountStep();
// Fails when the call has run too long.
void CheckTime(int line, int column);
// Counts work done within a statement and reads the clock when enough is done: a statement of many calls on long
// texts would otherwise run its whole length between two statements' readings. Fails (without a place) when the call
// has run too long.
extern std::int64_t workBeforeReading;
void ReadClockAfterWork();
inline void Work(std::size_t units) {
  workBeforeReading -= static_cast<std::int64_t>(units);
  if (workBeforeReading < 0) ReadClockAfterWork();
}
// The work of touching so many bytes.
inline std::size_t WorkOfBytes(std::size_t bytes) { return bytes / 16; }
// Shows a message box within the time limit: fails instead when too little time is left for it, and after it when
// its cost (its wait, at least kTQScriptBoxSeconds) has spent the time.
int ShowBox(const std::function<int()>& show, int line, int column);
// Bytes of texts and arrays that the module variables of all sessions hold (defined by the host).
std::size_t HeldBytes();
// The bytes a value holds, its elements, bounds and the allocator's share included.
std::size_t BytesOf(const Value& v);
// The bytes an array of so many dimensions and elements holds beside what its elements hold.
std::size_t ArrayBytes(std::size_t dimensions, std::size_t elements);
// The bytes a text of this capacity holds beside its place.
std::size_t TextBytes(std::size_t capacity);
// The bytes the allocator takes for a block of so many.
std::size_t HeapBlock(std::size_t bytes);

// A Variant: Empty, Boolean, Integer (32 bits, as the language's Long), Double, String (UTF-8) or an array.
struct Value {
  enum class Kind { Empty, Boolean, Integer, Double, String, Array };
  Kind kind = Kind::Empty;
  bool boolean = false;
  int32_t integer = 0;
  double number = 0;
  std::string text;
  std::shared_ptr<ArrayData> array;

  static Value Bool(bool b);
  static Value Int(int64_t i);  // a Double when outside the 32-bit range
  static Value Dbl(double d);
  static Value Str(std::string s);

  bool IsNumeric() const;  // Boolean, Integer or Double
};

struct ArrayData {
  std::vector<int32_t> upper;  // upper bound per dimension; lower bounds are 0
  std::vector<Value> items;    // first index varies fastest
  bool dynamic = false;        // declared without bounds: ReDim may size it
};

Value CopyValue(const Value& v);  // arrays are copied whole, as assignment does

// Conversions; `where` places the type error.
double ToDouble(const Value& v, int line, int column);
int32_t ToLong(const Value& v, int line,
               int column);  // rounded half to even, range-checked
bool ToBool(const Value& v, int line, int column);
std::string ToText(const Value& v, int line, int column);
// The numeric value of a text ("." as decimal point, exponent, &H hex); false when it is not a number.
bool ParseNumber(std::string_view text, double& out);
// Shortest text that reads back as the same double; plain decimals for 1e-5 <= |d| < 1e15, else "1.5E+20".
std::string FormatDouble(double d);
std::string TypeName(const Value& v);

// Unicode-aware helpers on UTF-8 text; case maps ASCII and the Latin-1 letters (umlauts, accents).
std::u32string ToU32(std::string_view s);
std::string FromU32(std::u32string_view s);
char32_t UpperChar(char32_t c);
char32_t LowerChar(char32_t c);
bool IsLatinLetter(char32_t c);
std::string UpperText(std::string_view s);

// ---- Syntax tree ----

enum class Op {
  Add,
  Sub,
  Mul,
  Div,
  IntDiv,
  Mod,
  Pow,
  Concat,
  Eq,
  Ne,
  Lt,
  Gt,
  Le,
  Ge,
  And,
  Or,
  Xor,
  Eqv,
  Imp,
  Neg,
  Not,
  Plus
};

struct Expr;
using ExprP = std::unique_ptr<Expr>;

struct Expr {
  enum class Kind { Literal, Name, Unary, Binary };
  Kind kind = Kind::Literal;
  int line = 0, column = 0;
  Value literal;
  std::string name;         // upper case
  std::string shown;        // as written, for messages
  bool hasArgs = false;     // Name followed by "( ... )"
  std::vector<ExprP> args;  // call arguments or array indices; operands of Unary/Binary
  Op op = Op::Add;
  int height = 1;  // of the operator tree below: evaluating it recurses this deep
};

struct Stmt;
using StmtP = std::unique_ptr<Stmt>;
using Block = std::vector<StmtP>;

struct CaseItem {
  enum class Kind { Value, Range, Is };
  Kind kind = Kind::Value;
  Op op = Op::Eq;  // for Is
  ExprP a, b;
};

struct CaseClause {
  std::vector<CaseItem> items;  // empty: Case Else
  Block body;
};

struct DimItem {
  std::string name, shown;
  bool isArray = false;
  std::vector<ExprP> bounds;  // empty with isArray: a dynamic array
  int line = 0, column = 0;
};

struct Stmt {
  enum class Kind { Dim, ReDim, Const, Assign, Call, If, For, ForEach, Do, Select, ExitFor, ExitDo, ExitProc };
  Kind kind = Kind::Call;
  int line = 0, column = 0;
  std::vector<DimItem> dims;  // Dim, ReDim
  bool preserve = false;      // ReDim Preserve
  ExprP target;               // Assign; Call (a Name with its arguments); For/ForEach variable
  std::vector<ExprP> conds;   // If: one per branch; Do: [0] the condition;
                              // Select: [0] the tested value
  std::vector<Block> blocks;  // If: one per cond, then else; loops: [0] the body
  ExprP from, to, step;       // For; ForEach: from = the array
  std::vector<std::pair<DimItem, ExprP>> consts;
  // Do: where the condition stands and whether it is Until.
  bool condAtTop = true, hasCond = false, until = false;
  bool wend = false;  // While ... Wend: Exit Do passes through it
  std::vector<CaseClause> cases;
};

struct Param {
  std::string name, shown;
  bool byRef = true;
};

struct Procedure {
  std::string name, shown;
  bool isFunction = false;
  std::vector<Param> params;
  Block body;
  int line = 0, column = 0;
};

struct Program {
  std::vector<std::shared_ptr<Procedure>> procedures;
  Block statements;  // module level, run when loaded
  bool optionExplicit = false;
};

// Parses a macro text (procedures and module-level statements).
Program ParseProgram(std::string_view text);
// Parses a statement given to Execute: an expression when the whole text is one, else statements. Exactly one of the
// outputs is set.
void ParseStatement(std::string_view text, ExprP& expression, Block& statements);

// ---- Interpreter ----

struct Cell {
  Value value;
  bool constant = false;
};
using CellP = std::shared_ptr<Cell>;

struct SessionState {
  std::unordered_map<std::string, std::shared_ptr<Procedure>> procedures;
  std::unordered_map<std::string, CellP> globals;
  bool optionExplicit = false;
};

// Runs module-level statements, or evaluates an expression (a bare procedure name is a call).
void RunStatements(SessionState& state, const Block& statements);
Value Evaluate(SessionState& state, const Expr& expression);

// Built-in functions: true when `name` is one; the value in `result`.
struct BuiltinCall {
  const std::string& name;
  std::vector<Value>& args;
  int line, column;
};
bool IsBuiltin(const std::string& upperName);
Value CallBuiltin(const BuiltinCall& call);
// Named constants (vbCrLf, vbYesNo, ...); false when `upperName` is none.
bool BuiltinConstant(const std::string& upperName, Value& out);

}  // namespace tqscript
