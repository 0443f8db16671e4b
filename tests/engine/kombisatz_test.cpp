// Combination files and the selection of combinations, against files written by hand.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "engine/kombisatz.h"
#include "engine/rechner.h"

namespace {

// From the build, not __FILE__: a compiler cache may make source paths relative.
const std::string kDataDir = std::string(KOLUMO_TEST_DATA) + "/engine";

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A block with one load per load case, the given titles and formula texts, for stage `stage`.
std::string FileWithBlock(int code, int stage, const std::vector<std::pair<std::string, std::string>>& combos,
                          int loadCases = 3)
{
    std::string block = " " + std::to_string(loadCases) + " " + std::to_string(loadCases) + " 1\n";
    for (int row = 0; row < 4; ++row) {
        for (int i = 1; i <= loadCases; ++i)
            block += " " + std::to_string(row == 0 ? i : 0);
        block += "\n";
    }
    block += " 1 0 0 0 0 0 0 0\n";
    for (int i = 0; i < loadCases; ++i)
        block += " 1.000000 1.000000 0.000000 0.000000 0.000000 0.000000 0.000000\n";
    block += " " + std::to_string(combos.size()) + "\n";
    for (const auto& [title, formula] : combos)
        block += " " + title + " " + formula + "\n";
    std::string text = " " + std::to_string(code) + "\n";
    for (int b = 0; b < 4; ++b)
        text += b == stage ? block : " 0 0 0\n";
    return text;
}

struct Pair {
    int lc;
    float factor;
    bool operator==(const Pair&) const = default;
};

std::vector<Pair> Pairs(const CKombiSatz& set, int c)
{
    std::vector<Pair> out;
    for (int i = set.start[c]; i < set.start[c + 1]; ++i)
        out.push_back({set.KolLf[i], set.KolFakt[i]});
    return out;
}

}  // namespace

