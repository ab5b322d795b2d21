#pragma once
// Varied panel files for the batch tool's tests and benchmarks: a panel of a
// random kind, set up through the panel model as a user would (units,
// liquid or gas, entries, lists, fittings, compressed entry) and saved.
// Some of them are refused by Calculate, as real files are.

#include <random>
#include <string>

#include "logic/model/panels/PanelFile.h"
#include "logic/model/panels/PanelModel.h"
#include "logic/model/shared/FittingsText.h"
#include "logic/text/NumberText.h"

namespace corvane {

inline std::string RandomPanelFile(std::mt19937& rng, const Locale& locale) {
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    auto text = [&](double v, int decimals) { return WriteEntryNumber(v, decimals, locale).value_or("1"); };

    const auto kind = static_cast<PanelKind>(1 + pick(4));
    PanelModel panel(kind, locale);
    const bool gas = pick(3) == 0;
    if (gas) {
        const char* names[] = {"Air", "Nitrogen", "Methane"};
        panel.useFluid({names[pick(3)], "20\u00b0C (68\u00b0F)", text(real(10, 20), 6), text(real(0.6, 1.4), 6), true});
    } else if (pick(2)) {
        panel.useFluid({"Oil", "40\u00b0C (104\u00b0F)", text(real(0.5, 300), 6), text(real(0.7, 1.3), 6), false});
    }
    if (pick(3) == 0) {
        const int units = static_cast<int>(FlowUnitItems(gas ? FlowListKind::Gas : FlowListKind::Liquid,
                                                         UnitSystem::Imperial, locale)
                                               .size());
        panel.switchUnits(UnitSystem::Imperial, {pick(2) ? ConversionChoice::Convert : ConversionChoice::UseCurrentValues,
                                                 pick(units)});
    }
    for (Ctl list : {Ctl::PipeMaterialComboBox, Ctl::RiseFallComboBox, Ctl::MhdBarComboBox, Ctl::FlowUnitComboBox,
                     Ctl::Gas_FlowUnitComboBox}) {
        const int items = static_cast<int>(panel.list(list).items.size());
        if (PanelHas(kind, list) && items > 0) panel.selectItem(list, pick(items));
    }
    struct Range {
        Ctl entry;
        double lo, hi;
    };
    const Range ranges[] = {{Ctl::IRmm_RightEdit, 0.001, 0.5},          {Ctl::IDmm_RightEdit, 5, 300},
                            {Ctl::LengthM_RightEdit, 1, 2000},          {Ctl::ElevationChange_RightEdit, 0, 50},
                            {Ctl::Barg_RightEdit, 0.5, 20},             {Ctl::VisibleFlowrateLMin_RightEdit, 1, 3000},
                            {Ctl::AvailablePressure_RightEdit, 1, 100}, {Ctl::AllowablePressureLoss_RightEdit, 0.05, 5}};
    for (const Range& r : ranges)
        if (IsUserEntry(kind, r.entry) && pick(4) != 0) panel.editEntry(r.entry, text(real(r.lo, r.hi), 3));
    if (pick(2)) {
        std::string fittings;
        for (int i = 0; i < kFittingsFieldCount - 1; ++i)
            fittings += std::to_string(i < kValveSelectorCount ? pick(4) : (pick(4) == 0 ? pick(5) : 0)) + "\t";
        panel.setFittingsString(fittings + text(pick(2) ? real(0, 10) : 0.0, 2) + "\t");
    }
    if (gas && pick(2)) panel.setCompressedEntry(true);
    return SavePanelFile(panel);
}

}  // namespace corvane
