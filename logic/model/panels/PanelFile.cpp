#include "logic/model/panels/PanelFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "logic/engine/PipeFlow.h"
#include "logic/io/FileIo.h"
#include "logic/model/panels/PanelKinds.h"
#include "logic/model/shared/FittingsText.h"
#include "logic/text/Cp1252.h"
#include "logic/text/NumberText.h"

namespace corvane {
namespace {

// What stands on a line after the first three.
enum class Item { Material, Entry, List, Fittings };
struct Line {
    Item item;
    Ctl ctl;
};

// A panel's own lines start at line 4; the last line of panels 2 to 4 (19)
// may be missing from a file.
constexpr std::size_t kFirstPanelLine = 4;
constexpr std::size_t kOptionalLastLine = 19;

// A material stands in its line as its list index plus this; lines that
// older programs wrote as 1 to 13 (the index less one) are read too.
constexpr int kMaterialCodeBase = 100;

// Lines 4 to 18 (and 19) of each panel, from the control table, made once.
const std::vector<Line>& LayoutOf(PanelKind kind) {
    static const std::array<std::vector<Line>, 4> kLayouts = [] {
        std::array<std::vector<Line>, 4> layouts;
        for (PanelKind k : {PanelKind::PressureDrop, PanelKind::Flow, PanelKind::Diameter, PanelKind::Length})
            for (Ctl c : FileLayout(k)) {
                Item item = IsList(c) ? Item::List : Item::Entry;
                if (c == Ctl::PipeMaterialComboBox) item = Item::Material;
                if (c == Ctl::FittingsBitBtn) item = Item::Fittings;
                layouts[static_cast<std::size_t>(PanelDigit(k) - 1)].push_back({item, c});
            }
        return layouts;
    }();
    return kLayouts[static_cast<std::size_t>(PanelDigit(kind) - 1)];
}

int MaterialIndexOfCode(int v) {
    if (v >= 1 && v <= 13) return v + 1;
    if (v >= kMaterialCodeBase && v <= kMaterialCodeBase + 50) return v - kMaterialCodeBase;
    return v;
}

// The first count of kinds 1 to 23 that is neither empty nor an integer.
std::optional<std::string> BadFittingsCount(std::string_view s) {
    for (int field = 0; field < kValveSelectorCount + kFittingKindCount; ++field) {
        const auto tab = s.find('\t');
        const std::string_view f = s.substr(0, tab);
        if (field >= kValveSelectorCount && !f.empty() && !ReadInteger(f)) return std::string(f);
        if (tab == std::string_view::npos) break;
        s.remove_prefix(tab + 1);
    }
    return std::nullopt;
}

}  // namespace

std::string_view PanelFileHeader(PanelKind kind) { return KindSpec(kind).fileHeader; }

std::optional<PanelKind> PanelKindOfHeader(std::string_view line) {
    for (PanelKind k : {PanelKind::PressureDrop, PanelKind::Flow, PanelKind::Diameter, PanelKind::Length})
        if (line == PanelFileHeader(k)) return k;
    return std::nullopt;
}

std::string PanelFileExtension(PanelKind kind) { return "PW" + std::to_string(PanelDigit(kind)); }

std::string AnyPanelFileFilter() {
    std::string patterns;
    for (const char* ext : {"PW", "pw"})
        for (int digit = 1; digit <= 4; ++digit) patterns += std::string(patterns.empty() ? "" : " ") + "*." + ext + std::to_string(digit);
    std::string list = patterns;
    for (char& c : list)
        if (c == ' ') c = ';';
    return "Corvane panel files (" + patterns + ")|" + list;
}

std::string PanelFileFilter(PanelKind kind) {
    const std::string ext = PanelFileExtension(kind);
    return "Corvane " + std::string(KindSpec(kind).filterName) + " (*." + ext + ")|*." + ext;
}

namespace {

// A control character of the file (a lone LF of a file with mixed line
// ends, a TAB) is shown, never passed on to break the message's line.
std::string Shown(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string shown;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\n') shown += "\\n";
        else if (c == '\t') shown += "\\t";
        else if (u < 0x20 || u == 0x7F) shown += std::string("\\x") + kHex[u >> 4] + kHex[u & 0xF];
        else shown += c;
    }
    return shown;
}

}  // namespace

std::string NotAnIntegerText(std::string_view text) { return "'" + Shown(text) + "' is not a valid integer value"; }

