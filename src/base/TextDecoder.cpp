#include "TextDecoder.h"

#include <QStringDecoder>
#include <cstring>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The memos' text passes through these once each, so they look at eight
// bytes at a time.
constexpr quint64 Ones = 0x0101010101010101;
constexpr quint64 HighBits = Ones << 7;

quint64 wordAt(const char *bytes)
{
    quint64 word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// Whether one of the eight bytes of `word` is 0x80..0x9F: those bytes become
// zero, and only a zero byte turns its top bit on here.
bool holdsWindowsOnlyByte(quint64 word)
{
    const quint64 zeroWhereFound = (word & (Ones * 0xE0)) ^ HighBits;
    return ((zeroWhereFound - Ones) & ~zeroWhereFound & HighBits) != 0;
}

bool holdsWindowsOnlyByte(QByteArrayView bytes)
{
    qsizetype at = 0;
    for (; at + qsizetype(sizeof(quint64)) <= bytes.size(); at += sizeof(quint64)) {
        if (holdsWindowsOnlyByte(wordAt(bytes.data() + at)))
            return true;
    }
    for (; at < bytes.size(); ++at) {
        if ((static_cast<unsigned char>(bytes[at]) & 0xE0) == 0x80)
            return true;
    }
    return false;
}

} // namespace

// Names in a folder and paths in the record are read by the ten thousand and
// are mostly ASCII, which Latin-1 decoding turns into text fastest.
QString TextDecoder::decode(QByteArrayView bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    return bytes.isValidUtf8() ? decodeUtf8(bytes) : decodeWindows1252(bytes);
}

// QString::fromUtf8 drops a byte-order mark at the start; here it stays.
QString TextDecoder::decodeUtf8(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return utf8.decode(bytes);
}

// Latin-1 decoding is fast, and most bytes above 0x7F mean the same in
// Windows-1252 (a Western é, say): only those of 0x80..0x9F are replaced.
QString TextDecoder::decodeWindows1252(QByteArrayView bytes)
{
    QString text = QString::fromLatin1(bytes);
    if (!holdsWindowsOnlyByte(bytes))
        return text;
    QChar *out = text.data();
    for (qsizetype at = 0; at < bytes.size(); ++at) {
        const auto value = static_cast<unsigned char>(bytes[at]);
        if ((value & 0xE0) == 0x80)
            out[at] = QChar(Windows1252High[value - 0x80]);
    }
    return text;
}

bool TextDecoder::isAscii(QByteArrayView bytes)
{
    qsizetype at = 0;
    for (; at + qsizetype(sizeof(quint64)) <= bytes.size(); at += sizeof(quint64)) {
        if ((wordAt(bytes.data() + at) & HighBits) != 0)
            return false;
    }
    for (; at < bytes.size(); ++at) {
        if (static_cast<unsigned char>(bytes[at]) >= 0x80)
            return false;
    }
    return true;
}
