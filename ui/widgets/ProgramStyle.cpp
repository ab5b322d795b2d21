#include "ui/widgets/ProgramStyle.h"

#include <QIcon>

#include "ui/widgets/Glyphs.h"

namespace corvane {

QIcon ProgramStyle::standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const {
    switch (which) {
        case SP_ToolBarHorizontalExtensionButton: {
            QIcon icon(GlyphPixmap(Glyph::MoreRight, 16));
            icon.addPixmap(GlyphPixmap(Glyph::MoreRight, 32));
            return icon;
        }
        case SP_ToolBarVerticalExtensionButton: {
            QIcon icon(GlyphPixmap(Glyph::MoreDown, 16));
            icon.addPixmap(GlyphPixmap(Glyph::MoreDown, 32));
            return icon;
        }
        default: return QProxyStyle::standardIcon(which, option, widget);
    }
}

}  // namespace corvane
