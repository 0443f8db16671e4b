// Shear and torsion checks of one cross-section by DIN 1045-1, EC2 (with the national annexes of
// Germany, France and the United Kingdom) and SIA 262, with the section values they read and the shear
// result block they fill. Forces come in kN and kNm and are worked in MN and MNm; resistances leave the
// block in kN and kNm, stirrups in cm2/m, longitudinal torsion reinforcement in cm2.
#pragma once

#include "engine/bem.h"
#include "engine/rechner.h"
#include "engine/results.h"

constexpr int kSchubSlots = 30;

// Slots of the shear result block in the layout of DIN 1045-1 and EC2 (SIA 262 writes a layout of its own,
// SiaSchubSlot). A slot a routine does not write keeps what it held.
enum SchubSlot {
    kSlotFall = 0,           // case + 0.1 (integer part: 0 = no shear reinforcement needed by calculation)
    kSlotCot = 1,            // cot theta used
    kSlotFyd = 2,            // MN/m2
    kSlotAswV = 4,           // governing stirrups for shear, cm2/m
    kSlotVRdct = 5,          // resistance without shear reinforcement, kN
    kSlotVRdc = 6,           // concrete term of the truss, kN
    kSlotVRdmax = 7,         // strut resistance, kN
    kSlotTef = 8,            // m
    kSlotVRdctmin = 9,       // kN
    kSlotW = 10,             // width for the minimum stirrups, m
    kSlotK = 11,             // size factor
    kSlotRhoL = 12,          // longitudinal reinforcement ratio
    kSlotCoefficient1 = 13,  // code coefficients
    kSlotCoefficient2 = 14,
    kSlotVEd = 15,      // kN
    kSlotSigma = 16,    // MN/m2, compression negative
    kSlotAk = 17,       // m2
    kSlotUk = 18,       // m
    kSlotAswT = 19,     // governing stirrups for torsion, cm2/m
    kSlotAslT = 20,     // governing longitudinal torsion reinforcement, cm2
    kSlotTRdmax = 21,   // kNm
    kSlotR = 23,        // code-specific ratio or case
    kSlotZero = 24,     // always 0
    kSlotZ = 25,        // m
    kSlotMark = 26,     // always 0.1
    kSlotAsminS = 27,   // cm2/m
    kSlotAsminT = 28,   // cm2/m
    kSlotAsminTl = 29,  // cm2
};

// Slots of the shear result block as SIA 262 fills it.
enum SiaSchubSlot {
    kSiaSlotTorsion = 0,      // 1 with torsion (TEd > 0.001 MNm), else 0
    kSiaSlotTaucd = 1,        // MN/m2
    kSiaSlotZ = 2,            // m
    kSiaSlotAsw = 3,          // stirrups for shear, cm2/m
    kSiaSlotVEd = 4,          // kN
    kSiaSlotVRd = 5,          // kN
    kSiaSlotZ2 = 6,           // m, again
    kSiaSlotWebWidthReq = 7,  // web width the compression field needs, cm
    kSiaSlotFyd = 8,          // MN/m2
    kSiaSlotAk = 9,           // cm2
    kSiaSlotUk = 10,          // m
    kSiaSlotAswT = 11,        // stirrups for torsion, cm2/m
    kSiaSlotVEdT = 12,        // shear force from torsion, kN
    kSiaSlotVRdT = 13,        // kN
    kSiaSlotWallReq = 14,     // wall thickness the torsion compression field needs, cm
    kSiaSlotCot = 15,         // cot theta
    kSiaSlotZ3 = kSlotZ,      // m, where the other codes keep z
};

