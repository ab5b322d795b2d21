#include "logic/model/panels/PanelControls.h"

#include <algorithm>

namespace corvane {
namespace {

// Lines 1 to 3 of a panel file name the panel, its gas mode and its unit
// system; the panel's own lines run from line 4 to line 18 on panel 1 and
// to line 19 on the others.
constexpr int kFirstFileLine = 4;
constexpr std::array<int, 4> kLastFileLine = {18, 19, 19, 19};

// One row per control, in the order of Ctl.
constexpr std::array<ControlSpec, kCtlCount> kControls = {{
    {.ctl = Ctl::IRmm_RightEdit, .name = "IRmm_RightEdit", .role = Role::Entry,
     .initial = {"0.046", 0, {}, "0.001811"}, .entryStep = 1, .conversion = Conversion::SmallLength,
     .leaveNoun = "The internal roughness", .listed = 1, .fileLine = {5, 5, 5, 5}},
    {.ctl = Ctl::IDmm_RightEdit, .name = "IDmm_RightEdit", .panels = kPanel1 | kPanel2 | kPanel4, .role = Role::Entry,
     .initial = {"25.000", 0, {}, "2.000"}, .entryStep = 2, .conversion = Conversion::SmallLength,
     .leaveNoun = "The internal diameter", .listed = 2, .fileLine = {6, 6, 0, 6}},
    {.ctl = Ctl::LengthM_RightEdit, .name = "LengthM_RightEdit", .panels = kPanel1 | kPanel2 | kPanel3,
     .role = Role::Entry, .initial = {"10.000", 0, {}, "50.000"}, .entryStep = 3, .conversion = Conversion::Length,
     .leaveNoun = "The pipe length", .listed = 3, .fileLine = {7, 7, 6, 0}},
    {.ctl = Ctl::ElevationChange_RightEdit, .name = "ElevationChange_RightEdit", .role = Role::Entry,
     .initial = {"0.000"}, .entryStep = 4, .conversion = Conversion::Length, .mayBeZero = true, .listed = 4,
     .fileLine = {9, 9, 8, 8}},
    {.ctl = Ctl::Barg_RightEdit, .name = "Barg_RightEdit", .role = Role::Entry,
     .initial = {"6.000", 0, {}, "90.000", kPanel2 | kPanel3 | kPanel4}, .entryStep = 7,
     .conversion = Conversion::Pressure, .leaveNoun = "The inlet pressure", .listed = 5,
     .fileLine = {14, 15, 15, 15}},
    {.ctl = Ctl::FlowrateLMin_RightEdit, .name = "FlowrateLMin_RightEdit", .role = Role::Calculation,
     .initial = {"100.000", kPanel2, ""}, .resultOn = kPanel2, .entryStep = 6, .conversion = Conversion::Flow,
     .leaveNoun = "The flow rate", .listed = 6, .fileLine = {11, 0, 12, 12}},
    {.ctl = Ctl::VisibleFlowrateLMin_RightEdit, .name = "VisibleFlowrateLMin_RightEdit",
     .panels = kPanel1 | kPanel3 | kPanel4, .role = Role::Entry, .initial = {"100.000"}, .entryStep = 9,
     .leaveNoun = "The flow rate", .listed = 7},
    {.ctl = Ctl::AvailablePressure_RightEdit, .name = "AvailablePressure_RightEdit",
     .panels = kPanel2 | kPanel3 | kPanel4, .role = Role::Entry, .initial = {"10.000"}, .entryStep = 5,
     .conversion = Conversion::HeadOrPressure, .leaveNoun = "The available pressure", .listed = 8,
     .fileLine = {0, 11, 10, 10}},
    {.ctl = Ctl::AllowablePressureLoss_RightEdit, .name = "AllowablePressureLoss_RightEdit",
     .panels = kPanel2 | kPanel3 | kPanel4, .role = Role::Entry, .initial = {"0.600", 0, {}, "9.000"}, .entryStep = 8,
     .conversion = Conversion::Pressure, .leaveNoun = "The allowable pressure loss", .listed = 9,
     .fileLine = {0, 19, 19, 19}},
    {.ctl = Ctl::FluidName_Edit, .name = "FluidName_Edit", .role = Role::Field, .listed = 10,
     .fileLine = {16, 16, 16, 16}},
    {.ctl = Ctl::FluidViscosityRightEdit, .name = "FluidViscosityRightEdit", .role = Role::Field, .listed = 11,
     .fileLine = {17, 17, 17, 17}},
    {.ctl = Ctl::FluidRelativeDensityRightEdit, .name = "FluidRelativeDensityRightEdit", .role = Role::Field,
     .initial = {"1.000"}, .listed = 12, .fileLine = {18, 18, 18, 18}},
    {.ctl = Ctl::RightEditVisibleFluidDensityDisplay, .name = "RightEditVisibleFluidDensityDisplay",
     .role = Role::Field, .initial = {"1.000"}, .listed = 13},
    {.ctl = Ctl::CentistokesHdEdit, .name = "CentistokesHdEdit", .role = Role::Field, .initial = {" Centistokes"}},
    {.ctl = Ctl::RelativeDensityHdEdit, .name = "RelativeDensityHdEdit", .role = Role::Field,
     .initial = {" Relative density"}},
    {.ctl = Ctl::FlowType_RightEdit, .name = "FlowType_RightEdit", .role = Role::Result, .listed = 14},
    {.ctl = Ctl::ReynoldsNumber_RightEdit, .name = "ReynoldsNumber_RightEdit", .role = Role::Result, .listed = 15},
    {.ctl = Ctl::FrictionFactor_RightEdit, .name = "FrictionFactor_RightEdit", .role = Role::Result, .listed = 16},
    {.ctl = Ctl::MSec_RightEdit, .name = "MSec_RightEdit", .role = Role::Result, .listed = 17},
    {.ctl = Ctl::mHd_RightEdit, .name = "mHd_RightEdit", .panels = kPanel1, .role = Role::Result, .listed = 18},
    {.ctl = Ctl::PipeDiameter_RightEdit, .name = "PipeDiameter_RightEdit", .panels = kPanel3, .role = Role::Result,
     .listed = 19},
    {.ctl = Ctl::PipeLength_RightEdit, .name = "PipeLength_RightEdit", .panels = kPanel4, .role = Role::Result,
     .listed = 20},
    {.ctl = Ctl::IR_UnitsLabel, .name = "IR_UnitsLabel", .unit = UnitLabel::SmallLength},
    {.ctl = Ctl::ID_UnitsLabel, .name = "ID_UnitsLabel", .panels = kPanel1 | kPanel2 | kPanel4,
     .unit = UnitLabel::SmallLength},
    {.ctl = Ctl::Length_UnitsLabel, .name = "Length_UnitsLabel", .panels = kPanel1 | kPanel2 | kPanel3,
     .unit = UnitLabel::Length},
    {.ctl = Ctl::ElevationChange_UnitsLabel, .name = "ElevationChange_UnitsLabel", .unit = UnitLabel::Length},
    {.ctl = Ctl::FluidVelocity_UnitsLabel, .name = "FluidVelocity_UnitsLabel", .unit = UnitLabel::Velocity},
    {.ctl = Ctl::PipeDiameter_UnitsLabel, .name = "PipeDiameter_UnitsLabel", .panels = kPanel3,
     .unit = UnitLabel::SmallLength},
    {.ctl = Ctl::PipeLength_UnitsLabel, .name = "PipeLength_UnitsLabel", .panels = kPanel4,
     .unit = UnitLabel::Length},
    {.ctl = Ctl::BargHdLabel, .name = "BargHdLabel", .initial = {"bar g"}},
    {.ctl = Ctl::GasPressureHdLabel, .name = "GasPressureHdLabel",
     .initial = {"Inlet pressure", kPanel1, "Compressed to"}},
    {.ctl = Ctl::UncompressedVolumeHdLabel, .name = "UncompressedVolumeHdLabel", .initial = {"Volume at 0.0  bar g"}},
    {.ctl = Ctl::AllowableLossHdLabel, .name = "AllowableLossHdLabel", .panels = kPanel2 | kPanel3 | kPanel4,
     .initial = {"Pressure loss"}},
    {.ctl = Ctl::AvailablePressureHdLabel, .name = "AvailablePressureHdLabel", .panels = kPanel2 | kPanel3 | kPanel4,
     .initial = {"Available pressure"}},
    {.ctl = Ctl::GasFlowInfoPanel, .name = "GasFlowInfoPanel", .role = Role::Box},
    {.ctl = Ctl::ActualFlowHdLabel, .name = "ActualFlowHdLabel", .initial = {"Entry flow :", kPanel2, "Entry flow:"}},
    {.ctl = Ctl::ActualFlowValueLabel, .name = "ActualFlowValueLabel", .initial = {"0.000"}, .listed = 22},
    {.ctl = Ctl::ExitFlowHdLabel, .name = "ExitFlowHdLabel", .initial = {"Exit flow :"}},
    {.ctl = Ctl::ExitFlowValueLabel, .name = "ExitFlowValueLabel", .initial = {"0.000"}, .listed = 23},
    {.ctl = Ctl::ExitFlowBarLabel, .name = "ExitFlowBarLabel", .initial = {"@ 6.000 bar g"}, .listed = 24},
    {.ctl = Ctl::FlowWeightPanel, .name = "FlowWeightPanel", .role = Role::Box, .listed = 25},
    {.ctl = Ctl::FittingsBitBtn, .name = "FittingsBitBtn", .role = Role::Button, .initial = {"none"}, .listed = 21,
     .fileLine = {8, 8, 7, 7}},
    {.ctl = Ctl::Uncompressed_SpeedButton, .name = "Uncompressed_SpeedButton", .panels = kPanel1 | kPanel3 | kPanel4,
     .role = Role::Button},
    {.ctl = Ctl::PanelHeading, .name = "PanelHeading"},
    {.ctl = Ctl::PipeDetailsHdLabel, .name = "PipeDetailsHdLabel", .initial = {"Pipe details"}},
    {.ctl = Ctl::ResultsHdLabel, .name = "ResultsHdLabel", .initial = {"Results"}},
    {.ctl = Ctl::InternalRoughnessHdLabel, .name = "InternalRoughnessHdLabel", .initial = {"Internal roughness"}},
    {.ctl = Ctl::PipematerailHdLabel, .name = "PipematerailHdLabel", .initial = {"Pipe material"}},
    {.ctl = Ctl::InternalDiameterHdLabel, .name = "InternalDiameterHdLabel", .panels = kPanel1 | kPanel2 | kPanel4,
     .initial = {"Internal diameter"}},
    {.ctl = Ctl::LengthHdLabel, .name = "LengthHdLabel", .panels = kPanel1 | kPanel2 | kPanel3,
     .initial = {"Length"}},
    {.ctl = Ctl::ElevationChangeLabel, .name = "ElevationChangeLabel", .initial = {"Elevation change"}},
    {.ctl = Ctl::FlowHdLabel, .name = "FlowHdLabel", .initial = {"Flow"}},
    {.ctl = Ctl::FlowTypeHdLabel, .name = "FlowTypeHdLabel", .initial = {"Flow type"}},
    {.ctl = Ctl::ReynoldsNumberHdLabel, .name = "ReynoldsNumberHdLabel", .initial = {"Reynold's number"}},
    {.ctl = Ctl::FrictionFactorHdLabel, .name = "FrictionFactorHdLabel", .initial = {"Friction factor"}},
    {.ctl = Ctl::FluidVelocityHdLabel, .name = "FluidVelocityHdLabel", .initial = {"Fluid velocity"}},
    {.ctl = Ctl::PressureDropHdLabel, .name = "PressureDropHdLabel", .panels = kPanel1, .initial = {"Pressure drop"}},
    {.ctl = Ctl::MinPipeDiameterHdLabel, .name = "MinPipeDiameterHdLabel", .panels = kPanel3,
     .initial = {"Min. internal pipe diameter"}},
    {.ctl = Ctl::PipeLengthHdLabel, .name = "PipeLengthHdLabel", .panels = kPanel4, .initial = {"Max. pipe length"}},
    {.ctl = Ctl::PipeMaterialComboBox, .name = "PipeMaterialComboBox", .role = Role::List, .fileLine = {4, 4, 4, 4}},
    {.ctl = Ctl::RiseFallComboBox, .name = "RiseFallComboBox", .role = Role::List, .fileLine = {10, 10, 9, 9}},
    {.ctl = Ctl::MhdBarComboBox, .name = "MhdBarComboBox", .role = Role::List, .fileLine = {15, 12, 11, 11}},
    {.ctl = Ctl::FlowUnitComboBox, .name = "FlowUnitComboBox", .role = Role::List, .fileLine = {12, 13, 13, 13}},
    {.ctl = Ctl::Gas_FlowUnitComboBox, .name = "Gas_FlowUnitComboBox", .role = Role::List,
     .fileLine = {13, 14, 14, 14}},
}};

// ---- what must line up, checked when the program is built

constexpr bool RowsInCtlOrder() {
    for (std::size_t i = 0; i < kControls.size(); ++i)
        if (static_cast<std::size_t>(kControls[i].ctl) != i || kControls[i].name.empty()) return false;
    return true;
}
static_assert(RowsInCtlOrder(), "kControls must hold one named row per Ctl, in the order of Ctl");

// Each of the panel's file lines holds exactly one control the panel has.
constexpr bool FileLinesComplete() {
    for (int k = 0; k < 4; ++k)
        for (int line = kFirstFileLine; line <= kLastFileLine[static_cast<std::size_t>(k)]; ++line) {
            int found = 0;
            for (const ControlSpec& s : kControls)
                if (s.fileLine[static_cast<std::size_t>(k)] == line) found += (s.panels >> k) & 1 ? 1 : 100;
            if (found != 1) return false;
        }
    for (const ControlSpec& s : kControls)
        for (int k = 0; k < 4; ++k) {
            const int line = s.fileLine[static_cast<std::size_t>(k)];
            if (line != 0 && (line < kFirstFileLine || line > kLastFileLine[static_cast<std::size_t>(k)])) return false;
        }
    return true;
}
static_assert(FileLinesComplete(), "every panel file line must hold one control of that panel");

// Places numbered 1, 2, 3 ... without a gap or a repeat.
template <typename Place>
constexpr bool Numbered(Place place, bool (*counts)(const ControlSpec&)) {
    int count = 0;
    for (const ControlSpec& s : kControls) count += counts(s) ? 1 : 0;
    for (int n = 1; n <= count; ++n) {
        int found = 0;
        for (const ControlSpec& s : kControls) found += place(s) == n ? 1 : 0;
        if (found != 1) return false;
    }
    for (const ControlSpec& s : kControls)
        if ((place(s) != 0) != counts(s)) return false;
    return true;
}

constexpr bool IsEntryRole(const ControlSpec& s) { return s.role == Role::Entry || s.role == Role::Calculation; }
static_assert(Numbered([](const ControlSpec& s) { return s.entryStep; }, IsEntryRole),
              "every entry needs its own step of the unit switch, and only entries have one");
static_assert(Numbered([](const ControlSpec& s) { return s.listed; }, [](const ControlSpec& s) { return s.listed != 0; }),
              "corvane-cli's fields must be numbered 1, 2, 3 ... without a repeat");

// An entry that cannot be left at 0 names itself in the refusal; only
// entries convert.
constexpr bool EntriesComplete() {
    for (const ControlSpec& s : kControls) {
        if (IsEntryRole(s) && !s.mayBeZero && s.leaveNoun.empty()) return false;
        if (!IsEntryRole(s) && s.conversion != Conversion::None) return false;
    }
    return true;
}
static_assert(EntriesComplete(), "an entry that must not be zero needs the noun of its refusal");

// The controls with a place, sorted by it.
template <typename Place>
std::vector<Ctl> SortedBy(Place place, Panels panels = kAllPanels) {
    std::vector<std::pair<int, Ctl>> placed;
    for (const ControlSpec& s : kControls)
        if (place(s) != 0 && (s.panels & panels) != 0) placed.emplace_back(place(s), s.ctl);
    std::sort(placed.begin(), placed.end());
    std::vector<Ctl> out;
    for (const auto& p : placed) out.push_back(p.second);
    return out;
}

// Per panel, made once.
template <typename Make>
const std::vector<Ctl>& PerPanel(PanelKind kind, Make make) {
    static const std::array<std::vector<Ctl>, 4> kMade = [&] {
        std::array<std::vector<Ctl>, 4> made;
        for (int k = 0; k < 4; ++k) made[static_cast<std::size_t>(k)] = make(k);
        return made;
    }();
    return kMade[static_cast<std::size_t>(PanelDigit(kind) - 1)];
}

}  // namespace

const ControlSpec& Spec(Ctl c) { return kControls[static_cast<std::size_t>(c)]; }

std::string_view CtlBaseName(Ctl c) { return Spec(c).name; }

bool PanelHas(PanelKind kind, Ctl c) {
    return c != Ctl::Count_ && (Spec(c).panels & PanelBit(kind)) != 0;
}

// Ctl::Count_ stands for "no control" (a panel's label or button that the
// model does not know): it has no row, and is neither list, result nor entry.
bool IsList(Ctl c) { return c != Ctl::Count_ && Spec(c).role == Role::List; }

bool IsResult(PanelKind kind, Ctl c) {
    if (!PanelHas(kind, c)) return false;
    const ControlSpec& s = Spec(c);
    return s.role == Role::Result || (s.resultOn & PanelBit(kind)) != 0;
}

bool IsUserEntry(PanelKind kind, Ctl c) { return PanelHas(kind, c) && Spec(c).role == Role::Entry; }

const std::vector<Ctl>& EntriesInStepOrder() {
    static const std::vector<Ctl> kEntries = SortedBy([](const ControlSpec& s) { return s.entryStep; });
    return kEntries;
}

const std::vector<Ctl>& ListedControls(PanelKind kind) {
    return PerPanel(kind, [](int k) {
        return SortedBy([](const ControlSpec& s) { return s.listed; }, static_cast<Panels>(1u << k));
    });
}

const std::vector<Ctl>& FileLayout(PanelKind kind) {
    return PerPanel(kind, [](int k) {
        return SortedBy([k](const ControlSpec& s) { return static_cast<int>(s.fileLine[static_cast<std::size_t>(k)]); },
                        static_cast<Panels>(1u << k));
    });
}

}  // namespace corvane
