#include "ui/CalcPanel.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <filesystem>
#include <tuple>
#include <QFile>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include "logic/io/FileIo.h"
#include "logic/model/analysis/AnalysisPictures.h"
#include "logic/model/panels/PanelFile.h"
#include "logic/model/panels/PanelKinds.h"
#include "logic/model/panels/PanelReport.h"
#include "logic/model/panels/PrintLayout.h"
#include "logic/model/settings/UserChoices.h"
#include "logic/model/sheets/CalculationSheet.h"
#include "logic/text/NumberText.h"
#include "ui/platform/OutputFile.h"
#include "ui/PanelPicture.h"
#include "ui/platform/Platform.h"
#include "ui/sheet/CalculationSheetPdf.h"
#include "ui/widgets/Glyphs.h"
#include "ui/widgets/RightAlignedEdit.h"

namespace corvane {
namespace {

constexpr char32_t kEnterKey = 13;
// Properties of an entry that refuses to be left: the flag, and the
// accessible description it had before.
constexpr const char* kRefusedProperty = "corvaneLeaveRefused";
constexpr const char* kDescriptionProperty = "corvaneDescription";

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A label that reports clicks (the "Flow" caption and the weight strip);
// when it has an action it takes the focus and Space or Enter work too.
class ClickLabel : public QLabel {
public:
    using QLabel::QLabel;
    void setAction(std::function<void()> action) {
        onClick_ = std::move(action);
        setFocusPolicy(Qt::TabFocus);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override {
        QLabel::mousePressEvent(e);
        if (onClick_) onClick_();
    }
    void keyPressEvent(QKeyEvent* e) override {
        const int k = e->key();
        if (onClick_ && (k == Qt::Key_Space || k == Qt::Key_Return || k == Qt::Key_Enter)) {
            onClick_();
            return;
        }
        QLabel::keyPressEvent(e);
    }

private:
    std::function<void()> onClick_;
};

void SetBackground(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, c);
    p.setColor(QPalette::Window, c);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

// Text colour through the palette (a style sheet would cost a style of its own).
void SetTextColour(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::Text, c);
    w->setPalette(p);
}

}  // namespace

QColor PanelColour(PanelKind kind) {
    const PanelColourRgb c = KindSpec(kind).colour;
    return {c.red, c.green, c.blue};
}

CalcPanel::CalcPanel(PanelModel& model, PanelServices services, QWidget* parent)
    : QFrame(parent), model_(model), services_(std::move(services)), colour_(PanelColour(model.kind())) {
    setObjectName(Q(std::string(KindSpec(model.kind()).frameName)));
    setAccessibleName(Q(model.text(Ctl::PanelHeading)));
    setFixedSize(kPanelWidth, kPanelHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colour_);
    setPalette(pal);
    setAutoFillBackground(true);
    build();
    model_.subscribe([this](Ctl c) { refresh(c); });
    model_.subscribeNotices([this](PanelModel::Notice n) {
        if (n == PanelModel::Notice::GasControlsMoved) placeGasControls();
    });
    refreshAll();
}

std::string CalcPanel::objectName(const ControlRow& row) const {
    if (row.ctl != Ctl::Count_) return CtlName(row.ctl, kind());
    const std::string n = row.name;
    if (n == "Calculate") return std::string(KindSpec(kind()).calculateName);
    if (n == "FlowWeightBitBtn") return std::string(KindSpec(kind()).flowWeightName);
    return n + std::to_string(model_.digit());
}

std::vector<CalcPanel::ControlRow> CalcPanel::controlTable() const {
    const PanelKind k = kind();
    const bool p1 = k == PanelKind::PressureDrop, p2 = k == PanelKind::Flow, p3 = k == PanelKind::Diameter,
               p4 = k == PanelKind::Length;
    // Panels 3 and 4 have one row less on the left: elevation and rise/fall
    // sit 44 pixels higher, and the available pressure takes their row.
    const int up = p3 || p4 ? 44 : 0;
    // The looks that several controls share.
    const Look heading{.underline = true};
    const Look result{.background = Paint::Info, .tabStop = false};
    const Look fluid{.background = Paint::Panel, .frameless = true, .opensFluid = true};
    const Look fluidCaption{.background = Paint::Panel, .leftAligned = true, .frameless = true, .opensFluid = true};

    std::vector<ControlRow> t;
    auto ctl = [&](Ctl c, Kind kind, QRect g, const char* hint = "", Look look = {}, Act act = Act::None) {
        if (PanelHas(k, c)) t.push_back({c, "", kind, g, hint, act, {}, look, std::nullopt});
    };
    auto view = [&](const char* name, Kind kind, QRect g, const char* hint, Act act, std::string text = {},
                    std::optional<Glyph> glyph = std::nullopt) {
        t.push_back({Ctl::Count_, name, kind, g, hint, act, std::move(text), {}, glyph});
    };

    ctl(Ctl::PanelHeading, Kind::Label, {370, 8, 115, 18}, "", {.text = Paint::Maroon});
    ctl(Ctl::PipeDetailsHdLabel, Kind::Label, {12, 8, 83, 18}, "", heading);
    ctl(Ctl::ResultsHdLabel, Kind::Label, {312, 8, 51, 18}, "", heading);
    view("MetricRadioButton", Kind::Radio, {156, 8, 53, 17}, "", Act::None, "Metric");
    view("ImperialRadioButton", Kind::Radio, {216, 8, 81, 17}, "", Act::None, "Imperial");
    // The name of the panel's file, after the first heading.
    view("FileNameLabel", Kind::Label, {74, 9, 80, 16}, "", Act::None);

    ctl(Ctl::InternalRoughnessHdLabel, Kind::Label, {12, 36, 140, 16});
    ctl(Ctl::IRmm_RightEdit, Kind::Entry, {12, 52, 113, 22});
    ctl(Ctl::IR_UnitsLabel, Kind::Label, {132, 56, 24, 16});
    ctl(Ctl::PipematerailHdLabel, Kind::Label, {156, 36, 121, 16});
    ctl(Ctl::PipeMaterialComboBox, Kind::List, {156, 52, 121, 22});

    ctl(Ctl::InternalDiameterHdLabel, Kind::Label, {12, 80, 140, 16});
    ctl(Ctl::IDmm_RightEdit, Kind::Entry, {12, 96, 113, 22});
    ctl(Ctl::ID_UnitsLabel, Kind::Label, {132, 100, 24, 16});
    if (!p3) view("ID_HelperBitBtn", Kind::Button, {156, 96, 57, 25}, "Internal diameter data", Act::IdHelper, "diam?");

    const int lengthRow = p3 ? 80 : 124;
    ctl(Ctl::LengthHdLabel, Kind::Label, {12, lengthRow, 140, 16});
    ctl(Ctl::LengthM_RightEdit, Kind::Entry, {12, lengthRow + 16, 113, 22});
    ctl(Ctl::Length_UnitsLabel, Kind::Label, {132, lengthRow + 20, 24, 16});

    QRect fittings{156, 140, 57, 25};
    if (p3) fittings = {156, 96, 57, 25};
    if (p4) fittings = {216, 92, 57, 25};
    ctl(Ctl::FittingsBitBtn, Kind::Button, fittings, "Pipe fittings", {}, Act::Fittings);

    ctl(Ctl::ElevationChangeLabel, Kind::Label, {12, 168 - up, 140, 16});
    ctl(Ctl::ElevationChange_RightEdit, Kind::Entry, {12, 184 - up, 113, 22});
    ctl(Ctl::ElevationChange_UnitsLabel, Kind::Label, {132, 188 - up, 24, 16});
    ctl(Ctl::RiseFallComboBox, Kind::List, {156, 184 - up, 57, 22});

    // The available pressure (liquid) and the allowable loss (gas) of
    // panels 2 to 4.
    const int avail = p2 ? 212 : 168;
    ctl(Ctl::AvailablePressureHdLabel, Kind::Label, {12, avail, 115, 16});
    ctl(Ctl::AvailablePressure_RightEdit, Kind::Entry, {12, avail + 16, 113, 22});
    ctl(Ctl::MhdBarComboBox, Kind::List, p1 ? QRect{432, 228, 57, 22} : QRect{128, avail + 16, 57, 22});
    ctl(Ctl::AllowableLossHdLabel, Kind::Label, {128, avail, 85, 16});
    ctl(Ctl::AllowablePressureLoss_RightEdit, Kind::Entry, {128, avail + 16, 85, 22}, "",
        {.background = Paint::AllowableLoss});

    // The flow: an entry on panels 1, 3 and 4, the result on panel 2.
    const QRect flowHead = p2 ? QRect{312, 212, 26, 16} : QRect{12, 212, 26, 16};
    ctl(Ctl::FlowHdLabel, Kind::Caption, flowHead, p1 ? "" : "Click to show weight of flow", {},
        p2 || p3 ? Act::ToggleFlowWeight : Act::None);
    ctl(Ctl::UncompressedVolumeHdLabel, Kind::Label, p2 ? QRect{340, 212, 126, 16} : QRect{108, 212, 106, 16});
    if (p2) {
        ctl(Ctl::FlowrateLMin_RightEdit, Kind::Display, {312, 228, 88, 22}, "", result);
        ctl(Ctl::FlowUnitComboBox, Kind::List, {403, 228, 85, 22});
        ctl(Ctl::Gas_FlowUnitComboBox, Kind::List, {403, 228, 85, 22});
        view("FlowWeightBitBtn", Kind::Button, {468, 206, 20, 20}, "show weight of flow", Act::FlowWeight, {},
             Glyph::Weight);
    } else {
        ctl(Ctl::FlowrateLMin_RightEdit, Kind::Entry, {12, 228, 113, 22}, "", {.text = Paint::Red});
        ctl(Ctl::VisibleFlowrateLMin_RightEdit, Kind::Entry, {12, 228, 113, 22});
        ctl(Ctl::FlowUnitComboBox, Kind::List, {128, 228, 85, 22});
        ctl(Ctl::Gas_FlowUnitComboBox, Kind::List, {128, 228, 85, 22});
        view("FlowWeightBitBtn", Kind::Button, {40, 207, 20, 20}, "show weight of flow", Act::FlowWeight, {},
             Glyph::Weight);
        if (p1 || p4)
            view("VelocityFlowBitBtn", Kind::Button, {62, 207, 20, 20}, "diameter\u00b2 x Pi / 4 x velocity = flow",
                 Act::VelocityFlow, {}, Glyph::Velocity);
        ctl(Ctl::Uncompressed_SpeedButton, Kind::Speed, {84, 207, 20, 20}, "Specify un-compressed or compressed flow rate");
    }
    ctl(Ctl::GasPressureHdLabel, Kind::Label, {216, 212, 90, 16});
    ctl(Ctl::Barg_RightEdit, Kind::Entry, {212, 228, 53, 22});
    ctl(Ctl::BargHdLabel, Kind::Label, {276, 232, 34, 16});

    ctl(Ctl::FluidName_Edit, Kind::Display, {12, 256, 189, 25}, "",
        {.background = Paint::Info, .leftAligned = true, .opensFluid = true});
    view("FluidDataBitBtn", Kind::Button, {167, 256, 23, 25}, "Change fluid", Act::FluidData, {}, Glyph::Liquid);
    view("GasDataBitBtn", Kind::Button, {190, 256, 23, 25}, "Change gas", Act::GasData, {}, Glyph::GasCylindersDim);
    ctl(Ctl::CentistokesHdEdit, Kind::Display, {12, 280, 117, 22}, "", fluidCaption);
    ctl(Ctl::FluidViscosityRightEdit, Kind::Display, {128, 280, 85, 22}, "", fluid);
    ctl(Ctl::RelativeDensityHdEdit, Kind::Display, {12, 300, 117, 22}, "", fluidCaption);
    ctl(Ctl::RightEditVisibleFluidDensityDisplay, Kind::Display, {128, 300, 85, 22}, "", fluid);
    ctl(Ctl::FluidRelativeDensityRightEdit, Kind::Display, {36, 300, 85, 22}, "",
        {.background = Paint::Cyan, .frameless = true, .opensFluid = true});

    ctl(Ctl::FlowTypeHdLabel, Kind::Label, {312, 36, 113, 16});
    ctl(Ctl::FlowType_RightEdit, Kind::Display, {312, 52, 113, 22}, "", result);
    ctl(Ctl::ReynoldsNumberHdLabel, Kind::Label, {312, 80, 113, 16});
    ctl(Ctl::ReynoldsNumber_RightEdit, Kind::Display, {312, 96, 113, 22}, "", result);
    ctl(Ctl::FrictionFactorHdLabel, Kind::Label, {312, 124, 113, 16});
    ctl(Ctl::FrictionFactor_RightEdit, Kind::Display, {312, 140, 113, 22}, "", result);
    ctl(Ctl::FluidVelocityHdLabel, Kind::Label, {312, 168, 113, 16});
    ctl(Ctl::MSec_RightEdit, Kind::Display, {312, 184, 113, 22}, "", result);
    ctl(Ctl::FluidVelocity_UnitsLabel, Kind::Label, {432, 188, 40, 16});

    ctl(Ctl::PressureDropHdLabel, Kind::Label, {312, 212, 113, 16});
    ctl(Ctl::mHd_RightEdit, Kind::Display, {312, 228, 113, 22}, "", result);
    ctl(Ctl::MinPipeDiameterHdLabel, Kind::Label, {312, 212, 170, 16});
    ctl(Ctl::PipeDiameter_RightEdit, Kind::Display, {312, 228, 113, 22}, "", result);
    ctl(Ctl::PipeDiameter_UnitsLabel, Kind::Label, {432, 232, 30, 16});
    ctl(Ctl::PipeLengthHdLabel, Kind::Label, {312, 212, 113, 16});
    ctl(Ctl::PipeLength_RightEdit, Kind::Display, {312, 228, 113, 22}, "", result);
    ctl(Ctl::PipeLength_UnitsLabel, Kind::Label, {432, 232, 30, 16});

    view("Calculate", Kind::Button, {312, 264, 169, 25}, "", Act::Calculate,
         std::string(KindSpec(k).calculateCaption));
    view("LoadFileBitBtn", Kind::Button, {312, 296, 31, 25}, "Open file", Act::LoadFile, {}, Glyph::Open);
    view("SaveFileBitBtn", Kind::Button, {347, 296, 31, 25}, "Save current entries", Act::SaveFile, {}, Glyph::Save);
    view("CopyTextToClipboardBitBtn", Kind::Button, {381, 296, 31, 25},
         "Copy text to clipboard\n(Paste to Excel spreadsheet)", Act::CopyText, {}, Glyph::CopyText);
    view("CopyScreenToClipboardBitBtn", Kind::Button, {416, 296, 31, 25}, "Copy screen to clipboard", Act::CopyScreen,
         {}, Glyph::CopyScreen);
    view("PrintBitBtn", Kind::Button, {450, 296, 31, 25}, "Print screen", Act::Print, {}, Glyph::Print);

    ctl(Ctl::GasFlowInfoPanel, Kind::Box, {216, 256, 93, 67}, "", {.background = Paint::Info});
    ctl(Ctl::FlowWeightPanel, Kind::Strip, {12, 210, 201, 18}, "", {.background = Paint::FlowWeight},
        Act::HideFlowWeight);
    return t;
}

QColor CalcPanel::colourOf(Paint paint) const {
    switch (paint) {
        case Paint::None:
        case Paint::Panel: return colour_;
        case Paint::Info: return kInfoBk;
        case Paint::Cyan: return {0, 255, 255};
        case Paint::AllowableLoss: return kAllowableLossColour;
        case Paint::FlowWeight: return kFlowWeightColour;
        case Paint::Maroon: return {128, 0, 0};
        case Paint::Red: return Qt::red;
    }
    return colour_;
}

// The buttons of a dialog the program was not given are off.
bool CalcPanel::offered(Act act) const {
    switch (act) {
        case Act::Fittings: return static_cast<bool>(services_.askFittings);
        case Act::FluidData:
        case Act::GasData: return static_cast<bool>(services_.askFluid);
        case Act::IdHelper: return static_cast<bool>(services_.askPipeDiameter);
        case Act::VelocityFlow: return static_cast<bool>(services_.askVelocityFlow);
        default: return true;
    }
}

// The widget of a row's kind, wired to the model or to the row's action.
QWidget* CalcPanel::create(const ControlRow& row) {
    switch (row.kind) {
        case Kind::Label: return new QLabel(this);
        case Kind::Radio: {
            auto* radio = new QRadioButton(Q(row.text), this);
            (std::string(row.name) == "MetricRadioButton" ? metricRadio_ : imperialRadio_) = radio;
            return radio;
        }
        case Kind::Caption:
        case Kind::Strip: {
            auto* label = new ClickLabel(this);
            if (row.act != Act::None) label->setAction([this, act = row.act] { run(act); });
            return label;
        }
        case Kind::Entry:
        case Kind::Display: {
            auto* edit = new RightAlignedEdit(this);
            edit->setBounds(row.geometry.x(), row.geometry.y(), row.geometry.width(), row.geometry.height());
            if (row.kind == Kind::Entry) {
                bindEntry(edit, row.ctl);
            } else {
                edit->setReadOnly(true);
                edit->setPassesFocus(true);
                edit->setFocusPolicy(row.look.tabStop ? Qt::StrongFocus : Qt::NoFocus);
            }
            return edit;
        }
        case Kind::List: {
            auto* combo = new QComboBox(this);
            combo->setMaxVisibleItems(16);
            connect(combo, &QComboBox::activated, this, [this, c = row.ctl](int index) {
                if (updating_) return;
                report(model_.choose(c, index));
            });
            return combo;
        }
        case Kind::Button: {
            auto* button = new QPushButton(Q(row.text), this);
            button->setAutoDefault(false);
            if (row.glyph) {
                button->setIcon(GlyphPixmap(*row.glyph));
                button->setIconSize(QSize(16, 16));
            }
            button->setEnabled(offered(row.act));
            connect(button, &QPushButton::clicked, this, [this, act = row.act] { run(act); });
            return button;
        }
        case Kind::Speed: {
            auto* speed = new QToolButton(this);
            speed->setCheckable(true);
            speed->setIconSize(QSize(16, 16));
            connect(speed, &QToolButton::clicked, this, [this](bool down) { model_.setCompressedEntry(down); });
            return speed;
        }
        case Kind::Box: {
            auto* box = new QFrame(this);
            box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            const Ctl labels[] = {Ctl::ActualFlowHdLabel, Ctl::ActualFlowValueLabel, Ctl::ExitFlowHdLabel,
                                  Ctl::ExitFlowValueLabel, Ctl::ExitFlowBarLabel};
            int y = 2;
            for (Ctl c : labels) {
                auto* label = new QLabel(box);
                label->setGeometry(4, y, 86, 13);
                label->setObjectName(Q(CtlName(c, kind())));
                label->setAccessibleName(Q(std::string(CtlBaseName(c))));
                widgets_[c] = label;
                y += 13;
            }
            return box;
        }
    }
    return new QWidget(this);
}

void CalcPanel::applyLook(QWidget* w, const Look& look) {
    if (look.background != Paint::None) SetBackground(w, colourOf(look.background));
    if (look.text != Paint::None) SetTextColour(w, colourOf(look.text));
    if (look.underline) {
        QFont f = w->font();
        f.setUnderline(true);
        w->setFont(f);
    }
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        if (look.frameless) edit->setFrame(false);
        if (look.leftAligned) edit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    // A click on any of the fluid fields opens the fluid data base.
    if (look.opensFluid) {
        w->setCursor(Qt::PointingHandCursor);
        if (auto* edit = qobject_cast<RightAlignedEdit*>(w))
            connect(edit, &RightAlignedEdit::clicked, this, [this] { chooseFluid(std::nullopt); });
    }
}

QWidget* CalcPanel::make(const ControlRow& row) {
    QWidget* w = create(row);
    if (row.kind != Kind::Entry && row.kind != Kind::Display) w->setGeometry(row.geometry);
    w->setObjectName(Q(objectName(row)));
    if (*row.hint) w->setToolTip(Q(row.hint));
    applyLook(w, row.look);
    return w;
}

void CalcPanel::build() {
    for (const ControlRow& row : controlTable()) {
        QWidget* w = make(row);
        std::string accessible = row.ctl != Ctl::Count_ ? model_.text(row.ctl) : row.text;
        if (accessible.empty() || IsList(row.ctl)) accessible = row.ctl != Ctl::Count_ ? std::string(CtlBaseName(row.ctl)) : row.name;
        if (*row.hint && (row.ctl == Ctl::Count_ || IsList(row.ctl) || accessible == std::string(CtlBaseName(row.ctl))))
            accessible = row.hint;
        w->setAccessibleName(Q(accessible));
        if (*row.hint) w->setAccessibleDescription(Q(row.hint));
        if (row.ctl != Ctl::Count_) {
            widgets_[row.ctl] = w;
            geometry_[row.ctl] = w->geometry();
        }
    }
    auto* group = new QButtonGroup(this);
    group->addButton(metricRadio_);
    group->addButton(imperialRadio_);
    connect(metricRadio_, &QRadioButton::clicked, this, [this] { unitRadioClicked(UnitSystem::Metric); });
    connect(imperialRadio_, &QRadioButton::clicked, this, [this] { unitRadioClicked(UnitSystem::Imperial); });
    // Buttons lie above the fluid name they overlap.
    for (const char* name : {"FluidDataBitBtn", "GasDataBitBtn"})
        if (auto* b = findChild<QWidget*>(Q(name + std::to_string(model_.digit())))) b->raise();
    if (auto* strip = widget(Ctl::FlowWeightPanel)) strip->raise();
    fileLabel_ = findChild<QLabel*>(Q("FileNameLabel" + std::to_string(model_.digit())));
    fileLabel_->setAccessibleName("Panel file");
    SetTextColour(fileLabel_, QColor(80, 80, 80));
    QFont italic = fileLabel_->font();
    italic.setItalic(true);
    fileLabel_->setFont(italic);
    setTabOrderByPosition();
}

void CalcPanel::setTabOrderByPosition() {
    // Down the pipe and fluid column, then down the results column; along a
    // row from left to right.
    std::vector<QWidget*> order;
    for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (w->focusPolicy() & Qt::TabFocus) order.push_back(w);
    auto key = [](const QWidget* w) { return std::make_tuple(w->x() >= 300, w->y(), w->x()); };
    std::stable_sort(order.begin(), order.end(), [&](QWidget* a, QWidget* b) { return key(a) < key(b); });
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
    tabOrder_ = order;
}

void CalcPanel::bindEntry(RightAlignedEdit* edit, Ctl c) {
    edit->keyFilter = [this, c](char32_t& key) {
        if (key == kEnterKey) {  // Enter runs the panel's calculation
            QTimer::singleShot(0, this, [this] { calculate(); });
            return false;
        }
        const char32_t typed = key;
        const std::string before = model_.text(c);
        const bool allowed = model_.keyPress(c, key);
        if (!allowed) {
            if (services_.platform) services_.platform->beep();
            // Said as well as sounded: what was dropped, and why.
            Q_EMIT status(Q(DroppedKeyText(before, typed, model_.locale())));
            droppedKeySaid_ = true;
        }
        return allowed;
    };
    connect(edit, &QLineEdit::textEdited, this, [this, c, edit](const QString& text) {
        if (updating_) return;
        model_.editEntry(c, text.toStdString());
        // The status line tells of a dropped key until the next change,
        // and of a refused entry until it can be left.
        const bool refused = edit->property(kRefusedProperty).toBool();
        if (refused && model_.canLeave(c)) {
            edit->setProperty(kRefusedProperty, false);
            edit->setAccessibleDescription(edit->property(kDescriptionProperty).toString());
        }
        if (droppedKeySaid_ || (refused && model_.canLeave(c))) {
            droppedKeySaid_ = false;
            Q_EMIT status(QString());
        }
    });
    connect(edit, &RightAlignedEdit::entered, this, [this, c] {
        if (c != Ctl::Barg_RightEdit) return;
        // The density shown depends on this pressure.
        for (Ctl d : {Ctl::RelativeDensityHdEdit, Ctl::RightEditVisibleFluidDensityDisplay})
            SetBackground(widget(d), kInfoBk);
    });
    connect(edit, &RightAlignedEdit::left, this, [this, c, edit] {
        if (c == Ctl::Barg_RightEdit)
            for (Ctl d : {Ctl::RelativeDensityHdEdit, Ctl::RightEditVisibleFluidDensityDisplay})
                SetBackground(widget(d), colour_);
        if (!isVisible() || !edit->isVisible()) return;
        if (model_.leaveEntry(c)) {
            // A refusal of this entry is over.
            if (edit->property(kRefusedProperty).toBool()) {
                edit->setProperty(kRefusedProperty, false);
                edit->setAccessibleDescription(edit->property(kDescriptionProperty).toString());
                Q_EMIT status(QString());
            }
        } else {
            if (services_.platform) services_.platform->beep();
            // Said as well as sounded: many desktops play no beep.
            const QString why = Q(model_.leaveRefusalText(c));
            if (!edit->property(kRefusedProperty).toBool())
                edit->setProperty(kDescriptionProperty, edit->accessibleDescription());
            edit->setProperty(kRefusedProperty, true);
            edit->setAccessibleDescription(why);
            Q_EMIT status(why);
            QTimer::singleShot(0, edit, [edit] {
                edit->setFocus(Qt::OtherFocusReason);
                edit->selectAll();
            });
        }
    });
}

QWidget* CalcPanel::widget(Ctl c) const {
    const auto it = widgets_.find(c);
    return it == widgets_.end() ? nullptr : it->second;
}

void CalcPanel::refreshAll() {
    for (int i = 0; i < kCtlCount; ++i) refresh(static_cast<Ctl>(i));
    refreshRadios();
}

void CalcPanel::refreshRadios() {
    metricRadio_->setChecked(model_.metric());
    imperialRadio_->setChecked(!model_.metric());
}

void CalcPanel::refresh(Ctl c) {
    QWidget* w = widget(c);
    if (!w) return;
    updating_ = true;
    const QString text = Q(model_.text(c));
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        if (edit->text() != text) {
            edit->setText(text);
            // A display too narrow for its text shows it from its first
            // character (a long fluid name), not from its end.
            if (edit->isReadOnly()) edit->setCursorPosition(0);
        }
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        const ListState& l = model_.list(c);
        QStringList items;
        for (const auto& i : l.items) items << Q(i);
        QStringList now;
        for (int i = 0; i < combo->count(); ++i) now << combo->itemText(i);
        if (now != items) {
            combo->clear();
            combo->addItems(items);
        }
        combo->setCurrentIndex(l.selected);
    } else if (auto* speed = qobject_cast<QToolButton*>(w)) {
        speed->setChecked(model_.compressedEntry());
        speed->setIcon(GlyphPixmap(model_.compressedEntry() ? Glyph::CompressedVolume : Glyph::UncompressedVolume));
    } else if (auto* button = qobject_cast<QPushButton*>(w)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(text);
    }
    const bool shown = model_.shown(c);
    if (w->isVisibleTo(w->parentWidget()) != shown) w->setVisible(shown);
    if (c == Ctl::Barg_RightEdit || c == Ctl::Uncompressed_SpeedButton) {
        placeGasControls();
        const bool gas = model_.gasMode();
        const int digit = model_.digit();
        if (auto* fluid = findChild<QPushButton*>(Q("FluidDataBitBtn" + std::to_string(digit))))
            fluid->setIcon(GlyphPixmap(gas ? Glyph::LiquidDim : Glyph::Liquid));
        if (auto* gasButton = findChild<QPushButton*>(Q("GasDataBitBtn" + std::to_string(digit))))
            gasButton->setIcon(GlyphPixmap(gas ? Glyph::GasCylinders : Glyph::GasCylindersDim));
    }
    updating_ = false;
}

