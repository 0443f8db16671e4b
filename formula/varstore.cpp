#include "formula/varstore.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <new>
#include <numeric>
#include <optional>
#include <stdexcept>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kE = 2.718281828459045;

std::uint64_t g_lastStamp = 0;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }

// The key of a full name: the part after its last '\'.
CString KeyOf(const CString& fullName) {
  int slash = fullName.ReverseFind('\\');
  return slash < 0 ? fullName : fullName.Mid(slash + 1);
}

// The text by which the sorted listing orders its entries: unsigned bytes, full name first.
std::string SortText(const CString& fullName, const CString& description, const CString& unit, double value) {
  char number[64];
  std::snprintf(number, sizeof number, "%16.16le", value);
  std::string text;
  text.reserve(std::size_t(fullName.GetLength() + description.GetLength() + unit.GetLength()) + 32);
  text.append(fullName.str()).append(1, '|').append(description.str()).append(1, '|');
  text.append(unit.str()).append(1, '|').append(number);
  return text;
}

// True when the sign at `at` belongs to an exponent: "<number>e-5", the number standing on its own (not the
// tail of a name such as x1e).
bool IsExponentSign(const std::string& text, std::size_t at) {
  if (at < 2 || at + 1 >= text.size() || !IsDigit(text[at + 1])) return false;
  if (text[at - 1] != 'e' && text[at - 1] != 'E') return false;
  std::size_t begin = at - 1;
  bool digit = false;
  while (begin > 0 && (IsDigit(text[begin - 1]) || text[begin - 1] == '.')) {
    digit = digit || IsDigit(text[begin - 1]);
    --begin;
  }
  return digit && (begin == 0 || !IsNameChar(text[begin - 1]));
}

}  // namespace

void PrepareFormula(std::string& text, std::vector<std::size_t>* typedAt) {
  // at[i]: the byte of the text as given that byte i of the rewritten text comes from (a rewritten piece: its first)
  std::vector<std::size_t> at;
  if (typedAt) {
    at.resize(text.size() + 1);
    for (std::size_t i = 0; i < at.size(); ++i) at[i] = i;
  }
  if (text.find('.') != std::string::npos) {
    static constexpr std::string_view kDotted[][2] = {
        {".LT.", "<"},  {".lt.", "<"},    {".LE.", "<="},   {".le.", "<="},  {".EQ.", "=="},
        {".eq.", "=="}, {".NE.", "!="},   {".ne.", "!="},   {".GT.", ">"},   {".gt.", ">"},
        {".GE.", ">="}, {".ge.", ">="},   {".AND.", "&&"},  {".and.", "&&"}, {".OR.", "||"},
        {".or.", "||"}, {".FALSE.", "0"}, {".false.", "0"}, {".TRUE.", "1"}, {".true.", "1"},
    };
    for (const auto& [from, to] : kDotted) {
      if (!typedAt) {
        win::ReplaceAll(text, from, to);
        continue;
      }
      std::string replaced;
      std::vector<std::size_t> replacedAt;
      for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, from.size(), from) == 0) {
          replaced.append(to);
          replacedAt.insert(replacedAt.end(), to.size(), at[i]);
          i += from.size();
        } else {
          replaced.push_back(text[i]);
          replacedAt.push_back(at[i++]);
        }
      }
      replacedAt.push_back(at.back());
      text.swap(replaced);
      at.swap(replacedAt);
    }
  }
  std::replace(text.begin(), text.end(), ',', '.');

  std::string out;
  out.reserve(text.size() + 16);
  std::vector<std::size_t> outAt;
  const auto put = [&](std::string_view piece, std::size_t i) {
    out.append(piece);
    if (typedAt) outAt.insert(outAt.end(), piece.size(), at[i]);
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    bool keep = (i + 1 < text.size() && text[i + 1] == '=') || IsExponentSign(text, i);  // "+=", "1e-5"
    if ((c == '-' || c == '+') && !keep) {
      const char sign[] = {' ', c, ' '};
      put(std::string_view(sign, 3), i);
    } else if (c == '#' || (c == '.' && (i == 0 || !IsDigit(text[i - 1])))) {
      put("0.", i);
    } else {
      put(std::string_view(&c, 1), i);
    }
  }
  text.swap(out);
  if (typedAt) {
    outAt.push_back(at.back());
    typedAt->swap(outAt);
  }
}

