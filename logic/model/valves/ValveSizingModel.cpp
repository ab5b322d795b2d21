#include "logic/model/valves/ValveSizingModel.h"

#include <algorithm>

#include "logic/engine/Units.h"
#include "logic/model/data/LiquidAtTemperature.h"
#include "logic/model/valves/CriticalPressures.h"
#include "logic/text/NumberText.h"

namespace corvane {

namespace {

enum class Shown { None, Pressure, LiquidFlow, GasFlow, Temperature, Diameter };
enum Fluids : unsigned { kLiquid = 1, kGas = 2, kBoth = 3 };

// What each entry is: its control's name, its caption (with its Alt key),
// its units, how it converts, which fluid has it, whether it may be empty,
// and its start-up text (metric).
struct FieldRow {
    ValveField field;
    const char* name;
    const char* caption;
    const char* metricUnit;
    const char* imperialUnit;
    Shown conversion;
    unsigned fluids;
    bool needed;
    const char* start;
};

constexpr FieldRow kFields[] = {
    {ValveField::UpstreamPressure, "UpstreamPressureEdit", "&Upstream pressure p1", "bar a", "psi a",
     Shown::Pressure, kBoth, true, "10"},
    {ValveField::DownstreamPressure, "DownstreamPressureEdit", "&Downstream pressure p2", "bar a", "psi a",
     Shown::Pressure, kBoth, true, "7"},
    {ValveField::LiquidFlow, "LiquidFlowEdit", "F&low", "m\u00b3/h", "US gpm", Shown::LiquidFlow, kLiquid, true,
     "50"},
    {ValveField::GasFlow, "GasFlowEdit", "F&low", "", "", Shown::GasFlow, kGas, true, "1000"},
    {ValveField::LiquidName, "LiquidNameEdit", "&Name", "", "", Shown::None, kLiquid, false, "Water"},
    {ValveField::Temperature, "TemperatureEdit", "&Temperature", "\u00b0C", "\u00b0F", Shown::Temperature,
     kBoth, false, "20"},
    {ValveField::RelativeDensity, "RelativeDensityEdit", "Relative densit&y", "water = 1", "water = 1",
     Shown::None, kLiquid, true, ""},
    {ValveField::LiquidViscosity, "LiquidViscosityEdit", "&Viscosity", "cSt", "cSt", Shown::None, kLiquid, true,
     ""},
    {ValveField::VapourPressure, "VapourPressureEdit", "V&apour pressure", "bar a", "psi a", Shown::Pressure,
     kLiquid, true, ""},
    {ValveField::CriticalPressure, "CriticalPressureEdit", "&Critical pressure", "bar a", "psi a",
     Shown::Pressure, kLiquid, true, ""},
    {ValveField::MolarMass, "MolarMassEdit", "&Molar mass", "kg/kmol", "lb/lbmol", Shown::None, kGas, true,
     "28.96"},
    {ValveField::Gamma, "GammaEdit", "Specific &heat ratio \u03b3", "", "", Shown::None, kGas, true, "1.4"},
    {ValveField::Compressibility, "CompressibilityEdit", "Compressi&bility factor Z", "", "", Shown::None, kGas,
     true, "1"},
    {ValveField::GasViscosity, "GasViscosityEdit", "&Viscosity", "\u00b5Pa s", "\u00b5Pa s", Shown::None, kGas,
     true, "18.2"},
    {ValveField::FL, "FLEdit", "Pressure recovery factor &FL", "", "", Shown::None, kBoth, true, "0.9"},
    {ValveField::Fd, "FdEdit", "Valve &style modifier Fd", "", "", Shown::None, kBoth, true, "0.46"},
    {ValveField::XT, "XTEdit", "Pressure ratio factor &xT", "", "", Shown::None, kGas, true, "0.7"},
    {ValveField::Size, "SizeEdit", "Valve si&ze d", "mm", "inch", Shown::Diameter, kBoth, true, "80"},
    {ValveField::InletPipe, "InletPipeEdit", "&Inlet pipe D1", "mm", "inch", Shown::Diameter, kBoth, true, "100"},
    {ValveField::OutletPipe, "OutletPipeEdit", "&Outlet pipe D2", "mm", "inch", Shown::Diameter, kBoth, true,
     "100"},
};
static_assert(std::size(kFields) == kValveFieldCount);
constexpr bool FieldsInOrder() {
    for (int i = 0; i < kValveFieldCount; ++i)
        if (static_cast<int>(kFields[i].field) != i) return false;
    return true;
}
static_assert(FieldsInOrder(), "kFields follows ValveField");

const FieldRow& Row(ValveField f) { return kFields[ValveSizingModel::Index(f)]; }

// The gas flow forms as the list shows them, metric and imperial.
struct FormRow {
    GasFlowForm form;
    const char* metric;
    const char* imperial;
};
constexpr FormRow kForms[] = {
    {GasFlowForm::Mass, "Mass flow", "Mass flow"},
    {GasFlowForm::Actual, "Volume flow at the inlet", "Volume flow at the inlet"},
    {GasFlowForm::Normal, "Volume flow at 0 \u00b0C and 1.01325 bar", "Volume flow at 32 \u00b0F and 14.696 psi a"},
    {GasFlowForm::Standard, "Volume flow at 15 \u00b0C and 1.01325 bar", "Volume flow at 59 \u00b0F and 14.696 psi a"},
};

double CubicMetresPerHourIn(int unit, double v) { return FlowFromLitresPerMin(unit, FlowToLitresPerMin(kCubicMetrePerHour, v)); }
double CubicMetresPerHourFrom(int unit, double v) { return FlowFromLitresPerMin(kCubicMetrePerHour, FlowToLitresPerMin(unit, v)); }

std::string Sentence(std::string words) {
    if (!words.empty() && words[0] >= 'a' && words[0] <= 'z') words[0] = static_cast<char>(words[0] - 'a' + 'A');
    return words + ".";
}

std::string Html(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '&') out += "&amp;";
        else out += c;
    }
    return out;
}

