#pragma once
// The vocabulary of the calculation panels: which panel, which control,
// and the values that pass between a panel and its dialogs.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "logic/model/shared/Refusal.h"

namespace corvane {

// Panel 1 finds the pressure drop, 2 the flow, 3 the diameter, 4 the length.
enum class PanelKind { PressureDrop = 1, Flow = 2, Diameter = 3, Length = 4 };

constexpr int PanelDigit(PanelKind kind) { return static_cast<int>(kind); }

// Every control of a panel that shows something the model decides: a text,
// a caption, a list, or whether it is shown.  The names are the control
// names without the panel digit.
enum class Ctl {
    // entries
    IRmm_RightEdit,
    IDmm_RightEdit,
    LengthM_RightEdit,
    ElevationChange_RightEdit,
    Barg_RightEdit,
    FlowrateLMin_RightEdit,  // the calculation flow; on panel 2 the result
    VisibleFlowrateLMin_RightEdit,
    AvailablePressure_RightEdit,
    AllowablePressureLoss_RightEdit,
    // fluid
    FluidName_Edit,
    FluidViscosityRightEdit,
    FluidRelativeDensityRightEdit,
    RightEditVisibleFluidDensityDisplay,
    CentistokesHdEdit,
    RelativeDensityHdEdit,
    // results
    FlowType_RightEdit,
    ReynoldsNumber_RightEdit,
    FrictionFactor_RightEdit,
    MSec_RightEdit,
    mHd_RightEdit,
    PipeDiameter_RightEdit,
    PipeLength_RightEdit,
    // unit labels
    IR_UnitsLabel,
    ID_UnitsLabel,
    Length_UnitsLabel,
    ElevationChange_UnitsLabel,
    FluidVelocity_UnitsLabel,
    PipeDiameter_UnitsLabel,
    PipeLength_UnitsLabel,
    // gas captions
    BargHdLabel,
    GasPressureHdLabel,
    UncompressedVolumeHdLabel,
    AllowableLossHdLabel,
    AvailablePressureHdLabel,
    // gas note
    GasFlowInfoPanel,
    ActualFlowHdLabel,
    ActualFlowValueLabel,
    ExitFlowHdLabel,
    ExitFlowValueLabel,
    ExitFlowBarLabel,
    // flow weight strip, fittings button, compressed entry button
    FlowWeightPanel,
    FittingsBitBtn,
    Uncompressed_SpeedButton,
    // headings
    PanelHeading,
    PipeDetailsHdLabel,
    ResultsHdLabel,
    InternalRoughnessHdLabel,
    PipematerailHdLabel,
    InternalDiameterHdLabel,
    LengthHdLabel,
    ElevationChangeLabel,
    FlowHdLabel,
    FlowTypeHdLabel,
    ReynoldsNumberHdLabel,
    FrictionFactorHdLabel,
    FluidVelocityHdLabel,
    PressureDropHdLabel,
    MinPipeDiameterHdLabel,
    PipeLengthHdLabel,
    // lists
    PipeMaterialComboBox,
    RiseFallComboBox,
    MhdBarComboBox,
    FlowUnitComboBox,
    Gas_FlowUnitComboBox,
    Count_
};

inline constexpr int kCtlCount = static_cast<int>(Ctl::Count_);

// ---------------------------------------------------------------- the control table
//
// One row per control says everything the panel model, the panel file and
// corvane-cli know of it; the name list, PanelHas, IsResult, IsUserEntry,
// the entries' order, the initial texts, the file layout and the listed
// fields are all read from it.  Adding a control: its Ctl above, its row in
// kControls (PanelControls.cpp), its place in CalcPanel's geometry table.

// A set of panels, one bit per panel (bit 0 panel 1).
using Panels = unsigned char;
inline constexpr Panels kPanel1 = 1, kPanel2 = 2, kPanel3 = 4, kPanel4 = 8;
inline constexpr Panels kAllPanels = kPanel1 | kPanel2 | kPanel3 | kPanel4;
constexpr Panels PanelBit(PanelKind kind) { return static_cast<Panels>(1u << (PanelDigit(kind) - 1)); }

// What a control is to the panel.
enum class Role : unsigned char {
    Entry,        // a number the user types
    Calculation,  // the flow the calculation reads, behind the visible flow
    Result,       // a result field
    Field,        // the fluid's name, numbers and captions
    Label,
    List,
    Button,
    Box,
};

// How the unit switch converts an entry.
enum class Conversion : unsigned char {
    None,
    SmallLength,        // mm <-> inch, 4 decimals in mm, 6 in inches
    Length,             // m <-> ft, 3 decimals
    HeadOrPressure,     // m <-> ft or bar <-> psi as the result unit list says, 3 decimals
    Flow,               // the flow unit chosen in the dialog, 3 decimals
    Pressure,           // bar <-> psi, 3 decimals
};

// The unit a label names.
enum class UnitLabel : unsigned char { None, SmallLength, Length, Velocity };

// The text a control starts with (unit labels, the heading and the fluid
// are set by the panel itself).
struct InitialText {
    std::string_view text;
    Panels otherOn = 0;           // these panels start with `other` instead
    std::string_view other = {};
    std::string_view imperial = {};  // under US or Canadian English; empty: unchanged
    Panels imperialOn = kAllPanels;
};

struct ControlSpec {
    Ctl ctl;
    std::string_view name;  // without the panel digit
    Panels panels = kAllPanels;
    Role role = Role::Label;
    InitialText initial = {};
    Panels resultOn = 0;      // where a calculation control shows the panel's result
    int entryStep = 0;        // of entries: the order of the unit switch and the start-up tidying, from 1
    Conversion conversion = Conversion::None;
    UnitLabel unit = UnitLabel::None;
    std::string_view leaveNoun = {};  // "The internal roughness" cannot be zero or empty
    bool mayBeZero = false;           // may be left at 0
    int listed = 0;                   // place among corvane-cli's fields, from 1; 0 not listed
    std::array<signed char, 4> fileLine = {};  // line in the file of panels 1 to 4; 0 not saved
};

// The row of a control.
const ControlSpec& Spec(Ctl c);

// The entries (typed and calculation) in the order the unit switch converts them.
const std::vector<Ctl>& EntriesInStepOrder();

// The controls corvane-cli lists in a panel's fields, in their order.
const std::vector<Ctl>& ListedControls(PanelKind kind);

// Lines 4 to 18 (panel 1) or 19 (the others) of a panel file: the control
// saved on each line.
const std::vector<Ctl>& FileLayout(PanelKind kind);


// Control name without the panel digit ("IRmm_RightEdit").
std::string_view CtlBaseName(Ctl c);

// Whether the panel has the control at all.
bool PanelHas(PanelKind kind, Ctl c);

bool IsList(Ctl c);
bool IsResult(PanelKind kind, Ctl c);

// Entries whose text the user types (read-only fields excluded).
bool IsUserEntry(PanelKind kind, Ctl c);

// What "Use this data" of the fluid database hands to a panel.
struct FluidChoice {
    std::string name;
    std::string temperature;
    std::string viscosity;  // text of the viscosity field (cSt)
    std::string density;    // text of the density field
    bool isGas = false;
};

// The answer of a unit conversion dialog.
enum class ConversionChoice { Convert, UseCurrentValues, Closed };
struct ConversionAnswer {
    ConversionChoice choice = ConversionChoice::Closed;
    int flowUnitIndex = -1;  // index into the target system's list of the panel's kind
};

// Which conversion dialog a unit switch asks through.
enum class ConversionDialog { LiquidToMetric, LiquidToImperial, GasToMetric, GasToImperial };

struct ListState {
    std::vector<std::string> items;
    int selected = -1;
    std::string selectedText() const {
        return selected >= 0 && selected < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(selected)]
                                                                         : std::string();
    }
};

}  // namespace corvane
