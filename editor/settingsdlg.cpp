#include "editor/settingsdlg.h"

#include "framework/regsettings.h"
#include "platform/tolkar/tolkar.h"
#include "platform/win/screen/headless.h"

namespace {

constexpr const char* kSection = "Skrib";

win::DialogTemplate SettingsTemplate() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.cx = 300;
  t.cy = 150;
  t.caption = "TQ-Skrib Einstellungen";
  using I = win::DialogItem;
  const DWORD check = BS_AUTOCHECKBOX | WS_TABSTOP;
  t.items = {
      I{-1, "Button", "Berechnung", BS_GROUPBOX, 7, 7, 286, 52},
      I{IDC_SETTINGS_ERRORS, "Button", "Fehlermeldungen im Dokument eintragen", check, 14, 19, 270, 10},
      I{IDC_SETTINGS_OVERWRITTEN, "Button", "Vorhandene Variable wird mit einem neuen Wert überschrieben", check, 26,
        32, 258, 10},
      I{IDC_SETTINGS_UNKNOWN, "Button", "Nicht definierte Variable wird benutzt", check, 26, 45, 258, 10},
      I{-1, "Button", "Lastübernahme", BS_GROUPBOX, 7, 63, 286, 46},
      I{IDC_SETTINGS_LT_CLIPBOARD, "Button",
        "Lastübernahmeprotokoll über die Zwischenablage kopierbar. Übernahmen werden im Zieldokument automatisch "
        "eingefügt.",
        check | BS_MULTILINE, 14, 74, 270, 18},
      I{IDC_SETTINGS_LT_HIDE, "Button", "Lastübernahmeprotokoll in der Ausgabe ausblenden", check, 14, 94, 270, 10},
      I{-1, "Static", "Anfangsseitennummer:", SS_LEFT, 7, 117, 80, 8},
      I{IDC_SETTINGS_FIRST_PAGE, "Edit", "", ES_AUTOHSCROLL | ES_NUMBER | WS_BORDER | WS_TABSTOP, 90, 115, 40, 12},
      I{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 189, 130, 50, 14},
      I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 243, 130, 50, 14},
  };
  return t;
}

const win::DialogTemplateRegistrar kTemplate(IDD_SKRIB_SETTINGS, SettingsTemplate());

}  // namespace

BEGIN_MESSAGE_MAP(DlgSettings, CDialog)
ON_BN_CLICKED(IDC_SETTINGS_ERRORS, OnErrors)
END_MESSAGE_MAP()

DlgSettings::DlgSettings(CWnd* parent) : CDialog(IDD_SKRIB_SETTINGS, parent) {}

BOOL DlgSettings::OnInitDialog() {
  CRegSettings& reg = GetRegSettings();
  reg.ReadInt(kSection, "bGenErrors", &m_bGenErrors, 1);
  reg.ReadInt(kSection, "bVariableOverwritten", &m_bVariableOverwritten, 1);
  reg.ReadInt(kSection, "bUnknownVar", &m_bUnknownVar, 1);
  reg.ReadInt(kSection, "ltCmd", &m_bLtCmd, 0);
  reg.ReadInt(kSection, "ltHide", &m_bLtHide, 0);
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate("Ormi Eingabe", "vernik_i_Skrib", "DlgSettings", m_hWnd);
  OnErrors();
  return TRUE;
}

void DlgSettings::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Check(dx, IDC_SETTINGS_ERRORS, m_bGenErrors);
  DDX_Check(dx, IDC_SETTINGS_OVERWRITTEN, m_bVariableOverwritten);
  DDX_Check(dx, IDC_SETTINGS_UNKNOWN, m_bUnknownVar);
  DDX_Check(dx, IDC_SETTINGS_LT_CLIPBOARD, m_bLtCmd);
  DDX_Check(dx, IDC_SETTINGS_LT_HIDE, m_bLtHide);
  DDX_Text(dx, IDC_SETTINGS_FIRST_PAGE, m_nFirstPage);
  DDV_MinMaxInt(dx, m_nFirstPage, 1, 99999);
}

// The two notes are kinds of error note: they mean something only while error notes are written.
void DlgSettings::OnErrors() {
  const BOOL on = IsDlgButtonChecked(IDC_SETTINGS_ERRORS) ? TRUE : FALSE;
  for (int id : {IDC_SETTINGS_OVERWRITTEN, IDC_SETTINGS_UNKNOWN})
    if (CWnd* box = GetDlgItem(id)) box->EnableWindow(on);
}

void DlgSettings::OnOK() {
  if (!UpdateData(TRUE)) return;
  CRegSettings& reg = GetRegSettings();
  reg.WriteInt(kSection, "bGenErrors", m_bGenErrors);
  reg.WriteInt(kSection, "bVariableOverwritten", m_bVariableOverwritten);
  reg.WriteInt(kSection, "bUnknownVar", m_bUnknownVar);
  reg.WriteInt(kSection, "ltCmd", m_bLtCmd);
  reg.WriteInt(kSection, "ltHide", m_bLtHide);
  EndDialog(IDOK);
}
