#pragma once
// The platform services on Qt.

#include <QLocale>
#include <QString>

#include "ui/platform/Platform.h"

class QPrinter;

namespace corvane {

class QtPlatform : public Platform {
public:
    QtPlatform();
    void message(QWidget* parent, MessageKind kind, const std::string& text) override;
    bool ask(QWidget* parent, const std::string& text) override;
    void beep() override;
    std::optional<std::string> chooseOpenFile(QWidget* parent, const FileChooser& chooser) override;
    std::optional<std::string> chooseSaveFile(QWidget* parent, const FileChooser& chooser) override;
    void setClipboardText(const std::string& text) override;
    void setClipboardReport(const std::string& text, const std::string& html) override;
    void setClipboardImage(const QImage& image) override;
    bool print(QWidget* parent, const std::string& title,
               const std::function<void(QPainter& painter, QSize page)>& draw) override;
    void preview(QWidget* parent, const std::string& title,
                 const std::function<void(QPainter& painter, QSize page)>& draw) override;
    bool openDocument(const std::string& path) override;
    bool hasViewerFor(const std::string& mediaType) override;
    Locale locale() const override { return locale_; }

    // The calculator's locale from a Qt locale: its decimal point (when
    // it is '.' or ','), and English of the United States or Canada.
    static Locale FromQLocale(const QLocale& locale);

    // Prints one page on a printer that is set up: `draw` gets the page the
    // painter draws on.  False (and a message) when the printer fails.
    bool printPage(QWidget* parent, QPrinter& printer,
                   const std::function<void(QPainter& painter, QSize page)>& draw);

protected:
    // The print dialog on the printer; true when confirmed.
    virtual bool askPrinter(QWidget* parent, QPrinter& printer);

private:
    Locale locale_;
};

}  // namespace corvane
