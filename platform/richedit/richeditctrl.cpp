#include "platform/richedit/richeditctrl.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstring>

#include "platform/win/base/numbers.h"
#include "platform/win/print/print.h"

IMPLEMENT_DYNAMIC(CRichEditCtrl, CWnd)

namespace {

using richdoc::CharFormat;
using richdoc::ParaFormat;

bool IsMark(char c) { return c == richdoc::kPara || c == richdoc::kCell || c == richdoc::kRow; }

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || (c & 0x80); }

COLORREF ColourOf(const richdoc::Document& d, int index) {
  if (index <= 0 || std::size_t(index) >= d.colours.size() || d.colours[std::size_t(index)].automatic) return 0;
  const richdoc::Colour& c = d.colours[std::size_t(index)];
  return RGB(c.r, c.g, c.b);
}

std::string ToClipboardString(HANDLE h) {
  if (!h) return {};
  const char* p = static_cast<const char*>(GlobalLock(h));
  std::string s = p ? std::string(p, strnlen(p, GlobalSize(h))) : std::string();
  GlobalUnlock(h);
  return s;
}

HGLOBAL FromString(const std::string& s) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, s.size() + 1);
  char* p = static_cast<char*>(GlobalLock(h));
  std::memcpy(p, s.c_str(), s.size() + 1);
  GlobalUnlock(h);
  return h;
}

}  // namespace

CRichEditCtrl::CRichEditCtrl() = default;

const char* CRichEditCtrl::ClassName() { return "KolumoRichText"; }

BOOL CRichEditCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  WNDCLASS existing{};
  if (!::GetClassInfo(nullptr, ClassName(), &existing)) {
    WNDCLASS wc{};
    wc.lpfnWndProc = &::DefWindowProc;
    wc.lpszClassName = ClassName();
    ::RegisterClass(&wc);
  }
  return CWnd::Create(ClassName(), nullptr, style | WS_CHILD, rect, parent, id);
}

void CRichEditCtrl::GetSel(long& start, long& end) const {
  start = selStart_;
  end = selEnd_;
}

void CRichEditCtrl::SetSel(long start, long end) {
  const long last = GetTextLength();
  if (end < 0) end = last;
  if (start < 0) start = end = last;
  start = std::clamp(start, 0L, last);
  end = std::clamp(end, 0L, last);
  if (end < start) std::swap(start, end);
  selStart_ = start;
  selEnd_ = end;
  typingSet_ = false;
  NotifySelection();
}

CString CRichEditCtrl::GetSelText() const { return CString(doc_.PlainText(int(selStart_), int(selEnd_)).c_str()); }

CString CRichEditCtrl::GetPlainText() const { return CString(doc_.PlainText(0, GetTextLength()).c_str()); }

void CRichEditCtrl::BeginChange() {
  undo_.push_back({doc_, selStart_, selEnd_});
  redo_.clear();
}

void CRichEditCtrl::Changed() {
  if (m_hWnd) {
    Invalidate();
    if (CWnd* parent = GetParent())
      parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), EN_CHANGE), LPARAM(m_hWnd));
  }
}

void CRichEditCtrl::NotifySelection() {
  scrollToCaret_ = true;
  if (!m_hWnd) return;
  Invalidate();
  CWnd* parent = GetParent();
  if (!parent || !(eventMask_ & ENM_SELCHANGE)) return;
  SELCHANGE sc{};
  sc.nmhdr.hwndFrom = m_hWnd;
  sc.nmhdr.idFrom = UINT_PTR(GetDlgCtrlID());
  sc.nmhdr.code = EN_SELCHANGE;
  sc.chrg.cpMin = selStart_;
  sc.chrg.cpMax = selEnd_;
  parent->SendMessage(WM_NOTIFY, WPARAM(sc.nmhdr.idFrom), LPARAM(&sc));
}

void CRichEditCtrl::ReplaceSel(LPCSTR text, BOOL canUndo) {
  std::string insert = text ? text : "";
  // Line ends become paragraph marks.
  std::string clean;
  for (std::size_t i = 0; i < insert.size(); ++i) {
    if (insert[i] == '\r' && i + 1 < insert.size() && insert[i + 1] == '\n') ++i;
    const char c = insert[i];
    if (c == '\n' || c == '\r')
      clean += richdoc::kPara;
    else if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
      clean += c;  // other control bytes would be taken for marks of the text
  }
  BeginChange();
  if (!canUndo) undo_.pop_back();
  CharFormat f =
      typingSet_ ? typing_ : doc_.CharAt(int(selStart_ > 0 && selStart_ == selEnd_ ? selStart_ - 1 : selStart_));
  if (selStart_ > 0 && selStart_ == selEnd_ && IsMark(doc_.text[std::size_t(selStart_ - 1)]) && !typingSet_)
    f = doc_.CharAt(int(selStart_));
  doc_.Replace(int(selStart_), int(selEnd_), clean, f);
  selStart_ = selEnd_ = selStart_ + long(clean.size());
  Changed();
  NotifySelection();
}

namespace {

// The format f changed by the masked parts of cf.
void Apply(CharFormat& f, const CHARFORMAT2& cf, richdoc::Document& d) {
  const DWORD m = cf.dwMask, e = cf.dwEffects;
  if (m & CFM_BOLD) f.bold = e & CFE_BOLD;
  if (m & CFM_ITALIC) f.italic = e & CFE_ITALIC;
  if (m & CFM_UNDERLINE) f.underline = (e & CFE_UNDERLINE) ? 1 : 0;
  if (m & CFM_HIDDEN) f.hidden = e & CFE_HIDDEN;
  if (m & CFM_SUBSCRIPT) {
    f.sub = e & CFE_SUBSCRIPT;
    f.super = !f.sub && (e & CFE_SUPERSCRIPT);
  }
  if (m & CFM_SIZE) f.size = std::max(2, int(cf.yHeight / 10));
  if (m & CFM_FACE) f.font = d.FindFont(cf.szFaceName);
  if (m & CFM_COLOR)
    f.colour = (e & CFE_AUTOCOLOR)
                   ? 0
                   : d.FindColour(GetRValue(cf.crTextColor), GetGValue(cf.crTextColor), GetBValue(cf.crTextColor));
}

}  // namespace

