#pragma once
// The four kinds of panel as data: one row per panel says what it solves
// with, where it shows its unknown, and the names, texts and colour that
// tell it apart.  Code that differs by panel reads the row; a switch over
// PanelKind is left only where the panels truly behave differently.
//
// Adding a panel kind: its PanelKind, its row in kPanelKinds
// (PanelKinds.cpp), its panels in the control table's rows
// (PanelControls.cpp), its geometry in CalcPanel, and the three switches
// over PanelKind (PanelModel::calculate, UnknownText, the sheet's method).

#include <string>
#include <string_view>

#include "logic/engine/IsothermalGas.h"
#include "logic/engine/Solvers.h"
#include "logic/model/panels/PanelControls.h"

namespace corvane {

struct PanelColourRgb {
    int red, green, blue;
};

struct PanelKindSpec {
    PanelKind kind;
    std::string_view taskName;          // "Find pressure drop": menus, messages, sheets
    std::string_view heading;           // the heading's text, "(Find pressure)"
    std::string_view headingName;       // the heading's control name
    std::string_view frameName;         // the panel's own object name
    std::string_view fileHeader;        // line 1 of its files
    std::string_view filterName;        // in the file chooser's filter, "Corvane P.D. (*.PW1)"
    std::string_view reportTitle;       // first row of the clipboard report
    std::string_view calculateName;     // the Calculate button's control name
    std::string_view calculateCaption;  // and its caption
    std::string_view flowWeightName;    // the weight button's control name
    PanelColourRgb colour;
    // The solver, the control that shows the unknown with its caption, and
    // the field of the solver's result it shows.
    SolverResult (*solve)(const SolverInputs&);
    Ctl result;
    Ctl resultCaption;
    Ctl resultUnit;  // its unit label, or the list that names its unit
    double SolverResult::*unknown;
    // The same unknown by the complete isothermal equation, for a gas, and
    // its key in corvane-cli's JSON.
    IsothermalAnswer (*isothermal)(const SolverInputs&);
    double IsothermalAnswer::*isothermalUnknown;
    std::string_view isothermalKey;
    std::string_view unknownName;  // "a pressure drop", in the validity notes
};

const PanelKindSpec& KindSpec(PanelKind kind);

// What the panel finds, as menus, messages and sheets name it: "Find
// pressure drop", "Find flow", "Find diameter", "Find length".
const char* PanelTaskName(PanelKind kind);

// Control name of a panel ("IRmm_RightEdit1").  The heading of panel 1 is
// "FindPressureHdLabel"; the others carry their digit.
std::string CtlName(Ctl c, PanelKind kind);

// The panel's own solver on its inputs: the one dispatch from a panel to the
// engine, used by Calculate, the analysis and the sheet.
SolverResult SolvePanel(PanelKind kind, const SolverInputs& in);

}  // namespace corvane