void CalcPanel::placeGasControls() {
    if (!model_.gasControlsMoved()) return;
    // Gas mode puts the inlet pressure where the available pressure stands,
    // with the allowable loss beside it; they stay there afterwards.
    const QRect avail = geometry_[Ctl::AvailablePressure_RightEdit];
    const QRect availHead = geometry_[Ctl::AvailablePressureHdLabel];
    widget(Ctl::GasPressureHdLabel)->move(availHead.topLeft());
    widget(Ctl::Barg_RightEdit)->setGeometry(avail.x(), avail.y(), 113, avail.height());
    widget(Ctl::BargHdLabel)->move(217, avail.y() + 4);
    widget(Ctl::AllowablePressureLoss_RightEdit)->move(128, avail.y());
    SetBackground(widget(Ctl::AllowablePressureLoss_RightEdit), Qt::white);
}

void CalcPanel::report(const std::optional<Refusal>& refusal) {
    if (refusal && services_.platform) services_.platform->message(window(), refusal->kind, refusal->text);
}

// ---------------------------------------------------------------- commands

void CalcPanel::run(Act act) {
    switch (act) {
        case Act::Calculate: calculate(); break;
        case Act::FlowWeight: showFlowWeight(); break;
        case Act::ToggleFlowWeight: model_.toggleFlowWeight(); break;
        case Act::HideFlowWeight: model_.hideFlowWeight(); break;
        case Act::LoadFile: loadFile(); break;
        case Act::SaveFile: saveFile(); break;
        case Act::CopyText: copyTextToClipboard(); break;
        case Act::VelocityFlow: velocityFlow(); break;
        case Act::Fittings: editFittings(); break;
        case Act::FluidData: chooseFluid(FluidGroup::Liquids); break;
        case Act::GasData: chooseFluid(FluidGroup::Gases); break;
        case Act::IdHelper: choosePipeDiameter(); break;
        case Act::CopyScreen: copyScreenToClipboard(); break;
        case Act::Print: print(); break;
        default: break;
    }
}

