// The pictures of a rich text: an RTF picture group ("{\pict ...}", or the picture an object or shape shows) read
// for its size and drawn at that size. PNG pictures are drawn as they are, decoded at no more pixels than they are
// drawn with; one whose header asks for too many pixels is a framed box that says so; a metafile is its frame with
// the name its writer gave it (else its kind); any other kind, or one that cannot be read, a grey box of its size.
#pragma once

#include <string>

#include "platform/win/afx.h"

namespace richedit {

struct PictureSize {
  int widthTwips = 0, heightTwips = 0;
  bool shown = true;  // false for the stand-in that old readers show instead of a picture read elsewhere
};

// The size a picture group asks to be shown at: its goal size (or its size in pixels at 96 dpi), scaled.
PictureSize PictureSizeOf(const std::string& group);

// The picture's PNG bytes; empty when it holds no PNG picture.
std::string PictureBytesOf(const std::string& group);

// Draws the picture group into the rectangle (device units of the DC): a PNG scaled to fill it, a metafile as its
// frame with its name, another picture or one that cannot be read as a grey box, one too large to be read as a
// framed box with the note why. On a printer
// the PNG keeps its own pixels where they are fewer than the rectangle's.
void DrawPicture(HDC dc, const RECT& r, const std::string& group);

}  // namespace richedit
