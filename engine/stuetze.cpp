// The pass sequence of a column calculation over the construction stages and kinds of combination file,
// the governing reinforcement kept between the passes, and the storage of design and fire results.
#include <algorithm>
#include <cmath>
#include <memory>

#include "engine/progress.h"
#include "engine/protocol.h"
#include "engine/quer.h"
#include "engine/rechner.h"
#include "engine/result_areas.h"
#include "engine/results.h"
#include "engine/workarrays.h"
#include "engine/zeichnen.h"

namespace {

constexpr double kAsVergleich = 1.0000001;  // a raise must exceed the kept area by this factor
constexpr double kNichtGesetzt = 1e-11;     // m2: no governing area kept yet

// Bookkeeping of one run: the protocol and the progress display end with it on every path.
class RunScope {
public:
    RunScope(CDC* dc, int textX, int textY) : m_dc(dc), m_x(textX), m_y(textY) {}
    ~RunScope()
    {
        g_protokoll.Close();
        if (m_progress)
            Progress().Destroy();
    }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

    void WithProgress(int nSteps)
    {
        m_progress = true;
        Progress().Create();
        Progress().SetStep(std::max(1, 100 / std::max(1, nSteps)));
    }
    void Step(const char* status) const
    {
        if (!m_progress)
            return;
        Progress().SetStatus(status);
        Progress().StepIt();
    }
    void Note(const char* text) const
    {
        if (m_dc)
            ZeichneText(m_dc, m_x, m_y, text, 12, 0.0f, 0, 0x000000);
    }

private:
    CDC* m_dc;
    int m_x, m_y;
    bool m_progress = false;
};

}  // namespace

namespace {

// The passes of a full calculation over the stages present, with the slot bookkeeping they share. A pass
// that fails reports its code and returns false; the run then ends.
class PassSequence {
public:
    PassSequence(CStuetzenRechner& r, CDC* dc, RunScope& run) : r(r), dc(dc), run(run), trNummer(NORM == 0 ? 1 : 0)
    {
        for (int s = 0; s < kStufen; ++s)
            if (s == 0 || r.stufeAktiv[s])
                stufen[nStufen++] = s;
    }

    bool ErsteOrdnung();
    bool ErsteOrdnungAussergewoehnlich(int bAccidentalFinal);
    bool Eigenwerte();
    void Kriechen();
    void Vorverformungen();
    bool ZweiteOrdnung();
    bool ZweiteOrdnungAussergewoehnlich();
    bool Brand();
    bool Gebrauch();

    int gbStart = 0;

private:
    bool Abbruch(int code)
    {
        r.MeldeLaufFehler(code);
        run.Note("FEHLER bei der Berechnung");
        return false;
    }
    // a selection beyond the capacities of the combination set ends the run with its reason
    bool Waehle(int kind, int mode, int stage)
    {
        if (r.Waehle(kind, mode, stage) < 0) {
            r.MeldeAuswahlFehler();
            return false;
        }
        return true;
    }
    int Oeffne(int kind, int stage)
    {
        std::string path;
        return std::max(0, r.OeffneKombiDatei(path, kind, stage, 1));
    }
    int Anzahl(int n) const { return std::min(n, r.kombi.nAusgewaehlt); }
    // A second-order run with its own eigenvalues and imperfections, as the accidental and fire passes make it.
    int MitImperfektion(int k, int s);

