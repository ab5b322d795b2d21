#include "app/Application.h"

#include <QApplication>
#include <clocale>

#include "panels/TTarnelMiniForm1.h"

namespace corvane {

int RunCorvane(int argc, char** argv) {
    QApplication app(argc, argv);
    // QApplication switches the C library to the user's locale; number text
    // is ours to format, so no C library call may use the user's separator.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Corvane");
    QApplication::setApplicationVersion("1.12");

    TTarnelMiniForm1 mainForm;
    mainForm.show();
    return QApplication::exec();
}

}  // namespace corvane
