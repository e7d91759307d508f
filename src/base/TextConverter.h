#pragma once

#include "CharacterSet.h"
#include "Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <memory>
#include <optional>

// Text in the character sets of CharacterSet, to Unicode and back, through the
// system's converter (iconv): apart from the file system layer and the
// termination signals, the one place that calls the system and looks at an
// error number. A converter is used by one thread at a time. Opening one fails
// only on a system whose iconv lacks the set's module.
using ConverterHandle = std::unique_ptr<void, void (*)(void *)>;

// Bytes in a character set to text.
class CharacterDecoder
{
public:
    static Result<CharacterDecoder> open(CharacterSet set);

    CharacterSet set() const { return m_set; }
    // Each byte that starts no character of the set, and each one of a
    // character cut off at the end, becomes U+FFFD, and `replaced` turns true.
    // Windows-1252 has no such byte: the five it leaves undefined keep their
    // Latin-1 value, so that no byte is ever lost.
    QString decode(QByteArrayView bytes, bool &replaced);

private:
    CharacterDecoder(CharacterSet set, ConverterHandle handle);

    CharacterSet m_set;
    ConverterHandle m_handle; // none for Windows-1252, which is read from a table
};

// Text to bytes in a character set.
class CharacterEncoder
{
public:
    static Result<CharacterEncoder> open(CharacterSet set);

    // Nothing where a character of the text has no place in the set.
    std::optional<QByteArray> encode(QStringView text);

private:
    explicit CharacterEncoder(ConverterHandle handle);

    ConverterHandle m_handle;
};
