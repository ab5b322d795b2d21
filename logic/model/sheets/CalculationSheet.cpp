#include "logic/model/sheets/CalculationSheet.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <ctime>

#include "logic/engine/FittingTable.h"
#include "logic/engine/PipeFlow.h"
#include "logic/engine/Units.h"
#include "logic/model/analysis/Analysis.h"
#include "logic/model/analysis/SecondOpinion.h"
#include "logic/model/analysis/ValidityNotes.h"
#include "logic/model/panels/PanelKinds.h"
#include "logic/model/pumps/PumpTab.h"
#include "logic/model/shared/FlowUnitLists.h"
#include "logic/text/NumberText.h"

#ifndef CORVANE_VERSION
#error "CORVANE_VERSION is set by the build"
#endif

namespace corvane {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// An equation, and after a gap of six spaces what it says.
SheetBlock Equation(const std::string& line) {
    SheetBlock b;
    b.kind = SheetBlock::Kind::Equation;
    const auto gap = line.find("      ");
    b.text = line.substr(0, gap);
    if (gap != std::string::npos) b.note = line.substr(gap + 6);
    return b;
}

SheetBlock Chart(ChartPicture picture) {
    SheetBlock b;
    b.kind = SheetBlock::Kind::Chart;
    b.chart = std::move(picture);
    return b;
}

const char* TaskOf(PanelKind kind) { return PanelTaskName(kind); }

// A text that holds a number and then its unit ("144.477 litre/min") as
// the number and the unit.
std::pair<std::string, std::string> NumberAndUnit(const std::string& text) {
    const auto space = text.find(' ');
    if (space == std::string::npos) return {text, ""};
    return {text.substr(0, space), text.substr(space + 1)};
}

// The texts of the sheet of one panel.
class SheetWriter {
public:
    SheetWriter(const PanelModel& panel, const std::optional<PumpEntry>& pump)
        : p_(panel), l_(panel.locale()), op_(SolveOperatingPoint(panel)) {
        if (pump) pump_ = SolvePumpEntry(panel, *pump);
    }

    std::vector<SheetSection> sections() {
        return {theCase(), theMethod(), intermediateValues(), theResult(), thePlots()};
    }

private:
    std::string num(double v, int decimals) const { return WriteEntryNumber(v, decimals, l_).value_or("?"); }
    std::string sig(double v) const { return SignificantText(v, l_); }
    std::string dec(const char* text) const { return EquationNumber(text, l_); }
    std::string dec(double constant) const { return EquationNumber(constant, l_); }
    std::string text(Ctl c) const { return p_.text(c); }
    std::string entry(Ctl c) const { return FixDecimalSeparator(p_.text(c), l_); }
    std::string item(Ctl c) const { return p_.list(c).selectedText(); }
    std::string trim(std::string s) const {
        s.erase(0, std::min(s.find_first_not_of(' '), s.size()));
        while (!s.empty() && (s.back() == ' ' || s.back() == ':')) s.pop_back();
        return s;
    }
    bool gas() const { return op_.inputs.gas; }
    bool metric() const { return p_.metric(); }
    PanelKind kind() const { return p_.kind(); }
    // Where the solver takes the viscosity at the inlet pressure.
    bool viscosityFactor() const { return op_.viscosityAtPressure; }
    std::string flowUnit() const { return item(gas() ? Ctl::Gas_FlowUnitComboBox : Ctl::FlowUnitComboBox); }
    std::string pressureUnit() const { return metric() ? "bar" : "psi"; }

