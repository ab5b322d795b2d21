#include "app/Application.h"

#include <QApplication>
#include <QDir>
#include <clocale>
#include <memory>

#include "app/SingleInstance.h"
#include "app/Tarnel_Splash.h"
#include "dialogs/ConversionDialogs.h"
#include "dialogs/VelFlowDiameterDialog.h"
#include "panels/TTarnelMiniForm1.h"
#include "platform/QtPlatform.h"

namespace corvane {

void SetProgramFont(QApplication& app) {
    // Arial, or its metric twin where Arial is not installed (asking for
    // the twin by name spares the font substitution at start-up).
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPixelSize(11);
    app.setFont(font);
}

int RunCorvane(int argc, char** argv) {
    QApplication app(argc, argv);
    // QApplication switches the C library to the user's locale; number text
    // is ours to format, so no C library call may use the user's separator.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Corvane");
    QApplication::setApplicationVersion("1.12");
    SetProgramFont(app);

    SingleInstance instance;
    if (instance.anotherCopyRuns()) return 0;

    QtPlatform platform;
    const Locale locale = platform.locale();
    std::string folder = QDir::toNativeSeparators(QApplication::applicationDirPath()).toStdString();
    if (folder.empty() || folder.back() != '/') folder += '/';

    // The dialogs are made after the main window; the panels reach them
    // through these pointers.
    struct Dialogs {
        std::unique_ptr<ConversionDialogs> conversion;
        VelFlowDiameterDialog* velocity = nullptr;
    } dialogs;
    PanelServices services;
    services.platform = &platform;
    services.askConversion = [&dialogs](ConversionDialog kind, const QColor& colour, QWidget* over) {
        return dialogs.conversion->ask(kind, colour, over);
    };
    services.askVelocityFlow = [&dialogs](const PanelModel& panel, QWidget* panelWidget) {
        return dialogs.velocity->ask(panel, panelWidget, PanelColour(panel.kind()));
    };

    TTarnelMiniForm1 mainForm(locale, services, folder);
    TTarnel_SplashForm splash(&mainForm);
    mainForm.setSplash(&splash);
    dialogs.conversion = std::make_unique<ConversionDialogs>(locale, &mainForm);
    dialogs.velocity = new VelFlowDiameterDialog(locale, &platform, &mainForm);
    QObject::connect(&instance, &SingleInstance::raiseRequested, &mainForm, &TTarnelMiniForm1::bringToFront);

    mainForm.show();
    return QApplication::exec();
}

}  // namespace corvane
