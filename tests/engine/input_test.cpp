// The engine's entry: a column given as plain values is loaded into the calculation object in the engine's own
// encodings, and what the engine cannot hold is refused in the order of the input.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "designcode/designcode.h"
#include "engine/input.h"
#include "engine/kombisatz.h"
#include "engine/rechner.h"
#include "engine/schub.h"

namespace {

using engine::ColumnInput;
using engine::InputRefusal;
using engine::LoadInput;
using engine::LoadKind;

const designcode::DesignCode& Ec2()
{
    return *designcode::ByInput(1);
}

// Two fields: the foot field 5 m (rectangle 40 x 30 cm, axis 2 cm off in X), the head field 3 m (circle 35 cm,
// axis 3 cm off in X and 1 cm in Y); the final system fixed at the foot and held at the head.
ColumnInput TwoFields()
{
    ColumnInput in;
    in.code = &Ec2();
    in.combinationFileBase = "/tmp/pos";
    engine::FieldInput foot;
    foot.length_m = 5.0;
    foot.members = 6;
    foot.axisOffsetX_m = 0.02;
    foot.section.type = 0;
    foot.section.layout = 1;
    foot.section.widthX_cm = 40.0;
    foot.section.depthY_cm = 30.0;
    foot.section.barDistanceX_cm = 4.0;
    foot.section.barDistanceY_cm = 5.0;
    foot.section.reinforcement_cm2 = 3.14;
    foot.section.strutAngle_deg = 30.0;
    foot.section.concreteGrade = 4;
    foot.section.steelGrade = 2;
    engine::FieldInput head = foot;
    head.length_m = 3.0;
    head.members = 4;
    head.axisOffsetX_m = 0.03;
    head.axisOffsetY_m = 0.01;
    head.section.type = 1;
    head.section.widthX_cm = 35.0;
    head.section.depthY_cm = 12.0;  // a circle has no opening: ignored
    head.section.strutAngle_deg = 45.0;
    in.fields = {foot, head};
    engine::StageInput& finalSystem = in.stages[0];
    finalSystem.active = true;
    finalSystem.supports = {{.node = 0,
                             .axial_kN_m = -1.0,
                             .alongY_kN_m = -1.0,
                             .alongX_kN_m = 5000.0,
                             .aboutY_kNm_rad = -1.0,
                             .aboutX_kNm_rad = -1.0},
                            {.node = 1},  // restrains nothing: not a support
                            {.node = 2, .alongY_kN_m = -1.0, .alongX_kN_m = -1.0}};
    return in;
}

LoadInput Line(int lc, int node, int direction, double offset, double length, double start, double end)
{
    return {.kind = LoadKind::kLine,
            .loadCase = lc,
            .node = node,
            .direction = direction,
            .offset_m = offset,
            .length_m = length,
            .startValue_kN_m = start,
            .endValue_kN_m = end};
}

LoadInput Point(int lc, int node, int direction, double force, double moment = 0.0)
{
    return {.kind = LoadKind::kPoint,
            .loadCase = lc,
            .node = node,
            .direction = direction,
            .force_kN = force,
            .moment_kNm = moment};
}

LoadInput OwnWeight(int lc)
{
    return {.kind = LoadKind::kOwnWeight, .loadCase = lc};
}

TEST(ColumnInputEntry, EngineCodeNumberIsTheTableRowsForEveryCode)
{
    for (const designcode::DesignCode& code : designcode::kCodes) {
        SCOPED_TRACE(code.name);
        ColumnInput in = TwoFields();
        in.code = &code;
        NORM = -7;
        ASSERT_EQ(engine::LoadColumn(in), InputRefusal::kNone);
        EXPECT_EQ(NORM, code.engine);
    }
    // a row the table does not hold: its own number, not one worked out from the input number
    designcode::DesignCode other = Ec2();
    other.input = 40;
    other.engine = 7;
    ColumnInput in = TwoFields();
    in.code = &other;
    ASSERT_EQ(engine::LoadColumn(in), InputRefusal::kNone);
    EXPECT_EQ(NORM, 7);
    ColumnInput none = TwoFields();
    none.code = nullptr;
    EXPECT_EQ(engine::LoadColumn(none), InputRefusal::kUnknownCode);
}

TEST(ColumnInputEntry, FieldsSectionsAndSupportsInTheEnginesEncoding)
{
    g_cotThetaFeld[2] = 5.0;  // left by an earlier column of three fields
    ASSERT_EQ(engine::LoadColumn(TwoFields()), InputRefusal::kNone);
    EXPECT_EQ(g_cotThetaFeld[2], 0.0) << "no strut angle stays behind beyond the column's fields";
    const CStuetzenRechner& r = g_rechner;
    EXPECT_EQ(r.basisPfad, "/tmp/pos");
    EXPECT_EQ(r.nFelder, 2);
    EXPECT_EQ(r.feldLaenge[0], 5.0);
    EXPECT_EQ(r.feldLaenge[1], 3.0);
    EXPECT_EQ(r.feldStaebe[0], 6);
    EXPECT_EQ(r.feldStaebe[1], 4);
    // offsets relative to the field below: 2 cm, then 3 - 2 = 1 cm in X and 1 cm in Y
    EXPECT_DOUBLE_EQ(r.feldEz[0], 0.02);
    EXPECT_DOUBLE_EQ(r.feldEz[1], 0.01);
    EXPECT_DOUBLE_EQ(r.feldEy[0], 0.0);
    EXPECT_DOUBLE_EQ(r.feldEy[1], 0.01);

    // the rectangle: the engine's d[0] lies along Y, d[1] along X; c1 along Y, c2 along X
    const StabQuerschnitt& rect = r.querEingabe.feld[0];
    EXPECT_EQ(rect.typ, 0);
    EXPECT_EQ(rect.wort, 1);
    EXPECT_EQ(rect.d[0], 30.0);
    EXPECT_EQ(rect.d[1], 40.0);
    EXPECT_EQ(rect.c1, 5.0);
    EXPECT_EQ(rect.c2, 4.0);
    EXPECT_EQ(rect.bewehrung, 3.14);
    EXPECT_EQ(rect.betonGuete, 4);
    EXPECT_EQ(rect.stahlGuete, 2);
    // the circle: one diameter, one ring of bars at the distance along X, its own layout
    const StabQuerschnitt& circle = r.querEingabe.feld[1];
    EXPECT_EQ(circle.d[0], 35.0);
    EXPECT_EQ(circle.d[1], 35.0);
    EXPECT_EQ(circle.c1, 4.0);
    EXPECT_EQ(circle.c2, 4.0);
    EXPECT_EQ(circle.wort, 3);
    EXPECT_NEAR(g_cotThetaFeld[0], std::sqrt(3.0), 1e-12);  // cot 30 degrees
    EXPECT_NEAR(g_cotThetaFeld[1], 1.0, 1e-12);

    // two supports (the free one left out), numbered from 1; values u, v, w, 0, rotations, warping rigid
    EXPECT_EQ(r.nLager, 2);
    EXPECT_EQ(r.lagerAnKnoten[0][0], 1);
    EXPECT_EQ(r.lagerAnKnoten[0][1], 0);
    EXPECT_EQ(r.lagerAnKnoten[0][2], 2);
    const double foot[7] = {-1.0, -1.0, 5000.0, 0.0, -1.0, -1.0, -1.0};
    const double head[7] = {0.0, -1.0, -1.0, 0.0, 0.0, 0.0, -1.0};
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(r.lagerWerte[0][k], foot[k]) << k;
        EXPECT_EQ(r.lagerWerte[1][k], head[k]) << k;
    }
}

