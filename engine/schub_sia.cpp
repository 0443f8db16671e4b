// Shear and torsion by SIA 262 (4.3.3 and 4.3.5): resistance of the web without stirrups from tau_cd and
// the strain-dependent factor kd, stirrups and compression-field widths for shear and for the shear
// flow of torsion. Stresses in MN/m2, forces in MN and MNm.
#include <algorithm>
#include <cmath>

#include "engine/material.h"
#include "engine/schub.h"

namespace {
constexpr double kCotOhneWinkel = 2.1445069;  // theta = 25 degrees
constexpr double kTanOhneWinkel = 0.4663076626146551;
}  // namespace

int cSchub::SchubSIA262(cBem& bem)
{
    if (!(h > 0.0))
        return 0;  // a section without an outline has nothing to check
    // the check works in the plane of the shear force, whatever the direction of the strain plane
    AufQuerkraftRichten();
    if (bw == 0.0) {
        double sigMax = 0.0;
        bem.sigeps(sigMax);
        double b0 = 0.0, zug = 0.0;
        bem.BerechneNullinienbreite(b0, zug);
        if (b0 > 0.0)
            bw = b0;
    }
    const double VEd = std::hypot(kraefte[1], kraefte[2]) / 1000.0;
    const double TEd = std::fabs(kraefte[3]) / 1000.0;
    const double MEd = std::hypot(kraefte[4], kraefte[5]) / 1000.0;
    const double fcd = HoleBetonBemessungswerte(norm, betonGuete, 1, 1, 0, 1.0, aussergewoehnlich);
    const double fck = HoleBetonBemessungswerte(norm, betonGuete, 0, 1, 0, 1.0, aussergewoehnlich);
    const double taucd = HoleBetonBemessungswerte(norm, betonGuete, 8, 1, 0, 1.0, aussergewoehnlich);
    const double fyd = HoleStahlBemessungswerte(norm, stahlGuete, 0, aussergewoehnlich);
    const double fsk = HoleStahlBemessungswerte(norm, stahlGuete, 1, aussergewoehnlich);

    const double d = Nutzhoehe(ZugRandabstand() / 100.0);
    SetzeHebel(d, MEd);
    const double zv = std::min(z, 0.9 * d);

    double tanT = 0.0;
    if (std::fabs(cotTheta) < 0.1) {
        cotTheta = kCotOhneWinkel;
        tanT = kTanOhneWinkel;
    } else {
        tanT = 1.0 / cotTheta;
    }
    const double cot = cotTheta;
    const double theta = std::atan(tanT);
    const double sc = std::sin(theta) * std::cos(theta);

    // kd from the ratio of the acting to the resisting moment once the section is beyond its ultimate
    // state. The ultimate check scales all forces by R.U/R, so the ratio is 1/R.U/R; at a section without
    // moment both moments are round-off whose ratio is arbitrary, and the ratio is that limit.
    const double ruR = bem.m_slots[kBemSlotGamma];
    const double mrd = std::hypot(bem.m_erg[kBemUltimate].My, bem.m_erg[kBemUltimate].Mz) / 1000.0;
    double kv = 2.2;
    if (ruR > 1.0)
        kv = 2.2 * (MEd > kSchubMomentNull && mrd > 0.0 ? MEd / mrd : 1.0 / ruR);
    const double kd = 1.0 / (1.0 + kv * d);
    const double vrd = kd * taucd * d * bw;

    // 5.5.2.2: rho_w,min = 0.001 sqrt(fck/30) 500/fsk of the web width
    const double asmin = fsk > 0.0 ? 0.001 * std::sqrt(fck / 30.0) * 500.0 / fsk * bw * 1e4 : 0.0;
    double asw = asmin, bwErf = 0.0;
    if (VEd > vrd) {
        asw = std::max(VEd / (zv * cot * fyd) * 1e4, asmin);
        bwErf = VEd / (0.6 * fcd * zv * sc);
    }

    const bool torsion = TEd > 0.001;
    double vedT = 0.0, aswT = 0.0, wandErf = 0.0;
    if (torsion) {
        const double Ak = std::fabs(ak) < 1e-10 ? 1e-10 : ak;
        vedT = TEd * zv / (2.0 * Ak);
        if (vedT > vrd) {
            aswT = vedT / (zv * cot * fyd) * 1e4;
            wandErf = vedT / (0.6 * fcd * zv * sc);
        }
    }

    // The compression field: the web carries 0.6 fcd bw z sin cos (the width the shear asks for above is
    // VEd over the same stress), the torsion wall 0.6 fcd tef z sin cos; shares of both add up.
    const double vrdmax = 0.6 * fcd * bw * zv * sc;
    strutResistance = vrdmax * 1000.0;
    strutUtilisation = StrebenAnteil(VEd, vrdmax);
    if (torsion)
        strutUtilisation += StrebenAnteil(vedT, 0.6 * fcd * (tef / 100.0) * zv * sc);

    erg[kSiaSlotTorsion] = torsion ? 1.0 : 0.0;
    erg[kSiaSlotTaucd] = taucd;
    erg[kSiaSlotZ] = zv;
    erg[kSiaSlotAsw] = asw;
    erg[kSiaSlotVEd] = VEd * 1000.0;
    erg[kSiaSlotVRd] = vrd * 1000.0;
    erg[kSiaSlotZ2] = zv;
    erg[kSiaSlotWebWidthReq] = bwErf * 100.0;
    erg[kSiaSlotFyd] = fyd;
    erg[kSiaSlotAk] = ak * 1e4;
    erg[kSiaSlotUk] = uk;
    erg[kSiaSlotAswT] = aswT;
    erg[kSiaSlotVEdT] = vedT * 1000.0;
    erg[kSiaSlotVRdT] = vrd * 1000.0;
    erg[kSiaSlotWallReq] = wandErf * 100.0;
    erg[kSiaSlotCot] = cot;
    erg[kSiaSlotZ3] = zv;
    return 0;
}
