#pragma once
// A platform that records what the windows ask of it, for tests.

#include <deque>

#include "platform/Platform.h"

namespace corvane {

class FakePlatform : public Platform {
public:
    struct Message {
        MessageKind kind;
        std::string text;
    };

    void message(QWidget*, MessageKind kind, const std::string& text) override { messages.push_back({kind, text}); }
    void beep() override { ++beeps; }
    std::optional<std::string> chooseOpenFile(QWidget*, const FileChooser& chooser) override {
        openChoosers.push_back(chooser);
        return Next(openAnswers);
    }
    std::optional<std::string> chooseSaveFile(QWidget*, const FileChooser& chooser) override {
        saveChoosers.push_back(chooser);
        return Next(saveAnswers);
    }
    void setClipboardText(const std::string& text) override { clipboardText = text; }
    void setClipboardImage(const QImage& image) override { clipboardImage = image; }
    bool openDocument(const std::string& path) override {
        documentsOpened.push_back(path);
        return openDocumentSucceeds;
    }
    Locale locale() const override { return locale_; }

    Locale locale_;
    std::vector<Message> messages;
    int beeps = 0;
    std::deque<std::optional<std::string>> openAnswers;  // answers of the next choosers; empty: cancel
    std::deque<std::optional<std::string>> saveAnswers;
    std::vector<FileChooser> openChoosers;
    std::vector<FileChooser> saveChoosers;
    std::string clipboardText;
    QImage clipboardImage;
    std::vector<std::string> documentsOpened;
    bool openDocumentSucceeds = true;

private:
    static std::optional<std::string> Next(std::deque<std::optional<std::string>>& answers) {
        if (answers.empty()) return std::nullopt;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
};

}  // namespace corvane
