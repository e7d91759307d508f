#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// A file or folder as the program names it and shows it: "/" between names,
// no "/" at the end but for the root itself, so that "/media/me/IPOD/" and
// "/media/me/IPOD" are one folder. Joining is done here and nowhere else. The
// system gets it as UTF-8, which is what Linux file names are.
class Path
{
public:
    Path() = default;
    explicit Path(QString path);
    // A path as a person types it: "~" and "~/..." stand for the home
    // folder, as in a shell.
    static Path typed(const QString &path);

    // `name` below this path; `name` may itself hold "/" ("Work/Plan"). An
    // empty path joined with a name is the name.
    Path operator/(QStringView name) const;
    bool operator==(const Path &) const = default;

    // The folder that holds it: "/media/me" for "/media/me/IPOD", "/" for
    // "/memos.txt"; empty for a name alone and for the root.
    Path parent() const;
    // Its last name: "IPOD" for "/media/me/IPOD"; empty for the root.
    QString fileName() const;
    // Whether `folder` holds it, at any depth below: "/media" holds
    // "/media/me/IPOD", but neither "/mediaX" nor "/media" itself. Compared as
    // text, so both must be written alike (absolute(), for example).
    bool hasAncestor(const Path &folder) const;
    // The same place with "." and ".." and doubled "/" resolved as text, links
    // left as they are.
    Path cleaned() const;
    // This path from the process's current folder on, where it is relative;
    // cleaned().
    Path absolute() const;

    bool isEmpty() const { return m_path.isEmpty(); }
    const QString &toString() const { return m_path; }
    // As a folder is shown where its content is meant: "/media/me/IPOD/Notes/".
    QString toFolderString() const;
    QByteArray toNative() const { return m_path.toUtf8(); }

    // A name in the system's form, written into `buffer`, whose memory is kept
    // from one name to the next: QString::toUtf8 would allocate for every note.
    static void encodeName(QStringView name, QByteArray &buffer);

private:
    QString m_path;
};