    CStuetzenRechner& r;
    CDC* dc;
    RunScope& run;
    const int trNummer;
    int stufen[kStufen] = {};
    int nStufen = 0;
    int nAcc[kStufen] = {};
    int nEig[kStufen] = {};
    int base = 0;
    int nTr = 0;
    int nEdA = 0;
};

// first order, "Tr"
bool PassSequence::ErsteOrdnung()
{
    for (int i = 0; i < nStufen; ++i) {
        const int s = stufen[i];
        r.aktSystem = s;
        NKOMBI = Oeffne(kArtTr, s);
        if (!Waehle(trNummer, 0, s))
            return Abbruch(0);
        g_protokoll.Printf(" RegelNachweis für sys = %d lfzahl = %d\n", s, NKOMBI);
        const int n = NKOMBI;
        for (int k = 0; k < Anzahl(n); ++k) {
            run.Step("Berechnung der Tragsicherheit Th. 1. 0.");
            const int code = r.RechneDltr3DUndMelde(dc, 0, k, base);
            if (code > 0)
                return Abbruch(code);
            r.MerkeMassgebend(k, base, 0);
        }
        base += n;
        nTr += n;
    }
    return true;
}

// first order, accidental "EdA": every stage's combinations keep their slots after the "Tr" ones, also those
// of the final system that the second-order pass leaves out
bool PassSequence::ErsteOrdnungAussergewoehnlich(int bAccidentalFinal)
{
    r.aussergewoehnlich = 1;
    for (int i = 0; i < nStufen; ++i) {
        const int s = stufen[i];
        r.aktSystem = s;
        NKOMBI = Oeffne(kArtEdA, s);
        if (NKOMBI == 0)
            continue;
        if (!Waehle(1, NORM != 0 ? 1 : 0, s))
            return Abbruch(0);
        g_protokoll.Printf(" RegelNachweis für sys = %d lfzahl = %d\n", s, NKOMBI);
        const int n = NKOMBI;
        for (int k = 0; k < Anzahl(n); ++k) {
            run.Step("Berechnung der Tragsicherheit Th. 1. 0.");
            const int code = r.RechneDltr3DUndMelde(dc, 0, k, base);
            if (code > 0)
                return Abbruch(code);
            r.MerkeMassgebend(k, base, 1);
        }
        base += n;
        nEdA += n;
        if (s != 0 || bAccidentalFinal)
            nAcc[s] += n;
    }
    r.aussergewoehnlich = 0;
    std::copy(std::begin(nAcc), std::end(nAcc), std::begin(r.akzZweiteOrdnung));
    return true;
}

// buckling eigenvalues of the "Tr" combinations
bool PassSequence::Eigenwerte()
{
    base = 0;
    for (int i = 0; i < nStufen; ++i) {
        const int s = stufen[i];
        r.aktSystem = s;
        Oeffne(kArtTr, s);
        if (!Waehle(trNummer, 0, s))
            return Abbruch(0);
        const int gespeichert = NKOMBI;
        NKOMBI = nTr;
        const int n = r.kombi.nAusgewaehlt;
        for (int k = 0; k < n; ++k) {
            run.Step("Berechnung der Eigenwerte");
            r.RechneDltr3DUndMelde(dc, -1, k, base);
        }
        NKOMBI = gespeichert;
        nEig[s] += n;
        base += n;
    }
    return true;
}

void PassSequence::Kriechen()
{
    if (r.kriechSchalter <= 0)
        return;
    r.aktSystem = 0;
    run.Step("Berechnung TQ-KOLUMO (Kriechen)");
    // the final system's imperfection creeps with the permanent load: it leans as the creep load's own
    // deformation and buckling modes say
    r.RechneDltr3DUndMelde(dc, -1, kKriechLast, 0);
    r.MeldeVorverformungen(r.RechneKriechVorverformung());
    r.RechneDltr3DUndMelde(dc, 1, 0, 0);
}

void PassSequence::Vorverformungen()
{
    g_protokoll.Printf("RechneVorverformungen\n");
    int c = 0;
    for (int i = 0; i < nStufen; ++i) {
        const int s = stufen[i];
        const int gespeichert = NKOMBI;
        NKOMBI = nTr;
        for (int j = 0; j < nEig[s]; ++j)
            r.MeldeVorverformungen(r.RechneVorverformungen(c + j, s));
        NKOMBI = gespeichert;
        c += nEig[s];
    }
}

// second order
bool PassSequence::ZweiteOrdnung()
{
    base = 0;
    for (int i = 0; i < nStufen; ++i) {
        const int s = stufen[i];
        r.aktSystem = s;
        if (!Waehle(trNummer, 0, s))
            return Abbruch(0);
        const int n = r.kombi.nAusgewaehlt;
        for (int k = 0; k < std::min(nEig[s], n); ++k) {
            g_protokoll.Printf(" KnickNachweis für sys = %d lfzahl = %d\n", s, n);
            run.Step("Berechnung der Tragsicherheit Th. 2. 0.");
            const int code = r.RechneDltr3DUndMelde(dc, 2, k, base);
            if (code > 0)
                return Abbruch(code);
            r.MerkeMassgebend(k, base, 2);
        }
        base += n;
    }
    return true;
}

int PassSequence::MitImperfektion(int k, int s)
{
    r.RechneDltr3DUndMelde(dc, -1, k, base);
    r.MeldeVorverformungen(r.RechneVorverformungen(base + k, s));
    return r.RechneDltr3DUndMelde(dc, 2, k, base);
}

// accidental second order
bool PassSequence::ZweiteOrdnungAussergewoehnlich()
{
    if (!std::any_of(std::begin(nAcc), std::end(nAcc), [](int n) { return n > 0; }))
        return true;
    base = nTr;
    for (int i = 0; i < nStufen; ++i) {
        const int s = stufen[i];
        r.aktSystem = s;
        r.aussergewoehnlich = 1;
        NKOMBI = Oeffne(kArtEdA, s);
        // as in first order: a stage without the file has no slots
        if (NKOMBI == 0)
            continue;
        if (!Waehle(1, NORM != 0 ? 1 : 0, s))
            return Abbruch(0);
        const int n = r.kombi.nAusgewaehlt;
        for (int k = 0; k < std::min(nAcc[s], n); ++k) {
            r.aussergewoehnlich = 0;
            run.Step("Berechnung der Eigenwerte");
            const int code = MitImperfektion(k, s);
            if (code > 0)
                return Abbruch(code);
            r.MerkeMassgebend(k, base, 5);
        }
        base += n;
    }
    r.aussergewoehnlich = 0;
    return true;
}

// fire, "EdB" of the final system: its slots follow those of every accidental combination, so that the
// accidental second-order results of a stage stay whether or not the final system's took part
bool PassSequence::Brand()
{
    r.rissSchalter = 0;
    g_ergebnisse.Brandschnittgroessen.clear();
    NKOMBI = Oeffne(kArtEdB, 0);
    base = nTr + nEdA;
    if (NKOMBI <= 0)
        return true;
    const int n = NKOMBI;
    r.aussergewoehnlich = 1;
    r.aktSystem = 0;
    if (!Waehle(trNummer, 0, 0))
        return Abbruch(0);
    for (int k = 0; k < Anzahl(n); ++k) {
        run.Step("Berechnung Brandschutznachweis");
        const int code = MitImperfektion(k, 0);
        if (code > 0)
            return Abbruch(code);
        r.SpeichereBrandErgebnis();
        r.MerkeMassgebend(k, base, 4);
        r.AsAusRegelbemessung(1);
        r.MerkeMassgebend(k, base, 4);
    }
    base += n;
    return true;
}

// serviceability, "Gb": after the fire slots
bool PassSequence::Gebrauch()
{
    r.rissSchalter = 1;
    r.aussergewoehnlich = 0;
    r.rissBasis = base;
    gbStart = base;
    for (int i = 0; i < nStufen; ++i) {
        const int s = stufen[i];
        r.aktSystem = s;
        NKOMBI = Oeffne(kArtGb, s);
        if (!Waehle(2, 3, s))
            return Abbruch(0);
        const int n = r.kombi.nAusgewaehlt;
        g_protokoll.Printf(" RissNachweis für sys = %d lfzahl = %d\n", s, n);
        for (int k = 0; k < std::min(NKOMBI, n); ++k) {
            run.Step("Berechnung der Gebrauchstauglichkeit");
            const int code = r.RechneDltr3DUndMelde(dc, 0, k, base);
            if (code > 0)
                return Abbruch(code);
            r.MerkeMassgebend(k, base, 3);
        }
        base += n;
    }
    return true;
}

}  // namespace

