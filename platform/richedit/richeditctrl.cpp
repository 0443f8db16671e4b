#include "platform/richedit/richeditctrl.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstring>

#include "platform/richedit/layout.h"
#include "platform/richedit/picture.h"
#include "platform/win/base/codepage.h"
#include "platform/win/base/numbers.h"
#include "platform/win/print/print.h"

IMPLEMENT_DYNAMIC(CRichEditCtrl, CWnd)

namespace {

using richdoc::CharFormat;
using richdoc::ParaFormat;

using richdoc::IsMark;

bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || (c & 0x80) || c == richdoc::kWide;
}

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
    wc.style = CS_DBLCLKS;  // a double click selects a word
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
  caretAtStart_ = false;
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
    Reflow();
    if (CWnd* parent = GetParent())
      parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), EN_CHANGE), LPARAM(m_hWnd));
  }
}

void CRichEditCtrl::NotifySelection() {
  scrollToCaret_ = true;
  ++selSerial_;
  if (!m_hWnd) return;
  Invalidate();
  Reflow();
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

void CRichEditCtrl::ReplaceSel(LPCSTR text, BOOL canUndo) { Insert(text ? text : "", {}, {}, canUndo, false); }

void CRichEditCtrl::InsertUnicode(const std::string& utf8, bool asShown) {
  std::string held;
  std::vector<bool> symbol;
  std::vector<char32_t> wide;
  for (std::size_t i = 0; i < utf8.size();) {
    bool raw = false;
    const char32_t c = win::NextCodePoint(utf8, i, &raw);
    bool inSymbol = false;
    // A byte that is no UTF-8 is a Windows-1252 byte already.
    const char byte = raw ? char(c) : richdoc::HoldChar(c, inSymbol);
    held += byte;
    symbol.push_back(inSymbol);
    wide.push_back(!raw && c >= 0x80 && byte == richdoc::kWide ? c : 0);
  }
  Insert(held, symbol, wide, TRUE, asShown);
}

void CRichEditCtrl::Insert(const std::string& insert, const std::vector<bool>& symbol,
                           const std::vector<char32_t>& wide, BOOL canUndo, bool asShown) {
  // Line ends become paragraph marks.
  std::string clean;
  std::vector<bool> cleanSymbol;
  std::vector<char32_t> cleanWide;
  for (std::size_t i = 0; i < insert.size(); ++i) {
    if (insert[i] == '\r' && i + 1 < insert.size() && insert[i + 1] == '\n') ++i;
    const char c = insert[i];
    const char32_t code = i < wide.size() ? wide[i] : 0;
    if (c == '\n' || c == '\r')
      clean += richdoc::kPara;
    else if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || code != 0)
      clean += c;  // other control bytes would be taken for marks of the text
    else
      continue;
    cleanSymbol.push_back(i < symbol.size() && symbol[i]);
    cleanWide.push_back(code);
  }
  BeginChange();
  if (!canUndo) undo_.pop_back();
  CharFormat f =
      typingSet_ ? typing_ : doc_.CharAt(int(selStart_ > 0 && selStart_ == selEnd_ ? selStart_ - 1 : selStart_));
  if (selStart_ > 0 && selStart_ == selEnd_ && IsMark(doc_.text[std::size_t(selStart_ - 1)]) && !typingSet_)
    f = doc_.CharAt(int(selStart_));
  const long start = selStart_;
  doc_.Replace(int(start), int(selEnd_), clean, f);
  for (std::size_t i = 0; i < clean.size(); ++i)
    if (cleanWide[i] != 0) doc_.SetWide(int(start + long(i)), cleanWide[i]);
  // Of characters by their Unicode value (the document's own bytes stay as given), what only the Symbol font holds
  // is set in it. In a Symbol run (where a typed letter shows its Greek one, as in a word processor) other
  // characters, paragraph marks and all of another program's show as themselves in the font before it.
  const bool symbolRun = richdoc::IsSymbolFont(doc_, f.font);
  int greek = -1, plain = -1;
  for (std::size_t i = 0; !symbol.empty() && i < clean.size(); ++i) {
    int& format = cleanSymbol[i] ? greek : plain;
    const bool typedInRun =
        !asShown && static_cast<unsigned char>(clean[i]) < 0x80 && clean[i] != richdoc::kPara && cleanWide[i] == 0;
    if (!cleanSymbol[i] && (!symbolRun || typedInRun)) continue;
    if (format < 0) {
      CharFormat other = f;
      other.font = cleanSymbol[i] ? (symbolRun ? f.font : doc_.FindFont("Symbol")) : PlainFontBefore(start);
      format = doc_.InternChar(other);
    }
    doc_.charFormat[std::size_t(start) + i] = format;
  }
  // A Greek letter set in the Symbol font for its own sake: what is typed next goes on in the format before it.
  if (greek >= 0 && !symbolRun) {
    typing_ = f;
    typingSet_ = true;
  }
  selStart_ = selEnd_ = start + long(clean.size());
  Changed();
  NotifySelection();
}

int CRichEditCtrl::PlainFontBefore(long pos) {
  for (long i = pos - 1; i >= 0; --i)
    if (const int font = doc_.CharAt(int(i)).font; !richdoc::IsSymbolFont(doc_, font)) return font;
  return richdoc::IsSymbolFont(doc_, 0) ? doc_.FindFont("Arial") : 0;
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
               PFM_STYLE | PFM_NUMBERINGSTART | PFM_NUMBERINGTAB | PFM_NUMBERINGSTYLE | PFM_TABSTOPS;
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
    if (f.tabs != first.tabs) mask &= ~PFM_TABSTOPS;
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
  // A stop's position in the low 24 bits, its alignment above them.
  pf.cTabCount = short(std::min<std::size_t>(first.tabs.size(), 32));
  for (short t = 0; t < pf.cTabCount; ++t)
    pf.rgxTabs[t] = LONG(first.tabs[std::size_t(t)].position | (first.tabs[std::size_t(t)].kind << 24));
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
  ::SetClipboardData(CF_TEXT, FromString(doc_.ShownText(int(selStart_), int(selEnd_))));
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
  // RTF keeps the formats; RTF that does not read, or reads as nothing where the text has something, gives way to
  // the text.
  richdoc::Document read;
  if (!rtf.empty() && ReadRtf(rtf, read) && (read.Length() > 1 || text.empty())) {
    Put(std::move(read), true);
    return;
  }
  if (!text.empty()) InsertUnicode(text, true);
}

