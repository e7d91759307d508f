#include "SourceForms.h"

#include "DatabaseMemoReader.h"
#include "JPilotMemoReader.h"
#include "MemoFileReader.h"
#include "SeparatedMemoReader.h"
#include "TextDecoder.h"
#include "TextMemoReader.h"

#include <algorithm>

namespace {

using Reader = Result<std::unique_ptr<MemoSource>>;

constexpr QByteArrayView ByteOrderMark("\xEF\xBB\xBF");

template <typename Form, typename... Arguments> Reader readerOf(Arguments &&...arguments)
{
    return std::unique_ptr<MemoSource>(
        std::make_unique<Form>(std::forward<Arguments>(arguments)...));
}

Error readFailure(const ByteSource &source, Error::Reason reason, const QString &detail = {})
{
    return Error(reason, detail).during(Error::Action::ReadSource, source.path());
}

// Up to CheckedLength bytes from the start.
Result<QByteArray> startOf(ByteSource &source)
{
    QByteArray start(SourceForms::CheckedLength, Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < start.size()) {
        const Result<qsizetype> got = source.read(start.data() + filled, start.size() - filled);
        if (!got)
            return got.error();
        if (*got == 0)
            break;
        filled += *got;
    }
    start.truncate(filled);
    return start;
}

// A source without a single CR but with LF went through a Unix tool, so LF
// ends the Text form's lines. Past the start, the source is read on only until
// its first CR.
Result<LineEnd> lineEndOf(ByteSource &source, QByteArrayView start)
{
    bool holdsLineFeed = start.contains('\n');
    if (start.contains('\r'))
        return LineEnd::CarriageReturn;
    QByteArray chunk(SourceForms::CheckedLength, Qt::Uninitialized);
    for (qsizetype got = start.size(); got == SourceForms::CheckedLength;) {
        const Result<qsizetype> read = source.read(chunk.data(), chunk.size());
        if (!read)
            return read.error();
        got = *read;
        const QByteArrayView bytes(chunk.constData(), got);
        if (bytes.contains('\r'))
            return LineEnd::CarriageReturn;
        holdsLineFeed = holdsLineFeed || bytes.contains('\n');
    }
    return holdsLineFeed ? LineEnd::LineFeed : LineEnd::CarriageReturn;
}

// J-Pilot's export starts with a line that names it, and lays out each memo
// as category, private flag and text, every field quoted. Blank lines before
// that line are passed over, as the reader passes over them.
bool isJPilotExport(QByteArrayView start)
{
    if (start.startsWith(ByteOrderMark))
        start = start.sliced(ByteOrderMark.size());
    const auto blank = [](char c) { return c == ' ' || c == '\r' || c == '\n'; };
    start = start.sliced(std::find_if_not(start.begin(), start.end(), blank) - start.begin());
    return start.startsWith("CSV memo version ") || start.startsWith("CSV memos version ");
}

// The desktop program's separated export, told from its first two records. A
// Text export whose first memo begins with a quotation ("To be or not to be",
// he said) stays the Text form.
std::optional<SeparatedForm> separatedFormOf(const SeparatedMemoReader::FirstRecords &records)
{
    if (!records.first)
        return std::nullopt;
    const RecordShape &first = *records.first;
    const bool secondIsMemo = records.second && records.second->isMemo();
    SeparatedForm form;
    form.separator = records.separator;
    if (first.isMemo() && (first.opensQuoted || !records.second || secondIsMemo))
        return form;
    if (first.isHeader() && secondIsMemo) {
        form.header = true;
        return form;
    }
    // A first record broken in a way only a separated export can be: the
    // reading then stops there, saying so.
    if (first.quotedThenSeparator && secondIsMemo)
        return form;
    return std::nullopt;
}

// J-Pilot keeps the memos changed on the desktop and not yet synced in a file
// of the database's name ending in .pc3, beside it.
Path changesBeside(const Path &database)
{
    const QString name = database.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return database.parent() / QString((dot > 0 ? name.first(dot) : name) + u".pc3");
}

Reader databaseReader(ByteSource &source, const DatabaseMemoReader::Header &header,
                      MemoDecoder decoder)
{
    if (source.path().isEmpty())
        return readerOf<DatabaseMemoReader>(source, header, std::move(decoder));
    Result<std::unique_ptr<ByteSource>> changes = source.openOther(changesBeside(source.path()));
    if (!changes)
        return changes.error();
    if (*changes)
        return readerOf<JPilotMemoReader>(source, header, std::move(*changes), std::move(decoder));
    return readerOf<DatabaseMemoReader>(source, header, std::move(decoder));
}

// The desktop program keeps its memos in a .dat file, archives them in a .mpa
// file and backs them up in .bak files; a later version wrote some of these in
// a layout of its own, which its Export command reads.
bool isNamedLikeDesktopFile(const Path &path)
{
    const QString name = path.fileName();
    return name.endsWith(QLatin1String(".mpa"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".dat"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".bak"), Qt::CaseInsensitive);
}

Reader textOrSeparated(ByteSource &source, QByteArrayView start, MemoDecoder decoder)
{
    if (start.contains('\0'))
        return readFailure(source, isNamedLikeDesktopFile(source.path())
                                       ? Error::Reason::OtherMemoFileLayout
                                       : Error::Reason::NotText);
    const Result<LineEnd> lineEnd = lineEndOf(source, start);
    if (!lineEnd)
        return lineEnd.error();
    if (const Result<void> rewound = source.seek(0); !rewound)
        return rewound.error();
    if (isJPilotExport(start))
        return readerOf<SeparatedMemoReader>(
            source, SeparatedForm{Separator::Comma, SeparatedForm::Columns::CategoryFlagText, true},
            std::move(decoder));
    const Result<SeparatedMemoReader::FirstRecords> records =
        SeparatedMemoReader::firstRecords(source);
    if (!records)
        return records.error();
    if (const Result<void> rewound = source.seek(0); !rewound)
        return rewound.error();
    if (const std::optional<SeparatedForm> form = separatedFormOf(*records))
        return readerOf<SeparatedMemoReader>(source, *form, std::move(decoder));
    return readerOf<TextMemoReader>(source, std::move(decoder), *lineEnd);
}

// The reader of the source's form, not yet prepared.
Reader formReader(ByteSource &source, CharacterSet characters)
{
    Result<CharacterDecoder> decoder = CharacterDecoder::open(characters);
    if (!decoder)
        return decoder.error().during(Error::Action::ReadSource, source.path());
    const Result<QByteArray> start = startOf(source);
    if (!start)
        return start.error();
    if (MemoFileReader::isMemoFile(*start)) {
        if (const Result<void> rewound = source.seek(0); !rewound)
            return rewound.error();
        return readerOf<MemoFileReader>(source, MemoDecoder(std::move(*decoder)));
    }
    if (start->size() >= DatabaseMemoReader::HeaderSize) {
        const DatabaseMemoReader::Header header = DatabaseMemoReader::Header::of(*start);
        if (header.isMemoDatabase())
            return databaseReader(source, header, MemoDecoder(std::move(*decoder)));
        if (header.isDatabase())
            return readFailure(source, Error::Reason::OtherDatabase,
                               TextDecoder::decode(header.name));
    }
    return textOrSeparated(source, *start, MemoDecoder(std::move(*decoder)));
}

} // namespace

// Damage that only going through the whole source tells is found here, before
// anything is written.
Result<std::unique_ptr<MemoSource>> SourceForms::readerFor(ByteSource &source,
                                                           CharacterSet characters)
{
    Reader reader = formReader(source, characters);
    if (reader) {
        if (const Result<void> ready = (*reader)->prepare(); !ready)
            return ready.error();
    }
    return reader;
}
