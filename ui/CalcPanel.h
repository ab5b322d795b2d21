#pragma once
// One calculation panel on screen: the controls of a panel kind, made from
// a table of controls and bound to the panel's model.  The widget only
// mirrors the model and hands what the user does to it; messages, beeps,
// files and the clipboard go through the platform.

#include <QColor>
#include <QFrame>
#include <QImage>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "logic/io/DataTable.h"
#include "logic/io/Outputs.h"
#include "logic/model/data/FluidDatabaseModel.h"
#include "logic/model/panels/PanelModel.h"
#include "logic/model/valves/ValveSizingModel.h"
#include "logic/model/sheets/CalculationSheet.h"
#include "ui/widgets/Glyphs.h"

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QLabel;
class QRadioButton;
class QToolButton;

namespace corvane {

class Platform;
class RightAlignedEdit;
class UserChoices;

// What a panel needs from outside itself: the platform and the dialogs it
// asks.  Each dialog answers from one call, so tests can stand in for it.
class PumpLibrary;

struct PanelServices {
    Platform* platform = nullptr;
    std::function<ConversionAnswer(ConversionDialog kind, const QColor& colour, QWidget* parent)> askConversion;
    // The velocity/flow/diameter calculator for panels 1 and 4: the flow
    // text to take, or nothing.
    std::function<std::optional<std::string>(const PanelModel& panel, QWidget* panelWidget)> askVelocityFlow;
    // The fluid data base opened on a group (nothing: as it was left).
    std::function<std::optional<FluidChoice>(std::optional<FluidGroup> group)> askFluid;
    // The same on its liquids, with the vapour pressure where the data base
    // found it (the control valve dialog); without it, askFluid's choice.
    std::function<std::optional<LiquidChoice>()> askLiquid;
    // The pipe diameter data base: the diameter text in the panel's units.
    std::function<std::optional<std::string>(bool metric)> askPipeDiameter;
    // The fittings dialog with the panel's string: the new string on OK.
    std::function<std::optional<std::string>(const std::string& fittings)> askFittings;
    // The pipe data base's table, for the analysis window's standard sizes.
    const DataTable* pipeTable = nullptr;
    // The pump library of the analysis window's Pump tab.
    PumpLibrary* pumps = nullptr;
    // Where file choosers start, the recent files and the sheet's title
    // block, kept between runs (none: nothing is kept).
    UserChoices* choices = nullptr;
    // The export dialog: the title block for a calculation sheet, starting
    // from the last one; nothing when cancelled.  Without it, the last
    // title block is used as it is.
    std::function<std::optional<SheetTitle>(const SheetTitle& last, QWidget* parent)> askSheetTitle;
    // The files no output may be written over (none: only the document an
    // output shows).
    const OutputGuard* outputs = nullptr;
};

// The colour of a panel and the few colours its controls use.
QColor PanelColour(PanelKind kind);
inline const QColor kInfoBk(255, 255, 225);        // tool-tip yellow of results and the fluid name
inline const QColor kFlowWeightColour(255, 255, 81);
inline const QColor kAllowableLossColour(255, 128, 255);

class CalcPanel : public QFrame {
    Q_OBJECT
public:
    CalcPanel(PanelModel& model, PanelServices services, QWidget* parent = nullptr);

    PanelModel& model() { return model_; }
    PanelKind kind() const { return model_.kind(); }

    // The widget that shows a control of the model.
    QWidget* widget(Ctl c) const;
    // The focusable controls in their tab order.
    const std::vector<QWidget*>& tabOrder() const { return tabOrder_; }

    // The panel's file: the one it was last opened from or saved to ("":
    // none).
    const std::string& filePath() const { return filePath_; }
    // A panel file's bytes, read by the caller, loaded into this panel; the
    // refusal of a file the panel cannot take.
    std::optional<Refusal> loadFrom(const std::string& path, const std::string& bytes);

    // The panel's commands, as their buttons run them.
    void calculate();
    void showFlowWeight();
    void loadFile();
    void saveFile();  // asks for a file, as Save As
    // File > Save: to the panel's file, or asked for where it has none.
    void save();
    void copyTextToClipboard();
    void unitRadioClicked(UnitSystem system);
    void velocityFlow();
    void editFittings();
    void chooseFluid(std::optional<FluidGroup> group);
    void choosePipeDiameter();
    void copyScreenToClipboard();
    void print();
    void printPreview();
    // File > Export calculation sheet: the panel's results as a PDF sheet,
    // with the pump's operating point where one is set on its pipe run.
    void exportSheet(const std::optional<PumpEntry>& pump = std::nullopt);

    // The panel the window's File menu acts on, marked by a frame.
    void setCurrent(bool current);
    bool isCurrent() const { return current_; }

Q_SIGNALS:
    // A line for the window's status bar (empty: clear it).
    void status(const QString& text);
    // A file of another panel that the user chose to open there.
    void openInOtherPanel(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // What a click (or Space) on a control does.
    enum class Act { None, Calculate, FlowWeight, ToggleFlowWeight, HideFlowWeight, Fittings, FluidData, GasData,
                     IdHelper, VelocityFlow, LoadFile, SaveFile, CopyText, CopyScreen, Print };
    enum class Kind { Label, Radio, Entry, Display, Caption, List, Button, Strip, Box, Speed };
    // The colours a control takes: the panel's own, or a fixed one.
    enum class Paint { None, Panel, Info, Cyan, AllowableLoss, FlowWeight, Maroon, Red };
    // How a control looks beyond its kind.
    struct Look {
        Paint background = Paint::None;
        Paint text = Paint::None;
        bool underline = false;
        bool leftAligned = false;
        bool frameless = false;
        bool opensFluid = false;  // a click opens the fluid data base
        bool tabStop = true;      // a read-only display the focus passes through
    };
    struct ControlRow {
        Ctl ctl = Ctl::Count_;   // the model's control, or Count_ for a widget of the view alone
        const char* name = "";   // name of a widget of the view alone (panel digit appended)
        Kind kind = Kind::Label;
        QRect geometry;
        const char* hint = "";
        Act act = Act::None;
        std::string text;        // initial caption of a widget of the view alone
        Look look;
        std::optional<Glyph> glyph;
    };

    std::vector<ControlRow> controlTable() const;
    void build();
    QWidget* make(const ControlRow& row);
    QWidget* create(const ControlRow& row);
    void applyLook(QWidget* w, const Look& look);
    QColor colourOf(Paint paint) const;
    bool offered(Act act) const;
    void bindEntry(RightAlignedEdit* edit, Ctl c);
    void refresh(Ctl c);
    void refreshAll();
    void refreshRadios();
    void placeGasControls();
    void setTabOrderByPosition();
    void report(const std::optional<Refusal>& refusal);
    void printOrPreview(bool preview);
    void run(Act act);
    std::string objectName(const ControlRow& row) const;

    PanelModel& model_;
    PanelServices services_;
    QColor colour_;
    std::map<Ctl, QWidget*> widgets_;
    std::map<Ctl, QRect> geometry_;
    QRadioButton* metricRadio_ = nullptr;
    QRadioButton* imperialRadio_ = nullptr;
    bool updating_ = false;
    std::vector<QWidget*> tabOrder_;
    void writeTo(const std::string& path);
    QImage picture();
    void setFile(const std::string& path);

    std::string filePath_;  // of the panel file last opened or saved
    QLabel* fileLabel_ = nullptr;
    bool current_ = false;
    bool droppedKeySaid_ = false;  // the status line tells of a dropped key
};

}  // namespace corvane
