#include "editor/editordlg.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "controls/PopupMenuBuilder.h"
#include "controls/ProgressDlg.h"
#include "editor/docimportdlg.h"
#include "editor/symboldlg.h"
#include "formula/formulanumber.h"
#include "framework/regsettings.h"
#include "platform/win/base/numbers.h"
#include "platform/win/screen/headless.h"
#include "platform/win/resources/resources.h"
#include "transfer/importdlg.h"

namespace {

CString Tr(const char* text) { return EditorText("SubDlg", text); }

const UINT kBar1Buttons[] = {0,     11529, 11535, 11536, 11537, 11538, 0,     11539, 11540, 0,
                             11541, 11542, 0,     40011, 11545, 0,     11544, 0,     11525, 11503,
                             11504, 11505, 11526, 11527, 40049, 0,     40050, 0,     40033};
const UINT kBar2Buttons[] = {0,     11522, 0,     11524, 0, 11506, 11507, 11509, 11528, 0,    11530,
                             11531, 11532, 11533, 11534, 0, 11546, 0,     40003, 11547, 40044};

struct Glyph {
  UINT id;
  const char* label;
  bool bold, italic;
};
const Glyph kGlyphs[] = {
    {11529, "\xe2\x9c\x82", false, false},
    {11535, "\xe2\x9d\x90", false, false},
    {11536, "\xe2\x96\xa4", false, false},
    {11537, "\xe2\x86\xb6", true, false},
    {11538, "\xe2\x86\xb7", true, false},
    {11539, "?", true, false},
    {11540, "\xe2\x87\x84", false, false},
    {11541, "\xe2\x96\xa6", false, false},
    {11542, "\xe2\x96\xa5", false, false},
    {40011, "\xe2\x9a\x99", false, false},
    {11545, "\xce\xa3", true, false},
    {11544, "=", true, false},
    {11525, "f", true, true},
    {11503, "B", true, false},
    {11504, "I", false, true},
    {11505, "U", false, false},
    {11526, "x\xe2\x82\x82", false, false},
    {11527, "x\xc2\xb2", false, false},
    {40049, "\xce\xb1", false, false},
    {40050, "+", true, false},
    {40033, "i", true, false},
    {11522, "S", false, false},
    {11524, "H", false, false},
    {11506, "\xe2\x89\xa1", false, false},
    {11507, "\xe2\x89\xa3", false, false},
    {11509, "\xe2\x89\xa1", false, false},
    {11528, "\xe2\x98\xb0", false, false},
    {11530, "\xe2\x86\x95", false, false},
    {11531, "1.", true, false},
    {11532, "\xe2\x80\xa2", true, false},
    {11533, "\xe2\x87\xa5", false, false},
    {11534, "\xe2\x87\xa4", false, false},
    {11546, "%", false, false},
    {40003, "VB", true, false},
    {11547, "\xe2\x86\x93", true, false},
    {40044, "\xe2\x96\xb6", false, false},
};

void PaintBar(const UINT* ids, std::size_t count, cairo_t* cr, int width, int height) {
  cairo_set_source_rgb(cr, 192 / 255.0, 192 / 255.0, 192 / 255.0);
  cairo_paint(cr);
  int image = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (ids[i] == 0) continue;
    for (const Glyph& g : kGlyphs)
      if (g.id == ids[i]) {
        // The face the window system draws with, not one matched by name: the symbols were empty boxes on a
        // first start, when the machine's font matching did not yet know the font.
        win::SelectFontFace(cr, "DejaVu Sans", g.bold, g.italic,
                            std::string(g.label).size() > 2 && g.label[0] != '\xe2' ? 9 : 12);
        cairo_text_extents_t ext;
        cairo_text_extents(cr, g.label, &ext);
        cairo_set_source_rgb(cr, g.id == 11525 ? 7 / 255.0 : 0.1, g.id == 11525 ? 13 / 255.0 : 0.1,
                             g.id == 11525 ? 1.0 : 0.25);
        cairo_move_to(cr, image * 16 + (16 - ext.width) / 2 - ext.x_bearing, (height - ext.height) / 2 - ext.y_bearing);
        cairo_show_text(cr, g.label);
        if (g.id == 11505) {
          cairo_rectangle(cr, image * 16 + 4, height - 2, 8, 1);
          cairo_fill(cr);
        }
      }
    ++image;
  }
}

std::size_t Images(const UINT* ids, std::size_t count) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < count; ++i) n += ids[i] != 0;
  return n;
}

struct Accel {
  bool alt, ctrl, shift;
  UINT vk;
  UINT command;
};
const Accel kAccels[] = {
    {true, false, false, '0', 40036},       {true, false, false, '1', 40037},    {true, false, false, '2', 40038},
    {true, false, false, '3', 40039},       {true, false, false, '4', 40040},    {true, false, false, '5', 40041},
    {true, false, false, '6', 40045},       {true, false, false, '7', 40046},    {true, false, false, '8', 40047},
    {true, false, false, '9', 40048},       {true, false, false, 'M', 40043},    {true, false, false, 'S', 40051},
    {false, false, false, VK_F1, 40033},    {false, false, false, VK_F3, 40035}, {true, false, false, VK_F3, 40042},
    {false, false, false, VK_F5, 11544},    {false, false, true, VK_F5, 40052},  {false, false, false, VK_F9, 40034},
    {false, true, false, VK_RETURN, 40001},
};

