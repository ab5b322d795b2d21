#include "logic/model/panels/PrintLayout.h"

#include <cmath>

#include "logic/model/panels/PanelKinds.h"

namespace corvane {

PrintLayout LayoutPrintedPanel(int w, int h) {
    PrintLayout l{};
    l.pictureWidth = static_cast<int>(std::trunc(w * 0.9 / 2));
    l.pictureHeight = static_cast<int>(std::trunc(double{kPanelHeight} / kPanelWidth * l.pictureWidth));
    l.left = (w - 2 * l.pictureWidth) / 2;
    int y = (h - l.pictureHeight) / 2;
    if (l.left < y) y = l.left;
    l.headingTop = y;
    l.pictureTop = y + h / 50;
    return l;
}

std::string PictureHeading(const std::string& caption, const std::string& date) {
    return "   " + caption + std::string(15, ' ') + date;
}

std::string PrintDocumentName(PanelKind kind) { return std::string("Corvane \u2014 ") + PanelTaskName(kind); }

}  // namespace corvane
