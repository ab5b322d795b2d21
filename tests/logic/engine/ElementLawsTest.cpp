// The element laws: heads from python3-fluids and slopes from sympy
// (tests/data/element_laws_reference.csv), the slopes also against a
// central difference inside each friction zone, and the edges of the laws
// worked by hand.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <string>

#include "logic/engine/ElementLaws.h"
#include "logic/engine/PipeFlow.h"
#include "tests/GoldenPanels.h"

namespace corvane {
namespace {

double Number(const std::string& s) { return s.empty() ? 0.0 : std::stod(s); }

std::vector<PumpPoint> PointsOf(const std::string& text) {
    std::vector<PumpPoint> points;
    std::istringstream in(text);
    for (std::string point; in >> point;) {
        const std::size_t colon = point.find(':');
        points.push_back({std::stod(point.substr(0, colon)), std::stod(point.substr(colon + 1))});
    }
    return points;
}

// Every row of the table: the head to 1e-12 of itself, the slope to 1e-9.
TEST(ElementLawsReference, HeadsAndSlopesAgreeWithFluidsAndSympy) {
    std::ifstream in(CORVANE_TEST_DATA "/element_laws_reference.csv");
    ASSERT_TRUE(in) << "element_laws_reference.csv";
    int rows = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> f = test::CsvFields(line);
        ASSERT_EQ(f.size(), 15u) << line;
        const std::string& law = f[0];
        const double d1 = Number(f[1]), d2 = Number(f[2]), roughness = Number(f[3]), length = Number(f[4]),
                     k = Number(f[5]), angle = Number(f[6]), viscosity = Number(f[7]), density = Number(f[8]),
                     q = Number(f[12]), head = Number(f[13]), slope = Number(f[14]);
        LinkHead got;
        if (law == "pipe") {
            got = PipeSectionLaw(MakePipeElement(d1, roughness, length, k, viscosity, density), q);
        } else if (law == "transition_sudden" || law == "transition_conical") {
            const PipeElement smaller = MakePipeElement(std::min(d1, d2), roughness, 0, 0, viscosity, density);
            const TransitionForm form = law == "transition_sudden" ? TransitionForm::Sudden : TransitionForm::Conical;
            got = TransitionLaw(MakeTransition(d1, d2, form, law == "transition_sudden" ? 180.0 : angle), smaller, q);
        } else if (law == "vessel") {
            got = VesselEndLaw({d1, k, kExitK, f[11] == "start"}, q);
        } else {
            ASSERT_EQ(law, "pump");
            const PumpCurveResult curve = MakePumpCurve(PointsOf(f[9]), Number(f[10]));
            ASSERT_FALSE(curve.fault) << line;
            got = PumpLaw(curve.curve, q);
        }
        EXPECT_NEAR(got.head, head, 1e-12 * std::max(std::fabs(head), 1e-3)) << line;
        EXPECT_NEAR(got.slope, slope, 1e-9 * std::max(std::fabs(slope), 1e-6)) << line;
        ++rows;
    }
    EXPECT_EQ(rows, 53);
}

// A property only: inside a friction zone each slope is the central
// difference of its law's heads.
TEST(ElementLaws, SlopesAreTheCentralDifferenceWithinAZone) {
    const PipeElement water = MakePipeElement(52.5, 0.046, 30, 2.5, 1.004, 998);
    const PipeElement oil = MakePipeElement(77.9, 0.046, 100, 1.2, 200, 880);
    const PipeElement narrow = MakePipeElement(26.6, 0.0015, 12, 0.75, 1.004, 998);
    const PipeElement oilIn52 = MakePipeElement(52.5, 0.046, 0, 0, 200, 880);
    const TransitionElement cone = MakeTransition(77.9, 52.5, TransitionForm::Conical, 30);
    const PumpCurve fitted = MakePumpCurve({{0, 40}, {500, 30}, {1000, 10}}, 1.1).curve;
    const struct {
        const char* name;
        std::function<LinkHead(double)> law;
        double q;
    } cases[] = {
        {"turbulent pipe", [&](double q) { return PipeSectionLaw(water, q); }, 400},
        {"turbulent pipe, backwards", [&](double q) { return PipeSectionLaw(water, q); }, -400},
        {"laminar pipe", [&](double q) { return PipeSectionLaw(oil, q); }, 100},
        {"critical zone", [&](double q) { return PipeSectionLaw(narrow, q); }, 3.7},
        {"conical contraction, turbulent", [&](double q) { return TransitionLaw(cone, water, q); }, 400},
        {"conical expansion, backwards", [&](double q) { return TransitionLaw(cone, water, q); }, -400},
        {"conical contraction, laminar", [&](double q) { return TransitionLaw(cone, oilIn52, q); }, 50},
        {"entrance", [](double q) { return VesselEndLaw({52.5, 0.57, 1.0, true}, q); }, 400},
        {"fitted pump", [&](double q) { return PumpLaw(fitted, q); }, 700},
    };
    for (const auto& c : cases) {
        const double dq = 1e-5 * std::fabs(c.q);
        const double difference = (c.law(c.q + dq).head - c.law(c.q - dq).head) / (2 * dq);
        EXPECT_NEAR(c.law(c.q).slope, difference, 1e-6 * std::fabs(difference)) << c.name;
    }
}

// The friction factor's slope in each zone: -64/Re^2, 1/30000 and sympy's
// derivative of Haaland's form (Re 1e5, 25 mm steel of 0.046 mm).
TEST(ElementLaws, FrictionFactorSlopeByZone) {
    const double steel = HaalandRoughnessTerm(25, 0.046);
    const struct {
        double re, expected;
    } cases[] = {{0, 0}, {1000, -6.4e-5}, {2300, -64.0 / (2300.0 * 2300.0)}, {3000, 1 / 30000.0},
                 {1e5, -1.45863828630e-8}};
    for (const auto& c : cases)
        EXPECT_NEAR(FrictionFactorSlope(c.re, steel), c.expected, 1e-11 * std::fabs(c.expected)) << c.re;
    EXPECT_TRUE(std::isnan(FrictionFactorSlope(std::numeric_limits<double>::quiet_NaN(), steel)));
}

// Where a pipe's law jumps: water (1.004 cSt) in 26.6 mm reaches Re 2300 at
// 2300 x 1.004e-6 / 0.0266 x pi / 4 x 0.0266^2 x 60000 l/min.
TEST(ElementLaws, ZoneLimitFlowIsWhereTheReynoldsNumberReachesTheLimit) {
    const PipeElement pipe = MakePipeElement(26.6, 0.0015, 12, 0, 1.004, 998);
    const double q = ZoneLimitFlow(pipe, kLaminarLimit);
    EXPECT_NEAR(q, 2.894571736512151, 1e-12);
    EXPECT_NEAR(PipeSectionAt(pipe, q).reynolds, 2300.0, 1e-9);
}

// The pump's edges: no reverse flow; straight lines hold their end heads
// outside their flows (slope 0); a fitted curve of exponent C < 1 starts
// infinitely steep: (0, 40), (500, 20), (1000, 10) gives C = ln 1.5 / ln 2.
TEST(ElementLaws, PumpLawAtTheEdgesOfItsCurve) {
    const PumpCurve lines = MakePumpCurve({{100, 35}, {400, 30}, {800, 18}}).curve;
    EXPECT_TRUE(std::isnan(PumpLaw(lines, -1).head));
    EXPECT_TRUE(std::isnan(PumpLaw(lines, -1).slope));
    EXPECT_EQ(PumpLaw(lines, 50).head, 35.0);
    EXPECT_EQ(PumpLaw(lines, 50).slope, 0.0);
    EXPECT_EQ(PumpLaw(lines, 900).head, 18.0);
    EXPECT_EQ(PumpLaw(lines, 900).slope, 0.0);
    EXPECT_NEAR(PumpLaw(lines, 100).slope, -5.0 / 300.0, 1e-15);  // the first line from its first point
    const PumpCurve steep = MakePumpCurve({{0, 40}, {500, 20}, {1000, 10}}).curve;
    EXPECT_NEAR(steep.c(), std::log(1.5) / std::log(2.0), 1e-14);
    EXPECT_EQ(PumpLaw(steep, 0).head, 40.0);
    EXPECT_EQ(PumpLaw(steep, 0).slope, -std::numeric_limits<double>::infinity());
}

}  // namespace
}  // namespace corvane
