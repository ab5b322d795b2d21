#include "logic/model/data/FittingsDialogModel.h"

#include <algorithm>

#include "logic/model/shared/FittingsText.h"
#include "logic/text/NumberText.h"

namespace corvane {

const std::array<const char*, kFittingKindCount>& FittingsDialogModel::KindNames() {
    static const std::array<const char*, kFittingKindCount> kNames = {
        "Standard bend", "Long radius bend", "Pipe bend", "Elbow 45\u00b0", "Return bend", "Through tee",
        "Branch tee", "Strainer", "Reducer (one size)", "Expander (one size)", "Ball valve (reduced bore)",
        "Ball valve (full bore)", "Check valve, swing", "Check valve, wafer", "Check valve, lift", "Gate valve",
        "Globe valve (standard)", "Globe valve (angled)", "Butterfly valve", "Flexible bend", "Flexible loop",
        "Barb connector", "Thin wall tube connector"};
    return kNames;
}

void FittingsDialogModel::reset() {
    openings_.fill(0);
    counts_.fill(0);
    extraK_ = *WriteEntryNumber(0, 2, locale_);
}

void FittingsDialogModel::setOpening(int valve, int index) {
    if (valve < 0 || valve >= kValveSelectorCount) return;
    openings_[static_cast<std::size_t>(valve)] = index >= 0 && index < kOpeningCount ? index : 0;
}

void FittingsDialogModel::setCount(int kind, int n) {
    if (kind < 1 || kind > kFittingKindCount) return;
    counts_[static_cast<std::size_t>(kind - 1)] = std::clamp(n, 0, 999);
}

void FittingsDialogModel::load(const std::string& selection) {
    const std::vector<std::string> fields = FittingsFields(selection);
    for (int v = 0; v < kValveSelectorCount; ++v)
        setOpening(v, ReadInteger(fields[static_cast<std::size_t>(v)]).value_or(0));
    for (int k = 1; k <= kFittingKindCount; ++k)
        setCount(k, ReadInteger(fields[static_cast<std::size_t>(kValveSelectorCount + k - 1)]).value_or(0));
    const double extra = ReadEntryNumber(fields[kFittingsFieldCount - 1], locale_);
    extraK_ = WriteEntryNumber(extra, 2, locale_).value_or(*WriteEntryNumber(0, 2, locale_));
}

std::string FittingsDialogModel::store() const {
    std::string s;
    for (int o : openings_) s += std::to_string(o) + "\t";
    for (int c : counts_) s += std::to_string(c) + "\t";
    return s + extraK_ + "\t";
}

bool FittingsDialogModel::keyPress(char32_t& key) const { return IsAllowedEntryKey(extraK_, key, locale_); }

}  // namespace corvane
