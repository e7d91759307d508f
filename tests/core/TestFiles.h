#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// Small file helpers shared by the core tests.
class TestFiles
{
public:
    static void write(const QString &path, const QByteArray &content);
    static QByteArray read(const QString &path);
    // Every file below `folder`, as paths relative to it, sorted.
    static QStringList listRecursively(const QString &folder);
    // Every file below `folder` with what it holds, by relative path.
    static QMap<QString, QByteArray> contentsBelow(const QString &folder);
};