BOOL CRichEditCtrl::SetSelectionCharFormat(const CHARFORMAT2& cf) {
  if (selStart_ == selEnd_) {
    // An empty selection sets the format of what is typed next.
    if (!typingSet_) typing_ = doc_.CharAt(int(selStart_ > 0 ? selStart_ - 1 : 0));
    Apply(typing_, cf, doc_);
    typingSet_ = true;
    return TRUE;
  }
  BeginChange();
  for (long i = selStart_; i < selEnd_; ++i) {
    CharFormat f = doc_.CharAt(int(i));
    Apply(f, cf, doc_);
    doc_.charFormat[std::size_t(i)] = doc_.InternChar(f);
  }
  Changed();
  return TRUE;
}

BOOL CRichEditCtrl::SetWordCharFormat(const CHARFORMAT2& cf) {
  if (selStart_ != selEnd_) return SetSelectionCharFormat(cf);
  long a = selStart_, b = selStart_;
  while (a > 0 && IsWordChar(doc_.text[std::size_t(a - 1)])) --a;
  while (b < GetTextLength() && IsWordChar(doc_.text[std::size_t(b)])) ++b;
  const long s = selStart_;
  selStart_ = a;
  selEnd_ = b;
  if (a != b) SetSelectionCharFormat(cf);
  selStart_ = selEnd_ = s;
  CharFormat f = doc_.CharAt(int(s > 0 ? s - 1 : 0));
  Apply(f, cf, doc_);
  typing_ = f;
  typingSet_ = true;
  return TRUE;
}

BOOL CRichEditCtrl::SetDefaultCharFormat(const CHARFORMAT2& cf) {
  // The default is the format of the final mark, which an empty text types with.
  const int last = doc_.Length() - 1;
  CharFormat f = doc_.CharAt(last);
  Apply(f, cf, doc_);
  doc_.charFormat[std::size_t(last)] = doc_.InternChar(f);
  if (GetTextLength() == 0) typingSet_ = false;
  return TRUE;
}

DWORD CRichEditCtrl::GetSelectionCharFormat(CHARFORMAT2& cf) const {
  const long a = selStart_;
  const long b = selEnd_ > selStart_ ? selEnd_ : selStart_ + 1;
  const CharFormat first =
      selStart_ == selEnd_ && typingSet_ ? typing_ : doc_.CharAt(int(selStart_ == selEnd_ && a > 0 ? a - 1 : a));
  DWORD mask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_HIDDEN | CFM_SUBSCRIPT | CFM_SIZE | CFM_FACE | CFM_COLOR;
  if (selEnd_ > selStart_)
    for (long i = a; i < b; ++i) {
      if (IsMark(doc_.text[std::size_t(i)]) && i + 1 < b) continue;
      const CharFormat& f = doc_.CharAt(int(i));
      if (f.bold != first.bold) mask &= ~CFM_BOLD;
      if (f.italic != first.italic) mask &= ~CFM_ITALIC;
      if ((f.underline != 0) != (first.underline != 0)) mask &= ~CFM_UNDERLINE;
      if (f.hidden != first.hidden) mask &= ~CFM_HIDDEN;
      if (f.sub != first.sub || f.super != first.super) mask &= ~CFM_SUBSCRIPT;
      if (f.size != first.size) mask &= ~CFM_SIZE;
      if (doc_.fonts[std::size_t(f.font)].name != doc_.fonts[std::size_t(first.font)].name) mask &= ~CFM_FACE;
      if (ColourOf(doc_, f.colour) != ColourOf(doc_, first.colour)) mask &= ~CFM_COLOR;
    }
  cf.dwMask = mask;
  cf.dwEffects = (first.bold ? CFE_BOLD : 0) | (first.italic ? CFE_ITALIC : 0) | (first.underline ? CFE_UNDERLINE : 0) |
                 (first.hidden ? CFE_HIDDEN : 0) | (first.sub ? CFE_SUBSCRIPT : 0) |
                 (first.super ? CFE_SUPERSCRIPT : 0) | (first.colour == 0 ? CFE_AUTOCOLOR : 0);
  cf.yHeight = first.size * 10;
  cf.crTextColor = ColourOf(doc_, first.colour);
  std::snprintf(cf.szFaceName, sizeof cf.szFaceName, "%s", doc_.fonts[std::size_t(first.font)].name.c_str());
  return mask;
}

