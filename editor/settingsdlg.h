// The editor's settings: which notes the calculation writes into the text, how the load-transfer protocol is
// handled, and the document's first page number.
#pragma once

#include "platform/win/afx.h"

inline constexpr UINT IDD_SKRIB_SETTINGS = 103;
inline constexpr int IDC_SETTINGS_ERRORS = 1007, IDC_SETTINGS_OVERWRITTEN = 1008, IDC_SETTINGS_UNKNOWN = 1009,
                     IDC_SETTINGS_LT_CLIPBOARD = 1023, IDC_SETTINGS_LT_HIDE = 1024, IDC_SETTINGS_FIRST_PAGE = 1025;

class DlgSettings : public CDialog {
 public:
  explicit DlgSettings(CWnd* parent = nullptr);
  int m_bGenErrors = 1;
  int m_bVariableOverwritten = 1;
  int m_bUnknownVar = 1;
  int m_bLtCmd = 0;
  int m_bLtHide = 0;
  int m_nFirstPage = 1;  // set and read by the caller

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;
  void OnErrors();
  DECLARE_MESSAGE_MAP()
};
