// The fittings selection string: its default, how it reads as numbers, and
// the caption of the fittings button.

#include <gtest/gtest.h>

#include <string>

#include "logic/engine/FittingTable.h"
#include "logic/model/shared/FittingsText.h"
#include "tests/logic/PanelTestSupport.h"

namespace corvane {
namespace {

using test::Fittings;

double TotalK(const std::string& s, double d, const Locale& locale) {
    return FittingsTotalK(ParseFittings(s, locale), d);
}

TEST(FittingsText, DefaultSelectionIsZeroAndNone) {
    const std::string def = DefaultFittingsSelection();
    EXPECT_EQ(def, "0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0.00\t");
    EXPECT_EQ(ParseFittings(def, DotLocale()), FittingsSelection{});
    EXPECT_EQ(FittingsCaption(def, DotLocale()), "none");
    EXPECT_EQ(FittingsCaption(def, CommaLocale()), "none");
}

TEST(FittingsText, TwoBendsAndAHalfOpenGateValve) {
    const std::string s = Fittings({2, 0, 0, 0}, {{1, 2}, {16, 1}});
    FittingsSelection expected;
    expected.openings = {2, 0, 0, 0};
    expected.counts[0] = 2;
    expected.counts[15] = 1;
    EXPECT_EQ(ParseFittings(s, DotLocale()), expected);
    EXPECT_DOUBLE_EQ(TotalK(s, 50, DotLocale()), 2 * 0.57 + 5.25);
    EXPECT_EQ(FittingsCaption(s, DotLocale()), "3");
}

TEST(FittingsText, ExtraKAloneCountsAsOneFitting) {
    for (const std::string k : {"0.5", "0,5"})
        for (const Locale& l : {DotLocale(), CommaLocale()}) {
            const std::string s = Fittings({}, {}, k);
            EXPECT_DOUBLE_EQ(TotalK(s, 25, l), 0.5) << k;
            EXPECT_EQ(FittingsCaption(s, l), "1") << k;
        }
}

TEST(FittingsText, UnreadableFieldsCountAsZero) {
    std::string s = Fittings({}, {{1, 1}, {2, 1}});
    s.replace(s.find("1\t"), 1, "x");  // the standard bend count
    EXPECT_EQ(TotalK(s, 25, DotLocale()), FittingKInBand(2, 4));
    EXPECT_EQ(FittingsCaption(s, DotLocale()), "1");
    EXPECT_EQ(TotalK("", 25, DotLocale()), 0.0);
    EXPECT_EQ(FittingsCaption("", DotLocale()), "none");
    EXPECT_EQ(TotalK(Fittings({}, {}, "abc"), 25, DotLocale()), 0.0);
}

TEST(FittingsText, AnythingAfterTheExtraKIsIgnored) {
    const std::string s = Fittings({}, {{1, 1}}, "0.25") + "7\t9\tjunk";
    EXPECT_DOUBLE_EQ(TotalK(s, 25, DotLocale()), 0.69 + 0.25);
    EXPECT_EQ(FittingsCaption(s, DotLocale()), "2");
    const auto fields = FittingsFields(s);
    ASSERT_EQ(fields.size(), 28u);
    EXPECT_EQ(fields[27], "0.25");
}

TEST(FittingsText, ExtraKWithoutItsTab) {
    std::string s = Fittings({}, {}, "1.5");
    s.pop_back();
    EXPECT_EQ(TotalK(s, 25, DotLocale()), 1.5);
    const auto fields = FittingsFields("1\t2");
    ASSERT_EQ(fields.size(), 28u);
    EXPECT_EQ(fields[1], "2");
    EXPECT_EQ(fields[2], "");
}

TEST(FittingsText, CaptionSumsTheCounts) {
    EXPECT_EQ(FittingsCaption(Fittings({3, 3, 3, 3}, {{1, 999}, {23, 999}}, "2"), DotLocale()), "1999");
    EXPECT_EQ(FittingsCaption(Fittings({}, {}, "-1"), DotLocale()), "none");
}

}  // namespace
}  // namespace corvane
