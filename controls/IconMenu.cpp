#include "controls/IconMenu.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <string>

#include "platform/win/controls/afxbar.h"
#include "platform/win/base/registry.h"

IMPLEMENT_DYNCREATE(CIconMenu, CMenu)

namespace {

constexpr int kImageX = 16, kImageY = 15;  // the size of every image in the process-wide list

int g_version = 7;
int g_classic = -1;  // -1: not yet read

// Per image of the list: 0 a plain image, 1 an image followed by its shaded and shadow variants, 2 a variant.
struct ImageRecord {
  UINT command = 0;
  int kind = 0;
};
std::vector<ImageRecord>& ImageRecords() {
  static auto* records = new std::vector<ImageRecord>;
  return *records;
}

// The images a toolbar resource gave its commands, and whether they were made with variants.
struct ToolbarImages {
  bool variants = false;
  std::map<UINT, int> byCommand;
};
std::map<UINT, ToolbarImages>& ToolbarCache() {
  static auto* cache = new std::map<UINT, ToolbarImages>;
  return *cache;
}

CFont& MenuFont() {
  static CFont font;
  if (!font.GetSafeHandle()) {
    NONCLIENTMETRICS metrics{};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
      font.CreateFontIndirect(&metrics.lfMenuFont);
    else
      font.Attach(::GetStockObject(DEFAULT_GUI_FONT));
  }
  return font;
}

void Fill(CDC& dc, const CRect& r, COLORREF c) { dc.FillSolidRect(&r, c); }

bool Themed() { return g_version == 7 && !CIconMenu::IsClassicTheme(); }

// A new image of the list's size: the source's top-left part on the transparent colour.
HBITMAP ListSized(HBITMAP source, int x0, int y0, int width, int height, COLORREF transparent) {
  HBITMAP out = ::CreateBitmap(kImageX, kImageY, 1, 32, nullptr);
  HDC dst = ::CreateCompatibleDC(nullptr), src = ::CreateCompatibleDC(nullptr);
  HGDIOBJ oldDst = ::SelectObject(dst, out), oldSrc = ::SelectObject(src, source);
  HBRUSH brush = ::CreateSolidBrush(transparent);
  RECT all{0, 0, kImageX, kImageY};
  ::FillRect(dst, &all, brush);
  ::DeleteObject(brush);
  ::BitBlt(dst, 0, 0, std::min(width, kImageX), std::min(height, kImageY), src, x0, y0, SRCCOPY);
  ::SelectObject(src, oldSrc);
  ::SelectObject(dst, oldDst);
  ::DeleteDC(src);
  ::DeleteDC(dst);
  return out;
}

// A copy in which every pixel that differs from the corner pixel is recoloured.
template <typename Recolour>
HBITMAP Variant(HBITMAP image, Recolour recolour) {
  HBITMAP out = ListSized(image, 0, 0, kImageX, kImageY, RGB(255, 255, 255));
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, out);
  const COLORREF corner = ::GetPixel(dc, 0, 0);
  for (int y = 0; y < kImageY; ++y)
    for (int x = 0; x < kImageX; ++x)
      if (const COLORREF c = ::GetPixel(dc, x, y); c != corner) ::SetPixel(dc, x, y, recolour(c));
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  return out;
}

// A hidden toolbar loaded from the resource tells which image each of its commands has; false when the
// resource is missing.
bool ReadToolbar(UINT toolbarId, std::vector<std::pair<UINT, int>>& buttons, int& cx, int& cy) {
  CWnd host;
  if (!host.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr)) return false;
  CToolBar bar;
  bool loaded = bar.Create(&host, WS_CHILD) && bar.LoadToolBar(toolbarId);
  if (loaded) {
    cx = kImageX;
    cy = kImageY;
    if (HIMAGELIST list = reinterpret_cast<HIMAGELIST>(bar.SendMessage(TB_GETIMAGELIST))) {
      ImageList_GetIconSize(list, &cx, &cy);
    }
    for (int i = 0; i < bar.GetButtonCount(); ++i) {
      TBBUTTON b{};
      if (bar.GetButton(i, &b) && !(b.fsStyle & TBSTYLE_SEP)) buttons.emplace_back(UINT(b.idCommand), b.iBitmap);
    }
  }
  bar.DestroyWindow();
  host.DestroyWindow();
  return loaded;
}

