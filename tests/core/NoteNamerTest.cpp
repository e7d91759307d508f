#include "NoteNamer.h"

#include "FileNameRules.h"
#include "Path.h"
#include "QtPrinters.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

struct NameCase
{
    const char *name;
    QString raw;
    QString title;
    QString category;
};

class CleanNames : public testing::TestWithParam<NameCase>
{
};

TEST_P(CleanNames, SafeOnFatAndInsideTheNotesFolder)
{
    EXPECT_EQ(FileNameRules::cleanTitle(GetParam().raw), GetParam().title);
    EXPECT_EQ(FileNameRules::cleanCategory(GetParam().raw), GetParam().category);
}

INSTANTIATE_TEST_SUITE_P(
    FileNameRules, CleanNames,
    testing::Values(NameCase{"plain", "Groceries", "Groceries", "Groceries"},
                    NameCase{"colon", "Meeting: plan", "Meeting_ plan", "Meeting_ plan"},
                    NameCase{"allForbidden", "/\\|:*?<>\"", "_________", "_________"},
                    NameCase{"slashInCategory", "Work/Home", "Work_Home", "Work_Home"},
                    NameCase{"controlCharacters",
                             QString::fromUtf8("a\tb\x7F"
                                               "c"),
                             "a_b_c", "a_b_c"},
                    NameCase{"trailingSpacesAndDots", "Plan . .", "Plan", "Plan"},
                    NameCase{"dotDot", "..", "_", ""}, NameCase{"onlySpaces", "   ", "_", ""},
                    NameCase{"leadingDotKept", ".hidden", ".hidden", ".hidden"},
                    NameCase{"unicodeKept", QString::fromUtf8("Café 😀"),
                             QString::fromUtf8("Café 😀"), QString::fromUtf8("Café 😀")}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(FileNameRules, LongCategoriesAreCutBetweenCharacters)
{
    EXPECT_EQ(FileNameRules::cleanCategory(QString(300, QLatin1Char('x'))),
              QString(255, QLatin1Char('x')));
    // Two bytes each in UTF-8: 127 fit in 255 bytes.
    EXPECT_EQ(FileNameRules::cleanCategory(QString(200, QChar(0xE9))), QString(127, QChar(0xE9)));
    // Four bytes each: never half a surrogate pair.
    const QString emoji = QString::fromUtf8("😀");
    EXPECT_EQ(FileNameRules::cleanCategory(emoji.repeated(70)), emoji.repeated(63));
    // What the cut leaves at the end is cleaned like any other name.
    EXPECT_EQ(FileNameRules::cleanCategory(QString(254, QLatin1Char('x')) + " ."),
              QString(254, QLatin1Char('x')));
}

struct Memo
{
    QString title;
    QString category;
};

Memo memo(const QString &title, const QString &category)
{
    return Memo{title, category};
}

// Names memos as the run does, in folders of its own.
class Namer
{
public:
    explicit Namer(bool addTxt) : m_namer(m_folders, addTxt) {}
    NotePath name(const Memo &memo) { return m_namer.name(memo.title, memo.category); }
    NoteNamer *operator->() { return &m_namer; }

private:
    NoteFolders m_folders;
    NoteNamer m_namer;
};

TEST(NoteNamer, DuplicatesIgnoringCaseGetNumbers)
{
    Namer namer(true);
    EXPECT_EQ(namer.name(memo("Plan", "Work")).relativePath().toString(), "Work/Plan.txt");
    // Categories that differ only in case share the first one's folder.
    EXPECT_EQ(namer.name(memo("plan", "work")).relativePath().toString(), "Work/plan (2).txt");
    EXPECT_EQ(namer.name(memo("Plan", "Work")).relativePath().toString(), "Work/Plan (3).txt");
    EXPECT_EQ(namer.name(memo("Plan", "Home")).relativePath().toString(), "Home/Plan.txt");
    EXPECT_EQ(namer.name(memo("Plan", "")).relativePath().toString(), "Plan.txt");
    // Names that only differ after cleaning are duplicates too.
    EXPECT_EQ(namer.name(memo("Plan.", "Home")).relativePath().toString(), "Home/Plan (2).txt");
}

TEST(NoteNamer, NumberedNameAlreadyTakenIsSkipped)
{
    Namer namer(false);
    EXPECT_EQ(namer.name(memo("A (2)", "")).fileName, "A (2)");
    EXPECT_EQ(namer.name(memo("A", "")).fileName, "A");
    EXPECT_EQ(namer.name(memo("A", "")).fileName, "A (3)");
    EXPECT_EQ(namer.name(memo("A (2)", "")).fileName, "A (2) (2)");
}

// Every name, with its number and extension, fits the bytes a device takes,
// cut between characters; once the device refuses a name as too long, every
// later name is shorter than it.
TEST(NoteNamer, NamesFitWhatTheDeviceTakes)
{
    const QString emoji = QString::fromUtf8("😀");
    const QString longest(255, QLatin1Char('x'));
    const struct
    {
        const char *name;
        qsizetype refusedBytes; // of a name the device refused first; 0 for none
        bool folderTaken;       // the device holds a file under the folder's name
        Memo memo;
        int times; // the memo is named this often
        QString path;
    } cases[] = {
        {"numbered folder", 0, true, memo("A", longest), 1,
         QString(251, QLatin1Char('x')) + " (2)/A.txt"},
        {"numbered title", 86, false, memo(emoji.repeated(20), ""), 2,
         emoji.repeated(19) + " (2).txt"},
        {"folder on a device of 100 bytes", 101, false, memo("A", longest), 1,
         QString(100, QLatin1Char('x')) + "/A.txt"},
        {"cut where spaces end it", 243, false,
         memo("A", QString(240, QLatin1Char('x')) + "  " + QString(20, QLatin1Char('y'))), 1,
         QString(240, QLatin1Char('x')) + "/A.txt"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Namer namer(true);
        if (c.refusedBytes > 0) {
            ASSERT_TRUE(namer->refuseNamesAsLongAs(QString(c.refusedBytes, QLatin1Char('r'))));
        }
        NotePath path = namer.name(c.memo);
        if (c.folderTaken) {
            namer->moveCategory(c.memo.category, *path.folder);
            path = namer.name(c.memo);
        }
        for (int time = 1; time < c.times; ++time)
            path = namer.name(c.memo);
        EXPECT_EQ(path.relativePath().toString(), c.path);
    }
    Namer namer(false);
    EXPECT_FALSE(
        namer->refuseNamesAsLongAs(QString(NoteNamer::ShortestNameBytes, QLatin1Char('r'))));

    // A part's name keeps " (part N)" whole; its note's name gives way.
    Namer parts(true);
    ASSERT_TRUE(parts->refuseNamesAsLongAs(QString(30, QLatin1Char('r'))));
    const NotePath note = parts.name(memo("abcdefghijklmnopqrst", "c"));
    EXPECT_EQ(note.fileName, "abcdefghijklmnopqrst.txt");
    EXPECT_EQ(parts->namePart(note, 2).fileName, "abcdefghijklmnop (part 2).txt");
    EXPECT_EQ(parts->namePart(note, 2).fileName, "abcdefghijkl (part 2) (2).txt");
}

// Every join and split of a path is made by Path, as text: the parent and the
// last name give the path back, and a folder holds only what lies below it.
TEST(Path, SplitsJoinsAndTellsWhatAFolderHolds)
{
    const struct
    {
        const char *path;
        const char *parent;
        const char *fileName;
    } splits[] = {
        {"/media/me/IPOD", "/media/me", "IPOD"},
        {"/media/me/IPOD/", "/media/me", "IPOD"},
        {"/memos.txt", "/", "memos.txt"},
        {"memos.txt", "", "memos.txt"},
        {"Work/Plan", "Work", "Plan"},
        {"/", "", ""},
        {"", "", ""},
    };
    for (const auto &c : splits) {
        SCOPED_TRACE(c.path);
        const Path path(c.path);
        EXPECT_EQ(path.parent(), Path(c.parent));
        EXPECT_EQ(path.fileName(), c.fileName);
        if (*c.fileName) {
            EXPECT_EQ(path.parent() / path.fileName(), path);
        }
    }
    const struct
    {
        const char *path;
        const char *folder;
        bool held;
    } holds[] = {
        {"/media/me/IPOD", "/media", true}, {"/media/me/IPOD", "/", true},
        {"/media/", "/media", false},       {"/mediaX/IPOD", "/media", false},
        {"/media", "/media/me", false},     {"Work/Plan", "Work", true},
        {"/media/me", "", false},           {"/", "/", false},
    };
    for (const auto &c : holds) {
        SCOPED_TRACE(std::string(c.path) + " in " + c.folder);
        EXPECT_EQ(Path(c.path).hasAncestor(Path(c.folder)), c.held);
    }
    // "~" stands for the home folder only as a shell reads it.
    const Path home(QDir::homePath());
    EXPECT_EQ(Path::typed("~"), home);
    EXPECT_EQ(Path::typed("~/"), home);
    EXPECT_EQ(Path::typed("~/memos.txt"), home / u"memos.txt");
    EXPECT_EQ(Path::typed("~memos.txt"), Path("~memos.txt"));
}

} // namespace