constexpr const char* kNeededText = "A value is needed.";
constexpr const char* kNotANumberText = "Type a number.";
constexpr const char* kCorrectText = "Correct the values marked: the valve is sized once every value is taken.";

}  // namespace

const char* ValveSizingModel::Caption(ValveField f) { return Row(f).caption; }
const char* ValveSizingModel::Name(ValveField f) { return Row(f).name; }

std::vector<std::string> ValveSizingModel::GasFlowFormNames() {
    std::vector<std::string> names;
    for (const FormRow& r : kForms) names.emplace_back(r.metric);
    return names;
}

std::string ValveSizingModel::gasFlowFormName(int index) const {
    const FormRow& r = kForms[static_cast<std::size_t>(std::clamp(index, 0, static_cast<int>(std::size(kForms)) - 1))];
    return metric_ ? r.metric : r.imperial;
}

ValveSizingModel::ValveSizingModel(const Locale& locale) : locale_(locale) {
    for (const FieldRow& r : kFields) {
        texts_[Index(r.field)] = FixDecimalSeparator(r.start, locale_);
        read(r.field);
    }
    useWater();
}

bool ValveSizingModel::shown(ValveField f) const { return Row(f).fluids & (gas_ ? kGas : kLiquid); }

std::string ValveSizingModel::unit(ValveField f) const {
    if (f == ValveField::GasFlow) {
        if (form_ == GasFlowForm::Mass) return metric_ ? "kg/h" : "lb/h";
        return metric_ ? "m\u00b3/h" : "ft\u00b3/h";
    }
    return metric_ ? Row(f).metricUnit : Row(f).imperialUnit;
}

