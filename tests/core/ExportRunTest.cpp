#include "ExportRun.h"

#include "Limits.h"
#include "MemoDatabase.h"
#include "MemoFile.h"
#include "NoteParts.h"
#include "QtPrinters.h"
#include "SoftLimit.h"
#include "TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <climits>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QByteArray WorkedExample = "Groceries\r\nmilk\r\neggs\r\n\r\n0\r\nPersonal\r\n\r\n"
                                 "Meeting: plan\r\nagenda\r\n\r\n1\r\nBusiness\r\n";

class CountLog : public ExportProgress
{
public:
    void notesSaved(qint64 count) override
    {
        counts << count;
        if (count == 1 && afterFirstNote)
            std::exchange(afterFirstNote, nullptr)();
    }
    QList<qint64> counts;
    std::function<void()> afterFirstNote;
};

// The notes counted on a player, -1 where they could not be counted.
std::optional<qint64> notesOnPlayer(const ExportResult &result)
{
    if (!result.notesOnPlayer)
        return std::nullopt;
    return *result.notesOnPlayer ? **result.notesOnPlayer : -1;
}

class ExportRunTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    QString source(const QByteArray &content)
    {
        QString path = folder.filePath("memos.txt");
        TestFiles::write(path, content);
        return path;
    }
    QString root() const { return folder.filePath("player"); }
    QString notes() const { return root() + "/Notes"; }
    ExportResult exportTo(const QString &destination, const QByteArray &content,
                          bool addTxt = false)
    {
        return ExportRun(Path(source(content)), Path(destination), addTxt).run(log);
    }
    ExportResult exportToPlayer(const QByteArray &content, bool addTxt = false)
    {
        QDir().mkpath(root());
        return exportTo(root(), content, addTxt);
    }
    ExportResult exportFile(const QString &sourcePath)
    {
        return ExportRun(Path(sourcePath), Path(root()), false).run(log);
    }

    QTemporaryDir folder;
    CountLog log;
};

TEST_F(ExportRunTest, WorkedExampleByteForByte)
{
    const ExportResult result = exportToPlayer(WorkedExample);
    ASSERT_TRUE(result.succeeded()) << result.message().toStdString();
    EXPECT_EQ(result.noteCount, 2);
    EXPECT_EQ(result.completionMessage(), "2 memos saved to " + root() + "/Notes/");
    EXPECT_EQ(log.counts, (QList<qint64>{0, 1, 2}));
    EXPECT_EQ(TestFiles::listRecursively(notes()),
              (QStringList{"Business/Meeting_ plan", "Personal/Groceries"}));
    EXPECT_EQ(TestFiles::read(notes() + "/Personal/Groceries"), "Groceries\r\nmilk\r\neggs\r\n");
    EXPECT_EQ(TestFiles::read(notes() + "/Business/Meeting_ plan"), "Meeting: plan\r\nagenda\r\n");
}

TEST_F(ExportRunTest, ExtensionOnlyWhenChecked)
{
    for (const auto &[addTxt, name] : {std::pair{false, "Groceries"}, {true, "Groceries.txt"}}) {
        QDir(notes()).removeRecursively();
        ASSERT_TRUE(exportToPlayer("Groceries\r\n0\r\n\r\n", addTxt).succeeded());
        EXPECT_EQ(TestFiles::listRecursively(notes()), QStringList{name}) << "add .txt " << addTxt;
    }
}

TEST_F(ExportRunTest, OnlyBlankLinesCreatesTheNotesFolder)
{
    const ExportResult result = exportToPlayer("\r\n   \r\n\r\n");
    ASSERT_TRUE(result.succeeded());
    EXPECT_EQ(result.noteCount, 0);
    EXPECT_TRUE(QDir(notes()).exists());
    EXPECT_EQ(log.counts, QList<qint64>{0});
}

// The destination is a folder taken as it is: a name that looks like a label
// is part of it, and a trailing separator changes nothing.
TEST_F(ExportRunTest, DestinationIsTheFolderItself)
{
    for (const QString &destination : {folder.filePath("player [1]"), folder.filePath("x]y [")}) {
        QDir().mkpath(destination);
        for (const QString &given : {destination, destination + "//"}) {
            const ExportResult result = exportTo(given, "A\r\n0\r\nc\r\n");
            ASSERT_TRUE(result.succeeded()) << result.message().toStdString();
            EXPECT_EQ(result.notesFolder.toFolderString(), destination + "/Notes/");
            EXPECT_EQ(TestFiles::read(destination + "/Notes/c/A"), "A\r\n");
        }
    }
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("player/Notes")));
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("x]y/Notes")));
}

TEST_F(ExportRunTest, UnsafeCategoriesStayInsideTheNotesFolder)
{
    ASSERT_TRUE(
        exportToPlayer("A\r\n0\r\n..\r\nB\r\n0\r\nWork/Home\r\nC\r\n0\r\n\r\n").succeeded());
    EXPECT_EQ(TestFiles::listRecursively(root()),
              (QStringList{".quillet-notes", ".quillet-notes-reserve", "Notes/A", "Notes/C",
                           "Notes/Work_Home/B"}));
}

TEST_F(ExportRunTest, SameTitlesKeepEveryMemoAndRepeatTheSameNames)
{
    const QByteArray memos = "Plan\r\none\r\n0\r\nWork\r\nplan\r\ntwo\r\n0\r\nWork\r\n";
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(exportToPlayer(memos).succeeded());
        EXPECT_EQ(TestFiles::listRecursively(notes()), (QStringList{"Work/Plan", "Work/plan (2)"}));
        EXPECT_EQ(TestFiles::read(notes() + "/Work/plan (2)"), "plan\r\ntwo\r\n");
    }
}

TEST_F(ExportRunTest, OlderNoteIsReplacedWithoutLeftovers)
{
    QDir().mkpath(notes() + "/Work");
    TestFiles::write(notes() + "/Work/Plan", "old text that is longer than the new one\r\n");
    ASSERT_TRUE(exportToPlayer("Plan\r\nnew\r\n0\r\nWork\r\n").succeeded());
    EXPECT_EQ(TestFiles::read(notes() + "/Work/Plan"), "Plan\r\nnew\r\n");
    EXPECT_EQ(TestFiles::listRecursively(notes()), QStringList{"Work/Plan"});
}

