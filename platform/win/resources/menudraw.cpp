// Popup menus as pictures: each item measured (owner-drawn ones by their owner), then drawn on a memory bitmap.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/win/resources/menutext.h"
#include "platform/win/window/internal.h"

namespace {

HMENU g_measured = nullptr;

struct Item {
  MENUITEMINFO info{};
  std::string text;
  RECT rect{};
};

std::vector<Item> Items(HMENU menu) {
  std::vector<Item> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    Item it;
    char buf[512] = {};
    it.info.cbSize = sizeof(MENUITEMINFO);
    it.info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING;
    it.info.dwTypeData = buf;
    it.info.cch = sizeof(buf);
    GetMenuItemInfo(menu, UINT(i), TRUE, &it.info);
    it.text = buf;
    it.info.dwTypeData = nullptr;
    items.push_back(it);
  }
  return items;
}

}  // namespace

namespace win::detail {

SIZE MeasureOwnerDrawnItem(HMENU menu, const MENUITEMINFO& info, HWND owner, UINT height) {
  MEASUREITEMSTRUCT mis{ODT_MENU, 0, info.wID, 0, height, info.dwItemData};
  g_measured = menu;
  if (owner) SendMessage(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
  g_measured = nullptr;
  return SIZE{LONG(mis.itemWidth), LONG(mis.itemHeight)};
}

void DrawOwnerDrawnItem(HDC dc, HMENU menu, const MENUITEMINFO& info, HWND owner, const RECT& rect, bool selected) {
  const bool grayed = info.fState & MFS_GRAYED;
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_MENU;
  dis.itemID = info.wID;
  dis.itemAction = ODA_DRAWENTIRE;
  dis.itemState = (selected ? ODS_SELECTED : 0) | (grayed ? ODS_GRAYED | ODS_DISABLED : 0) |
                  ((info.fState & MFS_CHECKED) ? ODS_CHECKED : 0);
  dis.hwndItem = reinterpret_cast<HWND>(menu);
  dis.hDC = dc;
  dis.rcItem = rect;
  dis.itemData = info.dwItemData;
  const int saved = SaveDC(dc);
  if (owner) SendMessage(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  RestoreDC(dc, saved);
}

}  // namespace win::detail

namespace win {

HMENU MenuOfMeasuredItem() { return g_measured; }

Image RenderMenu(HMENU menu, HWND owner, int highlighted) {
  Image image;
  if (!IsMenu(menu)) return image;
  std::vector<Item> items = Items(menu);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  const int textHeight = tm.tmHeight + 6, check = detail::kMenuCheckColumn, arrow = detail::kMenuArrowColumn;
  int width = 60, y = 3;
  for (Item& it : items) {
    int w = 0, h = 0;
    if (it.info.fType & MFT_OWNERDRAW) {
      const SIZE size = detail::MeasureOwnerDrawnItem(menu, it.info, owner, UINT(textHeight));
      w = int(size.cx) + check;
      if (it.info.hSubMenu) w += arrow;
      h = int(size.cy);
    } else if (it.info.fType & MFT_SEPARATOR) {
      h = 8;
    } else {
      // The part after a tab stands right-aligned, a gap beside the part before it.
      const detail::MenuTextParts parts = detail::SplitMenuText(it.text);
      for (const std::string* part : {&parts.left, &parts.right}) {
        std::string shown;
        for (char c : *part)
          if (c != '&') shown += c;
        SIZE sz{};
        GetTextExtentPoint32(dc, shown.c_str(), int(shown.size()), &sz);
        if (sz.cx > 0) w += int(sz.cx) + (w > 0 ? detail::kMenuColumnGap : 0);
      }
      w += check + arrow + 8;
      h = textHeight;
    }
    it.rect = {3, y, 0, y + h};
    y += h;
    width = std::max(width, w + 6);
  }
  int height = y + 3;
  HBITMAP bmp = CreateBitmap(width, height, 1, 32, nullptr);
  HGDIOBJ oldBmp = SelectObject(dc, bmp);
  RECT all{0, 0, width, height};
  FillRect(dc, &all, GetSysColorBrush(COLOR_MENU));
  DrawEdge(dc, &all, EDGE_RAISED, BF_RECT);
  SetBkMode(dc, TRANSPARENT);
  for (std::size_t i = 0; i < items.size(); ++i) {
    Item& it = items[i];
    it.rect.right = width - 3;
    bool selected = int(i) == highlighted;
    bool grayed = it.info.fState & MFS_GRAYED;
    if (it.info.fType & MFT_OWNERDRAW) {
      detail::DrawOwnerDrawnItem(dc, menu, it.info, owner, it.rect, selected);
      if (it.info.hSubMenu) {
        RECT a{it.rect.right - arrow, it.rect.top, it.rect.right, it.rect.bottom};
        SetTextColor(dc, GetSysColor(grayed ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
        DrawText(dc, "\xE2\x96\xB8", -1, &a, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      }
      continue;
    }
    if (it.info.fType & MFT_SEPARATOR) {
      RECT line{it.rect.left + 2, (it.rect.top + it.rect.bottom) / 2 - 1, it.rect.right - 2, 0};
      line.bottom = line.top + 2;
      DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
      continue;
    }
    if (selected) FillRect(dc, &it.rect, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(grayed ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    if (it.info.fState & MFS_CHECKED) {
      RECT mark{it.rect.left, it.rect.top, it.rect.left + check, it.rect.bottom};
      DrawText(dc, "\xE2\x9C\x93", -1, &mark, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    const detail::MenuTextParts label = detail::SplitMenuText(it.text);
    RECT text{it.rect.left + check, it.rect.top, it.rect.right - arrow, it.rect.bottom};
    DrawText(dc, label.left.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (!label.right.empty()) DrawText(dc, label.right.c_str(), -1, &text, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    if (it.info.hSubMenu) {
      RECT a{it.rect.right - arrow, it.rect.top, it.rect.right, it.rect.bottom};
      DrawText(dc, "\xE2\x96\xB8", -1, &a, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
  }
  image.width = width;
  image.height = height;
  image.pixels.resize(std::size_t(width) * std::size_t(height));
  for (int yy = 0; yy < height; ++yy)
    for (int xx = 0; xx < width; ++xx)
      image.pixels[std::size_t(yy) * std::size_t(width) + std::size_t(xx)] = detail::ToRgb(GetPixel(dc, xx, yy));
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBmp);
  DeleteObject(bmp);
  DeleteDC(dc);
  return image;
}

}  // namespace win
