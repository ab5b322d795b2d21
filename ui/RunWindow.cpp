#include "ui/RunWindow.h"

#include <QApplication>
#include <QBoxLayout>
#include <QChartView>
#include <QCloseEvent>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextDocument>
#include <algorithm>
#include <filesystem>

#include "logic/engine/Units.h"
#include "logic/io/FileIo.h"
#include "logic/text/NumberText.h"
#include "logic/model/sheets/RunSheet.h"
#include "logic/model/settings/UserChoices.h"
#include "ui/platform/OutputFile.h"
#include "ui/PictureFile.h"
#include "ui/platform/Platform.h"
#include "ui/sheet/CalculationSheetPdf.h"
#include "ui/sheet/ChartRender.h"

namespace corvane {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

struct FieldSpec {
    RunField field;
    const char* name;     // objectName
    const char* caption;
};

// The entries, by group.
const FieldSpec kLiquid[] = {{RunField::FluidName, "RunFluidName", "Liquid"},
                             {RunField::Viscosity, "RunViscosity", "Kinematic viscosity"},
                             {RunField::RelativeDensity, "RunRelativeDensity", "Relative density (water = 1)"},
                             {RunField::VapourPressure, "RunVapourPressure", "Vapour pressure"}};
const FieldSpec kEnds[] = {{RunField::SourcePressure, "RunSourcePressure", "Source surface pressure"},
                           {RunField::SourceLevel, "RunSourceLevel", "Source surface level"},
                           {RunField::StartElevation, "RunStartElevation", "First section starts at"},
                           {RunField::SinkPressure, "RunSinkPressure", "Sink surface pressure"},
                           {RunField::SinkLevel, "RunSinkLevel", "Sink surface level"},
                           {RunField::Flow, "RunFlow", "Flow (empty: solved for)"}};
const FieldSpec kPump[] = {{RunField::PumpAfter, "RunPumpAfter", "After section (empty: none)"},
                           {RunField::PumpPoints, "RunPumpPoints", "Curve points"},
                           {RunField::PumpSpeed, "RunPumpSpeed", "Speed ratio"},
                           {RunField::PumpEfficiency, "RunPumpEfficiency", "Efficiency"},
                           {RunField::NpshRequired, "RunNpshRequired", "NPSH required points"}};

// TAB-separated lines as one HTML table, a row a line.
std::string ResultsHtml(const std::string& text) {
    std::string html = "<table>";
    std::string line;
    for (char c : text + "\n") {
        if (c != '\n') {
            line += c;
            continue;
        }
        html += "<tr><td>" + S(Q(line).toHtmlEscaped().replace("\t", "</td><td>")) + "</td></tr>";
        line.clear();
    }
    return html + "</table>";
}

QString FileName(const std::string& path) {
    const QString full = QFile::decodeName(path.c_str());
    return full.mid(full.lastIndexOf('/') + 1);
}

}  // namespace

