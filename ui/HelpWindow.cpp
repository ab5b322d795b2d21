#include "ui/HelpWindow.h"

#include <QAbstractTextDocumentLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>

#include "ui/HelpContent.h"

namespace corvane {

namespace {
constexpr int kBlockPositionRole = Qt::UserRole;
}

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("HelpWindow");
    setWindowTitle("Corvane Help");
    setModal(false);
    contents_ = new QListWidget(this);
    contents_->setObjectName("HelpContentsList");
    contents_->setAccessibleName("Contents");
    browser_ = new QTextBrowser(this);
    browser_->setObjectName("HelpBrowser");
    browser_->setAccessibleName("Help text");
    browser_->setOpenExternalLinks(true);
    auto* splitter = new QSplitter(this);
    splitter->addWidget(contents_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 640});
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(splitter);
    resize(880, 640);

    QTextDocument* document = browser_->document();
    document->setDefaultFont(QFont(font().family(), 10));
    LoadHelp(*document, MakeHelpContent(HelpSource()));
    // The table of contents: the title and the numbered sections.
    for (QTextBlock b = document->begin(); b.isValid(); b = b.next()) {
        const int level = b.blockFormat().headingLevel();
        if (level < 1 || level > 2) continue;
        auto* item = new QListWidgetItem(b.text(), contents_);
        item->setData(kBlockPositionRole, b.position());
    }
    connect(contents_, &QListWidget::currentRowChanged, this, &HelpWindow::showSection);
}

void HelpWindow::showSection(int row) {
    const QListWidgetItem* item = contents_->item(row);
    if (!item) return;
    QTextDocument* document = browser_->document();
    const QTextBlock block = document->findBlock(item->data(kBlockPositionRole).toInt());
    browser_->setTextCursor(QTextCursor(block));
    const QRectF at = document->documentLayout()->blockBoundingRect(block);
    browser_->verticalScrollBar()->setValue(static_cast<int>(at.top()));
}

}  // namespace corvane
