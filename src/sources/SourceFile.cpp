#include "SourceFile.h"

namespace {
Error notRegular(FileSystem::Status::Kind kind)
{
    return Error(kind == FileSystem::Status::Kind::Folder ? Error::Reason::IsFolder
                                                          : Error::Reason::NotRegularFile);
}
} // namespace

SourceFile::SourceFile(Path path) : ByteSource(std::move(path)) {}

Result<void> SourceFile::open()
{
    if (const Result<void> opened = openRegularFile(); !opened)
        return whyNotOpened(opened.error()).during(Error::Action::OpenSource, path());
    return {};
}

// A name whose bytes are not UTF-8 reaches the program (from the Open dialog,
// the command line or the settings) with "\uFFFD" in their place and is then
// not found: that is said, instead of "No such file or directory" for a file
// the person can see.
Error SourceFile::whyNotOpened(const Error &error) const
{
    if (error.is(Error::Condition::Missing) &&
        path().toString().contains(QChar::ReplacementCharacter))
        return Error(Error::Reason::NameNotUtf8);
    return error;
}

Result<qsizetype> SourceFile::read(char *into, qsizetype size)
{
    Result<qsizetype> got = FileSystem::read(m_descriptor, into, size);
    if (!got)
        return failure(got.error());
    m_position += *got;
    return got;
}

Result<void> SourceFile::seek(qint64 offset)
{
    if (const Result<void> moved = FileSystem::seek(m_descriptor, offset); !moved)
        return failure(moved.error());
    m_position = offset;
    return {};
}

Result<std::unique_ptr<ByteSource>> SourceFile::openOther(const Path &path) const
{
    auto other = std::make_unique<SourceFile>(path);
    if (const Result<void> opened = other->open(); !opened) {
        if (opened.error().is(Error::Condition::Missing))
            return std::unique_ptr<ByteSource>();
        return opened.error();
    }
    return std::unique_ptr<ByteSource>(std::move(other));
}

Result<void> SourceFile::checkReadWhole()
{
    const Result<FileSystem::Status> now = FileSystem::status(m_descriptor);
    if (!now)
        return failure(now.error());
    if (*now != m_opened || m_position < m_opened.size)
        return failure(Error(Error::Reason::ChangedWhileRead));
    return {};
}

// Looks before it opens, and looks again at what it opened, in case the name
// was given to something else in between.
Result<void> SourceFile::openRegularFile()
{
    const Result<FileSystem::Status> named = FileSystem::status(path());
    if (!named)
        return named.error();
    if (named->kind != FileSystem::Status::Kind::File)
        return notRegular(named->kind);
    Result<FileSystem::Descriptor> file = FileSystem::openForReading(path());
    if (!file)
        return file.error();
    const Result<FileSystem::Status> opened = FileSystem::status(*file);
    if (!opened)
        return opened.error();
    if (opened->kind != FileSystem::Status::Kind::File)
        return notRegular(opened->kind);
    if (const Result<void> blocking = FileSystem::makeBlocking(*file); !blocking)
        return blocking.error();
    m_descriptor = std::move(*file);
    m_opened = *opened;
    return {};
}

Error SourceFile::failure(const Error &error) const
{
    return error.during(Error::Action::ReadSource, path());
}
