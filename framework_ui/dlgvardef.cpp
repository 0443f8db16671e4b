#include "framework_ui/dlgvardef.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "formula/vardef.h"
#include "framework/basedata.h"
#include "framework/regsettings.h"
#include "framework/utilities.h"
#include "platform/tolkar/tolkar.h"
#include "platform/win/dialogs/afxdlgs.h"
#include "platform/win/screen/headless.h"
#include "platform/win/base/paths.h"

namespace {

// The size a picture file gives itself, in cm: a bitmap by its pixels and resolution (96 dpi when it states none),
// a PNG likewise, an enhanced metafile by its frame (0.01 mm). False for anything else.
bool PictureSizeCm(const std::vector<char>& b, double& width, double& height) {
  auto u8 = [&](std::size_t at) { return std::uint32_t(std::uint8_t(b[at])); };
  auto le32 = [&](std::size_t at) { return u8(at) | u8(at + 1) << 8 | u8(at + 2) << 16 | u8(at + 3) << 24; };
  auto be32 = [&](std::size_t at) { return u8(at) << 24 | u8(at + 1) << 16 | u8(at + 2) << 8 | u8(at + 3); };
  constexpr double kCmPerPixelAt96Dpi = 2.54 / 96;
  auto cm = [&](double pixels, double perMetre) {
    return perMetre > 0 ? pixels / perMetre * 100 : pixels * kCmPerPixelAt96Dpi;
  };
  if (b.size() >= 26 && b[0] == 'B' && b[1] == 'M') {
    const std::uint32_t header = le32(14);
    if (header == 12) {  // the old core header: 16-bit sizes, no resolution
      width = cm(u8(18) | u8(19) << 8, 0);
      height = cm(u8(20) | u8(21) << 8, 0);
    } else if (header >= 40 && b.size() >= 46) {
      const std::int32_t w = std::int32_t(le32(18)), h = std::int32_t(le32(22));
      width = cm(std::abs(double(w)), std::int32_t(le32(38)));
      height = cm(std::abs(double(h)), std::int32_t(le32(42)));
    } else {
      return false;
    }
    return width > 0 && height > 0;
  }
  static const unsigned char kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (b.size() >= 24 && std::memcmp(b.data(), kPng, 8) == 0 && std::memcmp(b.data() + 12, "IHDR", 4) == 0) {
    double perMetreX = 0, perMetreY = 0;
    for (std::size_t at = 8; at + 12 <= b.size();) {
      const std::uint32_t length = be32(at);
      if (length > b.size() - at - 12) break;
      if (std::memcmp(b.data() + at + 4, "pHYs", 4) == 0 && length >= 9 && b[at + 16] == 1) {
        perMetreX = be32(at + 8);
        perMetreY = be32(at + 12);
      }
      at += 12 + std::size_t(length);
    }
    width = cm(be32(16), perMetreX);
    height = cm(be32(20), perMetreY);
    return width > 0 && height > 0;
  }
  // EMR_HEADER: type 1, then the bounds and the frame, and the signature " EMF" at byte 40
  if (b.size() >= 44 && le32(0) == 1 && le32(40) == 0x464D4520) {
    width = (double(std::int32_t(le32(32))) - std::int32_t(le32(24))) / 1000.0;
    height = (double(std::int32_t(le32(36))) - std::int32_t(le32(28))) / 1000.0;
    return width > 0 && height > 0;
  }
  return false;
}

constexpr const char* kArea = "Ormi Eingabe";
constexpr const char* kDictionary = "vernik_i_common";

CString Tr(const char* text) { return CString(TOLK_Translate(kArea, kDictionary, "VarDefGrid", text)); }

win::DialogTemplate PageTemplate() {
  win::DialogTemplate t;
  t.style = WS_CHILD | DS_CONTROL;
  t.cx = 420;
  t.cy = 200;
  return t;
}

const win::DialogTemplateRegistrar kTemplate(IDD_DLGVARDEF, PageTemplate());

const char* const kKinds[] = {"Variable",  "Überschrift", "Berechnung",     "Freier Text",
                              "Abbildung", "Kritzl",      "Wert Übernahme", "Summe Tabelle"};
const char* const kUnits[] = {"m", "cm", "mm", "m²", "m³", "kN", "kN/cm²", "kN/m", "kN/m²", "kN/m³", "kNm", "°"};

const char* const kHeaders[8][6] = {
    {"Typ", "Beschreibung (Rechte Maustaste für Formatierungen)", "Variable", "Wert/Formel", "Einheit", "Export"},
    {"Typ", "Überschrift (Rechte Maustaste für Formatierungen)", "-", "-", "-", "-"},
    {"Typ", "Beschreibung (Rechte Maustaste für Formatierungen)", "-", "Formel", "-", "-"},
    {"Typ", "Text (Rechte Maustaste für Formatierungen)", "-", "-", "-", "-"},
    {"Typ", "Dateiname", "-", "Breite", "Höhe", "-"},
    {"Typ", "-", "-", "Breite", "Höhe", "-"},
    {"Typ", "Beschreibung (Rechte Maustaste für Formatierungen)", "Variable", "Wert", "Einheit", "Auswahl"},
    {"Typ", "Beschreibung (Rechte Maustaste für Formatierungen)", "Variable", "Wert", "Einheit", "Auswahl"},
};

// The font sizes of the menu: command 13 is the standard size, command 13 + n
// the size n.
const int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22};

