// Homogeneous 4x4 transformation matrix; points are column vectors (x, y, z, 1).
#pragma once

#include "geometry/geopoint.h"

class CGeoMatrix {
 public:
  CGeoMatrix() { SetIdentity(); }
  CGeoMatrix(const CGeoMatrix& other) { CopyFrom(other); }
  CGeoMatrix& operator=(const CGeoMatrix& other) {
    CopyFrom(other);
    return *this;
  }
  virtual ~CGeoMatrix() = default;

  // The 16 elements row-major in one piece of 128 bytes.
  virtual BOOL ReadFile(std::FILE* file);
  virtual BOOL Read(CFile& file);
  virtual BOOL WriteFile(std::FILE* file) const;
  virtual BOOL Write(CFile& file) const;

  void CopyFrom(const CGeoMatrix& other);
  CGeoMatrix& SetIdentity();
  CGeoMatrix operator*(const CGeoMatrix& b) const;
  // Gauss-Jordan with complete pivoting; this matrix is not changed. FALSE for a singular matrix.
  BOOL Invert(CGeoMatrix& out) const;
  // Rows 0-2 applied to (x, y, z, 1); results within kGeoSnap of 0 become exactly 0.
  CGeoPoint Transform(const CGeoPoint& p) const;

  CGeoMatrix& SetTranslation(double tx, double ty, double tz);
  CGeoMatrix& SetTranslation(const CGeoPoint& t) { return SetTranslation(t.m_x, t.m_y, t.m_z); }
  // A factor within kGeoTolerance of 0 leaves that axis unscaled.
  void SetScale(double sx, double sy, double sz);
  void SetRotationX(double a);
  void SetRotationY(double a);
  void SetRotationZ(double a);

  // These multiply on the right: the transformation added last acts on a point first.
  void Translate(double tx, double ty, double tz);
  void Translate(const CGeoPoint& t) { Translate(t.m_x, t.m_y, t.m_z); }
  void Scale(double sx, double sy, double sz);
  void Rotate(double ax, double ay, double az);

  double& At(int r, int c) { return m_m[4 * r + c]; }
  double At(int r, int c) const { return m_m[4 * r + c]; }

  double m_m[16];
};
