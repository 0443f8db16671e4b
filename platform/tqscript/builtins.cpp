#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <unordered_map>
#include <vector>

#include "platform/tqscript/script_internal.h"
#include "platform/win/base/codepage.h"
#include "platform/win/dialogs/msgbox.h"

namespace tqscript {
namespace {

struct Args {
  const BuiltinCall& call;
  std::size_t size() const { return call.args.size(); }
  const Value& operator[](std::size_t i) const { return call.args[i]; }
  [[noreturn]] void Invalid(const std::string& why = "") const {
    Fail("Ungültiger Prozeduraufruf oder ungültiges Argument: " + call.name + (why.empty() ? "" : " (" + why + ")"),
         call.line, call.column);
  }
  double Num(std::size_t i) const { return ToDouble(call.args[i], call.line, call.column); }
  int32_t Long(std::size_t i) const { return ToLong(call.args[i], call.line, call.column); }
  std::string Text(std::size_t i) const { return ToText(call.args[i], call.line, call.column); }
  std::u32string Chars(std::size_t i) const { return ToU32(Text(i)); }
  // A count or a length: not negative.
  std::size_t Count(std::size_t i) const {
    int32_t n = Long(i);
    if (n < 0) Invalid("negativ");
    return static_cast<std::size_t>(n);
  }
};

using Builtin = std::function<Value(const Args&)>;

struct Entry {
  std::size_t minArgs, maxArgs;
  Builtin run;
};

// The type of a numeric argument carries over to Int, Fix and Abs: an integer stays one.
Value SameKind(const Value& v, double d, int line, int column) {
  if (v.kind == Value::Kind::Integer || v.kind == Value::Kind::Boolean || v.kind == Value::Kind::Empty)
    return Value::Int(static_cast<int64_t>(d));
  if (!std::isfinite(d)) Fail("Überlauf", line, column);
  return Value::Dbl(d);
}

std::u32string Upper(std::u32string s) {
  for (auto& c : s) c = UpperChar(c);
  return s;
}

// The first place of `needle` in `hay` at or after `from`, in time linear in their lengths: the library's search
// compares the needle at every place, which for texts of a repeated character is their product (hours).
template <typename Text>
std::size_t Search(const Text& hay, const Text& needle, std::size_t from) {
  if (from > hay.size()) return Text::npos;
  if (needle.empty()) return from;
  // longest proper prefix of needle[0..i] that is also its suffix
  std::vector<std::uint32_t> border(needle.size(), 0);
  for (std::size_t i = 1, k = 0; i < needle.size(); ++i) {
    while (k > 0 && needle[i] != needle[k]) k = border[k - 1];
    if (needle[i] == needle[k]) ++k;
    border[i] = static_cast<std::uint32_t>(k);
  }
  for (std::size_t i = from, k = 0; i < hay.size(); ++i) {
    while (k > 0 && hay[i] != needle[k]) k = border[k - 1];
    if (hay[i] == needle[k]) ++k;
    if (k == needle.size()) return i + 1 - k;
  }
  return Text::npos;
}

// The last place of `needle` that ends at or before `end`.
std::size_t SearchBack(const std::u32string& hay, const std::u32string& needle, std::size_t end) {
  const std::u32string yah(hay.rend() - static_cast<std::ptrdiff_t>(end), hay.rend());
  const std::u32string eldeen(needle.rbegin(), needle.rend());
  const std::size_t p = Search(yah, eldeen, 0);
  return p == std::u32string::npos ? p : end - p - needle.size();
}

std::size_t Find(const std::u32string& hay, const std::u32string& needle, std::size_t from, bool text) {
  if (!text) return Search(hay, needle, from);
  return Search(Upper(hay), Upper(needle), from);
}

Value Str32(const std::u32string& s) { return Value::Str(FromU32(s)); }

Value MakeArray(std::vector<Value> items) {
  if (items.size() > kMaxArrayElements) Fail("Array zu groß");
  Charge(ArrayBytes(1, items.capacity()));
  Value v;
  v.kind = Value::Kind::Array;
  v.array = std::make_shared<ArrayData>();
  v.array->upper = {static_cast<int32_t>(items.size()) - 1};
  v.array->items = std::move(items);
  v.array->dynamic = true;
  return v;
}

const ArrayData& ArrayArg(const Args& a, std::size_t i) {
  if (a[i].kind != Value::Kind::Array)
    Fail("Typen unverträglich: " + a.call.name + " braucht ein Array", a.call.line, a.call.column);
  return *a[i].array;
}

int32_t Bound(const Args& a, bool upper) {
  const ArrayData& arr = ArrayArg(a, 0);
  int32_t dim = a.size() > 1 ? a.Long(1) : 1;
  if (dim < 1 || static_cast<std::size_t>(dim) > arr.upper.size())
    Fail("Index außerhalb des gültigen Bereichs: Dimension " + std::to_string(dim), a.call.line, a.call.column);
  return upper ? arr.upper[static_cast<std::size_t>(dim) - 1] : 0;
}

double RoundHalfEven(double x, int digits) {
  double scale = std::pow(10.0, digits);
  double scaled = x * scale;
  if (!std::isfinite(scaled)) return x;
  return std::nearbyint(scaled) / scale;
}

std::string TrimText(const std::string& s, bool left, bool right) {
  std::size_t b = 0, e = s.size();
  if (left)
    while (b < e && s[b] == ' ') ++b;
  if (right)
    while (e > b && s[e - 1] == ' ') --e;
  return s.substr(b, e - b);
}

// InStr([start,] text, sought[, compare]) and InStrRev(text, sought[, start[, compare]]).
Value InStr(const Args& a) {
  std::size_t start = 1, first = 0;
  if (a.size() >= 3) {
    int32_t s = a.Long(0);
    if (s < 1) a.Invalid("Start < 1");
    start = static_cast<std::size_t>(s);
    first = 1;
  }
  bool text = a.size() == 4 && a.Long(3) == 1;
  std::u32string hay = a.Chars(first), needle = a.Chars(first + 1);
  if (start > hay.size() + 1) return Value::Int(0);
  std::size_t p = Find(hay, needle, start - 1, text);
  return Value::Int(p == std::u32string::npos ? 0 : static_cast<int64_t>(p) + 1);
}

Value InStrRev(const Args& a) {
  std::u32string hay = a.Chars(0), needle = a.Chars(1);
  int32_t start = a.size() > 2 ? a.Long(2) : -1;
  if (start == 0 || start < -1) a.Invalid("Start");
  bool text = a.size() == 4 && a.Long(3) == 1;
  if (start == -1) start = static_cast<int32_t>(hay.size());
  if (static_cast<std::size_t>(start) > hay.size()) return Value::Int(0);
  std::u32string h = text ? Upper(hay) : hay, n = text ? Upper(needle) : needle;
  if (n.size() > static_cast<std::size_t>(start)) return Value::Int(0);
  std::size_t p = SearchBack(h, n, static_cast<std::size_t>(start));
  return Value::Int(p == std::u32string::npos ? 0 : static_cast<int64_t>(p) + 1);
}

// Replace(text, find, with[, start[, count[, compare]]]); like the language, the result begins at start.
Value Replace(const Args& a) {
  std::u32string s = a.Chars(0), find = a.Chars(1), with = a.Chars(2);
  std::size_t start = 1;
  if (a.size() > 3) {
    int32_t st = a.Long(3);
    if (st < 1) a.Invalid("Start < 1");
    start = static_cast<std::size_t>(st);
  }
  int32_t count = a.size() > 4 ? a.Long(4) : -1;
  if (count < -1) a.Invalid("Anzahl");
  bool text = a.size() > 5 && a.Long(5) == 1;
  if (start > s.size()) return Value::Str("");
  s = s.substr(start - 1);
  if (find.empty() || count == 0) return Str32(s);
  // case folded once: the folding keeps every character's place
  const std::u32string key = text ? Upper(find) : find, hayKey = text ? Upper(s) : std::u32string();
  const std::u32string& searched = text ? hayKey : s;
  std::u32string out;
  std::size_t pos = 0;
  for (int32_t done = 0; count < 0 || done < count; ++done) {
    std::size_t p = Search(searched, key, pos);
    if (p == std::u32string::npos) break;
    out += s.substr(pos, p - pos);
    out += with;
    if (out.size() > kMaxStringLength) Fail("Zeichenfolge zu lang", a.call.line, a.call.column);
    pos = p + find.size();
  }
  out += s.substr(pos);
  return Str32(out);
}

Value MsgBox(const Args& a) {
  std::string prompt = a.Text(0);
  int32_t buttons = a.size() > 1 && a[1].kind != Value::Kind::Empty ? a.Long(1) : 0;
  std::string title = a.size() > 2 ? a.Text(2) : "Makro";
  return Value::Int(
      ShowBox([&] { return ::MessageBox(nullptr, prompt.c_str(), title.c_str(), static_cast<UINT>(buttons)); },
              a.call.line, a.call.column));
}

Value FormatNumber(const Args& a) {
  double x = a.Num(0);
  int32_t digits = a.size() > 1 && a[1].kind != Value::Kind::Empty ? a.Long(1) : 2;
  if (digits < 0 || digits > 15) a.Invalid("Stellen");
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", static_cast<int>(digits), x);
  std::string s = buf;
  // A value that rounds to zero shows no sign.
  if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  return Value::Str(s);
}

Value StringOf(const Args& a) {
  std::size_t n = a.Count(0);
  if (n > kMaxStringLength) Fail("Zeichenfolge zu lang", a.call.line, a.call.column);
  char32_t c = 0;
  if (a[1].kind == Value::Kind::String) {
    std::u32string s = a.Chars(1);
    if (s.empty()) a.Invalid("leeres Zeichen");
    c = s[0];
  } else {
    int32_t code = a.Long(1);
    if (code < 0 || code > 255) a.Invalid("Zeichencode");
    c = ToU32(win::Windows1252ToUtf8(std::string(1, static_cast<char>(code))))[0];
  }
  return Str32(std::u32string(n, c));
}

Value Split(const Args& a) {
  std::string s = a.Text(0), sep = a.size() > 1 ? a.Text(1) : " ";
  std::vector<Value> parts;
  if (s.empty()) return MakeArray({});
  if (sep.empty()) return MakeArray({Value::Str(s)});
  std::size_t pos = 0;
  for (;;) {
    std::size_t p = Search(s, sep, pos);
    parts.push_back(Value::Str(s.substr(pos, p == std::string::npos ? std::string::npos : p - pos)));
    if (p == std::string::npos) break;
    pos = p + sep.size();
  }
  return MakeArray(std::move(parts));
}

Value Join(const Args& a) {
  const ArrayData& arr = ArrayArg(a, 0);
  if (arr.upper.size() != 1) a.Invalid("eindimensionales Array erwartet");
  std::string sep = a.size() > 1 ? a.Text(1) : " ", out;
  for (std::size_t i = 0; i < arr.items.size(); ++i) {
    if (i) out += sep;
    out += ToText(arr.items[i], a.call.line, a.call.column);
    if (out.size() > kMaxStringLength) Fail("Zeichenfolge zu lang", a.call.line, a.call.column);
  }
  return Value::Str(out);
}

const std::unordered_map<std::string, Entry>& Table() {
  static const std::unordered_map<std::string, Entry> table = {
      {"LEN", {1, 1, [](const Args& a) { return Value::Int(static_cast<int64_t>(a.Chars(0).size())); }}},
      {"LEFT", {2, 2, [](const Args& a) { return Str32(a.Chars(0).substr(0, a.Count(1))); }}},
      {"RIGHT",
       {2, 2,
        [](const Args& a) {
          std::u32string s = a.Chars(0);
          std::size_t n = std::min(a.Count(1), s.size());
          return Str32(s.substr(s.size() - n));
        }}},
      {"MID",
       {2, 3,
        [](const Args& a) {
          std::u32string s = a.Chars(0);
          int32_t start = a.Long(1);
          if (start < 1) a.Invalid("Start < 1");
          std::size_t n = a.size() > 2 ? a.Count(2) : std::u32string::npos;
          if (static_cast<std::size_t>(start) > s.size()) return Value::Str("");
          return Str32(s.substr(static_cast<std::size_t>(start) - 1, n));
        }}},
      {"INSTR", {2, 4, InStr}},
      {"INSTRREV", {2, 4, InStrRev}},
      {"UCASE", {1, 1, [](const Args& a) { return Str32(Upper(a.Chars(0))); }}},
      {"LCASE",
       {1, 1,
        [](const Args& a) {
          std::u32string s = a.Chars(0);
          for (auto& c : s) c = LowerChar(c);
          return Str32(s);
        }}},
      {"TRIM", {1, 1, [](const Args& a) { return Value::Str(TrimText(a.Text(0), true, true)); }}},
      {"LTRIM", {1, 1, [](const Args& a) { return Value::Str(TrimText(a.Text(0), true, false)); }}},
      {"RTRIM", {1, 1, [](const Args& a) { return Value::Str(TrimText(a.Text(0), false, true)); }}},
      {"REPLACE", {3, 6, Replace}},
      {"SPACE",
       {1, 1,
        [](const Args& a) {
          std::size_t n = a.Count(0);
          if (n > kMaxStringLength) Fail("Zeichenfolge zu lang", a.call.line, a.call.column);
          return Value::Str(std::string(n, ' '));
        }}},
      {"STRING", {2, 2, StringOf}},
      {"STRREVERSE",
       {1, 1,
        [](const Args& a) {
          std::u32string s = a.Chars(0);
          return Str32(std::u32string(s.rbegin(), s.rend()));
        }}},
      {"CHR",
       {1, 1,
        [](const Args& a) {
          int32_t code = a.Long(0);
          if (code < 0 || code > 255) a.Invalid("Zeichencode 0 bis 255");
          return Value::Str(win::Windows1252ToUtf8(std::string(1, static_cast<char>(code))));
        }}},
      {"ASC",
       {1, 1,
        [](const Args& a) {
          std::u32string s = a.Chars(0);
          if (s.empty()) a.Invalid("leere Zeichenfolge");
          int b = win::Windows1252Byte(s[0]);
          return Value::Int(b >= 0 ? b : static_cast<int64_t>(s[0]));
        }}},
      {"CSTR", {1, 1, [](const Args& a) { return Value::Str(a.Text(0)); }}},
      {"CDBL", {1, 1, [](const Args& a) { return Value::Dbl(a.Num(0)); }}},
      {"CLNG", {1, 1, [](const Args& a) { return Value::Int(a.Long(0)); }}},
      {"CINT",
       {1, 1,
        [](const Args& a) {
          int32_t v = a.Long(0);
          if (v < -32768 || v > 32767) Fail("Überlauf: CInt", a.call.line, a.call.column);
          return Value::Int(v);
        }}},
      {"CBOOL", {1, 1, [](const Args& a) { return Value::Bool(ToBool(a[0], a.call.line, a.call.column)); }}},
      {"INT", {1, 1, [](const Args& a) { return SameKind(a[0], std::floor(a.Num(0)), a.call.line, a.call.column); }}},
      {"FIX", {1, 1, [](const Args& a) { return SameKind(a[0], std::trunc(a.Num(0)), a.call.line, a.call.column); }}},
      {"ABS", {1, 1, [](const Args& a) { return SameKind(a[0], std::fabs(a.Num(0)), a.call.line, a.call.column); }}},
      {"SGN",
       {1, 1,
        [](const Args& a) {
          double x = a.Num(0);
          return Value::Int(x > 0 ? 1 : x < 0 ? -1 : 0);
        }}},
      {"SQR",
       {1, 1,
        [](const Args& a) {
          if (a.Num(0) < 0) a.Invalid("negativ");
          return Value::Dbl(std::sqrt(a.Num(0)));
        }}},
      {"EXP",
       {1, 1,
        [](const Args& a) {
          double r = std::exp(a.Num(0));
          if (!std::isfinite(r)) Fail("Überlauf", a.call.line, a.call.column);
          return Value::Dbl(r);
        }}},
      {"LOG",
       {1, 1,
        [](const Args& a) {
          if (a.Num(0) <= 0) a.Invalid("nicht positiv");
          return Value::Dbl(std::log(a.Num(0)));
        }}},
      {"SIN", {1, 1, [](const Args& a) { return Value::Dbl(std::sin(a.Num(0))); }}},
      {"COS", {1, 1, [](const Args& a) { return Value::Dbl(std::cos(a.Num(0))); }}},
      {"TAN", {1, 1, [](const Args& a) { return Value::Dbl(std::tan(a.Num(0))); }}},
      {"ATN", {1, 1, [](const Args& a) { return Value::Dbl(std::atan(a.Num(0))); }}},
      {"ROUND",
       {1, 2,
        [](const Args& a) {
          int32_t digits = a.size() > 1 ? a.Long(1) : 0;
          if (digits < 0 || digits > 15) a.Invalid("Stellen");
          double r = RoundHalfEven(a.Num(0), digits);
          if (a[0].kind == Value::Kind::Integer) return Value::Int(static_cast<int64_t>(r));
          return Value::Dbl(r);
        }}},
      {"FORMATNUMBER", {1, 2, FormatNumber}},
      {"ISNUMERIC",
       {1, 1,
        [](const Args& a) {
          const Value& v = a[0];
          double d = 0;
          return Value::Bool(v.IsNumeric() || v.kind == Value::Kind::Empty ||
                             (v.kind == Value::Kind::String && ParseNumber(v.text, d)));
        }}},
      {"ISEMPTY", {1, 1, [](const Args& a) { return Value::Bool(a[0].kind == Value::Kind::Empty); }}},
      {"ISARRAY", {1, 1, [](const Args& a) { return Value::Bool(a[0].kind == Value::Kind::Array); }}},
      {"TYPENAME", {1, 1, [](const Args& a) { return Value::Str(TypeName(a[0])); }}},
      {"UBOUND", {1, 2, [](const Args& a) { return Value::Int(Bound(a, true)); }}},
      {"LBOUND", {1, 2, [](const Args& a) { return Value::Int(Bound(a, false)); }}},
      {"ARRAY", {0, 1000, [](const Args& a) { return MakeArray(a.call.args); }}},
      {"SPLIT", {1, 2, Split}},
      {"JOIN", {1, 2, Join}},
      {"MSGBOX", {1, 3, MsgBox}},
  };
  return table;
}

}  // namespace

bool IsBuiltin(const std::string& upperName) { return Table().count(upperName) != 0; }

Value CallBuiltin(const BuiltinCall& call) {
  std::string upper;
  for (char c : call.name) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const Entry& e = Table().at(upper);
  if (call.args.size() < e.minArgs || call.args.size() > e.maxArgs)
    Fail("Falsche Anzahl an Argumenten: " + call.name, call.line, call.column);
  for (std::size_t i = 0; i < call.args.size(); ++i)
    if (call.args[i].kind == Value::Kind::Array && upper != "UBOUND" && upper != "LBOUND" && upper != "ISARRAY" &&
        upper != "TYPENAME" && upper != "JOIN" && upper != "ISEMPTY" && upper != "ARRAY" && upper != "ISNUMERIC")
      Fail("Typen unverträglich: Array als Argument von " + call.name, call.line, call.column);
  return e.run(Args{call});
}

bool BuiltinConstant(const std::string& upperName, Value& out) {
  static const std::unordered_map<std::string, Value> constants = {
      {"VBCRLF", Value::Str("\r\n")},
      {"VBNEWLINE", Value::Str("\r\n")},
      {"VBCR", Value::Str("\r")},
      {"VBLF", Value::Str("\n")},
      {"VBTAB", Value::Str("\t")},
      {"VBNULLSTRING", Value::Str("")},
      {"VBOKONLY", Value::Int(0)},
      {"VBOKCANCEL", Value::Int(1)},
      {"VBABORTRETRYIGNORE", Value::Int(2)},
      {"VBYESNOCANCEL", Value::Int(3)},
      {"VBYESNO", Value::Int(4)},
      {"VBRETRYCANCEL", Value::Int(5)},
      {"VBCRITICAL", Value::Int(16)},
      {"VBQUESTION", Value::Int(32)},
      {"VBEXCLAMATION", Value::Int(48)},
      {"VBINFORMATION", Value::Int(64)},
      {"VBDEFAULTBUTTON1", Value::Int(0)},
      {"VBDEFAULTBUTTON2", Value::Int(256)},
      {"VBDEFAULTBUTTON3", Value::Int(512)},
      {"VBOK", Value::Int(1)},
      {"VBCANCEL", Value::Int(2)},
      {"VBABORT", Value::Int(3)},
      {"VBRETRY", Value::Int(4)},
      {"VBIGNORE", Value::Int(5)},
      {"VBYES", Value::Int(6)},
      {"VBNO", Value::Int(7)},
      {"VBBINARYCOMPARE", Value::Int(0)},
      {"VBTEXTCOMPARE", Value::Int(1)},
  };
  auto it = constants.find(upperName);
  if (it == constants.end()) return false;
  out = it->second;
  return true;
}

}  // namespace tqscript