// The toolbar's images in the process-wide list, made once (again when the look wants variants they lack).
const ToolbarImages* LoadToolbarImages(UINT toolbarId) {
  const bool variants = CIconMenu::CurrentLook(nullptr) == CIconMenu::kXPLook;
  auto known = ToolbarCache().find(toolbarId);
  if (known != ToolbarCache().end() && known->second.variants == variants) return &known->second;
  std::vector<std::pair<UINT, int>> buttons;
  int cx = 0, cy = 0;
  if (!ReadToolbar(toolbarId, buttons, cx, cy)) return nullptr;
  CBitmap strip;
  if (!strip.LoadBitmap(toolbarId)) return nullptr;
  ToolbarImages images;
  images.variants = variants;
  for (const auto& [command, index] : buttons) {
    CBitmap one;
    one.Attach(ListSized(HBITMAP(strip), index * cx, 0, cx, cy, RGB(192, 192, 192)));
    const int image = CIconMenu::AddCommandImage(command, &one, RGB(192, 192, 192));
    if (image >= 0) images.byCommand[command] = image;
  }
  return &(ToolbarCache()[toolbarId] = std::move(images));
}

}  // namespace

CIconMenu::~CIconMenu() { DestroyMenu(); }

int CIconMenu::VersionCode(bool nt, int major, int minor) {
  if (!nt) {
    if (major < 4) return 0;
    if (major == 4 && minor == 10) return 3;
    if (major == 4 && minor == 90) return 4;
    return 2;
  }
  if (major == 4) return 5;
  if (major == 5 && minor == 0) return 6;
  if (major == 5 && minor == 1) return 7;
  return 1;
}

bool CIconMenu::IsClassicThemeFile(const char* themeFile) {
  static const char kEnd[] = "windows classic.theme";
  const std::size_t n = themeFile ? std::strlen(themeFile) : 0, k = sizeof(kEnd) - 1;
  if (n < k) return false;
  for (std::size_t i = 0; i < k; ++i)
    if (std::tolower(static_cast<unsigned char>(themeFile[n - k + i])) != kEnd[i]) return false;
  return true;
}

bool CIconMenu::IsClassicTheme() {
  if (g_classic < 0) {
    g_classic = 0;
    HKEY key = nullptr;
    if (::RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Microsoft\\Plus!\\Themes\\Current", 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
      char value[261] = {};
      DWORD size = 260, type = 0;
      if (::RegQueryValueEx(key, nullptr, nullptr, &type, reinterpret_cast<LPBYTE>(value), &size) == ERROR_SUCCESS)
        g_classic = IsClassicThemeFile(value) ? 1 : 0;
      ::RegCloseKey(key);
    }
  }
  return g_classic != 0;
}

void CIconMenu::SetEnvironment(int versionCode, bool classicTheme) {
  g_version = versionCode;
  g_classic = classicTheme ? 1 : 0;
}

CIconMenu::Look CIconMenu::ChooseLook(bool paletteDevice, int versionCode, bool classicTheme) {
  if (paletteDevice) return kClassicLook;
  return versionCode == 7 && !classicTheme ? kXPLook : kClassicLook;
}

CIconMenu::Look CIconMenu::CurrentLook(HDC dc) {
  const bool palette = dc && (::GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE);
  return ChooseLook(palette, g_version, IsClassicTheme());
}

COLORREF CIconMenu::LightenColor(COLORREF colour, double factor) {
  if (factor < 0.0 || factor > 1.0) return colour;
  auto up = [&](int c) { return int(c + (255 - c) * factor); };
  return RGB(up(GetRValue(colour)), up(GetGValue(colour)), up(GetBValue(colour)));
}

// ---- images -----------------------------------------------------------------------------------------------------

CImageList& CIconMenu::Images() {
  static CImageList list;
  if (!list.GetSafeHandle()) list.Create(kImageX, kImageY, ILC_COLOR24 | ILC_MASK, 8, 8);
  return list;
}