void CalcPanel::calculate() { report(model_.calculate()); }

void CalcPanel::showFlowWeight() { report(model_.showFlowWeight()); }

void CalcPanel::copyTextToClipboard() {
    if (services_.platform) services_.platform->setClipboardReport(PanelReport(model_), PanelReportHtml(model_));
}

namespace {

std::string NameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

}  // namespace

void CalcPanel::loadFile() {
    Platform* platform = services_.platform;
    if (!platform) return;
    const FileChooser chooser{PanelFileFilter(kind()), PanelFileExtension(kind()), "Open"};
    const auto path = ChooseFile(*platform, window(), chooser, false, services_.choices, FileKind::Panel);
    if (!path) return;
    // Read whole or refused whole: a FIFO or device at once, a file too
    // large for a panel file as not valid.
    const PanelFileBytes file = ReadPanelFile(*path);
    if (!file.bytes) {
        platform->message(window(), MessageKind::Error, file.message);
        return;
    }
    // A file of another panel: said, and offered there.
    const auto other = PanelKindOfFile(*file.bytes);
    if (other && *other != kind()) {
        if (platform->ask(window(), OtherPanelFileText(*other)))
            Q_EMIT openInOtherPanel(QFile::decodeName(path->c_str()));
        return;
    }
    report(loadFrom(*path, *file.bytes));
}

