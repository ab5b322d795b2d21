#include "fuzz/FuzzTargets.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "cli/Cli.h"
#include "cli/RunCommand.h"
#include "logic/text/Cp1252.h"
#include "logic/text/NumberText.h"
#include "logic/io/DataFiles.h"
#include "logic/io/DataTable.h"
#include "logic/io/FileIo.h"
#include "logic/model/data/FittingsDialogModel.h"
#include "logic/model/shared/FittingsText.h"
#include "logic/model/panels/PanelFile.h"
#include "logic/model/panels/PanelReport.h"
#include "logic/model/runs/RunDocument.h"
#include "logic/text/Cp1252.h"
#include "logic/text/NumberText.h"

namespace corvane::fuzz {

// Panel file loader: any bytes, into the panel their first line names, then a
// save, a load of what was saved, a calculation and the report.
int PanelFile(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const corvane::Locale& l : {corvane::DotLocale(), corvane::Locale{',', true}}) {
        // Loaded as the window and corvane-cli load a file.
        corvane::LoadedPanel loaded = corvane::LoadPanelFileBytes(bytes, l);
        if (!loaded.panel || loaded.error) continue;
        // What is saved loads back to the same file: save, load, save gives
        // the same bytes.
        const std::string saved = corvane::SavePanelFile(*loaded.panel);
        const corvane::LoadedPanel again = corvane::LoadPanelFileBytes(saved, l);
        if (!again.panel || again.error || corvane::SavePanelFile(*again.panel) != saved) std::abort();
        (void)loaded.panel->calculate();
        (void)corvane::PanelReport(*loaded.panel);
    }
    return 0;
}

// Data file lines of both data bases: parsing, padding, normalising and
int DataLines(const std::uint8_t* data, std::size_t size) {
    const std::string text = corvane::Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    corvane::DataTable table(64);
    for (const std::string& line : corvane::SplitLines(text))
        for (const corvane::Locale& l : {corvane::DotLocale(), corvane::CommaLocale()})
            for (bool third : {false, true})
                if (auto r = corvane::ParseDataLine(line, l, third)) {
                    table.add(*r);
                    const std::string row = r->f2 + "\t" + r->f3 + "\t" + corvane::PadNumberText(r->f4, l.decimalSeparator, 8) +
                                            "\t" + corvane::PadNumberText(r->f5, l.decimalSeparator, 10);
                    (void)corvane::NormaliseRowLine("11\t" + row);
                    (void)corvane::SplitRow(row);
                    (void)corvane::IsListed({row}, corvane::JoinDataLine(*r));
                    (void)corvane::TruncateDecimals(r->f4, 6, l.decimalSeparator);
                }
    return 0;
}

// Number text: reading, the entry key rule, and writing what was read.
int EntryNumber(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const corvane::Locale& l : {corvane::DotLocale(), corvane::CommaLocale()}) {
        const double v = corvane::ReadEntryNumber(text, l);
        if (!std::isfinite(v)) std::abort();
        for (int decimals : {0, 3, 6}) {
            const auto written = corvane::WriteEntryNumber(v, decimals, l);
            if (!written) std::abort();
            // What is written reads back as a number (the largest values
            // round up beyond a double and read as 0).
            if (std::fabs(v) < 1e300 && !corvane::IsEntryNumber(*written, l)) std::abort();
        }
        (void)corvane::ReadInteger(text);
        char32_t key = size ? data[0] : 0;
        (void)corvane::IsAllowedEntryKey(text, key, l);
    }
    return 0;
}

// The fittings selection string: totals, captions, the dialog's reading
int Fittings(const std::uint8_t* data, std::size_t size) {
    const std::string s(reinterpret_cast<const char*>(data), size);
    for (const corvane::Locale& l : {corvane::DotLocale(), corvane::CommaLocale()}) {
        const corvane::FittingsSelection parsed = corvane::ParseFittings(s, l);
        for (double d : {0.0, 25.0, 1e9, -5.0})
            if (std::isnan(corvane::FittingsTotalK(parsed, d))) std::abort();
        (void)corvane::FittingsCaption(s, l);
        corvane::FittingsDialogModel dialog(l);
        dialog.load(s);
        (void)dialog.store();
        for (int k = 1; k <= 23; ++k) (void)corvane::FittingReportName(k, s);
    }
    return 0;
}

