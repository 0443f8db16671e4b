// Bounded planar entities (arc, contour) share this base; by itself it bounds nothing.
#pragma once

#include "geometry/geoplane.h"

class CGeoSurface : public CGeoPlane {
 public:
  CGeoSurface() { m_type = GEO_SURFACE; }
  CGeoSurface(const CGeoSurface& other) : CGeoPlane(other) { m_type = GEO_SURFACE; }
  CGeoSurface& operator=(const CGeoSurface& other) {
    CGeoPlane::operator=(other);
    return *this;
  }

  // The entity, not only its plane, is unusable.
  virtual BOOL IsDegenerate() const { return FALSE; }
  virtual BOOL IsOnBoundary(const CGeoPoint& p, double* param, BOOL checkRange) const { return FALSE; }
  // Crossings with a line; returns their number.
  virtual int Intersect(const CGeoLine& line, CArray<CGeoPoint, CGeoPoint&>& points) const { return 0; }
  virtual BOOL Contains(const CGeoPoint& p) const { return FALSE; }
  virtual CGeoPoint GetCenter() const { return m_origin; }
};
