// A liquid at the temperature asked for: water by IAPWS and the data
// base's rows interpolated, as texts for the fluid dialog and the batch tool,
// and the dialog's "Water (IAPWS)" and "Interpolate between rows".

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "logic/model/data/FluidDatabaseModel.h"
#include "logic/model/data/LiquidAtTemperature.h"
#include "logic/model/panels/PanelModel.h"
#include "logic/text/Cp1252.h"
#include "tests/logic/PanelTestSupport.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using Field = FluidDatabaseModel::Field;

LiquidAtTemperature Liquid(const LiquidAnswer& a) {
    EXPECT_TRUE(std::holds_alternative<LiquidAtTemperature>(a)) << std::get<Refusal>(a).text;
    return std::holds_alternative<LiquidAtTemperature>(a) ? std::get<LiquidAtTemperature>(a) : LiquidAtTemperature{};
}
std::string RefusalText(const LiquidAnswer& a) {
    return std::holds_alternative<Refusal>(a) ? std::get<Refusal>(a).text : "(no refusal)";
}

// The stock fluids, and a user file with rows of its own.
DataTable StockTable(const std::vector<std::string>& userLines = {}) {
    const fs::path dir = fs::temp_directory_path() / ("corvane-liquid-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream user(dir / kFluidUserFile, std::ios::binary | std::ios::trunc);
    for (const auto& l : userLines) user << Utf8ToCp1252(l) << "\r\n";
    user.close();
    FluidDatabaseModel m(DataFiles(CORVANE_DATA, dir.string(), kFluidStockFile, kFluidUserFile, kFluidBackupFile),
                         Locale{});
    EXPECT_FALSE(m.load());
    fs::remove_all(dir);
    return m.table();
}

TEST(LiquidAtTemperature, WaterAsTheDialogAndTheBatchToolShowIt) {
    const auto w = Liquid(WaterAtTemperature(60, std::nullopt, Locale{}));
    EXPECT_EQ(w.name, "Water");
    EXPECT_EQ(w.temperature, "60\u00b0C (140\u00b0F), IAPWS");
    EXPECT_EQ(w.viscosity, "0.474001");
    EXPECT_EQ(w.density, "0.983211");
    EXPECT_EQ(w.vapourPressure, "0.1995");
    EXPECT_EQ(w.method, "IAPWS-IF97 density and vapour pressure, IAPWS 2008 viscosity, at 1.01325 bar a (by default "
                        "1.01325 bar a, or the saturation pressure where that is higher)");
    EXPECT_EQ(w.range, "liquid water from 0.01 to 200 \u00b0C, from its saturation pressure to 100 bar a");

    const auto hot = Liquid(WaterAtTemperature(150, std::nullopt, CommaLocale()));
    EXPECT_EQ(hot.temperature, "150\u00b0C (302\u00b0F), saturated, IAPWS");
    EXPECT_EQ(hot.vapourPressure, "4,7610");
    EXPECT_NE(hot.method.find("at the saturation pressure, 4,761014 bar a"), std::string::npos) << hot.method;
    const auto pressed = Liquid(WaterAtTemperature(37.5, 5.5, CommaLocale()));
    EXPECT_EQ(pressed.temperature, "37,5\u00b0C (99,5\u00b0F), 5,5 bar a, IAPWS");
    EXPECT_EQ(pressed.density, "0,993352");

    const std::string range = "Water by IAPWS-IF97 is offered for liquid water from 0.01 to 200 \u00b0C, from its "
                              "saturation pressure to 100 bar a:\r";
    EXPECT_EQ(RefusalText(WaterAtTemperature(0, std::nullopt, Locale{})), range + "0 \u00b0C is outside that range.");
    EXPECT_EQ(RefusalText(WaterAtTemperature(20, 120, Locale{})), range + "120 bar a is above that range.");
    EXPECT_EQ(RefusalText(WaterAtTemperature(150, 2, Locale{})),
              range + "at 150 \u00b0C water boils below 4.761014 bar a, its saturation pressure, so 2 bar a is "
                      "outside that range.");
}

// The stock water rows were made with IAPWS-95, the scientific formulation;
// IAPWS-IF97 agrees with it to about 2e-5 in density and viscosity.  The
// 20 degC row keeps the program's long-standing default (1.004 cSt, 0.998).
TEST(LiquidAtTemperature, StockWaterRowsAgreeWithIapwsExceptTheDefaultRow) {
    int rows = 0;
    const DataTable table = StockTable();
    for (const DataRecord& r : table.records()) {
        if (r.code != 10 || r.f2 != "Water") continue;
        ++rows;
        const double c = *RowCelsius(r.f3, Locale{}), kelvin = c + kZeroCelsiusKelvin;
        // From 0 degC, below the range offered, by the formulas themselves.
        const double bar = std::max(kAtmosphereBar, if97::SaturationPressure(kelvin) * 10);
        const double rho = 1 / if97::Region1SpecificVolume(kelvin, bar / 10);
        const double nu = WaterViscosity(kelvin, rho) / rho * 1e6;
        const double tolerance = c == 20 ? 1e-3 : 2e-5;
        EXPECT_NEAR(std::stod(r.f4) / nu, 1, tolerance) << r.f3;
        EXPECT_NEAR(std::stod(r.f5) / (rho / 1000), 1, tolerance) << r.f3;
    }
    EXPECT_EQ(rows, 21);
}

TEST(LiquidAtTemperature, WaterAt20DegreesOnThePanelAgainstTheStockRow) {
    auto headOf = [](const FluidChoice& fluid) {
        PanelModel panel(PanelKind::PressureDrop, Locale{});
        panel.useFluid(fluid);
        EXPECT_FALSE(panel.calculate());
        std::vector<std::string> results{panel.text(Ctl::MSec_RightEdit), panel.text(Ctl::ReynoldsNumber_RightEdit),
                                         panel.text(Ctl::FrictionFactor_RightEdit), panel.text(Ctl::mHd_RightEdit)};
        panel.selectItem(Ctl::MhdBarComboBox, 1);  // in bar
        EXPECT_FALSE(panel.calculate());
        results.push_back(panel.text(Ctl::mHd_RightEdit));
        return results;
    };
    const auto w = Liquid(WaterAtTemperature(20, std::nullopt, Locale{}));
    EXPECT_EQ(w.viscosity, "1.003397");
    EXPECT_EQ(w.density, "0.998206");
    EXPECT_EQ(headOf(test::Water()), (std::vector<std::string>{"3.395", "84544", "0.025", "5.831", "0.571"}));
    // The row's 1.004 cSt against IAPWS's 1.0034: the Reynolds number and
    // the head's last digit move.
    EXPECT_EQ(headOf({w.name, w.temperature, w.viscosity, w.density, false}),
              (std::vector<std::string>{"3.395", "84595", "0.025", "5.830", "0.571"}));
}

TEST(LiquidAtTemperature, RowTemperatureIsTheLeadingNumberInDegreesCelsius) {
    const struct {
        const char* text;
        std::optional<double> celsius;
    } cases[] = {
        {"20\u00b0C (68\u00b0F)", 20}, {" 15\u00b0C (59.0\u00b0F)", 15}, {"12,5 \u00b0C", 12.5}, {"-5\u00b0C", -5},
        {"68\u00b0F", std::nullopt},   {"20", std::nullopt},             {"warm", std::nullopt}, {"\u00b0C", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(RowCelsius(c.text, Locale{}), c.celsius) << c.text;
}

TEST(LiquidAtTemperature, RowsOfOneFluidInterpolatedNeverBeyondThem) {
    // At a temperature listed twice, the stock row counts.
    const DataTable table = StockTable({"11\tSea water\t15\u00b0C\t9.000000\t1.000000",
                                        "11\tSea water\t10 \u00b0C (50\u00b0F)\t9.000000\t1.000000",
                                        "11\tSyrup\tat room temperature\t50.000000\t1.300000",
                                        "11\tSyrup\t40\u00b0C\t20.000000\t1.280000"});
    const auto sea = Liquid(InterpolatedLiquid(table, " sea WATER ", 12.5, Locale{}));
    EXPECT_EQ(sea.name + " " + sea.temperature, "Sea water 12.5\u00b0C (interpolated 10\u201315 \u00b0C)");
    // ln nu linear in 1/T through 1.360466 cSt at 10 degC and 1.189223 at 15 degC.
    const double w = (1 / 285.65 - 1 / 283.15) / (1 / 288.15 - 1 / 283.15);
    EXPECT_NEAR(sea.state.kinematicViscosityCst, std::exp((1 - w) * std::log(1.360466) + w * std::log(1.189223)), 1e-12);
    EXPECT_EQ(sea.viscosity, "1.271217");
    EXPECT_EQ(sea.density, "1.026465");  // halfway between 1.026954 and 1.025976
    EXPECT_FALSE(sea.state.vapourPressureBarA);
    EXPECT_EQ(sea.range, "0 to 30 \u00b0C (the rows of Sea water)");

    const auto row = Liquid(InterpolatedLiquid(table, "Water", 20, Locale{}));
    EXPECT_EQ(row.temperature + " " + row.viscosity + " " + row.density, "20\u00b0C (68\u00b0F) 1.004000 0.998000");

    EXPECT_EQ(RefusalText(InterpolatedLiquid(table, "Sea water", 31, Locale{})),
              "The rows of Sea water run from 0 to 30 \u00b0C: 31 \u00b0C is outside them, and nothing is extrapolated.");
    EXPECT_EQ(RefusalText(InterpolatedLiquid(table, "Syrup", 30, Locale{})),
              "Syrup has fewer than two rows with a temperature in \u00b0C: there is nothing to interpolate between.");
    EXPECT_EQ(RefusalText(InterpolatedLiquid(table, "Air", 20, Locale{})),
              "No liquid of the fluid data base is named Air.");
}

TEST(LiquidAtTemperature, DialogFillsItsFieldsAsARowDoes) {
    const fs::path dir = fs::temp_directory_path() / ("corvane-liquid-dialog-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / kFluidUserFile, std::ios::binary) << "11\tOil\t15\xb0" "C\t46.000000\t0.870000\r\n";
    FluidDatabaseModel m(DataFiles(CORVANE_DATA, dir.string(), kFluidStockFile, kFluidUserFile, kFluidBackupFile),
                         Locale{});
    ASSERT_FALSE(m.load());
    m.show();
    for (int i = 0; i < static_cast<int>(m.rows().size()); ++i)
        if (m.rows()[static_cast<std::size_t>(i)].rfind("Oil\t", 0) == 0) m.selectRow(i);
    ASSERT_TRUE(m.removeEnabled());
    m.setGroup(FluidGroup::Gases);
    EXPECT_EQ(m.interpolateRows()->kind, MessageKind::Information);  // a gas: "Change temp." does that
    m.setLiquidTemperature("60");
    ASSERT_FALSE(m.useWater());
    EXPECT_EQ(m.group(), FluidGroup::Liquids);
    EXPECT_EQ(m.selected(), -1);
    EXPECT_FALSE(m.removeEnabled());
    EXPECT_EQ(m.vapourPressure(), "0.1995");
    const FluidChoice water = m.choice();
    EXPECT_EQ(water.name + " " + water.temperature + " " + water.viscosity + " " + water.density,
              "Water 60\u00b0C (140\u00b0F), IAPWS 0.474001 0.983211");
    m.setLiquidTemperature("62,5");
    ASSERT_FALSE(m.interpolateRows());  // between the stock Water rows at 60 and 65 degC
    EXPECT_EQ(m.field(Field::Temperature), "62.5\u00b0C (interpolated 60\u201365 \u00b0C)");
    EXPECT_EQ(m.vapourPressure(), "");
    EXPECT_NE(m.method().find("Andrade"), std::string::npos);
    ASSERT_FALSE(m.useWater());
    m.setField(Field::Viscosity, "0.5");  // the vapour pressure no longer belongs to the fields
    EXPECT_EQ(m.vapourPressure() + m.method(), "");
    m.setLiquidTemperature("");
    EXPECT_EQ(m.useWater()->text, "Type the temperature in \u00b0C as a number.");
    char32_t minus = U'-';
    EXPECT_TRUE(m.keyPressLiquidTemperature(minus));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace corvane
