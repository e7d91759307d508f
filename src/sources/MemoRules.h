#pragma once

#include "Error.h"
#include "Memo.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

// What every form of the organiser's export decides the same way.
namespace MemoRules {

// Every line of a note ends with it, whatever ended the line in the source.
inline constexpr QByteArrayView NoteLineEnd("\r\n");

// The first 20 characters of a line without its leading spaces, or where those
// are all spaces, the first 20 after them: the title of the memo whose title
// line it is. Empty for a line that is empty or holds spaces alone: such a
// line is no title line, and is skipped before a memo's title line.
QString titleCandidate(QByteArrayView line);
// A memo kept whole as one text, as the organiser's database and the desktop
// program's memo file keep it, as its note holds it: the lines end with LF,
// CR LF or a lone CR, and a line break at the very end adds no empty line;
// blank lines before the title line are dropped, and every line from it on is
// ended by CR LF. The title stays empty where no line is a title line.
void takeText(Memo &memo, QByteArrayView text);
// The private flag, "0" or "1", which every form carries and none uses.
bool isFlag(QByteArrayView field);
// The reading ends where text from `line` on runs past Limits::MemoBytes
// without ending a memo.
Error tooLong(qint64 line, const Path &source);

} // namespace MemoRules

// Decodes the categories of an export as read. A few categories name thousands
// of memos; each is decoded once. The cache is emptied now and then, so that a
// file of ever new categories does not grow it without bound.
class CategoryCache
{
public:
    static constexpr qsizetype MaximumSize = 4096;

    // No folder name takes more than Limits::NameBytes, which as many
    // characters always fill, so no more is decoded. Empty for an empty field.
    QString decode(QByteArrayView field);
    qsizetype size() const { return m_decoded.size(); }

private:
    QHash<QByteArray, QString> m_decoded; // by the category's bytes
};
