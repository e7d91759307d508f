#pragma once

#include <QByteArray>
#include <QIODevice>
#include <limits>

// The source as the memo readers see it: read front to back, a chunk at a time,
// into one buffer from which they take bytes. What they have taken is dropped
// when the next chunk comes, so only one chunk and what is not yet taken are
// held.
struct ReadBuffer
{
    static constexpr qint64 ChunkSize = 64 * 1024;

    explicit ReadBuffer(QIODevice &source, qint64 readLimit = std::numeric_limits<qint64>::max())
        : device(source), limit(readLimit)
    {
    }

    // Appends the next chunk, dropping what has been taken, which shifts every
    // offset into `bytes`. False at the end of the device, on a read error, or
    // once `limit` bytes are read.
    bool fill();
    // Skips a UTF-8 byte-order mark at the very start of the source.
    void skipByteOrderMark();

    QIODevice &device;
    QByteArray bytes;
    qsizetype position = 0; // of the first byte not taken yet
    qint64 limit;
    qint64 bytesRead = 0;
    bool atEnd = false;    // nothing more comes: the device ended, failed or hit the limit
    bool failed = false;   // a read failed
    bool cutShort = false; // the limit, not the device, ended the source
};
