#pragma once
// The splash window, shown shortly after start and as the About box: a
// borderless 400 x 400 picture with the version, hidden again by its timer
// or a click.

#include <QPixmap>
#include <QTimer>
#include <QWidget>

class QLabel;

namespace corvane {

class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget* parent = nullptr);

    // Shows the window for `milliseconds`, placed over `mainWindow`: top +
    // 130, left + (width - 406) / 2.  A new request restarts the countdown.
    void showFor(int milliseconds, const QWidget* mainWindow);
    QTimer& timer() { return timer_; }
    // Hidden now, its countdown stopped.
    void dismiss();

    static QPoint PlaceOver(const QRect& mainFrame);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QLabel* image_;
    QLabel* version_;
    QTimer timer_;
};

// The 400 x 400 splash picture.
QPixmap SplashPicture();

}  // namespace corvane
