#include "framework/results.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "framework/basedata.h"
#include "framework/utilities.h"
#include "platform/richedit/richtext.h"
#include "platform/viduv/viduv.h"

namespace {

constexpr double kZeroBand = 0.0001;
constexpr const char* kNoOutputText = "\n\nAusgabedatei nicht vorhanden!";

CString FormatValue(const char* prefix, int digits, double value, const CString& unit) {
  CString text;
  text.Format("%s%.*lf %s", prefix, digits, value, unit.GetString());
  return text;
}

// The bytes of a binary attribute when it holds exactly `count` items of four bytes.
template <class T>
bool ReadExact(int attribute, std::int64_t count, CArray<T, T>& out) {
  static_assert(sizeof(T) == 4);
  std::int64_t bytes = count * 4;
  if (count <= 0 || bytes > 0x7fffffff || VIDUV_GetBinDataByHandle(attribute, nullptr, 0) != bytes) return false;
  out.SetSize(INT_PTR(count));
  return VIDUV_GetBinDataByHandle(attribute, out.GetData(), int(bytes)) == bytes;
}

}  // namespace

// --- CResultEntry ---

int CResultEntry::FloatsPerPoint(int type) {
  switch (type) {
    case 0: return 2;
    case 1: return 7;
    case 2:
    case 3: return 3;
    default: return 0;
  }
}

int CResultEntry::GetPointCount() const {
  int per = FloatsPerPoint(type);
  return per ? int(values.GetSize()) / per : 0;
}

void CResultEntry::CalcMinMax() {
  if (type != 0 && type != 2 && type != 3) return;
  const int per = FloatsPerPoint(type);
  const int n = GetPointCount();
  for (int i = 0; i < n; ++i) {
    float x = values[i * per];
    for (int k = 1; k < per; ++k) {
      float y = values[i * per + k];
      if (y < minValue) {
        minValue = y;
        minPosition = x;
      }
      if (y > maxValue) {
        maxValue = y;
        maxPosition = x;
      }
    }
  }
  extremePositions.Add(minPosition);
  extremePositions.Add(maxPosition);
  double range = double(maxValue) - double(minValue);
  bool straddlesZero = (minValue < 0 && maxValue > 0) || minValue == 0 || maxValue == 0;
  if (range >= kZeroBand && straddlesZero) return;
  if (maxValue >= 0)
    minValue = 0;
  else
    maxValue = 0;
}

void CResultEntry::InsertZeroPoints() {
  if (type == 0) {
    const int n = GetPointCount();
    const bool flagged = pointFlags.GetSize() == n;
    CArray<float, float> newValues;
    CArray<int, int> newFlags;
    for (int i = 0; i < n; ++i) {
      float x1 = values[2 * i];
      float y1 = values[2 * i + 1];
      newValues.Add(x1);
      newValues.Add(y1);
      if (flagged) newFlags.Add(pointFlags[i]);
      if (i + 1 == n) break;
      float x2 = values[2 * i + 2];
      float y2 = values[2 * i + 3];
      if ((y1 < -kZeroBand && y2 > kZeroBand) || (y1 > kZeroBand && y2 < -kZeroBand)) {
        newValues.Add(float(x1 + std::fabs(y1) * (x2 - x1) / std::fabs(y2 - y1)));
        newValues.Add(0.0f);
        if (flagged) newFlags.Add(0);
      }
    }
    values.Copy(newValues);
    if (flagged) pointFlags.Copy(newFlags);
  } else if (type == 2 && values.GetSize() >= 4) {
    const int n = GetPointCount();
    double sumDifference = 0.0;
    double largest = 0.0;
    for (int i = 0; i < n; ++i) {
      double y1 = values[3 * i + 1];
      double y2 = values[3 * i + 2];
      sumDifference += std::fabs(y1 - y2);
      largest = std::max({largest, std::fabs(y1), std::fabs(y2)});
    }
    if (sumDifference / n >= 0.01 * largest) return;
    for (int i = 0; i < n; ++i) {
      if (values[3 * i + 1] >= 0)
        values[3 * i + 1] = 0.0f;
      else
        values[3 * i + 2] = 0.0f;
    }
  }
}

