#include "framework_ui/memberspringdlg.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "framework/stdprofile.h"
#include "framework_ui/dialoghelp.h"
#include "platform/tolkar/tolkar.h"
#include "platform/win/screen/headless.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "DlgFeder", text)); }

const char* const kModuli[] = {"30000 (C20/25)", "31000 (C25/30)", "33000 (C30/37)", "34000 (C35/45)", "210000 (S235)",
                               "7000 (NH C14)",  "9500 (NH C20)",  "11000 (NH C24)", "11600 (GL 24)"};

void AddMember(win::DialogTemplate& t, int base, int x, const char* title) {
  using I = win::DialogItem;
  const int labelX = x + 8, fieldX = x + 80, w = 90;
  auto label = [&](int offset, const char* text, int y) {
    t.items.push_back(I{base + kMsLabel + offset, "Static", text, SS_LEFT, labelX, y + 2, 70, 8});
  };
  t.items.push_back(I{-1, "Button", "", BS_GROUPBOX, x, 7, 180, 200});
  t.items.push_back(I{base + kMsSwitch, "Button", title, BS_AUTOCHECKBOX | WS_TABSTOP, x + 8, 4, 100, 10});
  label(0, "E-Modul (MN/m²)", 20);
  t.items.push_back(I{base + kMsEmod, "ComboBox", "", CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, fieldX, 20, w, 100});
  label(1, "Einspannung %", 38);
  t.items.push_back(I{base + kMsFixity, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, fieldX, 38, w, 13});
  label(2, "Höhe h (m)", 56);
  t.items.push_back(I{base + kMsHeight, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, fieldX, 56, w, 13});
  t.items.push_back(
      I{base + kMsRect, "Button", "Rechteck", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, labelX, 76, 50, 10});
  t.items.push_back(I{base + kMsCircle, "Button", "Kreis", BS_AUTORADIOBUTTON, labelX + 55, 76, 40, 10});
  t.items.push_back(I{base + kMsProfile, "Button", "Profildatenbank", BS_AUTORADIOBUTTON, labelX + 98, 76, 70, 10});
  label(3, "Kreis d (cm)", 94);
  t.items.push_back(I{base + kMsCircleD, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, fieldX, 94, w, 13});
  label(4, "Rechteck b (cm)", 112);
  t.items.push_back(I{base + kMsRectB, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, fieldX, 112, w, 13});
  label(5, "Rechteck d (cm)", 130);
  t.items.push_back(I{base + kMsRectD, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, fieldX, 130, w, 13});
  label(6, "Profilreihe", 148);
  t.items.push_back(
      I{base + kMsSeries, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, fieldX, 148, w, 100});
  label(7, "Profil", 166);
  t.items.push_back(
      I{base + kMsProfileName, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, fieldX, 166, w, 100});
  label(8, "Achse", 184);
  t.items.push_back(I{base + kMsAxis, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, fieldX, 184, w, 60});
}

win::DialogTemplate MemberSpringTemplate() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.cx = 381;
  t.cy = 252;
  t.caption = "Federwerte aus Bauteil berechnen";
  AddMember(t, IDC_MS_ABOVE, 7, "Bauteil oben");
  AddMember(t, IDC_MS_BELOW, 194, "Bauteil unten");
  using I = win::DialogItem;
  t.items.push_back(I{IDC_MS_ROTATIONAL, "Button", "Drehfeder", BS_AUTOCHECKBOX, 7, 213, 80, 10, 0});
  t.items.push_back(I{IDC_MS_RESULT, "Static", "", SS_LEFT, 95, 213, 279, 10});
  t.items.push_back(I{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 214, 231, 50, 14});
  t.items.push_back(I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 269, 231, 50, 14});
  t.items.push_back(I{9, "Button", "Hilfe", BS_PUSHBUTTON | WS_TABSTOP, 324, 231, 50, 14});
  return t;
}

const win::DialogTemplateRegistrar kTemplate(IDD_MEMBERSPRING, MemberSpringTemplate());