    SheetSection theCase() const {
        SheetSection s{"1  The case", {}};
        Rows rows;
        rows.push_back({"Calculation", TaskOf(kind()), ""});
        rows.push_back({"Units", metric() ? "Metric" : "Imperial", ""});
        rows.push_back({"Fluid", trim(text(Ctl::FluidName_Edit)), ""});
        rows.push_back({"State", gas() ? "gas" : "liquid", ""});
        rows.push_back({"Kinematic viscosity", entry(Ctl::FluidViscosityRightEdit), "cSt"});
        if (gas()) {
            rows.push_back({"Gas density at 0" + std::string(1, l_.decimalSeparator) + "0 " + text(Ctl::BargHdLabel),
                            entry(Ctl::FluidRelativeDensityRightEdit), "kg/m\u00b3"});
            std::string inlet = trim(text(Ctl::GasPressureHdLabel));
            if (inlet != "Inlet pressure") inlet += " (inlet pressure)";
            rows.push_back({inlet, entry(Ctl::Barg_RightEdit), text(Ctl::BargHdLabel)});
            rows.push_back({"Gas density at the inlet pressure", text(Ctl::RightEditVisibleFluidDensityDisplay),
                            "kg/m\u00b3"});
        } else {
            rows.push_back({"Relative density (water = 1)", entry(Ctl::FluidRelativeDensityRightEdit), ""});
            if (viscosityFactor())
                rows.push_back({"Inlet pressure (for the viscosity)", entry(Ctl::Barg_RightEdit), text(Ctl::BargHdLabel)});
        }
        rows.push_back({trim(text(Ctl::PipematerailHdLabel)), item(Ctl::PipeMaterialComboBox), ""});
        rows.push_back({trim(text(Ctl::InternalRoughnessHdLabel)), entry(Ctl::IRmm_RightEdit), text(Ctl::IR_UnitsLabel)});
        if (kind() != PanelKind::Diameter)
            rows.push_back({trim(text(Ctl::InternalDiameterHdLabel)), entry(Ctl::IDmm_RightEdit), text(Ctl::ID_UnitsLabel)});
        if (kind() != PanelKind::Length)
            rows.push_back({trim(text(Ctl::LengthHdLabel)), entry(Ctl::LengthM_RightEdit), text(Ctl::Length_UnitsLabel)});
        rows.push_back({trim(text(Ctl::ElevationChangeLabel)) + " (" + item(Ctl::RiseFallComboBox) + ")",
                        entry(Ctl::ElevationChange_RightEdit), text(Ctl::ElevationChange_UnitsLabel)});
        if (kind() != PanelKind::Flow) {
            const std::string flow = gas() ? "Flow (free volume, at 0" + std::string(1, l_.decimalSeparator) + "0 " +
                                                 text(Ctl::BargHdLabel) + ")"
                                           : trim(text(Ctl::FlowHdLabel));
            rows.push_back({flow, entry(Ctl::FlowrateLMin_RightEdit), flowUnit()});
        }
        if (kind() != PanelKind::PressureDrop) {
            if (gas())
                rows.push_back({trim(text(Ctl::AllowableLossHdLabel)), entry(Ctl::AllowablePressureLoss_RightEdit),
                                pressureUnit()});
            else
                rows.push_back({trim(text(Ctl::AvailablePressureHdLabel)), entry(Ctl::AvailablePressure_RightEdit),
                                item(Ctl::MhdBarComboBox)});
        }
        s.blocks.push_back(SheetTable({"Entry", "Value", "Unit"}, rows));

        const FittingsSelection& f = op_.inputs.fittings;
        const double d = op_.diameter;
        Rows fittings;
        for (int k = 1; k <= kFittingKindCount; ++k) {
            const int n = f.counts[static_cast<std::size_t>(k - 1)];
            if (n == 0) continue;
            const std::string name = FittingKindName(k, f);
            const double one = FittingK(FittingTypeOfKind(k, f.openings), d);
            fittings.push_back({name, std::to_string(n), SizeBandText(d), num(one, 3), num(n * one, 3)});
        }
        if (f.extraK != 0) fittings.push_back({"Extra K", "1", "", num(f.extraK, 3), num(f.extraK, 3)});
        if (fittings.empty()) {
            s.blocks.push_back(SheetParagraph("Fittings: none."));
        } else {
            fittings.push_back({"Total K", "", "", "", num(op_.result.fittingsK.value_or(0), 3)});
            std::string at = "Fittings, K of each by the size band of the " +
                             std::string(kind() == PanelKind::Diameter ? "solved " : "") + "internal diameter (" +
                             (metric() ? num(d, 3) + " mm" : num(d / kMillimetresPerInch, 3) + " inch") + "):";
            s.blocks.push_back(SheetParagraph(at));
            s.blocks.push_back(SheetTable({"Fitting", "Count", "Size band", "K of one", "K"}, fittings, 1));
        }
        return s;
    }

