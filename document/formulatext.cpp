#include "document/formulatext.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>

#include "document/rtfchunks.h"
#include "document/rtfheader.h"
#include "document/runningsums.h"
#include "document/symbols.h"
#include "formula/formulanumber.h"
#include "formula/varstore.h"
#include "framework/regsettings.h"
#include "platform/tolkar/tolkar.h"
#include "platform/tqscript/tqscript.h"
#include "platform/win/base/afxstr.h"
#include "platform/win/base/numbers.h"
#include "platform/win/dialogs/msgbox.h"

namespace {

constexpr double kPi = 3.1415927;

std::string Trim(const std::string& text) {
  std::size_t a = 0, b = text.size();
  while (a < b && text[a] == ' ') ++a;
  while (b > a && text[b - 1] == ' ') --b;
  return text.substr(a, b - a);
}

std::string Lower(std::string text) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Tr(const char* text) { return TOLK_Translate("Ormi Eingabe", "vernik_i_Skrib", "RichEditCtrl", text); }

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

bool Escaped(const std::string& text, std::size_t at) {
  std::size_t n = 0;
  while (at > n && text[at - n - 1] == '\\') ++n;
  return n % 2 == 1;
}

bool IsWordEnd(const std::string& text, std::size_t at) {
  return at >= text.size() || !std::isalpha(static_cast<unsigned char>(text[at]));
}

bool AllIn(const std::string& text, SymbolCharClass charClass) {
  for (char c : text)
    if (!InCharClass(charClass, static_cast<unsigned char>(c))) return false;
  return true;
}

std::string FontKey(const RtfFontTable& fonts, int i) {
  std::string key = Lower(fonts.GetKey(i));
  key.erase(std::remove(key.begin(), key.end(), '_'), key.end());
  return key;
}

int ReadSetting(const char* name, int defaultValue) {
  int value = defaultValue;
  GetRegSettings().ReadInt("Skrib", name, &value, defaultValue);
  return value;
}

// What a script result may put into a bracket part: escaped RTF without brackets of its own.
std::string BracketText(std::string text) {
  std::replace(text.begin(), text.end(), '[', '(');
  std::replace(text.begin(), text.end(), ']', ')');
  return EscapeRtfText(text);
}

// Puts output in place of the last bracket part of the block's RTF, or at its end; a shown result behind it
// keeps its place.
void PlaceOutput(SkribTextBlock& block, const std::string& output) {
  const std::size_t close = block.rtf.rfind(']');
  const std::size_t open = block.rtf.rfind('[');
  if (close != std::string::npos && open != std::string::npos && open < close) {
    block.rtf.replace(open, close + 1 - open, output);
    if (block.resultPosition > int(open)) block.resultPosition += int(output.size()) - int(close + 1 - open);
  } else {
    block.rtf += output;
  }
}

// The first message of a unit is the one it shows; a later call that went well does not take it away.
void Note(SkribTextBlock& block, const std::string& message) {
  if (message.empty() || !block.message.empty()) return;
  block.messageCode = 0;
  block.message = message;
}

// The name a unit defines in the store: behind the prefix, when there is one, and a backslash.
std::string FullName(const std::string& namePrefix, const std::string& name) {
  return namePrefix.empty() ? name : namePrefix + "\\" + name;
}

// A number that converts to a long without leaving its range.
bool Representable(double x) { return std::isfinite(x) && std::fabs(x) < 1e15; }

// The value of a formula of a unit; the first reason one of the unit's formulas gives no value is kept in the unit's
// `failure`, and as the text says it in `failureShown`.
double EvaluateArgument(const std::string& text, CVariableStore& store, SkribTextBlock& block) {
  CFormulaNumber number;
  number.m_pStore = &store;
  number = text.c_str();
  // A plain number was evaluated when it was given, an expression is evaluated now: either way last.
  const double value = number.GetValue();
  if (block.failure.empty()) {
    block.failure = store.LastFailure().str();
    // A name read without a value leaves no message of the formula's own: the unit says whose value it lacks. Not
    // that name's reason as well: it stands at the name's own unit, and a "=" in a unit's mark would make it read as
    // another formula when the text is next evaluated.
    const std::vector<std::string>& failedReads = store.FailedReads();
    if (block.failure.empty())
      block.failureShown.clear();
    else if (store.m_Messages.GetSize() > 0)
      block.failureShown = store.m_Messages[0].m_strText.str();
    else if (!failedReads.empty())
      block.failureShown = "'" + failedReads.front() + "' hat keinen Wert";
    else
      block.failureShown = block.failure;
  }
  return value;
}

}  // namespace

