#include "logic/model/CalculationSheet.h"

#include <algorithm>
#include <cstddef>
#include <ctime>

#include "logic/engine/FittingTable.h"
#include "logic/engine/PipeFlow.h"
#include "logic/engine/Units.h"
#include "logic/model/Analysis.h"
#include "logic/model/SecondOpinion.h"
#include "logic/text/NumberText.h"

#ifndef CORVANE_VERSION
#error "CORVANE_VERSION is set by the build"
#endif

namespace corvane {
namespace {

using Rows = std::vector<std::vector<std::string>>;

SheetBlock Paragraph(std::string text) {
    SheetBlock b;
    b.text = std::move(text);
    return b;
}

// An equation, and after a gap of six spaces what it says.
SheetBlock Equation(const std::string& line) {
    SheetBlock b;
    b.kind = SheetBlock::Kind::Equation;
    const auto gap = line.find("      ");
    b.text = line.substr(0, gap);
    if (gap != std::string::npos) b.note = line.substr(gap + 6);
    return b;
}

SheetBlock Table(std::vector<std::string> headers, Rows rows, int boldRows = 0) {
    SheetBlock b;
    b.kind = SheetBlock::Kind::Table;
    b.headers = std::move(headers);
    b.rows = std::move(rows);
    b.boldRows = boldRows;
    return b;
}

SheetBlock Chart(ChartPicture picture) {
    SheetBlock b;
    b.kind = SheetBlock::Kind::Chart;
    b.chart = std::move(picture);
    return b;
}

const char* TaskOf(PanelKind kind) {
    switch (kind) {
        case PanelKind::PressureDrop: return "Find pressure drop";
        case PanelKind::Flow: return "Find flow";
        case PanelKind::Diameter: return "Find diameter";
        case PanelKind::Length: return "Find length";
    }
    return "";
}

// The texts of the sheet of one panel.
class SheetWriter {
public:
    SheetWriter(const PanelModel& panel, const std::optional<PumpEntry>& pump)
        : p_(panel), l_(panel.locale()), op_(SolveOperatingPoint(panel)) {
        if (pump) pump_ = SolvePumpOnPanel(panel, *pump);
    }

    std::vector<SheetSection> sections() {
        return {theCase(), theMethod(), intermediateValues(), theResult(), thePlots()};
    }

private:
    std::string num(double v, int decimals) const { return WriteEntryNumber(v, decimals, l_).value_or("?"); }
    std::string text(Ctl c) const { return p_.text(c); }
    std::string entry(Ctl c) const { return FixDecimalSeparator(p_.text(c), l_); }
    std::string item(Ctl c) const { return p_.list(c).selectedText(); }
    std::string trim(std::string s) const {
        while (!s.empty() && s.front() == ' ') s.erase(s.begin());
        while (!s.empty() && (s.back() == ' ' || s.back() == ':')) s.pop_back();
        return s;
    }
    bool gas() const { return op_.inputs.gas; }
    bool metric() const { return p_.metric(); }
    PanelKind kind() const { return p_.kind(); }
    std::string headUnit() const { return metric() ? "m hd" : "ft hd"; }
    double head(double m) const { return metric() ? m : LengthFromMetres(kFoot, m); }
    std::string pressureUnit() const { return metric() ? "bar" : "psi"; }
    double pressure(double bar) const { return metric() ? bar : PressureFromBar(kPsi, bar); }
    std::string flowUnit() const { return item(gas() ? Ctl::Gas_FlowUnitComboBox : Ctl::FlowUnitComboBox); }