RunWindow::RunWindow(const Locale& locale, RunDataBases bases, PanelServices services, std::function<void()> newRun,
                     std::function<void()> open, QWidget* parent)
    : QMainWindow(parent),
      editor_(locale, std::move(bases)),
      services_(std::move(services)),
      newRun_(std::move(newRun)),
      open_(std::move(open)) {
    setObjectName("PipeRunWindow");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::Window);
    fields_.assign(kRunFieldCount, nullptr);
    units_.assign(kRunFieldCount, nullptr);

    // ---- menus
    auto action = [this](QMenu* menu, const char* text, const char* name, auto slot) {
        QAction* a = menu->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("RunFileMenu");
    action(file, "&New pipe run", "RunNew1", [this] {
        if (newRun_) newRun_();
    })->setShortcut(QKeySequence::New);
    action(file, "&Open\u2026", "RunOpen1", [this] {
        if (open_) open_();
    })->setShortcut(QKeySequence::Open);
    action(file, "&Save", "RunSave1", [this] { save(); })->setShortcut(QKeySequence::Save);
    action(file, "Save &as\u2026", "RunSaveAs1", [this] { saveAs(); })->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    file->addSeparator();
    action(file, "&Export calculation sheet\u2026", "RunExportSheet1", [this] { exportSheet(); });
    action(file, "Print pre&view\u2026", "RunPrintPreview1", [this] { printPreview(); });
    action(file, "&Print\u2026", "RunPrint1", [this] { print(); })->setShortcut(QKeySequence::Print);
    file->addSeparator();
    action(file, "&Close", "RunClose1", [this] { close(); })->setShortcut(QKeySequence::Close);
    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("RunEditMenu");
    action(edit, "&Copy results", "RunCopyResults1", [this] { copyResults(); })->setShortcut(QKeySequence::Copy);
    action(edit, "Copy grade-line &picture", "RunCopyPicture1", [this] { copyPicture(); });
    action(edit, "Save grade-line picture\u2026", "RunSavePicture1", [this] { savePicture(); });
    action(edit, "Save results as &text\u2026", "RunSaveData1", [this] { saveData(); });

    // ---- entries
    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    auto* top = new QHBoxLayout;
    auto group = [&](const char* title, const char* name, const FieldSpec* specs, std::size_t count) {
        auto* box = new QGroupBox(title, central);
        box->setObjectName(name);
        auto* grid = new QGridLayout(box);
        grid->setVerticalSpacing(3);
        for (std::size_t i = 0; i < count; ++i) {
            const FieldSpec& s = specs[i];
            auto* caption = new QLabel(s.caption, box);
            auto* edit = new QLineEdit(box);
            edit->setObjectName(s.name);
            edit->setAccessibleName(s.caption);
            caption->setBuddy(edit);
            if (s.field == RunField::PumpPoints || s.field == RunField::NpshRequired) edit->setMinimumWidth(210);
            auto* unit = new QLabel(box);
            unit->setMinimumWidth(40);
            grid->addWidget(caption, static_cast<int>(i), 0);
            grid->addWidget(edit, static_cast<int>(i), 1);
            grid->addWidget(unit, static_cast<int>(i), 2);
            fields_[static_cast<std::size_t>(s.field)] = edit;
            units_[static_cast<std::size_t>(s.field)] = unit;
            const RunField f = s.field;
            connect(edit, &QLineEdit::editingFinished, this, [this, f] { fieldEdited(f); });
        }
        return std::pair{box, grid};
    };
    auto [liquid, liquidGrid] = group("Liquid", "RunLiquidGroup", kLiquid, std::size(kLiquid));
    auto* fluidButton = new QPushButton("Fluid data\u2026", liquid);
    fluidButton->setObjectName("RunFluidData");
    liquidGrid->addWidget(fluidButton, 4, 1);
    connect(fluidButton, &QPushButton::clicked, this, [this] { chooseFluid(); });
    auto* unitsRow = new QHBoxLayout;
    metric_ = new QRadioButton("Metric", liquid);
    metric_->setObjectName("RunMetric");
    imperial_ = new QRadioButton("Imperial", liquid);
    imperial_->setObjectName("RunImperial");
    // The units last chosen in a run window.
    const bool metric = !services_.choices || services_.choices->runMetric();
    editor_.setMetric(metric);
    (metric ? metric_ : imperial_)->setChecked(true);
    unitsRow->addWidget(new QLabel("Units:", liquid));
    unitsRow->addWidget(metric_);
    unitsRow->addWidget(imperial_);
    liquidGrid->addLayout(unitsRow, 5, 0, 1, 3);
    connect(metric_, &QRadioButton::toggled, this, [this](bool on) { setUnits(on); });
    top->addWidget(liquid);
    top->addWidget(group("Source and sink", "RunEndsGroup", kEnds, std::size(kEnds)).first);
    top->addWidget(group("Pump", "RunPumpGroup", kPump, std::size(kPump)).first);
    outer->addLayout(top);

    auto* titleRow = new QHBoxLayout;
    auto* titleEdit = new QLineEdit(central);
    titleEdit->setObjectName("RunTitle");
    titleEdit->setAccessibleName("Title");
    fields_[static_cast<std::size_t>(RunField::Title)] = titleEdit;
    connect(titleEdit, &QLineEdit::editingFinished, this, [this] { fieldEdited(RunField::Title); });
    titleRow->addWidget(new QLabel("Title", central));
    titleRow->addWidget(titleEdit);
    outer->addLayout(titleRow);

    // ---- sections
    auto* splitter = new QSplitter(Qt::Vertical, central);
    auto* sectionsPane = new QWidget(splitter);
    auto* sectionsLayout = new QVBoxLayout(sectionsPane);
    sectionsLayout->setContentsMargins(0, 0, 0, 0);
    sections_ = new QTableWidget(sectionsPane);
    sections_->setObjectName("RunSections");
    sections_->setAccessibleName("Sections");
    sections_->setColumnCount(kSectionColumnCount);
    sections_->verticalHeader()->setDefaultSectionSize(22);
    sections_->setSelectionBehavior(QAbstractItemView::SelectRows);
    sections_->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(sections_, &QTableWidget::cellChanged, this, &RunWindow::cellEdited);
    connect(sections_, &QTableWidget::cellDoubleClicked, this, [this](int, int column) {
        if (column == static_cast<int>(SectionColumn::Fittings)) chooseFittings();
    });
    auto* buttons = new QHBoxLayout;
    const struct {
        const char* text;
        const char* name;
        std::function<void()> act;
    } sectionButtons[] = {
        {"Add section", "RunAddSection", [this] {
             if (auto row = editor_.addSection(currentSection())) {
                 refresh();
                 sections_->selectRow(*row);
             } else {
                 report("A run has at most " + std::to_string(kMaxRunSections) + " sections.");
             }
         }},
        {"Remove section", "RunRemoveSection", [this] {
             if (!editor_.removeSection(currentSection())) report("A run keeps one section at least.");
             refresh();
         }},
        {"Move up", "RunMoveUp", [this] {
             const int row = currentSection();
             if (editor_.moveSection(row, -1)) {
                 refresh();
                 sections_->selectRow(row - 1);
             }
         }},
        {"Move down", "RunMoveDown", [this] {
             const int row = currentSection();
             if (editor_.moveSection(row, 1)) {
                 refresh();
                 sections_->selectRow(row + 1);
             }
         }},
        {"Pipe\u2026", "RunChoosePipe", [this] { choosePipe(); }},
        {"Fittings\u2026", "RunChooseFittings", [this] { chooseFittings(); }},
    };
    for (const auto& b : sectionButtons) {
        auto* button = new QPushButton(b.text, sectionsPane);
        button->setObjectName(b.name);
        connect(button, &QPushButton::clicked, this, b.act);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    sectionsLayout->addWidget(sections_);
    sectionsLayout->addLayout(buttons);

    // ---- results
    auto* resultsPane = new QWidget(splitter);
    auto* resultsLayout = new QVBoxLayout(resultsPane);
    resultsLayout->setContentsMargins(0, 0, 0, 0);
    status_ = new QLabel(resultsPane);
    status_->setObjectName("RunStatus");
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    resultsLayout->addWidget(status_);
    tabs_ = new QTabWidget(resultsPane);
    tabs_->setObjectName("RunResultTabs");
    auto* plotPage = plotPage_ = new QWidget(tabs_);
    auto* plotLayout = new QHBoxLayout(plotPage);
    chart_ = new QChartView(plotPage);
    chart_->setObjectName("RunGradeLines");
    chart_->setRenderHint(QPainter::Antialiasing);
    chart_->chart()->legend()->hide();
    chart_->setMinimumSize(560, 300);
    // The legend beside the plot, where no name is cut short.
    legend_ = new QLabel(plotPage);
    legend_->setObjectName("RunGradeLinesLegend");
    legend_->setTextFormat(Qt::RichText);
    legend_->setWordWrap(true);
    legend_->setMaximumWidth(230);
    legend_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    plotLayout->addWidget(chart_, 1);
    plotLayout->addWidget(legend_);
    tabs_->addTab(plotPage, "Grade lines");
    auto table = [&](const char* name, const char* title) {
        auto* t = new QTableWidget(tabs_);
        t->setObjectName(name);
        t->setEditTriggers(QAbstractItemView::NoEditTriggers);
        t->verticalHeader()->hide();
        t->verticalHeader()->setDefaultSectionSize(22);
        tabs_->addTab(t, title);
        return t;
    };
    sectionResults_ = table("RunSectionResults", "Sections");
    losses_ = table("RunLosses", "Entry, transitions, exit");
    nodes_ = table("RunNodes", "Nodes");
    pump_ = table("RunPumpResults", "Pump");
    resultsLayout->addWidget(tabs_);
    splitter->addWidget(sectionsPane);
    splitter->addWidget(resultsPane);
    splitter->setStretchFactor(1, 2);
    outer->addWidget(splitter, 1);
    setCentralWidget(central);
    statusBar()->setObjectName("RunStatusLine");
    resize(1100, 820);
    refresh();
}

void RunWindow::updateCaption() {
    const QString name = path_.empty() ? QString("New pipe run") : FileName(path_);
    setWindowTitle((editor_.modified() ? "*" : "") + name + " \u2014 Pipe run \u2014 Corvane");
}

int RunWindow::currentSection() const {
    const int row = sections_->currentRow();
    return row < 0 ? editor_.sectionCount() - 1 : row;
}

void RunWindow::report(const std::optional<std::string>& problem) {
    if (!problem) {
        statusBar()->clearMessage();
        return;
    }
    statusBar()->showMessage(Q(*problem));
    if (services_.platform) services_.platform->beep();
}

void RunWindow::fieldEdited(RunField f) {
    if (filling_) return;
    QLineEdit* edit = fields_[static_cast<std::size_t>(f)];
    if (S(edit->text()) == editor_.text(f)) return;
    report(editor_.setText(f, S(edit->text())));
    refresh();
}

void RunWindow::cellEdited(int row, int column) {
    if (filling_) return;
    const QTableWidgetItem* item = sections_->item(row, column);
    if (!item) return;
    report(editor_.setSectionText(row, static_cast<SectionColumn>(column), S(item->text())));
    refresh();
}

void RunWindow::setUnits(bool metric) {
    if (editor_.metric() == metric) return;
    editor_.setMetric(metric);
    if (services_.choices) services_.choices->setRunMetric(metric);
    refresh();
}

void RunWindow::refreshSections() {
    const int selected = sections_->currentRow();
    QStringList headers;
    for (const std::string& h : editor_.sectionHeaders()) headers << Q(h);
    sections_->setHorizontalHeaderLabels(headers);
    const auto rows = editor_.sectionRows();
    sections_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < kSectionColumnCount; ++c) {
            auto* item = new QTableWidgetItem(Q(rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]));
            if (c != 0 && c != static_cast<int>(SectionColumn::Transition)) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (c == static_cast<int>(SectionColumn::Fittings) || (c == static_cast<int>(SectionColumn::Transition) && r == 0)) {
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
                item->setToolTip(c == static_cast<int>(SectionColumn::Fittings) ? "Double-click: the fittings dialog"
                                                                                 : "The first section has no transition");
            }
            sections_->setItem(r, c, item);
        }
    sections_->resizeColumnsToContents();
    sections_->horizontalHeader()->setStretchLastSection(true);
    if (selected >= 0 && selected < sections_->rowCount()) sections_->selectRow(selected);
}

