// A spring computed from the members above and below a support: a translational spring from the axial stiffness
// of the member below, a rotational spring from the bending stiffness of both, each with its degree of fixity at
// the far end.
#pragma once

#include "framework/support.h"
#include "platform/win/afx.h"

inline constexpr UINT IDD_MEMBERSPRING = 524;
inline constexpr int IDC_MS_ABOVE = 12000;  // the member above; the member below at IDC_MS_BELOW, same offsets
inline constexpr int IDC_MS_BELOW = 12100;
inline constexpr int IDC_MS_ROTATIONAL = 12200;
inline constexpr int IDC_MS_RESULT = 12201;

// Offsets of a member's controls from its base id.
enum : int {
  kMsSwitch = 0,
  kMsEmod = 1,
  kMsFixity = 2,
  kMsHeight = 3,
  kMsRect = 4,
  kMsCircle = 5,
  kMsProfile = 6,
  kMsCircleD = 7,
  kMsRectB = 8,
  kMsRectD = 9,
  kMsSeries = 10,
  kMsProfileName = 11,
  kMsAxis = 12,
  kMsLabel = 20,  // static labels from here
};

// Section types of a member.
enum : int { kSectionRect = 0, kSectionCircle = 1, kSectionProfile = 2 };

class DlgFeder : public CDialog {
 public:
  explicit DlgFeder(CWnd* parent = nullptr);

  // Area (m², a catalogue profile: the catalogue's unit) and second moment of area (m⁴) of a member's section.
  static void SectionValues(const CSpringData::Side& side, double& area, double& inertia);
  // The stiffness of the spring (kN/m or kNm/rad) with E in MN/m² and the heights in m.
  static double Stiffness(const CSpringData& record);

  void SetSpringData(const CSpringData& record);
  void GetSpringData(CSpringData& record) const;

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnHelp();
  void OnControlChanged();

  double result = 0.0;  // kN/m or kNm/rad after OK

 private:
  // Reads the controls into the record; FALSE with a message naming the field when a number cannot be read.
  BOOL ReadControls(CSpringData& record);
  void ShowControls();
  void FillProfiles(int base);
  void EnableControls();
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  CSpringData m_record;
  BOOL m_bInitialised = FALSE;

  DECLARE_MESSAGE_MAP()
};
