#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

// Decodes the categories of an export as read. A few categories name thousands
// of memos; each is decoded once. The cache is emptied now and then, so that a
// file of ever new categories does not grow it without bound.
class CategoryCache
{
public:
    // No folder name takes more than ExportLimits::NameBytes, which as many
    // characters always fill, so no more is decoded. Empty for an empty field.
    QString decode(QByteArrayView field);

private:
    static constexpr qsizetype MaximumSize = 4096;

    QHash<QByteArray, QString> m_decoded; // by the category's bytes
};