    SheetSection theCase() const {
        SheetSection s{"1  The case", {}};
        Rows rows;
        rows.push_back({"Calculation", TaskOf(kind()), ""});
        rows.push_back({"Units", metric() ? "Metric" : "Imperial", ""});
        rows.push_back({"Fluid", trim(text(Ctl::FluidName_Edit)), gas() ? "gas" : "liquid"});
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
            rows.push_back({"Density", num(op_.inputs.density * 1000.0, 3), "kg/m\u00b3"});
        }
        rows.push_back({trim(text(Ctl::PipematerailHdLabel)), item(Ctl::PipeMaterialComboBox), ""});
        rows.push_back({trim(text(Ctl::InternalRoughnessHdLabel)), entry(Ctl::IRmm_RightEdit), text(Ctl::IR_UnitsLabel)});
        if (kind() != PanelKind::Diameter)
            rows.push_back({trim(text(Ctl::InternalDiameterHdLabel)), entry(Ctl::IDmm_RightEdit), text(Ctl::ID_UnitsLabel)});
        if (kind() != PanelKind::Length)
            rows.push_back({trim(text(Ctl::LengthHdLabel)), entry(Ctl::LengthM_RightEdit), text(Ctl::Length_UnitsLabel)});
        rows.push_back({trim(text(Ctl::ElevationChangeLabel)), entry(Ctl::ElevationChange_RightEdit),
                        text(Ctl::ElevationChange_UnitsLabel) + " " + item(Ctl::RiseFallComboBox)});
        if (kind() != PanelKind::Flow) {
            const std::string flow = gas() ? "Flow (free volume, at 0" + std::string(1, l_.decimalSeparator) + "0 " +
                                                 text(Ctl::BargHdLabel) + ")"
                                           : trim(text(Ctl::FlowHdLabel));
            rows.push_back({flow, entry(Ctl::FlowrateLMin_RightEdit), flowUnit()});
        }
        if (kind() != PanelKind::PressureDrop) {
            if (gas())
                rows.push_back({trim(text(Ctl::AllowableLossHdLabel)), entry(Ctl::AllowablePressureLoss_RightEdit),
                                metric() ? "bar" : "psi"});
            else
                rows.push_back({trim(text(Ctl::AvailablePressureHdLabel)), entry(Ctl::AvailablePressure_RightEdit),
                                item(Ctl::MhdBarComboBox)});
        }
        s.blocks.push_back(Table({"Entry", "Value", "Unit"}, rows));

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
            s.blocks.push_back(Paragraph("Fittings: none."));
        } else {
            fittings.push_back({"Total K", "", "", "", num(op_.result.fittingsK.value_or(0), 3)});
            std::string at = "Fittings, K of each by the size band of the " +
                             std::string(kind() == PanelKind::Diameter ? "solved " : "") + "internal diameter (" +
                             (metric() ? num(d, 3) + " mm" : num(d / kMillimetresPerInch, 3) + " inch") + "):";
            s.blocks.push_back(Paragraph(at));
            s.blocks.push_back(Table({"Fitting", "Count", "Size band", "K of one", "K"}, fittings, 1));
        }
        return s;
    }

