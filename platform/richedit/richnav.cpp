// Moving the caret and selecting in the rich-text control: by character, word, line, view and the whole text with
// the keys, and by clicks, double clicks and drags with the mouse. Lines are those of the last layout, found by
// where they stand (a table's cells stand side by side), so Up and Down go to the line drawn below or above.
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <vector>

#include "platform/richedit/layout.h"
#include "platform/richedit/richeditctrl.h"

namespace {

using richedit::detail::Layout;

// A drag outside the window scrolls it on this timer, as long as the button is held.
constexpr UINT_PTR kDragTimer = 0x52E1;
constexpr UINT kDragRepeatMs = 50;

// What a character is to word moves: a blank, part of a word, a sign, or a mark that ends a paragraph or line.
enum class Kind { kBlank, kWord, kSign, kBreak };

Kind KindOf(char c) {
  if (c == richdoc::kPara || c == richdoc::kCell || c == richdoc::kRow || c == richdoc::kLine || c == richdoc::kPage)
    return Kind::kBreak;
  if (c == ' ' || c == '\t') return Kind::kBlank;
  if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || (c & 0x80) || c == richdoc::kWide) return Kind::kWord;
  return Kind::kSign;
}

// One laid-out line: its characters [start, end) and the box it covers.
struct Line {
  int start = 0, end = 0;
  int top = 0, bottom = 0, left = 0, right = 0;
  bool inTable = false;
};

// The lines the caret can stand on; a table row's closing mark, which stands alone at the row's right wall, is none.
std::vector<Line> LinesOf(const richdoc::Document& doc, const Layout& layout) {
  std::vector<Line> lines;
  const int n = int(layout.boxes.size());
  for (std::size_t k = 0; k < layout.lineStarts.size(); ++k) {
    Line l;
    l.start = layout.lineStarts[k];
    l.end = k + 1 < layout.lineStarts.size() ? layout.lineStarts[k + 1] : n;
    if (l.start >= l.end || l.start >= n) continue;
    if (l.end - l.start == 1 && doc.text[std::size_t(l.start)] == richdoc::kRow) continue;
    const RECT& first = layout.boxes[std::size_t(l.start)];
    l.top = first.top;
    l.bottom = std::max(first.bottom, first.top + 1);
    l.left = first.left;
    l.right = layout.boxes[std::size_t(l.end - 1)].right;
    l.inTable = doc.ParaAt(l.start).inTable;
    lines.push_back(l);
  }
  return lines;
}

// The line that holds the position (the one before it when it stands on no line).
int LineOf(const std::vector<Line>& lines, long pos) {
  auto it = std::upper_bound(lines.begin(), lines.end(), pos, [](long p, const Line& l) { return p < l.start; });
  return it == lines.begin() ? 0 : int(it - lines.begin()) - 1;
}

int DistanceX(const Line& l, int x) { return x < l.left ? l.left - x : x > l.right ? x - l.right : 0; }

// The line nearest to the point, first by height, then sideways (the cell of a table row under x).
int LineNear(const std::vector<Line>& lines, int x, int y) {
  int best = 0;
  long bestScore = LONG_MAX;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const Line& l = lines[k];
    const int dy = y < l.top ? l.top - y : y >= l.bottom ? y - l.bottom + 1 : 0;
    const long score = long(dy) * 100000 + std::min(DistanceX(l, x), 99999);
    if (score < bestScore) {
      bestScore = score;
      best = int(k);
    }
  }
  return best;
}

// The line drawn next below (or above) the current one; -1 when there is none. In a table the line under the
// column x stands in is preferred to a nearer line of another cell.
int LineBeside(const std::vector<Line>& lines, int current, int x, bool down) {
  const Line& c = lines[std::size_t(current)];
  int best = -1;
  long bestScore = LONG_MAX;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const Line& l = lines[k];
    if (down ? l.top <= c.top : l.top >= c.top) continue;
    const int dx = DistanceX(l, x);
    long score = long(std::abs(l.top - c.top)) * 100000 + std::min(dx, 99999);
    if (c.inTable && dx > 0) score += long(INT_MAX) * 100000;
    if (score < bestScore) {
      bestScore = score;
      best = int(k);
    }
  }
  return best;
}

// Where the caret stands on the line nearest to x: before the first character whose middle lies right of x, or at
// the line's last place.
long PlaceOnLine(const Layout& layout, const Line& l, int x) {
  for (int p = l.start; p < l.end - 1; ++p) {
    const RECT& r = layout.boxes[std::size_t(p)];
    if (x < (r.left + r.right) / 2) return p;
  }
  return l.end - 1;
}

}  // namespace

