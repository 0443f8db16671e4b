// The frame analysis of one combination: assembly, supports, solution, end forces, the equilibrium and
// stiffness iterations of creep and second order, and the buckling eigenvalues.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/bem.h"
#include "engine/element.h"
#include "engine/felinalg.h"
#include "engine/material.h"
#include "engine/nachweis.h"
#include "engine/nachweis_seam.h"
#include "engine/protocol.h"
#include "engine/quer.h"
#include "engine/rechner.h"
#include "engine/results.h"
#include "engine/schub.h"
#include "engine/workarrays.h"
#include "engine/zeichnen.h"

using namespace engine;

namespace {

// the engine's own verification, unless a test installs another
NachweisFunktionen g_nachweis{StbNachweis_1, SchubNachweis};

constexpr int kMindestUpdates = 10;            // stiffness updates before a run may end
constexpr double kKraftToleranz = 0.1;         // percent change of an end force
constexpr double kSteifToleranz = 0.1 * 0.01;  // percent change of a bending stiffness
constexpr int kEigenVektoren = 4;
constexpr int kEigenWerte = 2;
constexpr double kNeustartErhoehung = 1.1;  // steel raise when no equilibrium exists with the steel present

}  // namespace

// A chain of two-node members with 7 degrees of freedom per node: the first node's columns reach 0..6 rows above
// the diagonal, every later node's 7..13 (back to the first equation of the node below).
void RahmenArbeitsbedarf(int K, int E, int F, long long& doubles, long long& ints)
{
    const long long nn = 7LL * K;
    const long long nwk = K < 1 ? 0 : 28 + 77LL * (K - 1);
    ints = 2LL * E + kElementDofs + nn + (nn + 1) + K;
    doubles = (F + 1) + K + kElementInputSize + 4LL * 196 + 105 + 5LL * nn + 28LL * E + 14 + 14 + 8 + 14 + 3 * nwk +
              EigenWorkSize(static_cast<int>(nn), kEigenVektoren);
}

namespace {

// Work areas of one run inside the work arrays, laid out after the partition.
struct Bereiche {
    // ints
    int conn = 0, lm = 0, mht = 0, maxa = 0, flags = 0;
    // doubles
    int xModel = 0, xFe = 0, input = 0, T = 0, ke = 0, kg = 0, tmp = 0, packed = 0;
    int springs = 0, load = 0, F = 0, disp = 0, reactions = 0, endF = 0, fixedF = 0;
    int elLoad = 0, elDisp = 0, q8 = 0, f14 = 0, K = 0, K0 = 0, KG = 0, eig = 0;
    int nwk = 0;
};

// c = a^T b for 14 x 14 matrices (column-major); c must differ from a and b.
void MalTransponiert(int a, int b, int c)
{
    for (int j = 1; j <= kElementDofs; ++j)
        for (int i = 1; i <= kElementDofs; ++i) {
            double s = 0.0;
            for (int k = 1; k <= kElementDofs; ++k)
                s += WD2(a, kElementDofs, k, i) * WD2(b, kElementDofs, k, j);
            WD2(c, kElementDofs, i, j) = s;
        }
}

// c = a b for 14 x 14 matrices; c must differ from a and b.
void Mal(int a, int b, int c)
{
    for (int j = 1; j <= kElementDofs; ++j)
        for (int i = 1; i <= kElementDofs; ++i) {
            double s = 0.0;
            for (int k = 1; k <= kElementDofs; ++k)
                s += WD2(a, kElementDofs, i, k) * WD2(b, kElementDofs, k, j);
            WD2(c, kElementDofs, i, j) = s;
        }
}

// y = op(a) x for a 14 x 14 matrix a and 14-vectors; y must differ from x.
void MalVektor(int a, int x, int y, bool transponiert)
{
    for (int i = 1; i <= kElementDofs; ++i) {
        double s = 0.0;
        for (int k = 1; k <= kElementDofs; ++k)
            s += (transponiert ? WD2(a, kElementDofs, k, i) : WD2(a, kElementDofs, i, k)) * WD(x + k - 1);
        WD(y + i - 1) = s;
    }
}

}  // namespace

NachweisFunktionen SetzeNachweisFunktionen(NachweisFunktionen funktionen)
{
    const NachweisFunktionen alt = g_nachweis;
    g_nachweis = funktionen;
    return alt;
}

const NachweisFunktionen& HoleNachweisFunktionen()
{
    return g_nachweis;
}

namespace {

// The stiffness iteration's reason to raise the steel and start again.
enum class Grund { Instabil, OhneZustand, NichtTragfaehig, Knickt };

// How a step of the iteration leaves it: on within the pass, a new pass, or the end of the run.
enum class Weiter { ImPass, NeuerPass, Ende };

// What a raise of the steel did: raised it (the run starts again), found every section it would raise at the
// code's largest ratio, or found no steel to raise.
enum class Erhoehung { Neu, AmGrenzwert, Keine };

// One analysis of one combination: its work areas, the state of its equilibrium and stiffness
// iterations, and its result code.
class Analyse {
public:
    Analyse(CStuetzenRechner& r, int mode, int lf, int base)
        : r(r),
          qf(r.querFelder),
          mode(mode),
          lf(lf),
          base(base),
          comb(lf + base),
          K(r.nKnoten),
          E(r.nStaebe),
          nn(7 * r.nKnoten),
          nSections(2 * r.nStaebe)
    {
        CStuetzenRechner::SetzeGamma(g1, g2, g3, g4);
        faktoren[0] = g1;
        faktoren[1] = g2;
        faktoren[2] = g3;
        faktoren[3] = g4;
        // the own weight takes the factor of its own load case
        fg = r.EigengewichtFaktor(mode, lf);
    }

    bool LegeBereicheAn();
    void ZeigeFortschritt(CDC* dc);
    void SetzeStartwerte();
    void Iteriere();
    void RechneEigenwerte();
    void SpeichereErgebnisse();

