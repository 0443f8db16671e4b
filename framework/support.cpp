#include "framework/support.h"

#include "framework/fieldlist.h"
#include "platform/viduv/viduv.h"

namespace {

const char* const kValueNames[CSupport::kSpringCount] = {"cx", "cy", "cz", "cmx", "cmy", "cmz", "cwoelb"};
const char* const kTypeNames[CSupport::kSpringCount] = {"cxTyp",  "cyTyp",  "czTyp", "cmxTyp",
                                                        "cmyTyp", "cmzTyp", "cwTyp"};
const char* const kSpringNames[CSupport::kSpringCount] = {"SDcx", "SDcy", "SDcz", "SDcmx", "SDcmy", "SDcmz", "SDcw"};

// The keys of one side carry its prefix: "o" above, "u" below.
CString Key(char prefix, const char* name) { return CString(prefix) + name; }

template <class V, class S>
void SideFields(const V& v, char p, S& s) {
  v.Double(Key(p, "emod"), s.emod);
  v.Double(Key(p, "grad"), s.grad);
  v.Double(Key(p, "h"), s.h);
  v.Double(Key(p, "qkd"), s.qkd);
  v.Double(Key(p, "qrb"), s.qrb);
  v.Double(Key(p, "qrd"), s.qrd);
  v.Int(Key(p, "qtyp"), s.qtyp);
  v.Int(Key(p, "lage"), s.lage);
  v.String(Key(p, "ProfFamily"), s.ProfFamily);
  v.String(Key(p, "Profile"), s.Profile);
  v.Double(Key(p, "Iy"), s.Iy);
}

// A side's values are stored only while the side is enabled.
template <class V, class D>
void SpringFields(const V& v, D& d) {
  v.Int("bDrehfeder", d.bDrehfeder);
  v.Int("bEnableOben", d.bEnableOben);
  if (d.bEnableOben) SideFields(v, 'o', d.oben);
  v.Int("bEnableUnten", d.bEnableUnten);
  if (d.bEnableUnten) SideFields(v, 'u', d.unten);
}

}  // namespace

void CSpringData::WriteData(int element) const { SpringFields(FieldWriter(element), *this); }

void CSpringData::ReadData(int element) { SpringFields(FieldReader(element), *this); }

CSupport::CSupport() = default;

CSupport::CSupport(const CSupport& other) { *this = other; }

CSupport& CSupport::operator=(const CSupport& other) {
  if (this == &other) return *this;
  for (int i = 0; i < kSpringCount; ++i) {
    *Value(i) = *const_cast<CSupport&>(other).Value(i);
    *Type(i) = *const_cast<CSupport&>(other).Type(i);
    *Spring(i) = *other.Spring(i);
  }
  posX = other.posX;
  length = other.length;
  ey = other.ey;
  ez = other.ez;
  node = other.node;
  presetIdx = other.presetIdx;
  return *this;
}

CFormulaNumber* CSupport::Value(int idx) {
  CFormulaNumber* values[kSpringCount] = {&cx, &cy, &cz, &cmx, &cmy, &cmz, &cwoelb};
  return idx >= 0 && idx < kSpringCount ? values[idx] : nullptr;
}

int* CSupport::Type(int idx) {
  int* types[kSpringCount] = {&cxTyp, &cyTyp, &czTyp, &cmxTyp, &cmyTyp, &cmzTyp, &cwTyp};
  return idx >= 0 && idx < kSpringCount ? types[idx] : nullptr;
}

CSpringData* CSupport::Spring(int idx) {
  return const_cast<CSpringData*>(static_cast<const CSupport*>(this)->Spring(idx));
}

const CSpringData* CSupport::Spring(int idx) const {
  const CSpringData* springs[kSpringCount] = {&SDcx, &SDcy, &SDcz, &SDcmx, &SDcmy, &SDcmz, &SDcw};
  return idx >= 0 && idx < kSpringCount ? springs[idx] : nullptr;
}

void CSupport::GetValueByIdx(int idx, CFormulaNumber& value, int& type) {
  if (idx < 0 || idx >= kSpringCount) {
    AfxMessageBox("CSupport::GetValueByIdx: Wrong idx!");
    return;
  }
  value = *Value(idx);
  type = idx == 6 ? 0 : *Type(idx);
}

