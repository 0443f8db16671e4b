#include "geometry/geomatrix.h"

#include <cmath>
#include <utility>

BOOL CGeoMatrix::ReadFile(std::FILE* file) { return geostream::ReadDoubles16(file, m_m); }
BOOL CGeoMatrix::Read(CFile& file) { return geostream::ReadDoubles16(file, m_m); }
BOOL CGeoMatrix::WriteFile(std::FILE* file) const { return geostream::WriteDoubles16(file, m_m); }
BOOL CGeoMatrix::Write(CFile& file) const { return geostream::WriteDoubles16(file, m_m); }

void CGeoMatrix::CopyFrom(const CGeoMatrix& other) {
  for (int i = 0; i < 16; ++i) m_m[i] = other.m_m[i];
}

CGeoMatrix& CGeoMatrix::SetIdentity() {
  for (int i = 0; i < 16; ++i) m_m[i] = (i % 5 == 0) ? 1.0 : 0.0;
  return *this;
}

CGeoMatrix CGeoMatrix::operator*(const CGeoMatrix& b) const {
  CGeoMatrix p;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += At(r, k) * b.At(k, c);
      p.At(r, c) = sum;
    }
  return p;
}

namespace {

void SwapRows(CGeoMatrix& m, int a, int b) {
  for (int c = 0; c < 4; ++c) std::swap(m.At(a, c), m.At(b, c));
}

void SwapColumns(CGeoMatrix& m, int a, int b) {
  for (int r = 0; r < 4; ++r) std::swap(m.At(r, a), m.At(r, b));
}

}  // namespace

BOOL CGeoMatrix::Invert(CGeoMatrix& out) const {
  CGeoMatrix a(*this);
  CGeoMatrix b;
  int perm[4] = {0, 1, 2, 3};
  BOOL ok = TRUE;
  for (int i = 0; i < 4; ++i) {
    double best = 0.0;
    int pr = -1, pc = -1;
    for (int r = i; r < 4; ++r)
      for (int c = i; c < 4; ++c)
        if (std::fabs(a.At(r, c)) > best) {
          best = std::fabs(a.At(r, c));
          pr = r;
          pc = c;
        }
    if (pr < 0) {  // the rest is zero: singular
      ok = FALSE;
      continue;
    }
    if (pr != i) {
      SwapRows(a, i, pr);
      SwapRows(b, i, pr);
    }
    if (pc != i) {
      SwapColumns(a, i, pc);
      SwapColumns(b, i, pc);
      perm[i] = pc;
    }
    const double p = a.At(i, i);
    if (std::fabs(p) > kGeoSnap) {
      for (int c = 0; c < 4; ++c) {
        a.At(i, c) /= p;
        b.At(i, c) /= p;
      }
    } else {
      ok = FALSE;
    }
    for (int r = 0; r < 4; ++r) {
      if (r == i) continue;
      const double f = a.At(r, i);
      for (int c = 0; c < 4; ++c) {
        b.At(r, c) -= f * b.At(i, c);
        a.At(r, c) -= f * a.At(i, c);
      }
    }
  }
  for (int i = 3; i >= 0; --i) {
    if (perm[i] != i) {
      SwapRows(b, i, perm[i]);
      SwapColumns(b, i, perm[i]);
    }
  }
  for (int i = 0; i < 4; ++i)
    if (std::fabs(a.At(i, i)) <= kGeoSnap) ok = FALSE;
  out = b;
  return ok;
}

CGeoPoint CGeoMatrix::Transform(const CGeoPoint& p) const {
  double v[3];
  for (int r = 0; r < 3; ++r) {
    v[r] = At(r, 0) * p.m_x + At(r, 1) * p.m_y + At(r, 2) * p.m_z + At(r, 3);
    if (std::fabs(v[r]) <= kGeoSnap) v[r] = 0.0;
  }
  return CGeoPoint(v[0], v[1], v[2]);
}

CGeoMatrix& CGeoMatrix::SetTranslation(double tx, double ty, double tz) {
  SetIdentity();
  At(0, 3) = tx;
  At(1, 3) = ty;
  At(2, 3) = tz;
  return *this;
}

void CGeoMatrix::SetScale(double sx, double sy, double sz) {
  SetIdentity();
  if (std::fabs(sx) > kGeoTolerance) At(0, 0) = sx;
  if (std::fabs(sy) > kGeoTolerance) At(1, 1) = sy;
  if (std::fabs(sz) > kGeoTolerance) At(2, 2) = sz;
}

void CGeoMatrix::SetRotationX(double a) {
  SetIdentity();
  At(1, 1) = std::cos(a);
  At(1, 2) = -std::sin(a);
  At(2, 1) = std::sin(a);
  At(2, 2) = std::cos(a);
}

void CGeoMatrix::SetRotationY(double a) {
  SetIdentity();
  At(0, 0) = std::cos(a);
  At(0, 2) = std::sin(a);
  At(2, 0) = -std::sin(a);
  At(2, 2) = std::cos(a);
}

void CGeoMatrix::SetRotationZ(double a) {
  SetIdentity();
  At(0, 0) = std::cos(a);
  At(0, 1) = -std::sin(a);
  At(1, 0) = std::sin(a);
  At(1, 1) = std::cos(a);
}

void CGeoMatrix::Translate(double tx, double ty, double tz) {
  CGeoMatrix t;
  t.SetTranslation(tx, ty, tz);
  *this = *this * t;
}

void CGeoMatrix::Scale(double sx, double sy, double sz) {
  CGeoMatrix s;
  s.SetScale(sx, sy, sz);
  *this = *this * s;
}

void CGeoMatrix::Rotate(double ax, double ay, double az) {
  CGeoMatrix r;
  if (std::fabs(ax) > kGeoTolerance) {
    r.SetRotationX(ax);
    *this = *this * r;
  }
  if (std::fabs(ay) > kGeoTolerance) {
    r.SetRotationY(ay);
    *this = *this * r;
  }
  if (std::fabs(az) > kGeoTolerance) {
    r.SetRotationZ(az);
    *this = *this * r;
  }
}
