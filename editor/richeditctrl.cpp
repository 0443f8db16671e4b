#include "editor/richeditctrl.h"

#include <fstream>
#include <iterator>

#include "document/rtfheader.h"
#include "framework/utilities.h"
#include "platform/rtfx/rtfx.h"
#include "platform/tolkar/tolkar.h"
#include "platform/win/base/paths.h"

IMPLEMENT_DYNAMIC(OleRichEditCtrl, CRichEditCtrl)

CString EditorText(const char* context, const char* text) {
  return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_Skrib", context, text));
}

BOOL OleRichEditCtrl::GetSel(long& start, long& end) const {
  CRichEditCtrl::GetSel(start, end);
  return end > start;
}

void OleRichEditCtrl::StreamOut(CRtfChunkList& list, bool selectionOnly) {
  list.Clear();
  list.SetText(StreamOutRtf(selectionOnly));
}

void OleRichEditCtrl::StreamIn(CRtfChunkList& list, bool selectionOnly) {
  // A text whose groups were left open is read with them closed, rather than lost for a new document.
  if (list.GetCount() != 1 ||
      !(StreamInRtf(list.Text(), selectionOnly) || StreamInRtf(BalancedRtf(list.Text()), selectionOnly))) {
    if (!selectionOnly) NewDocument();
    return;
  }
  OnTextLoaded();
}

void OleRichEditCtrl::NewDocument() {
  std::ifstream in(win::JoinPath(win::JoinPath(GetUserDataDir().str(), "Vorlagen"), "Freie Textvorlage.rtf"),
                   std::ios::binary);
  const std::string rtf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // A missing or unreadable template leaves an empty text in the default format.
  if (rtf.empty() || !StreamInRtf(rtf, false)) StreamInRtf("{\\rtf1\\ansi\\ansicpg1252\\deff0}", false);
  SetEventMask(ENM_SELCHANGE | ENM_KEYEVENTS);
  CRichEditCtrl::SetSel(0, 0);
  CHARFORMAT2 cf;
  cf.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_SUBSCRIPT | CFM_FACE | CFM_SIZE;
  std::snprintf(cf.szFaceName, sizeof cf.szFaceName, "Arial");
  cf.yHeight = 200;
  SetDefaultCharFormat(cf);
  SetParagraphStyle(1);
  OnTextLoaded();
}

int OleRichEditCtrl::FindText(const char* text, bool silent) { return FindTextEx(text, false, false, true, silent); }

