#pragma once
// Where a printed panel goes on the page, in the printer's device pixels,
// and the heading printed above it and on a screen copy.

#include <string>

#include "logic/model/panels/PanelControls.h"

namespace corvane {

struct PrintLayout {
    int pictureWidth;   // B: 45 % of the page width
    int pictureHeight;  // L: the panel's aspect ratio
    int left;           // X: about 5 % of the page width
    int headingTop;     // where the heading is drawn
    int pictureTop;     // the heading's top moved down by H / 50
};

// The page layout for a page of W x H device pixels (integer divisions
// round toward zero).
PrintLayout LayoutPrintedPanel(int pageWidth, int pageHeight);

// Three blanks, the window caption, fifteen blanks, the date.
std::string PictureHeading(const std::string& caption, const std::string& date);

// The print job's document name of a panel: "Corvane \u2014 Find pressure drop".
std::string PrintDocumentName(PanelKind kind);

// A calculation panel's size in pixels, on screen and in its picture.
inline constexpr int kPanelWidth = 493;
inline constexpr int kPanelHeight = 328;
inline constexpr int kScreenCopyHeight = 353;
inline constexpr int kScreenCopyPanelTop = 25;
inline constexpr int kScreenCopyBandHeight = 40;

}  // namespace corvane
