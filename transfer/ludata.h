// Load transfer: the support reactions of one support of another position of the project, taken over as loads
// of this position. Each transfer is recomputed from its source position file whenever the position is read;
// the loads it produced and its action mapping are stored with it under "input\lastUebernahme".
#pragma once

#include <array>
#include <vector>

#include "formula/formulanumber.h"
#include "framework/basedata.h"
#include "framework/lkdata.h"
#include "framework/load.h"
#include "platform/win/afx.h"

// One set of reactions of one source action on one axis. Forces in kN, moments in kNm, positions in m.
class LUAuflager {
 public:
  LUAuflager() { Reset(); }

  void Reset();
  // Eccentricities, the unnamed number and the ten reaction values to 0; axis, action and texts stay.
  void ClearValues();
  // One of the ten reaction values exceeds 0.001 in magnitude.
  bool HasValues();
  bool HasForces(double limit);
  bool HasMoments(double limit);
  void ClearForces();
  void ClearMoments();

  int iRichtg = 0;    // axis of the force: 0 x, 1 y, 2 z
  int iRichtgM = -1;  // axis of the moment; -1 none
  int iEinw = 0;      // source action; 0 extremal values, -1 ignored
  CLoadCaseList lastfaelle;
  int iLastTyp = 0;  // 10 point load, 13 line load
  CString desc;
  CString EinwDesc;
  CFormulaNumber wert;
  CFormulaNumber xa, xl, ey, ez;
  CFormulaNumber Amax, Amin, Ag, Amax_g, Amin_g;
  CFormulaNumber Mmax, Mmin, Mg, Mmax_g, Mmin_g;
};

// Roles of a module code in a transfer (the suite's program descriptions give the codes).
struct LUModuleRoles {
  int kind = 0;               // 1 frame-like reactions, 2 slab, 3 crane runway, 0 other
  bool exportEinw = false;    // actions under "export_einw", spacing from "input\quer"
  bool roof = false;          // reactions per metre, multiplied by the spacing
  bool member = false;        // member: its axes keep their meaning
  bool columnOrWall = false;  // column or wall: moments turn with the other axis
  bool axisZ = false;         // every reaction acts on z (whole code)
  bool ewFolders = false;     // action folders numbered after "ew" (whole code)
  bool altAsGroup = false;    // alternative actions count as a group of their own
};
// The roles of a code by the table of known modules (prefix match; "whole code" roles need the whole code).
LUModuleRoles GetModuleRoles(const CString& code);

class LUData {
 public:
  LUData() { Reset(); }

  void Reset();
  // Reads the first (bFirst) or next "lu" child of `parent`; false when there is none.
  bool ReadData(int parent, bool bFirst);
  void WriteData(int parent);
  void ReadLoads(int element);

  // Recomputes the transfer from its source position.
  void Calc();
  void ReadSource(int destDoc, int sourceDoc);
  static CString GetModuleCode(int root);
  int GetSourceKind() const { return GetModuleRoles(progModul).kind; }
  bool IsSourceAltAsGroup() const { return GetModuleRoles(progModul).altAsGroup; }
  double GetSpacing(int sourceDoc);

  // The source's exports.
  bool IsSupportFolder(int element) const;
  void ReadExportFolder(int folder);
  void ReadAxisFolder(int element);
  void ReadActionFolder(int element);
  int MapColumnGroupNumber(int n) const;
  void ReadValue(int element);

  // Splitting, directions, load kind.
  void SplitAuflager();
  void PrepareAuflager(LUAuflager& record);
  bool MapDirections(LUAuflager& record);
  bool SetLoadKind(LUAuflager& record);

  // Action mapping.
  void CollectGroupEnvelopes();
  void MapActions();
  void NeedMaxMin(int group, int category, bool& needMax, bool& needMin);
  void CollectDestActions(int group, int category, CArray<CEinwirkung>& list) const;
  int FindFreeDestAction(int group, int category, int altGroup) const;
  const CEinwirkung* FindSourceAction(int number) const;
  int CreateDestAction(int source, int group, int category, int altGroup, int minFlag);
  void SetMapping(int source, int which, int dest);
  int GetMapping(int source, int which) const;
  void ResetAltGroups();
  int FreeAltGroup() const;
  void SetDestAltGroup(int dest, int group);

  // Loads.
  bool BuildLoads(LUAuflager& record);
  void BuildGroupLoads();
  CString GetLoadDescription(int source) const;
  void SortLoads();

