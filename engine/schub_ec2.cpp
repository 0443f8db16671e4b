// Shear and torsion by EC2 (EN 1992-1-1, 6.2 and 6.3) and by its national annexes: Germany (strut angle
// from the concrete term of the truss, its own VRd,c), France and the United Kingdom (the EC2 rules).
// Stresses in MN/m2, forces in MN and MNm; sigma_cp is positive in compression.
#include <algorithm>
#include <cmath>

#include "engine/material.h"
#include "engine/schub.h"

namespace {
// Strut angle of the German annex from the concrete term vrdcc of the truss: at most 3.0.
double StrebenWinkelDE(double zaehler, double vrdcc, double ved)
{
    if (!(ved > 0.0) || vrdcc > ved)
        return 3.0;
    return std::min(3.0, zaehler / (1.0 - vrdcc / ved));
}
}  // namespace

int cSchub::SchubEC2(cBem& bem)
{
    return SchubEC2Variante(bem, Ec2Art::Basis);
}

int cSchub::SchubEC2_NA_DE(cBem& bem)
{
    return SchubEC2Variante(bem, Ec2Art::NaDe);
}

int cSchub::SchubEC2_NA_FGB(cBem& bem)
{
    return SchubEC2Variante(bem, Ec2Art::NaFgb);
}

