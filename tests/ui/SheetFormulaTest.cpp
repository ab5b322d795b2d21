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

#include "logic/model/CalculationSheet.h"
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

// The values of section 3 by their symbols, as printed.
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

}  // namespace
}  // namespace corvane
