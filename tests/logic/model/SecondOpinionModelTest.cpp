// The second opinions as a panel's windows show them: the isothermal
// answer for a gas case's unknown, and the fittings by 2-K and 3-K.

#include <gtest/gtest.h>

#include <cmath>

#include "logic/engine/FittingMethods.h"
#include "logic/engine/FittingTable.h"
#include "logic/engine/PipeFlow.h"
#include "logic/model/AnalysisPictures.h"
#include "logic/model/SecondOpinion.h"
#include "logic/text/NumberText.h"
#include "tests/logic/PanelTestSupport.h"

namespace corvane {
namespace {

bool HasNote(const std::vector<ValidityNote>& notes, const std::string& title) {
    for (const auto& n : notes)
        if (n.title == title) return true;
    return false;
}

const ValidityNote* Note(const std::vector<ValidityNote>& notes, const std::string& title) {
    for (const auto& n : notes)
        if (n.title == title) return &n;
    return nullptr;
}

TEST(IsothermalComparison, NoneForALiquidOrARefusedCase) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    ASSERT_FALSE(p.calculate());
    EXPECT_FALSE(CompareIsothermal(p));
    EXPECT_FALSE(HasNote(ValidityNotes(p), "Isothermal comparison"));
    p.useFluid(test::Air());
    p.setText(Ctl::IDmm_RightEdit, "0");
    EXPECT_TRUE(p.calculate());
    EXPECT_FALSE(CompareIsothermal(p));
}

TEST(IsothermalComparison, EachPanelsUnknownBesideTheIsothermalAnswer) {
    const struct {
        PanelKind kind;
        const char* key;
        IsothermalAnswer (*solve)(const SolverInputs&);
        double IsothermalAnswer::*field;
        Ctl shown;
    } cases[] = {
        {PanelKind::PressureDrop, "pressure_drop_bar", IsothermalPressureDrop, &IsothermalAnswer::pressureDrop,
         Ctl::mHd_RightEdit},
        {PanelKind::Flow, "flow_lmin", IsothermalFlow, &IsothermalAnswer::flow, Ctl::FlowrateLMin_RightEdit},
        {PanelKind::Diameter, "diameter_mm", IsothermalDiameter, &IsothermalAnswer::diameter,
         Ctl::PipeDiameter_RightEdit},
        {PanelKind::Length, "length_m", IsothermalLength, &IsothermalAnswer::length, Ctl::PipeLength_RightEdit},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        PanelModel p(c.kind, Locale{});
        p.useFluid(test::Air());
        p.setText(Ctl::Barg_RightEdit, "7.000");
        if (c.kind == PanelKind::PressureDrop) {
            p.choose(Ctl::MhdBarComboBox, 1);  // the drop in bar
            p.setText(Ctl::VisibleFlowrateLMin_RightEdit, "3000.000");
        } else {
            p.setText(Ctl::AllowablePressureLoss_RightEdit, "0.200");
        }
        ASSERT_FALSE(p.calculate());
        const auto cmp = CompareIsothermal(p);
        ASSERT_TRUE(cmp);
        ASSERT_FALSE(cmp->fault);
        EXPECT_EQ(cmp->jsonKey, c.key);
        const IsothermalAnswer iso = c.solve(p.solverInputs());
        EXPECT_DOUBLE_EQ(cmp->isothermalValue, iso.*c.field);
        EXPECT_DOUBLE_EQ(cmp->differencePercent,
                         (cmp->panelValue - cmp->isothermalValue) / cmp->isothermalValue * 100.0);
        // The panel's own value is the one it shows (metric: in the
        // calculation unit, bar for the gas pressure drop).
        if (c.kind != PanelKind::Flow)
            EXPECT_EQ(*WriteEntryNumber(cmp->panelValue, 3, Locale{}), p.text(c.shown));
        // A small drop of a gas: the two methods are close.
        EXPECT_LT(std::abs(cmp->differencePercent), 5.0);
        const auto notes = ValidityNotes(p);
        ASSERT_TRUE(HasNote(notes, "Isothermal comparison"));
        EXPECT_FALSE(HasNote(notes, "Gas method differs"));
    }
}

TEST(IsothermalComparison, NoteInThePanelsUnitsAndDecimalSeparator) {
    PanelModel p(PanelKind::PressureDrop, CommaLocale());
    p.useFluid(test::Air());
    p.choose(Ctl::MhdBarComboBox, 1);
    ASSERT_FALSE(p.calculate());
    const auto cmp = CompareIsothermal(p);
    ASSERT_TRUE(cmp && !cmp->fault);
    const auto notes = ValidityNotes(p);
    const ValidityNote* n = Note(notes, "Isothermal comparison");
    ASSERT_TRUE(n);
    // 100 l/min of air: a drop of a few pascal, shown to four digits.
    EXPECT_NE(n->reason.find("gives a pressure drop of " + *WriteEntryNumber(cmp->isothermalValue, 7, CommaLocale()) +
                             " bar"),
              std::string::npos)
        << n->reason;
    EXPECT_NE(n->reason.find(*WriteEntryNumber(cmp->differencePercent, 1, CommaLocale()) + " %"), std::string::npos);
    EXPECT_NE(n->reason.find(','), std::string::npos);

    PanelModel us(PanelKind::Length, test::UsLocale());
    us.useFluid(test::Air());
    ASSERT_FALSE(us.calculate());
    const auto usNotes = ValidityNotes(us);
    const ValidityNote* u = Note(usNotes, "Isothermal comparison");
    ASSERT_TRUE(u);
    EXPECT_NE(u->reason.find(" ft;"), std::string::npos) << u->reason;
}

TEST(IsothermalComparison, AValidityNoteAboveFivePercent) {
    PanelModel p(PanelKind::Length, Locale{});
    p.useFluid(test::Air());
    p.setText(Ctl::Barg_RightEdit, "1.000");
    bool seenBelow = false, seenAbove = false;
    for (const char* loss : {"0.050", "0.300", "0.600", "0.900"}) {
        p.setText(Ctl::AllowablePressureLoss_RightEdit, loss);
        ASSERT_FALSE(p.calculate());
        const auto cmp = CompareIsothermal(p);
        ASSERT_TRUE(cmp);
        if (cmp->fault) continue;
        const bool above = std::abs(cmp->differencePercent) > 5.0;
        (above ? seenAbove : seenBelow) = true;
        EXPECT_EQ(HasNote(ValidityNotes(p), "Gas method differs"), above) << loss;
    }
    EXPECT_TRUE(seenBelow);
    EXPECT_TRUE(seenAbove);
}

TEST(IsothermalComparison, AChokedCaseIsSaidSo) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.useFluid(test::Air());
    // 2250 l/min of air at 7 bar g through 10 m of 10 mm pipe: the panel's
    // method finds a drop of about 5 bar; no outlet pressure passes as
    // much gas as that.
    p.setText(Ctl::Barg_RightEdit, "7.000");
    p.setText(Ctl::IDmm_RightEdit, "10.0000");
    p.setText(Ctl::LengthM_RightEdit, "10.000");
    p.setText(Ctl::VisibleFlowrateLMin_RightEdit, "2250.000");
    ASSERT_FALSE(p.calculate());
    const auto cmp = CompareIsothermal(p);
    ASSERT_TRUE(cmp);
    EXPECT_EQ(cmp->fault, IsothermalFault::Choked);
    const auto notes = ValidityNotes(p);
    const ValidityNote* n = Note(notes, "Isothermal comparison");
    ASSERT_TRUE(n);
    EXPECT_NE(n->reason.find("choked"), std::string::npos);
    EXPECT_FALSE(HasNote(ValidityNotes(p), "Gas method differs"));
}

