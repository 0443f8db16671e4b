#include "platform/kombra/session.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>

#include "platform/kombra/kombra.h"

namespace kombra {

const char* kindText(int kind) {
  switch (kind) {
    case kFundamental: return "Ed";
    case kAccidental: return "Ed,A";
    case kCharacteristic: return "Ed,char";
    case kFrequent: return "Ed,frequ";
    case kQuasiPermanent: return "Ed,perm";
    default: return "";
  }
}

std::string ruleText(const Terms& terms) {
  std::string text;
  for (const auto& [lastfall, factor] : terms) {
    if (!text.empty()) text += '+';
    // Locale-independent: the engine reads "." (and ",") as the decimal point.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, factor, std::chars_format::fixed, 2);
    text.append(buffer, result.ptr);
    text += "*(" + std::to_string(lastfall) + ")";
  }
  return text;
}

Terms parseRule(const std::string& rule) {
  Terms terms;
  std::string token;
  double factor = 0.0;
  auto takeLastfall = [&] {
    if (token.empty()) return;
    int lastfall = 0;
    std::from_chars(token.data(), token.data() + token.size(), lastfall);
    token.clear();
    if (lastfall < 1 || lastfall > KOMBRA_MAX_LASTFALL) return;
    terms.emplace_back(lastfall, factor);
  };
  for (char c : rule) {
    if ((c >= '0' && c <= '9') || c == '.' || c == ',') {
      token += (c == ',') ? '.' : c;
    } else if (c == '*') {
      factor = 0.0;
      std::from_chars(token.data(), token.data() + token.size(), factor);
      token.clear();
    } else if (c == '+' || c == ')') {
      takeLastfall();
    }
  }
  std::sort(terms.begin(), terms.end());
  return terms;
}

Session::Session() {
  for (int kind = 0; kind < kFormedKinds; ++kind) enabled_[static_cast<std::size_t>(kind)] = true;
}

void Session::setNorm(const std::string& name) {
  const Norm* norm = findNorm(name);
  if (norm == nullptr) {
    fail("Unbekannte Norm \"" + name + "\"");
    return;
  }
  norm_ = norm;
  selectedGroup_ = -1;
}

void Session::setVariable(const std::string& name, double value) {
  if (name.empty() || !std::isfinite(value)) {
    fail("Ungültige Variable \"" + name + "\"");
    return;
  }
  if (name == "psi2_kran") {
    if (value < 0.0 || value > 1.0) {
      fail("psi2_kran muss zwischen 0 und 1 liegen");
      return;
    }
    psi2Kran_ = value;
  } else if (name == "GInfFactor") {
    if (value <= 0.0) {
      fail("GInfFactor muss größer als 0 sein");
      return;
    }
    gInfFactor_ = value;
  }
  variables_[name] = value;
}

void Session::selectGroup(const std::string& name) {
  selectedGroup_ = -1;
  if (norm_ == nullptr) return;
  const auto& list = groups();
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].name == name) {
      selectedGroup_ = static_cast<int>(i);
      return;
    }
  }
  fail("Unbekannte Lastgruppe \"" + name + "\"");
}

const std::vector<Category>* Session::categoriesOf(int group) const {
  if (norm_ == nullptr || group < 0 || group >= static_cast<int>(groups().size())) return nullptr;
  if (!isVariable(groups()[static_cast<std::size_t>(group)].type)) return nullptr;
  return &norm_->categories;
}

double Session::categoryPsi(const Category& category, int which) const {
  switch (which) {
    case 0: return category.psi0;
    case 1: return category.psi1;
    default: return category.crane ? psi2Kran_ : category.psi2;
  }
}

std::array<double, 3> Session::psi(int group, int category) const {
  const auto* list = categoriesOf(group);
  if (list == nullptr || category < 0 || category >= static_cast<int>(list->size())) return {0.0, 0.0, 0.0};
  const Category& c = (*list)[static_cast<std::size_t>(category)];
  return {categoryPsi(c, 0), categoryPsi(c, 1), categoryPsi(c, 2)};
}

std::array<double, 2> Session::gamma(int actionKind, int situation) const {
  if (norm_ == nullptr || actionKind < 0 || actionKind >= static_cast<int>(groups().size())) return {0.0, 0.0};
  const FactorSet* set = nullptr;
  if (situation == 0)
    set = &norm_->persistent[kStructureSet];
  else if (situation == 1)
    set = &norm_->accidental[kStructureSet];
  else if (situation >= 6 && situation <= 8)
    set = &norm_->persistent[static_cast<std::size_t>(situation - 6)];
  else if (situation >= 9 && situation <= 11)
    set = &norm_->accidental[static_cast<std::size_t>(situation - 9)];
  if (set == nullptr) return {0.0, 0.0};
  const GroupType type = groups()[static_cast<std::size_t>(actionKind)].type;
  if (isPermanent(type)) {
    const double inf = situation == 0 ? set->gInf * gInfFactor_ : set->gInf;
    return {inf, set->gSup};
  }
  if (isVariable(type)) return {0.0, set->q};
  return {norm_->gammaA, norm_->gammaA};
}

