// The foundation restraint dialog: the springs from soil and footing, input that cannot give springs, and what
// reaches the column data through typing, OK and Cancel.
#include <gtest/gtest.h>

#include <string>

#include "column_ui/fundamentdlg.h"
#include "tests/column_ui/dialog_input.h"

namespace {

TEST(Fundament, SpringsOfSquareAndOblongFootings) {
  struct Case {
    double bx, by, es, nue;
    double cz, cx, cy, cmx, cmy;
  };
  // 2 x 2 m, Es 14000, nue 0.2: a/b 1, d/b 6/2 = 3 -> f 0.70, ks = 14000 / (0.70 * 2) = 10000, cz = 10000 * 4;
  //   G0 = 14000 / 1.6 = 8750, S = 1, beta(1) = 0.95: cx = 4 * 1.2 * 0.95 * 8750 = 39900;
  //   k = 2.5 * 14000 / 2 = 17500, cmx = 17500 * 2 * 8 / 12 = 23333.33.
  // 4 x 2 m, Es 10000, nue 0.3: a/b 2, d/b 3 -> f 0.89, ks = 10000 / 1.78, cz = trunc(8 ks) = 44943;
  //   G0 = 10000 / 1.4, S = sqrt 2, beta(0.5) = 1.025 (between 0.4 and 0.6), beta(2) = 0.9:
  //   cx = trunc(5.2 * 1.025 * G0 * S) = 53841, cy = trunc(5.2 * 0.9 * G0 * S) = 47275;
  //   k = 25000 / sqrt 8, cmx = k * 4 * 8 / 12 = 23570.23, cmy = k * 2 * 64 / 12 = 94280.90.
  const Case cases[] = {
      {2, 2, 14000, 0.2, 40000, 39900, 39900, 23333.333, 23333.333},
      {4, 2, 10000, 0.3, 44943, 53841, 47275, 23570.226, 94280.904},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(fundament::CheckEingabe(c.bx, c.by, c.es, c.nue), "");
    fundament::Federn f = fundament::Berechne(c.bx, c.by, c.es, c.nue);
    EXPECT_DOUBLE_EQ(f.cz, c.cz) << c.bx;
    EXPECT_DOUBLE_EQ(f.cx, c.cx) << c.bx;
    EXPECT_DOUBLE_EQ(f.cy, c.cy) << c.bx;
    EXPECT_NEAR(f.cmx, c.cmx, 1e-3) << c.bx;
    EXPECT_NEAR(f.cmy, c.cmy, 1e-3) << c.bx;
  }
}

TEST(Fundament, InputThatDividesByZeroOrIsNegativeIsRefused) {
  // The shear modulus Es / (2 (1 - nue)) has the denominator 0 at nue = 1; ks = Es / (f b) and
  // k = 2.5 Es / sqrt(Bx By) have 0 at a zero side.
  struct Case {
    double bx, by, es, nue;
    const char* message;  // empty: springs can be formed
  };
  const Case cases[] = {
      {0, 2, 10000, 0.3, "Fundamentbreiten Bx und By müssen größer als 0.0 sein."},
      {2, 0, 10000, 0.3, "Fundamentbreiten Bx und By müssen größer als 0.0 sein."},
      {2, 2, 10000, 1.0, "Querdehnzahl muss kleiner als 1.0 sein."},
      {2, 2, 10000, 1.5, "Querdehnzahl muss kleiner als 1.0 sein."},
      {2, 2, 10000, -0.1, "Eingabewerte < 0.0 nicht zulässig."},
      {-1, 2, 10000, 0.3, "Eingabewerte < 0.0 nicht zulässig."},
      {2, 2, 10000, 0.99, ""},
      {2, 2, 0, 0.0, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(fundament::CheckEingabe(c.bx, c.by, c.es, c.nue), c.message) << c.bx;
}

TEST(Fundament, SubgradeModulusIsHeldBeyondTheTableAndExtrapolatedBelowIt) {
  double ks = 0;
  // d/b = 6/0.1 = 60 and a/b = 1000: the last coefficient 2.48, ks = 1000 / (2.48 * 0.1).
  ASSERT_TRUE(fundament::Bettungsziffer(100, 0.1, 6, 1000, ks));
  EXPECT_NEAR(ks, 1000 / 0.248, 1e-9);
  // a/b 1, d/b 6/60 = 0.1: below 0.2, along the first two columns 0.18 - 0.5 * 0.11 = 0.125.
  ASSERT_TRUE(fundament::Bettungsziffer(60, 60, 6, 1000, ks));
  EXPECT_NEAR(ks, 1000 / (0.125 * 60), 1e-9);
  EXPECT_DOUBLE_EQ(fundament::Beta(0.05), 1.4);
  EXPECT_DOUBLE_EQ(fundament::Beta(20), 1.2);
}

class FundDlgTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    data.bx = 1.5;
    data.by = 2.25;
    data.Es = 12345.678;
    data.nue = 0.25;
    data.cz = 1.0 / 3.0;
    data.cmx = 23333.3333;
    data.EsID = 3;
  }
  static void Type(CDialog& d, int id, const std::string& text) { dialog_input::TypeEdit(d, id, text); }
  static void Click(CDialog& d, int id) { dialog_input::Press(d, id); }
  static CString Text(CDialog& d, int id) {
    CString s;
    d.GetDlgItemText(id, s);
    return s;
  }
  CKolumoData data;
};

TEST_F(FundDlgTest, TypedValuesAndComputedSpringsReachTheData) {
  win::script::QueueDialog([this](CDialog& d) {
    EXPECT_EQ(Text(d, CPyloFundDlg::kIdBx), "1.50");
    EXPECT_EQ(static_cast<CListBox*>(d.GetDlgItem(CPyloFundDlg::kIdBoden))->GetCurSel(), 3);
    // The last soil, "Naturschotter, scharfkantig" 150000-300000: Es becomes the mean.
    Click(d, CPyloFundDlg::kIdBoden);
    win::input::Key(VK_END);
    EXPECT_EQ(Text(d, CPyloFundDlg::kIdEs), "225000.00");
    Type(d, CPyloFundDlg::kIdBx, "2");
    Type(d, CPyloFundDlg::kIdBy, "2,0");
    Type(d, CPyloFundDlg::kIdEs, "14000");
    Type(d, CPyloFundDlg::kIdNue, "0,2");
    Click(d, CPyloFundDlg::kIdBerechnen);
    EXPECT_EQ(Text(d, CPyloFundDlg::kIdCz), "40000.0");
    EXPECT_EQ(Text(d, CPyloFundDlg::kIdCx), "39900.0");
    EXPECT_EQ(Text(d, CPyloFundDlg::kIdCmy), "23333.3");
    Click(d, CPyloFundDlg::kIdFudPos);
    dialog_input::Save(d, "fundament.png");
    Click(d, IDOK);
  });
  ASSERT_TRUE(CPyloFundDlg::Bearbeite(data, nullptr));
  EXPECT_DOUBLE_EQ(data.bx, 2.0);
  EXPECT_DOUBLE_EQ(data.by, 2.0);
  EXPECT_DOUBLE_EQ(data.nue, 0.2);
  EXPECT_DOUBLE_EQ(data.cz, 40000.0);
  EXPECT_DOUBLE_EQ(data.cmx, 23333.3);
  EXPECT_EQ(data.FudPos, 1);
  EXPECT_DOUBLE_EQ(data.EsID, 16.0);
}

TEST_F(FundDlgTest, OkWithoutAChangeKeepsEveryValueAndCancelKeepsEverything) {
  const double es = data.Es, cz = data.cz, cmx = data.cmx, bx = data.bx;
  win::script::QueueDialogAnswer(IDOK);
  ASSERT_TRUE(CPyloFundDlg::Bearbeite(data, nullptr));
  EXPECT_EQ(data.Es, es);
  EXPECT_EQ(data.cz, cz);
  EXPECT_EQ(data.cmx, cmx);
  win::script::QueueDialog([](CDialog& d) {
    Type(d, CPyloFundDlg::kIdBx, "4");
    Click(d, CPyloFundDlg::kIdBerechnen);
    Click(d, IDCANCEL);
  });
  ASSERT_FALSE(CPyloFundDlg::Bearbeite(data, nullptr));
  EXPECT_EQ(data.bx, bx);
  EXPECT_EQ(data.cz, cz);
}

TEST_F(FundDlgTest, ZeroWidthAndPoissonRatioOneAreRefusedWithAMessage) {
  const double cz = data.cz;
  win::msgbox::QueueAnswer(IDOK);
  win::msgbox::QueueAnswer(IDOK);
  win::msgbox::QueueAnswer(IDOK);
  win::script::QueueDialog([](CDialog& d) {
    Type(d, CPyloFundDlg::kIdBx, "0");
    Click(d, CPyloFundDlg::kIdBerechnen);
    EXPECT_EQ(Text(d, CPyloFundDlg::kIdCz), "0.33") << "the springs stay";
    Click(d, IDOK);
    EXPECT_TRUE(::IsWindow(d.m_hWnd)) << "refused, the dialog stays open";
    Type(d, CPyloFundDlg::kIdBx, "2");
    Type(d, CPyloFundDlg::kIdNue, "1");
    Click(d, CPyloFundDlg::kIdBerechnen);
    Click(d, IDCANCEL);
  });
  ASSERT_FALSE(CPyloFundDlg::Bearbeite(data, nullptr));
  const auto& log = win::msgbox::Log();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].text, "Fundamentbreiten Bx und By müssen größer als 0.0 sein.");
  EXPECT_EQ(log[1].text, log[0].text);
  EXPECT_EQ(log[2].text, "Querdehnzahl muss kleiner als 1.0 sein.");
  EXPECT_EQ(data.cz, cz);
}

}  // namespace
