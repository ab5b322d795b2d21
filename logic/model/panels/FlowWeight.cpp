#include "logic/model/panels/FlowWeight.h"

#include "logic/engine/Units.h"
#include "logic/text/NumberText.h"

namespace corvane {

std::string FormatFlowWeight(int code, bool imperial, double density, double q, const Locale& locale) {
    double m = q * density / 1000.0;
    std::string suffix = "/ min";
    if (code == 0 || code == 7 || code > 10) {
        m = m / 60.0;
        suffix = "/ sec";
    } else if (code == 3 || code == 4 || code == 9) {
        m = m * 60.0;
        suffix = "/ hr";
    }
    std::string word = " kgs ";
    if (imperial) {
        m = m * kPoundsPerKilogram;
        word = " lbs ";
    }
    const auto number = WriteEntryNumber(m, 3, locale);
    if (!number) return {};
    return " Weight = " + *number + word + suffix;
}

}  // namespace corvane