const int kHeights[] = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 36};

}  // namespace

void RegisterEditorResources() {
  // registered again after the module that drew them was unloaded
  if (win::res::HasBitmap(SubDlg::kBar1)) return;
  win::DialogTemplate t;
  t.style = WS_CHILD | DS_CONTROL;
  t.cx = 531;
  t.cy = 306;
  win::DialogItem item;
  item.id = SubDlg::kHoverId;
  item.className = "Button";
  item.style = BS_PUSHBUTTON | BS_BITMAP;
  item.x = 516;
  item.y = 0;
  item.cx = 14;
  item.cy = 12;
  item.hidden = true;
  t.items.push_back(item);
  win::RegisterDialogTemplate(SubDlg::IDD, t);
  const std::size_t n1 = std::size(kBar1Buttons), n2 = std::size(kBar2Buttons);
  win::res::RegisterBitmap(SubDlg::kBar1, int(16 * Images(kBar1Buttons, n1)), 15, [](cairo_t* cr, int w, int h) {
    PaintBar(kBar1Buttons, std::size(kBar1Buttons), cr, w, h);
  });
  win::res::RegisterBitmap(SubDlg::kBar2, int(16 * Images(kBar2Buttons, n2)), 15, [](cairo_t* cr, int w, int h) {
    PaintBar(kBar2Buttons, std::size(kBar2Buttons), cr, w, h);
  });
  win::res::RegisterToolBar(SubDlg::kBar1, 16, 15, std::vector<UINT>(kBar1Buttons, kBar1Buttons + n1));
  win::res::RegisterToolBar(SubDlg::kBar2, 16, 15, std::vector<UINT>(kBar2Buttons, kBar2Buttons + n2));
  const std::pair<UINT, const char*> strings[] = {{11503, "[Strg-F] Markierung Fett"},
                                                  {11504, "[Strg-K] Markierung Kursiv"},
                                                  {11505, "[Strg-U] Markierung unterstrichen"},
                                                  {11526, "[Strg-+] Markierung tiefgestellt"},
                                                  {11527, "[Strg-*] Markierung hochgestellt"},
                                                  {40049, "Sonderzeichen"},
                                                  {11525, "[F9] Markierung Formel"},
                                                  {11506, "[Strg-L] Absatz linksbündig"},
                                                  {11507, "[Strg-E] Absatz zentrisch"},
                                                  {11509, "[Strg-R] Absatz rechtsbündig"},
                                                  {11528, "Blocksatz"},
                                                  {11522, "Formatvorlage"},
                                                  {11524, "Texthöhe"},
                                                  {11533, "Einrücken"},
                                                  {11534, "Ausrücken"},
                                                  {11530, "Zeilenabstand"},
                                                  {11532, "Stichpunkte"},
                                                  {11531, "Aufzählung"},
                                                  {11529, "[Strg-X] Ausschneiden"},
                                                  {11535, "[Strg-C] Kopieren Zwischenablage"},
                                                  {11536, "[Strg-V] Einfügen Zwischenablage"},
                                                  {11537, "[Strg-Z] Zurück"},
                                                  {11538, "Wiederherstellen"},
                                                  {11546, "Ansicht zoomen"},
                                                  {11544, "[F5] Dokument berechnen"},
                                                  {11545, "Übersicht aller Formeln"},
                                                  {11547, "Lastübernahme"},
                                                  {11541, "Neue Tabelle einfügen"},
                                                  {11542, "Markierte Tabelle ändern"},
                                                  {40050, "Einfügen"},
                                                  {11539, "Suchen"},
                                                  {11540, "Suchen und Ersetzen"},
                                                  {40011, "Einstellungen"},
                                                  {40003, "Öffnet den Dialog 'Visual Basic Scripting'"},
                                                  {40033, "Öffnet die Onlinehilfe"},
                                                  {40044, "Dokument berechnen und Ergebnisdokument öffnen"},
                                                  {40051, "Berechne aktuelles Dokument"}};
  for (const auto& [id, s] : strings) win::RegisterString(id, s);
}

SubDlg::SubDlg(CWnd* parent) : CDialog(IDD, parent) { RegisterEditorResources(); }

SubDlg::~SubDlg() = default;

void SubDlg::CreateCombo(CComboBox& combo, UINT id, int width, DWORD kind) {
  const int index = bar2.CommandToIndex(id);
  bar2.SetButtonInfo(index, id, TBBS_SEPARATOR, width);
  RECT r;
  bar2.GetItemRect(index, &r);
  r.bottom += 800;
  combo.Create(0x50000240 | kind, r, &bar2, id);
  combo.SendMessage(WM_SETFONT, WPARAM(SendMessage(WM_GETFONT)), 0);
  combo.ShowWindow(SW_SHOW);
}