// ---------------------------------------------------------------- checking

namespace {

// What the refusal calls an entry.
std::string NounOf(Ctl c) {
    switch (c) {
        case Ctl::ElevationChange_RightEdit: return "The elevation change";
        case Ctl::FluidViscosityRightEdit: return "The viscosity";
        case Ctl::FluidRelativeDensityRightEdit: return "The density";
        default: break;
    }
    const std::string_view noun = Spec(c).leaveNoun;
    return noun.empty() ? std::string(Spec(c).name) : std::string(noun);
}

// A text the panel reads as 0 although it stands for no number: a word
// ("nan", "inf", anything but digits, signs, decimal marks and exponents)
// or a number too large for any.  A text too close to 0 reads as the 0 it
// nearly is, and one the panel itself leaves (nothing, "?") or reads as 0
// as it always did ("1.2.3") is its calculation's to refuse.
bool StandsForNoNumber(std::string_view text, const Locale& locale) {
    if (IsEntryNumber(text, locale)) return false;
    std::string plain = FixDecimalSeparator(text, locale);
    for (char& c : plain) {
        if (c == locale.decimalSeparator) c = '.';
        else if (!(c >= '0' && c <= '9') && std::string_view(" +-.,eE?").find(c) == std::string_view::npos)
            return true;
    }
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(plain.c_str(), &end);
    return errno == ERANGE && std::fabs(v) > 1.0;
}

}  // namespace

std::optional<Refusal> UnusableFileEntry(const PanelModel& panel) {
    const Locale& locale = panel.locale();
    auto refuse = [](std::string text) { return Refusal{MessageKind::Warning, std::move(text)}; };
    for (const Line& l : LayoutOf(panel.kind())) {
        if (l.item != Item::Entry || l.ctl == Ctl::FluidName_Edit) continue;
        const std::string& text = panel.text(l.ctl);
        if (StandsForNoNumber(text, locale))
            return refuse(NounOf(l.ctl) + " in this file, '" + Shown(text) + "', is not a number.");
    }
    if (!PanelHas(panel.kind(), Ctl::IDmm_RightEdit)) return std::nullopt;
    const std::string unit = panel.text(Ctl::ID_UnitsLabel);
    const double roughness = ReadEntryNumber(panel.text(Ctl::IRmm_RightEdit), locale);
    const double diameter = ReadEntryNumber(panel.text(Ctl::IDmm_RightEdit), locale);
    if (!(diameter > 0)) return std::nullopt;
    if (roughness >= diameter)
        return refuse("The internal roughness in this file, " + panel.text(Ctl::IRmm_RightEdit) + " " + unit +
                      ", is not below the internal diameter, " + panel.text(Ctl::IDmm_RightEdit) + " " + unit +
                      ": no pipe has it.");
    // The flow of the panels that take one, a litre a minute where the flow
    // is what the panel finds.
    const SolverInputs in = panel.solverInputs();
    const double flow = panel.kind() == PanelKind::Flow ? 1.0 : in.flow;
    if (!(flow > 0)) return std::nullopt;
    const double velocity = VelocityFromFlow(flow, in.diameter);
    if (!std::isfinite(velocity) || !(velocity > 0))
        return refuse("The internal diameter in this file, " + panel.text(Ctl::IDmm_RightEdit) + " " + unit + ", is " +
                      (in.diameter < 1 ? "too small" : "too large") + " for a flow through it to have a velocity.");
    return std::nullopt;
}

// ---------------------------------------------------------------- reading

bool PanelFileReader::atEnd() const { return pos_ >= bytes_.size() || bytes_[pos_] == '\x1a'; }

std::string PanelFileReader::next() {
    if (atEnd()) return {};
    // The line runs to its CR, or to the end of the data (byte 1A).
    const std::size_t end = std::min(bytes_.find_first_of("\r\x1a", pos_), bytes_.size());
    std::string line(bytes_.substr(pos_, end - pos_));
    pos_ = end;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\r') {
        ++pos_;
        if (pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
    }
    return line;
}

// ---------------------------------------------------------------- saving

