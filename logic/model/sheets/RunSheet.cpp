#include "logic/model/sheets/RunSheet.h"

#include <algorithm>
#include <cmath>

#include "logic/engine/PipeFlow.h"
#include "logic/engine/Units.h"
#include "logic/model/panels/PanelModel.h"
#include "logic/model/runs/RunGradeLine.h"
#include "logic/text/NumberText.h"

namespace corvane {

namespace {

using Rows = std::vector<std::vector<std::string>>;

SheetBlock Equation(std::string text, std::string note = {}) {
    SheetBlock b;
    b.kind = SheetBlock::Kind::Equation;
    b.text = std::move(text);
    b.note = std::move(note);
    return b;
}

constexpr const char* kOpenings[] = {"100 %", "75 %", "50 %", "25 %"};

// How a line of the grade-line plot is drawn, in words.
const char* KeyOf(LineRole role) {
    switch (role) {
        case LineRole::Profile: return "brown line";
        case LineRole::Own: return "blue line";
        case LineRole::Energy: return "purple dash-dotted line";
        case LineRole::Reference: return "red dashed line";
        case LineRole::Family: return "grey marks";
        case LineRole::PumpPoint: return "green dot";
        case LineRole::Operating: return "red dot";
        default: return "line";
    }
}

// The texts of the sheet of one run.
class RunSheetWriter {
public:
    RunSheetWriter(const RunDocument& d, const RunOutcome& o, const Locale& l) : d_(d), o_(o), r_(o.result), l_(l) {}

    std::vector<SheetSection> sections() const {
        std::vector<SheetSection> all{theRun(), theMethod(), intermediateValues(), theResult()};
        SheetSection plot{"5  Grade lines", {}};
        SheetBlock chart;
        chart.kind = SheetBlock::Kind::Chart;
        chart.chart = RunGradeLinePicture(o_, true, l_);
        // The key below the plot in words, where no name is cut short.
        std::string key;
        for (ChartLine& line : chart.chart.lines) {
            if (line.inLegend && !line.name.empty())
                key += (key.empty() ? "" : "; ") + std::string(KeyOf(line.role)) + ": " + line.name;
            line.inLegend = false;
        }
        plot.blocks.push_back(std::move(chart));
        plot.blocks.push_back(SheetParagraph(key + "."));
        all.push_back(std::move(plot));
        return all;
    }

private:
    std::string num(double v, int decimals) const { return WriteEntryNumber(v, decimals, l_).value_or("?"); }
    std::string trimmed(double v, int decimals) const { return WriteTrimmedNumber(v, decimals, l_); }
    std::string sig(double v) const { return SignificantText(v, l_); }
    std::string dec(const char* text) const { return EquationNumber(text, l_); }
    std::string dec(double constant) const { return EquationNumber(constant, l_); }
    const std::string& name(int section) const { return o_.sectionNames[static_cast<std::size_t>(section - 1)]; }
    double rho() const { return o_.run.liquid.density; }
    // The section a transition's K refers to: the smaller one.
    int smallerOf(const TransitionLoss& t) const { return t.contraction ? t.section : t.section - 1; }

