// The pass sequence of a calculation over hand-written combination files of two stages, the governing
// reinforcement kept between passes, the raise of the reinforcement field by field and the fire records.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <tuple>

#include "engine/progress.h"
#include "engine/results.h"
#include "frame_fixture.h"

using namespace frame_test;

namespace {

// Runs in the test's folder, where the protocol "kolumoorg.txt" is written.
class Durchlauf : public FrameTest {
protected:
    std::filesystem::path m_alt;

    void SetUp() override
    {
        FrameTest::SetUp();
        m_alt = std::filesystem::current_path();
        std::filesystem::current_path(m_dir);
        // 4 m in two fields of two members, fixed at the foot, stages 0 and 1
        Stuetze({2.0, 2.0}, 2);
        g_rechner.stufeAktiv[1] = 1;
        for (int s : {0, 1}) {
            Lager(s, 0, 1, kEingespannt);
            Einzellast(s, 0, 1, {-300.0, 0, 0, 0, 0});
            Einzellast(s, 0, 2, {0, 5.0, 2.0, 0, 0});
        }
        g_rechner.imperfektion[0].art = 1;
        g_rechner.imperfektion[0].Kriech_CKAusm = 1;
        g_rechner.imperfektion[0].teiler = 200.0;
        g_rechner.imperfektion[1].art = 0;
        g_rechner.imperfektion[1].neigung = 1.0 / 200.0;
        g_rechner.kriechSchalter = 1;
        g_rechner.kriechZahl = 1.5;
        g_rechner.nKriech = 1;
        g_rechner.kriechLf[0] = 1;
        g_rechner.kriechFakt[0] = 0.5;
        for (int& s : g_rechner.rechenSchalter)
            s = 1;
        Datei(kArtTr, 0, {{"Ed", "1.35*(1)+1.50*(2)+"}, {"Ed", "1.00*(1)+1.50*(2)+"}});
        Datei(kArtTr, 1, {{"Ed", "1.35*(1)+1.50*(2)+"}});
        Datei(kArtEdA, 1, {{"Ed,A", "1.00*(1)+1.00*(2)+"}});
        Datei(kArtEdB, 0, {{"Ed", "1.00*(1)+0.50*(2)+"}});
        Datei(kArtGb, 0, {{"Ed,quasi_ständig", "1.00*(1)+0.30*(2)+"}});
        Datei(kArtGb, 1, {{"Ed,häufig", "1.00*(1)+0.50*(2)+"}});
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_alt);
        g_ergebnisse.Brandschnittgroessen.clear();
        FrameTest::TearDown();
    }

    static std::vector<std::string> Protokoll()
    {
        std::ifstream in("kolumoorg.txt");
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line))
            lines.push_back(line);
        return lines;
    }
    // The lines that mark the passes and the analyses, in order.
    static std::vector<std::string> Marken()
    {
        std::vector<std::string> marken;
        for (const std::string& l : Protokoll())
            if (l.starts_with("Ende SetzeQuerUm") || l.starts_with(" RegelNachweis") || l == "Vorverformungen" ||
                l == "RechneVorverformungen" || l.starts_with(" KnickNachweis") || l.starts_with(" RissNachweis") ||
                l.starts_with("===== RechneDltr3D"))
                marken.push_back(l);
        return marken;
    }
    static std::string Lauf(const char* text, int mode, int lf, int base)
    {
        char buf[160];
        std::snprintf(buf, sizeof buf, "===== RechneDltr3D: %s (modus = %d, lf = %d, base = %d)", text, mode, lf, base);
        return buf;
    }
};

}  // namespace