// Exporting again leaves a note that holds the same bytes already as it is (no
// write, no temporary file beside it); a note whose bytes differ is replaced
// whole. Times are set far back first, so that any change shows.
TEST_F(ExportRunTest, ExportAgainTouchesOnlyWhatChanged)
{
    const auto status = [](const QString &path) {
        struct stat info
        {
        };
        ::stat(QFile::encodeName(path).constData(), &info);
        return info;
    };
    const auto setLongAgo = [](const QString &path) {
        const timespec times[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
    };
    const QByteArray first = "Same\r\n0\r\nc\r\nOther\r\nold\r\n0\r\nc\r\n";
    const QByteArray second = "Same\r\n0\r\nc\r\nOther\r\nnew\r\n0\r\nc\r\n";
    ASSERT_TRUE(exportToPlayer(first).succeeded());
    for (const QByteArray &memos : {second, second}) {
        for (const QString &path : {notes() + "/c", notes() + "/c/Same", notes() + "/c/Other"})
            setLongAgo(path);
        const struct stat same = status(notes() + "/c/Same");
        const struct stat other = status(notes() + "/c/Other");
        const bool otherChanges = TestFiles::read(notes() + "/c/Other") != "Other\r\nnew\r\n";
        ASSERT_TRUE(exportToPlayer(memos).succeeded());
        EXPECT_EQ(status(notes() + "/c/Same").st_ino, same.st_ino);
        EXPECT_EQ(status(notes() + "/c/Same").st_mtime, 1'000'000'000);
        EXPECT_EQ(status(notes() + "/c/Other").st_ino != other.st_ino, otherChanges);
        // A temporary file made and removed beside the notes would show here.
        EXPECT_EQ(status(notes() + "/c").st_mtime != 1'000'000'000, otherChanges);
        EXPECT_EQ(TestFiles::read(notes() + "/c/Other"), "Other\r\nnew\r\n");
        EXPECT_EQ(TestFiles::listRecursively(notes()), (QStringList{"c/Other", "c/Same"}));
    }
}

TEST_F(ExportRunTest, CountIsNotLimitedToSixteenBits)
{
    QByteArray memos;
    for (int i = 0; i < 32768; ++i)
        memos += "M\r\n0\r\n\r\n";
    const ExportResult result = exportToPlayer(memos);
    ASSERT_TRUE(result.succeeded()) << result.message().toStdString();
    EXPECT_EQ(result.noteCount, 32768);
    EXPECT_EQ(log.counts.last(), 32768);
    EXPECT_EQ(result.completionMessage(), "32768 memos saved to " + root() + "/Notes/");
}

TEST_F(ExportRunTest, MissingSourceOrRootFailsBeforeAnyNote)
{
    QDir().mkpath(root());
    ExportResult result = exportFile(folder.filePath("absent.txt"));
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->action(), Error::Action::OpenSource);
    EXPECT_EQ(result.error->path(), Path(folder.filePath("absent.txt")));
    EXPECT_TRUE(result.error->is(Error::Condition::Missing));

    result = exportTo(folder.filePath("unplugged"), WorkedExample);
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->action(), Error::Action::CreateNotesFolder);
    EXPECT_EQ(result.error->path(), Path(folder.filePath("unplugged/Notes")));
    EXPECT_TRUE(result.error->is(Error::Condition::Missing));
    EXPECT_TRUE(log.counts.isEmpty());
}

// Only a regular file whose start holds no NUL byte can be an export, or a memo
// database or memo file whole, with J-Pilot's changes beside it where there
// are any; anything else is refused before a folder is made, and nothing may
// wait on it.
TEST_F(ExportRunTest, SourcesThatAreNoExportAreRefusedBeforeAnythingIsWritten)
{
    const QString pipe = folder.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString program = folder.filePath("program");
    TestFiles::write(program, QByteArray("\x7F"
                                         "ELF\x02\x01\x01",
                                         7) +
                                  QByteArray(100, '\0'));
    const QString utf16 = folder.filePath("utf16.txt");
    TestFiles::write(utf16, QByteArray("\xFF\xFEG\0o\0\r\0\n\0", 10));
    // As the Open dialog and the command line give a name whose bytes are not
    // UTF-8: Latin-1's "é" became U+FFFD.
    const QByteArray latin1 = QFile::encodeName(folder.filePath("caf")) + "\xE9.txt";
    std::FILE *named = std::fopen(latin1.constData(), "wb");
    // Removed by its bytes: the temporary folder cannot name it to remove it.
    const auto removeNamed = qScopeGuard([&latin1] { std::remove(latin1.constData()); });
    ASSERT_TRUE(named && std::fputs("A\r\n0\r\nc\r\n", named) >= 0 && std::fclose(named) == 0);
    const QString lateNul = folder.filePath("late-nul.txt");
    TestFiles::write(lateNul, "A\r\n0\r\nc\r\n" + QByteArray(qsizetype{64} * 1024, 'x') + '\0');
    // Damage found only by going through the whole file, at its very end.
    MemoDatabase database;
    database.records = {{"A", 0}, {"B", 0}};
    const QString cutDatabase = folder.filePath("cut.pdb");
    TestFiles::write(cutDatabase, database.bytes().chopped(1));
    MemoFile memoFile;
    memoFile.records = {{"A", 1}, {"B", 1}};
    const QString cutMemoFile = folder.filePath("memopad.dat");
    TestFiles::write(cutMemoFile, memoFile.bytes().chopped(1));
    JPilotChanges changes;
    changes.entries = {{103, 0, "New"}};
    for (const char *name : {"Changes", "Unreadable"})
        TestFiles::write(folder.filePath(QString(name) + ".pdb"), database.bytes());
    TestFiles::write(folder.filePath("Changes.pc3"), changes.bytes().chopped(1));
    QDir(folder.path()).mkdir("Unreadable.pc3");
    const struct
    {
        QString path;
        Error::Reason reason;
        QString named = {}; // where the error names another file than the source
    } cases[] = {
        {folder.path(), Error::Reason::IsFolder},
        {pipe, Error::Reason::NotRegularFile},
        {"/dev/zero", Error::Reason::NotRegularFile},
        {program, Error::Reason::NotText},
        {utf16, Error::Reason::NotText},
        {QFile::decodeName(latin1), Error::Reason::NameNotUtf8},
        {cutDatabase, Error::Reason::UnendedRecord},
        {cutMemoFile, Error::Reason::DamagedMemoFile},
        {folder.filePath("Changes.pdb"), Error::Reason::ChangesCutShort,
         folder.filePath("Changes.pc3")},
        {folder.filePath("Unreadable.pdb"), Error::Reason::IsFolder,
         folder.filePath("Unreadable.pc3")},
    };
    QDir().mkpath(root());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const ExportResult result = exportFile(c.path);
        ASSERT_TRUE(result.error);
        EXPECT_EQ(result.error->reason(), c.reason);
        EXPECT_EQ(result.error->path(), Path(c.named.isEmpty() ? c.path : c.named));
        EXPECT_TRUE(result.message().endsWith("\nNo memos were saved."));
        EXPECT_FALSE(QFileInfo::exists(notes()));
    }
    EXPECT_TRUE(log.counts.isEmpty());
    // A NUL byte past the checked start is only a character of a memo.
    EXPECT_TRUE(exportFile(lateNul).succeeded());
}

// Without a single CR, LF ends the lines: the export went through a Unix tool.
// One CR anywhere keeps the organiser's rule, where a lone LF is in the line.
TEST_F(ExportRunTest, LineFeedEndsLinesOnlyInASourceWithoutCarriageReturns)
{
    const struct
    {
        QByteArray source;
        QByteArray note; // of Work/Plan
    } cases[] = {
        {"Plan\nmilk\n\n0\nWork\n", "Plan\r\nmilk\r\n"},
        {"Plan\r\nmilk\nmore\r\n0\r\nWork\r\n", "Plan\r\nmilk\nmore\r\n"},
    };
    for (const auto &c : cases) {
        QDir(root()).removeRecursively();
        const ExportResult result = exportToPlayer(c.source);
        ASSERT_TRUE(result.succeeded()) << result.message().toStdString();
        EXPECT_EQ(result.noteCount, 1);
        EXPECT_EQ(TestFiles::read(notes() + "/Work/Plan"), c.note);
    }
}

