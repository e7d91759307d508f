#pragma once

#include "Memo.h"
#include "TextConverter.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

// Turns the bytes of a memo into its text, title and category (Memo says
// which way). Each reader holds one, so a reader of a new form needs nothing
// else to read the chosen character set.
class MemoDecoder
{
public:
    // A few categories name thousands of memos, and each is decoded once; the
    // cache is emptied now and then, so that a file of ever new categories
    // does not grow it without bound, and holds no category longer than a
    // folder name can be.
    static constexpr qsizetype MaximumCachedCategories = 4096;

    explicit MemoDecoder(CharacterDecoder characters);

    CharacterSet characterSet() const { return m_characters.set(); }
    // `text` is the memo's lines, each ended by CR LF, from its title line on.
    void decode(QByteArrayView text, QByteArrayView category, Memo &memo);
    // The title of a memo the source ended inside of, for the message.
    QString titleOf(QByteArrayView text);
    qsizetype cachedCategories() const { return m_utf8Categories.size() + m_categories.size(); }

private:
    struct Decoded
    {
        QString text;
        bool replaced = false;
    };

    Decoded decodeText(QByteArrayView bytes, bool utf8);
    Decoded category(QByteArrayView bytes, bool utf8);

    CharacterDecoder m_characters;
    // By the category's bytes: those read as UTF-8, and those in the set.
    QHash<QByteArray, Decoded> m_utf8Categories;
    QHash<QByteArray, Decoded> m_categories;
};
