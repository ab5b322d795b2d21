#include "cli/ValveCommand.h"

#include "cli/DataCommands.h"
#include "cli/JsonText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

#include "logic/engine/ControlValve.h"
#include "logic/engine/Units.h"
#include "logic/io/FileIo.h"
#include "logic/model/sheets/ValveSheet.h"
#include "logic/model/valves/ValveReport.h"
#include "logic/text/NumberText.h"

namespace corvane {
namespace {

std::string Text(double v, const Locale& l) { return ValveNumberText(v, l); }

using Json = nlohmann::ordered_json;

enum Fluids : unsigned { kLiquid = 1, kGas = 2, kBoth = 3 };
enum Verbs : unsigned { kSize = 1, kFlow = 2, kDrop = 4, kAll = 7 };

// The options of the command, in the order its usage lists them.  A flag
// has no value.
struct Option {
    const char* name;
    const char* value;  // what follows it; nullptr for a flag
    unsigned fluids;
    unsigned verbs;
    const char* text;
};

constexpr Option kOptions[] = {
    {"--liquid", nullptr, kBoth, kAll, "a liquid"},
    {"--gas", nullptr, kBoth, kAll, "a gas"},
    {"--p1", "BAR_A", kBoth, kAll, "upstream pressure, bar a"},
    {"--p2", "BAR_A", kBoth, kSize | kFlow, "downstream pressure, bar a (found by dp)"},
    {"--flow", "M3_H", kBoth, kSize | kDrop,
     "flow, m\u00b3/h (a gas's: the actual volume flow at the inlet; found by flow)"},
    {"--mass-flow", "KG_H", kGas, kSize | kDrop, "or a gas's mass flow, kg/h"},
    {"--normal-flow", "M3_H", kGas, kSize | kDrop, "or its volume flow at 0 \u00b0C and 1.01325 bar, m\u00b3/h"},
    {"--standard-flow", "M3_H", kGas, kSize | kDrop, "or its volume flow at 15 \u00b0C and 1.01325 bar, m\u00b3/h"},
    {"--flow-as", "FORM", kGas, kFlow, "the gas flow found as mass, actual, normal (the default) or standard flow"},
    {"--kv", "KV", kBoth, kFlow | kDrop, "the valve's Kv, m\u00b3/h (found by size)"},
    {"--cv", "CV", kBoth, kFlow | kDrop, "or its Cv, US gal/min (Kv = 0.865 Cv)"},
    {"--density", "KG_M3", kLiquid, kAll, "density at the inlet, kg/m\u00b3"},
    {"--vapour-pressure", "BAR_A", kLiquid, kAll, "vapour pressure at the inlet temperature, bar a"},
    {"--critical-pressure", "BAR_A", kLiquid, kAll, "critical pressure, bar a"},
    {"--viscosity", "V", kBoth, kAll,
     "a liquid's kinematic viscosity, cSt; a gas's dynamic viscosity at the inlet, \u00b5Pa s"},
    {"--molar-mass", "KG_KMOL", kGas, kAll, "molar mass, kg/kmol"},
    {"--gamma", "GAMMA", kGas, kAll, "specific heat ratio cp/cv, above 1"},
    {"--z", "Z", kGas, kAll, "compressibility factor at the inlet (default 1)"},
    {"--temperature", "DEGC", kGas, kAll, "temperature at the inlet, \u00b0C"},
    {"--fl", "FL", kBoth, kAll, "liquid pressure recovery factor FL, above 0 and at most 1"},
    {"--fd", "FD", kBoth, kAll, "valve style modifier Fd, above 0 and at most 1"},
    {"--xt", "XT", kGas, kAll, "pressure differential ratio factor xT, above 0 and below 1"},
    {"--size", "MM", kBoth, kAll, "valve size d, mm"},
    {"--pipe", "MM", kBoth, kAll, "pipe on both sides, mm (default: the valve's size)"},
    {"--inlet-pipe", "MM", kBoth, kAll, "pipe upstream, mm, at least the valve's size"},
    {"--outlet-pipe", "MM", kBoth, kAll, "pipe downstream, mm, at least the valve's size"},
    {"--trim", "full|reduced", kBoth, kAll, "the valve's trim (default full)"},
    {"--json", nullptr, kBoth, kAll, "one JSON object: the inputs, then the results"},
    {"--sheet", "OUT.pdf", kBoth, kSize, "the calculation sheet as a PDF (drawn by corvane-sheet)"},
    {"--title", "T", kBoth, kSize, "the sheet's project"},
    {"--case", "C", kBoth, kSize, "the sheet's case"},
    {"--prepared-by", "N", kBoth, kSize, "the sheet's preparer"},
    {"--checked-by", "N", kBoth, kSize, "the sheet's checker"},
    {"--revision", "R", kBoth, kSize, "the sheet's revision"},
};

// The options that take a text, not a number.
bool TakesText(const std::string& name) {
    for (const char* t : {"--trim", "--flow-as", "--sheet", "--title", "--case", "--prepared-by", "--checked-by",
                          "--revision"})
        if (name == t) return true;
    return false;
}

const Option* FindOption(const std::string& name) {
    for (const Option& o : kOptions)
        if (name == o.name) return &o;
    return nullptr;
}

std::string Usage() {
    std::string u =
        "usage: corvane-cli valve size --liquid|--gas [options] [--json]   the Kv a flow needs\n"
        "       corvane-cli valve flow --liquid|--gas --kv KV [options]     the flow at p1 and p2\n"
        "       corvane-cli valve dp   --liquid|--gas --kv KV [options]     the outlet pressure at a flow\n"
        "  by IEC 60534-2-1; either decimal mark\n";
    for (const Option& o : kOptions) {
        std::string left = std::string("  ") + o.name + (o.value ? std::string(" ") + o.value : "");
        left.resize(std::max<std::size_t>(left.size() + 1, 28), ' ');
        const char* fluids = o.fluids == kLiquid ? "(liquid) " : o.fluids == kGas ? "(gas) " : "";
        u += left + fluids + o.text + "\n";
    }
    return u;
}

// A number as typed: optional sign, digits with one '.' or ',' and an
// optional exponent; nothing else, and nothing a double cannot hold.
std::optional<double> Number(std::string text) {
    if (text.find('.') == std::string::npos) {
        const auto comma = text.find(',');
        if (comma != std::string::npos) text[comma] = '.';
    }
    if (text.empty() || text.find_first_not_of("+-.0123456789eE") != std::string::npos) return std::nullopt;
    const char* first = text.data() + (text[0] == '+' ? 1 : 0);
    double v = 0;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), v);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

// The gas flow options, their forms and units.
struct FlowForm {
    const char* option;
    const char* word;  // --flow-as
    GasFlowForm form;
    const char* key;   // JSON
    const char* unit;
};
constexpr FlowForm kGasFlows[] = {
    {"--flow", "actual", GasFlowForm::Actual, "flow_m3_h", "m\u00b3/h"},
    {"--mass-flow", "mass", GasFlowForm::Mass, "mass_flow_kg_h", "kg/h"},
    {"--normal-flow", "normal", GasFlowForm::Normal, "normal_flow_m3_h", "m\u00b3/h"},
    {"--standard-flow", "standard", GasFlowForm::Standard, "standard_flow_m3_h", "m\u00b3/h"},
};

class Command {
public:
    Command(std::ostream& out, std::ostream& err, const Locale& l, const ValveSheetPlace& place)
        : out_(out), err_(err), locale_(l), place_(place) {}
    ExitStatus run(const std::vector<std::string>& args);

private:
    // Each complaint names the option; all are exit status 2.
    ExitStatus invalid(const std::string& message) {
        err_ << "corvane-cli: " << message << "\n";
        return ExitStatus::Invalid;
    }
    bool given(const char* name) const { return texts_.count(name) != 0; }
    double value(const char* name) const { return values_.at(name); }
    std::string shown(const char* name) const { return texts_.at(name); }
    std::optional<std::string> parse(const std::vector<std::string>& args);
    std::optional<std::string> check();
    std::optional<std::string> faultText(const ValveFault& f) const;
    void print(const ValveResult& r) const;
    ExitStatus writeSheet(const ValveResult& r);

