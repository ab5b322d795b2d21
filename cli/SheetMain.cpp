// corvane-sheet: corvane-cli with the views, which draw the calculation
// sheet.  corvane-cli hands --sheet to it; everything else works here too.

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <memory>

#include "cli/Cli.h"
#include "ui/sheet/CalculationSheetPdf.h"

namespace {

// Qt's own remarks (a missing runtime folder, ...) are not the batch
// tool's output; only its failures are.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "corvane-cli: %s\n", qPrintable(text));
}

// The views need an application object, started on the offscreen platform
// so that no display is needed.
std::optional<std::string> DrawSheet(const corvane::CalculationSheet& sheet, std::unique_ptr<QApplication>& app,
                                     int& argc, char** argv) {
    if (!app) {
        qInstallMessageHandler(QuietMessages);
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
        // QApplication switches the C library to the user's locale; number
        // text is ours to format.
        std::setlocale(LC_NUMERIC, "C");
    }
    const auto pdf = corvane::CalculationSheetPdf(sheet);
    if (!pdf) return std::nullopt;
    return pdf->toStdString();
}

}  // namespace

int main(int argc, char** argv) {
    std::unique_ptr<QApplication> app;  // made by the first sheet, ended before the program's statics
    return corvane::CliMain(argc, argv, [&app, &argc, argv](const corvane::CalculationSheet& sheet) {
        return DrawSheet(sheet, app, argc, argv);
    });
}
