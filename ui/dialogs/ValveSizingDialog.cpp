#include "ui/dialogs/ValveSizingDialog.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "logic/io/FileIo.h"
#include "logic/model/settings/UserChoices.h"
#include "logic/model/sheets/ValveSheet.h"
#include "ui/platform/OutputFile.h"
#include "ui/platform/Platform.h"

namespace corvane {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The caption without its Alt-key mark, for accessibility tools.
QString Plain(const char* caption) { return QString::fromUtf8(caption).remove('&'); }

constexpr int kEditWidth = 90;

}  // namespace

ValveSizingDialog::ValveSizingDialog(const Locale& locale, ValveDialogServices services, QWidget* parent)
    : QDialog(parent), model_(locale), services_(std::move(services)) {
    setObjectName("ValveSizingDialog");
    setWindowTitle("Control valve sizing");
    setModal(false);

    auto* outer = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    outer->addLayout(left);
    outer->addLayout(right, 1);

    // ---- fluid and units
    auto* top = new QHBoxLayout;
    auto* fluidBox = new QGroupBox("Fluid", this);
    auto* fluidRow = new QHBoxLayout(fluidBox);
    liquid_ = new QRadioButton("Li&quid", fluidBox);
    gas_ = new QRadioButton("&Gas", fluidBox);
    liquid_->setObjectName("LiquidRadio");
    gas_->setObjectName("GasRadio");
    fluidRow->addWidget(liquid_);
    fluidRow->addWidget(gas_);
    auto* unitBox = new QGroupBox("Units", this);
    auto* unitRow = new QHBoxLayout(unitBox);
    metric_ = new QRadioButton("Metric", unitBox);
    imperial_ = new QRadioButton("Imperial", unitBox);
    metric_->setObjectName("MetricRadio");
    imperial_->setObjectName("ImperialRadio");
    metric_->setToolTip("bar, m\u00b3/h, kg/h, mm, \u00b0C");
    imperial_->setToolTip("psi, US gpm, lb/h, ft\u00b3/h, inch, \u00b0F");
    unitRow->addWidget(metric_);
    unitRow->addWidget(imperial_);
    for (QRadioButton* b : {liquid_, gas_, metric_, imperial_}) b->setAccessibleName(b->text().remove('&'));
    top->addWidget(fluidBox);
    top->addWidget(unitBox);
    left->addLayout(top);
    liquid_->setChecked(true);
    metric_->setChecked(true);
    connect(liquid_, &QRadioButton::toggled, this, [this](bool on) {
        model_.setGas(!on);
        refresh();
    });
    connect(metric_, &QRadioButton::toggled, this, [this](bool on) {
        model_.setMetric(on);
        refresh();
    });

    // ---- process data
    auto* process = new QGroupBox("Process", this);
    auto* processGrid = new QGridLayout(process);
    addField(processGrid, ValveField::UpstreamPressure);
    addField(processGrid, ValveField::DownstreamPressure);
    flowKindCaption_ = new QLabel("Flow &kind", process);
    flowKind_ = new QComboBox(process);
    flowKind_->setObjectName("GasFlowKindCombo");
    flowKind_->setAccessibleName("Flow kind");
    for (const std::string& name : ValveSizingModel::GasFlowFormNames()) flowKind_->addItem(Q(name));
    flowKind_->setCurrentIndex(static_cast<int>(model_.gasFlowForm()));
    flowKindCaption_->setBuddy(flowKind_);
    const int kindRow = processGrid->rowCount();
    processGrid->addWidget(flowKindCaption_, kindRow, 0);
    processGrid->addWidget(flowKind_, kindRow, 1, 1, 2);
    connect(flowKind_, &QComboBox::activated, this, [this](int index) {
        model_.setGasFlowForm(static_cast<GasFlowForm>(index));
        refresh();
    });
    addField(processGrid, ValveField::LiquidFlow);
    addField(processGrid, ValveField::GasFlow);
    addField(processGrid, ValveField::Temperature);
    left->addWidget(process);

    // ---- the liquid
    liquidBox_ = new QGroupBox("Liquid", this);
    auto* liquidGrid = new QGridLayout(liquidBox_);
    addField(liquidGrid, ValveField::LiquidName);
    auto* buttons = new QHBoxLayout;
    water_ = new QPushButton("&Water (IAPWS)", liquidBox_);
    water_->setObjectName("WaterButton");
    water_->setAccessibleName("Water by IAPWS at the temperature");
    water_->setToolTip("Liquid water at the temperature typed, by IAPWS-IF97 and IAPWS 2008");
    fluidData_ = new QPushButton("Fluid data &base\u2026", liquidBox_);
    fluidData_->setObjectName("FluidDataButton");
    fluidData_->setAccessibleName("Fluid data base");
    buttons->addWidget(water_);
    buttons->addWidget(fluidData_);
    buttons->addStretch();
    liquidGrid->addLayout(buttons, liquidGrid->rowCount(), 0, 1, 3);
    connect(water_, &QPushButton::clicked, this, &ValveSizingDialog::useWater);
    connect(fluidData_, &QPushButton::clicked, this, &ValveSizingDialog::chooseLiquid);
    addField(liquidGrid, ValveField::RelativeDensity);
    addField(liquidGrid, ValveField::LiquidViscosity);
    addField(liquidGrid, ValveField::VapourPressure);
    addField(liquidGrid, ValveField::CriticalPressure);
    source_ = new QLabel(liquidBox_);
    source_->setObjectName("LiquidSourceLabel");
    source_->setWordWrap(true);
    source_->setMaximumWidth(330);
    liquidGrid->addWidget(source_, liquidGrid->rowCount(), 0, 1, 3);
    left->addWidget(liquidBox_);

    // ---- the gas
    gasBox_ = new QGroupBox("Gas", this);
    auto* gasGrid = new QGridLayout(gasBox_);
    addField(gasGrid, ValveField::MolarMass);
    addField(gasGrid, ValveField::Gamma);
    addField(gasGrid, ValveField::Compressibility);
    addField(gasGrid, ValveField::GasViscosity);
    left->addWidget(gasBox_);

    // ---- the valve
    auto* valve = new QGroupBox("Valve", this);
    auto* valveGrid = new QGridLayout(valve);
    for (ValveField f : {ValveField::FL, ValveField::Fd, ValveField::XT, ValveField::Size, ValveField::InletPipe,
                         ValveField::OutletPipe})
        addField(valveGrid, f);
    auto* trimCaption = new QLabel("T&rim", valve);
    trim_ = new QComboBox(valve);
    trim_->setObjectName("TrimCombo");
    trim_->setAccessibleName("Trim");
    trim_->addItems({"full", "reduced"});
    trimCaption->setBuddy(trim_);
    const int trimRow = valveGrid->rowCount();
    valveGrid->addWidget(trimCaption, trimRow, 0);
    valveGrid->addWidget(trim_, trimRow, 1);
    connect(trim_, &QComboBox::activated, this, [this](int index) {
        model_.setTrim(index == 0 ? ValveTrim::Full : ValveTrim::Reduced);
        refresh();
    });
    left->addWidget(valve);
    left->addStretch();

    // ---- the result
    auto* resultBox = new QGroupBox("Result (IEC 60534-2-1)", this);
    auto* resultColumn = new QVBoxLayout(resultBox);
    status_ = new QLabel(resultBox);
    status_->setObjectName("StatusLabel");
    status_->setWordWrap(true);
    status_->setStyleSheet("color: #b00000");
    results_ = new QTableWidget(0, 3, resultBox);
    results_->setObjectName("ResultTable");
    results_->setAccessibleName("Result");
    results_->setHorizontalHeaderLabels({"Quantity", "Value", "Unit"});
    results_->verticalHeader()->hide();
    results_->verticalHeader()->setDefaultSectionSize(results_->fontMetrics().height() + 6);
    results_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    results_->setSelectionMode(QAbstractItemView::NoSelection);
    results_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    results_->setMinimumWidth(330);
    notes_ = new QLabel(resultBox);
    notes_->setObjectName("NotesLabel");
    notes_->setWordWrap(true);
    resultColumn->addWidget(status_);
    resultColumn->addWidget(results_, 1);
    resultColumn->addWidget(notes_);
    right->addWidget(resultBox, 1);
    auto* commands = new QHBoxLayout;
    auto* copy = new QPushButton("Co&py results", this);
    copy->setObjectName("CopyResultsButton");
    auto* sheet = new QPushButton("&Export calculation sheet\u2026", this);
    sheet->setObjectName("ExportSheetButton");
    auto* close = new QPushButton("Close", this);
    close->setObjectName("CloseButton");
    for (QPushButton* b : {copy, sheet, close}) {
        b->setAccessibleName(b->text().remove('&').remove(QChar(0x2026)));
        b->setAutoDefault(false);
        commands->addWidget(b);
    }
    right->addLayout(commands);
    connect(copy, &QPushButton::clicked, this, &ValveSizingDialog::copyResults);
    connect(sheet, &QPushButton::clicked, this, &ValveSizingDialog::exportSheet);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    // Tab order: down the entries, then the commands.
    std::vector<QWidget*> order{liquid_, metric_};
    for (ValveField f : {ValveField::UpstreamPressure, ValveField::DownstreamPressure}) order.push_back(edit(f));
    order.push_back(flowKind_);
    for (ValveField f : {ValveField::LiquidFlow, ValveField::GasFlow, ValveField::Temperature, ValveField::LiquidName})
        order.push_back(edit(f));
    order.insert(order.end(), {water_, fluidData_});
    for (ValveField f : {ValveField::RelativeDensity, ValveField::LiquidViscosity, ValveField::VapourPressure,
                         ValveField::CriticalPressure, ValveField::MolarMass, ValveField::Gamma,
                         ValveField::Compressibility, ValveField::GasViscosity, ValveField::FL, ValveField::Fd,
                         ValveField::XT, ValveField::Size, ValveField::InletPipe, ValveField::OutletPipe})
        order.push_back(edit(f));
    order.insert(order.end(), {trim_, results_, copy, sheet, close});
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
    refresh();
}

