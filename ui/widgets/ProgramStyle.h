#pragma once
// The desktop's own style with the program's drawn pictures where the
// style would read one from an image file.  The menu bar asks for its
// "more" button's picture as it is made; reading that file loads every
// image-format plugin (and the JPEG library) before the first frame, which
// the program does not otherwise need until the user opens a picture.

#include <QProxyStyle>

namespace corvane {

class ProgramStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

}  // namespace corvane
