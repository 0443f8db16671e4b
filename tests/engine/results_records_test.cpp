// The section results a calculation keeps per combination and the records made of them: a small column
// calculated whole, its strain-state, ultimate, shear, stiffness and crack columns against the values taken
// once from the collection that found them by the end forces' bytes; and what the engine keeps per result
// slot.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "results_fixture.h"

using results_test::Find;
using results_test::RecordsRun;

namespace {

enum Kind { kStab, kBruch, kDehn, kSchub, kRiss };

// One column of one record: its row count, its value at the foot (the last row) and its rows' absolute sum.
struct Expected {
    Kind kind;
    int typ, lk, system;
    const char* column;
    std::size_t rows;
    double foot, absSum;
};

// EC2 (engine code 2). LK 1 and 3 are the same combination in the two stages. The head carries no moment: its
// shear row takes the lever arm z = d, limited to 0.9 d, as the rows whose design gives a longer one do.
const Expected kEc2[] = {
    {kStab, 3, 1, 0, "By", 8, 34.0659591, 456.237169},
    {kStab, 3, 1, 0, "Bx", 8, 11.422551, 160.135263},
    {kStab, 3, 2, 0, "By", 8, 29.921647, 428.297781},
    {kStab, 3, 2, 0, "Bx", 8, 9.4099431, 148.577564},
    {kStab, 3, 3, 1, "By", 8, 34.0659591, 456.237169},
    {kStab, 3, 3, 1, "Bx", 8, 11.422551, 160.135263},
    {kStab, 3, 4, 1, "By", 8, 39.0739377, 485.577486},
    {kStab, 3, 4, 1, "Bx", 8, 13.5054172, 170.510613},
    {kBruch, 3, 1, 0, "N", 8, -964.808171, 15542.814},
    {kBruch, 3, 1, 0, "My", 8, -116.410488, 717.748623},
    {kBruch, 3, 1, 0, "Mx", 8, 106.185258, 670.478236},
    {kBruch, 3, 1, 0, "eps1", 8, -3.5, 26.5},
    {kBruch, 3, 1, 0, "eps2", 8, 3.08937607, 13.1180676},
    {kBruch, 3, 1, 0, "epss", 8, 2.15979254, 9.24406788},
    {kBruch, 3, 1, 0, "alfa", 8, -159.500535, 1203.63425},
    {kBruch, 3, 2, 0, "N", 8, -694.919723, 13598.983},
    {kBruch, 3, 2, 0, "My", 8, -113.272331, 782.946788},
    {kBruch, 3, 2, 0, "Mx", 8, 95.6676612, 675.443984},
    {kBruch, 3, 2, 0, "eps1", 8, -3.5, 26.5},
    {kBruch, 3, 2, 0, "eps2", 8, 4.03718801, 17.2322118},
    {kBruch, 3, 2, 0, "epss", 8, 2.97720452, 11.6704606},
    {kBruch, 3, 2, 0, "alfa", 8, -158.973149, 1196.61819},
    {kBruch, 3, 3, 1, "N", 8, -964.808171, 15542.814},
    {kBruch, 3, 3, 1, "My", 8, -116.410488, 717.748623},
    {kBruch, 3, 3, 1, "Mx", 8, 106.185258, 670.478236},
    {kBruch, 3, 3, 1, "eps1", 8, -3.5, 26.5},
    {kBruch, 3, 3, 1, "eps2", 8, 3.08937607, 13.1180676},
    {kBruch, 3, 3, 1, "epss", 8, 2.15979254, 9.24406788},
    {kBruch, 3, 3, 1, "alfa", 8, -159.500535, 1203.63425},
    {kBruch, 3, 4, 1, "N", 8, -1109.81206, 16697.0344},
    {kBruch, 3, 4, 1, "My", 8, -117.815638, 701.149773},
    {kBruch, 3, 4, 1, "Mx", 8, 105.862201, 639.925404},
    {kBruch, 3, 4, 1, "eps1", 8, -3.5, 26.5},
    {kBruch, 3, 4, 1, "eps2", 8, 2.70712274, 10.9841134},
    {kBruch, 3, 4, 1, "epss", 8, 1.83528513, 8.05429284},
    {kBruch, 3, 4, 1, "alfa", 8, -158.759434, 1200.25313},
    {kDehn, 3, 1, 0, "N", 8, -405.000647, 3240.00397},
    {kDehn, 3, 1, 0, "My", 8, -48.8572402, 197.501273},
    {kDehn, 3, 1, 0, "Mx", 8, 44.5678228, 183.803349},
    {kDehn, 3, 1, 0, "eps1", 8, -0.947163154, 3.82010638},
    {kDehn, 3, 1, 0, "eps2", 8, 0.940456498, 2.36730656},
    {kDehn, 3, 1, 0, "epss", 8, 0.673659698, 1.68869362},
    {kDehn, 3, 1, 0, "alfa", 8, -159.817685, 1207.06557},
    {kDehn, 3, 2, 0, "N", 8, -300.000057, 2400.00429},
    {kDehn, 3, 2, 0, "My", 8, -48.8997596, 197.323821},
    {kDehn, 3, 2, 0, "Mx", 8, 41.3003447, 169.570856},
    {kDehn, 3, 2, 0, "eps1", 8, -0.954930368, 3.64723027},
    {kDehn, 3, 2, 0, "eps2", 8, 1.17890306, 3.07033442},
    {kDehn, 3, 2, 0, "epss", 8, 0.877739497, 2.21600422},
    {kDehn, 3, 2, 0, "alfa", 8, -159.577049, 1199.30335},
    {kDehn, 3, 3, 1, "N", 8, -405.000647, 3240.00397},
    {kDehn, 3, 3, 1, "My", 8, -48.8572402, 197.501273},
    {kDehn, 3, 3, 1, "Mx", 8, 44.5678228, 183.803349},
    {kDehn, 3, 3, 1, "eps1", 8, -0.947163154, 3.82010638},
    {kDehn, 3, 3, 1, "eps2", 8, 0.940456498, 2.36730656},
    {kDehn, 3, 3, 1, "epss", 8, 0.673659698, 1.68869362},
    {kDehn, 3, 3, 1, "alfa", 8, -159.817685, 1207.06557},
    {kDehn, 3, 4, 1, "N", 8, -300.000685, 2399.99761},
    {kDehn, 3, 4, 1, "My", 8, -31.8511339, 128.304925},
    {kDehn, 3, 4, 1, "Mx", 8, 28.620832, 116.827164},
    {kDehn, 3, 4, 1, "eps1", 8, -0.565150786, 2.39792837},
    {kDehn, 3, 4, 1, "eps2", 8, 0.478188045, 1.22562112},
    {kDehn, 3, 4, 1, "epss", 8, 0.331469884, 0.850278562},
    {kDehn, 3, 4, 1, "alfa", 8, -158.96091, 1203.61062},
    {kSchub, 3, 1, 0, "ved", 8, 14.9763646, 119.810917},
    {kSchub, 3, 1, 0, "cot", 8, 1, 8},
    {kSchub, 3, 1, 0, "vrdct", 8, 108.286374, 723.352519},
    {kSchub, 3, 1, 0, "vrdmax", 8, 549.018459, 3499.78025},
    {kSchub, 3, 1, 0, "asb", 8, 3.45335991, 27.6268793},
    {kSchub, 3, 2, 0, "ved", 8, 14.7401159, 117.920927},
    {kSchub, 3, 2, 0, "cot", 8, 1, 8},
    {kSchub, 3, 2, 0, "vrdct", 8, 96.3274875, 700.188584},
    {kSchub, 3, 2, 0, "vrdmax", 8, 529.741933, 3837.16585},
    {kSchub, 3, 2, 0, "asb", 8, 3.41632032, 27.3305625},
    {kSchub, 3, 3, 1, "ved", 8, 14.9763646, 119.810917},
    {kSchub, 3, 3, 1, "cot", 8, 1, 8},
    {kSchub, 3, 3, 1, "vrdct", 8, 108.286374, 723.352519},
    {kSchub, 3, 3, 1, "vrdmax", 8, 549.018459, 3499.78025},
    {kSchub, 3, 3, 1, "asb", 8, 3.45335991, 27.6268793},
    {kSchub, 3, 4, 1, "ved", 8, 10.0547175, 80.4377401},
    {kSchub, 3, 4, 1, "cot", 8, 1, 8},
    {kSchub, 3, 4, 1, "vrdct", 8, 96.1012877, 581.528254},
    {kSchub, 3, 4, 1, "vrdmax", 8, 547.875077, 3234.36851},
    {kSchub, 3, 4, 1, "asb", 8, 3.46951677, 27.7561341},
    {kRiss, 3, 1, 0, "N", 5, -300, 1500},
    {kRiss, 3, 1, 0, "eps1", 5, -0.182321999, 0.713990247},
    {kRiss, 3, 1, 0, "eps2", 5, -0.0247970193, 0.320191721},
    {kRiss, 3, 1, 0, "epss", 5, -0.0460310583, 0.373274931},
    {kRiss, 3, 1, 0, "sigma", 5, -9.20621166, 74.6549861},
    {kRiss, 3, 1, 0, "azab", 5, 0, 0},
    {kRiss, 3, 1, 0, "nue", 5, 0, 0},
    {kRiss, 3, 2, 1, "N", 5, -300, 1500},
    {kRiss, 3, 2, 1, "eps1", 5, -0.236130515, 0.846918867},
    {kRiss, 3, 2, 1, "eps2", 5, 0.0286149109, 0.245593975},
    {kRiss, 3, 2, 1, "epss", 5, -0.00707114162, 0.277134881},
    {kRiss, 3, 2, 1, "sigma", 5, -1.41422832, 55.4269763},
    {kRiss, 3, 2, 1, "azab", 5, 0.0234095146, 0.0234095146},
    {kRiss, 3, 2, 1, "nue", 5, 0, 0},
};

// SIA 262 (engine code 3) fills the shear block in a layout of its own.
const Expected kSia262Shear[] = {
    {kSchub, 3, 1, 0, "ved", 8, 14.9763646, 119.810917},
    {kSchub, 3, 1, 0, "cot", 8, 2.1445069, 17.1560552},
    {kSchub, 3, 1, 0, "vrdct", 8, 0, 0},
    {kSchub, 3, 1, 0, "vrdmax", 8, 477.923344, 3572.02296},
    {kSchub, 3, 1, 0, "asb", 8, 3.47948908, 27.8359126},
    {kSchub, 3, 2, 0, "ved", 8, 14.7401159, 117.920927},
    {kSchub, 3, 2, 0, "cot", 8, 2.1445069, 17.1560552},
    {kSchub, 3, 2, 0, "vrdct", 8, 0, 0},
    {kSchub, 3, 2, 0, "vrdmax", 8, 461.100124, 3723.93578},
    {kSchub, 3, 2, 0, "asb", 8, 3.43437879, 27.4750303},
    {kSchub, 3, 3, 1, "ved", 8, 14.9763646, 119.810917},
    {kSchub, 3, 3, 1, "cot", 8, 2.1445069, 17.1560552},
    {kSchub, 3, 3, 1, "vrdct", 8, 0, 0},
    {kSchub, 3, 3, 1, "vrdmax", 8, 477.923344, 3572.02296},
    {kSchub, 3, 3, 1, "asb", 8, 3.47948908, 27.8359126},
    {kSchub, 3, 4, 1, "ved", 8, 10.0547175, 80.4377401},
    {kSchub, 3, 4, 1, "cot", 8, 2.1445069, 17.1560552},
    {kSchub, 3, 4, 1, "vrdct", 8, 0, 0},
    {kSchub, 3, 4, 1, "vrdmax", 8, 476.928023, 3563.48085},
    {kSchub, 3, 4, 1, "asb", 8, 3.49910574, 27.9928459},
};

const std::vector<double>* Column(const CResultContainer& out, const Expected& e)
{
    const std::string c = e.column;
    switch (e.kind) {
    case kStab:
        if (const auto* r = Find(out.Schnittgroessen, e.typ, e.lk, e.system))
            return c == "By" ? &r->By : &r->Bx;
        break;
    case kBruch:
    case kDehn:
        if (const auto* r = e.kind == kBruch ? Find(out.Bruchschnittgroessen, e.typ, e.lk, e.system)
                                             : Find(out.Dehnschnittgroessen, e.typ, e.lk, e.system))
            for (auto [name, col] : {std::pair{"N", &r->N},
                                     {"My", &r->My},
                                     {"Mx", &r->Mx},
                                     {"eps1", &r->eps1},
                                     {"eps2", &r->eps2},
                                     {"epss", &r->epss},
                                     {"alfa", &r->alfa}})
                if (c == name)
                    return col;
        break;
    case kSchub:
        if (const auto* r = Find(out.Schub, e.typ, e.lk, e.system))
            for (auto [name, col] : {std::pair{"ved", &r->ved},
                                     {"cot", &r->cot},
                                     {"vrdct", &r->vrdct},
                                     {"vrdmax", &r->vrdmax},
                                     {"asb", &r->asb}})
                if (c == name)
                    return col;
        break;
    case kRiss:
        if (const auto* r = Find(out.Rissnachweis, e.typ, e.lk, e.system))
            for (auto [name, col] : {std::pair{"N", &r->N},
                                     {"eps1", &r->eps1},
                                     {"eps2", &r->eps2},
                                     {"epss", &r->epss},
                                     {"sigma", &r->sigma},
                                     {"azab", &r->azab},
                                     {"nue", &r->nue}})
                if (c == name)
                    return col;
        break;
    }
    return nullptr;
}

void ExpectColumns(const CResultContainer& out, const Expected* begin, const Expected* end)
{
    auto near = [](double want) { return 1e-7 * std::fabs(want) + 1e-9; };
    for (const Expected* e = begin; e != end; ++e) {
        SCOPED_TRACE(testing::Message() << "record " << e->kind << " LK " << e->lk << " system " << e->system << " "
                                        << e->column);
        const std::vector<double>* col = Column(out, *e);
        ASSERT_NE(col, nullptr);
        ASSERT_EQ(col->size(), e->rows);
        EXPECT_NEAR(col->back(), e->foot, near(e->foot));
        EXPECT_NEAR(results_test::AbsSum(*col), e->absSum, near(e->absSum));
    }
}

}  // namespace

