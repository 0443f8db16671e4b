// The window layer of the headless window system: windows and classes, messages, input, focus, timers, dialogs,
// controls, menus and the clipboard, with the Win32 names and values that the module's code uses.
#pragma once

#include "platform/win/gdi.h"
#include "platform/win/msgbox.h"
#include "platform/win/wintypes.h"

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);

// ---- Messages --------------------------------------------------------------------------------------------------
inline constexpr UINT WM_NULL = 0x0000, WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_MOVE = 0x0003, WM_SIZE = 0x0005,
                      WM_ACTIVATE = 0x0006, WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008, WM_ENABLE = 0x000A,
                      WM_SETREDRAW = 0x000B, WM_SETTEXT = 0x000C, WM_GETTEXT = 0x000D, WM_GETTEXTLENGTH = 0x000E,
                      WM_PAINT = 0x000F, WM_CLOSE = 0x0010, WM_QUIT = 0x0012, WM_ERASEBKGND = 0x0014,
                      WM_SYSCOLORCHANGE = 0x0015, WM_SHOWWINDOW = 0x0018, WM_CTLCOLOR = 0x0019,
                      WM_SETTINGCHANGE = 0x001A, WM_ACTIVATEAPP = 0x001C, WM_CANCELMODE = 0x001F, WM_SETCURSOR = 0x0020,
                      WM_MOUSEACTIVATE = 0x0021, WM_GETMINMAXINFO = 0x0024, WM_DRAWITEM = 0x002B,
                      WM_MEASUREITEM = 0x002C, WM_DELETEITEM = 0x002D, WM_SETFONT = 0x0030, WM_GETFONT = 0x0031,
                      WM_WINDOWPOSCHANGING = 0x0046, WM_WINDOWPOSCHANGED = 0x0047, WM_NOTIFY = 0x004E, WM_HELP = 0x0053,
                      WM_CONTEXTMENU = 0x007B, WM_STYLECHANGED = 0x007D, WM_NCCREATE = 0x0081, WM_NCDESTROY = 0x0082,
                      WM_NCCALCSIZE = 0x0083, WM_NCHITTEST = 0x0084, WM_NCPAINT = 0x0085, WM_GETDLGCODE = 0x0087,
                      WM_NCMOUSEMOVE = 0x00A0, WM_NCLBUTTONDOWN = 0x00A1, WM_NCLBUTTONUP = 0x00A2,
                      WM_NCLBUTTONDBLCLK = 0x00A3, WM_NCRBUTTONDOWN = 0x00A4, WM_NCRBUTTONUP = 0x00A5,
                      WM_NCMBUTTONDOWN = 0x00A7, WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_CHAR = 0x0102,
                      WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105, WM_SYSCHAR = 0x0106, WM_INITDIALOG = 0x0110,
                      WM_COMMAND = 0x0111, WM_SYSCOMMAND = 0x0112, WM_TIMER = 0x0113, WM_HSCROLL = 0x0114,
                      WM_VSCROLL = 0x0115, WM_INITMENU = 0x0116, WM_INITMENUPOPUP = 0x0117, WM_MENUSELECT = 0x011F,
                      WM_MENUCHAR = 0x0120, WM_ENTERIDLE = 0x0121, WM_CTLCOLORMSGBOX = 0x0132, WM_CTLCOLOREDIT = 0x0133,
                      WM_CTLCOLORLISTBOX = 0x0134, WM_CTLCOLORBTN = 0x0135, WM_CTLCOLORDLG = 0x0136,
                      WM_CTLCOLORSCROLLBAR = 0x0137, WM_CTLCOLORSTATIC = 0x0138, WM_MOUSEMOVE = 0x0200,
                      WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202, WM_LBUTTONDBLCLK = 0x0203,
                      WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205, WM_RBUTTONDBLCLK = 0x0206,
                      WM_MBUTTONDOWN = 0x0207, WM_MBUTTONUP = 0x0208, WM_MBUTTONDBLCLK = 0x0209, WM_MOUSEWHEEL = 0x020A,
                      WM_PARENTNOTIFY = 0x0210, WM_ENTERMENULOOP = 0x0211, WM_EXITMENULOOP = 0x0212,
                      WM_CAPTURECHANGED = 0x0215, WM_IME_CHAR = 0x0286, WM_MOUSEHOVER = 0x02A1, WM_MOUSELEAVE = 0x02A3,
                      WM_CUT = 0x0300, WM_COPY = 0x0301, WM_PASTE = 0x0302, WM_CLEAR = 0x0303, WM_UNDO = 0x0304,
                      WM_PRINT = 0x0317, WM_PRINTCLIENT = 0x0318, WM_IDLEUPDATECMDUI = 0x0363, WM_KICKIDLE = 0x036A,
                      WM_USER = 0x0400, WM_REFLECT_BASE = 0xBC00, WM_APP = 0x8000;
inline constexpr UINT CTLCOLOR_MSGBOX = 0, CTLCOLOR_EDIT = 1, CTLCOLOR_LISTBOX = 2, CTLCOLOR_BTN = 3, CTLCOLOR_DLG = 4,
                      CTLCOLOR_SCROLLBAR = 5, CTLCOLOR_STATIC = 6;
inline constexpr UINT SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2;
inline constexpr UINT WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2;
inline constexpr UINT PM_NOREMOVE = 0, PM_REMOVE = 1, PM_NOYIELD = 2;
inline constexpr UINT MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8, MK_MBUTTON = 0x10;
inline constexpr UINT SC_MOVE = 0xF010, SC_CLOSE = 0xF060;
inline constexpr int HTERROR = -2, HTTRANSPARENT = -1, HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2, HTSYSMENU = 3,
                     HTMENU = 5, HTHSCROLL = 6, HTVSCROLL = 7, HTLEFT = 10, HTRIGHT = 11, HTTOP = 12, HTTOPLEFT = 13,
                     HTTOPRIGHT = 14, HTBOTTOM = 15, HTBOTTOMLEFT = 16, HTBOTTOMRIGHT = 17, HTBORDER = 18, HTCLOSE = 20;

// ---- Keys ------------------------------------------------------------------------------------------------------
inline constexpr UINT VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_CANCEL = 0x03, VK_MBUTTON = 0x04, VK_BACK = 0x08,
                      VK_TAB = 0x09, VK_CLEAR = 0x0C, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
                      VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
                      VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26,
                      VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_SELECT = 0x29, VK_INSERT = 0x2D, VK_DELETE = 0x2E,
                      VK_HELP = 0x2F, VK_NUMPAD0 = 0x60, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SEPARATOR = 0x6C,
                      VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F, VK_F1 = 0x70, VK_F2 = 0x71, VK_F3 = 0x72,
                      VK_F4 = 0x73, VK_F5 = 0x74, VK_F6 = 0x75, VK_F7 = 0x76, VK_F8 = 0x77, VK_F9 = 0x78, VK_F10 = 0x79,
                      VK_F11 = 0x7A, VK_F12 = 0x7B, VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1, VK_LCONTROL = 0xA2,
                      VK_RCONTROL = 0xA3, VK_LMENU = 0xA4, VK_RMENU = 0xA5, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC,
                      VK_OEM_MINUS = 0xBD, VK_OEM_PERIOD = 0xBE;

// ---- Styles ----------------------------------------------------------------------------------------------------
inline constexpr DWORD WS_OVERLAPPED = 0x00000000, WS_POPUP = 0x80000000, WS_CHILD = 0x40000000,
                       WS_MINIMIZE = 0x20000000, WS_VISIBLE = 0x10000000, WS_DISABLED = 0x08000000,
                       WS_CLIPSIBLINGS = 0x04000000, WS_CLIPCHILDREN = 0x02000000, WS_MAXIMIZE = 0x01000000,
                       WS_CAPTION = 0x00C00000, WS_BORDER = 0x00800000, WS_DLGFRAME = 0x00400000,
                       WS_VSCROLL = 0x00200000, WS_HSCROLL = 0x00100000, WS_SYSMENU = 0x00080000,
                       WS_THICKFRAME = 0x00040000, WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000,
                       WS_MINIMIZEBOX = 0x00020000, WS_MAXIMIZEBOX = 0x00010000, WS_OVERLAPPEDWINDOW = 0x00CF0000,
                       WS_POPUPWINDOW = 0x80880000, WS_CHILDWINDOW = 0x40000000;