    SheetSection theRun() const {
        SheetSection s{"1  The run", {}};
        const RunLiquid& liquid = o_.run.liquid;
        std::string from = "typed";
        if (d_.fluid.waterTemperatureC)
            from = "water at " + trimmed(*d_.fluid.waterTemperatureC, 2) +
                   " \u00b0C by IAPWS-IF97 and IAPWS 2008";
        else if (!d_.fluid.viscosityCst)
            from = "the fluid data base's row";
        Rows rows{{"Liquid", o_.fluidName, ""},
                  {"Its numbers from", from, ""},
                  {"Kinematic viscosity", num(liquid.viscosity, 6), "cSt"},
                  {"Density", num(liquid.density, 3), "kg/m\u00b3"},
                  {"Vapour pressure", liquid.vapourPressure ? num(*liquid.vapourPressure, 5) : "not known", "bar a"},
                  {"Source surface pressure", num(o_.run.source.pressure, 4), "bar g"},
                  {"Source surface level", num(o_.run.source.level, 3), "m"},
                  {"Sink surface pressure", num(o_.run.sink.pressure, 4), "bar g"},
                  {"Sink surface level", num(o_.run.sink.level, 3), "m"},
                  {"First section starts at", num(o_.run.startElevation, 3), "m"},
                  {"Flow", o_.flowGiven ? num(r_.flow, 3) : "solved for", o_.flowGiven ? "l/min" : ""},
                  {"Entry loss coefficient", num(o_.run.entryK, 3), ""},
                  {"Exit loss coefficient", num(o_.run.exitK, 3), ""}};
        s.blocks.push_back(SheetTable({"Entry", "Value", "Unit"}, rows));
        s.blocks.push_back(SheetParagraph("The sections, in order from the source:"));
        Rows sections;
        for (std::size_t i = 0; i < d_.sections.size(); ++i) {
            const RunDocSection& ds = d_.sections[i];
            const RunSection& rs = o_.run.sections[i];
            std::string pipe = num(rs.diameter, 3);
            if (ds.pipeType) pipe += " (" + *ds.pipeType + " " + *ds.pipeNominal + ")";
            std::string rough = num(rs.roughness, 4);
            if (ds.material) rough += " (" + *ds.material + ")";
            std::string fittings;
            for (const RunFitting& f : ds.fittings) {
                fittings += (fittings.empty() ? "" : ", ") + std::to_string(f.count) + " \u00d7 " + RunFittingName(f.kind);
                if (f.kind >= kFirstValveKind && f.kind < kFirstValveKind + kValveSelectorCount)
                    fittings += std::string(" ") + kOpenings[f.opening] + " open";
            }
            if (rs.fittings.extraK != 0) fittings += (fittings.empty() ? "" : ", ") + std::string("extra K ") + num(rs.fittings.extraK, 3);
            std::string transition = "\u2014";
            if (i > 0) {
                const bool contraction = rs.diameter < o_.run.sections[i - 1].diameter;
                const bool same = rs.diameter == o_.run.sections[i - 1].diameter;
                transition = same ? "none (same diameter)"
                                  : std::string(rs.transition == TransitionForm::Sudden ? "sudden " : "conical ") +
                                        (contraction ? "contraction" : "expansion") +
                                        (rs.transition == TransitionForm::Conical ? ", " + trimmed(rs.angle, 2) + "\u00b0" : "");
            }
            sections.push_back({std::to_string(i + 1) + " " + ds.name, pipe, rough, num(rs.length, 3), num(rs.rise, 3),
                                fittings.empty() ? "none" : fittings, transition});
        }
        s.blocks.push_back(SheetTable({"Section", "Internal diameter mm", "Roughness mm", "Length m", "Rise m", "Fittings",
                                  "Transition into it"},
                                 sections));
        if (o_.run.pump) {
            const RunPump& p = *o_.run.pump;
            std::string points, npsh;
            for (const PumpPoint& q : d_.pump->points)
                points += (points.empty() ? "" : ", ") + trimmed(q.flow, 3) + " : " + trimmed(q.head, 3);
            for (const PumpPoint& q : d_.pump->npshRequired)
                npsh += (npsh.empty() ? "" : ", ") + trimmed(q.flow, 3) + " : " + trimmed(q.head, 3);
            Rows pump{{"After section", std::to_string(p.afterSection) + " " + name(p.afterSection), ""},
                      {"Curve points (flow : head)", points, "l/min : m"},
                      {"Speed ratio", num(p.speedRatio, 4), ""},
                      {"Efficiency", p.efficiencyPercent ? num(*p.efficiencyPercent, 2) : "not given", "%"},
                      {"NPSH required (flow : NPSH)", npsh.empty() ? "not given" : npsh, "l/min : m"},
                      {"Least NPSH margin ratio", num(p.marginRatio, 2), ""}};
            s.blocks.push_back(SheetParagraph("The pump:"));
            s.blocks.push_back(SheetTable({"Pump", "Value", "Unit"}, pump));
        }
        return s;
    }

