#pragma once

#include <QString>

// Writes generated memos the way the organiser does: as the desktop program's
// Text export (title, body, flag and category lines ended by CR LF, blank lines
// between memos), as its own memo database, or as the desktop program's memo
// file. The same shape gives the same notes every way.
namespace ExportGenerator {

struct Shape
{
    qint64 memos = 32767;
    int categories = 20;       // a memo database holds at most 16, the first "Unfiled"
    qint64 bodyBytes = 200;    // per memo, roughly
    int distinctTitles = 5000; // fewer than memos, so titles repeat
};

bool write(const QString &path, const Shape &shape);
bool writeDatabase(const QString &path, const Shape &shape);
bool writeMemoFile(const QString &path, const Shape &shape);

} // namespace ExportGenerator