void PrepareFormula(CString& text) {
  std::string work = text.str();
  PrepareFormula(work);
  text = CString(std::move(work));
}

CString FailedDefinitionText(const char* name, const char* formula, const char* why) {
  std::string text = formula ? formula : "";
  const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
  while (!text.empty() && blank(static_cast<unsigned char>(text.back()))) text.pop_back();
  text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), blank));
  return CString(std::string(name ? name : "") + " = " + text + ": " + (why ? why : ""));
}

std::vector<std::string> DefinitionCycle(const std::string& name,
                                         const std::function<const UnvaluedReads*(const std::string&)>& readsOf) {
  const UnvaluedReads* own = readsOf(name);
  if (!own) return {};
  // Breadth first, so that the cycle named is a shortest one; each name is gone through once.
  std::map<std::string, std::string> cameFrom{{name, std::string()}};
  std::vector<std::pair<std::string, const UnvaluedReads*>> queue{{name, own}};
  for (std::size_t next = 0; next < queue.size(); ++next) {
    const auto [at, reads] = queue[next];
    const auto step = [&](const std::string& read, bool undefined) -> bool {
      // read before `name` was defined: the cycle closes; read as failed, it was an earlier definition of `name`
      if (read == name) return undefined;
      if (cameFrom.count(read)) return false;
      if (const UnvaluedReads* further = readsOf(read)) {
        cameFrom.emplace(read, at);
        queue.emplace_back(read, further);
      }
      return false;
    };
    bool closed = false;
    for (const std::string& read : reads->undefined) closed = closed || step(read, true);
    for (const std::string& read : reads->failed) closed = closed || step(read, false);
    if (!closed) continue;
    std::vector<std::string> cycle{name};
    for (std::string back = at; back != name; back = cameFrom[back]) cycle.push_back(back);
    cycle.push_back(name);
    std::reverse(cycle.begin() + 1, cycle.end() - 1);
    return cycle;
  }
  return {};
}

std::string CycleText(const std::vector<std::string>& cycle, const std::string& name) {
  if (cycle.size() < 2) return std::string();
  const auto start = std::find(cycle.begin(), cycle.end() - 1, name);
  const std::size_t from = start == cycle.end() - 1 ? 0 : std::size_t(start - cycle.begin());
  const std::size_t steps = cycle.size() - 1;  // the first name stands at the end again
  std::string text = "Zirkelbezug " + cycle[from];
  for (std::size_t i = 1; i <= steps; ++i) text += " -> " + cycle[(from + i) % steps];
  return text;
}

CVariableStore& GetGlobalVariableStore() {
  static CVariableStore store;
  return store;
}

CVariableStore::CVariableStore() { Touch(); }

CVariableStore::~CVariableStore() { RemoveAll(); }

void CVariableStore::Touch() { m_nStamp = ++g_lastStamp; }

void CVariableStore::RemoveAll() {
  m_Variables.clear();
  m_CycleReasons.clear();
  m_ReadUndefined.clear();
  m_bMayHaveFailures = false;
  Touch();
}

void CVariableStore::SetVariable(const char* fullName, const char* description, const char* unit, double value) {
  CString full(fullName);
  CString key = KeyOf(full);
  auto it = m_Variables.find(key.str());
  if (it != m_Variables.end() && std::fabs(it->second.value - value) > 1e-8) {
    CVarMessage message;
    message.m_nCode = FMC_OVERWRITTEN;
    message.m_strText.Format("%s wird überschrieben mit %.2lf", key.GetString(), value);
    m_Messages.Add(message);
  }
  if (it == m_Variables.end()) it = m_Variables.emplace(key.str(), Record()).first;
  Record& record = it->second;
  record.key = key;
  record.fullName = full;
  record.description = description;
  record.unit = unit;
  record.value = value;
  record.sortText = SortText(record.fullName, record.description, record.unit, value);
  record.failure.clear();
  record.cycleSteps = 0;
  TakeIntoResolved(record.key.str());
}

void CVariableStore::SetFailed(const char* fullName, const char* reason) {
  auto it = m_Variables.find(KeyOf(CString(fullName)).str());
  if (it == m_Variables.end()) return;
  it->second.failure = reason && *reason ? reason : "?";
  m_bMayHaveFailures = true;
  TakeIntoResolved(it->first);
}

