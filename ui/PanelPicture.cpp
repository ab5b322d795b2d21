#include "ui/PanelPicture.h"

#include <QDate>
#include <QLocale>
#include <QPainter>
#include <QWidget>

#include "logic/model/panels/PrintLayout.h"

namespace corvane {

QImage PanelImage(QWidget* panel) {
    QImage image(kPanelWidth, kPanelHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    panel->render(&p, QPoint(0, 0), QRegion(0, 0, kPanelWidth, kPanelHeight),
                  QWidget::DrawWindowBackground | QWidget::DrawChildren);
    return image;
}

QImage ScreenCopyPicture(const QImage& panel, const QString& heading, const QFont& windowFont) {
    QImage picture(kPanelWidth, kScreenCopyHeight, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.fillRect(QRect(0, 0, kPanelWidth, kScreenCopyBandHeight), QColor(255, 255, 225));
    QFont font(windowFont.family());
    font.setPointSize(10);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(1, 5, kPanelWidth - 1, kScreenCopyPanelTop - 5), Qt::AlignLeft | Qt::AlignTop, heading);
    p.drawImage(QPoint(0, kScreenCopyPanelTop), panel);
    return picture;
}

void PrintPanelPage(QPainter& painter, QSize page, const QString& heading, const QImage& panel,
                    const QFont& windowFont) {
    const PrintLayout l = LayoutPrintedPanel(page.width(), page.height());
    QFont font = windowFont;
    if (windowFont.pointSizeF() <= 0) font.setPointSizeF(8);  // a pixel-sized window font is 8 points
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(l.left, l.headingTop, page.width() - l.left, page.height() - l.headingTop),
                     Qt::AlignLeft | Qt::AlignTop, heading);
    painter.drawImage(QRect(l.left, l.pictureTop, l.pictureWidth, l.pictureHeight), panel);
}

QString TodayShortDate() { return QLocale().toString(QDate::currentDate(), QLocale::ShortFormat); }

}  // namespace corvane