int cSchub::SchubEC2Variante(cBem& bem, Ec2Art art)
{
    if (!(h > 0.0 && ac > 0.0))
        return 0;  // a section without an outline has nothing to check
    const bool de = art == Ec2Art::NaDe;
    const Eingang e = Vorbereiten(bem);
    const double fck = HoleBetonBemessungswerte(norm, betonGuete, 0, 1, 0, 1.0, aussergewoehnlich);
    const double fctm = HoleBetonBemessungswerte(norm, betonGuete, 4, 1, 0, 1.0, aussergewoehnlich);
    const double gc = HoleBetonBemessungswerte(norm, betonGuete, 9, 1, 0, 1.0, aussergewoehnlich);
    const double fyd = HoleStahlBemessungswerte(norm, stahlGuete, 0, aussergewoehnlich);
    const double fyk = HoleStahlBemessungswerte(norm, stahlGuete, 1, aussergewoehnlich);
    const double fcd = (de ? 0.85 : 1.0) * fck / gc;
    const double VEd = e.VEd, TEd = e.TEd, tef = e.tef, Ak = e.ak, uk = e.uk;

    const double dZug = ZugRandabstand() / 100.0;
    const double d = Nutzhoehe(dZug);
    SetzeHebel(d, e.MEd);
    double zv = std::min(z, 0.9 * d);
    if (de)
        zv = std::min({zv, d - 2.0 * dZug, d - dZug - 0.03});

    // 6.2.2(1): sigma_cp < 0.2 fcd
    const double sigcp = std::min(-e.NEd / ac, 0.2 * fcd);
    const double k = std::min(1.0 + std::sqrt(0.2 / d), 2.0);
    const double rhol = std::min(e.asl / (bw * d), 0.02);

    const double k1 = de ? 0.12 : 0.15;
    const double crdc = (de ? 0.15 : 0.18) / gc;
    double vrdc = (crdc * k * std::pow(100.0 * rhol * fck, 0.3333) + k1 * sigcp) * d * bw;
    double vrdcMin = 0.0;
    if (de) {
        double kappa1 = 0.0525 - 0.075 * (d - 0.6);
        if (d < 0.6)
            kappa1 = 0.0525;
        else if (d > 0.8)
            kappa1 = 0.0375;
        vrdcMin = (kappa1 / gc * std::pow(k, 1.5) * std::sqrt(fck) + 0.12 * sigcp) * d * bw;
    } else {
        vrdcMin = (0.035 * std::pow(k, 1.5) * std::sqrt(fck) + 0.15 * sigcp) * d * bw;
    }
    vrdc = std::max(vrdc, vrdcMin);

    // strut angle
    bool torsionDE = false;
    double cot = 0.0;
    if (!de) {
        cot = std::clamp(cotTheta, 1.0, 2.5);  // no angle given: 1.0, the most stirrups
    } else {
        const double fc3 = 0.24 * std::pow(fck, 0.3333333333333333) * (1.0 - 1.2 * sigcp / fcd);
        const double zaehler = 1.2 + 1.4 * sigcp / fcd;
        const double ctv = StrebenWinkelDE(zaehler, fc3 * zv * bw, VEd);
        double c = cotTheta != 0.0 ? cotTheta : ctv;
        c = std::min(std::max(c, 1.0), ctv);
        torsionDE = TEd > VEd * bw / 4.5 || (VEd != 0.0 && VEd * (1.0 + 4.5 * TEd / (VEd * bw)) > vrdc);
        if (torsionDE) {
            const double vedTV = TEd * zv / (2.0 * Ak) + tef * VEd / bw;
            const double ctt = StrebenWinkelDE(zaehler, fc3 * zv * tef, vedTV);
            if (cotTheta != 0.0)
                c = cotTheta;
            c = std::min(std::max(c, 1.0), ctt);
        }
        // under high longitudinal tension the annex's lower limit 0.58 holds
        cot = std::max(c, 0.58);
    }
    const double tanT = 1.0 / cot;
    const double theta = std::atan(tanT);
    const double sc = std::sin(theta) * std::cos(theta);

    const double nu = de ? std::min(1.1 - fck / 500.0, 1.0) : 0.6 * (1.0 - fck / 250.0);
    const double vrdmax = (de ? nu * 0.75 : nu) * zv * bw * fcd / (cot + tanT);
    const double trdmax = de ? 1.05 * fcd * Ak * tef * sc : 2.0 * nu * fcd * Ak * tef * sc;
    const double trdc = 2.0 * (0.7 * fctm / gc) * Ak * tef;

    int it = 0;
    if (std::fabs(VEd) > std::fabs(vrdc))
        it = 1;
    if (de ? torsionDE : std::fabs(TEd / trdc) + std::fabs(VEd / vrdc) > 1.0)
        it = 2;
    if (std::fabs(VEd) > std::fabs(vrdmax))
        it = 3;
    if (std::fabs(TEd / trdmax) + std::fabs(VEd / vrdmax) > 1.0)
        it = 4;

    double aswV = 0.0, aswT = 0.0, aslT = 0.0;
    if (it != 0) {
        aswV = VEd / (cot * zv * fyd) * 1e4;
        aswT = TEd / (2.0 * cot * fyd * Ak) * 1e4;
        aslT = cot * TEd / (2.0 * fyd * Ak) * uk * 1e4;
    }

    const double rhow = de ? 0.16 * fctm / fyk : 0.08 * std::sqrt(fck) / fyk;
    const double w = MindestBreite(tef, 2.0);
    const double asminS = rhow * w * 1e4;
    const double asminT = rhow * tef * 1e4;
    const double asminTl = std::max(0.26 * fctm / fyk * d * tef, 0.0013 * d * tef) * 1e4;

    double r = static_cast<double>(it);
    if (de)
        r = it != 0 ? (TEd / trdmax) * (TEd / trdmax) + (VEd / vrdmax) * (VEd / vrdmax) : 0.0;

    // the strut's share of shear and of torsion: above 1 in all the strut crushes (cases 3 and 4)
    const double vrdmaxSteg = vrdmax * bwStrebe / bw;
    strutResistance = vrdmaxSteg * 1000.0;
    strutUtilisation = StrebenAnteil(VEd, vrdmaxSteg) + StrebenAnteil(TEd, trdmax);

    erg[kSlotFall] = it + 0.1;
    erg[kSlotCot] = cot;
    erg[kSlotFyd] = fyd;
    erg[kSlotAswV] = aswV;
    erg[kSlotVRdct] = vrdc * 1000.0;
    erg[kSlotVRdc] = vrdc * 1000.0;
    erg[kSlotVRdmax] = vrdmax * 1000.0;
    erg[kSlotTef] = tef;
    erg[kSlotVRdctmin] = vrdcMin * 1000.0;
    erg[kSlotW] = w;
    erg[kSlotK] = k;
    erg[kSlotRhoL] = rhol;
    erg[kSlotCoefficient1] = 1.0;
    erg[kSlotCoefficient2] = 0.0;
    erg[kSlotVEd] = VEd * 1000.0;
    erg[kSlotSigma] = art == Ec2Art::Basis ? -sigcp : sigcp;
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
