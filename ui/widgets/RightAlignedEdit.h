#pragma once
// ui/widgets: the Qt controls the windows are made of - the right-aligned
// entry, the tabbed list box, the glyphs of the buttons.  They know no model.
//
// This header: a one-line entry whose text is right-aligned, so that stacked numbers
// line up at their right edge.  Return and Tab insert nothing.
//
// Every typed character (and Enter, Escape and the Ctrl+C/V/X/Z/A
// clipboard keys, as their control characters) is offered to `keyFilter`
// first; a false answer swallows the key.  Keys without a character
// (arrows, Home, End, Delete) go straight to the field.

#include <QLineEdit>
#include <functional>

namespace corvane {

class RightAlignedEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit RightAlignedEdit(QWidget* parent = nullptr);

    // Places the field; a height above twice the font's pixel height
    // becomes exactly twice that height.
    void setBounds(int left, int top, int width, int height);

    // Read-only displays hand the focus on as soon as they get it.
    void setPassesFocus(bool passes) { passesFocus_ = passes; }

    std::function<bool(char32_t& key)> keyFilter;

Q_SIGNALS:
    void entered();  // got the focus
    void left();     // lost the focus to another control of its window
    void clicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool passesFocus_ = false;
};

// The character a key event types, as the entry rule sees it: Return and
// Enter 13, Escape 27, Backspace 8, Ctrl+letter its control code, else the
// first character of the event's text; 0 for keys without one.
char32_t TypedCharacter(const class QKeyEvent& event);

}  // namespace corvane