    SheetSection theMethod() const {
        SheetSection s{"2  The method", {}};
        s.blocks.push_back(SheetParagraph(
            "Steady flow of a liquid through the sections in series; heads in m of the liquid, calculated in SI "
            "units (D, L, \u03b5, z and h in m, Q in m\u00b3/s, \u03bd in m\u00b2/s, p in bar, g = " + dec(kGravity) +
            " m/s\u00b2, the atmosphere " + dec(kAtmosphereBar) + " bar)."));
        s.blocks.push_back(SheetParagraph("Each section, as the pressure drop panel calculates a pipe:"));
        s.blocks.push_back(Equation("v = Q / (\u03c0 D\u00b2 / 4)"));
        s.blocks.push_back(Equation("Re = v D / \u03bd"));
        s.blocks.push_back(Equation("f = 64 / Re", "for Re \u2264 2300 (laminar)"));
        s.blocks.push_back(Equation("f = (Re \u2212 1500) / 30000", "for 2300 < Re < 3500 (critical zone, a straight line)"));
        s.blocks.push_back(Equation("1 / \u221af = \u2212" + dec(kHaalandFactor) + " log\u2081\u2080[(\u03b5 / D / " + dec(kHaalandRoughnessDivisor) +
                                        ")^" + dec(kHaalandExponent) + " + " + dec(kHaalandReynoldsTerm) + " / Re]",
                                    "for Re \u2265 3500 (Haaland 1983, turbulent)"));
        s.blocks.push_back(Equation("h_pipe = f (L / D) v\u00b2 / 2g", "Darcy\u2013Weisbach"));
        s.blocks.push_back(Equation("h_fittings = K v\u00b2 / 2g",
                                    "K = \u03a3 count \u00d7 K of the size band at D, + extra K"));
        s.blocks.push_back(SheetParagraph(
            "Transitions between sections of different diameters (Rennels & Hudson, Pipe Flow: A Practical and "
            "Comprehensive Guide, Wiley 2012): \u03b2 = D(smaller) / D(larger), \u03b1 the cone's included angle, f the "
            "friction factor of the smaller section; each K refers to the velocity v of the smaller section."));
        s.blocks.push_back(Equation("K = " + dec("0.0696") + " (1 \u2212 \u03b2\u2075) \u03bb\u00b2 + (\u03bb \u2212 1)\u00b2, \u03bb = 1 + " +
                                        dec("0.622") + " (1 \u2212 " + dec("0.215") + " \u03b2\u00b2 \u2212 " + dec("0.785") + " \u03b2\u2075)",
                                    "sudden contraction"));
        s.blocks.push_back(Equation("K = f (1 \u2212 \u03b2\u2074) / (8 sin(\u03b1/2)) + " + dec("0.0696") +
                                        " sin(\u03b1/2) (1 \u2212 \u03b2\u2075) \u03bb\u00b2 + (\u03bb \u2212 1)\u00b2, \u03bb = 1 + " +
                                        dec("0.622") + " (\u03b1/180)^" + dec("0.8") + " (1 \u2212 " + dec("0.215") +
                                        " \u03b2\u00b2 \u2212 " + dec("0.785") + " \u03b2\u2075)",
                                    "conical contraction"));
        s.blocks.push_back(Equation("K = (1 \u2212 \u03b2\u00b2)\u00b2", "sudden expansion"));
        s.blocks.push_back(Equation("K = " + dec("8.30") + " tan(\u03b1/2)^" + dec("1.75") +
                                        " (1 \u2212 \u03b2\u00b2)\u00b2 + f (1 \u2212 \u03b2\u2074) / (8 sin(\u03b1/2))",
                                    "conical expansion, \u03b1 \u2264 20\u00b0"));
        s.blocks.push_back(Equation("K = {" + dec("1.366") + " \u221asin(2\u03c0(\u03b1 \u2212 15)/180) \u2212 " + dec("0.170") +
                                        " \u2212 " + dec("3.28") + " (" + dec("0.0625") + " \u2212 \u03b2\u2074) \u221a((\u03b1 \u2212 20)/40)} (1 \u2212 \u03b2\u00b2)\u00b2 + f (1 \u2212 \u03b2\u2074) / (8 sin(\u03b1/2))",
                                    "conical expansion, 20\u00b0 < \u03b1 \u2264 60\u00b0 (the \u03b2\u2074 term only for \u03b2 < " + dec("0.5") + ")"));
        s.blocks.push_back(Equation("K = {" + dec("1.205") + " \u2212 " + dec("3.28") + " (" + dec("0.0625") +
                                        " \u2212 \u03b2\u2074) \u2212 " + dec("12.8") + " \u03b2\u2076 \u221a((\u03b1 \u2212 60)/120)} (1 \u2212 \u03b2\u00b2)\u00b2",
                                    "conical expansion, \u03b1 > 60\u00b0, \u03b2 < " + dec("0.5") + "; for \u03b2 \u2265 " + dec("0.5") + ": {" +
                                        dec("1.205") + " \u2212 " + dec("0.20") + " \u221a((\u03b1 \u2212 60)/120)} (1 \u2212 \u03b2\u00b2)\u00b2"));
        s.blocks.push_back(Equation("h_t = K v\u00b2 / 2g", "the transition's head, v of the smaller section"));
        s.blocks.push_back(Equation("h_entry = K_entry v\u00b2 / 2g, h_exit = K_exit v\u00b2 / 2g",
                                    "on the first and the last section's velocity (K_entry " + dec("0.57") +
                                        " a sharp-edged flush entrance, Rennels & Hudson; K_exit 1 the whole velocity head)"));
        s.blocks.push_back(SheetParagraph("Along the run:"));
        s.blocks.push_back(Equation("E_source = z_s + p_s \u00d7 10\u2075 / (\u03c1 g)",
                                    "the energy head of the source's surface (gauge)"));
        s.blocks.push_back(Equation("E = E(before) \u2212 h + H_pump",
                                    "each loss in turn from the source: entry, each section's h_pipe + h_fittings, "
                                    "the transition into the next; the pump's head where it stands"));
        s.blocks.push_back(Equation("H = E \u2212 v\u00b2 / 2g, p = \u03c1 g (H \u2212 z) / 10\u2075",
                                    "hydraulic head and pressure (bar g) at a node"));
        s.blocks.push_back(Equation("margin = E(end) \u2212 h_exit \u2212 E_sink", "what is left at the sink"));
        if (o_.run.pump) {
            s.blocks.push_back(SheetParagraph(
                o_.flowGiven ? "The pump gives its curve's head at the given flow."
                             : "The flow is the pump's operating point: the flow at which its curve's head equals what "
                               "the run needs (margin 0), found by bracketing and bisection to 10\u207b\u2079 of the flow."));
            s.blocks.push_back(Equation("NPSHa = (p_s + " + dec(kAtmosphereBar) + " \u2212 p_v) \u00d7 10\u2075 / (\u03c1 g) + (z_s \u2212 z_p) \u2212 h_s",
                                        "NPSH available at the pump inlet; z_s \u2212 z_p positive for a flooded suction, "
                                        "negative for a suction lift; h_s every loss before the pump"));
            s.blocks.push_back(Equation("P_fluid = \u03c1 g Q H_pump, P_shaft = P_fluid / \u03b7"));
            s.blocks.push_back(SheetParagraph(
                "A note is given where NPSHa / NPSHr is below the least ratio, by default " + dec("1.1") +
                ", the lowest ANSI/HI 9.6.1 (Rotodynamic Pumps \u2013 Guideline for NPSH Margin) recommends for any "
                "application."));
        } else if (!o_.flowGiven) {
            s.blocks.push_back(SheetParagraph(
                "The flow is the one at which the losses take up the difference of the surfaces' energy heads "
                "(margin 0), found by bracketing and bisection to 10\u207b\u2079 of the flow."));
        }
        return s;
    }

