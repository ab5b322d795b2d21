#include "ui/PictureFile.h"

#include <QBuffer>
#include <QChartView>
#include <QPainter>
#include <QSvgGenerator>

#include "logic/io/FileIo.h"
#include "logic/model/settings/UserChoices.h"
#include "ui/platform/OutputFile.h"
#include "ui/platform/Platform.h"

namespace corvane {

void SaveShownPicture(Platform& platform, QWidget* parent, QWidget* view, UserChoices* choices,
                      const OutputGuard* guard) {
    const auto path = ChooseFile(platform, parent, {"PNG or SVG picture (*.png *.svg)|*.png;*.svg", "png", "Save picture"},
                                 true, choices, FileKind::Picture);
    const OutputKind picture{"The picture", "the picture"};
    if (!path || !MayWriteOutput(platform, parent, guard, *path, picture)) return;
    // Drawn into memory, then written whole like every file of the user.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    bool ok = buffer.open(QIODevice::WriteOnly);
    if (ok && QString::fromStdString(*path).endsWith(".svg", Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(view->size());
        svg.setViewBox(view->rect());
        if (auto* chart = qobject_cast<QChartView*>(view)) svg.setTitle(chart->chart()->title());
        else if (auto* inner = view->findChild<QChartView*>()) svg.setTitle(inner->chart()->title());
        QPainter painter;
        ok = painter.begin(&svg);
        if (ok) {
            view->render(&painter);
            ok = painter.end();
        }
    } else if (ok) {
        ok = view->grab().save(&buffer, "PNG");
    }
    buffer.close();
    if (!ok) {
        platform.message(parent, MessageKind::Error, "The picture could not be drawn:\r" + *path);
        return;
    }
    WriteOutput(platform, parent, guard, *path, bytes.toStdString(), picture);
}

}  // namespace corvane