BOOL CRichEditCtrl::SetZoom(int numerator, int denominator) {
  if (numerator < 0 || denominator < 0 || (denominator == 0) != (numerator == 0)) return FALSE;
  if (denominator > 0 && (numerator * 64 <= denominator || numerator >= denominator * 64)) return FALSE;
  zoomNum_ = numerator;
  zoomDen_ = denominator;
  if (m_hWnd) {
    Invalidate();
    Reflow();
  }
  return TRUE;
}

void CRichEditCtrl::WheelZoom(int delta) {
  // a notch is 120; a finer wheel's part of one still takes a step
  const int notches = delta / 120 != 0 ? delta / 120 : (delta > 0) - (delta < 0);
  const int percent = zoomDen_ > 0 ? int(zoomNum_ * 100.0 / zoomDen_ + 0.5) : 100;
  const int next = std::clamp(percent + kWheelZoomStep * notches, kWheelZoomLeast, kWheelZoomMost);
  if (next != percent) SetZoom(next, 100);
}

BOOL CRichEditCtrl::GetZoom(int& numerator, int& denominator) const {
  numerator = zoomNum_;
  denominator = zoomDen_;
  return TRUE;
}

namespace {

// What whole-word search takes as part of a word: letters and digits (with their accents, umlauts and ß, Greek and
// Cyrillic; the characters of other scripts too) and '_'; not signs, punctuation and spaces.
bool IsWordCode(char32_t c) {
  if (c < 0x80) return std::isalnum(int(c)) || c == '_';
  if (c < 0xC0) return c == 0xAA || c == 0xB5 || c == 0xBA;
  if (c < 0x370) return c != 0xD7 && c != 0xF7;
  if (c < 0x400) return c != 0x375 && c != 0x37E && c != 0x384 && c != 0x385 && c != 0x387;
  if (c < 0x530) return c != 0x482;
  return !(c >= 0x2000 && c <= 0x2BFF) && !(c >= 0x3000 && c <= 0x303F);
}

// A letter of either case as its small one, for search without case: one character for one, so that a hit keeps
// its length (ß stays ß, the capital sharp s becomes it).
char32_t Folded(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c < 0xC0) return c == 0xB5 ? 0x3BC : c;  // the micro sign is mu
  if (c <= 0xDE) return c == 0xD7 ? c : c + 0x20;
  if (c == 0x178) return 0xFF;
  if (c >= 0x100 && c <= 0x17E && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149) {
    // pairs of capital and small: the capital even in 0100-0137 and 014A-0177, odd in 0139-0148 and 0179-017E
    const bool oddCapital = (c >= 0x139 && c <= 0x148) || c >= 0x179;
    return oddCapital ? (c & 1 ? c + 1 : c) : (c | 1);
  }
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;
  switch (c) {
    case 0x386: return 0x3AC;
    case 0x388:
    case 0x389:
    case 0x38A: return c + 0x25;
    case 0x38C: return 0x3CC;
    case 0x38E:
    case 0x38F: return c + 0x3F;
    case 0x3C2: return 0x3C3;  // final sigma
    case 0x3D1: return 0x3B8;  // the variant letters of the Symbol font: theta, phi, pi
    case 0x3D5: return 0x3C6;
    case 0x3D6: return 0x3C0;
    case 0x1E9E: return 0xDF;
    default: break;
  }
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  return c;
}

}  // namespace

long CRichEditCtrl::FindText(const std::string& what, bool matchCase, bool wholeWord, bool down, long from,
                             long& hitEnd) const {
  hitEnd = -1;
  // Compared character by character as each shows: the text holds its letters as bytes of the code page (Greek as
  // letters of the Symbol font), the search text is UTF-8 (a byte that is none is a byte of the code page).
  std::u32string needle;
  for (std::size_t i = 0; i < what.size();) {
    bool raw = false;
    const char32_t c = win::NextCodePoint(what, i, &raw);
    needle += raw ? win::Windows1252Char(static_cast<unsigned char>(c)) : c;
  }
  const long m = long(needle.size()), n = doc_.Length();
  if (m == 0 || m > n) return -1;
  std::u32string hay = doc_.ShownChars(0, int(n));
  if (!matchCase) {
    for (char32_t& c : hay) c = Folded(c);
    for (char32_t& c : needle) c = Folded(c);
  }
  auto hitAt = [&](long p) {
    if (hay.compare(std::size_t(p), std::size_t(m), needle) != 0) return false;
    return !wholeWord ||
           ((p == 0 || !IsWordCode(hay[std::size_t(p - 1)])) && (p + m >= n || !IsWordCode(hay[std::size_t(p + m)])));
  };
  // Down from the position; up, a hit that ends at it at the latest.
  for (long p = down ? std::max(0L, from) : std::min(from, n) - m; down ? p + m <= n : p >= 0; p += down ? 1 : -1)
    if (hitAt(p)) {
      hitEnd = p + m;
      return p;
    }
  return -1;
}

std::string CRichEditCtrl::StreamOutRtf(bool selectionOnly) const {
  if (!selectionOnly) return doc_.WriteRtf();
  return doc_.Slice(int(selStart_), int(selEnd_)).WriteRtf();
}

bool CRichEditCtrl::ReadRtf(const std::string& rtf, richdoc::Document& read, std::string* error) {
  try {
    read.ReadRtf(rtf);
  } catch (const richdoc::RtfError& e) {
    if (error) *error = e.what();
    return false;
  }
  return true;
}

