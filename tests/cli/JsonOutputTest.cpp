// The batch tool's JSON is written directly; it must stay byte for byte the
// two-space dump of the JSON library, whatever the text holds.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

#include "cli/Cli.h"
#include "cli/JsonText.h"
#include "logic/model/panels/PanelFile.h"
#include "tests/RandomPanels.h"

namespace corvane {
namespace {

// The array as the library dumps it.
std::string LibraryJson(const std::vector<BatchResult>& results) {
    using Json = nlohmann::ordered_json;
    Json array = Json::array();
    for (const BatchResult& r : results) {
        Json o;
        o["file"] = r.file;
        o["panel"] = r.panel ? Json(PanelDigit(*r.panel)) : Json(nullptr);
        o["status"] = r.status == ExitStatus::Ok ? "ok" : r.status == ExitStatus::Refused ? "refused" : "invalid";
        o["message"] = r.message;
        Json fields = Json::object();
        for (const auto& [name, text] : r.fields) fields[name] = text;
        o["fields"] = fields;
        o["report"] = r.report;
        if (r.isothermal) o["isothermal"] = Json::parse(IsothermalJson(*r.isothermal));
        if (r.pump) o["pump"] = Json::parse(PumpJson(*r.pump));
        array.push_back(o);
    }
    return array.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string RandomText(std::mt19937& rng) {
    // Mostly printable, with quotes, backslashes, every control byte,
    // well-formed and broken UTF-8.
    static const std::vector<std::string> pieces = {
        "a",   "Find PD", " ",        "\"",       "\\",   "\t",   "\r",   "\n",       "\b",
        "\f",  "\x01",    "\x1f",     "\x7f",     "\u00b0", "\u00b3", "\u20ac", "\U0001F600", "\xc3",
        "\xff", "\xe2\x82", "\xed\xa0\x80", "\xc0\xaf", "/",  "0.046", "\x80", "\xf4\x90\x80\x80"};
    std::string t;
    const int n = std::uniform_int_distribution<int>(0, 12)(rng);
    for (int i = 0; i < n; ++i) t += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(rng)];
    return t;
}

TEST(JsonOutput, SameBytesAsTheLibraryForAnyText) {
    std::mt19937 rng(11);
    std::vector<BatchResult> results;
    for (int i = 0; i < 400; ++i) {
        BatchResult r;
        r.file = RandomText(rng);
        if (i % 3) r.panel = static_cast<PanelKind>(1 + i % 4);
        r.status = static_cast<ExitStatus>(i % 3);
        r.message = RandomText(rng);
        for (int f = 0; f < i % 5; ++f) r.fields.emplace_back("Field" + std::to_string(f) + RandomText(rng), RandomText(rng));
        r.report = RandomText(rng);
        if (i % 4 == 1) {
            r.pump.emplace();
            if (i % 8 == 1) {
                r.pump->refusal = RandomText(rng);
            } else {
                std::uniform_real_distribution<double> value(0, 5000);
                r.pump->point.flow = value(rng);
                r.pump->point.head = value(rng) / 1000;
                r.pump->point.velocity = 1e-7 * value(rng);
                r.pump->point.reynolds = 100.0 * i;
                r.pump->point.flowType = RandomText(rng);
                r.pump->point.fluidPowerW = value(rng);
                if (i % 3) r.pump->point.shaftPowerW = value(rng);
            }
        }
        results.push_back(r);
    }
    EXPECT_EQ(ResultsToJson(results), LibraryJson(results));
    EXPECT_EQ(ResultsToJson({}), LibraryJson({}));
    EXPECT_EQ(ResultsToJson({results[0]}), LibraryJson({results[0]}));
}

TEST(JsonOutput, SameBytesAsTheLibraryForVariedPanels) {
    std::mt19937 rng(3);
    for (const Locale& locale : {Locale{}, CommaLocale(), Locale{'.', true}}) {
        std::vector<BatchResult> results;
        for (int i = 0; i < 150; ++i)
            results.push_back(RunPanelFileBytes("p" + std::to_string(i) + ".PW1", RandomPanelFile(rng, locale), locale));
        EXPECT_EQ(ResultsToJson(results), LibraryJson(results));
    }
}

// For --json the element is written while the panel is at hand, without
// the fields and report copied out first: the same bytes as the parts give,
// for calculated, refused and invalid files, with and without a pump.
TEST(JsonOutput, TheElementWrittenFromThePanelIsTheElementOfItsParts) {
    std::mt19937 rng(5);
    const PumpEntry pump{{{50, 30}, {150, 24}, {300, 9}}, 1.0, 65.0};
    for (const Locale& locale : {Locale{}, CommaLocale(), Locale{'.', true}}) {
        std::vector<std::string> files;
        for (int i = 0; i < 120; ++i) files.push_back(RandomPanelFile(rng, locale));
        files.push_back("garbage\r\n");
        files.push_back("");
        std::string cut = files[0];
        files.push_back(cut.substr(0, cut.size() / 2));
        int n = 0;
        for (const std::string& bytes : files) {
            const std::string name = "p\xff\"" + std::to_string(n) + ".PW1";
            const PumpEntry* withPump = n++ % 3 == 0 ? &pump : nullptr;
            const BatchResult parts = RunPanelFileBytes(name, bytes, locale, withPump, ResultForm::Parts);
            const BatchResult json = RunPanelFileBytes(name, bytes, locale, withPump, ResultForm::Json);
            EXPECT_TRUE(parts.json.empty());
            EXPECT_TRUE(json.fields.empty());
            EXPECT_TRUE(json.report.empty());
            EXPECT_EQ(json.status, parts.status);
            ASSERT_EQ("[\n" + json.json + "\n]\n", ResultsToJson({parts})) << bytes;
        }
    }
}

// The run and fluid commands write each double as the shortest text that
// reads back to it: the library's layout, its writer's digits where they are
// already the shortest, and fewer where its writer gives one too many.
TEST(JsonOutput, NumbersAreTheShortestTextThatReadsBack) {
    using Json = nlohmann::ordered_json;
    std::mt19937_64 rng(11);
    int shorter = 0;
    for (int i = 0; i < 20000; ++i) {
        double v;
        const std::uint64_t bits = rng();
        std::memcpy(&v, &bits, sizeof v);
        if (!std::isfinite(v)) continue;
        const std::string ours = ShortestNumber(v), library = Json(v).dump();
        ASSERT_EQ(std::strtod(ours.c_str(), nullptr), v) << ours;
        ASSERT_LE(ours.size(), library.size()) << ours << " " << library;
        shorter += ours.size() < library.size() && ours.find_first_of(".e") != std::string::npos;
    }
    EXPECT_GT(shorter, 0);
    EXPECT_EQ(ShortestNumber(std::nan("")), "null");
    const Json j = {{"a", Json::array()}, {"b", {{"c", nullptr}, {"d", "\xff\t"}, {"e", 3}}}, {"f", Json::object()}};
    EXPECT_EQ(DumpShortest(j), j.dump(2, ' ', false, Json::error_handler_t::replace));
}

}  // namespace
}  // namespace corvane
