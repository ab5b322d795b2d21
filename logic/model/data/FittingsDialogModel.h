#pragma once
// The fittings dialog ("Pipe fittings"): 23 counters, four valve openings
// and an extra K value, read from and written to a panel's fittings
// selection string.

#include <array>
#include <string>
#include <vector>

#include "logic/engine/Fittings.h"
#include "logic/text/Locale.h"

namespace corvane {

class FittingsDialogModel {
public:
    explicit FittingsDialogModel(const Locale& locale) : locale_(locale) { reset(); }

    // "Clear All": openings 100 %, counts 0, extra K "0.00" (two decimals).
    void reset();
    // The panel's string into the dialog: openings (not an integer, or
    // outside the list: 100 %), counts (not an integer: 0; kept to 0..999),
    // the extra K shown with two decimals ("1.234" shows "1.23").
    void load(const std::string& selection);
    // The dialog as a string: the four opening indices, the 23 counts and the
    // extra K text as it stands, each followed by a TAB.
    std::string store() const;

    int opening(int valve) const { return openings_[static_cast<std::size_t>(valve)]; }
    int count(int kind) const { return counts_[static_cast<std::size_t>(kind - 1)]; }
    const std::string& extraK() const { return extraK_; }
    void setOpening(int valve, int index);
    void setCount(int kind, int n);
    void setExtraK(std::string text) { extraK_ = std::move(text); }
    // The extra K accepts digits and one separator; a refused key is 0.
    bool keyPress(char32_t& key) const;

    static std::vector<std::string> OpeningItems() { return {"100", "75", "50", "25"}; }
    // The names of the 23 fitting kinds beside their counters.
    static const std::array<const char*, kFittingKindCount>& KindNames();

private:
    Locale locale_;
    std::array<int, kValveSelectorCount> openings_{};
    std::array<int, kFittingKindCount> counts_{};
    std::string extraK_;
};

}  // namespace corvane
