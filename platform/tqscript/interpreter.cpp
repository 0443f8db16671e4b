#include <cmath>

#include "platform/tqscript/script_internal.h"
#include "platform/tqscript/tqscript.h"

namespace tqscript {
namespace {

enum class Flow { Normal, ExitFor, ExitDo, ExitProc };

struct Frame {
  std::unordered_map<std::string, CellP> locals;
  const Procedure* procedure = nullptr;
};

bool IntegerLike(const Value& v) {
  return v.kind == Value::Kind::Empty || v.kind == Value::Kind::Boolean || v.kind == Value::Kind::Integer;
}

int64_t IntegerOf(const Value& v) {
  if (v.kind == Value::Kind::Boolean) return v.boolean ? -1 : 0;
  return v.kind == Value::Kind::Integer ? v.integer : 0;
}

Value Finite(double d, int line, int column) {
  if (std::isnan(d)) Fail("Ungültiger Prozeduraufruf oder ungültiges Argument", line, column);
  if (!std::isfinite(d)) Fail("Überlauf", line, column);
  return Value::Dbl(d);
}

// <0, 0, >0. Texts compare by their bytes; a text and a number compare as numbers when the text is one, else the number
// is the smaller.
int Compare(const Value& a, const Value& b, int line, int column) {
  using K = Value::Kind;
  if (a.kind == K::Array || b.kind == K::Array) Fail("Typen unverträglich: Array im Vergleich", line, column);
  if (a.kind == K::String || b.kind == K::String) {
    if (a.kind == K::String && b.kind == K::String) return a.text.compare(b.text) < 0 ? -1 : a.text == b.text ? 0 : 1;
    const Value& s = a.kind == K::String ? a : b;
    const Value& other = a.kind == K::String ? b : a;
    int sign = a.kind == K::String ? 1 : -1;  // sign of "s compared with other"
    if (other.kind == K::Empty) return sign * (s.text.empty() ? 0 : 1);
    double d = 0;
    if (ParseNumber(s.text, d)) {
      double o = ToDouble(other, line, column);
      return sign * (d < o ? -1 : d > o ? 1 : 0);
    }
    return sign;
  }
  double x = ToDouble(a, line, column), y = ToDouble(b, line, column);
  return x < y ? -1 : x > y ? 1 : 0;
}

bool Compares(Op op, int c) {
  switch (op) {
    case Op::Eq: return c == 0;
    case Op::Ne: return c != 0;
    case Op::Lt: return c < 0;
    case Op::Gt: return c > 0;
    case Op::Le: return c <= 0;
    case Op::Ge: return c >= 0;
    default: return false;
  }
}

Value Apply(Op op, const Value& a, const Value& b, int line, int column) {
  using K = Value::Kind;
  switch (op) {
    case Op::Concat: return Value::Str(ToText(a, line, column) + ToText(b, line, column));
    case Op::Eq:
    case Op::Ne:
    case Op::Lt:
    case Op::Gt:
    case Op::Le:
    case Op::Ge: return Value::Bool(Compares(op, Compare(a, b, line, column)));
    case Op::Add:
      if (a.kind == K::String && b.kind == K::String) return Value::Str(a.text + b.text);
      if (a.kind == K::String && b.kind == K::Empty) return a;
      if (a.kind == K::Empty && b.kind == K::String) return b;
      [[fallthrough]];
    case Op::Sub:
    case Op::Mul: {
      if (IntegerLike(a) && IntegerLike(b)) {
        int64_t x = IntegerOf(a), y = IntegerOf(b);
        return Value::Int(op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y);
      }
      double x = ToDouble(a, line, column), y = ToDouble(b, line, column);
      return Finite(op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y, line, column);
    }
    case Op::Div: {
      double x = ToDouble(a, line, column), y = ToDouble(b, line, column);
      if (y == 0) Fail("Division durch Null", line, column);
      return Finite(x / y, line, column);
    }
    case Op::IntDiv:
    case Op::Mod: {
      int64_t x = ToLong(a, line, column), y = ToLong(b, line, column);
      if (y == 0) Fail("Division durch Null", line, column);
      return Value::Int(op == Op::IntDiv ? x / y : x % y);
    }
    case Op::Pow: {
      double x = ToDouble(a, line, column), y = ToDouble(b, line, column);
      if (x == 0 && y < 0) Fail("Division durch Null", line, column);
      return Finite(std::pow(x, y), line, column);
    }
    case Op::And:
    case Op::Or:
    case Op::Xor:
    case Op::Eqv:
    case Op::Imp: {
      if (a.kind == K::Boolean && b.kind == K::Boolean) {
        bool x = a.boolean, y = b.boolean;
        return Value::Bool(op == Op::And   ? x && y
                           : op == Op::Or  ? x || y
                           : op == Op::Xor ? x != y
                           : op == Op::Eqv ? x == y
                                           : !x || y);
      }
      int32_t x = ToLong(a, line, column), y = ToLong(b, line, column);
      return Value::Int(op == Op::And   ? x & y
                        : op == Op::Or  ? x | y
                        : op == Op::Xor ? x ^ y
                        : op == Op::Eqv ? ~(x ^ y)
                                        : (~x | y));
    }
    default: break;
  }
  Fail("Syntaxfehler: Operator", line, column);
}

std::shared_ptr<ArrayData> NewArray(const std::vector<int32_t>& upper, int line, int column) {
  if (upper.size() > kMaxArrayDimensions)
    Fail("Array mit mehr als " + std::to_string(kMaxArrayDimensions) + " Dimensionen", line, column);
  auto a = std::make_shared<ArrayData>();
  std::size_t count = 1;
  for (int32_t u : upper) {
    if (u < -1) Fail("Index außerhalb des gültigen Bereichs", line, column);
    // widened first: the bound may be the largest Long
    count *= static_cast<std::size_t>(u) + 1;
    if (count > kMaxArrayElements) Fail("Array zu groß", line, column);
  }
  Charge(ArrayBytes(upper.size(), count));
  a->upper = upper;
  a->items.resize(count);
  return a;
}

class Interpreter {
 public:
  explicit Interpreter(SessionState& state) : state_(state) {}

