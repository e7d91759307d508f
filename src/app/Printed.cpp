#include "Printed.h"

#include "FileSystem.h"

#include <optional>

namespace {

// Only the first failure of each: the rest follow from it. Printing is done
// by the main thread alone.
std::optional<Error> outputFailure;
bool errorFailed = false;

} // namespace

namespace Printed {

void toOutput(const QString &text)
{
    const Result<void> written =
        FileSystem::writeStandard(FileSystem::StandardStream::Output, text.toLocal8Bit());
    if (!written && !outputFailure)
        outputFailure = written.error().during(Error::Action::WriteOutput, Path());
}

void toError(const QString &text)
{
    if (!FileSystem::writeStandard(FileSystem::StandardStream::Error, text.toLocal8Bit()))
        errorFailed = true;
}

int statusAfter(int status)
{
    if (outputFailure)
        toError(outputFailure->message() + u'\n');
    return status == 0 && (outputFailure || errorFailed) ? 1 : status;
}

} // namespace Printed