int CStuetzenRechner::RechneStuetze(CDC* dc, int nSteps, int nFirstFree, int bAccidentalFinal)
{
    // state of the run
    rissSchalter = 0;
    textX = 5;
    textY = 5 * 3;
    INDEX[0] = INDEX[1] = nFirstFree;
    g_combinationResults.Clear();
    protokollDetail = 1;
    g_protokoll.Open(ProtocolPath().c_str());
    aussergewoehnlich = 0;
    RunScope run(dc, textX, textY);
    run.WithProgress(nSteps);

    // the member model and the sections
    BerechneFeldKoordinaten();
    const int setup = BaueModell();
    ZeigeSetupMeldungen(setup);
    if (setup != kSetupOk && setup != kSetupKeineKombinationen) {
        run.Note("FEHLER bei der Berechnung");
        return 0;
    }
    SetzeQuerUm();
    g_protokoll.Printf("Ende SetzeQuerUm()\n");

    PassSequence passes(*this, dc, run);
    std::fill(std::begin(bwFaktor), std::end(bwFaktor), 0.0);
    if (!passes.ErsteOrdnung() || !passes.ErsteOrdnungAussergewoehnlich(bAccidentalFinal))
        return 0;
    // reinforcement of the regular design
    if (rechenSchalter[12])
        AsAusRegelbemessung(0);
    g_protokoll.Printf("Vorverformungen\n");
    if (!passes.Eigenwerte())
        return 0;
    passes.Kriechen();
    passes.Vorverformungen();
    if (!passes.ZweiteOrdnung() || !passes.ZweiteOrdnungAussergewoehnlich() || !passes.Brand() || !passes.Gebrauch())
        return 0;

    // end: the caller finds the serviceability results from the first slot after the ultimate ones
    run.Note("ENDE der Berechnung");
    return passes.gbStart;
}

