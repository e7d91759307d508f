#include "DatabaseMemoReader.h"
#include "Limits.h"
#include "MemoDatabase.h"
#include "MemoFile.h"
#include "QtPrinters.h"
#include "SeparatedMemoReader.h"
#include "SourceForms.h"
#include "TextDecoder.h"
#include "TextMemoReader.h"

#include <gtest/gtest.h>

namespace {

MemoDecoder decoderFor(CharacterSet characters = CharacterSet::Western)
{
    Result<CharacterDecoder> decoder = CharacterDecoder::open(characters);
    EXPECT_TRUE(decoder) << decoder.error().message().toStdString();
    return MemoDecoder(std::move(*decoder));
}

QList<Memo> memosOf(const QByteArray &source, CharacterSet characters = CharacterSet::Western)
{
    MemoryBytes bytes(source);
    TextMemoReader reader(bytes, decoderFor(characters));
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
    QString text; // of the only memo
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
        BodyCase{"legacyBytesKept", "caf\xE9\r\n\x81\x90\r\n0\r\nc",
                 QString::fromUtf16(u"caf\u00E9\r\n\u0081\u0090\r\n")},
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

// Outside a memo only a line that is empty or holds spaces alone is skipped: a
// heading centred with twenty spaces or more is the title line, named after its
// text, and a lone "1" starts a memo; it is not a flag.
TEST(TextMemoReader, OutsideAMemoOnlyBlankLinesAreSkipped)
{
    const QByteArray centred = QByteArray(24, ' ') + "Centred heading";
    const QList<Memo> memos =
        memosOf("\r\n   \r\n" + centred + "\r\nbody\r\n0\r\nCat\r\n1\r\nx\r\n0\r\nc\r\n");
    ASSERT_EQ(memos.size(), 2);
    EXPECT_EQ(memos[0].title, "Centred heading");
    EXPECT_EQ(memos[0].text, centred + "\r\nbody\r\n");
    EXPECT_EQ(memos[0].titleLine, 3);
    EXPECT_EQ(memos[0].category, "Cat");
    EXPECT_EQ(memos[1].title, "1");
    EXPECT_EQ(memos[1].text, "1\r\nx\r\n");
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

// A memo is read in the characters chosen, unless its text and category are
// valid UTF-8 with a byte above 0x7F; titles then count characters, and a byte
// that is no text in the set becomes U+FFFD, which the memo tells.
TEST(TextMemoReader, ReadsEachMemoInTheCharactersChosenUnlessItIsUtf8)
{
    const struct
    {
        const char *name;
        CharacterSet characters;
        QByteArray title;
        QByteArray category;
        QString text; // the title line's
        QString categoryText;
        bool replaced;
    } cases[] = {
        {"Western", CharacterSet::Western, "Caf\xE9 \x80 \x95", "R\xE9sum\xE9",
         QString::fromUtf8("Café € •"), QString::fromUtf8("Résumé"), false},
        {"UTF-8 whatever the choice", CharacterSet::Cyrillic, "Caf\xC3\xA9", "R\xC3\xA9sum\xC3\xA9",
         QString::fromUtf8("Café"), QString::fromUtf8("Résumé"), false},
        {"UTF-8 text, category not", CharacterSet::Western, "Caf\xC3\xA9", "R\xE9sum\xE9",
         QString::fromUtf8("CafÃ©"), QString::fromUtf8("Résumé"), false},
        {"Cyrillic", CharacterSet::Cyrillic, "\xCF\xF0\xE8\xE2\xE5\xF2", "\xC4\xEE\xEC",
         QString::fromUtf8("Привет"), QString::fromUtf8("Дом"), false},
        {"a byte Greek leaves undefined", CharacterSet::Greek, "\xC1\xAA", "",
         QString::fromUtf8("Α\uFFFD"), "", true},
        {"Japanese, a second byte that is a backslash", CharacterSet::Japanese,
         "\x93\xFA\x96\x7B\x82\xCC\x95\x5C", "\x8E\x64\x8E\x96", QString::fromUtf8("日本の表"),
         QString::fromUtf8("仕事"), false},
        {"Japanese cut off at the end", CharacterSet::Japanese, "A\x93", "",
         QString::fromUtf8("A\uFFFD"), "", true},
        {"Mac OS Roman", CharacterSet::MacRoman, "Caf\x8E \xA5", "", QString::fromUtf8("Café •"),
         "", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QList<Memo> memos =
            memosOf(c.title + "\r\nbody\r\n0\r\n" + c.category + "\r\n", c.characters);
        ASSERT_EQ(memos.size(), 1);
        EXPECT_EQ(memos[0].title, c.text);
        EXPECT_EQ(memos[0].text, c.text + "\r\nbody\r\n");
        EXPECT_EQ(memos[0].category, c.categoryText);
        EXPECT_EQ(memos[0].replacedBytes, c.replaced);
    }
    // Twenty characters, not bytes: twenty-five kanji of two bytes each.
    const QList<Memo> long25 =
        memosOf(QByteArray("\x93\xFA").repeated(25) + "\r\n0\r\nc\r\n", CharacterSet::Japanese);
    ASSERT_EQ(long25.size(), 1);
    EXPECT_EQ(long25[0].title, QString::fromUtf8("日").repeated(20));
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
    SeparatedMemoReader reader(bytes, SeparatedForm{separator}, decoderFor());
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
        texts << memo.text.toUtf8();
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
                    // Blank lines before the title line go; a record without one is no
                    // memo. Blank lines between records, also of spaces alone, and a
                    // byte-order mark are skipped.
                    SeparatedCase{"leadingBlankLinesAndRecordsWithoutTitle",
                                  Separator::Comma,
                                  "\xEF\xBB\xBF  \r\n\"\r\n   \r\n" + QByteArray(20, ' ') +
                                      "centred\r\n  Title\",0,c\r\n\r\n   \r\n"
                                      "\"   \r\n\",1,d\r\n\"\",0,e\r\n,0,f\r\n\"A\",0,g\r\n",
                                  {QByteArray(20, ' ') + "centred\r\n  Title\r\n", "A\r\n"},
                                  {"c", "g"}},
                    // The desktop program writes CR CR LF for a line break inside a
                    // memo, so an empty line of the memo is CR CR LF CR CR LF.
                    SeparatedCase{"carriageReturnTwiceThenLineFeedIsOneLineBreak",
                                  Separator::Comma,
                                  "\"Plan\r\r\nmilk\r\r\n\r\r\neggs\r\r\n\",\"0\",\"c\"\r\n"
                                  "\"B\",0,d\r\n",
                                  {"Plan\r\nmilk\r\n\r\neggs\r\n", "B\r\n"},
                                  {"c", "d"}}),
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
    for (qsizetype padding = qsizetype{64} * 1024 - 12; padding <= qsizetype{64} * 1024;
         ++padding) {
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

// What a source gives, read in the form it is told to be: each memo as
// "title/category", and what stopped the reading, if anything.
struct Reading
{
    QStringList memos;
    std::optional<Error> error;
};

// `changes` lie beside the source as J-Pilot's do, where `name` is given.
Reading readInItsForm(const QByteArray &source, const QString &name = {},
                      const QByteArray &changes = {})
{
    MemoryBytes bytes(source, Path(name));
    if (!changes.isNull())
        bytes.addOther(Path(QString(name).replace(".pdb", ".pc3")), changes);
    Reading reading;
    Result<std::unique_ptr<MemoSource>> reader = SourceForms::readerFor(bytes);
    if (!reader) {
        reading.error = reader.error();
        return reading;
    }
    for (;;) {
        const Result<const Memo *> next = (*reader)->next();
        if (!next)
            reading.error = next.error();
        if (!next || !*next)
            return reading;
        reading.memos << (*next)->title + u'/' + (*next)->category;
    }
}

QByteArray databaseOf(QList<MemoDatabase::Record> records, const QByteArray &creator = "memo",
                      const QByteArray &name = "MemoDB")
{
    MemoDatabase database;
    database.name = name;
    database.creator = creator;
    database.records = std::move(records);
    return database.bytes();
}

// By content alone, whatever the file is called. A separated export is told
// by its first records; anything else is the Text form.
TEST(SourceForms, TellTheFormByContent)
{
    const struct
    {
        const char *name;
        QByteArray source;
        QStringList memos;
        std::optional<Error::Reason> error = std::nullopt;
        qint64 errorLine = 0;
    } cases[] = {
        {"comma", "\"A\r\nb\",0,c\r\n", {"A/c"}},
        {"tab", "\"A\"\t\"1\"\t\"c\"", {"A/c"}},
        {"byte-order mark", "\xEF\xBB\xBF\"A\",0,c", {"A/c"}},
        {"first record without a title", "\"\",1,\r\n\"B\",0,d", {"B/d"}},
        {"blank lines first", "\r\n   \r\n\"A\",0,c", {"A/c"}},
        {"header naming the columns",
         "\"Memo\",\"Private\",\"Category\"\r\n\"A\",0,c\r\n",
         {"A/c"}},
        {"saved again by a spreadsheet",
         "Groceries,0,Personal\r\n\"Meeting: plan\r\nagenda\",1,Business\r\n",
         {"Groceries/Personal", "Meeting: plan/Business"}},
        {"one unquoted record", "Plan,0,Work", {"Plan/Work"}},
        {"first record's flag is 2",
         "\"A\",2,c\r\n\"B\",0,d\r\n",
         {},
         Error::Reason::NotCommaRecord,
         1},
        {"J-Pilot",
         "CSV memo version 1.8.2: Category, Private, Memo Text\n\"Personal\",\"0\",\"Groceries\n"
         "milk\"\n\"Business\",\"1\",\"Plan\"\n",
         {"Groceries/Personal", "Plan/Business"}},
        {"J-Pilot, a blank line first",
         "\nCSV memo version 1.8.2: Category, Private, Memo Text\n\"Work\",\"0\",\"Alpha\"\n"
         "\"Home\",\"0\",\"Beta\"\n",
         {"Alpha/Work", "Beta/Home"}},
        {"J-Pilot, quotes doubled",
         "CSV memos version 2.0\n\"Work\",\"0\",\"Say \"\"hi\"\"\"\n",
         {"Say \"hi\"/Work"}},
        {"text whose title starts with a quote",
         "\"Quoted\" title\r\nb\r\n0\r\nc\r\n",
         {"\"Quoted\" title/c"}},
        {"text whose title is a quotation",
         "\"To be or not to be\", he said\r\n0\r\nQuotes\r\n",
         {"\"To be or not to be\"/Quotes"}},
        {"text whose title is a quoted list", "\"a\",\"b\"\r\n0\r\nc\r\n", {"\"a\",\"b\"/c"}},
        {"text whose title looks like a record", "a,0,b\r\nbody\r\n0\r\ncat\r\n", {"a,0,b/cat"}},
        {"flag not 0 or 1, nothing after", "\"A\",2,c", {}},
        {"four fields", "\"A\",0,c,d", {}},
        {"quote never closed", "\"A,0,c\r\n", {}},
        {"empty", "", {}},
        {"memo database", databaseOf({{"Plan\nagenda", 1}}), {"Plan/Business"}},
        {"the later Memos' database", databaseOf({{"Plan", 2}}, "PMem"), {"Plan/Personal"}},
        {"another database",
         databaseOf({{"Plan", 1}}, "addr", "AddressDB"),
         {},
         Error::Reason::OtherDatabase},
        {"NUL bytes", QByteArray("A\r\n\0\0\r\n0\r\nc\r\n", 12), {}, Error::Reason::NotText},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Reading reading = readInItsForm(c.source);
        EXPECT_EQ(reading.memos, c.memos);
        ASSERT_EQ(reading.error.has_value(), c.error.has_value());
        if (c.error) {
            EXPECT_EQ(reading.error->reason(), *c.error);
            EXPECT_EQ(reading.error->line(), c.errorLine);
        }
    }
    const Reading other = readInItsForm(databaseOf({{"Plan", 1}}, "addr", "AddressDB"));
    ASSERT_TRUE(other.error);
    EXPECT_EQ(other.error->detail(), "AddressDB");
}

// Each record of the organiser's database as the exports give the same memo:
// its category by label, its lines ended by CR LF; deleted and archived records,
// and those without a title line, are no memos; private ones are.
TEST(DatabaseMemoReader, ReadsEveryMemoAsTheExportsGiveIt)
{
    const auto withCategories = [](QList<QByteArray> labels, QList<MemoDatabase::Record> records,
                                   bool appInfo = true) {
        MemoDatabase database;
        database.categories = std::move(labels);
        database.withAppInfo = appInfo;
        database.records = std::move(records);
        return database.bytes();
    };
    QByteArray appInfoPastTheEnd = databaseOf({{"Plan", 1}});
    qToBigEndian<quint32>(appInfoPastTheEnd.size() - 100, appInfoPastTheEnd.data() + 0x34);
    const QByteArray centred = QByteArray(25, ' ') + "Heading";
    const struct
    {
        const char *name;
        QByteArray database;
        QStringList memos; // "title/category/text"
    } cases[] = {
        {"labels",
         databaseOf({{"Plan\nagenda", 1}, {"Shop", 2}, {"Misc", 9}}),
         {"Plan/Business/Plan\r\nagenda\r\n", "Shop/Personal/Shop\r\n", "Misc/Unfiled/Misc\r\n"}},
        {"empty label takes the first one's",
         withCategories({"Main", "", "Home"}, {{"A", 1}}),
         {"A/Main/A\r\n"}},
        {"no labels at all",
         withCategories({"", "Work"}, {{"A", 0}, {"B", 1}}),
         {"A/Unfiled/A\r\n", "B/Work/B\r\n"}},
        {"no application-info block",
         withCategories({"Unfiled", "Work"}, {{"A", 1}}, false),
         {"A/Unfiled/A\r\n"}},
        {"application-info block past the end", appInfoPastTheEnd, {"Plan/Unfiled/Plan\r\n"}},
        {"deleted and archived, private",
         databaseOf({{"Gone", 1, 0x80}, {"Secret", 1, 0x10}}),
         {"Secret/Business/Secret\r\n"}},
        {"line ends",
         databaseOf({{"a\nb\r\nc\rd\n", 0}, {"e\n\n", 0}}),
         {"a/Unfiled/a\r\nb\r\nc\r\nd\r\n", "e/Unfiled/e\r\n\r\n"}},
        {"blank lines first, a centred heading",
         databaseOf({{"\n   \r\n" + centred + "\nx", 0}}),
         {"Heading/Unfiled/" + centred + "\r\nx\r\n"}},
        {"no title line", databaseOf({{"  \n\n", 0}, {"", 0}}), {}},
        {"text up to the first NUL",
         databaseOf({{QByteArray("Plan\0rest", 9), 0}}),
         {"Plan/Unfiled/Plan\r\n"}},
        {"legacy bytes",
         withCategories({"Caf\xE9"}, {{"R\xE9sum\xE9", 0}}),
         {QString::fromUtf8("Résumé/Café/Résumé\r\n")}},
        {"no records", databaseOf({}), {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        MemoryBytes bytes(c.database);
        Result<std::unique_ptr<MemoSource>> reader = SourceForms::readerFor(bytes);
        ASSERT_TRUE(reader);
        QStringList memos;
        Result<const Memo *> next = (*reader)->next();
        for (; next && *next; next = (*reader)->next()) {
            const Memo &memo = **next;
            memos << memo.title + u'/' + memo.category + u'/' + memo.text;
            EXPECT_EQ(memo.unit, SourceUnit::Record);
        }
        ASSERT_TRUE(next) << next.error().message().toStdString();
        EXPECT_EQ(memos, c.memos);
    }
}

// Damage anywhere in the record list or the live records stops the reading
// before the first memo, naming the record, counted from 1; a deleted record is
// not read.
TEST(DatabaseMemoReader, FindsAllDamageBeforeTheFirstMemo)
{
    MemoDatabase database;
    database.records = {{"A", 0}, {"Gone", 0, 0x80}, {"B", 0}, {"C", 0}};
    const QByteArray whole = database.bytes();
    const auto offsetOf = [&whole](int index) {
        return qint64(
            qFromBigEndian<quint32>(whole.constData() + MemoDatabase::entryOffset(index)));
    };
    const auto damaged = [&whole](int index, qint64 offset) {
        QByteArray bytes = whole;
        MemoDatabase::setOffset(bytes, index, quint32(offset));
        return bytes;
    };
    MemoDatabase huge;
    huge.records = {{"A", 0}, {QByteArray(Limits::MemoBytes + 1, 'x'), 0}};
    using Reason = Error::Reason;
    const struct
    {
        const char *name;
        QByteArray database;
        std::optional<Reason> reason; // none where every memo is read
        qint64 record = 0;
    } cases[] = {
        {"whole", whole, std::nullopt},
        {"a deleted record's offset is not read", damaged(1, whole.size() + 9), std::nullopt},
        {"inside the record list", damaged(0, MemoDatabase::entryOffset(1)),
         Reason::DamagedDatabase, 1},
        {"past the end", damaged(3, whole.size() + 1), Reason::DamagedDatabase, 4},
        {"record list longer than the file", whole.first(MemoDatabase::entryOffset(4) - 1),
         Reason::DamagedDatabase, 1},
        {"out of order", damaged(3, offsetOf(2) - 1), Reason::RecordOutOfOrder, 4},
        {"sharing an offset", damaged(2, offsetOf(3)), Reason::EmptyRecord, 3},
        {"cut at the start of the last record", whole.first(offsetOf(3)), Reason::EmptyRecord, 4},
        {"overlapping", damaged(3, offsetOf(2) + 1), Reason::UnendedRecord, 3},
        {"cut inside the last record", whole.chopped(1), Reason::UnendedRecord, 4},
        {"text past the largest memo", huge.bytes(), Reason::RecordTooLong, 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Reading reading = readInItsForm(c.database);
        EXPECT_EQ(reading.memos,
                  c.reason ? QStringList() : QStringList({"A/Unfiled", "B/Unfiled", "C/Unfiled"}));
        ASSERT_EQ(reading.error.has_value(), c.reason.has_value());
        if (c.reason) {
            EXPECT_EQ(reading.error->reason(), *c.reason);
            EXPECT_EQ(reading.error->line(), c.record);
        }
    }
}

// The desktop program's memo file, whatever it is called: every memo that is
// not deleted on the desktop, its category by index, else by ID, else
// Unfiled. Damage anywhere, and text longer than any memo, stop the reading
// before the first memo, naming the record; a file in another layout, or one
// named like the desktop program's that it cannot read, is refused with the
// way out.
TEST(MemoFileReader, ReadsTheLayoutAndFindsAllDamageBeforeTheFirstMemo)
{
    const auto fileOf = [](QList<MemoFile::Record> records) {
        MemoFile file;
        file.records = std::move(records);
        return file;
    };
    const MemoFile three = fileOf({{"A\r\nx", 1}, {"B", 2}, {"C", 3}});
    MemoFile otherLayout = three;
    otherLayout.layout = {1, 1, 1, 5, 1, 1};
    MemoFile fieldsPastTheEnd = three;
    fieldsPastTheEnd.fieldCount = 4 * 6;
    MemoFile fieldsOfHalfARecord = three;
    fieldsOfHalfARecord.fieldCount = 2 * 6 + 3;
    MemoFile emptyName = fileOf({{"A", 1}});
    emptyName.categories = {{1, 1, ""}};
    const QByteArray longText = "Long\r\n" + QByteArray(70'000, 'x');
    QByteArray textPastTheEnd = fileOf({{"A", 1}, {"B", 2}}).bytes();
    textPastTheEnd.chop(4 * 2 * 2 + 1); // the last two fields and the text "B", not its length
    using Reason = Error::Reason;
    const struct
    {
        const char *name;
        QByteArray file;
        QStringList memos; // "title/category"
        std::optional<Reason> reason = std::nullopt;
        qint64 record = 0;
        const char *fileName = "memos.txt";
    } cases[] = {
        {"categories by index, by ID, none",
         fileOf({{"A", 1}, {"B", 130}, {"C", 0}, {"D", 9}}).bytes(),
         {"A/Business", "B/Ideas", "C/Unfiled", "D/Unfiled"}},
        {"deleted, private, without a title",
         fileOf({{"Gone", 1, 0x04}, {"Secret", 2, 0x01, 1}, {"\r\n  \r\n", 1}}).bytes(),
         {"Secret/Personal"}},
        {"blank lines first, legacy bytes",
         fileOf({{"\r\n  \r\nR\xE9sum\xE9\r\nx", 3}}).bytes(),
         {QString::fromUtf8("Résumé/Ideas")}},
        {"texts of 2- and 4-byte lengths",
         fileOf({{QByteArray(300, 'a'), 1}, {longText, 2}}).bytes(),
         {QString(20, u'a') + "/Business", "Long/Personal"}},
        {"a category without a name", emptyName.bytes(), {"A/Unfiled"}},
        {"an archive of the same layout",
         three.bytes(),
         {"A/Business", "B/Personal", "C/Ideas"},
         std::nullopt,
         0,
         "memopad.mpa"},
        {"cut short in the header", three.bytes().first(40), {}, Reason::DamagedMemoFile, 0},
        {"cut short in a record", three.bytes().chopped(3), {}, Reason::DamagedMemoFile, 3},
        {"fields past the end", fieldsPastTheEnd.bytes(), {}, Reason::DamagedMemoFile, 4},
        {"fields of half a record", fieldsOfHalfARecord.bytes(), {}, Reason::DamagedMemoFile, 3},
        {"a text past the end", textPastTheEnd, {}, Reason::DamagedMemoFile, 2},
        {"a field of another type",
         fileOf({{"A", 1}, {"B", 1, 0, 0, {1, 1, 1, 5, 1, 1}}}).bytes(),
         {},
         Reason::MemoFileFieldType,
         2},
        {"text past the largest memo",
         fileOf({{"A", 1}, {QByteArray(Limits::MemoBytes + 1, 'x'), 1}}).bytes(),
         {},
         Reason::RecordTooLong,
         2},
        {"another layout", otherLayout.bytes(), {}, Reason::OtherMemoFileLayout},
        {"an archive of another program's kind",
         QByteArray("\x01\x00\x00\x00xy", 6),
         {},
         Reason::OtherMemoFileLayout,
         0,
         "memopad.mpa"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Reading reading = readInItsForm(c.file, c.fileName);
        EXPECT_EQ(reading.memos, c.memos);
        ASSERT_EQ(reading.error.has_value(), c.reason.has_value());
        if (c.reason) {
            EXPECT_EQ(reading.error->reason(), *c.reason);
            EXPECT_EQ(reading.error->line(), c.record);
        }
    }
}

// With J-Pilot's changes beside the database: its records that no entry edits
// or deletes, then the memos made or edited on the desktop, in the order of
// the entries. Damage in the changes stops the reading before the first memo,
// naming their file and the entry.
TEST(JPilotMemoReader, ReadsTheMemosAsJPilotShowsThem)
{
    // Unique IDs 1 to 4.
    const QByteArray database = databaseOf({{"A", 1}, {"B", 1}, {"C", 2}, {"D", 2}});
    using Entry = JPilotChanges::Entry;
    const auto changesOf = [](QList<Entry> entries) {
        JPilotChanges changes;
        changes.entries = std::move(entries);
        return changes.bytes();
    };
    const QByteArray edits = changesOf({{101, 2, "B"},
                                        {106, 2, "B edited", 2},
                                        {102, 3, "C"},
                                        {103, 0, "New", 0x11},
                                        {360, 0, "New, then deleted"},
                                        {361, 4, "Edited, then deleted"},
                                        {103, 0, "Later", 1, 25, 3}});
    using Reason = Error::Reason;
    const struct
    {
        const char *name;
        QByteArray changes;
        QStringList memos; // "title/category"
        std::optional<Reason> reason = std::nullopt;
        qint64 entry = 0;
    } cases[] = {
        {"none", {}, {"A/Business", "B/Business", "C/Personal", "D/Personal"}},
        {"empty", "", {"A/Business", "B/Business", "C/Personal", "D/Personal"}},
        {"made, edited, deleted",
         edits,
         {"A/Business", "D/Personal", "B edited/Personal", "New/Business", "Later/Business"}},
        {"an edit without its old copy",
         changesOf({{106, 1, "A edited", 1}}),
         {"B/Business", "C/Personal", "D/Personal", "A edited/Business"}},
        {"cut inside an entry", edits.chopped(1), {}, Reason::ChangesCutShort, 7},
        {"cut inside a header",
         edits + QByteArray("\0\0\0\x15\0\0", 6),
         {},
         Reason::ChangesCutShort,
         8},
        {"a length past the end",
         changesOf({{103, 0, "New"}, {103, 0, QByteArray(9, 'x')}}).chopped(4),
         {},
         Reason::ChangesCutShort,
         2},
        {"a header shorter than J-Pilot writes",
         changesOf({{103, 0, "New", 0, 20}}),
         {},
         Reason::ChangesEntryDamaged,
         1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Reading reading = readInItsForm(database, "MemoDB.pdb", c.changes);
        EXPECT_EQ(reading.memos, c.memos);
        ASSERT_EQ(reading.error.has_value(), c.reason.has_value());
        if (c.reason) {
            EXPECT_EQ(reading.error->reason(), *c.reason);
            EXPECT_EQ(reading.error->line(), c.entry);
            EXPECT_EQ(reading.error->path(), Path("MemoDB.pc3"));
        }
    }
}

// Each piece of text is UTF-8 where it is valid UTF-8, else Windows-1252, whose
// five undefined bytes keep their Latin-1 value.
TEST(TextDecoder, DecodesEachPieceOnItsOwn)
{
    const struct
    {
        const char *name;
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"ASCII", "Plan", "Plan"},
        {"UTF-8", "R\xC3\xA9sum\xC3\xA9", QString::fromUtf8("Résumé")},
        {"Windows-1252", "\x80 caf\xE9 \x93q\x94", QString::fromUtf8("€ café “q”")},
        {"undefined bytes kept", "\x81\x8D\x8F\x90\x9D",
         QString::fromUtf16(u"\u0081\u008D\u008F\u0090\u009D")},
        {"byte-order mark is a character",
         "\xEF\xBB\xBF"
         "A",
         QChar(0xFEFF) + QString("A")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TextDecoder::decode(c.bytes), c.text);
    }
}

// A file of ever new categories must not grow the cache without bound; what
// it decoded before it was emptied still decodes the same.
TEST(MemoDecoder, EmptiesItsCacheOfCategoriesWhenFullAndDecodesTheSameAfterwards)
{
    MemoDecoder decoder = decoderFor();
    Memo memo;
    for (int i = 0; i < MemoDecoder::MaximumCachedCategories; ++i)
        decoder.decode("A\r\n", "Category " + QByteArray::number(i), memo);
    EXPECT_EQ(decoder.cachedCategories(), MemoDecoder::MaximumCachedCategories);
    decoder.decode("A\r\n", "caf\xE9", memo);
    EXPECT_EQ(memo.category, QString::fromUtf8("café"));
    EXPECT_EQ(decoder.cachedCategories(), 1);
    decoder.decode("A\r\n", "Category 0", memo);
    EXPECT_EQ(memo.category, "Category 0");
    decoder.decode("A\r\n", "", memo);
    EXPECT_EQ(memo.category, "");
    decoder.decode("A\r\n", QByteArray(4096, 'c'), memo);
    EXPECT_EQ(decoder.cachedCategories(), 2);
}

} // namespace
