// The calculation sheet as a PDF (read back with poppler's pdftotext,
// pdfinfo and pdffonts) and the analysis window's Fittings tab.

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QChart>
#include <QGraphicsScene>
#include <QScatterSeries>
#include <QApplication>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "logic/model/analysis/SecondOpinion.h"
#include "logic/model/sheets/CalculationSheet.h"
#include "logic/text/NumberText.h"
#include "tests/logic/PanelTestSupport.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/AnalysisWindow.h"
#include "ui/CalcPanel.h"
#include "ui/MainWindow.h"
#include "ui/sheet/CalculationSheetPdf.h"
#include "ui/sheet/ChartRender.h"

namespace corvane {
namespace {

// The standard output of a command.
std::string Run(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return out;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe.get())) out.append(buffer, n);
    return out;
}

std::string Text(const std::string& pdf) { return Run("pdftotext -layout '" + pdf + "' -"); }
std::string Info(const std::string& pdf) { return Run("pdfinfo '" + pdf + "'"); }

// Each font of the document, and whether it is embedded.
std::vector<std::pair<std::string, bool>> Fonts(const std::string& pdf) {
    std::vector<std::pair<std::string, bool>> fonts;
    std::istringstream lines(Run("pdffonts '" + pdf + "'"));
    std::string line;
    for (int i = 0; std::getline(lines, line); ++i) {
        if (i < 2 || line.size() < 70) continue;  // the heading and its rule
        std::istringstream words(line);
        std::string name, word;
        words >> name;
        std::vector<std::string> rest;
        while (words >> word) rest.push_back(word);
        // name, type..., encoding, emb, sub, uni, object, id
        if (rest.size() >= 5) fonts.emplace_back(name, rest[rest.size() - 5] == "yes");
    }
    return fonts;
}

int Pages(const std::string& info) {
    const auto at = info.find("Pages:");
    return at == std::string::npos ? 0 : std::stoi(info.substr(at + 6));
}

// The text on one line, without the runs of spaces that -layout puts
// between columns.
std::string Squeezed(std::string text) {
    std::string out;
    for (char c : text) {
        if (c == '\n' || c == '\f') c = ' ';
        if (c == ' ' && !out.empty() && out.back() == ' ') continue;
        out += c;
    }
    return out;
}

std::string WritePdf(const CalculationSheet& sheet, const QTemporaryDir& dir, const std::string& name) {
    const auto pdf = CalculationSheetPdf(sheet);
    if (!pdf) return {};
    const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
    std::ofstream(path, std::ios::binary) << pdf->toStdString();
    return path;
}

const char* const kSections[] = {"1 The case", "2 The method", "3 Intermediate values", "4 The result",
                                 "5 System curve and Moody diagram"};

class CalculationSheetTest : public test::UiTest {
protected:
    QTemporaryDir dir_;
};

