#include "Path.h"

#include <QDir>
#include <QStringEncoder>

Path::Path(QString path) : m_path(std::move(path))
{
    while (m_path.size() > 1 && m_path.endsWith(u'/'))
        m_path.chop(1);
}

Path Path::typed(const QString &path)
{
    if (path == u'~')
        return Path(QDir::homePath());
    if (path.startsWith(QStringLiteral("~/")))
        return Path(QDir::homePath()) / QStringView(path).sliced(2);
    return Path(path);
}

Path Path::operator/(QStringView name) const
{
    if (m_path.isEmpty())
        return Path(name.toString());
    if (m_path.endsWith(u'/'))
        return Path(m_path + name);
    return Path(m_path + u'/' + name);
}

Path Path::parent() const
{
    const qsizetype slash = m_path.lastIndexOf(u'/');
    if (slash < 0 || m_path == u'/')
        return {};
    return Path(m_path.first(qMax<qsizetype>(slash, 1)));
}

QString Path::fileName() const
{
    if (m_path == u'/')
        return {};
    return m_path.sliced(m_path.lastIndexOf(u'/') + 1);
}

bool Path::hasAncestor(const Path &folder) const
{
    const QString &outer = folder.m_path;
    if (outer.isEmpty() || m_path.size() <= outer.size() || !m_path.startsWith(outer))
        return false;
    return outer.endsWith(u'/') || m_path[outer.size()] == u'/';
}

QString Path::toFolderString() const
{
    return m_path.endsWith(u'/') ? m_path : m_path + u'/';
}

void Path::encodeName(QStringView name, QByteArray &buffer)
{
    QStringEncoder utf8(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    buffer.resize(utf8.requiredSpace(name.size()));
    buffer.resize(utf8.appendToBuffer(buffer.data(), name) - buffer.constData());
}

Path Path::cleaned() const
{
    return Path(QDir::cleanPath(m_path));
}

Path Path::absolute() const
{
    if (m_path.startsWith(u'/'))
        return cleaned();
    return (Path(QDir::currentPath()) / m_path).cleaned();
}
