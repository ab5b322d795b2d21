// corvane-cli fluid: water by IAPWS and a data-base fluid between its rows,
// as text and JSON, and the exit status of every kind of answer.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

#include "cli/FluidCommand.h"
#include "logic/model/data/FluidDatabaseModel.h"
#include "tests/cli/CliRun.h"

namespace corvane {
namespace {

using nlohmann::ordered_json;

double Rounded(double v, int decimals) { return std::round(v * std::pow(10, decimals)) / std::pow(10, decimals); }

std::string Shortest(double v) {
    char buf[32];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

TEST(FluidCommand, WaterAt60DegreesAsJson) {
    const CliRun r = Cli({"fluid", "water", "60", "--json"});
    ASSERT_EQ(r.status, ExitStatus::Ok) << r.err;
    const ordered_json j = ordered_json::parse(r.out);
    std::vector<std::string> keys;
    for (const auto& [key, value] : j.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"viscosity_cst", "density_kg_m3", "relative_density",
                                              "dynamic_viscosity_pa_s", "vapour_pressure_bar_a", "method", "range"}));
    EXPECT_EQ(Rounded(j["viscosity_cst"], 4), 0.4740);
    EXPECT_EQ(Rounded(j["density_kg_m3"], 2), 983.21);
    EXPECT_EQ(Rounded(j["vapour_pressure_bar_a"], 4), 0.1995);
    // Every number is the formulations' double, written as the shortest text
    // that reads back to it.
    const WaterAnswer w = WaterAt(60);
    for (const auto& [key, value] : {std::pair{"viscosity_cst", w.state.kinematicViscosityCst},
                                     {"density_kg_m3", w.state.densityKgM3},
                                     {"relative_density", w.state.densityKgM3 / 1000},
                                     {"dynamic_viscosity_pa_s", w.state.dynamicViscosityPaS},
                                     {"vapour_pressure_bar_a", *w.state.vapourPressureBarA}}) {
        EXPECT_EQ(j[key].get<double>(), value) << key;
        EXPECT_NE(r.out.find("\"" + std::string(key) + "\": " + Shortest(value) + ","), std::string::npos) << key;
    }
    EXPECT_NE(j["method"].get<std::string>().find("1.01325 bar a"), std::string::npos);
}

class FluidInterpolate : public CliFiles {
protected:
    void SetUp() override {
        CliFiles::SetUp();
        Write(kFluidStockFile, "10\tBrine\t10\xb0" "C (50\xb0" "F)\t1.500000\t1.100000\r\n"
                               "10\tBrine\t20\xb0" "C (68\xb0" "F)\t1.200000\t1.090000\r\n");
    }
    CliRun Run(std::vector<std::string> words) {
        words.insert(words.begin(), "fluid");
        words.insert(words.end(), {"--data-dir", dir_.string()});
        return Cli(words);
    }
};

TEST_F(FluidInterpolate, BetweenTheRowsAsTextAndJson) {
    const CliRun text = Run({"interpolate", "Brine", "15"});
    ASSERT_EQ(text.status, ExitStatus::Ok) << text.err;
    EXPECT_EQ(text.out.substr(0, text.out.find('\n')), "Brine 15\u00b0C (interpolated 10\u201320 \u00b0C)");
    EXPECT_NE(text.out.find("\nRelative density\t1.095000\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("\nVapour pressure\tnone\n"), std::string::npos) << text.out;
    const CliRun json = Run({"interpolate", "Brine", "15", "--json"});
    const ordered_json j = ordered_json::parse(json.out);
    EXPECT_TRUE(j["vapour_pressure_bar_a"].is_null());
    EXPECT_DOUBLE_EQ(j["dynamic_viscosity_pa_s"].get<double>(),
                     j["viscosity_cst"].get<double>() * 1e-6 * j["density_kg_m3"].get<double>());
}

// Every kind of answer, the data folder given where the words hold "DIR".
TEST_F(FluidInterpolate, ExitStatusOfEachAnswer) {
    const struct {
        std::vector<std::string> words;
        ExitStatus status;
        const char* err;
    } cases[] = {
        {{"interpolate", "Brine", "25", "--data-dir", "DIR"}, ExitStatus::Refused, "The rows of Brine run from 10 to 20"},
        {{"interpolate", "Oil", "15", "--data-dir", "DIR"}, ExitStatus::Refused, "No liquid of the fluid data base is named Oil."},
        {{"interpolate", "Brine", "15", "--pressure", "2"}, ExitStatus::Invalid, "usage:"},  // not the rows' option
        {{"interpolate", "Brine", "warm"}, ExitStatus::Invalid, "the temperature must be a number"},
        {{"water", "20", "--data-dir", "DIR"}, ExitStatus::Invalid, "usage:"},  // not the water's option
        {{"water", "250"}, ExitStatus::Refused, "250 \u00b0C is outside that range."},
        {{"water", "-0,5"}, ExitStatus::Refused, "-0.5 \u00b0C is outside that range."},  // a number, not an option
        {{"water", "150", "--pressure", "2"}, ExitStatus::Refused, "so 2 bar a is outside that range."},
        {{"water", "20", "--pressure=101"}, ExitStatus::Refused, "101 bar a is above that range."},
        {{"water", "20", "--pressure"}, ExitStatus::Invalid, "--pressure needs"},
        {{"water", "20", "--pressure", "high"}, ExitStatus::Invalid, "the pressure must be a number"},
        {{"water", "20", "--gas"}, ExitStatus::Invalid, "unknown option --gas"},
        {{"water"}, ExitStatus::Invalid, "usage:"},
        {{"steam", "200"}, ExitStatus::Invalid, "usage:"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"fluid"};
        for (const std::string& w : c.words) args.push_back(w == "DIR" ? dir_.string() : w);
        const CliRun r = Cli(args);
        EXPECT_EQ(r.status, c.status) << args[1] << " " << args[2];
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

}  // namespace
}  // namespace corvane
