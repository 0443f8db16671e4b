#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/tqscript/script_internal.h"
#include "platform/tqscript/tqscript.h"
#include "platform/win/base/codepage.h"

namespace tqscript {

namespace {

std::function<double()>& Clock() {
  static std::function<double()> clock;
  return clock;
}

// Statics, not thread_local: scripts run on the UI thread alone, and the thread storage of a library that is
// unloaded with the module leaves a stale entry that the leak checker trips over at exit.
std::uint64_t stepsRun = 0;

// Screen tests of a whole program cannot install a clock: KOLUMO_SCRIPT_SECONDS_PER_STEP makes the statements run
// the clock, so that a macro's cost is set by its loop and a test waits for no budget in real time.
double SecondsPerStep() {
  static const double perStep = [] {
    const char* set = std::getenv("KOLUMO_SCRIPT_SECONDS_PER_STEP");
    const double value = set ? std::strtod(set, nullptr) : 0;
    return std::isfinite(value) && value > 0 ? value : 0;
  }();
  return perStep;
}

double Now() {
  if (const auto& clock = Clock()) return clock();
  if (const double perStep = SecondsPerStep()) return double(stepsRun) * perStep;
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct BudgetState {
  bool open = false;
  double limit = 0;
  double spent = 0;
  std::size_t byteLimit = 0;
  std::size_t bytes = 0;  // held when it opened, and created since
  bool outOfMemory = false;
  bool stopClaimed = false;
};
BudgetState budget;

BudgetState OpenBudget(double seconds, std::size_t bytes) {
  BudgetState opened{true, seconds, 0, bytes, 0, false, false};
  // What earlier runs left in module variables is still held: it counts, or each run could add a budget's worth.
  opened.bytes = HeldBytes();
  opened.outOfMemory = opened.bytes > bytes;
  return opened;
}

RunState run;

std::string BudgetText() {
  if (budget.outOfMemory)
    return "Abbruch: Speicherbudget von " + std::to_string(budget.byteLimit >> 20) +
           " MB für die Makros der Auswertung verbraucht";
  return "Abbruch: Zeitbudget von " + FormatDouble(budget.limit) + " s für die Makros der Auswertung verbraucht";
}

double Elapsed() { return Now() - run.start + run.boxes; }

}  // namespace

std::int64_t workBeforeReading = kWorkPerReading;

// A call made while another runs (a macro's message box lets the person act) keeps the outer call's state.
RunScope::RunScope() : outer_(run), outerWork_(workBeforeReading) {
  run = RunState{};
  workBeforeReading = kWorkPerReading;
  run.start = Now();
  if (budget.open) run.allowed = budget.limit - budget.spent;
  // Without a budget the call is a budget of its own, and what the module variables hold counts as well.
  else if (!outer_.inCall)
    run.bytes = HeldBytes();
  run.inCall = true;
}

RunScope::~RunScope() {
  if (budget.open) budget.spent += Elapsed();
  run = outer_;
  workBeforeReading = outerWork_;
}

[[noreturn]] void OutOfTime(int line, int column) { throw ScriptError{BudgetText(), line, column, "", true}; }

void CheckBudgetLeft() {
  if (TQScriptBudget::Spent()) OutOfTime(0, 0);
}

void Charge(std::size_t bytes) {
  // what is made is touched once
  Work(WorkOfBytes(bytes));
  ChargeMemory(bytes);
}

void ChargeMemory(std::size_t bytes) {
  if (budget.open) {
    budget.bytes += bytes;
    if (budget.bytes <= budget.byteLimit) return;
    budget.outOfMemory = true;
    OutOfTime(0, 0);
  }
  run.bytes += bytes;
  if (run.bytes > kTQScriptMemoryLimit)
    Fail("Abbruch: mehr als " + std::to_string(kTQScriptMemoryLimit >> 20) + " MB Texte und Arrays erzeugt");
}

void CountStep() { ++stepsRun; }

void ReadClockAfterWork() {
  workBeforeReading = kWorkPerReading;
  if (run.inCall) CheckTime(0, 0);
}

void CheckTime(int line, int column) {
  if (Elapsed() <= run.allowed) return;
  if (budget.open) OutOfTime(line, column);
  Fail("Abbruch: Laufzeit über " + FormatDouble(kTQScriptTimeLimit) + " s", line, column);
}

int ShowBox(const std::function<int()>& show, int line, int column) {
  // A box is shown only when the call can pay for it: so a budget shows a handful of boxes, then stops.
  // The box not shown still costs its time, so that a budget left with less than a box's time is spent.
  if (Elapsed() + kTQScriptBoxSeconds > run.allowed) {
    run.boxes += kTQScriptBoxSeconds;
    CheckTime(line, column);
  }
  const double shown = Now();
  const int answer = show();
  run.boxes += std::max(0.0, kTQScriptBoxSeconds - (Now() - shown));
  CheckTime(line, column);
  return answer;
}

// A block of the allocator: a header of 8 bytes, 16-byte steps, 32 bytes at the least.
std::size_t HeapBlock(std::size_t bytes) {
  return bytes == 0 ? 0 : std::max<std::size_t>(32, (bytes + 8 + 15) / 16 * 16);
}

namespace {

// The counts that share an array, allocated with it: a pointer to their table and two counts.
constexpr std::size_t kSharedCount = 16;
const std::size_t kInlineText = std::string().capacity();

}  // namespace

std::size_t ArrayBytes(std::size_t dimensions, std::size_t elements) {
  return HeapBlock(sizeof(ArrayData) + kSharedCount) + HeapBlock(dimensions * sizeof(int32_t)) +
         HeapBlock(elements * sizeof(Value));
}

std::size_t TextBytes(std::size_t capacity) { return capacity <= kInlineText ? 0 : HeapBlock(capacity + 1); }

std::size_t BytesOf(const Value& v) {
  if (v.kind == Value::Kind::String) return TextBytes(v.text.capacity());
  if (v.kind != Value::Kind::Array || !v.array) return 0;
  std::size_t bytes = ArrayBytes(v.array->upper.capacity(), v.array->items.capacity());
  for (const Value& item : v.array->items) bytes += BytesOf(item);
  return bytes;
}

void Fail(std::string message, int line, int column) { throw ScriptError{std::move(message), line, column, "", false}; }

Value Value::Bool(bool b) {
  Value v;
  v.kind = Kind::Boolean;
  v.boolean = b;
  return v;
}

Value Value::Int(int64_t i) {
  if (i < INT32_MIN || i > INT32_MAX) return Dbl(static_cast<double>(i));
  Value v;
  v.kind = Kind::Integer;
  v.integer = static_cast<int32_t>(i);
  return v;
}

Value Value::Dbl(double d) {
  Value v;
  v.kind = Kind::Double;
  v.number = d;
  return v;
}

Value Value::Str(std::string s) {
  if (s.size() > kMaxStringLength) {
    std::size_t characters = 0;
    for (char c : s) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    if (characters > kMaxStringLength)
      Fail("Zeichenfolge zu lang: mehr als " + std::to_string(kMaxStringLength) + " Zeichen");
  }
  Charge(TextBytes(s.capacity()));
  Value v;
  v.kind = Kind::String;
  v.text = std::move(s);
  return v;
}

bool Value::IsNumeric() const { return kind == Kind::Boolean || kind == Kind::Integer || kind == Kind::Double; }

Value CopyValue(const Value& v) {
  if (v.kind == Value::Kind::String) Charge(TextBytes(v.text.size()));
  if (v.kind != Value::Kind::Array) return v;
  Charge(ArrayBytes(v.array->upper.size(), v.array->items.size()));
  Value copy = v;
  copy.array = std::make_shared<ArrayData>(*v.array);
  for (auto& item : copy.array->items) item = CopyValue(item);
  return copy;
}

bool ParseNumber(std::string_view text, double& out) {
  std::size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  text = text.substr(b, e - b);
  if (text.empty()) return false;
  bool negative = false;
  std::size_t i = 0;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    i = 1;
  }
  if (text.size() > i + 2 && text[i] == '&' && (text[i + 1] == 'H' || text[i + 1] == 'h')) {
    int64_t v = 0;
    auto r = std::from_chars(text.data() + i + 2, text.data() + text.size(), v, 16);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || v > 0xFFFFFFFFLL) return false;
    // Hex texts are 32-bit patterns: &HFFFFFFFF is -1.
    if (v > INT32_MAX) v -= 0x100000000LL;
    out = negative ? -static_cast<double>(v) : static_cast<double>(v);
    return true;
  }
  // Only digits, one point and an exponent: from_chars alone would also take "inf" and "nan".
  std::size_t j = i;
  bool digits = false;
  while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j, digits = true;
  if (j < text.size() && text[j] == '.') {
    ++j;
    while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j, digits = true;
  }
  if (!digits) return false;
  if (j < text.size() && (text[j] == 'e' || text[j] == 'E')) {
    std::size_t k = j + 1;
    if (k < text.size() && (text[k] == '+' || text[k] == '-')) ++k;
    if (k >= text.size() || !std::isdigit(static_cast<unsigned char>(text[k]))) return false;
    while (k < text.size() && std::isdigit(static_cast<unsigned char>(text[k]))) ++k;
    j = k;
  }
  if (j != text.size()) return false;
  std::string copy(text.substr(i));
  char* end = nullptr;
  double v = std::strtod(copy.c_str(), &end);
  if (!std::isfinite(v)) return false;
  out = negative ? -v : v;
  return true;
}

