#pragma once
// app: the desktop program's start (main, Application, the single-instance
// guard) and the generators run at build time (help document, icons).
//
// This header: program start - the application object, the C numeric locale, the
// single-instance check, the windows in their order, and the event loop
// until the main window closes.

class QApplication;

namespace corvane {

// The font of every window: Arial (or Liberation Sans), 11 pixels high (8 points).
void SetProgramFont(QApplication& app);

int RunCorvane(int argc, char** argv);

}  // namespace corvane
