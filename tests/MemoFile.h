#pragma once

#include <QByteArray>
#include <QList>
#include <QtEndian>

// Writes the desktop program's memo file (memopad.dat), so that tests and the
// benchmark build theirs from what they say: the tag, the file's path and
// columns, the categories, the layout of the rows, then every record as six
// typed fields. Every number is little-endian.
struct MemoFile
{
    struct Category
    {
        quint32 index;
        quint32 id;
        QByteArray name;
    };

    struct Record
    {
        QByteArray text;
        quint32 category = 0; // 0 Unfiled, else an index or an ID
        quint32 status = 0;   // 0x04 deleted on the desktop
        quint32 isPrivate = 0;
        // As the layout gives them; another type in a record is damage.
        QList<quint32> types = {1, 1, 1, 5, 6, 1};
    };

    QList<Category> categories = {{1, 1, "Business"}, {2, 2, "Personal"}, {3, 130, "Ideas"}};
    QList<quint16> layout = {1, 1, 1, 5, 6, 1};
    QList<Record> records;
    // The number of fields of all records, where it is not six a record.
    std::optional<quint32> fieldCount;

    QByteArray bytes() const
    {
        QByteArray data("\x00\x01\x50\x4D", 4);
        appendString(data, "C:\\Palm\\Me\\memopad\\memopad.dat");
        appendString(data, "Memo,Category");
        appendNumber<quint32>(data, 131); // the next free category ID
        appendNumber<quint32>(data, quint32(categories.size()));
        for (const Category &category : categories) {
            appendNumber<quint32>(data, category.index);
            appendNumber<quint32>(data, category.id);
            appendNumber<quint32>(data, 0); // not changed
            appendString(data, category.name);
            appendString(data, category.name.left(8));
        }
        appendNumber<quint32>(data, 54);                     // resource ID
        appendNumber<quint32>(data, quint32(layout.size())); // fields per row
        for (const quint32 position : {0, 1, 2})
            appendNumber<quint32>(data, position);
        appendNumber<quint16>(data, quint16(layout.size()));
        for (const quint16 type : layout)
            appendNumber<quint16>(data, type);
        appendNumber<quint32>(data, fieldCount.value_or(quint32(records.size()) * 6));
        for (int index = 0; index < records.size(); ++index) {
            const Record &record = records[index];
            const quint32 values[] = {quint32(index + 1), record.status,  quint32(index), 0,
                                      record.isPrivate,   record.category};
            for (int field = 0; field < 6; ++field) {
                appendNumber<quint32>(data, record.types.value(field));
                appendNumber<quint32>(data, values[field]);
                if (field == 3)
                    appendString(data, record.text);
            }
        }
        return data;
    }

    // A length byte, 0xFF and a 2-byte length, or 0xFF, 0xFFFF and a 4-byte one.
    static void appendString(QByteArray &data, const QByteArray &text)
    {
        if (text.size() < 0xFF) {
            data.append(char(text.size()));
        } else {
            data.append('\xFF');
            if (text.size() < 0xFFFF) {
                appendNumber<quint16>(data, quint16(text.size()));
            } else {
                appendNumber<quint16>(data, 0xFFFF);
                appendNumber<quint32>(data, quint32(text.size()));
            }
        }
        data += text;
    }

    template <typename Number> static void appendNumber(QByteArray &data, Number value)
    {
        char bytes[sizeof(Number)];
        qToLittleEndian(value, bytes);
        data.append(bytes, sizeof bytes);
    }
};
