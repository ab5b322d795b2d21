#include "ui/widgets/Glyphs.h"

#include <QPainter>
#include <QLinearGradient>
#include <QPainterPath>
#include <QPixmapCache>

namespace corvane {
namespace {

void Cylinder(QPainter& p, QRectF r, QColor c) {
    p.setBrush(c);
    p.drawRoundedRect(r, 2, 2);
    p.drawRect(QRectF(r.center().x() - 1, r.top() - 2, 2, 2));
}

QPixmap DrawGlyph(Glyph glyph, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    const QColor ink(40, 40, 40);
    p.setPen(QPen(ink, 1));
    switch (glyph) {
        case Glyph::SinglePanel:
            p.setBrush(QColor(230, 230, 230));
            p.drawRect(QRectF(2.5, 2.5, 11, 11));
            p.fillRect(QRectF(3, 3, 10, 3), QColor(0, 0, 128));
            break;
        case Glyph::FourPanels:
            p.setBrush(QColor(221, 221, 221));
            p.drawRect(QRectF(1.5, 1.5, 6, 6));
            p.setBrush(QColor(255, 255, 191));
            p.drawRect(QRectF(8.5, 1.5, 6, 6));
            p.setBrush(QColor(224, 250, 209));
            p.drawRect(QRectF(1.5, 8.5, 6, 6));
            p.setBrush(QColor(221, 255, 255));
            p.drawRect(QRectF(8.5, 8.5, 6, 6));
            break;
        case Glyph::Help: {
            // Drawn, not typeset: no font to load at start-up.
            p.setBrush(QColor(255, 255, 160));
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            QPainterPath q;
            q.moveTo(5.8, 6.2);
            q.cubicTo(5.8, 3.6, 10.2, 3.6, 10.2, 6.2);
            q.cubicTo(10.2, 8, 8, 8, 8, 9.8);
            p.drawPath(q);
            p.setBrush(ink);
            p.setPen(Qt::NoPen);
            p.drawEllipse(QPointF(8, 12), 1, 1);
            break;
        }
        case Glyph::About:
            p.setBrush(QColor(200, 220, 255));
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            p.drawEllipse(QPointF(8, 4.8), 1.1, 1.1);
            p.drawRect(QRectF(7.1, 6.8, 1.8, 5.5));
            break;
        case Glyph::Open: {
            p.setBrush(QColor(240, 200, 80));
            QPainterPath folder;
            folder.moveTo(1.5, 4.5);
            folder.lineTo(6, 4.5);
            folder.lineTo(7.5, 6);
            folder.lineTo(14.5, 6);
            folder.lineTo(14.5, 13.5);
            folder.lineTo(1.5, 13.5);
            folder.closeSubpath();
            p.drawPath(folder);
            break;
        }
        case Glyph::Save:
            p.setBrush(QColor(60, 90, 170));
            p.drawRect(QRectF(2.5, 2.5, 11, 11));
            p.fillRect(QRectF(5, 3, 6, 4), Qt::white);
            p.fillRect(QRectF(5, 9, 6, 4), QColor(200, 200, 200));
            break;
        case Glyph::CopyText:
            p.setBrush(Qt::white);
            p.drawRect(QRectF(3.5, 1.5, 9, 13));
            for (int y = 4; y <= 12; y += 2) p.drawLine(QPointF(5, y + 0.5), QPointF(11, y + 0.5));
            break;
        case Glyph::CopyScreen:
            p.setBrush(QColor(160, 200, 240));
            p.drawRect(QRectF(1.5, 2.5, 13, 9));
            p.drawLine(QPointF(8, 11.5), QPointF(8, 13.5));
            p.drawLine(QPointF(5, 13.5), QPointF(11, 13.5));
            break;
        case Glyph::Print:
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 1.5, 7, 5));
            p.setBrush(QColor(150, 150, 150));
            p.drawRect(QRectF(1.5, 6.5, 13, 6));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 10.5, 7, 4));
            break;
        case Glyph::Liquid:
        case Glyph::LiquidDim: {
            const bool dim = glyph == Glyph::LiquidDim;
            p.setBrush(dim ? QColor(190, 190, 190) : QColor(40, 110, 230));
            if (dim) p.setPen(QPen(QColor(150, 150, 150), 1));
            QPainterPath drop;
            drop.moveTo(8, 1.5);
            drop.cubicTo(12, 7, 13.5, 9, 13.5, 10.5);
            drop.arcTo(QRectF(2.5, 5, 11, 10), 0, -180);
            drop.cubicTo(2.5, 9, 4, 7, 8, 1.5);
            p.drawPath(drop);
            break;
        }
        case Glyph::GasCylinders:
        case Glyph::GasCylindersDim: {
            const bool dim = glyph == Glyph::GasCylindersDim;
            if (dim) p.setPen(QPen(QColor(150, 150, 150), 1));
            Cylinder(p, QRectF(2.5, 3.5, 5, 11), dim ? QColor(200, 200, 200) : QColor(60, 160, 60));
            Cylinder(p, QRectF(8.5, 3.5, 5, 11), dim ? QColor(200, 200, 200) : QColor(220, 60, 60));
            break;
        }
        case Glyph::Weight: {
            QPainterPath weight;
            weight.moveTo(5, 5.5);
            weight.lineTo(11, 5.5);
            weight.lineTo(14, 14.5);
            weight.lineTo(2, 14.5);
            weight.closeSubpath();
            p.setBrush(QColor(90, 90, 90));
            p.drawPath(weight);
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(6, 1.5, 4, 4));
            break;
        }
        case Glyph::Velocity:
            p.setPen(QPen(QColor(0, 90, 0), 1.5));
            p.drawLine(QPointF(2, 8), QPointF(13, 8));
            p.drawLine(QPointF(9, 4), QPointF(13, 8));
            p.drawLine(QPointF(9, 12), QPointF(13, 8));
            break;
        case Glyph::UncompressedVolume:
            p.setBrush(QColor(200, 230, 255));
            p.drawRect(QRectF(1.5, 3.5, 13, 9));
            for (int x = 3; x <= 12; x += 3) p.drawPoint(QPointF(x + 0.5, 8));
            break;
        case Glyph::CompressedVolume:
            p.setBrush(QColor(120, 170, 230));
            p.drawRect(QRectF(4.5, 4.5, 7, 7));
            p.drawLine(QPointF(0.5, 8), QPointF(3.5, 8));
            p.drawLine(QPointF(12.5, 8), QPointF(15.5, 8));
            break;
        case Glyph::TabPressure:
            p.setBrush(QColor(221, 221, 221));
            p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
            p.drawLine(QPointF(8, 8), QPointF(11, 5));
            break;
        case Glyph::TabFlow:
            p.setBrush(QColor(255, 255, 191));
            p.drawRect(QRectF(1.5, 5.5, 13, 5));
            p.drawLine(QPointF(4, 8), QPointF(12, 8));
            break;
        case Glyph::TabDiameter:
            p.setBrush(QColor(224, 250, 209));
            p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
            p.drawLine(QPointF(3, 8), QPointF(13, 8));
            break;
        case Glyph::Analysis: {
            p.setBrush(Qt::white);
            p.drawRect(QRectF(1.5, 1.5, 13, 13));
            p.setPen(QPen(QColor(200, 40, 40), 1.5));
            QPainterPath curve;
            curve.moveTo(3, 13);
            curve.quadTo(10, 12, 13, 3);
            p.setBrush(Qt::NoBrush);
            p.drawPath(curve);
            break;
        }
        case Glyph::TabLength:
            p.setBrush(QColor(221, 255, 255));
            p.drawRect(QRectF(1.5, 6.5, 13, 3));
            p.drawLine(QPointF(1.5, 3), QPointF(1.5, 13));
            p.drawLine(QPointF(14.5, 3), QPointF(14.5, 13));
            break;
        case Glyph::MoreRight:
        case Glyph::MoreDown: {
            // Two chevrons, pointing right (or down).
            if (glyph == Glyph::MoreDown) {
                p.translate(16, 0);
                p.rotate(90);
            }
            p.setPen(QPen(ink, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            for (double x : {4.0, 8.5}) p.drawPolyline(QPolygonF({{x, 4}, {x + 4, 8}, {x, 12}}));
            break;
        }
    }
    return pm;
}

}  // namespace