inline constexpr DWORD WS_EX_DLGMODALFRAME = 0x1, WS_EX_NOPARENTNOTIFY = 0x4, WS_EX_TOPMOST = 0x8,
                       WS_EX_ACCEPTFILES = 0x10, WS_EX_TRANSPARENT = 0x20, WS_EX_TOOLWINDOW = 0x80,
                       WS_EX_WINDOWEDGE = 0x100, WS_EX_CLIENTEDGE = 0x200, WS_EX_CONTEXTHELP = 0x400,
                       WS_EX_RIGHT = 0x1000, WS_EX_CONTROLPARENT = 0x10000, WS_EX_STATICEDGE = 0x20000,
                       WS_EX_APPWINDOW = 0x40000, WS_EX_NOACTIVATE = 0x08000000;
inline constexpr DWORD DS_ABSALIGN = 0x1, DS_SYSMODAL = 0x2, DS_3DLOOK = 0x4, DS_FIXEDSYS = 0x8, DS_SETFONT = 0x40,
                       DS_MODALFRAME = 0x80, DS_SETFOREGROUND = 0x200, DS_CONTROL = 0x400, DS_CENTER = 0x800,
                       DS_SHELLFONT = 0x48;
inline constexpr UINT CS_VREDRAW = 0x1, CS_HREDRAW = 0x2, CS_DBLCLKS = 0x8, CS_OWNDC = 0x20, CS_CLASSDC = 0x40,
                      CS_PARENTDC = 0x80, CS_SAVEBITS = 0x800, CS_GLOBALCLASS = 0x4000;
inline constexpr UINT SWP_NOSIZE = 0x1, SWP_NOMOVE = 0x2, SWP_NOZORDER = 0x4, SWP_NOREDRAW = 0x8, SWP_NOACTIVATE = 0x10,
                      SWP_FRAMECHANGED = 0x20, SWP_SHOWWINDOW = 0x40, SWP_HIDEWINDOW = 0x80, SWP_NOCOPYBITS = 0x100,
                      SWP_NOOWNERZORDER = 0x200;
inline constexpr int SW_SHOWNOACTIVATE = 4;
#define HWND_TOP (reinterpret_cast<HWND>(std::intptr_t(0)))
#define HWND_BOTTOM (reinterpret_cast<HWND>(std::intptr_t(1)))
#define HWND_TOPMOST (reinterpret_cast<HWND>(std::intptr_t(-1)))
#define HWND_NOTOPMOST (reinterpret_cast<HWND>(std::intptr_t(-2)))
inline constexpr UINT GW_HWNDFIRST = 0, GW_HWNDLAST = 1, GW_HWNDNEXT = 2, GW_HWNDPREV = 3, GW_OWNER = 4, GW_CHILD = 5;
inline constexpr UINT GA_PARENT = 1, GA_ROOT = 2, GA_ROOTOWNER = 3;
inline constexpr int GWLP_WNDPROC = -4, GWL_WNDPROC = -4, GWLP_HINSTANCE = -6, GWLP_HWNDPARENT = -8, GWLP_ID = -12,
                     GWL_ID = -12, GWL_STYLE = -16, GWL_EXSTYLE = -20, GWLP_USERDATA = -21, GWL_USERDATA = -21;
inline constexpr int DWLP_MSGRESULT = 0, DWL_MSGRESULT = 0, DWLP_DLGPROC = 8, DWLP_USER = 16;
inline constexpr UINT RDW_INVALIDATE = 0x1, RDW_INTERNALPAINT = 0x2, RDW_ERASE = 0x4, RDW_VALIDATE = 0x8,
                      RDW_NOINTERNALPAINT = 0x10, RDW_NOERASE = 0x20, RDW_NOCHILDREN = 0x40, RDW_ALLCHILDREN = 0x80,
                      RDW_UPDATENOW = 0x100, RDW_ERASENOW = 0x200, RDW_FRAME = 0x400, RDW_NOFRAME = 0x800;
inline constexpr UINT SW_SCROLLCHILDREN = 0x1, SW_INVALIDATE = 0x2, SW_ERASE = 0x4;

// Dialog keyboard interface.
inline constexpr UINT DLGC_WANTARROWS = 0x1, DLGC_WANTTAB = 0x2, DLGC_WANTALLKEYS = 0x4, DLGC_WANTMESSAGE = 0x4,
                      DLGC_HASSETSEL = 0x8, DLGC_DEFPUSHBUTTON = 0x10, DLGC_UNDEFPUSHBUTTON = 0x20,
                      DLGC_RADIOBUTTON = 0x40, DLGC_WANTCHARS = 0x80, DLGC_STATIC = 0x100, DLGC_BUTTON = 0x2000;
inline constexpr UINT DM_GETDEFID = WM_USER, DM_SETDEFID = WM_USER + 1, DC_HASDEFID = 0x534B;

// Static.
inline constexpr DWORD SS_LEFT = 0x0, SS_CENTER = 0x1, SS_RIGHT = 0x2, SS_ICON = 0x3, SS_BLACKRECT = 0x4,
                       SS_GRAYRECT = 0x5, SS_WHITERECT = 0x6, SS_BLACKFRAME = 0x7, SS_GRAYFRAME = 0x8,
                       SS_WHITEFRAME = 0x9, SS_SIMPLE = 0xB, SS_LEFTNOWORDWRAP = 0xC, SS_OWNERDRAW = 0xD,
                       SS_BITMAP = 0xE, SS_ETCHEDHORZ = 0x10, SS_ETCHEDVERT = 0x11, SS_ETCHEDFRAME = 0x12,
                       SS_TYPEMASK = 0x1F, SS_NOPREFIX = 0x80, SS_NOTIFY = 0x100, SS_CENTERIMAGE = 0x200,
                       SS_SUNKEN = 0x1000, SS_ENDELLIPSIS = 0x4000;
inline constexpr UINT STM_SETICON = 0x170, STM_GETICON = 0x171, STM_SETIMAGE = 0x172, STM_GETIMAGE = 0x173;
inline constexpr UINT STN_CLICKED = 0, STN_DBLCLK = 1;
inline constexpr UINT IMAGE_BITMAP = 0, IMAGE_ICON = 1, IMAGE_CURSOR = 2;

// Button.
inline constexpr DWORD BS_PUSHBUTTON = 0x0, BS_DEFPUSHBUTTON = 0x1, BS_CHECKBOX = 0x2, BS_AUTOCHECKBOX = 0x3,
                       BS_RADIOBUTTON = 0x4, BS_3STATE = 0x5, BS_AUTO3STATE = 0x6, BS_GROUPBOX = 0x7,
                       BS_USERBUTTON = 0x8, BS_AUTORADIOBUTTON = 0x9, BS_OWNERDRAW = 0xB, BS_TYPEMASK = 0xF,
                       BS_LEFTTEXT = 0x20, BS_ICON = 0x40, BS_BITMAP = 0x80, BS_LEFT = 0x100, BS_RIGHT = 0x200,
                       BS_CENTER = 0x300, BS_TOP = 0x400, BS_BOTTOM = 0x800, BS_VCENTER = 0xC00, BS_PUSHLIKE = 0x1000,
                       BS_MULTILINE = 0x2000, BS_NOTIFY = 0x4000, BS_FLAT = 0x8000;
