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
#include <QSvgGenerator>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

#include "logic/model/AnalysisPictures.h"
#include "logic/model/SecondOpinion.h"
#include "logic/io/FileIo.h"
#include "logic/text/NumberText.h"
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

void ClearChart(QChart* chart) {
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
}

// An axis with the picture's ticks as its labels and grid lines.
QCategoryAxis* MakeAxis(const ChartAxis& a, const QFont& font) {
    auto* axis = new QCategoryAxis;
    axis->setTitleText(Q(a.title));
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setStartValue(a.min);
    for (const AxisTick& t : a.ticks) axis->append(Q(t.label), t.at);
    axis->setRange(a.min, a.max);
    axis->setLabelsFont(font);
    QFont bold = font;
    bold.setBold(true);
    axis->setTitleFont(bold);
    axis->setGridLinePen(QPen(QColor(190, 190, 190), 1));
    return axis;
}

void HideFromLegend(QChart* chart, QAbstractSeries* series) {
    for (QLegendMarker* m : chart->legend()->markers(series)) m->setVisible(false);
}

void Attach(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

QPen PenOf(LineRole role) {
    switch (role) {
        case LineRole::Family: return QPen(QColor(120, 120, 120), 1);
        case LineRole::Own: return QPen(QColor(20, 80, 200), 2.5);
        case LineRole::Reference: return QPen(QColor(200, 40, 40), 1.5, Qt::DashLine);
        default: return QPen(QColor(20, 80, 200), 2);
    }
}

// Draws a picture of the analysis: its axes, the minor grid lines as thin
// lines, its lines, and the names of the lines kept out of the legend at
// the right part of their curve.
void Render(QChart* chart, const ChartPicture& p, const QFont& font) {
    ClearChart(chart);
    chart->setTitle(Q(p.title));
    QFont bold = font;
    bold.setBold(true);
    chart->setTitleFont(bold);
    chart->legend()->setFont(font);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setVisible(true);
    QCategoryAxis* x = MakeAxis(p.x, font);
    QCategoryAxis* y = MakeAxis(p.y, font);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    const QPen minorPen(QColor(225, 225, 225), 1);
    auto gridLine = [&](QPointF a, QPointF b) {
        auto* line = new QLineSeries;
        line->setPen(minorPen);
        line->append(a);
        line->append(b);
        Attach(chart, line, x, y);
        HideFromLegend(chart, line);
    };
    for (double at : p.x.minor) gridLine({at, p.y.min}, {at, p.y.max});
    for (double at : p.y.minor) gridLine({p.x.min, at}, {p.x.max, at});
    int labelled = 0;
    for (const ChartLine& l : p.lines) {
        if (l.role == LineRole::Operating) {
            auto* point = new QScatterSeries;
            point->setName(Q(l.name));
            point->setMarkerSize(10);
            point->setColor(QColor(200, 30, 30));
            for (const auto& [px, py] : l.points) point->append(px, py);
            Attach(chart, point, x, y);
            continue;
        }
        auto* series = new QLineSeries;
        series->setName(Q(l.name));
        series->setPen(PenOf(l.role));
        for (const auto& [px, py] : l.points) series->append(px, py);
        Attach(chart, series, x, y);
        if (l.inLegend || l.points.empty()) continue;
        HideFromLegend(chart, series);
        // Near the right end, where the curves of the family lie apart;
        // neighbours staggered so that their names do not overlap.
        const std::size_t at = l.points.size() * (labelled++ % 2 == 0 ? 24 : 21) / 25;
        const auto& [lx, ly] = l.points[at];
        auto* label = new QScatterSeries;
        label->setMarkerSize(1);
        label->setPen(Qt::NoPen);
        label->setBrush(Qt::NoBrush);
        label->append(lx, ly);
        label->setPointLabelsFormat(Q(l.name));
        label->setPointLabelsFont(font);
        label->setPointLabelsColor(QColor(90, 90, 90));
        label->setPointLabelsVisible(true);
        label->setPointLabelsClipping(false);
        Attach(chart, label, x, y);
        HideFromLegend(chart, label);
    }
}

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
                               QWidget* parent)
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
        copy_->setEnabled(tab <= 1);
        savePicture_->setEnabled(tab <= 1);
        saveData_->setEnabled(tab <= 2);
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
    const ChartPicture p = SystemCurvePicture(panel());
    ShowPage(pages_[0], messages_[0], p.message);
    if (p.message) ClearChart(curve_->chart());
    else Render(curve_->chart(), p, font());
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

QChartView* AnalysisWindow::shownChart() const {
    if (tabs_->currentIndex() == 0) return curve_;
    if (tabs_->currentIndex() == 1) return moody_;
    return nullptr;
}

std::string AnalysisWindow::shownCsv() const {
    switch (tabs_->currentIndex()) {
        case 0: return SystemCurveCsv(ComputeSystemCurve(panel()), panel().locale());
        case 1: return MoodyCsv(ComputeMoody(panel()), panel().locale());
        case 2: return StandardSizesCsv(pipes_ ? StandardSizes(panel(), *pipes_) : std::vector<SizeOption>{}, panel());
        default: return {};
    }
}

void AnalysisWindow::copyPicture() {
    if (QChartView* view = shownChart(); view && platform_) platform_->setClipboardImage(view->grab().toImage());
}

void AnalysisWindow::savePicture() {
    QChartView* view = shownChart();
    if (!view || !platform_) return;
    const auto path = platform_->chooseSaveFile(this, {"PNG or SVG picture (*.png *.svg)|*.png;*.svg", "png", "Save picture"});
    if (!path) return;
    bool ok = false;
    if (QString::fromStdString(*path).endsWith(".svg", Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setFileName(Q(*path));
        svg.setSize(view->size());
        svg.setViewBox(view->rect());
        svg.setTitle(view->chart()->title());
        QPainter painter;
        ok = painter.begin(&svg);
        if (ok) {
            view->render(&painter);
            ok = painter.end();
        }
    } else {
        ok = view->grab().save(Q(*path), "PNG");
    }
    if (!ok) platform_->message(this, MessageKind::Error, "The picture could not be saved:\r" + *path);
}

void AnalysisWindow::saveData() {
    if (!platform_ || tabs_->currentIndex() > 2) return;
    const auto path = platform_->chooseSaveFile(this, {"CSV data (*.csv)|*.csv", "csv", "Save data"});
    if (!path) return;
    if (const auto failure = WriteFileAtomically(*path, shownCsv()))
        platform_->message(this, MessageKind::Error, FileErrorText(failure->error));
}

}  // namespace corvane