std::optional<Refusal> CalcPanel::loadFrom(const std::string& path, const std::string& bytes) {
    const auto error = LoadPanelFile(model_, bytes);
    refreshRadios();
    if (!error) setFile(path);
    // The panel changed: a dropped key's words are over.
    if (droppedKeySaid_) {
        droppedKeySaid_ = false;
        Q_EMIT status(QString());
    }
    // What no one could type is said at once; the entries stay, to be
    // corrected.
    if (!error) report(UnusableFileEntry(model_));
    return error;
}

void CalcPanel::setFile(const std::string& path) {
    filePath_ = path;
    const QString name = QFile::decodeName(NameOf(path).c_str());
    fileLabel_->setText(fileLabel_->fontMetrics().elidedText(name, Qt::ElideMiddle, fileLabel_->width()));
    fileLabel_->setToolTip(QFile::decodeName(path.c_str()));
    fileLabel_->setAccessibleDescription(name);
    if (services_.choices) services_.choices->addRecent(path);
}

void CalcPanel::saveFile() {
    Platform* platform = services_.platform;
    if (!platform) return;
    // Offered under the panel's own file name, never another kind's.
    const FileChooser chooser{PanelFileFilter(kind()), PanelFileExtension(kind()), "Save", {}, NameOf(filePath_)};
    if (const auto path = ChooseFile(*platform, window(), chooser, true, services_.choices, FileKind::Panel))
        writeTo(*path);
}