  void Run(const Block& block) {
    Flow f = ExecBlock(block);
    (void)f;  // Exit statements outside their construct are refused by the parser
  }

  // A bare procedure name given to Execute is a call; a bare name that is nothing at all is most likely a
  // misspelt one, and an error says so instead of a silent 0.
  Value EvaluateTop(const Expr& e) {
    Value constant;
    if (e.kind == Expr::Kind::Name && !e.hasArgs && !FindCell(e.name) && !FindProcedure(e.name) && !IsBuiltin(e.name) &&
        !BuiltinConstant(e.name, constant))
      Fail("Unbekannte Funktion: " + e.shown, e.line, e.column);
    try {
      return Eval(e);
    } catch (ScriptError& error) {
      if (error.line == 0) {
        error.line = e.line;
        error.column = e.column;
      }
      throw;
    }
  }

 private:
  SessionState& state_;
  Frame* frame_ = nullptr;
  long steps_ = 0;
  int depth_ = 0;

  void Step(int line, int column) {
    CountStep();
    if (++steps_ > kTQScriptStepLimit)
      Fail("Abbruch: mehr als " + std::to_string(kTQScriptStepLimit) + " Schritte (Endlosschleife?)", line, column);
    if (steps_ % 1024 == 0) CheckTime(line, column);
  }

  std::unordered_map<std::string, CellP>& Scope() { return frame_ ? frame_->locals : state_.globals; }

  CellP FindCell(const std::string& name) {
    if (frame_) {
      auto it = frame_->locals.find(name);
      if (it != frame_->locals.end()) return it->second;
    }
    auto it = state_.globals.find(name);
    return it != state_.globals.end() ? it->second : nullptr;
  }

  std::shared_ptr<Procedure> FindProcedure(const std::string& name) {
    auto it = state_.procedures.find(name);
    return it != state_.procedures.end() ? it->second : nullptr;
  }

  [[noreturn]] void Undefined(const Expr& e) { Fail("Variable ist nicht definiert: " + e.shown, e.line, e.column); }

