#include "ByteSource.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace {

QList<QByteArray> readAll(const QByteArray &bytes)
{
    MemoryBytes source(bytes);
    LineReader reader(source);
    QList<QByteArray> lines;
    while (!reader.atEnd())
        lines << reader.readLine().toByteArray();
    return lines;
}

struct LineCase
{
    const char *name;
    QByteArray input;
    QList<QByteArray> lines;
};

class LineEndings : public testing::TestWithParam<LineCase>
{
};

TEST_P(LineEndings, CutsAsTheOrganiserWrote)
{
    EXPECT_EQ(readAll(GetParam().input), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    LineReader, LineEndings,
    testing::Values(LineCase{"empty", "", {}}, LineCase{"crlf", "a\r\nb\r\n", {"a", "b"}},
                    LineCase{"loneCr", "a\rb\r", {"a", "b"}},
                    LineCase{"loneLfStaysInLine", "a\nb\r\nc", {"a\nb", "c"}},
                    LineCase{"lastLineWithoutTerminator", "a\r\nb", {"a", "b"}},
                    LineCase{"emptyLines", "\r\n\r\r\n", {"", "", ""}},
                    LineCase{"byteOrderMarkSkipped", "\xEF\xBB\xBFtitle\r\n", {"title"}},
                    LineCase{
                        "byteOrderMarkOnlyAtStart", "a\r\n\xEF\xBB\xBF", {"a", "\xEF\xBB\xBF"}},
                    LineCase{"onlyByteOrderMark", "\xEF\xBB\xBF", {}}),
    [](const auto &info) { return std::string(info.param.name); });

// Lines and terminators that straddle the 64 KiB read chunks must come out
// the same as short ones.
TEST(LineReader, LinesAcrossReadChunks)
{
    const QByteArray longLine(64 * 1024 - 1, 'x');
    EXPECT_EQ(readAll(longLine + "\r\nnext"), (QList<QByteArray>{longLine, "next"}));
    EXPECT_EQ(readAll(longLine + "\rnext"), (QList<QByteArray>{longLine, "next"}));
    const QByteArray hugeLine(qsizetype{300} * 1024, 'y');
    EXPECT_EQ(readAll("a\r\n" + hugeLine + "\r\n"), (QList<QByteArray>{"a", hugeLine}));
}

// Hands out its data, then fails as a disk with a bad sector would.
class FailingBytes : public ByteSource
{
public:
    explicit FailingBytes(QByteArray data) : m_data(std::move(data)) {}

    qint64 size() const override { return m_data.size(); }
    Result<qsizetype> read(char *into, qsizetype size) override
    {
        if (m_data.isEmpty())
            return Error::fromSystem(EIO, Error::Condition::Other);
        const qsizetype count = qMin(size, m_data.size());
        std::memcpy(into, m_data.constData(), count);
        m_data.remove(0, count);
        return count;
    }
    Result<void> seek(qint64) override { return {}; }

private:
    QByteArray m_data;
};

TEST(LineReader, ReadErrorIsNotTheEnd)
{
    FailingBytes source("a\r\nb");
    LineReader reader(source);
    EXPECT_EQ(reader.readLine(), "a");
    EXPECT_FALSE(reader.failure());
    reader.readLine();
    ASSERT_TRUE(reader.failure());
    EXPECT_EQ(reader.failure()->errorNumber(), EIO);
}

TEST(LineReader, CountsLines)
{
    MemoryBytes source("a\r\nb\rc");
    LineReader reader(source);
    reader.readLine();
    reader.readLine();
    EXPECT_EQ(reader.lineNumber(), 2);
    EXPECT_FALSE(reader.failure());
}

} // namespace