void ValveSizingDialog::addField(QGridLayout* grid, ValveField f) {
    FieldRow& row = rows_[ValveSizingModel::Index(f)];
    QWidget* box = grid->parentWidget();
    row.caption = new QLabel(QString::fromUtf8(ValveSizingModel::Caption(f)), box);
    row.edit = new QLineEdit(box);
    row.edit->setObjectName(ValveSizingModel::Name(f));
    row.edit->setAccessibleName(Plain(ValveSizingModel::Caption(f)));
    if (f != ValveField::LiquidName) {
        row.edit->setAlignment(Qt::AlignRight);
        row.edit->setFixedWidth(kEditWidth);
    }
    row.caption->setBuddy(row.edit);
    row.unit = new QLabel(box);
    row.fault = new QLabel(box);
    row.fault->setObjectName(QString(ValveSizingModel::Name(f)).replace("Edit", "Fault"));
    row.fault->setWordWrap(true);
    row.fault->setStyleSheet("color: #b00000");
    const int at = grid->rowCount();
    grid->addWidget(row.caption, at, 0);
    grid->addWidget(row.edit, at, 1, 1, f == ValveField::LiquidName ? 2 : 1);
    if (f != ValveField::LiquidName) grid->addWidget(row.unit, at, 2);
    grid->addWidget(row.fault, at + 1, 1, 1, 2);
    connect(row.edit, &QLineEdit::textEdited, this, [this, f](const QString& text) {
        model_.setText(f, text.toStdString());
        refresh();
    });
}