void ReadColourTable(const std::string& text, std::vector<unsigned long>& colours) {
  const std::size_t table = text.find("\\colortbl");
  if (table == std::string::npos) return;
  const std::size_t close = text.find('}', table);
  std::string body = text.substr(table + 9, close == std::string::npos ? std::string::npos : close - table - 9);
  for (std::size_t at = 0;;) {
    const std::size_t semicolon = body.find(';', at);
    if (semicolon == std::string::npos) break;
    const std::string entry = body.substr(at, semicolon - at);
    auto part = [&entry](const char* word) {
      const std::size_t p = entry.find(word);
      return p == std::string::npos ? 0L
                                    : win::ClampedNumber(entry.c_str() + p + std::strlen(word), 0, win::kRtfMaxColour);
    };
    colours.push_back(static_cast<unsigned long>(part("\\red") + 256 * part("\\green") + 65536 * part("\\blue")));
    at = semicolon + 1;
  }
}

int FindColourIndex(const std::string& text, unsigned long colour) {
  std::vector<unsigned long> colours;
  ReadColourTable(text, colours);
  // Entry 0 is the automatic colour, never the formula colour even when its value reads 0.
  for (int i = int(colours.size()) - 1; i >= 1; --i)
    if (colours[std::size_t(i)] == colour) return i;
  return -1;
}

std::string TakeRun(const std::string& text, int charClass, bool fromEnd) {
  const SymbolCharClass c = SymbolCharClass(charClass);
  if (!fromEnd) {
    std::size_t a = 0;
    while (a < text.size() && text[a] == ' ') ++a;
    std::size_t b = a;
    while (b < text.size() && InCharClass(c, static_cast<unsigned char>(text[b]))) ++b;
    return text.substr(a, b - a);
  }
  std::size_t b = text.size();
  while (b > 0 && text[b - 1] == ' ') --b;
  std::size_t a = b;
  while (a > 0 && InCharClass(c, static_cast<unsigned char>(text[a - 1]))) --a;
  return text.substr(a, b - a);
}

bool IsVariableName(std::string& text) {
  const std::string trimmed = Trim(text);
  std::string upper = trimmed;
  for (char& ch : upper) ch = char(std::toupper(static_cast<unsigned char>(ch)));
  if (upper.find("SUMME") != std::string::npos || trimmed.empty()) return false;
  if (AllIn(trimmed, kFormulaChars)) {
    if (!AllIn(trimmed, kNameChars) || std::isdigit(static_cast<unsigned char>(trimmed[0]))) return false;
    text = trimmed;
    return true;
  }
  // A label in the formula colour ("Breite:b"): the name is the trailing run of name characters when it is at
  // least as long as the leading formula run.
  const std::string leading = TakeRun(trimmed, kFormulaChars, false);
  const std::string trailing = TakeRun(trimmed, kNameChars, true);
  if (trailing.empty() || trailing.size() < leading.size() || std::isdigit(static_cast<unsigned char>(trailing[0])))
    return false;
  text = trailing;
  return true;
}

bool TakeFormula(std::string& text) {
  const std::string run = Trim(TakeRun(Trim(text), kFormulaChars, false));
  if (run.empty()) return false;
  text = run;
  return true;
}

bool TakeValue(std::string& text) {
  const std::string trimmed = Trim(text);
  const std::string formula = Trim(TakeRun(trimmed, kFormulaChars, false));
  const std::string value = TakeRun(trimmed, kValueChars, false);
  if (value.empty() || value.size() < formula.size()) return false;
  text = value;
  return true;
}

bool TakeAsked(std::string& text) {
  if (Trim(text) != "?") return false;
  text = "?";
  return true;
}

namespace {

// An asked value follows the decimal comma of the units before it. An asked value before it has taken them in
// already (it holds their verdict once evaluated): the look back ends there.
bool FollowsComma(const std::vector<SkribTextBlock>& blocks, int index) {
  for (int i = index - 1; i >= 0; --i) {
    if (blocks[std::size_t(i)].decimalComma) return true;
    if (blocks[std::size_t(i)].decimals < 0) return false;
  }
  return false;
}

// The value as the unit shows it: with its typed decimals, or as many as it needs (up to six) where the engineer
// asked with "?"; with the decimal comma the unit shows.
std::string ShownValue(const SkribTextBlock& block, double value) {
  std::string shown;
  if (block.decimals >= 0) {
    shown = Format("%.*lf", block.decimals, value);
  } else {
    shown = Format("%.6lf", value);
    while (!shown.empty() && shown.back() == '0') shown.pop_back();
    if (!shown.empty() && shown.back() == '.') shown.pop_back();
    if (shown == "-0") shown = "0";
  }
  if (block.decimalComma) std::replace(shown.begin(), shown.end(), '.', ',');
  return shown;
}

}  // namespace

