// Model set-up: field coordinates, nodes, members, load records and the partition of the work arrays.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/lastsatz.h"
#include "engine/protocol.h"
#include "engine/rechner.h"
#include "engine/workarrays.h"

#include <vector>

namespace {
constexpr double kTol = 0.001;  // m
constexpr int kExtraOffset = 1000;

struct Bereich {
    int slot;
    long long size;
};

// The partition for N combinations, K nodes and E members: the double slots, then the int slots, in order.
template <class Fn>
void Partition(long long N, long long K, long long E, Fn&& fn)
{
    const Bereich doubles[] = {
        {10, 7 * K * N}, {11, 7 * K * N},  {12, 14 * E * N}, {50, 2 * E * N},  {51, 2 * E * N}, {52, 2 * E * N},
        {53, 2 * E * N}, {54, 2 * E * N},  {55, 2 * E * N},  {56, 2 * E * N},  {57, 2 * E * N}, {58, 2 * E * N},
        {15, 7 * K},     {16, 7 * K},      {17, 14 * E},     {18, 28 * K * N}, {19, 12 * N},    {20, 7 * K * N},
        {21, 7 * K * N}, {22, 14 * E * N}, {23, 2 * E * N},  {24, 2 * E * N},  {25, 2 * E * N}, {26, 2 * E * N},
        {27, 2 * E * N}, {28, 2 * E * N},  {29, 2 * E * N},  {30, 2 * E * N},  {31, 2 * E * N}, {32, 2 * E * N},
        {33, 2 * E * N}, {34, 2 * E * N},  {35, 2 * E * N},  {36, 2 * E * N},  {37, 2 * E * N}, {38, 2 * E * N},
        {39, 2 * E * N}, {40, 2 * E * N},  {41, 4 * N},      {70, 4 * K * N},
    };
    const Bereich ints[] = {{60, 14 * K}, {61, 14 * K}, {62, 2 * E}, {63, 2 * E},
                            {64, 2 * E},  {65, 2 * E},  {66, 2 * E}};
    for (const Bereich& b : doubles)
        fn(false, b);
    for (const Bereich& b : ints)
        fn(true, b);
}

}  // namespace

void CStuetzenRechner::BerechneFeldKoordinaten()
{
    koor[0] = 0.0;
    for (int f = 0; f < nFelder && f < kMaxFelder; ++f)
        koor[f + 1] = koor[f] + feldLaenge[f];
    L = koor[nFelder < kMaxFelder ? nFelder : kMaxFelder];
}

int CStuetzenRechner::ErzeugeKnoten(int first, int& nKoor, int firstExtra, int nExtra)
{
    int n = 0;
    WD(first) = 0.0;
    n = 1;
    for (int f = 0; f < nFelder; ++f) {
        const int nf = feldStaebe[f];
        for (int i = 1; i <= nf; ++i) {
            if (n >= kMaxKnoten)
                return kSetupZuVieleStaebe;
            WD(first + n++) = koor[f] + i * feldLaenge[f] / nf;
        }
    }
    for (int p = 0; p < nExtra; ++p) {
        const double xp = WD(firstExtra + p);
        if (xp < 0.0 || xp > L)
            continue;
        bool near = false;
        for (int k = 0; k < n && !near; ++k)
            near = std::fabs(WD(first + k) - xp) <= kTol;
        if (near)
            continue;
        if (n >= kMaxKnoten)
            return kSetupZuVieleStaebe;
        WD(first + n++) = xp;
        for (int f = 0; f < nFelder; ++f)
            if (koor[f + 1] > xp) {
                ++feldStaebe[f];
                break;
            }
    }
    SortiereKoordinaten(first, n);
    for (int k = 0; k < n; ++k)
        g_protokoll.Printf("koordinaten[%d] = %.3f\n", k, WD(first + k));
    nKoor = n;
    return n - 1 > kMaxStaebe ? kSetupZuVieleStaebe : kSetupOk;
}

void CStuetzenRechner::SortiereKoordinaten(int first, int n)
{
    for (int i = 0; i < n - 1; ++i) {
        int smallest = i;
        for (int j = i + 1; j < n; ++j)
            if (WD(first + j) < WD(first + smallest))
                smallest = j;
        if (smallest != i) {
            const double t = WD(first + i);
            WD(first + i) = WD(first + smallest);
            WD(first + smallest) = t;
        }
    }
}

