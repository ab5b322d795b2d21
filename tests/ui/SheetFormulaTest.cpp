// The calculation sheet checks out by hand: each equation it prints, fed
// with the values it prints, gives the value it prints next, within 0.1 %.
// Read back from the PDF's own text (pdftotext), for every panel, liquid and
// gas, metric and imperial.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <regex>

#include "logic/model/sheets/CalculationSheet.h"
#include "logic/model/sheets/RunSheet.h"
#include "tests/logic/PanelTestSupport.h"
#include "ui/sheet/CalculationSheetPdf.h"

namespace corvane {
namespace {

std::string Output(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    char buffer[4096];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe.get())) out += buffer;
    return out;
}

// Each line with its runs of blanks made one.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text + "\n") {
        if (c == '\n' || c == '\f') {
            lines.push_back(line);
            line.clear();
        } else if (!(c == ' ' && (line.empty() || line.back() == ' '))) {
            line += c;
        }
    }
    return lines;
}

std::string Escaped(const std::string& s) { return std::regex_replace(s, std::regex(R"([.+()^$|\[\]*?{}\\])"), R"(\$&)"); }

// "4.60000 × 10⁻⁵" or "0.0225141" as a number.
double Number(const std::string& mantissa, const std::string& power) {
    double v = std::stod(mantissa);
    if (power.empty()) return v;
    static const std::map<std::string, char> kDigits = {
        {"\u2070", '0'}, {"\u00b9", '1'}, {"\u00b2", '2'}, {"\u00b3", '3'}, {"\u2074", '4'}, {"\u2075", '5'},
        {"\u2076", '6'}, {"\u2077", '7'}, {"\u2078", '8'}, {"\u2079", '9'}, {"\u207b", '-'}};
    std::string exponent;
    for (std::size_t i = 0; i < power.size();) {
        const std::size_t n = (power[i] & 0x80) == 0 ? 1 : (power[i] & 0xE0) == 0xC0 ? 2 : 3;
        exponent += kDigits.at(power.substr(i, n));
        i += n;
    }
    return v * std::pow(10.0, std::stoi(exponent));
}