bool TakePlainNumber(std::string& text) {
  if (text.find('=') != std::string::npos) return false;
  const std::string run = TakeRun(Trim(text), kNumberChars, false);
  if (run.empty()) return false;
  text = run;
  return true;
}

int CountDecimals(std::string& text) {
  std::replace(text.begin(), text.end(), ',', '.');
  double number = 0.0;
  if (std::sscanf(text.c_str(), " %lf ", &number) == 1) {
    const std::size_t dot = text.find('.');
    if (dot == std::string::npos) return 0;
    int n = 0;
    while (dot + 1 + std::size_t(n) < text.size() &&
           std::isdigit(static_cast<unsigned char>(text[dot + 1 + std::size_t(n)])))
      ++n;
    return n;
  }
  const std::size_t hash = text.find("#.");
  if (hash == std::string::npos) return 2;
  int n = 0;
  while (hash + 2 + std::size_t(n) < text.size() && text[hash + 2 + std::size_t(n)] == '#') ++n;
  return n;
}

void ExtractUnit(SkribTextBlock& block) {
  const std::size_t close = block.rtf.rfind(']');
  const std::size_t open = block.rtf.rfind('[');
  if (close == std::string::npos || open == std::string::npos || close < open) return;
  RtfToPlain(block.unit, block.rtf.substr(open + 1, close - open - 1), 0, nullptr);
  block.unit = Trim(block.unit);
}

