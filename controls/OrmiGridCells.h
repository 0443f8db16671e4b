// Two cells of the typed grid: a radio button (the check cell's state and behaviour, drawn as a radio and placed by
// its own rule) and a rich-text cell whose text carries backslash keywords for indices, Greek letters, fonts and
// colours.
#pragma once

#include <string>
#include <vector>

#include "controls/GridCellTypes.h"

class COrmiGridCellRadio : public CGridCellCheck {
  DECLARE_DYNCREATE(COrmiGridCellRadio)
 public:
  BOOL Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd = TRUE) override;
  void OnClick(CPoint point) override;
  // The radio box from the last drawn rectangle: moved in by the margin less one, centred in what the box leaves.
  CRect GetCheckPlacement() const;
  // The DrawFrameControl state the radio is drawn with.
  UINT FrameState() const;
};

// One piece of rendered rich text: its characters (UTF-8), raised or lowered, and its colour.
struct RichRun {
  std::string text;
  int shift = 0;  // 1 superscript, -1 subscript
  COLORREF colour = 0;
  bool symbol = false;
};

class COrmiGridCellRich : public CGridCell {
  DECLARE_DYNCREATE(COrmiGridCellRich)
 public:
  BOOL Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd = TRUE) override;
  // The keywords of the markup replaced by their RTF control words.
  static CString TranslateMarkup(const CString& text);
  // The RTF document of a text (translated first) for the grid's font face and the cell's colours.
  CString BuildRtfDocument(const CString& text) const;
  // The translated text cut into runs (Symbol letters as Greek); colours from the document's colour table.
  static std::vector<RichRun> Render(const CString& translated, COLORREF text, COLORREF back);
  const CString& LastDocument() const { return m_document; }
  const std::vector<RichRun>& LastRuns() const { return m_runs; }

 protected:
  CString m_document;  // the document of the last draw
  std::vector<RichRun> m_runs;
};
