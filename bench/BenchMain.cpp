// quillet-bench: times the export engine against the bare system calls that
// write the same notes and against the window's export (offscreen), or exports
// one given file so that it can be timed and measured from outside. Exporting
// one file runs the engine as a program that only exports would: on Qt Core,
// without starting a window platform.

#include "ExportGenerator.h"
#include "ExportRun.h"
#include "SystemCallFloor.h"
#include "WindowExport.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <sys/resource.h>

namespace {

constexpr int Rounds = 9;

class SilentProgress : public ExportProgress
{
public:
    void notesSaved(qint64) override {}
};

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A line of /proc/self/status in KiB, such as "VmRSS" (resident now) or
// "VmHWM" (the peak), or -1.
long statusKiB(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Starts the peak over at what is resident now, so that the peak after the
// export is the export's own and not that of Qt's start-up.
void resetPeakMemory()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

// Wall-clock and processor time of one stretch of work; the split between the
// program's own work and the kernel's shows where a difference lies.
class Stopwatch
{
public:
    Stopwatch() : m_start(now()) { m_timer.start(); }
    QString report() const
    {
        const rusage end = now();
        return QString::asprintf("%.3f s (user %.3f s, system %.3f s)",
                                 static_cast<double>(m_timer.nsecsElapsed()) / 1e9,
                                 seconds(end.ru_utime) - seconds(m_start.ru_utime),
                                 seconds(end.ru_stime) - seconds(m_start.ru_stime));
    }

private:
    static rusage now()
    {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage;
    }
    static double seconds(const timeval &time)
    {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    }

    rusage m_start;
    QElapsedTimer m_timer;
};

int exportOne(const QString &source, const QString &root, bool txt)
{
    SilentProgress progress;
    resetPeakMemory();
    const long residentBefore = statusKiB("VmRSS");
    const Stopwatch stopwatch;
    const ExportResult result = ExportRun(Path(source), Path(root), txt).run(progress);
    const long peak = statusKiB("VmHWM");
    std::printf("%lld notes exported in %s; peak memory %.1f MiB, %.1f MiB more than before "
                "the export\n",
                static_cast<long long>(result.noteCount), qPrintable(stopwatch.report()),
                static_cast<double>(peak) / 1024.0,
                static_cast<double>(peak - residentBefore) / 1024.0);
    if (result.succeeded())
        return 0;
    std::fprintf(stderr, "%s\n", qPrintable(result.message()));
    return 1;
}

// The bare system calls writing the notes an export of `source` would write,
// into root/Notes/, over whatever is there.
int writeBare(const QString &source, const QString &root, bool txt)
{
    const QList<SystemCallFloor::Note> notes = SystemCallFloor::notesOf(source, txt);
    const Stopwatch stopwatch;
    if (!SystemCallFloor::write(QFile::encodeName(root + "/Notes"), notes)) {
        std::fprintf(stderr, "bare system calls failed below %s\n", qPrintable(root));
        return 1;
    }
    std::printf("%lld notes written with bare system calls in %s\n",
                static_cast<long long>(notes.size()), qPrintable(stopwatch.report()));
    return 0;
}

QString freshFolder(const QString &scratch, const QString &name)
{
    QString root = scratch + QLatin1Char('/') + name;
    QDir(root).removeRecursively();
    QDir().mkpath(root);
    return root;
}

// Seconds for one engine export into `root`.
double timeEngine(const QString &source, const QString &root)
{
    SilentProgress progress;
    QElapsedTimer timer;
    timer.start();
    const ExportResult result = ExportRun(Path(source), Path(root), false).run(progress);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (!result.succeeded())
        qFatal("engine export failed: %s", qPrintable(result.message()));
    return seconds;
}

// One export by a program of its own: its whole time, from the start of the
// process to its exit, and the export's own time as the program reports it.
struct ProcessTiming
{
    double wholeSeconds = 0;
    double exportSeconds = 0;
};

ProcessTiming timeProcess(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    const bool finished = process.waitForFinished(-1);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        qFatal("%s %s failed", qPrintable(program), qPrintable(arguments.join(u' ')));
    static const QRegularExpression reported(QStringLiteral("exported in ([0-9.]+) s"));
    const QRegularExpressionMatch match =
        reported.match(QString::fromLocal8Bit(process.readAllStandardOutput()));
    return {seconds, match.hasMatch() ? match.captured(1).toDouble() : 0};
}

// `quillet-bench --source` of this build or another, exporting into `root`.
ProcessTiming timeEngineProcess(const QString &source, const QString &root,
                                const QString &program = QCoreApplication::applicationFilePath())
{
    return timeProcess(program,
                       {QStringLiteral("--source"), source, QStringLiteral("--root"), root});
}

WindowExport timeWindow(const QString &source, const QString &root)
{
    const WindowExport result = exportThroughWindow(source, root, false);
    if (result.notes < 0)
        qFatal("window export failed below %s", qPrintable(root));
    return result;
}

double timeFloor(const QList<SystemCallFloor::Note> &notes, const QString &root)
{
    QElapsedTimer timer;
    timer.start();
    if (!SystemCallFloor::write(QFile::encodeName(root + "/Notes"), notes))
        qFatal("bare system calls failed below %s", qPrintable(root));
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

struct Timings
{
    QList<double> engine, floor, process, window, engineAgain, floorAgain;
    QList<double> engineRatio, processRatio, windowRatio, windowToEngine, againRatio;
    double longestPaintGap = 0;
    qint64 changedAgain = 0; // files and folders that exporting again changed, any round
};

// Every file and folder below `root` with what writing to it changes: its size
// and its change time, which a file put in another's place has of its own.
QMap<QString, QPair<qint64, QDateTime>> stateBelow(const QString &root)
{
    QMap<QString, QPair<qint64, QDateTime>> state;
    QDirIterator entries(root,
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QFileInfo entry = entries.nextFileInfo();
        state.insert(entry.filePath(), {entry.size(), entry.metadataChangeTime()});
    }
    return state;
}

qint64 differences(const QMap<QString, QPair<qint64, QDateTime>> &before,
                   const QMap<QString, QPair<qint64, QDateTime>> &after)
{
    qint64 count = 0;
    for (auto entry = after.cbegin(); entry != after.cend(); ++entry)
        count += before.value(entry.key()) != entry.value() ? 1 : 0;
    for (auto entry = before.cbegin(); entry != before.cend(); ++entry)
        count += after.contains(entry.key()) ? 0 : 1;
    return count;
}

// One round: a fresh export by each, then the engine over its own unchanged
// notes and the floor rewriting its files in place. The ratios are taken
// within the round, so that a slow spell of the machine hits both sides.
void timeRound(const QString &source, const QList<SystemCallFloor::Note> &notes,
               const QString &scratch, Timings &t)
{
    const QString engineRoot = freshFolder(scratch, QStringLiteral("engine"));
    const QString floorRoot = freshFolder(scratch, QStringLiteral("floor"));
    t.engine << timeEngine(source, engineRoot);
    t.floor << timeFloor(notes, floorRoot);
    t.process
        << timeEngineProcess(source, freshFolder(scratch, QStringLiteral("process"))).wholeSeconds;
    const WindowExport window = timeWindow(source, freshFolder(scratch, QStringLiteral("window")));
    t.window << window.secondsFromClick;
    t.longestPaintGap = std::max(t.longestPaintGap, window.longestPaintGapSeconds);
    const auto before = stateBelow(engineRoot);
    t.engineAgain << timeEngine(source, engineRoot);
    t.changedAgain += differences(before, stateBelow(engineRoot));
    t.floorAgain << timeFloor(notes, floorRoot);
    t.engineRatio << t.engine.last() / t.floor.last();
    t.processRatio << t.process.last() / t.floor.last();
    t.windowRatio << t.window.last() / t.floor.last();
    t.windowToEngine << t.window.last() / t.engine.last();
    t.againRatio << t.engineAgain.last() / t.floorAgain.last();
}

// The forms a source can be generated in.
enum class Form { Text, Database, MemoFile };

// A source of `memos` generated memos on the RAM disk, or nothing where it
// cannot be made.
std::optional<QString> generatedSource(const QTemporaryDir &scratch, qint64 memos,
                                       Form form = Form::Text, int categories = 20)
{
    if (!scratch.isValid()) {
        std::fprintf(stderr, "cannot make a folder in /dev/shm: %s\n",
                     qPrintable(scratch.errorString()));
        return std::nullopt;
    }
    const QString source = scratch.filePath(form == Form::Database   ? "MemoDB.pdb"
                                            : form == Form::MemoFile ? "memopad.dat"
                                                                     : "memos.txt");
    ExportGenerator::Shape shape;
    shape.memos = memos;
    shape.categories = categories;
    const bool written = form == Form::Database   ? ExportGenerator::writeDatabase(source, shape)
                         : form == Form::MemoFile ? ExportGenerator::writeMemoFile(source, shape)
                                                  : ExportGenerator::write(source, shape);
    if (!written) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(source));
        return std::nullopt;
    }
    return source;
}

int compareWithFloor(qint64 memos)
{
    const QTemporaryDir scratch(QStringLiteral("/dev/shm/quillet-bench-XXXXXX"));
    const std::optional<QString> source = generatedSource(scratch, memos);
    if (!source)
        return 1;
    const QList<SystemCallFloor::Note> notes = SystemCallFloor::notesOf(*source, false);
    Timings t;
    for (int round = 0; round < Rounds; ++round)
        timeRound(*source, notes, scratch.path(), t);
    std::printf("%lld memos in 20 categories, %s, medians of %d rounds\n",
                static_cast<long long>(notes.size()), qPrintable(scratch.path()), Rounds);
    std::printf("fresh export:  engine %.3f s, engine's whole process %.3f s, window (offscreen) "
                "%.3f s, bare calls %.3f s\n",
                median(t.engine), median(t.process), median(t.window), median(t.floor));
    std::printf("export again:  engine %.3f s, bare calls rewriting in place %.3f s\n",
                median(t.engineAgain), median(t.floorAgain));
    std::printf("engine / bare calls, fresh:        %.2f   (target at most 1.10)\n",
                median(t.engineRatio));
    std::printf("engine's process / bare calls:     %.2f   (target at most 1.20)\n",
                median(t.processRatio));
    std::printf("window / bare calls, fresh:        %.2f   (target at most 1.20)\n",
                median(t.windowRatio));
    std::printf("window / engine, fresh:            %.2f   (target at most 1.10)\n",
                median(t.windowToEngine));
    std::printf("engine again / bare calls rewrite: %.2f   (target at most 1.00)\n",
                median(t.againRatio));
    std::printf("files the engine's export again changed on the player, all rounds: %lld   "
                "(target 0)\n",
                static_cast<long long>(t.changedAgain));
    std::printf("longest the Export button went unpainted, any round: %.0f ms   (target at "
                "most 100)\n",
                t.longestPaintGap * 1000);
    return 0;
}

// A fresh destination folder for an export: an iPod's where `iPod`, which
// holds the player's control folder and gets notes in an iPod's encodings and
// long ones in parts.
QString freshDestination(const QString &scratch, const QString &name, bool iPod)
{
    QString root = freshFolder(scratch, name);
    if (iPod)
        QDir(root).mkdir(QStringLiteral("iPod_Control"));
    return root;
}

// This build's engine against another build's, each `quillet-bench --source`
// on the same generated export, taking turns which goes first, into a plain
// folder and into an iPod's. The export's own time, as each process reports
// it, is what changes with the engine; the whole process is shown beside it.
int compareWithProgram(const QString &other, qint64 memos)
{
    const QTemporaryDir scratch(QStringLiteral("/dev/shm/quillet-bench-XXXXXX"));
    const std::optional<QString> source = generatedSource(scratch, memos);
    if (!source)
        return 1;
    std::printf("%lld memos, %s, medians of %d rounds, each build's --source in turn\n",
                static_cast<long long>(memos), qPrintable(scratch.path()), Rounds);
    for (const bool iPod : {false, true}) {
        QList<double> ours, theirs, exportRatios, processRatios;
        for (int round = 0; round < Rounds; ++round) {
            ProcessTiming ourTiming, theirTiming;
            const auto timeOurs = [&] {
                ourTiming =
                    timeEngineProcess(*source, freshDestination(scratch.path(), "ours", iPod));
            };
            const auto timeTheirs = [&] {
                theirTiming = timeEngineProcess(
                    *source, freshDestination(scratch.path(), "theirs", iPod), other);
            };
            if (round % 2 == 0) {
                timeOurs();
                timeTheirs();
            } else {
                timeTheirs();
                timeOurs();
            }
            ours << ourTiming.exportSeconds;
            theirs << theirTiming.exportSeconds;
            exportRatios << ourTiming.exportSeconds / theirTiming.exportSeconds;
            processRatios << ourTiming.wholeSeconds / theirTiming.wholeSeconds;
        }
        std::printf("into %s:\n", iPod ? "an iPod's folder" : "a plain folder");
        std::printf("  export:  this build %.3f s, %s %.3f s\n", median(ours), qPrintable(other),
                    median(theirs));
        std::printf("  this build / the other, the export:        %.3f\n", median(exportRatios));
        std::printf("  this build / the other, the whole process: %.3f   (target at most "
                    "1.10)\n",
                    median(processRatios));
    }
    return 0;
}

// The same memos as the organiser's memo database, or the desktop program's
// memo file, and as a Text export, each exported by a `quillet-bench --source`
// process of its own, taking turns which goes first; the notes of the two are
// compared once.
int compareWithText(Form form, qint64 memos)
{
    // A memo database names at most 16 categories.
    constexpr int Categories = 15;
    const QTemporaryDir scratch(QStringLiteral("/dev/shm/quillet-bench-XXXXXX"));
    const std::optional<QString> text = generatedSource(scratch, memos, Form::Text, Categories);
    const std::optional<QString> other = generatedSource(scratch, memos, form, Categories);
    if (!text || !other)
        return 1;
    const char *name = form == Form::Database ? "memo database" : "memo file";
    QList<double> textSeconds, otherSeconds, ratios;
    for (int round = 0; round < Rounds; ++round) {
        const QString textRoot = freshFolder(scratch.path(), "text");
        const QString otherRoot = freshFolder(scratch.path(), "other");
        double textTime = 0;
        double otherTime = 0;
        if (round % 2 == 0) {
            textTime = timeEngineProcess(*text, textRoot).wholeSeconds;
            otherTime = timeEngineProcess(*other, otherRoot).wholeSeconds;
        } else {
            otherTime = timeEngineProcess(*other, otherRoot).wholeSeconds;
            textTime = timeEngineProcess(*text, textRoot).wholeSeconds;
        }
        textSeconds << textTime;
        otherSeconds << otherTime;
        ratios << otherTime / textTime;
    }
    const bool sameNotes =
        QProcess::execute(QStringLiteral("diff"),
                          {QStringLiteral("-r"), QStringLiteral("-q"), scratch.filePath("text"),
                           scratch.filePath("other")}) == 0;
    std::printf("%lld memos in %d categories, %s, medians of %d rounds, each a whole --source "
                "process\n",
                static_cast<long long>(memos), Categories, qPrintable(scratch.path()), Rounds);
    std::printf("%s %.3f s, Text export %.3f s; the same notes: %s\n", name, median(otherSeconds),
                median(textSeconds), sameNotes ? "yes" : "NO");
    std::printf("%s / Text export:       %.3f   (target at most 1.10)\n", name, median(ratios));
    return sameNotes ? 0 : 1;
}

// The program's own export from a terminal, `PROGRAM --export`, against the
// engine's `quillet-bench --source`, each a whole process on the same
// generated export, taking turns which goes first.
int compareCommandLine(const QString &program, qint64 memos)
{
    const QTemporaryDir scratch(QStringLiteral("/dev/shm/quillet-bench-XXXXXX"));
    const std::optional<QString> source = generatedSource(scratch, memos);
    if (!source)
        return 1;
    QList<double> commandLine, engine, ratios;
    for (int round = 0; round < Rounds; ++round) {
        const QString programRoot = freshFolder(scratch.path(), "program");
        const QString engineRoot = freshFolder(scratch.path(), "engine");
        const auto timeProgram = [&] {
            return timeProcess(program, {QStringLiteral("--export"), *source,
                                         QStringLiteral("--to"), programRoot})
                .wholeSeconds;
        };
        const auto timeEngine = [&] { return timeEngineProcess(*source, engineRoot).wholeSeconds; };
        double programTime = 0;
        double engineTime = 0;
        if (round % 2 == 0) {
            programTime = timeProgram();
            engineTime = timeEngine();
        } else {
            engineTime = timeEngine();
            programTime = timeProgram();
        }
        commandLine << programTime;
        engine << engineTime;
        ratios << programTime / engineTime;
    }
    std::printf("%lld memos, %s, medians of %d rounds, each a whole process\n",
                static_cast<long long>(memos), qPrintable(scratch.path()), Rounds);
    std::printf("%s --export %.3f s, quillet-bench --source %.3f s\n", qPrintable(program),
                median(commandLine), median(engine));
    std::printf("--export / --source:               %.3f   (target at most 1.05)\n",
                median(ratios));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Without options: times the engine, its whole process and the window against bare system "
        "calls on a generated export in /dev/shm, fresh and exported again.");
    parser.addHelpOption();
    parser.addOption({"source", "Export FILE instead.", "FILE"});
    parser.addOption({"root", "Destination root for --source (notes go into DIR/Notes/).", "DIR"});
    parser.addOption({"txt", "Add .txt to note names (with --source)."});
    parser.addOption({"bare", "With --source: write the same notes with bare system calls "
                              "instead, rewriting files in place."});
    parser.addOption({"generate", "Write a generated export to FILE and stop.", "FILE"});
    parser.addOption({"memos", "Memos generated (default 32767).", "N", "32767"});
    parser.addOption({"memo-bytes", "Bytes per memo for --generate (default 200).", "N", "200"});
    parser.addOption({"database", "With --generate: write a memo database instead. Alone: time a "
                                  "memo database against a Text export of the same memos."});
    parser.addOption({"memo-file", "With --generate: write the desktop program's memo file "
                                   "instead. Alone: time a memo file against a Text export of the "
                                   "same memos."});
    parser.addOption({"command-line",
                      "Time PROGRAM --export, the program's export from a "
                      "terminal, against --source on the same generated export.",
                      "PROGRAM"});
    parser.addOption({"against",
                      "Time this build's engine against PROGRAM, another build's "
                      "quillet-bench, on the same generated export, into a plain folder and "
                      "into an iPod's.",
                      "PROGRAM"});
    const bool parsed = parser.parse(arguments);
    const bool engineOnly = parsed && (parser.isSet("source") || parser.isSet("generate") ||
                                       parser.isSet("against") || parser.isSet("database") ||
                                       parser.isSet("memo-file") || parser.isSet("command-line"));
    // The window's export runs offscreen; no display is needed.
    if (!engineOnly && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app =
        engineOnly ? std::make_unique<QCoreApplication>(argc, argv)
                   : std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillet"));
    if (!parsed) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        parser.showHelp(2);
    }
    if (parser.isSet("help"))
        parser.showHelp(0);

