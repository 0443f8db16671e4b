#include "controls/ProgressDlg.h"

#include "platform/tolkar/tolkar.h"
#include "platform/win/screen/screen.h"

namespace {

constexpr const char* kArea = "Ormi Eingabe";
constexpr const char* kDictionary = "vernik_i_common";
constexpr const char* kContext = "ProgressDlg";

win::DialogTemplate ProgressTemplate() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | WS_VISIBLE;
  t.cx = 186;
  t.cy = 60;
  using I = win::DialogItem;
  t.items = {
      I{ProgressDlg::kStatus, "Static", "", SS_LEFT | SS_NOPREFIX, 7, 7, 158, 8},
      I{ProgressDlg::kBar, "msctls_progress32", "", WS_BORDER, 7, 19, 154, 13},
      I{ProgressDlg::kPercent, "Static", " 0 %", SS_RIGHT, 163, 21, 18, 8},
      I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 68, 39, 50, 14},
  };
  return t;
}

const win::DialogTemplateRegistrar kTemplate(ProgressDlg::IDD, ProgressTemplate());
// The captions its callers use: the column calculation and the document calculation.
const win::StringRegistrar kColumnCaption(41004, "Fortschrittsanzeige");
const win::StringRegistrar kDocumentCaption(40051, "Berechne aktuelles Dokument");

}  // namespace

BEGIN_MESSAGE_MAP(ProgressDlg, CDialog)
END_MESSAGE_MAP()

ProgressDlg::ProgressDlg(UINT captionId)
    : CDialog(IDD, nullptr), m_nCaptionID(captionId ? captionId : kDefaultCaption) {}

ProgressDlg::~ProgressDlg() {
  if (m_hWnd) DestroyWindow();
}

BOOL ProgressDlg::Create(CWnd* parent) {
  CWnd* owner = CWnd::GetSafeOwner(parent);
  m_hOwner = owner ? owner->m_hWnd : nullptr;
  if (m_hOwner && ::IsWindowEnabled(m_hOwner)) {
    ::EnableWindow(m_hOwner, FALSE);
    m_bParentDisabled = TRUE;
  }
  if (!CDialog::Create(IDD, parent)) {
    ReEnableParent();
    return FALSE;
  }
  return TRUE;
}

void ProgressDlg::ReEnableParent() {
  if (m_bParentDisabled && m_hOwner && ::IsWindow(m_hOwner)) ::EnableWindow(m_hOwner, TRUE);
  m_bParentDisabled = FALSE;
}

BOOL ProgressDlg::DestroyWindow() {
  ReEnableParent();
  return CDialog::DestroyWindow();
}

void ProgressDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, kBar, m_Progress);
}

BOOL ProgressDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate(kArea, kDictionary, kContext, m_hWnd);
  m_Progress.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(WORD(m_nLower), WORD(m_nUpper)));
  m_Progress.SendMessage(PBM_SETSTEP, WPARAM(m_nStep));
  m_Progress.SendMessage(PBM_SETPOS, WPARAM(m_nLower));
  CString caption = AfxLoadString(m_nCaptionID);
  SetWindowText(TOLK_Translate(kArea, kDictionary, kContext, caption));
  return TRUE;
}

void ProgressDlg::OnCancel() { m_bCancel = TRUE; }

void ProgressDlg::SetStatus(LPCTSTR text) {
  if (m_hWnd) SetDlgItemText(kStatus, text);
}

void ProgressDlg::SetRange(int lower, int upper) {
  m_nLower = lower;
  m_nUpper = upper;
  if (m_Progress.m_hWnd) m_Progress.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(WORD(lower), WORD(upper)));
}

int ProgressDlg::SetStep(int step) {
  int old = m_nStep;
  m_nStep = step;
  if (m_Progress.m_hWnd) m_Progress.SendMessage(PBM_SETSTEP, WPARAM(step));
  return old;
}

int ProgressDlg::StepIt() {
  PumpMessages();
  if (!m_Progress.m_hWnd) return m_nLower;
  int previous = int(m_Progress.SendMessage(PBM_STEPIT));
  UpdatePercent(previous + m_nStep);
  // Without a screen nobody sees the bar: the step goes to the log instead.
  CString caption, status, percent;
  GetWindowText(caption);
  GetDlgItemText(kStatus, status);
  GetDlgItemText(kPercent, percent);
  win::script::ProgressLine("[progress: " + std::string(caption.GetString()) + "] " + percent.GetString() + " " +
                            status.GetString());
  return previous;
}

void ProgressDlg::UpdatePercent(int position) {
  int divisor = m_nUpper - m_nLower;
  // An empty range has no percentage: the display stays as it is rather than dividing by zero.
  if (divisor == 0 || !m_hWnd) return;
  int percent = (position - m_nLower) * 100 / divisor;
  if (percent != 100) percent %= 100;
  CString text;
  text.Format("%d%c", percent, '%');
  CString current;
  GetDlgItemText(kPercent, current);
  if (current != text) SetDlgItemText(kPercent, text);
}

void ProgressDlg::PumpMessages() {
  // On a screen the user's clicks (Cancel) come in here; headless this does nothing.
  if (win::Screen* screen = win::CurrentScreen()) screen->WaitForInput(0);
  MSG msg;
  while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (m_hWnd && ::IsDialogMessage(m_hWnd, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessage(&msg);
  }
}
