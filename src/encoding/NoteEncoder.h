#pragma once

#include "Result.h"
#include "TextConverter.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>

// Where a note goes, as far as its bytes are concerned.
enum class NoteDestination {
    Folder,  // anywhere but an iPod: UTF-8, the text of a Linux desktop
    IPod,    // reads a note as Latin-1 unless its first line says otherwise
    MacIPod, // an iPod formatted for a Mac (HFS+): reads Mac OS Roman instead
};

// A note's text in the bytes its destination reads.
struct EncodedNote
{
    enum class Encoding { Utf8, Latin1, MacRoman };

    Encoding encoding = Encoding::Utf8;
    // Tells an iPod that the note is UTF-8; an iPod shows a note in one
    // encoding, and newer ones hide this line. Empty where none is needed.
    QByteArray encodingLine;
    QByteArray text;

    // Of the note's file.
    qsizetype size() const { return encodingLine.size() + text.size(); }
};

// Encodes every note of one run for its destination. On an iPod a note whose
// every character has a place in the encoding it reads by default is written
// in that encoding, any other in UTF-8 with the line that says so.
class NoteEncoder
{
public:
    static constexpr QByteArrayView Utf8Line = "<?xml encoding=\"UTF8\"?>\r\n";

    // Fails where the system cannot convert to Mac OS Roman.
    static Result<NoteEncoder> forDestination(NoteDestination destination);

    NoteDestination destination() const { return m_destination; }
    EncodedNote encode(const QString &text);
    // A name that stands in the text of a note, in that note's encoding. The
    // note's name is made of its title's characters and ASCII, so it fits
    // wherever its text does.
    QByteArray encodeName(QStringView name, EncodedNote::Encoding encoding);

private:
    NoteEncoder(NoteDestination destination, std::optional<CharacterEncoder> macRoman);

    NoteDestination m_destination;
    std::optional<CharacterEncoder> m_macRoman; // on a Mac's iPod alone
};
