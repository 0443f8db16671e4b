// The calculation object: its reset and the reports of failed runs.
#include <gtest/gtest.h>

#include <memory>

#include "engine/nachweis.h"
#include "engine/protocol.h"
#include "engine/rechner.h"
#include "platform/win/dialogs/msgbox.h"

TEST(Rechner, InitClearsInputModelStateAndIndexTable)
{
    auto r = std::make_unique<CStuetzenRechner>();
    r->nFelder = 3;
    r->feldLaenge[2] = 4.5;
    r->linienlast[1][7].qa = 2.0;
    r->kombi.formel[2][5] = "1.00*(1)+";
    r->kombi.KolLf[9999] = 4;
    r->AusAs[199] = 1e-3;
    r->LKBem[3][1] = 2;
    r->INDEX[70] = 12345;
    r->rissSchalter = 1;
    r->x[150] = 9.0;
    r->setupMeldungen.push_back("x");
    r->Init();
    EXPECT_EQ(r->nFelder, 0);
    EXPECT_EQ(r->feldLaenge[2], 0.0);
    EXPECT_EQ(r->linienlast[1][7].qa, 0.0);
    EXPECT_TRUE(r->kombi.formel[2][5].empty());
    EXPECT_EQ(r->kombi.KolLf[9999], 0);
    EXPECT_EQ(r->AusAs[199], 0.0);
    EXPECT_EQ(r->LKBem[3][1], 0);
    EXPECT_EQ(r->INDEX[70], 0);
    EXPECT_EQ(r->rissSchalter, 0);
    EXPECT_EQ(r->x[150], 0.0);
    EXPECT_TRUE(r->setupMeldungen.empty());
}

TEST(Rechner, FailedRunsAreReportedByCode)
{
    auto r = std::make_unique<CStuetzenRechner>();
    DebugProtocol log;
    log.OpenInMemory();
    DebugProtocol* saved = g_errorLog;
    g_errorLog = &log;
    win::msgbox::ClearLog();
    const int savedNorm = NORM;

    r->MeldeLaufFehler(1);
    r->MeldeLaufFehler(2);
    r->MeldeLaufFehler(3);  // the analysis reported it already
    EXPECT_EQ(log.Text(), "FEHLER:  Fehler in der Elementmatrix\nFEHLER:  Gleichungssystem instabil\n");
    r->MeldeLaufFehler(99);
    EXPECT_NE(log.Text().find("300"), std::string::npos);

    const struct {
        int norm;
        const char* percent;
    } cases[] = {{3, "> 8%"}, {2, "> 8%"}, {1, "> 9%"}, {0, "> 9%"}, {11, "> 9%"}, {12, "> 8%"}, {13, "> 8%"}};
    for (const auto& c : cases) {
        NORM = c.norm;
        win::msgbox::ClearLog();
        r->MeldeLaufFehler(4);
        ASSERT_EQ(win::msgbox::Log().size(), 1u);
        EXPECT_NE(win::msgbox::Log()[0].text.find(c.percent), std::string::npos) << c.norm;
    }
    EXPECT_TRUE(win::msgbox::Log()[0].text.starts_with("Achtung! Bewehrungsgrad"));
    NORM = savedNorm;
    g_errorLog = saved;
}

TEST(Rechner, VerificationHintsAreShownInTheirOrderOnceAndUnknownOnesSkipped)
{
    auto r = std::make_unique<CStuetzenRechner>();
    win::msgbox::ClearLog();
    r->nachweisHinweise = {kBrandHinweisSIA262, 999, kBrandHinweisGrad4};
    r->ZeigeNachweisHinweise();
    ASSERT_EQ(win::msgbox::Log().size(), 2u);
    EXPECT_EQ(win::msgbox::Log()[0].text, "Brandschutznachweis nach SIA 262 nicht möglich!");
    EXPECT_EQ(win::msgbox::Log()[1].text, "Brandschutznachweis nicht möglich!\nBewehrungsgrad > 4%");
    EXPECT_TRUE(r->nachweisHinweise.empty());
    r->ZeigeNachweisHinweise();  // shown once
    EXPECT_EQ(win::msgbox::Log().size(), 2u);
}
