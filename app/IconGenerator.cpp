// Writes the program's icon as PNG files of the given sizes.
//   corvane-icongen FOLDER SIZE...   ->  FOLDER/<size>/org.example.Corvane.png
#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "ui/widgets/Glyphs.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: corvane-icongen FOLDER SIZE...\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QString folder = QString::fromLocal8Bit(argv[1]) + "/" + QString::number(size);
        QDir().mkpath(folder);
        if (!corvane::ProgramIcon(size).save(folder + "/org.example.Corvane.png")) return 1;
    }
    return 0;
}
