#include "platform/plotwerk/labels.h"

#include <algorithm>
#include <limits>

#include "platform/plotwerk/gdiutil.h"

namespace plotwerk {

namespace {
// The free stretches of one axis between spans (each widened by a gap) given in the order of their starts, for a
// box of size `size`: the positions its start may take, as [from, to] pairs from the lowest up.
void FreeStretches(const std::vector<std::pair<LONG, LONG>>& spans, LONG size,
                   std::vector<std::pair<LONG, LONG>>& free) {
  free.clear();
  LONG from = std::numeric_limits<LONG>::min() / 2;  // below every span
  for (std::size_t k = 0; k < spans.size();) {
    LONG start = spans[k].first, end = spans[k].second;
    for (++k; k < spans.size() && spans[k].first < end; ++k) end = std::max(end, spans[k].second);
    if (start - size >= from) free.push_back({from, start - size});
    from = std::max(from, end);
  }
  free.push_back({from, std::numeric_limits<LONG>::max() / 2});
}
}  // namespace

std::vector<POINT> Separate(const std::vector<RECT>& at, const std::vector<int>& sense, const std::vector<bool>& seen,
                            const RECT& area, SIZE gap) {
  std::vector<POINT> shift(at.size(), POINT{0, 0});
  std::vector<RECT> byTop, byLeft;  // the labels placed, in the order of their tops and of their left edges
  std::vector<std::pair<LONG, LONG>> spans, free;
  for (std::size_t i = 0; i < at.size(); ++i) {
    const RECT& r = at[i];
    const LONG height = r.bottom - r.top, width = r.right - r.left;
    double best = 1e300;
    auto consider = [&](LONG dx, LONG dy) {
      const bool inside = r.left + dx >= area.left && r.right + dx <= area.right && r.top + dy >= area.top &&
                          r.bottom + dy <= area.bottom;
      const double cost = std::abs(dy) + 2.0 * std::abs(dx) + (inside ? 0.0 : 1e9);
      // of two places as near, the lower one: values of one place follow each other down
      if (cost < best || (cost == best && dy > shift[i].y)) {
        best = cost;
        shift[i] = POINT{dx, dy};
      }
    };
    // Up or down past the labels across its way, from where it stands and, in view, from where it stands inside the
    // area across; in each free stretch the place nearest to where it stands, and nearest inside the area.
    std::vector<LONG> across{0};
    if (seen[i] && (r.left < area.left || r.right > area.right))
      across.push_back(r.left < area.left ? area.left - r.left : area.right - r.right);
    for (LONG dx : across) {
      spans.clear();
      for (const RECT& p : byTop)
        if (p.left < r.right + dx + gap.cx && r.left + dx < p.right + gap.cx)
          spans.push_back({p.top - gap.cy, p.bottom + gap.cy});
      FreeStretches(spans, height, free);
      for (const auto& [from, to] : free) {
        consider(dx, std::clamp(r.top, from, to) - r.top);
        const LONG lo = std::max(from, area.top), hi = std::min(to, area.bottom - height);
        if (lo <= hi) consider(dx, std::clamp(r.top, lo, hi) - r.top);
      }
    }
    // Along the way it reads past the labels beside it.
    spans.clear();
    for (const RECT& p : byLeft)
      if (p.top < r.bottom + gap.cy && r.top < p.bottom + gap.cy) spans.push_back({p.left - gap.cx, p.right + gap.cx});
    FreeStretches(spans, width, free);
    for (const auto& [from, to] : free) {
      const LONG left = sense[i] < 0 ? std::min(r.left, to) : std::max(r.left, from);
      if (left >= from && left <= to) consider(left - r.left, 0);
    }
    RECT moved = r;
    ::OffsetRect(&moved, shift[i].x, shift[i].y);
    byTop.insert(
        std::upper_bound(byTop.begin(), byTop.end(), moved, [](const RECT& a, const RECT& b) { return a.top < b.top; }),
        moved);
    byLeft.insert(std::upper_bound(byLeft.begin(), byLeft.end(), moved,
                                   [](const RECT& a, const RECT& b) { return a.left < b.left; }),
                  moved);
  }
  return shift;
}

std::string Shortened(HDC dc, const std::string& text, int pixelHeight, int room, const char* face) {
  auto width = [&](const std::string& t) { return int(TextBox(dc, t, pixelHeight, face).right); };
  if (width(text) <= room) return text;
  static const std::string kEllipsis = "\xE2\x80\xA6";
  // The starts that end on a whole character, the longest that fits found by halving (wider the longer).
  std::vector<std::size_t> ends;
  for (std::size_t i = 1; i < text.size(); ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ends.push_back(i);
  auto head = [&](std::size_t k) {
    std::string h = text.substr(0, ends[k]);
    while (!h.empty() && h.back() == ' ') h.pop_back();
    return h + kEllipsis;
  };
  std::size_t lo = 0, hi = ends.size();  // heads below lo fit, heads from hi on do not
  while (lo < hi) {
    const std::size_t mid = (lo + hi) / 2;
    if (width(head(mid)) <= room)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo == 0 ? kEllipsis : head(lo - 1);
}

}  // namespace plotwerk
