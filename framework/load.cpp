#include "framework/load.h"

#include <cctype>
#include <cstdlib>

#include "framework/fieldlist.h"
#include "platform/tolkar/tolkar.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "Load", text)); }

// A piece of a load-case list as a decimal integer: leading blanks, an optional sign, digits up to the first
// other character; no digits give 0. Values beyond the int range are clamped.
int PieceToInt(const CString& piece) {
  long value = std::strtol(piece, nullptr, 10);
  if (value > 2147483647L) return 2147483647;
  if (value < -2147483647L - 1) return -2147483647 - 1;
  return int(value);
}

}  // namespace

void CLoadCaseList::Format() {
  text.Empty();
  for (INT_PTR i = 0; i < numbers.GetSize(); ++i) text.AppendFormat(i == 0 ? "%ld" : ",%ld", long(numbers[i]));
}

void CLoadCaseList::Parse() {
  numbers.RemoveAll();
  CString rest = text;
  while (!rest.IsEmpty()) {
    int comma = rest.Find(',');
    if (comma >= 0) {
      numbers.Add(PieceToInt(rest.Left(comma)));
      rest = rest.Mid(comma + 1);
    } else {
      numbers.Add(PieceToInt(rest));
      rest.Empty();
    }
    rest.Trim();
  }
}

Load::Load() = default;

Load::Load(const Load& other) { *this = other; }

Load& Load::operator=(const Load& other) {
  if (this == &other) return *this;
  lc = other.lc;
  ltype = other.ltype;
  node = other.node;
  direction = other.direction;
  bHasDirection = other.bHasDirection;
  LCGen = other.LCGen;
  desc = other.desc;
  offset = other.offset;
  length = other.length;
  ey = other.ey;
  ez = other.ez;
  val0 = other.val0;
  val1 = other.val1;
  val2 = other.val2;
  val3 = other.val3;
  val4 = other.val4;
  val5 = other.val5;
  return *this;
}

template <class Fn>
void Load::ForEachValue(Fn fn) {
  fn("offset", offset);
  fn("length", length);
  fn("ey", ey);
  fn("ez", ez);
  fn("val0", val0);
  fn("val1", val1);
  fn("val2", val2);
  fn("val3", val3);
  fn("val4", val4);
  fn("val5", val5);
}

void Load::SetVariableStore(CVariableStore* store) {
  ForEachValue([store](const char*, CFormulaNumber& number) { number.m_pStore = store; });
}

CString Load::GetLoadTypeText(int i) {
  static const char* const kTexts[kLoadTypeCount] = {
      "Gleichlast",        "Trapezlast",   "Dreieckslast",         "Trapezlast 2",     "Temperatur",
      "Zwangsverformung",  "Linienmoment", "Linienmoment(Trapez)", "Einzellast",       "Einzelmoment",
      "Einzellast/Moment", "Eigengewicht", "Flächenlast",          "Linienlast/Moment"};
  return i >= 0 && i < kLoadTypeCount ? Tr(kTexts[i]) : CString();
}

CString Load::GetDirectionText(int i) {
  static const char* const kTexts[kDirectionCount] = {"X-Richtung", "Y-Richtung", "Z-Richtung"};
  return i >= 0 && i < kDirectionCount ? Tr(kTexts[i]) : CString();
}

template <class V>
void Load::Fields(const V& v) {
  v.Int("lc", lc);
  v.String("LCGen", LCGen.text);
  v.String("desc", desc);
  v.Int("ltype", ltype);
  v.Int("node", node);
  v.Int("direction", direction);
  v.Int("bHasDirection", bHasDirection);
  ForEachValue([&v](const char* name, CFormulaNumber& number) { v.Number(name, number); });
}

void Load::WriteData(int element) { Fields(FieldWriter(element)); }

void Load::ReadData(int element) {
  Fields(FieldReader(element));
  LCGen.Parse();
}
