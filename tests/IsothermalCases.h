#pragma once
// Whole gas cases by the complete isothermal equation
// (tests/data/isothermal_cases.csv, made by python3-fluids with
// tests/data/make_isothermal_cases.py): each panel's unknown by the
// isothermal equation, and for the pressure drop and length panels the
// panels' own answer and how far it lies from the isothermal one.  The
// engine, model and corvane-cli tests read the same table.

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "logic/engine/Solvers.h"
#include "logic/model/panels/PanelModel.h"
#include "tests/logic/PanelTestSupport.h"

namespace corvane::test {

struct IsothermalCase {
    PanelKind kind = PanelKind::PressureDrop;
    // The entries as typed: bar g, l/min, mm, m, bar, K, mm, cSt, kg/m3.
    std::string inlet, flow, diameter, length, loss, extraK, roughness, viscosity, density;
    double isothermal = 0;                    // bar, l/min, mm or m
    double outlet = 0;                        // bar g
    std::optional<double> panel;              // the panels' answer (panels 1 and 4)
    std::optional<double> differencePercent;  // (panel - isothermal) / isothermal x 100
    std::string what;

    SolverInputs inputs() const {
        SolverInputs in;
        in.gas = true;
        in.inletPressure = std::stod(inlet);
        in.flow = kind == PanelKind::Flow ? 0.0 : std::stod(flow);
        in.diameter = kind == PanelKind::Diameter ? 0.0 : std::stod(diameter);
        in.length = kind == PanelKind::Length ? 0.0 : std::stod(length);
        in.allowableLoss = kind == PanelKind::PressureDrop ? 0.0 : std::stod(loss);
        in.fittings.extraK = std::stod(extraK);
        in.roughness = std::stod(roughness);
        in.viscosity = std::stod(viscosity);
        in.density = std::stod(density);
        return in;
    }

    // The case typed into a metric panel (the drop in bar on panel 1).
    void enter(PanelModel& p) const {
        p.useFluid({"Gas", "20\u00b0C (68\u00b0F)", viscosity, density, true});
        p.setText(Ctl::Barg_RightEdit, inlet);
        p.setText(Ctl::IRmm_RightEdit, roughness);
        p.setFittingsString(Fittings({}, {}, extraK));
        if (kind != PanelKind::Diameter) p.setText(Ctl::IDmm_RightEdit, diameter);
        if (kind != PanelKind::Length) p.setText(Ctl::LengthM_RightEdit, length);
        if (kind != PanelKind::Flow) p.setText(Ctl::VisibleFlowrateLMin_RightEdit, flow);
        if (kind != PanelKind::PressureDrop) p.setText(Ctl::AllowablePressureLoss_RightEdit, loss);
        else p.choose(Ctl::MhdBarComboBox, 1);
    }
};

inline std::vector<IsothermalCase> IsothermalCases() {
    std::ifstream in(CORVANE_ISOTHERMAL_CASES);
    std::vector<IsothermalCase> cases;
    std::string line;
    auto number = [](const std::string& s) { return s.empty() ? std::nullopt : std::optional<double>(std::stod(s)); };
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f;
        std::stringstream fields(line);
        for (std::string field; std::getline(fields, field, ',');) f.push_back(field);
        if (f.size() != 15) ADD_FAILURE() << "not a case: " << line;
        if (f.size() != 15) continue;
        IsothermalCase c;
        c.kind = static_cast<PanelKind>(std::stoi(f[0]));
        c.inlet = f[1], c.flow = f[2], c.diameter = f[3], c.length = f[4], c.loss = f[5];
        c.extraK = f[6], c.roughness = f[7], c.viscosity = f[8], c.density = f[9];
        c.isothermal = std::stod(f[10]);
        c.outlet = std::stod(f[11]);
        c.panel = number(f[12]);
        c.differencePercent = number(f[13]);
        c.what = f[14];
        cases.push_back(c);
    }
    if (cases.size() < 10) ADD_FAILURE() << "too few isothermal cases in " << CORVANE_ISOTHERMAL_CASES;
    return cases;
}

inline IsothermalCase IsothermalCaseNamed(const std::string& what) {
    for (const IsothermalCase& c : IsothermalCases())
        if (c.what == what) return c;
    ADD_FAILURE() << "no isothermal case " << what;
    return {};
}

}  // namespace corvane::test