int CIconMenu::AddCommandImage(UINT id, CBitmap* bitmap, COLORREF transparent) {
  if (!bitmap || !bitmap->GetSafeHandle()) return -1;
  BITMAP info{};
  if (!bitmap->GetBitmap(&info)) return -1;
  CBitmap image;
  image.Attach(ListSized(HBITMAP(*bitmap), 0, 0, info.bmWidth, info.bmHeight, transparent));
  const int index = Images().Add(&image, transparent);
  if (index < 0) return -1;
  auto& records = ImageRecords();
  records.resize(std::size_t(index));
  records.push_back({id, 0});
  if (CurrentLook(nullptr) != kXPLook) return index;
  // The resting image is a little faded; the shadow serves under the raised hot image and as the greyed one.
  COLORREF shadow = ::GetSysColor(COLOR_3DSHADOW);
  if (!Themed()) shadow = LightenColor(shadow, 0.49);
  CBitmap shaded, flat;
  shaded.Attach(Variant(HBITMAP(image), [](COLORREF c) { return LightenColor(c, 0.3); }));
  flat.Attach(Variant(HBITMAP(image), [shadow](COLORREF) { return shadow; }));
  if (Images().Add(&shaded, transparent) < 0 || Images().Add(&flat, transparent) < 0) return index;
  records[std::size_t(index)].kind = 1;
  records.push_back({id, 2});
  records.push_back({id, 2});
  return index;
}

bool CIconMenu::HasVariants(int image) {
  const auto& records = ImageRecords();
  return image >= 0 && std::size_t(image) + 2 < records.size() && records[std::size_t(image)].kind == 1;
}

int CIconMenu::ToolbarImageIndex(UINT toolbarId, UINT command) {
  std::vector<std::pair<UINT, int>> buttons;
  int cx = 0, cy = 0;
  if (!ReadToolbar(toolbarId, buttons, cx, cy)) return -1;
  for (const auto& [id, index] : buttons)
    if (id == command) return index;
  return -1;
}

int CIconMenu::ImageFromToolbars(UINT id) const {
  for (auto toolbar = m_toolbars.rbegin(); toolbar != m_toolbars.rend(); ++toolbar)
    if (const ToolbarImages* images = LoadToolbarImages(*toolbar)) {
      auto found = images->byCommand.find(id);
      if (found != images->byCommand.end()) return found->second;
    }
  return -1;
}

BOOL CIconMenu::LoadToolbar(UINT toolbarId) {
  if (!LoadToolbarImages(toolbarId)) return FALSE;
  m_toolbars.push_back(toolbarId);
  ApplyImages();
  return TRUE;
}

void CIconMenu::ApplyImages() {
  for (auto& item : m_items)
    if (item->id && !item->popup)
      if (const int image = ImageFromToolbars(item->id); image >= 0) item->image = image;
  for (auto& sub : m_subMenus) {
    sub->m_toolbars = m_toolbars;
    sub->ApplyImages();
  }
}

void CIconMenu::ApplyImage(UINT id, int image) {
  for (auto& item : m_items)
    if (item->id == id && !item->popup && !(item->flags & MF_SEPARATOR)) item->image = image;
  for (auto& sub : m_subMenus) sub->ApplyImage(id, image);
}

int CIconMenu::SetCommandImage(UINT id, CBitmap* bitmap, COLORREF transparent) {
  const int image = AddCommandImage(id, bitmap, transparent);
  if (image >= 0) ApplyImage(id, image);
  return image;
}

int CIconMenu::SetCommandImage(UINT id, HICON icon) {
  if (!icon) return -1;
  CBitmap bitmap;
  bitmap.Attach(::CreateBitmap(kImageX, kImageY, 1, 32, nullptr));
  {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, kImageX, kImageY, m_bitmapBackground);
    ::DrawIconEx(dc.m_hDC, 0, 0, icon, kImageX, kImageY, 0, nullptr, DI_NORMAL);
    dc.SelectObject(old);
  }
  return SetCommandImage(id, &bitmap, m_bitmapBackground);
}

BOOL CIconMenu::RemoveCommandImage(UINT id) {
  int position = 0;
  CIconMenu* menu = FindMenuOption(id, position);
  const BOOL had = menu && menu->m_items[std::size_t(position)]->image >= 0;
  ApplyImage(id, -1);
  return had;
}

// ---- building -----------------------------------------------------------------------------------------------------

