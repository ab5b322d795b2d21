// What the analysis window draws: round ticks, powers of ten, the locale's
// numbers, the names of the lines, and the note while a panel has no result.

#include <gtest/gtest.h>

#include <cmath>

#include "logic/model/AnalysisPictures.h"
#include "tests/logic/PanelTestSupport.h"

namespace corvane {
namespace {

std::vector<std::string> Labels(const ChartAxis& axis) {
    std::vector<std::string> out;
    for (const AxisTick& t : axis.ticks) out.push_back(t.label);
    return out;
}

TEST(ChartAxes, StepsAreOneTwoOrFiveTimesAPowerOfTen) {
    EXPECT_DOUBLE_EQ(RoundStep(0, 150, 6), 20);
    EXPECT_DOUBLE_EQ(RoundStep(0, 17.8, 6), 2);
    EXPECT_DOUBLE_EQ(RoundStep(0, 0.6, 6), 0.1);
    EXPECT_DOUBLE_EQ(RoundStep(-3, 40, 6), 10);
    EXPECT_DOUBLE_EQ(RoundStep(0, 9000, 6), 2000);
    EXPECT_DOUBLE_EQ(RoundStep(5, 5, 6), 1);  // no span: a step of the value's size
    for (double hi : {0.37, 1.0, 2.9, 45.0, 999.0, 12345.0}) {
        const double step = RoundStep(0, hi, 6);
        const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
        EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 || std::fabs(mantissa - 5) < 1e-9)
            << hi;
    }
}

TEST(ChartAxes, LinearAxisCoversTheRangeInTheLocalesNumbers) {
    const ChartAxis a = LinearAxis("Head (m hd)", 0, 17.8, CommaLocale());
    EXPECT_EQ(a.min, 0);
    EXPECT_EQ(a.max, 18);
    EXPECT_EQ(Labels(a), (std::vector<std::string>{"0", "2", "4", "6", "8", "10", "12", "14", "16", "18"}));
    const ChartAxis small = LinearAxis("", -0.05, 0.62, CommaLocale());
    EXPECT_DOUBLE_EQ(small.min, -0.1);
    EXPECT_DOUBLE_EQ(small.max, 0.7);
    EXPECT_EQ(Labels(small).front(), "-0,1");
    EXPECT_EQ(Labels(small)[1], "0,0");
    EXPECT_EQ(Labels(small).back(), "0,7");
    EXPECT_FALSE(small.logarithmic);
    EXPECT_EQ(small.place(0.3), 0.3);
}

TEST(ChartAxes, PowersOfTenInSuperscript) {
    EXPECT_EQ(PowerOfTen(0), "10\u2070");
    EXPECT_EQ(PowerOfTen(2), "10\u00b2");
    EXPECT_EQ(PowerOfTen(3), "10\u00b3");
    EXPECT_EQ(PowerOfTen(-2), "10\u207b\u00b2");
    EXPECT_EQ(PowerOfTen(12), "10\u00b9\u00b2");
}

TEST(ChartAxes, LogAxisOverDecadesHasMinorLines) {
    const ChartAxis re = LogAxis("Reynolds number Re", 500, 1e8, Locale{});
    EXPECT_TRUE(re.logarithmic);
    EXPECT_EQ(re.min, 2);
    EXPECT_EQ(re.max, 8);
    EXPECT_EQ(Labels(re), (std::vector<std::string>{"10\u00b2", "10\u00b3", "10\u2074", "10\u2075", "10\u2076",
                                                    "10\u2077", "10\u2078"}));
    EXPECT_EQ(re.minor.size(), 48u);  // 2 to 9 in each of six decades
    EXPECT_DOUBLE_EQ(re.minor.front(), std::log10(200.0));
    EXPECT_DOUBLE_EQ(re.place(1000), 3);
    EXPECT_TRUE(std::isnan(re.place(0)));
}

TEST(ChartAxes, ShortLogAxisIsLabelledAtOneTwoFive) {
    const ChartAxis f = LogAxis("Darcy friction factor f", 0.006, 0.13, CommaLocale());
    EXPECT_DOUBLE_EQ(f.min, std::log10(0.006));
    EXPECT_DOUBLE_EQ(f.max, std::log10(0.13));
    EXPECT_EQ(Labels(f), (std::vector<std::string>{"0,01", "0,02", "0,05", "0,1"}));
    // 0.006 to 0.009, 0.03, 0.04 and 0.06 to 0.09
    EXPECT_EQ(f.minor.size(), 10u);
}

TEST(AnalysisPictures, NoResultUntilThePanelCalculates) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    EXPECT_FALSE(ShowsResults(p));
    EXPECT_EQ(SystemCurvePicture(p).message, kNoResultText);
    EXPECT_EQ(MoodyPicture(p).message, kNoResultText);
    ASSERT_FALSE(p.calculate());
    EXPECT_TRUE(ShowsResults(p));
    EXPECT_FALSE(SystemCurvePicture(p).message);
    p.editEntry(Ctl::IDmm_RightEdit, "30");  // clears the results
    EXPECT_EQ(MoodyPicture(p).message, kNoResultText);
    p.setText(Ctl::Barg_RightEdit, "-1");
    EXPECT_TRUE(p.calculate());
    EXPECT_EQ(SystemCurvePicture(p).message, kNoResultText);
}

