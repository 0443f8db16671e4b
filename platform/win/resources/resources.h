// Resources: bitmaps, icons, cursors and menus registered in code (drawn with cairo) or read from a resource file.
// One table per process; ids are what the module's code asks for (the instance handle is not consulted).
#pragma once

#include <cairo.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win/winapi.h"

namespace win::res {

// Paints a picture of width x height pixels. Bitmaps start white; icons start transparent (ARGB).
using Painter = std::function<void(cairo_t* cr, int width, int height)>;

void RegisterBitmap(UINT id, int width, int height, Painter paint);
// Text of a painter: the family's face from its font file, as the window system's text takes it, so that painting a
// picture never calls on the system's font configuration (short of memory, a configuration rebuilt finds no font and
// is kept for every program).
void SelectFontFace(cairo_t* cr, const char* family, cairo_font_slant_t slant, cairo_font_weight_t weight);
// A PNG file as bitmap resource; false (and LastError) when it cannot be read.
bool RegisterBitmapFile(UINT id, const std::string& pngPath);
// Icons and cursors are painted at the size they are asked for (32 x 32 unless given).
void RegisterIcon(UINT id, Painter paint);
void RegisterCursor(UINT id, Painter paint, POINT hotspot);

struct MenuEntry {
  std::string text;  // empty with id 0: a separator
  UINT id = 0;
  UINT flags = 0;                // MF_GRAYED, MF_CHECKED, ...
  std::vector<MenuEntry> popup;  // not empty: a submenu
};
void RegisterMenu(UINT id, std::vector<MenuEntry> items);

bool HasBitmap(UINT id);
// The bitmap as PNG bytes (for documents that embed it); empty when there is none.
std::vector<unsigned char> BitmapPng(UINT id);

// Reads a resource file (XML: <resources> with <string id text>, <bitmap id file>, <menu id> of <item id text
// flags> and <popup text>). Relative bitmap files are found beside the resource file. False when the file cannot
// be read or holds a malformed entry; nothing of a failed file is registered.
bool LoadResourceFile(const std::string& path);
// The reason of the last failure of this interface.
std::string LastError();

// A new cursor painted from a registered cursor resource; nullptr when the id has none (the system's are used).
HICON PaintedCursor(UINT id);

// Forgets the resources registered since start-up (tests); the built-in ones stay.
void ResetForTests();
// Forgets every bitmap, icon and cursor drawn by code, keeping the built-in ones and those read from files: a
// module that is unloaded takes the code that draws its pictures with it. It registers them again when loaded.
void ForgetPainted();

}  // namespace win::res

// ---- Win32 resource calls that are not declared elsewhere ------------------------------------------------------
inline constexpr UINT LR_DEFAULTCOLOR = 0x0, LR_LOADFROMFILE = 0x10, LR_LOADTRANSPARENT = 0x20, LR_DEFAULTSIZE = 0x40,
                      LR_SHARED = 0x8000, LR_CREATEDIBSECTION = 0x2000, LR_LOADMAP3DCOLORS = 0x1000;
#define IDI_HAND MAKEINTRESOURCE(32513)
#define IDI_QUESTION MAKEINTRESOURCE(32514)
#define IDI_EXCLAMATION MAKEINTRESOURCE(32515)
#define IDI_ASTERISK MAKEINTRESOURCE(32516)
#define IDI_WARNING IDI_EXCLAMATION
#define IDI_ERROR IDI_HAND
#define IDI_INFORMATION IDI_ASTERISK
HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name);
HANDLE LoadImage(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags);
