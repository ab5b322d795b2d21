#include "ui/dialogs/FittingsDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSpinBox>

#include "ui/platform/Platform.h"
#include "ui/widgets/RightAlignedEdit.h"

namespace corvane {

QPixmap FittingPicture(int kind) {
    QPixmap pm(44, 26);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen pipe(QColor(70, 70, 90), 5, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
    const QPen thin(QColor(40, 40, 40), 1.5);
    p.setPen(pipe);
    auto straight = [&] { p.drawLine(QPointF(2, 13), QPointF(42, 13)); };
    auto valveBody = [&](QColor c) {
        straight();
        p.setPen(thin);
        p.setBrush(c);
        QPolygonF bow;
        bow << QPointF(14, 5) << QPointF(30, 21) << QPointF(30, 5) << QPointF(14, 21);
        p.drawPolygon(bow);
    };
    switch (kind) {
        case 1: case 2: case 3: {  // bends of growing radius
            const double r = kind == 1 ? 8 : kind == 2 ? 14 : 20;
            QPainterPath path;
            path.moveTo(2, 22);
            path.lineTo(40 - r, 22);
            path.arcTo(QRectF(40 - 2 * r, 22 - 2 * r, 2 * r, 2 * r), 270, 90);
            path.lineTo(40, 2);
            p.drawPath(path);
            break;
        }
        case 4:
            p.drawLine(QPointF(2, 20), QPointF(22, 20));
            p.drawLine(QPointF(22, 20), QPointF(36, 6));
            break;
        case 5: {
            QPainterPath path;
            path.moveTo(4, 4);
            path.lineTo(28, 4);
            path.arcTo(QRectF(19, 4, 18, 18), 90, -180);
            path.lineTo(4, 22);
            p.drawPath(path);
            break;
        }
        case 6: case 7:
            straight();
            p.drawLine(QPointF(22, 13), QPointF(22, 24));
            if (kind == 7) {
                p.setPen(QPen(QColor(200, 40, 40), 2));
                p.drawLine(QPointF(8, 8), QPointF(18, 8));
                p.drawLine(QPointF(18, 8), QPointF(22, 22));
            }
            break;
        case 8:
            straight();
            p.drawLine(QPointF(18, 13), QPointF(28, 24));
            p.setPen(thin);
            p.drawRect(QRectF(16, 8, 12, 10));
            break;
        case 9: case 10: {
            p.setPen(thin);
            p.setBrush(QColor(160, 160, 180));
            QPolygonF cone;
            const double big = 9, small = 4;
            const double a = kind == 9 ? big : small, b = kind == 9 ? small : big;
            cone << QPointF(4, 13 - a) << QPointF(40, 13 - b) << QPointF(40, 13 + b) << QPointF(4, 13 + a);
            p.drawPolygon(cone);
            break;
        }
        case 11: case 12:
            straight();
            p.setPen(thin);
            p.setBrush(QColor(200, 60, 60));
            p.drawEllipse(QPointF(22, 13), kind == 11 ? 6 : 9, kind == 11 ? 6 : 9);
            p.drawLine(QPointF(22, 4), QPointF(30, 1));
            break;
        case 13: case 14: case 15:
            straight();
            p.setPen(thin);
            p.setBrush(QColor(230, 230, 120));
            p.drawRect(QRectF(14, 5, 16, 16));
            p.drawLine(QPointF(16, 19), QPointF(28, 7 + (kind - 13) * 3));
            break;
        case 16: valveBody(QColor(90, 120, 200)); break;
        case 17: valveBody(QColor(90, 170, 90)); break;
        case 18:
            p.drawLine(QPointF(2, 20), QPointF(22, 20));
            p.drawLine(QPointF(22, 20), QPointF(22, 2));
            p.setPen(thin);
            p.setBrush(QColor(90, 170, 90));
            p.drawEllipse(QPointF(22, 20), 6, 5);
            break;
        case 19:
            straight();
            p.setPen(thin);
            p.drawEllipse(QPointF(22, 13), 9, 9);
            p.setPen(QPen(QColor(40, 40, 40), 2.5));
            p.drawLine(QPointF(17, 20), QPointF(27, 6));
            break;
        case 20: case 21: {
            p.setPen(QPen(QColor(40, 40, 40), 4, Qt::DotLine));
            QPainterPath path;
            path.moveTo(2, 20);
            if (kind == 20) path.quadTo(38, 20, 38, 2);
            else path.cubicTo(40, 24, 40, 0, 22, 4), path.cubicTo(8, 8, 20, 22, 42, 20);
            p.drawPath(path);
            break;
        }
        case 22: case 23:
            p.drawLine(QPointF(2, 13), QPointF(20, 13));
            p.setPen(QPen(QColor(40, 40, 40), 7, Qt::DotLine));
            p.drawLine(QPointF(20, 13), QPointF(42, 13));
            p.setPen(thin);
            if (kind == 22) p.drawLine(QPointF(18, 8), QPointF(24, 13)), p.drawLine(QPointF(24, 13), QPointF(18, 18));
            else p.drawRect(QRectF(16, 7, 8, 12));
            break;
        default:
            break;
    }
    return pm;
}

FittingsDialog::FittingsDialog(const Locale& locale, Platform* platform, QWidget* parent)
    : QDialog(parent), model_(locale), platform_(platform) {
    setObjectName("TTarnelFittingsForm");
    setWindowTitle("Pipe fittings");
    setModal(true);
    setFixedSize(640, 470);

    auto* image = new QWidget(this);
    image->setObjectName("Image1");
    image->setGeometry(0, 0, 640, 400);
    const auto& names = FittingsDialogModel::KindNames();
    for (int k = 1; k <= 23; ++k) {
        const int column = k <= 12 ? 0 : 1;
        const int row = column == 0 ? k - 1 : k - 13;
        const int x = 8 + column * 316;
        const int y = 8 + row * 32;
        auto* picture = new QLabel(image);
        picture->setPixmap(FittingPicture(k));
        picture->setGeometry(x, y, 44, 26);
        auto* name = new QLabel(QString::fromUtf8(names[static_cast<std::size_t>(k - 1)]), image);
        name->setGeometry(x + 50, y + 4, 160, 18);
        auto* counter = new QSpinBox(this);
        counter->setObjectName(QStringLiteral("SpinEdit%1").arg(k));
        counter->setAccessibleName(QString::fromUtf8(names[static_cast<std::size_t>(k - 1)]));
        counter->setRange(0, 999);
        counter->setGeometry(x + 206, y + 2, 52, 22);
        counters_[static_cast<std::size_t>(k - 1)] = counter;
        connect(counter, &QSpinBox::valueChanged, this, [this, k](int n) {
            if (!updating_) model_.setCount(k, n);
        });
        if (k >= 16 && k <= 19) {
            auto* opening = new QComboBox(this);
            opening->setObjectName(QStringLiteral("ComboBox%1").arg(k - 15));
            opening->setAccessibleName(QString::fromUtf8(names[static_cast<std::size_t>(k - 1)]) + " opening %");
            for (const auto& o : FittingsDialogModel::OpeningItems()) opening->addItem(QString::fromStdString(o));
            opening->setGeometry(x + 262, y + 2, 50, 22);
            openings_[static_cast<std::size_t>(k - 16)] = opening;
            connect(opening, &QComboBox::currentIndexChanged, this, [this, k](int i) {
                if (!updating_) model_.setOpening(k - 16, i);
            });
        }
    }
    auto* extraLabel = new QLabel("Other 'k' factor", this);
    extraLabel->setGeometry(324, 8 + 11 * 32 + 4, 120, 18);
    extraK_ = new RightAlignedEdit(this);
    extraK_->setObjectName("Edit1");
    extraK_->setAccessibleName("Other 'k' factor");
    extraK_->setBounds(530, 8 + 11 * 32 + 2, 52, 22);
    extraK_->keyFilter = [this](char32_t& key) {
        const bool ok = model_.keyPress(key);
        if (!ok && platform_) platform_->beep();
        return ok;
    };
    connect(extraK_, &QLineEdit::textEdited, this, [this](const QString& t) {
        if (!updating_) model_.setExtraK(t.toStdString());
    });

    auto* clear = new QPushButton("Clear All", this);
    clear->setObjectName("ClearAllFittingsBitBtn");
    clear->setGeometry(8, 432, 120, 28);
    clear->setAutoDefault(false);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKBitBtn");
    ok->setGeometry(512, 432, 120, 28);
    ok->setDefault(true);
    connect(clear, &QPushButton::clicked, this, [this] {
        model_.reset();
        refresh();
    });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void FittingsDialog::refresh() {
    updating_ = true;
    for (int k = 1; k <= 23; ++k) counters_[static_cast<std::size_t>(k - 1)]->setValue(model_.count(k));
    for (int v = 0; v < 4; ++v) openings_[static_cast<std::size_t>(v)]->setCurrentIndex(model_.opening(v));
    extraK_->setText(QString::fromStdString(model_.extraK()));
    updating_ = false;
}

std::optional<std::string> FittingsDialog::ask(const std::string& selection) {
    model_.reset();
    model_.load(selection);
    refresh();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return model_.store();
}

}  // namespace corvane
