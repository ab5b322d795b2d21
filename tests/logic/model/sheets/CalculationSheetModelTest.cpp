// The texts of the calculation sheet, before any page is drawn.

#include <gtest/gtest.h>

#include <algorithm>

#include "logic/model/analysis/Analysis.h"
#include "logic/model/analysis/ValidityNotes.h"
#include "logic/model/sheets/CalculationSheet.h"
#include "logic/text/NumberText.h"
#include "tests/logic/PanelTestSupport.h"

namespace corvane {
namespace {

const SheetBlock* FirstTable(const SheetSection& s) {
    for (const SheetBlock& b : s.blocks)
        if (b.kind == SheetBlock::Kind::Table) return &b;
    return nullptr;
}

// The row of a table whose first cell is `name`.
const std::vector<std::string>* Row(const SheetBlock& table, const std::string& name) {
    for (const auto& r : table.rows)
        if (!r.empty() && r[0] == name) return &r;
    return nullptr;
}

std::string AllText(const SheetSection& s) {
    std::string out;
    for (const SheetBlock& b : s.blocks) {
        out += b.text + " " + b.note + "\n";
        for (const auto& r : b.rows)
            for (const auto& c : r) out += c + " ";
    }
    return out;
}

TEST(CalculationSheetModel, FiveSectionsWithTheHeadingsTexts) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    ASSERT_FALSE(p.calculate());
    const CalculationSheet s = MakeCalculationSheet(p, "a.PW1", "2026-12-09");
    EXPECT_EQ(s.title, "Calculation sheet \u2014 Find pressure drop");
    EXPECT_EQ(s.file, "a.PW1");
    EXPECT_EQ(s.date, "2026-12-09");
    EXPECT_EQ(s.paper, SheetPaper::A4);
    EXPECT_EQ(s.program.rfind("Corvane 1.", 0), 0u);
    ASSERT_EQ(s.sections.size(), 5u);
    EXPECT_EQ(s.sections[0].title, "1  The case");
    EXPECT_EQ(s.sections[4].title, "5  System curve and Moody diagram");
    EXPECT_EQ(MakeCalculationSheet(p, "", "x").file, "(not saved)");
    EXPECT_EQ(CalculationSheet::PageText(2, 3), "Page 2 of 3");
    PanelModel us(PanelKind::PressureDrop, test::UsLocale());
    EXPECT_EQ(MakeCalculationSheet(us, "", "x").paper, SheetPaper::Letter);
}

TEST(CalculationSheetModel, TheCaseEveryEntryWithItsUnit) {
    PanelModel p(PanelKind::Length, Locale{});
    p.useFluid(test::Air());
    p.setText(Ctl::Barg_RightEdit, "6.000");
    p.setFittingsString(test::Fittings({0, 0, 0, 0}, {{1, 2}}, "0.50"));
    ASSERT_FALSE(p.calculate());
    const CalculationSheet s = MakeCalculationSheet(p, "", "x");
    const SheetBlock* entries = FirstTable(s.sections[0]);
    ASSERT_TRUE(entries);
    EXPECT_EQ(*Row(*entries, "Kinematic viscosity"), (std::vector<std::string>{"Kinematic viscosity", "15.100000", "cSt"}));
    EXPECT_EQ((*Row(*entries, "Inlet pressure"))[2], "bar g");
    EXPECT_EQ(*Row(*entries, "Gas density at the inlet pressure"),
              (std::vector<std::string>{"Gas density at the inlet pressure",
                                        p.text(Ctl::RightEditVisibleFluidDensityDisplay), "kg/m\u00b3"}));
    EXPECT_EQ((*Row(*entries, "Internal diameter"))[2], "mm");
    EXPECT_EQ((*Row(*entries, "Pressure loss"))[2], "bar");
    EXPECT_FALSE(Row(*entries, "Length"));  // the unknown of this panel
    // The fittings: count, size band, K of one and of all, the total.
    const SheetBlock& fittings = s.sections[0].blocks.back();
    EXPECT_EQ(*Row(fittings, "Standard bend"),
              (std::vector<std::string>{"Standard bend", "2", "4 (to 1 in)", "0.690", "1.380"}));
    EXPECT_EQ((*Row(fittings, "Total K"))[4], "1.880");  // 2 x 0.69 + 0.5
}

TEST(CalculationSheetModel, MethodSaysHowTheUnknownWasSolved) {
    PanelModel flow(PanelKind::Flow, Locale{});
    ASSERT_FALSE(flow.calculate());
    const OperatingPoint op = SolveOperatingPoint(flow);
    const std::string method = AllText(MakeCalculationSheet(flow, "", "x").sections[1]);
    EXPECT_NE(method.find("fixed-point iteration on the velocity"), std::string::npos);
    EXPECT_NE(method.find("; " + std::to_string(op.result.passes) + " passes were needed."), std::string::npos);
    EXPECT_NE(method.find("Haaland"), std::string::npos);
    EXPECT_EQ(method.find("isothermal"), std::string::npos);  // a liquid
    PanelModel length(PanelKind::Length, Locale{});
    ASSERT_FALSE(length.calculate());
    EXPECT_NE(AllText(MakeCalculationSheet(length, "", "x").sections[1]).find("no iteration"), std::string::npos);
}

// Section 3 gives the equations' inputs and results in SI units to six
// significant digits; rounded as the panel rounds, they are the panel's.
TEST(CalculationSheetModel, IntermediateValuesInSiUnitsAgreeWithThePanel) {
    PanelModel p(PanelKind::PressureDrop, CommaLocale());
    p.setText(Ctl::ElevationChange_RightEdit, "2");
    p.setFittingsString(test::Fittings({0, 0, 0, 0}, {{1, 2}}));
    ASSERT_FALSE(p.calculate());
    const CalculationSheet sheet = MakeCalculationSheet(p, "", "x");
    std::vector<const SheetBlock*> tables;
    for (const SheetBlock& b : sheet.sections[2].blocks)
        if (b.kind == SheetBlock::Kind::Table) tables.push_back(&b);
    ASSERT_EQ(tables.size(), 2u);
    const SheetBlock& given = *tables[0];
    const SheetBlock& gave = *tables[1];
    EXPECT_EQ((*Row(given, "Internal diameter"))[2], "0,0250000");
    EXPECT_EQ((*Row(given, "Flow"))[2], "0,00166667");
    EXPECT_EQ((*Row(given, "Kinematic viscosity"))[2], "1,00400 \u00d7 10\u207b\u2076");
    EXPECT_EQ((*Row(given, "Elevation change (a rise positive)"))[2], "2,00000");
    EXPECT_EQ(Row(given, "Inlet gauge pressure"), nullptr);  // no viscosity factor on this panel
    auto rounded = [&](const char* name, int decimals) {
        return WriteEntryNumber(ReadEntryNumber((*Row(gave, name))[2], CommaLocale()), decimals, CommaLocale());
    };
    EXPECT_EQ(rounded("Sum", 3), p.text(Ctl::mHd_RightEdit));
    EXPECT_EQ(rounded("Velocity", 3), p.text(Ctl::MSec_RightEdit));
    EXPECT_NEAR(ReadEntryNumber((*Row(gave, "Reynolds number"))[2], CommaLocale()),
                ReadEntryNumber(p.text(Ctl::ReynoldsNumber_RightEdit), CommaLocale()), 0.5);
    EXPECT_EQ((*Row(gave, "Relative roughness"))[2], "0,00184000");
    EXPECT_EQ((*Row(gave, "Sum"))[3], "m");
    EXPECT_EQ(gave.boldRows, 2);
}

// Six significant digits, a power of ten below 0.001.
TEST(CalculationSheetModel, SignificantDigits) {
    const struct {
        double value;
        const char* text;
    } cases[] = {{84543.94, "84543,9"}, {0.00166666667, "0,00166667"}, {1.004e-6, "1,00400 \u00d7 10\u207b\u2076"},
                 {0, "0,00000"},        {-2.5, "-2,50000"},            {9.9999996e-5, "1,00000 \u00d7 10\u207b\u2074"},
                 {123456789, "123456789"}};
    for (const auto& c : cases) EXPECT_EQ(SignificantText(c.value, CommaLocale()), c.text) << c.value;
}

TEST(CalculationSheetModel, TheResultAsThePanelShowsItAndEveryNote) {
    PanelModel p(PanelKind::Diameter, Locale{});
    p.useFluid(test::Air());
    p.setText(Ctl::Barg_RightEdit, "1.000");
    p.setText(Ctl::AllowablePressureLoss_RightEdit, "0.900");
    ASSERT_FALSE(p.calculate());
    const SheetSection result = MakeCalculationSheet(p, "", "x").sections[3];
    const SheetBlock* shown = FirstTable(result);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->rows[0], (std::vector<std::string>{"Min. internal pipe diameter",
                                                         p.text(Ctl::PipeDiameter_RightEdit), "mm"}));
    const std::string text = AllText(result);
    for (const ValidityNote& n : ValidityNotes(p))
        EXPECT_NE(text.find("\u2022 " + n.title + ": " + n.reason), std::string::npos) << n.title;
    EXPECT_NE(text.find("Compressible flow"), std::string::npos);
    EXPECT_NE(text.find("Isothermal equation"), std::string::npos);
    const SheetSection plots = MakeCalculationSheet(p, "", "x").sections[4];
    ASSERT_EQ(plots.blocks.size(), 2u);
    EXPECT_EQ(plots.blocks[0].kind, SheetBlock::Kind::Chart);
    EXPECT_FALSE(plots.blocks[0].chart.message);
    EXPECT_FALSE(plots.blocks[1].chart.lines.empty());
}

