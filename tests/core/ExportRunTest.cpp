#include "ExportRun.h"

#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QByteArray WorkedExample = "Groceries\r\nmilk\r\neggs\r\n\r\n0\r\nPersonal\r\n\r\n"
                                 "Meeting: plan\r\nagenda\r\n\r\n1\r\nBusiness\r\n";

class CaptionLog : public ExportProgress
{
public:
    void captionChanged(const QString &caption) override { captions << caption; }
    QStringList captions;
};

class ExportRunTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    QString source(const QByteArray &content)
    {
        const QString path = folder.filePath("memos.txt");
        TestFiles::write(path, content);
        return path;
    }
    QString root() const { return folder.filePath("player"); }
    QString notes() const { return root() + "/Notes"; }
    ExportResult exportTo(const QString &driveString, const QByteArray &content, int flag = 0)
    {
        return ExportRun(source(content), driveString, flag).run(log);
    }
    ExportResult exportToPlayer(const QByteArray &content, int flag = 0)
    {
        QDir().mkpath(root());
        return exportTo(root(), content, flag);
    }

    QTemporaryDir folder;
    CaptionLog log;
};

TEST_F(ExportRunTest, WorkedExampleByteForByte)
{
    const ExportResult result = exportToPlayer(WorkedExample);
    ASSERT_TRUE(result.succeeded()) << result.errorMessage.toStdString();
    EXPECT_EQ(result.noteCount, 2);
    EXPECT_EQ(result.completionMessage(), "2 memos saved to " + root() + "/Notes/");
    EXPECT_EQ(log.captions, (QStringList{"Notes 0", "Notes 1", "Notes 2"}));
    EXPECT_EQ(TestFiles::listRecursively(notes()),
              (QStringList{"Business/Meeting_ plan", "Personal/Groceries"}));
    EXPECT_EQ(TestFiles::read(notes() + "/Personal/Groceries"), "Groceries\r\nmilk\r\neggs\r\n");
    EXPECT_EQ(TestFiles::read(notes() + "/Business/Meeting_ plan"), "Meeting: plan\r\nagenda\r\n");
}

TEST_F(ExportRunTest, ExtensionOnlyWhenChecked)
{
    for (const auto &[flag, name] :
         {std::pair{0, "Groceries"}, {1, "Groceries.txt"}, {2, "Groceries"}}) {
        QDir(notes()).removeRecursively();
        ASSERT_TRUE(exportToPlayer("Groceries\r\n0\r\n\r\n", flag).succeeded());
        EXPECT_EQ(TestFiles::listRecursively(notes()), QStringList{name}) << "flag " << flag;
    }
}

TEST_F(ExportRunTest, OnlyBlankLinesCreatesTheNotesFolder)
{
    const ExportResult result = exportToPlayer("\r\n   \r\n\r\n");
    ASSERT_TRUE(result.succeeded());
    EXPECT_EQ(result.noteCount, 0);
    EXPECT_TRUE(QDir(notes()).exists());
    EXPECT_EQ(log.captions, QStringList{"Notes 0"});
}

// The destination is a folder taken as it is: a name that looks like a label
// is part of it, and a trailing separator changes nothing.
TEST_F(ExportRunTest, DestinationIsTheFolderItself)
{
    for (const QString &destination : {folder.filePath("player [1]"), folder.filePath("x]y [")}) {
        QDir().mkpath(destination);
        for (const QString &given : {destination, destination + "//"}) {
            const ExportResult result = exportTo(given, "A\r\n0\r\nc\r\n");
            ASSERT_TRUE(result.succeeded()) << result.errorMessage.toStdString();
            EXPECT_EQ(result.notesFolder, destination + "/Notes/");
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
              (QStringList{"Notes/A", "Notes/C", "Notes/Work_Home/B"}));
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

TEST_F(ExportRunTest, CountIsNotLimitedToSixteenBits)
{
    QByteArray memos;
    for (int i = 0; i < 32768; ++i)
        memos += "M\r\n0\r\n\r\n";
    const ExportResult result = exportToPlayer(memos);
    ASSERT_TRUE(result.succeeded()) << result.errorMessage.toStdString();
    EXPECT_EQ(result.noteCount, 32768);
    EXPECT_EQ(log.captions.last(), "Notes 32768");
    EXPECT_EQ(result.completionMessage(), "32768 memos saved to " + root() + "/Notes/");
}

TEST_F(ExportRunTest, MissingSourceOrRootFailsBeforeAnyNote)
{
    QDir().mkpath(root());
    ExportResult result = ExportRun(folder.filePath("absent.txt"), root(), 0).run(log);
    EXPECT_FALSE(result.succeeded());
    EXPECT_TRUE(result.errorMessage.contains(folder.filePath("absent.txt")));
    EXPECT_TRUE(result.errorMessage.contains("No such file"));

    result = exportTo(folder.filePath("unplugged"), WorkedExample);
    EXPECT_FALSE(result.succeeded());
    EXPECT_TRUE(result.errorMessage.contains(folder.filePath("unplugged/Notes")));
    EXPECT_TRUE(result.errorMessage.contains("No such file"));
    EXPECT_TRUE(log.captions.isEmpty());
}

// A failure in mid-run stops there with a message naming the memo, and leaves
// what was written before, and every older note, whole.
TEST_F(ExportRunTest, FailureInMidRun)
{
    QDir().mkpath(notes() + "/Work/Plan");
    TestFiles::write(notes() + "/Blocked", "a file where a category folder should go");
    TestFiles::write(notes() + "/Keep", "older note\r\n");

    ExportResult result = exportToPlayer("First\r\n0\r\nHome\r\n50%1 off %3\r\n1\r\nBlocked\r\n");
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(result.noteCount, 1);
    EXPECT_TRUE(result.errorMessage.contains(notes() + "/Blocked"));
    EXPECT_TRUE(result.errorMessage.contains("\"50%1 off %3\" (line 4"))
        << result.errorMessage.toStdString();
    EXPECT_TRUE(result.errorMessage.contains("1 memo was saved before it."));

    result = exportToPlayer("First\r\n0\r\nHome\r\n\r\nPlan\r\nbody\r\n0\r\nWork\r\n");
    EXPECT_FALSE(result.succeeded());
    EXPECT_TRUE(result.errorMessage.contains(notes() + "/Work/Plan"));
    EXPECT_TRUE(result.errorMessage.contains("(line 5"));
    EXPECT_EQ(TestFiles::listRecursively(notes()), (QStringList{"Blocked", "Home/First", "Keep"}));
    EXPECT_EQ(TestFiles::read(notes() + "/Keep"), "older note\r\n");
}

} // namespace
