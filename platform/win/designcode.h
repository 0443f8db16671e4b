// The design codes a column is calculated by: one row per code with every number and name that hangs on it,
// so that the input, the engine, the catalogue, the combination generator and the report agree. It sits
// here, the lowest folder that every one of them may include.
#pragma once

#include <cstring>

namespace designcode {

struct DesignCode {
  int input;                    // the number a position file stores ("iNorm")
  int engine;                   // the engine's number for the same code
  const char* name;             // short name for messages
  const char* presetKey;        // the user's default-code setting that presets new positions ("" none)
  const char* catalogue;        // the code's name in the material catalogue
  const char* gradeList;        // the name under which the catalogue keeps its grade list
  const char* concreteHeading;  // report headings of the material section
  const char* steelHeading;
  int combinationNorm;          // the combination generator's norm of the actions that go with the code
  bool eurocode;                // the EC2 family (its catalogue renames the old rebar grades)
  bool fireTablesEn;            // the fire check reads the tables of EN 1992-1-2, not of DIN 4102-4
  const char* minimumRule;      // the report's line on the minimum longitudinal reinforcement, printed as it is
  int minimumBar;               // diameter (mm) of the least bars the report names per section type
  // The engine's minimum longitudinal reinforcement: max(nFactor |N| / fyd, acRatio Ac).
  double minimumNFactor;
  double minimumAcRatio;
  int maxRatioPercent;  // the largest reinforcement ratio of the design; above it the engine warns
};

// DIN 1045-1's grades are listed under "DIN 1045-I" in the catalogue. The French and British annexes have no
// grades of their own and take the German annex's.
inline constexpr DesignCode kCodes[] = {
    {0, 1, "DIN 1045-1", "DIN", "DIN 1045-1", "DIN 1045-I", "Normalbeton DIN 1045-1:2008",
     "Betonstahl DIN 1045-1:2008", 1, false, false, "Mindestbewehrung max(0.3% vom Querschnitt Ac,0.15*|Ned|/fyd)",
     12, 0.15, 0.003, 9},
    {1, 2, "EC2", "EC", "EC2", "EC2", "Normalbeton EC2:2005", "Betonstahl EC2:2008", 0, true, false,
     "Mindestbewehrung max(0.2% vom Querschnitt Ac,0.10*|Ned|/fyd", 12, 0.10, 0.002, 8},
    {2, 3, "SIA 262", "SIA", "SIA 262:2003", "SIA 262:2003", "Normalbeton SIA 262", "Betonstahl SIA 262", 2, false,
     false, "Mindestbewehrung 0.6% vom Querschnitt Ac", 8, 0.15, 0.006, 8},
    {10, 11, "EC2 mit nationalem Anhang D", "ECNA", "EC2 NA (DE)", "EC2 NA (DE)", "Normalbeton EC2 NA (DE)",
     "Betonstahl EC2 NA (DE)", 0, true, true, "Mindestbewehrung max(0.2% vom Querschnitt Ac,0.15*|Ned|/fyd)", 12,
     0.15, 0.002, 9},
    {11, 12, "EC2 mit nationalem Anhang F", "", "EC2 NA (DE)", "EC2 NA (DE)", "Normalbeton EC2 NA (F)",
     "Betonstahl EC2 NA (F)", 0, true, false, "Mindestbewehrung max(0.2% vom Querschnitt Ac,0.15*|Ned|/fyd)", 12,
     0.15, 0.002, 9},
    {12, 13, "EC2 mit nationalem Anhang GB", "", "EC2 NA (DE)", "EC2 NA (DE)", "Normalbeton EC2 NA (GB)",
     "Betonstahl EC2 NA (GB)", 0, true, false, "Mindestbewehrung max(0.2% vom Querschnitt Ac,0.15*|Ned|/fyd)", 12,
     0.15, 0.002, 9},
};

// nullptr for a number no code has.
inline const DesignCode* ByInput(int input) {
  for (const DesignCode& c : kCodes)
    if (c.input == input) return &c;
  return nullptr;
}

inline const DesignCode* ByEngine(int engine) {
  for (const DesignCode& c : kCodes)
    if (c.engine == engine) return &c;
  return nullptr;
}

inline const DesignCode* ByPresetKey(const char* key) {
  for (const DesignCode& c : kCodes)
    if (*c.presetKey && std::strcmp(c.presetKey, key) == 0) return &c;
  return nullptr;
}

// The engine's number of an input code; -1 for a number no code has.
inline int EngineNumber(int input) {
  const DesignCode* c = ByInput(input);
  return c ? c->engine : -1;
}

}  // namespace designcode