namespace {

[[noreturn]] void TypeMismatch(const Value& v, int line, int column) {
  if (v.kind == Value::Kind::String) Fail("Typen unverträglich: \"" + v.text + "\"", line, column);
  Fail("Typen unverträglich: " + TypeName(v), line, column);
}

}  // namespace

double ToDouble(const Value& v, int line, int column) {
  switch (v.kind) {
    case Value::Kind::Empty: return 0;
    case Value::Kind::Boolean: return v.boolean ? -1 : 0;
    case Value::Kind::Integer: return v.integer;
    case Value::Kind::Double: return v.number;
    case Value::Kind::String: {
      double d = 0;
      if (ParseNumber(v.text, d)) return d;
      break;
    }
    case Value::Kind::Array: break;
  }
  TypeMismatch(v, line, column);
}

int32_t ToLong(const Value& v, int line, int column) {
  if (v.kind == Value::Kind::Integer) return v.integer;
  double d = std::nearbyint(ToDouble(v, line, column));  // the default rounding mode: half to even
  if (d < INT32_MIN || d > INT32_MAX) Fail("Überlauf", line, column);
  return static_cast<int32_t>(d);
}

bool ToBool(const Value& v, int line, int column) {
  if (v.kind == Value::Kind::Boolean) return v.boolean;
  if (v.kind == Value::Kind::String) {
    std::string u;
    for (char c : v.text) u += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (u == "TRUE" || u == "WAHR") return true;
    if (u == "FALSE" || u == "FALSCH") return false;
  }
  return ToDouble(v, line, column) != 0;
}

