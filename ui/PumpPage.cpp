#include "ui/PumpPage.h"

#include <QChart>
#include <QChartView>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

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

    auto* form = new QFormLayout;
    form->addRow("Speed ratio", speed_);
    form->addRow("Efficiency (%)", efficiency_);
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel("Pump curve", this));
    left->addWidget(points_);
    left->addLayout(form);
    left->addWidget(lower_, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 2);
    layout->addWidget(chart_, 3);

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

void PumpPage::show(const PanelModel& panel, const PumpTabResult& result, const ChartPicture& picture) {
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
}

}  // namespace corvane