BOOL CIconMenu::AppendOwnerDrawnItem(LPCTSTR text, UINT flags, UINT id, int toolbarId) {
  if (!m_hMenu && !CreatePopupMenu()) return FALSE;
  auto item = std::make_unique<Item>();
  item->text = text ? text : "";
  item->flags = flags;
  item->id = (flags & MF_SEPARATOR) ? 0 : id;
  if (item->id) {
    if (toolbarId > 0) {
      if (const ToolbarImages* images = LoadToolbarImages(UINT(toolbarId))) {
        auto found = images->byCommand.find(id);
        if (found != images->byCommand.end()) item->image = found->second;
      }
    } else {
      item->image = ImageFromToolbars(id);
    }
  }
  const BOOL added =
      ::AppendMenu(m_hMenu, (flags & ~UINT(MF_STRING)) | MF_OWNERDRAW, item->id, reinterpret_cast<LPCSTR>(item.get()));
  if (added) m_items.push_back(std::move(item));
  return added;
}

BOOL CIconMenu::LoadMenu(UINT id) { return LoadMenu(MAKEINTRESOURCE(id)); }

BOOL CIconMenu::LoadMenu(LPCTSTR name) {
  DestroyMenu();
  HMENU source = ::LoadMenu(nullptr, name);
  if (!source) return FALSE;
  const BOOL created = CreateMenu();
  if (created) {
    m_bar = true;
    BuildFrom(source, true);
    ApplyImages();
  }
  ::DestroyMenu(source);
  return created;
}

CIconMenu* CIconMenu::BuildFrom(HMENU source, bool topLevel) {
  for (int i = 0; i < ::GetMenuItemCount(source); ++i) {
    char text[512] = {};
    MENUITEMINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof(text);
    if (!::GetMenuItemInfo(source, UINT(i), TRUE, &info)) continue;
    auto item = std::make_unique<Item>();
    item->text = text;
    const UINT state = info.fState & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
    item->flags = (info.fType & (MF_SEPARATOR | MFT_RADIOCHECK)) | state;
    UINT_PTR idOrPopup = info.wID;
    if (info.hSubMenu) {
      auto sub = std::make_unique<CIconMenu>();
      sub->CreatePopupMenu();
      sub->BuildFrom(info.hSubMenu, false);
      item->popup = sub->m_hMenu;
      item->flags |= MF_POPUP;
      idOrPopup = reinterpret_cast<UINT_PTR>(sub->m_hMenu);
      m_subMenus.push_back(std::move(sub));
    } else if (!(info.fType & MF_SEPARATOR)) {
      item->id = info.wID;
    }
    const UINT keep = (item->flags & (MF_SEPARATOR | MF_POPUP)) | state;
    // A menu bar draws its own entries; the items of the popups are ours.
    const BOOL added =
        topLevel ? ::AppendMenu(m_hMenu, keep | ((keep & MF_SEPARATOR) ? 0 : MF_STRING), idOrPopup, item->text)
                 : ::AppendMenu(m_hMenu, keep | MF_OWNERDRAW, idOrPopup, reinterpret_cast<LPCSTR>(item.get()));
    if (added) m_items.push_back(std::move(item));
  }
  return this;
}

BOOL CIconMenu::DestroyMenu() {
  // The handles of the sub-menus go with the menu that holds them; their objects only forget them.
  std::vector<HMENU> detached;
  std::vector<CIconMenu*> open{this};
  while (!open.empty()) {
    CIconMenu* menu = open.back();
    open.pop_back();
    for (auto& sub : menu->m_subMenus) {
      open.push_back(sub.get());
      if (sub->m_hMenu) detached.push_back(sub->Detach());
    }
  }
  m_subMenus.clear();
  m_items.clear();
  m_bar = false;
  const BOOL destroyed = m_hMenu ? CMenu::DestroyMenu() : FALSE;
  for (HMENU h : detached)
    if (::IsMenu(h)) ::DestroyMenu(h);
  return destroyed;
}

