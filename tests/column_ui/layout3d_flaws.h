// What a person would find wrong in a laid-out 3D view: labels that meet, or labels and a title not whole inside it.
#pragma once

#include <string>

#include "platform/plotwerk/scene3d.h"

namespace layout3d {

// No two label boxes of a layout meet, and every label and the title lie whole inside the view; the title's lines
// hold all its words in their order. An empty text when so.
inline std::string Flaws(const plotwerk::Layout3D& layout, int width, int height, const std::string& title) {
  std::string flaws;
  auto show = [](const RECT& r) {
    return std::to_string(r.left) + ".." + std::to_string(r.right) + " x " + std::to_string(r.top) + ".." +
           std::to_string(r.bottom);
  };
  auto inside = [&](const RECT& box) {
    return box.left >= 0 && box.top >= 0 && box.right <= width && box.bottom <= height && box.right > box.left;
  };
  for (std::size_t i = 0; i < layout.labels.size(); ++i) {
    const RECT& a = layout.labels[i].box;
    if (!inside(a)) flaws += "label " + std::to_string(i) + " at " + show(a) + " leaves the view; ";
    for (std::size_t j = 0; j < i; ++j) {
      const RECT& b = layout.labels[j].box;
      if (a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
        flaws += "labels " + std::to_string(j) + " and " + std::to_string(i) + " meet at " + show(b) + " and " +
                 show(a) + "; ";
    }
  }
  if (!inside(layout.titleBox)) flaws += "the title at " + show(layout.titleBox) + " leaves the view; ";
  std::string words;
  for (const auto& line : layout.titleLines) words += (words.empty() ? "" : " ") + line.text;
  if (words != title) flaws += "the title reads \"" + words + "\"; ";
  return flaws;
}

}  // namespace layout3d