BOOL SubDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  text.Create(0x503011C4, CRect(100, 100, 200, 200), this, kTextId);
  text.NewDocument();
  text.SetEventMask(ENM_SELCHANGE | ENM_KEYEVENTS);
  bar1.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS, CRect(0, 0, 0, 0),
                AFX_IDW_CONTROLBAR_FIRST);
  bar1.LoadToolBar(kBar1);
  bar2.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS, CRect(0, 0, 0, 0),
                AFX_IDW_CONTROLBAR_FIRST + 1);
  bar2.LoadToolBar(kBar2);
  CreateCombo(bar2.style, 11522, 90, CBS_DROPDOWNLIST);
  CreateCombo(bar2.height, 11524, 40, CBS_DROPDOWN);
  CreateCombo(bar2.zoom, 11546, 90, CBS_DROPDOWNLIST);
  bar2.style.AddString(Tr("Standard"));
  for (int i = 1; i <= 9; ++i) bar2.style.AddString(Tr(("Überschrift " + std::to_string(i)).c_str()));
  bar2.style.SetCurSel(0);
  for (int h : kHeights) bar2.height.AddString(std::to_string(h).c_str());
  bar2.zoom.AddString(Tr("Seitenbreite"));
  for (int z : {50, 60, 70, 75, 80, 85, 90, 95, 100, 105, 110, 115, 120, 125, 130, 140, 150, 200})
    bar2.zoom.AddString((std::to_string(z) + " %").c_str());
  int zoomIndex = 9;
  GetRegSettings().ReadInt("Skrib", "iZoom", &zoomIndex, 9);
  bar2.zoom.SetCurSel(zoomIndex >= 0 && zoomIndex < kZoomItems ? zoomIndex : 9);
  // The first toolbar bar sits above the second.
  CRect r1;
  bar1.GetWindowRect(&r1);
  CRect r2;
  bar2.GetWindowRect(&r2);
  bar2.SetWindowPos(nullptr, 0, r1.Height(), r2.Width(), r2.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  for (int i = 18; i <= 24; ++i) bar1.SetButtonStyle(i, TBBS_CHECKBOX);
  for (int i = 5; i <= 8; ++i) bar2.SetButtonStyle(i, TBBS_CHECKBOX);
  bar2.GetToolBarCtrl().EnableButton(40044, FALSE);
  if (CWnd* h = GetDlgItem(kHoverId)) {
    hover.Attach(h->m_hWnd);
    if (embedded) hover.ShowWindow(SW_HIDE);
  }
  Resize();
  return TRUE;
}

int SubDlg::TransferData(BOOL save) {
  if (!document) return 1;
  if (save) {
    UpdateData(TRUE);
    CRtfChunkList shown;
    text.StreamOut(shown, false);
    document->isEmpty = text.GetTextLength() == 0 ? 1 : 0;
    document->text = loadedStable && shown.Text() == loadedShown ? loadedText : shown;
    // a wheel's zoom the list does not offer is not kept: the setting names one of the list's items
    if (const int zoom = bar2.zoom.GetCurSel(); zoom >= 0 && zoom < kZoomItems)
      GetRegSettings().WriteInt("Skrib", "iZoom", zoom);
    return 1;
  }
  loadedText = document->text;
  loadedStable = !document->recalculationPending;
  text.StreamIn(document->text, false);
  if (document->recalculationPending) {
    // The generated text takes the control's own formatting through a copy of itself, not through the
    // engineer's clipboard.
    text.SetSel(0, -1);
    const std::string own = text.StreamOutRtf(true);
    text.StreamInRtf(own, true);
    text.EmptyUndoBuffer();
    Refresh(1);
    document->recalculationPending = 0;
  }
  document->CheckAndDefineVariables();
  CRtfChunkList before, after;
  text.StreamOut(before, false);
  Refresh(1);
  text.StreamOut(after, false);
  loadedShown = after.Text();
  loadedStable = loadedStable && before.Text() == loadedShown;
  ApplyZoom();
  text.Invalidate();
  text.EnableWindow(TRUE);
  bar1.EnableWindow(TRUE);
  bar2.EnableWindow(TRUE);
  UpdateData(FALSE);
  return 1;
}

void SubDlg::Refresh(int mode) {
  if (!document) return;
  long start = 0, end = 0;
  text.GetSel(start, end);
  ProgressDlg progress(40051);
  progress.Create(this);
  progress.SetRange(0, 4);
  progress.SetStep(1);
  progress.StepIt();
  text.StreamOut(document->text, false);
  progress.StepIt();
  document->Calculate(text.formulaColour, mode);
  progress.StepIt();
  text.StreamIn(document->text, false);
  progress.StepIt();
  progress.DestroyWindow();
  text.SetFocus();
  text.SetSel(start, end);
  ApplyZoom();
  TransferData(TRUE);
  LoadTransfers();
  text.Invalidate();
}

