#include "column/lagerexport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "column/fundexport.h"
#include "column/kolumodata.h"
#include "framework/exports.h"
#include "platform/rtfx/rtfx.h"
#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"
#include "platform/win/dialogs/msgbox.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoData", text)); }

constexpr int kGroups = 15;  // evaluated groups; index 15 is the name of the extremal superposition
constexpr int kSupports = 20;
constexpr int kComponents = 5;
// Reactions within this magnitude count as none.
constexpr double kNull = 0.001;
// Start values of the extremes.
constexpr double kStart = 1e8;
// Factors at or below this leave a load case out of a combination.
constexpr double kMinFaktor = 0.1;

constexpr const char* kGroupNames[kGroups + 1] = {"ständig",       "Verkehr add.1",   "Verkehr add.2",  "Verkehr add.3",
                                                  "Verkehr add.4", "Verkehr add.5",   "Verkehr alt.1",  "Verkehr alt.2",
                                                  "Verkehr alt.3", "Verkehr alt.4",   "Verkehr alt.5",  "Verkehr alt.6",
                                                  "Verkehr alt.7", "außergewöhnlich", "G eigenständig", "extremal"};

enum Component { kAx, kAy, kAz, kAmx, kAmy };

// One direction of the reaction folders: its force and, except for z, its moment.
struct Direction {
  int table;  // direction code of the table header: 0 x, 1 y, 2 z
  const char* axis;
  Component force;
  const char* forceName;
  int moment;  // -1 for none
  const char* momentName;
};
constexpr Direction kDirections[3] = {
    {2, "z-z", kAz, "Az", -1, nullptr}, {0, "x-x", kAx, "Ax", kAmx, "Amx"}, {1, "y-y", kAy, "Ay", kAmy, "Amy"}};

using SupportValues = std::array<double, kComponents>;
using GroupTable = std::array<std::array<SupportValues, kSupports>, kGroups>;

bool Significant(double value) { return std::fabs(value) > kNull; }

CString Formatted(const char* pattern, int a) {
  CString text;
  text.Format(Tr(pattern).GetString(), a);
  return text;
}
CString Formatted(const char* pattern, int a, int b) {
  CString text;
  text.Format(Tr(pattern).GetString(), a, b);
  return text;
}

// The group index of every load case of the final system, in load-case order; false when a load case has no
// action (then no group is exported). An action keeps the group it got first, wherever its load cases stand.
bool AssignGroups(const CLKData& lk, std::vector<int>& groups) {
  struct Counter {
    int value;
    int limit;
    const char* message;
  };
  Counter additive{0, 5,
                   "Achtung Sie haben mehr als 5 additive Einwirkungen vergeben.\nAlle additiven Einwirkungen >5 "
                   "werden der Gruppe 5 zugewiesen."};
  Counter alternative{5, 12,
                      "Achtung Sie haben mehr als 7 alternative Einwirkungen vergeben.\nAlle alternativen Einwirkungen "
                      ">7 werden der Gruppe 7 zugewiesen."};
  Counter accidental{12, 13,
                     "Achtung Sie haben mehr als 1 aussergewöhnliche Einwirkungen vergeben.\nAlle weiteren "
                     "aussergewöhnlichen Einwirkungen werden der Gruppe 1 zugewiesen."};
  std::map<int, int> groupOfAction;
  groups.clear();
  for (const CLKLastfall& lastfall : lk.lastfaelle) {
    // A load case without an action, or with one that does not exist, belongs to no group.
    const CEinwirkung* action = nullptr;
    for (const CEinwirkung& e : lk.einwirkungen) {
      if (lastfall.einw > 0 && e.nr == lastfall.einw) {
        action = &e;
        break;
      }
    }
    if (!action) return false;
    if (auto known = groupOfAction.find(action->nr); known != groupOfAction.end()) {
      groups.push_back(known->second);
      continue;
    }
    int group = 0;
    if (action->indexGruppeHHHH != 0) {
      Counter& counter = action->indexGruppeHHHH == 1   ? additive
                         : action->indexGruppeHHHH == 2 ? alternative
                                                        : accidental;
      if (++counter.value > counter.limit) {
        AfxMessageBox(Tr(counter.message), MB_OK);
        counter.value = counter.limit;
      }
      group = counter.value;
    }
    groupOfAction[action->nr] = group;
    groups.push_back(group);
  }
  return true;
}