TEST(ColumnInputEntry, LoadsInTheEnginesEncoding)
{
    ColumnInput in = TwoFields();
    in.stages[0].loads = {
        Line(1, 2, engine::kAlongX, 0.5, 2.0, 3.0, 4.0),       // from 0.5 m below the head, 2 m down
        Line(2, 1, engine::kAlongY, 0.0, 5.0, 1.5, 1.5),       // the foot field
        Line(3, 7, engine::kAlongAxis, 0.0, 1.0, 10.0, 10.0),  // beyond the head: hangs from the head
        Point(1, 2, engine::kAlongX, 12.0, 3.0),
        Point(2, 1, engine::kAlongY, 8.0, 2.0),
        Point(3, 2, engine::kAlongAxis, 500.0),
        OwnWeight(4),
    };
    ASSERT_EQ(engine::LoadColumn(in), InputRefusal::kNone);
    const CStuetzenRechner& r = g_rechner;

    struct LineCase {
        double xa, laenge, qa, qe;
        int lastfall, richtung;
    };
    const LineCase lines[] = {
        {8.0 - 0.5, -2.0, 3.0, 4.0, 1, 2},  // X is the engine's z
        {5.0, -5.0, 1.5, 1.5, 2, 1},
        {8.0, -1.0, -10.0, -10.0, 3, 0},  // axial: the engine counts upwards
    };
    ASSERT_EQ(r.nLinienlasten[0], 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const LinienlastEingabe& q = r.linienlast[0][i];
        EXPECT_DOUBLE_EQ(q.xa, lines[i].xa);
        EXPECT_EQ(q.laenge, lines[i].laenge);
        EXPECT_EQ(q.qa, lines[i].qa);
        EXPECT_EQ(q.qe, lines[i].qe);
        EXPECT_EQ(q.lastfall, lines[i].lastfall);
        EXPECT_EQ(q.richtung, lines[i].richtung);
    }

    struct PointCase {
        int position, lastfall;
        double werte[5];
    };
    const PointCase points[] = {
        {3, 1, {0.0, 0.0, 12.0, 3.0, 0.0}},
        {2, 2, {0.0, 8.0, 0.0, 0.0, 2.0}},
        {3, 3, {-500.0, 0.0, 0.0, 0.0, 0.0}},
    };
    ASSERT_EQ(r.nEinzellasten[0], 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const EinzellastEingabe& p = r.einzellast[0][i];
        EXPECT_EQ(p.position, points[i].position);
        EXPECT_EQ(p.lastfall, points[i].lastfall);
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(p.werte[k], points[i].werte[k]) << k;
    }
    EXPECT_EQ(r.eigengewichtLf[0], 4);
    EXPECT_EQ(r.gammaBeton, 25.0);
}