TEST_F(Durchlauf, EveryPassInOrderAndTheUltimateSlotCount)
{
    std::ofstream("kolumoorg.txt") << "vom letzten Lauf\n";
    // "Tr": 2 + 1, "EdA" of stage 1: 1 (counted), "EdB": 1 -> 5 ultimate slots
    EXPECT_EQ(g_rechner.RechneStuetze(nullptr, 10, 1000, 0), 5);
    const std::vector<std::string> erwartet = {
        "Ende SetzeQuerUm()",
        // first order, "Tr" of both stages, then "EdA" of stage 1
        " RegelNachweis für sys = 0 lfzahl = 2",
        Lauf("Regel-LK 1", 0, 0, 0),
        Lauf("Regel-LK 2", 0, 1, 0),
        " RegelNachweis für sys = 1 lfzahl = 1",
        Lauf("Regel-LK 1", 0, 0, 2),
        " RegelNachweis für sys = 1 lfzahl = 1",
        Lauf("Regel-LK 1", 0, 0, 3),
        "Vorverformungen",
        // eigenvalues of the "Tr" combinations, creep, imperfections
        Lauf("Eigen-LK 1", -1, 0, 0),
        Lauf("Eigen-LK 2", -1, 1, 0),
        Lauf("Eigen-LK 1", -1, 0, 2),
        // the creep load's own buckling modes give the imperfection that creeps with it
        Lauf("Eigen-Kriechen", -1, -1, 0),
        Lauf("Kriechen", 1, 0, 0),
        "RechneVorverformungen",
        // second order
        " KnickNachweis für sys = 0 lfzahl = 2",
        Lauf("Knick-LK 1", 2, 0, 0),
        " KnickNachweis für sys = 0 lfzahl = 2",
        Lauf("Knick-LK 2", 2, 1, 0),
        " KnickNachweis für sys = 1 lfzahl = 1",
        Lauf("Knick-LK 1", 2, 0, 2),
        // accidental second order of stage 1
        Lauf("Eigen-LK 1", -1, 0, 3),
        Lauf("Knick-LK 1", 2, 0, 3),
        // fire
        Lauf("Eigen-LK 1", -1, 0, 4),
        Lauf("Knick-LK 1", 2, 0, 4),
        // serviceability
        " RissNachweis für sys = 0 lfzahl = 1",
        Lauf("Riss-LK 1", 0, 0, 5),
        " RissNachweis für sys = 1 lfzahl = 1",
        Lauf("Riss-LK 1", 0, 0, 6),
    };
    EXPECT_EQ(Marken(), erwartet);
    const std::vector<std::string> alles = Protokoll();
    ASSERT_FALSE(alles.empty());
    EXPECT_NE(alles[0], "vom letzten Lauf");  // the protocol of the run replaces the old one

    // results where the passes put them: second order of combination 0 deflects more than first order
    const int K = g_rechner.nKnoten;
    EXPECT_GT(std::fabs(Knoten(21, 0, K - 1, 1)), std::fabs(Knoten(11, 0, K - 1, 1)));
    // the creep run: 0.5 x 300 kN on the creep modulus E / (1 + 1.5) shortens the column by
    // 150 x 4 x 2.5 / (E A); and the fire record
    EXPECT_NEAR(Knoten(16, 0, K - 1, 0), -150.0 * 4.0 * 2.5 / (kE * kA), 1e-12);
    EXPECT_EQ(g_ergebnisse.Brandschnittgroessen.size(), 1u);
    // every section keeps its present reinforcement from the first combination of the first pass
    for (int i = 0; i < 2 * g_rechner.nStaebe; ++i) {
        EXPECT_NEAR(g_rechner.AusAs[i], g_quer[i].m_bem.HoleAS(), 1e-15) << i;
        EXPECT_EQ(g_rechner.LKBem[i][0], 0) << i;
        EXPECT_EQ(g_rechner.LKBem[i][1], 0) << i;
    }
    EXPECT_TRUE(win::msgbox::Log().empty());
}

namespace {

class ZaehlenderFortschritt : public EngineProgress {
public:
    bool Create() override
    {
        ++erzeugt;
        return true;
    }
    void SetStep(int s) override { step = s; }
    int StepIt() override { return schritte++; }
    void SetStatus(const char* text) override { status.emplace_back(text); }
    void Destroy() override { ++zerstoert; }
    int erzeugt = 0, zerstoert = 0, step = 0, schritte = 0;
    std::vector<std::string> status;
};

}  // namespace

TEST_F(Durchlauf, ProgressAdvancesOncePerAnalysisStep)
{
    ZaehlenderFortschritt f;
    EngineProgress* alt = SetProgress(&f);
    EXPECT_EQ(g_rechner.RechneStuetze(nullptr, 250, 1000, 0), 5);
    SetProgress(alt);
    EXPECT_EQ(f.erzeugt, 1);
    EXPECT_EQ(f.zerstoert, 1);
    EXPECT_EQ(f.step, 1);  // 100 / 250 is below one
    // "Tr" 3, "EdA" 1, eigenvalues 3, creep 1, second order 3, accidental 1, fire 1, serviceability 2
    EXPECT_EQ(f.schritte, 15);
    ASSERT_EQ(f.status.size(), 15u);
    EXPECT_EQ(f.status[0], "Berechnung der Tragsicherheit Th. 1. 0.");
    EXPECT_EQ(f.status[7], "Berechnung TQ-KOLUMO (Kriechen)");
    EXPECT_EQ(f.status[12], "Berechnung Brandschutznachweis");
    EXPECT_EQ(f.status[14], "Berechnung der Gebrauchstauglichkeit");
}