bool CRichEditCtrl::StreamInRtf(const std::string& rtf, bool selectionOnly, std::string* error) {
  richdoc::Document read;
  if (!ReadRtf(rtf, read, error)) return false;
  Put(std::move(read), selectionOnly);
  return true;
}

void CRichEditCtrl::Put(richdoc::Document read, bool selectionOnly) {
  if (!selectionOnly) {
    doc_ = std::move(read);
    EmptyUndoBuffer();
    selStart_ = selEnd_ = 0;
  } else {
    BeginChange();
    const long inserted = doc_.ReplaceWith(int(selStart_), int(selEnd_), read);
    selStart_ = selEnd_ = selStart_ + inserted;
  }
  typingSet_ = false;
  Changed();
  NotifySelection();
}

// ---- Drawing ----------------------------------------------------------------------------------------------------

namespace richedit::detail {

namespace {

// A document with a style sheet says how its headings look; without one a heading level gets its own size.
bool OwnHeadingLook(const richdoc::Document& d, const ParaFormat& p) {
  return p.heading > 0 && d.styleHeadings.empty();
}

HFONT FontFor(const richdoc::Document& d, const CharFormat& f, const ParaFormat& p, double scale) {
  int half = f.size;
  if (OwnHeadingLook(d, p)) half = std::max(half, 36 - 2 * std::min(p.heading, 6));
  if (f.sub || f.super) half = half * 2 / 3;
  const int px = std::max(4, int(half / 2.0 * 96.0 / 72.0 * scale + 0.5));
  const std::string& face = d.fonts[std::size_t(f.font) < d.fonts.size() ? std::size_t(f.font) : 0].name;
  return ::CreateFont(-px, 0, 0, 0, f.bold || OwnHeadingLook(d, p) ? FW_BOLD : FW_NORMAL, f.italic, f.underline != 0, 0,
                      DEFAULT_CHARSET, 0, 0, 0, 0, face.c_str());
}

// The font of a character with its paragraph's format selected into a DC, made anew only where the format changes;
// the DC's own font again at the end.
class FontKeeper {
 public:
  FontKeeper(HDC dc, const richdoc::Document& d, double scale) : dc_(dc), d_(d), scale_(scale) {}
  ~FontKeeper() {
    if (!font_) return;
    ::SelectObject(dc_, old_);
    ::DeleteObject(font_);
  }
  FontKeeper(const FontKeeper&) = delete;
  FontKeeper& operator=(const FontKeeper&) = delete;
  // Selects the font of character c of the paragraph ending at mark; true when it was another.
  bool Select(int c, int mark) {
    const int cf = d_.charFormat[std::size_t(c)], pf = d_.paraFormat[std::size_t(mark)];
    if (cf == charFormat_ && pf == paraFormat_) return false;
    HFONT next = FontFor(d_, d_.charFormats[std::size_t(cf)], d_.paraFormats[std::size_t(pf)], scale_);
    HGDIOBJ previous = ::SelectObject(dc_, next);
    if (font_)
      ::DeleteObject(font_);
    else
      old_ = previous;
    font_ = next;
    charFormat_ = cf;
    paraFormat_ = pf;
    return true;
  }

