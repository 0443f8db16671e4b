// File dialogs answered by the script source or, on a screen, by the person at it.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>

#include "platform/win/dialogs/afxdlgs.h"
#include "platform/win/window/internal.h"
#include "platform/win/dialogs/msgboxwnd.h"
#include "platform/win/base/paths.h"
#include "platform/win/screen/screen.h"

namespace {

namespace fs = std::filesystem;

// A queued answer: a path typed and confirmed, or a script that uses the dialog window.
struct FileAnswer {
  std::string path;
  std::function<void(HWND)> script;
};

struct FileState {
  std::deque<FileAnswer> answers;
  DWORD lastError = 0;
};
FileState& F() {
  static FileState f;
  return f;
}

// The filter's patterns joined, for the log ("*.tqx;*.xml").
std::string Patterns(LPCSTR filter) {
  std::string out;
  for (const char* p = filter; p && *p;) {
    const char* pattern = p + std::strlen(p) + 1;
    if (!*pattern) break;
    if (!out.empty()) out += ';';
    out += pattern;
    p = pattern + std::strlen(pattern) + 1;
  }
  return out;
}

BOOL Run(OPENFILENAME* ofn, bool open) {
  FileState& f = F();
  f.lastError = 0;
  if (!ofn || !ofn->lpstrFile || ofn->nMaxFile == 0) return FALSE;
  win::detail::CancelModes();
  win::script::ModalRecord rec;
  rec.kind = open ? "file open" : "file save";
  const std::string title = ofn->lpstrTitle ? ofn->lpstrTitle : (open ? "Öffnen" : "Speichern unter");
  rec.caption = title + " [" + Patterns(ofn->lpstrFilter) + "]";
  std::string answer;
  const bool hooked = (ofn->Flags & OFN_ENABLEHOOK) && ofn->lpfnHook;
  DWORD index = ofn->nFilterIndex;
  if (!f.answers.empty()) {
    rec.scripted = true;
    FileAnswer scripted = std::move(f.answers.front());
    f.answers.pop_front();
    if (scripted.script) {
      answer = win::detail::RunFileDialogWindow(*ofn, open, title, index, nullptr, &scripted.script);
    } else if (!scripted.path.empty() && hooked) {
      // The hook sees the file picked and confirmed as a user would.
      answer = win::detail::RunFileDialogWindow(*ofn, open, title, index, &scripted.path, nullptr);
    } else if (!scripted.path.empty()) {
      const std::string typed = scripted.path;
      const std::string folder = ofn->lpstrInitialDir ? win::ToFsPath(ofn->lpstrInitialDir) : std::string();
      const win::detail::FileChoice choice = win::detail::ResolveFileName(*ofn, open, folder, typed);
      if (!choice.refusal.empty()) {
        // The dialog tells the user and stays open; the script has no further answer, so it ends cancelled.
        MessageBox(ofn->hwndOwner, choice.refusal.c_str(), rec.caption.c_str(), MB_OK | MB_ICONWARNING);
      } else if (choice.askOverwrite) {
        if (MessageBox(ofn->hwndOwner, win::detail::OverwriteQuestion(choice.path).c_str(), rec.caption.c_str(),
                       MB_YESNO | MB_ICONWARNING) == IDYES)
          answer = choice.path;
      } else {
        answer = choice.path;
      }
    }
  } else if (win::CurrentScreen()) {
    rec.onScreen = true;
    answer = win::detail::RunFileDialogWindow(*ofn, open, title, index, nullptr, nullptr);
  } else {
    // The unscripted handler may fail the test; otherwise the dialog is cancelled.
    win::detail::Unscripted(rec);
  }
  ofn->nFilterIndex = index;
  rec.answer = answer.empty() ? IDCANCEL : IDOK;
  if (!answer.empty()) rec.caption += " -> " + answer;
  win::detail::LogModal(rec);
  if (answer.empty()) return FALSE;
  if (answer.size() + 1 > ofn->nMaxFile) {
    f.lastError = FNERR_BUFFERTOOSMALL;
    return FALSE;
  }
  std::memcpy(ofn->lpstrFile, answer.c_str(), answer.size() + 1);
  std::size_t slash = answer.find_last_of('/');
  std::size_t name = slash == std::string::npos ? 0 : slash + 1;
  std::size_t dot = answer.find_last_of('.');
  ofn->nFileOffset = WORD(name);
  ofn->nFileExtension = WORD(dot != std::string::npos && dot > name ? dot + 1 : answer.size());
  if (ofn->lpstrFileTitle && ofn->nMaxFileTitle > 0) {
    std::string fileTitle = answer.substr(name);
    std::size_t n = std::min<std::size_t>(fileTitle.size(), ofn->nMaxFileTitle - 1);
    std::memcpy(ofn->lpstrFileTitle, fileTitle.data(), n);
    ofn->lpstrFileTitle[n] = 0;
  }
  return TRUE;
}

}  // namespace