void CalcPanel::save() {
    if (filePath_.empty()) saveFile();
    else writeTo(filePath_);
}

void CalcPanel::writeTo(const std::string& path) {
    if (services_.platform && !MayWriteOutput(*services_.platform, window(), services_.outputs, path,
                                              {"The panel file", "the panel file"}, {}, filePath_))
        return;
    // Written beside the old file and put in its place only when complete
    // (through a link to its target, keeping the file's mode); in place
    // where the folder takes no new file.
    if (const auto failure = WriteFileAtomically(path, SavePanelFile(model_))) {
        if (services_.platform) services_.platform->message(window(), MessageKind::Error, FileErrorText(*failure));
    } else {
        setFile(path);
    }
}

void CalcPanel::exportSheet(const std::optional<PumpEntry>& pump) {
    Platform* platform = services_.platform;
    if (!platform) return;
    if (!ShowsResults(model_)) {
        platform->message(window(), MessageKind::Information, kSheetNeedsResultText);
        return;
    }
    SheetTitle title = services_.choices ? services_.choices->sheetTitle() : SheetTitle{};
    if (services_.askSheetTitle) {
        const auto entered = services_.askSheetTitle(title, window());
        if (!entered) return;
        title = *entered;
        if (services_.choices) services_.choices->setSheetTitle(title);
    }
    // Offered under the panel file's name where it has one.
    const std::string offered = filePath_.empty() ? "" : std::filesystem::path(filePath_).stem().string() + ".pdf";
    const FileChooser chooser{"PDF document (*.pdf)|*.pdf", "pdf", "Export calculation sheet", {}, offered};
    const auto path = ChooseFile(*platform, window(), chooser, true, services_.choices, FileKind::Sheet);
    if (!path) return;
    // The sheet never takes the place of the panel file it shows, nor of
    // any other file the program reads or keeps.
    if (!MayWriteOutput(*platform, window(), services_.outputs, *path, kSheetOutput,
                        {{filePath_, "the panel file it shows"}}))
        return;
    const auto pdf = CalculationSheetPdf(MakeCalculationSheet(model_, NameOf(filePath_), TodaysDate(), pump, title));
    if (!pdf) {
        platform->message(window(), MessageKind::Error, "The calculation sheet could not be drawn.");
        return;
    }
    if (const auto failure = WriteFileAtomically(*path, pdf->toStdString()))
        platform->message(window(), MessageKind::Error, FileErrorText(*failure));
}