 private:
  HDC dc_;
  const richdoc::Document& d_;
  double scale_;
  int charFormat_ = -1, paraFormat_ = -1;
  HFONT font_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

std::vector<int> CellBounds(const std::string& rowDef) {
  std::vector<int> out;
  for (std::size_t p = rowDef.find("\\cellx"); p != std::string::npos; p = rowDef.find("\\cellx", p + 6))
    out.push_back(int(win::ClampedNumber(rowDef.c_str() + p + 6, -win::kRtfMaxTwips, win::kRtfMaxTwips)));
  return out;
}

// The sides of each cell that have a border: a "\clbrdrt", "\clbrdrl", "\clbrdrb" or "\clbrdrr" before the cell's
// "\cellx", followed by a border style other than none ("\brdrnone", "\brdrnil", "\brdrtbl").
std::vector<unsigned char> CellSides(const std::string& rowDef) {
  std::vector<unsigned char> out;
  unsigned char sides = 0, side = 0;
  for (std::size_t p = rowDef.find('\\'); p != std::string::npos; p = rowDef.find('\\', p + 1)) {
    const richdoc::Word w = richdoc::ReadWord(rowDef, p);
    if (w.name == "cellx") {
      out.push_back(sides);
      sides = side = 0;
    } else if (w.name.size() == 7 && w.name.starts_with("clbrdr")) {
      const char which = w.name[6];
      side = which == 't'   ? kTopSide
             : which == 'l' ? kLeftSide
             : which == 'b' ? kBottomSide
             : which == 'r' ? kRightSide
                            : 0;
    } else if (side && w.name.starts_with("brdr") && w.name != "brdrw" && w.name != "brdrcf" && w.name != "brdrsp") {
      if (w.name != "brdrnone" && w.name != "brdrnil" && w.name != "brdrtbl") sides |= side;
      side = 0;
    }
  }
  return out;
}

// Where the word stands in a row definition (not as the start of a longer word); npos when it is not there.
std::size_t RowWordAt(const std::string& rowDef, const std::string& word) {
  for (std::size_t p = rowDef.find("\\" + word); p != std::string::npos; p = rowDef.find("\\" + word, p + 1)) {
    const std::size_t after = p + 1 + word.size();
    if (after >= rowDef.size() || !std::isalpha(static_cast<unsigned char>(rowDef[after]))) return p;
  }
  return std::string::npos;
}

// The number of a word in a row definition (\trgaph70), or the fallback when it has none.
int RowNumber(const std::string& rowDef, const std::string& word, int fallback) {
  const std::size_t p = RowWordAt(rowDef, word);
  if (p == std::string::npos) return fallback;
  return int(win::ClampedNumber(rowDef.c_str() + p + 1 + word.size(), -win::kRtfMaxTwips, win::kRtfMaxTwips));
}

const std::string& RowDefinition(const richdoc::Document& d, int rowMark) {
  static const std::string none;
  const int blob = d.extra[std::size_t(rowMark)];
  return blob >= 0 ? d.blobs[std::size_t(blob)] : none;
}

// The size an embedded object or picture is shown at (pixels); a picture that names no size gets a small box.
SIZE ObjectSize(const richdoc::Document& d, int i, double scale) {
  const int blob = d.extra[std::size_t(i)];
  const PictureSize size = blob >= 0 ? PictureSizeOf(d.blobs[std::size_t(blob)]) : PictureSize{};
  if (!size.shown) return {0, 0};
  if (size.widthTwips <= 0 || size.heightTwips <= 0) return {LONG(60 * scale), LONG(40 * scale)};
  const double twip = 96.0 / 1440.0 * scale;
  return {std::max(LONG(1), LONG(size.widthTwips * twip + 0.5)),
          std::max(LONG(1), LONG(size.heightTwips * twip + 0.5))};
}

}  // namespace

Layout LayOut(const richdoc::Document& d, HDC dc, int width, double scale) {
  Layout out;
  const int n = d.Length();
  out.boxes.resize(std::size_t(n));
  out.baselines.resize(std::size_t(n));
  const double twip = 96.0 / 1440.0 * scale;
  int y = kMargin;
  int i = 0;
  // The shape of the current row, and the definition it was read from: rows that share a definition share it.
  int shapeIndex = -1, shapeBlob = -2;
  int cellIndex = 0;
  bool cellStart = true;  // the next paragraph is the first of its cell
  int rowTop = y, rowBottom = y, rowFirst = 0;
  bool rowKeep = false, lastRowHeader = false, inTable = false;
  std::vector<std::pair<int, int>> rowLines;  // the top and foot of each line of the current row
  int table = -1;
  int rowlessTo = 0;  // the paragraphs ending before it are marked as in a table, but no row closes them
  bool breakPending = false;
  int number = 0, lastKind = 0;
  FontKeeper fonts(dc, d, scale);
  int fontAscent = 0;
  auto selectFont = [&](int c, int mark) {
    if (!fonts.Select(c, mark)) return;
    TEXTMETRIC tm{};
    ::GetTextMetrics(dc, &tm);
    fontAscent = tm.tmAscent;
  };
  while (i < n) {
    // One paragraph (or cell) from i to its mark.
    const int end = d.ParagraphEnd(i);
    const ParaFormat& p = d.paraFormats[std::size_t(d.paraFormat[std::size_t(end)])];
    if (p.numbering == 0) {
      lastKind = 0;
    } else {
      number = lastKind == p.numbering ? number + 1 : p.numberStart;
      lastKind = p.numbering;
      // A bullet is drawn as the round bullet of the code page rather than the small dot the RTF label uses.
      out.labels.push_back({i, p.numbering == 1 ? std::string("\x95") : richdoc::NumberLabel(p.numbering, number)});
    }
    int left = kMargin, right = width - kMargin;
    // Text marked as in a table that no row closes is laid out as an ordinary paragraph: it starts no row, and no
    // later table's row is taken for it.
    bool inRow = p.inTable && end >= rowlessTo;
    int r = -1;
    if (inRow && cellIndex == 0 && cellStart) {
      r = d.RowMarkOf(end, &rowlessTo);
      inRow = r >= 0;
    }
    if (inRow) {
      if (r >= 0) {
        const int blob = d.extra[std::size_t(r)];
        if (shapeIndex < 0 || blob != shapeBlob) {
          const std::string& def = RowDefinition(d, r);
          richdoc::CountVisited(def.size());
          // Without a gap of its own a cell keeps three pixels from its walls.
          out.shapes.push_back({CellBounds(def), RowNumber(def, "trleft", 0), RowNumber(def, "trgaph", 45),
                                CellSides(def), RowWordAt(def, "trhdr") != std::string::npos});
          shapeIndex = int(out.shapes.size()) - 1;
          shapeBlob = blob;
        }
        // A row of headings after rows of values begins another table.
        const bool header = out.shapes[std::size_t(shapeIndex)].header;
        if (!inTable || (header && !lastRowHeader)) ++table;
        rowTop = rowBottom = y;
        rowFirst = i;
        rowKeep = false;
        rowLines.clear();
      }
      const RowShape& shape = out.shapes[std::size_t(shapeIndex)];
      const std::vector<int>& bounds = shape.bounds;
      const int b0 = cellIndex == 0 || bounds.empty()
                         ? shape.left
                         : bounds[std::size_t(std::min<int>(cellIndex - 1, int(bounds.size()) - 1))];
      const int b1 = bounds.empty() ? 2000 : bounds[std::size_t(std::min<int>(cellIndex, int(bounds.size()) - 1))];
      // A cell's walls stand the gap left of the positions the row names; its text keeps the gap from each.
      const int gap = std::max(shape.gap, 0);
      left = kMargin + int(b0 * twip);
      right = std::max(left + 10, kMargin + int((b1 - 2 * gap) * twip));
      if (cellStart) y = rowTop;
      cellStart = false;
      rowKeep = rowKeep || p.keepNext;
    }
    inTable = inRow;
    // The empty paragraph the text ends with only holds the caret: it takes no room or rule of the one before.
    const bool trailing = i == end && end == n - 1 && i > 0 && IsMark(d.text[std::size_t(i - 1)]);
    if (!trailing) y += int(p.spaceBefore * twip + 0.5);
    // Every character measured first: a right tab needs the width of what follows it. A letter stands on the
    // line's baseline by its ascent, a picture on it by its height; a raised or lowered letter reaches further.
    const std::size_t count = std::size_t(end - i + 1);
    richdoc::CountVisited(count);
    std::vector<SIZE> sizes(count);
    std::vector<int> ascents(count), rises(count);
    for (int c = i; c <= end; ++c) {
      const char ch = d.text[std::size_t(c)];
      SIZE& sz = sizes[std::size_t(c - i)];
      selectFont(c, end);
      int ascent = fontAscent;
      const CharFormat& f = d.CharAt(c);
      if (ch == richdoc::kObject) {
        sz = ObjectSize(d, c, scale);
        ascent = int(sz.cy);
      } else if (IsMark(ch) || ch == richdoc::kLine || ch == richdoc::kPage || ch == '\t') {
        ::GetTextExtentPoint32(dc, " ", 1, &sz);
        sz.cx = ch == '\t' ? 0 : 1;
      } else if (ch == richdoc::kWide) {
        // Its UTF-8, which the text drawing takes as such, in the run's face (the fonts have Cyrillic and more).
        const std::string_view utf8 = d.WideAt(c);
        ::GetTextExtentPoint32(dc, utf8.data(), int(utf8.size()), &sz);
      } else {
        ::GetTextExtentPoint32(dc, &ch, 1, &sz);
      }
      if (f.hidden) sz.cx = 0;
      const int rise = ch == richdoc::kObject ? 0 : f.super ? ascent / 2 : f.sub ? -ascent / 4 : 0;
      rises[std::size_t(c - i)] = rise;
      ascents[std::size_t(c - i)] = ascent + rise;
    }
    const int indentFirst = int((p.left + p.first) * twip), indentRest = int(p.left * twip);
    // A numbered paragraph's label stands in the hanging room; its text starts at the indent of the others.
    const int firstStart = p.numbering > 0 ? std::max(indentRest, indentFirst) : std::max(0, indentFirst);
    int x = left + firstStart;
    int lineStart = i;
    int lineAscent = 0, lineDescent = 0;
    auto takeHeight = [&](int c) {
      const std::size_t k = std::size_t(c - i);
      lineAscent = std::max(lineAscent, ascents[k]);
      lineDescent = std::max(lineDescent, int(sizes[k].cy) - ascents[k]);
    };
    const std::size_t firstBlock = out.blocks.size();
    std::vector<int> lineChars;
    auto finishLine = [&](int nextStart) {
      const int h = std::max(lineAscent + lineDescent, 1);
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
        out.baselines[std::size_t(c)] = y + lineAscent - rises[std::size_t(c - i)];
      }
      out.lineStarts.push_back(lineStart);
      out.lineMarks.push_back(end);
      out.tallest = std::max(out.tallest, h);
      if (!inRow) {
        Block line;
        line.top = y;
        line.bottom = y + h;
        line.breakBefore = breakPending;
        line.first = lineStart;
        line.last = nextStart;
        out.blocks.push_back(line);
        breakPending = false;
      } else {
        rowLines.emplace_back(y, y + h);
      }
      y = int(std::min<std::int64_t>(y + lineGap, INT_MAX / 2));
      lineChars.clear();
      lineAscent = lineDescent = 0;
      lineStart = nextStart;
      x = left + indentRest;
    };
    int lastSpace = -1;
    for (int c = i; c <= end; ++c) {
      const char ch = d.text[std::size_t(c)];
      SIZE sz = sizes[std::size_t(c - i)];
      if (ch == '\t' && !d.CharAt(c).hidden) {
        // To the next tab stop of the paragraph, past its last one every half inch; the text after a right or
        // decimal stop ends there, after a centred one it is centred on it.
        const richdoc::TabStop* stop = nullptr;
        for (const richdoc::TabStop& t : p.tabs)
          if (left + int(t.position * twip) > x) {
            stop = &t;
            break;
          }
        if (stop) {
          int after = 0;
          for (int k = c + 1; k <= end && d.text[std::size_t(k)] != '\t' && !IsMark(d.text[std::size_t(k)]); ++k)
            after += int(sizes[std::size_t(k - i)].cx);
          const int at = left + int(stop->position * twip);
          const int to = stop->kind == 0 ? at : stop->kind == 1 ? at - after / 2 : at - after;
          sz.cx = std::max(0, to - x);
        } else {
          const int tab = std::max(1, int(720 * twip));
          sz.cx = tab - (x - left) % tab;
        }
      }
      if (x + sz.cx > right && !lineChars.empty() && !IsMark(ch) && ch != ' ') {
        // Wrap after the last blank, or here when the word fills the line.
        if (lastSpace >= lineStart && lastSpace + 1 <= c) {
          std::vector<int> carry(lineChars.begin() + (lastSpace + 1 - lineStart), lineChars.end());
          lineChars.resize(std::size_t(lastSpace + 1 - lineStart));
          // The line's height is that of the characters it keeps.
          lineAscent = lineDescent = 0;
          for (int k : lineChars) takeHeight(k);
          finishLine(lastSpace + 1);
          for (int k : carry) {
            RECT& r = out.boxes[std::size_t(k)];
            const int w = r.right - r.left;
            r.left = x;
            r.right = x + w;
            x += w;
            lineChars.push_back(k);
            takeHeight(k);
          }
        } else {
          finishLine(c);
        }
      }
      RECT& box = out.boxes[std::size_t(c)];
      box.left = x;
      box.right = x + sz.cx;
      takeHeight(c);
      x += sz.cx;
      lineChars.push_back(c);
      if (ch == ' ') lastSpace = c;
      if (ch == richdoc::kLine || ch == richdoc::kPage) finishLine(c + 1);
      if (ch == richdoc::kPage) breakPending = true;
    }
    finishLine(end + 1);
    // The mark that ends a row stands at the row's right wall, not in a cell.
    if (inRow && i == end && d.text[std::size_t(end)] == richdoc::kRow &&
        !out.shapes[std::size_t(shapeIndex)].bounds.empty()) {
      const RowShape& shape = out.shapes[std::size_t(shapeIndex)];
      RECT& mark = out.boxes[std::size_t(end)];
      mark.left = kMargin + int((shape.bounds.back() - std::max(shape.gap, 0)) * twip);
      mark.right = mark.left + 1;
    }
    // A page break leaves no paragraph's first or last line alone; the last line keeps with what follows as the
    // paragraph asks.
    if (out.blocks.size() >= firstBlock + 2) {
      out.blocks[firstBlock].keepNext = true;
      out.blocks[out.blocks.size() - 2].keepNext = true;
    }
    if (out.blocks.size() > firstBlock) out.blocks.back().keepNext = p.keepNext;
    if (p.ruleBelow && !trailing) {
      out.rules.push_back({left, y, right, y});
      y += std::max(1, int(10 * twip));
    }
    if (!trailing) y += int(p.spaceAfter * twip + 0.5);
    if (inRow) {
      rowBottom = std::max(rowBottom, y);
      const char mark = d.text[std::size_t(end)];
      if (mark == richdoc::kCell) {
        ++cellIndex;
        cellStart = true;
      } else if (mark == richdoc::kRow) {
        const int held = cellIndex + (i < end ? 1 : 0);  // the text before the row's mark stands in a cell too
        cellIndex = 0;
        cellStart = true;
        y = rowBottom;
        const RowShape& shape = out.shapes[std::size_t(shapeIndex)];
        Block row;
        row.top = rowTop;
        row.bottom = rowBottom;
        row.keepNext = rowKeep;
        row.breakBefore = breakPending;
        row.table = table;
        row.headerRow = shape.header;
        row.first = rowFirst;
        row.last = end + 1;
        row.shape = shapeIndex;
        row.cells = std::max(1, held);
        // Where a page may cut the row: at the top of a line of any cell that no line above it reaches across.
        std::sort(rowLines.begin(), rowLines.end());
        row.frameTop = out.boxes[std::size_t(rowFirst)].top;
        row.frameBottom = row.frameTop;
        row.cutFrom = int(out.cuts.size());
        int reached = INT_MIN;
        for (std::size_t k = 0; k < rowLines.size(); ++k) {
          const auto [top, foot] = rowLines[k];
          if (k > 0 && top > rowLines[0].first && top != rowLines[k - 1].first)
            out.cuts.push_back({top, reached <= top});
          reached = std::max(reached, foot);
        }
        row.cutTo = int(out.cuts.size());
        row.frameBottom = std::max(row.frameTop, reached);
        out.blocks.push_back(row);
        breakPending = false;
        lastRowHeader = shape.header;
        if (!shape.bounds.empty()) out.width = std::max(out.width, kMargin + int(shape.bounds.back() * twip) + 1);
      }
    }
    i = end + 1;
  }
  for (const RECT& r : out.boxes) out.width = std::max(out.width, int(r.right));
  out.width += kMargin;
  out.height = y + kMargin;
  out.reach.reserve(out.blocks.size());
  for (const Block& b : out.blocks)
    out.reach.push_back(std::max(out.reach.empty() ? INT_MIN : out.reach.back(), b.bottom));
  std::stable_sort(out.rules.begin(), out.rules.end(), [](const RECT& a, const RECT& b) { return a.top < b.top; });
  return out;
}

void DrawLaidOut(HDC dc, const richdoc::Document& doc_, const Layout& layout, int scrollY_, long a, long b,
                 double scale, int yFrom, int yTo, bool guides) {
  const int n = doc_.Length();
  auto onPage = [&](const RECT& r) { return r.top >= yFrom && r.top < yTo; };
  const double twip = 96.0 / 1440.0 * scale;
  // The blocks that reach into [yFrom, yTo): from the first whose foot (or an earlier one's) lies below yFrom to the
  // last that starts above yTo; the characters from after the block before them to the block after them.
  const std::vector<Block>& blocks = layout.blocks;
  const std::size_t k0 =
      std::size_t(std::upper_bound(layout.reach.begin(), layout.reach.end(), yFrom) - layout.reach.begin());
  const std::size_t k1 = std::size_t(
      std::partition_point(blocks.begin(), blocks.end(), [&](const Block& k) { return k.top < yTo; }) - blocks.begin());
  const int c0 = k0 > 0 && k0 <= blocks.size() ? blocks[k0 - 1].last : 0;
  const int c1 = k1 < blocks.size() ? std::min(n, blocks[k1].first) : n;
  richdoc::CountVisited(std::uint64_t(std::max(0, c1 - c0)));
  // Table cells: the borders a row names in black; with guides, the cells of one that names none in grey. A row cut
  // by a page's foot is closed there where its cells have a foot, and opened again so on the next page.
  for (std::size_t k = k0; k < k1; ++k) {
    const Block& row = blocks[k];
    if (row.shape < 0) continue;
    const int top = std::max(row.frameTop, yFrom), bottom = std::min(row.frameBottom, yTo);
    if (top >= bottom) continue;
    const RowShape& shape = layout.shapes[std::size_t(row.shape)];
    const bool framed = shape.Framed();
    if (!framed && !guides) continue;
    HPEN pen =
        ::CreatePen(PS_SOLID, framed ? std::max(1, int(10 * twip)) : 1, framed ? RGB(0, 0, 0) : RGB(160, 160, 160));
    HGDIOBJ oldPen = ::SelectObject(dc, pen);
    auto line = [&](int xa, int ya, int xb, int yb) {
      ::MoveToEx(dc, xa, ya - scrollY_, nullptr);
      ::LineTo(dc, xb, yb - scrollY_);
    };
    const int gap = std::max(0, shape.gap);
    // A definition reused by rows of fewer cells would draw its every wall on each of them.
    const std::size_t cells = std::min(shape.bounds.size(), std::size_t(std::max(row.cells, 1)));
    richdoc::CountVisited(cells);
    int x0 = kMargin + int((shape.left - gap) * twip);
    for (std::size_t w = 0; w < cells; ++w) {
      const int x1 = kMargin + int((shape.bounds[w] - gap) * twip);
      const unsigned char sides = !framed                  ? (kTopSide | kLeftSide | kBottomSide | kRightSide)
                                  : w < shape.sides.size() ? shape.sides[w]
                                                           : 0;
      if (sides & kLeftSide) line(x0, top, x0, bottom);
      if (sides & kRightSide) line(x1, top, x1, bottom);
      if (sides & kTopSide) line(x0, top, x1, top);
      if (sides & kBottomSide) line(x0, bottom, x1, bottom);
      x0 = x1;
    }
    ::SelectObject(dc, oldPen);
    ::DeleteObject(pen);
  }
  const auto firstRule =
      std::lower_bound(layout.rules.begin(), layout.rules.end(), yFrom, [](const RECT& r, int y) { return r.top < y; });
  for (auto rule = firstRule; rule != layout.rules.end() && rule->top < yTo; ++rule) {
    const RECT line{rule->left, rule->top - scrollY_, rule->right, rule->top - scrollY_ + std::max(1, int(10 * twip))};
    ::FillRect(dc, &line, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  }
  // The letters stand on their baselines; the font is made anew only where the format changes.
  const UINT oldAlign = ::SetTextAlign(dc, TA_BASELINE | TA_LEFT);
  FontKeeper fonts(dc, doc_, scale);
  // The line of a character, followed along: its paragraph's mark without looking for it.
  const std::vector<int>& starts = layout.lineStarts;
  auto lineOf = [&](int c) {
    return std::max<std::ptrdiff_t>(0, std::upper_bound(starts.begin(), starts.end(), c) - starts.begin() - 1);
  };
  std::size_t line = std::size_t(lineOf(c0));
  for (int i = c0; i < c1; ++i) {
    while (line + 1 < starts.size() && starts[line + 1] <= i) ++line;
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
    const int base = layout.baselines[std::size_t(i)] - scrollY_;
    if (ch == richdoc::kObject) {
      // The picture stands on the baseline, as a letter does.
      const SIZE size = ObjectSize(doc_, i, scale);
      const RECT o{r.left, base - size.cy, r.left + size.cx, base};
      if (doc_.extra[std::size_t(i)] >= 0) DrawPicture(dc, o, doc_.blobs[std::size_t(doc_.extra[std::size_t(i)])]);
      continue;
    }
    if (IsMark(ch) || ch == '\t' || ch == richdoc::kLine || ch == richdoc::kPage) continue;
    fonts.Select(i, layout.lineMarks[line]);
    ::SetTextColor(dc, ColourOf(doc_, f.colour));
    if (ch == richdoc::kWide) {
      const std::string_view utf8 = doc_.WideAt(i);
      ::TextOut(dc, r.left, base + 1, utf8.data(), int(utf8.size()));
    } else {
      ::TextOut(dc, r.left, base + 1, &ch, 1);
    }
    if (f.underline == 2) {
      HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(220, 0, 0));
      HGDIOBJ oldPen = ::SelectObject(dc, pen);
      for (int x = r.left; x < r.right; x += 2) {
        ::MoveToEx(dc, x, base + 1 + (x / 2) % 2, nullptr);
        ::LineTo(dc, x + 2, base + 1 + (x / 2 + 1) % 2);
      }
      ::SelectObject(dc, oldPen);
      ::DeleteObject(pen);
    }
  }
  // Numbering labels, on the baseline of their paragraph's first line.
  const auto firstLabel =
      std::lower_bound(layout.labels.begin(), layout.labels.end(), c0, [](const Label& l, int c) { return l.at < c; });
  for (auto label = firstLabel; label != layout.labels.end() && label->at < c1; ++label) {
    const RECT& r = layout.boxes[std::size_t(label->at)];
    if (!onPage(r)) continue;
    const int mark = layout.lineMarks[std::size_t(lineOf(label->at))];
    const ParaFormat& p = doc_.paraFormats[std::size_t(doc_.paraFormat[std::size_t(mark)])];
    fonts.Select(label->at, mark);
    ::SetTextColor(dc, 0);
    ::TextOut(dc, std::max(kMargin, int(r.left - std::max(p.numberTab, 227) * twip)),
              layout.baselines[std::size_t(label->at)] - scrollY_ + 1, label->text.c_str(), int(label->text.size()));
  }
  ::SetTextAlign(dc, oldAlign);
}

}  // namespace richedit::detail