// A comma- or tab-separated export is told from the Text form by its content,
// whatever its name; its memos arrive whole, also where a line is just "0". A
// record that breaks the form stops the run; the notes before it stay. A damaged
// database writes nothing.
TEST_F(ExportRunTest, SeparatedExportsAreToldByTheirContent)
{
    MemoDatabase database;
    database.records = {{"A", 0}, {"B", 0}, {"C", 0}};
    QByteArray damagedDatabase = database.bytes();
    MemoDatabase::setOffset(damagedDatabase, 2, quint32(damagedDatabase.size() + 1));
    MemoDatabase addressDatabase;
    addressDatabase.name = "AddressDB";
    addressDatabase.creator = "addr";
    const struct
    {
        const char *name;
        QByteArray source;
        QStringList notes;
        QByteArray firstNote;
        QString error; // empty where the run succeeds
    } cases[] = {
        {"comma",
         "\"Lottery\r\n0\r\n33\",\"0\",\"Numbers\"\r\n",
         {"Numbers/Lottery"},
         "Lottery\r\n0\r\n33\r\n",
         {}},
        {"tab",
         "\xEF\xBB\xBF\"Lottery\r0\r33\"\t1\tNumbers",
         {"Numbers/Lottery"},
         "Lottery\r\n0\r\n33\r\n",
         {}},
        {"text whose title starts with a quote",
         "\"Lottery\" numbers\r\n0\r\n33\r\n",
         {"33/_Lottery_ numbers"},
         "\"Lottery\" numbers\r\n",
         {}},
        {"record that breaks the form",
         "\"A\",0,c\r\n\"B\",0\r\n\"C\",0,c\r\n",
         {"c/A"},
         "A\r\n",
         "Could not read the export file \"%1\": the record that starts on line 2 is not a "
         "memo of a comma-separated export.\n1 memo was saved before it."},
        {"first record that breaks the form",
         "\"A\",2,c\r\n\"B\",0,c\r\n",
         {},
         "<missing>",
         "Could not read the export file \"%1\": the record that starts on line 1 is not a "
         "memo of a comma-separated export.\nNo memos were saved."},
        {"damaged memo database",
         damagedDatabase,
         {},
         "<missing>",
         "Could not read the export file \"%1\": the memo database is damaged: record 3 lies "
         "outside the file.\nNo memos were saved."},
        {"another of the organiser's databases",
         addressDatabase.bytes(),
         {},
         "<missing>",
         "Could not read the export file \"%1\": it is the organiser's database \"AddressDB\", "
         "not its memos.\nNo memos were saved."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(root()).removeRecursively();
        const ExportResult result = exportToPlayer(c.source);
        EXPECT_EQ(result.succeeded() ? QString() : result.message(),
                  c.error.isEmpty() ? QString() : c.error.arg(folder.filePath("memos.txt")));
        EXPECT_EQ(TestFiles::listRecursively(notes()), c.notes);
        EXPECT_EQ(TestFiles::read(notes() + "/" + c.notes.value(0)), c.firstNote);
    }
}

// The same memos give the same notes from every form the organiser's programs
// write them in: the desktop program's Text, comma- and tab-separated exports
// (with its CR CR LF inside a memo), J-Pilot's export, the memo database (also
// with J-Pilot's changes not yet synced beside it) and the desktop program's
// memo file.
TEST_F(ExportRunTest, TheSameMemosGiveTheSameNotesFromEveryForm)
{
    const QByteArray centred = QByteArray(22, ' ') + "Centred";
    MemoDatabase database;
    database.categories = {"Unfiled", "Personal", "Work"};
    database.records = {{"Groceries\nmilk\neggs\n", 1},
                        {"Plan\nfirst", 2},
                        {"Gone", 2, 0x80},
                        {"\n  \n" + centred + "\nbody", 0},
                        {"plan\nsecond", 2, 0x10}};
    // J-Pilot's changes edit the last memo and delete one more.
    MemoDatabase unsynced = database;
    unsynced.records.last().text = "plan\nbefore the edit";
    unsynced.records << MemoDatabase::Record{"Deleted in J-Pilot", 1};
    JPilotChanges changes;
    changes.entries = {{101, 5, "plan\nbefore the edit"},
                       {106, 5, "plan\nsecond", 0x12},
                       {102, 6, "Deleted in J-Pilot"}};
    MemoFile memoFile;
    memoFile.categories = {{1, 1, "Personal"}, {2, 130, "Work"}};
    memoFile.records = {{"Groceries\r\nmilk\r\neggs\r\n", 1},
                        {"Plan\r\nfirst", 130},
                        {"Gone", 2, 0x04},
                        {"\r\n  \r\n" + centred + "\r\nbody", 0},
                        {"plan\r\nsecond", 2, 0, 1}};
    const struct
    {
        const char *name;
        QByteArray source;
        QByteArray changes = {}; // beside the source, as J-Pilot's
    } forms[] = {
        {"Text", "Groceries\r\nmilk\r\neggs\r\n0\r\nPersonal\r\n\r\nPlan\r\nfirst\r\n1\r\nWork\r\n"
                 "\r\n   \r\n" +
                     centred + "\r\nbody\r\n0\r\nUnfiled\r\nplan\r\nsecond\r\n1\r\nWork\r\n"},
        {"comma", "\"Groceries\r\r\nmilk\r\r\neggs\",\"0\",\"Personal\"\r\n\"Plan\r\r\nfirst\","
                  "\"1\",\"Work\"\r\n"
                  "\"\r\r\n  \r\r\n" +
                      centred +
                      "\r\r\nbody\",\"0\",\"Unfiled\"\r\n"
                      "\"plan\r\r\nsecond\",\"1\",\"Work\"\r\n"},
        {"tab",
         "\"Groceries\r\nmilk\r\neggs\r\n\"\t0\tPersonal\r\n\"Plan\r\nfirst\"\t1\tWork\r\n\"" +
             centred + "\r\nbody\"\t0\tUnfiled\r\n\"plan\r\nsecond\"\t1\tWork\r\n"},
        {"J-Pilot",
         "CSV memo version 1.8.2: Category, Private, Memo Text\n"
         "\"Personal\",\"0\",\"Groceries\nmilk\neggs\n\"\n\"Work\",\"0\",\"Plan\nfirst\"\n"
         "\"Unfiled\",\"0\",\"\n  \n" +
             centred + "\nbody\"\n\"Work\",\"1\",\"plan\nsecond\"\n"},
        {"memo database", database.bytes()},
        {"memo database with J-Pilot's changes", unsynced.bytes(), changes.bytes()},
        {"the desktop program's memo file", memoFile.bytes()},
    };
    const QMap<QString, QByteArray> expected{
        {"Personal/Groceries", "Groceries\r\nmilk\r\neggs\r\n"},
        {"Work/Plan", "Plan\r\nfirst\r\n"},
        {"Unfiled/Centred", centred + "\r\nbody\r\n"},
        {"Work/plan (2)", "plan\r\nsecond\r\n"},
    };
    for (const auto &form : forms) {
        SCOPED_TRACE(form.name);
        QDir(root()).removeRecursively();
        QFile::remove(folder.filePath("memos.pc3"));
        if (!form.changes.isEmpty())
            TestFiles::write(folder.filePath("memos.pc3"), form.changes);
        const ExportResult result = exportToPlayer(form.source);
        ASSERT_TRUE(result.succeeded()) << result.message().toStdString();
        EXPECT_EQ(TestFiles::contentsBelow(notes()), expected);
        EXPECT_EQ(result.message().contains("1 of them is a memo changed in J-Pilot"),
                  !form.changes.isEmpty())
            << result.message().toStdString();
    }
}

// A memo far larger than any real one, or a file without line ends, stops the
// run where it starts; the notes before it stay.
TEST_F(ExportRunTest, TextThatNeverEndsAMemoStopsTheRunAtItsStart)
{
    const QByteArray first = "A\r\n0\r\nc\r\n";
    QByteArray endlessMemo = first + "Big\r\n";
    while (endlessMemo.size() <= Limits::MemoBytes)
        endlessMemo += QByteArray(1023, 'x') + "\r\n";
    const QByteArray noLineEnds = first + QByteArray(Limits::MemoBytes + 1, 'y');
    for (const QByteArray &source : {endlessMemo, noLineEnds}) {
        QDir(root()).removeRecursively();
        const ExportResult result = exportToPlayer(source);
        ASSERT_TRUE(result.error);
        EXPECT_EQ(result.error->reason(), Error::Reason::MemoTooLong);
        EXPECT_EQ(result.error->line(), 4);
        EXPECT_EQ(result.noteCount, 1);
        EXPECT_EQ(TestFiles::listRecursively(notes()), QStringList{"c/A"});
    }
}

// The device may take two names as one that the run keeps apart (FAT's short
// names, other case rules); a link made right after the first note stands in
// for that. The run must then number the second note or folder, never write
// over what it wrote itself.
TEST_F(ExportRunTest, NameTheDeviceTakesForOneThisRunWroteIsNumbered)
{
    log.afterFirstNote = [&] {
        ::link(QFile::encodeName(notes() + "/A").constData(),
               QFile::encodeName(notes() + "/B").constData());
    };
    ASSERT_TRUE(exportToPlayer("A\r\n0\r\n\r\nB\r\n0\r\n\r\n").succeeded());
    EXPECT_EQ(TestFiles::read(notes() + "/B"), "A\r\n");
    EXPECT_EQ(TestFiles::read(notes() + "/B (2)"), "B\r\n");

    QDir(root()).removeRecursively();
    log.afterFirstNote = [&] { QFile::link(notes() + "/Work", notes() + "/Job"); };
    ASSERT_TRUE(exportToPlayer("A\r\n0\r\nWork\r\nA\r\n0\r\nJob\r\n").succeeded());
    EXPECT_EQ(TestFiles::listRecursively(notes() + "/Work"), QStringList{"A"});
    EXPECT_EQ(TestFiles::read(notes() + "/Job (2)/A"), "A\r\n");
}

// An iPod shows only its first 1,000 notes and the first 4 KB of each, without a
// word; the run counts the notes on one (parts included) and the memos it saved
// in parts for it.
TEST_F(ExportRunTest, CountsWhatAnIPodWillNotShow)
{
    QByteArray thousandMemos;
    for (int i = 0; i < 1000; ++i)
        thousandMemos += "N\r\n0\r\n\r\n";
    // "E", CR LF, the body, CR LF: exactly 4,096 bytes, which an iPod still shows.
    const QByteArray fullPage = "E\r\n" + QByteArray(4091, 'x') + "\r\n0\r\n\r\n";
    const QByteArray longer = "L\r\n" + QByteArray(4092, 'x') + "\r\n0\r\n\r\n";
    const struct
    {
        const char *name;
        bool iPod;
        QByteArray memos;
        std::optional<qint64> notesOnIPod;
        qint64 memosInParts;
    } cases[] = {
        {"no limit passed", true, "A\r\n0\r\nc\r\n" + fullPage, 3, 0},
        {"more than a thousand notes", true, thousandMemos, 1001, 0},
        {"a long note", true, longer + fullPage, 4, 1},
        {"not an iPod", false, thousandMemos + longer, std::nullopt, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(root()).removeRecursively();
        QDir().mkpath(root() + (c.iPod ? "/iPod_Control" : ""));
        QDir().mkpath(notes());
        TestFiles::write(notes() + "/Older", "left by an earlier run\r\n");
        const ExportResult result = exportToPlayer(c.memos);
        ASSERT_TRUE(result.succeeded()) << result.message().toStdString();
        EXPECT_EQ(notesOnPlayer(result), c.notesOnIPod);
        EXPECT_EQ(result.memosInParts, c.memosInParts);
    }
}

// Each memo arrives as the bytes its destination reads: UTF-8 in a plain
// folder; on an iPod Latin-1, or Mac OS Roman on a Mac's, where that holds
// every character, else UTF-8 after the line that says so; and on an iPod a
// note longer than it shows in parts, each linked to the next.
TEST_F(ExportRunTest, EachNoteArrivesInTheBytesItsDestinationReads)
{
    enum class Destination { Folder, IPod, MacIPod };
    const QByteArray utf8Line = "<?xml encoding=\"UTF8\"?>\r\n";
    const QByteArray latinLine = "\xE9" + QByteArray(997, 'x') + "\r\n";
    const QByteArray longLatin = "Long\r\n" + latinLine.repeated(5) + "0\r\nc\r\n";
    const QByteArray longCyrillic = "\xCF\r\n" + QByteArray(3000, '\xE4') + "\r\n0\r\nc\r\n";
    const QByteArray cyrillicD = "\xD0\xB4";
    const struct
    {
        const char *name;
        CharacterSet characters;
        Destination destination;
        QByteArray memos;
        QMap<QString, QByteArray> notes;
    } cases[] = {
        {"Windows-1252 into a folder",
         CharacterSet::Western,
         Destination::Folder,
         "Caf\xE9 \x95\r\n0\r\nc\r\n",
         {{QString::fromUtf8("c/Café •"), "Caf\xC3\xA9 \xE2\x80\xA2\r\n"}}},
        {"Latin-1 on an iPod",
         CharacterSet::Western,
         Destination::IPod,
         "Caf\xE9\r\n0\r\nc\r\n",
         {{QString::fromUtf8("c/Café"), "Caf\xE9\r\n"}}},
        {"UTF-8 memo in Latin-1 on an iPod",
         CharacterSet::Cyrillic,
         Destination::IPod,
         "Caf\xC3\xA9\r\n0\r\nc\r\n",
         {{QString::fromUtf8("c/Café"), "Caf\xE9\r\n"}}},
        {"a bullet is no Latin-1",
         CharacterSet::Western,
         Destination::IPod,
         "\x95 milk\r\n0\r\nc\r\n",
         {{QString::fromUtf8("c/• milk"), utf8Line + "\xE2\x80\xA2 milk\r\n"}}},
        {"Mac OS Roman on a Mac's iPod",
         CharacterSet::Western,
         Destination::MacIPod,
         "Caf\xE9 \x95\r\n0\r\nc\r\n",
         {{QString::fromUtf8("c/Café •"), "Caf\x8E \xA5\r\n"}}},
        {"Cyrillic is no Mac OS Roman",
         CharacterSet::Cyrillic,
         Destination::MacIPod,
         "\xCF\xF0\xE8\xE2\xE5\xF2\r\n0\r\nc\r\n",
         {{QString::fromUtf8("c/Привет"),
           utf8Line + "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\r\n"}}},
        {"Japanese on an iPod",
         CharacterSet::Japanese,
         Destination::IPod,
         "\x93\xFA\x96\x7B\r\n0\r\nc\r\n",
         {{QString::fromUtf8("c/日本"), utf8Line + "\xE6\x97\xA5\xE6\x9C\xAC\r\n"}}},
        {"parts in Latin-1",
         CharacterSet::Western,
         Destination::IPod,
         longLatin,
         {{"c/Long", "Long\r\n" + latinLine.repeated(4) +
                         "\r\n<A HREF=\"Long (part 2)\" NOPUSH>Part 2 of 2</A>\r\n"},
          {"c/Long (part 2)", latinLine}}},
        {"parts in UTF-8, a long line cut between characters",
         CharacterSet::Cyrillic,
         Destination::IPod,
         longCyrillic,
         {{QString::fromUtf8("c/П"),
           utf8Line + "\xD0\x9F\r\n\r\n<A HREF=\"\xD0\x9F (part 2)\" NOPUSH>Part 2 of 3</A>\r\n"},
          {QString::fromUtf8("c/П (part 2)"),
           utf8Line + cyrillicD.repeated(2011) +
               "\r\n<A HREF=\"\xD0\x9F (part 3)\" NOPUSH>Part 3 of 3</A>\r\n"},
          {QString::fromUtf8("c/П (part 3)"), utf8Line + cyrillicD.repeated(989) + "\r\n"}}},
        {"no parts in a folder",
         CharacterSet::Western,
         Destination::Folder,
         longLatin,
         {{"c/Long",
           "Long\r\n" + QByteArray("\xC3\xA9" + QByteArray(997, 'x') + "\r\n").repeated(5)}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(root()).removeRecursively();
        QDir().mkpath(root() + (c.destination == Destination::Folder ? "" : "/iPod_Control"));
        ExportRun run(Path(source(c.memos)), Path(root()), false);
        run.setCharacterSet(c.characters);
        run.setFormatQuestion([&c](const Path &) -> Result<FileSystem::VolumeFormat> {
            return c.destination == Destination::MacIPod ? FileSystem::VolumeFormat::MacHfsPlus
                                                         : FileSystem::VolumeFormat::Other;
        });
        const ExportResult result = run.run(log);
        ASSERT_TRUE(result.succeeded()) << result.message().toStdString();
        EXPECT_EQ(TestFiles::contentsBelow(notes()), c.notes);
    }
}

// A part's name taken by a note of the person's takes the next number, and
// the part before it links to that one; a part the memo no longer needs is
// a note of a memo that is gone.
TEST_F(ExportRunTest, APartWhoseNameIsTakenIsNumberedAndLinkedSo)
{
    QDir().mkpath(root() + "/iPod_Control");
    ASSERT_TRUE(exportToPlayer("A\r\n0\r\nc\r\n").succeeded());
    TestFiles::write(notes() + "/c/Long (part 2)", "the person's own\r\n");
    const QByteArray line = QByteArray(998, 'x') + "\r\n";
    const ExportResult result = exportToPlayer("Long\r\n" + line.repeated(5) + "0\r\nc\r\n");
    ASSERT_TRUE(result.succeeded()) << result.message().toStdString();
    EXPECT_EQ(TestFiles::contentsBelow(notes()),
              (QMap<QString, QByteArray>{
                  {"c/A", "A\r\n"},
                  {"c/Long", "Long\r\n" + line.repeated(4) +
                                 "\r\n<A HREF=\"Long (part 2) (2)\" NOPUSH>Part 2 of 2</A>\r\n"},
                  {"c/Long (part 2)", "the person's own\r\n"},
                  {"c/Long (part 2) (2)", line}}));
    EXPECT_EQ(result.goneNotes.size(), 1);

    // Grown shorter, the memo needs no second part: it is a gone note.
    const ExportResult shorter = exportToPlayer("Long\r\n" + line + "0\r\nc\r\n");
    ASSERT_TRUE(shorter.succeeded()) << shorter.message().toStdString();
    QStringList gone;
    for (const RecordedNote &note : shorter.goneNotes)
        gone << note.place.toString();
    EXPECT_EQ(gone, (QStringList{"c/A", "c/Long (part 2) (2)"}));
}

// Over many lengths of note and of line, in one-byte characters and in UTF-8:
// every part fits what an iPod shows, ends where the rule says, links to the
// next, and the parts give back the note's text exactly.
TEST(NoteParts, FitAnIPodEndWhereTheRuleSaysAndGiveBackTheNote)
{
    const auto nameOfPart = [](int part) {
        return "N\xC3\xA9 (part " + QByteArray::number(part) + ")";
    };
    const QByteArray characters[] = {"a", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"};
    const int lineLengths[] = {0, 1, 37, 1200, 4070, 4093, 9000};
    for (const auto encoding : {EncodedNote::Encoding::Latin1, EncodedNote::Encoding::Utf8}) {
        const bool utf8 = encoding == EncodedNote::Encoding::Utf8;
        for (int length = 3000; length < 14000; length += 89) {
            SCOPED_TRACE(std::to_string(length) + (utf8 ? " UTF-8" : " Latin-1"));
            EncodedNote note;
            note.encoding = encoding;
            note.encodingLine = utf8 ? NoteEncoder::Utf8Line.toByteArray() : QByteArray();
            for (int line = 0; note.text.size() < length; ++line) {
                const int characterCount = lineLengths[(line * 5 + length) % 7];
                for (int at = 0; at < characterCount && note.text.size() < length; ++at)
                    note.text += utf8 ? characters[(at + line) % 4] : QByteArray("\xE9");
                note.text += "\r\n";
            }
            const QList<QByteArray> files = NoteParts::filesOf(note, nameOfPart);
            ASSERT_EQ(files.size() == 1, note.size() <= Player::ShownNoteBytes);
            QByteArray joined;
            for (qsizetype part = 0; part < files.size(); ++part) {
                QByteArrayView file = files[part];
                ASSERT_LE(file.size(), Player::ShownNoteBytes);
                ASSERT_TRUE(file.startsWith(note.encodingLine));
                file = file.sliced(note.encodingLine.size());
                const qsizetype from = joined.size();
                if (part + 1 == files.size()) {
                    joined += file;
                    continue;
                }
                const QByteArray link =
                    "\r\n" +
                    NoteParts::link(nameOfPart(int(part) + 2), int(part) + 2, int(files.size())) +
                    "\r\n";
                ASSERT_TRUE(file.endsWith(link)) << "part " << part + 1;
                const QByteArrayView kept = file.chopped(link.size());
                joined += kept;
                // After the last CR LF that fits; where none does, as close to
                // the end as a character and a line end allow.
                const qsizetype room =
                    Player::ShownNoteBytes - note.encodingLine.size() - link.size();
                const qsizetype nextLineEnd = note.text.indexOf("\r\n", from + kept.size());
                if (kept.endsWith("\r\n")) {
                    EXPECT_GT(nextLineEnd + 2, from + room) << "part " << part + 1;
                    continue;
                }
                EXPECT_FALSE(kept.contains("\r\n")) << "part " << part + 1;
                EXPECT_GE(kept.size(), room - 4) << "part " << part + 1;
                const char next = note.text[from + kept.size()];
                EXPECT_FALSE(utf8 && (static_cast<unsigned char>(next) & 0xC0) == 0x80);
                EXPECT_FALSE(kept.endsWith('\r') && next == '\n');
            }
            EXPECT_EQ(joined, note.text);
        }
    }
}

// A failure in mid-run stops there with a message naming the memo, and leaves
// what was written before, and every older note, whole.
TEST_F(ExportRunTest, FailureInMidRun)
{
    QDir().mkpath(notes());
    TestFiles::write(notes() + "/Keep", "older note\r\n");
    const QString sourcePath = source("First\r\n0\r\nHome\r\n50%1 off %3\r\n" +
                                      QByteArray(2000, 'x') + "\r\n1\r\nBig\r\n");

    // A device that takes no note past 1,000 bytes, as a file size limit makes it.
    ExportResult result;
    {
        const SoftLimit fileSize(RLIMIT_FSIZE, 1000);
        result = exportFile(sourcePath);
    }
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.noteCount, 1);
    EXPECT_EQ(result.error->action(), Error::Action::WriteNote);
    EXPECT_EQ(result.error->path(), Path(notes() + "/Big/50%1 off %3"));
    EXPECT_EQ(result.error->errorNumber(), EFBIG);
    EXPECT_TRUE(result.message().contains("\nThe memo \"50%1 off %3\" (line 4 of the export file) "
                                          "was not saved.\n1 memo was saved before it."))
        << result.message().toStdString();
    EXPECT_EQ(TestFiles::listRecursively(notes()), (QStringList{"Home/First", "Keep"}));
    EXPECT_EQ(TestFiles::read(notes() + "/Keep"), "older note\r\n");
}

// A note directly in the notes folder and a category folder may want one name,
// in this run or left by an earlier one: whichever comes second takes the next
// free number, and a second run gives the same names.
TEST_F(ExportRunTest, NoteAndFolderOfOneNameBothArrive)
{
    const struct
    {
        const char *name;
        const char *earlierFolder; // below the notes folder; "" for none
        const char *earlierFile;
        QByteArray memos;
        QStringList files;
    } cases[] = {
        {"note first", "", "", "Work\r\n0\r\n\r\nPlan\r\n0\r\nwork\r\n", {"Work", "work (2)/Plan"}},
        {"folder first",
         "",
         "",
         "Plan\r\n0\r\nWork\r\nWORK\r\n0\r\n\r\nA\r\n0\r\nwork\r\n",
         {"WORK (2)", "Work/A", "Work/Plan"}},
        {"file left where a folder goes",
         "",
         "Work",
         "Plan\r\n0\r\nWork\r\n",
         {"Work", "Work (2)/Plan"}},
        {"folder left where a note goes", "Plan", "", "Plan\r\n0\r\n\r\n", {"Plan (2)"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(root()).removeRecursively();
        QDir().mkpath(notes() + "/" + c.earlierFolder);
        if (*c.earlierFile)
            TestFiles::write(notes() + "/" + c.earlierFile, "left by an earlier run");
        for (int run = 1; run <= 2; ++run) {
            const ExportResult result = exportToPlayer(c.memos);
            ASSERT_TRUE(result.succeeded())
                << "run " << run << ": " << result.message().toStdString();
            EXPECT_EQ(TestFiles::listRecursively(notes()), c.files) << "run " << run;
        }
    }
}

// Asks the run to stop once the given number of notes is saved.
class StopAfter : public ExportProgress
{
public:
    explicit StopAfter(qint64 notes) : m_notes(notes) {}
    void notesSaved(qint64 count) override { m_count = count; }
    bool stopRequested() override { return m_count >= m_notes; }

private:
    qint64 m_notes;
    qint64 m_count = 0;
};

// Kills the process, as a power cut or a player pulled out would end it, once
// the given number of notes is saved.
class KillAfter : public ExportProgress
{
public:
    explicit KillAfter(qint64 notes) : m_notes(notes) {}
    void notesSaved(qint64 count) override
    {
        if (count == m_notes)
            ::raise(SIGKILL);
    }

private:
    qint64 m_notes;
};

void exportKilledAfter(const QString &source, const QString &root, qint64 notes)
{
    const pid_t child = ::fork();
    if (child == 0) {
        KillAfter progress(notes);
        ExportRun(Path(source), Path(root), false).run(progress);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
}

// A run cut off at any point leaves notes of this run, one of them perhaps cut
// short, and perhaps a temporary file beside an older note. Running the same
// export again leaves exactly what a run that was never cut off leaves, and no
// leftover counts as a note.
TEST_F(ExportRunTest, ARunCutOffAnywhereLeavesNothingTheNextRunKeeps)
{
    const QByteArray older = "Plan\r\nold\r\n0\r\nWork\r\nList\r\n0\r\n\r\n";
    const QByteArray memos = "Plan\r\nnew\r\n0\r\nWork\r\nList\r\nmore\r\n0\r\n\r\n"
                             "Last\r\n0\r\nHome\r\n";
    const auto startFromOlderNotes = [&] {
        QDir(root()).removeRecursively();
        QDir().mkpath(root() + "/iPod_Control");
        ASSERT_TRUE(exportToPlayer(older).succeeded());
    };
    startFromOlderNotes();
    ASSERT_TRUE(exportToPlayer(memos).succeeded());
    const QMap<QString, QByteArray> clean = TestFiles::contentsBelow(notes());

    const struct
    {
        const char *name;
        std::function<void()> cutOff;
    } cases[] = {
        {"killed after the first note", [&] { exportKilledAfter(source(memos), root(), 1); }},
        {"killed after the last note, before the flush",
         [&] { exportKilledAfter(source(memos), root(), 3); }},
        {"killed while replacing notes",
         [&] {
             TestFiles::write(notes() + "/Work/quillet-unfinished-1.tmp", "Plan\r\nne");
             TestFiles::write(notes() + "/quillet-unfinished-2.tmp", "");
         }},
        {"killed while writing a new note, named in the journal before it",
         [&] {
             QDir().mkpath(notes() + "/Home");
             TestFiles::write(root() + "/.quillet-notes-journal", "Work/Plan\nHome/Last\n");
             TestFiles::write(notes() + "/Home/Last", "La");
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        startFromOlderNotes();
        c.cutOff();
        const ExportResult result = exportToPlayer(memos);
        ASSERT_TRUE(result.succeeded()) << result.message().toStdString();
        EXPECT_EQ(TestFiles::contentsBelow(notes()), clean);
        EXPECT_EQ(notesOnPlayer(result), clean.size());
    }
}

// A second export into a notes folder that one is writing into is refused
// before anything is written.
TEST_F(ExportRunTest, OneExportAtATimeWritesIntoANotesFolder)
{
    QDir().mkpath(notes());
    const int running = ::open(QFile::encodeName(notes()).constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(running, LOCK_EX), 0);
    const ExportResult refused = exportToPlayer(WorkedExample);
    ::close(running);
    EXPECT_EQ(refused.message(), "Could not write the notes to \"" + notes() +
                                     "\": another export is writing into this folder.\n"
                                     "No memos were saved.");
    EXPECT_TRUE(TestFiles::listRecursively(root()).isEmpty());
    EXPECT_TRUE(exportToPlayer(WorkedExample).succeeded());
}

// Nothing below the destination is reached through a symbolic link: a notes
// folder that is one is refused, a category folder's or a note's name taken by
// one is numbered past or replaced, and what a link leads to stays untouched.
TEST_F(ExportRunTest, NothingIsReachedThroughALink)
{
    const QString outside = folder.filePath("outside");
    const struct
    {
        const char *name;
        const char *link; // below the destination
        QString target;
        QString error;
        QString note; // where the memo arrives, below the notes folder
    } cases[] = {
        {"notes folder", "Notes", outside,
         "Could not open the notes folder \"" + notes() +
             "\": it is a link to another place; Quillet writes only into a real folder.\n"
             "No memos were saved.",
         ""},
        {"category folder", "Notes/Work", outside, "", "Work (2)/Plan"},
        {"category folder, leading nowhere", "Notes/Work", outside + "/gone", "", "Work (2)/Plan"},
        {"note", "Notes/Work/Plan", outside + "/Plan", "", "Work/Plan"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(root()).removeRecursively();
        QDir(outside).removeRecursively();
        QDir().mkpath(outside);
        TestFiles::write(outside + "/Plan", "Plan\r\n");
        const QString link = root() + "/" + c.link;
        QDir().mkpath(QFileInfo(link).absolutePath());
        ASSERT_TRUE(QFile::link(c.target, link));

        const ExportResult result = exportToPlayer("Plan\r\n0\r\nWork\r\n");
        EXPECT_EQ(result.succeeded() ? QString() : result.message(), c.error);
        EXPECT_EQ(TestFiles::contentsBelow(outside),
                  (QMap<QString, QByteArray>{{"Plan", "Plan\r\n"}}));
        if (!c.note.isEmpty()) {
            EXPECT_FALSE(QFileInfo(notes() + "/" + c.note).isSymLink());
            EXPECT_EQ(TestFiles::read(notes() + "/" + c.note), "Plan\r\n");
        }
    }
}

// A name that a number would take past the 255 bytes a device takes is
// shortened, between characters, until it fits; a second run gives the same
// names.
TEST_F(ExportRunTest, EveryNameFits)
{
    const struct
    {
        const char *name;
        QString category; // a file of that name is in the notes folder already
        QString folder;   // where the memo arrives
    } cases[] = {
        {"ASCII", QString(255, QLatin1Char('c')), QString(251, QLatin1Char('c')) + " (2)"},
        {"two bytes a character", QString(127, QChar(0xE9)), QString(125, QChar(0xE9)) + " (2)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(root()).removeRecursively();
        QDir().mkpath(notes());
        TestFiles::write(notes() + "/" + c.category, "left by an earlier run");
        for (int run = 1; run <= 2; ++run) {
            const ExportResult result =
                exportToPlayer("Plan\r\n0\r\n" + c.category.toUtf8() + "\r\nNext\r\n0\r\n\r\n");
            ASSERT_TRUE(result.succeeded()) << result.message().toStdString();
            QStringList expected{"Next", c.category, c.folder + "/Plan"};
            expected.sort();
            EXPECT_EQ(TestFiles::listRecursively(notes()), expected) << "run " << run;
        }
    }
}

// Far more categories than a process may hold files open: every one arrives,
// also where a category comes back after thousands of others.
TEST_F(ExportRunTest, AnyNumberOfCategories)
{
    QByteArray memos;
    for (int category = 0; category < 10000; ++category)
        memos += "M\r\n0\r\nCategory " + QByteArray::number(category) + "\r\n";
    memos += "M\r\n0\r\nCategory 0\r\n";
    const QString sourcePath = source(memos);
    QDir().mkpath(root());
    ExportResult result;
    {
        const SoftLimit openFiles(RLIMIT_NOFILE, 256);
        result = exportFile(sourcePath);
    }
    ASSERT_TRUE(result.succeeded()) << result.message().toStdString();
    EXPECT_EQ(result.noteCount, 10001);
    EXPECT_EQ(QDir(notes()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 10000);
    EXPECT_EQ(TestFiles::listRecursively(notes() + "/Category 0"), (QStringList{"M", "M (2)"}));
}

// A source cut short, grown or written again while it is read fails the run,
// the notes written so far staying; one that ends inside a memo completes,
// and the memo it drops is told.
TEST_F(ExportRunTest, ASourceThatChangesOrEndsInsideAMemoIsTold)
{
    QByteArray large;
    for (int memo = 0; memo < 1000; ++memo)
        large +=
            "Memo " + QByteArray::number(memo) + "\r\n" + QByteArray(1000, 'x') + "\r\n0\r\nc\r\n";
    const auto changeSource = [&](const std::function<void(QFile &)> &change) {
        return [this, change] {
            QFile file(folder.filePath("memos.txt"));
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            change(file);
        };
    };
    const struct
    {
        const char *name;
        QByteArray source;
        std::function<void()> afterFirstNote;
        std::optional<UnfinishedMemo> unfinished;
    } cases[] = {
        {"cut short",
         large,
         changeSource([](QFile &file) { file.resize(qint64{200} * 1000); }),
         {}},
        {"grown",
         large,
         changeSource([](QFile &file) {
             file.seek(file.size());
             file.write("Added\r\n0\r\nc\r\n");
         }),
         {}},
        {"written again",
         large,
         changeSource([](QFile &file) {
             file.seek(file.size() - 3);
             file.write("d\r\n");
             file.setFileTime(QDateTime::fromSecsSinceEpoch(1'000'000'000),
                              QFileDevice::FileModificationTime);
         }),
         {}},
        {"ending inside a memo",
         "A\r\n0\r\nc\r\n  Unfinished: plan\r\nbody\r\n",
         {},
         UnfinishedMemo{"Unfinished: plan", 4}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(root()).removeRecursively();
        log.afterFirstNote = c.afterFirstNote;
        const ExportResult result = exportToPlayer(c.source);
        EXPECT_EQ(result.succeeded(), !c.afterFirstNote);
        EXPECT_EQ(result.unfinishedMemo, c.unfinished);
        if (c.afterFirstNote) {
            EXPECT_TRUE(result.message().startsWith("Could not read the export file \"" +
                                                    folder.filePath("memos.txt") +
                                                    "\": it changed while it was being read.\n"))
                << result.message().toStdString();
            EXPECT_TRUE(result.message().endsWith(QString::number(result.noteCount) +
                                                  " memos were saved before it."));
            EXPECT_EQ(TestFiles::listRecursively(notes()).size(), result.noteCount);
        }
    }
}

// Asks a removal to stop once it has been asked `times` times whether to.
class StopWhenAsked : public ExportProgress
{
public:
    explicit StopWhenAsked(int times) : m_times(times) {}
    void notesSaved(qint64) override {}
    bool stopRequested() override { return ++m_asked > m_times; }

private:
    int m_times;
    int m_asked = 0;
};

// Notes of memos that are gone are Quillet's own alone: what an earlier export
// wrote, as it wrote it, that this one did not, compared as the player
// compares names. A note the person changed or wrote, a folder of theirs,
// anything outside the notes folder whatever the record or the journal says,
// and anything after a record that cannot be read stay theirs; a damaged
// record is read as far as it can be, and says so; a run stopped or failed
// half-way forgets nothing it wrote, and a removal cut off or stopped
// half-way is offered again.
TEST_F(ExportRunTest, OffersToRemoveTheNotesOfGoneMemosAndOnlyThose)
{
    const QByteArray three = "Plan\r\n0\r\nWork\r\nList\r\n0\r\nHome\r\nIdea\r\n0\r\nHome\r\n";
    const QByteArray planOnly = "Plan\r\n0\r\nWork\r\n";
    const auto paths = [](const QList<RecordedNote> &notes) {
        QStringList list;
        for (const RecordedNote &note : notes)
            list << note.place.toString();
        return list;
    };
    const QString record = root() + "/.quillet-notes";
    // The record as an editor on Windows leaves it, with a line added that
    // reads as nothing, and without its last line's end.
    const auto damageRecord = [&] {
        QByteArray lines = TestFiles::read(record).replace("\n", "\r\n");
        lines.insert(lines.indexOf('\n') + 1, "garbage\r\n");
        TestFiles::write(record, lines.chopped(2));
    };
    const auto changePlan = [&] { TestFiles::write(notes() + "/Work/Plan", "mine now\r\n"); };
    // Lines that name what lies beside the notes folder, or anywhere.
    const auto pointOutside = [&] {
        QDir().mkpath(root() + "/iPod_Control");
        for (const char *file : {"readme.txt", "iPod_Control/iTunesDB", "outside-copy"})
            TestFiles::write(root() + "/" + file, "Plan\r\n");
        TestFiles::write(root() + "/.quillet-notes-journal",
                         "../\n../iPod_Control/\n../iPod_Control/iTunesDB\n" +
                             folder.path().toUtf8() + "/\n");
        TestFiles::write(record, TestFiles::read(record) + "6 0 ../outside-copy\n");
    };
    struct Step
    {
        QByteArray memos;
        std::function<void()> before = {};
        qint64 stopAfter = 0; // notes; 0 runs to the end
    };
    const struct
    {
        const char *name;
        QList<Step> steps;
        QStringList gone;          // offered after the last step
        qsizetype removeFirst;     // of them, as a removal cut off would
        QStringList afterwards;    // the notes once those are removed
        const char *told = "";     // by the last step's message
        int stopRemovalAfter = -1; // notes; -1 removes them all
    } cases[] = {
        {"deleted memos", {{three}, {planOnly}}, {"Home/Idea", "Home/List"}, 2, {"Work/Plan"}},
        {"renamed memo",
         {{three}, {"Plan v2\r\n0\r\nWork\r\nList\r\n0\r\nHome\r\nIdea\r\n0\r\nHome\r\n"}},
         {"Work/Plan"},
         1,
         {"Home/Idea", "Home/List", "Work/Plan v2"}},
        {"re-categorised memo",
         {{planOnly}, {"Plan\r\n0\r\nHome\r\n"}},
         {"Work/Plan"},
         1,
         {"Home/Plan"}},
        {"a note the person changed",
         {{three}, {planOnly, [&] { TestFiles::write(notes() + "/Home/List", "mine now\r\n"); }}},
         {"Home/Idea"},
         1,
         {"Home/List", "Work/Plan"}},
        {"the person's own note and folder",
         {{planOnly},
          {"Plan\r\n0\r\nWork\r\nIdea\r\n0\r\nMine\r\n",
           [&] {
               QDir().mkpath(notes() + "/Mine");
               TestFiles::write(notes() + "/Mine/Idea", "my own idea\r\n");
               TestFiles::write(notes() + "/Work/Own", "my own note\r\n");
           }}},
         {},
         0,
         {"Mine/Idea", "Mine/Idea (2)", "Work/Own", "Work/Plan"}},
        {"a run stopped half-way, then one completed",
         {{three},
          {"Plan v2\r\n0\r\nWork\r\nList v2\r\n0\r\nHome\r\n", {}, 1},
          {"Plan v2\r\n0\r\nWork\r\nList v2\r\n0\r\nHome\r\n"}},
         {"Home/Idea", "Home/List", "Work/Plan"},
         3,
         {"Home/List v2", "Work/Plan v2"}},
        {"a run failed half-way, then one completed",
         {{three},
          {"\"Plan v2\",0,Work\r\n\"List v2\",0\r\n"},
          {"Plan v2\r\n0\r\nWork\r\nList v2\r\n0\r\nHome\r\n"}},
         {"Home/Idea", "Home/List", "Work/Plan"},
         3,
         {"Home/List v2", "Work/Plan v2"}},
        {"a first export cut off, then the person's own note put into its folder",
         {{planOnly,
           [&] {
               QDir().mkpath(notes() + "/Home");
               TestFiles::write(notes() + "/Home/List", "List\r\n");
               TestFiles::write(notes() + "/Home/My diary", "my own diary\r\n");
               TestFiles::write(root() + "/.quillet-notes-journal",
                                "Quillet journal 1 -1 0\nHome/List\n");
           }}},
         {"Home/List"},
         1,
         {"Home/My diary", "Work/Plan"}},
        {"a removal cut off half-way",
         {{three}, {planOnly}},
         {"Home/Idea", "Home/List"},
         1,
         {"Home/List", "Work/Plan"}},
        {"a removal stopped half-way",
         {{three}, {planOnly}},
         {"Home/Idea", "Home/List"},
         2,
         {"Home/List", "Work/Plan"},
         "",
         1},
        {"a category renamed only in case, which a FAT player takes for the same",
         {{three}, {"Plan\r\n0\r\nWORK\r\nList\r\n0\r\nHOME\r\nIdea\r\n0\r\nHOME\r\n"}},
         {},
         0,
         {"HOME/Idea", "HOME/List", "Home/Idea", "Home/List", "WORK/Plan", "Work/Plan"}},
        {"record and journal lines that lead outside the notes folder",
         {{three}, {planOnly, pointOutside}},
         {"Home/Idea", "Home/List"},
         2,
         {"Work/Plan"}},
        {"a damaged record",
         {{three}, {planOnly, damageRecord}},
         {"Home/Idea", "Home/List"},
         2,
         {"Work/Plan"},
         "1 of its lines could not be read and was left out."},
        {"the person's note in a memo's place, the record damaged",
         {{planOnly},
          {planOnly,
           [&] {
               changePlan();
               damageRecord();
           }}},
         {},
         0,
         {"Work/Plan", "Work/Plan (2)"}},
        {"the person's note in a memo's place, the record not to be read",
         {{three},
          {three,
           [&] {
               changePlan();
               TestFiles::write(record, QByteArray("Quillet notes 1\n\0\0", 18));
           }}},
         {},
         0,
         {"Home/Idea", "Home/List", "Work/Plan", "Work/Plan (2)"},
         "it is not a record of Quillet's notes."},
        {"a record that is some other file",
         {{three}, {planOnly, [&] { TestFiles::write(record, "garbage"); }}},
         {},
         0,
         {"Home/Idea", "Home/List", "Work/Plan"},
         "No file in a note's place that differs from the note was written over"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(root()).removeRecursively();
        ExportResult result;
        for (const Step &step : c.steps) {
            if (step.before)
                step.before();
            if (step.stopAfter > 0) {
                const QString sourcePath = source(step.memos);
                QDir().mkpath(root());
                StopAfter progress(step.stopAfter);
                result = ExportRun(Path(sourcePath), Path(root()), false).run(progress);
                EXPECT_EQ(result.outcome, ExportResult::Outcome::Stopped);
            } else {
                result = exportToPlayer(step.memos);
            }
        }
        ASSERT_TRUE(result.succeeded()) << result.message().toStdString();
        EXPECT_TRUE(result.message().contains(c.told)) << result.message().toStdString();
        EXPECT_EQ(paths(result.goneNotes), c.gone);
        StopWhenAsked stop(c.stopRemovalAfter < 0 ? INT_MAX : c.stopRemovalAfter);
        const RemovalResult removal =
            ExportRun::removeGoneNotes(Path(root()), result.goneNotes.first(c.removeFirst), stop);
        const qsizetype removed = c.stopRemovalAfter < 0 ? c.removeFirst : c.stopRemovalAfter;
        EXPECT_EQ(removal.removed, removed);
        EXPECT_EQ(removal.stopped, removed < c.removeFirst);
        EXPECT_TRUE(removal.succeeded()) << removal.message().toStdString();
        EXPECT_EQ(TestFiles::listRecursively(notes()), c.afterwards);
        for (const char *file : {"readme.txt", "iPod_Control/iTunesDB", "outside-copy"})
            EXPECT_TRUE(!QFile::exists(root() + "/" + file) ||
                        TestFiles::read(root() + "/" + file) == "Plan\r\n")
                << file;
        // What is left is offered again, and nothing else.
        const ExportResult again = exportToPlayer(c.steps.last().memos);
        EXPECT_EQ(paths(again.goneNotes), c.gone.mid(removed));
    }
}

} // namespace