// The four panels show the same pictures: each is drawn once and shared.
QPixmap GlyphPixmap(Glyph glyph, int size) {
    const QString key = QStringLiteral("corvane-glyph-%1-%2").arg(static_cast<int>(glyph)).arg(size);
    QPixmap pm;
    if (QPixmapCache::find(key, &pm)) return pm;
    pm = DrawGlyph(glyph, size);
    QPixmapCache::insert(key, pm);
    return pm;
}

QImage ProgramIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    QLinearGradient sky(0, 0, 0, 64);
    sky.setColorAt(0, QColor(0x1e, 0x4f, 0x8c));
    sky.setColorAt(1, QColor(0x5f, 0xa8, 0xe0));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
    QPainterPath pipe;
    pipe.moveTo(6, 46);
    pipe.lineTo(30, 46);
    pipe.quadTo(40, 46, 40, 36);
    pipe.lineTo(40, 6);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x5a, 0x5a, 0x64), 12, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(pipe);
    p.setPen(QPen(QColor(0xaa, 0xb0, 0xbb), 8, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(pipe);
    QPainterPath drop;
    drop.moveTo(50, 30);
    drop.cubicTo(56, 40, 58, 44, 58, 47);
    drop.arcTo(QRectF(42, 39, 16, 16), 0, -180);
    drop.cubicTo(42, 44, 44, 40, 50, 30);
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(QColor(0x2f, 0x7a, 0xe6));
    p.drawPath(drop);
    return image;
}

}  // namespace corvane
