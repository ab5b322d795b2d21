// What the analysis window draws: round ticks, powers of ten, the locale's
// numbers, the names of the lines, and the note while a panel has no result.

#include <gtest/gtest.h>

#include <cmath>

#include "logic/model/analysis/AnalysisPictures.h"
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

// Every column in the panel's own units: inches beside ft/s and ft hd on
// an imperial panel.
TEST(AnalysisPictures, SizesTableInThePanelsUnits) {
    DataTable pipes(10);
    pipes.add({10, "Steel", "2\"", "52.502", "0"});
    const struct {
        Locale locale;
        const char* diameter;
        const char* velocity;
        const char* value;
        const char* cell;
    } cases[] = {{Locale{}, "Internal\ndiameter (mm)", "Velocity\n(m/s)", "Head\n(m hd)", "52.502"},
                 {test::UsLocale(), "Internal\ndiameter (inch)", "Velocity\n(ft/s)", "Head\n(ft hd)", "2.067"}};
    for (const auto& c : cases) {
        PanelModel p(PanelKind::Flow, c.locale);
        SizesTable t = StandardSizesTable(p, pipes);
        EXPECT_EQ(t.headers, (std::vector<std::string>{"Pipe type", "Nominal\nsize", c.diameter, c.velocity,
                                                       "Reynolds\nnumber", c.value}));
        EXPECT_TRUE(t.rows.empty());  // no result yet
        ASSERT_FALSE(p.calculate());
        t = StandardSizesTable(p, pipes);
        ASSERT_EQ(t.rows.size(), 1u);
        EXPECT_EQ(t.rows[0][2], c.cell);
        EXPECT_NE(StandardSizesCsv(StandardSizes(p, pipes), p).find(std::string(",") + c.cell + ","), std::string::npos);
    }
}

// Every curve of the Moody family gets its name, and no two names touch
// (each name taken as wide and high as PlaceLineNames takes it).
TEST(AnalysisPictures, MoodyFamilyNamesDoNotTouch) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    ASSERT_FALSE(p.calculate());
    const ChartPicture m = MoodyPicture(p);
    struct Box {
        double l, r, b, t;
    };
    std::vector<Box> boxes;
    const double xs = m.x.max - m.x.min, ys = m.y.max - m.y.min;
    for (const ChartLine& line : m.lines) {
        if (line.inLegend) continue;
        ASSERT_TRUE(line.labelAt) << line.name;
        const auto [x, y] = line.points[*line.labelAt];
        const double w = (line.name.size() + 1) * 0.012 * xs;  // bytes: wider than the characters
        boxes.push_back({x - w / 2, x + w / 2, y, y + 0.06 * ys});
        EXPECT_GE(boxes.back().l, m.x.min);
        EXPECT_LE(boxes.back().r, m.x.max + 0.012 * xs);
    }
    EXPECT_EQ(boxes.size(), MoodyRoughnessFamily().size());
    for (std::size_t i = 0; i < boxes.size(); ++i)
        for (std::size_t j = i + 1; j < boxes.size(); ++j) {
            const Box& a = boxes[i];
            const Box& b = boxes[j];
            EXPECT_FALSE(a.l < b.r - 0.02 * xs && b.l < a.r - 0.02 * xs && a.b < b.t && b.b < a.t) << i << " " << j;
        }
}

}  // namespace
}  // namespace corvane
