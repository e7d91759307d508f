#pragma once

#include "Expected.h"
#include "FileError.h"
#include "FileSystem.h"
#include "LineReader.h"
#include "SeparatedMemoReader.h"

#include <QFile>
#include <optional>

// The memo export, opened for the run only when it can be one: a regular file
// (a folder, a named pipe or a device is refused before it is opened for
// reading) whose first 64 KiB hold no NUL byte (programs, pictures and UTF-16
// text do). Its line end is decided once for the whole file, and so is its
// separator where it is a comma- or tab-separated export.
class SourceFile
{
public:
    static constexpr qsizetype CheckedLength = 64 * 1024;

    explicit SourceFile(QString path);

    Expected<void, FileError> open();
    QIODevice &device() { return m_file; }
    LineEnd lineEnd() const { return m_lineEnd; }
    std::optional<Separator> separator() const { return m_separator; }
    // Once the device has been read to its end: nothing, when the file is
    // still as it was when opened and was read whole; else that it changed
    // (was cut short, grew or was written again) while it was being read.
    Expected<void, FileError> checkReadWhole();
    // 'Could not read the export file "%1": %2.', translated.
    static QString readFailure();

private:
    Expected<void, QString> openRegularFile();
    Expected<void, QString> inspect();

    QString m_path;
    FileSystem::Descriptor m_descriptor;
    QFile m_file; // reads through m_descriptor, and goes before it
    struct stat m_opened = {};
    LineEnd m_lineEnd = LineEnd::CarriageReturn;
    std::optional<Separator> m_separator;
};