void SubDlg::LoadTransfers() {
  if (!position) return;
  CVarDefList& defs = position->varDefs;
  for (const std::string& line : text.commands) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t bar = line.find('|'); bar != std::string::npos; bar = line.find('|', from = bar + 1))
      parts.push_back(line.substr(from, bar - from));
    parts.push_back(line.substr(from));
    if (parts.size() != 3 || CString(parts[0].c_str()).CompareNoCase("LT") != 0) continue;
    const CString path(parts[1].c_str());
    // A value the position takes over already is refreshed in its entry; where its source cannot be read now it
    // keeps the value, unit and description read last.
    ImportData record;
    bool taken = false;
    for (int i = 0; i < defs.GetSize() && !taken; ++i)
      if (auto* entry = defs.GetAs<CVarDefWertUebernahme>(i);
          entry && entry->GetImport().varPath.CompareNoCase(path) == 0) {
        record = ImportData(entry->GetImport());
        taken = true;
      }
    if (!taken) {
      // The description of a value is the last part of its path, as the value-import dialog takes it.
      CString fileName;
      CStringArray chain;
      ImportData::SplitVarPath(path, fileName, chain);
      if (!chain.IsEmpty()) record.desc = chain[chain.GetSize() - 1];
    }
    record.varPath = path;
    record.varName = parts[2].c_str();
    record.positionFile = defs.positionFile;
    const int read = record.Update();
    // A command whose source gives no value adds none: a 0 that no source gave would be calculated with.
    if (!taken && read != 0 && read != 4) continue;
    AddImportEntry(defs, record);
  }
}

void SubDlg::ApplyZoom() {
  CString current;
  const int sel = bar2.zoom.GetCurSel();
  if (sel >= 0)
    bar2.zoom.GetLBText(sel, current);
  else
    bar2.zoom.GetWindowText(current);
  ApplyZoomText(current);
}

void SubDlg::ShowZoom(int percent) {
  const CString shown((std::to_string(percent) + " %").c_str());
  int index = bar2.zoom.FindStringExact(-1, shown);
  // The list can show only its items: a zoom it does not offer gets one of its own after them, the one before
  // goes.
  if (index != kZoomItems && bar2.zoom.GetCount() > kZoomItems) bar2.zoom.DeleteString(kZoomItems);
  if (index < 0) index = bar2.zoom.AddString(shown);
  bar2.zoom.SetCurSel(index);
}

void SubDlg::ApplyZoomText(const CString& current) {
  int percent = 0;
  if (current == Tr("Seitenbreite")) {
    CRect r;
    text.GetClientRect(&r);
    percent = r.Width() * 100 / 650;
  } else {
    percent = std::atoi(current.GetString());
  }
  if (percent >= 11 && percent < 250) text.SetZoom(percent);
}

void SubDlg::Resize() {
  if (!text.m_hWnd) return;
  if (!resizerFilled_) {
    resizer_.AddControl(text.m_hWnd, 0, 0, 100, 100, 5, 50, -5, -5);
    if (hover.m_hWnd) resizer_.AddControl(hover.m_hWnd, 100, 0, 100, 0, -20, 0, 0, 20);
    resizerFilled_ = true;
  }
  CRect client;
  GetClientRect(&client);
  resizer_.Resize(client);
  if (bar2.zoom.m_hWnd && bar2.zoom.GetCurSel() == 0) ApplyZoom();
}

void SubDlg::UpdateToolbarState() {
  CHARFORMAT2 cf;
  const DWORD m = text.GetCharFormat(cf);
  CToolBarCtrl& b1 = bar1.GetToolBarCtrl();
  auto mirror = [&](DWORD mask, DWORD effect, BOOL& state, UINT id) {
    if (!(m & mask)) return;
    state = (cf.dwEffects & effect) ? TRUE : FALSE;
    b1.CheckButton(int(id), state);
  };
  mirror(CFM_BOLD, CFE_BOLD, bold, 11503);
  mirror(CFM_ITALIC, CFE_ITALIC, italic, 11504);
  mirror(CFM_UNDERLINE, CFE_UNDERLINE, underline, 11505);
  subscript = (cf.dwEffects & CFE_SUBSCRIPT) ? TRUE : FALSE;
  superscript = (cf.dwEffects & CFE_SUPERSCRIPT) ? TRUE : FALSE;
  b1.CheckButton(11526, subscript);
  b1.CheckButton(11527, superscript);
  if (m & CFM_FACE) {
    symbolFont = CString(cf.szFaceName) == "Symbol";
    b1.CheckButton(40049, symbolFont);
  }
  bar2.height.SetWindowText((m & CFM_SIZE) ? std::to_string(cf.yHeight / 20).c_str() : "");
  if (m & CFM_COLOR) {
    formula = cf.crTextColor == text.formulaColour && !(cf.dwEffects & CFE_AUTOCOLOR);
    b1.CheckButton(11525, formula);
  }
  PARAFORMAT2 pf;
  const DWORD pm = text.GetParaFormat(pf);
  CToolBarCtrl& b2 = bar2.GetToolBarCtrl();
  numbering = (pm & PFM_NUMBERING) ? pf.wNumbering : 0;
  b2.CheckButton(11532, (pm & PFM_NUMBERING) && pf.wNumbering == 1);
  alignment = -1;
  if (pm & PFM_ALIGNMENT)
    alignment = pf.wAlignment == PFA_LEFT      ? 0
                : pf.wAlignment == PFA_CENTER  ? 1
                : pf.wAlignment == PFA_RIGHT   ? 2
                : pf.wAlignment == PFA_JUSTIFY ? 3
                                               : -1;
  const UINT alignIds[] = {11506, 11507, 11509, 11528};
  for (int i = 0; i < 4; ++i) b2.CheckButton(int(alignIds[i]), alignment == i);
  style = (pm & PFM_STYLE) ? std::abs(pf.sStyle) - 1 : -1;
  bar2.style.SetCurSel(style);
  startIndent = (pm & PFM_STARTINDENT) ? pf.dxStartIndent : 0;
  offset = (pm & PFM_OFFSET) ? pf.dxOffset : 0;
  lineSpacing = (pm & PFM_LINESPACING) ? (pf.dyLineSpacing == 0 ? 0 : pf.dyLineSpacing / 10 - 2) : -1;
}

