#pragma once

#include "FileSystem.h"
#include "Path.h"
#include "Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <limits>
#include <memory>
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
    // Another source that belongs with this one (J-Pilot's changes beside its
    // database), opened as this one was; nothing where `path` names nothing,
    // as for bytes that come from no folder.
    virtual Result<std::unique_ptr<ByteSource>> openOther(const Path &path) const;

private:
    Path m_path;
};

// Bytes held in memory, as tests and fuzzers hand them to the readers.
class MemoryBytes : public ByteSource
{
public:
    explicit MemoryBytes(QByteArrayView bytes, Path path = {})
        : ByteSource(std::move(path)), m_bytes(bytes)
    {
    }

    qint64 size() const override { return m_bytes.size(); }
    Result<qsizetype> read(char *into, qsizetype size) override;
    Result<void> seek(qint64 offset) override;
    Result<std::unique_ptr<ByteSource>> openOther(const Path &path) const override;
    // What openOther() gives for `path`.
    void addOther(const Path &path, QByteArrayView bytes);

private:
    QByteArrayView m_bytes;
    qint64 m_position = 0;
    QHash<QString, QByteArrayView> m_others; // by path
};

// The memo export, opened for the run only when it can be one: a regular file.
// A folder, a named pipe or a device is refused before it is opened for
// reading, and nothing ever waits on it.
class SourceFile : public ByteSource
{
public:
    explicit SourceFile(Path path);

    Result<void> open();
    qint64 size() const override { return m_opened.size; }
    Result<qsizetype> read(char *into, qsizetype size) override;
    Result<void> seek(qint64 offset) override;
    // Opened as this one is: a regular file or nothing, else why not.
    Result<std::unique_ptr<ByteSource>> openOther(const Path &path) const override;
    // Once the file has been read to its end: nothing, when it is still as it
    // was when opened and was read whole; else that it changed (was cut short,
    // grew or was written again) while it was being read.
    Result<void> checkReadWhole();

private:
    Result<void> openRegularFile();
    Error whyNotOpened(const Error &error) const;
    Error failure(const Error &error) const;

    FileSystem::Descriptor m_descriptor;
    FileSystem::Status m_opened;
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
    // The next `count` bytes, fewer where the source ends or fails first;
    // valid until the next fill.
    QByteArrayView take(qsizetype count);
    // Passes over the next `count` bytes, holding no more than a chunk of
    // them; false where the source ends or fails first.
    bool skip(qint64 count);
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

// What ends a line of the source.
enum class LineEnd {
    CarriageReturn, // CR LF or a lone CR; a lone LF is part of the line
    LineFeed,       // LF, in a source that holds no CR at all
};

// Cuts a byte stream into lines; a last line without terminator is still a
// line. A UTF-8 byte-order mark at the very start is skipped. Only the current
// line and one read chunk are held in memory, and a line is never held past
// Limits::MemoBytes.
class LineReader
{
public:
    explicit LineReader(ByteSource &source, LineEnd lineEnd = LineEnd::CarriageReturn);

    bool atEnd() { return m_read.position >= m_read.bytes.size() && atEndOfBuffer(); }
    // The next line without its terminator, or an empty view at the end. The
    // view is valid until the next call of atEnd() or readLine().
    QByteArrayView readLine();
    // 1-based number of the line last returned by readLine().
    qint64 lineNumber() const { return m_lineNumber; }
    // Why the source could not be read on, where a read failed.
    const std::optional<Error> &failure() const { return m_read.failure; }
    // The line last returned went on past Limits::MemoBytes: only its start
    // was returned, and nothing more is read.
    bool lineTooLong() const { return m_lineTooLong; }

private:
    bool atEndOfBuffer();
    void skipByteOrderMark();
    qsizetype find(char byte, qsizetype from) const;
    QByteArrayView takeLine(qsizetype end, qsizetype next);

    ReadBuffer m_read;
    const char m_terminator;
    qint64 m_lineNumber = 0;
    bool m_startChecked = false;
    bool m_lineTooLong = false;
};