// Adds the characteristic reactions of load case n (records with LK -n) to the sum table.
void AddLastfall(const CResultContainer& results, int n, std::array<SupportValues, kSupports>& sum) {
  for (const auto& record : results.Fundkraefte) {
    if (record->LK != -n) continue;
    for (int m = 0, rows = FundkraefteZeilen(*record); m < rows; ++m) {
      const int s = record->KNr[m];
      if (s < 0 || s >= kSupports) continue;
      sum[s][kAx] += record->Apx[m];
      sum[s][kAy] += record->Apy[m];
      sum[s][kAz] -= record->Apz[m];
      sum[s][kAmx] += record->Amx[m];
      sum[s][kAmy] += record->Amy[m];
    }
  }
}

// Extremes per group over the combinations of the final system; false when no combination was evaluated, so
// that the start values are never taken for reactions.
bool GroupExtremes(const CKolumoData& data, const std::vector<int>& groups, GroupTable& maxima, GroupTable& minima) {
  const CLKData& lk = data.lastUeberlagerungBZ[0];
  const auto& fund = data.ergebnisse.Fundkraefte;
  for (auto& group : maxima)
    for (auto& support : group) support.fill(-kStart);
  for (auto& group : minima)
    for (auto& support : group) support.fill(kStart);
  // The first combination of the list is not evaluated.
  if (lk.kombinationen.GetSize() < 2) return false;

  std::array<SupportValues, kSupports> sum{};
  CKolumoData::KombiFaktoren faktoren{};
  for (INT_PTR k = 1; k < lk.kombinationen.GetSize(); ++k) {
    const CKombination& kombination = lk.kombinationen[k];
    CKolumoData::ParseKombiFormel(kombination.regelUser.IsEmpty() ? kombination.regel : kombination.regelUser,
                                  faktoren);
    for (int g = 0; g < kGroups; ++g) {
      for (auto& support : sum) support.fill(0.0);
      for (std::size_t lf = 0; lf < groups.size() && lf < faktoren.size(); ++lf) {
        if (faktoren[lf] <= kMinFaktor || groups[lf] != g) continue;
        if (lf >= fund.size() || fund[lf]->LK >= 0) continue;
        AddLastfall(data.ergebnisse, int(lf) + 1, sum);
      }
      // A combination without the group's load cases contributes zeros.
      for (int s = 0; s < kSupports; ++s)
        for (int c = 0; c < kComponents; ++c) {
          maxima[g][s][c] = std::max(maxima[g][s][c], sum[s][c]);
          minima[g][s][c] = std::min(minima[g][s][c], sum[s][c]);
        }
    }
  }
  return true;
}

void Blank(int count) {
  for (int i = 0; i < count; ++i) RTFX_Text(" ");
}

// A block is one table: the force part and, for x and y, the moment part under it with header lines of its own
// (thirteen columns side by side would not fit a portrait page with the numbers at a legible size). One table keeps
// the two parts on one page.
void PrintGroupRow(const Direction& d, int s, int g, const SupportValues& max, const SupportValues& min) {
  for (int teil : {kKraftTeil, kMomentTeil}) {
    if (teil == kMomentTeil && d.moment < 0) break;
    const std::size_t c = std::size_t(teil == kKraftTeil ? int(d.force) : d.moment);
    if (teil == kKraftTeil)
      WriteReactionTableHeader(d.table, teil);
    else
      WriteReactionHeaderLines(d.table, teil, false);
    RTFX_CellInt("@0", s);
    RTFX_CellInt("@0", g + 1);
    RTFX_Text(kGroupNames[g]);
    RTFX_CellDouble("@2", max[c]);
    RTFX_CellDouble("@2", min[c]);
    Blank(3);
  }
  RTFX_EndTable();
  RTFX_Paragraph(0, "");
}

// The five values of one component: extremal maximum, minimum, g-value, maximum - g, minimum - g.
std::array<double, 5> ExtremalValues(double max, double min, double g) { return {max, min, g, max - g, min - g}; }

void PrintExtremalRow(const Direction& d, int s, const SupportValues& max, const SupportValues& min,
                      const SupportValues& g) {
  for (int teil : {kKraftTeil, kMomentTeil}) {
    if (teil == kMomentTeil && d.moment < 0) break;
    const std::size_t c = std::size_t(teil == kKraftTeil ? int(d.force) : d.moment);
    if (teil == kKraftTeil)
      WriteReactionTableHeader(d.table, teil);
    else
      WriteReactionHeaderLines(d.table, teil, false);
    RTFX_CellInt("@0", s);
    RTFX_Text(" ");
    RTFX_Text(kGroupNames[kGroups]);
    for (double v : ExtremalValues(max[c], min[c], g[c])) RTFX_CellDouble("@2", v);
  }
  RTFX_EndTable();
  RTFX_Paragraph(0, "");
}

class ReactionWriter {
 public:
  ReactionWriter(int exports, bool report) : exports_(exports), report_(report) {}

