// Builds the help document from its HTML source: the worked examples are
// calculated by the program's own panels, their numbers written into the
// text and their pictures taken from the panels on screen.
//
//   corvane-helpgen SOURCE.html OUTPUT.pdf

#include <QApplication>
#include <QFile>
#include <QFont>
#include <clocale>
#include <cstdio>

#include "app/Application.h"
#include "ui/HelpContent.h"

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
    const HelpContent content = MakeHelpContent(QString::fromUtf8(source.readAll()));
    for (const QString& m : content.missing) std::fprintf(stderr, "corvane-helpgen: no value for %s\n", qPrintable(m));

    if (!WriteHelpPdf(content, QString::fromLocal8Bit(argv[2]), app.font().family())) {
        std::fprintf(stderr, "corvane-helpgen: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("corvane-helpgen: wrote %s\n", argv[2]);
    return 0;
}
