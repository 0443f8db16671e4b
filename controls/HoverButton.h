// The module's push button: owner-drawn, with an optional image beside its caption, colours that change while the
// pointer is over it (flat mode), check-box behaviour, a tooltip, a URL to open, and a drop-down menu. In
// transparent mode it shows the parent's background under its image and caption.
#pragma once

#include <memory>

#include "controls/IconMenu.h"
#include "platform/win/afx.h"

class CHoverButton : public CButton {
  DECLARE_DYNAMIC(CHoverButton)
 public:
  enum ColorIndex { kBackHover = 0, kTextHover, kBackNormal, kTextNormal, kBackFocus, kTextFocus, kColorCount };
  enum Align { kImageLeft = 0, kImageAbove, kImageRight };

  CHoverButton();
  ~CHoverButton() override;

  int SetFlat(BOOL flat, BOOL repaint = TRUE);
  int SetDrawBorder(BOOL draw, BOOL repaint = TRUE);
  // 0: pressed contents move by (1, 1); 1: by (0, 2); anything else is refused with 6.
  int SetPressedStyle(int style, BOOL repaint = TRUE);
  // 3 for an index past the six colours.
  int SetColor(int index, COLORREF colour, BOOL repaint = TRUE);
  COLORREF GetColor(int index) const { return index >= 0 && index < kColorCount ? m_colours[index] : CLR_INVALID; }
  int SetDefaultColors(BOOL repaint = TRUE);
  int SetCheck(int state, BOOL repaint = TRUE);
  int GetCheck() const { return m_nCheck; }
  // The transparent colour's pixels show the background; 1 when a size cannot be read, 2 without a mask.
  // The button takes over the bitmaps (and blackens their transparent pixels).
  int SetBitmaps(HBITMAP normal, COLORREF normalTransparent, HBITMAP hover = nullptr, COLORREF hoverTransparent = 0);
  // Bitmap resources; hoverId 0 for none. 1 also when a resource is missing (nothing changed then).
  int SetBitmaps(UINT normalId, COLORREF normalTransparent, UINT hoverId = 0, COLORREF hoverTransparent = 0);
  // The parent's background, taken on the next paint, stands in for the button's own.
  int DrawTransparent(BOOL repaint = TRUE);
  BOOL IsTransparent() const { return m_bDrawTransparent; }
  int SetAlign(int align, BOOL repaint = TRUE);
  // The focus rectangle also in flat mode.
  int SetFlatFocus(BOOL draw, BOOL repaint = TRUE);
  // Hover also while the button's window is not the active one.
  int SetAlwaysTrack(BOOL always) {
    m_bAlwaysTrack = always;
    return 0;
  }
  int SetTooltipText(LPCTSTR text, BOOL activate = TRUE);
  int SetURL(LPCTSTR url);
  // Hands the URL to the desktop's opener without waiting for it (win::shell::Open, which says a failure in a box);
  // FALSE without a URL or when the opener cannot be started.
  BOOL OpenURL();
  int SetHyperlinkStyle(BOOL on, BOOL repaint = TRUE);
  // Icons instead of bitmaps (the hover icon is optional); the button does not own them.
  int SetIcon(HICON normal, HICON hover = nullptr);
  // Sounds played (by name) when the pointer enters and when the button is clicked; nullptr for none.
  int SetSound(LPCTSTR sound, BOOL onClick);
  int SetBtnCursor(HCURSOR cursor) {
    m_hCursor = cursor;
    return 0;
  }
  // The menu drops down on a click; the chosen command goes to the owner as WM_COMMAND.
  int SetMenu(CIconMenu* menu, CWnd* owner);
  // The same with a menu resource the button loads and owns, its images from the toolbar resource (0: none).
  // 1 when the menu resource is missing.
  int SetMenu(UINT menuId, CWnd* owner, UINT toolbarId = 0);
  CIconMenu* GetMenu() const { return m_pMenu; }
  // Told (message, menu handle, parameter) just before the menu drops down, so that it can set its items.
  int SetMenuCallback(HWND wnd, UINT message, LPARAM param = 0);

  BOOL IsHovered() const { return m_bMouseOnButton; }
  BOOL IsCheckBoxMode() const { return m_bIsCheckBox; }
  BOOL IsDefault() const { return m_bIsDefault; }
  CPoint PressedOffset() const { return m_ptPressedOffset; }
  CToolTipCtrl* Tooltip() const { return m_pToolTip.get(); }
  BOOL IsTooltipActive() const { return m_bTooltipActive; }
  // What the last paint chose: pressed, background and text colour.
  BOOL LastPressed() const { return m_bLastPressed; }
  COLORREF LastBackground() const { return m_crLastBack; }

