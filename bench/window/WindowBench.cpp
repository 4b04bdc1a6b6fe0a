// The station window on the offscreen platform: how long the real program
// takes to a painted window, how much CPU the window costs on the demo
// contact, and whether the displays keep up with the capture blocks.
//
//   build/bin/bench_window --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "app/CMainFrame.h"
#include "app/SystemDevices.h"
#include "form/DisplayWidget.h"
#include "form/Prompter.h"

namespace {

using morvane::form::DisplayWidget;
using morvane::form::Prompter;

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench_window";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

// No box may wait for a person during a measurement.
class SilentPrompter final : public Prompter {
  public:
    void Inform(QWidget*, const QString&) override {}
    Answer AskYesNoCancel(QWidget*, const QString&) override { return Answer::No; }
    int Run(QDialog&) override { return 0; }
    QString OpenFileName(QWidget*) override { return {}; }
    QString SaveFileName(QWidget*, const QString&) override { return {}; }
};

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void RunEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Counts the paint events a widget receives.
class PaintCounter final : public QObject {
  public:
    quint64 Paints = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++Paints;
        return QObject::eventFilter(watched, event);
    }
};

// The program as an operator starts it (the demo contact, a fresh profile),
// timed from the exec to the line it prints once the window has painted.
void BM_StartupToPaintedWindow(benchmark::State& state) {
    App();
    QTemporaryDir config;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    double ownReport = 0;
    for (auto _ : state) {
        QProcess program;
        program.setProcessEnvironment(env);
        QElapsedTimer wall;
        wall.start();
        program.start(QStringLiteral(MORVANE_PROGRAM_PATH),
                      {QStringLiteral("--demo"), QStringLiteral("--startup-time")});
        QByteArray out;
        while (!out.contains('\n') && wall.elapsed() < 20000 && program.waitForReadyRead(20000))
            out += program.readAllStandardOutput();
        state.SetIterationTime(static_cast<double>(wall.nsecsElapsed()) / 1e9);
        if (!out.startsWith("shown after ")) {
            state.SkipWithError("the program printed no start-up time");
            program.kill();
            program.waitForFinished(5000);
            break;
        }
        ownReport += out.mid(12).trimmed().split(' ').front().toDouble();
        if (!program.waitForFinished(10000)) {
            program.kill();
            program.waitForFinished(5000);
        }
    }
    state.counters["program_ms"] =
        benchmark::Counter(ownReport, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_StartupToPaintedWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The shown window on the demo contact with no operator: process CPU time
// over wall time (every thread: capture, decoding, keying timer, window),
// and the capture blocks against the pictures each display took and painted.
void BM_WindowOnDemoContact(benchmark::State& state) {
    App();
    const int runMs = static_cast<int>(state.range(0));
    QTemporaryDir config;
    double cpuPercent = 0, blocks = 0, levelTaken = 0, toneTaken = 0, levelPainted = 0,
           tonePainted = 0, stallMs = 0;
    for (auto _ : state) {
        SilentPrompter prompter;
        QSettings profile(config.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat);
        morvane::app::SystemDevices devices(true);
        auto frame =
            std::make_unique<morvane::app::CMainFrame>(devices.Config(), prompter, profile);
        auto& view = frame->View();
        view.Start();
        frame->show();
        RunEventsFor(1000);  // settled: first paints done, capture running

        auto* level = view.ControlAs<DisplayWidget>(1140);
        auto* tone = view.ControlAs<DisplayWidget>(1141);
        PaintCounter levelPaints, tonePaints;
        level->installEventFilter(&levelPaints);
        tone->installEventFilter(&tonePaints);
        auto* chain = view.Station().Chain();
        // Counted right after a drain of our own, so a block in flight at
        // either end is neither a drop nor an extra.
        view.PumpNow();
        const auto blocks0 = chain->LevelPicture.Version();
        const auto level0 = level->PicturesShown();
        const auto tone0 = tone->PicturesShown();
        const double cpu0 = CpuSeconds();
        // The longest the event loop went without turning, seen by a
        // 10 ms timer: a stall longer than a block drops a picture.
        QElapsedTimer sinceTurn;
        sinceTurn.start();
        qint64 longestStall = 0;
        QTimer turns;
        turns.setTimerType(Qt::PreciseTimer);
        QObject::connect(&turns, &QTimer::timeout,
                         [&] { longestStall = std::max(longestStall, sinceTurn.restart()); });
        turns.start(10);
        QElapsedTimer wall;
        wall.start();

        RunEventsFor(runMs);
        turns.stop();
        stallMs = std::max(stallMs, static_cast<double>(longestStall));
        view.PumpNow();

        const double cpu = CpuSeconds() - cpu0;
        const double elapsed = static_cast<double>(wall.nsecsElapsed()) / 1e9;
        blocks += static_cast<double>(chain->LevelPicture.Version() - blocks0);
        levelTaken += static_cast<double>(level->PicturesShown() - level0);
        toneTaken += static_cast<double>(tone->PicturesShown() - tone0);
        levelPainted += static_cast<double>(levelPaints.Paints);
        tonePainted += static_cast<double>(tonePaints.Paints);
        cpuPercent += 100.0 * cpu / elapsed;
        state.SetIterationTime(elapsed);
        level->removeEventFilter(&levelPaints);
        tone->removeEventFilter(&tonePaints);
        frame->close();
        frame.reset();
    }
    using benchmark::Counter;
    state.counters["cpu_pct"] = Counter(cpuPercent, Counter::kAvgIterations);
    state.counters["blocks"] = Counter(blocks, Counter::kAvgIterations);
    state.counters["level_taken"] = Counter(levelTaken, Counter::kAvgIterations);
    state.counters["tone_taken"] = Counter(toneTaken, Counter::kAvgIterations);
    state.counters["level_painted"] = Counter(levelPainted, Counter::kAvgIterations);
    state.counters["tone_painted"] = Counter(tonePainted, Counter::kAvgIterations);
    state.counters["stall_ms"] = Counter(stallMs);
    state.counters["dropped"] =
        Counter(blocks - std::min(levelTaken, toneTaken), Counter::kAvgIterations);
}
// A short run and a long one: a drain that beats against the capture clock
// drops pictures only now and then.
BENCHMARK(BM_WindowOnDemoContact)
    ->Arg(5000)
    ->Arg(60000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