    std::ostream& out_;
    std::ostream& err_;
    const Locale& locale_;
    const ValveSheetPlace& place_;
    std::string verb_;
    unsigned verbBit_ = 0;
    bool gas_ = false;
    std::map<std::string, std::string> texts_;
    std::map<std::string, double> values_;
    const FlowForm* form_ = &kGasFlows[2];  // a gas flow given or asked for
    ValveBody body_;
};

std::optional<std::string> Command::parse(const std::vector<std::string>& args) {
    verb_ = args.empty() ? "" : args[0];
    verbBit_ = verb_ == "size" ? kSize : verb_ == "flow" ? kFlow : verb_ == "dp" ? kDrop : 0u;
    if (!verbBit_) return "valve takes size, flow or dp first, not '" + verb_ + "'";
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto equals = a.find('=');
        const std::string name = a.substr(0, equals);
        const Option* o = a.rfind("--", 0) == 0 ? FindOption(name) : nullptr;
        if (!o) return (a.rfind("-", 0) == 0 ? "unknown option " : "unexpected word ") + a + " for valve";
        if (given(o->name)) return std::string(o->name) + " is given twice";
        std::string text;
        if (!o->value) {
            if (equals != std::string::npos) return std::string(o->name) + " takes no value";
        } else if (equals != std::string::npos) {
            text = a.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            text = args[++i];
        } else {
            return std::string(o->name) + " needs " + o->value;
        }
        texts_[o->name] = text;
    }
    return std::nullopt;
}

