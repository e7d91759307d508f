#pragma once

#include <QByteArray>
#include <QList>
#include <QtEndian>

// Writes the organiser's memo database as a Palm OS database file, so that
// tests and the benchmark build theirs from what they say, not from opaque
// files: the header, the record list, the application-info block with the
// category labels, then each record's text with its NUL.
struct MemoDatabase
{
    struct Record
    {
        QByteArray text;       // a NUL is added after it
        quint8 category = 0;   // index of its label
        quint8 attributes = 0; // 0x80 deleted or archived, 0x10 private
    };

    QByteArray name = "MemoDB";
    QByteArray type = "DATA";
    QByteArray creator = "memo";
    QList<QByteArray> categories = {"Unfiled", "Business", "Personal"};
    bool withAppInfo = true;
    QList<Record> records;

    static constexpr int HeaderSize = 78;
    static constexpr int AppInfoSize = 2 + 16 * 16 + 16 + 2;

    // Where record `index`'s entry in the record list is, to damage it.
    static int entryOffset(int index) { return HeaderSize + 8 * index; }

    QByteArray bytes() const
    {
        const int listEnd = HeaderSize + 8 * int(records.size()) + 2;
        const int appInfoOffset = withAppInfo ? listEnd : 0;
        int offset = listEnd + (withAppInfo ? AppInfoSize : 0);
        QByteArray data = header(appInfoOffset);
        for (int index = 0; index < records.size(); ++index) {
            const Record &record = records[index];
            appendNumber<quint32>(data, offset);
            data.append(char(record.attributes | (record.category & 0x0F)));
            char uniqueId[4]; // of 3 bytes, from 1
            qToBigEndian<quint32>(index + 1, uniqueId);
            data.append(uniqueId + 1, 3);
            offset += int(record.text.size()) + 1;
        }
        data.append(2, '\0');
        if (withAppInfo)
            data += appInfo();
        for (const Record &record : records)
            data += record.text + '\0';
        return data;
    }

    // Sets the offset in record `index`'s entry, in a database's bytes.
    static void setOffset(QByteArray &bytes, int index, quint32 offset)
    {
        qToBigEndian(offset, bytes.data() + entryOffset(index));
    }

private:
    template <typename Number> static void appendNumber(QByteArray &data, Number value)
    {
        char bytes[sizeof(Number)];
        qToBigEndian(value, bytes);
        data.append(bytes, sizeof bytes);
    }

    QByteArray header(int appInfoOffset) const
    {
        QByteArray data = name.left(31).leftJustified(32, '\0');
        appendNumber<quint16>(data, 0); // attributes
        appendNumber<quint16>(data, 0); // version
        for (int date = 0; date < 3; ++date)
            appendNumber<quint32>(data, 0xB0000000);
        appendNumber<quint32>(data, 0); // modification number
        appendNumber<quint32>(data, appInfoOffset);
        appendNumber<quint32>(data, 0); // sort info
        data += type.leftJustified(4, ' ', true) + creator.leftJustified(4, ' ', true);
        appendNumber<quint32>(data, 0); // unique ID seed
        appendNumber<quint32>(data, 0); // next record list
        appendNumber<quint16>(data, quint16(records.size()));
        return data;
    }

    QByteArray appInfo() const
    {
        QByteArray data;
        appendNumber<quint16>(data, 0); // renamed categories
        for (int index = 0; index < 16; ++index)
            data += categories.value(index).left(15).leftJustified(16, '\0');
        for (int index = 0; index < 16; ++index)
            data.append(char(index)); // unique IDs
        data.append(2, '\0');         // last unique ID, padding
        return data;
    }
};

// Writes J-Pilot's changes not yet synced, the .pc3 file beside its database:
// each entry a header (its length, a version, the data's length, the unique ID
// and the record type, all big-endian, then the attributes), then the memo's
// text and its NUL.
struct JPilotChanges
{
    struct Entry
    {
        quint32 type; // 103 made, 106 edited on the desktop; 101, 102 hide a record
        quint32 uniqueId;
        QByteArray text;
        quint8 attributes = 0; // the category's index, 0x10 private
        quint32 headerSize = 21;
        quint32 version = 2;
    };

    QList<Entry> entries;

    QByteArray bytes() const
    {
        QByteArray data;
        for (const Entry &entry : entries) {
            for (const quint32 number :
                 {entry.headerSize, entry.version, quint32(entry.text.size() + 1), entry.uniqueId,
                  entry.type}) {
                char bytes[4];
                qToBigEndian(number, bytes);
                data.append(bytes, 4);
            }
            data.append(char(entry.attributes));
            data.append(qMax(0, int(entry.headerSize) - 21), '\0');
            data += entry.text + '\0';
        }
        return data;
    }
};
