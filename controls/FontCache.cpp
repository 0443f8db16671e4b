#include "controls/FontCache.h"

CFontCache g_fontCache;

CFontCache::CFontCache() {
  // The window system's tables (handles and their MFC wrappers) are made first, so that they outlive the cache's
  // fonts at exit.
  CGdiObject::FromHandle(::GetStockObject(SYSTEM_FONT));
}

CFontCache::~CFontCache() {
  POSITION pos = GetStartPosition();
  while (pos) {
    CString key;
    void* font = nullptr;
    GetNextAssoc(pos, key, font);
    delete static_cast<CFont*>(font);
  }
  RemoveAll();
}

CFont* CFontCache::GetFont(LPCTSTR face, BYTE italic, BYTE underline, int height, int weight) {
  CString key;
  key.Format("%s-%d-%d-%d-%d", face ? face : "", italic, underline, height, weight);
  void* found = nullptr;
  if (Lookup(key, found)) return static_cast<CFont*>(found);
  auto font = std::make_unique<CFont>();
  font->CreateFont(height, 0, 0, 0, weight, italic, underline, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                   PROOF_QUALITY, DEFAULT_PITCH, face);
  CFont* result = font.release();
  SetAt(key, result);
  return result;
}

void CFontCache::SetBoldFont(CWnd* control) {
  if (!control || !control->m_hWnd) return;
  LOGFONT lf{};
  CFont* current = control->GetFont();
  // A control without a font of its own draws with the default GUI font: its bold variant is taken then.
  HGDIOBJ source = current ? current->m_hObject : ::GetStockObject(DEFAULT_GUI_FONT);
  ::GetObject(source, sizeof(lf), &lf);
  control->SetFont(GetFont(lf.lfFaceName, lf.lfItalic, lf.lfUnderline, lf.lfHeight, FW_BOLD), TRUE);
}