// The section values of the shear checks and their results. These belong to the section's design object
// cBem; until it carries them, one record per section lives beside it in g_schub (same index as g_quer).
class cSchub {
public:
    // ---- read by the checks ----
    double kraefte[7] = {};  // N, Vy, Vz, T, My, Mz (kN, kNm; compression negative) and the bimoment
    int norm = 1;            // engine design-code number
    int betonGuete = 0;      // grade indices in the code's lists
    int stahlGuete = 0;
    int aussergewoehnlich = 0;  // accidental design situation
    double h = 0.0;             // section depth, m
    double ac = 0.0;            // concrete area, m2
    double z = 0.0;             // internal lever arm of the bending design, m
    double bw = 0.0;            // web width, m
    // The web that carries the strut's compression field, m: the width across the shear force. The checks of
    // DIN 1045-1 and EC2 replace bw by the neutral axis's chord, which under skew bending can cut a corner a
    // few centimetres long; it bounds the tension zone, not the web.
    double bwStrebe = 0.0;
    // The section seen by a shear force along y ([0]) and along z ([1]): depth along the force (m), edge
    // distances and covers of the outermost bars (cm; [0] on the face in tension under a positive moment in
    // that plane), and the width across the force (m): the concrete's chord through its centroid. Setze
    // fills them; a section without them (depth 0) keeps h, d1, cv and bw as given.
    struct Richtung {
        double h = 0.0;
        double d1[2] = {};
        double cv[2] = {};
        double bw = 0.0;
    };
    Richtung richtung[2];
    // Edge distance of the tension reinforcement and cover of the longitudinal bars, cm; [0] on the face in
    // tension under a positive moment, [1] on the other face.
    double d1[2] = {};
    double cv[2] = {};
    double tef = 0.0;  // effective wall thickness of the torsion core, cm (worked in m)
    double ak = 0.0;   // area enclosed by the torsion core, m2
    double uk = 0.0;   // perimeter of the torsion core, m
    int nKern = 0;     // core polygon points (at most 20) and their coordinates, cm
    double kernY[20] = {};
    double kernZ[20] = {};
    // The section has openings: its width across the shear force is that of the walls beside them.
    bool hohl = false;
    // Round sections (circles, rings): radius of the outer ring of bars, m; 0 for every other section.
    double stabKreis = 0.0;
    double cotTheta = 0.0;  // the user's cot theta; 0 means none
    int schubSchalter = 0;  // 1 once the shear dispatch has checked the section

    // ---- the shear result block ----
    double erg[kSchubSlots] = {};
    // The strut: its resistance VRd,max (kN) and its utilisation, VEd/VRd,max or with torsion the code's
    // interaction of shear and torsion. Above 1 the strut crushes, and no stirrups help. Every check writes both.
    double strutResistance = 0.0;
    double strutUtilisation = 0.0;

    // What the result records show of the section as the design code `code` (engine number) checked it: VEd,
    // cot theta, the resistance without shear reinforcement (SIA 262: VRd), the strut's, the stirrups and the
    // strut's utilisation.
    SectionShear ShearRecord(int code) const;

    // Takes the section values from the prepared cross-section iq and its design state: geometry, grades,
    // torsion core, the lever arm of the last design and the user's cot theta of the section's field.
    void Setze(int iq);

    // Sets h, d1, cv and bw to the section seen by this section's shear force (Vy, Vz), so that the checks
    // work in the plane of the force whatever the direction of the strain plane. A force along an axis takes
    // that axis' values; an oblique one blends them by its direction cosines cy, cz: depth and width
    // elliptically (1/L^2 = cy^2/Ly^2 + cz^2/Lz^2, never beyond the larger), edge distances and covers
    // linearly (cy^2 Ly + cz^2 Lz). Without shear force the values across z stay. Nothing changes for a
    // section whose directions were not set.
    void AufQuerkraftRichten();