TEST_F(CalculationSheetTest, EveryPanelLiquidAndGasReadsAsACompleteCalculation) {
    for (const bool gas : {false, true}) {
        for (PanelKind kind : {PanelKind::PressureDrop, PanelKind::Flow, PanelKind::Diameter, PanelKind::Length}) {
            SCOPED_TRACE(std::to_string(PanelDigit(kind)) + (gas ? " gas" : " liquid"));
            PanelModel p(kind, Locale{});
            if (gas) {
                p.useFluid(test::Air());
                p.setText(Ctl::Barg_RightEdit, "6.000");
                if (kind != PanelKind::PressureDrop) p.setText(Ctl::AllowablePressureLoss_RightEdit, "0.500");
            }
            p.setFittingsString(test::Fittings({0, 0, 0, 0}, {{1, 2}, {16, 1}}));
            ASSERT_FALSE(p.calculate());
            const std::string pdf = WritePdf(MakeCalculationSheet(p, "case.PW" + std::to_string(PanelDigit(kind)),
                                                                  "2026-12-09"),
                                             dir_, "sheet.pdf");
            ASSERT_FALSE(pdf.empty());
            const std::string text = Squeezed(Text(pdf));
            for (const char* section : kSections) EXPECT_NE(text.find(section), std::string::npos) << section;
            EXPECT_NE(text.find("Corvane " + ProgramNameAndVersion().substr(8)), std::string::npos);
            EXPECT_NE(text.find("2026-12-09"), std::string::npos);
            EXPECT_NE(text.find("Panel file: case.PW"), std::string::npos);
            // The result as the panel shows it, and what it came from.
            const Ctl result = kind == PanelKind::PressureDrop ? Ctl::mHd_RightEdit
                               : kind == PanelKind::Flow       ? Ctl::FlowrateLMin_RightEdit
                               : kind == PanelKind::Diameter   ? Ctl::PipeDiameter_RightEdit
                                                               : Ctl::PipeLength_RightEdit;
            EXPECT_NE(text.find(" " + p.text(result) + " "), std::string::npos) << p.text(result);
            EXPECT_NE(text.find("Reynold's number " + p.text(Ctl::ReynoldsNumber_RightEdit)), std::string::npos);
            const double d = kind == PanelKind::Diameter ? ReadEntryNumber(p.text(result), Locale{}) : 25.0;
            EXPECT_NE(text.find("Standard bend 2 " + SizeBandText(d)), std::string::npos);
            EXPECT_NE(text.find("Head lost in the fittings"), std::string::npos);
            EXPECT_NE(text.find("K by 3-K"), std::string::npos);
            EXPECT_NE(text.find("against flow"), std::string::npos);  // the plots, as text
            EXPECT_NE(text.find("Moody diagram"), std::string::npos);
            EXPECT_EQ(text.find("Isothermal equation") != std::string::npos, gas);
            if (kind == PanelKind::Flow || kind == PanelKind::Diameter)
                EXPECT_NE(text.find("passes were needed"), std::string::npos);
            const std::string info = Info(pdf);
            EXPECT_GE(Pages(info), 2);
            EXPECT_NE(info.find("(A4)"), std::string::npos);
            EXPECT_NE(text.find("Page 1 of " + std::to_string(Pages(info))), std::string::npos);
            const auto fonts = Fonts(pdf);
            ASSERT_FALSE(fonts.empty());
            for (const auto& [name, embedded] : fonts) EXPECT_TRUE(embedded) << name;
        }
    }
}

TEST_F(CalculationSheetTest, LetterForUsEnglishAndTheLocalesDecimalSeparator) {
    PanelModel us(PanelKind::Length, test::UsLocale());
    ASSERT_FALSE(us.calculate());
    const std::string letter = WritePdf(MakeCalculationSheet(us, "", "2026-12-09"), dir_, "us.pdf");
    EXPECT_NE(Info(letter).find("(letter)"), std::string::npos);
    EXPECT_NE(Squeezed(Text(letter)).find("Panel file: (not saved)"), std::string::npos);

    PanelModel comma(PanelKind::Flow, CommaLocale());
    ASSERT_FALSE(comma.calculate());
    const std::string a4 = WritePdf(MakeCalculationSheet(comma, "f.PW2", "2026-12-09"), dir_, "comma.pdf");
    const std::string text = Squeezed(Text(a4));
    ASSERT_NE(comma.text(Ctl::FlowrateLMin_RightEdit).find(','), std::string::npos);
    EXPECT_NE(text.find(" " + comma.text(Ctl::FlowrateLMin_RightEdit) + " "), std::string::npos);
    EXPECT_NE(text.find("g = 9,81 m/s"), std::string::npos);
    EXPECT_EQ(text.find("9.81"), std::string::npos);
}

// A fluid name of 600,000 characters without a blank is drawn in a time
// that grows with its length (with its square, it took most of a minute).
TEST_F(CalculationSheetTest, ALongNameIsDrawnInLinearTime) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    ASSERT_FALSE(p.calculate());
    CalculationSheet sheet = MakeCalculationSheet(p, "long.PW1", "2026-12-09");
    const auto xs = [](const std::string& text) { return std::count(text.begin(), text.end(), 'x'); };
    const auto without = xs(Text(WritePdf(sheet, dir_, "short.pdf")));
    sheet.sections.front().blocks.push_back(SheetParagraph(std::string(600000, 'x')));
    const auto start = std::chrono::steady_clock::now();
    const std::string pdf = WritePdf(sheet, dir_, "long.pdf");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_GT(xs(Text(pdf)) - without, 5000);  // as much as its page holds
}

