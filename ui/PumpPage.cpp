#include "ui/PumpPage.h"

#include <QChart>
#include <QComboBox>
#include <QPushButton>
#include <QChartView>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/platform/Platform.h"
#include "ui/sheet/ChartRender.h"

namespace corvane {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

PumpPage::PumpPage(QWidget* parent) : QWidget(parent) {
    setObjectName("PumpPage");
    points_ = new QTableWidget(PumpTab::kPointRows, 2, this);
    points_->setObjectName("PumpPointsTable");
    points_->setAccessibleName("Pump curve points");
    points_->verticalHeader()->hide();
    points_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    points_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    points_->setFixedHeight(points_->horizontalHeader()->sizeHint().height() +
                            PumpTab::kPointRows * points_->verticalHeader()->defaultSectionSize() + 4);
    for (int r = 0; r < PumpTab::kPointRows; ++r)
        for (int c = 0; c < 2; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            points_->setItem(r, c, item);
        }
    speed_ = new QLineEdit(Q(tab_.speedText()), this);
    speed_->setObjectName("PumpSpeedEdit");
    speed_->setAccessibleName("Speed ratio");
    speed_->setAlignment(Qt::AlignRight);
    efficiency_ = new QLineEdit(this);
    efficiency_->setObjectName("PumpEfficiencyEdit");
    efficiency_->setAccessibleName("Pump efficiency (%)");
    efficiency_->setAlignment(Qt::AlignRight);
    efficiency_->setPlaceholderText("none");

    chart_ = new QChartView(new QChart, this);
    chart_->setObjectName("PumpChart");
    chart_->setAccessibleName("System and pump curves");
    chart_->setRenderHint(QPainter::Antialiasing);
    // The legend below the chart, a line for each entry: the operating
    // points' names are long, and a chart's own legend cuts them short.
    legend_ = new QLabel(this);
    legend_->setObjectName("PumpChartLegend");
    legend_->setAccessibleName("Legend");
    legend_->setTextFormat(Qt::RichText);
    legend_->setWordWrap(true);
    legend_->setMargin(4);

    result_ = new QTableWidget(0, 3, this);
    result_->setObjectName("PumpResultTable");
    result_->setAccessibleName("Pump operating point");
    result_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    result_->verticalHeader()->hide();
    result_->horizontalHeader()->hide();
    result_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    result_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    message_ = new QLabel(this);
    message_->setObjectName("PumpMessage");
    message_->setWordWrap(true);
    message_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    message_->setMargin(8);
    lower_ = new QStackedWidget(this);
    lower_->addWidget(result_);
    lower_->addWidget(message_);

    library_ = new QComboBox(this);
    library_->setObjectName("PumpLibraryComboBox");
    library_->setAccessibleName("Pump library");
    use_ = new QPushButton("Use", this);
    use_->setObjectName("UsePumpButton");
    remove_ = new QPushButton("Remove", this);
    remove_->setObjectName("RemovePumpButton");
    name_ = new QLineEdit(this);
    name_->setObjectName("PumpNameEdit");
    name_->setAccessibleName("Name of the pump to add");
    name_->setPlaceholderText("Name");
    add_ = new QPushButton("Add to library", this);
    add_->setObjectName("AddPumpButton");
    auto* chooseRow = new QHBoxLayout;
    chooseRow->addWidget(library_, 1);
    chooseRow->addWidget(use_);
    chooseRow->addWidget(remove_);
    auto* addRow = new QHBoxLayout;
    addRow->addWidget(name_, 1);
    addRow->addWidget(add_);
    connect(use_, &QPushButton::clicked, this, [this] {
        if (!pumps_ || !panel_ || library_->currentIndex() < 0) return;
        if (const auto pump = pumps_->find(library_->currentText().toStdString())) {
            tab_.usePump(*pump, *panel_);
            speed_->setText(Q(tab_.speedText()));
            Q_EMIT edited();
        }
    });
    connect(add_, &QPushButton::clicked, this, [this] {
        if (!pumps_ || !panel_) return;
        std::optional<Refusal> refusal;
        const auto pump = tab_.asPump(name_->text().toStdString(), *panel_, &refusal);
        if (pump) refusal = pumps_->add(*pump);
        if (refusal) {
            if (platform_) platform_->message(this, refusal->kind, refusal->text);
            return;
        }
        fillLibrary();
        library_->setCurrentText(name_->text());
    });
    connect(remove_, &QPushButton::clicked, this, [this] {
        if (!pumps_ || library_->currentIndex() < 0) return;
        if (const auto refusal = pumps_->remove(library_->currentText().toStdString())) {
            if (platform_) platform_->message(this, refusal->kind, refusal->text);
            return;
        }
        fillLibrary();
    });

    auto* form = new QFormLayout;
    form->addRow("Speed ratio", speed_);
    form->addRow("Efficiency (%)", efficiency_);
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel("Pump curve", this));
    left->addWidget(points_);
    left->addLayout(form);
    left->addWidget(new QLabel("Pump library", this));
    left->addLayout(chooseRow);
    left->addLayout(addRow);
    left->addWidget(lower_, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(chart_, 1);
    right->addWidget(legend_);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 2);
    layout->addLayout(right, 3);