double CRichEditCtrl::Scale() const { return zoomDen_ > 0 ? double(zoomNum_) / zoomDen_ : 1.0; }

void CRichEditCtrl::Reflow() {
  if (!m_hWnd) return;
  CRect client;
  GetClientRect(&client);
  const double scale = Scale();
  const int width = client.Width() - 16;
  // What the layout depends on: the characters, their formats, the fonts, the pictures, the width and the zoom.
  const richdoc::Document& k = layoutDoc_;
  auto sameFonts = [&] {
    if (k.fonts.size() != doc_.fonts.size()) return false;
    for (std::size_t f = 0; f < k.fonts.size(); ++f)
      if (k.fonts[f].name != doc_.fonts[f].name) return false;
    return true;
  };
  if (!layout_ || layoutWidth_ != width || layoutScale_ != scale || k.text != doc_.text ||
      k.charFormat != doc_.charFormat || k.paraFormat != doc_.paraFormat || k.extra != doc_.extra ||
      k.charFormats != doc_.charFormats || k.paraFormats != doc_.paraFormats || k.blobs != doc_.blobs ||
      k.styleHeadings != doc_.styleHeadings || !sameFonts()) {
    HDC dc = ::GetDC(m_hWnd);
    layout_ = std::make_shared<richedit::detail::Layout>(richedit::detail::LayOut(doc_, dc, width, scale));
    ::ReleaseDC(m_hWnd, dc);
    layoutDoc_ = doc_;
    layoutWidth_ = width;
    layoutScale_ = scale;
    lineStarts_ = layout_->lineStarts;
  }
  // The caret stays in view: the text scrolls when it leaves the window.
  int x = scrollX_, y = scrollY_;
  if (scrollToCaret_ && Caret() < long(layout_->boxes.size())) {
    const RECT& caret = layout_->boxes[std::size_t(Caret())];
    const int margin = richedit::detail::kMargin;
    if (caret.bottom - y > client.Height()) y = caret.bottom - client.Height() + margin;
    if (caret.top < y) y = std::max(0, int(caret.top) - margin);
    if (caret.right - x > client.Width()) x = caret.right - client.Width() + margin;
    if (caret.left < x + margin) x = std::max(0, int(caret.left) - margin);
    scrollToCaret_ = false;
  }
  ScrollTo(x, y);
}

