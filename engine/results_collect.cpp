// The result records of a run, filled from the result areas of the work arrays and from the section results the
// engine kept per combination (g_combinationResults): one record per combination and pass.
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/quer.h"
#include "engine/rechner.h"
#include "engine/result_areas.h"
#include "engine/results.h"
#include "engine/workarrays.h"

namespace {

// True when the required area is the code minimum (the design alone would need no more).
bool MinimumGoverns(double erf, double minimum)
{
    return minimum > 0.0 && erf <= minimum * (1.0 + 1e-3);
}

// ---- the collection ----------------------------------------------------------------------------------------

constexpr int kModeSlot[3] = {kAreaReactions, kAreaCreepReactions,
                              kAreaSecondReactions};  // displacements and end forces follow

class ResultCollector {
public:
    ResultCollector(CStuetzenRechner& r, int gbStart, CResultContainer& out) : r_(r), gbStart_(gbStart), out_(out)
    {
        K_ = r.nKnoten;
        E_ = r.nStaebe;
        top_ = K_ > 0 ? r.x[K_ - 1] : 0.0;
        for (int s = 0; s < kStufen; ++s)
            da_[s] = s == 0 || r.stufeAktiv[s] != 0;
        for (int art : {kArtTr, kArtGb, kArtEdA, kArtEdB})
            for (int s = 0; s < kStufen; ++s)
                if (da_[s]) {
                    std::string path;
                    anzahl_[art][s] = std::max(0, r.OeffneKombiDatei(path, art, s, 1));
                }
        for (int s = 0; s < kStufen; ++s)
            nTr_ += anzahl_[kArtTr][s];
    }

    void Collect()
    {
        const bool voll =
            std::any_of(std::begin(r_.rechenSchalter), std::end(r_.rechenSchalter), [](int v) { return v; });
        // 1, 2: first order
        ForEachCombination(kArtTr, [&](int lk, int s, int c) { System(0, lk, s, 0, c); });
        if (voll)
            ForEachCombination(kArtEdA, [&](int lk, int s, int c) { System(0, lk, s, 1, c); });
        // 3: creep
        if (r_.kriechSchalter > 0)
            System(1, 1, 0, 2, 0);
        // 4, 5: second order; accidental combinations only where the second-order pass took them (the final system's
        // may be left out), so that no record shows results of a run that did not happen
        if (voll) {
            for (int art : {kArtTr, kArtEdA})
                ForEachCombination(
                    art,
                    [&](int lk, int s, int c) {
                        Eigenwerte(lk, s, c);
                        System(2, lk, s, 3, c);
                        Zustaende(lk, s, c);
                    },
                    art == kArtEdA);
        }
        // 6, 7: shear
        for (int art : {kArtTr, kArtEdA})
            ForEachCombination(
                art, [&](int lk, int s, int c) { Schub(lk, s, c); }, art == kArtEdA);
        // 8: crack
        ForEachCombination(kArtGb, [&](int lk, int s, int) { Riss(lk, s, gbStart_ + lk - 1); });
        // 9: fire
        Brand();
        // 10: foundation loads
        ForEachCombination(kArtTr, [&](int lk, int s, int c) { Fundament(lk, s, 0, c); });
        ForEachCombination(kArtEdA, [&](int lk, int s, int c) { Fundament(lk, s, 1, c); });
        // 11: required reinforcement
        ErfAs();
    }

private:
    // Calls fn(LK, stage, work-array index) for every combination of a kind; with zweiteOrdnung only for the accidental
    // combinations that the second-order pass calculated (they keep their numbers).
    template <class Fn>
    void ForEachCombination(int art, Fn fn, bool zweiteOrdnung = false)
    {
        int lk = art == kArtEdA ? nTr_ : 0;
        const int erste = lk;
        for (int s = 0; s < kStufen; ++s) {
            if (!da_[s])
                continue;
            for (int k = 0; k < anzahl_[art][s]; ++k) {
                ++lk;
                if (zweiteOrdnung && k >= r_.akzZweiteOrdnung[s])
                    continue;
                fn(lk, s, art == kArtGb ? lk - erste - 1 : lk - 1);
            }
        }
    }

