#include "logic/model/panels/PanelModel.h"

#include <cmath>

#include "logic/engine/PipeFlow.h"
#include "logic/engine/Solvers.h"
#include "logic/model/panels/FlowWeight.h"
#include "logic/model/panels/PanelKinds.h"
#include "logic/model/shared/FittingsText.h"
#include "logic/text/NumberText.h"

namespace corvane {
namespace {

const char* const kUncompressedCaption = "Volume at 0.0 ";

// The result fields of each kind of panel, in control order.
const std::vector<Ctl>& ResultFields(PanelKind kind) {
    static const std::array<std::vector<Ctl>, 4> kResults = [] {
        std::array<std::vector<Ctl>, 4> results;
        for (int k = 0; k < 4; ++k)
            for (int i = 0; i < kCtlCount; ++i)
                if (IsResult(static_cast<PanelKind>(k + 1), static_cast<Ctl>(i)) &&
                    PanelHas(static_cast<PanelKind>(k + 1), static_cast<Ctl>(i)))
                    results[static_cast<std::size_t>(k)].push_back(static_cast<Ctl>(i));
        return results;
    }();
    return kResults[static_cast<std::size_t>(PanelDigit(kind) - 1)];
}

}  // namespace

std::vector<std::string> PipeMaterialItems(PanelKind kind) {
    const bool first = kind == PanelKind::PressureDrop;
    std::vector<std::string> items = {"steel",    "stainless steel", "galvanised steel", "aluminium",
                                      "copper",   "glass",           "Neoprene",         "Reinforced PVC",
                                      "Rigid PVC", first ? "Spiral wire reinf." : "Spiral wire reinforced",
                                      "cast iron", "concrete",       "polyethylene",     "wood stave"};
    if (first) items.push_back("Other");
    return items;
}

std::vector<std::string> RiseFallItems() { return {"Rise", "Fall"}; }

std::string FlowTypeName(double re) {
    switch (FlowRegimeOf(re)) {
        case FlowRegime::Laminar: return "Laminar";
        case FlowRegime::Critical: return "Critical";
        case FlowRegime::Turbulent: return "Turbulent";
    }
    return "Laminar";
}

std::vector<std::string> ResultUnitItems(UnitSystem system) {
    if (system == UnitSystem::Metric) return {"m hd", "bar"};
    return {"ft hd", "psi"};
}

// ---------------------------------------------------------------- set-up

PanelModel::PanelModel(PanelKind kind, const Locale& locale) : kind_(kind), locale_(locale) {
    for (int i = 0; i < kCtlCount; ++i) shown_[static_cast<std::size_t>(i)] = PanelHas(kind_, static_cast<Ctl>(i));
    // The texts the panel's controls are made with.
    for (int i = 0; i < kCtlCount; ++i) {
        const ControlSpec& spec = Spec(static_cast<Ctl>(i));
        if (!PanelHas(kind_, spec.ctl)) continue;
        const bool other = (spec.initial.otherOn & PanelBit(kind_)) != 0;
        text_[Index(spec.ctl)] = other ? spec.initial.other : spec.initial.text;
    }
    text_[Index(Ctl::PanelHeading)] = KindSpec(kind_).heading;
    setUnitLabels(true);

    // Never shown: the calculation flow behind the visible one, and the
    // stored density behind the density display.
    if (kind_ != PanelKind::Flow) shown_[Index(Ctl::FlowrateLMin_RightEdit)] = false;
    shown_[Index(Ctl::FluidRelativeDensityRightEdit)] = false;
    shown_[Index(Ctl::GasFlowInfoPanel)] = false;
    shown_[Index(Ctl::FlowWeightPanel)] = false;

    lists_[Index(Ctl::PipeMaterialComboBox)] = {PipeMaterialItems(kind_), -1};
    lists_[Index(Ctl::RiseFallComboBox)] = {RiseFallItems(), -1};
    lists_[Index(Ctl::MhdBarComboBox)] = {ResultUnitItems(UnitSystem::Metric), -1};
    lists_[Index(Ctl::FlowUnitComboBox)] = {FillMetricFlowUnits(locale_), -1};
    lists_[Index(Ctl::Gas_FlowUnitComboBox)] = {FillMetricGasFlowUnits(locale_), -1};

    setPanelDefaults();
}

void PanelModel::setPanelDefaults() {
    selectItem(Ctl::PipeMaterialComboBox, 0);
    selectItem(Ctl::MhdBarComboBox, 0);
    selectItem(Ctl::RiseFallComboBox, 0);
    setTextRaw(Ctl::FluidName_Edit, " Water @ 20\u00b0C (68\u00b0F)");
    setTextRaw(Ctl::FluidViscosityRightEdit, number(1.004, 6));
    setTextRaw(Ctl::FluidRelativeDensityRightEdit, number(0.998, 6));
    fittings_ = DefaultFittingsSelection();
    gas_ = false;

    if (locale_.usEnglish) {
        showUnits(UnitSystem::Imperial);
        selectItem(Ctl::MhdBarComboBox, 0);
        selectItem(Ctl::FlowUnitComboBox, 1);
        selectItem(Ctl::Gas_FlowUnitComboBox, 1);
        // The imperial start-up values, in control order (each runs its
        // change reaction).
        for (int i = 0; i < kCtlCount; ++i) {
            const ControlSpec& spec = Spec(static_cast<Ctl>(i));
            if (!spec.initial.imperial.empty() && (spec.initial.imperialOn & PanelBit(kind_)) != 0)
                setText(spec.ctl, std::string(spec.initial.imperial));
        }
        applyGasLayout();
    } else {
        // The metric radio button's handler on a panel that is metric
        // already: clear and lay out for the (liquid) mode.
        clearResults();
        applyGasLayout();
        setList(Ctl::FlowUnitComboBox, FillMetricFlowUnits(locale_), 2);
        setList(Ctl::Gas_FlowUnitComboBox, FillMetricGasFlowUnits(locale_), 1);
    }
    refreshDensityDisplay();
    for (Ctl c : EntriesInStepOrder())
        if (PanelHas(kind_, c)) setText(c, TidyEntryText(text(c), locale_));
    setTextRaw(Ctl::UncompressedVolumeHdLabel, TidyEntryText(text(Ctl::UncompressedVolumeHdLabel), locale_));
}

void PanelModel::setUnitLabels(bool metric) {
    for (int i = 0; i < kCtlCount; ++i) {
        const ControlSpec& spec = Spec(static_cast<Ctl>(i));
        switch (spec.unit) {
            case UnitLabel::None: break;
            case UnitLabel::SmallLength: setTextRaw(spec.ctl, metric ? "mm" : "inch"); break;
            case UnitLabel::Length: setTextRaw(spec.ctl, metric ? "m" : "ft"); break;
            case UnitLabel::Velocity: setTextRaw(spec.ctl, metric ? "m/s" : "ft/s"); break;
        }
    }
}

// ---------------------------------------------------------------- plumbing

void PanelModel::subscribe(std::function<void(Ctl)> changed) { subscribers_.push_back(std::move(changed)); }

void PanelModel::subscribeNotices(std::function<void(Notice)> notice) {
    noticeSubscribers_.push_back(std::move(notice));
}

void PanelModel::notify(Ctl c) {
    for (const auto& s : subscribers_) s(c);
}

void PanelModel::setTextRaw(Ctl c, const std::string& t) {
    if (!PanelHas(kind_, c) || text_[Index(c)] == t) return;
    text_[Index(c)] = t;
    notify(c);
}

void PanelModel::setShown(Ctl c, bool s) {
    if (!PanelHas(kind_, c) || shown_[Index(c)] == s) return;
    shown_[Index(c)] = s;
    notify(c);
}

void PanelModel::setList(Ctl c, std::vector<std::string> items, int selected) {
    ListState& l = lists_[Index(c)];
    l.items = std::move(items);
    l.selected = selected >= 0 && selected < static_cast<int>(l.items.size()) ? selected : -1;
    notify(c);
}

void PanelModel::selectItem(Ctl c, int index) {
    ListState& l = lists_[Index(c)];
    const int selected = index >= 0 && index < static_cast<int>(l.items.size()) ? index : -1;
    if (l.selected == selected) return;
    l.selected = selected;
    notify(c);
}

void PanelModel::selectFirstIfNone(Ctl c) {
    const ListState& l = lists_[Index(c)];
    if (!l.items.empty() && l.selected < 0) selectItem(c, 0);
}

std::string PanelModel::number(double value, int decimals) const {
    return WriteEntryNumber(value, decimals, locale_).value_or(std::string());
}

void PanelModel::writeNumber(Ctl c, double value, int decimals) {
    // A value that cannot be written leaves the text as it is.
    if (auto t = WriteEntryNumber(value, decimals, locale_)) setText(c, *t);
}

double PanelModel::read(Ctl c) const { return ReadEntryNumber(text(c), locale_); }

void PanelModel::setText(Ctl c, const std::string& t) {
    if (!PanelHas(kind_, c) || text_[Index(c)] == t) return;
    text_[Index(c)] = t;
    notify(c);
    changeReaction(c);
}

void PanelModel::changeReaction(Ctl c) {
    // Fluid fields and results have no change reaction.
    if (Spec(c).entryStep == 0) return;
    if (kind_ == PanelKind::Flow) {
        if (c == Ctl::FlowrateLMin_RightEdit) return;  // the result
        refreshDensityDisplay();
    } else if (c == Ctl::VisibleFlowrateLMin_RightEdit) {
        syncHiddenFlow();
    } else if (c == Ctl::Barg_RightEdit) {
        syncHiddenFlow();
        refreshDensityDisplay();
    }
    clearResults();
}

void PanelModel::editEntry(Ctl entry, std::string t) { setText(entry, t); }

bool PanelModel::keyPress(Ctl entry, char32_t& key) {
    const bool allowed = IsAllowedEntryKey(text(entry), key, locale_);
    clearResults();
    return allowed;
}

bool PanelModel::canLeave(Ctl entry) const { return Spec(entry).mayBeZero || read(entry) != 0.0; }

bool PanelModel::leaveEntry(Ctl entry) {
    if (canLeave(entry)) return true;
    clearResults();
    if (text(entry).empty()) setText(entry, "?");
    return false;
}

std::string PanelModel::leaveRefusalText(Ctl entry) const {
    const std::string_view noun = Spec(entry).leaveNoun;
    return std::string(noun.empty() ? "This entry" : noun) + " cannot be zero or empty: type a number greater than zero.";
}

// ---------------------------------------------------------------- results

void PanelModel::clearResults() {
    // Every write of an entry clears the results, so this runs many times
    // while a file loads: only the panel's result fields, in control order.
    for (Ctl c : ResultFields(kind_)) {
        std::string& t = text_[Index(c)];
        if (t.empty()) continue;
        t.clear();
        notify(c);
    }
    setShown(Ctl::GasFlowInfoPanel, false);
    setTextRaw(Ctl::FlowWeightPanel, "");
    setShown(Ctl::FlowWeightPanel, false);
}

std::optional<Refusal> PanelModel::choose(Ctl c, int index) {
    selectItem(c, index);
    switch (c) {
        case Ctl::PipeMaterialComboBox: {
            const double roughness = MaterialRoughness(list(c).selected);
            if (metric_) writeNumber(Ctl::IRmm_RightEdit, roughness, 4);
            else writeNumber(Ctl::IRmm_RightEdit, roughness / kMillimetresPerInch, 6);
            return std::nullopt;
        }
        case Ctl::MhdBarComboBox:
            if (kind_ == PanelKind::PressureDrop) return calculate();
            break;
        case Ctl::FlowUnitComboBox:
        case Ctl::Gas_FlowUnitComboBox:
            if (kind_ == PanelKind::Flow) return calculate();
            break;
        default:
            break;
    }
    clearResults();
    return std::nullopt;
}

int PanelModel::flowUnitCodeForCalculation() {
    const UnitSystem system = unitSystem();
    auto codeOf = [&](Ctl c, FlowListKind k) {
        const FlowUnitChoice choice = FlowUnitCode(k, system, list(c).selected);
        selectItem(c, choice.index);
        return choice.code;
    };
    int code = 0;
    // The pressure drop panel takes the liquid list first in either mode.
    if (!gas_ || kind_ == PanelKind::PressureDrop) code = codeOf(Ctl::FlowUnitComboBox, FlowListKind::Liquid);
    if (gas_) code = codeOf(Ctl::Gas_FlowUnitComboBox, FlowListKind::Gas);
    return code;
}

SolverInputs PanelModel::inputsFor(int code) const {
    const bool imperial = !metric_;
    SolverInputs in;
    in.gas = gas_;
    in.fittings = ParseFittings(fittings_, locale_);
    in.viscosity = read(Ctl::FluidViscosityRightEdit);
    in.density = read(Ctl::FluidRelativeDensityRightEdit);
    in.availableAs = list(Ctl::MhdBarComboBox).selected == 1 ? AvailableAs::Pressure : AvailableAs::Head;

    double roughness = read(Ctl::IRmm_RightEdit);
    double diameter = read(Ctl::IDmm_RightEdit);
    double length = read(Ctl::LengthM_RightEdit);
    double elevation = read(Ctl::ElevationChange_RightEdit);
    // The inlet pressure is read for a liquid too, where its entry is hidden:
    // the diameter and length panels take a liquid's viscosity at it (see
    // HeadBudget in Solvers.cpp), so a liquid case depends on a number the
    // panel does not show.  It is saved in the panel file all the same.
    double pressure = read(Ctl::Barg_RightEdit);
    double allowable = read(Ctl::AllowablePressureLoss_RightEdit);
    double available = read(Ctl::AvailablePressure_RightEdit);
    const double flowEntered = kind_ == PanelKind::Flow ? 0.0 : read(Ctl::FlowrateLMin_RightEdit);
    if (imperial) {
        length = LengthToMetres(kFoot, length);
        diameter = LengthToMetres(kInch, diameter) * 1000.0;
        roughness = LengthToMetres(kInch, roughness) * 1000.0;
        elevation = LengthToMetres(kFoot, elevation);
        pressure = PressureToBar(kPsi, pressure);
        allowable = PressureToBar(kPsi, allowable);
        available = in.availableAs == AvailableAs::Head ? LengthToMetres(kFoot, available)
                                                        : PressureToBar(kPsi, available);
    }
    in.roughness = roughness;
    in.diameter = diameter;
    in.length = length;
    in.elevation = list(Ctl::RiseFallComboBox).selected == 1 ? -elevation : elevation;
    in.inletPressure = pressure;
    in.allowableLoss = allowable;
    in.available = available;
    in.flow = FlowToLitresPerMin(code, flowEntered);
    return in;
}

int PanelModel::flowUnitCode() const {
    const FlowListKind kind = gas_ ? FlowListKind::Gas : FlowListKind::Liquid;
    return FlowUnitCode(kind, unitSystem(), list(gas_ ? Ctl::Gas_FlowUnitComboBox : Ctl::FlowUnitComboBox).selected).code;
}

SolverInputs PanelModel::solverInputs() const { return inputsFor(flowUnitCode()); }

std::optional<Refusal> PanelModel::calculate() {
    clearResults();
    const bool imperial = !metric_;
    const int code = flowUnitCodeForCalculation();
    if (entryCheck_)
        if (auto refusal = entryCheck_(*this)) return refusal;
    const SolverInputs in = inputsFor(code);

    const SolverResult r = SolvePanel(kind_, in);
    if (r.fittingsK) lastFittingsK_ = *r.fittingsK;
    if (r.fault) return RefusalOf(*r.fault);

    auto velocityShown = [&](double v) { return imperial ? LengthFromMetres(kFoot, v) : v; };
    auto showCommon = [&] {
        setTextRaw(Ctl::FlowType_RightEdit, FlowTypeName(r.reynolds));
        setTextRaw(Ctl::ReynoldsNumber_RightEdit, number(r.reynolds, 0));
        setTextRaw(Ctl::FrictionFactor_RightEdit, number(r.friction, 3));
        setTextRaw(Ctl::MSec_RightEdit, number(velocityShown(r.velocity), 3));
    };
    const double densityKg = gas_ ? in.density : in.density * 1000.0;
    double massFlowQ = in.flow;

    // Each panel shows its unknown its own way: panel 1 as a head or a
    // pressure as its list says, panel 2 in the flow unit (and the flow
    // weight follows its result), panels 3 and 4 in their length units.  The
    // gas note of panel 1 comes before the common results, of the others
    // after.
    switch (kind_) {
        case PanelKind::PressureDrop: {
            if (gas_) showEntryExitFlow(read(Ctl::FlowrateLMin_RightEdit), in.inletPressure, r.exitPressure);
            showCommon();
            double head = r.head;
            double drop = r.pressureDrop;
            if (imperial) {
                head = LengthFromMetres(kFoot, head);
                drop = PressureFromBar(kPsi, drop);
            }
            const int unit = list(Ctl::MhdBarComboBox).selected;
            if (unit == 0) setTextRaw(Ctl::mHd_RightEdit, number(head, 3));
            if (unit == 1) setTextRaw(Ctl::mHd_RightEdit, number(drop, 3));
            break;
        }
        case PanelKind::Flow: {
            showCommon();
            setTextRaw(Ctl::FlowrateLMin_RightEdit, number(FlowFromLitresPerMin(code, r.flow), 3));
            if (gas_) showEntryExitFlow(read(Ctl::FlowrateLMin_RightEdit), in.inletPressure, r.exitPressure);
            massFlowQ = r.flow;
            break;
        }
        case PanelKind::Diameter: {
            showCommon();
            setTextRaw(Ctl::PipeDiameter_RightEdit, number(imperial ? r.diameter / kMillimetresPerInch : r.diameter, 3));
            if (gas_) showEntryExitFlow(read(Ctl::FlowrateLMin_RightEdit), in.inletPressure, r.exitPressure);
            break;
        }
        case PanelKind::Length: {
            showCommon();
            setTextRaw(Ctl::PipeLength_RightEdit, number(imperial ? LengthFromMetres(kFoot, r.length) : r.length, 3));
            if (gas_) showEntryExitFlow(read(Ctl::FlowrateLMin_RightEdit), in.inletPressure, r.exitPressure);
            break;
        }
    }
    setTextRaw(Ctl::FlowWeightPanel, FormatFlowWeight(code, imperial, densityKg, massFlowQ, locale_));
    return std::nullopt;
}

void PanelModel::showEntryExitFlow(double f, double p, double pe) {
    const std::string unit = list(Ctl::Gas_FlowUnitComboBox).selectedText();
    setTextRaw(Ctl::ActualFlowValueLabel, number(f * kAtmosphereBar / (p + kAtmosphereBar), 3) + " " + unit);
    setTextRaw(Ctl::ExitFlowValueLabel, number(f * kAtmosphereBar / (pe + kAtmosphereBar), 3) + " " + unit);
    const double exitShown = metric_ ? pe : pe * kPsiPerBar;
    setTextRaw(Ctl::ExitFlowBarLabel, "at " + number(exitShown, 3) + " " + text(Ctl::BargHdLabel));
    setShown(Ctl::GasFlowInfoPanel, true);
}

std::optional<Refusal> PanelModel::showFlowWeight() {
    auto refusal = calculate();
    setShown(Ctl::FlowWeightPanel, true);
    return refusal;
}

void PanelModel::toggleFlowWeight() { setShown(Ctl::FlowWeightPanel, !shown(Ctl::FlowWeightPanel)); }

void PanelModel::hideFlowWeight() { setShown(Ctl::FlowWeightPanel, false); }

// ---------------------------------------------------------------- fluid, fittings

void PanelModel::useFluid(const FluidChoice& fluid) {
    // A liquid has no compressed entry: the visible flow must show the flow
    // the calculation uses again.
    if (!fluid.isGas && compressed_) setCompressedEntry(false);
    setTextRaw(Ctl::FluidName_Edit, " " + fluid.name + " " + fluid.temperature);
    setTextRaw(Ctl::FluidViscosityRightEdit, fluid.viscosity);
    setTextRaw(Ctl::FluidRelativeDensityRightEdit, fluid.density);
    clearResults();
    gas_ = fluid.isGas;
    applyGasLayout();
    refreshDensityDisplay();
}

std::string PanelModel::openFittings() {
    clearResults();
    return fittings_;
}

void PanelModel::fittingsClosed(const std::optional<std::string>& selection) {
    if (selection) fittings_ = *selection;
    setTextRaw(Ctl::FittingsBitBtn, FittingsCaption(fittings_, locale_));
}

void PanelModel::setFittingsString(const std::string& selection) {
    fittings_ = selection;
    setTextRaw(Ctl::FittingsBitBtn, FittingsCaption(fittings_, locale_));
}

// ---------------------------------------------------------------- gas mode

void PanelModel::setGasMode(bool gas) {
    gas_ = gas;
    applyGasLayout();
}

void PanelModel::applyGasLayout() {
    const bool g = gas_;
    setTextRaw(Ctl::RelativeDensityHdEdit, g ? " Gas density kg/m\u00b3" : " Relative density");
    setShown(Ctl::UncompressedVolumeHdLabel, g);
    setShown(Ctl::GasPressureHdLabel, g);
    setShown(Ctl::BargHdLabel, g);
    setShown(Ctl::Barg_RightEdit, g);
    if (g) setTextRaw(Ctl::BargHdLabel, metric_ ? "bar g" : "psi g");
    setShown(Ctl::FlowUnitComboBox, !g);
    setShown(Ctl::Gas_FlowUnitComboBox, g);
    setShown(Ctl::Uncompressed_SpeedButton, g);
    if (kind_ != PanelKind::PressureDrop) {
        setShown(Ctl::AvailablePressureHdLabel, !g);
        setShown(Ctl::AvailablePressure_RightEdit, !g);
        setShown(Ctl::MhdBarComboBox, !g);
        setShown(Ctl::AllowableLossHdLabel, g);
        setShown(Ctl::AllowablePressureLoss_RightEdit, g);
        if (g && !gasControlsMoved_) {
            gasControlsMoved_ = true;
            for (const auto& n : noticeSubscribers_) n(Notice::GasControlsMoved);
        }
    }
    // Panel 2's flow caption changes only with a switch of the unit system.
    if (hasSpeedButton()) applyCompressedCaptions();
}

void PanelModel::applyCompressedCaptions() {
    if (!hasSpeedButton()) return;
    if (compressed_) {
        setTextRaw(Ctl::UncompressedVolumeHdLabel, locale_.usEnglish ? "Pressurized volume" : "Pressurised volume");
        if (kind_ == PanelKind::PressureDrop) setTextRaw(Ctl::GasPressureHdLabel, "Pressure");
    } else {
        setTextRaw(Ctl::UncompressedVolumeHdLabel,
                   FixDecimalSeparator(kUncompressedCaption + text(Ctl::BargHdLabel), locale_));
        if (kind_ == PanelKind::PressureDrop) setTextRaw(Ctl::GasPressureHdLabel, "Compressed to");
    }
    notify(Ctl::Uncompressed_SpeedButton);
}

void PanelModel::refreshDensityDisplay() {
    if (!gas_) {
        setTextRaw(Ctl::RightEditVisibleFluidDensityDisplay, text(Ctl::FluidRelativeDensityRightEdit));
        return;
    }
    setTextRaw(Ctl::RightEditVisibleFluidDensityDisplay, "");
    double p = read(Ctl::Barg_RightEdit);
    const double rho = read(Ctl::FluidRelativeDensityRightEdit);
    if (p < 0) return;
    if (!metric_) p = p / kPsiPerBar;
    setTextRaw(Ctl::RightEditVisibleFluidDensityDisplay, number(rho * (p + kAtmosphereBar) / kAtmosphereBar, 6));
}

void PanelModel::syncHiddenFlow() {
    if (!hasSpeedButton()) return;
    if (gas_ && compressed_) {
        const double p = read(Ctl::Barg_RightEdit);
        const double visible = read(Ctl::VisibleFlowrateLMin_RightEdit);
        const double hidden = metric_ ? visible * (p + kAtmosphereBar) / kAtmosphereBar
                                      : visible * (p + kAtmospherePsi) / kAtmospherePsi;
        setText(Ctl::FlowrateLMin_RightEdit, number(hidden, 3));
    } else {
        setText(Ctl::FlowrateLMin_RightEdit, text(Ctl::VisibleFlowrateLMin_RightEdit));
    }
}

void PanelModel::syncVisibleFlow() {
    if (!hasSpeedButton()) return;
    if (gas_ && compressed_) {
        const double p = read(Ctl::Barg_RightEdit);
        const double hidden = read(Ctl::FlowrateLMin_RightEdit);
        const double visible = metric_ ? hidden * kAtmosphereBar / (p + kAtmosphereBar)
                                       : hidden * kAtmospherePsi / (p + kAtmospherePsi);
        // A failed conversion (absolute pressure 0) empties the field.
        setText(Ctl::VisibleFlowrateLMin_RightEdit, number(visible, 3));
    } else {
        setText(Ctl::VisibleFlowrateLMin_RightEdit, text(Ctl::FlowrateLMin_RightEdit));
    }
}

void PanelModel::setCompressedEntry(bool down) {
    if (!hasSpeedButton()) return;
    compressed_ = down;
    applyCompressedCaptions();
    if (down) syncVisibleFlow();
    else setText(Ctl::VisibleFlowrateLMin_RightEdit, text(Ctl::FlowrateLMin_RightEdit));
}

void PanelModel::leaveCompressedEntry() {
    compressed_ = false;
    applyCompressedCaptions();
}

// ---------------------------------------------------------------- units

void PanelModel::showUnits(UnitSystem system) {
    const bool m = system == UnitSystem::Metric;
    clearResults();
    setUnitLabels(m);
    setList(Ctl::FlowUnitComboBox, FlowUnitItems(FlowListKind::Liquid, system, locale_), -1);
    setList(Ctl::Gas_FlowUnitComboBox, FlowUnitItems(FlowListKind::Gas, system, locale_), -1);
    setList(Ctl::MhdBarComboBox, ResultUnitItems(system), -1);
    setTextRaw(Ctl::BargHdLabel, m ? "bar g" : "psi g");
    metric_ = m;
}

std::optional<ConversionDialog> PanelModel::conversionDialogFor(UnitSystem to) const {
    if ((to == UnitSystem::Metric) == metric_) return std::nullopt;
    if (to == UnitSystem::Metric) return gas_ ? ConversionDialog::GasToMetric : ConversionDialog::LiquidToMetric;
    return gas_ ? ConversionDialog::GasToImperial : ConversionDialog::LiquidToImperial;
}

void PanelModel::convertInPlace(Ctl c, int code, int decimals) {
    if (!PanelHas(kind_, c)) return;
    writeNumber(c, ConvertByCode(code, read(c)), decimals);
}

void PanelModel::convertEntries(bool toMetric, int flowCode) {
    // The codes of ConvertByCode: 1 m <-> ft, 2 mm <-> inch, 3 bar <-> psi,
    // negative towards metric; the flow's code comes from the dialog.
    const int sign = toMetric ? -1 : 1;
    const bool pressureUnit = list(Ctl::MhdBarComboBox).selected == 1;
    for (Ctl c : EntriesInStepOrder()) {
        switch (Spec(c).conversion) {
            case Conversion::None: break;
            case Conversion::SmallLength: convertInPlace(c, 2 * sign, toMetric ? 4 : 6); break;
            case Conversion::Length: convertInPlace(c, 1 * sign, 3); break;
            case Conversion::HeadOrPressure: convertInPlace(c, (pressureUnit ? 3 : 1) * sign, 3); break;
            case Conversion::Pressure: convertInPlace(c, 3 * sign, 3); break;
            case Conversion::Flow:
                // Panel 2's flow is its result: nothing to convert.
                if (!hasSpeedButton()) break;
                convertInPlace(c, flowCode, 3);
                // The visible flow takes the converted text at once, so that the
                // flow synchronisation of the pressure entry after it finds both alike.
                setText(Ctl::VisibleFlowrateLMin_RightEdit, text(c));
                break;
        }
    }
}

void PanelModel::switchUnits(UnitSystem to, const ConversionAnswer& answer) {
    clearResults();
    applyGasLayout();
    const bool toMetric = to == UnitSystem::Metric;
    if (toMetric == metric_) return;
    if (answer.choice == ConversionChoice::Closed) return;  // the previous radio button stays checked

    const UnitSystem from = unitSystem();
    const FlowListKind listKind = gas_ ? FlowListKind::Gas : FlowListKind::Liquid;
    const Ctl flowList = gas_ ? Ctl::Gas_FlowUnitComboBox : Ctl::FlowUnitComboBox;
    const bool restoreCompressed = gas_ && compressed_;
    if (restoreCompressed) setCompressedEntry(false);

    const int mhdBefore = list(Ctl::MhdBarComboBox).selected;
    int kept = -1;
    if (answer.choice == ConversionChoice::Convert) {
        const int chosen = FlowUnitCode(listKind, to, answer.flowUnitIndex).index;
        const int current = FlowUnitCode(listKind, from, list(flowList).selected).index;
        const int metricIndex = toMetric ? chosen : current;
        const int imperialIndex = toMetric ? current : chosen;
        const int code = gas_ ? 100 * (metricIndex + 1) + imperialIndex : 10 * (metricIndex + 1) + imperialIndex;
        convertEntries(toMetric, toMetric ? -code : code);
        kept = chosen;
    }

    setUnitLabels(toMetric);
    if (!gas_) {
        const int liquid = kept >= 0 ? kept : (toMetric ? 2 : 1);
        setList(Ctl::FlowUnitComboBox, FlowUnitItems(FlowListKind::Liquid, to, locale_), liquid);
        int gasIndex = 0;
        if (toMetric && liquid >= 2 && liquid <= 4) gasIndex = liquid - 1;
        if (!toMetric && liquid >= 3 && liquid <= 4) gasIndex = liquid - 2;
        setList(Ctl::Gas_FlowUnitComboBox, FlowUnitItems(FlowListKind::Gas, to, locale_), gasIndex);
    } else {
        const int gasIndex = kept >= 0 ? kept : 1;
        setList(Ctl::Gas_FlowUnitComboBox, FlowUnitItems(FlowListKind::Gas, to, locale_), gasIndex);
        int liquid = 0;
        if (toMetric && gasIndex >= 1 && gasIndex <= 3) liquid = gasIndex + 1;
        if (!toMetric) liquid = gasIndex + 2;
        setList(Ctl::FlowUnitComboBox, FlowUnitItems(FlowListKind::Liquid, to, locale_), liquid);
    }
    const bool converted = answer.choice == ConversionChoice::Convert;
    const int mhd = kind_ == PanelKind::PressureDrop || !converted ? 0 : mhdBefore;
    setList(Ctl::MhdBarComboBox, ResultUnitItems(to), mhd);
    metric_ = toMetric;
    setTextRaw(Ctl::BargHdLabel, toMetric ? "bar g" : "psi g");

    if (gas_) {
        // The flow captions name the pressure unit now in force.
        if (hasSpeedButton()) applyCompressedCaptions();
        else setTextRaw(Ctl::UncompressedVolumeHdLabel,
                        FixDecimalSeparator(kUncompressedCaption + text(Ctl::BargHdLabel), locale_));
    }
    if (restoreCompressed) setCompressedEntry(true);
    // The pressure entry was converted while the panel still counted in the
    // old units: show the density at the converted pressure.
    refreshDensityDisplay();
}

}  // namespace corvane
