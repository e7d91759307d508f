#include "TextConverter.h"

#include "TextDecoder.h"

#include <QtEndian>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <utility>

namespace {

// QString's own form, without a byte-order mark.
constexpr const char *Utf16 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? "UTF-16LE" : "UTF-16BE";
// Room for what a stateful set (Vietnamese, Hebrew) holds back until the end.
constexpr qsizetype Slack = 8;

iconv_t converter(const ConverterHandle &handle)
{
    return static_cast<iconv_t>(handle.get());
}

void close(void *handle)
{
    ::iconv_close(static_cast<iconv_t>(handle));
}

ConverterHandle none()
{
    return ConverterHandle(nullptr, &close);
}

Result<ConverterHandle> openConverter(const char *to, const char *from, CharacterSet set)
{
    const iconv_t opened = ::iconv_open(to, from);
    // iconv's way to say that it failed.
    if (reinterpret_cast<std::intptr_t>(opened) == -1)
        return Error(Error::Reason::NoConverter, CharacterSets::nameOf(set));
    return ConverterHandle(opened, &close);
}

// One call of iconv: nothing but the count of what it could not go on with,
// and errno then. `in` null flushes what a stateful set holds back.
struct Step
{
    bool done;
    int error;
};

Step convert(iconv_t converter, char **in, size_t *inLeft, char **out, size_t *outLeft)
{
    const size_t result = ::iconv(converter, in, inLeft, out, outLeft);
    return {result != size_t(-1), result == size_t(-1) ? errno : 0};
}

} // namespace

Result<CharacterDecoder> CharacterDecoder::open(CharacterSet set)
{
    if (set == CharacterSet::Western)
        return CharacterDecoder(set, none());
    Result<ConverterHandle> handle = openConverter(Utf16, CharacterSets::converterNameOf(set), set);
    if (!handle)
        return handle.error();
    return CharacterDecoder(set, std::move(*handle));
}

CharacterDecoder::CharacterDecoder(CharacterSet set, ConverterHandle handle)
    : m_set(set), m_handle(std::move(handle))
{
}

QString CharacterDecoder::decode(QByteArrayView bytes, bool &replaced)
{
    if (!m_handle.get())
        return TextDecoder::decodeWindows1252(bytes);
    // A byte gives at most one UTF-16 unit, and U+FFFD is one.
    QString text(bytes.size() + Slack, Qt::Uninitialized);
    qsizetype written = 0;
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    bool flushing = false;
    for (;;) {
        char *out = reinterpret_cast<char *>(text.data() + written);
        size_t outLeft = size_t(text.size() - written) * sizeof(char16_t);
        const Step step = flushing ? convert(converter(m_handle), nullptr, nullptr, &out, &outLeft)
                                   : convert(converter(m_handle), &in, &inLeft, &out, &outLeft);
        written = text.size() - qsizetype(outLeft / sizeof(char16_t));
        if (step.done && flushing)
            break;
        if (step.done) {
            flushing = true;
            continue;
        }
        if (step.error == E2BIG || written == text.size()) {
            text.resize(2 * text.size());
            continue;
        }
        // EILSEQ, or EINVAL for a character cut off at the end: the byte at
        // `in` starts none, and the next one may.
        text[written++] = QChar::ReplacementCharacter;
        replaced = true;
        ++in;
        --inLeft;
    }
    text.truncate(written);
    return text;
}

Result<CharacterEncoder> CharacterEncoder::open(CharacterSet set)
{
    Result<ConverterHandle> handle = openConverter(CharacterSets::converterNameOf(set), Utf16, set);
    if (!handle)
        return handle.error();
    return CharacterEncoder(std::move(*handle));
}

CharacterEncoder::CharacterEncoder(ConverterHandle handle) : m_handle(std::move(handle)) {}

std::optional<QByteArray> CharacterEncoder::encode(QStringView text)
{
    // An earlier call that found no place for a character left the state
    // where it stopped.
    ::iconv(converter(m_handle), nullptr, nullptr, nullptr, nullptr);
    QByteArray bytes(2 * text.size() + Slack, Qt::Uninitialized);
    qsizetype written = 0;
    char *in = reinterpret_cast<char *>(const_cast<QChar *>(text.data()));
    size_t inLeft = size_t(text.size()) * sizeof(char16_t);
    bool flushing = false;
    for (;;) {
        char *out = bytes.data() + written;
        size_t outLeft = size_t(bytes.size() - written);
        const Step step = flushing ? convert(converter(m_handle), nullptr, nullptr, &out, &outLeft)
                                   : convert(converter(m_handle), &in, &inLeft, &out, &outLeft);
        written = bytes.size() - qsizetype(outLeft);
        if (step.done && flushing)
            break;
        if (step.done) {
            flushing = true;
            continue;
        }
        if (step.error != E2BIG)
            return std::nullopt;
        bytes.resize(2 * bytes.size());
    }
    bytes.truncate(written);
    return bytes;
}