  // Per group and support: the blocks of every direction with a reaction. Returns the number of blocks written.
  int WriteGroups(const GroupTable& maxima, const GroupTable& minima) {
    int blocks = 0;
    for (int s = 0; s < kSupports; ++s)
      for (int g = 0; g < kGroups; ++g)
        for (const Direction& d : kDirections) {
          const SupportValues& max = maxima[g][s];
          const SupportValues& min = minima[g][s];
          bool written = Significant(max[d.force]) || Significant(min[d.force]);
          if (d.moment >= 0) written = written || Significant(max[d.moment]) || Significant(min[d.moment]);
          if (!written) continue;
          ++blocks;
          if (report_) PrintGroupRow(d, s, g, max, min);
          CString pattern;
          pattern.Format("Auflager%%d\\%s\\%%d: %%s\\", d.axis);
          CString folder;
          folder.Format(Tr(pattern).GetString(), s, g + 1, kGroupNames[g]);
          WriteGroupValue(folder, d.forceName, s, g, max[d.force], min[d.force], "kN");
          if (d.moment >= 0) WriteGroupValue(folder, d.momentName, s, g, max[d.moment], min[d.moment], "kNm");
        }
    return blocks;
  }

  void WriteExtremal(const GroupTable& maxima, const GroupTable& minima) {
    for (int s = 0; s < kSupports; ++s) {
      SupportValues max{}, min{};
      for (int g = 0; g < kGroups; ++g)
        for (int c = 0; c < kComponents; ++c) {
          max[c] += maxima[g][s][c];
          min[c] += minima[g][s][c];
        }
      const SupportValues& gValues = minima[0][s];
      for (const Direction& d : kDirections) {
        bool written = Significant(max[d.force]) || Significant(min[d.force]);
        if (d.moment >= 0) written = written || Significant(max[d.moment]) || Significant(min[d.moment]);
        if (!written) continue;
        if (report_) PrintExtremalRow(d, s, max, min, gValues);
        CString pattern;
        pattern.Format("Auflager%%d\\%s\\extremal\\", d.axis);
        const CString folder = Formatted(pattern, s);
        WriteExtremalValues(folder, d.forceName, s, ExtremalValues(max[d.force], min[d.force], gValues[d.force]), "kN");
        if (d.moment >= 0)
          WriteExtremalValues(folder, d.momentName, s, ExtremalValues(max[d.moment], min[d.moment], gValues[d.moment]),
                              "kNm");
      }
    }
  }

  void WriteDesign(const CResultContainer& results) {
    for (const auto& record : results.Fundkraefte) {
      if (record->LK <= 0) continue;
      const int lk = record->LK;
      for (int m = 0, rows = FundkraefteZeilen(*record); m < rows; ++m) {
        const int s = record->KNr[m];
        if (s < 0 || s >= kSupports) continue;
        if (Significant(record->Apz[m])) {
          const CString folder = Formatted("Auflager%d\\z-z\\LK[%d](design)\\", s, lk);
          Value(folder, "Az", Formatted("A%dLK%d_Az", s, lk), -record->Apz[m], "kN");
        }
        if (Significant(record->Apy[m] + record->Amy[m] + record->dAmy[m])) {
          const CString folder = Formatted("Auflager%d\\y-y\\LK[%d](design)\\", s, lk);
          Value(folder, "Ay", Formatted("A%dLK%d_Ay", s, lk), record->Apy[m], "kN");
          Value(folder, "Amy", Formatted("A%dLK%d_Amy", s, lk), record->Amy[m], "kNm");
          Value(folder, "Admy", Formatted("A%dLK%d_Admy", s, lk), record->dAmy[m], "kNm");
        }
        if (Significant(record->Apx[m] + record->Amx[m] + record->dAmx[m])) {
          const CString folder = Formatted("Auflager%d\\x-x\\LK[%d](design)\\", s, lk);
          Value(folder, "Ax", Formatted("A%dLK%d_Ax", s, lk), record->Apx[m], "kN");
          Value(folder, "Amx", Formatted("A%dLK%d_Amx", s, lk), record->Amx[m], "kNm");
          Value(folder, "Admx", Formatted("A%dLK%d_Admx", s, lk), record->dAmx[m], "kNm");
        }
      }
    }
  }

 private:
  void Value(const CString& folder, const char* desc, const CString& varName, double value, const char* unit) {
    WriteExportValue(exports_, folder, Tr(desc), varName, value, unit);
  }

  void WriteGroupValue(const CString& folder, const char* name, int s, int g, double max, double min,
                       const char* unit) {
    CString desc, pattern;
    desc.Format("max %s", name);
    pattern.Format("A%%dLF%%d_max%s", name);
    Value(folder, desc, Formatted(pattern, s, g + 1), max, unit);
    desc.Format("min %s", name);
    pattern.Format("A%%dLF%%d_min%s", name);
    Value(folder, desc, Formatted(pattern, s, g + 1), min, unit);
  }

