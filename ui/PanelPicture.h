#pragma once
// Pictures of a panel: the 493 x 328 panel image, the 493 x 353 screen copy
// with its heading band, and the printed page.

#include <QFont>
#include <QImage>
#include <QString>

class QPainter;
class QWidget;

namespace corvane {

// The panel as shown, with its entries and results, at 493 x 328 pixels.
QImage PanelImage(QWidget* panel);

// A pale yellow band over the top 40 pixels, the heading at (1, 5) in the
// window's font face at 10 points, the panel image from y = 25 down.
QImage ScreenCopyPicture(const QImage& panel, const QString& heading, const QFont& windowFont);

// One printed page of `page` device pixels: the heading and the panel
// image stretched to 45 % of the page width.
void PrintPanelPage(QPainter& painter, QSize page, const QString& heading, const QImage& panel,
                    const QFont& windowFont);

// Today's date in the user's short date format.
QString TodayShortDate();

}  // namespace corvane
