// What an engineer does in the column's dialogs, through the input simulator: type into an edit or a grid cell,
// pick a combo option, toggle a check cell, press a button; and a picture of the dialog when asked for.
#pragma once

#include <cstdlib>
#include <string>

#include "controls/OrmiGridCtrl.h"
#include "platform/win/wintest.h"

namespace dialog_input {

inline void Press(CDialog& d, int id) { win::input::ClickCenter(d.GetDlgItem(id)->m_hWnd); }

inline void TypeEdit(CDialog& d, int id, const std::string& text) {
  win::input::ClickCenter(d.GetDlgItem(id)->m_hWnd);
  win::input::KeyWith(VK_CONTROL, 'A');
  win::input::Type(text);
}

inline void Enter(COrmiGridCtrl& g, int row, const std::string& text) {
  g.SetFocusCell(row, 1);
  win::input::Key(VK_F2);
  win::PumpMessages();
  win::input::KeyWith(VK_CONTROL, 'A');
  win::input::Type(text);
  g.EndEditing();
  win::PumpMessages();
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
