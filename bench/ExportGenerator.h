#pragma once

#include <QString>

// Writes a memo export the way the organiser does: title, body, flag and
// category lines ended by CR LF, blank lines between memos.
namespace ExportGenerator {

struct Shape
{
    qint64 memos = 32767;
    int categories = 20;
    qint64 bodyBytes = 200;    // per memo, roughly
    int distinctTitles = 5000; // fewer than memos, so titles repeat
};

bool write(const QString &path, const Shape &shape);

} // namespace ExportGenerator
