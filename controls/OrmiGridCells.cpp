#include "controls/OrmiGridCells.h"

#include <algorithm>
#include <cctype>

#include "controls/GridCtrl.h"
#include "platform/rtfx/rtfx.h"
#include "platform/win/base/codepage.h"

IMPLEMENT_DYNCREATE(COrmiGridCellRadio, CGridCellCheck)
IMPLEMENT_DYNCREATE(COrmiGridCellRich, CGridCell)

// ---- radio ----------------------------------------------------------------------------------------------------------

CRect COrmiGridCellRadio::GetCheckPlacement() const {
  const int side = ::GetSystemMetrics(SM_CXHSCROLL);
  const int margin = int(GetMargin());
  CRect moved = m_Rect;
  moved.OffsetRect(margin - 1, margin - 1);
  const int spare = m_Rect.Width() - side;
  CRect box;
  box.top = moved.top;
  box.bottom = box.top + side;
  box.left = spare / 2 > 0 ? moved.left + spare / 2 : moved.left;
  box.right = box.left + side;
  return box;
}

UINT COrmiGridCellRadio::FrameState() const {
  return DFCS_BUTTONRADIO | (m_bChecked ? DFCS_CHECKED : 0) | (m_bLocked ? DFCS_INACTIVE : 0);
}

BOOL COrmiGridCellRadio::Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd) {
  BOOL drawn = CGridCell::Draw(dc, row, col, rect, eraseBkgnd);
  m_Rect = rect;
  CRect box = GetCheckPlacement();
  box.right--;
  box.bottom--;
  dc->DrawFrameControl(&box, DFC_BUTTON, FrameState());
  return drawn;
}

void COrmiGridCellRadio::OnClick(CPoint point) {
  if (m_bLocked) return;
  CRect box = GetCheckPlacement();
  box.OffsetRect(-m_Rect.left, -m_Rect.top);
  if (box.PtInRect(point)) Toggle();
}

// ---- rich text ------------------------------------------------------------------------------------------------------

namespace {

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

// The Greek letter the Symbol font shows for a Latin letter.
char32_t SymbolLetter(char c) {
  static const char32_t lower[26] = {0x3B1, 0x3B2, 0x3C7, 0x3B4, 0x3B5, 0x3C6, 0x3B3, 0x3B7, 0x3B9,
                                     0x3D5, 0x3BA, 0x3BB, 0x3BC, 0x3BD, 0x3BF, 0x3C0, 0x3B8, 0x3C1,
                                     0x3C3, 0x3C4, 0x3C5, 0x3D6, 0x3C9, 0x3BE, 0x3C8, 0x3B6};
  static const char32_t upper[26] = {0x391, 0x392, 0x3A7, 0x394, 0x395, 0x3A6, 0x393, 0x397, 0x399,
                                     0x3D1, 0x39A, 0x39B, 0x39C, 0x39D, 0x39F, 0x3A0, 0x398, 0x3A1,
                                     0x3A3, 0x3A4, 0x3A5, 0x3C2, 0x3A9, 0x39E, 0x3A8, 0x396};
  if (c >= 'a' && c <= 'z') return lower[c - 'a'];
  if (c >= 'A' && c <= 'Z') return upper[c - 'A'];
  return char32_t(static_cast<unsigned char>(c));
}

std::string Rgb(COLORREF c) {
  return "\\red" + std::to_string(GetRValue(c)) + "\\green" + std::to_string(GetGValue(c)) + "\\blue" +
         std::to_string(GetBValue(c));
}

}  // namespace

CString COrmiGridCellRich::TranslateMarkup(const CString& text) {
  static const char* const kSteps[][2] = {
      {"\\super ", "\\super \\fs20 "},
      {"\\sub ", "\\sub \\fs20 "},
      {"\\sub0", "\\nosupersub"},
      {"\\super0", "\\nosupersub"},
      {"\\nosupersub", "\\nosupersub\\fs0"},
      {"\\default ", "\\f0 "},
      {"\\default0", "\\f0"},
      {"\\defaultfont ", "\\f0 "},
      {"\\defaultfont0", "\\f0"},
      {"\\arial ", "\\f1 "},
      {"\\arial0", "\\f0"},
      {"\\symbol ", "\\f2 "},
      {"\\symbol0", "\\f0"},
      {"\\times ", "\\f3 "},
      {"\\times0", "\\f0"},
      {"\\greek ", "\\f2 "},
      {"\\greek0", "\\f0"},
      {"\\fs0 ", "\\fs16 "},
      {"\\defaultsize ", "\\fs16 "},
      {"\\cfdefault", "\\cf1"},
      {"\\cfblack", "\\cf3"},
      {"\\cfwhite", "\\cf4"},
      {"\\cfred", "\\cf5"},
      {"\\cfgreen", "\\cf6"},
      {"\\cfblue", "\\cf7"},
  };
  std::string out = text.GetString();
  for (const auto& step : kSteps) ReplaceAll(out, step[0], step[1]);
  return CString(out.c_str());
}

