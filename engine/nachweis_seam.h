// Where the frame analysis hands its end forces to the reinforced-concrete verification of the sections.
// The analysis calls the two routines through these pointers, so that the verification can be built and
// tested apart from it. The engine's own (nachweis.h) are installed from the start; tests install others
// (SetzeNachweisFunktionen).
#pragma once

// One call of the verification of every section (start section 2e, end section 2e + 1 of element e) for
// one set of end forces.
struct NachweisAufruf {
    int code = 0;  // engine design-code number
    int nel = 0;   // elements
    // 14 per element, 7 per section (N, Vy, Vz, T, My, Mz, bimoment; kN, kNm), start values already
    // sign-changed
    const double* forces = nullptr;
    int mode = 0;        // 2 strain state (new stiffnesses into By, Bz), 3 ultimate safety, 4 design
    double gamma = 1.0;  // safety factor of the run
    // per-section bending stiffnesses (E*I/1000) before the update and current
    const double* ByAlt = nullptr;
    double* By = nullptr;
    const double* BzAlt = nullptr;
    double* Bz = nullptr;
    // per-section factor by which an update may lower each stiffness at most (none: kSteifFall)
    const double* fallY = nullptr;
    const double* fallZ = nullptr;
    // when given: the stiffness of each section's strain state found by a mode 2 call (0: none)
    double* zustandY = nullptr;
    double* zustandZ = nullptr;
    int stride = 7;                    // doubles per section
    const double* faktoren = nullptr;  // the four factors of SetzeGamma
    const double* knotenX = nullptr;   // node heights (m, nel + 1 values)
    int analyseModus = 0;              // the calling analysis's mode (-1, 0, 1, 2)
    int material[3] = {};              // the engine's material selectors
    int brandSchalter = 0;             // the fire switch
    double brand[3] = {};              // its parameters: resistance class, exposure, a third value
};

// Returns 0, 4 (reinforcement ratio beyond the code's limit), kNachweisOhneZustand, kNachweisNichtTragfaehig
// or another code of the verification.
using StbNachweisFunktion = int (*)(const NachweisAufruf& aufruf);

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