TEST_F(Durchlauf, AccidentalCombinationsOfTheFinalSystemCountWhenAsked)
{
    Datei(kArtEdA, 0, {{"Ed,A", "1.00*(1)+1.00*(2)+"}});
    EXPECT_EQ(g_rechner.RechneStuetze(nullptr, 1, 1000, 1), 6);
    std::vector<std::string> knick;
    for (const std::string& l : Marken())
        if (l.find("Knick-LK") != std::string::npos)
            knick.push_back(l);
    // second order: "Tr" at 0, 1, 2; accidental at 3 (stage 0) and 4 (stage 1); fire at 5
    const std::vector<std::string> erwartet = {Lauf("Knick-LK 1", 2, 0, 0), Lauf("Knick-LK 2", 2, 1, 0),
                                               Lauf("Knick-LK 1", 2, 0, 2), Lauf("Knick-LK 1", 2, 0, 3),
                                               Lauf("Knick-LK 1", 2, 0, 4), Lauf("Knick-LK 1", 2, 0, 5)};
    EXPECT_EQ(knick, erwartet);
}

TEST_F(Durchlauf, AccidentalCombinationsOfTheFinalSystemAloneStayInFirstOrder)
{
    // no stage 1: the final system's accidental combination is analysed in first order only
    g_rechner.stufeAktiv[1] = 0;
    Datei(kArtEdA, 0, {{"Ed,A", "1.00*(1)+1.00*(2)+"}});
    // slots: two "Tr", the accidental combination (first order only, its slot stays its own), one fire; the
    // serviceability results follow them
    EXPECT_EQ(g_rechner.RechneStuetze(nullptr, 1, 1000, 0), 2 + 1 + 1);
    int erste = 0, zweite = 0;
    for (const std::string& l : Marken()) {
        erste += l.find("Regel-LK") != std::string::npos ? 1 : 0;
        zweite += l.find("Knick-LK") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(erste, 3);   // two "Tr", one "EdA"
    EXPECT_EQ(zweite, 3);  // two "Tr", one fire
    // fire in the slot after the accidental one, serviceability after fire
    const std::vector<std::string> marken = Marken();
    EXPECT_NE(std::find(marken.begin(), marken.end(), Lauf("Knick-LK 1", 2, 0, 3)), marken.end());
    EXPECT_NE(std::find(marken.begin(), marken.end(), Lauf("Riss-LK 1", 0, 0, 4)), marken.end());
}

TEST_F(Durchlauf, FailureInSecondOrderEndsTheRunWithItsMessage)
{
    // a verification that reports the reinforcement ratio limit in the ultimate check
    SetzeNachweisFunktionen(
        {[](const NachweisAufruf& a) { return a.mode == 3 && a.analyseModus == 2 ? 4 : 0; }, nullptr});
    NORM = 3;
    EXPECT_EQ(g_rechner.RechneStuetze(nullptr, 1, 1000, 0), 0);
    ASSERT_EQ(win::msgbox::Log().size(), 1u);
    EXPECT_EQ(win::msgbox::Log()[0].text,
              "Achtung! Bewehrungsgrad > 8%. Bitte Stützenabmessung bzw Betondeckung ändern.");
    // the run stopped at the first second-order combination
    const std::vector<std::string> marken = Marken();
    ASSERT_FALSE(marken.empty());
    EXPECT_EQ(marken.back(), Lauf("Knick-LK 1", 2, 0, 0));
}

TEST_F(Durchlauf, FirstOrderRunCountsTheTrCombinationsWithoutProtocol)
{
    g_rechner.ersteKombiLast = 25.0;
    EXPECT_EQ(g_rechner.RechneRegelNachweis(nullptr, 1, 1000), 3);
    EXPECT_FALSE(std::filesystem::exists("kolumoorg.txt"));
    EXPECT_EQ(g_rechner.ersteKombiLast, 0.0);
    // only designs of first order
    for (int m : g_aufrufe.modes)
        EXPECT_EQ(m, 4);
    EXPECT_EQ(g_aufrufe.modes.size(), 3u);
}

TEST_F(Durchlauf, FirstOrderRunReportsTheReinforcementRatioLimit)
{
    SetzeNachweisFunktionen({[](const NachweisAufruf&) { return 4; }, nullptr});
    EXPECT_EQ(g_rechner.RechneRegelNachweis(nullptr, 1, 1000), 0);
    ASSERT_EQ(win::msgbox::Log().size(), 1u);
    EXPECT_EQ(win::msgbox::Log()[0].text,
              "Achtung! Bewehrungsgrad > 8%. Bitte Stützenabmessung bzw Betondeckung ändern.");
}

namespace {

// Two fields of two members each: sections 0-3 in field 0, 4-7 in field 1.
class Bewehrung : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        Stuetze({2.0, 2.0}, 2);
        Lager(0, 0, 1, kEingespannt);
        Einzellast(0, 0, 1, {-100.0, 0, 0, 0, 0});
        Datei(kArtTr, 0, {{"Ed", "1.00*(1)+"}});
        Baue();
        m_as = g_quer[0].m_bem.HoleAS();
        ASSERT_GT(m_as, 0.0);
    }
    double m_as = 0.0;
};

}  // namespace

