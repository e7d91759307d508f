#include "Limits.h"
#include "SeparatedMemoReader.h"
#include "TextDecoder.h"
#include "TextMemoReader.h"

#include <gtest/gtest.h>

namespace {

QList<Memo> memosOf(const QByteArray &source)
{
    MemoryBytes bytes(source);
    TextMemoReader reader(bytes);
    QList<Memo> memos;
    for (Result<const Memo *> next = reader.next(); next && *next; next = reader.next())
        memos << **next;
    return memos;
}

TEST(TextMemoReader, WorkedExample)
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
    TextMemoReader, MemoBodies,
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

TEST(TextMemoReader, TitleIsFirstTwentyCharactersWithoutLeadingSpaces)
{
    const QList<Memo> memos = memosOf("  Shopping: milk/eggs, etc.\r\n0\r\nc\r\n"
                                      "\tTabbed\r\n0\r\nc\r\n"
                                      "Trailing  \r\n0\r\nc\r\n");
    ASSERT_EQ(memos.size(), 3);
    EXPECT_EQ(memos[0].title, "Shopping: milk/egg");
    EXPECT_EQ(memos[1].title, "\tTabbed");
    EXPECT_EQ(memos[2].title, "Trailing  ");
}

TEST(TextMemoReader, OutsideAMemoBlankAndFlagLines)
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

TEST(TextMemoReader, FlagLineInsideTheTextEndsTheMemo)
{
    const QList<Memo> memos = memosOf("Note\r\n1\r\nnot a category\r\nrest\r\n0\r\nCat\r\n");
    ASSERT_EQ(memos.size(), 2);
    EXPECT_EQ(memos[0].category, "not a category");
    EXPECT_EQ(memos[1].title, "rest");
    EXPECT_EQ(memos[1].category, "Cat");
}

TEST(TextMemoReader, EndOfSource)
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

TEST(TextMemoReader, EncodingsPerLine)
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
TEST(TextMemoReader, ByteOrderMarkInsideTheSourceIsACharacter)
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

TEST(TextMemoReader, TitleCutCountsCodePoints)
{
    // 19 letters and an emoji outside the BMP: the emoji is the 20th character
    // and is kept whole; the 21st is cut.
    const QList<Memo> memos = memosOf(QByteArray(19, 'a') + "\xF0\x9F\x98\x80z\r\n0\r\nc");
    ASSERT_EQ(memos.size(), 1);
    EXPECT_EQ(memos[0].title, QString(19, QLatin1Char('a')) + QString::fromUtf8("😀"));
}

// What a separated reader gives: every memo up to where it stops, and why it
// stops, empty at the end of the source.
struct SeparatedReading
{
    QList<Memo> memos;
    std::optional<Error> error;
};

SeparatedReading separatedMemosOf(const QByteArray &source, Separator separator)
{
    MemoryBytes bytes(source);
    SeparatedMemoReader reader(bytes, separator);
    SeparatedReading reading;
    for (;;) {
        const Result<const Memo *> next = reader.next();
        if (!next)
            reading.error = next.error();
        if (!next || !*next)
            return reading;
        reading.memos << **next;
    }
}

struct SeparatedCase
{
    const char *name;
    Separator separator;
    QByteArray source;
    QList<QByteArray> texts;
    QStringList categories;
};

class SeparatedMemos : public testing::TestWithParam<SeparatedCase>
{
};

TEST_P(SeparatedMemos, ArriveWhole)
{
    const SeparatedReading reading = separatedMemosOf(GetParam().source, GetParam().separator);
    EXPECT_FALSE(reading.error) << reading.error->message().toStdString();
    QList<QByteArray> texts;
    QStringList categories;
    for (const Memo &memo : reading.memos) {
        texts << memo.text;
        categories << memo.category;
    }
    EXPECT_EQ(texts, GetParam().texts);
    EXPECT_EQ(categories, GetParam().categories);
}

INSTANTIATE_TEST_SUITE_P(
    SeparatedMemoReader, SeparatedMemos,
    testing::Values(SeparatedCase{"commaCrLf",
                                  Separator::Comma,
                                  "\"Groceries\r\nmilk\r\neggs\",\"0\",\"Personal\"\r\n"
                                  "\"Meeting: plan\r\nagenda\r\n\",\"1\",\"Business\"\r\n",
                                  {"Groceries\r\nmilk\r\neggs\r\n", "Meeting: plan\r\nagenda\r\n"},
                                  {"Personal", "Business"}},
                    SeparatedCase{"commaLf",
                                  Separator::Comma,
                                  "\"a\nb\n\",\"0\",\"c\"\n\"d\",\"1\",\"e\"\n",
                                  {"a\r\nb\r\n", "d\r\n"},
                                  {"c", "e"}},
                    SeparatedCase{"tabLoneCr",
                                  Separator::Tab,
                                  "\"a\rb\r\"\t\"0\"\t\"c\"\r\n\"d, e\"\t\"1\"\t\"f\"\r\n",
                                  {"a\r\nb\r\n", "d, e\r\n"},
                                  {"c", "f"}},
                    SeparatedCase{"doubledQuotes",
                                  Separator::Comma,
                                  "\"He said \"\"hi\"\"\",0,\"A \"\"B\"\"\"",
                                  {"He said \"hi\"\r\n"},
                                  {"A \"B\""}},
                    // Also: the last record without a line end, an empty category, a
                    // text without quotes, a quote inside an unquoted field.
                    SeparatedCase{
                        "onlyFirstFieldQuoted",
                        Separator::Comma,
                        "\"text, and\ttab\",0,Category\r\nplain,1,Bob's \"best\"\r\n\"x\",1,",
                        {"text, and\ttab\r\n", "plain\r\n", "x\r\n"},
                        {"Category", "Bob's \"best\"", ""}},
                    SeparatedCase{"flagLikeLinesStayInTheText",
                                  Separator::Comma,
                                  "\"Lottery\r\n0\r\n33\r\n1\",0,Numbers",
                                  {"Lottery\r\n0\r\n33\r\n1\r\n"},
                                  {"Numbers"}},
                    SeparatedCase{"emptyLinesKept",
                                  Separator::Tab,
                                  "\"t\r\ra\r\r\rb\r\r\"\t0\tc",
                                  {"t\r\n\r\na\r\n\r\n\r\nb\r\n\r\n"},
                                  {"c"}},
                    // Lines before the title line go; a record without one is no memo.
                    // Blank lines between records and a byte-order mark are skipped.
                    SeparatedCase{"leadingBlankLinesAndRecordsWithoutTitle",
                                  Separator::Comma,
                                  "\xEF\xBB\xBF\"\r\n   \r\n" + QByteArray(20, ' ') +
                                      "hidden\r\n  Title\r\nbody\",0,c\r\n\r\n\r\n"
                                      "\"   \r\n\",1,d\r\n\"\",0,e\r\n,0,f\r\n\"A\",0,g\r\n",
                                  {"  Title\r\nbody\r\n", "A\r\n"},
                                  {"c", "g"}}),
    [](const auto &info) { return std::string(info.param.name); });

// CR LF, LF and a lone CR each end a line, inside quotes and out.
TEST(SeparatedMemoReader, TitleLineCountsEveryLineEnd)
{
    const SeparatedReading reading =
        separatedMemosOf("\"A\r\nx\ny\rz\",0,c\r\n\n\"\r\n  \r\n  Title\",0,c\r"
                         "\"B\",0,\"multi\r\nline\"\n\"C\",0,c",
                         Separator::Comma);
    ASSERT_FALSE(reading.error) << reading.error->message().toStdString();
    QStringList titles;
    QList<qint64> lines;
    for (const Memo &memo : reading.memos) {
        titles << memo.title;
        lines << memo.titleLine;
    }
    EXPECT_EQ(titles, (QStringList{"A", "Title", "B", "C"}));
    EXPECT_EQ(lines, (QList<qint64>{1, 8, 9, 11}));
}

// Quotes, line ends and separators that straddle the 64 KiB read chunks must
// read as anywhere else.
TEST(SeparatedMemoReader, RecordsAcrossReadChunks)
{
    for (qsizetype padding = 64 * 1024 - 12; padding <= 64 * 1024; ++padding) {
        SCOPED_TRACE(padding);
        const QByteArray start = "\"" + QByteArray(padding, 'x');
        const SeparatedReading reading =
            separatedMemosOf(start + "\"\"\r\n0\r\"\t1\tc\r\n\"B\"\t0\td", Separator::Tab);
        EXPECT_FALSE(reading.error) << reading.error->message().toStdString();
        ASSERT_EQ(reading.memos.size(), 2);
        EXPECT_EQ(reading.memos[0].text, start.sliced(1) + "\"\r\n0\r\n");
        EXPECT_EQ(reading.memos[1].titleLine, 4);
        EXPECT_EQ(reading.memos[1].category, "d");
    }
}

struct FormBreakCase
{
    const char *name;
    Separator separator;
    QByteArray source;
    qsizetype memosBefore;
    Error::Reason reason;
    qint64 line;
};

class SeparatedFormBreaks : public testing::TestWithParam<FormBreakCase>
{
};

TEST_P(SeparatedFormBreaks, StopTheReadingAtTheRecord)
{
    const SeparatedReading reading = separatedMemosOf(GetParam().source, GetParam().separator);
    EXPECT_EQ(reading.memos.size(), GetParam().memosBefore);
    ASSERT_TRUE(reading.error);
    EXPECT_EQ(reading.error->action(), Error::Action::ReadSource);
    EXPECT_EQ(reading.error->reason(), GetParam().reason);
    EXPECT_EQ(reading.error->line(), GetParam().line);
}

constexpr Error::Reason CommaBreak = Error::Reason::NotCommaRecord;

INSTANTIATE_TEST_SUITE_P(
    SeparatedMemoReader, SeparatedFormBreaks,
    testing::Values(
        FormBreakCase{"quoteNeverClosed", Separator::Comma, "\"A\",0,c\r\n\"B\r\nnever,0,c\r\n", 1,
                      CommaBreak, 2},
        FormBreakCase{"twoFields", Separator::Comma, "\"A\",0,c\r\n\"B\",0\r\n\"C\",0,c", 1,
                      CommaBreak, 2},
        FormBreakCase{"fourFields", Separator::Comma, "\"A\",0,c\n\"B\",0,c,d", 1, CommaBreak, 2},
        FormBreakCase{"flagNotZeroOrOne", Separator::Comma, "\"A\",0,c\r\"B\",\"01\",c", 1,
                      CommaBreak, 2},
        FormBreakCase{"textAfterClosingQuote", Separator::Comma, "\"A\",0,c\r\n\"B\" x,0,c", 1,
                      CommaBreak, 2},
        FormBreakCase{"commaInATabSeparatedExport", Separator::Tab,
                      "\"A\"\t0\tc\r\n\r\n\"B\",0,c\r\n", 1, Error::Reason::NotTabRecord, 3},
        FormBreakCase{"textPastTheMemoLimit", Separator::Comma,
                      "\"A\",0,c\r\n\"" + QByteArray(Limits::MemoBytes, 'x') + "\",0,c", 1,
                      Error::Reason::MemoTooLong, 2}),
    [](const auto &info) { return std::string(info.param.name); });

// By content alone: a quoted first field, then a comma or a tab, and a first
// record of three fields with a flag in the middle.
TEST(SeparatedMemoReader, DetectsTheFormByContent)
{
    const struct
    {
        const char *name;
        QByteArray source;
        std::optional<Separator> separator;
    } cases[] = {
        {"comma", "\"A\r\nb\",0,c\r\n", Separator::Comma},
        {"tab", "\"A\"\t\"1\"\t\"c\"", Separator::Tab},
        {"byte-order mark", "\xEF\xBB\xBF\"A\",0,c", Separator::Comma},
        {"first record without a title", "\"\",1,", Separator::Comma},
        {"text export whose title starts with a quote", "\"Quoted\" title\r\nb\r\n0\r\nc\r\n",
         std::nullopt},
        {"text export whose title is a quoted list", "\"a\",\"b\"\r\n0\r\nc\r\n", std::nullopt},
        {"flag not 0 or 1", "\"A\",2,c", std::nullopt},
        {"four fields", "\"A\",0,c,d", std::nullopt},
        {"first field not quoted", "A,0,c", std::nullopt},
        {"blank line first", "\r\n\"A\",0,c", std::nullopt},
        {"quote never closed", "\"A,0,c\r\n", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        MemoryBytes bytes(c.source);
        const Result<std::optional<Separator>> separator = SeparatedMemoReader::separatorOf(bytes);
        ASSERT_TRUE(separator);
        EXPECT_EQ(*separator, c.separator);
        char first = 0;
        const Result<qsizetype> read = bytes.read(&first, 1);
        EXPECT_EQ(first, c.source.isEmpty() ? '\0' : c.source.front()) << "not left at its start";
    }
}

// Each piece of text is UTF-8 where it is valid UTF-8, else Windows-1252, whose
// five undefined bytes keep their Latin-1 value; a prefix counts code points.
TEST(TextDecoder, DecodesEachPieceOnItsOwn)
{
    const struct
    {
        const char *name;
        QByteArray bytes;
        qsizetype count; // of the prefix; -1 for the whole text
        QString text;
    } cases[] = {
        {"ASCII", "Plan", -1, "Plan"},
        {"UTF-8", "R\xC3\xA9sum\xC3\xA9", -1, QString::fromUtf8("Résumé")},
        {"Windows-1252", "\x80 caf\xE9 \x93q\x94", -1, QString::fromUtf8("€ café “q”")},
        {"undefined bytes kept", "\x81\x8D\x8F\x90\x9D", -1,
         QString::fromUtf16(u"\u0081\u008D\u008F\u0090\u009D")},
        {"byte-order mark is a character",
         "\xEF\xBB\xBF"
         "A",
         -1, QChar(0xFEFF) + QString("A")},
        {"prefix of ASCII", "Groceries", 4, "Groc"},
        {"prefix counts code points",
         "\xF0\x9F\x98\x80"
         "ab",
         2, QString::fromUtf8("😀a")},
        {"prefix of Windows-1252", "caf\xE9s", 4, QString::fromUtf8("café")},
        {"prefix longer than the text", "ab", 20, "ab"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.count < 0 ? TextDecoder::decode(c.bytes)
                              : TextDecoder::decodePrefix(c.bytes, c.count),
                  c.text);
    }
}

// A file of ever new categories must not grow the cache without bound; what
// it decoded before it was emptied still decodes the same.
TEST(CategoryCache, IsEmptiedWhenFullAndDecodesTheSameAfterwards)
{
    CategoryCache cache;
    for (int i = 0; i < CategoryCache::MaximumSize; ++i)
        cache.decode("Category " + QByteArray::number(i));
    EXPECT_EQ(cache.size(), CategoryCache::MaximumSize);
    EXPECT_EQ(cache.decode("caf\xE9"), QString::fromUtf8("café"));
    EXPECT_EQ(cache.size(), 1);
    EXPECT_EQ(cache.decode("Category 0"), "Category 0");
    EXPECT_EQ(cache.decode(""), "");
    EXPECT_EQ(cache.size(), 2);
}

} // namespace
