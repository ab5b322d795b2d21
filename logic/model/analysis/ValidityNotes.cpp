#include "logic/model/analysis/ValidityNotes.h"

#include "logic/engine/PipeFlow.h"
#include "logic/engine/Units.h"
#include "logic/model/analysis/SecondOpinion.h"
#include "logic/text/NumberText.h"

namespace corvane {

std::vector<ValidityNote> ValidityNotes(const PanelModel& panel) {
    std::vector<ValidityNote> notes;
    const OperatingPoint op = SolveOperatingPoint(panel);
    if (op.refusal) return notes;
    const Locale& l = panel.locale();
    const double re = op.result.reynolds;
    const std::string reText = WriteEntryNumber(re, 0, l).value_or("?");
    if (re > kLaminarLimit && re < kTurbulentLimit)
        notes.push_back({"Critical zone",
                         "The Reynolds number " + reText +
                             " lies between 2300 and 3500, where the flow is neither reliably laminar nor turbulent; "
                             "the friction factor there is a straight-line estimate."});
    if (re >= kTurbulentLimit) {
        const double rr = op.inputs.roughness / op.diameter;
        if (re < 4000 || re > 1e8)
            notes.push_back({"Outside Haaland's range",
                             "Haaland's formula was fitted for Reynolds numbers from 4000 to 1e8; this case has " +
                                 reText + "."});
        if (rr < 1e-6 || rr > 0.05)
            notes.push_back({"Outside Haaland's range",
                             "Haaland's formula was fitted for relative roughness from 1e-6 to 0.05; this pipe has " +
                                 WriteFixedNumber(rr, 8, 3, l).value_or("?") + "."});
    }
    if (op.inputs.gas) {
        const double absolute = op.inputs.inletPressure + kAtmosphereBar;
        const double share = op.pressureDrop / absolute;
        const std::string percent = WriteEntryNumber(share * 100, 1, l).value_or("?");
        if (share > 0.4)
            notes.push_back({"Compressible flow",
                             "The pressure drop is " + percent +
                                 " % of the absolute inlet pressure: above 40 % this method no longer applies; use a "
                                 "compressible-flow method."});
        else if (share > 0.1)
            notes.push_back({"Approximate gas result",
                             "The pressure drop is " + percent +
                                 " % of the absolute inlet pressure: above 10 % the gas's density changes along the "
                                 "pipe and the results are approximate."});
        for (ValidityNote& n : IsothermalNotes(panel, op)) notes.push_back(std::move(n));
    }
    return notes;
}

}  // namespace corvane
