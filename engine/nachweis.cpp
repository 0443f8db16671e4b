// The verification driver of the sections and the shear dispatch.
#include "engine/nachweis.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "designcode/designcode.h"
#include "designcode/requirement.h"
#include "engine/brand.h"
#include "engine/material.h"
#include "engine/protocol.h"
#include "engine/quer.h"
#include "engine/rechner.h"
#include "engine/schub.h"

namespace {

// The laws of one pair of grades: concrete record A (simplified law of the strain state), record U (the
// ultimate check and the design), record B (parabola of the frame analysis, no
// concrete tension), steel record F (the accidental situation of the fire check) and steel record S (the
// steel as the section preparation defines it). Seven values each: f, eps1, eps_u, eps3, eps4, n, E.
struct Rekorde {
    int code = -1, betonGuete = -1, stahlGuete = -1;
    double A[7] = {}, U[7] = {}, B[7] = {}, F[7] = {}, S[7] = {};
};

Rekorde HoleRekorde(int code, int betonGuete, int stahlGuete, int formKlasse, int accidental)
{
    Rekorde r;
    r.code = code;
    r.betonGuete = betonGuete;
    r.stahlGuete = stahlGuete;
    // No concrete tension in any record. The law's tension branch is linear up to 0.95 fcd at -0.95 eps1
    // and is scaled by a reference strain that is no property of the plane in hand (it is whatever the
    // previous check left behind): a tensile strength of that size would make cracked columns stiff, and the
    // codes let the tensile strength be neglected.
    BetonGesetzBruch(code, formKlasse, betonGuete, accidental, r.U);
    std::copy(r.U, r.U + 7, r.A);
    double fck = 0, fcd = 0, e1 = 0, e2 = 0, ecm = 0, form = 0;
    HoleBetonRechenwerte(code, 0, formKlasse, 2, betonGuete, fck, fcd, e1, e2, ecm, form, 1.0, accidental);
    const double b[7] = {fcd, e1, e2, 0.0, 0.0, 2.0, ecm};
    std::copy(b, b + 7, r.B);
    StahlGesetz(code, stahlGuete, 1, r.F);
    StahlGesetz(code, stahlGuete, 0, r.S);
    return r;
}

// The records of the grades in hand; a column rarely has more than one or two pairs.
class RekordSpeicher {
public:
    RekordSpeicher(int code, int formKlasse, int accidental) : m_code(code), m_form(formKlasse), m_acc(accidental) {}
    const Rekorde& Hole(int betonGuete, int stahlGuete)
    {
        for (const Rekorde& r : m_rekorde)
            if (r.betonGuete == betonGuete && r.stahlGuete == stahlGuete)
                return r;
        m_rekorde.push_back(HoleRekorde(m_code, betonGuete, stahlGuete, m_form, m_acc));
        return m_rekorde.back();
    }

private:
    int m_code, m_form, m_acc;
    std::vector<Rekorde> m_rekorde;
};

void SetzeBeton(cBem& b, const double* rekord)
{
    b.SetzeMaterial(1, rekord);
    b.SetzeMaterial(-2, nullptr);  // the reference strains follow the law in hand
}

// Reinforcement of a section as the design left it: the design groups scaled by the design factor when
// the design asks for more than is present.
double BemesseneBewehrung(const cBem& b)
{
    const double f = std::max(b.bwfakt, 1.0);
    double s = 0.0;
    for (int g = 1; g <= b.m_nqgr; ++g) {
        if (!b.IstBewehrung(g))
            continue;
        const double w = b.m_bemgr[g] ? f : 1.0;
        for (int i = b.m_gerst[g]; i < b.m_gerst[g] + b.m_npkt[g]; ++i)
            s += b.m_pa[i] * w;
    }
    return s;
}

void Aktualisiere(int iq, const NachweisAufruf& a)
{
    if (!a.By || !a.Bz || !a.ByAlt || !a.BzAlt)
        return;
    const cBem& b = g_quer[iq].m_bem;
    a.By[iq] = SteifigkeitNachUpdate(a.ByAlt[iq], b.m_By, a.fallY ? a.fallY[iq] : kSteifFall);
    a.Bz[iq] = SteifigkeitNachUpdate(a.BzAlt[iq], b.m_Bz, a.fallZ ? a.fallZ[iq] : kSteifFall);
    if (a.mode == 2 && a.zustandY && a.zustandZ) {
        a.zustandY[iq] = b.m_By;
        a.zustandZ[iq] = b.m_Bz;
    }
}

// The fire check by the tables of the design code; what keeps it from being made is left as a hint.
void BrandNachweis(const NachweisAufruf& a)
{
    const int klasse = static_cast<int>(std::lround(a.brand[0]));
    const int seiten = static_cast<int>(std::lround(a.brand[1]));
    std::vector<int>& hinweise = g_rechner.nachweisHinweise;
    switch (a.code) {
    case 1:
    case 11: {
        const int r = a.code == 1 ? BrandTabelleDIN4102(a.code, a.nel, a.forces, a.mode, a.gamma, a.stride, a.faktoren,
                                                        a.knotenX, a.analyseModus, klasse, seiten, a.brand[2])
                                  : BrandTabelleEC2_DE(a.code, a.nel, a.forces, a.mode, a.gamma, a.stride, a.faktoren,
                                                       a.knotenX, a.analyseModus, klasse, seiten, a.brand[2]);
        if (r == kBrandBewehrungsgrad)
            hinweise.push_back(a.code == 1 ? kBrandHinweisGrad9 : kBrandHinweisGrad4);
        else if (r == kBrandAbmessungen)
            hinweise.push_back(kBrandHinweisAbmessungen);
        return;
    }
    case 2: hinweise.push_back(kBrandHinweisEC2); break;
    case 3: hinweise.push_back(kBrandHinweisSIA262); break;
    case 12: hinweise.push_back(kBrandHinweisEC2_NA_F); break;
    case 13: hinweise.push_back(kBrandHinweisEC2_NA_GB); break;
    default: return;
    }
    BrandOhneTabellen(a.nel);
}

// The slope of a law at zero strain, n f / |eps1| (the law's strains in per mille).
double SteigungBeiNull(const double gesetz[7])
{
    return gesetz[1] != 0.0 ? gesetz[5] * gesetz[0] / std::fabs(gesetz[1]) * 1000.0 : 0.0;
}

}  // namespace

