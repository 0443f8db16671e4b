// Load images of one analysis: factors of a combination in the load records, member and node loads,
// supports and the equivalent forces of member imperfections.
#include <cmath>

#include "engine/element.h"
#include "engine/lastsatz.h"
#include "engine/rechner.h"
#include "engine/workarrays.h"

int CStuetzenRechner::aktlast(int mode, int lf)
{
    const int punkt = INDEX[5];
    const int linie = INDEX[6];
    for (int r = 0; r < nPunktSaetze; ++r)
        WD(WI(punkt + r * kSatzGroesse + kSatzDouble)) = 0.0;
    for (int r = 0; r < nLastSaetze; ++r)
        WD(WI(linie + r * kSatzGroesse + kSatzDouble)) = 0.0;

    int hits = 0;
    // every record of the current system with load case lc gets the factor
    auto enter = [&](int lc, double factor, bool add) {
        for (int list = 0; list < 2; ++list) {
            const int first = list == 0 ? punkt : linie;
            const int count = list == 0 ? nPunktSaetze : nLastSaetze;
            for (int r = 0; r < count; ++r) {
                const int s = first + r * kSatzGroesse;
                if (WI(s + kSatzSystem) != aktSystem || WI(s + kSatzLastfall) != lc)
                    continue;
                double& slot = WD(WI(s + kSatzDouble));
                slot = add ? slot + factor : factor;
                ++hits;
            }
        }
    };
    if (KriechLast(mode, lf)) {
        // creep: each entry's factor on its own load case
        for (int k = 0; k < nKriech; ++k)
            enter(kriechLf[k], kriechFakt[k], true);
    } else if (mode == 0 || mode == -1 || mode == 2) {
        if (lf >= 0 && lf < kombi.nAusgewaehlt)
            for (int i = kombi.start[lf]; i < kombi.start[lf + 1]; ++i)
                enter(kombi.KolLf[i], static_cast<double>(kombi.KolFakt[i]), false);
    }
    const bool eigengewicht = std::fabs(gammaBeton) >= 0.01 && EigengewichtFaktor(mode, lf) != 0.0;
    return hits - 1 + (eigengewicht ? 1 : 0);
}

double CStuetzenRechner::EigengewichtFaktor(int mode, int lf) const
{
    const int lc = aktSystem >= 0 && aktSystem < kStufen ? eigengewichtLf[aktSystem] : 0;
    if (lc <= 0)
        return 0.0;
    double faktor = 0.0;
    if (KriechLast(mode, lf)) {
        for (int k = 0; k < nKriech; ++k)
            if (kriechLf[k] == lc)
                faktor += kriechFakt[k];
        return faktor;
    }
    if (lf < 0 || lf >= kombi.nAusgewaehlt)
        return 0.0;
    for (int i = kombi.start[lf]; i < kombi.start[lf + 1]; ++i)
        if (kombi.KolLf[i] == lc)
            faktor = static_cast<double>(kombi.KolFakt[i]);
    // the old DIN 1045 raises the own weight by its global safety factor in second order
    return NORM == 0 ? faktor * LastFaktor(0, mode, lf) : faktor;
}

void CStuetzenRechner::StabLasten(int e, double length, int load, int fixed, int q8)
{
    const int linie = INDEX[6];
    for (int r = 0; r < nLastSaetze; ++r) {
        const int s = linie + r * kSatzGroesse;
        if (WI(s + kSatzKnotenOderStab) != e)
            continue;
        const int d = WI(s + kSatzDouble);
        const double factor = WD(d);
        if (factor == 0.0)
            continue;
        const int pair = WI(s + kSatzArt);
        if (pair < 0 || pair > 3)
            continue;
        for (int k = 0; k < 8; ++k)
            WD(q8 + k) = 0.0;
        WD(q8 + 2 * pair) = factor * WD(d + 1);
        WD(q8 + 2 * pair + 1) = factor * WD(d + 2);
        FixedEndForces(q8, e, length, load, fixed);
    }
}

void CStuetzenRechner::KnotenLasten(int load)
{
    const int punkt = INDEX[5];
    for (int r = 0; r < nPunktSaetze; ++r) {
        const int s = punkt + r * kSatzGroesse;
        const int d = WI(s + kSatzDouble);
        const double factor = WD(d);
        const int node = WI(s + kSatzKnotenOderStab);
        if (factor == 0.0 || node < 0 || node >= nKnoten)
            continue;
        for (int j = 0; j < 7; ++j)
            WD(load + 7 * node + j) += factor * WD(d + 1 + j);
    }
}

void CStuetzenRechner::Lager(int springs, int xModel, int nModel, int xFe, int nFe, int flags)
{
    for (int k = 0; k < 7 * nFe; ++k)
        WD(springs + k) = 0.0;
    for (int n = 0; n < nFe; ++n)
        WI(flags + n) = 0;
    for (int m = 0; m < nModel && m <= kMaxFelder; ++m) {
        const int number = lagerAnKnoten[aktSystem][m];
        if (number <= 0 || number > nLager)
            continue;
        double values[7];
        for (int j = 0; j < 7; ++j)
            values[j] = lagerWerte[number - 1][j];
        values[3] = -1.0;  // twist and warping are always held at a support
        values[6] = -1.0;
        for (int n = 0; n < nFe; ++n) {
            if (std::fabs(WD(xFe + n) - WD(xModel + m)) < 0.001) {
                for (int j = 0; j < 7; ++j)
                    WD(springs + 7 * n + j) = values[j];
                WI(flags + n) = 1;
                break;
            }
        }
    }
}

void CStuetzenRechner::ImperfektionsLasten(int e, int load, int endForces, int comb)
{
    ImperfektionsLasten(e, load, endForces, &WD(Slot(70, comb, 4 * nKnoten)));
}

void CStuetzenRechner::ImperfektionsLasten(int e, int load, int endForces, const double* vor)
{
    const double psiy = vor[4 * e + 2];
    const double psiz = vor[4 * e + 3];
    const double N = (WD(endForces) + WD(endForces + 7)) / 2.0;
    if (N > 0.0)
        return;
    const double P = std::fabs(N);
    WD(load + 7 * e + 1) += -P * psiz;
    WD(load + 7 * e + 2) += P * psiy;
    WD(load + 7 * (e + 1) + 1) += P * psiz;
    WD(load + 7 * (e + 1) + 2) += -P * psiy;
}
