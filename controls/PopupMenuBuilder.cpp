#include "controls/PopupMenuBuilder.h"

#include <string>

void CPopupMenuBuilder::AddItem(LPCTSTR path, UINT id, BOOL separator, BOOL checked) {
  const std::string full = path ? path : "";
  if (full.empty()) return;
  std::vector<std::unique_ptr<CPopupMenuItem>>* level = &m_items;
  CPopupMenuItem* current = nullptr;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = full.find('\\', start);
    const bool last = end == std::string::npos;
    const CString part(full.substr(start, last ? std::string::npos : end - start).c_str());
    CPopupMenuItem* found = nullptr;
    for (auto& item : *level)
      if (item->text == part) {
        found = item.get();
        break;
      }
    if (!found) {
      auto item = std::make_unique<CPopupMenuItem>();
      item->text = part;
      item->parent = current;
      if (last) {
        item->id = id;
        item->flags = (separator ? UINT(MF_SEPARATOR) : 0u) | (checked ? UINT(MF_CHECKED) : 0u);
      }
      found = item.get();
      level->push_back(std::move(item));
    }
    current = found;
    level = &found->children;
    if (last) break;
    start = end + 1;
  }
}

HMENU CPopupMenuBuilder::BuildMenu(const std::vector<std::unique_ptr<CPopupMenuItem>>* level) const {
  if (!level) level = &m_items;
  HMENU menu = ::CreatePopupMenu();
  for (const auto& item : *level) {
    if (!item->children.empty())
      ::AppendMenu(menu, MF_POPUP, UINT_PTR(BuildMenu(&item->children)), item->text);
    else if (item->flags & MF_SEPARATOR)
      ::AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    else
      ::AppendMenu(menu, item->flags, item->id, item->text);
  }
  return menu;
}

UINT CPopupMenuBuilder::Track(int x, int y, HWND owner) const {
  HMENU menu = BuildMenu();
  const UINT chosen = UINT(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
  ::DestroyMenu(menu);
  return chosen;
}
