// quillet-bench: times the export engine against the bare system calls that
// write the same notes and against the window's export (offscreen), or exports
// one given file so that it can be timed and measured from outside.

#include "ExportGenerator.h"
#include "ExportRun.h"
#include "SystemCallFloor.h"
#include "WindowExport.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int Rounds = 9;

class SilentProgress : public ExportProgress
{
public:
    void captionChanged(const QString &) override {}
};

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

long peakMemoryKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int exportOne(const QString &source, const QString &root, bool txt)
{
    SilentProgress progress;
    QElapsedTimer timer;
    timer.start();
    const ExportResult result = ExportRun(source, root, txt ? 1 : 0).run(progress);
    if (!result.succeeded()) {
        std::fprintf(stderr, "%s\n", qPrintable(result.errorMessage));
        return 1;
    }
    std::printf("%lld notes exported in %.3f s; peak memory %.1f MiB\n",
                static_cast<long long>(result.noteCount), timer.nsecsElapsed() / 1e9,
                peakMemoryKiB() / 1024.0);
    return 0;
}

// Seconds for one engine export into a fresh folder below `scratch`.
double timeEngine(const QString &source, const QString &scratch)
{
    const QString root = scratch + "/engine";
    QDir(root).removeRecursively();
    QDir().mkpath(root);
    SilentProgress progress;
    QElapsedTimer timer;
    timer.start();
    const ExportResult result = ExportRun(source, root, 0).run(progress);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!result.succeeded())
        qFatal("engine export failed: %s", qPrintable(result.errorMessage));
    return seconds;
}

double timeWindow(const QString &source, const QString &scratch)
{
    const QString root = scratch + "/window";
    QDir(root).removeRecursively();
    QDir().mkpath(root);
    QElapsedTimer timer;
    timer.start();
    if (exportThroughWindow(source, root, false) < 0)
        qFatal("window export failed below %s", qPrintable(root));
    return timer.nsecsElapsed() / 1e9;
}

double timeFloor(const QList<SystemCallFloor::Note> &notes, const QString &scratch)
{
    const QString root = scratch + "/floor";
    QDir(root).removeRecursively();
    QDir().mkpath(root);
    QElapsedTimer timer;
    timer.start();
    if (!SystemCallFloor::write(QFile::encodeName(root + "/Notes"), notes))
        qFatal("bare system calls failed below %s", qPrintable(root));
    return timer.nsecsElapsed() / 1e9;
}

int compareWithFloor()
{
    QTemporaryDir scratch(QStringLiteral("/dev/shm/quillet-bench-XXXXXX"));
    if (!scratch.isValid()) {
        std::fprintf(stderr, "cannot make a folder in /dev/shm: %s\n",
                     qPrintable(scratch.errorString()));
        return 1;
    }
    const QString source = scratch.filePath("memos.txt");
    if (!ExportGenerator::write(source, {})) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(source));
        return 1;
    }
    const QList<SystemCallFloor::Note> notes = SystemCallFloor::notesOf(source, false);
    // Each round times the three one after the other, and the ratios are taken
    // within a round, so that a slow spell of the machine hits both sides.
    QList<double> engine, floor, window, engineRatio, windowRatio;
    for (int round = 0; round < Rounds; ++round) {
        engine << timeEngine(source, scratch.path());
        floor << timeFloor(notes, scratch.path());
        window << timeWindow(source, scratch.path());
        engineRatio << engine.last() / floor.last();
        windowRatio << window.last() / engine.last();
    }
    std::printf("%lld memos in 20 categories, %s, medians of %d rounds\n",
                static_cast<long long>(notes.size()), qPrintable(scratch.path()), Rounds);
    std::printf("engine:             %.3f s\n", median(engine));
    std::printf("bare system calls:  %.3f s\n", median(floor));
    std::printf("window (offscreen): %.3f s\n", median(window));
    std::printf("engine / floor:     %.2f   (target at most 1.30)\n", median(engineRatio));
    std::printf("window / engine:    %.2f   (target at most 1.10)\n", median(windowRatio));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // The window's export runs offscreen; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillet"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Without options: times the engine against bare system calls on a generated export "
        "of 32,767 memos in /dev/shm.");
    parser.addHelpOption();
    parser.addOption({"source", "Export FILE instead.", "FILE"});
    parser.addOption({"root", "Destination root for --source (notes go into DIR/Notes/).", "DIR"});
    parser.addOption({"txt", "Add .txt to note names (with --source)."});
    parser.addOption({"generate", "Write a generated export to FILE and stop.", "FILE"});
    parser.addOption({"memos", "Memos for --generate (default 32767).", "N", "32767"});
    parser.addOption({"memo-bytes", "Bytes per memo for --generate (default 200).", "N", "200"});
    parser.process(app);

    if (parser.isSet("generate")) {
        ExportGenerator::Shape shape;
        shape.memos = parser.value("memos").toLongLong();
        shape.bodyBytes = parser.value("memo-bytes").toLongLong();
        return ExportGenerator::write(parser.value("generate"), shape) ? 0 : 1;
    }
    if (parser.isSet("source")) {
        if (!parser.isSet("root"))
            parser.showHelp(2);
        return exportOne(parser.value("source"), parser.value("root"), parser.isSet("txt"));
    }
    return compareWithFloor();
}