  // The cell an assignment writes to; an undeclared name is declared in the current scope.
  CellP CellForWrite(const Expr& e) {
    CellP cell = FindCell(e.name);
    if (cell) {
      if (cell->constant) Fail("Zuweisung an eine Konstante: " + e.shown, e.line, e.column);
      return cell;
    }
    Value constant;
    if (FindProcedure(e.name) || IsBuiltin(e.name) || BuiltinConstant(e.name, constant))
      Fail("Zuweisung nicht möglich: " + e.shown, e.line, e.column);
    if (state_.optionExplicit) Undefined(e);
    cell = std::make_shared<Cell>();
    Scope()[e.name] = cell;
    return cell;
  }

  Value* Element(const Value& arrayValue, const Expr& e) {
    ArrayData& a = *arrayValue.array;
    if (e.args.size() != a.upper.size()) Fail("Falsche Anzahl an Indizes: " + e.shown, e.line, e.column);
    std::size_t flat = 0, stride = 1;
    for (std::size_t d = 0; d < a.upper.size(); ++d) {
      int32_t i = ToLong(Eval(*e.args[d]), e.args[d]->line, e.args[d]->column);
      if (i < 0 || i > a.upper[d])
        Fail("Index außerhalb des gültigen Bereichs: " + e.shown + "(" + std::to_string(i) + ")", e.line, e.column);
      flat += static_cast<std::size_t>(i) * stride;
      stride *= static_cast<std::size_t>(a.upper[d]) + 1;
    }
    return &a.items[flat];
  }

  void Assign(const Expr& target, Value v) {
    if (!target.hasArgs) {
      CellP cell = CellForWrite(target);
      if (cell->value.kind == Value::Kind::Array && !cell->value.array->dynamic)
        Fail("Zuweisung an ein Array fester Größe: " + target.shown, target.line, target.column);
      cell->value = CopyValue(v);
      return;
    }
    CellP cell = FindCell(target.name);
    if (!cell) {
      if (state_.optionExplicit || FindProcedure(target.name)) Undefined(target);
      Fail("Typen unverträglich: " + target.shown + " ist kein Array", target.line, target.column);
    }
    if (cell->value.kind != Value::Kind::Array)
      Fail("Typen unverträglich: " + target.shown + " ist kein Array", target.line, target.column);
    Value arrayValue = cell->value;  // keeps the data alive while the indices are evaluated
    *Element(arrayValue, target) = CopyValue(v);
  }

  struct FrameGuard {
    Interpreter& in;
    Frame* saved;
    FrameGuard(Interpreter& i, Frame* f) : in(i), saved(i.frame_) {
      in.frame_ = f;
      ++in.depth_;
    }
    ~FrameGuard() {
      in.frame_ = saved;
      --in.depth_;
    }
  };

  Value CallProcedure(const Procedure& p, const Expr& call) {
    if (call.args.size() != p.params.size())
      Fail("Falsche Anzahl an Argumenten: " + p.shown + " erwartet " + std::to_string(p.params.size()) + ", erhielt " +
               std::to_string(call.args.size()),
           call.line, call.column);
    if (depth_ >= kTQScriptDepthLimit)
      Fail("Abbruch: mehr als " + std::to_string(kTQScriptDepthLimit) + " verschachtelte Aufrufe (Rekursion?)",
           call.line, call.column);
    Frame f;
    f.procedure = &p;
    for (std::size_t i = 0; i < p.params.size(); ++i) {
      const Param& param = p.params[i];
      const Expr& arg = *call.args[i];
      if (param.byRef && arg.kind == Expr::Kind::Name && !arg.hasArgs) {
        CellP cell = FindCell(arg.name);
        Value constant;
        if (!cell && !FindProcedure(arg.name) && !IsBuiltin(arg.name) && !BuiltinConstant(arg.name, constant) &&
            !state_.optionExplicit) {
          cell = std::make_shared<Cell>();
          Scope()[arg.name] = cell;
        }
        if (cell && !cell->constant) {
          f.locals[param.name] = cell;
          continue;
        }
      }
      f.locals[param.name] = std::make_shared<Cell>(Cell{CopyValue(Eval(arg)), false});
    }
    CellP result;
    if (p.isFunction) f.locals[p.name] = result = std::make_shared<Cell>();
    FrameGuard guard(*this, &f);
    try {
      ExecBlock(p.body);
    } catch (ScriptError& e) {
      if (e.procedure.empty()) e.procedure = p.shown;
      throw;
    }
    return result ? result->value : Value{};
  }

