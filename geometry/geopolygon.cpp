#include "geometry/geopolygon.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "geometry/geoarc.h"
#include "geometry/geoconst.h"
#include "geometry/geoline.h"

CGeoPolygon& CGeoPolygon::operator=(const CGeoPolygon& other) {
  CGeoPlane::SetFrom(other);
  if (this != &other) m_vertices.Copy(other.m_vertices);
  return *this;
}

CGeoPoint CGeoPolygon::GlobalVertex(int i) const {
  CGeoPoint p(m_vertices[i]);
  LocalToGlobal(p);
  return p;
}

int CGeoPolygon::GetSegmentType(int i) const {
  if (!IsSegment(i)) return 0;
  if (m_vertices[i].Distance(m_vertices[i + 1]) <= kGeoTolerance) return 0;
  return std::fabs(m_vertices[i].m_bulge) <= kGeoTolerance ? GEO_LINE : GEO_ARC;
}

BOOL CGeoPolygon::SetRadius(int i, double r) {
  if (!IsSegment(i) || std::fabs(r) <= kGeoTolerance) return FALSE;
  const double chord = m_vertices[i].Distance(m_vertices[i + 1]);
  if (chord <= kGeoTolerance) return FALSE;
  const double h = chord / 2.0;
  const double s = std::fabs(r) - h > 0.0 ? std::sqrt(r * r - h * h) : 0.0;
  double bulge = (std::fabs(r) - s) / h;
  if (r >= 0.0) bulge = -bulge;
  m_vertices[i].m_bulge = bulge;
  return TRUE;
}

BOOL CGeoPolygon::GetArc(int i, CGeoArc& arc) const {
  if (!IsSegment(i) || std::fabs(m_vertices[i].m_bulge) <= kGeoTolerance) return FALSE;
  // Built in local coordinates: chord K, sagitta S from the chord's middle.
  const CGeoLine chord{CGeoPoint(m_vertices[i]), CGeoPoint(m_vertices[i + 1])};
  const double h = chord.GetLength(1.0) / 2.0;
  const double s = -m_vertices[i].m_bulge * h;
  CGeoLine sagitta;
  if (!chord.GetNormalAt(sagitta, 0.5, s, GeoPlaneXY)) return FALSE;
  const double sl = sagitta.GetLength(1.0);
  const double r = (h * h / sl + sl) / 2.0;
  CGeoPoint centre = sagitta.GetReversed().PointAt(r / sl);
  CGeoPoint origin(0.0, 0.0, 0.0);
  CGeoPoint a(chord.GetDirection());
  CGeoPoint b(sagitta.GetDirection());
  if (!LocalToGlobal(centre) || !LocalToGlobal(origin) || !LocalToGlobal(a) || !LocalToGlobal(b)) return FALSE;
  // Directions go through the rotation part only, so the plane's origin does not bend the arc's axes.
  a -= origin;
  b -= origin;
  CGeoArc built;
  built.Set(centre, centre + a, centre + b, r, 0.0, 2.0 * std::numbers::pi);
  const CGeoPoint p = GlobalVertex(i);
  const CGeoPoint q = GlobalVertex(i + 1);
  double aq = 0.0, ap = 0.0;
  if (!built.IsOnBoundary(q, &aq, FALSE) || !built.IsOnBoundary(p, &ap, FALSE)) return FALSE;
  built.SetArc(r, aq, ap - aq);
  arc = built;
  return TRUE;
}

double CGeoPolygon::GetSegmentLength(int i) const {
  if (!IsSegment(i)) return 0.0;
  CGeoArc arc;
  if (GetArc(i, arc)) return arc.GetRadius() * arc.GetSpan();
  return m_vertices[i].Distance(m_vertices[i + 1]);
}

BOOL CGeoPolygon::GetSegmentPoint(int i, double t, CGeoPoint& out) const {
  // Global points for both kinds of segment, so that the result does not depend on the segment's shape.
  if (!IsSegment(i) || CGeoPlane::IsDegenerate()) return FALSE;
  const CGeoPoint p = GlobalVertex(i);
  CGeoArc arc;
  if (GetArc(i, arc)) {
    if (arc.GetStartPoint() != p) t = 1.0 - t;
    out = arc.PointAtAngle(t * arc.GetSpan());
    return TRUE;
  }
  out = p + (GlobalVertex(i + 1) - p) * t;
  return TRUE;
}

