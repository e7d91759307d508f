#include "Measure.h"

#include "ExportRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

class SilentProgress : public ExportProgress
{
public:
    void notesSaved(qint64) override {}
};

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

} // namespace

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

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

ProcessTiming timeEngineProcess(const QString &source, const QString &root, const QString &program)
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