std::optional<std::string> Command::check() {
    if (given("--liquid") == given("--gas")) return "valve needs one of --liquid and --gas";
    gas_ = given("--gas");
    // An option that the fluid or the calculation would leave unused is refused.
    for (const auto& [name, text] : texts_) {
        const Option& o = *FindOption(name);
        if (!(o.fluids & (gas_ ? kGas : kLiquid))) return name + " is for " + (gas_ ? "a liquid" : "a gas");
        if (!(o.verbs & verbBit_)) return name + " does not go with valve " + verb_;
    }
    std::vector<const char*> needed = {"--p1", "--viscosity", "--fl", "--fd", "--size"};
    if (verbBit_ != kDrop) needed.push_back("--p2");
    if (gas_) needed.insert(needed.end(), {"--molar-mass", "--gamma", "--temperature", "--xt"});
    else needed.insert(needed.end(), {"--density", "--vapour-pressure", "--critical-pressure"});
    if (!gas_ && verbBit_ != kFlow) needed.push_back("--flow");
    for (const char* name : needed)
        if (!given(name)) return std::string(name) + " is needed (" + FindOption(name)->text + ")";
    if (gas_ && verbBit_ != kFlow) {
        const auto n = std::count_if(std::begin(kGasFlows), std::end(kGasFlows), [&](const FlowForm& f) { return given(f.option); });
        if (n != 1) return "a gas's flow is one of --flow, --mass-flow, --normal-flow and --standard-flow";
        form_ = std::find_if(std::begin(kGasFlows), std::end(kGasFlows), [&](const FlowForm& f) { return given(f.option); });
    }
    if (verbBit_ != kSize && given("--kv") == given("--cv")) return "valve " + verb_ + " needs one of --kv and --cv";
    if (given("--pipe") && (given("--inlet-pipe") || given("--outlet-pipe")))
        return "--pipe gives both pipes: not with --inlet-pipe or --outlet-pipe";
    if (given("--flow-as")) {
        const std::string& word = texts_.at("--flow-as");
        const auto f = std::find_if(std::begin(kGasFlows), std::end(kGasFlows), [&](const FlowForm& g) { return word == g.word; });
        if (f == std::end(kGasFlows)) return "--flow-as takes mass, actual, normal or standard, not '" + word + "'";
        form_ = f;
    }
    if (given("--sheet") && given("--json")) return "--sheet goes without --json";
    for (const char* t : {"--title", "--case", "--prepared-by", "--checked-by", "--revision"})
        if (given(t) && !given("--sheet")) return std::string(t) + " goes with --sheet";
        else if (given(t) && texts_.at(t).find_first_of("\r\n") != std::string::npos)
            return std::string(t) + " needs a text of one line";
    if (given("--trim") && texts_.at("--trim") != "full" && texts_.at("--trim") != "reduced")
        return "--trim takes full or reduced, not '" + texts_.at("--trim") + "'";
    for (const auto& [name, text] : texts_) {
        const Option& o = *FindOption(name);
        if (!o.value || TakesText(name)) continue;
        const auto v = Number(text);
        if (!v) return name + " needs a number, not '" + text + "'";
        values_[name] = *v;
    }
    body_.fl = value("--fl");
    body_.fd = value("--fd");
    body_.xt = gas_ ? value("--xt") : 0;
    body_.size = value("--size");
    const double pipe = given("--pipe") ? value("--pipe") : body_.size;
    body_.inletPipe = given("--inlet-pipe") ? value("--inlet-pipe") : pipe;
    body_.outletPipe = given("--outlet-pipe") ? value("--outlet-pipe") : pipe;
    body_.trim = given("--trim") && texts_.at("--trim") == "reduced" ? ValveTrim::Reduced : ValveTrim::Full;
    return std::nullopt;
}