void SplitText(const std::string& text, std::vector<SkribTextBlock>& blocks, unsigned long colour) {
  blocks.clear();
  const int formulaColour = FindColourIndex(text, colour);
  // A document without the formula colour has no formula text.
  if (formulaColour < 0) return;

  RtfFontTable fonts;
  int fontStart = -1, fontEnd = -1;
  fonts.Parse(text, fontStart, fontEnd);
  int symbolFont = -1, textFont = -1;
  for (int i = 0; i < fonts.GetCount(); ++i) {
    if (symbolFont < 0 && FontKey(fonts, i) == "symbol") symbolFont = fonts.GetNumber(i);
    if (textFont < 0 && FontKey(fonts, i) == "arial") textFont = fonts.GetNumber(i);
  }
  auto isSymbol = [&](int number) { return number >= 0 && number == symbolFont; };

  // Font runs, from the end of the header tables on (their own "\f" words name the entries, they select nothing).
  RtfStyleTable styles;
  int styleStart = -1, styleEnd = -1;
  styles.Parse(text, styleStart, styleEnd);
  const std::size_t bodyFrom = std::size_t(std::max({0, fontEnd, styleEnd}));
  std::vector<int> runs{0};
  int current = fonts.GetCount() > 0 ? fonts.GetNumber(0) : -1;
  for (std::size_t p = text.find("\\f", bodyFrom); p != std::string::npos; p = text.find("\\f", p + 2)) {
    if (Escaped(text, p) || p + 2 >= text.size() || !std::isdigit(static_cast<unsigned char>(text[p + 2]))) continue;
    std::size_t end = p + 2;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
    const int number = int(win::ClampedNumber(text.c_str() + p + 2, 0, INT_MAX));
    bool known = false;
    for (int i = 0; i < fonts.GetCount(); ++i) known = known || fonts.GetNumber(i) == number;
    if (!known) continue;
    if (isSymbol(number) && !isSymbol(current)) runs.push_back(-int(end));
    if (!isSymbol(number) && isSymbol(current)) runs.push_back(int(end));
    current = number;
  }
  // kept ascending, so that a unit finds its runs by halving
  runs.push_back(std::max(int(text.size()) - 1, std::abs(runs.back())));
  const auto before = [](int position) { return [position](int run) { return std::abs(run) < position; }; };
  const auto notAfter = [](int position) { return [position](int run) { return std::abs(run) <= position; }; };

  // The i-th start marker pairs with the i-th end marker.
  std::vector<std::size_t> sumStarts, sumEnds;
  for (std::size_t p = text.find("/*S+*/"); p != std::string::npos; p = text.find("/*S+*/", p + 1))
    sumStarts.push_back(p);
  for (std::size_t p = text.find("/*S-*/"); p != std::string::npos; p = text.find("/*S-*/", p + 1))
    sumEnds.push_back(p);
  if (sumStarts.size() != sumEnds.size()) sumStarts.clear(), sumEnds.clear();
  // Units come in text order: the ranges begun before a unit only grow, and it lies in one of them when the
  // furthest end among them lies beyond it.
  std::size_t rangesBegun = 0, furthestEnd = 0;

  const auto opaque = OpaqueGroups(text);
  auto addUnit = [&](std::size_t start, std::size_t end) {
    if (end <= start) return;
    SkribTextBlock block;
    block.rtf = text.substr(start, end - start);
    block.start = int(start);
    block.end = int(end);
    block.textFont = textFont;
    block.symbolFont = symbolFont;
    const auto from = std::partition_point(runs.begin(), runs.end(), before(int(start)));
    const auto to = std::partition_point(from, runs.end(), notAfter(int(end)));
    // the run the unit begins in, through the first one that begins after it
    block.fontRuns.assign(from == runs.begin() ? from : from - 1, to == runs.end() ? to : to + 1);
    CountDocumentTextWork(block.fontRuns.size());
    RtfToPlain(block.plain, block.rtf, int(start), &block.fontRuns);
    if (Trim(block.plain).empty()) return;
    ExtractUnit(block);
    for (; rangesBegun < sumStarts.size() && sumStarts[rangesBegun] < start; ++rangesBegun) {
      furthestEnd = std::max(furthestEnd, sumEnds[rangesBegun]);
      CountDocumentTextWork(1);
    }
    block.inSumRange = furthestEnd > start ? 1 : 0;
    blocks.push_back(block);
  };

  const std::string word = "\\cf" + std::to_string(formulaColour);
  // The document's closing brace ends the last paragraph, which has no "\\par" of its own.
  const std::size_t close = text.rfind('}');
  std::size_t next = 0;  // the first picture or object not yet passed: the regions come in text order
  for (std::size_t p = text.find(word); p != std::string::npos; p = text.find(word, p + word.size())) {
    // "\cf1" must not be read in "\cf12".
    if (Escaped(text, p) ||
        (p + word.size() < text.size() && std::isdigit(static_cast<unsigned char>(text[p + word.size()]))))
      continue;
    std::size_t regionEnd = close != std::string::npos && close > p ? close : text.size();
    for (std::size_t q = text.find("\\cf", p + word.size()); q != std::string::npos; q = text.find("\\cf", q + 3))
      if (!Escaped(text, q)) {
        regionEnd = q;
        break;
      }
    std::size_t unitStart = p;
    std::size_t i = p + word.size();
    while (i < regionEnd) {
      for (; next < opaque.size() && opaque[next].first < i; ++next) CountDocumentTextWork(1);
      if (next < opaque.size() && opaque[next].first == i) {
        // Pictures and objects are never part of a unit.
        addUnit(unitStart, i);
        unitStart = i = std::min(opaque[next].second, regionEnd);
        continue;
      }
      if (text[i] == '\\' && !Escaped(text, i)) {
        std::size_t separator = 0;
        if (text.compare(i, 4, "\\par") == 0 && IsWordEnd(text, i + 4)) {
          separator = 4;
          if (text.compare(i + 4, 2, "\r\n") == 0)
            separator = 6;
          else if (i + 4 < text.size() && (text[i + 4] == '\n' || text[i + 4] == ' '))
            separator = 5;
        } else if (text.compare(i, 4, "\\row") == 0 && IsWordEnd(text, i + 4)) {
          separator = 4;
        }
        if (separator > 0) {
          addUnit(unitStart, i);
          i += separator;
          unitStart = i;
          continue;
        }
      }
      ++i;
    }
    addUnit(unitStart, regionEnd);
    p = std::max(p, regionEnd > word.size() ? regionEnd - word.size() : 0);
  }
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    SkribTextBlock& block = blocks[i];
    const SkribTextBlock* previous = i > 0 ? &blocks[i - 1] : nullptr;
    block.sumRunLast = block.inSumRange ? int(i) : previous ? previous->sumRunLast : -1;
    if (block.inSumRange)
      block.sumRunFirst = previous && previous->inSumRange ? previous->sumRunFirst : int(i);
    else
      block.sumRunFirst = previous ? previous->sumRunFirst : -1;
  }
}