double CResultEntry::Y(double v) const {
  return flip ? (v - minValue) * scale + offset : (maxValue - v) * scale + offset;
}

void CResultEntry::DrawDiagram(CDiagramTarget& plot) {
  if (type != 0 && type != 2 && type != 3) return;
  const int per = FloatsPerPoint(type);
  const int n = GetPointCount();
  if (n == 0) return;
  const double min = minValue;
  const double max = maxValue;
  auto X = [&](int i) { return double(values[i * per]); };
  auto V = [&](int i, int k) { return double(values[i * per + k]); };
  const double xStart = X(0);
  const double xEnd = X(n - 1);
  const double xRange = xEnd - xStart;
  double zeroY = Y(0.0);
  if (min > 0) zeroY = Y(min);
  if (max < 0) zeroY = offset;

  CArray<double, double> ticks;
  if (axisIntervals > 0) {
    if (nDigits < 1) {
      for (double t = std::ceil(min); t <= max + 0.5; t += 1.0) ticks.Add(t);
    } else {
      CArray<double, double> all;
      CalcAxisTicks(min, max, axisIntervals, all);
      for (double t : all)
        if (t >= min - 1e-9 && t <= max + 1e-9) ticks.Add(t);
    }
  }

  std::vector<double> labelPositions;
  const bool flagged = pointFlags.GetSize() == n;
  if (flagged)
    for (int i = 0; i < n; ++i)
      if (pointFlags[i]) labelPositions.push_back(X(i));

  if (!keepTextHeight) textHeight = xRange / 48.0;
  const double h = textHeight;
  auto label = [&](double v) { return bAbsolut ? std::fabs(v) : v; };

  auto band = [&](int i, int k, COLORREF colour) {
    double xs[4] = {X(i), X(i), X(i + 1), X(i + 1)};
    double ys[4] = {zeroY, Y(V(i, k)), Y(V(i + 1, k)), zeroY};
    plot.SetStyle(colour, 0, 0, TRUE);
    plot.AddPolygon(4, xs, ys);
    plot.SetStyle(0, 0, 0, FALSE);
    plot.AddLine(X(i), Y(V(i, k)), X(i + 1), Y(V(i + 1, k)));
  };
  const COLORREF lightBlue = RGB(181, 218, 255);
  const COLORREF lightRed = RGB(255, 90, 90);
  if (type == 0) {
    for (int i = 0; i + 1 < n; ++i) band(i, 1, (V(i, 1) + V(i + 1, 1)) / 2 > 0 ? lightBlue : lightRed);
  } else if (type == 2) {
    for (int i = 0; i + 1 < n; ++i) {
      band(i, 1, lightBlue);
      band(i, 2, lightBlue);
    }
  } else {
    const double halfWidth = 0.0125 * xRange;
    for (int i = 0; i < n; ++i) {
      double upper = V(i, 1);
      double lower = V(i, 2);
      if (std::fabs(upper) <= kZeroBand && std::fabs(lower) <= kZeroBand) continue;
      double xs[4] = {X(i) - halfWidth, X(i) + halfWidth, X(i) + halfWidth, X(i) - halfWidth};
      double ys[4] = {Y(upper), Y(upper), Y(lower), Y(lower)};
      plot.SetStyle(lightBlue, 0, 0, TRUE);
      plot.AddPolygon(4, xs, ys);
      plot.SetStyle(0, 0, 0, FALSE);
      if (std::fabs(upper - lower) <= kZeroBand) {
        // A single value is neither a maximum nor a minimum: one plain label at its end away from zero.
        const double y = upper > 0 ? Y(upper) - h : Y(lower) + h;
        plot.AddText(X(i), y, 0.0, h, FormatValue("", nDigits, label(upper), unit));
        continue;
      }
      plot.AddText(X(i), Y(upper) - h, 0.0, h,
                   FormatValue(upper > kZeroBand ? "Max=" : "", nDigits, label(upper), unit));
      plot.AddText(X(i), Y(lower) + h, 0.0, h, FormatValue("Min=", nDigits, label(lower), unit));
    }
  }

  const COLORREF grey = RGB(192, 192, 192);
  const double top = std::min(Y(max), Y(min));
  const double bottom = std::max(Y(max), Y(min));
  for (double x : labelPositions) {
    plot.SetStyle(grey, 2, 0, FALSE);
    if (labelsAbove)
      plot.AddLine(x, bottom, x, top - 2 * h);
    else
      plot.AddLine(x, top, x, bottom + 2 * h);
  }
  const double tickLabelX = labelX != 0.0 ? labelX : xStart - 4 * h;
  for (double t : ticks) {
    plot.SetStyle(grey, 2, 0, FALSE);
    plot.AddLine(xStart, Y(t), xEnd, Y(t));
    CString text;
    text.Format("%.*lf", nDigits, t);
    plot.SetStyle(0, 0, 0, FALSE);
    plot.AddText(tickLabelX, Y(t), 0.0, h, text);
  }
  plot.SetStyle(0, 0, 0, FALSE);
  if (min < kZeroBand && max > -kZeroBand) {
    plot.SetStyle(RGB(0, 0, 0), 0, 0, FALSE);
    plot.AddLine(xStart, Y(0.0), xEnd, Y(0.0));
    plot.SetStyle(0, 0, 0, FALSE);
  }

  if (type == 0 || type == 2) {
    auto valueLabel = [&](double x, double v) {
      double y = Y(v);
      double ly = labelsAbove ? top - 2 * h : bottom + 2 * h;
      plot.AddValueLabel(x, y, x, ly, h, 0.0, FormatValue("", nDigits, label(v), unit));
    };
    if (!flagged || labelPositions.empty()) {
      valueLabel(minPosition, minValue);
      if (maxPosition != minPosition || maxValue != minValue) valueLabel(maxPosition, maxValue);
    } else {
      std::vector<double> done;
      for (int i = 0; i < n; ++i) {
        if (!pointFlags[i] || std::find(done.begin(), done.end(), X(i)) != done.end()) continue;
        done.push_back(X(i));
        for (int k = 1; k < per; ++k) valueLabel(X(i), V(i, k));
      }
    }
  }

  if (withCaption) {
    CString caption = title;
    if (!unit.IsEmpty()) caption += " (" + unit + ")";
    plot.AddText(xStart, top - 3 * h, 0.0, h, caption);
  }
  plot.Invoke55();
}

