#pragma once
// The grade lines of a calculated run along its length: the pipe's
// elevation, the hydraulic and energy grade lines, the vapour pressure as a
// head, the source's and sink's surfaces, the pump's inlet and where the
// liquid boils.  The run's window and its sheet draw the same picture.

#include "logic/model/analysis/AnalysisPictures.h"
#include "logic/model/runs/RunCalculation.h"
#include "logic/text/Locale.h"

namespace corvane {

// The grade-line picture the sheet and the window draw, in metres (the
// window's editor draws it in its own units).
ChartPicture RunGradeLinePicture(const RunOutcome& outcome, bool metric, const Locale& locale);

}  // namespace corvane
