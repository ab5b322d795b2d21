#pragma once
// A fixture with the main window shown on a RecordingPlatform, closing the
// analysis window it may have opened.

#include <QTest>
#include <memory>

#include "tests/ui/UiFixture.h"
#include "ui/AnalysisWindow.h"
#include "ui/MainWindow.h"

namespace corvane::test {

class MainWindowTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        PanelServices services;
        services.platform = &platform_;
        addServices(services);
        window_ = std::make_unique<MainWindow>(Locale{}, services, "/");
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void TearDown() override {
        if (window_->analysisWindow()) window_->analysisWindow()->close();
        UiTest::TearDown();
    }
    // What a test adds to the window's services before it is made.
    virtual void addServices(PanelServices&) {}
    std::unique_ptr<MainWindow> window_;
};

}  // namespace corvane::test
