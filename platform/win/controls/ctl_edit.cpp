// Built-in control: edit fields, single and multi-line.
#include <algorithm>
#include <cstring>

#include "platform/win/controls/ctl_internal.h"

namespace win::detail {

namespace {
struct EditState {
  std::string text;
  int anchor = 0;
  int caret = 0;
  int scrollX = 0;
  int topLine = 0;
  bool focused = false;
  bool modified = false;
  bool mouseDown = false;
  int limit = 0x7FFFFFFE;
  char password = 0;
  HFONT font = nullptr;
  std::string undoText;
  int undoCaret = 0;
  bool canUndo = false;
  int leftMargin = 2;
  int rightMargin = 2;
  HWND self = nullptr;  // for the width and font of wrapped lines
};

bool Multi(const Window& w) { return w.style & ES_MULTILINE; }

// Lines as (start, length) in the text; lines end at "\r\n" or "\n".
std::vector<std::pair<int, int>> Lines(const std::string& t) {
  std::vector<std::pair<int, int>> out;
  int start = 0;
  for (int i = 0; i < int(t.size()); ++i) {
    if (t[std::size_t(i)] == '\n') {
      int end = i > start && t[std::size_t(i - 1)] == '\r' ? i - 1 : i;
      out.push_back({start, end - start});
      start = i + 1;
    }
  }
  out.push_back({start, int(t.size()) - start});
  return out;
}

// The lines as shown: a multi-line edit without horizontal scrolling (no ES_AUTOHSCROLL, no WS_HSCROLL) wraps
// each line at the last blank that fits the client width, a word wider than the width at a character.
std::vector<std::pair<int, int>> Lines(const EditState& s) {
  std::vector<std::pair<int, int>> lines = Lines(s.text);
  Window* w = s.self ? Get(s.self) : nullptr;
  if (!w || !Multi(*w) || (w->style & (ES_AUTOHSCROLL | WS_HSCROLL))) return lines;
  RECT rc;
  GetClientRect(s.self, &rc);
  int width = rc.right - s.leftMargin - s.rightMargin;
  if (width <= 0) return lines;
  HDC dc = GetDC(s.self);
  HFONT old = UseFont(dc, s.font);
  auto fits = [&](int start, int end) {
    SIZE sz{};
    GetTextExtentPoint32(dc, s.text.c_str() + start, end - start, &sz);
    return sz.cx <= width;
  };
  std::vector<std::pair<int, int>> out;
  for (auto [start, length] : lines) {
    int end = start + length;
    while (start < end && !fits(start, end)) {
      // The longest run that fits, then back to just after its last blank when there is one.
      int cut = start + 1;
      while (cut < end && fits(start, Utf8Next(s.text, cut))) cut = Utf8Next(s.text, cut);
      int blank = cut;
      while (blank > start && s.text[std::size_t(blank)] != ' ' && s.text[std::size_t(blank - 1)] != ' ') --blank;
      if (blank > start) {
        while (blank < end && s.text[std::size_t(blank)] == ' ') ++blank;  // blanks stay at the line's end
        cut = blank;
      }
      out.push_back({start, cut - start});
      start = cut;
    }
    out.push_back({start, end - start});
  }
  SelectObject(dc, old);
  ReleaseDC(s.self, dc);
  return out;
}

int LineOf(const std::vector<std::pair<int, int>>& lines, int pos) {
  for (int i = int(lines.size()) - 1; i >= 0; --i)
    if (pos >= lines[std::size_t(i)].first) return i;
  return 0;
}

std::string Displayed(const EditState& s, const std::string& part) {
  if (!s.password) return part;
  int n = 0;
  for (int i = 0; i < int(part.size()); i = Utf8Next(part, i)) ++n;
  return std::string(std::size_t(n), s.password);
}

int TextWidth(HDC dc, const EditState& s, const std::string& part) {
  std::string d = Displayed(s, part);
  SIZE sz{0, 0};
  GetTextExtentPoint32(dc, d.c_str(), int(d.size()), &sz);
  return sz.cx;
}

struct EditMetrics {
  HDC dc;
  HGDIOBJ oldFont;
  int lineHeight;
};

EditMetrics Measure(HWND wnd, EditState& s) {
  HDC dc = GetDC(wnd);
  HGDIOBJ old = UseFont(dc, s.font);
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  return {dc, old, tm.tmHeight};
}

void Release(HWND wnd, EditMetrics& m) {
  SelectObject(m.dc, m.oldFont);
  ReleaseDC(wnd, m.dc);
}

int XOfPos(HDC dc, const EditState& s, const std::string& line, int col) {
  return TextWidth(dc, s, line.substr(0, std::size_t(std::clamp(col, 0, int(line.size())))));
}

int PosOfX(HDC dc, const EditState& s, const std::string& line, int x) {
  int best = 0, prevW = 0;
  for (int i = 0; i <= int(line.size());) {
    int w = XOfPos(dc, s, line, i);
    if (w >= x) return (x - prevW < w - x) ? best : i;
    best = i;
    prevW = w;
    if (i == int(line.size())) break;
    i = Utf8Next(line, i);
  }
  return int(line.size());
}

// The text's left edge in client coordinates for a line of the given width (alignment of single-line fields).
int LineLeft(HWND wnd, const EditState& s, int width) {
  Window* w = Get(wnd);
  RECT rc;
  GetClientRect(wnd, &rc);
  int avail = rc.right - s.leftMargin - s.rightMargin;
  if (w->style & ES_CENTER) return s.leftMargin + std::max(0, (avail - width) / 2) - s.scrollX;
  if (w->style & ES_RIGHT) return s.leftMargin + std::max(0, avail - width) - s.scrollX;
  return s.leftMargin - s.scrollX;
}

void ScrollToCaret(HWND wnd, EditState& s) {
  Window* w = Get(wnd);
  EditMetrics m = Measure(wnd, s);
  RECT rc;
  GetClientRect(wnd, &rc);
  auto lines = Lines(s);
  int li = LineOf(lines, s.caret);
  std::string line =
      s.text.substr(std::size_t(lines[std::size_t(li)].first), std::size_t(lines[std::size_t(li)].second));
  int x = XOfPos(m.dc, s, line, s.caret - lines[std::size_t(li)].first);
  int avail = std::max(1, int(rc.right - s.leftMargin - s.rightMargin));
  if (x - s.scrollX > avail) s.scrollX = x - avail + avail / 4;
  if (x < s.scrollX) s.scrollX = std::max(0, x - avail / 4);
  if (Multi(*w)) {
    int visible = std::max(1, int(rc.bottom) / std::max(1, m.lineHeight));
    if (li < s.topLine) s.topLine = li;
    if (li >= s.topLine + visible) s.topLine = li - visible + 1;
  }
  Release(wnd, m);
}

void Changed(HWND wnd, EditState& s) {
  s.modified = true;
  ScrollToCaret(wnd, s);
  InvalidateRect(wnd, nullptr, TRUE);
  NotifyCommand(wnd, EN_UPDATE);
  NotifyCommand(wnd, EN_CHANGE);
}

void SaveUndo(EditState& s) {
  s.undoText = s.text;
  s.undoCaret = s.caret;
  s.canUndo = true;
}

// Replaces the selection with text; false when nothing could be inserted.
bool ReplaceSelection(HWND wnd, EditState& s, std::string text, bool notify = true) {
  Window* w = Get(wnd);
  if (!Multi(*w)) {
    auto cut = text.find_first_of("\r\n");
    if (cut != std::string::npos) text.erase(cut);
  }
  if (w->style & ES_UPPERCASE)
    for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
  if (w->style & ES_LOWERCASE)
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  int a = std::min(s.anchor, s.caret), b = std::max(s.anchor, s.caret);
  int room = s.limit - (int(s.text.size()) - (b - a));
  if (int(text.size()) > room) {
    text.erase(std::size_t(std::max(0, room)));
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
    if (!text.empty() && static_cast<unsigned char>(text.back()) >= 0xC0) text.pop_back();
    NotifyCommand(wnd, EN_MAXTEXT);
    if (text.empty() && a == b) return false;
  }
  SaveUndo(s);
  s.text.replace(std::size_t(a), std::size_t(b - a), text);
  s.anchor = s.caret = a + int(text.size());
  if (notify) Changed(wnd, s);
  return true;
}

void CopySelection(const EditState& s) {
  int a = std::min(s.anchor, s.caret), b = std::max(s.anchor, s.caret);
  if (a == b || s.password) return;
  SetClipboardText(s.text.substr(std::size_t(a), std::size_t(b - a)));
}

int WordLeft(const std::string& t, int pos) {
  while (pos > 0 && t[std::size_t(pos - 1)] == ' ') --pos;
  while (pos > 0 && t[std::size_t(pos - 1)] != ' ' && t[std::size_t(pos - 1)] != '\n') --pos;
  return pos;
}
int WordRight(const std::string& t, int pos) {
  int n = int(t.size());
  while (pos < n && t[std::size_t(pos)] != ' ' && t[std::size_t(pos)] != '\n') ++pos;
  while (pos < n && t[std::size_t(pos)] == ' ') ++pos;
  return pos;
}

int PosFromPoint(HWND wnd, EditState& s, int x, int y) {
  EditMetrics m = Measure(wnd, s);
  auto lines = Lines(s);
  int li = Multi(*Get(wnd)) ? std::clamp(s.topLine + (y - 1) / std::max(1, m.lineHeight), 0, int(lines.size()) - 1) : 0;
  std::string line =
      s.text.substr(std::size_t(lines[std::size_t(li)].first), std::size_t(lines[std::size_t(li)].second));
  int left = LineLeft(wnd, s, TextWidth(m.dc, s, line));
  int col = PosOfX(m.dc, s, line, x - left);
  Release(wnd, m);
  return lines[std::size_t(li)].first + col;
}

void PaintEdit(HWND wnd, HDC dc) {
  Window* w = Get(wnd);
  EditState& s = ControlState<EditState>(wnd);
  s.self = wnd;
  RECT rc;
  GetClientRect(wnd, &rc);
  bool readOnly = (w->style & ES_READONLY) || !IsWindowEnabled(wnd);
  HBRUSH brush = CtlColor(wnd, dc, readOnly ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
  if (!IsHollow(brush)) FillRect(dc, &rc, brush);
  COLORREF textColor = IsWindowEnabled(wnd) ? GetTextColor(dc) : GetSysColor(COLOR_GRAYTEXT);
  HGDIOBJ old = UseFont(dc, s.font);
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
  auto lines = Lines(s);
  int a = std::min(s.anchor, s.caret), b = std::max(s.anchor, s.caret);
  bool showSel = (s.focused || (w->style & ES_NOHIDESEL)) && a != b;
  int y = Multi(*w) ? 1 : std::max(0, int(rc.bottom - tm.tmHeight) / 2);
  SetBkMode(dc, TRANSPARENT);
  for (int li = Multi(*w) ? s.topLine : 0; li < int(lines.size()); ++li) {
    if (y > rc.bottom) break;
    int start = lines[std::size_t(li)].first, len = lines[std::size_t(li)].second;
    std::string line = s.text.substr(std::size_t(start), std::size_t(len));
    int left = LineLeft(wnd, s, TextWidth(dc, s, line));
    SetTextColor(dc, textColor);
    std::string shown = Displayed(s, line);
    TextOut(dc, left, y, shown.c_str(), int(shown.size()));
    if (showSel) {
      int sa = std::clamp(a - start, 0, len), sb = std::clamp(b - start, 0, len);
      if (sb > sa) {
        int x0 = left + XOfPos(dc, s, line, sa), x1 = left + XOfPos(dc, s, line, sb);
        RECT sr{x0, y, x1, y + tm.tmHeight};
        FillRect(dc, &sr, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        std::string part = Displayed(s, line.substr(std::size_t(sa), std::size_t(sb - sa)));
        TextOut(dc, x0, y, part.c_str(), int(part.size()));
      }
    }
    if (s.focused && s.caret >= start && s.caret <= start + len && IsWindowEnabled(wnd)) {
      int cx = left + XOfPos(dc, s, line, s.caret - start);
      RECT cr{cx, y, cx + 1, y + tm.tmHeight};
      HBRUSH cb = CreateSolidBrush(textColor);
      FillRect(dc, &cr, cb);
      DeleteObject(cb);
    }
    y += tm.tmHeight;
    if (!Multi(*w)) break;
  }
  SelectObject(dc, old);
}

void EditKey(HWND wnd, EditState& s, UINT vk) {
  Window* w = Get(wnd);
  bool shift = KeyIsDown(VK_SHIFT), ctrl = KeyIsDown(VK_CONTROL);
  auto lines = Lines(s);
  int li = LineOf(lines, s.caret);
  int next = s.caret;
  bool move = true;
  switch (vk) {
    case VK_LEFT:
      if (!shift && s.anchor != s.caret)
        next = std::min(s.anchor, s.caret);
      else
        next = ctrl ? WordLeft(s.text, s.caret) : Utf8Prev(s.text, s.caret);
      if (!ctrl && next > 0 && s.text[std::size_t(next)] == '\n' && s.text[std::size_t(next - 1)] == '\r') --next;
      break;
    case VK_RIGHT:
      if (!shift && s.anchor != s.caret)
        next = std::max(s.anchor, s.caret);
      else
        next = ctrl ? WordRight(s.text, s.caret) : Utf8Next(s.text, s.caret);
      if (!ctrl && next < int(s.text.size()) && s.text[std::size_t(next - 1)] == '\r') ++next;
      break;
    case VK_HOME: next = ctrl ? 0 : lines[std::size_t(li)].first; break;
    case VK_END: next = ctrl ? int(s.text.size()) : lines[std::size_t(li)].first + lines[std::size_t(li)].second; break;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: {
      if (!Multi(*w)) {
        move = false;
        break;
      }
      int step = (vk == VK_UP || vk == VK_DOWN) ? 1 : 10;
      int target = std::clamp(li + ((vk == VK_UP || vk == VK_PRIOR) ? -step : step), 0, int(lines.size()) - 1);
      EditMetrics m = Measure(wnd, s);
      std::string cur =
          s.text.substr(std::size_t(lines[std::size_t(li)].first), std::size_t(lines[std::size_t(li)].second));
      std::string dst =
          s.text.substr(std::size_t(lines[std::size_t(target)].first), std::size_t(lines[std::size_t(target)].second));
      int x = XOfPos(m.dc, s, cur, s.caret - lines[std::size_t(li)].first);
      next = lines[std::size_t(target)].first + PosOfX(m.dc, s, dst, x);
      Release(wnd, m);
      break;
    }
    case VK_DELETE: {
      move = false;
      if (w->style & ES_READONLY) break;
      if (shift) {
        CopySelection(s);
        ReplaceSelection(wnd, s, "");
        break;
      }
      if (s.anchor == s.caret) {
        if (s.caret >= int(s.text.size())) break;
        int end = Utf8Next(s.text, s.caret);
        if (s.text[std::size_t(s.caret)] == '\r' && end < int(s.text.size()) && s.text[std::size_t(end)] == '\n') ++end;
        s.anchor = end;
      }
      ReplaceSelection(wnd, s, "");
      break;
    }
    case VK_INSERT:
      move = false;
      if (ctrl)
        CopySelection(s);
      else if (shift)
        SendMessage(wnd, WM_PASTE, 0, 0);
      break;
    default: move = false; break;
  }
  if (!move) return;
  s.caret = next;
  if (!shift) s.anchor = next;
  ScrollToCaret(wnd, s);
  InvalidateRect(wnd, nullptr, TRUE);
}

void EditChar(HWND wnd, EditState& s, std::uint32_t ch) {
  Window* w = Get(wnd);
  bool readOnly = w->style & ES_READONLY;
  switch (ch) {
    case 0x01:
      s.anchor = 0;
      s.caret = int(s.text.size());
      InvalidateRect(wnd, nullptr, TRUE);
      return;
    case 0x03: CopySelection(s); return;
    case 0x16:
      if (!readOnly) SendMessage(wnd, WM_PASTE, 0, 0);
      return;
    case 0x18:
      if (!readOnly) SendMessage(wnd, WM_CUT, 0, 0);
      return;
    case 0x1A:
      if (!readOnly) SendMessage(wnd, WM_UNDO, 0, 0);
      return;
    case '\b':
      if (readOnly) return;
      if (s.anchor == s.caret) {
        if (s.caret == 0) return;
        int prev = Utf8Prev(s.text, s.caret);
        if (prev > 0 && s.text[std::size_t(prev)] == '\n' && s.text[std::size_t(prev - 1)] == '\r') --prev;
        s.anchor = prev;
      }
      ReplaceSelection(wnd, s, "");
      return;
    case '\r':
      if (!readOnly && Multi(*w)) ReplaceSelection(wnd, s, "\r\n");
      return;
    case '\t':
      if (!readOnly && Multi(*w)) ReplaceSelection(wnd, s, "\t");
      return;
    default: break;
  }
  if (ch < 0x20 || ch == 0x7F || readOnly) return;
  if ((w->style & ES_NUMBER) && (ch < '0' || ch > '9')) {
    ::MessageBeep(0);
    return;
  }
  ReplaceSelection(wnd, s, EncodeUtf8(ch));
}

void SetSel(HWND wnd, EditState& s, int start, int end) {
  int n = int(s.text.size());
  if (start == -1) {
    s.anchor = s.caret;
  } else {
    if (end < 0 || end > n) end = n;
    start = std::clamp(start, 0, n);
    s.anchor = start;
    s.caret = end;
  }
  ScrollToCaret(wnd, s);
  InvalidateRect(wnd, nullptr, TRUE);
}

LRESULT EditSetText(HWND wnd, Window* w, EditState& s, LPARAM lParam) {
  s.text = ValidUtf8(lParam ? reinterpret_cast<LPCSTR>(lParam) : "");
  if (!Multi(*w)) {
    auto cut = s.text.find_first_of("\r\n");
    if (cut != std::string::npos) s.text.erase(cut);
  }
  if (int(s.text.size()) > s.limit) s.text.erase(std::size_t(s.limit));
  w->text = s.text;
  s.anchor = s.caret = 0;
  s.scrollX = 0;
  s.topLine = 0;
  s.modified = false;
  s.canUndo = false;
  InvalidateRect(wnd, nullptr, TRUE);
  NotifyCommand(wnd, EN_UPDATE);
  NotifyCommand(wnd, EN_CHANGE);
  return TRUE;
}

LRESULT EditGetText(EditState& s, WPARAM wParam, LPARAM lParam) {
  auto* out = reinterpret_cast<char*>(lParam);
  if (!out || wParam == 0) return 0;
  std::size_t n = std::min(s.text.size(), std::size_t(wParam - 1));
  std::memcpy(out, s.text.data(), n);
  out[n] = 0;
  return LRESULT(n);
}

LRESULT EditKeyDown(HWND wnd, EditState& s, WPARAM wParam, LPARAM lParam) {
  HWND parent = GetParent(wnd);
  // A combo box's own field leaves list keys to the combo box; a spin's buddy leaves arrows to the spin.
  if (parent && Get(parent) && Lower(Get(parent)->className) == "combobox" &&
      (wParam == VK_UP || wParam == VK_DOWN || wParam == VK_F4 || wParam == VK_PRIOR || wParam == VK_NEXT ||
       wParam == VK_RETURN || wParam == VK_ESCAPE))
    return SendMessage(parent, WM_KEYDOWN, wParam, lParam);
  if (HWND spin = reinterpret_cast<HWND>(GetProp(wnd, "kolumo.spin"));
      spin && IsWindow(spin) && (wParam == VK_UP || wParam == VK_DOWN))
    return SendMessage(spin, WM_KEYDOWN, wParam, lParam);
  EditKey(wnd, s, UINT(wParam));
  return 0;
}

LRESULT EditClick(HWND wnd, EditState& s, WPARAM wParam, LPARAM lParam) {
  SetFocus(wnd);
  if (!Get(wnd)) return 0;
  int pos = PosFromPoint(wnd, s, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  s.caret = pos;
  if (!(wParam & MK_SHIFT)) s.anchor = pos;
  s.mouseDown = true;
  SetCapture(wnd);
  InvalidateRect(wnd, nullptr, TRUE);
  return 0;
}

LRESULT EditDoubleClick(HWND wnd, EditState& s, LPARAM lParam) {
  int pos = PosFromPoint(wnd, s, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  s.anchor = WordLeft(s.text, pos);
  int end = pos;
  while (end < int(s.text.size()) && s.text[std::size_t(end)] != ' ' && s.text[std::size_t(end)] != '\r' &&
         s.text[std::size_t(end)] != '\n')
    ++end;
  s.caret = end;
  InvalidateRect(wnd, nullptr, TRUE);
  return 0;
}

LRESULT EditGetLine(EditState& s, WPARAM wParam, LPARAM lParam) {
  auto lines = Lines(s);
  auto* buf = reinterpret_cast<char*>(lParam);
  if (!buf || wParam >= lines.size()) return 0;
  WORD max;
  std::memcpy(&max, buf, sizeof(max));
  int n = std::min<int>(max, lines[wParam].second);
  std::memcpy(buf, s.text.data() + lines[wParam].first, std::size_t(n));
  return n;
}

LRESULT EditUndo(HWND wnd, Window* w, EditState& s) {
  if (!s.canUndo) return FALSE;
  std::swap(s.text, s.undoText);
  std::swap(s.caret, s.undoCaret);
  s.anchor = s.caret;
  w->text = s.text;
  Changed(wnd, s);
  return TRUE;
}

LRESULT EditGetRect(HWND wnd, EditState& s, LPARAM lParam) {
  auto* r = reinterpret_cast<RECT*>(lParam);
  if (r) {
    GetClientRect(wnd, r);
    r->left += s.leftMargin;
    r->right -= s.rightMargin;
  }
  return 0;
}

LRESULT EditPosFromChar(HWND wnd, EditState& s, WPARAM wParam) {
  EditMetrics m = Measure(wnd, s);
  auto lines = Lines(s);
  int pos = std::clamp(int(wParam), 0, int(s.text.size()));
  int li = LineOf(lines, pos);
  std::string line =
      s.text.substr(std::size_t(lines[std::size_t(li)].first), std::size_t(lines[std::size_t(li)].second));
  int x = LineLeft(wnd, s, TextWidth(m.dc, s, line)) + XOfPos(m.dc, s, line, pos - lines[std::size_t(li)].first);
  int y = (li - s.topLine) * m.lineHeight;
  Release(wnd, m);
  return MAKELONG(WORD(x), WORD(y));
}

LRESULT EditCut(HWND wnd, Window* w, EditState& s) {
  if (!(w->style & ES_READONLY)) {
    CopySelection(s);
    ReplaceSelection(wnd, s, "");
    w->text = s.text;
  }
  return 0;
}

LRESULT EditClear(HWND wnd, Window* w, EditState& s) {
  if (!(w->style & ES_READONLY)) {
    ReplaceSelection(wnd, s, "");
    w->text = s.text;
  }
  return 0;
}

LRESULT EditPaste(HWND wnd, Window* w, EditState& s) {
  if (!(w->style & ES_READONLY)) {
    std::string clip;
    if (OpenClipboard(wnd)) {
      HANDLE h = GetClipboardData(CF_TEXT);
      if (h) {
        const char* p = static_cast<const char*>(GlobalLock(h));
        if (p) clip.assign(p, strnlen(p, GlobalSize(h)));
        GlobalUnlock(h);
      }
      CloseClipboard();
    }
    ReplaceSelection(wnd, s, ValidUtf8(clip));
    w->text = s.text;
  }
  return 0;
}

LRESULT EditProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Get(wnd);
  if (!w) return 0;
  EditState& s = ControlState<EditState>(wnd);
  s.self = wnd;
  bool handled;
  LRESULT fr = FontMessages(wnd, msg, wParam, lParam, s.font, handled);
  if (handled) return fr;
  switch (msg) {
    case WM_NCCREATE:
      s.text = w->text;
      if (w->style & ES_PASSWORD) s.password = '*';
      return TRUE;
    case WM_SETTEXT: return EditSetText(wnd, w, s, lParam);
    case WM_GETTEXT: return EditGetText(s, wParam, lParam);
    case WM_GETTEXTLENGTH: return LRESULT(s.text.size());
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      auto* m = reinterpret_cast<MSG*>(lParam);
      if (Multi(*w) && m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN && (w->style & ES_WANTRETURN))
        code |= DLGC_WANTALLKEYS;
      // A combo box's own field keeps Enter and Escape from the dialog while the list is down: they close the list.
      HWND parent = GetParent(wnd);
      if (parent && Get(parent) && Lower(Get(parent)->className) == "combobox" &&
          SendMessage(parent, CB_GETDROPPEDSTATE, 0, 0))
        code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_SETFOCUS:
      s.focused = true;
      CreateCaret(wnd, nullptr, 1, 0);
      InvalidateRect(wnd, nullptr, TRUE);
      NotifyCommand(wnd, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s.focused = false;
      DestroyCaret();
      InvalidateRect(wnd, nullptr, TRUE);
      NotifyCommand(wnd, EN_KILLFOCUS);
      return 0;
    case WM_KEYDOWN: return EditKeyDown(wnd, s, wParam, lParam);
    case WM_SYSKEYDOWN:
      // A combo box's own field leaves Alt+Up and Alt+Down (its list) to the combo box.
      if (HWND parent = GetParent(wnd); parent && Get(parent) && Lower(Get(parent)->className) == "combobox" &&
                                        (wParam == VK_UP || wParam == VK_DOWN))
        return SendMessage(parent, WM_SYSKEYDOWN, wParam, lParam);
      return DefWindowProc(wnd, msg, wParam, lParam);
    case WM_CHAR:
    case WM_IME_CHAR: EditChar(wnd, s, std::uint32_t(wParam)); return 0;
    case WM_LBUTTONDOWN: return EditClick(wnd, s, wParam, lParam);
    case WM_LBUTTONDBLCLK: return EditDoubleClick(wnd, s, lParam);
    case WM_MOUSEMOVE:
      if (s.mouseDown) {
        s.caret = PosFromPoint(wnd, s, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        ScrollToCaret(wnd, s);
        InvalidateRect(wnd, nullptr, TRUE);
      }
      return 0;
    case WM_LBUTTONUP:
      if (s.mouseDown) {
        s.mouseDown = false;
        ReleaseCapture();
      }
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursor(nullptr, IDC_IBEAM));
        return TRUE;
      }
      return DefWindowProc(wnd, msg, wParam, lParam);
    case EM_GETSEL: {
      DWORD a = DWORD(std::min(s.anchor, s.caret)), b = DWORD(std::max(s.anchor, s.caret));
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = a;
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = b;
      return MAKELONG(WORD(a), WORD(b));
    }
    case EM_SETSEL: SetSel(wnd, s, int(wParam), int(lParam)); return 0;
    case EM_REPLACESEL:
      ReplaceSelection(wnd, s, ValidUtf8(lParam ? reinterpret_cast<LPCSTR>(lParam) : ""));
      w->text = s.text;
      return 0;
    case EM_SETREADONLY:
      if (wParam)
        w->style |= ES_READONLY;
      else
        w->style &= ~ES_READONLY;
      InvalidateRect(wnd, nullptr, TRUE);
      return TRUE;
    case EM_LIMITTEXT: s.limit = wParam ? int(std::min<WPARAM>(wParam, 0x7FFFFFFE)) : 0x7FFFFFFE; return 0;
    case EM_GETLIMITTEXT: return s.limit;
    case EM_GETMODIFY: return s.modified;
    case EM_SETMODIFY: s.modified = wParam != 0; return 0;
    case EM_GETLINECOUNT: return LRESULT(Lines(s).size());
    case EM_LINEINDEX: {
      auto lines = Lines(s);
      int li = int(wParam) == -1 ? LineOf(lines, s.caret) : int(wParam);
      return li >= 0 && li < int(lines.size()) ? lines[std::size_t(li)].first : -1;
    }
    case EM_LINELENGTH: {
      auto lines = Lines(s);
      int pos = int(wParam) == -1 ? s.caret : int(wParam);
      return lines[std::size_t(LineOf(lines, std::clamp(pos, 0, int(s.text.size()))))].second;
    }
    case EM_LINEFROMCHAR: {
      auto lines = Lines(s);
      int pos = int(wParam) == -1 ? s.caret : int(wParam);
      return LineOf(lines, std::clamp(pos, 0, int(s.text.size())));
    }
    case EM_GETLINE: return EditGetLine(s, wParam, lParam);
    case EM_GETFIRSTVISIBLELINE: return s.topLine;
    case EM_SCROLLCARET:
      ScrollToCaret(wnd, s);
      InvalidateRect(wnd, nullptr, TRUE);
      return TRUE;
    case EM_LINESCROLL:
      s.topLine = std::clamp(s.topLine + int(lParam), 0, int(Lines(s).size()) - 1);
      InvalidateRect(wnd, nullptr, TRUE);
      return TRUE;
    case EM_CANUNDO: return s.canUndo;
    case EM_UNDO:
    case WM_UNDO: return EditUndo(wnd, w, s);
    case EM_EMPTYUNDOBUFFER: s.canUndo = false; return 0;
    case EM_SETPASSWORDCHAR:
      s.password = char(wParam);
      InvalidateRect(wnd, nullptr, TRUE);
      return 0;
    case EM_SETMARGINS:
      if (wParam & 1) s.leftMargin = LOWORD(lParam);
      if (wParam & 2) s.rightMargin = HIWORD(lParam);
      return 0;
    case EM_GETRECT: return EditGetRect(wnd, s, lParam);
    case EM_POSFROMCHAR: return EditPosFromChar(wnd, s, wParam);
    case EM_CHARFROMPOS: {
      int pos = PosFromPoint(wnd, s, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return MAKELONG(WORD(pos), WORD(LineOf(Lines(s), pos)));
    }
    case WM_COPY: CopySelection(s); return 0;
    case WM_CUT: return EditCut(wnd, w, s);
    case WM_CLEAR: return EditClear(wnd, w, s);
    case WM_PASTE: return EditPaste(wnd, w, s);
    case WM_ENABLE: InvalidateRect(wnd, nullptr, TRUE); return 0;
    case WM_SIZE: ScrollToCaret(wnd, s); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      w->text = s.text;
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(wnd, &ps);
      PaintEdit(wnd, dc);
      EndPaint(wnd, &ps);
      return 0;
    }
    default: {
      LRESULT r = DefWindowProc(wnd, msg, wParam, lParam);
      return r;
    }
  }
}

}  // namespace

void RegisterEditControl() { RegisterClassOf("Edit", &EditProc, CS_DBLCLKS, nullptr); }

}  // namespace win::detail
