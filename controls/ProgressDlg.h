// A small modeless dialog that shows the progress of a long operation on the UI thread: a bar, a percentage, a
// status line and a cancel button. Every step lets pending window messages through; the owner is disabled meanwhile.
#pragma once

#include "platform/win/afx.h"

class ProgressDlg : public CDialog {
 public:
  enum { IDD = 504 };
  enum : UINT { kBar = 11000, kPercent = 11001, kStatus = 11002, kDefaultCaption = 505 };

  explicit ProgressDlg(UINT captionId = kDefaultCaption);
  ~ProgressDlg() override;

  // Disables the enabled owner of the parent and creates the dialog; FALSE (owner enabled again) on failure.
  BOOL Create(CWnd* parent = nullptr);
  // Enables the owner again (when this dialog disabled it), then destroys the dialog.
  BOOL DestroyWindow() override;

  void SetStatus(LPCTSTR text);
  void SetRange(int lower, int upper);
  int SetStep(int step);
  // Pumps the pending messages, advances the bar by one step and shows the new percentage; returns the position
  // before the step.
  int StepIt();
  // Dispatches every pending message of the thread (the dialog's own through IsDialogMessage).
  void PumpMessages();

  CProgressCtrl m_Progress;
  UINT m_nCaptionID;
  int m_nLower = 0;
  int m_nUpper = 100;
  int m_nStep = 10;
  // Set when the user presses the cancel button (or Escape); the caller reads it between steps.
  BOOL m_bCancel = FALSE;
  BOOL m_bParentDisabled = FALSE;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override;
  void UpdatePercent(int position);
  void ReEnableParent();

  HWND m_hOwner = nullptr;
  DECLARE_MESSAGE_MAP()
};
