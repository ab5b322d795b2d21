#include "panels/TTarnelMiniForm1.h"

#include <QLabel>

namespace corvane {

TTarnelMiniForm1::TTarnelMiniForm1(QWidget* parent) : QMainWindow(parent) {
    setObjectName("TarnelMiniForm1");
    setWindowTitle(kMainCaption);
    auto* label = new QLabel(tr("The calculation panels are not built yet."), this);
    label->setObjectName("PlaceholderLabel");
    label->setAlignment(Qt::AlignCenter);
    setCentralWidget(label);
    resize(493, 376);
}

}  // namespace corvane
