// The spring dialog: presets found and applied, the kinds of a spring value, and what OK hands back.
#include "framework_ui/springdlg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "platform/win/dialogs/msgbox.h"
#include "platform/win/dialogs/wintest.h"
#include "tests/controls/grid_keys.h"

namespace {

void SetAll(CSupport& support, const double (&values)[CSupport::kSpringCount]) {
  for (int d = 0; d < CSupport::kSpringCount; ++d) support.SetValueByIdx(d, CFormulaNumber(values[d]), 0);
}

double ValueOf(CSupport& support, int d) {
  CFormulaNumber value;
  int kind = 0;
  support.GetValueByIdx(d, value, kind);
  return value.GetValue();
}

class SpringDlgTest : public win::test::WindowTest {
 protected:
  static void Save(CDialog& d, const char* name) {
    if (const char* dir = std::getenv("KOLUMO_PICTURES"))
      win::SaveWindowPng(d.m_hWnd, std::string(dir) + "/" + name + ".png");
  }
  static CString PresetText(CDialog& d) {
    CString text;
    d.GetDlgItemText(IDC_SPRING_PRESET, text);
    return text;
  }
  static void TypeInto(SpringValGrid& grid, int row, int col, const std::string& text) {
    grid.SetFocusCell(row, col);
    win::PumpMessages();
    win::input::Key(VK_F2);
    win::PumpMessages();
    win::input::KeyWith(VK_CONTROL, 'A');
    win::input::Type(text);
    grid.EndEditing();
    win::PumpMessages();
  }
  static void ChoosePreset(CDialog& d, int index) {
    d.SendDlgItemMessage(IDC_SPRING_PRESET, CB_SETCURSEL, WPARAM(index));
    d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SPRING_PRESET, CBN_SELCHANGE),
                  LPARAM(d.GetDlgItem(IDC_SPRING_PRESET)->m_hWnd));
    win::PumpMessages();
  }
};

TEST_F(SpringDlgTest, APresetIsFoundOnlyWhenAllSevenValuesMatch) {
  struct Case {
    double values[CSupport::kSpringCount];
    int preset;
  };
  const Case cases[] = {
      {{0, 0, 0, 0, 0, 0, 0}, 1},      {{-1, -1, -1, 0, 0, 0, 0}, 2},     {{-1, -1, -1, -1, 0, 0, 0}, 3},
      {{-1, -1, -1, -1, 0, 0, -1}, 4}, {{-1, -1, -1, -1, -1, -1, -1}, 5}, {{-1, -1, 5000, -1, -1, -1, -1}, 0},
      {{-1, -1, -1, 0, 0, 0, -1}, 0},  {{-1, -1, -1, -1, -1, -1, 0}, 0},
  };
  for (const Case& c : cases) {
    CSupport support;
    SetAll(support, c.values);
    EXPECT_EQ(SpringValDlg::DetectPreset(support), c.preset) << c.values[2] << " " << c.values[6];
  }
}

TEST_F(SpringDlgTest, AFullyFixedSupportShowsItsPresetAndAChangedValueTheDashedEntry) {
  SpringValDlg dialog;
  SetAll(dialog.support, {-1, -1, -1, -1, -1, -1, -1});
  dialog.bEndSupport = TRUE;
  win::script::QueueDialog([](CDialog& d) {
    auto& dlg = static_cast<SpringValDlg&>(d);
    EXPECT_EQ(PresetText(d), "Volleinspannung");
    Save(d, "springdlg");
    TypeInto(dlg.grid, dlg.grid.RowOf(2), SpringValGrid::kColValue, "5000");
    EXPECT_EQ(PresetText(d), "--------------------------------------");
    EXPECT_EQ(dlg.grid.GetItemText(dlg.grid.RowOf(2), SpringValGrid::kColValue), "5000 kN/m");
    win::input::ClickCenter(d.GetDlgItem(IDOK)->m_hWnd);
  });
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_DOUBLE_EQ(ValueOf(dialog.support, 2), 5000.0);
  EXPECT_DOUBLE_EQ(ValueOf(dialog.support, 3), -1.0);
  EXPECT_EQ(dialog.support.presetIdx, 0);
}

