// The editable rich-text control: a window over a richdoc::Document with a selection, character and paragraph
// formats (reading a mixed selection clears the attribute's mask bit), headings, find and replace, undo and redo,
// zoom, the clipboard in RTF and plain text, and drawing with word wrap. It answers the edit messages (EM_*,
// WM_CHAR, WM_KEYDOWN, WM_CUT/COPY/PASTE, WM_GETTEXT) and offers the usual wrapper calls. The caret moves and the
// selection grows by the keys and the mouse as in a desktop text box (richnav.cpp).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/richedit/richdoc.h"
#include "platform/win/afx.h"
#include "platform/win/screen/clipforms.h"

// Character format mask and effect bits.
inline constexpr DWORD CFM_BOLD = 0x1, CFM_ITALIC = 0x2, CFM_UNDERLINE = 0x4, CFM_HIDDEN = 0x100,
                       CFM_SUBSCRIPT = 0x30000, CFM_SUPERSCRIPT = 0x30000, CFM_FACE = 0x20000000,
                       CFM_COLOR = 0x40000000, CFM_SIZE = 0x80000000, CFM_UNDERLINETYPE = 0x800000;
inline constexpr DWORD CFE_BOLD = 0x1, CFE_ITALIC = 0x2, CFE_UNDERLINE = 0x4, CFE_HIDDEN = 0x100,
                       CFE_SUBSCRIPT = 0x10000, CFE_SUPERSCRIPT = 0x20000, CFE_AUTOCOLOR = 0x40000000;
inline constexpr DWORD PFM_STARTINDENT = 0x1, PFM_RIGHTINDENT = 0x2, PFM_OFFSET = 0x4, PFM_ALIGNMENT = 0x8,
                       PFM_TABSTOPS = 0x10, PFM_NUMBERING = 0x20, PFM_LINESPACING = 0x100, PFM_STYLE = 0x400,
                       PFM_NUMBERINGSTYLE = 0x2000, PFM_NUMBERINGTAB = 0x4000, PFM_NUMBERINGSTART = 0x8000;
inline constexpr WORD PFA_LEFT = 1, PFA_RIGHT = 2, PFA_CENTER = 3, PFA_JUSTIFY = 4;
inline constexpr WORD PFN_BULLET = 1, PFN_ARABIC = 2, PFN_LCLETTER = 3, PFN_UCLETTER = 4, PFN_LCROMAN = 5,
                      PFN_UCROMAN = 6;
inline constexpr WORD PFNS_PERIOD = 0x200;
inline constexpr UINT EM_EXGETSEL = WM_USER + 52, EM_EXSETSEL = WM_USER + 55, EM_GETCHARFORMAT = WM_USER + 58,
                      EM_GETPARAFORMAT = WM_USER + 61, EM_SETCHARFORMAT = WM_USER + 68, EM_SETPARAFORMAT = WM_USER + 71,
                      EM_REDO = WM_USER + 84, EM_CANREDO = WM_USER + 85, EM_GETZOOM = WM_USER + 224,
                      EM_SETZOOM = WM_USER + 225, EM_SETEVENTMASK = WM_USER + 69;
inline constexpr UINT EN_SELCHANGE = 0x0702;
inline constexpr WPARAM SCF_SELECTION = 0x1, SCF_WORD = 0x2, SCF_DEFAULT = 0x0, SCF_ALL = 0x4;
inline constexpr DWORD ENM_SELCHANGE = 0x80000, ENM_KEYEVENTS = 0x10000, ENM_CHANGE = 0x1;