void CRichEditCtrl::ScrollTo(int x, int y) {
  if (!m_hWnd || !layout_) {
    scrollX_ = std::max(0, x);
    scrollY_ = std::max(0, y);
    return;
  }
  CRect client;
  GetClientRect(&client);
  // The last position shows the text's foot (its right edge) at the window's foot (right edge).
  x = std::clamp(x, 0, std::max(0, layout_->width - client.Width()));
  y = std::clamp(y, 0, std::max(0, layout_->height - client.Height()));
  if (x != scrollX_ || y != scrollY_) Invalidate();
  scrollX_ = x;
  scrollY_ = y;
  const DWORD style = GetStyle();
  auto bar = [&](int which, int total, int page, int pos) {
    SCROLLINFO now{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    ::GetScrollInfo(m_hWnd, which, &now);
    SCROLLINFO si{
        sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, total - 1), UINT(std::max(0, page)), pos, 0};
    if (now.nMin != si.nMin || now.nMax != si.nMax || now.nPage != si.nPage || now.nPos != si.nPos)
      ::SetScrollInfo(m_hWnd, which, &si, TRUE);
  };
  if (style & WS_VSCROLL) bar(SB_VERT, layout_->height, client.Height(), scrollY_);
  if (style & WS_HSCROLL) bar(SB_HORZ, layout_->width, client.Width(), scrollX_);
}