void SubDlg::ToggleEffect(UINT id) {
  const BOOL on = bar1.GetToolBarCtrl().IsButtonChecked(int(id));
  switch (id) {
    case 11503:
      bold = on;
      text.SetCharEffects(CFM_BOLD, on ? CFE_BOLD : 0);
      break;
    case 11504:
      italic = on;
      text.SetCharEffects(CFM_ITALIC, on ? CFE_ITALIC : 0);
      break;
    case 11505:
      underline = on;
      text.SetCharEffects(CFM_UNDERLINE, on ? CFE_UNDERLINE : 0);
      break;
    case 11526:
      subscript = on;
      text.SetCharEffects(CFM_SUBSCRIPT, on ? CFE_SUBSCRIPT : 0);
      break;
    case 11527:
      superscript = on;
      text.SetCharEffects(CFM_SUPERSCRIPT, on ? CFE_SUPERSCRIPT : 0);
      break;
    case 40049:
      symbolFont = on;
      text.SetFaceName(on ? "Symbol" : "Arial");
      break;
    case 11525:
      formula = on;
      text.MarkFormula(on);
      break;
    default: break;
  }
}

void SubDlg::SetStyleLevel(int level) {
  style = level - 1;
  bar2.style.SetCurSel(style);
  text.SetParagraphStyle(level);
}

void SubDlg::OnTextHeight(int index) {
  if (index < 0 || index >= int(std::size(kHeights))) return;
  text.SetHeight(kHeights[index] * 20);
}

bool SubDlg::ApplyTypedHeight() {
  heightTyped_ = false;
  CString typed;
  bar2.height.GetWindowText(typed);
  int points = 0;
  if (!ReadIntegerText(typed, points) || points < 1 || points > win::kRtfMaxHalfPoints / 2) return false;
  text.SetHeight(points * 20);
  const int* listed = std::find(std::begin(kHeights), std::end(kHeights), points);
  if (listed != std::end(kHeights)) bar2.height.SetCurSel(int(listed - std::begin(kHeights)));
  return true;
}

void SubDlg::TypedHeightReturned() {
  CString typed;
  bar2.height.GetWindowText(typed);
  if (typed.Trim().IsEmpty() || ApplyTypedHeight()) {
    text.SetFocus();
    return;
  }
  CString message;
  message.Format(Tr("Die Texthöhe muss eine ganze Zahl von 1 bis %ld sein.").GetString(), win::kRtfMaxHalfPoints / 2);
  ::MessageBox(m_hWnd, message, "TQ-Skrib", MB_OK | MB_ICONEXCLAMATION);
  heightTyped_ = true;
  bar2.height.SetFocus();
  bar2.height.SetEditSel(0, -1);
}

void SubDlg::PageBreak() { text.InsertText(Tr("[Seitenumbruch]")); }

void SubDlg::SearchAgain() {
  if (!document) return;
  text.FindTextEx(document->searchText, document->matchCase != 0, document->wholeWord != 0, document->direction != 0,
                  false);
}

void SubDlg::ReplaceAgain() {
  if (!document) return;
  text.Replace(document->searchText, document->replaceText, false, true, document->matchCase != 0,
               document->wholeWord != 0, document->direction != 0);
}