    const char* Zeile() const { return zeile; }
    bool Eigen() const { return eigen; }
    int code = 0;
    bool elementFehler = false;

private:
    void SetzeModuln(int materialMode);
    double ElementEingabe(int e);
    int Nachweis(int nachweisMode, double gamma);
    void SetzeStartSteifigkeiten();
    Erhoehung ErhoeheUndNeu(Grund grund, int update);
    Weiter Pass();
    bool BaueSystem();
    void BaueElement(int e, bool exz);
    void ElementLasten(int e, double L, bool exz);
    Weiter LoeseSystem();
    bool RechneEndkraefte();
    Weiter AktualisiereSteifigkeiten();
    void BeginneSteifigkeitsUpdate();
    void DaempfeSteifigkeiten();
    void FalleSchneller(double B, double alt, double zustand, double& fall) const;
    int UnruhigerQuerschnitt(bool rundung) const;
    void MerkeUnruhe(int element, bool steifigkeit);
    Weiter PruefeEndzustand();
    int KnickGleichung();
    Weiter Knickt(int gleichung);
    Weiter GrenzwertErreicht();
    void KeepSections(int nachweisMode);
    void KeepShear();

    CStuetzenRechner& r;
    QuerschnittsFelder& qf;
    const int mode, lf, base, comb;
    const int K, E, nn, nSections;
    double g1 = 1.0, g2 = 1.0, g3 = 1.0, g4 = 1.0;
    double faktoren[4] = {};
    double fg = 0.0;
    Bereiche b;
    char zeile[256] = {};

