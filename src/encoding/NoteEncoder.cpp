#include "NoteEncoder.h"

#include <cstring>

namespace {

// Whether no UTF-16 unit of the text has a bit of `mask`, four units at a
// time: every note's text passes through here.
bool lacksBits(QStringView text, quint16 mask)
{
    constexpr qsizetype Units = sizeof(quint64) / sizeof(char16_t);
    const quint64 masks = quint64(mask) * 0x0001000100010001;
    qsizetype at = 0;
    for (; at + Units <= text.size(); at += Units) {
        quint64 word;
        std::memcpy(&word, text.data() + at, sizeof word);
        if ((word & masks) != 0)
            return false;
    }
    for (; at < text.size(); ++at) {
        if ((text[at].unicode() & mask) != 0)
            return false;
    }
    return true;
}

bool isLatin1(QStringView text)
{
    return lacksBits(text, 0xFF00);
}

bool isAscii(QStringView text)
{
    return lacksBits(text, 0xFF80);
}

} // namespace

Result<NoteEncoder> NoteEncoder::forDestination(NoteDestination destination)
{
    if (destination != NoteDestination::MacIPod)
        return NoteEncoder(destination, std::nullopt);
    Result<CharacterEncoder> macRoman = CharacterEncoder::open(CharacterSet::MacRoman);
    if (!macRoman)
        return macRoman.error();
    return NoteEncoder(destination, std::move(*macRoman));
}

NoteEncoder::NoteEncoder(NoteDestination destination, std::optional<CharacterEncoder> macRoman)
    : m_destination(destination), m_macRoman(std::move(macRoman))
{
}

EncodedNote NoteEncoder::encode(const QString &text)
{
    EncodedNote note;
    if (m_destination == NoteDestination::IPod && isLatin1(text)) {
        note.encoding = EncodedNote::Encoding::Latin1;
        note.text = text.toLatin1();
        return note;
    }
    // ASCII is the same in Mac OS Roman, and most notes are ASCII.
    if (m_destination == NoteDestination::MacIPod && isAscii(text)) {
        note.encoding = EncodedNote::Encoding::MacRoman;
        note.text = text.toLatin1();
        return note;
    }
    if (m_destination == NoteDestination::MacIPod) {
        if (std::optional<QByteArray> macRoman = m_macRoman->encode(text)) {
            note.encoding = EncodedNote::Encoding::MacRoman;
            note.text = std::move(*macRoman);
            return note;
        }
    }
    if (m_destination != NoteDestination::Folder)
        note.encodingLine = Utf8Line.toByteArray();
    note.text = text.toUtf8();
    return note;
}

QByteArray NoteEncoder::encodeName(QStringView name, EncodedNote::Encoding encoding)
{
    switch (encoding) {
    case EncodedNote::Encoding::Latin1:
        return name.toLatin1();
    case EncodedNote::Encoding::MacRoman:
        // Only a note on a Mac's iPod is in Mac OS Roman; a name fits it
        // wherever its note's text does, as Latin-1 then would.
        return m_macRoman->encode(name).value_or(name.toLatin1());
    case EncodedNote::Encoding::Utf8:
        break;
    }
    return name.toUtf8();
}