inline constexpr UINT BN_CLICKED = 0, BN_PAINT = 1, BN_DBLCLK = 5, BN_DOUBLECLICKED = 5, BN_SETFOCUS = 6,
                      BN_KILLFOCUS = 7;
inline constexpr UINT BM_GETCHECK = 0xF0, BM_SETCHECK = 0xF1, BM_GETSTATE = 0xF2, BM_SETSTATE = 0xF3,
                      BM_SETSTYLE = 0xF4, BM_CLICK = 0xF5, BM_GETIMAGE = 0xF6, BM_SETIMAGE = 0xF7;
inline constexpr UINT BST_UNCHECKED = 0, BST_CHECKED = 1, BST_INDETERMINATE = 2, BST_PUSHED = 4, BST_FOCUS = 8;

// Edit.
inline constexpr DWORD ES_LEFT = 0x0, ES_CENTER = 0x1, ES_RIGHT = 0x2, ES_MULTILINE = 0x4, ES_UPPERCASE = 0x8,
                       ES_LOWERCASE = 0x10, ES_PASSWORD = 0x20, ES_AUTOVSCROLL = 0x40, ES_AUTOHSCROLL = 0x80,
                       ES_NOHIDESEL = 0x100, ES_READONLY = 0x800, ES_WANTRETURN = 0x1000, ES_NUMBER = 0x2000;
inline constexpr UINT EM_GETSEL = 0xB0, EM_SETSEL = 0xB1, EM_GETRECT = 0xB2, EM_SCROLL = 0xB5, EM_LINESCROLL = 0xB6,
                      EM_SCROLLCARET = 0xB7, EM_GETMODIFY = 0xB8, EM_SETMODIFY = 0xB9, EM_GETLINECOUNT = 0xBA,
                      EM_LINEINDEX = 0xBB, EM_LINELENGTH = 0xC1, EM_REPLACESEL = 0xC2, EM_GETLINE = 0xC4,
                      EM_LIMITTEXT = 0xC5, EM_SETLIMITTEXT = 0xC5, EM_CANUNDO = 0xC6, EM_UNDO = 0xC7,
                      EM_LINEFROMCHAR = 0xC9, EM_SETPASSWORDCHAR = 0xCC, EM_EMPTYUNDOBUFFER = 0xCD,
                      EM_GETFIRSTVISIBLELINE = 0xCE, EM_SETREADONLY = 0xCF, EM_SETMARGINS = 0xD3,
                      EM_GETLIMITTEXT = 0xD5, EM_POSFROMCHAR = 0xD6, EM_CHARFROMPOS = 0xD7;
inline constexpr UINT EN_SETFOCUS = 0x100, EN_KILLFOCUS = 0x200, EN_CHANGE = 0x300, EN_UPDATE = 0x400,
                      EN_ERRSPACE = 0x500, EN_MAXTEXT = 0x501, EN_HSCROLL = 0x601, EN_VSCROLL = 0x602;

// Combo box.
inline constexpr DWORD CBS_SIMPLE = 0x1, CBS_DROPDOWN = 0x2, CBS_DROPDOWNLIST = 0x3, CBS_OWNERDRAWFIXED = 0x10,
                       CBS_OWNERDRAWVARIABLE = 0x20, CBS_AUTOHSCROLL = 0x40, CBS_OEMCONVERT = 0x80, CBS_SORT = 0x100,
                       CBS_HASSTRINGS = 0x200, CBS_NOINTEGRALHEIGHT = 0x400, CBS_DISABLENOSCROLL = 0x800;
inline constexpr UINT CB_GETEDITSEL = 0x140, CB_LIMITTEXT = 0x141, CB_SETEDITSEL = 0x142, CB_ADDSTRING = 0x143,
                      CB_DELETESTRING = 0x144, CB_GETCOUNT = 0x146, CB_GETCURSEL = 0x147, CB_GETLBTEXT = 0x148,
                      CB_GETLBTEXTLEN = 0x149, CB_INSERTSTRING = 0x14A, CB_RESETCONTENT = 0x14B, CB_FINDSTRING = 0x14C,
                      CB_SELECTSTRING = 0x14D, CB_SETCURSEL = 0x14E, CB_SHOWDROPDOWN = 0x14F, CB_GETITEMDATA = 0x150,
                      CB_SETITEMDATA = 0x151, CB_GETDROPPEDCONTROLRECT = 0x152, CB_SETITEMHEIGHT = 0x153,
                      CB_GETITEMHEIGHT = 0x154, CB_GETDROPPEDSTATE = 0x157, CB_FINDSTRINGEXACT = 0x158,
                      CB_GETTOPINDEX = 0x15B, CB_SETTOPINDEX = 0x15C, CB_GETHORIZONTALEXTENT = 0x15D,
                      CB_SETHORIZONTALEXTENT = 0x15E, CB_GETDROPPEDWIDTH = 0x15F, CB_SETDROPPEDWIDTH = 0x160;
inline constexpr int CB_OKAY = 0, CB_ERR = -1, CB_ERRSPACE = -2;
inline constexpr UINT CBN_SELCHANGE = 1, CBN_DBLCLK = 2, CBN_SETFOCUS = 3, CBN_KILLFOCUS = 4, CBN_EDITCHANGE = 5,
                      CBN_EDITUPDATE = 6, CBN_DROPDOWN = 7, CBN_CLOSEUP = 8, CBN_SELENDOK = 9, CBN_SELENDCANCEL = 10;
constexpr int kComboEditId = 1001;

// List box.
inline constexpr DWORD LBS_NOTIFY = 0x1, LBS_SORT = 0x2, LBS_NOREDRAW = 0x4, LBS_MULTIPLESEL = 0x8,
                       LBS_OWNERDRAWFIXED = 0x10, LBS_HASSTRINGS = 0x40, LBS_USETABSTOPS = 0x80,
                       LBS_NOINTEGRALHEIGHT = 0x100, LBS_WANTKEYBOARDINPUT = 0x400, LBS_EXTENDEDSEL = 0x800,
                       LBS_DISABLENOSCROLL = 0x1000, LBS_NOSEL = 0x4000, LBS_STANDARD = 0x00A00003;
inline constexpr UINT LB_ADDSTRING = 0x180, LB_INSERTSTRING = 0x181, LB_DELETESTRING = 0x182, LB_RESETCONTENT = 0x184,
                      LB_SETSEL = 0x185, LB_SETCURSEL = 0x186, LB_GETSEL = 0x187, LB_GETCURSEL = 0x188,
                      LB_GETTEXT = 0x189, LB_GETTEXTLEN = 0x18A, LB_GETCOUNT = 0x18B, LB_SELECTSTRING = 0x18C,
                      LB_GETTOPINDEX = 0x18E, LB_FINDSTRING = 0x18F, LB_GETSELCOUNT = 0x190, LB_GETSELITEMS = 0x191,
                      LB_SETTOPINDEX = 0x197, LB_GETITEMRECT = 0x198, LB_GETITEMDATA = 0x199, LB_SETITEMDATA = 0x19A,
                      LB_SETCARETINDEX = 0x19E, LB_GETCARETINDEX = 0x19F, LB_SETITEMHEIGHT = 0x1A0,
                      LB_GETITEMHEIGHT = 0x1A1, LB_FINDSTRINGEXACT = 0x1A2, LB_ITEMFROMPOINT = 0x1A9;
inline constexpr int LB_OKAY = 0, LB_ERR = -1, LB_ERRSPACE = -2;
inline constexpr UINT LBN_ERRSPACE = UINT(-2), LBN_SELCHANGE = 1, LBN_DBLCLK = 2, LBN_SELCANCEL = 3, LBN_SETFOCUS = 4,
                      LBN_KILLFOCUS = 5;

