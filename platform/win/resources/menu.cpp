// Menus: handles with items and submenus; popup menus answer from the script.
#include <algorithm>
#include <cstring>

#include "platform/win/base/handles.h"
#include "platform/win/window/internal.h"
#include "platform/win/screen/screen.h"

namespace win::detail {
namespace {

struct MenuItem {
  UINT type = MFT_STRING;  // MFT_* bits
  UINT state = 0;          // MFS_* bits
  UINT id = 0;
  HMENU sub = nullptr;
  std::string text;
  ULONG_PTR data = 0;
};
struct Menu {
  std::vector<MenuItem> items;
  bool popup = false;
};

std::map<int, std::unique_ptr<Menu>>& Menus() {
  static std::map<int, std::unique_ptr<Menu>> m;
  return m;
}
Menu* M(HMENU h) {
  auto it = Menus().find(int(reinterpret_cast<std::intptr_t>(h)));
  return it == Menus().end() ? nullptr : it->second.get();
}
HMENU NewMenu(bool popup) {
  EnsureHandleFloor();
  auto m = std::make_unique<Menu>();
  m->popup = popup;
  int h = win::RegisterHandle(m.get(), typeid(Menu));
  Menus()[h] = std::move(m);
  return reinterpret_cast<HMENU>(std::intptr_t(h));
}

// Finds an item by command (searching submenus) or by position; returns its menu and index.
bool Find(HMENU menu, UINT item, UINT flags, Menu*& owner, std::size_t& index) {
  Menu* m = M(menu);
  if (!m) return false;
  if (flags & MF_BYPOSITION) {
    if (item >= m->items.size()) return false;
    owner = m;
    index = item;
    return true;
  }
  for (std::size_t i = 0; i < m->items.size(); ++i) {
    if (!m->items[i].sub && m->items[i].id == item && !(m->items[i].type & MFT_SEPARATOR)) {
      owner = m;
      index = i;
      return true;
    }
    if (m->items[i].sub && Find(m->items[i].sub, item, flags, owner, index)) return true;
  }
  return false;
}

MenuItem FromFlags(UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
  MenuItem it;
  it.type = flags & (MF_SEPARATOR | MF_OWNERDRAW | MF_BITMAP | MF_MENUBREAK | MF_MENUBARBREAK | MF_RIGHTJUSTIFY);
  it.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
  if (flags & MF_POPUP)
    it.sub = reinterpret_cast<HMENU>(idOrPopup);
  else
    it.id = UINT(idOrPopup);
  if (flags & MF_OWNERDRAW)
    it.data = reinterpret_cast<ULONG_PTR>(text);
  else if (text && !(flags & (MF_SEPARATOR | MF_BITMAP)))
    it.text = ValidUtf8(text);
  return it;
}

std::string Clean(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&') {
      if (i + 1 < s.size() && s[i + 1] == '&') out += s[++i];
      continue;
    }
    if (s[i] == '\t') break;
    out += s[i];
  }
  return out;
}

void Describe(HMENU menu, const std::string& prefix, std::string& out) {
  Menu* m = M(menu);
  if (!m) return;
  for (const MenuItem& it : m->items) {
    if (it.type & MFT_SEPARATOR) continue;
    std::string name = prefix + Clean(it.text);
    if (it.sub) {
      Describe(it.sub, name + "\\", out);
    } else {
      if (!out.empty()) out += '|';
      out += name;
    }
  }
}

bool Enabled(const MenuItem& it) { return !(it.state & (MF_GRAYED | MF_DISABLED)); }

bool HasCommand(HMENU menu, UINT cmd) {
  Menu* m = M(menu);
  if (!m) return false;
  for (const MenuItem& it : m->items) {
    if (it.sub ? HasCommand(it.sub, cmd) : (it.id == cmd && !(it.type & MFT_SEPARATOR) && Enabled(it))) return true;
  }
  return false;
}

INT_PTR CommandOfPath(HMENU menu, const std::string& path) {
  Menu* m = M(menu);
  if (!m) return -1;
  std::size_t slash = path.find('\\');
  std::string head = path.substr(0, slash);
  for (const MenuItem& it : m->items) {
    if (it.type & MFT_SEPARATOR || Clean(it.text) != head) continue;
    if (slash == std::string::npos) return it.sub ? -1 : INT_PTR(it.id);
    if (it.sub) return CommandOfPath(it.sub, path.substr(slash + 1));
  }
  return -1;
}

}  // namespace
}  // namespace win::detail