void CVariableStore::SetFailedDefinition(const char* fullName, const char* formula, const char* why,
                                         const UnvaluedReads& reads) {
  const CString key = KeyOf(CString(fullName));
  SetFailed(fullName, FailedDefinitionText(key, formula, why));
  auto it = m_Variables.find(key.str());
  if (it == m_Variables.end()) return;
  it->second.reads = reads;
  it->second.formula = formula ? formula : "";
  it->second.cycleSteps = 0;
  m_ReadUndefined.insert(reads.undefined.begin(), reads.undefined.end());
  // A cycle through the name closes only where a definition read it before it was defined: mostly none did, and the
  // search is spared (a long text of definitions each reading the failed one before it costs the same per line).
  bool readBefore = false;
  std::vector<const CVariableStore*> chain;
  for (const CVariableStore* s = this; s && !readBefore && std::find(chain.begin(), chain.end(), s) == chain.end();
       s = s->m_pParent) {
    chain.push_back(s);
    readBefore = s->m_ReadUndefined.count(key.str()) > 0;
  }
  if (!readBefore) return;
  // The record of a name that the chain shows, with the store it stands in: the nearest.
  const auto holder = [this](const std::string& name) -> std::pair<CVariableStore*, Record*> {
    std::vector<const CVariableStore*> seen;
    for (CVariableStore* s = this; s && std::find(seen.begin(), seen.end(), s) == seen.end(); s = s->m_pParent) {
      seen.push_back(s);
      if (auto found = s->m_Variables.find(name); found != s->m_Variables.end()) return {s, &found->second};
    }
    return {nullptr, nullptr};
  };
  const std::vector<std::string> cycle = DefinitionCycle(key.str(), [&](const std::string& name) {
    const Record* record = holder(name).second;
    return record && !record->failure.empty() && !record->formula.empty() ? &record->reads : nullptr;
  });
  // The resolved views of the stores touched, and of those below them, take the new reasons in when next read.
  for (std::size_t i = 0; i + 1 < cycle.size(); ++i) {
    const auto [store, record] = holder(cycle[i]);
    if (record->cycleSteps > 0 && record->cycleSteps <= cycle.size()) continue;  // it says a shorter one
    record->cycleSteps = cycle.size();
    record->cycle = CycleText(cycle, cycle[i]);
    record->failure = FailedDefinitionText(record->key, record->formula.c_str(), record->cycle.c_str());
    store->Touch();
  }
}

std::string CVariableStore::CycleOf(const char* fullName) const {
  const auto it = m_Variables.find(KeyOf(CString(fullName)).str());
  return it == m_Variables.end() || it->second.failure.empty() || it->second.cycleSteps == 0 ? std::string()
                                                                                             : it->second.cycle;
}

void CVariableStore::SetCycleReasons(std::map<std::string, std::string> reasons) {
  m_CycleReasons = std::move(reasons);
  Touch();
}

void CVariableStore::TakeIntoResolved(const std::string& key) {
  // A document defines its variables one after another, each read by the next line: the resolved view takes the
  // one key in, where rebuilding it would cost every variable of the chain per line.
  const bool fresh = ResolvedIsFresh();
  Touch();
  if (!fresh) return;
  const Record* best = nullptr;
  for (const auto& [store, stamp] : m_Resolved.chain) {
    ++m_nResolvedEntries;
    if (auto found = store->m_Variables.find(key); found != store->m_Variables.end())
      if (!best || best->sortText < found->second.sortText) best = &found->second;
  }
  m_Resolved.symbols[key] = best->value;
  if (best->failure.empty())
    m_Resolved.failures.erase(key);
  else
    m_Resolved.failures[key] = best->failure;
  m_Resolved.chain.front().second = m_nStamp;
}

std::vector<const CVariableStore*> CVariableStore::Chain() const {
  std::vector<const CVariableStore*> chain;
  for (const CVariableStore* s = this; s && std::find(chain.begin(), chain.end(), s) == chain.end(); s = s->m_pParent)
    chain.push_back(s);
  return chain;
}

