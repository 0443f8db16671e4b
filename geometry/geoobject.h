// Common base of the geometry entities, the library's tolerances and its binary stream convention.
#pragma once

#include <cstdint>
#include <cstdio>

#include "platform/win/afx.h"

// Two coordinates are equal, and a length, component or factor is zero, within this absolute tolerance.
inline constexpr double kGeoTolerance = 1e-6;
// Pivot threshold of the matrix inverse; transformed coordinates this small become exactly 0.
inline constexpr double kGeoSnap = 1e-15;

// Type codes of the entity classes; set by each constructor and never changed afterwards.
enum GeoType : std::int32_t {
  GEO_OBJECT = 0,
  GEO_POINT = 1,
  GEO_VERTEX = 2,
  GEO_VECTOR = 4,
  GEO_LINE = 5,
  GEO_PLANE = 6,
  GEO_POLYGON = 7,
  GEO_SURFACE = 8,
  GEO_ARC = 9,
  GEO_CONTOUR = 11
};

// Base of every entity. An entity streams only its defining doubles (8 bytes little-endian each, composites
// member by member, then their own extra data); there is no header, type code or length.
// The stream operations return TRUE when every value went through; a read that comes up short leaves the
// object as it was. Exceptions that CFile throws pass to the caller.
class CGeoObject {
 public:
  CGeoObject() = default;
  virtual ~CGeoObject() = default;

  virtual BOOL ReadFile(std::FILE* file);
  virtual BOOL Read(CFile& file);
  virtual BOOL WriteFile(std::FILE* file) const;
  virtual BOOL Write(CFile& file) const;

  int GetType() const { return m_type; }

 protected:
  explicit CGeoObject(std::int32_t type) : m_type(type) {}
  CGeoObject(const CGeoObject& other) = default;
  // The type code belongs to the constructed class: assignment keeps it.
  CGeoObject& operator=(const CGeoObject&) { return *this; }

  std::int32_t m_type = GEO_OBJECT;
};

// Raw little-endian values on a stdio stream or a CFile, as the entities' stream operations write them.
namespace geostream {

BOOL WriteDouble(std::FILE* file, double value);
BOOL WriteDouble(CFile& file, double value);
BOOL ReadDouble(std::FILE* file, double& value);
BOOL ReadDouble(CFile& file, double& value);

BOOL WriteInt32(std::FILE* file, std::int32_t value);
BOOL WriteInt32(CFile& file, std::int32_t value);
BOOL ReadInt32(std::FILE* file, std::int32_t& value);
BOOL ReadInt32(CFile& file, std::int32_t& value);

// Sixteen doubles in one call (size 8, count 16 on stdio; 128 bytes on a CFile).
BOOL WriteDoubles16(std::FILE* file, const double (&values)[16]);
BOOL WriteDoubles16(CFile& file, const double (&values)[16]);
BOOL ReadDoubles16(std::FILE* file, double (&values)[16]);
BOOL ReadDoubles16(CFile& file, double (&values)[16]);

// A member entity through its own operation of the same kind (ReadFile/WriteFile on stdio, Read/Write on CFile).
inline BOOL ReadObject(std::FILE* file, CGeoObject& o) { return o.ReadFile(file); }
inline BOOL ReadObject(CFile& file, CGeoObject& o) { return o.Read(file); }
inline BOOL WriteObject(std::FILE* file, const CGeoObject& o) { return o.WriteFile(file); }
inline BOOL WriteObject(CFile& file, const CGeoObject& o) { return o.Write(file); }

}  // namespace geostream
