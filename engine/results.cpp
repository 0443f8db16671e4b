#include "engine/results.h"

#include <cmath>

CResultContainer g_ergebnisse;
CombinationResultStore g_combinationResults;

namespace {

// Empties columns and frees their storage.
template <class... Columns>
void Clear(Columns&... columns)
{
    (std::remove_reference_t<Columns>().swap(columns), ...);
}

}  // namespace

void CResultSchnittgroessen::Reset()
{
    System = LK = Typ = 0;
    Clear(Kote, N, Vy, Vx, My, Mx, ErfAs, AsAb, By, Bx, Eta);
}

void CResultBruchschnittgroessen::Reset()
{
    System = LK = Typ = 0;
    Clear(Kote, N, My, Mx, eps1, eps2, epss, alfa);
}

void CResultBrandschnittgroessen::Reset()
{
    System = LK = Typ = OK = 0;
    Clear(Kote, N, My, Mx, Nrd, alfa, minB, minDeck, As, FeldNr, Grund, erfB, erfA, vorhB, vorhA, Grad);
}

void CResultLagerkraefte::Reset()
{
    System = LK = Typ = 0;
    Clear(Kote, Apx, Apy, Apz, Amy, Amx);
}

void CResultVerformung::Reset()
{
    System = LK = Typ = 0;
    for (double& e : Eigen)
        e = 0.0;
    Clear(Kote, u, v, w, phix, phiy, v0, w0);
}

void CResultSchub::Reset()
{
    System = LK = Typ = 0;
    Clear(Kote, ved, cot, vrdct, vrdmax, asb, strebe, QuerNr);
}

void CResultRissnachweis::Reset()
{
    System = LK = Typ = 0;
    Clear(Kote, N, My, Mx, eps1, eps2, epss, sigma, azab, nue);
}

void CResultFundkraefte::Reset()
{
    System = LK = Typ = 0;
    Clear(KNr, Kote, Apx, Apy, Apz, Amy, Amx, dAmy, dAmx);
}

void CResultErfAs::Reset()
{
    Clear(Kote, As, QuerNr, LKNr, NachTyp);
}

std::vector<FireFailure> FireFailures(const CResultBrandschnittgroessen& r)
{
    std::vector<FireFailure> failures;
    if (r.OK)
        return failures;
    for (std::size_t i = 0; i < r.FeldNr.size(); ++i) {
        auto wert = [&](const ResultColumn& c) { return i < c.size() ? c[i] : 0.0; };
        FireFailure f;
        f.LK = r.LK;
        f.System = r.System;
        f.Typ = r.Typ;
        f.field = r.FeldNr[i];
        f.reason = i < r.Grund.size() ? r.Grund[i] : 0;
        f.bRequired = wert(r.erfB);
        f.aRequired = wert(r.erfA);
        f.bPresent = wert(r.vorhB);
        f.aPresent = wert(r.vorhA);
        f.ratio = wert(r.Grad);
        failures.push_back(f);
    }
    return failures;
}

std::vector<FireFailure> FireFailures(const CResultContainer& ergebnisse)
{
    std::vector<FireFailure> failures;
    for (const auto& r : ergebnisse.Brandschnittgroessen) {
        const std::vector<FireFailure> eigene = FireFailures(*r);
        failures.insert(failures.end(), eigene.begin(), eigene.end());
    }
    return failures;
}

std::vector<StrutFailure> StrutFailures(const CResultContainer& ergebnisse)
{
    std::vector<StrutFailure> failures;
    for (const auto& r : ergebnisse.Schub) {
        const std::size_t erste = failures.size();
        for (std::size_t i = 0; i < r->Kote.size(); ++i) {
            if (!r->StrutFails(i))
                continue;
            auto wert = [&](const ResultColumn& c) { return i < c.size() ? c[i] : 0.0; };
            StrutFailure f;
            f.field = i < r->QuerNr.size() ? r->QuerNr[i] : 0;
            f.kote = r->Kote[i];
            f.LK = r->LK;
            f.System = r->System;
            f.Typ = r->Typ;
            f.ved = wert(r->ved);
            f.vrdmax = wert(r->vrdmax);
            f.utilisation = wert(r->strebe);
            // rows of a record run down the column: a shared height is the row before
            StrutFailure* vorher = failures.size() > erste ? &failures.back() : nullptr;
            if (vorher && vorher->field == f.field && std::fabs(vorher->kote - f.kote) < kKoteGleich) {
                if (f.utilisation > vorher->utilisation)
                    *vorher = f;
                continue;
            }
            failures.push_back(f);
        }
    }
    return failures;
}