double GroessterBewehrungsgrad(int code)
{
    const designcode::DesignCode* dc = designcode::ByEngine(code);
    return dc ? dc->maxRatioPercent : 9;
}

bool ExceedsLargestRatio(const cQuer& q, double as, double limit, bool designed)
{
    const double beton = q.BetonFlaeche();
    if (!(beton > 0.0))
        return false;
    return designcode::Exceeds(as * 100.0 / beton, limit) || (designed && q.m_bem.m_shortAtMaxRatio);
}

Anfangssteigungen AnfangsSteigungen(int code, int betonGuete, int stahlGuete, int formKlasse, int accidental)
{
    const Rekorde r = HoleRekorde(code, betonGuete, stahlGuete, formKlasse, accidental);
    Anfangssteigungen s;
    s.beton = std::max(SteigungBeiNull(r.A), SteigungBeiNull(r.B));
    s.stahl = std::max(SteigungBeiNull(r.S), SteigungBeiNull(r.F));
    return s;
}

double SteifigkeitNachUpdate(double alt, double neu, double fall)
{
    // a plane without a strain state so far holds its start value (-alt): the first state replaces it whole
    if (alt < 0.0)
        return neu > 0.0 ? neu : -alt;
    // no strain state in the plane (0): the previous value stays
    return neu > 0.0 ? std::max(fall * alt, neu) : alt;
}

const char* BrandHinweisText(int hinweis)
{
    switch (hinweis) {
    case kBrandHinweisGrad9: return "Brandschutznachweis nicht möglich!\nBewehrungsgrad > 9%";
    case kBrandHinweisGrad4: return "Brandschutznachweis nicht möglich!\nBewehrungsgrad > 4%";
    case kBrandHinweisAbmessungen:
        return "Brandschutznachweis nicht möglich!\nStützenabmessungen bzw. Betondeckungen bitte ändern.";
    case kBrandHinweisEC2: return "Brandschutznachweis nach EC 2 nicht möglich!";
    case kBrandHinweisSIA262: return "Brandschutznachweis nach SIA 262 nicht möglich!";
    case kBrandHinweisEC2_NA_F: return "Brandschutznachweis nach EC 2 NA F nicht möglich!";
    case kBrandHinweisEC2_NA_GB: return "Brandschutznachweis nach EC 2 NA GB nicht möglich!";
    default: return nullptr;
    }
}

