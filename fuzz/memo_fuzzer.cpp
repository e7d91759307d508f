// Any bytes as a memo export: the reader and the namer must never crash, and
// every name they give must be safe on a FAT player and unique in the run,
// folders and notes alike. Bytes without a CR are read with LF line ends, as
// the export reads them.

#include "MemoReader.h"
#include "NoteNamer.h"

#include <QBuffer>
#include <QSet>
#include <cstdlib>
#include <cstring>

namespace {

bool isSafeName(const QString &name, bool mayBeEmpty)
{
    if (name.isEmpty())
        return mayBeEmpty;
    for (const QChar character : name) {
        if (character.unicode() < 0x20 || character.unicode() == 0x7F ||
            QStringLiteral("/\\|:*?<>\"").contains(character))
            return false;
    }
    return !name.endsWith(QLatin1Char(' ')) && !name.endsWith(QLatin1Char('.'));
}

QList<Memo> memosOf(const uint8_t *data, size_t size)
{
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    buffer.open(QIODevice::ReadOnly);
    const bool holdsCarriageReturn = std::memchr(data, '\r', size) != nullptr;
    MemoReader reader(buffer, holdsCarriageReturn ? LineEnd::CarriageReturn : LineEnd::LineFeed);
    QList<Memo> memos;
    for (Expected<const Memo *, QString> next = reader.next(); next && *next;
         next = reader.next()) {
        const Memo *memo = *next;
        // Lone CRs become CR LF, so a note is at most twice its source.
        if (memo->title.isEmpty() || !memo->text.endsWith("\r\n") ||
            memo->text.size() > 2 * qsizetype(size) + 2)
            std::abort();
        memos.append(*memo);
    }
    return memos;
}

// Without an extension a note directly in the notes folder can want a
// category folder's name; with one it cannot.
void checkNames(const QList<Memo> &memos, const QString &extension)
{
    NoteNamer namer(extension);
    QSet<QString> paths; // notes and folders
    QSet<QString> folders;
    for (const Memo &memo : memos) {
        const NotePath path = namer.name(memo);
        if (!isSafeName(path.folder, true) || !isSafeName(path.fileName, false) ||
            !path.fileName.endsWith(extension))
            std::abort();
        const QString folder = path.folder.toCaseFolded();
        if (!folder.isEmpty() && !folders.contains(folder)) {
            if (paths.contains(folder))
                std::abort();
            folders.insert(folder);
            paths.insert(folder);
        }
        const QString key = path.relativePath().toCaseFolded();
        if (paths.contains(key))
            std::abort();
        paths.insert(key);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<Memo> memos = memosOf(data, size);
    checkNames(memos, QStringLiteral(".txt"));
    checkNames(memos, QString());
    return 0;
}
