// The second opinions beside the panels' methods: the isothermal equation
// for a compressible gas, and the 2-K and 3-K fitting coefficients, against
// independent reference values (tests/data/*_reference.csv, made by
// python3-fluids with the scripts beside them), and on the panels' cases.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "logic/engine/FittingMethods.h"
#include "logic/engine/FittingTable.h"
#include "logic/engine/IsothermalGas.h"
#include "logic/engine/PipeFlow.h"
#include "tests/IsothermalCases.h"

namespace corvane {
namespace {

// The numeric rows of a reference file; an empty field is NaN.
std::vector<std::vector<double>> Rows(const char* name) {
    std::ifstream in(std::string(CORVANE_TEST_DATA "/") + name);
    std::vector<std::vector<double>> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<double> row;
        std::stringstream fields(line);
        std::string field;
        while (std::getline(fields, field, ',')) row.push_back(field.empty() ? NAN : std::stod(field));
        if (line.back() == ',') row.push_back(NAN);
        rows.push_back(row);
    }
    return rows;
}

TEST(IsothermalReference, MassFlowCriticalPressureOutletPressureAndLength) {
    const auto rows = Rows("isothermal_reference.csv");
    ASSERT_GT(rows.size(), 90u);
    for (const auto& r : rows) {
        const double rho = r[0], fd = r[1], p1 = r[2], p2 = r[3], length = r[4], d = r[5];
        const double m = r[6], critical = r[7];
        const double resistance = fd * length / d;
        EXPECT_NEAR(IsothermalMassFlow(rho, resistance, p1, p2, d), m, m * 1e-9);
        EXPECT_NEAR(IsothermalCriticalPressure(p1, resistance), critical, critical * 1e-9);
        // The reference solves the outlet pressure back to about 1e-8; ours
        // returns the pressure that made the flow.
        EXPECT_NEAR(IsothermalOutletPressure(rho, resistance, p1, d, m), r[8], r[8] * 1e-7);
        EXPECT_NEAR(IsothermalOutletPressure(rho, resistance, p1, d, m), p2, p2 * 1e-9);
        EXPECT_NEAR(IsothermalResistance(rho, p1, p2, d, m) * d / fd, r[9], r[9] * 1e-6);
    }
}

TEST(IsothermalEquation, NoAnswerBeyondTheChokedFlow) {
    const double p1 = 1e6, resistance = 37.0, d = 0.5, rho = 11.3;
    const double critical = IsothermalCriticalPressure(p1, resistance);
    EXPECT_TRUE(std::isnan(IsothermalMassFlow(rho, resistance, p1, critical * 0.9, d)));
    EXPECT_TRUE(std::isnan(IsothermalMassFlow(rho, resistance, p1, p1, d)));
    const double most = IsothermalMassFlow(rho, resistance, p1, critical, d);
    EXPECT_TRUE(std::isnan(IsothermalOutletPressure(rho, resistance, p1, d, most * 1.01)));
    EXPECT_NEAR(IsothermalOutletPressure(rho, resistance, p1, d, most), critical, critical * 1e-6);
}

// The critical pressure is the bisection of x^2 (F + 1 - 2 ln x) = 1 on
// (1e-300, 1) to 1e-12, evaluated only near the root: the result must be
// the full bisection's to the last bit, from the flattest roots (F near
// zero, x near 1) to the steepest.
TEST(IsothermalEquation, CriticalPressureIsTheFullBisectionsToTheLastBit) {
    const auto fullBisection = [](double f) {
        const auto g = [&](double v) { return v * v * (f + 1.0 - 2.0 * std::log(v)) - 1.0; };
        double lo = 1e-300, hi = 1.0, glo = g(lo);
        for (int i = 0; i < 300 && hi - lo > 1e-12 * std::abs(hi); ++i) {
            const double mid = 0.5 * (lo + hi), gm = g(mid);
            if ((gm > 0) == (glo > 0)) {
                lo = mid;
                glo = gm;
            } else {
                hi = mid;
            }
        }
        return 0.5 * (lo + hi);
    };
    std::mt19937_64 rng(15);
    std::uniform_real_distribution<double> exponent(-16, 12);
    std::vector<double> resistances = {1e-300, 1e-30, 1e-16, 1e-12, 1e-9, 1e-6, 0.5, 1, 2, 37, 1e6, 1e100, 1e300};
    for (int i = 0; i < 20000; ++i) resistances.push_back(std::pow(10.0, exponent(rng)));
    int differ = 0;
    for (double f : resistances) {
        const double fast = IsothermalCriticalPressure(1.0, f), full = fullBisection(f);
        if (std::memcmp(&fast, &full, sizeof fast) != 0 && ++differ <= 5)
            ADD_FAILURE() << "F = " << f << ": " << fast << " instead of " << full;
    }
    EXPECT_EQ(differ, 0);
    EXPECT_TRUE(std::isnan(IsothermalCriticalPressure(1.0, 0.0)));
    EXPECT_TRUE(std::isnan(IsothermalCriticalPressure(1.0, NAN)));
}

// The mass flow decides whether the outlet pressure is above the critical
// pressure without solving for it where that is plain: the flow (or NaN)
// must be what the test against the solved critical pressure gives, to the
// last bit, also just either side of the critical pressure.
TEST(IsothermalEquation, MassFlowIsTheSameWithoutSolvingTheCriticalPressure) {
    const auto withCritical = [](double rho1, double f, double p1, double p2, double d) {
        const double critical = IsothermalCriticalPressure(p1, f);
        if (!(p2 < p1) || !(p2 >= critical * (1 - 1e-12))) return std::nan("");
        const double a = std::numbers::pi / 4.0 * d * d;
        return std::sqrt(a * a * rho1 * (p1 * p1 - p2 * p2) / (p1 * (f + 2.0 * std::log(p1 / p2))));
    };
    std::mt19937_64 rng(16);
    std::uniform_real_distribution<double> unit(0, 1), exponent(-10, 8);
    int differ = 0, choked = 0, nearCritical = 0;
    for (int i = 0; i < 60000; ++i) {
        const double f = std::pow(10.0, exponent(rng));
        const double p1 = 1e5 * (1 + 100 * unit(rng));
        const double d = 0.001 + unit(rng);
        double p2 = p1 * unit(rng);
        if (i % 3 == 0) {
            // Within a few parts in 1e9 of the critical pressure, either side.
            p2 = IsothermalCriticalPressure(p1, f) * (1 + (unit(rng) - 0.5) * 1e-8 * std::pow(10.0, -8 * unit(rng)));
            ++nearCritical;
        }
        const double fast = IsothermalMassFlow(1.2, f, p1, p2, d), full = withCritical(1.2, f, p1, p2, d);
        choked += std::isnan(full);
        const bool same = (std::isnan(fast) && std::isnan(full)) || std::memcmp(&fast, &full, sizeof fast) == 0;
        if (!same && ++differ <= 5) ADD_FAILURE() << "F " << f << " p1 " << p1 << " p2 " << p2 << ": " << fast << " vs " << full;
    }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(choked, 10000);  // both sides were met
    EXPECT_GT(nearCritical, 10000);
    for (double p2 : {0.0, -1.0, 2e5, 3e5, std::nan("")}) EXPECT_TRUE(std::isnan(IsothermalMassFlow(1.2, 5, 2e5, p2, 0.1)));
    EXPECT_TRUE(std::isnan(IsothermalMassFlow(1.2, 0, 2e5, 1e5, 0.1)));
    EXPECT_TRUE(std::isnan(IsothermalMassFlow(1.2, NAN, 2e5, 1e5, 0.1)));
}

TEST(FittingsKReference, TwoKAndThreeKOfEveryPublishedFitting) {
    const auto rows = Rows("fittings_k_reference.csv");
    ASSERT_EQ(rows.size(), 15u * 7 * 7);
    for (const auto& r : rows) {
        const int type = static_cast<int>(r[0]);
        const double re = r[1], inches = r[2];
        const auto hooper = HooperConstants(type);
        const auto darby = DarbyConstants(type);
        ASSERT_EQ(hooper.has_value(), !std::isnan(r[3])) << type;
        ASSERT_EQ(darby.has_value(), !std::isnan(r[4])) << type;
        if (hooper) EXPECT_NEAR(HooperK(*hooper, re, inches), r[3], r[3] * 1e-12) << type;
        if (darby) EXPECT_NEAR(DarbyK(*darby, re, inches), r[4], r[4] * 1e-12) << type;
    }
    // Partly open valves, strainers, reducers and flexible parts have none.
    for (int type : {8, 9, 10, 14, 17, 18, 19, 21, 25, 29, 31, 32, 35}) {
        EXPECT_FALSE(HooperConstants(type)) << type;
        EXPECT_FALSE(DarbyConstants(type)) << type;
    }
}

TEST(FittingsKComparison, TotalsByEachMethod) {
    FittingsSelection s;
    s.counts[0] = 2;   // standard bends
    s.counts[7] = 1;   // a strainer: no constants, the table stands in
    s.counts[15] = 1;  // a gate valve, 75 % open: no constants either
    s.openings[0] = 1;
    s.extraK = 0.5;
    const double d = 50.8;  // 2 inches
    const FittingsKComparison c = CompareFittingsK(s, d, 1e5);
    ASSERT_EQ(c.rows.size(), 3u);
    EXPECT_EQ(c.rows[0].type, 1);
    EXPECT_EQ(c.rows[2].type, 17);
    EXPECT_DOUBLE_EQ(c.tableTotal, FittingsTotalK(s, d));
    const double bend2 = 800 / 1e5 + 0.4 * (1 + 1 / 2.0);
    const double bend3 = 800 / 1e5 + 0.14 * (1 + 4.0 / std::pow(2.0, 0.3));
    const double others = FittingK(8, d) + FittingK(17, d) + 0.5;
    EXPECT_DOUBLE_EQ(c.twoKTotal, 2 * bend2 + others);
    EXPECT_DOUBLE_EQ(c.threeKTotal, 2 * bend3 + others);
    EXPECT_FALSE(c.rows[1].twoK);
    EXPECT_DOUBLE_EQ(*c.rows[0].twoK, bend2);
}

// Air at 20 C: 15.1 cSt, 1.2047 kg/m3 at 0 bar g.
SolverInputs Air(double inlet, double flow, double diameter, double length) {
    SolverInputs in;
    in.gas = true;
    in.roughness = 0.046;
    in.diameter = diameter;
    in.length = length;
    in.flow = flow;
    in.inletPressure = inlet;
    in.viscosity = 15.1;
    in.density = 1.2047;
    return in;
}

TEST(IsothermalCase, TheFourUnknownsAgreeWithEachOther) {
    SolverInputs in = Air(7.0, 3000.0, 25.0, 50.0);
    in.fittings.counts[0] = 4;
    const IsothermalAnswer drop = IsothermalPressureDrop(in);
    ASSERT_FALSE(drop.fault);
    EXPECT_GT(drop.pressureDrop, 0.0);
    EXPECT_LT(drop.pressureDrop, 7.0);
    EXPECT_GT(drop.passes, 1);
    EXPECT_EQ(FlowRegimeOf(drop.reynolds), FlowRegime::Turbulent);

    // The same case asked the other way round gives back each entry.
    in.allowableLoss = drop.pressureDrop;
    const IsothermalAnswer flow = IsothermalFlow(in);
    ASSERT_FALSE(flow.fault);
    EXPECT_NEAR(flow.flow, 3000.0, 3000.0 * 1e-8);
    const IsothermalAnswer length = IsothermalLength(in);
    ASSERT_FALSE(length.fault);
    EXPECT_NEAR(length.length, 50.0, 50.0 * 1e-8);
    const IsothermalAnswer diameter = IsothermalDiameter(in);
    ASSERT_FALSE(diameter.fault);
    EXPECT_NEAR(diameter.diameter, 25.0, 25.0 * 1e-8);
}

// Each panel's unknown for whole gas cases (friction factor, fittings,
// viscosity at the mean pressure, density at the inlet), and the panels'
// own gas method beside it, as python3-fluids gives them.
TEST(IsothermalCase, WholeAnswersAsPythonFluidsGivesThem) {
    for (const test::IsothermalCase& c : test::IsothermalCases()) {
        SCOPED_TRACE(c.what);
        const SolverInputs in = c.inputs();
        IsothermalAnswer a;
        double answer = 0;
        switch (c.kind) {
            case PanelKind::PressureDrop: answer = (a = IsothermalPressureDrop(in)).pressureDrop; break;
            case PanelKind::Flow: answer = (a = IsothermalFlow(in)).flow; break;
            case PanelKind::Diameter: answer = (a = IsothermalDiameter(in)).diameter; break;
            case PanelKind::Length: answer = (a = IsothermalLength(in)).length; break;
        }
        ASSERT_FALSE(a.fault);
        EXPECT_NEAR(answer, c.isothermal, c.isothermal * 1e-7);
        EXPECT_NEAR(a.outletPressure, c.outlet, 1e-9);
        if (c.kind == PanelKind::PressureDrop) EXPECT_NEAR(SolvePressureDrop(in).pressureDrop, *c.panel, *c.panel * 1e-9);
        if (c.kind == PanelKind::Length) EXPECT_NEAR(SolveFindLength(in).length, *c.panel, *c.panel * 1e-9);
    }
}

TEST(IsothermalCase, CloseToThePanelsMethodForASmallDrop) {
    // A drop of under 1 % of the absolute pressure: density hardly changes,
    // so the incompressible result is close.
    const SolverInputs in = Air(7.0, 300.0, 25.0, 10.0);
    const SolverResult panel = SolvePressureDrop(in);
    const IsothermalAnswer iso = IsothermalPressureDrop(in);
    ASSERT_FALSE(panel.fault);
    ASSERT_FALSE(iso.fault);
    EXPECT_LT(iso.pressureDrop / (7.0 + kAtmosphereBar), 0.01);
    EXPECT_NEAR(iso.pressureDrop, panel.pressureDrop, panel.pressureDrop * 0.05);
}

TEST(IsothermalCase, RefusedWhereNoAnswerExists) {
    // More flow than the pipe passes before it chokes.
    EXPECT_EQ(IsothermalPressureDrop(Air(0.5, 60000.0, 10.0, 100.0)).fault, IsothermalFault::Choked);
    SolverInputs in = Air(1.0, 300.0, 25.0, 10.0);
    in.allowableLoss = 1.9;  // below the critical outlet pressure of this short pipe
    EXPECT_EQ(IsothermalFlow(in).fault, IsothermalFault::Choked);
    // Fittings that alone take more than the allowable loss: no length.
    in = Air(7.0, 3000.0, 25.0, 10.0);
    in.allowableLoss = 0.01;
    in.fittings.extraK = 500;
    EXPECT_EQ(IsothermalLength(in).fault, IsothermalFault::NoLength);
    // Not a gas, or no viscosity.
    in = Air(7.0, 300.0, 25.0, 10.0);
    in.gas = false;
    EXPECT_EQ(IsothermalPressureDrop(in).fault, IsothermalFault::NotAGas);
    EXPECT_EQ(IsothermalFlow(in).fault, IsothermalFault::NotAGas);
    EXPECT_EQ(IsothermalDiameter(in).fault, IsothermalFault::NotAGas);
    EXPECT_EQ(IsothermalLength(in).fault, IsothermalFault::NotAGas);
    in.gas = true;
    in.viscosity = 0;
    EXPECT_TRUE(IsothermalPressureDrop(in).fault);
}

}  // namespace
}  // namespace corvane
