#include "logic/model/sheets/ValveSheet.h"

#include <cmath>

#include "logic/engine/Units.h"
#include "logic/model/valves/ValveReport.h"

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

constexpr double kPascalSecondsPerMicro = 1e-6;
constexpr double kSquareMetresPerSecondPerCst = 1e-6;
constexpr double kKilogramsPerGram = 1e-3;

bool HasReducers(const ValveBody& v) { return v.inletPipe != v.size || v.outletPipe != v.size; }

class ValveSheetWriter {
public:
    ValveSheetWriter(const ValveSheetCase& c, const Locale& l)
        : c_(c), r_(c.result), v_(c.gas ? c.gasCase.valve : c.liquid.valve), l_(l) {}

    std::vector<SheetSection> sections() const {
        SheetSection theCase{"1  The case", {}};
        Rows entries;
        for (const auto& [caption, value] : c_.entries) entries.push_back({caption, value});
        theCase.blocks.push_back(SheetTable({"Entry", "Value"}, entries));
        return {theCase, theMethod(), intermediateValues(), theResult()};
    }

private:
    std::string sig(double v) const { return SignificantText(v, l_); }
    std::string dec(double constant) const { return EquationNumber(constant, l_); }
    std::vector<std::string> row(const std::string& quantity, const std::string& symbol, double value,
                                 const std::string& unit = "") const {
        return {quantity, symbol, sig(value), unit};
    }
    bool turbulent() const { return r_.regime == ValveRegime::Turbulent; }
    bool reducers() const { return turbulent() && HasReducers(v_); }
    double p1() const { return c_.gas ? c_.gasCase.p1 : c_.liquid.p1; }
    double p2() const { return c_.gas ? c_.gasCase.p2 : c_.liquid.p2; }
    // Where the flow chokes without the reducers.
    bool chokedPlain() const {
        if (c_.gas) return *r_.x >= *r_.fgamma * v_.xt;
        return r_.dp >= v_.fl * v_.fl * (c_.liquid.p1 - *r_.ff * c_.liquid.vapourPressure);
    }
    double gasDensity(double bar, double z, double kelvin) const {
        return bar * kPascalPerBar * c_.gasCase.molarMass * kKilogramsPerGram / (z * kMolarGasConstant * kelvin);
    }
    // The mass flow of a gas, kg/h, and the density that turns the flow
    // given into it (none for a mass flow).
    std::optional<double> flowDensity() const {
        const GasValveCase& g = c_.gasCase;
        switch (g.form) {
            case GasFlowForm::Mass: return std::nullopt;
            case GasFlowForm::Actual: return gasDensity(g.p1, g.z, g.temperature);
            case GasFlowForm::Normal: return gasDensity(kStandardPressureBar, 1, kNormalKelvin);
            case GasFlowForm::Standard: break;
        }
        return gasDensity(kStandardPressureBar, 1, kStandardKelvin);
    }
    double massFlow() const { return c_.gasCase.flow * flowDensity().value_or(1); }

