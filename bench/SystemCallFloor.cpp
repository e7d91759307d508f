#include "SystemCallFloor.h"

#include "ByteSource.h"
#include "NoteNamer.h"
#include "SourceForms.h"

#include <QFile>
#include <QSet>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QList<SystemCallFloor::Note> SystemCallFloor::notesOf(const QString &sourcePath, bool txt)
{
    QList<Note> notes;
    SourceFile source{Path(sourcePath)};
    if (!source.open())
        return notes;
    Result<std::unique_ptr<MemoSource>> reader = SourceForms::readerFor(source);
    if (!reader)
        return notes;
    NoteFolders folders;
    NoteNamer namer(folders, txt);
    for (Result<const Memo *> next = (*reader)->next(); next && *next; next = (*reader)->next()) {
        const Memo *memo = *next;
        const NotePath path = namer.name(memo->title, memo->category);
        notes.append({QFile::encodeName(path.folder->name),
                      QFile::encodeName(path.relativePath().toString()), memo->text.toUtf8()});
    }
    return notes;
}

bool SystemCallFloor::write(const QByteArray &notesFolder, const QList<Note> &notes)
{
    const auto makeFolder = [](const QByteArray &path) {
        return ::mkdir(path.constData(), 0777) == 0 || errno == EEXIST;
    };
    if (!makeFolder(notesFolder))
        return false;
    QSet<QByteArray> folders;
    for (const Note &note : notes) {
        if (!note.relativeFolder.isEmpty() && !folders.contains(note.relativeFolder)) {
            if (!makeFolder(notesFolder + '/' + note.relativeFolder))
                return false;
            folders.insert(note.relativeFolder);
        }
        const int file = ::open((notesFolder + '/' + note.relativePath).constData(),
                                O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (file < 0)
            return false;
        const bool written =
            ::write(file, note.text.constData(), note.text.size()) == note.text.size();
        if (::close(file) != 0 || !written)
            return false;
    }
    // The engine ends with one flush of the device; so does the floor.
    const int folder = ::open(notesFolder.constData(), O_RDONLY | O_DIRECTORY);
    const bool flushed = folder >= 0 && ::syncfs(folder) == 0;
    if (folder >= 0)
        ::close(folder);
    return flushed;
}
