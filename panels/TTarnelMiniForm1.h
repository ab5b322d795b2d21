#pragma once
// The main window.  For now a plain window with the program's caption; the
// calculation panels are placed on it as they are built.

#include <QMainWindow>

namespace corvane {

inline constexpr const char* kMainCaption = "Corvane v1.12";

class TTarnelMiniForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TTarnelMiniForm1(QWidget* parent = nullptr);
};

}  // namespace corvane
