#include "controls/GradientDlg.h"

BEGIN_MESSAGE_MAP(CGradientDlg, CDialog)
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_CTLCOLOR()
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CGradientDlg::CGradientDlg(UINT templateId, CWnd* parent) : CDialog(templateId, parent) { ResetGradient(FALSE); }

CGradientDlg::~CGradientDlg() {
  if (m_hBitmap) ::DeleteObject(m_hBitmap);
}

void CGradientDlg::ResetGradient(BOOL deleteBitmap) {
  if (deleteBitmap && m_hBitmap) ::DeleteObject(m_hBitmap);
  m_hBitmap = nullptr;
  m_nBitmapWidth = 0;
  m_nBitmapHeight = 0;
  m_crStaticText = 0;
  m_dTopFactor = 0.25;
  m_dBottomFactor = 0.2;
}

BOOL CGradientDlg::OnEraseBkgnd(CDC* dc) {
  CRect client;
  GetClientRect(&client);
  bool painted = false;
  for (int band = 0; band < 3; ++band) {
    if (!m_bGradient[band]) continue;
    CRect r = client;
    if (band == 1) r.bottom = int(client.Height() * m_dTopFactor);
    if (band == 2) r.top = int((1.0 - m_dBottomFactor) * client.Height());
    // Vertex colours are 16-bit: each channel shifted up by 8 bits.
    TRIVERTEX v[2] = {
        {r.left, r.top, COLOR16(GetRValue(m_crGradientStart[band]) << 8),
         COLOR16(GetGValue(m_crGradientStart[band]) << 8), COLOR16(GetBValue(m_crGradientStart[band]) << 8), 0},
        {r.right, r.bottom, COLOR16(GetRValue(m_crGradientEnd[band]) << 8),
         COLOR16(GetGValue(m_crGradientEnd[band]) << 8), COLOR16(GetBValue(m_crGradientEnd[band]) << 8), 0}};
    GRADIENT_RECT rect{0, 1};
    ::GradientFill(dc->m_hDC, v, 2, &rect, 1, GRADIENT_FILL_RECT_H);
    painted = true;
  }
  if (painted) {
    OnPaintBackground(dc);
    return TRUE;
  }
  if (!m_hBitmap) return CDialog::OnEraseBkgnd(dc);
  CDC mem;
  mem.CreateCompatibleDC(dc);
  CBitmap buffer;
  buffer.CreateCompatibleBitmap(dc, client.Width(), client.Height());
  CBitmap* old = mem.SelectObject(&buffer);
  mem.FillSolidRect(&client, dc->GetBkColor());
  DrawBitmap(mem, client.Width(), client.Height());
  dc->BitBlt(0, 0, client.Width(), client.Height(), &mem, 0, 0, SRCCOPY);
  mem.SelectObject(old);
  OnPaintBackground(dc);
  return TRUE;
}

void CGradientDlg::DrawBitmap(CDC& dc, int W, int H) {
  int w = m_nBitmapWidth, h = m_nBitmapHeight;
  if (w <= 0 || h <= 0) {
    BITMAP bm{};
    if (!::GetObject(m_hBitmap, sizeof(bm), &bm)) return;
    w = bm.bmWidth;
    h = bm.bmHeight;
  }
  if (w <= 0 || h <= 0) return;
  CDC src;
  src.CreateCompatibleDC(&dc);
  HGDIOBJ old = src.SelectObject(static_cast<HGDIOBJ>(m_hBitmap));
  auto put = [&](int x, int y) { dc.BitBlt(x, y, w, h, &src, 0, 0, SRCCOPY); };
  switch (m_dwBitmapPlacement & 0xFF) {
    case kTile:
      for (int y = 0; y < H; y += h)
        for (int x = 0; x < W; x += w) put(x, y);
      break;
    case kCenter: put((W - w) / 2, (H - h) / 2); break;
    case kStretch: dc.StretchBlt(0, 0, W, H, &src, 0, 0, w, h, SRCCOPY); break;
    case kTileTop:
      for (int x = 0; x < W; x += w) put(x, 0);
      break;
    case kTileBottom:
      for (int x = 0; x < W; x += w) put(x, H - h);
      break;
    case kTileLeft:
      for (int y = 0; y < H; y += h) put(0, y);
      break;
    case kTileRight:
      for (int y = 0; y < H; y += h) put(W - w, y);
      break;
    case kTopLeft: put(0, 0); break;
    case kTopRight: put(W - w, 0); break;
    case kTopCenter: put((W - w) / 2, 0); break;
    case kBottomLeft: put(0, H - h); break;
    case kBottomRight: put(W - w, H - h); break;
    case kBottomCenter: put((W - w) / 2, H - h); break;
    default: break;
  }
  src.SelectObject(old);
}

void CGradientDlg::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  if (m_hBitmap) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

HBRUSH CGradientDlg::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) {
  HBRUSH brush = CDialog::OnCtlColor(dc, wnd, ctlColor);
  if (ctlColor == CTLCOLOR_STATIC) {
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(m_crStaticText);
    brush = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
  }
  return brush;
}

void CGradientDlg::OnLButtonDown(UINT flags, CPoint point) {
  // The system moves a window pressed on its caption; the whole client area acts as one.
  if (m_bDragByClient) PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(WORD(point.x), WORD(point.y)));
  CDialog::OnLButtonDown(flags, point);
}
