#include "engine/input.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <numbers>

#include "engine/rechner.h"
#include "engine/schub.h"
#include "engine/utilities.h"
#include "engine/workarrays.h"

namespace engine {
namespace {

// Unit weight of reinforced concrete, kN/m3.
constexpr double kOwnWeight_kN_m3 = 25.0;

// Field lengths and members, and the field-end coordinates from the foot into koor.
InputRefusal LoadFields(const ColumnInput& in, CStuetzenRechner& r, double koor[])
{
    int members = 0;
    // The engine links a field to the axis below it: the offsets it takes are relative, the lowest field's to the
    // supports on the system line.
    double belowX = 0.0, belowY = 0.0;
    for (int f = 0; f < r.nFelder; ++f) {
        const FieldInput& field = in.fields[std::size_t(f)];
        r.feldLaenge[f] = field.length_m;
        r.feldStaebe[f] = field.members;
        r.feldEz[f] = field.axisOffsetX_m - belowX;
        r.feldEy[f] = field.axisOffsetY_m - belowY;
        belowX = field.axisOffsetX_m;
        belowY = field.axisOffsetY_m;
        members += field.members;
        koor[f + 1] = koor[f] + field.length_m;
    }
    return members > kMaxStaebe ? InputRefusal::kTooManyMembers : InputRefusal::kNone;
}

// Supports of the active stages, numbered on across the stages.
InputRefusal LoadSupports(const ColumnInput& in, CStuetzenRechner& r)
{
    int number = 0;
    for (int s = 0; s < kStageCount; ++s) {
        const StageInput& stage = in.stages[std::size_t(s)];
        if (!stage.active)
            continue;
        for (const SupportInput& sp : stage.supports) {
            if (sp.node < 0 || sp.node > r.nFelder)
                continue;
            const double values[7] = {
                sp.axial_kN_m, sp.alongY_kN_m, sp.alongX_kN_m, 0.0, sp.aboutY_kNm_rad, sp.aboutX_kNm_rad, -1.0};
            if (std::all_of(values, values + 6, [](double v) { return v == 0.0; }))
                continue;
            if (number >= kMaxLager)
                return InputRefusal::kTooManySupports;
            std::copy(values, values + 7, r.lagerWerte[number]);
            r.lagerAnKnoten[s][sp.node] = ++number;
        }
    }
    r.nLager = number;
    return InputRefusal::kNone;
}

InputRefusal LoadSections(const ColumnInput& in, CStuetzenRechner& r)
{
    // No strut angle of an earlier column stays behind in fields this one does not have.
    std::fill(std::begin(g_cotThetaFeld), std::end(g_cotThetaFeld), 0.0);
    for (int f = 0; f < r.nFelder; ++f) {
        const SectionInput& q = in.fields[std::size_t(f)].section;
        StabQuerschnitt& s = r.querEingabe.feld[f];
        s.typ = q.type;
        s.wort = q.layout;
        // The engine's y is the column's Y and its z the column's X: a rectangle's width along y is its depth
        // along Y and its depth along z its width along X, as the bar distances c1 (along Y) and c2 (along X) are.
        s.d[0] = q.type == 0 ? q.depthY_cm : q.widthX_cm;
        s.d[1] = q.type == 0 ? q.widthX_cm : q.depthY_cm;
        s.c1 = q.barDistanceY_cm;
        s.c2 = q.barDistanceX_cm;
        if (q.type == 1 || q.type == 2) {
            // A circle's bars sit on one ring at the axis distance given along X. A ring is its outer diameter
            // with the inner one as its opening; a circle has no opening, whatever the depth holds.
            s.c1 = s.c2 = q.barDistanceX_cm;
            if (q.type == 1) {
                s.d[1] = s.d[0];
                s.wort = 3;
            } else {
                if (!(s.d[1] > 0.0 && s.d[1] < s.d[0]))
                    return InputRefusal::kRingOpening;
                s.wort = 4;
            }
        }
        s.betonGuete = q.concreteGrade;
        s.stahlGuete = q.steelGrade;
        s.bewehrung = q.reinforcement_cm2;
        const double t = std::tan(q.strutAngle_deg * std::numbers::pi / 180.0);
        g_cotThetaFeld[f] = t != 0.0 ? 1.0 / t : 0.0;
    }
    return InputRefusal::kNone;
}

// One load of stage s; koor holds the field-end coordinates from the foot.
InputRefusal LoadOne(CStuetzenRechner& r, int s, const LoadInput& load, const double koor[])
{
    switch (load.kind) {
    case LoadKind::kLine: {
        if (r.nLinienlasten[s] >= kMaxLinienlasten)
            return InputRefusal::kTooManyLineLoads;
        LinienlastEingabe& q = r.linienlast[s][r.nLinienlasten[s]++];
        // the engine runs a line load from xa over a signed length: downwards is negative
        q.xa = koor[std::clamp(load.node, 0, r.nFelder)] - load.offset_m;
        q.laenge = -load.length_m;
        // along the axis the engine counts upwards
        const double sign = load.direction == kAlongAxis ? -1.0 : 1.0;
        q.qa = sign * load.startValue_kN_m;
        q.qe = sign * load.endValue_kN_m;
        q.lastfall = load.loadCase;
        q.richtung = load.direction == kAlongX ? 2 : load.direction == kAlongY ? 1 : 0;
        break;
    }
    case LoadKind::kPoint: {
        if (r.nEinzellasten[s] >= kMaxEinzellasten)
            return InputRefusal::kTooManyPointLoads;
        EinzellastEingabe& p = r.einzellast[s][r.nEinzellasten[s]++];
        p.position = load.node + 1;
        p.lastfall = load.loadCase;
        // degrees of freedom u (axial, upwards), v (Y), w (X), rotation about y, rotation about z
        if (load.direction == kAlongX) {
            p.werte[2] = load.force_kN;
            p.werte[3] = load.moment_kNm;
        } else if (load.direction == kAlongY) {
            p.werte[1] = load.force_kN;
            p.werte[4] = load.moment_kNm;
        } else {
            p.werte[0] = -load.force_kN;
        }
        break;
    }
    case LoadKind::kOwnWeight:
        // the own weight acts once, in the load case it names
        if (load.loadCase < 1 || (r.eigengewichtLf[s] != 0 && r.eigengewichtLf[s] != load.loadCase))
            return InputRefusal::kOwnWeightLoadCase;
        r.eigengewichtLf[s] = load.loadCase;
        r.gammaBeton = kOwnWeight_kN_m3;
        r.ersteKombiLast = kOwnWeight_kN_m3;
        break;
    }
    return InputRefusal::kNone;
}

InputRefusal LoadLoads(const ColumnInput& in, CStuetzenRechner& r, const double koor[])
{
    for (int s = 0; s < kStageCount; ++s) {
        const StageInput& stage = in.stages[std::size_t(s)];
        if (!stage.active)
            continue;
        for (const LoadInput& load : stage.loads)
            if (const InputRefusal refusal = LoadOne(r, s, load, koor); refusal != InputRefusal::kNone)
                return refusal;
    }
    return InputRefusal::kNone;
}

void LoadImperfections(const ColumnInput& in, CStuetzenRechner& r)
{
    for (int s = 0; s < kStageCount; ++s) {
        const ImperfectionInput& v = in.stages[std::size_t(s)].imperfection;
        ImperfektionsEingabe& im = r.imperfektion[s];
        im.art = v.kind;
        im.komponenten = v.components ? 1 : 0;
        im.Kriech_CKAusm = v.amplitudeFromDivisor ? 1 : 0;
        im.Kriech_Bzkn = v.referenceNode;
        im.neigung = v.inclination_rad;
        im.ausmitte = v.eccentricity_cm;
        im.neigungW = v.inclinationX_rad;
        im.neigungV = v.inclinationY_rad;
        im.teiler = v.modeDivisor;
    }
}

// Creep takes part only under the final system's imperfection kinds with creep.
void LoadCreep(const ColumnInput& in, CStuetzenRechner& r)
{
    r.nKriech = 0;
    if (in.stages[0].imperfection.kind > 1 && !in.creep.factors.empty()) {
        r.kriechZahl = in.creep.coefficient;
        for (std::size_t i = 0; i < in.creep.factors.size() && r.nKriech < kMaxKriech; ++i) {
            if (!(in.creep.factors[i] > 0.0))
                continue;
            r.kriechLf[r.nKriech] = int(i) + 1;
            r.kriechFakt[r.nKriech] = in.creep.factors[i];
            ++r.nKriech;
        }
    }
    r.kriechSchalter = r.nKriech;
}

}  // namespace

InputRefusal LoadColumn(const ColumnInput& in)
{
    CStuetzenRechner& r = g_rechner;
    r.Init();
    if (!in.code)
        return InputRefusal::kUnknownCode;
    NORM = in.code->engine;
    r.basisPfad = in.combinationFileBase;
    r.dateiNummer = 0;
    const int nFields = int(in.fields.size());
    if (nFields < 1 || nFields > kMaxFelder)
        return InputRefusal::kNoField;
    r.nFelder = nFields;
    double koor[kMaxFelder + 1] = {};
    InputRefusal refusal = LoadFields(in, r, koor);
    if (refusal == InputRefusal::kNone)
        refusal = LoadSupports(in, r);
    if (refusal == InputRefusal::kNone)
        refusal = LoadSections(in, r);
    if (refusal == InputRefusal::kNone)
        refusal = LoadLoads(in, r, koor);
    if (refusal != InputRefusal::kNone)
        return refusal;
    LoadImperfections(in, r);
    LoadCreep(in, r);

    for (int s = 1; s < kStageCount; ++s)
        r.stufeAktiv[s] = in.stages[std::size_t(s)].active ? 1 : 0;
    std::fill(std::begin(r.rechenSchalter), std::end(r.rechenSchalter), in.designPasses ? 1 : 0);
    r.zeichenHoehe = in.pictureWidth_cm;
    r.materialWahl[0] = 1;
    r.brandSchalter = in.fire.check ? 1 : 0;
    if (in.fire.check) {
        r.brandParameter[0] = in.fire.resistanceClass;
        r.brandParameter[1] = in.fire.exposedSides;
        r.brandParameter[2] = in.fire.plastered;
    }
    return InputRefusal::kNone;
}

const char* CombinationFileKindText(int kind)
{
    return KombiArtText(kind);
}

bool CombinationFileText(const CombinationFileInput& in, std::string& text)
{
    text.clear();
    const int b = in.stage;
    if (b < 0 || b >= kKombiBlocks || in.loadCaseActions.size() > std::size_t(kMaxLasten) ||
        in.actions.size() > std::size_t(kMaxLastfaelle) || in.combinations.size() > std::size_t(kMaxKombinationen))
        return false;
    // the set is too large for the stack
    auto satz = std::make_unique<CKombiSatz>();
    satz->namensCode = in.code ? in.code->engine : -1;
    satz->nLasten[b] = int(in.loadCaseActions.size());
    satz->nLf[b] = int(in.actions.size());
    satz->nx[b] = 1;
    for (std::size_t i = 0; i < in.loadCaseActions.size(); ++i)
        satz->lastLf[b][i] = in.loadCaseActions[i];
    for (std::size_t j = 0; j < in.actions.size(); ++j) {
        const CombinationAction& a = in.actions[j];
        satz->lfGruppe[b][j] = a.group;
        satz->lfVariabel[b][j] = a.variable ? 1 : 0;
        satz->lfAktion[b][j] = a.category;
        for (std::size_t c = 0; c < a.factors.size(); ++c)
            satz->faktoren[c][b][j] = float(a.factors[c]);
    }
    std::copy(in.flags.begin(), in.flags.end(), satz->flags[b]);
    for (std::size_t m = 0; m < in.combinations.size(); ++m) {
        satz->titel[b][m] = in.combinations[m].title;
        satz->formel[b][m] = in.combinations[m].formula;
    }
    satz->nKombi[b] = int(in.combinations.size());
    text = satz->Schreiben();
    return true;
}

ArbeitsBedarf WorkDemandOf(int combinations, int firstFreeIndex)
{
    return g_rechner.Arbeitsbedarf(combinations, firstFreeIndex);
}

int WorkDoubleCapacity()
{
    return kWorkDoubleCount;
}

int WorkIntCapacity()
{
    return kWorkIntCount;
}

Workspace::Workspace(int doubles, int ints) : arrays_(std::make_unique<WorkArrays>(doubles, ints)) {}

Workspace::~Workspace() = default;

void Workspace::Clear()
{
    arrays_->Leere();
}

int RunLoadCases(int steps, int firstFreeIndex)
{
    SetzeFarben();
    return g_rechner.RechneRegelNachweis(nullptr, steps, firstFreeIndex);
}

int RunColumnDesign(int passes, int firstFreeIndex, bool accidentalFinal)
{
    SetzeFarben();
    return g_rechner.RechneStuetze(nullptr, passes, firstFreeIndex, accidentalFinal ? 1 : 0);
}

}  // namespace engine
