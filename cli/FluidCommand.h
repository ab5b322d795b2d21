#pragma once
// corvane-cli fluid: a liquid at the temperature asked for, as the fluid
// dialog's "Water (IAPWS)" and "Interpolate between rows" find it.
//
//   corvane-cli fluid water TEMPERATURE [--pressure BAR_A] [--json]
//   corvane-cli fluid interpolate NAME TEMPERATURE [--json] [--data-dir DIR]
//
// Temperatures in degC, pressures in bar a, either decimal mark.  Prints
// the kinematic viscosity (cSt), density (kg/m3 and relative), dynamic
// viscosity, vapour pressure (bar a), the method and its range; with
// --json one object of numbers (the shortest text that reads back to the
// same double) and texts.  Exit status 0 done, 1 refused (outside the
// method's range; the message on stderr), 2 a command line that cannot be
// understood or a data file that cannot be read.

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/DataCommands.h"
#include "cli/ExitStatus.h"
#include "logic/model/data/LiquidAtTemperature.h"
#include "logic/text/Locale.h"

namespace corvane {

// `args` are the words after "fluid".
ExitStatus RunFluidCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                           const Locale& locale, const DataCommandPlace& place);

// The JSON object of a liquid: viscosity_cst, density_kg_m3,
// relative_density, dynamic_viscosity_pa_s, vapour_pressure_bar_a (null
// where the method gives none), method and range.
std::string LiquidJson(const LiquidAtTemperature& liquid);

}  // namespace corvane