// A number with a decimal comma or point; wholeText: nothing may follow it (else the start is used, as in
// "210000 (S235)").
bool ReadNumber(CString text, double& value, bool wholeText) {
  text.Replace(',', '.');
  text.Trim();
  const char* start = text.GetString();
  char* end = nullptr;
  value = std::strtod(start, &end);
  if (end == start || !std::isfinite(value)) return false;
  return !wholeText || *end == '\0';
}

}  // namespace

BEGIN_MESSAGE_MAP(DlgFeder, CDialog)
ON_BN_CLICKED(9, OnHelp)
END_MESSAGE_MAP()

DlgFeder::DlgFeder(CWnd* parent) : CDialog(IDD_MEMBERSPRING, parent) {
  m_record.oben.qtyp = m_record.unten.qtyp = kSectionCircle;
  m_record.oben.qrb = m_record.unten.qrb = 20.0;
  m_record.oben.qrd = m_record.unten.qrd = 30.0;
  m_record.oben.emod = m_record.unten.emod = 25000.0;
}

void DlgFeder::SectionValues(const CSpringData::Side& side, double& area, double& inertia) {
  area = inertia = 0.0;
  if (side.qtyp == kSectionRect) {
    const double b = side.qrb * 0.01, d = side.qrd * 0.01;
    area = b * d;
    inertia = b * d * d * d / 12.0;
  } else if (side.qtyp == kSectionCircle) {
    const double r = side.qkd * 0.01 / 2.0;
    area = std::numbers::pi * r * r;
    inertia = std::numbers::pi / 4.0 * r * r * r * r;
  } else if (side.qtyp == kSectionProfile) {
    int series = -1, profile = -1;
    CStdProfile& catalogue = GetStdProfile();
    catalogue.CheckLoaded();
    catalogue.FindProfile(side.ProfFamily, side.Profile, &series, &profile);
    if (series < 0 || profile < 0) return;
    double gqs[GQS_COUNT] = {};
    unsigned char sqs[STDPROFILE_SQS_SIZE] = {};
    catalogue.GetProfile(series, profile, gqs, sqs, nullptr);
    area = gqs[GQS_A];
    // Iy is the catalogue's Azz, Iz its Ayy; both in cm⁴.
    inertia = (side.lage == 0 ? gqs[GQS_Azz] : gqs[GQS_Ayy]) * 1e-8;
  }
}

double DlgFeder::Stiffness(const CSpringData& record) {
  double area = 0.0, inertia = 0.0;
  if (!record.bDrehfeder) {
    SectionValues(record.unten, area, inertia);
    return record.unten.h > 0.0 ? area * record.unten.emod * 1000.0 / record.unten.h : 0.0;
  }
  double k = 0.0;
  for (const auto* side :
       {record.bEnableOben ? &record.oben : nullptr, record.bEnableUnten ? &record.unten : nullptr}) {
    if (!side || side->h <= 0.0) continue;
    SectionValues(*side, area, inertia);
    // 4EI/h with the far end fixed, 3EI/h with it hinged.
    k += (side->grad / 100.0 + 3.0) * side->emod * inertia * 1000.0 / side->h;
  }
  return k;
}

void DlgFeder::SetSpringData(const CSpringData& record) {
  m_record = record;
  if (m_bInitialised) ShowControls();
}

void DlgFeder::GetSpringData(CSpringData& record) const { record = m_record; }

BOOL DlgFeder::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate("Ormi Eingabe", "vernik_i_common", "DlgFeder", m_hWnd);
  CStdProfile& catalogue = GetStdProfile();
  catalogue.CheckLoaded();
  for (int base : {IDC_MS_ABOVE, IDC_MS_BELOW}) {
    for (const char* modulus : kModuli) SendDlgItemMessage(base + kMsEmod, CB_ADDSTRING, 0, LPARAM(modulus));
    for (int s = 0; s < catalogue.GetSeriesCount(); ++s)
      SendDlgItemMessage(base + kMsSeries, CB_ADDSTRING, 0, LPARAM(catalogue.GetSeriesName(s).GetString()));
    for (const char* axis : {"Y-Y", "Z-Z"}) SendDlgItemMessage(base + kMsAxis, CB_ADDSTRING, 0, LPARAM(axis));
  }
  m_bInitialised = TRUE;
  ShowControls();
  return TRUE;
}

