// The report of a calculated column with an accidental combination in the transport stage and a fire combination in
// the final system: each is printed from its own results.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/viduv/viduv.h"
#include "report/rtfausgabe.h"
#include "tests/column/accidental_column.h"
#include "tests/column/calc_run_support.h"
#include "tests/report/rtf_text.h"

namespace {

using column_test::AccidentalColumn;

using AccidentalReportTest = column_test::CalcRunFixture;

// The text between `from` (its first place after `at`) and the next `to`; empty when `from` is missing.
std::string Abschnitt(const std::string& text, const std::string& from, const std::string& to, std::size_t at = 0) {
  const std::size_t a = text.find(from, at);
  if (a == std::string::npos) return {};
  const std::size_t b = text.find(to, a + from.size());
  return text.substr(a, b == std::string::npos ? std::string::npos : b - a);
}

// The final system has no accidental action (its "Ed,A" combination is the fire combination alone), the transport
// stage an accidental head force. Statics: the transport's accidental combination 1.00*(1)+1.00*(2) gives the foot
// reactions N = 400 kN and H = 30 kN; the fire combination 1.00*(1) acts with N = 1000 kN and no horizontal force.
TEST_F(AccidentalReportTest, TransportAccidentalAndFireResultsArePrintedEachFromItsOwn) {
  CKolumoData in;
  AccidentalColumn::Make(in, false);
  in.num_KNSW_Lager = 1;
  in.num_Brand = 1;
  in.AusgabeTyp = 0;
  int doc = 0;
  const auto out = Run(in, "Stuetze.tqx", &doc);
  const CResultContainer& e = out->ergebnisse;
  // LK: 2 "Tr" over both stages, the transport's accidental combination 3; the fire combination 2 (after the final
  // system's one "Tr")
  const CResultLagerkraefte* transport = Find(e.Lagerkraefte, 3, 3, 1);
  ASSERT_NE(transport, nullptr) << testing::PrintToString(Messages());
  ASSERT_EQ(transport->Apz.size(), 1u);
  EXPECT_NEAR(std::fabs(transport->Apz[0]), AccidentalColumn::NTransport, 0.4);
  EXPECT_NEAR(std::hypot(transport->Apx[0], transport->Apy[0]), AccidentalColumn::HTransport, 0.03);
  ASSERT_EQ(e.Brandschnittgroessen.size(), 1u);
  EXPECT_EQ(e.Brandschnittgroessen[0]->LK, 2);

  ASSERT_EQ(VIDUV_SaveDoc(doc), 1);
  report::RtfKolumo(doc, 1);
  const std::string rtf = report_test::ReadFile((folder_ / "Stuetze.rtf").string());
  ASSERT_TRUE(report_test::GroupsBalanced(rtf));
  const std::string text = report_test::VisibleText(rtf);

  // the deformation chapter's accidental pass: the transport's combination with its own support forces
  const std::string verformung = Abschnitt(text, "Verformung Ed,A", "Ergebnisse");
  ASSERT_FALSE(verformung.empty()) << text;
  const std::string lk = Abschnitt(verformung, "Transport LK 2:1.00*(1)+1.00*(2) (Ed,A)", "LK ");
  ASSERT_FALSE(lk.empty()) << verformung;
  EXPECT_NE(lk.find("400.00"), std::string::npos) << lk;
  EXPECT_NE(lk.find("30.00"), std::string::npos) << lk;
  EXPECT_EQ(lk.find("1000.00"), std::string::npos) << lk;
  // the fire chapter: the final system's fire combination
  const std::string brand = Abschnitt(text, "Ergebnisse Brandschutznachweis", "Ergebnisse");
  EXPECT_NE(brand.find("Endsystem LK 2:1.00*(1) (Ed,A)"), std::string::npos) << brand;
}

}  // namespace