BOOL CRichEditCtrl::SetParaFormat(const PARAFORMAT2& pf) {
  BeginChange();
  const int from = doc_.ParagraphStart(int(selStart_));
  const int to = doc_.ParagraphEnd(int(selEnd_ > selStart_ ? selEnd_ - 1 : selEnd_));
  for (int i = from; i <= to; ++i) {
    if (!IsMark(doc_.text[std::size_t(i)]) && i != doc_.Length() - 1) continue;
    ParaFormat f = doc_.paraFormats[std::size_t(doc_.paraFormat[std::size_t(i)])];
    const DWORD m = pf.dwMask;
    if (m & PFM_ALIGNMENT)
      f.align = pf.wAlignment == PFA_CENTER ? 1 : pf.wAlignment == PFA_RIGHT ? 2 : pf.wAlignment == PFA_JUSTIFY ? 3 : 0;
    // The start indent places the first line, the offset the further lines relative to it; each keeps the other.
    if (m & PFM_STARTINDENT) f.left = int(pf.dxStartIndent) - f.first;
    if (m & PFM_OFFSET) {
      const int firstLine = f.left + f.first;
      f.left = firstLine + int(pf.dxOffset);
      f.first = -int(pf.dxOffset);
    }
    if (m & PFM_RIGHTINDENT) f.right = int(pf.dxRightIndent);
    if (m & PFM_NUMBERING) f.numbering = pf.wNumbering;
    if (m & PFM_NUMBERINGSTART) f.numberStart = std::max<int>(1, pf.wNumberingStart);
    if (m & PFM_NUMBERINGTAB) f.numberTab = pf.wNumberingTab;
    if (m & PFM_LINESPACING) f.spacing = pf.bLineSpacingRule == 0 ? 0 : pf.bLineSpacingRule == 1 ? 360 : 480;
    if (m & PFM_STYLE) f.heading = pf.sStyle <= -2 && pf.sStyle >= -10 ? -pf.sStyle - 1 : 0;
    doc_.paraFormat[std::size_t(i)] = doc_.InternPara(f);
  }
  Changed();
  return TRUE;
}

DWORD CRichEditCtrl::GetParaFormat(PARAFORMAT2& pf) const {
  const int from = doc_.ParagraphEnd(int(selStart_));
  const int to = doc_.ParagraphEnd(int(selEnd_ > selStart_ ? selEnd_ - 1 : selEnd_));
  const ParaFormat first = doc_.paraFormats[std::size_t(doc_.paraFormat[std::size_t(from)])];
  DWORD mask = PFM_ALIGNMENT | PFM_STARTINDENT | PFM_OFFSET | PFM_RIGHTINDENT | PFM_NUMBERING | PFM_LINESPACING |
               PFM_STYLE | PFM_NUMBERINGSTART | PFM_NUMBERINGTAB | PFM_NUMBERINGSTYLE;
  for (int i = from; i <= to; ++i) {
    if (!IsMark(doc_.text[std::size_t(i)])) continue;
    const ParaFormat& f = doc_.paraFormats[std::size_t(doc_.paraFormat[std::size_t(i)])];
    if (f.align != first.align) mask &= ~PFM_ALIGNMENT;
    if (f.left + f.first != first.left + first.first) mask &= ~PFM_STARTINDENT;
    if (f.first != first.first) mask &= ~PFM_OFFSET;
    if (f.right != first.right) mask &= ~PFM_RIGHTINDENT;
    if (f.numbering != first.numbering) mask &= ~(PFM_NUMBERING | PFM_NUMBERINGSTYLE);
    if (f.spacing != first.spacing) mask &= ~PFM_LINESPACING;
    if (f.heading != first.heading) mask &= ~PFM_STYLE;
  }
  pf.dwMask = mask;
  static const WORD align[] = {PFA_LEFT, PFA_CENTER, PFA_RIGHT, PFA_JUSTIFY};
  pf.wAlignment = align[std::clamp(first.align, 0, 3)];
  pf.dxStartIndent = first.left + first.first;
  pf.dxOffset = -first.first;
  pf.dxRightIndent = first.right;
  pf.wNumbering = WORD(first.numbering);
  pf.wNumberingStart = WORD(first.numberStart);
  pf.wNumberingTab = WORD(first.numberTab);
  pf.wNumberingStyle = first.numbering > 1 ? PFNS_PERIOD : 0;
  pf.bLineSpacingRule = BYTE(first.spacing == 0 ? 0 : first.spacing <= 360 ? 1 : 2);
  pf.dyLineSpacing = first.spacing == 0 ? 20 : first.spacing / 12;
  pf.sStyle = short(first.heading == 0 ? -1 : -first.heading - 1);
  pf.cTabCount = 0;
  return mask;
}

void CRichEditCtrl::SetHeading(int level) {
  const long oldStart = selStart_, oldEnd = selEnd_;
  selStart_ = doc_.ParagraphStart(int(selStart_));
  selEnd_ = doc_.ParagraphEnd(int(selEnd_ > oldStart ? selEnd_ - 1 : selEnd_));
  PARAFORMAT2 pf;
  pf.dwMask = PFM_STYLE;
  pf.sStyle = short(-std::clamp(level, 1, 10));
  SetParaFormat(pf);
  CHARFORMAT2 cf;
  cf.dwMask = CFM_BOLD;
  cf.dwEffects = level >= 2 ? CFE_BOLD : 0;
  if (selEnd_ > selStart_) {
    SetSelectionCharFormat(cf);
    undo_.pop_back();  // one undo step for the whole change: the state before the paragraph format
  }
  selStart_ = oldStart;
  selEnd_ = oldEnd;
  NotifySelection();
}

BOOL CRichEditCtrl::Undo() {
  if (undo_.empty()) return FALSE;
  redo_.push_back({doc_, selStart_, selEnd_});
  doc_ = std::move(undo_.back().doc);
  selStart_ = undo_.back().start;
  selEnd_ = undo_.back().end;
  undo_.pop_back();
  Changed();
  NotifySelection();
  return TRUE;
}

BOOL CRichEditCtrl::Redo() {
  if (redo_.empty()) return FALSE;
  undo_.push_back({doc_, selStart_, selEnd_});
  doc_ = std::move(redo_.back().doc);
  selStart_ = redo_.back().start;
  selEnd_ = redo_.back().end;
  redo_.pop_back();
  Changed();
  NotifySelection();
  return TRUE;
}

