// The run document: what it refuses and how it names the place, what it
// writes back, and how its references to the data bases are resolved.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include "logic/model/runs/RunCalculation.h"
#include "logic/model/runs/RunDocument.h"

namespace corvane {
namespace {

using nlohmann::json;

json Base() {
    return json::parse(R"({
      "corvane_run": 1,
      "fluid": {"name": "Water", "viscosity_cst": 1.004, "density_kg_m3": 998, "vapour_pressure_bar_a": 0.0234},
      "source": {"pressure_bar_g": 0, "level_m": 0},
      "sink": {"pressure_bar_g": 0, "level_m": 10},
      "start_elevation_m": 0,
      "flow_lmin": 200,
      "sections": [
        {"name": "Suction", "diameter_mm": 80, "roughness_mm": 0.046, "length_m": 5, "rise_m": 2,
         "fittings": [{"name": "Gate valve", "count": 1, "open_percent": 50}]},
        {"name": "Discharge", "diameter_mm": 50, "material": "steel", "length_m": 30, "rise_m": 8,
         "extra_k": 1.5, "transition": {"kind": "conical", "angle_deg": 30}},
        {"name": "Header", "diameter_mm": 80, "roughness_mm": 0.046, "length_m": 10, "rise_m": 0}
      ],
      "pump": {"after_section": 1, "points": [[0, 40], [300, 30], [600, 5]], "efficiency_percent": 70}
    })");
}

std::string MessageOf(const std::string& text) {
    const auto parsed = ParseRunDocument(text);
    const auto* message = std::get_if<std::string>(&parsed);
    return message ? *message : "(read)";
}

TEST(RunDocument, RefusesBadInputNamingTheKey) {
    const struct {
        const char* what;
        std::function<void(json&)> change;
        std::string expected;
    } cases[] = {
        {"10,000 sections", [](json& d) { d["sections"] = json(std::vector<json>(10000, d["sections"][0])); },
         "sections must be a list of 1 to 200 sections, not 10000"},
        {"no section", [](json& d) { d["sections"] = json::array(); }, "sections must be a list of 1 to 200 sections, not 0"},
        {"zero diameter", [](json& d) { d["sections"][1]["diameter_mm"] = 0; }, "sections[2].diameter_mm must be above 0"},
        {"negative diameter", [](json& d) { d["sections"][1]["diameter_mm"] = -5; },
         "sections[2].diameter_mm must be above 0"},
        {"NaN as text", [](json& d) { d["sections"][1]["length_m"] = "NaN"; }, "sections[2].length_m must be a number"},
        {"pump after a missing section", [](json& d) { d["pump"]["after_section"] = 4; },
         "pump.after_section must be the number of a section of the run: 1 to 3"},
        {"unknown key", [](json& d) { d["sections"][0]["diameter"] = 80; },
         "sections[1].diameter is not a key of a run file"},
        {"missing key", [](json& d) { d["source"].erase("level_m"); }, "source.level_m is missing"},
        {"no diameter", [](json& d) { d["sections"][2].erase("diameter_mm"); }, "sections[3].diameter_mm is missing"},
        {"newer version", [](json& d) { d["corvane_run"] = 2; },
         "corvane_run must be 1: this program reads version 1 of the run file"},
        {"rise above length", [](json& d) { d["sections"][0]["rise_m"] = -6; },
         "sections[1].rise_m cannot be more than the section's length_m: a section rises or falls at most its length"},
        {"roughness of the whole pipe", [](json& d) { d["sections"][0]["roughness_mm"] = 80; },
         "sections[1].roughness_mm must be below the section's diameter_mm"},
        {"unknown fitting", [](json& d) { d["sections"][0]["fittings"][0]["name"] = "Elbow 90"; },
         "sections[1].fittings[1].name \"Elbow 90\" is not one of the fittings"},
        {"valve opening", [](json& d) { d["sections"][0]["fittings"][0]["open_percent"] = 60; },
         "sections[1].fittings[1].open_percent must be 100, 75, 50 or 25"},
        {"transition into the first section", [](json& d) { d["sections"][0]["transition"] = {{"kind", "sudden"}}; },
         "sections[1].transition: the first section has no section before it"},
        {"flat cone", [](json& d) { d["sections"][1]["transition"]["angle_deg"] = 0; },
         "sections[2].transition.angle_deg must be above 0"},
        {"typed and data base liquid", [](json& d) { d["fluid"]["temperature"] = "20°C (68°F)"; },
         "fluid.temperature names a row of the fluid data base: the liquid's numbers cannot be given as well"},
        {"pump points", [](json& d) { d["pump"]["points"][1] = {300}; },
         "pump.points[2] must be a point [flow_lmin, head_m]"},
        {"below absolute zero", [](json& d) { d["sink"]["pressure_bar_g"] = -1.5; },
         "sink.pressure_bar_g must be at least -1.01325"},
    };
    for (const auto& c : cases) {
        json d = Base();
        c.change(d);
        EXPECT_EQ(MessageOf(d.dump()), c.expected) << c.what;
    }

    // What the JSON text itself refuses, with the place where it breaks.
    const std::string text = Base().dump();
    const struct {
        const char* what;
        std::string bytes;
        std::string expected;
    } texts[] = {
        {"1e999", Base().dump().replace(text.find("30,"), 2, "1e999"),
         "sections[2].length_m must be a finite number, not '1e999'"},
        {"truncated in a section", text.substr(0, text.find("Header")),
         "sections[3].name: not valid JSON: parse error at line 1, column "},
        {"not JSON", "corvane_run = 1", "not valid JSON: parse error at line 1, column 1: syntax error"},
        {"a key twice", R"({"corvane_run": 1, "fluid": {"name": "a", "name": "b"}})", "fluid.name is given twice"},
        {"nested deep", std::string(100, '[') + std::string(100, ']'), "[1][1][1]"},
    };
    for (const auto& t : texts) EXPECT_EQ(MessageOf(t.bytes).rfind(t.expected, 0), 0u) << t.what << ": " << MessageOf(t.bytes);
}

// Every key that data/corvane-run.schema.json describes is a key the reader
// knows (and the reader refuses any other, above).
TEST(RunDocument, ReadsEveryKeyOfItsSchema) {
    std::ifstream in(CORVANE_DATA "/corvane-run.schema.json");
    const json schema = json::parse(in);
    const json& top = schema["properties"];
    const json& section = top["sections"]["items"]["properties"];
    using Place = std::function<json&(json&)>;
    const std::pair<const json&, Place> objects[] = {
        {top, [](json& d) -> json& { return d; }},
        {top["fluid"]["properties"], [](json& d) -> json& { return d["fluid"]; }},
        {top["source"]["properties"], [](json& d) -> json& { return d["source"]; }},
        {top["sink"]["properties"], [](json& d) -> json& { return d["sink"]; }},
        {top["pump"]["properties"], [](json& d) -> json& { return d["pump"]; }},
        {section, [](json& d) -> json& { return d["sections"][1]; }},
        {section["pipe"]["properties"], [](json& d) -> json& { return d["sections"][1]["pipe"]; }},
        {section["fittings"]["items"]["properties"], [](json& d) -> json& { return d["sections"][0]["fittings"][0]; }},
        {section["transition"]["properties"], [](json& d) -> json& { return d["sections"][1]["transition"]; }},
    };
    for (const auto& [properties, place] : objects) {
        ASSERT_TRUE(properties.is_object());
        for (const auto& [key, rule] : properties.items()) {
            json d = Base();
            place(d)[key] = 1;
            EXPECT_EQ(MessageOf(d.dump()).find("is not a key"), std::string::npos) << key;
        }
    }
}

TEST(RunDocument, WritesWhatItReadsAndSavesWhole) {
    const auto read = ParseRunDocument(Base().dump());
    ASSERT_TRUE(std::holds_alternative<RunDocument>(read)) << std::get<std::string>(read);
    const RunDocument& d = std::get<RunDocument>(read);
    EXPECT_EQ(d.sections[0].fittings, (std::vector<RunFitting>{{16, 1, 2}}));
    const auto again = ParseRunDocument(RunDocumentText(d));
    ASSERT_TRUE(std::holds_alternative<RunDocument>(again));
    EXPECT_EQ(std::get<RunDocument>(again), d);

    const std::string path =
        (std::filesystem::temp_directory_path() / ("corvane-run-" + std::to_string(::getpid()) + ".cvrun")).string();
    ASSERT_FALSE(SaveRunFile(path, d));
    const auto loaded = LoadRunFile(path);
    std::filesystem::remove(path);
    ASSERT_TRUE(std::holds_alternative<RunDocument>(loaded));
    EXPECT_EQ(std::get<RunDocument>(loaded), d);
    EXPECT_EQ(std::get<std::string>(LoadRunFile(path)), path + ": File not found");
}

TEST(RunCalculation, ResolvesTheDataBasesOrSaysWhatIsMissing) {
    DataTable fluids(8), pipes(8);
    fluids.add({10, "Water", "20°C (68°F)", "1.004000", "0.998000"});
    fluids.add({10, "Water", "40°C (104°F)", "0.658000", "0.992000"});
    fluids.add({20, "Air", "20°C (68°F)", "15.100000", "1.204700"});
    pipes.add({10, "Steel Sch 40", "2\"", "52.480", "2.066"});
    const RunDataBases bases{[&] { return &fluids; }, [&] { return &pipes; }};
    auto calculate = [&](const std::function<void(json&)>& change) {
        json d = Base();
        change(d);
        return CalculateRun(std::get<RunDocument>(ParseRunDocument(d.dump())), bases, DotLocale());
    };
    auto byName = [](const char* name, const char* temperature) {
        return [=](json& d) {
            d["fluid"] = {{"name", name}};
            if (temperature) d["fluid"]["temperature"] = temperature;
        };
    };

    const RunOutcome ok = calculate([&](json& d) {
        byName("Water", "40°C (104°F)")(d);
        d["sections"][1].erase("diameter_mm");
        d["sections"][1]["pipe"] = {{"type", "Steel Sch 40"}, {"nominal", "2\""}};
    });
    ASSERT_EQ(ok.status, RunStatus::Ok) << ok.message;
    EXPECT_EQ(ok.run.liquid.viscosity, 0.658);
    EXPECT_EQ(ok.run.liquid.density, 992.0);
    EXPECT_FALSE(ok.run.liquid.vapourPressure);
    EXPECT_EQ(ok.run.sections[1].diameter, 52.48);
    EXPECT_EQ(ok.run.sections[1].roughness, 0.046);  // steel
    EXPECT_EQ(ok.notes.back(), "NPSH available is not calculated: the liquid has no vapour pressure "
                               "(fluid.vapour_pressure_bar_a).");

    // Water by its temperature, as the fluid dialog gives it: at 60 degC about
    // 0.4740 cSt, 983.21 kg/m3 and 0.1995 bar a.
    const RunOutcome water = calculate([](json& d) { d["fluid"] = {{"name", "Water"}, {"water_temperature_c", 60}}; });
    ASSERT_EQ(water.status, RunStatus::Ok) << water.message;
    EXPECT_NEAR(water.run.liquid.viscosity, 0.4740, 5e-5);
    EXPECT_NEAR(water.run.liquid.density, 983.21, 5e-3);
    EXPECT_NEAR(water.run.liquid.vapourPressure.value_or(0), 0.1995, 5e-5);

    const struct {
        std::function<void(json&)> change;
        RunStatus status;
        std::string message;
    } refused[] = {
        {byName("Water", nullptr), RunStatus::Invalid,
         "fluid.temperature is needed: the fluid data base has 2 rows of \"Water\", for example at \"20°C (68°F)\""},
        {byName("Air", nullptr), RunStatus::Invalid,
         "fluid.name: \"Air\" is a gas in the fluid data base; a pipe run carries a liquid"},
        {byName("Brine", nullptr), RunStatus::Invalid, "fluid.name: the fluid data base has no liquid \"Brine\""},
        {[](json& d) {
             d["sections"][0].erase("diameter_mm");
             d["sections"][0]["pipe"] = {{"type", "Steel Sch 40"}, {"nominal", "3\""}};
         },
         RunStatus::Invalid, "sections[1].pipe: the pipe data base has no pipe \"Steel Sch 40\" \"3\"\""},
        {[](json& d) { d["fluid"] = {{"name", "Water"}, {"water_temperature_c", 250}}; }, RunStatus::Refused,
         "fluid.water_temperature_c: Water by IAPWS-IF97 is offered for liquid water from 0.01 to 200 °C, from its "
         "saturation pressure to 100 bar a: 250 °C is outside that range."},
        {[](json& d) { d["pump"]["points"] = {{0, 10}, {100, 20}}; }, RunStatus::Invalid,
         "pump.points: The heads of the pump curve must not rise as the flow increases."},
        {[](json& d) { d["flow_lmin"] = 900; }, RunStatus::Refused,
         "The flow, 900.000 litre/min, lies outside the pump curve's flows, 0.000 to 646.008 litre/min."},
    };
    for (const auto& r : refused) {
        const RunOutcome o = calculate(r.change);
        EXPECT_EQ(o.status, r.status) << r.message;
        EXPECT_EQ(o.message, r.message);
    }
}

}  // namespace
}  // namespace corvane
