// Start-up of the desktop program to the first frame of its main window,
// against a bare QMainWindow and a window with one label, each start a
// fresh process, the three in one run.
//
// The program starts as a user gets it: the real start (RunCorvane: the
// single-instance server, the stock data files and a user data file of a
// realistic size read from beside the program, the splash, the dialogs),
// on the platform of the environment (QT_QPA_PLATFORM; xcb where a DISPLAY
// is set, offscreen otherwise).  For that the benchmark copies itself with
// the stock files into a temporary folder and writes the user files there.
//
// Every child, the comparison windows included, ends at the same moment: just
// after the first paint of its main window has been handled, when it
// prints its resident memory.  BM_StartupRatios starts the three in turn
// and gives the medians of Corvane's time and memory over the bare window's.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/Application.h"

namespace {

namespace fs = std::filesystem;

long ResidentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Ends the process once the first paint of a main window has been handled.
class FirstFrame : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && qobject_cast<QMainWindow*>(watched) && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, [] {
                std::printf("%ld\n", ResidentKb());
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    bool seen_ = false;
};

void WatchForFirstFrame() { QCoreApplication::instance()->installEventFilter(new FirstFrame); }

int Child(const char* what, int argc, char** argv) {
    qAddPreRoutine(WatchForFirstFrame);
    if (std::strcmp(what, "corvane") == 0) return corvane::RunCorvane(argc, argv);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QMainWindow window;
    window.setWindowTitle("bare");
    window.resize(986, 680);
    // A window with one line of text: the font set-up every program that
    // shows text pays, for comparison.
    if (std::strcmp(what, "text") == 0) {
        corvane::SetProgramFont(app);
        window.setCentralWidget(new QLabel("Corvane"));
    }
    window.show();
    return QApplication::exec();
}

// The folder a user's copy of the program runs from.
struct Installation {
    fs::path folder;
    fs::path program;
    ~Installation() {
        if (!folder.empty()) fs::remove_all(folder);
    }
};
std::unique_ptr<Installation> g_installation;

// User data files of a realistic size: 150 fluids and 200 pipes of one's
// own, in the files' Windows-1252 with CR LF.
void WriteUserFiles(const fs::path& folder) {
    std::ofstream fluids(folder / "CorvaneUserFluids.dat", std::ios::binary);
    for (int i = 0; i < 150; ++i)
        fluids << (i % 5 == 0 ? 21 : 11) << "\tProcess fluid " << i << "\t" << 10 + i % 60 << "\xb0" << "C\t"
               << 0.5 + i * 0.731 << "000\t" << 0.70 + (i % 40) * 0.01 << "0000\r\n";
    std::ofstream pipes(folder / "CorvaneUserPipeID.dat", std::ios::binary);
    for (int i = 0; i < 200; ++i) {
        const double mm = 10.0 + i * 2.5;
        pipes << "11\tPlant standard " << i / 20 << "\t" << i << "\"\t" << mm << "00\t" << mm / 25.4 << "\r\n";
    }
}

// One start of `what` in a fresh process: its time to the first frame in
// milliseconds and its resident memory then in KiB, or nothing.
struct Start {
    double ms = 0;
    long rssKb = 0;
};
std::optional<Start> StartOnce(const char* what) {
    static int run = 0;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains("QT_QPA_PLATFORM")) env.insert("QT_QPA_PLATFORM", env.contains("DISPLAY") ? "xcb" : "offscreen");
    env.insert("XDG_DATA_HOME", QString::fromStdString((g_installation->folder / "home").string()));
    // A name of its own: no start meets a copy that runs already.
    env.insert("CORVANE_INSTANCE_KEY", QString("startup-bench-%1-%2").arg(::getpid()).arg(++run));
    QProcess p;
    p.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    p.start(QString::fromStdString(g_installation->program.string()), {"--child", what});
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return std::nullopt;
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    return Start{ms, p.readAllStandardOutput().trimmed().toLong()};
}

void BM_Startup(benchmark::State& state, const char* what) {
    long rss = 0;
    for (auto _ : state) {
        const auto start = StartOnce(what);
        if (!start) {
            state.SkipWithError("child did not reach its first frame");
            return;
        }
        rss = start->rssKb;
    }
    state.counters["rss_kb"] = static_cast<double>(rss);
}
BENCHMARK_CAPTURE(BM_Startup, bare_window, "bare")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Startup, text_window, "text")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Startup, corvane, "corvane")->Unit(benchmark::kMillisecond)->UseRealTime();

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The three starts side by side, in turn, so that a busy machine weighs on
// each alike: the medians of each and of Corvane's ratios to the bare window
// (each ratio taken within one round).
void BM_StartupRatios(benchmark::State& state) {
    const char* kinds[] = {"bare", "text", "corvane"};
    std::vector<double> ms[3], rss[3], timeRatio, textRatio, memoryRatio;
    for (auto _ : state) {
        Start round[3];
        for (int k = 0; k < 3; ++k) {
            const auto start = StartOnce(kinds[k]);
            if (!start) {
                state.SkipWithError("child did not reach its first frame");
                return;
            }
            round[k] = *start;
            ms[k].push_back(start->ms);
            rss[k].push_back(static_cast<double>(start->rssKb));
        }
        timeRatio.push_back(round[2].ms / round[0].ms);
        textRatio.push_back(round[1].ms / round[0].ms);
        memoryRatio.push_back(static_cast<double>(round[2].rssKb) / static_cast<double>(round[0].rssKb));
    }
    for (int k = 0; k < 3; ++k) {
        state.counters[std::string(kinds[k]) + "_ms"] = Median(ms[k]);
        state.counters[std::string(kinds[k]) + "_rss_kb"] = Median(rss[k]);
    }
    state.counters["corvane_per_bare_time"] = Median(timeRatio);
    state.counters["text_per_bare_time"] = Median(textRatio);
    state.counters["corvane_per_bare_memory"] = Median(memoryRatio);
}
BENCHMARK(BM_StartupRatios)->Iterations(15)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--child") == 0) return Child(argv[2], argc, argv);
    // The program as installed: this executable, the stock files beside it
    // and the user's files.
    g_installation = std::make_unique<Installation>();
    g_installation->folder = fs::temp_directory_path() / ("corvane-startup-" + std::to_string(::getpid()));
    fs::create_directories(g_installation->folder / "home");
    g_installation->program = g_installation->folder / "corvane";
    fs::copy_file(fs::read_symlink("/proc/self/exe"), g_installation->program);
    for (const char* stock : {"CorvaneFluidsO.dat", "CorvanePipeIDO.dat"})
        fs::copy_file(fs::path(CORVANE_STOCK_DATA) / stock, g_installation->folder / stock);
    WriteUserFiles(g_installation->folder);

    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    g_installation.reset();
    return 0;
}
