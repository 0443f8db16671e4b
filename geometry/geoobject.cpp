#include "geometry/geoobject.h"

#include <bit>

BOOL CGeoObject::ReadFile(std::FILE*) { return TRUE; }
BOOL CGeoObject::Read(CFile&) { return TRUE; }
BOOL CGeoObject::WriteFile(std::FILE*) const { return TRUE; }
BOOL CGeoObject::Write(CFile&) const { return TRUE; }

namespace geostream {
namespace {

// The stream layout is little-endian whatever the host's byte order.
void PutLE(std::uint64_t bits, unsigned char* out, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<unsigned char>(bits >> (8 * i));
}

std::uint64_t GetLE(const unsigned char* in, int bytes) {
  std::uint64_t bits = 0;
  for (int i = 0; i < bytes; ++i) bits |= std::uint64_t(in[i]) << (8 * i);
  return bits;
}

void EncodeDouble(double value, unsigned char* out) { PutLE(std::bit_cast<std::uint64_t>(value), out, 8); }
double DecodeDouble(const unsigned char* in) { return std::bit_cast<double>(GetLE(in, 8)); }

}  // namespace

BOOL WriteDouble(std::FILE* file, double value) {
  if (!file) return FALSE;
  unsigned char buf[8];
  EncodeDouble(value, buf);
  return std::fwrite(buf, 8, 1, file) == 1;
}

BOOL WriteDouble(CFile& file, double value) {
  unsigned char buf[8];
  EncodeDouble(value, buf);
  file.Write(buf, 8);
  return TRUE;
}

BOOL ReadDouble(std::FILE* file, double& value) {
  unsigned char buf[8];
  if (!file || std::fread(buf, 8, 1, file) != 1) return FALSE;
  value = DecodeDouble(buf);
  return TRUE;
}

BOOL ReadDouble(CFile& file, double& value) {
  unsigned char buf[8];
  if (file.Read(buf, 8) != 8) return FALSE;
  value = DecodeDouble(buf);
  return TRUE;
}

BOOL WriteInt32(std::FILE* file, std::int32_t value) {
  if (!file) return FALSE;
  unsigned char buf[4];
  PutLE(std::uint32_t(value), buf, 4);
  return std::fwrite(buf, 4, 1, file) == 1;
}

BOOL WriteInt32(CFile& file, std::int32_t value) {
  unsigned char buf[4];
  PutLE(std::uint32_t(value), buf, 4);
  file.Write(buf, 4);
  return TRUE;
}

BOOL ReadInt32(std::FILE* file, std::int32_t& value) {
  unsigned char buf[4];
  if (!file || std::fread(buf, 4, 1, file) != 1) return FALSE;
  value = static_cast<std::int32_t>(static_cast<std::uint32_t>(GetLE(buf, 4)));
  return TRUE;
}

BOOL ReadInt32(CFile& file, std::int32_t& value) {
  unsigned char buf[4];
  if (file.Read(buf, 4) != 4) return FALSE;
  value = static_cast<std::int32_t>(static_cast<std::uint32_t>(GetLE(buf, 4)));
  return TRUE;
}

BOOL WriteDoubles16(std::FILE* file, const double (&values)[16]) {
  if (!file) return FALSE;
  unsigned char buf[128];
  for (int i = 0; i < 16; ++i) EncodeDouble(values[i], buf + 8 * i);
  return std::fwrite(buf, 8, 16, file) == 16;
}

BOOL WriteDoubles16(CFile& file, const double (&values)[16]) {
  unsigned char buf[128];
  for (int i = 0; i < 16; ++i) EncodeDouble(values[i], buf + 8 * i);
  file.Write(buf, 128);
  return TRUE;
}

BOOL ReadDoubles16(std::FILE* file, double (&values)[16]) {
  unsigned char buf[128];
  if (!file || std::fread(buf, 8, 16, file) != 16) return FALSE;
  for (int i = 0; i < 16; ++i) values[i] = DecodeDouble(buf + 8 * i);
  return TRUE;
}

BOOL ReadDoubles16(CFile& file, double (&values)[16]) {
  unsigned char buf[128];
  if (file.Read(buf, 128) != 128) return FALSE;
  for (int i = 0; i < 16; ++i) values[i] = DecodeDouble(buf + 8 * i);
  return TRUE;
}

}  // namespace geostream