bool SubDlg::Execute(UINT id) {
  CToolBarCtrl& b1 = bar1.GetToolBarCtrl();
  switch (id) {
    case 11503:
    case 11504:
    case 11505:
    case 11526:
    case 11527:
    case 40049:
    case 11525: ToggleEffect(id); return true;
    case 40034:
      b1.CheckButton(11525, !b1.IsButtonChecked(11525));
      ToggleEffect(11525);
      return true;
    case 11506:
    case 11507:
    case 11509:
    case 11528: {
      const int a = id == 11506 ? 0 : id == 11507 ? 1 : id == 11509 ? 2 : 3;
      const WORD values[] = {PFA_LEFT, PFA_CENTER, PFA_RIGHT, PFA_JUSTIFY};
      alignment = a;
      text.SetAlignment(values[a]);
      UpdateToolbarState();
      return true;
    }
    case 40036: SetStyleLevel(1); return true;
    case 40037:
    case 40038:
    case 40039:
    case 40040:
    case 40041: SetStyleLevel(int(id - 40036) + 1); return true;
    case 40045:
    case 40046:
    case 40047:
    case 40048: SetStyleLevel(int(id - 40045) + 7); return true;
    case 11533:
      TransferData(TRUE);
      UpdateToolbarState();
      text.SetIndent(startIndent + 567, offset);
      return true;
    case 11534:
      TransferData(TRUE);
      UpdateToolbarState();
      text.SetIndent(std::max(0L, startIndent - 567), std::max(0L, offset));
      return true;
    case 11532: {
      const bool on = numbering != 1;
      text.SetNumbering(on ? PFN_BULLET : 0, PFNS_PERIOD, 227);
      text.SetIndent(0, on ? 227 : 0);
      UpdateToolbarState();
      return true;
    }
    case 11531: {
      CMenu menu;
      menu.CreatePopupMenu();
      const char* items[] = {"Keine Numerierung", "(1, 2, 3, 4, ...)",     "(a, b, c, d, ...)",
                             "(A, B, C, D, ...)", "(i, ii, iii, iv, ...)", "(I, II, III, IV, ...)"};
      for (int i = 0; i < 6; ++i) {
        const bool checked = i == 0 ? numbering <= 1 : numbering == i + 1;
        menu.AppendMenu(MF_STRING | (checked ? MF_CHECKED : 0), UINT(i + 1), Tr(items[i]));
      }
      CPoint at;
      ::GetCursorPos(&at);
      const UINT choice = UINT(menu.TrackPopupMenu(TPM_RETURNCMD | TPM_LEFTALIGN, at.x, at.y, this));
      if (choice == 0) return true;
      const WORD kind = choice == 1 ? 0 : WORD(choice);
      text.SetNumbering(kind, PFNS_PERIOD, 567);
      text.SetIndent(0, kind ? 567 : 0);
      UpdateToolbarState();
      return true;
    }
    case 11530: {
      CMenu menu;
      menu.CreatePopupMenu();
      const char* items[] = {"1 - facher Zeilenabstand", "1.5 - facher Zeilenabstand", "2 - facher Zeilenabstand"};
      for (int i = 0; i < 3; ++i)
        menu.AppendMenu(MF_STRING | (lineSpacing == i ? MF_CHECKED : 0), UINT(i + 1), Tr(items[i]));
      CPoint at;
      ::GetCursorPos(&at);
      const UINT choice = UINT(menu.TrackPopupMenu(TPM_RETURNCMD | TPM_LEFTALIGN, at.x, at.y, this));
      if (choice == 0) return true;
      lineSpacing = int(choice) - 1;
      text.SetLineSpacing(lineSpacing);
      return true;
    }
    case 11529: text.SendMessage(WM_CUT); return true;
    case 11535: text.SendMessage(WM_COPY); return true;
    case 11536: text.SendMessage(WM_PASTE); return true;
    case 11537: text.SendMessage(EM_UNDO); return true;
    case 11538: text.Redo(); return true;
    case 11544: Refresh(-1); return true;
    case 40001: PageBreak(); return true;
    case 40033:
      if (IsWindowVisible()) BaseData::ShowHelpTopic("tq-skrib.chm", "H_ufig_gestellte_Fragen.htm");
      return true;
    case 40035: SearchAgain(); return true;
    case 40042: ReplaceAgain(); return true;
    case 40050: {
      CPopupMenuBuilder menu;
      menu.AddItem(Tr("Sonderzeichen"), 310);
      menu.AddItem(Tr("Datenbank"), 313);
      menu.AddItem(Tr("Dokument") + "\\" + Tr("Aktuelles Projekt"), 330);
      menu.AddItem(Tr("Dokument") + "\\" + Tr("Anwendervorlage"), 331);
      menu.AddItem(Tr("Dokument") + "\\" + Tr("Bibliothek"), 332);
      menu.AddItem(Tr("Übernahmeprotokoll"), 340);
      menu.AddItem(Tr("Seitenumbruch"), 341);
      CPoint at;
      ::GetCursorPos(&at);
      const UINT choice = menu.Track(at.x, at.y, m_hWnd);
      if (choice == 310) ShowSymbolDialog();
      if (choice == 313) DatabaseInsert();
      if (choice >= 330 && choice <= 332) ImportDocument(int(choice) - 330);
      if (choice == 340) LoadTransferProtocol();
      if (choice == 341) PageBreak();
      return true;
    }
    default: return ExecuteDialogCommand(id);
  }
}