void CRichEditCtrl::EmptyUndoBuffer() {
  undo_.clear();
  redo_.clear();
}

void CRichEditCtrl::Copy() {
  if (selEnd_ <= selStart_) return;
  if (!::OpenClipboard(m_hWnd)) return;
  ::EmptyClipboard();
  ::SetClipboardData(CF_TEXT, FromString(doc_.PlainText(int(selStart_), int(selEnd_))));
  ::SetClipboardData(CF_RTF, FromString(StreamOutRtf(true)));
  ::CloseClipboard();
}

void CRichEditCtrl::Cut() {
  if (selEnd_ <= selStart_) return;
  Copy();
  Clear();
}

void CRichEditCtrl::Clear() {
  if (selEnd_ <= selStart_) return;
  ReplaceSel("", TRUE);
}

void CRichEditCtrl::Paste() {
  if (!::OpenClipboard(m_hWnd)) return;
  const std::string rtf = ToClipboardString(::GetClipboardData(CF_RTF));
  const std::string text = ToClipboardString(::GetClipboardData(CF_TEXT));
  ::CloseClipboard();
  if (!rtf.empty() && StreamInRtf(rtf, true)) return;
  if (!text.empty()) ReplaceSel(text.c_str(), TRUE);
}

BOOL CRichEditCtrl::SetZoom(int numerator, int denominator) {
  if (numerator < 0 || denominator < 0 || (denominator == 0) != (numerator == 0)) return FALSE;
  if (denominator > 0 && (numerator * 64 <= denominator || numerator >= denominator * 64)) return FALSE;
  zoomNum_ = numerator;
  zoomDen_ = denominator;
  if (m_hWnd) Invalidate();
  return TRUE;
}

BOOL CRichEditCtrl::GetZoom(int& numerator, int& denominator) const {
  numerator = zoomNum_;
  denominator = zoomDen_;
  return TRUE;
}

