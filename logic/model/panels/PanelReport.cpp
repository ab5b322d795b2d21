#include "logic/model/panels/PanelReport.h"

#include <array>
#include <cmath>

#include "logic/engine/Units.h"
#include "logic/model/panels/PanelKinds.h"
#include "logic/model/shared/FittingsText.h"
#include "logic/text/NumberText.h"

namespace corvane {
namespace {

constexpr std::array<const char*, kFittingKindCount> kFittingNames = {
    "Standard bend", "Long bend", "Pipe bend", "Elbow 45\u00b0", "Return bend", "Through tee", "Branch tee",
    "Strainer", "Reducer (one size)", "Expander (one size)", "Ball valve (reduced bore)", "Ball valve (full bore)",
    "Check swing", "Check wafer", "Check lift", "Gate valve (", "Globe valve (", "Globe angled (",
    "Butterfly stnd (", "Flexible bend", "Flexible loop", "Barb connector", "Thin wall tube connector"};

constexpr std::array<const char*, kOpeningCount> kOpenings = {"100%", "75%", "50%", "25%"};

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

void ForEachReportRow(const PanelModel& p, const ReportRowVisitor& row) {
    const PanelKind kind = p.kind();
    const Locale& locale = p.locale();
    const bool gas = p.gasMode();
    auto t = [&](Ctl c) -> const std::string& { return p.text(c); };
    auto item = [&](Ctl c) { return p.list(c).selectedText(); };
    // Each number that stands in an entry shows the locale's separator.
    auto value = [&](Ctl c) { return FixDecimalSeparator(p.text(c), locale); };

    row({KindSpec(kind).reportTitle});
    row({t(Ctl::PipematerailHdLabel), item(Ctl::PipeMaterialComboBox)});
    if (kind == PanelKind::Diameter)
        row({t(Ctl::MinPipeDiameterHdLabel), value(Ctl::PipeDiameter_RightEdit), t(Ctl::PipeDiameter_UnitsLabel)});
    else
        row({t(Ctl::InternalDiameterHdLabel), value(Ctl::IDmm_RightEdit), t(Ctl::ID_UnitsLabel)});
    row({t(Ctl::InternalRoughnessHdLabel), value(Ctl::IRmm_RightEdit), t(Ctl::IR_UnitsLabel)});
    if (kind == PanelKind::Length)
        row({t(Ctl::PipeLengthHdLabel), value(Ctl::PipeLength_RightEdit), t(Ctl::PipeLength_UnitsLabel)});
    else
        row({t(Ctl::LengthHdLabel), value(Ctl::LengthM_RightEdit), t(Ctl::Length_UnitsLabel)});
    row({"Pipe fittings ", t(Ctl::FittingsBitBtn)});

    const auto fields = FittingsFields(p.fittings());
    for (int k = 1; k <= kFittingKindCount; ++k) {
        const std::string& count = fields[static_cast<std::size_t>(kValveSelectorCount + k - 1)];
        if (ReadInteger(count).value_or(0) > 0) row({FittingReportName(k, p.fittings()), count});
    }
    const std::string& extraK = fields[kFittingsFieldCount - 1];
    if (ReadEntryNumber(extraK, locale) > 0) row({"Other 'k' factor ", FixDecimalSeparator(extraK, locale)});
    if (p.lastFittingsK() > 0)
        row({"Total 'K' value of fittings ", WriteEntryNumber(p.lastFittingsK(), 3, locale).value_or("")});

    row({t(Ctl::ElevationChangeLabel), value(Ctl::ElevationChange_RightEdit),
                    t(Ctl::ElevationChange_UnitsLabel) + " " + item(Ctl::RiseFallComboBox)});
    std::string flowLabel = t(Ctl::FlowHdLabel);
    if (gas) flowLabel += FixDecimalSeparator(" (Volume at 0.0 ", locale) + t(Ctl::BargHdLabel) + ")";
    row({flowLabel, value(Ctl::FlowrateLMin_RightEdit),
                    item(gas ? Ctl::Gas_FlowUnitComboBox : Ctl::FlowUnitComboBox)});

    if (gas) {
        const std::string gasUnit = item(Ctl::Gas_FlowUnitComboBox);
        row({kind == PanelKind::Flow ? t(Ctl::GasPressureHdLabel) : "Gas pressure ", value(Ctl::Barg_RightEdit),
                        t(Ctl::BargHdLabel)});
        const double q = ReadEntryNumber(t(Ctl::FlowrateLMin_RightEdit), locale);
        const double pg = ReadEntryNumber(t(Ctl::Barg_RightEdit), locale);
        const double p0 = p.metric() ? kAtmosphereBar : kAtmospherePsiRounded;
        // At an absolute pressure of 0 there is no entry flow to show.
        const std::string entry = WriteEntryNumber(q * p0 / (pg + p0), 3, locale).value_or("");
        row({"Entry flow at " + value(Ctl::Barg_RightEdit) + " " + t(Ctl::BargHdLabel), entry, gasUnit});
        std::string exitFlow = t(Ctl::ExitFlowValueLabel);
        if (!gasUnit.empty()) {
            const auto pos = exitFlow.find(gasUnit[0]);
            if (pos != std::string::npos && pos >= 1) exitFlow.erase(pos - 1, 100);
        }
        row({"Exit flow " + t(Ctl::ExitFlowBarLabel), exitFlow, gasUnit});
    }

    row({"Fluid", t(Ctl::FluidName_Edit)});
    row({t(Ctl::FlowTypeHdLabel), t(Ctl::FlowType_RightEdit)});
    row({t(Ctl::ReynoldsNumberHdLabel), t(Ctl::ReynoldsNumber_RightEdit)});
    row({t(Ctl::FrictionFactorHdLabel), t(Ctl::FrictionFactor_RightEdit)});
    row({t(Ctl::FluidVelocityHdLabel), t(Ctl::MSec_RightEdit), t(Ctl::FluidVelocity_UnitsLabel)});
    if (kind == PanelKind::PressureDrop)
        row({t(Ctl::PressureDropHdLabel), t(Ctl::mHd_RightEdit), item(Ctl::MhdBarComboBox)});
    else if (gas)
        row({t(Ctl::AllowableLossHdLabel), value(Ctl::AllowablePressureLoss_RightEdit), t(Ctl::BargHdLabel)});
    else
        row({t(Ctl::AvailablePressureHdLabel), value(Ctl::AvailablePressure_RightEdit), item(Ctl::MhdBarComboBox)});
}

std::vector<std::vector<std::string>> PanelReportRows(const PanelModel& panel) {
    std::vector<std::vector<std::string>> rows;
    ForEachReportRow(panel, [&](std::initializer_list<std::string_view> fields) {
        rows.emplace_back(fields.begin(), fields.end());
    });
    return rows;
}

std::string PanelReport(const PanelModel& panel) {
    std::string out;
    out.reserve(1024);
    bool firstRow = true;
    ForEachReportRow(panel, [&](std::initializer_list<std::string_view> fields) {
        if (!firstRow) out += '\r';
        firstRow = false;
        bool firstField = true;
        for (std::string_view field : fields) {
            if (!firstField) out += '\t';
            firstField = false;
            out += field;
        }
    });
    return out;
}

namespace {

std::string HtmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace

std::string PanelReportHtml(const PanelModel& panel) {
    std::string out = "<html><head><meta charset=\"utf-8\"></head><body><table>\n";
    for (const auto& row : PanelReportRows(panel)) {
        out += "<tr>";
        for (std::size_t i = 0; i < row.size(); ++i)
            out += (i == 1 ? "<td align=\"right\">" : "<td>") + HtmlEscaped(row[i]) + "</td>";
        out += "</tr>\n";
    }
    return out + "</table></body></html>\n";
}

}  // namespace corvane
