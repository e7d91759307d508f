#pragma once

#include "Memo.h"
#include "NotePath.h"

#include <QHash>
#include <QSet>
#include <QString>

// Turns memo titles and categories into names a FAT player accepts and keeps
// the notes of one run from overwriting each other.
class NoteNamer
{
public:
    explicit NoteNamer(QString extension);

    static QString cleanTitle(const QString &title);
    static QString cleanCategory(const QString &category);

    // A path not yet given out in this run, compared ignoring case as FAT does:
    // " (2)", " (3)", ... is added to the title until the path is free.
    NotePath name(const Memo &memo);

private:
    static QString replaceUnsafeCharacters(const QString &name);

    QString m_extension;
    QSet<QString> m_taken;
    QHash<QString, int> m_lastSuffix;
};
