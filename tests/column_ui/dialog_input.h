// What an engineer does in the column's dialogs, through the input simulator: type into an edit or a grid cell,
// pick a combo option, toggle a check cell, press a button; and a picture of the dialog when asked for.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "controls/OrmiGridCtrl.h"
#include "platform/win/dialogs/wintest.h"

namespace dialog_input {

inline void Press(CDialog& d, int id) { win::input::ClickCenter(d.GetDlgItem(id)->m_hWnd); }

inline void TypeEdit(CDialog& d, int id, const std::string& text) {
  win::input::ClickCenter(d.GetDlgItem(id)->m_hWnd);
  win::input::KeyWith(VK_CONTROL, 'A');
  win::input::Type(text);
}

// Opens the cell's editor and types over what it shows (an empty text empties it); the edit is still open.
inline void TypeOver(COrmiGridCtrl& g, int row, int col, const std::string& text) {
  g.SetFocusCell(row, col);
  win::PumpMessages();
  win::input::Key(VK_F2);
  win::PumpMessages();
  win::input::KeyWith(VK_CONTROL, 'A');
  if (text.empty()) win::input::Key(VK_BACK);
  win::input::Type(text);
}

inline void TypeCell(COrmiGridCtrl& g, int row, int col, const std::string& text) {
  TypeOver(g, row, col, text);
  g.EndEditing();
  win::PumpMessages();
}
inline void Enter(COrmiGridCtrl& g, int row, const std::string& text) { TypeCell(g, row, 1, text); }

// Types into a cell and ends with the Enter key, as the engineer does.
inline void TypeAndEnter(COrmiGridCtrl& g, int row, int col, const std::string& text) {
  TypeOver(g, row, col, text);
  win::input::Key(VK_RETURN);
  win::PumpMessages();
}

// The text of the grid's in-place editor that has the keyboard; "(no editor)" when none of the grid has it.
inline std::string EditorText(CWnd& grid) {
  HWND focus = ::GetFocus();
  if (!focus || ::GetParent(focus) != grid.m_hWnd) return "(no editor)";
  char text[256] = {};
  ::GetWindowText(focus, text, sizeof text);
  return text;
}

// Opens the cell's list and walks to the option.
inline void ChooseCell(COrmiGridCtrl& g, int row, int col, int option) {
  const int now = std::max(g.GetComboIndex(row, col), 0);
  g.SetFocusCell(row, col);
  win::PumpMessages();
  win::input::Key(VK_F2);
  win::PumpMessages();
  for (int i = now; i < option; ++i) win::input::Key(VK_DOWN);
  for (int i = now; i > option; --i) win::input::Key(VK_UP);
  win::input::Key(VK_RETURN);
  win::PumpMessages();
  ASSERT_EQ(g.GetComboIndex(row, col), option) << "row " << row << ", column " << col;
}

// A check cell changed by the space bar; it must change.
inline void TickCell(COrmiGridCtrl& g, int row, int col) {
  const int before = g.GetCellCheck(row, col);
  g.SetFocusCell(row, col);
  win::input::Key(VK_SPACE);
  win::PumpMessages();
  ASSERT_NE(g.GetCellCheck(row, col), before) << "row " << row << ", column " << col;
}

// Opens the combo of the row and moves down `steps` options.
inline void Pick(COrmiGridCtrl& g, int row, int steps) {
  g.SetFocusCell(row, 1);
  win::input::Key(VK_F2);
  win::PumpMessages();
  for (int i = 0; i < steps; ++i) win::input::Key(VK_DOWN);
  win::input::Key(VK_RETURN);
  win::PumpMessages();
}

inline void Toggle(COrmiGridCtrl& g, int row) {
  g.SetFocusCell(row, 1);
  win::input::Key(VK_SPACE);
  win::PumpMessages();
}

// Into $KOLUMO_PICTURES, when set.
inline void Save(CWnd& w, const char* name) {
  if (const char* dir = std::getenv("KOLUMO_PICTURES")) win::SaveWindowPng(w.m_hWnd, std::string(dir) + "/" + name);
}

}  // namespace dialog_input
