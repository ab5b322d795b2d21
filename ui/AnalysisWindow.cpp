#include "ui/AnalysisWindow.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QPushButton>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

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

QScatterSeries* OperatingMarker(double x, double y) {
    auto* point = new QScatterSeries;
    point->setName("Operating point");
    point->setMarkerSize(10);
    point->setColor(QColor(200, 30, 30));
    point->append(x, y);
    return point;
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
    tabs_->addTab(curve_, "System curve");
    tabs_->addTab(moody_, "Moody diagram");
    tabs_->addTab(sizes_, "Standard sizes");
    tabs_->addTab(notes_, "Validity notes");

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
}

int AnalysisWindow::panelNumber() const { return choice_->currentIndex() + 1; }

PanelModel& AnalysisWindow::panel() const { return *panels_[static_cast<std::size_t>(choice_->currentIndex())]; }

void AnalysisWindow::showFor(int number) {
    choice_->setCurrentIndex(std::clamp(number, 1, 4) - 1);
    refresh();
    show();
    raise();
    activateWindow();
}

void AnalysisWindow::refresh() {
    fillCurve();
    fillMoody();
    fillSizes();
    fillNotes();
}

void AnalysisWindow::fillCurve() {
    QChart* chart = curve_->chart();
    ClearChart(chart);
    const SystemCurve c = ComputeSystemCurve(panel());
    if (c.refusal) {
        chart->setTitle(Q("No curve: " + c.refusal->text).replace('\r', ' '));
        return;
    }
    chart->setTitle("System curve");
    auto* line = new QLineSeries;
    line->setName(Q(c.valueUnit + " against flow"));
    for (const CurvePoint& p : c.points) line->append(p.flow, p.value);
    chart->addSeries(line);
    chart->addSeries(OperatingMarker(c.operating.flow, c.operating.value));
    chart->createDefaultAxes();
    chart->axes(Qt::Horizontal).front()->setTitleText(Q("Flow (" + c.flowUnit + ")"));
    const bool head = c.valueUnit.find("hd") != std::string::npos;
    chart->axes(Qt::Vertical).front()->setTitleText(Q((head ? "Head (" : "Pressure drop (") + c.valueUnit + ")"));
}

void AnalysisWindow::fillMoody() {
    QChart* chart = moody_->chart();
    ClearChart(chart);
    const MoodyDiagram m = ComputeMoody(panel());
    auto* x = new QLogValueAxis;
    x->setTitleText("Reynolds number");
    x->setBase(10);
    x->setRange(500, 1e8);
    x->setLabelFormat("%.0e");
    auto* y = new QLogValueAxis;
    y->setTitleText("Darcy friction factor");
    y->setBase(10);
    y->setRange(0.006, 0.13);
    y->setLabelFormat("%.3f");
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    auto add = [&](const MoodyCurve& c, QPen pen, const QString& name) {
        auto* s = new QLineSeries;
        s->setName(name);
        for (const auto& [re, f] : c.points)
            if (f > 0) s->append(re, f);
        s->setPen(pen);
        chart->addSeries(s);
        s->attachAxis(x);
        s->attachAxis(y);
    };
    for (const MoodyCurve& c : m.family)
        add(c, QPen(QColor(150, 150, 150), 1), "e/D " + Q(WriteFixedNumber(c.relativeRoughness, 6, 2, Locale{}).value_or("")));
    add(m.own, QPen(QColor(20, 80, 200), 2.5), "This pipe");
    add(m.colebrook, QPen(QColor(200, 40, 40), 1.5, Qt::DashLine), "Colebrook-White");
    chart->legend()->setVisible(false);
    if (m.refusal) {
        chart->setTitle(Q("No operating point: " + m.refusal->text).replace('\r', ' '));
        return;
    }
    auto* point = OperatingMarker(m.reynolds, m.friction);
    chart->addSeries(point);
    point->attachAxis(x);
    point->attachAxis(y);
    QString title = Q("Re " + WriteEntryNumber(m.reynolds, 0, panel().locale()).value_or("") + ", f " +
                      WriteEntryNumber(m.friction, 4, panel().locale()).value_or(""));
    if (m.differencePercent)
        title += Q(", " + WriteEntryNumber(*m.differencePercent, 2, panel().locale()).value_or("") +
                   " % from Colebrook-White (dashed)");
    chart->setTitle(title);
}

void AnalysisWindow::fillSizes() {
    const std::vector<SizeOption> sizes = pipes_ ? StandardSizes(panel(), *pipes_) : std::vector<SizeOption>{};
    sizes_->clear();
    sizes_->setColumnCount(6);
    sizes_->setHorizontalHeaderLabels({"Pipe type", "Nominal size", "Internal diameter (mm)",
                                       Q("Velocity (" + VelocityUnit(panel()) + ")"), "Reynolds number",
                                       Q(ValueUnitOf(panel()).find("hd") != std::string::npos
                                             ? "Head (" + ValueUnitOf(panel()) + ")"
                                             : "Pressure drop (" + ValueUnitOf(panel()) + ")")});
    sizes_->setRowCount(static_cast<int>(sizes.size()));
    const Locale& l = panel().locale();
    for (int r = 0; r < static_cast<int>(sizes.size()); ++r) {
        const SizeOption& o = sizes[static_cast<std::size_t>(r)];
        const QStringList cells = {Q(o.type), Q(o.nominal), Q(WriteEntryNumber(o.internalDiameter, 3, l).value_or("")),
                                   o.refused ? "" : Q(WriteEntryNumber(o.velocity, 3, l).value_or("")),
                                   o.refused ? "" : Q(WriteEntryNumber(o.reynolds, 0, l).value_or("")),
                                   o.refused ? "refused" : Q(WriteEntryNumber(o.value, 3, l).value_or(""))};
        for (int c = 0; c < 6; ++c) sizes_->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    sizes_->resizeColumnsToContents();
}

void AnalysisWindow::fillNotes() {
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
