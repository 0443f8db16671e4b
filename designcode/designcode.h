// The design codes a column is calculated by: one row per code with every number and name that hangs on it, and
// the detailing that all codes share, so that the input, the engine, the catalogue, the combination generator and
// the report agree. A folder of its own below every subsystem (it includes nothing of the project), so that the
// engine may read it too.
#pragma once

#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <string>

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
  // Two norms of the combination generator, which differ for most codes: the one whose rules form the load
  // combinations of a column under this code, and the one a position's construction stages start with when the
  // column data is reset (DIN 1045-1's row is the one a reset takes).
  int formingNorm;
  int startNorm;
  bool eurocode;      // the EC2 family (its catalogue renames the old rebar grades)
  bool fireTablesEn;  // the report's fire section names the tables of EN 1992-1-2, not of DIN 4102-4
  // The reinforcement ratio (percent) at which the fire tables' design gives up; 0: the code has no fire tables.
  int fireRatioPercent;
  // m2, the least bar: the engine raises every bar of a rectangle's layout (4, 8 or 16 bars) to it, the input dialog
  // asks for it and the report's rule names its diameter (LeastBarDiameterMm). 12 mm wherever a code or its annex
  // asks 12 mm.
  double leastBarArea;
  // The engine's minimum longitudinal reinforcement: max(nFactor |N| / fyd, acRatio Ac).
  double minimumNFactor;
  double minimumAcRatio;
  int maxRatioPercent;  // the largest reinforcement ratio of the design (at laps); the run stops above it
};

