// The control valve sizing dialog: opened from the Tools menu; a liquid and a
// gas case typed in give what corvane-cli valve size --json gives; a refused
// entry keeps its text and says why beside it; units switch there and back;
// every control is named and reached by Tab; and the calculation sheet,
// read back from the PDF, checks out equation by equation.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <regex>

#include "tests/ui/MainWindowFixture.h"
#include "ui/dialogs/ValveSizingDialog.h"
#include "ui/sheet/CalculationSheetPdf.h"

namespace corvane::test {
namespace {

using F = ValveField;

std::string Output(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    char buffer[4096];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe.get())) out += buffer;
    return out;
}

// A case as typed into the dialog and as given to corvane-cli.
struct Entry {
    F field;
    const char* text;
    const char* option;  // nullptr: the dialog's only
};
struct ValveCase {
    const char* name;
    bool gas;
    std::vector<Entry> entries;
    std::vector<std::string> more;  // corvane-cli's words beyond the entries
};

// The standard's example 1 with an expander to 200 mm (turbulent, FP
// iteration), example 3 (carbon dioxide through reducers), and a viscous
// oil in laminar flow (the FR trials).
const ValveCase kCases[] = {
    {"water_with_reducers", false,
     {{F::UpstreamPressure, "6.8", "--p1"}, {F::DownstreamPressure, "2.2", "--p2"}, {F::LiquidFlow, "360", "--flow"},
      {F::RelativeDensity, "0.9654", nullptr}, {F::LiquidViscosity, "0.326", "--viscosity"},
      {F::VapourPressure, "0.701", "--vapour-pressure"}, {F::CriticalPressure, "221.2", "--critical-pressure"},
      {F::FL, "0.9", "--fl"}, {F::Fd, "0.46", "--fd"}, {F::Size, "150", "--size"}, {F::InletPipe, "150", "--inlet-pipe"},
      {F::OutletPipe, "200", "--outlet-pipe"}},
     {"--liquid", "--density", "965.4"}},
    {"carbon_dioxide", true,
     {{F::UpstreamPressure, "6.8", "--p1"}, {F::DownstreamPressure, "3.1", "--p2"}, {F::GasFlow, "3800", "--normal-flow"},
      {F::MolarMass, "44.01", "--molar-mass"}, {F::Gamma, "1.3", "--gamma"}, {F::Compressibility, "0.988", "--z"},
      {F::Temperature, "159.85", "--temperature"}, {F::GasViscosity, "146.65", "--viscosity"}, {F::FL, "0.85", "--fl"},
      {F::Fd, "0.42", "--fd"}, {F::XT, "0.6", "--xt"}, {F::Size, "50", "--size"}, {F::InletPipe, "80", "--inlet-pipe"},
      {F::OutletPipe, "100", "--outlet-pipe"}},
     {"--gas"}},
    {"viscous_oil", false,
     {{F::UpstreamPressure, "5", "--p1"}, {F::DownstreamPressure, "4", "--p2"}, {F::LiquidFlow, "2", "--flow"},
      {F::RelativeDensity, "0.9", nullptr}, {F::LiquidViscosity, "460", "--viscosity"},
      {F::VapourPressure, "0.01", "--vapour-pressure"}, {F::CriticalPressure, "20", "--critical-pressure"},
      {F::FL, "0.9", "--fl"}, {F::Fd, "0.46", "--fd"}, {F::Size, "25", "--size"}, {F::InletPipe, "25", "--inlet-pipe"},
      {F::OutletPipe, "25", "--outlet-pipe"}},
     {"--liquid", "--density", "900"}},
};