// The message of a fault, naming the option; nothing for a refusal of the
// calculation itself (printed by run()).
std::optional<std::string> Command::faultText(const ValveFault& f) const {
    const char* name = "--flow";
    switch (f.input) {
        case ValveInput::UpstreamPressure: name = "--p1"; break;
        case ValveInput::DownstreamPressure: name = "--p2"; break;
        case ValveInput::Flow: name = gas_ ? form_->option : "--flow"; break;
        case ValveInput::Density: name = "--density"; break;
        case ValveInput::VapourPressure: name = "--vapour-pressure"; break;
        case ValveInput::CriticalPressure: name = "--critical-pressure"; break;
        case ValveInput::Viscosity: name = "--viscosity"; break;
        case ValveInput::MolarMass: name = "--molar-mass"; break;
        case ValveInput::Gamma: name = "--gamma"; break;
        case ValveInput::Compressibility: name = "--z"; break;
        case ValveInput::Temperature: name = "--temperature"; break;
        case ValveInput::FL: name = "--fl"; break;
        case ValveInput::Fd: name = "--fd"; break;
        case ValveInput::XT: name = "--xt"; break;
        case ValveInput::Size: name = "--size"; break;
        case ValveInput::InletPipe: name = given("--inlet-pipe") ? "--inlet-pipe" : "--pipe"; break;
        case ValveInput::OutletPipe: name = given("--outlet-pipe") ? "--outlet-pipe" : "--pipe"; break;
        case ValveInput::Kv: name = given("--kv") ? "--kv" : "--cv"; break;
    }
    const std::string said = std::string(name) + (given(name) ? " " + shown(name) : "");
    ValveFaultWording wording;
    wording.lowestTemperature = "-273.15 \u00b0C";
    wording.other = [this](ValveInput in) {
        const char* other = in == ValveInput::UpstreamPressure   ? "--p1"
                            : in == ValveInput::CriticalPressure ? "--critical-pressure"
                                                                 : "--size";
        return std::string(other) + " " + shown(other);
    };
    if (auto words = ValveInputFaultText(f, wording)) return said + ": " + *words;
    return std::nullopt;
}

