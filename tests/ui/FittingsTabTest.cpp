// The analysis window's second opinions: the Fittings tab and the
// isothermal comparison among the notes.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "logic/model/analysis/SecondOpinion.h"
#include "tests/logic/PanelTestSupport.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/AnalysisWindow.h"
#include "ui/CalcPanel.h"
#include "ui/MainWindow.h"

namespace corvane {
namespace {

using FittingsTabTest = test::MainWindowTest;

TEST_F(FittingsTabTest, AnalysisFittingsTabAndIsothermalNote) {
    PanelModel& m = window_->model(1);
    m.useFluid(test::Air());
    m.setText(Ctl::Barg_RightEdit, "6.000");
    window_->panel(1)->calculate();
    window_->findChild<QAction*>("Analysis1")->trigger();
    AnalysisWindow* a = window_->analysisWindow();
    ASSERT_TRUE(a);
    QApplication::processEvents();
    int fittingsTab = -1;
    for (int i = 0; i < a->tabs()->count(); ++i)
        if (a->tabs()->tabText(i) == "Fittings") fittingsTab = i;
    ASSERT_GE(fittingsTab, 0);
    EXPECT_TRUE(a->notesLabel()->text().contains("Isothermal comparison"));
    // No fittings: the message instead of the table.
    a->tabs()->setCurrentIndex(fittingsTab);
    EXPECT_TRUE(a->fittingsMessage()->isVisible());
    EXPECT_EQ(a->fittingsMessage()->text(), "No fittings: the pipe run has none to compare.");

    m.setFittingsString(test::Fittings({0, 0, 0, 0}, {{1, 2}, {13, 1}}));
    window_->panel(1)->calculate();
    QApplication::processEvents();
    const FittingsComparisonTable t = CompareFittings(m);
    ASSERT_FALSE(t.message);
    QTableWidget* table = a->fittingsTable();
    EXPECT_TRUE(table->isVisible());
    ASSERT_EQ(table->rowCount(), static_cast<int>(t.rows.size() + t.totals.size()));
    ASSERT_EQ(table->columnCount(), 6);
    EXPECT_EQ(table->horizontalHeaderItem(4)->text(), "K by 2-K");
    EXPECT_EQ(table->item(0, 0)->text(), "Standard bend");
    EXPECT_EQ(table->item(1, 4)->text().toStdString(), t.rows[1][4]);
    EXPECT_EQ(table->item(table->rowCount() - 3, 5)->text().toStdString(), t.totals[0][5]);
    EXPECT_TRUE(table->item(table->rowCount() - 1, 0)->font().bold());
}

}  // namespace
}  // namespace corvane
