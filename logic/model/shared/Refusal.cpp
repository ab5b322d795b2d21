#include "logic/model/shared/Refusal.h"

namespace corvane {

namespace refusals {
Refusal PressureTooLow() { return {MessageKind::Warning, "The pressure is too low."}; }
Refusal GasPressureDropTooHigh() {
    return {MessageKind::Information,
            "The pressure drop is greater than the inlet gas pressure\r"
            "Reduce the pipe length, elevation rise or flow rate\r"
            "or increase the internal diameter."};
}
Refusal AllowableLossTooHigh() {
    return {MessageKind::Information,
            "The allowable pressure loss cannot be greater than the inlet gas pressure.\r"
            "Reduce the allowable pressure loss."};
}
Refusal AvailablePressureTooLow() {
    return {MessageKind::Information,
            "The available pressure is too low.\r"
            "Increase the available pressure or reduce the elevation change"};
}
Refusal DiameterNotPositive() { return {MessageKind::Warning, "The internal diameter must be greater than zero."}; }
Refusal LengthNotPositive() { return {MessageKind::Warning, "The pipe length must be greater than zero."}; }
Refusal FlowNotPositive() { return {MessageKind::Warning, "The flow rate must be greater than zero."}; }
Refusal ViscosityNotPositive() {
    return {MessageKind::Warning, "The fluid viscosity must be greater than zero.\rChoose the fluid again."};
}
Refusal DensityNotPositive() {
    return {MessageKind::Warning, "The fluid density must be greater than zero.\rChoose the fluid again."};
}
Refusal RoughnessNegative() {
    return {MessageKind::Warning, "The internal roughness cannot be less than zero."};
}
Refusal FittingsNegative() {
    return {MessageKind::Warning, "The number of a fitting or the extra K cannot be less than zero.\rChoose the fittings again."};
}
Refusal FittingsTakeAvailablePressure() {
    return {MessageKind::Information,
            "The fittings and the elevation change need more than the available pressure.\r"
            "Increase the available pressure or reduce the fittings or the elevation change"};
}
Refusal NoValidResult() {
    return {MessageKind::Warning, "These entries give no valid result.\rCheck the pipe, fluid and flow data."};
}
}  // namespace refusals

Refusal RefusalOf(SolverFault fault) {
    switch (fault) {
        case SolverFault::PressureTooLow: return refusals::PressureTooLow();
        case SolverFault::GasPressureDropTooHigh: return refusals::GasPressureDropTooHigh();
        case SolverFault::AllowableLossTooHigh: return refusals::AllowableLossTooHigh();
        case SolverFault::AvailablePressureTooLow: return refusals::AvailablePressureTooLow();
        case SolverFault::DiameterNotPositive: return refusals::DiameterNotPositive();
        case SolverFault::LengthNotPositive: return refusals::LengthNotPositive();
        case SolverFault::FlowNotPositive: return refusals::FlowNotPositive();
        case SolverFault::ViscosityNotPositive: return refusals::ViscosityNotPositive();
        case SolverFault::DensityNotPositive: return refusals::DensityNotPositive();
        case SolverFault::RoughnessNegative: return refusals::RoughnessNegative();
        case SolverFault::FittingsNegative: return refusals::FittingsNegative();
        case SolverFault::FittingsTakeAvailablePressure: return refusals::FittingsTakeAvailablePressure();
        case SolverFault::NoValidResult: return refusals::NoValidResult();
    }
    return refusals::NoValidResult();
}

}  // namespace corvane
