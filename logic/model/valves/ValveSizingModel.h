#pragma once
// What the control valve sizing dialog shows and does: a liquid or a gas,
// its process data, the valve and its pipes, in metric or imperial units;
// every change read, checked and sized again at once, a refused value said
// beside its field with the typed text kept; the result with its factors
// and notes, as rows and as text and HTML for the clipboard.  The entries
// are held in the calculation's units (bar, m3/h, kg/h, mm, degC), so that
// switching units and back never changes a number.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "logic/engine/ControlValve.h"
#include "logic/model/panels/PanelControls.h"
#include "logic/model/valves/ValveReport.h"
#include "logic/text/Locale.h"

namespace corvane {

enum class ValveField {
    UpstreamPressure,    // bar a / psi a
    DownstreamPressure,  // bar a / psi a
    LiquidFlow,          // m3/h / US gpm
    GasFlow,             // in the gas flow's form
    LiquidName,          // text
    Temperature,         // degC / degF: the gas's at the inlet; the liquid's for water by IAPWS
    RelativeDensity,     // water = 1 (kg/m3 x 10^-3)
    LiquidViscosity,     // cSt
    VapourPressure,      // bar a / psi a
    CriticalPressure,    // bar a / psi a
    MolarMass,           // kg/kmol
    Gamma,               // cp/cv
    Compressibility,     // Z
    GasViscosity,        // uPa s
    FL,
    Fd,
    XT,
    Size,        // mm / inch
    InletPipe,   // mm / inch
    OutletPipe,  // mm / inch
};
inline constexpr int kValveFieldCount = 20;

// Liquid densities are relative to water: kg/m3 x 10^-3.
inline constexpr double kKilogramsPerCubicMetrePerRelativeDensity = 1000;

// What the fluid data base hands over for a liquid: its row and, where the
// dialog found it (water by IAPWS, rows interpolated), its vapour pressure
// (bar a).
struct LiquidChoice {
    FluidChoice fluid;
    std::string vapourPressure;
};

class ValveSizingModel {
public:
    explicit ValveSizingModel(const Locale& locale);

    // ---- the entries
    bool gas() const { return gas_; }
    void setGas(bool gas);
    bool metric() const { return metric_; }
    void setMetric(bool metric);
    GasFlowForm gasFlowForm() const { return form_; }
    void setGasFlowForm(GasFlowForm form);  // the typed number read in the new form's unit
    ValveTrim trim() const { return trim_; }
    void setTrim(ValveTrim trim);

    const std::string& text(ValveField f) const { return texts_[Index(f)]; }
    // Takes what was typed (kept as typed) and sizes again.
    void setText(ValveField f, const std::string& text);
    // A value in the calculation's unit, written in the units shown; sizes again.
    void setValue(ValveField f, double value);
    // Why the value is refused, in words ("The value must be above 0."),
    // or empty.
    const std::string& fault(ValveField f) const { return faults_[Index(f)]; }
    // Whether the field belongs to the fluid chosen (the other's are hidden).
    bool shown(ValveField f) const;
    static const char* Caption(ValveField f);  // "Upstream pressure", with its Alt key marked by '&'
    static const char* Name(ValveField f);     // the control's objectName: "UpstreamPressureEdit"
    std::string unit(ValveField f) const;
    // The value in the calculation's unit, where it reads and is taken.
    std::optional<double> value(ValveField f) const { return values_[Index(f)]; }

    // The flow forms of a gas, as the list shows them.
    static std::vector<std::string> GasFlowFormNames();
    // The name of form `index` as the list shows it in the units shown.
    std::string gasFlowFormName(int index) const;

    // ---- where the liquid's numbers come from
    // Water by IAPWS at the temperature typed (and the upstream pressure):
    // the name, density, viscosity, vapour pressure and critical pressure.
    // The reason where it cannot.
    std::optional<std::string> useWater();
    // A liquid of the fluid data base: its name, viscosity and density, its
    // vapour pressure where the data base found it, its critical pressure
    // where listed (StockCriticalPressure).  A gas is refused.
    std::optional<std::string> useLiquid(const LiquidChoice& choice);
    // Where the liquid's numbers came from ("typed", "water at 20 °C by
    // IAPWS-IF97 and IAPWS 2008", "the fluid data base: Ethanol 20°C
    // (68°F)"), and what the user still has to type.
    const std::string& liquidSource() const { return liquidSource_; }

    // ---- the answer
    // The sizing result; nothing while a value is refused or missing.
    const std::optional<ValveResult>& result() const { return result_; }
    // The calculation refused as a whole, or what is missing; empty with a result.
    const std::string& status() const { return status_; }
    std::vector<ValveRow> resultRows() const;
    std::vector<std::string> notes() const;
    // The inputs and the result: TAB-separated lines, and an HTML table.
    std::string copyText() const;
    std::string copyHtml() const;

    // The case as sized, in the calculation's units.
    const LiquidValveCase& liquidCase() const { return liquid_; }
    const GasValveCase& gasCase() const { return gasCase_; }
    const Locale& locale() const { return locale_; }
    // The case as the sheet prints it (entries as shown); with a result only.
    std::vector<std::pair<std::string, std::string>> caseRows() const { return inputRows(); }
    ValveDisplay display() const;

    static std::size_t Index(ValveField f) { return static_cast<std::size_t>(f); }
    // The field a fault of the calculation is about.
    static ValveField FieldOf(ValveInput input, bool gas);

private:
    void read(ValveField f);       // the typed text into its value, or its fault
    void recalculate();
    void showValue(ValveField f);  // the value written in the units shown
    double toShown(ValveField f, double v) const;
    double fromShown(ValveField f, double v) const;
    std::string shownWithUnit(ValveField f) const;
    std::vector<std::pair<std::string, std::string>> inputRows() const;  // caption, value with unit
    double v1() const;  // the upstream pressure, bar a

    Locale locale_;
    bool gas_ = false;
    bool metric_ = true;
    GasFlowForm form_ = GasFlowForm::Normal;
    ValveTrim trim_ = ValveTrim::Full;
    std::array<std::string, kValveFieldCount> texts_;
    std::array<std::optional<double>, kValveFieldCount> values_;
    std::array<std::string, kValveFieldCount> faults_;
    std::string liquidSource_ = "typed";
    LiquidValveCase liquid_;
    GasValveCase gasCase_;
    std::optional<ValveResult> result_;
    std::string status_;
};

}  // namespace corvane