void ClassifyBlock(SkribTextBlock& block) {
  block.type = 0;
  std::string plain = block.plain;
  std::string number = plain;
  if (TakePlainNumber(number)) {
    block.type = 1;
    block.result = number;
    return;
  }
  const std::size_t equals = std::size_t(std::count(plain.begin(), plain.end(), '='));
  auto resultPositionOf = [&block](const std::string& shown) {
    const std::size_t lastEquals = block.rtf.rfind('=');
    const std::size_t at = lastEquals == std::string::npos ? std::string::npos : block.rtf.find(shown, lastEquals);
    block.resultPosition = at == std::string::npos ? -1 : int(at);
    block.resultLength = at == std::string::npos ? -1 : int(shown.size());
  };
  if (equals == 1) {
    const std::size_t eq = plain.find('=');
    std::string left = plain.substr(0, eq), right = plain.substr(eq + 1);
    std::string name = left, value = right, formula = right;
    if (IsVariableName(name) && TakeValue(value)) {
      block.type = 2;
      block.name = name;
      block.formula = value;
      block.decimalComma = value.find(',') != std::string::npos;
      block.decimals = CountDecimals(value);
      resultPositionOf(block.formula);
      return;
    }
    name = left;
    if (IsVariableName(name) && TakeFormula(formula)) {
      block.type = 2;
      block.name = name;
      block.formula = formula;
      block.resultPosition = -1;
      block.resultLength = 0;
      std::string decimals = right;
      block.decimals = CountDecimals(decimals);
      return;
    }
    formula = left;
    value = right;
    if (TakeFormula(formula) && (TakeValue(value) || TakeAsked(value))) {
      block.type = 3;
      block.formula = formula;
      block.result = value;
      block.decimalComma = value.find(',') != std::string::npos;
      block.decimals = value == "?" ? -1 : CountDecimals(value);
      resultPositionOf(block.result);
    }
    return;
  }
  if (equals == 2) {
    const std::size_t first = plain.find('=');
    const std::size_t second = plain.find('=', first + 1);
    if (second == first + 1) {
      std::string formula = plain.substr(0, first), value = plain.substr(second + 1);
      if (TakeFormula(formula) && TakeValue(value)) {
        block.type = 3;
        block.formula = formula;
        block.result = value;
        block.decimals = CountDecimals(value);
        resultPositionOf(block.result);
      }
      return;
    }
    std::string name = plain.substr(0, first), formula = plain.substr(first + 1, second - first - 1),
                value = plain.substr(second + 1);
    if (IsVariableName(name) && TakeFormula(formula) && (TakeValue(value) || TakeAsked(value))) {
      block.type = 4;
      block.name = name;
      block.formula = formula;
      block.result = value;
      block.decimalComma = value.find(',') != std::string::npos;
      block.decimals = value == "?" ? -1 : CountDecimals(value);
      resultPositionOf(block.result);
    }
  }
}

namespace {
// The sum of the results of the units first .. last, each with its leading number. The units before index that sums
// holds are taken from it, the rest (the unit at index itself, or all without sums) one by one.
double SumOfResults(const std::vector<SkribTextBlock>& blocks, int first, int last, int index,
                    const RunningSums* sums) {
  ExactSum sum;
  int from = first;
  if (sums && sums->Count() == std::size_t(index)) {
    from = std::min(last + 1, index);
    sum = sums->Range(std::size_t(first), std::size_t(from));
  }
  for (int i = from; i <= last; ++i) sum.Add(std::atof(blocks[std::size_t(i)].result.c_str()));
  return sum.Value();
}
}  // namespace

