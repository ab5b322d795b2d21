#include "logic/model/shared/FittingsText.h"

#include <array>
#include <cstddef>

#include "logic/text/NumberText.h"

namespace corvane {
namespace {

int IntegerOr0(std::string_view field) { return ReadInteger(field).value_or(0); }

}  // namespace

std::string DefaultFittingsSelection() {
    std::string s;
    for (int i = 0; i < kValveSelectorCount + kFittingKindCount; ++i) s += "0\t";
    s += "0.00\t";
    return s;
}

namespace {

// The 28 fields as views into the string.
std::array<std::string_view, kFittingsFieldCount> FieldViews(std::string_view s) {
    std::array<std::string_view, kFittingsFieldCount> fields;
    for (std::string_view& field : fields) {
        const auto tab = s.find('\t');
        if (tab == std::string_view::npos) {
            field = s;
            s = {};
        } else {
            field = s.substr(0, tab);
            s.remove_prefix(tab + 1);
        }
    }
    return fields;
}

}  // namespace

std::vector<std::string> FittingsFields(std::string_view s) {
    const auto views = FieldViews(s);
    return {views.begin(), views.end()};
}

FittingsSelection ParseFittings(std::string_view fittings, const Locale& locale) {
    const auto fields = FieldViews(fittings);
    FittingsSelection parsed;
    for (std::size_t v = 0; v < parsed.openings.size(); ++v) parsed.openings[v] = IntegerOr0(fields[v]);
    for (std::size_t k = 0; k < parsed.counts.size(); ++k)
        parsed.counts[k] = IntegerOr0(fields[parsed.openings.size() + k]);
    parsed.extraK = ReadEntryNumber(fields[kFittingsFieldCount - 1], locale);
    return parsed;
}

std::string FittingsCaption(std::string_view fittings, const Locale& locale) {
    const FittingsSelection parsed = ParseFittings(fittings, locale);
    long long sum = 0;
    for (int n : parsed.counts) sum += n;
    if (parsed.extraK > 0.0) ++sum;
    return sum <= 0 ? "none" : std::to_string(sum);
}

}  // namespace corvane
