#include "app/Application.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/SingleInstance.h"
#include "logic/io/FileIo.h"
#include "logic/io/FileLock.h"
#include "logic/io/Outputs.h"
#include "logic/io/Settings.h"
#include "logic/model/pumps/DataBaseFiles.h"
#include "logic/model/pumps/PumpLibrary.h"
#include "logic/model/settings/UserChoices.h"
#include "ui/MainWindow.h"
#include "ui/SplashWindow.h"
#include "ui/dialogs/ConversionDialogs.h"
#include "ui/dialogs/FittingsDialog.h"
#include "ui/dialogs/FluidDatabaseDialog.h"
#include "ui/dialogs/GasViscosityDialog.h"
#include "ui/dialogs/PipeDiameterDialog.h"
#include "ui/dialogs/SheetTitleDialog.h"
#include "ui/dialogs/VelFlowDiameterDialog.h"
#include "ui/platform/QtPlatform.h"
#include "ui/widgets/Glyphs.h"
#include "ui/widgets/ProgramStyle.h"

namespace corvane {

namespace {

std::vector<std::string> LocalPaths(const QStringList& files) {
    std::vector<std::string> paths;
    for (const QString& f : files) paths.push_back(QFile::encodeName(f).toStdString());
    return paths;
}

}  // namespace

void SetProgramFont(QApplication& app) {
    // Arial, or its metric twin where Arial is not installed (asking for
    // the twin by name spares the font substitution at start-up).
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPixelSize(11);
    app.setFont(font);
}

CommandLine ReadCommandLine(const QStringList& arguments, const QString& folder) {
    CommandLine line;
    bool options = true;
    for (const QString& a : arguments) {
        if (options && a == "--") {
            options = false;
        } else if (options && (a == "--help" || a == "-h")) {
            line.ask = CommandLine::Ask::Usage;
            return line;
        } else if (options && a == "--version") {
            line.ask = CommandLine::Ask::Version;
            return line;
        } else if (options && a.size() > 1 && a.startsWith('-')) {
            line.ask = CommandLine::Ask::Mistake;
            line.mistake = "corvane: unknown option " + a;
            return line;
        } else if (!a.isEmpty()) {
            // Absolute, links kept: the running copy opens what was named.
            line.files << QDir::cleanPath(QDir::isAbsolutePath(a) ? a : folder + "/" + a);
        }
    }
    return line;
}

int RunCorvane(int argc, char** argv) {
    // A write beyond the file size limit fails and is undone, instead of
    // ending the program.
    IgnoreFileSizeSignal();
    // Ended by a signal, the program removes the lock files it holds.
    ReleaseLocksOnSignals();
    QApplication app(argc, argv);
    const CommandLine line = ReadCommandLine(QApplication::arguments().mid(1), QDir::currentPath());
    switch (line.ask) {
        case CommandLine::Ask::Usage: std::fputs(kUsageText, stdout); return 0;
        case CommandLine::Ask::Version: std::puts("Corvane 1.12"); return 0;
        case CommandLine::Ask::Mistake:
            std::fprintf(stderr, "%s\n%s", qPrintable(line.mistake), kUsageText);
            return 2;
        case CommandLine::Ask::Run: break;
    }
    // QApplication switches the C library to the user's locale; number text
    // is ours to format, so no C library call may use the user's separator.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Corvane");
    QApplication::setApplicationVersion("1.12");
    SetProgramFont(app);
    QApplication::setStyle(new ProgramStyle);
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(ProgramIcon(64))));
    QGuiApplication::setDesktopFileName("org.example.Corvane");

    // A copy already running comes to the front and opens the files itself.
    SingleInstance instance;
    if (instance.anotherCopyRuns(line.files)) return 0;

    QtPlatform platform;
    const Locale locale = platform.locale();
    std::string folder = QDir::toNativeSeparators(QApplication::applicationDirPath()).toStdString();
    if (folder.empty() || folder.back() != '/') folder += '/';

    // The data bases are read before any window exists; an interrupted
    // removal of a user entry is recovered on the way.  The user files stay
    // beside the program where this user may write there, otherwise they
    // live in the user's data folder.
    std::string origin;
    const std::string userFolder = UserDataFolder(folder, [](const char* name) { return std::getenv(name); }, &origin);
    auto files = [&](DataFiles f) {
        f.setUserFolderOrigin(origin);
        return f;
    };
    FluidDatabaseModel fluids(files(DataFiles(folder, userFolder, kFluidStockFile, kFluidUserFile, kFluidBackupFile)),
                              locale);
    PipeDatabaseModel pipes(files(DataFiles(folder, userFolder, kPipeStockFile, kPipeUserFile, kPipeBackupFile)),
                            locale);
    PumpLibrary pumps(files(PumpFiles(folder, userFolder)));
    // What the user chose before: the recent files, the folders of the file
    // choosers, the sheet's title block.
    const auto environment = [](const char* name) { return std::getenv(name); };
    Settings settings(ConfigFolder(environment) + kSettingsFile);
    const auto settingsProblem = settings.load();
    UserChoices choices(settings, UserFoldersOf(environment, folder));
    // Each problem names its file and says what happened.
    std::string loadProblems;
    for (const auto& problem : {fluids.load(), pipes.load(), pumps.recover(), settingsProblem})
        if (problem) loadProblems += (loadProblems.empty() ? "" : "\r\r") + *problem;

    // The dialogs are made on first use (the first frame needs none of
    // them), owned by the main window; the panels reach them through these
    // functions.
    struct Dialogs {
        const Locale& locale;
        QtPlatform& platform;
        FluidDatabaseModel& fluidData;
        PipeDatabaseModel& pipeData;
        QWidget* owner = nullptr;
        std::unique_ptr<ConversionDialogs> conversionDialogs;
        VelFlowDiameterDialog* velocityDialog = nullptr;
        FittingsDialog* fittingsDialog = nullptr;
        FluidDatabaseDialog* fluidDialog = nullptr;
        PipeDiameterDialog* pipeDialog = nullptr;

        ConversionDialogs& conversion() {
            if (!conversionDialogs) conversionDialogs = std::make_unique<ConversionDialogs>(locale, owner);
            return *conversionDialogs;
        }
        VelFlowDiameterDialog& velocity() {
            if (!velocityDialog) velocityDialog = new VelFlowDiameterDialog(locale, &platform, owner);
            return *velocityDialog;
        }
        FittingsDialog& fittings() {
            if (!fittingsDialog) fittingsDialog = new FittingsDialog(locale, &platform, owner);
            return *fittingsDialog;
        }
        FluidDatabaseDialog& fluids() {
            if (!fluidDialog)
                fluidDialog = new FluidDatabaseDialog(fluidData, new GasViscosityDialog(locale, owner), &platform, owner);
            return *fluidDialog;
        }
        PipeDiameterDialog& pipes() {
            if (!pipeDialog) pipeDialog = new PipeDiameterDialog(pipeData, &platform, owner);
            return *pipeDialog;
        }
    } dialogs{locale, platform, fluids, pipes, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    PanelServices services;
    services.platform = &platform;
    services.pumps = &pumps;
    services.askConversion = [&dialogs](ConversionDialog kind, const QColor& colour, QWidget* over) {
        return dialogs.conversion().ask(kind, colour, over);
    };
    services.askVelocityFlow = [&dialogs](const PanelModel& panel, QWidget* panelWidget) {
        return dialogs.velocity().ask(panel, panelWidget, PanelColour(panel.kind()));
    };
    services.askFittings = [&dialogs](const std::string& fittings) { return dialogs.fittings().ask(fittings); };
    services.askFluid = [&dialogs](std::optional<FluidGroup> group) { return dialogs.fluids().ask(group); };
    services.askLiquid = [&dialogs]() -> std::optional<LiquidChoice> {
        const auto fluid = dialogs.fluids().ask(FluidGroup::Liquids);
        if (!fluid) return std::nullopt;
        return LiquidChoice{*fluid, dialogs.fluids().model().vapourPressure()};
    };
    services.askPipeDiameter = [&dialogs](bool metric) { return dialogs.pipes().ask(metric); };
    services.pipeTable = &pipes.table();
    services.choices = &choices;
    services.askSheetTitle = [](const SheetTitle& last, QWidget* parent) { return SheetTitleDialog::ask(last, parent); };
    // No output of the window is written over a file of the data bases, the
    // settings or an open document.
    OutputGuard outputs;
    outputs.add(DataBaseFiles(folder, userFolder));
    outputs.add({settings.path(), "the settings file"});
    services.outputs = &outputs;

    MainWindow mainForm(locale, services, folder);
    dialogs.owner = &mainForm;
    outputs.setOpenDocuments([&mainForm] { return mainForm.openDocuments(); });
    // A run document may name rows of the fluid and pipe data bases: read
    // afresh with the decimal point each time a run is calculated (a run
    // is rarely calculated without a change by the user in between).
    DataTable runFluids(kFluidSlots), runPipes(kPipeSlots);
    auto runTable = [&, origin](DataTable& table, bool fluid) -> const DataTable* {
        DataFiles data = fluid ? DataFiles(folder, userFolder, kFluidStockFile, kFluidUserFile, kFluidBackupFile)
                               : DataFiles(folder, userFolder, kPipeStockFile, kPipeUserFile, kPipeBackupFile);
        data.setUserFolderOrigin(origin);
        return data.fill(table, DotLocale(), fluid, !fluid) ? nullptr : &table;
    };
    mainForm.setRunDataBases({[&] { return runTable(runFluids, true); }, [&] { return runTable(runPipes, false); }});
    SplashWindow splash(&mainForm);
    mainForm.setSplash(&splash);
    // A later start: the window to the front, and the files it hands over.
    QObject::connect(&instance, &SingleInstance::raiseRequested, &mainForm, &MainWindow::bringToFront);
    QObject::connect(&instance, &SingleInstance::openRequested, &mainForm, [&mainForm](const QStringList& files) {
        mainForm.bringToFront();
        mainForm.openHandedFiles(LocalPaths(files));
    });

    mainForm.show();
    if (!loadProblems.empty())
        platform.message(&mainForm, MessageKind::Warning, loadProblems);
    // The files of the command line, once the window is up.
    if (!line.files.isEmpty())
        QTimer::singleShot(0, &mainForm, [&mainForm, files = LocalPaths(line.files)] { mainForm.openFiles(files); });
    return QApplication::exec();
}

}  // namespace corvane
