#pragma once

#include "ByteSource.h"
#include "FileSystem.h"

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