TEST(ColumnInputEntry, StagesImperfectionsCreepAndFire)
{
    ColumnInput in = TwoFields();
    in.stages[0].imperfection = {.kind = 2,
                                 .components = true,
                                 .inclination_rad = 0.005,
                                 .inclinationX_rad = -0.004,
                                 .inclinationY_rad = 0.003,
                                 .amplitudeFromDivisor = false,
                                 .modeDivisor = 200.0,
                                 .referenceNode = 1,
                                 .eccentricity_cm = 2.0};
    in.stages[2].active = true;
    in.stages[2].supports = {{.node = 0, .axial_kN_m = -1.0}};
    in.stages[2].loads = {Point(1, 2, engine::kAlongAxis, 50.0)};
    in.stages[3].supports = {{.node = 0, .axial_kN_m = -1.0}};  // stage not active: none of this enters
    in.stages[3].loads = {Point(1, 2, engine::kAlongAxis, 50.0)};
    in.creep = {.coefficient = 2.5, .factors = {1.0, 0.0, 0.4}};
    in.fire = {.check = true, .resistanceClass = 3, .exposedSides = 1, .plastered = 1};
    in.pictureWidth_cm = 12.0;
    ASSERT_EQ(engine::LoadColumn(in), InputRefusal::kNone);
    const CStuetzenRechner& r = g_rechner;

    const ImperfektionsEingabe& im = r.imperfektion[0];
    EXPECT_EQ(im.art, 2);
    EXPECT_EQ(im.komponenten, 1);
    EXPECT_EQ(im.neigung, 0.005);
    EXPECT_EQ(im.neigungW, -0.004);
    EXPECT_EQ(im.neigungV, 0.003);
    EXPECT_EQ(im.Kriech_CKAusm, 0);
    EXPECT_EQ(im.teiler, 200.0);
    EXPECT_EQ(im.Kriech_Bzkn, 1);
    EXPECT_EQ(im.ausmitte, 2.0);

    EXPECT_EQ(r.stufeAktiv[1], 0);
    EXPECT_EQ(r.stufeAktiv[2], 1);
    EXPECT_EQ(r.stufeAktiv[3], 0);
    EXPECT_EQ(r.nLager, 3);  // two of the final system, one of stage 2 numbered on
    EXPECT_EQ(r.lagerAnKnoten[2][0], 3);
    EXPECT_EQ(r.lagerAnKnoten[3][0], 0);
    EXPECT_EQ(r.nEinzellasten[2], 1);
    EXPECT_EQ(r.nEinzellasten[3], 0);

    // load cases 1 and 3 creep; the entry without a factor takes no part
    EXPECT_EQ(r.kriechZahl, 2.5);
    ASSERT_EQ(r.nKriech, 2);
    EXPECT_EQ(r.kriechSchalter, 2);
    EXPECT_EQ(r.kriechLf[0], 1);
    EXPECT_EQ(r.kriechLf[1], 3);
    EXPECT_EQ(r.kriechFakt[1], 0.4);

    EXPECT_EQ(r.brandSchalter, 1);
    EXPECT_EQ(r.brandParameter[0], 3.0);
    EXPECT_EQ(r.brandParameter[1], 1.0);
    EXPECT_EQ(r.brandParameter[2], 1.0);
    EXPECT_EQ(r.zeichenHoehe, 12.0);

    // without an imperfection kind with creep nothing creeps
    in.stages[0].imperfection.kind = 1;
    ASSERT_EQ(engine::LoadColumn(in), InputRefusal::kNone);
    EXPECT_EQ(g_rechner.nKriech, 0);
    EXPECT_EQ(g_rechner.kriechZahl, 0.0);
}

