#include "TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

void TestFiles::write(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write test file %s", qPrintable(path));
}

QByteArray TestFiles::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

QStringList TestFiles::listRecursively(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

QMap<QString, QByteArray> TestFiles::contentsBelow(const QString &folder)
{
    QMap<QString, QByteArray> contents;
    for (const QString &file : listRecursively(folder))
        contents.insert(file, read(QDir(folder).filePath(file)));
    return contents;
}
