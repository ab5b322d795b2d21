// The batch tool's own code path (RunCli with --json) over a generated set
// of varied panel files (random kinds, entries, fittings, units, liquid and
// gas), against loading and calculating the same files in memory.
//
// BM_LoadAndCalculateSet: per file, a fresh panel loads the file's bytes and
//   calculates.
// BM_CliJson/threads/files: corvane-cli --json -j threads over that many
//   files on disk, its output discarded: files_per_s its rate, us_per_file
//   its wall time a file, and run_peak_mb how far the resident memory rose
//   above what it was before the run.  On one thread it also gives
//   load_calc_us, the in-memory load + calculate of the same files timed in
//   the same run, and overhead_x: what the tool adds to that a file (reading
//   the file, the second opinion, the report and the JSON) as a multiple
//   of it.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <random>
#include <streambuf>
#include <thread>

#include "cli/Cli.h"
#include "tests/RandomPanels.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

// A set of files on disk, made once per size and removed at exit.
class FileSet {
public:
    static const FileSet& Of(std::size_t count) {
        static std::map<std::size_t, FileSet> sets;
        auto it = sets.find(count);
        if (it == sets.end()) it = sets.emplace(count, FileSet(count)).first;
        return it->second;
    }
    FileSet(FileSet&&) = default;
    ~FileSet() {
        if (!dir_.empty()) fs::remove_all(dir_);
    }
    std::vector<std::string> paths;
    std::vector<std::string> bytes;  // of the first 10,000 files, for the in-memory loops

private:
    explicit FileSet(std::size_t count)
        : dir_(fs::temp_directory_path() / ("corvane-cli-bench-" + std::to_string(::getpid()) + "-" +
                                            std::to_string(count))) {
        fs::create_directories(dir_);
        std::mt19937 rng(2026);
        for (std::size_t i = 0; i < count; ++i) {
            const std::string file = RandomPanelFile(rng, Locale{});
            // A thousand files a folder, as a user's folders hold them.
            const fs::path folder = dir_ / ("d" + std::to_string(i / 1000));
            if (i % 1000 == 0) fs::create_directories(folder);
            paths.push_back((folder / ("p" + std::to_string(i) + ".PW1")).string());
            std::ofstream(paths.back(), std::ios::binary) << file;
            if (bytes.size() < 10000) bytes.push_back(file);
        }
    }
    fs::path dir_;
};

class Discard : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// A line of /proc/self/status in MiB ("VmRSS", "VmHWM").
double StatusMb(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, key.size() + 1, key + ":") == 0) return std::stod(line.substr(key.size() + 1)) / 1024.0;
    return 0;
}

// Starts a new peak of the resident memory and gives the memory now.
double ResetPeakMb() {
    std::ofstream("/proc/self/clear_refs") << "5";
    return StatusMb("VmRSS");
}

void BM_LoadAndCalculateSet(benchmark::State& state) {
    const FileSet& set = FileSet::Of(10000);
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string& file = set.bytes[i++ % set.bytes.size()];
        PanelModel panel(*PanelKindOfHeader(PanelFileReader(file).next()), Locale{});
        benchmark::DoNotOptimize(LoadPanelFile(panel, file));
        benchmark::DoNotOptimize(panel.calculate());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LoadAndCalculateSet)->UseRealTime();

void BM_CliJson(benchmark::State& state) {
    const FileSet& set = FileSet::Of(static_cast<std::size_t>(state.range(1)));
    std::vector<std::string> args = {"--json", "-j", std::to_string(state.range(0))};
    args.insert(args.end(), set.paths.begin(), set.paths.end());
    Discard discard;
    std::ostream out(&discard);
    const double before = ResetPeakMb();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) benchmark::DoNotOptimize(RunCli(args, out, out, Locale{}));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["run_peak_mb"] = StatusMb("VmHWM") - before;
    const double files = static_cast<double>(state.iterations()) * static_cast<double>(set.paths.size());
    state.counters["files_per_s"] = benchmark::Counter(files, benchmark::Counter::kIsRate);
    state.counters["us_per_file"] =
        benchmark::Counter(files / 1e6, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    if (state.range(0) == 1) {
        // The same files loaded and calculated in memory, right after.
        const std::size_t n = std::min(set.paths.size(), set.bytes.size());
        const auto t0 = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < n; ++i) {
            PanelModel panel(*PanelKindOfHeader(PanelFileReader(set.bytes[i]).next()), Locale{});
            benchmark::DoNotOptimize(LoadPanelFile(panel, set.bytes[i]));
            benchmark::DoNotOptimize(panel.calculate());
        }
        const double loadCalcUs =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count() / double(n);
        const double cliUs = seconds * 1e6 / files;
        state.counters["load_calc_us"] = loadCalcUs;
        state.counters["overhead_x"] = (cliUs - loadCalcUs) / loadCalcUs;
    }
}

void CliArguments(benchmark::internal::Benchmark* b) {
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<int> threads = {1, 2};
    if (cores > 2) threads.push_back(cores);
    for (int t : threads) b->Args({t, 10000});
    b->Args({1, 1000});
    b->Args({cores, 1000});
    b->Args({cores, 100000});
    b->ArgNames({"threads", "files"});
}
BENCHMARK(BM_CliJson)->Apply(CliArguments)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace corvane
