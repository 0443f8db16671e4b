// A dialog base that paints its own background: up to three horizontal colour gradients, or a bitmap in one of
// thirteen placements. Static texts are drawn transparently on it, and it can be dragged by its client area.
#pragma once

#include "platform/win/afx.h"

class CGradientDlg : public CDialog {
 public:
  // Bitmap placements (the low byte of m_dwBitmapPlacement).
  enum Placement : DWORD {
    kTile = 0,
    kCenter,
    kStretch,
    kTileTop,
    kTileBottom,
    kTileLeft,
    kTileRight,
    kTopLeft,
    kTopRight,
    kTopCenter,
    kBottomLeft,
    kBottomRight,
    kBottomCenter
  };

  CGradientDlg(UINT templateId, CWnd* parent = nullptr);
  ~CGradientDlg() override;

  // Deletes the bitmap when asked; clears bitmap, size, static-text colour and the band factors.
  void ResetGradient(BOOL deleteBitmap);
  // Called after the background was painted, for drawing on it.
  virtual void OnPaintBackground(CDC* dc) {}

  HBITMAP m_hBitmap = nullptr;  // owned
  int m_nBitmapWidth = 0;
  int m_nBitmapHeight = 0;
  DWORD m_dwBitmapPlacement = kTile;
  // Band 0 covers the client area, band 1 its top, band 2 its bottom; later bands paint over earlier ones.
  BOOL m_bGradient[3] = {FALSE, FALSE, FALSE};
  COLORREF m_crGradientStart[3] = {0, 0, 0};
  COLORREF m_crGradientEnd[3] = {0, 0, 0};
  COLORREF m_crStaticText = 0;
  double m_dTopFactor = 0.25;
  double m_dBottomFactor = 0.2;
  BOOL m_bDragByClient = FALSE;

 protected:
  BOOL OnEraseBkgnd(CDC* dc);
  void OnSize(UINT type, int cx, int cy);
  HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
  void OnLButtonDown(UINT flags, CPoint point);
  void DrawBitmap(CDC& dc, int width, int height);
  DECLARE_MESSAGE_MAP()
};
