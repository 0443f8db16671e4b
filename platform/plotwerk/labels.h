// Value labels of a view kept legible: apart from each other and inside the view, a text too long for the room it
// has shortened there.
#pragma once

#include <string>
#include <vector>

#include "platform/win/winapi.h"

namespace plotwerk {

// Labels stand apart: each in turn, in the order drawn, moves from the box its anchor gives it (`at`) to the
// nearest place where it covers no label placed before it, `gap` pixels clear (across, up and down): up or down
// past the labels in its way, or on along the way it reads (`sense` > 0 to the right), which counts twice, so that
// the values of one place stand one above the other. A label whose anchor is in view (`seen`) also may move into
// `area` from an edge it crosses (the view zoomed in). A place outside `area` is taken only where no place inside is
// free. The shifts of the labels, in pixels; each label's search looks at every label placed before it a few times.
std::vector<POINT> Separate(const std::vector<RECT>& at, const std::vector<int>& sense, const std::vector<bool>& seen,
                            const RECT& area, SIZE gap);

// The text as wide as `room` pixels at most in the font: whole where it fits, else its longest start (whole
// characters, no blank at its end) followed by an ellipsis; the ellipsis alone where nothing more fits.
std::string Shortened(HDC dc, const std::string& text, int pixelHeight, int room, const char* face = "Arial");

}  // namespace plotwerk