int StbNachweis_1(const NachweisAufruf& a)
{
    const int code = a.code, mode = a.mode;
    const double gamma = a.gamma;
    const int nel = std::clamp(a.nel, 0, kMaxStaebe);
    const int nq = 2 * nel;
    const double* forces = a.forces;
    if (nq == 0 || forces == nullptr)
        return 0;
    RekordSpeicher speicher(code, a.material[0], g_rechner.aussergewoehnlich);
    // The fire switch is an input of the whole run; the fire pass is the one whose second-order runs work in
    // the accidental situation, and only there the fire steel and the fire check apply.
    const bool brand = a.brandSchalter != 0 && g_rechner.aussergewoehnlich != 0;

    // every section starts from the concrete law of the mode (and the steel of the situation) with no
    // stiffness of its own
    const bool grenzzustand = mode == 3 || mode == 4;
    for (int iq = 0; iq < nq; ++iq) {
        cQuer& q = g_quer[iq];
        cBem& b = q.m_bem;
        const Rekorde& r = speicher.Hole(q.m_betonGuete, q.m_stahlGuete);
        b.m_E = r.A[6];
        QuerschnittsRecord werte;
        b.HoleQuerschnittswerte(werte);
        b.SetzeMaterial(1, grenzzustand ? r.U : r.A);
        if (q.m_nStaebe > 0)
            b.SetzeMaterial(2, brand ? r.F : r.S);
        b.SetzeMaterial(-2, nullptr);
        b.m_By = 0.0;
        b.m_Bz = 0.0;
        b.m_ByGerade = 0.0;
        b.m_BzGerade = 0.0;
    }

    // The strain states raise no steel: sized to the moments of a pass of the stiffness iteration, the steel
    // would follow moments that an iteration far from its equilibrium overshoots. A section without a state
    // is reported, and the iteration raises the steel and starts again.
    const double erhoehung = mode == 2 ? 1.0 : 1.1;
    if (mode == 2) {
        for (int iq = 0; iq < nq; ++iq) {
            RechneBem(code, iq, 2, gamma, erhoehung, forces + 7 * iq);
            Aktualisiere(iq, a);
        }
        for (int iq = 0; iq < nq; ++iq)
            SetzeBeton(g_quer[iq].m_bem, speicher.Hole(g_quer[iq].m_betonGuete, g_quer[iq].m_stahlGuete).B);
    }

    bool ohneZustand = false;
    // the sections the ultimate check finds unsafe, taken before the fire check designs the sections anew
    std::vector<int> nichtTragfaehig;
    for (int iq = 0; iq < nq; ++iq) {
        // A section without load is sought under a stand-in compression: a plane it cannot find proves
        // nothing about the column, and the section keeps its stiffnesses.
        if (RechneBem(code, iq, mode, gamma, erhoehung, forces + 7 * iq) != 0 && mode == 2 &&
            !OhneLast(forces + 7 * iq, gamma))
            ohneZustand = true;
        Aktualisiere(iq, a);
        const double sicherheit = g_quer[iq].m_bem.m_slots[kBemSlotGamma];
        if (mode == 3 && g_quer[iq].BetonFlaeche() > 0.0 && sicherheit < 1.0 - kSicherheitsToleranz) {
            g_protokoll.Printf("Sicherheit %.4f < 1 im Querschnitt %d\n", sicherheit, iq);
            nichtTragfaehig.push_back(iq);
        }
    }

    // The fire check takes the steel of a section that carries its forces: one that does not gets more steel
    // from the stiffness iteration first (the fire design would raise it besides, and its messages would
    // speak of steel that is about to change).
    if (mode == 3 && a.analyseModus == 2 && brand && nichtTragfaehig.empty()) {
        NachweisAufruf begrenzt = a;
        begrenzt.nel = nel;
        BrandNachweis(begrenzt);
    }

    if (mode == 2)
        for (int iq = 0; iq < nq; ++iq)
            SetzeBeton(g_quer[iq].m_bem, speicher.Hole(g_quer[iq].m_betonGuete, g_quer[iq].m_stahlGuete).A);

    // the code's maximum reinforcement ratio, which a section that has exactly that ratio keeps; a design counts
    // with what it asked for, and one that stops at the maximum ratio without carrying its forces is reported at once
    const double grenze = GroessterBewehrungsgrad(code);
    for (int iq = 0; iq < nq; ++iq) {
        const cQuer& q = g_quer[iq];
        if (!(q.BetonFlaeche() > 0.0))
            continue;
        const double as = mode == 4 ? BemesseneBewehrung(q.m_bem) : q.m_bem.HoleAS();
        if (ExceedsLargestRatio(q, as, grenze, mode == 4)) {
            g_protokoll.Printf("Bewehrungsgrad %.3f %% im Querschnitt %d\n", as * 100.0 / q.BetonFlaeche(), iq);
            return kNachweisBewehrungsgrad;
        }
    }
    if (ohneZustand)
        return kNachweisOhneZustand;
    for (int iq : nichtTragfaehig)
        g_quer[iq].m_bem.m_code = kNachweisNichtTragfaehig;
    return nichtTragfaehig.empty() ? 0 : kNachweisNichtTragfaehig;
}

int SchubNachweis(int code, int nel, const double* forces, int)
{
    nel = std::clamp(nel, 0, kMaxStaebe);
    if (forces == nullptr)
        return 0;
    for (int iq = 0; iq < 2 * nel; ++iq) {
        // the annex routines serve both ends of an element
        int (cSchub::*routine)(cBem&) = nullptr;
        switch (code) {
        case 1: routine = &cSchub::SchubDIN1045_1; break;
        case 2: routine = &cSchub::SchubEC2; break;
        case 3: routine = &cSchub::SchubSIA262; break;
        case 11: routine = &cSchub::SchubEC2_NA_DE; break;
        case 12:
        case 13: routine = &cSchub::SchubEC2_NA_FGB; break;
        default: break;
        }
        if (!routine)
            continue;
        cBem& b = g_quer[iq].m_bem;
        cSchub& s = g_schub[iq];
        s.Setze(iq);
        std::copy(forces + 7 * iq, forces + 7 * iq + 7, s.kraefte);
        const int typ = b.m_querTyp;
        b.m_querTyp = 3;
        s.schubSchalter = 1;
        (s.*routine)(b);
        b.m_querTyp = typ;
    }
    return 0;
}