// DIN 1045-1's grades are listed under "DIN 1045-I" in the catalogue. The French and British annexes have no
// grades of their own and take the German annex's.
inline constexpr DesignCode kCodes[] = {
    {.input = 0,
     .engine = 1,
     .name = "DIN 1045-1",
     .presetKey = "DIN",
     .catalogue = "DIN 1045-1",
     .gradeList = "DIN 1045-I",
     .concreteHeading = "Normalbeton DIN 1045-1:2008",
     .steelHeading = "Betonstahl DIN 1045-1:2008",
     .formingNorm = 0,
     .startNorm = 1,
     .eurocode = false,
     .fireTablesEn = false,
     .fireRatioPercent = 9,
     .leastBarArea = 0.000113,
     .minimumNFactor = 0.15,
     .minimumAcRatio = 0.003,
     .maxRatioPercent = 9},
    {.input = 1,
     .engine = 2,
     .name = "EC2",
     .presetKey = "EC",
     .catalogue = "EC2",
     .gradeList = "EC2",
     .concreteHeading = "Normalbeton EC2:2005",
     .steelHeading = "Betonstahl EC2:2008",
     .formingNorm = 3,
     .startNorm = 0,
     .eurocode = true,
     .fireTablesEn = false,
     .fireRatioPercent = 0,
     .leastBarArea = 0.00005,
     .minimumNFactor = 0.10,
     .minimumAcRatio = 0.002,
     .maxRatioPercent = 8},
    {.input = 2,
     .engine = 3,
     .name = "SIA 262",
     .presetKey = "SIA",
     .catalogue = "SIA 262:2003",
     .gradeList = "SIA 262:2003",
     .concreteHeading = "Normalbeton SIA 262",
     .steelHeading = "Betonstahl SIA 262",
     .formingNorm = 2,
     .startNorm = 2,
     .eurocode = false,
     .fireTablesEn = false,
     .fireRatioPercent = 0,
     .leastBarArea = 0.00005,
     .minimumNFactor = 0.15,
     .minimumAcRatio = 0.006,
     .maxRatioPercent = 8},
    {.input = 10,
     .engine = 11,
     .name = "EC2 mit nationalem Anhang D",
     .presetKey = "ECNA",
     .catalogue = "EC2 NA (DE)",
     .gradeList = "EC2 NA (DE)",
     .concreteHeading = "Normalbeton EC2 NA (DE)",
     .steelHeading = "Betonstahl EC2 NA (DE)",
     .formingNorm = 0,
     .startNorm = 0,
     .eurocode = true,
     .fireTablesEn = true,
     .fireRatioPercent = 4,
     .leastBarArea = 0.000113,
     .minimumNFactor = 0.15,
     .minimumAcRatio = 0.002,
     .maxRatioPercent = 9},
    {.input = 11,
     .engine = 12,
     .name = "EC2 mit nationalem Anhang F",
     .presetKey = "",
     .catalogue = "EC2 NA (DE)",
     .gradeList = "EC2 NA (DE)",
     .concreteHeading = "Normalbeton EC2 NA (F)",
     .steelHeading = "Betonstahl EC2 NA (F)",
     .formingNorm = 3,
     .startNorm = 0,
     .eurocode = true,
     .fireTablesEn = false,
     .fireRatioPercent = 0,
     .leastBarArea = 0.000113,
     .minimumNFactor = 0.15,
     .minimumAcRatio = 0.002,
     .maxRatioPercent = 8},
    {.input = 12,
     .engine = 13,
     .name = "EC2 mit nationalem Anhang GB",
     .presetKey = "",
     .catalogue = "EC2 NA (DE)",
     .gradeList = "EC2 NA (DE)",
     .concreteHeading = "Normalbeton EC2 NA (GB)",
     .steelHeading = "Betonstahl EC2 NA (GB)",
     .formingNorm = 3,
     .startNorm = 0,
     .eurocode = true,
     .fireTablesEn = false,
     .fireRatioPercent = 0,
     .leastBarArea = 0.000113,
     .minimumNFactor = 0.15,
     .minimumAcRatio = 0.002,
     .maxRatioPercent = 8},
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

// The diameter (mm) of a bar of `area` (m2), to the whole millimetre.
inline int BarDiameterMm(double area) { return int(std::lround(std::sqrt(4.0 * area / std::numbers::pi) * 1000.0)); }

// The diameter (mm) of the code's least bar, as the report names it.
inline int LeastBarDiameterMm(const DesignCode& c) { return BarDiameterMm(c.leastBarArea); }

// The bars of a round section (circle or ring), the same under every code. One ring of bars shares the entered
// total, which never falls below the area of six 12 mm bars; a ring section gets a second, inner ring of bars that
// share that same area besides, built as the entered bars are.
inline constexpr int kRoundRingBars = 20;
inline constexpr int kRoundLeastBars = 6;
inline constexpr double kRoundLeastBarArea = 0.000113;  // m2
inline constexpr double kRoundLeastArea = 6.78;         // cm2: kRoundLeastBars bars of kRoundLeastBarArea

// The least bars of a section as the engine applies them: a count and a diameter (mm).
struct LeastBars {
  int count;
  int diameterMm;
};
// Round sections (`sectionType` 1 circle, 2 ring) by the rule above; rectangles by their layout (4, 8 or 16 bars)
// with the code's least bar; {0, 0} for a layout that has none.
inline LeastBars LeastBarsOf(const DesignCode& c, int sectionType, int layout) {
  if (sectionType == 1 || sectionType == 2) return {kRoundLeastBars, BarDiameterMm(kRoundLeastBarArea)};
  static constexpr int kLayoutBars[] = {4, 8, 16};
  if (sectionType != 0 || layout < 0 || layout > 2) return {0, 0};
  return {kLayoutBars[layout], LeastBarDiameterMm(c)};
}

// The report's line on the minimum longitudinal reinforcement: the rule the engine applies, written from the same
// two factors.
inline std::string MinimumRuleText(const DesignCode& c) {
  char text[120];
  std::snprintf(text, sizeof text, "Mindestbewehrung max(%.1f%% vom Querschnitt Ac,%.2f*|Ned|/fyd)",
                c.minimumAcRatio * 100.0, c.minimumNFactor);
  return text;
}

// The engine's number of an input code; -1 for a number no code has.
inline int EngineNumber(int input) {
  const DesignCode* c = ByInput(input);
  return c ? c->engine : -1;
}

}  // namespace designcode