bool HasDigits(int kind) {
  return kind == CVarDefEntry::kVariable || kind == CVarDefEntry::kBerechnung ||
         kind == CVarDefEntry::kWertUebernahme || kind == CVarDefEntry::kSummeTabelle;
}

// The folder the process started in, given back after a button has moved away
// from it.
class CurrentFolderKeeper {
 public:
  CurrentFolderKeeper() {
    std::error_code error;
    m_folder = std::filesystem::current_path(error);
  }
  ~CurrentFolderKeeper() {
    std::error_code error;
    if (!m_folder.empty()) std::filesystem::current_path(m_folder, error);
  }

 private:
  std::filesystem::path m_folder;
};

bool ReadWholeFile(const std::string& path, std::vector<char>& bytes) {
  std::ifstream in(win::ToFsPath(path), std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// The sketch program runs as the other programs do: started directly, without the host's handles, waited for.
bool RunSketchProgram() {
  DWORD exitCode = 0;
  return RunProgram({std::string(GetInstallRoot().GetString()) + "\\kritzl"}, exitCode) == 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------------------
// VarDefGrid

std::function<bool()>& VarDefGrid::SketchProgram() {
  static std::function<bool()> program = RunSketchProgram;
  return program;
}

std::function<bool(BaseData&)>& VarDefGrid::ValueImport() {
  static std::function<bool(BaseData&)> dialog;
  return dialog;
}

CVarDefList* VarDefGrid::List() const { return m_pData ? &m_pData->varDefs : nullptr; }

void VarDefGrid::Layout() {
  Init(2, kCols, 1, 0);
  const int widths[kCols] = {14, 37, 10, 10, 6, 8};
  for (int c = 0; c < kCols; ++c) SetColumnWidthPercent(c, widths[c]);
  SetHeaders(0);
  SetRowKind(1, -1);
  LayoutColumns();
}

void VarDefGrid::SetHeaders(int kind) {
  if (kind < 0 || kind > 7) kind = 0;
  for (int c = 0; c < kCols; ++c) SetItemText(0, c, Tr(kHeaders[kind][c]));
  Invalidate();
}

void VarDefGrid::OnFocusCellChanged(int row, int col) {
  COrmiGridCtrl::OnFocusCellChanged(row, col);
  CVarDefList* list = List();
  if (list && row >= 1 && row <= list->GetSize())
    if (CVarDefEntry* entry = list->GetAt(row - 1)) SetHeaders(entry->type);
}

CString VarDefGrid::CellName(int row, int col) const {
  CString name;
  name.Format(Tr("Zeile %d").GetString(), row);
  const CVarDefList* list = List();
  const CVarDefEntry* entry = list && row >= 1 && row <= list->GetSize() ? list->GetAt(row - 1) : nullptr;
  if (entry && (entry->type == CVarDefEntry::kVariable || entry->type == CVarDefEntry::kSummeTabelle)) {
    CString variable = GetItemText(row, kVariable);
    if (!variable.Trim().IsEmpty()) name += " (" + variable + ")";
  }
  // The header the row shows when it has the focus (the headers follow the kind of the focus row).
  CString column = entry && entry->type >= 0 && entry->type <= 7 && col >= 0 && col < kCols
                       ? Tr(kHeaders[entry->type][col])
                       : COrmiGridCtrl::CellName(row, col);
  column.Trim();
  return column.IsEmpty() ? name : name + ", " + column;
}

void VarDefGrid::SetRowKind(int row, int kind) {
  CStringArray kinds, units;
  for (const char* k : kKinds) kinds.Add(Tr(k));
  for (const char* u : kUnits) units.Add(u);
  SetCellType(row, kTyp, ORMI_COMBO_INDEX);
  SetComboOptions(row, kTyp, kinds);
  SetCellReadOnly(row, kTyp, FALSE);
  for (int c = kText; c < kCols; ++c) {
    SetCellType(row, c, ORMI_TEXT);
    SetItemText(row, c, "");
    EnableCell(row, c, TRUE);
  }
  auto disable = [&](int c) { EnableCell(row, c, FALSE); };
  auto readOnly = [&](int c) { SetCellReadOnly(row, c, TRUE); };
  auto unitCombo = [&](int c) {
    SetCellType(row, c, ORMI_COMBO);
    SetComboOptions(row, c, units);
  };
  auto size = [&](int c) {
    SetCellType(row, c, ORMI_DOUBLE);
    SetNumberFormat(row, c, "%lf", "%.1lf cm", 1.0);
  };
  SetCellFont(row, kText, "Arial", FALSE, FALSE, 0, kind == CVarDefEntry::kUeberschrift ? 700 : 400);
  switch (kind) {
    case CVarDefEntry::kVariable:
      SetCellType(row, kWert, ORMI_FORMULA);
      unitCombo(kEinheit);
      SetCellType(row, kExport, ORMI_CHECK);
      break;
    case CVarDefEntry::kUeberschrift:
    case CVarDefEntry::kFreierText:
      for (int c : {int(kVariable), int(kWert), int(kEinheit)}) disable(c);
      readOnly(kExport);
      break;
    case CVarDefEntry::kBerechnung:
      disable(kVariable);
      SetCellType(row, kWert, ORMI_FORMULA);
      unitCombo(kEinheit);
      readOnly(kExport);
      break;
    case CVarDefEntry::kAbbildung:
    case CVarDefEntry::kKritzl:
      readOnly(kText);
      SetCellType(row, kVariable, ORMI_BUTTON);
      SetButtonText(row, kVariable, Tr(kind == CVarDefEntry::kAbbildung ? "Datei wählen" : "Erstellen"));
      size(kWert);
      size(kEinheit);
      readOnly(kExport);
      break;
    case CVarDefEntry::kWertUebernahme:
      readOnly(kText);
      readOnly(kVariable);
      SetCellType(row, kWert, ORMI_DOUBLE);
      readOnly(kWert);
      readOnly(kEinheit);
      SetCellType(row, kExport, ORMI_BUTTON);
      SetButtonText(row, kExport, Tr("Auswahl"));
      break;
    case CVarDefEntry::kSummeTabelle:
      SetCellType(row, kWert, ORMI_DOUBLE);
      readOnly(kWert);
      unitCombo(kEinheit);
      SetCellType(row, kExport, ORMI_CHECK);
      break;
    default:
      // The empty row takes nothing but its kind.
      for (int c = kText; c < kCols; ++c) disable(c);
      break;
  }
}

void VarDefGrid::FillRow(int row, CVarDefEntry& entry) {
  SetRowKind(row, entry.type);
  SetComboIndex(row, kTyp, entry.type);
  switch (entry.type) {
    case CVarDefEntry::kVariable: {
      auto& v = static_cast<CVarDefVariable&>(entry);
      SetCellText(row, kText, v.desc);
      SetCellText(row, kVariable, v.varName);
      SetCellFormula(row, kWert, v.value);
      SetComboText(row, kEinheit, v.unit);
      SetCellCheck(row, kExport, v.bExported ? 1 : 0);
      break;
    }
    case CVarDefEntry::kUeberschrift: SetCellText(row, kText, static_cast<CVarDefUeberschrift&>(entry).title); break;
    case CVarDefEntry::kBerechnung: {
      auto& b = static_cast<CVarDefBerechnung&>(entry);
      SetCellText(row, kText, b.desc);
      SetCellFormula(row, kWert, b.value);
      SetComboText(row, kEinheit, b.unit);
      break;
    }
    case CVarDefEntry::kFreierText: SetCellText(row, kText, static_cast<CVarDefFreierText&>(entry).text); break;
    case CVarDefEntry::kAbbildung:
    case CVarDefEntry::kKritzl: {
      auto& p = static_cast<CVarDefPictureBase&>(entry);
      if (entry.type == CVarDefEntry::kAbbildung)
        SetCellText(row, kText, static_cast<CVarDefAbbildung&>(entry).fileName);
      SetCellDouble(row, kWert, p.dWidth);
      SetCellDouble(row, kEinheit, p.dHeight);
      break;
    }
    case CVarDefEntry::kWertUebernahme: {
      const CImportRecord& r = static_cast<CVarDefWertUebernahme&>(entry).GetImport();
      CString path = r.varPath;
      path.Replace("\\", " - ");
      SetCellText(row, kText, path);
      SetCellText(row, kVariable, r.varName);
      SetCellDouble(row, kWert, r.value);
      SetCellText(row, kEinheit, r.unit);
      break;
    }
    case CVarDefEntry::kSummeTabelle: {
      auto& s = static_cast<CVarDefSummeTabelle&>(entry);
      SetCellText(row, kText, s.desc);
      SetCellText(row, kVariable, s.varName);
      SetCellDouble(row, kWert, s.sum);
      SetComboText(row, kEinheit, s.unit);
      SetCellCheck(row, kExport, s.bExported ? 1 : 0);
      break;
    }
    default: break;
  }
}

void VarDefGrid::BuildMenu() {
  ClearMenuItems();
  CVarDefList* list = List();
  const int n = list ? list->GetSize() : 0;
  if (n == 0) return;
  AddMenuItem(1, 0, n, 6, Tr("Zeile löschen"), 1);
  AddMenuItem(1, 0, n, 6, Tr("Zeile kopieren"), 2);
  if (n >= 2) {
    AddMenuItem(2, 1, n, 6, "SeparatorUp", -1);
    AddMenuItem(2, 1, n, 6, Tr("Zeile nach oben schieben"), 3);
    AddMenuItem(2, 1, n, 6, Tr("Zeile an den Anfang schieben"), 5);
    AddMenuItem(1, 0, n - 1, 6, "SeparatorDown", -1);
    AddMenuItem(1, 0, n - 1, 6, Tr("Zeile nach unten schieben"), 4);
    AddMenuItem(1, 0, n - 1, 6, Tr("Zeile ans Ende schieben"), 6);
  }
  const char* formats[] = {"Format\\Fett",      "Format\\Kursiv",       "Format\\Unterstrichen",
                           "Format\\Zentriert", "Format\\Rechtsbündig", "Format\\Blocksatz"};
  for (int r = 1; r <= n; ++r) {
    const CVarDefEntry* entry = list->GetAt(r - 1);
    if (!entry) continue;
    AddMenuItem(r, kText, r, kText, "SeparatorFormat", -1);
    for (int b = 0; b < 6; ++b) AddMenuItem(r, kText, r, kText, Tr(formats[b]), 7 + b, (entry->format >> b) & 1);
    AddMenuItem(r, kText, r, kText, Tr("Schriftgrad\\Standard"), 13, entry->textHeight == 0);
    for (int size : kSizes) {
      CString text;
      text.Format("%s\\%d", Tr("Schriftgrad").GetString(), size);
      AddMenuItem(r, kText, r, kText, text, 13 + size, entry->textHeight == size);
    }
    if (!HasDigits(entry->type)) continue;
    AddMenuItem(r, kWert, r, kWert, "SeparatorDigits", -1);
    AddMenuItem(r, kWert, r, kWert, Tr("Nachkommastellen\\Keine"), 50, entry->digits == 0);
    for (int d = 1; d <= 6; ++d) {
      CString text;
      text.Format("%s\\%d", Tr("Nachkommastellen").GetString(), d);
      AddMenuItem(r, kWert, r, kWert, text, 50 + d, entry->digits == d);
    }
  }
}

void VarDefGrid::ExchangeData(BOOL fromGrid) {
  CVarDefList* list = List();
  if (!list) return;
  if (!fromGrid) {
    list->UpdateVariables();
    m_filling = true;
    const int n = list->GetSize();
    SetRowCount(n + 2);
    for (int r = 1; r <= n; ++r) {
      if (CVarDefEntry* entry = list->GetAt(r - 1))
        FillRow(r, *entry);
      else
        SetRowKind(r, -1);
    }
    SetRowKind(n + 1, -1);
    SetComboIndex(n + 1, kTyp, -1);
    BuildMenu();
    m_filling = false;
    Invalidate();
    return;
  }
  const int rows = GetRowCount();
  const bool lastChosen = rows >= 2 && GetComboIndex(rows - 1, kTyp) >= 0;
  const int count = std::max(0, lastChosen ? rows - 1 : rows - 2);
  list->SetSize(count);
  for (int i = 0; i < count; ++i) {
    const int r = i + 1;
    const int kind = GetComboIndex(r, kTyp);
    if (kind < 0) continue;
    CVarDefEntry* entry = list->GetAt(i);
    if (!entry || entry->type != kind) {
      list->SetEntryType(i, kind);
      entry = list->GetAt(i);
    }
    if (!entry) continue;
    switch (kind) {
      case CVarDefEntry::kVariable: {
        auto& v = static_cast<CVarDefVariable&>(*entry);
        v.desc = GetCellText(r, kText);
        v.varName = GetCellText(r, kVariable);
        if (GetCellType(r, kWert) == ORMI_FORMULA) v.value = GetCellFormula(r, kWert);
        v.unit = GetItemText(r, kEinheit);
        v.bExported = GetCellCheck(r, kExport) != 0;
        break;
      }
      case CVarDefEntry::kUeberschrift: static_cast<CVarDefUeberschrift&>(*entry).title = GetCellText(r, kText); break;
      case CVarDefEntry::kBerechnung: {
        auto& b = static_cast<CVarDefBerechnung&>(*entry);
        b.desc = GetCellText(r, kText);
        if (GetCellType(r, kWert) == ORMI_FORMULA) b.value = GetCellFormula(r, kWert);
        b.unit = GetItemText(r, kEinheit);
        break;
      }
      case CVarDefEntry::kFreierText: static_cast<CVarDefFreierText&>(*entry).text = GetCellText(r, kText); break;
      case CVarDefEntry::kAbbildung:
      case CVarDefEntry::kKritzl: {
        auto& p = static_cast<CVarDefPictureBase&>(*entry);
        if (GetCellType(r, kWert) == ORMI_DOUBLE) p.dWidth = GetCellDouble(r, kWert);
        if (GetCellType(r, kEinheit) == ORMI_DOUBLE) p.dHeight = GetCellDouble(r, kEinheit);
        break;
      }
      case CVarDefEntry::kSummeTabelle: {
        auto& s = static_cast<CVarDefSummeTabelle&>(*entry);
        s.desc = GetCellText(r, kText);
        s.varName = GetCellText(r, kVariable);
        s.unit = GetItemText(r, kEinheit);
        s.bExported = GetCellCheck(r, kExport) != 0;
        break;
      }
      default: break;
    }
  }
  list->UpdateVariables();
}

void VarDefGrid::OnDataChanged() {
  CVarDefList* list = List();
  if (!list || !m_pData) return;
  ExchangeData(TRUE);
  m_filling = true;
  for (int i = 0; i < list->GetSize() && i + 1 < GetRowCount(); ++i) {
    CVarDefEntry* entry = list->GetAt(i);
    if (!entry || GetComboIndex(i + 1, kTyp) != entry->type) continue;
    if (auto* v = dynamic_cast<CVarDefVariable*>(entry)) SetCellFormula(i + 1, kWert, v->value);
    if (auto* b = dynamic_cast<CVarDefBerechnung*>(entry)) SetCellFormula(i + 1, kWert, b->value);
    if (auto* s = dynamic_cast<CVarDefSummeTabelle*>(entry)) SetCellDouble(i + 1, kWert, s->sum);
  }
  m_filling = false;
  m_pData->DefineVariables();
  m_pData->Draw2D(0);
  m_pData->Draw3D(0);
  m_pData->Redraw(0);
}

bool VarDefGrid::CellDiffers(int row, int col, CVarDefEntry& entry) {
  if (GetComboIndex(row, kTyp) != entry.type) return true;
  auto text = [&](const CString& stored) { return GetItemText(row, col) != stored; };
  switch (entry.type) {
    case CVarDefEntry::kVariable: {
      auto& v = static_cast<CVarDefVariable&>(entry);
      if (col == kText) return text(v.desc);
      if (col == kVariable) return text(v.varName);
      if (col == kWert)
        return GetCellFormula(row, kWert).GetText() != v.value.GetText() ||
               GetCellFormula(row, kWert).m_bNumber != v.value.m_bNumber;
      if (col == kEinheit) return text(v.unit);
      if (col == kExport) return (GetCellCheck(row, kExport) != 0) != (v.bExported != 0);
      return false;
    }
    case CVarDefEntry::kUeberschrift: return col == kText && text(static_cast<CVarDefUeberschrift&>(entry).title);
    case CVarDefEntry::kBerechnung: {
      auto& b = static_cast<CVarDefBerechnung&>(entry);
      if (col == kText) return text(b.desc);
      if (col == kWert)
        return GetCellFormula(row, kWert).GetText() != b.value.GetText() ||
               GetCellFormula(row, kWert).m_bNumber != b.value.m_bNumber;
      if (col == kEinheit) return text(b.unit);
      return false;
    }
    case CVarDefEntry::kFreierText: return col == kText && text(static_cast<CVarDefFreierText&>(entry).text);
    case CVarDefEntry::kAbbildung:
    case CVarDefEntry::kKritzl: {
      auto& p = static_cast<CVarDefPictureBase&>(entry);
      if (col == kWert) return GetCellDouble(row, kWert) != p.dWidth;
      if (col == kEinheit) return GetCellDouble(row, kEinheit) != p.dHeight;
      return false;
    }
    case CVarDefEntry::kSummeTabelle: {
      auto& s = static_cast<CVarDefSummeTabelle&>(entry);
      if (col == kText) return text(s.desc);
      if (col == kVariable) return text(s.varName);
      if (col == kEinheit) return text(s.unit);
      if (col == kExport) return (GetCellCheck(row, kExport) != 0) != (s.bExported != 0);
      return false;
    }
    default: return false;
  }
}

void VarDefGrid::OnCellChanged(int row, int col, int type) {
  CVarDefList* list = List();
  if (!list || m_filling || row < 1) return;
  if (col == kTyp) {
    OnDataChanged();
    ExchangeData(FALSE);
    SetFocusCell(row, kTyp);
    return;
  }
  CVarDefEntry* entry = row <= list->GetSize() ? list->GetAt(row - 1) : nullptr;
  if (entry && CellDiffers(row, col, *entry)) OnDataChanged();
}

BOOL VarDefGrid::PasteMakesRow(int col, const CString& text) {
  return col == kTyp && PastedValueCounts(GetRowCount() - 1, col, text);
}

CString VarDefGrid::PasteConsequences(const std::vector<PastedLine>& lines, const std::vector<int>& rows) {
  const CVarDefList* list = List();
  std::vector<CString> renames;
  for (std::size_t k = 0; list && k < rows.size() && k < lines.size(); ++k) {
    const int row = rows[k];
    const CVarDefEntry* entry = row >= 1 && row <= list->GetSize() ? list->GetAt(row - 1) : nullptr;
    if (!entry || (entry->type != CVarDefEntry::kVariable && entry->type != CVarDefEntry::kSummeTabelle)) continue;
    for (const PastedField& field : lines[k]) {
      const CString old = GetItemText(row, kVariable).Trim();
      if (field.col == kVariable && !old.IsEmpty() && field.text != old)
        renames.push_back("„" + old + "“ in „" + field.text + "“");
    }
  }
  if (renames.empty()) return CString();
  if (renames.size() == 1) return "Die Einfügung benennt die Variable " + renames[0] + " um.";
  CString all;
  for (const CString& r : renames) all += (all.IsEmpty() ? "" : ", ") + r;
  return "Die Einfügung benennt Variablen um: " + all + ".";
}

void VarDefGrid::OnCellClick(int row, int col) {
  CVarDefList* list = List();
  if (!list || row < 1) return;
  if (GetCellType(row, col) == ORMI_CHECK && IsCellEditable(row, col)) {
    OnCellChanged(row, col, ORMI_CHECK);
    return;
  }
  // Only a button acts here: asking the kind of any other cell would end the list its click just opened.
  if (GetCellType(row, col) != ORMI_BUTTON) return;
  const int kind = GetComboIndex(row, kTyp);
  if (kind == CVarDefEntry::kAbbildung && col == kVariable) ChooseFile(row);
  if (kind == CVarDefEntry::kKritzl && col == kVariable) MakeSketch(row);
  if (kind == CVarDefEntry::kWertUebernahme && col == kExport) ImportValue(row);
}

int VarDefGrid::EntryForButton(int row) {
  CVarDefList* list = List();
  if (row == GetRowCount() - 1) AddRow();
  ExchangeData(TRUE);
  return row - 1 < list->GetSize() ? row - 1 : -1;
}

void VarDefGrid::ChooseFile(int row) {
  static const CString folder = GetInstallRoot() + "\\Abbildungen";
  CurrentFolderKeeper keep;
  const int i = EntryForButton(row);
  auto* entry = i >= 0 ? List()->GetAs<CVarDefAbbildung>(i) : nullptr;
  if (!entry) return;
  CFileDialog dialog(TRUE, "*.emf", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                     Tr("emf Dateien (*.emf)|*.emf|Bitmap Dateien "
                        "(*.bmp)|*.bmp|Alle Dateien (*.*)|*.*||"),
                     this);
  dialog.m_ofn.lpstrInitialDir = folder.GetString();
  if (dialog.DoModal() != IDOK) return;
  const CString path = dialog.GetPathName();
  std::vector<char> bytes;
  if (!ReadWholeFile(path.GetString(), bytes)) {
    CString text;
    text.Format(Tr("Die Datei \"%s\" kann nicht gelesen werden."), path.GetString());
    AfxMessageBox(text, MB_ICONEXCLAMATION);
    return;
  }
  entry->fileName = path;
  entry->FreeFileBuffer();
  entry->SetFileBuffer(bytes.data(), unsigned(bytes.size()));
  // The picture comes in at its own size, to the tenth of a centimetre its cells show (what they show is what is
  // stored); a file whose size cannot be read keeps the size entered.
  double width = 0, height = 0;
  if (PictureSizeCm(bytes, width, height)) {
    width = std::max(0.1, std::round(width * 10) / 10);
    height = std::max(0.1, std::round(height * 10) / 10);
    entry->dWidth = width;
    entry->dHeight = height;
    SetCellDouble(row, kWert, width);
    SetCellDouble(row, kEinheit, height);
    RedrawCell(row, kWert);
    RedrawCell(row, kEinheit);
  }
  SetCellText(row, kText, path);
  // a screen shows the name only when the cell is painted again
  RedrawCell(row, kText);
  OnDataChanged();
}

void VarDefGrid::MakeSketch(int row) {
  CurrentFolderKeeper keep;
  const int i = EntryForButton(row);
  auto* entry = i >= 0 ? List()->GetAs<CVarDefKritzl>(i) : nullptr;
  if (!entry) return;
  if (!SketchProgram() || !SketchProgram()()) {
    AfxMessageBox(Tr("Das Skizzenprogramm kritzl konnte nicht gestartet werden."), MB_ICONEXCLAMATION);
    return;
  }
  std::vector<char> bytes;
  if (!ReadWholeFile("xxxx.emf", bytes)) return;
  entry->FreeFileBuffer();
  entry->SetFileBuffer(bytes.data(), unsigned(bytes.size()));
  std::error_code error;
  std::filesystem::remove("xxxx.emf", error);
  std::filesystem::remove(".rtf", error);
  OnDataChanged();
}

void VarDefGrid::ImportValue(int row) {
  CurrentFolderKeeper keep;
  if (EntryForButton(row) < 0 || !m_pData) return;
  if (!ValueImport()) {
    AfxMessageBox(Tr("Werte anderer Positionen können hier nicht übernommen werden."), MB_ICONEXCLAMATION);
    return;
  }
  if (!ValueImport()(*m_pData)) return;
  ExchangeData(FALSE);
  OnDataChanged();
  ExchangeData(FALSE);
}

void VarDefGrid::OnCellContextMenu(int row, int col, int command) {
  CVarDefList* list = List();
  if (!list || row < 1 || row > list->GetSize()) return;
  ExchangeData(TRUE);
  const int i = row - 1;
  const int n = list->GetSize();
  CVarDefEntry* entry = list->GetAt(i);
  if (!entry) return;
  // The whole entry: its own fields and its format, text height and decimal places.
  auto copyOf = [](const CVarDefEntry& from) {
    auto copy = CVarDefEntry::Create(from.type);
    copy->CopyFrom(from);
    copy->format = from.format;
    copy->digits = from.digits;
    copy->textHeight = from.textHeight;
    return copy;
  };
  auto move = [&](int from, int to) {
    auto moved = copyOf(*list->GetAt(from));
    list->RemoveAt(from);
    list->InsertAt(to, std::move(moved));
  };
  if (command == 1) {
    list->RemoveAt(i);
  } else if (command == 2) {
    list->InsertAt(i + 1, copyOf(*entry));
  } else if (command == 3 && i > 0) {
    move(i, i - 1);
  } else if (command == 4 && i + 1 < n) {
    move(i, i + 1);
  } else if (command == 5 && i > 0) {
    move(i, 0);
  } else if (command == 6 && i + 1 < n) {
    move(i, n - 1);
  } else if (command >= 7 && command <= 12) {
    entry->format ^= 1 << (command - 7);
  } else if (command >= 13 && command <= 49) {
    entry->textHeight = command - 13;
  } else if (command >= 50) {
    entry->digits = command - 50;
  }
  ExchangeData(FALSE);
  OnDataChanged();
}

// ---------------------------------------------------------------------------------------------------------------------
// DlgVarDef

BEGIN_MESSAGE_MAP(DlgVarDef, CDialog)
ON_WM_SIZE()
ON_WM_SHOWWINDOW()
ON_WM_DESTROY()
END_MESSAGE_MAP()

DlgVarDef::DlgVarDef(CWnd* parent) : CDialog(IDD_DLGVARDEF, parent) {}

DlgVarDef::~DlgVarDef() = default;

bool DlgVarDef::SkribSwitch() {
  int value = 0;
  GetRegSettings().ReadInt("", "bSkrib", &value, 0);
  return value != 0;
}

BOOL DlgVarDef::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate(kArea, kDictionary, "DlgVarDef", m_hWnd);
  CRect client;
  GetClientRect(&client);
  client.DeflateRect(5, 5);
  m_grid.Create(client, this, IDC_VARDEF_GRID);
  m_grid.SetData(m_pData);
  m_grid.Layout();
  return TRUE;
}

void DlgVarDef::SetData(BaseData* data) {
  m_pData = data;
  m_grid.SetData(data);
  if (data) data->pSkribDlg = m_pEditor;
}

void DlgVarDef::SetEditor(CWnd* editor, std::function<void(BOOL save)> exchange) {
  m_pEditor = editor;
  m_editorExchange = std::move(exchange);
  if (m_pData) m_pData->pSkribDlg = editor;
  if (editor && GetSafeHwnd() && m_bResizeRegistered) m_resize.AddControl(editor->m_hWnd, 0, 0, 100, 100, 5, 1, -5, -5);
}

void DlgVarDef::TransferData(BOOL save) {
  const bool skrib = SkribSwitch();
  if (skrib) {
    if (m_editorExchange) m_editorExchange(save);
  } else {
    m_grid.ExchangeData(save);
  }
  if (!save) {
    if (m_pEditor && m_pEditor->GetSafeHwnd()) m_pEditor->ShowWindow(skrib ? SW_SHOW : SW_HIDE);
    if (m_grid.GetSafeHwnd()) m_grid.ShowWindow(skrib ? SW_HIDE : SW_SHOW);
  }
  if (GetSafeHwnd()) UpdateData(save);
}

void DlgVarDef::OnSize(UINT type, int cx, int cy) {
  if (!m_grid.GetSafeHwnd()) return;
  if (!m_bResizeRegistered) {
    m_bResizeRegistered = true;
    m_resize.AddControl(m_grid.m_hWnd, 0, 0, 100, 100, 5, 5, -5, -5);
    if (m_pEditor && m_pEditor->GetSafeHwnd()) m_resize.AddControl(m_pEditor->m_hWnd, 0, 0, 100, 100, 5, 1, -5, -5);
  }
  CRect client;
  GetClientRect(&client);
  m_resize.Resize(client);
  m_grid.LayoutColumns();
}

void DlgVarDef::OnShowWindow(BOOL show, UINT status) {
  Default();
  if (SkribSwitch() && m_pEditor && m_pEditor->GetSafeHwnd()) m_pEditor->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void DlgVarDef::OnDestroy() {
  if (m_grid.GetSafeHwnd()) m_grid.DestroyWindow();
  if (m_pEditor && m_pEditor->GetSafeHwnd()) m_pEditor->DestroyWindow();
  Default();
}

DlgVarDef* DlgVarDef::FindIn(CWnd* window) {
  if (!window || !window->GetSafeHwnd()) return nullptr;
  for (HWND child = ::GetWindow(window->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    CWnd* wnd = CWnd::FromHandlePermanent(child);
    if (auto* page = dynamic_cast<DlgVarDef*>(wnd)) return page;
    if (DlgVarDef* inner = FindIn(wnd)) return inner;
  }
  return nullptr;
}