    SheetSection theMethod() const {
        SheetSection s{"2  The method", {}};
        s.blocks.push_back(SheetParagraph(
            "IEC 60534-2-1, Industrial-process control valves \u2013 Flow capacity \u2013 Sizing equations for fluid "
            "flow under installed conditions (the equations of ANSI/ISA-75.01.01), in its units: pressures in bar "
            "absolute, volume flows in m\u00b3/h, mass flows in kg/h, d and D in mm, T in K, \u03bd in m\u00b2/s; C is Kv "
            "in m\u00b3/h. Each equation is named; a number in brackets is the standard's equation number."));
        s.blocks.push_back(SheetParagraph(
            "Constants: N1 = " + dec(kValveN1) + ", N2 = " + dec(kValveN2) + ", N4 = " + dec(kValveN4) + ", N5 = " +
            dec(kValveN5) + ", N6 = " + dec(kValveN6) + ", N8 = " + dec(kValveN8) + ", N9 = " + dec(kValveN9At0C) +
            " (volumes at 0 \u00b0C) or " + dec(kValveN9At15C) + " (at 15 \u00b0C), N32 = " + dec(kValveN32) +
            "; \u03c10 = " + sig(kKvWaterDensity) + " kg/m\u00b3 (water at 15 \u00b0C); R = " + dec(kMolarGasConstant) +
            " J/(mol K); Cv = Kv / " + dec(kKvPerCv) + "."));
        if (c_.gas) gasMethod(s);
        else liquidMethod(s);
        if (HasReducers(v_)) {
            s.blocks.push_back(SheetParagraph("Reducers: the valve of size d between pipes D1 and D2."));
            s.blocks.push_back(Equation("\u03b61 = 0.5 (1 \u2212 (d/D1)\u00b2)\u00b2, \u03b62 = (1 \u2212 (d/D2)\u00b2)\u00b2, "
                                        "\u03b6B1 = 1 \u2212 (d/D1)\u2074, \u03b6B2 = 1 \u2212 (d/D2)\u2074",
                                        "the reducers' loss and Bernoulli coefficients"));
            s.blocks.push_back(Equation("\u03a3\u03b6 = \u03b61 + \u03b62 + \u03b6B1 \u2212 \u03b6B2"));
            s.blocks.push_back(Equation("FP = 1 / \u221a(1 + (\u03a3\u03b6 / N2) (C/d\u00b2)\u00b2)", "the piping geometry factor"));
            if (c_.gas)
                s.blocks.push_back(Equation("xTP = (xT / FP\u00b2) / (1 + (xT (\u03b61 + \u03b6B1) / N5) (C/d\u00b2)\u00b2)",
                                            "the pressure differential ratio factor with reducers"));
            else
                s.blocks.push_back(Equation("FLP = FL / \u221a(1 + (FL\u00b2 / N2) (\u03b61 + \u03b6B1) (C/d\u00b2)\u00b2)",
                                            "the liquid pressure recovery factor with reducers"));
            if (reducers())
                s.blocks.push_back(SheetParagraph(
                    "FP" + std::string(c_.gas ? " and xTP" : " and FLP") +
                    " are found from an assumed C, then C from them, again with that C, until a pass no longer "
                    "changes C (" + std::to_string(r_.passes) + " passes): the C below is the one its own FP was "
                    "found with."));
            else
                s.blocks.push_back(SheetParagraph("Outside turbulent flow the reducers are not applied."));
        }
        s.blocks.push_back(Equation("Rev = N4 Fd (Q/\u03bd) / \u221a(C FL) \u00d7 (FL\u00b2 C\u00b2 / (N2 D1\u2074) + 1)^\u00bc",
                                    "the valve Reynolds number; the flow is turbulent from Rev = 10000 on"));
        if (!turbulent()) {
            s.blocks.push_back(SheetParagraph(
                "Below Rev 10000 the standard's trials: Ci = 1.3 C, 1.3\u00b2 C \u2026 (k trials, C the turbulent C "
                "without reducers); FR at Rev(Ci); the first Ci with C / FR \u2264 Ci is the valve's C."));
            s.blocks.push_back(Equation(v_.trim == ValveTrim::Full
                                            ? "n = N2 / (C/d\u00b2)\u00b2 (C/d\u00b2 taken at most " + dec(kFullTrimMaxCOverD2) + ")"
                                            : "n = 1 + N32 (C/d\u00b2)^\u2154",
                                        v_.trim == ValveTrim::Full ? "full trim" : "reduced trim"));
            s.blocks.push_back(Equation("FR = 1 + (0.33 FL^\u00bd / n^\u00bc) log10(Rev / 10000)", "transitional flow"));
            s.blocks.push_back(Equation("FR = 0.026 / FL \u221a(n Rev), at most 1",
                                        "laminar flow; FR is the smaller of the two (the laminar one alone below Rev 10)"));
        }
        s.blocks.push_back(Equation("Cv = Kv / " + dec(kKvPerCv), "US gal/min of water at 1 psi"));
        return s;
    }