    SheetSection theMethod() const {
        SheetSection s{"2  The method", {}};
        s.blocks.push_back(Paragraph(
            "Steady flow in a full round pipe, Darcy\u2013Weisbach, with the friction factor by its flow zone; "
            "calculated in SI units (D in m, Q in m\u00b3/s, g = 9" + std::string(1, l_.decimalSeparator) +
            "81 m/s\u00b2)."));
        if (gas()) {
            s.blocks.push_back(Equation("c = 1" + std::string(1, l_.decimalSeparator) + "01325 / (P + 1" +
                                        std::string(1, l_.decimalSeparator) +
                                        "01325)      volume ratio at the inlet gauge pressure P (bar g)"));
            s.blocks.push_back(Equation("v = c Q / (\u03c0 D\u00b2 / 4)      velocity at the inlet, Q the free flow"));
            s.blocks.push_back(Equation("Re = v D / \u03bd / (1 + 0" + std::string(1, l_.decimalSeparator) +
                                        "0028 P) / c      the viscosity rises 0" +
                                        std::string(1, l_.decimalSeparator) + "28 % per bar"));
        } else {
            s.blocks.push_back(Equation("v = Q / (\u03c0 D\u00b2 / 4)"));
            s.blocks.push_back(Equation("Re = v D / \u03bd"));
        }
        s.blocks.push_back(Equation("f = 64 / Re      for Re \u2264 2300 (laminar)"));
        s.blocks.push_back(Equation("f = (Re \u2212 1500) / 30000      for 2300 < Re < 3500 (critical zone, a straight line)"));
        s.blocks.push_back(Equation("1 / \u221af = \u22121" + std::string(1, l_.decimalSeparator) + "8 log\u2081\u2080[(\u03b5 / D / 3" +
                                    std::string(1, l_.decimalSeparator) + "7)^1" + std::string(1, l_.decimalSeparator) +
                                    "11 + 6" + std::string(1, l_.decimalSeparator) +
                                    "9 / Re]      for Re \u2265 3500 (Haaland, turbulent)"));
        s.blocks.push_back(Equation("h_pipe = f (L / D) v\u00b2 / 2g      head lost in the pipe (Darcy\u2013Weisbach)"));
        s.blocks.push_back(Equation("h_fittings = K v\u00b2 / 2g      K = \u03a3 count \u00d7 K of the size band, + extra K"));
        s.blocks.push_back(Equation("h = h_pipe + h_fittings + \u0394z      \u0394z the rise (a fall negative)"));
        s.blocks.push_back(Equation(gas() ? "\u0394p = \u03c1\u2080 / c \u00d7 g h      \u03c1\u2080 the gas density at 0 bar g"
                                          : "\u0394p = \u03c1 g h      \u03c1 = 1000 \u00d7 relative density"));
        const int passes = op_.result.passes;
        const std::string passText = std::to_string(passes) + (passes == 1 ? " pass" : " passes");
        switch (kind()) {
            case PanelKind::PressureDrop:
                s.blocks.push_back(Paragraph("The pressure drop follows directly from the flow: no iteration."));
                break;
            case PanelKind::Flow:
                s.blocks.push_back(Paragraph(
                    "The flow was solved by fixed-point iteration on the velocity: from v = 2 m/s, each pass takes f "
                    "at the pass's Reynolds number and sets v \u2190 v \u221a(h_available / h_pass), the heads per metre "
                    "of pipe, until they agree within 0" + std::string(1, l_.decimalSeparator) + "0001; " + passText +
                    " were needed" + (op_.result.converged ? "." : ", and the last did not meet the tolerance.")));
                break;
            case PanelKind::Diameter:
                s.blocks.push_back(Paragraph(
                    "The diameter was solved by fixed-point iteration: from D = 50 mm, each pass takes v, Re, f and the "
                    "fittings' K at the pass's diameter and sets D \u2190 D (h_pass / h_available)^\u00bc, the heads per "
                    "metre of pipe, until they agree within 0" + std::string(1, l_.decimalSeparator) + "0001; " +
                    passText + " were needed" +
                    (op_.result.converged ? "." : ", and the last did not meet the tolerance.")));
                break;
            case PanelKind::Length:
                s.blocks.push_back(Paragraph(
                    "The length follows directly: L = (h_available \u2212 \u0394z \u2212 h_fittings) / (f v\u00b2 / 2g D); "
                    "no iteration."));
                break;
        }
        if (gas())
            s.blocks.push_back(Paragraph(
                "Second opinion: the complete isothermal equation for a compressible gas, "
                "\u1e41\u00b2 = (\u03c0D\u00b2/4)\u00b2 \u03c1\u2081 (P\u2081\u00b2 \u2212 P\u2082\u00b2) / (P\u2081 (f L/D + K + "
                "2 ln(P\u2081/P\u2082))), absolute pressures, \u03c1\u2081 the density at the inlet, f by the same rule at the "
                "mean pressure, iterated to convergence; the elevation is left out."));
        if (op_.inputs.fittings.counts != decltype(op_.inputs.fittings.counts){})
            s.blocks.push_back(Paragraph(
                "Fittings second opinion: 2-K (Hooper) K = K\u2081 / Re + K\u221e (1 + 1 / D), and 3-K (Darby) "
                "K = K\u2081 / Re + K\u1d62 (1 + K_d / D^0" + std::string(1, l_.decimalSeparator) +
                "3), D in inches, for the fittings with published constants."));
        return s;
    }

