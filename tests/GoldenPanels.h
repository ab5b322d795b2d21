#pragma once
// The golden cases of the panels (tests/data/golden_panels.csv): each
// worked example and reference case with its inputs and every result as the
// panel shows it.  The engine, model, window and corvane-cli tests run the
// same table through parameterised tests.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "logic/model/panels/PanelKinds.h"
#include "logic/model/panels/PanelModel.h"
#include "logic/model/shared/FittingsText.h"

namespace corvane::test {

struct GoldenCase {
    std::string name;
    PanelKind kind = PanelKind::PressureDrop;
    Locale locale;
    bool imperial = false;
    FluidChoice fluid;
    bool fall = false;
    int flowUnit = 0;    // index in the flow list of the fluid's mode
    int resultUnit = 0;  // index in the m hd / bar list
    std::string fittings;                 // the selection string
    std::map<Ctl, std::string> entries;   // typed into the panel
    std::optional<int> passes;            // of the flow and diameter solvers
    std::string example;                  // a file of examples/ with these results
    std::string message;                  // the refusal; empty when calculated
    std::map<Ctl, std::string> shown;     // every result field as shown

    // The control that shows the panel's own result.
    Ctl resultField() const { return KindSpec(kind).result; }
    // The entries hold calculation units: metric, the flow in litre/min.
    bool inCalculationUnits() const { return !imperial && flowUnit == (fluid.isGas ? 1 : 2); }
};

// The fields of one CSV line: commas separate them, a quoted field may hold
// commas and doubled quotes.
inline std::vector<std::string> CsvFields(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

inline GoldenCase GoldenCaseOf(const std::map<std::string, std::string>& row) {
    auto at = [&](const char* column) {
        const auto it = row.find(column);
        if (it == row.end()) throw std::runtime_error(std::string("golden_panels.csv has no column ") + column);
        return it->second;
    };
    GoldenCase c;
    c.name = at("case");
    c.kind = static_cast<PanelKind>(std::stoi(at("panel")));
    const std::string locale = at("locale");
    c.locale = locale == "comma" ? CommaLocale() : locale == "us" ? Locale{'.', true} : DotLocale();
    c.imperial = at("units") == "imperial";
    c.fluid = {at("fluid"), at("temperature"), at("viscosity"), at("density"), at("gas") == "1"};
    c.fall = at("fall") == "1";
    c.flowUnit = std::stoi(at("flow_unit"));
    c.resultUnit = std::stoi(at("result_unit"));

    int fields[27] = {};
    std::istringstream openings(at("openings"));
    for (int i = 0, o = 0; i < 4 && openings >> o; ++i) {
        fields[i] = o;
        openings.ignore(1);  // the '/'
    }
    std::istringstream counts(at("fittings"));
    for (std::string pair; counts >> pair;)
        fields[3 + std::stoi(pair.substr(0, pair.find(':')))] = std::stoi(pair.substr(pair.find(':') + 1));
    for (int f : fields) c.fittings += std::to_string(f) + "\t";
    c.fittings += (at("extra_k").empty() ? "0.00" : at("extra_k")) + "\t";

    const std::pair<const char*, Ctl> entries[] = {
        {"roughness", Ctl::IRmm_RightEdit},        {"diameter", Ctl::IDmm_RightEdit},
        {"length", Ctl::LengthM_RightEdit},         {"elevation", Ctl::ElevationChange_RightEdit},
        {"pressure", Ctl::Barg_RightEdit},          {"flow", Ctl::VisibleFlowrateLMin_RightEdit},
        {"available", Ctl::AvailablePressure_RightEdit}, {"allowable", Ctl::AllowablePressureLoss_RightEdit}};
    for (const auto& [column, ctl] : entries)
        if (!at(column).empty()) c.entries[ctl] = at(column);
    if (!at("passes").empty()) c.passes = std::stoi(at("passes"));
    c.example = at("example");
    for (char ch : at("message")) {
        if (ch == 'r' && !c.message.empty() && c.message.back() == '\\') c.message.back() = '\r';
        else c.message += ch;
    }

    const std::pair<const char*, Ctl> shown[] = {
        {"flow_type", Ctl::FlowType_RightEdit},       {"reynolds", Ctl::ReynoldsNumber_RightEdit},
        {"friction", Ctl::FrictionFactor_RightEdit},  {"velocity", Ctl::MSec_RightEdit},
        {"result", c.resultField()},                  {"entry_flow", Ctl::ActualFlowValueLabel},
        {"exit_flow", Ctl::ExitFlowValueLabel},       {"exit_pressure", Ctl::ExitFlowBarLabel},
        {"weight", Ctl::FlowWeightPanel},             {"density_shown", Ctl::RightEditVisibleFluidDensityDisplay},
        {"fittings_caption", Ctl::FittingsBitBtn}};
    for (const auto& [column, ctl] : shown) c.shown[ctl] = at(column);
    return c;
}

// Every case of the table; lines starting with '#' are comments.
inline std::vector<GoldenCase> LoadGoldenCases() {
    std::ifstream in(CORVANE_GOLDEN_PANELS);
    std::vector<std::string> header;
    std::vector<GoldenCase> cases;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> fields = CsvFields(line);
        if (header.empty()) {
            header = fields;
            continue;
        }
        if (fields.size() != header.size())
            throw std::runtime_error("golden_panels.csv: a line of " + std::to_string(fields.size()) + " fields: " + line);
        std::map<std::string, std::string> row;
        for (std::size_t i = 0; i < fields.size(); ++i) row[header[i]] = fields[i];
        cases.push_back(GoldenCaseOf(row));
    }
    return cases;
}

// The cases for which `keep` is true.
template <typename Keep>
std::vector<GoldenCase> GoldenCasesWhere(Keep keep) {
    std::vector<GoldenCase> kept;
    for (GoldenCase& c : LoadGoldenCases())
        if (keep(c)) kept.push_back(std::move(c));
    return kept;
}

// The case's inputs given to a panel of its kind as a user gives them: the
// unit system (keeping the numbers), the fluid, the fittings, the lists and
// then each entry typed.
inline void EnterGoldenCase(PanelModel& panel, const GoldenCase& c) {
    const UnitSystem system = c.imperial ? UnitSystem::Imperial : UnitSystem::Metric;
    if (panel.unitSystem() != system) panel.switchUnits(system, {ConversionChoice::UseCurrentValues, -1});
    panel.useFluid(c.fluid);
    panel.fittingsClosed(c.fittings);
    panel.selectItem(Ctl::RiseFallComboBox, c.fall ? 1 : 0);
    panel.selectItem(Ctl::MhdBarComboBox, c.resultUnit);
    panel.selectItem(c.fluid.isGas ? Ctl::Gas_FlowUnitComboBox : Ctl::FlowUnitComboBox, c.flowUnit);
    for (const auto& [ctl, text] : c.entries)
        if (PanelHas(panel.kind(), ctl)) panel.editEntry(ctl, text);
}

// A test name from the case's name ("pd-water-defaults": "pd_water_defaults").
inline std::string GoldenCaseName(const ::testing::TestParamInfo<GoldenCase>& info) {
    std::string name = info.param.name;
    for (char& ch : name)
        if (ch == '-') ch = '_';
    return name;
}

inline void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.name; }

}  // namespace corvane::test