void ApplyFunctions(std::vector<SkribTextBlock>& blocks, int index, int scriptSession, CVariableStore& store,
                    const RunningSums* sums) {
  SkribTextBlock& block = blocks[std::size_t(index)];
  std::string& formula = block.formula;
  for (const char* form : {"SUMME", "Summe", "summe"}) {
    const std::size_t at = formula.find(form);
    if (at == std::string::npos) continue;
    long count = 0;
    bool counted = false;
    if (formula.compare(at + 5, 1, "(") == 0) {
      // strtol keeps to the range of a long where a scanned count beyond it would be undefined
      const char* digits = formula.c_str() + at + 6;
      char* end = nullptr;
      count = std::strtol(digits, &end, 10);
      counted = end != digits;
    }
    double sum = 0.0;
    if (counted && count > index) {
      // Counting up to the number written would take as long as the number is large, and rows that are not
      // there give no sum anyway.
      Note(block, Format("%s(%ld): ", form, count) + Tr("mehr Zeilen als davor stehen") + Format(" (%d)", index));
    } else if (counted && count > 0) {
      sum = SumOfResults(blocks, index - int(count), index - 1, index, sums);
    } else if (block.sumRunLast >= 0 && block.sumRunFirst >= 0) {
      sum = SumOfResults(blocks, block.sumRunFirst, block.sumRunLast, index, sums);
    }
    std::size_t length = 5;
    if (counted) {
      const std::size_t close = formula.find(')', at);
      length = close == std::string::npos ? formula.size() - at : close + 1 - at;
    }
    formula.replace(at, length, Format("%lf", sum));
  }

  for (std::size_t at = formula.find('@'); at != std::string::npos; at = formula.find('@')) {
    const std::size_t open = formula.find('(', at);
    std::string name = Trim(formula.substr(at + 1, (open == std::string::npos ? formula.size() : open) - at - 1));
    std::vector<std::string> arguments;
    std::size_t end = formula.size();
    if (open != std::string::npos) {
      int depth = 0;
      std::size_t argStart = open + 1;
      for (std::size_t i = open; i < formula.size(); ++i) {
        const char c = formula[i];
        if (c == '(') ++depth;
        if (c == ';' && depth == 1) {
          arguments.push_back(formula.substr(argStart, i - argStart));
          argStart = i + 1;
        }
        if (c == ')' && --depth == 0) {
          arguments.push_back(formula.substr(argStart, i - argStart));
          end = i + 1;
          break;
        }
      }
      if (end == formula.size() && depth > 0) arguments.push_back(formula.substr(argStart));
      if (arguments.size() == 1 && Trim(arguments[0]).empty()) arguments.clear();
    }
    std::vector<double> values;
    std::vector<std::string> texts;
    for (const std::string& argument : arguments) {
      values.push_back(EvaluateArgument(argument, store, block));
      texts.push_back(Format("%lg", values.back()));
    }
    const std::string function = Lower(name);
    const int d = block.decimals;
    std::string value;
    if (function == "checkmax" || function == "checkmin") {
      const double x = values.empty() ? 0.0 : values[0];
      const double limit = values.size() > 1 ? values[1] : 1.0;
      const double tolerance = 0.5 * std::pow(10.0, -d);
      const bool max = function == "checkmax";
      const bool holds = max ? x < limit + tolerance : x > limit - tolerance;
      std::string output = Format("[%s%.*lf", max ? "<" : ">", d, limit);
      if (!holds) output += " " + EscapeRtfText(Tr("Nicht erfüllt!"));
      PlaceOutput(block, output + "]");
      value = Format("%lg", x);
    } else if (function == "druckeas" || function == "druckeasb") {
      const double count = (values.empty() ? 0.0 : values[0]) + 0.5;
      const double diameterMm = values.size() > 1 ? values[1] : 0.0;
      if (!Representable(count) || !Representable(diameterMm)) {
        Note(block, name + ": " + Tr("Wert außerhalb des Bereichs"));
        formula.replace(at, end - at, "0");
        continue;
      }
      const long n = long(count);
      const double dCm = diameterMm * 0.1;
      double area = double(n) * kPi * (dCm / 2.0) * (dCm / 2.0);
      const bool fonts = block.symbolFont >= 0 && block.textFont >= 0;
      // The diameter sign is character 198 of the Symbol font.
      const std::string sign = fonts ? Format("\\f%d \\'c6\\f%d ", block.symbolFont, block.textFont) : "$SYMBOL_D$";
      std::string output;
      if (function == "druckeas") {
        output = Format("[%s %ld %s %ld]", EscapeRtfText(Tr("gewählt:")).c_str(), n, sign.c_str(), long(diameterMm));
      } else {
        const double spacing = values.size() > 2 ? values[2] : 0.0;
        area = spacing != 0.0 ? area * 100.0 / spacing : 0.0;
        output = Format("[%ld-%s, %s %ld %s %.1lf cm]", n, EscapeRtfText(Tr("schnittig")).c_str(), sign.c_str(),
                        long(diameterMm), EscapeRtfText(Tr("alle")).c_str(), spacing);
      }
      PlaceOutput(block, output);
      value = Format("%lg", area);
    } else if (function == "max" || function == "min") {
      if (!values.empty()) {
        const double x = function == "max" ? *std::max_element(values.begin(), values.end())
                                           : *std::min_element(values.begin(), values.end());
        value = Format("%lg", x);
      }
    } else {
      std::string statement = name;
      if (!texts.empty()) {
        statement += "( ";
        for (std::size_t i = 0; i < texts.size(); ++i) statement += (i ? ", " : "") + texts[i];
        statement += ")";
      }
      // Once the evaluation's time for macros is spent the call fails at once and says so.
      const double result = TQSCRIPT_Execute(scriptSession, statement.c_str());
      value = Format("%lf", result);
      const std::string shown = "[" + TQSCRIPT_GetStrResult(scriptSession) + "]";
      if (shown != "[]") PlaceOutput(block, "[" + BracketText(shown.substr(1, shown.size() - 2)) + "]");
      int line = 0, column = 0;
      Note(block, TQSCRIPT_GetLastError(scriptSession, line, column));
      if (TQSCRIPT_RanOutOfTime(scriptSession)) {
        block.scriptsStopped = true;
        ReportScriptsStopped(Tr("in der Formel") + " \"" + Trim(block.plain) + "\"", block.message);
      }
    }
    formula.replace(at, end - at, value);
  }
}

