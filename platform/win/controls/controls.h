// The built-in controls' styles, messages, notifications and records: static, button, edit, combo box, list box,
// scroll bar, list view, tab, progress bar, spin, tree view and tooltip; owner drawing.
#pragma once

#include "platform/win/base/wintypes.h"
#include "platform/win/window/window.h"

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

// Scroll-bar controls.
inline constexpr DWORD SBS_HORZ = 0x0, SBS_VERT = 0x1;
inline constexpr UINT SBM_SETPOS = 0xE0, SBM_GETPOS = 0xE1, SBM_SETRANGE = 0xE2, SBM_GETRANGE = 0xE3,
                      SBM_SETRANGEREDRAW = 0xE6, SBM_SETSCROLLINFO = 0xE9, SBM_GETSCROLLINFO = 0xEA;
inline constexpr UINT ESB_ENABLE_BOTH = 0, ESB_DISABLE_LTUP = 1, ESB_DISABLE_RTDN = 2, ESB_DISABLE_BOTH = 3;

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

// ---- Records ---------------------------------------------------------------------------------------------------
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
