// A menu whose items are drawn by the menu itself, so that they carry a command's image beside the text: an XP
// look (a light icon column, a blended highlight) on a themed XP system and a classic look (framed icons, the
// system highlight) elsewhere or on a palette display. Menus come from menu resources or are built item by item;
// the images come from toolbar resources registered with the menu, or from bitmaps and icons given per command.
#pragma once

#include <memory>
#include <vector>

#include "platform/win/afx.h"

class CIconMenu : public CMenu {
  DECLARE_DYNCREATE(CIconMenu)
 public:
  enum Look { kClassicLook, kXPLook };

  CIconMenu() = default;
  ~CIconMenu() override;

  // ---- what the look depends on
  // The Windows version code from the platform (NT or not) and the version numbers.
  static int VersionCode(bool nt, int major, int minor);
  // TRUE when the theme file ends, in any case, with "Windows Classic.theme".
  static bool IsClassicThemeFile(const char* themeFile);
  // The current theme from the user's settings, read once.
  static bool IsClassicTheme();
  static Look ChooseLook(bool paletteDevice, int versionCode, bool classicTheme);
  // The version code and theme the drawing assumes (a themed XP system unless told otherwise).
  static void SetEnvironment(int versionCode, bool classicTheme);
  static Look CurrentLook(HDC dc);
  // Each channel moved towards white by the factor (0..1); any other factor changes nothing.
  static COLORREF LightenColor(COLORREF colour, double factor);

  // ---- building
  // An owner-drawn item. Its image is the command's button on the toolbar resource given, or with -1 the one
  // on the toolbars registered with this menu (none when no toolbar has the command).
  BOOL AppendOwnerDrawnItem(LPCTSTR text, UINT flags, UINT id, int toolbarId = -1);
  // The menu resource with every entry owner-drawn (sub-menus become menus of this class, owned by this one);
  // the top-level entries stay plain text so that a menu bar draws them itself. FALSE, without a menu, when
  // the resource is missing.
  virtual BOOL LoadMenu(UINT id);
  virtual BOOL LoadMenu(LPCTSTR name);
  BOOL DestroyMenu() override;
  // Registers a toolbar resource with the menu: every item of this menu and its sub-menus whose command has a
  // button there shows that button's image, now and when appended later. FALSE when the toolbar is missing.
  BOOL LoadToolbar(UINT toolbarId);
  // The image index of the command's button in the toolbar resource's strip; -1 when either is missing.
  static int ToolbarImageIndex(UINT toolbarId, UINT command);
  // A command's own image (the bitmap's transparent colour shows the menu); items of this menu tree with the
  // command show it. Returns the image's index in the process-wide list, -1 when it cannot be added.
  int SetCommandImage(UINT id, CBitmap* bitmap, COLORREF transparent = RGB(192, 192, 192));
  int SetCommandImage(UINT id, HICON icon);
  // The items of this menu tree with the command show no image; FALSE when none had one.
  BOOL RemoveCommandImage(UINT id);
  // Adds a command's image to the process-wide list; under the XP look it is followed by its shaded and its
  // shadow variant. The index of the image itself.
  static int AddCommandImage(UINT id, CBitmap* bitmap, COLORREF transparent);
  // TRUE when the image at the index is followed by its two variants.
  static bool HasVariants(int image);
  static CImageList& Images();
  // Pads the text before each item's tab with blanks to the widest one (in the menu font).
  void AlignAccelerators();
  // The position of the item whose text has "&c", with MNC_EXECUTE (2) in the high word; 0 when none. Records
  // that no longer match the real menu's items are rebuilt first.
  LRESULT MenuChar(UINT ch);
  // Rebuilds the records from the real menu: items added around this class become owner-drawn with their text.
  void Synchronize();

  // ---- finding and changing items
  // The menu of this tree that holds the command, and its position there; nullptr when none does.
  CIconMenu* FindMenuOption(UINT id, int& position);
  // The object of this class that owns a menu handle; nullptr for any other menu.
  static CIconMenu* FindPopup(HMENU menu);
  CString GetItemText(UINT id);
  CString GetItemTextByPosition(int position) const;
  // New text and state bits (MF_GRAYED, MF_CHECKED, ...) of an item found by command (in this tree) or position.
  BOOL ModifyItem(UINT id, LPCTSTR text, UINT flags);
  BOOL ModifyItemByPosition(int position, LPCTSTR text, UINT flags);

  void MeasureItem(LPMEASUREITEMSTRUCT mis) override;
  void DrawItem(LPDRAWITEMSTRUCT dis) override;

  struct Item {
    CString text;
    int image = -1;
    UINT flags = 0;
    UINT id = 0;  // the command, or 0 for a popup and a separator
    HMENU popup = nullptr;
  };
  const Item* FindItem(UINT id) const;
  int IconWidth() const { return m_iconX; }
  int IconHeight() const { return m_iconY; }
  std::size_t SubMenuCount() const { return m_subMenus.size(); }

 private:
  int Gap(Look look) const { return look == kXPLook ? 7 : 4; }
  const Item* ItemOf(ULONG_PTR data, UINT id) const;
  int ImageFromToolbars(UINT id) const;
  void ApplyImages();
  void ApplyImage(UINT id, int image);
  bool Owns(const Item* item) const;
  CIconMenu* BuildFrom(HMENU source, bool topLevel);
  void DrawXP(CDC& dc, const Item& item, CRect rect, UINT state);
  void DrawClassic(CDC& dc, const Item& item, CRect rect, UINT state);
  void DrawImage(CDC& dc, int image, CPoint at, bool selected, bool disabled, Look look);
  void DrawMark(CDC& dc, CRect box, bool radio);

  std::vector<std::unique_ptr<Item>> m_items;
  std::vector<std::unique_ptr<CIconMenu>> m_subMenus;
  std::vector<UINT> m_toolbars;
  int m_iconX = 16, m_iconY = 15;
  bool m_bar = false;  // a menu bar: its own entries stay plain text
  COLORREF m_bitmapBackground = RGB(192, 192, 192);
};
