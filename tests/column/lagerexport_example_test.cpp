// The calculated example column: its exported reactions and its foundation position against its own records.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "column/calcfunc.h"
#include "column/fundexport.h"
#include "column/kolumodata.h"
#include "column/lagerexport.h"
#include "export_test_support.h"

namespace {

const std::filesystem::path kDataDir = std::filesystem::path(KOLUMO_SOURCE_DIR) / "data";

class CalculatedExampleTest : public export_test::ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    if (const char* old = std::getenv("KOLUMO_ROOT")) oldRoot_ = old;
    setenv("KOLUMO_ROOT", column_test::MakeInstallRoot(folder_, kDataDir.string()).c_str(), 1);
  }
  void TearDown() override {
    if (oldRoot_.empty())
      unsetenv("KOLUMO_ROOT");
    else
      setenv("KOLUMO_ROOT", oldRoot_.c_str(), 1);
    ExportTest::TearDown();
  }
  std::string oldRoot_;
};

TEST_F(CalculatedExampleTest, ExportsAndFoundationFollowTheCalculatedRecords) {
  export_test::WriteFoundationTemplate(TemplatePath());
  std::filesystem::copy_file(kDataDir / "examples" / "Stuetze.tqx", folder_ / "Stuetze.tqx");
  const int doc = VIDUV_OpenDoc((folder_ / "Stuetze.tqx").c_str());
  ASSERT_NE(doc, 0);
  docs_.push_back(doc);
  Calculate(doc);
  CKolumoData data;
  data.SetDefaults();
  ASSERT_EQ(data.ReadData(doc), 1);
  ASSERT_FALSE(data.ergebnisse.Fundkraefte.empty());
  // The export as the calculation's write-back makes it, with the foundation option set.
  data.FudPos = 1;
  data.bSchreibeErgebnisse = 1;
  WriteExports(data, doc, kExportModus);
  const export_test::ExportMap v = export_test::Exports(doc);

  for (const auto& [path, value] : v) EXPECT_LT(std::fabs(value.val), 1e6) << path;
  int designGroups = 0;
  int compared = 0;
  for (const auto& record : data.ergebnisse.Fundkraefte) {
    const int rows = FundkraefteZeilen(*record);
    if (record->LK >= 0 && rows > 0) ++designGroups;
    for (int m = 0; m < rows; ++m) {
      const std::string support = "Auflager" + std::to_string(record->KNr[m]);
      if (record->LK == -1 && std::fabs(record->Apz[m]) > 0.001) {
        // The permanent load case acts in every evaluated combination of the example: its group's extremes are
        // its own characteristic reaction.
        EXPECT_DOUBLE_EQ(v.at(support + "\\z-z\\1: ständig\\max Az").val, -record->Apz[m]);
        EXPECT_DOUBLE_EQ(v.at(support + "\\z-z\\1: ständig\\min Az").val, -record->Apz[m]);
        ++compared;
      }
      if (record->LK <= 0) continue;
      const std::string lk = "LK[" + std::to_string(record->LK) + "](design)\\";
      if (std::fabs(record->Apz[m]) > 0.001) {
        EXPECT_DOUBLE_EQ(v.at(support + "\\z-z\\" + lk + "Az").val, -record->Apz[m]);
        ++compared;
      }
      if (std::fabs(record->Apx[m] + record->Amx[m] + record->dAmx[m]) > 0.001) {
        EXPECT_DOUBLE_EQ(v.at(support + "\\x-x\\" + lk + "Ax").val, record->Apx[m]);
        EXPECT_DOUBLE_EQ(v.at(support + "\\x-x\\" + lk + "Amx").val, record->Amx[m]);
        EXPECT_DOUBLE_EQ(v.at(support + "\\x-x\\" + lk + "Admx").val, record->dAmx[m]);
        ++compared;
      }
      if (std::fabs(record->Apy[m] + record->Amy[m] + record->dAmy[m]) > 0.001) {
        EXPECT_DOUBLE_EQ(v.at(support + "\\y-y\\" + lk + "Ay").val, record->Apy[m]);
        EXPECT_DOUBLE_EQ(v.at(support + "\\y-y\\" + lk + "Amy").val, record->Amy[m]);
        ++compared;
      }
    }
  }
  EXPECT_GT(compared, 10);

  // The foundation position: the reserved group and one per design record, each from the record's last row.
  const int fund = VIDUV_OpenDoc((folder_ / "Stuetze_Fund.tqx").c_str());
  ASSERT_NE(fund, 0);
  docs_.push_back(fund);
  const int last = VIDUV_FindFirstChild(VIDUV_FindFirstChild(VIDUV_GetRootElement(fund), "input"), "last");
  ASSERT_EQ(column_test::ColumnTest::CountChildren(last, "lastgruppe"), 1 + designGroups);
  int group = VIDUV_FindNextChild(VIDUV_FindFirstChild(last, "lastgruppe"), "lastgruppe");
  for (const auto& record : data.ergebnisse.Fundkraefte) {
    const int rows = FundkraefteZeilen(*record);
    if (record->LK < 0 || rows == 0) continue;
    ASSERT_NE(group, 0);
    EXPECT_DOUBLE_EQ(VIDUV_GetDouble(group, "p"), -record->Apz[std::size_t(rows) - 1] / data.fakt);
    EXPECT_DOUBLE_EQ(VIDUV_GetDouble(group, "hx"), record->Apx[std::size_t(rows) - 1] / data.fakt);
    group = VIDUV_FindNextChild(group, "lastgruppe");
  }
}

}  // namespace