// Scroll bars.
inline constexpr int SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3;
inline constexpr UINT SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2, SB_PAGELEFT = 2,
                      SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5, SB_TOP = 6,
                      SB_LEFT = 6, SB_BOTTOM = 7, SB_RIGHT = 7, SB_ENDSCROLL = 8;
inline constexpr UINT SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_DISABLENOSCROLL = 0x8, SIF_TRACKPOS = 0x10,
                      SIF_ALL = 0x17;
// Scroll-bar controls.
inline constexpr DWORD SBS_HORZ = 0x0, SBS_VERT = 0x1;
inline constexpr UINT SBM_SETPOS = 0xE0, SBM_GETPOS = 0xE1, SBM_SETRANGE = 0xE2, SBM_GETRANGE = 0xE3,
                      SBM_SETRANGEREDRAW = 0xE6, SBM_SETSCROLLINFO = 0xE9, SBM_GETSCROLLINFO = 0xEA;
inline constexpr UINT ESB_ENABLE_BOTH = 0, ESB_DISABLE_LTUP = 1, ESB_DISABLE_RTDN = 2, ESB_DISABLE_BOTH = 3;

// Menus.
inline constexpr UINT MF_INSERT = 0x0, MF_CHANGE = 0x80, MF_APPEND = 0x100, MF_DELETE = 0x200, MF_REMOVE = 0x1000,
                      MF_BYCOMMAND = 0x0, MF_BYPOSITION = 0x400, MF_SEPARATOR = 0x800, MF_ENABLED = 0x0,
                      MF_GRAYED = 0x1, MF_DISABLED = 0x2, MF_UNCHECKED = 0x0, MF_CHECKED = 0x8,
                      MF_USECHECKBITMAPS = 0x200, MF_STRING = 0x0, MF_BITMAP = 0x4, MF_OWNERDRAW = 0x100,
                      MF_POPUP = 0x10, MF_MENUBARBREAK = 0x20, MF_MENUBREAK = 0x40, MF_UNHILITE = 0x0, MF_HILITE = 0x80,
                      MF_DEFAULT = 0x1000, MF_RIGHTJUSTIFY = 0x4000, MF_END = 0x80;
inline constexpr UINT MFT_STRING = 0x0, MFT_BITMAP = 0x4, MFT_MENUBARBREAK = 0x20, MFT_MENUBREAK = 0x40,
                      MFT_OWNERDRAW = 0x100, MFT_RADIOCHECK = 0x200, MFT_SEPARATOR = 0x800;
inline constexpr UINT MFS_ENABLED = 0x0, MFS_GRAYED = 0x3, MFS_DISABLED = 0x3, MFS_UNCHECKED = 0x0, MFS_CHECKED = 0x8,
                      MFS_HILITE = 0x80, MFS_DEFAULT = 0x1000;
inline constexpr UINT MIIM_STATE = 0x1, MIIM_ID = 0x2, MIIM_SUBMENU = 0x4, MIIM_CHECKMARKS = 0x8, MIIM_TYPE = 0x10,
                      MIIM_DATA = 0x20, MIIM_STRING = 0x40, MIIM_BITMAP = 0x80, MIIM_FTYPE = 0x100;
inline constexpr UINT TPM_LEFTBUTTON = 0x0, TPM_RIGHTBUTTON = 0x2, TPM_LEFTALIGN = 0x0, TPM_CENTERALIGN = 0x4,
                      TPM_RIGHTALIGN = 0x8, TPM_TOPALIGN = 0x0, TPM_VCENTERALIGN = 0x10, TPM_BOTTOMALIGN = 0x20,
                      TPM_NONOTIFY = 0x80, TPM_RETURNCMD = 0x100;
inline constexpr UINT MNC_IGNORE = 0, MNC_CLOSE = 1, MNC_EXECUTE = 2, MNC_SELECT = 3;

// Owner draw.
inline constexpr UINT ODT_MENU = 1, ODT_LISTBOX = 2, ODT_COMBOBOX = 3, ODT_BUTTON = 4, ODT_STATIC = 5;
inline constexpr UINT ODA_DRAWENTIRE = 1, ODA_SELECT = 2, ODA_FOCUS = 4;
inline constexpr UINT ODS_SELECTED = 0x1, ODS_GRAYED = 0x2, ODS_DISABLED = 0x4, ODS_CHECKED = 0x8, ODS_FOCUS = 0x10,
                      ODS_DEFAULT = 0x20, ODS_HOTLIGHT = 0x40, ODS_INACTIVE = 0x80, ODS_NOACCEL = 0x100,
                      ODS_NOFOCUSRECT = 0x200;

// Common-control notifications.
inline constexpr UINT NM_FIRST = 0, NM_OUTOFMEMORY = UINT(-1), NM_CLICK = UINT(-2), NM_DBLCLK = UINT(-3),
                      NM_RETURN = UINT(-4), NM_RCLICK = UINT(-5), NM_RDBLCLK = UINT(-6), NM_SETFOCUS = UINT(-7),
                      NM_KILLFOCUS = UINT(-8), NM_CUSTOMDRAW = UINT(-12), LVN_FIRST = UINT(-100),
                      LVN_BEGINLABELEDIT = UINT(-105), LVN_ENDLABELEDIT = UINT(-106);
inline constexpr UINT LVIF_TEXT = 0x1, LVIF_IMAGE = 0x2, LVIF_PARAM = 0x4, LVIF_STATE = 0x8;

// List view (report view with a header of columns; the other views draw as one column).
inline constexpr const char* WC_LISTVIEW = "SysListView32";
inline constexpr UINT LVM_FIRST = 0x1000, LVM_GETIMAGELIST = 0x1002, LVM_SETIMAGELIST = 0x1003,
                      LVM_GETITEMCOUNT = 0x1004, LVM_GETITEM = 0x1005, LVM_SETITEM = 0x1006, LVM_INSERTITEM = 0x1007,
                      LVM_DELETEITEM = 0x1008, LVM_DELETEALLITEMS = 0x1009, LVM_GETNEXTITEM = 0x100C,
                      LVM_FINDITEM = 0x100D, LVM_GETITEMRECT = 0x100E, LVM_HITTEST = 0x1012, LVM_ENSUREVISIBLE = 0x1013,
                      LVM_GETCOLUMN = 0x1019, LVM_SETCOLUMN = 0x101A, LVM_INSERTCOLUMN = 0x101B,
                      LVM_DELETECOLUMN = 0x101C, LVM_GETCOLUMNWIDTH = 0x101D, LVM_SETCOLUMNWIDTH = 0x101E,
                      LVM_GETTOPINDEX = 0x1027, LVM_GETCOUNTPERPAGE = 0x1028, LVM_SETITEMSTATE = 0x102B,
                      LVM_GETITEMSTATE = 0x102C, LVM_GETITEMTEXT = 0x102D, LVM_SETITEMTEXT = 0x102E,
                      LVM_GETSELECTEDCOUNT = 0x1032, LVM_SETEXTENDEDLISTVIEWSTYLE = 0x1036,
                      LVM_GETEXTENDEDLISTVIEWSTYLE = 0x1037, LVM_SUBITEMHITTEST = 0x1039;
inline constexpr UINT LVN_ITEMCHANGING = UINT(-100), LVN_ITEMCHANGED = UINT(-101), LVN_INSERTITEM = UINT(-102),
                      LVN_DELETEITEM = UINT(-103), LVN_DELETEALLITEMS = UINT(-104), LVN_COLUMNCLICK = UINT(-108),
                      LVN_KEYDOWN = UINT(-155);
inline constexpr DWORD LVS_ICON = 0x0, LVS_REPORT = 0x1, LVS_SMALLICON = 0x2, LVS_LIST = 0x3, LVS_TYPEMASK = 0x3,
                       LVS_SINGLESEL = 0x4, LVS_SHOWSELALWAYS = 0x8, LVS_SORTASCENDING = 0x10,
                       LVS_NOCOLUMNHEADER = 0x4000, LVS_NOSORTHEADER = 0x8000;