int CStuetzenRechner::KnotenBeiKoordinate(int i) const
{
    if (i < 0 || i > nFelder + 1)
        return -1;
    const double xi = i == 0 ? L : koor[i - 1];
    for (int k = 0; k < nKnoten; ++k)
        if (std::fabs(x[k] - xi) < kTol)
            return k;
    return -1;
}

int CStuetzenRechner::VerteileLinienlasten()
{
    INDEX[6] = INDEX[0];
    nLastSaetze = 0;
    auto add = [this](int stab, int lf, int art, int stage, double qa, double qe) {
        if (!WorkIFits(INDEX[0], kSatzGroesse) || !WorkDFits(INDEX[1], kLinienSatzDoubles))
            return false;
        const int s = INDEX[0];
        WI(s + kSatzKnotenOderStab) = stab;
        WI(s + kSatzLastfall) = lf;
        WI(s + kSatzArt) = art;
        WI(s + kSatzDouble) = INDEX[1];
        WI(s + kSatzSystem) = stage;
        WD(INDEX[1]) = 0.0;
        WD(INDEX[1] + 1) = qa;
        WD(INDEX[1] + 2) = qe;
        INDEX[0] += kSatzGroesse;
        INDEX[1] += kLinienSatzDoubles;
        ++nLastSaetze;
        return true;
    };
    for (int s = 0; s < kStufen; ++s) {
        if (nLinienlasten[s] == 0) {
            if (!add(0, 1, 1, s, 0.0, 0.0))
                return kSetupSpeicher;
            continue;
        }
        for (int l = 0; l < nLinienlasten[s]; ++l) {
            const LinienlastEingabe& q = linienlast[s][l];
            const double xa = q.xa;
            const double xe = q.xa + q.laenge;
            g_protokoll.Printf(" xa = %.3f xe = %.3f\n", xa, xe);
            if (std::fabs(xe - xa) < 1e-9)
                continue;
            const double lo = xa < xe ? xa : xe;
            const double hi = xa < xe ? xe : xa;
            for (int e = nStaebe - 1; e >= 0; --e) {
                if (x[e] < lo - kTol || x[e + 1] > hi + kTol)
                    continue;
                const double sa = (x[e] - xa) * (q.qe - q.qa) / (xe - xa) + q.qa;
                const double se = (x[e + 1] - xa) * (q.qe - q.qa) / (xe - xa) + q.qa;
                g_protokoll.Printf(" sa = %.3f se = %.3f\n", sa, se);
                if (!add(e, q.lastfall, q.richtung, s, sa, se))
                    return kSetupSpeicher;
            }
        }
    }
    g_protokoll.Printf("index last = %d zug. Last = %d\n", INDEX[6], nLastSaetze);
    return kSetupOk;
}

int CStuetzenRechner::VerteileEinzellasten()
{
    INDEX[5] = INDEX[0];
    nPunktSaetze = 0;
    // value k of a point load acts on these degrees of freedom
    static constexpr int kDof[5] = {0, 1, 2, 4, 5};
    for (int s = 0; s < kStufen; ++s) {
        for (int l = 0; l < nEinzellasten[s]; ++l) {
            const EinzellastEingabe& p = einzellast[s][l];
            const int node = KnotenBeiKoordinate(p.position);
            if (node < 0) {
                char text[160];
                std::snprintf(text, sizeof text,
                              "Einzellast an Position %d liegt an keinem Knoten und wird nicht angesetzt.", p.position);
                setupMeldungen.emplace_back(text);
                continue;
            }
            if (!WorkIFits(INDEX[0], kSatzGroesse) || !WorkDFits(INDEX[1], kPunktSatzDoubles))
                return kSetupSpeicher;
            const int r = INDEX[0];
            WI(r + kSatzKnotenOderStab) = node;
            WI(r + kSatzLastfall) = p.lastfall;
            WI(r + kSatzArt) = p.position;
            WI(r + kSatzDouble) = INDEX[1];
            WI(r + kSatzSystem) = s;
            for (int k = 0; k < kPunktSatzDoubles; ++k)
                WD(INDEX[1] + k) = 0.0;
            for (int k = 0; k < 5; ++k)
                WD(INDEX[1] + 1 + kDof[k]) = p.werte[k];
            INDEX[0] += kSatzGroesse;
            INDEX[1] += kPunktSatzDoubles;
            ++nPunktSaetze;
        }
    }
    return kSetupOk;
}