int OleRichEditCtrl::FindTextEx(const char* text, bool matchCase, bool wholeWord, bool down, bool silent) {
  long start = 0, end = 0;
  CRichEditCtrl::GetSel(start, end);
  long hitEnd = 0;
  // A selected hit is passed over so that searching again moves on.
  const long hit = CRichEditCtrl::FindText(text ? text : "", matchCase, wholeWord, down, down ? end : start, hitEnd);
  if (m_hWnd) SetFocus();
  if (hit < 0) {
    if (!silent)
      ::MessageBox(m_hWnd, EditorText("OleRichEditCtrl", "Suchtext nicht gefunden!"), "TQ-Skrib",
                   MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  CRichEditCtrl::SetSel(hit, hitEnd);
  return 1;
}

void OleRichEditCtrl::Replace(const char* text, const char* replacement, bool all, bool confirm, bool matchCase,
                              bool wholeWord, bool down) {
  long start = 0, end = 0;
  CRichEditCtrl::GetSel(start, end);
  long from = down ? start : end;
  for (;;) {
    long hitEnd = 0;
    const long hit = CRichEditCtrl::FindText(text ? text : "", matchCase, wholeWord, down, from, hitEnd);
    if (hit < 0) break;
    CRichEditCtrl::SetSel(hit, hitEnd);
    int answer = IDYES;
    if (confirm)
      answer = ::MessageBox(m_hWnd, EditorText("OleRichEditCtrl", "Diesen Text ersetzen?"), "TQ-Skrib",
                            MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL) return;
    if (answer == IDYES) {
      InsertText(replacement ? replacement : "");
      CRichEditCtrl::GetSel(start, end);
      from = down ? end : hit;
    } else {
      // Declined: the next search starts past this hit, not on it again.
      from = down ? hitEnd : hit;
    }
    if (!all) return;
  }
  // The search ran out of hits; replacing all without asking says nothing about it.
  if (!(all && !confirm))
    ::MessageBox(m_hWnd, EditorText("OleRichEditCtrl", "Suchtext nicht gefunden!"), "TQ-Skrib",
                 MB_OK | MB_ICONINFORMATION);
}

int OleRichEditCtrl::GetZoom() const {
  int num = 0, den = 0;
  CRichEditCtrl::GetZoom(num, den);
  if (den == 0) return 100;  // no zoom set
  return int(double(num) / den * 100.0 + 0.5);
}

void OleRichEditCtrl::SetZoom(int percent) { CRichEditCtrl::SetZoom(percent, 100); }

namespace {
void SetFormat(OleRichEditCtrl& c, const CHARFORMAT2& cf, bool asDefault, bool word = false) {
  if (asDefault)
    c.SetDefaultCharFormat(cf);
  else if (word)
    c.SetWordCharFormat(cf);
  else
    c.SetSelectionCharFormat(cf);
  if (c.m_hWnd) c.SetFocus();
}
}  // namespace

void OleRichEditCtrl::SetCharEffects(DWORD mask, DWORD effects, bool asDefault) {
  CHARFORMAT2 cf;
  cf.dwMask = mask;
  cf.dwEffects = effects;
  SetFormat(*this, cf, asDefault);
}

void OleRichEditCtrl::SetColor(COLORREF colour, bool asDefault) {
  CHARFORMAT2 cf;
  cf.dwMask = CFM_COLOR;
  cf.crTextColor = colour;
  SetFormat(*this, cf, asDefault);
}

void OleRichEditCtrl::SetFaceName(const char* face, bool asDefault) {
  CHARFORMAT2 cf;
  cf.dwMask = CFM_FACE;
  std::snprintf(cf.szFaceName, sizeof cf.szFaceName, "%s", face ? face : "Arial");
  SetFormat(*this, cf, asDefault);
}

void OleRichEditCtrl::SetHeight(int twips, bool asDefault) {
  CHARFORMAT2 cf;
  cf.dwMask = CFM_SIZE;
  cf.yHeight = twips;
  SetFormat(*this, cf, asDefault, true);
}

void OleRichEditCtrl::SetAlignment(WORD alignment) {
  PARAFORMAT2 pf;
  pf.dwMask = PFM_ALIGNMENT;
  pf.wAlignment = alignment;
  SetParaFormat(pf);
}

void OleRichEditCtrl::SetNumbering(WORD kind, WORD style, WORD tab) {
  PARAFORMAT2 pf;
  pf.dwMask = PFM_NUMBERING | PFM_NUMBERINGSTYLE | PFM_NUMBERINGTAB | PFM_NUMBERINGSTART;
  pf.wNumbering = kind;
  pf.wNumberingStyle = style;
  pf.wNumberingTab = tab;
  pf.wNumberingStart = 1;
  SetParaFormat(pf);
}

void OleRichEditCtrl::SetIndent(long startIndent, long offset) {
  PARAFORMAT2 pf;
  pf.dwMask = PFM_STARTINDENT;
  pf.dxStartIndent = startIndent;
  SetParaFormat(pf);
  pf.dwMask = PFM_OFFSET;
  pf.dxOffset = offset;
  SetParaFormat(pf);
}

void OleRichEditCtrl::SetLineSpacing(int rule) {
  PARAFORMAT2 pf;
  pf.dwMask = PFM_LINESPACING;
  pf.bLineSpacingRule = BYTE(rule);
  pf.dyLineSpacing = (rule + 2) * 10;
  SetParaFormat(pf);
}

void OleRichEditCtrl::SetParagraphStyle(int level) { SetHeading(level); }

// Text of the program (UTF-8) shows as it is written, also where it replaces letters of the Symbol font.
void OleRichEditCtrl::InsertText(const char* text) { InsertUnicode(text ? text : "", true); }

void OleRichEditCtrl::InsertTable(int rows, int columns, const std::vector<int>& widths,
                                  const std::vector<std::string>& cells) {
  std::string rtf;
  BuildTableRtf(rows, columns, widths, cells, rtf);
  StreamInRtf(rtf, true);
}

BOOL OleRichEditCtrl::PreTranslateMessage(MSG* msg) {
  if (msg->hwnd != m_hWnd) return FALSE;
  if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB) {
    ReplaceSel("\t", TRUE);
    return TRUE;
  }
  if (msg->message == WM_CHAR && (msg->wParam == 6 || msg->wParam == 11 || msg->wParam == 21)) {
    const DWORD bit = msg->wParam == 6 ? CFE_BOLD : msg->wParam == 11 ? CFE_ITALIC : CFE_UNDERLINE;
    CHARFORMAT2 cf;
    GetSelectionCharFormat(cf);
    SetCharEffects(bit, (cf.dwEffects & bit) ? 0 : bit);
    return TRUE;
  }
  return FALSE;
}

LRESULT OleRichEditCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CRichEditCtrl::WindowProc(message, wParam, lParam);
  // The parent hears of a Ctrl+wheel once the text is zoomed, so that it shows the new zoom.
  if (message == WM_MOUSEWHEEL && (LOWORD(wParam) & MK_CONTROL) && GetParent())
    GetParent()->SendMessage(message, wParam, lParam);
  return result;
}

void BuildTableRtf(int rows, int columns, const std::vector<int>& widths, const std::vector<std::string>& cells,
                   std::string& out) {
  out =
      "{\\rtf1\\ansi\\ansicpg1252{\\colortbl ;\\red0\\green0\\blue0;\\red7\\green13\\blue255;}{\\fonttbl{\\f0\\fswiss"
      "\\fprq2\\fcharset0 Times New Roman;}{\\f1\\fswiss\\fcharset0 Arial;}}{\\*\\generator kolumo;}\\viewkind4\\uc1"
      "\\f1\\fs20";
  int number = 0;
  for (int r = 0; r < rows; ++r) {
    out += "\\trowd\\trgaph28\\trpaddl28\\trpaddr28\\trpaddfl3\\trpaddfr3";
    int sum = 0;
    for (int c = 0; c < columns; ++c) {
      sum += c < int(widths.size()) ? widths[std::size_t(c)] : 1000;
      out += "\\cellx" + std::to_string(sum);
    }
    out += "\\pard\\intbl";
    for (int c = 0; c < columns; ++c, ++number) {
      if (number < int(cells.size()) && !cells[std::size_t(number)].empty())
        out += " " + rtfx::EscapeText(cells[std::size_t(number)]) + "\\cell";
      else
        out += "\\cell";
    }
    out += "\\row";
  }
  out += kTableRtfEnd;
}