TEST_F(RecordsRun, SectionColumnsAsTheForceKeyedCollectionFoundThem)
{
    ASSERT_EQ(Run(2), 5);
    CResultContainer out;
    DruckeErgebnisse(5, out);
    ExpectColumns(out, std::begin(kEc2), std::end(kEc2));
}

TEST_F(RecordsRun, Sia262ShearColumnsFromItsOwnLayout)
{
    ASSERT_EQ(Run(3), 5);
    CResultContainer out;
    DruckeErgebnisse(5, out);
    ExpectColumns(out, std::begin(kSia262Shear), std::end(kSia262Shear));
    // VRd,ct is SIA 262's VRd = kd tau_cd d bw, 0 with the frame tests' EC2 material, which has no tau_cd;
    // VRd,max the compression field's 0.6 fcd bw z sin cos, which the routine's required web width divides by
    for (const auto& r : out.Schub) {
        for (double v : r->vrdct)
            EXPECT_EQ(v, 0.0);
        for (std::size_t i = 0; i < r->ved.size(); ++i)
            EXPECT_NEAR(r->strebe[i], r->ved[i] / r->vrdmax[i], 1e-12);
    }
}

// Slots: "Tr" 0, 1 (final system) and 2 (transport), "EdA" 3 (transport), fire 4, serviceability 5 and 6.
TEST_F(RecordsRun, EachAnalysedSlotKeepsItsOwnCompleteSections)
{
    CombinationResults fremd;
    fremd.sections.resize(3);
    g_combinationResults.File(40, KeptAnalysis::SecondOrder, fremd);
    ASSERT_EQ(Run(2), 5);
    EXPECT_EQ(g_combinationResults.Find(40, KeptAnalysis::SecondOrder), nullptr);  // a run starts empty

    const std::size_t n = std::size_t(2 * g_rechner.nStaebe);
    ASSERT_EQ(n, 8u);
    for (int slot = 0; slot <= 4; ++slot) {
        SCOPED_TRACE(slot);
        const CombinationResults* k = g_combinationResults.Find(slot, KeptAnalysis::SecondOrder);
        ASSERT_NE(k, nullptr);
        ASSERT_EQ(k->sections.size(), n);
        for (std::size_t i = 0; i < n; ++i) {
            const SectionResults& s = k->sections[i];
            EXPECT_LT(s.ultimate.N, 0.0) << i;
            EXPECT_LT(s.strain.N, 0.0) << i;
            EXPECT_GT(s.By, 0.0) << i;
            EXPECT_GT(s.Bz, 0.0) << i;
            EXPECT_GT(s.shear.ved, 0.0) << i;
            EXPECT_GT(s.shear.vrdmax, 0.0) << i;
            EXPECT_GT(s.ultimate.eps1 * s.ultimate.eps1 + s.ultimate.eps2 * s.ultimate.eps2, 0.0) << i;
        }
        EXPECT_EQ(g_combinationResults.Find(slot, KeptAnalysis::Serviceability), nullptr);
    }
    // 1.35 G + 1.5 Q and 1.00 G + 1.5 Q: the strain states differ at every section, the stiffnesses at the foot
    const CombinationResults& a = *g_combinationResults.Find(0, KeptAnalysis::SecondOrder);
    const CombinationResults& b = *g_combinationResults.Find(1, KeptAnalysis::SecondOrder);
    for (std::size_t i = 0; i < n; ++i)
        EXPECT_NE(a.sections[i].strain.N, b.sections[i].strain.N) << i;
    EXPECT_NE(a.sections[0].By, b.sections[0].By);
    EXPECT_NE(a.sections[0].ultimate.My, b.sections[0].ultimate.My);
    // the serviceability analyses keep their crack check and nothing else
    for (int slot : {5, 6}) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(g_combinationResults.Find(slot, KeptAnalysis::SecondOrder), nullptr);
        const CombinationResults* k = g_combinationResults.Find(slot, KeptAnalysis::Serviceability);
        ASSERT_NE(k, nullptr);
        ASSERT_EQ(k->sections.size(), n);
        for (const SectionResults& s : k->sections) {
            EXPECT_NE(s.crack.eps1, 0.0);
            EXPECT_EQ(s.ultimate.N, 0.0);
            EXPECT_EQ(s.By, 0.0);
        }
    }
    EXPECT_EQ(g_combinationResults.Find(7, KeptAnalysis::Serviceability), nullptr);
}

