#include "logic/engine/FittingMethods.h"

#include <cmath>
#include <cstddef>

#include "logic/engine/FittingTable.h"
#include "logic/engine/Units.h"

namespace corvane {

namespace {

struct Published {
    int type;
    std::optional<TwoKConstants> hooper;
    std::optional<ThreeKConstants> darby;
};

// K table row, Hooper's K1 and Kinf, Darby's K1, Ki and Kd.
const Published kPublished[] = {
    {1, TwoKConstants{800, 0.4}, ThreeKConstants{800, 0.14, 4.0}},     // standard bend: 90 deg elbow r/D 1
    {2, TwoKConstants{800, 0.2}, ThreeKConstants{800, 0.071, 4.2}},    // long radius bend: r/D 1.5
    {3, std::nullopt, ThreeKConstants{800, 0.066, 3.9}},               // pipe bend: r/D 4
    {4, TwoKConstants{500, 0.2}, ThreeKConstants{500, 0.071, 4.2}},    // 45 deg elbow r/D 1
    {5, TwoKConstants{1000, 0.35}, ThreeKConstants{1000, 0.23, 4.0}},  // return bend: 180 deg r/D 1
    {6, TwoKConstants{200, 0.1}, ThreeKConstants{200, 0.091, 4.0}},    // through tee: run through
    {7, TwoKConstants{500, 0.7}, ThreeKConstants{500, 0.274, 4.0}},    // branch tee: used as an elbow
    {11, TwoKConstants{500, 0.15}, std::nullopt},                      // ball valve, reduced bore (beta 0.9)
    {12, std::nullopt, ThreeKConstants{300, 0.017, 3.5}},              // ball valve, full bore
    {13, TwoKConstants{1500, 1.5}, ThreeKConstants{1500, 0.46, 4.0}},  // swing check valve
    {15, TwoKConstants{2000, 10.0}, ThreeKConstants{2000, 2.85, 3.8}}, // lift check valve
    {16, TwoKConstants{300, 0.1}, ThreeKConstants{300, 0.037, 3.9}},   // gate valve fully open
    {20, TwoKConstants{1500, 4.0}, ThreeKConstants{1500, 1.7, 3.6}},   // globe valve fully open
    {24, TwoKConstants{1000, 2.0}, ThreeKConstants{1000, 0.69, 4.0}},  // angled globe valve fully open
    {28, TwoKConstants{800, 0.25}, std::nullopt},                      // butterfly valve fully open
};

const Published* Find(int type) {
    for (const Published& p : kPublished)
        if (p.type == type) return &p;
    return nullptr;
}

}  // namespace

std::optional<TwoKConstants> HooperConstants(int type) {
    const Published* p = Find(type);
    return p ? p->hooper : std::nullopt;
}

std::optional<ThreeKConstants> DarbyConstants(int type) {
    const Published* p = Find(type);
    return p ? p->darby : std::nullopt;
}

double HooperK(const TwoKConstants& c, double reynolds, double diameterInches) {
    return c.k1 / reynolds + c.kInfinity * (1.0 + 1.0 / diameterInches);
}

double DarbyK(const ThreeKConstants& c, double reynolds, double diameterInches) {
    return c.k1 / reynolds + c.ki * (1.0 + c.kd / std::pow(diameterInches, 0.3));
}

FittingsKComparison CompareFittingsK(const FittingsSelection& fittings, double d, double re) {
    FittingsKComparison out;
    const double inches = d / kMillimetresPerInch;
    for (int kind = 1; kind <= kFittingKindCount; ++kind) {
        const int n = fittings.counts[static_cast<std::size_t>(kind - 1)];
        if (n == 0) continue;
        FittingKRow row;
        row.kind = kind;
        row.type = FittingTypeOfKind(kind, fittings.openings);
        row.count = n;
        row.table = FittingK(row.type, d);
        if (auto c = HooperConstants(row.type)) row.twoK = HooperK(*c, re, inches);
        if (auto c = DarbyConstants(row.type)) row.threeK = DarbyK(*c, re, inches);
        out.tableTotal += n * row.table;
        out.twoKTotal += n * row.twoK.value_or(row.table);
        out.threeKTotal += n * row.threeK.value_or(row.table);
        out.rows.push_back(row);
    }
    out.extraK = fittings.extraK;
    out.tableTotal += fittings.extraK;
    out.twoKTotal += fittings.extraK;
    out.threeKTotal += fittings.extraK;
    return out;
}

}  // namespace corvane