double ValveSizingModel::toShown(ValveField f, double v) const {
    if (metric_) return v;
    switch (Row(f).conversion) {
        case Shown::None: return v;
        case Shown::Pressure: return PressureFromBar(kPsi, v);
        case Shown::LiquidFlow: return CubicMetresPerHourIn(kGallonUsPerMin, v);
        case Shown::GasFlow:
            return form_ == GasFlowForm::Mass ? v * kPoundsPerKilogram : CubicMetresPerHourIn(kCubicFootPerHour, v);
        case Shown::Temperature: return v * kFahrenheitPerCelsius + kFahrenheitAtZeroCelsius;
        case Shown::Diameter: break;
    }
    return v / kMillimetresPerInch;
}

double ValveSizingModel::fromShown(ValveField f, double v) const {
    if (metric_) return v;
    switch (Row(f).conversion) {
        case Shown::None: return v;
        case Shown::Pressure: return PressureToBar(kPsi, v);
        case Shown::LiquidFlow: return CubicMetresPerHourFrom(kGallonUsPerMin, v);
        case Shown::GasFlow:
            return form_ == GasFlowForm::Mass ? v / kPoundsPerKilogram : CubicMetresPerHourFrom(kCubicFootPerHour, v);
        case Shown::Temperature: return (v - kFahrenheitAtZeroCelsius) / kFahrenheitPerCelsius;
        case Shown::Diameter: break;
    }
    return v * kMillimetresPerInch;
}

void ValveSizingModel::read(ValveField f) {
    const std::size_t i = Index(f);
    faults_[i].clear();
    values_[i].reset();
    if (f == ValveField::LiquidName) return;
    std::string text = texts_[i];
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    if (text.empty()) return;
    const std::string fixed = FixDecimalSeparator(text, locale_);
    if (!IsEntryNumber(fixed, locale_)) {
        faults_[i] = kNotANumberText;
        return;
    }
    values_[i] = fromShown(f, ReadEntryNumber(fixed, locale_));
}

void ValveSizingModel::showValue(ValveField f) {
    const std::size_t i = Index(f);
    if (values_[i]) texts_[i] = ValveNumberText(toShown(f, *values_[i]), locale_);
}

std::string ValveSizingModel::shownWithUnit(ValveField f) const {
    const std::string u = unit(f);
    return texts_[Index(f)] + (u.empty() ? "" : " " + u);
}

void ValveSizingModel::setText(ValveField f, const std::string& text) {
    texts_[Index(f)] = text;
    read(f);
    if (f != ValveField::LiquidName && (f == ValveField::RelativeDensity || f == ValveField::LiquidViscosity ||
                                        f == ValveField::VapourPressure || f == ValveField::CriticalPressure))
        liquidSource_ = "typed";
    recalculate();
}

void ValveSizingModel::setValue(ValveField f, double value) {
    values_[Index(f)] = value;
    faults_[Index(f)].clear();
    showValue(f);
    if (f == ValveField::RelativeDensity || f == ValveField::LiquidViscosity || f == ValveField::VapourPressure ||
        f == ValveField::CriticalPressure)
        liquidSource_ = "typed";
    recalculate();
}

void ValveSizingModel::setGas(bool gas) {
    gas_ = gas;
    recalculate();
}

void ValveSizingModel::setMetric(bool metric) {
    if (metric == metric_) return;
    metric_ = metric;
    // Taken values are written anew in the new units; a refused text stays
    // as typed.
    for (const FieldRow& r : kFields)
        if (r.conversion != Shown::None && faults_[Index(r.field)] != kNotANumberText) showValue(r.field);
    recalculate();
}

void ValveSizingModel::setGasFlowForm(GasFlowForm form) {
    form_ = form;
    read(ValveField::GasFlow);
    recalculate();
}

void ValveSizingModel::setTrim(ValveTrim trim) {
    trim_ = trim;
    recalculate();
}

