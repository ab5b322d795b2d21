#pragma once
// app: the desktop program's start (main, Application, the single-instance
// guard) and the generators run at build time (help document, icons).
//
// This header: program start - the application object, the C numeric locale, the
// single-instance check, the windows in their order, and the event loop
// until the main window closes.

#include <QString>
#include <QStringList>

class QApplication;

namespace corvane {

// The font of every window: Arial (or Liberation Sans), 11 pixels high (8 points).
void SetProgramFont(QApplication& app);

// What the command line asks: panel files to open (absolute paths), or
// the usage or version to print, or a mistake to report.
struct CommandLine {
    QStringList files;
    enum class Ask { Run, Usage, Version, Mistake } ask = Ask::Run;
    QString mistake;
};
// `arguments` without the program's name and without the options Qt
// takes for itself; relative paths are taken from `folder`.
CommandLine ReadCommandLine(const QStringList& arguments, const QString& folder);

inline constexpr const char* kUsageText =
    "usage: corvane [FILE...]\n"
    "  Opens each panel file (.PW1 to .PW4) into the panel its first line names.\n"
    "  While Corvane runs, a new start hands the files to the running copy.\n"
    "  --help     this text\n"
    "  --version  the version\n";

int RunCorvane(int argc, char** argv);

}  // namespace corvane