    // whether a section has had a strain state in each bending plane during this run
    std::vector<char> zustandY, zustandZ;
    std::vector<double> startBy, startBz;
    // each plane's change at the previous update
    std::vector<double> schrittY, schrittZ;
    // each plane's fall limit at the next update, and the stiffness of its last strain state
    std::vector<double> fallY, fallZ, zustandBy, zustandBz;
    int passZaehler = 0;
    int steifZaehler = 0;
    int unruhigesElement = -1;  // the first element whose end forces changed in the last pass
    int neustarts = 0;
    // without a verification the run cannot design: it ends as a design error
    bool keinNachweis = false;
    bool eigen = false;
    // the ultimate check of a converged second-order run, made before the run ends
    bool endGeprueft = false;
    int endPruefung = 0;
    // the section results this analysis files for its slot; the strain state of the stiffness iteration is
    // kept apart until the ultimate check of the same end forces takes it
    CombinationResults kept;
    std::vector<SectionResults> strainState;
    bool strainCurrent = false;
};

// Work areas, coordinates and skyline; false when the work arrays are too small.
bool Analyse::LegeBereicheAn()
{
    const int* INDEX = r.INDEX;
    const long long intsNeeded = 2LL * E + kElementDofs + nn + (nn + 1) + K;
    if (K < 2 || !WorkIFits(INDEX[0], intsNeeded))
        return false;
    b.conn = INDEX[0];
    b.lm = b.conn + 2 * E;
    b.mht = b.lm + kElementDofs;
    b.maxa = b.mht + nn;
    b.flags = b.maxa + nn + 1;
    FillI(b.mht, 1, nn, 0);
    for (int e = 0; e < E; ++e) {
        WI(b.conn + 2 * e) = e;
        WI(b.conn + 2 * e + 1) = e + 1;
        LocationVector(b.lm, b.conn + 2 * e);
        ColumnHeights(b.mht, kElementDofs, b.lm);
    }
    int mk = 0;
    b.nwk = ColumnAddresses(b.maxa, b.mht, nn, mk);
    g_protokoll.Printf(" nband = %d halbe Bandbreite = %d\n", b.nwk, mk);

    const long long fixedDoubles =
        (r.nFelder + 1) + K + kElementInputSize + 4LL * 196 + 105 + 5LL * nn + 28LL * E + 14 + 14 + 8 + 14;
    const long long doublesNeeded = fixedDoubles + 3LL * b.nwk + EigenWorkSize(nn, kEigenVektoren);
    if (!WorkDFits(INDEX[1], doublesNeeded))
        return false;
    int d = INDEX[1];
    auto nimm = [&d](int n) {
        const int start = d;
        d += n;
        return start;
    };
    b.xModel = nimm(r.nFelder + 1);
    b.xFe = nimm(K);
    b.input = nimm(kElementInputSize);
    b.T = nimm(196);
    b.ke = nimm(196);
    b.kg = nimm(196);
    b.tmp = nimm(196);
    b.packed = nimm(105);
    b.springs = nimm(nn);
    b.load = nimm(nn);
    b.F = nimm(nn);
    b.disp = nimm(nn);
    b.reactions = nimm(nn);
    b.endF = nimm(14 * E);
    b.fixedF = nimm(14 * E);
    b.elLoad = nimm(14);
    b.elDisp = nimm(14);
    b.q8 = nimm(8);
    b.f14 = nimm(14);
    b.K = nimm(b.nwk);
    b.K0 = nimm(b.nwk);
    b.KG = nimm(b.nwk);
    b.eig = nimm(EigenWorkSize(nn, kEigenVektoren));
    return true;
}

void Analyse::ZeigeFortschritt(CDC* dc)
{
    switch (mode) {
    case -1:
        if (lf == kKriechLast)
            std::snprintf(zeile, sizeof zeile, "Eigen-Kriechen");
        else
            std::snprintf(zeile, sizeof zeile, "Eigen-LK %d", lf + 1);
        break;
    case 1: std::snprintf(zeile, sizeof zeile, "Kriechen"); break;
    case 2: std::snprintf(zeile, sizeof zeile, "Knick-LK %d", lf + 1); break;
    default: std::snprintf(zeile, sizeof zeile, r.rissSchalter == 1 ? "Riss-LK %d" : "Regel-LK %d", lf + 1); break;
    }
    if (dc) {
        std::string titel, formel;
        if (r.KombiTexte(lf, titel, formel)) {
            const std::string mit = std::string(zeile) + " : " + titel + " " + formel;
            std::snprintf(zeile, sizeof zeile, "%s", mit.c_str());
        }
        ZeichneText(dc, r.fortschrittX, r.fortschrittY, zeile, 12, 0.0f, 0, 0x0000FF);
    }
    g_protokoll.Printf("\n===== RechneDltr3D: %s (modus = %d, lf = %d, base = %d)\n", zeile, mode, lf, base);
}

// Coordinates, the moduli of the code and the gross stiffnesses the iterations start from.
void Analyse::SetzeStartwerte()
{
    for (int f = 0; f <= r.nFelder; ++f)
        WD(b.xModel + f) = r.koor[f];
    for (int k = 0; k < K; ++k)
        WD(b.xFe + k) = r.x[k];
    SetzeModuln(2);
    zustandY.assign(nSections, 0);
    zustandZ.assign(nSections, 0);
    startBy.assign(nSections, 0.0);
    startBz.assign(nSections, 0.0);
    schrittY.assign(nSections, 0.0);
    schrittZ.assign(nSections, 0.0);
    fallY.assign(nSections, kSteifFall);
    fallZ.assign(nSections, kSteifFall);
    zustandBy.assign(nSections, 0.0);
    zustandBz.assign(nSections, 0.0);
    SetzeStartSteifigkeiten();
    // end forces of the previous pass
    FillD(b.endF, 1, 14 * E, 0.0);
}

// The stiffnesses the iterations start from: the gross concrete's E I, and in the second-order run the steel's
// besides. There the start must lie above the stiffness of every strain state of the steel present, and the
// concrete's E I alone does not: a column that buckles with it can stand with its bars. So the concrete counts
// with the larger of its E and the initial slope of its law, the bars with their elastic slope, both about the
// concrete's centroid; no fibre is stiffer in any strain state.
void Analyse::SetzeStartSteifigkeiten()
{
    for (int iq = 0; iq < nSections; ++iq) {
        double By = qf.E[iq] * qf.Iy[iq], Bz = qf.E[iq] * qf.Iz[iq];
        if (mode == 2) {
            const cQuer& q = g_quer[iq];
            const Anfangssteigungen s =
                AnfangsSteigungen(NORM, q.m_betonGuete, q.m_stahlGuete, r.materialWahl[0], r.aussergewoehnlich);
            const double Ec = std::max(qf.E[iq], s.beton);
            double stahlIy = 0.0, stahlIz = 0.0;
            q.m_bem.BewehrungsTraegheit(stahlIy, stahlIz);
            By = Ec * qf.Iy[iq] + s.stahl * stahlIy;
            Bz = Ec * qf.Iz[iq] + s.stahl * stahlIz;
        }
        qf.By[iq] = qf.ByAlt[iq] = startBy[iq] = By / 1000.0;
        qf.Bz[iq] = qf.BzAlt[iq] = startBz[iq] = Bz / 1000.0;
    }
}

// Moduli of the sections from the material values of the code.
void Analyse::SetzeModuln(int materialMode)
{
    for (int iq = 0; iq < nSections; ++iq) {
        double fck = 0, fcd = 0, eps1 = 0, eps2 = 0, Ecm = 0, form = 0;
        HoleBetonRechenwerte(NORM, 0, 1, materialMode, g_quer[iq].m_betonGuete, fck, fcd, eps1, eps2, Ecm, form, 1.0,
                             r.aussergewoehnlich);
        qf.E[iq] = Ecm * 1000.0;
    }
}

// The element input of element e for the pass in hand; returns its length.
double Analyse::ElementEingabe(int e)
{
    const int s0 = 2 * e, s1 = 2 * e + 1;
    FillD(b.input, 1, kElementInputSize, 0.0);
    const double L = r.x[e + 1] - r.x[e];
    double Em = (qf.E[s0] + qf.E[s1]) / 2.0;
    // creep: the effective modulus of the long-term load
    if (mode == 1 || mode == -1)
        Em /= (1.0 + r.kriechZahl);
    WD(b.input + kElL) = L;
    WD(b.input + kElE) = Em;
    WD(b.input + kElG) = 100.0 * Em;
    WD(b.input + kElA) = (qf.A[s0] + qf.A[s1]) / 2.0;
    WD(b.input + kElIt) = (qf.It[s0] + qf.It[s1]) / 2.0;
    // the second-order run from its start stiffnesses, the creep run from its first update
    if ((mode == 2 || (mode == 1 && steifZaehler >= 1)) && Em > 0.0) {
        const double Eroh = (qf.E[s0] + qf.E[s1]) / 2.0;
        WD(b.input + kElIy) = (qf.By[s0] + qf.By[s1]) * 500.0 / Eroh;
        WD(b.input + kElIz) = (qf.Bz[s0] + qf.Bz[s1]) * 500.0 / Eroh;
    } else {
        WD(b.input + kElIy) = (qf.Iy[s0] + qf.Iy[s1]) / 2.0;
        WD(b.input + kElIz) = (qf.Iz[s0] + qf.Iz[s1]) / 2.0;
    }
    return L;
}

int Analyse::Nachweis(int nachweisMode, double gamma)
{
    const StbNachweisFunktion f = g_nachweis.stbNachweis;
    if (!f) {
        keinNachweis = true;
        return 0;
    }
    NachweisAufruf a;
    a.code = NORM;
    a.nel = E;
    a.forces = &WD(b.endF);
    a.mode = nachweisMode;
    a.gamma = gamma;
    a.ByAlt = qf.ByAlt;
    a.By = qf.By;
    a.BzAlt = qf.BzAlt;
    a.Bz = qf.Bz;
    a.fallY = fallY.data();
    a.fallZ = fallZ.data();
    a.zustandY = zustandBy.data();
    a.zustandZ = zustandBz.data();
    a.stride = 7;
    a.faktoren = faktoren;
    a.knotenX = &WD(b.xFe);
    a.analyseModus = mode;
    std::copy(std::begin(r.materialWahl), std::end(r.materialWahl), a.material);
    a.brandSchalter = r.brandSchalter;
    std::copy(std::begin(r.brandParameter), std::end(r.brandParameter), a.brand);
    const int rc = f(a);
    KeepSections(nachweisMode);
    return rc;
}

void Analyse::KeepSections(int nachweisMode)
{
    const int n = std::min(nSections, kMaxQuerschnitte);
    if (mode == 0 && nachweisMode == kBemStrainState) {
        // the crack check of a serviceability combination
        kept.sections.resize(std::size_t(n));
        for (int iq = 0; iq < n; ++iq)
            kept.sections[std::size_t(iq)].crack = g_quer[iq].m_bem.CrackState();
    } else if ((mode == 1 || mode == 2) && nachweisMode == kBemStrainState) {
        // the stiffnesses as the strain state left them, before any damping
        strainState.assign(std::size_t(n), SectionResults{});
        for (int iq = 0; iq < n; ++iq) {
            SectionResults& sr = strainState[std::size_t(iq)];
            sr.strain = g_quer[iq].m_bem.StateOf(kBemStrainState);
            sr.By = qf.By[iq];
            sr.Bz = qf.Bz[iq];
        }
        strainCurrent = true;
    } else if ((mode == 1 || mode == 2) && nachweisMode == kBemUltimate) {
        // the ultimate check ends a converged analysis: its strain state is the last one evaluated
        kept.sections = strainCurrent ? strainState : std::vector<SectionResults>(std::size_t(n));
        for (int iq = 0; iq < n; ++iq)
            kept.sections[std::size_t(iq)].ultimate = g_quer[iq].m_bem.StateOf(kBemUltimate);
    }
}

void Analyse::KeepShear()
{
    const int n = std::min(nSections, kMaxQuerschnitte);
    kept.sections.resize(std::size_t(n));
    for (int iq = 0; iq < n; ++iq)
        kept.sections[std::size_t(iq)].shear = g_schub[iq].ShearRecord(NORM);
}

// The stiffness iteration for the steel present starts above the stiffnesses of any equilibrium (the start
// stiffnesses): a section's secant stiffness falls as its moment grows, and the moments grow as the
// stiffnesses fall, so every update stays at or above the equilibrium's stiffnesses and every pass's
// moments at or below its moments. A section without a strain state under them, or a frame that the start or
// an update leaves unstable (a non-positive pivot), therefore proves that no equilibrium exists with that
// steel. The steel then rises by a tenth, as the design raises it (in the failing sections' fields, or
// everywhere for an unstable frame), and the iteration starts again from the start stiffnesses of the new
// steel. Sized in the iteration itself to a pass's moments, the steel would follow moments that an iteration
// far from its equilibrium overshoots. The same holds for a converged column whose final ultimate check finds
// a section unsafe: its steel carries the equilibrium's forces only with the stiffness law's strength, not
// with the ultimate law's.
// No section is raised beyond the code's largest ratio: one the raise would take beyond it gets that ratio, and
// one that has it stays while the others rise (the steel of one field may be what the column lacks, whichever
// field reached the limit first). Only where every section to raise has that ratio is the limit what stops the
// column.
Erhoehung Analyse::ErhoeheUndNeu(Grund grund, int update)
{
    const bool nurVersagte = grund == Grund::OhneZustand || grund == Grund::NichtTragfaehig;
    const int felder = std::max(r.nFelder, 1);
    auto feldVon = [&](int iq) { return std::clamp(r.stabFeld[iq / 2], 0, felder - 1); };
    std::vector<char> feld(felder, nurVersagte ? 0 : 1);
    if (nurVersagte)
        for (int iq = 0; iq < nSections; ++iq)
            if (g_quer[iq].m_bem.m_code != 0)
                feld[feldVon(iq)] = 1;
    const double grad = GroessterBewehrungsgrad(NORM);
    double vorher = 0.0, nachher = 0.0;
    bool amGrenzwert = false, begrenzt = false;
    for (int iq = 0; iq < nSections; ++iq) {
        if (!feld[feldVon(iq)])
            continue;
        cBem& bem = g_quer[iq].m_bem;
        const double as = bem.HoleAS();
        const double beton = g_quer[iq].BetonFlaeche();
        double fakt = kNeustartErhoehung;
        if (beton > 0.0 && as > 0.0)
            fakt = std::min(fakt, grad * 0.01 * beton / as);
        begrenzt = begrenzt || fakt < kNeustartErhoehung;
        vorher += as;
        // a section at the limit within rounding keeps its steel
        if (fakt > 1.0 + 1e-9)
            bem.AsErhoeheung(fakt);
        else if (as > 0.0)
            amGrenzwert = true;
        nachher += bem.HoleAS();
    }
    if (!(nachher > vorher))
        return amGrenzwert ? Erhoehung::AmGrenzwert : Erhoehung::Keine;
    if (++neustarts > kMaxIterationen)
        return Erhoehung::Keine;
    const char* text = grund == Grund::Instabil      ? "System instabil"
                       : grund == Grund::OhneZustand ? "Kein Dehnungszustand"
                       : grund == Grund::Knickt      ? "Knickt mit den Steifigkeiten unter der Normalkraft"
                                                     : "Tragsicherheit unter 1";
    g_protokoll.Printf(" %s nach Steifigkeitsiteration %d: Bewehrung mal %.2f%s, neuer Start\n", text, update,
                       kNeustartErhoehung, begrenzt ? " bis zum groessten Bewehrungsgrad" : "");
    SetzeStartSteifigkeiten();
    std::fill(zustandY.begin(), zustandY.end(), 0);
    std::fill(zustandZ.begin(), zustandZ.end(), 0);
    std::fill(schrittY.begin(), schrittY.end(), 0.0);
    std::fill(schrittZ.begin(), schrittZ.end(), 0.0);
    std::fill(fallY.begin(), fallY.end(), kSteifFall);
    std::fill(fallZ.begin(), fallZ.end(), kSteifFall);
    steifZaehler = 0;
    passZaehler = 0;
    return Erhoehung::Neu;
}

void Analyse::Iteriere()
{
    while (Pass() != Weiter::Ende) {}
}

// One equilibrium pass: assembly, supports, solution, end forces, and the verification the mode asks for.
Weiter Analyse::Pass()
{
    ++passZaehler;
    // moduli again for the iterating modes
    if (mode == 2 && steifZaehler == 0)
        SetzeModuln(2);
    else if ((mode == 1 || mode == 2) && steifZaehler >= 1)
        SetzeModuln(mode);
    FillD(b.load, 1, nn, 0.0);
    FillD(b.fixedF, 1, 14 * E, 0.0);
    FillD(b.K, 1, 3 * b.nwk, 0.0);
    FillD(b.disp, 1, nn, 0.0);
    if (!BaueSystem()) {
        code = 1;
        return Weiter::Ende;
    }
    // supports
    r.Lager(b.springs, b.xModel, r.nFelder + 1, b.xFe, K, b.flags);
    h0811(b.K, b.K0, b.nwk);
    SetzeLager(b.K, b.springs, b.maxa, nn);
    // the eigen problem needs the axial forces of the first pass only
    if (mode == -1 && passZaehler >= 2) {
        eigen = true;
        return Weiter::Ende;
    }
    const Weiter geloest = LoeseSystem();
    if (geloest != Weiter::ImPass)
        return geloest;
    const bool konvergiert = RechneEndkraefte();
    if (mode == -1) {
        // the creep load's first-order deformation tells its imperfection which way to lean
        if (lf == kKriechLast)
            r.kriechVerformung.assign(&WD(b.disp), &WD(b.disp) + nn);
        return Weiter::NeuerPass;
    }
    if (mode == 0) {
        code = Nachweis(r.rissSchalter == 1 ? 2 : 4, g1);
        return Weiter::Ende;
    }
    if (!konvergiert) {
        if (passZaehler >= kMaxIterationen) {
            MerkeUnruhe(unruhigesElement, false);
            code = 99;
            return Weiter::Ende;
        }
        return Weiter::NeuerPass;
    }
    return AktualisiereSteifigkeiten();
}

// Element matrices and loads into the system; false when an element matrix is refused.
bool Analyse::BaueSystem()
{
    for (int e = 0; e < E; ++e) {
        const double L = ElementEingabe(e);
        const int endF = b.endF + 14 * e;
        const int rc = mode == -1 ? ElementMatrices(b.input, b.ke, b.kg, endF, -1, 0)
                                  : ElementMatrices(b.input, b.ke, b.kg, endF, 0, 1);
        if (rc != 0)
            elementFehler = true;
        if (rc > 0)
            return false;
        // a field's offset is a rigid link at the node where the field begins, not at both ends
        const bool exz = ExzaMat(b.T, 7, 0.0, r.stabEy[e], r.stabEz[e], 0.0, 0.0, 0.0) == 1;
        BaueElement(e, exz);
        ElementLasten(e, L, exz);
        if (mode == 2)
            r.ImperfektionsLasten(e, b.load, endF, comb);
        else if (mode == 1 && r.kriechVorverformung.size() >= std::size_t(4 * K))
            r.ImperfektionsLasten(e, b.load, endF, r.kriechVorverformung.data());
    }
    return true;
}

// The element's stiffness (and, for the eigen problem, geometric stiffness) into the skyline.
void Analyse::BaueElement(int e, bool exz)
{
    if (exz) {
        Mal(b.ke, b.T, b.tmp);
        MalTransponiert(b.T, b.tmp, b.ke);
    }
    LocationVector(b.lm, b.conn + 2 * e);
    PackUpper(b.ke, b.packed, kElementDofs);
    AssembleSkyline(b.K, b.maxa, b.packed, b.lm, kElementDofs);
    if (mode == -1 && passZaehler >= 2) {
        if (exz) {
            Mal(b.kg, b.T, b.tmp);
            MalTransponiert(b.T, b.tmp, b.kg);
        }
        PackUpper(b.kg, b.packed, kElementDofs);
        AssembleSkyline(b.KG, b.maxa, b.packed, b.lm, kElementDofs);
    }
}

// Self weight, then the member loads of the combination, into the load vector.
void Analyse::ElementLasten(int e, double L, bool exz)
{
    FillD(b.elLoad, 1, kElementDofs, 0.0);
    FillD(b.q8, 1, 8, 0.0);
    const double w = WD(b.input + kElA) * r.gammaBeton;
    if (r.eigengewichtQuer == 1) {
        WD(b.q8 + 4) = w;
        WD(b.q8 + 5) = w;
    } else {
        WD(b.q8 + 0) = -w;
        WD(b.q8 + 1) = -w;
    }
    for (int k = 0; k < 8; ++k)
        WD(b.q8 + k) *= fg;
    FixedEndForces(b.q8, e, L, b.elLoad, b.fixedF + 14 * e);
    r.StabLasten(e, L, b.elLoad, b.fixedF + 14 * e, b.q8);
    if (exz) {
        MalVektor(b.T, b.elLoad, b.f14, true);
        h0811(b.f14, b.elLoad, kElementDofs);
    }
    for (int k = 0; k < kElementDofs; ++k)
        WD(b.load + 7 * e + k) += WD(b.elLoad + k);
}

// Node loads and the solution; an unstable frame after a stiffness update raises the steel and starts again.
Weiter Analyse::LoeseSystem()
{
    r.KnotenLasten(b.load);
    double sx = 0.0, sy = 0.0, sz = 0.0;
    for (int k = 0; k < K; ++k) {
        sx += WD(b.load + 7 * k);
        sy += WD(b.load + 7 * k + 1);
        sz += WD(b.load + 7 * k + 2);
    }
    g_protokoll.Printf(" Lastsummen: Px = %.3f Py = %.3f Pz = %.3f\n", sx, sy, sz);
    h0811(b.load, b.F, nn);
    h0811(b.load, b.disp, nn);
    const int gleichung = h3660(b.K, b.maxa, b.disp, nn, 1);
    if (gleichung == 0)
        return Weiter::ImPass;
    if (mode == 2 || (mode == 1 && steifZaehler >= 1)) {
        const Erhoehung e = ErhoeheUndNeu(Grund::Instabil, steifZaehler);
        if (e == Erhoehung::Neu)
            return Weiter::NeuerPass;
        if (e == Erhoehung::AmGrenzwert)
            return GrenzwertErreicht();
    }
    // the first order of the same frame was solved: under second order it buckles
    if (mode == 2)
        return Knickt(gleichung);
    code = 2;
    return Weiter::Ende;
}

// The run ends because the steel that the column lacks would exceed the code's largest ratio.
Weiter Analyse::GrenzwertErreicht()
{
    g_protokoll.Printf(" Groesster Bewehrungsgrad erreicht: keine Bewehrung mehr zu erhoehen\n");
    code = kNachweisBewehrungsgrad;
    return Weiter::Ende;
}

// End forces of every element; true when none changed by more than the tolerance (iterating modes).
bool Analyse::RechneEndkraefte()
{
    strainCurrent = false;  // new end forces
    bool konvergiert = true;
    unruhigesElement = -1;
    for (int e = 0; e < E; ++e) {
        ElementEingabe(e);
        const int endF = b.endF + 14 * e;
        ElementMatrices(b.input, b.ke, b.kg, endF, 0, 1);
        for (int k = 0; k < kElementDofs; ++k)
            WD(b.elDisp + k) = WD(b.disp + 7 * e + k);
        if (ExzaMat(b.T, 7, 0.0, r.stabEy[e], r.stabEz[e], 0.0, 0.0, 0.0) == 1) {
            MalVektor(b.T, b.elDisp, b.f14, false);
            h0811(b.f14, b.elDisp, kElementDofs);
        }
        MalVektor(b.ke, b.elDisp, b.f14, false);
        for (int k = 0; k < kElementDofs; ++k) {
            double f = WD(b.f14 + k) - WD(b.fixedF + 14 * e + k);
            if (k < 7)
                f = -f;
            if (mode == 1 || mode == 2) {
                const double alt = WD(endF + k);
                const double aenderung = std::fabs(f) >= 1e-10 ? std::fabs((alt - f) * 100.0 / f) : 0.0;
                if (aenderung > kKraftToleranz && konvergiert) {
                    konvergiert = false;
                    unruhigesElement = e;
                }
            }
            WD(endF + k) = f;
        }
    }
    return konvergiert;
}

// The stiffness update after a converged equilibrium, and whether the iteration goes on.
Weiter Analyse::AktualisiereSteifigkeiten()
{
    BeginneSteifigkeitsUpdate();
    int rn = Nachweis(2, mode == 1 ? g3 : g2);
    if (rn == kNachweisOhneZustand) {
        const Erhoehung e = ErhoeheUndNeu(Grund::OhneZustand, steifZaehler + 1);
        if (e == Erhoehung::Neu)
            return Weiter::NeuerPass;
        if (e == Erhoehung::AmGrenzwert)
            return GrenzwertErreicht();
        rn = 0;  // nothing to raise: the sections without a state keep their stiffnesses
    }
    DaempfeSteifigkeiten();
    r.AsAusRegelbemessung(1);
    if (rn == 2 || keinNachweis) {
        code = 3;
        return Weiter::Ende;
    }
    if (rn == 4) {
        code = 4;
        return Weiter::Ende;
    }
    const bool gesetzt = UnruhigerQuerschnitt(false) < 0;
    g_protokoll.Printf(" Steifigkeitsiteration %d nach %d Gleichgewichtsschritten: %s\n", steifZaehler + 1, passZaehler,
                       gesetzt ? "konvergiert" : "nicht konvergiert");
    if (!gesetzt) {
        passZaehler = 0;
        ++steifZaehler;
        if (steifZaehler >= kMaxIterationen) {
            // What still changes after so many updates may be rounding alone: the stiffness of a lightly
            // loaded plane, whose strain state meets its small moment only to the section's resolution.
            const int unruhig = UnruhigerQuerschnitt(true);
            if (unruhig < 0) {
                g_protokoll.Printf(" Steifigkeiten bis auf Rundung konvergiert\n");
                return PruefeEndzustand();
            }
            MerkeUnruhe(unruhig / 2, true);
            code = 99;
            return Weiter::Ende;
        }
        return Weiter::NeuerPass;
    }
    if (steifZaehler < kMindestUpdates) {
        ++steifZaehler;
        passZaehler = 0;
        return Weiter::NeuerPass;
    }
    return PruefeEndzustand();
}

void Analyse::BeginneSteifigkeitsUpdate()
{
    for (int iq = 0; iq < nSections; ++iq) {
        qf.ByAlt[iq] = qf.By[iq];
        qf.BzAlt[iq] = qf.Bz[iq];
    }
    // The start values are bounds above the section's law, no state of it: a plane's first
    // strain state replaces its start value whole, whenever it comes (the negative previous value tells
    // the update so); the 0.3 percent limit damps only the updates after it.
    for (int iq = 0; iq < nSections; ++iq) {
        if (!zustandY[iq])
            qf.ByAlt[iq] = -startBy[iq];
        if (!zustandZ[iq])
            qf.BzAlt[iq] = -startBz[iq];
    }
}

// The fall limit damps a stiffness on its way down to its strain state, but must not itself keep the
// iteration from settling. A plane whose first state came while its moment was still small (the moments of
// a column with a head spring move as its sections crack) can stand near its gross stiffness with its state
// at a third of that, which 0.3 percent per update reach only after some 370 updates. A plane the limit
// holds so far above its state that the updates left would not bring it there falls twice as far at each
// update after (0.6, 1.2, 2.4 ... percent), never below its state.
void Analyse::FalleSchneller(double B, double alt, double zustand, double& fall) const
{
    const bool gehalten = zustand > 0.0 && zustand < B && B == fall * alt;
    const int uebrig = kMaxIterationen - steifZaehler - kMindestUpdates;
    const bool zuWeit = gehalten && std::log(zustand / B) / std::log(kSteifFall) > uebrig;
    fall = gehalten && (fall < kSteifFall || zuWeit) ? fall * fall : kSteifFall;
}

// Near the column's limit a plane's stiffness can swing about its state, each change turning back the
// previous one and the swing growing: there the mean of the two values damps it. The settled stiffness
// is the same, since it changes no more.
void Analyse::DaempfeSteifigkeiten()
{
    auto daempfe = [](double& B, double alt, double& schritt) {
        if ((B - alt) * schritt < 0.0)
            B = 0.5 * (B + alt);
        schritt = B - alt;
    };
    for (int iq = 0; iq < nSections; ++iq) {
        if (!zustandY[iq]) {
            qf.ByAlt[iq] = startBy[iq];
            zustandY[iq] = qf.By[iq] != startBy[iq];
        } else {
            FalleSchneller(qf.By[iq], qf.ByAlt[iq], zustandBy[iq], fallY[iq]);
            daempfe(qf.By[iq], qf.ByAlt[iq], schrittY[iq]);
        }
        if (!zustandZ[iq]) {
            qf.BzAlt[iq] = startBz[iq];
            zustandZ[iq] = qf.Bz[iq] != startBz[iq];
        } else {
            FalleSchneller(qf.Bz[iq], qf.BzAlt[iq], zustandBz[iq], fallZ[iq]);
            daempfe(qf.Bz[iq], qf.BzAlt[iq], schrittZ[iq]);
        }
    }
}

// The first section whose stiffness changed by more than the tolerance at the last update; -1 when none did.
// With `rundung`, a change also passes when the curvature change it stands for moves the section's outermost
// points by less than the strain state resolves: a relative change of the stiffness of a plane that is nearly
// without curvature is the section's rounding, not a change of the column.
int Analyse::UnruhigerQuerschnitt(bool rundung) const
{
    const double gamma = mode == 1 ? g3 : g2;
    auto ruhig = [&](double B, double alt, int kraft, double faser) {
        const double prozent = B != 0.0 ? std::fabs((alt - B) * 100.0 / B) : 0.0;
        if (prozent <= kSteifToleranz)
            return true;
        if (!rundung)
            return false;
        // the plane's curvature (per mille per m) under the moment the strain state was sought for
        const double kruemmung = std::fabs(WD(b.endF + kraft) / (gamma != 0.0 ? gamma : 1.0) / B);
        return prozent * 0.01 * kruemmung * faser <= kDehnungsAufloesung;
    };
    for (int iq = 0; iq < nSections; ++iq) {
        const cBem& bem = g_quer[iq].m_bem;
        if (!ruhig(qf.By[iq], qf.ByAlt[iq], 7 * iq + 4, bem.m_zmax) ||
            !ruhig(qf.Bz[iq], qf.BzAlt[iq], 7 * iq + 5, bem.m_ymax))
            return iq;
    }
    return -1;
}

// Where an iteration that did not settle stopped, for its message.
void Analyse::MerkeUnruhe(int element, bool steifigkeit)
{
    CStuetzenRechner::Unruhe& u = r.unruhe;
    u.mode = mode;
    u.lf = lf;
    u.steifigkeit = steifigkeit;
    u.feld = element >= 0 && element < E ? r.nFelder - r.stabFeld[element] : 0;
}

// The reinforcement a second-order run leaves must carry its forces by the ultimate check: a section
// below safety 1 gets more steel, and the iteration starts again.
Weiter Analyse::PruefeEndzustand()
{
    if (mode != 2)
        return Weiter::Ende;
    if (const int gleichung = KnickGleichung(); gleichung > 0) {
        const Erhoehung e = ErhoeheUndNeu(Grund::Knickt, steifZaehler + 1);
        if (e == Erhoehung::Neu)
            return Weiter::NeuerPass;
        return e == Erhoehung::AmGrenzwert ? GrenzwertErreicht() : Knickt(gleichung);
    }
    endPruefung = Nachweis(3, g1);
    endGeprueft = true;
    if (endPruefung == kNachweisNichtTragfaehig) {
        const Erhoehung e = ErhoeheUndNeu(Grund::NichtTragfaehig, steifZaehler + 1);
        if (e == Erhoehung::Neu) {
            endGeprueft = false;
            return Weiter::NeuerPass;
        }
        if (e == Erhoehung::AmGrenzwert)
            return GrenzwertErreicht();
        code = 3;  // no steel to raise
    }
    return Weiter::Ende;
}

// The run ends with the column buckling; the field of the equation whose pivot is not positive tells where.
Weiter Analyse::Knickt(int gleichung)
{
    const int stab = std::clamp((gleichung - 1) / 7, 0, E - 1);
    r.knicken = {lf, r.nFelder - r.stabFeld[stab]};
    code = kCodeKnickt;
    return Weiter::Ende;
}

// A column can settle without moment and curvature (straight, under axial force alone), and a plane without
// curvature keeps the stiffness it started from, whatever its axial force. That state
// stands only where the frame is stable with the stiffness each section has at its axial force, where a plane
// without curvature takes the slope of its moment there (the limit of its secant). Returns 0 when the frame is
// stable so, else the equation whose pivot is not positive.
int Analyse::KnickGleichung()
{
    std::vector<double> By(qf.By, qf.By + nSections), Bz(qf.Bz, qf.Bz + nSections);
    bool weicher = false;
    for (int iq = 0; iq < nSections; ++iq) {
        const cBem& bem = g_quer[iq].m_bem;
        if (bem.m_ByGerade > 0.0 && bem.m_ByGerade < qf.By[iq]) {
            qf.By[iq] = bem.m_ByGerade;
            weicher = true;
        }
        if (bem.m_BzGerade > 0.0 && bem.m_BzGerade < qf.Bz[iq]) {
            qf.Bz[iq] = bem.m_BzGerade;
            weicher = true;
        }
    }
    int gleichung = 0;
    if (weicher) {
        // the run's system, loads and forces stay as they are for its results
        const std::vector<double> bereich(&WD(b.springs), &WD(b.eig));
        const bool fehler = elementFehler;
        FillD(b.load, 1, nn, 0.0);
        FillD(b.fixedF, 1, 14 * E, 0.0);
        FillD(b.K, 1, 3 * b.nwk, 0.0);
        if (BaueSystem()) {
            r.Lager(b.springs, b.xModel, r.nFelder + 1, b.xFe, K, b.flags);
            SetzeLager(b.K, b.springs, b.maxa, nn);
            gleichung = h3660(b.K, b.maxa, b.disp, nn, 0);
        }
        std::copy(bereich.begin(), bereich.end(), &WD(b.springs));
        elementFehler = fehler;
        std::copy(By.begin(), By.end(), qf.By);
        std::copy(Bz.begin(), Bz.end(), qf.Bz);
        g_protokoll.Printf(" Stabilitaet mit den Steifigkeiten unter der Normalkraft: %s\n",
                           gleichung > 0 ? "instabil" : "stabil");
    }
    return gleichung;
}

// Buckling eigenvalues: the four vectors and (lambda, largest |v|, largest |w|) of each.
void Analyse::RechneEigenwerte()
{
    const int vektoren = b.eig;
    const int werte = b.eig + nn * kEigenVektoren;
    const int rt = h4809(b.K, b.KG, b.maxa, vektoren, nn, b.nwk, kEigenWerte, kEigenVektoren);
    if (rt > 0) {
        FillD(vektoren, 1, nn * kEigenVektoren + kEigenVektoren, 0.0);
        code = -rt;
    }
    // the creep load's in the engine, a combination's in its slots
    double* formen = nullptr;
    double* block = nullptr;
    if (lf == kKriechLast) {
        r.kriechFormen.assign(std::size_t(4 * nn), 0.0);
        r.kriechEigen.assign(12, 0.0);
        formen = r.kriechFormen.data();
        block = r.kriechEigen.data();
    } else if (comb >= 0 && comb < r.nErgebnisPlaetze) {
        formen = &WD(r.Slot(18, comb, 4 * nn));
        block = &WD(r.Slot(19, comb, 12));
    } else {
        return;
    }
    std::copy(&WD(vektoren), &WD(vektoren) + 4 * nn, formen);
    for (int i = 0; i < kEigenVektoren; ++i) {
        double vMax = 0.0, wMax = 0.0;
        for (int k = 0; k < K; ++k) {
            vMax = std::fmax(vMax, std::fabs(WD(vektoren + nn * i + 7 * k + 1)));
            wMax = std::fmax(wMax, std::fabs(WD(vektoren + nn * i + 7 * k + 2)));
        }
        block[i] = WD(werte + i);
        block[4 + 2 * i] = vMax;
        block[5 + 2 * i] = wMax;
        g_protokoll.Printf(" Eigenwert %d = %f v = %f w = %f\n", i + 1, WD(werte + i), vMax, wMax);
    }
}

// Reactions, the ultimate check, shear and the results.
void Analyse::SpeichereErgebnisse()
{
    MultiplyB(b.K0, b.disp, b.reactions, b.maxa, nn, b.nwk);
    h0810(b.F, 1, b.reactions, 1, nn, 1.0, 4);
    if (mode == 1 || mode == 2) {
        int ru = endGeprueft ? endPruefung : Nachweis(3, g1);
        // the creep run's check under its long-term load sizes no steel
        if (ru == kNachweisNichtTragfaehig)
            ru = 0;
        if (g_nachweis.schubNachweis) {
            g_nachweis.schubNachweis(NORM, E, &WD(b.endF), mode);
            KeepShear();
        }
        if (code == 0)
            code = ru;
    }
    if (keinNachweis && code == 0) {
        FehlerLog(g_errorLog, 1, "Kein Nachweis der Querschnitte eingebunden");
        code = 3;
    }
    if (comb >= 0 && comb < r.nErgebnisPlaetze) {
        r.SpeichereSystemErgebnisse(mode, lf, base, b.reactions, b.disp, b.endF);
        r.SpeichereBemessungswerte(mode, comb, b.endF);
        if (mode == 2)
            g_combinationResults.File(comb, KeptAnalysis::SecondOrder, std::move(kept));
        else if (mode == 0 && r.rissSchalter == 1)
            g_combinationResults.File(comb, KeptAnalysis::Serviceability, std::move(kept));
    } else {
        g_protokoll.Printf(" Ergebnisplatz %d außerhalb der Ergebnisfelder: nicht gespeichert\n", comb);
    }
}

}  // namespace

int CStuetzenRechner::RechneDltr3D(CDC* dc, int mode, int lf, int base)
{
    letzteAnalyseElementFehler = false;
    unruhe = {};
    knicken = {};
    // load images
    if (aktlast(mode, lf) < 0)
        return 0;
    Analyse analyse(*this, mode, lf, base);
    if (!analyse.LegeBereicheAn())
        return 5;
    analyse.ZeigeFortschritt(dc);
    analyse.SetzeStartwerte();
    analyse.Iteriere();
    if (analyse.Eigen())
        analyse.RechneEigenwerte();
    else
        analyse.SpeichereErgebnisse();
    if (dc)
        ZeichneText(dc, fortschrittX, fortschrittY, analyse.Zeile(), 12, 0.0f, 0, 0xFFFFFF);
    letzteAnalyseElementFehler = analyse.elementFehler;
    return analyse.code;
}

int CStuetzenRechner::RechneDltr3DUndMelde(CDC* dc, int mode, int lf, int base)
{
    const int code = RechneDltr3D(dc, mode, lf, base);
    ZeigeNachweisHinweise();
    MeldeDltr3DFehler(code, letzteAnalyseElementFehler);
    return code;
}
