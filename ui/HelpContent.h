#pragma once
// The help text, made from its HTML source: the worked examples are
// calculated by the program's own panels, their numbers written into the
// text and their pictures taken from the panels.  The same document is
// printed into the PDF and shown in the help window.

#include <QImage>
#include <QString>
#include <map>

class QTextDocument;

namespace corvane {

struct HelpContent {
    QString html;                        // the source with every {{example:Control}} filled in
    std::map<QString, QImage> pictures;  // "shot:KEY" images by KEY
    QStringList missing;                 // placeholders no example could fill
};

// The help source built into the program.
QString HelpSource();

// Fills the source; needs a QApplication (the pictures are of real panels).
HelpContent MakeHelpContent(const QString& sourceHtml);

// The content into a document, pictures included.
void LoadHelp(QTextDocument& document, const HelpContent& content);

// The help document as a PDF of A4 pages with margins of kHelpMarginMm, in
// the program's font family at 10 points; false when it cannot be written.
inline constexpr double kHelpMarginMm = 18;
bool WriteHelpPdf(const HelpContent& content, const QString& path, const QString& fontFamily);

}  // namespace corvane