void CRichEditCtrl::Select(long anchor, long caret) {
  const long last = GetTextLength();
  anchor = std::clamp(anchor, 0L, last);
  caret = std::clamp(caret, 0L, last);
  selStart_ = std::min(anchor, caret);
  selEnd_ = std::max(anchor, caret);
  caretAtStart_ = caret < anchor;
  typingSet_ = false;
  NotifySelection();
}

int CRichEditCtrl::CharFromPoint(int x, int y) const {
  if (!layout_ || layout_->lineStarts.empty()) return int(GetTextLength());
  const std::vector<Line> lines = LinesOf(doc_, *layout_);
  if (lines.empty()) return int(GetTextLength());
  x += scrollX_;
  y += scrollY_;
  return int(std::min(PlaceOnLine(*layout_, lines[std::size_t(LineNear(lines, x, y))], x), GetTextLength()));
}

bool CRichEditCtrl::NavigateKey(UINT vk) {
  if (vk != VK_LEFT && vk != VK_RIGHT && vk != VK_UP && vk != VK_DOWN && vk != VK_HOME && vk != VK_END &&
      vk != VK_PRIOR && vk != VK_NEXT)
    return false;
  Reflow();
  const bool shift = ::GetKeyState(VK_SHIFT) < 0, ctrl = ::GetKeyState(VK_CONTROL) < 0;
  const long last = GetTextLength();
  const long caret = Caret();
  const std::string& t = doc_.text;
  auto kind = [&](long p) { return KindOf(t[std::size_t(p)]); };
  auto moveTo = [&](long to) { Select(shift ? Anchor() : to, to); };

  if (vk == VK_LEFT || vk == VK_RIGHT) {
    const bool right = vk == VK_RIGHT;
    if (!shift && !ctrl && selStart_ != selEnd_) {
      moveTo(right ? selEnd_ : selStart_);
      return true;
    }
    long to = caret;
    if (ctrl && right) {
      // To the start of the next word: over the word (or run of signs) and the blanks after it; a paragraph's end
      // is a stop of its own.
      if (to < last && kind(to) == Kind::kBreak) {
        ++to;
      } else if (to < last) {
        const Kind k = kind(to);
        if (k != Kind::kBlank)
          while (to < last && kind(to) == k) ++to;
      }
      while (to < last && kind(to) == Kind::kBlank) ++to;
    } else if (ctrl) {
      // To the start of this word or the one before.
      while (to > 0 && kind(to - 1) == Kind::kBlank) --to;
      if (to > 0 && kind(to - 1) == Kind::kBreak) {
        --to;
      } else if (to > 0) {
        const Kind k = kind(to - 1);
        while (to > 0 && kind(to - 1) == k) --to;
      }
    } else {
      to += right ? 1 : -1;
      // A table row's closing mark is no place for the caret.
      if (to > 0 && to < last && t[std::size_t(to)] == richdoc::kRow) to += right ? 1 : -1;
    }
    moveTo(std::clamp(to, 0L, last));
    return true;
  }
  if (ctrl && (vk == VK_HOME || vk == VK_END)) {
    moveTo(vk == VK_HOME ? 0 : last);
    return true;
  }
  if (!layout_) return true;
  const std::vector<Line> lines = LinesOf(doc_, *layout_);
  if (lines.empty()) return true;
  const int current = LineOf(lines, caret);
  const Line& line = lines[std::size_t(current)];
  if (vk == VK_HOME || vk == VK_END) {
    moveTo(vk == VK_HOME ? line.start : line.end - 1);
    return true;
  }
  // Up, Down and the pages keep the column the caret stood in before the first of them.
  const RECT& box = layout_->boxes[std::size_t(caret)];
  const int x = goalSerial_ == selSerial_ && goalX_ >= 0 ? goalX_ : int(box.left);
  const bool down = vk == VK_DOWN || vk == VK_NEXT;
  long to = caret;
  if (vk == VK_UP || vk == VK_DOWN) {
    const int next = LineBeside(lines, current, x, down);
    to = next < 0 ? (down ? last : 0) : PlaceOnLine(*layout_, lines[std::size_t(next)], x);
  } else {
    // The view moves by its height and the caret with it, where it stood in the view; at the text's end (or start)
    // the caret goes the whole way.
    CRect client;
    GetClientRect(&client);
    const int page = std::max(1, client.Height());
    const int before = scrollY_;
    ScrollTo(scrollX_, scrollY_ + (down ? page : -page));
    const int moved = scrollY_ - before;
    const int inView = std::clamp(line.top - before, 0, std::max(0, page - (line.bottom - line.top)));
    const int y = std::abs(moved) == page ? scrollY_ + inView : line.top + (down ? page : -page);
    int target = LineNear(lines, x, y);
    // A line cut by the view's edge would scroll the view back: the whole one next to it.
    const Line& at = lines[std::size_t(target)];
    const int beside = at.top < scrollY_             ? LineBeside(lines, target, x, true)
                       : at.bottom > scrollY_ + page ? LineBeside(lines, target, x, false)
                                                     : -1;
    if (beside >= 0 && lines[std::size_t(beside)].top >= scrollY_ &&
        lines[std::size_t(beside)].bottom <= scrollY_ + page)
      target = beside;
    to = target == current ? (down ? last : 0) : PlaceOnLine(*layout_, lines[std::size_t(target)], x);
  }
  moveTo(to);
  goalX_ = x;
  goalSerial_ = selSerial_;
  return true;
}

