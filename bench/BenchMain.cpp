// quillet-bench: times the export engine against the bare system calls that
// write the same notes and against the window's export (offscreen), or exports
// one given file so that it can be timed and measured from outside. Exporting
// one file runs the engine as a program that only exports would: on Qt Core,
// without starting a window platform.

#include "ExportGenerator.h"
#include "ExportRun.h"
#include "Measure.h"
#include "SystemCallFloor.h"
#include "WindowExport.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

constexpr int Rounds = 9;

struct Timings
{
    QList<double> engine, floor, process, window, engineAgain, floorAgain;
    QList<double> engineRatio, processRatio, windowRatio, windowToEngine, againRatio;
    double longestPaintGap = 0;
    qint64 changedAgain = 0; // files and folders that exporting again changed, any round
};

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
