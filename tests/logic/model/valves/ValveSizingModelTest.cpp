// The control valve sizing dialog's model: the standard's worked examples
// typed in, units switched there and back without a number changing, a
// refused value kept as typed with its reason, water by IAPWS, a liquid of
// the fluid data base, the stock critical pressures, and what is copied.

#include <gtest/gtest.h>

#include "logic/model/valves/CriticalPressures.h"
#include "logic/model/valves/ValveSizingModel.h"

namespace corvane {
namespace {

using F = ValveField;

void Type(ValveSizingModel& m, const std::vector<std::pair<F, std::string>>& entries) {
    for (const auto& [f, text] : entries) m.setText(f, text);
}

// The standard's example 1 (water at 90 degC, globe valve, 150 mm) and
// example 3 (carbon dioxide, 50 mm valve between 80 and 100 mm pipes), as
// python fluids' documentation quotes them.
ValveSizingModel Example1(const Locale& l = {}) {
    ValveSizingModel m(l);
    Type(m, {{F::UpstreamPressure, "6.8"}, {F::DownstreamPressure, "2.2"}, {F::LiquidFlow, "360"},
             {F::RelativeDensity, "0.9654"}, {F::LiquidViscosity, "0.326"}, {F::VapourPressure, "0.701"},
             {F::CriticalPressure, "221.2"}, {F::FL, "0.9"}, {F::Fd, "0.46"}, {F::Size, "150"},
             {F::InletPipe, "150"}, {F::OutletPipe, "150"}});
    return m;
}

ValveSizingModel Example3() {
    ValveSizingModel m(Locale{});
    m.setGas(true);
    m.setGasFlowForm(GasFlowForm::Normal);
    Type(m, {{F::UpstreamPressure, "6.8"}, {F::DownstreamPressure, "3.1"}, {F::GasFlow, "3800"},
             {F::MolarMass, "44.01"}, {F::Gamma, "1.3"}, {F::Compressibility, "0.988"}, {F::Temperature, "159.85"},
             {F::GasViscosity, "146.65"}, {F::FL, "0.85"}, {F::Fd, "0.42"}, {F::XT, "0.6"}, {F::Size, "50"},
             {F::InletPipe, "80"}, {F::OutletPipe, "100"}});
    return m;
}

TEST(ValveSizingModel, WorkedExamplesTypedIn) {
    const ValveSizingModel liquid = Example1();
    ASSERT_TRUE(liquid.result()) << liquid.status();
    EXPECT_NEAR(liquid.result()->kv, 164.9954763704956, 1e-9 * 165);
    EXPECT_EQ(liquid.resultRows()[0].value, "164.995");
    const ValveSizingModel gas = Example3();
    ASSERT_TRUE(gas.result()) << gas.status();
    // The program's reading (README, "Where the standard leaves a choice").
    EXPECT_EQ(gas.resultRows()[0].value, "70.889");
    // A comma locale reads and writes its own mark.
    const ValveSizingModel comma = Example1(CommaLocale());
    ASSERT_TRUE(comma.result());
    EXPECT_EQ(comma.resultRows()[0].value, "164,995");
}

// Each converted entry in imperial units (1 psi = 6894.757 Pa, 1 in =
// 25.4 mm, 50 m3/h = 50 000 / 60 / 3.785411784 = 220.1434 US gpm, 1 lb = 1/2.204 kg as the program has
// it, degF = 1.8 degC + 32), and the same texts again back in metric.
TEST(ValveSizingModel, UnitsSwitchThereAndBack) {
    ValveSizingModel m(Locale{});
    Type(m, {{F::UpstreamPressure, "10"}, {F::Size, "80"}, {F::LiquidFlow, "50"}, {F::Temperature, "20"}});
    const double kv = m.result().value().kv;
    struct Row {
        F field;
        const char* imperial;
        const char* unit;
    };
    const Row rows[] = {{F::UpstreamPressure, "145.038", "psi a"},
                        {F::Size, "3.14961", "inch"},
                        {F::LiquidFlow, "220.143", "US gpm"},
                        {F::Temperature, "68", "\u00b0F"},
                        {F::LiquidViscosity, m.text(F::LiquidViscosity).c_str(), "cSt"}};
    const std::string viscosity = m.text(F::LiquidViscosity);
    m.setMetric(false);
    for (const Row& r : rows) {
        EXPECT_EQ(m.text(r.field), r.field == F::LiquidViscosity ? viscosity : r.imperial) << ValveSizingModel::Name(r.field);
        EXPECT_EQ(m.unit(r.field), r.unit);
    }
    EXPECT_EQ(m.result().value().kv, kv);  // the values are held, not the texts
    EXPECT_EQ(m.resultRows()[3].unit, "psi a");
    m.setMetric(true);
    EXPECT_EQ(m.text(F::UpstreamPressure), "10");
    EXPECT_EQ(m.text(F::Size), "80");
    EXPECT_EQ(m.text(F::LiquidFlow), "50");
    EXPECT_EQ(m.result().value().kv, kv);
    // A typed imperial value is taken in its unit: 100 psi a.
    m.setMetric(false);
    m.setText(F::UpstreamPressure, "100");
    EXPECT_NEAR(m.value(F::UpstreamPressure).value(), 100 / 14.5037744, 1e-12);
    // A gas's mass flow in lb/h.
    m.setGas(true);
    m.setGasFlowForm(GasFlowForm::Mass);
    m.setText(F::GasFlow, "2204");
    EXPECT_EQ(m.unit(F::GasFlow), "lb/h");
    EXPECT_NEAR(m.value(F::GasFlow).value(), 1000, 1e-9);
}

TEST(ValveSizingModel, RefusedValuesKeepTheirTextAndSayWhy) {
    struct Case {
        F field;
        const char* text;
        F faulty;
        const char* fault;
    };
    const Case cases[] = {
        {F::FL, "1.2", F::FL, "The value must be above 0 and at most 1."},
        {F::DownstreamPressure, "7", F::DownstreamPressure,
         "The value must be below the upstream pressure (6.8 bar a)."},
        {F::OutletPipe, "100", F::OutletPipe, "The pipe is narrower than the valve (150 mm)."},
        {F::CriticalPressure, "0.5", F::VapourPressure,
         "The vapour pressure must be below the critical pressure (0.5 bar a)."},
        {F::Size, "abc", F::Size, "Type a number."},
        {F::LiquidFlow, "", F::LiquidFlow, "A value is needed."},
        {F::LiquidFlow, "-3", F::LiquidFlow, "The value must be above 0."},
    };
    for (const Case& c : cases) {
        ValveSizingModel m = Example1();
        m.setText(c.field, c.text);
        EXPECT_EQ(m.text(c.field), c.text);
        EXPECT_EQ(m.fault(c.faulty), c.fault) << c.text;
        EXPECT_FALSE(m.result());
        EXPECT_FALSE(m.status().empty());
        EXPECT_TRUE(m.resultRows().empty());
    }
    // The gas's temperature below absolute zero, in the units shown.
    ValveSizingModel gas = Example3();
    gas.setMetric(false);
    gas.setText(F::Temperature, "-500");
    EXPECT_EQ(gas.fault(F::Temperature), "The temperature must be above -459.67 \u00b0F.");
    // Reducers that take the whole drop: the calculation is refused as a whole.
    ValveSizingModel reducers = Example1();
    Type(reducers, {{F::DownstreamPressure, "6.75"}, {F::Size, "50"}, {F::InletPipe, "300"}, {F::OutletPipe, "300"}});
    EXPECT_EQ(reducers.status(), "No valve passes this flow: the reducers alone take more than the pressure drop.");
}

// Water at 20 degC by IAPWS-IF97: saturation pressure 2.3393 kPa (IAPWS-IF97,
// table of saturation properties), density 998.21 kg/m3 (IAPWS-95 at 1 atm).
TEST(ValveSizingModel, WaterByIapws) {
    ValveSizingModel m(Locale{});
    m.setText(F::Temperature, "20");
    ASSERT_EQ(m.useWater(), std::nullopt);
    EXPECT_NEAR(m.value(F::VapourPressure).value(), 0.023393, 1e-5);
    EXPECT_NEAR(m.value(F::RelativeDensity).value(), 0.99821, 1e-4);
    EXPECT_EQ(m.value(F::CriticalPressure), 220.64);
    EXPECT_EQ(m.text(F::LiquidName), "Water");
    EXPECT_NE(m.liquidSource().find("IAPWS"), std::string::npos);
    m.setText(F::Temperature, "250");
    EXPECT_TRUE(m.useWater().has_value());  // outside IAPWS-IF97's liquid range offered
    m.setText(F::Temperature, "");
    EXPECT_TRUE(m.useWater().has_value());
}

TEST(ValveSizingModel, LiquidOfTheFluidDataBase) {
    ValveSizingModel m(Locale{});
    ASSERT_EQ(m.useLiquid({{"Ethanol", "20\u00b0C (68\u00b0F)", "1.520000", "0.789000", false}, ""}), std::nullopt);
    EXPECT_EQ(m.value(F::RelativeDensity), 0.789);
    EXPECT_EQ(m.value(F::CriticalPressure), 62.68);
    EXPECT_NE(m.liquidSource().find("type its vapour pressure"), std::string::npos);
    ASSERT_EQ(m.useLiquid({{"Water", "60\u00b0C", "0.474000", "0.983196", false}, "0.1995"}), std::nullopt);
    EXPECT_EQ(m.value(F::VapourPressure), 0.1995);
    EXPECT_EQ(m.liquidSource().find("type"), std::string::npos);
    EXPECT_TRUE(m.useLiquid({{"Air", "20\u00b0C", "15.1", "1.2047", true}, ""}).has_value());
}

TEST(CriticalPressures, PublishedValuesOnly) {
    EXPECT_EQ(StockCriticalPressure("Water"), 220.64);
    EXPECT_EQ(StockCriticalPressure("  METHANOL "), 82.1585);
    EXPECT_EQ(StockCriticalPressure("ethanol"), 62.68);
    EXPECT_EQ(StockCriticalPressure("Diesel fuel"), std::nullopt);
    EXPECT_EQ(StockCriticalPressure("Ethylene glycol 30% / water"), std::nullopt);
}

TEST(ValveSizingModel, CopiesTextAndHtml) {
    ValveSizingModel m = Example3();
    const std::string text = m.copyText();
    EXPECT_EQ(text.rfind("Control valve sizing, gas, IEC 60534-2-1\n", 0), 0u);
    EXPECT_NE(text.find("Volume flow at 0 \u00b0C and 1.01325 bar\t3800 m\u00b3/h\n"), std::string::npos);
    EXPECT_NE(text.find("Kv\t70.889\tm\u00b3/h\n"), std::string::npos);
    EXPECT_NE(text.find("Choked\tno\n"), std::string::npos);
    const std::string html = m.copyHtml();
    EXPECT_NE(html.find("<td>Kv</td><td align=\"right\">70.889</td>"), std::string::npos);
    m.setText(F::MolarMass, "<b>");
    EXPECT_NE(m.copyHtml().find("&lt;b&gt;"), std::string::npos);
    EXPECT_NE(m.copyText().find("Correct the values marked"), std::string::npos);
}

}  // namespace
}  // namespace corvane
