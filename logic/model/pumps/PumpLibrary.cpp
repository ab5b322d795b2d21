#include "logic/model/pumps/PumpLibrary.h"

#include <charconv>
#include <cmath>

#include "logic/model/data/DataEntryRules.h"
#include "logic/model/data/FluidDatabaseModel.h"
#include "logic/model/pumps/PumpModel.h"
#include "logic/io/FileIo.h"
#include "logic/text/Cp1252.h"

namespace corvane {

namespace refusals {
Refusal PumpNotInUserFile(const std::string& name) {
    return {MessageKind::Information, "There is no pump \"" + name + "\" in the user's pump file."};
}
}  // namespace refusals

namespace {

std::string Shortest(double v) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

bool ReadNumber(std::string_view text, double& v) {
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(v);
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> out;
    while (true) {
        const std::size_t tab = line.find('\t');
        out.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) return out;
        line.remove_prefix(tab + 1);
    }
}

// A name a data file can hold: not blank, no control character, every
// character in Windows-1252.
bool Writable(const std::string& name) {
    if (name.find_first_not_of(' ') == std::string::npos) return false;
    bool lossless = true;
    const std::string bytes = Utf8ToCp1252(name, &lossless);
    if (!lossless) return false;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
    return true;
}

}  // namespace

std::optional<PumpRecord> ParsePumpRow(std::string_view line) {
    const auto fields = Fields(line);
    if (fields.size() < 3 || fields.size() % 2 == 0) return std::nullopt;
    PumpRecord r;
    r.name = std::string(fields[0]);
    if (!Writable(r.name)) return std::nullopt;
    for (std::size_t i = 1; i + 1 < fields.size(); i += 2) {
        PumpPoint p;
        if (!ReadNumber(fields[i], p.flow) || !ReadNumber(fields[i + 1], p.head)) return std::nullopt;
        r.points.push_back(p);
    }
    return r;
}

std::string PumpRowLine(const PumpRecord& pump) {
    std::string line = pump.name;
    for (const PumpPoint& p : pump.points) line += "\t" + Shortest(p.flow) + "\t" + Shortest(p.head);
    return line;
}

bool IsPumpRow(std::string_view bytes) { return ParsePumpRow(Cp1252ToUtf8(bytes)).has_value(); }

DataFiles PumpFiles(const std::string& programFolder, const std::string& userFolder) {
    DataFiles files(programFolder, userFolder, kPumpStockFile, kPumpUserFile, kPumpBackupFile);
    files.setRowTest(IsPumpRow);
    return files;
}

PumpLibrary::PumpLibrary(DataFiles files) : files_(std::move(files)) { files_.setRowTest(IsPumpRow); }

std::vector<ListedPump> PumpLibrary::list(std::optional<std::string>* problem) const {
    std::vector<ListedPump> out;
    auto take = [&](bool own) {
        return [&out, own](const std::string& line) {
            if (auto r = ParsePumpRow(line)) out.push_back({*r, own, line});
            return true;
        };
    };
    std::optional<std::string> trouble;
    if (!files_.sharedUserPath().empty()) trouble = DataFiles::EachLineOf(files_.sharedUserPath(), take(false));
    if (auto p = DataFiles::EachLineOf(files_.userPath(), take(true))) trouble = trouble ? *trouble + "\r" + *p : *p;
    if (problem) *problem = trouble;
    return out;
}

std::optional<PumpRecord> PumpLibrary::find(const std::string& name) const {
    for (const ListedPump& p : list())
        if (p.pump.name == name) return p.pump;
    return std::nullopt;
}

std::optional<Refusal> PumpLibrary::add(const PumpRecord& pump) {
    if (auto refusal = CheckEntryText("pump's name", pump.name)) return refusal;
    const PumpCurveResult curve = MakePumpCurve(pump.points);
    if (curve.fault) return PumpCurveRefusal(*curve.fault);
    // Decided on what the files hold now, while no other program may
    // change the user's.
    DataFiles::Hold held;
    if (auto problem = files_.hold(held)) return Refusal{MessageKind::Error, kAddFailedText + *problem};
    if (auto problem = files_.recover(); problem && FileExists(files_.backupPath()))
        return Refusal{MessageKind::Error, kAddFailedText + *problem};
    std::optional<std::string> problem;
    const auto pumps = list(&problem);
    if (problem) return Refusal{MessageKind::Error, kAddFailedText + *problem};
    for (const ListedPump& p : pumps)
        if (p.pump.name == pump.name) return Refusal{MessageKind::Information, kEntryExistsText};
    if (auto failed = files_.append(PumpRowLine(pump)))
        return Refusal{MessageKind::Error, kAddFailedText + *failed};
    return std::nullopt;
}

std::optional<Refusal> PumpLibrary::remove(const std::string& name) {
    DataFiles::Hold held;
    if (files_.userExists())
        if (auto problem = files_.hold(held)) return Refusal{MessageKind::Error, kRemoveFailedText + *problem};
    for (const ListedPump& p : list()) {
        if (!p.own || p.pump.name != name) continue;
        bool removed = false;
        if (auto problem = files_.removeFirst(p.line, {}, &removed))
            return Refusal{MessageKind::Error, kRemoveFailedText + *problem};
        if (removed) return std::nullopt;
        break;
    }
    return refusals::PumpNotInUserFile(name);
}

}  // namespace corvane