void CIconMenu::Synchronize() {
  if (!m_hMenu) return;
  std::vector<std::unique_ptr<Item>> rebuilt;
  for (int i = 0; i < ::GetMenuItemCount(m_hMenu); ++i) {
    char text[512] = {};
    MENUITEMINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof(text);
    ::GetMenuItemInfo(m_hMenu, UINT(i), TRUE, &info);
    const UINT state = info.fState & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
    auto* known = reinterpret_cast<Item*>(info.dwItemData);
    auto mine = std::find_if(m_items.begin(), m_items.end(), [&](const auto& it) { return it.get() == known; });
    if (known && (info.fType & MFT_OWNERDRAW) && mine != m_items.end()) {
      rebuilt.push_back(std::move(*mine));
      continue;
    }
    auto item = std::make_unique<Item>();
    item->text = text;
    item->popup = info.hSubMenu;
    item->id = info.hSubMenu || (info.fType & MF_SEPARATOR) ? 0 : info.wID;
    item->flags = (info.fType & (MF_SEPARATOR | MFT_RADIOCHECK)) | state | (info.hSubMenu ? MF_POPUP : 0);
    if (item->id) item->image = ImageFromToolbars(item->id);
    const UINT_PTR idOrPopup = info.hSubMenu ? reinterpret_cast<UINT_PTR>(info.hSubMenu) : item->id;
    const UINT kind = item->flags & (MF_SEPARATOR | MF_POPUP);
    if (m_bar)
      ::ModifyMenu(m_hMenu, UINT(i), MF_BYPOSITION | kind | state | ((kind & MF_SEPARATOR) ? 0 : MF_STRING), idOrPopup,
                   item->text);
    else
      ::ModifyMenu(m_hMenu, UINT(i), MF_BYPOSITION | kind | state | MF_OWNERDRAW, idOrPopup,
                   reinterpret_cast<LPCSTR>(item.get()));
    rebuilt.push_back(std::move(item));
  }
  m_items = std::move(rebuilt);
}

// ---- finding and changing items -----------------------------------------------------------------------------

CIconMenu* CIconMenu::FindPopup(HMENU menu) { return dynamic_cast<CIconMenu*>(CMenu::FromHandlePermanent(menu)); }

CIconMenu* CIconMenu::FindMenuOption(UINT id, int& position) {
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    const Item& item = *m_items[i];
    if (item.popup) {
      if (CIconMenu* sub = FindPopup(item.popup))
        if (CIconMenu* found = sub->FindMenuOption(id, position)) return found;
    } else if (item.id == id && !(item.flags & MF_SEPARATOR)) {
      position = int(i);
      return this;
    }
  }
  return nullptr;
}

CString CIconMenu::GetItemText(UINT id) {
  int position = 0;
  CIconMenu* menu = FindMenuOption(id, position);
  return menu ? menu->GetItemTextByPosition(position) : CString();
}

CString CIconMenu::GetItemTextByPosition(int position) const {
  return position >= 0 && std::size_t(position) < m_items.size() ? m_items[std::size_t(position)]->text : CString();
}

BOOL CIconMenu::ModifyItem(UINT id, LPCTSTR text, UINT flags) {
  int position = 0;
  CIconMenu* menu = FindMenuOption(id, position);
  return menu ? menu->ModifyItemByPosition(position, text, flags) : FALSE;
}

BOOL CIconMenu::ModifyItemByPosition(int position, LPCTSTR text, UINT flags) {
  if (position < 0 || std::size_t(position) >= m_items.size()) return FALSE;
  Item& item = *m_items[std::size_t(position)];
  if (text) item.text = text;
  const UINT kind = item.flags & (MF_SEPARATOR | MF_POPUP);
  const UINT state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
  item.flags = kind | state | (flags & MFT_RADIOCHECK);
  const UINT_PTR idOrPopup = item.popup ? reinterpret_cast<UINT_PTR>(item.popup) : item.id;
  if (m_bar)
    return ::ModifyMenu(m_hMenu, UINT(position), MF_BYPOSITION | kind | state | MF_STRING, idOrPopup, item.text);
  return ::ModifyMenu(m_hMenu, UINT(position), MF_BYPOSITION | kind | state | MF_OWNERDRAW, idOrPopup,
                      reinterpret_cast<LPCSTR>(&item));
}

const CIconMenu::Item* CIconMenu::FindItem(UINT id) const {
  for (const auto& item : m_items)
    if (!(item->flags & MF_SEPARATOR) && !item->popup && item->id == id) return item.get();
  return nullptr;
}

bool CIconMenu::Owns(const Item* item) const {
  return std::any_of(m_items.begin(), m_items.end(), [item](const auto& it) { return it.get() == item; });
}

