#include "editor/macrodlg.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "framework/basedata.h"
#include "platform/tolkar/tolkar.h"
#include "platform/tqscript/tqscript.h"
#include "platform/win/screen/headless.h"
#include "platform/win/base/paths.h"
#include "platform/win/base/replace.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kArea = "Ormi Eingabe";
constexpr const char* kDictionary = "vernik_i_Skrib";
constexpr const char* kContext = "DlgVBS";

const char* Tr(const char* text) { return TOLK_Translate(kArea, kDictionary, kContext, text); }

win::DialogTemplate MacroTemplate() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.cx = 330;
  t.cy = 176;
  t.caption = "Visual Basic Scripting";
  using I = win::DialogItem;
  const DWORD push = BS_PUSHBUTTON | WS_TABSTOP;
  t.items = {
      I{-1, "Static",
        "Hier können Sie eigene Funktionen in 'Visual Basic Script' definieren. Diese können in Skrib-Formeln über "
        "'@Funktion(parameter1,...)' aufgerufen werden.",
        SS_LEFT, 7, 7, 316, 26},
      I{-1, "Button", "Sie haben Zugriff auf Funktionen aus folgenden Dateien", BS_GROUPBOX, 7, 38, 316, 92},
      I{-1, "Static", "Ormi Makrodatei", SS_LEFT, 14, 52, 70, 8},
      I{IDC_MACRO_MAKER_FILE, "Edit", "", ES_AUTOHSCROLL | ES_READONLY | WS_BORDER, 86, 50, 170, 12},
      I{IDC_MACRO_EDIT_MAKER, "Button", "Bearbeiten", push, 262, 49, 54, 14},
      I{-1, "Static", "Benutzer Makrodatei", SS_LEFT, 14, 74, 70, 8},
      I{IDC_MACRO_USER_FILE, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 86, 72, 150, 12},
      I{IDC_MACRO_BROWSE_USER, "Button", "...", push, 239, 71, 17, 14},
      I{IDC_MACRO_EDIT_USER, "Button", "Bearbeiten", push, 262, 71, 54, 14},
      I{-1, "Static", "Aktuelles Dokument", SS_LEFT, 14, 96, 70, 8},
      I{IDC_MACRO_EDIT_DOCUMENT, "Button", "Bearbeiten", push, 262, 93, 54, 14},
      I{IDC_MACRO_HELP, "Button", "Hilfe", push, 7, 155, 50, 14},
      I{IDC_MACRO_SCRIPT_HELP, "Button", "Visual Basic Script Hilfe", push, 62, 155, 100, 14},
      I{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 219, 155, 50, 14},
      I{IDCANCEL, "Button", "Abbrechen", push, 273, 155, 50, 14},
  };
  return t;
}

const win::DialogTemplateRegistrar kTemplate(IDD_SKRIB_MACROS, MacroTemplate());

}  // namespace

BEGIN_MESSAGE_MAP(DlgVBS, CDialog)
ON_BN_CLICKED(IDC_MACRO_EDIT_MAKER, OnEditMaker)
ON_BN_CLICKED(IDC_MACRO_EDIT_USER, OnEditUser)
ON_BN_CLICKED(IDC_MACRO_EDIT_DOCUMENT, OnEditDocument)
ON_BN_CLICKED(IDC_MACRO_BROWSE_USER, BrowseUserMacroFile)
ON_BN_CLICKED(IDC_MACRO_HELP, OnHelp)
ON_BN_CLICKED(IDC_MACRO_SCRIPT_HELP, OnScriptHelp)
END_MESSAGE_MAP()

DlgVBS::DlgVBS(CWnd* parent) : CDialog(IDD_SKRIB_MACROS, parent) {}

BOOL DlgVBS::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate(kArea, kDictionary, kContext, m_hWnd);
  return TRUE;
}

void DlgVBS::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Text(dx, IDC_MACRO_MAKER_FILE, m_sMakerFile);
  DDX_Text(dx, IDC_MACRO_USER_FILE, m_sUserFile);
}

bool DlgVBS::EditMacroFile(const CString& name) {
  // The default names are built with a backslash; loading reads them as file-system paths, and so must this.
  const std::string path = win::ToFsPath(name.str());
  if (path.empty()) return false;
  std::string text;
  std::error_code ec;
  if (fs::is_regular_file(path, ec)) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    if (!in && !in.eof()) {
      AfxMessageBox(CString(("Die Makrodatei '" + path + "' kann nicht gelesen werden.").c_str()), MB_ICONEXCLAMATION);
      return false;
    }
    text = all.str();
  }
  const std::string edited = TQSCRIPT_EditMacro(m_nSession, text, "", -1, -1);
  if (edited == text) return true;
  win::ReplaceOptions options;
  options.scratchPrefix = ".kolumo-makro-";
  std::string reason;
  if (!win::ReplaceFile(path, edited, options, reason)) {
    AfxMessageBox(
        CString(
            (win::ReplaceErrorInGerman(reason) + "\n" + Tr("Die bisherige Makrodatei bleibt unverändert.")).c_str()),
        MB_ICONEXCLAMATION);
    return false;
  }
  return true;
}

void DlgVBS::OnEditMaker() {
  if (UpdateData(TRUE)) EditMacroFile(m_sMakerFile);
}

void DlgVBS::OnEditUser() {
  if (UpdateData(TRUE)) EditMacroFile(m_sUserFile);
}

void DlgVBS::OnEditDocument() {
  m_sMacroText = TQSCRIPT_EditMacro(m_nSession, std::string(m_sMacroText), "", -1, -1).c_str();
}

void DlgVBS::BrowseUserMacroFile() {
  if (!UpdateData(TRUE)) return;
  const fs::path cwd = fs::current_path();
  CFileDialog files(TRUE, "*.bas", nullptr, OFN_HIDEREADONLY | OFN_NOCHANGEDIR,
                    Tr("Visual BasicScript Dateien|*.bas;*.vbs||"), this);
  std::string folder = std::string(m_sUserFile);
  const std::size_t slash = folder.find_last_of("\\/");
  folder = slash == std::string::npos ? std::string() : folder.substr(0, slash);
  const CString initial = folder.c_str();
  files.m_ofn.lpstrInitialDir = initial;
  const bool chosen = files.DoModal() == IDOK;
  std::error_code ignored;
  fs::current_path(cwd, ignored);
  if (!chosen) return;
  m_sUserFile = files.GetPathName();
  UpdateData(FALSE);
}

void DlgVBS::OnHelp() { BaseData::ShowHelpTopic("tq-skrib.chm", "/Visual_Basic_Script.htm"); }
void DlgVBS::OnScriptHelp() { BaseData::ShowHelpTopic("script56.chm", "/html/vsgrpfeatures.htm"); }