inline constexpr DWORD LVS_EX_GRIDLINES = 0x1, LVS_EX_FULLROWSELECT = 0x20;
inline constexpr UINT LVIS_FOCUSED = 0x1, LVIS_SELECTED = 0x2;
inline constexpr UINT LVNI_ALL = 0x0, LVNI_FOCUSED = 0x1, LVNI_SELECTED = 0x2, LVNI_ABOVE = 0x100, LVNI_BELOW = 0x200;
inline constexpr int LVSIL_NORMAL = 0, LVSIL_SMALL = 1, LVSIL_STATE = 2;
inline constexpr UINT LVCF_FMT = 0x1, LVCF_WIDTH = 0x2, LVCF_TEXT = 0x4, LVCF_SUBITEM = 0x8;
inline constexpr int LVCFMT_LEFT = 0, LVCFMT_RIGHT = 1, LVCFMT_CENTER = 2;
inline constexpr UINT LVHT_NOWHERE = 0x1, LVHT_ONITEMICON = 0x2, LVHT_ONITEMLABEL = 0x4, LVHT_ONITEM = 0x6,
                      LVHT_ABOVE = 0x8, LVHT_BELOW = 0x10;
inline constexpr int LVIR_BOUNDS = 0, LVIR_ICON = 1, LVIR_LABEL = 2;
inline constexpr UINT LVFI_PARAM = 0x1, LVFI_STRING = 0x2, LVFI_PARTIAL = 0x8;

// Tab control.
inline constexpr UINT TCM_FIRST = 0x1300, TCM_GETIMAGELIST = 0x1302, TCM_SETIMAGELIST = 0x1303,
                      TCM_GETITEMCOUNT = 0x1304, TCM_GETITEM = 0x1305, TCM_SETITEM = 0x1306, TCM_INSERTITEM = 0x1307,
                      TCM_DELETEITEM = 0x1308, TCM_DELETEALLITEMS = 0x1309, TCM_GETITEMRECT = 0x130A,
                      TCM_GETCURSEL = 0x130B, TCM_SETCURSEL = 0x130C, TCM_HITTEST = 0x130D, TCM_SETITEMEXTRA = 0x130E,
                      TCM_ADJUSTRECT = 0x1328, TCM_SETITEMSIZE = 0x1329, TCM_SETPADDING = 0x132B,
                      TCM_GETROWCOUNT = 0x132C, TCM_GETCURFOCUS = 0x132F, TCM_SETCURFOCUS = 0x1330;
inline constexpr UINT TCN_KEYDOWN = UINT(-550), TCN_SELCHANGE = UINT(-551), TCN_SELCHANGING = UINT(-552);
inline constexpr UINT TCIF_TEXT = 0x1, TCIF_IMAGE = 0x2, TCIF_RTLREADING = 0x4, TCIF_PARAM = 0x8, TCIF_STATE = 0x10;
inline constexpr UINT TCHT_NOWHERE = 0x1, TCHT_ONITEMICON = 0x2, TCHT_ONITEMLABEL = 0x4, TCHT_ONITEM = 0x6;
inline constexpr DWORD TCS_TABS = 0x0, TCS_BOTTOM = 0x2, TCS_BUTTONS = 0x100, TCS_MULTILINE = 0x200,
                       TCS_FIXEDWIDTH = 0x400, TCS_FOCUSNEVER = 0x8000;

// Progress bar.
inline constexpr UINT PBM_SETRANGE = WM_USER + 1, PBM_SETPOS = WM_USER + 2, PBM_DELTAPOS = WM_USER + 3,
                      PBM_SETSTEP = WM_USER + 4, PBM_STEPIT = WM_USER + 5, PBM_SETRANGE32 = WM_USER + 6,
                      PBM_GETRANGE = WM_USER + 7, PBM_GETPOS = WM_USER + 8, PBM_SETBARCOLOR = WM_USER + 9,
                      PBM_SETBKCOLOR = 0x2001;
inline constexpr DWORD PBS_SMOOTH = 0x1, PBS_VERTICAL = 0x4;

// Up-down (spin).
inline constexpr UINT UDM_SETRANGE = WM_USER + 101, UDM_GETRANGE = WM_USER + 102, UDM_SETPOS = WM_USER + 103,
                      UDM_GETPOS = WM_USER + 104, UDM_SETBUDDY = WM_USER + 105, UDM_GETBUDDY = WM_USER + 106,
                      UDM_SETACCEL = WM_USER + 107, UDM_GETACCEL = WM_USER + 108, UDM_SETBASE = WM_USER + 109,
                      UDM_GETBASE = WM_USER + 110, UDM_SETRANGE32 = WM_USER + 111, UDM_GETRANGE32 = WM_USER + 112,
                      UDM_SETPOS32 = WM_USER + 113, UDM_GETPOS32 = WM_USER + 114;
inline constexpr DWORD UDS_WRAP = 0x1, UDS_SETBUDDYINT = 0x2, UDS_ALIGNRIGHT = 0x4, UDS_ALIGNLEFT = 0x8,
                       UDS_AUTOBUDDY = 0x10, UDS_ARROWKEYS = 0x20, UDS_HORZ = 0x40, UDS_NOTHOUSANDS = 0x80;
inline constexpr UINT UDN_DELTAPOS = UINT(-722);
inline constexpr int UD_MAXVAL = 0x7fff, UD_MINVAL = -0x7fff;

// Tree view.
inline constexpr UINT TVM_INSERTITEM = 0x1100, TVM_DELETEITEM = 0x1101, TVM_EXPAND = 0x1102, TVM_GETITEMRECT = 0x1104,
                      TVM_GETCOUNT = 0x1105, TVM_GETINDENT = 0x1106, TVM_SETINDENT = 0x1107, TVM_GETNEXTITEM = 0x110A,
                      TVM_SELECTITEM = 0x110B, TVM_GETITEM = 0x110C, TVM_SETITEM = 0x110D, TVM_GETVISIBLECOUNT = 0x1110,
                      TVM_HITTEST = 0x1111, TVM_SORTCHILDREN = 0x1113, TVM_ENSUREVISIBLE = 0x1114,
                      TVM_SETITEMHEIGHT = 0x111B, TVM_GETITEMHEIGHT = 0x111C, TVM_GETITEMSTATE = 0x1127;
// Tree-view image lists.
inline constexpr UINT TVM_GETIMAGELIST = 0x1108, TVM_SETIMAGELIST = 0x1109, TVSIL_NORMAL = 0, TVSIL_STATE = 2;
inline constexpr UINT TVN_SELCHANGING = UINT(-401), TVN_SELCHANGED = UINT(-402), TVN_GETDISPINFO = UINT(-403),
                      TVN_ITEMEXPANDING = UINT(-405), TVN_ITEMEXPANDED = UINT(-406), TVN_DELETEITEM = UINT(-409),
                      TVN_KEYDOWN = UINT(-412);
inline constexpr UINT TVIF_TEXT = 0x1, TVIF_IMAGE = 0x2, TVIF_PARAM = 0x4, TVIF_STATE = 0x8, TVIF_HANDLE = 0x10,
                      TVIF_SELECTEDIMAGE = 0x20, TVIF_CHILDREN = 0x40;
inline constexpr UINT TVIS_SELECTED = 0x2, TVIS_CUT = 0x4, TVIS_DROPHILITED = 0x8, TVIS_BOLD = 0x10,
                      TVIS_EXPANDED = 0x20, TVIS_EXPANDEDONCE = 0x40, TVIS_STATEIMAGEMASK = 0xF000;