// The values of section 3 by their symbols, as printed (or of the lines
// given).
class PrintedValues {
public:
    explicit PrintedValues(const std::string& text) {
        bool inside = false;
        for (const std::string& line : Lines(text)) {
            if (line.find("3 Intermediate values") == 0) inside = true;
            if (line.find("4 The result") == 0) inside = false;
            if (inside) lines_.push_back(line);
        }
    }
    explicit PrintedValues(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    bool has(const std::string& symbol) const { return find(symbol).has_value(); }
    double operator[](const std::string& symbol) const {
        const auto v = find(symbol);
        if (!v) ADD_FAILURE() << "no printed " << symbol;
        return v.value_or(std::nan(""));
    }

private:
    // "<quantity> <symbol> <value>[ × 10<power>] ...": the quantity's words
    // come before the symbol, the value after it.
    std::optional<double> find(const std::string& symbol) const {
        const std::regex row("^ ?[A-Z][A-Za-z ()0-9]*[a-z)] " + Escaped(symbol) +
                             R"( (-?[0-9]+\.?[0-9]*)( × 10((?:\xE2\x81[\xB0-\xBB]|\xC2[\xB9\xB2\xB3])+))?( |$))");
        for (const std::string& line : lines_) {
            std::smatch m;
            if (std::regex_search(line, m, row)) return Number(m[1], m[3]);
        }
        return std::nullopt;
    }
    std::vector<std::string> lines_;
};

constexpr double kG = 9.81;

double HaalandOrZone(double re, double relativeRoughness) {
    if (re <= 2300) return 64 / re;
    if (re < 3500) return (re - 1500) / 30000;
    const double x = -1.8 * std::log10(std::pow(relativeRoughness / 3.7, 1.11) + 6.9 / re);
    return 1 / (x * x);
}

struct SheetCase {
    PanelKind kind;
    bool gas;
    bool imperial;
};

void PrintTo(const SheetCase& c, std::ostream* os) {
    *os << "panel " << PanelDigit(c.kind) << (c.gas ? " gas" : " liquid") << (c.imperial ? " imperial" : " metric");
}

std::string Name(const ::testing::TestParamInfo<SheetCase>& info) {
    return "panel" + std::to_string(PanelDigit(info.param.kind)) + (info.param.gas ? "_gas" : "_liquid") +
           (info.param.imperial ? "_imperial" : "_metric");
}

class SheetFormulas : public ::testing::TestWithParam<SheetCase> {};

TEST_P(SheetFormulas, EveryPrintedEquationGivesThePrintedValue) {
    const SheetCase c = GetParam();
    PanelModel p(c.kind, c.imperial ? test::UsLocale() : Locale{});
    if (c.gas) {
        p.useFluid(test::Air());
        p.setText(Ctl::Barg_RightEdit, c.imperial ? "90.000" : "6.000");
        if (c.kind != PanelKind::PressureDrop) p.setText(Ctl::AllowablePressureLoss_RightEdit, c.imperial ? "7.000" : "0.500");
    }
    p.setText(Ctl::ElevationChange_RightEdit, c.gas ? "0.500" : "1.500");
    p.setFittingsString(test::Fittings({0, 0, 0, 0}, {{1, 2}, {16, 1}}));
    ASSERT_FALSE(p.calculate());

    QTemporaryDir dir;
    const std::string pdf = dir.filePath("sheet.pdf").toStdString();
    const auto bytes = CalculationSheetPdf(MakeCalculationSheet(p, "case", "2026-12-09"));
    ASSERT_TRUE(bytes);
    std::ofstream(pdf, std::ios::binary) << bytes->toStdString();
    const std::string text = Output("pdftotext -layout '" + pdf + "' -");
    std::string flat;
    for (const std::string& line : Lines(text)) flat += line + " ";

    // The equations as this case uses them.
    const bool factor = c.gas || c.kind == PanelKind::Diameter || c.kind == PanelKind::Length;
    const std::string re = c.gas    ? "Re = v D / (c \u03bd (1 + 0.0028 P))"
                           : factor ? "Re = v D / (\u03bd (1 + 0.0028 P))"
                                    : "Re = v D / \u03bd";
    for (const std::string& equation :
         {std::string(c.gas ? "v = c Q / (\u03c0 D\u00b2 / 4)" : "v = Q / (\u03c0 D\u00b2 / 4)"), re,
          std::string("h_pipe = f (L / D) v\u00b2 / 2g"), std::string("h_fittings = K v\u00b2 / 2g"),
          std::string("h = h_pipe + h_fittings + \u0394z"),
          std::string(c.gas ? "\u0394p = \u03c1\u2080 g h / (c \u00d7 10\u2075)" : "\u0394p = \u03c1 g h / 10\u2075")})
        EXPECT_NE(flat.find(equation + " "), std::string::npos) << equation;

    const PrintedValues v(text);
    auto agrees = [](const char* what, double computed, double printed) {
        EXPECT_NEAR(computed, printed, 0.001 * std::fabs(printed) + 1e-12) << what;
    };
    const double P = factor ? v["P"] : 0;
    EXPECT_EQ(v.has("P"), factor);  // the pressure is printed where it is used
    const double cRatio = c.gas ? v["c"] : 1;
    if (c.gas) agrees("c", 1.01325 / (P + 1.01325), cRatio);
    const double D = v["D"], Q = v["Q"], L = v["L"];
    agrees("v", cRatio * Q / (M_PI * D * D / 4), v["v"]);
    const double F = factor ? v["1 + 0.0028 P"] : 1;
    if (factor) agrees("1 + 0.0028 P", 1 + 0.0028 * P, F);
    agrees("Re", v["v"] * D / (cRatio * v["\u03bd"] * F), v["Re"]);
    agrees("\u03b5/D", v["\u03b5"] / D, v["\u03b5/D"]);
    agrees("f", HaalandOrZone(v["Re"], v["\u03b5/D"]), v["f"]);
    const double velocityHead = v["v"] * v["v"] / (2 * kG);
    agrees("h_pipe", v["f"] * L / D * velocityHead, v["h_pipe"]);
    agrees("h_fittings", v["K"] * velocityHead, v["h_fittings"]);
    ASSERT_GT(v["K"], 0);
    agrees("h", v["h_pipe"] + v["h_fittings"] + v["\u0394z"], v["h"]);
    const double dp = c.gas ? v["\u03c1\u2080"] * kG * v["h"] / (cRatio * 1e5) : v["\u03c1"] * kG * v["h"] / 1e5;
    agrees("\u0394p", dp, v["\u0394p"]);
    // Panels 2 to 4 solved for the head there is.
    if (c.kind != PanelKind::PressureDrop) agrees("h_available", v["h"], v["h_available"]);
}

std::vector<SheetCase> AllCases() {
    std::vector<SheetCase> cases;
    for (PanelKind kind : {PanelKind::PressureDrop, PanelKind::Flow, PanelKind::Diameter, PanelKind::Length})
        for (bool gas : {false, true})
            for (bool imperial : {false, true}) cases.push_back({kind, gas, imperial});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(AllPanels, SheetFormulas, ::testing::ValuesIn(AllCases()), Name);

// ---------------------------------------------------------------- runs

// The lines of section 3 of a run's sheet, by the paragraph each follows
// ("Section 2 Rising main:", "Transition into section 3 ...", "Entry and
// exit:", ...).
std::map<std::string, std::vector<std::string>> RunBlocks(const std::string& text) {
    std::map<std::string, std::vector<std::string>> blocks;
    std::string current;
    bool inside = false;
    for (const std::string& line : Lines(text)) {
        if (line.find("3 Intermediate values") == 0) inside = true;
        if (line.find("4 The result") == 0) inside = false;
        if (!inside) continue;
        if (!line.empty() && line.back() == ':' && line.front() != ' ') current = line;
        else blocks[current].push_back(line);
    }
    return blocks;
}

// The K of the transition the heading names, by the printed forms.
double TransitionK(const std::string& heading, double beta, double alpha, double f) {
    const double rad = alpha * M_PI / 180, s = std::sin(rad / 2);
    if (heading.find("sudden contraction") != std::string::npos || heading.find("conical contraction") != std::string::npos) {
        const bool conical = heading.find("conical") != std::string::npos;
        const double lambda = 1 + 0.622 * (conical ? std::pow(alpha / 180, 0.8) : 1.0) *
                                      (1 - 0.215 * beta * beta - 0.785 * std::pow(beta, 5));
        const double main = 0.0696 * (1 - std::pow(beta, 5)) * lambda * lambda + (lambda - 1) * (lambda - 1);
        return conical ? f * (1 - std::pow(beta, 4)) / (8 * s) + 0.0696 * s * (1 - std::pow(beta, 5)) * lambda * lambda +
                             (lambda - 1) * (lambda - 1)
                       : main;
    }
    const double square = (1 - beta * beta) * (1 - beta * beta);
    if (heading.find("sudden expansion") != std::string::npos) return square;
    const double friction = f * (1 - std::pow(beta, 4)) / (8 * s);
    if (alpha <= 20) return 8.30 * std::pow(std::tan(rad / 2), 1.75) * square + friction;
    if (alpha <= 60)
        return (1.366 * std::sqrt(std::sin(2 * M_PI * (alpha - 15) / 180)) - 0.170 -
                (beta < 0.5 ? 3.28 * (0.0625 - std::pow(beta, 4)) * std::sqrt((alpha - 20) / 40) : 0)) *
                   square + friction;
    if (beta < 0.5)
        return (1.205 - 3.28 * (0.0625 - std::pow(beta, 4)) - 12.8 * std::pow(beta, 6) * std::sqrt((alpha - 60) / 120)) *
               square;
    return (1.205 - 0.20 * std::sqrt((alpha - 60) / 120)) * square;
}

class RunSheetFormulas : public ::testing::TestWithParam<std::string> {};

TEST_P(RunSheetFormulas, EveryPrintedEquationGivesThePrintedValue) {
    auto document = ParseRunDocument(GetParam());
    ASSERT_TRUE(std::holds_alternative<RunDocument>(document)) << std::get<std::string>(document);
    const RunDocument& d = std::get<RunDocument>(document);
    const RunOutcome o = CalculateRun(d, {}, Locale{});
    ASSERT_EQ(o.status, RunStatus::Ok) << o.message;

    QTemporaryDir dir;
    const std::string pdf = dir.filePath("run.pdf").toStdString();
    const auto bytes = CalculationSheetPdf(MakeRunSheet(d, o, "line.cvrun", "2026-12-09", {}, Locale{}));
    ASSERT_TRUE(bytes);
    std::ofstream(pdf, std::ios::binary) << bytes->toStdString();
    const std::string text = Output("pdftotext -layout '" + pdf + "' -");
    std::string flat;
    for (const std::string& line : Lines(text)) flat += line + " ";
    for (const char* equation : {"v = Q / (\u03c0 D\u00b2 / 4)", "Re = v D / \u03bd", "h_pipe = f (L / D) v\u00b2 / 2g",
                                 "h_fittings = K v\u00b2 / 2g", "h_t = K v\u00b2 / 2g", "K = (1 \u2212 \u03b2\u00b2)\u00b2",
                                 "E_source = z_s + p_s \u00d7 10\u2075 / (\u03c1 g)", "H = E \u2212 v\u00b2 / 2g, p = \u03c1 g (H \u2212 z) / 10\u2075"})
        EXPECT_NE(flat.find(equation), std::string::npos) << equation;

    auto agrees = [](const std::string& what, double computed, double printed, double absolute = 1e-12) {
        EXPECT_NEAR(computed, printed, 0.001 * std::fabs(printed) + absolute) << what;
    };
    const auto blocks = RunBlocks(text);
    auto block = [&](const std::string& heading) {
        for (const auto& [h, lines] : blocks)
            if (h.find(heading) == 0) return PrintedValues(lines);
        ADD_FAILURE() << "no block " << heading;
        return PrintedValues(std::vector<std::string>{});
    };
    const std::size_t n = o.sectionNames.size();
    std::vector<double> loss(n), velocity(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string name = "Section " + std::to_string(i + 1) + " ";
        const PrintedValues v = block(name);
        const double D = v["D"], Q = v["Q"];
        agrees(name + "v", Q / (M_PI * D * D / 4), v["v"]);
        agrees(name + "Re", v["v"] * D / v["\u03bd"], v["Re"]);
        agrees(name + "\u03b5/D", v["\u03b5"] / D, v["\u03b5/D"]);
        agrees(name + "f", HaalandOrZone(v["Re"], v["\u03b5/D"]), v["f"]);
        const double velocityHead = v["v"] * v["v"] / (2 * kG);
        agrees(name + "h_pipe", v["f"] * v["L"] / D * velocityHead, v["h_pipe"]);
        agrees(name + "h_fittings", v["K"] * velocityHead, v["h_fittings"], 1e-9);
        loss[i] = v["h_pipe"] + v["h_fittings"];
        velocity[i] = v["v"];
    }
    std::map<std::size_t, double> transition;  // the head lost into section i (from 0)
    for (const auto& [heading, lines] : blocks) {
        if (heading.find("Transition into section ") != 0) continue;
        const std::size_t into = std::stoul(heading.substr(24)) - 1;
        const PrintedValues v(lines);
        const double alpha = heading.find("conical") != std::string::npos ? v["\u03b1"] : 180;
        agrees(heading + " K", TransitionK(heading, v["\u03b2"], alpha, v["f"]), v["K"]);
        // The smaller section's velocity.
        const std::size_t small = heading.find("contraction") != std::string::npos ? into : into - 1;
        agrees(heading + " v", velocity[small], v["v"]);
        agrees(heading + " h_t", v["K"] * v["v"] * v["v"] / (2 * kG), v["h_t"]);
        transition[into] = v["h_t"];
    }
    EXPECT_EQ(transition.size(), o.result.transitions.size());
    const PrintedValues ends = block("Entry and exit:");
    agrees("h_entry", ends["K_entry"] * ends["v\u2081"] * ends["v\u2081"] / (2 * kG), ends["h_entry"]);
    agrees("h_exit", ends["K_exit"] * ends["v\u2099"] * ends["v\u2099"] / (2 * kG), ends["h_exit"]);
    const PrintedValues surfaces = block("The source and the sink:");
    const double rho = surfaces["\u03c1"];
    agrees("E_source", surfaces["z_s"] + surfaces["p_s"] * 1e5 / (rho * kG), surfaces["E_source"]);

    // The nodes: E falls by each loss in turn and rises by the pump's head.
    std::optional<PrintedValues> pump;
    for (const auto& [heading, lines] : blocks)
        if (heading.find("The pump after section") == 0) pump.emplace(lines);
    const std::regex node(R"(^ ?(.+?) (-?[0-9]+\.[0-9]+) (-?[0-9]+\.[0-9]+) (-?[0-9]+\.[0-9]+) (-?[0-9]+\.[0-9]+) (-?[0-9]+\.[0-9]+) (-?[0-9]+\.[0-9]+)$)");
    double e = surfaces["E_source"] - ends["h_entry"], suctionLoss = ends["h_entry"];
    std::size_t nodes = 0, section = 0;
    bool beforePump = true;
    for (const auto& [heading, lines] : blocks) {
        if (heading.find("The nodes") != 0) continue;
        for (const std::string& line : lines) {
            std::smatch m;
            if (!std::regex_search(line, m, node)) continue;
            const std::string name = m[1];
            const double z = std::stod(m[3]), v = std::stod(m[4]), E = std::stod(m[5]), H = std::stod(m[6]),
                         p = std::stod(m[7]);
            if (name == "pump discharge") {
                ASSERT_TRUE(pump);
                e += (*pump)["H_pump"];
                beforePump = false;
            } else if (name.find("end of ") == 0) {
                e -= loss[section] + (transition.count(section) ? transition[section] : 0);
                if (beforePump) suctionLoss += loss[section] + (transition.count(section) ? transition[section] : 0);
                ++section;
            }
            agrees(name + " E", e, E, 2e-4);
            agrees(name + " H", E - v * v / (2 * kG), H, 2e-4);
            agrees(name + " p", rho * kG * (H - z) / 1e5, p, 2e-5);
            ++nodes;
        }
    }
    EXPECT_EQ(nodes, o.result.nodes.size());
    agrees("margin", e - ends["h_exit"] - surfaces["E_sink"], surfaces["margin"], 1e-3);
    if (!pump) return;
    const PrintedValues& P = *pump;
    agrees("P_fluid", rho * kG * P["Q"] * P["H_pump"], P["P_fluid"]);
    agrees("P_shaft", P["P_fluid"] / P["\u03b7"], P["P_shaft"]);
    agrees("h_s", suctionLoss, P["h_s"]);
    agrees("NPSHa", (surfaces["p_s"] + 1.01325 - P["p_v"]) * 1e5 / (rho * kG) + surfaces["z_s"] - P["z_p"] - P["h_s"],
           P["NPSHa"], 1e-4);
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// The help's worked example, the example whose pump inlet boils, and a run
// by gravity through a conical contraction and a sudden expansion into
// laminar flow.
INSTANTIATE_TEST_SUITE_P(
    Runs, RunSheetFormulas,
    ::testing::Values(FileText(CORVANE_DATA_DIR "/help/worked-run.cvrun"), FileText(CORVANE_EXAMPLES "/pump-cavitating.cvrun"),
                      R"({"corvane_run": 1, "fluid": {"name": "Oil", "viscosity_cst": 90, "relative_density": 0.88},
                          "source": {"pressure_bar_g": 0.2, "level_m": 6}, "sink": {"pressure_bar_g": 0, "level_m": 0},
                          "start_elevation_m": 5, "flow_lmin": null,
                          "sections": [
                            {"name": "Outlet", "diameter_mm": 80, "roughness_mm": 0.05, "length_m": 5, "rise_m": -2},
                            {"name": "Reduced", "diameter_mm": 40, "roughness_mm": 0.05, "length_m": 20, "rise_m": -3,
                             "fittings": [{"name": "Standard bend", "count": 2}],
                             "transition": {"kind": "conical", "angle_deg": 30}},
                            {"name": "Wide", "diameter_mm": 100, "roughness_mm": 0.05, "length_m": 10,
                             "transition": {"kind": "sudden"}},
                            {"name": "Diffuser out", "diameter_mm": 150, "roughness_mm": 0.05, "length_m": 3,
                             "transition": {"kind": "conical", "angle_deg": 40}}]})"));

}  // namespace
}  // namespace corvane