void RunWindow::fillTable(QTableWidget* table, const TextTable& content) {
    table->clear();
    table->setColumnCount(static_cast<int>(content.headers.size()));
    QStringList headers;
    for (const std::string& h : content.headers) headers << Q(h);
    table->setHorizontalHeaderLabels(headers);
    table->setRowCount(static_cast<int>(content.rows.size()));
    for (int r = 0; r < static_cast<int>(content.rows.size()); ++r) {
        const auto& row = content.rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < static_cast<int>(row.size()); ++c) {
            auto* item = new QTableWidgetItem(Q(row[static_cast<std::size_t>(c)]));
            if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            // Where the liquid boils, in red.
            if (std::find(content.warnRows.begin(), content.warnRows.end(), static_cast<std::size_t>(r)) !=
                content.warnRows.end())
                item->setForeground(QColor(176, 0, 0));
            table->setItem(r, c, item);
        }
    }
    table->resizeColumnsToContents();
}

void RunWindow::refresh() {
    filling_ = true;
    for (int i = 0; i < kRunFieldCount; ++i) {
        const RunField f = static_cast<RunField>(i);
        if (QLineEdit* e = fields_[static_cast<std::size_t>(i)]; e && !e->hasFocus()) e->setText(Q(editor_.text(f)));
        else if (e && S(e->text()) != editor_.text(f) && statusBar()->currentMessage().isEmpty()) e->setText(Q(editor_.text(f)));
        if (QLabel* u = units_[static_cast<std::size_t>(i)]) u->setText(Q(editor_.unit(f)));
    }
    const bool hasPump = editor_.document().pump.has_value();
    for (RunField f : {RunField::PumpPoints, RunField::PumpSpeed, RunField::PumpEfficiency, RunField::NpshRequired})
        fields_[static_cast<std::size_t>(f)]->setEnabled(hasPump);
    metric_->setChecked(editor_.metric());
    imperial_->setChecked(!editor_.metric());
    refreshSections();
    filling_ = false;

    const RunOutcome& o = editor_.outcome();
    const std::string status = editor_.statusText();
    if (o.status != RunStatus::Ok) {
        status_->setStyleSheet("color: #b00000; font-weight: bold");
        status_->setText(Q(status));
    } else {
        status_->setStyleSheet(status.empty() ? "" : "color: #8a4b00");
        const std::string flow = editor_.text(RunField::Flow);
        QString head = "Flow " + Q(WriteEntryNumber(editor_.metric() ? o.result.flow
                                                                      : FlowFromLitresPerMin(kGallonUsPerMin, o.result.flow),
                                                    3, editor_.locale())
                                       .value_or("")) +
                       " " + Q(editor_.unit(RunField::Flow)) +
                       (o.flowGiven ? " (given)" : o.run.pump ? " (the pump's operating point)" : " (driven by the heads)");
        status_->setText(head + (status.empty() ? "" : "\n" + Q(status)));
    }
    const ChartPicture picture = editor_.gradeLinePicture();
    QFont font = QApplication::font();
    if (picture.message) {
        ClearChart(chart_->chart());
        chart_->chart()->setTitle(Q(*picture.message).replace('\n', ' '));
        legend_->clear();
    } else {
        Render(chart_->chart(), picture, font);
        chart_->chart()->legend()->hide();
        legend_->setText(LegendHtml(picture));
    }
    fillTable(sectionResults_, editor_.sectionResults());
    fillTable(losses_, editor_.transitionResults());
    fillTable(nodes_, editor_.nodeResults());
    fillTable(pump_, editor_.pumpResults());
    updateCaption();
}

