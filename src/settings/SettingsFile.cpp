#include "SettingsFile.h"

#include "TextDecoder.h"

#include <QList>

namespace {

constexpr int FieldCount = 3;

bool isLineEnd(char character)
{
    return character == '\r' || character == '\n';
}

// Splits the record into fields: a field that starts with a double quote runs
// to the next double quote; any other field ends at a comma or a line end.
// Spaces before a field are skipped.
QList<QByteArrayView> splitFields(QByteArrayView content)
{
    QList<QByteArrayView> fields;
    qsizetype position = 0;
    while (fields.size() < FieldCount && position < content.size()) {
        while (position < content.size() && content[position] == ' ')
            ++position;
        qsizetype end = position;
        if (position < content.size() && content[position] == '"') {
            end = content.indexOf('"', position + 1);
            if (end < 0)
                end = content.size();
            fields.append(content.sliced(position + 1, end - position - 1));
            position = end + 1;
        } else {
            while (end < content.size() && content[end] != ',' && !isLineEnd(content[end]))
                ++end;
            fields.append(content.sliced(position, end - position).trimmed());
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
    return '"' + record.sourcePath.toUtf8() + "\",\"" + record.driveString.toUtf8() + "\"," +
           QByteArray::number(record.extensionFlag) + "\r\n";
}

std::optional<SettingsRecord> SettingsFile::parse(QByteArrayView content)
{
    const QList<QByteArrayView> fields = splitFields(content);
    if (fields.size() < FieldCount)
        return std::nullopt;
    const std::optional<qint16> flag = parseFlag(fields[2]);
    if (!flag)
        return std::nullopt;
    return SettingsRecord{TextDecoder::decode(fields[0]), TextDecoder::decode(fields[1]), *flag};
}