class ValveDialogTest : public UiTest, public ::testing::WithParamInterface<ValveCase> {
protected:
    void SetUp() override {
        UiTest::SetUp();
        ValveDialogServices services;
        services.platform = &platform_;
        services.drawSheet = [](const CalculationSheet& sheet) -> std::optional<std::string> {
            if (const auto pdf = CalculationSheetPdf(sheet)) return pdf->toStdString();
            return std::nullopt;
        };
        dialog_ = std::make_unique<ValveSizingDialog>(Locale{}, services);
        dialog_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
    }
    void type(F f, const char* text) {
        QLineEdit* e = dialog_->edit(f);
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, text);
    }
    void typeCase(const ValveCase& c) {
        if (c.gas) QTest::mouseClick(dialog_->findChild<QRadioButton*>("GasRadio"), Qt::LeftButton);
        for (const Entry& e : c.entries) type(e.field, e.text);
    }
    QString cell(int row, int column) const {
        const QTableWidgetItem* item = dialog_->findChild<QTableWidget*>("ResultTable")->item(row, column);
        return item ? item->text() : QString();
    }
    std::unique_ptr<ValveSizingDialog> dialog_;
};

TEST_P(ValveDialogTest, ResultEqualsTheCommandLine) {
    const ValveCase& c = GetParam();
    typeCase(c);
    const auto& result = dialog_->model().result();
    ASSERT_TRUE(result) << dialog_->model().status();
    std::string command = std::string(CORVANE_CLI) + " valve size --json";
    for (const std::string& w : c.more) command += " " + w;
    for (const Entry& e : c.entries)
        if (e.option) command += std::string(" ") + e.option + " " + e.text;
    const auto json = nlohmann::json::parse(Output(command));
    EXPECT_NEAR(result->kv, json["kv"].get<double>(), 1e-12 * result->kv);
    EXPECT_NEAR(result->fp, json["fp"].get<double>(), 1e-12);
    EXPECT_NEAR(result->fr, json["fr"].get<double>(), 1e-12);
    EXPECT_EQ(result->choked, json["choked"].get<bool>());
    EXPECT_EQ(ValveRegimeName(result->regime), json["regime"].get<std::string>());
    EXPECT_EQ(cell(0, 0), "Kv");
    EXPECT_EQ(cell(0, 1).toStdString(), ValveNumberText(json["kv"].get<double>(), Locale{}));
    EXPECT_EQ(cell(1, 1).toStdString(), ValveNumberText(json["cv"].get<double>(), Locale{}));
}

// Every printed equation, fed with the printed values, gives the printed
// result (to the six digits printed).
double Printed(const std::string& text, const std::string& symbol) {
    static const std::map<std::string, char> kDigits = {
        {"\u2070", '0'}, {"\u00b9", '1'}, {"\u00b2", '2'}, {"\u00b3", '3'}, {"\u2074", '4'}, {"\u2075", '5'},
        {"\u2076", '6'}, {"\u2077", '7'}, {"\u2078", '8'}, {"\u2079", '9'}, {"\u207b", '-'}};
    const std::string escaped = std::regex_replace(symbol, std::regex(R"([.+()^$|\[\]*?{}\\/])"), R"(\$&)");
    const std::regex row("(?:^|\\s)" + escaped + R"(\s+(-?[0-9]+\.?[0-9]*)(?: × 10((?:\xE2\x81[\xB0-\xBB]|\xC2[\xB9\xB2\xB3])+))?)");
    std::smatch m;
    if (!std::regex_search(text, m, row)) {
        ADD_FAILURE() << "no printed " << symbol;
        return std::nan("");
    }
    double v = std::stod(m[1]);
    std::string power = m[2], exponent;
    for (std::size_t i = 0; i < power.size();) {
        const std::size_t n = (power[i] & 0xE0) == 0xC0 ? 2 : 3;
        exponent += kDigits.at(power.substr(i, n));
        i += n;
    }
    return exponent.empty() ? v : v * std::pow(10.0, std::stoi(exponent));
}

void Agrees(double computed, double printed, const char* what) {
    EXPECT_NEAR(computed, printed, 2e-5 * std::fabs(printed)) << what;
}

