// A spring from the members above and below a support: the stiffness in closed form, the dialog's fields and
// its refusal of a number it cannot read.
#include "framework_ui/memberspringdlg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <numbers>
#include <string>

#include "framework_ui/springdlg.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/dialogs/wintest.h"

namespace {

CSpringData::Side Rect(double b, double d, double emod, double h, double grad) {
  CSpringData::Side side;
  side.qtyp = kSectionRect;
  side.qrb = b;
  side.qrd = d;
  side.emod = emod;
  side.h = h;
  side.grad = grad;
  return side;
}

class MemberSpringTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    // The profile catalogue of the checkout, so that its series fill the lists.
    setenv("KOLUMO_ROOT", KOLUMO_SOURCE_DIR "/data", 0);
  }
  static void Save(CDialog& d, const char* name) {
    if (const char* dir = std::getenv("KOLUMO_PICTURES"))
      win::SaveWindowPng(d.m_hWnd, std::string(dir) + "/" + name + ".png");
  }
};

// Square 30/30 cm: I = 0.3^4/12 = 6.75e-4 m^4; E = 30000 MN/m^2 = 3e7 kN/m^2; h = 3 m.
// Far end fixed: 4EI/h = 4 * 3e7 * 6.75e-4 / 3 = 27000 kNm/rad; hinged: 3EI/h = 20250 kNm/rad.
// Circle d = 30 cm below, E = 25000 MN/m^2, h = 3 m, axial: EA/h = 2.5e7 * pi * 0.15^2 / 3 = 589048.6 kN/m.
TEST_F(MemberSpringTest, TheStiffnessIsTheSumOfTheMembersSwitchedOn) {
  struct Case {
    const char* what;
    int rotational, above, below;
    double gradAbove, gradBelow;
    double expected;
  };
  const double circleAxial = 2.5e7 * std::numbers::pi * 0.15 * 0.15 / 3.0;
  const Case cases[] = {
      {"both fixed", 1, 1, 1, 100.0, 100.0, 54000.0},
      {"below hinged only", 1, 0, 1, 100.0, 0.0, 20250.0},
      {"above fixed, below hinged", 1, 1, 1, 100.0, 0.0, 47250.0},
      {"both off", 1, 0, 0, 100.0, 100.0, 0.0},
      {"axial from the circle below", 0, 1, 1, 100.0, 100.0, circleAxial},
  };
  for (const Case& c : cases) {
    CSpringData record;
    record.bDrehfeder = c.rotational;
    record.bEnableOben = c.above;
    record.bEnableUnten = c.below;
    record.oben = Rect(30.0, 30.0, 30000.0, 3.0, c.gradAbove);
    record.unten = Rect(30.0, 30.0, 30000.0, 3.0, c.gradBelow);
    if (!c.rotational) {
      record.unten.qtyp = kSectionCircle;
      record.unten.qkd = 30.0;
      record.unten.emod = 25000.0;
    }
    EXPECT_NEAR(DlgFeder::Stiffness(record), c.expected, 1e-6 * (1.0 + c.expected)) << c.what;
  }
  // Circle d = 30 cm: I = pi/4 * 0.15^4 = 3.976e-4 m^4.
  double area = 0.0, inertia = 0.0;
  CSpringData::Side circle;
  circle.qtyp = kSectionCircle;
  circle.qkd = 30.0;
  DlgFeder::SectionValues(circle, area, inertia);
  EXPECT_NEAR(inertia, std::numbers::pi / 4.0 * 0.15 * 0.15 * 0.15 * 0.15, 1e-12);
}

