#include "ExportGenerator.h"

#include "MemoDatabase.h"
#include "MemoFile.h"

#include <QFile>

namespace {

// The lines of one memo, as its note holds them.
QList<QByteArray> linesOf(qint64 index, const ExportGenerator::Shape &shape)
{
    QList<QByteArray> lines{"Memo " + QByteArray::number(index % shape.distinctTitles) + ": notes"};
    const QByteArray line = "Line of text for memo " + QByteArray::number(index) + ", caf\xE9.";
    for (qint64 bytes = lines.first().size() + 2; bytes < shape.bodyBytes; bytes += line.size() + 2)
        lines << line;
    if (index % 7 == 0)
        lines << QByteArray() << "after a blank line";
    return lines;
}

int categoryOf(qint64 index, const ExportGenerator::Shape &shape)
{
    return int(index % shape.categories);
}

// The Text form halves a run of empty lines, so each empty line is written twice.
QByteArray textMemo(qint64 index, const ExportGenerator::Shape &shape)
{
    QByteArray text;
    for (const QByteArray &line : linesOf(index, shape))
        text += line.isEmpty() ? "\r\n\r\n" : line + "\r\n";
    return text + (index % 2 ? "1\r\n" : "0\r\n") + "Category " +
           QByteArray::number(categoryOf(index, shape)) + "\r\n\r\n";
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

bool ExportGenerator::write(const QString &path, const Shape &shape)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (qint64 index = 0; index < shape.memos; ++index) {
        if (file.write(textMemo(index, shape)) < 0)
            return false;
    }
    return true;
}

// Category 0 is named "Category 0", as in the Text form, not "Unfiled".
bool ExportGenerator::writeDatabase(const QString &path, const Shape &shape)
{
    if (shape.categories > 16 || shape.memos > 0xFFFF)
        return false;
    MemoDatabase database;
    database.categories.clear();
    for (int category = 0; category < shape.categories; ++category)
        database.categories << "Category " + QByteArray::number(category);
    for (qint64 index = 0; index < shape.memos; ++index)
        database.records.append({linesOf(index, shape).join('\n'), quint8(categoryOf(index, shape)),
                                 quint8(index % 2 ? 0x10 : 0)});
    return writeFile(path, database.bytes());
}

// The memo file's category 0 is always Unfiled, so category N is numbered N + 1.
bool ExportGenerator::writeMemoFile(const QString &path, const Shape &shape)
{
    MemoFile file;
    file.categories.clear();
    for (int category = 0; category < shape.categories; ++category)
        file.categories.append({quint32(category + 1), quint32(category + 1),
                                "Category " + QByteArray::number(category)});
    file.records.reserve(shape.memos);
    for (qint64 index = 0; index < shape.memos; ++index)
        file.records.append({linesOf(index, shape).join("\r\n"),
                             quint32(categoryOf(index, shape) + 1), 0, quint32(index % 2)});
    return writeFile(path, file.bytes());
}
