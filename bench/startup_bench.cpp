// Start-up of the desktop program to its main window shown (offscreen),
// against a bare QMainWindow, and the resident memory of each.
//
// Each measured start is a fresh process (this program run with --child):
// it creates the application and the window, waits until the window is
// exposed, reports its resident memory and ends.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QProcess>
#include <QTest>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>

#include "app/Application.h"
#include "ui/CalcPanel.h"
#include "ui/MainWindow.h"
#include "ui/platform/RecordingPlatform.h"

namespace {

const char* g_self = nullptr;

long ResidentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4;  // 4 KiB pages
}

int Child(const char* what, int argc, char** argv) {
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    std::unique_ptr<QMainWindow> window;
    corvane::RecordingPlatform platform;
    if (std::strcmp(what, "corvane") == 0) {
        corvane::SetProgramFont(app);
        corvane::PanelServices services;
        services.platform = &platform;
        window = std::make_unique<corvane::MainWindow>(platform.locale(), services, "/");
    } else {
        window = std::make_unique<QMainWindow>();
        window->setWindowTitle("bare");
        window->resize(986, 680);
        // A window with one line of text: the font set-up every program
        // that shows text pays, for comparison.
        if (std::strcmp(what, "text") == 0) {
            corvane::SetProgramFont(app);
            window->setCentralWidget(new QLabel("Corvane"));
        }
    }
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) return 1;
    std::printf("%ld\n", ResidentKb());
    return 0;
}

void BM_Startup(benchmark::State& state, const char* what) {
    long rss = 0;
    for (auto _ : state) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.start(g_self, {"--child", what});
        if (!p.waitForFinished(30000) || p.exitCode() != 0) {
            state.SkipWithError("child did not start");
            return;
        }
        rss = p.readAllStandardOutput().trimmed().toLong();
    }
    state.counters["rss_kb"] = static_cast<double>(rss);
}
BENCHMARK_CAPTURE(BM_Startup, bare_window, "bare")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Startup, text_window, "text")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Startup, corvane, "corvane")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--child") == 0) return Child(argv[2], argc, argv);
    g_self = argv[0];
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
