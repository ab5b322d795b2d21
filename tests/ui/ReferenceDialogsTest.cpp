// The reference dialogs driven on screen, and their binding to a panel.

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "tests/logic/PanelTestSupport.h"
#include "tests/ui/UiFixture.h"
#include "ui/CalcPanel.h"
#include "ui/dialogs/FittingsDialog.h"
#include "ui/dialogs/FluidDatabaseDialog.h"
#include "ui/dialogs/GasViscosityDialog.h"
#include "ui/dialogs/PipeDiameterDialog.h"
#include "ui/widgets/RightAlignedEdit.h"
#include "ui/widgets/TabbedListBox.h"

namespace corvane {
namespace {

class ReferenceDialogsTest : public test::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        folder_ = dir_.path().toStdString();
        std::ofstream(folder_ + "/" + kFluidStockFile, std::ios::binary)
            << "10\tWater\t20\xb0" "C (68\xb0" "F)\t1.004000\t0.998000\r\n"
            << "20\tAir\t20\xb0" "C (68\xb0" "F)\t15.100000\t1.204700\r\n";
        std::ofstream(folder_ + "/" + kPipeStockFile, std::ios::binary)
            << "10\tSteel Sch 40\t1\"\t26.645\t1.049\r\n10\tSteel Sch 40\t2\"\t52.502\t2.067\r\n";
    }
    template <typename T>
    T* child(QWidget* w, const char* name) {
        T* c = w->findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }

    QTemporaryDir dir_;
    std::string folder_;
};

TEST_F(ReferenceDialogsTest, FluidDataBaseHandsBackTheChosenGas) {
    FluidDatabaseModel model(DataFiles(folder_, kFluidStockFile, kFluidUserFile, kFluidBackupFile), Locale{});
    ASSERT_FALSE(model.load());
    GasViscosityDialog gasCalculator(Locale{});
    FluidDatabaseDialog dialog(model, &gasCalculator, &platform_);
    expectModal(&dialog);
    EXPECT_EQ(dialog.windowTitle(), "Corvane - Fluid data base");
    test::Later([&] {
        EXPECT_EQ(child<QLabel>(&dialog, "FluidDataListingHdLabel")->text(), "Fluid data @ 0.000 barg");
        EXPECT_TRUE(child<QPushButton>(&dialog, "GasViscosityCalcBitBtn")->isVisible());
        EXPECT_FALSE(child<QLabel>(&dialog, "Times10Label")->isVisible());
        EXPECT_EQ(child<RightAlignedEdit>(&dialog, "FluidNameEdit")->text(), "Air");
        EXPECT_EQ(child<TabbedListBox>(&dialog, "TabListBox1")->currentRow(), 0);
        child<QPushButton>(&dialog, "UseDataBitBtn")->click();
    });
    const auto fluid = dialog.ask(FluidGroup::Gases);
    ASSERT_TRUE(fluid);
    EXPECT_TRUE(fluid->isGas);
    EXPECT_EQ(fluid->viscosity, "15.100000");
    // Cancel hands nothing back.
    test::Later([&] { child<QPushButton>(&dialog, "CancelBitBtn")->click(); });
    EXPECT_FALSE(dialog.ask(std::nullopt));
}

TEST_F(ReferenceDialogsTest, ChangeTemperatureThroughTheGasCalculator) {
    FluidDatabaseModel model(DataFiles(folder_, kFluidStockFile, kFluidUserFile, kFluidBackupFile), Locale{});
    model.load();
    model.show();
    model.setGroup(FluidGroup::Gases);
    GasViscosityDialog gasCalculator(Locale{});
    FluidDatabaseDialog dialog(model, &gasCalculator, &platform_);
    dialog.refresh();
    expectModal(&gasCalculator);
    test::Later([&] {
        EXPECT_EQ(gasCalculator.windowTitle(), "Approximate properties of some gases");
        EXPECT_EQ(child<RightAlignedEdit>(&gasCalculator, "KinematicViscosityRightEdit")->text(), "15.105");
        child<QComboBox>(&gasCalculator, "TemperatureComboBox")->setCurrentIndex(0);
        EXPECT_EQ(child<RightAlignedEdit>(&gasCalculator, "DynamicViscosityRightEdit")->text(), "17.200");
        child<QPushButton>(&gasCalculator, "TransferDataBitBtn")->click();
    });
    dialog.changeTemperature();
    EXPECT_EQ(model.field(FluidDatabaseModel::Field::Temperature), "  0\u00b0C (32\u00b0F)");
    EXPECT_EQ(child<RightAlignedEdit>(&dialog, "FluidTemperatureEdit")->text(), "  0\u00b0C (32\u00b0F)");
    EXPECT_EQ(model.selected(), -1);
    model.setField(FluidDatabaseModel::Field::Name, "Propane");
    dialog.changeTemperature();
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].text, "Data for chosen gas not available.");
}

