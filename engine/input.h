// The engine's input as plain values, and the one entry that loads the calculation object with it.
//
// The calculation driver builds a ColumnInput from the position (fields ordered from the foot up, lengths and
// offsets in m, section sizes in cm, springs and loads in kN and m) and hands it to LoadColumn, which resets the
// calculation object (g_rechner), writes the engine's encodings of the column into it and sets the engine's code
// number from the design code's row. Nothing else outside the engine writes the object's input. The grades are
// indices into the lists of the material catalogue, which the driver installs as a MaterialKatalog.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "designcode/designcode.h"

class WorkArrays;

// What one run asks of the work arrays: the count of doubles and of ints it uses from index 1 on (the caller's
// first free index included), with the sizes it follows from.
struct ArbeitsBedarf {
    int knoten = 0;
    int staebe = 0;
    int kombinationen = 0;
    long long linienSaetze = 0;  // one per member a line load covers, one per stage without line loads
    long long punktSaetze = 0;   // point loads
    long long doubles = 0;
    long long ints = 0;
    long long doublesJeKombination = 0;  // the part of `doubles` each further combination adds
};

namespace engine {

constexpr int kStageCount = 4;  // construction stages: 0 the final system, 1 transport, 2 and 3 erection

// The cross-section of a field, in the column's axes: X and Y across the section, the column axis along its
// height.
struct SectionInput {
    int type = 0;                  // 0 rectangle, 1 circle, 2 ring, 3 and 4 the further kinds of the engine's section
    int layout = 0;                // reinforcement layout of the kind (a circle's and a ring's own layout replaces it)
    double widthX_cm = 0.0;        // along X; a circle's and a ring's outer diameter
    double depthY_cm = 0.0;        // along Y; a ring's inner diameter (a circle ignores it)
    double barDistanceX_cm = 0.0;  // bar axis from the edge, measured along X; a circle's and a ring's one ring
    double barDistanceY_cm = 0.0;  // measured along Y
    double reinforcement_cm2 = 0.0;  // the reinforcement the position holds (per bar or in total, by layout)
    double strutAngle_deg = 45.0;    // shear: inclination theta of the compression struts
    int concreteGrade = 0;           // index into the code's concrete list of the material catalogue
    int steelGrade = 0;              // index into the code's reinforcing-steel list
};

// One field of the column, from the foot up.
struct FieldInput {
    double length_m = 0.0;
    int members = 5;  // members of the frame model the field is divided into
    // the field's axis against the system line (the line of the supports)
    double axisOffsetX_m = 0.0;
    double axisOffsetY_m = 0.0;
    SectionInput section;
};

// The springs of a support at a field end: translations in kN/m, rotations in kNm/rad; a negative value is a
// rigid restraint, 0 none. A support restraining nothing is left out of the model.
struct SupportInput {
    int node = 0;             // field end counted from the foot: 0 the foot, the field count the head
    double axial_kN_m = 0.0;  // along the column axis
    double alongY_kN_m = 0.0;
    double alongX_kN_m = 0.0;
    double aboutY_kNm_rad = 0.0;
    double aboutX_kNm_rad = 0.0;
};

enum class LoadKind {
    kLine,       // distributed over part of the column
    kPoint,      // at a field end
    kOwnWeight,  // the concrete's own weight (25 kN/m3) in its load case
};

// Load directions: across along X or Y, or along the axis (downwards positive).
constexpr int kAlongX = 0;
constexpr int kAlongY = 1;
constexpr int kAlongAxis = 2;

// One load of a stage. A line load hangs from a field end: it starts offset_m below it and runs length_m
// downwards, linear from its start value to its end value. A point load acts at its field end; across the
// column it carries a moment in its direction's plane as well.
struct LoadInput {
    LoadKind kind = LoadKind::kPoint;
    int loadCase = 0;              // 1-based
    int node = 0;                  // field end counted from the foot (as SupportInput::node)
    int direction = 0;             // kAlongX, kAlongY or kAlongAxis
    double offset_m = 0.0;         // line load: start below the node
    double length_m = 0.0;         // line load
    double startValue_kN_m = 0.0;  // line load, at its start
    double endValue_kN_m = 0.0;    // line load, at its lower end
    double force_kN = 0.0;         // point load
    double moment_kNm = 0.0;       // point load across the column
};

// The imperfection of a stage.
struct ImperfectionInput {
    int kind = 0;                   // 0 inclination, 1 eigenmode-affine, 2 and 3 the same with creep; any other none
    bool components = false;        // the inclination is given by its two components
    double inclination_rad = 0.0;   // magnitude shared by the modes
    double inclinationX_rad = 0.0;  // component along X
    double inclinationY_rad = 0.0;  // component along Y
    // eigenmode amplitude: total length / modeDivisor (0 none), or else scaled so that the axis lies
    // eccentricity_cm off at the reference field end
    bool amplitudeFromDivisor = true;
    double modeDivisor = 0.0;
    int referenceNode = 0;  // field end counted from the foot
    double eccentricity_cm = 0.0;
};

struct StageInput {
    bool active = false;  // the stage takes part in the run; the final system's flag is its loads' too
    std::vector<SupportInput> supports;
    std::vector<LoadInput> loads;  // in the position's order: refusals name the first load that breaks a limit
    ImperfectionInput imperfection;
};

// Creep of the final system: each entry's factor times its own load case (entry i is load case i + 1) creeps;
// entries with a factor not above 0 take no part.
struct CreepInput {
    double coefficient = 0.0;  // phi
    std::vector<double> factors;
};

// The tabulated fire check.
struct FireInput {
    bool check = false;
    int resistanceClass = 0;  // 0 .. 4
    int exposedSides = 0;
    int plastered = 0;  // 1: the section is plastered
};

struct ColumnInput {
    const designcode::DesignCode* code = nullptr;  // the code's row of the table
    std::string combinationFileBase;               // path the combination files are named from
    std::vector<FieldInput> fields;                // from the foot up
    std::array<StageInput, kStageCount> stages;
    CreepInput creep;
    FireInput fire;
    double pictureWidth_cm = 0.0;  // width of the report's drawing
    // the twenty pass switches: all on for the design run, all off for the first-order run
    bool designPasses = false;
};

// Why LoadColumn refused a column; the calculation driver says it to the user.
enum class InputRefusal {
    kNone,
    kUnknownCode,        // no row of the design-code table
    kNoField,            // no field, or more than the engine holds
    kTooManyMembers,     // more than 100 members over all fields
    kTooManySupports,    // more than 100 supports over the active stages
    kRingOpening,        // a ring whose inner diameter is not between 0 and its outer one
    kTooManyLineLoads,   // more than 200 line loads in a stage
    kTooManyPointLoads,  // more than 200 point loads in a stage
    kOwnWeightLoadCase,  // own weight in no load case, or in two of one stage
};

// Resets the calculation object and loads it with the column. The checks run in the order of the input (fields,
// supports, sections, loads); on a refusal the object is not fit for a run.
InputRefusal LoadColumn(const ColumnInput& input);

// ---- the combination files the runs read ----

// Kinds of combination file as the engine names them in the file name ("Tr", "Gb", "Ed", "EdA", "EdB").
enum CombinationFileKind { kFileTr = 0, kFileGb = 1, kFileEd = 2, kFileEdA = 3, kFileEdB = 4 };
// The kind's text in the file name; "" for no kind.
const char* CombinationFileKindText(int kind);

// An action of a stage: the load cases that belong to it act together.
struct CombinationAction {
    int group = 0;          // the engine's group number (0 permanent; additive, alternative, accidental ranges)
    bool variable = false;  // a variable action
    int category = 0;       // category index + 1 of a variable action, else 0
    // the seven factor columns: gamma favourable and unfavourable of a permanent action, of a variable one,
    // then psi0, psi1, psi2
    std::array<double, 7> factors{};
};

// One combination line: its title and its formula text (no blanks, e.g. "1.35*(1)+1.50*(2+3)").
struct CombinationLine {
    std::string title;
    std::string formula;
};

// The combinations of one stage, as one combination file holds them.
struct CombinationFileInput {
    const designcode::DesignCode* code = nullptr;  // selects the engine's table of titles
    int stage = 0;                                 // 0 .. kStageCount - 1
    std::vector<int> loadCaseActions;              // per load case (from 1) its action number (from 1)
    std::vector<CombinationAction> actions;        // action 1 first
    std::array<int, 8> flags{};                    // the stage flags of the file's block
    std::vector<CombinationLine> combinations;
};

// The file text of the combinations; false, with text left empty, when they exceed the engine's capacities (50
// load cases, 50 actions, 200 combinations in a stage) or the stage is not one of the column's.
bool CombinationFileText(const CombinationFileInput& input, std::string& text);

// ---- running the loaded column ----

// What a run over the loaded column with `combinations` combinations asks of the work arrays.
ArbeitsBedarf WorkDemandOf(int combinations, int firstFreeIndex);
// The largest work arrays a calculation may ask for.
int WorkDoubleCapacity();
int WorkIntCapacity();

// The runs address the work arrays of the Workspace alive at the time.
class Workspace {
public:
    // Zero-filled arrays of these sizes, installed as the engine's for the object's life.
    Workspace(int doubles, int ints);
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // Zero-fills both arrays again, so that a second run on them starts as on fresh ones.
    void Clear();

private:
    std::unique_ptr<WorkArrays> arrays_;
};

// The first-order run of the loaded column over the combinations of its "Tr" file of stage 0, with `steps`
// progress steps. Returns the count of combinations computed, or 0 when the run failed (the engine has said why).
int RunLoadCases(int steps, int firstFreeIndex);
// The design run over the active stages and every kind of combination file, with `passes` progress steps. Returns
// the count of result slots of the ultimate passes (the first slot of the serviceability results), or 0 when the
// run failed (the engine has said why).
int RunColumnDesign(int passes, int firstFreeIndex, bool accidentalFinal);

}  // namespace engine