void CalcPanel::setCurrent(bool current) {
    if (current_ == current) return;
    current_ = current;
    update();
}

QImage CalcPanel::picture() {
    // The panel as it is, without the window's mark of the current panel.
    const bool marked = current_;
    current_ = false;
    const QImage image = PanelImage(this);
    current_ = marked;
    return image;
}

void CalcPanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (!current_) return;
    // A frame inside the panel's edge, where no control lies.
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
    painter.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
}

void CalcPanel::unitRadioClicked(UnitSystem system) {
    const UnitSystem before = model_.unitSystem();
    ConversionAnswer answer{ConversionChoice::Convert, -1};
    if (const auto dialog = model_.conversionDialogFor(system)) {
        answer = services_.askConversion ? services_.askConversion(*dialog, colour_, window())
                                         : ConversionAnswer{ConversionChoice::Closed, -1};
    }
    model_.switchUnits(system, answer);
    refreshRadios();
    if (answer.choice == ConversionChoice::Closed && model_.unitSystem() == before && system != before)
        (before == UnitSystem::Metric ? metricRadio_ : imperialRadio_)->setFocus();
}

void CalcPanel::editFittings() {
    if (!services_.askFittings) return;
    const std::string current = model_.openFittings();
    // The caption is refreshed however the dialog was closed.
    model_.fittingsClosed(services_.askFittings(current));
}

