// Basic Windows-style types and constants as the module's code uses them.
#pragma once

#include <cstddef>
#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using DWORD_PTR = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using COLORREF = DWORD;
using TCHAR = char;
using LPSTR = char*;
using LPCSTR = const char*;
using LPTSTR = char*;
using LPCTSTR = const char*;
using LPVOID = void*;
using LPCVOID = const void*;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define _T(x) x
#define TEXT(x) x

// Window handles are small integers of the window system's handle table (0 = none).
struct HWND__;
using HWND = HWND__*;

constexpr DWORD MAKELONG(WORD lo, WORD hi) { return DWORD(lo) | (DWORD(hi) << 16); }
constexpr WORD LOWORD(DWORD_PTR v) { return WORD(v & 0xFFFF); }
constexpr WORD HIWORD(DWORD_PTR v) { return WORD((v >> 16) & 0xFFFF); }
constexpr BYTE GetRValue(COLORREF c) { return BYTE(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return BYTE((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return BYTE((c >> 16) & 0xFF); }
constexpr COLORREF RGB(int r, int g, int b) {
  return COLORREF(BYTE(r)) | (COLORREF(BYTE(g)) << 8) | (COLORREF(BYTE(b)) << 16);
}

// Message-box styles and answers.
enum : UINT {
  MB_OK = 0x0,
  MB_OKCANCEL = 0x1,
  MB_ABORTRETRYIGNORE = 0x2,
  MB_YESNOCANCEL = 0x3,
  MB_YESNO = 0x4,
  MB_RETRYCANCEL = 0x5,
  MB_TYPEMASK = 0xF,
  MB_ICONHAND = 0x10,
  MB_ICONERROR = 0x10,
  MB_ICONSTOP = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONEXCLAMATION = 0x30,
  MB_ICONWARNING = 0x30,
  MB_ICONASTERISK = 0x40,
  MB_ICONINFORMATION = 0x40,
  MB_ICONMASK = 0xF0,
  MB_DEFBUTTON1 = 0x000,
  MB_DEFBUTTON2 = 0x100,
  MB_DEFBUTTON3 = 0x200,
  MB_DEFMASK = 0xF00,
  MB_APPLMODAL = 0x0000,
  MB_SYSTEMMODAL = 0x1000,
  MB_TASKMODAL = 0x2000,
  MB_TOPMOST = 0x40000,
  MB_SETFOREGROUND = 0x10000
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

// Win32 error codes the stand-ins report.
enum : DWORD {
  ERROR_SUCCESS = 0,
  ERROR_FILE_NOT_FOUND = 2,
  ERROR_PATH_NOT_FOUND = 3,
  ERROR_ACCESS_DENIED = 5,
  ERROR_INVALID_HANDLE = 6,
  ERROR_NOT_ENOUGH_MEMORY = 8,
  ERROR_INVALID_DATA = 13,
  ERROR_WRITE_FAULT = 29,
  ERROR_READ_FAULT = 30,
  ERROR_INVALID_PARAMETER = 87,
  ERROR_INSUFFICIENT_BUFFER = 122,
  ERROR_MORE_DATA = 234,
  ERROR_NO_MORE_ITEMS = 259,
  ERROR_KEY_DELETED = 1018,
  ERROR_CANTOPEN = 1011,
  ERROR_CANTREAD = 1012,
  ERROR_CANTWRITE = 1013,
  ERROR_REGISTRY_IO_FAILED = 1016,
  ERROR_EXCEPTION_IN_SERVICE = 1064
};

// Show commands.
enum : int {
  SW_HIDE = 0,
  SW_SHOWNORMAL = 1,
  SW_NORMAL = 1,
  SW_SHOWMINIMIZED = 2,
  SW_SHOWMAXIMIZED = 3,
  SW_SHOW = 5,
  SW_MINIMIZE = 6,
  SW_SHOWNA = 8,
  SW_RESTORE = 9
};

constexpr int MAX_PATH = 260;

// ---- Window-system types ------------------------------------------------------------------------------------
// Every handle below is a number of the process-wide handle table cast to an opaque pointer type; the window
// system never hands out object addresses, so a stale handle is recognised instead of reaching freed memory.

using SHORT = std::int16_t;
using ULONG_PTR = std::uintptr_t;
using INT = int;
using PUINT = UINT*;
using LPINT = int*;
using LPBOOL = BOOL*;
using USHORT = std::uint16_t;
using CHAR = char;
using HANDLE = void*;
using HGDIOBJ = void*;
using HGLOBAL = void*;
using LPLONG = LONG*;
using ATOM = WORD;

#define KOLUMO_DECLARE_HANDLE(name) \
  struct name##__;                  \
  using name = name##__*
KOLUMO_DECLARE_HANDLE(HINSTANCE);
KOLUMO_DECLARE_HANDLE(HMENU);
KOLUMO_DECLARE_HANDLE(HDC);
KOLUMO_DECLARE_HANDLE(HPEN);
KOLUMO_DECLARE_HANDLE(HBRUSH);
KOLUMO_DECLARE_HANDLE(HFONT);
KOLUMO_DECLARE_HANDLE(HBITMAP);
KOLUMO_DECLARE_HANDLE(HRGN);
KOLUMO_DECLARE_HANDLE(HPALETTE);
KOLUMO_DECLARE_HANDLE(HICON);
KOLUMO_DECLARE_HANDLE(HMETAFILE);
KOLUMO_DECLARE_HANDLE(HENHMETAFILE);
KOLUMO_DECLARE_HANDLE(HTREEITEM);
KOLUMO_DECLARE_HANDLE(HIMAGELIST);
using HMODULE = HINSTANCE;
using HCURSOR = HICON;

struct POINT {
  LONG x;
  LONG y;
};
struct SIZE {
  LONG cx;
  LONG cy;
};
// Rectangles include their left and top edge and exclude their right and bottom edge.
struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};
using LPPOINT = POINT*;
using LPSIZE = SIZE*;
using LPRECT = RECT*;
using LPCRECT = const RECT*;
struct POINTS {
  SHORT x;
  SHORT y;
};

constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) { return WPARAM(MAKELONG(lo, hi)); }
constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) { return LPARAM(MAKELONG(lo, hi)); }
constexpr LRESULT MAKELRESULT(WORD lo, WORD hi) { return LRESULT(MAKELONG(lo, hi)); }
constexpr int GET_X_LPARAM(LPARAM lp) { return int(SHORT(LOWORD(DWORD_PTR(lp)))); }
constexpr int GET_Y_LPARAM(LPARAM lp) { return int(SHORT(HIWORD(DWORD_PTR(lp)))); }
inline LPCSTR MAKEINTRESOURCE(UINT id) { return reinterpret_cast<LPCSTR>(std::uintptr_t(WORD(id))); }
inline bool IS_INTRESOURCE(LPCSTR p) { return (reinterpret_cast<std::uintptr_t>(p) >> 16) == 0; }