  void WriteExtremalValues(const CString& folder, const char* name, int s, const std::array<double, 5>& values,
                           const char* unit) {
    static constexpr const char* kDesc[5] = {"max %s", "min %s", "%s (g)", "%s (max-g)", "%s (min-g)"};
    static constexpr const char* kVar[5] = {"A%%d_max%s_extr", "A%%d_min%s_extr", "A%%d_g%s_extr", "A%%d_maxg%s_extr",
                                            "A%%d_ming%s_extr"};
    for (int i = 0; i < 5; ++i) {
      CString desc, pattern;
      desc.Format(kDesc[i], name);
      pattern.Format(kVar[i], name);
      Value(folder, desc, Formatted(pattern, s), values[std::size_t(i)], unit);
    }
  }

  int exports_;
  bool report_;
};

// The exports element with the column's reaction folders of an earlier write removed; what the common part of the
// position wrote there (exported variables, the document part's values) stays.
int PrepareReactionFolders(int root) {
  const int exports = VIDUV_FindOrAddChild(root, "exports");
  for (int folder = VIDUV_FindFirstChild(exports, "folder"); folder;) {
    const int next = VIDUV_FindNextChild(folder, "folder");
    const CString desc = VIDUV_GetString(folder, "desc");
    for (int s = 0; s < kSupports; ++s) {
      if (desc == Formatted("Auflager%d", s)) {
        VIDUV_DeleteElement(folder);
        break;
      }
    }
    folder = next;
  }
  return exports;
}

}  // namespace

CString PositionBasePath(const char* fileName) {
  CString base = fileName ? fileName : "";
  if (base.GetLength() >= 4 && base.Right(4).CompareNoCase(".tqx") == 0) base = base.Left(base.GetLength() - 4);
  return base;
}

void WriteReactionHeaderLines(int direction, int teil, bool header) {
  const char* axis = direction == 0 ? "x" : direction == 1 ? "y" : "z";
  const bool moment = teil == kMomentTeil;
  CString a;
  a.Format(moment ? "Am\\sub %s" : "A\\sub %s", axis);
  const char* unit = moment ? "[kNm]" : "[kN]";
  const CString line1[kReactionColumns] = {"Auf-", "Lf.-", "Typ", "max.", "min.", a, a, a};
  const CString line2[kReactionColumns] = {"lager", "Nr.:", " ", a, a, "\\sub (g)", "\\sub (max-g)", "\\sub (min-g)"};
  const char* const line3[kReactionColumns] = {"[-]", "[-]", "[-]", unit, unit, unit, unit, unit};
  // header rows are bold by themselves; lines within the body are set bold here
  const CString fett = header ? "" : "\\b ";
  for (const CString& text : line1) RTFX_Text(fett + Tr(text));
  for (const CString& text : line2) RTFX_Text(fett + Tr(text));
  for (const char* text : line3) RTFX_Text(fett + text);
}

void WriteReactionTableHeader(int direction, int teil) {
  // Wide enough for "außergewöhnlich" and for reactions of six digits with their sign at the report's 9 pt.
  static constexpr double kWidths[kReactionColumns] = {1.2, 1.2, 2.9, 2.0, 2.0, 2.0, 2.0, 2.0};
  RTFX_BeginTable(kReactionColumns, kWidths);
  RTFX_HeaderRow(1);
  WriteReactionHeaderLines(direction, teil, true);
  RTFX_HeaderRow(0);
}

void WriteExports(CKolumoData& data, int document, int mode) {
  const bool report = mode == kReportModus;
  const int root = VIDUV_GetRootElement(document);
  if (!root) return;
  const int exports = PrepareReactionFolders(root);
  if (data.ergebnisse.Fundkraefte.empty()) return;

  std::vector<int> groups;
  if (!AssignGroups(data.lastUeberlagerungBZ[0], groups)) return;

  // Working tables of fixed size (two of 1,500 doubles), built once per call.
  auto maxima = std::make_unique<GroupTable>();
  auto minima = std::make_unique<GroupTable>();
  ReactionWriter writer(exports, report);
  if (GroupExtremes(data, groups, *maxima, *minima)) {
    if (writer.WriteGroups(*maxima, *minima) >= 2) writer.WriteExtremal(*maxima, *minima);
  }
  if (report) RTFX_Paragraph(0, " ");
  writer.WriteDesign(data.ergebnisse);

  if (data.FudPos && data.bSchreibeErgebnisse) {
    const CString fileName = VIDUV_GetCompleteFileName(document);
    if (!fileName.IsEmpty()) WriteFoundationPosition(data, PositionBasePath(fileName));
  }
}
