#pragma once
// A fixture for widget tests: a RecordingPlatform, and a watchdog that fails any
// test leaving an unexpected modal dialog open (and closes it, so the test
// run goes on).

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "ui/platform/RecordingPlatform.h"

namespace corvane::test {

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        watchdog_.setInterval(100);
        QObject::connect(&watchdog_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) {
                modalSince_ = 0;
                return;
            }
            // A dialog the test drives gets five seconds to be closed by it.
            if (modal == expectedModal_ && ++modalSince_ < 50) return;
            strayModal_ = modal->objectName().toStdString() + " (" + modal->windowTitle().toStdString() + ")";
            if (auto* d = qobject_cast<QDialog*>(modal)) d->done(QDialog::Rejected);
            else modal->close();
        });
        watchdog_.start();
    }
    void TearDown() override {
        watchdog_.stop();
        EXPECT_EQ(strayModal_, "") << "a modal dialog was left open";
    }

    // A dialog the test itself drives.
    void expectModal(QWidget* w) { expectedModal_ = w; }

    RecordingPlatform platform_;

private:
    QTimer watchdog_;
    QWidget* expectedModal_ = nullptr;
    int modalSince_ = 0;
    std::string strayModal_;
};

// Runs `f` once the event loop is running again (for driving a modal dialog).
template <typename F>
void Later(F f, int ms = 0) {
    QTimer::singleShot(ms, f);
}

}  // namespace corvane::test
