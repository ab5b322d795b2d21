#pragma once
// A platform that records what the windows ask of it, for tests.

#include <QPainter>
#include <deque>

#include "ui/platform/Platform.h"

namespace corvane {

class RecordingPlatform : public Platform {
public:
    struct Message {
        MessageKind kind;
        std::string text;
    };

    void message(QWidget*, MessageKind kind, const std::string& text) override { messages.push_back({kind, text}); }
    bool ask(QWidget*, const std::string& text) override {
        questions.push_back(text);
        return answer;
    }
    void beep() override { ++beeps; }
    std::optional<std::string> chooseOpenFile(QWidget*, const FileChooser& chooser) override {
        openChoosers.push_back(chooser);
        return Next(openAnswers);
    }
    std::optional<std::string> chooseSaveFile(QWidget*, const FileChooser& chooser) override {
        saveChoosers.push_back(chooser);
        return Next(saveAnswers);
    }
    void setClipboardText(const std::string& text) override {
        clipboardText = text;
        clipboardHtml.clear();
    }
    void setClipboardReport(const std::string& text, const std::string& html) override {
        clipboardText = text;
        clipboardHtml = html;
    }
    void setClipboardImage(const QImage& image) override { clipboardImage = image; }
    bool print(QWidget*, const std::string& title,
               const std::function<void(QPainter& painter, QSize page)>& draw) override {
        printTitles.push_back(title);
        if (!printConfirmed) return false;
        printedPage = QImage(printPage, QImage::Format_RGB32);
        printedPage.fill(Qt::white);
        QPainter painter(&printedPage);
        draw(painter, printPage);
        return true;
    }
    void preview(QWidget*, const std::string& title,
                 const std::function<void(QPainter& painter, QSize page)>& draw) override {
        previewTitles.push_back(title);
        previewedPage = QImage(printPage, QImage::Format_RGB32);
        previewedPage.fill(Qt::white);
        QPainter painter(&previewedPage);
        draw(painter, printPage);
    }
    bool openDocument(const std::string& path) override {
        documentsOpened.push_back(path);
        return openDocumentSucceeds;
    }
    bool hasViewerFor(const std::string& mediaType) override {
        viewerQueries.push_back(mediaType);
        return hasViewer;
    }
    Locale locale() const override { return locale_; }

    Locale locale_;
    std::vector<std::string> questions;
    bool answer = true;                // the answer to every question
    std::vector<std::string> viewerQueries;
    bool hasViewer = true;
    std::vector<Message> messages;
    int beeps = 0;
    std::deque<std::optional<std::string>> openAnswers;  // answers of the next choosers; empty: cancel
    std::deque<std::optional<std::string>> saveAnswers;
    std::vector<FileChooser> openChoosers;
    std::vector<FileChooser> saveChoosers;
    std::string clipboardText;
    std::string clipboardHtml;
    QImage clipboardImage;
    std::vector<std::string> documentsOpened;
    bool openDocumentSucceeds = true;
    bool printConfirmed = true;        // the print dialog's answer
    QSize printPage{850, 1100};        // the page in device pixels
    QImage printedPage;
    std::vector<std::string> printTitles;
    QImage previewedPage;
    std::vector<std::string> previewTitles;

private:
    static std::optional<std::string> Next(std::deque<std::optional<std::string>>& answers) {
        if (answers.empty()) return std::nullopt;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
};

}  // namespace corvane