TEST(AnalysisPictures, SystemCurveInTheLocalesNumbers) {
    PanelModel p(PanelKind::PressureDrop, CommaLocale());
    ASSERT_FALSE(p.calculate());
    const ChartPicture c = SystemCurvePicture(p);
    EXPECT_EQ(c.title, "Head against flow");
    EXPECT_EQ(c.x.title, "Flow (litre/min)");
    EXPECT_EQ(c.y.title, "Head (m hd)");
    ASSERT_EQ(c.lines.size(), 2u);
    EXPECT_EQ(c.lines[0].points.size(), 31u);
    EXPECT_EQ(c.lines[1].role, LineRole::Operating);
    EXPECT_EQ(c.lines[1].name, "Operating point: 100,000 litre/min, " + p.text(Ctl::mHd_RightEdit) + " m hd");
    for (const AxisTick& t : c.y.ticks) EXPECT_EQ(t.label.find('.'), std::string::npos) << t.label;
    p.choose(Ctl::MhdBarComboBox, 1);
    EXPECT_EQ(SystemCurvePicture(p).y.title, "Pressure drop (bar)");
}

TEST(AnalysisPictures, MoodyCurvesAreNamedByTheirRelativeRoughness) {
    PanelModel p(PanelKind::Length, Locale{});
    ASSERT_FALSE(p.calculate());
    const ChartPicture m = MoodyPicture(p);
    ASSERT_EQ(m.lines.size(), MoodyRoughnessFamily().size() + 3);
    EXPECT_EQ(m.lines[0].name, "smooth");
    EXPECT_EQ(m.lines[1].name, "\u03b5/D 0.000001");
    EXPECT_EQ(m.lines[5].name, "\u03b5/D 0.005");
    EXPECT_FALSE(m.lines[0].inLegend);
    const ChartLine& own = m.lines[MoodyRoughnessFamily().size()];
    EXPECT_EQ(own.name, "This pipe (\u03b5/D 0.00184)");
    EXPECT_TRUE(own.inLegend);
    EXPECT_EQ(m.lines.back().name, "Operating point");
    EXPECT_NEAR(m.lines.back().points[0].first, std::log10(83148.0), 1e-4);
    EXPECT_EQ(m.title.rfind("Moody diagram: Re 83148, f 0.0248, ", 0), 0u);
}

TEST(AnalysisPictures, SizesTableHeadsNameTheirUnits) {
    DataTable pipes(10);
    pipes.add({10, "Steel", "1\"", "26.645", "0"});
    PanelModel p(PanelKind::Flow, Locale{});
    SizesTable t = StandardSizesTable(p, pipes);
    EXPECT_EQ(t.headers.size(), 6u);
    EXPECT_EQ(t.headers[3], "Velocity\n(m/s)");
    EXPECT_EQ(t.headers[5], "Head\n(m hd)");
    EXPECT_TRUE(t.rows.empty());  // no result yet
    ASSERT_FALSE(p.calculate());
    t = StandardSizesTable(p, pipes);
    ASSERT_EQ(t.rows.size(), 1u);
    EXPECT_EQ(t.rows[0][2], "26.645");
}

}  // namespace
}  // namespace corvane