void EvaluateBlock(std::vector<SkribTextBlock>& blocks, int index, int scriptSession, CVariableStore& store, int,
                   const std::string& namePrefix, const RunningSums* sums) {
  SkribTextBlock& block = blocks[std::size_t(index)];
  block.messageCode = 0;
  block.message.clear();
  block.failure.clear();
  block.failureShown.clear();
  block.scriptsStopped = false;
  store.m_Messages.RemoveAll();
  const std::string written = block.formula;  // its calls are replaced by their values next
  ApplyFunctions(blocks, index, scriptSession, store, sums);
  const std::string fullName = FullName(namePrefix, block.name);
  if (block.type < 2 || block.type > 4) return;

  const double value = EvaluateArgument(block.formula, store, block);
  const bool formulaSaidWhy = store.m_Messages.GetSize() > 0;
  // The number that stands in for a value its functions or its formula could not give is none.
  if (!block.message.empty()) block.failure = block.message;
  if (block.type == 2 || block.type == 4) {
    const UnvaluedReads reads = store.LastUnvaluedReads();
    store.SetVariable(fullName.c_str(), block.name.c_str(), block.unit.c_str(), value);
    if (!block.failure.empty())
      store.SetFailedDefinition(fullName.c_str(), written.c_str(), block.failure.c_str(), reads);
  }
  // Its number is none: the unit says why, also where its formula read the failure of another or gave no finite
  // number and said nothing of its own (a note that a name is defined anew comes after it).
  if (block.message.empty() && !formulaSaidWhy) Note(block, block.failureShown);
  if (block.decimals < 0) block.decimalComma = block.decimalComma || FollowsComma(blocks, index);
  std::string result = ShownValue(block, value);

  std::string& rtf = block.rtf;
  bool placeholder = false;
  if (block.resultPosition >= 0 && block.resultPosition + block.resultLength <= int(rtf.size())) {
    rtf.replace(std::size_t(block.resultPosition), std::size_t(block.resultLength), "$$RESULT$$");
    placeholder = true;
  }
  if (rtf.compare(0, 8, "\\ulwave ") == 0) rtf.erase(0, 8);
  if (rtf.size() >= 8 && rtf.compare(rtf.size() - 8, 8, "\\ulnone ") == 0) rtf.erase(rtf.size() - 8);
  win::ReplaceAll(rtf, "\\ulwave \\", "\\");
  win::ReplaceAll(rtf, "\\ulnone \\", "\\");
  for (const char* mark : {"\\ulwave", "\\ulnone ", "\\ulnone"}) win::ReplaceAll(rtf, mark, "");
  for (std::size_t open = rtf.find("[("); open != std::string::npos; open = rtf.find("[(", open)) {
    const std::size_t close = rtf.find(")]", open);
    if (close == std::string::npos) break;
    rtf.erase(open, close + 2 - open);
  }

  if (block.message.empty() && store.m_Messages.GetSize() > 0) {
    block.messageCode = store.m_Messages[0].m_nCode;
    block.message = store.m_Messages[0].m_strText.str();
  }
  if (!block.message.empty()) {
    int show = ReadSetting("bGenErrors", 1);
    if (show != 0 && block.messageCode == 1) show = ReadSetting("bVariableOverwritten", 1);
    if (show != 0 && block.messageCode == 32) show = ReadSetting("bUnknownVar", 1);
    if (show != 0) {
      if (rtf.find("\\ulwave") == std::string::npos) {
        // After the unit's own colour word: put before it, the mark would lie outside the unit and never be
        // taken away by the next evaluation.
        std::size_t at = 0;
        if (rtf.compare(0, 3, "\\cf") == 0) {
          at = 3;
          while (at < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[at]))) ++at;
        }
        const bool word = at < rtf.size() && rtf[at] == '\\';
        rtf.insert(at, at > 0 || word ? "\\ulwave" : "\\ulwave ");
        rtf += "\\ulnone ";
      }
      const std::string shown = "[(" + BracketText(block.message) + ")]";
      // A definition without a shown result still shows what went wrong.
      const bool closed = rtf.size() >= 8 && rtf.compare(rtf.size() - 8, 8, "\\ulnone ") == 0;
      if (placeholder)
        result += shown;
      else
        rtf.insert(closed ? rtf.size() - 8 : rtf.size(), shown);
    }
  }
  if (placeholder) {
    const std::size_t at = rtf.find("$$RESULT$$");
    if (at != std::string::npos) rtf.replace(at, 10, result);
  }
  block.result = ShownValue(block, value);
}

