#include "editor/formulatextctrl.h"

#include "document/symbols.h"

IMPLEMENT_DYNAMIC(SkribRichEdit, OleRichEditCtrl)

SkribRichEdit::SkribRichEdit() : formulaColour(RGB(7, 13, 255)) { InitSymbolTables(); }

void SkribRichEdit::MarkFormula(bool on) {
  SetColor(on ? formulaColour : RGB(0, 0, 0));
  if (m_hWnd) SetFocus();
}

void SkribRichEdit::Wrap(const char* open, const char* close, const char* emptyMessage) {
  long start = 0, end = 0;
  if (!GetSel(start, end)) {
    ::MessageBox(m_hWnd, EditorText("RichEditCtrl", emptyMessage), "TQ-Skrib", MB_OK | MB_ICONINFORMATION);
    return;
  }
  SetSel(end, end);
  InsertText(close);
  SetSel(start, start);
  InsertText(open);
  SetSel(start, end + long(std::string(open).size() + std::string(close).size()));
}

void SkribRichEdit::MarkHidden() { Wrap("/*", "*/", "Bitte markieren Sie zunächst den zu verbergenden Text"); }

void SkribRichEdit::MarkSumRange() {
  Wrap("/*S+*/", "/*S-*/", "Bitte markieren Sie zunächst den Bereich, der aufsummiert werden soll");
}

void SkribRichEdit::OnTextLoaded() {
  auto find = [&](const char* what) {
    SetSel(0, 0);
    return FindText(what, true) == 1;
  };
  while (find("$SYMBOL_D$")) {
    SetFaceName("Symbol");
    InsertText("\xe2\x88\x85");  // the diameter sign, which the Symbol font holds
  }
  while (find("$FC2$")) {
    long from = 0, to = 0;
    GetSel(from, to);
    InsertText("");
    long close = -1;
    if (FindText("$FC0$", true) == 1) {
      long e = 0;
      GetSel(close, e);
      InsertText("");
    } else {
      close = GetTextLength();
    }
    SetSel(from, close);
    MarkFormula(true);
    SetSel(close, close);
  }
  while (find("$R$")) {
    InsertText("");
    SetAlignment(PFA_RIGHT);
  }
  // Loading is not an edit the engineer could undo.
  EmptyUndoBuffer();
  // The commands name paths and values as they show: umlauts, and Greek that the text holds in the Symbol font.
  CollectCommands(Doc().ShownText(0, GetTextLength()));
}

void SkribRichEdit::CollectCommands(const std::string& text) {
  commands.clear();
  std::size_t p = text.find("$C_");
  while (p != std::string::npos) {
    const std::size_t nameStart = p + 3;
    const std::size_t open = text.find('(', nameStart);
    if (open == std::string::npos || open - nameStart >= 32) {
      p = text.find("$C_", nameStart);
      continue;
    }
    std::string line = text.substr(nameStart, open - nameStart);
    std::size_t at = open + 1;
    bool closed = false;
    for (;;) {
      const std::size_t quote = text.find('"', at);
      const std::size_t paren = text.find(')', at);
      if (quote != std::string::npos && (paren == std::string::npos || quote < paren)) {
        const std::size_t endQuote = text.find('"', quote + 1);
        if (endQuote == std::string::npos) break;
        line += "|" + text.substr(quote + 1, endQuote - quote - 1);
        at = endQuote + 1;
        continue;
      }
      if (paren != std::string::npos) {
        closed = true;
        at = paren + 1;
      }
      break;
    }
    if (closed) commands.push_back(line);
    p = text.find("$C_", closed ? at : nameStart);
  }
}
