// The verification driver of the sections (stiffness update, material records, reinforcement ratio limit,
// fire dispatch), the shear dispatch by design code, and a whole calculation with both installed.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/nachweis.h"
#include "engine/results.h"
#include "frame_fixture.h"
#include "schub_fixture.h"

namespace {

// One element of a 30 x 50 cm column (C30/37, B500, see schub_fixture.h), its two sections alike.
class NachweisTest : public schub_test::EinElement {
protected:
    // Both sections with four bars of r/2 cm2 (2 r cm2 in all) at 5 cm, axis distances d3 = d4 = a.
    void Element(int code, double b = 30.0, double h = 50.0, double r = 6.0, double a = 0.0)
    {
        NORM = code;
        for (int iq = 0; iq < 2; ++iq)
            Rechteck(iq, code, b, h, r, 5.0, a, a);
    }
    // The same seven forces on both sections.
    void Kraefte(std::vector<double> k)
    {
        k.resize(7, 0.0);
        for (int iq = 0; iq < 2; ++iq)
            for (int j = 0; j < 7; ++j)
                m_kraefte[7 * iq + j] = k[static_cast<std::size_t>(j)];
    }
    int Lauf(int code, int mode, double gamma = 1.0, int analyse = 2, int brand = 0, double klasse = 2.0,
             double seiten = 1.0)
    {
        NachweisAufruf a;
        a.code = code;
        a.nel = 1;
        a.forces = m_kraefte;
        a.mode = mode;
        a.gamma = gamma;
        a.ByAlt = m_byAlt;
        a.By = m_by;
        a.BzAlt = m_bzAlt;
        a.Bz = m_bz;
        a.knotenX = m_knoten;
        a.analyseModus = analyse;
        a.brandSchalter = brand;
        a.brand[0] = klasse;
        a.brand[1] = seiten;
        return StbNachweis_1(a);
    }
    // The verification itself raises no message; its hints become messages where the driver shows them.
    static std::vector<std::string> Meldungen()
    {
        EXPECT_TRUE(win::msgbox::Log().empty());
        g_rechner.ZeigeNachweisHinweise();
        EXPECT_TRUE(g_rechner.nachweisHinweise.empty());
        std::vector<std::string> texte;
        for (const win::msgbox::Record& r : win::msgbox::Log())
            texte.push_back(r.text);
        return texte;
    }

