#include "ExportRun.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

class NoProgress : public ExportProgress
{
public:
    void notesSaved(qint64) override {}
};

QString findTool(const QString &name)
{
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty() ? QStandardPaths::findExecutable(name, {"/usr/sbin", "/sbin"}) : found;
}

bool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// A 4 MiB FAT16 image mounted through FUSE: the file system a player has,
// with its case-blind names and its own idea of a full disk.
class FatVolumeTest : public testing::Test
{
protected:
    void SetUp() override
    {
        QFile fuse("/dev/fuse");
        if (!fuse.open(QIODevice::ReadWrite))
            GTEST_SKIP() << "/dev/fuse is not usable here: " << fuse.errorString().toStdString();
        if (findTool("mkfs.vfat").isEmpty() || findTool("fusefat").isEmpty())
            GTEST_SKIP() << "mkfs.vfat or fusefat is missing (packages dosfstools, fusefat)";
        ASSERT_NO_FATAL_FAILURE(format());
        QDir().mkpath(mountPoint());
    }
    // An empty volume, unmounted. fusefat takes the volume's label for a file,
    // which may not be removed. Each is a new image: fusermount returns before
    // the unmounted fusefat has written its last state into its own image,
    // which would otherwise land on the new volume (a full one, say).
    void format()
    {
        if (mounted)
            run(findTool("fusermount"), {"-u", mountPoint()});
        mounted = false;
        QFile::remove(imagePath(images));
        const QString image = imagePath(++images);
        QFile imageFile(image);
        ASSERT_TRUE(imageFile.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                    imageFile.resize(qint64{4} * 1024 * 1024));
        imageFile.close();
        ASSERT_TRUE(run(findTool("mkfs.vfat"), {"-F", "16", "-s", "1", "-n", "PLAYER", image}));
    }
    void TearDown() override
    {
        if (mounted)
            run(findTool("fusermount"), {"-u", mountPoint()});
    }
    void mount(bool writable)
    {
        mounted = run(findTool("fusefat"),
                      {imagePath(images), mountPoint(), "-o", writable ? "rw+" : "ro"});
        ASSERT_TRUE(mounted) << "fusefat could not mount the image";
    }
    void remount(bool writable)
    {
        run(findTool("fusermount"), {"-u", mountPoint()});
        mount(writable);
    }
    QStringList notes() const { return TestFiles::listRecursively(mountPoint() + "/Notes"); }
    QString mountPoint() const { return folder.filePath("mnt"); }
    QString imagePath(int image) const
    {
        return folder.filePath(QStringLiteral("player-%1.img").arg(image));
    }
    ExportResult exportSource(const QByteArray &content, bool addTxt = false)
    {
        TestFiles::write(folder.filePath("memos.txt"), content);
        NoProgress progress;
        return ExportRun(Path(folder.filePath("memos.txt")), Path(mountPoint()), addTxt)
            .run(progress);
    }

    QTemporaryDir folder;
    bool mounted = false;
    int images = 0;
};

TEST_F(FatVolumeTest, ExportsOntoFat)
{
    ASSERT_NO_FATAL_FAILURE(mount(true));
    // fusefat takes ASCII names only; a real player also takes the rest.
    const ExportResult result = exportSource("Plan\r\n0\r\nWork\r\nPLAN\r\n0\r\nwork\r\n"
                                             "Menu: soup?\r\ncaf\xE9\r\n1\r\nA/B\r\n"
                                             "Trailing dot.\r\n1\r\n\r\n",
                                             true);
    ASSERT_TRUE(result.succeeded()) << result.message().toStdString();
    EXPECT_EQ(result.noteCount, 4);
    EXPECT_EQ(notes(), QStringList({"A_B/Menu_ soup_.txt", "Trailing dot.txt", "Work/PLAN (2).txt",
                                    "Work/Plan.txt"}));
    EXPECT_EQ(TestFiles::read(mountPoint() + "/Notes/Work/PLAN (2).txt"), "PLAN\r\n");
    EXPECT_EQ(TestFiles::read(mountPoint() + "/Notes/A_B/Menu_ soup_.txt"),
              "Menu: soup?\r\ncaf\xC3\xA9\r\n");
}