BOOL GetOpenFileName(OPENFILENAME* ofn) { return Run(ofn, true); }
BOOL GetSaveFileName(OPENFILENAME* ofn) { return Run(ofn, false); }
DWORD CommDlgExtendedError() { return F().lastError; }

namespace win::script {
void QueueFileDialog(const std::string& path) { F().answers.push_back({path, nullptr}); }
void QueueFileDialogScript(std::function<void(HWND)> script) { F().answers.push_back({"", std::move(script)}); }
std::size_t PendingFileDialogs() { return F().answers.size(); }
}  // namespace win::script

IMPLEMENT_DYNAMIC(CFileDialog, CDialog)

CFileDialog::CFileDialog(BOOL openFileDialog, LPCSTR defExt, LPCSTR fileName, DWORD flags, LPCSTR filter, CWnd* parent)
    : CDialog(UINT(0), parent), m_bOpenFileDialog(openFileDialog) {
  if (filter) {
    m_filter = filter;
    std::replace(m_filter.begin(), m_filter.end(), '|', '\0');
    m_filter += '\0';
  }
  if (defExt) m_defExt = defExt;
  m_file.assign(4096, 0);
  if (fileName) std::strncpy(m_file.data(), fileName, m_file.size() - 1);
  m_ofn.lStructSize = sizeof(m_ofn);
  m_ofn.Flags = flags;
  m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
  m_ofn.lpstrDefExt = m_defExt.empty() ? nullptr : m_defExt.c_str();
  m_ofn.lpstrFile = m_file.data();
  m_ofn.nMaxFile = DWORD(m_file.size());
  m_ofn.nFilterIndex = 1;
  m_ofn.Flags |= OFN_ENABLEHOOK;
  m_ofn.lpfnHook = &CFileDialog::Hook;
}

INT_PTR CFileDialog::DoModal() {
  m_ofn.hwndOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
  m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
  return (m_bOpenFileDialog ? GetOpenFileName(&m_ofn) : GetSaveFileName(&m_ofn)) ? IDOK : IDCANCEL;
}

UINT_PTR CFileDialog::Hook(HWND dialog, UINT msg, WPARAM, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* self = reinterpret_cast<CFileDialog*>(reinterpret_cast<OPENFILENAME*>(lParam)->lCustData);
    if (!self || !self->Attach(dialog)) return FALSE;
    self->OnInitDialog();
    return TRUE;
  }
  auto* self = dynamic_cast<CFileDialog*>(CWnd::FromHandlePermanent(dialog));
  if (!self || msg != WM_NOTIFY) return FALSE;
  switch (reinterpret_cast<OFNOTIFY*>(lParam)->hdr.code) {
    case CDN_SELCHANGE: self->OnFileNameChange(); return TRUE;
    case CDN_FOLDERCHANGE: self->OnFolderChange(); return TRUE;
    case CDN_FILEOK: SetWindowLongPtr(dialog, DWLP_MSGRESULT, self->OnFileNameOK() ? 1 : 0); return TRUE;
    default: return FALSE;
  }
}

CString CFileDialog::GetPathName() const {
  if (m_hWnd) {
    char path[4096] = "";
    ::SendMessage(m_hWnd, CDM_GETFILEPATH, sizeof path, LPARAM(path));
    return CString(path);
  }
  return CString(m_ofn.lpstrFile);
}
CString CFileDialog::GetFileName() const { return CString(m_ofn.lpstrFile + m_ofn.nFileOffset); }
CString CFileDialog::GetFileExt() const {
  std::string path = m_ofn.lpstrFile;
  return m_ofn.nFileExtension < path.size() ? CString(path.substr(m_ofn.nFileExtension)) : CString();
}
CString CFileDialog::GetFileTitle() const {
  std::string name = m_ofn.lpstrFile + m_ofn.nFileOffset;
  std::size_t dot = name.find_last_of('.');
  return CString(dot == std::string::npos ? name : name.substr(0, dot));
}
CString CFileDialog::GetFolderPath() const {
  std::string path = m_ofn.lpstrFile;
  return CString(m_ofn.nFileOffset > 0 ? path.substr(0, m_ofn.nFileOffset - 1) : std::string());
}