void Session::clearActions() {
  lastfaelle_.clear();
  actions_.clear();
  definitionError_.clear();
}

void Session::setLastfall(int lastfall, int action) {
  if (lastfall < 1 || lastfall > KOMBRA_MAX_LASTFALL) {
    fail("Lastfall " + std::to_string(lastfall) + " liegt nicht zwischen 1 und " + std::to_string(KOMBRA_MAX_LASTFALL));
    if (definitionError_.empty()) definitionError_ = lastError_;
    return;
  }
  lastfaelle_[lastfall] = action;
}

void Session::defineAction(int action, int group, int category, bool withGammaInf) {
  std::string error;
  if (norm_ == nullptr) {
    error = "Keine Norm gewählt";
  } else if (group < 0 || group >= static_cast<int>(groups().size())) {
    error = "Einwirkung " + std::to_string(action) + ": Lastgruppe " + std::to_string(group) + " gibt es nicht";
  } else if (const auto* list = categoriesOf(group);
             list != nullptr && (category < 0 || category >= static_cast<int>(list->size()))) {
    error = "Einwirkung " + std::to_string(action) + ": Kategorie " + std::to_string(category) + " gibt es nicht";
  }
  if (!error.empty()) {
    fail(error);
    if (definitionError_.empty()) definitionError_ = error;
    return;
  }
  actions_[action] = Action{group, category, withGammaInf};
}

void Session::enableKind(int kind, bool on) {
  if (kind < 0 || kind >= KOMBRA_NUM_NACHWEISE) {
    fail("Nachweisart " + std::to_string(kind) + " gibt es nicht");
    return;
  }
  enabled_[static_cast<std::size_t>(kind)] = on;
}

int Session::factorCount() const {
  int highest = lastfaelle_.empty() ? 0 : lastfaelle_.rbegin()->first;
  for (const Combination& combination : combinations_) {
    if (!combination.terms.empty()) highest = std::max(highest, combination.terms.back().first);
  }
  return highest;
}

void Session::setCombinationCount(int count) {
  if (count < 0 || count > kFormedKinds * KOMBRA_MAX_KOMBI_JE_ART) {
    fail("Anzahl der Kombinationen " + std::to_string(count) + " ist unzulässig");
    return;
  }
  combinations_.assign(static_cast<std::size_t>(count), Combination{});
}

void Session::setCombinationRule(int index, const std::string& rule) {
  if (index < 0 || index >= static_cast<int>(combinations_.size())) {
    fail("Kombination " + std::to_string(index) + " gibt es nicht");
    return;
  }
  Combination& combination = combinations_[static_cast<std::size_t>(index)];
  combination.rule = rule;
  combination.terms = parseRule(rule);
}

void Session::setCombinationType(int index, const std::string& type) {
  if (index < 0 || index >= static_cast<int>(combinations_.size())) {
    fail("Kombination " + std::to_string(index) + " gibt es nicht");
    return;
  }
  combinations_[static_cast<std::size_t>(index)].type = type;
}

// ---------------------------------------------------------------------------------------------------------
// Forming

// A part of the load that takes one factor: a permanent action (or one load case of an independent one),
// a variable action, or the accidental load cases.
struct Session::Unit {
  std::vector<int> lastfaelle;
  const Category* category = nullptr;  // variable units
  bool withGammaInf = false;           // permanent units
  bool exclusive = false;              // one load case at a time
};

struct Session::Prepared {
  std::vector<Unit> permanent;
  std::vector<Unit> variable;
  std::vector<int> accidental;  // every accidental load case, each a situation of its own
};

