#include "SettingsFile.h"

#include "TextDecoder.h"

#include <QList>
#include <limits>
#include <optional>

namespace {

// The source, the drive and the flag must be there; the character set may not.
constexpr int RequiredFields = 3;
constexpr int FieldCount = 4;

bool isLineEnd(char character)
{
    return character == '\r' || character == '\n';
}

// The text of a quoted field that opens at `position`, with each doubled
// quote read as one; `position` moves past the closing quote. Without a
// closing quote the field runs to the end.
QByteArray quotedField(QByteArrayView content, qsizetype &position)
{
    QByteArray field;
    ++position;
    while (position < content.size()) {
        const qsizetype quote = content.indexOf('"', position);
        const qsizetype end = quote < 0 ? content.size() : quote;
        field.append(content.sliced(position, end - position));
        position = end + 1;
        if (quote < 0 || position >= content.size() || content[position] != '"')
            break;
        field.append('"');
        ++position;
    }
    return field;
}

// Splits the record into fields: a field that starts with a double quote runs
// to the next double quote that is not doubled; any other field ends at a
// comma or a line end. Spaces before a field are skipped.
QList<QByteArray> splitFields(QByteArrayView content)
{
    QList<QByteArray> fields;
    qsizetype position = 0;
    while (fields.size() < FieldCount && position < content.size()) {
        while (position < content.size() && content[position] == ' ')
            ++position;
        if (position < content.size() && content[position] == '"') {
            fields.append(quotedField(content, position));
        } else {
            qsizetype end = position;
            while (end < content.size() && content[end] != ',' && !isLineEnd(content[end]))
                ++end;
            fields.append(content.sliced(position, end - position).trimmed().toByteArray());
            position = end;
        }
        // Skip what remains up to and including the separator.
        while (position < content.size() && content[position] != ',' &&
               !isLineEnd(content[position]))
            ++position;
        if (position < content.size() && content[position] == '\r' &&
            position + 1 < content.size() && content[position + 1] == '\n')
            ++position;
        ++position;
    }
    return fields;
}

// A double quote inside the text is written doubled, so every path comes back.
QByteArray quoted(const QString &text)
{
    return '"' + text.toUtf8().replace('"', "\"\"") + '"';
}

std::optional<qint16> parseFlag(QByteArrayView field)
{
    if (field.isEmpty())
        return std::nullopt;
    bool isNumber = false;
    const int value = field.toInt(&isNumber);
    if (!isNumber || value < std::numeric_limits<qint16>::min() ||
        value > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return static_cast<qint16>(value);
}

} // namespace

QByteArray SettingsFile::format(const SettingsRecord &record)
{
    return quoted(record.sourcePath) + ',' + quoted(record.driveString) + ',' +
           QByteArray::number(record.extensionFlag) + ',' +
           quoted(CharacterSets::nameOf(record.characterSet)) + "\r\n";
}

Result<SettingsRecord> SettingsFile::parse(QByteArrayView content)
{
    const QList<QByteArray> fields = splitFields(content);
    const std::optional<qint16> flag =
        fields.size() < RequiredFields ? std::nullopt : parseFlag(fields[2]);
    if (!flag)
        return Error(Error::Reason::MalformedSettings);
    const std::optional<CharacterSet> characters =
        fields.size() < FieldCount ? std::nullopt
                                   : CharacterSets::named(QString::fromLatin1(fields[3]));
    return SettingsRecord{TextDecoder::decode(fields[0]), TextDecoder::decode(fields[1]), *flag,
                          characters.value_or(CharacterSet::Western)};
}
