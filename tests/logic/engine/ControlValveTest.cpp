// Control valves by IEC 60534-2-1: every generated case of python3-fluids'
// table in the program's reading and in fluids' own, the worked examples as
// fluids quotes them, the inverse problems back to each case, Kv's
// definition by hand, and the faults and notes.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "logic/engine/ControlValve.h"
#include "tests/GoldenPanels.h"

namespace corvane {
namespace {

// A row of tests/data/control_valve_reference.csv (see its generator,
// make_control_valve_reference.py).
struct Row {
    std::string line;
    bool gas = false;
    bool fluidsReynoldsAsGiven = false;  // fluids had the row's own viscosity
    LiquidValveCase liquid;
    GasValveCase gasCase;
    std::optional<double> kvFluids;
    double kv = 0, fp = 0, fr = 0, reynolds = 0;
    std::optional<double> y, x;
    bool choked = false;
    ValveRegime regime = ValveRegime::Turbulent;
};

const std::vector<Row>& Reference() {
    static const std::vector<Row> rows = [] {
        std::vector<Row> read;
        std::ifstream in(CORVANE_TEST_DATA "/control_valve_reference.csv");
        for (std::string line; std::getline(in, line);) {
            if (line.empty() || line[0] == '#') continue;
            const std::vector<std::string> f = test::CsvFields(line);
            EXPECT_EQ(f.size(), 31u) << line;
            if (f.size() != 31u) continue;
            auto n = [&](int i) { return std::stod(f[static_cast<std::size_t>(i)]); };
            auto maybe = [&](int i) { return f[static_cast<std::size_t>(i)].empty() ? std::nullopt : std::optional(n(i)); };
            Row r;
            r.line = line;
            r.gas = f[0] == "gas";
            r.fluidsReynoldsAsGiven = f[2] == "standard";
            ValveBody v{n(15), n(16), r.gas ? n(17) : 0, n(18), n(19), n(20),
                        f[21] == "full" ? ValveTrim::Full : ValveTrim::Reduced};
            if (r.gas) {
                const GasFlowForm form = f[1] == "mass"     ? GasFlowForm::Mass
                                         : f[1] == "actual" ? GasFlowForm::Actual
                                         : f[1] == "normal" ? GasFlowForm::Normal
                                                            : GasFlowForm::Standard;
                r.gasCase = {n(3), n(4), n(5), form, n(10), n(11), n(12), n(13), n(14), v};
            } else {
                r.liquid = {n(3), n(4), n(5), n(6), n(7), n(8), n(9), v};
            }
            r.kvFluids = maybe(22);
            r.kv = n(23);
            r.fp = n(24);
            r.fr = n(25);
            r.reynolds = n(26);
            r.y = maybe(27);
            r.x = maybe(28);
            r.choked = f[29] == "1";
            r.regime = f[30] == "laminar" ? ValveRegime::Laminar
                       : f[30] == "transitional" ? ValveRegime::Transitional
                                                 : ValveRegime::Turbulent;
            read.push_back(r);
        }
        return read;
    }();
    return rows;
}

ValveResult Size(const Row& r, const ValveReading& reading = {}) {
    return r.gas ? SizeGasValve(r.gasCase, reading) : SizeLiquidValve(r.liquid, reading);
}

void ExpectClose(double actual, double expected, double share, const std::string& what) {
    EXPECT_NEAR(actual, expected, share * std::fabs(expected)) << what;
}

// Both follow the same equations in the program's reading (the generator
// works it out with fluids' building blocks): the coefficient, every
// factor, the choke and the regime agree to 1e-9.
TEST(ControlValveReference, ProgramReadingAgreesWithEveryRow) {
    int laminar = 0, transitional = 0, choked = 0, gas = 0;
    for (const Row& row : Reference()) {
        const ValveResult r = Size(row);
        ASSERT_FALSE(r.fault) << row.line;
        ExpectClose(r.kv, row.kv, 1e-9, "kv " + row.line);
        ExpectClose(r.cv, row.kv / 0.865, 1e-9, "cv " + row.line);
        ExpectClose(r.fp, row.fp, 1e-9, "fp " + row.line);
        ExpectClose(r.fr, row.fr, 1e-9, "fr " + row.line);
        ExpectClose(r.reynolds, row.reynolds, 1e-9, "Rev " + row.line);
        if (row.y) ExpectClose(r.y.value_or(0), *row.y, 1e-9, "y " + row.line);
        if (row.x) ExpectClose(r.x.value_or(0), *row.x, 1e-12, "x " + row.line);
        EXPECT_EQ(r.y.has_value(), row.gas) << row.line;
        EXPECT_EQ(r.ff.has_value(), !row.gas) << row.line;
        EXPECT_EQ(r.choked, row.choked) << row.line;
        EXPECT_EQ(r.regime, row.regime) << row.line;
        laminar += row.regime == ValveRegime::Laminar;
        transitional += row.regime == ValveRegime::Transitional;
        choked += row.choked;
        gas += row.gas;
    }
    EXPECT_EQ(Reference().size(), 324u);
    EXPECT_EQ(laminar, 51);
    EXPECT_EQ(transitional, 77);
    EXPECT_GT(choked, 40);
    EXPECT_EQ(gas, 191);
}

// fluids' own answers come back to 1e-9 in fluids' reading: the FP
// iteration stopped within 1 %, Y from xT, each FR trial compared with the
// trial before, and (where fluids had the row's own viscosity) a gas's
// Reynolds number from its 0 degC flow.
TEST(ControlValveReference, FluidsReadingGivesFluidsAnswers) {
    int compared = 0, differing = 0;
    for (const Row& row : Reference()) {
        if (!row.kvFluids) continue;
        ValveReading reading = ValveReading::Fluids();
        reading.reynoldsFromNormalFlow = row.fluidsReynoldsAsGiven;
        ExpectClose(Size(row, reading).kv, *row.kvFluids, 1e-9, row.line);
        ++compared;
        differing += std::fabs(*row.kvFluids - row.kv) > 1e-6 * row.kv;
    }
    EXPECT_EQ(compared, 251);
    EXPECT_EQ(differing, 129);  // where the two readings part
}

// The inverse problems find each row's flow and outlet pressure again at
// the Kv it needs: exactly in turbulent flow, where the standard's trials
// leave a larger Ci a larger flow and a smaller drop.
TEST(ControlValveReference, FlowAndOutletPressureAtTheSizedKv) {
    for (const Row& row : Reference()) {
        const double kv = Size(row).kv;
        const ValveResult flow = row.gas ? GasValveFlow(row.gasCase, kv) : LiquidValveFlow(row.liquid, kv);
        const ValveResult drop =
            row.gas ? GasValveOutletPressure(row.gasCase, kv) : LiquidValveOutletPressure(row.liquid, kv);
        ASSERT_FALSE(flow.fault) << row.line;
        ASSERT_FALSE(drop.fault) << row.line;
        const double q = row.gas ? row.gasCase.flow : row.liquid.flow;
        const double p1 = row.gas ? row.gasCase.p1 : row.liquid.p1;
        const double p2 = row.gas ? row.gasCase.p2 : row.liquid.p2;
        if (row.regime == ValveRegime::Turbulent) {
            ExpectClose(flow.flow, q, 1e-9, "flow " + row.line);
            EXPECT_EQ(flow.regime, ValveRegime::Turbulent) << row.line;
            if (row.choked)
                EXPECT_GE(drop.p2, p2 - 1e-9 * (p1 - p2)) << row.line;
            else
                EXPECT_NEAR(drop.p2, p2, 1e-9 * (p1 - p2)) << row.line;
        } else {
            EXPECT_GE(flow.flow, q * (1 - 1e-12)) << row.line;
            EXPECT_NE(flow.regime, ValveRegime::Turbulent) << row.line;
            EXPECT_GE(drop.p2, p2) << row.line;
        }
        EXPECT_EQ(drop.kv, kv);
    }
}

// Outside turbulent flow a liquid's pressure drop at a row's own Kv is
// equation (5) solved for it, dp = (rho1/rho0) (Q / (N1 FR Kv))^2, with the
// row's FR and Rev at that Kv (FL for FLP, no FP).
TEST(ControlValveReference, LiquidDropOutsideTurbulentFlowTakesFR) {
    int rows = 0;
    for (const Row& row : Reference()) {
        if (row.gas || row.regime == ValveRegime::Turbulent || row.choked) continue;
        const LiquidValveCase& c = row.liquid;
        const ValveResult r = LiquidValveOutletPressure(c, row.kv);
        ASSERT_FALSE(r.fault) << row.line;
        ExpectClose(r.reynolds, row.reynolds, 1e-9, "Rev " + row.line);
        ExpectClose(r.fr, row.fr, 1e-9, "fr " + row.line);
        EXPECT_EQ(r.fp, 1) << row.line;
        EXPECT_NE(r.regime, ValveRegime::Turbulent) << row.line;
        const double dp = c.density / 999.10329075702327 * std::pow(c.flow / (row.fr * row.kv), 2);
        ExpectClose(r.dp, dp, 1e-9, "dp " + row.line);
        ExpectClose(r.p2, c.p1 - dp, 1e-12, "p2 " + row.line);
        ++rows;
    }
    EXPECT_EQ(rows, 72);
}

// The standard's worked examples as fluids' documentation quotes them, and
// what each reading of the standard makes of them.
TEST(ControlValveExamples, AsFluidsQuotesThem) {
    const LiquidValveCase water{6.8, 2.2, 360, 965.4, 0.701, 221.2, 0.326, {0.9, 0.46, 0, 150, 150, 150}};
    LiquidValveCase ball = water;
    ball.valve = {0.6, 0.98, 0, 100, 100, 100};
    const GasValveCase carbonDioxide{6.8, 3.1, 3800, GasFlowForm::Normal, 44.01, 1.30, 0.988, 433, 146.65,
                                     {0.85, 0.42, 0.60, 50, 80, 100}};
    GasValveCase argon{2.8, 1.3, 0.46, GasFlowForm::Normal, 39.95, 1.67, 1.0, 320, 56.25, {0.98, 0.07, 0.8, 15, 15, 15}};
    const ValveReading program, fluids = ValveReading::Fluids();
    ValveReading fixedPointYFromXT = fluids, onePercentYFromXTP = fluids;
    fixedPointYFromXT.pipingWithinOnePercent = false;
    onePercentYFromXTP.expansionFromXT = false;

    EXPECT_NEAR(SizeLiquidValve(water, fluids).kv, 164.9954763704956, 1e-12);
    EXPECT_NEAR(SizeLiquidValve(water, program).kv, 164.9954763704956, 1e-12);
    const ValveResult choked = SizeLiquidValve(ball, program);
    EXPECT_NEAR(choked.kv, 238.05817216710483, 1e-12);
    EXPECT_TRUE(choked.choked);
    EXPECT_NEAR(*choked.ff, 0.9442375225233299, 1e-15);
    EXPECT_NEAR(SizeGasValve(carbonDioxide, fluids).kv, 72.5866454539105, 1e-12);
    // Worked out with fluids' building blocks (the generator's functions):
    // each of the two readings alone, and both (the program's).
    EXPECT_NEAR(SizeGasValve(carbonDioxide, fixedPointYFromXT).kv, 72.74878186974689, 1e-9);
    EXPECT_NEAR(SizeGasValve(carbonDioxide, onePercentYFromXTP).kv, 70.80674345240642, 1e-9);
    EXPECT_NEAR(SizeGasValve(carbonDioxide, program).kv, 70.88903978342664, 1e-9);

    EXPECT_NEAR(SizeGasValve(argon, fluids).kv, 0.016498765335995726, 1e-15);
    argon.valve.trim = ValveTrim::Reduced;
    const ValveResult reduced = SizeGasValve(argon, program);
    EXPECT_NEAR(reduced.kv, 0.02145, 5e-6);
    EXPECT_EQ(reduced.passes, 2);  // 1.3^2 times the turbulent C
    EXPECT_EQ(reduced.regime, ValveRegime::Transitional);
}

// Kv by its definition: the m3/h of water at 15 degC that a drop of 1 bar
// passes.  Cv = Kv / 0.865.  Choked flow by hand: Q / (FL sqrt(p1 / (rho / rho0))).
TEST(ControlValveByHand, KvDefinitionChokeAndGas) {
    LiquidValveCase water{2, 1, 10, 999.10329075702327, 0, 220.64, 1.14, {0.9, 1, 0, 50, 50, 50}};
    const ValveResult sized = SizeLiquidValve(water);
    EXPECT_NEAR(sized.kv, 10, 1e-13);
    EXPECT_NEAR(sized.cv, 11.560693641618498, 1e-13);
    EXPECT_NEAR(LiquidValveFlow(water, 10).flow, 10, 1e-13);
    water.p1 = 10;
    water.flow = 20;
    EXPECT_NEAR(LiquidValveOutletPressure(water, 10).p2, 6, 1e-13);

    LiquidValveCase chokes{3, 1, 10, 999.10329075702327, 0, 220.64, 1.14, {0.5, 1, 0, 50, 50, 50}};
    const ValveResult limited = SizeLiquidValve(chokes);
    EXPECT_TRUE(limited.choked);
    EXPECT_NEAR(limited.kv, 11.547005383792516, 1e-13);
    EXPECT_NEAR(*limited.dpChoked, 0.75, 1e-15);
    // 20 m3/h through Kv 10 needs more than the choked 8.66 m3/h.
    chokes.flow = 20;
    const ValveResult beyond = LiquidValveOutletPressure(chokes, 10);
    ASSERT_TRUE(beyond.fault);
    EXPECT_EQ(beyond.fault->kind, ValveFaultKind::BeyondChokedFlow);
    EXPECT_NEAR(beyond.fault->limit, 10 * 0.5 * std::sqrt(3.0), 1e-12);

    // Air, 1000 m3/h at 0 degC, 10 to 1 bar a: choked at x = Fgamma xT = 0.7,
    // Kv = Q / (N9 p1 (2/3)) sqrt(M T Z / (Fgamma xT)).
    GasValveCase air{10, 1, 1000, GasFlowForm::Normal, 28.96, 1.4, 1, 293.15, 18.1, {0.9, 1, 0.7, 80, 80, 80}};
    const ValveResult gas = SizeGasValve(air);
    EXPECT_TRUE(gas.choked);
    EXPECT_NEAR(gas.kv, 6.715082612654406, 1e-12);
    EXPECT_NEAR(*gas.y, 2.0 / 3.0, 1e-16);
    const ValveResult outlet = GasValveOutletPressure(air, gas.kv);
    EXPECT_NEAR(outlet.p2, 3, 1e-12);  // the drop at which it chokes: x = 0.7
    EXPECT_TRUE(outlet.choked);
    air.flow = 1001;
    EXPECT_EQ(GasValveOutletPressure(air, gas.kv).fault->kind, ValveFaultKind::BeyondChokedFlow);
}

// Every input refused with its name and what is wrong with it.
TEST(ControlValveFaults, EachInputNamed) {
    const LiquidValveCase liquid{6.8, 2.2, 360, 965.4, 0.701, 221.2, 0.326, {0.9, 0.46, 0, 150, 150, 150}};
    const GasValveCase gas{6.8, 3.1, 3800, GasFlowForm::Normal, 44.01, 1.3, 0.988, 433, 20, {0.85, 0.42, 0.6, 50, 80, 100}};
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    struct Case {
        std::function<void(LiquidValveCase&, GasValveCase&)> change;
        bool gas;
        ValveInput input;
        ValveFaultKind kind;
    };
    using K = ValveFaultKind;
    using I = ValveInput;
    const Case cases[] = {
        {[](auto& l, auto&) { l.p2 = 7; }, false, I::DownstreamPressure, K::NotBelowUpstream},
        {[](auto& l, auto&) { l.p2 = 6.8; }, false, I::DownstreamPressure, K::NotBelowUpstream},
        {[](auto& l, auto&) { l.p2 = -0.1; }, false, I::DownstreamPressure, K::Negative},
        {[&](auto& l, auto&) { l.p1 = nan; }, false, I::UpstreamPressure, K::NotFinite},
        {[&](auto& l, auto&) { l.flow = inf; }, false, I::Flow, K::NotFinite},
        {[](auto& l, auto&) { l.flow = 0; }, false, I::Flow, K::NotPositive},
        {[](auto& l, auto&) { l.density = -1; }, false, I::Density, K::NotPositive},
        {[](auto& l, auto&) { l.vapourPressure = 7; }, false, I::VapourPressure, K::NotBelowUpstream},
        {[](auto& l, auto&) { l.criticalPressure = 0.5; }, false, I::VapourPressure, K::NotBelowCritical},
        {[](auto& l, auto&) { l.viscosity = 0; }, false, I::Viscosity, K::NotPositive},
        {[](auto& l, auto&) { l.valve.fl = 1.01; }, false, I::FL, K::OutOfRange},
        {[](auto& l, auto&) { l.valve.fl = 0; }, false, I::FL, K::OutOfRange},
        {[](auto& l, auto&) { l.valve.fd = 0; }, false, I::Fd, K::OutOfRange},
        {[](auto& l, auto&) { l.valve.inletPipe = 100; }, false, I::InletPipe, K::NarrowerThanValve},
        {[](auto& l, auto&) { l.valve.outletPipe = 149.9; }, false, I::OutletPipe, K::NarrowerThanValve},
        {[&](auto& l, auto&) { l.valve.size = nan; }, false, I::Size, K::NotFinite},
        {[](auto&, auto& g) { g.valve.xt = 1; }, true, I::XT, K::OutOfRange},
        {[](auto&, auto& g) { g.valve.xt = 0; }, true, I::XT, K::OutOfRange},
        {[](auto&, auto& g) { g.gamma = 1; }, true, I::Gamma, K::OutOfRange},
        {[](auto&, auto& g) { g.z = 0; }, true, I::Compressibility, K::NotPositive},
        {[](auto&, auto& g) { g.temperature = -5; }, true, I::Temperature, K::NotPositive},
        {[](auto&, auto& g) { g.molarMass = 0; }, true, I::MolarMass, K::NotPositive},
        {[&](auto&, auto& g) { g.viscosity = inf; }, true, I::Viscosity, K::NotFinite},
        {[](auto&, auto& g) { g.valve.size = 90; }, true, I::InletPipe, K::NarrowerThanValve},
    };
    for (const Case& c : cases) {
        LiquidValveCase l = liquid;
        GasValveCase g = gas;
        c.change(l, g);
        const ValveResult r = c.gas ? SizeGasValve(g) : SizeLiquidValve(l);
        ASSERT_TRUE(r.fault);
        EXPECT_EQ(*r.fault, (ValveFault{c.input, c.kind})) << static_cast<int>(c.input);
    }
    EXPECT_EQ(LiquidValveFlow(liquid, 0).fault, (ValveFault{I::Kv, K::NotPositive}));
    EXPECT_EQ(GasValveFlow(gas, nan).fault, (ValveFault{I::Kv, K::NotFinite}));
    // The outlet pressure is the unknown: the case's own is not looked at.
    LiquidValveCase noOutlet = liquid;
    noOutlet.p2 = nan;
    EXPECT_FALSE(LiquidValveOutletPressure(noOutlet, 200).fault);
    // 360 m3/h across 0.05 bar through a 50 mm valve in 300 mm pipes: the
    // reducers alone take more than the drop.
    LiquidValveCase reducers = liquid;
    reducers.p2 = 6.75;
    reducers.valve = {0.9, 0.46, 0, 50, 300, 300};
    EXPECT_EQ(SizeLiquidValve(reducers).fault, (ValveFault{I::Flow, K::ReducersTakeTheDrop}));
    // fluids' reading of the FR trials: where full trim holds C/d^2 at 0.04,
    // FR only falls as Ci grows and no trial is accepted.
    const LiquidValveCase oil{6, 5, 3, 870, 0.01, 20, 40, {0.9, 0.1, 0, 15, 15, 15}};
    EXPECT_EQ(SizeLiquidValve(oil, ValveReading::Fluids()).fault, (ValveFault{I::Flow, K::NoTrialAccepted}));
    EXPECT_NEAR(SizeLiquidValve(oil).kv, 4.731102867492295, 1e-12);  // the generator's program reading
}

TEST(ControlValveNotes, WhatAnAnswerIsReadWith) {
    // An oil of 2500 cSt: laminar, and the reducers' FP is not applied.
    LiquidValveCase oil{6, 5, 3, 870, 0.01, 20, 2500, {0.9, 0.1, 0, 40, 50, 80}};
    ValveResult r = SizeLiquidValve(oil);
    EXPECT_EQ(r.regime, ValveRegime::Laminar);
    EXPECT_EQ(r.fp, 1);
    EXPECT_EQ(r.notes, std::vector<ValveNote>{ValveNote::ReducersIgnoredOutsideTurbulentFlow});
    // Full trim with C/d^2 above 0.04: n1 is taken at 0.04.
    oil.valve = {0.9, 0.46, 0, 10, 10, 10};
    r = SizeLiquidValve(oil);
    EXPECT_GT(r.kv / 100, 0.04);
    EXPECT_EQ(r.notes, std::vector<ValveNote>{ValveNote::FullTrimRatioLimited});
    // Water at 90 degC let down below its vapour pressure flashes.
    const LiquidValveCase hot{6.8, 0.5, 36, 965.4, 0.701, 221.2, 0.326, {0.9, 0.46, 0, 80, 80, 80}};
    EXPECT_EQ(SizeLiquidValve(hot).notes, std::vector<ValveNote>{ValveNote::Flashing});
    GasValveCase tight{6.8, 3.1, 3800, GasFlowForm::Normal, 44.01, 1.3, 0.988, 433, 20, {0.85, 0.42, 0.9, 50, 50, 50}};
    EXPECT_EQ(SizeGasValve(tight).notes, std::vector<ValveNote>{ValveNote::XTOutsideRange});
}

}  // namespace
}  // namespace corvane
