// Result records, rounding, interpolation, the colour table and the error log.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/protocol.h"
#include "engine/results.h"
#include "engine/utilities.h"

TEST(ResultRecords, CopyGivesTheSourcesColumnLengths)
{
    CResultSchnittgroessen source;
    source.System = 2;
    source.LK = 7;
    source.Typ = 3;
    source.Kote = {0.0, 1.5};
    source.N = {-100.0, -95.0};
    CResultSchnittgroessen target;
    target.Kote.assign(5, 9.0);
    target.Eta.assign(5, 9.0);
    target = source;
    EXPECT_EQ(target.System, 2);
    EXPECT_EQ(target.LK, 7);
    EXPECT_EQ(target.Typ, 3);
    EXPECT_EQ(target.Kote, source.Kote);
    EXPECT_EQ(target.N, source.N);
    EXPECT_TRUE(target.Eta.empty());
}

TEST(ResultRecords, ResetClearsIntsColumnsAndEigen)
{
    CResultVerformung record;
    record.System = 1;
    record.LK = 4;
    record.Eigen[0] = 12.5;
    record.Eigen[5] = 0.3;
    record.w0 = {1.0, 2.0};
    record.Reset();
    EXPECT_EQ(record.System, 0);
    EXPECT_EQ(record.LK, 0);
    for (double e : record.Eigen)
        EXPECT_EQ(e, 0.0);
    EXPECT_TRUE(record.w0.empty());
    EXPECT_EQ(record.w0.capacity(), 0u);

    CResultVerformung copy;
    record.Eigen[2] = 7.0;
    copy = record;
    EXPECT_EQ(copy.Eigen[2], 7.0);

    CResultFundkraefte fund;
    fund.KNr = {1, 2};
    fund.dAmx = {0.5, 0.25};
    fund.Reset();
    EXPECT_TRUE(fund.KNr.empty());
    EXPECT_TRUE(fund.dAmx.empty());
    CResultErfAs erf;
    erf.QuerNr = {3};
    erf.Reset();
    EXPECT_TRUE(erf.QuerNr.empty());
}

TEST(ResultRecords, ContainerOwnsItsRecords)
{
    CResultContainer container;
    auto fire = std::make_unique<CResultBrandschnittgroessen>();
    fire->OK = 0;  // a failed fire combination is kept without rows
    container.Brandschnittgroessen.push_back(std::move(fire));
    container.Dehnschnittgroessen.push_back(std::make_unique<CResultDehnschnittgroessen>());
    container.Dehnschnittgroessen[0]->eps1 = {-3.5};
    CResultBruchschnittgroessen& asBase = *container.Dehnschnittgroessen[0];
    EXPECT_EQ(asBase.eps1.size(), 1u);
    EXPECT_EQ(container.Brandschnittgroessen[0]->OK, 0);
    EXPECT_TRUE(container.Brandschnittgroessen[0]->Kote.empty());
}

// Two shear records of a column of two fields (field 1 above Kote 2.0), rows from the head down, end then start
// of each element: the strut fails where the utilisation lies above 1, at exactly 1 it holds.
TEST(ResultRecords, StrutFailuresOncePerFieldHeightAndCombination)
{
    CResultContainer c;
    auto schub = [&](int lk, int system, std::vector<double> kote, std::vector<double> strebe, std::vector<int> feld) {
        auto r = std::make_unique<CResultSchub>();
        r->LK = lk;
        r->System = system;
        r->Typ = 3;
        r->Kote = kote;
        r->strebe = strebe;
        r->QuerNr = feld;
        for (double u : strebe) {
            r->ved.push_back(100.0 * u);  // VEd = u VRd,max with VRd,max = 100 kN
            r->vrdmax.push_back(100.0);
        }
        c.Schub.push_back(std::move(r));
    };
    // LK 1: the shared height 1.0 of field 1 fails in both rows (1.2 and 1.5: the larger stands); 2.0 fails only
    // in field 2's row; the head fails; 3.0 holds at exactly 1.
    schub(1, 0, {0.0, 1.0, 1.0, 2.0, 2.0, 3.0, 3.0, 4.0}, {1.1, 1.2, 1.5, 0.9, 1.3, 1.0, 0.5, 0.2},
          {1, 1, 1, 1, 2, 2, 2, 2});
    // LK 2 of stage 1: nothing fails
    schub(2, 1, {0.0, 2.0, 2.0, 4.0}, {0.3, 0.3, 0.3, 0.3}, {1, 1, 2, 2});
    // LK 3 of stage 1: the heights 2.0 of both fields fail, each in its own field
    schub(3, 1, {0.0, 2.0, 2.0, 4.0}, {0.3, 1.01, 1.02, 0.3}, {1, 1, 2, 2});

    const std::vector<StrutFailure> f = StrutFailures(c);
    ASSERT_EQ(f.size(), 5u);
    const struct {
        int field;
        double kote;
        int lk, system;
        double utilisation;
    } erwartet[] = {
        {1, 0.0, 1, 0, 1.1}, {1, 1.0, 1, 0, 1.5}, {2, 2.0, 1, 0, 1.3}, {1, 2.0, 3, 1, 1.01}, {2, 2.0, 3, 1, 1.02}};
    for (std::size_t i = 0; i < f.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(f[i].field, erwartet[i].field);
        EXPECT_EQ(f[i].kote, erwartet[i].kote);
        EXPECT_EQ(f[i].LK, erwartet[i].lk);
        EXPECT_EQ(f[i].System, erwartet[i].system);
        EXPECT_EQ(f[i].Typ, 3);
        EXPECT_DOUBLE_EQ(f[i].utilisation, erwartet[i].utilisation);
        EXPECT_DOUBLE_EQ(f[i].ved, 100.0 * erwartet[i].utilisation);
        EXPECT_DOUBLE_EQ(f[i].vrdmax, 100.0);
    }
    EXPECT_TRUE(c.Schub[0]->StrutFails(0));
    EXPECT_FALSE(c.Schub[0]->StrutFails(5));   // exactly 1
    EXPECT_FALSE(c.Schub[0]->StrutFails(99));  // no such row
    // a record read from a file that had no utilisation column fails nowhere
    c.Schub[0]->strebe.clear();
    EXPECT_FALSE(c.Schub[0]->StrutFails(0));
    EXPECT_EQ(StrutFailures(c).size(), 2u);
}