TEST(ColumnInputEntry, EachLoadStartsFromAClearedObject)
{
    ColumnInput in = TwoFields();
    in.stages[0].loads = {Point(1, 2, engine::kAlongAxis, 100.0), OwnWeight(1)};
    in.designPasses = true;
    ASSERT_EQ(engine::LoadColumn(in), InputRefusal::kNone);
    for (int k = 0; k < 20; ++k)
        EXPECT_EQ(g_rechner.rechenSchalter[k], 1) << k;
    in.stages[0].loads = {Point(2, 2, engine::kAlongAxis, 50.0)};
    in.designPasses = false;
    ASSERT_EQ(engine::LoadColumn(in), InputRefusal::kNone);
    for (int k = 0; k < 20; ++k)
        EXPECT_EQ(g_rechner.rechenSchalter[k], 0) << k;
    EXPECT_EQ(g_rechner.nEinzellasten[0], 1);
    EXPECT_EQ(g_rechner.einzellast[0][0].werte[0], -50.0);
    EXPECT_EQ(g_rechner.eigengewichtLf[0], 0);
    EXPECT_EQ(g_rechner.gammaBeton, 0.0);
}

// What the engine cannot hold, and which of two faults is named: the checks follow the input's order.
TEST(ColumnInputEntry, RefusesInTheOrderOfTheInput)
{
    auto manyMembers = [](ColumnInput& in) { in.fields[0].members = 97; };  // 97 + 4 = 101
    auto badRing = [](ColumnInput& in) {
        in.fields[1].section.type = 2;
        in.fields[1].section.depthY_cm = in.fields[1].section.widthX_cm;
    };
    // the final system holds two; the transport stage brings the rest
    auto supports = [](int total) {
        return [total](ColumnInput& in) {
            in.stages[1].active = true;
            in.stages[1].supports.assign(std::size_t(total - 2), {.node = 1, .alongX_kN_m = 1.0});
        };
    };
    auto loads = [](LoadInput load, int count) {
        return [load, count](ColumnInput& in) { in.stages[0].loads.assign(std::size_t(count), load); };
    };
    struct Case {
        const char* name;
        std::vector<std::function<void(ColumnInput&)>> faults;
        InputRefusal refusal;
    };
    const Case cases[] = {
        {"no field", {[](ColumnInput& in) { in.fields.clear(); }}, InputRefusal::kNoField},
        {"100 fields of one member",
         {[](ColumnInput& in) {
             in.fields.resize(100, in.fields[0]);
             for (engine::FieldInput& f : in.fields)
                 f.members = 1;
         }},
         InputRefusal::kNone},
        {"101 fields", {[](ColumnInput& in) { in.fields.resize(101, in.fields[0]); }}, InputRefusal::kNoField},
        {"100 members", {[](ColumnInput& in) { in.fields[0].members = 96; }}, InputRefusal::kNone},
        {"101 members", {manyMembers}, InputRefusal::kTooManyMembers},
        {"100 supports", {supports(100)}, InputRefusal::kNone},
        {"101 supports", {supports(101)}, InputRefusal::kTooManySupports},
        {"ring without opening",
         {[](ColumnInput& in) {
             in.fields[1].section.type = 2;
             in.fields[1].section.depthY_cm = 0.0;
         }},
         InputRefusal::kRingOpening},
        {"ring opening as wide as the ring", {badRing}, InputRefusal::kRingOpening},
        {"200 line loads", {loads(Line(1, 2, engine::kAlongX, 0.0, 1.0, 1.0, 1.0), 200)}, InputRefusal::kNone},
        {"201 line loads",
         {loads(Line(1, 2, engine::kAlongX, 0.0, 1.0, 1.0, 1.0), 201)},
         InputRefusal::kTooManyLineLoads},
        {"200 point loads", {loads(Point(1, 2, engine::kAlongX, 1.0), 200)}, InputRefusal::kNone},
        {"201 point loads", {loads(Point(1, 2, engine::kAlongX, 1.0), 201)}, InputRefusal::kTooManyPointLoads},
        {"own weight in no load case", {loads(OwnWeight(0), 1)}, InputRefusal::kOwnWeightLoadCase},
        {"own weight in two load cases",
         {[](ColumnInput& in) {
             in.stages[0].loads = {OwnWeight(1), OwnWeight(1), OwnWeight(2)};
         }},
         InputRefusal::kOwnWeightLoadCase},
        {"loads of a stage that takes no part",
         {[](ColumnInput& in) { in.stages[1].loads.assign(201, Point(1, 2, engine::kAlongX, 1.0)); }},
         InputRefusal::kNone},
        {"members before the ring", {badRing, manyMembers}, InputRefusal::kTooManyMembers},
        {"supports before the ring", {badRing, supports(101)}, InputRefusal::kTooManySupports},
        {"ring before the loads", {loads(OwnWeight(0), 1), badRing}, InputRefusal::kRingOpening},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ColumnInput in = TwoFields();
        for (const auto& fault : c.faults)
            fault(in);
        EXPECT_EQ(engine::LoadColumn(in), c.refusal);
    }
}