  Value CallNamed(const Expr& e) {
    // The call holds the procedure: a message box's handler might load a text that replaces it meanwhile.
    if (auto p = FindProcedure(e.name)) return CallProcedure(*p, e);
    if (IsBuiltin(e.name)) {
      std::vector<Value> args;
      args.reserve(e.args.size());
      std::size_t touched = 0;
      for (const auto& a : e.args) {
        args.push_back(Eval(*a));
        touched += TouchedBytes(args.back());
      }
      Work(WorkOfBytes(touched));
      return Placed(e, [&] { return CallBuiltin(BuiltinCall{e.shown, args, e.line, e.column}); });
    }
    Fail("Unbekannte Funktion: " + e.shown, e.line, e.column);
  }

  // Errors raised without a place (a text grown too long) take the expression's.
  template <typename F>
  static Value Placed(const Expr& e, F f) {
    try {
      return f();
    } catch (ScriptError& error) {
      if (error.line == 0) {
        error.line = e.line;
        error.column = e.column;
      }
      throw;
    }
  }

  Value EvalName(const Expr& e) {
    CellP cell = FindCell(e.name);
    if (!e.hasArgs) {
      if (cell) return cell->value;
      Value constant;
      if (BuiltinConstant(e.name, constant)) return constant;
      if (FindProcedure(e.name) || IsBuiltin(e.name)) return CallNamed(e);
      if (state_.optionExplicit) Undefined(e);
      return Value{};
    }
    if (cell && cell->value.kind == Value::Kind::Array) {
      Value arrayValue = cell->value;
      return *Element(arrayValue, e);
    }
    if (FindProcedure(e.name) || IsBuiltin(e.name)) return CallNamed(e);
    if (cell) Fail("Typen unverträglich: " + e.shown + " ist kein Array", e.line, e.column);
    Fail("Unbekannte Funktion: " + e.shown, e.line, e.column);
  }

  // Bytes of a value that an operation reads through: a text's characters, an array's elements.
  static std::size_t TouchedBytes(const Value& v) {
    if (v.kind == Value::Kind::String) return v.text.size();
    if (v.kind == Value::Kind::Array) return v.array->items.size() * sizeof(Value);
    return 0;
  }

  // A node's work is its own and the copy of the text it gives.
  Value Eval(const Expr& e) {
    Value v = EvalNode(e);
    Work(1 + (v.kind == Value::Kind::String ? WorkOfBytes(v.text.size()) : 0));
    return v;
  }

  Value EvalNode(const Expr& e) {
    switch (e.kind) {
      case Expr::Kind::Literal: return e.literal;
      case Expr::Kind::Name: return EvalName(e);
      case Expr::Kind::Unary: {
        Value v = Eval(*e.args[0]);
        if (e.op == Op::Not) {
          if (v.kind == Value::Kind::Boolean) return Value::Bool(!v.boolean);
          return Value::Int(~ToLong(v, e.line, e.column));
        }
        if (e.op == Op::Plus) {
          if (v.kind == Value::Kind::Array) Fail("Typen unverträglich: Array", e.line, e.column);
          return v;
        }
        if (IntegerLike(v)) return Value::Int(-IntegerOf(v));
        return Value::Dbl(-ToDouble(v, e.line, e.column));
      }
      case Expr::Kind::Binary: {
        Value a = Eval(*e.args[0]);
        Value b = Eval(*e.args[1]);
        Work(WorkOfBytes(TouchedBytes(a) + TouchedBytes(b)));
        return Placed(e, [&] { return Apply(e.op, a, b, e.line, e.column); });
      }
    }
    return Value{};
  }

  bool Condition(const Expr& e) { return ToBool(Eval(e), e.line, e.column); }

  std::vector<int32_t> Bounds(const DimItem& d) {
    std::vector<int32_t> upper;
    for (const auto& b : d.bounds) upper.push_back(ToLong(Eval(*b), b->line, b->column));
    return upper;
  }

