// The solver against an independent solution of the node equations: 30
// generated branched and looped networks solved by scipy with python
// fluids' friction factors and Rennels' reducer forms
// (tests/data/network_reference.csv, made by make_network_reference.py).
// Every flow to 1e-9 of the network's largest, every energy head to 1e-9
// of its head range.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "logic/engine/Network.h"
#include "tests/GoldenPanels.h"

namespace corvane {
namespace {

struct Reference {
    Network network;
    std::vector<double> heads;  // NaN at a tank
    std::vector<double> flows;
};

std::map<int, Reference> ReadReferences() {
    std::map<int, Reference> refs;
    std::ifstream in(CORVANE_TEST_DATA "/network_reference.csv");
    EXPECT_TRUE(in) << "network_reference.csv";
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> f = test::CsvFields(line);
        Reference& r = refs[std::stoi(f.at(1))];
        auto num = [&](std::size_t i) { return std::stod(f.at(i)); };
        auto ends = [&](NetworkLink& l) {
            l.from = std::stoi(f.at(3));
            l.to = std::stoi(f.at(4));
        };
        const std::string& kind = f.at(0);
        if (kind == "network") {
            r.network.liquid = {num(2), num(3), 0.0234};
        } else if (kind == "tank" || kind == "junction") {
            EXPECT_EQ(std::stoul(f.at(2)), r.network.nodes.size()) << line;
            NetworkNode n;
            n.kind = kind == "tank" ? NetworkNodeKind::Tank : NetworkNodeKind::Junction;
            n.elevation = num(3);
            if (kind == "tank") {
                n.level = num(4);
                n.pressure = num(5);
            } else {
                n.demand = num(4);
            }
            r.network.nodes.push_back(n);
            r.heads.push_back(kind == "tank" ? std::nan("") : num(5));
        } else {
            EXPECT_EQ(std::stoul(f.at(2)), r.network.links.size()) << line;
            NetworkLink l;
            ends(l);
            if (kind == "pipe") {
                l.pipe.diameter = num(5);
                l.pipe.roughness = num(6);
                l.pipe.length = num(7);
                l.pipe.fittings.extraK = num(8);
                l.pipe.entryK = num(9);
                l.pipe.exitK = num(10);
                r.flows.push_back(num(11));
            } else if (kind == "reducer") {
                l.kind = NetworkLinkKind::Reducer;
                l.reducer.diameterFrom = num(5);
                l.reducer.diameterTo = num(6);
                l.reducer.form = f.at(7) == "sudden" ? TransitionForm::Sudden : TransitionForm::Conical;
                l.reducer.angle = l.reducer.form == TransitionForm::Sudden ? 180.0 : num(8);
                l.reducer.roughness = num(9);
                r.flows.push_back(num(10));
            } else {
                EXPECT_EQ(kind, "pump") << line;
                l.kind = NetworkLinkKind::Pump;
                std::vector<PumpPoint> points;
                std::istringstream pts(f.at(5));
                for (std::string p; pts >> p;) {
                    const std::size_t colon = p.find(':');
                    points.push_back({std::stod(p.substr(0, colon)), std::stod(p.substr(colon + 1))});
                }
                const PumpCurveResult curve = MakePumpCurve(points);
                EXPECT_FALSE(curve.fault) << line;
                l.pump.curve = curve.curve;
                r.flows.push_back(num(6));
            }
            r.network.links.push_back(l);
        }
    }
    return refs;
}

TEST(NetworkReference, FlowsAndHeadsAgreeWithScipyAndFluids) {
    const std::map<int, Reference> refs = ReadReferences();
    ASSERT_EQ(refs.size(), 30u);
    int looped = 0, pumps = 0, laminar = 0, critical = 0, turbulent = 0;
    for (const auto& [index, ref] : refs) {
        const NetworkResult got = SolveNetwork(ref.network);
        ASSERT_FALSE(got.fault) << "network " << index;
        double largest = 0, lo = 1e300, hi = -1e300;
        for (double q : ref.flows) largest = std::max(largest, std::fabs(q));
        for (std::size_t i = 0; i < ref.heads.size(); ++i) {
            const double h = std::isnan(ref.heads[i]) ? *got.nodes[i].energyHead : ref.heads[i];
            lo = std::min(lo, h);
            hi = std::max(hi, h);
        }
        for (std::size_t k = 0; k < ref.flows.size(); ++k) {
            EXPECT_NEAR(got.links[k].flow, ref.flows[k], 1e-9 * largest) << "network " << index << " link " << k;
            if (got.links[k].zone) {
                laminar += *got.links[k].zone == FlowRegime::Laminar;
                critical += *got.links[k].zone == FlowRegime::Critical;
                turbulent += *got.links[k].zone == FlowRegime::Turbulent;
            }
        }
        for (std::size_t i = 0; i < ref.heads.size(); ++i)
            if (!std::isnan(ref.heads[i]))
                EXPECT_NEAR(*got.nodes[i].energyHead, ref.heads[i], 1e-9 * (hi - lo)) << "network " << index << " node " << i;
        const std::size_t tanks = static_cast<std::size_t>(std::count_if(
            ref.network.nodes.begin(), ref.network.nodes.end(),
            [](const NetworkNode& n) { return n.kind == NetworkNodeKind::Tank; }));
        looped += ref.network.links.size() + tanks > ref.network.nodes.size();
        pumps += !got.pumps.empty();
    }
    // The table holds what it says it holds.
    EXPECT_GE(looped, 10);
    EXPECT_GE(pumps, 5);
    EXPECT_GT(laminar, 10);
    EXPECT_GT(critical, 3);
    EXPECT_GT(turbulent, 50);
}

}  // namespace
}  // namespace corvane
