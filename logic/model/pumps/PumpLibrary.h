#pragma once
// The user's named pump curves, kept in CorvaneUserPumps.dat beside the
// other user files and with their rules: Windows-1252 text, CR LF, one pump
// a line as its name and its points, TAB-separated, in l/min and m of the
// pumped liquid:
//
//   NAME TAB Q1 TAB H1 [TAB Q2 TAB H2 ...]
//
// Additions are appended and flushed; a removal rewrites the file beside
// itself and renames it into place, keeping every other line as it is.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "logic/engine/PumpCurve.h"
#include "logic/io/DataFiles.h"
#include "logic/model/shared/Refusal.h"

namespace corvane {

inline constexpr const char* kPumpStockFile = "CorvanePumpsO.dat";  // none is shipped
inline constexpr const char* kPumpUserFile = "CorvaneUserPumps.dat";
inline constexpr const char* kPumpBackupFile = "CorvaneUserPumps.bak";

struct PumpRecord {
    std::string name;
    std::vector<PumpPoint> points;  // l/min, m
    bool operator==(const PumpRecord&) const = default;
};

// A line of the file (UTF-8) as a pump, or nothing where it is not one.
std::optional<PumpRecord> ParsePumpRow(std::string_view line);
// The line of a pump (UTF-8, without its end).
std::string PumpRowLine(const PumpRecord& pump);
// Whether Windows-1252 bytes are a pump's line.
bool IsPumpRow(std::string_view bytes);

// The files of the library: none shipped beside the program, the user's
// own in `userFolder`.
DataFiles PumpFiles(const std::string& programFolder, const std::string& userFolder);

struct ListedPump {
    PumpRecord pump;
    bool own = false;  // in the user's own file (removable)
    std::string line;  // as the file holds it
};

class PumpLibrary {
public:
    explicit PumpLibrary(DataFiles files);

    // Every pump of the files, shared ones first; the problem of a file
    // that cannot be read, naming it.
    std::vector<ListedPump> list(std::optional<std::string>* problem = nullptr) const;
    std::optional<PumpRecord> find(const std::string& name) const;

    // Adds a pump: a name that a file can hold, points that make a pump
    // curve, a name not yet listed.
    std::optional<Refusal> add(const PumpRecord& pump);
    // Removes the user's pump of that name.
    std::optional<Refusal> remove(const std::string& name);
    // Temporaries of killed writers, and any backup, as the other data bases.
    std::optional<std::string> recover() { return files_.recover(); }

    const DataFiles& files() const { return files_; }

private:
    DataFiles files_;
};

namespace refusals {
Refusal PumpNotInUserFile(const std::string& name);
}  // namespace refusals

}  // namespace corvane
