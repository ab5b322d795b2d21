#pragma once
// logic/model: what each window shows and does, without a screen.  It
// turns text and units into the engine's numbers and back, and includes
// engine, text and io below it.  One folder per feature, lowest first:
// shared, panels, data, analysis, pumps, runs, sheets, settings; a folder
// includes its own files and the folders before it, never one after it.
//
// logic/model/panels: the four calculation panels - the panel model, the
// control and panel-kind tables, panel files, the clipboard report, the
// print layout, the flow weight, the unit conversion dialogs' content.
// Includes shared below it.
//
// This header: one calculation panel, everything it shows and everything
// it does.
//
// The panel's state is the text of its controls, its list selections, what
// is shown, and a few flags (metric, gas mode, compressed entry) with the
// fittings selection string and the last fittings K.  Every operation the
// user can start is a method here; the window only mirrors the model and
// forwards clicks and keys to it.
//
// A change of an entry's text runs that entry's change reaction whether the
// user typed it or the model wrote it, so the flow synchronisation and the
// clearing of results happen in one place.  Every write of an entry
// therefore clears the results: results on show always belong to the
// entries on show.
//
// Modal exchanges are split at the dialog: the window shows the dialog and
// hands its answer to the model (switchUnits, useFluid, fittingsClosed).

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "logic/engine/Solvers.h"
#include "logic/model/panels/PanelControls.h"
#include "logic/model/shared/FlowUnitLists.h"
#include "logic/text/Locale.h"

namespace corvane {

class PanelModel {
public:
    // A panel with its start-up defaults for the locale (Imperial for US
    // and Canadian English, metric otherwise).
    PanelModel(PanelKind kind, const Locale& locale);

    PanelKind kind() const { return kind_; }
    int digit() const { return PanelDigit(kind_); }
    const Locale& locale() const { return locale_; }

    // ---- what the panel shows
    const std::string& text(Ctl c) const { return text_[Index(c)]; }
    bool shown(Ctl c) const { return shown_[Index(c)]; }
    const ListState& list(Ctl c) const { return lists_[Index(c)]; }
    bool metric() const { return metric_; }
    UnitSystem unitSystem() const { return metric_ ? UnitSystem::Metric : UnitSystem::Imperial; }
    bool gasMode() const { return gas_; }
    bool compressedEntry() const { return compressed_; }
    // Panels 2 to 4 move some gas controls the first time gas mode is laid
    // out; they are not moved back.
    bool gasControlsMoved() const { return gasControlsMoved_; }
    const std::string& fittings() const { return fittings_; }
    double lastFittingsK() const { return lastFittingsK_; }

    // Called with each control whose text, list or visibility changed.
    void subscribe(std::function<void(Ctl)> changed);
    // Called with what changed in the panel beyond its controls' states.
    enum class Notice {
        GasControlsMoved,  // the gas controls take the places of the liquid ones (panels 2 to 4, once)
    };
    void subscribeNotices(std::function<void(Notice)> notice);

    // ---- what the user does
    // A new text typed into an entry (or pasted); runs its change reaction.
    void editEntry(Ctl entry, std::string text);
    // A key typed into a numeric entry: the entry key rule; a refused key
    // becomes 0 and the result is false (the window beeps).  The results are
    // cleared either way.
    bool keyPress(Ctl entry, char32_t& key);
    // Leaving an entry.  False when it reads as 0 (other than the elevation):
    // the results are cleared, an empty text becomes "?", and the focus must
    // stay (the window beeps).
    bool leaveEntry(Ctl entry);
    // Whether the entry may be left as it is (it holds a number other than
    // 0, or it is the elevation).
    bool canLeave(Ctl entry) const;
    // Why an entry cannot be left, for the window's status line and the
    // entry's accessible description.
    std::string leaveRefusalText(Ctl entry) const;
    // A click on a list item.  Recalculates where the panel does so (flow
    // units of panel 2, result unit of panel 1) and returns its refusal.
    std::optional<Refusal> choose(Ctl list, int index);
    // The Calculate button.
    std::optional<Refusal> calculate();
    // The weight button: calculate, then show the strip (empty when refused).
    std::optional<Refusal> showFlowWeight();
    // A click on the "Flow" caption (panels 2 and 3) and on the strip.
    void toggleFlowWeight();
    void hideFlowWeight();
    // "Use this data" in the fluid database.
    void useFluid(const FluidChoice& fluid);
    // The fittings button: clears the results and gives the string for the
    // dialog; the dialog's answer (nullopt unless closed with OK) follows.
    std::string openFittings();
    void fittingsClosed(const std::optional<std::string>& selection);
    // The compressed-entry button (panels 1, 3, 4).
    void setCompressedEntry(bool down);
    // A click on a unit system's radio button: which dialog to ask, or
    // nothing when the panel is in that system already.
    std::optional<ConversionDialog> conversionDialogFor(UnitSystem to) const;
    // The switch itself, with the dialog's answer.
    void switchUnits(UnitSystem to, const ConversionAnswer& answer);

