#pragma once
// logic/model/runs: the pipe run - its document, its calculation, the run
// window's model and its grade-line picture.  Includes pumps, analysis,
// data, panels and shared below it; its sheet lives in sheets/ above it.
//
// The pipe run document (*.cvrun): UTF-8 JSON, "corvane_run": 1, described
// by data/corvane-run.schema.json.  Reading checks every key and number
// before anything is solved: a key the format does not have, a number that
// is not finite or out of its range, a missing key, each is refused with a
// message that names it ("sections[3].diameter_mm must be above 0";
// sections are counted from 1, as pump.after_section counts them).
//
// The document keeps what the user wrote: a diameter typed or a pipe of the
// pipe data base, a roughness typed or a material, a liquid typed or a row
// of the fluid data base.  RunCalculation.h resolves those into the
// engine's numbers.  Writing a read document gives a document that reads
// back to the same.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "logic/engine/PipeRun.h"
#include "logic/io/FileIo.h"

namespace corvane {

inline constexpr int kRunFormatVersion = 1;
inline constexpr std::size_t kMaxRunSections = 200;
inline constexpr std::size_t kMaxRunFileBytes = 16u << 20;
inline constexpr const char* kRunFileExtension = ".cvrun";

struct RunFitting {
    int kind = 1;      // 1..23, the fittings dialog's kinds
    int count = 0;     // 0..999
    int opening = 0;   // valves: 0 = 100 %, 1 = 75 %, 2 = 50 %, 3 = 25 % open
    bool operator==(const RunFitting&) const = default;
};

struct RunDocSection {
    std::string name;
    std::optional<double> diameterMm;
    std::optional<std::string> pipeType, pipeNominal;  // a row of the pipe data base instead
    std::optional<double> roughnessMm;
    std::optional<std::string> material;               // a pipe material instead
    double lengthM = 0;
    double riseM = 0;
    std::optional<double> extraK;
    std::vector<RunFitting> fittings;
    std::optional<TransitionForm> transition;
    std::optional<double> angleDeg;
    bool operator==(const RunDocSection&) const = default;
};

struct RunDocFluid {
    std::string name;
    std::optional<std::string> temperature;       // a fluid data base row's temperature text
    std::optional<double> viscosityCst;
    std::optional<double> densityKgM3;
    std::optional<double> relativeDensity;        // instead of the density, as the data base gives it
    std::optional<double> vapourPressureBarA;
    std::optional<double> waterTemperatureC;      // water by its temperature
    bool operator==(const RunDocFluid&) const = default;
};

struct RunDocPump {
    int afterSection = 1;
    std::vector<PumpPoint> points;                // l/min, m
    std::optional<double> speed;
    std::optional<double> efficiencyPercent;
    std::vector<PumpPoint> npshRequired;          // l/min, m
    std::optional<double> npshMarginRatio;
    bool operator==(const RunDocPump&) const = default;
};

struct RunDocument {
    std::optional<std::string> title;
    RunDocFluid fluid;
    RunSurface source, sink;
    std::optional<double> entryK, exitK;
    double startElevationM = 0;
    std::optional<double> flowLmin;               // null: solve for the flow
    std::vector<RunDocSection> sections;
    std::optional<RunDocPump> pump;
    bool operator==(const RunDocument&) const = default;
};

// The document in `bytes`, or the message of what is wrong with it.
std::variant<RunDocument, std::string> ParseRunDocument(std::string_view bytes);

// The document as JSON text (two-space indent, a line end at the end).
std::string RunDocumentText(const RunDocument& document);

// A run file read whole (at most kMaxRunFileBytes) and parsed; the message
// names the file's problem or the document's.
std::variant<RunDocument, std::string> LoadRunFile(const std::string& path);

// Written whole or not at all, through the file module.
std::optional<FileFailure> SaveRunFile(const std::string& path, const RunDocument& document);

// The fittings kinds as a document names them, 1..23 (the fittings
// dialog's names).
const char* RunFittingName(int kind);

// The pipe materials a section may name, in the order of the roughness
// table (MaterialRoughness).
const std::vector<std::string>& RunMaterialNames();

}  // namespace corvane