// The batch tool's handling of one file's bytes, and its JSON output.
int Cli(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const corvane::Locale& l : {corvane::DotLocale(), corvane::CommaLocale()}) {
        const corvane::BatchResult r = corvane::RunPanelFileBytes("fuzz\xff.PW1", bytes, l);
        // The JSON printed is JSON, whatever the file held.
        const std::string json = corvane::ResultsToJson({r});
        const auto parsed = nlohmann::json::parse(json, nullptr, false);
        if (parsed.is_discarded() || !parsed.is_array() || parsed.size() != 1) std::abort();
        // --json writes the element from the panel itself: the same bytes.
        const corvane::BatchResult direct =
            corvane::RunPanelFileBytes("fuzz\xff.PW1", bytes, l, nullptr, corvane::ResultForm::Json);
        if ("[\n" + direct.json + "\n]\n" != json) std::abort();
    }
    return 0;
}

namespace {

namespace fs = std::filesystem;

// A folder of this process for the targets that work on files.
const fs::path& Scratch() {
    static const fs::path folder = [] {
        fs::path p = fs::temp_directory_path() / ("corvane-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(p);
        return p;
    }();
    return folder;
}

void Put(const fs::path& p, std::string_view bytes) {
    std::ofstream(p, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Get(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// Lines with their byte ranges (end included): CR LF, CR or LF end a line.
struct Span {
    std::size_t begin, contentEnd, end;
};
std::vector<Span> Spans(std::string_view text) {
    std::vector<Span> spans;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        const std::size_t contentEnd = i;
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        spans.push_back({begin, contentEnd, i + 1});
        begin = i + 1;
    }
    if (begin < text.size()) spans.push_back({begin, text.size(), text.size()});
    return spans;
}

std::map<std::string, int> Count(std::string_view text) {
    std::map<std::string, int> n;
    for (const Span& s : Spans(text)) ++n[std::string(text.substr(s.begin, s.contentEnd - s.begin))];
    return n;
}

// Splits the input at its first byte pair "\0\0" into two parts.
std::pair<std::string_view, std::string_view> Halves(const std::uint8_t* data, std::size_t size) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const auto cut = all.find(std::string_view("\0\0", 2));
    if (cut == std::string_view::npos) return {all, {}};
    return {all.substr(0, cut), all.substr(cut + 2)};
}

void Clear() {
    for (const auto& e : fs::directory_iterator(Scratch())) fs::remove_all(e.path());
}

}  // namespace

// The merge of a backup left by an interrupted removal: input = user file
// "\0\0" backup.  Every line of the user file survives, every valid row of
// the backup is there, nothing else of the backup gets in, and a backup
// holding anything else is kept aside byte for byte.
int BackupMerge(const std::uint8_t* data, std::size_t size) {
    const auto [user, backup] = Halves(data, size);
    Clear();
    const fs::path u = Scratch() / "CorvaneUserFluids.dat", b = Scratch() / "CorvaneUserFluids.bak";
    Put(u, user);
    Put(b, backup);
    corvane::DataFiles files(Scratch().string(), "CorvaneFluidsO.dat", "CorvaneUserFluids.dat",
                             "CorvaneUserFluids.bak");
    (void)files.recover();
    const std::string after = Get(u);
    const auto before = Count(user), rows = Count(backup), now = Count(after);
    bool garbage = false;
    for (const auto& [line, n] : rows)
        if (!corvane::IsDataRow(line) && !line.empty()) garbage = true;
    for (const auto& [line, n] : now) {
        const int fromUser = before.count(line) ? before.at(line) : 0;
        const int fromBackup = rows.count(line) && corvane::IsDataRow(line) ? rows.at(line) : 0;
        if (n != std::max(fromUser, fromBackup)) std::abort();
    }
    for (const auto& [line, n] : before)
        if (!now.count(line)) std::abort();
    if (fs::exists(b)) std::abort();
    if (garbage) {
        int aside = 0;
        for (const auto& e : fs::directory_iterator(Scratch()))
            if (e.path().filename().string().rfind("CorvaneUserFluids.bak-", 0) == 0 && Get(e.path()) == backup)
                ++aside;
        if (aside != 1) std::abort();
    }
    return 0;
}

// The streaming rewrite of a data file: input = one operation byte, the
// file.  Removing the first line equal to a chosen line takes exactly that
// line (with its end) out; appending keeps every byte and adds the line on
// a line of its own.  Every untouched line survives byte for byte.
int DataRewrite(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string file(reinterpret_cast<const char*>(data) + 1, size - 1);
    Clear();
    const fs::path u = Scratch() / "CorvaneUserFluids.dat";
    Put(u, file);
    corvane::DataFiles files(Scratch().string(), "CorvaneFluidsO.dat", "CorvaneUserFluids.dat",
                             "CorvaneUserFluids.bak");
    const auto spans = Spans(file);
    std::string expected;
    if (data[0] % 2 == 0 && !spans.empty()) {
        const Span chosen = spans[data[0] / 2 % spans.size()];
        const std::string key = file.substr(chosen.begin, chosen.contentEnd - chosen.begin);
        for (const Span& s : spans)
            if (file.compare(s.begin, s.contentEnd - s.begin, key) == 0) {
                expected = file.substr(0, s.begin) + file.substr(s.end);
                break;
            }
        if (files.removeFirst(corvane::Cp1252ToUtf8(key))) std::abort();
    } else {
        const std::string line = "11\tFuzz\t" + std::to_string(size) + "\t1.000000\t1.000000";
        expected = file + (file.empty() || file.back() == '\n' || file.back() == '\r' ? "" : "\r\n") + line + "\r\n";
        if (files.append(line)) std::abort();
    }
    if (Get(u) != expected) std::abort();
    for (const auto& e : fs::directory_iterator(Scratch()))
        if (e.path().filename().string().find(".corvane-new-") != std::string::npos) std::abort();
    return 0;
}

// The data commands on any words (separated by NUL bytes) and a user file:
// input = user file "\0\0" words.  The status is 0, 1 or 2; a refused or
// failed command changes no byte; an add only appends; a removal takes out
// one line and keeps every other.
int DataCommands(const std::uint8_t* data, std::size_t size) {
    const auto [user, words] = Halves(data, size);
    Clear();
    const fs::path u = Scratch() / "CorvaneUserFluids.dat";
    Put(u, user);
    Put(Scratch() / "CorvaneFluidsO.dat", "10\tWater\t20\xb0" "C\t1.004000\t0.998000\r\n");
    // The scratch folder first, and no other: nothing is written elsewhere.
    std::vector<std::string> args = {"data", "--data-dir", Scratch().string()};
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= words.size(); ++i)
        if (i == words.size() || words[i] == '\0') {
            const std::string word(words.substr(begin, i - begin));
            if (word.rfind("--data-dir", 0) != 0) args.push_back(word);
            begin = i + 1;
        }
    for (const corvane::Locale& l : {corvane::DotLocale(), corvane::CommaLocale()}) {
        const std::string before = Get(u);
        std::ostringstream out, err;
        const int status = static_cast<int>(corvane::RunCli(args, out, err, l));
        const std::string after = Get(u);
        if (status < 0 || status > 2) std::abort();
        if (status != 0 && after != before) std::abort();
        // --help prints the usage and does nothing else.
        const bool help = out.str().rfind("usage:", 0) == 0;
        const std::string verb = args.size() > 3 && !help ? args[3] : "";
        if (status == 0 && verb == "add" && after.compare(0, before.size(), before) != 0) std::abort();
        if (status == 0 && verb == "remove") {
            if (after.size() >= before.size()) std::abort();
            auto left = Count(before);
            for (const auto& [line, n] : Count(after))
                if ((left[line] -= n) < 0) std::abort();
        }
    }
    return 0;
}

// A pipe run document: what reads is written back to a document that reads
// the same; whatever the bytes, the run command's JSON of them is JSON and
// a calculated run holds only finite numbers.
int RunFile(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto parsed = corvane::ParseRunDocument(bytes);
    if (const auto* document = std::get_if<corvane::RunDocument>(&parsed)) {
        const auto again = corvane::ParseRunDocument(corvane::RunDocumentText(*document));
        const auto* back = std::get_if<corvane::RunDocument>(&again);
        if (!back || !(*back == *document)) std::abort();
    }
    // No data bases: a document naming a row is refused, and says so.
    const corvane::RunFileResult r = corvane::RunDocumentBytes("fuzz.cvrun", bytes, {}, corvane::DotLocale());
    const auto json = nlohmann::json::parse(corvane::RunResultJson(r), nullptr, false);
    if (json.is_discarded() || !json.is_object()) std::abort();
    if (r.status == corvane::ExitStatus::Ok) {
        const corvane::RunResult& run = r.outcome->result;
        if (!std::isfinite(run.flow) || !std::isfinite(run.sinkMargin) || !std::isfinite(run.totalHeadLoss)) std::abort();
        for (const corvane::RunNode& n : run.nodes)
            if (!std::isfinite(n.pressure) || !std::isfinite(n.energyHead)) std::abort();
    } else if (r.message.empty()) {
        std::abort();
    }
    return 0;
}

}  // namespace corvane::fuzz