int CStuetzenRechner::RechneRegelNachweis(CDC* dc, int /*nSteps*/, int nFirstFree)
{
    rissSchalter = 0;
    textX = 5;
    textY = 5 * 3;
    INDEX[0] = INDEX[1] = nFirstFree;
    g_combinationResults.Clear();
    g_protokoll.Close();
    aussergewoehnlich = 0;
    RunScope run(dc, textX, textY);

    BerechneFeldKoordinaten();
    const int setup = BaueModell();
    ZeigeSetupMeldungen(setup);
    if (setup != kSetupOk && setup != kSetupKeineKombinationen)
        return 0;
    SetzeQuerUm();
    std::fill(std::begin(bwFaktor), std::end(bwFaktor), 0.0);

    int base = 0;
    int summe = 0;
    for (int s = 0; s < kStufen; ++s) {
        if (s > 0 && !stufeAktiv[s])
            continue;
        aktSystem = s;
        std::string path;
        NKOMBI = std::max(0, OeffneKombiDatei(path, kArtTr, s, 1));
        if (Waehle(NORM == 0 ? 1 : 0, 0, s) < 0) {
            MeldeAuswahlFehler();
            return 0;
        }
        const int n = NKOMBI;
        for (int k = 0; k < std::min(n, kombi.nAusgewaehlt); ++k) {
            if (k > 0)
                ersteKombiLast = 0.0;
            const int code = RechneDltr3DUndMelde(dc, 0, k, base);
            if (code > 0) {
                // codes 1, 2 and 99 to the error log; a design beyond the reinforcement ratio limit is
                // reported here too
                MeldeLaufFehler(code);
                return 0;
            }
        }
        base += n;
        summe += n;
    }
    return summe;
}

void CStuetzenRechner::MerkeMassgebend(int k, int base, int kind, int before)
{
    if (before != 0)
        return;
    const int n = k + base;
    const int nSections = std::min(2 * nStaebe, kMaxQuerschnitte);
    for (int i = 0; i < nSections; ++i) {
        const cBem& bem = g_quer[i].m_bem;
        const double vorh = bem.HoleAS();
        if (kind >= 2) {
            if (vorh > AusAs[i] * kAsVergleich) {
                g_protokoll.Printf("vorher AusAs[%d] = %lf, LKBem[%d][0] = %d, LKBem[%d][1] = %d \n", i,
                                   AusAs[i] * 10000.0, i, LKBem[i][0], i, LKBem[i][1]);
                AusAs[i] = vorh;
                LKBem[i][0] = n;
                LKBem[i][1] = kind;
                g_protokoll.Printf("nachher AusAs[%d] = %lf, LKBem[%d][0] = %d, LKBem[%d][1] = %d \n", i,
                                   AusAs[i] * 10000.0, i, LKBem[i][0], i, LKBem[i][1]);
            }
        } else {
            const double bw = bem.bwfakt;
            if (AusAs[i] < kNichtGesetzt) {
                AusAs[i] = bw > 1.0 ? vorh * bw : vorh;
                LKBem[i][0] = n;
                LKBem[i][1] = kind;
            }
            if (bw > 1.0 && vorh * bw > AusAs[i]) {
                AusAs[i] = vorh * bw;
                LKBem[i][0] = n;
                LKBem[i][1] = kind;
            }
        }
    }
}

