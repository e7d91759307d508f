#pragma once

#include "SystemCallFloor.h"
#include "WindowExport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>

// What the benchmark measures with: one export timed by the engine, a process
// of its own, the window or the bare system calls, and what an export changed.

double median(QList<double> values);

// Exports `source` into root/Notes/ and prints the time and peak memory it
// took, as `quillet-bench --source` does; the exit status of that program.
int exportOne(const QString &source, const QString &root, bool txt);
// The bare system calls writing the notes an export of `source` would write,
// into root/Notes/, over whatever is there; the exit status as exportOne's.
int writeBare(const QString &source, const QString &root, bool txt);

// scratch/name, emptied.
QString freshFolder(const QString &scratch, const QString &name);

// Seconds for one engine export into `root`.
double timeEngine(const QString &source, const QString &root);
// One export by a program of its own: its whole time, from the start of the
// process to its exit, and the export's own time as the program reports it.
struct ProcessTiming
{
    double wholeSeconds = 0;
    double exportSeconds = 0;
};

ProcessTiming timeProcess(const QString &program, const QStringList &arguments);
// `quillet-bench --source` of this build or another, exporting into `root`.
ProcessTiming timeEngineProcess(const QString &source, const QString &root,
                                const QString &program = QCoreApplication::applicationFilePath());
WindowExport timeWindow(const QString &source, const QString &root);
double timeFloor(const QList<SystemCallFloor::Note> &notes, const QString &root);

// Every file and folder below `root` with what writing to it changes: its size
// and its change time, which a file put in another's place has of its own.
QMap<QString, QPair<qint64, QDateTime>> stateBelow(const QString &root);
// How many entries differ between two states of a folder.
qint64 differences(const QMap<QString, QPair<qint64, QDateTime>> &before,
                   const QMap<QString, QPair<qint64, QDateTime>> &after);