TEST_P(ValveDialogTest, SheetChecksOutByHand) {
    const ValveCase& c = GetParam();
    typeCase(c);
    ASSERT_TRUE(dialog_->model().result());
    QTemporaryDir dir;
    const std::string pdf = dir.filePath("valve.pdf").toStdString();
    platform_.saveAnswers.push_back(pdf);
    dialog_->exportSheet();
    ASSERT_TRUE(platform_.messages.empty()) << platform_.messages.front().text;
    const std::string whole = Output("pdftotext -layout '" + pdf + "' -");
    // The values as section 3 prints them.
    const auto from = whole.find("3 Intermediate values"), to = whole.find("4 The result");
    ASSERT_TRUE(from != std::string::npos && to != std::string::npos) << whole;
    const std::string text = whole.substr(from, to - from);
    auto p = [&](const std::string& s) { return Printed(text, s); };
    const double n1 = 1, n2 = 1.6e-3, n4 = 7.07e-2, n5 = 1.8e-3, n9 = 2460, n32 = 140;
    const double p1 = p("p1"), p2 = p("p2"), fl = p("FL"), fd = p("Fd"), d = p("d"), d1 = p("D1"), d2 = p("D2");
    Agrees(p1 - p2, p("\u0394p"), "drop");
    const double c0 = p("C0"), kv = p("Kv");
    Agrees(kv / 0.865, p("Cv"), "Cv");
    // The Reynolds number at C0.
    const double qnu = p("Q/\u03bd");
    Agrees(n4 * fd * qnu / std::sqrt(c0 * fl) * std::pow(fl * fl * c0 * c0 / (n2 * std::pow(d1, 4)) + 1, 0.25),
           p("Rev0"), "Rev at C0");
    double fp = 1;
    if (text.find("\u03a3\u03b6") != std::string::npos && text.find("With the reducers") != std::string::npos) {
        const double a = d / d1, b = d / d2;
        Agrees(0.5 * std::pow(1 - a * a, 2), p("\u03b61"), "zeta1");
        Agrees(std::pow(1 - b * b, 2), p("\u03b62"), "zeta2");
        Agrees(p("\u03b61") + p("\u03b62") + p("\u03b6B1") - p("\u03b6B2"), p("\u03a3\u03b6"), "sum zeta");
        Agrees(kv / (d * d), p("C/d\u00b2"), "C/d2");
        fp = 1 / std::sqrt(1 + p("\u03a3\u03b6") / n2 * std::pow(p("C/d\u00b2"), 2));
        Agrees(fp, p("FP"), "FP");
        fp = p("FP");
    }
    if (!c.gas) {
        const double rho = p("\u03c11/\u03c10"), q = p("Q"), pv = p("pv"), pc = p("pc");
        const double ff = 0.96 - 0.28 * std::sqrt(pv / pc);
        Agrees(ff, p("FF"), "FF");
        Agrees(fl * fl * (p1 - p("FF") * pv), p("\u0394p_ch0"), "choked drop without reducers");
        const bool chokedPlain = p1 - p2 >= p("\u0394p_ch0");
        Agrees(chokedPlain ? q / (n1 * fl) * std::sqrt(rho / (p1 - p("FF") * pv)) : q / n1 * std::sqrt(rho / (p1 - p2)), c0,
               "C0 by (1) or (3)");
        Agrees(q / (p("\u03bd")) , qnu, "Q/nu");
        if (fp != 1) {
            const double flp = fl / std::sqrt(1 + fl * fl / n2 * (p("\u03b61") + p("\u03b6B1")) * std::pow(p("C/d\u00b2"), 2));
            Agrees(flp, p("FLP"), "FLP");
            const double dpch = std::pow(p("FLP") / fp, 2) * (p1 - p("FF") * pv);
            Agrees(dpch, p("\u0394p_ch"), "choked drop with reducers");
            Agrees(p1 - p2 >= dpch ? q / (n1 * p("FLP")) * std::sqrt(rho / (p1 - p("FF") * pv))
                                   : q / (n1 * fp) * std::sqrt(rho / (p1 - p2)),
                   kv, "C with reducers");
        }
    } else {
        const double x = p("x"), fg = p("F\u03b3"), xt = p("xT");
        Agrees((p1 - p2) / p1, x, "x");
        Agrees(p("\u03b3") / 1.4, fg, "Fgamma");
        Agrees(fg * xt, p("x_ch0"), "x choked without reducers");
        const double m = p("M"), z = p("Z"), t1 = p("T1"), q = p("Q");
        Agrees(1.01325e5 * m * 1e-3 / (8.314462618 * 273.15), p("\u03c1"), "density at 0 degC");
        Agrees(q * p("\u03c1"), p("W"), "mass flow");
        Agrees(p("W") / p("\u03bc"), qnu, "W/mu");
        const double y0 = x >= p("x_ch0") ? 2.0 / 3 : 1 - x / (3 * p("x_ch0"));
        Agrees(y0, p("Y0"), "Y without reducers");
        Agrees(q / (n9 * p1 * p("Y0")) * std::sqrt(m * t1 * z / std::min(x, p("x_ch0"))), c0, "C0 by (8a)");
        if (fp != 1) {
            const double xtp = xt / (fp * fp) / (1 + xt * (p("\u03b61") + p("\u03b6B1")) / n5 * std::pow(p("C/d\u00b2"), 2));
            Agrees(xtp, p("xTP"), "xTP");
            Agrees(fg * p("xTP"), p("x_ch"), "x choked");
            const double y = x >= p("x_ch") ? 2.0 / 3 : 1 - x / (3 * p("x_ch"));
            Agrees(y, p("Y"), "Y");
            Agrees(q / (n9 * fp * p1 * p("Y")) * std::sqrt(m * t1 * z / std::min(x, p("x_ch"))), kv, "C by (11a)");
        }
    }
    if (text.find("the accepted trial") != std::string::npos) {
        const double ci = p("Ci"), k = p("k");
        Agrees(std::pow(1.3, k) * c0, ci, "Ci = 1.3^k C0");
        Agrees(ci, kv, "Kv is the accepted trial");
        const double ratio = ci / (d * d);
        Agrees(ratio, p("C/d\u00b2"), "C/d2 at Ci");
        Agrees(n2 / std::pow(std::min(ratio, 0.04), 2), p("n"), "n, full trim");
        (void)n32;
        const double rev = n4 * fd * qnu / std::sqrt(ci * fl) * std::pow(fl * fl * ci * ci / (n2 * std::pow(d1, 4)) + 1, 0.25);
        Agrees(rev, p("Rev"), "Rev at Ci");
        const double n = p("n");
        const double laminar = std::min(0.026 / fl * std::sqrt(n * rev), 1.0);
        const double transitional = 1 + 0.33 * std::sqrt(fl) / std::pow(n, 0.25) * std::log10(rev / 10000);
        Agrees(rev < 10 ? laminar : std::min(laminar, transitional), p("FR"), "FR");
        EXPECT_LE(c0 / p("FR"), ci * (1 + 1e-5));
        EXPECT_GT(c0 / p("FR"), ci / 1.3);  // the trial before was not accepted
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ValveDialogTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

class ValveDialogControls : public ValveDialogTest {};

TEST_F(ValveDialogControls, RefusedEntryKeepsItsTextAndSaysWhy) {
    type(F::FL, "1.2");
    EXPECT_EQ(dialog_->edit(F::FL)->text(), "1.2");
    auto* fault = dialog_->findChild<QLabel*>("FLFault");
    ASSERT_TRUE(fault);
    EXPECT_TRUE(fault->isVisible());
    EXPECT_EQ(fault->text(), "The value must be above 0 and at most 1.");
    EXPECT_EQ(dialog_->findChild<QTableWidget*>("ResultTable")->rowCount(), 0);
    EXPECT_TRUE(dialog_->findChild<QLabel*>("StatusLabel")->isVisible());
    type(F::FL, "0.9");
    EXPECT_FALSE(fault->isVisible());
    EXPECT_GT(dialog_->findChild<QTableWidget*>("ResultTable")->rowCount(), 10);
}

TEST_F(ValveDialogControls, UnitsSwitchThereAndBack) {
    type(F::UpstreamPressure, "10");
    const QString kv = cell(0, 1);
    QTest::mouseClick(dialog_->findChild<QRadioButton*>("ImperialRadio"), Qt::LeftButton);
    EXPECT_EQ(dialog_->edit(F::UpstreamPressure)->text(), "145.038");
    EXPECT_EQ(dialog_->edit(F::Size)->text(), "3.14961");
    EXPECT_EQ(cell(3, 2), "psi a");
    EXPECT_EQ(cell(0, 1), kv);
    QTest::mouseClick(dialog_->findChild<QRadioButton*>("MetricRadio"), Qt::LeftButton);
    EXPECT_EQ(dialog_->edit(F::UpstreamPressure)->text(), "10");
    EXPECT_EQ(dialog_->edit(F::Size)->text(), "80");
    EXPECT_EQ(cell(0, 1), kv);
}

TEST_F(ValveDialogControls, EveryControlNamedAndReachedByTab) {
    for (QWidget* w : dialog_->findChildren<QWidget*>()) {
        if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QAbstractButton*>(w) && !qobject_cast<QComboBox*>(w)) continue;
        // A list's own edit, a table's corner button.
        if (qobject_cast<QComboBox*>(w->parentWidget()) || qobject_cast<QTableWidget*>(w->parentWidget())) continue;
        EXPECT_FALSE(w->objectName().isEmpty()) << w->metaObject()->className();
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
    }
    // Tab from the first entry visits every entry of the liquid in order.
    std::vector<QString> seen;
    QWidget* w = dialog_->edit(F::UpstreamPressure);
    for (int i = 0; i < 40 && w; ++i, w = w->nextInFocusChain())
        if (w->isVisible() && w->focusPolicy() & Qt::TabFocus) seen.push_back(w->objectName());
    const QString wanted[] = {"UpstreamPressureEdit", "DownstreamPressureEdit", "LiquidFlowEdit", "TemperatureEdit",
                              "LiquidNameEdit", "WaterButton", "FluidDataButton", "RelativeDensityEdit", "FLEdit",
                              "OutletPipeEdit", "TrimCombo", "CopyResultsButton", "ExportSheetButton"};
    std::size_t at = 0;
    for (const QString& name : seen)
        if (at < std::size(wanted) && name == wanted[at]) ++at;
    EXPECT_EQ(at, std::size(wanted)) << "missing " << wanted[std::min(at, std::size(wanted) - 1)].toStdString();
}

TEST_F(ValveDialogControls, CopiesTextAndHtml) {
    QTest::mouseClick(dialog_->findChild<QPushButton*>("CopyResultsButton"), Qt::LeftButton);
    EXPECT_EQ(platform_.clipboardText, dialog_->model().copyText());
    EXPECT_EQ(platform_.clipboardHtml, dialog_->model().copyHtml());
    EXPECT_NE(platform_.clipboardText.find("Kv\t"), std::string::npos);
}

class ValveFromMenu : public MainWindowTest {};

TEST_F(ValveFromMenu, ToolsMenuOpensTheDialog) {
    auto* action = window_->findChild<QAction*>("ControlValveSizing1");
    ASSERT_TRUE(action);
    EXPECT_EQ(action->text(), "Control &valve sizing\u2026");
    action->trigger();
    auto* dialog = window_->findChild<ValveSizingDialog*>("ValveSizingDialog");
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), "Control valve sizing");
    EXPECT_FALSE(dialog->isModal());
    action->trigger();
    EXPECT_EQ(window_->findChildren<ValveSizingDialog*>().size(), 1);
    dialog->close();
}

}  // namespace
}  // namespace corvane::test
