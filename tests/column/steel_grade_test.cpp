// The steel a calculation takes for a grade the code's list lacks: the catalogue's rename under that code, else a
// grade of the same or lower ductility, never a more ductile one; and a whole run that calculates it so.
#include <gtest/gtest.h>

#include <vector>

#include "column/calcfunc.h"
#include "column/kolumodata.h"
#include "tests/column/calc_run_support.h"

namespace {

using SteelGradeTest = column_test::CalcRunFixture;

// Steel lists of data/catalogs/material.xml with each grade's ductility duk (per mille): DIN 1045-1 BSt 500 SA 25,
// SB 50, MA 25, MB 50; EC2 and SIA 262 B500A 25, B500B 50, B500C 75; EC2 NA (DE) B500A 25, B500B 50. The
// catalogue renames BSt 500 SA and MA to B500A and SB and MB to B500B under the EC2 codes (not under SIA 262).
TEST_F(SteelGradeTest, AGradeTheListLacksIsTakenAsItsRenameOrNoMoreDuctile) {
  const struct {
    int iNorm;
    const char* given;
    const char* taken;
    int index;
  } cases[] = {
      {1, "BSt 500 SA", "B500A", 0},   // EC2: renamed
      {1, "BSt 500 MB", "B500B", 1},   // EC2: renamed
      {10, "BSt 500 MA", "B500A", 0},  // EC2 NA (DE): renamed
      {12, "BSt 500 SA", "B500A", 0},  // the British annex takes the German annex's grades
      {2, "BSt 500 SA", "B500A", 0},   // SIA 262: no rename; duk 25 is B500A's
      {2, "BSt 500 SB", "B500B", 1},   // SIA 262: duk 50 is B500B's
      {10, "B500C", "B500B", 1},       // duk 75: the most ductile of the annex below it, B500B (50)
      {0, "B500A", "BSt 500 SA", 0},   // DIN 1045-1: duk 25, the first grade of it
      {0, "B500C", "BSt 500 SB", 1},   // DIN 1045-1: duk 75, the first of the most ductile below it (50)
      {1, "S235", "B500A", 0},         // in no list: its ductility unknown, the least ductile
      {1, "B500B", "B500B", 1},        // a grade of the list is taken as it is
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.iNorm << " " << c.given);
    const UsedGrade used = GradeOfCalculation(c.iNorm, false, c.given);
    EXPECT_EQ(used.name, c.taken);
    EXPECT_EQ(used.index, c.index);
    EXPECT_EQ(used.replaced, std::string(c.given) != c.taken);
  }
  // concrete keeps its stand-in, the list's third grade (C12/15, C16/20, C20/25, ...)
  EXPECT_EQ(GradeOfCalculation(1, true, "C99/1").name, "C20/25");
}

// An EC2 cantilever of 3 m, 30 x 30 cm, C30/37, four bars of 0.5 cm2 at 4 cm, N = 10 kN and H = 3.33 kN at its
// head, combined as 1.35 N + 1.50 H: N = 13.5 kN and M = 1.5 x 3.33 x 3 = 15 kNm at the foot in first order. A
// lightly compressed section in bending: the bars are governed by the steel strain limit, 22.5 per mille for
// B500A against 45 for B500B, and the less ductile steel needs more (some 4 percent here). Given as "BSt 500 SA"
// the column is calculated as B500A, to the last digit, and not as B500B.
TEST_F(SteelGradeTest, AStoredClassAGradeIsCalculatedAsClassA) {
  auto built = [&](const char* steel) {
    CKolumoData in;
    column_test::Cantilever(in, 3.0, {{column_test::kAxial, 10.0}, {column_test::kX, 3.33}}, "1.35*(1)+1.50*(2)");
    CKolumoQuer& q = in.querschnitte[0];
    q.bx = q.dy = 30.0;
    q.as = 0.5;
    in.sStahl = steel;
    auto out = Run(in, std::string("p") + steel + ".tqx");
    const std::vector<FieldReinforcement> fields = CompareFieldReinforcement(*out);
    EXPECT_EQ(fields.size(), 1u) << testing::PrintToString(Messages());
    return fields.empty() ? 0.0 : fields[0].required;
  };
  const double a = built("B500A"), b = built("B500B"), given = built("BSt 500 SA");
  EXPECT_GT(a, 2.0);
  EXPECT_EQ(given, a);
  EXPECT_GT(a, b * 1.01) << a << " " << b;
}

}  // namespace
