// Shear and torsion by DIN 1045-1 (10.3 and 10.4): resistance without shear reinforcement, the strut
// angle from the concrete term of the truss, strut resistances and the required stirrups and
// longitudinal bars. Stresses in MN/m2, forces in MN and MNm.
#include <algorithm>
#include <cmath>

#include "engine/material.h"
#include "engine/schub.h"

namespace {
// The strut angle from the truss's concrete term: 3.0 while the concrete carries the force alone.
double StrebenWinkel(double zaehler, double vrd, double ved)
{
    if (!(ved > 0.0) || vrd > ved)
        return 3.0;
    return zaehler / (1.0 - vrd / ved);
}
}  // namespace

int cSchub::SchubDIN1045_1(cBem& bem)
{
    if (!(h > 0.0 && ac > 0.0))
        return 0;  // a section without an outline has nothing to check
    const Eingang e = Vorbereiten(bem);
    const double fck = HoleBetonBemessungswerte(norm, betonGuete, 0, 1, 0, 1.0, aussergewoehnlich);
    const double gc = HoleBetonBemessungswerte(norm, betonGuete, 9, 1, 0, 1.0, aussergewoehnlich);
    const double fyd = HoleStahlBemessungswerte(norm, stahlGuete, 0, aussergewoehnlich);
    const double fcd = 0.85 * fck / gc;
    const double NEd = e.NEd, VEd = e.VEd, tef = e.tef, Ak = e.ak, uk = e.uk;
    double TEd = e.TEd;

    const double sigcd = NEd / ac;
    const double dZug = ZugRandabstand() / 100.0;
    const double d = Nutzhoehe(dZug);
    // Without a lever arm of the bending design 0.9 d, as under EC2: the cover rule alone lets it grow beyond
    // that in deep sections (from d = 0.65 m with bars 3.5 cm under the face).
    const double hebel = SetzeHebel(d, e.MEd) ? 0.9 * d : z;
    const double zv = std::min(hebel, std::max(d - 2.0 * cv[0] / 100.0, d - cv[0] / 100.0 - 0.03));

    const double kappa = std::min(1.0 + std::sqrt(0.2 / d), 2.0);
    const double rhol = std::min(e.asl / (bw * d), 0.02);
    double kappa1 = 0.0525 - 0.075 * (d - 0.6);
    if (d < 0.6)
        kappa1 = 0.0525;
    else if (d > 0.8)
        kappa1 = 0.0375;

    const double vrdctMin = (kappa1 / gc * std::pow(kappa, 1.5) * std::sqrt(fck) - 0.12 * sigcd) * d * bw;
    double vrdct = (0.15 / gc * kappa * std::pow(100.0 * rhol * fck, 0.3333) - 0.12 * sigcd) * d * bw;
    vrdct = std::max(vrdct, vrdctMin);

    const double F = std::pow(fck, 0.3333333333333333) * (1.0 + 1.2 * sigcd / fcd);
    const double vrdc = 0.24 * F * zv * bw;
    const double vrdcT = 0.24 * F * zv * tef;

    int it = 0;
    if (TEd > VEd * bw / 4.5)
        it = 1;
    if (VEd != 0.0 && VEd * (1.0 + 4.5 * TEd / (VEd * bw)) > vrdct)
        it = 1;

    const double vedT = TEd * zv / (2.0 * Ak);
    const double vedTV = vedT + VEd * tef / bw;
    const double zaehler = 1.2 - 1.4 * sigcd / fcd;
    const double ctt = StrebenWinkel(zaehler, vrdcT, vedTV);
    const double ctv = StrebenWinkel(zaehler, vrdc, VEd);
    double cot = std::min(ctv, ctt);
    if (cotTheta != 0.0)
        cot = cotTheta;
    cot = std::clamp(cot, 0.58, 3.0);

    const double s = cot + 1.0 / cot;
    const double vrdmax = 0.75 * bw * zv * fcd / s;
    const double trdmax = 1.0499999999999998 * Ak * tef * fcd / s;

    double aswV = 0.0, aswT = 0.0, aslT = 0.0, r = 0.0;
    if (it != 0) {
        aswV = VEd / (cot * zv * fyd) * 1e4;
        aswT = TEd / (2.0 * cot * Ak * fyd) * 1e4;
        aslT = cot * uk * TEd / (2.0 * Ak * fyd) * 1e4;
        r = (TEd / trdmax) * (TEd / trdmax) + (VEd / vrdmax) * (VEd / vrdmax);
    }

    const double rho = RhoWMinDIN1045_1(betonGuete);
    const double w = MindestBreite(tef, 1.0);
    const double asminS = w * rho;
    const double asminT = tef * rho;
    if (TEd < 1e-6)
        TEd = 1e-6;
    // the torsion's longitudinal minimum stays with the core's width, which its interaction is made of
    const double kern = KernBreite();
    const double wKern = kern >= 0.0 ? kern + tef : bw;
    const double asminTl = asminT * cot * cot / (1.0 + 2.0 * (wKern - tef) * tef * VEd / (TEd * wKern));

    // the strut under shear and torsion: (TEd/TRd,max)^2 + (VEd/VRd,max)^2 <= 1, whether or not stirrups are
    // needed by calculation; its square root grows with the forces as a utilisation does
    const double vrdmaxSteg = 0.75 * bwStrebe * zv * fcd / s;
    strutResistance = vrdmaxSteg * 1000.0;
    strutUtilisation = std::hypot(StrebenAnteil(VEd, vrdmaxSteg), StrebenAnteil(TEd, trdmax));

    erg[kSlotFall] = it + 0.1;
    erg[kSlotCot] = cot;
    erg[kSlotFyd] = fyd;
    erg[kSlotAswV] = aswV;
    erg[kSlotVRdct] = vrdct * 1000.0;
    erg[kSlotVRdc] = vrdc * 1000.0;
    erg[kSlotVRdmax] = vrdmax * 1000.0;
    erg[kSlotTef] = tef;
    erg[kSlotVRdctmin] = vrdctMin * 1000.0;
    erg[kSlotW] = w;
    erg[kSlotK] = kappa;
    erg[kSlotRhoL] = rhol;
    erg[kSlotCoefficient1] = 0.5249999999999999;
    erg[kSlotCoefficient2] = 2.4;
    erg[kSlotVEd] = VEd * 1000.0;
    erg[kSlotSigma] = sigcd;
    erg[kSlotAk] = Ak;
    erg[kSlotUk] = uk;
    erg[kSlotAswT] = aswT;
    erg[kSlotAslT] = aslT;
    erg[kSlotTRdmax] = trdmax * 1000.0;
    erg[kSlotR] = r;
    erg[kSlotZero] = 0.0;
    erg[kSlotZ] = zv;
    erg[kSlotMark] = 0.1;
    erg[kSlotAsminS] = asminS;
    erg[kSlotAsminT] = asminT;
    erg[kSlotAsminTl] = asminTl;
    erg[kSlotAswV] = std::max(asminS, aswV);
    erg[kSlotAswT] = std::max(asminT, aswT);
    erg[kSlotAslT] = std::max(asminTl, aslT);
    return 0;
}
