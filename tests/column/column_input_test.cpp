// The engine's input as the driver builds it from a position: the shipped example column's values, foot up and in
// the engine's units, and the driver's messages for what the engine's entry refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "calc_run_support.h"
#include "column/calcfunc.h"
#include "column/kolumodata.h"
#include "framework/matehandler.h"
#include "platform/viduv/viduv.h"

namespace {

using column_test::kAxial;
using column_test::kX;

class ColumnInputTest : public column_test::CalcRunFixture {
 protected:
  static std::string GradeName(bool concrete, int index) {
    CStringArray list;
    GetMateHandler().GetObjekte(concrete ? "Beton" : "Stahl", concrete ? "Normalbeton" : "Betonstahl", "EC2 NA (DE)",
                                list);
    return index >= 0 && index < list.GetSize() ? std::string(list[index].GetString()) : std::string();
  }
};

// The example: EC2 with the German annex, C30/37 and B500B; the upper storey 3.20 m (35 x 35 cm), the ground storey
// 4.50 m (40 x 40 cm) on the foundation, six members each, bars 3.14 cm2 at 4.5 cm; held at the storey joint and the
// head, fixed at the foot; own weight in load case 1 and the storeys' loads (kN) at the head and the joint; wind
// 2.4 kN/m over both fields; inclination 1/200 and a bow of 2 cm.
TEST_F(ColumnInputTest, ExamplePositionGivesTheValuesItHolds) {
  CKolumoData d;
  ReadExample(d);
  const int flags[4] = {1, 0, 0, 0};
  const engine::ColumnInput in = ColumnInputOf(d, "/tmp/stuetze", flags);
  ASSERT_NE(in.code, nullptr);
  EXPECT_EQ(in.code->input, 10);
  EXPECT_EQ(in.code->engine, 11);
  EXPECT_EQ(in.combinationFileBase, "/tmp/stuetze");
  ASSERT_EQ(in.fields.size(), 2u);
  const engine::FieldInput& foot = in.fields[0];
  const engine::FieldInput& upper = in.fields[1];
  ASSERT_EQ(in.stages[0].supports.size(), 3u);
  ASSERT_EQ(in.stages[0].loads.size(), 7u);
  const engine::LoadInput& roof = in.stages[0].loads[1];
  const engine::LoadInput& wind = in.stages[0].loads[5];

  struct Member {
    const char* name;
    double value, expected;
  };
  const Member members[] = {
      {"foot field length, m", foot.length_m, 4.50},
      {"upper field length, m", upper.length_m, 3.20},
      {"foot field members", double(foot.members), 6.0},
      {"foot section width along X, cm", foot.section.widthX_cm, 40.0},
      {"upper section depth along Y, cm", upper.section.depthY_cm, 35.0},
      {"bar distance along Y, cm", upper.section.barDistanceY_cm, 4.5},
      {"reinforcement, cm2", foot.section.reinforcement_cm2, 3.14},
      {"foot: axial spring, kN/m (rigid)", in.stages[0].supports[0].axial_kN_m, -1.0},
      {"foot: rotation about X, kNm/rad (rigid)", in.stages[0].supports[0].aboutX_kNm_rad, -1.0},
      {"head: axial spring, kN/m (free)", in.stages[0].supports[2].axial_kN_m, 0.0},
      {"head: spring along Y, kN/m (rigid)", in.stages[0].supports[2].alongY_kN_m, -1.0},
      {"roof load node, from the foot", double(roof.node), 2.0},
      {"roof load, kN", roof.force_kN, 620.0},
      {"wind on the upper field: node", double(wind.node), 2.0},
      {"wind length downwards, m", wind.length_m, 3.20},
      {"wind at its start, kN/m", wind.startValue_kN_m, 2.4},
      {"wind at its end, kN/m", wind.endValue_kN_m, 2.4},
      {"inclination, rad", in.stages[0].imperfection.inclination_rad, 1.0 / 200.0},
      {"bow, cm", in.stages[0].imperfection.eccentricity_cm, 2.0},
  };
  for (const Member& m : members) EXPECT_DOUBLE_EQ(m.value, m.expected) << m.name;
  EXPECT_EQ(roof.kind, engine::LoadKind::kPoint);
  EXPECT_EQ(roof.direction, kAxial);
  EXPECT_EQ(wind.kind, engine::LoadKind::kLine);
  EXPECT_EQ(wind.direction, kX);
  EXPECT_EQ(in.stages[0].loads[0].kind, engine::LoadKind::kOwnWeight);
  EXPECT_EQ(in.stages[0].loads[0].loadCase, 1);
  // the grades the calculation takes are the position's names in the code's lists
  EXPECT_EQ(GradeName(true, foot.section.concreteGrade), "C30/37");
  EXPECT_EQ(GradeName(false, upper.section.steelGrade), "B500B");
  // stages without their flag bring neither supports nor loads
  for (int s = 1; s < engine::kStageCount; ++s) {
    EXPECT_FALSE(in.stages[std::size_t(s)].active) << s;
    EXPECT_TRUE(in.stages[std::size_t(s)].supports.empty()) << s;
    EXPECT_TRUE(in.stages[std::size_t(s)].loads.empty()) << s;
  }
}

// The foundation's springs stand in for the final system's foot; a stage's own foot keeps its springs.
TEST_F(ColumnInputTest, FoundationSpringsReplaceTheFinalSystemsFoot) {
  CKolumoData d;
  column_test::Cantilever(d, 4.0);
  d.supports[1][1].cz = -1.0;
  d.cz = 8000.0;
  d.cmy = 0.0;  // not given: the foot's own value stays
  const int flags[4] = {1, 1, 0, 0};
  const engine::ColumnInput in = ColumnInputOf(d, "", flags);
  ASSERT_EQ(in.stages[0].supports.size(), 2u);
  EXPECT_EQ(in.stages[0].supports[0].node, 0);
  EXPECT_EQ(in.stages[0].supports[0].axial_kN_m, 8000.0);
  EXPECT_EQ(in.stages[0].supports[0].aboutY_kNm_rad, -1.0);
  ASSERT_EQ(in.stages[1].supports.size(), 2u);
  EXPECT_EQ(in.stages[1].supports[0].axial_kN_m, -1.0);
}

// Each refusal of the engine's entry is one message of the driver, in its words, and nothing runs.
TEST_F(ColumnInputTest, RefusalsAreShownInTheDriversWords) {
  struct Case {
    const char* message;  // empty: accepted
    std::function<void(CKolumoData&)> fault;
  };
  auto loads = [](Load load, int count) {
    return [load, count](CKolumoData& d) {
      for (int i = 0; i < count; ++i) d.loads[0].Add(load);
    };
  };
  const Case cases[] = {
      {"", [](CKolumoData&) {}},
      {"Die Bemessungsnorm ist unbekannt. Berechnung wird nicht durchgeführt!", [](CKolumoData& d) { d.iNorm = 5; }},
      {"Die Stütze braucht mindestens ein Feld.", [](CKolumoData& d) { d.SetFieldCount(0); }},
      {"Mehr als 100 Stababschnitte. Stabteilung bitte Reduzieren.",
       [](CKolumoData& d) { d.querschnitte[0].teilung = 101; }},
      {"Zu viele Lager: höchstens 100 Lager in allen Bauzuständen zusammen.",
       [](CKolumoData& d) {
         d.SetFieldCount(100);  // 100 members, 101 field ends each held
         for (int f = 0; f < 100; ++f) d.querschnitte[f] = d.querschnitte[0], d.querschnitte[f].teilung = 1;
         for (CSupport& s : d.supports[0]) s.cx = -1.0;
       }},
      {"Kreisring: Der Innendurchmesser muss größer als 0 und kleiner als der Außendurchmesser sein.",
       [](CKolumoData& d) {
         d.querschnitte[0].type = 2;
         d.querschnitte[0].dy = 0.0;
       }},
      {"Zu viele Linienlasten in einem Bauzustand (höchstens 200).",
       loads(column_test::LineLoad(1, 0, 1.0, kX, 1.0), 201)},
      {"Zu viele Einzellasten in einem Bauzustand (höchstens 200).", loads(column_test::PointLoad(1, 0, kX, 1.0), 201)},
      {"Das Eigengewicht muss in jedem Bauzustand genau einem Lastfall angehören. Berechnung wird nicht durchgeführt!",
       loads(column_test::OwnWeight(0), 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    win::msgbox::ClearLog();
    CKolumoData d;
    column_test::Cantilever(d, 4.0);
    c.fault(d);
    const int flags[4] = {1, 0, 0, 0};
    const bool refused = *c.message != '\0';
    EXPECT_EQ(PrepareSystem(d, Base(), flags), refused ? 1 : 0);
    EXPECT_EQ(Messages(), refused ? std::vector<std::string>{c.message} : std::vector<std::string>{});
  }
}

}  // namespace