std::optional<std::string> ValveSizingModel::useWater() {
    const std::optional<double> celsius = values_[Index(ValveField::Temperature)];
    if (!celsius) return "Type the temperature first: water's numbers are found at it.";
    const LiquidAnswer answer = WaterAtTemperature(*celsius, std::nullopt, locale_);
    if (const auto* refusal = std::get_if<Refusal>(&answer)) {
        std::string text = refusal->text;
        std::replace(text.begin(), text.end(), '\r', ' ');
        return text;
    }
    const auto& w = std::get<LiquidAtTemperature>(answer);
    texts_[Index(ValveField::LiquidName)] = w.name;
    values_[Index(ValveField::RelativeDensity)] = w.relativeDensity;
    values_[Index(ValveField::LiquidViscosity)] = w.state.kinematicViscosityCst;
    values_[Index(ValveField::VapourPressure)] = w.state.vapourPressureBarA;
    values_[Index(ValveField::CriticalPressure)] = kWaterCriticalPressureBar;
    for (ValveField f : {ValveField::RelativeDensity, ValveField::LiquidViscosity, ValveField::VapourPressure,
                         ValveField::CriticalPressure}) {
        faults_[Index(f)].clear();
        showValue(f);
    }
    liquidSource_ = "water at " + ValveNumberText(*celsius, locale_) + " \u00b0C by IAPWS-IF97 and IAPWS 2008, at " +
                    ValveNumberText(w.state.vapourPressureBarA.value_or(0) > kAtmosphereBar ? *w.state.vapourPressureBarA
                                                                                            : kAtmosphereBar,
                                    locale_) +
                    " bar a";
    recalculate();
    return std::nullopt;
}

std::optional<std::string> ValveSizingModel::useLiquid(const LiquidChoice& choice) {
    if (choice.fluid.isGas) return "Choose a liquid: a gas's numbers are typed on the Gas side.";
    std::string missing;
    texts_[Index(ValveField::LiquidName)] = choice.fluid.name;
    texts_[Index(ValveField::RelativeDensity)] = choice.fluid.density;
    texts_[Index(ValveField::LiquidViscosity)] = choice.fluid.viscosity;
    read(ValveField::RelativeDensity);
    read(ValveField::LiquidViscosity);
    showValue(ValveField::RelativeDensity);
    showValue(ValveField::LiquidViscosity);
    const std::string vapour = FixDecimalSeparator(choice.vapourPressure, locale_);
    if (IsEntryNumber(vapour, locale_)) {
        values_[Index(ValveField::VapourPressure)] = ReadEntryNumber(vapour, locale_);  // bar a
        faults_[Index(ValveField::VapourPressure)].clear();
        showValue(ValveField::VapourPressure);
    } else {
        missing += " its vapour pressure";
    }
    if (const auto pc = StockCriticalPressure(choice.fluid.name)) {
        values_[Index(ValveField::CriticalPressure)] = *pc;
        faults_[Index(ValveField::CriticalPressure)].clear();
        showValue(ValveField::CriticalPressure);
    } else {
        missing += std::string(missing.empty() ? "" : " and") + " its critical pressure";
    }
    liquidSource_ = "the fluid data base: " + choice.fluid.name + " " + choice.fluid.temperature;
    if (!missing.empty()) liquidSource_ += "; type" + missing;
    recalculate();
    return std::nullopt;
}

ValveDisplay ValveSizingModel::display() const {
    ValveDisplay d;
    d.symbols = true;
    d.flowCaption = gas_ ? GasFlowCaption(form_) : "Flow";
    d.flowUnit = unit(gas_ ? ValveField::GasFlow : ValveField::LiquidFlow);
    d.flowFactor = toShown(gas_ ? ValveField::GasFlow : ValveField::LiquidFlow, 1.0);
    d.pressureUnit = metric_ ? "bar a" : "psi a";
    d.dropUnit = metric_ ? "bar" : "psi";
    d.pressureFactor = toShown(ValveField::UpstreamPressure, 1.0);
    return d;
}

