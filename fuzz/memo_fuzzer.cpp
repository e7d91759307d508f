// Any bytes as a memo export: the readers and the namer must never crash, and
// every name they give must be safe on a FAT player and unique in the run,
// folders and notes alike. Bytes without a CR are read with LF line ends, as
// the export reads them. The same bytes are also read as a comma- and as a
// tab-separated export, and the form is detected as the export does it.

#include "ExportLimits.h"
#include "MemoReader.h"
#include "NoteNamer.h"
#include "SeparatedMemoReader.h"

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

// Every line of a separated memo ends with CR LF, whatever ended it in the
// source, and a memo never grows past the limit.
bool holdsOnlyWholeLines(const QByteArray &text)
{
    if (text.size() > ExportLimits::MemoBytes || !text.endsWith("\r\n"))
        return false;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (text[at] == '\r' && (at + 1 == text.size() || text[at + 1] != '\n'))
            return false;
        if (text[at] == '\n' && (at == 0 || text[at - 1] != '\r'))
            return false;
    }
    return true;
}

QList<Memo> separatedMemosOf(const uint8_t *data, size_t size, Separator separator)
{
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    buffer.open(QIODevice::ReadOnly);
    SeparatedMemoReader reader(buffer, separator);
    QList<Memo> memos;
    Expected<const Memo *, QString> next = reader.next();
    for (; next && *next; next = reader.next()) {
        const Memo *memo = *next;
        // A lone CR or LF becomes CR LF, so a note is at most twice its source.
        if (memo->title.isEmpty() || memo->titleLine < 1 || !holdsOnlyWholeLines(memo->text) ||
            memo->text.size() > 2 * qsizetype(size) + 2)
            std::abort();
        memos.append(*memo);
    }
    // Nothing more is read after the reading stopped.
    if (!next && reader.next().hasValue())
        std::abort();
    return memos;
}

// The detection leaves the source at its start, and a source it takes for a
// separated export is read without its first record breaking the form.
void checkDetection(const uint8_t *data, size_t size)
{
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    buffer.open(QIODevice::ReadOnly);
    const Expected<std::optional<Separator>, QString> separator =
        SeparatedMemoReader::separatorOf(buffer);
    if (!separator || buffer.pos() != 0)
        std::abort();
    if (!*separator)
        return;
    SeparatedMemoReader reader(buffer, **separator);
    Expected<const Memo *, QString> next = reader.next();
    while (next && *next)
        next = reader.next();
    if (!next && next.error().contains(QStringLiteral("starts on line 1 ")))
        std::abort();
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
    for (const Separator separator : {Separator::Comma, Separator::Tab}) {
        const QList<Memo> separated = separatedMemosOf(data, size, separator);
        checkNames(separated, QStringLiteral(".txt"));
        checkNames(separated, QString());
    }
    checkDetection(data, size);
    return 0;
}
