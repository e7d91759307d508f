#include "ExportGenerator.h"

#include <QFile>

namespace {

QByteArray memo(qint64 index, const ExportGenerator::Shape &shape)
{
    const QByteArray title = "Memo " + QByteArray::number(index % shape.distinctTitles) + ": notes";
    QByteArray text = title + "\r\n";
    const QByteArray line = "Line of text for memo " + QByteArray::number(index) + ", caf\xE9.\r\n";
    while (text.size() < shape.bodyBytes)
        text += line;
    if (index % 7 == 0)
        text += "\r\n\r\nafter a blank line\r\n";
    return text + (index % 2 ? "1\r\n" : "0\r\n") + "Category " +
           QByteArray::number(index % shape.categories) + "\r\n\r\n";
}

} // namespace

bool ExportGenerator::write(const QString &path, const Shape &shape)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (qint64 index = 0; index < shape.memos; ++index) {
        if (file.write(memo(index, shape)) < 0)
            return false;
    }
    return true;
}