// The collection takes what the store holds for the slot: another slot's or a short entry shows nothing.
TEST_F(RecordsRun, RecordsShowTheStoreOfTheirOwnSlot)
{
    ASSERT_EQ(Run(2), 5);
    CombinationResults markiert = *g_combinationResults.Find(1, KeptAnalysis::SecondOrder);
    for (SectionResults& s : markiert.sections)
        s.shear.ved = 1234.5;
    g_combinationResults.File(1, KeptAnalysis::SecondOrder, markiert);
    CombinationResults kurz = *g_combinationResults.Find(2, KeptAnalysis::SecondOrder);
    kurz.sections.pop_back();
    g_combinationResults.File(2, KeptAnalysis::SecondOrder, kurz);
    CResultContainer out;
    DruckeErgebnisse(5, out);
    const CResultSchub* lk2 = Find(out.Schub, 3, 2, 0);
    ASSERT_NE(lk2, nullptr);
    for (double v : lk2->ved)
        EXPECT_EQ(v, 1234.5);
    const CResultSchub* lk1 = Find(out.Schub, 3, 1, 0);
    ASSERT_NE(lk1, nullptr);
    for (double v : lk1->ved)
        EXPECT_NE(v, 1234.5);
    const CResultBruchschnittgroessen* lk3 = Find(out.Bruchschnittgroessen, 3, 3, 1);
    ASSERT_NE(lk3, nullptr);
    for (double v : lk3->N)
        EXPECT_EQ(v, 0.0);
}

// The data model numbers the fields from the other end than the engine.
TEST_F(RecordsRun, MembersPerFieldInTheDataModelsOrder)
{
    ASSERT_EQ(Run(2), 5);
    EXPECT_EQ(MembersPerField(2), (std::vector<int>{2, 2}));
    g_rechner.stabFeld[2] = 0;  // the engine's field 0 now has three members, its field 1 one
    EXPECT_EQ(MembersPerField(2), (std::vector<int>{1, 3}));
    EXPECT_EQ(MembersPerField(3), (std::vector<int>{0, 1, 3}));
    EXPECT_TRUE(MembersPerField(0).empty());
}