    SheetSection theMethod() const {
        SheetSection s{"2  The method", {}};
        s.blocks.push_back(SheetParagraph(
            "Steady flow in a full round pipe, Darcy\u2013Weisbach, with the friction factor by its flow zone; "
            "calculated in SI units (D, L, \u03b5 and h in m, Q in m\u00b3/s, \u03bd in m\u00b2/s, \u0394p in bar, "
            "g = " + dec(kGravity) + " m/s\u00b2)."));
        if (gas()) {
            s.blocks.push_back(Equation("c = " + dec(kAtmosphereBar) + " / (P + " + dec(kAtmosphereBar) +
                                        ")      volume ratio at the inlet gauge pressure P (bar g)"));
            s.blocks.push_back(Equation("v = c Q / (\u03c0 D\u00b2 / 4)      velocity at the inlet, Q the free flow"));
            s.blocks.push_back(Equation("Re = v D / (c \u03bd (1 + " + dec(kGasViscosityPerBar) +
                                        " P))      the viscosity rises " + dec(kGasViscosityPerBar * 100) + " % per bar"));
        } else {
            s.blocks.push_back(Equation("v = Q / (\u03c0 D\u00b2 / 4)"));
            if (viscosityFactor())
                s.blocks.push_back(Equation("Re = v D / (\u03bd (1 + " + dec(kGasViscosityPerBar) +
                                            " P))      the viscosity taken at the inlet pressure P (bar g), "
                                            "as this panel calculates"));
            else
                s.blocks.push_back(Equation("Re = v D / \u03bd"));
        }
        const std::string laminar = dec(kLaminarLimit), turbulent = dec(kTurbulentLimit);
        s.blocks.push_back(Equation("f = " + dec(kLaminarFactor) + " / Re      for Re \u2264 " + laminar + " (laminar)"));
        s.blocks.push_back(Equation("f = (Re \u2212 " + dec(kCriticalOffset) + ") / " + dec(kCriticalSlope) + "      for " +
                                    laminar + " < Re < " + turbulent + " (critical zone, a straight line)"));
        s.blocks.push_back(Equation("1 / \u221af = \u2212" + dec(kHaalandFactor) + " log\u2081\u2080[(\u03b5 / D / " +
                                    dec(kHaalandRoughnessDivisor) + ")^" + dec(kHaalandExponent) + " + " +
                                    dec(kHaalandReynoldsTerm) + " / Re]      for Re \u2265 " + turbulent +
                                    " (Haaland, turbulent)"));
        s.blocks.push_back(Equation("h_pipe = f (L / D) v\u00b2 / 2g      head lost in the pipe (Darcy\u2013Weisbach)"));
        s.blocks.push_back(Equation("h_fittings = K v\u00b2 / 2g      K = \u03a3 count \u00d7 K of the size band, + extra K"));
        s.blocks.push_back(Equation("h = h_pipe + h_fittings + \u0394z      \u0394z the rise (a fall negative)"));
        s.blocks.push_back(Equation(gas() ? "\u0394p = \u03c1\u2080 g h / (c \u00d7 10\u2075)      \u03c1\u2080 the gas density at 0 bar g"
                                          : "\u0394p = \u03c1 g h / 10\u2075      \u03c1 = 1000 \u00d7 relative density"));
        const int passes = op_.result.passes;
        const std::string passText = std::to_string(passes) + (passes == 1 ? " pass" : " passes");
        const std::string converged = op_.result.converged ? "." : ", and the last did not meet the tolerance.";
        // How the panel found its unknown, in its own words and numbers.
        switch (kind()) {
            case PanelKind::PressureDrop:
                s.blocks.push_back(SheetParagraph("The pressure drop follows directly from the flow: no iteration."));
                break;
            case PanelKind::Flow:
                s.blocks.push_back(SheetParagraph(
                    "The flow was solved by fixed-point iteration on the velocity: from v = " + dec(kFlowIterationStartVelocity) +
                    " m/s, each pass takes f "
                    "at the pass's Reynolds number and sets v \u2190 v \u221a(h_available / h_pass), the heads per metre "
                    "of pipe, until they agree within " + dec(kIterationTolerance) + "; " + passText + " were needed" + converged +
                    " The flow is Q = v (\u03c0 D\u00b2 / 4)" + (gas() ? " / c." : ".")));
                break;
            case PanelKind::Diameter:
                s.blocks.push_back(SheetParagraph(
                    "The diameter was solved by fixed-point iteration: from D = " + dec(kDiameterIterationStart) +
                    " mm, each pass takes v, Re, f and the "
                    "fittings' K at the pass's diameter and sets D \u2190 D (h_pass / h_available)^\u00bc, the heads per "
                    "metre of pipe, until they agree within " + dec(kIterationTolerance) + "; " + passText + " were needed" +
                    converged));
                break;
            case PanelKind::Length:
                s.blocks.push_back(SheetParagraph(
                    "The length follows directly: L = (h_available \u2212 \u0394z \u2212 h_fittings) / (f v\u00b2 / 2g D); "
                    "no iteration."));
                break;
        }
        if (kind() != PanelKind::PressureDrop)
            s.blocks.push_back(SheetParagraph(
                gas() ? "The head available is the allowable pressure loss as a head of the gas at the inlet: "
                        "h_available = c \u0394p \u00d7 10\u2075 / (\u03c1\u2080 g)."
                      : "The head available is the available pressure as a head of the liquid: given in bar or psi, "
                        "h_available = p \u00d7 10\u2075 / (\u03c1 g)."));
        if (gas())
            s.blocks.push_back(SheetParagraph(
                "Second opinion: the complete isothermal equation for a compressible gas, "
                "\u1e41\u00b2 = (\u03c0D\u00b2/4)\u00b2 \u03c1\u2081 (P\u2081\u00b2 \u2212 P\u2082\u00b2) / (P\u2081 (f L/D + K + "
                "2 ln(P\u2081/P\u2082))), absolute pressures, \u03c1\u2081 the density at the inlet, f by the same rule at the "
                "mean pressure, iterated to convergence; the elevation is left out."));
        if (op_.inputs.fittings.counts != decltype(op_.inputs.fittings.counts){})
            s.blocks.push_back(SheetParagraph(
                "Fittings second opinion: 2-K (Hooper) K = K\u2081 / Re + K\u221e (1 + 1 / D), and 3-K (Darby) "
                "K = K\u2081 / Re + K\u1d62 (1 + K_d / D^" + dec("0.3") + "), D in inches, for the fittings with published "
                "constants."));
        return s;
    }