TEST(CalculationSheetModel, APumpOnThePipeRunWithItsCurveAndPoint) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    ASSERT_FALSE(p.calculate());
    const PumpEntry pump{{{0, 20}, {100, 15}, {200, 5}}, 1.0, 70.0};
    const CalculationSheet sheet = MakeCalculationSheet(p, "", "x", pump);
    const PumpOnPanel solved = SolvePumpOnPanel(p, pump);
    ASSERT_FALSE(solved.refusal);
    const std::string result = AllText(sheet.sections[3]);
    for (const PumpRow& row : PumpResultRows(p, solved))
        EXPECT_NE(result.find(row.caption + " " + (row.unit.empty() ? row.value : row.value + " " + row.unit) + " "),
                  std::string::npos)
            << row.caption;
    const ChartPicture& curve = sheet.sections[4].blocks[0].chart;
    ASSERT_GE(curve.lines.size(), 2u);
    EXPECT_EQ(curve.lines[curve.lines.size() - 2].name, "Pump curve");
    EXPECT_EQ(curve.lines.back().points,
              (std::vector<std::pair<double, double>>{{solved.flow, solved.head}}));
    // Without a pump neither; a pump in a gas case is refused in words.
    EXPECT_EQ(MakeCalculationSheet(p, "", "x").sections[4].blocks[0].chart.lines.size(), curve.lines.size() - 2);
    p.useFluid(test::Air());
    ASSERT_FALSE(p.calculate());
    EXPECT_NE(AllText(MakeCalculationSheet(p, "", "x", pump).sections[3]).find("Pump: "), std::string::npos);
}

}  // namespace
}  // namespace corvane