using namespace win::detail;

HMENU CreateMenu() { return NewMenu(false); }
HMENU CreatePopupMenu() { return NewMenu(true); }
BOOL IsMenu(HMENU menu) { return M(menu) != nullptr; }

BOOL DestroyMenu(HMENU menu) {
  Menu* m = M(menu);
  if (!m) return FALSE;
  std::vector<HMENU> subs;
  for (const MenuItem& it : m->items)
    if (it.sub) subs.push_back(it.sub);
  int h = int(reinterpret_cast<std::intptr_t>(menu));
  Menus().erase(h);
  win::ReleaseHandle(h);
  for (HMENU s : subs) DestroyMenu(s);
  return TRUE;
}

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
  Menu* m = M(menu);
  if (!m) return FALSE;
  m->items.push_back(FromFlags(flags, idOrPopup, text));
  return TRUE;
}

BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
  Menu* m = M(menu);
  if (!m) return FALSE;
  Menu* owner = m;
  std::size_t index = m->items.size();
  if (position != UINT(-1) && !Find(menu, position, flags, owner, index)) {
    if (!(flags & MF_BYPOSITION)) return FALSE;
    owner = m;
    index = m->items.size();
  }
  owner->items.insert(owner->items.begin() + std::ptrdiff_t(index), FromFlags(flags, idOrPopup, text));
  return TRUE;
}

BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
  Menu* owner;
  std::size_t index;
  if (!Find(menu, position, flags, owner, index)) return FALSE;
  owner->items[index] = FromFlags(flags, idOrPopup, text);
  return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
  Menu* owner;
  std::size_t index;
  if (!Find(menu, position, flags, owner, index)) return FALSE;
  owner->items.erase(owner->items.begin() + std::ptrdiff_t(index));
  return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
  Menu* owner;
  std::size_t index;
  if (!Find(menu, position, flags, owner, index)) return FALSE;
  HMENU sub = owner->items[index].sub;
  owner->items.erase(owner->items.begin() + std::ptrdiff_t(index));
  if (sub) DestroyMenu(sub);
  return TRUE;
}

int GetMenuItemCount(HMENU menu) {
  Menu* m = M(menu);
  return m ? int(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
  Menu* m = M(menu);
  if (!m || position < 0 || std::size_t(position) >= m->items.size()) return UINT(-1);
  const MenuItem& it = m->items[std::size_t(position)];
  return it.sub ? UINT(-1) : it.id;
}

HMENU GetSubMenu(HMENU menu, int position) {
  Menu* m = M(menu);
  if (!m || position < 0 || std::size_t(position) >= m->items.size()) return nullptr;
  return m->items[std::size_t(position)].sub;
}

int GetMenuString(HMENU menu, UINT item, LPSTR out, int max, UINT flags) {
  Menu* owner;
  std::size_t index;
  if (!Find(menu, item, flags, owner, index)) return 0;
  const std::string& t = owner->items[index].text;
  if (!out || max <= 0) return int(t.size());
  std::size_t n = std::min(t.size(), std::size_t(max - 1));
  std::memcpy(out, t.data(), n);
  out[n] = 0;
  return int(n);
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  Menu* owner;
  std::size_t index;
  if (!Find(menu, item, flags, owner, index)) return UINT(-1);
  const MenuItem& it = owner->items[index];
  UINT s = it.state | it.type;
  if (it.sub) s |= MF_POPUP | (UINT(GetMenuItemCount(it.sub)) << 8);
  return s;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) {
  Menu* owner;
  std::size_t index;
  if (!Find(menu, item, check, owner, index)) return DWORD(-1);
  MenuItem& it = owner->items[index];
  DWORD old = it.state & MF_CHECKED;
  it.state = (it.state & ~MF_CHECKED) | (check & MF_CHECKED);
  return old;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable) {
  Menu* owner;
  std::size_t index;
  if (!Find(menu, item, enable, owner, index)) return -1;
  MenuItem& it = owner->items[index];
  BOOL old = BOOL(it.state & (MF_GRAYED | MF_DISABLED));
  it.state = (it.state & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
  return old;
}

BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFO info) {
  Menu* owner;
  std::size_t index;
  if (!info || !Find(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND, owner, index)) return FALSE;
  const MenuItem& it = owner->items[index];
  if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) info->fType = it.type;
  if (info->fMask & MIIM_STATE) info->fState = it.state;
  if (info->fMask & MIIM_ID) info->wID = it.id;
  if (info->fMask & MIIM_SUBMENU) info->hSubMenu = it.sub;
  if (info->fMask & MIIM_DATA) info->dwItemData = it.data;
  if (info->fMask & (MIIM_TYPE | MIIM_STRING)) {
    if (info->dwTypeData && info->cch > 0) {
      std::size_t n = std::min(it.text.size(), std::size_t(info->cch - 1));
      std::memcpy(info->dwTypeData, it.text.data(), n);
      info->dwTypeData[n] = 0;
    }
    info->cch = UINT(it.text.size());
  }
  return TRUE;
}

BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info) {
  Menu* owner;
  std::size_t index;
  if (!info || !Find(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND, owner, index)) return FALSE;
  MenuItem& it = owner->items[index];
  if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) it.type = info->fType;
  if (info->fMask & MIIM_STATE) it.state = info->fState;
  if (info->fMask & MIIM_ID) it.id = info->wID;
  if (info->fMask & MIIM_SUBMENU) it.sub = info->hSubMenu;
  if (info->fMask & MIIM_DATA) it.data = info->dwItemData;
  if ((info->fMask & (MIIM_TYPE | MIIM_STRING)) && info->dwTypeData && !(it.type & (MFT_OWNERDRAW | MFT_SEPARATOR)))
    it.text = ValidUtf8(info->dwTypeData);
  return TRUE;
}

BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info) {
  Menu* m = M(menu);
  if (!m || !info) return FALSE;
  MenuItem it;
  if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) it.type = info->fType;
  if (info->fMask & MIIM_STATE) it.state = info->fState;
  if (info->fMask & MIIM_ID) it.id = info->wID;
  if (info->fMask & MIIM_SUBMENU) it.sub = info->hSubMenu;
  if (info->fMask & MIIM_DATA) it.data = info->dwItemData;
  if ((info->fMask & (MIIM_TYPE | MIIM_STRING)) && info->dwTypeData) it.text = ValidUtf8(info->dwTypeData);
  Menu* owner = m;
  std::size_t index = m->items.size();
  if (!Find(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND, owner, index)) {
    owner = m;
    index = m->items.size();
  }
  owner->items.insert(owner->items.begin() + std::ptrdiff_t(index), it);
  return TRUE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  if (!M(menu)) return FALSE;
  CancelModes();
  if (!(flags & TPM_NONOTIFY) && owner) {
    SendMessage(owner, WM_ENTERMENULOOP, TRUE, 0);
    SendMessage(owner, WM_INITMENUPOPUP, WPARAM(menu), 0);
  }
  win::script::ModalRecord rec;
  rec.kind = "menu";
  Describe(menu, "", rec.caption);
  INT_PTR cmd = 0;
  if (auto script = TakeMenuScript()) {
    rec.scripted = true;
    cmd = script(menu);
    if (cmd != 0 && !HasCommand(menu, UINT(cmd))) {
      win::script::ModalRecord bad = rec;
      bad.caption += " (the scripted answer is no enabled item)";
      cmd = Unscripted(bad);
    }
  } else if (win::CurrentScreen()) {
    rec.scripted = true;  // answered by the user on the screen
    rec.onScreen = true;
    cmd = TrackMenuOnScreen(menu, x, y, owner);
  } else {
    cmd = Unscripted(rec);
  }
  rec.answer = cmd;
  LogModal(rec);
  if (!(flags & TPM_NONOTIFY) && owner && IsWindow(owner)) SendMessage(owner, WM_EXITMENULOOP, TRUE, 0);
  if (flags & TPM_RETURNCMD) return BOOL(cmd);
  if (cmd && owner) PostMessage(owner, WM_COMMAND, MAKEWPARAM(WORD(cmd), 0), 0);
  return TRUE;
}

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const void*) {
  return TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr);
}

namespace win::script {
void QueueMenuItem(const std::string& textPath) {
  detail::QueueMenuScript([textPath](HMENU menu) {
    INT_PTR cmd = CommandOfPath(menu, textPath);
    return cmd < 0 ? INT_PTR(-1) : cmd;
  });
}
}  // namespace win::script