CString COrmiGridCellRich::BuildRtfDocument(const CString& text) const {
  std::string face;
  if (CGridCtrl* grid = GetGrid(); grid && grid->GetSafeHwnd()) {
    if (auto font = reinterpret_cast<HFONT>(grid->SendMessage(WM_GETFONT))) {
      LOGFONT lf{};
      if (::GetObject(font, sizeof(lf), &lf)) face = lf.lfFaceName;
    }
  }
  if (face.empty()) face = "Tahoma";
  const COLORREF fore = GetTextClr() & 0xFFFFFF;
  const COLORREF back = (GetBackClr() & 0xFF000000) ? RGB(255, 255, 255) : GetBackClr();
  const DWORD format = GetFormat();
  std::string align = "\\ql";
  if (format & DT_CENTER) align += "\\qc";
  if (format & DT_RIGHT) align += "\\qr";
  std::string doc =
      "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}" +
      face +
      ";}{\\f1\\fswiss\\fcharset0\\fprq2{\\*\\panose 020b0604020202020204}Arial;}{\\f2\\froman\\fcharset2\\fprq2{\\*"
      "\\panose 05050102010706020507}Symbol;}{\\f3\\fswiss\\fcharset0\\fprq2{\\*\\panose 020b0604020202020204}Times "
      "New Roman;}}{\\colortbl;" +
      Rgb(fore) + ";" + Rgb(back) +
      ";\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red255\\green0\\blue0;\\red0\\green255\\blue0;\\red0"
      "\\green0\\blue255;}\\deflang1033\\pard";
  for (int tab = 360; tab <= 6480; tab += 360) doc += "\\tx" + std::to_string(tab);
  doc += "\\plain\\f0\\fs16\\cf1\\cb2" + align + " " + rtfx::EscapeText(TranslateMarkup(text).GetString()) + "\\par }";
  return CString(doc.c_str());
}

std::vector<RichRun> COrmiGridCellRich::Render(const CString& translated, COLORREF text, COLORREF back) {
  const COLORREF table[8] = {text,           text,           back,          RGB(0, 0, 0), RGB(255, 255, 255),
                             RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
  std::vector<RichRun> runs;
  RichRun current;
  current.colour = text;
  auto flush = [&] {
    if (!current.text.empty()) runs.push_back(current);
    current.text.clear();
  };
  const std::string s = translated.GetString();
  for (std::size_t i = 0; i < s.size();) {
    if (s[i] != '\\') {
      if (current.symbol)
        win::AppendUtf8(current.text, SymbolLetter(s[i]));
      else
        current.text += s[i];
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    while (j < s.size() && std::isalpha(static_cast<unsigned char>(s[j]))) ++j;
    const std::string word = s.substr(i + 1, j - i - 1);
    if (word.empty()) {  // an escaped character
      if (j < s.size()) current.text += s[j];
      i = j + 1;
      continue;
    }
    std::size_t k = j;
    if (k < s.size() && s[k] == '-') ++k;
    while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) ++k;
    const int number = k > j ? std::atoi(s.substr(j, k - j).c_str()) : 0;
    if (k < s.size() && s[k] == ' ') ++k;  // the blank ending a control word is no text
    i = k;
    RichRun next = current;
    next.text.clear();
    if (word == "sub")
      next.shift = -1;
    else if (word == "super")
      next.shift = 1;
    else if (word == "nosupersub")
      next.shift = 0;
    else if (word == "f")
      next.symbol = number == 2;
    else if (word == "cf")
      next.colour = table[std::clamp(number, 0, 7)];
    else
      continue;
    if (next.shift != current.shift || next.symbol != current.symbol || next.colour != current.colour) {
      flush();
      current = next;
    }
  }
  flush();
  return runs;
}

BOOL COrmiGridCellRich::Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd) {
  // The base paints background, frame and focus; the text is ours.
  const CString source = m_strText;
  m_strText.Empty();
  BOOL drawn = CGridCell::Draw(dc, row, col, rect, eraseBkgnd);
  m_strText = source;
  m_document = BuildRtfDocument(source);
  const COLORREF fore = (GetTextClr() & 0xFF000000) ? RGB(0, 0, 0) : GetTextClr();
  const COLORREF back = (GetBackClr() & 0xFF000000) ? RGB(255, 255, 255) : GetBackClr();
  m_runs = Render(TranslateMarkup(source), fore, back);

  LOGFONT lf{};
  if (const LOGFONT* own = GetFont()) lf = *own;
  CFont normal, small;
  normal.CreateFontIndirect(&lf);
  LOGFONT lfSmall = lf;
  lfSmall.lfHeight = lf.lfHeight * 7 / 10;
  if (lfSmall.lfHeight == 0) lfSmall.lfHeight = -9;
  small.CreateFontIndirect(&lfSmall);
  CFont* old = dc->SelectObject(&normal);
  TEXTMETRIC tm{};
  dc->GetTextMetrics(&tm);
  const int lineHeight = tm.tmHeight;
  const int baseTop = rect.top + 2 + std::max(0, (rect.Height() - 2 - lineHeight) / 2);
  int width = 0;
  for (const RichRun& run : m_runs) {
    dc->SelectObject(run.shift ? &small : &normal);
    width += dc->GetTextExtent(run.text.c_str(), int(run.text.size())).cx;
  }
  const DWORD format = GetFormat();
  int x = rect.left + 2 + int(GetMargin());
  if (format & DT_RIGHT)
    x = std::max(x, int(rect.right) - int(GetMargin()) - width);
  else if (format & DT_CENTER)
    x = std::max(x, int(rect.left + rect.right - width) / 2);
  dc->SetBkMode(TRANSPARENT);
  CRect clip(rect.left + 2, rect.top + 2, rect.right - 1, rect.bottom - 1);
  for (const RichRun& run : m_runs) {
    dc->SelectObject(run.shift ? &small : &normal);
    const int y = run.shift > 0 ? baseTop - lineHeight / 5 : run.shift < 0 ? baseTop + lineHeight * 2 / 5 : baseTop;
    dc->SetTextColor(run.colour);
    dc->ExtTextOut(x, y, ETO_CLIPPED, &clip, run.text.c_str(), UINT(run.text.size()), nullptr);
    x += dc->GetTextExtent(run.text.c_str(), int(run.text.size())).cx;
  }
  dc->SelectObject(old);
  return drawn;
}