bool Session::prepare(Prepared& prepared) const {
  std::map<int, std::vector<int>> byAction;
  for (const auto& [lastfall, action] : lastfaelle_) {
    // A load case of no defined action takes part in no combination.
    if (actions_.count(action) != 0) byAction[action].push_back(lastfall);
  }
  for (const auto& [number, action] : actions_) {
    const auto found = byAction.find(number);
    if (found == byAction.end()) continue;
    const std::vector<int>& cases = found->second;
    const GroupType type = groups()[static_cast<std::size_t>(action.group)].type;
    switch (type) {
      case GroupType::Permanent: prepared.permanent.push_back(Unit{cases, nullptr, action.withGammaInf, false}); break;
      case GroupType::PermanentSingle:
        for (int lastfall : cases) prepared.permanent.push_back(Unit{{lastfall}, nullptr, action.withGammaInf, false});
        break;
      case GroupType::Variable:
      case GroupType::Alternative:
        prepared.variable.push_back(Unit{cases, &norm_->categories[static_cast<std::size_t>(action.category)], false,
                                         type == GroupType::Alternative});
        break;
      case GroupType::Accidental:
        prepared.accidental.insert(prepared.accidental.end(), cases.begin(), cases.end());
        break;
    }
  }
  std::sort(prepared.accidental.begin(), prepared.accidental.end());
  return !(prepared.permanent.empty() && prepared.variable.empty() && prepared.accidental.empty());
}

namespace {

// Beyond this many candidates a kind is refused before it is formed.
constexpr double kMaxCandidates = 100000.0;

// Steps a mixed-radix counter whose last digit runs fastest; false when it wrapped round.
bool nextCounter(std::vector<std::size_t>& counter, const std::vector<std::size_t>& sizes) {
  for (std::size_t i = counter.size(); i-- > 0;) {
    if (++counter[i] < sizes[i]) return true;
    counter[i] = 0;
  }
  return false;
}

}  // namespace