    // Section 3: what the equations were given and what they gave, in SI
    // units to six significant digits, so that each can be checked by hand;
    // an imperial panel sees its own units beside them.
    SheetSection intermediateValues() const {
        SheetSection s{"3  Intermediate values", {}};
        const double v = op_.result.velocity;
        const double dMm = op_.diameter;
        const double d = dMm / 1000.0;
        const double length = op_.length;
        const double k = op_.result.fittingsK.value_or(0);
        const double hPipe = FrictionHeadLoss(v, dMm, length, op_.result.friction);
        const double hFittings = FittingsHead(k, v);
        const double hElevation = op_.inputs.elevation;
        const double h = hPipe + hFittings + hElevation;
        const double c = GasVolumeRatio(op_.inputs.inletPressure);
        const double dp = gas() ? GasHeadToPressureDrop(h, op_.inputs.density, c) : HeadToPressureDrop(h, op_.inputs.density);
        const double rho = gas() ? op_.inputs.density : op_.inputs.density * 1000.0;
        const int code = p_.flowUnitCode();
        const bool imperial = !metric();
        auto row = [&](std::string name, std::string symbol, double si, std::string unit, std::string shown = {}) {
            std::vector<std::string> r{std::move(name), std::move(symbol), sig(si), std::move(unit)};
            if (imperial) r.push_back(std::move(shown));
            return r;
        };
        auto feet = [&](double m, const char* unit) { return num(LengthFromMetres(kFoot, m), 3) + " " + unit; };
        std::vector<std::string> headers{"Quantity", "Symbol", "Value", "SI unit"};
        if (imperial) headers.push_back("In the panel's units");

        s.blocks.push_back(SheetParagraph("What the equations were given, in SI units:"));
        Rows given;
        given.push_back(row(std::string("Internal diameter") + (kind() == PanelKind::Diameter ? " (solved)" : ""), "D", d,
                            "m", num(dMm / kMillimetresPerInch, 4) + " inch"));
        given.push_back(row(std::string("Pipe length") + (kind() == PanelKind::Length ? " (solved)" : ""), "L", length,
                            "m", feet(length, "ft")));
        given.push_back(row("Internal roughness", "\u03b5", op_.inputs.roughness / 1000.0, "m",
                            num(op_.inputs.roughness / kMillimetresPerInch, 6) + " inch"));
        given.push_back(row(std::string(gas() ? "Free flow" : "Flow") + (kind() == PanelKind::Flow ? " (solved)" : ""),
                            "Q", op_.flow / 60000.0, "m\u00b3/s",
                            num(FlowFromLitresPerMin(code, op_.flow), 3) + " " + FlowUnitText(code, l_)));
        given.push_back(row("Kinematic viscosity", "\u03bd", op_.inputs.viscosity * 1e-6, "m\u00b2/s",
                            num(op_.inputs.viscosity, 6) + " cSt"));
        given.push_back(row(gas() ? "Gas density at 0 bar g" : "Density", gas() ? "\u03c1\u2080" : "\u03c1", rho,
                            "kg/m\u00b3", num(rho, 3) + " kg/m\u00b3"));
        if (gas() || viscosityFactor())
            given.push_back(row("Inlet gauge pressure", "P", op_.inputs.inletPressure, "bar g",
                                num(PressureFromBar(kPsi, op_.inputs.inletPressure), 3) + " psi g"));
        given.push_back(row("Elevation change (a rise positive)", "\u0394z", hElevation, "m", feet(hElevation, "ft")));
        given.push_back(row("Total K of the fittings", "K", k, "", ""));
        s.blocks.push_back(SheetTable(headers, given));

        s.blocks.push_back(SheetParagraph("What the equations gave:"));
        Rows gave;
        if (gas()) gave.push_back(row("Volume ratio at the inlet", "c", c, "", ""));
        gave.push_back(row(gas() ? "Velocity at the inlet" : "Velocity", "v", v, "m/s", feet(v, "ft/s")));
        if (viscosityFactor())
            gave.push_back(row("Viscosity factor", "1 + " + dec(kGasViscosityPerBar) + " P", op_.viscosityFactor, "", ""));
        gave.push_back(row("Reynolds number", "Re", op_.result.reynolds, "", ""));
        gave.push_back({"Flow type", "", FlowTypeName(op_.result.reynolds), ""});
        if (imperial) gave.back().push_back("");
        gave.push_back(row("Relative roughness", "\u03b5/D", op_.inputs.roughness / dMm, "", ""));
        gave.push_back(row("Friction factor", "f", op_.result.friction, "", ""));
        gave.push_back(row("Head lost in the pipe", "h_pipe", hPipe, "m", feet(hPipe, "ft hd")));
        gave.push_back(row("Head lost in the fittings", "h_fittings", hFittings, "m", feet(hFittings, "ft hd")));
        if (kind() != PanelKind::PressureDrop) {
            const double available = HeadAvailable();
            gave.push_back(row("Head available", "h_available", available, "m", feet(available, "ft hd")));
        }
        gave.push_back(row("Sum", "h", h, "m", feet(h, "ft hd")));
        gave.push_back(row("As a pressure", "\u0394p", dp, "bar", num(PressureFromBar(kPsi, dp), 4) + " psi"));
        s.blocks.push_back(SheetTable(headers, gave, 2));
        return s;
    }