const CIconMenu::Item* CIconMenu::ItemOf(ULONG_PTR data, UINT id) const {
  const auto* item = reinterpret_cast<const Item*>(data);
  return item && Owns(item) ? item : FindItem(id);
}

void CIconMenu::AlignAccelerators() {
  CClientDC dc(nullptr);
  CFont* old = dc.SelectObject(&MenuFont());
  int widest = 0;
  for (const auto& item : m_items) {
    const int tab = item->text.Find('\t');
    if (tab < 0) continue;
    const CString head = item->text.Left(tab) + " ";
    widest = std::max(widest, int(dc.GetTextExtent(head, head.GetLength()).cx));
  }
  for (const auto& item : m_items) {
    const int tab = item->text.Find('\t');
    if (tab < 0) continue;
    CString head = item->text.Left(tab);
    const CString tail = item->text.Mid(tab);
    while (dc.GetTextExtent(head, head.GetLength()).cx < widest) head += " ";
    item->text = head + tail;
  }
  dc.SelectObject(old);
}

LRESULT CIconMenu::MenuChar(UINT ch) {
  if (m_hMenu && std::size_t(::GetMenuItemCount(m_hMenu)) != m_items.size()) Synchronize();
  const char wanted = char(std::tolower(int(ch)));
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    std::string text = m_items[i]->text.GetString();
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    const std::size_t amp = text.find('&');
    if (amp != std::string::npos && amp + 1 < text.size() && text[amp + 1] == wanted)
      return LRESULT(MAKELONG(WORD(i), WORD(2)));
  }
  return 0;
}

// ---- measuring and drawing ------------------------------------------------------------------------------------

void CIconMenu::MeasureItem(LPMEASUREITEMSTRUCT mis) {
  if (!mis) return;
  const Look look = CurrentLook(nullptr);
  const int gap = Gap(look);
  const Item* item = ItemOf(mis->itemData, mis->itemID);
  if (!item || (item->flags & MF_SEPARATOR)) {
    mis->itemWidth = 0;
    mis->itemHeight = UINT(std::max(::GetSystemMetrics(SM_CYMENU) / 2, (m_iconY + gap) / 2));
    return;
  }
  CClientDC dc(nullptr);
  CFont* old = dc.SelectObject(&MenuFont());
  CString shown = item->text;
  shown.Replace("&", "");
  shown.Replace("\t", "  ");
  const int textWidth = int(dc.GetTextExtent(shown, shown.GetLength()).cx);
  dc.SelectObject(old);
  mis->itemWidth = UINT(look == kXPLook ? m_iconX + textWidth + gap + 8 : textWidth + 2 * m_iconX + 1);
  mis->itemHeight = UINT(std::max(::GetSystemMetrics(SM_CYMENU), m_iconY + gap));
}

void CIconMenu::DrawItem(LPDRAWITEMSTRUCT dis) {
  if (!dis || dis->CtlType != ODT_MENU) return;
  Item separator;
  separator.flags = MF_SEPARATOR;
  const Item* item = ItemOf(dis->itemData, dis->itemID);
  if (!item) item = &separator;
  // Drawn on a bitmap of the item's size and copied in one go, so that the item never shows half drawn.
  CDC* target = CDC::FromHandle(dis->hDC);
  const CRect rect(dis->rcItem);
  CDC mem;
  CBitmap buffer;
  const bool buffered =
      mem.CreateCompatibleDC(target) && buffer.CreateCompatibleBitmap(target, rect.Width(), rect.Height());
  CDC& dc = buffered ? mem : *target;
  CBitmap* oldBitmap = buffered ? mem.SelectObject(&buffer) : nullptr;
  if (buffered) mem.SetViewportOrg(-rect.left, -rect.top);
  CFont* old = dc.SelectObject(&MenuFont());
  if (CurrentLook(dis->hDC) == kXPLook)
    DrawXP(dc, *item, rect, dis->itemState);
  else
    DrawClassic(dc, *item, rect, dis->itemState);
  dc.SelectObject(old);
  if (buffered) {
    mem.SetViewportOrg(0, 0);
    target->BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), &mem, 0, 0, SRCCOPY);
    mem.SelectObject(oldBitmap);
  }
}