    // A row of quantity, symbol, value in SI units to six significant
    // digits, and unit.
    std::vector<std::string> row(const std::string& quantity, const std::string& symbol, double value,
                                 const std::string& unit) const {
        return {quantity, symbol, sig(value), unit};
    }

    SheetSection intermediateValues() const {
        SheetSection s{"3  Intermediate values", {}};
        const std::vector<std::string> headers{"Quantity", "Symbol", "Value", "SI unit"};
        const double q = r_.flow / 60000.0;
        for (std::size_t i = 0; i < r_.sections.size(); ++i) {
            const RunSection& rs = o_.run.sections[i];
            const SectionFlow& f = r_.sections[i];
            s.blocks.push_back(SheetParagraph("Section " + std::to_string(i + 1) + " " + o_.sectionNames[i] + ":"));
            s.blocks.push_back(SheetTable(headers, {row("Internal diameter", "D", rs.diameter / 1000.0, "m"),
                                               row("Length", "L", rs.length, "m"),
                                               row("Internal roughness", "\u03b5", rs.roughness / 1000.0, "m"),
                                               row("Flow", "Q", q, "m\u00b3/s"),
                                               row("Kinematic viscosity", "\u03bd", o_.run.liquid.viscosity * 1e-6, "m\u00b2/s"),
                                               row("Velocity", "v", f.velocity, "m/s"),
                                               row("Reynolds number", "Re", f.reynolds, ""),
                                               row("Relative roughness", "\u03b5/D", rs.roughness / rs.diameter, ""),
                                               row("Friction factor", "f", f.friction, ""),
                                               row("Total K of the fittings", "K", f.fittingsK, ""),
                                               row("Head lost in the pipe", "h_pipe", f.frictionHead, "m"),
                                               row("Head lost in the fittings", "h_fittings", f.fittingsHead, "m")}));
        }
        for (const TransitionLoss& t : r_.transitions) {
            const RunSection& before = o_.run.sections[static_cast<std::size_t>(t.section - 2)];
            const RunSection& after = o_.run.sections[static_cast<std::size_t>(t.section - 1)];
            const int small = smallerOf(t);
            const double beta = std::min(before.diameter, after.diameter) / std::max(before.diameter, after.diameter);
            s.blocks.push_back(SheetParagraph("Transition into section " + std::to_string(t.section) + " " + name(t.section) +
                                         ", " + TransitionName(t) + ":"));
            Rows rows{row("Diameter ratio", "\u03b2", beta, "")};
            if (t.form == TransitionForm::Conical) rows.push_back(row("Included angle", "\u03b1", after.angle, "\u00b0"));
            rows.push_back(row("Friction factor of the smaller section", "f",
                               r_.sections[static_cast<std::size_t>(small - 1)].friction, ""));
            rows.push_back(row("Loss coefficient", "K", t.k, ""));
            rows.push_back(row("Velocity in the smaller section", "v", t.velocity, "m/s"));
            rows.push_back(row("Head lost", "h_t", t.head, "m"));
            s.blocks.push_back(SheetTable(headers, rows));
        }
        s.blocks.push_back(SheetParagraph("Entry and exit:"));
        s.blocks.push_back(SheetTable(headers, {row("Entry loss coefficient", "K_entry", r_.entryK, ""),
                                           row("Velocity in the first section", "v\u2081", r_.sections.front().velocity, "m/s"),
                                           row("Head lost at the entry", "h_entry", r_.entryHead, "m"),
                                           row("Exit loss coefficient", "K_exit", r_.exitK, ""),
                                           row("Velocity of the last section", "v\u2099", r_.sections.back().velocity, "m/s"),
                                           row("Head lost at the exit", "h_exit", r_.exitHead, "m")}));
        s.blocks.push_back(SheetParagraph("The source and the sink:"));
        s.blocks.push_back(SheetTable(headers, {row("Density", "\u03c1", rho(), "kg/m\u00b3"),
                                           row("Source surface level", "z_s", o_.run.source.level, "m"),
                                           row("Source surface pressure", "p_s", o_.run.source.pressure, "bar g"),
                                           row("Energy head of the source", "E_source", r_.sourceHead, "m"),
                                           row("Energy head of the sink", "E_sink", r_.sinkHead, "m"),
                                           // What the flow solve leaves, 10⁻¹⁵ m, is none.
                                           row("Left at the sink", "margin",
                                               std::fabs(r_.sinkMargin) < 1e-9 ? 0.0 : r_.sinkMargin, "m")}));
        s.blocks.push_back(SheetParagraph("The nodes, from the source (E falls by each loss in turn, rises by the pump's head):"));
        Rows nodes;
        for (const RunNode& n : r_.nodes)
            nodes.push_back({RunNodeName(o_, n), num(n.distance, 3), num(n.elevation, 4), num(n.velocity, 4),
                             num(n.energyHead, 4), num(n.hydraulicHead, 4), num(n.pressure, 5)});
        s.blocks.push_back(SheetTable({"Node", "x m", "z m", "v m/s", "E m", "H m", "p bar g"}, nodes));
        if (r_.pump) {
            const PumpDuty& p = *r_.pump;
            const RunPump& pump = *o_.run.pump;
            double suction = r_.entryHead;
            for (int i = 0; i < pump.afterSection; ++i) suction += r_.sections[static_cast<std::size_t>(i)].headLoss();
            for (const TransitionLoss& t : r_.transitions)
                if (t.section <= pump.afterSection) suction += t.head;
            double pumpLevel = o_.run.startElevation;
            for (int i = 0; i < pump.afterSection; ++i) pumpLevel += o_.run.sections[static_cast<std::size_t>(i)].rise;
            s.blocks.push_back(SheetParagraph("The pump after section " + std::to_string(pump.afterSection) + " " +
                                         name(pump.afterSection) + ":"));
            Rows rows{row("Flow", "Q", p.flow / 60000.0, "m\u00b3/s"), row("Pump head", "H_pump", p.head, "m"),
                      row("Fluid power", "P_fluid", p.fluidPowerW, "W")};
            if (pump.efficiencyPercent) {
                rows.push_back(row("Efficiency", "\u03b7", *pump.efficiencyPercent / 100.0, ""));
                rows.push_back(row("Shaft power", "P_shaft", *p.shaftPowerW, "W"));
            }
            if (p.npshAvailable) {
                rows.push_back(row("Vapour pressure", "p_v", *o_.run.liquid.vapourPressure, "bar a"));
                rows.push_back(row("Pump inlet elevation", "z_p", pumpLevel, "m"));
                rows.push_back(row("Losses before the pump", "h_s", suction, "m"));
                rows.push_back(row("NPSH available", "NPSHa", *p.npshAvailable, "m"));
            }
            if (p.npshRequired) rows.push_back(row("NPSH required at this flow", "NPSHr", *p.npshRequired, "m"));
            s.blocks.push_back(SheetTable(headers, rows));
        }
        return s;
    }