// On a full player there is no room for the copy through which an older note
// is replaced. A note whose new text is no longer is written over in place;
// one that does not fit either way stops the run, the older note whole.
TEST_F(FatVolumeTest, FullVolumeRewritesInPlaceWhatFitsAndKeepsTheRestWhole)
{
    const QByteArray newer = "Old\r\n" + QByteArray(399'000, 'n') + "\r\n";
    const struct
    {
        const char *name;
        QByteArray older; // of Notes/Old
        qsizetype fillerBytes;
        bool fits;
    } cases[] = {
        {"longer than the older note", "older note\r\n", 3'900'000, false},
        {"no longer than the older note", QByteArray(400'000, 'o'), 3'600'000, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(mount(true));
        QDir(mountPoint() + "/Notes").removeRecursively();
        QFile::remove(mountPoint() + "/.quillet-notes");
        QDir().mkpath(mountPoint() + "/Notes");
        TestFiles::write(mountPoint() + "/Notes/Old", c.older);

        const ExportResult result = exportSource("Filler\r\n" + QByteArray(c.fillerBytes, 'f') +
                                                 "\r\n0\r\n\r\n" + newer + "0\r\n");
        EXPECT_EQ(result.succeeded(), c.fits) << result.message().toStdString();
        EXPECT_EQ(TestFiles::read(mountPoint() + "/Notes/Old"), c.fits ? newer : c.older);
        EXPECT_EQ(notes(), (QStringList{"Filler", "Old"}));
        if (!c.fits) {
            ASSERT_TRUE(result.error);
            EXPECT_EQ(result.error->action(), Error::Action::ReplaceNote);
            EXPECT_EQ(result.error->path(), Path(mountPoint() + "/Notes/Old"));
            EXPECT_EQ(result.noteCount, 1);
        }
        run(findTool("fusermount"), {"-u", mountPoint()});
        mounted = false;
    }
}

// Fills the volume to its last byte, as music does: one write larger than the
// volume, which fusefat cuts where the volume ends, then single bytes.
void fill(const QString &mountPoint)
{
    QFile filler(mountPoint + "/music.mp3");
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    filler.write(QByteArray(qsizetype(8) * 1024 * 1024, 'm'));
    for (int more = 0; more < 1024 && filler.write("m", 1) == 1; ++more) {
    }
}

// What an export does on a player that is full or takes no changes at all:
// what fits in place is written and what does not is told, naming the note
// and the player; a note of this export is never taken for one that is gone,
// however the category's case changed; what cannot be removed is told.
TEST_F(FatVolumeTest, AFullOrReadOnlyPlayerTakesWhatFitsAndTellsTheRest)
{
    const QByteArray memos = "Plan\r\nold\r\n0\r\nWork\r\nList\r\n0\r\nWork\r\n";
    const QByteArray sameSize = "Plan\r\nnew\r\n0\r\nWork\r\nList\r\n0\r\nWork\r\n";
    const QString plan = mountPoint() + "/Notes/Work/Plan";
    const struct
    {
        const char *name;
        std::function<void()> before; // the player holding `memos`' notes, mounted writable
        QByteArray exported;
        bool removeGone;
        QString failure; // the start of the message, or of the removal's
        QByteArray planHolds;
    } cases[] = {
        {"full, nothing changed", [&] { fill(mountPoint()); }, memos, false, "", "Plan\r\nold\r\n"},
        {"full, a note changed in place", [&] { fill(mountPoint()); }, sameSize, false, "",
         "Plan\r\nnew\r\n"},
        {"full, a note that does not fit", [&] { fill(mountPoint()); },
         "Plan\r\n" + QByteArray(100'000, 'l') + "\r\n0\r\nWork\r\nList\r\n0\r\nWork\r\n", false,
         "Could not replace the note \"" + plan + "\": the player is full.", "Plan\r\nold\r\n"},
        {"the category's case changed", [] {}, "Plan\r\nold\r\n0\r\nWORK\r\nList\r\n0\r\nWORK\r\n",
         true, "", "Plan\r\nold\r\n"},
        {"read-only, a note changed", [&] { remount(false); }, sameSize, false,
         "Could not replace the note \"" + plan + "\": Read-only file system.", "Plan\r\nold\r\n"},
        {"read-only, a note to remove", [&] { remount(false); }, "Plan\r\nold\r\n0\r\nWork\r\n",
         true,
         "Could not remove the note \"" + mountPoint() +
             "/Notes/Work/List\": Read-only file system.",
         "Plan\r\nold\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(format());
        ASSERT_NO_FATAL_FAILURE(mount(true));
        ASSERT_TRUE(exportSource(memos).succeeded());
        c.before();
        NoProgress progress;
        const ExportResult result = exportSource(c.exported);
        QString told = result.succeeded() ? QString() : result.message();
        if (result.succeeded() && c.removeGone && !result.goneNotes.isEmpty())
            told = ExportRun::removeGoneNotes(Path(mountPoint()), result.goneNotes, progress)
                       .message();
        if (c.failure.isEmpty())
            EXPECT_EQ(told, QString());
        else
            EXPECT_TRUE(told.startsWith(c.failure) || told.contains('\n' + c.failure))
                << told.toStdString();
        EXPECT_EQ(TestFiles::read(plan), c.planHolds);
        EXPECT_EQ(notes(), (QStringList{"Work/List", "Work/Plan"}));
    }
}

TEST_F(FatVolumeTest, ReadOnlyVolumeIsReported)
{
    ASSERT_NO_FATAL_FAILURE(mount(false));
    const ExportResult result = exportSource("Plan\r\n0\r\nWork\r\n");
    EXPECT_FALSE(result.succeeded());
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->action(), Error::Action::CreateNotesFolder);
    EXPECT_EQ(result.error->path(), Path(mountPoint() + "/Notes"));
    EXPECT_FALSE(QFileInfo::exists(mountPoint() + "/Notes"));
}

} // namespace
