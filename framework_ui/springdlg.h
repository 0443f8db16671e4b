// The seven springs of one support (translations x, y, z, rotations about x, y, z, warping) in a table, with
// presets of the common support conditions. A spring is a stiffness, a degree of fixity in per cent (rotations
// of an end support) or computed from the members above and below.
#pragma once

#include <functional>

#include "controls/OrmiGridCtrl.h"
#include "framework/support.h"

enum : UINT {
  IDD_SPRINGVAL = 506,
  IDC_SPRING_GRID = 11132,
  IDC_SPRING_PRESET = 11133,
  IDC_SPRING_PRESET_LABEL = 11134,
};

// Kinds of a spring value.
enum : int { kSpringStiffness = 0, kSpringFixity = 1, kSpringComputed = 2 };

class SpringValGrid : public COrmiGridCtrl {
 public:
  enum Column { kColName = 1, kColFixity = 2, kColValue = 3, kColComputed = 4, kColButton = 5, kCols = 6 };

  static CString DirectionName(int direction);
  static bool IsRotation(int direction) { return direction >= 3 && direction <= 5; }
  // The row of a direction (-1 when not shown).
  int RowOf(int direction) const;

  void Layout() override;
  void OnCellChanged(int row, int col, int type) override;
  void OnCellCheck(int row, int col) override;
  // A row is a direction: "CMx (Drehfeder um X-Achse), Federwert".
  CString CellName(int row, int col) const override;
  void OnButtonClick(int row, int col) override;

  // The support into the grid, and back.
  void ToGrid();
  void FromGrid();

  CSupport support;
  int directionMask = 0x7f;  // bit i: direction i shown
  std::function<void()> onChanged;
  // Computes a spring from the adjoining members; returns FALSE when the engineer cancels.
  std::function<BOOL(int direction, CSpringData& record, double& stiffness)> computeSpring;

 private:
  void SetRowState(int row, int direction, int kind);
};

class SpringValDlg : public CDialog {
 public:
  static constexpr int kPresetCount = 6;
  // The seven values of a preset (index 1-5); index 0 is "any other combination".
  static const double* PresetValues(int index);
  // The preset whose seven values the support has exactly, else 0.
  static int DetectPreset(CSupport& support);

  explicit SpringValDlg(CWnd* parent = nullptr);

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnPresetChanged();
  void OnHelp();
  void ApplyPreset(int index);

  CSupport support;  // the owner's copy, taken back on OK
  int directionMask = 0x7f;
  BOOL bEndSupport = FALSE;
  BOOL bShowPresets = TRUE;
  BOOL bOfferComputed = TRUE;
  BOOL bOfferFixity = TRUE;
  int presetIndex = 0;
  SpringValGrid grid;

 private:
  void Refresh();
  CComboBox m_presets;

  DECLARE_MESSAGE_MAP()
};