inline constexpr UINT TVE_COLLAPSE = 0x1, TVE_EXPAND = 0x2, TVE_TOGGLE = 0x3;
inline constexpr UINT TVGN_ROOT = 0x0, TVGN_NEXT = 0x1, TVGN_PREVIOUS = 0x2, TVGN_PARENT = 0x3, TVGN_CHILD = 0x4,
                      TVGN_FIRSTVISIBLE = 0x5, TVGN_NEXTVISIBLE = 0x6, TVGN_PREVIOUSVISIBLE = 0x7,
                      TVGN_DROPHILITE = 0x8, TVGN_CARET = 0x9, TVGN_LASTVISIBLE = 0xA;
inline constexpr UINT TVC_UNKNOWN = 0, TVC_BYMOUSE = 1, TVC_BYKEYBOARD = 2;
inline constexpr DWORD TVS_HASBUTTONS = 0x1, TVS_HASLINES = 0x2, TVS_LINESATROOT = 0x4, TVS_EDITLABELS = 0x8,
                       TVS_SHOWSELALWAYS = 0x20, TVS_CHECKBOXES = 0x100, TVS_FULLROWSELECT = 0x1000;
inline constexpr UINT TVHT_NOWHERE = 0x1, TVHT_ONITEMICON = 0x2, TVHT_ONITEMLABEL = 0x4, TVHT_ONITEMINDENT = 0x8,
                      TVHT_ONITEMBUTTON = 0x10, TVHT_ONITEMRIGHT = 0x20, TVHT_ONITEM = 0x46;
#define TVI_ROOT (reinterpret_cast<HTREEITEM>(-std::intptr_t(0x10000)))
#define TVI_FIRST (reinterpret_cast<HTREEITEM>(-std::intptr_t(0x0FFFF)))
#define TVI_LAST (reinterpret_cast<HTREEITEM>(-std::intptr_t(0x0FFFE)))
#define TVI_SORT (reinterpret_cast<HTREEITEM>(-std::intptr_t(0x0FFFD)))

// Tooltip.
inline constexpr UINT TTM_ACTIVATE = WM_USER + 1, TTM_SETDELAYTIME = WM_USER + 3, TTM_ADDTOOL = WM_USER + 4,
                      TTM_DELTOOL = WM_USER + 5, TTM_NEWTOOLRECT = WM_USER + 6, TTM_RELAYEVENT = WM_USER + 7,
                      TTM_GETTOOLINFO = WM_USER + 8, TTM_SETTOOLINFO = WM_USER + 9, TTM_HITTEST = WM_USER + 10,
                      TTM_GETTEXT = WM_USER + 11, TTM_UPDATETIPTEXT = WM_USER + 12, TTM_GETTOOLCOUNT = WM_USER + 13,
                      TTM_SETTIPBKCOLOR = WM_USER + 19, TTM_SETTIPTEXTCOLOR = WM_USER + 20,
                      TTM_GETDELAYTIME = WM_USER + 21, TTM_SETMAXTIPWIDTH = WM_USER + 24,
                      TTM_GETMAXTIPWIDTH = WM_USER + 25, TTM_POP = WM_USER + 28, TTM_UPDATE = WM_USER + 29;
inline constexpr UINT TTF_IDISHWND = 0x1, TTF_CENTERTIP = 0x2, TTF_SUBCLASS = 0x10, TTF_TRACK = 0x20,
                      TTF_ABSOLUTE = 0x80, TTF_TRANSPARENT = 0x100;
inline constexpr UINT TTDT_AUTOMATIC = 0, TTDT_RESHOW = 1, TTDT_AUTOPOP = 2, TTDT_INITIAL = 3;
inline constexpr DWORD TTS_ALWAYSTIP = 0x1, TTS_NOPREFIX = 0x2;
inline constexpr UINT TTN_GETDISPINFO = UINT(-520), TTN_SHOW = UINT(-521), TTN_POP = UINT(-522),
                      TTN_NEEDTEXT = UINT(-520);
#define LPSTR_TEXTCALLBACK (reinterpret_cast<LPSTR>(std::intptr_t(-1)))

// Mouse tracking.
inline constexpr DWORD TME_HOVER = 0x1, TME_LEAVE = 0x2, TME_CANCEL = 0x80000000;
inline constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;

// System metrics, colours and parameters.
inline constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CYCAPTION = 4,
                     SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDLGFRAME = 7, SM_CYDLGFRAME = 8, SM_CYVTHUMB = 9,
                     SM_CXHTHUMB = 10, SM_CXICON = 11, SM_CYICON = 12, SM_CXCURSOR = 13, SM_CYCURSOR = 14,
                     SM_CYMENU = 15, SM_CYVSCROLL = 20, SM_CXHSCROLL = 21, SM_CXFRAME = 32, SM_CYFRAME = 33,
                     SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37, SM_CXEDGE = 45, SM_CYEDGE = 46, SM_CXSMICON = 49,
                     SM_CYSMICON = 50, SM_CXDRAG = 68, SM_CYDRAG = 69, SM_CXMENUCHECK = 71, SM_CYMENUCHECK = 72;
inline constexpr int COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_DESKTOP = 1, COLOR_ACTIVECAPTION = 2,
                     COLOR_INACTIVECAPTION = 3, COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6,
                     COLOR_MENUTEXT = 7, COLOR_WINDOWTEXT = 8, COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10,
                     COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12, COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14,
                     COLOR_BTNFACE = 15, COLOR_3DFACE = 15, COLOR_BTNSHADOW = 16, COLOR_3DSHADOW = 16,
                     COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20,
                     COLOR_BTNHILIGHT = 20, COLOR_3DHIGHLIGHT = 20, COLOR_3DHILIGHT = 20, COLOR_3DDKSHADOW = 21,
                     COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24, COLOR_HOTLIGHT = 26,
                     COLOR_GRADIENTACTIVECAPTION = 27, COLOR_GRADIENTINACTIVECAPTION = 28, COLOR_MENUHILIGHT = 29,
                     COLOR_MENUBAR = 30;
inline constexpr UINT SPI_GETNONCLIENTMETRICS = 0x29, SPI_GETWORKAREA = 0x30, SPI_GETWHEELSCROLLLINES = 0x68;
constexpr int WHEEL_DELTA = 120;

// Cursors and icons by resource id.
#define IDC_ARROW MAKEINTRESOURCE(32512)
#define IDC_IBEAM MAKEINTRESOURCE(32513)
#define IDC_WAIT MAKEINTRESOURCE(32514)
#define IDC_CROSS MAKEINTRESOURCE(32515)
#define IDC_SIZENWSE MAKEINTRESOURCE(32642)
#define IDC_SIZENESW MAKEINTRESOURCE(32643)
#define IDC_SIZEWE MAKEINTRESOURCE(32644)
#define IDC_SIZENS MAKEINTRESOURCE(32645)
#define IDC_SIZEALL MAKEINTRESOURCE(32646)
#define IDC_NO MAKEINTRESOURCE(32648)
#define IDC_HAND MAKEINTRESOURCE(32649)
#define IDI_APPLICATION MAKEINTRESOURCE(32512)

// Clipboard.
inline constexpr UINT CF_TEXT = 1, CF_BITMAP = 2, CF_UNICODETEXT = 13;
inline constexpr UINT GMEM_FIXED = 0x0, GMEM_MOVEABLE = 0x2, GMEM_ZEROINIT = 0x40, GMEM_SHARE = 0x2000,
                      GMEM_DDESHARE = 0x2000, GHND = 0x42, GPTR = 0x40;

// ---- Records ---------------------------------------------------------------------------------------------------
struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};
using LPMSG = MSG*;

// F1 pressed: the window with the focus is asked for help (WM_HELP), which passes up to whoever answers.
inline constexpr UINT WM_KEYF1 = 0x004D;
inline constexpr int HELPINFO_WINDOW = 0x0001, HELPINFO_MENUITEM = 0x0002;
struct HELPINFO {
  UINT cbSize;
  int iContextType;
  int iCtrlId;
  HANDLE hItemHandle;  // the window the request came from
  DWORD_PTR dwContextId;
  POINT MousePos;
};
using LPHELPINFO = HELPINFO*;

