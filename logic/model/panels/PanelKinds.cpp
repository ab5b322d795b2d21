#include "logic/model/panels/PanelKinds.h"

#include <array>
#include <string>

namespace corvane {
namespace {

constexpr std::array<PanelKindSpec, 4> kPanelKinds = {{
    {.kind = PanelKind::PressureDrop,
     .taskName = "Find pressure drop",
     .heading = "(Find pressure)",
     .headingName = "FindPressureHdLabel",
     .frameName = "FindPressurePanel",
     .fileHeader = "Corvane_Find_PD",
     .filterName = "P.D.",
     .reportTitle = "Find P.D.",
     .calculateName = "CalculatePressureDropBitBtn",
     .calculateCaption = "Calculate pressure drop",
     .flowWeightName = "FlowWeightBitBtn1",
     .colour = {221, 221, 221},
     .solve = SolvePressureDrop,
     .result = Ctl::mHd_RightEdit,
     .resultCaption = Ctl::PressureDropHdLabel,
     .resultUnit = Ctl::MhdBarComboBox,
     .unknown = &SolverResult::pressureDrop,
     .isothermal = IsothermalPressureDrop,
     .isothermalUnknown = &IsothermalAnswer::pressureDrop,
     .isothermalKey = "pressure_drop_bar",
     .unknownName = "a pressure drop"},
    {.kind = PanelKind::Flow,
     .taskName = "Find flow",
     .heading = "(Find flow)",
     .headingName = "FindFlowHdLabel2",
     .frameName = "FindFlowPanel",
     .fileHeader = "Corvane_Find_FLOW",
     .filterName = "FLOW",
     .reportTitle = "Find FLOW.",
     .calculateName = "CalculateFlowBitBtn2",
     .calculateCaption = "Calculate flow",
     .flowWeightName = "BitBtn1",
     .colour = {255, 255, 191},
     .solve = SolveFindFlow,
     .result = Ctl::FlowrateLMin_RightEdit,
     .resultCaption = Ctl::FlowHdLabel,
     .resultUnit = Ctl::FlowUnitComboBox,
     .unknown = &SolverResult::flow,
     .isothermal = IsothermalFlow,
     .isothermalUnknown = &IsothermalAnswer::flow,
     .isothermalKey = "flow_lmin",
     .unknownName = "a flow"},
    {.kind = PanelKind::Diameter,
     .taskName = "Find diameter",
     .heading = "(Find diameter)",
     .headingName = "FindDiameterHdLabel3",
     .frameName = "FindDiameterPanel",
     .fileHeader = "Corvane_Find_DIAMETER",
     .filterName = "DIAMETER",
     .reportTitle = "Find DIAMETER.",
     .calculateName = "CalculatePipeDiameterBitBtn3",
     .calculateCaption = "Calculate pipe diameter",
     .flowWeightName = "FlowWeightBitBtn3",
     .colour = {224, 250, 209},
     .solve = SolveFindDiameter,
     .result = Ctl::PipeDiameter_RightEdit,
     .resultCaption = Ctl::MinPipeDiameterHdLabel,
     .resultUnit = Ctl::PipeDiameter_UnitsLabel,
     .unknown = &SolverResult::diameter,
     .isothermal = IsothermalDiameter,
     .isothermalUnknown = &IsothermalAnswer::diameter,
     .isothermalKey = "diameter_mm",
     .unknownName = "a least diameter"},
    {.kind = PanelKind::Length,
     .taskName = "Find length",
     .heading = "(Find length)",
     .headingName = "FindLengthHdLabel4",
     .frameName = "FindLengthPanel",
     .fileHeader = "Corvane_Find_LENGTH",
     .filterName = "LENGTH",
     .reportTitle = "Find LENGTH.",
     .calculateName = "CalculatePipeLengthBitBtn4",
     .calculateCaption = "Calculate pipe length",
     .flowWeightName = "FlowWeightBitBtn4",
     .colour = {221, 255, 255},
     .solve = SolveFindLength,
     .result = Ctl::PipeLength_RightEdit,
     .resultCaption = Ctl::PipeLengthHdLabel,
     .resultUnit = Ctl::PipeLength_UnitsLabel,
     .unknown = &SolverResult::length,
     .isothermal = IsothermalLength,
     .isothermalUnknown = &IsothermalAnswer::length,
     .isothermalKey = "length_m",
     .unknownName = "a greatest length"},
}};

// The rows stand in the order of PanelKind, and each panel has the control
// that shows its unknown.
constexpr bool RowsInKindOrder() {
    for (std::size_t i = 0; i < kPanelKinds.size(); ++i)
        if (PanelDigit(kPanelKinds[i].kind) != static_cast<int>(i) + 1) return false;
    return true;
}
static_assert(RowsInKindOrder(), "kPanelKinds must list the panels in the order of PanelKind");

}  // namespace

const PanelKindSpec& KindSpec(PanelKind kind) { return kPanelKinds[static_cast<std::size_t>(PanelDigit(kind) - 1)]; }

std::string CtlName(Ctl c, PanelKind kind) {
    if (c == Ctl::PanelHeading) return std::string(KindSpec(kind).headingName);
    return std::string(CtlBaseName(c)) + std::to_string(PanelDigit(kind));
}

const char* PanelTaskName(PanelKind kind) { return KindSpec(kind).taskName.data(); }

SolverResult SolvePanel(PanelKind kind, const SolverInputs& in) { return KindSpec(kind).solve(in); }

}  // namespace corvane
