// A popup menu collected from backslash paths ("Sub\Item"): every part before the last names a submenu. Built as a
// fresh menu for each Track, shown at a screen point, and the chosen command returned.
#pragma once

#include <memory>
#include <vector>

#include "platform/win/afx.h"

struct CPopupMenuItem {
  CString text;
  UINT flags = 0;  // MF_SEPARATOR, MF_CHECKED
  UINT id = 0;
  std::vector<std::unique_ptr<CPopupMenuItem>> children;
  CPopupMenuItem* parent = nullptr;
};

class CPopupMenuBuilder {
 public:
  // A path that exists already keeps its first id and flags; an empty path adds nothing.
  void AddItem(LPCTSTR path, UINT id, BOOL separator = FALSE, BOOL checked = FALSE);
  // The menu of one level (nullptr: the top level), submenus built recursively; the caller destroys it.
  HMENU BuildMenu(const std::vector<std::unique_ptr<CPopupMenuItem>>* level = nullptr) const;
  // The chosen command, 0 when the menu was closed without a choice.
  UINT Track(int x, int y, HWND owner) const;
  const std::vector<std::unique_ptr<CPopupMenuItem>>& Items() const { return m_items; }
  bool IsEmpty() const { return m_items.empty(); }

 private:
  std::vector<std::unique_ptr<CPopupMenuItem>> m_items;
};
