// The entered bars of each field against what the calculation leaves to be built.
#include <algorithm>

#include "column/kolumodata.h"
#include "designcode/designcode.h"
#include "framework/firedimension.h"

int CKolumoQuer::EnteredBarCount() const {
  if (type == 1 || type == 2) return designcode::kRoundRingBars;  // one ring of bars
  if (type != 0) return 0;
  switch (bewType) {
    case 0: return 4;
    case 1: return 8;
    case 2: return 16;
    default: return 0;
  }
}

double CKolumoQuer::EnteredArea() {
  const double a = as.GetValue();
  const bool perBar = type == 0 && (bewType == 0 || bewType == 1);
  return perBar ? a * EnteredBarCount() : a;
}

int CKolumoQuer::InnerRingBarCount() const { return type == 2 ? designcode::kRoundRingBars : 0; }

double CKolumoQuer::InnerRingArea() const { return type == 2 ? designcode::kRoundLeastArea : 0.0; }

CString FireFailureText(const FireFailure& f, int iNorm, CString (*tr)(const char*)) {
  const designcode::DesignCode* code = designcode::ByInput(iNorm);
  CString text;
  switch (f.reason) {
    case kBrandAbmessungen:
      // the record keeps cm, the tables speak mm
      text.Format(tr("erforderlich b = %.0f mm und a = %.0f mm, vorhanden b = %s mm und a = %s mm"),
                  RequiredFireMm(f.bRequired), RequiredFireMm(f.aRequired), PresentFireMmText(f.bPresent).c_str(),
                  PresentFireMmText(f.aPresent).c_str());
      break;
    case kBrandBewehrungsgrad: {
      const int limit = code ? code->fireRatioPercent : 0;
      // a design stopped at the limit that still does not carry its forces is refused with the limit's own ratio
      if (designcode::Exceeds(f.ratio, limit))
        text.Format(tr("Bewehrungsgrad > %d %% (die Brandschutzbemessung erfordert %.2f %%)"), limit,
                    designcode::ExceedingRatio(f.ratio));
      else
        text.Format(tr("Bewehrungsgrad > %d %% (die Brandschutzbemessung erfordert mehr als %d %%)"), limit, limit);
      break;
    }
    case kBrandOhneTabellen:
      text.Format(tr("Brandschutznachweis nach %s nicht möglich: für diese Norm gibt es keine Brandschutztabellen"),
                  code ? code->name : "");
      break;
    default: text = tr("die Tabellen sind nicht erfüllt"); break;
  }
  return text;
}

std::vector<FieldReinforcement> CompareFieldReinforcement(CKolumoData& data) {
  std::vector<FieldReinforcement> fields;
  const int n = int(std::min<INT_PTR>(data.nFields(), data.querschnitte.GetSize()));
  for (int f = 0; f < n; ++f) {
    bool found = false;
    double required = 0.0;
    for (const auto& record : data.ergebnisse.ErfAs) {
      const std::size_t m = std::min(record->As.size(), record->QuerNr.size());
      for (std::size_t i = 0; i < m; ++i)
        if (record->QuerNr[i] == f + 1) {
          required = found ? std::max(required, record->As[i]) : record->As[i];
          found = true;
        }
    }
    if (!found) return {};
    CKolumoQuer& q = data.querschnitte[f];
    FieldReinforcement r;
    r.field = f + 1;
    r.bars = q.EnteredBarCount();
    r.entered = q.EnteredArea();
    r.innerBars = q.InnerRingBarCount();
    r.innerRing = q.InnerRingArea();
    r.required = required;
    // The run starts from the entered bars (and a ring's inner ring, which its total counts) and gives them back
    // unchanged where nothing needed more: a rounding difference is no raise.
    const double built = r.entered + r.innerRing;
    r.suffices = required <= built * (1.0 + 1e-4) + 1e-4;
    fields.push_back(r);
  }
  return fields;
}
