// The progress dialog of a column calculation: one step per combination with the engine's status, and its Cancel
// pressed on a screen ends the run with the position's results as they were.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/win/afx.h"
#include "platform/win/screen/screen.h"
#include "tests/column/calc_run_support.h"

namespace {

using namespace column_test;

// The cantilever of 4 m under N = 1000 kN and H = 20 kN with its one design combination "Ed" and nothing else
// (no accidental, fire or serviceability combination, no creep, final system only).
void Make(CKolumoData& d) { Cantilever(d, 4.0, {{2, 1000.0}, {0, 20.0}}, "1.00*(1)+1.00*(2)"); }

// A user on a screen who presses the progress dialog's Cancel at the n-th look at the screen.
class CancellingScreen : public win::Screen {
 public:
  explicit CancellingScreen(int at) : at_(at) {}
  int looks = 0;
  bool pressed = false;
  void Present() override {}
  bool WaitForInput(DWORD) override {
    if (++looks != at_) return true;
    const HWND dialog = GetActiveWindow();
    const HWND cancel = GetDlgItem(dialog, IDCANCEL);
    if (!cancel) return true;
    RECT top, button;
    GetWindowRect(dialog, &top);
    GetWindowRect(cancel, &button);
    for (auto kind : {win::ScreenEvent::kPress, win::ScreenEvent::kRelease}) {
      win::ScreenEvent e;
      e.kind = kind;
      e.window = dialog;
      e.x = (button.left + button.right) / 2 - top.left;
      e.y = (button.top + button.bottom) / 2 - top.top;
      win::DeliverScreenEvent(e);
    }
    pressed = true;
    return true;
  }

 private:
  int at_;
};

class ProgressCalcTest : public CalcRunFixture {
 protected:
  void SetUp() override {
    CalcRunFixture::SetUp();
    log_ = std::tmpfile();
    win::script::SetProgressStream(log_);
  }
  void TearDown() override {
    win::SetScreen(nullptr);
    win::script::SetProgressStream(nullptr);
    std::fclose(log_);
    CalcRunFixture::TearDown();
  }
  std::vector<std::string> Lines() {
    std::fflush(log_);
    std::rewind(log_);
    std::vector<std::string> lines;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, log_)) {
      std::string line(buffer);
      if (!line.empty() && line.back() == '\n') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }
  // The saved file's result element, as its bytes.
  std::string SavedResults(int doc) {
    EXPECT_EQ(VIDUV_SaveDoc(doc), 1);
    std::ifstream in(VIDUV_GetCompleteFileName(doc), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string s = text.str();
    const auto begin = s.find("<result"), end = s.rfind("</result>");
    EXPECT_NE(begin, std::string::npos);
    EXPECT_NE(end, std::string::npos);
    return begin == std::string::npos || end == std::string::npos ? "" : s.substr(begin, end - begin);
  }
  std::FILE* log_ = nullptr;
};

TEST_F(ProgressCalcTest, EachCombinationStepsTheDialog) {
  CKolumoData in;
  Make(in);
  auto out = Run(in);
  ASSERT_FALSE(out->ergebnisse.Schnittgroessen.empty());
  // The driver counts 3 passes per design combination: 1 combination -> 3 steps of 100 / 3 = 33 %. The engine steps
  // once per combination in first order, eigenvalues and second order.
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "[progress: Fortschrittsanzeige] 33% Berechnung der Tragsicherheit Th. 1. 0.",
                         "[progress: Fortschrittsanzeige] 66% Berechnung der Eigenwerte",
                         "[progress: Fortschrittsanzeige] 99% Berechnung der Tragsicherheit Th. 2. 0.",
                     }));
  EXPECT_EQ(win::WindowCount(), 0u) << "the progress dialog outlived the run";
}

TEST_F(ProgressCalcTest, CancelAfterTheFirstCombinationKeepsTheOldResults) {
  CKolumoData in;
  Make(in);
  int doc = 0;
  auto calculated = Run(in, "position.tqx", &doc);
  ASSERT_FALSE(calculated->ergebnisse.Schnittgroessen.empty());
  // New input (twice the horizontal load) beside the results of the old: a finished run would replace them.
  calculated->loads[0][1].val0 = 40.0;
  calculated->WriteData(doc);
  const std::string before = SavedResults(doc);
  ASSERT_FALSE(before.empty());

  // The dialog looks at the screen before each step: the second look comes after the first combination.
  CancellingScreen user(2);
  win::SetScreen(&user);
  std::fclose(log_);
  log_ = std::tmpfile();
  win::script::SetProgressStream(log_);
  Calculate(doc);
  win::SetScreen(nullptr);
  EXPECT_TRUE(user.pressed);
  EXPECT_EQ(SavedResults(doc), before);
  const auto lines = Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "[progress: Fortschrittsanzeige] 33% Berechnung der Tragsicherheit Th. 1. 0.");
  EXPECT_EQ(lines[2], "[progress] calculation cancelled: the position keeps its previous results");
  EXPECT_EQ(win::WindowCount(), 0u);

  // The same run not cancelled gives other results: the comparison above could tell.
  Calculate(doc);
  EXPECT_NE(SavedResults(doc), before);
}

}  // namespace
