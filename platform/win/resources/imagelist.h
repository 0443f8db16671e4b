// Image lists: equal-sized images with optional masks; drag images.
#pragma once

#include "platform/win/base/wintypes.h"
#include "platform/win/draw/gdi.h"

// ---- Image lists -------------------------------------------------------------------------------------------------
inline constexpr UINT ILC_MASK = 0x1, ILC_COLOR = 0x0, ILC_COLOR4 = 0x4, ILC_COLOR8 = 0x8, ILC_COLOR16 = 0x10,
                      ILC_COLOR24 = 0x18, ILC_COLOR32 = 0x20;
inline constexpr UINT ILD_NORMAL = 0x0, ILD_TRANSPARENT = 0x1, ILD_FOCUS = 0x2, ILD_SELECTED = 0x4, ILD_BLEND50 = 0x4,
                      ILD_MASK = 0x10;
struct IMAGEINFO {
  HBITMAP hbmImage;
  HBITMAP hbmMask;
  int Unused1;
  int Unused2;
  RECT rcImage;
};
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask);
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
int ImageList_AddIcon(HIMAGELIST list, HICON icon);
BOOL ImageList_Remove(HIMAGELIST list, int index);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
BOOL ImageList_GetImageInfo(HIMAGELIST list, int index, IMAGEINFO* info);
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags);
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST list);
// Drag images: one drag at a time; the image is shown over the locked window (screen coordinates relative to
// its window rectangle) until DragLeave; DragImageOf tells tests where it is.
BOOL ImageList_BeginDrag(HIMAGELIST list, int image, int hotspotX, int hotspotY);
void ImageList_EndDrag();
BOOL ImageList_DragEnter(HWND lock, int x, int y);
BOOL ImageList_DragMove(int x, int y);
BOOL ImageList_DragLeave(HWND lock);
BOOL ImageList_DragShowNolock(BOOL show);
HIMAGELIST ImageList_GetDragImage(POINT* position, POINT* hotspot);
HIMAGELIST ImageList_Duplicate(HIMAGELIST list);