TEST(KombiDatei, HandWrittenEc2FileIsReadWithEveryField)
{
    auto set = std::make_unique<CKombiSatz>();
    const std::string text = ReadFile(kDataDir + "/ec2_two_actions.Vrb21LkTr0.dat");
    ASSERT_FALSE(text.empty());
    ASSERT_EQ(set->Lesen(text), 3);
    EXPECT_EQ(set->namensCode, 2);
    EXPECT_EQ(set->nLasten[0], 2);
    EXPECT_EQ(set->nLf[0], 2);
    EXPECT_EQ(set->nx[0], 1);
    EXPECT_EQ(set->lastLf[0][0], 1);
    EXPECT_EQ(set->lastLf[0][1], 2);
    EXPECT_EQ(set->lfGruppe[0][0], 0);
    EXPECT_EQ(set->lfGruppe[0][1], 1);
    EXPECT_EQ(set->lfVariabel[0][0], 0);
    EXPECT_EQ(set->lfVariabel[0][1], 1);
    EXPECT_EQ(set->lfAktion[0][0], 0);
    EXPECT_EQ(set->lfAktion[0][1], 2);
    const int flags[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(set->flags[0][i], flags[i]);
    const float reals[2][7] = {{1.35f, 1.0f, 0, 0, 0, 0, 0}, {0, 0, 1.5f, 0.7f, 0.5f, 0.3f, 1.0f}};
    for (int lc = 0; lc < 2; ++lc)
        for (int c = 0; c < 7; ++c)
            EXPECT_FLOAT_EQ(set->faktoren[c][0][lc], reals[lc][c]) << lc << "," << c;
    EXPECT_EQ(set->nKombi[0], 3);
    EXPECT_EQ(set->titel[0][0], "Ed");
    EXPECT_EQ(set->formel[0][0], "1.35*(1)+1.50*(2)+");
    EXPECT_EQ(set->titel[0][2], "Ed,A");
    EXPECT_EQ(set->formel[0][2], "1.00*(1)+0.30*(2)+");
    EXPECT_EQ(set->lastListe[0][0], "1");
    EXPECT_EQ(set->lastListe[0][1], "2");
    for (int b = 1; b < 4; ++b) {
        EXPECT_EQ(set->nLasten[b], 0);
        EXPECT_EQ(set->nKombi[b], 0);
    }

    // "Ed" has verification number 0: two combinations; "Ed,A" number 1
    set->nDatei = 3;
    ASSERT_EQ(set->WaehleKombinationen(0, 0, 0, 0), 0);
    ASSERT_EQ(set->nAusgewaehlt, 2);
    EXPECT_EQ(Pairs(*set, 0), (std::vector<Pair>{{1, 1.35f}, {2, 1.5f}}));
    EXPECT_EQ(Pairs(*set, 1), (std::vector<Pair>{{1, 1.0f}}));
    set->NummeriereKombinationen();
    ASSERT_EQ(set->WaehleKombinationen(1, 1, 0, 5), 0);
    ASSERT_EQ(set->nAusgewaehlt, 1);
    EXPECT_EQ(Pairs(*set, 0), (std::vector<Pair>{{1, 1.0f}, {2, 0.3f}}));
    EXPECT_EQ(set->slotLaufNr[3 * 1 + 0 + 5], 3);  // running number of the third combination
}

TEST(KombiDatei, ReadingDoesNotDependOnTheProcessLocale)
{
    // A locale with a decimal comma would break a locale-bound reader; try the usual names.
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const bool comma = std::setlocale(LC_ALL, "de_DE.UTF-8") || std::setlocale(LC_ALL, "de_DE");
    auto set = std::make_unique<CKombiSatz>();
    ASSERT_EQ(set->Lesen(ReadFile(kDataDir + "/ec2_two_actions.Vrb21LkTr0.dat")), 3);
    EXPECT_FLOAT_EQ(set->faktoren[0][0][0], 1.35f);
    const std::string written = set->Schreiben();
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_NE(written.find(" 1.350000 1.000000"), std::string::npos) << (comma ? "de" : "C") << written;
}

TEST(KombiDatei, WrittenFileReadsBackEqual)
{
    auto a = std::make_unique<CKombiSatz>();
    ASSERT_EQ(a->Lesen(FileWithBlock(2, 1, {{"Ed", "1.35*(1)+1.50*(2)+"}, {"Ed,A", "1.00*(3)+"}}, 3)), 2);
    auto b = std::make_unique<CKombiSatz>();
    ASSERT_EQ(b->Lesen(a->Schreiben()), 2);
    EXPECT_EQ(b->namensCode, 2);
    EXPECT_EQ(b->nLf[1], 3);  // the load-case count survives the round trip
    EXPECT_EQ(b->nLasten[1], 3);
    EXPECT_EQ(b->nKombi[1], 2);
    EXPECT_EQ(b->formel[1][1], "1.00*(3)+");
    EXPECT_EQ(b->lastLf[1][2], 3);
    EXPECT_EQ(a->Schreiben(), b->Schreiben());
}

TEST(KombiDatei, OtherBlocksKeepTheirTitlesWhenAnotherStageIsRead)
{
    auto set = std::make_unique<CKombiSatz>();
    ASSERT_EQ(set->Lesen(FileWithBlock(2, 0, {{"Ed", "1.00*(1)+"}})), 1);
    ASSERT_EQ(set->Lesen(FileWithBlock(2, 2, {{"Ed", "2.00*(2)+"}, {"Ed", "3.00*(3)+"}})), 2);
    EXPECT_EQ(set->nKombi[0], 1);
    EXPECT_EQ(set->formel[0][0], "1.00*(1)+");
    EXPECT_EQ(set->nLasten[0], 0);  // the counts of the empty block are overwritten
    ASSERT_EQ(set->WaehleKombinationen(0, 0, 0, 0), 0);
    EXPECT_EQ(set->nAusgewaehlt, 1);
}

TEST(KombiDatei, RefusedFilesLeaveTheSetAsItWas)
{
    auto set = std::make_unique<CKombiSatz>();
    ASSERT_EQ(set->Lesen(FileWithBlock(2, 0, {{"Ed", "1.00*(1)+"}})), 1);
    std::vector<std::pair<std::string, std::string>> many(201, {"Ed", "1.00*(1)+"});
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"TooManyCombinations", FileWithBlock(2, 0, many)},
        {"TooManyLoadCases", FileWithBlock(2, 0, {{"Ed", "1.00*(1)+"}}, 51)},
        {"Truncated", FileWithBlock(2, 0, {{"Ed", "2.00*(2)+"}}).substr(0, 40)},
        {"NotANumber", " 2\n 1 x 1\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(set->Lesen(c.text), -1);
        EXPECT_FALSE(set->meldung.empty());
        EXPECT_EQ(set->nKombi[0], 1);
        EXPECT_EQ(set->formel[0][0], "1.00*(1)+");
    }
}