    double m_kraefte[14] = {};
    double m_byAlt[2] = {1.0, 1.0}, m_by[2] = {}, m_bzAlt[2] = {1.0, 1.0}, m_bz[2] = {};
    double m_knoten[2] = {0.0, 3.0};
};

// ---- stiffnesses and material records ----

TEST(Steifigkeit, FallsByAtMostThreeTenthsOfAPercentPerUpdate)
{
    struct Fall {
        double alt, neu, erwartet;
    };
    // 0: no strain state in the plane, the previous value stays; a negative previous value: the plane has
    // had no strain state yet and holds the start value -alt, which its first state replaces whole
    const Fall faelle[] = {{100.0, 50.0, 99.7}, {100.0, 99.8, 99.8},  {100.0, 150.0, 150.0},
                           {100.0, 0.0, 100.0}, {-100.0, 30.0, 30.0}, {-100.0, 0.0, 100.0}};
    for (const Fall& f : faelle)
        EXPECT_DOUBLE_EQ(SteifigkeitNachUpdate(f.alt, f.neu), f.erwartet) << f.alt << " " << f.neu;
}

TEST_F(NachweisTest, StrainStateStiffnessIsFlooredByThePrevious)
{
    Element(2);
    Kraefte({-800.0, 0.0, 0.0, 0.0, 120.0, 30.0});
    // a small previous stiffness: the new strain state's counts
    EXPECT_EQ(Lauf(2, 2), 0);
    for (int iq = 0; iq < 2; ++iq) {
        const cBem& b = g_quer[iq].m_bem;
        EXPECT_GT(b.m_By, 1.0);
        EXPECT_DOUBLE_EQ(m_by[iq], b.m_By);
        EXPECT_DOUBLE_EQ(m_bz[iq], b.m_Bz);
    }
    // a previous stiffness far above the cracked one: the update lowers it to 99.7 percent only
    m_byAlt[0] = m_byAlt[1] = 1e9;
    m_bzAlt[0] = m_bzAlt[1] = 2e9;
    EXPECT_EQ(Lauf(2, 2), 0);
    for (int iq = 0; iq < 2; ++iq) {
        EXPECT_DOUBLE_EQ(m_by[iq], 0.997e9);
        EXPECT_DOUBLE_EQ(m_bz[iq], 1.994e9);
    }
}

TEST_F(NachweisTest, StrainStateRaisesNoSteelAndNamesTheSectionWithoutState)
{
    // 30 x 50 cm with 12 cm2: even at fck = 30 N/mm2 and fyd = 434.8 N/mm2 the section carries at most
    // 0.15 * 30000 + 0.0012 * 434783 = 5022 kN centrically, so under 6000 kN no strain state exists. The
    // call reports it and leaves the steel and the previous stiffnesses as they are (the stiffness
    // iteration raises the steel and starts again); under 800 kN both sections have their state.
    Element(2);
    Kraefte({-6000.0, 0.0, 0.0, 0.0, 20.0, 5.0});
    EXPECT_EQ(Lauf(2, 2), kNachweisOhneZustand);
    for (int iq = 0; iq < 2; ++iq) {
        const cBem& b = g_quer[iq].m_bem;
        EXPECT_NEAR(b.HoleAS() * 1e4, 12.0, 1e-9) << iq;
        EXPECT_NE(b.m_code, 0) << iq;
        EXPECT_DOUBLE_EQ(m_by[iq], 1.0) << iq;
        EXPECT_DOUBLE_EQ(m_bz[iq], 1.0) << iq;
    }
    Kraefte({-800.0, 0.0, 0.0, 0.0, 120.0, 30.0});
    EXPECT_EQ(Lauf(2, 2), 0);
    for (int iq = 0; iq < 2; ++iq)
        EXPECT_EQ(g_quer[iq].m_bem.m_code, 0) << iq;
}

TEST_F(NachweisTest, UltimateCheckNamesTheSectionsThatCannotCarry)
{
    // 30 x 50 cm, 12 cm2, EC2: under centric compression the ultimate law shortens the section at
    // eps_c2 = -2.0 per mille, where the concrete carries fcd = 20 N/mm2 and the bars 200000 * 0.002 =
    // 400 N/mm2 (below fyd = 434.8), so N_Rd = 0.15 * 20000 + 0.0012 * 400000 = 3480 kN and the safety
    // is 3480 / N. Below 1 by more than the rounding tolerance the check names both sections; at
    // 1 - 0.0005 it lets them pass.
    Element(2);
    struct Fall {
        double N;
        int erwartet;
    };
    const Fall faelle[] = {{3400.0, 0},
                           {3480.0 / 0.9995, 0},
                           {3480.0 / 0.997, kNachweisNichtTragfaehig},
                           {3600.0, kNachweisNichtTragfaehig}};
    for (const Fall& f : faelle) {
        Kraefte({-f.N, 0.0, 0.0, 0.0, 0.0, 0.0});
        EXPECT_EQ(Lauf(2, 3), f.erwartet) << f.N;
        for (int iq = 0; iq < 2; ++iq) {
            const cBem& b = g_quer[iq].m_bem;
            EXPECT_NEAR(b.m_slots[11], 3480.0 / f.N, 2e-4) << f.N;
            EXPECT_EQ(b.m_code, f.erwartet) << f.N;
            EXPECT_NEAR(b.HoleAS() * 1e4, 12.0, 1e-9) << f.N;  // the check raises no steel
        }
    }
}

TEST_F(NachweisTest, ConcreteLawIsTheSimplifiedOneAfterEveryCall)
{
    // record A of EC2 C30/37: fcd = 30/1.5 = 20 N/mm2, eps1 = eps_c2 = -2.0, eps_cu2 = -3.5, no offset,
    // no concrete tension (tension limit 0) in any mode, exponent 1, E = 33000
    Element(2);
    Kraefte({-800.0, 0.0, 0.0, 0.0, 120.0, 30.0});
    for (int mode : {2, 3, 4}) {
        Lauf(2, mode);
        const cBem& b = g_quer[1].m_bem;
        EXPECT_DOUBLE_EQ(b.Mat(0, 1), 20000.0) << mode;
        EXPECT_DOUBLE_EQ(b.Mat(1, 1), -2.0) << mode;
        EXPECT_DOUBLE_EQ(b.Mat(2, 1), -3.5) << mode;
        EXPECT_DOUBLE_EQ(b.Mat(3, 1), 0.0) << mode;
        EXPECT_DOUBLE_EQ(b.Mat(4, 1), 0.0) << mode;
        EXPECT_DOUBLE_EQ(b.Mat(5, 1), 1.0) << mode;
        EXPECT_DOUBLE_EQ(b.m_E, 33000.0) << mode;
        EXPECT_DOUBLE_EQ(b.m_epscu, -3.5) << mode;
    }
}

// ---- reinforcement ratio ----

TEST_F(NachweisTest, RatioLimitsOfTheCodes)
{
    // 30 x 50 cm (1500 cm2), four bars of r/2 cm2: ratio = 2 r/1500 x 100 percent, r = 7.5 x ratio. 9 % under
    // DIN 1045-1 and the German annex, 8 % under EC2, SIA 262 and the French and British annexes. A section that has
    // exactly the greatest ratio keeps it (within a millionth of a percent); before, 9.0 % and 8.9999999995 % were
    // refused as "Bewehrungsgrad > 9%".
    struct Fall {
        int code;
        double prozent;
        int ergebnis;
    };
    const Fall faelle[] = {
        {1, 8.99, 0},   {1, 9.0, 0},     {1, 8.9999999995, 0}, {1, 9.0001, 4}, {11, 8.99, 0},
        {11, 9.0, 0},   {11, 9.0001, 4}, {12, 7.99, 0},        {12, 8.0, 0},   {12, 8.0001, 4},
        {13, 7.99, 0},  {13, 8.0, 0},    {13, 8.0001, 4},      {2, 7.99, 0},   {2, 8.0, 0},
        {2, 8.0001, 4}, {3, 7.99, 0},    {3, 8.0, 0},          {3, 8.0001, 4},
    };
    for (const Fall& f : faelle) {
        Element(f.code, 30.0, 50.0, 7.5 * f.prozent);
        Kraefte({-100.0, 0.0, 0.0, 0.0, 10.0});
        EXPECT_EQ(Lauf(f.code, 3), f.ergebnis) << f.code << " " << f.prozent;
    }
}

TEST_F(NachweisTest, DesignFailingAtTheMaximumRatioIsReported)
{
    // 20000 kN on 30 x 50 cm asks far beyond 9 % (0.15 x 17000 + 0.0135 x 434783 = 8420 kN at 9 %): the
    // design stops at the maximum ratio and the driver reports it, though the bars still hold their minimum
    Element(1);
    Kraefte({-20000.0});
    EXPECT_EQ(Lauf(1, 4), kNachweisBewehrungsgrad);
    EXPECT_LT(g_quer[0].m_bem.HoleAS() * 100.0 / g_quer[0].m_Ac, 9.0);
    // a load the section can take
    Element(1);
    Kraefte({-1000.0, 0.0, 0.0, 0.0, 150.0});
    EXPECT_EQ(Lauf(1, 4), 0);
}

TEST_F(NachweisTest, DesignedSectionVerifies)
{
    // design for the forces, take the designed reinforcement over (as the regular design does), then the
    // ultimate check of the same forces finds the safety the design was made for
    Element(2, 30.0, 50.0, 2.0);
    Kraefte({-2000.0, 0.0, 0.0, 0.0, 300.0, 80.0});
    ASSERT_EQ(Lauf(2, 4), 0);
    for (int iq = 0; iq < 2; ++iq) {
        cBem& b = g_quer[iq].m_bem;
        ASSERT_GT(b.bwfakt, 1.0);
        b.AsErhoeheung(b.bwfakt);
    }
    ASSERT_EQ(Lauf(2, 3), 0);
    for (int iq = 0; iq < 2; ++iq) {
        const cBem& b = g_quer[iq].m_bem;
        EXPECT_NEAR(b.m_slots[11], 1.0, 0.02) << iq;  // R.U/R
        // the ultimate forces lie on the ray of the given ones
        EXPECT_NEAR(b.m_erg[3].My / b.m_erg[3].N, 300.0 / -2000.0, 1e-3) << iq;
    }
}

// ---- fire ----

TEST_F(NachweisTest, FireCheckOnlyInTheUltimateCheckOfTheFirePass)
{
    Element(2);
    Kraefte({-800.0, 0.0, 0.0, 0.0, 50.0});
    g_rechner.aussergewoehnlich = 1;
    Lauf(2, 2, 1.0, 2, 1);
    Lauf(2, 3, 1.0, 0, 1);
    Lauf(2, 3, 1.0, 2, 0);
    EXPECT_TRUE(Meldungen().empty());
    g_rechner.aussergewoehnlich = 0;  // not the fire pass
    Lauf(2, 3, 1.0, 2, 1);
    EXPECT_TRUE(Meldungen().empty());
    g_rechner.aussergewoehnlich = 1;
    EXPECT_EQ(Lauf(2, 3, 1.0, 2, 1), 0);
    EXPECT_EQ(Meldungen(), std::vector<std::string>{"Brandschutznachweis nach EC 2 nicht möglich!"});
}

TEST_F(NachweisTest, FireMessagesByCode)
{
    struct Fall {
        int code;
        const char* text;
        double a;  // axis distance given as the third and fourth dimension, cm (0: the bars' edge distance)
    };
    const Fall faelle[] = {
        {3, "Brandschutznachweis nach SIA 262 nicht möglich!", 0.0},
        {12, "Brandschutznachweis nach EC 2 NA F nicht möglich!", 0.0},
        {13, "Brandschutznachweis nach EC 2 NA GB nicht möglich!", 0.0},
        // an axis distance of 1 cm is below every table value: no load level meets the table
        {1, "Brandschutznachweis nicht möglich!\nStützenabmessungen bzw. Betondeckungen bitte ändern.", 1.0},
        {11, "Brandschutznachweis nicht möglich!\nStützenabmessungen bzw. Betondeckungen bitte ändern.", 1.0},
    };
    g_rechner.aussergewoehnlich = 1;
    for (const Fall& f : faelle) {
        win::msgbox::ClearLog();
        Element(f.code, 30.0, 50.0, 6.0, f.a);
        Kraefte({-800.0, 0.0, 0.0, 0.0, 50.0});
        EXPECT_EQ(Lauf(f.code, 3, 1.0, 2, 1), 0) << f.code;
        EXPECT_EQ(Meldungen(), std::vector<std::string>{f.text}) << f.code;
    }
}

TEST_F(NachweisTest, FireRatioLimitMessages)
{
    // 30 x 30 cm with 8 cm2 at 4 cm in the fire pass. Its ultimate check passes: EC2 NA DE carries
    // 0.09 * 17000 + 0.0008 * 400000 = 1850 kN > 1400 kN, DIN 1045-1 (accidental: fcd = 0.85 * 30 / 1.3)
    // 0.09 * 19615 + 320 = 2085 kN > 1800 kN; but the R 120 tables ask for a load level the section reaches
    // only with more steel than 4 % (9 %) of its area. Under 4000 kN the ultimate check fails: the fire
    // check waits for the steel the stiffness iteration adds, and says nothing.
    g_rechner.aussergewoehnlich = 1;
    struct Fall {
        int code;
        double N;
        const char* text;
    };
    const Fall faelle[] = {{11, 1400.0, "Brandschutznachweis nicht möglich!\nBewehrungsgrad > 4%"},
                           {1, 1800.0, "Brandschutznachweis nicht möglich!\nBewehrungsgrad > 9%"}};
    for (const Fall& f : faelle) {
        win::msgbox::ClearLog();
        Element(f.code, 30.0, 30.0, 4.0, 4.0);
        Kraefte({-f.N});
        EXPECT_EQ(Lauf(f.code, 3, 1.0, 2, 1, 3.0), 0) << f.code;
        EXPECT_EQ(Meldungen(), std::vector<std::string>{f.text}) << f.code;
        EXPECT_EQ(g_rechner.brandBlock[0].OK, 0);
        win::msgbox::ClearLog();
        Element(f.code, 30.0, 30.0, 4.0, 4.0);
        Kraefte({-4000.0});
        EXPECT_EQ(Lauf(f.code, 3, 1.0, 2, 1, 3.0), kNachweisNichtTragfaehig) << f.code;
        EXPECT_TRUE(Meldungen().empty()) << f.code;
    }
}

// ---- shear dispatch ----

class SchubDispatchTest : public NachweisTest {
protected:
    // Design state from the ultimate check, then the shear dispatch with different forces at the two ends.
    void Pruefe(int code)
    {
        Element(code);
        Kraefte({-500.0, 0.0, 0.0, 0.0, 100.0});
        Lauf(code, 3);
        const double start[7] = {-500.0, 0.0, 200.0, 0.0, 100.0, 0.0, 0.0};
        const double ende[7] = {-450.0, 30.0, 40.0, 12.0, 60.0, 0.0, 0.0};
        for (int j = 0; j < 7; ++j) {
            m_kraefte[j] = start[j];
            m_kraefte[7 + j] = ende[j];
        }
        for (int iq = 0; iq < 2; ++iq) {
            g_schub[iq] = cSchub{};
            g_quer[iq].m_bem.m_querTyp = 1;
        }
        EXPECT_EQ(SchubNachweis(code, 1, m_kraefte, 2), 0);
    }
    // The routine's own result for section iq with the same section values and forces.
    static cSchub Direkt(int iq, int (cSchub::*routine)(cBem&), const double* kraefte)
    {
        cSchub s;
        s.Setze(iq);
        for (int j = 0; j < 7; ++j)
            s.kraefte[j] = kraefte[j];
        (s.*routine)(g_quer[iq].m_bem);
        return s;
    }
};

TEST_F(SchubDispatchTest, AnnexRoutineAtBothEnds)
{
    struct Fall {
        int code;
        int (cSchub::*routine)(cBem&);
    };
    const Fall faelle[] = {{1, &cSchub::SchubDIN1045_1},   {2, &cSchub::SchubEC2},
                           {3, &cSchub::SchubSIA262},      {11, &cSchub::SchubEC2_NA_DE},
                           {12, &cSchub::SchubEC2_NA_FGB}, {13, &cSchub::SchubEC2_NA_FGB}};
    for (const Fall& f : faelle) {
        Pruefe(f.code);
        for (int iq = 0; iq < 2; ++iq) {
            const cSchub erwartet = Direkt(iq, f.routine, m_kraefte + 7 * iq);
            for (int k = 0; k < kSchubSlots; ++k)
                EXPECT_DOUBLE_EQ(g_schub[iq].erg[k], erwartet.erg[k]) << f.code << " section " << iq << " slot " << k;
            EXPECT_EQ(g_schub[iq].schubSchalter, 1);
            EXPECT_EQ(g_quer[iq].m_bem.m_querTyp, 1);  // restored
        }
    }
}

TEST_F(SchubDispatchTest, EachSectionGetsItsOwnSevenForces)
{
    // DIN 1045-1: VEd of the end section sqrt(30^2 + 40^2) = 50 kN; its torsion of 12 kNm reaches the check
    Pruefe(1);
    EXPECT_NEAR(g_schub[0].erg[kSlotVEd], 200.0, 1e-9);
    EXPECT_NEAR(g_schub[1].erg[kSlotVEd], 50.0, 1e-9);
    EXPECT_DOUBLE_EQ(g_schub[1].kraefte[3], 12.0);
    EXPECT_DOUBLE_EQ(g_schub[1].kraefte[0], -450.0);
    // 0.012 MNm > VEd bw/4.5: torsion reinforcement by calculation above the minimum
    EXPECT_GE(g_schub[1].erg[kSlotFall], 1.0);
    EXPECT_GT(g_schub[1].erg[kSlotAswT], g_schub[1].erg[kSlotAsminT]);
    EXPECT_DOUBLE_EQ(g_schub[0].erg[kSlotAslT], g_schub[0].erg[kSlotAsminTl]);  // no torsion at the start
}

TEST_F(SchubDispatchTest, SectionValuesFromThePreparedSection)
{
    // 30 x 50 cm, bars at 5 cm: h = 0.50, Ac = 0.15; core inset 2.5 cm: Ak = 0.25 x 0.45, uk = 1.40, tef 5 cm
    Pruefe(2);
    const cSchub& s = g_schub[0];
    EXPECT_DOUBLE_EQ(s.h, 0.5);
    EXPECT_NEAR(s.ac, 0.15, 1e-12);
    EXPECT_NEAR(s.d1[0], 5.0, 1e-12);
    EXPECT_NEAR(s.d1[1], 5.0, 1e-12);
    EXPECT_NEAR(s.ak, 0.1125, 1e-12);
    EXPECT_NEAR(s.uk, 1.4, 1e-12);
    EXPECT_NEAR(s.tef, 5.0, 1e-12);
    EXPECT_EQ(s.nKern, 4);
    // bars of 3 cm2 / 2: cover = 5 - radius
    EXPECT_NEAR(s.cv[0], 5.0 - std::sqrt(3.0 * 1e-4 / 3.14159265358979) * 100.0, 1e-9);
}

TEST_F(SchubDispatchTest, NoShearCheckForDin1045)
{
    Pruefe(0);
    EXPECT_EQ(g_schub[0].schubSchalter, 0);
    EXPECT_DOUBLE_EQ(g_schub[0].erg[kSlotVEd], 0.0);
}

// ---- a whole calculation ----

using frame_test::FrameTest;

class VollerLauf : public FrameTest, public ::testing::WithParamInterface<int> {
protected:
    std::filesystem::path m_alt;
    void SetUp() override
    {
        FrameTest::SetUp();
        NORM = GetParam();
        m_alt = std::filesystem::current_path();
        std::filesystem::current_path(m_dir);
        SetzeNachweisFunktionen({StbNachweis_1, SchubNachweis});
        // 6 m in two fields of two members, fixed at the foot and held sideways at the top; stages 0 and 1
        Stuetze({3.5, 2.5}, 2);
        // 4 bars of 2 x 8 = 16 cm2 (32 cm2, 2.1 %): stiff enough that the stiffness, falling by at most 0.3 %
        // per update, settles within the iteration limit
        for (int f = 0; f < 2; ++f)
            g_rechner.querEingabe.feld[f].bewehrung = 8.0;
        g_rechner.stufeAktiv[1] = 1;
        for (int s : {0, 1}) {
            Lager(s, 0, 1, frame_test::kEingespannt);
            Lager(s, 2, 2, frame_test::kQuerGehalten);
            Einzellast(s, 0, 1, {-900.0, 0, 0, 0, 0});
            Einzellast(s, 0, 2, {-300.0, 0, 0, 0, 0});
            Linienlast(s, 0.0, 6.0, 4.0, 2, 2);
        }
        g_rechner.gammaBeton = 25.0;
        // the own weight in load case 1, the first term of every combination below
        g_rechner.eigengewichtLf[0] = g_rechner.eigengewichtLf[1] = 1;
        g_rechner.imperfektion[0].art = 0;
        g_rechner.imperfektion[0].neigung = 1.0 / 200.0;
        g_rechner.imperfektion[1].art = 0;
        g_rechner.imperfektion[1].neigung = 1.0 / 200.0;
        for (int& s : g_rechner.rechenSchalter)
            s = 1;
        Datei(kArtTr, 0, {{"Ed", "1.35*(1)+1.50*(2)+"}, {"Ed", "1.00*(1)+1.50*(2)+"}});
        Datei(kArtTr, 1, {{"Ed", "1.35*(1)+1.50*(2)+"}});
        Datei(kArtGb, 0, {{"Ed,quasi_ständig", "1.00*(1)+0.30*(2)+"}});
        Datei(kArtGb, 1, {{"Ed,häufig", "1.00*(1)+0.50*(2)+"}});
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_alt);
        FrameTest::TearDown();
    }
};

