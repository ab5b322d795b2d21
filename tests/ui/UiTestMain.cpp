// The widget tests' main: a QApplication on the offscreen platform with the
// program's font, then GoogleTest.

#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>

#include "app/Application.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    corvane::SetProgramFont(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
