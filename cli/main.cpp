#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "logic/text/LocaleNames.h"

#ifdef CORVANE_CLI_SHEET
#include <QApplication>
#include <clocale>
#include <cstdio>
#include <memory>

#include "ui/sheet/CalculationSheetPdf.h"

namespace {

// Qt's own remarks (a missing runtime folder, ...) are not the batch
// tool's output; only its failures are.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "corvane-cli: %s\n", qPrintable(text));
}

// --sheet only: the views need an application object, started on the
// offscreen platform so that no display is needed.
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
#endif

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const corvane::Locale locale = corvane::LocaleFromEnvironment([](const char* name) { return std::getenv(name); });
    // The data commands find the stock files beside the program, as the
    // window does.
    corvane::DataCommandPlace place;
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    place.programFolder = error ? std::string(".") : self.parent_path().string();
    place.environment = [](const char* name) -> const char* { return std::getenv(name); };
    corvane::SheetDrawer drawer;
#ifdef CORVANE_CLI_SHEET
    std::unique_ptr<QApplication> app;  // made by the first sheet, ended before the program's statics
    drawer = [&app, &argc, argv](const corvane::CalculationSheet& sheet) { return DrawSheet(sheet, app, argc, argv); };
#endif
    return static_cast<int>(corvane::RunCli(args, std::cout, std::cerr, locale, place, drawer));
}
