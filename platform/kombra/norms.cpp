#include "platform/kombra/norms.h"

namespace kombra {

const std::vector<Group>& groups() {
  static const std::vector<Group> list = {
      {"ständig", GroupType::Permanent},
      {"veränderlich", GroupType::Variable},
      {"veränderlich alternativ", GroupType::Alternative},
      {"außergewöhnlich", GroupType::Accidental},
      {"ständig unabhängig", GroupType::PermanentSingle},
  };
  return list;
}

bool isPermanent(GroupType type) { return type == GroupType::Permanent || type == GroupType::PermanentSingle; }
bool isVariable(GroupType type) { return type == GroupType::Variable || type == GroupType::Alternative; }

namespace {

// DIN 1055-100:2001, Table A.2. Categories A/B and C/D share their factors and one row each.
std::vector<Category> dinCategories() {
  return {
      {"Nutzlast Kat. A/B", 0.7, 0.5, 0.3, false},     {"Nutzlast Kat. C/D", 0.7, 0.7, 0.6, false},
      {"Nutzlast Kat. E", 1.0, 0.9, 0.8, false},       {"Verkehrslast Kat. F", 0.7, 0.7, 0.6, false},
      {"Verkehrslast Kat. G", 0.7, 0.5, 0.3, false},   {"Dachlast Kat. H", 0.0, 0.0, 0.0, false},
      {"Schnee bis NN+1000 m", 0.5, 0.2, 0.0, false},  {"Wind", 0.6, 0.5, 0.0, false},
      {"Schnee über NN+1000 m", 0.7, 0.5, 0.2, false}, {"Temperatur", 0.6, 0.5, 0.0, false},
      {"Baugrundsetzung", 1.0, 1.0, 1.0, false},       {"Sonstige", 0.8, 0.7, 0.5, false},
  };
}

// EN 1990 with a national annex: the national list, wind by EN 1990 Table A1.1, and crane loads
// (EN 1991-3, Annex A: psi2 is the ratio of the permanent to the total crane action).
std::vector<Category> nationalEcCategories() {
  std::vector<Category> list = dinCategories();
  list[7] = {"Wind", 0.6, 0.2, 0.0, false};
  list.push_back({"Kranlasten", 1.0, 0.9, 0.0, true});
  return list;
}

// EN 1990 Table A1.1, then crane loads (EN 1991-3 Annex A), silos and tanks (EN 1991-4 Annex A),
// settlements and other actions (national annex rows).
std::vector<Category> ecCategories() {
  return {
      {"Nutzlast Kat. A", 0.7, 0.5, 0.3, false},
      {"Nutzlast Kat. B", 0.7, 0.5, 0.3, false},
      {"Nutzlast Kat. C", 0.7, 0.7, 0.6, false},
      {"Nutzlast Kat. D", 0.7, 0.7, 0.6, false},
      {"Nutzlast Kat. E", 1.0, 0.9, 0.8, false},
      {"Verkehrslast Kat. F", 0.7, 0.7, 0.6, false},
      {"Verkehrslast Kat. G", 0.7, 0.5, 0.3, false},
      {"Dachlast Kat. H", 0.0, 0.0, 0.0, false},
      {"Schnee H <= 1000 m", 0.5, 0.2, 0.0, false},
      {"Schnee Finnland, Island, Norwegen, Schweden", 0.7, 0.5, 0.2, false},
      {"Schnee H > 1000 m", 0.7, 0.5, 0.2, false},
      {"Wind", 0.6, 0.2, 0.0, false},
      {"Temperatur", 0.6, 0.5, 0.0, false},
      {"Kranlasten", 1.0, 0.9, 0.0, true},
      {"Silo- und Behälterlasten", 1.0, 0.9, 0.8, false},
      {"Baugrundsetzung", 1.0, 1.0, 1.0, false},
      {"Sonstige", 0.8, 0.7, 0.5, false},
  };
}

// SIA 260:2003, Table 2.
std::vector<Category> siaCategories() {
  return {
      {"Nutzlast Kat. A/B", 0.7, 0.5, 0.3, false},   {"Nutzlast Kat. C/D", 0.7, 0.7, 0.6, false},
      {"Nutzlast Kat. E", 1.0, 0.9, 0.8, false},     {"Verkehrslast Kat. F", 0.7, 0.7, 0.6, false},
      {"Verkehrslast Kat. G", 0.7, 0.5, 0.3, false}, {"Dachlast Kat. H", 0.0, 0.0, 0.0, false},
      {"Schnee h0 <= 1000 m", 0.6, 0.5, 0.0, false}, {"Wind", 0.6, 0.5, 0.0, false},
      {"Schnee h0 > 1000 m", 0.6, 0.5, 0.2, false},  {"Temperatur", 0.6, 0.5, 0.0, false},
  };
}

constexpr FactorSet kAllOne{1.0, 1.0, 1.0};

// DIN 1055-100 Table A.3: equilibrium, then structure and ground (one row in the code).
Norm dinNorm(std::string_view name) {
  return {name,
          dinCategories(),
          {{{0.90, 1.10, 1.50}, {1.00, 1.35, 1.50}, {1.00, 1.35, 1.50}}},
          {{{0.95, 1.00, 1.00}, kAllOne, kAllOne}},
          1.0,
          true};
}

// EN 1990 Table A1.2(A), (B), (C); accidental situations Table A1.3.
Norm ecNorm(std::string_view name, std::vector<Category> categories) {
  return {name,
          std::move(categories),
          {{{0.90, 1.10, 1.50}, {1.00, 1.35, 1.50}, {1.00, 1.00, 1.30}}},
          {{kAllOne, kAllOne, kAllOne}},
          1.0,
          true};
}

// SIA 260 Table 1, types 1 to 3; accidental situations with the characteristic values.
Norm siaNorm() {
  return {"SIA 260:2003",
          siaCategories(),
          {{{0.90, 1.10, 1.50}, {0.80, 1.35, 1.50}, {1.00, 1.00, 1.30}}},
          {{kAllOne, kAllOne, kAllOne}},
          1.0,
          false};
}

}  // namespace

const Norm* findNorm(std::string_view name) {
  static const std::vector<Norm> norms = {
      dinNorm("DIN 1055-100"),
      dinNorm("DIN 18800"),
      siaNorm(),
      ecNorm("EC", ecCategories()),
      ecNorm("EC_NAD", nationalEcCategories()),
      ecNorm("EC_NAF", nationalEcCategories()),
  };
  for (const Norm& norm : norms) {
    if (norm.name == name) return &norm;
  }
  return nullptr;
}

}  // namespace kombra
