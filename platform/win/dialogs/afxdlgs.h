// File open and save dialogs (answered by the script source, as every modal interaction), opening documents with
// their program, and sounds (logged; the window system plays none).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/win/base/afxstr.h"
#include "platform/win/window/afxwnd.h"

// ---- File dialogs ----------------------------------------------------------------------------------------------
inline constexpr DWORD OFN_READONLY = 0x1, OFN_OVERWRITEPROMPT = 0x2, OFN_HIDEREADONLY = 0x4, OFN_NOCHANGEDIR = 0x8,
                       OFN_ENABLEHOOK = 0x20, OFN_PATHMUSTEXIST = 0x800, OFN_FILEMUSTEXIST = 0x1000,
                       OFN_CREATEPROMPT = 0x2000, OFN_EXPLORER = 0x80000, OFN_ENABLESIZING = 0x800000,
                       OFN_ALLOWMULTISELECT = 0x200;
// With OFN_ENABLEHOOK the hook sees the dialog window's messages before the dialog does (non-zero: handled):
// WM_INITDIALOG (lParam the OPENFILENAME) once its controls are filled, and WM_NOTIFY with an OFNOTIFY for a new
// file in the name field (CDN_SELCHANGE), another folder shown (CDN_FOLDERCHANGE) and a name about to be accepted
// (CDN_FILEOK: a non-zero DWLP_MSGRESULT keeps the dialog open). The controls grow with the window's width.
using LPOFNHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);
struct OPENFILENAME {
  DWORD lStructSize;
  HWND hwndOwner;
  HINSTANCE hInstance;
  LPCSTR lpstrFilter;  // pairs "text\0pattern\0", ended by "\0"
  LPSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;
  LPSTR lpstrFile;  // in: the proposed name; out: the chosen path
  DWORD nMaxFile;
  LPSTR lpstrFileTitle;
  DWORD nMaxFileTitle;
  LPCSTR lpstrInitialDir;
  LPCSTR lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;
  WORD nFileExtension;
  LPCSTR lpstrDefExt;
  LPARAM lCustData;
  LPOFNHOOKPROC lpfnHook;
  LPCSTR lpTemplateName;
};
struct OFNOTIFY {
  NMHDR hdr;
  OPENFILENAME* lpOFN;
  LPSTR pszFile;
};
inline constexpr UINT CDN_FIRST = 0u - 601u, CDN_INITDONE = CDN_FIRST, CDN_SELCHANGE = CDN_FIRST - 1,
                      CDN_FOLDERCHANGE = CDN_FIRST - 2, CDN_FILEOK = CDN_FIRST - 5;
// To the dialog window: the path in the name field (wParam the buffer's size, lParam the buffer); the length.
inline constexpr UINT CDM_GETFILEPATH = WM_USER + 101;
// The controls of the dialog window.
inline constexpr int IDC_FILE_FOLDER = 1088, IDC_FILE_LIST = 1120, IDC_FILE_FOLDERS = 1121, IDC_FILE_TYPES = 1136,
                     IDC_FILE_NAME = 1152;
BOOL GetOpenFileName(OPENFILENAME* ofn);
BOOL GetSaveFileName(OPENFILENAME* ofn);
// The reason the last file dialog returned FALSE: 0 cancelled, FNERR_BUFFERTOOSMALL the path did not fit.
DWORD CommDlgExtendedError();
inline constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;

namespace win::script {
// The next file dialog answers with this path (as if typed and confirmed); an empty path cancels it. A relative
// path is taken in the dialog's initial folder. A hooked dialog is shown for it, the file picked in its list.
void QueueFileDialog(const std::string& path);
// The next file dialog is shown and the script is its user: it gets the live dialog window, interacts with it and
// ends it (OK or Abbrechen, as a user would).
void QueueFileDialogScript(std::function<void(HWND dialog)> script);
std::size_t PendingFileDialogs();
}  // namespace win::script