void DlgFeder::FillProfiles(int base) {
  SendDlgItemMessage(base + kMsProfileName, CB_RESETCONTENT);
  const int series = int(SendDlgItemMessage(base + kMsSeries, CB_GETCURSEL));
  if (series < 0) return;
  CStringArray names;
  GetStdProfile().GetProfileNames(series, names, 0);
  for (int i = 0; i < int(names.GetSize()); ++i)
    SendDlgItemMessage(base + kMsProfileName, CB_ADDSTRING, 0, LPARAM(names[i].GetString()));
}

void DlgFeder::ShowControls() {
  auto show = [this](int base, const CSpringData::Side& side, int enabled, const char* heightFormat) {
    CString text;
    CheckDlgButton(base + kMsSwitch, enabled ? BST_CHECKED : BST_UNCHECKED);
    text.Format("%ld", long(std::lround(side.emod)));
    SetDlgItemText(base + kMsEmod, text);
    text.Format("%.1lf", side.grad);
    SetDlgItemText(base + kMsFixity, text);
    text.Format(heightFormat, side.h);
    SetDlgItemText(base + kMsHeight, text);
    for (int kind = 0; kind < 3; ++kind)
      CheckDlgButton(base + kMsRect + kind, side.qtyp == kind ? BST_CHECKED : BST_UNCHECKED);
    text.Format("%.1lf", side.qkd);
    SetDlgItemText(base + kMsCircleD, text);
    text.Format("%.1lf", side.qrb);
    SetDlgItemText(base + kMsRectB, text);
    text.Format("%.1lf", side.qrd);
    SetDlgItemText(base + kMsRectD, text);
    // Series and profile are found by name whatever their case.
    int series = -1, profile = -1;
    GetStdProfile().FindProfile(side.ProfFamily, side.Profile, &series, &profile);
    SendDlgItemMessage(base + kMsSeries, CB_SETCURSEL, WPARAM(series));
    FillProfiles(base);
    SendDlgItemMessage(base + kMsProfileName, CB_SETCURSEL, WPARAM(profile));
    SendDlgItemMessage(base + kMsAxis, CB_SETCURSEL, WPARAM(side.lage == 1 ? 1 : 0));
  };
  show(IDC_MS_ABOVE, m_record.oben, m_record.bEnableOben, "%.2lf");
  show(IDC_MS_BELOW, m_record.unten, m_record.bEnableUnten, "%.2lf");
  CheckDlgButton(IDC_MS_ROTATIONAL, m_record.bDrehfeder ? BST_CHECKED : BST_UNCHECKED);
  EnableControls();
}

void DlgFeder::EnableControls() {
  const bool rotational = IsDlgButtonChecked(IDC_MS_ROTATIONAL) == BST_CHECKED;
  for (int base : {IDC_MS_ABOVE, IDC_MS_BELOW}) {
    const bool aboveBlocked = base == IDC_MS_ABOVE && !rotational;
    const bool on = !aboveBlocked && IsDlgButtonChecked(base + kMsSwitch) == BST_CHECKED;
    int kind = kSectionRect;
    for (int k = 0; k < 3; ++k)
      if (IsDlgButtonChecked(base + kMsRect + k) == BST_CHECKED) kind = k;
    auto enable = [this](int id, bool state) {
      if (CWnd* control = GetDlgItem(id)) control->EnableWindow(state);
    };
    enable(base + kMsSwitch, !aboveBlocked);
    enable(base + kMsEmod, on);
    enable(base + kMsFixity, on && rotational);
    enable(base + kMsHeight, on);
    for (int k = 0; k < 3; ++k) enable(base + kMsRect + k, on);
    enable(base + kMsCircleD, on && kind == kSectionCircle);
    enable(base + kMsRectB, on && kind == kSectionRect);
    enable(base + kMsRectD, on && kind == kSectionRect);
    enable(base + kMsSeries, on && kind == kSectionProfile);
    enable(base + kMsProfileName, on && kind == kSectionProfile);
    enable(base + kMsAxis, on && kind == kSectionProfile);
  }
  if (CWnd* rotational = GetDlgItem(IDC_MS_ROTATIONAL)) rotational->EnableWindow(FALSE);
}