    // The checks; each returns 0 and writes the result block.
    int SchubDIN1045_1(cBem& bem);
    int SchubEC2(cBem& bem);
    int SchubEC2_NA_DE(cBem& bem);
    int SchubEC2_NA_FGB(cBem& bem);
    int SchubSIA262(cBem& bem);

private:
    enum class Ec2Art { Basis, NaDe, NaFgb };
    // Forces in MN and MNm, the longitudinal reinforcement (m2) and the floored torsion core (m, m2).
    struct Eingang {
        double NEd = 0.0, VEd = 0.0, MEd = 0.0, TEd = 0.0, asl = 0.0;
        double tef = 0.0, ak = 0.0, uk = 0.0;
    };
    int SchubEC2Variante(cBem& bem, Ec2Art art);
    // The steps all DIN 1045-1 and EC2 checks begin with: forces, tension reinforcement, neutral-axis
    // width, floors of the core values, the design factor, and the fallback width 0.65 h.
    Eingang Vorbereiten(cBem& bem);
    // The section's lever arm for depth d (m) under the moment MEd (MNm): the design's, or d where it lies below
    // d/2, where the design state has none (0: no tension resultant) or where the section carries no moment (the
    // lever arm of its design state is then an accident of the iteration, not that of a bending); true in the
    // latter cases, where the codes take 0.9 d.
    bool SetzeHebel(double d, double MEd);
    // The effective depth (m) for the tension bars at `dZug` (m) from the face: h - dZug; for a round section the
    // depth of the centroid of the bars in the half under tension, r + 2 rs / pi (the outermost bar alone would
    // give a lever arm wider than the bars stand apart).
    double Nutzhoehe(double dZug) const;
    // Width of the torsion core across the shear force (m) for the minimum stirrups: across z |ymax| +
    // |ymin| of its points, across y their extent in z, an oblique force blended as the web width; -1
    // without a core.
    double KernBreite() const;
    // Edge distance (cm) of the bars on the face the moment in the plane of the shear force stretches (the plane
    // of the larger shear component); without moment there the larger of the two, which gives the smaller d.
    double ZugRandabstand() const;
    // Width of the web for the minimum stirrups (m): the walls across the shear force where the section
    // has openings (a ring's two walls), else the torsion core's width plus `wandAnteil` times its wall,
    // else bw.
    double MindestBreite(double tef, double wandAnteil) const;
};

extern cSchub g_schub[kMaxQuerschnitte];

// A moment (MNm) at or below which a section counts as free of moment: the direction of its strain plane,
// and of any width taken along its neutral axis, is then an accident of the iteration.
constexpr double kSchubMomentNull = kBemMomentNull / 1000.0;

// Length of concrete (cm) along the line through (y0, z0) in direction (ry, rz) (a unit vector): the chord
// of the outline (n points, cm) less the chords of the openings.
double Sehne(int n, const double* y, const double* z, double y0, double z0, double ry, double rz);

// The user's cot theta of each field (0 = none). Belongs with the field's section input (StabQuerschnitt);
// kept here until the input carries it.
extern double g_cotThetaFeld[kMaxFelder];

// Longitudinal tension reinforcement for the shear check (m2): the bars of the kind-1 groups in the tension
// half of the section in the plane of the shear force (vy, vz in kN): the half beyond the line through the
// concrete's centroid across the force, on the side the moment in that plane (from my, mz in kNm) puts in
// tension. Without such a moment either half may be the tension half: the one with less steel counts. Bars
// on the dividing line belong to neither. Without shear force the plane is the one of a force along z. The
// strain state does not enter: it is arbitrary at a section without moment.
double HoleAslSchub(const cBem& bem, double vy, double vz, double my, double mz);

// Group `group` (0..99) of kind `kind`: its bar count, and its first bar as a 0-based point index in
// `first`; -1 (first untouched) when the group has another kind.
int HoleGruppe(const cBem& bem, int kind, int* first, int group);

// The share |wirkung/widerstand| of a strut's resistance that an action takes (0 without action). A resistance
// that vanishes (a degenerate section) counts as kStrebeWiderstandMin: the share stays a finite number, far
// above 1.
double StrebenAnteil(double wirkung, double widerstand);
constexpr double kStrebeWiderstandMin = 1e-12;

// Minimum shear reinforcement ratio of DIN 1045-1 times 10^4 for the concrete grade index (lowest grade
// first; indices beyond the table take its nearest end).
double RhoWMinDIN1045_1(int betonGuete);
