#include "ui/AnalysisWindow.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QPointer>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QPushButton>
#include <QScatterSeries>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

#include "logic/model/analysis/AnalysisPictures.h"
#include "ui/sheet/ChartRender.h"
#include "logic/model/analysis/SecondOpinion.h"
#include "logic/model/analysis/ValidityNotes.h"
#include "logic/io/FileIo.h"
#include "logic/text/NumberText.h"
#include "logic/model/settings/UserChoices.h"
#include "ui/platform/OutputFile.h"
#include "ui/PictureFile.h"
#include "ui/PumpPage.h"
#include "ui/platform/Platform.h"

namespace corvane {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QChartView* MakeChartView(const char* name, const char* accessible) {
    auto* view = new QChartView(new QChart);
    view->setObjectName(name);
    view->setAccessibleName(accessible);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(560, 380);
    return view;
}

}  // namespace

void RenderChartPicture(QChartView* view, const ChartPicture& picture, const QFont& font) {
    if (picture.message) ClearChart(view->chart());
    else Render(view->chart(), picture, font);
}

namespace {

QLabel* MessageLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    label->setMargin(24);
    return label;
}

}  // namespace

AnalysisWindow::AnalysisWindow(std::array<PanelModel*, 4> panels, const DataTable* pipes, Platform* platform,
                               QWidget* parent, PumpLibrary* pumps)
    : QDialog(parent), panels_(panels), pipes_(pipes), platform_(platform) {
    setObjectName("AnalysisWindow");
    setWindowTitle("Corvane - Analysis");
    setModal(false);

    choice_ = new QComboBox(this);
    choice_->setObjectName("PanelComboBox");
    choice_->setAccessibleName("Panel");
    choice_->addItems({"Find pressure drop", "Find flow", "Find diameter", "Find length"});
    connect(choice_, &QComboBox::activated, this, [this] { refresh(); });

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("AnalysisTabs");
    curve_ = MakeChartView("SystemCurveChart", "System curve");
    moody_ = MakeChartView("MoodyChart", "Moody diagram");
    sizes_ = new QTableWidget(this);
    sizes_->setObjectName("StandardSizesTable");
    sizes_->setAccessibleName("Standard sizes");
    sizes_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    notes_ = new QLabel(this);
    notes_->setObjectName("ValidityNotesLabel");
    notes_->setAccessibleName("Validity notes");
    notes_->setWordWrap(true);
    notes_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    notes_->setMargin(12);
    sizes_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    sizes_->verticalHeader()->hide();
    sizes_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    sizes_->setWordWrap(false);
    const struct {
        QWidget* content;
        const char* message;
        const char* caption;
    } pages[] = {{curve_, "SystemCurveMessage", "System curve"},
                 {moody_, "MoodyMessage", "Moody diagram"},
                 {sizes_, "StandardSizesMessage", "Standard sizes"}};
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        pages_[i] = new QStackedWidget(this);
        messages_[i] = MessageLabel(pages[i].message, pages_[i]);
        pages_[i]->addWidget(pages[i].content);
        pages_[i]->addWidget(messages_[i]);
        tabs_->addTab(pages_[i], pages[i].caption);
    }
    tabs_->addTab(notes_, "Validity notes");
    fittings_ = new QTableWidget(this);
    fittings_->setObjectName("FittingsComparisonTable");
    fittings_->setAccessibleName("Fittings by the table, 2-K and 3-K");
    fittings_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fittings_->verticalHeader()->hide();
    fittings_->setWordWrap(false);
    fittingsPage_ = new QStackedWidget(this);
    fittingsMessage_ = MessageLabel("FittingsMessage", fittingsPage_);
    fittingsPage_->addWidget(fittings_);
    fittingsPage_->addWidget(fittingsMessage_);
    tabs_->addTab(fittingsPage_, "Fittings");
    pump_ = new PumpPage(this);
    pump_->setLibrary(pumps, platform_);
    tabs_->addTab(pump_, "Pump");
    connect(pump_, &PumpPage::edited, this, &AnalysisWindow::scheduleRefresh);
    // Every change of a panel's texts may change its case or its results.
    for (PanelModel* model : panels_) {
        if (!model) continue;
        model->subscribe([window = QPointer<AnalysisWindow>(this), model](Ctl) {
            if (window && window->isVisible() && &window->panel() == model) window->scheduleRefresh();
        });
    }

    copy_ = new QPushButton("Copy picture", this);
    copy_->setObjectName("CopyPictureButton");
    savePicture_ = new QPushButton("Save picture...", this);
    savePicture_->setObjectName("SavePictureButton");
    saveData_ = new QPushButton("Save data...", this);
    saveData_->setObjectName("SaveDataButton");
    auto* close = new QPushButton("Close", this);
    close->setObjectName("CloseButton");
    connect(copy_, &QPushButton::clicked, this, &AnalysisWindow::copyPicture);
    connect(savePicture_, &QPushButton::clicked, this, &AnalysisWindow::savePicture);
    connect(saveData_, &QPushButton::clicked, this, &AnalysisWindow::saveData);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) {
        const QWidget* page = tabs_->widget(tab);
        copy_->setEnabled(showsPicture(page));
        savePicture_->setEnabled(showsPicture(page));
        saveData_->setEnabled(showsData(page));
    });

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Panel:", this));
    top->addWidget(choice_);
    top->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy_);
    buttons->addWidget(savePicture_);
    buttons->addWidget(saveData_);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);
    resize(860, 640);
}

