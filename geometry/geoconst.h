// Constant geometry objects, built when the library is loaded.
#pragma once

#include "geometry/geoline.h"
#include "geometry/geoplane.h"

extern const CGeoPoint GeoOrigin;
// The reference plane wherever a computation works on local 2D coordinates.
extern const CGeoPlane GeoPlaneXY;
extern const CGeoPlane GeoPlaneZX;
extern const CGeoPlane GeoPlaneYZ;
// Degenerate: both axes zero.
extern const CGeoPlane GeoPlaneNull;
extern const CGeoLine GeoLineNull;