    // The head the panel's available pressure (liquid) or allowable loss
    // (gas) stands for, in m of the fluid.
    double HeadAvailable() const {
        const SolverInputs& in = op_.inputs;
        if (in.gas) return in.allowableLoss * 1e5 * GasVolumeRatio(in.inletPressure) / (in.density * kGravity);
        if (in.availableAs == AvailableAs::Head) return in.available;
        return in.available * 1e5 / (in.density * 1000.0 * kGravity);
    }

    SheetSection theResult() const {
        SheetSection s{"4  The result", {}};
        Rows rows;
        auto row = [&](Ctl caption, Ctl value, std::string unit) {
            rows.push_back({trim(text(caption)), text(value), std::move(unit)});
        };
        // The unknown, with the unit its label or list shows (the flow list
        // in force, liquid or gas, for the flow).
        const PanelKindSpec& spec = KindSpec(kind());
        const Ctl u = spec.resultUnit;
        row(spec.resultCaption, spec.result, !IsList(u) ? text(u) : u == Ctl::FlowUnitComboBox ? flowUnit() : item(u));
        row(Ctl::FlowTypeHdLabel, Ctl::FlowType_RightEdit, "");
        row(Ctl::ReynoldsNumberHdLabel, Ctl::ReynoldsNumber_RightEdit, "");
        row(Ctl::FrictionFactorHdLabel, Ctl::FrictionFactor_RightEdit, "");
        row(Ctl::FluidVelocityHdLabel, Ctl::MSec_RightEdit, text(Ctl::FluidVelocity_UnitsLabel));
        if (gas()) {
            // "144.477 litre/min" and "at 5.990 bar g": the numbers in the
            // value column, their units in the unit column.
            const auto entry = NumberAndUnit(text(Ctl::ActualFlowValueLabel));
            const auto exit = NumberAndUnit(text(Ctl::ExitFlowValueLabel));
            const auto at = NumberAndUnit(NumberAndUnit(text(Ctl::ExitFlowBarLabel)).second);
            rows.push_back({trim(text(Ctl::ActualFlowHdLabel)) + " (at the inlet pressure)", entry.first, entry.second});
            rows.push_back({trim(text(Ctl::ExitFlowHdLabel)), exit.first, exit.second});
            rows.push_back({"Exit pressure", at.first, at.second});
        }
        s.blocks.push_back(SheetTable({"Result", "As the panel shows it", "Unit"}, rows));

        if (const auto c = CompareIsothermal(p_, op_); c && !c->fault) {
            const auto panel = NumberAndUnit(UnknownText(p_, c->panelValue));
            const auto isothermal = NumberAndUnit(UnknownText(p_, c->isothermalValue));
            s.blocks.push_back(SheetParagraph("The panel's unknown by the complete isothermal equation:"));
            s.blocks.push_back(SheetTable({"Method", "Result", "Unit", "Difference"},
                                     {{"This panel's gas method", panel.first, panel.second, ""},
                                      {"Isothermal equation", isothermal.first, isothermal.second,
                                       num(c->differencePercent, 1) + " %"}}));
        }
        const FittingsComparisonTable fittings = CompareFittings(p_, op_);
        if (!fittings.message) {
            s.blocks.push_back(SheetParagraph("The fittings by the size band table and by the 2-K and 3-K methods, at Re " +
                                         num(op_.result.reynolds, 0) + ":"));
            Rows all = fittings.rows;
            all.insert(all.end(), fittings.totals.begin(), fittings.totals.end());
            s.blocks.push_back(SheetTable(fittings.headers, all, static_cast<int>(fittings.totals.size())));
        }
        if (pump_ && pump_->message) {
            s.blocks.push_back(SheetParagraph("Pump: " + ReplaceLineBreaks(*pump_->message)));
        } else if (pump_) {
            Rows pumpRows;
            for (const PumpRow& r : pump_->rows) pumpRows.push_back({r.caption, r.value, r.unit});
            s.blocks.push_back(SheetParagraph("The pump's operating point on this pipe run:"));
            s.blocks.push_back(SheetTable({"Pump", "Value", "Unit"}, pumpRows));
        }
        const std::vector<ValidityNote> notes = ValidityNotes(p_);
        s.blocks.push_back(SheetParagraph("Validity notes:"));
        if (notes.empty())
            s.blocks.push_back(SheetParagraph("No notes: the case lies inside the range of every formula used."));
        for (const ValidityNote& n : notes) s.blocks.push_back(SheetParagraph("\u2022 " + n.title + ": " + n.reason));
        return s;
    }