    bool Fits(int slot, int c, int per) const
    {
        return c >= 0 &&
               (slot == kAreaCreepReactions || slot == kAreaCreepDisplacements || slot == kAreaCreepEndForces ||
                c < r_.nErgebnisPlaetze) &&
               WorkDFits(r_.Slot(slot, c, per), per);
    }
    // Component k of node n (reactions or displacements) in `slot`, 0 outside the areas.
    double Knoten(int slot, int c, int n, int k) const
    {
        return Fits(slot, c, 7 * K_) ? WD(r_.Slot(slot, c, 7 * K_) + 7 * n + k) : 0.0;
    }
    // Component k of element e at its end (ende) or start, from `slot`.
    double Stab(int slot, int c, int e, bool ende, int k) const
    {
        return Fits(slot, c, 14 * E_) ? WD(r_.Slot(slot, c, 14 * E_) + 14 * e + (ende ? 7 : 0) + k) : 0.0;
    }
    // Section value of combination c in a per-section slot.
    double Abschnitt(int slot, int c, int iq) const
    {
        return Fits(slot, c, 2 * E_) ? WD(r_.Slot(slot, c, 2 * E_) + iq) : 0.0;
    }
    double Kote(int n) const { return top_ - r_.x[n]; }
    // The field number of element e in the data model: 1 for the field at Kote 0 (the engine counts from the foot).
    int FeldNummer(int e) const { return r_.nFelder - r_.stabFeld[e]; }

    // The section results the run kept for combination c, whose end forces stand in `slot`.
    const CombinationResults* Kept(int slot, int c, KeptAnalysis analysis) const
    {
        if (!Fits(slot, c, 14 * E_) || E_ < 1)
            return nullptr;
        const CombinationResults* kept = g_combinationResults.Find(c, analysis);
        return kept && int(kept->sections.size()) >= 2 * E_ ? kept : nullptr;
    }

    static bool IsSupport(const double v[5])
    {
        double summe = 0.0;
        for (int k = 0; k < 5; ++k)
            summe += std::fabs(v[k]);
        return summe >= 0.001;
    }

    template <class R>
    R& NewRecord(std::vector<std::unique_ptr<R>>& list, int lk, int s, int typ)
    {
        list.push_back(std::make_unique<R>());
        R& rec = *list.back();
        rec.LK = lk;
        rec.System = s;
        rec.Typ = typ;
        return rec;
    }

    // Support forces, deformations and member forces of one analysis mode (0, 1, 2).
    void System(int mode, int lk, int s, int typ, int c)
    {
        const int rs = kModeSlot[mode], ds = rs + 1, fs = rs + 2;
        auto& lager = NewRecord(out_.Lagerkraefte, lk, s, typ);
        for (int n = K_ - 1; n >= 0; --n) {
            const double v[5] = {Knoten(rs, c, n, 0), Knoten(rs, c, n, 1), Knoten(rs, c, n, 2), Knoten(rs, c, n, 4),
                                 Knoten(rs, c, n, 5)};
            if (!IsSupport(v))
                continue;
            lager.Kote.push_back(Kote(n));
            lager.Apz.push_back(-v[0]);
            lager.Apy.push_back(v[1]);
            lager.Apx.push_back(v[2]);
            lager.Amy.push_back(v[3]);
            lager.Amx.push_back(v[4]);
        }
        auto& verf = NewRecord(out_.Verformung, lk, s, typ);
        for (int n = K_ - 1; n >= 0; --n) {
            verf.Kote.push_back(Kote(n));
            verf.w.push_back(-Knoten(ds, c, n, 0) * 1000.0);
            verf.v.push_back(Knoten(ds, c, n, 1) * 1000.0);
            verf.u.push_back(Knoten(ds, c, n, 2) * 1000.0);
            verf.phiy.push_back(Knoten(ds, c, n, 4) * 1000.0);
            verf.phix.push_back(Knoten(ds, c, n, 5) * 1000.0);
            const bool vor = mode == 2 && Fits(kAreaImperfections, c, 4 * K_);
            verf.v0.push_back(vor ? WD(r_.Slot(kAreaImperfections, c, 4 * K_) + 4 * n) * 1000.0 : 0.0);
            verf.w0.push_back(vor ? WD(r_.Slot(kAreaImperfections, c, 4 * K_) + 4 * n + 1) * 1000.0 : 0.0);
        }
        const CombinationResults* m = mode == 2 ? Kept(fs, c, KeptAnalysis::SecondOrder) : nullptr;
        auto& stab = NewRecord(out_.Schnittgroessen, lk, s, typ);
        ForEachMemberEnd([&](int e, bool ende, int iq) {
            stab.Kote.push_back(Kote(ende ? e + 1 : e));
            stab.N.push_back(Stab(fs, c, e, ende, 0));
            stab.Vy.push_back(Stab(fs, c, e, ende, 1));
            stab.Vx.push_back(Stab(fs, c, e, ende, 2));
            stab.My.push_back(Stab(fs, c, e, ende, 4));
            stab.Mx.push_back(Stab(fs, c, e, ende, 5));
            double eta = 0.0, erf = 0.0, asab = 0.0, by = 0.0, bx = 0.0;
            if (mode == 0) {
                const double g = Abschnitt(kAreaFirstSafety, c, iq);
                eta = g != 0.0 ? 1.0 / g : 0.0;
                erf = Abschnitt(kAreaFirstAsRequired, c, iq);
                // the ratio column reads 0 ("minimum") where the code minimum is what the section needs
                const double minimum = Abschnitt(kAreaFirstAsMinimum, c, iq);
                asab = MinimumGoverns(erf, minimum) ? 0.0 : Abschnitt(kAreaFirstRatio, c, iq);
            } else if (mode == 2) {
                const double g = Abschnitt(kAreaSecondSafety, c, iq);
                eta = g != 0.0 ? 1.0 / g : 0.0;
                if (m) {
                    by = m->sections[std::size_t(iq)].By;
                    bx = m->sections[std::size_t(iq)].Bz;
                }
            }
            stab.Eta.push_back(eta);
            stab.ErfAs.push_back(erf);
            stab.AsAb.push_back(asab);
            stab.By.push_back(by);
            stab.Bx.push_back(bx);
        });
    }

