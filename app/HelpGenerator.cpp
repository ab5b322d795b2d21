// Builds the help document from its HTML source: the worked examples are
// calculated by the program's own panels, their numbers written into the
// text and their pictures taken from the panels on screen.
//
//   corvane-helpgen SOURCE.html OUTPUT.pdf

#include <QApplication>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextDocument>
#include <clocale>
#include <cstdio>
#include <map>
#include <memory>

#include "app/Application.h"
#include "ui/CalcPanel.h"
#include "ui/PanelPicture.h"
#include "ui/platform/RecordingPlatform.h"

using namespace corvane;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: corvane-helpgen SOURCE.html OUTPUT.pdf\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    SetProgramFont(app);

    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "corvane-helpgen: cannot read %s\n", argv[1]);
        return 1;
    }
    QString html = QString::fromUtf8(source.readAll());

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
    std::map<QString, QImage> shots;
    auto example = [&](const QString& key, PanelKind kind, const std::function<void(PanelModel&)>& set) {
        auto model = std::make_unique<PanelModel>(kind, Locale{});
        set(*model);
        if (auto refusal = model->calculate())
            std::fprintf(stderr, "corvane-helpgen: example %s refused: %s\n", qPrintable(key), refusal->text.c_str());
        CalcPanel panel(*model, services);
        panel.show();
        QApplication::processEvents();
        shots[key] = PanelImage(&panel);
        models[key] = std::move(model);
    };
    for (int n = 1; n <= 4; ++n) example(QString::number(n), static_cast<PanelKind>(n), [](PanelModel&) {});
    example("1b", PanelKind::PressureDrop, [](PanelModel& m) { m.selectItem(Ctl::MhdBarComboBox, 1); });
    example("5", PanelKind::PressureDrop, [](PanelModel& m) {
        m.useFluid({"Air", "20\u00b0C (68\u00b0F)", "15.100000", "1.204700", true});
        m.editEntry(Ctl::VisibleFlowrateLMin_RightEdit, "1000.000");
        m.selectItem(Ctl::MhdBarComboBox, 1);
    });

    // {{key:Control}} -> the control's text on that example's panel.
    static const QRegularExpression field(QStringLiteral("\\{\\{([0-9a-z]+):([A-Za-z_]+)\\}\\}"));
    QString filled;
    qsizetype last = 0;
    for (auto it = field.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        filled += html.mid(last, m.capturedStart() - last);
        last = m.capturedEnd();
        const auto model = models.find(m.captured(1));
        QString text = "?";
        for (int c = 0; model != models.end() && c < kCtlCount; ++c)
            if (QString::fromLatin1(CtlBaseName(static_cast<Ctl>(c)).data()) == m.captured(2))
                text = QString::fromStdString(model->second->text(static_cast<Ctl>(c))).trimmed();
        if (text == "?") std::fprintf(stderr, "corvane-helpgen: no value for %s\n", qPrintable(m.captured(0)));
        filled += text.toHtmlEscaped();
    }
    filled += html.mid(last);

    QTextDocument document;
    document.setDefaultFont(QFont(app.font().family(), 10));
    for (const auto& [key, image] : shots)
        document.addResource(QTextDocument::ImageResource, QUrl("shot:" + key), image);
    document.setHtml(filled);

    QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
    pdf.setTitle("Corvane 1.12 - User guide");
    pdf.setCreator("Corvane");
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter);
    document.print(&pdf);
    std::printf("corvane-helpgen: wrote %s\n", argv[2]);
    return 0;
}
