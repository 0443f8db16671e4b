// The general report settings of a position: a free text line, the first page number, a page break after the
// preliminary text tables and, when the module offers it, thicker lines in graphics.
#pragma once

#include "platform/win/afx.h"

class BaseData;

enum : UINT {
  IDD_ALLG = 517,
  IDC_ALLG_FREETEXT = 11071,
  IDC_ALLG_PAGE = 11072,
  IDC_ALLG_PAGE_SPIN = 11073,
  IDC_ALLG_PAGEBREAK = 11075,
  IDC_ALLG_THICK = 11138,
};

class dlgAllg : public CDialog {
 public:
  explicit dlgAllg(CWnd* parent = nullptr);

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnHelp();

  int nPage = 1;
  CString freeText;
  BOOL bPageBreak = FALSE;
  BOOL bThickLines = FALSE;
  BaseData* pData = nullptr;  // not owned; without it the dialog changes nothing
  BOOL bOfferThickLines = FALSE;

  DECLARE_MESSAGE_MAP()
};