void RunWindow::chooseFittings() {
    const int row = currentSection();
    if (!services_.askFittings || row < 0) return;
    if (const auto selection = services_.askFittings(editor_.fittingsSelection(row))) {
        report(editor_.setFittingsSelection(row, *selection));
        refresh();
    }
}

void RunWindow::choosePipe() {
    const int row = currentSection();
    if (!services_.askPipeDiameter || row < 0) return;
    if (const auto diameter = services_.askPipeDiameter(editor_.metric())) {
        report(editor_.setSectionText(row, SectionColumn::Diameter, *diameter));
        refresh();
    }
}

void RunWindow::chooseFluid() {
    if (!services_.askFluid) return;
    if (const auto fluid = services_.askFluid(FluidGroup::Liquids)) {
        report(editor_.useFluid(*fluid));
        refresh();
    }
}

std::optional<std::string> RunWindow::openFile(const std::string& path) {
    RunFileRead read = ReadRunFile(path);
    if (!read.document) return read.message;
    editor_.setDocument(std::move(*read.document));
    path_ = path;
    fileBytes_ = read.bytes;
    if (services_.choices) services_.choices->addRecent(path);
    refresh();
    return std::nullopt;
}

void RunWindow::writeTo(const std::string& path) {
    if (services_.platform && !MayWriteOutput(*services_.platform, this, services_.outputs, path,
                                              {"The pipe run", "the run"}, {}, path_))
        return;
    // The bytes this window read are checked only when writing back to
    // the same file.
    const bool same = !path_.empty() && SameFile(path, path_);
    const RunFileWrite written = WriteRunFile(path, editor_.document(), same ? fileBytes_ : std::nullopt);
    if (!written.bytes) {
        if (services_.platform) services_.platform->message(this, MessageKind::Error, path + "\r" + written.message);
        return;
    }
    path_ = path;
    fileBytes_ = written.bytes;
    editor_.setSaved();
    if (services_.choices) services_.choices->addRecent(path);
    updateCaption();
    statusBar()->showMessage("Saved " + QFile::decodeName(path.c_str()), 5000);
}