int CGeoPolygon::GetPoints(CArray<CGeoPoint, CGeoPoint&>& pts, int arcParam) const {
  const int count = int(m_vertices.GetSize());
  if (CGeoPlane::IsDegenerate() || count < 2) return 0;
  int n = 0;
  CGeoPoint p = GlobalVertex(0);
  for (int k = 1; k < count; ++k) {
    CGeoPoint q = GlobalVertex(k);
    CGeoArc arc;
    if (GetArc(k - 1, arc)) {
      const INT_PTR m = pts.GetSize();
      const int appended = arc.GetPoints(pts, arcParam);
      if (appended > 0) {
        if (pts[m] != p) std::reverse(pts.GetData() + m, pts.GetData() + pts.GetSize());
        if (n > 0) {
          pts.RemoveAt(m);
          --n;
        }
        n += appended;
      }
    } else {
      if (n == 0) {
        pts.Add(p);
        n = 1;
      }
      pts.Add(q);
      ++n;
    }
    p = q;
  }
  return n;
}

BOOL CGeoPolygon::GetNearestSegment(const CGeoPoint& p, CGeoLine& out) const {
  if (CGeoPlane::IsDegenerate() || m_vertices.GetSize() < 2) return FALSE;
  out = CGeoLine(GeoOrigin, GeoOrigin);
  double best = 0.0;
  CGeoPoint start = GlobalVertex(0);
  for (int k = 1; k < int(m_vertices.GetSize()); ++k) {
    const CGeoPoint end = GlobalVertex(k);
    const CGeoLine segment(start, end);
    if (std::fabs(m_vertices[k - 1].m_bulge) <= kGeoTolerance) {
      CGeoPoint foot;
      double d = 0.0, t = 0.0;
      if (segment.ProjectPoint(p, foot, &d) && segment.GetParam(foot, t, TRUE) &&
          (out.IsDegenerate() || std::fabs(d) < best)) {
        out = segment;
        best = std::fabs(d);
      }
    }
    start = end;
  }
  return !out.IsDegenerate();
}

BOOL CGeoPolygon::ExtendLine(const CGeoLine& line, BOOL atEnd, CGeoLine& out) const {
  if (CGeoPlane::IsDegenerate() || m_vertices.GetSize() < 2 || line.IsDegenerate()) return FALSE;
  out = CGeoLine(GeoOrigin, GeoOrigin);
  CGeoPoint start = GlobalVertex(0);
  for (int k = 1; k < int(m_vertices.GetSize()); ++k) {
    const CGeoPoint end = GlobalVertex(k);
    CGeoLine candidate;
    BOOL found = FALSE;
    if (std::fabs(m_vertices[k - 1].m_bulge) <= kGeoTolerance) {
      found = CGeoLine(start, end).GetExtension(line, atEnd, candidate, TRUE);
    } else {
      CGeoArc arc;
      found = GetArc(k - 1, arc) && arc.ExtendLine(line, atEnd, candidate);
    }
    if (found && (out.IsDegenerate() || candidate.GetLength(1.0) < out.GetLength(1.0))) out = candidate;
    start = end;
  }
  return !out.IsDegenerate();
}

template <class File>
BOOL CGeoPolygon::ReadPolygon(File& file) {
  CGeoVector origin, axis1, axis2;
  std::int32_t count = 0;
  if (!ReadAxes(file, origin, axis1, axis2) || !geostream::ReadInt32(file, count) || count < 0) return FALSE;
  // Grown one vertex at a time: a count larger than the data cannot claim memory the file does not hold.
  CArray<CGeoVertex, CGeoVertex&> vertices;
  for (std::int32_t k = 0; k < count; ++k) {
    CGeoVertex v;
    if (!geostream::ReadObject(file, v)) return FALSE;
    vertices.Add(v);
  }
  const BOOL matrices = SetAxes(origin, axis1, axis2);
  m_vertices.Copy(vertices);
  return matrices;
}

template <class File>
BOOL CGeoPolygon::WriteVertices(File& file) const {
  if (!geostream::WriteInt32(file, std::int32_t(m_vertices.GetSize()))) return FALSE;
  for (const CGeoVertex& v : m_vertices)
    if (!geostream::WriteObject(file, v)) return FALSE;
  return TRUE;
}

BOOL CGeoPolygon::ReadFile(std::FILE* file) { return ReadPolygon(file); }
BOOL CGeoPolygon::Read(CFile& file) { return ReadPolygon(file); }
BOOL CGeoPolygon::WriteFile(std::FILE* file) const {
  return FitsCount() && CGeoPlane::WriteFile(file) && WriteVertices(file);
}

BOOL CGeoPolygon::Write(CFile& file) const { return FitsCount() && CGeoPlane::Write(file) && WriteVertices(file); }
