#include "SourceForms.h"

#include "LineReader.h"
#include "SeparatedMemoReader.h"
#include "TextMemoReader.h"

namespace {

// One pass before the run, which stops at the first CR after the checked
// start: what ends the Text form's lines, unless a NUL byte says this is no
// text. The source is left at its start.
Result<LineEnd> lineEndOf(ByteSource &source)
{
    QByteArray chunk(SourceForms::CheckedLength, Qt::Uninitialized);
    qint64 position = 0;
    bool holdsCarriageReturn = false;
    bool holdsLineFeed = false;
    while (!holdsCarriageReturn || position < SourceForms::CheckedLength) {
        const Result<qsizetype> got = source.read(chunk.data(), chunk.size());
        if (!got)
            return got.error();
        if (*got == 0)
            break;
        const QByteArrayView read(chunk.constData(), *got);
        if (position < SourceForms::CheckedLength &&
            read.first(qMin<qint64>(*got, SourceForms::CheckedLength - position)).contains('\0'))
            return Error(Error::Reason::NotText).during(Error::Action::ReadSource, source.path());
        position += *got;
        holdsCarriageReturn = holdsCarriageReturn || read.contains('\r');
        holdsLineFeed = holdsLineFeed || read.contains('\n');
    }
    if (const Result<void> rewound = source.seek(0); !rewound)
        return rewound.error();
    return holdsLineFeed && !holdsCarriageReturn ? LineEnd::LineFeed : LineEnd::CarriageReturn;
}

} // namespace

Result<std::unique_ptr<MemoSource>> SourceForms::readerFor(ByteSource &source)
{
    const Result<LineEnd> lineEnd = lineEndOf(source);
    if (!lineEnd)
        return lineEnd.error();
    const Result<std::optional<Separator>> separator = SeparatedMemoReader::separatorOf(source);
    if (!separator)
        return separator.error();
    if (*separator)
        return std::unique_ptr<MemoSource>(
            std::make_unique<SeparatedMemoReader>(source, **separator));
    return std::unique_ptr<MemoSource>(std::make_unique<TextMemoReader>(source, *lineEnd));
}
