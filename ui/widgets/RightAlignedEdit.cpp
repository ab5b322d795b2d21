#include "ui/widgets/RightAlignedEdit.h"

#include <QFocusEvent>
#include <QFontInfo>
#include <QKeyEvent>
#include <QTimer>

namespace corvane {

RightAlignedEdit::RightAlignedEdit(QWidget* parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setContextMenuPolicy(Qt::NoContextMenu);  // pasting goes through the key rule only
    setDragEnabled(false);
    setAcceptDrops(false);
}

void RightAlignedEdit::setBounds(int left, int top, int width, int height) {
    const int limit = 2 * QFontInfo(font()).pixelSize();
    if (height > limit) height = limit;
    setGeometry(left, top, width, height);
}

char32_t TypedCharacter(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: return 13;
        case Qt::Key_Escape: return 27;
        case Qt::Key_Backspace: return 8;
        default: break;
    }
    if (event.modifiers() & Qt::ControlModifier) {
        const int k = event.key();
        if (k >= Qt::Key_A && k <= Qt::Key_Z) return static_cast<char32_t>(k - Qt::Key_A + 1);
        return 0;
    }
    const QString text = event.text();
    if (text.isEmpty() || text[0].unicode() < 32 || text[0].unicode() == 127) return 0;
    return text.toUcs4().value(0);
}

void RightAlignedEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        event->ignore();  // the focus chain moves on; nothing is inserted
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    char32_t key = TypedCharacter(*event);
    if (key != 0 && keyFilter && !keyFilter(key)) {
        event->accept();
        return;
    }
    if (key == 13) {  // allowed by the filter, but a one-line field inserts no break
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void RightAlignedEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (passesFocus_) {
        QTimer::singleShot(0, this, [this] {
            if (hasFocus()) focusNextChild();
        });
        return;
    }
    // The whole text is selected however the field was entered.
    QTimer::singleShot(0, this, [this] {
        if (hasFocus()) selectAll();
    });
    Q_EMIT entered();
}

void RightAlignedEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Another window taking the focus (a message box, another program) is
    // not leaving the entry.
    const auto reason = event->reason();
    if (passesFocus_ || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
    Q_EMIT left();
}

void RightAlignedEdit::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    Q_EMIT clicked();
}

}  // namespace corvane