    void liquidMethod(SheetSection& s) const {
        s.blocks.push_back(Equation("FF = 0.96 \u2212 0.28 \u221a(pv / pc)", "the liquid critical pressure ratio factor"));
        s.blocks.push_back(Equation("\u0394p_ch = (FLP / FP)\u00b2 (p1 \u2212 FF pv)",
                                    "the flow is choked from this drop on (FL and FP = 1 without reducers)"));
        s.blocks.push_back(Equation("C = Q / N1 \u221a((\u03c11/\u03c10) / \u0394p)  (1)",
                                    "turbulent flow, not choked, without reducers"));
        s.blocks.push_back(Equation("C = Q / (N1 FL) \u221a((\u03c11/\u03c10) / (p1 \u2212 FF pv))  (3)",
                                    "choked flow without reducers"));
        if (HasReducers(v_)) {
            s.blocks.push_back(Equation("C = Q / (N1 FP) \u221a((\u03c11/\u03c10) / \u0394p)",
                                        "turbulent flow, not choked, with reducers"));
            s.blocks.push_back(Equation("C = Q / (N1 FLP) \u221a((\u03c11/\u03c10) / (p1 \u2212 FF pv))  (4)",
                                        "choked flow with reducers"));
        }
    }

    void gasMethod(SheetSection& s) const {
        s.blocks.push_back(Equation("x = \u0394p / p1, F\u03b3 = \u03b3 / 1.40, x_ch = F\u03b3 xTP",
                                    "the flow is choked from x_ch on, and x is then taken at x_ch (xTP = xT without reducers)"));
        s.blocks.push_back(Equation("Y = 1 \u2212 x / (3 x_ch)", "the expansion factor, 2/3 where choked"));
        const bool n9 = c_.gasCase.form == GasFlowForm::Normal || c_.gasCase.form == GasFlowForm::Standard;
        switch (c_.gasCase.form) {
            case GasFlowForm::Mass:
                s.blocks.push_back(Equation("C = W / (N8 FP p1 Y) \u221a(T1 Z / (x M))", "mass flow W"));
                break;
            case GasFlowForm::Actual:
                s.blocks.push_back(Equation("C = W / (N6 FP Y \u221a(x p1 \u03c11)), W = Q1 \u03c11, \u03c11 = p1 M / (Z R T1)",
                                            "volume flow Q1 at the inlet"));
                break;
            case GasFlowForm::Normal:
            case GasFlowForm::Standard: break;
        }
        if (n9) {
            const std::string at = c_.gasCase.form == GasFlowForm::Normal ? "0 \u00b0C" : "15 \u00b0C";
            s.blocks.push_back(Equation("C = Q / (N9 FP p1 Y) \u221a(M T1 Z / x)",
                                        "volume flow Q at " + at + " and 1.01325 bar; (8a) not choked and (14a) choked "
                                        "without reducers, (11a) and (17a) with them (FP = 1 without)"));
        }
        s.blocks.push_back(Equation("Q/\u03bd = W / \u03bc, W = Q \u03c1",
                                    "the Reynolds number's flow over viscosity: the mass flow over the inlet viscosity"));
    }

