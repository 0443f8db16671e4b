// The document's text control: the editor's text control that knows the formula colour, marks a selection as
// formula, as hidden in the report or as the range of a sum, turns the placeholders of generated text into
// formatting when a text is loaded and collects the "$C_" commands written into the text.
#pragma once

#include <string>
#include <vector>

#include "editor/richeditctrl.h"

class SkribRichEdit : public OleRichEditCtrl {
  DECLARE_DYNAMIC(SkribRichEdit)
 public:
  SkribRichEdit();
  ~SkribRichEdit() override = default;

  void MarkFormula(bool on);
  void MarkHidden();
  void MarkSumRange();
  void OnTextLoaded() override;
  // Refills the command list: one line per command, its name and each argument joined by '|'.
  void CollectCommands(const std::string& text);

  std::vector<std::string> commands;
  COLORREF formulaColour;

 private:
  void Wrap(const char* open, const char* close, const char* emptyMessage);
};