// The progress display of a calculation, as the engine sees it. The window system supplies a real one
// (the progress dialog); without it every call does nothing.
class EngineProgress {
public:
    virtual ~EngineProgress() = default;
    // Shows the display without a parent window; false when it cannot.
    virtual bool Create() { return true; }
    // Percent the bar advances per StepIt.
    virtual void SetStep(int step) {}
    // Advances the bar (and lets pending window messages through); returns the previous position.
    virtual int StepIt() { return 0; }
    virtual void SetStatus(const char* text) {}
    virtual void Destroy() {}
};

// Installs a display that the caller keeps alive; nullptr returns to the no-op one. Returns the previous.
EngineProgress* SetProgress(EngineProgress* progress);

// The material catalogue as the engine sees it: the grade indices of the input count in its lists. The engine
// library does not link the framework, so the calculation driver installs an adapter over the material handler;
// without one, every catalogue look-up finds nothing (keys read as 0) and only the user tables give values.
class MaterialKatalog {
public:
    virtual ~MaterialKatalog() = default;
    // Grade names of a code in list order (norm as the engine names it, e.g. "DIN 1045-I").
    virtual void Sorten(const char* norm, const char* kat, const char* ukat, std::vector<std::string>& names) = 0;
    // The key -> value-text map of one grade; false when the grade is unknown.
    virtual bool Werte(const char* norm, const char* kat, const char* ukat, const std::string& name,
                       std::map<std::string, std::string>& out) = 0;
};

// Installs the catalogue (kept alive by the caller); nullptr removes it. Returns the previous one.
MaterialKatalog* SetzeMaterialKatalog(MaterialKatalog* katalog);