void CRichEditCtrl::Scroll(bool vertical, UINT code) {
  CRect client;
  GetClientRect(&client);
  const int page = vertical ? client.Height() : client.Width();
  const int line = std::max(1, int(20 * Scale()));
  const int total = layout_ ? (vertical ? layout_->height : layout_->width) : 0;
  int pos = vertical ? scrollY_ : scrollX_;
  switch (code) {
    case SB_LINEUP: pos -= line; break;
    case SB_LINEDOWN: pos += line; break;
    case SB_PAGEUP: pos -= std::max(line, page - line); break;
    case SB_PAGEDOWN: pos += std::max(line, page - line); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si{sizeof(SCROLLINFO), SIF_TRACKPOS, 0, 0, 0, 0, 0};
      ::GetScrollInfo(m_hWnd, vertical ? SB_VERT : SB_HORZ, &si);
      pos = si.nTrackPos;
      break;
    }
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = total; break;
    default: return;
  }
  ScrollTo(vertical ? scrollX_ : pos, vertical ? pos : scrollY_);
}

void CRichEditCtrl::Paint(HDC dc) {
  CRect client;
  GetClientRect(&client);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
  Reflow();
  if (!layout_) return;
  const richedit::detail::Layout& layout = *layout_;
  ::SetBkMode(dc, TRANSPARENT);
  const int n = doc_.Length();
  POINT origin;
  ::OffsetViewportOrgEx(dc, -scrollX_, 0, &origin);
  // Only the lines that reach into the window are drawn.
  DrawLaidOut(dc, doc_, layout, scrollY_, selStart_, selEnd_, Scale(), scrollY_ - layout.tallest,
              scrollY_ + client.Height() + 1, !readOnly_);
  const long a = selStart_, b = selEnd_;
  if (a == b && a < n && GetFocus() == this) {
    const RECT& r = layout.boxes[std::size_t(a)];
    ::PatBlt(dc, r.left, r.top - scrollY_, 1, r.bottom - r.top, BLACKNESS);
  }
  ::SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
}

