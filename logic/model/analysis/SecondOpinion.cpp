#include "logic/model/analysis/SecondOpinion.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "logic/engine/FittingMethods.h"
#include "logic/engine/FittingTable.h"
#include "logic/engine/PipeFlow.h"
#include "logic/engine/Units.h"
#include "logic/model/analysis/AnalysisPictures.h"
#include "logic/model/data/FittingsDialogModel.h"
#include "logic/model/panels/PanelKinds.h"
#include "logic/model/shared/FlowUnitLists.h"
#include "logic/text/NumberText.h"

namespace corvane {
namespace {

std::string Number(double v, int decimals, const Locale& l) { return WriteEntryNumber(v, decimals, l).value_or("?"); }

// At least four significant digits: a small gas pressure drop shows more
// than zeros.
std::string Significant(double v, const Locale& l) {
    int decimals = 3;
    if (v != 0 && std::isfinite(v)) decimals = std::clamp(3 - static_cast<int>(std::floor(std::log10(std::abs(v)))), 3, 8);
    return Number(v, decimals, l);
}

const char* FaultText(IsothermalFault f) {
    switch (f) {
        case IsothermalFault::Choked: return "finds the flow choked: no outlet pressure passes this flow";
        case IsothermalFault::NoLength:
            return "finds that the fittings and the gas's acceleration alone take the allowable loss";
        case IsothermalFault::NotAGas:
        case IsothermalFault::NoAnswer: break;
    }
    return "gives no answer for this case";
}

}  // namespace

std::string UnknownText(const PanelModel& panel, double value) {
    const Locale& l = panel.locale();
    const bool metric = panel.metric();
    // Each unknown has its own units and conversion (the flow its list's
    // unit): behaviour, not a fact to look up.
    switch (panel.kind()) {
        case PanelKind::PressureDrop:
            return metric ? Significant(value, l) + " bar" : Significant(PressureFromBar(kPsi, value), l) + " psi";
        case PanelKind::Flow:
            return Significant(FlowFromLitresPerMin(panel.flowUnitCode(), value), l) + " " +
                   FlowUnitText(panel.flowUnitCode(), l);
        case PanelKind::Diameter:
            return metric ? Significant(value, l) + " mm" : Significant(value / kMillimetresPerInch, l) + " inch";
        case PanelKind::Length:
            return metric ? Significant(value, l) + " m" : Significant(LengthFromMetres(kFoot, value), l) + " ft";
    }
    return "";
}

std::optional<IsothermalComparison> CompareIsothermal(const PanelModel& panel, const OperatingPoint& op) {
    if (!op.inputs.gas || op.refusal) return std::nullopt;
    IsothermalComparison c;
    const PanelKindSpec& spec = KindSpec(panel.kind());
    const IsothermalAnswer a = spec.isothermal(op.inputs);
    c.jsonKey = spec.isothermalKey;
    c.panelValue = op.result.*spec.unknown;
    c.isothermalValue = a.*spec.isothermalUnknown;
    c.fault = a.fault;
    c.passes = a.passes;
    if (!c.fault && c.isothermalValue != 0)
        c.differencePercent = (c.panelValue - c.isothermalValue) / c.isothermalValue * 100.0;
    else if (!c.fault)
        c.fault = IsothermalFault::NoAnswer;
    return c;
}

std::optional<IsothermalComparison> CompareIsothermal(const PanelModel& panel) {
    return CompareIsothermal(panel, SolveOperatingPoint(panel));
}

std::vector<ValidityNote> IsothermalNotes(const PanelModel& panel, const OperatingPoint& op) {
    std::vector<ValidityNote> notes;
    const auto c = CompareIsothermal(panel, op);
    if (!c) return notes;
    const Locale& l = panel.locale();
    const std::string method = "The complete isothermal equation for a compressible gas (friction, fittings and the "
                               "gas's acceleration; the elevation left out) ";
    if (c->fault) {
        notes.push_back({"Isothermal comparison", method + FaultText(*c->fault) + "."});
        return notes;
    }
    const std::string percent = Number(c->differencePercent, 1, l);
    notes.push_back({"Isothermal comparison", method + "gives " + std::string(KindSpec(panel.kind()).unknownName) + " of " +
                                                  UnknownText(panel, c->isothermalValue) + "; the panel's " +
                                                  UnknownText(panel, c->panelValue) + " lies " + percent +
                                                  " % from it."});
    if (std::abs(c->differencePercent) > kIsothermalNoteLimitPercent)
        notes.push_back({"Gas method differs",
                         "The panel's result lies " + percent +
                             " % from the complete isothermal equation's, more than 5 %: the simple gas method is "
                             "not accurate for this case; use the isothermal answer or a compressible-flow method."});
    return notes;
}

std::string FittingKindName(int kind, const FittingsSelection& fittings) {
    if (kind < 1 || kind > kFittingKindCount) return {};
    std::string name = FittingsDialogModel::KindNames()[static_cast<std::size_t>(kind - 1)];
    if (kind >= kFirstValveKind && kind < kFirstValveKind + kValveSelectorCount) {
        const int opening = fittings.openings[static_cast<std::size_t>(kind - kFirstValveKind)];
        if (opening >= 0 && opening < kOpeningCount)
            name += " " + FittingsDialogModel::OpeningItems()[static_cast<std::size_t>(opening)] + " % open";
    }
    return name;
}

std::string SizeBandText(double diameter) {
    static const char* const kUpTo[kSizeBandCount] = {"1/4", "3/8", "1/2", "3/4", "1", "1 1/4", "1 1/2",
                                                      "2",   "3",   "4",   "6",   "10", "16",    nullptr};
    const int band = FittingSizeBand(diameter);
    const char* top = kUpTo[band];
    return std::to_string(band) + (top ? std::string(" (to ") + top + " in)" : std::string(" (above 16 in)"));
}

FittingsComparisonTable CompareFittings(const PanelModel& panel, const OperatingPoint& op) {
    FittingsComparisonTable t;
    if (!ShowsResults(panel)) {
        t.message = kNoResultText;
        return t;
    }
    if (op.refusal) {
        t.message = ReplaceLineBreaks(op.refusal->text);
        return t;
    }
    const FittingsKComparison k = CompareFittingsK(op.inputs.fittings, op.diameter, op.result.reynolds);
    if (k.rows.empty() && k.extraK == 0) {
        t.message = "No fittings: the pipe run has none to compare.";
        return t;
    }
    const Locale& l = panel.locale();
    const std::string band = SizeBandText(op.diameter);
    const std::string none = "-";
    t.headers = {"Fitting", "Count", "Size band", "K by the table", "K by 2-K", "K by 3-K"};
    for (const FittingKRow& r : k.rows) {
        t.rows.push_back({FittingKindName(r.kind, op.inputs.fittings), std::to_string(r.count), band, Number(r.table, 3, l),
                          r.twoK ? Number(*r.twoK, 3, l) : none, r.threeK ? Number(*r.threeK, 3, l) : none});
    }
    if (k.extraK != 0) {
        const std::string e = Number(k.extraK, 3, l);
        t.rows.push_back({"Extra K", "1", none, e, e, e});
    }
    const double v = op.result.velocity;
    const bool metric = panel.metric();
    const std::string unit = metric ? " m hd" : " ft hd";
    auto head = [&](double kk) {
        const double h = FittingsHead(kk, v);
        return Number(metric ? h : LengthFromMetres(kFoot, h), 3, l) + unit;
    };
    auto diff = [&](double kk) {
        return k.tableTotal != 0 ? Number((kk - k.tableTotal) / k.tableTotal * 100.0, 1, l) + " %" : none;
    };
    t.totals.push_back({"Total K", "", "", Number(k.tableTotal, 3, l), Number(k.twoKTotal, 3, l),
                        Number(k.threeKTotal, 3, l)});
    t.totals.push_back({"Head in the fittings", "", "", head(k.tableTotal), head(k.twoKTotal), head(k.threeKTotal)});
    t.totals.push_back({"Difference from the table", "", "", "", diff(k.twoKTotal), diff(k.threeKTotal)});
    return t;
}

FittingsComparisonTable CompareFittings(const PanelModel& panel) {
    return CompareFittings(panel, SolveOperatingPoint(panel));
}

}  // namespace corvane