  void DrawItem(LPDRAWITEMSTRUCT dis) override;
  BOOL PreTranslateMessage(MSG* msg) override;

 protected:
  void PreSubclassWindow() override;
  virtual void OnDrawBackground(CDC* dc, CRect* rect);
  virtual void OnDrawBorder(CDC* dc, CRect* rect);
  virtual void DrawIconImage(CDC* dc, BOOL hasTitle, RECT* item, CRect* caption, BOOL pressed, BOOL disabled);
  virtual void DrawBitmapImage(CDC* dc, BOOL hasTitle, RECT* item, CRect* caption, BOOL pressed, BOOL disabled);
  virtual void DrawCaption(CDC* dc, BOOL hasTitle, RECT* item, CRect* caption, BOOL pressed, BOOL disabled);

  void CancelHover();
  void FreeBitmaps();
  void Repaint(BOOL repaint);
  CRect ImageRect(const CRect& item, BOOL hasTitle, CRect* caption, int w, int h, BOOL pressed) const;

  void OnMouseMove(UINT flags, CPoint point);
  void OnMouseLeave();
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  void UseFont(bool underlined);
  void OnKillFocus(CWnd* newWnd);
  void OnCancelMode();
  void OnEnable(BOOL enable);
  UINT OnGetDlgCode();
  BOOL OnClicked();
  void OnActivate(UINT state, CWnd* other, BOOL minimized);
  void OnSysColorChange();
  HBRUSH CtlColor(CDC* dc, UINT ctlColor);
  LRESULT OnMenuChar(UINT ch, UINT flags, CMenu* menu);
  LRESULT OnSetStyle(WPARAM w, LPARAM l);
  void PaintBackgroundCopy(CDC* dc, const CRect& rect);
  void DropBackgroundCopy();
  void CreateTooltip();
  LRESULT OnSetCheck(WPARAM w, LPARAM l);
  LRESULT OnGetCheck(WPARAM w, LPARAM l);

  BOOL m_bShowDisabledBitmap = TRUE;
  CPoint m_ptImageMargin{3, 3};
  CPoint m_ptPressedOffset{1, 1};
  BOOL m_bIsFlat = TRUE, m_bMouseOnButton = FALSE, m_bIsPressed = FALSE, m_bIsFocused = FALSE, m_bIsDisabled = FALSE,
       m_bIsDefault = FALSE, m_bIsCheckBox = FALSE, m_bDrawBorder = TRUE, m_bDrawFlatFocus = FALSE;
  COLORREF m_colours[kColorCount] = {};
  CWnd* m_pMenuOwner = nullptr;
  BOOL m_bMenuShown = FALSE;
  CIconMenu* m_pMenu = nullptr;
  std::unique_ptr<CIconMenu> m_ownedMenu;
  HWND m_hMenuCallback = nullptr;
  UINT m_nMenuCallbackMessage = 0;
  LPARAM m_menuCallbackParam = 0;
  BOOL m_bDrawTransparent = FALSE, m_bAlwaysTrack = FALSE;
  int m_nAlign = kImageLeft;
  // The parent's background under the button, taken on the first paint in transparent mode.
  CDC m_dcBackground;
  CBitmap m_bmpBackground;
  CBitmap* m_pbmpOldBackground = nullptr;
  std::unique_ptr<CToolTipCtrl> m_pToolTip;
  BOOL m_bTooltipActive = FALSE;
  int m_nCheck = 0;
  UINT m_nTypeStyle = 0;
  BOOL m_bHyperlink = FALSE;
  CString m_strURL;
  struct Image {
    HBITMAP bitmap = nullptr;
    HBITMAP mask = nullptr;
    int width = 0, height = 0;
  } m_images[2];
  struct Icon {
    HICON icon = nullptr;
    int width = 0, height = 0;
  } m_icons[2];
  CString m_sounds[2];  // hover, click
  HCURSOR m_hCursor = nullptr;
  CFont m_normalFont, m_underlinedFont;
  BOOL m_bLastPressed = FALSE;
  COLORREF m_crLastBack = 0;
  DECLARE_MESSAGE_MAP()
};