int CVariableStore::CollectVariables(CStringArray& names, CStringArray& descriptions, CStringArray& units,
                                     CArray<double, double>& values) const {
  auto chain = Chain();
  // The ancestors' records, in the order of their sorted listing.
  std::vector<const Record*> inherited;
  for (std::size_t i = 1; i < chain.size(); ++i)
    for (const auto& [key, record] : chain[i]->m_Variables) inherited.push_back(&record);
  std::stable_sort(inherited.begin(), inherited.end(),
                   [](const Record* a, const Record* b) { return a->sortText < b->sortText; });
  auto append = [&](const Record& r) {
    names.Add(r.fullName);
    descriptions.Add(r.description);
    units.Add(r.unit);
    values.Add(r.value);
  };
  for (const Record* r : inherited) append(*r);
  for (const auto& [key, record] : m_Variables) append(record);
  return int(names.GetSize());
}

int CVariableStore::GetVariables(CStringArray& names, CStringArray& descriptions, CStringArray& units,
                                 CArray<double, double>& values) const {
  CollectVariables(names, descriptions, units, values);
  // Entries the caller passed in may have arrays of unequal length; only complete rows take part.
  std::size_t count =
      std::size_t(std::min({names.GetSize(), descriptions.GetSize(), units.GetSize(), values.GetSize()}));
  std::vector<std::string> texts(count);
  for (std::size_t i = 0; i < count; ++i)
    texts[i] = SortText(names[INT_PTR(i)], descriptions[INT_PTR(i)], units[INT_PTR(i)], values[INT_PTR(i)]);
  std::vector<std::size_t> order(count);
  std::iota(order.begin(), order.end(), std::size_t(0));
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return texts[a] < texts[b]; });

  CStringArray n, d, u;
  CArray<double, double> v;
  for (std::size_t i : order) {
    n.Add(names[INT_PTR(i)]);
    d.Add(descriptions[INT_PTR(i)]);
    u.Add(units[INT_PTR(i)]);
    v.Add(values[INT_PTR(i)]);
  }
  names.Copy(n);
  descriptions.Copy(d);
  units.Copy(u);
  values.Copy(v);
  return int(count);
}

void CVariableStore::GetDescriptions(CStringArray& lines, CStringArray& names) const {
  CStringArray full, descriptions, units;
  CArray<double, double> values;
  int count = GetVariables(full, descriptions, units, values);
  for (int i = 0; i < count; ++i) {
    int slash = full[i].ReverseFind('\\');
    CString key = slash < 0 ? full[i] : full[i].Mid(slash + 1);
    if (std::find(names.begin(), names.end(), key) != names.end()) continue;
    CString shown = slash < 0 ? descriptions[i] : full[i].Left(slash) + "\\" + descriptions[i];
    CString line;
    line.Format("%s\t(%s=%lg %s)", shown.GetString(), key.GetString(), values[i], units[i].GetString());
    names.Add(key);
    lines.Add(line);
  }
}

bool CVariableStore::ResolvedIsFresh() const {
  // Fresh when the same stores, unchanged, still form the chain (checked without building it anew: this runs
  // on every read of an expression).
  const auto& cached = m_Resolved.chain;
  std::size_t matched = 0;
  const CVariableStore* s = this;
  for (; s && matched < cached.size() && cached[matched].first == s && cached[matched].second == s->m_nStamp;
       s = s->m_pParent)
    ++matched;
  return matched == cached.size() && !cached.empty() &&
         (!s || std::any_of(cached.begin(), cached.end(), [s](const auto& entry) { return entry.first == s; }));
}

