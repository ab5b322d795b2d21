#include "logic/model/FittingsText.h"

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

std::vector<std::string> FittingsFields(std::string_view s) {
    std::vector<std::string> fields;
    fields.reserve(kFittingsFieldCount);
    while (static_cast<int>(fields.size()) < kFittingsFieldCount) {
        const auto tab = s.find('\t');
        if (tab == std::string_view::npos) {
            fields.emplace_back(s);
            s = {};
        } else {
            fields.emplace_back(s.substr(0, tab));
            s.remove_prefix(tab + 1);
        }
    }
    return fields;
}

FittingsSelection ParseFittings(std::string_view fittings, const Locale& locale) {
    const auto fields = FittingsFields(fittings);
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
