#include "host/edit.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/viduv/viduv.h"
#include "platform/win/base/replace.h"

namespace host {

namespace {

constexpr UINT kEditTemplate = 7100;
constexpr const char* kDiscardQuestion = "Die Position wurde geändert.\nSollen die Änderungen verworfen werden?";
constexpr const char* kReplaceQuestion =
    "Die Position wurde seit dem Öffnen auf dem Datenträger geändert, etwa von einer Berechnung.\n"
    "Soll sie durch die Eingaben dieses Fensters ersetzt werden?\n\n"
    "Mit \"Nein\" bleibt sie, wie sie ist, und das Fenster bleibt offen.";
constexpr const char* kSaveFailed =
    "Die Position konnte nicht gespeichert werden:\n%s\n\n"
    "Die Eingaben bleiben im Fenster: OK speichert erneut, Abbrechen schließt es ohne zu speichern.";
// The input dialog's width and the preview's place right of it, in dialog units. The window is as tall as the
// preview needs to show a column legibly; the input dialog takes the height above the annotation line.
constexpr int kInputCx = 583, kPreviewCx = 360, kWindowCy = 260, kInputCy = kWindowCy - 22, kLineY = kWindowCy - 18;

// The window around the module's input dialog: its size in dialog units, the annotation line and the buttons
// below it, the preview to the right.
win::DialogTemplate EditTemplate() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_MODALFRAME | DS_CENTER;
  t.cx = kInputCx + kPreviewCx;
  t.cy = kWindowCy;
  using I = win::DialogItem;
  t.items = {
      I{-1, "Static", "Anmerkung:", SS_LEFT, 6, kLineY + 2, 42, 10},
      I{kEditAnnotationId, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 50, kLineY, 420, 13},
      I{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 476, kLineY, 48, 14},
      I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 529, kLineY, 48, 14},
  };
  return t;
}
const win::DialogTemplateRegistrar kTemplate(kEditTemplate, EditTemplate());

class EditWindow : public CDialog {
 public:
  EditWindow(const Module& module, int document, std::string caption)
      : CDialog(kEditTemplate, nullptr), module_(module), document_(document), caption_(std::move(caption)) {}
  ~EditWindow() override {
    // The preview goes before the input dialog whose data it draws.
    if (preview_) DestroyModuleDialog(preview_);
    if (dialog_) DestroyModuleDialog(dialog_);
    if (self_) win::ReleaseHandle(self_);
  }

  std::string error;

 protected:
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    SetWindowText(caption_.c_str());
    self_ = win::MakeHandle<CWnd>(this);
    dialog_ = module_.Call("CreateInputDlg", {{"CWnd*", self_}});
    CWnd* input = win::FromHandle<CWnd>(dialog_);
    if (!input) {
      error = "the module made no input dialog";
      EndDialog(IDABORT);
      return TRUE;
    }
    CRect inputPlace(0, 0, kInputCx, kInputCy);
    MapDialogRect(&inputPlace);
    input->SetWindowPos(nullptr, 0, 0, inputPlace.Width(), inputPlace.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    // The preview is made before the document comes, so that the first page change lays it out; without one
    // the input stays editable.
    preview_ = module_.Call("CreatePreviewDlg", {{"CWnd*", self_}, {"CWnd*", dialog_}, {"BOOL", TRUE}});
    if (CWnd* preview = win::FromHandle<CWnd>(preview_)) {
      CRect place(kInputCx, 0, kInputCx + kPreviewCx, kWindowCy);
      MapDialogRect(&place);
      preview->SetWindowPos(nullptr, place.left, place.top, place.Width(), place.Height(),
                            SWP_NOZORDER | SWP_NOACTIVATE);
    }
    FitOnScreen(preview_ ? win::FromHandle<CWnd>(preview_) : nullptr);
    RememberLayout();
    asRead_ = DocumentFingerprint();
    // A position the module could not read whole (it said why) must not be saved as it was read.
    if (!module_.Call("SetData", {{"CWnd*", dialog_}, {"int", document_}})) {
      error = "the module could not read the position into its input dialog";
      EndDialog(IDABORT);
      return TRUE;
    }
    input->ShowWindow(SW_SHOW);
    tabs_ = FindTabs(input->m_hWnd);
    ShowAnnotation();
    opened_ = Fingerprint();
    return TRUE;
  }

