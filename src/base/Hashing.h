#pragma once

#include <QtGlobal>

namespace Hashing {

// The last step of a 64-bit hash (MurmurHash3's finaliser): every bit of the
// input reaches every bit of the result, so that fingerprints of names or
// notes that differ a little differ widely.
constexpr quint64 finished(quint64 hash)
{
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdULL;
    hash ^= hash >> 33;
    hash *= 0xc4ceb3fe1a85ec53ULL;
    return hash ^ (hash >> 33);
}

} // namespace Hashing