int AnalysisWindow::panelNumber() const { return choice_->currentIndex() + 1; }

PanelModel& AnalysisWindow::panel() const { return *panels_[static_cast<std::size_t>(choice_->currentIndex())]; }

void AnalysisWindow::showFor(int number) {
    choice_->setCurrentIndex(std::clamp(number, 1, 4) - 1);
    if (isVisible()) refresh();
    show();
    raise();
    activateWindow();
}

void AnalysisWindow::refresh() {
    refreshPending_ = false;
    fillCurve();
    fillMoody();
    fillSizes();
    fillNotes();
    fillFittings();
}

void AnalysisWindow::scheduleRefresh() {
    if (refreshPending_) return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (refreshPending_) refresh();
    });
}

void AnalysisWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    refresh();
}

QLabel* AnalysisWindow::shownMessage(int tab) const {
    if (tab < 0 || tab >= static_cast<int>(pages_.size())) return nullptr;
    const auto i = static_cast<std::size_t>(tab);
    return pages_[i]->currentWidget() == messages_[i] ? messages_[i] : nullptr;
}

namespace {

// A page shows its content, or the message in its place.
void ShowPage(QStackedWidget* page, QLabel* label, const std::optional<std::string>& message) {
    if (message) label->setText(Q(*message));
    page->setCurrentIndex(message ? 1 : 0);
}

}  // namespace

void AnalysisWindow::fillCurve() {
    const PumpTabResult pump = SolvePumpTab(panel(), pump_->model());
    const ChartPicture p = WithPump(panel(), pump);
    ShowPage(pages_[0], messages_[0], p.message);
    RenderChartPicture(curve_, p, font());
    pump_->show(panel(), pump, p);
}

void AnalysisWindow::fillMoody() {
    const ChartPicture p = MoodyPicture(panel());
    ShowPage(pages_[1], messages_[1], p.message);
    if (p.message) ClearChart(moody_->chart());
    else Render(moody_->chart(), p, font());
}

void AnalysisWindow::fillSizes() {
    const SizesTable table = pipes_ ? StandardSizesTable(panel(), *pipes_) : SizesTable{};
    const bool shows = ShowsResults(panel());
    ShowPage(pages_[2], messages_[2], shows ? std::nullopt : std::optional<std::string>(kNoResultText));
    sizes_->clear();
    sizes_->setColumnCount(static_cast<int>(table.headers.size()));
    QStringList headers;
    for (const auto& h : table.headers) headers << Q(h);
    sizes_->setHorizontalHeaderLabels(headers);
    if (sizes_->columnCount() > 0) sizes_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    sizes_->setRowCount(static_cast<int>(table.rows.size()));
    for (int r = 0; r < static_cast<int>(table.rows.size()); ++r) {
        const auto& row = table.rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < static_cast<int>(row.size()); ++c) {
            auto* item = new QTableWidgetItem(Q(row[static_cast<std::size_t>(c)]));
            if (c >= 2) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            sizes_->setItem(r, c, item);
        }
    }
}

