// File open and save dialogs (answered by the script source, as every modal interaction), opening documents with
// their program, and sounds (logged; the window system plays none).
#pragma once

#include <string>
#include <vector>

#include "platform/win/base/afxstr.h"
#include "platform/win/window/afxwnd.h"

// ---- File dialogs ----------------------------------------------------------------------------------------------
inline constexpr DWORD OFN_READONLY = 0x1, OFN_OVERWRITEPROMPT = 0x2, OFN_HIDEREADONLY = 0x4, OFN_NOCHANGEDIR = 0x8,
                       OFN_PATHMUSTEXIST = 0x800, OFN_FILEMUSTEXIST = 0x1000, OFN_CREATEPROMPT = 0x2000,
                       OFN_EXPLORER = 0x80000, OFN_ENABLESIZING = 0x800000, OFN_ALLOWMULTISELECT = 0x200;
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
  void* lpfnHook;
  LPCSTR lpTemplateName;
};
BOOL GetOpenFileName(OPENFILENAME* ofn);
BOOL GetSaveFileName(OPENFILENAME* ofn);
// The reason the last file dialog returned FALSE: 0 cancelled, FNERR_BUFFERTOOSMALL the path did not fit.
DWORD CommDlgExtendedError();
inline constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;

namespace win::script {
// The next file dialog answers with this path (as if typed and confirmed); an empty path cancels it. A relative
// path is taken in the dialog's initial folder.
void QueueFileDialog(const std::string& path);
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
  CString GetPathName() const;
  CString GetFileName() const;
  CString GetFileExt() const;
  CString GetFileTitle() const;
  CString GetFolderPath() const;
  OPENFILENAME m_ofn{};
  BOOL m_bOpenFileDialog;

 private:
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
// Hands a document or address to the desktop's program for it. Headless, nothing is started: the request is
// logged; a local file that does not exist fails with SE_ERR_FNF.
BOOL ShellExecuteEx(SHELLEXECUTEINFO* info);

inline constexpr DWORD SND_SYNC = 0x0, SND_ASYNC = 0x1, SND_NODEFAULT = 0x2, SND_MEMORY = 0x4, SND_LOOP = 0x8,
                       SND_NOSTOP = 0x10, SND_PURGE = 0x40, SND_ALIAS = 0x10000, SND_FILENAME = 0x20000,
                       SND_RESOURCE = 0x40004;
// Sounds are logged, not played.
BOOL PlaySound(LPCSTR sound, HMODULE module, DWORD flags);

namespace win::shell {
// What was asked of the desktop: "open <file>" and "sound <name>" lines, oldest first.
const std::vector<std::string>& Log();
void ClearLog();
}  // namespace win::shell
