#include "TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <sys/resource.h>

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

SoftLimit::SoftLimit(int resource, quint64 value) : m_resource(resource)
{
    rlimit limit{};
    ::getrlimit(resource, &limit);
    m_saved = limit.rlim_cur;
    limit.rlim_cur = value;
    if (::setrlimit(resource, &limit) != 0)
        qFatal("cannot lower the limit %d to %llu", resource,
               static_cast<unsigned long long>(value));
}

SoftLimit::~SoftLimit()
{
    rlimit limit{};
    ::getrlimit(m_resource, &limit);
    limit.rlim_cur = m_saved;
    ::setrlimit(m_resource, &limit);
}