bool CRichEditCtrl::NavigateMouse(UINT message, WPARAM wParam, LPARAM lParam) {
  auto wordAround = [&](long at, long& a, long& b) {
    // The word at the point with the blanks after it, a run of signs or blanks alone, or nothing at a mark.
    const std::string& t = doc_.text;
    const long last = GetTextLength();
    a = b = at;
    if (at >= last) return;
    const Kind k = KindOf(t[std::size_t(at)]);
    if (k == Kind::kBreak) return;
    while (a > 0 && KindOf(t[std::size_t(a - 1)]) == k) --a;
    while (b < last && KindOf(t[std::size_t(b)]) == k) ++b;
    if (k == Kind::kWord)
      while (b < last && KindOf(t[std::size_t(b)]) == Kind::kBlank) ++b;
  };
  auto dragTo = [&](int x, int y) {
    const long at = CharFromPoint(x, y);
    if (!dragWords_) {
      Select(dragFrom_, at);
      return;
    }
    long a = 0, b = 0;
    wordAround(at, a, b);
    if (at < dragFrom_)
      Select(dragTo_, a);
    else
      Select(dragFrom_, std::max(b, dragTo_));
  };
  auto stopDrag = [&] {
    dragging_ = false;
    if (dragTimer_) KillTimer(kDragTimer);
    dragTimer_ = false;
  };
  switch (message) {
    case WM_LBUTTONDOWN: {
      SetFocus();
      Reflow();
      const long at = CharFromPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      dragFrom_ = (wParam & MK_SHIFT) ? Anchor() : at;
      dragWords_ = false;
      Select(dragFrom_, at);
      dragging_ = true;
      SetCapture();
      return true;
    }
    case WM_LBUTTONDBLCLK: {
      SetFocus();
      Reflow();
      long a = 0, b = 0;
      wordAround(CharFromPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), a, b);
      Select(a, b);
      dragFrom_ = a;
      dragTo_ = b;
      dragWords_ = true;
      dragging_ = true;
      SetCapture();
      return true;
    }
    case WM_MOUSEMOVE: {
      if (!dragging_) return false;
      if (!(wParam & MK_LBUTTON)) {
        stopDrag();
        ReleaseCapture();
        return true;
      }
      dragPoint_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      dragTo(int(dragPoint_.x), int(dragPoint_.y));
      CRect client;
      GetClientRect(&client);
      const bool outside = !client.PtInRect(dragPoint_);
      if (outside && !dragTimer_) dragTimer_ = SetTimer(kDragTimer, kDragRepeatMs) != 0;
      if (!outside && dragTimer_) {
        KillTimer(kDragTimer);
        dragTimer_ = false;
      }
      return true;
    }
    case WM_TIMER:
      if (wParam != kDragTimer) return false;
      if (dragging_)
        dragTo(int(dragPoint_.x), int(dragPoint_.y));
      else
        stopDrag();
      return true;
    case WM_LBUTTONUP:
      if (!dragging_) return false;
      stopDrag();
      ReleaseCapture();
      return true;
    case WM_CAPTURECHANGED:
      if (dragging_) stopDrag();
      return false;
    default: return false;
  }
}

CPoint CRichEditCtrl::PosFromChar(long pos) {
  Reflow();
  if (!layout_ || layout_->boxes.empty()) return CPoint(0, 0);
  const RECT& r = layout_->boxes[std::size_t(std::clamp(pos, 0L, long(layout_->boxes.size()) - 1))];
  return CPoint(int(r.left) - scrollX_, int(r.top) - scrollY_);
}