// Stage 2 of a column with three load cases in two actions, two combinations.
engine::CombinationFileInput TwoActions()
{
    engine::CombinationFileInput in;
    in.code = &Ec2();
    in.stage = 2;
    in.loadCaseActions = {1, 2, 2};
    in.actions = {{0, false, 0, {1.0, 1.35, 0, 0, 0, 0, 0}}, {1, true, 3, {0, 0, 0.0, 1.5, 0.7, 0.5, 0.3}}};
    in.flags = {0, 1, 0, 0, 0, 0, 0, 0};
    in.combinations = {{"Ed", "1.35*(1)+1.50*(2+3)"}, {"Ed,A", "1.00*(1)"}};
    return in;
}

TEST(CombinationFileEntry, TextReadsBackAsTheCombinationsGiven)
{
    const engine::CombinationFileInput in = TwoActions();
    std::string text;
    ASSERT_TRUE(engine::CombinationFileText(in, text));
    auto satz = std::make_unique<CKombiSatz>();
    ASSERT_EQ(satz->Lesen(text), 2) << satz->meldung;
    EXPECT_EQ(satz->namensCode, Ec2().engine);
    const int b = 2;
    EXPECT_EQ(satz->nKombi[0] + satz->nKombi[1] + satz->nKombi[3], 0);
    ASSERT_EQ(satz->nLasten[b], 3);
    ASSERT_EQ(satz->nLf[b], 2);
    EXPECT_EQ(satz->nx[b], 1);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(satz->lastLf[b][i], in.loadCaseActions[std::size_t(i)]) << i;
    for (int j = 0; j < 2; ++j) {
        const engine::CombinationAction& a = in.actions[std::size_t(j)];
        EXPECT_EQ(satz->lfGruppe[b][j], a.group) << j;
        EXPECT_EQ(satz->lfVariabel[b][j], a.variable ? 1 : 0) << j;
        EXPECT_EQ(satz->lfAktion[b][j], a.category) << j;
        for (int c = 0; c < 7; ++c)
            EXPECT_FLOAT_EQ(satz->faktoren[c][b][j], float(a.factors[std::size_t(c)])) << j << ' ' << c;
    }
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(satz->flags[b][i], in.flags[std::size_t(i)]) << i;
    ASSERT_EQ(satz->nKombi[b], 2);
    for (int m = 0; m < 2; ++m) {
        EXPECT_EQ(satz->titel[b][m], in.combinations[std::size_t(m)].title) << m;
        EXPECT_EQ(satz->formel[b][m], in.combinations[std::size_t(m)].formula) << m;
    }
}