// The framework's file dialog. The filter is "text|pattern|...||"; DoModal answers IDOK or IDCANCEL.
class CFileDialog : public CDialog {
  DECLARE_DYNAMIC(CFileDialog)
 public:
  explicit CFileDialog(BOOL openFileDialog, LPCSTR defExt = nullptr, LPCSTR fileName = nullptr,
                       DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR filter = nullptr,
                       CWnd* parent = nullptr);
  INT_PTR DoModal() override;
  // While the dialog is shown the object is its window: OnInitDialog runs once it is filled, OnFileNameChange for
  // every new file in its name field, OnFileNameOK before a name is accepted (TRUE keeps the dialog open).
  virtual void OnFileNameChange() {}
  virtual void OnFolderChange() {}
  virtual BOOL OnFileNameOK() { return FALSE; }
  // The chosen path; while the dialog is shown, the file in its name field.
  CString GetPathName() const;
  CString GetFileName() const;
  CString GetFileExt() const;
  CString GetFileTitle() const;
  CString GetFolderPath() const;
  OPENFILENAME m_ofn{};
  BOOL m_bOpenFileDialog;

 private:
  static UINT_PTR Hook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
  std::string m_filter;  // the filter with '|' turned into NULs
  std::string m_defExt;
  std::vector<char> m_file;
};

// ---- Shell and sound ---------------------------------------------------------------------------------------------
inline constexpr ULONG SEE_MASK_NOCLOSEPROCESS = 0x40, SEE_MASK_FLAG_NO_UI = 0x400;
inline constexpr int SE_ERR_FNF = 2, SE_ERR_NOASSOC = 31;
struct SHELLEXECUTEINFO {
  DWORD cbSize;
  ULONG fMask;
  HWND hwnd;
  LPCSTR lpVerb;
  LPCSTR lpFile;
  LPCSTR lpParameters;
  LPCSTR lpDirectory;
  int nShow;
  HINSTANCE hInstApp;  // > 32 on success, else an SE_ERR_ code
  void* lpIDList;
  LPCSTR lpClass;
  HANDLE hkeyClass;
  DWORD dwHotKey;
  HANDLE hIcon;
  HANDLE hProcess;
};
// Hands a document or address to the desktop's opener (win::shell::Open). A local file that does not exist fails with
// SE_ERR_FNF, an opener that cannot be started with SE_ERR_NOASSOC; how a started opener ends is said in a box of its
// own, unless SEE_MASK_FLAG_NO_UI is set.
BOOL ShellExecuteEx(SHELLEXECUTEINFO* info);

inline constexpr DWORD SND_SYNC = 0x0, SND_ASYNC = 0x1, SND_NODEFAULT = 0x2, SND_MEMORY = 0x4, SND_LOOP = 0x8,
                       SND_NOSTOP = 0x10, SND_PURGE = 0x40, SND_ALIAS = 0x10000, SND_FILENAME = 0x20000,
                       SND_RESOURCE = 0x40004;
// Sounds are logged, not played.
BOOL PlaySound(LPCSTR sound, HMODULE module, DWORD flags);

namespace win::shell {
// The desktop's opener: the program $KOLUMO_OPENER names, else "xdg-open".
std::string OpenerProgram();
// Hands a document or address to the opener as its one argument and returns at once: no window waits for it. It
// inherits no handle but its standard streams (input and output on /dev/null, its error stream kept for the box) and
// starts with no signal blocked. An opener that cannot be started is said in a box at once; one that ends within
// five seconds with another status than 0 is said in a box when the UI thread next handles its messages, in its own
// words where it gave some, else by its status; one still running then has opened what it was given. The box's first
// line is failure (none when it is empty). Without a screen and without $KOLUMO_OPENER nothing is started (a headless
// run has no desktop). Whether the opener was started; every request is logged.
bool Open(const std::string& target, const std::string& failure);
// Waits up to ms for the openers started to end, then says the failures of those that ended.
void SettleOpeners(DWORD ms);
// What was asked of the desktop: "open <file>" and "sound <name>" lines, oldest first.
const std::vector<std::string>& Log();
void ClearLog();
}  // namespace win::shell