void CIconMenu::DrawImage(CDC& dc, int image, CPoint at, bool selected, bool disabled, Look look) {
  const bool variants = look == kXPLook && HasVariants(image);
  if (disabled && variants) {
    Images().Draw(&dc, image + 2, at, ILD_TRANSPARENT);
    return;
  }
  if (disabled) {
    // Embossed: the image's shape once in the highlight, one pixel right and down, then in the shadow.
    IMAGEINFO info{};
    if (!Images().GetImageInfo(image, &info) || !info.hbmMask) return;
    CDC mask;
    mask.CreateCompatibleDC(&dc);
    HGDIOBJ old = ::SelectObject(mask.m_hDC, info.hbmMask);
    const COLORREF inks[2] = {::GetSysColor(COLOR_3DHILIGHT), ::GetSysColor(COLOR_3DSHADOW)};
    for (int pass = 0; pass < 2; ++pass)
      for (int y = 0; y < kImageY; ++y)
        for (int x = 0; x < kImageX; ++x)
          if (mask.GetPixel(info.rcImage.left + x, info.rcImage.top + y) == RGB(0, 0, 0))
            dc.SetPixel(at.x + x + 1 - pass, at.y + y + 1 - pass, inks[pass]);
    ::SelectObject(mask.m_hDC, old);
    return;
  }
  if (!variants) {
    Images().Draw(&dc, image, at, ILD_TRANSPARENT);
  } else if (selected) {
    // Hot: the image lifted over its own shadow.
    Images().Draw(&dc, image + 2, CPoint(at.x + 1, at.y + 1), ILD_TRANSPARENT);
    Images().Draw(&dc, image, CPoint(at.x - 1, at.y - 1), ILD_TRANSPARENT);
  } else {
    Images().Draw(&dc, image + 1, at, ILD_TRANSPARENT);
  }
}

void CIconMenu::DrawMark(CDC& dc, CRect box, bool radio) {
  const COLORREF ink = ::GetSysColor(COLOR_MENUTEXT);
  const CPoint c = box.CenterPoint();
  if (radio) {
    CBrush brush(ink);
    CBrush* oldBrush = dc.SelectObject(&brush);
    dc.Ellipse(c.x - 3, c.y - 3, c.x + 3, c.y + 3);
    dc.SelectObject(oldBrush);
    return;
  }
  CPen pen(PS_SOLID, 1, ink);
  CPen* oldPen = dc.SelectObject(&pen);
  for (int dy = 0; dy < 3; ++dy) {
    dc.MoveTo(c.x - 3, c.y - 1 + dy);
    dc.LineTo(c.x - 1, c.y + 1 + dy);
    dc.LineTo(c.x + 4, c.y - 4 + dy);
  }
  dc.SelectObject(oldPen);
}