    SheetSection thePlots() const {
        SheetSection s{"5  System curve and Moody diagram", {}};
        // With a pump, its curve and operating point on the system curve,
        // which then runs past both.
        s.blocks.push_back(Chart(pump_ ? WithPump(p_, *pump_) : SystemCurvePicture(p_)));
        s.blocks.push_back(Chart(MoodyPicture(p_)));
        return s;
    }

    const PanelModel& p_;
    const Locale& l_;
    OperatingPoint op_;
    std::optional<PumpTabResult> pump_;
};

}  // namespace

std::string EquationNumber(std::string text, const Locale& locale) {
    for (char& c : text)
        if (c == '.') c = locale.decimalSeparator;
    return text;
}

std::string EquationNumber(double constant, const Locale& locale) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.12g", constant);
    return EquationNumber(std::string(buffer), locale);
}

SheetBlock SheetParagraph(std::string text) {
    SheetBlock b;
    b.text = std::move(text);
    return b;
}

SheetBlock SheetTable(std::vector<std::string> headers, std::vector<std::vector<std::string>> rows, int boldRows) {
    SheetBlock b;
    b.kind = SheetBlock::Kind::Table;
    b.headers = std::move(headers);
    b.rows = std::move(rows);
    b.boldRows = boldRows;
    return b;
}