void CRichEditCtrl::KeyDown(UINT vk) {
  if (NavigateKey(vk)) return;
  const bool ctrl = ::GetKeyState(VK_CONTROL) < 0, shift = ::GetKeyState(VK_SHIFT) < 0;
  const long last = GetTextLength();
  if (readOnly_ && (vk == VK_DELETE || vk == VK_BACK || (shift && vk == VK_INSERT) ||
                    (ctrl && (vk == 'X' || vk == 'V' || vk == 'Z' || vk == 'Y'))))
    return;
  // The clipboard keys older than Ctrl+C, V and X.
  if (vk == VK_INSERT && (ctrl || shift)) {
    if (ctrl)
      Copy();
    else
      Paste();
    return;
  }
  if (vk == VK_DELETE && shift && !ctrl) {
    Cut();
    return;
  }
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
  if (NavigateMouse(message, wParam, lParam)) return 0;
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
      if (LOWORD(wParam) & MK_CONTROL)
        WheelZoom(short(HIWORD(wParam)));
      else
        ScrollTo(scrollX_, scrollY_ - short(HIWORD(wParam)) / 120 * 48);
      return 0;
    case WM_VSCROLL:
    case WM_HSCROLL: Scroll(message == WM_VSCROLL, LOWORD(wParam)); return 0;
    case WM_SIZE: Reflow(); break;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTTAB;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Invalidate(); break;
    case WM_KEYDOWN: KeyDown(UINT(wParam)); return 0;
    case WM_CHAR: {
      if (readOnly_) return 0;
      // The character by its Unicode value, kept as the document holds it.
      const auto ch = char32_t(wParam);
      if (::GetKeyState(VK_CONTROL) < 0 && ch != '\r') return 0;  // the key-down handled it
      if (ch == '\b' || ch == 27 || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) return 0;  // no character
      std::string text;
      win::AppendUtf8(text, ch == '\r' ? '\n' : ch);
      InsertUnicode(text, false);
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
    case EM_POSFROMCHAR: {
      const CPoint at = PosFromChar(long(lParam));
      if (wParam) *reinterpret_cast<POINT*>(wParam) = at;
      return 0;
    }
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
