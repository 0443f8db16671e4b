#include "geometry/geoconst.h"

// One translation unit, so they are built in this order.
const CGeoPoint GeoOrigin(0.0, 0.0, 0.0);
const CGeoPlane GeoPlaneXY(0, GeoOrigin);
const CGeoPlane GeoPlaneZX(1, GeoOrigin);
const CGeoPlane GeoPlaneYZ(2, GeoOrigin);
const CGeoPlane GeoPlaneNull(GeoOrigin, GeoOrigin, GeoOrigin);
const CGeoLine GeoLineNull(GeoOrigin, GeoOrigin);
