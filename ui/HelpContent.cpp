#include "ui/HelpContent.h"

#include <QApplication>
#include <QBoxLayout>
#include <QChartView>
#include <QLabel>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextDocument>
#include <QUrl>
#include <functional>
#include <memory>

#include "logic/model/data/LiquidAtTemperature.h"
#include "logic/model/pumps/PumpModel.h"
#include "logic/model/valves/ValveSizingModel.h"
#include "logic/text/NumberText.h"
#include "ui/CalcPanel.h"
#include "ui/PanelPicture.h"
#include "logic/model/runs/RunEditor.h"
#include "ui/sheet/ChartRender.h"
#include "ui/platform/RecordingPlatform.h"

namespace corvane {

QString HelpSource() {
    QFile source(QStringLiteral(":/help/CorvaneHelp.html"));
    if (!source.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(source.readAll());
}

HelpContent MakeHelpContent(const QString& html) {
    HelpContent content;
    // The examples: the four panels with their start-up entries, panel 1
    // once more with the result in bar, and panel 1 with air.
    RecordingPlatform platform;
    PanelServices services;
    services.platform = &platform;
    // The pictures show every button as the program has it.
    services.askFittings = [](const std::string&) { return std::optional<std::string>(); };
    services.askFluid = [](std::optional<FluidGroup>) { return std::optional<FluidChoice>(); };
    services.askPipeDiameter = [](bool) { return std::optional<std::string>(); };
    services.askVelocityFlow = [](const PanelModel&, QWidget*) { return std::optional<std::string>(); };
    std::map<QString, std::unique_ptr<PanelModel>> models;
    auto example = [&](const QString& key, PanelKind kind, const std::function<void(PanelModel&)>& set) {
        auto model = std::make_unique<PanelModel>(kind, Locale{});
        set(*model);
        if (auto refusal = model->calculate()) content.missing << key + ": " + QString::fromStdString(refusal->text);
        CalcPanel panel(*model, services);
        panel.setAttribute(Qt::WA_DontShowOnScreen);
        panel.show();
        QApplication::processEvents();
        content.pictures[key] = PanelImage(&panel);
        models[key] = std::move(model);
    };
    for (int n = 1; n <= 4; ++n) example(QString::number(n), static_cast<PanelKind>(n), [](PanelModel&) {});
    example("1b", PanelKind::PressureDrop, [](PanelModel& m) { m.selectItem(Ctl::MhdBarComboBox, 1); });
    example("5", PanelKind::PressureDrop, [](PanelModel& m) {
        m.useFluid({"Air", "20\u00b0C (68\u00b0F)", "15.100000", "1.204700", true});
        m.editEntry(Ctl::VisibleFlowrateLMin_RightEdit, "1000.000");
        m.selectItem(Ctl::MhdBarComboBox, 1);
    });

    // A pump on the first example's pipe: {{pump:Caption}} -> its row's value
    // and unit (the caption without its blanks and capitals after the first),
    // {{pump:B}} and {{pump:C}} -> its fitted curve's factor and exponent.
    std::map<QString, QString> pump;
    {
        const PanelModel& panel = *models["1"];
        const PumpOnPanel at = SolvePumpOnPanel(panel, {{{0, 12}, {100, 10}, {200, 4}}, 1.0, 70.0});
        if (at.refusal) content.missing << "pump: " + QString::fromStdString(at.refusal->text);
        for (const PumpRow& row : PumpResultRows(panel, at)) {
            QString key = QString::fromStdString(row.caption).toLower().remove(' ');
            key[0] = key[0].toUpper();
            pump[key] = QString::fromStdString(row.value + (row.unit.empty() ? "" : " " + row.unit));
        }
        const auto [b, c] = PumpCurveFactorTexts(at.curve, Locale{});
        pump["B"] = QString::fromStdString(b);
        pump["C"] = QString::fromStdString(c);
    }

    // Water by IAPWS at 60 degC: {{water:Name}}, {{water:Viscosity}} (cSt),
    // {{water:Density}} (relative), {{water:Vapour}} (bar a), and the
    // method's {{water:Range}} and {{water:Method}}.
    std::map<QString, QString> water;
    {
        const LiquidAnswer answer = WaterAtTemperature(60, std::nullopt, Locale{});
        if (const auto* refusal = std::get_if<Refusal>(&answer)) content.missing << "water: " + QString::fromStdString(refusal->text);
        else {
            const auto& w = std::get<LiquidAtTemperature>(answer);
            water["Name"] = QString::fromStdString(w.name + " " + w.temperature);
            water["Viscosity"] = QString::fromStdString(w.viscosity);
            water["Density"] = QString::fromStdString(w.density);
            water["Vapour"] = QString::fromStdString(w.vapourPressure);
            water["Range"] = QString::fromStdString(w.range);
            water["Method"] = QString::fromStdString(w.method);
        }
    }
    // The pipe run of the help's worked example, calculated as the run
    // window calculates it: {{run:Key}} -> a number of its results, and
    // its grade lines as "shot:run".
    std::map<QString, QString> run;
    {
        QFile file(QStringLiteral(":/help/worked-run.cvrun"));
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        auto parsed = ParseRunDocument(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        if (auto* problem = std::get_if<std::string>(&parsed)) {
            content.missing << "run: " + QString::fromStdString(*problem);
        } else {
            RunEditor editor(Locale{}, {});
            editor.setDocument(std::get<RunDocument>(parsed));
            const RunOutcome& o = editor.outcome();
            if (o.status != RunStatus::Ok) content.missing << "run: " + QString::fromStdString(o.message);
            const Locale dot{};
            auto put = [&](const char* key, double value, int decimals) {
                run[key] = QString::fromStdString(WriteEntryNumber(value, decimals, dot).value_or("?"));
            };
            if (o.status == RunStatus::Ok && o.result.pump && o.result.transitions.size() == 2) {
                const RunResult& r = o.result;
                const PumpDuty& p = *r.pump;
                put("Flow", r.flow, 3);
                put("Head", p.head, 3);
                put("Fluidpower", p.fluidPowerW, 1);
                put("Shaftpower", p.shaftPowerW.value_or(0), 1);
                put("Npsha", p.npshAvailable.value_or(0), 3);
                put("Npshr", p.npshRequired.value_or(0), 3);
                put("Margin", p.npshMargin.value_or(0), 3);
                put("Ratio", p.npshRatio.value_or(0), 2);
                put("Totalloss", r.totalHeadLoss, 3);
                put("Velocity", r.sections[1].velocity, 3);
                put("Contraction", r.transitions[0].k, 4);
                put("Expansion", r.transitions[1].k, 4);
                put("Inletpressure", r.nodes[1].pressure, 4);
                put("Discharge", r.nodes[2].pressure, 4);
            }
            // The grade lines as the window draws them, the key below, at
            // the width of a page.
            QWidget picture;
            picture.setAttribute(Qt::WA_DontShowOnScreen);
            auto* layout = new QVBoxLayout(&picture);
            auto* chart = new QChartView(&picture);
            chart->setRenderHint(QPainter::Antialiasing);
            chart->setFixedSize(520, 330);
            const ChartPicture lines = editor.gradeLinePicture();
            Render(chart->chart(), lines, QApplication::font());
            chart->chart()->legend()->hide();
            auto* key = new QLabel(LegendHtml(lines), &picture);
            key->setWordWrap(true);
            key->setFixedWidth(520);
            layout->addWidget(chart);
            layout->addWidget(key);
            picture.show();
            QApplication::processEvents();
            content.pictures["run"] = picture.grab().toImage();
        }
    }
    // The control valve dialog's two worked cases: {{valve:LiquidKv}},
    // {{valve:GasFP}} ... (the result row's caption without its blanks), and
    // the liquid's entries found by IAPWS ({{valve:LiquidVapourpressure}} ...).
    std::map<QString, QString> valve;
    {
        auto put = [&](const QString& prefix, const ValveSizingModel& m) {
            if (!m.result()) content.missing << "valve: " + QString::fromStdString(m.status());
            for (const ValveRow& row : m.resultRows())
                valve[prefix + QString::fromStdString(row.caption).remove(' ')] = QString::fromStdString(row.value);
            for (ValveField f : {ValveField::RelativeDensity, ValveField::LiquidViscosity, ValveField::VapourPressure})
                valve[prefix + QString::fromUtf8(ValveSizingModel::Caption(f)).remove('&').remove(' ')] =
                    QString::fromStdString(m.text(f));
        };
        // The liquid: the case the dialog opens with (water at 20 degC by IAPWS).
        put("Liquid", ValveSizingModel(Locale{}));
        // The gas: the standard's example 3, carbon dioxide through reducers.
        ValveSizingModel gas(Locale{});
        gas.setGas(true);
        gas.setGasFlowForm(GasFlowForm::Normal);
        for (const auto& [f, text] : {std::pair{ValveField::UpstreamPressure, "6.8"}, {ValveField::DownstreamPressure, "3.1"},
                                      {ValveField::GasFlow, "3800"}, {ValveField::MolarMass, "44.01"},
                                      {ValveField::Gamma, "1.3"}, {ValveField::Compressibility, "0.988"},
                                      {ValveField::Temperature, "159.85"}, {ValveField::GasViscosity, "146.65"},
                                      {ValveField::FL, "0.85"}, {ValveField::Fd, "0.42"}, {ValveField::XT, "0.6"},
                                      {ValveField::Size, "50"}, {ValveField::InletPipe, "80"}, {ValveField::OutletPipe, "100"}})
            gas.setText(f, text);
        put("Gas", gas);
    }
    const std::map<QString, const std::map<QString, QString>*> named{
        {"pump", &pump}, {"water", &water}, {"run", &run}, {"valve", &valve}};

    // {{key:Control}} -> the control's text on that example's panel.
    static const QRegularExpression field(QStringLiteral("\\{\\{([0-9a-z]+):([A-Za-z_]+)\\}\\}"));
    qsizetype last = 0;
    for (auto it = field.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        content.html += html.mid(last, m.capturedStart() - last);
        last = m.capturedEnd();
        const auto model = models.find(m.captured(1));
        QString text = "?";
        if (const auto values = named.find(m.captured(1)); values != named.end() && values->second->count(m.captured(2)))
            text = values->second->at(m.captured(2));
        for (int c = 0; model != models.end() && c < kCtlCount; ++c)
            if (QString::fromLatin1(CtlBaseName(static_cast<Ctl>(c)).data()) == m.captured(2))
                text = QString::fromStdString(model->second->text(static_cast<Ctl>(c))).trimmed();
        if (text == "?") content.missing << m.captured(0);
        content.html += text.toHtmlEscaped();
    }
    content.html += html.mid(last);
    return content;
}

void LoadHelp(QTextDocument& document, const HelpContent& content) {
    for (const auto& [key, image] : content.pictures)
        document.addResource(QTextDocument::ImageResource, QUrl("shot:" + key), image);
    document.setHtml(content.html);
}

bool WriteHelpPdf(const HelpContent& content, const QString& path, const QString& fontFamily) {
    QTextDocument document;
    document.setDefaultFont(QFont(fontFamily, 10));
    LoadHelp(document, content);
    QPdfWriter pdf(path);
    pdf.setTitle("Corvane 1.12 - User guide");
    pdf.setCreator("Corvane");
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(kHelpMarginMm, kHelpMarginMm, kHelpMarginMm, kHelpMarginMm), QPageLayout::Millimeter);
    document.print(&pdf);
    return QFileInfo(path).size() > 0;
}

}  // namespace corvane