    // Two rows per element from the last: its end (section 2e + 1), then its start (section 2e).
    template <class Fn>
    void ForEachMemberEnd(Fn fn)
    {
        for (int e = E_ - 1; e >= 0; --e) {
            fn(e, true, 2 * e + 1);
            fn(e, false, 2 * e);
        }
    }

    void Eigenwerte(int lk, int s, int c)
    {
        auto& rec = NewRecord(out_.Verformung, lk, s, 4);
        if (!Fits(kAreaEigenvalues, c, 12))
            return;
        const int w = r_.Slot(kAreaEigenvalues, c, 12);
        const double block[6] = {WD(w), WD(w + 4), WD(w + 5), WD(w + 1), WD(w + 6), WD(w + 7)};
        std::copy(std::begin(block), std::end(block), rec.Eigen);
        auto norm = [](double a, double b) {
            const double n = std::sqrt(a * a + b * b);
            return n < 1.0e-8 ? 1.0e8 : n;
        };
        const double n1 = norm(block[1], block[2]), n2 = norm(block[4], block[5]);
        if (!(n1 <= 1.0e7 || n2 <= 1.0e7) || !Fits(kAreaEigenvectors, c, 28 * K_))
            return;
        const int formen = r_.Slot(kAreaEigenvectors, c, 28 * K_);
        for (int n = K_ - 1; n >= 0; --n) {
            rec.Kote.push_back(Kote(n));
            rec.u.push_back(0.0);
            rec.v.push_back(WD(formen + 7 * n + 1) / n1);
            rec.w.push_back(WD(formen + 7 * n + 2) / n1);
            rec.phix.push_back(0.0);
            rec.phiy.push_back(0.0);
            rec.v0.push_back(WD(formen + 7 * K_ + 7 * n + 1) / n2);
            rec.w0.push_back(WD(formen + 7 * K_ + 7 * n + 2) / n2);
        }
    }

