#pragma once
// The help pages inside the program: the same text and pictures as the
// help document, with its table of contents beside it.  Not modal.

#include <QDialog>

class QListWidget;
class QTextBrowser;

namespace corvane {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    QTextBrowser* browser() const { return browser_; }
    QListWidget* contents() const { return contents_; }
    // Scrolls to the heading of a row of the table of contents.
    void showSection(int row);

private:
    QListWidget* contents_;
    QTextBrowser* browser_;
};

}  // namespace corvane
