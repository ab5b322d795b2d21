// The pipe run: its transitions against python3-fluids, NPSH available by
// hand, the flow solve against the run at a given flow, each section
// against the pressure drop panel, and the faults and notes.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "logic/engine/PipeRun.h"
#include "logic/engine/Units.h"
#include "logic/model/shared/FittingsText.h"
#include "logic/text/NumberText.h"
#include "tests/GoldenPanels.h"

namespace corvane {
namespace {

// Every row of tests/data/transitions_reference.csv (made by
// make_transitions_reference.py) to 1e-12 of its value.
TEST(TransitionsReference, RennelsFormsAndBasisChangeAgreeWithPythonFluids) {
    std::ifstream in(CORVANE_TEST_DATA "/transitions_reference.csv");
    std::map<std::string, std::function<double(double, double, double, double, double)>> forms = {
        {"contraction_sharp", [](double d1, double d2, double, double, double) { return SuddenContractionK(d1, d2); }},
        {"diffuser_sharp", [](double d1, double d2, double, double, double) { return SuddenExpansionK(d1, d2); }},
        {"contraction_conical", [](double d1, double d2, double a, double f, double) { return ConicalContractionK(d1, d2, a, f); }},
        {"diffuser_conical", [](double d1, double d2, double a, double f, double) { return ConicalExpansionK(d1, d2, a, f); }},
        {"change_K_basis", [](double d1, double d2, double, double, double k) { return ChangeKBasis(k, d1, d2); }}};
    int rows = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> f = test::CsvFields(line);
        ASSERT_EQ(f.size(), 7u) << line;
        auto number = [](const std::string& s) { return s.empty() ? 0.0 : std::stod(s); };
        const double k = forms.at(f[0])(number(f[1]), number(f[2]), number(f[3]), number(f[4]), number(f[5]));
        const double expected = number(f[6]);
        EXPECT_NEAR(k, expected, 1e-12 * std::max(std::fabs(expected), 1e-3)) << line;
        ++rows;
    }
    EXPECT_EQ(rows, 976);
}

// A section of diameter d mm, roughness e mm, length m and rise m.
RunSection Pipe(double d, double e, double length, double rise) {
    RunSection s;
    s.diameter = d;
    s.roughness = e;
    s.length = length;
    s.rise = rise;
    return s;
}

RunPump PumpOf(std::vector<PumpPoint> points) {
    RunPump pump;
    pump.curve = MakePumpCurve(std::move(points)).curve;
    return pump;
}

// A run of two sections with a pump after the first; the suction section
// as given.
PipeRun PumpedRun(const RunLiquid& liquid, const RunSection& suction) {
    PipeRun run;
    run.liquid = liquid;
    run.sink = {0.0, 10.0};
    run.sections = {suction, Pipe(80, 0.046, 30, 5)};
    run.pump = PumpOf({{0, 40}, {500, 30}, {1000, 10}});
    return run;
}

// 60 degF water (vapour pressure 0.2563 psia, 62.37 lb/ft3), a tank at 5
// psig, the pump 25 ft above its surface, 6 ft of suction losses: about
// 13.9 ft.
TEST(PipeRunNpsh, SuctionLiftOfTheHandbookExample) {
    const double kgPerM3 = 62.37 * 0.45359237 / std::pow(0.3048, 3);
    const double ft = LengthFromMetres(kFoot, NpshAvailable(PressureToBar(kPsi, 5), 0.0, LengthToMetres(kFoot, 25),
                                                            LengthToMetres(kFoot, 6), PressureToBar(kPsi, 0.2563),
                                                            kgPerM3 / 1000.0));
    EXPECT_NEAR(ft, 13.9, 0.05);
}

// Flooded suction worked by hand: an open tank of oil (100 cSt, 900 kg/m3,
// vapour pressure 0.1 bar a) with its surface 3 m above the pump; the
// suction pipe (100 mm, 2 m, falling 2 m to the pump, extra K 2) at 1 m/s:
// Re = 1 x 0.1 / 100e-6 = 1000, f = 64/1000 = 0.064, suction losses
// (0.064 x 2/0.1 + 2 + 0.57) x 1^2 / (2 x 9.81) m.
TEST(PipeRunNpsh, FloodedSuctionWorkedByHand) {
    RunSection suction = Pipe(100, 0.046, 2, -2);
    suction.fittings.extraK = 2;
    PipeRun run = PumpedRun({100, 900, 0.1}, suction);
    run.source = {0.0, 3.0};
    run.startElevation = 2.0;
    const RunResult r = SolveRunAtFlow(run, FlowFromVelocity(1.0, 100));
    ASSERT_FALSE(r.fault);
    const double pressureHead = (1.01325 - 0.1) * 100000 / (900 * 9.81);  // 10.3438 m
    const double losses = (0.064 * 2 / 0.1 + 2 + 0.57) / (2 * 9.81);      // 0.1962 m
    EXPECT_NEAR(*r.pump->npshAvailable, pressureHead + 3.0 - losses, 1e-9);
    EXPECT_NEAR(*r.pump->npshAvailable, 13.1475, 1e-4);
    // The suction side as the run returns it: the losses above, and the
    // inlet 2 m below the start.
    EXPECT_NEAR(r.pump->suctionLoss, losses, 1e-12);
    EXPECT_EQ(r.pump->inletElevation, 0.0);
    // The same by the nodes: the energy head at the pump inlet, absolute,
    // above the inlet, less the vapour pressure head.
    const RunNode& inlet = r.nodes[1];
    EXPECT_NEAR(inlet.energyHead - inlet.elevation + PressureToHead(1.01325 - 0.1, 0.9), *r.pump->npshAvailable, 1e-12);
}

// The flow found for a difference of heads, fed back, gives that
// difference; a flow given, its difference made the run's, is found again.
TEST(PipeRunFlow, SolvedFlowAndGivenFlowAgree) {
    const RunLiquid water{1.004, 998, 0.0234}, oil{200, 880, std::nullopt};
    RunSection conical = Pipe(50, 0.046, 20, 2);
    conical.transition = TransitionForm::Conical;
    conical.angle = 20;
    const struct {
        const char* name;
        RunLiquid liquid;
        std::vector<RunSection> sections;
        bool pump;
        double flow;  // for the second direction, l/min
    } cases[] = {
        {"turbulent drain", water, {Pipe(100, 0.046, 50, -5)}, false, 900},
        {"laminar oil", oil, {Pipe(50, 0.046, 100, 0), Pipe(25, 0.046, 10, 0)}, false, 20},
        {"reducers both ways", water, {Pipe(80, 0.15, 10, 0), conical, Pipe(100, 0.0015, 30, -1)}, false, 300},
        {"pumped", water, {Pipe(80, 0.046, 5, 3), Pipe(50, 0.046, 40, 10), Pipe(80, 0.046, 40, 2)}, true, 250},
    };
    for (const auto& c : cases) {
        PipeRun run;
        run.liquid = c.liquid;
        run.source = {0.5, 20};
        run.sink = {0.0, c.pump ? 25.0 : 0.0};
        run.sections = c.sections;
        if (c.pump) run.pump = PumpOf({{0, 40}, {300, 30}, {600, 5}});
        const RunResult solved = SolveRunFlow(run);
        ASSERT_FALSE(solved.fault) << c.name;
        const RunResult back = SolveRunAtFlow(run, solved.flow);
        const double pumpHead = back.pump ? back.pump->head : 0.0;
        const double difference = back.sourceHead - back.sinkHead;
        EXPECT_NEAR(back.totalHeadLoss - pumpHead, difference, 1e-7 * std::fabs(difference)) << c.name;

        // The other way: the sink set to what the given flow leaves.
        const RunResult given = SolveRunAtFlow(run, c.flow);
        ASSERT_FALSE(given.fault) << c.name;
        run.sink.level += given.sinkMargin;
        EXPECT_NEAR(SolveRunFlow(run).flow, c.flow, 1e-7 * c.flow) << c.name;
    }
}

// Each section of a run equals the pressure drop panel for the same
// entries, to the digit the panel shows (its head less the elevation, which
// the run keeps in its nodes).
class RunAgainstPanel : public ::testing::TestWithParam<test::GoldenCase> {};

TEST_P(RunAgainstPanel, SectionsShowThePanelsResults) {
    const test::GoldenCase& c = GetParam();
    PanelModel panel(c.kind, c.locale);
    test::EnterGoldenCase(panel, c);
    ASSERT_FALSE(panel.calculate());
    const SolverInputs in = panel.solverInputs();
    PipeRun run;
    run.liquid = {in.viscosity, in.density * 1000.0, std::nullopt};
    RunSection s = Pipe(in.diameter, in.roughness, in.length, in.elevation);
    s.fittings = in.fittings;
    run.sections = {s, s, s};
    const RunResult r = SolveRunAtFlow(run, in.flow);
    ASSERT_FALSE(r.fault);
    ASSERT_TRUE(r.transitions.empty());
    auto shown = [&](double metric, int decimals) {
        return WriteEntryNumber(c.imperial ? LengthFromMetres(kFoot, metric) : metric, decimals, c.locale).value_or("?");
    };
    for (const SectionFlow& f : r.sections) {
        EXPECT_EQ(shown(f.velocity, 3), c.shown.at(Ctl::MSec_RightEdit));
        EXPECT_EQ(WriteEntryNumber(f.reynolds, 0, c.locale), c.shown.at(Ctl::ReynoldsNumber_RightEdit));
        EXPECT_EQ(WriteEntryNumber(f.friction, 3, c.locale), c.shown.at(Ctl::FrictionFactor_RightEdit));
        EXPECT_EQ(shown(f.headLoss() + in.elevation, 3), c.shown.at(Ctl::mHd_RightEdit));
    }
}

INSTANTIATE_TEST_SUITE_P(GoldenLiquids, RunAgainstPanel,
                         ::testing::ValuesIn(test::GoldenCasesWhere([](const test::GoldenCase& c) {
                             return c.kind == PanelKind::PressureDrop && !c.fluid.isGas && c.message.empty() &&
                                    c.resultUnit == 0;
                         })),
                         test::GoldenCaseName);

// Runs that give no flow say why; a node below the vapour pressure is a
// note, not a refusal.
TEST(PipeRunFaults, EachNamesItsCause) {
    const RunLiquid water{1.004, 998, 0.0234};
    PipeRun uphill;
    uphill.liquid = water;
    uphill.sink = {0.0, 5.0};
    uphill.sections = {Pipe(50, 0.046, 10, 5)};
    EXPECT_EQ(SolveRunFlow(uphill).fault, RunFault::NoHeadDifference);
    // Given a flow, the sink margin is the head a pump would have to add.
    EXPECT_LT(SolveRunAtFlow(uphill, 100).sinkMargin, -5.0);

    // 100 m of 10 mm tube whose head difference lies inside the drop of its
    // losses at Re 2300: a laminar flow and a critical one both balance it;
    // the lower is the run's, the other is noted.
    PipeRun jump;
    jump.liquid = water;
    jump.exitK = jump.entryK = 0;
    jump.sections = {Pipe(10, 0, 100, 0)};
    const double atLimit = FlowFromVelocity(2300 * 1.004 / 10 / 1000, 10);
    jump.source.level = SolveRunAtFlow(jump, atLimit * (1 - 1e-6)).totalHeadLoss * 0.99 +
                        SolveRunAtFlow(jump, atLimit * (1 + 1e-6)).totalHeadLoss * 0.01;
    const RunResult twice = SolveRunFlow(jump);
    ASSERT_FALSE(twice.fault);
    EXPECT_LT(twice.sections[0].reynolds, 2300);
    ASSERT_EQ(twice.notes.size(), 1u);
    EXPECT_EQ(twice.notes[0].kind, RunNoteKind::AnotherFlow);
    EXPECT_GT(twice.notes[0].value, atLimit);

    PipeRun lift = PumpedRun(water, Pipe(80, 0.046, 10, 9.8));
    EXPECT_EQ(SolveRunAtFlow(lift, 2000).fault, RunFault::FlowOutsidePumpCurve);
    const RunResult boiling = SolveRunAtFlow(lift, 600);
    ASSERT_FALSE(boiling.fault);
    ASSERT_FALSE(boiling.notes.empty());
    EXPECT_EQ(boiling.notes[0].kind, RunNoteKind::BelowVapourPressure);
    EXPECT_EQ(boiling.nodes[static_cast<std::size_t>(boiling.notes[0].node)].kind, NodeKind::SectionEnd);
    EXPECT_LT(*boiling.pump->npshAvailable, 0.0);
}

}  // namespace
}  // namespace corvane