TEST_P(VollerLauf, TwoFieldColumnIsDesignedAndVerifiedInEveryStage)
{
    // "Tr": two combinations in stage 0 and one in stage 1 -> three ultimate slots
    EXPECT_EQ(g_rechner.RechneStuetze(nullptr, 10, 1000, 0), 3);
    for (const win::msgbox::Record& r : win::msgbox::Log())
        ADD_FAILURE() << "message: " << r.text;
    for (int i = 0; i < 2 * g_rechner.nStaebe; ++i) {
        const cBem& b = g_quer[i].m_bem;
        // every section carries reinforcement within the code's limits, kept as the governing one
        EXPECT_GT(b.HoleAS(), 0.0) << i;
        EXPECT_LT(b.HoleAS() * 100.0 / g_quer[i].m_Ac, 8.0) << i;  // below every code's limit
        EXPECT_GT(g_rechner.AusAs[i], 0.0) << i;
        // the shear check ran with the section's own forces
        EXPECT_EQ(g_schub[i].schubSchalter, 1) << i;
        EXPECT_GT(g_schub[i].erg[kSlotVEd], 0.0) << i;
        // the strain states fed back stiffnesses, cracked below E Iy / 1000 of the gross section
        EXPECT_GT(g_rechner.querFelder.By[i], 0.0) << i;
        EXPECT_LT(g_rechner.querFelder.By[i], frame_test::kE * frame_test::kIy / 1000.0) << i;
    }
    // deflections of every combination of both stages, first and second order, the second the larger
    for (int c = 0; c < 3; ++c) {
        double w1 = 0.0, w2 = 0.0;
        for (int n = 0; n < g_rechner.nKnoten; ++n) {
            w1 = std::max(w1, std::fabs(Knoten(11, c, n, 2)));
            w2 = std::max(w2, std::fabs(Knoten(21, c, n, 2)));
        }
        EXPECT_GT(w1, 0.0) << c;
        EXPECT_GT(w2, w1) << c;
    }
}

