#include "SettingsStore.h"

#include "SettingsFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

constexpr uid_t NobodyId = 65534;

// Stands in for the window: shows any drive and takes flags 0 to 2.
class FakeWindow : public SettingsTarget
{
public:
    void setSourcePath(const QString &path) override { source = path; }
    void selectDrive(const QString &driveString) override { drive = driveString; }
    bool setExtensionFlag(int value) override
    {
        if (value < 0 || value > 2)
            return false;
        flag = value;
        return true;
    }
    void setCharacterSet(CharacterSet set) override { characters = set; }

    QString source = "default";
    QString drive = "/home";
    int flag = 0;
    CharacterSet characters = CharacterSet::Greek;
};

class SettingsStoreTest : public testing::Test
{
protected:
    QString folder(const QString &name) const
    {
        QDir().mkpath(temporary.filePath(name));
        return temporary.filePath(name);
    }
    // A folder of another user: root may write anywhere, so as root the folder
    // is handed to "nobody"; any other user is simply refused writing.
    QString foreignFolder(const QString &name)
    {
        QString path = folder(name);
        if (::geteuid() == 0)
            EXPECT_EQ(::chown(QFile::encodeName(path).constData(), NobodyId, NobodyId), 0);
        else
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
        return path;
    }
    void TearDown() override
    {
        // Lets the temporary folder be removed again.
        for (const QString &name :
             QDir(temporary.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            QFile::setPermissions(temporary.filePath(name),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    SettingsStore store() const
    {
        return {Path(folder("work")), Path(folder("program")), Path(folder("user"))};
    }
    FakeWindow loaded(const QByteArray &content, Result<void> *outcome = nullptr)
    {
        TestFiles::write(folder("work") + "/quillet.dat", content);
        FakeWindow window;
        const Result<void> loaded = store().load(window);
        if (outcome)
            *outcome = loaded;
        return window;
    }

    QTemporaryDir temporary;
};

TEST_F(SettingsStoreTest, LoadRestoresEachValueTheWindowTakes)
{
    FakeWindow window = loaded("\"/m.txt\",\"/media/IPOD [IPOD]\",2\r\n");
    EXPECT_EQ(window.source, "/m.txt");
    EXPECT_EQ(window.drive, "/media/IPOD [IPOD]");
    EXPECT_EQ(window.flag, 2);
    EXPECT_EQ(window.characters, CharacterSet::Western);

    window = loaded("\"/m.txt\",\"/media/IPOD [IPOD]\",1,\"windows-1251\"\r\n");
    EXPECT_EQ(window.characters, CharacterSet::Cyrillic);

    window = loaded("\"/m.txt\",\"/media/gone\",1\r\n");
    EXPECT_EQ(window.drive, "/media/gone");
    EXPECT_EQ(window.flag, 1);

    // What could not be restored is told, with the file, never dropped.
    Result<void> outcome;
    window = loaded("\"/m.txt\",\"/media/IPOD [IPOD]\",7\r\n", &outcome);
    EXPECT_EQ(window.drive, "/media/IPOD [IPOD]");
    EXPECT_EQ(window.flag, 0);
    ASSERT_FALSE(outcome);
    EXPECT_EQ(outcome.error().reason(), Error::Reason::FlagOutOfRange);
    EXPECT_EQ(outcome.error().path(), Path(folder("work") + "/quillet.dat"));

    // A malformed record changes nothing at all.
    window = loaded("\"/m.txt\",\"/media/IPOD [IPOD]\",x\r\n", &outcome);
    EXPECT_EQ(window.source, "default");
    ASSERT_FALSE(outcome);
    EXPECT_EQ(outcome.error().reason(), Error::Reason::MalformedSettings);
    EXPECT_EQ(outcome.error().action(), Error::Action::ReadSettings);
}

TEST_F(SettingsStoreTest, LoadLooksInWorkingThenProgramThenUserFolder)
{
    TestFiles::write(folder("user") + "/quillet.dat", "\"user\",\"d\",0\r\n");
    FakeWindow window;
    EXPECT_TRUE(store().load(window));
    EXPECT_EQ(window.source, "user");

    TestFiles::write(folder("program") + "/quillet.dat", "\"program\",\"d\",0\r\n");
    EXPECT_TRUE(store().load(window));
    EXPECT_EQ(window.source, "program");

    TestFiles::write(folder("work") + "/quillet.dat", "\"work\",\"d\",0\r\n");
    EXPECT_TRUE(store().load(window));
    EXPECT_EQ(window.source, "work");
}

TEST_F(SettingsStoreTest, SaveWritesIntoTheProgramFolderNotTheWorkingFolder)
{
    const QString before = QDir::currentPath();
    ASSERT_TRUE(store().save({"/m.txt", "/media/IPOD [IPOD]", 1}));
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_EQ(TestFiles::read(folder("program") + "/quillet.dat"),
              "\"/m.txt\",\"/media/IPOD [IPOD]\",1,\"windows-1252\"\r\n");
    EXPECT_EQ(TestFiles::listRecursively(temporary.path()), QStringList{"program/quillet.dat"});
}

TEST_F(SettingsStoreTest, AProgramFolderOfThePackagesOrOfAnotherUserNeverHoldsTheSettings)
{
    const struct
    {
        const char *name;
        QString folder;
        bool mayKeep;
    } cases[] = {
        {"own folder", folder("program"), true},
        {"below /usr, even for root", "/usr/bin", false},
        {"below /opt, even for root", "/opt", false},
        {"another user's folder", foreignFolder("foreign"), false},
        {"a link to a folder below /usr", temporary.filePath("to-usr-bin"), false},
        {"a folder that is not there", temporary.filePath("missing"), false},
    };
    ASSERT_TRUE(QFile::link("/usr/bin", temporary.filePath("to-usr-bin")));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(bool(SettingsStore::mayKeepSettingsIn(Path(c.folder))), c.mayKeep);
    }
}

// Where the program's folder may not hold the settings (an installed program)
// they go to the per-user folder, which is made when missing; the next start
// reads them from there, not from an older file left in the program's folder.
TEST_F(SettingsStoreTest, SaveFallsBackToTheUserFolderAndTheNextStartFindsItThere)
{
    TestFiles::write(temporary.filePath("not-a-folder"), "");
    TestFiles::write(folder("older") + "/quillet.dat", "\"/older.txt\",\"d\",0\r\n");
    const struct
    {
        const char *name;
        QString programFolder;
    } cases[] = {
        {"program folder is a file", temporary.filePath("not-a-folder")},
        {"another user's folder with an older file", foreignFolder("older")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString user = temporary.filePath(QStringLiteral("config/") + c.name);
        const SettingsStore installed(Path(folder("work")), Path(c.programFolder), Path(user));
        ASSERT_TRUE(installed.save({"/m.txt", "d", 0}));
        EXPECT_EQ(TestFiles::read(user + "/quillet.dat"),
                  "\"/m.txt\",\"d\",0,\"windows-1252\"\r\n");

        FakeWindow window;
        EXPECT_TRUE(installed.load(window));
        EXPECT_EQ(window.source, "/m.txt");
    }
    EXPECT_EQ(TestFiles::read(temporary.filePath("older/quillet.dat")),
              "\"/older.txt\",\"d\",0\r\n");
}

// Each folder's failure, the program's folder first, with why it may not
// hold the settings.
TEST_F(SettingsStoreTest, SaveFailureNamesEachPathAndWhy)
{
    TestFiles::write(temporary.filePath("file"), "");
    const QString blocked = temporary.filePath("file");
    const SettingsStore nowhere(Path(folder("work")), Path(blocked), Path(blocked + "/user"));
    const Result<void> saved = nowhere.save({"/m.txt", "d", 0});
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().action(), Error::Action::SaveSettings);
    EXPECT_EQ(saved.error().path(), Path(blocked));
    EXPECT_EQ(saved.error().reason(), Error::Reason::NotAFolder);
    EXPECT_TRUE(saved.error().message().contains(blocked + "/user/quillet.dat"))
        << saved.error().message().toStdString();
    // A failure that follows keeps the user folder's, not only the first.
    const Error followed = saved.error().followedBy(Error(Error::Reason::NoSettingsFolder));
    EXPECT_TRUE(followed.message().contains(blocked + "/user/quillet.dat"));
}

} // namespace