TEST(FittingsComparison, RowsTotalsAndHeadsAtTheCasesReynoldsNumber) {
    PanelModel p(PanelKind::PressureDrop, CommaLocale());
    // Two standard bends, a gate valve at 50 %, a strainer (no constants)
    // and an extra K of 0,5 in the 25 mm pipe.
    p.setFittingsString(test::Fittings({2, 0, 0, 0}, {{1, 2}, {16, 1}, {8, 1}}, "0,50"));
    ASSERT_FALSE(p.calculate());
    const OperatingPoint op = SolveOperatingPoint(p);
    const FittingsComparisonTable t = CompareFittings(p);
    ASSERT_FALSE(t.message);
    ASSERT_EQ(t.headers.size(), 6u);
    ASSERT_EQ(t.rows.size(), 4u);
    const Locale l = CommaLocale();
    auto n = [&](double v) { return *WriteEntryNumber(v, 3, l); };
    const double re = op.result.reynolds;
    const double inches = 25.0 / 25.4;
    EXPECT_EQ(t.rows[0], (std::vector<std::string>{"Standard bend", "2", "4 (to 1 in)", n(FittingK(1, 25)),
                                                   n(HooperK(*HooperConstants(1), re, inches)),
                                                   n(DarbyK(*DarbyConstants(1), re, inches))}));
    EXPECT_EQ(t.rows[1][0], "Strainer");
    EXPECT_EQ(t.rows[1][4], "-");
    EXPECT_EQ(t.rows[2][0], "Gate valve 50 % open");
    EXPECT_EQ(t.rows[2][4], "-");  // a partly open valve has no constants
    EXPECT_EQ(t.rows[3], (std::vector<std::string>{"Extra K", "1", "-", "0,500", "0,500", "0,500"}));

    const FittingsKComparison k = CompareFittingsK(op.inputs.fittings, 25.0, re);
    ASSERT_EQ(t.totals.size(), 3u);
    EXPECT_EQ(t.totals[0][3], n(*op.result.fittingsK));
    EXPECT_EQ(t.totals[0][4], n(k.twoKTotal));
    EXPECT_EQ(t.totals[1][3], n(FittingsHead(k.tableTotal, op.result.velocity)) + " m hd");
    EXPECT_EQ(t.totals[1][5], n(FittingsHead(k.threeKTotal, op.result.velocity)) + " m hd");
    EXPECT_EQ(t.totals[2][4],
              *WriteEntryNumber((k.twoKTotal - k.tableTotal) / k.tableTotal * 100, 1, l) + " %");
}

TEST(FittingsComparison, MessagesInsteadOfATable) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    EXPECT_EQ(CompareFittings(p).message, std::string(kNoResultText));
    ASSERT_FALSE(p.calculate());
    EXPECT_EQ(CompareFittings(p).message, std::string("No fittings: the pipe run has none to compare."));
}

TEST(FittingsComparison, SizeBandsAsAReaderKnowsThem) {
    EXPECT_EQ(SizeBandText(25.0), "4 (to 1 in)");
    EXPECT_EQ(SizeBandText(25.5), "5 (to 1 1/4 in)");
    EXPECT_EQ(SizeBandText(1.0), "0 (to 1/4 in)");
    EXPECT_EQ(SizeBandText(500.0), "13 (above 16 in)");
}

}  // namespace
}  // namespace corvane