    SheetSection intermediateValues() const {
        SheetSection s{"3  Intermediate values", {}};
        const std::vector<std::string> headers{"Quantity", "Symbol", "Value", "Unit"};
        Rows rows{row("Upstream pressure", "p1", p1(), "bar a"), row("Downstream pressure", "p2", p2(), "bar a"),
                  row("Pressure drop", "\u0394p", p1() - p2(), "bar")};
        if (c_.gas) {
            const GasValveCase& g = c_.gasCase;
            rows.push_back(row("Pressure drop ratio", "x", *r_.x));
            rows.push_back(row("Specific heat ratio", "\u03b3", g.gamma));
            rows.push_back(row("Specific heat ratio factor", "F\u03b3", *r_.fgamma));
            rows.push_back(row("Pressure differential ratio factor", "xT", v_.xt));
            rows.push_back(row("Molar mass", "M", g.molarMass, "kg/kmol"));
            rows.push_back(row("Compressibility factor", "Z", g.z));
            rows.push_back(row("Inlet temperature", "T1", g.temperature, "K"));
            rows.push_back(row("Inlet viscosity", "\u03bc", g.viscosity * kPascalSecondsPerMicro, "Pa s"));
            const char* flowUnit = g.form == GasFlowForm::Mass ? "kg/h" : "m\u00b3/h";
            rows.push_back(row(g.form == GasFlowForm::Mass ? "Mass flow" : "Volume flow", g.form == GasFlowForm::Mass ? "W" : "Q",
                               g.flow, flowUnit));
            if (const auto rho = flowDensity()) {
                rows.push_back(row("Density of the flow given", "\u03c1", *rho, "kg/m\u00b3"));
                rows.push_back(row("Mass flow", "W", massFlow(), "kg/h"));
            }
            if (g.form == GasFlowForm::Actual) rows.push_back(row("Inlet density", "\u03c11", *flowDensity(), "kg/m\u00b3"));
        } else {
            const LiquidValveCase& q = c_.liquid;
            rows.push_back(row("Flow", "Q", q.flow, "m\u00b3/h"));
            rows.push_back(row("Density at the inlet", "\u03c11", q.density, "kg/m\u00b3"));
            rows.push_back(row("Relative density", "\u03c11/\u03c10", q.density / kKvWaterDensity));
            rows.push_back(row("Vapour pressure", "pv", q.vapourPressure, "bar a"));
            rows.push_back(row("Critical pressure", "pc", q.criticalPressure, "bar a"));
            rows.push_back(row("Kinematic viscosity", "\u03bd", q.viscosity * kSquareMetresPerSecondPerCst, "m\u00b2/s"));
            rows.push_back(row("Critical pressure ratio factor", "FF", *r_.ff));
        }
        rows.push_back(row("Liquid pressure recovery factor", "FL", v_.fl));
        rows.push_back(row("Valve style modifier", "Fd", v_.fd));
        rows.push_back(row("Valve size", "d", v_.size, "mm"));
        rows.push_back(row("Inlet pipe", "D1", v_.inletPipe, "mm"));
        rows.push_back(row("Outlet pipe", "D2", v_.outletPipe, "mm"));
        s.blocks.push_back(SheetParagraph("The case in the standard's units:"));
        s.blocks.push_back(SheetTable(headers, rows));

        // The turbulent C without reducers and its Reynolds number.
        Rows plain;
        const bool chokedWithout = chokedPlain();
        if (c_.gas) {
            plain.push_back(row("Choked pressure drop ratio without reducers", "x_ch0", *r_.fgamma * v_.xt));
            plain.push_back(row("Expansion factor without reducers", "Y0",
                                chokedWithout ? kChokedExpansionFactor : 1 - *r_.x / (3 * *r_.fgamma * v_.xt)));
        } else {
            plain.push_back(row("Choked pressure drop without reducers", "\u0394p_ch0",
                                v_.fl * v_.fl * (c_.liquid.p1 - *r_.ff * c_.liquid.vapourPressure), "bar"));
        }
        plain.push_back({"Choked without reducers", "", chokedWithout ? "yes" : "no", ""});
        plain.push_back(row("Turbulent flow coefficient without reducers", "C0", r_.kvTurbulent, "m\u00b3/h"));
        plain.push_back(row("Flow over viscosity", "Q/\u03bd", flowOverViscosity(), "m\u00b3/h per m\u00b2/s"));
        plain.push_back(row("Valve Reynolds number at C0", "Rev0", ValveReynolds(flowOverViscosity(), r_.kvTurbulent, v_)));
        s.blocks.push_back(SheetParagraph("The valve without reducers, turbulent flow:"));
        s.blocks.push_back(SheetTable(headers, plain));

        if (reducers()) {
            const double in = v_.size / v_.inletPipe, out = v_.size / v_.outletPipe;
            Rows pipe{row("Inlet reducer's loss coefficient", "\u03b61", 0.5 * std::pow(1 - in * in, 2)),
                      row("Outlet reducer's loss coefficient", "\u03b62", std::pow(1 - out * out, 2)),
                      row("Inlet Bernoulli coefficient", "\u03b6B1", 1 - std::pow(in, 4)),
                      row("Outlet Bernoulli coefficient", "\u03b6B2", 1 - std::pow(out, 4)),
                      row("Sum of the coefficients", "\u03a3\u03b6", ValveLossCoefficients(v_)),
                      row("Flow coefficient over the size squared", "C/d\u00b2", r_.kv / (v_.size * v_.size), "m\u00b3/h per mm\u00b2"),
                      row("Piping geometry factor", "FP", r_.fp)};
            if (c_.gas) {
                pipe.push_back(row("Pressure differential ratio factor with reducers", "xTP", *r_.xtp));
                pipe.push_back(row("Choked pressure drop ratio", "x_ch", *r_.xChoked));
                pipe.push_back(row("Expansion factor", "Y", *r_.y));
            } else {
                pipe.push_back(row("Recovery factor with reducers", "FLP", *r_.flp));
                pipe.push_back(row("Choked pressure drop", "\u0394p_ch", *r_.dpChoked, "bar"));
            }
            pipe.push_back({"Choked", "", r_.choked ? "yes" : "no", ""});
            s.blocks.push_back(SheetParagraph("With the reducers, at the valve's C:"));
            s.blocks.push_back(SheetTable(headers, pipe));
        }
        if (!turbulent()) {
            Rows trial{{"Trials", "k", std::to_string(r_.passes), ""},
                       row("Trial flow coefficient", "Ci", r_.kv, "m\u00b3/h"),
                       row("Flow coefficient over the size squared", "C/d\u00b2", r_.kv / (v_.size * v_.size), "m\u00b3/h per mm\u00b2"),
                       row("Trim factor", "n", trimFactor()),
                       row("Valve Reynolds number at Ci", "Rev", r_.reynolds),
                       row("Reynolds number factor", "FR", r_.fr),
                       row("Turbulent C over FR", "C0/FR", r_.kvTurbulent / r_.fr, "m\u00b3/h")};
            s.blocks.push_back(SheetParagraph("Outside turbulent flow, the accepted trial (C0 / FR \u2264 Ci):"));
            s.blocks.push_back(SheetTable(headers, trial));
        }
        s.blocks.push_back(SheetTable(headers, {row("Flow coefficient", "Kv", r_.kv, "m\u00b3/h"),
                                                row("Flow coefficient", "Cv", r_.cv, "US gal/min")}));
        return s;
    }