void ValveSizingDialog::refresh() {
    if (refreshing_) return;
    refreshing_ = true;
    const bool gas = model_.gas();
    liquid_->setChecked(!gas);
    gas_->setChecked(gas);
    metric_->setChecked(model_.metric());
    imperial_->setChecked(!model_.metric());
    for (int i = 0; i < kValveFieldCount; ++i) {
        const auto f = static_cast<ValveField>(i);
        FieldRow& row = rows_[static_cast<std::size_t>(i)];
        const QString text = Q(model_.text(f));
        if (row.edit->text() != text) row.edit->setText(text);
        const bool shown = model_.shown(f);
        row.caption->setVisible(shown);
        row.edit->setVisible(shown);
        row.unit->setText(Q(model_.unit(f)));
        row.unit->setVisible(shown);
        row.fault->setText(Q(model_.fault(f)));
        row.fault->setVisible(shown && !model_.fault(f).empty());
        row.edit->setAccessibleDescription(Q(model_.fault(f)));
    }
    liquidBox_->setVisible(!gas);
    gasBox_->setVisible(gas);
    flowKind_->setVisible(gas);
    flowKindCaption_->setVisible(gas);
    // The list names the standard conditions in the units shown.
    for (int i = 0; i < flowKind_->count(); ++i) flowKind_->setItemText(i, Q(model_.gasFlowFormName(i)));
    flowKind_->setCurrentIndex(static_cast<int>(model_.gasFlowForm()));
    trim_->setCurrentIndex(model_.trim() == ValveTrim::Full ? 0 : 1);
    source_->setText("Numbers from " + Q(model_.liquidSource()) + ".");

    const std::vector<ValveRow> rows = model_.resultRows();
    results_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const ValveRow& row = rows[static_cast<std::size_t>(r)];
        const QString cells[] = {Q(row.caption), Q(row.value), Q(row.unit)};
        for (int c = 0; c < 3; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == 1) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (r < 2) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            results_->setItem(r, c, item);
        }
    }
    results_->resizeColumnsToContents();
    results_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    QString notes;
    for (const std::string& n : model_.notes()) notes += (notes.isEmpty() ? "" : "\n") + QString("\u2022 ") + Q(n);
    notes_->setText(notes);
    notes_->setVisible(!notes.isEmpty());
    status_->setText(Q(model_.status()));
    status_->setVisible(!model_.status().empty());
    refreshing_ = false;
}

