#include "platform/catalogs/sektabel.h"

#include <algorithm>
#include <cmath>

#include "platform/catalogs/isection.h"
#include "platform/viduv/viduv.h"

namespace {
constexpr double kFy = 23.5;  // kN/cm², S 235
}

extern "C" int Sektabel(int document, int flag) {
  int root = VIDUV_GetRootElement(document);
  int input = VIDUV_FindFirstChild(root, "input");
  int profile = VIDUV_FindFirstChild(input, "profile");
  int data = VIDUV_FindFirstChild(profile, "sektabel");
  if (!data) return 0;

  catalogs::ISection s;
  s.h = VIDUV_GetDouble(data, "hs");
  s.tw = VIDUV_GetDouble(data, "ts");
  s.bo = VIDUV_GetDouble(data, "bo");
  s.to = VIDUV_GetDouble(data, "to");
  s.bu = VIDUV_GetDouble(data, "bu");
  s.tu = VIDUV_GetDouble(data, "tu");
  for (int plate = VIDUV_FindFirstChild(data, "blech"); plate; plate = VIDUV_FindNextChild(plate, "blech"))
    for (const char* name : {"r0", "r1", "r2", "r3"}) s.r = std::max(s.r, VIDUV_GetDouble(plate, name));
  if (!s.IsValid()) return 0;

  double area = VIDUV_GetDouble(data, "A");
  double iy = VIDUV_GetDouble(data, "Azz");
  double iz = VIDUV_GetDouble(data, "Ayy");
  // The catalogue hands its values relative to the centroid; the extreme fibres follow from the plates.
  double zs = s.CentroidZ();
  double wy = iy / std::max(zs, s.h - zs);
  double wz = iz / (std::max(s.bo, s.bu) / 2);

  const int result = VIDUV_FindOrAddChild(root, "result");
  if (!result) return 0;
  const struct {
    const char* name;
    double value;
  } rows[] = {
      {"A", area},
      {"Iy", iy},
      {"Iz", iz},
      {"Wy", wy},
      {"Wz", wz},
      {"bo", s.bo * 10},
      {"bu", s.bu * 10},
      {"h", s.h * 10},
      {"to", s.to * 10},
      {"tu", s.tu * 10},
      {"s", s.tw * 10},
      {"It", VIDUV_GetDouble(data, "Ito")},
      {"Wply", s.WplY()},
      {"Wplz", s.WplZ()},
      {"Mply", s.WplY() * kFy / 100},
      {"Mplz", s.WplZ() * kFy / 100},
      {"Npl", area * kFy},
      {"Qply", s.ShearAreaY() * kFy / std::sqrt(3.0)},
      {"Qplz", s.ShearAreaZ() * kFy / std::sqrt(3.0)},
  };
  for (const auto& row : rows) VIDUV_SetDouble(result, row.name, row.value);
  return 1;
}