    if (parser.isSet("generate")) {
        ExportGenerator::Shape shape;
        shape.memos = parser.value("memos").toLongLong();
        shape.bodyBytes = parser.value("memo-bytes").toLongLong();
        if (parser.isSet("database")) {
            shape.categories = 15;
            return ExportGenerator::writeDatabase(parser.value("generate"), shape) ? 0 : 1;
        }
        if (parser.isSet("memo-file"))
            return ExportGenerator::writeMemoFile(parser.value("generate"), shape) ? 0 : 1;
        return ExportGenerator::write(parser.value("generate"), shape) ? 0 : 1;
    }
    if (parser.isSet("source")) {
        if (!parser.isSet("root"))
            parser.showHelp(2);
        if (parser.isSet("bare"))
            return writeBare(parser.value("source"), parser.value("root"), parser.isSet("txt"));
        return exportOne(parser.value("source"), parser.value("root"), parser.isSet("txt"));
    }
    if (parser.isSet("database"))
        return compareWithText(Form::Database, parser.value("memos").toLongLong());
    if (parser.isSet("memo-file"))
        return compareWithText(Form::MemoFile, parser.value("memos").toLongLong());
    if (parser.isSet("command-line"))
        return compareCommandLine(parser.value("command-line"), parser.value("memos").toLongLong());
    if (parser.isSet("against"))
        return compareWithProgram(parser.value("against"), parser.value("memos").toLongLong());
    return compareWithFloor(parser.value("memos").toLongLong());
}
