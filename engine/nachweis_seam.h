// Where the frame analysis hands its end forces to the reinforced-concrete verification of the sections.
// The analysis calls the two routines through these pointers, so that the verification can be built and
// tested apart from it; the calculation installs them once (SetzeNachweisFunktionen) before a run.
#pragma once

// The verification of every section (start section 2e, end section 2e + 1 of element e) for one set of
// end forces. code: engine design-code number; nel: elements; forces: 14 per element, 7 per section
// (N, Vy, Vz, T, My, Mz, bimoment; kN, kNm), start values already sign-changed; mode: 2 strain state
// (new stiffnesses into By, Bz), 3 ultimate safety, 4 design; gamma: safety factor of the run; ByAlt,
// By, BzAlt, Bz: per-section bending stiffnesses (E*I/1000) before the update and current; stride: 7
// doubles per section; faktoren: the four factors of SetzeGamma; knotenX: node heights (m, nel + 1
// values); analyseModus: the calling analysis's mode (-1, 0, 1, 2); material1..3: the engine's material
// selectors; brandSchalter and brand1..3: the fire switch and its parameters. Returns 0, 4 (reinforcement
// ratio beyond the code's limit), kNachweisOhneZustand, kNachweisNichtTragfaehig or another code of the
// verification.
using StbNachweisFunktion = int (*)(int code, int nel, const double* forces, int mode, double gamma,
                                    const double* ByAlt, double* By, const double* BzAlt, double* Bz, int stride,
                                    const double* faktoren, const double* knotenX, int analyseModus,
                                    int material1, int material2, int material3, int brandSchalter,
                                    double brand1, double brand2, double brand3);

// The shear verification of every section with the routine of the design code; returns 0.
using SchubNachweisFunktion = int (*)(int code, int nel, const double* forces, int analyseModus);

// Result of a strain-state call (mode 2) where a section has no strain state under its forces with the
// steel it has (its design object's m_code is not 0); the call raises no steel.
constexpr int kNachweisOhneZustand = 5;

// Result of an ultimate check (mode 3) where a section's safety factor lies below 1 by more than
// kSicherheitsToleranz: the section has too little steel for its forces. Its design object's m_code
// holds this value; the check raises no steel.
constexpr int kNachweisNichtTragfaehig = 6;
constexpr double kSicherheitsToleranz = 1e-3;

struct NachweisFunktionen {
    StbNachweisFunktion stbNachweis = nullptr;
    SchubNachweisFunktion schubNachweis = nullptr;
};

// Installs the verification routines; returns the ones installed before. Without a verification
// routine an analysis that needs one ends with code 3 (design error); without a shear routine the
// shear verification is skipped.
NachweisFunktionen SetzeNachweisFunktionen(NachweisFunktionen funktionen);
const NachweisFunktionen& HoleNachweisFunktionen();