long CRichEditCtrl::FindText(const std::string& what, bool matchCase, bool wholeWord, bool down, long from,
                             long& hitEnd) const {
  hitEnd = -1;
  if (what.empty()) return -1;
  const std::string& t = doc_.text;
  auto lower = [](std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  const std::string hay = matchCase ? t : lower(t);
  const std::string needle = matchCase ? what : lower(what);
  auto whole = [&](std::size_t p) {
    return !wholeWord ||
           ((p == 0 || !IsWordChar(t[p - 1])) && (p + needle.size() >= t.size() || !IsWordChar(t[p + needle.size()])));
  };
  if (down) {
    for (std::size_t p = hay.find(needle, std::size_t(std::max(0L, from))); p != std::string::npos;
         p = hay.find(needle, p + 1))
      if (whole(p)) {
        hitEnd = long(p + needle.size());
        return long(p);
      }
  } else if (from > 0) {
    for (std::size_t p = hay.rfind(needle, std::size_t(from - 1)); p != std::string::npos;
         p = p == 0 ? std::string::npos : hay.rfind(needle, p - 1))
      if (whole(p) && long(p + needle.size()) <= from) {
        hitEnd = long(p + needle.size());
        return long(p);
      }
  }
  return -1;
}

std::string CRichEditCtrl::StreamOutRtf(bool selectionOnly) const {
  if (!selectionOnly) return doc_.WriteRtf();
  return doc_.Slice(int(selStart_), int(selEnd_)).WriteRtf();
}

bool CRichEditCtrl::StreamInRtf(const std::string& rtf, bool selectionOnly, std::string* error) {
  richdoc::Document read;
  try {
    read.ReadRtf(rtf);
  } catch (const richdoc::RtfError& e) {
    if (error) *error = e.what();
    return false;
  }
  if (!selectionOnly) {
    doc_ = std::move(read);
    EmptyUndoBuffer();
    selStart_ = selEnd_ = 0;
  } else {
    BeginChange();
    const long inserted = read.Length() - 1;
    doc_.ReplaceWith(int(selStart_), int(selEnd_), read);
    selStart_ = selEnd_ = selStart_ + inserted;
  }
  typingSet_ = false;
  Changed();
  NotifySelection();
  return true;
}

// ---- Drawing ----------------------------------------------------------------------------------------------------

namespace {

constexpr int kMargin = 4;

struct Layout {
  std::vector<RECT> boxes;  // one per character, in client pixels before scrolling
  std::vector<int> lineStarts;
};

HFONT FontFor(const richdoc::Document& d, const CharFormat& f, const ParaFormat& p, double scale) {
  int half = f.size;
  if (p.heading > 0) half = std::max(half, 36 - 2 * std::min(p.heading, 6));
  if (f.sub || f.super) half = half * 2 / 3;
  const int px = std::max(4, int(half / 2.0 * 96.0 / 72.0 * scale + 0.5));
  const std::string& face = d.fonts[std::size_t(f.font) < d.fonts.size() ? std::size_t(f.font) : 0].name;
  return ::CreateFont(-px, 0, 0, 0, f.bold || p.heading > 0 ? FW_BOLD : FW_NORMAL, f.italic, f.underline != 0, 0,
                      DEFAULT_CHARSET, 0, 0, 0, 0, face.c_str());
}

std::vector<int> CellBounds(const std::string& rowDef) {
  std::vector<int> out;
  for (std::size_t p = rowDef.find("\\cellx"); p != std::string::npos; p = rowDef.find("\\cellx", p + 6))
    out.push_back(int(win::ClampedNumber(rowDef.c_str() + p + 6, -win::kRtfMaxTwips, win::kRtfMaxTwips)));
  return out;
}

Layout LayOut(const richdoc::Document& d, HDC dc, int width, double scale) {
  Layout out;
  const int n = d.Length();
  out.boxes.resize(std::size_t(n));
  const double twip = 96.0 / 1440.0 * scale;
  int y = kMargin;
  int i = 0;
  std::vector<int> bounds;
  int cellIndex = 0;
  int rowTop = y, rowBottom = y;
  while (i < n) {
    // One paragraph (or cell) from i to its mark.
    const int end = d.ParagraphEnd(i);
    const ParaFormat& p = d.paraFormats[std::size_t(d.paraFormat[std::size_t(end)])];
    int left = kMargin, right = width - kMargin;
    if (p.inTable) {
      if (cellIndex == 0) {
        int r = end;
        while (r < n - 1 && d.text[std::size_t(r)] != richdoc::kRow) ++r;
        bounds = d.extra[std::size_t(r)] >= 0 ? CellBounds(d.blobs[std::size_t(d.extra[std::size_t(r)])])
                                              : std::vector<int>{};
        rowTop = rowBottom = y;
      }
      const int b0 = cellIndex == 0 || bounds.empty()
                         ? 0
                         : bounds[std::size_t(std::min<int>(cellIndex - 1, int(bounds.size()) - 1))];
      const int b1 = bounds.empty() ? 2000 : bounds[std::size_t(std::min<int>(cellIndex, int(bounds.size()) - 1))];
      left = kMargin + int(b0 * twip) + 3;
      right = std::max(left + 10, kMargin + int(b1 * twip) - 3);
      y = rowTop;
    }
    const int indentFirst = int((p.left + p.first) * twip), indentRest = int(p.left * twip);
    // A numbered paragraph's label stands in the hanging room; its text starts at the indent of the others.
    const int firstStart = p.numbering > 0 ? std::max(indentRest, indentFirst) : std::max(0, indentFirst);
    int x = left + firstStart;
    int lineStart = i;
    int lineHeight = 0;
    std::vector<int> lineChars;
    auto finishLine = [&](int nextStart) {
      const int h = std::max(lineHeight, int(14 * scale));
      int shift = 0;
      if (!lineChars.empty() && (p.align == 1 || p.align == 2)) {
        const int used = int(out.boxes[std::size_t(lineChars.back())].right) - left;
        shift = p.align == 1 ? (right - left - used) / 2 : right - left - used;
        shift = std::max(0, shift);
      }
      // Wide: a tall line of a zoomed text times the largest spacing, summed over the lines, is beyond an int; the
      // text then ends far below any page.
      const std::int64_t lineGap = p.spacing > 0 ? std::int64_t(h) * p.spacing / 240 : h;
      for (int c : lineChars) {
        RECT& r = out.boxes[std::size_t(c)];
        r.left += shift;
        r.right += shift;
        r.top = y;
        r.bottom = y + h;
      }
      out.lineStarts.push_back(lineStart);
      y = int(std::min<std::int64_t>(y + lineGap, INT_MAX / 2));
      lineChars.clear();
      lineHeight = 0;
      lineStart = nextStart;
      x = left + indentRest;
    };
    int lastSpace = -1;
    for (int c = i; c <= end; ++c) {
      const char ch = d.text[std::size_t(c)];
      const CharFormat& f = d.CharAt(c);
      HFONT font = FontFor(d, f, p, scale);
      HGDIOBJ old = ::SelectObject(dc, font);
      SIZE sz{0, 0};
      if (ch == '\t') {
        const int tab = int(720 * twip);
        sz.cx = tab - (x - left) % std::max(1, tab);
        ::GetTextExtentPoint32(dc, "X", 1, &sz);
        sz.cx = tab - (x - left) % std::max(1, tab);
      } else if (ch == richdoc::kObject) {
        sz.cx = int(60 * scale);
        sz.cy = int(40 * scale);
      } else if (IsMark(ch) || ch == richdoc::kLine || ch == richdoc::kPage) {
        ::GetTextExtentPoint32(dc, " ", 1, &sz);
        sz.cx = 1;
      } else {
        ::GetTextExtentPoint32(dc, &ch, 1, &sz);
      }
      ::SelectObject(dc, old);
      ::DeleteObject(font);
      if (f.hidden) sz.cx = 0;
      if (x + sz.cx > right && !lineChars.empty() && !IsMark(ch) && ch != ' ') {
        // Wrap after the last blank, or here when the word fills the line.
        if (lastSpace >= lineStart && lastSpace + 1 <= c) {
          std::vector<int> carry(lineChars.begin() + (lastSpace + 1 - lineStart), lineChars.end());
          lineChars.resize(std::size_t(lastSpace + 1 - lineStart));
          finishLine(lastSpace + 1);
          for (int k : carry) {
            RECT& r = out.boxes[std::size_t(k)];
            const int w = r.right - r.left;
            r.left = x;
            r.right = x + w;
            x += w;
            lineChars.push_back(k);
            lineHeight = std::max(lineHeight, int(r.bottom));
          }
        } else {
          finishLine(c);
        }
      }
      RECT& box = out.boxes[std::size_t(c)];
      box.left = x;
      box.right = x + sz.cx;
      box.bottom = sz.cy;  // the height until the line is finished
      lineHeight = std::max(lineHeight, int(sz.cy));
      x += sz.cx;
      lineChars.push_back(c);
      if (ch == ' ') lastSpace = c;
      if (ch == richdoc::kLine || ch == richdoc::kPage) finishLine(c + 1);
    }
    finishLine(end + 1);
    if (p.inTable) {
      rowBottom = std::max(rowBottom, y);
      const char mark = d.text[std::size_t(end)];
      if (mark == richdoc::kCell) {
        ++cellIndex;
        y = rowTop;
      } else if (mark == richdoc::kRow) {
        cellIndex = 0;
        y = rowBottom;
      }
    }
    i = end + 1;
  }
  return out;
}

}  // namespace

namespace {

// Draws the laid-out characters whose lines start in [yFrom, yTo), shifted up by scrollY; the selection [a, b)
// gets its background. The screen draws everything, a printed page only its own lines.
void DrawLaidOut(HDC dc, const richdoc::Document& doc_, const Layout& layout, int scrollY_, long a, long b,
                 double scale, int yFrom, int yTo) {
  const int n = doc_.Length();
  auto onPage = [&](const RECT& r) { return r.top >= yFrom && r.top < yTo; };
  const double twip = 96.0 / 1440.0 * scale;
  // Table cell frames.
  for (int i = 0; i < n; ++i) {
    const char ch = doc_.text[std::size_t(i)];
    const RECT& r = layout.boxes[std::size_t(i)];
    if (ch == richdoc::kRow) {
      int start = i;
      while (start > 0 && doc_.ParaAt(start - 1).inTable && doc_.text[std::size_t(start - 1)] != richdoc::kRow) --start;
      int top = layout.boxes[std::size_t(start)].top, bottom = r.bottom;
      if (!onPage(layout.boxes[std::size_t(start)])) continue;
      for (int k = start; k <= i; ++k) bottom = std::max(bottom, int(layout.boxes[std::size_t(k)].bottom));
      std::vector<int> bounds = doc_.extra[std::size_t(i)] >= 0
                                    ? CellBounds(doc_.blobs[std::size_t(doc_.extra[std::size_t(i)])])
                                    : std::vector<int>{};
      HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(160, 160, 160));
      HGDIOBJ oldPen = ::SelectObject(dc, pen);
      int x0 = kMargin;
      ::MoveToEx(dc, x0, top - scrollY_, nullptr);
      ::LineTo(dc, x0, bottom - scrollY_);
      for (int b : bounds) {
        const int x = kMargin + int(b * twip);
        ::MoveToEx(dc, x, top - scrollY_, nullptr);
        ::LineTo(dc, x, bottom - scrollY_);
      }
      const int x1 = bounds.empty() ? x0 : kMargin + int(bounds.back() * twip);
      ::MoveToEx(dc, x0, top - scrollY_, nullptr);
      ::LineTo(dc, x1, top - scrollY_);
      ::MoveToEx(dc, x0, bottom - scrollY_, nullptr);
      ::LineTo(dc, x1, bottom - scrollY_);
      ::SelectObject(dc, oldPen);
      ::DeleteObject(pen);
    }
  }
  for (int i = 0; i < n; ++i) {
    const char ch = doc_.text[std::size_t(i)];
    RECT r = layout.boxes[std::size_t(i)];
    if (!onPage(r)) continue;
    r.top -= scrollY_;
    r.bottom -= scrollY_;
    if (i >= a && i < b) {
      HBRUSH sel = ::CreateSolidBrush(RGB(173, 214, 255));
      ::FillRect(dc, &r, sel);
      ::DeleteObject(sel);
    }
    const CharFormat& f = doc_.CharAt(i);
    if (f.hidden) continue;
    if (ch == richdoc::kObject) {
      HBRUSH box = ::CreateSolidBrush(RGB(220, 220, 220));
      RECT o{r.left + 2, r.bottom - int(40 * scale), r.right - 2, r.bottom};
      ::FillRect(dc, &o, box);
      ::DeleteObject(box);
      continue;
    }
    if (IsMark(ch) || ch == '\t' || ch == richdoc::kLine || ch == richdoc::kPage) continue;
    HFONT font = FontFor(doc_, f, doc_.ParaAt(i), scale);
    HGDIOBJ old = ::SelectObject(dc, font);
    ::SetTextColor(dc, ColourOf(doc_, f.colour));
    const int lift = f.super ? -(r.bottom - r.top) / 6 : f.sub ? (r.bottom - r.top) / 4 : 0;
    ::TextOut(dc, r.left, r.top + lift + 1, &ch, 1);
    if (f.underline == 2) {
      HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(220, 0, 0));
      HGDIOBJ oldPen = ::SelectObject(dc, pen);
      for (int x = r.left; x < r.right; x += 2) {
        ::MoveToEx(dc, x, r.bottom - 2 + (x / 2) % 2, nullptr);
        ::LineTo(dc, x + 2, r.bottom - 2 + (x / 2 + 1) % 2);
      }
      ::SelectObject(dc, oldPen);
      ::DeleteObject(pen);
    }
    ::SelectObject(dc, old);
    ::DeleteObject(font);
  }
  // Numbering labels.
  int number = 0, lastKind = 0;
  for (int i = 0; i < n; i = doc_.ParagraphEnd(i) + 1) {
    const ParaFormat& p = doc_.ParaAt(i);
    if (p.numbering == 0) {
      lastKind = 0;
      continue;
    }
    number = lastKind == p.numbering ? number + 1 : p.numberStart;
    lastKind = p.numbering;
    // A bullet is drawn as the round bullet of the code page rather than the small dot the RTF label uses.
    const std::string label = p.numbering == 1 ? std::string("\x95") : richdoc::NumberLabel(p.numbering, number);
    const RECT& r = layout.boxes[std::size_t(i)];
    if (!onPage(r)) continue;
    HFONT font = FontFor(doc_, doc_.CharAt(i), p, scale);
    HGDIOBJ old = ::SelectObject(dc, font);
    ::SetTextColor(dc, 0);
    ::TextOut(dc, std::max(kMargin, int(r.left - std::max(p.numberTab, 227) * twip)), r.top - scrollY_ + 1,
              label.c_str(), int(label.size()));
    ::SelectObject(dc, old);
    ::DeleteObject(font);
  }
}

}  // namespace