struct CHARRANGE {
  LONG cpMin = 0;
  LONG cpMax = 0;
};
struct CHARFORMAT2 {
  UINT cbSize = sizeof(CHARFORMAT2);
  DWORD dwMask = 0;
  DWORD dwEffects = 0;
  LONG yHeight = 0;  // twips
  COLORREF crTextColor = 0;
  char szFaceName[32] = {};
};
using CHARFORMAT = CHARFORMAT2;
struct PARAFORMAT2 {
  UINT cbSize = sizeof(PARAFORMAT2);
  DWORD dwMask = 0;
  WORD wNumbering = 0;
  WORD wAlignment = 0;
  LONG dxStartIndent = 0;  // for setting: absolute start indent of the first line
  LONG dxRightIndent = 0;
  LONG dxOffset = 0;  // the further lines relative to the first
  LONG dyLineSpacing = 0;
  BYTE bLineSpacingRule = 0;
  short sStyle = 0;  // -1 standard, -2..-10 headings 1..9
  WORD wNumberingStart = 0, wNumberingStyle = 0, wNumberingTab = 0;
  short cTabCount = 0;
  LONG rgxTabs[32] = {};
};
using PARAFORMAT = PARAFORMAT2;
struct SELCHANGE {
  NMHDR nmhdr;
  CHARRANGE chrg;
  WORD seltyp = 0;
};

namespace richedit {

namespace detail {
struct Layout;
}

// Prints a document on pages of the printer's paper into a PDF file (margins in mm around the text); false with
// the reason in *error when the file could not be written.
bool PrintToPdf(const richdoc::Document& doc, const std::string& pdfPath, const std::string& title,
                std::string* error = nullptr, double marginMm = 20.0);

}  // namespace richedit

class CRichEditCtrl : public CWnd {
  DECLARE_DYNAMIC(CRichEditCtrl)
 public:
  CRichEditCtrl();
  static const char* ClassName();
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // Selection (positions are characters; -1 as end means the end of the text).
  void GetSel(long& start, long& end) const;
  void SetSel(long start, long end);
  CString GetSelText() const;
  // The text as the document's own bytes (Windows-1252, Symbol-font bytes in a Symbol run).
  void ReplaceSel(LPCSTR text, BOOL canUndo = FALSE);
  // UTF-8 text (typed or of another program) in place of the selection, each character as the document holds it:
  // Greek letters in the Symbol font. As shown: letters show as themselves also where the Symbol font stood.
  void InsertUnicode(const std::string& utf8, bool asShown);
  long GetTextLength() const { return doc_.Length() - 1; }
  // The plain text with paragraph marks as '\r' (the form find works on).
  std::string GetRawText() const { return doc_.text; }
  CString GetPlainText() const;

  BOOL SetSelectionCharFormat(const CHARFORMAT2& cf);
  BOOL SetDefaultCharFormat(const CHARFORMAT2& cf);
  BOOL SetWordCharFormat(const CHARFORMAT2& cf);
  DWORD GetSelectionCharFormat(CHARFORMAT2& cf) const;
  BOOL SetParaFormat(const PARAFORMAT2& pf);
  DWORD GetParaFormat(PARAFORMAT2& pf) const;
  // 1 standard, 2..10 headings 1..9: the selection widened to whole paragraphs.
  void SetHeading(int level);

  BOOL CanUndo() const { return !undo_.empty(); }
  BOOL CanRedo() const { return !redo_.empty(); }
  BOOL Undo();
  BOOL Redo();
  void EmptyUndoBuffer();
  void Copy();
  void Cut();
  void Paste();
  void Clear();

  // A read-only control (a viewer) takes no typing, cutting, pasting or undoing; the program still sets its text.
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  bool IsReadOnly() const { return readOnly_; }

  BOOL SetZoom(int numerator, int denominator);
  BOOL GetZoom(int& numerator, int& denominator) const;
  // Ctrl and the wheel: each notch up enlarges by a tenth of the natural size, down reduces, within 10 to 500 %.
  static constexpr int kWheelZoomStep = 10, kWheelZoomLeast = 10, kWheelZoomMost = 500;
  void WheelZoom(int delta);

  // Forward (or backward) search from the selection; the hit (start, end) or -1.
  long FindText(const std::string& what, bool matchCase, bool wholeWord, bool down, long from, long& hitEnd) const;