void CalcAxisTicks(double min, double max, int n, CArray<double, double>& ticks) {
  ticks.RemoveAll();
  double range = max - min;
  if (std::fabs(range) < 1e-8) {
    ticks.Add(min);
    return;
  }
  if (range < 0) {
    std::swap(min, max);
    range = -range;
  }
  double step = std::pow(10.0, double(int(std::log10(range))));
  // Halved until the range holds at least half the wished number of steps: 0 to 10 for 4 gives 5.
  while (double(std::trunc(range / step)) < n / 2.0) step /= 2.0;
  for (long k = long(min / step - 0.5); k <= long(max / step + 0.5); ++k) ticks.Add(double(k) * step);
}

void ReadResultNode(int element, const CString& parentPath, int nNode, int nElem, CArray<CResultEntry>& entries) {
  if (VIDUV_GetIntWithDefault(element, "type", 0, 0) == -1) return;
  CResultEntry entry;
  entry.type = VIDUV_GetIntWithDefault(element, "type", 0, 0);
  entry.defaultHint = VIDUV_GetIntWithDefault(element, "default", 0, 0);
  entry.nDigits = VIDUV_GetIntWithDefault(element, "nDigits", 2, 0);
  bool hasTitle = false;
  std::int64_t dataLength = -1;
  int dataAttr = 0;
  int poiAttr = 0;
  for (int attr = VIDUV_GetFirstAttrHandle(element); attr; attr = VIDUV_GetNextAttrHandle(attr)) {
    CString name = VIDUV_GetAttrNameByHandle(attr);
    if (name == "title") {
      entry.title = VIDUV_GetStringByHandle(attr);
      hasTitle = true;
    } else if (name == "unit") {
      entry.unit = VIDUV_GetStringByHandle(attr);
      if (entry.unit == "-") entry.unit.Empty();
    } else if (name == "bAbsolut") {
      entry.bAbsolut = VIDUV_GetIntByHandle(attr);
    } else if (name == "dataLength") {
      dataLength = VIDUV_GetIntByHandle(attr);
      entry.perNode = dataLength == nNode;
    } else if (name == "data") {
      dataAttr = attr;
    } else if (name == "poi") {
      poiAttr = attr;
    } else if (name == "lkNr") {
      entry.lkNr = VIDUV_GetIntByHandle(attr);
    } else if (name == "resType") {
      entry.resType = VIDUV_GetIntByHandle(attr);
    }
  }
  // The data must hold exactly what dataLength announces, whatever order the attributes come in.
  const int per = CResultEntry::FloatsPerPoint(entry.type);
  bool hasData = dataAttr && dataLength > 0 && per > 0 && ReadExact(dataAttr, dataLength * per, entry.values);
  if (!hasData) entry.values.RemoveAll();
  if (hasData && poiAttr && !ReadExact(poiAttr, dataLength, entry.pointFlags)) entry.pointFlags.RemoveAll();

  entry.path = parentPath.IsEmpty() ? entry.title : parentPath + "\\" + entry.title;
  if (hasTitle && hasData) {
    entry.CalcMinMax();
    if (entry.resType == -1) entry.InsertZeroPoints();
    entries.Add(entry);
    return;
  }
  for (int child = VIDUV_GetFirstChild(element); child; child = VIDUV_GetNextChild(child))
    ReadResultNode(child, entry.path, nNode, nElem, entries);
}

