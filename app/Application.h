#pragma once
// Program start: the application object, the C numeric locale, the main
// window and the event loop.

namespace corvane {

int RunCorvane(int argc, char** argv);

}  // namespace corvane