void ValveSizingModel::recalculate() {
    result_.reset();
    status_.clear();
    bool faulty = false;
    for (const FieldRow& r : kFields) {
        std::string& fault = faults_[Index(r.field)];
        if (fault != kNotANumberText) fault.clear();
        if (!shown(r.field)) continue;
        if (fault.empty() && r.needed && !values_[Index(r.field)]) fault = kNeededText;
        if (r.field == ValveField::Temperature && gas_ && !values_[Index(r.field)]) fault = kNeededText;
        faulty = faulty || !fault.empty();
    }
    if (faulty) {
        status_ = kCorrectText;
        return;
    }
    auto v = [&](ValveField f) { return values_[Index(f)].value_or(0); };
    ValveBody body;
    body.fl = v(ValveField::FL);
    body.fd = v(ValveField::Fd);
    body.xt = gas_ ? v(ValveField::XT) : 0;
    body.size = v(ValveField::Size);
    body.inletPipe = v(ValveField::InletPipe);
    body.outletPipe = v(ValveField::OutletPipe);
    body.trim = trim_;
    ValveResult r;
    if (gas_) {
        gasCase_ = {};
        gasCase_.p1 = v(ValveField::UpstreamPressure);
        gasCase_.p2 = v(ValveField::DownstreamPressure);
        gasCase_.flow = v(ValveField::GasFlow);
        gasCase_.form = form_;
        gasCase_.molarMass = v(ValveField::MolarMass);
        gasCase_.gamma = v(ValveField::Gamma);
        gasCase_.z = v(ValveField::Compressibility);
        gasCase_.temperature = v(ValveField::Temperature) + kZeroCelsiusKelvin;
        gasCase_.viscosity = v(ValveField::GasViscosity);
        gasCase_.valve = body;
        r = SizeGasValve(gasCase_);
    } else {
        liquid_ = {};
        liquid_.p1 = v(ValveField::UpstreamPressure);
        liquid_.p2 = v(ValveField::DownstreamPressure);
        liquid_.flow = v(ValveField::LiquidFlow);
        liquid_.density = v(ValveField::RelativeDensity) * kKilogramsPerCubicMetrePerRelativeDensity;
        liquid_.vapourPressure = v(ValveField::VapourPressure);
        liquid_.criticalPressure = v(ValveField::CriticalPressure);
        liquid_.viscosity = v(ValveField::LiquidViscosity);
        liquid_.valve = body;
        r = SizeLiquidValve(liquid_);
    }
    if (r.fault) {
        ValveFaultWording wording;
        wording.lowestTemperature = metric_ ? "-273.15 \u00b0C" : "-459.67 \u00b0F";
        wording.other = [this](ValveInput in) {
            return shownWithUnit(in == ValveInput::UpstreamPressure   ? ValveField::UpstreamPressure
                                 : in == ValveInput::CriticalPressure ? ValveField::CriticalPressure
                                                                      : ValveField::Size);
        };
        if (const auto words = ValveInputFaultText(*r.fault, wording)) {
            faults_[Index(FieldOf(r.fault->input, gas_))] = Sentence(*words);
            status_ = kCorrectText;
        } else {
            const ValveDisplay d = display();
            status_ = ValveRefusalText(*r.fault, ValveNumberText(r.fault->limit * d.flowFactor, locale_) + " " + d.flowUnit);
        }
        return;
    }
    result_ = r;
}