void CalcPanel::chooseFluid(std::optional<FluidGroup> group) {
    if (!services_.askFluid) return;
    if (const auto fluid = services_.askFluid(group)) model_.useFluid(*fluid);
}

void CalcPanel::choosePipeDiameter() {
    if (!services_.askPipeDiameter) return;
    if (const auto diameter = services_.askPipeDiameter(model_.metric()))
        model_.editEntry(Ctl::IDmm_RightEdit, *diameter);
}

void CalcPanel::copyScreenToClipboard() {
    if (!services_.platform) return;
    const QString heading = Q(PictureHeading(window()->windowTitle().toStdString(), TodayShortDate().toStdString()));
    services_.platform->setClipboardImage(ScreenCopyPicture(picture(), heading, window()->font()));
}

void CalcPanel::print() { printOrPreview(false); }

void CalcPanel::printPreview() { printOrPreview(true); }

void CalcPanel::printOrPreview(bool preview) {
    if (!services_.platform) return;
    const std::string caption = window()->windowTitle().toStdString();
    const QString heading = Q(PictureHeading(caption, TodayShortDate().toStdString()));
    const QImage image = picture();
    const QFont font = window()->font();
    const auto draw = [&](QPainter& painter, QSize page) { PrintPanelPage(painter, page, heading, image, font); };
    if (preview) services_.platform->preview(window(), PrintDocumentName(kind()), draw);
    else services_.platform->print(window(), PrintDocumentName(kind()), draw);
}

void CalcPanel::velocityFlow() {
    if (!services_.askVelocityFlow) return;
    if (const auto flow = services_.askVelocityFlow(model_, this))
        model_.editEntry(Ctl::VisibleFlowrateLMin_RightEdit, *flow);
}

}  // namespace corvane
