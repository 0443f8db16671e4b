// The search and replace dialogs of the editor: the caller sets the fields, shows the dialog and reads them back.
#pragma once

#include "platform/win/afx.h"

inline constexpr UINT IDD_SKRIB_SEARCH = 11510, IDD_SKRIB_REPLACE = 11511;
inline constexpr int IDC_FIND_TEXT = 11557, IDC_FIND_CASE = 11558, IDC_FIND_WORDS = 11559, IDC_FIND_UP = 11560,
                     IDC_FIND_DOWN = 11561, IDC_FIND_WHOLE_TEXT = 11562, IDC_REPLACE_TEXT = 11563,
                     IDC_REPLACE_ASK = 11564, IDC_REPLACE_ALL = 11565;

class DlgSearch : public CDialog {
 public:
  explicit DlgSearch(CWnd* parent = nullptr);
  int m_bMatchCase = 0;
  int m_nDirection = 0;  // 0 up, 1 down
  CString m_sText;
  int m_bWholeWords = 0;
  int m_bWholeText = 1;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnWholeText();
  DECLARE_MESSAGE_MAP()
};

class DlgReplace : public CDialog {
 public:
  explicit DlgReplace(CWnd* parent = nullptr);
  int m_bReplaceAll = 0;
  int m_bWholeText = 1;
  int m_bMatchCase = 0;
  int m_bAsk = 0;
  int m_nDirection = 1;
  CString m_sText;
  CString m_sReplacement;
  int m_bWholeWords = 0;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnWholeText();
  DECLARE_MESSAGE_MAP()
};
