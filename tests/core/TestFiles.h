#pragma once

#include <QByteArray>
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
};