TEST(CombinationFileEntry, RefusesWhatTheEngineCannotHold)
{
    struct Case {
        const char* what;
        std::function<void(engine::CombinationFileInput&)> change;
        bool accepted;
    };
    const Case cases[] = {
        {"stage below the first", [](auto& in) { in.stage = -1; }, false},
        {"stage beyond the last", [](auto& in) { in.stage = engine::kStageCount; }, false},
        {"last stage", [](auto& in) { in.stage = engine::kStageCount - 1; }, true},
        {"50 load cases", [](auto& in) { in.loadCaseActions.assign(50, 1); }, true},
        {"51 load cases", [](auto& in) { in.loadCaseActions.assign(51, 1); }, false},
        {"50 actions", [](auto& in) { in.actions.resize(50); }, true},
        {"51 actions", [](auto& in) { in.actions.resize(51); }, false},
        {"200 combinations",
         [](auto& in) {
             in.combinations.resize(200, {"Ed", "1.00*(1)"});
         },
         true},
        {"201 combinations",
         [](auto& in) {
             in.combinations.resize(201, {"Ed", "1.00*(1)"});
         },
         false},
    };
    for (const Case& c : cases) {
        engine::CombinationFileInput in = TwoActions();
        c.change(in);
        std::string text = "left over";
        EXPECT_EQ(engine::CombinationFileText(in, text), c.accepted) << c.what;
        EXPECT_EQ(text.empty(), !c.accepted) << c.what;
    }
}

}  // namespace