    SheetSection theResult() const {
        SheetSection s{"4  The result", {}};
        Rows head{{"Flow", num(r_.flow, 3),
                   std::string("l/min") + (o_.flowGiven ? " (given)" : o_.run.pump ? " (the pump's operating point)" : "")},
                  {"Total head loss", num(r_.totalHeadLoss, 3), "m"},
                  {"Left at the sink (margin)", num(r_.sinkMargin, 3), "m"}};
        s.blocks.push_back(SheetTable({"Result", "Value", "Unit"}, head));
        Rows sections;
        for (std::size_t i = 0; i < r_.sections.size(); ++i) {
            const SectionFlow& f = r_.sections[i];
            sections.push_back({std::to_string(i + 1) + " " + o_.sectionNames[i], num(f.velocity, 3), num(f.reynolds, 0),
                                FlowTypeName(f.reynolds), num(f.friction, 4), num(f.fittingsK, 3), num(f.headLoss(), 3)});
        }
        s.blocks.push_back(SheetParagraph("Per section:"));
        s.blocks.push_back(SheetTable({"Section", "Velocity m/s", "Reynolds number", "Flow type", "Friction factor",
                                  "Fittings K", "Head loss m"},
                                 sections));
        Rows nodes;
        for (const RunNode& n : r_.nodes)
            nodes.push_back({RunNodeName(o_, n), num(n.distance, 3), num(n.elevation, 3), num(n.pressure, 4),
                             num(n.hydraulicHead, 3), num(n.energyHead, 3)});
        s.blocks.push_back(SheetParagraph("Per node:"));
        s.blocks.push_back(SheetTable({"Node", "Distance m", "Elevation m", "Pressure bar g", "Hydraulic head m",
                                  "Energy head m"},
                                 nodes));
        if (r_.pump) {
            const PumpDuty& p = *r_.pump;
            auto opt = [&](const std::optional<double>& v, int decimals) { return v ? num(*v, decimals) : "not known"; };
            Rows pump{{"Flow", num(p.flow, 3), "l/min"},
                      {"Head", num(p.head, 3), "m"},
                      {"Fluid power", num(p.fluidPowerW, 1), "W"},
                      {"Shaft power", opt(p.shaftPowerW, 1), "W"},
                      {"NPSH available", opt(p.npshAvailable, 3), "m"},
                      {"NPSH required", opt(p.npshRequired, 3), "m"},
                      {"NPSH margin", opt(p.npshMargin, 3), "m"},
                      {"NPSH ratio NPSHa / NPSHr", opt(p.npshRatio, 2), ""}};
            s.blocks.push_back(SheetParagraph("The pump's operating point:"));
            s.blocks.push_back(SheetTable({"Pump", "Value", "Unit"}, pump));
        }
        s.blocks.push_back(SheetParagraph("Notes:"));
        if (o_.notes.empty()) s.blocks.push_back(SheetParagraph("No notes."));
        for (const std::string& n : o_.notes) s.blocks.push_back(SheetParagraph("\u2022 " + n));
        return s;
    }

    const RunDocument& d_;
    const RunOutcome& o_;
    const RunResult& r_;
    const Locale& l_;
};

}  // namespace

CalculationSheet MakeRunSheet(const RunDocument& document, const RunOutcome& outcome, const std::string& fileName,
                              const std::string& date, const SheetTitle& title, const Locale& locale) {
    CalculationSheet sheet = SheetFrame("Calculation sheet \u2014 Pipe run", "Run file", fileName, date, title, locale);
    sheet.sections = RunSheetWriter(document, outcome, locale).sections();
    return sheet;
}

}  // namespace corvane
