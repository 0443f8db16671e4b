// The two parts of a menu item's text: what stands before its first tab, drawn at the left, and what follows its
// last tab (an accelerator, a value), drawn right-aligned in a column of its own.
#pragma once

#include <string>

namespace win::detail {

struct MenuTextParts {
  std::string left, right;
};

inline MenuTextParts SplitMenuText(const std::string& text) {
  const std::size_t first = text.find('\t');
  if (first == std::string::npos) return {text, {}};
  return {text.substr(0, first), text.substr(text.rfind('\t') + 1)};
}

// The gap between the widest left part and the right-aligned column.
inline constexpr int kMenuColumnGap = 24;
// What the system adds to an owner-drawn item's measured width: the check-mark column, and a submenu's arrow.
inline constexpr int kMenuCheckColumn = 18, kMenuArrowColumn = 16;

}  // namespace win::detail