    SheetSection intermediateValues() const {
        SheetSection s{"3  Intermediate values", {}};
        const double v = op_.result.velocity;
        const double d = op_.diameter;
        const double k = op_.result.fittingsK.value_or(0);
        const double hPipe = FrictionHeadLoss(v, d, op_.length, op_.result.friction);
        const double hFittings = FittingsHead(k, v);
        const double hElevation = op_.inputs.elevation;
        const double h = hPipe + hFittings + hElevation;
        const double c = GasVolumeRatio(op_.inputs.inletPressure);
        const double dp = gas() ? GasHeadToPressureDrop(h, op_.inputs.density, c) : HeadToPressureDrop(h, op_.inputs.density);
        Rows rows;
        rows.push_back({"Velocity" + std::string(gas() ? " at the inlet" : ""), "v",
                        num(metric() ? v : LengthFromMetres(kFoot, v), 3), text(Ctl::FluidVelocity_UnitsLabel)});
        if (gas()) rows.push_back({"Volume ratio at the inlet", "c", num(c, 6), ""});
        rows.push_back({"Reynolds number", "Re", num(op_.result.reynolds, 0), FlowTypeName(op_.result.reynolds)});
        rows.push_back({"Relative roughness", "\u03b5/D", WriteFixedNumber(op_.inputs.roughness / d, 8, 4, l_).value_or("?"), ""});
        rows.push_back({"Friction factor", "f", num(op_.result.friction, 5), ""});
        rows.push_back({"Total K of the fittings", "K", num(k, 3), ""});
        rows.push_back({"Head lost in the pipe", "h_pipe", num(head(hPipe), 3), headUnit()});
        rows.push_back({"Head lost in the fittings", "h_fittings", num(head(hFittings), 3), headUnit()});
        rows.push_back({"Head to elevation", "\u0394z", num(head(hElevation), 3), headUnit()});
        rows.push_back({"Sum", "h", num(head(h), 3), headUnit()});
        rows.push_back({"As a pressure", "\u0394p", num(pressure(dp), 3), pressureUnit()});
        s.blocks.push_back(Table({"Quantity", "Symbol", "Value", "Unit"}, rows, 2));
        return s;
    }

