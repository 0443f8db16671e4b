// Model set-up, load records, partition of the work arrays and the load images of one analysis.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>

#include "engine/element.h"
#include "engine/felinalg.h"
#include "engine/lastsatz.h"
#include "engine/rechner.h"
#include "platform/win/dialogs/msgbox.h"
#include "work_fixture.h"

using engine::FillD;

namespace {

class ModellTest : public WorkArrayTest {
protected:
    std::unique_ptr<CStuetzenRechner> m_r = std::make_unique<CStuetzenRechner>();
    std::filesystem::path m_dir;

    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() / ("engine_modell_" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
        m_r->Init();
        m_r->basisPfad = (m_dir / "pos").string();
        m_r->INDEX[0] = 1000;
        m_r->INDEX[1] = 1000;
        win::msgbox::ClearLog();
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    void Fields(std::initializer_list<std::tuple<double, int, double>> fields)
    {
        m_r->nFelder = 0;
        for (const auto& [length, members, ez] : fields) {
            m_r->feldLaenge[m_r->nFelder] = length;
            m_r->feldStaebe[m_r->nFelder] = members;
            m_r->feldEz[m_r->nFelder] = ez;
            ++m_r->nFelder;
        }
    }
    void WriteTr(int stage, const std::string& formulas)
    {
        std::ofstream out(m_dir / ("pos.Vrb21LkTr" + std::to_string(stage) + ".dat"));
        out << formulas;
    }
    int Record(int first, int r, int field) const { return WI(first + r * kSatzGroesse + field); }
};

// Two combinations for stage 0 with three load cases.
const char* const kTrFile =
    " 2\n 3 3 1\n 1 2 3\n 0 1 1\n 0 1 1\n 0 2 3\n 1 0 0 0 0 0 0 0\n"
    " 1.350000 1.000000 0.000000 0.000000 0.000000 0.000000 0.000000\n"
    " 0.000000 0.000000 1.500000 0.700000 0.500000 0.300000 1.000000\n"
    " 0.000000 0.000000 1.500000 0.700000 0.500000 0.300000 1.000000\n"
    " 2\n Ed 1.35*(1)+1.50*(2)+\n Ed 1.00*(1)+0.50*(3)+\n 0 0 0\n 0 0 0\n 0 0 0\n";

}  // namespace

TEST_F(ModellTest, OneFieldOfFourMembersHasFiveEvenNodes)
{
    Fields({{4.0, 4, 0.0}});
    EXPECT_EQ(m_r->BaueModell(), kSetupKeineKombinationen);  // no combination files
    ASSERT_EQ(m_r->nKnoten, 5);
    EXPECT_EQ(m_r->nStaebe, 4);
    for (int k = 0; k < 5; ++k)
        EXPECT_DOUBLE_EQ(m_r->x[k], k);
    EXPECT_DOUBLE_EQ(m_r->L, 4.0);
    EXPECT_EQ(NKOMBI, 0);
    m_r->ZeigeSetupMeldungen(kSetupKeineKombinationen);
    ASSERT_EQ(win::msgbox::Log().size(), 1u);
    EXPECT_EQ(win::msgbox::Log()[0].text, "NKOMBI == 0");
}

TEST_F(ModellTest, SectionChangesAddNodesOnlyAwayFromExistingOnes)
{
    Fields({{3.0, 3, 0.05}, {2.0, 2, 0.1}});
    m_r->nQuerWechsel = 2;
    m_r->querWechsel[0] = {0, 1.0005, 0.0};  // 0.0005 m from node 1: no node
    m_r->querWechsel[1] = {1, 0.5, 0.25};    // 3.5 and 3.75: two nodes in field 1
    // the work-array estimate, made from the input before the set-up, counts the nodes the set-up will make
    const ArbeitsBedarf a = m_r->Arbeitsbedarf(1, 1000);
    m_r->BaueModell();
    const double expected[] = {0, 1, 2, 3, 3.5, 3.75, 4, 5};
    ASSERT_EQ(m_r->nKnoten, 8);
    EXPECT_EQ(a.knoten, 8);
    EXPECT_EQ(a.staebe, 7);
    for (int k = 0; k < 8; ++k)
        EXPECT_NEAR(m_r->x[k], expected[k], 1e-12);
    EXPECT_EQ(m_r->feldStaebe[0], 3);
    EXPECT_EQ(m_r->feldStaebe[1], 4);
    // members of each field; the field's eccentricity on its first member only
    const int field[] = {0, 0, 0, 1, 1, 1, 1};
    const double ez[] = {0.05, 0, 0, 0.1, 0, 0, 0};
    for (int e = 0; e < 7; ++e) {
        EXPECT_EQ(m_r->stabFeld[e], field[e]) << e;
        EXPECT_DOUBLE_EQ(m_r->stabEz[e], ez[e]) << e;
    }
}

TEST_F(ModellTest, LineLoadsAreInterpolatedOntoTheMembersTheyCover)
{
    Fields({{4.0, 4, 0.0}});
    m_r->nLinienlasten[0] = 2;
    m_r->linienlast[0][0] = {0.0, 4.0, 0.0, 8.0, 2, 1};  // 0 -> 8 kN/m over the column, load case 2
    m_r->linienlast[0][1] = {1.5, 2.5, 3.0, 3.0, 3, 2};  // from 1.5: half of member 1 stays unloaded
    EXPECT_EQ(m_r->Arbeitsbedarf(1, 1000).linienSaetze, 4 + 2 + 3);
    m_r->BaueModell();
    const int first = m_r->INDEX[6];
    // stage 0: four members from the top down, then members 3 and 2 of the second load;
    // stages 1 to 3: one empty record each
    ASSERT_EQ(m_r->nLastSaetze, 4 + 2 + 3);
    for (int r = 0; r < 4; ++r) {
        const int e = 3 - r;
        EXPECT_EQ(Record(first, r, kSatzKnotenOderStab), e);
        EXPECT_EQ(Record(first, r, kSatzLastfall), 2);
        EXPECT_EQ(Record(first, r, kSatzArt), 1);
        EXPECT_EQ(Record(first, r, kSatzSystem), 0);
        const int d = Record(first, r, kSatzDouble);
        EXPECT_DOUBLE_EQ(WD(d), 0.0);
        EXPECT_DOUBLE_EQ(WD(d + 1), 2.0 * e);  // q(x) = 2x
        EXPECT_DOUBLE_EQ(WD(d + 2), 2.0 * (e + 1));
    }
    EXPECT_EQ(Record(first, 4, kSatzKnotenOderStab), 3);
    EXPECT_EQ(Record(first, 5, kSatzKnotenOderStab), 2);
    for (int s = 1; s <= 3; ++s) {
        const int r = 5 + s;
        EXPECT_EQ(Record(first, r, kSatzKnotenOderStab), 0);
        EXPECT_EQ(Record(first, r, kSatzLastfall), 1);
        EXPECT_EQ(Record(first, r, kSatzArt), 1);
        EXPECT_EQ(Record(first, r, kSatzSystem), s);
        EXPECT_DOUBLE_EQ(WD(Record(first, r, kSatzDouble) + 1), 0.0);
    }
}

TEST_F(ModellTest, PointLoadsGoToFieldEndNodesAndOthersAreSkippedWithAMessage)
{
    Fields({{3.0, 3, 0.0}, {2.0, 2, 0.0}});
    m_r->nEinzellasten[0] = 2;
    m_r->einzellast[0][0] = {0, 1, {-100.0, 2.0, 3.0, 4.0, 5.0}};  // position 0: the top
    m_r->einzellast[0][1] = {7, 1, {1.0, 0, 0, 0, 0}};             // no such field end
    m_r->nEinzellasten[1] = 1;
    m_r->einzellast[1][0] = {2, 4, {0, 10.0, 0, 0, 0}};  // end of field 0 at 3 m
    const int code = m_r->BaueModell();
    EXPECT_EQ(m_r->KnotenBeiKoordinate(0), 5);
    EXPECT_EQ(m_r->KnotenBeiKoordinate(1), 0);
    EXPECT_EQ(m_r->KnotenBeiKoordinate(2), 3);
    EXPECT_EQ(m_r->KnotenBeiKoordinate(3), 5);
    EXPECT_EQ(m_r->KnotenBeiKoordinate(4), -1);
    ASSERT_EQ(m_r->nPunktSaetze, 2);
    const int first = m_r->INDEX[5];
    EXPECT_EQ(Record(first, 0, kSatzKnotenOderStab), 5);
    EXPECT_EQ(Record(first, 0, kSatzArt), 0);
    const int d = Record(first, 0, kSatzDouble);
    const double values[8] = {0, -100, 2, 3, 0, 4, 5, 0};  // factor, u v w rx ry rz warping
    for (int k = 0; k < 8; ++k)
        EXPECT_DOUBLE_EQ(WD(d + k), values[k]) << k;
    EXPECT_EQ(Record(first, 1, kSatzKnotenOderStab), 3);
    EXPECT_EQ(Record(first, 1, kSatzSystem), 1);
    EXPECT_EQ(Record(first, 1, kSatzLastfall), 4);
    m_r->ZeigeSetupMeldungen(code);
    ASSERT_EQ(win::msgbox::Log().size(), 2u);
    EXPECT_EQ(win::msgbox::Log()[1].text, "Einzellast an Position 7 liegt an keinem Knoten und wird nicht angesetzt.");
}

TEST_F(ModellTest, PartitionOfTheWorkArrays)
{
    Fields({{4.0, 4, 0.0}});
    WriteTr(0, kTrFile);
    ASSERT_EQ(m_r->BaueModell(), kSetupOk);
    ASSERT_EQ(NKOMBI, 2);
    const int d0 = 1000 + 4 * kLinienSatzDoubles;  // four empty line-load records
    const int i0 = 1000 + 4 * kSatzGroesse;
    // K = 5 nodes, E = 4 members, N = 2: sizes 7KN = 70, 14EN = 112, 2EN = 16, 7K = 35, 14E = 56,
    // 28KN = 280, 12N = 24, 4N = 8, 4KN = 40
    EXPECT_EQ(m_r->INDEX[2], i0);
    EXPECT_EQ(m_r->INDEX[10], d0);
    EXPECT_EQ(m_r->INDEX[11], d0 + 70);
    EXPECT_EQ(m_r->INDEX[12], d0 + 140);
    EXPECT_EQ(m_r->INDEX[50], d0 + 252);
    EXPECT_EQ(m_r->INDEX[58], d0 + 252 + 8 * 16);
    EXPECT_EQ(m_r->INDEX[15], d0 + 396);
    EXPECT_EQ(m_r->INDEX[16], d0 + 431);
    EXPECT_EQ(m_r->INDEX[17], d0 + 466);
    EXPECT_EQ(m_r->INDEX[18], d0 + 522);
    EXPECT_EQ(m_r->INDEX[19], d0 + 802);
    EXPECT_EQ(m_r->INDEX[20], d0 + 826);
    EXPECT_EQ(m_r->INDEX[22], d0 + 966);
    EXPECT_EQ(m_r->INDEX[23], d0 + 1078);
    EXPECT_EQ(m_r->INDEX[40], d0 + 1078 + 17 * 16);
    EXPECT_EQ(m_r->INDEX[41], d0 + 1366);
    EXPECT_EQ(m_r->INDEX[70], d0 + 1374);
    EXPECT_EQ(m_r->INDEX[1], d0 + 1414);
    EXPECT_EQ(m_r->INDEX[60], i0);
    EXPECT_EQ(m_r->INDEX[61], i0 + 70);
    EXPECT_EQ(m_r->INDEX[62], i0 + 140);
    EXPECT_EQ(m_r->INDEX[66], i0 + 172);
    EXPECT_EQ(m_r->INDEX[0], i0 + 180);
    for (int k = i0; k < i0 + 180; ++k)
        ASSERT_EQ(WI(k), -1);
    EXPECT_EQ(m_r->Slot(21, 1, 7 * 5), d0 + 896 + 35);
}

TEST_F(ModellTest, CapacitiesAreCheckedBeforeUse)
{
    Fields({{4.0, 101, 0.0}});
    EXPECT_EQ(m_r->BaueModell(), kSetupZuVieleStaebe);
    Fields({{4.0, 60, 0.0}, {4.0, 40, 0.0}});
    m_r->nQuerWechsel = 1;
    m_r->querWechsel[0] = {0, 0.01, 0.0};  // one node more than 100 members allow
    EXPECT_EQ(m_r->BaueModell(), kSetupZuVieleStaebe);
    m_r->nQuerWechsel = 0;
    Fields({{4.0, 0, 0.0}});
    EXPECT_EQ(m_r->BaueModell(), kSetupEingabe);
    EXPECT_FALSE(m_r->meldung.empty());

    // a partition larger than the work arrays is refused and nothing is written beyond them
    WorkArrays small(2400, 2000);  // the partition needs 1012 + 1414 doubles
    m_r->INDEX[0] = m_r->INDEX[1] = 1000;
    Fields({{4.0, 4, 0.0}});
    WriteTr(0, kTrFile);
    EXPECT_EQ(m_r->BaueModell(), kSetupSpeicher);
    m_r->ZeigeSetupMeldungen(kSetupSpeicher);
    EXPECT_EQ(win::msgbox::Log().size(), 1u);
}

namespace {

// A model of one field with records of load cases 1 to 3 in stage 0 and one record in stage 1.
class LastbildTest : public ModellTest {
protected:
    void SetUp() override
    {
        ModellTest::SetUp();
        Fields({{4.0, 2, 0.0}});
        m_r->nLinienlasten[0] = 2;
        m_r->linienlast[0][0] = {0.0, 4.0, 5.0, 5.0, 1, 1};  // qy = 5 on both members
        m_r->linienlast[0][1] = {2.0, 2.0, 4.0, 4.0, 3, 2};  // qz = 4 on the upper member
        m_r->nLinienlasten[1] = 1;
        m_r->linienlast[1][0] = {0.0, 4.0, 9.0, 9.0, 1, 1};
        m_r->nEinzellasten[0] = 1;
        m_r->einzellast[0][0] = {0, 2, {-50.0, 10.0, 0, 0, 0}};
        WriteTr(0, kTrFile);
        ASSERT_EQ(m_r->BaueModell(), kSetupOk);
        std::string path;
        ASSERT_EQ(m_r->OeffneKombiDatei(path, kArtTr, 0, 1), 2);
        ASSERT_EQ(m_r->kombi.WaehleKombinationen(0, 0, 0, 0), 0);
        m_r->aktSystem = 0;
    }
    double Factor(int first, int r) const { return WD(Record(first, r, kSatzDouble)); }
};

}  // namespace

TEST_F(LastbildTest, CombinationFactorsReachTheRecordsOfItsLoadCases)
{
    // combination 0: 1.35 x load case 1 + 1.50 x load case 2
    // hits: two members of case 1, the point load of case 2 -> 3 images, result 2
    EXPECT_EQ(m_r->aktlast(0, 0), 2);
    const int linie = m_r->INDEX[6];
    // factors are kept in single precision
    EXPECT_DOUBLE_EQ(Factor(linie, 0), 1.35f);
    EXPECT_DOUBLE_EQ(Factor(linie, 1), 1.35f);
    EXPECT_DOUBLE_EQ(Factor(linie, 2), 0.0);  // load case 3
    EXPECT_DOUBLE_EQ(Factor(m_r->INDEX[5], 0), 1.5);
    // the stage-1 record of load case 1 is not the current system's
    const int stage1 = 3;
    EXPECT_EQ(Record(linie, stage1, kSatzSystem), 1);
    EXPECT_DOUBLE_EQ(Factor(linie, stage1), 0.0);
    // combination 1: 1.0 x case 1 + 0.5 x case 3: factors of the previous image are cleared
    EXPECT_EQ(m_r->aktlast(0, 1), 2);
    EXPECT_DOUBLE_EQ(Factor(m_r->INDEX[5], 0), 0.0);
    EXPECT_DOUBLE_EQ(Factor(linie, 2), 0.5);
    // self weight counts as one image more where the combination holds its load case
    m_r->gammaBeton = 25.0;
    m_r->eigengewichtLf[0] = 1;
    EXPECT_EQ(m_r->aktlast(0, 1), 3);
    m_r->eigengewichtLf[0] = 2;
    EXPECT_EQ(m_r->aktlast(0, 1), 2);
    // a stage without line loads still has its empty record of load case 1: one image
    m_r->gammaBeton = 0.0;
    m_r->aktSystem = 2;
    EXPECT_EQ(m_r->aktlast(0, 0), 0);
    // no such combination: no image
    EXPECT_EQ(m_r->aktlast(0, 5), -1);
}

TEST_F(LastbildTest, CreepLoadIsEachEntrysFactorOnItsOwnLoadCase)
{
    m_r->nKriech = 2;
    m_r->kriechLf[0] = 1;
    m_r->kriechFakt[0] = 0.8;
    m_r->kriechLf[1] = 3;
    m_r->kriechFakt[1] = 0.3;
    EXPECT_EQ(m_r->aktlast(1, 0), 2);  // two members of case 1, one of case 3
    const int linie = m_r->INDEX[6];
    EXPECT_DOUBLE_EQ(Factor(linie, 0), 0.8);
    EXPECT_DOUBLE_EQ(Factor(linie, 2), 0.3);
    EXPECT_DOUBLE_EQ(Factor(m_r->INDEX[5], 0), 0.0);
}

TEST_F(LastbildTest, MemberAndNodeLoadsOfTheImage)
{
    m_r->aktlast(0, 0);
    const int load = 50000, fixed = 50100, q8 = 50200, nodal = 50300;
    FillD(load, 1, 14, 0.0);
    FillD(fixed, 1, 14, 0.0);
    m_r->StabLasten(1, 2.0, load, fixed, q8);
    // member 1: qy = 1.35 x 5 over L = 2: qL/2 and qL^2/12 at the start
    const double q = 1.35f * 5.0;
    EXPECT_DOUBLE_EQ(WD(load + 1), q);
    EXPECT_DOUBLE_EQ(WD(load + 5), q * 4 / 12);
    EXPECT_DOUBLE_EQ(WD(load + 12), -q * 4 / 12);
    EXPECT_DOUBLE_EQ(WD(fixed + 8), q);
    EXPECT_DOUBLE_EQ(WD(load + 2), 0.0);  // the qz load of case 3 has no factor
    FillD(nodal, 1, 21, 0.0);
    m_r->KnotenLasten(nodal);
    EXPECT_DOUBLE_EQ(WD(nodal + 14), 1.5 * -50.0);  // u at the top node (node 2)
    EXPECT_DOUBLE_EQ(WD(nodal + 15), 1.5 * 10.0);
    EXPECT_DOUBLE_EQ(WD(nodal), 0.0);
}

TEST_F(LastbildTest, SupportsHoldTwistAndWarpingAndNeedAMatchingNode)
{
    m_r->nLager = 2;
    const double values[7] = {-1, -1, -1, 0, 5000, 0, 0};
    for (int j = 0; j < 7; ++j) {
        m_r->lagerWerte[0][j] = values[j];
        m_r->lagerWerte[1][j] = 200.0;
    }
    m_r->lagerAnKnoten[0][0] = 1;  // foot
    m_r->lagerAnKnoten[0][1] = 2;  // top
    m_r->lagerAnKnoten[1][1] = 1;  // another system
    const int xModel = 60000, xFe = 60010, springs = 60100, flags = 100;
    PutD(xModel, {0.0, 4.0});
    PutD(xFe, {0.0, 2.0, 4.0005});
    m_r->Lager(springs, xModel, 2, xFe, 3, flags);
    const double expected[7] = {-1, -1, -1, -1, 5000, 0, -1};
    for (int j = 0; j < 7; ++j) {
        EXPECT_DOUBLE_EQ(WD(springs + j), expected[j]) << j;
        EXPECT_DOUBLE_EQ(WD(springs + 7 + j), 0.0);
        EXPECT_DOUBLE_EQ(WD(springs + 14 + j), j == 3 || j == 6 ? -1.0 : 200.0);
    }
    EXPECT_EQ(WI(flags), 1);
    EXPECT_EQ(WI(flags + 1), 0);
    EXPECT_EQ(WI(flags + 2), 1);
    // a support farther than 0.001 m from every node is dropped
    PutD(xFe, {0.0, 2.0, 4.002});
    m_r->Lager(springs, xModel, 2, xFe, 3, flags);
    EXPECT_EQ(WI(flags + 2), 0);
    EXPECT_DOUBLE_EQ(WD(springs + 14 + 2), 0.0);
}

TEST_F(LastbildTest, ImperfectionForcesOfACompressedMember)
{
    // member 1 of combination 1 with psiy = 0.002, psiz = 0.004; N = -100 kN: P psi at its nodes
    const int node = m_r->Slot(70, 1, 4 * m_r->nKnoten) + 4 * 1;
    WD(node + 2) = 0.002;
    WD(node + 3) = 0.004;
    const int load = 70000, forces = 70100;
    FillD(load, 1, 21, 0.0);
    FillD(forces, 1, 14, 0.0);
    WD(forces) = -100.0;
    WD(forces + 7) = -100.0;
    m_r->ImperfektionsLasten(1, load, forces, 1);
    EXPECT_DOUBLE_EQ(WD(load + 7 + 1), -0.4);
    EXPECT_DOUBLE_EQ(WD(load + 7 + 2), 0.2);
    EXPECT_DOUBLE_EQ(WD(load + 14 + 1), 0.4);
    EXPECT_DOUBLE_EQ(WD(load + 14 + 2), -0.2);
    FillD(load, 1, 21, 0.0);
    WD(forces) = 100.0;  // tension
    WD(forces + 7) = 100.0;
    m_r->ImperfektionsLasten(1, load, forces, 1);
    for (int k = 0; k < 21; ++k)
        EXPECT_EQ(WD(load + k), 0.0);
}

TEST_F(ModellTest, SystemResultsGoToTheirSlotsAndGoverningCombinationsAreKept)
{
    Fields({{4.0, 2, 0.0}});  // K = 3 nodes, E = 2 members
    WriteTr(0,
            " 1\n 1 1 1\n 1\n 0\n 0\n 0\n 1 0 0 0 0 0 0 0\n"
            " 1.0 1.0 0.0 0.0 0.0 0.0 0.0\n 3\n Ed 1.0*(1)+\n Ed 2.0*(1)+\n Ed 3.0*(1)+\n"
            " 0 0 0\n 0 0 0\n 0 0 0\n");
    ASSERT_EQ(m_r->BaueModell(), kSetupOk);
    ASSERT_EQ(NKOMBI, 3);
    const int K7 = 21, reactions = 100000, displacements = 100100, forces = 100200;
    // component 1 (v at the foot): 5, 8, 2 -> maximum in combination 1, minimum in 2;
    // component 2 (w at the foot): 4, 0, -1 -> 0 in combination 1 gives -1, then -1 is a new minimum;
    // component 8 (v at node 1) of the deformations: -1, -3, 7
    const double r1[3] = {5, 8, 2}, r2[3] = {4, 0, -1}, d8[3] = {-1, -3, 7};
    for (int c = 0; c < 3; ++c) {
        FillD(reactions, 1, K7, 0.5);
        FillD(displacements, 1, K7, 0.5);
        FillD(forces, 1, 28, 10.0 * c);
        WD(reactions + 1) = r1[c];
        WD(reactions + 2) = r2[c];
        WD(displacements + 8) = d8[c];
        m_r->SpeichereSystemErgebnisse(0, c, 0, reactions, displacements, forces);
        if (c == 1) {
            EXPECT_EQ(WI(m_r->INDEX[60] + 2), -1);
            EXPECT_EQ(WI(m_r->INDEX[60] + K7 + 2), -1);
        }
    }
    EXPECT_DOUBLE_EQ(WD(m_r->Slot(10, 1, K7) + 1), 8.0);
    EXPECT_DOUBLE_EQ(WD(m_r->Slot(12, 2, 28) + 27), 20.0);
    EXPECT_EQ(WI(m_r->INDEX[60] + 1), 1);
    EXPECT_EQ(WI(m_r->INDEX[60] + K7 + 1), 2);
    EXPECT_EQ(WI(m_r->INDEX[60] + K7 + 2), 2);
    EXPECT_EQ(WI(m_r->INDEX[61] + 8), 2);
    EXPECT_EQ(WI(m_r->INDEX[61] + K7 + 8), 1);
    EXPECT_EQ(WI(m_r->INDEX[60] + 0), 0);  // 0.5 throughout: combination 0 stays governing
    for (int i = 3; i < K7; i += 3) {
        EXPECT_EQ(WI(m_r->INDEX[60] + i), -1) << i;
        EXPECT_EQ(WI(m_r->INDEX[60] + K7 + i), -1) << i;
    }

    // creep results have one slice; second-order results their own slots; the crack pass keeps
    // the governing entries as they are
    FillD(reactions, 1, K7, 99.0);
    m_r->SpeichereSystemErgebnisse(1, 0, 0, reactions, displacements, forces);
    EXPECT_DOUBLE_EQ(WD(m_r->Slot(15, 0, K7)), 99.0);
    m_r->SpeichereSystemErgebnisse(2, 1, 1, reactions, displacements, forces);
    EXPECT_DOUBLE_EQ(WD(m_r->Slot(20, 2, K7) + 20), 99.0);
    m_r->rissSchalter = 1;
    WD(reactions + 1) = 1000.0;
    m_r->SpeichereSystemErgebnisse(0, 2, 0, reactions, displacements, forces);
    EXPECT_EQ(WI(m_r->INDEX[60] + 1), 1);
}