int CStuetzenRechner::ZaehleKombinationen()
{
    int code = kSetupOk;
    NKOMBI = 0;
    for (int s = 0; s < kStufen; ++s) {
        if (s > 0 && !stufeAktiv[s])
            continue;
        for (int kind : {kArtTr, kArtGb, kArtEdA, kArtEdB}) {
            std::string path;
            const int n = OeffneKombiDatei(path, kind, s, 1);
            if (n < 0)
                return kSetupEingabe;
            g_protokoll.Printf("NKOMBI(0) = %d\n", n);
            NKOMBI += n;
            g_protokoll.Printf("NKOMBI(1) = %d -> NKOMBI = %d\n", n, NKOMBI);
        }
    }
    if (NKOMBI == 0)
        code = kSetupKeineKombinationen;

    const long long N = NKOMBI, K = nKnoten, E = nStaebe;
    long long d = INDEX[1];
    long long i = INDEX[0];
    Partition(N, K, E, [&](bool isInt, const Bereich& b) { (isInt ? i : d) += b.size; });
    if (!WorkDFits(INDEX[1], d - INDEX[1]) || !WorkIFits(INDEX[0], i - INDEX[0]))
        return kSetupSpeicher;

    INDEX[2] = INDEX[0];
    nErgebnisPlaetze = NKOMBI;
    const int firstInt = INDEX[0];
    Partition(N, K, E, [&](bool isInt, const Bereich& b) {
        int& next = INDEX[isInt ? 0 : 1];
        INDEX[b.slot] = next;
        next += static_cast<int>(b.size);
    });
    for (int k = firstInt; k < INDEX[0]; ++k)
        WI(k) = -1;
    return code;
}

ArbeitsBedarf CStuetzenRechner::Arbeitsbedarf(int nKombi, int nFirstFree) const
{
    ArbeitsBedarf a;
    a.kombinationen = nKombi;
    const int F = std::clamp(nFelder, 0, kMaxFelder);
    // nodes as ErzeugeKnoten makes them
    std::vector<double> ende(static_cast<std::size_t>(F) + 1, 0.0);
    for (int f = 0; f < F; ++f)
        ende[f + 1] = ende[f] + feldLaenge[f];
    std::vector<double> xs{0.0};
    for (int f = 0; f < F; ++f)
        for (int k = 1; k <= feldStaebe[f]; ++k)
            xs.push_back(ende[f] + k * feldLaenge[f] / feldStaebe[f]);
    for (int r = 0; r < std::clamp(nQuerWechsel, 0, kMaxQuerWechsel); ++r) {
        const QuerWechsel& w = querWechsel[r];
        if (w.feld < 0 || w.feld >= F)
            continue;
        for (const double p : {ende[w.feld] + w.abstand, ende[w.feld] + w.abstand + w.laenge}) {
            const bool near = std::any_of(xs.begin(), xs.end(), [p](double x) { return std::fabs(x - p) <= kTol; });
            if (p >= 0.0 && p <= ende[F] && !near)
                xs.push_back(p);
        }
    }
    std::sort(xs.begin(), xs.end());
    const int K = static_cast<int>(xs.size());
    const int E = K - 1;
    a.knoten = K;
    a.staebe = E;

    // load records as VerteileLinienlasten and VerteileEinzellasten lay them out (a point load off every node
    // is counted: it is skipped only when the set-up meets it)
    for (int s = 0; s < kStufen; ++s) {
        const int n = std::clamp(nLinienlasten[s], 0, kMaxLinienlasten);
        if (n == 0)
            ++a.linienSaetze;
        for (int l = 0; l < n; ++l) {
            const LinienlastEingabe& q = linienlast[s][l];
            const double xa = q.xa, xe = q.xa + q.laenge;
            if (std::fabs(xe - xa) < 1e-9)
                continue;
            const double lo = std::min(xa, xe), hi = std::max(xa, xe);
            for (int e = 0; e < E; ++e)
                if (xs[e] >= lo - kTol && xs[e + 1] <= hi + kTol)
                    ++a.linienSaetze;
        }
        a.punktSaetze += std::clamp(nEinzellasten[s], 0, kMaxEinzellasten);
    }

    long long partD = 0, partI = 0, einsD = 0, einsI = 0;
    Partition(nKombi, K, E, [&](bool isInt, const Bereich& b) { (isInt ? partI : partD) += b.size; });
    Partition(nKombi + 1LL, K, E, [&](bool isInt, const Bereich& b) { (isInt ? einsI : einsD) += b.size; });
    long long rahmenD = 0, rahmenI = 0;
    RahmenArbeitsbedarf(K, E, F, rahmenD, rahmenI);
    const long long vorher = nFirstFree - 1LL;  // indices below the caller's first free one
    const long long saetze = a.linienSaetze + a.punktSaetze;
    // the node coordinates and section-change points are laid out first and then overwritten by the records
    const long long knotenD = kExtraOffset + 2LL * std::clamp(nQuerWechsel, 0, kMaxQuerWechsel);
    a.doubles = vorher + std::max(knotenD, kLinienSatzDoubles * a.linienSaetze + kPunktSatzDoubles * a.punktSaetze +
                                               partD + rahmenD);
    a.ints = vorher + kSatzGroesse * saetze + partI + rahmenI;
    a.doublesJeKombination = einsD - partD;
    return a;
}

