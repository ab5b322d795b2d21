#pragma once
// The vocabulary of the calculation panels: which panel, which control,
// and the values that pass between a panel and its dialogs.

#include <string>
#include <string_view>
#include <vector>

#include "logic/model/Refusal.h"

namespace corvane {

// Panel 1 finds the pressure drop, 2 the flow, 3 the diameter, 4 the length.
enum class PanelKind { PressureDrop = 1, Flow = 2, Diameter = 3, Length = 4 };

inline int PanelDigit(PanelKind kind) { return static_cast<int>(kind); }

// What the panel finds, as menus, messages and sheets name it: "Find
// pressure drop", "Find flow", "Find diameter", "Find length".
inline const char* PanelTaskName(PanelKind kind) {
    static constexpr const char* kNames[] = {"Find pressure drop", "Find flow", "Find diameter", "Find length"};
    return kNames[PanelDigit(kind) - 1];
}

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

// Control name without the panel digit ("IRmm_RightEdit").
std::string_view CtlBaseName(Ctl c);

// Control name of a panel ("IRmm_RightEdit1").  The heading of panel 1 is
// "FindPressureHdLabel"; the others carry their digit.
std::string CtlName(Ctl c, PanelKind kind);

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