void SubDlg::BuildContextMenu(CPopupMenuBuilder& menu, CStringArray& names) {
  menu.AddItem(Tr("Kopieren"), 100);
  menu.AddItem(Tr("Einfügen"), 101);
  menu.AddItem(Tr("Aussschneiden"), 102);
  menu.AddItem(Tr("Als Baustein speichern"), 103);
  menu.AddItem(Tr("Löschen"), 104);
  menu.AddItem(Tr("Alles Löschen"), 105);
  menu.AddItem("-", 0, TRUE);
  menu.AddItem(Tr("Formel"), 107, FALSE, formula);
  menu.AddItem(Tr("Setze Bereich für SUMME"), 108);
  for (int i = 0; i <= 9; ++i)
    menu.AddItem(
        Tr("Formatvorlage") + "\\" + (i == 0 ? Tr("Standard") : Tr(("Überschrift " + std::to_string(i)).c_str())),
        UINT(200 + i), FALSE, style == i);
  CString shownHeight;
  bar2.height.GetWindowText(shownHeight);
  for (int i = 0; i < int(std::size(kHeights)); ++i)
    menu.AddItem(Tr("Texthöhe") + "\\" + std::to_string(kHeights[i]).c_str(), UINT(210 + i), FALSE,
                 shownHeight == std::to_string(kHeights[i]).c_str());
  const char* aligns[] = {"Links", "Zentrisch", "Rechts", "Block"};
  for (int i = 0; i < 4; ++i)
    menu.AddItem(Tr("Ausrichtung") + "\\" + Tr(aligns[i]), UINT(300 + i), FALSE, alignment == i);
  const char* effects[] = {"Fett", "Kursiv", "Unterstrichen", "Hochgestellt", "Tiefgestellt"};
  const BOOL states[] = {bold, italic, underline, superscript, subscript};
  for (int i = 0; i < 5; ++i) menu.AddItem(Tr("Formatierung") + "\\" + Tr(effects[i]), UINT(304 + i), FALSE, states[i]);
  menu.AddItem(Tr("Tabellenbreiten ändern"), 309);
  menu.AddItem(Tr("In Ausgabe verbergen"), 106);
  menu.AddItem("--", 0, TRUE);
  menu.AddItem(Tr("Einfügen ") + "\\" + Tr("Sonderzeichen"), 310);
  menu.AddItem(Tr("Einfügen ") + "\\" + Tr("Tabelle"), 311);
  menu.AddItem(Tr("Einfügen ") + "\\" + Tr("Datenbank"), 313);
  menu.AddItem(Tr("Einfügen ") + "\\" + Tr("Dokument") + "\\" + Tr("Aktuelles Projekt"), 330);
  menu.AddItem(Tr("Einfügen ") + "\\" + Tr("Dokument") + "\\" + Tr("Anwendervorlage"), 331);
  menu.AddItem(Tr("Einfügen ") + "\\" + Tr("Dokument") + "\\" + Tr("Bibliothek"), 332);
  menu.AddItem(Tr("Einfügen ") + "\\" + Tr("Übernahmeprotokoll"), 340);
  menu.AddItem(Tr("Einfügen ") + "\\" + Tr("Seitenumbruch"), 341);
  names.RemoveAll();
  if (!position) return;
  CStringArray descriptions;
  position->variables.GetDescriptions(descriptions, names);
  menu.AddItem("---", 0, TRUE);
  menu.AddItem(Tr("Wertübernahme") + "\\" + Tr("Einzelwert direkt übernehmen"), 400);
  if (descriptions.GetSize() > 0) menu.AddItem(Tr("Wertübernahme") + "\\----", 0, TRUE);
  for (INT_PTR i = 0; i < descriptions.GetSize(); ++i) {
    CString line = descriptions[i];
    const int slash = line.Find('/');
    if (slash >= 0) line.SetAt(slash, '\\');
    menu.AddItem(Tr("Wertübernahme") + "\\" + line, UINT(410 + i));
  }
}

void SubDlg::ShowContextMenu(CPoint at) {
  UpdateToolbarState();
  CPopupMenuBuilder menu;
  CStringArray names;
  BuildContextMenu(menu, names);
  const UINT choice = menu.Track(at.x, at.y, m_hWnd);
  if (choice >= 410 && INT_PTR(choice - 410) < names.GetSize())
    text.InsertText(names[INT_PTR(choice - 410)]);
  else if (choice != 0)
    OnCommand(WPARAM(0x10000 | choice), 0);
  Invalidate();
}

