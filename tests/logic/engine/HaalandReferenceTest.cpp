// The turbulent friction factor against independent reference values
// (tests/data/haaland_reference.csv, made by python3-fluids).

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "logic/engine/PipeFlow.h"

namespace corvane {
namespace {

struct Reference {
    double re, relativeRoughness, f;
};

std::vector<Reference> LoadReference() {
    std::ifstream in(CORVANE_TEST_DATA "/haaland_reference.csv");
    std::vector<Reference> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        fields.imbue(std::locale::classic());
        Reference r{};
        char comma = 0;
        fields >> r.re >> comma >> r.relativeRoughness >> comma >> r.f;
        if (fields) rows.push_back(r);
    }
    return rows;
}

TEST(HaalandReference, GridOfReynoldsNumbersAndRoughness) {
    const auto rows = LoadReference();
    ASSERT_EQ(rows.size(), 238u);
    for (const double d : {25.0, 100.0, 1200.0}) {
        for (const auto& r : rows) {
            const double f = FrictionFactor(r.re, d, r.relativeRoughness * d);
            EXPECT_NEAR(f, r.f, r.f * 1e-12) << "Re " << r.re << " e/D " << r.relativeRoughness << " D " << d;
            EXPECT_EQ(FlowRegimeOf(r.re), FlowRegime::Turbulent);
        }
    }
}

}  // namespace
}  // namespace corvane