TEST(Runden, TruncatesAndStepsAwayBeyondAlmostHalf)
{
    const struct {
        double x;
        int expected;
    } cases[] = {{2.45, 2},   {2.6, 3},    {-2.6, -3}, {-2.4, -2}, {0.499, 0},
                 {-0.499, 0}, {2.4991, 3}, {0.0, 0},   {-0.5, -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(Runde(c.x), c.expected) << c.x;
        EXPECT_EQ(RundeF(static_cast<float>(c.x)), c.expected) << c.x;
    }
    EXPECT_EQ(RundeF(89.6f) * 10, 900);  // escapement of a text at 89.6 degrees
}

TEST(Interpolation, AscendingAndDescendingTables)
{
    const double xd[] = {3, 2, 1}, yd[] = {30, 20, 10};
    const double xa[] = {1, 2, 4}, ya[] = {10, 20, 0};
    const struct {
        const double *x, *y;
        double x0, expected;
    } cases[] = {
        {xd, yd, 2.5, 25}, {xd, yd, 5, 30}, {xd, yd, 0, 10}, {xd, yd, 1, 10},
        {xa, ya, 3, 10},   {xa, ya, 0, 10}, {xa, ya, 9, 0},  {xa, ya, 1.25, 12.5},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(Interpoliere(c.y, c.x, 3, c.x0), c.expected) << c.x0;
}

TEST(Farben, TableOfFourteenColours)
{
    SetzeFarben();
    EXPECT_EQ(g_farben[0], 0xFFFFFFu);
    EXPECT_EQ(g_farben[6], 0x000000u);
    EXPECT_EQ(g_farben[8], 0x0000FFu);  // red in 0x00BBGGRR
    EXPECT_EQ(g_farben[13], 0xF7F7F7u);
}

TEST(FehlerLog, WritesOnlyWithAStream)
{
    const int before = g_errorLogLines;
    EXPECT_EQ(FehlerLog(nullptr, 1, "nichts"), 0);
    EXPECT_EQ(g_errorLogLines, before);
    DebugProtocol log;
    log.OpenInMemory();
    EXPECT_EQ(FehlerLog(&log, 1, "Gleichungssystem instabil"), 1);
    EXPECT_EQ(FehlerLog(&log, 0, "Hinweis"), 0);
    EXPECT_EQ(FehlerLog(&log, -1, "leise"), -1);
    EXPECT_EQ(log.Text(), "FEHLER:  Gleichungssystem instabil\nWARNUNG: Hinweis\n");
    EXPECT_EQ(g_errorLogLines, before + 3);
}

TEST(DebugProtocolFile, IsWrittenWhenClosed)
{
    const std::string path = ::testing::TempDir() + "kolumoorg_test.txt";
    {
        DebugProtocol protocol;
        ASSERT_TRUE(protocol.Open(path.c_str()));
        protocol.Printf("Ende SetzeQuerUm()\n");
        protocol.Printf(" lf = %d x = %.3f\n", 3, 1.5);
        protocol.Close();
        protocol.Printf("nach dem Schliessen\n");  // swallowed
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    char buffer[128] = {};
    const std::size_t n = std::fread(buffer, 1, sizeof buffer - 1, f);
    std::fclose(f);
    std::remove(path.c_str());
    EXPECT_EQ(std::string(buffer, n), "Ende SetzeQuerUm()\n lf = 3 x = 1.500\n");
}