  // RTF of the whole text or of the selection; streaming in replaces it (the selection's part keeps undo).
  std::string StreamOutRtf(bool selectionOnly) const;
  // False, and nothing changed, when the text is not RTF; the reason in *error when given.
  bool StreamInRtf(const std::string& rtf, bool selectionOnly, std::string* error = nullptr);
  // Reads RTF as the stream-in does; false, with the reason in *error when given, when it is not RTF.
  static bool ReadRtf(const std::string& rtf, richdoc::Document& read, std::string* error = nullptr);

  richdoc::Document& Doc() { return doc_; }
  const richdoc::Document& Doc() const { return doc_; }
  DWORD GetEventMask() const { return eventMask_; }
  void SetEventMask(DWORD mask) { eventMask_ = mask; }
  // The lines as laid out last (for tests): first character of each.
  const std::vector<int>& LineStarts() const { return lineStarts_; }
  // Where the character's box starts in the window (its top left, client pixels); EM_POSFROMCHAR asks the same.
  CPoint PosFromChar(long pos);

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  // Every change goes through these: the state before is kept for undo.
  void BeginChange();
  void Changed();
  void NotifySelection();
  void Paint(HDC dc);
  void KeyDown(UINT vk);
  int CharFromPoint(int x, int y) const;
  // The arrows, Home, End, Page Up and Down, with Ctrl and Shift; false for other keys.
  bool NavigateKey(UINT vk);
  // Clicks, double clicks and drags that select (and the timer that scrolls while a drag is outside); false for
  // other messages.
  bool NavigateMouse(UINT message, WPARAM wParam, LPARAM lParam);
  // The selection from the anchor to the caret (which may stand before it).
  void Select(long anchor, long caret);
  // Replaces the selection by bytes of the document; symbol marks those that only the Symbol font shows, wide holds
  // the Unicode value of each kWide (0 for the others).
  void Insert(const std::string& bytes, const std::vector<bool>& symbol, const std::vector<char32_t>& wide,
              BOOL canUndo, bool asShown);
  // The font of the nearest character before pos that is not the Symbol font.
  int PlainFontBefore(long pos);
  long Caret() const { return caretAtStart_ ? selStart_ : selEnd_; }
  long Anchor() const { return caretAtStart_ ? selEnd_ : selStart_; }
  // A document read from RTF as the whole text, or in place of the selection (keeping undo).
  void Put(richdoc::Document read, bool selectionOnly);

  richdoc::Document doc_;
  long selStart_ = 0, selEnd_ = 0;
  richdoc::CharFormat typing_;
  bool typingSet_ = false;
  struct Snapshot {
    richdoc::Document doc;
    long start, end;
  };
  std::vector<Snapshot> undo_, redo_;
  int zoomNum_ = 0, zoomDen_ = 0;
  DWORD eventMask_ = 0;
  bool readOnly_ = false;
  std::vector<int> lineStarts_;
  int scrollY_ = 0, scrollX_ = 0;
  bool scrollToCaret_ = false;
  bool caretAtStart_ = false;
  // Counts the selection's changes; the column that Up and Down keep belongs to the change they made.
  unsigned selSerial_ = 0, goalSerial_ = 0;
  int goalX_ = -1;
  // A drag that selects: from where it started (a word's ends after a double click), to where the pointer is.
  bool dragging_ = false, dragWords_ = false, dragTimer_ = false;
  long dragFrom_ = 0, dragTo_ = 0;
  POINT dragPoint_{};

  // Lays the text out again where it, its formats, the window's width or the zoom changed, keeps the caret in view
  // when it moved, and sets the scroll bars.
  void Reflow();
  // Scrolls to the position (pixels of the laid-out text at the window's top left), as far as the text reaches.
  void ScrollTo(int x, int y);
  void Scroll(bool vertical, UINT code);
  double Scale() const;

 private:
  // The last layout and what it was made of.
  std::shared_ptr<richedit::detail::Layout> layout_;
  richdoc::Document layoutDoc_;
  int layoutWidth_ = 0;
  double layoutScale_ = 0;

 public:
  int GetScrollY() const { return scrollY_; }
  int GetScrollX() const { return scrollX_; }
};
