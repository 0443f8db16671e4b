// The clipboard keys of a grid as a person presses them: a click on a cell, then the key with its modifier, each
// through the window system's input path to the window that has the keyboard.
#pragma once

#include <gtest/gtest.h>

#include "controls/GridCtrl.h"
#include "platform/win/dialogs/wintest.h"

namespace grid_keys {

struct Chord {
  UINT modifier;
  UINT key;
  const char* name;
};
// Each way to copy and to paste: a test runs its steps once per way.
inline constexpr Chord kCopy[] = {{VK_CONTROL, 'C', "Ctrl+C"}, {VK_CONTROL, VK_INSERT, "Ctrl+Insert"}};
inline constexpr Chord kPaste[] = {{VK_CONTROL, 'V', "Ctrl+V"}, {VK_SHIFT, VK_INSERT, "Shift+Insert"}};
inline constexpr Chord kCut{VK_CONTROL, 'X', "Ctrl+X"};

inline void Press(const Chord& chord) {
  win::input::KeyWith(chord.modifier, chord.key);
  win::PumpMessages();
}

inline void ClickCell(CGridCtrl& grid, int row, int col) {
  CRect cell;
  ASSERT_TRUE(grid.GetCellRect(row, col, &cell)) << "row " << row << ", column " << col;
  win::input::Click(grid.m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y);
  win::PumpMessages();
}

// The cell made the current one as a person does: a click, unless it is current already (a click on the current
// cell opens its editor, where the keys would work on the editor's text).
inline void Select(CGridCtrl& grid, int row, int col) {
  if (grid.GetFocusCell() != CCellID(row, col)) {
    ClickCell(grid, row, col);
  } else {
    ::SetFocus(grid.m_hWnd);
    win::PumpMessages();
  }
}

// The cell selected and the copy keys: what the clipboard then holds.
inline std::string CopyCell(CGridCtrl& grid, int row, int col, const Chord& chord = kCopy[0]) {
  Select(grid, row, col);
  win::SetClipboardText("(nothing copied)");
  Press(chord);
  return win::ClipboardText();
}

// The text on the clipboard, the cell selected and the paste keys.
inline void PasteInto(CGridCtrl& grid, int row, int col, const std::string& text, const Chord& chord = kPaste[0]) {
  win::SetClipboardText(text);
  Select(grid, row, col);
  Press(chord);
}

}  // namespace grid_keys
