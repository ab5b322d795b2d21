#pragma once
// What the four unit conversion dialogs show: caption, texts, the flow
// units of the target system (in the locale's spelling) and the unit
// selected when the dialog is made.

#include <string>
#include <vector>

#include "logic/model/panels/PanelControls.h"
#include "logic/text/Locale.h"

namespace corvane {

struct ConversionDialogContent {
    std::string className;  // TConvertToImperialForm, ...
    std::string caption;    // "Imperial equivalents" / "Metric equivalents"
    std::string label1;     // "To convert values to ... equivalents "
    std::string label2;     // "Choose a prefered flow unit and click convert"
    std::vector<std::string> units;
    int initialIndex;
};

ConversionDialogContent ConversionDialogContentOf(ConversionDialog kind, const Locale& locale);

}  // namespace corvane
