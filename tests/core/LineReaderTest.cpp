#include "LineReader.h"

#include <QBuffer>
#include <cstring>
#include <gtest/gtest.h>

namespace {

QList<QByteArray> readAll(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    LineReader reader(buffer);
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
    const QByteArray hugeLine(300 * 1024, 'y');
    EXPECT_EQ(readAll("a\r\n" + hugeLine + "\r\n"), (QList<QByteArray>{"a", hugeLine}));
}

// Hands out its data, then fails as a disk with a bad sector would.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(QByteArray data) : m_data(std::move(data)) { open(ReadOnly); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_data.isEmpty())
            return -1;
        const qint64 size = qMin<qint64>(maxSize, m_data.size());
        std::memcpy(data, m_data.constData(), size);
        m_data.remove(0, size);
        return size;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_data;
};

TEST(LineReader, ReadErrorIsNotTheEnd)
{
    FailingDevice device("a\r\nb");
    LineReader reader(device);
    EXPECT_EQ(reader.readLine(), "a");
    EXPECT_FALSE(reader.failed());
    reader.readLine();
    EXPECT_TRUE(reader.failed());
}

TEST(LineReader, CountsLines)
{
    QBuffer buffer;
    buffer.setData("a\r\nb\rc");
    buffer.open(QIODevice::ReadOnly);
    LineReader reader(buffer);
    reader.readLine();
    reader.readLine();
    EXPECT_EQ(reader.lineNumber(), 2);
    EXPECT_FALSE(reader.failed());
}

} // namespace