TEST_F(ReferenceDialogsTest, FluidDataBaseGivesWaterAtAnyTemperature) {
    FluidDatabaseModel model(DataFiles(folder_, kFluidStockFile, kFluidUserFile, kFluidBackupFile), Locale{});
    ASSERT_FALSE(model.load());
    GasViscosityDialog gasCalculator(Locale{});
    FluidDatabaseDialog dialog(model, &gasCalculator, &platform_);
    expectModal(&dialog);
    test::Later([&] {
        auto* temperature = child<RightAlignedEdit>(&dialog, "LiquidTemperatureRightEdit");
        auto* interpolate = child<QPushButton>(&dialog, "InterpolateRowsBitBtn");
        EXPECT_EQ(temperature->accessibleName(), "Temperature for the properties, degrees Celsius");
        EXPECT_FALSE(interpolate->isEnabled());  // the gases
        temperature->selectAll();
        QTest::keyClicks(temperature, "60");
        child<QPushButton>(&dialog, "WaterIapwsBitBtn")->click();
        EXPECT_TRUE(child<QRadioButton>(&dialog, "LiquidsRadioButton")->isChecked());
        EXPECT_EQ(child<RightAlignedEdit>(&dialog, "VapourPressureRightEdit")->text(), "0.1995");
        EXPECT_EQ(child<RightAlignedEdit>(&dialog, "CentistokesRightEdit")->text(), "0.474001");
        EXPECT_TRUE(child<QLabel>(&dialog, "LiquidMethodLabel")->text().startsWith("IAPWS-IF97"));
        // One water row only: nothing to interpolate between, said in a box.
        interpolate->click();
        ASSERT_EQ(platform_.messages.size(), 1u);
        EXPECT_TRUE(QString::fromStdString(platform_.messages[0].text).startsWith("Water has fewer than two rows"));
        child<QPushButton>(&dialog, "UseDataBitBtn")->click();
    });
    const auto fluid = dialog.ask(FluidGroup::Gases);
    ASSERT_TRUE(fluid);
    EXPECT_FALSE(fluid->isGas);
    EXPECT_EQ(fluid->temperature + " " + fluid->density, "60\u00b0C (140\u00b0F), IAPWS 0.983211");
}

TEST_F(ReferenceDialogsTest, PipeDiameterInTheUnitsOfThePanel) {
    PipeDatabaseModel model(DataFiles(folder_, kPipeStockFile, kPipeUserFile, kPipeBackupFile), Locale{});
    ASSERT_FALSE(model.load());
    PipeDiameterDialog dialog(model, &platform_);
    expectModal(&dialog);
    test::Later([&] {
        auto* list = child<TabbedListBox>(&dialog, "TabListBox1");
        EXPECT_EQ(list->count(), 2);
        EXPECT_EQ(child<QComboBox>(&dialog, "PipeTypeComboBox1")->currentText(), "Steel Sch 40");
        Q_EMIT list->itemDoubleClicked(list->item(1));
    });
    EXPECT_EQ(dialog.ask(false), "2.067");
    test::Later([&] { child<QPushButton>(&dialog, "UseDataBitBtn")->click(); });
    EXPECT_EQ(dialog.ask(true), "52.502");
}

TEST_F(ReferenceDialogsTest, PipeListAndButtonsDriveTheUserFile) {
    PipeDatabaseModel model(DataFiles(folder_, kPipeStockFile, kPipeUserFile, kPipeBackupFile), Locale{});
    ASSERT_FALSE(model.load());
    model.show();
    PipeDiameterDialog dialog(model, &platform_);
    using Field = PipeDatabaseModel::Field;
    model.setField(Field::Type, "PVC");
    model.setField(Field::Nominal, "1/2");
    model.setField(Field::Millimetres, "13.1");
    model.setField(Field::Inches, "0.516");
    dialog.refresh();
    auto* list = child<TabbedListBox>(&dialog, "TabListBox1");
    auto* remove = child<QPushButton>(&dialog, "RemoveUserEntryBitBtn");

    child<QPushButton>(&dialog, "SaveNewEntryBitBtn")->click();
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_TRUE(remove->isEnabled());
    EXPECT_TRUE(platform_.messages.empty());
    // The same row again is refused in a message box and changes nothing.
    child<QPushButton>(&dialog, "SaveNewEntryBitBtn")->click();
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].text, "Entry already exists.");
    EXPECT_EQ(list->count(), 3);

    // Choosing a stock row in the list selects it in the model.
    list->setCurrentRow(2);
    EXPECT_EQ(model.selected(), 2);
    EXPECT_FALSE(remove->isEnabled());
    list->setCurrentRow(0);
    EXPECT_TRUE(remove->isEnabled());
    remove->click();
    EXPECT_EQ(list->count(), 2);
    std::ifstream user(folder_ + "/" + kPipeUserFile, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(user), {}), "");
}

