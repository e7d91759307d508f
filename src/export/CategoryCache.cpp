#include "CategoryCache.h"

#include "ExportLimits.h"
#include "TextDecoder.h"

QString CategoryCache::decode(QByteArrayView field)
{
    const QString known = m_decoded.value(QByteArray::fromRawData(field.data(), field.size()));
    if (!known.isNull() || field.isEmpty())
        return known;
    if (m_decoded.size() >= MaximumSize)
        m_decoded.clear();
    const QString decoded = TextDecoder::decodePrefix(field, ExportLimits::NameBytes);
    m_decoded.insert(field.toByteArray(), decoded);
    return decoded;
}