TEST_F(SpringDlgTest, ChoosingAPresetWritesItsValuesAndTheDashedEntryChangesNothing) {
  SpringValDlg dialog;
  SetAll(dialog.support, {-1, -1, 250, -1, -1, -1, -1});
  win::script::QueueDialog([](CDialog& d) {
    auto& dlg = static_cast<SpringValDlg&>(d);
    ChoosePreset(d, 0);
    EXPECT_DOUBLE_EQ(ValueOf(dlg.support, 2), 250.0);
    ChoosePreset(d, 4);
    EXPECT_EQ(dlg.grid.GetItemText(dlg.grid.RowOf(4), SpringValGrid::kColValue), "0 kNm/rad");
    EXPECT_EQ(dlg.grid.GetItemText(dlg.grid.RowOf(6), SpringValGrid::kColValue), "-1 kNm/rad");
    win::input::ClickCenter(d.GetDlgItem(IDOK)->m_hWnd);
  });
  ASSERT_EQ(dialog.DoModal(), IDOK);
  const double expected[] = {-1, -1, -1, -1, 0, 0, -1};
  for (int d = 0; d < CSupport::kSpringCount; ++d) EXPECT_DOUBLE_EQ(ValueOf(dialog.support, d), expected[d]) << d;
  EXPECT_EQ(dialog.support.presetIdx, 4);
}

// A degree of fixity is kept in per cent; a stored 150 % cannot be meant and is offered as 50 %. Fixity is a
// kind of the rotations only: the box of a translation stays locked.
TEST_F(SpringDlgTest, FixityShowsPerCentAndIsOfferedForRotationsOfAnEndSupport) {
  SpringValDlg dialog;
  dialog.bEndSupport = TRUE;
  dialog.support.SetValueByIdx(4, CFormulaNumber(150.0), kSpringFixity);
  dialog.support.SetValueByIdx(5, CFormulaNumber(30.0), kSpringFixity);
  win::script::QueueDialog([](CDialog& d) {
    auto& grid = static_cast<SpringValDlg&>(d).grid;
    EXPECT_TRUE(grid.IsColumnVisible(SpringValGrid::kColFixity));
    EXPECT_EQ(grid.GetItemText(grid.RowOf(4), SpringValGrid::kColValue), "50.0 %");
    EXPECT_EQ(grid.GetItemText(grid.RowOf(5), SpringValGrid::kColValue), "30.0 %");
    EXPECT_FALSE(grid.IsCellEditable(grid.RowOf(5), SpringValGrid::kColComputed));
    EXPECT_FALSE(grid.IsCellEditable(grid.RowOf(0), SpringValGrid::kColFixity));
    EXPECT_TRUE(grid.IsCellEditable(grid.RowOf(3), SpringValGrid::kColFixity));
    Save(d, "springdlg-fixity");
    win::input::ClickCenter(d.GetDlgItem(IDOK)->m_hWnd);
  });
  ASSERT_EQ(dialog.DoModal(), IDOK);
  CFormulaNumber value;
  int kind = 0;
  dialog.support.GetValueByIdx(4, value, kind);
  EXPECT_EQ(kind, kSpringFixity);
  EXPECT_DOUBLE_EQ(value.GetValue(), 50.0);
}

