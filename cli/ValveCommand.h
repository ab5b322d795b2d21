#pragma once
// corvane-cli valve: a control valve by IEC 60534-2-1, for a liquid or a gas.
//
//   corvane-cli valve size --liquid | --gas [options] [--json]   the Kv needed
//   corvane-cli valve flow --liquid | --gas --kv KV [options]     the flow a valve passes
//   corvane-cli valve dp   --liquid | --gas --kv KV [options]     the pressure it takes
//
// Pressures in bar a, liquid and gas volume flows in m3/h, mass flows in
// kg/h, diameters in mm, a gas's temperature in degC; either decimal mark.
// Prints Kv and Cv, the flow or the outlet pressure, whether the flow is
// choked, the regime and every factor (or with --json one object: the
// inputs in those units, then the results).  Exit status 0 done, 1 refused
// (more flow than the valve passes choked, or reducers that take the whole
// pressure drop), 2 a command line that cannot be understood or a value
// that cannot be (the message names its option).  valve size --sheet OUT.pdf
// writes the case's calculation sheet instead (the title block from
// --title, --case, --prepared-by, --checked-by, --revision).

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/ExitStatus.h"
#include "logic/io/Outputs.h"
#include "logic/model/sheets/CalculationSheet.h"
#include "logic/text/Locale.h"

namespace corvane {

// What valve size --sheet needs: the drawer of the PDF (none: refused as
// not built with the views), the date it prints, and the files it must never
// take the place of (the data bases').
struct ValveSheetPlace {
    std::function<std::optional<std::string>(const CalculationSheet&)> drawer;
    std::string date;
    std::vector<GuardedFile> protectedFiles;  // the data bases' files, which no sheet replaces
};

// `args` are the words after "valve".
ExitStatus RunValveCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                           const Locale& locale, const ValveSheetPlace& place = {});

// Every option the command takes ("--p1", ...), as its usage names them.
std::vector<std::string> ValveOptionNames();

}  // namespace corvane