TEST(KombiDatei, ServiceabilityTitlesAreAllSelectedInModeThree)
{
    auto set = std::make_unique<CKombiSatz>();
    ASSERT_EQ(set->Lesen(FileWithBlock(1, 0,
                                       {{"Ed,quasi_ständig", "1.00*(1)+"},
                                        {"Ed", "1.35*(1)+"},
                                        {"Ed,häufig", "1.00*(2)+"},
                                        {"Ed,selten", "1.00*(3)+"}})),
              4);
    ASSERT_EQ(set->WaehleKombinationen(2, 3, 0, 0), 0);
    EXPECT_EQ(set->nAusgewaehlt, 3);
    EXPECT_EQ(Pairs(*set, 2), (std::vector<Pair>{{3, 1.0f}}));
}

TEST(KombiDatei, OlderFilesWithWindows1252TitlesAreUnderstood)
{
    auto set = std::make_unique<CKombiSatz>();
    ASSERT_EQ(set->Lesen(FileWithBlock(2, 0, {{"Ed,h\xE4ufig", "1.00*(1)+"}})), 1);
    EXPECT_EQ(set->titel[0][0], "Ed,häufig");
    ASSERT_EQ(set->WaehleKombinationen(3, 0, 0, 0), 0);
    EXPECT_EQ(set->nAusgewaehlt, 1);
}

TEST(KombiDatei, TitleNumbersByNamingCode)
{
    const struct {
        int code;
        const char* title;
        int number;
    } cases[] = {
        {0, "Regelb.", 1},
        {0, "KNSW", 0},
        {0, "Rißn.", 2},
        {0, "Ed", -1},
        {1, "Ed", 0},
        {2, "Ed,A", 1},
        {3, "Ed,nicht_häufig", 4},
        {11, "Ed,selten", 5},
        {12, "Ed", 0},
        {13, "Ed,A", 1},  // EC2 with the French and UK annexes select like 11
        {21, "GZ1", 6},
        {21, "GZ2", 1},
        {4, "Ed", -1},
        {2, "Unbekannt", -1},
    };
    for (const auto& c : cases) {
        std::string title = c.title;
        EXPECT_EQ(NachweisNummerDeutsch(c.code, 0, title, 1), c.number) << c.code << " " << c.title;
    }
    std::string title;
    EXPECT_EQ(NachweisNummerDeutsch(1, 2, title, 0), 2);
    EXPECT_EQ(title, "Ed,quasi_ständig");
    title = "Ed,rare";
    EXPECT_EQ(NachweisNummerEnglisch(3, 0, title, 1), 5);
    title = "GZ1";
    EXPECT_EQ(NachweisNummerEnglisch(1, 0, title, 1), 6);
    title = "Ed";
    EXPECT_EQ(NachweisNummerEnglisch(11, 0, title, 1), -1);
}

TEST(KombiFormel, ParsesGroupsAndSkipsTermsOfFactorZero)
{
    const struct {
        const char* text;
        std::vector<Pair> pairs;
    } cases[] = {
        {"1,35*(1)+1,50*(2+3)+", {{1, 1.35f}, {2, 1.5f}, {3, 1.5f}}},
        // a term of factor 0 adds nothing, wherever it stands; the terms after it count
        {"1.00*(4)+0.00*(5)+2.00*(6)+", {{4, 1.0f}, {6, 2.0f}}},
        {"0.00*(1)+1.35*(2)+0,00*(3+4)+1.50*(5)", {{2, 1.35f}, {5, 1.5f}}},
        {"0.90*(12+7)", {{7, 0.9f}, {12, 0.9f}}},
        {"", {}},
    };
    for (const auto& c : cases) {
        int lf[51] = {};
        float fakt[51] = {};
        double sum = 0.0;
        EXPECT_EQ(ParseKombiFormel(c.text, lf, fakt, sum), static_cast<int>(c.pairs.size())) << c.text;
        std::vector<Pair> got;
        for (int n = 1; n <= 50; ++n)
            if (lf[n] != 0) {
                EXPECT_EQ(lf[n], n);
                got.push_back({n, fakt[n]});
            }
        EXPECT_EQ(got, c.pairs) << c.text;
    }
    int lf[51] = {};
    float fakt[51] = {};
    double sum = 0.0;
    EXPECT_EQ(ParseKombiFormel("1.00*(51)+", lf, fakt, sum), kKombiFormelZuGross);  // load-case numbers end at 50
}

