// The section results a calculation keeps per combination and the records made of them: a small column
// calculated whole, its strain-state, ultimate, shear, stiffness and crack columns against the values taken
// once from the collection that found them by the end forces' bytes (the second-order values taken again when
// the column's inclination came to lean with its deflection, the collection unchanged); and what the engine
// keeps per result slot.
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
// shear row takes the lever arm z = d, limited to 0.9 d, as the rows whose design gives a longer one do, and as
// the rows whose design state is fully compressed (no tension resultant, so no lever arm of the bending) do.
const Expected kEc2[] = {
    {kStab, 3, 1, 0, "By", 8, 33.7835966, 464.178612},
    {kStab, 3, 1, 0, "Bx", 8, 11.2495671, 161.16569},
    {kStab, 3, 2, 0, "By", 8, 29.6748431, 436.383946},
    {kStab, 3, 2, 0, "Bx", 8, 9.34184259, 149.977366},
    {kStab, 3, 3, 1, "By", 8, 33.7835966, 464.178612},
    {kStab, 3, 3, 1, "Bx", 8, 11.2495671, 161.16569},
    {kStab, 3, 4, 1, "By", 8, 38.703285, 493.167005},
    {kStab, 3, 4, 1, "Bx", 8, 13.2260138, 171.324404},
    {kBruch, 3, 1, 0, "N", 8, -933.276706, 15318.4663},
    {kBruch, 3, 1, 0, "My", 8, -126.360872, 787.732546},
    {kBruch, 3, 1, 0, "Mx", 8, 100.492989, 641.860052},
    {kBruch, 3, 1, 0, "eps1", 8, -3.5, 26.5},
    {kBruch, 3, 1, 0, "eps2", 8, 3.14701415, 13.5057264},
    {kBruch, 3, 1, 0, "epss", 8, 2.22195634, 9.47305767},
    {kBruch, 3, 1, 0, "alfa", 8, -157.15831, 1187.79225},
    {kBruch, 3, 2, 0, "N", 8, -675.529165, 13430.5503},
    {kBruch, 3, 2, 0, "My", 8, -120.049329, 836.918974},
    {kBruch, 3, 2, 0, "Mx", 8, 91.3976499, 651.098067},
    {kBruch, 3, 2, 0, "eps1", 8, -3.5, 26.5},
    {kBruch, 3, 2, 0, "eps2", 8, 4.07179524, 17.5139033},
    {kBruch, 3, 2, 0, "epss", 8, 3.01798333, 11.9689145},
    {kBruch, 3, 2, 0, "alfa", 8, -157.167243, 1184.21157},
    {kBruch, 3, 3, 1, "N", 8, -933.276706, 15318.4663},
    {kBruch, 3, 3, 1, "My", 8, -126.360872, 787.732546},
    {kBruch, 3, 3, 1, "Mx", 8, 100.492989, 641.860052},
    {kBruch, 3, 3, 1, "eps1", 8, -3.5, 26.5},
    {kBruch, 3, 3, 1, "eps2", 8, 3.14701415, 13.5057264},
    {kBruch, 3, 3, 1, "epss", 8, 2.22195634, 9.47305767},
    {kBruch, 3, 3, 1, "alfa", 8, -157.15831, 1187.79225},
    {kBruch, 3, 4, 1, "N", 8, -1073.97387, 16447.4625},
    {kBruch, 3, 4, 1, "My", 8, -129.620913, 778.738466},
    {kBruch, 3, 4, 1, "Mx", 8, 99.9684878, 610.292165},
    {kBruch, 3, 4, 1, "eps1", 8, -3.5, 26.5},
    {kBruch, 3, 4, 1, "eps2", 8, 2.7679142, 11.4119522},
    {kBruch, 3, 4, 1, "epss", 8, 1.9004219, 8.31397256},
    {kBruch, 3, 4, 1, "alfa", 8, -156.173243, 1182.31202},
    {kDehn, 3, 1, 0, "N", 8, -405.000632, 3240.00415},
    {kDehn, 3, 1, 0, "My", 8, -54.8602927, 221.779191},
    {kDehn, 3, 1, 0, "Mx", 8, 43.6251091, 179.993966},
    {kDehn, 3, 1, 0, "eps1", 8, -0.984770903, 3.94190949},
    {kDehn, 3, 1, 0, "eps2", 8, 0.990546954, 2.50430331},
    {kDehn, 3, 1, 0, "epss", 8, 0.715456391, 1.80190149},
    {kDehn, 3, 1, 0, "alfa", 8, -157.278684, 1189.23643},
    {kDehn, 3, 2, 0, "N", 8, -300.000064, 2400.00466},
    {kDehn, 3, 2, 0, "My", 8, -53.3109945, 215.133129},
    {kDehn, 3, 2, 0, "Mx", 8, 40.5887724, 166.69646},
    {kDehn, 3, 2, 0, "eps1", 8, -0.983798024, 3.74361213},
    {kDehn, 3, 2, 0, "eps2", 8, 1.21790502, 3.19814273},
    {kDehn, 3, 2, 0, "epss", 8, 0.910837993, 2.31166926},
    {kDehn, 3, 2, 0, "alfa", 8, -157.535864, 1185.27201},
    {kDehn, 3, 3, 1, "N", 8, -405.000632, 3240.00415},
    {kDehn, 3, 3, 1, "My", 8, -54.8602927, 221.779191},
    {kDehn, 3, 3, 1, "Mx", 8, 43.6251091, 179.993966},
    {kDehn, 3, 3, 1, "eps1", 8, -0.984770903, 3.94190949},
    {kDehn, 3, 3, 1, "eps2", 8, 0.990546954, 2.50430331},
    {kDehn, 3, 3, 1, "epss", 8, 0.715456391, 1.80190149},
    {kDehn, 3, 3, 1, "alfa", 8, -157.278684, 1189.23643},
    {kDehn, 3, 4, 1, "N", 8, -300.000785, 2400.00797},
    {kDehn, 3, 4, 1, "My", 8, -36.2114755, 145.873564},
    {kDehn, 3, 4, 1, "Mx", 8, 27.930262, 114.041591},
    {kDehn, 3, 4, 1, "eps1", 8, -0.589661976, 2.47671374},
    {kDehn, 3, 4, 1, "eps2", 8, 0.51167734, 1.3122521},
    {kDehn, 3, 4, 1, "epss", 8, 0.359307998, 0.921781548},
    {kDehn, 3, 4, 1, "alfa", 8, -156.104345, 1183.19103},
    {kSchub, 3, 1, 0, "ved", 8, 15.9664919, 127.731935},
    {kSchub, 3, 1, 0, "cot", 8, 1, 8},
    {kSchub, 3, 1, 0, "vrdct", 8, 108.883116, 734.604927},
    {kSchub, 3, 1, 0, "vrdmax", 8, 556.119732, 4419.74926},
    {kSchub, 3, 1, 0, "asb", 8, 3.37681139, 27.0144911},
    {kSchub, 3, 2, 0, "ved", 8, 15.4908154, 123.926523},
    {kSchub, 3, 2, 0, "cot", 8, 1, 8},
    {kSchub, 3, 2, 0, "vrdct", 8, 96.7207211, 706.345058},
    {kSchub, 3, 2, 0, "vrdmax", 8, 543.950634, 4328.03304},
    {kSchub, 3, 2, 0, "asb", 8, 3.3619953, 26.8959624},
    {kSchub, 3, 3, 1, "ved", 8, 15.9664919, 127.731935},
    {kSchub, 3, 3, 1, "cot", 8, 1, 8},
    {kSchub, 3, 3, 1, "vrdct", 8, 108.883116, 734.604927},
    {kSchub, 3, 3, 1, "vrdmax", 8, 556.119732, 4419.74926},
    {kSchub, 3, 3, 1, "asb", 8, 3.37681139, 27.0144911},
    {kSchub, 3, 4, 1, "ved", 8, 10.7808584, 86.2468669},
    {kSchub, 3, 4, 1, "cot", 8, 1, 8},
    {kSchub, 3, 4, 1, "vrdct", 8, 96.5468042, 598.418402},
    {kSchub, 3, 4, 1, "vrdmax", 8, 555.428309, 4390.82814},
    {kSchub, 3, 4, 1, "asb", 8, 3.38301464, 27.0641171},
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
    {kSchub, 3, 1, 0, "ved", 8, 15.9664919, 127.731935},
    {kSchub, 3, 1, 0, "cot", 8, 2.1445069, 17.1560552},
    {kSchub, 3, 1, 0, "vrdct", 8, 0, 0},
    {kSchub, 3, 1, 0, "vrdmax", 8, 484.105038, 3847.34516},
    {kSchub, 3, 1, 0, "asb", 8, 3.38604894, 27.0883915},
    {kSchub, 3, 2, 0, "ved", 8, 15.4908154, 123.926523},
    {kSchub, 3, 2, 0, "cot", 8, 2.1445069, 17.1560552},
    {kSchub, 3, 2, 0, "vrdct", 8, 0, 0},
    {kSchub, 3, 2, 0, "vrdmax", 8, 473.474619, 3767.5204},
    {kSchub, 3, 2, 0, "asb", 8, 3.36786883, 26.9429507},
    {kSchub, 3, 3, 1, "ved", 8, 15.9664919, 127.731935},
    {kSchub, 3, 3, 1, "cot", 8, 2.1445069, 17.1560552},
    {kSchub, 3, 3, 1, "vrdct", 8, 0, 0},
    {kSchub, 3, 3, 1, "vrdmax", 8, 484.105038, 3847.34516},
    {kSchub, 3, 3, 1, "asb", 8, 3.38604894, 27.0883915},
    {kSchub, 3, 4, 1, "ved", 8, 10.7808584, 86.2468669},
    {kSchub, 3, 4, 1, "cot", 8, 2.1445069, 17.1560552},
    {kSchub, 3, 4, 1, "vrdct", 8, 0, 0},
    {kSchub, 3, 4, 1, "vrdmax", 8, 483.50315, 3822.20659},
    {kSchub, 3, 4, 1, "asb", 8, 3.39365158, 27.1492126},
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