void CStuetzenRechner::AsAusRegelbemessung(int mode)
{
    const int nSections = std::min(2 * nStaebe, kMaxQuerschnitte);
    g_protokoll.Printf("&&&&&&&&& AS aus REGELBEMESSUNG &&&&&&&&&&&&&");
    g_protokoll.Printf(" n = %d\n", mode);
    for (int i = 0; i < nSections; ++i) {
        const double as0 = g_quer[i].m_bem.HoleAS();
        const double bw = bwFaktor[i];
        g_protokoll.Printf("iqu= %d : AS0 = %.2f", i, as0 * 10000.0);
        g_protokoll.Printf(" mit bw = %.3f --> ASREGEL = %.2f\n", bw, (bw > 1.0 ? as0 * bw : as0) * 10000.0);
    }
    for (int f = 0; f < nFelder; ++f) {
        double asmax = 0.0;
        if (mode == 1) {
            for (int e = 0; e < nStaebe; ++e)
                if (stabFeld[e] == f)
                    for (int i = 2 * e; i <= 2 * e + 1; ++i)
                        asmax = std::max(asmax, g_quer[i].m_bem.HoleAS());
            g_protokoll.Printf("asmax[%d] = %.2f\n", f, asmax * 10000.0);
            for (int e = 0; e < nStaebe; ++e)
                if (stabFeld[e] == f)
                    for (int i = 2 * e; i <= 2 * e + 1; ++i) {
                        g_quer[i].m_bem.SetzeAS(asmax);
                        g_protokoll.Printf("Neues As[%d] = %.2f\n", i, g_quer[i].m_bem.HoleAS() * 10000.0);
                    }
        } else if (mode == 0) {
            int massgebend = -1;
            for (int e = 0; e < nStaebe; ++e) {
                if (stabFeld[e] != f)
                    continue;
                // of a member's two sections the end section wins a tie; across members only a larger
                // factor replaces the kept one
                int besser = bwFaktor[2 * e + 1] >= bwFaktor[2 * e] ? 2 * e + 1 : 2 * e;
                if (massgebend < 0 || bwFaktor[besser] > asmax) {
                    asmax = bwFaktor[besser];
                    massgebend = besser;
                }
            }
            g_protokoll.Printf("asmax[%d] = %.2f\n", f, asmax);
            if (massgebend < 0 || !(asmax > 1.0))
                continue;
            for (int e = 0; e < nStaebe; ++e)
                if (stabFeld[e] == f)
                    for (int i = 2 * e; i <= 2 * e + 1; ++i) {
                        g_quer[i].m_bem.AsErhoeheung(asmax);
                        AusAs[i] = AusAs[massgebend];
                        LKBem[i][0] = LKBem[massgebend][0];
                        LKBem[i][1] = LKBem[massgebend][1];
                        g_protokoll.Printf("Neues As[%d] = %.2f\n", i, g_quer[i].m_bem.HoleAS() * 10000.0);
                    }
        }
    }
}

void CStuetzenRechner::SpeichereBrandErgebnis()
{
    auto record = std::make_unique<CResultBrandschnittgroessen>();
    record->System = 0;
    const int nSections = std::min(2 * nStaebe, kMaxQuerschnitte);
    bool alle = true;
    for (int i = 0; i < nSections; ++i)
        alle = alle && brandBlock[i].OK == 1;
    record->OK = alle ? 1 : 0;
    if (alle) {
        for (int e = nStaebe - 1; e >= 0; --e)
            for (int i : {2 * e + 1, 2 * e}) {
                const BrandErgebnisBlock& b = brandBlock[i];
                // the end section lies at the member's upper node
                record->Kote.push_back(i == 2 * e + 1 ? x[e + 1] : x[e]);
                record->N.push_back(b.NEdfi);
                record->My.push_back(b.My);
                record->Mx.push_back(b.Mz);
                record->Nrd.push_back(b.NR);
                record->alfa.push_back(b.muefi);
                record->minB.push_back(b.bErf);
                record->minDeck.push_back(b.aErf);
                record->As.push_back(b.As * 10000.0);
            }
    } else {
        // One entry per field and reason, from the head down: the field's largest demand stands for its sections.
        for (int e = nStaebe - 1; e >= 0; --e)
            for (int i : {2 * e + 1, 2 * e}) {
                const BrandErgebnisBlock& b = brandBlock[i];
                if (b.OK == 1 || i >= nSections)
                    continue;
                const int feld = nFelder - stabFeld[e];
                std::size_t k = 0;
                while (k < record->FeldNr.size() && !(record->FeldNr[k] == feld && record->Grund[k] == b.grund))
                    ++k;
                if (k == record->FeldNr.size()) {
                    record->FeldNr.push_back(feld);
                    record->Grund.push_back(b.grund);
                    for (ResultColumn* c :
                         {&record->erfB, &record->erfA, &record->vorhB, &record->vorhA, &record->Grad})
                        c->push_back(0.0);
                }
                record->erfB[k] = std::max(record->erfB[k], b.bErf);
                record->erfA[k] = std::max(record->erfA[k], b.aErf);
                record->vorhB[k] = b.bVorh;
                record->vorhA[k] = b.aVorh;
                record->Grad[k] = std::max(record->Grad[k], b.grad);
            }
    }
    g_ergebnisse.Brandschnittgroessen.push_back(std::move(record));
}

