// The fittings K table, its size bands, and the total K of a selection.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "logic/engine/FittingTable.h"
#include "logic/engine/Fittings.h"
#include "logic/engine/PipeFlow.h"
#include "tests/logic/TestText.h"

namespace corvane {
namespace {

using test::Fixed;

// The diameter (mm) at which e = trunc(d x 8 / 25.4 + 0.99) reaches `e`.
double EdgeOf(int e) { return (e - 0.99) * 25.4 / 8.0; }

// A selection from its 4 valve openings, (kind, count) pairs and the extra K.
FittingsSelection Selection(std::initializer_list<int> openings, std::initializer_list<std::pair<int, int>> counts,
                            double extraK = 0) {
    FittingsSelection s;
    std::size_t i = 0;
    for (int o : openings) s.openings[i++] = o;
    for (auto [kind, n] : counts) s.counts[static_cast<std::size_t>(kind - 1)] = n;
    s.extraK = extraK;
    return s;
}

TEST(SizeBands, ExamplesAroundOneInch) {
    EXPECT_EQ(FittingSizeBand(25.0), 4);
    EXPECT_EQ(FittingSizeBand(25.4), 4);
    EXPECT_EQ(FittingSizeBand(25.5), 5);
    EXPECT_EQ(FittingSizeBand(50.0), 7);
}

TEST(SizeBands, EveryBandEdge) {
    // Last e of each band, and the band that starts at e + 1.
    const struct { int lastE, band; } edges[] = {{2, 0},  {3, 1},  {4, 2},  {6, 3},  {8, 4},   {10, 5},
                                                 {12, 6}, {16, 7}, {24, 8}, {32, 9}, {48, 10}, {80, 11}, {128, 12}};
    for (const auto& edge : edges) {
        const double next = EdgeOf(edge.lastE + 1);
        EXPECT_EQ(FittingSizeBand(next - 1e-9), edge.band) << "e = " << edge.lastE;
        EXPECT_EQ(FittingSizeBand(next + 1e-9), edge.band + 1) << "e = " << edge.lastE + 1;
    }
}

TEST(SizeBands, ZeroNegativeHugeAndUndefined) {
    EXPECT_EQ(FittingSizeBand(0), 0);
    EXPECT_EQ(FittingSizeBand(-1), 0);    // e = trunc(0.675) = 0
    EXPECT_EQ(FittingSizeBand(-3.5), 0);  // e = trunc(-0.112) is 0 as well...
    EXPECT_EQ(FittingSizeBand(-10), 13);  // ...but -2.16 truncates to -2
    EXPECT_EQ(FittingSizeBand(1e300), 13);
    EXPECT_EQ(FittingSizeBand(-1e300), 13);
    EXPECT_EQ(FittingSizeBand(std::nan("")), 13);
    EXPECT_EQ(FittingSizeBand(1000), 13);
}

TEST(KTable, SpotCheckOfEveryColumn) {
    // type, band, K
    const struct { int type, band; double k; } spots[] = {
        {0, 5, 0},       {1, 0, 0.81},    {2, 3, 0.4},     {3, 9, 0.2},      {4, 13, 0.19},   {5, 6, 1.05},
        {6, 12, 0.26},   {7, 12, 0.76},   {8, 7, 1},       {9, 0, 0.26},     {10, 6, 0.04},   {11, 6, 2},
        {12, 11, 0.06},  {13, 4, 4.1},    {14, 8, 7.08},   {15, 10, 9},      {16, 2, 0.22},   {17, 9, 0.98},
        {18, 7, 5.25},   {19, 11, 17.6},  {20, 1, 9.2},    {21, 13, 4.51},   {22, 10, 8.42},  {23, 5, 28.13},
        {24, 4, 3.45},   {25, 8, 2.97},   {26, 12, 2.93},  {27, 3, 14.06},   {28, 12, 0.35},  {29, 7, 3.44},
        {30, 9, 15.4},   {31, 0, 200},    {32, 5, 1.04},   {33, 10, 1.08},   {34, 1, 8},      {35, 2, 2.54},
    };
    for (const auto& s : spots) EXPECT_EQ(FittingKInBand(s.type, s.band), s.k) << s.type << "/" << s.band;
}

TEST(KTable, ButterflyAtQuarterOpening) {
    EXPECT_EQ(FittingK(31, 5), 200);     // band 0
    EXPECT_EQ(FittingK(31, 500), 60);    // band 13
}

TEST(KTable, OutsideTheTableIsZero) {
    EXPECT_EQ(FittingK(-1, 25), 0);
    EXPECT_EQ(FittingK(36, 25), 0);
    EXPECT_EQ(FittingKInBand(1, 14), 0);
    EXPECT_EQ(FittingKInBand(1, -1), 0);
}

TEST(FittingsTotalK, NoFittingsIsZero) {
    EXPECT_EQ(FittingsTotalK(FittingsSelection{}, 25), 0.0);
    EXPECT_EQ(FittingsTotalK(FittingsSelection{}, 0), 0.0);
}

TEST(FittingsTotalK, TwoBendsAndAHalfOpenGateValve) {
    // 50 mm pipe: e = 16, band 7.
    const FittingsSelection s = Selection({2, 0, 0, 0}, {{1, 2}, {16, 1}});
    EXPECT_DOUBLE_EQ(FittingsTotalK(s, 50), 2 * 0.57 + 5.25);
    EXPECT_EQ(Fixed(FittingsTotalK(s, 50), 2), "6.39");
    EXPECT_EQ(Fixed(FittingsHead(FittingsTotalK(s, 50), 2), 4), "1.3028");
}

TEST(FittingsTotalK, ExtraKIsAdded) {
    EXPECT_DOUBLE_EQ(FittingsTotalK(Selection({}, {}, 0.5), 25), 0.5);
    EXPECT_DOUBLE_EQ(FittingsTotalK(Selection({}, {{1, 1}}, 0.25), 25), 0.69 + 0.25);
}

TEST(FittingsTotalK, ValveOpeningsSelectTheirColumns) {
    // 25 mm: band 4.
    for (int opening = 0; opening <= 3; ++opening) {
        EXPECT_EQ(FittingsTotalK(Selection({opening, 0, 0, 0}, {{16, 1}}), 25), FittingKInBand(16 + opening, 4));
        EXPECT_EQ(FittingsTotalK(Selection({0, opening, 0, 0}, {{17, 1}}), 25), FittingKInBand(20 + opening, 4));
        EXPECT_EQ(FittingsTotalK(Selection({0, 0, opening, 0}, {{18, 1}}), 25), FittingKInBand(24 + opening, 4));
        EXPECT_EQ(FittingsTotalK(Selection({0, 0, 0, opening}, {{19, 1}}), 25), FittingKInBand(28 + opening, 4));
    }
}

TEST(FittingsTotalK, EveryKindIsChargedToItsType) {
    // 100 mm: e = 32, band 9.
    const int types[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 20, 24, 28, 32, 33, 34, 35};
    for (int kind = 1; kind <= 23; ++kind) {
        EXPECT_EQ(FittingTypeOfKind(kind, {}), types[kind - 1]) << kind;
        EXPECT_EQ(FittingsTotalK(Selection({}, {{kind, 3}}), 100), 3 * FittingKInBand(types[kind - 1], 9)) << kind;
    }
    EXPECT_EQ(FittingTypeOfKind(0, {}), 0);
    EXPECT_EQ(FittingTypeOfKind(24, {}), 0);
}

TEST(FittingsTotalK, OpeningOutsideTheListCountsAsFullyOpen) {
    // An opening index of -1 (no item selected) or 4 would otherwise charge
    // a gate valve as a check valve or a globe valve.
    for (int bad : {-1, 4, 99})
        EXPECT_EQ(FittingsTotalK(Selection({bad, 0, 0, 0}, {{16, 1}}), 25), FittingKInBand(16, 4)) << bad;
}

}  // namespace
}  // namespace corvane
