#include "NoteParts.h"

#include "Limits.h"

namespace {

constexpr QByteArrayView LineEnd = "\r\n";

bool isUtf8Continuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Where a part of `text` that starts at `from` ends, at most `room` bytes on.
qsizetype endOfPart(const EncodedNote &note, qsizetype from, qsizetype room)
{
    const QByteArrayView text = note.text;
    const qsizetype limit = from + room;
    if (const qsizetype lineEnd = text.lastIndexOf(LineEnd, limit - LineEnd.size());
        lineEnd >= from)
        return lineEnd + LineEnd.size();
    // A line longer than a part: the part ends between characters.
    qsizetype end = limit;
    if (note.encoding == EncodedNote::Encoding::Utf8) {
        while (isUtf8Continuation(text[end]))
            --end;
    }
    if (text[end - 1] == '\r' && text[end] == '\n')
        --end;
    return end;
}

// The files of the parts, their links saying there are `count` of them; as
// many as it takes, which may be more or fewer.
QList<QByteArray> cut(const EncodedNote &note, const NoteParts::NameOfPart &nameOfPart, int count)
{
    const qsizetype room = Player::ShownNoteBytes - note.encodingLine.size();
    QList<QByteArray> files;
    for (qsizetype from = 0;;) {
        if (note.text.size() - from <= room) {
            files << note.encodingLine + note.text.sliced(from);
            return files;
        }
        const int next = int(files.size()) + 2;
        const QByteArray link =
            LineEnd.toByteArray() + NoteParts::link(nameOfPart(next), next, count) + LineEnd;
        const qsizetype end = endOfPart(note, from, room - link.size());
        files << note.encodingLine + note.text.sliced(from, end - from) + link;
        from = end;
    }
}

} // namespace

// Each link names the count of parts, which the links' lengths decide in
// turn. A longer count only makes the links longer and the parts more, so
// counting up from two reaches the count that holds.
QList<QByteArray> NoteParts::filesOf(const EncodedNote &note, const NameOfPart &nameOfPart)
{
    if (note.size() <= Player::ShownNoteBytes)
        return {note.encodingLine + note.text};
    QList<QByteArray> files;
    for (int count = 2;; count = int(files.size())) {
        files = cut(note, nameOfPart, count);
        if (files.size() == count)
            return files;
    }
}

QByteArray NoteParts::link(QByteArrayView name, int part, int count)
{
    return "<A HREF=\"" + name.toByteArray() + "\" NOPUSH>Part " + QByteArray::number(part) +
           " of " + QByteArray::number(count) + "</A>";
}
