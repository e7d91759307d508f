// Any bytes as a memo export: the readers and the namer must never crash, and
// every name they give must be safe on a FAT player and unique in the run,
// folders and notes alike. Bytes without a CR are read with LF line ends, as
// the export reads them. The same bytes are also read as a comma- and as a
// tab-separated export, and as a memo database whatever their header says, and
// the form is told as the export tells it. Each input is read in one of the
// character sets a person may choose, the one its size picks, so that every
// seed is read in several as it grows; each memo's note is then encoded for an
// iPod and, where it is long, cut into parts that must give it back whole.
// They are read as the desktop program's memo file too, and as J-Pilot's
// changes beside a small database.

#include "DatabaseMemoReader.h"
#include "JPilotMemoReader.h"
#include "Limits.h"
#include "MemoDatabase.h"
#include "MemoFileReader.h"
#include "NoteNamer.h"
#include "NoteParts.h"
#include "SeparatedMemoReader.h"
#include "SourceForms.h"
#include "TextMemoReader.h"

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

CharacterSet characterSetFor(size_t size)
{
    const QList<CharacterSet> sets = CharacterSets::all();
    return sets[qsizetype(size % size_t(sets.size()))];
}

MemoDecoder decoderFor(size_t size)
{
    Result<CharacterDecoder> decoder = CharacterDecoder::open(characterSetFor(size));
    if (!decoder)
        std::abort();
    return MemoDecoder(std::move(*decoder));
}