int CStuetzenRechner::BaueModell()
{
    setupMeldungen.clear();
    // the input must fit the fixed arrays before anything is built from it
    if (nFelder < 1 || nFelder > kMaxFelder || nQuerWechsel < 0 || nQuerWechsel > kMaxQuerWechsel) {
        meldung = "Anzahl der Felder oder Querschnittswechsel außerhalb der Grenzen.";
        return kSetupEingabe;
    }
    int staebe = 0;
    for (int f = 0; f < nFelder; ++f) {
        if (feldStaebe[f] < 1 || feldLaenge[f] <= 0.0) {
            meldung = "Jedes Feld braucht eine positive Länge und mindestens einen Stab.";
            return kSetupEingabe;
        }
        staebe += feldStaebe[f];
    }
    if (staebe > kMaxStaebe)
        return kSetupZuVieleStaebe;
    for (int s = 0; s < kStufen; ++s)
        if (nLinienlasten[s] < 0 || nLinienlasten[s] > kMaxLinienlasten || nEinzellasten[s] < 0 ||
            nEinzellasten[s] > kMaxEinzellasten) {
            meldung = "Zu viele Lasten in einem Bauzustand.";
            return kSetupEingabe;
        }
    if (nLager < 0 || nLager > kMaxLager || nKriech < 0 || nKriech > kMaxKriech) {
        meldung = "Zu viele Lager oder Kriechlastfälle.";
        return kSetupEingabe;
    }
    // the own weight acts only in its own load case: a unit weight without one would be lost silently
    if (std::fabs(gammaBeton) >= 0.01 &&
        std::none_of(std::begin(eigengewichtLf), std::end(eigengewichtLf), [](int lc) { return lc > 0; })) {
        meldung = "Das Eigengewicht ist keinem Lastfall zugeordnet.";
        return kSetupEingabe;
    }

    BerechneFeldKoordinaten();
    zeichenMassstab = (zeichenHoehe > 5.0 && zeichenHoehe < 15.0) ? static_cast<float>(10.0 * zeichenHoehe) : 70.0f;
    for (int k = 0; k < kMaxKnoten; ++k) {
        x[k] = 0.0;
        stabEz[k] = 0.0;
        stabEy[k] = 0.0;
    }

    const int firstNode = INDEX[1];
    const int firstExtra = INDEX[1] + kExtraOffset;
    if (!WorkDFits(firstNode, kExtraOffset + 2 * nQuerWechsel))
        return kSetupSpeicher;
    int nExtra = 0;
    for (int r = 0; r < nQuerWechsel; ++r) {
        const QuerWechsel& w = querWechsel[r];
        if (w.feld < 0 || w.feld >= nFelder)
            continue;
        const double xs = koor[w.feld] + w.abstand;
        WD(firstExtra + nExtra++) = xs;
        WD(firstExtra + nExtra++) = xs + w.laenge;
        g_protokoll.Printf(" nunstet = %d x = %.3f\n", nExtra, xs);
    }
    int nKoor = 0;
    const int rc = ErzeugeKnoten(firstNode, nKoor, firstExtra, nExtra);
    if (rc != kSetupOk)
        return rc;
    for (int k = 0; k < nKoor; ++k)
        x[k] = WD(firstNode + k);
    nKnoten = nKoor;
    nStaebe = nKoor - 1;
    g_protokoll.Printf("Anzahl stäbe = %d\n", nStaebe);

    for (int f = 0; f < nFelder; ++f) {
        bool first = true;
        for (int e = 0; e < nStaebe; ++e) {
            if (x[e] >= koor[f] - kTol && x[e + 1] <= koor[f + 1] + kTol) {
                stabFeld[e] = f;
                stabEz[e] = first ? feldEz[f] : 0.0;
                stabEy[e] = first ? feldEy[f] : 0.0;
                first = false;
                g_protokoll.Printf("stab = %d typ = %d xa = %.2f xe = %.2f ez = %.3f ey = %.3f\n", e, f, x[e], x[e + 1],
                                   stabEz[e], stabEy[e]);
            }
        }
    }

    int code = VerteileLinienlasten();
    if (code == kSetupOk)
        code = VerteileEinzellasten();
    if (code != kSetupOk)
        return code;
    kombi.NummeriereKombinationen();
    return ZaehleKombinationen();
}

