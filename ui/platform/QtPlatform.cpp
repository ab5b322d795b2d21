#include "ui/platform/QtPlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QUrl>

namespace corvane {
namespace {

// "Corvane P.D. (*.PW1)|*.PW1" -> "Corvane P.D. (*.PW1)"
QString QtFilter(const FileChooser& chooser) {
    const QString f = QString::fromStdString(chooser.filter);
    const auto bar = f.indexOf('|');
    return bar < 0 ? f : f.left(bar);
}

}  // namespace

std::string MessageBoxText(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == '\r') c = '\n';
    return out;
}

QtPlatform::QtPlatform() : locale_(FromQLocale(QLocale())) {}

Locale QtPlatform::FromQLocale(const QLocale& q) {
    Locale l;
    const QString point = q.decimalPoint();
    l.decimalSeparator = point == QStringLiteral(",") ? ',' : '.';
    l.usEnglish = q.language() == QLocale::English &&
                  (q.territory() == QLocale::UnitedStates || q.territory() == QLocale::Canada);
    return l;
}

void QtPlatform::message(QWidget* parent, MessageKind kind, const std::string& text) {
    QMessageBox::Icon icon = QMessageBox::Information;
    if (kind == MessageKind::Warning) icon = QMessageBox::Warning;
    if (kind == MessageKind::Error) icon = QMessageBox::Critical;
    QMessageBox box(icon, QApplication::applicationName(), QString::fromStdString(MessageBoxText(text)),
                    QMessageBox::Ok, parent);
    box.exec();
}

bool QtPlatform::ask(QWidget* parent, const std::string& text) {
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(),
                    QString::fromStdString(MessageBoxText(text)), QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void QtPlatform::beep() { QApplication::beep(); }

namespace {

// A file dialog in the chooser's folder offering its name.
std::optional<std::string> RunChooser(QWidget* parent, const FileChooser& chooser, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, QString::fromStdString(chooser.caption), QFile::decodeName(chooser.folder.c_str()),
                       QtFilter(chooser));
    dialog.setAcceptMode(mode);
    // A save dialog asks before it replaces an existing file.
    if (mode == QFileDialog::AcceptOpen) dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QString::fromStdString(chooser.defaultExtension));
    if (!chooser.name.empty()) dialog.selectFile(QFile::decodeName(chooser.name.c_str()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().front()).toStdString();
}

}  // namespace

std::optional<std::string> QtPlatform::chooseOpenFile(QWidget* parent, const FileChooser& chooser) {
    return RunChooser(parent, chooser, QFileDialog::AcceptOpen);
}

std::optional<std::string> QtPlatform::chooseSaveFile(QWidget* parent, const FileChooser& chooser) {
    return RunChooser(parent, chooser, QFileDialog::AcceptSave);
}

void QtPlatform::setClipboardText(const std::string& text) {
    QApplication::clipboard()->setText(QString::fromStdString(text));
}

void QtPlatform::setClipboardReport(const std::string& text, const std::string& html) {
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(text));
    data->setHtml(QString::fromStdString(html));
    QApplication::clipboard()->setMimeData(data);
}

void QtPlatform::setClipboardImage(const QImage& image) { QApplication::clipboard()->setImage(image); }

bool QtPlatform::askPrinter(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool QtPlatform::printPage(QWidget* parent, QPrinter& printer,
                           const std::function<void(QPainter& painter, QSize page)>& draw) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        message(parent, MessageKind::Error, "The printer could not be started.");
        return false;
    }
    // The painter starts at the printable area: lay out on that page, not
    // on the whole sheet.
    draw(painter, printer.pageLayout().paintRectPixels(printer.resolution()).size());
    painter.end();
    return true;
}

bool QtPlatform::print(QWidget* parent, const std::string& title,
                       const std::function<void(QPainter& painter, QSize page)>& draw) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(title));
    if (!askPrinter(parent, printer)) return false;
    return printPage(parent, printer, draw);
}

void QtPlatform::preview(QWidget* parent, const std::string& title,
                         const std::function<void(QPainter& painter, QSize page)>& draw) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(title));
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QString::fromStdString(title));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [this, parent, &draw](QPrinter* p) { printPage(parent, *p, draw); });
    dialog.exec();
}

bool QtPlatform::hasViewerFor(const std::string& mediaType) {
    // As the desktop's own tools answer it; no answer within two seconds,
    // or no xdg-mime at all, is no viewer.
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QString::fromStdString(mediaType)});
    if (!query.waitForFinished(2000)) {
        query.kill();
        query.waitForFinished(1000);
        return false;
    }
    return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
           !query.readAllStandardOutput().trimmed().isEmpty();
}

bool QtPlatform::openDocument(const std::string& path) {
    const QString file = QString::fromStdString(path);
    // The desktop launches its viewer without waiting; a missing document
    // would otherwise pass for opened.
    if (!QFileInfo(file).isFile()) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

}  // namespace corvane