ValveField ValveSizingModel::FieldOf(ValveInput in, bool gas) {
    switch (in) {
        case ValveInput::UpstreamPressure: return ValveField::UpstreamPressure;
        case ValveInput::DownstreamPressure: return ValveField::DownstreamPressure;
        case ValveInput::Flow: return gas ? ValveField::GasFlow : ValveField::LiquidFlow;
        case ValveInput::Density: return ValveField::RelativeDensity;
        case ValveInput::VapourPressure: return ValveField::VapourPressure;
        case ValveInput::CriticalPressure: return ValveField::CriticalPressure;
        case ValveInput::Viscosity: return gas ? ValveField::GasViscosity : ValveField::LiquidViscosity;
        case ValveInput::MolarMass: return ValveField::MolarMass;
        case ValveInput::Gamma: return ValveField::Gamma;
        case ValveInput::Compressibility: return ValveField::Compressibility;
        case ValveInput::Temperature: return ValveField::Temperature;
        case ValveInput::FL: return ValveField::FL;
        case ValveInput::Fd: return ValveField::Fd;
        case ValveInput::XT: return ValveField::XT;
        case ValveInput::Size: return ValveField::Size;
        case ValveInput::InletPipe: return ValveField::InletPipe;
        case ValveInput::OutletPipe:
        case ValveInput::Kv: break;  // sizing has no Kv given
    }
    return ValveField::OutletPipe;
}

std::vector<ValveRow> ValveSizingModel::resultRows() const {
    if (!result_) return {};
    return ValveResultRows(*result_, v1(), gas_, display(), locale_);
}

std::vector<std::string> ValveSizingModel::notes() const {
    std::vector<std::string> out;
    if (result_)
        for (ValveNote n : result_->notes) out.emplace_back(ValveNoteText(n));
    return out;
}

double ValveSizingModel::v1() const { return values_[Index(ValveField::UpstreamPressure)].value_or(0); }

std::vector<std::pair<std::string, std::string>> ValveSizingModel::inputRows() const {
    std::vector<std::pair<std::string, std::string>> rows;
    rows.push_back({"Fluid", gas_ ? "gas" : "liquid"});
    if (!gas_) rows.push_back({"Liquid's numbers from", liquidSource_});
    for (const FieldRow& r : kFields) {
        if (!shown(r.field)) continue;
        if ((r.field == ValveField::Temperature || r.field == ValveField::LiquidName) && texts_[Index(r.field)].empty())
            continue;
        std::string caption = r.caption;
        caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
        if (r.field == ValveField::GasFlow) caption = gasFlowFormName(static_cast<int>(form_));
        rows.push_back({caption, shownWithUnit(r.field)});
    }
    rows.push_back({"Trim", trim_ == ValveTrim::Full ? "full" : "reduced"});
    return rows;
}

std::string ValveSizingModel::copyText() const {
    std::string text = std::string("Control valve sizing, ") + (gas_ ? "gas" : "liquid") + ", IEC 60534-2-1\n";
    for (const auto& [caption, value] : inputRows()) text += caption + "\t" + value + "\n";
    if (!result_) return text + status_ + "\n";
    for (const ValveRow& row : resultRows())
        text += row.caption + "\t" + row.value + (row.unit.empty() ? "" : "\t" + row.unit) + "\n";
    for (const std::string& n : notes()) text += "Note\t" + n + "\n";
    return text;
}

std::string ValveSizingModel::copyHtml() const {
    std::string html = std::string("<p><b>Control valve sizing, ") + (gas_ ? "gas" : "liquid") +
                       ", IEC 60534-2-1</b></p><table>";
    for (const auto& [caption, value] : inputRows())
        html += "<tr><td>" + Html(caption) + "</td><td colspan=\"2\">" + Html(value) + "</td></tr>";
    html += "</table><table>";
    for (const ValveRow& row : resultRows())
        html += "<tr><td>" + Html(row.caption) + "</td><td align=\"right\">" + Html(row.value) + "</td><td>" +
                Html(row.unit) + "</td></tr>";
    html += "</table>";
    if (!result_) html += "<p>" + Html(status_) + "</p>";
    for (const std::string& n : notes()) html += "<p>" + Html(n) + "</p>";
    return html;
}

}  // namespace corvane
