// The geometry library: points, vectors, vertices, matrices, planes, lines, polygons, contours and arcs.
#pragma once

#include "geometry/geoarc.h"
#include "geometry/geoconst.h"
#include "geometry/geocontour.h"
#include "geometry/geofunc.h"
#include "geometry/geoline.h"
#include "geometry/geomatrix.h"
#include "geometry/geoobject.h"
#include "geometry/geoplane.h"
#include "geometry/geopoint.h"
#include "geometry/geopolygon.h"
#include "geometry/geosurface.h"