struct CREATESTRUCT {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCSTR lpszName;
  LPCSTR lpszClass;
  DWORD dwExStyle;
};
using LPCREATESTRUCT = CREATESTRUCT*;

struct WNDCLASS {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
};
struct WNDCLASSEX {
  UINT cbSize;
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
  HICON hIconSm;
};

struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
  BOOL fRestore;
  BOOL fIncUpdate;
  BYTE rgbReserved[32];
};
using LPPAINTSTRUCT = PAINTSTRUCT*;

struct WINDOWPOS {
  HWND hwnd;
  HWND hwndInsertAfter;
  int x;
  int y;
  int cx;
  int cy;
  UINT flags;
};

struct MINMAXINFO {
  POINT ptReserved;
  POINT ptMaxSize;
  POINT ptMaxPosition;
  POINT ptMinTrackSize;
  POINT ptMaxTrackSize;
};

struct NMHDR {
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
};
using LPNMHDR = NMHDR*;

struct DRAWITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  UINT itemAction;
  UINT itemState;
  HWND hwndItem;
  HDC hDC;
  RECT rcItem;
  ULONG_PTR itemData;
};
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;

struct MEASUREITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  UINT itemWidth;
  UINT itemHeight;
  ULONG_PTR itemData;
};
using LPMEASUREITEMSTRUCT = MEASUREITEMSTRUCT*;

struct SCROLLINFO {
  UINT cbSize;
  UINT fMask;
  int nMin;
  int nMax;
  UINT nPage;
  int nPos;
  int nTrackPos;
};
using LPSCROLLINFO = SCROLLINFO*;

struct TRACKMOUSEEVENT {
  DWORD cbSize;
  DWORD dwFlags;
  HWND hwndTrack;
  DWORD dwHoverTime;
};

struct NONCLIENTMETRICS {
  UINT cbSize;
  int iBorderWidth;
  int iScrollWidth;
  int iScrollHeight;
  int iCaptionWidth;
  int iCaptionHeight;
  LOGFONT lfCaptionFont;
  int iSmCaptionWidth;
  int iSmCaptionHeight;
  LOGFONT lfSmCaptionFont;
  int iMenuWidth;
  int iMenuHeight;
  LOGFONT lfMenuFont;
  LOGFONT lfStatusFont;
  LOGFONT lfMessageFont;
};

struct MENUITEMINFO {
  UINT cbSize;
  UINT fMask;
  UINT fType;
  UINT fState;
  UINT wID;
  HMENU hSubMenu;
  HBITMAP hbmpChecked;
  HBITMAP hbmpUnchecked;
  ULONG_PTR dwItemData;
  LPSTR dwTypeData;
  UINT cch;
  HBITMAP hbmpItem;
};
using LPMENUITEMINFO = MENUITEMINFO*;

struct TCITEM {
  UINT mask;
  DWORD dwState;
  DWORD dwStateMask;
  LPSTR pszText;
  int cchTextMax;
  int iImage;
  LPARAM lParam;
};
struct TCHITTESTINFO {
  POINT pt;
  UINT flags;
};

struct TVITEM {
  UINT mask;
  HTREEITEM hItem;
  UINT state;
  UINT stateMask;
  LPSTR pszText;
  int cchTextMax;
  int iImage;
  int iSelectedImage;
  int cChildren;
  LPARAM lParam;
};
struct TVINSERTSTRUCT {
  HTREEITEM hParent;
  HTREEITEM hInsertAfter;
  TVITEM item;
};
struct NMTREEVIEW {
  NMHDR hdr;
  UINT action;
  TVITEM itemOld;
  TVITEM itemNew;
  POINT ptDrag;
};
struct LVITEM {
  UINT mask;
  int iItem;
  int iSubItem;
  UINT state;
  UINT stateMask;
  LPSTR pszText;
  int cchTextMax;
  int iImage;
  LPARAM lParam;
  int iIndent;
};
struct LVCOLUMN {
  UINT mask;
  int fmt;
  int cx;
  LPSTR pszText;
  int cchTextMax;
  int iSubItem;
};
// LVN_ITEMCHANGING/-CHANGED, LVN_INSERTITEM, LVN_DELETEITEM, LVN_COLUMNCLICK; the mouse notifications add the keys.
struct NMLISTVIEW {
  NMHDR hdr;
  int iItem;
  int iSubItem;
  UINT uNewState;
  UINT uOldState;
  UINT uChanged;
  POINT ptAction;
  LPARAM lParam;
};
struct NMITEMACTIVATE {
  NMHDR hdr;
  int iItem;
  int iSubItem;
  UINT uNewState;
  UINT uOldState;
  UINT uChanged;
  POINT ptAction;
  LPARAM lParam;
  UINT uKeyFlags;
};
struct NMLVKEYDOWN {
  NMHDR hdr;
  WORD wVKey;
  UINT flags;
};
struct LVHITTESTINFO {
  POINT pt;
  UINT flags;
  int iItem;
  int iSubItem;
};
struct LVFINDINFO {
  UINT flags;
  LPCSTR psz;
  LPARAM lParam;
};
struct TVHITTESTINFO {
  POINT pt;
  UINT flags;
  HTREEITEM hItem;
};

struct NMUPDOWN {
  NMHDR hdr;
  int iPos;
  int iDelta;
};
struct PBRANGE {
  int iLow;
  int iHigh;
};

struct TOOLINFO {
  UINT cbSize;
  UINT uFlags;
  HWND hwnd;
  UINT_PTR uId;
  RECT rect;
  HINSTANCE hinst;
  LPSTR lpszText;
  LPARAM lParam;
};
using LPTOOLINFO = TOOLINFO*;
struct NMTTDISPINFO {
  NMHDR hdr;
  LPSTR lpszText;
  char szText[80];
  HINSTANCE hinst;
  UINT uFlags;
  LPARAM lParam;
};

// ---- Windows and classes ---------------------------------------------------------------------------------------
ATOM RegisterClass(const WNDCLASS* cls);
ATOM RegisterClassEx(const WNDCLASSEX* cls);
BOOL UnregisterClass(LPCSTR name, HINSTANCE instance);
BOOL GetClassInfo(HINSTANCE instance, LPCSTR name, WNDCLASS* out);
BOOL GetClassInfoEx(HINSTANCE instance, LPCSTR name, WNDCLASSEX* out);
int GetClassName(HWND wnd, LPSTR out, int max);
HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int w, int h, HWND parent,
                    HMENU menuOrId, HINSTANCE instance, LPVOID param);
HWND CreateWindow(LPCSTR className, LPCSTR title, DWORD style, int x, int y, int w, int h, HWND parent, HMENU menuOrId,
                  HINSTANCE instance, LPVOID param);
