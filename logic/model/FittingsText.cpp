#include "logic/model/FittingsText.h"

#include <vector>

#include "logic/text/NumberText.h"
#include "logic/engine/FittingTable.h"

namespace corvane {
namespace {

constexpr int kFieldCount = kValveSelectorCount + kFittingKindCount + 1;

// The first 28 fields; missing ones are empty.  Anything after the TAB of
// field 28 is ignored.
std::vector<std::string_view> Fields(std::string_view s) {
    std::vector<std::string_view> fields;
    fields.reserve(kFieldCount);
    while (static_cast<int>(fields.size()) < kFieldCount) {
        const auto tab = s.find('\t');
        if (tab == std::string_view::npos) {
            fields.push_back(s);
            s = {};
        } else {
            fields.push_back(s.substr(0, tab));
            s.remove_prefix(tab + 1);
        }
    }
    return fields;
}

int IntegerOr0(std::string_view field) { return ReadInteger(field).value_or(0); }

}  // namespace

std::string DefaultFittingsSelection() {
    std::string s;
    for (int i = 0; i < kValveSelectorCount + kFittingKindCount; ++i) s += "0\t";
    s += "0.00\t";
    return s;
}

int FittingTypeOfKind(int kind, const int (&selectors)[kValveSelectorCount]) {
    const auto opening = [&](int valve) {
        const int s = selectors[valve];
        return s >= 0 && s <= 3 ? s : 0;
    };
    if (kind >= 1 && kind <= 15) return kind;
    switch (kind) {
        case 16: return 16 + opening(0);
        case 17: return 20 + opening(1);
        case 18: return 24 + opening(2);
        case 19: return 28 + opening(3);
        default: break;
    }
    if (kind >= 20 && kind <= 23) return kind + 12;
    return 0;
}

double FittingsTotalK(std::string_view fittings, double d, const Locale& locale) {
    const auto fields = Fields(fittings);
    int selectors[kValveSelectorCount];
    for (int v = 0; v < kValveSelectorCount; ++v) selectors[v] = IntegerOr0(fields[static_cast<std::size_t>(v)]);
    double total = 0.0;
    for (int kind = 1; kind <= kFittingKindCount; ++kind) {
        const int n = IntegerOr0(fields[static_cast<std::size_t>(kValveSelectorCount + kind - 1)]);
        if (n != 0) total += n * FittingK(FittingTypeOfKind(kind, selectors), d);
    }
    total += ReadEntryNumber(fields[kFieldCount - 1], locale);
    return total;
}

std::string FittingsCaption(std::string_view fittings, const Locale& locale) {
    const auto fields = Fields(fittings);
    long long sum = 0;
    for (int kind = 1; kind <= kFittingKindCount; ++kind)
        sum += IntegerOr0(fields[static_cast<std::size_t>(kValveSelectorCount + kind - 1)]);
    if (ReadEntryNumber(fields[kFieldCount - 1], locale) > 0.0) ++sum;
    return sum <= 0 ? "none" : std::to_string(sum);
}

}  // namespace corvane
