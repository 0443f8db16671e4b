// A column calculated through the driver and then reported: the report states the values the calculation applied,
// not the values the file merely holds.
#include <gtest/gtest.h>

#include <string>

#include "column/kolumodata.h"
#include "engine/rechner.h"
#include "report/rtfausgabe.h"
#include "tests/column/calc_run_support.h"
#include "tests/report/rtf_text.h"

namespace {

class AppliedValuesTest : public column_test::CalcRunFixture {
 protected:
  std::string Report(int doc, const std::string& name) {
    report::RtfKolumo(doc, 1);
    return report_test::VisibleText(report_test::ReadFile(report::ReportFileName((folder_ / name).string())));
  }
};

// Without direct input the engine takes the inclination 1/Schiefstellung; the share typed into the page's
// resulting-direction field (0.9 % here) is not applied and must not be reported.
TEST_F(AppliedValuesTest, ReportedInclinationIsTheOneTheEngineTook) {
  CKolumoData in;
  column_test::Cantilever(in, 3.0, {{2, 1000.0}, {0, 10.0}}, "1.00*(1)+1.00*(2)");
  CKolumoVorver& v = in.vorver[0];
  v.bDirekteVorgabe = 0;
  v.Schiefstellung = 150;
  v.invw = 0.9;
  in.num_System = 1;
  int doc = 0;
  auto out = Run(in, "schief.tqx", &doc);
  ASSERT_FALSE(out->ergebnisse.Schnittgroessen.empty()) << testing::PrintToString(Messages());
  const ImperfektionsEingabe& engine = g_rechner.imperfektion[0];
  EXPECT_EQ(engine.komponenten, 0);
  EXPECT_NEAR(engine.neigung, 1.0 / 150.0, 1e-15);
  const std::string text = Report(doc, "schief.tqx");
  char line[120];
  std::snprintf(line, sizeof line, "Globale Schiefstellung ψ = 1/150 = %.3f %%", 100.0 * engine.neigung);
  EXPECT_NE(text.find(line), std::string::npos) << line;
  EXPECT_EQ(text.find("0.90"), std::string::npos);
}

// A field whose entered bars the design raised says so in the last chapter: 4 x 3.14 = 12.56 cm2 entered, 20.0 cm2
// needed by centric compression of 4000 kN, raised to the 22.0 cm2 with which the straight column stands (see the
// required-reinforcement tests of the column).
TEST_F(AppliedValuesTest, RaisedBarsAreNamedPerFieldInTheLastChapter) {
  CKolumoData in;
  column_test::Cantilever(in, 3.0, {{2, 4000.0}}, "1.00*(1)");
  in.num_System = in.num_ErfAs = 1;
  int doc = 0;
  auto out = Run(in, "erhoeht.tqx", &doc);
  const std::vector<FieldReinforcement> fields = CompareFieldReinforcement(*out);
  ASSERT_EQ(fields.size(), 1u) << testing::PrintToString(Messages());
  ASSERT_FALSE(fields[0].suffices);
  const std::string text = Report(doc, "erhoeht.tqx");
  // the input echo: 4 bars, 12.56 cm2 in all
  EXPECT_NE(text.find("1|Rechteck|1|40.0|40.0|4.0|4.0||4|12.56|45.0|"), std::string::npos);
  char row[100], line[200];
  std::snprintf(row, sizeof row, "|%.2f|%.2f|12.56|reicht nicht aus|", fields[0].required, fields[0].required);
  std::snprintf(line, sizeof line,
                "Feld 1: Die eingegebene Bewehrung (4 Stäbe, 12.56 cm²) reicht nicht aus; die Bemessung hat sie auf "
                "%.2f cm² erhöht.",
                fields[0].required);
  const std::size_t kapitel = text.find("Erforderliche Bewehrung");
  ASSERT_NE(kapitel, std::string::npos);
  EXPECT_NE(text.find(row, kapitel), std::string::npos) << text.substr(kapitel);
  EXPECT_NE(text.find(line, kapitel), std::string::npos) << text.substr(kapitel);
  EXPECT_NEAR(fields[0].required, 22.0, 0.2);
}

}  // namespace