ExitStatus Command::run(const std::vector<std::string>& args) {
    if (auto problem = parse(args)) return invalid(*problem + "\n" + Usage());
    if (auto problem = check()) return invalid(*problem);
    const double kv = verbBit_ == kSize ? 0 : given("--kv") ? value("--kv") : value("--cv") * kKvPerCv;
    ValveResult r;
    if (gas_) {
        GasValveCase c;
        c.p1 = value("--p1");
        c.p2 = given("--p2") ? value("--p2") : 0;
        c.flow = verbBit_ == kFlow ? 0 : value(form_->option);
        c.form = form_->form;
        c.molarMass = value("--molar-mass");
        c.gamma = value("--gamma");
        c.z = given("--z") ? value("--z") : 1;
        c.temperature = value("--temperature") + kZeroCelsiusKelvin;
        c.viscosity = value("--viscosity");
        c.valve = body_;
        r = verbBit_ == kSize ? SizeGasValve(c) : verbBit_ == kFlow ? GasValveFlow(c, kv) : GasValveOutletPressure(c, kv);
    } else {
        LiquidValveCase c;
        c.p1 = value("--p1");
        c.p2 = given("--p2") ? value("--p2") : 0;
        c.flow = given("--flow") ? value("--flow") : 0;
        c.density = value("--density");
        c.vapourPressure = value("--vapour-pressure");
        c.criticalPressure = value("--critical-pressure");
        c.viscosity = value("--viscosity");
        c.valve = body_;
        r = verbBit_ == kSize ? SizeLiquidValve(c) : verbBit_ == kFlow ? LiquidValveFlow(c, kv) : LiquidValveOutletPressure(c, kv);
    }
    if (r.fault) {
        if (auto text = faultText(*r.fault)) return invalid(*text);
        err_ << ValveRefusalText(*r.fault, Text(r.fault->limit, locale_) + " " + (gas_ ? form_->unit : "m\u00b3/h"))
             << "\n";
        return ExitStatus::Refused;
    }
    if (given("--sheet")) return writeSheet(r);
    print(r);
    return ExitStatus::Ok;
}

// The sheet of the case as the dialog would show it in metric units,
// written where it takes the place of no data-base file.
ExitStatus Command::writeSheet(const ValveResult& r) {
    const std::string& out = texts_.at("--sheet");
    if (out.empty()) {
        err_ << "corvane-cli: --sheet needs the name of the file to write the sheet to\n";
        return ExitStatus::Invalid;
    }
    if (auto refusal = SheetOverwrites(out, place_.protectedFiles)) {
        err_ << "corvane-cli: " << *refusal << "\n";
        return ExitStatus::Invalid;
    }
    if (!place_.drawer) {
        err_ << "corvane-cli: --sheet needs corvane-sheet beside corvane-cli (the program built with its views, Qt), "
                "and it could not be started\n";
        return ExitStatus::Invalid;
    }
    ValveSizingModel model(locale_);
    model.setGas(gas_);
    if (gas_) model.setGasFlowForm(form_->form);
    model.setTrim(body_.trim);
    model.setText(ValveField::LiquidName, "");
    model.setText(ValveField::Temperature, "");
    const std::pair<ValveField, double> values[] = {
        {ValveField::UpstreamPressure, value("--p1")},
        {ValveField::DownstreamPressure, value("--p2")},
        {gas_ ? ValveField::GasFlow : ValveField::LiquidFlow, r.flow},
        {ValveField::FL, body_.fl},
        {ValveField::Fd, body_.fd},
        {ValveField::Size, body_.size},
        {ValveField::InletPipe, body_.inletPipe},
        {ValveField::OutletPipe, body_.outletPipe},
        {gas_ ? ValveField::GasViscosity : ValveField::LiquidViscosity, value("--viscosity")},
    };
    for (const auto& [field, v] : values) model.setValue(field, v);
    if (gas_) {
        for (const auto& [field, option] : {std::pair{ValveField::MolarMass, "--molar-mass"},
                                            std::pair{ValveField::Gamma, "--gamma"},
                                            std::pair{ValveField::Temperature, "--temperature"},
                                            std::pair{ValveField::XT, "--xt"}})
            model.setValue(field, value(option));
        model.setValue(ValveField::Compressibility, given("--z") ? value("--z") : 1.0);
    } else {
        model.setValue(ValveField::RelativeDensity, value("--density") / kKilogramsPerCubicMetrePerRelativeDensity);
        model.setValue(ValveField::VapourPressure, value("--vapour-pressure"));
        model.setValue(ValveField::CriticalPressure, value("--critical-pressure"));
    }
    if (!model.result()) {
        err_ << "corvane-cli: " << model.status() << "\n";
        return ExitStatus::Refused;
    }
    SheetTitle title;
    const std::pair<const char*, std::string*> texts[] = {{"--title", &title.project},
                                                          {"--case", &title.caseName},
                                                          {"--prepared-by", &title.preparedBy},
                                                          {"--checked-by", &title.checkedBy},
                                                          {"--revision", &title.revision}};
    for (const auto& [option, field] : texts)
        if (given(option)) *field = texts_.at(option);
    const auto pdf = place_.drawer(MakeValveSheet(model, place_.date, title));
    if (!pdf) {
        err_ << out << ": the calculation sheet could not be drawn\n";
        return ExitStatus::Invalid;
    }
    if (const auto failure = WriteFileAtomically(out, *pdf)) {
        err_ << out << ": " << FileErrorText(*failure) << "\n";
        return ExitStatus::Invalid;
    }
    return ExitStatus::Ok;
}