constexpr int CW_USEDEFAULT = int(0x80000000);
BOOL DestroyWindow(HWND wnd);
BOOL IsWindow(HWND wnd);
BOOL IsWindowVisible(HWND wnd);
BOOL IsWindowEnabled(HWND wnd);
BOOL EnableWindow(HWND wnd, BOOL enable);
BOOL ShowWindow(HWND wnd, int cmd);
BOOL IsChild(HWND parent, HWND wnd);
BOOL IsIconic(HWND wnd);
BOOL IsZoomed(HWND wnd);
HWND GetParent(HWND wnd);
HWND SetParent(HWND wnd, HWND parent);
HWND GetAncestor(HWND wnd, UINT flags);
HWND GetWindow(HWND wnd, UINT cmd);
HWND GetTopWindow(HWND wnd);
HWND GetNextWindow(HWND wnd, UINT cmd);
HWND GetDesktopWindow();
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND wnd);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param);
LONG_PTR GetWindowLongPtr(HWND wnd, int index);
LONG_PTR SetWindowLongPtr(HWND wnd, int index, LONG_PTR value);
LONG GetWindowLong(HWND wnd, int index);
LONG SetWindowLong(HWND wnd, int index, LONG value);
BOOL SetProp(HWND wnd, LPCSTR name, HANDLE value);
HANDLE GetProp(HWND wnd, LPCSTR name);
HANDLE RemoveProp(HWND wnd, LPCSTR name);
int GetWindowText(HWND wnd, LPSTR out, int max);
int GetWindowTextLength(HWND wnd);
BOOL SetWindowText(HWND wnd, LPCSTR text);
BOOL GetClientRect(HWND wnd, LPRECT out);
BOOL GetWindowRect(HWND wnd, LPRECT out);
BOOL ClientToScreen(HWND wnd, LPPOINT pt);
BOOL ScreenToClient(HWND wnd, LPPOINT pt);
int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count);
BOOL MoveWindow(HWND wnd, int x, int y, int w, int h, BOOL repaint);
BOOL SetWindowPos(HWND wnd, HWND insertAfter, int x, int y, int w, int h, UINT flags);
BOOL BringWindowToTop(HWND wnd);
HWND WindowFromPoint(POINT pt);
HWND ChildWindowFromPoint(HWND parent, POINT pt);
HMENU GetMenu(HWND wnd);
BOOL SetMenu(HWND wnd, HMENU menu);
BOOL DrawMenuBar(HWND wnd);

// ---- Messages --------------------------------------------------------------------------------------------------
LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int code);
BOOL PeekMessage(LPMSG msg, HWND wnd, UINT first, UINT last, UINT remove);
BOOL GetMessage(LPMSG msg, HWND wnd, UINT first, UINT last);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
LRESULT DefWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC proc, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT DefDlgProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
DWORD GetMessagePos();
LONG GetMessageTime();
BOOL InSendMessage();
UINT RegisterWindowMessage(LPCSTR name);

// ---- Focus, activation, capture, keyboard, mouse ----------------------------------------------------------------
HWND SetFocus(HWND wnd);
HWND GetFocus();
HWND SetActiveWindow(HWND wnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND wnd);
HWND GetForegroundWindow();
HWND SetCapture(HWND wnd);
BOOL ReleaseCapture();
HWND GetCapture();
SHORT GetKeyState(int key);
SHORT GetAsyncKeyState(int key);
BOOL GetCursorPos(LPPOINT out);
BOOL SetCursorPos(int x, int y);
BOOL ClipCursor(const RECT* rect);
HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
HICON LoadIcon(HINSTANCE instance, LPCSTR name);
UINT GetDoubleClickTime();
BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);
BOOL _TrackMouseEvent(TRACKMOUSEEVENT* track);
BOOL CreateCaret(HWND wnd, HBITMAP bitmap, int w, int h);
BOOL DestroyCaret();
BOOL ShowCaret(HWND wnd);
BOOL HideCaret(HWND wnd);
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(LPPOINT out);

// ---- Timers and time -------------------------------------------------------------------------------------------
UINT_PTR SetTimer(HWND wnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
BOOL KillTimer(HWND wnd, UINT_PTR id);
DWORD GetTickCount();

// ---- Painting --------------------------------------------------------------------------------------------------
BOOL InvalidateRect(HWND wnd, const RECT* rect, BOOL erase);
BOOL InvalidateRgn(HWND wnd, HRGN rgn, BOOL erase);
BOOL ValidateRect(HWND wnd, const RECT* rect);
BOOL UpdateWindow(HWND wnd);
BOOL RedrawWindow(HWND wnd, const RECT* rect, HRGN rgn, UINT flags);
BOOL GetUpdateRect(HWND wnd, LPRECT out, BOOL erase);
HDC BeginPaint(HWND wnd, LPPAINTSTRUCT ps);
BOOL EndPaint(HWND wnd, const PAINTSTRUCT* ps);
HDC GetDC(HWND wnd);
HDC GetWindowDC(HWND wnd);
int ReleaseDC(HWND wnd, HDC dc);
HWND WindowFromDC(HDC dc);
BOOL ScrollWindow(HWND wnd, int dx, int dy, const RECT* rect, const RECT* clip);
int ScrollWindowEx(HWND wnd, int dx, int dy, const RECT* rect, const RECT* clip, HRGN update, LPRECT updateRect,
                   UINT flags);

// ---- Scroll bars of windows --------------------------------------------------------------------------------------
int SetScrollInfo(HWND wnd, int bar, const SCROLLINFO* info, BOOL redraw);
BOOL GetScrollInfo(HWND wnd, int bar, LPSCROLLINFO info);
int SetScrollPos(HWND wnd, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND wnd, int bar);
BOOL SetScrollRange(HWND wnd, int bar, int minPos, int maxPos, BOOL redraw);
BOOL GetScrollRange(HWND wnd, int bar, int* minPos, int* maxPos);
BOOL ShowScrollBar(HWND wnd, int bar, BOOL show);
BOOL EnableScrollBar(HWND wnd, UINT bar, UINT arrows);

// ---- Dialogs -----------------------------------------------------------------------------------------------------
HWND CreateDialogParam(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC proc, LPARAM param);
INT_PTR DialogBoxParam(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC proc, LPARAM param);
BOOL EndDialog(HWND dialog, INT_PTR result);
BOOL IsDialogMessage(HWND dialog, LPMSG msg);
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);
BOOL SetDlgItemText(HWND dialog, int id, LPCSTR text);
UINT GetDlgItemText(HWND dialog, int id, LPSTR out, int max);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
LRESULT SendDlgItemMessage(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL MapDialogRect(HWND dialog, LPRECT rect);
LONG GetDialogBaseUnits();

// ---- Menus -------------------------------------------------------------------------------------------------------
HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCSTR text);
BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text);
BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text);
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
int GetMenuString(HMENU menu, UINT item, LPSTR out, int max, UINT flags);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
DWORD CheckMenuItem(HMENU menu, UINT item, UINT check);
BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable);
BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFO info);
BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info);
BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info);
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rect);
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const void* params);
HMENU LoadMenu(HINSTANCE instance, LPCSTR name);

// ---- Clipboard and global memory -----------------------------------------------------------------------------------
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
HANDLE SetClipboardData(UINT format, HANDLE data);
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
HWND GetClipboardOwner();
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
HGLOBAL GlobalReAlloc(HGLOBAL mem, std::size_t bytes, UINT flags);
LPVOID GlobalLock(HGLOBAL mem);
BOOL GlobalUnlock(HGLOBAL mem);
std::size_t GlobalSize(HGLOBAL mem);
HGLOBAL GlobalFree(HGLOBAL mem);

// ---- System ------------------------------------------------------------------------------------------------------
int GetSystemMetrics(int index);
DWORD GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);
BOOL SystemParametersInfo(UINT action, UINT param, LPVOID out, UINT winIni);
int LoadString(HINSTANCE instance, UINT id, LPSTR out, int max);
HINSTANCE GetModuleHandle(LPCSTR name);

// ---- Rectangles ----------------------------------------------------------------------------------------------------
BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(LPRECT rect);
BOOL CopyRect(LPRECT dest, const RECT* src);
BOOL InflateRect(LPRECT rect, int dx, int dy);
BOOL OffsetRect(LPRECT rect, int dx, int dy);
BOOL IntersectRect(LPRECT dest, const RECT* a, const RECT* b);
BOOL UnionRect(LPRECT dest, const RECT* a, const RECT* b);
BOOL SubtractRect(LPRECT dest, const RECT* a, const RECT* b);
BOOL IsRectEmpty(const RECT* rect);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL PtInRect(const RECT* rect, POINT pt);
int MulDiv(int number, int numerator, int denominator);

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
