// What a print job tells the code that draws its pages: the page being printed, the page range and the area
// to draw in.
#pragma once

#include "platform/win/afxgeom.h"

class CPrintInfo {
 public:
  void SetMinPage(UINT page) { m_nMinPage = page; }
  void SetMaxPage(UINT page) { m_nMaxPage = page; }
  UINT GetMinPage() const { return m_nMinPage; }
  UINT GetMaxPage() const { return m_nMaxPage; }
  UINT GetFromPage() const { return m_nMinPage; }
  UINT GetToPage() const { return m_nMaxPage; }

  UINT m_nCurPage = 1;
  UINT m_nNumPreviewPages = 1;
  BOOL m_bContinuePrinting = TRUE;
  BOOL m_bPreview = FALSE;
  BOOL m_bDirect = FALSE;
  CRect m_rectDraw;
  LPVOID m_lpUserData = nullptr;

 private:
  UINT m_nMinPage = 1;
  UINT m_nMaxPage = 0xFFFF;
};