// --- BaseData: results and output ---

void BaseData::ReadResults(int document) {
  resultEntries.RemoveAll();
  resultMessage.Empty();
  int result = VIDUV_FindFirstChild(VIDUV_GetRootElement(document), "result");
  if (!result) return;
  resultMessage = VIDUV_GetString(result, "message");
  int nNode = VIDUV_GetInt(result, "nNode");
  int nElem = VIDUV_GetInt(result, "nElem");
  for (int child = VIDUV_GetFirstChild(result); child; child = VIDUV_GetNextChild(child))
    ReadResultNode(child, CString(), nNode, nElem, resultEntries);
}

void BaseData::ShowOutput(CWnd* richText) {
  if (!richText) return;
  // The report is made anew when the input or the report changed since it was last written.
  CCalcAndStoreResult result;
  CalcAndStore(result, TRUE, FALSE);
  const CString output = GetOutputFileName();
  const bool exists = CDirList::FileExists(output);
  if (richText->IsKindOf(RUNTIME_CLASS(CRichText))) {
    CRichText* box = static_cast<CRichText*>(richText);
    if (!exists || !box->ShowFile(output)) box->ShowText(kNoOutputText);
    return;
  }
  richText->SetWindowText(kNoOutputText);
}

void BaseData::OpenOutput() {
  CCalcAndStoreResult result;
  CalcAndStore(result, TRUE, FALSE);
  if (CDirList::FileExists(GetOutputFileName())) OpenWithViewer(GetOutputFileName());
}

void BaseData::RecalcAndOpenOutput() {
  // Whatever the fingerprints say: calculated and reported again.
  ResetInputFingerprint();
  OpenOutput();
}