TEST_F(Bewehrung, MerkeMassgebendKeepsLargerAreasAndTheirCombination)
{
    // second order: an area above the kept one by more than 1e-7 takes over
    g_rechner.AusAs[0] = m_as / 2.0;
    g_rechner.AusAs[1] = m_as;
    g_rechner.MerkeMassgebend(1, 2, 2, 1);  // before the analysis: nothing
    EXPECT_EQ(g_rechner.AusAs[0], m_as / 2.0);
    g_rechner.MerkeMassgebend(1, 2, 2);
    EXPECT_EQ(g_rechner.AusAs[0], m_as);
    EXPECT_EQ(g_rechner.LKBem[0][0], 3);
    EXPECT_EQ(g_rechner.LKBem[0][1], 2);
    EXPECT_EQ(g_rechner.LKBem[1][0], 0);  // equal area: kept
    // first order: an unset section takes the area times its design factor when that is above 1
    g_quer[2].m_bem.bwfakt = 1.5;
    g_rechner.MerkeMassgebend(0, 4, 1);
    EXPECT_NEAR(g_rechner.AusAs[2], 1.5 * m_as, 1e-15);
    EXPECT_EQ(g_rechner.LKBem[2][0], 4);
    EXPECT_EQ(g_rechner.LKBem[2][1], 1);
    EXPECT_NEAR(g_rechner.AusAs[3], m_as, 1e-15);
    // a smaller factor later does not lower it
    g_quer[2].m_bem.bwfakt = 1.2;
    g_rechner.MerkeMassgebend(1, 4, 0);
    EXPECT_NEAR(g_rechner.AusAs[2], 1.5 * m_as, 1e-15);
    EXPECT_EQ(g_rechner.LKBem[2][0], 4);
}

TEST_F(Bewehrung, RegularDesignRaisesEveryFieldByItsLargestFactor)
{
    // field 0: factors 1.2, 1.5 | 1.5, 1.1: the end section of member 0 governs (a later equal factor
    // does not replace it); field 1 stays below 1
    const double faktoren[8] = {1.2, 1.5, 1.5, 1.1, 0.9, 1.0, 0.5, 0.7};
    for (int i = 0; i < 8; ++i)
        g_rechner.bwFaktor[i] = faktoren[i];
    g_rechner.AusAs[1] = 7e-4;
    g_rechner.LKBem[1][0] = 5;
    g_rechner.LKBem[1][1] = 1;
    g_rechner.AsAusRegelbemessung(0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(g_quer[i].m_bem.HoleAS(), 1.5 * m_as, 1e-12) << i;
        EXPECT_EQ(g_rechner.AusAs[i], 7e-4) << i;
        EXPECT_EQ(g_rechner.LKBem[i][0], 5) << i;
    }
    for (int i = 4; i < 8; ++i)
        EXPECT_NEAR(g_quer[i].m_bem.HoleAS(), m_as, 1e-15) << i;

    // mode 1: every section of a field gets the field's largest area
    g_quer[5].m_bem.AsErhoeheung(2.0);
    g_rechner.AsAusRegelbemessung(1);
    for (int i = 4; i < 8; ++i)
        EXPECT_NEAR(g_quer[i].m_bem.HoleAS(), 2.0 * m_as, 1e-12) << i;
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(g_quer[i].m_bem.HoleAS(), 1.5 * m_as, 1e-12) << i;
}

