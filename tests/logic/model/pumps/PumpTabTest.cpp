// The analysis window's Pump tab as a model: the typed points, the result,
// the picture with the pump and the data.

#include <gtest/gtest.h>

#include <algorithm>

#include "logic/model/pumps/PumpTab.h"
#include "logic/text/NumberText.h"
#include "tests/logic/PanelTestSupport.h"

namespace corvane {
namespace {

PumpTab Typed(std::vector<std::pair<const char*, const char*>> points, const char* speed = "1",
              const char* efficiency = "") {
    PumpTab t;
    for (std::size_t i = 0; i < points.size(); ++i) {
        t.setFlowText(static_cast<int>(i), points[i].first);
        t.setHeadText(static_cast<int>(i), points[i].second);
    }
    t.setSpeedText(speed);
    t.setEfficiencyText(efficiency);
    return t;
}

TEST(PumpTabModel, TypedTextsBecomeThePumpInTheLocalesNumbers) {
    const Locale comma{',', false};
    const PumpTab t = Typed({{"0", "12,5"}, {"", ""}, {"100,5", "10"}}, "0,9", "72,5");
    const auto e = t.entry(comma);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->points, (std::vector<std::pair<double, double>>{{0, 12.5}, {100.5, 10}}));  // the blank row skipped
    EXPECT_DOUBLE_EQ(e->speedRatio, 0.9);
    EXPECT_DOUBLE_EQ(*e->efficiencyPercent, 72.5);
    // A blank speed is the pump's own speed; a blank efficiency is none.
    const auto plain = Typed({{"100", "30"}}, "", "").entry(Locale{});
    EXPECT_EQ(plain->speedRatio, 1.0);
    EXPECT_FALSE(plain->efficiencyPercent);

    std::optional<Refusal> why;
    EXPECT_FALSE(Typed({{"100", "30"}, {"150", ""}}).entry(Locale{}, &why));
    EXPECT_EQ(why, PumpPointIncomplete());
    EXPECT_TRUE(PumpTab().empty());
    EXPECT_FALSE(Typed({{"", "3"}}).empty());
}

TEST(PumpTabModel, WhatTheTabShowsBeforeAndAfterACalculation) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    const PumpTab t = Typed({{"150", "8"}});
    EXPECT_EQ(SolvePumpTab(p, t).message, std::string(kNoResultText));
    ASSERT_FALSE(p.calculate());
    EXPECT_TRUE(SolvePumpTab(p, PumpTab()).message);  // asks for points
    const PumpTabResult r = SolvePumpTab(p, t);
    ASSERT_FALSE(r.message) << *r.message;
    EXPECT_EQ(r.rows, PumpResultRows(p, SolvePumpOnPanel(p, *t.entry(Locale{}))));
    EXPECT_EQ(r.curve.size(), 41u);
    EXPECT_DOUBLE_EQ(r.shown.flow, r.point.flow);
    EXPECT_DOUBLE_EQ(r.shown.value, r.point.head);
    // Shown as bar, the pump's heads are turned into pressures.
    p.choose(Ctl::MhdBarComboBox, 1);
    const PumpTabResult bar = SolvePumpTab(p, t);
    ASSERT_FALSE(bar.message);
    EXPECT_NEAR(bar.shown.value, bar.point.head * 0.998 * 1000 * 9.81 / 1e5, 1e-12);
    EXPECT_EQ(bar.rows[1].unit, "m hd");  // the pump's rows stay in head
}

// The system curve runs from no flow past both the operating point and the
// pump's last point, so that the two curves cross at the drawn point.
TEST(PumpTabModel, ThePictureHoldsBothCurvesCrossingAtTheirPoint) {
    struct Case {
        const char* flow;  // the panel's flow, l/min
        std::vector<std::pair<const char*, const char*>> points;
    };
    const Case cases[] = {
        {"100.000", {{"0", "12"}, {"100", "10"}, {"200", "4"}}},  // fitted: ends where no head is left (~245)
        {"100.000", {{"300", "30"}}},                              // one point: far beyond 150 % of the panel
        {"400.000", {{"0", "40"}, {"150", "5"}}},                  // lines: ends before the panel's 150 %
    };
    for (const Case& c : cases) {
        PanelModel p(PanelKind::PressureDrop, Locale{});
        p.editEntry(Ctl::VisibleFlowrateLMin_RightEdit, c.flow);
        ASSERT_FALSE(p.calculate());
        const PumpTabResult r = SolvePumpTab(p, Typed(c.points));
        ASSERT_FALSE(r.message) << *r.message;
        const ChartPicture plain = SystemCurvePicture(p);
        const ChartPicture with = WithPump(p, r);
        ASSERT_EQ(with.lines.size(), plain.lines.size() + 2);
        const ChartLine& system = with.lines.front();
        const ChartLine& curve = with.lines[with.lines.size() - 2];
        const ChartLine& point = with.lines.back();
        EXPECT_EQ(curve.name, "Pump curve");
        EXPECT_EQ(curve.role, LineRole::Pump);
        EXPECT_EQ(point.role, LineRole::PumpPoint);
        EXPECT_EQ(point.label, r.rows[0].value + " litre/min, " + r.rows[1].value + " m hd");
        const double beyond = std::max(r.shown.flow, r.curve.back().flow);
        EXPECT_EQ(system.points.front().first, 0);
        EXPECT_NEAR(system.points.back().first, std::max(1.1 * beyond, 1.5 * ReadEntryNumber(c.flow, Locale{})), 1e-9);
        EXPECT_GE(with.x.max, system.points.back().first);
        // The drawn point lies on the drawn system curve (between its points).
        const auto after = std::find_if(system.points.begin(), system.points.end(),
                                        [&](const auto& q) { return q.first >= r.shown.flow; });
        ASSERT_NE(after, system.points.begin());
        ASSERT_NE(after, system.points.end());
        const auto before = after - 1;
        const double t = (r.shown.flow - before->first) / (after->first - before->first);
        EXPECT_NEAR(before->second + t * (after->second - before->second), r.shown.value, 0.01 * r.shown.value);
        EXPECT_EQ(with.y.title, plain.y.title);
    }
    // No pump, or no result: the system curve alone.
    PanelModel p(PanelKind::PressureDrop, Locale{});
    ASSERT_FALSE(p.calculate());
    EXPECT_EQ(WithPump(p, SolvePumpTab(p, PumpTab())).lines.size(), SystemCurvePicture(p).lines.size());
}

TEST(PumpTabModel, DataAsCsv) {
    PanelModel p(PanelKind::PressureDrop, Locale{',', false});
    ASSERT_FALSE(p.calculate());
    const PumpTab t = Typed({{"150", "8"}}, "1", "70");
    const std::string csv = PumpCsv(p, t, SolvePumpTab(p, t));
    EXPECT_EQ(csv.rfind("Flow (litre/min),Head (m hd)\n150,8\nSpeed ratio,1\nEfficiency (%),70\n\nResult,Value,Unit\n", 0), 0u)
        << csv;
    EXPECT_NE(csv.find("Shaft power,\""), std::string::npos);  // "123,4": quoted for its comma
    p.setText(Ctl::ElevationChange_RightEdit, "20");
    ASSERT_FALSE(p.calculate());
    EXPECT_NE(PumpCsv(p, t, SolvePumpTab(p, t)).find("Result,The pump cannot overcome the elevation change.\n"),
              std::string::npos);
}

}  // namespace
}  // namespace corvane
