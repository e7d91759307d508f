// Any bytes as "quillet.dat": the reader must never crash, and a record it
// reads must come back the same after being written again.

#include "SettingsFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const Result<SettingsRecord> record = SettingsFile::parse(
        QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    if (!record)
        return 0;
    const Result<SettingsRecord> again = SettingsFile::parse(SettingsFile::format(*record));
    if (!again || *again != *record)
        std::abort();
    return 0;
}
