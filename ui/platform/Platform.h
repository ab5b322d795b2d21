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

#include "logic/model/shared/Refusal.h"
#include "logic/text/Locale.h"

class QPainter;
class QWidget;

namespace corvane {

class UserChoices;
enum class FileKind;

// A file chooser's settings: filter text as "Description (*.EXT)|*.EXT",
// default extension without the dot, and a caption; the folder it starts
// in and the name it offers (empty: the chooser's own choice).
struct FileChooser {
    std::string filter;
    std::string defaultExtension;
    std::string caption;
    std::string folder = {};
    std::string name = {};
};

class Platform {
public:
    virtual ~Platform() = default;

    // A modal box with the text ('\r' breaks the line), the icon of its kind
    // and one OK button.
    virtual void message(QWidget* parent, MessageKind kind, const std::string& text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool ask(QWidget* parent, const std::string& text) = 0;
    // The system's exclamation sound.
    virtual void beep() = 0;
    // The chosen path, or nothing when cancelled.  Each remembers the last
    // name and folder.
    virtual std::optional<std::string> chooseOpenFile(QWidget* parent, const FileChooser& chooser) = 0;
    virtual std::optional<std::string> chooseSaveFile(QWidget* parent, const FileChooser& chooser) = 0;
    virtual void setClipboardText(const std::string& text) = 0;
    // A report in two flavours: the plain text, and the same as an HTML
    // table for programs that paste tables.
    virtual void setClipboardReport(const std::string& text, const std::string& html) = 0;
    virtual void setClipboardImage(const QImage& image) = 0;
    // The print dialog; on confirmation one page is printed by `draw`, given
    // a painter on the printer and the page size in device pixels.  False
    // when cancelled; a printer failure is reported by the platform.
    // `page` is the page the painter draws on (the printable area), and
    // `title` the print job's document name.
    virtual bool print(QWidget* parent, const std::string& title,
                       const std::function<void(QPainter& painter, QSize page)>& draw) = 0;
    // The same page in a print preview window, from which it can be printed.
    virtual void preview(QWidget* parent, const std::string& title,
                         const std::function<void(QPainter& painter, QSize page)>& draw) = 0;
    // Opens a document in the program the desktop associates with it;
    // false when that failed.
    virtual bool openDocument(const std::string& path) = 0;
    // Whether the desktop names a program that opens documents of the
    // media type ("application/pdf").
    virtual bool hasViewerFor(const std::string& mediaType) = 0;
    virtual Locale locale() const = 0;
};

// The text of a message as a box shows it: '\r' becomes a line break.
std::string MessageBoxText(const std::string& text);

// A chooser of one kind of file (a save chooser where `save`): it starts
// where the user's choices say (offering the chooser's name where it has
// one, else the last name of that kind), and remembers the file chosen.
// Without `choices`, as the chooser says.
std::optional<std::string> ChooseFile(Platform& platform, QWidget* parent, FileChooser chooser, bool save,
                                      UserChoices* choices, FileKind kind);

}  // namespace corvane
