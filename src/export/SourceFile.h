#pragma once

#include "FileError.h"
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

    std::optional<FileError> open();
    QIODevice &device() { return m_file; }
    LineEnd lineEnd() const { return m_lineEnd; }
    std::optional<Separator> separator() const { return m_separator; }

private:
    std::optional<QString> openRegularFile();
    std::optional<QString> inspect();

    QString m_path;
    QFile m_file;
    LineEnd m_lineEnd = LineEnd::CarriageReturn;
    std::optional<Separator> m_separator;
};
