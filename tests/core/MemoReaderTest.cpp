#include "MemoReader.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

QList<Memo> memosOf(const QByteArray &source)
{
    QBuffer buffer;
    buffer.setData(source);
    buffer.open(QIODevice::ReadOnly);
    MemoReader reader(buffer);
    QList<Memo> memos;
    for (Expected<const Memo *, QString> next = reader.next(); next && *next; next = reader.next())
        memos << **next;
    return memos;
}

TEST(MemoReader, WorkedExample)
{
    const QList<Memo> memos = memosOf("Groceries\r\nmilk\r\neggs\r\n\r\n0\r\nPersonal\r\n\r\n"
                                      "Meeting: plan\r\nagenda\r\n\r\n1\r\nBusiness\r\n");
    ASSERT_EQ(memos.size(), 2);
    EXPECT_EQ(memos[0].title, "Groceries");
    EXPECT_EQ(memos[0].text, "Groceries\r\nmilk\r\neggs\r\n");
    EXPECT_EQ(memos[0].category, "Personal");
    EXPECT_EQ(memos[0].titleLine, 1);
    EXPECT_EQ(memos[1].title, "Meeting: plan");
    EXPECT_EQ(memos[1].text, "Meeting: plan\r\nagenda\r\n");
    EXPECT_EQ(memos[1].category, "Business");
    EXPECT_EQ(memos[1].titleLine, 8);
}

struct BodyCase
{
    const char *name;
    QByteArray source;
    QByteArray text; // of the only memo
};

class MemoBodies : public testing::TestWithParam<BodyCase>
{
};