void RunWindow::save() {
    if (path_.empty()) saveAs();
    else writeTo(path_);
}

void RunWindow::saveAs() {
    if (!services_.platform) return;
    const std::string offered = path_.empty() ? "pipe-run.cvrun" : S(FileName(path_));
    const FileChooser chooser{"Pipe run (*.cvrun)|*.cvrun", "cvrun", "Save pipe run", {}, offered};
    if (const auto path = ChooseFile(*services_.platform, this, chooser, true, services_.choices, FileKind::Panel))
        writeTo(*path);
}

void RunWindow::exportSheet() {
    Platform* platform = services_.platform;
    if (!platform) return;
    if (editor_.outcome().status != RunStatus::Ok) {
        platform->message(this, MessageKind::Information,
                          "The calculation sheet shows the run's results: the run is not calculated:\r" +
                              editor_.outcome().message);
        return;
    }
    SheetTitle title = services_.choices ? services_.choices->sheetTitle() : SheetTitle{};
    if (services_.askSheetTitle) {
        const auto entered = services_.askSheetTitle(title, this);
        if (!entered) return;
        title = *entered;
        if (services_.choices) services_.choices->setSheetTitle(title);
    }
    const std::string offered = path_.empty() ? "pipe-run.pdf" : std::filesystem::path(path_).stem().string() + ".pdf";
    const FileChooser chooser{"PDF document (*.pdf)|*.pdf", "pdf", "Export calculation sheet", {}, offered};
    const auto path = ChooseFile(*platform, this, chooser, true, services_.choices, FileKind::Sheet);
    if (!path) return;
    if (!MayWriteOutput(*platform, this, services_.outputs, *path, kSheetOutput, {{path_, "the run file it shows"}}))
        return;
    const std::string name = path_.empty() ? "" : S(FileName(path_));
    const auto pdf = CalculationSheetPdf(MakeRunSheet(editor_.document(), editor_.outcome(), name, TodaysDate(), title,
                                                      editor_.locale()));
    if (!pdf) {
        platform->message(this, MessageKind::Error, "The calculation sheet could not be drawn.");
        return;
    }
    if (const auto failure = WriteFileAtomically(*path, pdf->toStdString()))
        platform->message(this, MessageKind::Error, FileErrorText(*failure));
}

