#pragma once
// Panel data files (.PW1 to .PW4): a panel's entries, one value per line,
// Windows-1252 with CR LF line ends.  Line 1 names the panel, line 2 its gas
// mode, line 3 its unit system; the rest follow the panel's own order (the
// material as its list index + 100, lists as indices, the fittings
// selection string verbatim).  A .PW1 file has 18 lines, the others 19.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "logic/model/panels/PanelKinds.h"
#include "logic/model/panels/PanelModel.h"

namespace corvane {

// "Corvane_Find_PD", "Corvane_Find_FLOW", "Corvane_Find_DIAMETER",
// "Corvane_Find_LENGTH".
std::string_view PanelFileHeader(PanelKind kind);
// The panel a header line names, if any.
std::optional<PanelKind> PanelKindOfHeader(std::string_view line);
// "PW1" .. "PW4" and the file chooser filter of the panel.
std::string PanelFileExtension(PanelKind kind);
std::string PanelFileFilter(PanelKind kind);

// Lines of a file as the loader reads them: a line ends at CR, one LF right
// after the CR is skipped, a lone LF is part of the line, byte 1A ends the
// data.  Reading past the end gives empty lines.
class PanelFileReader {
public:
    explicit PanelFileReader(std::string_view bytes) : bytes_(bytes) {}
    std::string next();   // the next line, as Windows-1252 bytes
    bool atEnd() const;   // no data left
private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

// The whole file of the panel's entries, in Windows-1252 with CR LF.
std::string SavePanelFile(const PanelModel& panel);

// Reads a file into the panel as its open command does.  On an error the
// panel keeps what the lines before the error set.
std::optional<Refusal> LoadPanelFile(PanelModel& panel, std::string_view bytes);

inline const char* const kNotValidFileText = "This file is not valid for Corvane.";

// A panel's open command given a file of another panel: what it is for,
// and the offer to open it there.
inline std::string OtherPanelFileText(PanelKind kind) {
    return std::string("This file is for ") + PanelTaskName(kind) + ".\rOpen it there?";
}

// The file chooser filter of any panel file ("Corvane panel files
// (*.PW1 ...)|*.PW1;..."), both letter cases.
std::string AnyPanelFileFilter();

// A panel file is small: anything larger is not a panel file.
inline constexpr std::size_t kMaxPanelFileBytes = 1u << 20;

// A panel file's bytes read whole, or why not: "This file is not valid for
// Corvane." for a file too large to be one, otherwise the platform's file
// error text ("File not found", "This is a FIFO, not a file", ...).
struct PanelFileBytes {
    std::optional<std::string> bytes;
    std::string message;
};
PanelFileBytes ReadPanelFile(const std::string& path);

// The panel a file's bytes are for: the panel its first line names, or
// nothing for a file that is not a panel file (also one over the size
// limit).  The window, corvane-cli and the fuzz targets all ask this.
std::optional<PanelKind> PanelKindOfFile(std::string_view bytes);

// A panel file's bytes loaded into a fresh panel of the kind the file
// names, with the start-up defaults of the locale, as the panel's open
// command loads them.  No panel for a file that is not a panel file; a
// panel with `error` where loading stopped (it holds what the lines before
// the error set).
struct LoadedPanel {
    std::unique_ptr<PanelModel> panel;
    std::optional<Refusal> error;
};
LoadedPanel LoadPanelFileBytes(std::string_view bytes, const Locale& locale);
// "'<text>' is not a valid integer value"
std::string NotAnIntegerText(std::string_view text);

// A file holds what no one could type into the panel: the refusal of the
// first number of a loaded file that no pipe can have, or nothing.  An
// entry holds a finite number (or, as the panel leaves it, nothing or
// "?"), not "nan", "inf" or a number beyond any (1e309); the roughness is
// below the diameter, as a run file needs it; the diameter gives the flow
// a velocity that is a number above 0.  What the panel refuses itself
// (nothing, zero or below) is left to its calculation.
std::optional<Refusal> UnusableFileEntry(const PanelModel& panel);

}  // namespace corvane