    // Ultimate and strain checks of a second-order combination.
    void Zustaende(int lk, int s, int c)
    {
        const CombinationResults* m = Kept(kAreaSecondEndForces, c, KeptAnalysis::SecondOrder);
        auto& bruch = NewRecord(out_.Bruchschnittgroessen, lk, s, 3);
        auto& dehn = NewRecord(out_.Dehnschnittgroessen, lk, s, 3);
        ForEachMemberEnd([&](int e, bool ende, int iq) {
            const double kote = Kote(ende ? e + 1 : e);
            const SectionResults none;
            const SectionResults& section = m ? m->sections[std::size_t(iq)] : none;
            for (auto [rec, state] :
                 {std::pair<CResultBruchschnittgroessen*, const SectionState*>{&bruch, &section.ultimate},
                  std::pair<CResultBruchschnittgroessen*, const SectionState*>{&dehn, &section.strain}}) {
                rec->Kote.push_back(kote);
                rec->N.push_back(state->N);
                rec->My.push_back(state->My);
                rec->Mx.push_back(state->Mz);
                rec->eps1.push_back(state->eps1);
                rec->eps2.push_back(state->eps2);
                rec->epss.push_back(state->epss);
                rec->alfa.push_back(state->alfa);
            }
        });
    }

    void Schub(int lk, int s, int c)
    {
        const CombinationResults* m = Kept(kAreaSecondEndForces, c, KeptAnalysis::SecondOrder);
        auto& rec = NewRecord(out_.Schub, lk, s, 3);
        ForEachMemberEnd([&](int e, bool ende, int iq) {
            const SectionShear v = m ? m->sections[std::size_t(iq)].shear : SectionShear{};
            rec.Kote.push_back(Kote(ende ? e + 1 : e));
            rec.ved.push_back(v.ved);
            rec.cot.push_back(v.cot);
            rec.vrdct.push_back(v.vrdct);
            rec.vrdmax.push_back(v.vrdmax);
            rec.asb.push_back(v.asw);
            rec.strebe.push_back(v.strut);
            rec.QuerNr.push_back(FeldNummer(e));
        });
    }

    void Riss(int lk, int s, int c)
    {
        const CombinationResults* m = Kept(kAreaEndForces, c, KeptAnalysis::Serviceability);
        auto& rec = NewRecord(out_.Rissnachweis, lk, s, 3);
        ForEachMemberEnd([&](int e, bool ende, int iq) {
            const SectionCrack v = m ? m->sections[std::size_t(iq)].crack : SectionCrack{};
            const double row[9] = {Stab(kAreaEndForces, c, e, ende, 0),
                                   Stab(kAreaEndForces, c, e, ende, 4),
                                   Stab(kAreaEndForces, c, e, ende, 5),
                                   v.eps1,
                                   v.eps2,
                                   v.epss,
                                   v.sigma,
                                   v.tensionShare,
                                   v.tensionRatio};
            // the end row of an element below the last repeats the start row of the element above it: left out
            if (ende && e < E_ - 1 && !rec.Kote.empty()) {
                const std::size_t p = rec.Kote.size() - 1;
                const double vorher[9] = {rec.N[p],    rec.My[p],    rec.Mx[p],   rec.eps1[p], rec.eps2[p],
                                          rec.epss[p], rec.sigma[p], rec.azab[p], rec.nue[p]};
                bool gleich = true;
                for (int k = 0; k < 9; ++k)
                    gleich = gleich && std::fabs(row[k] - vorher[k]) < 0.001;
                if (gleich)
                    return;
            }
            rec.Kote.push_back(Kote(ende ? e + 1 : e));
            rec.N.push_back(row[0]);
            rec.My.push_back(row[1]);
            rec.Mx.push_back(row[2]);
            rec.eps1.push_back(row[3]);
            rec.eps2.push_back(row[4]);
            rec.epss.push_back(row[5]);
            rec.sigma.push_back(row[6]);
            rec.azab.push_back(row[7]);
            rec.nue.push_back(row[8]);
        });
    }

    void Brand()
    {
        const int n = anzahl_[kArtTr][0];
        const auto& engine = g_ergebnisse.Brandschnittgroessen;
        for (int i = 0; i < anzahl_[kArtEdB][0]; ++i) {
            auto& rec = NewRecord(out_.Brandschnittgroessen, n + i + 1, 0, 1);
            // a failed check keeps no rows, only its failing fields
            if (i < int(engine.size()) && engine[std::size_t(i)]) {
                rec = *engine[std::size_t(i)];
                rec.LK = n + i + 1;
                rec.System = 0;
                rec.Typ = 1;
            }
        }
    }

