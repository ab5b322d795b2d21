#pragma once
// The calculation sheet drawn as a PDF document: the sections of the sheet
// model laid out on A4 or Letter pages with a heading (program, version,
// date, panel file) and page numbers, the tables and equations as text and
// the plots drawn by Qt Charts straight into the PDF (vector, fonts
// embedded).  It formats nothing: every text comes from the model.
// Needs a QApplication (the charts are graphics widgets).

#include <QByteArray>
#include <QString>
#include <optional>

#include "logic/model/sheets/CalculationSheet.h"

namespace corvane {

// The PDF document's bytes, or nothing when it could not be drawn.
std::optional<QByteArray> CalculationSheetPdf(const CalculationSheet& sheet);

}  // namespace corvane