void CRichEditCtrl::Paint(HDC dc) {
  CRect client;
  GetClientRect(&client);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
  const double scale = zoomDen_ > 0 ? double(zoomNum_) / zoomDen_ : 1.0;
  Layout layout = LayOut(doc_, dc, client.Width() - 16, scale);
  lineStarts_ = layout.lineStarts;
  charBoxes_ = layout.boxes;
  ::SetBkMode(dc, TRANSPARENT);
  const int n = doc_.Length();
  // The caret stays in view: the text scrolls by whole lines when it leaves the window.
  if (selEnd_ < long(layout.boxes.size()) && scrollToCaret_) {
    const RECT& caret = layout.boxes[std::size_t(selEnd_)];
    if (caret.bottom - scrollY_ > client.Height()) scrollY_ = caret.bottom - client.Height() + kMargin;
    if (caret.top < scrollY_) scrollY_ = std::max(0, int(caret.top) - kMargin);
    scrollToCaret_ = false;
  }
  DrawLaidOut(dc, doc_, layout, scrollY_, selStart_, selEnd_, scale, INT_MIN, INT_MAX);
  const long a = selStart_, b = selEnd_;
  if (a == b && a < n && GetFocus() == this && !readOnly_) {
    const RECT& r = layout.boxes[std::size_t(a)];
    ::PatBlt(dc, r.left, r.top - scrollY_, 1, r.bottom - r.top, BLACKNESS);
  }
}

