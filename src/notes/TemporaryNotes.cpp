#include "TemporaryNotes.h"

#include "Files.h"
#include "TextDecoder.h"

#include <algorithm>

namespace {

// No folder holds this many temporary files of ours; a device that says
// otherwise is broken.
constexpr int Attempts = 1000;

constexpr QByteArrayView Prefix("quillet-unfinished-");
constexpr QByteArrayView Suffix(".tmp");

QByteArray temporaryName(qint64 number)
{
    return Prefix.toByteArray() + QByteArray::number(number) + Suffix.toByteArray();
}

} // namespace

bool TemporaryNotes::isTemporaryName(QByteArrayView name)
{
    if (!name.startsWith(Prefix) || !name.endsWith(Suffix))
        return false;
    const QByteArrayView number =
        name.sliced(Prefix.size(), name.size() - Prefix.size() - Suffix.size());
    return !number.isEmpty() &&
           std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

Result<bool> TemporaryNotes::removeLeftover(const FileSystem::Descriptor &folder,
                                            const Path &folderPath, const QByteArray &name)
{
    if (!isTemporaryName(name))
        return false;
    const Result<void> removed = FileSystem::remove(folder, name);
    if (removed)
        return true;
    if (removed.error().is(Error::Condition::IsFolder))
        return false;
    return removed.error().during(Error::Action::RemoveLeftover,
                                  folderPath / TextDecoder::decode(name));
}

Result<void> TemporaryNotes::replace(const FileSystem::Descriptor &folder, const Path &folderPath,
                                     const QByteArray &name, const QByteArray &text)
{
    QByteArray temporary;
    Result<FileSystem::Descriptor> file = create(folder, temporary);
    if (!file)
        return file.error();
    Result<void> outcome = Files::writeAndClose(*file, text);
    if (outcome)
        outcome = FileSystem::rename(folder, temporary, name);
    if (outcome)
        return {};
    // A temporary file left here is removed by the next run.
    if (const Result<void> removed = FileSystem::remove(folder, temporary); !removed)
        return outcome.error().followedBy(removed.error().during(
            Error::Action::RemoveLeftover, folderPath / TextDecoder::decode(temporary)));
    return outcome;
}

Result<FileSystem::Descriptor> TemporaryNotes::create(const FileSystem::Descriptor &folder,
                                                      QByteArray &name)
{
    for (int attempt = 1;; ++attempt) {
        name = temporaryName(++m_counter);
        Result<FileSystem::Descriptor> file = FileSystem::createNew(folder, name);
        if (file || !file.error().is(Error::Condition::Exists) || attempt == Attempts)
            return file;
    }
}