std::string FormatDouble(double d) {
  if (d == 0) return "0";
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific);
  std::string sci(buf, r.ptr);
  // sci is "[-]d[.ddd]e[+-]xx": split into sign, digits and exponent.
  bool negative = sci[0] == '-';
  std::size_t ePos = sci.find('e');
  std::string mantissa = sci.substr(negative ? 1 : 0, ePos - (negative ? 1 : 0));
  int exponent = std::atoi(sci.c_str() + ePos + 1);
  std::string digits;
  for (char c : mantissa)
    if (c != '.') digits += c;
  std::string out = negative ? "-" : "";
  if (exponent >= -5 && exponent < 15) {
    if (exponent < 0) {
      out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else if (static_cast<int>(digits.size()) <= exponent + 1) {
      out += digits + std::string(static_cast<std::size_t>(exponent + 1) - digits.size(), '0');
    } else {
      out += digits.substr(0, static_cast<std::size_t>(exponent + 1)) + "." +
             digits.substr(static_cast<std::size_t>(exponent + 1));
    }
    return out;
  }
  out += digits.substr(0, 1);
  if (digits.size() > 1) out += "." + digits.substr(1);
  char exp[16];
  std::snprintf(exp, sizeof exp, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return out + exp;
}

std::string ToText(const Value& v, int line, int column) {
  switch (v.kind) {
    case Value::Kind::Empty: return "";
    case Value::Kind::Boolean: return v.boolean ? "True" : "False";
    case Value::Kind::Integer: return std::to_string(v.integer);
    case Value::Kind::Double: return FormatDouble(v.number);
    case Value::Kind::String: return v.text;
    case Value::Kind::Array: break;
  }
  TypeMismatch(v, line, column);
}

std::string TypeName(const Value& v) {
  switch (v.kind) {
    case Value::Kind::Empty: return "Empty";
    case Value::Kind::Boolean: return "Boolean";
    case Value::Kind::Integer: return "Long";
    case Value::Kind::Double: return "Double";
    case Value::Kind::String: return "String";
    case Value::Kind::Array: return "Variant()";
  }
  return "";
}

std::u32string ToU32(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  std::size_t pos = 0;
  while (pos < s.size()) out += win::NextCodePoint(s, pos);
  return out;
}

std::string FromU32(std::u32string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char32_t c : s) win::AppendUtf8(out, c);
  return out;
}

