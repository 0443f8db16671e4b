// One generator session: norm, variables, actions and load cases, and the combinations of the last run.
#pragma once

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/kombra/norms.h"

namespace kombra {

// (load case, factor) pairs in load-case order.
using Terms = std::vector<std::pair<int, double>>;

struct Combination {
  std::string type;
  std::string rule;
  Terms terms;
};

enum Kind { kFundamental = 0, kAccidental = 1, kCharacteristic = 2, kFrequent = 3, kQuasiPermanent = 4 };
constexpr int kFormedKinds = 5;
// Type text of a formed kind.
const char* kindText(int kind);

// "%.2f*(%d)" terms joined by "+".
std::string ruleText(const Terms& terms);
// Reads a rule text back ("1,35*(1+2)+1.50*(3)"); a factor applies to every load case of its bracket.
Terms parseRule(const std::string& rule);

class Session {
 public:
  Session();

  const std::string& lastError() const { return lastError_; }
  void fail(std::string text) { lastError_ = std::move(text); }

  void setNorm(const std::string& name);
  const Norm* norm() const { return norm_; }
  void setVariable(const std::string& name, double value);
  double gInfFactor() const { return gInfFactor_; }

  void selectGroup(const std::string& name);
  int selectedGroup() const { return selectedGroup_; }
  // Categories of a group: the norm's list for variable groups, none for the others.
  const std::vector<Category>* categoriesOf(int group) const;
  std::array<double, 3> psi(int group, int category) const;
  std::array<double, 2> gamma(int actionKind, int situation) const;

  void clearActions();
  void setNoGammaPsi(bool on) { noGammaPsi_ = on; }
  void setLastfall(int lastfall, int action);
  void defineAction(int action, int group, int category, bool withGammaInf);
  void enableKind(int kind, bool on);
  bool kindEnabled(int kind) const { return enabled_[static_cast<std::size_t>(kind)]; }

  bool calc();
  const std::vector<Combination>& combinations() const { return combinations_; }
  int factorCount() const;

  void setCombinationCount(int count);
  void setCombinationRule(int index, const std::string& rule);
  void setCombinationType(int index, const std::string& type);

 private:
  struct Action {
    int group = 0;
    int category = 0;
    bool withGammaInf = false;
  };
  struct Unit;
  struct Prepared;

  double categoryPsi(const Category& category, int which) const;
  bool prepare(Prepared& prepared) const;
  bool formKind(int kind, const Prepared& prepared, std::vector<Combination>& out);

  const Norm* norm_ = nullptr;
  std::map<std::string, double> variables_;
  double psi2Kran_ = 0.77;
  double gInfFactor_ = 1.0;
  int selectedGroup_ = -1;
  bool noGammaPsi_ = false;
  std::map<int, int> lastfaelle_;  // load case -> action
  std::map<int, Action> actions_;
  std::string definitionError_;  // first refused definition since the last clear
  std::array<bool, 16> enabled_{};
  std::vector<Combination> combinations_;
  std::string lastError_;
};

}  // namespace kombra
