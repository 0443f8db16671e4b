// Infinite plane with its local coordinate system (origin, two axis vectors, and the derived matrices).
#pragma once

#include <vector>

#include "geometry/geomatrix.h"
#include "geometry/geopoint.h"

class CGeoLine;

// Local x runs along axis1, local z along axis1 × axis2, local y completes a right-handed frame on the side of
// axis2. Local coordinates are lengths; the parameters (u, v) of PointAt run along the raw axes.
// A plane is degenerate when an axis is zero or the axes are parallel; every conversion, intersection and
// measurement then fails.
class CGeoPlane : public CGeoObject {
 public:
  CGeoPlane();
  CGeoPlane(const CGeoPoint& p0, const CGeoPoint& p1, const CGeoPoint& p2);
  CGeoPlane(const CGeoVector& origin, const CGeoVector& axis1, const CGeoVector& axis2);
  CGeoPlane(const CGeoPlane& other);
  CGeoPlane(int kind, const CGeoPoint& origin);
  CGeoPlane& operator=(const CGeoPlane& other);

  BOOL SetPoints(const CGeoPoint& p0, const CGeoPoint& p1, const CGeoPoint& p2);
  BOOL SetAxes(const CGeoVector& origin, const CGeoVector& axis1, const CGeoVector& axis2);
  BOOL SetFrom(const CGeoPlane& other);
  // kind 0: axes x and y; 1: z and x; any other: y and z.
  BOOL SetStandard(int kind, const CGeoPoint& origin);

  BOOL IsDegenerate() const;
  BOOL UpdateMatrices();

  BOOL LocalToGlobal(const CGeoPoint& local, CGeoPoint& global) const;
  BOOL LocalToGlobal(CGeoPoint& p) const;
  BOOL GlobalToLocal(const CGeoPoint& global, CGeoPoint& local) const;
  BOOL GlobalToLocal(CGeoPoint& p) const;

  // origin + u·axis1 + v·axis2.
  CGeoPoint PointAt(double u, double v) const;
  // Succeeds exactly when p lies in the plane; then p = PointAt (u, v).
  BOOL GetParameters(const CGeoPoint& p, double& u, double& v) const;
  BOOL IntersectLine(const CGeoLine& line, CGeoPoint& out) const;
  BOOL IntersectPlane(const CGeoPlane& other, CGeoLine& out) const;
  BOOL DropPerpendicular(const CGeoPoint& p, CGeoLine& out) const;
  BOOL GetNormalAt(double u, double v, CGeoLine& out) const;
  // Signed: positive on the side of the normal.
  BOOL GetDistance(const CGeoPoint& p, double& d) const;
  BOOL GetDistance(CGeoLine line, double& d) const;
  BOOL GetAngle(const CGeoLine& line, double& angle) const;
  BOOL GetAngle(const CGeoPlane& other, double& angle) const;
  BOOL ProjectLine(const CGeoLine& in, CGeoLine& out) const;
  // Projects every line it can, then merges lines that overlap or touch.
  BOOL ProjectLines(CArray<CGeoLine, CGeoLine&>& lines) const;

  void Translate(double tx, double ty, double tz);
  void Translate(const CGeoPoint& t);
  void Scale(double sx, double sy, double sz);
  void Rotate(double ax, double ay, double az);
  BOOL Transform(const CGeoMatrix& m);

  // P0→P1, P0→P2, P1→P3, P2→P3 of the parallelogram spanned by the axes.
  BOOL GetEdges(std::vector<CGeoLine>& edges) const;
  // The segment where the other plane cuts this plane's parallelogram.
  BOOL IntersectRegion(const CGeoPlane& other, CGeoLine& out) const;
  BOOL IsSameSide(const CGeoPoint& p1, const CGeoPoint& p2) const;

  const CGeoVector& GetOrigin() const { return m_origin; }
  const CGeoVector& GetAxis1() const { return m_axis1; }
  const CGeoVector& GetAxis2() const { return m_axis2; }
  const CGeoMatrix& GetToGlobal() const { return m_toGlobal; }
  const CGeoMatrix& GetToLocal() const { return m_toLocal; }
  // Unit directions of local x, y and z in global coordinates (zero vectors for a degenerate plane).
  void GetLocalAxes(CGeoVector& x, CGeoVector& y, CGeoVector& z) const;

  // Origin, axis1, axis2 (72 bytes); reading rebuilds the matrices and reports their inversion too.
  BOOL ReadFile(std::FILE* file) override;
  BOOL Read(CFile& file) override;
  BOOL WriteFile(std::FILE* file) const override;
  BOOL Write(CFile& file) const override;

 protected:
  // Origin and axes as a plane streams them, read without touching this plane.
  template <class File>
  static BOOL ReadAxes(File& file, CGeoVector& origin, CGeoVector& axis1, CGeoVector& axis2) {
    return geostream::ReadObject(file, origin) && geostream::ReadObject(file, axis1) &&
           geostream::ReadObject(file, axis2);
  }

  CGeoVector m_origin;
  CGeoVector m_axis1;
  CGeoVector m_axis2;
  CGeoMatrix m_toGlobal;
  CGeoMatrix m_toLocal;

 private:
  BOOL MoveBy(const CGeoMatrix& m);
};