    double flowOverViscosity() const {
        if (c_.gas) return massFlow() / (c_.gasCase.viscosity * kPascalSecondsPerMicro);
        return c_.liquid.flow / (c_.liquid.viscosity * kSquareMetresPerSecondPerCst);
    }
    double trimFactor() const {
        const double ratio = r_.kv / (v_.size * v_.size);
        return v_.trim == ValveTrim::Full ? kValveN2 / std::pow(std::min(ratio, kFullTrimMaxCOverD2), 2)
                                          : 1 + kValveN32 * std::pow(ratio, 2.0 / 3.0);
    }

    SheetSection theResult() const {
        SheetSection s{"4  The result", {}};
        Rows rows;
        ValveDisplay d;
        d.symbols = true;
        if (c_.gas) d.flowCaption = GasFlowCaption(c_.gasCase.form);
        if (c_.gas && c_.gasCase.form == GasFlowForm::Mass) d.flowUnit = "kg/h";
        for (const ValveRow& r : ValveResultRows(r_, p1(), c_.gas, d, l_)) rows.push_back({r.caption, r.value, r.unit});
        s.blocks.push_back(SheetTable({"Result", "Value", "Unit"}, rows, 2));
        s.blocks.push_back(SheetParagraph("Notes:"));
        if (r_.notes.empty()) s.blocks.push_back(SheetParagraph("No notes."));
        for (ValveNote n : r_.notes) s.blocks.push_back(SheetParagraph(std::string("\u2022 ") + ValveNoteText(n)));
        return s;
    }

    const ValveSheetCase& c_;
    const ValveResult& r_;
    const ValveBody& v_;
    const Locale& l_;
};

}  // namespace

CalculationSheet MakeValveSheet(const ValveSheetCase& c, const std::string& date, const SheetTitle& title,
                                const Locale& locale) {
    CalculationSheet sheet = SheetFrame("Calculation sheet \u2014 Control valve", "Case", "", date, title, locale);
    sheet.file = "control valve, " + std::string(c.gas ? "gas" : "liquid");
    sheet.pageHeading = "Control valve sizing, IEC 60534-2-1";
    for (const auto& [caption, value] : {std::pair{"Project", title.project}, std::pair{"case", title.caseName},
                                          std::pair{"revision", title.revision}})
        if (!value.empty()) sheet.pageHeading += std::string(" \u2014 ") + caption + " " + value;
    sheet.sections = ValveSheetWriter(c, locale).sections();
    return sheet;
}

CalculationSheet MakeValveSheet(const ValveSizingModel& model, const std::string& date, const SheetTitle& title) {
    ValveSheetCase c;
    c.gas = model.gas();
    c.liquid = model.liquidCase();
    c.gasCase = model.gasCase();
    c.result = model.result().value_or(ValveResult{});
    c.entries = model.caseRows();
    return MakeValveSheet(c, date, title, model.locale());
}

}  // namespace corvane