    connect(points_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (filling_) return;
        const std::string text = item->text().toStdString();
        if (item->column() == 0) tab_.setFlowText(item->row(), text);
        else tab_.setHeadText(item->row(), text);
        Q_EMIT edited();
    });
    connect(speed_, &QLineEdit::textEdited, this, [this](const QString& t) {
        tab_.setSpeedText(t.toStdString());
        Q_EMIT edited();
    });
    connect(efficiency_, &QLineEdit::textEdited, this, [this](const QString& t) {
        tab_.setEfficiencyText(t.toStdString());
        Q_EMIT edited();
    });
}

void PumpPage::setLibrary(PumpLibrary* library, Platform* platform) {
    pumps_ = library;
    platform_ = platform;
    fillLibrary();
}

void PumpPage::fillLibrary() {
    const QString chosen = library_->currentText();
    library_->clear();
    std::optional<std::string> problem;
    if (pumps_)
        for (const ListedPump& p : pumps_->list(&problem)) library_->addItem(Q(p.pump.name));
    if (!chosen.isEmpty()) library_->setCurrentText(chosen);
    for (QWidget* w : std::initializer_list<QWidget*>{library_, use_, remove_, name_, add_}) w->setEnabled(pumps_ != nullptr);
    use_->setEnabled(pumps_ && library_->count() > 0);
    remove_->setEnabled(pumps_ && library_->count() > 0);
    if (problem && platform_) platform_->message(this, MessageKind::Error, *problem);
}

void PumpPage::show(const PanelModel& panel, const PumpTabResult& result, const ChartPicture& picture) {
    panel_ = &panel;
    filling_ = true;
    points_->setHorizontalHeaderLabels({Q(PumpFlowTitle(panel)), Q(PumpHeadTitle(panel))});
    for (int r = 0; r < PumpTab::kPointRows; ++r) {
        points_->item(r, 0)->setText(Q(tab_.flowText(r)));
        points_->item(r, 1)->setText(Q(tab_.headText(r)));
    }
    filling_ = false;
    if (speed_->text().toStdString() != tab_.speedText()) speed_->setText(Q(tab_.speedText()));
    if (efficiency_->text().toStdString() != tab_.efficiencyText()) efficiency_->setText(Q(tab_.efficiencyText()));
    if (result.message) {
        message_->setText(Q(result.message.value()).replace('\r', '\n'));
        lower_->setCurrentWidget(message_);
    } else {
        result_->setRowCount(static_cast<int>(result.rows.size()));
        for (int r = 0; r < static_cast<int>(result.rows.size()); ++r) {
            const PumpRow& row = result.rows[static_cast<std::size_t>(r)];
            const QString cells[] = {Q(row.caption), Q(row.value), Q(row.unit)};
            for (int c = 0; c < 3; ++c) {
                auto* item = new QTableWidgetItem(cells[c]);
                if (c == 1) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                result_->setItem(r, c, item);
            }
        }
        lower_->setCurrentWidget(result_);
    }
    RenderChartPicture(chart_, picture, font());
    chart_->chart()->legend()->hide();
    legend_->setText(picture.message ? QString() : LegendHtml(picture));
}

}  // namespace corvane