TEST(KombiFormel, ChecksumStaysANumberForEveryFactor)
{
    // (lc j + trunc(100 f)) lc j per pair, j the place in its group, 100 f formed in single precision as the
    // factors are kept. From 21474837 on, 100 f is beyond an int: 21474838 x 100 = 2147483800 is the float
    // 2147483904 (floats above 2^31 lie 256 apart), 3e7 x 100 = 3e9 = 11718750 x 256 a float itself.
    // 3e38 (39 digits; the nearest float lies within 1e-7 of it) times 100 is beyond a float: 3e40 in
    // doubles, compared relatively.
    const struct {
        const char* text;
        double sum;
        double tolerance;
    } cases[] = {
        {"1.5*(2)", (2 + 150) * 2, 0.0},
        {"1.5*(2+3)", (2 + 150) * 2 + (6 + 150) * 6, 0.0},  // lc 3 at place 2
        // 1.15 is 1.14999998 in a float, and 115 times 100 in single precision
        {"1.15*(1)", 1 + 115, 0.0},
        {"21474838*(1)", 1.0 + 2147483904.0, 0.0},
        {"30000000*(2)", (2.0 + 3.0e9) * 2.0, 0.0},
        {"300000000000000000000000000000000000000*(50)", 3.0e40 * 50.0, 3.0e40 * 50.0 * 1e-6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int lf[51] = {};
        float fakt[51] = {};
        double sum = 0.0;
        EXPECT_GE(ParseKombiFormel(c.text, lf, fakt, sum), 1);
        EXPECT_NEAR(sum, c.sum, c.tolerance);
    }
}

TEST(KombiFormel, LoadCaseNamedTwiceIsRefused)
{
    // the last factor would replace the first: 1.35 G + 1.50 G would be calculated as 1.50 G. A term of
    // factor 0 adds nothing and is not counted.
    const struct {
        const char* text;
        int result;
    } cases[] = {
        {"1.35*(1)+1.50*(1)+1.50*(2)", kKombiFormelDoppelt},
        {"1.35*(1+2+1)", kKombiFormelDoppelt},
        {"1.00*(3)+1.50*(1+2)+0.90*(3)", kKombiFormelDoppelt},
        {"0.00*(1)+1.35*(1)+1.50*(2)", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int lf[51] = {};
        float fakt[51] = {};
        double sum = 0.0;
        EXPECT_EQ(ParseKombiFormel(c.text, lf, fakt, sum), c.result);
    }
    // the selection stops with the formula named
    auto set = std::make_unique<CKombiSatz>();
    ASSERT_EQ(set->Lesen(FileWithBlock(2, 0, {{"Ed", "1.35*(2)+"}, {"Ed", "1.35*(1)+1.50*(1)+1.50*(2)"}})), 2);
    EXPECT_EQ(set->WaehleKombinationen(0, 0, 0, 0), -1);
    EXPECT_EQ(set->meldung, "Kombination '1.35*(1)+1.50*(1)+1.50*(2)' nennt einen Lastfall mehrmals.");
}

TEST(KombiDatei, OpenReadsWritesAndReportsFilesByName)
{
    const auto dir = std::filesystem::temp_directory_path() / ("engine_kombi_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto rechner = std::make_unique<CStuetzenRechner>();
    rechner->basisPfad = (dir / "pos").string();
    std::string path;
    EXPECT_EQ(rechner->OeffneKombiDatei(path, kArtGb, 2, 1), 0);  // missing file: no combinations
    EXPECT_EQ(path, (dir / "pos.Vrb21LkGb2.dat").string());
    ASSERT_EQ(rechner->kombi.Lesen(FileWithBlock(2, 2, {{"Ed", "1.00*(1)+"}})), 1);
    EXPECT_EQ(rechner->OeffneKombiDatei(path, kArtEdA, 2, -1), 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "pos.Vrb21LkEdA2.dat"));
    EXPECT_FALSE(std::filesystem::exists(dir / "pos.Vrb21LkEdA2.dat.tmp"));
    auto other = std::make_unique<CStuetzenRechner>();
    other->basisPfad = rechner->basisPfad;
    EXPECT_EQ(other->OeffneKombiDatei(path, kArtEdA, 2, 1), 1);
    EXPECT_EQ(other->kombi.nDatei, 1);
    EXPECT_EQ(other->kombi.formel[2][0], "1.00*(1)+");

    rechner->basisPfad = (dir / "missing" / "pos").string();
    EXPECT_EQ(rechner->OeffneKombiDatei(path, kArtTr, 0, -1), -1);
    EXPECT_EQ(rechner->kombi.meldung, "Datei " + path + " kann nicht zum Schreiben geöffnet werden !");
    std::filesystem::remove_all(dir);
}