const FormulaSymbolTable& CVariableStore::Symbols() {
  if (ResolvedIsFresh()) return m_Resolved.symbols;

  auto chain = Chain();

  // Of the entries that share a key, the one last in the sorted listing gives the value. Shared keys are rare,
  // so the earlier holders of a key are looked up only when one turns up.
  FormulaSymbolTable symbols;
  std::size_t total = 0;
  for (const CVariableStore* store : chain) total += store->m_Variables.size();
  symbols.reserve(total + 2);
  for (std::size_t i = 0; i < chain.size(); ++i)
    for (const auto& [key, record] : chain[i]->m_Variables) {
      ++m_nResolvedEntries;
      auto [it, added] = symbols.try_emplace(key, record.value);
      if (added) continue;
      const Record* best = nullptr;
      for (std::size_t j = 0; j < i; ++j) {
        ++m_nResolvedEntries;
        if (auto found = chain[j]->m_Variables.find(key); found != chain[j]->m_Variables.end())
          if (!best || best->sortText < found->second.sortText) best = &found->second;
      }
      if (best && best->sortText < record.sortText) it->second = record.value;
    }
  symbols.try_emplace("pi", kPi);
  symbols.try_emplace("e", kE);

  // Failed definitions are rare: only the stores that marked one are looked through, and a failed record counts
  // when it is the one that gives its key's value.
  FormulaFailureTable failures;
  for (const CVariableStore* store : chain) {
    if (!store->m_bMayHaveFailures) continue;
    for (const auto& [key, record] : store->m_Variables) {
      if (record.failure.empty()) continue;
      const Record* best = nullptr;
      for (const CVariableStore* other : chain)
        if (auto found = other->m_Variables.find(key); found != other->m_Variables.end())
          if (!best || best->sortText < found->second.sortText) best = &found->second;
      if (best == &record) failures.emplace(key, record.failure);
    }
  }

  // A name defined further on, on a cycle, is read before its definition as one without a value, for the cycle.
  for (const CVariableStore* store : chain)
    for (const auto& [key, reason] : store->m_CycleReasons)
      if (!symbols.count(key)) failures.emplace(key, reason);

  m_Resolved.symbols.swap(symbols);
  m_Resolved.failures.swap(failures);
  m_Resolved.chain.clear();
  for (const CVariableStore* store : chain) m_Resolved.chain.emplace_back(store, store->m_nStamp);
  return m_Resolved.symbols;
}

CString CVariableStore::UndefinedReadMessage() const {
  return m_UndefinedReads.empty() ? CString() : CString(UndefinedNameText(m_UndefinedReads.front()));
}

CString CVariableStore::NoValueReadMessage() const {
  if (m_FailedReads.empty()) return UndefinedReadMessage();
  CString text;
  text.Format("'%s' hat keinen Wert: %s", m_FailedReads.front().c_str(), m_FailedReadMessage.GetString());
  return text;
}

BOOL CVariableStore::Evaluate(const char* text, double* result) {
  m_Messages.RemoveAll();
  m_UndefinedReads.clear();
  m_FailedReads.clear();
  m_FailedReadMessage.Empty();
  m_LastFailure.Empty();
  std::optional<CFormulaParser> parser;
  auto keepMessages = [&] {
    if (!parser) return;
    m_UndefinedReads = parser->m_UndefinedReads;
    m_FailedReads = parser->m_FailedReads;
    if (!m_FailedReads.empty()) m_FailedReadMessage = CString(m_Resolved.failures.at(m_FailedReads.front()));
    for (std::size_t i = 0; i < parser->m_Messages.size(); ++i) {
      CVarMessage message;
      message.m_nCode = parser->m_Codes[i];
      message.m_strText = CString(parser->m_Messages[i]);
      m_Messages.Add(message);
    }
  };
  try {
    std::string_view source(text ? text : "");
    CheckFormulaLength(source);
    std::string prepared(source);
    std::vector<std::size_t> typedAt;
    PrepareFormula(prepared, &typedAt);
    parser.emplace(std::move(prepared));
    parser->m_strTyped = source;
    parser->m_TypedAt = std::move(typedAt);
    parser->m_pSharedSymbols = &Symbols();
    if (!m_Resolved.failures.empty()) parser->m_pFailedSymbols = &m_Resolved.failures;
    double value = parser->Evaluate();
    if (result) *result = value;
    keepMessages();
    if (!m_FailedReads.empty())
      m_LastFailure = m_FailedReadMessage;
    else if (!m_UndefinedReads.empty())
      m_LastFailure = UndefinedReadMessage();
    else if (!std::isfinite(value))
      m_LastFailure.Format("Ergebnis %g ist keine endliche Zahl.", value);
    return TRUE;
  } catch (const std::bad_alloc&) {
    throw;  // a shortage is no fault of the formula
  } catch (const std::exception& error) {
    keepMessages();
    // An error raised by a function records nothing; notes of undefined names alone would hide it.
    if (!parser || parser->m_Codes.empty() || parser->m_Codes.back() == FMC_UNDEFINED) {
      CVarMessage message;
      message.m_nCode = FMC_ERROR;
      message.m_strText = error.what();
      m_Messages.Add(message);
    }
    m_LastFailure = m_Messages[m_Messages.GetSize() - 1].m_strText;
    return FALSE;
  }
}