  Flow ExecBlock(const Block& block) {
    for (const auto& s : block) {
      Flow f = Exec(*s);
      if (f != Flow::Normal) return f;
    }
    return Flow::Normal;
  }

  // Errors raised without a place (a text grown too long) take the statement's.
  Flow Exec(const Stmt& s) {
    try {
      return ExecHere(s);
    } catch (ScriptError& e) {
      if (e.line == 0) {
        e.line = s.line;
        e.column = s.column;
      }
      throw;
    }
  }

  Flow ExecHere(const Stmt& s) {
    Step(s.line, s.column);
    switch (s.kind) {
      case Stmt::Kind::Dim:
        for (const DimItem& d : s.dims) {
          auto& scope = Scope();
          if (scope.count(d.name)) continue;  // a Dim met again in a loop keeps the value
          auto cell = std::make_shared<Cell>();
          if (d.isArray) {
            cell->value.kind = Value::Kind::Array;
            cell->value.array = NewArray(Bounds(d), d.line, d.column);
            cell->value.array->dynamic = d.bounds.empty();
          }
          scope[d.name] = cell;
        }
        return Flow::Normal;
      case Stmt::Kind::ReDim:
        for (const DimItem& d : s.dims) {
          CellP cell = FindCell(d.name);
          if (cell && cell->constant) Fail("Zuweisung an eine Konstante: " + d.shown, d.line, d.column);
          if (cell && cell->value.kind == Value::Kind::Array && !cell->value.array->dynamic)
            Fail("Array fester Größe kann nicht neu dimensioniert werden: " + d.shown, d.line, d.column);
          if (!cell) {
            cell = std::make_shared<Cell>();
            Scope()[d.name] = cell;
          }
          auto fresh = NewArray(Bounds(d), d.line, d.column);
          fresh->dynamic = true;
          if (s.preserve && cell->value.kind == Value::Kind::Array) {
            // Only the last dimension may change; the first index varies fastest, so the kept elements are a common
            // prefix of both arrays.
            const ArrayData& old = *cell->value.array;
            if (!old.upper.empty()) {
              bool sameShape = old.upper.size() == fresh->upper.size();
              for (std::size_t k = 0; sameShape && k + 1 < old.upper.size(); ++k)
                sameShape = old.upper[k] == fresh->upper[k];
              if (!sameShape) Fail("ReDim Preserve ändert nur die letzte Dimension: " + d.shown, d.line, d.column);
            }
            // Moved when nothing else holds the old array; a copy is held beside it.
            const bool alone = cell->value.array.use_count() == 1;
            for (std::size_t k = 0; k < std::min(old.items.size(), fresh->items.size()); ++k) {
              if (alone)
                fresh->items[k] = std::move(cell->value.array->items[k]);
              else
                fresh->items[k] = CopyValue(old.items[k]);
            }
          }
          cell->value = Value{};
          cell->value.kind = Value::Kind::Array;
          cell->value.array = fresh;
        }
        return Flow::Normal;
      case Stmt::Kind::Const:
        for (const auto& [d, expr] : s.consts) {
          Value v = Eval(*expr);
          auto& scope = Scope();
          auto it = scope.find(d.name);
          if (it != scope.end() && !it->second->constant) Fail("Name mehrfach definiert: " + d.shown, d.line, d.column);
          auto cell = std::make_shared<Cell>();
          cell->value = CopyValue(v);
          cell->constant = true;
          scope[d.name] = cell;
        }
        return Flow::Normal;
      case Stmt::Kind::Assign: Assign(*s.target, Eval(*s.from)); return Flow::Normal;
      case Stmt::Kind::Call: {
        const Expr& t = *s.target;
        if (!FindProcedure(t.name) && !IsBuiltin(t.name)) {
          CellP cell = FindCell(t.name);
          Fail(cell ? "Keine Prozedur: " + t.shown : "Unbekannte Prozedur: " + t.shown, t.line, t.column);
        }
        CallNamed(t);
        return Flow::Normal;
      }
      case Stmt::Kind::If:
        for (std::size_t i = 0; i < s.conds.size(); ++i)
          if (Condition(*s.conds[i])) return ExecBlock(s.blocks[i]);
        if (s.blocks.size() > s.conds.size()) return ExecBlock(s.blocks.back());
        return Flow::Normal;
      case Stmt::Kind::For: return ExecFor(s);
      case Stmt::Kind::ForEach: {
        Value source = Eval(*s.from);
        if (source.kind != Value::Kind::Array)
          Fail("Typen unverträglich: For Each braucht ein Array", s.from->line, s.from->column);
        // The loop runs over the elements as they were; that copy is held while it runs.
        std::size_t held = ArrayBytes(0, source.array->items.size());
        for (const Value& item : source.array->items)
          if (item.kind == Value::Kind::String) held += TextBytes(item.text.size());
        Charge(held);
        std::vector<Value> items = source.array->items;
        for (const Value& item : items) {
          Assign(*s.target, item);
          Flow f = ExecBlock(s.blocks[0]);
          if (f == Flow::ExitFor) break;
          if (f != Flow::Normal) return f;
          Step(s.line, s.column);
        }
        return Flow::Normal;
      }
      case Stmt::Kind::Do:
        for (;;) {
          if (s.hasCond && s.condAtTop && Condition(*s.conds[0]) == s.until) break;
          Flow f = ExecBlock(s.blocks[0]);
          if (f == Flow::ExitDo && !s.wend) break;
          if (f != Flow::Normal) return f;
          if (s.hasCond && !s.condAtTop && Condition(*s.conds[0]) == s.until) break;
          Step(s.line, s.column);
        }
        return Flow::Normal;
      case Stmt::Kind::Select: {
        Value v = Eval(*s.conds[0]);
        for (const CaseClause& c : s.cases) {
          bool match = c.items.empty();
          for (const CaseItem& item : c.items) {
            const Expr& a = *item.a;
            if (item.kind == CaseItem::Kind::Value) {
              match = Compare(v, Eval(a), a.line, a.column) == 0;
            } else if (item.kind == CaseItem::Kind::Range) {
              Value lo = Eval(a), hi = Eval(*item.b);
              match = Compare(v, lo, a.line, a.column) >= 0 && Compare(v, hi, a.line, a.column) <= 0;
            } else {
              match = Compares(item.op, Compare(v, Eval(a), a.line, a.column));
            }
            if (match) break;
          }
          if (match) return ExecBlock(c.body);
        }
        return Flow::Normal;
      }
      case Stmt::Kind::ExitFor: return Flow::ExitFor;
      case Stmt::Kind::ExitDo: return Flow::ExitDo;
      case Stmt::Kind::ExitProc: return Flow::ExitProc;
    }
    return Flow::Normal;
  }