void Command::print(const ValveResult& r) const {
    const char* flowUnit = gas_ ? form_->unit : "m\u00b3/h";
    const char* flowKey = gas_ ? form_->key : "flow_m3_h";
    if (given("--json")) {
        Json j;
        j["fluid"] = gas_ ? "gas" : "liquid";
        j["calculation"] = verb_;
        // The inputs in the units the command takes.
        j["p1_bar_a"] = value("--p1");
        if (given("--p2")) j["p2_bar_a"] = value("--p2");
        if (verbBit_ != kFlow) j[flowKey] = r.flow;
        if (verbBit_ != kSize) j["kv"] = r.kv;
        if (gas_) {
            j["molar_mass_kg_kmol"] = value("--molar-mass");
            j["gamma"] = value("--gamma");
            j["z"] = given("--z") ? value("--z") : 1.0;
            j["temperature_c"] = value("--temperature");
            j["viscosity_upa_s"] = value("--viscosity");
        } else {
            j["density_kg_m3"] = value("--density");
            j["vapour_pressure_bar_a"] = value("--vapour-pressure");
            j["critical_pressure_bar_a"] = value("--critical-pressure");
            j["viscosity_cst"] = value("--viscosity");
        }
        j["fl"] = body_.fl;
        j["fd"] = body_.fd;
        if (gas_) j["xt"] = body_.xt;
        j["size_mm"] = body_.size;
        j["inlet_pipe_mm"] = body_.inletPipe;
        j["outlet_pipe_mm"] = body_.outletPipe;
        j["trim"] = body_.trim == ValveTrim::Full ? "full" : "reduced";
        // The results.
        auto optional = [](const std::optional<double>& v) { return v ? Json(*v) : Json(nullptr); };
        j["kv"] = r.kv;
        j["cv"] = r.cv;
        j[flowKey] = r.flow;
        j["p2_bar_a"] = r.p2;
        j["dp_bar"] = r.dp;
        j["choked"] = r.choked;
        j["regime"] = ValveRegimeName(r.regime);
        j["fp"] = r.fp;
        j["fr"] = r.fr;
        j["y"] = optional(r.y);
        j["x"] = optional(r.x);
        j["ff"] = optional(r.ff);
        j["flp"] = optional(r.flp);
        j["xtp"] = optional(r.xtp);
        j["fgamma"] = optional(r.fgamma);
        j["x_choked"] = optional(r.xChoked);
        j["dp_choked_bar"] = optional(r.dpChoked);
        j["reynolds"] = r.reynolds;
        j["notes"] = Json::array();
        for (ValveNote n : r.notes) j["notes"].push_back(ValveNoteText(n));
        out_ << DumpShortest(j) << "\n";
        return;
    }
    ValveDisplay display;
    display.flowCaption = gas_ ? GasFlowCaption(form_->form) : "Flow";
    display.flowUnit = flowUnit;
    out_ << ValveResultText(r, value("--p1"), gas_, display, locale_);
}

}  // namespace

std::vector<std::string> ValveOptionNames() {
    std::vector<std::string> names;
    for (const Option& o : kOptions) names.emplace_back(o.name);
    return names;
}

ExitStatus RunValveCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                           const Locale& locale, const ValveSheetPlace& place) {
    if (AsksForHelp(args)) {
        out << Usage();
        return ExitStatus::Ok;
    }
    return Command(out, err, locale, place).run(args);
}

}  // namespace corvane
