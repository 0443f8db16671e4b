// The generic results of a position: reading the "result" tree into entries, the value preparation (extremes,
// zero crossings, axis ticks) and the diagram of one entry.
#include <cmath>

#include "framework/basedata.h"
#include "tests/framework/pos_test_support.h"

namespace {

class Position : public BaseData {
 public:
  bool PrepareCalc(CStringArray&, int) override { return true; }
};

CResultEntry Curve(int type, std::vector<float> values) {
  CResultEntry entry;
  entry.type = type;
  for (float v : values) entry.values.Add(v);
  return entry;
}

std::vector<float> Values(const CResultEntry& entry) {
  return std::vector<float>(entry.values.GetData(), entry.values.GetData() + entry.values.GetSize());
}

class ResultsTest : public pos_test::PosTest {
 protected:
  // A result node with its floats as "data" and the attributes given before it.
  static int Node(int parent, const char* name, const char* title, const std::vector<float>& data, int points,
                  int type = 0) {
    int node = VIDUV_AddChildElement(parent, name);
    VIDUV_SetInt(node, "type", type);
    if (title) VIDUV_SetString(node, "title", title);
    VIDUV_SetInt(node, "dataLength", points);
    VIDUV_SetBinData(node, "data", int(data.size() * sizeof(float)), data.data(), 0);
    return node;
  }
};

TEST_F(ResultsTest, TreeBecomesAFlatListOfLeavesWithTheirPaths) {
  int doc = NewDocument();
  int result = VIDUV_AddChildElement(Root(doc), "result");
  VIDUV_SetString(result, "message", "ok");
  VIDUV_SetInt(result, "nNode", 2);
  int a = VIDUV_AddChildElement(result, "a");
  VIDUV_SetString(a, "title", "A");
  int b = VIDUV_AddChildElement(a, "b");
  VIDUV_SetString(b, "title", "B");
  int c = Node(b, "c", "C", {0, 1, 2, 3}, 2);
  VIDUV_SetString(c, "unit", "-");
  VIDUV_SetInt(c, "lkNr", 4);
  int hidden = VIDUV_AddChildElement(result, "h");
  VIDUV_SetInt(hidden, "type", -1);
  Node(hidden, "x", "X", {0, 1}, 1);
  Node(result, "d", "D", {0, 5, 1, 6, 2, 7}, 3);

  Position position;
  position.ReadResults(doc);
  EXPECT_EQ(position.resultMessage, "ok");
  ASSERT_EQ(position.resultEntries.GetSize(), 2);
  const CResultEntry& first = position.resultEntries[0];
  EXPECT_EQ(first.path, "A\\B\\C");
  EXPECT_EQ(first.unit, "");
  EXPECT_EQ(first.lkNr, 4);
  EXPECT_EQ(first.nDigits, 2);
  EXPECT_TRUE(first.perNode);  // dataLength 2 = nNode
  const CResultEntry& second = position.resultEntries[1];
  EXPECT_EQ(second.path, "D");
  EXPECT_FALSE(second.perNode);
  // 5, 6, 7 are all positive: the minimum becomes 0.
  EXPECT_FLOAT_EQ(second.minValue, 0.0f);
  EXPECT_FLOAT_EQ(second.maxValue, 7.0f);
  EXPECT_FLOAT_EQ(second.maxPosition, 2.0f);

  VIDUV_DeleteElement(result);
  position.ReadResults(doc);
  EXPECT_EQ(position.resultEntries.GetSize(), 0);
  EXPECT_EQ(position.resultMessage, "");
}

TEST_F(ResultsTest, DataThatDoesNotMatchItsLengthIsNotRead) {
  int doc = NewDocument();
  int result = VIDUV_AddChildElement(Root(doc), "result");
  Node(result, "kurz", "Kurz", {0, 1, 2}, 2);           // 3 floats for 2 points of 2
  Node(result, "lang", "Lang", {0, 1, 2, 3, 4, 5}, 2);  // 6 floats for 2 points of 2
  Node(result, "negativ", "Negativ", {0, 1}, -1);
  int poi = Node(result, "poi", "Poi", {0, 1, 1, 2}, 2);
  int flags[3] = {1, 0, 1};  // one flag too many
  VIDUV_SetBinData(poi, "poi", int(sizeof(flags)), flags, 0);
  // "data" before "dataLength": still read, the size known at the end.
  int late = VIDUV_AddChildElement(result, "spaet");
  float data[4] = {0, -1, 1, -2};
  VIDUV_SetBinData(late, "data", int(sizeof(data)), data, 0);
  VIDUV_SetString(late, "title", "Spät");
  VIDUV_SetInt(late, "dataLength", 2);

  Position position;
  position.ReadResults(doc);
  ASSERT_EQ(position.resultEntries.GetSize(), 2);
  EXPECT_EQ(position.resultEntries[0].title, "Poi");
  EXPECT_EQ(position.resultEntries[0].pointFlags.GetSize(), 0);
  EXPECT_EQ(position.resultEntries[1].title, "Spät");
  // -1 and -2 are both negative: the maximum becomes 0.
  EXPECT_FLOAT_EQ(position.resultEntries[1].minValue, -2.0f);
  EXPECT_FLOAT_EQ(position.resultEntries[1].maxValue, 0.0f);
}

struct MinMaxCase {
  const char* label;
  int type;
  std::vector<float> values;
  float min, max, minAt, maxAt;
};
class MinMaxTest : public testing::TestWithParam<MinMaxCase> {};
TEST_P(MinMaxTest, ExtremesAndTheirPositions) {
  const MinMaxCase& c = GetParam();
  CResultEntry entry = Curve(c.type, c.values);
  entry.CalcMinMax();
  EXPECT_FLOAT_EQ(entry.minValue, c.min);
  EXPECT_FLOAT_EQ(entry.maxValue, c.max);
  EXPECT_FLOAT_EQ(entry.minPosition, c.minAt);
  EXPECT_FLOAT_EQ(entry.maxPosition, c.maxAt);
  ASSERT_EQ(entry.extremePositions.GetSize(), 2);
  EXPECT_FLOAT_EQ(entry.extremePositions[0], c.minAt);
  EXPECT_FLOAT_EQ(entry.extremePositions[1], c.maxAt);
}
INSTANTIATE_TEST_SUITE_P(Curves, MinMaxTest,
                         testing::Values(
                             // Opposite signs: both extremes kept; the first of equal values wins.
                             MinMaxCase{"Mixed", 0, {0, -2, 1, 3, 2, -2, 3, 3}, -2, 3, 0, 1},
                             // All positive: the minimum becomes 0 (its position stays that of the smallest value).
                             MinMaxCase{"Positive", 0, {0, 2, 1, 5}, 0, 5, 0, 1},
                             MinMaxCase{"Negative", 0, {0, -2, 1, -5}, -5, 0, 1, 0},
                             // Flat within 0.0001: one extreme becomes 0.
                             MinMaxCase{"FlatNegative", 0, {0, -3, 1, -3.00005f}, -3.00005f, 0, 1, 0},
                             MinMaxCase{"ZeroIsAnExtreme", 0, {0, 0, 1, 4}, 0, 4, 0, 1},
                             // Types 2 and 3 look at both values of every point.
                             MinMaxCase{"Band", 2, {0, 1, -4, 1, 6, 2}, -4, 6, 0, 1},
                             MinMaxCase{"Bars", 3, {0, 2, 1, 5, 9, 3}, 0, 9, 0, 5}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(ResultEntryTest, CurveCrossingZeroGainsAZeroPoint) {
  CResultEntry entry = Curve(0, {0, 1, 2, -1});
  entry.InsertZeroPoints();
  EXPECT_EQ(Values(entry), (std::vector<float>{0, 1, 1, 0, 2, -1}));
  // x0 = x1 + |y1| (x2 - x1) / |y2 - y1| = 1 + 2 * 4 / 8 = 2.
  CResultEntry flagged = Curve(0, {1, 2, 5, -6, 6, -7});
  flagged.pointFlags.Add(1);
  flagged.pointFlags.Add(1);
  flagged.pointFlags.Add(0);
  flagged.InsertZeroPoints();
  EXPECT_EQ(Values(flagged), (std::vector<float>{1, 2, 2, 0, 5, -6, 6, -7}));
  ASSERT_EQ(flagged.pointFlags.GetSize(), 4);
  EXPECT_EQ(flagged.pointFlags[1], 0);
  EXPECT_EQ(flagged.pointFlags[2], 1);
  // Within the band around 0 nothing is inserted.
  CResultEntry small = Curve(0, {0, 0.00005f, 1, -1});
  small.InsertZeroPoints();
  EXPECT_EQ(small.GetPointCount(), 2);
}

TEST(ResultEntryTest, BandOfNearlyEqualValuesKeepsOneOfThem) {
  // Mean |y1 - y2| = 0.05 < 0.01 * 10: y1 goes to 0 where it is not negative, else y2.
  CResultEntry near = Curve(2, {0, 10, 9.95f, 1, -5, -5.05f});
  near.InsertZeroPoints();
  EXPECT_EQ(Values(near), (std::vector<float>{0, 0, 9.95f, 1, -5, 0}));
  CResultEntry apart = Curve(2, {0, 10, 2, 1, -5, 3});
  apart.InsertZeroPoints();
  EXPECT_EQ(Values(apart), (std::vector<float>{0, 10, 2, 1, -5, 3}));
}

struct TicksCase {
  double min, max;
  int n;
  std::vector<double> ticks;
};
class TicksTest : public testing::TestWithParam<TicksCase> {};
TEST_P(TicksTest, StepsOfTenHalved) {
  CArray<double, double> ticks;
  CalcAxisTicks(GetParam().min, GetParam().max, GetParam().n, ticks);
  ASSERT_EQ(std::size_t(ticks.GetSize()), GetParam().ticks.size());
  for (std::size_t i = 0; i < GetParam().ticks.size(); ++i) EXPECT_NEAR(ticks[INT_PTR(i)], GetParam().ticks[i], 1e-12);
}
INSTANTIATE_TEST_SUITE_P(Ranges, TicksTest,
                         testing::Values(TicksCase{0, 10, 4, {0, 5, 10}},
                                         // 10 -> 5 -> 2.5: four steps of the range; from trunc(-1.7) to trunc(3.3).
                                         TicksCase{-3, 7, 5, {-2.5, 0, 2.5, 5, 7.5}},
                                         // Range 0.3: step 10^0 = 1 halved to 0.25 (0.3 / 0.25 = 1.2 >= 2 / 2);
                                         // ticks from trunc(-0.5) = 0 to trunc(1.7) = 1.
                                         TicksCase{0, 0.3, 2, {0, 0.25}}, TicksCase{4, 4, 5, {4}}));

// The drawing control's calls as text.
class RecordingPlot : public CDiagramTarget {
 public:
  void AddLine(double x1, double y1, double x2, double y2) override { Log("line", {x1, y1, x2, y2}); }
  void AddPolygon(int n, const double* x, const double* y) override {
    std::vector<double> v;
    for (int i = 0; i < n; ++i) {
      v.push_back(x[i]);
      v.push_back(y[i]);
    }
    Log("polygon", v);
  }
  void AddText(double x, double y, double, double, const char* text) override { Log("text", {x, y}, text); }
  void AddValueLabel(double x, double y, double, double, double, double, const char* text) override {
    Log("label", {x, y}, text);
  }
  void SetStyle(COLORREF colour, int style, int, BOOL) override {
    calls.push_back("style " + std::to_string(GetRValue(colour)) + "," + std::to_string(GetGValue(colour)) + "," +
                    std::to_string(GetBValue(colour)) + " " + std::to_string(style));
  }
  void Invoke55() override { calls.push_back("end"); }

  std::vector<std::string> Matching(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& c : calls)
      if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
  }
  std::vector<std::string> calls;

 private:
  void Log(const char* kind, const std::vector<double>& v, const char* text = nullptr) {
    std::string line = kind;
    for (double d : v) {
      char buffer[32];
      std::snprintf(buffer, sizeof(buffer), " %g", d);
      line += buffer;
    }
    if (text) line += std::string(" '") + text + "'";
    calls.push_back(line);
  }
};

TEST(ResultDiagramTest, CurveFromPlusToMinusOneIsFilledBlueThenRed) {
  CResultEntry entry = Curve(0, {0, 1, 2, -1});
  entry.title = "My";
  entry.unit = "kNm";
  entry.nDigits = 2;
  entry.axisIntervals = 0;
  entry.withCaption = TRUE;
  entry.scale = 10;
  entry.CalcMinMax();
  entry.InsertZeroPoints();
  RecordingPlot plot;
  entry.DrawDiagram(plot);
  // y = (max - v) * scale: v = 1 at 0, v = 0 at 10, v = -1 at 20.
  EXPECT_EQ(plot.Matching("polygon"),
            (std::vector<std::string>{"polygon 0 10 0 0 1 10 1 10", "polygon 1 10 1 10 2 20 2 10"}));
  EXPECT_EQ(plot.Matching("style 181,218,255").size(), 1u);
  EXPECT_EQ(plot.Matching("style 255,90,90").size(), 1u);
  // The curve, then the zero line from the first to the last x.
  EXPECT_EQ(plot.Matching("line"), (std::vector<std::string>{"line 0 0 1 10", "line 1 10 2 20", "line 0 10 2 10"}));
  EXPECT_EQ(plot.Matching("label"), (std::vector<std::string>{"label 2 20 '-1.00 kNm'", "label 0 0 '1.00 kNm'"}));
  EXPECT_EQ(plot.Matching("text").size(), 1u);
  EXPECT_NE(plot.Matching("text")[0].find("'My (kNm)'"), std::string::npos);
  EXPECT_EQ(plot.calls.back(), "end");

  entry.bAbsolut = TRUE;
  RecordingPlot absolute;
  entry.DrawDiagram(absolute);
  EXPECT_EQ(absolute.Matching("label"), (std::vector<std::string>{"label 2 20 '1.00 kNm'", "label 0 0 '1.00 kNm'"}));
}

TEST(ResultDiagramTest, TicksGetGreyLinesAndLabelsAndFlaggedPointsTheirOwnLabels) {
  CResultEntry entry = Curve(0, {0, 0, 1, 10, 2, 4});
  entry.pointFlags.Add(0);
  entry.pointFlags.Add(1);
  entry.pointFlags.Add(1);
  entry.nDigits = 1;
  entry.axisIntervals = 4;
  entry.labelX = -1;
  entry.CalcMinMax();
  RecordingPlot plot;
  entry.DrawDiagram(plot);
  // Ticks 0, 5, 10 at y = 10, 5, 0 with their labels at the given x.
  EXPECT_EQ(plot.Matching("text"),
            (std::vector<std::string>{"text -1 10 '0.0'", "text -1 5 '5.0'", "text -1 0 '10.0'"}));
  // Two flagged points: a grey line each, and their values as labels.
  EXPECT_EQ(plot.Matching("style 192,192,192 2").size(), 2u + 3u);
  EXPECT_EQ(plot.Matching("label"), (std::vector<std::string>{"label 1 0 '10.0 '", "label 2 6 '4.0 '"}));
}

TEST(ResultDiagramTest, ABarOfASingleValueCarriesOneLabel) {
  // Point values whose upper and lower bound are one value (a support force): one plain label each, no "Max=" and
  // "Min=" for the same number. Bounds 0.00005 apart count as one value; 0.01 apart are two.
  struct Case {
    std::vector<float> values;
    std::vector<std::string> texts;
  } const cases[] = {
      {{0, -5, -5}, {"'-5.00 kN'"}},
      {{0, 12, 12}, {"'12.00 kN'"}},
      {{0, -5, -5, 2, 7, 7.00005f}, {"'-5.00 kN'", "'7.00 kN'"}},
      {{0, 7.01f, 7}, {"'Max=7.01 kN'", "'Min=7.00 kN'"}},
  };
  for (const Case& c : cases) {
    CResultEntry entry = Curve(3, c.values);
    entry.unit = "kN";
    entry.nDigits = 2;
    entry.axisIntervals = 0;
    entry.CalcMinMax();
    RecordingPlot plot;
    entry.DrawDiagram(plot);
    std::vector<std::string> texts;
    for (const std::string& t : plot.Matching("text")) texts.push_back(t.substr(t.find('\'')));
    EXPECT_EQ(texts, c.texts) << c.texts.front();
  }
}

TEST(ResultDiagramTest, BarsAreLabelledMaxAndMin) {
  CResultEntry entry = Curve(3, {0, 3, -2, 4, 0, 0, 8, 0, -1});
  entry.unit = "kN";
  entry.nDigits = 0;
  entry.axisIntervals = 0;
  entry.CalcMinMax();
  RecordingPlot plot;
  entry.DrawDiagram(plot);
  // The point at 4 has no value and no bar; the bar at 8 has no maximum above 0.
  EXPECT_EQ(plot.Matching("polygon").size(), 2u);
  std::vector<std::string> texts = plot.Matching("text");
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_NE(texts[0].find("'Max=3 kN'"), std::string::npos);
  EXPECT_NE(texts[1].find("'Min=-2 kN'"), std::string::npos);
  EXPECT_NE(texts[2].find("'0 kN'"), std::string::npos);
  EXPECT_NE(texts[3].find("'Min=-1 kN'"), std::string::npos);
}

}  // namespace