void ReportScriptsStopped(const std::string& where, const std::string& why) {
  if (!TQScriptBudget::ClaimStopMessage()) return;
  AfxMessageBox((Tr("Die Makros des Dokuments wurden angehalten") + " " + where + ":\n" + why).c_str(), MB_ICONWARNING);
}

void JoinText(std::string& text, const std::vector<SkribTextBlock>& blocks) {
  // One pass in text order: replacing unit by unit in place would move the rest of the text each time.
  std::string joined;
  joined.reserve(text.size() + text.size() / 8);
  std::size_t copied = 0;
  for (const SkribTextBlock& block : blocks) {
    if (block.start < int(copied) || block.end < block.start || std::size_t(block.end) > text.size()) continue;
    joined.append(text, copied, std::size_t(block.start) - copied).append(block.rtf);
    copied = std::size_t(block.end);
  }
  joined.append(text, copied, std::string::npos);
  CountDocumentTextWork(joined.size());
  text.swap(joined);
}

namespace {

// A definition on a cycle read a name of it before that name was defined below: when it was evaluated it could only
// say that name was not defined. Once the whole text is evaluated the cycle is known, and the last definition of each
// name on it says the cycle instead.
void SayCycles(std::vector<SkribTextBlock>& blocks, const CVariableStore& store, const std::string& namePrefix) {
  std::set<std::string> later;  // names defined further down
  for (auto block = blocks.rbegin(); block != blocks.rend(); ++block) {
    if (block->type != 2 && block->type != 4) continue;
    const std::string fullName = FullName(namePrefix, block->name);
    if (!later.insert(fullName).second || block->failure.empty()) continue;
    const std::string cycle = store.CycleOf(fullName.c_str());
    if (cycle.empty() || cycle == block->message) continue;
    // the mark is there unless the settings keep errors out of the text
    if (!block->message.empty()) {
      const std::string shown = "[(" + BracketText(block->message) + ")]";
      if (const std::size_t at = block->rtf.rfind(shown); at != std::string::npos)
        block->rtf.replace(at, shown.size(), "[(" + BracketText(cycle) + ")]");
    }
    block->messageCode = 0;
    block->message = block->failure = block->failureShown = cycle;
  }
}

}  // namespace

void EvaluateText(CRtfChunkList& list, unsigned long colour, std::vector<SkribTextBlock>& blocks, int scriptSession,
                  CVariableStore* parentStore, CVariableStore* store, int firstNumber, const std::string& namePrefix) {
  std::unique_ptr<CVariableStore> temporary;
  if (!store) {
    temporary = std::make_unique<CVariableStore>();
    store = temporary.get();
  }
  if (parentStore) store->m_pParent = parentStore;
  std::string text = list.Text();
  SplitText(text, blocks, colour);
  RunningSums sums;
  for (int i = 0; i < int(blocks.size()); ++i) {
    ClassifyBlock(blocks[std::size_t(i)]);
    EvaluateBlock(blocks, i, scriptSession, *store, firstNumber, namePrefix, &sums);
    sums.Append(std::atof(blocks[std::size_t(i)].result.c_str()));
  }
  if (blocks.empty()) return;  // nothing evaluated: the text stays as it was, byte for byte
  SayCycles(blocks, *store, namePrefix);
  JoinText(text, blocks);
  list.SetText(text);
}