BOOL SubDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  const UINT code = HIWORD(wParam);
  if (lParam != 0 && id == kTextId) {
    // Typing makes the document hold text at once, not only at the next transfer.
    if (code == EN_CHANGE && document && text.GetTextLength() > 0) document->isEmpty = 0;
    return TRUE;
  }
  if (lParam != 0 && (id == 11522 || id == 11524 || id == 11546)) {
    // A row lit in an open list is no choice: the box says its choice again once the list closes on it, and an
    // Escape there closes the list on what stood before.
    if (code == CBN_SELCHANGE && ::SendMessage(HWND(lParam), CB_GETDROPPEDSTATE, 0, 0)) return TRUE;
    if (code == CBN_SELCHANGE) {
      if (id == 11522) text.SetParagraphStyle(bar2.style.GetCurSel() + 1);
      if (id == 11524) {
        heightTyped_ = false;
        OnTextHeight(bar2.height.GetCurSel());
      }
      if (id == 11546) ApplyZoom();
    }
    if (id == 11524 && code == CBN_EDITCHANGE) heightTyped_ = true;
    // Leaving the box takes a size typed there; other text gives way to the selection's size again.
    if (id == 11524 && code == CBN_KILLFOCUS && heightTyped_ && !ApplyTypedHeight()) UpdateToolbarState();
    return TRUE;
  }
  // Context menu choices (sent with code 1 so they cannot be taken for toolbar commands).
  if (code == 1 && id < 500) {
    CToolBarCtrl& b1 = bar1.GetToolBarCtrl();
    if (id == 100) text.SendMessage(WM_COPY);
    if (id == 101) text.SendMessage(WM_PASTE);
    if (id == 102) text.SendMessage(WM_CUT);
    if (id == 103) SaveBuildingBlock();
    if (id == 104) text.InsertText("");
    if (id == 105 && ::MessageBox(m_hWnd, Tr("Soll der gesamte Text wirklich gelöscht werden?"), "TQ-Skrib",
                                  MB_YESNO | MB_ICONQUESTION) == IDYES) {
      text.SetSel(0, -1);
      text.InsertText("");
    }
    if (id == 106) text.MarkHidden();
    if (id == 107) Execute(40034);
    if (id == 108) text.MarkSumRange();
    if (id >= 200 && id <= 209) SetStyleLevel(int(id) - 199);
    if (id >= 210 && id <= 222) {
      bar2.height.SetCurSel(int(id) - 210);
      OnTextHeight(int(id) - 210);
    }
    if (id >= 300 && id <= 303) Execute(id == 300 ? 11506 : id == 301 ? 11507 : id == 302 ? 11509 : 11528);
    if (id >= 304 && id <= 308) {
      const UINT buttons[] = {11503, 11504, 11505, 11527, 11526};
      const UINT button = buttons[id - 304];
      b1.CheckButton(int(button), !b1.IsButtonChecked(int(button)));
      ToggleEffect(button);
    }
    if (id == 309) ChangeTable();
    if (id == 310) ShowSymbolDialog();
    if (id == 311) NewTable();
    if (id == 313) DatabaseInsert();
    if (id >= 330 && id <= 332) ImportDocument(int(id) - 330);
    if (id == 340) LoadTransferProtocol();
    if (id == 341) PageBreak();
    if (id == 400) SingleValueImport();
    return TRUE;
  }
  if (Execute(id)) return TRUE;
  return CDialog::OnCommand(wParam, lParam);
}

BOOL SubDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
  if (hdr && hdr->code == TTN_NEEDTEXT) {
    // The command's (or control's) id names its string resource; the text is cut to the tip's own buffer.
    auto* info = reinterpret_cast<NMTTDISPINFO*>(lParam);
    char loaded[257] = {};
    ::LoadString(nullptr, UINT(hdr->idFrom), loaded, sizeof loaded);
    const CString shown = loaded[0] ? Tr(loaded) : CString();
    std::snprintf(info->szText, sizeof info->szText, "%s", shown.GetString());
    info->lpszText = info->szText;
    if (hdr->hwndFrom && ::IsWindow(hdr->hwndFrom))
      ::SetWindowPos(hdr->hwndFrom, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
  }
  if (hdr && hdr->idFrom == kTextId && hdr->code == EN_SELCHANGE) {
    UpdateToolbarState();
    return TRUE;
  }
  return CDialog::OnNotify(wParam, lParam, result);
}

BOOL SubDlg::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_RBUTTONDOWN) {
    CPoint at;
    ::GetCursorPos(&at);
    ShowContextMenu(at);
    return TRUE;
  }
  if (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) {
    const bool alt = ::GetKeyState(VK_MENU) < 0, ctrl = ::GetKeyState(VK_CONTROL) < 0,
               shift = ::GetKeyState(VK_SHIFT) < 0;
    for (const Accel& a : kAccels)
      if (a.vk == msg->wParam && a.alt == alt && a.ctrl == ctrl && a.shift == shift) {
        Execute(a.command);
        return TRUE;
      }
  }
  // Return in the text-height box sets the size there; it is not the dialog's OK. Escape in a box drops what was
  // typed there and goes back to the text; it is not the dialog's cancel. With the list down the box itself takes
  // either: Return the row lit, Escape closes the list.
  if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
    for (CComboBox* box : {&bar2.style, &bar2.height, &bar2.zoom}) {
      if (!box->m_hWnd || (msg->hwnd != box->m_hWnd && !::IsChild(box->m_hWnd, msg->hwnd)) || box->GetDroppedState())
        continue;
      if (msg->wParam == VK_ESCAPE) {
        heightTyped_ = false;
        UpdateToolbarState();
        text.SetFocus();
        return TRUE;
      }
      if (box == &bar2.height) {
        TypedHeightReturned();
        return TRUE;
      }
    }
  if (msg->hwnd == text.m_hWnd && text.PreTranslateMessage(msg)) return TRUE;
  return CDialog::PreTranslateMessage(msg);
}

LRESULT SubDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) {
    const LRESULT r = CDialog::WindowProc(message, wParam, lParam);
    Resize();
    return r;
  }
  if (message == WM_SHOWWINDOW) {
    const LRESULT r = CDialog::WindowProc(message, wParam, lParam);
    // The symbol dialog follows the editor; while hidden with it, it stays marked as shown.
    if (symbols_ && symbols_->m_hWnd) {
      if (wParam && symbolShown) symbols_->ShowWindow(SW_SHOW);
      if (!wParam) symbols_->ShowWindow(SW_HIDE);
    }
    if (text.m_hWnd) text.Invalidate();
    Invalidate();
    return r;
  }
  if (message == WM_MOUSEWHEEL && (LOWORD(wParam) & MK_CONTROL)) {
    ShowZoom(text.GetZoom());
    return 0;
  }
  return CDialog::WindowProc(message, wParam, lParam);
}