  Flow ExecFor(const Stmt& s) {
    Value from = Eval(*s.from);
    Value to = Eval(*s.to);
    Value step = s.step ? Eval(*s.step) : Value::Int(1);
    double limit = ToDouble(to, s.to->line, s.to->column);
    double stepValue = ToDouble(step, s.step ? s.step->line : s.line, s.step ? s.step->column : s.column);
    ToDouble(from, s.from->line, s.from->column);
    // The counter starts with the start value's type and takes the step's on each step.
    Assign(*s.target, from);
    CellP counter = FindCell(s.target->name);
    for (;;) {
      double current = ToDouble(counter->value, s.line, s.column);
      if (stepValue >= 0 ? current > limit : current < limit) break;
      Flow f = ExecBlock(s.blocks[0]);
      if (f == Flow::ExitFor) break;
      if (f != Flow::Normal) return f;
      Step(s.line, s.column);
      if (counter->constant) Fail("Zuweisung an eine Konstante: " + s.target->shown, s.line, s.column);
      counter->value = Apply(Op::Add, counter->value, step, s.line, s.column);
    }
    return Flow::Normal;
  }
};

}  // namespace

void RunStatements(SessionState& state, const Block& statements) { Interpreter(state).Run(statements); }

Value Evaluate(SessionState& state, const Expr& expression) { return Interpreter(state).EvaluateTop(expression); }

}  // namespace tqscript
