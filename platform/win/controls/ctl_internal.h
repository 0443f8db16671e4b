// Internals shared by the built-in controls.
#pragma once

#include <string>

#include "platform/win/window/internal.h"

namespace win::detail {

// Asks the parent for the control's colours (WM_CTLCOLOR*), falling back to the system's.
HBRUSH CtlColor(HWND ctrl, HDC dc, UINT msg);
bool IsHollow(HBRUSH brush);
// Handles WM_SETFONT/WM_GETFONT with a font kept by the control.
LRESULT FontMessages(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, HFONT& font, bool& handled);
// Selects the control's font (or the default GUI font) and returns the previous one.
HFONT UseFont(HDC dc, HFONT font);
void RegisterClassOf(const char* name, WNDPROC proc, UINT style, HBRUSH background);
void RegisterStaticControl();
void RegisterButtonControl();
void RegisterEditControl();
void RegisterListControls();
void RegisterListViewControl();
// The progress bar, spin, tab, tree and tooltip controls.
void RegisterCommonControls();
void RegisterProgressControl();
void RegisterSpinControl();
void RegisterTabControl();
void RegisterTreeControl();
void RegisterTooltipControl();
void RegisterScrollBarControl();
int FontHeight(HFONT font);
// Moves a list's first shown row by a WM_VSCROLL code (page: rows a page; bottom: the row SB_BOTTOM goes to, or
// negative where the control takes no SB_TOP/SB_BOTTOM). False for a code that moves nothing.
bool ScrollTop(int& top, WPARAM wParam, int page, int bottom = -1);

}  // namespace win::detail