    SheetSection theResult() const {
        SheetSection s{"4  The result", {}};
        Rows rows;
        auto row = [&](Ctl caption, Ctl value, std::string unit) {
            rows.push_back({trim(text(caption)), text(value), std::move(unit)});
        };
        switch (kind()) {
            case PanelKind::PressureDrop:
                row(Ctl::PressureDropHdLabel, Ctl::mHd_RightEdit, item(Ctl::MhdBarComboBox));
                break;
            case PanelKind::Flow: row(Ctl::FlowHdLabel, Ctl::FlowrateLMin_RightEdit, flowUnit()); break;
            case PanelKind::Diameter:
                row(Ctl::MinPipeDiameterHdLabel, Ctl::PipeDiameter_RightEdit, text(Ctl::PipeDiameter_UnitsLabel));
                break;
            case PanelKind::Length:
                row(Ctl::PipeLengthHdLabel, Ctl::PipeLength_RightEdit, text(Ctl::PipeLength_UnitsLabel));
                break;
        }
        row(Ctl::FlowTypeHdLabel, Ctl::FlowType_RightEdit, "");
        row(Ctl::ReynoldsNumberHdLabel, Ctl::ReynoldsNumber_RightEdit, "");
        row(Ctl::FrictionFactorHdLabel, Ctl::FrictionFactor_RightEdit, "");
        row(Ctl::FluidVelocityHdLabel, Ctl::MSec_RightEdit, text(Ctl::FluidVelocity_UnitsLabel));
        if (gas()) {
            rows.push_back({trim(text(Ctl::ActualFlowHdLabel)), text(Ctl::ActualFlowValueLabel), ""});
            rows.push_back({trim(text(Ctl::ExitFlowHdLabel)), text(Ctl::ExitFlowValueLabel), text(Ctl::ExitFlowBarLabel)});
        }
        s.blocks.push_back(Table({"Result", "As the panel shows it", "Unit"}, rows));

        if (const auto c = CompareIsothermal(p_, op_); c && !c->fault) {
            s.blocks.push_back(Paragraph("The panel's unknown by the complete isothermal equation:"));
            s.blocks.push_back(Table({"Method", "Result", "Difference"},
                                     {{"This panel's gas method", UnknownText(p_, c->panelValue), ""},
                                      {"Isothermal equation", UnknownText(p_, c->isothermalValue),
                                       num(c->differencePercent, 1) + " %"}}));
        }
        const FittingsComparisonTable fittings = CompareFittings(p_, op_);
        if (!fittings.message) {
            s.blocks.push_back(Paragraph("The fittings by the size band table and by the 2-K and 3-K methods, at Re " +
                                         num(op_.result.reynolds, 0) + ":"));
            Rows all = fittings.rows;
            all.insert(all.end(), fittings.totals.begin(), fittings.totals.end());
            s.blocks.push_back(Table(fittings.headers, all, static_cast<int>(fittings.totals.size())));
        }
        if (pump_ && pump_->refusal) {
            s.blocks.push_back(Paragraph("Pump: " + ReplaceLineBreaks(pump_->refusal->text)));
        } else if (pump_) {
            Rows rows;
            for (const PumpRow& row : PumpResultRows(p_, *pump_))
                rows.push_back({row.caption, row.unit.empty() ? row.value : row.value + " " + row.unit});
            s.blocks.push_back(Paragraph("The pump's operating point on this pipe run:"));
            s.blocks.push_back(Table({"Pump", "Value"}, rows));
        }
        const std::vector<ValidityNote> notes = ValidityNotes(p_);
        s.blocks.push_back(Paragraph("Validity notes:"));
        if (notes.empty())
            s.blocks.push_back(Paragraph("No notes: the case lies inside the range of every formula used."));
        for (const ValidityNote& n : notes) s.blocks.push_back(Paragraph("\u2022 " + n.title + ": " + n.reason));
        return s;
    }

    SheetSection thePlots() const {
        SheetSection s{"5  System curve and Moody diagram", {}};
        ChartPicture curve = SystemCurvePicture(p_);
        // The pump's curve where the curve shows heads, as the pump's are.
        if (pump_ && !pump_->refusal && !curve.message && curve.y.title.find("hd") != std::string::npos) {
            ChartLine line{"Pump curve", LineRole::Reference, {}, true};
            for (const CurvePoint& c : PumpCurvePoints(p_, pump_->curve)) line.points.emplace_back(c.flow, c.value);
            curve.lines.push_back(line);
            curve.lines.push_back({"Pump operating point", LineRole::Operating, {{pump_->flow, pump_->head}}, true});
            // Up to the pump's shut-off head.
            double top = curve.y.max;
            for (const auto& point : line.points) top = std::max(top, point.second);
            if (top > curve.y.max) curve.y = LinearAxis(curve.y.title, curve.y.min, top, l_);
        }
        s.blocks.push_back(Chart(curve));
        s.blocks.push_back(Chart(MoodyPicture(p_)));
        return s;
    }

    const PanelModel& p_;
    const Locale& l_;
    OperatingPoint op_;
    std::optional<PumpOnPanel> pump_;
};

}  // namespace

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

CalculationSheet MakeCalculationSheet(const PanelModel& panel, const std::string& fileName, const std::string& date,
                                      const std::optional<PumpEntry>& pump) {
    CalculationSheet sheet;
    sheet.paper = PaperOf(panel.locale());
    sheet.title = std::string("Calculation sheet \u2014 ") + TaskOf(panel.kind());
    sheet.program = ProgramNameAndVersion();
    sheet.date = date;
    sheet.file = fileName.empty() ? "(not saved)" : fileName;
    sheet.sections = SheetWriter(panel, pump).sections();
    return sheet;
}

}  // namespace corvane