// DIN 1045-1, EC2, EC2 with the German annex
INSTANTIATE_TEST_SUITE_P(Normen, VollerLauf, ::testing::Values(1, 2, 11));

}  // namespace

TEST_F(NachweisTest, FireTableReadsTheBarsEdgeDistance)
{
    // 30 x 50 cm with bars at 5 cm and no third or fourth dimension: the table is met with the bars' own axis
    // distance, and what it asks for lies within the section (b >= bErf, a = 5 cm >= aErf)
    g_rechner.aussergewoehnlich = 1;
    for (int code : {1, 11}) {
        win::msgbox::ClearLog();
        Element(code, 30.0, 50.0, 6.0, 0.0);
        Kraefte({-800.0, 0.0, 0.0, 0.0, 50.0});
        EXPECT_EQ(Lauf(code, 3, 1.0, 2, 1), 0) << code;
        EXPECT_TRUE(Meldungen().empty()) << code;
        for (int iq = 0; iq < 2; ++iq) {
            const BrandErgebnisBlock& blk = g_rechner.brandBlock[iq];
            EXPECT_EQ(blk.OK, 1) << code;
            EXPECT_GT(blk.aErf, 0.0) << code;
            EXPECT_LE(blk.aErf, 5.0) << code;
            EXPECT_LE(blk.bErf, 30.0) << code;
        }
    }
}
