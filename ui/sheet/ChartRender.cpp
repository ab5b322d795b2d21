#include "ui/sheet/ChartRender.h"

#include <QCategoryAxis>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QScatterSeries>

namespace corvane {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

void ClearChart(QChart* chart) {
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
}

namespace {

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
        case LineRole::Pump: return QPen(QColor(20, 140, 60), 2, Qt::DashLine);
        case LineRole::Profile: return QPen(QColor(130, 90, 40), 2);
        case LineRole::Energy: return QPen(QColor(120, 40, 150), 1.5, Qt::DashDotLine);
        default: return QPen(QColor(20, 80, 200), 2);
    }
}

QColor PointColour(LineRole role) { return role == LineRole::PumpPoint ? QColor(20, 140, 60) : QColor(200, 30, 30); }

bool IsPoint(LineRole role) { return role == LineRole::Operating || role == LineRole::PumpPoint; }

}  // namespace

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
    for (const ChartLine& l : p.lines) {
        if (IsPoint(l.role)) {
            auto* point = new QScatterSeries;
            point->setName(Q(l.name));
            // A pump's point a size larger: a point drawn on it stays in view.
            point->setMarkerSize(l.role == LineRole::PumpPoint ? 14 : 10);
            point->setColor(PointColour(l.role));
            for (const auto& [px, py] : l.points) point->append(px, py);
            if (!l.label.empty()) {
                point->setPointLabelsFormat(Q(l.label));
                point->setPointLabelsFont(font);
                point->setPointLabelsColor(QColor(20, 110, 45));
                point->setPointLabelsVisible(true);
                point->setPointLabelsClipping(false);
            }
            Attach(chart, point, x, y);
            if (!l.inLegend) HideFromLegend(chart, point);
            continue;
        }
        auto* series = new QLineSeries;
        series->setName(Q(l.name));
        series->setPen(PenOf(l.role));
        for (const auto& [px, py] : l.points) series->append(px, py);
        Attach(chart, series, x, y);
        if (l.inLegend) continue;
        HideFromLegend(chart, series);
        // The name above its curve where the picture found room for it.
        if (!l.labelAt || *l.labelAt >= l.points.size()) continue;
        const auto& [lx, ly] = l.points[*l.labelAt];
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

QString LegendHtml(const ChartPicture& picture) {
    QString html;
    for (const ChartLine& l : picture.lines) {
        if (!l.inLegend) continue;
        const QColor colour = IsPoint(l.role) ? PointColour(l.role) : PenOf(l.role).color();
        // A dot for a point, a dash for a line.
        const QString mark = IsPoint(l.role) ? QStringLiteral("\u25cf") : QStringLiteral("\u2501\u2501");
        if (!html.isEmpty()) html += "<br/>";
        html += "<span style=\"color:" + colour.name() + "\">" + mark + "</span>&nbsp;" + Q(l.name).toHtmlEscaped();
    }
    return html;
}

}  // namespace corvane