    // The panel's entries in calculation units, as Calculate reads them, and
    // the code of its flow unit (the list's fallback when none is chosen).
    SolverInputs solverInputs() const;
    int flowUnitCode() const;

    // ---- what the program does to the panel (file loading uses these)
    void setText(Ctl c, const std::string& text);  // runs the change reaction
    void selectItem(Ctl list, int index);           // no click reaction; outside the list: none
    void selectFirstIfNone(Ctl list);
    void setGasMode(bool gas);                      // and lays the panel out for it
    void leaveCompressedEntry();                    // button up, captions; flows untouched
    void showUnits(UnitSystem system);              // labels and empty lists, no conversion
    void setFittingsString(const std::string& selection);
    void clearResults();
    // A check of the entries that Calculate asks once the units are chosen,
    // before it solves; its refusal is the calculation's.  corvane-cli asks
    // a loaded file's (UnusableFileEntry): what no one could type.
    using EntryCheck = std::function<std::optional<Refusal>(const PanelModel&)>;
    void setEntryCheck(EntryCheck check) { entryCheck_ = std::move(check); }
    void applyGasLayout();
    void applyCompressedCaptions();
    void refreshDensityDisplay();

private:
    static std::size_t Index(Ctl c) { return static_cast<std::size_t>(c); }

    void setTextRaw(Ctl c, const std::string& text);
    void setShown(Ctl c, bool shown);
    void setList(Ctl c, std::vector<std::string> items, int selected);
    void notify(Ctl c);
    void changeReaction(Ctl c);

    void setPanelDefaults();
    void setUnitLabels(bool metric);
    void syncHiddenFlow();
    void syncVisibleFlow();
    void writeNumber(Ctl c, double value, int decimals);
    std::string number(double value, int decimals) const;
    double read(Ctl c) const;
    bool hasSpeedButton() const { return PanelHas(kind_, Ctl::Uncompressed_SpeedButton); }

    int flowUnitCodeForCalculation();
    SolverInputs inputsFor(int code) const;
    void showEntryExitFlow(double flowShown, double p, double pe);
    void convertEntries(bool toMetric, int flowCode);
    void convertInPlace(Ctl c, int code, int decimals);

    PanelKind kind_;
    Locale locale_;
    std::array<std::string, kCtlCount> text_{};
    std::array<bool, kCtlCount> shown_{};
    std::array<ListState, kCtlCount> lists_{};
    bool metric_ = true;
    bool gas_ = false;
    bool compressed_ = false;
    bool gasControlsMoved_ = false;
    std::string fittings_;
    double lastFittingsK_ = 0;
    std::vector<std::function<void(Ctl)>> subscribers_;
    std::vector<std::function<void(Notice)>> noticeSubscribers_;
    EntryCheck entryCheck_;
};

// Item texts of the lists that do not depend on the unit system.
std::vector<std::string> PipeMaterialItems(PanelKind kind);
std::vector<std::string> RiseFallItems();
std::vector<std::string> ResultUnitItems(UnitSystem system);

// "Laminar", "Critical" or "Turbulent": the flow type a panel shows.
std::string FlowTypeName(double re);

}  // namespace corvane
