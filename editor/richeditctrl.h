// The editor's text control: the rich-text control with the document's buffers (stream in and out), a template for
// new documents, search and replace with their messages, character and paragraph formats by name, zoom in percent,
// the editing keys and the RTF of new tables.
#pragma once

#include <string>
#include <vector>

#include "document/rtfchunks.h"
#include "platform/richedit/richeditctrl.h"

class OleRichEditCtrl : public CRichEditCtrl {
  DECLARE_DYNAMIC(OleRichEditCtrl)
 public:
  OleRichEditCtrl() = default;
  ~OleRichEditCtrl() override = default;

  BOOL GetSel(long& start, long& end) const;  // TRUE when the selection is not empty
  void SetSel(long start, long end) { CRichEditCtrl::SetSel(start, end); }

  // The list becomes one buffer holding the RTF and its terminating zero.
  void StreamOut(CRtfChunkList& list, bool selectionOnly);
  // Exactly one buffer is read as RTF; no or several buffers (or text that is not RTF) start a new document.
  void StreamIn(CRtfChunkList& list, bool selectionOnly);
  // The template "Vorlagen\Freie Textvorlage.rtf" of the user data folder, else an empty text; Arial 10 pt.
  void NewDocument();

  // 1 when found (the hit selected); unless silent a missed text is reported.
  int FindText(const char* text, bool silent);
  int FindTextEx(const char* text, bool matchCase, bool wholeWord, bool down, bool silent);
  // With confirm each hit is asked about (Yes replaces, No moves on to the next hit, Cancel stops).
  void Replace(const char* text, const char* replacement, bool all, bool confirm, bool matchCase = false,
               bool wholeWord = false, bool down = true);

  int GetZoom() const;  // percent
  void SetZoom(int percent);

  void SetCharEffects(DWORD mask, DWORD effects, bool asDefault = false);
  void SetColor(COLORREF colour, bool asDefault = false);
  void SetFaceName(const char* face, bool asDefault = false);
  void SetHeight(int twips, bool asDefault = false);
  DWORD GetCharFormat(CHARFORMAT2& cf) const { return GetSelectionCharFormat(cf); }

  void SetAlignment(WORD alignment);
  void SetNumbering(WORD kind, WORD style, WORD tab);
  void SetIndent(long startIndent, long offset);
  void SetLineSpacing(int rule);
  void SetParagraphStyle(int level);
  DWORD GetParaFormat(PARAFORMAT2& pf) const { return CRichEditCtrl::GetParaFormat(pf); }

  // UTF-8 text in place of the selection, keeping undo (ReplaceSel takes the document's own bytes).
  void InsertText(const char* text);
  void InsertTable(int rows, int columns, const std::vector<int>& widths, const std::vector<std::string>& cells);

  BOOL PreTranslateMessage(MSG* msg) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Run after every stream-in of RTF.
  virtual void OnTextLoaded() {}
};

// The RTF of a table: boundaries are the running sums of the widths (twips); cells numbered row by row from 0. A
// cell is RTF (UTF-8, control words allowed); its characters beyond ASCII are escaped. The rows are followed by an
// ordinary paragraph, kTableRtfEnd.
void BuildTableRtf(int rows, int columns, const std::vector<int>& widths, const std::vector<std::string>& cells,
                   std::string& out);

// How the RTF of BuildTableRtf ends after its last row: a paragraph outside the table ("\pard" ends the rows'
// "\intbl"), which rows added later go before.
inline constexpr const char* kTableRtfEnd = "\\pard\\par}";

// The editor's texts through the localisation library.
CString EditorText(const char* context, const char* text);
