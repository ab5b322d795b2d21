// What is derived from the control and panel-kind tables, and the rules
// between the tables that the compiler cannot check.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "logic/model/panels/PanelFile.h"
#include "logic/model/panels/PanelKinds.h"

namespace corvane {
namespace {

constexpr PanelKind kAll[] = {PanelKind::PressureDrop, PanelKind::Flow, PanelKind::Diameter, PanelKind::Length};

TEST(PanelTables, EachPanelShowsItsUnknownWhereItsRowSays) {
    for (PanelKind k : kAll) {
        const PanelKindSpec& spec = KindSpec(k);
        EXPECT_TRUE(PanelHas(k, spec.result) && IsResult(k, spec.result)) << PanelDigit(k);
        EXPECT_TRUE(PanelHas(k, spec.resultCaption) && PanelHas(k, spec.resultUnit)) << PanelDigit(k);
        EXPECT_FALSE(IsUserEntry(k, spec.result)) << PanelDigit(k);
        // The unknown is no other panel's result.
        for (PanelKind other : kAll)
            if (other != k) EXPECT_NE(KindSpec(other).result, spec.result);
        EXPECT_EQ(PanelKindOfHeader(PanelFileHeader(k)), k);
        EXPECT_EQ(CtlName(Ctl::PanelHeading, k), spec.headingName);
        // "No control" (the window's own labels and buttons) has no row to read.
        EXPECT_FALSE(PanelHas(k, Ctl::Count_) || IsResult(k, Ctl::Count_) || IsUserEntry(k, Ctl::Count_));
    }
    EXPECT_FALSE(IsList(Ctl::Count_));
}

TEST(PanelTables, EveryEntryAndResultIsListedOnceByItsName) {
    for (PanelKind k : kAll) {
        std::set<std::string> names;
        for (Ctl c : ListedControls(k)) {
            EXPECT_TRUE(PanelHas(k, c)) << CtlName(c, k);
            EXPECT_TRUE(names.insert(CtlName(c, k)).second) << CtlName(c, k);
        }
        for (int i = 0; i < kCtlCount; ++i) {
            const Ctl c = static_cast<Ctl>(i);
            if (IsUserEntry(k, c) || IsResult(k, c)) EXPECT_TRUE(names.count(CtlName(c, k))) << CtlName(c, k);
        }
    }
}

TEST(PanelTables, FileLayoutHoldsTheEntriesListsAndFittingsOfThePanel) {
    for (PanelKind k : kAll) {
        const std::vector<Ctl>& layout = FileLayout(k);
        EXPECT_EQ(layout.size(), k == PanelKind::PressureDrop ? 15u : 16u);
        EXPECT_EQ(layout.front(), Ctl::PipeMaterialComboBox);
        // Every entry the user types is saved, and the calculation flow
        // wherever it is not the result.
        for (int i = 0; i < kCtlCount; ++i) {
            const Ctl c = static_cast<Ctl>(i);
            const bool saved = std::find(layout.begin(), layout.end(), c) != layout.end();
            if (IsUserEntry(k, c) && c != Ctl::VisibleFlowrateLMin_RightEdit) EXPECT_TRUE(saved) << CtlName(c, k);
            if (IsResult(k, c)) EXPECT_FALSE(saved) << CtlName(c, k);
        }
    }
    // A saved default panel has its three header lines and its own lines.
    for (PanelKind k : kAll) {
        const PanelModel panel(k, Locale{});
        const std::string saved = SavePanelFile(panel);
        EXPECT_EQ(static_cast<std::size_t>(std::count(saved.begin(), saved.end(), '\n')), 3 + FileLayout(k).size());
    }
}

TEST(PanelTables, EntriesInStepOrderAreEveryTypedEntryAndTheCalculationFlow) {
    std::set<Ctl> typed;
    for (PanelKind k : kAll)
        for (int i = 0; i < kCtlCount; ++i)
            if (IsUserEntry(k, static_cast<Ctl>(i))) typed.insert(static_cast<Ctl>(i));
    typed.insert(Ctl::FlowrateLMin_RightEdit);
    const std::vector<Ctl>& steps = EntriesInStepOrder();
    EXPECT_EQ(std::set<Ctl>(steps.begin(), steps.end()), typed);
    EXPECT_EQ(steps.size(), typed.size());
}

}  // namespace
}  // namespace corvane