bool richedit::PrintToPdf(const richdoc::Document& doc, const std::string& pdfPath, const std::string& title,
                          std::string* error, double marginMm) {
  const win::print::PageSetup setup;
  const double scale = setup.dpi / 96.0;
  const int margin = int(marginMm / 25.4 * setup.dpi);
  Layout layout;
  // Pages as ranges of the laid-out height: a line that would cross the page's foot starts the next page, and so
  // does the line after a page break.
  std::vector<std::pair<int, int>> pages;
  win::print::Job job;
  job.begin = [&](CDC* dc, CPrintInfo* info) {
    const CRect area = info->m_rectDraw;
    const int height = area.Height() - 2 * margin;
    layout = LayOut(doc, dc->m_hDC, area.Width() - 2 * margin, scale);
    int top = 0;
    for (std::size_t k = 0; k < layout.lineStarts.size(); ++k) {
      const RECT& first = layout.boxes[std::size_t(layout.lineStarts[k])];
      int bottom = first.bottom;
      const int next = k + 1 < layout.lineStarts.size() ? layout.lineStarts[k + 1] : doc.Length();
      bool pageBreak = false;
      for (int c = layout.lineStarts[k]; c < next; ++c) {
        bottom = std::max(bottom, int(layout.boxes[std::size_t(c)].bottom));
        pageBreak = pageBreak || doc.text[std::size_t(c)] == richdoc::kPage;
      }
      if (bottom - top > height && first.top > top) {
        pages.emplace_back(top, first.top);
        top = first.top;
      }
      if (pageBreak && next < doc.Length()) {
        pages.emplace_back(top, layout.boxes[std::size_t(next)].top);
        top = layout.boxes[std::size_t(next)].top;
      }
    }
    pages.emplace_back(top, INT_MAX);
    info->SetMaxPage(UINT(pages.size()));
  };
  job.page = [&](CDC* dc, CPrintInfo* info) {
    const auto [from, to] = pages[info->m_nCurPage - 1];
    const CRect area = info->m_rectDraw;
    ::SetBkMode(dc->m_hDC, TRANSPARENT);
    ::SetViewportOrgEx(dc->m_hDC, area.left + margin, area.top + margin, nullptr);
    DrawLaidOut(dc->m_hDC, doc, layout, from, 0, 0, scale, from, to);
    ::SetViewportOrgEx(dc->m_hDC, 0, 0, nullptr);
  };
  const bool written = win::print::PrintDocument(pdfPath, title, job, setup);
  if (!written && error) *error = win::print::LastError();
  return written;
}

int CRichEditCtrl::CharFromPoint(int x, int y) const {
  int best = GetTextLength();
  for (std::size_t i = 0; i < charBoxes_.size(); ++i) {
    const RECT& r = charBoxes_[i];
    if (y + scrollY_ >= r.top && y + scrollY_ < r.bottom) {
      if (x < (r.left + r.right) / 2) return int(i);
      best = int(i) + (IsMark(doc_.text[i]) ? 0 : 1);
    }
  }
  return std::min<int>(best, GetTextLength());
}

void CRichEditCtrl::KeyDown(UINT vk) {
  const bool shift = ::GetKeyState(VK_SHIFT) < 0, ctrl = ::GetKeyState(VK_CONTROL) < 0;
  long caret = selEnd_;
  const long last = GetTextLength();
  auto move = [&](long to) {
    to = std::clamp(to, 0L, last);
    if (shift)
      SetSel(std::min(selStart_, to), std::max(selStart_, to));
    else
      SetSel(to, to);
  };
  if (readOnly_ && (vk == VK_DELETE || vk == VK_BACK || (ctrl && (vk == 'X' || vk == 'V' || vk == 'Z' || vk == 'Y'))))
    return;
  if (ctrl) {
    switch (vk) {
      case 'A': SetSel(0, -1); return;
      case 'C': Copy(); return;
      case 'X': Cut(); return;
      case 'V': Paste(); return;
      case 'Z': Undo(); return;
      case 'Y': Redo(); return;
      default: break;
    }
  }
  switch (vk) {
    case VK_LEFT: move(selStart_ == selEnd_ || shift ? caret - 1 : selStart_); break;
    case VK_RIGHT: move(selStart_ == selEnd_ || shift ? caret + 1 : selEnd_); break;
    case VK_HOME: move(ctrl ? 0 : doc_.ParagraphStart(int(caret))); break;
    case VK_END: move(ctrl ? last : doc_.ParagraphEnd(int(caret))); break;
    case VK_DELETE:
      if (selStart_ == selEnd_ && selEnd_ < last) selEnd_ = selEnd_ + 1;
      Clear();
      break;
    case VK_BACK:
      if (selStart_ == selEnd_ && selStart_ > 0) selStart_ = selStart_ - 1;
      Clear();
      break;
    default: break;
  }
}

