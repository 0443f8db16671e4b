// Metafiles: a recording DC keeps each call and plays it back on another DC.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/win/draw/gdi_internal.h"
#include "platform/win/base/handles.h"
#include "platform/win/window/internal.h"

using namespace win::detail;

// ---- Metafiles ----------------------------------------------------------------------------------------------------------------
namespace win::detail {
void SelectRecordedObject(HDC target, const std::shared_ptr<GdiObject>& object) {
  Dc* d = GetDc(target);
  if (!d) return;
  HGDIOBJ h = NewObject(std::make_shared<GdiObject>(*object));
  SelectObject(target, h);
  d->playTemporaries.push_back(h);
}
}  // namespace win::detail

HDC CreateEnhMetaFile(HDC, LPCSTR, const RECT* frame, LPCSTR) {
  auto dc = std::make_unique<Dc>();
  dc->surface = std::make_shared<Surface>(1, 1);
  dc->visible = Region::FromRect({0, 0, 1, 1});
  dc->recording = std::make_shared<Recording>();
  if (frame) {
    // The frame is given in 0.01 mm; the recording's units are pixels at 96 per inch.
    dc->recording->frame = {frame->left * 96 / 2540, frame->top * 96 / 2540, frame->right * 96 / 2540,
                            frame->bottom * 96 / 2540};
    dc->recording->hasFrame = true;
  }
  return NewDc(std::move(dc));
}

HENHMETAFILE CloseEnhMetaFile(HDC dc) {
  Dc* d = GetDc(dc);
  if (!d || !d->recording) return nullptr;
  auto o = std::make_shared<GdiObject>();
  o->kind = GdiKind::EnhMetaFile;
  o->metafile = d->recording;
  DeleteDC(dc);
  return reinterpret_cast<HENHMETAFILE>(NewObject(o));
}

BOOL PlayEnhMetaFile(HDC dc, HENHMETAFILE mf, const RECT* rect) {
  auto o = Obj(mf);
  Dc* d = GetDc(dc);
  if (!o || !d || o->kind != GdiKind::EnhMetaFile || !o->metafile) return FALSE;
  const Recording& rec = *o->metafile;
  int saved = SaveDC(dc);
  if (rect) {
    RECT frame = rec.hasFrame ? rec.frame : rec.bounds;
    int fw = std::max(1, int(frame.right - frame.left)), fh = std::max(1, int(frame.bottom - frame.top));
    POINT tl{rect->left, rect->top}, br{rect->right, rect->bottom};
    LPtoDP(dc, &tl, 1);
    LPtoDP(dc, &br, 1);
    d = GetDc(dc);
    d->st.mapMode = MM_ANISOTROPIC;
    d->st.winOrg = {frame.left, frame.top};
    d->st.winExt = {fw, fh};
    d->st.vpOrg = tl;
    d->st.vpExt = {std::max(1, int(br.x - tl.x)), std::max(1, int(br.y - tl.y))};
  }
  std::vector<HGDIOBJ> temporaries;
  std::swap(temporaries, GetDc(dc)->playTemporaries);
  for (const auto& call : rec.calls) call(dc);
  std::swap(temporaries, GetDc(dc)->playTemporaries);
  RestoreDC(dc, saved);
  for (HGDIOBJ t : temporaries) DeleteObject(t);
  return TRUE;
}

BOOL DeleteEnhMetaFile(HENHMETAFILE mf) { return DeleteObject(mf); }

HENHMETAFILE CopyEnhMetaFile(HENHMETAFILE mf, LPCSTR) {
  auto o = Obj(mf);
  if (!o || o->kind != GdiKind::EnhMetaFile) return nullptr;
  return reinterpret_cast<HENHMETAFILE>(NewObject(std::make_shared<GdiObject>(*o)));
}

HDC CreateMetaFile(LPCSTR) { return CreateEnhMetaFile(nullptr, nullptr, nullptr, nullptr); }
HMETAFILE CloseMetaFile(HDC dc) { return reinterpret_cast<HMETAFILE>(CloseEnhMetaFile(dc)); }
BOOL PlayMetaFile(HDC dc, HMETAFILE mf) { return PlayEnhMetaFile(dc, reinterpret_cast<HENHMETAFILE>(mf), nullptr); }
BOOL DeleteMetaFile(HMETAFILE mf) { return DeleteObject(mf); }