void CStuetzenRechner::SpeichereBemessungswerte(int mode, int lf, int endForces)
{
    if (mode != 0 && mode != 2)
        return;
    const int E2 = 2 * nStaebe;
    const int nSections = std::min(E2, kMaxQuerschnitte);
    auto slot = [&](int s, int c, int i) -> double& { return WD(Slot(s, c, E2) + i); };
    auto gueltig = [&](int c) { return c >= 0 && c < nErgebnisPlaetze; };
    for (int i = 0; i < nSections; ++i) {
        const cBem& bem = g_quer[i].m_bem;
        // the section's forces: the element's start values for 2e, end values for 2e + 1
        const int f = endForces + 14 * (i / 2) + 7 * (i % 2);
        const double N = WD(f), My = WD(f + 4), Mz = WD(f + 5);
        const double as = bem.HoleAS() * 10000.0;
        const double gamma = bem.m_slots[kBemSlotGamma];
        if (mode == 0) {
            // what this combination asks of the section: the present bars scaled by the design factor, and
            // never less than the code's minimum that the design started from
            const double asMin = std::max(bem.m_minmue, 0.0) * std::max(bem.m_ac, 0.0) * 100.0;
            const double asErf = std::max(as * std::max(bem.bwfakt, 0.0), asMin);
            const double werte[9] = {N, My, Mz, asErf, asMin, gamma, bem.m_mue, bem.m_eps1b, bem.m_eps2s};
            for (int j = 0; j < 9; ++j)
                slot(kAreaFirstN + j, lf, i) = werte[j];
            int& gov = WI(INDEX[rissSchalter == 1 ? kGoverningCrackStrain : kGoverningFirstSafety] + i);
            if (rissSchalter == 1) {
                // the strain check: the combination with the largest steel strain
                const bool frueher = gueltig(gov) && gov >= rissBasis;
                const double bisher = frueher ? slot(kAreaFirstEpsSteel, gov, i) : -1e300;
                g_protokoll.Printf(" rmin[%d] = %.3f eps = %.3f bisher lf = %d\n", i, bisher, bem.m_eps2s, gov);
                if (!frueher || gov == lf || bem.m_eps2s > bisher) {
                    gov = lf;
                    g_protokoll.Printf(" ---> neuer lf = %d\n", gov);
                }
            } else {
                const double bisher = gueltig(gov) ? slot(kAreaFirstSafety, gov, i) : 1e300;
                g_protokoll.Printf(" rmin[%d] = %.2f vorh. gam = %.2f bisher lf = %d\n", i, bisher, gamma, gov);
                if (!gueltig(gov) || gov == lf || gamma < bisher) {
                    gov = lf;
                    g_protokoll.Printf(" ---> neuer lf = %d\n", gov);
                }
                g_protokoll.Printf("(i=%d): As = %.3f gam = %.3f bwfakt = %.3f mue = %.3f\n", i, as, gamma, bem.bwfakt,
                                   bem.m_mue);
                if (bem.bwfakt > bwFaktor[i])
                    bwFaktor[i] = bem.bwfakt;
            }
        } else {
            slot(kAreaSecondN, lf, i) = N;
            slot(kAreaSecondMy, lf, i) = My;
            slot(kAreaSecondMz, lf, i) = Mz;
            for (int j = kBemSlotKind1; j <= kBemSlotKz; ++j)
                slot(kAreaSecondDesignValues + j - kBemSlotKind1, lf, i) = bem.m_slots[j];
            slot(kAreaSecondSafety, lf, i) = gamma;
            slot(kAreaSecondAs, lf, i) = as;
            slot(kAreaSecondEpsConcrete, lf, i) = bem.m_eps1b;
            int& gov = WI(INDEX[kGoverningSecondSafety] + i);
            const double bisher = gueltig(gov) ? slot(kAreaSecondSafety, gov, i) : 1e300;
            g_protokoll.Printf(" rmin[%d] = %.2f vorh. gam = %.2f bisher lf = %d\n", i, bisher, gamma, gov);
            if (!gueltig(gov) || gov == lf || gamma < bisher) {
                gov = lf;
                g_protokoll.Printf(" ---> neuer lf = %d\n", gov);
            }
        }
    }
}