LRESULT CRichEditCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(m_hWnd, &ps);
      Paint(dc);
      ::EndPaint(m_hWnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEWHEEL:
      if (!(LOWORD(wParam) & MK_CONTROL)) {
        int bottom = 0;
        for (const RECT& r : charBoxes_) bottom = std::max(bottom, int(r.bottom));
        scrollY_ = std::clamp(scrollY_ - short(HIWORD(wParam)) / 120 * 48, 0, std::max(0, bottom - 20));
        Invalidate();
      }
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTTAB;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Invalidate(); break;
    case WM_LBUTTONDOWN: {
      SetFocus();
      const int at = CharFromPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      SetSel(at, at);
      return 0;
    }
    case WM_KEYDOWN: KeyDown(UINT(wParam)); return 0;
    case WM_CHAR: {
      if (readOnly_) return 0;
      const char ch = char(wParam);
      if (::GetKeyState(VK_CONTROL) < 0 && ch != '\r') return 0;  // the key-down handled it
      if (ch == '\b' || ch == 27) return 0;
      const char text[2] = {ch == '\r' || ch == '\n' ? '\n' : ch, 0};
      ReplaceSel(text, TRUE);
      return 0;
    }
    case WM_COPY: Copy(); return 0;
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REDO:
      if (readOnly_) return 0;
      if (message == WM_CUT) Cut();
      if (message == WM_PASTE) Paste();
      if (message == WM_CLEAR) Clear();
      if (message == EM_REDO) return Redo();
      return message == WM_UNDO || message == EM_UNDO ? Undo() : 0;
    case EM_CANUNDO: return CanUndo();
    case EM_CANREDO: return CanRedo();
    case EM_EMPTYUNDOBUFFER: EmptyUndoBuffer(); return 0;
    case EM_GETSEL:
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = DWORD(selStart_);
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = DWORD(selEnd_);
      return MAKELONG(WORD(selStart_), WORD(selEnd_));
    case EM_SETSEL: SetSel(long(INT_PTR(wParam)), long(lParam)); return 0;
    case EM_EXGETSEL: {
      auto* r = reinterpret_cast<CHARRANGE*>(lParam);
      r->cpMin = selStart_;
      r->cpMax = selEnd_;
      return 0;
    }
    case EM_EXSETSEL: {
      const auto* r = reinterpret_cast<const CHARRANGE*>(lParam);
      SetSel(r->cpMin, r->cpMax);
      return selEnd_;
    }
    case EM_REPLACESEL: ReplaceSel(reinterpret_cast<LPCSTR>(lParam), BOOL(wParam)); return 0;
    case WM_GETTEXTLENGTH: return LRESULT(GetPlainText().GetLength());
    case WM_GETTEXT: {
      const CString t = GetPlainText();
      if (wParam == 0) return 0;
      const std::size_t n = std::min<std::size_t>(std::size_t(wParam) - 1, std::size_t(t.GetLength()));
      std::memcpy(reinterpret_cast<char*>(lParam), t.GetString(), n);
      reinterpret_cast<char*>(lParam)[n] = 0;
      return LRESULT(n);
    }
    case WM_SETTEXT: {
      SetSel(0, -1);
      ReplaceSel(reinterpret_cast<LPCSTR>(lParam), FALSE);
      EmptyUndoBuffer();
      return TRUE;
    }
    case EM_SETCHARFORMAT: {
      const auto& cf = *reinterpret_cast<const CHARFORMAT2*>(lParam);
      if (wParam & SCF_ALL) {
        const long s = selStart_, e = selEnd_;
        selStart_ = 0;
        selEnd_ = GetTextLength();
        SetSelectionCharFormat(cf);
        selStart_ = s;
        selEnd_ = e;
        return TRUE;
      }
      if (wParam & SCF_WORD) return SetWordCharFormat(cf);
      if (wParam & SCF_SELECTION) return SetSelectionCharFormat(cf);
      return SetDefaultCharFormat(cf);
    }
    case EM_GETCHARFORMAT: return LRESULT(GetSelectionCharFormat(*reinterpret_cast<CHARFORMAT2*>(lParam)));
    case EM_SETPARAFORMAT: return SetParaFormat(*reinterpret_cast<const PARAFORMAT2*>(lParam));
    case EM_GETPARAFORMAT: return LRESULT(GetParaFormat(*reinterpret_cast<PARAFORMAT2*>(lParam)));
    case EM_SETZOOM: return SetZoom(int(wParam), int(lParam));
    case EM_GETZOOM: return GetZoom(*reinterpret_cast<int*>(wParam), *reinterpret_cast<int*>(lParam));
    case EM_SETEVENTMASK: {
      const DWORD old = eventMask_;
      eventMask_ = DWORD(lParam);
      return LRESULT(old);
    }
    default: break;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}