// 20/30 cm below, far end fixed, h = 3 m, steel "210000 (S235)": I = 0.2 * 0.3^3 / 12 = 4.5e-4 m^4,
// 4EI/h = 4 * 2.1e8 * 4.5e-4 / 3 = 126000 kNm/rad.
TEST_F(MemberSpringTest, TheModulusIsReadFromTheStartOfItsListText) {
  DlgFeder dialog;
  CSpringData record;
  record.bEnableOben = 0;
  record.unten = Rect(20.0, 30.0, 30000.0, 3.0, 100.0);
  dialog.SetSpringData(record);
  win::script::QueueDialog([](CDialog& d) {
    EXPECT_FALSE(d.GetDlgItem(IDC_MS_ABOVE + kMsEmod)->IsWindowEnabled());
    EXPECT_FALSE(d.GetDlgItem(IDC_MS_BELOW + kMsCircleD)->IsWindowEnabled());
    EXPECT_TRUE(d.GetDlgItem(IDC_MS_BELOW + kMsRectB)->IsWindowEnabled());
    d.SetDlgItemText(IDC_MS_BELOW + kMsEmod, "210000 (S235)");
    Save(d, "memberspringdlg");
    win::input::ClickCenter(d.GetDlgItem(IDOK)->m_hWnd);
  });
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_NEAR(dialog.result, 126000.0, 1e-6);
  dialog.GetSpringData(record);
  EXPECT_DOUBLE_EQ(record.unten.emod, 210000.0);
}

TEST_F(MemberSpringTest, AHeightThatIsNoNumberKeepsTheDialogOpenWithTheTypedText) {
  DlgFeder dialog;
  win::msgbox::QueueAnswer(IDOK);
  win::script::QueueDialog([](CDialog& d) {
    d.SetDlgItemText(IDC_MS_BELOW + kMsHeight, "3,0m");
    win::input::ClickCenter(d.GetDlgItem(IDOK)->m_hWnd);
    EXPECT_TRUE(d.IsWindowVisible());
    CString text;
    d.GetDlgItemText(IDC_MS_BELOW + kMsHeight, text);
    EXPECT_EQ(text, "3,0m");
    // A decimal comma alone is fine.
    d.SetDlgItemText(IDC_MS_BELOW + kMsHeight, "2,5");
    win::input::ClickCenter(d.GetDlgItem(IDOK)->m_hWnd);
  });
  ASSERT_EQ(dialog.DoModal(), IDOK);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_NE(win::msgbox::Log()[0].text.find("Höhe h (m)"), std::string::npos);
  CSpringData record;
  dialog.GetSpringData(record);
  EXPECT_DOUBLE_EQ(record.unten.h, 2.5);
}

// The computed kind's button in the spring table opens the member dialog for a rotational spring; its result
// becomes the value. Below only, circle d = 30 cm, E = 25000, h = 3, fixed far end:
// 4EI/h = 4 * 2.5e7 * (pi/4 * 0.15^4) / 3 = 13253.6 kNm/rad.
TEST_F(MemberSpringTest, TheComputeButtonOfTheSpringTableTakesTheMemberDialogsResult) {
  SpringValDlg dialog;
  dialog.support.SetValueByIdx(4, CFormulaNumber(0.0), kSpringComputed);
  CSpringData record;
  record.bEnableOben = 0;
  record.unten.qtyp = kSectionCircle;
  record.unten.qkd = 30.0;
  record.unten.emod = 25000.0;
  record.unten.h = 3.0;
  record.unten.grad = 100.0;
  dialog.support.SetSpringDataByIdx(4, record);
  win::script::QueueDialog([](CDialog& d) {
    auto& grid = static_cast<SpringValDlg&>(d).grid;
    const int row = grid.RowOf(4);
    EXPECT_EQ(grid.GetItemText(row, SpringValGrid::kColButton), "Berechnen");
    EXPECT_FALSE(grid.IsCellEditable(row, SpringValGrid::kColValue));
    CRect cell;
    ASSERT_TRUE(grid.GetCellRect(row, SpringValGrid::kColButton, &cell));
    win::input::Click(grid.m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y);
    win::PumpMessages();
    win::input::ClickCenter(d.GetDlgItem(IDOK)->m_hWnd);
  });
  win::script::QueueDialog([](CDialog& d) {
    EXPECT_EQ(d.IsDlgButtonChecked(IDC_MS_ROTATIONAL), UINT(BST_CHECKED));
    win::input::ClickCenter(d.GetDlgItem(IDOK)->m_hWnd);
  });
  ASSERT_EQ(dialog.DoModal(), IDOK);
  CFormulaNumber value;
  int kind = 0;
  dialog.support.GetValueByIdx(4, value, kind);
  EXPECT_EQ(kind, kSpringComputed);
  EXPECT_NEAR(value.GetValue(), 4.0 * 2.5e7 * std::numbers::pi / 4.0 * 0.15 * 0.15 * 0.15 * 0.15 / 3.0, 1e-6);
}

}  // namespace