void ValveSizingDialog::say(const std::optional<std::string>& problem) {
    if (problem && services_.platform) services_.platform->message(this, MessageKind::Warning, *problem);
    refresh();
}

void ValveSizingDialog::useWater() { say(model_.useWater()); }

void ValveSizingDialog::chooseLiquid() {
    if (!services_.askLiquid) return;
    if (const auto choice = services_.askLiquid()) say(model_.useLiquid(*choice));
}

void ValveSizingDialog::copyResults() {
    if (services_.platform) services_.platform->setClipboardReport(model_.copyText(), model_.copyHtml());
}

void ValveSizingDialog::exportSheet() {
    Platform* platform = services_.platform;
    if (!platform) return;
    if (!model_.result()) {
        platform->message(this, MessageKind::Information,
                          "The calculation sheet shows the sized valve: " + model_.status());
        return;
    }
    SheetTitle title = services_.choices ? services_.choices->sheetTitle() : SheetTitle{};
    if (services_.askSheetTitle) {
        const auto entered = services_.askSheetTitle(title, this);
        if (!entered) return;
        title = *entered;
        if (services_.choices) services_.choices->setSheetTitle(title);
    }
    const FileChooser chooser{"PDF document (*.pdf)|*.pdf", "pdf", "Export calculation sheet", {}, "control-valve.pdf"};
    const auto path = ChooseFile(*platform, this, chooser, true, services_.choices, FileKind::Sheet);
    if (!path || !MayWriteOutput(*platform, this, services_.outputs, *path, kSheetOutput)) return;
    const auto pdf = services_.drawSheet ? services_.drawSheet(MakeValveSheet(model_, TodaysDate(), title))
                                         : std::nullopt;
    if (!pdf) {
        platform->message(this, MessageKind::Error, "The calculation sheet could not be drawn.");
        return;
    }
    if (const auto failure = WriteFileAtomically(*path, *pdf))
        platform->message(this, MessageKind::Error, FileErrorText(*failure));
}

}  // namespace corvane