    void Fundament(int lk, int s, int typ, int c)
    {
        auto& rec = NewRecord(out_.Fundkraefte, lk, s, typ);
        for (int n = K_ - 1; n >= 0; --n) {
            const double v1[5] = {Knoten(kAreaReactions, c, n, 0), Knoten(kAreaReactions, c, n, 1),
                                  Knoten(kAreaReactions, c, n, 2), Knoten(kAreaReactions, c, n, 4),
                                  Knoten(kAreaReactions, c, n, 5)};
            const double v2[5] = {Knoten(kAreaSecondReactions, c, n, 0), Knoten(kAreaSecondReactions, c, n, 1),
                                  Knoten(kAreaSecondReactions, c, n, 2), Knoten(kAreaSecondReactions, c, n, 4),
                                  Knoten(kAreaSecondReactions, c, n, 5)};
            double summe[5];
            for (int k = 0; k < 5; ++k)
                summe[k] = std::fabs(v1[k]) + std::fabs(v2[k]);
            if (!IsSupport(summe))
                continue;
            int knr = 0;
            for (int j = 0; j <= r_.nFelder && j <= kMaxFelder; ++j)
                if (std::fabs(r_.x[n] - r_.koor[j]) < 0.001)
                    knr = r_.nFelder - j + 1;
            rec.KNr.push_back(knr);
            rec.Kote.push_back(Kote(n));
            rec.Apx.push_back(v1[2]);
            rec.Apy.push_back(v1[1]);
            rec.Apz.push_back(-v1[0]);
            rec.Amy.push_back(v1[3]);
            rec.Amx.push_back(v1[4]);
            rec.dAmy.push_back(std::fabs(v2[3]) < 0.001 ? 0.0 : v2[3] - v1[3]);
            rec.dAmx.push_back(std::fabs(v2[4]) < 0.001 ? 0.0 : v2[4] - v1[4]);
        }
    }

    // The governing combination as the report numbers it: "Ed" and "Ed,A" over all stages from 1, "Ed,perm" from 1,
    // fire as its fire record.
    int LKNr(int index, int art) const
    {
        switch (art) {
        case 3: return index - r_.rissBasis + 1;
        case 4: return index - (gbStart_ - anzahl_[kArtEdB][0]) + anzahl_[kArtTr][0] + 1;
        default: return index + 1;
        }
    }

    void ErfAs()
    {
        out_.ErfAs.push_back(std::make_unique<CResultErfAs>());
        CResultErfAs& rec = *out_.ErfAs.back();
        for (int e = E_ - 1; e >= 0; --e) {
            const int ende = 2 * e + 1, anfang = 2 * e;
            const double asEnde = g_quer[ende].m_bem.HoleAS() * 10000.0;
            const double asAnfang = g_quer[anfang].m_bem.HoleAS() * 10000.0;
            const int iq = asEnde > asAnfang ? ende : anfang;
            const double as = std::max(asEnde, asAnfang);
            for (int n : {e + 1, e}) {
                rec.Kote.push_back(Kote(n));
                rec.As.push_back(as);
                rec.QuerNr.push_back(FeldNummer(e));
                rec.LKNr.push_back(LKNr(r_.LKBem[iq][0], r_.LKBem[iq][1]));
                rec.NachTyp.push_back(r_.LKBem[iq][1]);
            }
        }
    }

    CStuetzenRechner& r_;
    int gbStart_;
    CResultContainer& out_;
    int K_ = 0, E_ = 0;
    double top_ = 0.0;
    bool da_[kStufen] = {};
    int anzahl_[5][kStufen] = {};
    int nTr_ = 0;
};

}  // namespace

int DruckeErgebnisse(int gbStart, CResultContainer& out)
{
    CStuetzenRechner& r = g_rechner;
    if (r.nKnoten < 2 || r.nStaebe < 1 || g_workD == nullptr)
        return 0;
    ResultCollector(r, gbStart, out).Collect();
    return 0;
}

std::vector<int> MembersPerField(int nFields)
{
    std::vector<int> members(std::size_t(std::max(nFields, 0)), 0);
    for (int e = g_rechner.nStaebe - 1; e >= 0; --e) {
        const int f = g_rechner.stabFeld[e];
        if (f >= 0 && f < nFields)
            ++members[std::size_t(nFields - 1 - f)];
    }
    return members;
}