std::string SavePanelFile(const PanelModel& panel) {
    const PanelKind kind = panel.kind();
    const std::string digit = std::to_string(panel.digit());
    std::string out;
    auto line = [&](const std::string& utf8) {
        out += Utf8ToCp1252(utf8);
        out += "\r\n";
    };
    line(std::string(PanelFileHeader(kind)));
    line((panel.gasMode() ? "GasTrue" : "GasFalse") + digit);
    line(panel.metric() ? "Metric" : "Imperial");
    for (const Line& l : LayoutOf(kind)) {
        switch (l.item) {
            case Item::Material: line(std::to_string(panel.list(l.ctl).selected + kMaterialCodeBase)); break;
            case Item::Entry: line(panel.text(l.ctl)); break;
            case Item::List: line(std::to_string(panel.list(l.ctl).selected)); break;
            case Item::Fittings: line(panel.fittings()); break;
        }
    }
    return out;
}

// ---------------------------------------------------------------- loading

std::optional<Refusal> LoadPanelFile(PanelModel& panel, std::string_view bytes) {
    const PanelKind kind = panel.kind();
    PanelFileReader reader(bytes);
    if (reader.next() != PanelFileHeader(kind)) return Refusal{MessageKind::Error, kNotValidFileText};

    const bool speedButton = kind != PanelKind::Flow;
    if (speedButton) {
        panel.setGasMode(false);
        panel.leaveCompressedEntry();
    }
    const std::string gasLine = Cp1252ToUtf8(reader.next());
    panel.setGasMode(gasLine == "GasTrue" + std::to_string(panel.digit()));
    const std::string unitLine = Cp1252ToUtf8(reader.next());
    panel.showUnits(unitLine == "Metric" ? UnitSystem::Metric : UnitSystem::Imperial);

    const std::vector<Line>& layout = LayoutOf(kind);
    for (std::size_t i = 0; i < layout.size(); ++i) {
        const Line& l = layout[i];
        // The last line of panels 2 to 4 is read only when the data goes on.
        if (kFirstPanelLine + i == kOptionalLastLine && reader.atEnd()) break;
        const std::string text = Cp1252ToUtf8(reader.next());
        switch (l.item) {
            case Item::Material:
            case Item::List: {
                const auto value = ReadInteger(text);
                if (!value) return Refusal{MessageKind::Error, NotAnIntegerText(text)};
                panel.selectItem(l.ctl, l.item == Item::Material ? MaterialIndexOfCode(*value) : *value);
                break;
            }
            case Item::Entry:
                panel.setText(l.ctl, text);
                // The visible flow follows at once, so that the flow
                // synchronisation run by the pressure line finds both alike.
                if (l.ctl == Ctl::FlowrateLMin_RightEdit && speedButton)
                    panel.setText(Ctl::VisibleFlowrateLMin_RightEdit, text);
                break;
            case Item::Fittings:
                if (auto bad = BadFittingsCount(text)) return Refusal{MessageKind::Error, NotAnIntegerText(*bad)};
                panel.setFittingsString(text);
                break;
        }
    }

    if (speedButton) {
        panel.applyCompressedCaptions();
        const std::string flow = panel.text(Ctl::FlowrateLMin_RightEdit);
        panel.setText(Ctl::FlowrateLMin_RightEdit, flow);
        panel.setText(Ctl::VisibleFlowrateLMin_RightEdit, flow);
    }
    for (Ctl c : {Ctl::PipeMaterialComboBox, Ctl::RiseFallComboBox, Ctl::MhdBarComboBox, Ctl::FlowUnitComboBox})
        panel.selectFirstIfNone(c);
    panel.refreshDensityDisplay();
    return std::nullopt;
}

PanelFileBytes ReadPanelFile(const std::string& path) {
    FileRead file = ReadWholeFile(path, kMaxPanelFileBytes);
    if (file.bytes) return {std::move(file.bytes), {}};
    if (file.failure && file.failure->error == kFileTooLarge) return {std::nullopt, kNotValidFileText};
    return {std::nullopt, file.error};
}

std::optional<PanelKind> PanelKindOfFile(std::string_view bytes) {
    if (bytes.size() > kMaxPanelFileBytes) return std::nullopt;
    return PanelKindOfHeader(PanelFileReader(bytes).next());
}

LoadedPanel LoadPanelFileBytes(std::string_view bytes, const Locale& locale) {
    LoadedPanel loaded;
    const auto kind = PanelKindOfFile(bytes);
    if (!kind) return loaded;
    loaded.panel = std::make_unique<PanelModel>(*kind, locale);
    loaded.error = LoadPanelFile(*loaded.panel, bytes);
    return loaded;
}

}  // namespace corvane
