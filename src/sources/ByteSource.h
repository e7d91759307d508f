#pragma once

#include "Path.h"
#include "Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <limits>
#include <optional>

// Where a memo reader takes the bytes of an export from: the export file, or
// bytes already in memory. A reader's error names the source's path.
class ByteSource
{
public:
    explicit ByteSource(Path path = {}) : m_path(std::move(path)) {}
    virtual ~ByteSource() = default;

    const Path &path() const { return m_path; }
    // How many bytes it holds, as far as known when it was opened.
    virtual qint64 size() const = 0;
    // The next bytes, at most `size` of them; 0 at the end.
    virtual Result<qsizetype> read(char *into, qsizetype size) = 0;
    // Reads on from `offset` bytes into the source.
    virtual Result<void> seek(qint64 offset) = 0;

private:
    Path m_path;
};

// Bytes held in memory, as tests and fuzzers hand them to the readers.
class MemoryBytes : public ByteSource
{
public:
    explicit MemoryBytes(QByteArrayView bytes) : m_bytes(bytes) {}

    qint64 size() const override { return m_bytes.size(); }
    Result<qsizetype> read(char *into, qsizetype size) override;
    Result<void> seek(qint64 offset) override;

private:
    QByteArrayView m_bytes;
    qint64 m_position = 0;
};

// The source as the memo readers see it: read front to back, a chunk at a time,
// into one buffer from which they take bytes. What they have taken is dropped
// when the next chunk comes, so only one chunk and what is not yet taken are
// held.
struct ReadBuffer
{
    static constexpr qint64 ChunkSize = qint64{64} * 1024;

    explicit ReadBuffer(ByteSource &from, qint64 readLimit = std::numeric_limits<qint64>::max())
        : source(from), limit(readLimit)
    {
    }

    // Appends the next chunk, dropping what has been taken, which shifts every
    // offset into `bytes`. False at the end of the source, on a read error, or
    // once `limit` bytes are read.
    bool fill();
    // Skips a UTF-8 byte-order mark at the very start of the source.
    void skipByteOrderMark();
    // Forgets what was read, as after the source was moved to read elsewhere.
    void clear();
    bool failed() const { return failure.has_value(); }

    ByteSource &source;
    QByteArray bytes;
    qsizetype position = 0; // of the first byte not taken yet
    qint64 limit;
    qint64 bytesRead = 0;
    bool atEnd = false;           // nothing more comes: the source ended, failed or hit the limit
    bool cutShort = false;        // the limit, not the source, ended it
    std::optional<Error> failure; // of the read that failed
};