void AnalysisWindow::fillNotes() {
    if (!ShowsResults(panel())) {
        notes_->setText(kNoResultText);
        return;
    }
    const std::vector<ValidityNote> notes = ValidityNotes(panel());
    if (notes.empty()) {
        notes_->setText("No notes: the case lies inside the range of every formula used.");
        return;
    }
    QString html;
    for (const ValidityNote& n : notes)
        html += "<p><b>" + Q(n.title).toHtmlEscaped() + "</b><br/>" + Q(n.reason).toHtmlEscaped() + "</p>";
    notes_->setText(html);
}

void AnalysisWindow::fillFittings() {
    const FittingsComparisonTable table = CompareFittings(panel());
    ShowPage(fittingsPage_, fittingsMessage_, table.message);
    fittings_->clear();
    fittings_->setColumnCount(static_cast<int>(table.headers.size()));
    QStringList headers;
    for (const auto& h : table.headers) headers << Q(h);
    fittings_->setHorizontalHeaderLabels(headers);
    const int count = static_cast<int>(table.rows.size() + table.totals.size());
    fittings_->setRowCount(count);
    int r = 0;
    for (const auto* group : {&table.rows, &table.totals}) {
        for (const auto& row : *group) {
            for (int c = 0; c < static_cast<int>(row.size()); ++c) {
                auto* item = new QTableWidgetItem(Q(row[static_cast<std::size_t>(c)]));
                if (c >= 1) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                if (group == &table.totals) {
                    QFont bold = item->font();
                    bold.setBold(true);
                    item->setFont(bold);
                }
                fittings_->setItem(r, c, item);
            }
            ++r;
        }
    }
    fittings_->resizeColumnsToContents();
}

// The picture the window's picture commands take: a chart, or the whole
// Pump tab (its chart with the points and the result rows).
bool AnalysisWindow::showsPicture(const QWidget* tab) const {
    return tab == pages_[CurvePage] || tab == pages_[MoodyPage] || tab == pump_;
}

bool AnalysisWindow::showsData(const QWidget* tab) const { return showsPicture(tab) || tab == pages_[SizesPage]; }

QWidget* AnalysisWindow::shownPicture() const {
    const QWidget* tab = tabs_->currentWidget();
    if (tab == pages_[CurvePage]) return curve_;
    if (tab == pages_[MoodyPage]) return moody_;
    if (tab == pump_) return pump_;
    return nullptr;
}

std::string AnalysisWindow::shownCsv() const {
    const QWidget* tab = tabs_->currentWidget();
    if (tab == pages_[CurvePage])  // the curve as drawn, past a pump's point
        return SystemCurveCsv(
            ComputeSystemCurve(panel(), 31, SystemCurveEnd(panel(), SolvePumpTab(panel(), pump_->model()))),
            panel().locale());
    if (tab == pages_[MoodyPage]) return MoodyCsv(ComputeMoody(panel()), panel().locale());
    if (tab == pages_[SizesPage])
        return StandardSizesCsv(pipes_ ? StandardSizes(panel(), *pipes_) : std::vector<SizeOption>{}, panel());
    if (tab == pump_) return PumpCsv(panel(), pump_->model(), SolvePumpTab(panel(), pump_->model()));
    return {};
}

void AnalysisWindow::copyPicture() {
    if (QWidget* view = shownPicture(); view && platform_) platform_->setClipboardImage(view->grab().toImage());
}

void AnalysisWindow::savePicture() {
    if (QWidget* view = shownPicture(); view && platform_) SaveShownPicture(*platform_, this, view, choices_, outputs_);
}

void AnalysisWindow::saveData() {
    if (!platform_ || !showsData(tabs_->currentWidget())) return;
    const auto path =
        ChooseFile(*platform_, this, {"CSV data (*.csv)|*.csv", "csv", "Save data"}, true, choices_, FileKind::Data);
    if (path) WriteOutput(*platform_, this, outputs_, *path, shownCsv(), {"The data", "the data"});
}

}  // namespace corvane
