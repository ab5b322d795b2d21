#include "ui/SplashWindow.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace corvane {

QPixmap SplashPicture() {
    QPixmap pm(400, 400);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 400);
    sky.setColorAt(0, QColor(20, 60, 110));
    sky.setColorAt(1, QColor(150, 200, 235));
    p.fillRect(pm.rect(), sky);
    // A pipe run with a bend and a valve.
    QPainterPath pipe;
    pipe.moveTo(-10, 300);
    pipe.lineTo(180, 300);
    pipe.quadTo(230, 300, 230, 250);
    pipe.lineTo(230, 200);
    pipe.quadTo(230, 160, 270, 160);
    pipe.lineTo(410, 160);
    p.setPen(QPen(QColor(90, 90, 100), 34, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(pipe);
    p.setPen(QPen(QColor(170, 175, 185), 26, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(pipe);
    p.setPen(QPen(QColor(60, 140, 230), 10, Qt::DashLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(pipe);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(200, 40, 40));
    p.drawRect(QRectF(300, 132, 26, 56));
    p.drawEllipse(QRectF(298, 112, 30, 14));
    p.setPen(Qt::white);
    p.setFont(QFont("Arial", 40, QFont::Bold));
    p.drawText(QRect(0, 20, 384, 50), Qt::AlignRight | Qt::AlignVCenter, "Corvane");
    p.setFont(QFont("Arial", 11));
    p.drawText(QRect(16, 340, 368, 44), Qt::AlignLeft | Qt::AlignVCenter,
               "Pressure drop, flow, diameter and length\nof liquid and gas pipe runs");
    return pm;
}

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("Tarnel_SplashForm");
    setFixedSize(400, 400);
    image_ = new QLabel(this);
    image_->setObjectName("Image1");
    image_->setGeometry(0, 0, 400, 400);
    image_->setAccessibleName("Corvane");
    version_ = new QLabel("Version 1.12", this);
    version_->setObjectName("VersionLabel");
    version_->setAttribute(Qt::WA_TranslucentBackground);
    QPalette white = version_->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    version_->setPalette(white);
    version_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    version_->adjustSize();
    version_->move(384 - version_->width(), 64);
    timer_.setObjectName("SplashTimer1");
    connect(&timer_, &QTimer::timeout, this, &SplashWindow::dismiss);
}

QPoint SplashWindow::PlaceOver(const QRect& frame) {
    return {frame.left() + (frame.width() - 406) / 2, frame.top() + 130};
}

void SplashWindow::showFor(int milliseconds, const QWidget* mainWindow) {
    // The picture is drawn when first needed, not at start-up.
    if (image_->pixmap().isNull()) image_->setPixmap(SplashPicture());
    timer_.start(milliseconds);  // restarting the countdown of a second request
    if (mainWindow) move(PlaceOver(mainWindow->frameGeometry()));
    show();
    raise();
}

void SplashWindow::dismiss() {
    timer_.stop();
    hide();
}

void SplashWindow::mousePressEvent(QMouseEvent*) { dismiss(); }

}  // namespace corvane
