#pragma once
// logic/model/shared: what every feature of the model uses - a refusal
// as a value, the flow-unit lists, the fittings selection as text.  The
// lowest of the model's folders: it includes only engine, text and io.
//
// What a window says when it refuses: a message box's kind and its text,
// with '\r' where the text breaks the line; and the message of each fault
// of the calculations.

#include <string>

#include "logic/engine/Solvers.h"

namespace corvane {

enum class MessageKind { Warning, Information, Error };

struct Refusal {
    MessageKind kind;
    std::string text;
    bool operator==(const Refusal&) const = default;
};

// The message a panel shows for a fault of its calculation.
Refusal RefusalOf(SolverFault fault);

namespace refusals {
Refusal PressureTooLow();
Refusal GasPressureDropTooHigh();
Refusal AllowableLossTooHigh();
Refusal AvailablePressureTooLow();
Refusal DiameterNotPositive();
Refusal LengthNotPositive();
Refusal FlowNotPositive();
Refusal ViscosityNotPositive();
Refusal DensityNotPositive();
Refusal RoughnessNegative();
Refusal FittingsNegative();
Refusal FittingsTakeAvailablePressure();
Refusal NoValidResult();
}  // namespace refusals

}  // namespace corvane