  // Escape with nothing of its own open, "Abbrechen" and the window's close box: work entered is not thrown away
  // without a question.
  void OnCancel() override {
    if (dialog_ && Changed() && AfxMessageBox(kDiscardQuestion, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
      return;
    EndDialog(IDCANCEL);
  }

  // The annotation line belongs to the selected tab: another tab brings its own annotation.
  BOOL PreTranslateMessage(MSG* msg) override {
    if (dialog_ && tabs_ && ::IsWindow(tabs_) && SelectedTab() != annotationTab_) ShowAnnotation();
    return CDialog::PreTranslateMessage(msg);
  }

  // The window as the engineer sizes it: the input dialog and the preview share the new width as they shared the
  // first one and take the whole new height; the annotation line stays below the input dialog, its edit box
  // growing with it. Never smaller than it opened.
  void OnSize(UINT type, int cx, int cy) {
    CDialog::OnSize(type, cx, cy);
    if (laidOut_.empty() || cx < 1 || cy < 1) return;
    const int dx = cx - first_.cx, dy = cy - first_.cy;
    const int inputDx = first_.cx > 0 ? dx * laidOut_[0].Width() / first_.cx : 0;
    for (std::size_t i = 0; i < laidOut_.size(); ++i) {
      if (!::IsWindow(laidOutWnd_[i])) continue;
      CRect r = laidOut_[i];
      if (i == 0) {
        r.right += inputDx;
        r.bottom += dy;
      } else if (i == 1) {
        r.left += inputDx;
        r.right += dx;
        r.bottom += dy;
      } else {
        r.OffsetRect(0, dy);
        if (::GetDlgCtrlID(laidOutWnd_[i]) == kEditAnnotationId)
          r.right += inputDx;
        else if (r.left > laidOut_[0].left + laidOut_[0].Width() / 2)
          r.OffsetRect(inputDx, 0);
      }
      ::SetWindowPos(laidOutWnd_[i], nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Invalidate();
  }
  void OnGetMinMaxInfo(MINMAXINFO* info) {
    CDialog::OnGetMinMaxInfo(info);
    if (least_.cx > 0) info->ptMinTrackSize = {least_.cx, least_.cy};
  }

  // What was typed into the annotation line goes to its tab before another tab can be chosen.
  void OnAnnotationKillFocus() { StoreAnnotation(); }
  DECLARE_MESSAGE_MAP()

  void OnOK() override {
    // The input dialog hears of OK first: it says what of its input would not calculate, before it is saved.
    if (CWnd* input = win::FromHandle<CWnd>(dialog_)) input->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
    // a shortage of an earlier step was said then, and that step refused
    module_.RanShort();
    // What a call that ran short of memory wrote into the position is not saved.
    const bool stored = StoreInput();
    const bool shortage = module_.RanShort();
    if (!stored || shortage) {
      error = shortage ? "Zu wenig Speicher (out of memory): the module could not write the input into the position"
                       : "the module could not write the input into the position";
      EndDialog(IDABORT);
      return;
    }
    // The document is written beside its file and renamed over it: a failed save leaves the old file whole, and
    // the window keeps what was entered for another OK (after room was made) or for "Abbrechen".
    while (!VIDUV_SaveDoc(document_)) {
      const std::string reason = VIDUV_GetLastError();
      // What another program saved meanwhile (a calculation's results) is replaced only when the engineer says so;
      // a change after the answer is asked about again.
      if (VIDUV_FileChangedOnDisk(document_)) {
        if (AfxMessageBox(kReplaceQuestion, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) return;
        VIDUV_AllowReplacingFile(document_);
        continue;
      }
      CString text;
      text.Format(kSaveFailed, win::ReplaceErrorInGerman(reason).c_str());
      AfxMessageBox(text, MB_OK | MB_ICONSTOP);
      return;
    }
    JobWritten(0);
    EndDialog(IDOK);
  }

 private:
  // A window wider than the screen gives up preview width (the input dialog keeps its size, so every control
  // stays where the engineer can reach it); a window that fits lies in the middle of the screen, never beyond
  // its top-left corner.
  void FitOnScreen(CWnd* preview) {
    const int screenCx = ::GetSystemMetrics(SM_CXSCREEN), screenCy = ::GetSystemMetrics(SM_CYSCREEN);
    CRect window;
    GetWindowRect(&window);
    const int over = window.Width() - screenCx;
    if (over > 0 && preview) {
      CRect place;
      preview->GetWindowRect(&place);
      ScreenToClient(&place);
      const int cx = std::max(0, place.Width() - over);
      preview->SetWindowPos(nullptr, 0, 0, cx, place.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      window.right -= place.Width() - cx;
    }
    const int x = std::max(0, (screenCx - window.Width()) / 2), y = std::max(0, (screenCy - window.Height()) / 2);
    SetWindowPos(nullptr, x, y, window.Width(), window.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // The places that OnSize starts from: the input dialog, the preview, then the annotation line's controls.
  void RememberLayout() {
    CRect client, window;
    GetClientRect(&client);
    GetWindowRect(&window);
    first_ = {client.Width(), client.Height()};
    least_ = {window.Width(), window.Height()};
    std::vector<HWND> order = {win::FromHandle<CWnd>(dialog_)->m_hWnd};
    if (CWnd* preview = win::FromHandle<CWnd>(preview_)) order.push_back(preview->m_hWnd);
    if (order.size() < 2) return;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
      if (child != order[0] && child != order[1]) order.push_back(child);
    for (HWND child : order) {
      CRect r;
      ::GetWindowRect(child, &r);
      ScreenToClient(&r);
      laidOutWnd_.push_back(child);
      laidOut_.push_back(r);
    }
  }

  static HWND FindTabs(HWND input) {
    for (HWND child = ::GetWindow(input, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      char name[32] = {};
      ::GetClassName(child, name, sizeof name);
      if (std::string(name) == "SysTabControl32") return child;
    }
    return nullptr;
  }
  int SelectedTab() const { return tabs_ ? int(::SendMessage(tabs_, TCM_GETCURSEL, 0, 0)) : -1; }

  // The selected tab's annotation in the line, as yet untouched.
  void ShowAnnotation() {
    CString annotation;
    win::ScopedHandle<CString> text(&annotation);
    module_.Call("Annotation", {{"CWnd*", dialog_}, {"CString*", text.get()}, {"BOOL", FALSE}});
    SetDlgItemText(kEditAnnotationId, annotation);
    shownAnnotation_ = annotation.GetString();
    annotationTab_ = SelectedTab();
  }
  // Only a line that was changed is stored, and into the tab it was shown for: an untouched line never overwrites
  // another tab's annotation.
  void StoreAnnotation() {
    if (!dialog_ || SelectedTab() != annotationTab_) return;
    CString annotation;
    GetDlgItemText(kEditAnnotationId, annotation);
    if (shownAnnotation_ == annotation.GetString()) return;
    win::ScopedHandle<CString> text(&annotation);
    module_.Call("Annotation", {{"CWnd*", dialog_}, {"CString*", text.get()}, {"BOOL", TRUE}});
    shownAnnotation_ = annotation.GetString();
  }
  // The input and the annotation moved into the position document (in memory).
  // False when the module failed (and said why).
  bool StoreInput() {
    StoreAnnotation();
    return module_.Call("GetData", {{"CWnd*", dialog_}, {"int", document_}}) != 0;
  }
  // What the engineer put into the position: every element of the document but the calculation's (its results,
  // exports and the bookkeeping in "info", which a calculation rewrites from that input), each by its fingerprint.
  std::string DocumentFingerprint() const {
    std::string print;
    const int root = VIDUV_GetRootElement(document_);
    for (int child = VIDUV_GetFirstChild(root); child; child = VIDUV_GetNextChild(child)) {
      const std::string name = VIDUV_GetElementName(child);
      if (name == "info" || name == "result" || name == "results" || name == "exports") continue;
      unsigned char digest[16] = {};
      VIDUV_GetFingerPrint(child, digest);
      print += name;
      print += '\0';
      print.append(reinterpret_cast<const char*>(digest), sizeof digest);
    }
    return print;
  }
  // The position as the window holds it now; the document as written so far is what OK would save.
  std::string Fingerprint() {
    StoreInput();
    return DocumentFingerprint();
  }
  // Whether OK would save input other than the one opened: other than the file as it was read, and other than the
  // first writing of it (which may differ from an older file in form only). Writing back what the pages show, tabs
  // looked at, a calculation of the results tab (its results follow from the input): none of these is a change.
  bool Changed() {
    const std::string now = Fingerprint();
    return now != asRead_ && now != opened_;
  }

  const Module& module_;
  int document_;
  std::string caption_;
  int self_ = 0;
  int dialog_ = 0;
  int preview_ = 0;
  std::string asRead_;
  std::string opened_;
  HWND tabs_ = nullptr;
  SIZE first_{0, 0};  // the client size the window opened with
  SIZE least_{0, 0};  // and its window size
  std::vector<HWND> laidOutWnd_;
  std::vector<CRect> laidOut_;
  int annotationTab_ = -1;       // the tab whose annotation the line shows
  std::string shownAnnotation_;  // and that annotation as it was stored
};

BEGIN_MESSAGE_MAP(EditWindow, CDialog)
ON_EN_KILLFOCUS(kEditAnnotationId, OnAnnotationKillFocus)
ON_WM_SIZE()
ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

}  // namespace

EditResult EditPosition(const Module& module, int document, std::string& error) {
  std::string path = VIDUV_GetCompleteFileName(document);
  const auto slash = path.find_last_of('/');
  EditWindow window(module, document, "kolumo - " + (slash == std::string::npos ? path : path.substr(slash + 1)));
  const INT_PTR answer = window.DoModal();
  if (answer == IDOK) return EditResult::kSaved;
  if (answer == IDCANCEL) return EditResult::kCancelled;
  error = window.error.empty() ? "the editing window could not be shown" : window.error;
  return EditResult::kFailed;
}

}  // namespace host
