// Norm data of the combination generator: load groups, categories with their combination factors and
// the partial factors of each design code.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kombra {

enum class GroupType { Permanent = 0, Variable = 1, Alternative = 2, Accidental = 3, PermanentSingle = 4 };

struct Group {
  std::string_view name;
  GroupType type;
};

// The five groups every norm offers, in index order.
const std::vector<Group>& groups();
bool isPermanent(GroupType type);
bool isVariable(GroupType type);

struct Category {
  std::string_view name;
  double psi0;
  double psi1;
  double psi2;
  bool crane;  // psi2 is the session's variable "psi2_kran"
};

// One set of partial factors; a variable action's favourable factor is always 0.
struct FactorSet {
  double gInf;
  double gSup;
  double q;
};

struct Norm {
  std::string_view name;
  std::vector<Category> categories;
  // Sets 1-3: equilibrium, structure, ground; persistent/transient and accidental situations.
  std::array<FactorSet, 3> persistent;
  std::array<FactorSet, 3> accidental;
  double gammaA;
  // Accidental combination: the leading variable action with psi1 (else every one with psi2).
  bool accidentalLeadingPsi1;
};

// The norm of that name, or nullptr.
const Norm* findNorm(std::string_view name);

// Index of the structural set in the arrays above: the fundamental and accidental combinations use it.
constexpr int kStructureSet = 1;

}  // namespace kombra
