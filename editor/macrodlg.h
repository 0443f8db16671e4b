// The macro dialog: the maker's and the user's macro files and the document's own macros, each handed to the
// script host's macro editor; a file is replaced with what the editor returns.
#pragma once

#include <string>

#include "platform/win/afx.h"

inline constexpr UINT IDD_SKRIB_MACROS = 104;
inline constexpr int IDC_MACRO_MAKER_FILE = 1009, IDC_MACRO_USER_FILE = 1010, IDC_MACRO_EDIT_MAKER = 1011,
                     IDC_MACRO_EDIT_USER = 1012, IDC_MACRO_EDIT_DOCUMENT = 1013, IDC_MACRO_BROWSE_USER = 1014,
                     IDC_MACRO_HELP = 1015, IDC_MACRO_SCRIPT_HELP = 1016;

class DlgVBS : public CDialog {
 public:
  explicit DlgVBS(CWnd* parent = nullptr);

  CString m_sMakerFile;  // edit 1009
  CString m_sUserFile;   // edit 1010
  CString m_sMacroText;  // the document's macros, read back after OK
  int m_nSession = 0;    // the document's scripting session

  // The file's text through the macro editor, written back whole when the editor changed it; false (with a message
  // shown) when it could not be, the file then as it was. A file marked read-only is never written.
  bool EditMacroFile(const CString& name);
  void BrowseUserMacroFile();

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnEditMaker();
  void OnEditUser();
  void OnEditDocument();
  void OnHelp();
  void OnScriptHelp();
  DECLARE_MESSAGE_MAP()
};