char32_t UpperChar(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  return c;
}

char32_t LowerChar(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  return c;
}

bool IsLatinLetter(char32_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 0xC0 && c <= 0xFF && c != 0xD7 && c != 0xF7);
}

std::string UpperText(std::string_view s) {
  std::u32string u = ToU32(s);
  for (auto& c : u) c = UpperChar(c);
  return FromU32(u);
}

}  // namespace tqscript

TQScriptBudget::TQScriptBudget(double seconds, std::size_t bytes) : outermost(!tqscript::budget.open) {
  if (outermost) tqscript::budget = tqscript::OpenBudget(seconds, bytes);
}

TQScriptBudget::~TQScriptBudget() {
  if (outermost) tqscript::budget = tqscript::BudgetState{};
}

struct TQScriptActionBudget::Saved {
  tqscript::BudgetState budget;
  std::size_t heldAtStart = 0;
};

TQScriptActionBudget::TQScriptActionBudget(double seconds, std::size_t bytes)
    : saved(std::make_unique<Saved>(Saved{tqscript::budget, 0})) {
  tqscript::budget = tqscript::OpenBudget(seconds, bytes);
  saved->heldAtStart = tqscript::budget.bytes;
}

TQScriptActionBudget::~TQScriptActionBudget() {
  // What the action created may still be held when the interrupted budget goes on.
  const std::size_t created = tqscript::budget.bytes - saved->heldAtStart;
  tqscript::budget = saved->budget;
  if (!tqscript::budget.open) return;
  tqscript::budget.bytes += created;
  tqscript::budget.outOfMemory = tqscript::budget.outOfMemory || tqscript::budget.bytes > tqscript::budget.byteLimit;
}

bool TQScriptBudget::Spent() {
  return tqscript::budget.open && (tqscript::budget.spent >= tqscript::budget.limit || tqscript::budget.outOfMemory);
}

bool TQScriptBudget::ClaimStopMessage() {
  if (!Spent() || tqscript::budget.stopClaimed) return false;
  tqscript::budget.stopClaimed = true;
  return true;
}

void TQSCRIPT_SetClock(std::function<double()> clock) { tqscript::Clock() = std::move(clock); }