BOOL DlgFeder::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  for (int base : {IDC_MS_ABOVE, IDC_MS_BELOW}) {
    if (id == base + kMsSeries && code == CBN_SELCHANGE) FillProfiles(base);
    if (id >= base + kMsRect && id <= base + kMsProfile && code == BN_CLICKED)
      for (int k = 0; k < 3; ++k)
        CheckDlgButton(base + kMsRect + k, base + kMsRect + k == id ? BST_CHECKED : BST_UNCHECKED);
  }
  const BOOL handled = CDialog::OnCommand(wParam, lParam);
  if (m_bInitialised && code == BN_CLICKED && id != IDOK && id != IDCANCEL) EnableControls();
  return handled;
}

void DlgFeder::OnControlChanged() { EnableControls(); }

BOOL DlgFeder::ReadControls(CSpringData& record) {
  record = m_record;
  const bool rotational = IsDlgButtonChecked(IDC_MS_ROTATIONAL) == BST_CHECKED;
  record.bDrehfeder = rotational ? 1 : 0;
  struct Member {
    int base;
    CSpringData::Side* side;
    int* enabled;
  } members[] = {{IDC_MS_ABOVE, &record.oben, &record.bEnableOben},
                 {IDC_MS_BELOW, &record.unten, &record.bEnableUnten}};
  for (Member& m : members) {
    *m.enabled = IsDlgButtonChecked(m.base + kMsSwitch) == BST_CHECKED ? 1 : 0;
    if (m.base == IDC_MS_ABOVE && !rotational) *m.enabled = 0;
    // A member that takes no part is not read: what it holds stays as it was.
    const bool used = *m.enabled || (m.base == IDC_MS_BELOW && !rotational);
    if (!used) continue;
    for (int k = 0; k < 3; ++k)
      if (IsDlgButtonChecked(m.base + kMsRect + k) == BST_CHECKED) m.side->qtyp = k;
    struct Field {
      int offset;
      int label;
      double* target;
      bool wholeText;
      bool needed;
      bool positive;
    } fields[] = {{kMsEmod, 0, &m.side->emod, false, true, true},
                  {kMsFixity, 1, &m.side->grad, true, rotational, false},
                  {kMsHeight, 2, &m.side->h, true, true, true},
                  {kMsCircleD, 3, &m.side->qkd, true, m.side->qtyp == kSectionCircle, true},
                  {kMsRectB, 4, &m.side->qrb, true, m.side->qtyp == kSectionRect, true},
                  {kMsRectD, 5, &m.side->qrd, true, m.side->qtyp == kSectionRect, true}};
    for (const Field& f : fields) {
      if (!f.needed) continue;
      CString text;
      GetDlgItemText(m.base + f.offset, text);
      double value = 0.0;
      if (!ReadNumber(text, value, f.wholeText) || (f.positive && value <= 0.0) || value < 0.0) {
        CString label, message;
        GetDlgItemText(m.base + kMsLabel + f.label, label);
        message.Format(Tr("Der Wert \"%s\" im Feld \"%s\" ist keine gültige Zahl."), text.GetString(),
                       label.GetString());
        AfxMessageBox(message, MB_ICONEXCLAMATION);
        if (CWnd* control = GetDlgItem(m.base + f.offset)) control->SetFocus();
        return FALSE;
      }
      *f.target = value;
    }
    const int series = int(SendDlgItemMessage(m.base + kMsSeries, CB_GETCURSEL));
    const int profile = int(SendDlgItemMessage(m.base + kMsProfileName, CB_GETCURSEL));
    if (series >= 0) GetDlgItemText(m.base + kMsSeries, m.side->ProfFamily);
    if (profile >= 0) GetDlgItemText(m.base + kMsProfileName, m.side->Profile);
    m.side->lage = int(SendDlgItemMessage(m.base + kMsAxis, CB_GETCURSEL)) == 1 ? 1 : 0;
  }
  return TRUE;
}

void DlgFeder::OnOK() {
  CSpringData record;
  if (!ReadControls(record)) return;
  m_record = record;
  result = Stiffness(m_record);
  CDialog::OnOK();
}

void DlgFeder::OnHelp() { ShowFrameworkDialogHelp("tab_SYSTEM_STIFFNESS.htm", nullptr); }