  // Persisted.
  int version = 1;
  CString position;
  CString auflager;
  CString progModul;
  int einwModus = 0;
  int einwKatModus = 1;
  int richtung = 0;
  CFormulaNumber xa;
  CFormulaNumber xl;
  double e = 1.0;
  double Faktor = 1.0;
  bool eModByUser = false;
  int einzelLast = 0;
  int streckenLast = 0;
  bool aktiv = true;
  int einwMod = 0;
  CArray<int, int> EinwSrc2DestMax;
  CArray<int, int> EinwSrc2DestMin;
  CArray<Load> m_load;

  // Working fields.
  CString progModulDest;
  int sourceKind = 0;
  bool sourceAltAsGroup = false;
  CLKData sourceLK;
  BaseData* owner = nullptr;
  int luNr = 0;
  CArray<LUAuflager> auflagerListe;
  LUAuflager current;
  CStringArray richtungTexte;
  int destDocument = 0;
  // The source last opened; closed before Calc returns, or by the calculation's SourceReading when one is open.
  int sourceDocument = 0;
  CString cacheKey;
  int readCursor = 0;
  // Envelopes per axis (x, y, z) and quantity (Amax, Amin, Mmax, Mmin), indexed by alternative group.
  std::array<std::array<CArray<CFormulaNumber>, 4>, 3> envelopes;
  std::vector<bool> combine;
  CArray<int, int> assignedAltGroups;
  bool quiet = false;  // the message about a source without actions is not shown again
  // Why the last calculation could not read its source file ("Datei '...' nicht gefunden", ... "zu groß"); empty
  // when it was read.
  CString unreadSource;

 private:
  // Every stored attribute of the "lu" element, in stored order, for reading and writing alike.
  template <class V>
  void Fields(const V& v);
  CLKData* DestLK() const;
  // The file of the source position: `position` + ".tqx" beside the destination's file (none while the
  // destination has no file).
  CString SourcePath(int destDoc) const;
};

// The transfers of a position.
class LUDataList : public CLoadTransferList {
 public:
  void RemoveAll() override;
  void ReadData(int input) override;
  void WriteData(int input) override;
  void Recalc() override;
  void SetOwner(BaseData* ownerData) override { owner = ownerData; }

  INT_PTR GetSize() const { return INT_PTR(list.size()); }
  LUData& operator[](INT_PTR i) { return list.at(std::size_t(i)); }
  void Add(const LUData& data) { list.push_back(data); }
  // Removes transfer i with the owner's actions it created; the later transfers' actions are renumbered.
  void RemoveAt(INT_PTR i);

  std::vector<LUData> list;
  int version = 1;
  BaseData* owner = nullptr;
};

// Makes LUDataList the transfer list of every position built from now on.
void RegisterLoadTransfer();

// The transferred loads as input of one construction stage's calculation, so that they are calculated like loads
// entered by hand: every active transfer is recomputed against the stage's combination data (`lk`), whose actions
// it extends; each destination action that receives transferred loads gets one new load case (numbers after
// `maxLF`), and each transferred load becomes point loads of the column's form (type 10, val0 force, val1
// moment: x with My, y with Mx, z with Mz) at the node that lies `xa` below the head of the column (field lengths
// in m, head first). With `formCombinations` the combinations of `lk` are formed again when loads were added
// (combinations entered by hand are the engineer's to extend). Returns the number of load cases added; a load at
// no node is reported and left out.
int TransferLoadsToStage(BaseData& position, CLKData& lk, CArray<Load>& loads, int& maxLF,
                         CArray<CFormulaNumber>& fieldLengths, bool formCombinations = true);

// The transferred loads of one stage for the time of a calculation. The loads taken over belong to the transfers
// ("lastUebernahme"), not to the engineer's own loads: before the calculated data is written back, Restore gives
// the stage its own loads, load cases, actions and load-case count again. The combinations formed with the
// transferred load cases stay, so that the stored results keep matching them.
class CTransferredStageLoads {
 public:
  CTransferredStageLoads(BaseData& position, CLKData& lk, CArray<Load>& loads, int& maxLF)
      : position_(position), lk_(lk), loads_(loads), maxLF_(maxLF) {}
  // TransferLoadsToStage on the stage; remembers the stage's own input first.
  int Apply(CArray<CFormulaNumber>& fieldLengths, bool formCombinations = true);
  void Restore();

 private:
  BaseData& position_;
  CLKData& lk_;
  CArray<Load>& loads_;
  int& maxLF_;
  bool applied_ = false;
  CArray<Load> ownLoads_;
  CArray<CLKLastfall, const CLKLastfall&> ownCases_;
  CArray<CEinwirkung, const CEinwirkung&> ownActions_;
  int ownMaxLF_ = 0;
};
