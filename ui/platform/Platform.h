#pragma once
// ui/platform: the desktop behind one interface, so that windows and tests
// never call it directly; QtPlatform for the program, RecordingPlatform for
// the tests.
//
// This header: the services the windows need from the desktop:
// message boxes, the warning beep, file choosers, the clipboard, opening a
// document, and the user's locale.  QtPlatform is the real one;
// RecordingPlatform records every call for tests.

#include <QImage>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "logic/model/Refusal.h"
#include "logic/text/Locale.h"

class QPainter;
class QWidget;

namespace corvane {

// A file chooser's settings: filter text as "Description (*.EXT)|*.EXT",
// default extension without the dot, and a caption.
struct FileChooser {
    std::string filter;
    std::string defaultExtension;
    std::string caption;
};

class Platform {
public:
    virtual ~Platform() = default;

    // A modal box with the text ('\r' breaks the line), the icon of its kind
    // and one OK button.
    virtual void message(QWidget* parent, MessageKind kind, const std::string& text) = 0;
    // The system's exclamation sound.
    virtual void beep() = 0;
    // The chosen path, or nothing when cancelled.  Each remembers the last
    // name and folder.
    virtual std::optional<std::string> chooseOpenFile(QWidget* parent, const FileChooser& chooser) = 0;
    virtual std::optional<std::string> chooseSaveFile(QWidget* parent, const FileChooser& chooser) = 0;
    virtual void setClipboardText(const std::string& text) = 0;
    virtual void setClipboardImage(const QImage& image) = 0;
    // The print dialog; on confirmation one page is printed by `draw`, given
    // a painter on the printer and the page size in device pixels.  False
    // when cancelled; a printer failure is reported by the platform.
    virtual bool print(QWidget* parent, const std::string& title,
                       const std::function<void(QPainter& painter, QSize page)>& draw) = 0;
    // Opens a document in the program the desktop associates with it;
    // false when that failed.
    virtual bool openDocument(const std::string& path) = 0;
    virtual Locale locale() const = 0;
};

// The text of a message as a box shows it: '\r' becomes a line break.
std::string MessageBoxText(const std::string& text);

}  // namespace corvane