TEST_F(Bewehrung, FireRecordFromTheTopDownOrEmptyWhenASectionFailed)
{
    g_ergebnisse.Brandschnittgroessen.clear();
    for (int i = 0; i < 8; ++i) {
        BrandErgebnisBlock& b = g_rechner.brandBlock[i];
        b = BrandErgebnisBlock{};
        b.NEdfi = -100.0 - i;
        b.NR = -1000.0;
        b.muefi = 0.1;
        b.bErf = 20.0;
        b.aErf = 3.4;
        b.As = 1e-4 * (i + 1);
        b.OK = 1;
    }
    g_rechner.SpeichereBrandErgebnis();
    ASSERT_EQ(g_ergebnisse.Brandschnittgroessen.size(), 1u);
    const CResultBrandschnittgroessen& r = *g_ergebnisse.Brandschnittgroessen[0];
    EXPECT_EQ(r.OK, 1);
    // members 3 .. 0, end section first: sections 7, 6, 5, 4, ...; heights 4, 3, 3, 2, 2, 1, 1, 0
    const int reihe[8] = {7, 6, 5, 4, 3, 2, 1, 0};
    const double kote[8] = {4, 3, 3, 2, 2, 1, 1, 0};
    ASSERT_EQ(r.Kote.size(), 8u);
    for (int k = 0; k < 8; ++k) {
        EXPECT_DOUBLE_EQ(r.Kote[k], kote[k]) << k;
        EXPECT_DOUBLE_EQ(r.N[k], -100.0 - reihe[k]) << k;
        EXPECT_NEAR(r.As[k], reihe[k] + 1.0, 1e-12) << k;
    }
    EXPECT_DOUBLE_EQ(r.minB[0], 20.0);
    EXPECT_DOUBLE_EQ(r.minDeck[0], 3.4);

    g_rechner.brandBlock[5].OK = 0;
    g_rechner.SpeichereBrandErgebnis();
    ASSERT_EQ(g_ergebnisse.Brandschnittgroessen.size(), 2u);
    EXPECT_EQ(g_ergebnisse.Brandschnittgroessen[1]->OK, 0);
    EXPECT_TRUE(g_ergebnisse.Brandschnittgroessen[1]->Kote.empty());
    g_ergebnisse.Brandschnittgroessen.clear();
}

// What the set-up says a run asks of the work arrays is what it takes: the whole run goes through in arrays of
// exactly that size and stops, with the engine's own message, in arrays one entry smaller.
TEST_F(Durchlauf, TheWorkArrayEstimateIsWhatTheRunTakes)
{
    // 7 combinations (Tr 2 + 1, Gb 1 + 1, EdA 1, EdB 1), 2 fields of 2 members: K = 5 nodes, E = 4 members.
    // Records: 4 point loads (8 doubles, 5 ints each) and, without line loads, an empty record in each of the 4
    // stages (3 doubles, 5 ints). Partition: 7 x (60 K + 82 E + 16 = 644) + 14 K + 14 E = 4634 doubles, 28 K +
    // 10 E = 180 ints. Frame: 35 equations, skyline 28 + 77 (K - 1) = 336; (F + 1) + K + 36 + 4 x 196 + 105 + 5 x 35
    // + 28 E + 50 + 3 x 336 + eigen area (35 x 4 + 4 + 20 + 16 + 12 + 70 = 262) = 2540 doubles, 2 E + 14 + 2 x 35 +
    // 1 + K = 98 ints. With 999 entries below the first free index: 8217 doubles, 1317 ints. A line load over the
    // whole column in stage 0 puts 4 records in place of that stage's empty one: 9 doubles and 15 ints more.
    for (const auto& [linienlast, doubles, ints] :
         {std::tuple{false, 8217LL, 1317LL}, std::tuple{true, 8226LL, 1332LL}}) {
        SCOPED_TRACE(linienlast ? "with a line load" : "point loads only");
        if (linienlast)
            Linienlast(0, 0.0, 4.0, 2.0, 1, 2);
        const ArbeitsBedarf a = g_rechner.Arbeitsbedarf(7, 1000);
        EXPECT_EQ(a.doublesJeKombination, 644);
        EXPECT_EQ(a.doubles, doubles);
        EXPECT_EQ(a.ints, ints);
        const auto eingabe = std::make_unique<CStuetzenRechner>(g_rechner);  // too large for the stack
        // exactly the estimate: all 5 ultimate slots; one double or one int less: the run stops with a message
        for (const auto& [d, i, ergebnis] : {std::tuple{a.doubles, a.ints, 5}, std::tuple{a.doubles - 1, a.ints, 0},
                                             std::tuple{a.doubles, a.ints - 1, 0}}) {
            g_rechner = *eingabe;
            for (cQuer& q : g_quer)
                q.m_bem.bwfakt = 1.0;
            win::msgbox::ClearLog();
            m_arrays.reset();
            m_arrays = std::make_unique<WorkArrays>(static_cast<int>(d), static_cast<int>(i));
            EXPECT_EQ(g_rechner.RechneStuetze(nullptr, 10, 1000, 0), ergebnis) << d << " doubles, " << i << " ints";
            EXPECT_EQ(win::msgbox::Log().empty(), ergebnis != 0);
        }
        g_rechner = *eingabe;
    }
}
