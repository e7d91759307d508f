#include "MemoDecoder.h"

#include "Limits.h"
#include "MemoRules.h"
#include "TextDecoder.h"

namespace {

// No folder name takes more bytes, which as many characters always fill.
constexpr qsizetype LongestCachedCategory = 4 * Limits::NameBytes;

} // namespace

MemoDecoder::MemoDecoder(CharacterDecoder characters) : m_characters(std::move(characters)) {}

// ASCII is the same text in every set and Latin-1 turns it into text fastest;
// most memos are ASCII, and their categories nearly all.
void MemoDecoder::decode(QByteArrayView text, QByteArrayView category, Memo &memo)
{
    const bool asciiText = TextDecoder::isAscii(text);
    const bool utf8 = !(asciiText && TextDecoder::isAscii(category)) && text.isValidUtf8() &&
                      category.isValidUtf8();
    Decoded decoded = asciiText ? Decoded{QString::fromLatin1(text)} : decodeText(text, utf8);
    const Decoded &decodedCategory = this->category(category, utf8);
    memo.text = std::move(decoded.text);
    memo.title = MemoRules::titleOf(memo.text);
    memo.category = decodedCategory.text;
    memo.replacedBytes = decoded.replaced || decodedCategory.replaced;
}

// The memo has no category to judge by: its title line alone says how to read it.
QString MemoDecoder::titleOf(QByteArrayView text)
{
    const qsizetype lineEnd = text.indexOf('\r');
    const QByteArrayView line = lineEnd < 0 ? text : text.first(lineEnd);
    const bool utf8 = !TextDecoder::isAscii(line) && line.isValidUtf8();
    return MemoRules::titleOf(decodeText(line, utf8).text);
}

MemoDecoder::Decoded MemoDecoder::decodeText(QByteArrayView bytes, bool utf8)
{
    if (utf8)
        return {TextDecoder::decodeUtf8(bytes)};
    Decoded decoded;
    decoded.text = m_characters.decode(bytes, decoded.replaced);
    return decoded;
}

MemoDecoder::Decoded MemoDecoder::category(QByteArrayView bytes, bool utf8)
{
    if (bytes.isEmpty())
        return {};
    if (bytes.size() > LongestCachedCategory)
        return decodeText(bytes, utf8);
    QHash<QByteArray, Decoded> &cache = utf8 ? m_utf8Categories : m_categories;
    const auto known = cache.constFind(QByteArray::fromRawData(bytes.data(), bytes.size()));
    if (known != cache.cend())
        return *known;
    if (cachedCategories() >= MaximumCachedCategories) {
        m_utf8Categories.clear();
        m_categories.clear();
    }
    Decoded decoded =
        TextDecoder::isAscii(bytes) ? Decoded{QString::fromLatin1(bytes)} : decodeText(bytes, utf8);
    cache.insert(bytes.toByteArray(), decoded);
    return decoded;
}
