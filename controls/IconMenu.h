// A menu whose items are drawn by the menu itself, so that they carry a command's image beside the text: an XP
// look (a light icon column, a blended highlight) on a themed XP system and a classic look (framed icons, the
// system highlight) elsewhere or on a palette display.
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
  // An owner-drawn item; image is an index from AddImage or -1.
  BOOL AppendOwnerDrawnItem(LPCTSTR text, UINT flags, UINT id, int image = -1);
  // Adds a bitmap to the process-wide command images (0xC0C0C0 transparent); its index.
  static int AddImage(CBitmap* bitmap, COLORREF transparent = RGB(192, 192, 192));
  BOOL DestroyMenu() override;
  // Pads the text before each item's tab with blanks to the widest one (in the menu font).
  void AlignAccelerators();
  // The position of the item whose text has "&c", with MNC_EXECUTE (2) in the high word; 0 when none.
  LRESULT MenuChar(UINT ch) const;

  void MeasureItem(LPMEASUREITEMSTRUCT mis) override;
  void DrawItem(LPDRAWITEMSTRUCT dis) override;

  struct Item {
    CString text;
    int image = -1;
    UINT flags = 0;
    UINT id = 0;
  };
  const Item* FindItem(UINT id) const;
  int IconWidth() const { return m_iconX; }
  int IconHeight() const { return m_iconY; }

 private:
  int Gap(Look look) const { return look == kXPLook ? 7 : 4; }
  void DrawXP(CDC& dc, const Item& item, CRect rect, UINT state);
  void DrawClassic(CDC& dc, const Item& item, CRect rect, UINT state);
  void DrawMark(CDC& dc, CRect box, bool radio);

  std::vector<std::unique_ptr<Item>> m_items;
  int m_iconX = 16, m_iconY = 15;
};