TEST_F(ReferenceDialogsTest, ClickOnTheSelectedRowFillsTheFieldsAgain) {
    auto clickRow = [](QListWidget* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    };
    PipeDatabaseModel pipes(DataFiles(folder_, kPipeStockFile, kPipeUserFile, kPipeBackupFile), Locale{});
    ASSERT_FALSE(pipes.load());
    pipes.show();
    PipeDiameterDialog pipeDialog(pipes, &platform_);
    pipeDialog.refresh();
    pipeDialog.show();
    auto* pipeList = child<TabbedListBox>(&pipeDialog, "TabListBox1");
    auto* mm = child<RightAlignedEdit>(&pipeDialog, "IdMM_RightEdit");
    clickRow(pipeList, 1);
    ASSERT_EQ(pipeList->currentRow(), 1);
    const QString filled = mm->text();
    pipes.setField(PipeDatabaseModel::Field::Millimetres, "99.9");
    pipeDialog.refresh();
    ASSERT_EQ(mm->text(), "99.9");
    clickRow(pipeList, 1);
    EXPECT_EQ(mm->text(), filled);

    FluidDatabaseModel fluids(DataFiles(folder_, kFluidStockFile, kFluidUserFile, kFluidBackupFile), Locale{});
    ASSERT_FALSE(fluids.load());
    fluids.show();
    GasViscosityDialog gasCalculator(Locale{});
    FluidDatabaseDialog fluidDialog(fluids, &gasCalculator, &platform_);
    fluidDialog.refresh();
    fluidDialog.show();
    auto* fluidList = child<TabbedListBox>(&fluidDialog, "TabListBox1");
    auto* name = child<RightAlignedEdit>(&fluidDialog, "FluidNameEdit");
    clickRow(fluidList, 0);
    const QString fluidName = name->text();
    ASSERT_FALSE(fluidName.isEmpty());
    fluids.setField(FluidDatabaseModel::Field::Name, "Typed over");
    fluidDialog.refresh();
    ASSERT_EQ(name->text(), "Typed over");
    clickRow(fluidList, 0);
    EXPECT_EQ(name->text(), fluidName);
}

TEST_F(ReferenceDialogsTest, FittingsDialogWritesAndReadsTheString) {
    FittingsDialog dialog(Locale{}, &platform_);
    expectModal(&dialog);
    EXPECT_EQ(dialog.windowTitle(), "Pipe fittings");
    test::Later([&] {
        EXPECT_EQ(child<RightAlignedEdit>(&dialog, "Edit1")->text(), "1.23");
        EXPECT_EQ(child<QSpinBox>(&dialog, "SpinEdit1")->value(), 2);
        child<QSpinBox>(&dialog, "SpinEdit16")->setValue(1);
        child<QComboBox>(&dialog, "ComboBox1")->setCurrentIndex(2);
        child<QPushButton>(&dialog, "OKBitBtn")->click();
    });
    const std::string before = "0\t0\t0\t0\t2\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t1.234\t";
    const auto after = dialog.ask(before);
    ASSERT_TRUE(after);
    EXPECT_EQ(*after, "2\t0\t0\t0\t2\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t1\t0\t0\t0\t0\t0\t0\t0\t1.23\t");
    // Clear All, then closing with the close box keeps nothing.
    test::Later([&] {
        child<QPushButton>(&dialog, "ClearAllFittingsBitBtn")->click();
        EXPECT_EQ(child<QSpinBox>(&dialog, "SpinEdit1")->value(), 0);
        dialog.close();
    });
    EXPECT_FALSE(dialog.ask(before));
}

TEST_F(ReferenceDialogsTest, PanelTakesFluidPipeAndFittings) {
    PanelModel model(PanelKind::Length, test::UsLocale());
    PanelServices services;
    services.platform = &platform_;
    std::vector<std::optional<FluidGroup>> groups;
    services.askFluid = [&](std::optional<FluidGroup> g) -> std::optional<FluidChoice> {
        groups.push_back(g);
        return FluidChoice{"Air", "20\u00b0C (68\u00b0F)", "15.100000", "1.204700", true};
    };
    std::vector<bool> metric;
    services.askPipeDiameter = [&](bool m) -> std::optional<std::string> {
        metric.push_back(m);
        return "1.049";
    };
    std::string offered;
    services.askFittings = [&](const std::string& f) -> std::optional<std::string> {
        offered = f;
        return std::nullopt;  // closed with the close box
    };
    CalcPanel panel(model, services);
    panel.show();
    child<QPushButton>(&panel, "GasDataBitBtn4")->click();
    EXPECT_EQ(groups.back(), FluidGroup::Gases);
    EXPECT_TRUE(model.gasMode());
    QTest::mouseClick(child<RightAlignedEdit>(&panel, "FluidName_Edit4"), Qt::LeftButton);
    EXPECT_EQ(groups.back(), std::nullopt);
    child<QPushButton>(&panel, "ID_HelperBitBtn4")->click();
    EXPECT_EQ(metric, (std::vector<bool>{false}));
    EXPECT_EQ(model.text(Ctl::IDmm_RightEdit), "1.049");
    model.setFittingsString("0\t0\t0\t0\t3\t");  // as a loaded file may bring it
    child<QPushButton>(&panel, "FittingsBitBtn4")->click();
    EXPECT_EQ(offered, "0\t0\t0\t0\t3\t");
    EXPECT_EQ(child<QPushButton>(&panel, "FittingsBitBtn4")->text(), "3");
}

}  // namespace
}  // namespace corvane
