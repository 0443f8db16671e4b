// One support of a member system: its node or position, seven spring values (translations x, y, z, rotations
// x, y, z, warping), each with a type code, and for each direction the description of a spring formed by the
// members above and below the support. Persisted as one element whose name is the caller's.
#pragma once

#include "formula/formulanumber.h"
#include "platform/win/afx.h"

// A spring formed by the member above ("o" keys) and below ("u" keys) a support.
class CSpringData {
 public:
  // One side's member: material, degree of fixity, height and section.
  struct Side {
    double emod = 30000.0;  // MN/m²
    double grad = 100.0;    // %
    double h = 3.0;         // m
    double qkd = 30.0;      // cm
    double qrb = 30.0;      // cm
    double qrd = 20.0;      // cm
    int qtyp = 0;
    int lage = 0;
    CString ProfFamily = "HEA";
    CString Profile = "HEA 120";
    double Iy = 0.0;

    bool operator==(const Side& other) const = default;
  };

  void ReadData(int element);
  void WriteData(int element) const;
  bool operator==(const CSpringData& other) const = default;

  int bDrehfeder = 1;
  int bEnableOben = 1;
  Side oben;
  int bEnableUnten = 1;
  Side unten;
};

class CSupport {
 public:
  static constexpr int kSpringCount = 7;

  CSupport();
  CSupport(const CSupport& other);
  virtual ~CSupport() = default;
  CSupport& operator=(const CSupport& other);

  // idx 0-5: spring value and type; 6: the warping value with type 0. Another idx: a message, outputs unchanged.
  void GetValueByIdx(int idx, CFormulaNumber& value, int& type);
  void SetValueByIdx(int idx, const CFormulaNumber& value, int type);
  // A copy of spring record idx; for the translations (0-2) with bDrehfeder and bEnableOben cleared.
  CSpringData GetSpringDataByIdx(int idx) const;
  void SetSpringDataByIdx(int idx, const CSpringData& record);

  void ReadData(int element);
  // Converts a degree of restraint in percent into a stiffness first (see the auxiliary values).
  void WriteData(int element);

  CFormulaNumber cx, cy, cz;
  CFormulaNumber cmx, cmy, cmz;
  CFormulaNumber cwoelb;
  CFormulaNumber posX;
  CFormulaNumber length;
  CFormulaNumber ey, ez;
  int presetIdx = 0;  // kept for the member-system grid; copied, never stored
  int node = -1;
  int cxTyp = 0, cyTyp = 0, czTyp = 0, cmxTyp = 0, cmyTyp = 0, cmzTyp = 0, cwTyp = 0;
  CSpringData SDcx, SDcy, SDcz, SDcmx, SDcmy, SDcmz, SDcw;
  // Set by the owner before writing when rotational types 1 (degree of restraint in %) are to be converted:
  // a factor for cmx and cmz, a factor for cmy, a common factor and a divisor (0: no conversion).
  double factorXZ = 0.0;
  double factorY = 0.0;
  double commonFactor = 0.0;
  double divisor = 0.0;

 private:
  CFormulaNumber* Value(int idx);
  int* Type(int idx);
  CSpringData* Spring(int idx);
  const CSpringData* Spring(int idx) const;
  void ConvertPercent();
};