void CSupport::SetValueByIdx(int idx, const CFormulaNumber& value, int type) {
  if (idx < 0 || idx >= kSpringCount) {
    AfxMessageBox("CSupport::SetValueByIdx: Wrong idx!");
    return;
  }
  *Value(idx) = value;
  *Type(idx) = idx == 6 ? 0 : type;
}

CSpringData CSupport::GetSpringDataByIdx(int idx) const {
  if (idx < 0 || idx >= kSpringCount) {
    AfxMessageBox("CSupport::GetSpringDataByIdx: Wrong idx!");
    CSpringData record;
    if (idx < 0) record.bDrehfeder = record.bEnableOben = 0;
    return record;
  }
  CSpringData record = *Spring(idx);
  if (idx <= 2) record.bDrehfeder = record.bEnableOben = 0;
  return record;
}

void CSupport::SetSpringDataByIdx(int idx, const CSpringData& record) {
  if (idx < 0 || idx >= kSpringCount) {
    AfxMessageBox("CSupport::SetSpringDataByIdx: Wrong idx!");
    return;
  }
  *Spring(idx) = record;
}

// A degree of restraint p (%) becomes the stiffness p F K 0.03 / ((1 - p/100) D 100000). Full restraint has no
// finite stiffness: a p of 100 or more is left as it is, with a message, rather than divided by zero.
void CSupport::ConvertPercent() {
  if (divisor == 0.0) return;
  struct Item {
    CFormulaNumber& value;
    int& type;
    double factor;
    const char* name;
  } items[] = {{cmx, cmxTyp, factorXZ, "cmx"}, {cmy, cmyTyp, factorY, "cmy"}, {cmz, cmzTyp, factorXZ, "cmz"}};
  for (Item& item : items) {
    if (item.type != 1) continue;
    double p = item.value.GetValue();
    if (p >= 100.0) {
      CString text;
      text.Format("CSupport::WriteData: %s = %lg %% kann nicht in eine Federsteifigkeit umgerechnet werden.", item.name,
                  p);
      AfxMessageBox(text);
      continue;
    }
    item.value = p * item.factor * commonFactor * 0.03 / ((1.0 - p / 100.0) * divisor * 100000.0);
    item.type = 0;
  }
}

void CSupport::WriteData(int element) {
  ConvertPercent();
  for (int i = 0; i < kSpringCount; ++i) SetXmlFormulaNumber(element, kValueNames[i], *Value(i));
  if (node >= 0) {
    VIDUV_SetInt(element, "node", node);
    SetXmlFormulaNumber(element, "posX", posX);
    SetXmlFormulaNumber(element, "length", length);
    SetXmlFormulaNumber(element, "ey", ey);
    SetXmlFormulaNumber(element, "ez", ez);
  }
  for (int i = 0; i < kSpringCount; ++i) VIDUV_SetInt(element, kTypeNames[i], *Type(i));
  for (int i = 0; i < kSpringCount; ++i) {
    // An element written before keeps no stale record.
    while (int old = VIDUV_FindFirstChild(element, kSpringNames[i])) {
      if (!VIDUV_DeleteElement(old)) break;
    }
    if (*Type(i) != 2) continue;
    Spring(i)->WriteData(VIDUV_AddChildElement(element, kSpringNames[i]));
  }
}

void CSupport::ReadData(int element) {
  for (int i = 0; i < kSpringCount; ++i) Value(i)->ReadXML(element, kValueNames[i]);
  node = VIDUV_GetIntWithDefault(element, "node", -1, 1);
  posX.ReadXML(element, "posX");
  length.ReadXML(element, "length");
  ey.ReadXML(element, "ey");
  ez.ReadXML(element, "ez");
  for (int i = 0; i < kSpringCount; ++i) *Type(i) = VIDUV_GetInt(element, kTypeNames[i]);
  for (int i = 0; i < kSpringCount; ++i) {
    if (*Type(i) != 2) continue;
    if (int child = VIDUV_FindFirstChild(element, kSpringNames[i])) Spring(i)->ReadData(child);
  }
}
