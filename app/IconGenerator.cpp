// Writes the program's icon, and the icons of its four kinds of panel file
// and of its pipe run documents,
// as PNG files of the given sizes.
//   corvane-icongen FOLDER SIZE...   ->  FOLDER/<size>/org.example.Corvane.png
//                                        FOLDER/<size>/application-x-corvane-<panel>.png
//                                        FOLDER/<size>/application-x-corvane-run.png
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <cstdlib>

#include "ui/CalcPanel.h"
#include "ui/widgets/Glyphs.h"

namespace {

// The names of the panel files' media types, after "application/x-corvane-".
constexpr const char* kTypeNames[] = {"pressure-drop", "flow", "diameter", "length"};

// A page with a folded corner, the program's picture on it and a band in
// the file's colour that names its kind ("PW1" ... "RUN").
QImage FileIcon(const QColor& colour, const QString& kind, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.scale(size / 64.0, size / 64.0);
    QPainterPath page;
    page.moveTo(10, 2);
    page.lineTo(42, 2);
    page.lineTo(56, 16);
    page.lineTo(56, 62);
    page.lineTo(10, 62);
    page.closeSubpath();
    p.setPen(QPen(QColor(0x70, 0x70, 0x78), 1.5));
    p.setBrush(Qt::white);
    p.drawPath(page);
    QPainterPath fold;
    fold.moveTo(42, 2);
    fold.lineTo(42, 16);
    fold.lineTo(56, 16);
    p.setBrush(QColor(0xdd, 0xdd, 0xe4));
    p.drawPath(fold);
    p.drawImage(QRectF(15, 8, 26, 26), corvane::ProgramIcon(128));
    const QRectF band(12, 38, 42, 20);
    p.setPen(QPen(colour.darker(160), 1.2));
    p.setBrush(colour);
    p.drawRoundedRect(band, 3, 3);
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setBold(true);
    font.setPixelSize(13);
    p.setFont(font);
    p.setPen(QColor(0x20, 0x20, 0x28));
    p.drawText(band, Qt::AlignCenter, kind);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: corvane-icongen FOLDER SIZE...\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QString folder = QString::fromLocal8Bit(argv[1]) + "/" + QString::number(size);
        QDir().mkpath(folder);
        if (!corvane::ProgramIcon(size).save(folder + "/org.example.Corvane.png")) return 1;
        for (int k = 0; k < 4; ++k) {
            const auto kind = static_cast<corvane::PanelKind>(k + 1);
            if (!FileIcon(corvane::PanelColour(kind), QStringLiteral("PW%1").arg(corvane::PanelDigit(kind)), size)
                     .save(folder + "/application-x-corvane-" + kTypeNames[k] + ".png"))
                return 1;
        }
        // A pipe run: the grey of steel pipe.
        if (!FileIcon(QColor(0xb8, 0xc4, 0xd0), QStringLiteral("RUN"), size)
                 .save(folder + "/application-x-corvane-run.png"))
            return 1;
    }
    return 0;
}
