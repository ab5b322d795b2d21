#include "logic/model/PanelReport.h"

#include <array>
#include <cmath>

#include "logic/engine/Units.h"
#include "logic/model/FittingsText.h"
#include "logic/text/NumberText.h"

namespace corvane {
namespace {

constexpr std::array<const char*, kFittingKindCount> kFittingNames = {
    "Standard bend", "Long bend", "Pipe bend", "Elbow 45\u00b0", "Return bend", "Through tee", "Branch tee",
    "Strainer", "Reducer (one size)", "Expander (one size)", "Ball valve (reduced bore)", "Ball valve (full bore)",
    "Check swing", "Check wafer", "Check lift", "Gate valve (", "Globe valve (", "Globe angled (",
    "Butterfly stnd (", "Flexible bend", "Flexible loop", "Barb connector", "Thin wall tube connector"};

constexpr std::array<const char*, kOpeningCount> kOpenings = {"100%", "75%", "50%", "25%"};

const char* TitleOf(PanelKind kind) {
    switch (kind) {
        case PanelKind::PressureDrop: return "Find P.D.";
        case PanelKind::Flow: return "Find FLOW.";
        case PanelKind::Diameter: return "Find DIAMETER.";
        case PanelKind::Length: return "Find LENGTH.";
    }
    return "";
}

}  // namespace

std::string FittingReportName(int kind, const std::string& fittings) {
    if (kind < 1 || kind > kFittingKindCount) return {};
    std::string name = kFittingNames[static_cast<std::size_t>(kind - 1)];
    if (kind >= kFirstValveKind && kind < kFirstValveKind + kValveSelectorCount) {
        const auto fields = FittingsFields(fittings);
        const auto opening = ReadInteger(fields[static_cast<std::size_t>(kind - kFirstValveKind)]);
        if (opening && *opening >= 0 && *opening < kOpeningCount) name += kOpenings[static_cast<std::size_t>(*opening)];
        name += ")";
    }
    return name;
}

std::vector<std::vector<std::string>> PanelReportRows(const PanelModel& p) {
    const PanelKind kind = p.kind();
    const Locale& locale = p.locale();
    const bool gas = p.gasMode();
    auto t = [&](Ctl c) { return p.text(c); };
    auto item = [&](Ctl c) { return p.list(c).selectedText(); };
    // Each number that stands in an entry shows the locale's separator.
    auto value = [&](Ctl c) { return FixDecimalSeparator(p.text(c), locale); };

    std::vector<std::vector<std::string>> rows;
    rows.push_back({TitleOf(kind)});
    rows.push_back({t(Ctl::PipematerailHdLabel), item(Ctl::PipeMaterialComboBox)});
    if (kind == PanelKind::Diameter)
        rows.push_back({t(Ctl::MinPipeDiameterHdLabel), value(Ctl::PipeDiameter_RightEdit), t(Ctl::PipeDiameter_UnitsLabel)});
    else
        rows.push_back({t(Ctl::InternalDiameterHdLabel), value(Ctl::IDmm_RightEdit), t(Ctl::ID_UnitsLabel)});
    rows.push_back({t(Ctl::InternalRoughnessHdLabel), value(Ctl::IRmm_RightEdit), t(Ctl::IR_UnitsLabel)});
    if (kind == PanelKind::Length)
        rows.push_back({t(Ctl::PipeLengthHdLabel), value(Ctl::PipeLength_RightEdit), t(Ctl::PipeLength_UnitsLabel)});
    else
        rows.push_back({t(Ctl::LengthHdLabel), value(Ctl::LengthM_RightEdit), t(Ctl::Length_UnitsLabel)});
    rows.push_back({"Pipe fittings ", t(Ctl::FittingsBitBtn)});

    const auto fields = FittingsFields(p.fittings());
    for (int k = 1; k <= kFittingKindCount; ++k) {
        const std::string& count = fields[static_cast<std::size_t>(kValveSelectorCount + k - 1)];
        if (ReadInteger(count).value_or(0) > 0) rows.push_back({FittingReportName(k, p.fittings()), count});
    }
    const std::string& extraK = fields[kFittingsFieldCount - 1];
    if (ReadEntryNumber(extraK, locale) > 0) rows.push_back({"Other 'k' factor ", FixDecimalSeparator(extraK, locale)});
    if (p.lastFittingsK() > 0)
        rows.push_back({"Total 'K' value of fittings ", WriteEntryNumber(p.lastFittingsK(), 3, locale).value_or("")});

    rows.push_back({t(Ctl::ElevationChangeLabel), value(Ctl::ElevationChange_RightEdit),
                    t(Ctl::ElevationChange_UnitsLabel) + " " + item(Ctl::RiseFallComboBox)});
    std::string flowLabel = t(Ctl::FlowHdLabel);
    if (gas) flowLabel += FixDecimalSeparator(" (Volume at 0.0 ", locale) + t(Ctl::BargHdLabel) + ")";
    rows.push_back({flowLabel, value(Ctl::FlowrateLMin_RightEdit),
                    item(gas ? Ctl::Gas_FlowUnitComboBox : Ctl::FlowUnitComboBox)});

    if (gas) {
        const std::string gasUnit = item(Ctl::Gas_FlowUnitComboBox);
        rows.push_back({kind == PanelKind::Flow ? t(Ctl::GasPressureHdLabel) : "Gas pressure ", value(Ctl::Barg_RightEdit),
                        t(Ctl::BargHdLabel)});
        const double q = ReadEntryNumber(t(Ctl::FlowrateLMin_RightEdit), locale);
        const double pg = ReadEntryNumber(t(Ctl::Barg_RightEdit), locale);
        const double p0 = p.metric() ? kAtmosphereBar : kAtmospherePsiRounded;
        // At an absolute pressure of 0 there is no entry flow to show.
        const std::string entry = WriteEntryNumber(q * p0 / (pg + p0), 3, locale).value_or("");
        rows.push_back({"Entry flow at " + value(Ctl::Barg_RightEdit) + " " + t(Ctl::BargHdLabel), entry, gasUnit});
        std::string exitFlow = t(Ctl::ExitFlowValueLabel);
        if (!gasUnit.empty()) {
            const auto pos = exitFlow.find(gasUnit[0]);
            if (pos != std::string::npos && pos >= 1) exitFlow.erase(pos - 1, 100);
        }
        rows.push_back({"Exit flow " + t(Ctl::ExitFlowBarLabel), exitFlow, gasUnit});
    }

    rows.push_back({"Fluid", t(Ctl::FluidName_Edit)});
    rows.push_back({t(Ctl::FlowTypeHdLabel), t(Ctl::FlowType_RightEdit)});
    rows.push_back({t(Ctl::ReynoldsNumberHdLabel), t(Ctl::ReynoldsNumber_RightEdit)});
    rows.push_back({t(Ctl::FrictionFactorHdLabel), t(Ctl::FrictionFactor_RightEdit)});
    rows.push_back({t(Ctl::FluidVelocityHdLabel), t(Ctl::MSec_RightEdit), t(Ctl::FluidVelocity_UnitsLabel)});
    if (kind == PanelKind::PressureDrop)
        rows.push_back({t(Ctl::PressureDropHdLabel), t(Ctl::mHd_RightEdit), item(Ctl::MhdBarComboBox)});
    else if (gas)
        rows.push_back({t(Ctl::AllowableLossHdLabel), value(Ctl::AllowablePressureLoss_RightEdit), t(Ctl::BargHdLabel)});
    else
        rows.push_back({t(Ctl::AvailablePressureHdLabel), value(Ctl::AvailablePressure_RightEdit), item(Ctl::MhdBarComboBox)});
    return rows;
}

std::string PanelReport(const PanelModel& panel) {
    std::string out;
    bool firstRow = true;
    for (const auto& row : PanelReportRows(panel)) {
        if (!firstRow) out += '\r';
        firstRow = false;
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i) out += '\t';
            out += row[i];
        }
    }
    return out;
}

}  // namespace corvane
