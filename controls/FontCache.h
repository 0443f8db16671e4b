// One process-wide cache of fonts, keyed by face, italic, underline, height and weight; dialogs take fonts from it
// (and a control's bold variant) without creating and deleting them themselves.
#pragma once

#include "platform/win/afx.h"

class CFontCache : public CMapStringToPtr {
 public:
  CFontCache();
  ~CFontCache() override;
  CFontCache(const CFontCache&) = delete;
  CFontCache& operator=(const CFontCache&) = delete;

  // The cached font (made on first request); owned by the cache, never null.
  CFont* GetFont(LPCTSTR face, BYTE italic, BYTE underline, int height, int weight);
  // Gives the control the bold (700) variant of its current font and redraws it.
  void SetBoldFont(CWnd* control);
};

// The cache of the module, built when the module loads; its fonts live until it unloads.
extern CFontCache g_fontCache;
