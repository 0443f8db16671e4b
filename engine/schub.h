// Shear and torsion checks of one cross-section by DIN 1045-1, EC2 (with the national annexes of
// Germany, France and the United Kingdom) and SIA 262, with the section values they read and the shear
// result block they fill. Forces come in kN and kNm and are worked in MN and MNm; resistances leave the
// block in kN and kNm, stirrups in cm2/m, longitudinal torsion reinforcement in cm2.
#pragma once

#include "engine/bem.h"
#include "engine/rechner.h"

constexpr int kSchubSlots = 30;

// Slots of the shear result block that the result storage and the report read (DIN 1045-1 and EC2
// layout; SIA 262 writes a layout of its own, see SchubSIA262).
enum SchubSlot {
    kSlotFall = 0,      // case + 0.1
    kSlotCot = 1,       // cot theta used
    kSlotFyd = 2,       // MN/m2
    kSlotAswV = 4,      // governing stirrups for shear, cm2/m
    kSlotVRdct = 5,     // kN
    kSlotVRdc = 6,      // kN
    kSlotVRdmax = 7,    // kN
    kSlotTef = 8,       // m
    kSlotVRdctmin = 9,  // kN
    kSlotW = 10,        // m
    kSlotK = 11,
    kSlotRhoL = 12,
    kSlotVEd = 15,     // kN
    kSlotSigma = 16,   // MN/m2
    kSlotAk = 17,      // m2
    kSlotUk = 18,      // m
    kSlotAswT = 19,    // cm2/m
    kSlotAslT = 20,    // cm2
    kSlotTRdmax = 21,  // kNm
    kSlotR = 23,
    kSlotZ = 25,        // m
    kSlotAsminS = 27,   // cm2/m
    kSlotAsminT = 28,   // cm2/m
    kSlotAsminTl = 29,  // cm2
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
    double cotTheta = 0.0;  // the user's cot theta; 0 means none
    int schubSchalter = 0;  // 1 once the shear dispatch has checked the section

    // ---- the shear result block ----
    double erg[kSchubSlots] = {};

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

// Minimum shear reinforcement ratio of DIN 1045-1 times 10^4 for the concrete grade index (lowest grade
// first; indices beyond the table take its nearest end).
double RhoWMinDIN1045_1(int betonGuete);
