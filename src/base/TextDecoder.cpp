#include "TextDecoder.h"

#include <QStringDecoder>
#include <algorithm>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F. The five bytes it
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) keep their Latin-1 value so
// that no byte is ever lost.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        *out++ =
            (value >= 0x80 && value < 0xA0) ? QChar(Windows1252High[value - 0x80]) : QChar(value);
    }
    return text;
}

// Byte length of the first `count` code points of valid UTF-8, and whether
// they are all ASCII.
struct Utf8Prefix
{
    qsizetype length = 0;
    bool isAscii = true;
};

Utf8Prefix utf8Prefix(QByteArrayView bytes, qsizetype count)
{
    Utf8Prefix prefix;
    for (qsizetype seen = 0; seen < count && prefix.length < bytes.size(); ++seen) {
        prefix.isAscii = prefix.isAscii && static_cast<unsigned char>(bytes[prefix.length]) < 0x80;
        do {
            ++prefix.length;
        } while (prefix.length < bytes.size() &&
                 (static_cast<unsigned char>(bytes[prefix.length]) & 0xC0) == 0x80);
    }
    return prefix;
}

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

// QString::fromUtf8 drops a byte-order mark at the start; here it stays.
QString decodeUtf8(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return utf8.decode(bytes);
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

// Titles are decoded for every memo and are mostly ASCII, which Latin-1
// decoding turns into text fastest.
QString TextDecoder::decodePrefix(QByteArrayView bytes, qsizetype count)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes.first(qMin(count, bytes.size())));
    if (!bytes.isValidUtf8())
        return decodeWindows1252(bytes.first(qMin(count, bytes.size())));
    const Utf8Prefix prefix = utf8Prefix(bytes, count);
    if (prefix.isAscii)
        return QString::fromLatin1(bytes.first(prefix.length));
    return decodeUtf8(bytes.first(prefix.length));
}
