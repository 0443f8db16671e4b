// The result areas of the work arrays' partition: the INDEX entries where the analyses store their results per
// combination and the result collection reads them (CStuetzenRechner::Slot gives an area's start for a
// combination). Node areas hold 7 values per node, member areas 14 per member (start then end), section areas one
// value per section (start section 2e, end section 2e + 1). Units kN, kNm, m and radians unless said.
#pragma once

enum ResultArea {
    // first order (mode 0), per combination
    kAreaReactions = 10,
    kAreaDisplacements = 11,
    kAreaEndForces = 12,
    // creep (mode 1), one combination
    kAreaCreepReactions = 15,
    kAreaCreepDisplacements = 16,
    kAreaCreepEndForces = 17,
    // buckling: the four eigenvectors (7 per node each) and 12 values per combination, the eigenvalues
    // with the largest displacements of their shapes
    kAreaEigenvectors = 18,
    kAreaEigenvalues = 19,
    // second order (mode 2), per combination
    kAreaSecondReactions = 20,
    kAreaSecondDisplacements = 21,
    kAreaSecondEndForces = 22,
    // second-order design values per section: forces, the design object's result values 3..14, the safety
    // factor, the present steel (cm2) and the smallest concrete strain (per mille)
    kAreaSecondN = 23,
    kAreaSecondMy = 24,
    kAreaSecondMz = 25,
    kAreaSecondDesignValues = 26,
    kAreaSecondSafety = 38,
    kAreaSecondAs = 39,
    kAreaSecondEpsConcrete = 40,
    // first-order design values per section: forces, the required steel (cm2) and the code minimum the design
    // started from (cm2), the safety factor, the ratio mue (%), the smallest concrete and the largest steel
    // strain (per mille)
    kAreaFirstN = 50,
    kAreaFirstMy = 51,
    kAreaFirstMz = 52,
    kAreaFirstAsRequired = 53,
    kAreaFirstAsMinimum = 54,
    kAreaFirstSafety = 55,
    kAreaFirstRatio = 56,
    kAreaFirstEpsConcrete = 57,
    kAreaFirstEpsSteel = 58,
    // imperfections per node of a combination: v0, w0 (m) and the inclinations
    kAreaImperfections = 70,
};

// Int areas per section: the combination that governs.
enum GoverningArea {
    kGoverningFirstSafety = 62,   // smallest safety factor of the first-order design
    kGoverningCrackStrain = 63,   // largest steel strain of the serviceability pass
    kGoverningSecondSafety = 66,  // smallest safety factor of second order
};