TEST_F(SpringDlgTest, AnInnerSupportHidesTheFixityColumnAndOnlyTheMaskedDirectionsAreRows) {
  SpringValDlg dialog;
  dialog.directionMask = 0b0010101;  // x, z, rotation about y
  win::script::QueueDialog([](CDialog& d) {
    auto& grid = static_cast<SpringValDlg&>(d).grid;
    EXPECT_FALSE(grid.IsColumnVisible(SpringValGrid::kColFixity));
    EXPECT_EQ(grid.GetRowCount(), 4);
    EXPECT_EQ(grid.RowOf(2), 2);
    EXPECT_EQ(grid.RowOf(4), 3);
    EXPECT_EQ(grid.RowOf(1), -1);
    EXPECT_EQ(grid.GetItemText(3, SpringValGrid::kColName), "CMy (Drehfeder um Y-Achse)");
    win::input::ClickCenter(d.GetDlgItem(IDCANCEL)->m_hWnd);
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

// A spring value emptied by its editor or by an empty paste is a free spring, and shows 0 at once; Ctrl+X copies
// the value and keeps it. A refused value is named by its direction.
TEST_F(SpringDlgTest, AnEmptiedValueShowsTheZeroItStoresAndACutKeepsIt) {
  const struct {
    const char* name;
    std::function<void(SpringValGrid&, int row)> act;
    const char* shown;
    double stored;
    const char* clipboard;
  } cases[] = {
      {"emptied by its editor",
       [](SpringValGrid& g, int row) {
         g.SetFocusCell(row, SpringValGrid::kColValue);
         win::PumpMessages();
         win::input::Key(VK_F2);
         win::input::KeyWith(VK_CONTROL, 'A');
         win::input::Type("x");
         win::input::Key(VK_BACK);
         win::input::Key(VK_RETURN);
         win::PumpMessages();
       },
       "0 kNm/rad", 0.0, "(untouched)"},
      {"empty paste", [](SpringValGrid& g, int row) { grid_keys::PasteInto(g, row, SpringValGrid::kColValue, ""); },
       "0 kNm/rad", 0.0, ""},
      {"Ctrl+X",
       [](SpringValGrid& g, int row) {
         grid_keys::ClickCell(g, row, SpringValGrid::kColValue);
         grid_keys::Press(grid_keys::kCut);
       },
       "-1 kNm/rad", -1.0, "-1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SpringValDlg dialog;
    SetAll(dialog.support, {-1, -1, -1, -1, -1, -1, -1});
    std::string shown;
    win::SetClipboardText("(untouched)");
    win::script::QueueDialog([&](CDialog& d) {
      auto& grid = static_cast<SpringValDlg&>(d).grid;
      c.act(grid, grid.RowOf(3));
      shown = grid.GetItemText(grid.RowOf(3), SpringValGrid::kColValue).GetString();
      win::input::ClickCenter(d.GetDlgItem(IDOK)->m_hWnd);
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(shown, c.shown);
    EXPECT_DOUBLE_EQ(ValueOf(dialog.support, 3), c.stored);
    EXPECT_EQ(win::ClipboardText(), c.clipboard);
    EXPECT_TRUE(win::msgbox::Log().empty());
  }
}

TEST_F(SpringDlgTest, ARefusedValueIsNamedByItsDirection) {
  SpringValDlg dialog;
  SetAll(dialog.support, {-1, -1, -1, -1, -1, -1, -1});
  std::string shown;
  win::script::QueueDialog([&](CDialog& d) {
    auto& grid = static_cast<SpringValDlg&>(d).grid;
    win::msgbox::QueueAnswer(IDOK);
    grid_keys::PasteInto(grid, grid.RowOf(4), SpringValGrid::kColValue, "abc");
    shown = grid.GetItemText(grid.RowOf(4), SpringValGrid::kColValue).GetString();
    win::input::ClickCenter(d.GetDlgItem(IDOK)->m_hWnd);
  });
  ASSERT_EQ(dialog.DoModal(), IDOK);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, "CMy (Drehfeder um Y-Achse), Federwert: 'abc' nicht definiert");
  EXPECT_EQ(shown, "-1 kNm/rad");
  EXPECT_DOUBLE_EQ(ValueOf(dialog.support, 4), -1.0);
}

}  // namespace
