// The words of a sized valve that corvane-cli and the dialog share, and the
// valve's calculation sheet as a model: which equations it prints for which
// case, with a standard's equation number only where one is confirmed.

#include <gtest/gtest.h>

#include "logic/model/sheets/ValveSheet.h"
#include "logic/model/valves/ValveReport.h"

namespace corvane {
namespace {

TEST(ValveReport, NumbersToSixDigits) {
    const std::pair<double, const char*> cases[] = {
        {70.88901, "70.889"}, {0.8668812, "0.866881"}, {209231.4, "209231"}, {3800, "3800"},
        {0.000123456789, "0.000123457"}, {0, "0"}, {1234567.8, "1234568"},
    };
    for (const auto& [v, text] : cases) EXPECT_EQ(ValveNumberText(v, Locale{}), text) << v;
    EXPECT_EQ(ValveNumberText(0.5, CommaLocale()), "0,5");
}

TEST(ValveReport, FaultWordsNameTheOtherInput) {
    ValveFaultWording w;
    w.lowestTemperature = "-459.67 \u00b0F";
    w.other = [](ValveInput in) { return in == ValveInput::Size ? std::string("80 mm") : std::string("6.8 bar a"); };
    struct Case {
        ValveFault fault;
        std::optional<std::string> words;
    };
    const Case cases[] = {
        {{ValveInput::FL, ValveFaultKind::OutOfRange}, "the value must be above 0 and at most 1"},
        {{ValveInput::XT, ValveFaultKind::OutOfRange}, "xT must be above 0 and below 1"},
        {{ValveInput::Gamma, ValveFaultKind::OutOfRange}, "the specific heat ratio must be above 1"},
        {{ValveInput::Temperature, ValveFaultKind::NotPositive}, "the temperature must be above -459.67 \u00b0F"},
        {{ValveInput::DownstreamPressure, ValveFaultKind::NotBelowUpstream},
         "the value must be below the upstream pressure (6.8 bar a)"},
        {{ValveInput::InletPipe, ValveFaultKind::NarrowerThanValve}, "the pipe is narrower than the valve (80 mm)"},
        {{ValveInput::Flow, ValveFaultKind::NotFinite}, "the value must be a finite number"},
        {{ValveInput::Flow, ValveFaultKind::ReducersTakeTheDrop}, std::nullopt},
        {{ValveInput::Flow, ValveFaultKind::BeyondChokedFlow, 374.267}, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ValveInputFaultText(c.fault, w), c.words);
    EXPECT_EQ(ValveRefusalText({ValveInput::Flow, ValveFaultKind::BeyondChokedFlow, 1}, "374.267 m\u00b3/h"),
              "The valve cannot pass this flow: choked, it passes at most 374.267 m\u00b3/h.");
    EXPECT_EQ(GasFlowCaption(GasFlowForm::Actual), std::string("Flow (actual)"));
}

// The sheet's whole text, block by block.
std::string SheetText(const CalculationSheet& sheet) {
    std::string text;
    for (const SheetSection& s : sheet.sections) {
        text += s.title + "\n";
        for (const SheetBlock& b : s.blocks) {
            text += b.text + " " + b.note + "\n";
            for (const auto& row : b.rows)
                for (const std::string& cell : row) text += cell + " ";
        }
    }
    return text;
}

TEST(ValveSheet, EquationsOfTheCase) {
    struct Case {
        const char* name;
        bool gas;
        GasFlowForm form;
        double outletPipe;
        double viscosity;
        std::vector<const char*> present;
        std::vector<const char*> absent;
    };
    const Case cases[] = {
        {"liquid, plain", false, GasFlowForm::Normal, 80, 1, {"(1)", "(3)", "Rev0", "Kv"},
         {"(4)", "Recovery factor with reducers", "accepted trial", "(8a)"}},
        {"liquid, expander", false, GasFlowForm::Normal, 100, 1, {"(4)", "FLP", "\u03a3\u03b6", "passes"},
         {"accepted trial"}},
        {"liquid, viscous", false, GasFlowForm::Normal, 100, 5000, {"accepted trial", "C0/FR", "full trim",
         "not applied"}, {"With the reducers"}},
        {"gas, normal", true, GasFlowForm::Normal, 100, 18, {"(8a)", "(11a)", "xTP", "x_ch0"}, {"FLP", "(3)"}},
        {"gas, mass", true, GasFlowForm::Mass, 80, 18, {"N8 FP p1 Y", "mass flow W"}, {"(8a)", "Density of the flow"}},
        {"gas, actual", true, GasFlowForm::Actual, 80, 18, {"N6 FP Y", "Inlet density"}, {"(8a)"}},
    };
    for (const Case& c : cases) {
        ValveSizingModel m(Locale{});
        m.setGas(c.gas);
        m.setGasFlowForm(c.form);
        m.setText(ValveField::InletPipe, "80");
        m.setText(ValveField::OutletPipe, std::to_string(static_cast<int>(c.outletPipe)));
        m.setText(c.gas ? ValveField::GasViscosity : ValveField::LiquidViscosity, std::to_string(c.viscosity));
        if (c.viscosity > 1000) m.setText(ValveField::LiquidFlow, "0.5");
        ASSERT_TRUE(m.result()) << c.name << ": " << m.status();
        const CalculationSheet sheet = MakeValveSheet(m, "2026-01-02", {"Plant", "", "", "", "B"});
        EXPECT_EQ(sheet.title, "Calculation sheet \u2014 Control valve");
        EXPECT_EQ(sheet.pageHeading, "Control valve sizing, IEC 60534-2-1 \u2014 Project Plant \u2014 revision B");
        ASSERT_EQ(sheet.sections.size(), 4u);
        const std::string text = SheetText(sheet);
        for (const char* p : c.present) EXPECT_NE(text.find(p), std::string::npos) << c.name << ": " << p;
        for (const char* a : c.absent) EXPECT_EQ(text.find(a), std::string::npos) << c.name << ": " << a;
        // The numbers no public source confirms are not printed.
        for (const char* unconfirmed : {"(2)", "(5)", "(20)", "(26)", "(28)", "(31)", "(33)", "(34)", "(36)"})
            EXPECT_EQ(text.find(unconfirmed), std::string::npos) << c.name << ": " << unconfirmed;
    }
}

}  // namespace
}  // namespace corvane