void CStuetzenRechner::SpeichereSystemErgebnisse(int mode, int k, int base, int reactions, int displacements,
                                                 int forces)
{
    if (mode == -1)
        return;  // the eigenvalue run stores its own areas
    const int lf = k + base;
    const int K7 = 7 * nKnoten;
    const int E14 = 14 * nStaebe;
    const int first = (mode < 0 ? -mode : mode) * 5 + 10;  // 10, 15 or 20
    // the creep areas hold one combination
    const int position = mode == 1 ? 0 : lf;
    g_protokoll.Printf(" Ergebnisse werden wie folgt abgespeichert\n");
    g_protokoll.Printf(" im modus = %d gerechneter Lastfall = %d\n", mode, lf);
    g_protokoll.Printf(" $$$$$$$$$$$$$$$$$$$ Ergebnisse lf = %d\n", lf);
    const int r = Slot(first, position, K7);
    const int d = Slot(first + 1, position, K7);
    const int f = Slot(first + 2, position, E14);
    for (int i = 0; i < K7; ++i) {
        WD(r + i) = WD(reactions + i);
        WD(d + i) = WD(displacements + i);
    }
    for (int i = 0; i < E14; ++i)
        WD(f + i) = WD(forces + i);

    if (mode != 0 || rissSchalter != 0)
        return;
    if (lf == 0) {
        for (int i = INDEX[60]; i < INDEX[66] + 2 * nStaebe; ++i)
            WI(i) = 0;
    } else {
        // per component: lf governs the maximum (first 7K entries) or the minimum (next 7K entries)
        auto governing = [&](int slot, int values) {
            for (int i = 0; i < K7; ++i) {
                double largest = WD(Slot(values, 0, K7) + i);
                double smallest = largest;
                for (int c = 1; c < lf; ++c) {
                    const double v = WD(Slot(values, c, K7) + i);
                    largest = v > largest ? v : largest;
                    smallest = v < smallest ? v : smallest;
                }
                const double value = WD(Slot(values, lf, K7) + i);
                if (value == 0.0) {
                    WI(INDEX[slot] + i) = -1;
                    WI(INDEX[slot] + K7 + i) = -1;
                    continue;
                }
                if (value > largest)
                    WI(INDEX[slot] + i) = lf;
                if (value < smallest)
                    WI(INDEX[slot] + K7 + i) = lf;
            }
        };
        governing(60, 10);
        governing(61, 11);
    }
    // the output reads no governing combination for these reaction components
    for (int i = 3; i < K7; i += 3) {
        WI(INDEX[60] + i) = -1;
        WI(INDEX[60] + K7 + i) = -1;
    }
}