// The names of the Moody family as the sheet draws them (its chart's size
// and font): measured with the font, none touches another.
TEST_F(CalculationSheetTest, MoodyNamesDoNotOverlap) {
    for (const char* diameter : {"25.000", "300.000"}) {
        PanelModel p(PanelKind::PressureDrop, Locale{});
        p.setText(Ctl::IDmm_RightEdit, diameter);
        ASSERT_FALSE(p.calculate());
        QGraphicsScene scene;
        auto* chart = new QChart;
        chart->setAnimationOptions(QChart::NoAnimation);
        scene.addItem(chart);
        chart->resize(640, 640 * 0.62);
        QFont font;
        font.setFamilies({"Liberation Sans", "Arial"});
        font.setPointSizeF(8);
        Render(chart, MoodyPicture(p), font);
        QCoreApplication::sendPostedEvents();
        const QFontMetricsF metrics(font);
        std::vector<std::pair<QString, QRectF>> names;
        for (QAbstractSeries* series : chart->series()) {
            auto* label = qobject_cast<QScatterSeries*>(series);
            if (!label || label->markerSize() > 1 || label->count() != 1) continue;
            const QPointF at = chart->mapToPosition(label->at(0), label);
            const QString text = label->pointLabelsFormat();
            const double w = metrics.horizontalAdvance(text), h = metrics.height();
            names.emplace_back(text, QRectF(at.x() - w / 2, at.y() - h - 2, w, h));
            EXPECT_TRUE(chart->plotArea().adjusted(-2, -h, 2, 0).contains(names.back().second)) << text.toStdString();
        }
        EXPECT_EQ(names.size(), MoodyRoughnessFamily().size());
        for (std::size_t i = 0; i < names.size(); ++i)
            for (std::size_t j = i + 1; j < names.size(); ++j)
                EXPECT_FALSE(names[i].second.intersects(names[j].second))
                    << names[i].first.toStdString() << " and " << names[j].first.toStdString();
    }
}

class SheetWindowTest : public test::MainWindowTest {
protected:
    QTemporaryDir dir_;
};

TEST_F(SheetWindowTest, FileMenuExportsThePanelInView) {
    auto* exportSheet = window_->findChild<QAction*>("ExportCalculationSheet1");
    ASSERT_TRUE(exportSheet);
    EXPECT_EQ(exportSheet->text(), QString::fromUtf8("&Export calculation sheet of Find pressure drop\u2026"));
    window_->panel(1)->setFocus();
    window_->findChild<QWidget*>("IDmm_RightEdit1")->setFocus();
    QApplication::processEvents();
    // No results: said so, nothing asked.
    exportSheet->trigger();
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].text, kSheetNeedsResultText);
    // Saved as a panel file first: the sheet names it.
    const std::string panelFile = dir_.filePath("pump-line.PW1").toStdString();
    platform_.saveAnswers.push_back(panelFile);
    window_->panel(1)->saveFile();
    window_->panel(1)->calculate();
    const std::string pdf = dir_.filePath("sheet.pdf").toStdString();
    platform_.saveAnswers.push_back(pdf);
    exportSheet->trigger();
    EXPECT_EQ(platform_.messages.size(), 1u);
    const std::string text = Squeezed(Text(pdf));
    EXPECT_NE(text.find("Panel file: pump-line.PW1"), std::string::npos);
    EXPECT_NE(text.find("Pressure drop " + window_->model(1).text(Ctl::mHd_RightEdit) + " m hd"), std::string::npos);
    // Cancelled: nothing written, nothing said.
    platform_.saveAnswers.push_back(std::nullopt);
    exportSheet->trigger();
    EXPECT_EQ(platform_.messages.size(), 1u);
    // Over the panel file it shows (here through a link): refused, the
    // panel file kept.
    const std::string link = dir_.filePath("link.pdf").toStdString();
    ASSERT_TRUE(QFile::link(QString::fromStdString(panelFile), QString::fromStdString(link)));
    const QByteArray before = [&] {
        QFile f(QString::fromStdString(panelFile));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    platform_.saveAnswers.push_back(link);
    exportSheet->trigger();
    ASSERT_EQ(platform_.messages.size(), 2u);
    EXPECT_EQ(platform_.messages[1].kind, MessageKind::Error);
    EXPECT_EQ(platform_.messages[1].text, "The calculation sheet cannot be written over the panel file it shows:\r" +
                                              link + "\rChoose another name for the sheet.");
    QFile after(QString::fromStdString(panelFile));
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
}

}  // namespace
}  // namespace corvane
