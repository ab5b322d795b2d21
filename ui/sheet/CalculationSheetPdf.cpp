#include "ui/sheet/CalculationSheetPdf.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QChart>
#include <QCoreApplication>
#include <QFont>
#include <QGraphicsScene>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <functional>
#include <memory>
#include <vector>

#include "ui/sheet/ChartRender.h"

namespace corvane {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

constexpr int kResolution = 300;       // dots per inch of the PDF's coordinates
constexpr double kMarginMm = 16.0;
constexpr double kTextPoints = 9.0;
constexpr double kChartAspect = 0.62;  // height / width of a plot
constexpr double kGap = 0.35;          // space after a block, in lines

QFont SheetFont(double points, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// A run of characters without a blank longer than this gets a break
// opportunity (a zero-width space) after each such stretch: the text
// layout searches a whole unbroken run for every line it breaks it into,
// so a long fluid name took a time that grew with its length squared.
constexpr int kLongestUnbroken = 160;

QString Breakable(const QString& s) {
    QString out;
    out.reserve(s.size() + s.size() / kLongestUnbroken);
    int run = 0;
    for (const QChar c : s) {
        if (c.isSpace()) run = 0;
        else if (run >= kLongestUnbroken && !c.isLowSurrogate()) {
            out += QChar(0x200B);
            run = 0;
        }
        out += c;
        ++run;
    }
    return out;
}

QString Escaped(const std::string& s) { return Breakable(Q(s)).toHtmlEscaped(); }

// The HTML of a block of text.
QString Html(const SheetBlock& b) {
    switch (b.kind) {
        case SheetBlock::Kind::Paragraph: return "<p>" + Escaped(b.text) + "</p>";
        case SheetBlock::Kind::Equation:
            // The equation in a column of its own, what it says beside it.
            return "<table width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr><td width=\"4%\"></td>"
                   "<td width=\"48%\" style=\"font-family:'Liberation Serif','Times New Roman'; font-style:italic\">" +
                   Escaped(b.text) + "</td><td width=\"48%\">" + Escaped(b.note) + "</td></tr></table>";
        case SheetBlock::Kind::Table: {
            QString html = "<table cellspacing=\"0\" cellpadding=\"3\" border=\"1\" style=\"border-color:#999; "
                           "border-style:solid\"><tr>";
            for (const auto& h : b.headers) html += "<th align=\"left\" bgcolor=\"#e8e8e8\">" + Escaped(h) + "</th>";
            html += "</tr>";
            const std::size_t firstBold = b.rows.size() - std::min<std::size_t>(b.rows.size(), b.boldRows);
            for (std::size_t r = 0; r < b.rows.size(); ++r) {
                html += "<tr>";
                for (std::size_t c = 0; c < b.rows[r].size(); ++c) {
                    QString cell = Escaped(b.rows[r][c]);
                    if (r >= firstBold) cell = "<b>" + cell + "</b>";
                    html += QString("<td%1>").arg(c == 0 ? "" : " align=\"right\"") + cell + "</td>";
                }
                html += "</tr>";
            }
            return html + "</table>";
        }
        case SheetBlock::Kind::Chart: break;
    }
    return {};
}

// The title block: one row of captions, one of what was entered (empty
// cells left to be filled in by hand).
QString TitleBlockHtml(const std::vector<std::pair<std::string, std::string>>& block) {
    QString captions, values;
    for (const auto& [caption, value] : block) {
        captions += "<td bgcolor=\"#e8e8e8\"><small>" + Escaped(caption) + "</small></td>";
        values += "<td>" + (value.empty() ? QString("&nbsp;") : Escaped(value)) + "</td>";
    }
    return "<table width=\"100%\" cellspacing=\"0\" cellpadding=\"4\" border=\"1\" style=\"border-color:#999; "
           "border-style:solid\"><tr>" + captions + "</tr><tr>" + values + "</tr></table>";
}

// One thing on a page: its height and how it is drawn at a top edge.
struct Piece {
    double height = 0;
    bool keepWithNext = false;
    std::function<void(QPainter&, double top)> draw;
};

std::shared_ptr<QTextDocument> Document(const QString& html, const QFont& font, double width, QPaintDevice* device) {
    auto doc = std::make_shared<QTextDocument>();
    doc->documentLayout()->setPaintDevice(device);
    doc->setDefaultFont(font);
    doc->setDocumentMargin(0);
    doc->setHtml(html);
    doc->setTextWidth(width);
    return doc;
}

Piece TextPiece(const QString& html, const QFont& font, double left, double width, QPaintDevice* device) {
    auto doc = Document(html, font, width, device);
    Piece p;
    p.height = doc->size().height();
    p.draw = [doc, left](QPainter& painter, double top) {
        painter.save();
        painter.translate(left, top);
        doc->drawContents(&painter);
        painter.restore();
    };
    return p;
}

Piece ChartPiece(const ChartPicture& picture, double left, double width) {
    Piece p;
    p.height = width * kChartAspect;
    p.draw = [picture, left, width, height = p.height](QPainter& painter, double top) {
        const QRectF target(left, top, width, height);
        if (picture.message) {
            painter.setFont(SheetFont(kTextPoints));
            painter.drawRect(target);
            painter.drawText(target, Qt::AlignCenter | Qt::TextWordWrap, Q(*picture.message));
            return;
        }
        // The chart laid out at a screen size and drawn scaled into the
        // PDF's painter: lines and text stay vectors.
        QGraphicsScene scene;
        auto* chart = new QChart;
        chart->setAnimationOptions(QChart::NoAnimation);
        chart->setBackgroundRoundness(0);
        scene.addItem(chart);
        const QSizeF size(640, 640 * kChartAspect);
        chart->resize(size);
        QFont font = SheetFont(8);
        Render(chart, picture, font);
        // The chart places its axes, labels and legend in posted layout
        // events: run them before drawing.
        QCoreApplication::sendPostedEvents();
        scene.setSceneRect(QRectF(QPointF(0, 0), size));
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        scene.render(&painter, target, scene.sceneRect(), Qt::KeepAspectRatio);
        painter.restore();
    };
    return p;
}

}  // namespace

std::optional<QByteArray> CalculationSheetPdf(const CalculationSheet& sheet) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return std::nullopt;
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(kResolution);
        pdf.setTitle(Q(sheet.title));
        pdf.setCreator(Q(sheet.program));
        pdf.setPageSize(QPageSize(sheet.paper == SheetPaper::Letter ? QPageSize::Letter : QPageSize::A4));
        pdf.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);

        const double width = pdf.width();
        const double pageHeight = pdf.height();
        const QFont text = SheetFont(kTextPoints);
        const QFont small = SheetFont(7.5);
        const double line = QFontMetricsF(text, &pdf).lineSpacing();
        const double headerHeight = 3.2 * line;
        const double footerHeight = 2.0 * line;
        const double top = headerHeight;
        const double bottom = pageHeight - footerHeight;

        // The pieces in order: the title, then each section's heading and
        // its blocks.
        std::vector<Piece> pieces;
        pieces.push_back(TextPiece("<h2>" + Escaped(sheet.title) + "</h2>", SheetFont(11), 0, width, &pdf));
        if (!sheet.titleBlock.empty()) pieces.push_back(TextPiece(TitleBlockHtml(sheet.titleBlock), text, 0, width, &pdf));
        for (const SheetSection& section : sheet.sections) {
            Piece heading = TextPiece("<p style=\"margin-top:8px\"><b>" + Escaped(section.title) + "</b></p>",
                                      SheetFont(11.5, true), 0, width, &pdf);
            heading.keepWithNext = true;
            pieces.push_back(heading);
            for (std::size_t i = 0; i < section.blocks.size(); ++i) {
                const SheetBlock& b = section.blocks[i];
                if (b.kind == SheetBlock::Kind::Chart) {
                    // The plots of a section share a page where they can.
                    Piece p = ChartPiece(b.chart, width * 0.1, width * 0.8);
                    p.keepWithNext = i + 1 < section.blocks.size() &&
                                     section.blocks[i + 1].kind == SheetBlock::Kind::Chart;
                    pieces.push_back(p);
                } else {
                    Piece p = TextPiece(Html(b), text, 0, width, &pdf);
                    // A sentence that ends in a colon introduces what follows.
                    p.keepWithNext = !b.text.empty() && b.text.back() == ':' && i + 1 < section.blocks.size();
                    pieces.push_back(p);
                }
            }
        }

        // Pages: a piece that does not fit below the last starts a new
        // page, and takes along the heading or sentence kept with it.
        std::vector<int> page(pieces.size(), 0);
        std::vector<double> at(pieces.size(), 0);
        int current = 0;
        double y = top;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            double need = pieces[i].height;
            for (std::size_t j = i; pieces[j].keepWithNext && j + 1 < pieces.size(); ++j) need += pieces[j + 1].height;
            if (y + need > bottom && y > top) {
                ++current;
                y = top;
            }
            page[i] = current;
            at[i] = y;
            y += pieces[i].height + kGap * line;
        }
        const int pages = current + 1;

        QPainter painter;
        if (!painter.begin(&pdf)) return std::nullopt;
        for (int n = 0; n < pages; ++n) {
            if (n > 0) pdf.newPage();
            painter.setPen(Qt::black);
            painter.setFont(small);
            const QRectF head(0, 0, width, line * 1.2);
            painter.drawText(head, Qt::AlignLeft | Qt::AlignVCenter, Q(sheet.program + " \u2014 " + sheet.title));
            painter.drawText(head, Qt::AlignRight | Qt::AlignVCenter, Q(sheet.date));
            const QRectF head2(0, line * 1.2, width, line * 1.2);
            painter.drawText(head2, Qt::AlignLeft | Qt::AlignVCenter, Q(sheet.pageHeading));
            painter.drawLine(QPointF(0, line * 2.6), QPointF(width, line * 2.6));
            painter.drawLine(QPointF(0, pageHeight - line * 1.5), QPointF(width, pageHeight - line * 1.5));
            const QRectF foot(0, pageHeight - line * 1.3, width, line * 1.3);
            painter.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter, Q(sheet.program));
            painter.drawText(foot, Qt::AlignRight | Qt::AlignVCenter, Q(CalculationSheet::PageText(n + 1, pages)));
            for (std::size_t i = 0; i < pieces.size(); ++i)
                if (page[i] == n) pieces[i].draw(painter, at[i]);
        }
        if (!painter.end()) return std::nullopt;
    }
    buffer.close();
    if (bytes.isEmpty()) return std::nullopt;
    return bytes;
}

}  // namespace corvane