void RunWindow::print() { printOrPreview(false); }

void RunWindow::printPreview() { printOrPreview(true); }

void RunWindow::printOrPreview(bool preview) {
    if (!services_.platform) return;
    // One page: the grade lines above, their key and the results below.
    const auto draw = [this](QPainter& painter, QSize page) {
        // The plot as shaped on screen, at most 45 % of the page high.
        const int high = page.width() * std::max(1, chart_->height()) / std::max(1, chart_->width());
        const QRect plot(0, 0, page.width(), std::min(page.height() * 45 / 100, high));
        chart_->render(&painter, plot);
        QTextDocument text;
        QFont font = QApplication::font();
        font.setPointSizeF(7);
        text.setDefaultFont(font);
        const QString html = legend_->text() + Q(ResultsHtml(editor_.resultsText()));
        text.setHtml(html);
        text.setTextWidth(page.width());
        painter.save();
        painter.translate(0, plot.height() + 20);
        const double scale = std::min(1.0, (page.height() - plot.height() - 20) / std::max(1.0, text.size().height()));
        painter.scale(scale, scale);
        text.drawContents(&painter);
        painter.restore();
    };
    if (preview) services_.platform->preview(this, "Corvane pipe run", draw);
    else services_.platform->print(this, "Corvane pipe run", draw);
}

void RunWindow::copyResults() {
    if (!services_.platform) return;
    const std::string text = editor_.resultsText();
    // The same as an HTML table for programs that paste tables.
    services_.platform->setClipboardReport(text, ResultsHtml(text));
}

void RunWindow::copyPicture() {
    if (services_.platform) services_.platform->setClipboardImage(plotPage_->grab().toImage());
}

void RunWindow::savePicture() {
    if (services_.platform) SaveShownPicture(*services_.platform, this, plotPage_, services_.choices, services_.outputs);
}

void RunWindow::saveData() {
    if (!services_.platform) return;
    // TAB-separated, the numbers with the locale's decimal mark, as the
    // clipboard's text.
    const auto path = ChooseFile(*services_.platform, this,
                                 {"Text, TAB-separated (*.txt)|*.txt", "txt", "Save results"}, true, services_.choices,
                                 FileKind::Data);
    if (path) WriteOutput(*services_.platform, this, services_.outputs, *path, editor_.resultsText(),
                          {"The results", "the results"});
}

void RunWindow::closeEvent(QCloseEvent* event) {
    if (editor_.modified() && services_.platform &&
        services_.platform->ask(this, "The pipe run has changes that are not saved. Save them before closing?")) {
        save();
        if (editor_.modified()) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

}  // namespace corvane
