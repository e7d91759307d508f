#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringEncoder>
#include <QStringView>

// Lines of UTF-8 written into one buffer, as the record and the journal are
// written: grown by doubling, ASCII copied as it is, so that the tens of
// thousands of lines of a large export cost no allocation each.
class LineBuffer
{
public:
    explicit LineBuffer(qsizetype expected);

    void add(QByteArrayView bytes);
    void addText(QStringView text);
    // "FOLDER/NAME", or "NAME" for the notes folder itself ("").
    void addPlace(QStringView folder, QStringView name);
    // Room for `more` bytes at the end, to be written and then counted with
    // wrote().
    char *room(qsizetype more);
    void wrote(qsizetype count) { m_size += count; }

    QByteArray take();

private:
    QByteArray m_bytes;
    qsizetype m_size = 0;
    QStringEncoder m_utf8{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
};
