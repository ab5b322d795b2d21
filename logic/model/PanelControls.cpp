#include "logic/model/PanelControls.h"

#include <array>

namespace corvane {
namespace {

constexpr std::array<std::string_view, kCtlCount> kNames = {
    "IRmm_RightEdit",
    "IDmm_RightEdit",
    "LengthM_RightEdit",
    "ElevationChange_RightEdit",
    "Barg_RightEdit",
    "FlowrateLMin_RightEdit",
    "VisibleFlowrateLMin_RightEdit",
    "AvailablePressure_RightEdit",
    "AllowablePressureLoss_RightEdit",
    "FluidName_Edit",
    "FluidViscosityRightEdit",
    "FluidRelativeDensityRightEdit",
    "RightEditVisibleFluidDensityDisplay",
    "CentistokesHdEdit",
    "RelativeDensityHdEdit",
    "FlowType_RightEdit",
    "ReynoldsNumber_RightEdit",
    "FrictionFactor_RightEdit",
    "MSec_RightEdit",
    "mHd_RightEdit",
    "PipeDiameter_RightEdit",
    "PipeLength_RightEdit",
    "IR_UnitsLabel",
    "ID_UnitsLabel",
    "Length_UnitsLabel",
    "ElevationChange_UnitsLabel",
    "FluidVelocity_UnitsLabel",
    "PipeDiameter_UnitsLabel",
    "PipeLength_UnitsLabel",
    "BargHdLabel",
    "GasPressureHdLabel",
    "UncompressedVolumeHdLabel",
    "AllowableLossHdLabel",
    "AvailablePressureHdLabel",
    "GasFlowInfoPanel",
    "ActualFlowHdLabel",
    "ActualFlowValueLabel",
    "ExitFlowHdLabel",
    "ExitFlowValueLabel",
    "ExitFlowBarLabel",
    "FlowWeightPanel",
    "FittingsBitBtn",
    "Uncompressed_SpeedButton",
    "PanelHeading",
    "PipeDetailsHdLabel",
    "ResultsHdLabel",
    "InternalRoughnessHdLabel",
    "PipematerailHdLabel",
    "InternalDiameterHdLabel",
    "LengthHdLabel",
    "ElevationChangeLabel",
    "FlowHdLabel",
    "FlowTypeHdLabel",
    "ReynoldsNumberHdLabel",
    "FrictionFactorHdLabel",
    "FluidVelocityHdLabel",
    "PressureDropHdLabel",
    "MinPipeDiameterHdLabel",
    "PipeLengthHdLabel",
    "PipeMaterialComboBox",
    "RiseFallComboBox",
    "MhdBarComboBox",
    "FlowUnitComboBox",
    "Gas_FlowUnitComboBox",
};

constexpr std::array<std::string_view, 4> kHeadingNames = {"FindPressureHdLabel", "FindFlowHdLabel2",
                                                           "FindDiameterHdLabel3", "FindLengthHdLabel4"};

}  // namespace

std::string_view CtlBaseName(Ctl c) { return kNames[static_cast<std::size_t>(c)]; }

std::string CtlName(Ctl c, PanelKind kind) {
    if (c == Ctl::PanelHeading) return std::string(kHeadingNames[static_cast<std::size_t>(PanelDigit(kind) - 1)]);
    return std::string(CtlBaseName(c)) + std::to_string(PanelDigit(kind));
}

bool PanelHas(PanelKind kind, Ctl c) {
    const bool p1 = kind == PanelKind::PressureDrop;
    const bool p2 = kind == PanelKind::Flow;
    const bool p3 = kind == PanelKind::Diameter;
    const bool p4 = kind == PanelKind::Length;
    switch (c) {
        case Ctl::IDmm_RightEdit:
        case Ctl::ID_UnitsLabel:
        case Ctl::InternalDiameterHdLabel:
            return !p3;
        case Ctl::LengthM_RightEdit:
        case Ctl::Length_UnitsLabel:
        case Ctl::LengthHdLabel:
            return !p4;
        case Ctl::VisibleFlowrateLMin_RightEdit:
        case Ctl::Uncompressed_SpeedButton:
            return !p2;
        case Ctl::AvailablePressure_RightEdit:
        case Ctl::AllowablePressureLoss_RightEdit:
        case Ctl::AllowableLossHdLabel:
        case Ctl::AvailablePressureHdLabel:
            return !p1;
        case Ctl::mHd_RightEdit:
        case Ctl::PressureDropHdLabel:
            return p1;
        case Ctl::PipeDiameter_RightEdit:
        case Ctl::PipeDiameter_UnitsLabel:
        case Ctl::MinPipeDiameterHdLabel:
            return p3;
        case Ctl::PipeLength_RightEdit:
        case Ctl::PipeLength_UnitsLabel:
        case Ctl::PipeLengthHdLabel:
            return p4;
        case Ctl::Count_:
            return false;
        default:
            return true;
    }
}

bool IsList(Ctl c) {
    return c == Ctl::PipeMaterialComboBox || c == Ctl::RiseFallComboBox || c == Ctl::MhdBarComboBox ||
           c == Ctl::FlowUnitComboBox || c == Ctl::Gas_FlowUnitComboBox;
}

bool IsResult(PanelKind kind, Ctl c) {
    switch (c) {
        case Ctl::FlowType_RightEdit:
        case Ctl::ReynoldsNumber_RightEdit:
        case Ctl::FrictionFactor_RightEdit:
        case Ctl::MSec_RightEdit:
            return true;
        case Ctl::mHd_RightEdit:
        case Ctl::PipeDiameter_RightEdit:
        case Ctl::PipeLength_RightEdit:
            return PanelHas(kind, c);
        case Ctl::FlowrateLMin_RightEdit:
            return kind == PanelKind::Flow;
        default:
            return false;
    }
}

bool IsUserEntry(PanelKind kind, Ctl c) {
    switch (c) {
        case Ctl::IRmm_RightEdit:
        case Ctl::IDmm_RightEdit:
        case Ctl::LengthM_RightEdit:
        case Ctl::ElevationChange_RightEdit:
        case Ctl::Barg_RightEdit:
        case Ctl::VisibleFlowrateLMin_RightEdit:
        case Ctl::AvailablePressure_RightEdit:
        case Ctl::AllowablePressureLoss_RightEdit:
            return PanelHas(kind, c);
        default:
            return false;
    }
}

}  // namespace corvane