QList<Memo> memosOf(const uint8_t *data, size_t size)
{
    MemoryBytes bytes(QByteArrayView(data, static_cast<qsizetype>(size)));
    const bool holdsCarriageReturn = std::memchr(data, '\r', size) != nullptr;
    TextMemoReader reader(bytes, decoderFor(size),
                          holdsCarriageReturn ? LineEnd::CarriageReturn : LineEnd::LineFeed);
    QList<Memo> memos;
    for (Result<const Memo *> next = reader.next(); next && *next; next = reader.next()) {
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
bool holdsOnlyWholeLines(const QString &text)
{
    if (text.size() > Limits::MemoBytes || !text.endsWith("\r\n"))
        return false;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (text[at] == u'\r' && (at + 1 == text.size() || text[at + 1] != u'\n'))
            return false;
        if (text[at] == u'\n' && (at == 0 || text[at - 1] != u'\r'))
            return false;
    }
    return true;
}

QList<Memo> separatedMemosOf(const uint8_t *data, size_t size, SeparatedForm form)
{
    MemoryBytes bytes(QByteArrayView(data, static_cast<qsizetype>(size)));
    SeparatedMemoReader reader(bytes, form, decoderFor(size));
    QList<Memo> memos;
    Result<const Memo *> next = reader.next();
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

// Memos kept whole, as records or entries: each a title and whole lines,
// counted in records, then perhaps in entries, and nothing more is read after
// the reading stopped.
QList<Memo> recordMemosOf(MemoSource &reader, size_t size)
{
    QList<Memo> memos;
    SourceUnit unit = SourceUnit::Record;
    Result<const Memo *> next = reader.next();
    for (; next && *next; next = reader.next()) {
        const Memo *memo = *next;
        if (memo->title.isEmpty() || memo->unit < unit || !holdsOnlyWholeLines(memo->text) ||
            memo->text.size() > 2 * qsizetype(size) + 2)
            std::abort();
        unit = memo->unit;
        memos.append(*memo);
    }
    if (!next && reader.next().hasValue())
        std::abort();
    return memos;
}

// Whatever the header says, the records are read as memos.
QList<Memo> databaseMemosOf(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    if (bytes.size() < DatabaseMemoReader::HeaderSize)
        return {};
    MemoryBytes source(bytes);
    DatabaseMemoReader reader(source, DatabaseMemoReader::Header::of(bytes), decoderFor(size));
    return recordMemosOf(reader, size);
}

// Whatever the tag says, the bytes are read as the desktop program's memo file.
QList<Memo> memoFileMemosOf(const uint8_t *data, size_t size)
{
    MemoryBytes source(QByteArrayView(data, static_cast<qsizetype>(size)));
    MemoFileReader reader(source, decoderFor(size));
    return recordMemosOf(reader, size);
}

// The bytes as J-Pilot's changes beside a database of two memos, whose
// unique IDs are 1 and 2.
QList<Memo> changedMemosOf(const uint8_t *data, size_t size)
{
    static const QByteArray database = [] {
        MemoDatabase memos;
        memos.records = {{"First", 1}, {"Second", 2}};
        return memos.bytes();
    }();
    MemoryBytes source(database);
    JPilotMemoReader reader(
        source, DatabaseMemoReader::Header::of(database),
        std::make_unique<MemoryBytes>(QByteArrayView(data, static_cast<qsizetype>(size))),
        decoderFor(size));
    return recordMemosOf(reader, size + size_t(database.size()));
}

// The reader the forms are told apart by reads the source from its start. A
// source taken for a separated export is read without its first record
// breaking the form, unless that record opens with a quote, as only a
// separated export's does.
void checkDetection(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    MemoryBytes source(bytes);
    Result<std::unique_ptr<MemoSource>> reader =
        SourceForms::readerFor(source, characterSetFor(size));
    if (!reader)
        return;
    Result<const Memo *> next = (*reader)->next();
    while (next && *next)
        next = (*reader)->next();
    const bool firstRecordBroken = !next && next.error().line() == 1 &&
                                   (next.error().reason() == Error::Reason::NotCommaRecord ||
                                    next.error().reason() == Error::Reason::NotTabRecord);
    qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < bytes.size() &&
           (bytes[start] == ' ' || bytes[start] == '\r' || bytes[start] == '\n'))
        ++start;
    if (firstRecordBroken && (start == bytes.size() || bytes[start] != '"'))
        std::abort();
}

// Without an extension a note directly in the notes folder can want a
// category folder's name; with one it cannot.
void checkNames(const QList<Memo> &memos, const QString &extension)
{
    NoteFolders noteFolders;
    NoteNamer namer(noteFolders, !extension.isEmpty());
    QSet<QString> paths; // notes and folders
    QSet<QString> folders;
    for (const Memo &memo : memos) {
        const NotePath path = namer.name(memo.title, memo.category);
        if (!isSafeName(path.folder->name, true) || !isSafeName(path.fileName, false) ||
            !path.fileName.endsWith(extension))
            std::abort();
        const QString folder = path.folder->name.toCaseFolded();
        if (!folder.isEmpty() && !folders.contains(folder)) {
            if (paths.contains(folder))
                std::abort();
            folders.insert(folder);
            paths.insert(folder);
        }
        const QString key = path.relativePath().toString().toCaseFolded();
        if (paths.contains(key))
            std::abort();
        paths.insert(key);
    }
}

// Each part fits what an iPod shows, and the parts give back the note's text.
void checkParts(const QList<Memo> &memos, NoteDestination destination)
{
    Result<NoteEncoder> encoder = NoteEncoder::forDestination(destination);
    if (!encoder)
        std::abort();
    for (const Memo &memo : memos) {
        const EncodedNote note = encoder->encode(memo.text);
        const QList<QByteArray> files = NoteParts::filesOf(
            note, [](int part) { return "N (part " + QByteArray::number(part) + ")"; });
        QByteArray text;
        for (qsizetype part = 0; part < files.size(); ++part) {
            QByteArrayView file = files[part];
            if ((files.size() > 1 && file.size() > Player::ShownNoteBytes) ||
                !file.startsWith(note.encodingLine))
                std::abort();
            file = file.sliced(note.encodingLine.size());
            if (part + 1 < files.size()) {
                const QByteArray link =
                    "\r\n" +
                    NoteParts::link("N (part " + QByteArray::number(part + 2) + ")", int(part) + 2,
                                    int(files.size())) +
                    "\r\n";
                if (!file.endsWith(link))
                    std::abort();
                file.chop(link.size());
            }
            text += file;
        }
        if (text != note.text)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<Memo> memos = memosOf(data, size);
    checkNames(memos, QStringLiteral(".txt"));
    checkNames(memos, QString());
    checkParts(memos, size % 2 ? NoteDestination::IPod : NoteDestination::MacIPod);
    using Columns = SeparatedForm::Columns;
    for (const SeparatedForm form :
         {SeparatedForm{Separator::Comma}, SeparatedForm{Separator::Tab},
          SeparatedForm{Separator::Comma, Columns::CategoryFlagText, true}}) {
        const QList<Memo> separated = separatedMemosOf(data, size, form);
        checkNames(separated, QStringLiteral(".txt"));
        checkNames(separated, QString());
    }
    for (const QList<Memo> &records :
         {databaseMemosOf(data, size), memoFileMemosOf(data, size), changedMemosOf(data, size)})
        checkNames(records, QStringLiteral(".txt"));
    checkDetection(data, size);
    return 0;
}
