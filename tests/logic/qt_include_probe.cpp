// Compiled only by the test logic_library_rejects_qt_include, which expects
// this to fail: the logic library's include path must not reach Qt.
#include <QString>

int probe() { return QString().size(); }
