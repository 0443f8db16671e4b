// The host's windows without a screen: "edit" names the missing display and touches nothing; "calc" tells the
// progress dialog's steps on standard output and keeps standard error for messages.
#include <regex>
#include <sstream>

#include "tests/host/host_run.h"

namespace {

using namespace host_test;

std::string Example() { return Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx"); }

TEST_F(HostTest, EditWithoutADisplayNamesDisplayAndLeavesTheFile) {
  std::ofstream(Path("Stuetze.tqx")) << Example();
  const HostRun run = Host({"edit", Path("Stuetze.tqx")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("DISPLAY is not set"), std::string::npos) << run.err;
  EXPECT_EQ(Slurp(Path("Stuetze.tqx")), Example());
  EXPECT_EQ(Host({"edit"}).status, 2);
}

TEST_F(HostTest, CalcTellsTheProgressStepsOnStandardOutput) {
  std::ofstream(Path("Stuetze.tqx")) << Example();
  const HostRun run = Host({"calc", Path("Stuetze.tqx")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  // Every line up to the fields' lines a step of the one dialog; the bar advances by the same step each time, and the run begins with the
  // first-order design and ends with the serviceability combinations.
  const std::regex line(R"(\[progress: Fortschrittsanzeige\] (\d+)% (.+))");
  std::istringstream out(run.out);
  std::vector<int> percents;
  std::vector<std::string> statuses;
  for (std::string text; std::getline(out, text);) {
    // after the steps, the run's line on each field's reinforcement
    if (text.rfind("field ", 0) == 0) break;
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, line)) << text;
    percents.push_back(std::stoi(m[1]));
    statuses.push_back(m[2]);
  }
  ASSERT_GE(percents.size(), 3u);
  const int step = percents[0];
  EXPECT_GE(step, 1);
  // the driver counts at least as many passes as the engine makes steps: the bar never runs over
  EXPECT_LE(int(percents.size()) * step, 100);
  for (std::size_t i = 0; i < percents.size(); ++i) EXPECT_EQ(percents[i], int(i + 1) * step) << i;
  EXPECT_EQ(statuses.front(), "Berechnung der Tragsicherheit Th. 1. 0.");
  EXPECT_EQ(statuses.back(), "Berechnung der Gebrauchstauglichkeit");
}

// A call's output is read by programs: the reply comes first, even when the call calculates.
TEST_F(HostTest, ACallThatCalculatesPrintsNoProgress) {
  std::ofstream(Path("Stuetze.tqx")) << Example();
  const HostRun run = Host({"call", "SilentCalc", "int=doc:" + Path("Stuetze.tqx")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "reply 1\n");
}

}  // namespace