TEST_P(MemoBodies, KeepsTheLinesItShould)
{
    const QList<Memo> memos = memosOf(GetParam().source);
    ASSERT_EQ(memos.size(), 1);
    EXPECT_EQ(memos[0].text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    MemoReader, MemoBodies,
    testing::Values(
        // A run of empty lines inside a memo is halved, rounding down.
        BodyCase{"oneEmptyLineDropped", "t\r\na\r\n\r\nb\r\n0\r\nc\r\n", "t\r\na\r\nb\r\n"},
        BodyCase{"twoEmptyLinesLeaveOne", "t\r\na\r\n\r\n\r\nb\r\n0\r\nc", "t\r\na\r\n\r\nb\r\n"},
        BodyCase{"fourEmptyLinesLeaveTwo", "t\r\n\r\n\r\n\r\n\r\n0\r\nc", "t\r\n\r\n\r\n"},
        BodyCase{"titleKeptWhole", "  Shopping: milk/eggs, etc. and more\r\n1\r\nc",
                 "  Shopping: milk/eggs, etc. and more\r\n"},
        BodyCase{"legacyBytesKept", "caf\xE9\r\n\x81\x90\r\n0\r\nc", "caf\xE9\r\n\x81\x90\r\n"},
        BodyCase{"loneLfKept", "a\nb\r\n0\r\nc", "a\nb\r\n"},
        BodyCase{"flagLikeLinesNotExact", "t\r\n 0\r\n01\r\n1 \r\n0\r\nc",
                 "t\r\n 0\r\n01\r\n1 \r\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(MemoReader, TitleIsFirstTwentyCharactersWithoutLeadingSpaces)
{
    const QList<Memo> memos = memosOf("  Shopping: milk/eggs, etc.\r\n0\r\nc\r\n"
                                      "\tTabbed\r\n0\r\nc\r\n"
                                      "Trailing  \r\n0\r\nc\r\n");
    ASSERT_EQ(memos.size(), 3);
    EXPECT_EQ(memos[0].title, "Shopping: milk/egg");
    EXPECT_EQ(memos[1].title, "\tTabbed");
    EXPECT_EQ(memos[2].title, "Trailing  ");
}

TEST(MemoReader, OutsideAMemoBlankAndFlagLines)
{
    const QByteArray twentySpaces(20, ' ');
    const QList<Memo> memos =
        memosOf("\r\n   \r\n" + twentySpaces + "hidden\r\n1\r\nbody\r\n0\r\nCat\r\n");
    ASSERT_EQ(memos.size(), 1);
    // A lone "1" outside a memo starts one; it is not a flag.
    EXPECT_EQ(memos[0].title, "1");
    EXPECT_EQ(memos[0].text, "1\r\nbody\r\n");
    EXPECT_EQ(memos[0].titleLine, 4);
}

TEST(MemoReader, FlagLineInsideTheTextEndsTheMemo)
{
    const QList<Memo> memos = memosOf("Note\r\n1\r\nnot a category\r\nrest\r\n0\r\nCat\r\n");
    ASSERT_EQ(memos.size(), 2);
    EXPECT_EQ(memos[0].category, "not a category");
    EXPECT_EQ(memos[1].title, "rest");
    EXPECT_EQ(memos[1].category, "Cat");
}

TEST(MemoReader, EndOfSource)
{
    // Unfinished memos are dropped, also right after an empty line.
    EXPECT_EQ(memosOf("A\r\n0\r\nc\r\nB\r\nbody").size(), 1);
    EXPECT_EQ(memosOf("A\r\n0\r\nc\r\nB\r\nbody\r\n\r\n").size(), 1);
    // Right after a flag line the memo is kept, without a category.
    const QList<Memo> memos = memosOf("A\r\n0");
    ASSERT_EQ(memos.size(), 1);
    EXPECT_EQ(memos[0].text, "A\r\n");
    EXPECT_EQ(memos[0].category, "");
}

TEST(MemoReader, EncodingsPerLine)
{
    const QList<Memo> memos =
        memosOf("Caf\xC3\xA9 \xF0\x9F\x98\x80\r\n0\r\nR\xC3\xA9sum\xC3\xA9\r\n"
                "Caf\xE9 \x80\x81\r\n0\r\nR\xE9sum\xE9\r\n");
    ASSERT_EQ(memos.size(), 2);
    EXPECT_EQ(memos[0].title, QString::fromUtf8("Café 😀"));
    EXPECT_EQ(memos[0].category, QString::fromUtf8("Résumé"));
    EXPECT_EQ(memos[1].title, QString::fromUtf8("Café €\u0081"));
    EXPECT_EQ(memos[1].category, QString::fromUtf8("Résumé"));
}

// Only the three bytes at the very start of the source are skipped; a U+FEFF
// anywhere else is a character, not a space, also where it starts a line (two
// exports joined into one file).
TEST(MemoReader, ByteOrderMarkInsideTheSourceIsACharacter)
{
    const QByteArray bom = "\xEF\xBB\xBF";
    const QList<Memo> memos = memosOf(bom + "A\r\n0\r\nc\r\n" + bom + "\r\nbody\r\n0\r\nc\r\n" +
                                      bom + "  " + QByteArray(20, 'b') + "\r\n1\r\nc\r\n");
    const QString feff(QChar(0xFEFF));
    ASSERT_EQ(memos.size(), 3);
    EXPECT_EQ(memos[0].title, "A");
    EXPECT_EQ(memos[1].title, feff);
    EXPECT_EQ(memos[1].text, bom + "\r\nbody\r\n");
    EXPECT_EQ(memos[2].title, feff + "  " + QString(17, QLatin1Char('b')));
}

TEST(MemoReader, TitleCutCountsCodePoints)
{
    // 19 letters and an emoji outside the BMP: the emoji is the 20th character
    // and is kept whole; the 21st is cut.
    const QList<Memo> memos = memosOf(QByteArray(19, 'a') + "\xF0\x9F\x98\x80z\r\n0\r\nc");
    ASSERT_EQ(memos.size(), 1);
    EXPECT_EQ(memos[0].title, QString(19, QLatin1Char('a')) + QString::fromUtf8("😀"));
}

} // namespace