void CIconMenu::DrawXP(CDC& dc, const Item& item, CRect rect, UINT state) {
  const bool themed = Themed();
  const int column = m_iconX + Gap(kXPLook);
  COLORREF iconColumn = ::GetSysColor(COLOR_BTNFACE);
  if (!themed) iconColumn = LightenColor(iconColumn, 0.25);
  const COLORREF background = ::GetSysColor(COLOR_WINDOW);
  const COLORREF frame = ::GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF highlight = LightenColor(frame, themed ? 0.7 : 0.85);
  const bool selected = (state & ODS_SELECTED) != 0 && !(item.flags & MF_SEPARATOR);
  const bool disabled = (state & (ODS_GRAYED | ODS_DISABLED)) != 0;
  if (selected) {
    Fill(dc, rect, highlight);
    CBrush brush(frame);
    dc.FrameRect(&rect, &brush);
  } else {
    Fill(dc, CRect(rect.left, rect.top, rect.left + column, rect.bottom), iconColumn);
    Fill(dc, CRect(rect.left + column, rect.top, rect.right, rect.bottom), background);
  }
  if (item.flags & MF_SEPARATOR) {
    const int y = (rect.top + rect.bottom) / 2;
    Fill(dc, CRect(rect.left + column + 8, y, rect.right, y + 1), iconColumn);
    return;
  }
  const CRect iconBox(rect.left, rect.top, rect.left + column, rect.bottom);
  if (item.image >= 0) {
    const CPoint at(iconBox.left + (iconBox.Width() - m_iconX) / 2, iconBox.top + (iconBox.Height() - m_iconY) / 2);
    DrawImage(dc, item.image, at, selected, disabled, kXPLook);
  } else if (state & ODS_CHECKED) {
    CRect box(iconBox.left + 2, iconBox.top + 2, iconBox.right - 2, iconBox.bottom - 2);
    Fill(dc, box, LightenColor(frame, 0.85));
    CBrush brush(frame);
    dc.FrameRect(&box, &brush);
    DrawMark(dc, box, (item.flags & MFT_RADIOCHECK) != 0);
  }
  COLORREF text = ::GetSysColor(COLOR_MENUTEXT);
  if (disabled) {
    text = ::GetSysColor(COLOR_GRAYTEXT);
    if (!themed && !selected) text = LightenColor(text, 0.4);
  }
  dc.SetTextColor(text);
  dc.SetBkMode(TRANSPARENT);
  const CString& all = item.text;
  const int first = all.Find('\t'), last = all.ReverseFind('\t');
  CString head = first < 0 ? all : all.Left(first);
  CRect textRect(rect.left + column + 8, rect.top, rect.right, rect.bottom);
  dc.DrawText(head, &textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  if (last >= 0) {
    CString tail = all.Mid(last + 1);
    CRect accel(textRect.left, rect.top, rect.right - m_iconX, rect.bottom);
    dc.DrawText(tail, &accel, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  }
}

void CIconMenu::DrawClassic(CDC& dc, const Item& item, CRect rect, UINT state) {
  const COLORREF background = ::GetSysColor(Themed() ? COLOR_BTNFACE : COLOR_MENU);
  Fill(dc, rect, background);
  if (item.flags & MF_SEPARATOR) {
    CRect line(rect.left, (rect.top + rect.bottom) / 2, rect.right, rect.bottom);
    dc.DrawEdge(&line, EDGE_ETCHED, BF_TOP);
    return;
  }
  const bool selected = (state & ODS_SELECTED) != 0;
  const bool checked = (state & ODS_CHECKED) != 0;
  const bool disabled = (state & (ODS_GRAYED | ODS_DISABLED)) != 0;
  const bool hasMark = item.image >= 0 || checked;
  const int offset = std::max((rect.Height() - m_iconY - 4) / 2, 0);
  const CRect iconBox(rect.left + 1, rect.top + offset + 1, rect.left + m_iconX + 3, rect.top + offset + m_iconY + 3);
  if (selected) {
    CRect hi = rect;
    if (hasMark) hi.left = rect.left + m_iconX + 5;
    Fill(dc, hi, ::GetSysColor(COLOR_HIGHLIGHT));
  }
  if (item.image >= 0) {
    if (checked) Fill(dc, iconBox, LightenColor(background, 0.6));
    DrawImage(dc, item.image, CPoint(rect.left + 2, rect.top + offset + 2), selected, disabled, kClassicLook);
    if ((selected || checked) && !disabled) {
      const COLORREF hi = ::GetSysColor(COLOR_3DHILIGHT), lo = ::GetSysColor(COLOR_3DSHADOW);
      dc.Draw3dRect(&iconBox, checked ? lo : hi, checked ? hi : lo);
    }
  } else if (checked) {
    Fill(dc, iconBox, selected ? background : LightenColor(background, 0.6));
    dc.DrawEdge(const_cast<CRect*>(&iconBox), EDGE_SUNKEN, BF_RECT);
    DrawMark(dc, iconBox, (item.flags & MFT_RADIOCHECK) != 0);
  }
  dc.SetBkMode(TRANSPARENT);
  const CString& all = item.text;
  const int first = all.Find('\t'), last = all.ReverseFind('\t');
  const CString head = first < 0 ? all : all.Left(first);
  const CString tail = last < 0 ? CString() : all.Mid(last + 1);
  CRect textRect(rect.left + m_iconX + 8, rect.top, rect.right - m_iconX, rect.bottom);
  auto write = [&](CRect r, COLORREF c) {
    dc.SetTextColor(c);
    dc.DrawText(head, &r, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (!tail.IsEmpty()) dc.DrawText(tail, &r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  };
  if (disabled) {
    CRect shifted = textRect;
    shifted.OffsetRect(1, 1);
    write(shifted, ::GetSysColor(COLOR_3DHILIGHT));
    write(textRect, ::GetSysColor(COLOR_3DSHADOW));
  } else {
    write(textRect, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  }
}
