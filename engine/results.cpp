#include "engine/results.h"

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
    Clear(Kote, N, My, Mx, Nrd, alfa, minB, minDeck, As);
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
    Clear(Kote, ved, cot, vrdct, vrdmax, asb);
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