std::string CalculationSheet::PageText(int page, int pages) {
    return "Page " + std::to_string(page) + " of " + std::to_string(pages);
}

SheetPaper PaperOf(const Locale& locale) { return locale.usEnglish ? SheetPaper::Letter : SheetPaper::A4; }

std::string TodaysDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

std::string ProgramNameAndVersion() { return std::string("Corvane ") + CORVANE_VERSION; }

CalculationSheet SheetFrame(const std::string& title, const std::string& fileWord, const std::string& fileName,
                            const std::string& date, const SheetTitle& block, const Locale& locale) {
    CalculationSheet sheet;
    sheet.paper = PaperOf(locale);
    sheet.title = title;
    sheet.program = ProgramNameAndVersion();
    sheet.date = date;
    sheet.file = fileName.empty() ? "(not saved)" : fileName;
    sheet.titleBlock = {{"Project", block.project},       {"Case", block.caseName},
                        {"Prepared by", block.preparedBy}, {"Checked by", block.checkedBy},
                        {"Revision", block.revision},      {"Date", date}};
    sheet.pageHeading = fileWord + ": " + sheet.file;
    for (const auto& [caption, value] : {std::pair{"Project", block.project}, std::pair{"case", block.caseName},
                                          std::pair{"revision", block.revision}})
        if (!value.empty()) sheet.pageHeading += std::string(" \u2014 ") + caption + " " + value;
    return sheet;
}

CalculationSheet MakeCalculationSheet(const PanelModel& panel, const std::string& fileName, const std::string& date,
                                      const std::optional<PumpEntry>& pump, const SheetTitle& title) {
    CalculationSheet sheet = SheetFrame(std::string("Calculation sheet \u2014 ") + TaskOf(panel.kind()), "Panel file",
                                        fileName, date, title, panel.locale());
    sheet.sections = SheetWriter(panel, pump).sections();
    return sheet;
}

std::string SignificantText(double value, const Locale& locale) {
    constexpr int kDigits = 6;
    const double size = std::fabs(value);
    if (value == 0 || size >= 1e-3) {
        const int decade = size > 0 ? static_cast<int>(std::floor(std::log10(size))) : 0;
        return WriteFixedNumber(value, std::max(0, kDigits - 1 - decade), 15, locale).value_or("?");
    }
    int exponent = static_cast<int>(std::floor(std::log10(size)));
    double mantissa = value / std::pow(10.0, exponent);
    // 9.999995 rounds up to the next power.
    if (std::fabs(std::round(mantissa * 1e5) / 1e5) >= 10) {
        mantissa /= 10;
        ++exponent;
    }
    return WriteEntryNumber(mantissa, kDigits - 1, locale).value_or("?") + " \u00d7 " + PowerOfTen(exponent);
}

}  // namespace corvane