// A variable action acts only where it is unfavourable, so each variable unit is absent or present (as
// leading or accompanying action where the kind has a leading one); an alternative unit is present by one
// of its load cases. Where the kind has a leading action, the combination of the permanent actions alone
// is formed too.
//
// Order, for an engineer reading the list: per accidental load case (accidental kind), the leading action
// in action order, the combination without a variable action last; for one leader, first its load case
// (alternative actions), then the other variable actions in action order, each first present (by its load
// cases in turn) and then absent, so that the fullest combination comes first; innermost the permanent
// variants in action order, each first with gamma_G,sup and then with gamma_G,inf. A combination that
// equals one formed before (a zero factor drops its term) is not formed again.
bool Session::formKind(int kind, const Prepared& prepared, std::vector<Combination>& out) {
  const bool factors = !noGammaPsi_;
  const bool ultimate = kind == kFundamental || kind == kAccidental;
  const FactorSet& set = kind == kAccidental ? norm_->accidental[kStructureSet] : norm_->persistent[kStructureSet];

  // Factor choices of every permanent unit: unfavourable first, then favourable.
  std::vector<std::vector<double>> permanentChoices;
  for (const Unit& unit : prepared.permanent) {
    std::vector<double> choices{1.0};
    if (factors && ultimate) {
      const double inf = kind == kFundamental ? set.gInf * gInfFactor_ : set.gInf;
      choices = {set.gSup};
      if (unit.withGammaInf && inf != set.gSup) choices.push_back(inf);
    }
    permanentChoices.push_back(std::move(choices));
  }
  std::vector<std::size_t> permanentSizes;
  for (const auto& choices : permanentChoices) permanentSizes.push_back(choices.size());

  const bool hasLeading = kind == kFundamental || kind == kCharacteristic || kind == kFrequent ||
                          (kind == kAccidental && norm_->accidentalLeadingPsi1);
  auto variableFactor = [&](std::size_t unit, bool leading) {
    if (!factors) return 1.0;
    const Category& category = *prepared.variable[unit].category;
    switch (kind) {
      case kFundamental: return leading ? set.q : set.q * categoryPsi(category, 0);
      case kAccidental: return set.q * categoryPsi(category, leading ? 1 : 2);
      case kCharacteristic: return leading ? 1.0 : categoryPsi(category, 0);
      case kFrequent: return categoryPsi(category, leading ? 1 : 2);
      default: return categoryPsi(category, 2);
    }
  };

  // States of a unit that is not leading: present by each of its load-case choices, then absent. With a
  // zero factor, presence is absence: such a unit is only absent (same list, fewer candidates).
  const std::size_t variables = prepared.variable.size();
  std::vector<std::size_t> choiceCounts;
  std::vector<std::size_t> accompanyingStates;
  for (std::size_t u = 0; u < variables; ++u) {
    const Unit& unit = prepared.variable[u];
    choiceCounts.push_back(unit.exclusive ? unit.lastfaelle.size() : 1);
    accompanyingStates.push_back(variableFactor(u, false) == 0.0 ? 1 : choiceCounts.back() + 1);
  }

  // Leaders in action order, then none (-1): the permanent actions alone, or, without a leading action,
  // every variable unit in its non-leading states.
  std::vector<int> leaders;
  if (hasLeading) {
    for (std::size_t u = 0; u < variables; ++u) leaders.push_back(static_cast<int>(u));
  }
  leaders.push_back(-1);
  auto statesFor = [&](int leader) {
    std::vector<std::size_t> sizes(variables, 1);
    for (std::size_t u = 0; u < variables; ++u) {
      if (static_cast<int>(u) == leader)
        sizes[u] = choiceCounts[u];
      else if (!hasLeading || leader >= 0)
        sizes[u] = accompanyingStates[u];
    }
    return sizes;
  };

  // Accidental situations: each accidental load case, or none.
  std::vector<int> situations{0};
  if (kind == kAccidental && !prepared.accidental.empty()) situations = prepared.accidental;

  double perSituation = 0.0;
  for (int leader : leaders) {
    double product = 1.0;
    for (std::size_t size : statesFor(leader)) product *= static_cast<double>(size);
    perSituation += product;
  }
  double candidates = static_cast<double>(situations.size()) * perSituation;
  for (std::size_t size : permanentSizes) candidates *= static_cast<double>(size);
  const std::string tooMany = std::string("Zu viele Kombinationen der Art \"") + kindText(kind) + "\" (mehr als " +
                              std::to_string(KOMBRA_MAX_KOMBI_JE_ART) +
                              "). Bitte die Zahl der Einwirkungen oder Lastfälle verringern.";
  if (candidates > kMaxCandidates) {
    fail(tooMany);
    return false;
  }

  std::set<Terms> seen;
  std::vector<Combination> formed;
  Terms terms;
  for (int situation : situations) {
    for (int leader : leaders) {
      const std::vector<std::size_t> variableSizes = statesFor(leader);
      std::vector<std::size_t> state(variables, 0);
      do {
        std::vector<std::size_t> permanent(permanentSizes.size(), 0);
        do {
          terms.clear();
          for (std::size_t u = 0; u < prepared.permanent.size(); ++u) {
            const double factor = permanentChoices[u][permanent[u]];
            for (int lastfall : prepared.permanent[u].lastfaelle) terms.emplace_back(lastfall, factor);
          }
          for (std::size_t u = 0; u < variables; ++u) {
            const bool leading = static_cast<int>(u) == leader;
            if (!leading && state[u] == variableSizes[u] - 1) continue;  // the last non-leading state is absence
            const Unit& unit = prepared.variable[u];
            const double factor = variableFactor(u, leading);
            if (unit.exclusive)
              terms.emplace_back(unit.lastfaelle[state[u]], factor);
            else
              for (int lastfall : unit.lastfaelle) terms.emplace_back(lastfall, factor);
          }
          if (situation != 0) terms.emplace_back(situation, factors ? norm_->gammaA : 1.0);
          // A term with factor 0 is no part of the combination.
          std::erase_if(terms, [](const auto& term) { return term.second == 0.0; });
          if (terms.empty()) continue;
          std::sort(terms.begin(), terms.end());
          if (!seen.insert(terms).second) continue;
          if (formed.size() == KOMBRA_MAX_KOMBI_JE_ART) {
            fail(tooMany);
            return false;
          }
          formed.push_back(Combination{kindText(kind), ruleText(terms), terms});
        } while (nextCounter(permanent, permanentSizes));
      } while (nextCounter(state, variableSizes));
    }
  }
  out.insert(out.end(), std::make_move_iterator(formed.begin()), std::make_move_iterator(formed.end()));
  return true;
}

bool Session::calc() {
  lastError_.clear();
  combinations_.clear();
  if (norm_ == nullptr) {
    fail("Keine Norm gewählt");
    return false;
  }
  if (!definitionError_.empty()) {
    fail(definitionError_);
    return false;
  }
  // The norm may have changed since the actions were defined.
  for (const auto& [number, action] : actions_) {
    const auto* list = categoriesOf(action.group);
    if (list != nullptr && action.category >= static_cast<int>(list->size())) {
      fail("Einwirkung " + std::to_string(number) + ": Kategorie " + std::to_string(action.category) +
           " gibt es nicht");
      return false;
    }
  }
  Prepared prepared;
  if (!prepare(prepared)) return true;
  std::vector<Combination> formed;
  for (int kind = 0; kind < kFormedKinds; ++kind) {
    if (enabled_[static_cast<std::size_t>(kind)] && !formKind(kind, prepared, formed)) return false;
  }
  combinations_ = std::move(formed);
  return true;
}

}  // namespace kombra
