#pragma once
// A picture of the analysis (axes, lines, the operating point) drawn into a
// Qt Charts chart: the analysis window shows it, the calculation sheet
// prints it.

#include <QChart>
#include <QFont>

#include "logic/model/analysis/AnalysisPictures.h"

namespace corvane {

// Removes every series and axis.
void ClearChart(QChart* chart);

// Draws the picture: its axes, the minor grid lines as thin lines, its
// lines, and the names of the lines kept out of the legend at the right
// part of their curve.
void Render(QChart* chart, const ChartPicture& picture, const QFont& font);

// The legend of the picture as rich text, one line per entry with a mark in
// its line's colour: for a legend laid out below the chart, where no name
// is ever cut short.
QString LegendHtml(const ChartPicture& picture);

}  // namespace corvane
