// The reinforced-concrete verification of every section of the column for one set of element end forces
// (strain state and stiffnesses, ultimate safety, design), with the fire check by tables and the code's
// maximum reinforcement ratio, and the shear dispatch by design code. Both have the shapes of the
// analysis's seam (nachweis_seam.h) and are the ones it calls unless a test installs others.
#pragma once

#include "engine/nachweis_seam.h"

// Result of StbNachweis_1 when a section's reinforcement ratio reaches the code's maximum.
constexpr int kNachweisBewehrungsgrad = 4;

// The code's largest reinforcement ratio (percent); a section that has exactly that ratio keeps it.
double GroessterBewehrungsgrad(int code);

class cQuer;
// The steel `as` (m2) of section q goes beyond the largest ratio `limit` (percent): its ratio as x 100 / Ac is held
// against the limit within a millionth of a percent, so that exactly the limit stays within it. With `designed`, `as`
// is what the section's last design asks, and a design that stopped at its own largest ratio without carrying its
// forces goes beyond whatever its ratio reads. A section without concrete has no ratio.
bool ExceedsLargestRatio(const cQuer& q, double as, double limit, bool designed);

// The largest slopes (kN/m2) of the laws that give the sections' stiffnesses in the strain states of a run: the
// concrete's at zero strain, the steel's elastic branch. No fibre is stiffer in any strain state, so a section's
// stiffness never exceeds the concrete's slope times Ic plus the steel's times the bars' second moment.
struct Anfangssteigungen {
    double beton = 0.0, stahl = 0.0;
};
Anfangssteigungen AnfangsSteigungen(int code, int betonGuete, int stahlGuete, int formKlasse, int accidental);

// See StbNachweisFunktion. material[0] is the shape class of the concrete law (HoleBetonRechenwerte);
// material[1] and material[2] are not read. The accidental situation of the material values is the
// engine's (g_rechner.aussergewoehnlich); the fire switch takes effect in the runs of that situation (the
// fire pass): the steel takes its accidental values and the ultimate check of a second-order run runs the
// fire check, with brand[0] the resistance class (0..4), brand[1] the exposure (0 one side, 1 more sides) and
// brand[2] passed on unused. A fire check that cannot be made leaves a hint in g_rechner.nachweisHinweise
// (BrandHinweis) for the driver to show; the verification raises no message.
int StbNachweis_1(const NachweisAufruf& aufruf);

// Why a fire check could not be made.
enum BrandHinweis {
    kBrandHinweisGrad9 = 1,    // the tables ask for more than 9 % reinforcement
    kBrandHinweisGrad4,        // the tables ask for more than 4 % reinforcement
    kBrandHinweisAbmessungen,  // no row of the tables is met with the section's dimensions
    kBrandHinweisEC2,          // no fire check by tables for the design code
    kBrandHinweisSIA262,
    kBrandHinweisEC2_NA_F,
    kBrandHinweisEC2_NA_GB,
};

// The message text of a fire hint; nullptr for an unknown one.
const char* BrandHinweisText(int hinweis);

// Shear and torsion of both sections of every element with the routine of the design code; the
// sections' own seven forces (forces: 14 per element) reach the routine. Returns 0.
int SchubNachweis(int code, int nel, const double* forces, int analyseModus);

// The stiffness an update leaves: the new strain state's, but not below fall times the previous (at most
// 0.3 percent below it unless the analysis allows more); the previous one where the section has no strain
// state in the plane (neu = 0). A negative previous value marks a plane that has had no strain state yet
// and holds the start value -alt: its first state replaces that whole.
inline constexpr double kSteifFall = 0.997;
double SteifigkeitNachUpdate(double alt, double neu, double fall = kSteifFall);
