// Any bytes as a memo export: the reader and the namer must never crash, and
// every name they give must be safe on a FAT player and unique in the run.

#include "MemoReader.h"
#include "NoteNamer.h"

#include <QBuffer>
#include <QSet>
#include <cstdlib>

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    buffer.open(QIODevice::ReadOnly);
    LineReader lines(buffer);
    MemoReader reader(lines);
    NoteNamer namer(QStringLiteral(".txt"));
    QSet<QString> paths;
    while (std::optional<Memo> memo = reader.next()) {
        // Lone CRs become CR LF, so a note is at most twice its source.
        if (memo->title.isEmpty() || !memo->text.endsWith("\r\n") ||
            memo->text.size() > 2 * qsizetype(size) + 2)
            std::abort();
        const NotePath path = namer.name(*memo);
        if (!isSafeName(path.category, true) || !isSafeName(path.fileName, false))
            std::abort();
        if (!path.fileName.endsWith(QStringLiteral(".txt")))
            std::abort();
        const QString key = path.relativePath().toCaseFolded();
        if (paths.contains(key))
            std::abort();
        paths.insert(key);
    }
    return 0;
}
